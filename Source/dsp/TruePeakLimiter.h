#pragma once

#include "dsp/DspMath.h"
#include "dsp/FirHistory.h"
#include "dsp/Presets.h"
#include "dsp/StereoDelayLine.h"
#include "dsp/StereoSample.h"

#include <algorithm>
#include <cmath>

namespace kt
{
/** Holds the output below a ceiling, counting as peaks also the values halfway between samples. The
    gain is worked out from the undelayed input and applied after a 1.5 ms lookahead; the gain applied
    to a sample is never more than the smallest gain any sample still in the lookahead asked for, so
    a peak is fully reduced when it leaves the delay, and the release only starts after it. */
class TruePeakLimiter
{
public:
    void prepare (double newSampleRate);
    void reset() noexcept;
    void applyPreset (const PresetRecord& preset) noexcept;

    StereoSample process (StereoSample in) noexcept
    {
        const float midLeft = 0.5f * (previousLeft + in.left);
        const float midRight = 0.5f * (previousRight + in.right);
        previousLeft = in.left;
        previousRight = in.right;

        float want = 1.0f;
        if (enabled)
        {
            const float peak = std::max (std::max (std::abs (midLeft), std::max (std::abs (in.left), std::abs (in.right))), std::abs (midRight));
            if (peak > ceiling)
                want = ceiling / peak;
        }

        // Smallest want of the samples now in the lookahead, this one included.
        const float* recent = wantHistory.push (want);
        float target = recent[0];
        for (int k = 1; k < wantHistory.size(); ++k)
            target = std::min (target, recent[k]);

        gain = gain > target ? target : target * (1.0f - releaseCoeff) + gain * releaseCoeff;

        const StereoSample delayed = delay.process (in);
        if (! enabled)
            return delayed;
        return { delayed.left * gain, delayed.right * gain };
    }

    int getLatencySamples() const noexcept { return lookaheadSamples; }

    double sampleRate = 48000.0;
    int lookaheadSamples = 0;
    float gain = 1.0f;
    float releaseCoeff = 0.0f;
    float previousLeft = 0.0f, previousRight = 0.0f;
    float ceiling = 0.98855309f; // -0.1 dBFS
    bool enabled = true;

private:
    StereoDelayLine delay;
    FirHistory wantHistory; // the last lookaheadSamples + 1 wants
};
} // namespace kt
