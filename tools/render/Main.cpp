// tarvik-render: runs the plug-in's processor over audio files offline, block by block, the way
// a host would, and writes the results as WAV. See renderHelpText() for the command line.

#include "render/RenderJob.h"
#include "render/RenderOptions.h"
#include "render/RenderReport.h"
#include "common/DemoProgramme.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_events/juce_events.h>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <thread>
#include <unistd.h>

namespace
{
using namespace kt::tools;

std::atomic<bool> stopRequested { false };
static_assert (std::atomic<bool>::is_always_lock_free); // set from a signal handler
extern "C" void requestStop (int) { stopRequested.store (true); }

juce::String quoted (const juce::File& file) { return "'" + file.getFullPathName() + "'"; }

/** A failure of the whole run, before any file is rendered. */
[[noreturn]] void fail (const juce::String& message, int exitCode = kExitIo)
{
    throw RenderFailure { message, exitCode };
}

void checkFolderFor (const juce::File& file, const juce::String& what)
{
    if (file.isDirectory())
        fail ("cannot write " + what + quoted (file) + ": it is a folder");
    if (! file.getParentDirectory().isDirectory())
        fail ("cannot write " + what + quoted (file) + ": its folder does not exist");
}

/** Writes a small file whole or not at all. */
void writeFileSafely (const juce::File& target, const void* data, size_t size, const juce::String& what)
{
    checkFolderFor (target, what);
    juce::TemporaryFile temporary (target, juce::TemporaryFile::useHiddenFile);
    if (! temporary.getFile().replaceWithData (data, size) || ! temporary.overwriteTargetFileWithTemporary())
        fail ("cannot write " + what + quoted (target));
}

/** How long an input is, from its header, for the progress bar; 0 when it cannot be told. */
double programmeSeconds (const RenderOptions& options, int index, const juce::File& here)
{
    const auto input = inputFileFor (options, index, here);
    if (input == juce::File())
        return kDemoSeconds;
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (input.existsAsFile() ? formats.createReaderFor (input) : nullptr);
    return reader != nullptr && reader->sampleRate > 0.0 ? (double) reader->lengthInSamples / reader->sampleRate : 0.0;
}

//==================================================================================================
/** The bar on stderr: percentage, speed and time left. It only appears on a terminal, and only
    once a render has run long enough for it to be worth watching. */
class ProgressBar
{
public:
    explicit ProgressBar (bool enabled) : active (enabled && isatty (STDERR_FILENO) != 0) {}

    ~ProgressBar() { clear(); }

    /** secondsDone of totalSeconds of programme rendered; filesDone of fileCount finished. */
    void update (double secondsDone, double totalSeconds, int filesDone, int fileCount)
    {
        if (! active)
            return;
        const double now = juce::Time::getMillisecondCounterHiRes();
        if (now - startMs < 300.0 || now - lastDrawMs < 100.0)
            return;
        lastDrawMs = now;

        constexpr int width = 24;
        const double fraction = totalSeconds > 0.0 ? juce::jlimit (0.0, 1.0, secondsDone / totalSeconds) : 0.0;
        const int filled = (int) (fraction * width);
        const double elapsed = (now - startMs) / 1000.0;
        const double speed = elapsed > 0.0 ? secondsDone / elapsed : 0.0;
        const double left = speed > 0.0 ? (totalSeconds - secondsDone) / speed : 0.0;

        juce::String line ("\rrendering ");
        if (fileCount > 1)
            line << filesDone << "/" << fileCount << " files ";
        line << "[" << juce::String::repeatedString ("#", filled) << juce::String::repeatedString ("-", width - filled) << "] "
             << juce::String ((int) (fraction * 100.0)).paddedLeft (' ', 3) << "%  " << fixed (speed) << "x real time  "
             << (speed > 0.0 ? durationText (left) : juce::String ("-:--")) << " left \033[K";
        std::fputs (line.toRawUTF8(), stderr);
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
/** A file being rendered on its own thread. */
struct Running
{
    int index = 0;
    std::thread thread;
    std::atomic<bool> done { false };
    bool failed = false;
    RenderFailure failure;
};

/** The full summary of one render. */
juce::String summaryOf (const FileReport& r, const RenderJob& job, const RenderOptions& options, const juce::File& here)
{
    const auto& s = job.settings;
    juce::String text;
    text << "preset       " << s.preset << (s.extreme ? ", EXTREME" : "") << (s.bypass ? ", bypassed" : "") << "\n";
    if (const auto off = s.stagesOff(); ! off.isEmpty())
        text << "stages off   " << off.joinIntoString (", ") << "\n";
    text << "input        " << (r.inputFile == juce::File() ? r.inputName : r.inputFile.getFullPathName()) << " ("
         << (r.channels == 1 ? "mono" : "stereo") << ", " << juce::String (r.sampleRate, 0) << " Hz, " << juce::String (r.seconds(), 3) << " s)\n"
         << "speed        " << fixed (r.speed()) << "x real time\n"
         << loudnessTable (r.inputLoudness, r.outputLoudness)
         << "written to   " << r.outputFile.getFullPathName() << " (" << (options.floatOutput ? "32-bit float" : "24-bit") << " WAV, "
         << (options.keepLatency ? "latency kept" : "latency removed") << ")\n";
    if (r.outputLoudness.samplePeakDbfs > 0.0 && ! options.floatOutput)
        text << "note         the output peaks at +" << fixed (r.outputLoudness.samplePeakDbfs)
             << " dBFS: clipped to 0 dBFS in the 24-bit file; --float keeps it\n";
    if (r.plotFile != juce::File())
        text << "picture      " << r.plotFile.getFullPathName() << "\n";
    if (options.jsonPath.isNotEmpty() && ! options.jsonToStdout())
        text << "report       " << here.getChildFile (options.jsonPath).getFullPathName() << "\n";
    if (options.saveStateFile.isNotEmpty())
        text << "state saved  " << here.getChildFile (options.saveStateFile).getFullPathName() << "\n";
    return text;
}

int run (const RenderOptions& options)
{
    const auto here = juce::File::getCurrentWorkingDirectory();
    const int count = options.renderCount();

    // Everything that concerns the whole run is checked before anything is rendered.
    if (options.outputFolder.isNotEmpty())
    {
        const auto folder = here.getChildFile (options.outputFolder);
        if (folder.existsAsFile())
            fail ("output folder " + quoted (folder) + " is a file");
        if (! folder.isDirectory())
            fail ("output folder " + quoted (folder) + " does not exist");
    }
    if (const auto clash = findOutputClash (options, here); clash.isNotEmpty())
        fail (clash, kExitUsage);

    const bool plotToFolder = options.plotPath.isNotEmpty() && here.getChildFile (options.plotPath).isDirectory();
    if (options.plotPath.isNotEmpty() && ! plotToFolder)
    {
        if (options.isBatch())
            fail ("with several INPUTs, --plot needs an existing folder, not " + quoted (here.getChildFile (options.plotPath)), kExitUsage);
        checkFolderFor (here.getChildFile (options.plotPath), "picture ");
    }
    if (options.jsonPath.isNotEmpty() && ! options.jsonToStdout())
        checkFolderFor (here.getChildFile (options.jsonPath), "report ");
    if (options.saveStateFile.isNotEmpty())
        checkFolderFor (here.getChildFile (options.saveStateFile), "");

    std::vector<std::unique_ptr<RenderJob>> jobs;
    std::vector<double> seconds;
    double totalSeconds = 0.0;
    for (int i = 0; i < count; ++i)
    {
        jobs.push_back (std::make_unique<RenderJob> (options, i, here, plotToFolder));
        seconds.push_back (programmeSeconds (options, i, here));
        totalSeconds += seconds.back();
    }

    auto& summary = options.jsonToStdout() ? std::cerr : std::cout;
    const int workers = std::max (1, std::min (count, options.jobs > 0 ? options.jobs : juce::SystemStats::getNumCpus()));
    const bool batch = options.isBatch();

    ProgressBar progress (! options.quiet);
    juce::WaitableEvent wake;
    std::vector<std::unique_ptr<Running>> running;
    std::vector<bool> failed ((size_t) count, false);
    int next = 0, finished = 0;
    double secondsFinished = 0.0;

    // Reports a file that is over, whichever way it ended.
    const auto announce = [&] (int index, const RenderFailure* failure) {
        auto& job = *jobs[(size_t) index];
        ++finished;
        secondsFinished += seconds[(size_t) index];
        progress.clear();
        if (failure != nullptr)
        {
            failed[(size_t) index] = true;
            job.report.ok = false;
            job.report.error = failure->message;
            job.report.exitCode = failure->exitCode;
            juce::String prefix;
            if (batch)
            {
                prefix << "[" << (index + 1) << "/" << count << "] ";
                if (! failure->message.contains (job.report.inputFile.getFullPathName()))
                    prefix << job.report.inputName << ": ";
            }
            std::cerr << "tarvik-render: " << prefix << failure->message << std::endl;
        }
        else if (batch && ! options.quiet)
        {
            summary << batchLine (job.report, index + 1, count) << std::endl;
        }
    };

    while (true)
    {
        // Start files while there are cores free; a file that cannot even start is reported at once.
        while ((int) running.size() < workers && next < count && ! stopRequested.load())
        {
            const int index = next++;
            auto& job = *jobs[(size_t) index];
            try
            {
                job.prepare();
            }
            catch (const RenderFailure& f)
            {
                job.close();
                announce (index, &f);
                continue;
            }

            auto slot = std::make_unique<Running>();
            slot->index = index;
            auto* s = slot.get();
            slot->thread = std::thread ([s, &job, &wake] {
                try
                {
                    job.process (stopRequested);
                }
                catch (const RenderFailure& f)
                {
                    s->failed = true;
                    s->failure = f;
                }
                catch (const std::exception& e)
                {
                    s->failed = true;
                    s->failure = { e.what(), kExitIo };
                }
                s->done.store (true);
                wake.signal();
            });
            running.push_back (std::move (slot));
        }

        if (running.empty())
            break;

        wake.wait (100);

        double secondsDone = secondsFinished;
        for (auto& slot : running)
        {
            auto& job = *jobs[(size_t) slot->index];
            if (job.programmeLength() > 0)
                secondsDone += seconds[(size_t) slot->index] * (double) job.samplesDone.load() / (double) job.programmeLength();
        }
        progress.update (secondsDone, totalSeconds, finished, count);

        // Put finished files in place, on this thread.
        for (auto it = running.begin(); it != running.end();)
        {
            auto& slot = **it;
            if (! slot.done.load())
            {
                ++it;
                continue;
            }
            slot.thread.join();
            auto& job = *jobs[(size_t) slot.index];
            if (! slot.failed)
            {
                try
                {
                    job.finish();
                }
                catch (const RenderFailure& f)
                {
                    slot.failed = true;
                    slot.failure = f;
                }
            }
            job.close();
            announce (slot.index, slot.failed ? &slot.failure : nullptr);
            it = running.erase (it);
        }
    }
    progress.clear();

    const bool interrupted = stopRequested.load();
    for (int i = next; i < count; ++i)
    {
        const RenderFailure notStarted { "interrupted before it started; nothing was written", kExitInterrupted };
        announce (i, &notStarted);
    }

    std::vector<FileReport> reports;
    int succeeded = 0;
    for (auto& job : jobs)
    {
        reports.push_back (job->report);
        succeeded += job->report.ok ? 1 : 0;
    }
    const RenderJob* firstDone = nullptr;
    for (auto& job : jobs)
        if (job->report.ok && firstDone == nullptr)
            firstDone = job.get();

    // The report and the state, once something was rendered.
    if (firstDone != nullptr)
    {
        try
        {
            if (options.saveStateFile.isNotEmpty())
                writeFileSafely (here.getChildFile (options.saveStateFile), firstDone->stateBlock.getData(), firstDone->stateBlock.getSize(), "");
            if (options.jsonPath.isNotEmpty())
            {
                const auto json = juce::JSON::toString (jsonReport (firstDone->settings, reports)) + "\n";
                if (options.jsonToStdout())
                    std::cout << json << std::flush;
                else
                    writeFileSafely (here.getChildFile (options.jsonPath), json.toRawUTF8(), json.getNumBytesAsUTF8(), "report ");
            }
        }
        catch (const RenderFailure& f)
        {
            std::cerr << "tarvik-render: " << f.message << std::endl;
            return f.exitCode;
        }
    }

    if (! batch)
    {
        const auto& r = jobs.front()->report;
        if (! r.ok)
            return r.exitCode;
        if (! options.quiet)
            summary << summaryOf (r, *jobs.front(), options, here) << std::flush;
        return 0;
    }

    if (! options.quiet)
    {
        summary << "\n" << batchTable (reports);
        if (firstDone != nullptr && options.jsonPath.isNotEmpty() && ! options.jsonToStdout())
            summary << "report       " << here.getChildFile (options.jsonPath).getFullPathName() << "\n";
        summary << std::flush;
    }
    if (interrupted)
        return kExitInterrupted;
    return succeeded == count ? 0 : kExitIo;
}
} // namespace

int main (int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser; // the parameter tree needs a message manager

    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));

    const auto parsed = parseRenderCommandLine (arguments);
    if (! parsed.ok())
    {
        std::cerr << "tarvik-render: " << parsed.error << std::endl;
        return parsed.exitCode;
    }
    if (parsed.options.showHelp)
    {
        std::cout << renderHelpText();
        return 0;
    }

    std::signal (SIGINT, requestStop);
    std::signal (SIGTERM, requestStop);

    try
    {
        return run (parsed.options);
    }
    catch (const RenderFailure& e)
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
