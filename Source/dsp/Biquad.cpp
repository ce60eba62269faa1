#include "dsp/Biquad.h"

#include "dsp/DspMath.h"

#include <cmath>

namespace kt
{
namespace
{
    float angularFrequency (float hz, double sampleRate) noexcept
    {
        return 2.0f * kPi * limitFrequency (hz, sampleRate) / (float) sampleRate;
    }
} // namespace

void Biquad::setHighPass (float hz, float q, double sampleRate) noexcept
{
    const float w = angularFrequency (hz, sampleRate);
    const float cosW = std::cos (w);
    const float alpha = std::sin (w) / (2.0f * q);
    const float a0 = 1.0f + alpha;
    b0 = (1.0f + cosW) * 0.5f / a0;
    b1 = -(1.0f + cosW) / a0;
    b2 = b0;
    a1 = -2.0f * cosW / a0;
    a2 = (1.0f - alpha) / a0;
}

void Biquad::setLowPass (float hz, float q, double sampleRate) noexcept
{
    const float w = angularFrequency (hz, sampleRate);
    const float cosW = std::cos (w);
    const float alpha = std::sin (w) / (2.0f * q);
    const float a0 = 1.0f + alpha;
    b0 = (1.0f - cosW) * 0.5f / a0;
    b1 = (1.0f - cosW) / a0;
    b2 = b0;
    a1 = -2.0f * cosW / a0;
    a2 = (1.0f - alpha) / a0;
}

void Biquad::setLowShelf (float hz, float gainDb, double sampleRate) noexcept
{
    const float w = angularFrequency (hz, sampleRate);
    const float cosW = std::cos (w);
    const float A = std::pow (10.0f, gainDb / 40.0f);
    const float alpha = std::sin (w) * 0.5f * std::sqrt (2.0f);
    const float beta = 2.0f * std::sqrt (A) * alpha;
    const float a0 = (A + 1.0f) + (A - 1.0f) * cosW + beta;
    b0 = A * ((A + 1.0f) - (A - 1.0f) * cosW + beta) / a0;
    b1 = 2.0f * A * ((A - 1.0f) - (A + 1.0f) * cosW) / a0;
    b2 = A * ((A + 1.0f) - (A - 1.0f) * cosW - beta) / a0;
    a1 = -2.0f * ((A - 1.0f) + (A + 1.0f) * cosW) / a0;
    a2 = ((A + 1.0f) + (A - 1.0f) * cosW - beta) / a0;
}

void Biquad::setPeaking (float hz, float gainDb, float q, double sampleRate) noexcept
{
    const float w = angularFrequency (hz, sampleRate);
    const float cosW = std::cos (w);
    const float A = std::pow (10.0f, gainDb / 40.0f);
    const float alpha = std::sin (w) / (2.0f * q);
    const float a0 = 1.0f + alpha / A;
    b0 = (1.0f + alpha * A) / a0;
    b1 = -2.0f * cosW / a0;
    b2 = (1.0f - alpha * A) / a0;
    a1 = b1;
    a2 = (1.0f - alpha / A) / a0;
}
} // namespace kt
