#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

class KorvaneTarvikAudioProcessor;

/** The signal-chain diagram: twenty numbered boxes, one per stage from input to output, laid out
    as a snake of four rows of five and joined by arrows. Disengaged stages are dimmed, the EXTREME
    FM section is tinted blue, and hovering over a box shows an explanation of its stage.

    Everything is laid out on a 760 x 500 design area and scaled uniformly to the view's size. The
    parameters are read afresh on every paint. */
class TarvikChainView : public juce::Component,
                        public juce::Timer
{
public:
    explicit TarvikChainView (KorvaneTarvikAudioProcessor&);
    ~TarvikChainView() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    static constexpr int numBoxes = 20;
    static constexpr float designWidth = 760.0f, designHeight = 500.0f;

    /** The explanation of each stage, in chain order: box i's tooltip. */
    static const std::array<const char*, numBoxes> stageExplanations;

    /** Box i's rectangle in design units. */
    static juce::Rectangle<float> boxArea (int box) noexcept;

    /** True for the boxes of the EXTREME FM section (blue tint and outline). */
    static bool isExtremeSectionBox (int box) noexcept { return box >= 9 && box <= 14; }

    /** The scale from design units to the view's pixels: min (width / 760, height / 500). */
    float getScale() const noexcept;

    /** What box i shows for the current parameter values. */
    juce::String boxTitle (int box) const;
    bool isBoxEngaged (int box) const;
    juce::String footerText() const;

    /** Repaints while the view is on screen; does nothing while it is hidden. */
    void timerCallback() override;

    /** A transparent area over one box that carries its tooltip. */
    class HoverBox : public juce::Component,
                     public juce::SettableTooltipClient
    {
    };

private:
    bool isOn (const char* parameterId) const;

    KorvaneTarvikAudioProcessor& processor;
    std::array<HoverBox, numBoxes> boxes;
    juce::TooltipWindow tooltipWindow;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TarvikChainView)
};
