#pragma once

#include <algorithm>
#include <cmath>

namespace kt
{
/** exp (dB * kDbToGainFactor) == 10^(dB / 20). */
inline constexpr float kDbToGainFactor = 0.115129254758358f;
/** kGainToDbFactor * ln (x) == 20 * log10 (x). */
inline constexpr float kGainToDbFactor = 8.68588924407959f;
inline constexpr float kPi = 3.14159265358979f;
/** Q of a second-order Butterworth section (1 / sqrt 2): -3.01 dB at the corner. */
inline constexpr float kButterworthQ = 0.70710678f;

inline float dbToGain (float db) noexcept { return std::exp (db * kDbToGainFactor); }

/** Logarithms never see anything below 1e-9 (-180 dB). */
inline float gainToDb (float gain) noexcept { return kGainToDbFactor * std::log (std::max (gain, 1.0e-9f)); }

/** One-pole smoothing coefficient for a time constant in seconds; anything shorter than one sample
    acts as one sample. A value then follows its target as v = c * v + (1 - c) * target. */
inline float onePoleCoefficient (double seconds, double sampleRate) noexcept
{
    return (float) std::exp (-1.0 / std::max (1.0, seconds * sampleRate));
}

/** Same, with the time in milliseconds. */
inline float onePoleCoefficientMs (double milliseconds, double sampleRate) noexcept
{
    return onePoleCoefficient (milliseconds * 0.001, sampleRate);
}

/** Filter corners are kept between 1 Hz and 0.49 times the sample rate before any design. */
inline float limitFrequency (float hz, double sampleRate) noexcept
{
    return std::max (1.0f, std::min (hz, (float) (0.49 * sampleRate)));
}

/** Steps a linear ramp toward its target by at most step, never overshooting. */
inline float rampToward (float value, float target, float step) noexcept
{
    if (value < target)
        return std::min (value + step, target);
    if (value > target)
        return std::max (value - step, target);
    return value;
}
} // namespace kt
