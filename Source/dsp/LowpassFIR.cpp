#include "dsp/LowpassFIR.h"

#include "dsp/DspMath.h"

#include <algorithm>
#include <cmath>

namespace kt
{
namespace
{
    constexpr float kKaiserBeta = 8.6f;
    constexpr float kBesselI0OfBeta = 750.4613f; // I0(8.6): the window's peak, scaled to 1

    /** Modified Bessel function of the first kind, order 0, by its power series. */
    float besselI0 (float a) noexcept
    {
        const float quarterASquared = a * a * 0.25f;
        float term = 1.0f;
        float sum = 1.0f;
        for (int k = 1; k <= 19; ++k)
        {
            term *= quarterASquared / (float) (k * k);
            sum += term;
            if (term < 1.0e-8f * sum)
                break;
        }
        return sum;
    }
} // namespace

std::vector<float> designLowpassFIR (double sampleRate, float cutoffHz, int taps, bool)
{
    const int n = std::max (1, taps % 2 == 1 ? taps : taps + 1);
    std::vector<float> h ((size_t) n, 0.0f);
    const int centre = (n - 1) / 2;

    // A single tap (or no cutoff) can only be a unit impulse: the window needs a centre distance.
    if (cutoffHz <= 0.0f || n < 3)
    {
        h[(size_t) centre] = 1.0f;
        return h;
    }

    const float fc = std::max (200.0f, std::min ((float) (0.48 * sampleRate), cutoffHz)) / (float) sampleRate;
    float sum = 0.0f;
    for (int i = 0; i < n; ++i)
    {
        const int k = i - centre;
        const float ideal = k == 0 ? 2.0f * fc : std::sin (2.0f * kPi * fc * (float) k) / (kPi * (float) k);
        const float r = (float) k / (float) centre;
        const float window = besselI0 (kKaiserBeta * std::sqrt (std::max (0.0f, 1.0f - r * r))) / kBesselI0OfBeta;
        h[(size_t) i] = ideal * window;
        sum += h[(size_t) i];
    }

    if (std::abs (sum) > 1.0e-9f)
        for (auto& tap : h)
            tap /= sum;
    return h;
}
} // namespace kt
