#include "dsp/CoefficientMorphingFIR.h"

#include <algorithm>

namespace kt
{
void CoefficientMorphingFIR::prepare (std::vector<float> taps)
{
    coefficients = std::move (taps);
    targetCoefficients = coefficients;
    stepPerSample.assign (coefficients.size(), 0.0f);
    history.prepare ((int) coefficients.size());
    morphSamplesLeft = 0;
}

void CoefficientMorphingFIR::glideTo (const std::vector<float>& target, int steps) noexcept
{
    if (target.size() != coefficients.size() || coefficients.empty())
        return;

    steps = std::max (1, steps);
    std::copy (target.begin(), target.end(), targetCoefficients.begin());
    for (size_t k = 0; k < coefficients.size(); ++k)
        stepPerSample[k] = (targetCoefficients[k] - coefficients[k]) / (float) steps;
    morphSamplesLeft = steps;
}
} // namespace kt
