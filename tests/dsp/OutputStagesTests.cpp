// Bass clipper, output high-pass, true-peak limiter and the output alignment.

#include "ChainTestUtils.h"
#include "dsp/BassClipper.h"
#include "dsp/TruePeakLimiter.h"

#include <gtest/gtest.h>

namespace
{
using chaintest::dbToLinear;
constexpr double fs = 48000.0;

kt::BassClipper makeBassClipper (int preset, float extreme = 0.0f, bool on = true)
{
    kt::BassClipper b;
    b.prepare (fs);
    b.applyPreset (kt::kPresets[(size_t) preset]);
    b.refresh (kt::kPresets[(size_t) preset], extreme, on);
    return b;
}

TEST (BassClipper, PresetsWithoutItPassTheSignalAndTheReadingDecays)
{
    for (int preset : { 0, 7, 8 })
    {
        auto b = makeBassClipper (preset);
        EXPECT_FALSE (b.active);
        b.reductionDb = 6.0f;
        for (auto x : testsig::noise ((size_t) (0.09 * fs), 0.9f))
        {
            const auto y = b.process ({ x, -x });
            ASSERT_EQ (y.left, x);
            ASSERT_EQ (y.right, -x);
        }
        EXPECT_NEAR (b.reductionDb, 6.0f * std::exp (-1.0f), 0.01f) << kt::kPresets[(size_t) preset].name;
    }
}

TEST (BassClipper, BelowTheKneeTheBassComesBackDrivenAndResmoothed)
{
    auto b = makeBassClipper (1);
    ASSERT_TRUE (b.active);
    kt::Biquad split, smooth;
    split.setLowPass (80.0f, 0.70710678f, fs);
    smooth.setLowPass (150.0f, 0.70710678f, fs);
    const float drive = dbToLinear (kt::kPresets[1].bassDriveDb);

    for (auto x : testsig::noise (20000, 0.05f))
    {
        const float lo = split.process (x);
        const float expected = x - lo + smooth.process (lo * drive);
        ASSERT_NEAR (b.process ({ x, x }).left, expected, 1.0e-6f);
    }
    EXPECT_EQ (b.reductionDb, 0.0f);
}

TEST (BassClipper, ClipsLoudBassAndReportsIt)
{
    auto b = makeBassClipper (6); // DANCE: 3.5 dB drive, soft 0.25
    float out = 0.0f;
    for (auto x : testsig::sine (50.0, fs, (size_t) fs, 0.9f))
        out = std::max (out, std::abs (b.process ({ x, x }).left));
    EXPECT_GT (b.reductionDb, 1.0f);
    EXPECT_LT (out, 1.0f);
}

TEST (BassClipper, ExtremeAddsDriveAndHardensTheKnee)
{
    for (const auto& p : kt::kPresets)
    {
        const auto index = (int) (&p - kt::kPresets.data());
        const auto on = makeBassClipper (index, 1.0f, true);
        EXPECT_FLOAT_EQ (on.driveDb, p.bassDriveDb + 1.2f) << p.name;
        EXPECT_FLOAT_EQ (on.softness, std::min (0.32f, p.bassSoftness)) << p.name;
        const auto off = makeBassClipper (index, 1.0f, false);
        EXPECT_FALSE (off.active);
        EXPECT_FLOAT_EQ (off.driveDb, p.bassDriveDb) << p.name;
        EXPECT_FLOAT_EQ (off.softness, p.bassSoftness) << p.name;
    }
    EXPECT_FLOAT_EQ (makeBassClipper (1, 1.0f).softness, 0.32f); // 0.65 -> 0.32
}

TEST (BassClipper, FiltersFreezeWhileInactiveAndResumeFromThere)
{
    auto b = makeBassClipper (1);
    for (auto x : testsig::noise (1000, 0.3f))
        b.process ({ x, x });
    const auto frozen = b.splitLowpass[0];
    b.refresh (kt::kPresets[1], 0.0f, false);
    for (auto x : testsig::noise (1000, 0.3f, 5u))
        b.process ({ x, x });
    EXPECT_EQ (b.splitLowpass[0].z1, frozen.z1);
    EXPECT_EQ (b.splitLowpass[0].z2, frozen.z2);
}

//==================================================================================================
TEST (OutputHighPass, IsA30HzSecondOrderHighPassAndExactWhenOff)
{
    EXPECT_NEAR (chaintest::stageGainDb (kt::stageOutputHpf, 30.0), -3.01, 0.02);
    EXPECT_NEAR (chaintest::stageGainDb (kt::stageOutputHpf, 15.0), -12.30, 0.05);
    EXPECT_NEAR (chaintest::stageGainDb (kt::stageOutputHpf, 1000.0), 0.0, 0.01);

    kt::BroadcastChain off;
    chaintest::prepareWithOnly (off, fs, 1, {});
    EXPECT_TRUE (chaintest::tapsReadAlike (off, kt::tapBassClipper, kt::tapOutputHpf));
}

//==================================================================================================
kt::TruePeakLimiter makeLimiter (float ceilingDb, float releaseMs = 100.0f)
{
    kt::PresetRecord p = kt::kPresets[1];
    p.truePeakCeilingDb = ceilingDb;
    p.truePeakReleaseMs = releaseMs;
    kt::TruePeakLimiter limiter;
    limiter.prepare (fs);
    limiter.applyPreset (p);
    return limiter;
}

std::vector<float> runLimiter (kt::TruePeakLimiter& limiter, const std::vector<float>& in)
{
    std::vector<float> out;
    for (auto x : in)
        out.push_back (limiter.process ({ x, 0.0f }).left);
    return out;
}

TEST (TruePeakLimiter, TwoSamplesOverTheCeilingComeOutAtTheCeiling)
{
    auto limiter = makeLimiter (-1.0f);
    const float ceiling = dbToLinear (-1.0);
    std::vector<float> in (300, 0.0f);
    in[100] = in[101] = 0.98f;
    const auto out = runLimiter (limiter, in);
    EXPECT_EQ (limiter.getLatencySamples(), 72);
    EXPECT_NEAR (out[172], ceiling, 1.0e-6f);
    EXPECT_NEAR (out[173], ceiling, 1.0e-6f);
}

TEST (TruePeakLimiter, OppositeSignsInterpolateToZeroAndTheSamplePeakDecides)
{
    auto limiter = makeLimiter (-1.0f);
    std::vector<float> in (300, 0.0f);
    in[100] = 0.9f;
    in[101] = -0.9f;
    const auto out = runLimiter (limiter, in);
    EXPECT_NEAR (out[172], dbToLinear (-1.0), 1.0e-6f);
    EXPECT_NEAR (out[173], -dbToLinear (-1.0), 1.0e-6f);
}

TEST (TruePeakLimiter, NothingLeavesAboveTheCeiling)
{
    // A short release used to let the gain recover inside the lookahead, before the peak left it.
    const float ceiling = dbToLinear (-1.0);
    struct Case
    {
        const char* name;
        std::vector<float> signal;
    };
    std::vector<Case> cases;
    cases.push_back ({ "a spike 6 dB over", testsig::impulse (2000, 500, 2.0f * ceiling) });
    std::vector<float> spikes (20000, 0.0f);
    for (size_t n = 100; n < spikes.size(); n += 37 + n % 23)
        spikes[n] = (n % 3 ? 1.0f : -1.0f) * (0.9f + (float) (n % 7) * 0.3f);
    cases.push_back ({ "spikes at random spacing", spikes });
    std::vector<float> square (20000);
    for (size_t n = 0; n < square.size(); ++n)
        square[n] = (n / 60) % 2 ? 1.5f : -1.5f;
    cases.push_back ({ "square wave", square });
    cases.push_back ({ "loud noise", testsig::noise (20000, 3.0f) });

    for (const auto& c : cases)
    {
        for (float release : { 5.0f, 30.0f, 200.0f })
        {
            auto limiter = makeLimiter (-1.0f, release);
            const auto out = runLimiter (limiter, c.signal);
            EXPECT_LE (testsig::peak (out), ceiling * (1.0 + 1.0e-6)) << c.name << ", release " << release;
        }
    }
}

TEST (TruePeakLimiter, SwitchedOffItIsAPureDelayAndTheGainRelaxes)
{
    kt::BroadcastChain chain;
    chaintest::prepareWithOnly (chain, fs, 1, { kt::stageTruePeak });
    chaintest::SineSource { 1000.0, 1.0f }.run (chain, 0.2);
    EXPECT_EQ (chain.published.truePeakActive.get(), 1.0f);
    EXPECT_GT (chain.published.truePeakReductionDb.get(), 0.0f);

    chain.stageEnabled[kt::stageTruePeak] = false;
    chaintest::runSilence (chain, 1.0);
    EXPECT_EQ (chain.published.truePeakActive.get(), 0.0f);
    EXPECT_NEAR (chain.truePeak.gain, 1.0f, 1.0e-3f);

    auto limiter = makeLimiter (-1.0f);
    limiter.enabled = false;
    const auto in = testsig::noise (1000, 2.0f);
    const auto out = runLimiter (limiter, in);
    for (size_t n = 72; n < in.size(); ++n)
        ASSERT_EQ (out[n], in[n - 72]);
}

TEST (OutputAlignment, PadsTheChainToEightMilliseconds)
{
    // clipper 8 + multiband 48 + true-peak 72 + FIR 77 + alignment 179 = 384 at 48 kHz.
    for (auto [rate, alignment] : { std::pair { 48000.0, 179 }, std::pair { 44100.0, 164 }, std::pair { 96000.0, 768 - (8 + 96 + 144 + 154) } })
    {
        kt::BroadcastChain chain;
        chain.prepare (rate);
        EXPECT_EQ (chain.outputAlignDelay, alignment) << rate;
        EXPECT_EQ (chain.totalLatency, (int) std::lround (0.008 * rate)) << rate;
    }
    // At very low rates the fixed minimum delays add up to more than 8 ms: no alignment at all.
    kt::BroadcastChain slow;
    slow.prepare (1000.0);
    EXPECT_EQ (slow.outputAlignDelay, 0);
}
} // namespace
