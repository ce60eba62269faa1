#include "DotMatrixFont.h"
#include "EditorConstants.h"
#include "GraphDisplay.h"
#include "PluginEditor.h"
#include "ProcessorHarness.h"

#include <gtest/gtest.h>

#include <set>

namespace
{
using Editor = KorvaneTarvikAudioProcessorEditor;
const juce::Colour amber = editorconstants::amber;
const juce::Colour redLed = editorconstants::redLed;

/** Inputs for the pages with an all-default snapshot and silent histories. */
struct PageFixture
{
    DisplaySnapshot snapshot;
    float inputHistory[120] {}, outputHistory[120] {};
    float peaks[5] {};
    GraphInputs inputs()
    {
        GraphInputs in;
        in.snapshot = &snapshot;
        in.inputHistory = inputHistory;
        in.outputHistory = outputHistory;
        in.bandGainReductionPeakDb = peaks;
        in.crossoverHz = { 120.0f, 420.0f, 1600.0f, 5200.0f };
        return in;
    }
};

std::set<std::pair<int, int>> litCells (const GraphCells& cells)
{
    std::set<std::pair<int, int>> lit;
    for (const auto& c : cells.all())
        lit.insert ({ c.column, c.row });
    return lit;
}

bool columnLit (const GraphCells& cells, int column, int fromRow, int toRow, float intensity)
{
    for (int r = fromRow; r <= toRow; ++r)
        if (cells.intensityAt (column, r) != intensity)
            return false;
    return true;
}

//==================================================================================================
TEST (DotMatrix, TextIsUpperCaseAndBlankCellsStillAdvance)
{
    GraphCells lower, upper;
    lower.text ("abc", 10, 10, 1.0f, amber);
    upper.text ("ABC", 10, 10, 1.0f, amber);
    EXPECT_EQ (litCells (lower), litCells (upper));
    EXPECT_FALSE (lower.all().empty());

    // A space, a character outside '!' ... ']' and a blank entry each take a full advance.
    for (const char* gap : { " ", "~", "#", "\x01" })
    {
        GraphCells spaced;
        spaced.text (juce::String ("A") + gap + "B", 10, 10, 1.0f, amber);
        GraphCells b;
        b.text ("B", 22, 10, 1.0f, amber);
        auto expected = litCells (b);
        GraphCells a;
        a.text ("A", 10, 10, 1.0f, amber);
        for (auto cell : litCells (a))
            expected.insert (cell);
        EXPECT_EQ (litCells (spaced), expected) << (int) gap[0];
    }

    GraphCells tiny;
    tiny.tinyText ("A B", 0, 0, 1.0f, amber);
    EXPECT_GE (tiny.intensityAt (8, 2), 0.0f); // 'B' starts at column 8: 4 columns per character
}

TEST (DotMatrix, CellsOffTheGridAreSkippedAndTheRestDrawn)
{
    GraphCells cells;
    cells.text ("HI", -6, 0, 1.0f, amber); // 'H' entirely off the left edge
    cells.text ("HI", 230, 78, 1.0f, amber);
    for (const auto& c : cells.all())
    {
        EXPECT_GE (c.column, 0);
        EXPECT_LT (c.column, 235);
        EXPECT_GE (c.row, 0);
        EXPECT_LT (c.row, 82);
    }
    EXPECT_GE (cells.intensityAt (0, 0), 0.0f);   // the 'I' of the first text
    EXPECT_GE (cells.intensityAt (230, 78), 0.0f); // the top of the second 'H'
}

TEST (DotMatrix, LitDotAlphaRule)
{
    const auto dimmed = Editor::dotAlphas (0.28f, 1.0f);
    EXPECT_EQ (dimmed.core, 71);
    EXPECT_EQ (dimmed.inner, 21);
    EXPECT_EQ (dimmed.outer, 9);
    const auto full = Editor::dotAlphas (1.0f, 1.0f);
    EXPECT_EQ (full.core, 255);
    EXPECT_EQ (full.inner, juce::Colour (0xff000000).withAlpha (0.3f).getAlpha()); // 76.5: the framework's rounding
    EXPECT_EQ (full.outer, 31);
    // Above 1 it draws exactly like 1.
    const auto over = Editor::dotAlphas (0.5f, 3.0f);
    EXPECT_EQ (over.core, full.core);
    EXPECT_EQ (Editor::dotAlphas (1.0f, -1.0f).core, 0);
}

TEST (DotMatrix, FontTables)
{
    const auto* a = dotfont::glyph5x7 ('A');
    ASSERT_NE (a, nullptr);
    EXPECT_EQ (a[0], 0x0E);
    EXPECT_EQ (a[3], 0x1F);
    EXPECT_EQ (dotfont::glyph5x7 ('a'), a);
    EXPECT_EQ (dotfont::glyph3x5 ('Q')[4], 1);
    EXPECT_EQ (dotfont::glyph5x7 (' '), nullptr);
    EXPECT_EQ (dotfont::glyph5x7 ('^'), nullptr);
    for (char blank : { '"', '#', '$', '&', '*', ';', '@', '\\' })
    {
        const auto* rows = dotfont::glyph5x7 (blank);
        for (int j = 0; j < 7; ++j)
            EXPECT_EQ (rows[j], 0) << blank;
    }
}

//==================================================================================================
TEST (GraphPages, DimColoursFollowTheBrightenRule)
{
    EXPECT_EQ (graphgrid::dim (0.18f), juce::Colour (0xff744c2b));
    EXPECT_EQ (graphgrid::dim (0.2f), juce::Colour (0xff764f2e));
    EXPECT_EQ (graphgrid::dim (0.25f), juce::Colour (0xff7b5637));
    EXPECT_EQ (graphgrid::dim (0.3f), juce::Colour (0xff805c3e));
    EXPECT_EQ (graphgrid::dim (0.35f), juce::Colour (0xff856245));
}

TEST (GraphPages, MultibandBandEdgesLabelsAndBars)
{
    PageFixture f;
    f.snapshot.bandCompReductionDb[2] = 1.5f;
    f.snapshot.bandLimitReductionDb[2] = 3.0f;
    f.snapshot.bandCompReductionDb[4] = 6.0f;
    f.snapshot.bandLinkPercent = 30.0f;
    GraphCells cells;
    graphpages::multibandGainReduction (cells, f.inputs());

    for (int edge : { 61, 103, 148, 188 })
        EXPECT_EQ (cells.intensityAt (edge, 19), 0.22f) << edge;
    EXPECT_EQ (cells.intensityAt (1, 19), -1.0f);

    // "120", "420", "1.6K", "5.2K" start at 56, 98, 141, 181 (first lit dots of '1', '4', '1', '5').
    EXPECT_EQ (cells.intensityAt (56, 10), 0.7f);
    EXPECT_EQ (cells.intensityAt (98, 9), 0.7f);
    EXPECT_EQ (cells.intensityAt (141, 10), 0.7f);
    EXPECT_EQ (cells.intensityAt (181, 9), 0.7f);

    // Band 2 (columns 105 ... 146): hc = hl = 23, dim rows 20 ... 43, bright 43 ... 66.
    EXPECT_EQ (cells.intensityAt (106, 20), 0.4f);
    EXPECT_EQ (cells.intensityAt (106, 42), 0.4f);
    EXPECT_EQ (cells.intensityAt (105, 43), 0.98f);
    EXPECT_EQ (cells.intensityAt (105, 65), 0.98f);
    EXPECT_EQ (cells.intensityAt (106, 66), 0.98f);
    EXPECT_EQ (cells.intensityAt (105, 67), -1.0f);
    EXPECT_EQ (cells.intensityAt (104, 44), -1.0f); // outside the band
    // Band 4 (190 ... 231): compressor alone past 3 dB fills 46 rows dim, one bright row at 66.
    EXPECT_EQ (cells.intensityAt (190, 64), 0.4f);
    EXPECT_EQ (cells.intensityAt (190, 66), 0.98f);
    // Bands without reduction: the baseline drawn dim then bright.
    EXPECT_EQ (cells.intensityAt (4, 20), 0.98f);
}

TEST (GraphPages, GainControlMarkers)
{
    PageFixture f;
    f.snapshot.inputTrimDb = 0.0f;
    f.snapshot.agcGainDb = -3.2f;
    auto in = f.inputs();
    in.agcGainPeakDb = 5.0f;
    GraphCells cells;
    graphpages::gainControl (cells, in);
    EXPECT_TRUE (columnLit (cells, 118, 21, 34, 1.0f)); // row 35 carries the "0" label on top
    EXPECT_TRUE (columnLit (cells, 90, 55, 69, 1.0f));
    EXPECT_EQ (cells.intensityAt (75, 53), 0.76f);

    for (auto [trim, column] : { std::pair { 25.0f, 218 }, std::pair { -25.0f, 17 }, std::pair { 18.0f, 218 } })
    {
        f.snapshot.inputTrimDb = trim;
        GraphCells c;
        graphpages::gainControl (c, f.inputs());
        EXPECT_TRUE (columnLit (c, column, 21, 34, 1.0f)) << trim;
    }
    EXPECT_EQ (graphtext::signedDb (25.0f), "+25.0DB");
    EXPECT_EQ (graphtext::signedDb (-25.0f), "-25.0DB");
    EXPECT_EQ (graphtext::signedDb (0.0f), "+0.0DB");
}

TEST (GraphPages, CorrelationMarkers)
{
    PageFixture f;
    f.snapshot.stereoCorrelation = -0.2f;
    f.snapshot.outputCorrelation = 0.4f;
    GraphCells cells;
    graphpages::stereoCorrelation (cells, f.inputs());
    EXPECT_TRUE (columnLit (cells, 97, 28, 48, 0.34f));
    EXPECT_EQ (cells.colourAt (97, 28), redLed);
    EXPECT_TRUE (columnLit (cells, 157, 26, 50, 1.0f));
    EXPECT_EQ (cells.colourAt (157, 26), amber);
}

TEST (GraphPages, LevelHistoryOfSilenceIsFlatOnRow74)
{
    PageFixture f;
    GraphCells cells;
    graphpages::levelHistory (cells, f.inputs());
    for (int c = 4; c <= 230; ++c)
        EXPECT_EQ (cells.intensityAt (c, 74), 0.95f) << c; // output over input
    f.outputHistory[60] = 1.0f; // 0 dBFS, in the middle of the trace: row 20
    GraphCells loud;
    graphpages::levelHistory (loud, f.inputs());
    bool reachesRow20 = false;
    for (int c = 100; c <= 130; ++c)
        reachesRow20 = reachesRow20 || loud.intensityAt (c, 20) == 0.95f;
    EXPECT_TRUE (reachesRow20);
}

TEST (GraphPages, LfShelfCurve)
{
    PageFixture f;
    f.snapshot.lfShelfGainDb = 4.0f;
    auto in = f.inputs();
    in.lfShelfHz = 100.0f;
    GraphCells cells;
    graphpages::lfShelf (cells, in);
    EXPECT_EQ (cells.intensityAt (25, 25), 0.92f);
    EXPECT_EQ (cells.intensityAt (71, 43), 0.92f); // the corner, 100 Hz
    EXPECT_EQ (cells.intensityAt (223, 63), 0.92f);

    f.snapshot.lfShelfGainDb = -3.0f; // shown as 0: flat on row 63
    GraphCells flat;
    graphpages::lfShelf (flat, in);
    for (int c = 25; c <= 223; ++c)
        EXPECT_EQ (flat.intensityAt (c, 63), 0.92f) << c;

    f.snapshot.lfShelfGainDb = 9.0f; // shown as 5
    GraphCells high;
    graphpages::lfShelf (high, in);
    EXPECT_EQ (high.intensityAt (25, 16), 0.92f);
}

TEST (GraphPages, BandLimitLabelsAndSlopes)
{
    PageFixture f;
    f.snapshot.inputHpfHz = 30.0f;
    f.snapshot.finalLowpassHz = 15000.0f;
    GraphCells cells;
    graphpages::bandLimitFilters (cells, f.inputs());
    GraphCells expected;
    expected.tinyText ("HPF 30HZ", 5, 10, 0.76f, amber);
    expected.tinyText ("LPF 15KHZ", 231 - 36, 10, 0.76f, amber);
    for (const auto& c : expected.all())
        EXPECT_EQ (cells.intensityAt (c.column, c.row), 0.76f);
    EXPECT_EQ (cells.intensityAt (215, 29), 0.95f); // 15 kHz: -3 dB is row 29

    f.snapshot.inputHpfHz = 200.0f; // 20 Hz is then 40 dB down: drawn on row 67
    GraphCells steep;
    graphpages::bandLimitFilters (steep, f.inputs());
    EXPECT_EQ (steep.intensityAt (25, 67), 0.95f);

    f.snapshot.finalLowpassHz = 16500.0f;
    f.snapshot.inputHpfHz = 10.0f;
    GraphCells other;
    graphpages::bandLimitFilters (other, f.inputs());
    GraphCells label;
    label.tinyText ("LPF 16.5KHZ", 231 - 44, 10, 0.76f, amber);
    label.tinyText ("HPF 20HZ", 5, 10, 0.76f, amber);
    for (const auto& c : label.all())
        EXPECT_EQ (other.intensityAt (c.column, c.row), 0.76f);
}

TEST (GraphPages, NonFiniteValuesAreSafe)
{
    PageFixture f;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    f.snapshot.inputTrimDb = f.snapshot.agcGainDb = f.snapshot.stereoCorrelation = nan;
    f.snapshot.lfShelfGainDb = f.snapshot.finalLowpassHz = f.snapshot.inputHpfHz = nan;
    f.snapshot.bandCompReductionDb[0] = std::numeric_limits<float>::infinity();
    f.inputHistory[3] = nan;
    for (int page = 1; page <= 6; ++page)
    {
        GraphCells cells;
        graphpages::draw (cells, page, f.inputs());
        EXPECT_FALSE (cells.all().empty()) << page;
    }
}

//==================================================================================================
struct EditorFixture
{
    ProcessorHarness h;
    std::unique_ptr<Editor> editor;
    EditorFixture() { editor.reset (dynamic_cast<Editor*> (h.proc.createEditor())); }
    void ticks (int n)
    {
        for (int i = 0; i < n; ++i)
            editor->timerCallback();
    }
};

TEST (GraphDisplay, PagesCycleBothWaysFromPageTwo)
{
    EditorFixture f;
    EXPECT_EQ (f.editor->getDisplayPage(), 2);
    std::vector<int> forward, backward;
    for (int i = 0; i < 6; ++i)
    {
        f.editor->changeDisplayPage (+1);
        forward.push_back (f.editor->getDisplayPage());
    }
    for (int i = 0; i < 6; ++i)
    {
        f.editor->changeDisplayPage (-1);
        backward.push_back (f.editor->getDisplayPage());
    }
    EXPECT_EQ (forward, (std::vector<int> { 3, 4, 5, 6, 1, 2 }));
    EXPECT_EQ (backward, (std::vector<int> { 1, 6, 5, 4, 3, 2 }));
}

TEST (GraphDisplay, BannerOnARealPresetChangeOnly)
{
    {
        // Opened while the preset is 5: the first tick shows no banner.
        ProcessorHarness h;
        h.set ("preset", 5.0f);
        std::unique_ptr<Editor> editor (dynamic_cast<Editor*> (h.proc.createEditor()));
        editor->timerCallback();
        EXPECT_EQ (editor->getPresetBannerTicks(), 0);
    }

    EditorFixture f;
    f.h.set ("preset", 5.0f);
    f.ticks (1);
    EXPECT_EQ (f.editor->getPresetBannerTicks(), 75);
    f.ticks (74);
    EXPECT_EQ (f.editor->getPresetBannerTicks(), 1);
    f.h.set ("preset", 5.0f); // the same preset again
    f.ticks (1);
    EXPECT_EQ (f.editor->getPresetBannerTicks(), 0);

    GraphCells page, overlay;
    f.h.set ("preset", 6.0f);
    f.ticks (1);
    f.editor->collectGraphCells (page, overlay);
    GraphCells banner;
    graphpages::presetBanner (banner, 6);
    EXPECT_EQ (litCells (page), litCells (banner));

    // Bypassed: no banner, the page dims and "[BYPASS]" goes on top.
    f.h.set ("bypass", 1.0f);
    f.editor->collectGraphCells (page, overlay);
    EXPECT_NE (litCells (page), litCells (banner));
    GraphCells marker;
    graphpages::bypassMarker (marker);
    EXPECT_EQ (litCells (overlay), litCells (marker));
    EXPECT_GE (overlay.intensityAt (94 + 6, 35), 0.0f); // "[BYPASS]" starts at column 94
}

TEST (GraphDisplay, ExtremeMessageReplacesTheAdvisoryAndUnfoldsLineByLine)
{
    EditorFixture f;
    auto& pub = f.h.proc.chain.published;
    pub.processingActivity.set (0.8f);
    f.ticks (45);
    EXPECT_EQ (f.editor->getGraphMessage(), 0);
    f.ticks (1);
    EXPECT_EQ (f.editor->getGraphMessage(), 2);
    EXPECT_EQ (f.editor->getAdvisoryCooldown(), 360);

    f.h.set ("extreme", 1.0f);
    f.ticks (1);
    EXPECT_EQ (f.editor->getGraphMessage(), 1);
    EXPECT_EQ (f.editor->getGraphMessageAge(), 1);

    const auto linesAtAge = [] (int age) {
        GraphCells c;
        graphpages::messageText (c, 1, age);
        size_t lines = 0;
        for (int row : { 18, 34, 44, 54, 67 }) // the first row of each line
            for (int column = 0; column < 235; ++column)
                if (c.intensityAt (column, row) >= 0.0f)
                {
                    ++lines;
                    break;
                }
        return lines;
    };
    EXPECT_EQ (linesAtAge (7), 1u);
    EXPECT_EQ (linesAtAge (8), 2u);
    EXPECT_EQ (linesAtAge (15), 3u);
    EXPECT_EQ (linesAtAge (22), 4u);
    EXPECT_EQ (linesAtAge (32), 4u);
    EXPECT_EQ (linesAtAge (33), 5u);

    f.ticks (149);
    EXPECT_EQ (f.editor->getGraphMessage(), 0);
}

TEST (GraphDisplay, AdvisoryNeedsSustainedHeavyProcessing)
{
    {
        // Alternating above and below 0.5: the count falls by 2 for each rise of 1.
        EditorFixture f;
        auto& pub = f.h.proc.chain.published;
        for (int i = 0; i < 400; ++i)
        {
            pub.processingActivity.set (i % 2 ? 0.9f : 0.1f);
            f.ticks (1);
            ASSERT_EQ (f.editor->getGraphMessage(), 0);
        }
    }
    {
        // Never with the low-input warning.
        EditorFixture f;
        auto& pub = f.h.proc.chain.published;
        pub.processingActivity.set (0.9f);
        pub.lowInputWarning.set (1.0f);
        f.ticks (200);
        EXPECT_EQ (f.editor->getGraphMessage(), 0);
    }
    {
        // Not again within its cooldown.
        EditorFixture f;
        f.h.proc.chain.published.processingActivity.set (0.9f);
        f.ticks (46);
        EXPECT_EQ (f.editor->getGraphMessage(), 2);
        f.ticks (120);
        EXPECT_EQ (f.editor->getGraphMessage(), 0);
        f.ticks (360 - 120 - 2);
        EXPECT_EQ (f.editor->getGraphMessage(), 0);
        f.ticks (4);
        EXPECT_EQ (f.editor->getGraphMessage(), 2);
    }
}

TEST (GraphDisplay, PageOrBypassChangeWipesTheAfterglow)
{
    EditorFixture f;
    f.h.proc.chain.published.bandCompReductionDb[1].set (3.0f);
    f.ticks (1);
    for (int i = 0; i < 5; ++i)
        f.editor->createComponentSnapshot (f.editor->getLocalBounds()); // page 2 glows on

    f.editor->changeDisplayPage (+1);
    const auto afterSwitch = f.editor->createComponentSnapshot (f.editor->getLocalBounds());

    EditorFixture fresh; // the same page, never anything else
    fresh.h.proc.chain.published.bandCompReductionDb[1].set (3.0f);
    fresh.ticks (1);
    fresh.editor->changeDisplayPage (+1);
    const auto clean = fresh.editor->createComponentSnapshot (fresh.editor->getLocalBounds());

    for (int y = 352; y < 461; ++y)
        for (int x = 146; x < 575; ++x)
            ASSERT_EQ (afterSwitch.getPixelAt (x, y), clean.getPixelAt (x, y)) << x << ", " << y;
}
} // namespace
