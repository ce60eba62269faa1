// tarvik-bench: how fast the processor runs. Processes generated stereo programme through the same
// processor class the plug-in ships, in fixed-size blocks after a warm-up, and reports the real-time
// factor and the cost per stereo sample. Only the processBlock calls are timed.

#include "PluginProcessor.h"
#include "common/DemoProgramme.h"
#include "render/RenderOptions.h"

#include <juce_events/juce_events.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>

namespace
{
constexpr double kWarmUpSeconds = 2.0;

struct BenchOptions
{
    int preset = 1;
    bool extreme = false;
    double sampleRate = 48000.0;
    int blockSize = 512;
    double seconds = 60.0;
    juce::StringArray stagesOff;
    bool showHelp = false;
};

const char* const kHelp =
    "Usage: tarvik-bench [options]\n"
    "\n"
    "Processes generated stereo programme (the demo programme, looped) through KORVANE Tarvik in\n"
    "fixed-size blocks after a 2 s warm-up, and prints the real-time factor, the time per stereo\n"
    "sample and the slowest block.\n"
    "\n"
    "  --preset NAME|INDEX   factory preset (default BROADCAST)\n"
    "  --extreme             EXTREME on\n"
    "  --rate HZ             sample rate, 8000 to 384000 (default 48000)\n"
    "  --block N             samples per block, 1 to 65536 (default 512)\n"
    "  --seconds S           seconds of programme to time, 0.1 to 36000 (default 60)\n"
    "  --stage-off ID        switch one stage off, e.g. stageMultiband (repeatable): what it costs\n"
    "  -h, --help            show this text\n";

bool readNumber (const juce::String& text, double minimum, double maximum, double& value)
{
    const auto s = text.trim().toStdString();
    char* end = nullptr;
    value = std::strtod (s.c_str(), &end);
    return ! s.empty() && end == s.c_str() + s.size() && std::isfinite (value) && value >= minimum && value <= maximum;
}

/** Fills options from the arguments; an error line when they are no good. */
juce::String parse (const juce::StringArray& arguments, BenchOptions& options)
{
    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& argument = arguments[i];
        if (argument == "-h" || argument == "--help")
        {
            options.showHelp = true;
            continue;
        }
        if (argument == "--extreme")
        {
            options.extreme = true;
            continue;
        }

        if (argument != "--preset" && argument != "--rate" && argument != "--block" && argument != "--seconds"
            && argument != "--stage-off")
            return "unknown option '" + argument + "' (see --help)";
        if (i + 1 >= arguments.size())
            return "option " + argument + " needs a value";
        const auto value = arguments[++i];

        double number = 0.0;
        if (argument == "--stage-off")
        {
            if (! value.startsWith ("stage"))
                return "unknown stage '" + value + "'";
            options.stagesOff.add (value);
        }
        else if (argument == "--preset")
        {
            options.preset = kt::tools::presetIndexFromText (value);
            if (options.preset < 0)
                return "unknown preset '" + value + "'";
        }
        else if (argument == "--rate")
        {
            if (! readNumber (value, 8000.0, 384000.0, options.sampleRate))
                return "--rate must be a sample rate from 8000 to 384000 Hz, not '" + value + "'";
        }
        else if (argument == "--block")
        {
            if (! readNumber (value, 1.0, 65536.0, number) || number != std::floor (number))
                return "--block must be a whole number from 1 to 65536, not '" + value + "'";
            options.blockSize = (int) number;
        }
        else if (! readNumber (value, 0.1, 36000.0, options.seconds))
        {
            return "--seconds must be a number from 0.1 to 36000, not '" + value + "'";
        }
    }
    return {};
}

void setParameter (KorvaneTarvikAudioProcessor& processor, const char* id, float plainValue)
{
    auto* parameter = processor.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (plainValue));
}

/** Copies the next block of the looped programme into block. */
void fillBlock (const juce::AudioBuffer<float>& programme, juce::int64& position, juce::AudioBuffer<float>& block)
{
    const int length = programme.getNumSamples();
    for (int done = 0; done < block.getNumSamples();)
    {
        const int start = (int) (position % length);
        const int count = std::min (block.getNumSamples() - done, length - start);
        for (int ch = 0; ch < block.getNumChannels(); ++ch)
            block.copyFrom (ch, done, programme, ch, start, count);
        done += count;
        position += count;
    }
}
} // namespace

int main (int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser; // the parameter tree needs a message manager

    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));

    BenchOptions options;
    if (const auto error = parse (arguments, options); error.isNotEmpty())
    {
        std::cerr << "tarvik-bench: " << error << std::endl;
        return kt::tools::kExitUsage;
    }
    if (options.showHelp)
    {
        std::cout << kHelp;
        return 0;
    }

    KorvaneTarvikAudioProcessor processor;
    setParameter (processor, ParameterIds::preset, (float) options.preset);
    setParameter (processor, ParameterIds::extreme, options.extreme ? 1.0f : 0.0f);
    for (const auto& stage : options.stagesOff)
    {
        if (processor.parameters.getParameter (stage) == nullptr)
        {
            std::cerr << "tarvik-bench: unknown stage '" << stage << "'" << std::endl;
            return kt::tools::kExitUsage;
        }
        setParameter (processor, stage.toRawUTF8(), 0.0f);
    }
    processor.setPlayConfigDetails (2, 2, options.sampleRate, options.blockSize);
    processor.prepareToPlay (options.sampleRate, options.blockSize);

    // One pass of the arrangement, looped for as long as needed.
    const auto programme = kt::tools::makeDemoProgramme (options.sampleRate, kt::tools::kDemoCycleSeconds);
    juce::AudioBuffer<float> block (2, options.blockSize);
    juce::MidiBuffer midi;
    juce::int64 position = 0;

    const auto blocksFor = [&] (double seconds) {
        return (juce::int64) std::ceil (seconds * options.sampleRate / options.blockSize);
    };

    for (juce::int64 b = blocksFor (kWarmUpSeconds); --b >= 0;)
    {
        fillBlock (programme, position, block);
        processor.processBlock (block, midi);
    }

    using Clock = std::chrono::steady_clock;
    const juce::int64 blocks = blocksFor (options.seconds);
    Clock::duration busy {}, slowest {};
    float check = 0.0f;
    for (juce::int64 b = 0; b < blocks; ++b)
    {
        fillBlock (programme, position, block);
        midi.clear();
        const auto start = Clock::now();
        processor.processBlock (block, midi);
        const auto taken = Clock::now() - start;
        busy += taken;
        slowest = std::max (slowest, taken);
        check += block.getSample (0, 0); // keeps the work observable
    }
    processor.releaseResources();

    const double samples = (double) blocks * options.blockSize;
    const double audioSeconds = samples / options.sampleRate;
    const double busySeconds = std::max (1.0e-9, std::chrono::duration<double> (busy).count());
    const double blockSeconds = options.blockSize / options.sampleRate;
    const double slowestSeconds = std::chrono::duration<double> (slowest).count();

    const auto& presetName = kt::kPresets[(size_t) options.preset].name;
    std::cout << "tarvik-bench: " << presetName << (options.extreme ? ", EXTREME" : "") << ", "
              << juce::String (options.sampleRate, 0) << " Hz, " << options.blockSize << "-sample blocks, "
              << juce::String (audioSeconds, 1) << " s of stereo programme after a "
              << juce::String (kWarmUpSeconds, 0) << " s warm-up\n"
              << "real-time factor     " << juce::String (audioSeconds / busySeconds, 1) << "x\n"
              << "per stereo sample    " << juce::String (busySeconds * 1.0e9 / samples, 1) << " ns\n"
              << "slowest block        " << juce::String (slowestSeconds * 1.0e6, 1) << " us ("
              << juce::String (100.0 * slowestSeconds / blockSeconds, 1) << "% of its duration)\n";
    if (! std::isfinite (check))
    {
        std::cerr << "tarvik-bench: the processor produced a value that is not finite" << std::endl;
        return 1;
    }
    return 0;
}
