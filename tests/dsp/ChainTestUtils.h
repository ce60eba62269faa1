#pragma once

// Small helpers for driving a kt::BroadcastChain directly in tests.

#include "TestSignals.h"
#include "dsp/BroadcastChain.h"

namespace chaintest
{
/** A chain prepared at fs with one preset, every stage switched off except the ones listed. */
inline void prepareWithOnly (kt::BroadcastChain& chain, double fs, int preset, std::initializer_list<kt::StageSwitch> on)
{
    chain.stageEnabled.fill (false);
    for (auto s : on)
        chain.stageEnabled[(size_t) s] = true;
    chain.presetIndex = preset;
    chain.prepare (fs);
}

/** Runs a mono signal through both channels and returns the left output. */
inline std::vector<float> run (kt::BroadcastChain& chain, const std::vector<float>& in)
{
    std::vector<float> out (in.size());
    for (size_t n = 0; n < in.size(); ++n)
        out[n] = chain.process ({ in[n], in[n] }).left;
    return out;
}

inline void runSilence (kt::BroadcastChain& chain, double seconds)
{
    const auto n = (size_t) (seconds * chain.sampleRate);
    for (size_t i = 0; i < n; ++i)
        chain.process ({});
}

/** Runs a constant value (DC) for the given time. */
inline void runConstant (kt::BroadcastChain& chain, float value, double seconds)
{
    const auto n = (size_t) (seconds * chain.sampleRate);
    for (size_t i = 0; i < n; ++i)
        chain.process ({ value, value });
}

/** Runs a sine on both channels for the given time, continuing its phase across calls. */
struct SineSource
{
    double hz;
    float amplitude;
    double phase = 0.0;

    void run (kt::BroadcastChain& chain, double seconds)
    {
        const auto n = (size_t) (seconds * chain.sampleRate);
        const double step = testsig::kTwoPi * hz / chain.sampleRate;
        for (size_t i = 0; i < n; ++i)
        {
            const auto v = amplitude * (float) std::sin (phase);
            phase += step;
            chain.process ({ v, v });
        }
    }
};

inline float dbToLinear (double db) { return (float) std::pow (10.0, db / 20.0); }

/** Level change (dB) one stage makes to a quiet tone: the chain's output with the stage on against
    the same chain with it off, everything else equal (the listed stages on in both, EXTREME fully
    in or out from the start). What follows the stage is the same small-signal path in both. */
inline double stageGainDb (kt::StageSwitch stage, double hz, int preset = 1, float extreme = 0.0f,
                           std::initializer_list<kt::StageSwitch> alsoOn = {}, double fs = 48000.0)
{
    kt::BroadcastChain on, off;
    for (auto* chain : { &on, &off })
    {
        chain->extremeAmount = chain->extremeTarget = extreme;
        chain->presetIndex = preset;
        chain->stageEnabled.fill (false);
        for (auto s : alsoOn)
            chain->stageEnabled[(size_t) s] = true;
    }
    on.stageEnabled[(size_t) stage] = true;
    on.prepare (fs);
    off.prepare (fs);
    const auto in = testsig::sine (hz, fs, (size_t) fs, 0.01f);
    return testsig::toneLevelDb (run (on, in), hz, fs) - testsig::toneLevelDb (run (off, in), hz, fs);
}

/** Runs half a second of noise (left, and -0.5 times it right) and tells whether two meter taps
    read exactly the same at every publish: the stage between them passes its input untouched. */
inline bool tapsReadAlike (kt::BroadcastChain& chain, kt::MeterTap a, kt::MeterTap b)
{
    const auto in = testsig::noise ((size_t) (chain.sampleRate / 2), 0.4f);
    bool alike = true;
    for (size_t n = 0; n < in.size(); ++n)
    {
        chain.process ({ in[n], -0.5f * in[n] });
        if (n % 64 == 63)
            alike = alike && chain.published.stageMeters[(size_t) a].get() == chain.published.stageMeters[(size_t) b].get();
    }
    return alike;
}
} // namespace chaintest
