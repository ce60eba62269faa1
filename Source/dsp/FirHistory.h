#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace kt
{
/** Input history for a direct-form FIR, kept twice over so the newest N samples always sit in one
    contiguous run, newest first: the convolution is then a plain dot product with no index
    wrapping, which the compiler can vectorise. */
class FirHistory
{
public:
    /** Sizes for n taps and clears (allocates: call while audio is stopped). */
    void prepare (int n)
    {
        length = n;
        data.assign ((size_t) (2 * n), 0.0f);
        start = 0;
    }

    void reset() noexcept
    {
        std::fill (data.begin(), data.end(), 0.0f);
        start = 0;
    }

    /** Adds the newest sample; returns the window: window[k] is the sample k steps old. */
    const float* push (float x) noexcept
    {
        start = start == 0 ? length - 1 : start - 1;
        data[(size_t) start] = x;
        data[(size_t) (start + length)] = x;
        return data.data() + start;
    }

    int size() const noexcept { return length; }

private:
    std::vector<float> data;
    int start = 0;
    int length = 0;
};

/** Sum of a[k] * b[k] over n values. Eight running partial sums let the compiler use vector
    registers without reordering a single sum (no fast-math needed). */
inline float dotProduct (const float* a, const float* b, int n) noexcept
{
    float partial[8] = {};
    int k = 0;
    for (; k + 8 <= n; k += 8)
        for (int lane = 0; lane < 8; ++lane)
            partial[lane] += a[k + lane] * b[k + lane];

    float sum = ((partial[0] + partial[1]) + (partial[2] + partial[3])) + ((partial[4] + partial[5]) + (partial[6] + partial[7]));
    for (; k < n; ++k)
        sum += a[k] * b[k];
    return sum;
}
} // namespace kt
