#include "dsp/StereoDelayLine.h"

#include <algorithm>

namespace kt
{
void StereoDelayLine::prepare (int newCapacity, int newDelay)
{
    capacity = std::max (0, newCapacity);
    left.assign ((size_t) capacity + 1, 0.0f);
    right.assign ((size_t) capacity + 1, 0.0f);
    writeIndex = 0;
    delay = std::clamp (newDelay, 0, capacity);
}

void StereoDelayLine::reset() noexcept
{
    std::fill (left.begin(), left.end(), 0.0f);
    std::fill (right.begin(), right.end(), 0.0f);
    writeIndex = 0;
}
} // namespace kt
