#pragma once

#include "dsp/DspMath.h"
#include "dsp/FirHistory.h"
#include "dsp/FirstOrderSection.h"
#include "dsp/Presets.h"
#include "dsp/SoftClip.h"
#include "dsp/StereoSample.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace kt
{
/** The FM section's core: pre-emphasis, an HF limiter that pulls back only the emphasis boost, a
    soft clipper that runs at twice the rate and corrects its own distortion (the clipped-off excess
    is low-passed below ~19 kHz and subtracted from the delayed driven signal, so nothing folds back
    when the two sub-samples are averaged down), and de-emphasis, the exact inverse of the
    pre-emphasis. The clipper always runs; EXTREME adds drive, emphasis and the HF limiter. */
class CorrectionClipper
{
public:
    struct Channel
    {
        std::vector<float> coefficients; // correction low-pass at twice the rate
        FirHistory excessHistory;
        std::vector<float> delayBuffer;  // the driven signal at twice the rate
        int delayIndex = 0;
        float previousInput = 0.0f;
        float clipDepthDb = 0.0f;
    };

    void prepare (double newSampleRate);
    void reset() noexcept;
    void applyPreset (const PresetRecord& preset) noexcept;
    /** The 64-sample refresh: EXTREME drive, emphasis time constant and HF limiter, and the switches
        of pre-emphasis, HF limiter, the EXTREME drive and de-emphasis. */
    void refresh (const PresetRecord& preset, float extremeAmount, bool clipperDriveOn, bool hfLimiterSwitch,
                  bool preEmphasisSwitch, bool deEmphasisSwitch) noexcept;

    StereoSample process (StereoSample in) noexcept;

    /** One clipper step for one channel: returns the clipped sample, 8 samples late. */
    float processOne (Channel& channel, float x) noexcept;

    int getLatencySamples() const noexcept { return latencySamples; }

    double sampleRate = 48000.0;
    int correctionTaps = 33;
    int correctionDelay = 16;
    int latencySamples = 8;

    // Settings: the preset block clipDriveDb ... deEmphasisOn, then bent by the refresh
    float driveDb = 2.0f;
    float ceiling = 0.96f;
    float softness = 0.35f;
    float preEmphasisUs = 0.0f;
    bool hfLimiterOn = false;
    float hfThresholdDb = -3.0f;
    float hfMaxReductionDb = 4.5f;
    float hfReleaseMs = 85.0f;
    bool preEmphasisOn = true;
    bool deEmphasisOn = true;

    Channel left, right;
    std::array<FirstOrderSection, 2> preEmphasis, deEmphasis;
    float hfGain = 1.0f;
    float hfReleaseCoeff = 0.0f;
    float activityReleaseCoeff = 0.0f;
    float hfReductionDb = 0.0f;
    float activityDb = 0.0f;

private:
    void copyPresetBlock (const PresetRecord& preset) noexcept;
    void updateEmphasis() noexcept;
    void updateDerivedSettings() noexcept;
    float correctionStep (Channel& channel, float excess) noexcept;
    float delayStep (Channel& channel, float v) noexcept;

    // Derived once per settings change, not per sample
    float driveGain = 1.0f;
    float knee = 0.0f;
    float hfThreshold = 1.0f;
    float hfFloor = 1.0f;
    bool hfLimiterActive = false;
};
} // namespace kt
