#include "EditorResources.h"
#include "PluginEditor.h"
#include "ProcessorHarness.h"

#include <BinaryData.h>
#include <gtest/gtest.h>

namespace
{
using Editor = KorvaneTarvikAudioProcessorEditor;

std::unique_ptr<Editor> openEditor (KorvaneTarvikAudioProcessor& p)
{
    return std::unique_ptr<Editor> (dynamic_cast<Editor*> (p.createEditor()));
}

template <typename T = juce::Component>
T* child (Editor& editor, const juce::String& name)
{
    for (auto* c : editor.getChildren())
        if (c->getName() == name)
            return dynamic_cast<T*> (c);
    return nullptr;
}

bool takesClicks (const juce::Component& c)
{
    bool self = false, children = false;
    c.getInterceptsMouseClicks (self, children);
    return self;
}

juce::Image paintOf (Editor& editor) { return editor.createComponentSnapshot (editor.getLocalBounds()); }

/** Records the gestures and values around a parameter change. */
struct GestureLog : juce::AudioProcessorParameter::Listener
{
    std::vector<std::string> events;
    void parameterValueChanged (int, float) override { events.push_back ("value"); }
    void parameterGestureChanged (int, bool starting) override { events.push_back (starting ? "begin" : "end"); }
};

//==================================================================================================
TEST (Resources, EveryImageIsInTheTableAtItsSize)
{
    struct Expected
    {
        const char* file;
        int width, height;
    };
    const Expected expected[] = {
        { "faceplate.png", 720, 614 }, { "knob_body.png", 108, 108 }, { "left_rest.png", 36, 48 }, { "left_pressed.png", 36, 48 },
        { "right_rest.png", 36, 48 }, { "right_pressed.png", 36, 48 }, { "key_off.png", 120, 150 }, { "key_on.png", 120, 150 },
        { "key_cleanup.png", 76, 44 }, { "rack_switch_off.png", 22, 16 }, { "rack_switch_on.png", 22, 16 },
        { "rack_bars_blank.png", 22, 12 }, { "rack_empty_gen.png", 684, 92 }, { "rack_on_gen.png", 684, 92 },
        { "rack_module_off_gen.png", 24, 44 }, { "rack_module_on_gen.png", 24, 44 }, { "rack3_master_empty.png", 684, 78 },
        { "rack3_sprite_sheet.png", 684, 156 }, { "middle_screen_bezel_gen.png", 468, 138 }, { "middle_left_housing_gen.png", 94, 138 },
        { "middle_right_housing_gen.png", 94, 138 }, { "lamp_off.png", 22, 22 }, { "lamp_on.png", 22, 22 }, { "ovl_off.png", 18, 18 },
        { "ovl_on.png", 18, 18 }, { "ceiling_off.png", 18, 18 }, { "ceiling_on.png", 18, 18 }, { "bypass_off.png", 48, 92 },
        { "bypass_on.png", 48, 92 }, { "bypass_rocker_strip.png", 384, 368 }, { "name_base.png", 176, 48 },
        { "explanation_base.png", 268, 95 }, { "graph_base.png", 468, 140 },
    };
    ASSERT_EQ (BinaryData::namedResourceListSize, (int) std::size (expected));
    for (int i = 0; i < BinaryData::namedResourceListSize; ++i)
    {
        const auto& e = expected[i];
        EXPECT_STREQ (BinaryData::originalFilenames[i], e.file);
        const juce::String symbol = juce::String (e.file).replaceCharacter ('.', '_');
        EXPECT_EQ (symbol, BinaryData::namedResourceList[i]);
        int size = 0;
        const auto* data = BinaryData::getNamedResource (symbol.toRawUTF8(), size);
        ASSERT_NE (data, nullptr) << e.file;
        const auto image = juce::ImageFileFormat::loadFrom (data, (size_t) size);
        ASSERT_TRUE (image.isValid()) << e.file;
        EXPECT_EQ (image.getWidth(), e.width) << e.file;
        EXPECT_EQ (image.getHeight(), e.height) << e.file;
    }
    int size = 7;
    EXPECT_EQ (BinaryData::getNamedResource ("no_such_png", size), nullptr);
    EXPECT_EQ (size, 0);

    // The two opaque ones really are.
    for (const char* name : { "faceplate_png", "bypass_rocker_strip_png" })
    {
        const auto image = editorresources::loadImage (name);
        EXPECT_EQ (image.getPixelAt (image.getWidth() / 2, image.getHeight() / 2).getAlpha(), 255) << name;
    }
}

//==================================================================================================
TEST (Editor, OpensAtItsFixedSizeAndPaintsWithAndWithoutArt)
{
    for (bool emptyTable : { false, true })
    {
        const auto saved = editorresources::lookup();
        if (emptyTable)
            editorresources::lookup() = [] (const char*, int& size) -> const char* { size = 0; return nullptr; };

        ProcessorHarness h;
        h.set ("extreme", 1.0f);
        h.prepare (48000.0);
        auto editor = openEditor (h.proc);
        ASSERT_NE (editor, nullptr);
        EXPECT_EQ (editor->getWidth(), 720);
        EXPECT_EQ (editor->getHeight(), 614);
        EXPECT_FALSE (editor->isResizable());
        editor->timerCallback();
        const auto image = paintOf (*editor);
        EXPECT_EQ (image.getWidth(), 720);

        // Painted parts show whatever the art: the meters' dark segments, the module lamps.
        EXPECT_EQ (image.getPixelAt (62, 445), juce::Colour (0xff362312)) << "empty table " << emptyTable;

        // Every control is still there and clickable.
        for (const char* name : { "Previous preset", "Next preset", "Previous display", "Next display", "Extreme", "Bypass", "Auto Input",
                                  "See chain", "AGC", "FM CLIPPER" })
        {
            auto* c = child (*editor, name);
            ASSERT_NE (c, nullptr) << name;
            EXPECT_TRUE (c->isVisible()) << name;
            EXPECT_TRUE (takesClicks (*c)) << name;
        }

        editor.reset();
        editorresources::lookup() = saved;
    }
}

TEST (Editor, ChildrenSitWhereTheFaceplateExpectsThem)
{
    KorvaneTarvikAudioProcessor proc;
    auto editor = openEditor (proc);
    const std::pair<const char*, juce::Rectangle<int>> bounds[] = {
        { "Previous preset", { 213, 91, 36, 48 } },  { "Next preset", { 429, 91, 36, 48 } }, { "Previous display", { 88, 375, 46, 56 } },
        { "Next display", { 586, 375, 46, 56 } },    { "Extreme", { 496, 99, 120, 150 } },   { "Bypass", { 632, 111, 48, 92 } },
        { "Auto Input", { 64, 241, 62, 16 } },       { "See chain", { 631, 594, 72, 19 } },  { "AUTO TRIM", { 34, 545, 20, 16 } },
        { "TRUE PEAK LIMIT", { 629, 545, 20, 16 } },
    };
    for (const auto& [name, rect] : bounds)
    {
        auto* c = child (*editor, name);
        ASSERT_NE (c, nullptr) << name;
        EXPECT_EQ (c->getBounds(), rect) << name;
    }
}

//==================================================================================================
TEST (Editor, ControlsAreBoundToTheirParameters)
{
    ProcessorHarness h;
    auto editor = openEditor (h.proc);

    auto* knob = [&]() -> juce::Slider* {
        for (auto* c : editor->getChildren())
            if (auto* s = dynamic_cast<juce::Slider*> (c))
                return s;
        return nullptr;
    }();
    ASSERT_NE (knob, nullptr);
    EXPECT_EQ (knob->getBounds(), juce::Rectangle<int> (48, 105, 108, 108));
    knob->setValue (-6.5, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (h.get ("input"), -6.5f);
    h.set ("input", 4.2f);
    EXPECT_NEAR (knob->getValue(), 4.2, 1.0e-6);
    EXPECT_DOUBLE_EQ (knob->getDoubleClickReturnValue(), 0.0);

    for (auto [name, id] : { std::pair { "Extreme", "extreme" }, std::pair { "Bypass", "bypass" }, std::pair { "Auto Input", "autoInput" } })
    {
        auto* button = child<juce::Button> (*editor, name);
        ASSERT_NE (button, nullptr);
        EXPECT_TRUE (button->getClickingTogglesState()) << name;
        button->setToggleState (true, juce::sendNotificationSync);
        EXPECT_EQ (h.get (id), 1.0f) << name;
        h.set (id, 0.0f);
        EXPECT_FALSE (button->getToggleState()) << name;
    }
}

TEST (Editor, RackModulesToggleTheirParameters)
{
    ProcessorHarness h;
    h.set ("extreme", 1.0f);
    auto editor = openEditor (h.proc);
    const char* ids[] = { "autoInput", "stageInputHpf", "stagePhase", "stageAgc", "stagePostComp", "stageLfShelf", "stageMultiband",
                          "stageStereo", "stageFmPreFilter", "stageFmPhase", "stagePreEmphasis", "stageHfLimiter", "stageFmClipper",
                          "stageDeEmphasis", "stageBassClipper", "stageOutputHpf", "stageFinal15k", "stageTruePeak" };
    const char* names[] = { "AUTO TRIM", "INPUT HPF", "PHASE ROTATOR", "AGC", "POST COMP", "LF SHELF", "MULTIBAND", "STEREO / MONO LF",
                            "15K PRE-FLTR", "FM PHASE", "PRE-EMPHASIS", "HF LIMITER", "FM CLIPPER", "DE-EMPHASIS", "BASS CLIPPER",
                            "OUTPUT HPF", "15K FINAL", "TRUE PEAK LIMIT" };
    for (int i = 0; i < 18; ++i)
    {
        auto* area = child<juce::Button> (*editor, names[i]);
        ASSERT_NE (area, nullptr) << names[i];
        const float before = h.get (ids[i]);
        area->onClick();
        EXPECT_EQ (h.get (ids[i]), before > 0.5f ? 0.0f : 1.0f) << names[i];
        area->onClick();
        EXPECT_EQ (h.get (ids[i]), before) << names[i];
    }
}

TEST (Editor, ExtremeModulesAreHiddenAndInertWithoutExtreme)
{
    ProcessorHarness h;
    auto editor = openEditor (h.proc);
    editor->timerCallback();
    for (const char* name : { "15K PRE-FLTR", "FM PHASE", "PRE-EMPHASIS", "HF LIMITER", "FM CLIPPER", "DE-EMPHASIS" })
    {
        auto* area = child<juce::Button> (*editor, name);
        EXPECT_FALSE (area->isVisible()) << name;
        area->onClick();
    }
    EXPECT_EQ (h.get ("stageFmClipper"), 1.0f);
    EXPECT_TRUE (child (*editor, "BASS CLIPPER")->isVisible());

    h.set ("extreme", 1.0f);
    editor->timerCallback();
    EXPECT_TRUE (child (*editor, "FM CLIPPER")->isVisible());
    child<juce::Button> (*editor, "FM CLIPPER")->onClick();
    EXPECT_EQ (h.get ("stageFmClipper"), 0.0f);
}

TEST (Editor, SwitchingAutoInputOffHandsTheTrimToTheKnob)
{
    for (bool fromRack : { false, true })
    {
        ProcessorHarness h;
        h.set ("autoInput", 1.0f);
        h.set ("input", 3.0f);
        auto editor = openEditor (h.proc);
        h.proc.chain.published.inputTrimDb.set (-7.3f); // where auto input has taken the trim

        GestureLog log;
        h.proc.parameters.getParameter ("input")->addListener (&log);
        if (fromRack)
            child<juce::Button> (*editor, "AUTO TRIM")->onClick();
        else
            child<juce::Button> (*editor, "Auto Input")->setToggleState (false, juce::sendNotificationSync);
        h.proc.parameters.getParameter ("input")->removeListener (&log);

        EXPECT_EQ (h.get ("autoInput"), 0.0f) << fromRack;
        EXPECT_NEAR (h.get ("input"), -7.3f, 1.0e-4f) << fromRack;
        EXPECT_EQ (log.events, (std::vector<std::string> { "begin", "value", "end" })) << fromRack;
    }
}

TEST (Editor, KnobFollowsTheAutomaticTrimAndIgnoresTheMouseMeanwhile)
{
    ProcessorHarness h;
    h.set ("autoInput", 1.0f);
    auto editor = openEditor (h.proc);
    juce::Slider* knob = nullptr;
    for (auto* c : editor->getChildren())
        if (auto* s = dynamic_cast<juce::Slider*> (c))
            knob = s;
    EXPECT_FALSE (takesClicks (*knob)); // from the first frame

    h.proc.chain.published.inputTrimDb.set (5.5f);
    editor->timerCallback();
    EXPECT_NEAR (knob->getValue(), 5.5, 1.0e-6);
    EXPECT_EQ (h.get ("input"), 0.0f); // shown, not written

    h.set ("autoInput", 0.0f);
    editor->timerCallback();
    EXPECT_TRUE (takesClicks (*knob));
}

TEST (Editor, PresetKeysWrapInsideAGesture)
{
    const std::tuple<float, int, int> cases[] = { { 8.0f, +1, 0 }, { 0.0f, -1, 8 }, { 8.6f, +1, 0 }, { 3.0f, +1, 4 }, { 3.0f, -1, 2 } };
    for (auto [start, delta, expected] : cases)
    {
        ProcessorHarness h;
        auto editor = openEditor (h.proc);
        h.setRaw ("preset", start);
        GestureLog log;
        h.proc.parameters.getParameter ("preset")->addListener (&log);
        editor->changePreset (delta);
        h.proc.parameters.getParameter ("preset")->removeListener (&log);
        EXPECT_EQ (h.get ("preset"), (float) expected) << start << " " << delta;
        EXPECT_EQ (log.events, (std::vector<std::string> { "begin", "value", "end" }));
    }

    ProcessorHarness h;
    auto editor = openEditor (h.proc);
    child<juce::Button> (*editor, "Next preset")->onClick();
    EXPECT_EQ (h.get ("preset"), 2.0f);
    child<juce::Button> (*editor, "Previous preset")->onClick();
    child<juce::Button> (*editor, "Previous preset")->onClick();
    EXPECT_EQ (h.get ("preset"), 0.0f);
}

//==================================================================================================
TEST (EditorTimer, ModuleActivityFollowsTheMetersScaledByGainReduction)
{
    ProcessorHarness h;
    auto editor = openEditor (h.proc);
    auto& pub = h.proc.chain.published;
    for (auto& m : pub.stageMeters)
        m.set (0.0f);
    pub.stageMeters[1].set (std::pow (10.0f, -36.0f / 20.0f)); // m = 0.5
    pub.stageMeters[2].set (std::pow (10.0f, -6.0f / 20.0f));  // above -12 dB: 1
    pub.stageMeters[3].set (1.0f);                              // AGC: scaled by |gain| / 4
    pub.agcGainDb.set (-2.0f);
    pub.stageMeters[6].set (1.0f); // multiband: by the deepest band
    pub.bandGainReductionDb[3].set (6.0f);
    pub.stageMeters[17].set (1.0f); // true peak, no reduction
    pub.truePeakReductionDb.set (0.0f);
    editor->timerCallback();

    const auto* levels = editor->getStageLampLevels();
    EXPECT_NEAR (levels[0], 0.0f, 1.0e-6f);
    EXPECT_NEAR (levels[1], 0.5f, 1.0e-4f);
    EXPECT_NEAR (levels[2], 1.0f, 1.0e-6f);
    EXPECT_NEAR (levels[3], 0.5f, 1.0e-6f);
    EXPECT_NEAR (levels[6], 1.0f, 1.0e-6f);
    EXPECT_NEAR (levels[17], 0.0f, 1.0e-6f);

    // Instant rise, 0.8 per tick decay.
    pub.stageMeters[2].set (0.0f);
    editor->timerCallback();
    EXPECT_NEAR (levels[2], 0.8f, 1.0e-6f);
    editor->timerCallback();
    EXPECT_NEAR (levels[2], 0.64f, 1.0e-6f);
}

TEST (EditorTimer, SnapshotHoldsAndHistoriesFreezeWhileBypassed)
{
    ProcessorHarness h;
    auto editor = openEditor (h.proc);
    auto& pub = h.proc.chain.published;
    pub.agcGainDb.set (4.0f);
    pub.bandGainReductionDb[2].set (3.0f);
    pub.inputPeakHold.set (0.5f);
    for (int t = 0; t < 8; ++t)
        editor->timerCallback();
    EXPECT_FLOAT_EQ (editor->getSnapshot().agcGainDb, 4.0f);
    EXPECT_EQ (editor->getHistoryWriteIndex(), 2); // one value every fourth tick
    EXPECT_FLOAT_EQ (editor->getInputHistory()[0], 0.5f);

    pub.bandGainReductionDb[2].set (0.0f);
    editor->timerCallback();
    EXPECT_NEAR (editor->getBandGainReductionPeakDb (2), 3.0f - 0.06f, 1.0e-5f);

    h.set ("bypass", 1.0f);
    pub.agcGainDb.set (-9.0f);
    for (int t = 0; t < 20; ++t)
        editor->timerCallback();
    EXPECT_FLOAT_EQ (editor->getSnapshot().agcGainDb, 4.0f);
    EXPECT_EQ (editor->getHistoryWriteIndex(), 2);
    EXPECT_NEAR (editor->getBandGainReductionPeakDb (2), 3.0f - 0.06f, 1.0e-5f);

    h.set ("bypass", 0.0f);
    editor->timerCallback();
    EXPECT_FLOAT_EQ (editor->getSnapshot().agcGainDb, -9.0f);
}

TEST (EditorTimer, MeterSegmentsAndLamps)
{
    EXPECT_EQ (Editor::litMeterSegments (-60.0f), 0);
    EXPECT_EQ (Editor::litMeterSegments (-57.01f), 0);
    EXPECT_EQ (Editor::litMeterSegments (-56.99f), 1);
    EXPECT_EQ (Editor::litMeterSegments (-30.0f), 10);
    EXPECT_EQ (Editor::litMeterSegments (0.0f), 20);
    EXPECT_EQ (Editor::litMeterSegments (6.0f), 20);

    ProcessorHarness h;
    auto editor = openEditor (h.proc);
    auto& pub = h.proc.chain.published;
    pub.inputPeakHold.set (1.0f);   // 0 dB: all twenty, the top two red; OVL on
    pub.outputPeakHold.set (0.0f);  // nothing lit
    pub.truePeakActive.set (1.0f);  // CEILING lamp on
    const auto full = paintOf (*editor);
    EXPECT_EQ (full.getPixelAt (62, 369), juce::Colour (0xffff3322)); // segment 19
    EXPECT_EQ (full.getPixelAt (62, 373), juce::Colour (0xffff3322)); // segment 18
    EXPECT_EQ (full.getPixelAt (62, 377), juce::Colour (0xffff9f16)); // segment 17
    EXPECT_EQ (full.getPixelAt (657, 445), juce::Colour (0xff362312));

    pub.inputPeakHold.set (0.998f);
    pub.truePeakActive.set (0.0f);
    const auto under = paintOf (*editor);
    EXPECT_NE (full.getPixelAt (60, 461), under.getPixelAt (60, 461)); // OVL lit at 0.999, not below
    EXPECT_NE (full.getPixelAt (657, 461), under.getPixelAt (657, 461));
    pub.inputPeakHold.set (0.999f);
    EXPECT_EQ (paintOf (*editor).getPixelAt (60, 461), full.getPixelAt (60, 461));
}

TEST (EditorWidgets, KnobPointerSweepsFromLowerLeftToLowerRight)
{
    const float degrees = 180.0f / juce::MathConstants<float>::pi;
    EXPECT_NEAR (Editor::KnobLookAndFeel::pointerAngle (0.0f) * degrees, -135.0f, 1.0e-4f);
    EXPECT_NEAR (Editor::KnobLookAndFeel::pointerAngle (0.5f) * degrees, 0.0f, 1.0e-4f);
    EXPECT_NEAR (Editor::KnobLookAndFeel::pointerAngle (1.0f) * degrees, 135.0f, 1.0e-4f);
    EXPECT_NEAR (Editor::KnobLookAndFeel::pointerAngle (1.7f) * degrees, 135.0f, 1.0e-4f);
    EXPECT_NEAR (Editor::KnobLookAndFeel::pointerAngle (-0.3f) * degrees, -135.0f, 1.0e-4f);
}

TEST (EditorWidgets, DisplayKeysDrawNothingWhateverTheirCase)
{
    const auto image = editorresources::loadImage ("left_rest_png");
    for (const char* name : { "Previous display", "NEXT DISPLAY", "Display" })
    {
        Editor::ImageButton key (name, image, image);
        key.setSize (46, 56);
        const auto shot = key.createComponentSnapshot (key.getLocalBounds());
        for (int y = 0; y < shot.getHeight(); y += 5)
            for (int x = 0; x < shot.getWidth(); x += 5)
                ASSERT_EQ (shot.getPixelAt (x, y).getAlpha(), 0) << name;
    }
    Editor::ImageButton preset ("Next preset", image, image);
    preset.setSize (36, 48);
    const auto shot = preset.createComponentSnapshot (preset.getLocalBounds());
    EXPECT_GT (shot.getPixelAt (18, 24).getAlpha(), 0);
}

TEST (EditorWidgets, AutoSwitchLedAndRockerFaces)
{
    Editor::AutoInputToggle autoSwitch ("Auto Input");
    autoSwitch.setSize (62, 16);
    const auto off = autoSwitch.createComponentSnapshot (autoSwitch.getLocalBounds());
    autoSwitch.setToggleState (true, juce::dontSendNotification);
    const auto on = autoSwitch.createComponentSnapshot (autoSwitch.getLocalBounds());
    EXPECT_EQ (on.getPixelAt (7, 8), juce::Colour (0xffff9f16)); // the LED, centred at (7, 8)
    EXPECT_NE (off.getPixelAt (7, 8), on.getPixelAt (7, 8));

    Editor::RockerToggle rocker ("Bypass", editorresources::loadImage ("bypass_rocker_strip_png"));
    rocker.setSize (48, 92);
    const auto up = rocker.createComponentSnapshot (rocker.getLocalBounds());
    rocker.setToggleState (true, juce::dontSendNotification);
    const auto down = rocker.createComponentSnapshot (rocker.getLocalBounds());
    EXPECT_NE (up.getPixelAt (24, 50), down.getPixelAt (24, 50));

    Editor::RockerToggle blank ("Bypass", {});
    blank.setSize (48, 92);
    const auto nothing = blank.createComponentSnapshot (blank.getLocalBounds());
    EXPECT_EQ (nothing.getPixelAt (24, 46).getAlpha(), 0);
}
} // namespace

namespace
{
TEST (Editor, ScreensKeepTheirBrightnessWhateverWasPaintedBefore)
{
    // The grey ring painted while auto input is on must not dim the images drawn after it.
    const auto brightestRed = [] (bool autoInput) {
        ProcessorHarness h;
        h.set ("autoInput", autoInput ? 1.0f : 0.0f);
        auto editor = openEditor (h.proc);
        const auto image = paintOf (*editor);
        int best = 0;
        for (int y = 100; y < 130; ++y)
            for (int x = 270; x < 410; ++x)
                best = juce::jmax (best, (int) image.getPixelAt (x, y).getRed());
        return best;
    };
    EXPECT_EQ (brightestRed (true), brightestRed (false));
    EXPECT_GT (brightestRed (false), 200);
}
} // namespace
