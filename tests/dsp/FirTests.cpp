#include "ChainTestUtils.h"
#include "dsp/CoefficientMorphingFIR.h"
#include "dsp/LowpassFIR.h"
#include "dsp/OutputBandLimit.h"

#include <gtest/gtest.h>

#include <complex>
#include <numeric>

namespace
{
/** Magnitude in dB of an FIR's response at hz, evaluated from its taps. */
double responseDb (const std::vector<float>& h, double hz, double fs)
{
    std::complex<double> sum = 0.0;
    for (size_t k = 0; k < h.size(); ++k)
        sum += (double) h[k] * std::polar (1.0, -testsig::kTwoPi * hz / fs * (double) k);
    return testsig::toDb (std::abs (sum));
}

TEST (LowpassFIR, ShapeOfTheDesign)
{
    EXPECT_EQ (kt::designLowpassFIR (48000.0, 15000.0f, 154).size(), 155u);
    EXPECT_EQ (kt::designLowpassFIR (48000.0, 15000.0f, 33).size(), 33u);

    const auto h = kt::designLowpassFIR (48000.0, 15000.0f, 155);
    EXPECT_NEAR (std::accumulate (h.begin(), h.end(), 0.0), 1.0, 1.0e-5);
    for (size_t k = 0; k < h.size() / 2; ++k)
        EXPECT_NEAR (h[k], h[h.size() - 1 - k], 1.0e-7f) << k;

    // No cutoff, or too few taps for a window: a centred unit impulse.
    for (auto [cutoff, taps] : { std::pair { 0.0f, 155 }, std::pair { -10.0f, 20 }, std::pair { 15000.0f, 1 }, std::pair { 15000.0f, 0 }, std::pair { 15000.0f, -4 } })
    {
        const auto d = kt::designLowpassFIR (48000.0, cutoff, taps);
        ASSERT_FALSE (d.empty());
        const size_t centre = (d.size() - 1) / 2;
        for (size_t k = 0; k < d.size(); ++k)
            EXPECT_EQ (d[k], k == centre ? 1.0f : 0.0f) << cutoff << " " << taps;
    }
}

TEST (LowpassFIR, FifteenKilohertzPassesTheBandAndStopsAboveEighteen)
{
    const double fs = 48000.0;
    const auto h = kt::designLowpassFIR (fs, 15000.0f, 155);
    for (double hz : { 100.0, 1000.0, 5000.0, 10000.0 })
        EXPECT_NEAR (responseDb (h, hz, fs), 0.0, 0.01) << hz;
    for (double hz = 18000.0; hz <= 24000.0; hz += 100.0)
        EXPECT_LT (responseDb (h, hz, fs), -60.0) << hz;
}

TEST (LowpassFIR, CutoffIsHeldBetween200HzAnd048TimesTheRate)
{
    const double fs = 48000.0;
    EXPECT_EQ (kt::designLowpassFIR (fs, 50.0f, 155), kt::designLowpassFIR (fs, 200.0f, 155));
    EXPECT_EQ (kt::designLowpassFIR (fs, 40000.0f, 155), kt::designLowpassFIR (fs, 23040.0f, 155));
}

//==================================================================================================
TEST (CoefficientMorphingFIR, GlideEndsExactlyOnTheTarget)
{
    const double fs = 48000.0;
    kt::OutputBandLimit limit;
    limit.prepare (fs, 16500.0f);
    const auto start = limit.getLeft().getCoefficients();

    limit.setCorner (0.0f, 20.0f);
    EXPECT_EQ (limit.currentSet, 3);
    const int steps = (int) std::lround (0.02 * fs);
    for (int n = 0; n < steps - 1; ++n)
        limit.process ({ 0.0f, 0.0f });
    EXPECT_NE (limit.getLeft().getCoefficients(), start);
    EXPECT_EQ (limit.getLeft().getMorphSamplesLeft(), 1);
    limit.process ({});
    EXPECT_EQ (limit.getLeft().getMorphSamplesLeft(), 0);
    EXPECT_EQ (limit.getLeft().getCoefficients(), kt::designLowpassFIR (fs, 0.0f, limit.taps));

    // Now a pure delay of half the filter length, exactly.
    const auto in = testsig::noise (2000, 0.5f);
    std::vector<float> out;
    for (auto x : in)
        out.push_back (limit.process ({ x, x }).left);
    const size_t delay = (size_t) limit.getLatencySamples();
    EXPECT_EQ (delay, 77u);
    for (size_t n = 200; n < in.size(); ++n)
        ASSERT_EQ (out[n], in[n - delay]);
}

TEST (CoefficientMorphingFIR, SetIndexRule)
{
    const std::pair<float, int> cases[] = { { -1.0f, 3 }, { 0.0f, 3 }, { 1000.0f, 0 }, { 15000.0f, 0 }, { 15499.0f, 0 },
                                            { 15500.0f, 1 }, { 16249.0f, 1 }, { 16250.0f, 2 }, { 16500.0f, 2 }, { 20000.0f, 2 } };
    for (auto [corner, set] : cases)
        EXPECT_EQ (kt::OutputBandLimit::setIndexFor (corner), set) << corner;
}

TEST (CoefficientMorphingFIR, CornerInTheCurrentSetChangesNothing)
{
    kt::OutputBandLimit limit;
    limit.prepare (48000.0, 16000.0f);
    limit.setCorner (15700.0f, 20.0f);
    EXPECT_EQ (limit.getLeft().getMorphSamplesLeft(), 0);

    // A glide in progress carries on when its own set is asked for again.
    limit.setCorner (15000.0f, 30.0f);
    for (int n = 0; n < 100; ++n)
        limit.process ({});
    limit.setCorner (15200.0f, 20.0f);
    EXPECT_EQ (limit.getLeft().getMorphSamplesLeft(), 1440 - 100);
}

TEST (CoefficientMorphingFIR, TapCountsFollowTheRate)
{
    for (auto [rate, taps] : { std::pair { 48000.0, 155 }, std::pair { 44100.0, 143 }, std::pair { 96000.0, 309 }, std::pair { 8000.0, 27 } })
    {
        kt::OutputBandLimit limit;
        limit.prepare (rate, 16000.0f);
        EXPECT_EQ (limit.taps, taps) << rate;
        EXPECT_EQ (limit.getLatencySamples(), (taps - 1) / 2) << rate;
    }
}

TEST (CoefficientMorphingFIR, UnpreparedPassesItsInput)
{
    kt::CoefficientMorphingFIR fir;
    EXPECT_EQ (fir.process (0.75f), 0.75f);
    fir.glideTo ({ 0.5f, 0.5f }, 10);
    EXPECT_EQ (fir.process (-0.25f), -0.25f);
}

//==================================================================================================
TEST (FinalBandLimit, ExtremeGlidesTheCornerDownTo15kHz)
{
    kt::BroadcastChain chain;
    chaintest::prepareWithOnly (chain, 48000.0, 0, { kt::stageFinal15k }); // NATURAL: 16.5 kHz
    chain.process ({});
    EXPECT_FLOAT_EQ (chain.published.finalLowpassHz.get(), 16500.0f);
    EXPECT_EQ (chain.bandLimit.currentSet, 2);

    chain.extremeTarget = 1.0f;
    chaintest::runSilence (chain, 0.2);
    EXPECT_FLOAT_EQ (chain.published.finalLowpassHz.get(), 15000.0f);
    EXPECT_EQ (chain.bandLimit.currentSet, 0);

    chain.stageEnabled[kt::stageFinal15k] = false;
    chaintest::runSilence (chain, 0.05);
    EXPECT_EQ (chain.bandLimit.currentSet, 3);
    EXPECT_FLOAT_EQ (chain.published.finalLowpassHz.get(), 15000.0f);
}

TEST (FinalBandLimit, NoiseThroughTheChainHasNothingAbove16kHz)
{
    // Every stage on, EXTREME on: the final FIR (and the pre-filter) leave the top octave empty.
    for (int preset : { 0, 1, 6 })
    {
        kt::BroadcastChain chain;
        chain.presetIndex = preset;
        chain.extremeTarget = 1.0f;
        chain.extremeAmount = 1.0f;
        chain.prepare (48000.0);
        const auto in = testsig::noise (48000 * 2, 0.3f, 99u);
        std::vector<float> out;
        for (auto x : in)
            out.push_back (chain.process ({ x, x }).left);

        const auto power = testsig::powerSpectrum (out, 48000);
        EXPECT_LT (testsig::bandPeakRelativeDb (power, 48000.0, 16000.0, 24000.0, 500.0, 9000.0), -60.0)
            << kt::kPresets[(size_t) preset].name;
        if (::testing::Test::HasFailure())
            break;
    }
}
} // namespace
