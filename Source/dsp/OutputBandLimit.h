#pragma once

#include "dsp/CoefficientMorphingFIR.h"
#include "dsp/StereoSample.h"

#include <array>
#include <vector>

namespace kt
{
/** The final band limit: a linear-phase FIR low-pass per channel with four precomputed sets
    (15 kHz, 16 kHz, 16.5 kHz, and a pure delay for "off"). A corner change that lands in another
    set's range glides the taps there, so it never clicks and the delay never changes. */
class OutputBandLimit
{
public:
    /** Designs the four sets for the rate and starts on the set for initialCornerHz. */
    void prepare (double newSampleRate, float initialCornerHz);
    void reset() noexcept;

    /** Glides to the set whose range holds cornerHz (0 or less: the pure delay) over morphMs. Nothing
        happens when that set is already the current one. */
    void setCorner (float cornerHz, float morphMs) noexcept;

    StereoSample process (StereoSample in) noexcept { return { left.process (in.left), right.process (in.right) }; }

    /** Set for a corner: 0 (15 kHz) below 15500 Hz, 1 (16 kHz) below 16250 Hz, else 2 (16.5 kHz);
        3 (pure delay) for 0 or less. */
    static int setIndexFor (float cornerHz) noexcept;

    /** The stage's delay: half the filter length. */
    int getLatencySamples() const noexcept { return (taps - 1) / 2; }

    double sampleRate = 48000.0;
    int taps = 155;
    int currentSet = -1;

    const CoefficientMorphingFIR& getLeft() const noexcept { return left; }

private:
    std::array<std::vector<float>, 4> coefficientSets;
    CoefficientMorphingFIR left, right;
};
} // namespace kt
