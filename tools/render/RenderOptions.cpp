#include "RenderOptions.h"

#include "Parameters.h"
#include "dsp/Presets.h"

#include <cmath>
#include <cstdlib>
#include <map>

namespace kt::tools
{
namespace
{
constexpr float kInputDbLimit = 18.0f;
constexpr int kMaxBlockSize = 65536;
constexpr int kMaxJobs = 64;

/** Error text and the usage exit code. */
ParsedCommandLine usageError (const juce::String& message)
{
    ParsedCommandLine result;
    result.error = message;
    result.exitCode = kExitUsage;
    return result;
}

/** Strict number reading: the whole text must be a finite number. */
bool parseNumber (const juce::String& text, double& value)
{
    const auto s = text.trim().toStdString();
    if (s.empty())
        return false;
    char* end = nullptr;
    value = std::strtod (s.c_str(), &end);
    return end == s.c_str() + s.size() && std::isfinite (value);
}

bool parseWholeNumber (const juce::String& text, int minimum, int maximum, int& value)
{
    const auto t = text.trim();
    if (t.isEmpty() || ! t.containsOnly ("0123456789") || t.length() > 9)
        return false;
    value = t.getIntValue();
    return value >= minimum && value <= maximum;
}

/** on/off, true/false, yes/no, 1/0 in any case. */
bool parseSwitch (const juce::String& text, float& value)
{
    const auto t = text.trim().toLowerCase();
    if (t == "on" || t == "true" || t == "yes" || t == "1")
        value = 1.0f;
    else if (t == "off" || t == "false" || t == "no" || t == "0")
        value = 0.0f;
    else
        return false;
    return true;
}

juce::String presetNameList()
{
    juce::StringArray names;
    for (const auto& record : kt::kPresets)
        names.add (record.name);
    return names.joinIntoString (", ");
}

juce::String stageIdList()
{
    juce::StringArray ids;
    for (const auto& stage : kStageSwitchParameters)
        ids.add (stage.id);
    return ids.joinIntoString (", ");
}

/** The stage switch an argument names: its exact ID in any case, or the ID without its "stage"
    prefix ("agc" for stageAgc). Empty when there is none. */
juce::String findStageId (const juce::String& text)
{
    for (const auto& stage : kStageSwitchParameters)
    {
        const juce::String id (stage.id);
        if (text.equalsIgnoreCase (id) || ("stage" + text).equalsIgnoreCase (id))
            return id;
    }
    return {};
}

/** The stage IDs for the help text, four to a line under the option descriptions. */
juce::String stageIdColumns()
{
    juce::String text;
    for (size_t i = 0; i < kStageSwitchParameters.size(); ++i)
    {
        if (i % 4 == 0)
            text << "                        ";
        text << kStageSwitchParameters[i].id;
        const bool last = i + 1 == kStageSwitchParameters.size();
        text << (last ? "\n" : (i % 4 == 3 ? ",\n" : ", "));
    }
    return text;
}

const char* const kSwitchIds[] = { ParameterIds::autoInput, ParameterIds::extreme, ParameterIds::bypass };

/** Reads VALUE for parameter `id` (already known to exist); an error line when it is no good. */
juce::String readParameterValue (const juce::String& id, const juce::String& text, float& value)
{
    if (id == ParameterIds::input)
    {
        double db = 0.0;
        if (! parseNumber (text, db) || std::abs (db) > kInputDbLimit)
            return "input must be a number of dB from -18 to 18, not '" + text + "'";
        value = (float) db;
        return {};
    }

    if (id == ParameterIds::preset)
    {
        const int index = presetIndexFromText (text);
        if (index < 0)
            return "unknown preset '" + text + "' (presets: " + presetNameList() + ", or 0 to "
                   + juce::String (kt::kPresetCount - 1) + ")";
        value = (float) index;
        return {};
    }

    if (! parseSwitch (text, value))
        return "bad value '" + text + "' for " + id + ": use on or off";
    return {};
}

/** The parameter an ID names, in any case; empty when none. */
juce::String findParameterId (const juce::String& text)
{
    for (const char* id : { ParameterIds::input, ParameterIds::preset })
        if (text.equalsIgnoreCase (id))
            return id;
    for (const char* id : kSwitchIds)
        if (text.equalsIgnoreCase (id))
            return id;
    for (const auto& stage : kStageSwitchParameters)
        if (text.equalsIgnoreCase (stage.id))
            return stage.id;
    return {};
}

juce::String allParameterIds()
{
    juce::StringArray ids { ParameterIds::input, ParameterIds::preset };
    for (const char* id : kSwitchIds)
        ids.add (id);
    return ids.joinIntoString (", ") + ", " + stageIdList();
}
} // namespace

//==================================================================================================
int presetIndexFromText (const juce::String& text)
{
    const auto trimmed = text.trim();
    int index = -1;
    if (parseWholeNumber (trimmed, 0, kt::kPresetCount - 1, index))
        return index;

    const auto wanted = trimmed.replaceCharacters ("-_", "  ");
    for (int i = 0; i < kt::kPresetCount; ++i)
        if (wanted.equalsIgnoreCase (kt::kPresets[(size_t) i].name))
            return i;
    return -1;
}

ParsedCommandLine parseRenderCommandLine (const juce::StringArray& arguments)
{
    ParsedCommandLine result;
    auto& options = result.options;
    juce::StringArray fileNames;
    bool optionsEnded = false;

    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& argument = arguments[i];

        if (optionsEnded || ! argument.startsWith ("-") || argument == "-")
        {
            fileNames.add (argument);
            continue;
        }
        if (argument == "--")
        {
            optionsEnded = true;
            continue;
        }

        // --name=value and --name value are the same.
        auto name = argument;
        juce::String inlineValue;
        const bool hasInlineValue = argument.startsWith ("--") && argument.containsChar ('=');
        if (hasInlineValue)
        {
            name = argument.upToFirstOccurrenceOf ("=", false, false);
            inlineValue = argument.fromFirstOccurrenceOf ("=", false, false);
        }

        juce::String value;
        auto takeValue = [&]() -> bool
        {
            if (hasInlineValue)
            {
                value = inlineValue;
                return true;
            }
            if (i + 1 >= arguments.size())
                return false;
            value = arguments[++i];
            return true;
        };

        auto flag = [&] (bool& target) -> juce::String
        {
            if (hasInlineValue)
                return "option " + name + " takes no value";
            target = true;
            return {};
        };

        auto setting = [&] (const char* id) -> juce::String
        {
            if (hasInlineValue)
                return "option " + name + " takes no value";
            options.settings.push_back ({ id, 1.0f });
            return {};
        };

        static const juce::StringArray optionsWithValue { "--preset", "--input-db", "--stage", "--param", "--state",
                                                          "--save-state", "--block", "-o", "--output-dir", "--json",
                                                          "--plot", "-j", "--jobs" };
        if (optionsWithValue.contains (name) && ! takeValue())
            return usageError ("option " + name + " needs a value");

        juce::String error;
        if (name == "-h" || name == "--help")
            error = flag (options.showHelp);
        else if (name == "--quiet" || name == "-q")
            error = flag (options.quiet);
        else if (name == "--float")
            error = flag (options.floatOutput);
        else if (name == "--keep-latency")
            error = flag (options.keepLatency);
        else if (name == "--demo")
            error = flag (options.demo);
        else if (name == "--extreme")
            error = setting (ParameterIds::extreme);
        else if (name == "--bypass")
            error = setting (ParameterIds::bypass);
        else if (name == "--auto-input")
            error = setting (ParameterIds::autoInput);
        else if (name == "--preset")
        {
            float index = 0.0f;
            error = readParameterValue (ParameterIds::preset, value, index);
            if (error.isEmpty())
                options.settings.push_back ({ ParameterIds::preset, index });
        }
        else if (name == "--input-db")
        {
            float db = 0.0f;
            error = readParameterValue (ParameterIds::input, value, db);
            if (error.isEmpty())
                options.settings.push_back ({ ParameterIds::input, db });
            else
                error = "--input-db must be a number of dB from -18 to 18, not '" + value + "'";
        }
        else if (name == "--stage" || name == "--param")
        {
            const bool stageOnly = name == "--stage";
            const auto key = value.upToFirstOccurrenceOf ("=", false, false).trim();
            const auto text = value.fromFirstOccurrenceOf ("=", false, false).trim();
            if (! value.containsChar ('=') || key.isEmpty() || text.isEmpty())
            {
                error = stageOnly ? "--stage needs ID=on or ID=off, not '" + value + "'"
                                  : "--param needs ID=VALUE, not '" + value + "'";
            }
            else
            {
                const auto id = stageOnly ? findStageId (key) : findParameterId (key);
                if (id.isEmpty())
                {
                    error = stageOnly ? "unknown stage '" + key + "' (stages: " + stageIdList() + ")"
                                      : "unknown parameter '" + key + "' (parameters: " + allParameterIds() + ")";
                }
                else
                {
                    float v = 0.0f;
                    error = readParameterValue (id, text, v);
                    if (error.isEmpty())
                        options.settings.push_back ({ id, v });
                }
            }
        }
        else if (name == "--state" || name == "--save-state")
        {
            if (value.isEmpty())
                error = "option " + name + " needs a file name";
            else
                (name == "--state" ? options.stateFile : options.saveStateFile) = value;
        }
        else if (name == "-o" || name == "--output-dir")
        {
            if (value.isEmpty())
                error = "option " + name + " needs a folder name";
            else
                options.outputFolder = value;
        }
        else if (name == "--json" || name == "--plot")
        {
            if (value.isEmpty())
                error = "option " + name + " needs a file name";
            else if (name == "--json")
                options.jsonPath = value;
            else
                options.plotPath = value;
        }
        else if (name == "-j" || name == "--jobs")
        {
            if (! parseWholeNumber (value, 1, kMaxJobs, options.jobs))
                error = name + " must be a whole number from 1 to " + juce::String (kMaxJobs) + ", not '" + value + "'";
        }
        else if (name == "--block")
        {
            if (! parseWholeNumber (value, 1, kMaxBlockSize, options.blockSize))
                error = "--block must be a whole number from 1 to " + juce::String (kMaxBlockSize) + ", not '" + value + "'";
        }
        else
        {
            error = "unknown option '" + argument + "' (see --help)";
        }

        if (error.isNotEmpty())
            return usageError (error);
    }

    if (options.showHelp)
        return result;

    for (const auto& fileName : fileNames)
        if (fileName.isEmpty())
            return usageError ("empty file name");

    const bool toFolder = options.outputFolder.isNotEmpty();
    if (options.demo)
    {
        const int maxFileNames = toFolder ? 0 : 1;
        if (fileNames.size() > maxFileNames)
            return usageError ("too many file names: '" + fileNames[maxFileNames] + "' (with --demo, the only file name is OUTPUT"
                               + (toFolder ? juce::String (", and -o gives its folder instead)") : juce::String (")")));
        options.outputPath = fileNames[0];
    }
    else if (toFolder)
    {
        options.inputPaths = fileNames; // every file name is an INPUT
    }
    else
    {
        if (fileNames.size() > 2)
            return usageError ("too many file names: '" + fileNames[2] + "' (to render several files, give an output folder with -o DIR)");
        if (! fileNames.isEmpty())
            options.inputPaths.add (fileNames[0]);
        options.outputPath = fileNames[1];
    }

    if (options.plotPath == "-")
        return usageError ("--plot needs a file or folder name; a picture cannot go to stdout");
    return result;
}

juce::File inputFileFor (const RenderOptions& options, int index, const juce::File& workingFolder)
{
    if (options.rendersDemo() || ! juce::isPositiveAndBelow (index, options.inputPaths.size()))
        return {};
    return workingFolder.getChildFile (options.inputPaths[index]);
}

juce::File outputFileFor (const RenderOptions& options, int index, const juce::File& workingFolder)
{
    if (options.outputPath.isNotEmpty())
        return workingFolder.getChildFile (options.outputPath);

    const auto input = inputFileFor (options, index, workingFolder);
    const auto name = input == juce::File() ? juce::String ("tarvik-demo.wav")
                                            : input.getFileNameWithoutExtension() + ".tarvik.wav";
    if (options.outputFolder.isNotEmpty())
        return workingFolder.getChildFile (options.outputFolder).getChildFile (name);
    return input == juce::File() ? workingFolder.getChildFile (name) : input.getSiblingFile (name);
}

juce::File plotFileFor (const RenderOptions& options, int index, const juce::File& workingFolder, bool plotPathIsFolder)
{
    if (options.plotPath.isEmpty())
        return {};
    const auto plot = workingFolder.getChildFile (options.plotPath);
    if (! plotPathIsFolder)
        return plot;
    const auto input = inputFileFor (options, index, workingFolder);
    return plot.getChildFile ((input == juce::File() ? juce::String ("tarvik-demo") : input.getFileNameWithoutExtension()) + ".png");
}

juce::String findOutputClash (const RenderOptions& options, const juce::File& workingFolder)
{
    std::map<juce::String, int> firstWriter;
    for (int i = 0; i < options.renderCount(); ++i)
    {
        const auto output = outputFileFor (options, i, workingFolder).getFullPathName();
        const auto [where, inserted] = firstWriter.emplace (output, i);
        if (! inserted)
            return "'" + options.inputPaths[where->second] + "' and '" + options.inputPaths[i] + "' would both be written to '"
                   + output + "'; render them into different folders";
    }
    return {};
}

juce::String renderHelpText()
{
    juce::String presets;
    for (int i = 0; i < kt::kPresetCount; ++i)
        presets << (i == 0 ? "" : (i % 5 == 0 ? ",\n                        " : ", ")) << i << " " << kt::kPresets[(size_t) i].name;

    juce::String text;
    text
        << "Usage: tarvik-render [options] [INPUT [OUTPUT]]\n"
        << "       tarvik-render [options] INPUT... -o DIR\n"
        << "       tarvik-render [options] --demo [OUTPUT]\n"
        << "\n"
        << "Runs KORVANE Tarvik over an audio file offline, block by block, as a host would.\n"
        << "INPUT may be WAV, AIFF, FLAC or Ogg Vorbis, mono or stereo, 8 to 192 kHz. OUTPUT is a WAV\n"
        << "file at the input's sample rate and channel count, by default NAME.tarvik.wav beside the\n"
        << "input. With -o DIR every file name is an INPUT and each output goes into DIR as\n"
        << "NAME.tarvik.wav; the files are rendered side by side, one per core (see --jobs), and a file\n"
        << "that fails is reported while the others go on.\n"
        << "With no INPUT, or with --demo, the built-in demo programme (20 s of synthesised stereo\n"
        << "music at 48 kHz with a quiet and a loud passage) is rendered, by default to\n"
        << "tarvik-demo.wav in the current folder. An existing OUTPUT is replaced only when the\n"
        << "render succeeds.\n"
        << "\n"
        << "Processing (--state first, then the others in the order given; a later one wins):\n"
        << "  --preset NAME|INDEX   factory preset, by name in any case or by index (default BROADCAST):\n"
        << "                        " << presets << "\n"
        << "  --extreme             EXTREME on\n"
        << "  --bypass              bypass on: the output is the input\n"
        << "  --auto-input          auto input on\n"
        << "  --input-db DB         input trim, -18 to +18 dB\n"
        << "  --stage ID=on|off     switch one stage; repeatable. ID is a stage's parameter ID (the\n"
        << "                        'stage' prefix may be left out):\n"
        << stageIdColumns()
        << "  --param ID=VALUE      set any parameter to a plain value; repeatable. ID is input (dB),\n"
        << "                        preset (name or index), autoInput, extreme, bypass (on|off) or a\n"
        << "                        stage ID (on|off)\n"
        << "  --state FILE          load a state block saved by --save-state or a host\n"
        << "  --save-state FILE     save the state this render used\n"
        << "\n"
        << "Output:\n"
        << "  -o, --output-dir DIR  render every INPUT into the existing folder DIR\n"
        << "  -j, --jobs N          render up to N files at once, 1 to " << kMaxJobs << " (default: one per core)\n"
        << "  --float               write 32-bit float samples instead of 24-bit\n"
        << "  --keep-latency        keep the processor's 8 ms latency: the output starts with it and is\n"
        << "                        that much longer than the input, so the tail is still complete.\n"
        << "                        Without it the latency is removed and the tail flushed: the output\n"
        << "                        lines up sample for sample with the input and has its length.\n"
        << "  --block N             samples per processing block, 1 to " << kMaxBlockSize << " (default 512)\n"
        << "\n"
        << "Reports:\n"
        << "  --json FILE           write the report as JSON to FILE, or to stdout with '-' (the summary\n"
        << "                        then goes to stderr): the settings, and for each file its loudness\n"
        << "                        before and after and the largest gain reduction of each stage\n"
        << "  --plot FILE.png       draw what the processor did over time as a PNG: loudness in and\n"
        << "                        out, AGC gain, the bands' gain reduction, the limiters. When FILE\n"
        << "                        is an existing folder (it must be, with several INPUTs) each input\n"
        << "                        gets NAME.png in it\n"
        << "  -q, --quiet           no progress bar and no summary\n"
        << "  -h, --help            show this text\n"
        << "\n"
        << "Loudness is measured with libebur128 (ITU-R BS.1770 / EBU R 128): integrated loudness,\n"
        << "loudness range, true peak (4x oversampled below 96 kHz) and sample peak; a mono file is\n"
        << "measured as if played on both speakers. A progress bar goes to stderr when it is a\n"
        << "terminal; the summary goes to stdout.\n"
        << "Exit status: 0 done, 1 a file could not be read or written (with several INPUTs: at least\n"
        << "one failed), 2 bad command line, 130 interrupted.\n";
    return text;
}
} // namespace kt::tools
