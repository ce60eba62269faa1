#pragma once

#include "dsp/Biquad.h"
#include "dsp/DspMath.h"
#include "dsp/Presets.h"
#include "dsp/StereoSample.h"

#include <algorithm>
#include <cmath>

namespace kt
{
/** Smoothed left/right correlation (300 ms): +1 for mono, 0 for unrelated channels or silence,
    -1 for opposite polarity. */
struct CorrelationMeter
{
    float avgLR = 0.0f, avgLL = 0.0f, avgRR = 0.0f;
    float coeff = 0.0f;

    void prepare (double sampleRate) noexcept
    {
        coeff = onePoleCoefficient (0.3, sampleRate);
        avgLR = avgLL = avgRR = 0.0f;
    }

    void add (StereoSample s) noexcept
    {
        avgLR = coeff * avgLR + (1.0f - coeff) * s.left * s.right;
        avgLL = coeff * avgLL + (1.0f - coeff) * s.left * s.left;
        avgRR = coeff * avgRR + (1.0f - coeff) * s.right * s.right;
    }

    float value() const noexcept
    {
        return std::clamp (avgLR / std::sqrt (std::max (1.0e-12f, avgLL * avgRR)), -1.0f, 1.0f);
    }
};

/** Mid/side stereo stage: makes the bass below the mono-bass corner mono, high-passes the mid, and
    widens the side between the mono-bass corner and its upper corner as far as the measured input
    correlation allows, so wide or out-of-phase material is never widened further. */
class StereoWidthProcessor
{
public:
    void prepare (double newSampleRate) noexcept;
    void applyPreset (const PresetRecord& preset) noexcept;
    /** The 64-sample refresh: EXTREME narrows the width a little and moves the mono-bass corner
        toward 135 Hz. Runs whether the stage is engaged or not. */
    void refresh (const PresetRecord& preset, float extremeAmount) noexcept;

    /** Disengaged, the input passes unchanged while filters and correlation keep running. */
    StereoSample process (StereoSample in, bool engaged) noexcept
    {
        const float mid = (in.left + in.right) * 0.5f;
        const float side = (in.left - in.right) * 0.5f;
        const float m = midHighpass.process (mid);

        inputCorrelation.add (in);
        correlation = inputCorrelation.value();

        const float s1 = sideHighpass.process (side);
        const float s2 = sideLowpass.process (s1);

        if (! engaged)
            return in;

        const float w = std::clamp ((correlation - correlationThreshold) / std::max (1.0f - correlationThreshold, 0.05f), 0.0f, 1.0f);
        const float sideOut = s1 + s2 * (widthGain - 1.0f) * w;
        return { m + sideOut, m - sideOut };
    }

    double sampleRate = 48000.0;
    float widthDb = 0.0f;
    float monoCornerHz = 120.0f;
    float sideLowpassHz = 9000.0f;
    float midHighpassHz = 40.0f;
    float correlationThreshold = 0.3f;
    Biquad sideHighpass, sideLowpass, midHighpass;
    CorrelationMeter inputCorrelation;
    float correlation = 1.0f;

private:
    void copyPresetBlock (const PresetRecord& preset) noexcept;
    void updateFilters() noexcept;

    float widthGain = 1.0f; // 10^(max(0, widthDb) / 20)
};
} // namespace kt
