// The controls and screens: knob cap, preset keys, the EXTREME key switch and its cleanup patch,
// lamps, the BYPASS rocker and the screen bezels.

#include "Art.h"

#include <cmath>

namespace artgen
{

namespace
{
    constexpr float pi = juce::MathConstants<float>::pi;

    juce::Rectangle<float> disc (juce::Point<float> c, float r)
    {
        return juce::Rectangle<float> (2.0f * r, 2.0f * r).withCentre (c);
    }

    juce::Colour scaled (juce::Colour c, float k)
    {
        return juce::Colour::fromFloatRGBA (juce::jmin (1.0f, c.getFloatRed() * k), juce::jmin (1.0f, c.getFloatGreen() * k),
                                            juce::jmin (1.0f, c.getFloatBlue() * k), c.getFloatAlpha());
    }
}

//==================================================================================================
void drawLamp (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour glow, bool lit)
{
    const auto c = area.getCentre();
    const auto outer = area.getWidth() * 0.5f;
    const auto glassR = outer * 0.68f;

    // Chrome bezel ring.
    g.setColour (juce::Colours::black.withAlpha (0.85f));
    g.fillEllipse (disc (c, outer));
    juce::ColourGradient chrome (juce::Colour (0xffe6e7ea), c.x - outer * 0.7f, c.y - outer * 0.8f,
                                 juce::Colour (0xff3b3d41), c.x + outer * 0.6f, c.y + outer * 0.9f, false);
    chrome.addColour (0.5, juce::Colour (0xff8d9096));
    g.setGradientFill (chrome);
    g.fillEllipse (disc (c, outer - 0.7f));
    // The bezel is a convex ring: a darker band between its crown and the glass.
    juce::ColourGradient inner (juce::Colour (0xff45474c), c.x - outer * 0.5f, c.y - outer * 0.5f,
                                juce::Colour (0xffbfc1c5), c.x + outer * 0.5f, c.y + outer * 0.6f, false);
    g.setGradientFill (inner);
    g.fillEllipse (disc (c, glassR + outer * 0.12f));

    g.setColour (juce::Colours::black);
    g.fillEllipse (disc (c, glassR + 0.5f));

    const auto glassArea = disc (c, glassR);
    if (lit)
    {
        juce::ColourGradient hot (glow.interpolatedWith (juce::Colours::white, 0.55f), c.x - glassR * 0.15f, c.y - glassR * 0.2f,
                                  scaled (glow, 0.62f), c.x + glassR, c.y + glassR * 0.2f, true);
        hot.addColour (0.45, glow);
        g.setGradientFill (hot);
        g.fillEllipse (glassArea);
        // Light spilling onto the bezel.
        juce::ColourGradient spill (glow.withAlpha (0.45f), c.x, c.y, glow.withAlpha (0.0f), c.x + outer, c.y, true);
        g.setGradientFill (spill);
        g.fillEllipse (disc (c, outer));
    }
    else
    {
        juce::ColourGradient cold (glow.interpolatedWith (juce::Colours::black, 0.62f), c.x - glassR * 0.25f, c.y - glassR * 0.3f,
                                   glow.interpolatedWith (juce::Colours::black, 0.90f), c.x + glassR, c.y + glassR * 0.3f, true);
        g.setGradientFill (cold);
        g.fillEllipse (glassArea);
        // Fresnel facets of the lens, faintly.
        g.setColour (glow.withAlpha (0.10f));
        g.drawEllipse (disc (c, glassR * 0.55f), 0.6f);
    }

    // Highlight of the light source on the lens.
    const auto glare = juce::Rectangle<float> (glassR * 0.9f, glassR * 0.55f)
                          .withCentre ({ c.x - glassR * 0.28f, c.y - glassR * 0.45f });
    g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (lit ? 0.75f : 0.38f), glare.getCentreX(), glare.getY(),
                                             juce::Colours::white.withAlpha (0.0f), glare.getCentreX(), glare.getBottom(), false));
    g.fillEllipse (glare);
}

juce::Image drawLampImage (int size, juce::Colour glow, bool lit)
{
    juce::Image image (juce::Image::ARGB, size, size, true);
    juce::Graphics g (image);
    drawLamp (g, juce::Rectangle<float> ((float) size, (float) size), glow, lit);
    return image;
}

//==================================================================================================
void drawSmallKey (juce::Graphics& g, juce::Rectangle<float> area, bool pointsLeft, bool pressed)
{
    auto body = area.reduced (2.0f, 0.0f).withTrimmedTop (1.0f).withTrimmedBottom (3.0f);
    if (pressed)
        body = body.translated (0.0f, 1.0f);
    const auto dim = pressed ? 0.78f : 1.0f;
    const auto corner = juce::jmin (5.0f, body.getWidth() * 0.14f);

    juce::Path bodyPath;
    bodyPath.addRoundedRectangle (body, corner);
    dropShadow (g, bodyPath, juce::Colours::black.withAlpha (pressed ? 0.55f : 0.85f), pressed ? 2 : 4,
                { 0, pressed ? 1 : 2 });

    // Skirt of the cap.
    juce::ColourGradient skirt (scaled (juce::Colour (0xff505256), dim), 0.0f, body.getY(),
                                scaled (juce::Colour (0xff18191b), dim), 0.0f, body.getBottom(), false);
    skirt.addColour (0.2, scaled (juce::Colour (0xff36383b), dim));
    g.setGradientFill (skirt);
    g.fillPath (bodyPath);
    raisedBevel (g, body, corner, pressed ? 0.6f : 1.0f);

    // Slightly dished face.
    const auto face = body.withTrimmedLeft (3.0f).withTrimmedRight (3.0f).withTrimmedTop (2.5f).withTrimmedBottom (5.0f);
    juce::Path facePath;
    facePath.addRoundedRectangle (face, corner - 1.5f);
    juce::ColourGradient dish (scaled (juce::Colour (0xff222326), dim), 0.0f, face.getY(),
                               scaled (juce::Colour (0xff35373a), dim), 0.0f, face.getBottom(), false);
    g.setGradientFill (dish);
    g.fillPath (facePath);
    g.setColour (juce::Colours::black.withAlpha (0.35f));
    g.fillRect (face.getX() + 1.0f, face.getY(), face.getWidth() - 2.0f, 1.0f);
    g.setColour (juce::Colours::white.withAlpha (0.10f * dim));
    g.fillRect (face.getX() + 1.0f, face.getBottom() - 1.0f, face.getWidth() - 2.0f, 1.0f);

    // Amber chevron.
    const auto h = face.getHeight() * 0.36f, w = h * 0.55f;
    const auto c = face.getCentre().translated (pointsLeft ? -1.0f : 1.0f, 0.0f);
    const auto s = pointsLeft ? 1.0f : -1.0f;
    juce::Path chevron;
    chevron.startNewSubPath (c.x + s * w * 0.5f, c.y - h * 0.5f);
    chevron.lineTo (c.x - s * w * 0.5f, c.y);
    chevron.lineTo (c.x + s * w * 0.5f, c.y + h * 0.5f);
    const auto stroke = juce::jmax (1.8f, face.getWidth() * 0.08f);
    g.setColour (palette::amber.withAlpha (pressed ? 0.16f : 0.24f));
    g.strokePath (chevron, juce::PathStrokeType (stroke * 2.6f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    g.setColour (pressed ? scaled (palette::amber, 0.85f) : palette::amber);
    g.strokePath (chevron, juce::PathStrokeType (stroke, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

juce::Image drawArrowKey (bool pointsLeft, bool pressed)
{
    juce::Image image (juce::Image::ARGB, 36, 48, true);
    juce::Graphics g (image);
    drawSmallKey (g, { 0.0f, 0.0f, 36.0f, 48.0f }, pointsLeft, pressed);
    return image;
}

//==================================================================================================
juce::Image drawKnobBody()
{
    constexpr int size = 108;
    const juce::Point<float> c (54.0f, 54.0f);
    juce::Image image (juce::Image::ARGB, size, size, true);
    juce::Graphics g (image);

    // Knurled rim: fine ridges, each lit according to where it faces.
    const auto rimOuter = 53.8f, rimInner = 45.0f;
    g.setColour (juce::Colour (0xff202124));
    g.fillEllipse (disc (c, rimOuter));
    constexpr int teeth = 72;
    const auto lightAngle = -0.75f * pi;   // from the top left
    for (int i = 0; i < teeth; ++i)
    {
        const auto a0 = 2.0f * pi * (float) i / (float) teeth;
        const auto facing = std::cos (a0 - lightAngle - 0.5f * pi);
        for (int half = 0; half < 2; ++half)
        {
            const auto start = a0 + (float) half * pi / (float) teeth;
            const auto flank = half == 0 ? 0.20f : -0.20f;
            const auto v = juce::jlimit (0.0f, 1.0f, 0.33f + 0.30f * facing + flank * (0.6f + 0.4f * facing));
            juce::Path tooth;
            tooth.addPieSegment (disc (c, rimOuter - 0.4f), start, start + pi / (float) teeth + 0.01f, rimInner / rimOuter);
            g.setColour (juce::Colour::fromFloatRGBA (v * 0.62f, v * 0.63f, v * 0.66f, 1.0f));
            g.fillPath (tooth);
        }
    }
    // Soft edge of the rim and a little chamfer light on the upper left.
    g.setColour (juce::Colours::black.withAlpha (0.6f));
    g.drawEllipse (disc (c, rimOuter - 0.4f), 0.9f);
    {
        juce::Path arc;
        arc.addCentredArc (c.x, c.y, rimOuter - 1.2f, rimOuter - 1.2f, 0.0f, -0.95f * pi, -0.05f * pi, true);
        g.setColour (juce::Colours::white.withAlpha (0.18f));
        g.strokePath (arc, juce::PathStrokeType (1.0f));
    }

    // Chamfer between rim and face.
    juce::ColourGradient chamfer (juce::Colour (0xffa9abb0), c.x - 30.0f, c.y - 32.0f,
                                  juce::Colour (0xff141517), c.x + 30.0f, c.y + 34.0f, false);
    g.setGradientFill (chamfer);
    g.fillEllipse (disc (c, rimInner));

    // Face: dark spun metal, uncluttered where the pointer is painted.
    juce::Path face;
    face.addEllipse (disc (c, rimInner - 1.6f));
    fillTextured (g, face, spunTexture (size, juce::Colour (0xff35363b), 0.26f, 71u), { 0, 0 });
    g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.07f), c.x - 30.0f, c.y - 30.0f,
                                             juce::Colours::black.withAlpha (0.22f), c.x + 30.0f, c.y + 34.0f, false));
    g.fillPath (face);

    // A soft reflection of the light on the upper left of the face.
    {
        const auto glint = juce::Rectangle<float> (46.0f, 34.0f).withCentre ({ c.x - 14.0f, c.y - 17.0f });
        g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.07f), glint.getCentreX(), glint.getCentreY(),
                                                 juce::Colours::white.withAlpha (0.0f), glint.getRight(), glint.getCentreY(), true));
        g.fillEllipse (glint);
    }

    // Shallow centre dimple.
    const auto dimple = disc (c, 11.0f);
    g.setGradientFill (juce::ColourGradient (juce::Colours::black.withAlpha (0.28f), dimple.getX(), dimple.getY(),
                                             juce::Colours::white.withAlpha (0.10f), dimple.getRight(), dimple.getBottom(), false));
    g.fillEllipse (dimple);
    g.setColour (juce::Colours::black.withAlpha (0.25f));
    g.drawEllipse (dimple, 0.6f);
    return image;
}

//==================================================================================================
// The EXTREME key switch, lock cylinder centred at (55, 61) of the 120 x 150 image.

namespace
{
    const juce::Point<float> lockAt { 55.0f, 61.0f };

    /** The key's bow, a rounded shield, pointing along +y; inset shrinks it for the raised rim. */
    juce::Path keyBow (float inset)
    {
        const auto w = 14.0f - inset, top = 19.0f + inset, bottom = 46.0f - inset;
        const auto shoulder = 7.0f - inset * 0.5f;
        juce::Path bow;
        bow.startNewSubPath (-shoulder, top);
        bow.lineTo (shoulder, top);
        bow.cubicTo (w - 0.5f, top, w, top + 5.0f, w, top + 11.0f - inset * 0.5f);
        bow.cubicTo (w, bottom - 6.0f, w * 0.6f, bottom, 0.0f, bottom);
        bow.cubicTo (-w * 0.6f, bottom, -w, bottom - 6.0f, -w, top + 11.0f - inset * 0.5f);
        bow.cubicTo (-w, top + 5.0f, -w + 0.5f, top, -shoulder, top);
        bow.closeSubPath();
        return bow;
    }

    /** The key's neck and bow pointing along +y from the lock centre, in key-local units. */
    juce::Path keyOutline (bool withHole)
    {
        juce::Path p;
        p.addRoundedRectangle (-4.0f, 5.0f, 8.0f, 16.0f, 1.5f);
        p.addPath (keyBow (0.0f));
        if (withHole)
        {
            p.addEllipse (-3.6f, 34.4f, 7.2f, 7.2f);
            p.setUsingNonZeroWinding (false);
        }
        return p;
    }

    void drawKeyRingAndTag (juce::Graphics& g, juce::Point<float> hole, float tagAngle)
    {
        const auto ringR = 10.0f;
        const auto ringC = hole.translated (0.0f, ringR - 1.5f);

        // Tag first (behind the ring), hanging from the ring's lowest point.
        const auto hang = ringC.translated (0.0f, ringR - 1.2f);
        const auto tag = juce::Rectangle<float> (hang.x - 8.5f, hang.y - 3.5f, 17.0f, 26.0f);
        juce::Path tagPath;
        tagPath.addRoundedRectangle (tag, 3.0f);
        tagPath.addEllipse (disc ({ hang.x, hang.y + 0.5f }, 1.8f));
        tagPath.setUsingNonZeroWinding (false);
        const auto turn = juce::AffineTransform::rotation (tagAngle, hang.x, hang.y);
        tagPath.applyTransform (turn);

        dropShadow (g, tagPath, juce::Colours::black.withAlpha (0.55f), 3, { 2, 3 });
        const auto tb = tagPath.getBounds();
        juce::ColourGradient alu (juce::Colour (0xffe2c67e), tb.getX(), tb.getY(),
                                  juce::Colour (0xff7a5922), tb.getRight(), tb.getBottom(), false);
        alu.addColour (0.4, juce::Colour (0xffc29b4c));
        g.setGradientFill (alu);
        g.fillPath (tagPath);
        g.setColour (juce::Colours::black.withAlpha (0.45f));
        g.strokePath (tagPath, juce::PathStrokeType (0.7f));
        {
            juce::Graphics::ScopedSaveState state (g);
            g.addTransform (turn);
            // Stamped lettering: a dark cut with a light lower edge.
            const auto textArea = tag.withTrimmedTop (6.0f).withTrimmedBottom (3.0f);
            g.setFont (legendFont (8.0f, true, 0.0f));
            g.setColour (juce::Colour (0xfff3dfa6).withAlpha (0.7f));
            g.drawText ("FM", textArea.translated (0.0f, 0.6f), juce::Justification::centred, false);
            g.setColour (juce::Colour (0xff4a3410));
            g.drawText ("FM", textArea, juce::Justification::centred, false);
            g.setColour (juce::Colours::black.withAlpha (0.35f));
            g.drawRoundedRectangle (tag.reduced (2.0f).withTrimmedTop (4.0f), 1.5f, 0.5f);
        }

        // Split ring.
        juce::Path ring;
        ring.addEllipse (disc (ringC, ringR));
        const juce::PathStrokeType wire (1.9f);
        juce::Path ringShadow;
        wire.createStrokedPath (ringShadow, ring);
        dropShadow (g, ringShadow, juce::Colours::black.withAlpha (0.5f), 2, { 1, 2 });
        juce::ColourGradient steel (juce::Colour (0xfff0f1f3), ringC.x - ringR, ringC.y - ringR,
                                    juce::Colour (0xff505357), ringC.x + ringR, ringC.y + ringR, false);
        g.setGradientFill (steel);
        g.fillPath (ringShadow);
    }
}

juce::Image drawKeySwitch (bool on)
{
    juce::Image image (juce::Image::ARGB, 120, 150, true);
    juce::Graphics g (image);
    const auto c = lockAt;

    // Cylinder bezel.
    {
        juce::Path bezel;
        bezel.addEllipse (disc (c, 21.5f));
        dropShadow (g, bezel, juce::Colours::black.withAlpha (0.6f), 3, { 1, 2 });
        juce::ColourGradient chrome (juce::Colour (0xffeeeff1), c.x - 16.0f, c.y - 18.0f,
                                     juce::Colour (0xff44464b), c.x + 16.0f, c.y + 19.0f, false);
        chrome.addColour (0.45, juce::Colour (0xff9a9da3));
        chrome.addColour (0.6, juce::Colour (0xff6d7076));
        g.setGradientFill (chrome);
        g.fillPath (bezel);
        g.setColour (juce::Colours::black.withAlpha (0.55f));
        g.drawEllipse (disc (c, 21.2f), 0.8f);

        // Inner chamfer falling towards the plug: the opposite shading.
        juce::ColourGradient chamfer (juce::Colour (0xff3d3f44), c.x - 12.0f, c.y - 12.0f,
                                      juce::Colour (0xffd9dbde), c.x + 12.0f, c.y + 13.0f, false);
        g.setGradientFill (chamfer);
        g.fillEllipse (disc (c, 16.0f));
        g.setColour (juce::Colours::black.withAlpha (0.85f));
        g.fillEllipse (disc (c, 13.4f));

        // The plug, brushed nickel.
        juce::ColourGradient plug (juce::Colour (0xffb9bcc1), c.x - 10.0f, c.y - 10.0f,
                                   juce::Colour (0xff5d6065), c.x + 10.0f, c.y + 11.0f, false);
        g.setGradientFill (plug);
        g.fillEllipse (disc (c, 12.6f));
        g.setColour (juce::Colours::white.withAlpha (0.25f));
        g.drawEllipse (disc (c, 9.0f), 0.5f);
    }

    const auto turn = juce::AffineTransform::rotation (on ? -0.5f * pi : 0.0f).translated (c.x, c.y);

    // Keyway slot, turned with the key.
    {
        // The keyway with the key's blade seen end-on inside it.
        juce::Path slot, blade;
        slot.addRoundedRectangle (-2.0f, -10.0f, 4.0f, 20.0f, 1.2f);
        slot.applyTransform (turn);
        blade.addRectangle (-0.7f, -8.5f, 1.4f, 17.0f);
        blade.applyTransform (turn);
        g.setColour (juce::Colour (0xff050505));
        g.fillPath (slot);
        g.setColour (juce::Colour (0xff9c9fa4));
        g.fillPath (blade);
    }

    // The key with ring and tag. Draw the ring first so it disappears behind the bow except in
    // the hole it passes through.
    const auto hole = juce::Point<float> (0.0f, 38.0f).transformedBy (turn);
    drawKeyRingAndTag (g, hole, on ? 0.06f : -0.05f);

    {
        auto outline = keyOutline (true);
        outline.applyTransform (turn);
        dropShadow (g, outline, juce::Colours::black.withAlpha (0.6f), 5, { 3, 5 });

        const auto b = outline.getBounds();
        juce::ColourGradient nickel (juce::Colour (0xffe7e8ea), b.getX(), b.getY(),
                                     juce::Colour (0xff5f6267), b.getRight(), b.getBottom(), false);
        nickel.addColour (0.35, juce::Colour (0xffbfc2c6));
        nickel.addColour (0.7, juce::Colour (0xff85888e));
        g.setGradientFill (nickel);
        g.fillPath (outline);

        // Raised rim of the bow: a thin light line inset, and a dark outline.
        auto rim = keyBow (2.6f);
        rim.applyTransform (turn);
        g.setColour (juce::Colours::white.withAlpha (0.35f));
        g.strokePath (rim, juce::PathStrokeType (0.8f), juce::AffineTransform::translation (0.5f, 0.6f));
        g.setColour (juce::Colours::black.withAlpha (0.28f));
        g.strokePath (rim, juce::PathStrokeType (0.8f));
        g.setColour (juce::Colours::black.withAlpha (0.6f));
        g.strokePath (outline, juce::PathStrokeType (0.8f));

        // Where the neck enters the plug.
        juce::Path collar;
        collar.addRoundedRectangle (-5.5f, 5.0f, 11.0f, 3.0f, 1.0f);
        collar.applyTransform (turn);
        g.setColour (juce::Colours::black.withAlpha (0.45f));
        g.fillPath (collar);
    }

    // Things painted from underneath must show through here.
    clearRect (image, { 0, 0, 120, 35 });
    clearRect (image, { 84, 23, 23, 23 });
    return image;
}

juce::Image drawKeyCleanup()
{
    FaceplateOptions options;
    options.printKeyLegends = false;
    auto patch = crop (drawFaceplate (options), { 499, 89, 76, 44 });
    featherEdges (patch, 6);
    return patch;
}

//==================================================================================================
void drawScreenBezel (juce::Graphics& g, juce::Rectangle<float> outer, juce::Rectangle<float> inner,
                      std::uint32_t seed)
{
    juce::Path frame;
    frame.addRoundedRectangle (outer, 3.0f);
    frame.addRectangle (inner);
    frame.setUsingNonZeroWinding (false);
    const auto box = outer.getSmallestIntegerContainer();
    fillTextured (g, frame, metalTexture (finish::bezel(), box, seed, false), box.getPosition());
    raisedBevel (g, outer, 3.0f, 1.0f);

    // A chamfer falling into the glass: dark on the upper edge, lit on the lower edge.
    for (int i = 1; i <= 2; ++i)
    {
        const auto k = (float) i;
        const auto a = i == 1 ? 1.0f : 0.5f;
        g.setColour (juce::Colours::black.withAlpha (0.55f * a));
        g.fillRect (juce::Rectangle<float> (inner.getX() - k, inner.getY() - k, inner.getWidth() + 2.0f * k, 1.0f));
        g.setColour (juce::Colours::black.withAlpha (0.35f * a));
        g.fillRect (juce::Rectangle<float> (inner.getX() - k, inner.getY() - k + 1.0f, 1.0f, inner.getHeight() + 2.0f * k - 1.0f));
        g.setColour (juce::Colours::white.withAlpha (0.14f * a));
        g.fillRect (juce::Rectangle<float> (inner.getX() - k, inner.getBottom() + k - 1.0f, inner.getWidth() + 2.0f * k, 1.0f));
        g.setColour (juce::Colours::white.withAlpha (0.06f * a));
        g.fillRect (juce::Rectangle<float> (inner.getRight() + k - 1.0f, inner.getY() - k + 1.0f, 1.0f, inner.getHeight() + 2.0f * k - 2.0f));
    }
}

namespace
{
    /** A bezel around a screen whose interior stays mostly transparent: a faint dark glass with
        clear dots, a soft shadow at the edges and a trace of reflection. */
    juce::Image screenFrame (int w, int h, int border, std::uint32_t seed)
    {
        juce::Image image (juce::Image::ARGB, w, h, true);
        const auto inner = juce::Rectangle<int> (border, border, w - 2 * border, h - 2 * border);
        {
            juce::Image::BitmapData bits (image, juce::Image::BitmapData::writeOnly);
            for (int y = inner.getY(); y < inner.getBottom(); ++y)
            {
                for (int x = inner.getX(); x < inner.getRight(); ++x)
                {
                    const auto lx = x - inner.getX(), ly = y - inner.getY();
                    const auto edge = (float) juce::jmin (juce::jmin (lx, inner.getWidth() - 1 - lx),
                                                          juce::jmin (ly, inner.getHeight() - 1 - ly));
                    const auto shade = 0.75f * std::exp (-edge / 2.2f);
                    const auto dot = (lx % 3 == 1) && (ly % 3 == 1);
                    const auto alpha = juce::jmax (shade, dot ? 0.0f : 0.28f);
                    bits.setPixelColour (x, y, juce::Colours::black.withAlpha (alpha));
                }
            }
        }
        juce::Graphics g (image);
        const auto innerF = inner.toFloat();
        g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.05f), innerF.getX(), innerF.getY(),
                                                 juce::Colours::white.withAlpha (0.0f), innerF.getX(),
                                                 innerF.getY() + innerF.getHeight() * 0.45f, false));
        g.fillRect (innerF.withHeight (innerF.getHeight() * 0.45f));
        drawScreenBezel (g, image.getBounds().toFloat(), innerF, seed);
        return image;
    }
}

juce::Image drawNameBase()        { return screenFrame (176, 48, 6, 811u); }
juce::Image drawExplanationBase() { return screenFrame (268, 95, 7, 812u); }

juce::Image drawGraphBase()
{
    juce::Image image (juce::Image::ARGB, 468, 140, true);
    juce::Graphics g (image);
    const auto inner = juce::Rectangle<float> (10.0f, 10.0f, 448.0f, 120.0f);
    g.setColour (palette::glass);
    g.fillRect (inner);
    g.setColour (palette::amberDim.withAlpha (0.55f));
    for (int i = 1; i < 8; ++i)
        g.fillRect (juce::Rectangle<float> (inner.getX() + inner.getWidth() * (float) i / 8.0f, inner.getY(), 1.0f, inner.getHeight()));
    for (int i = 1; i < 4; ++i)
        g.fillRect (juce::Rectangle<float> (inner.getX(), inner.getY() + inner.getHeight() * (float) i / 4.0f, inner.getWidth(), 1.0f));
    juce::Path pane;
    pane.addRectangle (inner);
    innerShadow (g, pane, juce::Colours::black, 6, { 1, 2 });
    drawScreenBezel (g, image.getBounds().toFloat(), inner, 813u);
    return image;
}

//==================================================================================================
// BYPASS rocker strip: two 192 x 368 halves drawn at four times the size they are shown at.
// Shapes are laid out in the 48 x 92 units of the shown size.

namespace
{
    void drawRockerHalf (juce::Graphics& g, int offsetX, bool on)
    {
        constexpr float k = 4.0f;
        const auto half = juce::Rectangle<int> (offsetX, 0, 192, 368);

        // The bezel sits in a dark cut-out: only a thin shadowed margin shows around it.
        {
            juce::Path cutOut;
            cutOut.addRectangle (half.toFloat());
            g.setColour (juce::Colour (0xff0b0b0c));
            g.fillPath (cutOut);
            innerShadow (g, cutOut, juce::Colours::black, 10, { 2, 4 });
        }

        juce::Graphics::ScopedSaveState state (g);
        g.addTransform (juce::AffineTransform::scale (k).translated ((float) offsetX, 0.0f));

        const auto plate = juce::Rectangle<float> (1.25f, 1.0f, 45.5f, 89.5f);
        juce::Path platePath;
        platePath.addRoundedRectangle (plate, 3.5f);
        dropShadow (g, platePath, juce::Colours::black.withAlpha (0.8f), 2, { 0, 1 });
        {
            // The texture is made at full size, so undo the unit scale for its fill.
            const auto box = juce::Rectangle<int> (offsetX + 5, 4, 182, 358);
            const auto tex = metalTexture (finish::bezel(), box, on ? 904u : 903u, false);
            g.setFillType (juce::FillType (tex, juce::AffineTransform::translation (5.0f, 4.0f).scaled (1.0f / k)));
            g.fillPath (platePath);
        }
        raisedBevel (g, plate, 3.5f, 1.0f);

        screw (g, { 24.0f, 8.5f }, 3.3f, ScrewHead::hex, on ? 0.5f : 0.2f);
        screw (g, { 24.0f, 83.5f }, 3.3f, ScrewHead::hex, on ? 1.1f : 0.8f);

        // Opening and the rocker face: (32, 68, 128, 232) in strip pixels.
        const auto face = juce::Rectangle<float> (8.0f, 17.0f, 32.0f, 58.0f);
        const auto opening = face.expanded (1.25f);
        g.setColour (juce::Colour (0xff030303));
        g.fillRoundedRectangle (opening, 2.5f);

        juce::Path facePath;
        facePath.addRoundedRectangle (face, 2.0f);
        const auto lit = juce::Colour (0xff4a4c50), shade = juce::Colour (0xff17181a);
        juce::ColourGradient tilt (on ? shade : lit, 0.0f, face.getY(), on ? lit : shade, 0.0f, face.getBottom(), false);
        tilt.addColour (0.48, juce::Colour (0xff2e3033));
        tilt.addColour (0.52, juce::Colour (0xff26282a));
        g.setGradientFill (tilt);
        g.fillPath (facePath);
        // Fine satin texture of the plastic: a few horizontal hairlines.
        g.setColour (juce::Colours::white.withAlpha (0.025f));
        for (float y = face.getY() + 1.0f; y < face.getBottom() - 1.0f; y += 0.75f)
            g.fillRect (juce::Rectangle<float> (face.getX() + 0.5f, y, face.getWidth() - 1.0f, 0.25f));
        // The raised end catches a highlight, the pressed end sinks into shadow.
        g.setColour (juce::Colours::white.withAlpha (0.22f));
        g.fillRect (juce::Rectangle<float> (face.getX() + 1.0f, on ? face.getBottom() - 1.5f : face.getY() + 0.25f,
                                            face.getWidth() - 2.0f, 0.5f));
        g.setColour (juce::Colours::black.withAlpha (0.6f));
        g.fillRect (juce::Rectangle<float> (face.getX() + 1.0f, on ? face.getY() + 0.25f : face.getBottom() - 1.0f,
                                            face.getWidth() - 2.0f, 0.75f));
        g.setColour (juce::Colours::black.withAlpha (0.5f));
        g.strokePath (facePath, juce::PathStrokeType (0.3f));

        // Power symbol.
        {
            const juce::Point<float> pc (24.0f, 38.0f);
            const auto r = 4.6f;
            juce::Path symbol;
            symbol.addCentredArc (pc.x, pc.y, r, r, 0.0f, 0.22f * pi, 1.78f * pi, true);
            symbol.startNewSubPath (pc.x, pc.y - r - 1.0f);
            symbol.lineTo (pc.x, pc.y - 0.8f);
            g.setColour (palette::silk);
            g.strokePath (symbol, juce::PathStrokeType (1.15f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
        }

        // Lamp window at face-local (46, 136, 36, 17) in strip pixels.
        const auto window = juce::Rectangle<float> (19.5f, 51.0f, 9.0f, 4.25f);
        g.setColour (juce::Colours::black);
        g.fillRoundedRectangle (window.expanded (0.75f), 0.75f);
        if (on)
        {
            juce::ColourGradient glow (palette::amber.interpolatedWith (juce::Colours::white, 0.45f), window.getCentreX(), window.getCentreY(),
                                       scaled (palette::amber, 0.75f), window.getRight(), window.getBottom(), true);
            g.setGradientFill (glow);
            g.fillRect (window);
            juce::Path halo;
            halo.addRectangle (window);
            dropShadow (g, halo, palette::amber.withAlpha (0.5f), 2, { 0, 0 });
            g.setGradientFill (glow);
            g.fillRect (window);
        }
        else
        {
            g.setGradientFill (juce::ColourGradient (juce::Colour (0xff2c1604), window.getX(), window.getY(),
                                                     juce::Colour (0xff120802), window.getX(), window.getBottom(), false));
            g.fillRect (window);
        }
        g.setColour (juce::Colours::white.withAlpha (on ? 0.35f : 0.12f));
        g.fillRect (juce::Rectangle<float> (window.getX() + 0.5f, window.getY() + 0.25f, window.getWidth() - 1.0f, 0.5f));
    }
}

juce::Image drawRockerStrip()
{
    juce::Image image (juce::Image::ARGB, 384, 368, true);
    juce::Graphics g (image);
    drawRockerHalf (g, 0, false);
    drawRockerHalf (g, 192, true);
    return image;
}

juce::Image drawBypassImage (bool on)
{
    return downsample (drawRockerStrip(), { on ? 192 : 0, 0, 192, 368 }, 4);
}

} // namespace artgen
