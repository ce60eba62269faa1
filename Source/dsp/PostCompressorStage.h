#pragma once

#include "dsp/DspMath.h"
#include "dsp/Presets.h"
#include "dsp/StereoSample.h"

#include <algorithm>
#include <cmath>

namespace kt
{
/** Wideband peak compressor with a hard knee and a limited largest reduction. The envelope and the
    gain are two cascaded one-pole smoothers sharing one attack/release pair. While inactive (preset
    or switch) it passes the signal and its envelope and gain freeze. */
class PostCompressorStage
{
public:
    void prepare (double newSampleRate) noexcept;
    void applyPreset (const PresetRecord& preset) noexcept;
    /** The 64-sample refresh: the switch, and EXTREME's lower threshold, higher ratio and faster
        times. */
    void refresh (const PresetRecord& preset, float extremeAmount, bool switchedOn) noexcept;

    StereoSample process (StereoSample x) noexcept
    {
        if (! active)
            return x;

        const float p = std::max (std::abs (x.left), std::abs (x.right));
        const float envCoeff = p > envelope ? attackCoeff : releaseCoeff;
        envelope = envCoeff * envelope + (1.0f - envCoeff) * p;

        const float level = gainToDb (envelope);
        float wanted = level <= thresholdDb ? 0.0f : -(level - thresholdDb) * (1.0f - 1.0f / std::max (ratio, 1.01f));
        wanted = std::max (wanted, -maxReductionDb);

        const float gainCoeff = gainDb > wanted ? attackCoeff : releaseCoeff;
        gainDb = gainCoeff * gainDb + (1.0f - gainCoeff) * wanted;

        const float g = dbToGain (gainDb);
        return { x.left * g, x.right * g };
    }

    double sampleRate = 48000.0;
    bool active = true;
    float thresholdDb = -14.0f;
    float ratio = 2.5f;
    float attackMs = 25.0f;
    float releaseMs = 350.0f;
    float maxReductionDb = 8.0f;
    float envelope = 0.0f;
    float gainDb = 0.0f;
    float attackCoeff = 0.0f;
    float releaseCoeff = 0.0f;

private:
    void updateCoefficients() noexcept;
};
} // namespace kt
