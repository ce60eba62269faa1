#pragma once

// Helpers for the tools' tests: a scratch folder, running a built tool, and reading and writing
// audio files with the framework's own codecs.

#include <juce_audio_formats/juce_audio_formats.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tooltest
{
/** A fresh folder under the system temp folder, removed with everything in it at the end. */
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();

    const juce::File& path() const { return folder; }
    juce::File operator/ (const juce::String& name) const { return folder.getChildFile (name); }

    /** Every file and folder below the folder, hidden ones too (relative path -> contents), for
        before/after comparisons. */
    std::map<juce::String, juce::MemoryBlock> snapshot() const;

private:
    juce::File folder;
};

struct RunResult
{
    int exitCode = -1;    ///< the exit status, or -signal when the tool was killed
    std::string out, err; ///< what it wrote to stdout and stderr

    std::vector<std::string> errLines() const;
};

/** Exit code and both streams of a run, for failure messages. */
inline std::string describe (const RunResult& r)
{
    return "exit " + std::to_string (r.exitCode) + "\nstdout:\n" + r.out + "stderr:\n" + r.err;
}

/** Runs an executable with arguments in a working folder, stdin empty, capturing both streams. */
RunResult runTool (const juce::String& executable, const std::vector<juce::String>& arguments,
                   const juce::File& workingFolder);

/** The same, as an ordinary user: when the tests run as root the tool runs as
    nobody, so file permissions bind it as they bind a user. The working folder must let nobody
    in. */
RunResult runToolUnprivileged (const juce::String& executable, const std::vector<juce::String>& arguments,
                               const juce::File& workingFolder);

/** Runs an executable (stdout discarded) and reports, besides its exit code and stderr, the
    largest resident memory it used, from the kernel's account of the finished child. */
struct MeasuredRun
{
    int exitCode = -1;
    std::string err;
    long peakResidentKb = 0;
};

MeasuredRun runToolMeasured (const juce::String& executable, const std::vector<juce::String>& arguments,
                             const juce::File& workingFolder);

/** Runs a command line on a pseudo-terminal (with script(1)) and returns all it wrote there, for
    what a tool shows only on a terminal. */
RunResult runOnTerminal (const juce::String& executable, const std::vector<juce::String>& arguments,
                         const juce::File& workingFolder);

/** Quotes text for the shell. */
juce::String shellQuoted (const juce::String& text);

/** The text after `label` at the start of a line of the summary, trimmed; empty when absent. */
std::string summaryValue (const std::string& summary, const std::string& label);

struct Audio
{
    juce::AudioBuffer<float> samples;
    double sampleRate = 0.0;
    int bitsPerSample = 0;
    bool floatingPoint = false;
};

/** Reads any file the framework's basic formats can read; fails the calling test if it can't. */
Audio readAudio (const juce::File& file);

/** Writes samples with the format that owns the file's extension (.wav, .aiff, .flac, .ogg). */
void writeAudio (const juce::File& file, const juce::AudioBuffer<float>& samples, double sampleRate,
                 int bitsPerSample, int qualityIndex = 0);

/** A sine at a level in dBFS (the peak), the same in every channel, starting at phase `phase`. */
juce::AudioBuffer<float> sine (int channels, int numSamples, double sampleRate, double hz, double peakDbfs, double phase = 0.0);

/** A music-like test signal: tones and seeded noise at about -12 dBFS, different in each channel. */
juce::AudioBuffer<float> testSignal (int channels, int numSamples, double sampleRate, juce::int64 seed = 1);

/** Largest absolute difference between a[ch][n + aOffset] and b[ch][n + bOffset] over numSamples. */
float maxDifference (const juce::AudioBuffer<float>& a, int aOffset, const juce::AudioBuffer<float>& b, int bOffset,
                     int numSamples);

/** The lag in [0, maxLag] at which out[n + lag] matches in[n] best (least absolute difference),
    compared from sample `from` of the input. */
int measureDelay (const juce::AudioBuffer<float>& in, const juce::AudioBuffer<float>& out, int maxLag, int from);

/** Names each case of a parameterised test after its `name` field. */
struct CaseName
{
    template <typename Param>
    std::string operator() (const ::testing::TestParamInfo<Param>& i) const
    {
        return i.param.name;
    }
};

bool allFinite (const juce::AudioBuffer<float>& b);
double peakDb (const juce::AudioBuffer<float>& b, int start = 0, int numSamples = -1);
double rmsDb (const juce::AudioBuffer<float>& b, int start = 0, int numSamples = -1);
} // namespace tooltest
