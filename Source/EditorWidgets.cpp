// The faceplate's custom controls: each replaces only the drawing of a framework button or slider.

#include "EditorConstants.h"
#include "PluginEditor.h"

using Editor = KorvaneTarvikAudioProcessorEditor;
using namespace editorconstants;

namespace
{
/** Draws an image untransformed, centred in the component (offsets truncated toward zero). */
void drawCentred (juce::Graphics& g, const juce::Image& image, int width, int height)
{
    if (image.isValid())
        g.drawImageAt (image, (width - image.getWidth()) / 2, (height - image.getHeight()) / 2);
}
} // namespace

//==================================================================================================
float Editor::KnobLookAndFeel::pointerAngle (float position) noexcept
{
    const float p = juce::jlimit (0.0f, 1.0f, position);
    return (p * 270.0f - 135.0f) * juce::MathConstants<float>::pi / 180.0f;
}

void Editor::KnobLookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float position, float,
                                                float, juce::Slider&)
{
    if (knob.isValid())
        g.drawImage (knob, x, y, width, height, 0, 0, knob.getWidth(), knob.getHeight());

    const float a = pointerAngle (position);
    const juce::Point<float> d { std::sin (a), -std::cos (a) };
    const juce::Point<float> c { (float) x + (float) width * 0.5f, (float) y + (float) height * 0.5f };
    const float r = (float) juce::jmin (width, height);
    const juce::Line<float> pointer (c + d * (0.245f * r), c + d * (0.405f * r));

    g.setColour (amber.withAlpha ((juce::uint8) 0x21));
    g.drawLine (pointer, 7.0f);
    g.setColour (amber.withAlpha ((juce::uint8) 0x57));
    g.drawLine (pointer, 4.0f);
    g.setColour (juce::Colour (0xffffe5bd));
    g.drawLine (pointer, 2.15f);
}

//==================================================================================================
Editor::ImageButton::ImageButton (const juce::String& name, juce::Image rest, juce::Image pressed)
    : juce::Button (name), restImage (std::move (rest)), pressedImage (std::move (pressed))
{
}

void Editor::ImageButton::paintButton (juce::Graphics& g, bool, bool down)
{
    if (getName().containsIgnoreCase ("display"))
        return; // the display keys are printed on the faceplate
    drawCentred (g, down ? pressedImage : restImage, getWidth(), getHeight());
}

Editor::ImageToggle::ImageToggle (const juce::String& name, juce::Image off, juce::Image on)
    : juce::Button (name), offImage (std::move (off)), onImage (std::move (on))
{
}

void Editor::ImageToggle::paintButton (juce::Graphics& g, bool, bool)
{
    drawCentred (g, getToggleState() ? onImage : offImage, getWidth(), getHeight());
}

//==================================================================================================
Editor::RockerToggle::RockerToggle (const juce::String& name, juce::Image stripImage)
    : juce::Button (name), strip (std::move (stripImage))
{
    if (! strip.isValid())
        return;

    // The off switch's rocker face, and a copy of it with the amber lamp lit.
    face = strip.getClippedImage ({ 32, 68, 128, 232 }).createCopy();
    litFace = face.createCopy();
    juce::Graphics g (litFace);
    g.setColour (juce::Colour (0xffffac20));
    g.fillRoundedRectangle ({ 46.0f, 136.0f, 36.0f, 17.0f }, 2.0f);
    g.setColour (juce::Colour (0xffffe39a));
    g.fillRoundedRectangle ({ 49.0f, 141.0f, 30.0f, 3.0f }, 1.0f);
}

void Editor::RockerToggle::paintButton (juce::Graphics& g, bool, bool)
{
    if (! strip.isValid())
        return;

    juce::Graphics::ScopedSaveState outer (g);
    g.addTransform (juce::AffineTransform::scale ((float) getWidth() / 48.0f, (float) getHeight() / 92.0f));
    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);

    // The off switch's bezel and plate, then the recess the rocker moves in.
    g.drawImage (strip, 0, 0, 48, 92, 0, 0, strip.getWidth() / 2, strip.getHeight());
    g.setColour (juce::Colour (0xff070707));
    g.fillRoundedRectangle ({ 6.0f, 16.0f, 36.0f, 62.0f }, 4.0f);

    // The rocker is a trapezoid whose nearer (wider) end shows which way it is pressed.
    const bool on = getToggleState();
    const float t = on ? 15.5f : 16.5f;
    const float b = on ? 16.5f : 15.5f;
    const juce::Point<float> topLeft { 24.0f - t, 18.0f }, topRight { 24.0f + t, 18.0f };
    const juce::Point<float> bottomLeft { 24.0f - b, 76.0f }, bottomRight { 24.0f + b, 76.0f };

    juce::Path body;
    body.startNewSubPath (topLeft);
    body.lineTo (topRight);
    body.lineTo (bottomRight);
    body.lineTo (bottomLeft);
    body.closeSubPath();

    // The face is mapped onto the trapezoid in two affine pieces that meet on its diagonal. The
    // first piece is drawn over the whole trapezoid and the second, clipped to its triangle, over
    // it: the two agree on the diagonal, and no anti-aliased seam shows between them.
    const auto& f = on ? litFace : face;
    const float fw = (float) f.getWidth(), fh = (float) f.getHeight();
    const auto drawPiece = [&] (const juce::Path& clip, juce::AffineTransform transform) {
        juce::Graphics::ScopedSaveState piece (g);
        g.reduceClipRegion (clip);
        if (f.isValid())
            g.drawImageTransformed (f, transform);
    };
    drawPiece (body, juce::AffineTransform::fromTargetPoints (0.0f, 0.0f, topLeft.x, topLeft.y, fw, 0.0f, topRight.x, topRight.y, 0.0f,
                                                              fh, bottomLeft.x, bottomLeft.y));
    juce::Path lowerTriangle;
    lowerTriangle.addTriangle (topRight, bottomRight, bottomLeft);
    drawPiece (lowerTriangle, juce::AffineTransform::fromTargetPoints (fw, 0.0f, topRight.x, topRight.y, fw, fh, bottomRight.x,
                                                                       bottomRight.y, 0.0f, fh, bottomLeft.x, bottomLeft.y));

    // The far end is in shadow; the near edge catches the light.
    g.setGradientFill (juce::ColourGradient (juce::Colours::black.withAlpha ((juce::uint8) (on ? 0x6b : 0x05)), 24.0f, 18.0f,
                                             juce::Colours::black.withAlpha ((juce::uint8) (on ? 0x05 : 0x6b)), 24.0f, 76.0f, false));
    g.fillPath (body);

    g.setColour (juce::Colour (0x6b99958c));
    if (on)
        g.drawLine ({ bottomLeft, bottomRight }, 0.65f);
    else
        g.drawLine ({ topLeft, topRight }, 0.65f);
}

//==================================================================================================
void Editor::AutoInputToggle::paintButton (juce::Graphics& g, bool, bool)
{
    const float w = (float) getWidth(), h = (float) getHeight();
    const bool on = getToggleState();

    g.setColour (juce::Colour (0xaa080808));
    g.fillRoundedRectangle ({ 0.0f, 0.0f, w, h }, 3.0f);
    g.setColour (on ? amber.withAlpha ((juce::uint8) 0xf2) : juce::Colour (0xff58514a));
    g.drawRoundedRectangle ({ 0.5f, 0.5f, juce::jmax (w - 1.0f, 0.0f), juce::jmax (h - 1.0f, 0.0f) }, 3.0f, 1.0f);

    const float cy = h * 0.5f;
    g.setColour (on ? amber.withAlpha ((juce::uint8) 0x2e) : juce::Colour (0x22000000));
    g.fillEllipse (3.0f, cy - 4.0f, 8.0f, 8.0f);
    g.setColour (on ? amber : juce::Colour (0xff1d1915));
    g.fillEllipse (5.0f, cy - 2.0f, 4.0f, 4.0f);

    g.setColour (juce::Colour (on ? 0xffffbd4a : 0xff91877c));
    g.setFont (juce::Font (9.0f, juce::Font::bold));
    g.drawText ("AUTO", juce::Rectangle<float> (12.0f, 0.0f, w - 14.0f, h), juce::Justification::centredLeft, true);
}

void Editor::ChainLink::paintButton (juce::Graphics& g, bool highlighted, bool down)
{
    g.setColour (juce::Colour (highlighted || down ? 0xffffffff : 0xffdedbd5));
    g.setFont (juce::Font (11.0f, juce::Font::underlined));
    g.drawText (getButtonText(), juce::Rectangle<int> (3, 0, juce::jmax (getWidth(), 6) - 6, juce::jmax (getHeight(), 0)),
                juce::Justification::centredRight, true);
}
