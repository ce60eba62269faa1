#pragma once

#include "dsp/Biquad.h"
#include "dsp/StereoSample.h"

namespace kt
{
/** Fourth-order Linkwitz-Riley crossover for a stereo pair: two cascaded Butterworth low-pass
    sections give the low band, two cascaded Butterworth high-pass sections the high band. */
class StereoLR4Split
{
public:
    void setFrequency (float hz, double sampleRate) noexcept;
    void reset() noexcept;

    void process (StereoSample in, StereoSample& low, StereoSample& high) noexcept
    {
        low.left = lowLeft2.process (lowLeft1.process (in.left));
        high.left = highLeft2.process (highLeft1.process (in.left));
        low.right = lowRight2.process (lowRight1.process (in.right));
        high.right = highRight2.process (highRight1.process (in.right));
    }

private:
    Biquad lowLeft1, lowLeft2, highLeft1, highLeft2;
    Biquad lowRight1, lowRight2, highRight1, highRight2;
};

/** The sum of a Linkwitz-Riley split's two bands: flat magnitude with the crossover's phase. Passing
    a lower band through it lines its phase up with the bands split off above it. */
class StereoLR4Allpass
{
public:
    void setFrequency (float hz, double sampleRate) noexcept { split.setFrequency (hz, sampleRate); }
    void reset() noexcept { split.reset(); }

    StereoSample process (StereoSample in) noexcept
    {
        StereoSample low, high;
        split.process (in, low, high);
        return { low.left + high.left, low.right + high.right };
    }

private:
    StereoLR4Split split;
};
} // namespace kt
