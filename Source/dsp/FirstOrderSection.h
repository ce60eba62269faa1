#pragma once

namespace kt
{
/** First-order IIR section: y = b0 * x + b1 * x1 - a1 * y1. A new section passes the signal. */
struct FirstOrderSection
{
    float b0 = 1.0f, b1 = 0.0f, a1 = 0.0f;
    float x1 = 0.0f, y1 = 0.0f;

    float process (float x) noexcept
    {
        const float y = b0 * x + b1 * x1 - a1 * y1;
        x1 = x;
        y1 = y;
        return y;
    }

    void reset() noexcept { x1 = y1 = 0.0f; }

    /** Bilinear transform (no prewarping, K = 2 * sampleRate) of (1 + s * zeroTau) / (1 + s * poleTau). */
    void setBilinear (float zeroTau, float poleTau, float twiceSampleRate) noexcept
    {
        const float kz = twiceSampleRate * zeroTau;
        const float kp = twiceSampleRate * poleTau;
        b0 = (1.0f + kz) / (1.0f + kp);
        b1 = (1.0f - kz) / (1.0f + kp);
        a1 = (1.0f - kp) / (1.0f + kp);
    }

    void setIdentity() noexcept
    {
        b0 = 1.0f;
        b1 = 0.0f;
        a1 = 0.0f;
    }
};
} // namespace kt
