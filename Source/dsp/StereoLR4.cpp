#include "dsp/StereoLR4.h"

#include "dsp/DspMath.h"

#include <initializer_list>

namespace kt
{
void StereoLR4Split::setFrequency (float hz, double sampleRate) noexcept
{
    lowLeft1.setLowPass (hz, kButterworthQ, sampleRate);
    highLeft1.setHighPass (hz, kButterworthQ, sampleRate);
    for (auto* low : { &lowLeft2, &lowRight1, &lowRight2 })
        low->copyCoefficientsFrom (lowLeft1);
    for (auto* high : { &highLeft2, &highRight1, &highRight2 })
        high->copyCoefficientsFrom (highLeft1);
}

void StereoLR4Split::reset() noexcept
{
    for (auto* b : { &lowLeft1, &lowLeft2, &highLeft1, &highLeft2, &lowRight1, &lowRight2, &highRight1, &highRight2 })
        b->reset();
}
} // namespace kt
