// tarvik-render: runs the plug-in's processor over an audio file offline, block by block, the way
// a host would, and writes the result as WAV. See renderHelpText() for the command line.

#include "PluginProcessor.h"
#include "common/DemoProgramme.h"
#include "render/RenderOptions.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_events/juce_events.h>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace
{
using kt::tools::kExitIo;
using kt::tools::kExitUsage;

/** A failure that ends the run: one line for stderr and the exit code. */
struct RenderError
{
    juce::String message;
    int exitCode;
};

[[noreturn]] void fail (const juce::String& message, int exitCode = kExitIo)
{
    throw RenderError { message, exitCode };
}

volatile std::sig_atomic_t stopRequested = 0;
extern "C" void requestStop (int) { stopRequested = 1; }

juce::String quoted (const juce::File& file) { return "'" + file.getFullPathName() + "'"; }

juce::String dbfsText (float peak)
{
    if (peak <= 0.0f)
        return "-inf dBFS";
    return juce::String (juce::Decibels::gainToDecibels (peak, -400.0f), 1) + " dBFS";
}

juce::String channelsText (int channels) { return channels == 1 ? "mono" : "stereo"; }

//==================================================================================================
/** Where the programme comes from: the demo generator or an audio file. */
class Programme
{
public:
    virtual ~Programme() = default;

    /** Reads numSamples from position into the start of buffer (which has numChannels channels). */
    virtual void read (juce::AudioBuffer<float>& buffer, int numSamples, juce::int64 position) = 0;

    int numChannels = 2;
    double sampleRate = kt::tools::kDemoSampleRate;
    juce::int64 length = 0;
    juce::String description;
};

class DemoProgramme final : public Programme
{
public:
    DemoProgramme()
        : audio (kt::tools::makeDemoProgramme (kt::tools::kDemoSampleRate, kt::tools::kDemoSeconds))
    {
        numChannels = audio.getNumChannels();
        length = audio.getNumSamples();
        description = "built-in demo programme";
    }

    void read (juce::AudioBuffer<float>& buffer, int numSamples, juce::int64 position) override
    {
        for (int ch = 0; ch < numChannels; ++ch)
            buffer.copyFrom (ch, 0, audio, ch, (int) position, numSamples);
    }

private:
    juce::AudioBuffer<float> audio;
};

class FileProgramme final : public Programme
{
public:
    explicit FileProgramme (const juce::File& file)
    {
        if (file.isDirectory())
            fail ("cannot read " + quoted (file) + ": it is a folder");
        if (! file.existsAsFile())
            fail ("cannot read " + quoted (file) + ": no such file");

        formats.registerBasicFormats();
        reader.reset (formats.createReaderFor (file));
        if (reader == nullptr)
            fail ("cannot read " + quoted (file) + ": not a readable WAV, AIFF, FLAC or Ogg Vorbis file");

        numChannels = (int) reader->numChannels;
        sampleRate = reader->sampleRate;
        length = std::max<juce::int64> (0, reader->lengthInSamples);

        if (numChannels < 1 || numChannels > 2)
            fail (quoted (file) + " has " + juce::String (numChannels) + " channels: only mono and stereo files can be rendered");
        if (! (sampleRate >= 1000.0 && sampleRate <= 1536000.0))
            fail (quoted (file) + " has an unusable sample rate (" + juce::String (sampleRate) + " Hz)");

        description = file.getFullPathName();
        sourceFile = file;
    }

    void read (juce::AudioBuffer<float>& buffer, int numSamples, juce::int64 position) override
    {
        if (! reader->read (buffer.getArrayOfWritePointers(), numChannels, position, numSamples))
            fail ("cannot read " + quoted (sourceFile) + ": read error at sample " + juce::String (position));
    }

private:
    juce::AudioFormatManager formats;
    std::unique_ptr<juce::AudioFormatReader> reader;
    juce::File sourceFile;
};

//==================================================================================================
/** Writes a WAV file to a hidden temporary file beside the target and renames it over the target
    only in commit(), so a failed render never leaves a partial file or harms an existing one. */
class SafeWavWriter
{
public:
    SafeWavWriter (const juce::File& target, double sampleRate, int numChannels, int bitsPerSample)
        : temporary (target, juce::TemporaryFile::useHiddenFile)
    {
        auto stream = temporary.getFile().createOutputStream();
        if (stream == nullptr || stream->failedToOpen())
            fail ("cannot write " + quoted (target) + ": "
                  + (stream != nullptr ? stream->getStatus().getErrorMessage() : juce::String ("cannot create a file in its folder")));

        juce::WavAudioFormat wav;
        writer.reset (wav.createWriterFor (stream.get(), sampleRate, (unsigned int) numChannels, bitsPerSample, {}, 0));
        if (writer == nullptr)
            fail ("cannot write " + quoted (target) + ": WAV does not support this format");
        fileStream = stream.release(); // now owned by the writer
    }

    void write (const juce::AudioBuffer<float>& buffer, int start, int numSamples)
    {
        if (! writer->writeFromAudioSampleBuffer (buffer, start, numSamples))
            fail ("cannot write " + quoted (temporary.getTargetFile()) + ": " + writeErrorText());
    }

    void commit()
    {
        const bool flushed = writer->flush();
        fileStream->flush();
        if (! flushed || fileStream->getStatus().failed())
            fail ("cannot write " + quoted (temporary.getTargetFile()) + ": " + writeErrorText());

        writer.reset();
        if (! temporary.overwriteTargetFileWithTemporary())
            fail ("cannot write " + quoted (temporary.getTargetFile()) + ": the finished file could not be moved into place");
    }

private:
    juce::String writeErrorText() const
    {
        const auto status = fileStream->getStatus();
        return status.failed() ? status.getErrorMessage() : juce::String ("write failed (disk full?)");
    }

    juce::TemporaryFile temporary;                  // declared first: deleted after the writer closes
    std::unique_ptr<juce::AudioFormatWriter> writer;
    juce::FileOutputStream* fileStream = nullptr;   // owned by writer
};

/** Writes a small file whole or not at all. */
void writeFileSafely (const juce::File& target, const juce::MemoryBlock& data)
{
    if (! target.getParentDirectory().isDirectory())
        fail ("cannot write " + quoted (target) + ": its folder does not exist");

    juce::TemporaryFile temporary (target, juce::TemporaryFile::useHiddenFile);
    if (! temporary.getFile().replaceWithData (data.getData(), data.getSize())
        || ! temporary.overwriteTargetFileWithTemporary())
        fail ("cannot write " + quoted (target));
}

//==================================================================================================
/** The bar on stderr. It only appears on a terminal, and only once a render has run long enough
    for it to be worth watching. */
class ProgressBar
{
public:
    explicit ProgressBar (bool enabled) : active (enabled && isatty (STDERR_FILENO) != 0) {}

    ~ProgressBar() { clear(); }

    void update (double fraction)
    {
        if (! active)
            return;
        const double now = juce::Time::getMillisecondCounterHiRes();
        if (now - startMs < 300.0 || now - lastDrawMs < 100.0)
            return;
        lastDrawMs = now;

        constexpr int width = 40;
        fraction = juce::jlimit (0.0, 1.0, fraction);
        const int filled = (int) (fraction * width);
        const double elapsed = (now - startMs) / 1000.0;
        const int remaining = fraction > 0.0 ? (int) std::lround (elapsed * (1.0 - fraction) / fraction) : 0;

        std::fprintf (stderr, "\rrendering [%s%s] %3d%%  %d:%02d left ",
                      juce::String::repeatedString ("#", filled).toRawUTF8(),
                      juce::String::repeatedString ("-", width - filled).toRawUTF8(),
                      (int) (fraction * 100.0), remaining / 60, remaining % 60);
        std::fflush (stderr);
        drawn = true;
    }

    void clear()
    {
        if (drawn)
        {
            std::fputs ("\r\033[K", stderr);
            std::fflush (stderr);
            drawn = false;
        }
    }

private:
    bool active;
    bool drawn = false;
    double startMs = juce::Time::getMillisecondCounterHiRes();
    double lastDrawMs = 0.0;
};

//==================================================================================================
void setParameter (KorvaneTarvikAudioProcessor& processor, const juce::String& id, float plainValue)
{
    auto* parameter = processor.parameters.getParameter (id);
    if (parameter == nullptr)
        fail ("unknown parameter '" + id + "'", kExitUsage);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (plainValue));
}

bool isOn (KorvaneTarvikAudioProcessor& processor, const char* id)
{
    auto* value = processor.parameters.getRawParameterValue (id);
    return value != nullptr && value->load() > 0.5f;
}

void loadState (KorvaneTarvikAudioProcessor& processor, const juce::File& file)
{
    if (! file.existsAsFile())
        fail ("cannot read state " + quoted (file) + ": no such file");

    juce::MemoryBlock data;
    if (! file.loadFileAsData (data))
        fail ("cannot read state " + quoted (file));

    const auto xml = juce::AudioProcessor::getXmlFromBinary (data.getData(), (int) data.getSize());
    if (xml == nullptr || ! xml->getTagName().equalsIgnoreCase ("STATE"))
        fail (quoted (file) + " is not a KORVANE Tarvik state block");

    processor.setStateInformation (data.getData(), (int) data.getSize());
}

int run (const kt::tools::RenderOptions& options)
{
    const auto here = juce::File::getCurrentWorkingDirectory();

    // The programme, and where the result goes.
    std::unique_ptr<Programme> programme;
    juce::File inputFile;
    if (options.rendersDemo())
    {
        programme = std::make_unique<DemoProgramme>();
    }
    else
    {
        inputFile = here.getChildFile (options.inputPath);
        programme = std::make_unique<FileProgramme> (inputFile);
    }

    const auto outputFile = kt::tools::outputFileFor (options, here);
    if (inputFile != juce::File() && outputFile == inputFile)
        fail ("OUTPUT is the same file as INPUT; choose another name", kExitUsage);
    if (outputFile.isDirectory())
        fail ("cannot write " + quoted (outputFile) + ": it is a folder");
    const auto outputFolder = outputFile.getParentDirectory();
    if (outputFolder.existsAsFile())
        fail ("cannot write " + quoted (outputFile) + ": " + quoted (outputFolder) + " is a file, not a folder");
    if (! outputFolder.isDirectory())
        fail ("cannot write " + quoted (outputFile) + ": folder " + quoted (outputFolder) + " does not exist");

    // The processor, set up as a host sets up a plug-in: layout, state, parameters, then prepare.
    KorvaneTarvikAudioProcessor processor;
    const int channels = programme->numChannels;
    const auto channelSet = channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (channelSet);
    layout.outputBuses.add (channelSet);
    if (! processor.setBusesLayout (layout))
        fail ("the processor does not accept " + channelsText (channels) + " audio");

    if (options.stateFile.isNotEmpty())
        loadState (processor, here.getChildFile (options.stateFile));
    for (const auto& setting : options.settings)
        setParameter (processor, setting.id, setting.value);

    juce::MemoryBlock stateToSave;
    if (options.saveStateFile.isNotEmpty())
        processor.getStateInformation (stateToSave);

    processor.setNonRealtime (true);
    processor.setRateAndBufferSizeDetails (programme->sampleRate, options.blockSize);
    processor.prepareToPlay (programme->sampleRate, options.blockSize);

    // The latency is flushed out with silence at the end. Without --keep-latency the first
    // `latency` samples of output are dropped, so output sample n lines up with input sample n.
    const juce::int64 latency = std::max (0, processor.getLatencySamples());
    const juce::int64 total = programme->length + latency;
    const juce::int64 skip = options.keepLatency ? 0 : latency;

    SafeWavWriter writer (outputFile, programme->sampleRate, channels, options.floatOutput ? 32 : 24);
    ProgressBar progress (! options.quiet);

    juce::AudioBuffer<float> buffer (channels, options.blockSize);
    juce::MidiBuffer midi;
    float inputPeak = 0.0f, outputPeak = 0.0f;
    const double startMs = juce::Time::getMillisecondCounterHiRes();

    for (juce::int64 position = 0; position < total;)
    {
        if (stopRequested != 0)
            fail ("interrupted; nothing was written", 130);

        const int blockLength = (int) std::min<juce::int64> (options.blockSize, total - position);
        buffer.setSize (channels, blockLength, false, false, true);
        buffer.clear();

        const int fromProgramme = (int) juce::jlimit<juce::int64> (0, blockLength, programme->length - position);
        if (fromProgramme > 0)
        {
            programme->read (buffer, fromProgramme, position);
            for (int ch = 0; ch < channels; ++ch)
                inputPeak = std::max (inputPeak, buffer.getMagnitude (ch, 0, fromProgramme));
        }

        midi.clear();
        processor.processBlock (buffer, midi);

        const auto keepFrom = std::max (position, skip);
        const auto keepCount = (int) (position + blockLength - keepFrom);
        if (keepCount > 0)
        {
            const auto offset = (int) (keepFrom - position);
            for (int ch = 0; ch < channels; ++ch)
                outputPeak = std::max (outputPeak, buffer.getMagnitude (ch, offset, keepCount));
            writer.write (buffer, offset, keepCount);
        }

        position += blockLength;
        progress.update ((double) position / (double) total);
    }

    processor.releaseResources();
    if (options.saveStateFile.isNotEmpty())
        writeFileSafely (here.getChildFile (options.saveStateFile), stateToSave);
    writer.commit();

    const double seconds = (double) programme->length / programme->sampleRate;
    const double elapsed = std::max (1.0e-6, (juce::Time::getMillisecondCounterHiRes() - startMs) / 1000.0);
    progress.clear();

    if (! options.quiet)
    {
        auto* preset = dynamic_cast<juce::AudioParameterChoice*> (processor.parameters.getParameter (ParameterIds::preset));
        juce::String presetLine = preset != nullptr ? preset->getCurrentChoiceName() : juce::String ("?");
        if (isOn (processor, ParameterIds::extreme))
            presetLine << ", EXTREME";
        if (isOn (processor, ParameterIds::bypass))
            presetLine << ", bypassed";

        juce::StringArray stagesOff;
        for (const auto& stage : kStageSwitchParameters)
            if (! isOn (processor, stage.id))
                stagesOff.add (stage.id);

        juce::String outputPeakText = dbfsText (outputPeak);
        if (outputPeak > 1.0f && ! options.floatOutput)
            outputPeakText << " (clipped to 0 dBFS in the 24-bit file; --float keeps it)";

        std::cout << "preset       " << presetLine << "\n";
        if (! stagesOff.isEmpty())
            std::cout << "stages off   " << stagesOff.joinIntoString (", ") << "\n";
        std::cout
                  << "input        " << programme->description << " (" << channelsText (channels) << ", "
                  << juce::String (programme->sampleRate, 0) << " Hz, " << juce::String (seconds, 3) << " s)\n"
                  << "speed        " << juce::String (seconds / elapsed, 1) << "x real time\n"
                  << "input peak   " << dbfsText (inputPeak) << "\n"
                  << "output peak  " << outputPeakText << "\n"
                  << "written to   " << outputFile.getFullPathName() << " (" << (options.floatOutput ? "32-bit float" : "24-bit")
                  << " WAV, " << (options.keepLatency ? "latency kept: +" + juce::String (latency) + " samples" : juce::String ("latency removed"))
                  << ")\n";
        if (options.saveStateFile.isNotEmpty())
            std::cout << "state saved  " << here.getChildFile (options.saveStateFile).getFullPathName() << "\n";
        std::cout.flush();
    }
    return 0;
}
} // namespace

int main (int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser; // the parameter tree needs a message manager

    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));

    const auto parsed = kt::tools::parseRenderCommandLine (arguments);
    if (! parsed.ok())
    {
        std::cerr << "tarvik-render: " << parsed.error << std::endl;
        return parsed.exitCode;
    }
    if (parsed.options.showHelp)
    {
        std::cout << kt::tools::renderHelpText();
        return 0;
    }

    std::signal (SIGINT, requestStop);
    std::signal (SIGTERM, requestStop);

    try
    {
        return run (parsed.options);
    }
    catch (const RenderError& e)
    {
        std::cerr << "tarvik-render: " << e.message << std::endl;
        return e.exitCode;
    }
    catch (const std::exception& e)
    {
        std::cerr << "tarvik-render: " << e.what() << std::endl;
        return kExitIo;
    }
}
