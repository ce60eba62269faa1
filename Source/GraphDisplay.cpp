#include "GraphDisplay.h"

#include "DotMatrixFont.h"
#include "EditorConstants.h"
#include "dsp/Presets.h"

#include <cmath>

using editorconstants::amber;
using editorconstants::redLed;

//==================================================================================================
juce::Colour graphgrid::dim (float k)
{
    const auto brighten = [k] (juce::uint8 c) { return (juce::uint8) (255.0f - (255.0f - (float) c) / (1.0f + k)); };
    const auto base = editorconstants::amberDim;
    return juce::Colour (brighten (base.getRed()), brighten (base.getGreen()), brighten (base.getBlue()), base.getAlpha());
}

//==================================================================================================
void GraphCells::dot (int column, int row, float intensity, juce::Colour colour) noexcept
{
    if (column < 0 || column >= graphgrid::columns || row < 0 || row >= graphgrid::rows || cells.size() >= capacity)
        return;
    cells.push_back ({ column, row, intensity, colour });
}

namespace
{
char asciiAt (const juce::String& text, int i) noexcept
{
    const auto c = text[i];
    return c > 0 && c < 128 ? (char) c : ' ';
}

template <typename GlyphLookup>
void glyphText (GraphCells& cells, const juce::String& text, int column, int row, float intensity, juce::Colour colour, GlyphLookup glyph,
                int width, int height, int advance)
{
    for (int i = 0; i < text.length(); ++i)
    {
        const auto* rows = glyph (asciiAt (text, i));
        if (rows == nullptr)
            continue;
        for (int j = 0; j < height; ++j)
            for (int k = 0; k < width; ++k)
                if ((rows[j] >> (width - 1 - k)) & 1)
                    cells.dot (column + advance * i + k, row + j, intensity, colour);
    }
}

int clampColumn (int c) noexcept { return juce::jlimit (0, graphgrid::columns - 1, c); }
int clampRow (int r) noexcept { return juce::jlimit (0, graphgrid::rows - 1, r); }

/** Nearest integer of a finite value; anything else counts as 0. */
long roundFinite (double v) noexcept { return std::isfinite (v) ? std::lround (juce::jlimit (-1.0e6, 1.0e6, v)) : 0; }
} // namespace

void GraphCells::text (const juce::String& t, int column, int row, float intensity, juce::Colour colour) noexcept
{
    glyphText (*this, t, column, row, intensity, colour, dotfont::glyph5x7, 5, 7, 6);
}

void GraphCells::tinyText (const juce::String& t, int column, int row, float intensity, juce::Colour colour) noexcept
{
    glyphText (*this, t, column, row, intensity, colour, dotfont::glyph3x5, 3, 5, 4);
}

void GraphCells::line (int x0, int y0, int x1, int y1, float intensity, juce::Colour colour) noexcept
{
    x0 = clampColumn (x0), x1 = clampColumn (x1), y0 = clampRow (y0), y1 = clampRow (y1);
    const int dx = std::abs (x1 - x0), dy = -std::abs (y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;)
    {
        dot (x0, y0, intensity, colour);
        if (x0 == x1 && y0 == y1)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy)
        {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx)
        {
            err += dx;
            y0 += sy;
        }
    }
}

float GraphCells::intensityAt (int column, int row) const noexcept
{
    for (auto it = cells.rbegin(); it != cells.rend(); ++it)
        if (it->column == column && it->row == row)
            return it->intensity;
    return -1.0f;
}

juce::Colour GraphCells::colourAt (int column, int row) const noexcept
{
    for (auto it = cells.rbegin(); it != cells.rend(); ++it)
        if (it->column == column && it->row == row)
            return it->colour;
    return {};
}

//==================================================================================================
int graphtext::titleColumn (int n) noexcept { return juce::jmax (0, (236 - juce::jmax (1, 6 * n)) / 2); }
int graphtext::centredColumn (int n) noexcept { return juce::jmax (1, (236 - juce::jmax (1, 6 * n)) / 2); }
int graphtext::centredTinyColumn (int n, int lowest) noexcept { return juce::jmax (lowest, (236 - juce::jmax (1, 4 * n)) / 2); }
int graphtext::rightAlignedTiny (int endColumn, int n) noexcept { return endColumn - juce::jmax (1, 4 * n); }

juce::String graphtext::signedDb (float db)
{
    return (db >= 0.0f ? "+" : "") + juce::String (db, 1) + "DB";
}

juce::String graphtext::kiloLabel (float hz)
{
    if (hz >= 1000.0f)
        return juce::String (hz / 1000.0f, 1).replace (".0", "") + "K";
    return juce::String (roundFinite (hz));
}

//==================================================================================================
namespace
{
using graphgrid::dim;
using namespace graphtext;

void centredTiny (GraphCells& cells, const juce::String& t, int row, float intensity, int lowest = 1)
{
    cells.tinyText (t, centredTinyColumn (t.length(), lowest), row, intensity, amber);
}

void rightTiny (GraphCells& cells, const juce::String& t, int endColumn, int row, float intensity)
{
    cells.tinyText (t, rightAlignedTiny (endColumn, t.length()), row, intensity, amber);
}

/** Column of a value on the gain control scales: 117 is 0, +-101 columns is full scale. */
int agcColumn (float db) noexcept
{
    const float x = db / 12.0f;
    if (! std::isfinite (x))
        return 117;
    return x < -1.0f ? 117 - 101 : 117 + (int) roundFinite (juce::jmin (x, 1.0f) * 101.0f);
}

/** Column of a frequency on the curve pages' axis: 20 Hz at 25, 20 kHz at 223. */
int curveColumn (double hz) noexcept { return 25 + (int) roundFinite ((std::log10 (hz) - 1.30103) / 3.0 * 198.0); }
double curveFrequency (int column) noexcept { return 20.0 * std::pow (1000.0, (column - 25) / 198.0); }

void curveLabels (GraphCells& cells, int row, float intensity)
{
    cells.tinyText ("100", (int) std::lround (46.1320152) + 20, row, intensity, amber);
    cells.tinyText ("1K", (int) std::lround (112.132019) + 22, row, intensity, amber);
    cells.tinyText ("10K", (int) std::lround (178.132004) + 20, row, intensity, amber);
}

template <typename RowOf>
void curve (GraphCells& cells, RowOf rowOf, float intensity)
{
    int previous = rowOf (25);
    for (int c = 26; c <= 223; ++c)
    {
        const int y = rowOf (c);
        cells.line (c - 1, previous, c, y, intensity, amber);
        previous = y;
    }
}

float finiteOr (float v, float fallback) noexcept { return std::isfinite (v) ? v : fallback; }
} // namespace

const char* graphpages::title (int page) noexcept
{
    switch (page)
    {
        case 1: return "GAIN CONTROL";
        case 2: return "MULTIBAND GAIN REDUCTION";
        case 3: return "STEREO CORRELATION";
        case 4: return "LEVEL HISTORY";
        case 5: return "LF SHELF";
        default: return "BAND LIMIT FILTERS";
    }
}

void graphpages::draw (GraphCells& cells, int page, const GraphInputs& in)
{
    const juce::String t (title (page));
    cells.text (t, titleColumn (t.length()), 0, page == 2 ? 0.94f : 0.95f, amber);
    switch (page)
    {
        case 1: gainControl (cells, in); break;
        case 2: multibandGainReduction (cells, in); break;
        case 3: stereoCorrelation (cells, in); break;
        case 4: levelHistory (cells, in); break;
        case 5: lfShelf (cells, in); break;
        default: bandLimitFilters (cells, in); break;
    }
}

void graphpages::gainControl (GraphCells& cells, const GraphInputs& in)
{
    const auto& s = *in.snapshot;
    const float state = s.autoInputState;
    cells.tinyText (juce::String ("AUTO INPUT ") + (state <= 0.5f ? "OFF" : state <= 1.5f ? "SETTLING" : "LOCKED"), 5, 11, 0.86f, amber);
    rightTiny (cells, signedDb (s.inputTrimDb), 231, 11, 0.9f);

    for (int c = 17; c <= 217; c += 2)
        cells.dot (c, 28, 0.2f, dim (0.25f));
    for (int r = 24; r <= 32; ++r)
        cells.dot (117, r, 0.3f, dim (0.3f));
    const int trimColumn = s.inputTrimDb < -18.0f ? 17 : 17 + (int) roundFinite ((juce::jmin (s.inputTrimDb, 18.0f) + 18.0f) / 36.0f * 201.0f);
    for (int r = 21; r <= 35; ++r)
        cells.dot (trimColumn, r, 1.0f, amber);
    cells.tinyText ("-18", 15, 35, 0.45f, amber);
    centredTiny (cells, "0", 35, 0.45f);
    rightTiny (cells, "+18", 221, 35, 0.45f);

    cells.tinyText ("MAIN AGC", 5, 46, 0.84f, amber);
    rightTiny (cells, signedDb (s.agcGainDb), 231, 46, 0.92f);
    for (int c = 17; c <= 217; c += 2)
        cells.dot (c, 62, 0.2f, dim (0.25f));
    for (int r = 58; r <= 66; ++r)
        cells.dot (117, r, 0.3f, dim (0.3f));
    const int agc = agcColumn (s.agcGainDb);
    for (int r = 55; r <= 69; ++r)
        cells.dot (agc, r, 1.0f, amber);
    cells.dot (agcColumn (s.agcGainDb >= 0.0f ? in.agcGainPeakDb : -in.agcGainPeakDb), 53, 0.76f, amber);
    centredTiny (cells, "TARGET 0DB", 73, 0.5f, 0);
}

void graphpages::stereoCorrelation (GraphCells& cells, const GraphInputs& in)
{
    const auto& s = *in.snapshot;
    for (int c = 16; c <= 218; ++c)
        for (int r = 31; r <= 45; ++r)
            if ((c + r) % 2 == 0)
                cells.dot (c, r, 0.12f, dim (0.25f));
    for (int r = 27; r <= 49; ++r)
        cells.dot (117, r, 0.28f, dim (0.3f));

    const auto column = [] (float v) { return 16 + (int) roundFinite ((juce::jlimit (-1.0f, 1.0f, finiteOr (v, 0.0f)) + 1.0f) * 0.5f * 202.0f); };
    const auto colourOf = [] (float v) { return v < 0.0f ? redLed : amber; };
    for (int r = 28; r <= 48; ++r)
        cells.dot (column (s.stereoCorrelation), r, 0.34f, colourOf (s.stereoCorrelation));
    for (int r = 26; r <= 50; ++r)
        cells.dot (column (s.outputCorrelation), r, 1.0f, colourOf (s.outputCorrelation));

    cells.tinyText ("PRE", 16, 56, 0.4f, amber);
    rightTiny (cells, "POST", 219, 56, 0.9f);
    cells.tinyText ("-1", 16, 64, 0.45f, amber);
    centredTiny (cells, "0", 64, 0.45f);
    rightTiny (cells, "+1", 220, 64, 0.45f);
    centredTiny (cells, "MONO LF " + juce::String (roundFinite (s.monoBassHz)) + "HZ", 73, 0.66f, 0);
}

void graphpages::levelHistory (GraphCells& cells, const GraphInputs& in)
{
    cells.tinyText ("IN", 5, 9, 0.38f, amber);
    rightTiny (cells, "OUT", 231, 9, 0.92f);

    const auto rowOf = [] (float level) {
        const double d = level > 0.0f ? juce::jmax (20.0 * std::log10 ((double) level), -48.0) + 48.0 : 0.0;
        return 74 - (int) roundFinite (juce::jmin (d / 48.0, 1.0) * 54.0);
    };
    int previousIn = 0, previousOut = 0;
    for (int x = 0; x <= 226; ++x)
    {
        const int slot = (in.historyWriteIndex + (int) std::lround (x / 226.0 * 119.0)) % 120;
        const int rIn = rowOf (in.inputHistory[slot]);
        const int rOut = rowOf (in.outputHistory[slot]);
        if (x >= 1)
        {
            cells.line (x + 3, previousIn, x + 4, rIn, 0.3f, amber);
            cells.line (x + 3, previousOut, x + 4, rOut, 0.95f, amber);
        }
        previousIn = rIn;
        previousOut = rOut;
    }
}

void graphpages::multibandGainReduction (GraphCells& cells, const GraphInputs& in)
{
    const auto& s = *in.snapshot;
    const auto column = [] (double hz) { return (int) roundFinite ((std::log10 (hz) - 1.30103) / 3.0 * 234.0); };

    int edges[6] = { 1, 0, 0, 0, 0, 233 };
    for (int k = 0; k < 4; ++k)
        edges[k + 1] = juce::jlimit (1, 233, column (in.crossoverHz[(size_t) k]));

    cells.tinyText ("20", 1, 9, 0.55f, amber);
    for (int k = 0; k < 4; ++k)
    {
        const auto label = kiloLabel (in.crossoverHz[(size_t) k]);
        const int w = juce::jmax (1, 4 * label.length());
        const int start = edges[k + 1] - (w - 1) / 2;
        cells.tinyText (label, start <= 0 ? 1 : juce::jmin (235 - w, start), 9, 0.7f, amber);
    }
    rightTiny (cells, "20K", 235, 9, 0.55f);

    for (int k = 1; k <= 4; ++k)
        if (edges[k] <= 234)
            for (int r = 19; r <= 65; r += 2)
                cells.dot (edges[k], r, 0.22f, dim (0.3f));

    const auto depth = [] (float db) { return juce::jlimit (0, 46, (int) roundFinite (juce::jmin ((db < 0.0f ? 0.0f : db) / 3.0f, 1.0f) * 46.0f)); };
    for (int b = 0; b < 5; ++b)
    {
        const int first = edges[b] + 2, last = edges[b + 1] - 2;
        if (first > last)
            continue;
        const int hc = depth (finiteOr (s.bandCompReductionDb[b], 0.0f));
        const int hl = juce::jlimit (0, 46 - hc, depth (finiteOr (s.bandLimitReductionDb[b], 0.0f)));

        const auto checkerboard = [&] (int fromRow, int toRow, float intensity) {
            for (int r = fromRow; r <= toRow && r < graphgrid::rows; ++r)
                for (int c = first; c <= last; ++c)
                    if ((c + r) % 2 == 0)
                        cells.dot (c, r, intensity, amber);
        };
        checkerboard (20, 20 + hc, 0.4f);
        checkerboard (20 + hc, 20 + hc + hl, 0.98f);

        const int peakRow = 20 + depth (finiteOr (in.bandGainReductionPeakDb[b], 0.0f));
        for (int c = first; c <= last; c += 2)
            cells.dot (c, peakRow, 0.74f, amber);
    }

    cells.tinyText ("LINKAGE " + juce::String (roundFinite (s.bandLinkPercent)) + "%", 4, 73, 0.88f, amber);
    rightTiny (cells, "DIM RIDER / BRIGHT FAST LIMIT", 232, 73, 0.48f);
}

void graphpages::lfShelf (GraphCells& cells, const GraphInputs& in)
{
    const float g = juce::jlimit (0.0f, 5.0f, finiteOr (in.snapshot->lfShelfGainDb, 0.0f));
    const float fc = juce::jlimit (30.0f, 500.0f, finiteOr (in.lfShelfHz, 120.0f));

    cells.tinyText ("+4", 3, 22, 0.5f, amber);
    cells.tinyText ("+2", 3, 41, 0.5f, amber);
    cells.tinyText ("0", 8, 61, 0.5f, amber);
    cells.tinyText ("DB", 3, 72, 0.42f, amber);

    for (int c = 25; c <= 223; c += 2)
    {
        cells.dot (c, 63, 0.32f, dim (0.35f));
        cells.dot (c, 43, 0.1f, dim (0.2f));
        cells.dot (c, 24, 0.1f, dim (0.2f));
    }

    curve (
        cells,
        [&] (int c) {
            const double ratio = curveFrequency (c) / fc;
            return 63 - (int) roundFinite (39.0 * 0.25 * g / (1.0 + ratio * ratio));
        },
        0.92f);

    cells.tinyText ("50", (int) std::lround (26.2640343) + 22, 72, 0.4f, amber);
    curveLabels (cells, 72, 0.4f);
}

void graphpages::bandLimitFilters (GraphCells& cells, const GraphInputs& in)
{
    const float hpf = juce::jlimit (20.0f, 200.0f, finiteOr (in.snapshot->inputHpfHz, 20.0f));
    const float lpf = juce::jlimit (1000.0f, 20000.0f, finiteOr (in.snapshot->finalLowpassHz, 16000.0f));

    cells.tinyText ("HPF " + juce::String (roundFinite (hpf)) + "HZ", 5, 10, 0.76f, amber);
    rightTiny (cells, "LPF " + kiloLabel (lpf) + "HZ", 231, 10, 0.76f);
    cells.tinyText ("0", 9, 22, 0.45f, amber);
    cells.tinyText ("-12", 3, 43, 0.45f, amber);
    cells.tinyText ("-24", 3, 65, 0.45f, amber);
    cells.tinyText ("DB", 3, 73, 0.4f, amber);

    for (int c = 25; c <= 223; c += 2)
    {
        cells.dot (c, 24, 0.2f, dim (0.25f));
        cells.dot (c, 45, 0.09f, dim (0.18f));
        cells.dot (c, 67, 0.09f, dim (0.18f));
    }

    curve (
        cells,
        [&] (int c) {
            const double f = curveFrequency (c);
            double h = 1.0 / std::sqrt (1.0 + std::pow (hpf / juce::jmax (f, 1.0), 4.0));
            if (h <= 0.0001)
                h = 0.0001;
            double r = f / lpf;
            if (r <= 0.001)
                r = 0.001;
            const double level = 20.0 * std::log10 (h) - 10.0 * std::log10 (1.0 + std::pow (r, 16.0));
            return level < -24.0 ? 24 + 43 : 24 + (int) roundFinite (juce::jmin (level, 0.0) / -24.0 * 43.0);
        },
        0.95f);

    const int hpColumn = curveColumn (juce::jmin (juce::jmax ((double) hpf, 20.0), 20000.0));
    const int lpColumn = curveColumn (juce::jmax ((double) lpf, 20.0));
    for (int r = 22; r <= 66; r += 2)
    {
        if (hpColumn <= 234)
            cells.dot (hpColumn, r, 0.28f, dim (0.3f));
        if (lpColumn <= 234)
            cells.dot (lpColumn, r, 0.28f, dim (0.3f));
    }

    cells.tinyText ("20", 25, 73, 0.38f, amber);
    curveLabels (cells, 73, 0.38f);
    rightTiny (cells, "20K", 224, 73, 0.38f);
}

//==================================================================================================
void graphpages::presetBanner (GraphCells& cells, int presetIndex)
{
    const auto& p = kt::kPresets[(size_t) juce::jlimit (0, kt::kPresetCount - 1, presetIndex)];
    const juce::String name = juce::String ("PRESET: ") + p.name;
    cells.text (name, centredColumn (name.length()), 2, 1.0f, amber);
    cells.tinyText (juce::String ("DENSITY ") + p.densityLabel, 10, 17, 0.88f, amber);
    cells.tinyText (juce::String ("DYNAMICS ") + p.dynamicsLabel, 10, 27, 0.88f, amber);
    cells.tinyText (juce::String ("WIDTH ") + p.widthLabel, 10, 37, 0.88f, amber);
    cells.tinyText ("BAND LINK " + juce::String (std::lround (p.bandLink * 100.0f)) + "%", 88, 37, 0.68f, amber);
}

void graphpages::messageText (GraphCells& cells, int message, int age)
{
    struct Line
    {
        int message, fromAge;
        const char* text;
        bool large;
        int row;
        float intensity;
    };
    static constexpr Line lines[] = {
        { 1, 0, "EXTREME FM ENGAGED", true, 18, 1.0f },
        { 1, 8, "15K PRE / PHASE / PRE-EMPH", false, 34, 0.84f },
        { 1, 15, "HF LIMIT / FM CLIP / DE-EMPH", false, 44, 0.84f },
        { 1, 22, "BASS CLIP / 15K FINAL WALL", false, 54, 0.84f },
        { 1, 33, "LISTEN FOR DENSITY / PRESENCE / TIGHT BASS", false, 67, 0.7f },
        { 2, 0, "PROCESSING ADVISORY", false, 20, 0.76f },
        { 2, 0, "HEAVY PROCESSING", true, 32, 1.0f },
        { 2, 0, "HF LIMIT / CLIP / FINAL LIMIT ACTIVE", false, 44, 0.82f },
        { 2, 0, "THE CHAIN IS WORKING HARD", false, 55, 0.74f },
        { 2, 0, "LISTEN FOR DENSITY OR STRAIN", false, 67, 0.72f },
    };
    for (const auto& line : lines)
    {
        if (line.message != message || age < line.fromAge)
            continue;
        const juce::String t (line.text);
        if (line.large)
            cells.text (t, centredColumn (t.length()), line.row, line.intensity, amber);
        else
            cells.tinyText (t, centredTinyColumn (t.length()), line.row, line.intensity, amber);
    }
}

void graphpages::bypassMarker (GraphCells& cells)
{
    const juce::String t ("[BYPASS]");
    cells.text (t, titleColumn (t.length()), 35, 0.95f, amber);
}
