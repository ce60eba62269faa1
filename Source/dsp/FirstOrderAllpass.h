#pragma once

namespace kt
{
/** First-order allpass: unity magnitude, 90 degrees of phase shift at the break frequency. */
class FirstOrderAllpass
{
public:
    float process (float x) noexcept
    {
        const float y = c * x + x1 - c * y1;
        x1 = x;
        y1 = y;
        return y;
    }

    void reset() noexcept { x1 = y1 = 0.0f; }

    void setBreakFrequency (float hz, double sampleRate) noexcept;

    float c = 0.0f, x1 = 0.0f, y1 = 0.0f;
};
} // namespace kt
