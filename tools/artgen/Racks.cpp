// Stage modules, blank covers, meter scales and the rack pieces built from them.

#include "Art.h"

#include <cmath>

namespace artgen
{

const char* const stageNames[19] = {
    "AUTO TRIM", "INPUT HPF", "PHASE", "AGC", "POST COMP", "LF SHELF", "MULTI BAND", "STEREO MONO LF",
    "15K PRE", "FM PHASE", "PRE EMPH", "HF LIMIT", "FM CLIP", "DE EMPH", "BASS CLIP", "OUTPUT HPF",
    "15K FINAL", "TRUE PEAK LIMIT", "OUTPUT"
};

//==================================================================================================
void drawModuleFront (juce::Graphics& g, juce::Rectangle<int> absArea, std::uint32_t seed, float screwRadius)
{
    const auto r = absArea.toFloat();
    juce::Path plate;
    plate.addRoundedRectangle (r, 1.0f);
    dropShadow (g, plate, juce::Colours::black.withAlpha (0.7f), 2, { 0, 1 });
    fillTextured (g, plate, metalTexture (finish::module(), absArea, seed), absArea.getPosition());
    raisedBevel (g, r, 1.0f, 1.0f);

    Rng rng (seed * 7u + 3u);
    const auto inset = screwRadius + 0.8f;
    screw (g, { r.getCentreX(), r.getY() + inset }, screwRadius, ScrewHead::phillips, rng.range (0.0f, 3.0f));
    screw (g, { r.getCentreX(), r.getBottom() - inset }, screwRadius, ScrewHead::phillips, rng.range (0.0f, 3.0f));
}

void drawModuleWindows (juce::Graphics& g, float cx, float top, const juce::String& name, float lit)
{
    const auto on = lit > 0.5f;

    // Label plate.
    const auto label = juce::Rectangle<float> (cx - 15.5f, top + 6.0f, 31.0f, 20.0f);
    g.setColour (juce::Colour (0xff121315));
    g.fillRoundedRectangle (label, 1.5f);
    g.setColour (juce::Colours::white.withAlpha (0.10f));
    g.fillRect (label.getX() + 1.0f, label.getBottom(), label.getWidth() - 2.0f, 1.0f);
    g.setColour (on ? palette::amber : palette::silkGrey.withAlpha (0.55f));
    g.setFont (legendFont (6.6f, true, 0.0f, 0.86f));
    g.drawFittedText (name, label.reduced (1.0f, 1.5f).toNearestInt(), juce::Justification::centred, 3, 0.7f);

    // Lamp window.
    const auto lamp = juce::Rectangle<float> (cx - 6.0f, top + 34.0f, 12.0f, 8.0f);
    g.setColour (juce::Colours::black);
    g.fillRect (lamp.expanded (1.0f));
    if (on)
    {
        g.setGradientFill (juce::ColourGradient (palette::amber.interpolatedWith (juce::Colours::white, 0.35f), lamp.getCentreX(),
                                                 lamp.getCentreY(), palette::amber.darker (0.3f), lamp.getRight(), lamp.getBottom(), true));
    }
    else
    {
        g.setColour (palette::amberDim.darker (0.5f));
    }
    g.fillRect (lamp);

    // Activity bar: five segments.
    const auto bar = juce::Rectangle<float> (cx - 8.0f, top + 48.0f, 16.0f, 10.0f);
    g.setColour (juce::Colours::black);
    g.fillRect (bar.expanded (1.0f));
    for (int i = 0; i < 5; ++i)
    {
        const auto seg = juce::Rectangle<float> (bar.getX() + 1.0f + (float) i * 3.0f, bar.getY() + 2.0f, 2.0f, bar.getHeight() - 4.0f);
        g.setColour (on && i < 3 ? palette::amber : palette::amberDim);
        g.fillRect (seg);
    }

    drawLamp (g, { cx - 5.0f, top + 60.0f, 10.0f, 10.0f }, palette::amber, on);
}

void drawBlankCover (juce::Graphics& g, juce::Rectangle<int> absArea, std::uint32_t seed)
{
    const auto r = absArea.toFloat();
    juce::Path plate;
    plate.addRoundedRectangle (r, 1.5f);
    dropShadow (g, plate, juce::Colours::black.withAlpha (0.75f), 2, { 0, 1 });
    fillTextured (g, plate, metalTexture (finish::module(), absArea, seed), absArea.getPosition());
    raisedBevel (g, r, 1.5f, 1.0f);
    Rng rng (seed + 5u);
    screw (g, { r.getCentreX(), r.getY() + 6.0f }, 2.5f, ScrewHead::phillips, rng.range (0.0f, 3.0f));
    screw (g, { r.getCentreX(), r.getBottom() - 6.0f }, 2.5f, ScrewHead::phillips, rng.range (0.0f, 3.0f));
}

void drawMeterScale (juce::Graphics& g, float meterLeft, float meterRight, bool scaleOnLeft)
{
    // Segment i (0 bottom ... 19 top) sits at y = 444 - 4 i and is 3 dB; the top one is 0 dB.
    for (int i = 7; i <= 19; ++i)
    {
        const auto db = -3 * (19 - i);
        const auto major = (19 - i) % 2 == 0;
        const auto row = std::floor (444.0f - 4.0f * (float) i + 1.1f);
        const auto len = major ? 4.0f : 2.0f;
        const auto x = scaleOnLeft ? meterLeft - 1.0f - len : meterRight + 1.0f;
        g.setColour (major ? palette::silk : palette::silk.withAlpha (0.6f));
        g.fillRect (juce::Rectangle<float> (x, row, len, 1.0f));
        if (major)
        {
            const auto text = db < 0 ? juce::String::fromUTF8 ("\xe2\x88\x92") + juce::String (-db) : juce::String (db);
            const auto box = scaleOnLeft ? juce::Rectangle<float> (meterLeft - 30.0f, row - 4.0f, 23.0f, 9.0f)
                                         : juce::Rectangle<float> (meterRight + 7.0f, row - 4.0f, 23.0f, 9.0f);
            legend (g, text, box, 8.0f, false, palette::silk,
                    scaleOnLeft ? juce::Justification::centredRight : juce::Justification::centredLeft, 0.0f);
        }
    }
}

//==================================================================================================
juce::Image drawMasterEmpty()
{
    juce::Image image (juce::Image::ARGB, 684, 78, false);
    juce::Graphics g (image);
    g.fillAll (juce::Colour (0xff0b0b0c));
    for (int i = 0; i < 19; ++i)
        drawBlankCover (g, { 36 * i + 2, 2, 32, 72 }, (std::uint32_t) (1300 + i));
    return image;
}

juce::Image drawSpriteSheet()
{
    juce::Image image (juce::Image::ARGB, 684, 156, false);
    juce::Graphics g (image);
    g.fillAll (juce::Colour (0xff0b0b0c));
    for (int row = 0; row < 2; ++row)
    {
        for (int k = 0; k < 19; ++k)
        {
            const auto top = 78 * row + 1;
            drawModuleFront (g, { 36 * k + 1, top, 34, 76 }, (std::uint32_t) (1400 + k), 2.1f);
            drawModuleWindows (g, (float) (36 * k + 18), (float) top, stageNames[k], row == 0 ? 1.0f : 0.0f);
        }
    }
    return image;
}

juce::Image drawRackStrip (bool lit)
{
    juce::Image image (juce::Image::ARGB, 684, 92, false);
    juce::Graphics g (image);
    g.fillAll (juce::Colour (0xff0b0b0c));
    g.setGradientFill (juce::ColourGradient (juce::Colours::black, 0.0f, 0.0f, juce::Colours::transparentBlack, 0.0f, 8.0f, false));
    g.fillRect (0, 0, 684, 8);
    for (int k = 0; k < 19; ++k)
    {
        const auto blank = ! lit && k >= 8 && k <= 13;
        if (blank)
        {
            drawBlankCover (g, { 36 * k + 2, 10, 32, 76 }, (std::uint32_t) (1500 + k));
            continue;
        }
        drawModuleFront (g, { 36 * k + 1, 8, 34, 76 }, (std::uint32_t) (1500 + k), 2.1f);
        drawModuleWindows (g, (float) (36 * k + 18), 8.0f, stageNames[k], lit ? 1.0f : 0.0f);
    }
    return image;
}

juce::Image drawRackModule (bool lit)
{
    juce::Image image (juce::Image::ARGB, 24, 44, true);
    juce::Graphics g (image);
    drawModuleFront (g, { 1, 0, 22, 44 }, 1600u, 1.8f);
    const auto window = juce::Rectangle<float> (6.0f, 8.0f, 12.0f, 8.0f);
    g.setColour (juce::Colours::black);
    g.fillRect (window.expanded (1.0f));
    g.setColour (lit ? palette::amber : palette::amberDim.darker (0.5f));
    g.fillRect (window);
    drawLamp (g, { 7.0f, 22.0f, 10.0f, 10.0f }, palette::amber, lit);
    return image;
}

juce::Image drawRackSwitch (bool on)
{
    juce::Image image (juce::Image::ARGB, 22, 16, true);
    juce::Graphics g (image);
    const auto housing = juce::Rectangle<float> (1.0f, 1.0f, 20.0f, 14.0f);
    g.setColour (juce::Colour (0xff1a1b1d));
    g.fillRoundedRectangle (housing, 2.0f);
    raisedBevel (g, housing, 2.0f, 0.8f);
    const auto bar = juce::Rectangle<float> (4.0f, 5.0f, 14.0f, 6.0f);
    g.setColour (juce::Colours::black);
    g.fillRect (bar.expanded (1.0f));
    if (on)
    {
        g.setGradientFill (juce::ColourGradient (palette::amber.brighter (0.3f), 0.0f, bar.getY(), palette::amber.darker (0.3f),
                                                 0.0f, bar.getBottom(), false));
    }
    else
    {
        g.setColour (palette::amberDim.darker (0.4f));
    }
    g.fillRect (bar);
    return image;
}

juce::Image drawRackBarsBlank()
{
    juce::Image image (juce::Image::ARGB, 22, 12, true);
    juce::Graphics g (image);
    recess (g, { 1.0f, 1.0f, 20.0f, 10.0f }, 1.0f, juce::Colour (0xff050505), 2, 0.6f);
    for (int i = 0; i < 6; ++i)
    {
        g.setColour (palette::amberDim.withAlpha (0.6f));
        g.fillRect (juce::Rectangle<float> (3.0f + (float) i * 3.0f, 3.0f, 2.0f, 6.0f));
    }
    return image;
}

juce::Image drawMiddleScreenBezel()
{
    juce::Image image (juce::Image::ARGB, 468, 138, false);
    juce::Graphics g (image);
    const auto all = juce::Rectangle<int> (0, 0, 468, 138);
    g.drawImageAt (metalTexture (finish::panel(), all.translated (126, 338), 1700u), 0, 0);
    const auto cut = juce::Rectangle<float> (11.0f, 6.0f, 446.0f, 126.0f);
    recess (g, cut, 4.0f, juce::Colour (0xff0a0a0b), 4);
    const auto glass = cut.reduced (8.0f);
    drawScreenBezel (g, cut.reduced (1.0f), glass, 1701u);
    g.setColour (palette::glass);
    g.fillRect (glass);
    juce::Path pane;
    pane.addRectangle (glass);
    innerShadow (g, pane, juce::Colours::black, 6, { 1, 2 });
    return image;
}

juce::Image drawMiddleHousing (bool left)
{
    juce::Image image (juce::Image::ARGB, 94, 138, false);
    juce::Graphics g (image);
    const auto abs = juce::Rectangle<int> (left ? 12 : 614, 344, 94, 138);
    g.drawImageAt (metalTexture (finish::panel(), abs, left ? 1800u : 1801u), 0, 0);
    g.setOrigin (-abs.getPosition());
    const auto meterLeft = left ? 49.0f : 644.0f;
    recess (g, { meterLeft, 363.0f, 26.0f, 87.0f }, 1.5f, juce::Colour (0xff050505), 3);
    drawMeterScale (g, meterLeft, meterLeft + 26.0f, left);
    const auto cx = meterLeft + 13.0f;
    legend (g, left ? "IN" : "OUT", { cx - 20.0f, 350.0f, 40.0f, 10.0f }, 9.0f, true, palette::silk,
            juce::Justification::centred, 0.12f);
    roundRecess (g, { cx - (left ? 2.0f : 0.0f), 461.0f }, 10.0f, juce::Colour (0xff080808), 3, 0.8f);
    legend (g, left ? "OVL" : "CEILING", { cx - 30.0f, 473.0f, 60.0f, 9.0f }, 8.0f, true, palette::silk,
            juce::Justification::centred, 0.1f);
    return image;
}

} // namespace artgen
