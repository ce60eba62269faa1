#pragma once

// Signal generators and measurements shared by all tests.

#include <algorithm>
#include <cmath>
#include <complex>
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
/** In-place radix-2 FFT; the size must be a power of two. */
inline void fft (std::vector<std::complex<double>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i)
    {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap (a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1)
    {
        const auto step = std::polar (1.0, -kTwoPi / (double) len);
        for (size_t i = 0; i < n; i += len)
        {
            std::complex<double> w = 1.0;
            for (size_t k = 0; k < len / 2; ++k)
            {
                const auto u = a[i + k];
                const auto v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
}

/** Average power spectrum of x[from ...] in Hann-windowed frames (half overlapping); element k is
    the power at k * sampleRate / frame Hz. */
inline std::vector<double> powerSpectrum (const std::vector<float>& x, size_t from = 0, size_t frame = 1024)
{
    std::vector<double> power (frame / 2, 0.0);
    std::vector<std::complex<double>> buffer (frame);
    for (size_t start = from; start + frame <= x.size(); start += frame / 2)
    {
        for (size_t k = 0; k < frame; ++k)
            buffer[k] = (0.5 - 0.5 * std::cos (kTwoPi * (double) k / (double) frame)) * x[start + k];
        fft (buffer);
        for (size_t bin = 0; bin < frame / 2; ++bin)
            power[bin] += std::norm (buffer[bin]);
    }
    return power;
}

/** Strongest bin (power) between two frequencies, in dB relative to the strongest bin of another
    range: how far a stop band sits below a pass band. */
inline double bandPeakRelativeDb (const std::vector<double>& power, double sampleRate, double fromHz, double toHz,
                                  double refFromHz, double refToHz)
{
    const double binHz = sampleRate / (2.0 * (double) power.size());
    const auto peakIn = [&] (double lo, double hi) {
        double p = 1.0e-300;
        for (size_t bin = (size_t) std::ceil (lo / binHz); bin < power.size() && (double) bin * binHz <= hi; ++bin)
            p = std::max (p, power[bin]);
        return p;
    };
    return 10.0 * std::log10 (peakIn (fromHz, toHz) / peakIn (refFromHz, refToHz));
}
} // namespace testsig
