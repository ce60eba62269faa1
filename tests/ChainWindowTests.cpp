#include "Parameters.h"
#include "PluginEditor.h"
#include "ProcessorHarness.h"
#include "TarvikChainView.h"
#include "TarvikChainWindow.h"

#include <gtest/gtest.h>

#include <set>

// The framework's own Linux message loop step (its plug-in wrappers declare it the same way): lets
// a test deliver what a button click posts, without a display.
namespace juce
{
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace
{
using Editor = KorvaneTarvikAudioProcessorEditor;

const juce::Colour background { 0xfff4f5f7 };
const juce::Colour engagedFill { 0xffffffff };
const juce::Colour extremeFill { 0xffe8f0ff };
const juce::Colour dimmedFill { 0xffe9ebee };
const char* const windowTitle = "KORVANE Tarvik - Signal chain";

/** An editor made visible, as a host does before showing it. */
std::unique_ptr<Editor> openEditor (KorvaneTarvikAudioProcessor& p)
{
    auto editor = std::unique_ptr<Editor> (dynamic_cast<Editor*> (p.createEditor()));
    editor->setVisible (true);
    return editor;
}

template <typename T = juce::Component>
T* child (juce::Component& parent, const juce::String& name)
{
    for (auto* c : parent.getChildren())
        if (c->getName() == name)
            return dynamic_cast<T*> (c);
    return nullptr;
}

void clickSeeChain (Editor& editor) { child<juce::Button> (editor, "See chain")->onClick(); }

TarvikChainWindow* chainWindowOf (Editor& editor) { return child<TarvikChainWindow> (editor, windowTitle); }

TarvikChainView* viewOf (TarvikChainWindow& window) { return dynamic_cast<TarvikChainView*> (window.getContentComponent()); }

juce::Image paintOf (juce::Component& c) { return c.createComponentSnapshot (c.getLocalBounds()); }

/** How far the pixels of an area are from the background, summed: where something is drawn. */
float inkIn (const juce::Image& image, juce::Rectangle<int> area)
{
    float ink = 0.0f;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            ink += std::abs (image.getPixelAt (x, y).getPerceivedBrightness() - background.getPerceivedBrightness());
    return ink;
}

/** The displayed numbers (01 ... 20) of the boxes the view dims. */
std::set<int> dimmedBoxes (const TarvikChainView& view)
{
    std::set<int> dimmed;
    for (int i = 0; i < TarvikChainView::numBoxes; ++i)
        if (! view.isBoxEngaged (i))
            dimmed.insert (i + 1);
    return dimmed;
}

std::set<int> boxRange (int first, int last)
{
    std::set<int> boxes;
    for (int n = first; n <= last; ++n)
        boxes.insert (n);
    return boxes;
}

/** Lets the framework deliver what is waiting in the message queue, up to a limit. */
void deliverPendingMessages()
{
    for (int i = 0; i < 1000 && juce::dispatchNextMessageOnSystemQueue (true); ++i)
    {
    }
}

//==================================================================================================
TEST (ChainView, BoxesSnakeThroughFourRowsOfFive)
{
    // Displayed number, column and row: rows 1 and 3 run right to left.
    const struct
    {
        int number, column, row;
    } placements[] = { { 1, 0, 0 }, { 3, 2, 0 }, { 5, 4, 0 }, { 6, 4, 1 }, { 8, 2, 1 }, { 10, 0, 1 },
                       { 11, 0, 2 }, { 15, 4, 2 }, { 16, 4, 3 }, { 17, 3, 3 }, { 20, 0, 3 } };
    for (const auto& p : placements)
        EXPECT_EQ (TarvikChainView::boxArea (p.number - 1),
                   juce::Rectangle<float> (24.0f + 145.0f * (float) p.column, 88.0f + 85.0f * (float) p.row, 132.0f, 65.0f))
            << "box " << p.number;

    // Every step is one box sideways within a row or straight down at a row's end; nothing overlaps
    // and everything fits the 760 x 500 design area above the footer.
    const juce::Rectangle<float> design (0.0f, 0.0f, 760.0f, 431.0f);
    for (int i = 0; i < TarvikChainView::numBoxes; ++i)
    {
        const auto box = TarvikChainView::boxArea (i);
        EXPECT_TRUE (design.contains (box)) << i;
        for (int j = i + 1; j < TarvikChainView::numBoxes; ++j)
            EXPECT_FALSE (box.intersects (TarvikChainView::boxArea (j))) << i << " " << j;
        if (i + 1 < TarvikChainView::numBoxes)
        {
            const auto step = TarvikChainView::boxArea (i + 1).getPosition() - box.getPosition();
            const bool turn = (i + 1) % 5 == 0;
            EXPECT_EQ (step, turn ? juce::Point<float> (0.0f, 85.0f) : juce::Point<float> ((i / 5) % 2 == 0 ? 145.0f : -145.0f, 0.0f))
                << "from box " << i + 1;
        }
    }
}

TEST (ChainView, ArrowsJoinTheBoxesInChainOrder)
{
    ProcessorHarness h;
    TarvikChainView view (h.proc);
    ASSERT_EQ (view.getScale(), 1.0f);
    const auto image = paintOf (view);

    // An arrow's head is heavier than its shaft: compare the two halves of each gap.
    struct Gap
    {
        const char* what;
        juce::Rectangle<int> tail, head;
    };
    const Gap arrows[] = {
        { "01 -> 02, pointing right", { 157, 116, 5, 9 }, { 163, 116, 5, 9 } },
        { "05 -> 06, turning down", { 665, 154, 11, 5 }, { 665, 166, 11, 5 } },
        { "06 -> 07, pointing left", { 598, 201, 5, 9 }, { 592, 201, 5, 9 } },
        { "10 -> 11, turning down", { 85, 239, 11, 5 }, { 85, 251, 11, 5 } },
        { "15 -> 16, turning down", { 665, 324, 11, 5 }, { 665, 336, 11, 5 } },
        { "19 -> 20, pointing left", { 163, 371, 5, 9 }, { 157, 371, 5, 9 } },
    };
    for (const auto& a : arrows)
    {
        EXPECT_GT (inkIn (image, a.tail), 1.0f) << a.what;
        EXPECT_GT (inkIn (image, a.head), 1.5f * inkIn (image, a.tail)) << a.what;
    }

    // No arrow where the snake does not go: up from box 10 to box 01, down from box 20, right of 05.
    for (const auto& empty : { juce::Rectangle<int> (80, 154, 20, 18), juce::Rectangle<int> (80, 409, 20, 20),
                               juce::Rectangle<int> (737, 110, 20, 20) })
        EXPECT_EQ (inkIn (image, empty), 0.0f) << empty.toString();
}

//==================================================================================================
TEST (ChainView, DimsDisengagedStagesAndTintsTheExtremeSection)
{
    const auto allEngaged = std::set<int>();
    const auto extremeOff = std::set<int> { 10, 11, 12, 13, 15 };
    auto everyStageButTheClipper = boxRange (3, 19);
    everyStageButTheClipper.erase (14);
    const struct
    {
        const char* what;
        std::vector<std::pair<const char*, float>> settings;
        bool allStagesOff;
        std::set<int> dimmed;
        const char* clipperTitle;
        const char* footer;
    } cases[] = {
        { "defaults (EXTREME off)", {}, false, extremeOff, "Clipper", nullptr },
        { "EXTREME on", { { "extreme", 1.0f } }, false, allEngaged, "FM clipper", nullptr },
        { "bypassed", { { "extreme", 1.0f }, { "bypass", 1.0f } }, false, boxRange (1, 20), "FM clipper", "Processing is bypassed." },
        { "bypassed, EXTREME off", { { "bypass", 1.0f } }, false, boxRange (1, 20), "Clipper", "Processing is bypassed." },
        { "FM clipper switch off", { { "extreme", 1.0f }, { "stageFmClipper", 0.0f } }, false, allEngaged, "FM clipper", nullptr },
        { "FM clipper switch off, EXTREME off", { { "stageFmClipper", 0.0f } }, false, extremeOff, "Clipper", nullptr },
        { "two FM switches off", { { "extreme", 1.0f }, { "stageFmPhase", 0.0f }, { "stageDeEmphasis", 0.0f } }, false, { 11, 15 },
          "FM clipper", nullptr },
        { "every stage off", { { "extreme", 1.0f } }, true, everyStageButTheClipper, "FM clipper", nullptr },
    };
    const char* const normalFooter = "Dimmed stages are disengaged. Normal-mode clipping remains available with EXTREME off.";

    for (const auto& c : cases)
    {
        ProcessorHarness h;
        for (const auto& [id, value] : c.settings)
            h.set (id, value);
        if (c.allStagesOff)
            h.switchAllStagesOff();
        const auto& expectedDimmed = c.dimmed;

        TarvikChainView view (h.proc);
        EXPECT_EQ (dimmedBoxes (view), expectedDimmed) << c.what;
        EXPECT_EQ (view.boxTitle (13), c.clipperTitle) << c.what;
        EXPECT_EQ (view.footerText(), c.footer != nullptr ? c.footer : normalFooter) << c.what;

        // The painting agrees: fill inside each box, blue outline for boxes 10 ... 15 even when dimmed.
        const auto image = paintOf (view);
        for (int i = 0; i < TarvikChainView::numBoxes; ++i)
        {
            const auto box = TarvikChainView::boxArea (i).toNearestInt();
            const bool dimmed = expectedDimmed.count (i + 1) != 0;
            const bool extremeSection = i >= 9 && i <= 14;
            const auto fill = dimmed ? dimmedFill : extremeSection ? extremeFill : engagedFill;
            EXPECT_EQ (image.getPixelAt (box.getX() + 110, box.getY() + 60), fill) << c.what << ", box " << i + 1;
            const auto edge = image.getPixelAt (box.getX(), box.getY() + 40);
            EXPECT_EQ (edge.getBlue() - edge.getRed() > 30, extremeSection) << c.what << ", box " << i + 1;
        }
    }
}

TEST (ChainView, EachStageSwitchDimsItsOwnBox)
{
    const std::pair<const char*, const char*> titleOf[] = {
        { "stageInputHpf", "Input high-pass" }, { "stagePhase", "Phase rotator" },
        { "stageAgc", "Automatic gain" },       { "stagePostComp", "Post compressor" },
        { "stageLfShelf", "Low shelf" },        { "stageMultiband", "Multiband" },
        { "stageStereo", "Stereo / mono bass" }, { "stageFmPreFilter", "15 kHz pre-filter" },
        { "stageFmPhase", "FM phase" },         { "stagePreEmphasis", "Pre-emphasis" },
        { "stageHfLimiter", "HF limiter" },     { "stageDeEmphasis", "De-emphasis" },
        { "stageBassClipper", "Bass clipper" }, { "stageOutputHpf", "Output high-pass" },
        { "stageFinal15k", "15 kHz final filter" }, { "stageTruePeak", "True-peak limiter" },
    };
    for (const auto& [id, title] : titleOf)
    {
        ProcessorHarness h;
        h.set ("extreme", 1.0f);
        h.set (id, 0.0f);
        TarvikChainView view (h.proc);
        const auto dimmed = dimmedBoxes (view);
        ASSERT_EQ (dimmed.size(), 1u) << id;
        EXPECT_EQ (view.boxTitle (*dimmed.begin() - 1), title) << id;
    }
}

TEST (ChainView, TitlesFollowAutoInputAndExtreme)
{
    ProcessorHarness h;
    TarvikChainView view (h.proc);
    const auto box2 = (TarvikChainView::boxArea (1)).toNearestInt();
    const auto box14 = (TarvikChainView::boxArea (13)).toNearestInt();

    EXPECT_EQ (view.boxTitle (1), "Manual input trim");
    const auto manual = paintOf (view);

    h.set ("autoInput", 1.0f);
    EXPECT_EQ (view.boxTitle (1), "Auto input trim");
    const auto automatic = paintOf (view);

    h.set ("extreme", 1.0f);
    EXPECT_EQ (view.boxTitle (13), "FM clipper");
    const auto extreme = paintOf (view);

    // The next paint shows the new title in box 2 and nowhere else; EXTREME retitles box 14.
    const auto differs = [] (const juce::Image& a, const juce::Image& b, juce::Rectangle<int> area)
    {
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                    return true;
        return false;
    };
    EXPECT_TRUE (differs (manual, automatic, box2));
    EXPECT_FALSE (differs (manual, automatic, { 0, 0, 760, box2.getY() }));
    EXPECT_FALSE (differs (manual, automatic, { 0, box2.getBottom(), 760, 500 - box2.getBottom() }));
    EXPECT_TRUE (differs (automatic, extreme, box14));
}

TEST (ChainView, TextsFitTheirBoxes)
{
    // Every title fits its box in at most two lines without squeezing, and the page's texts fit
    // their 710-unit lines.
    const auto fitsInLines = [] (const juce::Font& font, const juce::String& text, float width, int lines)
    {
        juce::StringArray words;
        words.addTokens (text, " ", "");
        juce::String line;
        int used = 1;
        for (const auto& word : words)
        {
            const auto longer = line.isEmpty() ? word : line + " " + word;
            if (font.getStringWidthFloat (longer) <= width)
                line = longer;
            else if (font.getStringWidthFloat (word) <= width && ++used <= lines)
                line = word;
            else
                return false;
        }
        return true;
    };

    ProcessorHarness h;
    for (float autoInput : { 0.0f, 1.0f })
        for (float extreme : { 0.0f, 1.0f })
            for (float bypass : { 0.0f, 1.0f })
            {
                h.set ("autoInput", autoInput);
                h.set ("extreme", extreme);
                h.set ("bypass", bypass);
                TarvikChainView view (h.proc);
                for (int i = 0; i < TarvikChainView::numBoxes; ++i)
                    EXPECT_TRUE (fitsInLines (juce::Font (12.0f, juce::Font::bold), view.boxTitle (i), 114.0f, 2)) << view.boxTitle (i);
                EXPECT_TRUE (fitsInLines (juce::Font (12.0f), view.footerText(), 710.0f, 1)) << view.footerText();
            }

    EXPECT_TRUE (fitsInLines (juce::Font (22.0f, juce::Font::bold), "The processing chain", 710.0f, 1));
    EXPECT_TRUE (fitsInLines (juce::Font (12.0f), "Follow the numbered stages. Blue marks the EXTREME FM section.", 710.0f, 1));
    for (const char* legendLine : { "Round amber lamp = stage ON. Bars = processing amount or signal level.",
                                    "Hover over any stage for an explanation. Close this panel or press Escape to return." })
        EXPECT_TRUE (fitsInLines (juce::Font (11.0f), legendLine, 710.0f, 1)) << legendLine;
}

//==================================================================================================
TEST (ChainView, HoverAreasFollowTheScaledBoxes)
{
    ProcessorHarness h;
    h.set ("extreme", 1.0f);
    TarvikChainView view (h.proc);
    view.setVisible (true);

    const struct
    {
        int width, height;
        float scale;
    } sizes[] = { { 760, 500, 1.0f }, { 718, 582, 718.0f / 760.0f }, { 380, 250, 0.5f }, { 1000, 500, 1.0f }, { 1140, 600, 1.2f },
                  { 900, 400, 0.8f } };
    for (const auto& size : sizes)
    {
        view.setSize (size.width, size.height);
        EXPECT_FLOAT_EQ (view.getScale(), size.scale) << size.width << " x " << size.height;
        const auto image = paintOf (view);

        for (int i = 0; i < TarvikChainView::numBoxes; ++i)
        {
            const auto scaled = TarvikChainView::boxArea (i) * size.scale;
            const auto centre = scaled.getCentre().roundToInt();

            // The area under the box's centre is its own, and its tooltip is its stage's explanation.
            auto* hovered = view.getComponentAt (centre);
            auto* tip = dynamic_cast<juce::TooltipClient*> (hovered);
            ASSERT_NE (tip, nullptr) << "box " << i + 1 << " at " << size.width << " x " << size.height;
            EXPECT_EQ (tip->getTooltip(), TarvikChainView::stageExplanations[(size_t) i]);
            const auto bounds = hovered->getBounds();
            EXPECT_LE (std::abs ((float) bounds.getX() - scaled.getX()), 0.5f);
            EXPECT_LE (std::abs ((float) bounds.getY() - scaled.getY()), 0.5f);
            EXPECT_LE (std::abs ((float) bounds.getWidth() - scaled.getWidth()), 0.5f);
            EXPECT_LE (std::abs ((float) bounds.getHeight() - scaled.getHeight()), 0.5f);

            // ...and it sits on the painted box: inside its edges the box, just outside them the page.
            for (const auto& [inside, outside] : { std::pair { juce::Point<int> (bounds.getX() + 2, bounds.getY() + bounds.getHeight() / 4),
                                                               juce::Point<int> (bounds.getX() - 3, bounds.getY() + bounds.getHeight() / 4) },
                                                   std::pair { juce::Point<int> (bounds.getRight() - 3, bounds.getY() + bounds.getHeight() / 4),
                                                               juce::Point<int> (bounds.getRight() + 2, bounds.getY() + bounds.getHeight() / 4) },
                                                   std::pair { juce::Point<int> (bounds.getX() + bounds.getWidth() / 4, bounds.getY() + 2),
                                                               juce::Point<int> (bounds.getX() + bounds.getWidth() / 4, bounds.getY() - 3) },
                                                   std::pair { juce::Point<int> (bounds.getX() + bounds.getWidth() / 4, bounds.getBottom() - 3),
                                                               juce::Point<int> (bounds.getX() + bounds.getWidth() / 4, bounds.getBottom() + 2) } })
            {
                EXPECT_NE (image.getPixelAt (inside.x, inside.y), background) << "box " << i + 1 << " " << inside.toString();
                EXPECT_EQ (image.getPixelAt (outside.x, outside.y), background) << "box " << i + 1 << " " << outside.toString();
            }
        }

        // Between the boxes and around them there is no tooltip.
        const auto s = size.scale;
        for (const auto& gap : { juce::Point<float> (162.5f, 100.0f), juce::Point<float> (50.0f, 163.0f), juce::Point<float> (380.0f, 30.0f),
                                 juce::Point<float> (380.0f, 440.0f) })
        {
            auto* hovered = view.getComponentAt ((gap * s).roundToInt());
            EXPECT_EQ (dynamic_cast<juce::TooltipClient*> (hovered), nullptr) << gap.toString();
        }
    }
}

TEST (ChainView, RepaintsOnItsTimerOnlyWhileShowing)
{
    /** Counts the repaints the view asks for. */
    struct RepaintCounter : juce::CachedComponentImage
    {
        int& count;
        explicit RepaintCounter (int& c) : count (c) {}
        void paint (juce::Graphics&) override {}
        bool invalidateAll() override
        {
            ++count;
            return true;
        }
        bool invalidate (const juce::Rectangle<int>&) override { return invalidateAll(); }
        void releaseResources() override {}
    };

    ProcessorHarness h;
    auto editor = openEditor (h.proc);
    clickSeeChain (*editor);
    auto* view = viewOf (*chainWindowOf (*editor));
    EXPECT_TRUE (view->isTimerRunning());
    EXPECT_EQ (view->getTimerInterval(), 66);

    int repaints = 0;
    view->setCachedComponentImage (new RepaintCounter (repaints));
    repaints = 0;

    // Without a screen the editor is never showing, whether the panel is open or closed: no
    // repaints. (An explicit repaint still gets through, so the counter is listening.)
    view->timerCallback();
    EXPECT_EQ (repaints, 0);
    chainWindowOf (*editor)->setVisible (false);
    view->timerCallback();
    EXPECT_EQ (repaints, 0);
    view->repaint();
    EXPECT_EQ (repaints, 1);
    view->setCachedComponentImage (nullptr);
}

//==================================================================================================
TEST (ChainWindow, FirstClickCreatesItAndShowsItOverTheWholeEditor)
{
    ProcessorHarness h;
    auto editor = openEditor (h.proc);
    EXPECT_EQ (chainWindowOf (*editor), nullptr);

    clickSeeChain (*editor);
    auto* window = chainWindowOf (*editor);
    ASSERT_NE (window, nullptr);
    EXPECT_TRUE (window->isVisible());
    EXPECT_EQ (window->getBounds(), juce::Rectangle<int> (0, 0, 720, 614));
    EXPECT_EQ (editor->getChildren().getLast(), window);
    EXPECT_FALSE (window->isOnDesktop());
    EXPECT_FALSE (window->isUsingNativeTitleBar());
    EXPECT_EQ (window->getTitleBarHeight(), 30);
    EXPECT_FALSE (window->isResizable());
    EXPECT_TRUE (window->getWantsKeyboardFocus());
    EXPECT_EQ (window->getBackgroundColour(), background);
    EXPECT_NE (window->getCloseButton(), nullptr);
    EXPECT_EQ (window->getMinimiseButton(), nullptr);
    EXPECT_EQ (window->getMaximiseButton(), nullptr);

    // The view fills the area under the title bar and scales to its width.
    auto* view = viewOf (*window);
    ASSERT_NE (view, nullptr);
    const auto content = view->getBounds();
    EXPECT_EQ (content, window->getContentComponentBorder().subtractedFrom (window->getLocalBounds()));
    EXPECT_GE (content.getY(), 30);
    EXPECT_FLOAT_EQ (view->getScale(), (float) content.getWidth() / 760.0f); // narrower than 760, taller than 500 in proportion
    EXPECT_GT (content.getHeight(), 500 * content.getWidth() / 760);

    // Everything on the faceplate is covered: a click anywhere lands in the panel.
    for (const char* name : { "Next preset", "Extreme", "Bypass", "See chain", "AGC" })
    {
        const auto centre = child (*editor, name)->getBounds().getCentre();
        EXPECT_TRUE (window->isParentOf (editor->getComponentAt (centre)) || editor->getComponentAt (centre) == window) << name;
    }

    // And it is what the editor draws: the panel's page below the legend, where the rack would be.
    const auto image = paintOf (*editor);
    EXPECT_EQ (image.getPixelAt (360, 600), background);
    const auto inBox1 = TarvikChainView::boxArea (0).getPosition() + juce::Point<float> (110.0f, 60.0f);
    const auto pixel = (inBox1 * view->getScale()).toInt() + content.getPosition();
    EXPECT_EQ (image.getPixelAt (pixel.x, pixel.y), engagedFill);
}

TEST (ChainWindow, OnlyAPlainEscapeHidesIt)
{
    const struct
    {
        const char* what;
        juce::KeyPress key;
        bool hides;
    } keys[] = {
        { "Escape", juce::KeyPress (juce::KeyPress::escapeKey), true },
        { "Shift+Escape", juce::KeyPress (juce::KeyPress::escapeKey, juce::ModifierKeys::shiftModifier, 0), false },
        { "Ctrl+Escape", juce::KeyPress (juce::KeyPress::escapeKey, juce::ModifierKeys::ctrlModifier, 0), false },
        { "Alt+Escape", juce::KeyPress (juce::KeyPress::escapeKey, juce::ModifierKeys::altModifier, 0), false },
        { "Command+Escape", juce::KeyPress (juce::KeyPress::escapeKey, juce::ModifierKeys::commandModifier, 0), false },
        { "Return", juce::KeyPress (juce::KeyPress::returnKey), false },
        { "x", juce::KeyPress ('x'), false },
    };
    ProcessorHarness h;
    auto editor = openEditor (h.proc);
    for (const auto& k : keys)
    {
        clickSeeChain (*editor);
        auto* window = chainWindowOf (*editor);
        ASSERT_TRUE (window->isVisible());
        EXPECT_EQ (window->keyPressed (k.key), k.hides) << k.what; // keys it does not use go on to the editor
        EXPECT_EQ (window->isVisible(), ! k.hides) << k.what;
        EXPECT_EQ (chainWindowOf (*editor), window) << k.what; // hidden, never destroyed
    }
}

TEST (ChainWindow, ReopensTheSamePanel)
{
    ProcessorHarness h;
    auto editor = openEditor (h.proc);
    clickSeeChain (*editor);
    auto* window = chainWindowOf (*editor);
    auto* view = viewOf (*window);
    window->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
    ASSERT_FALSE (window->isVisible());

    // Moved while hidden (as a host resize would); the next click puts it back over the editor.
    window->setBounds (10, 10, 100, 100);
    clickSeeChain (*editor);
    EXPECT_EQ (chainWindowOf (*editor), window);
    EXPECT_EQ (viewOf (*window), view);
    EXPECT_TRUE (window->isVisible());
    EXPECT_EQ (window->getBounds(), editor->getLocalBounds());

    // Clicking while it is open changes nothing.
    clickSeeChain (*editor);
    EXPECT_EQ (viewOf (*window), view);
    EXPECT_TRUE (window->isVisible());

    // Only one panel among the editor's children.
    int panels = 0;
    for (auto* c : editor->getChildren())
        panels += dynamic_cast<TarvikChainWindow*> (c) != nullptr ? 1 : 0;
    EXPECT_EQ (panels, 1);
}

TEST (ChainWindow, CloseButtonHidesItAndTheFaceplateWorksAgain)
{
    ProcessorHarness h;
    auto editor = openEditor (h.proc);
    clickSeeChain (*editor);
    auto* window = chainWindowOf (*editor);
    auto* close = window->getCloseButton();
    ASSERT_NE (close, nullptr);
    EXPECT_TRUE (window->isParentOf (close));
    EXPECT_LE (close->getBottom(), 31); // in the title bar, below the 1-pixel border
    EXPECT_TRUE (close->isVisible());

    // Inside the editor the panel is not the framework's active window (here it is not even on
    // screen), yet its close button works.
    EXPECT_TRUE (close->isEnabled());
    close->triggerClick();
    deliverPendingMessages();
    EXPECT_FALSE (window->isVisible());
    EXPECT_EQ (chainWindowOf (*editor), window);

    // The controls are reachable at once.
    for (const char* name : { "Next preset", "Extreme", "Bypass", "See chain", "AGC" })
    {
        auto* control = child (*editor, name);
        EXPECT_EQ (editor->getComponentAt (control->getBounds().getCentre()), control) << name;
    }
    const auto before = h.get ("preset");
    child<juce::Button> (*editor, "Next preset")->onClick();
    EXPECT_EQ (h.get ("preset"), before + 1.0f);
}

TEST (ChainWindow, StaysPutWhenItsTitleBarIsDragged)
{
    ProcessorHarness h;
    auto editor = openEditor (h.proc);
    clickSeeChain (*editor);
    auto* window = chainWindowOf (*editor);

    const auto event = [&] (juce::Point<float> position, juce::Point<float> downAt, bool dragged)
    {
        const auto now = juce::Time::getCurrentTime();
        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position,
                                 juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, window, window,
                                 now, downAt, now, 1, dragged);
    };
    const juce::Point<float> grab (200.0f, 15.0f), dropped (260.0f, 215.0f);
    juce::MouseListener& mouse = *window; // as the framework delivers the events
    mouse.mouseDown (event (grab, grab, false));
    mouse.mouseDrag (event (dropped, grab, true));
    mouse.mouseUp (event (dropped, grab, true));
    EXPECT_EQ (window->getBounds(), editor->getLocalBounds());
}

TEST (ChainWindow, EachEditorMakesItsOwnPanel)
{
    ProcessorHarness h;
    auto editor = openEditor (h.proc);
    clickSeeChain (*editor);
    ASSERT_NE (chainWindowOf (*editor), nullptr);
    editor.reset();

    editor = openEditor (h.proc);
    EXPECT_EQ (chainWindowOf (*editor), nullptr);
    clickSeeChain (*editor);
    auto* window = chainWindowOf (*editor);
    ASSERT_NE (window, nullptr);
    EXPECT_TRUE (window->isVisible());
    EXPECT_NE (viewOf (*window), nullptr);
}
} // namespace
