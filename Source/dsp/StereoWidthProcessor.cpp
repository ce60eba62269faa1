#include "dsp/StereoWidthProcessor.h"

namespace kt
{
void StereoWidthProcessor::prepare (double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    inputCorrelation.prepare (sampleRate);
    updateFilters();
    sideHighpass.reset();
    sideLowpass.reset();
    midHighpass.reset();
    correlation = 1.0f;
}

void StereoWidthProcessor::copyPresetBlock (const PresetRecord& p) noexcept
{
    widthDb = p.stereoWidthDb;
    monoCornerHz = p.monoBassHz;
    sideLowpassHz = p.sideLowpassHz;
    midHighpassHz = p.midHighpassHz;
    correlationThreshold = p.correlationThreshold;
}

void StereoWidthProcessor::applyPreset (const PresetRecord& p) noexcept
{
    copyPresetBlock (p);
    updateFilters();
}

void StereoWidthProcessor::refresh (const PresetRecord& p, float x) noexcept
{
    copyPresetBlock (p);
    widthDb = p.stereoWidthDb * (1.0f - 0.15f * x);
    monoCornerHz = p.monoBassHz + x * (135.0f - p.monoBassHz);
    updateFilters();
}

void StereoWidthProcessor::updateFilters() noexcept
{
    sideHighpass.setHighPass (monoCornerHz, kButterworthQ, sampleRate);
    sideLowpass.setLowPass (sideLowpassHz, kButterworthQ, sampleRate);
    midHighpass.setHighPass (midHighpassHz, kButterworthQ, sampleRate);
    widthGain = dbToGain (std::max (0.0f, widthDb));
}
} // namespace kt
