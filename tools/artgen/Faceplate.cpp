// The complete 720 x 614 front: header, the upper rack with its four panels, wooden rails, the
// middle rack with meters and the display window, the bottom rack of stage modules and the foot.
// Every position here lines up with something the editor paints on top.

#include "Art.h"

#include <cmath>

namespace artgen
{

namespace
{
    namespace area
    {
        const juce::Rectangle<int> header      { 0, 0, 720, 40 };
        const juce::Rectangle<int> input       { 12, 48, 179, 242 };
        const juce::Rectangle<int> preset      { 196, 48, 287, 242 };
        const juce::Rectangle<int> extreme     { 488, 48, 132, 242 };
        const juce::Rectangle<int> bypass      { 625, 48, 83, 242 };
        const juce::Rectangle<int> upperRail   { 0, 292, 720, 44 };
        const juce::Rectangle<int> middle      { 12, 338, 696, 158 };
        const juce::Rectangle<int> lowerRail   { 0, 498, 720, 16 };
        const juce::Rectangle<int> bottomRack  { 0, 514, 720, 80 };
        const juce::Rectangle<int> foot        { 0, 594, 720, 20 };
    }

    const juce::Point<float> knobCentre { 102.0f, 159.0f };
    const juce::Point<float> lockCentre { 551.0f, 160.0f };

    constexpr float pi = juce::MathConstants<float>::pi;
    const auto minusSign = juce::String::fromUTF8 ("\xe2\x88\x92");

    juce::Point<float> polar (juce::Point<float> c, float radius, float angleFromUp)
    {
        return { c.x + radius * std::sin (angleFromUp), c.y - radius * std::cos (angleFromUp) };
    }

    //==============================================================================================
    void drawChassis (juce::Graphics& g)
    {
        const auto full = juce::Rectangle<int> (0, 0, 720, 614);
        g.drawImageAt (metalTexture (finish::chassis(), full, 11u), 0, 0);

        // Rack ears: slotted mounting holes down both sides.
        for (auto y : { 70.0f, 150.0f, 230.0f, 380.0f, 455.0f, 540.0f, 575.0f })
        {
            for (auto x : { 6.0f, 714.0f })
            {
                const auto slot = juce::Rectangle<float> (7.0f, 4.0f).withCentre ({ x, y });
                g.setColour (juce::Colours::white.withAlpha (0.07f));
                g.fillRoundedRectangle (slot.translated (0.0f, 1.0f), 2.0f);
                g.setColour (juce::Colour (0xff030303));
                g.fillRoundedRectangle (slot, 2.0f);
            }
        }
    }

    void drawSignalLogo (juce::Graphics& g, float x, float baseline)
    {
        // Five rising bars, the last two a little dimmer: a strong, not perfect, signal.
        for (int i = 0; i < 5; ++i)
        {
            const auto h = 5.0f + 4.0f * (float) i;
            const auto bar = juce::Rectangle<float> (x + (float) i * 5.0f, baseline - h, 3.0f, h);
            const auto c = i < 4 ? palette::amber : palette::amber.withMultipliedBrightness (0.55f);
            juce::Path glow;
            glow.addRectangle (bar);
            dropShadow (g, glow, c.withAlpha (0.45f), 3, { 0, 0 });
            g.setGradientFill (juce::ColourGradient (c.brighter (0.25f), bar.getX(), bar.getY(),
                                                     c.darker (0.25f), bar.getX(), bar.getBottom(), false));
            g.fillRect (bar);
        }
    }

    void drawHeader (juce::Graphics& g)
    {
        const auto r = area::header;
        g.drawImageAt (metalTexture (finish::header(), r, 21u), r.getX(), r.getY());
        g.setColour (juce::Colours::white.withAlpha (0.10f));
        g.fillRect (r.getX(), r.getBottom() - 2, r.getWidth(), 1);
        g.setColour (juce::Colours::black.withAlpha (0.8f));
        g.fillRect (r.getX(), r.getBottom() - 1, r.getWidth(), 1);

        screw (g, { 9.5f, 20.0f }, 4.0f, ScrewHead::hex, 0.3f);
        screw (g, { 710.5f, 20.0f }, 4.0f, ScrewHead::hex, 0.9f);

        drawSignalLogo (g, 24.0f, 29.0f);

        const auto brand = legendFont (19.0f, true, 0.16f);
        g.setFont (brand);
        g.setColour (palette::silk);
        g.drawSingleLineText ("KORVANE", 54, 28);
        const auto brandWidth = brand.getStringWidthFloat ("KORVANE");

        const auto model = legendFont (19.0f, false, 0.04f);
        g.setFont (model);
        g.setColour (palette::amber);
        g.drawSingleLineText ("Tarvik", 54 + juce::roundToInt (brandWidth) + 9, 28);

        legend (g, "FM BROADCAST PROCESSOR", { 420.0f, 9.0f, 280.0f, 11.0f }, 9.5f, true, palette::silkGrey,
                juce::Justification::centredRight, 0.2f);
        legend (g, juce::String::fromUTF8 ("AIR CHAIN  \xc2\xb7  MODEL 4.1"), { 420.0f, 21.0f, 280.0f, 10.0f }, 8.5f, false,
                palette::silkGrey.withAlpha (0.75f), juce::Justification::centredRight, 0.18f);
    }

    //==============================================================================================
    /** A light, engraved aluminium label plate: dark legends painted over it stay readable. */
    void labelPlate (juce::Graphics& g, juce::Rectangle<float> r)
    {
        g.setColour (juce::Colours::black.withAlpha (0.55f));
        g.fillRoundedRectangle (r.expanded (1.0f).translated (0.0f, 1.0f), 2.5f);
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xffd3cec3), r.getX(), r.getY(), juce::Colour (0xffa9a397), r.getX(),
                                                 r.getBottom(), false));
        g.fillRoundedRectangle (r, 2.0f);
        g.setColour (juce::Colours::white.withAlpha (0.5f));
        g.drawHorizontalLine ((int) r.getY(), r.getX() + 2.0f, r.getRight() - 2.0f);
        g.setColour (juce::Colour (0xff5d584f));
        g.drawRoundedRectangle (r, 2.0f, 0.8f);
    }

    void drawInputPanel (juce::Graphics& g)
    {
        const auto r = area::input;
        metalPanel (g, r, finish::panel(), 101u, ScrewHead::phillips);
        panelTitle (g, "INPUT", (float) r.getCentreX(), 50.0f, 27.0f, 176.0f);

        // The knob's shadow on the panel.
        {
            juce::Path disc;
            disc.addEllipse (juce::Rectangle<float> (108.0f, 108.0f).withCentre (knobCentre));
            dropShadow (g, disc, juce::Colours::black.withAlpha (0.75f), 4, { 1, 3 });
        }

        // Scale: -18 dB at -135 degrees through 0 dB straight up to +18 dB at +135 degrees.
        const auto angleFor = [] (float db) { return db / 18.0f * 0.75f * pi; };
        {
            juce::Path arc;
            arc.addCentredArc (knobCentre.x, knobCentre.y, 60.5f, 60.5f, 0.0f, angleFor (-18.0f), angleFor (18.0f), true);
            g.setColour (palette::silk.withAlpha (0.55f));
            g.strokePath (arc, juce::PathStrokeType (0.9f));
        }
        for (int db = -18; db <= 18; db += 2)
        {
            const auto major = db % 6 == 0;
            const auto a = angleFor ((float) db);
            juce::Path tick;
            tick.startNewSubPath (polar (knobCentre, 60.5f, a));
            tick.lineTo (polar (knobCentre, major ? 67.5f : 64.5f, a));
            g.setColour (major ? palette::silk : palette::silk.withAlpha (0.7f));
            g.strokePath (tick, juce::PathStrokeType (major ? 1.5f : 1.0f));
        }
        for (int db = -18; db <= 18; db += 6)
        {
            const auto text = db > 0 ? "+" + juce::String (db) : db < 0 ? minusSign + juce::String (-db) : juce::String ("0");
            // Keep the same gap to the ticks whatever the label's width: push wide labels out.
            const auto a = angleFor ((float) db);
            const auto width = legendFont (9.0f, false, 0.0f).getStringWidthFloat (text);
            const auto extent = std::abs (std::sin (a)) * width * 0.5f + std::abs (std::cos (a)) * 3.5f;
            const auto p = polar (knobCentre, 69.5f + extent, a);
            legend (g, text, juce::Rectangle<float> (24.0f, 10.0f).withCentre (p), 9.0f, false, palette::silk,
                    juce::Justification::centred, 0.0f);
        }
        legend (g, "dB", juce::Rectangle<float> (24.0f, 10.0f).withCentre ({ knobCentre.x, 226.0f }), 9.0f, true,
                palette::silkGrey, juce::Justification::centred, 0.05f);

        // The LOW input lamp and its legend sit on a small label plate.
        labelPlate (g, { 133.0f, 237.0f, 46.0f, 21.0f });
    }

    //==============================================================================================
    void drawPresetPanel (juce::Graphics& g)
    {
        const auto r = area::preset;
        metalPanel (g, r, finish::panel(), 202u, ScrewHead::phillips);
        panelTitle (g, "PRESET SELECTOR", (float) r.getCentreX(), 50.0f, 211.0f, 468.0f);

        legend (g, "PRESET", { 206.0f, 76.0f, 50.0f, 9.0f }, 7.5f, true, palette::silkGrey,
                juce::Justification::centred, 0.12f);
        legend (g, "SELECT", { 422.0f, 76.0f, 50.0f, 9.0f }, 7.5f, true, palette::silkGrey,
                juce::Justification::centred, 0.12f);

        // One tray for the two keys and the name screen, one pocket for the description screen.
        recess (g, { 208.0f, 86.0f, 262.0f, 57.0f }, 3.0f, juce::Colour (0xff0d0e0f));
        recess (g, { 202.0f, 145.0f, 274.0f, 100.0f }, 3.0f, juce::Colour (0xff0d0e0f));
    }

    //==============================================================================================
    void drawPaperLabel (juce::Graphics& g, juce::Rectangle<float> r, float angle, const juce::String& text,
                         float textHeight, bool bold, float hscale, std::uint32_t seed)
    {
        juce::Graphics::ScopedSaveState state (g);
        g.addTransform (juce::AffineTransform::rotation (angle, r.getCentreX(), r.getCentreY()));

        juce::Path sheet;
        sheet.addRectangle (r);
        dropShadow (g, sheet, juce::Colours::black.withAlpha (0.55f), 2, { 0, 1 });

        // Paper: off-white with a little fibre noise and a soft darkening at the edges.
        g.setColour (palette::paper);
        g.fillPath (sheet);
        Rng rng (seed);
        for (int i = 0; i < 90; ++i)
        {
            const auto x = rng.range (r.getX(), r.getRight() - 1.0f), y = rng.range (r.getY(), r.getBottom() - 1.0f);
            g.setColour ((rng.uniform() < 0.5f ? juce::Colours::black : juce::Colours::white).withAlpha (rng.range (0.02f, 0.06f)));
            g.fillRect (juce::Rectangle<float> (x, y, rng.range (1.0f, 3.0f), 1.0f));
        }
        g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.10f), r.getX(), r.getY(),
                                                 juce::Colours::black.withAlpha (0.10f), r.getRight(), r.getBottom(), false));
        g.fillPath (sheet);
        g.setColour (juce::Colours::black.withAlpha (0.18f));
        g.strokePath (sheet, juce::PathStrokeType (0.6f));

        legend (g, text, r.reduced (2.0f, 0.0f), textHeight, bold, palette::ink, juce::Justification::centred,
                0.06f, hscale);
    }

    void drawExtremePanel (juce::Graphics& g, const FaceplateOptions& options)
    {
        const auto r = area::extreme;
        metalPanel (g, r, finish::extreme(), 303u, ScrewHead::phillips);
        panelTitle (g, "EXTREME", (float) r.getCentreX(), 50.0f, 503.0f, 605.0f);

        if (options.printKeyLegends)
        {
            legend (g, "OFF", { 507.0f, 104.0f, 26.0f, 10.0f }, 8.5f, true, palette::silk,
                    juce::Justification::centred, 0.08f);
            legend (g, "ON", { 550.0f, 104.0f, 20.0f, 10.0f }, 8.5f, true, palette::silk,
                    juce::Justification::centred, 0.08f);
            g.setColour (palette::silk.withAlpha (0.8f));
            g.fillRect (juce::Rectangle<float> (519.0f, 116.0f, 1.0f, 5.0f));
            g.fillRect (juce::Rectangle<float> (559.5f, 116.0f, 1.0f, 5.0f));
        }

        // The lock: a bored hole with a bright chamfer that the key cylinder sits in.
        {
            const auto outer = juce::Rectangle<float> (56.0f, 56.0f).withCentre (lockCentre);
            g.setGradientFill (juce::ColourGradient (juce::Colours::black.withAlpha (0.45f), outer.getX(), outer.getY(),
                                                     juce::Colours::white.withAlpha (0.12f), outer.getRight(), outer.getBottom(), false));
            g.fillEllipse (outer);
            roundRecess (g, lockCentre, 24.0f, juce::Colour (0xff070707), 5, 0.9f);
        }

        // Lamp hole for the EXTREME lamp.
        roundRecess (g, { 591.0f, 133.0f }, 12.0f, juce::Colour (0xff080808), 3, 0.8f);

        drawPaperLabel (g, { 505.0f, 252.0f, 98.0f, 12.0f }, -0.020f, "EXTREME MODE", 9.0f, true, 1.0f, 77u);
        drawPaperLabel (g, { 500.0f, 267.0f, 108.0f, 12.0f }, 0.012f, "SOUND LIKE REAL FM RADIO", 7.6f, true,
                        0.86f, 78u);
    }

    //==============================================================================================
    void drawBypassPanel (juce::Graphics& g)
    {
        const auto r = area::bypass;
        metalPanel (g, r, finish::panel(), 404u, ScrewHead::phillips);
        panelTitle (g, "BYPASS", 666.5f, 50.0f, 639.0f, 694.0f);

        recess (g, { 629.0f, 108.0f, 54.0f, 98.0f }, 3.0f, juce::Colour (0xff0b0b0c), 4);

        // IEC marks beside the rocker: I (on) at the top, O (off) at the bottom.
        g.setColour (palette::silk);
        g.fillRect (juce::Rectangle<float> (692.0f, 132.0f, 1.5f, 9.0f));
        g.drawEllipse (juce::Rectangle<float> (688.5f, 173.0f, 8.0f, 9.0f), 1.3f);
    }

    //==============================================================================================
    void drawWoodRail (juce::Graphics& g, juce::Rectangle<int> r, std::uint32_t seed)
    {
        const auto rf = r.toFloat();
        g.drawImageAt (woodTexture (r, seed), r.getX(), r.getY());

        // Rounded profile: light on the upper curve, darker towards the bottom, a lacquer sheen.
        juce::ColourGradient shade (juce::Colours::white.withAlpha (0.10f), 0.0f, rf.getY(),
                                    juce::Colours::black.withAlpha (0.35f), 0.0f, rf.getBottom(), false);
        shade.addColour (0.18, juce::Colours::white.withAlpha (0.05f));
        shade.addColour (0.5, juce::Colours::transparentBlack);
        g.setGradientFill (shade);
        g.fillRect (rf);

        g.setColour (juce::Colours::white.withAlpha (0.22f));
        g.fillRect (rf.getX(), rf.getY(), rf.getWidth(), 1.0f);
        g.setColour (juce::Colours::black.withAlpha (0.7f));
        g.fillRect (rf.getX(), rf.getBottom() - 1.0f, rf.getWidth(), 1.0f);
    }

    void drawUpperRailDetails (juce::Graphics& g)
    {
        // Two countersunk screws hold the rail, one at each end.
        const auto r = area::upperRail.toFloat();
        for (auto x : { 22.0f, 698.0f })
            screw (g, { x, r.getCentreY() }, 3.8f, ScrewHead::phillips, x * 0.01f);
    }

    //==============================================================================================
    void drawArrowKeyWithPocket (juce::Graphics& g, juce::Rectangle<float> key, bool left)
    {
        recess (g, key.expanded (2.0f), 4.0f, juce::Colour (0xff0a0a0b), 3);
        drawSmallKey (g, key, left, false);
    }

    void drawMiddleRack (juce::Graphics& g, juce::Image& image)
    {
        const auto r = area::middle;
        metalPanel (g, r, finish::panel(), 505u, ScrewHead::phillips);

        // Label plates under the meter lamps; the editor repaints their middle from the colours
        // at x 78 and x 690, rows 451 and 470, and writes OVL / CEILING on them.
        labelPlate (g, { 35.0f, 448.0f, 50.0f, 38.0f });
        labelPlate (g, { 633.0f, 448.0f, 62.0f, 38.0f });

        // Meters: a black slot each, a scale on the outer side, the legend above.
        recess (g, { 49.0f, 363.0f, 26.0f, 87.0f }, 1.5f, juce::Colour (0xff050505), 3);
        recess (g, { 644.0f, 363.0f, 26.0f, 87.0f }, 1.5f, juce::Colour (0xff050505), 3);
        drawMeterScale (g, 49.0f, 75.0f, true);
        drawMeterScale (g, 644.0f, 670.0f, false);
        legend (g, "IN", { 42.0f, 350.0f, 40.0f, 10.0f }, 9.0f, true, palette::silk, juce::Justification::centred, 0.12f);
        legend (g, "OUT", { 637.0f, 350.0f, 40.0f, 10.0f }, 9.0f, true, palette::silk, juce::Justification::centred, 0.12f);

        // Lamps under the meters.
        roundRecess (g, { 60.0f, 461.0f }, 10.0f, juce::Colour (0xff080808), 3, 0.8f);
        roundRecess (g, { 657.0f, 461.0f }, 10.0f, juce::Colour (0xff080808), 3, 0.8f);

        // The display window: a bezel in a cut-out, near-black glass inside.
        const auto cut = juce::Rectangle<float> (138.0f, 344.0f, 445.0f, 125.0f);
        recess (g, cut, 4.0f, juce::Colour (0xff0a0a0b), 4);
        drawScreenBezel (g, cut.reduced (1.0f), { 146.0f, 352.0f, 429.0f, 109.0f }, 606u);
        {
            const auto glass = juce::Rectangle<float> (146.0f, 352.0f, 429.0f, 109.0f);
            g.setColour (palette::glass);
            g.fillRect (glass);
            juce::Path pane;
            pane.addRectangle (glass);
            innerShadow (g, pane, juce::Colours::black, 6, { 1, 2 });
            // A faint diagonal reflection across the upper left of the glass.
            juce::Path sheen;
            sheen.startNewSubPath (glass.getX(), glass.getY());
            sheen.lineTo (glass.getX() + 170.0f, glass.getY());
            sheen.lineTo (glass.getX() + 80.0f, glass.getBottom());
            sheen.lineTo (glass.getX(), glass.getBottom());
            sheen.closeSubPath();
            g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.030f), glass.getX(), glass.getY(),
                                                     juce::Colours::white.withAlpha (0.0f), glass.getX() + 120.0f,
                                                     glass.getY() + 60.0f, false));
            g.fillPath (sheen);
        }

        // Display keys either side of the window.
        drawArrowKeyWithPocket (g, { 88.0f, 375.0f, 46.0f, 56.0f }, true);
        drawArrowKeyWithPocket (g, { 586.0f, 375.0f, 46.0f, 56.0f }, false);
        legend (g, "DISPLAY", { 81.0f, 436.0f, 60.0f, 9.0f }, 7.5f, true, palette::silkGrey,
                juce::Justification::centred, 0.12f);
        legend (g, "DISPLAY", { 579.0f, 436.0f, 60.0f, 9.0f }, 7.5f, true, palette::silkGrey,
                juce::Justification::centred, 0.12f);

        legend (g, "AIR CHAIN MONITOR", { 260.0f, 476.0f, 200.0f, 10.0f }, 8.0f, true,
                palette::silkGrey.withAlpha (0.8f), juce::Justification::centred, 0.3f);
    }

    //==============================================================================================
    void drawLowerRailBadge (juce::Graphics& g)
    {
        // A small engraved plate naming the EXTREME FM group of modules below it.
        const auto groupLeft = 44.0f + 35.0f * 8.0f - 17.0f, groupRight = 44.0f + 35.0f * 13.0f + 17.0f;
        const auto badge = juce::Rectangle<float> (80.0f, 12.0f).withCentre ({ (groupLeft + groupRight) * 0.5f, 506.0f });
        juce::Path plate;
        plate.addRoundedRectangle (badge, 1.5f);
        dropShadow (g, plate, juce::Colours::black.withAlpha (0.6f), 2, { 0, 1 });
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xff2a2b2e), badge.getX(), badge.getY(),
                                                 juce::Colour (0xff17181a), badge.getX(), badge.getBottom(), false));
        g.fillPath (plate);
        raisedBevel (g, badge, 1.5f, 0.8f);
        legend (g, "EXTREME FM", badge.translated (0.0f, 0.0f), 8.0f, true, palette::amber, juce::Justification::centred, 0.16f);
    }

    void drawBottomRack (juce::Graphics& g)
    {
        const auto r = area::bottomRack;
        // The rack well: darker than the chassis, shadowed under the rail.
        g.setColour (juce::Colour (0xff0b0b0c));
        g.fillRect (juce::Rectangle<int> (12, r.getY(), 696, r.getHeight()));
        g.setGradientFill (juce::ColourGradient (juce::Colours::black.withAlpha (0.8f), 0.0f, (float) r.getY(),
                                                 juce::Colours::transparentBlack, 0.0f, (float) r.getY() + 6.0f, false));
        g.fillRect (r);

        // Vertical rails at both ends with their screws.
        for (auto x : { 12, 692 })
        {
            const auto rail = juce::Rectangle<int> (x, r.getY() + 2, 16, r.getHeight() - 3);
            juce::Path p;
            p.addRectangle (rail);
            fillTextured (g, p, metalTexture (finish::header(), rail, (std::uint32_t) (700 + x)), rail.getPosition());
            raisedBevel (g, rail.toFloat(), 0.0f, 0.8f);
            screw (g, { (float) rail.getCentreX(), (float) r.getY() + 14.0f }, 3.2f, ScrewHead::hex, 0.2f * (float) x);
            screw (g, { (float) rail.getCentreX(), (float) r.getBottom() - 13.0f }, 3.2f, ScrewHead::hex, 0.7f * (float) x);
        }

        // EXTREME FM group: a thin amber bracket along the top of slots 8 to 13.
        {
            const auto left = 44.0f + 35.0f * 8.0f - 17.0f, right = 44.0f + 35.0f * 13.0f + 17.0f;
            g.setColour (palette::amber.withAlpha (0.8f));
            g.fillRect (juce::Rectangle<float> (left, 514.0f, right - left, 1.0f));
            g.fillRect (juce::Rectangle<float> (left, 514.0f, 1.0f, 3.0f));
            g.fillRect (juce::Rectangle<float> (right - 1.0f, 514.0f, 1.0f, 3.0f));
        }

        for (int k = 0; k < 19; ++k)
        {
            const auto cx = 44 + 35 * k;
            drawModuleFront (g, { cx - 17, 517, 34, 76 }, (std::uint32_t) (900 + k), 2.1f);

            // Seats for the windows the editor paints on each module: a dark cut one pixel
            // larger than the window, with a catch light on its lower edge.
            const auto fcx = (float) cx;
            const auto seat = [&g] (juce::Rectangle<float> window, bool round)
            {
                const auto cut = window.expanded (1.0f);
                g.setColour (juce::Colours::white.withAlpha (0.10f));
                if (round) g.fillEllipse (cut.translated (0.0f, 0.8f)); else g.fillRect (cut.translated (0.0f, 1.0f));
                g.setColour (juce::Colour (0xff0a0a0a));
                if (round) g.fillEllipse (cut); else g.fillRect (cut);
            };
            seat ({ fcx - 15.5f, 523.0f, 31.0f, 20.0f }, false);
            seat ({ fcx - 6.0f, 551.0f, 12.0f, 8.0f }, false);
            seat ({ fcx - 8.0f, 565.0f, 16.0f, 10.0f }, false);
            seat ({ fcx - 5.0f, 577.0f, 10.0f, 10.0f }, true);
        }
    }

    void drawFoot (juce::Graphics& g)
    {
        const auto r = area::foot;
        g.drawImageAt (metalTexture (finish::header(), r, 31u), r.getX(), r.getY());
        g.setColour (juce::Colours::black.withAlpha (0.8f));
        g.fillRect (r.getX(), r.getY(), r.getWidth(), 1);
        g.setColour (juce::Colours::white.withAlpha (0.09f));
        g.fillRect (r.getX(), r.getY() + 1, r.getWidth(), 1);

        legend (g, juce::String::fromUTF8 ("KORVANE  \xc2\xb7  TARVIK 4.1  \xc2\xb7  DESIGNED FOR THE AIR"), { 16.0f, 598.0f, 300.0f, 12.0f }, 7.5f,
                false, palette::silkGrey.withAlpha (0.55f), juce::Justification::centredLeft, 0.2f);
    }
}

//==================================================================================================
juce::Image drawFaceplate (const FaceplateOptions& options)
{
    juce::Image image (juce::Image::ARGB, 720, 614, true);
    juce::Graphics g (image);

    drawChassis (g);
    drawHeader (g);

    drawInputPanel (g);
    drawPresetPanel (g);
    drawExtremePanel (g, options);
    drawBypassPanel (g);

    drawWoodRail (g, area::upperRail, 41u);
    drawUpperRailDetails (g);
    drawMiddleRack (g, image);
    drawWoodRail (g, area::lowerRail, 43u);
    drawBottomRack (g);
    drawLowerRailBadge (g);
    drawFoot (g);

    return image;
}

} // namespace artgen
