#pragma once

namespace kt
{
/** One second-order section in transposed direct form II, coefficients normalised to a0 = 1.
    A new section passes the signal unchanged. The design functions follow the RBJ cookbook in
    single precision; every corner is first limited to 1 Hz ... 0.49 * sampleRate. */
class Biquad
{
public:
    float process (float x) noexcept
    {
        const float y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }

    void reset() noexcept { z1 = z2 = 0.0f; }

    /** Takes another section's design and keeps this section's state. */
    void copyCoefficientsFrom (const Biquad& other) noexcept
    {
        b0 = other.b0;
        b1 = other.b1;
        b2 = other.b2;
        a1 = other.a1;
        a2 = other.a2;
    }

    void setHighPass (float hz, float q, double sampleRate) noexcept;
    void setLowPass (float hz, float q, double sampleRate) noexcept;
    /** Low shelf with shelf slope 1; gain in dB is the level well below the corner. */
    void setLowShelf (float hz, float gainDb, double sampleRate) noexcept;
    void setPeaking (float hz, float gainDb, float q, double sampleRate) noexcept;

    float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
    float z1 = 0.0f, z2 = 0.0f;
};
} // namespace kt
