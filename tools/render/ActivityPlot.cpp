#include "ActivityPlot.h"

#include <cmath>

namespace kt::tools
{
//==================================================================================================
ActivityTimeline::ActivityTimeline (juce::int64 total, double rate, int maxPointCount)
    : totalSamples (std::max<juce::int64> (1, total)),
      sampleRate (rate > 0.0 ? rate : 48000.0),
      maxPoints (std::max (2, maxPointCount)),
      interval (std::max ((juce::int64) std::ceil (0.1 * sampleRate), (totalSamples + maxPoints - 1) / maxPoints)),
      nextPoint (interval)
{
    timeline.reserve ((size_t) maxPoints + 1);
}

void ActivityTimeline::addBlock (int numSamples, const kt::PublishedValues& p, const LoudnessMeter& input,
                                 const LoudnessMeter& output)
{
    if (numSamples <= 0 || position >= totalSamples)
        return; // the latency flush after the programme is not part of the timeline

    pending.postCompressorDb = std::max (pending.postCompressorDb, p.postCompReductionDb.get());
    for (size_t i = 0; i < pending.bandDb.size(); ++i)
        pending.bandDb[i] = std::max (pending.bandDb[i], p.bandGainReductionDb[i].get());
    pending.hfLimiterDb = std::max (pending.hfLimiterDb, p.hfLimiterReductionDb.get());
    pending.fmClipperDb = std::max (pending.fmClipperDb, p.fmClipperActivityDb.get());
    pending.bassClipperDb = std::max (pending.bassClipperDb, p.bassClipperReductionDb.get());
    pending.truePeakLimiterDb = std::max (pending.truePeakLimiterDb, p.truePeakReductionDb.get());

    position = std::min (totalSamples, position + numSamples);
    if ((position < nextPoint && position < totalSamples) || (int) timeline.size() > maxPoints)
        return;

    // The interval is over (a long block may end several at once: it becomes one point).
    pending.seconds = (double) position / sampleRate;
    pending.inputLufs = (float) input.shortTermLufs();
    pending.outputLufs = (float) output.shortTermLufs();
    pending.agcGainDb = p.agcGainDb.get();
    timeline.push_back (pending);
    pending = {};
    nextPoint = (position / interval + 1) * interval;
}

//==================================================================================================
const std::vector<PlotSeries>& plotSeries()
{
    static const std::vector<PlotSeries> series {
        { "input", juce::Colour (0xff8a9bb0), 0, [] (const ActivityPoint& p) { return p.inputLufs; } },
        { "output", juce::Colour (0xffd35400), 0, [] (const ActivityPoint& p) { return p.outputLufs; } },
        { "AGC gain", juce::Colour (0xff1f6fb4), 1, [] (const ActivityPoint& p) { return p.agcGainDb; } },
        { "post compressor", juce::Colour (0xff9a52c7), 1, [] (const ActivityPoint& p) { return -p.postCompressorDb; } },
        { "band 1 (low)", juce::Colour (0xffa6541c), 2, [] (const ActivityPoint& p) { return -p.bandDb[0]; } },
        { "band 2", juce::Colour (0xffe0211d), 2, [] (const ActivityPoint& p) { return -p.bandDb[1]; }, true },
        { "band 3", juce::Colour (0xff2e9a2a), 2, [] (const ActivityPoint& p) { return -p.bandDb[2]; } },
        { "band 4", juce::Colour (0xff1c76b8), 2, [] (const ActivityPoint& p) { return -p.bandDb[3]; }, true },
        { "band 5 (high)", juce::Colour (0xff6a3d9a), 2, [] (const ActivityPoint& p) { return -p.bandDb[4]; } },
        { "HF limiter", juce::Colour (0xffef8a00), 3, [] (const ActivityPoint& p) { return -p.hfLimiterDb; } },
        { "FM clipper", juce::Colour (0xffd81b7a), 3, [] (const ActivityPoint& p) { return -p.fmClipperDb; }, true },
        { "bass clipper", juce::Colour (0xff4e9c9c), 3, [] (const ActivityPoint& p) { return -p.bassClipperDb; } },
        { "true-peak limiter", juce::Colour (0xff303030), 3, [] (const ActivityPoint& p) { return -p.truePeakLimiterDb; }, true },
    };
    return series;
}

namespace
{
constexpr int kWidth = 1200, kHeight = 900;
constexpr int kLeft = 78, kLegendWidth = 170, kRight = 14, kTop = 88, kBottom = 52, kGap = 32;

const char* const kPanelTitles[kPlotPanelCount] = { "Short-term loudness (3 s)", "AGC and post compressor",
                                                    "Multiband gain reduction", "Limiters and clippers" };
const char* const kPanelUnits[kPlotPanelCount] = { "LUFS", "gain (dB)", "gain (dB)", "gain (dB)" };

const juce::Colour kInk (0xff202428), kGrid (0xffe3e6ea), kAxis (0xff9aa1a9), kFaint (0xff5d646c);

struct Range
{
    float low, high, step;
};

float niceStep (float span, int wantedTicks)
{
    for (float step : { 1.0f, 2.0f, 3.0f, 5.0f, 6.0f, 10.0f, 20.0f, 30.0f, 50.0f })
        if (span / step <= (float) wantedTicks)
            return step;
    return 100.0f;
}

/** The value range of a panel, from what is in it. */
Range panelRange (int panel, const std::vector<ActivityPoint>& points)
{
    float low = 0.0f, high = 0.0f;
    bool any = false;
    for (const auto& s : plotSeries())
        if (s.panel == panel)
            for (const auto& p : points)
                if (const float v = s.value (p); std::isfinite (v))
                {
                    low = any ? std::min (low, v) : v;
                    high = any ? std::max (high, v) : v;
                    any = true;
                }

    if (panel == 0)
    {
        // Loudness: from a round 10 below the quietest moment (no lower than -70) up to 0 LUFS.
        const float bottom = any ? std::floor (low / 10.0f) * 10.0f : -60.0f;
        return { juce::jlimit (-70.0f, -30.0f, bottom), 0.0f, 10.0f };
    }
    if (panel == 1)
    {
        // Gain both ways: symmetric around 0 dB, at least +-6 dB.
        const float reach = std::max ({ 6.0f, std::abs (low), std::abs (high) });
        const float step = niceStep (2.0f * reach, 6);
        const float edge = std::ceil (reach / step) * step;
        return { -edge, edge, step };
    }
    // Reductions: from 0 dB down to at least -3 dB.
    const float depth = std::max (3.0f, -low);
    const float step = niceStep (depth, 4);
    return { -std::ceil (depth / step) * step, 0.0f, step };
}

juce::String timeLabel (double seconds, bool withHours)
{
    const auto total = (juce::int64) std::llround (seconds);
    const auto two = [] (juce::int64 v) { return juce::String (v).paddedLeft ('0', 2); };
    return withHours ? juce::String (total / 3600) + ":" + two ((total / 60) % 60) + ":" + two (total % 60)
                     : juce::String (total / 60) + ":" + two (total % 60);
}

double timeStep (double totalSeconds)
{
    for (double step : { 1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0, 900.0, 1800.0, 3600.0, 7200.0, 10800.0, 21600.0 })
        if (totalSeconds / step <= 12.0)
            return step;
    return 43200.0;
}

juce::String dbLabel (float value)
{
    if (value == 0.0f)
        return "0";
    return (value > 0.0f ? "+" : juce::String (juce::CharPointer_UTF8 ("\xe2\x88\x92"))) + juce::String (std::abs (value), 0);
}
} // namespace

PlotLayout plotLayout()
{
    PlotLayout layout;
    layout.width = kWidth;
    layout.height = kHeight;
    const int plotRight = kWidth - kRight - kLegendWidth;
    const int panelHeight = (kHeight - kTop - kBottom - (kPlotPanelCount - 1) * kGap) / kPlotPanelCount;
    for (int i = 0; i < kPlotPanelCount; ++i)
        layout.panels[(size_t) i] = { kLeft, kTop + i * (panelHeight + kGap), plotRight - kLeft, panelHeight };
    layout.legendColumn = { plotRight + 12, kTop, kLegendWidth - 12, kHeight - kTop - kBottom };
    return layout;
}

juce::Image drawActivityPlot (const ActivityTimeline& timeline, const juce::String& title, const juce::String& subtitle)
{
    const auto layout = plotLayout();
    const auto& points = timeline.points();
    const double total = std::max (1.0e-3, timeline.totalSeconds());

    juce::Image image (juce::Image::RGB, layout.width, layout.height, true);
    juce::Graphics g (image);
    g.fillAll (juce::Colours::white);

    g.setColour (kInk);
    g.setFont (juce::Font (19.0f, juce::Font::bold));
    g.drawText (title, kLeft, 8, layout.width - kLeft - kRight, 24, juce::Justification::centredLeft, true);
    g.setColour (kFaint);
    g.setFont (juce::Font (13.5f));
    g.drawText (subtitle, kLeft, 32, layout.width - kLeft - kRight, 20, juce::Justification::centredLeft, true);

    const auto xFor = [&] (const juce::Rectangle<int>& area, double seconds) {
        return (float) area.getX() + (float) (seconds / total) * (float) area.getWidth();
    };
    const double step = timeStep (total);
    const bool withHours = total >= 3600.0;

    for (int panel = 0; panel < kPlotPanelCount; ++panel)
    {
        const auto area = layout.panels[(size_t) panel];
        const auto range = panelRange (panel, points);
        const auto yFor = [&] (float value) {
            const float v = juce::jlimit (range.low, range.high, value);
            return (float) area.getBottom() - (v - range.low) / (range.high - range.low) * (float) area.getHeight();
        };

        // Grid, value ticks and the panel's titles.
        g.setFont (juce::Font (12.0f));
        for (float v = range.low; v <= range.high + 1.0e-3f; v += range.step)
        {
            const float y = yFor (v);
            g.setColour (v == 0.0f && panel > 0 ? kAxis : kGrid);
            g.drawHorizontalLine ((int) std::lround (y), (float) area.getX(), (float) area.getRight());
            g.setColour (kFaint);
            g.drawText (dbLabel (v), area.getX() - 40, (int) y - 8, 34, 16, juce::Justification::centredRight, false);
        }
        for (double t = 0.0; t <= total + 1.0e-6; t += step)
        {
            g.setColour (kGrid);
            g.drawVerticalLine ((int) std::lround (xFor (area, t)), (float) area.getY(), (float) area.getBottom());
        }

        g.setColour (kInk);
        g.setFont (juce::Font (13.5f, juce::Font::bold));
        g.drawText (kPanelTitles[panel], area.getX(), area.getY() - 19, area.getWidth(), 18, juce::Justification::centredLeft, false);

        {
            juce::Graphics::ScopedSaveState saved (g);
            g.setColour (kFaint);
            g.setFont (juce::Font (12.5f));
            const auto centre = juce::Point<float> ((float) kLeft - 62.0f, (float) area.getCentreY());
            g.addTransform (juce::AffineTransform::rotation (-juce::MathConstants<float>::halfPi, centre.x, centre.y));
            g.drawText (kPanelUnits[panel], juce::Rectangle<float> (0.0f, 0.0f, (float) area.getHeight(), 16.0f).withCentre (centre),
                        juce::Justification::centred, false);
        }

        // The lines, broken where there is no value (silence). Each is stroked in short pieces:
        // one long zigzag path would make the rasteriser's tables, and so the memory, grow with
        // how busy the programme is.
        {
            juce::Graphics::ScopedSaveState saved (g);
            g.reduceClipRegion (area.expanded (0, 1));
            const juce::PathStrokeType stroke (2.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded);
            const float dashes[] = { 7.0f, 5.0f };
            for (const auto& s : plotSeries())
            {
                if (s.panel != panel)
                    continue;
                g.setColour (s.colour);

                juce::Path piece;
                int pieceLength = 0;
                const auto drawPiece = [&] {
                    if (pieceLength > 1)
                    {
                        if (s.dashed)
                        {
                            juce::Path dashed;
                            stroke.createDashedStroke (dashed, piece, dashes, 2);
                            g.fillPath (dashed);
                        }
                        else
                        {
                            g.strokePath (piece, stroke);
                        }
                    }
                    piece.clear();
                    pieceLength = 0;
                };

                for (const auto& p : points)
                {
                    const float v = s.value (p);
                    if (! std::isfinite (v))
                    {
                        drawPiece();
                        continue;
                    }
                    const juce::Point<float> at (xFor (area, p.seconds), yFor (v));
                    if (pieceLength == 0)
                        piece.startNewSubPath (at);
                    else
                        piece.lineTo (at);
                    if (++pieceLength == 48)
                    {
                        drawPiece();
                        piece.startNewSubPath (at); // the next piece goes on from here
                        pieceLength = 1;
                    }
                }
                drawPiece();
            }
        }

        g.setColour (kAxis);
        g.drawRect (area);

        // The legend, beside the panel.
        int row = 0;
        g.setFont (juce::Font (13.0f));
        for (const auto& s : plotSeries())
        {
            if (s.panel != panel)
                continue;
            const int y = area.getY() + 4 + row++ * 19;
            g.setColour (s.colour);
            if (s.dashed)
            {
                g.fillRect (layout.legendColumn.getX(), y + 7, 8, 3);
                g.fillRect (layout.legendColumn.getX() + 12, y + 7, 8, 3);
            }
            else
            {
                g.fillRect (layout.legendColumn.getX(), y + 7, 20, 3);
            }
            g.setColour (kInk);
            g.drawText (s.name, layout.legendColumn.getX() + 27, y, layout.legendColumn.getWidth() - 27, 17,
                        juce::Justification::centredLeft, true);
        }
    }

    // The shared time axis under the last panel.
    const auto last = layout.panels.back();
    g.setFont (juce::Font (12.0f));
    g.setColour (kFaint);
    for (double t = 0.0; t <= total + 1.0e-6; t += step)
    {
        const float x = xFor (last, t);
        g.drawVerticalLine ((int) std::lround (x), (float) last.getBottom(), (float) last.getBottom() + 5.0f);
        g.drawText (timeLabel (t, withHours), (int) x - 40, last.getBottom() + 6, 80, 16, juce::Justification::centred, false);
    }
    g.setColour (kInk);
    g.setFont (juce::Font (13.0f));
    g.drawText (withHours ? "time (h:mm:ss)" : "time (min:s)", last.getX(), last.getBottom() + 25, last.getWidth(), 18,
                juce::Justification::centred, false);
    return image;
}
} // namespace kt::tools
