#include "dsp/TruePeakLimiter.h"

namespace kt
{
void TruePeakLimiter::prepare (double newSampleRate)
{
    sampleRate = newSampleRate;
    lookaheadSamples = std::max (1, (int) std::lround (1.5 * sampleRate * 0.001));
    delay.prepare (lookaheadSamples + 8, lookaheadSamples);
    wantHistory.prepare (lookaheadSamples + 1);
    ceiling = dbToGain (-0.1f);
    releaseCoeff = onePoleCoefficientMs (100.0, sampleRate);
    reset();
}

void TruePeakLimiter::reset() noexcept
{
    delay.reset();
    wantHistory.reset();
    for (int k = 0; k < wantHistory.size(); ++k)
        wantHistory.push (1.0f);
    gain = 1.0f;
    previousLeft = previousRight = 0.0f;
}

void TruePeakLimiter::applyPreset (const PresetRecord& p) noexcept
{
    ceiling = std::pow (10.0f, std::clamp (p.truePeakCeilingDb, -6.0f, 0.0f) / 20.0f);
    releaseCoeff = onePoleCoefficientMs (std::max (5.0f, p.truePeakReleaseMs), sampleRate);
}
} // namespace kt
