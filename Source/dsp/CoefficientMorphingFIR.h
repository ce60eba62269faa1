#pragma once

#include "dsp/FirHistory.h"

#include <vector>

namespace kt
{
/** Direct-form FIR whose taps can glide linearly to another set of the same length, so a change of
    response never clicks and never changes the delay. Until prepared it passes its input. */
class CoefficientMorphingFIR
{
public:
    /** Takes the taps and clears the history (allocates: call while audio is stopped). */
    void prepare (std::vector<float> taps);
    void reset() noexcept { history.reset(); }

    /** Starts a glide to target over `steps` samples (at least 1), from wherever the taps are now.
        A target of another length is ignored. */
    void glideTo (const std::vector<float>& target, int steps) noexcept;

    float process (float x) noexcept
    {
        if (coefficients.empty())
            return x;

        if (morphSamplesLeft > 0)
        {
            for (size_t k = 0; k < coefficients.size(); ++k)
                coefficients[k] += stepPerSample[k];
            if (--morphSamplesLeft == 0)
                coefficients = targetCoefficients; // end exactly on the target (same size: no allocation)
        }

        const float* window = history.push (x);
        return dotProduct (coefficients.data(), window, (int) coefficients.size());
    }

    const std::vector<float>& getCoefficients() const noexcept { return coefficients; }
    int getMorphSamplesLeft() const noexcept { return morphSamplesLeft; }

private:
    std::vector<float> coefficients;
    std::vector<float> targetCoefficients;
    std::vector<float> stepPerSample;
    FirHistory history;
    int morphSamplesLeft = 0;
};
} // namespace kt
