#include "RenderJob.h"

#include "PluginProcessor.h"
#include "common/DemoProgramme.h"

#include <stdexcept>

namespace kt::tools
{
namespace
{
[[noreturn]] void fail (const juce::String& message, int exitCode = kExitIo)
{
    throw RenderFailure { message, exitCode };
}

juce::String quoted (const juce::File& file) { return "'" + file.getFullPathName() + "'"; }

juce::String channelsText (int channels) { return channels == 1 ? "mono" : "stereo"; }

juce::String rateText (double rate) { return juce::String (rate, 0) + " Hz"; }

//==================================================================================================
/** Where the programme comes from: the demo generator or an audio file, read block by block. */
class Programme
{
public:
    virtual ~Programme() = default;

    /** Reads numSamples from position into the start of buffer (which has numChannels channels). */
    virtual void read (juce::AudioBuffer<float>& buffer, int numSamples, juce::int64 position) = 0;

    int numChannels = 2;
    double sampleRate = kDemoSampleRate;
    juce::int64 length = 0;
};

class DemoProgramme final : public Programme
{
public:
    DemoProgramme() : audio (makeDemoProgramme (kDemoSampleRate, kDemoSeconds))
    {
        numChannels = audio.getNumChannels();
        length = audio.getNumSamples();
    }

    void read (juce::AudioBuffer<float>& buffer, int numSamples, juce::int64 position) override
    {
        for (int ch = 0; ch < numChannels; ++ch)
            buffer.copyFrom (ch, 0, audio, ch, (int) position, numSamples);
    }

private:
    juce::AudioBuffer<float> audio;
};

/** An audio file, streamed: only the reader's own small buffers are held. Everything that can be
    told from the file before rendering is checked here, so a bad file fails before any output is
    made. */
class FileProgramme final : public Programme
{
public:
    explicit FileProgramme (const juce::File& file) : sourceFile (file)
    {
        if (file.isDirectory())
            fail ("cannot read " + quoted (file) + ": it is a folder");
        if (! file.existsAsFile())
            fail ("cannot read " + quoted (file) + ": no such file");

        // Opening it ourselves first tells a file we may not read from one we cannot make sense of.
        {
            juce::FileInputStream probe (file);
            if (probe.failedToOpen())
                fail ("cannot read " + quoted (file) + ": " + probe.getStatus().getErrorMessage());
        }
        const auto fileSize = file.getSize();
        if (fileSize == 0)
            fail ("cannot read " + quoted (file) + ": the file is empty (0 bytes)");

        formats.registerBasicFormats();
        reader.reset (formats.createReaderFor (file));
        if (reader == nullptr)
            fail ("cannot read " + quoted (file) + ": not a readable WAV, AIFF, FLAC or Ogg Vorbis file (unknown format or damaged header)");

        numChannels = (int) reader->numChannels;
        sampleRate = reader->sampleRate;
        length = reader->lengthInSamples;

        if (numChannels < 1 || numChannels > 2)
            fail (quoted (file) + " has " + juce::String (numChannels) + " channels: only mono and stereo files can be rendered");
        if (! (sampleRate >= kMinSampleRate && sampleRate <= kMaxSampleRate))
            fail (quoted (file) + " is at " + rateText (sampleRate) + ": the processor runs at " + rateText (kMinSampleRate)
                  + " to " + rateText (kMaxSampleRate) + "; resample it first");

        // An uncompressed file's header says how much audio follows; a damaged or cut-short file
        // holds less, and would be read as silence past its end.
        const auto formatName = reader->getFormatName();
        if (formatName.startsWith ("WAV") || formatName.startsWith ("AIFF"))
        {
            const auto bits = (int) reader->bitsPerSample;
            if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
                fail ("cannot read " + quoted (file) + ": damaged header (" + juce::String (bits) + " bits per sample)");

            const auto bytesPerFrame = (juce::int64) numChannels * bits / 8;
            if (length < 0 || length > fileSize / bytesPerFrame)
                fail ("cannot read " + quoted (file) + ": damaged or cut short: its header promises "
                      + juce::String ((double) length / sampleRate, 3) + " s of audio but the file holds at most "
                      + juce::String ((double) (fileSize / bytesPerFrame) / sampleRate, 3) + " s");
        }
        if (length <= 0)
            fail ("cannot read " + quoted (file) + ": it holds no audio (0 samples)");
    }

    void read (juce::AudioBuffer<float>& buffer, int numSamples, juce::int64 position) override
    {
        if (! reader->read (buffer.getArrayOfWritePointers(), numChannels, position, numSamples))
            fail ("cannot read " + quoted (sourceFile) + ": read error at sample " + juce::String (position));
    }

private:
    juce::File sourceFile;
    juce::AudioFormatManager formats;
    std::unique_ptr<juce::AudioFormatReader> reader;
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
        auto stream = std::make_unique<juce::FileOutputStream> (temporary.getFile());
        if (stream->failedToOpen())
            fail ("cannot write " + quoted (target) + ": " + stream->getStatus().getErrorMessage());

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

    /** Finishes the file; it is still the temporary one. */
    void close()
    {
        const bool flushed = writer->flush();
        fileStream->flush();
        if (! flushed || fileStream->getStatus().failed())
            fail ("cannot write " + quoted (temporary.getTargetFile()) + ": " + writeErrorText());
        writer.reset();
    }

    void commit()
    {
        if (writer != nullptr)
            close();
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

//==================================================================================================
void setParameter (KorvaneTarvikAudioProcessor& processor, const juce::String& id, float plainValue)
{
    auto* parameter = processor.parameters.getParameter (id);
    if (parameter == nullptr)
        fail ("unknown parameter '" + id + "'", kExitUsage);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (plainValue));
}

float plainValue (KorvaneTarvikAudioProcessor& processor, const char* id)
{
    auto* value = processor.parameters.getRawParameterValue (id);
    return value != nullptr ? value->load() : 0.0f;
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

/** Writes a PNG to a hidden temporary file beside the target, moved into place by commit(). */
class SafePngWriter
{
public:
    SafePngWriter (const juce::File& target, const juce::Image& image) : temporary (target, juce::TemporaryFile::useHiddenFile)
    {
        juce::FileOutputStream stream (temporary.getFile());
        if (stream.failedToOpen())
            fail ("cannot write picture " + quoted (target) + ": " + stream.getStatus().getErrorMessage());

        juce::PNGImageFormat png;
        const bool written = png.writeImageToStream (image, stream);
        stream.flush();
        if (! written || stream.getStatus().failed())
            fail ("cannot write picture " + quoted (target) + ": "
                  + (stream.getStatus().failed() ? stream.getStatus().getErrorMessage() : juce::String ("write failed (disk full?)")));
    }

    void commit()
    {
        if (! temporary.overwriteTargetFileWithTemporary())
            fail ("cannot write picture " + quoted (temporary.getTargetFile()) + ": it could not be moved into place");
    }

private:
    juce::TemporaryFile temporary;
};
} // namespace

//==================================================================================================
RenderSettings readSettings (KorvaneTarvikAudioProcessor& processor, const RenderOptions& options)
{
    RenderSettings s;
    if (auto* preset = dynamic_cast<juce::AudioParameterChoice*> (processor.parameters.getParameter (ParameterIds::preset)))
    {
        s.preset = preset->getCurrentChoiceName();
        s.presetIndex = preset->getIndex();
    }
    s.extreme = plainValue (processor, ParameterIds::extreme) > 0.5f;
    s.bypass = plainValue (processor, ParameterIds::bypass) > 0.5f;
    s.autoInput = plainValue (processor, ParameterIds::autoInput) > 0.5f;
    s.inputDb = plainValue (processor, ParameterIds::input);
    for (const auto& stage : kStageSwitchParameters)
        s.stages.emplace_back (stage.id, plainValue (processor, stage.id) > 0.5f);
    s.blockSize = options.blockSize;
    s.keepLatency = options.keepLatency;
    s.floatOutput = options.floatOutput;
    return s;
}

//==================================================================================================
struct RenderJob::Parts
{
    std::unique_ptr<Programme> programme;
    std::unique_ptr<KorvaneTarvikAudioProcessor> processor;
    std::unique_ptr<SafeWavWriter> writer;
    std::unique_ptr<LoudnessMeter> inputMeter, outputMeter;
    std::unique_ptr<ActivityTimeline> timeline;
    juce::int64 latency = 0;
};

RenderJob::RenderJob (const RenderOptions& o, int i, const juce::File& folder, bool plotPathIsFolder)
    : options (o), index (i), workingFolder (folder), plotToFolder (plotPathIsFolder)
{
    report.inputFile = inputFileFor (options, index, workingFolder);
    report.inputName = report.inputFile == juce::File() ? juce::String ("built-in demo programme") : options.inputPaths[index];
    report.outputFile = outputFileFor (options, index, workingFolder);
    report.plotFile = plotFileFor (options, index, workingFolder, plotToFolder);
}

RenderJob::~RenderJob() { close(); }

void RenderJob::close()
{
    parts.reset(); // the writer's temporary file goes with it unless it was moved into place
}

void RenderJob::prepare()
{
    parts = std::make_unique<Parts>();
    auto& p = *parts;

    const auto& inputFile = report.inputFile;
    const auto& outputFile = report.outputFile;
    if (inputFile != juce::File() && outputFile == inputFile)
        fail ("OUTPUT is the same file as INPUT; choose another name", kExitUsage);

    if (inputFile == juce::File())
        p.programme = std::make_unique<DemoProgramme>();
    else
        p.programme = std::make_unique<FileProgramme> (inputFile);

    report.sampleRate = p.programme->sampleRate;
    report.channels = p.programme->numChannels;
    report.lengthInSamples = p.programme->length;

    if (outputFile.isDirectory())
        fail ("cannot write " + quoted (outputFile) + ": it is a folder");
    const auto outputFolder = outputFile.getParentDirectory();
    if (outputFolder.existsAsFile())
        fail ("cannot write " + quoted (outputFile) + ": " + quoted (outputFolder) + " is a file, not a folder");
    if (! outputFolder.isDirectory())
        fail ("cannot write " + quoted (outputFile) + ": folder " + quoted (outputFolder) + " does not exist");

    // The processor, set up as a host sets up a plug-in: layout, state, parameters, then prepare.
    p.processor = std::make_unique<KorvaneTarvikAudioProcessor>();
    auto& processor = *p.processor;
    const int channels = p.programme->numChannels;
    const auto channelSet = channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (channelSet);
    layout.outputBuses.add (channelSet);
    if (! processor.setBusesLayout (layout))
        fail ("the processor does not accept " + channelsText (channels) + " audio");

    if (options.stateFile.isNotEmpty())
        loadState (processor, workingFolder.getChildFile (options.stateFile));
    for (const auto& setting : options.settings)
        setParameter (processor, setting.id, setting.value);

    settings = readSettings (processor, options);
    processor.getStateInformation (stateBlock);

    processor.setNonRealtime (true);
    processor.setRateAndBufferSizeDetails (p.programme->sampleRate, options.blockSize);
    processor.prepareToPlay (p.programme->sampleRate, options.blockSize);
    p.latency = std::max (0, processor.getLatencySamples());

    try
    {
        p.inputMeter = std::make_unique<LoudnessMeter> (channels, p.programme->sampleRate);
        p.outputMeter = std::make_unique<LoudnessMeter> (channels, p.programme->sampleRate);
    }
    catch (const std::exception& e)
    {
        fail (e.what());
    }
    if (report.plotFile != juce::File())
        p.timeline = std::make_unique<ActivityTimeline> (p.programme->length, p.programme->sampleRate);

    p.writer = std::make_unique<SafeWavWriter> (outputFile, p.programme->sampleRate, channels, options.floatOutput ? 32 : 24);
}

void RenderJob::process (const std::atomic<bool>& stop)
{
    jassert (parts != nullptr);
    auto& p = *parts;
    auto& processor = *p.processor;
    auto& programme = *p.programme;
    const int channels = programme.numChannels;

    // The latency is flushed out with silence at the end. Without --keep-latency the first
    // `latency` samples of output are dropped, so output sample n lines up with input sample n.
    const juce::int64 total = programme.length + p.latency;
    const juce::int64 skip = options.keepLatency ? 0 : p.latency;

    juce::AudioBuffer<float> buffer (channels, options.blockSize);
    juce::MidiBuffer midi;
    const double startMs = juce::Time::getMillisecondCounterHiRes();

    for (juce::int64 position = 0; position < total;)
    {
        if (stop.load())
            fail ("interrupted; nothing was written", kExitInterrupted);

        const int blockLength = (int) std::min<juce::int64> (options.blockSize, total - position);
        buffer.setSize (channels, blockLength, false, false, true);
        buffer.clear();

        const int fromProgramme = (int) juce::jlimit<juce::int64> (0, blockLength, programme.length - position);
        if (fromProgramme > 0)
        {
            programme.read (buffer, fromProgramme, position);
            p.inputMeter->add (buffer, 0, fromProgramme);
        }

        midi.clear();
        processor.processBlock (buffer, midi);
        report.reductions.add (processor.chain.published);

        const auto keepFrom = std::max (position, skip);
        const auto keepCount = (int) (position + blockLength - keepFrom);
        if (keepCount > 0)
        {
            const auto offset = (int) (keepFrom - position);
            p.outputMeter->add (buffer, offset, keepCount);
            p.writer->write (buffer, offset, keepCount);
        }
        if (p.timeline != nullptr)
            p.timeline->addBlock (fromProgramme, processor.chain.published, *p.inputMeter, *p.outputMeter);

        position += blockLength;
        samplesDone.store (std::min (position, programme.length));
    }

    processor.releaseResources();
    p.writer->close();
    report.renderSeconds = std::max (1.0e-6, (juce::Time::getMillisecondCounterHiRes() - startMs) / 1000.0);
    report.inputLoudness = p.inputMeter->figures();
    report.outputLoudness = p.outputMeter->figures();
}

void RenderJob::finish()
{
    jassert (parts != nullptr);
    auto& p = *parts;

    std::unique_ptr<SafePngWriter> picture;
    if (p.timeline != nullptr)
    {
        const auto arrow = juce::String (juce::CharPointer_UTF8 (" \xe2\x86\x92 "));
        juce::String presetText = settings.preset + (settings.extreme ? ", EXTREME" : "") + (settings.bypass ? ", bypassed" : "");
        const auto dot = juce::String (juce::CharPointer_UTF8 ("  \xc2\xb7  "));
        const auto title = "KORVANE Tarvik " + juce::String (TARVIK_VERSION) + dot
                           + (report.inputFile == juce::File() ? report.inputName : report.inputFile.getFileName());
        const auto subtitle = presetText + "   " + durationText (report.seconds()) + ", " + juce::String (report.sampleRate / 1000.0, 1)
                              + " kHz " + channelsText (report.channels) + "   integrated " + fixed (report.inputLoudness.integratedLufs)
                              + arrow + fixed (report.outputLoudness.integratedLufs) + " LUFS   range " + fixed (report.inputLoudness.rangeLu)
                              + arrow + fixed (report.outputLoudness.rangeLu) + " LU   true peak " + fixed (report.inputLoudness.truePeakDbtp)
                              + arrow + fixed (report.outputLoudness.truePeakDbtp) + " dBTP";
        picture = std::make_unique<SafePngWriter> (report.plotFile, drawActivityPlot (*p.timeline, title, subtitle));
    }

    p.writer->commit();
    if (picture != nullptr)
        picture->commit();
    report.ok = true;
}
} // namespace kt::tools
