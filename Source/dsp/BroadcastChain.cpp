#include "dsp/BroadcastChain.h"

#include "dsp/DspMath.h"

#include <algorithm>
#include <cmath>

namespace kt
{
namespace
{
    float peakOf (StereoSample s) noexcept { return std::max (std::abs (s.left), std::abs (s.right)); }
} // namespace

//==================================================================================================
void BroadcastChain::prepare (double newSampleRate)
{
    sampleRate = (std::isfinite (newSampleRate) && newSampleRate > 0.0) ? newSampleRate : 48000.0;
    const double fs = sampleRate;

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
    return 0;
}

void BroadcastChain::resetSignalState() noexcept
{
    outputAlign.reset();
}

//==================================================================================================
void BroadcastChain::applyPreset()
{
    const auto& p = currentPreset();

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
    finalLowpassHz = p.finalLowpassHz > 0.0f ? p.finalLowpassHz : 16500.0f;
}

//==================================================================================================
StereoSample BroadcastChain::process (StereoSample in) noexcept
{
    extremeAmount = rampToward (extremeAmount, extremeTarget, extremeStep);

    if (settingsCounter++ >= 63)
        refreshSettings();

    // Input trim: the manual or automatic target, smoothed over 20 ms.
    const float trimTarget = autoInputEnabled ? autoTrimDb : manualTrimDb;
    inputTrimDb = trimSmoothing * inputTrimDb + (1.0f - trimSmoothing) * trimTarget;
    const float trimGain = dbToGain (inputTrimDb);
    StereoSample s { in.left * trimGain, in.right * trimGain };
    inputPeakNow = peakOf (s);
    tap (tapInputTrim, s);

    tap (tapInputHpf, s);
    tap (tapPhaseRotator, s);
    tap (tapAgc, s);
    tap (tapPostComp, s);
    tap (tapLfShelf, s);
    tap (tapMultiband, s);
    tap (tapStereo, s);
    tap (tapFmPreFilter, s);
    tap (tapFmPhase, s);
    tap (tapPreEmphasis, s);
    tap (tapHfLimiter, s);
    tap (tapFmClipper, s);
    tap (tapDeEmphasis, s);
    tap (tapBassClipper, s);
    tap (tapOutputHpf, s);
    tap (tapFinal15k, s);
    tap (tapTruePeak, s);

    s = outputAlign.process (s);
    tap (tapOutput, s);

    publishValues (s);
    return s;
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
    pub.bandLinkPercent.set (100.0f * currentPreset().bandLink);
    pub.extremeAmount.set (extremeAmount);
    pub.inputHpfHz.set (inputHpfHz);
    pub.finalLowpassHz.set (finalLowpassHz);
    pub.monoBassHz.set (monoBassHz);
    pub.preEmphasisUs.set (preEmphasisUs);
    pub.clipperDriveDb.set (clipperDriveDb);
    pub.inputTrimDb.set (inputTrimDb);
    pub.autoInputOn.set (autoInputEnabled ? 1.0f : 0.0f);
    pub.autoInputState.set (! autoInputEnabled ? 0.0f : (autoSettledSamples > (int) (4.0 * sampleRate) ? 2.0f : 1.0f));
    pub.lowInputWarning.set (lowInputSamples > (int) (6.0 * sampleRate) ? 1.0f : 0.0f);
}
} // namespace kt
