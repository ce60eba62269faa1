#include "dsp/BassClipper.h"

namespace kt
{
void BassClipper::prepare (double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    reductionRelease = onePoleCoefficientMs (90.0, sampleRate);
    updateFilters();
    reset();
}

void BassClipper::reset() noexcept
{
    for (auto& section : splitLowpass)
        section.reset();
    for (auto& section : smoothLowpass)
        section.reset();
    reductionDb = 0.0f;
}

void BassClipper::copyPresetBlock (const PresetRecord& p) noexcept
{
    active = p.bassClipOn;
    splitHz = p.bassSplitHz;
    smoothHz = p.bassSmoothHz;
    driveDb = p.bassDriveDb;
    softness = p.bassSoftness;
}

void BassClipper::applyPreset (const PresetRecord& p) noexcept
{
    copyPresetBlock (p);
    updateFilters();
}

void BassClipper::refresh (const PresetRecord& p, float x, bool switchedOn) noexcept
{
    copyPresetBlock (p);
    active = p.bassClipOn && switchedOn;
    if (switchedOn)
    {
        driveDb = p.bassDriveDb + 1.2f * x;
        softness = p.bassSoftness + x * (std::min (0.32f, p.bassSoftness) - p.bassSoftness);
    }
    updateFilters();
}

void BassClipper::updateFilters() noexcept
{
    splitLowpass[0].setLowPass (splitHz, kButterworthQ, sampleRate);
    splitLowpass[1].copyCoefficientsFrom (splitLowpass[0]);
    smoothLowpass[0].setLowPass (smoothHz, kButterworthQ, sampleRate);
    smoothLowpass[1].copyCoefficientsFrom (smoothLowpass[0]);
    driveGain = dbToGain (driveDb);
    knee = softClipKnee (ceiling, softness);
}
} // namespace kt
