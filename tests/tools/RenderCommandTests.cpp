// The built tarvik-render, run as a user runs it, on files written here with the framework's codecs.

#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
using tooltest::Audio;
using tooltest::readAudio;
using tooltest::RunResult;
using tooltest::ScratchFolder;
using tooltest::writeAudio;

RunResult render (const std::vector<juce::String>& args, const juce::File& folder)
{
    return tooltest::runTool (TARVIK_RENDER_PATH, args, folder);
}

using tooltest::describe;

int latencyAt (double fs) { return (int) std::lround (0.008 * fs); }
int samplesIn (double seconds, double fs) { return (int) std::lround (seconds * fs); }

//==================================================================================================
struct DemoCase
{
    std::vector<juce::String> args;
    const char* expectedFile;
};

void PrintTo (const DemoCase& c, std::ostream* os)
{
    for (const auto& a : c.args)
        *os << "[" << a << "] ";
}

class DemoRender : public ::testing::TestWithParam<DemoCase> {};

TEST_P (DemoRender, WritesTwentySecondsOfStereo)
{
    const auto& c = GetParam();
    ScratchFolder folder;
    const auto result = render (c.args, folder.path());
    ASSERT_EQ (result.exitCode, 0) << describe (result);
    EXPECT_EQ (result.err, "") << "no progress bar when stderr is not a terminal";

    const auto file = folder / c.expectedFile;
    ASSERT_TRUE (file.existsAsFile()) << describe (result);
    EXPECT_EQ (folder.snapshot().size(), 1u) << "nothing else is left in the folder";
    EXPECT_NE (result.out.find (file.getFullPathName().toStdString()), std::string::npos) << "the summary says where";

    const auto audio = readAudio (file);
    EXPECT_EQ (audio.samples.getNumChannels(), 2);
    EXPECT_EQ (audio.sampleRate, 48000.0);
    EXPECT_NEAR (audio.samples.getNumSamples() / audio.sampleRate, 20.0, 0.5);
    EXPECT_TRUE (tooltest::allFinite (audio.samples));
    EXPECT_GT (tooltest::peakDb (audio.samples), -20.0) << "not silent";
    EXPECT_GT (tooltest::rmsDb (audio.samples), -40.0) << "not silent";
}

INSTANTIATE_TEST_SUITE_P (Render, DemoRender,
                          ::testing::Values (DemoCase { {}, "tarvik-demo.wav" },
                                             DemoCase { { "--demo", "my demo.wav" }, "my demo.wav" },
                                             DemoCase { { "--float", "--preset", "DANCE", "--extreme", "--demo", "x.wav" }, "x.wav" }));

//==================================================================================================
// With bypass on, the processor's output is its input delayed by the latency, which the renderer
// removes: the output file is the input file again, sample for sample.

struct AlignmentCase
{
    const char* name;
    double sampleRate;
    int channels;
    int numSamples;
    int block;      ///< 0: the default
    bool floatOutput;
};

void PrintTo (const AlignmentCase& c, std::ostream* os) { *os << c.name; }

class BypassedRender : public ::testing::TestWithParam<AlignmentCase> {};

TEST_P (BypassedRender, LinesUpWithTheInput)
{
    const auto& c = GetParam();
    ScratchFolder folder;
    const auto input = tooltest::testSignal (c.channels, c.numSamples, c.sampleRate, 7);
    writeAudio (folder / "in.wav", input, c.sampleRate, 32);

    std::vector<juce::String> args { "--bypass" };
    if (c.floatOutput)
        args.push_back ("--float");
    if (c.block > 0)
        args.insert (args.end(), { "--block", juce::String (c.block) });
    args.insert (args.end(), { "in.wav", "out.wav" });

    const auto result = render (args, folder.path());
    ASSERT_EQ (result.exitCode, 0) << describe (result);

    const auto out = readAudio (folder / "out.wav");
    ASSERT_EQ (out.samples.getNumChannels(), c.channels);
    ASSERT_EQ (out.samples.getNumSamples(), c.numSamples) << "same length as the input";
    EXPECT_EQ (out.sampleRate, c.sampleRate);
    EXPECT_EQ (out.floatingPoint, c.floatOutput);
    EXPECT_EQ (out.bitsPerSample, c.floatOutput ? 32 : 24);

    // After the first 20 ms the output is the input: exactly as floats, to one step as 24-bit.
    const int from = std::min (c.numSamples, samplesIn (0.02, c.sampleRate));
    const float tolerance = c.floatOutput ? 0.0f : 2.0f / 8388608.0f;
    EXPECT_LE (tooltest::maxDifference (out.samples, from, input, from, c.numSamples - from), tolerance);
    if (c.numSamples - from > 1000)
    {
        EXPECT_EQ (tooltest::measureDelay (input, out.samples, 2 * latencyAt (c.sampleRate), from), 0);
    }
}

const AlignmentCase alignmentCases[] = {
    { "stereo48kDefaultBlock", 48000.0, 2, 72123, 0, true },
    { "stereo44k1SmallBlocks", 44100.0, 2, 50000, 64, true },
    { "stereo96kOddBlocks", 96000.0, 2, 100001, 1000, true },
    { "mono48k", 48000.0, 1, 60000, 0, true },
    { "mono22k05SingleSamples", 22050.0, 1, 12000, 1, true },
    { "blockLongerThanFile", 48000.0, 2, 3000, 8192, true },
    { "fileShorterThanLatency", 48000.0, 2, 100, 0, true },
    { "stereo24Bit", 48000.0, 2, 48000, 0, false },
    { "mono24Bit", 44100.0, 1, 44100, 0, false },
};

INSTANTIATE_TEST_SUITE_P (Render, BypassedRender, ::testing::ValuesIn (alignmentCases),
                          tooltest::CaseName());

//==================================================================================================
class KeepLatency : public ::testing::TestWithParam<double> {};

TEST_P (KeepLatency, DelaysByEightMillisecondsAndKeepsTheTail)
{
    const double fs = GetParam();
    const int latency = latencyAt (fs);
    const int length = samplesIn (0.75, fs);
    ScratchFolder folder;
    const auto input = tooltest::testSignal (2, length, fs, 11);
    writeAudio (folder / "in.wav", input, fs, 32);

    const auto result = render ({ "--bypass", "--float", "--keep-latency", "in.wav", "out.wav" }, folder.path());
    ASSERT_EQ (result.exitCode, 0) << describe (result);

    const auto out = readAudio (folder / "out.wav");
    ASSERT_EQ (out.samples.getNumSamples(), length + latency) << "input length plus the latency";

    const int from = samplesIn (0.02, fs);
    EXPECT_EQ (tooltest::measureDelay (input, out.samples, 3 * latency, from), latency);
    EXPECT_EQ (tooltest::maxDifference (out.samples, from + latency, input, from, length - from), 0.0f)
        << "the whole input, tail included, after the delay";
    EXPECT_LT (tooltest::peakDb (out.samples, 0, latency), -120.0) << "the delay is silence";
}

INSTANTIATE_TEST_SUITE_P (Render, KeepLatency, ::testing::Values (44100.0, 48000.0));

//==================================================================================================
// Every readable format: the result is the decoded input, at its rate and channel count, written
// by default as NAME.tarvik.wav beside it.

struct FormatCase
{
    const char* name;
    const char* fileName;
    double sampleRate;
    int channels;
    int bits;
};

void PrintTo (const FormatCase& c, std::ostream* os) { *os << c.name; }

class InputFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P (InputFormat, IsRead)
{
    const auto& c = GetParam();
    ScratchFolder folder;
    const auto inputFile = folder / c.fileName;
    writeAudio (inputFile, tooltest::testSignal (c.channels, samplesIn (0.5, c.sampleRate), c.sampleRate, 3),
                c.sampleRate, c.bits, juce::String (c.fileName).endsWith (".ogg") ? 6 : 0);
    const auto decoded = readAudio (inputFile);

    const auto result = render ({ "--bypass", "--float", c.fileName }, folder.path());
    ASSERT_EQ (result.exitCode, 0) << describe (result);

    const auto outFile = inputFile.getSiblingFile (inputFile.getFileNameWithoutExtension() + ".tarvik.wav");
    ASSERT_TRUE (outFile.existsAsFile()) << describe (result);
    const auto out = readAudio (outFile);
    EXPECT_EQ (out.sampleRate, c.sampleRate);
    ASSERT_EQ (out.samples.getNumChannels(), c.channels);
    ASSERT_EQ (out.samples.getNumSamples(), decoded.samples.getNumSamples());
    const int from = samplesIn (0.02, c.sampleRate);
    EXPECT_EQ (tooltest::maxDifference (out.samples, from, decoded.samples, from, out.samples.getNumSamples() - from), 0.0f);
}

const FormatCase formatCases[] = {
    { "flacStereo24", "a.flac", 44100.0, 2, 24 },
    { "flacMono16", "b.flac", 48000.0, 1, 16 },
    { "aiffStereo24", "c.aiff", 48000.0, 2, 24 },
    { "aiffMono16", "d.aif", 32000.0, 1, 16 },
    { "oggStereo", "e.ogg", 48000.0, 2, 32 },
    { "oggMono", "f.ogg", 44100.0, 1, 32 },
    { "wav16", "g.wav", 88200.0, 2, 16 },
};

INSTANTIATE_TEST_SUITE_P (Render, InputFormat, ::testing::ValuesIn (formatCases),
                          tooltest::CaseName());

//==================================================================================================
// Failures: one line on stderr, nothing on stdout, the right exit code, and the folder exactly as
// it was (no partial output, no temporary file, an existing output untouched).

struct FailureCase
{
    const char* name;
    std::function<void (const ScratchFolder&)> setUp;
    std::vector<juce::String> args;
    int exitCode;
    const char* messagePart;
};

void writeStereoInput (const ScratchFolder& f) { writeAudio (f / "in.wav", tooltest::testSignal (2, 4800, 48000.0), 48000.0, 24); }

/** Where a chunk's four-letter tag first stands in a RIFF file's bytes. */
size_t chunkAt (const juce::MemoryBlock& bytes, const char* tag)
{
    const auto* data = static_cast<const char*> (bytes.getData());
    for (size_t i = 12; i + 4 <= bytes.getSize(); ++i)
        if (std::memcmp (data + i, tag, 4) == 0)
            return i;
    ADD_FAILURE() << "no " << tag << " chunk";
    return 0;
}

/** Writes a 16-bit stereo WAV of `seconds` and lets `damage` change its bytes, told where the
    "fmt " and "data" chunks start. */
void writeDamagedWav (const juce::File& file, double seconds,
                      const std::function<void (juce::MemoryBlock&, size_t fmt, size_t data)>& damage)
{
    writeAudio (file, tooltest::testSignal (2, (int) (seconds * 48000.0), 48000.0), 48000.0, 16);
    juce::MemoryBlock bytes;
    file.loadFileAsData (bytes);
    damage (bytes, chunkAt (bytes, "fmt "), chunkAt (bytes, "data"));
    file.replaceWithData (bytes.getData(), bytes.getSize());
}

void writeSixChannels (const ScratchFolder& f) { writeAudio (f / "six.wav", tooltest::testSignal (6, 4800, 48000.0), 48000.0, 24); }

void writeThreeChannelInput (const ScratchFolder& f)
{
    writeAudio (f / "three.wav", tooltest::testSignal (3, 4800, 48000.0), 48000.0, 24);
    (f / "existing.wav").replaceWithText ("an earlier render");
}

const FailureCase failureCases[] = {
    { "unknownOption", writeStereoInput, { "--frobnicate", "in.wav" }, 2, "unknown option" },
    { "unknownPreset", writeStereoInput, { "--preset", "JAZZ", "in.wav" }, 2, "unknown preset" },
    { "badStageId", writeStereoInput, { "--stage", "stageReverb=off", "in.wav" }, 2, "unknown stage" },
    { "badBlock", writeStereoInput, { "--block", "0", "in.wav" }, 2, "--block" },
    { "outputIsInput", writeStereoInput, { "in.wav", "in.wav" }, 2, "same file" },
    { "missingInput", nullptr, { "nothing-here.wav" }, 1, "no such file" },
    { "inputIsAFolder", [] (const ScratchFolder& f) { (f / "sub.wav").createDirectory(); }, { "sub.wav" }, 1, "folder" },
    { "notAudio", [] (const ScratchFolder& f) { (f / "notes.wav").replaceWithText ("not a RIFF file"); }, { "notes.wav" }, 1, "notes.wav" },
    { "threeChannels", writeThreeChannelInput, { "three.wav", "existing.wav" }, 1, "3 channels" },
    { "outputFolderMissing", writeStereoInput, { "in.wav", "no/such/folder/out.wav" }, 1, "does not exist" },
    { "outputFolderIsAFile", writeStereoInput, { "in.wav", "in.wav/out.wav" }, 1, "out.wav" },
    { "outputIsAFolder", [] (const ScratchFolder& f) { writeStereoInput (f); (f / "out.wav").createDirectory(); }, { "in.wav", "out.wav" }, 1, "folder" },
    { "missingState", [] (const ScratchFolder& f) { writeStereoInput (f); (f / "out.wav").replaceWithText ("keep me"); },
      { "--state", "none.bin", "in.wav", "out.wav" }, 1, "none.bin" },
    { "garbageState", [] (const ScratchFolder& f) { writeStereoInput (f); (f / "s.bin").replaceWithText ("<STATE/>"); (f / "out.wav").replaceWithText ("keep me"); },
      { "--state", "s.bin", "in.wav", "out.wav" }, 1, "state" },
    { "saveStateFolderMissing", [] (const ScratchFolder& f) { writeStereoInput (f); (f / "out.wav").replaceWithText ("keep me"); },
      { "--save-state", "gone/s.bin", "in.wav", "out.wav" }, 1, "s.bin" },

    // Files that are not what they claim to be.
    { "emptyFile", [] (const ScratchFolder& f) { (f / "empty.wav").create(); }, { "empty.wav" }, 1, "the file is empty (0 bytes)" },
    { "sixChannels", writeSixChannels, { "six.wav" }, 1, "has 6 channels: only mono and stereo" },
    { "garbageHeader", [] (const ScratchFolder& f) { writeDamagedWav (f / "bad.wav", 0.1, [] (juce::MemoryBlock& b, size_t, size_t) { b.fillWith (0x5a); b.copyFrom ("RIFF", 0, 4); }); },
      { "bad.wav" }, 1, "not a readable WAV, AIFF, FLAC or Ogg Vorbis file" },
    { "unknownEncoding", [] (const ScratchFolder& f) { writeDamagedWav (f / "bad.wav", 0.1, [] (juce::MemoryBlock& b, size_t fmt, size_t) { b[fmt + 8] = 77; }); },
      { "bad.wav" }, 1, "not a readable WAV" },
    { "bitsPerSampleDamaged", [] (const ScratchFolder& f) { writeDamagedWav (f / "bad.wav", 0.1, [] (juce::MemoryBlock& b, size_t fmt, size_t) { b[fmt + 22] = 13; }); },
      { "bad.wav" }, 1, "damaged header (13 bits per sample)" },
    { "cutShort", [] (const ScratchFolder& f) { writeDamagedWav (f / "cut.wav", 1.0, [] (juce::MemoryBlock& b, size_t, size_t data) { b.setSize (data + 1000); }); },
      { "cut.wav" }, 1, "damaged or cut short: its header promises 1.000 s of audio" },
    { "headerOnly", [] (const ScratchFolder& f) { writeDamagedWav (f / "cut.wav", 1.0, [] (juce::MemoryBlock& b, size_t, size_t data) { b.setSize (data + 8); }); },
      { "cut.wav" }, 1, "cut short" },
    { "noSamples", [] (const ScratchFolder& f) { writeAudio (f / "none.wav", juce::AudioBuffer<float> (2, 0), 48000.0, 24); },
      { "none.wav" }, 1, "it holds no audio" },
    { "rate384k", [] (const ScratchFolder& f) { writeAudio (f / "hi.wav", tooltest::testSignal (2, 38400, 384000.0), 384000.0, 24); },
      { "hi.wav" }, 1, "is at 384000 Hz: the processor runs at 8000 Hz to 192000 Hz" },
    { "rate4k", [] (const ScratchFolder& f) { writeAudio (f / "lo.wav", tooltest::testSignal (1, 4000, 4000.0), 4000.0, 16); },
      { "lo.wav" }, 1, "is at 4000 Hz" },

    // Where the results go.
    { "outputDirMissing", writeStereoInput, { "in.wav", "-o", "nowhere" }, 1, "output folder" },
    { "outputDirIsAFile", writeStereoInput, { "in.wav", "-o", "in.wav" }, 1, "is a file" },
    { "jsonFolderMissing", writeStereoInput, { "--json", "gone/r.json", "in.wav", "out.wav" }, 1, "r.json': its folder does not exist" },
    { "plotFolderMissing", writeStereoInput, { "--plot", "gone/p.png", "in.wav", "out.wav" }, 1, "p.png': its folder does not exist" },
    { "twoInputsOneOutput", [] (const ScratchFolder& f) { writeStereoInput (f); (f / "out").createDirectory(); (f / "in.wav").copyFileTo (f / "in.aiff"); },
      { "in.wav", "in.aiff", "-o", "out" }, 2, "would both be written to" },
    { "batchPlotIsNotAFolder", [] (const ScratchFolder& f) { writeStereoInput (f); (f / "in.wav").copyFileTo (f / "b.wav"); },
      { "in.wav", "b.wav", "-o", ".", "--plot", "p.png" }, 2, "--plot needs an existing folder" },
};

void PrintTo (const FailureCase& c, std::ostream* os) { *os << c.name; }

class FailedRender : public ::testing::TestWithParam<FailureCase> {};

TEST_P (FailedRender, ReportsOneLineAndChangesNothing)
{
    const auto& c = GetParam();
    ScratchFolder folder;
    if (c.setUp)
        c.setUp (folder);
    const auto before = folder.snapshot();

    const auto result = render (c.args, folder.path());
    EXPECT_EQ (result.exitCode, c.exitCode) << describe (result);
    EXPECT_EQ (result.out, "");
    const auto lines = result.errLines();
    ASSERT_EQ (lines.size(), 1u) << describe (result);
    EXPECT_EQ (lines[0].rfind ("tarvik-render: ", 0), 0u) << lines[0];
    EXPECT_NE (lines[0].find (c.messagePart), std::string::npos) << lines[0];

    EXPECT_TRUE (folder.snapshot() == before) << "the folder must be as it was";
}

INSTANTIATE_TEST_SUITE_P (Render, FailedRender, ::testing::ValuesIn (failureCases),
                          tooltest::CaseName());

//==================================================================================================
// Permissions, as an ordinary user meets them.

struct PermissionCase
{
    const char* name;
    std::vector<juce::String> args;
    const char* messagePart;
};

void PrintTo (const PermissionCase& c, std::ostream* os) { *os << c.name; }

class WithoutPermission : public ::testing::TestWithParam<PermissionCase> {};

TEST_P (WithoutPermission, IsAnIoErrorThatChangesNothing)
{
    const auto& c = GetParam();
    ScratchFolder folder;
    writeStereoInput (folder);
    (folder / "in.wav").copyFileTo (folder / "secret.wav");
    const auto locked = folder / "locked";
    locked.createDirectory();
    locked.getChildFile ("out.wav").replaceWithText ("keep me");
    locked.getChildFile ("in.tarvik.wav").replaceWithText ("keep me");

    // Everyone may go into the scratch folder and write there; not into locked/ nor read secret.wav.
    ASSERT_EQ (chmod (folder.path().getFullPathName().toRawUTF8(), 0777), 0);
    ASSERT_EQ (chmod ((folder / "in.wav").getFullPathName().toRawUTF8(), 0644), 0);
    ASSERT_EQ (chmod ((folder / "secret.wav").getFullPathName().toRawUTF8(), 0), 0);
    ASSERT_EQ (chmod (locked.getFullPathName().toRawUTF8(), 0555), 0);
    const auto before = folder.snapshot();

    const auto result = tooltest::runToolUnprivileged (TARVIK_RENDER_PATH, c.args, folder.path());
    chmod (locked.getFullPathName().toRawUTF8(), 0755);
    EXPECT_EQ (result.exitCode, 1) << describe (result);
    EXPECT_EQ (result.out, "");
    const auto lines = result.errLines();
    ASSERT_EQ (lines.size(), 1u) << describe (result);
    EXPECT_NE (lines[0].find (c.messagePart), std::string::npos) << lines[0];
    EXPECT_NE (lines[0].find ("Permission denied"), std::string::npos) << lines[0];
    EXPECT_TRUE (folder.snapshot() == before) << "the folder must be as it was";
}

INSTANTIATE_TEST_SUITE_P (Render, WithoutPermission,
                          ::testing::Values (PermissionCase { "unreadableInput", { "secret.wav", "out.wav" }, "cannot read" },
                                             PermissionCase { "readOnlyOutputFolder", { "in.wav", "locked/out.wav" }, "cannot write" },
                                             PermissionCase { "readOnlyOutputDir", { "in.wav", "-o", "locked" }, "cannot write" }),
                          tooltest::CaseName());

TEST (Render, SuccessReplacesAnExistingOutput)
{
    ScratchFolder folder;
    writeStereoInput (folder);
    (folder / "out.wav").replaceWithText ("an earlier render");

    const auto result = render ({ "--quiet", "in.wav", "out.wav" }, folder.path());
    ASSERT_EQ (result.exitCode, 0) << describe (result);
    EXPECT_EQ (result.out, "") << "--quiet";
    EXPECT_EQ (result.err, "") << "--quiet";
    EXPECT_EQ (readAudio (folder / "out.wav").samples.getNumSamples(), 4800);
    EXPECT_EQ (folder.snapshot().size(), 2u) << "no temporary file left behind";
}

//==================================================================================================
// --save-state writes what the render used; --state brings it back first, whatever its position on
// the command line, and the other options apply on top.

struct StateCase
{
    const char* name;
    std::vector<juce::String> args;
    const char* expectedPreset;
    const char* expectedStagesOff;
};

void PrintTo (const StateCase& c, std::ostream* os) { *os << c.name; }

class StateRoundTrip : public ::testing::TestWithParam<StateCase> {};

TEST_P (StateRoundTrip, RestoresTheSavedSettings)
{
    const auto& c = GetParam();
    ScratchFolder folder;
    writeStereoInput (folder);

    const auto saved = render ({ "--preset", "DANCE", "--extreme", "--stage", "stageAgc=off", "--save-state", "s.bin",
                                 "in.wav", "first.wav" },
                               folder.path());
    ASSERT_EQ (saved.exitCode, 0) << describe (saved);
    ASSERT_TRUE ((folder / "s.bin").existsAsFile());
    EXPECT_EQ (tooltest::summaryValue (saved.out, "preset"), "DANCE, EXTREME") << saved.out;

    auto args = c.args;
    args.insert (args.end(), { "in.wav", "second.wav" });
    const auto loaded = render (args, folder.path());
    ASSERT_EQ (loaded.exitCode, 0) << describe (loaded);
    EXPECT_EQ (tooltest::summaryValue (loaded.out, "preset"), c.expectedPreset) << loaded.out;
    EXPECT_EQ (tooltest::summaryValue (loaded.out, "stages off"), c.expectedStagesOff) << loaded.out;
}

INSTANTIATE_TEST_SUITE_P (Render, StateRoundTrip,
                          ::testing::Values (StateCase { "asSaved", { "--state", "s.bin" }, "DANCE, EXTREME", "stageAgc" },
                                             StateCase { "presetOnTop", { "--state", "s.bin", "--preset", "talk" }, "TALK, EXTREME", "stageAgc" },
                                             StateCase { "stateFirstWherePlaced", { "--preset", "talk", "--stage", "agc=on", "--state", "s.bin" }, "TALK, EXTREME", "" },
                                             StateCase { "extremeOff", { "--state", "s.bin", "--param", "extreme=off" }, "DANCE", "stageAgc" }),
                          tooltest::CaseName());

TEST (Render, SavedBypassStateRendersTheInputUnchanged)
{
    ScratchFolder folder;
    const auto input = tooltest::testSignal (2, 24000, 48000.0, 5);
    writeAudio (folder / "in.wav", input, 48000.0, 32);

    ASSERT_EQ (render ({ "--quiet", "--bypass", "--save-state", "bypass.bin", "in.wav", "a.wav" }, folder.path()).exitCode, 0);
    const auto result = render ({ "--float", "--state", "bypass.bin", "in.wav", "b.wav" }, folder.path());
    ASSERT_EQ (result.exitCode, 0) << describe (result);

    const auto out = readAudio (folder / "b.wav");
    ASSERT_EQ (out.samples.getNumSamples(), input.getNumSamples());
    const int from = samplesIn (0.02, 48000.0);
    EXPECT_EQ (tooltest::maxDifference (out.samples, from, input, from, input.getNumSamples() - from), 0.0f);
}

//==================================================================================================
TEST (Render, SummaryReportsLoudnessBeforeAndAfterAndDestination)
{
    // A 997 Hz tone at -20 dBFS in both channels reads -20 LUFS; bypassed, the output is the same.
    ScratchFolder folder;
    writeAudio (folder / "tone.wav", tooltest::sine (2, 10 * 48000, 48000.0, 997.0, -20.0), 48000.0, 32);

    const auto result = render ({ "--bypass", "tone.wav" }, folder.path());
    ASSERT_EQ (result.exitCode, 0) << describe (result);
    EXPECT_EQ (result.err, "");
    EXPECT_EQ (tooltest::summaryValue (result.out, "preset"), "BROADCAST, bypassed");
    EXPECT_EQ (tooltest::summaryValue (result.out, "integrated LUFS"), "-20.0  \u2192   -20.0") << result.out;
    EXPECT_EQ (tooltest::summaryValue (result.out, "loudness range LU"), "0.0  \u2192     0.0") << result.out;
    EXPECT_EQ (tooltest::summaryValue (result.out, "true peak dBTP"), "-20.0  \u2192   -20.0") << result.out;
    EXPECT_EQ (tooltest::summaryValue (result.out, "sample peak dBFS"), "-20.0  \u2192   -20.0") << result.out;
    EXPECT_NE (tooltest::summaryValue (result.out, "speed").find ("x real time"), std::string::npos) << result.out;
    EXPECT_NE (tooltest::summaryValue (result.out, "written to").find ((folder / "tone.tarvik.wav").getFullPathName().toStdString()),
               std::string::npos)
        << result.out;
}

TEST (Render, HelpGoesToStdout)
{
    ScratchFolder folder;
    for (const char* flag : { "--help", "-h" })
    {
        const auto result = render ({ flag }, folder.path());
        EXPECT_EQ (result.exitCode, 0) << flag;
        EXPECT_EQ (result.out.rfind ("Usage: tarvik-render", 0), 0u) << flag;
        EXPECT_EQ (result.err, "") << flag;
        EXPECT_TRUE (folder.snapshot().empty()) << "help renders nothing";
    }
}
} // namespace
