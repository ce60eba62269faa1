#include "dsp/MultibandProcessor.h"

namespace kt
{
namespace
{
    constexpr float kAllpassHz[6] = { 420.0f, 1600.0f, 5200.0f, 1600.0f, 5200.0f, 5200.0f };
    constexpr double kLimiterAttackMs = 0.35;

} // namespace

void MultibandProcessor::prepare (double newSampleRate)
{
    sampleRate = newSampleRate;
    lookaheadSamples = std::max (1, (int) std::lround (0.001 * sampleRate));

    for (size_t k = 0; k < split.size(); ++k)
        split[k].setFrequency (crossoverHz[k], sampleRate);
    for (size_t k = 0; k < allpass.size(); ++k)
        allpass[k].setFrequency (kAllpassHz[k], sampleRate);

    for (auto& line : bandDelay)
        line.prepare (lookaheadSamples + 8, lookaheadSamples);
    bypassDelay.prepare (lookaheadSamples + 8, lookaheadSamples);

    updateCoefficients();
    reset();
}

void MultibandProcessor::reset() noexcept
{
    for (auto& s : split)
        s.reset();
    for (auto& a : allpass)
        a.reset();
    for (auto& line : bandDelay)
        line.reset();
    bypassDelay.reset();
    for (auto* values : { &envelope, &compGainDb, &limiterGainDb, &totalReductionDb, &compReductionDb, &limiterReductionDb })
        values->fill (0.0f);
}

void MultibandProcessor::copyPresetBlock (const PresetRecord& p) noexcept
{
    active = p.multibandOn;
    link = p.bandLink;
    thresholdDb = p.bandThresholdDb;
    ratio = p.bandRatio;
    attackMs = p.bandAttackMs;
    releaseMs = p.bandReleaseMs;
    ceilingDb = p.bandCeilingDb;
    limiterReleaseMs = p.bandLimiterReleaseMs;
    bandGainDb = p.bandGainDb;
}

void MultibandProcessor::applyPreset (const PresetRecord& p) noexcept
{
    copyPresetBlock (p);
    updateCoefficients();
}

void MultibandProcessor::refresh (const PresetRecord& p, float x, bool switchedOn) noexcept
{
    copyPresetBlock (p);
    active = p.multibandOn && switchedOn;
    if (active)
    {
        for (size_t i = 0; i < (size_t) kBandCount; ++i)
        {
            thresholdDb[i] = p.bandThresholdDb[i] - x;
            ratio[i] = p.bandRatio[i] * (1.0f + 0.1f * x);
            releaseMs[i] = p.bandReleaseMs[i] * (1.0f - 0.2f * x);
        }
        ceilingDb = p.bandCeilingDb - 0.7f * x;
    }
    updateCoefficients();
}

void MultibandProcessor::updateCoefficients() noexcept
{
    for (size_t i = 0; i < (size_t) kBandCount; ++i)
    {
        attackCoeff[i] = onePoleCoefficientMs (attackMs[i], sampleRate);
        releaseCoeff[i] = onePoleCoefficientMs (releaseMs[i], sampleRate);
        limiterReleaseCoeff[i] = onePoleCoefficientMs (limiterReleaseMs[i], sampleRate);
    }
    limiterAttackCoeff = onePoleCoefficientMs (kLimiterAttackMs, sampleRate);
}

StereoSample MultibandProcessor::process (StereoSample in) noexcept
{
    const StereoSample delayedInput = bypassDelay.process (in);

    // Crossover tree, then phase alignment of the lower bands with the splits above them.
    std::array<StereoSample, kBandCount> band;
    StereoSample rest;
    split[0].process (in, band[0], rest);
    split[1].process (rest, band[1], rest);
    split[2].process (rest, band[2], rest);
    split[3].process (rest, band[3], band[4]);

    band[0] = allpass[2].process (allpass[1].process (allpass[0].process (band[0])));
    band[1] = allpass[4].process (allpass[3].process (band[1]));
    band[2] = allpass[5].process (band[2]);

    if (! active)
    {
        // Keep the lookahead lines filled so switching back in resumes with the latest band signal.
        for (size_t i = 0; i < (size_t) kBandCount; ++i)
            bandDelay[i].process (band[i]);
        totalReductionDb.fill (0.0f);
        compReductionDb.fill (0.0f);
        limiterReductionDb.fill (0.0f);
        return delayedInput;
    }

    BandValues own;
    float sum = 0.0f;
    for (size_t i = 0; i < (size_t) kBandCount; ++i)
    {
        const float p = peakOf (band[i]);
        const float c = envelope[i] < p ? attackCoeff[i] : releaseCoeff[i];
        envelope[i] = c * envelope[i] + (1.0f - c) * p;

        const float level = gainToDb (envelope[i]);
        own[i] = -(1.0f - 1.0f / std::max (ratio[i], 1.01f)) * std::max (0.0f, level - thresholdDb[i]);
        sum += own[i];
    }

    const float average = sum / (float) kBandCount;
    const float pull = std::clamp (link, 0.0f, 1.0f);

    StereoSample out;
    for (size_t i = 0; i < (size_t) kBandCount; ++i)
    {
        const float target = own[i] + pull * (average - own[i]);
        const float c = compGainDb[i] > target ? attackCoeff[i] : releaseCoeff[i];
        compGainDb[i] = c * compGainDb[i] + (1.0f - c) * target;

        const float compGain = dbToGain (compGainDb[i]);
        const StereoSample compressed { band[i].left * compGain, band[i].right * compGain };

        // The limiter sees the compressed band 1 ms before its gain is applied to it.
        const float limitTarget = std::min (0.0f, ceilingDb - gainToDb (peakOf (compressed)));
        const float lc = limiterGainDb[i] > limitTarget ? limiterAttackCoeff : limiterReleaseCoeff[i];
        limiterGainDb[i] = lc * limiterGainDb[i] + (1.0f - lc) * limitTarget;

        const StereoSample delayed = bandDelay[i].process (compressed);
        const float outGain = dbToGain (bandGainDb[i] + limiterGainDb[i]);
        out.left += delayed.left * outGain;
        out.right += delayed.right * outGain;

        compReductionDb[i] = std::max (0.0f, -compGainDb[i]);
        limiterReductionDb[i] = std::max (0.0f, -limiterGainDb[i]);
        totalReductionDb[i] = compReductionDb[i] + limiterReductionDb[i];
    }
    return out;
}
} // namespace kt
