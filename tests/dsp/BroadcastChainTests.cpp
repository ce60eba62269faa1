#include "TestSignals.h"
#include "dsp/BroadcastChain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

namespace
{
void run (kt::BroadcastChain& chain, int samples)
{
    for (int n = 0; n < samples; ++n)
        chain.process ({ 0.0f, 0.0f });
}

TEST (BroadcastChain, ExtremeRampsLinearlyOverOneHundredFiftyMilliseconds)
{
    kt::BroadcastChain chain;
    chain.prepare (48000.0);

    chain.extremeTarget = 1.0f;
    run (chain, 3600);
    EXPECT_NEAR (chain.extremeAmount, 0.5f, 1.0e-3f);
    EXPECT_NEAR (chain.published.extremeAmount.get(), 0.5f, 1.0e-3f);

    int samples = 3600;
    while (chain.extremeAmount < 1.0f && samples < 10000)
    {
        chain.process ({});
        ++samples;
    }
    EXPECT_NEAR (samples, 7200, 1);

    chain.extremeTarget = 0.0f;
    run (chain, 1800);
    EXPECT_NEAR (chain.extremeAmount, 0.75f, 1.0e-3f);
    run (chain, 5401);
    EXPECT_EQ (chain.extremeAmount, 0.0f);
}

TEST (BroadcastChain, PreparingAgainKeepsExtremeSwitchesAndPreset)
{
    kt::BroadcastChain chain;
    chain.prepare (48000.0);
    chain.presetIndex = 6;
    chain.applyPreset();
    chain.extremeTarget = 1.0f;
    chain.stageEnabled[kt::stageBassClipper] = false;
    run (chain, 2000);
    const float extremeBefore = chain.extremeAmount;

    chain.prepare (96000.0);
    EXPECT_EQ (chain.presetIndex.load(), 6);
    EXPECT_FLOAT_EQ (chain.extremeAmount, extremeBefore);
    EXPECT_FLOAT_EQ (chain.extremeTarget, 1.0f);
    EXPECT_FALSE (chain.stageEnabled[kt::stageBassClipper]);
    EXPECT_EQ (chain.totalLatency, 768);
}

TEST (BroadcastChain, PreparationClearsTheSignalInFlight)
{
    kt::BroadcastChain chain;
    chain.prepare (48000.0);
    for (int n = 0; n < 200; ++n)
        chain.process ({ 0.5f, 0.5f });
    chain.prepare (48000.0);
    for (int n = 0; n < 1000; ++n)
    {
        const auto out = chain.process ({ 0.0f, 0.0f });
        ASSERT_EQ (out.left, 0.0f) << n;
    }
}

TEST (BroadcastChain, PresetDisplayValuesArePublishedEverySample)
{
    kt::BroadcastChain chain;
    chain.prepare (48000.0);
    for (int i = 0; i < kt::kPresetCount; ++i)
    {
        chain.presetIndex = i;
        chain.applyPreset();
        chain.process ({});
        const auto& p = kt::kPresets[(size_t) i];
        EXPECT_FLOAT_EQ (chain.published.inputHpfHz.get(), p.inputHpfHz) << p.name;
        EXPECT_FLOAT_EQ (chain.published.bandLinkPercent.get(), 100.0f * p.bandLink) << p.name;
    }
}

TEST (Presets, TableIsConsistent)
{
    std::set<std::string> names;
    for (const auto& p : kt::kPresets)
    {
        names.insert (p.name);
        EXPECT_GT (p.finalLowpassHz, 0.0f) << p.name;
        EXPECT_GE (p.truePeakCeilingDb, -6.0f) << p.name;
        EXPECT_LE (p.truePeakCeilingDb, 0.0f) << p.name;
        EXPECT_LT (p.agcGateFreezeDb, p.agcGateOpenDb) << p.name;
        EXPECT_LT (p.lfShelfFullBoostBelowDb, p.lfShelfNoBoostAboveDb) << p.name;
        for (int b = 0; b < kt::kBandCount; ++b)
        {
            EXPECT_GE (p.bandRatio[(size_t) b], 1.0f) << p.name;
            EXPECT_GT (p.bandAttackMs[(size_t) b], 0.0f) << p.name;
            EXPECT_GT (p.bandReleaseMs[(size_t) b], 0.0f) << p.name;
        }
        // The faceplate's dot-matrix font has upper-case letters only.
        for (const char* line : p.descriptionLines)
        {
            std::string upper (line);
            std::transform (upper.begin(), upper.end(), upper.begin(), [] (unsigned char c) { return (char) std::toupper (c); });
            EXPECT_EQ (upper, std::string (line)) << p.name;
        }
    }
    EXPECT_EQ (names.size(), (size_t) kt::kPresetCount);
}
} // namespace
