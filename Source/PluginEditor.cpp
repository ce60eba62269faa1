#include "PluginEditor.h"

#include "EditorConstants.h"
#include "EditorResources.h"
#include "Parameters.h"
#include "PluginProcessor.h"

#include <cmath>

using namespace editorconstants;

namespace
{
using editorresources::loadImage;

/** Module labels in slot order, two lines where the module name needs them. */
constexpr std::array<const char*, 19> rackSlotLabels {
    "AUTO\nTRIM", "INPUT\nHPF", "PHASE", "AGC", "POST\nCOMP", "LF\nSHELF", "MULTI\nBAND", "STEREO\nMONO LF", "15K\nPRE", "FM\nPHASE",
    "PRE\nEMPH", "HF\nLIMIT", "FM\nCLIP", "DE\nEMPH", "BASS\nCLIP", "OUTPUT\nHPF", "15K\nFINAL", "TRUE PEAK\nLIMIT", "OUTPUT",
};

bool isExtremeModule (int k) noexcept { return k >= 8 && k <= 13; }

/** The parameter behind rack module k (0 ... 17): auto input, then the stage switches in order. */
const char* rackModuleParameter (int k) noexcept
{
    return k == 0 ? ParameterIds::autoInput : kStageSwitchParameters[(size_t) k - 1].id;
}

float toDb (float linear, float floorDb) noexcept
{
    return linear > 0.0f ? juce::jmax (floorDb, 20.0f * std::log10 (linear)) : floorDb;
}
} // namespace

//==================================================================================================
KorvaneTarvikAudioProcessorEditor::KorvaneTarvikAudioProcessorEditor (KorvaneTarvikAudioProcessor& p)
    : AudioProcessorEditor (p),
      processor (p),
      faceplate (loadImage ("faceplate_png")),
      knobBody (loadImage ("knob_body_png")),
      lampOff (loadImage ("lamp_off_png")),
      lampOn (loadImage ("lamp_on_png")),
      ovlOff (loadImage ("ovl_off_png")),
      ovlOn (loadImage ("ovl_on_png")),
      keyCleanup (loadImage ("key_cleanup_png")),
      rack3MasterEmpty (loadImage ("rack3_master_empty_png")),
      nameBase (loadImage ("name_base_png")),
      explanationBase (loadImage ("explanation_base_png")),
      knobLookAndFeel (knobBody),
      prevPresetButton ("Previous preset", loadImage ("left_rest_png"), loadImage ("left_pressed_png")),
      nextPresetButton ("Next preset", loadImage ("right_rest_png"), loadImage ("right_pressed_png")),
      prevDisplayButton ("Previous display", loadImage ("left_rest_png"), loadImage ("left_pressed_png")),
      nextDisplayButton ("Next display", loadImage ("right_rest_png"), loadImage ("right_pressed_png")),
      extremeKey ("Extreme", loadImage ("key_off_png"), loadImage ("key_on_png")),
      bypassRocker ("Bypass", loadImage ("bypass_rocker_strip_png")),
      autoInputToggle ("Auto Input"),
      chainLink ("See chain")
{
    for (auto* toggle : { static_cast<juce::Button*> (&extremeKey), static_cast<juce::Button*> (&bypassRocker),
                          static_cast<juce::Button*> (&autoInputToggle) })
        toggle->setClickingTogglesState (true);

    setOpaque (true);
    setResizable (false, false);
    setSize (720, 614);

    inputKnob.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
    inputKnob.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    inputKnob.setRange (-18.0, 18.0, 0.1);
    inputKnob.setDoubleClickReturnValue (true, 0.0);
    inputKnob.setLookAndFeel (&knobLookAndFeel);
    addAndMakeVisible (inputKnob);

    for (auto* child : { static_cast<juce::Component*> (&prevPresetButton), static_cast<juce::Component*> (&nextPresetButton),
                         static_cast<juce::Component*> (&prevDisplayButton), static_cast<juce::Component*> (&nextDisplayButton),
                         static_cast<juce::Component*> (&extremeKey), static_cast<juce::Component*> (&bypassRocker) })
        addAndMakeVisible (child);

    bypassRocker.setTooltip ("Bypass processing. Amber lamp lit: bypass is ON; you hear the unprocessed signal");

    addAndMakeVisible (autoInputToggle);
    addAndMakeVisible (chainLink);
    chainLink.setColour (juce::TextButton::buttonColourId, juce::Colours::transparentBlack);
    chainLink.setColour (juce::TextButton::buttonOnColourId, juce::Colours::transparentBlack);
    chainLink.setColour (juce::TextButton::textColourOffId, juce::Colour (0xffdedbd5));
    chainLink.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    chainLink.setTooltip ("Show the complete processing chain");

    chainLink.onClick = [this]
    {
        // Made on the first click, hidden rather than destroyed when closed, shown again on the next.
        if (chainWindow == nullptr)
        {
            chainWindow = std::make_unique<TarvikChainWindow> (processor);
            addChildComponent (*chainWindow);
        }
        chainWindow->setBounds (getLocalBounds());
        chainWindow->setVisible (true);
        chainWindow->toFront (true); // and takes the keyboard focus, for Escape
    };
    prevPresetButton.onClick = [this] { changePreset (-1); };
    nextPresetButton.onClick = [this] { changePreset (+1); };
    prevDisplayButton.onClick = [this] { stepDisplayPage (-1); };
    nextDisplayButton.onClick = [this] { stepDisplayPage (+1); };

    auto& state = processor.parameters;
    if (state.getParameter (ParameterIds::input) != nullptr)
        inputAttachment = std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment> (state, ParameterIds::input, inputKnob);
    if (state.getParameter (ParameterIds::extreme) != nullptr)
        extremeAttachment = std::make_unique<juce::AudioProcessorValueTreeState::ButtonAttachment> (state, ParameterIds::extreme, extremeKey);
    if (state.getParameter (ParameterIds::bypass) != nullptr)
        bypassAttachment = std::make_unique<juce::AudioProcessorValueTreeState::ButtonAttachment> (state, ParameterIds::bypass, bypassRocker);
    if (state.getParameter (ParameterIds::autoInput) != nullptr)
        autoInputAttachment = std::make_unique<juce::AudioProcessorValueTreeState::ButtonAttachment> (state, ParameterIds::autoInput, autoInputToggle);

    autoInputToggle.onClick = [this] { autoInputChanged(); };

    for (int i = 0; i < (int) rackStageButtons.size(); ++i)
    {
        auto button = std::make_unique<RackStageButton> (rackStageNames[(size_t) i]);
        addAndMakeVisible (*button);
        button->onClick = [this, i] { rackStageClicked (i); };
        rackStageButtons[(size_t) i] = std::move (button);
    }

    resized();

    for (auto& frame : graphFrames)
        frame = juce::Image (juce::Image::ARGB, 720, 614, true);

    lastExtremeOn = isOn (ParameterIds::extreme);
    lastPresetIndex = currentPresetIndex();

    inputKnob.setInterceptsMouseClicks (! autoInputToggle.getToggleState(), false);
    startTimer (33);
}

KorvaneTarvikAudioProcessorEditor::~KorvaneTarvikAudioProcessorEditor()
{
    inputKnob.setLookAndFeel (nullptr);
}

//==================================================================================================
juce::RangedAudioParameter* KorvaneTarvikAudioProcessorEditor::parameter (const juce::String& id) const
{
    return processor.parameters.getParameter (id);
}

float KorvaneTarvikAudioProcessorEditor::parameterValue (const juce::String& id) const
{
    if (auto* value = processor.parameters.getRawParameterValue (id))
        return value->load();
    return 0.0f;
}

int KorvaneTarvikAudioProcessorEditor::currentPresetIndex() const
{
    const float value = parameterValue (ParameterIds::preset);
    return std::isfinite (value) ? juce::jlimit (0, 8, (int) std::lround (value)) : 1;
}

void KorvaneTarvikAudioProcessorEditor::setParameterInGesture (const juce::String& id, float plainValue)
{
    auto* p = parameter (id);
    // A write that changes nothing is no gesture at all (the AUTO switch's handler can run right
    // after the AUTO TRIM module has already handed the trim over).
    if (p != nullptr && p->convertTo0to1 (plainValue) != p->getValue())
    {
        p->beginChangeGesture();
        p->setValueNotifyingHost (p->convertTo0to1 (plainValue));
        p->endChangeGesture();
    }
}

void KorvaneTarvikAudioProcessorEditor::changePreset (int delta)
{
    const int next = (currentPresetIndex() + delta + 9) % 9;
    setParameterInGesture (ParameterIds::preset, (float) next);
}

void KorvaneTarvikAudioProcessorEditor::stepDisplayPage (int delta)
{
    // Pages 1 ... 6, cycling both ways.
    displayPage = juce::jlimit (1, 6, displayPage);
    displayPage = delta > 0 ? ((displayPage + 6) % 6) + 1 : ((displayPage + 4) % 6) + 1;
    repaint();
}

void KorvaneTarvikAudioProcessorEditor::autoInputChanged()
{
    const bool on = autoInputToggle.getToggleState();
    inputKnob.setInterceptsMouseClicks (! on, false);
    if (! on)
    {
        // Manual trim resumes from where the automatic control left it.
        setParameterInGesture (ParameterIds::input, processor.chain.published.inputTrimDb.get());
    }
}

void KorvaneTarvikAudioProcessorEditor::rackStageClicked (int module)
{
    if (isExtremeModule (module) && ! isOn (ParameterIds::extreme))
        return;

    const char* id = rackModuleParameter (module);
    if (parameter (id) == nullptr)
        return;

    const bool wasOn = isOn (id);
    if (module == 0 && wasOn)
        setParameterInGesture (ParameterIds::input, processor.chain.published.inputTrimDb.get());
    setParameterInGesture (id, wasOn ? 0.0f : 1.0f);
}

//==================================================================================================
void KorvaneTarvikAudioProcessorEditor::resized()
{
    if (chainWindow != nullptr)
        chainWindow->setBounds (getLocalBounds());

    inputKnob.setBounds (48, 105, 108, 108);
    prevPresetButton.setBounds (213, 91, 36, 48);
    nextPresetButton.setBounds (429, 91, 36, 48);
    prevDisplayButton.setBounds (88, 375, 46, 56);
    nextDisplayButton.setBounds (586, 375, 46, 56);
    extremeKey.setBounds (496, 99, 120, 150);
    bypassRocker.setBounds (632, 111, 48, 92);
    autoInputToggle.setBounds (64, 241, 62, 16);
    chainLink.setBounds (631, 594, 72, 19);

    for (int i = 0; i < (int) rackStageButtons.size(); ++i)
        if (auto& button = rackStageButtons[(size_t) i])
            button->setBounds (juce::roundToInt (rackSlotCentre (i)) - 10, 545, 20, 16);
}

void KorvaneTarvikAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);

    if (faceplate.isValid())
        g.drawImageAt (faceplate, 0, 0);
    if (keyCleanup.isValid())
        g.drawImageAt (keyCleanup, 499, 89);
    if (nameBase.isValid())
        g.drawImageAt (nameBase, 251, 91);
    if (explanationBase.isValid())
        g.drawImageAt (explanationBase, 205, 147);

    const bool extremeOn = isOn (ParameterIds::extreme);
    const bool bypassed = isOn (ParameterIds::bypass);

    // The rack: 19 modules with label, lamp, activity bar and round lamp.
    for (int k = 0; k < 19; ++k)
    {
        const float cx = rackSlotCentre (k);
        if (isExtremeModule (k) && ! extremeOn)
        {
            const juce::Rectangle<int> cover ((int) cx - 17, 520, 35, 72);
            if (rack3MasterEmpty.isValid())
            {
                g.drawImage (rack3MasterEmpty, cover.getX(), cover.getY(), cover.getWidth(), cover.getHeight(), 2, 2, 32, 72);
            }
            else
            {
                g.setColour (juce::Colour (0xff252624));
                g.fillRect (cover);
            }
            continue;
        }

        const bool lit = ! bypassed && (k == 18 || isOn (rackModuleParameter (k)));

        g.setColour (juce::Colour (0xff171815));
        g.fillRect (juce::Rectangle<float> (cx - 15.5f, 523.0f, 31.0f, 20.0f));
        g.setColour (juce::Colour (0xffc7aa69));
        g.setFont (juce::Font (5.8f, juce::Font::bold));
        g.drawFittedText (rackSlotLabels[(size_t) k], juce::Rectangle<int> ((int) cx - 15, 524, 30, 18), juce::Justification::centred, 2, 1.0f);

        g.setColour (juce::Colour (0xff10100e));
        g.fillRoundedRectangle ({ cx - 6.0f, 551.0f, 12.0f, 8.0f }, 1.0f);
        g.setColour (lit ? amber : juce::Colour (0xff44321b));
        g.fillRoundedRectangle ({ cx - 3.0f, 555.0f, 6.0f, 2.0f }, 0.5f);

        const float level = lit ? stageLampLevels[k] : 0.0f;
        g.setColour (juce::Colour (0xff14120b));
        g.fillRoundedRectangle ({ cx - 8.0f, 565.0f, 16.0f, 10.0f }, 1.0f);
        const juce::Colour barOff (0xff322510);
        g.setColour (barOff.interpolatedWith (amber, juce::jlimit (0.0f, 1.0f, 2.0f * level)));
        g.fillRoundedRectangle ({ cx - 6.0f, 571.0f, 12.0f, 2.0f }, 0.5f);
        g.setColour (barOff.interpolatedWith (amber, juce::jlimit (0.0f, 1.0f, 2.0f * level - 1.0f)));
        g.fillRoundedRectangle ({ cx - 6.0f, 567.0f, 12.0f, 2.0f }, 0.5f);

        g.setColour (juce::Colour (0xff12100a));
        g.fillEllipse (cx - 5.0f, 577.0f, 10.0f, 10.0f);
        const juce::Colour c0 (lit ? 0xffffcf45 : 0xff39290c);
        g.setGradientFill (juce::ColourGradient (c0, cx - 1.0f, 580.0f, c0.darker (0.7f), cx + 3.0f, 585.0f, true));
        g.fillEllipse (cx - 3.5f, 578.5f, 7.0f, 7.0f);
    }

    // While auto input rides the trim, the knob's printed scale is greyed out.
    if (isOn (ParameterIds::autoInput))
    {
        juce::Path ring;
        ring.addEllipse (22.0f, 79.0f, 161.0f, 161.0f);
        ring.addEllipse (43.0f, 100.0f, 119.0f, 119.0f);
        ring.setUsingNonZeroWinding (false);
        g.setColour (juce::Colour (0x4477736d));
        g.fillPath (ring);
    }

    displayBrightness = bypassed ? 0.28f : 1.0f;

    paintTextScreens (g);

    compositeGraph (g);

    drawMeter (g, 62.0f, false);
    drawMeter (g, 657.0f, true);

    const auto& published = processor.chain.published;
    const auto& lowLamp = published.lowInputWarning.get() > 0.5f ? ovlOn : ovlOff;
    g.setOpacity (1.0f);
    if (lowLamp.isValid())
        g.drawImage (lowLamp, 137, 240, 14, 14, 0, 0, lowLamp.getWidth(), lowLamp.getHeight());
    g.setColour (juce::Colour (0xff403b35));
    g.setFont (juce::Font (7.5f, juce::Font::bold));
    g.drawText ("LOW", juce::Rectangle<int> (151, 239, 25, 16), juce::Justification::centredLeft, true);

    const auto& extremeLamp = extremeOn ? lampOn : lampOff;
    g.setOpacity (1.0f);
    if (extremeLamp.isValid())
        g.drawImageAt (extremeLamp, 580, 122);
}

int KorvaneTarvikAudioProcessorEditor::litMeterSegments (float dB) noexcept
{
    int lit = 0;
    for (int i = 0; i < 20; ++i)
        if (dB >= (float) (3 * (i + 1) - 60))
            lit = i + 1;
    return lit;
}

void KorvaneTarvikAudioProcessorEditor::drawMeter (juce::Graphics& g, float x, bool isOutput)
{
    const auto& published = processor.chain.published;
    const float level = isOutput ? published.outputPeakHold.get() : published.inputPeakHold.get();
    const float dB = toDb (level, -60.0f);

    const float left = x - 11.0f;
    {
        juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (juce::roundToInt (left), 365, 22, 83);
        g.setColour (juce::Colour (0xff100b07));
        g.fillRect (juce::Rectangle<float> (left, 365.0f, 22.0f, 83.0f));
        for (int i = 0; i < 20; ++i)
        {
            const bool lit = dB >= (float) (3 * (i + 1) - 60);
            g.setColour (lit ? (i >= 18 ? redLed : amber) : juce::Colour (0xff362312));
            g.fillRoundedRectangle ({ x - 5.0f, 444.0f - 4.0f * (float) i, 10.0f, 2.2f }, 0.5f);
        }
    }

    const float lampX = isOutput ? 657.0f : 60.0f;
    const bool lampLit = isOutput ? published.truePeakActive.get() > 0.5f : level >= 0.999f;
    const juce::Colour lampColour (isOutput ? (lampLit ? 0xffffb326 : 0xff382714) : (lampLit ? 0xffff4b2b : 0xff361716));

    if (faceplate.isValid())
    {
        const int sx = isOutput ? 690 : 78;
        g.setGradientFill (juce::ColourGradient (faceplate.getPixelAt (sx, 451), lampX, 451.0f, faceplate.getPixelAt (sx, 470), lampX, 483.0f, false));
        g.fillRect ((int) lampX - 22, 451, 44, 32);
    }

    g.setColour (juce::Colour (0xff3d3830));
    g.fillEllipse (lampX - 8.0f, 453.0f, 16.0f, 16.0f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffc2b9a6), lampX - 5.0f, 454.0f, juce::Colour (0xff544d43), lampX + 5.0f, 468.0f, false));
    g.fillEllipse (lampX - 7.5f, 453.5f, 15.0f, 15.0f);
    g.setColour (juce::Colour (0xff17130e));
    g.fillEllipse (lampX - 6.5f, 454.5f, 13.0f, 13.0f);
    g.setGradientFill (juce::ColourGradient (lampColour, lampX - 2.0f, 458.0f, lampColour.darker (0.65f), lampX + 4.0f, 466.0f, true));
    g.fillEllipse (lampX - 5.7f, 455.3f, 11.4f, 11.4f);
    g.setColour (juce::Colours::white.withAlpha ((juce::uint8) (lampLit ? 0x61 : 0x1a)));
    g.fillEllipse (lampX - 3.0f, 457.0f, 3.5f, 1.5f);

    g.setColour (juce::Colour (0xff38332c));
    g.setFont (juce::Font (6.5f, juce::Font::bold));
    g.drawText (isOutput ? "CEILING" : "OVL", juce::Rectangle<int> ((int) lampX - 18, 474, 36, 9), juce::Justification::centred, false);
}

//==================================================================================================
void KorvaneTarvikAudioProcessorEditor::timerCallback()
{
    const auto& pub = processor.chain.published;

    // Module activity: how loud each stage's output is, scaled by how hard the gain-reducing
    // stages work; instant rise, 0.8 decay per tick.
    for (int i = 0; i < 19; ++i)
    {
        const float dB = toDb (pub.stageMeters[(size_t) i].get(), -80.0f);
        float m = juce::jlimit (0.0f, 1.0f, (dB + 60.0f) / 48.0f);

        float e = -1.0f;
        switch (i)
        {
            case 3: e = std::abs (pub.agcGainDb.get()); break;
            case 4: e = pub.postCompReductionDb.get(); break;
            case 6:
                e = 0.0f;
                for (const auto& band : pub.bandGainReductionDb)
                    e = juce::jmax (e, band.get());
                break;
            case 11: e = pub.hfLimiterReductionDb.get(); break;
            case 12: e = pub.fmClipperActivityDb.get(); break;
            case 14: e = pub.bassClipperReductionDb.get(); break;
            case 17: e = pub.truePeakReductionDb.get(); break;
            default: break;
        }
        if (e >= 0.0f) // also false for NaN
            m *= juce::jlimit (0.0f, 1.0f, e * 0.25f);

        stageLampLevels[i] = juce::jmax (0.8f * stageLampLevels[i], m);
    }

    const bool bypassed = isOn (ParameterIds::bypass);
    const bool autoOn = isOn (ParameterIds::autoInput);
    const bool extremeOn = isOn (ParameterIds::extreme);

    for (int i = 0; i < (int) rackStageButtons.size(); ++i)
    {
        auto& button = *rackStageButtons[(size_t) i];
        const bool available = ! isExtremeModule (i) || extremeOn;
        button.setVisible (available);
        button.setInterceptsMouseClicks (available, false);
    }

    inputKnob.setInterceptsMouseClicks (! autoOn, false);
    if (autoOn)
        inputKnob.setValue (pub.inputTrimDb.get(), juce::dontSendNotification);

    if (! bypassed)
    {
        // A value that is not a finite number shows as its default.
        const DisplaySnapshot defaults;
        const auto read = [] (const kt::PublishedFloat& value, float fallback) {
            const float v = value.get();
            return std::isfinite (v) ? v : fallback;
        };
        for (size_t k = 0; k < 5; ++k)
        {
            snapshot.bandGainReductionDb[k] = read (pub.bandGainReductionDb[k], 0.0f);
            snapshot.bandCompReductionDb[k] = read (pub.bandCompReductionDb[k], 0.0f);
            snapshot.bandLimitReductionDb[k] = read (pub.bandLimitReductionDb[k], 0.0f);
            bandGainReductionPeakDb[k] = juce::jmax (bandGainReductionPeakDb[k] - 0.06f, snapshot.bandGainReductionDb[k]);
        }
        snapshot.stereoCorrelation = read (pub.stereoCorrelation, defaults.stereoCorrelation);
        snapshot.outputCorrelation = read (pub.outputCorrelation, defaults.outputCorrelation);
        snapshot.extremeAmount = read (pub.extremeAmount, defaults.extremeAmount);
        snapshot.inputHpfHz = read (pub.inputHpfHz, defaults.inputHpfHz);
        snapshot.monoBassHz = read (pub.monoBassHz, defaults.monoBassHz);
        snapshot.preEmphasisUs = read (pub.preEmphasisUs, defaults.preEmphasisUs);
        snapshot.agcGainDb = read (pub.agcGainDb, defaults.agcGainDb);
        snapshot.lfShelfGainDb = read (pub.lfShelfGainDb, defaults.lfShelfGainDb);
        snapshot.finalLowpassHz = read (pub.finalLowpassHz, defaults.finalLowpassHz);
        snapshot.bandLinkPercent = read (pub.bandLinkPercent, defaults.bandLinkPercent);
        snapshot.hfLimiterReductionDb = read (pub.hfLimiterReductionDb, defaults.hfLimiterReductionDb);
        snapshot.fmClipperActivityDb = read (pub.fmClipperActivityDb, defaults.fmClipperActivityDb);
        snapshot.bassClipperReductionDb = read (pub.bassClipperReductionDb, defaults.bassClipperReductionDb);
        snapshot.postCompReductionDb = read (pub.postCompReductionDb, defaults.postCompReductionDb);
        snapshot.truePeakReductionDb = read (pub.truePeakReductionDb, defaults.truePeakReductionDb);
        snapshot.inputTrimDb = read (pub.inputTrimDb, defaults.inputTrimDb);
        snapshot.autoInputState = read (pub.autoInputState, defaults.autoInputState);
        snapshot.processingActivity = read (pub.processingActivity, defaults.processingActivity);
        snapshot.lowInputWarning = pub.lowInputWarning.get() > 0.5f;

        agcGainPeakDb = juce::jmax (juce::jmax (agcGainPeakDb - 0.05f, 0.0f), std::abs (snapshot.agcGainDb));
        hfLimiterPeakDb = juce::jmax (juce::jmax (hfLimiterPeakDb - 0.05f, 0.0f), snapshot.hfLimiterReductionDb);
        fmClipperPeakDb = juce::jmax (juce::jmax (fmClipperPeakDb - 0.07f, 0.0f), snapshot.fmClipperActivityDb);
        truePeakPeakDb = juce::jmax (juce::jmax (truePeakPeakDb - 0.05f, 0.0f), snapshot.truePeakReductionDb);

        if (historyTickCount >= 3)
        {
            historyTickCount = 0;
            inputHistory[historyWriteIndex] = read (pub.inputPeakHold, 0.0f);
            outputHistory[historyWriteIndex] = read (pub.outputPeakHold, 0.0f);
            historyWriteIndex = (historyWriteIndex + 1) % 120;
        }
        else
        {
            ++historyTickCount;
        }
    }

    advanceGraphMessages (currentPresetIndex(), extremeOn, bypassed);
    repaint();
}
