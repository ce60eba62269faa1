#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

namespace kt::tools
{
/** The demo programme's native rate and length: what tarvik-render renders when it has no input. */
inline constexpr double kDemoSampleRate = 48000.0;
inline constexpr double kDemoSeconds = 20.0;

/** The arrangement repeats every kDemoCycleSeconds: ten bars at 120 BPM. */
inline constexpr double kDemoCycleSeconds = 20.0;

/** A stretch of the programme mixed to one level. */
struct DemoPassage
{
    enum class Kind
    {
        normal, ///< full band at a typical programme level: about -18 dBFS RMS
        quiet,  ///< pads, soft hats and a held bass: about -30 dBFS RMS
        loud    ///< four-on-the-floor with crash and 16th hats, peaking at -0.2 dBFS
    };

    Kind kind;
    double startSeconds;
    double endSeconds;
};

/** The passages of a programme of the given length, in time order, with no gaps. */
std::vector<DemoPassage> demoPassages (double seconds = kDemoSeconds);

/** Synthesises the demo programme: stereo, music-like material built to exercise a broadcast
    chain (drums, bass, sustained chords spread across the stereo field, a quiet and a loud
    passage). Longer programmes repeat the 20-second arrangement with fresh noise. The result is
    the same on every machine: a fixed-seed generator and only basic floating-point operations,
    no library transcendental functions. No sample ever exceeds 0.98 in magnitude. */
juce::AudioBuffer<float> makeDemoProgramme (double sampleRate, double seconds = kDemoSeconds);
} // namespace kt::tools
