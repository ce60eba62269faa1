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
} // namespace chaintest
