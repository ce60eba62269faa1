#pragma once

#include "dsp/Biquad.h"
#include "dsp/Presets.h"
#include "dsp/StereoSample.h"

#include <array>

namespace kt
{
/** Slow, gated, RMS-based leveller. Its detector hears the programme frequency-weighted (28 Hz
    high-pass, 140 Hz low shelf, 2.8 kHz presence peak); the gain moves every 64 samples at limited
    cut and boost rates, and boosting is frozen in pauses. */
class AgcStage
{
public:
    void prepare (double newSampleRate) noexcept;
    void applyPreset (const PresetRecord& preset) noexcept;
    /** The 64-sample refresh: EXTREME raises the target and speeds the gain up. */
    void refresh (const PresetRecord& preset, float extremeAmount) noexcept;

    /** When switched off the signal passes at unity, but the detector and the gain keep running. */
    StereoSample process (StereoSample x, bool enabled) noexcept
    {
        float d = 0.5f * (x.left + x.right);
        for (auto& section : detector)
            d = section.process (d);

        sumOfSquares += d * d;
        if (blockCounter++ >= 63)
            updateGain();

        if (! enabled)
            return x;
        return { x.left * appliedGain, x.right * appliedGain };
    }

    double sampleRate = 48000.0;
    int blockCounter = 0;
    float sumOfSquares = 0.0f;
    float gainDb = 0.0f;
    float targetDb = -18.0f;
    float ratio = 4.0f;
    float maxCutDb = 18.0f;
    float maxBoostDb = 12.0f;
    float cutRateDbPerSec = 18.0f;
    float boostRateDbPerSec = 3.0f;
    float gateOpenDb = -48.0f;
    float gateFreezeDb = -58.0f;
    float sidechainShelfDb = -6.0f;
    std::array<Biquad, 3> detector; // high-pass, low shelf, presence peak

private:
    void updateGain() noexcept;
    void designShelf() noexcept;

    float appliedGain = 1.0f; // exp of gainDb, recomputed when gainDb moves
};
} // namespace kt
