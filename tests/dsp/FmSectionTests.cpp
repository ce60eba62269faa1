// The EXTREME FM section: 15 kHz pre-filter, FM phase, emphasis, HF limiter and the correction clipper.

#include "ChainTestUtils.h"
#include "dsp/CorrectionClipper.h"
#include "dsp/SoftClip.h"

#include <gtest/gtest.h>

#include <complex>

namespace
{
using chaintest::dbToLinear;
constexpr double fs = 48000.0;
const auto& broadcast = kt::kPresets[1];

/** A chain with only the listed stages on and EXTREME fully in from the start. */
void prepareAtExtreme (kt::BroadcastChain& chain, float extreme, std::initializer_list<kt::StageSwitch> on, int preset = 1)
{
    chain.extremeAmount = chain.extremeTarget = extreme;
    chaintest::prepareWithOnly (chain, fs, preset, on);
}

/** Level change of a quiet tone made by switching one stage, with BROADCAST at an EXTREME amount. */
double stageGainDb (kt::StageSwitch stage, float extreme, double hz, std::initializer_list<kt::StageSwitch> alsoOn = {})
{
    return chaintest::stageGainDb (stage, hz, 1, extreme, alsoOn);
}

//==================================================================================================
TEST (FmPreFilterAndPhase, WithoutExtremeOrSwitchedOffTheyPassTheInputExactly)
{
    using chaintest::tapsReadAlike;
    kt::BroadcastChain extremeOff, switchedOff, active;
    prepareAtExtreme (extremeOff, 0.0f, { kt::stageFmPreFilter, kt::stageFmPhase });
    prepareAtExtreme (switchedOff, 1.0f, {});
    prepareAtExtreme (active, 1.0f, { kt::stageFmPreFilter, kt::stageFmPhase });
    for (auto* chain : { &extremeOff, &switchedOff })
    {
        EXPECT_TRUE (tapsReadAlike (*chain, kt::tapStereo, kt::tapFmPreFilter));
        EXPECT_TRUE (tapsReadAlike (*chain, kt::tapFmPreFilter, kt::tapFmPhase));
    }
    EXPECT_FALSE (tapsReadAlike (active, kt::tapFmPreFilter, kt::tapFmPhase));
}

TEST (FmPreFilterAndPhase, AtFullExtremeThePreFilterIsAFourthOrder15kHzLowPass)
{
    EXPECT_NEAR (stageGainDb (kt::stageFmPreFilter, 1.0f, 15000.0), -6.02, 0.05);
    EXPECT_NEAR (stageGainDb (kt::stageFmPreFilter, 1.0f, 1000.0), 0.0, 0.01);
    // Half way: the blend of input and low-pass (the LR4 low-pass is -6 dB and 180 degrees at the corner).
    EXPECT_NEAR (stageGainDb (kt::stageFmPreFilter, 0.5f, 15000.0), testsig::toDb (std::abs (0.5 - 0.5 * 0.5)), 0.05);
}

TEST (FmPreFilterAndPhase, AtFullExtremeFmPhaseBlends35PercentOfTheRotatedSignal)
{
    // |0.65 + 0.35 e^{j phi}|, phi the phase of the three allpass sections at 240, 720, 2100 Hz.
    const auto expectedDb = [] (double hz) {
        double phase = 0.0;
        for (double corner : { 240.0, 720.0, 2100.0 })
            phase += -2.0 * std::atan (std::tan (3.141592653589793 * hz / fs) / std::tan (3.141592653589793 * corner / fs));
        return testsig::toDb (std::abs (0.65 + 0.35 * std::polar (1.0, phase)));
    };
    // Where the rotation reaches 180 degrees the blend cancels most deeply.
    double deepest = 100.0;
    for (double hz = 100.0; hz < 6000.0; hz += 25.0)
        if (expectedDb (hz) < expectedDb (deepest))
            deepest = hz;
    EXPECT_LT (expectedDb (deepest), -6.0);
    for (double hz : { 50.0, 300.0, 1000.0, 4000.0, deepest })
        EXPECT_NEAR (stageGainDb (kt::stageFmPhase, 1.0f, hz), expectedDb (hz), 0.02) << hz;
}

//==================================================================================================
kt::CorrectionClipper makeClipper (float extreme, bool drive = true, bool hf = true, bool pre = true, bool de = true)
{
    kt::CorrectionClipper c;
    c.prepare (fs);
    c.applyPreset (broadcast);
    c.refresh (broadcast, extreme, drive, hf, pre, de);
    return c;
}

/** Gain in dB of a first-order section for a sine at hz, measured. */
double sectionGainDb (kt::FirstOrderSection section, double hz)
{
    auto x = testsig::sine (hz, fs, (size_t) fs / 2, 0.1f);
    for (auto& v : x)
        v = section.process (v);
    return testsig::toneLevelDb (x, hz, fs) - testsig::toDb (0.1);
}

TEST (Emphasis, PreEmphasisFollowsTheFiftyMicrosecondCurveAndDeEmphasisUndoesIt)
{
    const auto clipper = makeClipper (1.0f);
    for (double hz : { 100.0, 1000.0, 3183.0, 8000.0, 12000.0, 15000.0 })
    {
        // The bilinear transform of 1 + s * 50 us at 48 kHz (K = 96000, kp = 4.8):
        // (5.8 - 3.8 z^-1) / (1 + z^-1).
        const auto z1 = std::polar (1.0, -testsig::kTwoPi * hz / fs);
        const double reference = testsig::toDb (std::abs ((5.8 - 3.8 * z1) / (1.0 + z1)));
        EXPECT_NEAR (sectionGainDb (clipper.preEmphasis[0], hz), reference, 0.15) << hz;
        EXPECT_NEAR (sectionGainDb (clipper.deEmphasis[0], hz), -reference, 0.15) << hz;
    }
    EXPECT_NEAR (sectionGainDb (clipper.preEmphasis[0], 3183.0), 3.0, 0.2); // the 50 us corner

    // Pre followed by de gives the input back.
    auto pre = clipper.preEmphasis[0];
    auto de = clipper.deEmphasis[0];
    const auto in = testsig::noise (10000, 0.5f);
    for (size_t n = 0; n < in.size(); ++n)
        ASSERT_NEAR (de.process (pre.process (in[n])), in[n], 2.0e-5f) << n;
}

TEST (Emphasis, FlatWithoutExtremeOrWhenSwitchedOff)
{
    const auto flat = [] (const kt::FirstOrderSection& s) { return s.b0 == 1.0f && s.b1 == 0.0f && s.a1 == 0.0f; };
    const auto atZero = makeClipper (0.0f);
    EXPECT_TRUE (flat (atZero.preEmphasis[0]) && flat (atZero.deEmphasis[1]));
    const auto switchedOff = makeClipper (1.0f, true, true, false, false);
    EXPECT_TRUE (flat (switchedOff.preEmphasis[1]) && flat (switchedOff.deEmphasis[0]));
}

TEST (Emphasis, OneWithoutTheOtherLeavesTheTilt)
{
    const double preAt10k = sectionGainDb (makeClipper (1.0f).preEmphasis[0], 10000.0);
    ASSERT_GT (preAt10k, 8.0);
    // With the whole FM section on, switching de-emphasis off leaves the boost; pre-emphasis off
    // leaves the cut.
    EXPECT_NEAR (-stageGainDb (kt::stageDeEmphasis, 1.0f, 10000.0, { kt::stagePreEmphasis }), preAt10k, 0.3);
    EXPECT_NEAR (-stageGainDb (kt::stagePreEmphasis, 1.0f, 10000.0, { kt::stageDeEmphasis }), -preAt10k, 0.3);
    EXPECT_NEAR (stageGainDb (kt::stageDeEmphasis, 1.0f, 200.0, { kt::stagePreEmphasis }), 0.0, 0.05);
}

TEST (Emphasis, StaysStableWithNyquistContentAndExtremeSwitching)
{
    // A burst at the Nyquist frequency dies away instead of ringing on.
    auto clipper = makeClipper (1.0f);
    auto pre = clipper.preEmphasis[0];
    float last = 0.0f;
    for (int n = 0; n < 400; ++n)
        last = pre.process (n < 100 ? (n % 2 ? 0.5f : -0.5f) : 0.0f);
    EXPECT_LT (std::abs (last), 1.0e-6f);

    // White noise at full EXTREME with the pre-filter off stays bounded for a long run, and once
    // EXTREME is off again and the input stops, nothing is left ringing.
    kt::BroadcastChain chain;
    prepareAtExtreme (chain, 1.0f, { kt::stagePreEmphasis, kt::stageHfLimiter, kt::stageFmClipper, kt::stageDeEmphasis });
    const auto noise = testsig::noise (48000, 0.5f, 7u);
    float largest = 0.0f;
    for (int second = 0; second < 10; ++second)
    {
        if (second == 6)
            chain.extremeTarget = 0.0f;
        if (second == 3 || second == 8)
            chain.extremeTarget = 1.0f;
        for (auto x : noise)
            largest = std::max (largest, std::abs (chain.process ({ x, -x }).left));
    }
    EXPECT_LT (largest, 4.0f);

    chain.extremeTarget = 0.0f;
    chaintest::runSilence (chain, 0.5);
    float residue = 0.0f;
    for (int n = 0; n < 1000; ++n)
        residue = std::max (residue, std::abs (chain.process ({}).left));
    EXPECT_LT (residue, 1.0e-6f);
}

//==================================================================================================
TEST (HfLimiter, PullsBackTheBoostAboveMinusNineDbfsByAtMost4Point5Db)
{
    struct Case
    {
        double boostedPeakDb; // of the pre-emphasised signal
        double expectedReductionDb;
    };
    for (auto c : { Case { -12.0, 0.0 }, Case { -6.0, 3.0 }, Case { 0.0, 4.5 }, Case { 12.0, 4.5 } })
    {
        auto clipper = makeClipper (1.0f);
        const double boost = sectionGainDb (clipper.preEmphasis[0], 6000.0);
        const float amplitude = dbToLinear (c.boostedPeakDb - boost);
        const auto x = testsig::sine (6000.0, fs, (size_t) fs, amplitude);

        // The limiter sees the sampled peaks of the boosted signal.
        auto pre = clipper.preEmphasis[0];
        double boostedPeak = 0.0;
        for (size_t n = 0; n < x.size(); ++n)
            boostedPeak = std::max (boostedPeak, n > 1000 ? (double) std::abs (pre.process (x[n])) : (pre.process (x[n]), 0.0));
        const double expected = std::min (4.5, std::max (0.0, testsig::toDb (boostedPeak) + 9.0));
        EXPECT_NEAR (expected, c.expectedReductionDb, 0.75) << c.boostedPeakDb;

        for (auto v : x)
            clipper.process ({ v, v });
        EXPECT_NEAR (clipper.hfReductionDb, expected, 0.05) << c.boostedPeakDb;
    }
}

TEST (HfLimiter, IdleAtLowExtremeAndWithoutPreEmphasis)
{
    struct Case
    {
        const char* name;
        float extreme;
        bool preEmphasis;
        bool hfSwitch;
    };
    for (auto c : { Case { "EXTREME 0", 0.0f, true, true }, Case { "EXTREME 0.01", 0.01f, true, true }, Case { "EXTREME 0.02", 0.02f, true, true },
                    Case { "pre-emphasis off", 1.0f, false, true }, Case { "switched off", 1.0f, true, false } })
    {
        auto clipper = makeClipper (c.extreme, true, c.hfSwitch, c.preEmphasis, true);
        const auto x = testsig::sine (12000.0, fs, 4800, 1.0f);
        for (auto v : x)
            clipper.process ({ v, v });
        EXPECT_EQ (clipper.hfReductionDb, 0.0f) << c.name;
    }
    auto working = makeClipper (0.05f);
    for (auto v : testsig::sine (12000.0, fs, 4800, 1.0f))
        working.process ({ v, v });
    EXPECT_GT (working.hfReductionDb, 0.0f);
}

//==================================================================================================
TEST (SoftClip, KneeAndCeiling)
{
    // Softness 0: straight up to the ceiling, then flat.
    const float hardKnee = kt::softClipKnee (0.97f, 0.0f);
    EXPECT_FLOAT_EQ (hardKnee, 0.97f);
    EXPECT_FLOAT_EQ (kt::softClip (0.9f, 0.97f, hardKnee), 0.9f);
    EXPECT_FLOAT_EQ (kt::softClip (1.5f, 0.97f, hardKnee), 0.97f);
    EXPECT_FLOAT_EQ (kt::softClip (-3.0f, 0.97f, hardKnee), -0.97f);

    // Softness 1 acts as 0.98: the knee starts at 2 % of the ceiling.
    EXPECT_FLOAT_EQ (kt::softClipKnee (1.0f, 1.0f), kt::softClipKnee (1.0f, 0.98f));
    EXPECT_NEAR (kt::softClipKnee (1.0f, 1.0f), 0.02f, 1.0e-6f);

    // A soft knee: linear below, smooth and monotonic above, never past the ceiling.
    const float knee = kt::softClipKnee (0.97f, 0.52f);
    float previous = 0.0f;
    for (float v = 0.0f; v < 4.0f; v += 0.01f)
    {
        const float y = kt::softClip (v, 0.97f, knee);
        if (v <= knee)
        {
            ASSERT_EQ (y, v);
        }
        ASSERT_GE (y, previous);
        ASSERT_LE (y, 0.97f);
        ASSERT_FLOAT_EQ (kt::softClip (-v, 0.97f, knee), -y);
        previous = y;
    }
}

TEST (Clipper, BelowTheKneeItIsTheDriveAndTheSubSampleAverageEightSamplesLate)
{
    auto clipper = makeClipper (0.0f);
    const float g = dbToLinear (broadcast.clipDriveDb);
    const auto in = testsig::noise (4000, 0.05f);
    std::vector<float> out;
    for (auto x : in)
        out.push_back (clipper.processOne (clipper.left, x));
    for (size_t n = 9; n < in.size(); ++n)
        ASSERT_NEAR (out[n], g * (0.75f * in[n - 8] + 0.25f * in[n - 9]), 1.0e-6f) << n;

    // That average is a gentle top-end roll-off.
    const auto response = [&] (double hz) {
        auto c = makeClipper (0.0f);
        auto x = testsig::sine (hz, fs, (size_t) fs / 2, 0.05f);
        for (auto& v : x)
            v = c.processOne (c.left, v);
        return testsig::toneLevelDb (x, hz, fs) - testsig::toDb (0.05 * g);
    };
    EXPECT_NEAR (response (1000.0), 0.0, 0.02);
    EXPECT_NEAR (response (10000.0), -1.4, 0.1);
    EXPECT_NEAR (response (15000.0), -3.2, 0.1);
}

kt::CorrectionClipper clipperWith (float driveDb, float ceiling, float softness)
{
    kt::PresetRecord p = broadcast;
    p.clipDriveDb = driveDb;
    p.clipCeiling = ceiling;
    p.clipSoftness = softness;
    kt::CorrectionClipper clipper;
    clipper.prepare (fs);
    clipper.applyPreset (p);
    return clipper;
}

TEST (Clipper, ClipsAFullScaleSine)
{
    auto clipper = clipperWith (0.0f, 0.97f, 0.52f);
    std::vector<float> out;
    float deepest = 0.0f;
    for (auto x : testsig::sine (1000.0, fs, 9600, 1.0f))
    {
        out.push_back (clipper.processOne (clipper.left, x));
        deepest = std::max (deepest, clipper.left.clipDepthDb);
    }
    EXPECT_GT (deepest, 0.5f);
    EXPECT_LT (testsig::peak (out, 1000), 1.0);
    EXPECT_GT (testsig::peak (out, 1000), 0.6);
}

TEST (Clipper, CorrectionKeepsClippingProductsFromFoldingBack)
{
    // A hard clip 6 dB into a sine: plain clipping at the chain rate makes harmonics above Nyquist
    // that fold back between the harmonics. The corrected clipper clips at twice the rate and keeps
    // its correction below ~19 kHz, so far less folds back. 1031.25 Hz sits exactly on bin 176 of
    // an 8192-point frame at 48 kHz, and its folded products land 96 bins away from any harmonic.
    const double f0 = 1031.25;
    auto clipper = clipperWith (6.0f, 0.97f, 0.0f);
    const float g = dbToLinear (6.0);
    std::vector<float> corrected, plain;
    for (auto x : testsig::sine (f0, fs, (size_t) fs, 1.0f))
    {
        corrected.push_back (clipper.processOne (clipper.left, x));
        plain.push_back (kt::softClip (g * x, 0.97f, 0.97f));
    }

    const auto foldedDb = [] (const std::vector<float>& x) {
        const auto power = testsig::powerSpectrum (x, 4800, 8192);
        double harmonic = 0.0, folded = 0.0;
        for (size_t bin = 1; bin < power.size(); ++bin)
        {
            const size_t offset = bin % 176;
            (std::min (offset, 176 - offset) <= 3 ? harmonic : folded) += power[bin];
        }
        return 10.0 * std::log10 (folded / harmonic);
    };
    EXPECT_GT (foldedDb (plain), -55.0);
    EXPECT_LT (foldedDb (corrected), foldedDb (plain) - 15.0);
}

TEST (Clipper, SilenceInSilenceOutAndAnUnpreparedClipperStillReturns)
{
    auto clipper = makeClipper (1.0f);
    for (int n = 0; n < 1000; ++n)
    {
        const auto y = clipper.process ({});
        ASSERT_EQ (y.left, 0.0f);
        ASSERT_EQ (y.right, 0.0f);
    }
    EXPECT_EQ (clipper.activityDb, 0.0f);
    EXPECT_EQ (clipper.left.clipDepthDb, 0.0f);

    kt::CorrectionClipper unprepared;
    unprepared.correctionDelay = 16;
    const float y = unprepared.processOne (unprepared.left, 0.5f);
    EXPECT_TRUE (std::isfinite (y));
}

TEST (Clipper, SwitchingItOffRemovesOnlyTheExtremeDrive)
{
    for (float extreme : { 0.0f, 0.5f, 1.0f })
    {
        const auto on = makeClipper (extreme, true);
        const auto off = makeClipper (extreme, false);
        EXPECT_FLOAT_EQ (on.driveDb, broadcast.clipDriveDb + 3.5f * extreme);
        EXPECT_FLOAT_EQ (off.driveDb, broadcast.clipDriveDb);
    }
    // In the chain: the small-signal level differs by exactly the extra drive.
    EXPECT_NEAR (stageGainDb (kt::stageFmClipper, 1.0f, 1000.0), 3.5, 0.01);
    EXPECT_NEAR (stageGainDb (kt::stageFmClipper, 0.0f, 1000.0), 0.0, 1.0e-6);

    kt::BroadcastChain chain;
    prepareAtExtreme (chain, 1.0f, { kt::stageFmClipper });
    chain.process ({});
    EXPECT_FLOAT_EQ (chain.published.clipperDriveDb.get(), broadcast.clipDriveDb + 3.5f);
    EXPECT_FLOAT_EQ (chain.published.preEmphasisUs.get(), 0.0f); // its own switch is off
}

TEST (Clipper, PublishesActivityThatDecays)
{
    kt::BroadcastChain chain;
    prepareAtExtreme (chain, 1.0f, { kt::stageFmClipper, kt::stagePreEmphasis, kt::stageDeEmphasis, kt::stageHfLimiter });
    chaintest::SineSource { 1000.0, 1.0f }.run (chain, 0.2);
    const float active = chain.published.fmClipperActivityDb.get();
    EXPECT_GT (active, 1.0f);
    chaintest::runSilence (chain, 0.085);
    EXPECT_NEAR (chain.published.fmClipperActivityDb.get(), active * std::exp (-1.0f), 0.05f * active);
    EXPECT_FLOAT_EQ (chain.published.preEmphasisUs.get(), 50.0f);
}
} // namespace
