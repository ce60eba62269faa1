#pragma once

#include "dsp/BroadcastChain.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>

namespace ParameterIds
{
inline constexpr const char* input = "input";
inline constexpr const char* preset = "preset";
inline constexpr const char* autoInput = "autoInput";
inline constexpr const char* extreme = "extreme";
inline constexpr const char* bypass = "bypass";
} // namespace ParameterIds

/** One stage switch: its parameter ID and the name the host shows. */
struct StageSwitchParameter
{
    const char* id;
    const char* name;
};

/** The stage switches in signal order; entry i drives BroadcastChain::stageEnabled[i]. */
inline constexpr std::array<StageSwitchParameter, kt::kStageSwitchCount> kStageSwitchParameters { {
    { "stageInputHpf", "Input HPF" },
    { "stagePhase", "Phase Rotator" },
    { "stageAgc", "AGC" },
    { "stagePostComp", "Post Compressor" },
    { "stageLfShelf", "LF Shelf" },
    { "stageMultiband", "Multiband" },
    { "stageStereo", "Stereo / Mono LF" },
    { "stageFmPreFilter", "FM 15K Pre Filter" },
    { "stageFmPhase", "FM Phase" },
    { "stagePreEmphasis", "FM Pre Emphasis" },
    { "stageHfLimiter", "FM HF Limiter" },
    { "stageFmClipper", "FM Clipper" },
    { "stageDeEmphasis", "FM De Emphasis" },
    { "stageBassClipper", "Bass Clipper" },
    { "stageOutputHpf", "Output HPF" },
    { "stageFinal15k", "Final 15K LPF" },
    { "stageTruePeak", "True Peak Limiter" },
} };

/** The 22 host parameters in host index order. */
juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();
