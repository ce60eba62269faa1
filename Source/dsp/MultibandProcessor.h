#pragma once

#include "dsp/DspMath.h"
#include "dsp/Presets.h"
#include "dsp/StereoDelayLine.h"
#include "dsp/StereoLR4.h"
#include "dsp/StereoSample.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kt
{
/** Five-band dynamics: a tree of Linkwitz-Riley splits at 120, 420, 1600 and 5200 Hz with allpass
    phase alignment, a linked compressor per band, a 1 ms lookahead band limiter and a fixed gain per
    band. Disengaged, it outputs its input delayed by the same 1 ms, so switching never shifts the
    chain's timing. */
class MultibandProcessor
{
public:
    static constexpr std::array<float, 4> crossoverHz { 120.0f, 420.0f, 1600.0f, 5200.0f };

    void prepare (double newSampleRate);
    void reset() noexcept;
    void applyPreset (const PresetRecord& preset) noexcept;
    /** The 64-sample refresh: the switch, and EXTREME's lower thresholds, higher ratios, shorter
        releases and lower ceiling. */
    void refresh (const PresetRecord& preset, float extremeAmount, bool switchedOn) noexcept;

    StereoSample process (StereoSample in) noexcept;

    int getLookaheadSamples() const noexcept { return lookaheadSamples; }

    double sampleRate = 48000.0;
    int lookaheadSamples = 0;

    // Settings (after EXTREME bending)
    bool active = true;
    float link = 0.2f;
    BandValues thresholdDb { -18.0f, -18.0f, -18.0f, -18.0f, -18.0f };
    BandValues ratio { 2.0f, 2.0f, 2.0f, 2.0f, 2.0f };
    BandValues attackMs { 35.0f, 20.0f, 10.0f, 5.0f, 2.0f };
    BandValues releaseMs { 550.0f, 450.0f, 350.0f, 300.0f, 250.0f };
    float ceilingDb = -7.0f;
    BandValues limiterReleaseMs { 120.0f, 100.0f, 80.0f, 65.0f, 55.0f };
    BandValues bandGainDb {};

    // Working state and published reductions (positive dB)
    BandValues envelope {};
    BandValues compGainDb {};
    BandValues limiterGainDb {};
    BandValues totalReductionDb {};
    BandValues compReductionDb {};
    BandValues limiterReductionDb {};

private:
    void copyPresetBlock (const PresetRecord& preset) noexcept;
    void updateCoefficients() noexcept;

    std::array<StereoLR4Split, 4> split;
    std::array<StereoLR4Allpass, 6> allpass; // band 0: 420, 1600, 5200; band 1: 1600, 5200; band 2: 5200
    std::array<StereoDelayLine, kBandCount> bandDelay;
    StereoDelayLine bypassDelay;

    BandValues attackCoeff {}, releaseCoeff {}, limiterReleaseCoeff {};
    float limiterAttackCoeff = 0.0f;
};
} // namespace kt
