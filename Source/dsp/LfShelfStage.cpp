#include "dsp/LfShelfStage.h"

namespace kt
{
void LfShelfStage::prepare (double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    powerCoeff = onePoleCoefficient (0.08, sampleRate);
    gainCoeff = onePoleCoefficient (0.15, sampleRate);
    designSections();
    bandLeft.reset();
    bandRight.reset();
    detector.reset();
    power = 0.0f;
    gainDb = 0.0f;
}

void LfShelfStage::applyPreset (const PresetRecord& p) noexcept
{
    enabled = p.lfShelfEnabled;
    cornerHz = p.lfShelfHz;
    maxBoostDb = p.lfShelfMaxBoostDb;
    fullBoostBelowDb = p.lfShelfFullBoostBelowDb;
    noBoostAboveDb = p.lfShelfNoBoostAboveDb;
    designSections();
    if (! enabled)
        gainDb = 0.0f;
}

void LfShelfStage::designSections() noexcept
{
    // The band is a gentle low-pass (Q 0.707) shared by both channels and the detector.
    constexpr float q = 0.707f;
    bandLeft.setLowPass (cornerHz, q, sampleRate);
    bandRight.copyCoefficientsFrom (bandLeft);
    detector.copyCoefficientsFrom (bandLeft);
}
} // namespace kt
