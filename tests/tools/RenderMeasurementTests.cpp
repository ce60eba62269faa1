// The renderer's measurements as code: the loudness meter against signals whose loudness and
// peaks are known, the activity timeline's bounded size and peak hold, and the report's figures.

#include "ToolTestSupport.h"
#include "render/ActivityPlot.h"
#include "render/LoudnessMeter.h"
#include "render/RenderReport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using kt::tools::LoudnessFigures;
using kt::tools::LoudnessMeter;

LoudnessFigures measure (const juce::AudioBuffer<float>& audio, double sampleRate, int blockSize = 512)
{
    LoudnessMeter meter (audio.getNumChannels(), sampleRate);
    for (int start = 0; start < audio.getNumSamples(); start += blockSize)
        meter.add (audio, start, std::min (blockSize, audio.getNumSamples() - start));
    return meter.figures();
}

juce::AudioBuffer<float> joined (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    juce::AudioBuffer<float> out (a.getNumChannels(), a.getNumSamples() + b.getNumSamples());
    for (int ch = 0; ch < a.getNumChannels(); ++ch)
    {
        out.copyFrom (ch, 0, a, ch, 0, a.getNumSamples());
        out.copyFrom (ch, a.getNumSamples(), b, ch, 0, b.getNumSamples());
    }
    return out;
}

//==================================================================================================
// BS.1770: a 997 Hz sine in both channels of a stereo pair reads its peak level in dBFS as LUFS.
// A sine at a quarter of the sample rate sampled 45 degrees off its crests has samples 3 dB below
// its true peak, which the oversampling meter finds.

struct SignalCase
{
    const char* name;
    int channels;
    double sampleRate;
    double hz, peakDbfs, phase;
    double lufs, truePeak, samplePeak;   ///< expected; NAN: not checked
    double lufsTolerance, truePeakTolerance;
};

void PrintTo (const SignalCase& c, std::ostream* os) { *os << c.name; }

class MeterReads : public ::testing::TestWithParam<SignalCase> {};

TEST_P (MeterReads, TheKnownFigures)
{
    const auto& c = GetParam();
    const auto audio = tooltest::sine (c.channels, (int) (10.0 * c.sampleRate), c.sampleRate, c.hz, c.peakDbfs, c.phase);
    const auto f = measure (audio, c.sampleRate, 441);

    if (! std::isnan (c.lufs))
    {
        EXPECT_NEAR (f.integratedLufs, c.lufs, c.lufsTolerance);
    }
    EXPECT_NEAR (f.rangeLu, 0.0, 0.1) << "a steady tone has no loudness range";
    if (! std::isnan (c.truePeak))
    {
        EXPECT_NEAR (f.truePeakDbtp, c.truePeak, c.truePeakTolerance);
    }
    EXPECT_NEAR (f.samplePeakDbfs, c.samplePeak, 0.01);
    EXPECT_GE (f.truePeakDbtp, f.samplePeakDbfs - 0.01) << "the true peak is never below the sample peak";
}

const double quarterPi = juce::MathConstants<double>::pi / 4.0;

const SignalCase signalCases[] = {
    { "sine997Stereo48k", 2, 48000.0, 997.0, -20.0, 0.0, -20.0, -20.0, -20.0, 0.1, 0.1 },
    { "sine997Stereo44k1", 2, 44100.0, 997.0, -20.0, 0.0, -20.0, -20.0, -20.0, 0.1, 0.1 },
    { "sine997Stereo96k", 2, 96000.0, 997.0, -20.0, 0.0, -20.0, -20.0, -20.0, 0.1, 0.1 },
    { "sine997MonoAsDualMono", 1, 48000.0, 997.0, -20.0, 0.0, -20.0, -20.0, -20.0, 0.1, 0.1 },
    { "sine997Stereo8k", 2, 8000.0, 997.0, -20.0, 0.0, -20.0, -20.0, -20.0, 0.1, 0.3 },
    { "sine12kBetweenSamples", 2, 48000.0, 12000.0, -6.02, quarterPi, NAN, -6.02, -9.03, 0.0, 0.3 },
    { "sine12kLoudBetweenSamples", 2, 48000.0, 12000.0, -0.5, quarterPi, NAN, -0.5, -3.51, 0.0, 0.3 },
    { "sine11025At44k1", 1, 44100.0, 11025.0, -3.0, quarterPi, NAN, -3.0, -6.01, 0.0, 0.3 },
};

INSTANTIATE_TEST_SUITE_P (LoudnessMeter, MeterReads, ::testing::ValuesIn (signalCases), tooltest::CaseName());

TEST (LoudnessMeter, SilenceHasNoLoudnessAndNoPeak)
{
    juce::AudioBuffer<float> silence (2, 48000 * 5);
    silence.clear();
    const auto f = measure (silence, 48000.0);
    EXPECT_EQ (f.integratedLufs, LoudnessFigures::none);
    EXPECT_EQ (f.truePeakDbtp, LoudnessFigures::none);
    EXPECT_EQ (f.samplePeakDbfs, LoudnessFigures::none);
    EXPECT_EQ (f.rangeLu, 0.0);
}

TEST (LoudnessMeter, TwoLevelsTenLuApartHaveARangeOfTenLu)
{
    const double fs = 48000.0;
    const auto loud = tooltest::sine (2, (int) (20 * fs), fs, 997.0, -20.0);
    const auto quiet = tooltest::sine (2, (int) (20 * fs), fs, 997.0, -30.0);
    const auto f = measure (joined (loud, quiet), fs);
    EXPECT_NEAR (f.rangeLu, 10.0, 0.5);
    EXPECT_NEAR (f.integratedLufs, -20.0 - 10.0 * std::log10 (2.0 / 1.1), 0.1) << "the mean energy of the two halves";
}

TEST (LoudnessMeter, ShortTermFollowsTheLastThreeSeconds)
{
    const double fs = 48000.0;
    LoudnessMeter meter (2, fs);
    const auto loud = tooltest::sine (2, (int) (6 * fs), fs, 997.0, -20.0);
    const auto quiet = tooltest::sine (2, (int) (4 * fs), fs, 997.0, -35.0);
    meter.add (loud, 0, loud.getNumSamples());
    EXPECT_NEAR (meter.shortTermLufs(), -20.0, 0.1);
    meter.add (quiet, 0, quiet.getNumSamples());
    EXPECT_NEAR (meter.shortTermLufs(), -35.0, 0.1);
}

//==================================================================================================
TEST (ActivityTimeline, HoldsAFixedNumberOfPointsHoweverLong)
{
    struct Case
    {
        double seconds, sampleRate;
        int block;
        size_t expectedPoints;
    };
    // Short programmes get a point every 100 ms; long ones spread the fixed number over the length.
    const Case cases[] = { { 2.0, 48000.0, 512, 20 }, { 3600.0, 8000.0, 512, (size_t) kt::tools::ActivityTimeline::defaultMaxPoints },
                           { 600.0, 44100.0, 4096, (size_t) kt::tools::ActivityTimeline::defaultMaxPoints },
                           { 10.0, 48000.0, 65536, 8 } };
    kt::PublishedValues published;
    LoudnessMeter in (1, 8000.0), out (1, 8000.0);
    for (const auto& c : cases)
    {
        const auto total = (juce::int64) std::llround (c.seconds * c.sampleRate);
        kt::tools::ActivityTimeline timeline (total, c.sampleRate);
        for (juce::int64 done = 0; done < total + 5000; done += c.block) // the latency flush is not part of it
            timeline.addBlock ((int) std::min<juce::int64> (c.block, std::max<juce::int64> (0, total - done)), published, in, out);

        const auto& points = timeline.points();
        SCOPED_TRACE (juce::String (c.seconds) + " s in blocks of " + juce::String (c.block));
        ASSERT_FALSE (points.empty());
        EXPECT_NEAR ((double) points.size(), (double) c.expectedPoints, 1.0);
        EXPECT_LE ((int) points.size(), timeline.capacity() + 1);
        EXPECT_DOUBLE_EQ (points.back().seconds, c.seconds) << "the last point is the end of the programme";
        for (size_t i = 1; i < points.size(); ++i)
            ASSERT_GT (points[i].seconds, points[i - 1].seconds);
    }
}

TEST (ActivityTimeline, KeepsTheLargestReductionOfEachInterval)
{
    kt::PublishedValues published;
    LoudnessMeter in (2, 48000.0), out (2, 48000.0);
    kt::tools::ActivityTimeline timeline (48000 * 2, 48000.0); // a point every 4800 samples

    for (int block = 0; block < 2 * 48000 / 480; ++block)
    {
        // One short block deep in the third interval reduces hard; everything else is quiet.
        const bool burst = block == 25;
        published.bandGainReductionDb[3].set (burst ? 9.0f : 0.5f);
        published.truePeakReductionDb.set (burst ? 2.0f : 0.0f);
        published.agcGainDb.set ((float) block / 10.0f);
        timeline.addBlock (480, published, in, out);
    }

    const auto& points = timeline.points();
    ASSERT_EQ (points.size(), 20u);
    for (size_t i = 0; i < points.size(); ++i)
    {
        EXPECT_FLOAT_EQ (points[i].bandDb[3], i == 2 ? 9.0f : 0.5f) << "point " << i;
        EXPECT_FLOAT_EQ (points[i].truePeakLimiterDb, i == 2 ? 2.0f : 0.0f) << "point " << i;
        EXPECT_FLOAT_EQ (points[i].agcGainDb, (float) (10 * i + 9) / 10.0f) << "the gain at the end of the interval";
        EXPECT_EQ (points[i].outputLufs, -std::numeric_limits<float>::infinity()) << "the meters heard nothing";
    }
}

//==================================================================================================
TEST (RenderReport, DurationsAndFigures)
{
    using kt::tools::durationText;
    using kt::tools::fixed;
    EXPECT_EQ (durationText (0.0), "0:00");
    EXPECT_EQ (durationText (59.6), "1:00");
    EXPECT_EQ (durationText (754.0), "12:34");
    EXPECT_EQ (durationText (3600.0), "1:00:00");
    EXPECT_EQ (durationText (3725.2), "1:02:05");
    EXPECT_EQ (fixed (-0.04), "0.0") << "no minus zero";
    EXPECT_EQ (fixed (-14.26), "-14.3");
    EXPECT_EQ (fixed (LoudnessFigures::none), "-inf");
}

TEST (RenderReport, JsonHasNullWhereThereIsNoValueAndTheErrorOfAFailedFile)
{
    kt::tools::FileReport silent;
    silent.ok = true;
    silent.inputName = "silence.wav";
    silent.sampleRate = 48000.0;
    silent.lengthInSamples = 48000;
    silent.outputLoudness.integratedLufs = -23.456;

    kt::tools::FileReport broken;
    broken.inputName = "six.wav";
    broken.error = "'six.wav' has 6 channels";

    const auto json = juce::JSON::parse (juce::JSON::toString (kt::tools::jsonReport ({}, { silent, broken })));
    const auto files = json["files"];
    ASSERT_EQ (files.size(), 2);
    EXPECT_TRUE (files[0]["loudness"]["input"]["integratedLufs"].isVoid()) << "-inf is not JSON: null";
    EXPECT_TRUE (files[0]["loudness"]["input"]["truePeakDbtp"].isVoid());
    EXPECT_DOUBLE_EQ ((double) files[0]["loudness"]["output"]["integratedLufs"], -23.46);
    EXPECT_EQ ((double) files[0]["seconds"], 1.0);

    EXPECT_FALSE ((bool) files[1]["ok"]);
    EXPECT_EQ (files[1]["error"].toString(), "'six.wav' has 6 channels");
    EXPECT_FALSE (files[1].hasProperty ("loudness"));
}
} // namespace
