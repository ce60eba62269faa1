// The renderer's command-line reading, without running the renderer.

#include "Parameters.h"
#include "dsp/Presets.h"
#include "render/RenderOptions.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace
{
using kt::tools::parseRenderCommandLine;

juce::StringArray toArray (const std::vector<const char*>& args)
{
    juce::StringArray a;
    for (const char* s : args)
        a.add (s);
    return a;
}

std::string describe (const std::vector<const char*>& args)
{
    std::string s;
    for (const char* a : args)
        s += std::string (s.empty() ? "" : " ") + "[" + a + "]";
    return s.empty() ? "(no arguments)" : s;
}

int presetIndex (const char* name)
{
    for (int i = 0; i < kt::kPresetCount; ++i)
        if (juce::String (kt::kPresets[(size_t) i].name) == name)
            return i;
    return -1;
}

//==================================================================================================
struct GoodCase
{
    std::vector<const char*> args;
    std::vector<std::pair<const char*, float>> settings {};
    std::vector<const char*> inputs {};
    const char* output = "";
    bool demo = false;
    int block = 512;
    bool keepLatency = false;
    bool floatOutput = false;
    bool quiet = false;
    bool help = false;
    const char* state = "";
    const char* saveState = "";
    const char* outputFolder = "";
    const char* json = "";
    const char* plot = "";
    int jobs = 0;
};

const GoodCase goodCases[] = {
    { .args = {} },
    { .args = { "song.flac" }, .inputs = { "song.flac" } },
    { .args = { "song.flac", "out/result.wav" }, .inputs = { "song.flac" }, .output = "out/result.wav" },
    { .args = { "--demo" }, .demo = true },
    { .args = { "--demo", "demo.wav" }, .output = "demo.wav", .demo = true },
    { .args = { "--", "-odd name.wav" }, .inputs = { "-odd name.wav" } },
    { .args = { "in.wav", "--float", "out.wav" }, .inputs = { "in.wav" }, .output = "out.wav", .floatOutput = true },

    // With -o every file name is an input, wherever -o stands.
    { .args = { "a.wav", "b.flac", "c.ogg", "-o", "out" }, .inputs = { "a.wav", "b.flac", "c.ogg" }, .outputFolder = "out" },
    { .args = { "--output-dir=out", "a.wav", "b.wav" }, .inputs = { "a.wav", "b.wav" }, .outputFolder = "out" },
    { .args = { "-o", "out", "a.wav" }, .inputs = { "a.wav" }, .outputFolder = "out" },
    { .args = { "--demo", "-o", "out" }, .demo = true, .outputFolder = "out" },
    { .args = { "-o", "out" }, .outputFolder = "out" },
    { .args = { "--json", "r.json", "--plot", "p.png" }, .json = "r.json", .plot = "p.png" },
    { .args = { "--json=-", "--plot=pictures" }, .json = "-", .plot = "pictures" },
    { .args = { "-j", "3" }, .jobs = 3 },
    { .args = { "--jobs=64" }, .jobs = 64 },

    // Presets by name in any case, with '-' or '_' for the space, or by index.
    { .args = { "--preset", "dance" }, .settings = { { "preset", (float) presetIndex ("DANCE") } } },
    { .args = { "--preset", "Classic Hits" }, .settings = { { "preset", (float) presetIndex ("CLASSIC HITS") } } },
    { .args = { "--preset", "classic-hits" }, .settings = { { "preset", (float) presetIndex ("CLASSIC HITS") } } },
    { .args = { "--preset=talk" }, .settings = { { "preset", (float) presetIndex ("TALK") } } },
    { .args = { "--preset", "0" }, .settings = { { "preset", 0.0f } } },
    { .args = { "--preset", "8" }, .settings = { { "preset", 8.0f } } },

    // Switches and values become settings, in command-line order.
    { .args = { "--extreme", "--bypass", "--auto-input" },
      .settings = { { "extreme", 1.0f }, { "bypass", 1.0f }, { "autoInput", 1.0f } } },
    { .args = { "--input-db", "-6.5" }, .settings = { { "input", -6.5f } } },
    { .args = { "--input-db=18" }, .settings = { { "input", 18.0f } } },
    { .args = { "--input-db", "-18" }, .settings = { { "input", -18.0f } } },
    { .args = { "--stage", "stageAgc=off", "--stage", "FmClipper=ON", "--stage=stageTruePeak=0" },
      .settings = { { "stageAgc", 0.0f }, { "stageFmClipper", 1.0f }, { "stageTruePeak", 0.0f } } },
    { .args = { "--param", "input=3", "--param", "preset=HOT", "--param", "extreme=true", "--param", "stageinputhpf=no" },
      .settings = { { "input", 3.0f }, { "preset", (float) presetIndex ("HOT") }, { "extreme", 1.0f }, { "stageInputHpf", 0.0f } } },
    { .args = { "--preset", "DANCE", "--param", "preset=2" }, .settings = { { "preset", (float) presetIndex ("DANCE") }, { "preset", 2.0f } } },

    { .args = { "--state", "a.bin", "--save-state", "b.bin" }, .state = "a.bin", .saveState = "b.bin" },
    { .args = { "--block", "64" }, .block = 64 },
    { .args = { "--block=1" }, .block = 1 },
    { .args = { "--block", "65536" }, .block = 65536 },
    { .args = { "--keep-latency", "--float", "--quiet" }, .keepLatency = true, .floatOutput = true, .quiet = true },
    { .args = { "-q" }, .quiet = true },
    { .args = { "--help" }, .help = true },
    { .args = { "in.wav", "-h" }, .inputs = { "in.wav" }, .help = true },
};

void PrintTo (const GoodCase& c, std::ostream* os) { *os << describe (c.args); }

class GoodCommandLine : public ::testing::TestWithParam<GoodCase> {};

TEST_P (GoodCommandLine, GivesTheOptionsAsked)
{
    const auto& c = GetParam();
    const auto parsed = parseRenderCommandLine (toArray (c.args));
    SCOPED_TRACE (describe (c.args));

    ASSERT_TRUE (parsed.ok()) << parsed.error;
    EXPECT_EQ (parsed.exitCode, 0);
    const auto& o = parsed.options;
    if (! c.help)
    {
        EXPECT_EQ (o.inputPaths, toArray (c.inputs));
        EXPECT_EQ (o.outputPath, juce::String (c.output));
        EXPECT_EQ (o.rendersDemo(), c.demo || c.inputs.empty());
        EXPECT_EQ (o.renderCount(), std::max<int> (1, (int) c.inputs.size()));
    }
    EXPECT_EQ (o.outputFolder, juce::String (c.outputFolder));
    EXPECT_EQ (o.jsonPath, juce::String (c.json));
    EXPECT_EQ (o.plotPath, juce::String (c.plot));
    EXPECT_EQ (o.jobs, c.jobs);
    EXPECT_EQ (o.blockSize, c.block);
    EXPECT_EQ (o.keepLatency, c.keepLatency);
    EXPECT_EQ (o.floatOutput, c.floatOutput);
    EXPECT_EQ (o.quiet, c.quiet);
    EXPECT_EQ (o.showHelp, c.help);
    EXPECT_EQ (o.stateFile, juce::String (c.state));
    EXPECT_EQ (o.saveStateFile, juce::String (c.saveState));

    ASSERT_EQ (o.settings.size(), c.settings.size());
    for (size_t i = 0; i < c.settings.size(); ++i)
    {
        EXPECT_EQ (o.settings[i].id, juce::String (c.settings[i].first)) << "setting " << i;
        EXPECT_FLOAT_EQ (o.settings[i].value, c.settings[i].second) << "setting " << i;
    }
}

INSTANTIATE_TEST_SUITE_P (RenderOptions, GoodCommandLine, ::testing::ValuesIn (goodCases));

//==================================================================================================
struct BadCase
{
    std::vector<const char*> args;
    const char* messagePart; ///< the error line must mention this
};

const BadCase badCases[] = {
    { { "--frobnicate" }, "unknown option '--frobnicate'" },
    { { "-x" }, "unknown option '-x'" },
    { { "--Preset", "DANCE" }, "unknown option" },
    { { "--preset" }, "--preset needs a value" },
    { { "in.wav", "--state" }, "--state needs a value" },
    { { "--preset", "JAZZ" }, "unknown preset 'JAZZ'" },
    { { "--preset", "9" }, "unknown preset" },
    { { "--preset", "-1" }, "unknown preset" },
    { { "--preset", "" }, "unknown preset" },
    { { "--input-db", "19" }, "--input-db" },
    { { "--input-db", "-18.5" }, "--input-db" },
    { { "--input-db", "loud" }, "--input-db" },
    { { "--input-db", "nan" }, "--input-db" },
    { { "--input-db", "inf" }, "--input-db" },
    { { "--input-db", "3dB" }, "--input-db" },
    { { "--stage", "stageReverb=on" }, "unknown stage 'stageReverb'" },
    { { "--stage", "input=3" }, "unknown stage 'input'" },
    { { "--stage", "stageAgc" }, "--stage needs ID=on or ID=off" },
    { { "--stage", "=on" }, "--stage needs" },
    { { "--stage", "stageAgc=maybe" }, "bad value 'maybe' for stageAgc" },
    { { "--param", "volume=3" }, "unknown parameter 'volume'" },
    { { "--param", "input" }, "--param needs ID=VALUE" },
    { { "--param", "input=30" }, "input must be" },
    { { "--param", "bypass=2" }, "bad value '2' for bypass" },
    { { "--param", "preset=JAZZ" }, "unknown preset" },
    { { "--block", "0" }, "--block" },
    { { "--block", "65537" }, "--block" },
    { { "--block", "1.5" }, "--block" },
    { { "--block", "-4" }, "--block" },
    { { "--block", "many" }, "--block" },
    { { "--extreme=on" }, "--extreme takes no value" },
    { { "--state=" }, "--state needs a file name" },
    { { "a.wav", "b.wav", "c.wav" }, "too many file names: 'c.wav' (to render several files, give an output folder with -o DIR)" },
    { { "--demo", "a.wav", "b.wav" }, "too many file names: 'b.wav'" },
    { { "--demo", "-o", "out", "a.wav" }, "too many file names: 'a.wav'" },
    { { "a.wav", "-o" }, "-o needs a value" },
    { { "a.wav", "--output-dir=" }, "--output-dir needs a folder name" },
    { { "--json" }, "--json needs a value" },
    { { "--json=" }, "--json needs a file name" },
    { { "--plot=" }, "--plot needs a file name" },
    { { "--plot", "-" }, "a picture cannot go to stdout" },
    { { "-j", "0" }, "-j must be a whole number from 1 to 64" },
    { { "--jobs", "65" }, "--jobs must be" },
    { { "--jobs", "two" }, "--jobs must be" },
    { { "" }, "empty file name" },
};

void PrintTo (const BadCase& c, std::ostream* os) { *os << describe (c.args); }

class BadCommandLine : public ::testing::TestWithParam<BadCase> {};

TEST_P (BadCommandLine, IsAUsageErrorNamingTheProblem)
{
    const auto& c = GetParam();
    const auto parsed = parseRenderCommandLine (toArray (c.args));
    SCOPED_TRACE (describe (c.args));

    EXPECT_FALSE (parsed.ok());
    EXPECT_EQ (parsed.exitCode, kt::tools::kExitUsage);
    EXPECT_TRUE (parsed.error.contains (c.messagePart)) << "error was: " << parsed.error;
    EXPECT_FALSE (parsed.error.containsAnyOf ("\r\n")) << "the error must be one line";
}

INSTANTIATE_TEST_SUITE_P (RenderOptions, BadCommandLine, ::testing::ValuesIn (badCases));

//==================================================================================================
TEST (RenderOptions, EveryPresetAndStageCanBeNamed)
{
    for (int i = 0; i < kt::kPresetCount; ++i)
    {
        const juce::String name (kt::kPresets[(size_t) i].name);
        EXPECT_EQ (kt::tools::presetIndexFromText (name), i) << name;
        EXPECT_EQ (kt::tools::presetIndexFromText (name.toLowerCase()), i) << name;
        EXPECT_EQ (kt::tools::presetIndexFromText (juce::String (i)), i) << name;
    }

    for (const auto& stage : kStageSwitchParameters)
    {
        const juce::String arg = juce::String ("--stage=") + stage.id + "=off";
        const auto parsed = parseRenderCommandLine (juce::StringArray (arg));
        ASSERT_TRUE (parsed.ok()) << arg << ": " << parsed.error;
        ASSERT_EQ (parsed.options.settings.size(), 1u);
        EXPECT_EQ (parsed.options.settings[0].id, juce::String (stage.id));
        EXPECT_EQ (parsed.options.settings[0].value, 0.0f);
    }
}

TEST (RenderOptions, OutputNamesFollowTheInputs)
{
    const auto here = juce::File ("/work/folder");
    struct Case
    {
        std::vector<const char*> args;
        std::vector<const char*> expected; ///< one output per render, in order
    };
    const Case cases[] = {
        { {}, { "/work/folder/tarvik-demo.wav" } },
        { { "--demo" }, { "/work/folder/tarvik-demo.wav" } },
        { { "--demo", "x.wav" }, { "/work/folder/x.wav" } },
        { { "--demo", "-o", "/out" }, { "/out/tarvik-demo.wav" } },
        { { "song.flac" }, { "/work/folder/song.tarvik.wav" } },
        { { "../music/Song Two.aiff" }, { "/work/music/Song Two.tarvik.wav" } },
        { { "/data/in.ogg" }, { "/data/in.tarvik.wav" } },
        { { "/data/in.ogg", "out.wav" }, { "/work/folder/out.wav" } },
        { { "in.wav", "/tmp/out.wav" }, { "/tmp/out.wav" } },
        { { "a.wav", "../b.flac", "/data/c.d.ogg", "-o", "rendered" },
          { "/work/folder/rendered/a.tarvik.wav", "/work/folder/rendered/b.tarvik.wav", "/work/folder/rendered/c.d.tarvik.wav" } },
        { { "-o", "/out", "x/in.wav" }, { "/out/in.tarvik.wav" } },
    };
    for (const auto& c : cases)
    {
        const auto parsed = parseRenderCommandLine (toArray (c.args));
        ASSERT_TRUE (parsed.ok()) << describe (c.args);
        ASSERT_EQ (parsed.options.renderCount(), (int) c.expected.size()) << describe (c.args);
        for (int i = 0; i < (int) c.expected.size(); ++i)
            EXPECT_EQ (kt::tools::outputFileFor (parsed.options, i, here).getFullPathName(), juce::String (c.expected[(size_t) i]))
                << describe (c.args) << " render " << i;
        EXPECT_EQ (kt::tools::findOutputClash (parsed.options, here), "") << describe (c.args);
    }
}

TEST (RenderOptions, PlotNamesFollowTheInputsInAFolder)
{
    const auto here = juce::File ("/work/folder");
    const auto parsed = parseRenderCommandLine (toArray ({ "a.wav", "sub/b.flac", "-o", "out", "--plot", "pics" }));
    ASSERT_TRUE (parsed.ok()) << parsed.error;
    EXPECT_EQ (kt::tools::plotFileFor (parsed.options, 0, here, true).getFullPathName(), "/work/folder/pics/a.png");
    EXPECT_EQ (kt::tools::plotFileFor (parsed.options, 1, here, true).getFullPathName(), "/work/folder/pics/b.png");
    EXPECT_EQ (kt::tools::plotFileFor (parsed.options, 0, here, false).getFullPathName(), "/work/folder/pics");

    const auto demo = parseRenderCommandLine (toArray ({ "--plot", "pics" }));
    EXPECT_EQ (kt::tools::plotFileFor (demo.options, 0, here, true).getFullPathName(), "/work/folder/pics/tarvik-demo.png");
    EXPECT_EQ (kt::tools::plotFileFor (parseRenderCommandLine ({}).options, 0, here, false), juce::File()) << "no --plot, no picture";
}

TEST (RenderOptions, InputsThatWouldShareAnOutputAreFound)
{
    const auto here = juce::File ("/work/folder");
    const std::vector<std::vector<const char*>> clashing {
        { "a.wav", "a.flac", "-o", "out" },
        { "x/a.wav", "y/a.wav", "-o", "out" },
        { "a.wav", "b.wav", "./a.wav", "-o", "out" },
    };
    for (const auto& args : clashing)
    {
        const auto parsed = parseRenderCommandLine (toArray (args));
        ASSERT_TRUE (parsed.ok()) << describe (args);
        const auto clash = kt::tools::findOutputClash (parsed.options, here);
        EXPECT_TRUE (clash.contains ("would both be written to '/work/folder/out/a.tarvik.wav'")) << describe (args) << ": " << clash;
    }
}

TEST (RenderOptions, HelpNamesEveryOptionAndEveryStage)
{
    const auto help = kt::tools::renderHelpText();
    for (const char* option : { "--preset", "--extreme", "--bypass", "--auto-input", "--input-db", "--stage", "--param",
                                "--state", "--save-state", "--block", "--keep-latency", "--float", "--quiet", "--help",
                                "--demo", "--output-dir", "--jobs", "--json", "--plot" })
        EXPECT_TRUE (help.contains (option)) << option;
    for (const auto& stage : kStageSwitchParameters)
        EXPECT_TRUE (help.contains (stage.id)) << stage.id;
    for (const auto& preset : kt::kPresets)
        EXPECT_TRUE (help.contains (preset.name)) << preset.name;
}
} // namespace
