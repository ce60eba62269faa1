#pragma once

// One file of a render: its input, its processor and its output, from opening to putting the
// finished files in place.

#include "ActivityPlot.h"
#include "LoudnessMeter.h"
#include "RenderOptions.h"
#include "RenderReport.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <atomic>
#include <memory>

class KorvaneTarvikAudioProcessor;

namespace kt::tools
{
/** Why a render stopped: one line for the user and the exit code it stands for. */
struct RenderFailure
{
    juce::String message;
    int exitCode = kExitIo;
};

inline constexpr int kExitInterrupted = 130;

/** The sample rates the processor is rendered at. */
inline constexpr double kMinSampleRate = 8000.0, kMaxSampleRate = 192000.0;

/** The settings a processor was set up with, as the report shows them. */
RenderSettings readSettings (KorvaneTarvikAudioProcessor& processor, const RenderOptions& options);

/** Renders one INPUT (or the demo) of a run. prepare() and finish() touch the processor's
    parameters and the file system: call them on the main thread. process() does the audio work
    and may run on any thread. Each step throws RenderFailure; a job that failed or was never
    finished leaves no file behind. */
class RenderJob
{
public:
    RenderJob (const RenderOptions& options, int index, const juce::File& workingFolder, bool plotPathIsFolder);
    ~RenderJob();

    /** Opens the input and a temporary output, and sets up the processor as a host would. */
    void prepare();

    /** Renders the whole programme, checking `stop` between blocks. */
    void process (const std::atomic<bool>& stop);

    /** Draws the picture if one was asked for and puts the finished files in place. */
    void finish();

    /** Frees the processor and the files; a temporary output not put in place is deleted. */
    void close();

    /** What was found so far. */
    FileReport report;

    /** After prepare(): the settings and the state block the render uses. */
    RenderSettings settings;
    juce::MemoryBlock stateBlock;

    /** Programme samples rendered so far, read by the progress bar on another thread. */
    std::atomic<juce::int64> samplesDone { 0 };

    juce::int64 programmeLength() const { return report.lengthInSamples; }

private:
    struct Parts;
    const RenderOptions& options;
    const int index;
    const juce::File workingFolder;
    const bool plotToFolder;
    std::unique_ptr<Parts> parts;
};
} // namespace kt::tools
