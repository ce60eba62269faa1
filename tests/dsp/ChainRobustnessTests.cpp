// Every preset, with and without EXTREME, against hostile signals: the output and every published
// value stay finite, and the AGC stays within its limits.

#include "ChainTestUtils.h"

#include <gtest/gtest.h>

namespace
{
constexpr double fs = 48000.0;

std::vector<float> publishedValues (const kt::PublishedValues& p)
{
    std::vector<float> v;
    for (const auto& m : p.stageMeters)
        v.push_back (m.get());
    for (const auto* a : { &p.bandGainReductionDb, &p.bandCompReductionDb, &p.bandLimitReductionDb })
        for (const auto& b : *a)
            v.push_back (b.get());
    for (const auto* f : { &p.inputPeakHold, &p.outputPeakHold, &p.inputPeak, &p.outputPeak, &p.agcGainDb, &p.bandLinkPercent,
                           &p.stereoCorrelation, &p.outputCorrelation, &p.truePeakActive, &p.truePeakReductionDb, &p.extremeAmount,
                           &p.lfShelfGainDb, &p.postCompReductionDb, &p.inputHpfHz, &p.finalLowpassHz, &p.monoBassHz, &p.preEmphasisUs,
                           &p.clipperDriveDb, &p.hfLimiterReductionDb, &p.fmClipperActivityDb, &p.bassClipperReductionDb,
                           &p.inputTrimDb, &p.autoInputOn, &p.autoInputState, &p.lowInputWarning, &p.processingActivity })
        v.push_back (f->get());
    return v;
}

struct Signal
{
    const char* name;
    float (*sample) (size_t n);
};

const Signal signals[] = {
    { "silence", [] (size_t) { return 0.0f; } },
    { "DC", [] (size_t) { return 0.8f; } },
    { "full-scale square", [] (size_t n) { return (n / 40) % 2 ? 1.0f : -1.0f; } },
    { "+-1e6 spikes", [] (size_t n) { return n % 997 == 0 ? ((n / 997) % 2 ? 1.0e6f : -1.0e6f) : 0.0f; } },
    { "alternating full scale", [] (size_t n) { return n % 2 ? 1.0f : -1.0f; } },
};

TEST (ChainRobustness, HostileSignalsKeepEverythingFinite)
{
    for (int preset = 0; preset < kt::kPresetCount; ++preset)
    {
        for (float extreme : { 0.0f, 1.0f })
        {
            for (const auto& signal : signals)
            {
                kt::BroadcastChain chain;
                chain.presetIndex = preset;
                chain.extremeTarget = extreme;
                chain.autoInputEnabled = preset % 2 == 0;
                chain.prepare (fs);

                const auto& p = kt::kPresets[(size_t) preset];
                bool finite = true;
                for (size_t n = 0; n < (size_t) fs && finite; ++n)
                {
                    const float x = signal.sample (n);
                    const auto out = chain.process ({ x, -x });
                    finite = std::isfinite (out.left) && std::isfinite (out.right);
                    ASSERT_GE (chain.agc.gainDb, -p.agcMaxCutDb);
                    ASSERT_LE (chain.agc.gainDb, p.agcMaxBoostDb);
                }
                EXPECT_TRUE (finite) << p.name << " " << signal.name << " EXTREME " << extreme;
                EXPECT_TRUE (testsig::allFinite (publishedValues (chain.published))) << p.name << " " << signal.name;

                // And it recovers: a quiet sine afterwards comes out as a finite, non-silent signal.
                chaintest::SineSource { 1000.0, 0.1f }.run (chain, 0.5);
                EXPECT_GT (chain.published.outputPeak.get(), 0.0f) << p.name << " " << signal.name;
                EXPECT_TRUE (std::isfinite (chain.published.outputPeak.get()));
            }
        }
    }
}
} // namespace
