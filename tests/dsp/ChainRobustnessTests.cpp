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
    { "one full-scale click", [] (size_t n) { return n == 1000 ? 1.0f : 0.0f; } },
    { "20 kHz full-scale square", [] (size_t n) { return std::sin (testsig::kTwoPi * 20000.0 * (double) n / 48000.0) >= 0.0 ? 1.0f : -1.0f; } },
    { "noise at +12 dBFS", [] (size_t n) { return 4.0f * ((float) ((n * 2654435761u) % 2001) / 1000.0f - 1.0f); } },
    { "noise", [] (size_t n) { return (float) ((n * 2654435761u) % 2001) / 1000.0f - 1.0f; } },
};

/** How a mono signal is laid across the two channels. */
struct Placement
{
    const char* name;
    kt::StereoSample (*place) (float x);
};

const Placement placements[] = {
    { "out of phase", [] (float x) { return kt::StereoSample { x, -x }; } },
    { "hard left", [] (float x) { return kt::StereoSample { x, 0.0f }; } },
    { "mono", [] (float x) { return kt::StereoSample { x, x }; } },
};

TEST (ChainRobustness, HostileSignalsKeepEverythingFinite)
{
    for (int preset = 0; preset < kt::kPresetCount; ++preset)
    {
        for (float extreme : { 0.0f, 1.0f })
        {
            for (const auto& signal : signals)
            for (const auto& placement : placements)
            {
                kt::BroadcastChain chain;
                chain.presetIndex = preset;
                chain.extremeTarget = extreme;
                chain.autoInputEnabled = preset % 2 == 0;
                chain.prepare (fs);

                const auto& p = kt::kPresets[(size_t) preset];
                bool finite = true;
                for (size_t n = 0; n < (size_t) (0.5 * fs) && finite; ++n)
                {
                    const auto out = chain.process (placement.place (signal.sample (n)));
                    finite = std::isfinite (out.left) && std::isfinite (out.right);
                    ASSERT_GE (chain.agc.gainDb, -p.agcMaxCutDb);
                    ASSERT_LE (chain.agc.gainDb, p.agcMaxBoostDb);
                }
                EXPECT_TRUE (finite) << p.name << " " << signal.name << " " << placement.name << " EXTREME " << extreme;
                for (const auto* corr : { &chain.published.stereoCorrelation, &chain.published.outputCorrelation })
                {
                    EXPECT_GE (corr->get(), -1.0f) << p.name << " " << signal.name << " " << placement.name;
                    EXPECT_LE (corr->get(), 1.0f) << p.name << " " << signal.name << " " << placement.name;
                }
                EXPECT_TRUE (testsig::allFinite (publishedValues (chain.published))) << p.name << " " << signal.name;

                // And it recovers: a quiet sine afterwards comes out as a finite, non-silent signal.
                chaintest::SineSource { 1000.0, 0.1f }.run (chain, 0.25);
                EXPECT_GT (chain.published.outputPeak.get(), 0.0f) << p.name << " " << signal.name;
                EXPECT_TRUE (std::isfinite (chain.published.outputPeak.get()));
            }
        }
    }
}
} // namespace
