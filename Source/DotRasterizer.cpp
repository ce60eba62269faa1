#include "DotRasterizer.h"

#include <cmath>

namespace
{
/** Fraction of the pixel (px, py) covered by a shape, by 8 x 8 supersampling. */
template <typename Inside>
float pixelCoverage (int px, int py, Inside inside)
{
    constexpr int n = 8;
    int hits = 0;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            if (inside ((float) px + ((float) i + 0.5f) / n, (float) py + ((float) j + 0.5f) / n))
                ++hits;
    return (float) hits / (float) (n * n);
}

bool inEllipse (float x, float y, float left, float top, float diameter)
{
    const float r = diameter * 0.5f;
    const float dx = x - (left + r), dy = y - (top + r);
    return dx * dx + dy * dy <= r * r;
}

bool inRoundedSquare (float x, float y, float left, float top, float size, float corner)
{
    if (x < left || y < top || x > left + size || y > top + size)
        return false;
    const float cx = juce::jlimit (left + corner, left + size - corner, x);
    const float cy = juce::jlimit (top + corner, top + size - corner, y);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= corner * corner;
}
} // namespace

DotRasterizer::DotRasterizer()
{
    // The dot of size s = 0.66: outer glow 2.6 wide, inner glow 1.7 s, core s with corner 0.22 s,
    // all centred on the core.
    constexpr float s = 0.66f;
    for (int py = 0; py < phases; ++py)
        for (int px = 0; px < phases; ++px)
        {
            auto& c = coverage[(size_t) (py * phases + px)];
            const float x = (float) px / phases, y = (float) py / phases;
            for (int j = 0; j < span; ++j)
                for (int i = 0; i < span; ++i)
                {
                    const int pxl = origin + i, pyl = origin + j;
                    const size_t k = (size_t) (j * span + i);
                    c.outer[k] = pixelCoverage (pxl, pyl, [&] (float u, float v) { return inEllipse (u, v, x - 0.97f, y - 0.97f, 2.6f); });
                    c.inner[k] = pixelCoverage (pxl, pyl, [&] (float u, float v) { return inEllipse (u, v, x - 0.35f * s, y - 0.35f * s, 1.7f * s); });
                    c.core[k] = pixelCoverage (pxl, pyl, [&] (float u, float v) { return inRoundedSquare (u, v, x, y, s, 0.22f * s); });
                }
        }
}

void DotRasterizer::draw (juce::Image::BitmapData& bitmap, float x, float y, juce::Colour colour, float level) const noexcept
{
    level = juce::jlimit (0.0f, 1.0f, level);
    if (level <= 0.0f)
        return;

    int ix = (int) std::floor (x), iy = (int) std::floor (y);
    int fx = juce::roundToInt ((x - (float) ix) * phases), fy = juce::roundToInt ((y - (float) iy) * phases);
    if (fx == phases)
        fx = 0, ++ix;
    if (fy == phases)
        fy = 0, ++iy;
    const auto& c = coverage[(size_t) (fy * phases + fx)];

    const float red = colour.getFloatRed(), green = colour.getFloatGreen(), blue = colour.getFloatBlue();
    for (int j = 0; j < span; ++j)
    {
        const int yy = iy + origin + j;
        if (yy < 0 || yy >= bitmap.height)
            continue;
        for (int i = 0; i < span; ++i)
        {
            const int xx = ix + origin + i;
            if (xx < 0 || xx >= bitmap.width)
                continue;
            const size_t k = (size_t) (j * span + i);
            // The three layers painted one over another in the same colour.
            const float keep = (1.0f - 0.12f * level * c.outer[k]) * (1.0f - 0.3f * level * c.inner[k]) * (1.0f - level * c.core[k]);
            const float a = 1.0f - keep;
            if (a <= 0.0f)
                continue;

            auto* p = reinterpret_cast<juce::PixelARGB*> (bitmap.getPixelPointer (xx, yy));
            const auto blend = [&] (juce::uint8 dst, float src) { return (juce::uint8) juce::jlimit (0, 255, juce::roundToInt (src * a * 255.0f + (float) dst * keep)); };
            p->setARGB (blend (p->getAlpha(), 1.0f), blend (p->getRed(), red), blend (p->getGreen(), green), blend (p->getBlue(), blue));
        }
    }
}
