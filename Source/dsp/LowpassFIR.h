#pragma once

#include <vector>

namespace kt
{
/** Linear-phase low-pass: a Kaiser-windowed sinc (beta 8.6) normalised to unity DC gain. An even tap
    count gets one tap more; a cutoff of 0 or less gives a centred unit impulse (a pure delay of
    (taps - 1) / 2 samples). The cutoff is kept within 200 Hz ... 0.48 * sampleRate. The last
    argument is accepted for compatibility and has no effect. */
std::vector<float> designLowpassFIR (double sampleRate, float cutoffHz, int taps, bool unused = false);
} // namespace kt
