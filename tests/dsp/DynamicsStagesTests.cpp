// Post compressor and dynamic LF shelf.

#include "ChainTestUtils.h"
#include "dsp/LfShelfStage.h"
#include "dsp/PostCompressorStage.h"

#include <gtest/gtest.h>

namespace
{
using chaintest::dbToLinear;
constexpr double fs = 48000.0;
const auto& broadcast = kt::kPresets[1];
const auto& dance = kt::kPresets[6];

kt::PostCompressorStage makeCompressor (float extreme = 0.0f, bool on = true)
{
    kt::PostCompressorStage comp;
    comp.prepare (fs);
    comp.applyPreset (broadcast);
    comp.refresh (broadcast, extreme, on);
    return comp;
}

/** Runs a constant level (a peak detector sees DC as its level) and returns the output. */
float hold (kt::PostCompressorStage& comp, float level, double seconds)
{
    float out = 0.0f;
    for (size_t n = 0; n < (size_t) (seconds * fs); ++n)
        out = comp.process ({ level, -level }).left;
    return out;
}

TEST (PostCompressor, StaticCurveWithTheLargestReductionLimit)
{
    struct Case
    {
        float extreme;
        double dbOverThreshold; // over BROADCAST's threshold (at that EXTREME)
        double expectedGainDb;
    };
    const Case cases[] = {
        { 0.0f, -3.0, 0.0 },
        { 0.0f, 4.0, -4.0 * (1.0 - 1.0 / 2.2) },
        { 0.0f, 10.0, -5.0 }, // wants -5.45, held at the largest reduction
        { 1.0f, 4.0, -4.0 * (1.0 - 1.0 / 2.7) },
    };
    for (const auto& c : cases)
    {
        auto comp = makeCompressor (c.extreme);
        const double threshold = -14.5 - 1.2 * c.extreme;
        const float level = dbToLinear (threshold + c.dbOverThreshold);
        const float out = hold (comp, level, 5.0);
        EXPECT_NEAR (testsig::toDb (out / level), c.expectedGainDb, 0.01) << c.dbOverThreshold << " at EXTREME " << c.extreme;
        EXPECT_NEAR (comp.gainDb, c.expectedGainDb, 0.01);
    }
}

TEST (PostCompressor, EnvelopeAndGainAreTwoCascadedSmoothers)
{
    // A step 10 dB over the threshold: with two one-pole smoothers in a row the reduction after one
    // attack time is well short of the 63 % a single smoother would give; after 15 it has arrived.
    auto comp = makeCompressor();
    const float loud = dbToLinear (-4.5);
    hold (comp, loud, 0.022); // BROADCAST attack: 22 ms
    EXPECT_GT (comp.gainDb, -0.63f * 5.0f);
    EXPECT_LT (comp.gainDb, -0.05f);
    hold (comp, loud, 0.3);
    EXPECT_NEAR (comp.gainDb, -5.0f, 0.05f);

    // Release (320 ms) is much slower than attack.
    hold (comp, dbToLinear (-40.0), 0.022);
    EXPECT_LT (comp.gainDb, -4.9f);
    hold (comp, dbToLinear (-40.0), 3.0);
    EXPECT_GT (comp.gainDb, -0.05f);

    // EXTREME speeds both up: the same 22 ms take it further.
    auto fast = makeCompressor (1.0f);
    auto slow = makeCompressor (0.0f);
    hold (fast, loud, 0.022);
    hold (slow, loud, 0.022);
    EXPECT_LT (fast.gainDb, slow.gainDb);
}

TEST (PostCompressor, SwitchedOffPassesAndFreezesItsState)
{
    auto comp = makeCompressor();
    hold (comp, dbToLinear (-4.5), 1.0);
    const float frozen = comp.gainDb;

    comp.refresh (broadcast, 0.0f, false);
    EXPECT_FALSE (comp.active);
    const kt::StereoSample x { 0.9f, -0.7f };
    const auto y = comp.process (x);
    EXPECT_EQ (y.left, x.left);
    EXPECT_EQ (y.right, x.right);
    hold (comp, 0.0f, 1.0);
    EXPECT_EQ (comp.gainDb, frozen);

    comp.refresh (broadcast, 0.0f, true);
    EXPECT_TRUE (comp.active);
    EXPECT_NEAR (hold (comp, dbToLinear (-4.5), 0.001) / dbToLinear (-4.5), dbToLinear (-5.0), 0.01);
}

TEST (PostCompressor, ThroughTheChainTheSwitchActsWithinSixtyFourSamplesAndTheReadingFreezes)
{
    kt::BroadcastChain chain;
    chaintest::prepareWithOnly (chain, fs, 1, { kt::stagePostComp });
    chaintest::runConstant (chain, dbToLinear (-4.5), 1.0);
    const float reduction = chain.published.postCompReductionDb.get();
    EXPECT_NEAR (reduction, 5.0f, 0.05f);
    EXPECT_LT (chain.published.stageMeters[kt::tapPostComp].get(), chain.published.stageMeters[kt::tapAgc].get());

    // Switched off: within 64 samples the stage passes its input, so its meter reads exactly what
    // the stage before it (the AGC, switched off too) reads.
    chain.stageEnabled[kt::stagePostComp] = false;
    chaintest::runConstant (chain, dbToLinear (-4.5), 192.0 / fs);
    EXPECT_EQ (chain.published.stageMeters[kt::tapPostComp].get(), chain.published.stageMeters[kt::tapAgc].get());
    EXPECT_EQ (chain.published.postCompReductionDb.get(), reduction);
}

TEST (PostCompressor, ClassicalDoesNotUseIt)
{
    kt::BroadcastChain chain;
    chaintest::prepareWithOnly (chain, fs, 8, { kt::stagePostComp, kt::stageLfShelf });
    chaintest::runConstant (chain, 0.9f, 1.0);
    EXPECT_FALSE (chain.postComp.active);
    EXPECT_EQ (chain.published.postCompReductionDb.get(), 0.0f);
    chaintest::runSilence (chain, 0.5);
    EXPECT_EQ (chain.published.lfShelfGainDb.get(), 0.0f);
}

//==================================================================================================
kt::LfShelfStage makeShelf()
{
    kt::LfShelfStage shelf;
    shelf.prepare (fs);
    shelf.applyPreset (dance);
    return shelf;
}

TEST (LfShelf, DanceBoostFollowsTheBassLevel)
{
    // DANCE: +5 dB at or below -36 dBFS of bass, none at or above -12, linear in dB between.
    // DC is all bass: the band low-pass passes it whole, so out = in * (1 + g).
    struct Case
    {
        double bassDb;
        double boostDb;
    };
    for (auto c : { Case { -48.0, 5.0 }, Case { -36.0, 5.0 }, Case { -24.0, 2.5 }, Case { -18.0, 1.25 }, Case { -12.0, 0.0 }, Case { -3.0, 0.0 } })
    {
        auto shelf = makeShelf();
        const float level = dbToLinear (c.bassDb);
        float out = 0.0f;
        for (size_t n = 0; n < (size_t) (3.0 * fs); ++n)
            out = shelf.process ({ level, level }, true).left;
        EXPECT_NEAR (shelf.gainDb, c.boostDb, 0.02) << c.bassDb;
        EXPECT_NEAR (testsig::toDb (out / level), c.boostDb, 0.02) << c.bassDb;
    }
}

TEST (LfShelf, ResponseOfTheParallelBand)
{
    // At full boost the added low-pass band lifts the lows toward +5 dB and leaves the highs.
    auto shelf = makeShelf();
    for (size_t n = 0; n < (size_t) (2.0 * fs); ++n)
        shelf.process ({}, true);
    ASSERT_NEAR (shelf.gainDb, 5.0f, 0.01f);

    const auto gainAt = [&] (double hz) {
        auto copy = shelf;
        auto x = testsig::sine (hz, fs, (size_t) fs, 1.0e-4f); // quiet: the boost stays at full
        for (auto& v : x)
            v = copy.process ({ v, v }, true).left;
        return testsig::toneLevelDb (x, hz, fs) - testsig::toDb (1.0e-4);
    };
    EXPECT_NEAR (gainAt (10.0), 5.0, 0.2);
    EXPECT_GT (gainAt (20.0), 4.0);
    EXPECT_LT (gainAt (106.0), -0.5); // the parallel band dips just above its corner
    EXPECT_NEAR (gainAt (2000.0), 0.0, 0.05);
}

TEST (LfShelf, SilenceGivesTheFullBoost)
{
    auto shelf = makeShelf();
    for (size_t n = 0; n < (size_t) (2.0 * fs); ++n)
        shelf.process ({}, true);
    EXPECT_NEAR (shelf.gainDb, 5.0f, 0.01f);
    EXPECT_EQ (shelf.power, 0.0f);
}

TEST (LfShelf, SwitchedOffPassesWhileTheBoostKeepsFollowing)
{
    auto shelf = makeShelf();
    const float loud = dbToLinear (-12.0);
    for (size_t n = 0; n < (size_t) (1.0 * fs); ++n)
    {
        const kt::StereoSample x { loud, -loud };
        const auto y = shelf.process (x, false);
        ASSERT_EQ (y.left, x.left);
        ASSERT_EQ (y.right, x.right);
    }
    // The mono detector sees L + R = 0: silence, full boost.
    EXPECT_NEAR (shelf.gainDb, 5.0f, 0.05f);
}

TEST (LfShelf, PresetWithoutShelfResetsTheBoostWhichGlidesBackIn150ms)
{
    kt::BroadcastChain chain;
    chaintest::prepareWithOnly (chain, fs, 6, { kt::stageLfShelf });
    chaintest::runSilence (chain, 1.5);
    EXPECT_NEAR (chain.published.lfShelfGainDb.get(), 5.0f, 0.01f);

    chain.presetIndex = 7; // TALK: no shelf
    chain.applyPreset();
    chain.process ({});
    EXPECT_EQ (chain.published.lfShelfGainDb.get(), 0.0f);

    chain.presetIndex = 6;
    chain.applyPreset();
    chaintest::runSilence (chain, 0.15);
    EXPECT_NEAR (chain.published.lfShelfGainDb.get(), 5.0f * (1.0f - std::exp (-1.0f)), 0.02f);
}
} // namespace
