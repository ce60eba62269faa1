// The built tarvik-render given several inputs and -o DIR: every good file is rendered as it would
// be alone, every bad one is reported, and nothing half-done is left.

#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
using tooltest::readAudio;
using tooltest::RunResult;
using tooltest::ScratchFolder;
using tooltest::writeAudio;

using tooltest::describe;

std::set<juce::String> namesIn (const juce::File& folder)
{
    std::set<juce::String> names;
    for (const auto& entry : juce::RangedDirectoryIterator (folder, false, "*", juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles, juce::File::FollowSymlinks::no))
        names.insert (entry.getFile().getFileName());
    for (const auto& entry : juce::RangedDirectoryIterator (folder, false, ".*", juce::File::findFilesAndDirectories))
        names.insert (entry.getFile().getFileName()); // a temporary file would be hidden
    return names;
}

void allowEveryone (const juce::File& f, int mode = 0777) { ASSERT_EQ (chmod (f.getFullPathName().toRawUTF8(), (mode_t) mode), 0); }

TEST (RenderBatch, RendersTheGoodFilesAndReportsEachBadOne)
{
    ScratchFolder folder;
    const auto good1 = tooltest::testSignal (2, 48000, 48000.0, 21);
    const auto good2 = tooltest::testSignal (1, 44100, 44100.0, 22);
    writeAudio (folder / "good1.wav", good1, 48000.0, 32);
    writeAudio (folder / "six.wav", tooltest::testSignal (6, 4800, 48000.0), 48000.0, 24);
    (folder / "empty.wav").create();
    writeAudio (folder / "good2.flac", good2, 44100.0, 24);
    writeAudio (folder / "hi.wav", tooltest::testSignal (2, 38400, 384000.0), 384000.0, 24);
    writeAudio (folder / "secret.wav", good1, 48000.0, 32);
    writeAudio (folder / "cut.wav", good1, 48000.0, 16);
    juce::MemoryBlock cut;
    (folder / "cut.wav").loadFileAsData (cut);
    (folder / "cut.wav").replaceWithData (cut.getData(), 1000); // the header and a few samples
    (folder / "out").createDirectory();
    (folder / "pics").createDirectory();
    allowEveryone (folder.path());
    allowEveryone (folder / "out");
    allowEveryone (folder / "pics");
    allowEveryone (folder / "secret.wav", 0);

    const std::vector<juce::String> inputs { "good1.wav", "six.wav", "empty.wav", "good2.flac", "hi.wav", "missing.wav", "secret.wav", "cut.wav" };
    const std::set<int> bad { 2, 3, 5, 6, 7, 8 };
    std::vector<juce::String> args { "--bypass", "--float", "-j", "2", "-o", "out", "--json", "report.json", "--plot", "pics" };
    args.insert (args.end(), inputs.begin(), inputs.end());
    const auto result = tooltest::runToolUnprivileged (TARVIK_RENDER_PATH, args, folder.path());
    EXPECT_EQ (result.exitCode, 1) << "something failed\n" << describe (result);

    // One line on stderr for each bad file, naming it.
    const auto lines = result.errLines();
    ASSERT_EQ (lines.size(), bad.size()) << describe (result);
    std::set<int> reported;
    for (const auto& line : lines)
    {
        const int number = juce::String (line).fromFirstOccurrenceOf ("[", false, false).getIntValue();
        reported.insert (number);
        EXPECT_EQ (line.rfind ("tarvik-render: [" + std::to_string (number) + "/8] ", 0), 0u) << line;
        if (number >= 1 && number <= 8)
        {
            EXPECT_NE (line.find (inputs[(size_t) number - 1].toStdString()), std::string::npos) << line;
        }
    }
    EXPECT_EQ (reported, bad);

    // A line for each good file as it is done, and the table with every file in order.
    EXPECT_NE (result.out.find ("[1/8] good1.wav: 0:01, "), std::string::npos) << result.out;
    EXPECT_NE (result.out.find ("[4/8] good2.flac: 0:01, "), std::string::npos) << result.out;
    juce::StringArray out;
    out.addLines (juce::String (result.out));
    out.removeEmptyStrings();
    const int count = out.indexOf ("2 of 8 files rendered, 6 failed");
    ASSERT_GE (count, 9) << result.out;
    EXPECT_EQ (out[count + 1], "report       " + (folder / "report.json").getFullPathName());
    for (int i = 0; i < 8; ++i)
    {
        const auto row = out[count - 8 + i];
        EXPECT_TRUE (row.startsWith (inputs[(size_t) i])) << row;
        EXPECT_EQ (row.contains ("FAILED: "), bad.count (i + 1) == 1) << row;
    }

    // The good files, rendered (bypassed: the input again) with their pictures; nothing else.
    EXPECT_EQ (namesIn (folder / "out"), (std::set<juce::String> { "good1.tarvik.wav", "good2.tarvik.wav" }));
    EXPECT_EQ (namesIn (folder / "pics"), (std::set<juce::String> { "good1.png", "good2.png" }));
    const auto out1 = readAudio (folder / "out/good1.tarvik.wav");
    const auto out2 = readAudio (folder / "out/good2.tarvik.wav");
    ASSERT_EQ (out1.samples.getNumSamples(), good1.getNumSamples());
    ASSERT_EQ (out2.samples.getNumSamples(), good2.getNumSamples());
    EXPECT_EQ (out2.samples.getNumChannels(), 1);
    EXPECT_EQ (out2.sampleRate, 44100.0);
    EXPECT_EQ (tooltest::maxDifference (out1.samples, 960, good1, 960, good1.getNumSamples() - 960), 0.0f);
    EXPECT_LT (tooltest::maxDifference (out2.samples, 882, readAudio (folder / "good2.flac").samples, 882, good2.getNumSamples() - 882), 1.0e-6f);

    // The report has every file, in command-line order.
    juce::var json;
    ASSERT_TRUE (juce::JSON::parse ((folder / "report.json").loadFileAsString(), json).wasOk());
    ASSERT_EQ (json["files"].size(), 8);
    for (int i = 0; i < 8; ++i)
    {
        const auto file = json["files"][i];
        EXPECT_EQ (file["input"].toString(), (folder / inputs[(size_t) i]).getFullPathName());
        EXPECT_EQ ((bool) file["ok"], bad.count (i + 1) == 0) << i;
        EXPECT_EQ (file["error"].toString().isEmpty(), bad.count (i + 1) == 0) << i;
    }
}

TEST (RenderBatch, NothingRenderedLeavesNoReport)
{
    ScratchFolder folder;
    (folder / "a.wav").create();
    (folder / "b.wav").replaceWithText ("not audio");
    (folder / "out").createDirectory();

    const auto result = tooltest::runTool (TARVIK_RENDER_PATH, { "--quiet", "--json", "r.json", "a.wav", "b.wav", "-o", "out" }, folder.path());
    EXPECT_EQ (result.exitCode, 1) << describe (result);
    EXPECT_EQ (result.out, "") << "--quiet";
    EXPECT_EQ (result.errLines().size(), 2u) << describe (result);
    EXPECT_FALSE ((folder / "r.json").exists());
    EXPECT_TRUE (namesIn (folder / "out").empty());
}

TEST (RenderBatch, EachFileIsRenderedAsItWouldBeAlone)
{
    // Three different programmes through HOT: each output of a batch, however many run at once, is
    // the one its file gets on its own, to the bit. A processor shared or carried over from one
    // file to the next would leave traces of the other programmes.
    ScratchFolder folder;
    const juce::String names[] = { "a.wav", "b.wav", "c.wav" };
    for (int i = 0; i < 3; ++i)
    {
        auto signal = tooltest::testSignal (2, 2 * 48000, 48000.0, 40 + i);
        signal.applyGain (0.3f + 0.6f * (float) i);
        writeAudio (folder / names[i], signal, 48000.0, 32);
    }
    for (const char* sub : { "alone", "one", "two" })
        (folder / sub).createDirectory();

    const std::vector<juce::String> common { "--preset", "HOT", "--float", "--quiet" };
    for (const auto& name : names)
    {
        auto args = common;
        args.insert (args.end(), { name, "-o", "alone" });
        ASSERT_EQ (tooltest::runTool (TARVIK_RENDER_PATH, args, folder.path()).exitCode, 0);
    }
    for (const auto& [sub, jobs] : { std::pair { "one", "1" }, std::pair { "two", "2" } })
    {
        auto args = common;
        args.insert (args.end(), { "-j", jobs, names[0], names[1], names[2], "-o", sub });
        const auto result = tooltest::runTool (TARVIK_RENDER_PATH, args, folder.path());
        ASSERT_EQ (result.exitCode, 0) << describe (result);

        for (const auto& name : names)
        {
            const auto outName = juce::File (name).getFileNameWithoutExtension() + ".tarvik.wav";
            const auto alone = readAudio ((folder / "alone").getChildFile (outName));
            const auto batch = readAudio ((folder / sub).getChildFile (outName));
            ASSERT_EQ (batch.samples.getNumSamples(), alone.samples.getNumSamples()) << sub << " " << name;
            EXPECT_EQ (tooltest::maxDifference (batch.samples, 0, alone.samples, 0, alone.samples.getNumSamples()), 0.0f)
                << "--jobs " << jobs << ": " << name;
        }
    }
}
} // namespace

namespace
{
TEST (RenderBatch, InterruptedKeepsTheFinishedFilesAndNothingElse)
{
    ScratchFolder folder;
    writeAudio (folder / "short.wav", tooltest::testSignal (2, 4800, 48000.0), 48000.0, 16);
    writeAudio (folder / "long.wav", tooltest::testSignal (1, 600 * 8000, 8000.0), 8000.0, 16);
    writeAudio (folder / "next.wav", tooltest::testSignal (2, 4800, 48000.0), 48000.0, 16);
    const auto out = folder / "out";
    out.createDirectory();

    // Ctrl-C while long.wav is being rendered: its temporary output is there.
    const juce::TemporaryFile log (".log");
    const std::string logPath = log.getFile().getFullPathName().toStdString();
    std::vector<std::string> args { TARVIK_RENDER_PATH, "-j", "1", "short.wav", "long.wav", "next.wav", "-o", "out" };
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back (a.data());
    argv.push_back (nullptr);
    const std::string where = folder.path().getFullPathName().toStdString();

    const pid_t pid = fork();
    if (pid == 0)
    {
        const int fd = open (logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || chdir (where.c_str()) != 0)
            _exit (127);
        dup2 (fd, 1);
        dup2 (fd, 2);
        execv (argv[0], argv.data());
        _exit (127);
    }
    ASSERT_GT (pid, 0);

    int status = 0;
    bool exited = false;
    for (int tries = 0; tries < 3000 && ! exited && out.getNumberOfChildFiles (juce::File::findFiles, ".long*") == 0; ++tries)
    {
        exited = waitpid (pid, &status, WNOHANG) == pid;
        juce::Thread::sleep (10);
    }
    ASSERT_FALSE (exited) << "still rendering long.wav when interrupted";
    kill (pid, SIGINT);
    ASSERT_EQ (waitpid (pid, &status, 0), pid);
    const auto output = log.getFile().loadFileAsString().toStdString();

    ASSERT_TRUE (WIFEXITED (status)) << output;
    EXPECT_EQ (WEXITSTATUS (status), 130) << output;
    EXPECT_EQ (namesIn (out), (std::set<juce::String> { "short.tarvik.wav" })) << "no partial or temporary file";
    EXPECT_NE (output.find ("tarvik-render: [2/3] long.wav: interrupted; nothing was written"), std::string::npos) << output;
    EXPECT_NE (output.find ("tarvik-render: [3/3] next.wav: interrupted before it started"), std::string::npos) << output;
    EXPECT_NE (output.find ("1 of 3 files rendered, 2 failed"), std::string::npos) << output;
}
} // namespace
