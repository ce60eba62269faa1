#pragma once

namespace kt
{
/** One stereo sample frame: left then right. Passed and returned by value. */
struct StereoSample
{
    float left = 0.0f;
    float right = 0.0f;
};
} // namespace kt
