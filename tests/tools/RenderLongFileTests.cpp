// The built tarvik-render on long programmes: an hour of audio takes no more memory than a minute,
// and the progress bar on a terminal shows how far, how fast and how long yet.

#include "ToolTestSupport.h"
#include "common/DemoProgramme.h"
#include "render/ActivityPlot.h"

#include <gtest/gtest.h>

#include <iostream>

namespace
{
using tooltest::ScratchFolder;

/** Streams `seconds` of the demo programme's left channel as 16-bit mono WAV at 8 kHz, each
    20-second round at another level, so the programme has loudness and dynamics to follow. */
void writeLongProgramme (const juce::File& file, double seconds)
{
    constexpr double fs = 8000.0;
    const auto round = kt::tools::makeDemoProgramme (fs, kt::tools::kDemoCycleSeconds);
    juce::AudioBuffer<float> chunk (1, round.getNumSamples());

    file.deleteFile();
    auto stream = std::make_unique<juce::FileOutputStream> (file);
    ASSERT_TRUE (stream->openedOk());
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (stream.get(), fs, 1, 16, {}, 0));
    ASSERT_NE (writer, nullptr);
    stream.release();

    const auto total = (juce::int64) std::llround (seconds * fs);
    for (juce::int64 done = 0, k = 0; done < total; ++k)
    {
        const int n = (int) std::min<juce::int64> (chunk.getNumSamples(), total - done);
        chunk.copyFrom (0, 0, round, 0, 0, n);
        chunk.applyGain (0, n, juce::Decibels::decibelsToGain (-12.0f * (float) (k % 4) / 3.0f));
        ASSERT_TRUE (writer->writeFromAudioSampleBuffer (chunk, 0, n));
        done += n;
    }
}

juce::int64 lengthOf (const juce::File& file)
{
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));
    return reader != nullptr ? reader->lengthInSamples : -1;
}

TEST (LongRender, AnHourTakesNoMoreMemoryThanAMinute)
{
    ScratchFolder folder;
    writeLongProgramme (folder / "hour.wav", 3600.0);
    writeLongProgramme (folder / "minute.wav", 60.0);

    const std::vector<juce::String> reports { "--json", "r.json", "--plot", "p.png" };
    auto hourArgs = reports, minuteArgs = reports;
    hourArgs.insert (hourArgs.end(), { "hour.wav", "hour-out.wav" });
    minuteArgs.insert (minuteArgs.end(), { "minute.wav", "minute-out.wav" });

    const auto minute = tooltest::runToolMeasured (TARVIK_RENDER_PATH, minuteArgs, folder.path());
    ASSERT_EQ (minute.exitCode, 0) << minute.err;
    const auto hour = tooltest::runToolMeasured (TARVIK_RENDER_PATH, hourArgs, folder.path());
    ASSERT_EQ (hour.exitCode, 0) << hour.err;

    std::cout << "peak resident memory: one minute " << minute.peakResidentKb / 1024 << " MB, one hour "
              << hour.peakResidentKb / 1024 << " MB\n";
    EXPECT_LT (hour.peakResidentKb, 100 * 1024) << "well under 200 MB";
    EXPECT_LT (hour.peakResidentKb - minute.peakResidentKb, 8 * 1024) << "nothing grows with the length";

    // The hour was all rendered, measured and drawn.
    EXPECT_EQ (lengthOf (folder / "hour-out.wav"), (juce::int64) 3600 * 8000);
    juce::var json;
    ASSERT_TRUE (juce::JSON::parse ((folder / "r.json").loadFileAsString(), json).wasOk());
    const auto file = json["files"][0];
    EXPECT_DOUBLE_EQ ((double) file["seconds"], 3600.0);
    EXPECT_GT ((double) file["loudness"]["input"]["rangeLu"], 3.0) << "the rounds' levels differ";
    EXPECT_FALSE (file["loudness"]["output"]["integratedLufs"].isVoid());
    const auto image = juce::ImageFileFormat::loadFrom (folder / "p.png");
    EXPECT_EQ (image.getWidth(), kt::tools::plotLayout().width);
}

TEST (LongRender, ProgressBarShowsPercentageSpeedAndTimeLeft)
{
    ScratchFolder folder;
    const double fs = 48000.0;
    for (const char* name : { "a.wav", "b.wav" })
        tooltest::writeAudio (folder / name, tooltest::testSignal (1, (int) (40 * fs), fs), fs, 16);
    (folder / "out").createDirectory();

    const auto result = tooltest::runOnTerminal (TARVIK_RENDER_PATH, { "-j", "1", "a.wav", "b.wav", "-o", "out" }, folder.path());
    ASSERT_EQ (result.exitCode, 0) << result.out;

    // A bar that is redrawn in place: "rendering 0/2 files [#####---] 20%  61.2x real time  0:02 left".
    juce::StringArray draws;
    draws.addTokens (juce::String (result.out), "\r", "");
    int bars = 0;
    for (const auto& draw : draws)
    {
        if (! draw.startsWith ("rendering "))
            continue;
        ++bars;
        EXPECT_TRUE (draw.contains ("/2 files [")) << draw;
        const int percent = draw.fromFirstOccurrenceOf ("] ", false, false).trim().getIntValue();
        EXPECT_TRUE (percent >= 0 && percent <= 100) << draw;
        EXPECT_TRUE (draw.fromFirstOccurrenceOf ("%", false, false).trim().upToFirstOccurrenceOf ("x real time", false, false).getDoubleValue() > 0.0)
            << draw;
        EXPECT_TRUE (draw.matchesWildcard ("*x real time  *:?? left*", false)) << draw;
    }
    EXPECT_GT (bars, 0) << "the bar was drawn:\n" << result.out;
    EXPECT_NE (result.out.find ("2 of 2 files rendered"), std::string::npos) << "and cleared for the summary";
}
} // namespace
