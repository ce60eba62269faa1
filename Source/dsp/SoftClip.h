#pragma once

#include "dsp/DspMath.h"

#include <algorithm>
#include <cmath>

namespace kt
{
/** Knee of the soft clip: where the curve leaves the straight line. Softness is limited to 0 ... 0.98,
    so the knee never starts below 2 % of the ceiling. */
inline float softClipKnee (float ceiling, float softness) noexcept
{
    return (1.0f - std::clamp (softness, 0.0f, 0.98f)) * ceiling;
}

/** The soft clip law: linear up to the knee, then a tanh curve into the ceiling. */
inline float softClip (float v, float ceiling, float knee) noexcept
{
    const float magnitude = std::abs (v);
    if (magnitude <= knee)
        return v;
    const float clipped = std::min (ceiling, knee + (ceiling - knee) * std::tanh ((magnitude - knee) / (ceiling - knee + 1.0e-9f)));
    return v < 0.0f ? -clipped : clipped;
}
/** How deep a sample was clipped, in dB (0 at or below the knee and for near-silence). */
inline float softClipDepthDb (float v, float clipped, float knee) noexcept
{
    const float magnitude = std::abs (v);
    if (magnitude <= 1.0e-6f || magnitude <= knee)
        return 0.0f;
    return std::max (0.0f, gainToDb (magnitude / (std::abs (clipped) + 1.0e-9f)));
}
} // namespace kt
