#pragma once

#include "dsp/Biquad.h"
#include "dsp/DspMath.h"
#include "dsp/Presets.h"
#include "dsp/SoftClip.h"
#include "dsp/StereoSample.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kt
{
/** Holds strong bass peaks firm: the low bass is split off, driven into a soft clipper with a fixed
    0.92 ceiling, smoothed and put back in place of the unclipped bass. Inactive (preset or switch),
    it passes the signal and its filters freeze. */
class BassClipper
{
public:
    static constexpr float ceiling = 0.92f;

    void prepare (double newSampleRate) noexcept;
    void reset() noexcept;
    void applyPreset (const PresetRecord& preset) noexcept;
    /** The 64-sample refresh: the switch, and EXTREME's extra drive and harder knee. */
    void refresh (const PresetRecord& preset, float extremeAmount, bool switchedOn) noexcept;

    StereoSample process (StereoSample in) noexcept
    {
        if (! active)
        {
            reductionDb *= reductionRelease;
            return in;
        }

        const float loL = splitLowpass[0].process (in.left);
        const float loR = splitLowpass[1].process (in.right);
        const float vL = loL * driveGain, vR = loR * driveGain;
        const float cL = softClip (vL, ceiling, knee), cR = softClip (vR, ceiling, knee);
        reductionDb = std::max (reductionDb * reductionRelease,
                                std::max (softClipDepthDb (vL, cL, knee), softClipDepthDb (vR, cR, knee)));

        return { in.left - loL + smoothLowpass[0].process (cL), in.right - loR + smoothLowpass[1].process (cR) };
    }

    double sampleRate = 48000.0;
    bool active = true;
    float splitHz = 80.0f;
    float smoothHz = 150.0f;
    float driveDb = 0.0f;
    float softness = 0.65f;
    std::array<Biquad, 2> splitLowpass, smoothLowpass;
    float reductionDb = 0.0f;
    float reductionRelease = 0.0f;

private:
    void copyPresetBlock (const PresetRecord& preset) noexcept;
    void updateFilters() noexcept;

    float driveGain = 1.0f;
    float knee = 0.0f;
};
} // namespace kt
