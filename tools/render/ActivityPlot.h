#pragma once

// The picture of a render that --plot draws: what the processor did over time.

#include "LoudnessMeter.h"
#include "dsp/PublishedValues.h"

#include <juce_graphics/juce_graphics.h>

#include <array>
#include <vector>

namespace kt::tools
{
/** One moment of the timeline. Reductions are the largest in the interval that ends here, in dB
    (positive); loudness is the short-term loudness at this moment (minus infinity when silent). */
struct ActivityPoint
{
    double seconds = 0.0;
    float inputLufs = 0.0f, outputLufs = 0.0f;
    float agcGainDb = 0.0f;             ///< the AGC's gain at the end of the interval
    float postCompressorDb = 0.0f;
    std::array<float, kt::kBandCount> bandDb {};
    float hfLimiterDb = 0.0f, fmClipperDb = 0.0f, bassClipperDb = 0.0f, truePeakLimiterDb = 0.0f;
};

/** Collects the timeline while rendering, in a fixed number of intervals whatever the length (at
    least 100 ms each), so a long file takes no more memory than a short one. */
class ActivityTimeline
{
public:
    static constexpr int defaultMaxPoints = 1000; ///< about one per pixel column of the picture

    ActivityTimeline (juce::int64 totalSamples, double sampleRate, int maxPoints = defaultMaxPoints);

    /** After each block, with the number of programme samples in it (0 while the latency is
        flushed at the end): the processor's published values and the two meters, which already
        include the block. */
    void addBlock (int numSamples, const kt::PublishedValues& published, const LoudnessMeter& input, const LoudnessMeter& output);

    const std::vector<ActivityPoint>& points() const { return timeline; }
    double totalSeconds() const { return (double) totalSamples / sampleRate; }
    int capacity() const { return maxPoints; }

private:
    juce::int64 totalSamples;
    double sampleRate;
    int maxPoints;
    juce::int64 interval;
    juce::int64 position = 0, nextPoint;
    ActivityPoint pending;
    std::vector<ActivityPoint> timeline;
};

/** A line of the picture: its name in the legend, its colour, the panel it is in (0 loudness,
    1 AGC and post compressor, 2 multiband, 3 limiters and clippers) and how to read it from a point.
    Reductions are drawn downward, as gain. Every other line of the reduction panels is dashed, so
    one that runs on top of another (linked bands) still lets it show. */
struct PlotSeries
{
    const char* name;
    juce::Colour colour;
    int panel;
    float (*value) (const ActivityPoint&);
    bool dashed = false;
};

inline constexpr int kPlotPanelCount = 4;

/** Every line of the picture, in drawing order. */
const std::vector<PlotSeries>& plotSeries();

/** Where things are in the picture. */
struct PlotLayout
{
    int width = 1200, height = 900;
    std::array<juce::Rectangle<int>, kPlotPanelCount> panels; ///< the data areas, inside the axes
    juce::Rectangle<int> legendColumn;
};

PlotLayout plotLayout();

/** Draws the picture: the four panels on one time axis, each with its axis labels and legend, and
    a title and subtitle above. */
juce::Image drawActivityPlot (const ActivityTimeline& timeline, const juce::String& title, const juce::String& subtitle);
} // namespace kt::tools
