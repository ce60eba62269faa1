#include "ChainTestUtils.h"

#include <gtest/gtest.h>

namespace
{
constexpr double fs = 48000.0;

TEST (Meters, ASingleFullScaleSampleShowsOnEveryTapThatPassesIt)
{
    // With every stage switched to a pass or a pure delay, taps 0 (trim) to 9 (FM phase) carry the
    // click unchanged; they read 1.0 within 64 samples of it reaching them.
    kt::BroadcastChain chain;
    chaintest::prepareWithOnly (chain, fs, 1, {});
    chain.process ({ 1.0f, -0.5f });
    chaintest::runSilence (chain, 63.0 / fs); // the multiband delays it by 48 samples; the meters publish every 64
    for (int tap = kt::tapInputTrim; tap <= kt::tapFmPhase; ++tap)
        EXPECT_EQ (chain.published.stageMeters[(size_t) tap].get(), 1.0f) << "tap " << tap;

    // Held, then decaying by a factor of e every 180 ms: exp(-0.5) after 90 ms.
    chaintest::runSilence (chain, 0.09);
    for (int tap = kt::tapInputTrim; tap <= kt::tapFmPhase; ++tap)
        EXPECT_NEAR (chain.published.stageMeters[(size_t) tap].get(), std::exp (-0.5f), 0.01f) << "tap " << tap;
}

TEST (Meters, PeakHoldsFallByEEvery180ms)
{
    kt::BroadcastChain chain;
    chaintest::prepareWithOnly (chain, fs, 1, {});
    chaintest::runConstant (chain, 0.2f, 0.1);
    const float held = chain.published.outputPeakHold.get();
    EXPECT_GT (held, 0.2f); // the clipper's drive
    EXPECT_NEAR (chain.published.inputPeakHold.get(), 0.2f, 1.0e-6f);
    EXPECT_NEAR (chain.published.inputPeak.get(), 0.2f, 1.0e-6f);

    // The input stops at once; the output a latency later.
    chaintest::runSilence (chain, (double) chain.totalLatency / fs + 8.0 / fs);
    EXPECT_EQ (chain.published.outputPeak.get(), 0.0f);
    const float start = chain.published.outputPeakHold.get();
    chaintest::runSilence (chain, 0.18);
    EXPECT_NEAR (chain.published.outputPeakHold.get(), start * std::exp (-1.0f), 0.002f);
}

TEST (Meters, ProcessingActivityWeighsTheWorkingStages)
{
    struct Case
    {
        float band, truePeak, clipper, hf;
        float expected;
    };
    const Case cases[] = {
        { 0, 0, 0, 0, 0.0f },      { -3, -1, -2, -5, 0.0f },  { 0, 0, 0, 4.5f, 0.3f },     { 3, 0, 0, 0, 0.1f },
        { 0, 1.5f, 0, 0, 0.1f },   { 0, 0, 3, 0, 0.15f },     { 6, 3, 6, 4.5f, 1.0f },     { 60, 30, 60, 45, 1.0f },
    };
    for (const auto& c : cases)
        EXPECT_NEAR (kt::processingActivity (c.band, c.truePeak, c.clipper, c.hf), c.expected, 1.0e-6f)
            << c.band << " " << c.truePeak << " " << c.clipper << " " << c.hf;

    kt::BroadcastChain chain;
    chain.presetIndex = 3;
    chain.prepare (fs);
    chaintest::runSilence (chain, 0.5);
    EXPECT_EQ (chain.published.processingActivity.get(), 0.0f);
    chaintest::SineSource { 200.0, 0.9f }.run (chain, 1.0);
    EXPECT_GT (chain.published.processingActivity.get(), 0.0f);
}
} // namespace
