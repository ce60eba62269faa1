#pragma once

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
} // namespace kt
