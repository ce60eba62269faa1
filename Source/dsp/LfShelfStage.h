#pragma once

#include "dsp/Biquad.h"
#include "dsp/DspMath.h"
#include "dsp/Presets.h"
#include "dsp/StereoSample.h"

#include <algorithm>
#include <cmath>

namespace kt
{
/** Dynamic bass boost: a low-passed copy of the signal is added back, strongest when the programme's
    bass is quiet and nothing once it is already loud. The boost follows the bass level (80 ms power
    average) with a 150 ms glide. */
class LfShelfStage
{
public:
    void prepare (double newSampleRate) noexcept;
    void applyPreset (const PresetRecord& preset) noexcept;

    /** When switched off (but in use by the preset) the input passes while the boost keeps
        following the bass. */
    StereoSample process (StereoSample x, bool switchedOn) noexcept
    {
        if (! enabled)
            return x;

        const float y = detector.process (0.5f * (x.left + x.right));
        power = powerCoeff * power + (1.0f - powerCoeff) * y * y;
        if (power < 1.0e-20f)
            power = 0.0f;

        const float level = gainToDb (std::sqrt (std::max (power, 0.0f)));
        float wanted = 0.0f;
        if (level <= fullBoostBelowDb)
            wanted = maxBoostDb;
        else if (level < noBoostAboveDb)
            wanted = maxBoostDb * (noBoostAboveDb - level) / (noBoostAboveDb - fullBoostBelowDb);

        gainDb = gainCoeff * gainDb + (1.0f - gainCoeff) * wanted;

        const float g = dbToGain (gainDb) - 1.0f;
        const StereoSample out { x.left + g * bandLeft.process (x.left), x.right + g * bandRight.process (x.right) };
        return switchedOn ? out : x;
    }

    double sampleRate = 48000.0;
    bool enabled = true;
    float cornerHz = 120.0f;
    float maxBoostDb = 3.0f;
    float fullBoostBelowDb = -32.0f;
    float noBoostAboveDb = -14.0f;
    Biquad bandLeft, bandRight;
    Biquad detector;
    float powerCoeff = 0.0f;
    float power = 0.0f;
    float gainDb = 0.0f;
    float gainCoeff = 0.0f;

private:
    void designSections() noexcept;
};
} // namespace kt
