#include "dsp/OutputBandLimit.h"

#include "dsp/LowpassFIR.h"

#include <algorithm>
#include <cmath>

namespace kt
{
void OutputBandLimit::prepare (double newSampleRate, float initialCornerHz)
{
    sampleRate = newSampleRate;
    taps = 2 * std::max (8, (int) std::lround (0.0016 * sampleRate)) + 1;

    coefficientSets[0] = designLowpassFIR (sampleRate, 15000.0f, taps);
    coefficientSets[1] = designLowpassFIR (sampleRate, 16000.0f, taps);
    coefficientSets[2] = designLowpassFIR (sampleRate, 16500.0f, taps);
    coefficientSets[3] = designLowpassFIR (sampleRate, 0.0f, taps);

    currentSet = setIndexFor (initialCornerHz);
    left.prepare (coefficientSets[(size_t) currentSet]);
    right.prepare (coefficientSets[(size_t) currentSet]);
}

void OutputBandLimit::reset() noexcept
{
    left.reset();
    right.reset();
}

int OutputBandLimit::setIndexFor (float cornerHz) noexcept
{
    if (cornerHz <= 0.0f)
        return 3;
    if (cornerHz < 15500.0f)
        return 0;
    if (cornerHz < 16250.0f)
        return 1;
    return 2;
}

void OutputBandLimit::setCorner (float cornerHz, float morphMs) noexcept
{
    const int index = setIndexFor (cornerHz);
    if (index == currentSet || currentSet < 0)
        return;

    currentSet = index;
    const int steps = std::max (1, (int) std::lround (morphMs * sampleRate * 0.001));
    left.glideTo (coefficientSets[(size_t) index], steps);
    right.glideTo (coefficientSets[(size_t) index], steps);
}
} // namespace kt
