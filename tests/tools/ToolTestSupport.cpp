#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tooltest
{
namespace
{

juce::AudioFormatManager& formats()
{
    static juce::AudioFormatManager manager;
    if (manager.getNumKnownFormats() == 0)
        manager.registerBasicFormats();
    return manager;
}

int clampedCount (const juce::AudioBuffer<float>& b, int start, int numSamples)
{
    return numSamples < 0 ? b.getNumSamples() - start : numSamples;
}
} // namespace

//==================================================================================================
ScratchFolder::ScratchFolder()
{
    folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("tarvik-tools-test", {}, false);
    folder.createDirectory();
}

ScratchFolder::~ScratchFolder()
{
    folder.deleteRecursively();
}

std::map<juce::String, juce::MemoryBlock> ScratchFolder::snapshot() const
{
    std::map<juce::String, juce::MemoryBlock> files;
    for (const auto& entry : juce::RangedDirectoryIterator (folder, true, "*", juce::File::findFilesAndDirectories))
    {
        juce::MemoryBlock data;
        if (entry.getFile().existsAsFile())
            entry.getFile().loadFileAsData (data);
        files[entry.getFile().getRelativePathFrom (folder)] = data;
    }
    return files;
}

//==================================================================================================
std::vector<std::string> RunResult::errLines() const
{
    std::vector<std::string> lines;
    juce::StringArray split;
    split.addLines (juce::String (err));
    split.removeEmptyStrings();
    for (const auto& line : split)
        lines.push_back (line.toStdString());
    return lines;
}

juce::String shellQuoted (const juce::String& text)
{
    return "'" + text.replace ("'", "'\\''") + "'";
}

RunResult runTool (const juce::String& executable, const std::vector<juce::String>& arguments,
                   const juce::File& workingFolder)
{
    const juce::TemporaryFile outFile (".out"), errFile (".err");

    // Built with juce::String: GCC 12 misreports std::string concatenation here (-Wrestrict).
    juce::String command ("cd " + shellQuoted (workingFolder.getFullPathName()) + " && exec " + shellQuoted (executable));
    for (const auto& argument : arguments)
        command << " " << shellQuoted (argument);
    command << " </dev/null >" << shellQuoted (outFile.getFile().getFullPathName())
            << " 2>" << shellQuoted (errFile.getFile().getFullPathName());

    RunResult result;
    const int status = std::system (command.toRawUTF8());
    if (status != -1 && WIFEXITED (status))
        result.exitCode = WEXITSTATUS (status);
    else if (status != -1 && WIFSIGNALED (status))
        result.exitCode = -WTERMSIG (status);

    result.out = outFile.getFile().loadFileAsString().toStdString();
    result.err = errFile.getFile().loadFileAsString().toStdString();
    return result;
}

RunResult runToolUnprivileged (const juce::String& executable, const std::vector<juce::String>& arguments,
                               const juce::File& workingFolder)
{
    if (geteuid() != 0)
        return runTool (executable, arguments, workingFolder);

    std::vector<juce::String> wrapped { "--reuid=65534", "--regid=65534", "--clear-groups", "--", executable };
    wrapped.insert (wrapped.end(), arguments.begin(), arguments.end());
    return runTool ("/usr/bin/setpriv", wrapped, workingFolder);
}

MeasuredRun runToolMeasured (const juce::String& executable, const std::vector<juce::String>& arguments,
                             const juce::File& workingFolder)
{
    const juce::TemporaryFile errFile (".err");
    std::vector<std::string> argStrings { executable.toStdString() };
    for (const auto& a : arguments)
        argStrings.push_back (a.toStdString());
    std::vector<char*> argv;
    for (auto& a : argStrings)
        argv.push_back (a.data());
    argv.push_back (nullptr);
    const auto folder = workingFolder.getFullPathName().toStdString();
    const auto errPath = errFile.getFile().getFullPathName().toStdString();

    MeasuredRun result;
    const pid_t pid = fork();
    if (pid == 0)
    {
        const int out = open ("/dev/null", O_WRONLY);
        const int err = open (errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = open ("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0 || chdir (folder.c_str()) != 0)
            _exit (127);
        dup2 (in, 0);
        dup2 (out, 1);
        dup2 (err, 2);
        execv (argv[0], argv.data());
        _exit (127);
    }
    if (pid < 0)
        return result;

    int status = 0;
    rusage usage {};
    if (wait4 (pid, &status, 0, &usage) == pid)
    {
        result.exitCode = WIFEXITED (status) ? WEXITSTATUS (status) : -WTERMSIG (status);
        result.peakResidentKb = usage.ru_maxrss;
    }
    result.err = errFile.getFile().loadFileAsString().toStdString();
    return result;
}

RunResult runOnTerminal (const juce::String& executable, const std::vector<juce::String>& arguments,
                         const juce::File& workingFolder)
{
    juce::String command ("exec " + shellQuoted (executable));
    for (const auto& argument : arguments)
        command << " " << shellQuoted (argument);
    // -q: no start and end lines; -e: the command's exit status; -f: written as it comes.
    return runTool ("/usr/bin/script", { "-qefc", command, "/dev/null" }, workingFolder);
}

std::string summaryValue (const std::string& summary, const std::string& label)
{
    juce::StringArray lines;
    lines.addLines (juce::String (summary));
    for (const auto& line : lines)
        if (line.startsWith (juce::String (label)))
            return line.substring ((int) label.size()).trim().toStdString();
    return {};
}

//==================================================================================================
Audio readAudio (const juce::File& file)
{
    Audio audio;
    std::unique_ptr<juce::AudioFormatReader> reader (formats().createReaderFor (file));
    if (reader == nullptr)
    {
        ADD_FAILURE() << "cannot read " << file.getFullPathName();
        return audio;
    }

    audio.sampleRate = reader->sampleRate;
    audio.bitsPerSample = (int) reader->bitsPerSample;
    audio.floatingPoint = reader->usesFloatingPointData;
    audio.samples.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);
    reader->read (audio.samples.getArrayOfWritePointers(), audio.samples.getNumChannels(), 0, audio.samples.getNumSamples());
    return audio;
}

void writeAudio (const juce::File& file, const juce::AudioBuffer<float>& samples, double sampleRate,
                 int bitsPerSample, int qualityIndex)
{
    auto* format = formats().findFormatForFileExtension (file.getFileExtension());
    ASSERT_NE (format, nullptr) << "no format for " << file.getFileName();

    file.deleteFile(); // a FileOutputStream appends to what is there
    auto stream = file.createOutputStream();
    ASSERT_TRUE (stream != nullptr && stream->openedOk()) << file.getFullPathName();

    std::unique_ptr<juce::AudioFormatWriter> writer (format->createWriterFor (stream.get(), sampleRate,
                                                                              (unsigned int) samples.getNumChannels(),
                                                                              bitsPerSample, {}, qualityIndex));
    ASSERT_NE (writer, nullptr) << format->getFormatName() << " cannot write " << samples.getNumChannels()
                                << " channels at " << bitsPerSample << " bits, " << sampleRate << " Hz";
    stream.release();
    ASSERT_TRUE (writer->writeFromAudioSampleBuffer (samples, 0, samples.getNumSamples()));
}

juce::AudioBuffer<float> sine (int channels, int numSamples, double sampleRate, double hz, double peakDbfs, double phase)
{
    const double amplitude = std::pow (10.0, peakDbfs / 20.0);
    juce::AudioBuffer<float> b (channels, numSamples);
    for (int n = 0; n < numSamples; ++n)
    {
        const auto v = (float) (amplitude * std::sin (phase + juce::MathConstants<double>::twoPi * hz * n / sampleRate));
        for (int ch = 0; ch < channels; ++ch)
            b.setSample (ch, n, v);
    }
    return b;
}

juce::AudioBuffer<float> testSignal (int channels, int numSamples, double sampleRate, juce::int64 seed)
{
    juce::Random random (seed);
    juce::AudioBuffer<float> b (channels, numSamples);
    for (int ch = 0; ch < channels; ++ch)
    {
        const double f1 = 110.0 * (1 + ch), f2 = 1375.0 + 250.0 * ch;
        for (int n = 0; n < numSamples; ++n)
        {
            const double t = n / sampleRate;
            const double tones = 0.12 * std::sin (juce::MathConstants<double>::twoPi * f1 * t)
                                 + 0.06 * std::sin (juce::MathConstants<double>::twoPi * f2 * t);
            b.setSample (ch, n, (float) (tones + 0.05 * (random.nextFloat() * 2.0f - 1.0f)));
        }
    }
    return b;
}

float maxDifference (const juce::AudioBuffer<float>& a, int aOffset, const juce::AudioBuffer<float>& b, int bOffset,
                     int numSamples)
{
    float worst = 0.0f;
    for (int ch = 0; ch < std::min (a.getNumChannels(), b.getNumChannels()); ++ch)
        for (int n = 0; n < numSamples; ++n)
            worst = std::max (worst, std::abs (a.getSample (ch, n + aOffset) - b.getSample (ch, n + bOffset)));
    return worst;
}

int measureDelay (const juce::AudioBuffer<float>& in, const juce::AudioBuffer<float>& out, int maxLag, int from)
{
    int bestLag = -1;
    double bestError = 0.0;
    for (int lag = 0; lag <= maxLag; ++lag)
    {
        const int count = std::min (in.getNumSamples(), out.getNumSamples() - lag) - from;
        if (count <= 0)
            break;
        double error = 0.0;
        for (int ch = 0; ch < std::min (in.getNumChannels(), out.getNumChannels()); ++ch)
            for (int n = from; n < from + count; ++n)
                error += std::abs (out.getSample (ch, n + lag) - in.getSample (ch, n));
        error /= count;
        if (bestLag < 0 || error < bestError)
        {
            bestLag = lag;
            bestError = error;
        }
    }
    return bestLag;
}

bool allFinite (const juce::AudioBuffer<float>& b)
{
    for (int ch = 0; ch < b.getNumChannels(); ++ch)
        for (int n = 0; n < b.getNumSamples(); ++n)
            if (! std::isfinite (b.getSample (ch, n)))
                return false;
    return true;
}

double peakDb (const juce::AudioBuffer<float>& b, int start, int numSamples)
{
    float peak = 0.0f;
    for (int ch = 0; ch < b.getNumChannels(); ++ch)
        peak = std::max (peak, b.getMagnitude (ch, start, clampedCount (b, start, numSamples)));
    return 20.0 * std::log10 (std::max (1.0e-12, (double) peak));
}

double rmsDb (const juce::AudioBuffer<float>& b, int start, int numSamples)
{
    const int count = clampedCount (b, start, numSamples);
    double sum = 0.0;
    for (int ch = 0; ch < b.getNumChannels(); ++ch)
        for (int n = start; n < start + count; ++n)
            sum += (double) b.getSample (ch, n) * b.getSample (ch, n);
    const double meanSquare = sum / std::max (1, count * b.getNumChannels());
    return 10.0 * std::log10 (std::max (1.0e-24, meanSquare));
}
} // namespace tooltest
