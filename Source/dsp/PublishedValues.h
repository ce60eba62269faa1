#pragma once

#include "dsp/Presets.h"

#include <array>
#include <atomic>

namespace kt
{
/** A float written by the audio thread and read by the editor without locks. Each value stands on
    its own (relaxed ordering): a reader always sees a whole value, but two values read one after the
    other may come from consecutive samples. */
class PublishedFloat
{
public:
    PublishedFloat (float initial = 0.0f) noexcept : value (initial) {}

    void set (float v) noexcept { value.store (v, std::memory_order_relaxed); }
    float get() const noexcept { return value.load (std::memory_order_relaxed); }

private:
    std::atomic<float> value;
    static_assert (std::atomic<float>::is_always_lock_free);
};

inline constexpr int kMeterTapCount = 19;

/** The values the chain publishes for the editor. Units: linear peaks (1.0 = full scale), dB with
    gain reductions as positive numbers, Hz, microseconds, and 0/1 flags. */
struct PublishedValues
{
    std::array<PublishedFloat, kMeterTapCount> stageMeters {};
    PublishedFloat inputPeakHold, outputPeakHold;
    PublishedFloat inputPeak, outputPeak;
    PublishedFloat agcGainDb;
    std::array<PublishedFloat, kBandCount> bandGainReductionDb {};
    std::array<PublishedFloat, kBandCount> bandCompReductionDb {};
    std::array<PublishedFloat, kBandCount> bandLimitReductionDb {};
    PublishedFloat bandLinkPercent;
    PublishedFloat stereoCorrelation, outputCorrelation;
    PublishedFloat truePeakActive, truePeakReductionDb;
    PublishedFloat extremeAmount;
    PublishedFloat lfShelfGainDb;
    PublishedFloat postCompReductionDb;
    PublishedFloat inputHpfHz { 20.0f };
    PublishedFloat finalLowpassHz { 16000.0f };
    PublishedFloat monoBassHz { 120.0f };
    PublishedFloat preEmphasisUs;
    PublishedFloat clipperDriveDb;
    PublishedFloat hfLimiterReductionDb;
    PublishedFloat fmClipperActivityDb;
    PublishedFloat bassClipperReductionDb;
    PublishedFloat inputTrimDb;
    PublishedFloat autoInputOn, autoInputState, lowInputWarning;
    PublishedFloat processingActivity;
};
} // namespace kt
