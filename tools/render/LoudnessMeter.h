#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <ebur128.h>

#include <limits>
#include <vector>

namespace kt::tools
{
/** What a loudness measurement of a whole programme found. A figure that has no value (the
    programme was silent, or shorter than a gating block) is minus infinity. */
struct LoudnessFigures
{
    static constexpr double none = -std::numeric_limits<double>::infinity();

    double integratedLufs = none; ///< gated integrated loudness, LUFS
    double rangeLu = 0.0;         ///< loudness range (EBU Tech 3342), LU
    double truePeakDbtp = none;   ///< the library's oversampled true peak, dBTP, loudest channel
    double samplePeakDbfs = none; ///< largest sample, dBFS, loudest channel
};

/** Measures one stream with libebur128: integrated loudness, loudness range, true and sample
    peak, and the short-term (3 s) loudness at any moment. The library's histogram mode keeps
    the memory the same however long the programme is. A mono stream is measured as dual mono,
    as if it played on both speakers, so it reads the same as the stereo file made from it. */
class LoudnessMeter
{
public:
    /** Throws std::runtime_error when the library cannot be set up for this format. */
    LoudnessMeter (int numChannels, double sampleRate);
    ~LoudnessMeter();

    LoudnessMeter (const LoudnessMeter&) = delete;
    LoudnessMeter& operator= (const LoudnessMeter&) = delete;

    /** Adds numSamples of every channel of buffer from sample start. */
    void add (const juce::AudioBuffer<float>& buffer, int start, int numSamples);

    /** Loudness of the last 3 s, LUFS (minus infinity while silent). */
    double shortTermLufs() const;

    LoudnessFigures figures() const;

private:
    ebur128_state* state = nullptr;
    int channels;
    std::vector<float> interleaved;
};
} // namespace kt::tools
