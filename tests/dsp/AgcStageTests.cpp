#include "ChainTestUtils.h"
#include "dsp/AgcStage.h"

#include <gtest/gtest.h>

namespace
{
constexpr double fs = 48000.0;
const auto& broadcast = kt::kPresets[1];

/** An AGC prepared at 48 kHz with BROADCAST. */
kt::AgcStage makeAgc (float extreme = 0.0f)
{
    kt::AgcStage agc;
    agc.prepare (fs);
    agc.applyPreset (broadcast);
    agc.refresh (broadcast, extreme);
    return agc;
}

/** Feeds a tone (both channels) for the given time; returns the last output sample's left value. */
float feed (kt::AgcStage& agc, double hz, float amplitude, double seconds, bool enabled = true, double* phase = nullptr)
{
    double local = 0.0;
    double& ph = phase ? *phase : local;
    const auto n = (size_t) (seconds * fs);
    float last = 0.0f;
    for (size_t i = 0; i < n; ++i)
    {
        const float v = amplitude * (float) std::sin (ph);
        ph += testsig::kTwoPi * hz / fs;
        last = agc.process ({ v, v }, enabled).left;
    }
    return last;
}

/** Level of a 750 Hz tone (a period of exactly 64 samples) after the detector's weighting, in dB
    relative to the tone: measured through a copy of the detector sections. */
double weightingAt (const kt::AgcStage& agc, double hz)
{
    auto sections = agc.detector;
    auto x = testsig::sine (hz, fs, (size_t) fs, 0.5f);
    for (auto& v : x)
        for (auto& s : sections)
            v = s.process (v);
    return testsig::toneLevelDb (x, hz, fs) - testsig::toDb (0.5);
}

/** Sine amplitude whose weighted RMS level is levelDb. */
float amplitudeForWeightedLevel (const kt::AgcStage& agc, double hz, double levelDb)
{
    return chaintest::dbToLinear (levelDb - weightingAt (agc, hz)) * std::sqrt (2.0f);
}

TEST (Agc, SettlesAtTheGainTheTargetAndRatioAskFor)
{
    // 10 dB under the -18 dBFS target at ratio 3.5: 10 * (1 - 1/3.5) = 7.14 dB, at 4 dB/s.
    auto agc = makeAgc();
    const float amplitude = amplitudeForWeightedLevel (agc, 750.0, -28.0);
    double phase = 0.0;
    feed (agc, 750.0, amplitude, 1.0, true, &phase);
    EXPECT_NEAR (agc.gainDb, 4.0f, 0.02f); // still slewing at 4 dB/s
    feed (agc, 750.0, amplitude, 1.0, true, &phase);
    EXPECT_NEAR (agc.gainDb, 10.0f * (1.0f - 1.0f / 3.5f), 0.02f);

    // The gain is applied to both channels.
    const float out = feed (agc, 750.0, amplitude, 0.01, true, &phase);
    (void) out;
    const auto y = agc.process ({ 0.1f, -0.2f }, true);
    EXPECT_NEAR (y.left / 0.1f, kt::dbToGain (agc.gainDb), 1.0e-5f);
    EXPECT_NEAR (y.right / -0.2f, kt::dbToGain (agc.gainDb), 1.0e-5f);
}

TEST (Agc, GainMovesEverySixtyFourSamplesAtTheCutAndBoostRates)
{
    struct Case
    {
        const char* name;
        double levelDb;
        float extreme;
        float dbPerSecond;
    };
    for (auto c : { Case { "boost", -40.0, 0.0f, 4.0f }, Case { "cut", -2.0, 0.0f, -18.0f },
                    Case { "boost at EXTREME", -40.0, 1.0f, 4.0f * 1.3f }, Case { "cut at EXTREME", -2.0, 1.0f, -18.0f * 1.25f } })
    {
        auto agc = makeAgc (c.extreme);
        const float amplitude = amplitudeForWeightedLevel (agc, 750.0, c.levelDb);
        double phase = 0.0;
        feed (agc, 750.0, amplitude, 63.0 / fs, true, &phase);
        EXPECT_EQ (agc.gainDb, 0.0f) << c.name;
        feed (agc, 750.0, amplitude, 1.0 / fs, true, &phase);
        EXPECT_NEAR (agc.gainDb, c.dbPerSecond * 64.0f / 48000.0f, 1.0e-5f) << c.name;
        feed (agc, 750.0, amplitude, 64.0 * 99 / fs, true, &phase);
        EXPECT_NEAR (agc.gainDb, c.dbPerSecond * 6400.0f / 48000.0f, 1.0e-3f) << c.name;
    }
}

TEST (Agc, ExtremeRaisesTheTarget)
{
    for (float extreme : { 0.0f, 1.0f })
    {
        auto agc = makeAgc (extreme);
        feed (agc, 750.0, amplitudeForWeightedLevel (agc, 750.0, -28.0), 4.0);
        EXPECT_NEAR (agc.gainDb, (10.0f + 1.2f * extreme) * (1.0f - 1.0f / 3.5f), 0.02f) << extreme;
    }
}

TEST (Agc, StaysWithinItsLargestCutAndBoost)
{
    for (auto [amplitude, limit] : { std::pair { 1.0e-4f, 16.0f }, std::pair { 30.0f, -18.0f } })
    {
        auto agc = makeAgc();
        agc.gateOpenDb = agc.gateFreezeDb = -200.0f; // let the quiet tone boost all the way
        feed (agc, 750.0, amplitude, 6.0);
        EXPECT_FLOAT_EQ (agc.gainDb, limit);
    }
}

TEST (Agc, GateFreezesBoostInPausesSmoothlyBetweenAndNeverHoldsACut)
{
    // An unlimited boost rate shows the gate's own effect: each update moves the gain by the
    // smoothstep fraction of the wanted rise.
    struct Case
    {
        const char* name;
        double levelDb;
        float fraction; // of the wanted change per update
    };
    for (auto c : { Case { "at the freeze level", -58.0, 0.0f }, Case { "halfway", -53.0, 0.5f },
                    Case { "a quarter of the way", -55.5, 0.15625f }, Case { "open", -47.0, 1.0f } })
    {
        auto agc = makeAgc();
        const float amplitude = amplitudeForWeightedLevel (agc, 750.0, c.levelDb);
        double phase = 0.0;
        // Settle the detector with the gain held still, then free the boost rate.
        agc.boostRateDbPerSec = 0.0f;
        feed (agc, 750.0, amplitude, 0.5, true, &phase);
        ASSERT_EQ (agc.gainDb, 0.0f);
        agc.boostRateDbPerSec = 1.0e9f;

        const float wanted = std::min (16.0f, (float) (-18.0 - c.levelDb) * (1.0f - 1.0f / 3.5f));
        feed (agc, 750.0, amplitude, 64.0 / fs, true, &phase);
        EXPECT_NEAR (agc.gainDb, wanted * c.fraction, 0.02f) << c.name;
        feed (agc, 750.0, amplitude, 64.0 / fs, true, &phase);
        const float second = wanted * c.fraction + (wanted - wanted * c.fraction) * c.fraction;
        EXPECT_NEAR (agc.gainDb, second, 0.03f) << c.name;
    }

    // A cut goes ahead below the gate.
    auto agc = makeAgc();
    agc.targetDb = -80.0f;
    feed (agc, 750.0, amplitudeForWeightedLevel (agc, 750.0, -60.0), 0.5);
    EXPECT_LT (agc.gainDb, -5.0f);

    // Silence freezes the gain where it is.
    auto paused = makeAgc();
    paused.gainDb = 3.0f;
    feed (paused, 750.0, 0.0f, 2.0);
    EXPECT_FLOAT_EQ (paused.gainDb, 3.0f);
}

TEST (Agc, DetectorHearsPresenceMoreAndRumbleLess)
{
    // Equal tones: the 3 kHz one (in the presence lift) gets less boost than 750 Hz; a 20 Hz rumble
    // (below the detector's high-pass and in its low shelf) gets more.
    std::map<double, float> settled;
    for (double hz : { 750.0, 3000.0 })
    {
        auto agc = makeAgc();
        feed (agc, hz, 0.02f, 8.0);
        settled[hz] = agc.gainDb;
    }
    auto probe = makeAgc();
    EXPECT_NEAR (settled[750.0] - settled[3000.0], (weightingAt (probe, 3000.0) - weightingAt (probe, 750.0)) * (1.0 - 1.0 / 3.5), 0.05);
    EXPECT_GT (weightingAt (probe, 3000.0) - weightingAt (probe, 750.0), 1.0);
    EXPECT_LT (weightingAt (probe, 20.0), -10.0);
    EXPECT_NEAR (weightingAt (probe, 28.0), -3.0 - 6.0, 0.6);
}

TEST (Agc, SwitchedOffPassesAtUnityWhileTheGainKeepsMoving)
{
    auto agc = makeAgc();
    feed (agc, 750.0, 0.01f, 1.0, false);
    EXPECT_GT (agc.gainDb, 3.0f);
    const kt::StereoSample x { 0.3f, -0.1f };
    const auto y = agc.process (x, false);
    EXPECT_EQ (y.left, x.left);
    EXPECT_EQ (y.right, x.right);
}
} // namespace
