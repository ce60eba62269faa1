// The built tarvik-render's reports: the JSON report's loudness figures against signals whose
// loudness is known, its per-stage gain reduction against the stage switches, and the picture.

#include "ToolTestSupport.h"
#include "common/DemoProgramme.h"
#include "render/ActivityPlot.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using tooltest::RunResult;
using tooltest::ScratchFolder;

RunResult render (const std::vector<juce::String>& args, const juce::File& folder)
{
    return tooltest::runTool (TARVIK_RENDER_PATH, args, folder);
}

using tooltest::describe;

juce::var readJson (const juce::File& file)
{
    juce::var json;
    const auto parsed = juce::JSON::parse (file.loadFileAsString(), json);
    EXPECT_TRUE (parsed.wasOk()) << parsed.getErrorMessage();
    return json;
}

/** The demo's quiet passage running into its loud one (6 to 16 s), which works every stage. */
void writeDemoExcerpt (const juce::File& file)
{
    const auto demo = kt::tools::makeDemoProgramme (48000.0, 16.0);
    juce::AudioBuffer<float> excerpt (2, 10 * 48000);
    for (int ch = 0; ch < 2; ++ch)
        excerpt.copyFrom (ch, 0, demo, ch, 6 * 48000, excerpt.getNumSamples());
    tooltest::writeAudio (file, excerpt, 48000.0, 24);
}

//==================================================================================================
// Bypassed, the output is the input: both read the signal's known figures.

struct KnownSignal
{
    const char* name;
    int channels;
    double sampleRate, hz, peakDbfs, phase;
    double lufs;                  ///< NAN: not checked
    double truePeak, samplePeak;
};

void PrintTo (const KnownSignal& c, std::ostream* os) { *os << c.name; }

class JsonReport : public ::testing::TestWithParam<KnownSignal> {};

TEST_P (JsonReport, ReadsTheKnownFiguresInAndOut)
{
    const auto& c = GetParam();
    ScratchFolder folder;
    tooltest::writeAudio (folder / "tone.wav", tooltest::sine (c.channels, (int) (8.0 * c.sampleRate), c.sampleRate, c.hz, c.peakDbfs, c.phase),
                          c.sampleRate, 32);

    const auto result = render ({ "--bypass", "--float", "--json", "report.json", "tone.wav" }, folder.path());
    ASSERT_EQ (result.exitCode, 0) << describe (result);
    EXPECT_EQ (tooltest::summaryValue (result.out, "report"), (folder / "report.json").getFullPathName().toStdString());

    const auto json = readJson (folder / "report.json");
    EXPECT_EQ (json["tool"].toString(), "tarvik-render");
    EXPECT_TRUE ((bool) json["settings"]["bypass"]);
    ASSERT_EQ (json["files"].size(), 1);
    const auto file = json["files"][0];
    EXPECT_TRUE ((bool) file["ok"]);
    EXPECT_EQ (file["input"].toString(), (folder / "tone.wav").getFullPathName());
    EXPECT_EQ (file["output"].toString(), (folder / "tone.tarvik.wav").getFullPathName());
    EXPECT_EQ ((int) file["channels"], c.channels);
    EXPECT_EQ ((double) file["sampleRate"], c.sampleRate);
    EXPECT_DOUBLE_EQ ((double) file["seconds"], 8.0);

    for (const char* side : { "input", "output" })
    {
        SCOPED_TRACE (side);
        const auto loudness = file["loudness"][side];
        if (! std::isnan (c.lufs))
        {
            EXPECT_NEAR ((double) loudness["integratedLufs"], c.lufs, 0.1);
        }
        EXPECT_NEAR ((double) loudness["rangeLu"], 0.0, 0.1);
        EXPECT_NEAR ((double) loudness["truePeakDbtp"], c.truePeak, 0.3);
        EXPECT_NEAR ((double) loudness["samplePeakDbfs"], c.samplePeak, 0.02);
    }
}

INSTANTIATE_TEST_SUITE_P (Render, JsonReport,
                          ::testing::Values (KnownSignal { "sine997Stereo", 2, 48000.0, 997.0, -20.0, 0.0, -20.0, -20.0, -20.0 },
                                             KnownSignal { "sine997Mono44k1", 1, 44100.0, 997.0, -20.0, 0.0, -20.0, -20.0, -20.0 },
                                             KnownSignal { "sine12kPeaksBetweenSamples", 2, 48000.0, 12000.0, -6.02,
                                                           juce::MathConstants<double>::pi / 4.0, NAN, -6.02, -9.03 }),
                          tooltest::CaseName());

TEST (Render, JsonToStdoutLeavesTheSummaryOnStderr)
{
    ScratchFolder folder;
    tooltest::writeAudio (folder / "tone.wav", tooltest::sine (2, 4 * 48000, 48000.0, 997.0, -20.0), 48000.0, 24);

    const auto result = render ({ "--json", "-", "tone.wav" }, folder.path());
    ASSERT_EQ (result.exitCode, 0) << describe (result);
    juce::var json;
    ASSERT_TRUE (juce::JSON::parse (juce::String (result.out), json).wasOk()) << "stdout is the JSON alone:\n" << result.out;
    EXPECT_EQ (json["files"].size(), 1);
    EXPECT_FALSE (json["files"][0]["loudness"]["output"]["integratedLufs"].isVoid());
    EXPECT_NE (result.err.find ("integrated LUFS"), std::string::npos) << "the summary went to stderr:\n" << result.err;
}

//==================================================================================================
// The largest gain reduction of each stage comes from what the processor published: a stage that
// works on this programme shows some, and switched off it shows none.

TEST (Render, JsonGainReductionFollowsTheStageSwitches)
{
    ScratchFolder folder;
    writeDemoExcerpt (folder / "music.wav");

    const auto reductions = [&] (std::vector<juce::String> extra) {
        std::vector<juce::String> args { "--preset", "HOT", "--extreme", "--quiet", "--json", "r.json" };
        args.insert (args.end(), extra.begin(), extra.end());
        args.push_back ("music.wav");
        const auto result = render (args, folder.path());
        EXPECT_EQ (result.exitCode, 0) << describe (result);
        return readJson (folder / "r.json")["files"][0]["largestGainReduction"];
    };

    const auto all = reductions ({});
    EXPECT_GT ((double) all["agcGainDb"]["maxDb"] - (double) all["agcGainDb"]["minDb"], 3.0) << "the AGC rides the quiet passage up";
    EXPECT_GT ((double) all["fmClipperActivityDb"], 0.1);

    struct Stage
    {
        const char* id;
        std::function<std::vector<double> (const juce::var&)> figures;
    };
    const auto one = [] (const char* key) { return [key] (const juce::var& r) { return std::vector<double> { (double) r[key] }; }; };
    const Stage stages[] = {
        { "stagePostComp", one ("postCompressorDb") },
        { "stageMultiband", [] (const juce::var& r) {
              std::vector<double> bands;
              for (const auto& band : *r["multibandDb"].getArray())
                  bands.push_back ((double) band);
              return bands;
          } },
        { "stageHfLimiter", one ("hfLimiterDb") },
        { "stageBassClipper", one ("bassClipperDb") },
        { "stageTruePeak", one ("truePeakLimiterDb") },
    };
    for (const auto& stage : stages)
    {
        SCOPED_TRACE (stage.id);
        const auto on = stage.figures (all);
        ASSERT_FALSE (on.empty());
        for (double db : on)
            EXPECT_GT (db, 0.1) << "working on this programme";
        for (double db : stage.figures (reductions ({ "--stage", juce::String (stage.id) + "=off" })))
            EXPECT_EQ (db, 0.0) << "switched off";
    }
}

//==================================================================================================
/** Pixels of (nearly) this colour inside an area of the picture, as x positions. */
std::vector<int> pixelsOf (const juce::Image& image, juce::Colour colour, juce::Rectangle<int> area)
{
    std::vector<int> xs;
    for (int y = area.getY() + 1; y < area.getBottom() - 1; ++y)
        for (int x = area.getX() + 1; x < area.getRight() - 1; ++x)
        {
            const auto p = image.getPixelAt (x, y);
            if (std::abs (p.getRed() - colour.getRed()) + std::abs (p.getGreen() - colour.getGreen())
                    + std::abs (p.getBlue() - colour.getBlue())
                < 12)
                xs.push_back (x);
        }
    return xs;
}

TEST (Render, PlotDrawsEveryLineInItsPanel)
{
    ScratchFolder folder;
    writeDemoExcerpt (folder / "music.wav");
    const auto result = render ({ "--preset", "HOT", "--extreme", "--plot", "music.png", "music.wav" }, folder.path());
    ASSERT_EQ (result.exitCode, 0) << describe (result);
    EXPECT_EQ (tooltest::summaryValue (result.out, "picture"), (folder / "music.png").getFullPathName().toStdString());

    const auto image = juce::ImageFileFormat::loadFrom (folder / "music.png");
    const auto layout = kt::tools::plotLayout();
    ASSERT_TRUE (image.isValid());
    EXPECT_EQ (image.getWidth(), layout.width);
    EXPECT_EQ (image.getHeight(), layout.height);
    EXPECT_LT ((folder / "music.png").getSize(), 300 * 1024);

    for (const auto& series : kt::tools::plotSeries())
    {
        SCOPED_TRACE (series.name);
        const auto area = layout.panels[(size_t) series.panel];
        const auto xs = pixelsOf (image, series.colour, area);
        EXPECT_FALSE (xs.empty()) << "drawn in its panel";
        EXPECT_FALSE (pixelsOf (image, series.colour, layout.legendColumn.withY (area.getY()).withHeight (area.getHeight())).empty())
            << "named in the legend beside it";
    }
}

TEST (Render, PlotPutsEveryMomentOnTheSharedTimeAxis)
{
    // 12 s of silence, then 12 s of tone: the output loudness line only exists in the second half.
    ScratchFolder folder;
    const double fs = 48000.0;
    auto audio = tooltest::sine (2, (int) (24 * fs), fs, 997.0, -20.0);
    for (int ch = 0; ch < 2; ++ch)
        audio.clear (ch, 0, (int) (12 * fs));
    tooltest::writeAudio (folder / "late.wav", audio, fs, 24);

    const auto result = render ({ "--bypass", "--quiet", "--plot", "late.png", "late.wav" }, folder.path());
    ASSERT_EQ (result.exitCode, 0) << describe (result);
    const auto image = juce::ImageFileFormat::loadFrom (folder / "late.png");
    ASSERT_TRUE (image.isValid());

    const auto area = kt::tools::plotLayout().panels[0];
    const auto output = kt::tools::plotSeries()[1];
    ASSERT_STREQ (output.name, "output");
    const auto xs = pixelsOf (image, output.colour, area);
    ASSERT_FALSE (xs.empty());
    const auto [first, last] = std::minmax_element (xs.begin(), xs.end());
    const double half = area.getX() + 0.5 * area.getWidth();
    EXPECT_GE (*first, half - 2.0) << "nothing during the silence";
    EXPECT_LE (*first, half + 0.02 * area.getWidth()) << "the line starts with the tone";
    EXPECT_GE (*last, area.getRight() - 4) << "and runs to the end";
}
} // namespace
