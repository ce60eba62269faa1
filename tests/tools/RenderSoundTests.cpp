// What the renderer's output sounds like, measured: presets differ, EXTREME keeps the top octave empty.

#include "TestSignals.h"
#include "ToolTestSupport.h"

#include <gtest/gtest.h>

namespace
{
using tooltest::ScratchFolder;

std::vector<float> channel (const juce::AudioBuffer<float>& b, int ch, int from = 0, int to = -1)
{
    const int end = to < 0 ? b.getNumSamples() : to;
    return std::vector<float> (b.getReadPointer (ch) + from, b.getReadPointer (ch) + end);
}

double rmsDb (const std::vector<float>& x)
{
    double sum = 0.0;
    for (auto v : x)
        sum += (double) v * v;
    return testsig::toDb (std::sqrt (sum / (double) std::max<size_t> (1, x.size())));
}

/** Renders the demo with the given extra arguments and returns the left channel. */
std::vector<float> renderDemo (const ScratchFolder& folder, const juce::String& preset)
{
    const auto out = folder / (preset + ".wav");
    const auto result = tooltest::runTool (TARVIK_RENDER_PATH, { "--preset", preset, "--float", "--quiet", "--demo", out.getFullPathName() },
                                           folder.path());
    EXPECT_EQ (result.exitCode, 0) << result.err;
    return channel (tooltest::readAudio (out).samples, 0);
}

TEST (RenderSound, PresetsSoundDifferentOnTheDemo)
{
    // The demo's passages: normal 0-6 s, quiet 6-10 s, loud 10-16 s (at 48 kHz).
    ScratchFolder folder;
    const auto passage = [] (const std::vector<float>& x, double from, double to) {
        return rmsDb (std::vector<float> (x.begin() + (long) (from * 48000), x.begin() + (long) (to * 48000)));
    };
    struct Levels
    {
        double normal, quiet, loud;
        double span() const { return loud - quiet; }
    };
    const auto levels = [&] (const char* preset) {
        const auto x = renderDemo (folder, preset);
        return Levels { passage (x, 1.0, 6.0), passage (x, 7.0, 10.0), passage (x, 11.0, 16.0) };
    };
    const auto natural = levels ("NATURAL"), hot = levels ("HOT"), classical = levels ("CLASSICAL");

    // HOT is louder and rides the quiet passage up to nearly the level of the loud one; CLASSICAL
    // keeps the programme's dynamics; NATURAL sits between.
    EXPECT_GT (hot.normal - natural.normal, 2.0);
    EXPECT_GT (hot.quiet - classical.quiet, 10.0);
    EXPECT_LT (hot.span(), 3.0);
    EXPECT_GT (natural.span(), hot.span() + 3.0);
    EXPECT_GT (classical.span(), natural.span() + 3.0);
}

TEST (RenderSound, WhiteNoiseAtExtremeHasNothingAbove16kHz)
{
    ScratchFolder folder;
    const int n = 3 * 48000;
    juce::AudioBuffer<float> noise (2, n);
    const auto left = testsig::noise ((size_t) n, 0.5f, 3u), right = testsig::noise ((size_t) n, 0.5f, 4u);
    noise.copyFrom (0, 0, left.data(), n);
    noise.copyFrom (1, 0, right.data(), n);
    tooltest::writeAudio (folder / "noise.wav", noise, 48000.0, 32);

    const auto result = tooltest::runTool (TARVIK_RENDER_PATH, { "--extreme", "--float", "--quiet", "noise.wav", "out.wav" }, folder.path());
    ASSERT_EQ (result.exitCode, 0) << result.err;
    const auto out = tooltest::readAudio (folder / "out.wav");
    for (int ch = 0; ch < 2; ++ch)
    {
        const auto power = testsig::powerSpectrum (channel (out.samples, ch), 48000);
        EXPECT_LT (testsig::bandPeakRelativeDb (power, 48000.0, 16000.0, 24000.0, 500.0, 9000.0), -60.0) << "channel " << ch;
    }
}
} // namespace
