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
    juce::StringArray inputPaths; ///< empty: render the built-in demo programme
    juce::String outputPath;      ///< one input without -o: OUTPUT as typed; empty for the default name
    juce::String outputFolder;    ///< -o DIR: every output goes into this folder
    juce::String stateFile;       ///< loaded before any setting below
    juce::String saveStateFile;
    juce::String jsonPath;        ///< --json: the report's file, or "-" for stdout
    juce::String plotPath;        ///< --plot: a .png file, or a folder for one picture per input

    /** Parameter values in command-line order, applied on top of the state: a later one wins. */
    std::vector<ParameterSetting> settings;

    int blockSize = 512;
    bool keepLatency = false;
    bool floatOutput = false;
    bool quiet = false;
    bool showHelp = false;
    bool demo = false;           ///< --demo: no INPUT, the one file name is OUTPUT
    int jobs = 0;                ///< files rendered at once; 0: one per core

    bool rendersDemo() const { return demo || inputPaths.isEmpty(); }

    /** How many files this run renders: the demo counts as one. */
    int renderCount() const { return rendersDemo() ? 1 : inputPaths.size(); }

    /** Several files: one summary line each and a table at the end instead of the full summary. */
    bool isBatch() const { return renderCount() > 1; }

    bool jsonToStdout() const { return jsonPath == "-"; }
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

/** Where render `index` (an index into inputPaths; 0 for the demo) goes: OUTPUT as given, else
    NAME.tarvik.wav beside the input or, with -o DIR, in DIR; the demo's default name is
    tarvik-demo.wav in the working folder or in DIR. */
juce::File outputFileFor (const RenderOptions& options, int index, const juce::File& workingFolder);

/** The input file of render `index`; juce::File() for the demo. */
juce::File inputFileFor (const RenderOptions& options, int index, const juce::File& workingFolder);

/** Where render `index`'s picture goes when --plot names a folder: NAME.png in it (the demo's is
    tarvik-demo.png); otherwise the --plot file itself. */
juce::File plotFileFor (const RenderOptions& options, int index, const juce::File& workingFolder, bool plotPathIsFolder);

/** An error line when two renders of one run would write the same file; empty when none do. */
juce::String findOutputClash (const RenderOptions& options, const juce::File& workingFolder);

/** The --help text. */
juce::String renderHelpText();
} // namespace kt::tools
