#pragma once

#include "DotRasterizer.h"
#include "GraphDisplay.h"
#include "TarvikChainWindow.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

class KorvaneTarvikAudioProcessor;

/** The faceplate: a fixed 720 x 614 broadcast rack drawn from embedded art, with the input knob,
    preset and display keys, the EXTREME key switch, the BYPASS rocker, the AUTO switch, meters,
    module lamps, two dot-matrix text screens and the graph display. */
class KorvaneTarvikAudioProcessorEditor : public juce::AudioProcessorEditor,
                                          private juce::Timer
{
public:
    explicit KorvaneTarvikAudioProcessorEditor (KorvaneTarvikAudioProcessor&);
    ~KorvaneTarvikAudioProcessorEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    //==============================================================================================
    /** Draws the input knob: the cap image, which never turns, and a glowing amber pointer. */
    class KnobLookAndFeel : public juce::LookAndFeel_V4
    {
    public:
        explicit KnobLookAndFeel (juce::Image knobImage) : knob (std::move (knobImage)) {}
        ~KnobLookAndFeel() override = default;

        void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height, float position, float startAngle,
                               float endAngle, juce::Slider&) override;

        /** Pointer angle in radians, 0 straight up, clockwise positive: -135 ... +135 degrees. */
        static float pointerAngle (float position) noexcept;

    private:
        juce::Image knob;
    };

    /** A key drawn from a rest and a pressed image; keys named "display" are invisible click areas. */
    class ImageButton : public juce::Button
    {
    public:
        ImageButton (const juce::String& name, juce::Image rest, juce::Image pressed);
        ~ImageButton() override = default;
        void paintButton (juce::Graphics&, bool highlighted, bool down) override;

    private:
        juce::Image restImage, pressedImage;
    };

    /** A two-image toggle: the EXTREME key switch. */
    class ImageToggle : public juce::Button
    {
    public:
        ImageToggle (const juce::String& name, juce::Image off, juce::Image on);
        ~ImageToggle() override = default;
        void paintButton (juce::Graphics&, bool highlighted, bool down) override;

    private:
        juce::Image offImage, onImage;
    };

    /** The BYPASS rocker: a face cut from the strip image, mapped onto a tilting trapezoid. */
    class RockerToggle : public juce::Button
    {
    public:
        RockerToggle (const juce::String& name, juce::Image strip);
        ~RockerToggle() override = default;
        void paintButton (juce::Graphics&, bool highlighted, bool down) override;

    private:
        juce::Image strip, face, litFace;
    };

    /** The small AUTO input pill with its LED. */
    class AutoInputToggle : public juce::Button
    {
    public:
        explicit AutoInputToggle (const juce::String& name) : juce::Button (name) {}
        ~AutoInputToggle() override = default;
        void paintButton (juce::Graphics&, bool highlighted, bool down) override;
    };

    /** The underlined "See chain" text link. */
    class ChainLink : public juce::TextButton
    {
    public:
        explicit ChainLink (const juce::String& name) : juce::TextButton (name) {}
        ~ChainLink() override = default;
        void paintButton (juce::Graphics&, bool highlighted, bool down) override;
    };

    /** An invisible click area over a rack module; the module itself is painted by the editor. */
    class RackStageButton : public juce::Button
    {
    public:
        explicit RackStageButton (const juce::String& name) : juce::Button (name) { setWantsKeyboardFocus (false); }
        ~RackStageButton() override = default;
        void paintButton (juce::Graphics&, bool, bool) override {}
    };

    //==============================================================================================
    // Exposed for the tests and the screenshot tool.
    void changePreset (int delta);
    void changeDisplayPage (int delta) { stepDisplayPage (delta); }
    void timerCallback() override;
    void drawMeter (juce::Graphics&, float x, bool isOutput);

    /** Lit meter segments for a level in dB: segment i (0 = bottom) lights at 3 (i + 1) - 60 dB. */
    static int litMeterSegments (float dB) noexcept;

    /** Alpha bytes of a lit dot's outer glow, inner glow and core at a brightness and intensity. */
    struct DotAlphas
    {
        juce::uint8 outer, inner, core;
    };
    static DotAlphas dotAlphas (float brightness, float intensity) noexcept;
    static void drawLitDot (juce::Graphics&, float brightness, float x, float y, juce::Colour, float intensity);

    /** What the graph display shows now: the page (or banner), then what is drawn over it. */
    void collectGraphCells (GraphCells& page, GraphCells& overlay) const;

    const float* getStageLampLevels() const noexcept { return stageLampLevels; }
    int getGraphMessage() const noexcept { return graphMessage; }
    int getGraphMessageAge() const noexcept { return graphMessageAge; }
    int getPresetBannerTicks() const noexcept { return presetBannerTicks; }
    int getAdvisoryCooldown() const noexcept { return advisoryCooldown; }
    const DisplaySnapshot& getSnapshot() const noexcept { return snapshot; }
    int getDisplayPage() const noexcept { return displayPage; }
    const float* getInputHistory() const noexcept { return inputHistory; }
    int getHistoryWriteIndex() const noexcept { return historyWriteIndex; }
    float getBandGainReductionPeakDb (int band) const noexcept { return bandGainReductionPeakDb[band]; }

private:
    // Dot-matrix screens and the graph display.
    void drawTextScreen (juce::Graphics&, juce::Rectangle<float> area, const juce::StringArray& lines, float dotSize, float pitch,
                         float advance, float lineHeight, bool centreFirstLine);
    void drawDotText (juce::Graphics&, const juce::String& text, float x, float y, float dotSize, float pitch, float advance,
                      juce::Colour colour);
    /** Renders the graph display (page or banner, then overlays) into one afterglow frame. */
    void drawGraph (juce::Image& frame);
    void drawGraphText (juce::Graphics&, const juce::String& text, int column, int row, float intensity, juce::Colour colour);
    void drawGraphTinyText (juce::Graphics&, const juce::String& text, int column, int row, float intensity, juce::Colour colour);
    void drawCells (juce::Graphics&, const GraphCells& cells, float brightness) const;
    void drawCells (juce::Image& frame, const GraphCells& cells, float brightness) const;
    void paintTextScreens (juce::Graphics&);
    void compositeGraph (juce::Graphics&);
    void advanceGraphMessages (int presetIndex, bool extremeOn, bool bypassed);

    juce::RangedAudioParameter* parameter (const juce::String& id) const;
    float parameterValue (const juce::String& id) const;
    bool isOn (const juce::String& id) const { return parameterValue (id) > 0.5f; }
    int currentPresetIndex() const;
    void setParameterInGesture (const juce::String& id, float plainValue);
    void autoInputChanged();
    void rackStageClicked (int module);
    void stepDisplayPage (int delta);

    KorvaneTarvikAudioProcessor& processor;

    juce::Image faceplate, knobBody, lampOff, lampOn, ovlOff, ovlOn, keyCleanup, rack3MasterEmpty, nameBase, explanationBase;

    KnobLookAndFeel knobLookAndFeel;
    juce::Slider inputKnob;
    ImageButton prevPresetButton, nextPresetButton, prevDisplayButton, nextDisplayButton;
    ImageToggle extremeKey;
    RockerToggle bypassRocker;
    AutoInputToggle autoInputToggle;
    ChainLink chainLink;
    std::unique_ptr<TarvikChainWindow> chainWindow;

    float stageLampLevels[19] {};
    std::array<std::unique_ptr<RackStageButton>, 18> rackStageButtons;

    std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment> inputAttachment;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ButtonAttachment> extremeAttachment;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ButtonAttachment> bypassAttachment;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ButtonAttachment> autoInputAttachment;

    int displayPage = 2;
    float inputHistory[120] {};
    float outputHistory[120] {};
    int historyWriteIndex = 0;
    int historyTickCount = 0;
    DisplaySnapshot snapshot;
    float bandGainReductionPeakDb[5] {};
    float agcGainPeakDb = 0.0f, hfLimiterPeakDb = 0.0f, fmClipperPeakDb = 0.0f, truePeakPeakDb = 0.0f;
    float displayBrightness = 1.0f;

    juce::Image graphFrames[4];
    int graphFrameIndex = 0;
    int lastGraphPage = -1;
    bool lastGraphBypass = false;
    int graphMessage = 0, graphMessageTicks = 0, graphMessageAge = 0, heavyProcessingCount = 0, advisoryCooldown = 0;
    bool lastExtremeOn = false;
    int lastPresetIndex = -1;
    int presetBannerTicks = 0;

    GraphCells pageCells, overlayCells; // sized once, refilled on every repaint
    DotRasterizer dotRasterizer;

    // The text screens change only with the preset and the bypass dimming: drawn once into these.
    juce::Image nameScreen { juce::Image::ARGB, 160, 34, true };
    juce::Image descriptionScreen { juce::Image::ARGB, 220, 60, true };
    int screensPreset = -1;
    float screensBrightness = -1.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KorvaneTarvikAudioProcessorEditor)
};
