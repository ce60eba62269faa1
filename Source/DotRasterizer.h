#pragma once

#include <juce_graphics/juce_graphics.h>

#include <array>

/** Draws the graph display's lit dots straight into an image's pixels. A lit dot is three soft
    shapes (outer glow, inner glow, core); their pixel coverage is worked out once for 5 x 5
    sub-pixel positions, so a dot costs a few multiply-adds per pixel instead of three path fills.
    At 30 frames a second and thousands of dots this is what keeps the display cheap. */
class DotRasterizer
{
public:
    DotRasterizer();

    /** Blends one dot of size 0.66 with its top-left corner at (x, y) (image pixels) into the
        bitmap, at level 0 ... 1 (brightness times intensity). */
    void draw (juce::Image::BitmapData& bitmap, float x, float y, juce::Colour colour, float level) const noexcept;

private:
    static constexpr int phases = 5;  // sub-pixel positions per axis
    static constexpr int span = 5;    // pixels covered per axis
    static constexpr int origin = -2; // first covered pixel, relative to the dot's pixel

    struct Coverage
    {
        std::array<float, span * span> outer {}, inner {}, core {};
    };
    std::array<Coverage, phases * phases> coverage;
};
