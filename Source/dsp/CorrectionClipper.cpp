#include "dsp/CorrectionClipper.h"

#include "dsp/LowpassFIR.h"

namespace kt
{
namespace
{
    // The emphasis zero gets a companion pole 1 us out: the pure 1 + s*tau curve would put the
    // digital pole exactly on Nyquist, where any Nyquist content rings for ever. 1 us keeps the
    // curve within ~0.15 dB up to 15 kHz and moves the pole well inside the unit circle.
    constexpr float kEmphasisPoleTau = 1.0e-6f;
    constexpr double kActivityReleaseMs = 85.0;
} // namespace

void CorrectionClipper::prepare (double newSampleRate)
{
    sampleRate = newSampleRate;
    correctionTaps = 33;
    correctionDelay = 16;
    latencySamples = 8;

    const auto h = designLowpassFIR (2.0 * sampleRate, std::min ((float) (0.42 * sampleRate), 19000.0f), correctionTaps);
    for (auto* channel : { &left, &right })
    {
        channel->coefficients = h;
        channel->excessHistory.prepare ((int) h.size());
        channel->delayBuffer.assign ((size_t) correctionTaps, 0.0f);
    }

    hfReleaseCoeff = onePoleCoefficientMs (std::max (hfReleaseMs, 10.0f), sampleRate);
    activityReleaseCoeff = onePoleCoefficientMs (kActivityReleaseMs, sampleRate);
    updateEmphasis();
    updateDerivedSettings();
    reset();
}

void CorrectionClipper::reset() noexcept
{
    for (auto* channel : { &left, &right })
    {
        channel->excessHistory.reset();
        std::fill (channel->delayBuffer.begin(), channel->delayBuffer.end(), 0.0f);
        channel->delayIndex = 0;
        channel->previousInput = 0.0f;
        channel->clipDepthDb = 0.0f;
    }
    for (auto& section : preEmphasis)
        section.reset();
    for (auto& section : deEmphasis)
        section.reset();
    hfGain = 1.0f;
    hfReductionDb = 0.0f;
    activityDb = 0.0f;
}

void CorrectionClipper::copyPresetBlock (const PresetRecord& p) noexcept
{
    driveDb = p.clipDriveDb;
    ceiling = p.clipCeiling;
    softness = p.clipSoftness;
    preEmphasisUs = p.preEmphasisUs;
    hfLimiterOn = p.hfLimiterOn;
    hfThresholdDb = p.hfThresholdDb;
    hfMaxReductionDb = p.hfMaxReductionDb;
    hfReleaseMs = p.hfReleaseMs;
    preEmphasisOn = p.preEmphasisOn;
    deEmphasisOn = p.deEmphasisOn;
}

void CorrectionClipper::applyPreset (const PresetRecord& p) noexcept
{
    copyPresetBlock (p);
    hfReleaseCoeff = onePoleCoefficientMs (std::max (hfReleaseMs, 10.0f), sampleRate);
    activityReleaseCoeff = onePoleCoefficientMs (kActivityReleaseMs, sampleRate);
    updateEmphasis();
    updateDerivedSettings();
}

void CorrectionClipper::refresh (const PresetRecord& p, float x, bool clipperDriveOn, bool hfLimiterSwitch,
                                 bool preEmphasisSwitch, bool deEmphasisSwitch) noexcept
{
    driveDb = p.clipDriveDb + (clipperDriveOn ? 3.5f * x : 0.0f);
    ceiling = p.clipCeiling;
    softness = p.clipSoftness;
    preEmphasisUs = 50.0f * x;
    hfLimiterOn = hfLimiterSwitch && x > 0.01f;
    hfThresholdDb = -7.0f * x - 2.0f;
    hfMaxReductionDb = 4.5f * x;
    hfReleaseMs = 85.0f;
    preEmphasisOn = preEmphasisSwitch;
    deEmphasisOn = deEmphasisSwitch;

    hfReleaseCoeff = onePoleCoefficientMs (kActivityReleaseMs, sampleRate);
    activityReleaseCoeff = hfReleaseCoeff;
    updateEmphasis();
    updateDerivedSettings();
}

void CorrectionClipper::updateEmphasis() noexcept
{
    const float tau = std::max (0.0f, preEmphasisUs) * 1.0e-6f;
    const float twiceRate = (float) (2.0 * sampleRate);

    for (auto& section : preEmphasis)
    {
        if (preEmphasisOn && tau > 0.0f)
            section.setBilinear (tau + kEmphasisPoleTau, kEmphasisPoleTau, twiceRate);
        else
            section.setIdentity();
    }
    for (auto& section : deEmphasis)
    {
        if (deEmphasisOn && tau > 0.0f)
            section.setBilinear (kEmphasisPoleTau, tau + kEmphasisPoleTau, twiceRate);
        else
            section.setIdentity();
    }
}

void CorrectionClipper::updateDerivedSettings() noexcept
{
    driveGain = dbToGain (driveDb);
    knee = softClipKnee (ceiling, softness);
    hfThreshold = dbToGain (hfThresholdDb);
    hfFloor = dbToGain (-std::max (0.0f, hfMaxReductionDb));
    // The limiter only has an emphasis boost to pull back while pre-emphasis is really on.
    hfLimiterActive = hfLimiterOn && preEmphasisUs > 1.0f && preEmphasisOn;
}

//==================================================================================================
float CorrectionClipper::correctionStep (Channel& channel, float excess) noexcept
{
    if (channel.coefficients.empty())
        return excess;
    const float* window = channel.excessHistory.push (excess);
    return dotProduct (channel.coefficients.data(), window, (int) channel.coefficients.size());
}

float CorrectionClipper::delayStep (Channel& channel, float v) noexcept
{
    const int length = (int) channel.delayBuffer.size();
    if (length == 0)
        return v;

    channel.delayBuffer[(size_t) channel.delayIndex] = v;
    int readIndex = channel.delayIndex - correctionDelay;
    while (readIndex < 0)
        readIndex += length;
    if (++channel.delayIndex >= length)
        channel.delayIndex = 0;
    return channel.delayBuffer[(size_t) readIndex];
}

float CorrectionClipper::processOne (Channel& channel, float x) noexcept
{
    // First sub-sample: halfway between the previous input and this one.
    const float m = (channel.previousInput + x) * 0.5f * driveGain;
    channel.previousInput = x;
    const float sm = softClip (m, ceiling, knee);
    const float d1 = softClipDepthDb (m, sm, knee);
    const float f1 = correctionStep (channel, m - sm);
    const float a1 = delayStep (channel, m);

    // Second sub-sample: the input itself.
    const float v = driveGain * x;
    const float sv = softClip (v, ceiling, knee);
    const float d2 = softClipDepthDb (v, sv, knee);
    const float f2 = correctionStep (channel, v - sv);
    const float a2 = delayStep (channel, v);

    channel.clipDepthDb = std::max (d1, d2);
    return ((a2 - f2) + (a1 - f1)) * 0.5f;
}

StereoSample CorrectionClipper::process (StereoSample in) noexcept
{
    const StereoSample boosted { preEmphasis[0].process (in.left), preEmphasis[1].process (in.right) };

    StereoSample limited = boosted;
    if (hfLimiterActive)
    {
        const float peak = std::max (std::abs (boosted.left), std::abs (boosted.right));
        const float want = peak > hfThreshold ? hfThreshold / (peak + 1.0e-9f) : 1.0f;
        const float target = std::max (hfFloor, want);
        hfGain = hfGain > target ? target : target * (1.0f - hfReleaseCoeff) + hfGain * hfReleaseCoeff;
        // Only the emphasis boost is pulled back, never the signal underneath.
        limited.left = in.left + hfGain * (boosted.left - in.left);
        limited.right = in.right + hfGain * (boosted.right - in.right);
    }
    else
    {
        hfGain = hfGain * hfReleaseCoeff + (1.0f - hfReleaseCoeff);
    }
    hfReductionDb = std::max (0.0f, -gainToDb (hfGain));

    const float clippedLeft = processOne (left, limited.left);
    const float clippedRight = processOne (right, limited.right);
    activityDb = std::max (activityDb * activityReleaseCoeff, std::max (left.clipDepthDb, right.clipDepthDb));

    return { deEmphasis[0].process (clippedLeft), deEmphasis[1].process (clippedRight) };
}
} // namespace kt
