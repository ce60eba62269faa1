// Materials: random source, noise, metal and wood textures, shadows, bevels, screws, legends and
// small image helpers.

#include "Art.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace artgen
{

//==================================================================================================
Rng::Rng (std::uint64_t seed)
    : state (seed != 0 ? seed * 0x9e3779b97f4a7c15ull : 0x2545f4914f6cdd1dull)
{
    next();
    next();
}

std::uint64_t Rng::next()
{
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return state * 0x2545f4914f6cdd1dull;
}

float Rng::uniform()
{
    return (float) (next() >> 40) * (1.0f / 16777216.0f);
}

float Rng::range (float low, float high)
{
    return low + (high - low) * uniform();
}

float Rng::gauss()
{
    // Sum of four uniforms: close enough to normal for textures, and cheap.
    return (uniform() + uniform() + uniform() + uniform() - 2.0f) * 1.7320508f;
}

//==================================================================================================
static std::uint32_t hash3 (int x, int y, std::uint32_t seed)
{
    auto h = (std::uint32_t) x * 0x8da6b343u ^ (std::uint32_t) y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

float hash01 (int x, int y, std::uint32_t seed)
{
    return (float) (hash3 (x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

float valueNoise (float x, float y, std::uint32_t seed)
{
    const auto xf = std::floor (x), yf = std::floor (y);
    const auto xi = (int) xf, yi = (int) yf;
    auto fx = x - xf, fy = y - yf;
    fx = fx * fx * (3.0f - 2.0f * fx);
    fy = fy * fy * (3.0f - 2.0f * fy);
    const auto a = hash01 (xi, yi, seed), b = hash01 (xi + 1, yi, seed);
    const auto c = hash01 (xi, yi + 1, seed), d = hash01 (xi + 1, yi + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

float fbm (float x, float y, std::uint32_t seed, int octaves)
{
    float sum = 0.0f, amplitude = 0.5f, total = 0.0f;
    for (int i = 0; i < octaves; ++i)
    {
        sum += amplitude * valueNoise (x, y, seed + (std::uint32_t) i * 101u);
        total += amplitude;
        x *= 2.03f;
        y *= 2.03f;
        amplitude *= 0.5f;
    }
    return sum / total;
}

float lightAt (float faceplateX, float faceplateY)
{
    const auto t = 0.6f * faceplateX / 720.0f + 0.4f * faceplateY / 614.0f;   // 0 top left, 1 bottom right
    return 1.0f + 0.14f * (0.5f - t);
}

//==================================================================================================
namespace finish
{
    MetalFinish panel()   { return { juce::Colour (0xff3a3c40), 0.052f, 0.020f, 0.020f, 34, 0.06f }; }
    MetalFinish extreme() { return { juce::Colour (0xff34322f), 0.052f, 0.020f, 0.020f, 34, 0.06f }; }
    MetalFinish header()  { return { juce::Colour (0xff1d1e21), 0.070f, 0.030f, 0.010f, 46, 0.05f }; }
    MetalFinish module()  { return { juce::Colour (0xff45474b), 0.055f, 0.020f, 0.015f, 20, 0.07f }; }
    MetalFinish bezel()   { return { juce::Colour (0xff26272a), 0.040f, 0.025f, 0.000f, 16, 0.05f }; }
    MetalFinish chassis() { return { juce::Colour (0xff141517), 0.050f, 0.030f, 0.000f, 40, 0.00f }; }
}

static juce::uint8 toByte (float v)
{
    return (juce::uint8) juce::jlimit (0, 255, (int) std::lround (v));
}

juce::Image metalTexture (const MetalFinish& f, juce::Rectangle<int> absArea, std::uint32_t seed,
                          bool applyLight)
{
    const auto w = absArea.getWidth(), h = absArea.getHeight();
    juce::Image image (juce::Image::ARGB, w, h, false);
    juce::Image::BitmapData bits (image, juce::Image::BitmapData::writeOnly);

    Rng rng (seed);
    const auto length = juce::jmax (1, f.brushLength);
    const auto padded = w + 4 * length + 2;
    std::vector<float> raw ((size_t) padded), pass1 ((size_t) padded), streak ((size_t) w),
                       previous ((size_t) w, 0.0f), scratch ((size_t) w);

    // Two box blurs of white noise along the row; this factor brings the deviation back to ~1.
    const auto restore = std::sqrt ((float) (2 * length + 1)) * 1.3f;

    for (int y = 0; y < h; ++y)
    {
        for (auto& v : raw)
            v = rng.gauss();

        auto boxBlur = [length] (const std::vector<float>& in, std::vector<float>& out)
        {
            const auto n = (int) in.size();
            float sum = 0.0f;
            for (int i = 0; i < juce::jmin (n, 2 * length + 1); ++i)
                sum += in[(size_t) i];
            for (int i = 0; i < n; ++i)
            {
                out[(size_t) i] = sum / (float) (2 * length + 1);
                const auto leaving = i, entering = i + 2 * length + 1;
                sum -= in[(size_t) leaving];
                if (entering < n)
                    sum += in[(size_t) entering];
            }
        };
        boxBlur (raw, pass1);
        boxBlur (pass1, raw);

        const auto rowBias = rng.gauss() * 0.35f;
        std::fill (scratch.begin(), scratch.end(), 0.0f);
        if (rng.uniform() < f.scratches * 4.0f)
        {
            const auto start = rng.range (-40.0f, (float) w);
            const auto len = rng.range (30.0f, 220.0f);
            const auto amp = rng.range (0.4f, 1.0f) * (rng.uniform() < 0.7f ? 1.0f : -0.8f);
            for (int x = juce::jmax (0, (int) start); x < juce::jmin (w, (int) (start + len)); ++x)
            {
                const auto t = ((float) x - start) / len;
                scratch[(size_t) x] = amp * std::sin (t * juce::MathConstants<float>::pi);
            }
        }

        for (int x = 0; x < w; ++x)
        {
            const auto fresh = raw[(size_t) x] * restore + rowBias;
            streak[(size_t) x] = 0.72f * fresh + 0.28f * previous[(size_t) x];
            previous[(size_t) x] = streak[(size_t) x];
        }

        const auto ay = (float) (absArea.getY() + y);
        for (int x = 0; x < w; ++x)
        {
            const auto ax = (float) (absArea.getX() + x);
            const auto fine = (hash01 (absArea.getX() + x, absArea.getY() + y, seed ^ 0x51ed27u) - 0.5f) * 3.4f;
            auto v = 1.0f + f.streak * streak[(size_t) x] + f.grain * fine
                          + f.streak * 1.6f * scratch[(size_t) x];
            v *= applyLight ? lightAt (ax, ay) : 1.0f;
            v *= 1.0f + f.sheen * (0.5f - (float) y / (float) juce::jmax (1, h - 1));

            bits.setPixelColour (x, y, juce::Colour (toByte (f.base.getRed() * v),
                                                     toByte (f.base.getGreen() * v),
                                                     toByte (f.base.getBlue() * v)));
        }
    }
    return image;
}

juce::Image woodTexture (juce::Rectangle<int> absArea, std::uint32_t seed)
{
    const auto w = absArea.getWidth(), h = absArea.getHeight();
    juce::Image image (juce::Image::ARGB, w, h, false);
    juce::Image::BitmapData bits (image, juce::Image::BitmapData::writeOnly);

    const juce::Colour dark (0xff2a170d), mid (0xff5e3821), light (0xff845230);

    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w; ++x)
        {
            const auto ax = (float) (absArea.getX() + x), ay = (float) (absArea.getY() + y);

            // Slow waviness of the growth lines, then the lines themselves.
            const auto warp = (fbm (ax * 0.0045f, ay * 0.045f, seed, 3) - 0.5f) * 14.0f;
            const auto field = fbm (ax * 0.0022f, (ay + warp) * 0.16f, seed + 7u, 4);
            const auto rings = 0.5f + 0.5f * std::sin ((ay + warp * 1.6f + field * 26.0f) * 0.85f);
            const auto lines = std::pow (rings, 5.0f);                  // thin dark late-wood lines
            const auto figure = fbm (ax * 0.008f, ay * 0.09f, seed + 31u, 4);

            // Open pores: short dark dashes along the grain.
            const auto poreNoise = valueNoise (ax * 0.35f, ay * 2.2f, seed + 77u);
            const auto pore = poreNoise > 0.86f ? (poreNoise - 0.86f) * 3.5f : 0.0f;

            auto c = mid.interpolatedWith (light, juce::jlimit (0.0f, 1.0f, (figure - 0.35f) * 2.2f));
            c = c.interpolatedWith (dark, juce::jlimit (0.0f, 1.0f, lines * 0.75f + pore));

            const auto fine = 1.0f + (hash01 ((int) ax, (int) ay, seed + 3u) - 0.5f) * 0.05f;
            const auto l = lightAt (ax, ay) * fine;
            bits.setPixelColour (x, y, juce::Colour (toByte (c.getRed() * l), toByte (c.getGreen() * l),
                                                     toByte (c.getBlue() * l)));
        }
    }
    return image;
}

juce::Image spunTexture (int size, juce::Colour base, float highlight, std::uint32_t seed)
{
    juce::Image image (juce::Image::ARGB, size, size, false);
    juce::Image::BitmapData bits (image, juce::Image::BitmapData::writeOnly);

    // Ring noise: one random value per 0.5 px of radius, lightly smoothed.
    const auto rings = size * 2 + 8;
    std::vector<float> ring ((size_t) rings);
    Rng rng (seed);
    float smooth = 0.0f;
    for (auto& v : ring)
    {
        smooth = 0.55f * smooth + 0.45f * rng.gauss();
        v = smooth;
    }

    const auto c = (float) size * 0.5f;
    for (int y = 0; y < size; ++y)
    {
        for (int x = 0; x < size; ++x)
        {
            const auto dx = (float) x + 0.5f - c, dy = (float) y + 0.5f - c;
            const auto r = std::sqrt (dx * dx + dy * dy);
            const auto angle = std::atan2 (dy, dx);
            const auto ringIndex = juce::jlimit (0, rings - 1, (int) (r * 2.0f));
            // Spun metal shows two bright and two dark sectors, aligned with the light.
            const auto sector = std::cos (2.0f * (angle + 0.8f));
            const auto fine = (hash01 (x, y, seed + 9u) - 0.5f) * 0.03f;
            const auto v = 1.0f + highlight * sector * juce::jmin (1.0f, r / (c * 0.4f))
                                + 0.045f * ring[(size_t) ringIndex] + fine;
            bits.setPixelColour (x, y, juce::Colour (toByte (base.getRed() * v), toByte (base.getGreen() * v),
                                                     toByte (base.getBlue() * v)));
        }
    }
    return image;
}

//==================================================================================================
void fillTextured (juce::Graphics& g, const juce::Path& path, const juce::Image& texture,
                   juce::Point<int> textureOrigin)
{
    g.setFillType (juce::FillType (texture, juce::AffineTransform::translation ((float) textureOrigin.x,
                                                                                (float) textureOrigin.y)));
    g.fillPath (path);
}

void innerShadow (juce::Graphics& g, const juce::Path& hole, juce::Colour colour, int radius,
                  juce::Point<int> offset)
{
    juce::Graphics::ScopedSaveState state (g);
    g.reduceClipRegion (hole);
    juce::Path surround;
    surround.addRectangle (hole.getBounds().expanded ((float) (radius * 3 + 8)));
    surround.addPath (hole);
    surround.setUsingNonZeroWinding (false);
    juce::DropShadow (colour, radius, offset).drawForPath (g, surround);
}

void dropShadow (juce::Graphics& g, const juce::Path& path, juce::Colour colour, int radius,
                 juce::Point<int> offset)
{
    juce::DropShadow (colour, radius, offset).drawForPath (g, path);
}

void raisedBevel (juce::Graphics& g, juce::Rectangle<float> r, float corner, float strength)
{
    auto edge = [&g, r, corner] (juce::Colour c, float dx, float dy)
    {
        // The outline of the plate minus the same outline moved by (dx, dy): a 1 px sliver
        // along the edges that face away from the move.
        juce::Path outline, moved;
        outline.addRoundedRectangle (r, corner);
        moved.addRoundedRectangle (r.translated (dx, dy), corner);
        juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (outline);
        juce::Path sliver;
        sliver.addRectangle (r.expanded (4.0f));
        sliver.addPath (moved);
        sliver.setUsingNonZeroWinding (false);
        g.setColour (c);
        g.fillPath (sliver);
    };
    edge (juce::Colours::white.withAlpha (0.20f * strength), 0.0f, 1.0f);    // top
    edge (juce::Colours::white.withAlpha (0.07f * strength), 1.0f, 0.0f);    // left
    edge (juce::Colours::black.withAlpha (0.40f * strength), -1.0f, 0.0f);   // right
    edge (juce::Colours::black.withAlpha (0.60f * strength), 0.0f, -1.0f);   // bottom
}

void recess (juce::Graphics& g, juce::Rectangle<float> r, float corner, juce::Colour floor,
             int shadowRadius, float shadowAlpha)
{
    juce::Path hole;
    hole.addRoundedRectangle (r, corner);

    // Catch light on the lower lip, outside the pocket, and a dark lip on the upper edge.
    {
        juce::Path lower, upper;
        lower.addRoundedRectangle (r.translated (0.0f, 1.0f).expanded (0.5f), corner + 0.5f);
        g.setColour (juce::Colours::white.withAlpha (0.13f));
        g.fillPath (lower);
        upper.addRoundedRectangle (r.translated (0.0f, -1.0f).expanded (0.5f), corner + 0.5f);
        g.setColour (juce::Colours::black.withAlpha (0.45f));
        g.fillPath (upper);
    }

    g.setColour (floor);
    g.fillPath (hole);
    g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.035f), r.getX(), r.getY(),
                                             juce::Colours::black.withAlpha (0.10f), r.getX(), r.getBottom(),
                                             false));
    g.fillPath (hole);
    innerShadow (g, hole, juce::Colours::black.withAlpha (shadowAlpha), shadowRadius,
                 { juce::jmax (1, shadowRadius / 4), juce::jmax (1, shadowRadius / 3) });
}

void roundRecess (juce::Graphics& g, juce::Point<float> centre, float radius, juce::Colour floor,
                  int shadowRadius, float shadowAlpha)
{
    const auto r = juce::Rectangle<float> (radius * 2.0f, radius * 2.0f).withCentre (centre);
    juce::Path hole;
    hole.addEllipse (r);

    juce::Path lower, upper;
    lower.addEllipse (r.translated (0.0f, 0.9f).expanded (0.6f));
    g.setColour (juce::Colours::white.withAlpha (0.14f));
    g.fillPath (lower);
    upper.addEllipse (r.translated (0.0f, -0.8f).expanded (0.5f));
    g.setColour (juce::Colours::black.withAlpha (0.45f));
    g.fillPath (upper);

    g.setColour (floor);
    g.fillPath (hole);
    innerShadow (g, hole, juce::Colours::black.withAlpha (shadowAlpha), shadowRadius,
                 { juce::jmax (1, shadowRadius / 4), juce::jmax (1, shadowRadius / 3) });
}

void screw (juce::Graphics& g, juce::Point<float> c, float radius, ScrewHead head, float angle)
{
    const auto disc = [c] (float r) { return juce::Rectangle<float> (2.0f * r, 2.0f * r).withCentre (c); };

    // Counterbore: a dark ring around the head with a catch light below it.
    g.setColour (juce::Colours::white.withAlpha (0.10f));
    g.fillEllipse (disc (radius + 0.9f).translated (0.0f, 0.6f));
    g.setColour (juce::Colours::black.withAlpha (0.65f));
    g.fillEllipse (disc (radius + 0.8f));

    const auto hex = head == ScrewHead::hex;
    const auto lightTone = hex ? juce::Colour (0xff77797e) : juce::Colour (0xffc2c4c8);
    const auto darkTone  = hex ? juce::Colour (0xff1b1c1e) : juce::Colour (0xff4a4c50);
    juce::ColourGradient body (lightTone, c.x - radius * 0.7f, c.y - radius * 0.8f,
                               darkTone, c.x + radius * 0.8f, c.y + radius * 0.9f, false);
    body.addColour (0.45, lightTone.interpolatedWith (darkTone, 0.45f));
    g.setGradientFill (body);
    g.fillEllipse (disc (radius));

    // Rim light along the upper left edge.
    {
        juce::Path rim;
        rim.addCentredArc (c.x, c.y, radius - 0.45f, radius - 0.45f, 0.0f,
                           -juce::MathConstants<float>::pi * 0.75f, juce::MathConstants<float>::pi * 0.05f, true);
        g.setColour (juce::Colours::white.withAlpha (hex ? 0.18f : 0.30f));
        g.strokePath (rim, juce::PathStrokeType (juce::jmax (0.6f, radius * 0.12f)));
    }

    const auto rotation = juce::AffineTransform::rotation (angle, c.x, c.y);
    if (hex)
    {
        juce::Path socket;
        const auto s = radius * 0.52f;
        socket.addPolygon (c, 6, s, 0.0f);
        socket.applyTransform (rotation);
        g.setColour (juce::Colours::white.withAlpha (0.16f));
        g.fillPath (socket, juce::AffineTransform::translation (0.35f, 0.5f));
        g.setColour (juce::Colour (0xff060607));
        g.fillPath (socket);
        juce::Path inner;
        inner.addPolygon (c, 6, s * 0.55f, 0.0f);
        inner.applyTransform (rotation);
        g.setColour (juce::Colours::black);
        g.fillPath (inner);
    }
    else
    {
        juce::Path cross;
        const auto len = radius * 1.35f, width = juce::jmax (0.7f, radius * 0.30f);
        cross.addRectangle (c.x - len * 0.5f, c.y - width * 0.5f, len, width);
        cross.addRectangle (c.x - width * 0.5f, c.y - len * 0.5f, width, len);
        cross.applyTransform (rotation);
        g.setColour (juce::Colours::white.withAlpha (0.28f));
        g.fillPath (cross, juce::AffineTransform::translation (0.4f, 0.5f));
        g.setColour (juce::Colour (0xff141516));
        g.fillPath (cross);
    }
}

void metalPanel (juce::Graphics& g, juce::Rectangle<int> absArea, const MetalFinish& f,
                 std::uint32_t seed, ScrewHead head, float screwInset, float screwRadius)
{
    const auto r = absArea.toFloat();
    juce::Path plate;
    plate.addRoundedRectangle (r, 2.0f);
    dropShadow (g, plate, juce::Colours::black.withAlpha (0.75f), 5, { 1, 2 });

    fillTextured (g, plate, metalTexture (f, absArea, seed), absArea.getPosition());
    raisedBevel (g, r, 2.0f);

    Rng rng (seed + 1234u);
    for (auto p : { juce::Point<float> (r.getX() + screwInset, r.getY() + screwInset),
                    juce::Point<float> (r.getRight() - screwInset, r.getY() + screwInset),
                    juce::Point<float> (r.getX() + screwInset, r.getBottom() - screwInset),
                    juce::Point<float> (r.getRight() - screwInset, r.getBottom() - screwInset) })
        screw (g, p, screwRadius, head, rng.range (0.0f, juce::MathConstants<float>::pi));
}

//==================================================================================================
juce::Font legendFont (float height, bool bold, float kerning, float horizontalScale)
{
    juce::Font font (height, bold ? juce::Font::bold : juce::Font::plain);
    font.setExtraKerningFactor (kerning);
    font.setHorizontalScale (horizontalScale);
    return font;
}

void legend (juce::Graphics& g, const juce::String& text, juce::Rectangle<float> area, float height,
             bool bold, juce::Colour colour, juce::Justification justification, float kerning,
             float horizontalScale)
{
    g.setFont (legendFont (height, bold, kerning, horizontalScale));
    g.setColour (colour);
    g.drawText (text, area, justification, false);
}

void panelTitle (juce::Graphics& g, const juce::String& text, float centreX, float top,
                 float ruleLeft, float ruleRight)
{
    const auto font = legendFont (10.0f, true, 0.12f);
    const auto width = font.getStringWidthFloat (text);
    const auto area = juce::Rectangle<float> (centreX - width * 0.5f - 2.0f, top, width + 4.0f, 11.0f);
    g.setFont (font);
    g.setColour (palette::silk);
    g.drawText (text, area, juce::Justification::centred, false);

    const auto ruleY = top + 5.0f;
    g.setColour (palette::silk.withAlpha (0.45f));
    if (area.getX() - 6.0f > ruleLeft)
        g.fillRect (juce::Rectangle<float> (ruleLeft, ruleY, area.getX() - 5.0f - ruleLeft, 1.0f));
    if (ruleRight > area.getRight() + 6.0f)
        g.fillRect (juce::Rectangle<float> (area.getRight() + 5.0f, ruleY, ruleRight - area.getRight() - 5.0f, 1.0f));
}

//==================================================================================================
void clearRect (juce::Image& image, juce::Rectangle<int> area)
{
    image.clear (area.getIntersection (image.getBounds()), juce::Colours::transparentBlack);
}

void featherEdges (juce::Image& image, int feather)
{
    juce::Image::BitmapData bits (image, juce::Image::BitmapData::readWrite);
    const auto w = image.getWidth(), h = image.getHeight();
    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w; ++x)
        {
            const auto d = (float) juce::jmin (juce::jmin (x, w - 1 - x), juce::jmin (y, h - 1 - y)) + 0.5f;
            const auto t = juce::jlimit (0.0f, 1.0f, d / (float) feather);
            const auto a = t * t * (3.0f - 2.0f * t);
            auto c = bits.getPixelColour (x, y);
            bits.setPixelColour (x, y, c.withMultipliedAlpha (a));
        }
    }
}

juce::Image downsample (const juce::Image& source, juce::Rectangle<int> area, int factor)
{
    const auto w = area.getWidth() / factor, h = area.getHeight() / factor;
    juce::Image out (juce::Image::ARGB, w, h, true);
    const juce::Image::BitmapData in (source, juce::Image::BitmapData::readOnly);
    juce::Image::BitmapData bits (out, juce::Image::BitmapData::writeOnly);
    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w; ++x)
        {
            float sr = 0, sg = 0, sb = 0, sa = 0;   // premultiplied sums
            for (int j = 0; j < factor; ++j)
            {
                for (int i = 0; i < factor; ++i)
                {
                    const auto c = in.getPixelColour (area.getX() + x * factor + i, area.getY() + y * factor + j);
                    const auto a = c.getFloatAlpha();
                    sr += c.getFloatRed() * a;
                    sg += c.getFloatGreen() * a;
                    sb += c.getFloatBlue() * a;
                    sa += a;
                }
            }
            const auto n = (float) (factor * factor);
            if (sa > 0.0f)
                bits.setPixelColour (x, y, juce::Colour::fromFloatRGBA (sr / sa, sg / sa, sb / sa, sa / n));
        }
    }
    return out;
}

juce::Image crop (const juce::Image& source, juce::Rectangle<int> area)
{
    juce::Image out (juce::Image::ARGB, area.getWidth(), area.getHeight(), true);
    juce::Graphics g (out);
    g.drawImageAt (source, -area.getX(), -area.getY());
    return out;
}

juce::Image opaqueCopy (const juce::Image& source)
{
    juce::Image out (juce::Image::RGB, source.getWidth(), source.getHeight(), false);
    juce::Graphics g (out);
    g.fillAll (juce::Colours::black);
    g.drawImageAt (source, 0, 0);
    return out;
}

} // namespace artgen
