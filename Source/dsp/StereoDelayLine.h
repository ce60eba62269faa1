#pragma once

#include "dsp/StereoSample.h"

#include <cstddef>
#include <vector>

namespace kt
{
/** Fixed delay for a stereo pair. The read follows the write, so a delay of 0 returns the current
    input. Until it is sized the line passes its input straight through. */
class StereoDelayLine
{
public:
    /** Sizes both rings to capacity + 1 zeros (allocates: call while audio is stopped) and sets the
        delay, limited to 0 ... capacity. */
    void prepare (int newCapacity, int newDelay);

    /** Zeroes both rings and the write index; keeps the size and the delay. */
    void reset() noexcept;

    StereoSample process (StereoSample in) noexcept
    {
        const int length = (int) left.size();
        if (length == 0)
            return in;

        left[(size_t) writeIndex] = in.left;
        right[(size_t) writeIndex] = in.right;

        int readIndex = writeIndex - delay;
        while (readIndex < 0)
            readIndex += length;

        if (++writeIndex >= length)
            writeIndex = 0;

        return { left[(size_t) readIndex], right[(size_t) readIndex] };
    }

    int getDelay() const noexcept { return delay; }
    int getCapacity() const noexcept { return capacity; }
    bool isEmpty() const noexcept { return left.empty(); }

private:
    std::vector<float> left, right;
    int writeIndex = 0;
    int delay = 0;
    int capacity = 0;
};
} // namespace kt
