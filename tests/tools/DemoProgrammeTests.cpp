// The built-in demo programme: length, levels of its passages, stereo, repeatability.

#include "ToolTestSupport.h"
#include "common/DemoProgramme.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using kt::tools::DemoPassage;
using kt::tools::demoPassages;
using kt::tools::makeDemoProgramme;
using tooltest::peakDb;
using tooltest::rmsDb;

int sampleAt (double seconds, double fs) { return (int) std::lround (seconds * fs); }

/** Level of (L - R) / 2 relative to (L + R) / 2, in dB. */
double sideToMidDb (const juce::AudioBuffer<float>& b, int start, int count)
{
    double mid = 0.0, side = 0.0;
    for (int n = start; n < start + count; ++n)
    {
        const double l = b.getSample (0, n), r = b.getSample (1, n);
        mid += (l + r) * (l + r) / 4.0;
        side += (l - r) * (l - r) / 4.0;
    }
    return 10.0 * std::log10 (std::max (1.0e-30, side) / std::max (1.0e-30, mid));
}

class DemoAtRate : public ::testing::TestWithParam<double> {};

TEST_P (DemoAtRate, IsTwentySecondsOfStereoThatNeverClips)
{
    const double fs = GetParam();
    const auto demo = makeDemoProgramme (fs);

    EXPECT_EQ (demo.getNumChannels(), 2);
    EXPECT_EQ (demo.getNumSamples(), sampleAt (kt::tools::kDemoSeconds, fs));
    EXPECT_TRUE (tooltest::allFinite (demo));
    EXPECT_LE (peakDb (demo), 0.0);
    EXPECT_GT (rmsDb (demo), -24.0) << "a realistic programme level";
}

TEST_P (DemoAtRate, PassagesHaveTheirLevels)
{
    const double fs = GetParam();
    const auto demo = makeDemoProgramme (fs);

    int quiet = 0, loud = 0, normal = 0;
    for (const auto& p : demoPassages())
    {
        // Leave out the 10 ms level ramps at the edges.
        const int start = sampleAt (p.startSeconds + 0.02, fs);
        const int count = sampleAt (p.endSeconds - 0.02, fs) - start;
        SCOPED_TRACE ("passage from " + std::to_string (p.startSeconds) + " s at " + std::to_string (fs) + " Hz");

        switch (p.kind)
        {
            case DemoPassage::Kind::quiet:
                ++quiet;
                EXPECT_NEAR (rmsDb (demo, start, count), -30.0, 1.0);
                EXPECT_LT (peakDb (demo, start, count), -12.0);
                break;
            case DemoPassage::Kind::loud:
                ++loud;
                EXPECT_GT (peakDb (demo, start, count), -1.0) << "peaks near full scale";
                EXPECT_LE (peakDb (demo, start, count), 0.0);
                EXPECT_GT (rmsDb (demo, start, count), -16.0);
                break;
            case DemoPassage::Kind::normal:
                ++normal;
                EXPECT_NEAR (rmsDb (demo, start, count), -18.0, 1.0);
                EXPECT_LT (peakDb (demo, start, count), -2.0);
                break;
        }
        EXPECT_LT (sideToMidDb (demo, start, count), -3.0) << "centred overall";
        EXPECT_GT (sideToMidDb (demo, start, count), -30.0) << "but with a real stereo spread";
    }
    EXPECT_GE (quiet, 1);
    EXPECT_GE (loud, 1);
    EXPECT_GE (normal, 1);
}

INSTANTIATE_TEST_SUITE_P (DemoProgramme, DemoAtRate, ::testing::Values (44100.0, 48000.0, 96000.0));

TEST (DemoProgramme, IsTheSameEveryTime)
{
    const auto a = makeDemoProgramme (48000.0, 6.0);
    const auto b = makeDemoProgramme (48000.0, 6.0);
    ASSERT_EQ (a.getNumSamples(), b.getNumSamples());
    for (int ch = 0; ch < 2; ++ch)
        EXPECT_EQ (std::memcmp (a.getReadPointer (ch), b.getReadPointer (ch), sizeof (float) * (size_t) a.getNumSamples()), 0);
}

TEST (DemoProgramme, HasBeatsAndABassLine)
{
    // Energy in 50 ms windows: drums make it rise and fall; a programme that is one steady tone
    // or noise would not. The lows come from the kick and bass, the highs from hats and snare.
    const double fs = 48000.0;
    const auto demo = makeDemoProgramme (fs, 6.0);
    const int window = sampleAt (0.05, fs);
    double quietest = 1.0e9, loudest = -1.0e9;
    for (int start = 0; start + window <= demo.getNumSamples(); start += window)
    {
        const double level = rmsDb (demo, start, window);
        quietest = std::min (quietest, level);
        loudest = std::max (loudest, level);
    }
    EXPECT_GT (loudest - quietest, 6.0);

    // One-pole splits at about 150 Hz and 5 kHz.
    const double aLow = std::exp (-2.0 * juce::MathConstants<double>::pi * 150.0 / fs);
    const double aHigh = std::exp (-2.0 * juce::MathConstants<double>::pi * 5000.0 / fs);
    double low = 0.0, lowState = 0.0, high = 0.0, highState = 0.0, all = 0.0;
    for (int n = 0; n < demo.getNumSamples(); ++n)
    {
        const double x = demo.getSample (0, n);
        lowState = aLow * lowState + (1.0 - aLow) * x;
        highState = aHigh * highState + (1.0 - aHigh) * x;
        low += lowState * lowState;
        high += (x - highState) * (x - highState);
        all += x * x;
    }
    EXPECT_GT (10.0 * std::log10 (low / all), -10.0) << "bass and kick carry the weight";
    EXPECT_GT (10.0 * std::log10 (high / all), -40.0) << "there is a top end for the HF stages";
}

TEST (DemoProgramme, LongerProgrammesRepeatTheArrangement)
{
    const double fs = 48000.0;
    for (const double seconds : { 7.3, 60.0 })
    {
        const auto passages = demoPassages (seconds);
        ASSERT_FALSE (passages.empty());
        EXPECT_EQ (passages.front().startSeconds, 0.0);
        EXPECT_EQ (passages.back().endSeconds, seconds);
        for (size_t i = 1; i < passages.size(); ++i)
        {
            EXPECT_EQ (passages[i].startSeconds, passages[i - 1].endSeconds) << "no gaps";
            EXPECT_NE (passages[i].kind, passages[i - 1].kind) << "neighbours of one kind are one passage";
        }

        const auto demo = makeDemoProgramme (fs, seconds);
        EXPECT_EQ (demo.getNumSamples(), sampleAt (seconds, fs));
        EXPECT_LE (peakDb (demo), 0.0) << seconds << " s";
        EXPECT_TRUE (tooltest::allFinite (demo));
    }

    int loudPassages = 0;
    for (const auto& p : demoPassages (60.0))
        loudPassages += p.kind == DemoPassage::Kind::loud ? 1 : 0;
    EXPECT_EQ (loudPassages, 3) << "one loud passage in each 20 s";
}

TEST (DemoProgramme, NothingAskedNothingGiven)
{
    EXPECT_EQ (makeDemoProgramme (48000.0, 0.0).getNumSamples(), 0);
    EXPECT_EQ (makeDemoProgramme (48000.0, -1.0).getNumSamples(), 0);
    EXPECT_EQ (makeDemoProgramme (0.0, 5.0).getNumSamples(), 0);
}
} // namespace
