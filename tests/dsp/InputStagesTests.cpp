// Input trim, input high-pass, phase rotator and auto input, measured through the chain.

#include "ChainTestUtils.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
using namespace chaintest;
constexpr double fs = 48000.0;
constexpr int kBroadcast = 1, kDance = 6, kTalk = 7;

TEST (InputHighPass, SwitchedOffPassesTheTrimmedInputBitExactly)
{
    kt::BroadcastChain off, on;
    prepareWithOnly (off, fs, kTalk, {});
    prepareWithOnly (on, fs, kTalk, { kt::stageInputHpf });
    EXPECT_TRUE (tapsReadAlike (off, kt::tapInputTrim, kt::tapInputHpf));
    EXPECT_FALSE (tapsReadAlike (on, kt::tapInputTrim, kt::tapInputHpf));
}

TEST (InputHighPass, TalkCutsFortyHertzByTwelveDbAndLeavesOneKilohertz)
{
    struct Case
    {
        double hz;
        double expectedDb;
        double tolerance;
    };
    for (auto c : { Case { 40.0, -12.30, 0.05 }, Case { 1000.0, 0.0, 0.01 }, Case { 80.0, -3.01, 0.02 } })
        EXPECT_NEAR (stageGainDb (kt::stageInputHpf, c.hz, kTalk), c.expectedDb, c.tolerance) << c.hz;
}

TEST (InputHighPass, PresetChangeRedesignsWithoutAClick)
{
    // A 1 kHz sine's largest step between samples is 2 pi f / fs times its amplitude; clearing the
    // filter state at the change would jump far beyond that.
    kt::BroadcastChain chain;
    prepareWithOnly (chain, fs, kBroadcast, { kt::stageInputHpf });
    const auto in = testsig::sine (1000.0, fs, 48000, 0.1f);
    std::vector<float> out;
    for (size_t n = 0; n < in.size(); ++n)
    {
        if (n == 24000 + 17)
        {
            chain.presetIndex = kTalk;
            chain.applyPreset();
        }
        out.push_back (chain.process ({ in[n], in[n] }).left);
    }
    const double amplitude = testsig::peak (out, 12000);
    double largestStep = 0.0;
    for (size_t n = 12000; n < out.size(); ++n)
        largestStep = std::max (largestStep, (double) std::abs (out[n] - out[n - 1]));
    EXPECT_LT (largestStep, amplitude * testsig::kTwoPi * 1000.0 / fs * 1.05);
}

TEST (PhaseRotator, LeavesTheMagnitudeOfSteadySinesUnchanged)
{
    for (double hz : { 50.0, 240.0, 720.0, 2100.0, 9000.0 })
        EXPECT_NEAR (stageGainDb (kt::stagePhase, hz, kBroadcast), 0.0, 0.01) << hz;
}

TEST (PhaseRotator, SwitchingIsImmediateAndContinuesFromLiveState)
{
    kt::BroadcastChain on, off;
    prepareWithOnly (on, fs, kBroadcast, { kt::stagePhase });
    prepareWithOnly (off, fs, kBroadcast, {});
    EXPECT_TRUE (tapsReadAlike (off, kt::tapInputHpf, kt::tapPhaseRotator));

    const auto in = testsig::noise (8000, 0.4f);
    std::vector<float> a, b;
    for (size_t n = 0; n < in.size(); ++n)
    {
        // Switch the rotator in on the second chain: from then on the two agree exactly, once the
        // stages after it have forgotten the earlier difference.
        if (n == 2000)
            off.stageEnabled[kt::stagePhase] = true;
        a.push_back (on.process ({ in[n], in[n] }).left);
        b.push_back (off.process ({ in[n], in[n] }).left);
    }
    const size_t switchedAtOutput = 2000 + (size_t) on.totalLatency;
    EXPECT_NE (a[switchedAtOutput - 1], b[switchedAtOutput - 1]);
    for (size_t n = switchedAtOutput + 200; n < in.size(); ++n)
        ASSERT_EQ (a[n], b[n]) << n;
}

//==================================================================================================
// Auto input. BROADCAST's AGC wants -18 dBFS at ratio 3.5, so a tone whose weighted level is L asks
// for a gain of (-18 - L) * (1 - 1 / 3.5); the tone level picks which rate band the AGC sits in.

struct AutoRateCase
{
    double agcGainDb;   // the AGC correction the tone asks for
    double trimDbPerSec; // expected trim speed (+ rise, - fall)
};

class AutoInputRate : public ::testing::TestWithParam<AutoRateCase> {};

TEST_P (AutoInputRate, FollowsTheAgcCorrectionByBand)
{
    const auto c = GetParam();
    kt::BroadcastChain chain;
    prepareWithOnly (chain, fs, kBroadcast, { kt::stageAgc });
    const double levelDb = -18.0 - c.agcGainDb / (1.0 - 1.0 / 3.5);
    SineSource tone { 750.0, dbToLinear (levelDb) * std::sqrt (2.0f) };
    tone.run (chain, 6.0); // let the AGC settle
    ASSERT_NEAR (chain.agc.gainDb, c.agcGainDb, 0.5);

    chain.autoInputEnabled = true;
    chain.autoTrimDb = chain.inputTrimDb;
    const float before = chain.autoTrimDb;
    tone.run (chain, 2.0);
    EXPECT_NEAR ((chain.autoTrimDb - before) / 2.0, c.trimDbPerSec, 0.02) << "AGC at " << c.agcGainDb << " dB";
}

INSTANTIATE_TEST_SUITE_P (Bands, AutoInputRate,
                          ::testing::Values (AutoRateCase { 12.0, 0.42 }, AutoRateCase { 6.0, 0.26 }, AutoRateCase { 3.0, 0.16 },
                                             AutoRateCase { 1.6, 0.09 }, AutoRateCase { 0.0, 0.0 }, AutoRateCase { -1.6, -0.18 },
                                             AutoRateCase { -3.0, -0.30 }, AutoRateCase { -6.0, -0.48 }, AutoRateCase { -12.0, -0.8 }));

TEST (AutoInput, TrimNeverLeavesPlusMinusEighteenDb)
{
    for (auto [start, levelDb, limit] : { std::tuple { 17.95f, -45.0, 18.0f }, std::tuple { -17.95f, 30.0, -18.0f } })
    {
        kt::BroadcastChain chain;
        prepareWithOnly (chain, fs, kBroadcast, { kt::stageAgc });
        chain.autoInputEnabled = true;
        chain.autoTrimDb = start;
        SineSource { 750.0, dbToLinear (levelDb) }.run (chain, 3.0);
        EXPECT_EQ (chain.autoTrimDb, limit);
    }
}

TEST (AutoInput, ReportsSettledAfterMoreThanFourSecondsNearZeroCorrection)
{
    kt::BroadcastChain chain;
    prepareWithOnly (chain, fs, kBroadcast, { kt::stageAgc });
    SineSource tone { 750.0, dbToLinear (-18.0) * std::sqrt (2.0f) };
    tone.run (chain, 3.0);
    chain.autoInputEnabled = true;
    chain.autoTrimDb = chain.inputTrimDb;

    tone.run (chain, 3.9);
    EXPECT_EQ (chain.published.autoInputState.get(), 1.0f);
    tone.run (chain, 0.5);
    EXPECT_EQ (chain.published.autoInputState.get(), 2.0f);

    // A loud stretch (the AGC then cuts by more than 1 dB) drops it back to adjusting.
    SineSource loud { 750.0, 0.9f };
    loud.run (chain, 1.5);
    EXPECT_EQ (chain.published.autoInputState.get(), 1.0f);

    chain.autoInputEnabled = false;
    chain.process ({});
    EXPECT_EQ (chain.published.autoInputState.get(), 0.0f);
    EXPECT_EQ (chain.published.autoInputOn.get(), 0.0f);
}

TEST (AutoInput, LowInputWarningAfterSixSecondsOfSilenceClearedAfterThreeOfProgramme)
{
    for (bool autoOn : { true, false })
    {
        kt::BroadcastChain chain;
        prepareWithOnly (chain, fs, kBroadcast, { kt::stageAgc });
        chain.autoInputEnabled = autoOn;

        runSilence (chain, 6.0);
        EXPECT_EQ (chain.published.lowInputWarning.get(), 0.0f) << autoOn;
        runSilence (chain, 0.5);
        EXPECT_EQ (chain.published.lowInputWarning.get(), 1.0f) << autoOn;

        SineSource programme { 750.0, 0.1f };
        programme.run (chain, 2.9);
        EXPECT_EQ (chain.published.lowInputWarning.get(), 1.0f) << autoOn;
        programme.run (chain, 0.5);
        EXPECT_EQ (chain.published.lowInputWarning.get(), 0.0f) << autoOn;
    }
}

TEST (AutoInput, CountersSaturateInsteadOfWrapping)
{
    // Weeks of silence: the warning must stay on, not go out when a counter overflows.
    kt::BroadcastChain chain;
    prepareWithOnly (chain, fs, kBroadcast, {});
    chain.lowInputSamples = std::numeric_limits<int>::max() - 100;
    runSilence (chain, 1.0);
    EXPECT_EQ (chain.lowInputSamples, std::numeric_limits<int>::max());
    EXPECT_EQ (chain.published.lowInputWarning.get(), 1.0f);

    chain.autoInputEnabled = true;
    chain.autoSettledSamples = std::numeric_limits<int>::max() - 100;
    SineSource tone { 750.0, dbToLinear (-18.0) * std::sqrt (2.0f) };
    chain.agc.gainDb = 0.0f;
    tone.run (chain, 0.6);
    EXPECT_GE (chain.autoSettledSamples, 0);
}

TEST (AutoInput, KeepsReactingWhileTheAgcIsSwitchedOff)
{
    kt::BroadcastChain chain;
    prepareWithOnly (chain, fs, kBroadcast, {});
    SineSource quiet { 750.0, dbToLinear (-34.0) };
    quiet.run (chain, 4.0);
    EXPECT_GT (chain.agc.gainDb, 8.0f); // the AGC's opinion, not applied
    chain.autoInputEnabled = true;
    const float before = chain.autoTrimDb = chain.inputTrimDb;
    quiet.run (chain, 1.0);
    EXPECT_GT (chain.autoTrimDb, before + 0.3f);
    (void) kDance;
}
} // namespace
