#include "ChainTestUtils.h"
#include "dsp/MultibandProcessor.h"

#include <gtest/gtest.h>

namespace
{
constexpr double fs = 48000.0;
const auto& broadcast = kt::kPresets[1];

/** A multiband at 48 kHz with BROADCAST, then the given adjustments to its settings. */
template <typename Adjust>
kt::MultibandProcessor makeMultiband (Adjust adjust)
{
    kt::MultibandProcessor mb;
    mb.prepare (fs);
    mb.applyPreset (broadcast);
    adjust (mb);
    return mb;
}

/** Settings under which nothing is compressed or limited and every band gain is 0 dB. */
void transparent (kt::MultibandProcessor& mb)
{
    mb.thresholdDb.fill (50.0f);
    mb.ceilingDb = 50.0f;
    mb.bandGainDb.fill (0.0f);
}

std::vector<float> runMono (kt::MultibandProcessor& mb, const std::vector<float>& in)
{
    std::vector<float> out;
    out.reserve (in.size());
    for (auto x : in)
        out.push_back (mb.process ({ x, x }).left);
    return out;
}

TEST (Multiband, BandsSumFlatThroughTheAlignmentAllpasses)
{
    // Right at the crossover points a tree without the alignment allpasses dips by about a dB.
    for (double hz : { 30.0, 120.0, 250.0, 420.0, 800.0, 1600.0, 3000.0, 5200.0, 9000.0, 15000.0 })
    {
        auto mb = makeMultiband (transparent);
        const auto out = runMono (mb, testsig::sine (hz, fs, (size_t) fs, 0.1f));
        EXPECT_NEAR (testsig::toneLevelDb (out, hz, fs) - testsig::toDb (0.1), 0.0, 0.05) << hz;
    }
}

TEST (Multiband, LookaheadIsOneMillisecond)
{
    for (auto [rate, expected] : { std::pair { 48000.0, 48 }, std::pair { 44100.0, 44 }, std::pair { 96000.0, 96 }, std::pair { 500.0, 1 } })
    {
        kt::MultibandProcessor mb;
        mb.prepare (rate);
        EXPECT_EQ (mb.getLookaheadSamples(), expected) << rate;
    }

    // Disengaged, the stage is exactly that delay.
    auto mb = makeMultiband ([] (kt::MultibandProcessor& m) { m.active = false; });
    const auto in = testsig::noise (2000, 0.5f);
    const auto out = runMono (mb, in);
    for (size_t n = 48; n < in.size(); ++n)
        ASSERT_EQ (out[n], in[n - 48]);
}

TEST (Multiband, CompressorStaticCurvePerBand)
{
    // DC lies wholly in band 0, where the peak envelope equals the level exactly. Link 0 so the band
    // speaks for itself.
    struct Case
    {
        size_t band;
        float ratio;
        double overDb;
        double expectedReductionDb;
        double tolerance;
    };
    const Case cases[] = {
        { 0, 2.0f, 10.0, 5.0, 0.01 },
        { 0, 4.0f, 8.0, 6.0, 0.01 },
        { 0, 1.0f, 20.0, 20.0 * (1.0 - 1.0 / 1.01), 0.01 }, // ratio 1 acts as 1.01
        { 0, 0.5f, 20.0, 20.0 * (1.0 - 1.0 / 1.01), 0.01 },
        { 0, 3.0f, -4.0, 0.0, 0.001 },
    };
    for (const auto& c : cases)
    {
        auto mb = makeMultiband ([&] (kt::MultibandProcessor& m) {
            transparent (m);
            m.link = 0.0f;
            m.thresholdDb[c.band] = -30.0f;
            m.ratio[c.band] = c.ratio;
        });
        const float amplitude = chaintest::dbToLinear (-30.0 + c.overDb);
        runMono (mb, std::vector<float> ((size_t) (3 * fs), amplitude));
        EXPECT_NEAR (mb.compReductionDb[c.band], c.expectedReductionDb, c.tolerance) << "band " << c.band << " ratio " << c.ratio;
        for (size_t other = 0; other < 5; ++other)
        {
            if (other != c.band)
            {
                EXPECT_LT (mb.compReductionDb[other], 0.01f) << "band " << other;
            }
        }
    }
}

TEST (Multiband, TonesAreCompressedOnTheirBandsPeakEnvelope)
{
    // A sine's peak envelope settles a little under its peak (fast attack, slow release); the curve
    // then applies to that envelope level.
    for (auto [band, hz] : { std::pair { (size_t) 1, 250.0 }, std::pair { (size_t) 2, 800.0 }, std::pair { (size_t) 4, 9000.0 } })
    {
        auto mb = makeMultiband ([&] (kt::MultibandProcessor& m) {
            transparent (m);
            m.link = 0.0f;
            m.thresholdDb[band] = -30.0f;
            m.ratio[band] = 3.0f;
        });
        runMono (mb, testsig::sine (hz, fs, (size_t) (3 * fs), chaintest::dbToLinear (-20.0)));
        const double envelopeDb = testsig::toDb (mb.envelope[band]);
        EXPECT_GT (envelopeDb, -23.0) << hz;
        EXPECT_LE (envelopeDb, -20.0 + 0.01) << hz;
        EXPECT_NEAR (mb.compReductionDb[band], (envelopeDb + 30.0) * (1.0 - 1.0 / 3.0), 0.05) << hz;
    }
}

TEST (Multiband, LinkPullsEveryBandTowardTheAverage)
{
    for (float link : { 0.0f, 0.5f, 1.0f })
    {
        auto mb = makeMultiband ([&] (kt::MultibandProcessor& m) {
            transparent (m);
            m.link = link;
            m.thresholdDb[0] = -30.0f;
            m.ratio[0] = 2.0f;
        });
        runMono (mb, std::vector<float> ((size_t) (3 * fs), chaintest::dbToLinear (-20.0)));
        // Band 0 alone wants 5 dB: the average is 1 dB.
        EXPECT_NEAR (mb.compReductionDb[0], 5.0f + link * (1.0f - 5.0f), 0.01f) << link;
        for (size_t b = 1; b < 5; ++b)
            EXPECT_NEAR (mb.compReductionDb[b], link * 1.0f, 0.01f) << link << " band " << b;
    }
}

TEST (Multiband, LimiterActsInTheLoudBandOnlyBeforeThePeakLeavesTheDelay)
{
    // A 9 kHz burst 6 dB over the ceiling, out of silence.
    const auto burst = [] {
        std::vector<float> x (9600, 0.0f);
        const auto tone = testsig::sine (9000.0, fs, 2400, chaintest::dbToLinear (-7.0 + 6.0));
        std::copy (tone.begin(), tone.end(), x.begin() + 4800);
        return x;
    }();

    auto free = makeMultiband ([] (kt::MultibandProcessor& m) { transparent (m); });
    auto limited = makeMultiband ([] (kt::MultibandProcessor& m) {
        transparent (m);
        m.ceilingDb = -7.0f;
    });
    const auto outFree = runMono (free, burst);

    std::vector<float> outLimited;
    float bandFourMax = 0.0f, othersMax = 0.0f;
    for (auto x : burst)
    {
        outLimited.push_back (limited.process ({ x, x }).left);
        bandFourMax = std::max (bandFourMax, limited.limiterReductionDb[4]);
        for (size_t b = 0; b < 4; ++b)
            othersMax = std::max (othersMax, limited.limiterReductionDb[b]);
    }
    EXPECT_GT (bandFourMax, 3.0f);
    EXPECT_LT (othersMax, 0.5f);

    // The first cycle of the burst to leave the 1 ms delay is already reduced.
    const size_t start = 4800 + 48;
    double freePeak = 0.0, limitedPeak = 0.0;
    for (size_t n = start; n < start + 6; ++n)
    {
        freePeak = std::max (freePeak, (double) std::abs (outFree[n]));
        limitedPeak = std::max (limitedPeak, (double) std::abs (outLimited[n]));
    }
    EXPECT_LT (testsig::toDb (limitedPeak / freePeak), -3.0);
}

TEST (Multiband, ExtremeBendsThresholdsRatiosReleasesAndCeilingOnly)
{
    for (const auto& p : kt::kPresets)
    {
        kt::MultibandProcessor mb;
        mb.prepare (fs);
        mb.refresh (p, 1.0f, true);
        for (size_t b = 0; b < 5; ++b)
        {
            EXPECT_FLOAT_EQ (mb.thresholdDb[b], p.bandThresholdDb[b] - 1.0f) << p.name;
            EXPECT_FLOAT_EQ (mb.ratio[b], p.bandRatio[b] * 1.1f) << p.name;
            EXPECT_FLOAT_EQ (mb.releaseMs[b], p.bandReleaseMs[b] * 0.8f) << p.name;
            EXPECT_FLOAT_EQ (mb.attackMs[b], p.bandAttackMs[b]) << p.name;
            EXPECT_FLOAT_EQ (mb.bandGainDb[b], p.bandGainDb[b]) << p.name;
            EXPECT_FLOAT_EQ (mb.limiterReleaseMs[b], p.bandLimiterReleaseMs[b]) << p.name;
        }
        EXPECT_FLOAT_EQ (mb.ceilingDb, p.bandCeilingDb - 0.7f) << p.name;

        // Switched off, nothing is bent.
        mb.refresh (p, 1.0f, false);
        EXPECT_FALSE (mb.active);
        EXPECT_FLOAT_EQ (mb.thresholdDb[0], p.bandThresholdDb[0]) << p.name;
        EXPECT_FLOAT_EQ (mb.ceilingDb, p.bandCeilingDb) << p.name;
    }
}

TEST (Multiband, DisengagingInTheChainDelaysByTheLookaheadAndZeroesTheReadings)
{
    kt::BroadcastChain chain;
    chaintest::prepareWithOnly (chain, fs, 3, { kt::stageMultiband });
    chaintest::SineSource { 200.0, 0.9f }.run (chain, 1.0);
    EXPECT_GT (chain.published.bandGainReductionDb[1].get(), 3.0f);
    EXPECT_NEAR (chain.published.bandLinkPercent.get(), 35.0f, 1.0e-4f);

    chain.stageEnabled[kt::stageMultiband] = false;
    chaintest::runSilence (chain, 64.0 / fs);
    for (size_t b = 0; b < 5; ++b)
    {
        EXPECT_EQ (chain.published.bandGainReductionDb[b].get(), 0.0f);
        EXPECT_EQ (chain.published.bandCompReductionDb[b].get(), 0.0f);
        EXPECT_EQ (chain.published.bandLimitReductionDb[b].get(), 0.0f);
    }

    // From then on it is the 1 ms delay: the chain's output joins that of a chain that never had
    // the multiband on, once the stages after it have forgotten the difference.
    kt::BroadcastChain neverOn;
    chaintest::prepareWithOnly (neverOn, fs, 3, {});
    chaintest::runSilence (neverOn, 0.1); // its band limit glides to "off" first, as the other's has
    const auto in = testsig::noise (6000, 0.3f);
    const auto out = chaintest::run (chain, in);
    const auto reference = chaintest::run (neverOn, in);
    for (size_t n = (size_t) chain.totalLatency + 300; n < in.size(); ++n)
        ASSERT_EQ (out[n], reference[n]) << n;
}

TEST (Multiband, ChainLatencyStaysEightMilliseconds)
{
    // Disengaged, the multiband still delays by its lookahead; the chain's total stays 8 ms.
    for (double rate : { 44100.0, 48000.0, 96000.0 })
    {
        kt::BroadcastChain chain;
        chaintest::prepareWithOnly (chain, rate, 1, {});
        EXPECT_EQ (chain.totalLatency, (int) std::lround (0.008 * rate));
        const size_t at = (size_t) (0.05 * rate);
        const auto out = chaintest::run (chain, testsig::impulse ((size_t) rate / 4, at, 0.05f));
        EXPECT_EQ (testsig::peakIndex (out), at + (size_t) chain.totalLatency) << rate;
    }
}
} // namespace
