// scripts/install.sh run on a build folder laid out as the build lays it out, into a scratch HOME
// and PREFIX: the bundles land where hosts look, the programs on the PATH, and an incomplete build
// installs nothing.

#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{
using tooltest::RunResult;
using tooltest::ScratchFolder;

const juce::String bundleName ("KORVANE Tarvik 4.1");

using tooltest::describe;

bool isExecutable (const juce::File& f)
{
    struct stat st {};
    return stat (f.getFullPathName().toRawUTF8(), &st) == 0 && S_ISREG (st.st_mode) && (st.st_mode & S_IXUSR) && (st.st_mode & S_IXOTH);
}

/** A build folder with the four artefacts: the bundles hold marker files, the standalone app is
    a script that says so, and the renderer is the real one. */
juce::File makeBuild (const ScratchFolder& folder)
{
    const auto build = folder / "build";
    const auto release = build.getChildFile ("KorvaneTarvik_artefacts/Release");
    const auto vst3 = release.getChildFile ("VST3/" + bundleName + ".vst3/Contents/x86_64-linux");
    const auto lv2 = release.getChildFile ("LV2/" + bundleName + ".lv2");
    vst3.createDirectory();
    lv2.createDirectory();
    vst3.getChildFile (bundleName + ".so").replaceWithText ("vst3 v2");
    lv2.getChildFile ("manifest.ttl").replaceWithText ("lv2 v2");

    const auto standalone = release.getChildFile ("Standalone/" + bundleName);
    standalone.getParentDirectory().createDirectory();
    standalone.replaceWithText ("#!/bin/sh\necho standalone app\n", false, false, "\n");
    chmod (standalone.getFullPathName().toRawUTF8(), 0755);

    const auto render = build.getChildFile ("tarvik-render_artefacts/Release/tarvik-render");
    render.getParentDirectory().createDirectory();
    juce::File (TARVIK_RENDER_PATH).copyFileTo (render);
    chmod (render.getFullPathName().toRawUTF8(), 0755);
    return build;
}

RunResult install (const ScratchFolder& folder, const juce::File& build, std::vector<juce::String> args)
{
    std::vector<juce::String> command { "HOME=" + (folder / "home").getFullPathName(), "TARVIK_BUILD_DIR=" + build.getFullPathName(),
                                        "PATH=/usr/bin:/bin", "bash", juce::String (TARVIK_SOURCE_DIR) + "/scripts/install.sh" };
    command.insert (command.end(), args.begin(), args.end());
    return tooltest::runTool ("/usr/bin/env", command, folder.path());
}

TEST (InstallScript, PutsTheBundlesWhereHostsLookAndTheProgramsOnThePath)
{
    ScratchFolder folder;
    const auto build = makeBuild (folder);
    (folder / "home").createDirectory();

    const auto result = install (folder, build, { (folder / "prefix").getFullPathName() });
    ASSERT_EQ (result.exitCode, 0) << describe (result);

    const auto home = folder / "home";
    EXPECT_EQ (home.getChildFile (".vst3/" + bundleName + ".vst3/Contents/x86_64-linux/" + bundleName + ".so").loadFileAsString(), "vst3 v2");
    EXPECT_EQ (home.getChildFile (".lv2/" + bundleName + ".lv2/manifest.ttl").loadFileAsString(), "lv2 v2");
    const auto bin = folder / "prefix/bin";
    EXPECT_TRUE (isExecutable (bin.getChildFile ("korvane-tarvik")));
    EXPECT_TRUE (isExecutable (bin.getChildFile ("tarvik-render")));
    EXPECT_NE (result.out.find ("is not on your PATH"), std::string::npos) << result.out;

    // Both run by name from the PATH.
    const auto path = "PATH=" + bin.getFullPathName() + ":/usr/bin:/bin";
    const auto help = tooltest::runTool ("/usr/bin/env", { path, "tarvik-render", "--help" }, folder.path());
    EXPECT_EQ (help.exitCode, 0) << describe (help);
    EXPECT_EQ (help.out.rfind ("Usage: tarvik-render", 0), 0u) << help.out;
    EXPECT_EQ (tooltest::runTool ("/usr/bin/env", { path, "korvane-tarvik" }, folder.path()).out, "standalone app\n");
}

TEST (InstallScript, AgainReplacesEachBundleWholeAndLeavesNothingElse)
{
    ScratchFolder folder;
    const auto build = makeBuild (folder);
    const auto vst3 = (folder / "home").getChildFile (".vst3/" + bundleName + ".vst3");
    ASSERT_EQ (install (folder, build, {}).exitCode, 0);
    vst3.getChildFile ("Contents/left-over.so").replaceWithText ("from an older version");

    build.getChildFile ("KorvaneTarvik_artefacts/Release/VST3/" + bundleName + ".vst3/Contents/x86_64-linux/" + bundleName + ".so")
        .replaceWithText ("vst3 v3");
    const auto again = install (folder, build, {});
    ASSERT_EQ (again.exitCode, 0) << describe (again);

    EXPECT_EQ (vst3.getChildFile ("Contents/x86_64-linux/" + bundleName + ".so").loadFileAsString(), "vst3 v3");
    EXPECT_FALSE (vst3.getChildFile ("Contents/left-over.so").exists()) << "the old bundle is gone whole";
    EXPECT_TRUE (isExecutable ((folder / "home").getChildFile (".local/bin/tarvik-render"))) << "the default PREFIX is ~/.local";
    for (const char* place : { ".vst3", ".lv2", ".local/bin" })
        EXPECT_EQ ((folder / "home").getChildFile (place).getNumberOfChildFiles (juce::File::findFilesAndDirectories, ".*"), 0)
            << "no staging left in " << place;
}

TEST (InstallScript, AnIncompleteBuildInstallsNothing)
{
    for (const juce::String part : { "KorvaneTarvik_artefacts/Release/LV2", "KorvaneTarvik_artefacts/Release/Standalone",
                                     "tarvik-render_artefacts" })
    {
        ScratchFolder folder;
        const auto build = makeBuild (folder);
        build.getChildFile (part).deleteRecursively();
        (folder / "home").createDirectory();

        const auto result = install (folder, build, { (folder / "prefix").getFullPathName() });
        EXPECT_EQ (result.exitCode, 1) << part << "\n" << describe (result);
        EXPECT_NE (result.err.find ("not built: '" + build.getChildFile (part).getFullPathName().toStdString()), std::string::npos)
            << result.err;
        EXPECT_NE (result.err.find ("nothing was installed"), std::string::npos) << result.err;
        EXPECT_EQ ((folder / "home").getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"), 0) << part;
        EXPECT_FALSE ((folder / "prefix").exists()) << part;
    }
}
} // namespace
