// The dot-matrix screens and the graph display: pages decide which cells light (GraphDisplay);
// this file turns cells and text into lit dots and runs the display's timed state.

#include "DotMatrixFont.h"
#include "EditorConstants.h"
#include "Parameters.h"
#include "PluginEditor.h"
#include "PluginProcessor.h"

using Editor = KorvaneTarvikAudioProcessorEditor;
using namespace editorconstants;

namespace
{
/** The colour with its alpha byte replaced: 0 at or below 0, 255 at or above 1, else the nearest. */
juce::Colour atAlpha (juce::Colour c, float a) { return c.withAlpha (juce::jlimit (0.0f, 1.0f, a)); }

juce::uint8 alphaByte (float a) { return juce::Colour (0xff000000).withAlpha (juce::jlimit (0.0f, 1.0f, a)).getAlpha(); }

/** A general lit dot of size s at level (0 ... 1): outer glow, inner glow and core. */
void drawDot (juce::Graphics& g, float x, float y, float s, juce::Colour colour, float level)
{
    const float outer = juce::jmax (3.2f * s, 2.6f);
    g.setColour (atAlpha (colour, 0.12f * level));
    g.fillEllipse (x - (outer - s) / 2.0f, y - (outer - s) / 2.0f, outer, outer);
    g.setColour (atAlpha (colour, 0.3f * level));
    g.fillEllipse (x - 0.35f * s, y - 0.35f * s, 1.7f * s, 1.7f * s);
    g.setColour (atAlpha (colour, level));
    g.fillRoundedRectangle (x, y, s, s, 0.22f * s);
}

juce::Point<float> cellPosition (int column, int row) noexcept
{
    return { graphInner.getX() + 2.0f + 1.8f * (float) column, graphInner.getY() + 2.0f + 1.29f * (float) row };
}
} // namespace

//==================================================================================================
Editor::DotAlphas Editor::dotAlphas (float brightness, float intensity) noexcept
{
    const float level = juce::jlimit (0.0f, 1.0f, brightness * intensity);
    return { alphaByte (0.12f * level), alphaByte (0.3f * level), alphaByte (level) };
}

void Editor::drawLitDot (juce::Graphics& g, float brightness, float x, float y, juce::Colour colour, float intensity)
{
    drawDot (g, x, y, 0.66f, colour, juce::jlimit (0.0f, 1.0f, brightness * intensity));
}

void Editor::drawDotText (juce::Graphics& g, const juce::String& text, float x, float y, float s, float p, float a, juce::Colour colour)
{
    const float level = juce::jlimit (0.0f, 1.0f, displayBrightness);
    for (int i = 0; i < text.length(); ++i)
    {
        const auto c = text[i];
        const auto* rows = dotfont::glyph5x7 (c > 0 && c < 128 ? (char) c : ' ');
        if (rows == nullptr)
            continue;
        for (int j = 0; j < 7; ++j)
            for (int k = 0; k < 5; ++k)
                if ((rows[j] >> (4 - k)) & 1)
                    drawDot (g, x + (float) i * a + (float) k * p, y + (float) j * p, s, colour, level);
    }
}

void Editor::drawTextScreen (juce::Graphics& g, juce::Rectangle<float> area, const juce::StringArray& lines, float dotSize, float pitch,
                             float advance, float lineHeight, bool centreFirstLine)
{
    const bool small = area.getWidth() < 200.0f;
    const juce::Rectangle<float> window = small ? juce::Rectangle<float> (area.getX() + 8.0f, area.getY() + 7.0f, 160.0f, 34.0f)
                                                : juce::Rectangle<float> (area.getX() + 24.0f, area.getY() + 17.0f, 220.0f, 60.0f);
    if (lines.isEmpty())
        return;

    juce::Graphics::ScopedSaveState state (g);
    g.reduceClipRegion (window.toNearestInt());

    const int n = lines.size();
    const float blockHeight = (float) (n - 1) * lineHeight + 6.0f * pitch + dotSize;
    const float top = window.getY() + window.getHeight() / 2.0f - blockHeight / 2.0f;
    const auto widthOf = [&] (int characters, float a) { return characters > 0 ? (float) (characters - 1) * a + 4.0f * pitch + dotSize : 0.0f; };

    for (int i = 0; i < n; ++i)
    {
        const auto line = lines[i].toUpperCase();
        const int characters = line.length();
        float x = window.getX() + 2.0f;
        float a = advance;

        // A line too long for the window keeps its text and closes up its letters to fit.
        const float room = window.getWidth() - 2.0f;
        if (characters > 1 && widthOf (characters, a) > room)
            a = (room - 4.0f * pitch - dotSize) / (float) (characters - 1);

        if (i == 0 && centreFirstLine)
            x = window.getX() + window.getWidth() / 2.0f - widthOf (characters, a) / 2.0f;
        drawDotText (g, line, x, top + (float) i * lineHeight, dotSize, pitch, a, amber);
    }
}

//==================================================================================================
void Editor::drawCells (juce::Graphics& g, const GraphCells& cells, float brightness) const
{
    for (const auto& cell : cells.all())
    {
        const auto p = cellPosition (cell.column, cell.row);
        drawLitDot (g, brightness, p.x, p.y, cell.colour, cell.intensity);
    }
}

void Editor::drawCells (juce::Image& frame, const GraphCells& cells, float brightness) const
{
    const auto inner = graphInner.toNearestInt();
    juce::Image::BitmapData bitmap (frame, inner.getX(), inner.getY(), inner.getWidth(), inner.getHeight(), juce::Image::BitmapData::readWrite);
    for (const auto& cell : cells.all())
    {
        const auto p = cellPosition (cell.column, cell.row);
        dotRasterizer.draw (bitmap, p.x - (float) inner.getX(), p.y - (float) inner.getY(), cell.colour, brightness * cell.intensity);
    }
}

void Editor::paintTextScreens (juce::Graphics& g)
{
    const int presetIndex = currentPresetIndex();
    if (presetIndex != screensPreset || displayBrightness != screensBrightness)
    {
        screensPreset = presetIndex;
        screensBrightness = displayBrightness;
        const auto& preset = kt::kPresets[(size_t) presetIndex];

        nameScreen.clear (nameScreen.getBounds());
        {
            juce::Graphics sg (nameScreen);
            sg.setOrigin (-259, -98);
            drawTextScreen (sg, { 251.0f, 91.0f, 176.0f, 48.0f }, juce::StringArray (preset.name), 1.1f, 1.82f, 11.3f, 14.0f, true);
        }

        juce::StringArray description;
        for (const char* line : preset.descriptionLines)
            description.add (line);
        descriptionScreen.clear (descriptionScreen.getBounds());
        {
            juce::Graphics sg (descriptionScreen);
            sg.setOrigin (-229, -164);
            drawTextScreen (sg, { 205.0f, 147.0f, 268.0f, 95.0f }, description, 0.76f, 1.1f, 7.15f, 14.4f, false);
        }
    }
    g.setOpacity (1.0f); // images take the context's opacity: never the last fill colour's alpha
    g.drawImageAt (nameScreen, 259, 98);
    g.drawImageAt (descriptionScreen, 229, 164);
}

void Editor::drawGraphText (juce::Graphics& g, const juce::String& text, int column, int row, float intensity, juce::Colour colour)
{
    overlayCells.clear();
    overlayCells.text (text, column, row, intensity, colour);
    drawCells (g, overlayCells, displayBrightness);
}

void Editor::drawGraphTinyText (juce::Graphics& g, const juce::String& text, int column, int row, float intensity, juce::Colour colour)
{
    overlayCells.clear();
    overlayCells.tinyText (text, column, row, intensity, colour);
    drawCells (g, overlayCells, displayBrightness);
}

void Editor::collectGraphCells (GraphCells& page, GraphCells& overlay) const
{
    page.clear();
    overlay.clear();
    const bool bypassed = isOn (ParameterIds::bypass);

    if (presetBannerTicks > 0 && ! bypassed)
    {
        graphpages::presetBanner (page, currentPresetIndex());
    }
    else
    {
        GraphInputs in;
        in.snapshot = &snapshot;
        in.inputHistory = inputHistory;
        in.outputHistory = outputHistory;
        in.historyWriteIndex = historyWriteIndex;
        in.bandGainReductionPeakDb = bandGainReductionPeakDb;
        in.agcGainPeakDb = agcGainPeakDb;
        in.crossoverHz = kt::MultibandProcessor::crossoverHz;
        in.lfShelfHz = processor.chain.currentPreset().lfShelfHz;
        graphpages::draw (page, juce::jlimit (1, 6, displayPage), in);
    }

    if (bypassed)
        graphpages::bypassMarker (overlay);
    else if (graphMessage != 0)
        graphpages::messageText (overlay, graphMessage, graphMessageAge);
}

void Editor::drawGraph (juce::Image& frame)
{
    collectGraphCells (pageCells, overlayCells);
    drawCells (frame, pageCells, displayBrightness);

    // Overlays are drawn at full brightness, also over a dimmed (bypassed) page.
    if (isOn (ParameterIds::bypass))
    {
        drawCells (frame, overlayCells, 1.0f);
    }
    else if (graphMessage != 0)
    {
        {
            juce::Graphics g (frame);
            g.reduceClipRegion (graphInner.toNearestInt());
            g.setColour (juce::Colour (0xb8080503));
            g.fillRect (graphInner);
            const juce::Rectangle<float> panel (graphInner.getX() + 16.0f, graphInner.getY() + 12.0f, juce::jmax (0.0f, graphInner.getWidth() - 32.0f),
                                                juce::jmax (0.0f, graphInner.getHeight() - 24.0f));
            g.setColour (juce::Colour (0xf20a0805));
            g.fillRect (panel);
            g.setColour (amber.withAlpha ((juce::uint8) 0xeb));
            g.drawRect (panel, 1.5f);
            g.setColour (amber.withAlpha ((juce::uint8) 0x2e));
            g.drawRect (juce::Rectangle<float> (panel.getX() + 5.0f, panel.getY() + 5.0f, juce::jmax (0.0f, panel.getWidth() - 10.0f),
                                                juce::jmax (0.0f, panel.getHeight() - 10.0f)),
                        1.0f);
        }
        drawCells (frame, overlayCells, 1.0f);
    }
}

void Editor::compositeGraph (juce::Graphics& g)
{
    juce::Graphics::ScopedSaveState state (g);
    const auto inner = graphInner.toNearestInt();
    g.reduceClipRegion (inner);

    const bool bypassed = isOn (ParameterIds::bypass);
    if (displayPage != lastGraphPage || bypassed != lastGraphBypass)
    {
        for (auto& frame : graphFrames)
            if (frame.isValid())
                frame.clear (inner);
        lastGraphPage = displayPage;
        lastGraphBypass = bypassed;
    }

    auto& current = graphFrames[graphFrameIndex];
    if (current.isValid())
    {
        current.clear (inner);
        drawGraph (current);
    }

    // The three older frames glow faintly under the new one.
    const float opacities[] = { 0.082f, 0.052f, 0.03f };
    if (! g.isClipEmpty())
    {
        for (int age = 1; age <= 3; ++age)
        {
            const auto& frame = graphFrames[(graphFrameIndex + age) % 4];
            if (frame.isValid())
            {
                g.setOpacity (opacities[age - 1]);
                g.drawImageAt (frame, 0, 0);
            }
        }
        if (current.isValid())
        {
            g.setOpacity (1.0f);
            g.drawImageAt (current, 0, 0);
        }
    }
    graphFrameIndex = (graphFrameIndex + 1) % 4;
}

//==================================================================================================
void Editor::advanceGraphMessages (int presetIndex, bool extremeOn, bool bypassed)
{
    if (presetIndex != lastPresetIndex)
    {
        lastPresetIndex = presetIndex;
        presetBannerTicks = 75;
    }
    else if (presetBannerTicks > 0)
    {
        --presetBannerTicks;
    }

    if (extremeOn && ! lastExtremeOn)
    {
        graphMessage = 1;
        graphMessageTicks = 150;
        graphMessageAge = 0;
    }
    lastExtremeOn = extremeOn;

    if (! bypassed)
    {
        if (advisoryCooldown > 0)
            --advisoryCooldown;
        if (snapshot.processingActivity > 0.5f && ! snapshot.lowInputWarning)
            ++heavyProcessingCount;
        else
            heavyProcessingCount = juce::jmax (heavyProcessingCount, 2) - 2;

        if (heavyProcessingCount >= 46 && advisoryCooldown == 0 && graphMessage == 0)
        {
            advisoryCooldown = 360;
            graphMessage = 2;
            graphMessageTicks = 120;
            graphMessageAge = 0;
            heavyProcessingCount = 0;
        }
    }

    if (graphMessage != 0)
    {
        ++graphMessageAge;
        if (graphMessageTicks > 0)
        {
            if (--graphMessageTicks == 0)
                graphMessage = 0;
        }
        else
        {
            graphMessage = 0;
        }
    }
}
