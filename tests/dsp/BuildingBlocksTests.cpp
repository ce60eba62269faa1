#include "TestSignals.h"
#include "dsp/Biquad.h"
#include "dsp/DspMath.h"
#include "dsp/FirstOrderAllpass.h"
#include "dsp/StereoDelayLine.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
using testsig::toneLevelDb;

constexpr float kButterworthQ = 0.70710678f;

/** Steady-state gain in dB of a filter for a sine at hz (one second of signal, second half measured). */
template <typename Filter>
double gainDb (Filter filter, double hz, double fs)
{
    auto x = testsig::sine (hz, fs, (size_t) fs, 0.5f);
    for (auto& v : x)
        v = filter.process (v);
    return toneLevelDb (x, hz, fs) - testsig::toDb (0.5);
}

struct BiquadCase
{
    const char* name;
    std::function<void (kt::Biquad&, double)> design;
    double probeHz;
    double expectedDb;
    double toleranceDb;
};

class BiquadResponse : public ::testing::TestWithParam<std::tuple<BiquadCase, double>> {};

TEST_P (BiquadResponse, MatchesTheAnalyticGain)
{
    const auto& [c, fs] = GetParam();
    kt::Biquad b;
    c.design (b, fs);
    EXPECT_NEAR (gainDb (b, c.probeHz, fs), c.expectedDb, c.toleranceDb) << c.name << " at " << fs << " Hz";
}

const BiquadCase biquadCases[] = {
    { "high-pass at its corner", [] (kt::Biquad& b, double fs) { b.setHighPass (1000.0f, kButterworthQ, fs); }, 1000.0, -3.0103, 0.01 },
    { "low-pass at its corner", [] (kt::Biquad& b, double fs) { b.setLowPass (1000.0f, kButterworthQ, fs); }, 1000.0, -3.0103, 0.01 },
    { "high-pass a decade above", [] (kt::Biquad& b, double fs) { b.setHighPass (100.0f, kButterworthQ, fs); }, 1000.0, 0.0, 0.01 },
    { "high-pass an octave below (12 dB/oct)", [] (kt::Biquad& b, double fs) { b.setHighPass (80.0f, kButterworthQ, fs); }, 40.0, -12.30, 0.05 },
    { "low shelf far below its corner", [] (kt::Biquad& b, double fs) { b.setLowShelf (140.0f, -6.0f, fs); }, 10.0, -6.0, 0.1 },
    { "low shelf at its corner is half the gain", [] (kt::Biquad& b, double fs) { b.setLowShelf (140.0f, -6.0f, fs); }, 140.0, -3.0, 0.05 },
    { "low shelf far above its corner", [] (kt::Biquad& b, double fs) { b.setLowShelf (140.0f, -6.0f, fs); }, 8000.0, 0.0, 0.02 },
    { "peaking at its centre", [] (kt::Biquad& b, double fs) { b.setPeaking (2800.0f, 1.5f, 0.8f, fs); }, 2800.0, 1.5, 0.01 },
    { "peaking far from its centre", [] (kt::Biquad& b, double fs) { b.setPeaking (2800.0f, 1.5f, 0.8f, fs); }, 50.0, 0.0, 0.02 },
    { "a corner above 0.49 fs is held there: still a working low-pass", [] (kt::Biquad& b, double fs) { b.setLowPass (1.0e6f, kButterworthQ, fs); }, 1000.0, 0.0, 0.01 },
    { "a corner of 0 Hz is held at 1 Hz: still a working high-pass", [] (kt::Biquad& b, double fs) { b.setHighPass (0.0f, kButterworthQ, fs); }, 1000.0, 0.0, 0.01 },
};

INSTANTIATE_TEST_SUITE_P (Shapes, BiquadResponse,
                          ::testing::Combine (::testing::ValuesIn (biquadCases), ::testing::Values (44100.0, 48000.0, 96000.0)));

TEST (Biquad, NewSectionPassesTheSignalUnchanged)
{
    kt::Biquad b;
    for (float x : { 0.5f, -1.0f, 0.25f, 0.0f, 3.0f })
        EXPECT_EQ (b.process (x), x);
}

TEST (Biquad, ResetClearsStateButKeepsTheDesign)
{
    kt::Biquad b;
    b.setLowPass (500.0f, kButterworthQ, 48000.0);
    for (int i = 0; i < 100; ++i)
        b.process (1.0f);
    const auto b0 = b.b0;
    b.reset();
    EXPECT_EQ (b.z1, 0.0f);
    EXPECT_EQ (b.z2, 0.0f);
    EXPECT_EQ (b.b0, b0);
    EXPECT_FLOAT_EQ (b.process (1.0f), b0);
}

TEST (FirstOrderAllpass, KeepsMagnitudeAndTurnsNinetyDegreesAtItsBreak)
{
    const double fs = 48000.0;
    for (double breakHz : { 240.0, 720.0, 2100.0 })
    {
        for (double probe : { 50.0, breakHz, 5000.0 })
        {
            kt::FirstOrderAllpass ap;
            ap.setBreakFrequency ((float) breakHz, fs);
            EXPECT_NEAR (gainDb (ap, probe, fs), 0.0, 0.01) << breakHz << " Hz section at " << probe << " Hz";
        }

        kt::FirstOrderAllpass ap;
        ap.setBreakFrequency ((float) breakHz, fs);
        auto x = testsig::sine (breakHz, fs, (size_t) fs);
        const auto in = x;
        for (auto& v : x)
            v = ap.process (v);
        const auto count = (size_t) std::lround (std::floor (0.5 * breakHz) * fs / breakHz);
        const auto phaseIn = testsig::measureTone (in, breakHz, fs, in.size() - count, count).phase;
        const auto phaseOut = testsig::measureTone (x, breakHz, fs, x.size() - count, count).phase;
        auto shift = std::remainder (phaseOut - phaseIn, testsig::kTwoPi) * 180.0 / 3.141592653589793;
        EXPECT_NEAR (std::abs (shift), 90.0, 0.05) << breakHz;
    }
}

TEST (StereoDelayLine, DelaysByExactlyTheSetNumberOfSamples)
{
    for (int delay : { 0, 1, 7, 64, 100 })
    {
        kt::StereoDelayLine line;
        line.prepare (100, delay);
        std::vector<float> left, right;
        for (int n = 0; n < 300; ++n)
        {
            const auto out = line.process ({ n == 3 ? 1.0f : 0.0f, n == 3 ? -0.5f : 0.0f });
            left.push_back (out.left);
            right.push_back (out.right);
        }
        EXPECT_EQ (testsig::peakIndex (left), (size_t) (3 + delay)) << delay;
        EXPECT_EQ (testsig::peakIndex (right), (size_t) (3 + delay)) << delay;
        EXPECT_EQ (right[(size_t) (3 + delay)], -0.5f);
    }
}

TEST (StereoDelayLine, LimitsTheDelayToItsCapacityAndPassesThroughUntilSized)
{
    kt::StereoDelayLine line;
    EXPECT_EQ (line.process ({ 0.25f, -0.75f }).left, 0.25f);
    EXPECT_EQ (line.process ({ 0.25f, -0.75f }).right, -0.75f);

    line.prepare (10, 50);
    EXPECT_EQ (line.getDelay(), 10);
    line.prepare (10, -3);
    EXPECT_EQ (line.getDelay(), 0);
}

TEST (StereoDelayLine, ResetForgetsTheSignal)
{
    kt::StereoDelayLine line;
    line.prepare (16, 4);
    for (int n = 0; n < 4; ++n)
        line.process ({ 1.0f, 1.0f });
    line.reset();
    for (int n = 0; n < 8; ++n)
        EXPECT_EQ (line.process ({ 0.0f, 0.0f }).left, 0.0f);
}

TEST (DspMath, DecibelConversionsAndTheirFloor)
{
    EXPECT_NEAR (kt::dbToGain (-6.0206f), 0.5f, 1.0e-5f);
    EXPECT_NEAR (kt::dbToGain (20.0f), 10.0f, 1.0e-4f);
    EXPECT_NEAR (kt::gainToDb (0.1f), -20.0f, 1.0e-4f);
    EXPECT_NEAR (kt::gainToDb (0.0f), -180.0f, 1.0e-3f);
    EXPECT_NEAR (kt::gainToDb (-1.0f), -180.0f, 1.0e-3f);
}

TEST (DspMath, OnePoleReachesOneMinusOneOverEAfterItsTimeConstant)
{
    const double fs = 48000.0;
    const float c = kt::onePoleCoefficient (0.02, fs);
    float v = 0.0f;
    for (int n = 0; n < 960; ++n)
        v = c * v + (1.0f - c) * 1.0f;
    EXPECT_NEAR (v, 1.0f - std::exp (-1.0f), 1.0e-3f);

    // Anything shorter than a sample acts as one sample.
    EXPECT_FLOAT_EQ (kt::onePoleCoefficient (0.0, fs), std::exp (-1.0f));
    EXPECT_FLOAT_EQ (kt::onePoleCoefficientMs (-5.0, fs), std::exp (-1.0f));
}
} // namespace
