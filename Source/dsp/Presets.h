#pragma once

#include <array>

namespace kt
{
inline constexpr int kPresetCount = 9;
inline constexpr int kBandCount = 5;

using BandValues = std::array<float, kBandCount>;

/** Everything a factory preset sets: the texts the faceplate shows and every preset-dependent
    setting of every stage. Settings that EXTREME bends hold their EXTREME-0 values here. */
struct PresetRecord
{
    const char* name;
    std::array<const char*, 4> descriptionLines;

    // AGC
    float agcTargetDb;
    float agcRatio;
    float agcMaxCutDb;
    float agcMaxBoostDb;
    float agcCutRateDbPerSec;
    float agcBoostRateDbPerSec;
    float agcGateOpenDb;
    float agcGateFreezeDb;
    float agcSidechainShelfDb;

    // Post compressor
    bool postCompEnabled;
    float postCompThresholdDb;
    float postCompRatio;
    float postCompAttackMs;
    float postCompReleaseMs;
    float postCompMaxReductionDb;

    // Dynamic LF shelf
    bool lfShelfEnabled;
    float lfShelfHz;
    float lfShelfMaxBoostDb;
    float lfShelfFullBoostBelowDb;
    float lfShelfNoBoostAboveDb;

    // Multiband
    bool multibandOn;
    float bandLink;
    BandValues bandThresholdDb;
    BandValues bandRatio;
    BandValues bandAttackMs;
    BandValues bandReleaseMs;
    float bandCeilingDb;
    BandValues bandLimiterReleaseMs;
    BandValues bandGainDb;

    // Stereo width and mono bass
    float stereoWidthDb;
    float monoBassHz;
    float sideLowpassHz;
    float midHighpassHz;
    float correlationThreshold;

    // FM clipper, emphasis and HF limiter
    float clipDriveDb;
    float clipCeiling;
    float clipSoftness;
    float preEmphasisUs;
    bool hfLimiterOn;
    float hfThresholdDb;
    float hfMaxReductionDb;
    float hfReleaseMs;
    bool preEmphasisOn;
    bool deEmphasisOn;

    // Bass clipper
    bool bassClipOn;
    float bassSplitHz;
    float bassSmoothHz;
    float bassDriveDb;
    float bassSoftness;

    // Fixed filters, band limit and true-peak limiter
    float inputHpfHz;
    float outputHpfHz;
    float finalLowpassHz;
    float truePeakCeilingDb;
    float truePeakReleaseMs;

    // Words the graph display shows with the preset
    const char* densityLabel;
    const char* dynamicsLabel;
    const char* widthLabel;
};

extern const std::array<PresetRecord, kPresetCount> kPresets;
} // namespace kt
