#include "LoudnessMeter.h"

#include <ebur128.h>

#include <cmath>
#include <stdexcept>

namespace kt::tools
{
namespace
{
constexpr int kMode = EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_S | EBUR128_MODE_TRUE_PEAK | EBUR128_MODE_HISTOGRAM;

double toDb (double linear) { return linear > 0.0 ? 20.0 * std::log10 (linear) : LoudnessFigures::none; }

/** The library reports silence as -HUGE_VAL; anything not finite is "no value". */
double orNone (double value) { return std::isfinite (value) ? value : LoudnessFigures::none; }
} // namespace

LoudnessMeter::LoudnessMeter (int numChannels, double sampleRate) : channels (numChannels)
{
    if (numChannels < 1 || ! (sampleRate >= 1.0))
        throw std::runtime_error ("loudness meter: unusable format");

    state = ebur128_init ((unsigned int) numChannels, (unsigned long) std::lround (sampleRate), kMode);
    if (state == nullptr)
        throw std::runtime_error ("loudness meter: libebur128 could not be set up");
    if (numChannels == 1)
        ebur128_set_channel (state, 0, EBUR128_DUAL_MONO);
}

LoudnessMeter::~LoudnessMeter()
{
    ebur128_destroy (&state);
}

void LoudnessMeter::add (const juce::AudioBuffer<float>& buffer, int start, int numSamples)
{
    if (numSamples <= 0)
        return;
    jassert (buffer.getNumChannels() >= channels && start + numSamples <= buffer.getNumSamples());

    interleaved.resize ((size_t) numSamples * (size_t) channels);
    for (int ch = 0; ch < channels; ++ch)
    {
        const float* source = buffer.getReadPointer (ch, start);
        for (int n = 0; n < numSamples; ++n)
            interleaved[(size_t) n * (size_t) channels + (size_t) ch] = source[n];
    }
    if (ebur128_add_frames_float (state, interleaved.data(), (size_t) numSamples) != EBUR128_SUCCESS)
        throw std::runtime_error ("loudness meter: out of memory");
}

double LoudnessMeter::shortTermLufs() const
{
    double value = LoudnessFigures::none;
    ebur128_loudness_shortterm (state, &value);
    return orNone (value);
}

LoudnessFigures LoudnessMeter::figures() const
{
    LoudnessFigures f;
    double value = 0.0;
    if (ebur128_loudness_global (state, &value) == EBUR128_SUCCESS)
        f.integratedLufs = orNone (value);
    if (ebur128_loudness_range (state, &value) == EBUR128_SUCCESS && std::isfinite (value))
        f.rangeLu = value;

    double truePeak = 0.0, samplePeak = 0.0;
    for (int ch = 0; ch < channels; ++ch)
    {
        if (ebur128_true_peak (state, (unsigned int) ch, &value) == EBUR128_SUCCESS)
            truePeak = std::max (truePeak, value);
        if (ebur128_sample_peak (state, (unsigned int) ch, &value) == EBUR128_SUCCESS)
            samplePeak = std::max (samplePeak, value);
    }
    f.truePeakDbtp = toDb (truePeak);
    f.samplePeakDbfs = toDb (samplePeak);
    return f;
}
} // namespace kt::tools
