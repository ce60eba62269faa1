#include "ChainTestUtils.h"
#include "dsp/StereoWidthProcessor.h"

#include <gtest/gtest.h>

namespace
{
constexpr double fs = 48000.0;
const auto& dance = kt::kPresets[6];

kt::StereoWidthProcessor makeStereo (const kt::PresetRecord& p = dance, float extreme = 0.0f)
{
    kt::StereoWidthProcessor st;
    st.prepare (fs);
    st.applyPreset (p);
    st.refresh (p, extreme);
    return st;
}

/** Runs L/R through the stage; returns the output. */
testsig::Stereo run (kt::StereoWidthProcessor& st, const testsig::Stereo& in, bool engaged = true)
{
    testsig::Stereo out (in.size());
    for (size_t n = 0; n < in.size(); ++n)
    {
        const auto y = st.process ({ in.left[n], in.right[n] }, engaged);
        out.left[n] = y.left;
        out.right[n] = y.right;
    }
    return out;
}

/** Mid tone at 300 Hz and a side tone at 1 kHz of the given levels. */
testsig::Stereo midSide (float midAmp, float sideAmp, size_t n)
{
    const auto m = testsig::sine (300.0, fs, n, midAmp);
    const auto s = testsig::sine (1000.0, fs, n, sideAmp);
    testsig::Stereo x (n);
    for (size_t i = 0; i < n; ++i)
    {
        x.left[i] = m[i] + s[i];
        x.right[i] = m[i] - s[i];
    }
    return x;
}

std::vector<float> sideOf (const testsig::Stereo& x)
{
    std::vector<float> s (x.size());
    for (size_t i = 0; i < x.size(); ++i)
        s[i] = 0.5f * (x.left[i] - x.right[i]);
    return s;
}

TEST (StereoWidth, MonoInputComesOutHighPassedAtFortyHertzWithCorrelationOne)
{
    for (auto [hz, expectedDb] : { std::pair { 20.0, -12.30 }, std::pair { 40.0, -3.01 }, std::pair { 1000.0, 0.0 } })
    {
        auto st = makeStereo();
        const auto mono = testsig::sine (hz, fs, (size_t) (2 * fs), 0.3f);
        const auto out = run (st, { mono, mono });
        EXPECT_EQ (out.left, out.right);
        EXPECT_NEAR (testsig::toneLevelDb (out.left, hz, fs) - testsig::toDb (0.3), expectedDb, 0.05) << hz;
        EXPECT_NEAR (st.correlation, 1.0f, 1.0e-4f);
    }
}

TEST (StereoWidth, SilenceHasCorrelationZeroAndIsNotWidened)
{
    auto st = makeStereo();
    run (st, testsig::Stereo ((size_t) fs));
    EXPECT_EQ (st.correlation, 0.0f);
}

TEST (StereoWidth, WideningFollowsTheCorrelationAboveTheThreshold)
{
    const float g = chaintest::dbToLinear (dance.stereoWidthDb);
    struct Case
    {
        const char* name;
        float midAmp, sideAmp;
    };
    for (auto c : { Case { "nearly mono", 0.5f, 0.05f }, Case { "moderately wide", 0.5f, 0.2f }, Case { "wide (below threshold)", 0.3f, 0.3f },
                    Case { "mostly side", 0.1f, 0.5f } })
    {
        auto st = makeStereo();
        const auto in = midSide (c.midAmp, c.sideAmp, (size_t) (2 * fs));
        const auto out = run (st, in);
        const double corr = st.correlation;
        const double w = std::clamp ((corr - 0.3) / 0.7, 0.0, 1.0);
        const double expected = testsig::toDb (1.0 + (g - 1.0) * w);
        EXPECT_NEAR (testsig::toneLevelDb (sideOf (out), 1000.0, fs) - testsig::toDb (c.sideAmp), expected, 0.05)
            << c.name << ", correlation " << corr;
    }
}

TEST (StereoWidth, BassBelowTheMonoCornerBecomesMono)
{
    auto st = makeStereo();
    const auto out = run (st, midSide (0.3f, 0.0f, 1000) ); // settle filters
    (void) out;
    testsig::Stereo bassSide ((size_t) (2 * fs));
    const auto s = testsig::sine (30.0, fs, bassSide.size(), 0.3f);
    for (size_t i = 0; i < s.size(); ++i)
    {
        bassSide.left[i] = s[i];
        bassSide.right[i] = -s[i];
    }
    const auto y = run (st, bassSide);
    EXPECT_LT (testsig::toneLevelDb (sideOf (y), 30.0, fs) - testsig::toDb (0.3), -20.0);
}

TEST (StereoWidth, ExtremeNarrowsTheWidthAndMovesTheMonoCornerTo135Hz)
{
    for (const auto& p : kt::kPresets)
    {
        auto st = makeStereo (p, 1.0f);
        EXPECT_FLOAT_EQ (st.widthDb, p.stereoWidthDb * 0.85f) << p.name;
        EXPECT_FLOAT_EQ (st.monoCornerHz, 135.0f) << p.name;
    }

    kt::BroadcastChain chain;
    chaintest::prepareWithOnly (chain, fs, 7, { kt::stageStereo });
    chain.process ({});
    EXPECT_FLOAT_EQ (chain.published.monoBassHz.get(), 200.0f); // TALK
    chain.extremeTarget = 1.0f;
    chaintest::runSilence (chain, 0.2);
    EXPECT_FLOAT_EQ (chain.published.monoBassHz.get(), 135.0f);
}

TEST (StereoWidth, DisengagedPassesBitExactWhileCorrelationIsMeasured)
{
    auto st = makeStereo();
    const auto in = midSide (0.4f, 0.1f, (size_t) fs);
    const auto out = run (st, in, false);
    EXPECT_EQ (out.left, in.left);
    EXPECT_EQ (out.right, in.right);
    EXPECT_NEAR (st.correlation, (0.16f - 0.01f) / (0.16f + 0.01f), 0.01f);

    kt::BroadcastChain chain;
    chaintest::prepareWithOnly (chain, fs, 6, {});
    for (size_t n = 0; n < in.size(); ++n)
        chain.process ({ in.left[n], in.right[n] });
    EXPECT_NEAR (chain.published.stereoCorrelation.get(), (0.16f - 0.01f) / (0.16f + 0.01f), 0.01f);
    EXPECT_EQ (chain.published.stageMeters[kt::tapStereo].get(), chain.published.stageMeters[kt::tapMultiband].get());
}

TEST (StereoWidth, OutputCorrelationReadsTheStageOutput)
{
    // Opposite polarity in, engaged: the bass-free side passes, and the output reads near -1.
    kt::BroadcastChain chain;
    chaintest::prepareWithOnly (chain, fs, 1, { kt::stageStereo });
    const auto s = testsig::sine (1000.0, fs, (size_t) fs, 0.3f);
    for (auto v : s)
        chain.process ({ v, -v });
    EXPECT_NEAR (chain.published.stereoCorrelation.get(), -1.0f, 1.0e-3f);
    EXPECT_NEAR (chain.published.outputCorrelation.get(), -1.0f, 1.0e-3f);
}
} // namespace
