#include "dsp/AgcStage.h"

#include "dsp/DspMath.h"

#include <algorithm>
#include <cmath>

namespace kt
{
namespace
{
    constexpr float kDetectorHighPassHz = 28.0f;
    constexpr float kDetectorShelfHz = 140.0f;
    constexpr float kPresenceHz = 2800.0f;
    constexpr float kPresenceDb = 1.5f;
    constexpr float kPresenceQ = 0.8f;
} // namespace

void AgcStage::prepare (double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    blockCounter = 0;
    sumOfSquares = 0.0f;
    gainDb = 0.0f;
    appliedGain = 1.0f;
    detector[0].setHighPass (kDetectorHighPassHz, kButterworthQ, sampleRate);
    designShelf();
    detector[2].setPeaking (kPresenceHz, kPresenceDb, kPresenceQ, sampleRate);
    for (auto& section : detector)
        section.reset();
}

void AgcStage::applyPreset (const PresetRecord& p) noexcept
{
    sidechainShelfDb = p.agcSidechainShelfDb;
    targetDb = p.agcTargetDb;
    ratio = p.agcRatio;
    maxCutDb = p.agcMaxCutDb;
    maxBoostDb = p.agcMaxBoostDb;
    cutRateDbPerSec = p.agcCutRateDbPerSec;
    boostRateDbPerSec = p.agcBoostRateDbPerSec;
    gateOpenDb = p.agcGateOpenDb;
    gateFreezeDb = p.agcGateFreezeDb;
    designShelf();
}

void AgcStage::refresh (const PresetRecord& p, float x) noexcept
{
    applyPreset (p);
    targetDb = p.agcTargetDb + 1.2f * x;
    cutRateDbPerSec = p.agcCutRateDbPerSec * (1.0f + 0.25f * x);
    boostRateDbPerSec = p.agcBoostRateDbPerSec * (1.0f + 0.3f * x);
}

void AgcStage::designShelf() noexcept
{
    detector[1].setLowShelf (kDetectorShelfHz, sidechainShelfDb, sampleRate);
}

void AgcStage::updateGain() noexcept
{
    const float level = gainToDb (std::sqrt (std::max (sumOfSquares * 0.015625f, 1.0e-12f)));

    float desired = (targetDb - level) * (1.0f - 1.0f / std::max (ratio, 1.01f));
    desired = std::clamp (desired, -maxCutDb, maxBoostDb);

    // Pauses must not pump the level up: below the gate the gain may not rise (a smooth fraction of
    // the rise between freeze and open). Cuts are never gated.
    if (desired > gainDb && level < gateOpenDb)
    {
        if (level <= gateFreezeDb)
        {
            desired = gainDb;
        }
        else
        {
            const float t = (level - gateFreezeDb) / std::max (1.0f, gateOpenDb - gateFreezeDb);
            const float s = t * t * (3.0f - 2.0f * t);
            desired = gainDb + (desired - gainDb) * s;
        }
    }

    const float step = (float) (64.0 / sampleRate);
    if (gainDb > desired)
        gainDb = std::max (gainDb - step * cutRateDbPerSec, desired);
    else
        gainDb = std::min (gainDb + step * boostRateDbPerSec, desired);

    appliedGain = dbToGain (gainDb);
    blockCounter = 0;
    sumOfSquares = 0.0f;
}
} // namespace kt
