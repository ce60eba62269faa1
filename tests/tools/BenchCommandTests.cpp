// The built tarvik-bench: it runs and reports its figures. Nothing here judges the figures.

#include "ToolTestSupport.h"

#include <gtest/gtest.h>

namespace
{
tooltest::RunResult bench (const std::vector<juce::String>& args)
{
    return tooltest::runTool (TARVIK_BENCH_PATH, args, juce::File::getSpecialLocation (juce::File::tempDirectory));
}

/** The number that starts the value of a summary line, or -1 when there is none. */
double leadingNumber (const std::string& text)
{
    const juce::String s (text);
    return s.isNotEmpty() && s.containsOnly ("0123456789.xnsu %()ofitdra") ? s.getDoubleValue() : -1.0;
}

struct BenchCase
{
    const char* name;
    std::vector<juce::String> args;
    const char* headingPart;
};

void PrintTo (const BenchCase& c, std::ostream* os) { *os << c.name; }

class BenchRun : public ::testing::TestWithParam<BenchCase> {};

TEST_P (BenchRun, PrintsItsFigures)
{
    const auto& c = GetParam();
    const auto result = bench (c.args);
    ASSERT_EQ (result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ (result.err, "");
    EXPECT_NE (result.out.find (c.headingPart), std::string::npos) << result.out;

    const auto factor = tooltest::summaryValue (result.out, "real-time factor");
    const auto perSample = tooltest::summaryValue (result.out, "per stereo sample");
    EXPECT_GT (leadingNumber (factor), 0.0) << result.out;
    EXPECT_EQ (juce::String (factor).getLastCharacter(), 'x') << result.out;
    EXPECT_GT (leadingNumber (perSample), 0.0) << result.out;
    EXPECT_TRUE (juce::String (perSample).endsWith (" ns")) << result.out;
    EXPECT_FALSE (tooltest::summaryValue (result.out, "slowest block").empty()) << result.out;
}

INSTANTIATE_TEST_SUITE_P (
    Bench, BenchRun,
    ::testing::Values (BenchCase { "defaults", { "--seconds", "1" }, "BROADCAST, 48000 Hz, 512-sample blocks, 1.0 s" },
                       BenchCase { "everyOption", { "--preset", "dance", "--extreme", "--rate", "44100", "--block", "128", "--seconds", "0.5" },
                                   "DANCE, EXTREME, 44100 Hz, 128-sample blocks" },
                       BenchCase { "presetByIndex", { "--preset", "8", "--seconds", "0.2" }, "CLASSICAL" }),
    tooltest::CaseName());

TEST (Bench, BadCommandLinesAreUsageErrors)
{
    const std::vector<std::vector<juce::String>> cases {
        { "--frobnicate" }, { "--preset", "JAZZ" }, { "--rate", "0" }, { "--rate", "fast" },
        { "--block", "0" }, { "--block", "2.5" }, { "--seconds", "-1" }, { "--seconds" },
    };
    for (const auto& args : cases)
    {
        const auto result = bench (args);
        EXPECT_EQ (result.exitCode, 2) << args[0] << " " << args.back();
        ASSERT_EQ (result.errLines().size(), 1u) << result.err;
        EXPECT_EQ (result.errLines()[0].rfind ("tarvik-bench: ", 0), 0u) << result.err;
        EXPECT_EQ (result.out, "");
    }
}

TEST (Bench, HelpListsTheOptions)
{
    const auto result = bench ({ "--help" });
    EXPECT_EQ (result.exitCode, 0);
    for (const char* option : { "--preset", "--extreme", "--rate", "--block", "--seconds" })
        EXPECT_NE (result.out.find (option), std::string::npos) << option;
}
} // namespace
