#pragma once

#include "dsp/AgcStage.h"
#include "dsp/BassClipper.h"
#include "dsp/Biquad.h"
#include "dsp/CorrectionClipper.h"
#include "dsp/FirstOrderAllpass.h"
#include "dsp/LfShelfStage.h"
#include "dsp/MultibandProcessor.h"
#include "dsp/OutputBandLimit.h"
#include "dsp/PostCompressorStage.h"
#include "dsp/Presets.h"
#include "dsp/PublishedValues.h"
#include "dsp/StereoDelayLine.h"
#include "dsp/StereoSample.h"
#include "dsp/StereoWidthProcessor.h"
#include "dsp/TruePeakLimiter.h"

#include <array>
#include <atomic>

namespace kt
{
/** Index of each stage switch in BroadcastChain::stageEnabled, in signal order. */
enum StageSwitch : int
{
    stageInputHpf,
    stagePhase,
    stageAgc,
    stagePostComp,
    stageLfShelf,
    stageMultiband,
    stageStereo,
    stageFmPreFilter,
    stageFmPhase,
    stagePreEmphasis,
    stageHfLimiter,
    stageFmClipper,
    stageDeEmphasis,
    stageBassClipper,
    stageOutputHpf,
    stageFinal15k,
    stageTruePeak,
    kStageSwitchCount
};

/** Index of each meter tap in the published stage meters, in signal order. */
enum MeterTap : int
{
    tapInputTrim,
    tapInputHpf,
    tapPhaseRotator,
    tapAgc,
    tapPostComp,
    tapLfShelf,
    tapMultiband,
    tapStereo,
    tapFmPreFilter,
    tapFmPhase,
    tapPreEmphasis,
    tapHfLimiter,
    tapFmClipper,
    tapDeEmphasis,
    tapBassClipper,
    tapOutputHpf,
    tapFinal15k,
    tapTruePeak,
    tapOutput,
};
static_assert (tapOutput + 1 == kMeterTapCount);

/** One number for "how hard is the chain working", 0 ... 1: the deepest band reduction (full at
    6 dB), the true-peak limiter (3 dB), the FM clipper (6 dB) and the HF limiter (4.5 dB). */
float processingActivity (float deepestBandReductionDb, float truePeakReductionDb, float clipperActivityDb,
                          float hfLimiterReductionDb) noexcept;

/** The whole air chain: one stereo sample in, one stereo sample out, delayed by a fixed 8 ms at
    every sample rate. Runs on the audio thread with no allocation after prepare(). The block driver
    writes the trim, auto-input, preset, EXTREME and switch fields before each block; the editor only
    reads `published` and `presetIndex`. */
class BroadcastChain
{
public:
    /** Sizes every buffer, designs the fixed filters, applies the current preset and clears all
        signal state. EXTREME, the stage switches and the preset index are kept. */
    void prepare (double newSampleRate);

    /** Loads record presetIndex into the stages without clearing any signal state. */
    void applyPreset();

    StereoSample process (StereoSample in) noexcept;

    const PresetRecord& currentPreset() const noexcept { return kPresets[(size_t) presetIndex.load (std::memory_order_relaxed)]; }

    double sampleRate = 48000.0;
    int totalLatency = 0;
    int outputAlignDelay = 0;
    std::atomic<int> presetIndex { 1 };

    // Input trim and auto input
    float inputTrimDb = 0.0f;
    float manualTrimDb = 0.0f;
    float trimSmoothing = 0.0f;
    float lastInputKnobDb = 0.0f;
    bool manualTrimHeld = false;
    bool autoInputEnabled = false;
    float autoTrimDb = 0.0f;
    float inputEnvelope = 0.0f;
    float inputEnvelopeRelease = 0.0f;
    int autoTrimCounter = 0;
    int autoSettledSamples = 0;
    int lowInputSamples = 0;
    int sinceLowInputSamples = 0;

    // EXTREME: 0 or 1 from the block driver, ramped over 150 ms
    float extremeAmount = 0.0f;
    float extremeTarget = 0.0f;
    float extremeStep = 0.0f;

    // Current settings shown by the editor
    float inputHpfHz = 20.0f;
    float finalLowpassHz = 16000.0f;
    float monoBassHz = 120.0f;
    float preEmphasisUs = 0.0f;
    float clipperDriveDb = 0.0f;

    std::array<bool, kStageSwitchCount> stageEnabled = makeAllOn();

    // Stages
    std::array<Biquad, 2> inputHpf;                // left, right
    std::array<FirstOrderAllpass, 6> phaseRotator; // left 240, 720, 2100 Hz, then right
    AgcStage agc;
    PostCompressorStage postComp;
    LfShelfStage lfShelf;
    MultibandProcessor multiband;
    StereoWidthProcessor stereo;
    CorrelationMeter outputCorrelation; // after the stereo stage
    std::array<Biquad, 4> preFilter;            // 15 kHz: left 1, right 1, left 2, right 2
    std::array<FirstOrderAllpass, 6> fmPhase;   // left 240, 720, 2100 Hz, then right
    CorrectionClipper fmClipper;
    BassClipper bassClipper;
    std::array<Biquad, 2> outputHpf;            // left, right
    OutputBandLimit bandLimit;
    TruePeakLimiter truePeak;

    PublishedValues published;

private:
    static std::array<bool, kStageSwitchCount> makeAllOn() noexcept
    {
        std::array<bool, kStageSwitchCount> on {};
        on.fill (true);
        return on;
    }

    /** Samples of delay the stages add before the output alignment pads the chain to totalLatency. */
    int componentLatency() const noexcept;

    // Auto-input counts in samples at the current rate (set in prepare).
    int autoInputPeriod = 12000;           // 250 ms between evaluations
    int settledAfterSamples = 192000;      // 4 s within +-1 dB: settled
    int lowInputAfterSamples = 288000;     // 6 s too low: the LOW warning
    int lowInputForgottenAfter = 144000;   // 3 s of adequate input clear it

    /** Recomputes everything that depends on EXTREME or a stage switch (every 64 samples, and at once
        after prepare and applyPreset so a switch or EXTREME never lapses for a moment). */
    void refreshSettings() noexcept;
    void resetSignalState() noexcept;

    /** Auto input: follows the untrimmed input level, and every 250 ms moves the trim toward where the
        AGC can work near 0 dB and watches for a persistently too-low input. */
    void analyseInputLevel (StereoSample in) noexcept;
    void evaluateAutoInput (int elapsedSamples) noexcept;

    void tap (MeterTap index, StereoSample s) noexcept;
    void publishValues (StereoSample out) noexcept;

    StereoDelayLine outputAlign;
    int settingsCounter = 0;

    // Meters
    std::array<float, kMeterTapCount> stagePeakNow {};
    std::array<float, kMeterTapCount> stagePeakHeld {};
    int meterCounter = 0;
    float meterDecay = 0.99f;
    float peakHoldDecay = 0.0f;
    float inputPeakNow = 0.0f;
    float inputPeakHold = 0.0f;
    float outputPeakHold = 0.0f;
};
} // namespace kt
