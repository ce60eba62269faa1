#include "dsp/FirstOrderAllpass.h"

#include "dsp/DspMath.h"

#include <cmath>

namespace kt
{
void FirstOrderAllpass::setBreakFrequency (float hz, double sampleRate) noexcept
{
    const float t = std::tan (kPi * limitFrequency (hz, sampleRate) / (float) sampleRate);
    c = (t - 1.0f) / (t + 1.0f);
}
} // namespace kt
