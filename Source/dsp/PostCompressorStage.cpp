#include "dsp/PostCompressorStage.h"

namespace kt
{
void PostCompressorStage::prepare (double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    updateCoefficients();
    envelope = 0.0f;
    gainDb = 0.0f;
}

void PostCompressorStage::applyPreset (const PresetRecord& p) noexcept
{
    active = p.postCompEnabled;
    thresholdDb = p.postCompThresholdDb;
    ratio = p.postCompRatio;
    attackMs = p.postCompAttackMs;
    releaseMs = p.postCompReleaseMs;
    maxReductionDb = p.postCompMaxReductionDb;
    updateCoefficients();
}

void PostCompressorStage::refresh (const PresetRecord& p, float x, bool switchedOn) noexcept
{
    applyPreset (p);
    active = p.postCompEnabled && switchedOn;
    if (active)
    {
        thresholdDb = p.postCompThresholdDb - 1.2f * x;
        ratio = p.postCompRatio + 0.5f * x;
        attackMs = p.postCompAttackMs * (1.0f - 0.15f * x);
        releaseMs = p.postCompReleaseMs * (1.0f - 0.25f * x);
        updateCoefficients();
    }
}

void PostCompressorStage::updateCoefficients() noexcept
{
    attackCoeff = onePoleCoefficientMs (attackMs, sampleRate);
    releaseCoeff = onePoleCoefficientMs (releaseMs, sampleRate);
}
} // namespace kt
