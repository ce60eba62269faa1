#pragma once

// What a render found, as the summary, the batch table and the JSON report show it.

#include "LoudnessMeter.h"
#include "dsp/PublishedValues.h"

#include <juce_core/juce_core.h>

#include <array>
#include <utility>
#include <vector>

namespace kt::tools
{
/** The largest gain reduction each stage showed while rendering, in dB (positive numbers), and the
    range the AGC's gain moved in. Built from the processor's published values after every block. */
struct StageReductions
{
    bool any = false;    ///< false until the first block
    float agcMinDb = 0.0f, agcMaxDb = 0.0f;
    float postCompressorDb = 0.0f;
    std::array<float, kt::kBandCount> bandDb {};
    float hfLimiterDb = 0.0f;
    float fmClipperDb = 0.0f;
    float bassClipperDb = 0.0f;
    float truePeakLimiterDb = 0.0f;

    void add (const kt::PublishedValues& published);
};

/** The processing settings a render used, read back from the processor after setup. */
struct RenderSettings
{
    juce::String preset;
    int presetIndex = 0;
    bool extreme = false, bypass = false, autoInput = false;
    float inputDb = 0.0f;
    std::vector<std::pair<juce::String, bool>> stages; ///< every stage switch in signal order
    int blockSize = 512;
    bool keepLatency = false;
    bool floatOutput = false;

    juce::StringArray stagesOff() const;
};

/** One file of a run: where it came from and went, and what was measured; or why it failed. */
struct FileReport
{
    juce::String inputName;        ///< the input as the user typed it, or "built-in demo programme"
    juce::File inputFile;          ///< juce::File() for the demo
    juce::File outputFile, plotFile;

    bool ok = false;
    juce::String error;            ///< why it failed, one line
    int exitCode = 0;

    double sampleRate = 0.0;
    int channels = 0;
    juce::int64 lengthInSamples = 0;
    double renderSeconds = 0.0;    ///< wall-clock time of the processing

    LoudnessFigures inputLoudness, outputLoudness;
    StageReductions reductions;

    double seconds() const { return sampleRate > 0.0 ? (double) lengthInSamples / sampleRate : 0.0; }
    double speed() const { return renderSeconds > 0.0 ? seconds() / renderSeconds : 0.0; }
};

/** A value with the given decimals; "-inf" for minus infinity, never "-0.0". */
juce::String fixed (double value, int decimals = 1);

/** A duration as m:ss, or h:mm:ss from an hour on. */
juce::String durationText (double seconds);

/** The before -> after loudness table of the summary: a heading and four rows, each row starting
    with its label (integrated LUFS, loudness range LU, true peak dBTP, sample peak dBFS). */
juce::String loudnessTable (const LoudnessFigures& input, const LoudnessFigures& output);

/** The one line a batch prints when a file has been rendered. */
juce::String batchLine (const FileReport& report, int number, int count);

/** The table at the end of a batch: one row per file in command-line order, then a count. */
juce::String batchTable (const std::vector<FileReport>& reports);

/** The JSON report: the tool, the settings, and one entry per file in command-line order.
    Figures are rounded to 0.01; a figure with no value (silence) is null. */
juce::var jsonReport (const RenderSettings& settings, const std::vector<FileReport>& reports);
} // namespace kt::tools
