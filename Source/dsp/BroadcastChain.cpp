#include "dsp/BroadcastChain.h"

#include "dsp/DspMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kt
{
namespace
{
    /** Counters of a processor that runs for weeks must stop at their ceiling, never wrap. */
    int saturatingAdd (int counter, int n) noexcept
    {
        return counter > std::numeric_limits<int>::max() - n ? std::numeric_limits<int>::max() : counter + n;
    }

    constexpr float kPhaseRotatorHz[3] = { 240.0f, 720.0f, 2100.0f };
} // namespace

float processingActivity (float deepestBandReductionDb, float truePeakReductionDb, float clipperActivityDb,
                          float hfLimiterReductionDb) noexcept
{
    const auto share = [] (float value, float fullScale) { return value > 0.0f ? std::min (1.0f, value / fullScale) : 0.0f; };
    return std::clamp (0.2f * share (deepestBandReductionDb, 6.0f) + 0.2f * share (truePeakReductionDb, 3.0f)
                           + 0.3f * share (clipperActivityDb, 6.0f) + 0.3f * share (hfLimiterReductionDb, 4.5f),
                       0.0f, 1.0f);
}

//==================================================================================================
void BroadcastChain::prepare (double newSampleRate)
{
    sampleRate = (std::isfinite (newSampleRate) && newSampleRate > 0.0) ? newSampleRate : 48000.0;
    const double fs = sampleRate;

    // Fixed filters; the input high-pass gets its preset corner from applyPreset.
    for (auto& section : inputHpf)
        section.setHighPass (20.0f, kButterworthQ, fs);
    for (auto& section : outputHpf)
        section.setHighPass (30.0f, kButterworthQ, fs);
    for (size_t k = 0; k < 3; ++k)
    {
        phaseRotator[k].setBreakFrequency (kPhaseRotatorHz[k], fs);
        phaseRotator[k + 3].c = phaseRotator[k].c;
        fmPhase[k].c = fmPhase[k + 3].c = phaseRotator[k].c;
    }
    preFilter[0].setLowPass (15000.0f, kButterworthQ, fs);
    for (size_t k = 1; k < preFilter.size(); ++k)
        preFilter[k].copyCoefficientsFrom (preFilter[0]);

    agc.prepare (fs);
    postComp.prepare (fs);
    lfShelf.prepare (fs);
    multiband.prepare (fs);
    stereo.prepare (fs);
    outputCorrelation.prepare (fs);
    fmClipper.prepare (fs);
    bassClipper.prepare (fs);
    bandLimit.prepare (fs, currentPreset().finalLowpassHz);
    truePeak.prepare (fs);

    // Latency: whatever the stages' own delays add up to, the alignment delay pads the chain to a
    // fixed 8 ms so that the dry path and the host's compensation stay valid at every rate.
    totalLatency = (int) std::lround (0.008 * fs);
    outputAlignDelay = std::max (0, totalLatency - componentLatency());
    outputAlign.prepare (totalLatency + 16, outputAlignDelay);

    trimSmoothing = onePoleCoefficient (0.02, fs);
    meterDecay = (float) std::exp (-64.0 / (0.18 * fs));
    peakHoldDecay = (float) std::exp (-1.0 / (0.18 * fs));
    extremeStep = (float) (1.0 / std::max (1.0, 0.15 * fs));
    inputEnvelopeRelease = (float) std::exp (-1.0 / (0.5 * fs));
    autoInputPeriod = std::max (1, (int) std::lround (0.25 * fs));
    settledAfterSamples = (int) (4.0 * fs);
    lowInputAfterSamples = (int) (6.0 * fs);
    lowInputForgottenAfter = (int) (3.0 * fs);

    applyPreset();
    resetSignalState();

    inputTrimDb = manualTrimDb;
    lastInputKnobDb = manualTrimDb;
    autoTrimDb = manualTrimDb;
    manualTrimHeld = false;
    inputEnvelope = 0.0f;
    autoTrimCounter = 0;
    autoSettledSamples = 0;
    lowInputSamples = 0;
    sinceLowInputSamples = 0;

    stagePeakNow.fill (0.0f);
    stagePeakHeld.fill (0.0f);
    meterCounter = 0;
    inputPeakNow = inputPeakHold = outputPeakHold = 0.0f;
    for (auto& meter : published.stageMeters)
        meter.set (0.0f);
}

int BroadcastChain::componentLatency() const noexcept
{
    // FM clipper + multiband lookahead + true-peak lookahead + final FIR group delay.
    return fmClipper.getLatencySamples() + multiband.getLookaheadSamples() + truePeak.getLatencySamples()
           + bandLimit.getLatencySamples();
}

void BroadcastChain::resetSignalState() noexcept
{
    for (auto& section : inputHpf)
        section.reset();
    for (auto& section : phaseRotator)
        section.reset();
    for (auto& section : preFilter)
        section.reset();
    for (auto& section : fmPhase)
        section.reset();
    for (auto& section : outputHpf)
        section.reset();
    fmClipper.reset();
    bassClipper.reset();
    bandLimit.reset();
    truePeak.reset();
    outputAlign.reset();
}

//==================================================================================================
void BroadcastChain::applyPreset()
{
    const auto& p = currentPreset();

    agc.applyPreset (p);
    postComp.applyPreset (p);
    lfShelf.applyPreset (p);
    multiband.applyPreset (p);
    stereo.applyPreset (p);
    fmClipper.applyPreset (p);
    bassClipper.applyPreset (p);

    inputHpf[0].setHighPass (p.inputHpfHz, kButterworthQ, sampleRate);
    inputHpf[1].copyCoefficientsFrom (inputHpf[0]);

    outputHpf[0].setHighPass (p.outputHpfHz, kButterworthQ, sampleRate);
    outputHpf[1].copyCoefficientsFrom (outputHpf[0]);

    bandLimit.setCorner (p.finalLowpassHz, 30.0f);
    truePeak.applyPreset (p);

    inputHpfHz = p.inputHpfHz;
    finalLowpassHz = std::max (0.0f, p.finalLowpassHz);
    monoBassHz = p.monoBassHz;
    preEmphasisUs = p.preEmphasisUs;
    clipperDriveDb = p.clipDriveDb;

    // The raw record would otherwise hold for up to 63 samples, undoing switches and EXTREME.
    refreshSettings();
}

void BroadcastChain::refreshSettings() noexcept
{
    settingsCounter = 0;

    const auto& p = currentPreset();
    const float x = extremeAmount;

    fmClipper.refresh (p, x, stageEnabled[stageFmClipper], stageEnabled[stageHfLimiter], stageEnabled[stagePreEmphasis],
                       stageEnabled[stageDeEmphasis]);
    bassClipper.refresh (p, x, stageEnabled[stageBassClipper]);
    stereo.refresh (p, x);
    agc.refresh (p, x);
    postComp.refresh (p, x, stageEnabled[stagePostComp]);
    multiband.refresh (p, x, stageEnabled[stageMultiband]);

    // EXTREME pulls the final band limit down toward 15 kHz.
    const float baseCorner = p.finalLowpassHz > 0.0f ? p.finalLowpassHz : 16500.0f;
    const float corner = baseCorner + x * (15000.0f - baseCorner);
    bandLimit.setCorner (stageEnabled[stageFinal15k] ? corner : 0.0f, 20.0f);
    truePeak.enabled = stageEnabled[stageTruePeak];

    finalLowpassHz = corner;
    monoBassHz = stereo.monoCornerHz;
    preEmphasisUs = stageEnabled[stagePreEmphasis] ? 50.0f * x : 0.0f;
    clipperDriveDb = fmClipper.driveDb;
}

//==================================================================================================
StereoSample BroadcastChain::process (StereoSample in) noexcept
{
    extremeAmount = rampToward (extremeAmount, extremeTarget, extremeStep);

    analyseInputLevel (in);

    if (settingsCounter++ >= 63)
        refreshSettings();

    // Input trim: the manual or automatic target, smoothed over 20 ms.
    const float trimTarget = autoInputEnabled ? autoTrimDb : manualTrimDb;
    inputTrimDb = trimSmoothing * inputTrimDb + (1.0f - trimSmoothing) * trimTarget;
    const float trimGain = dbToGain (inputTrimDb);
    StereoSample s { in.left * trimGain, in.right * trimGain };
    inputPeakNow = peakOf (s);
    tap (tapInputTrim, s);

    // Input high-pass: always running, so switching it in continues from live state.
    {
        const StereoSample h { inputHpf[0].process (s.left), inputHpf[1].process (s.right) };
        if (stageEnabled[stageInputHpf])
            s = h;
    }
    tap (tapInputHpf, s);

    // Phase rotator: three allpass sections per channel, likewise always running.
    {
        StereoSample p = s;
        for (int k = 0; k < 3; ++k)
        {
            p.left = phaseRotator[(size_t) k].process (p.left);
            p.right = phaseRotator[(size_t) k + 3].process (p.right);
        }
        if (stageEnabled[stagePhase])
            s = p;
    }
    tap (tapPhaseRotator, s);

    s = agc.process (s, stageEnabled[stageAgc]);
    tap (tapAgc, s);

    s = postComp.process (s);
    tap (tapPostComp, s);

    s = lfShelf.process (s, stageEnabled[stageLfShelf]);
    tap (tapLfShelf, s);
    s = multiband.process (s);
    tap (tapMultiband, s);

    s = stereo.process (s, stageEnabled[stageStereo]);
    outputCorrelation.add (s);
    tap (tapStereo, s);
    // 15 kHz pre-filter and FM phase: always running, blended in by the EXTREME amount.
    {
        const StereoSample lp { preFilter[2].process (preFilter[0].process (s.left)),
                                preFilter[3].process (preFilter[1].process (s.right)) };
        const float a = stageEnabled[stageFmPreFilter] ? extremeAmount : 0.0f;
        s = { s.left + a * (lp.left - s.left), s.right + a * (lp.right - s.right) };
    }
    tap (tapFmPreFilter, s);

    {
        StereoSample ap = s;
        for (size_t k = 0; k < 3; ++k)
        {
            ap.left = fmPhase[k].process (ap.left);
            ap.right = fmPhase[k + 3].process (ap.right);
        }
        const float b = stageEnabled[stageFmPhase] ? 0.35f * extremeAmount : 0.0f;
        s = { s.left + b * (ap.left - s.left), s.right + b * (ap.right - s.right) };
    }
    tap (tapFmPhase, s);

    // Pre-emphasis, HF limiter, clipper and de-emphasis work as one unit: one reading for all four.
    s = fmClipper.process (s);
    tap (tapPreEmphasis, s);
    tap (tapHfLimiter, s);
    tap (tapFmClipper, s);
    tap (tapDeEmphasis, s);

    s = bassClipper.process (s);
    tap (tapBassClipper, s);

    {
        const StereoSample h { outputHpf[0].process (s.left), outputHpf[1].process (s.right) };
        if (stageEnabled[stageOutputHpf])
            s = h;
    }
    tap (tapOutputHpf, s);

    s = bandLimit.process (s);
    tap (tapFinal15k, s);

    s = truePeak.process (s);
    tap (tapTruePeak, s);

    s = outputAlign.process (s);
    tap (tapOutput, s);

    publishValues (s);
    return s;
}

void BroadcastChain::analyseInputLevel (StereoSample in) noexcept
{
    const float p = peakOf (in);
    if (p > inputEnvelope)
        inputEnvelope = p;
    else
        inputEnvelope = p * (1.0f - inputEnvelopeRelease) + inputEnvelope * inputEnvelopeRelease;

    if (++autoTrimCounter < autoInputPeriod)
        return;

    const int elapsed = autoTrimCounter;
    autoTrimCounter = 0;
    evaluateAutoInput (elapsed);
}

void BroadcastChain::evaluateAutoInput (int n) noexcept
{
    const float level = gainToDb (inputEnvelope);
    const float g = agc.gainDb;
    const float magnitude = std::abs (g);
    const auto& p = currentPreset();

    bool tooLow = false;
    if (autoInputEnabled)
    {
        if (level > -62.0f)
        {
            // The further the AGC has to reach, the faster the trim moves to take over its work.
            float rise = 0.09f, fall = 0.18f;
            if (magnitude > 8.0f)
                rise = 0.42f, fall = 0.8f;
            else if (magnitude > 4.0f)
                rise = 0.26f, fall = 0.48f;
            else if (magnitude > 2.0f)
                rise = 0.16f, fall = 0.30f;

            const float dt = (float) n / (float) sampleRate;
            if (g > 1.0f)
                autoTrimDb += rise * dt;
            else if (g < -1.0f)
                autoTrimDb -= fall * dt;
        }
        autoTrimDb = std::clamp (autoTrimDb, -18.0f, 18.0f);
        autoSettledSamples = (level > -55.0f && magnitude <= 1.0f) ? saturatingAdd (autoSettledSamples, n) : 0;
        tooLow = level < -38.0f && (p.agcTargetDb - level) > p.agcMaxBoostDb + 18.0f + 1.0f;
    }
    else
    {
        autoSettledSamples = 0;
        tooLow = level < -42.0f && (p.agcTargetDb - level) > manualTrimDb + p.agcMaxBoostDb + 1.0f;
    }

    if (tooLow)
    {
        lowInputSamples = saturatingAdd (lowInputSamples, n);
        sinceLowInputSamples = 0;
    }
    else
    {
        // A low-input episode is forgotten only after 3 s of adequate input.
        sinceLowInputSamples = saturatingAdd (sinceLowInputSamples, n);
        if (sinceLowInputSamples > lowInputForgottenAfter)
            lowInputSamples = 0;
    }
}

void BroadcastChain::tap (MeterTap index, StereoSample s) noexcept
{
    auto& now = stagePeakNow[(size_t) index];
    now = std::max (now, peakOf (s));
}

void BroadcastChain::publishValues (StereoSample out) noexcept
{
    if (++meterCounter >= 64)
    {
        meterCounter = 0;
        for (size_t k = 0; k < stagePeakNow.size(); ++k)
        {
            stagePeakHeld[k] = std::max (stagePeakHeld[k] * meterDecay, stagePeakNow[k]);
            published.stageMeters[k].set (stagePeakHeld[k]);
            stagePeakNow[k] = 0.0f;
        }
    }

    const float outputPeakNow = peakOf (out);
    inputPeakHold = std::max (inputPeakHold * peakHoldDecay, inputPeakNow);
    outputPeakHold = std::max (outputPeakHold * peakHoldDecay, outputPeakNow);

    auto& pub = published;
    pub.inputPeak.set (inputPeakNow);
    pub.outputPeak.set (outputPeakNow);
    pub.inputPeakHold.set (inputPeakHold);
    pub.outputPeakHold.set (outputPeakHold);
    pub.agcGainDb.set (agc.gainDb);
    pub.postCompReductionDb.set (-postComp.gainDb);
    pub.lfShelfGainDb.set (lfShelf.gainDb);
    for (size_t i = 0; i < (size_t) kBandCount; ++i)
    {
        pub.bandGainReductionDb[i].set (multiband.totalReductionDb[i]);
        pub.bandCompReductionDb[i].set (multiband.compReductionDb[i]);
        pub.bandLimitReductionDb[i].set (multiband.limiterReductionDb[i]);
    }
    const float truePeakReduction = std::max (0.0f, -gainToDb (truePeak.gain));
    pub.truePeakActive.set (truePeak.gain < 0.9995f ? 1.0f : 0.0f);
    pub.truePeakReductionDb.set (truePeakReduction);
    pub.bassClipperReductionDb.set (bassClipper.reductionDb);
    pub.hfLimiterReductionDb.set (fmClipper.hfReductionDb);
    pub.fmClipperActivityDb.set (fmClipper.activityDb);
    pub.stereoCorrelation.set (stereo.correlation);
    pub.outputCorrelation.set (outputCorrelation.value());
    pub.bandLinkPercent.set (100.0f * currentPreset().bandLink);
    pub.extremeAmount.set (extremeAmount);
    pub.inputHpfHz.set (inputHpfHz);
    pub.finalLowpassHz.set (finalLowpassHz);
    pub.monoBassHz.set (monoBassHz);
    pub.preEmphasisUs.set (preEmphasisUs);
    pub.clipperDriveDb.set (clipperDriveDb);
    pub.inputTrimDb.set (inputTrimDb);
    pub.autoInputOn.set (autoInputEnabled ? 1.0f : 0.0f);
    pub.autoInputState.set (! autoInputEnabled ? 0.0f : (autoSettledSamples > settledAfterSamples ? 2.0f : 1.0f));
    pub.lowInputWarning.set (lowInputSamples > lowInputAfterSamples ? 1.0f : 0.0f);

    const float deepestBand = *std::max_element (multiband.totalReductionDb.begin(), multiband.totalReductionDb.end());
    pub.processingActivity.set (processingActivity (deepestBand, truePeakReduction, fmClipper.activityDb, fmClipper.hfReductionDb));
}
} // namespace kt
