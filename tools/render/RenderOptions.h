#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace kt::tools
{
/** One parameter value to set as a host would, in the parameter's plain units: dB for "input",
    the preset index for "preset", 0 or 1 for a switch. */
struct ParameterSetting
{
    juce::String id;
    float value = 0.0f;
};

/** Everything tarvik-render was asked to do. Paths are kept as typed; the caller resolves them
    against the working folder. */
struct RenderOptions
{
    juce::String inputPath;      ///< empty: render the built-in demo programme
    juce::String outputPath;     ///< empty: the default name (see outputFileFor)
    juce::String stateFile;      ///< loaded before any setting below
    juce::String saveStateFile;

    /** Parameter values in command-line order, applied on top of the state: a later one wins. */
    std::vector<ParameterSetting> settings;

    int blockSize = 512;
    bool keepLatency = false;
    bool floatOutput = false;
    bool quiet = false;
    bool showHelp = false;
    bool demo = false;           ///< --demo: no INPUT, the one file name is OUTPUT

    bool rendersDemo() const { return demo || inputPath.isEmpty(); }
};

/** The result of reading a command line: options, or an error line and the exit code to use. */
struct ParsedCommandLine
{
    RenderOptions options;
    juce::String error;   ///< empty on success
    int exitCode = 0;     ///< 0 on success, 2 for a usage error

    bool ok() const { return error.isEmpty(); }
};

inline constexpr int kExitUsage = 2;
inline constexpr int kExitIo = 1;

/** Reads tarvik-render's arguments (without the program name). Pure: touches no file. */
ParsedCommandLine parseRenderCommandLine (const juce::StringArray& arguments);

/** The preset index for a name (case-insensitive; '-' or '_' may stand for a space) or an index
    written as a number; -1 when there is no such preset. */
int presetIndexFromText (const juce::String& text);

/** Where the output goes: OUTPUT as given, else NAME.tarvik.wav beside the input, else
    tarvik-demo.wav in the working folder. */
juce::File outputFileFor (const RenderOptions& options, const juce::File& workingFolder);

/** The --help text. */
juce::String renderHelpText();
} // namespace kt::tools
