#pragma once

#include <juce_graphics/juce_graphics.h>

#include <array>

/** Colours, geometry and names shared by the editor's drawing code. */
namespace editorconstants
{
inline const juce::Colour amber { 0xffff9f16 };
inline const juce::Colour amberDim { 0xff5b2c05 };
inline const juce::Colour redLed { 0xffff3322 };

/** The lit area of the graph display. */
inline const juce::Rectangle<float> graphInner { 146.0f, 352.0f, 429.0f, 109.0f };

/** Names of the rack click areas, in module order. */
inline constexpr std::array<const char*, 18> rackStageNames {
    "AUTO TRIM",   "INPUT HPF",  "PHASE ROTATOR", "AGC",        "POST COMP",   "LF SHELF",
    "MULTIBAND",   "STEREO / MONO LF", "15K PRE-FLTR", "FM PHASE", "PRE-EMPHASIS", "HF LIMITER",
    "FM CLIPPER",  "DE-EMPHASIS", "BASS CLIPPER", "OUTPUT HPF", "15K FINAL",   "TRUE PEAK LIMIT",
};

/** Centre of rack slot k (0 ... 18). */
inline float rackSlotCentre (int k) noexcept { return 44.0f + 35.0f * (float) k; }
} // namespace editorconstants
