#pragma once

// Signal generators and measurements shared by all tests.

#include <cmath>
#include <cstdint>
#include <vector>

namespace testsig
{
inline constexpr double kTwoPi = 6.283185307179586;

/** A stereo signal as two equal-length vectors. */
struct Stereo
{
    std::vector<float> left, right;

    Stereo() = default;
    explicit Stereo (size_t n, float value = 0.0f) : left (n, value), right (n, value) {}
    Stereo (std::vector<float> l, std::vector<float> r) : left (std::move (l)), right (std::move (r)) {}

    size_t size() const { return left.size(); }
};

inline std::vector<float> sine (double hz, double sampleRate, size_t n, float amplitude = 0.5f, double phase = 0.0)
{
    std::vector<float> out (n);
    for (size_t i = 0; i < n; ++i)
        out[i] = amplitude * (float) std::sin (kTwoPi * hz * (double) i / sampleRate + phase);
    return out;
}

inline std::vector<float> impulse (size_t n, size_t at = 0, float value = 1.0f)
{
    std::vector<float> out (n, 0.0f);
    if (at < n)
        out[at] = value;
    return out;
}

/** Deterministic white noise in -amplitude ... +amplitude. */
inline std::vector<float> noise (size_t n, float amplitude = 0.5f, std::uint32_t seed = 12345u)
{
    std::vector<float> out (n);
    std::uint32_t s = seed ? seed : 1u;
    for (auto& x : out)
    {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        x = amplitude * ((float) (s >> 8) / 8388608.0f - 1.0f);
    }
    return out;
}

inline double toDb (double linear) { return 20.0 * std::log10 (std::max (linear, 1.0e-12)); }

/** Amplitude and phase (radians) of the component at hz in x[from, from + count), measured by
    correlation with a sine and a cosine. Use a whole number of cycles for an exact reading. */
struct Tone
{
    double amplitude;
    double phase;
};

inline Tone measureTone (const std::vector<float>& x, double hz, double sampleRate, size_t from, size_t count)
{
    double s = 0.0, c = 0.0;
    for (size_t i = from; i < from + count && i < x.size(); ++i)
    {
        const double w = kTwoPi * hz * (double) i / sampleRate;
        s += x[i] * std::sin (w);
        c += x[i] * std::cos (w);
    }
    return { 2.0 * std::sqrt (s * s + c * c) / (double) count, std::atan2 (c, s) };
}

/** Level in dB of the steady-state tone at hz, measured over the second half of x (whole cycles). */
inline double toneLevelDb (const std::vector<float>& x, double hz, double sampleRate)
{
    const size_t half = x.size() / 2;
    const auto cycles = std::floor ((double) half * hz / sampleRate);
    const auto count = (size_t) std::lround (cycles * sampleRate / hz);
    return toDb (measureTone (x, hz, sampleRate, x.size() - count, count).amplitude);
}

inline double peak (const std::vector<float>& x, size_t from = 0)
{
    double p = 0.0;
    for (size_t i = from; i < x.size(); ++i)
        p = std::max (p, (double) std::abs (x[i]));
    return p;
}

inline bool allFinite (const std::vector<float>& x)
{
    for (auto v : x)
        if (! std::isfinite (v))
            return false;
    return true;
}

/** Index of the largest absolute sample: where an impulse came out. */
inline size_t peakIndex (const std::vector<float>& x)
{
    size_t best = 0;
    for (size_t i = 1; i < x.size(); ++i)
        if (std::abs (x[i]) > std::abs (x[best]))
            best = i;
    return best;
}
} // namespace testsig
