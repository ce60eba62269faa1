#pragma once

#include <algorithm>
#include <cmath>

namespace kt
{
/** One stereo sample frame: left then right. Passed and returned by value. */
struct StereoSample
{
    float left = 0.0f;
    float right = 0.0f;
};

/** The larger absolute value of the two channels. */
inline float peakOf (StereoSample s) noexcept { return std::max (std::abs (s.left), std::abs (s.right)); }
} // namespace kt
