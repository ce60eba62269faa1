#pragma once

#include <juce_graphics/juce_graphics.h>

#include <array>
#include <vector>

/** The editor's copy of the published values. The graph display draws from it, so its readings
    stay frozen while the processor is bypassed. */
struct DisplaySnapshot
{
    float bandGainReductionDb[5] {};
    float bandCompReductionDb[5] {};
    float bandLimitReductionDb[5] {};
    float stereoCorrelation = 1.0f;
    float outputCorrelation = 1.0f;
    float extremeAmount = 0.0f;
    float inputHpfHz = 20.0f;
    float monoBassHz = 120.0f;
    float preEmphasisUs = 0.0f;
    float agcGainDb = 0.0f;
    float lfShelfGainDb = 0.0f;
    float finalLowpassHz = 16000.0f;
    float bandLinkPercent = 0.0f;
    float hfLimiterReductionDb = 0.0f;
    float fmClipperActivityDb = 0.0f;
    float bassClipperReductionDb = 0.0f;
    float postCompReductionDb = 0.0f;
    float truePeakReductionDb = 0.0f;
    float inputTrimDb = 0.0f;
    float autoInputState = 0.0f;
    float processingActivity = 0.0f;
    bool lowInputWarning = false;
};

/** The graph display's dot grid: 235 columns by 82 rows. */
namespace graphgrid
{
inline constexpr int columns = 235;
inline constexpr int rows = 82;

/** Grid and scale colours: the dim amber brightened by k (0.18 ... 0.35). */
juce::Colour dim (float k);
} // namespace graphgrid

/** One lit cell of the graph grid. */
struct GraphCell
{
    int column = 0, row = 0;
    float intensity = 1.0f;
    juce::Colour colour;
};

/** The cells a page lights, in drawing order. What a page shows is decided here, in cells; the
    editor turns the cells into lit dots. Sized once: adding never allocates. */
class GraphCells
{
public:
    GraphCells() { cells.reserve (capacity); }

    void clear() noexcept { cells.clear(); }
    const std::vector<GraphCell>& all() const noexcept { return cells; }

    /** One dot; cells off the grid are skipped. */
    void dot (int column, int row, float intensity, juce::Colour colour) noexcept;
    /** 5 x 7 text, 6 columns per character. */
    void text (const juce::String& text, int column, int row, float intensity, juce::Colour colour) noexcept;
    /** 3 x 5 text, 4 columns per character. */
    void tinyText (const juce::String& text, int column, int row, float intensity, juce::Colour colour) noexcept;
    /** Integer line between two cells, both ends included; the ends are first held on the grid. */
    void line (int x0, int y0, int x1, int y1, float intensity, juce::Colour colour) noexcept;

    /** The intensity of the last dot drawn at a cell, or -1 when none: for tests. */
    float intensityAt (int column, int row) const noexcept;
    /** The colour of the last dot drawn at a cell: for tests. */
    juce::Colour colourAt (int column, int row) const noexcept;

private:
    static constexpr size_t capacity = 4 * graphgrid::columns * graphgrid::rows;
    std::vector<GraphCell> cells;
};

/** Text placement on the grid; n is the number of characters. */
namespace graphtext
{
int titleColumn (int n) noexcept;                        // centred 5 x 7, not below 0
int centredColumn (int n) noexcept;                      // centred 5 x 7, not below 1
int centredTinyColumn (int n, int lowest = 1) noexcept;  // centred 3 x 5
int rightAlignedTiny (int endColumn, int n) noexcept;    // 3 x 5 ending before endColumn
juce::String signedDb (float db);                        // "+1.5DB", "-3.0DB"
juce::String kiloLabel (float hz);                       // 1600 -> "1.6K", 1000 -> "1K", 420 -> "420"
} // namespace graphtext

/** Everything the pages draw from. */
struct GraphInputs
{
    const DisplaySnapshot* snapshot = nullptr;
    const float* inputHistory = nullptr;  // 120 linear peaks, oldest at historyWriteIndex
    const float* outputHistory = nullptr;
    int historyWriteIndex = 0;
    const float* bandGainReductionPeakDb = nullptr; // 5
    float agcGainPeakDb = 0.0f;
    std::array<float, 4> crossoverHz {};
    float lfShelfHz = 120.0f;
};

namespace graphpages
{
const char* title (int page) noexcept;
/** Title and content of page 1 ... 6 (anything above 6 is page 6). */
void draw (GraphCells&, int page, const GraphInputs&);
void gainControl (GraphCells&, const GraphInputs&);
void multibandGainReduction (GraphCells&, const GraphInputs&);
void stereoCorrelation (GraphCells&, const GraphInputs&);
void levelHistory (GraphCells&, const GraphInputs&);
void lfShelf (GraphCells&, const GraphInputs&);
void bandLimitFilters (GraphCells&, const GraphInputs&);

void presetBanner (GraphCells&, int presetIndex);
/** The lines of a timed message (1 EXTREME engaged, 2 processing advisory) shown at its age. */
void messageText (GraphCells&, int message, int age);
void bypassMarker (GraphCells&);
} // namespace graphpages
