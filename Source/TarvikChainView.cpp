#include "TarvikChainView.h"

#include "Parameters.h"
#include "PluginProcessor.h"

namespace
{
const juce::Colour background { 0xfff4f5f7 };
const juce::Colour headingColour { 0xff202936 };
const juce::Colour subHeadingColour { 0xff5c6778 };
const juce::Colour footerColour { 0xff536176 };
const juce::Colour extremeFill { 0xffe8f0ff };
const juce::Colour engagedFill { 0xffffffff };
const juce::Colour dimmedFill { 0xffe9ebee };
const juce::Colour extremeOutline { 0xff7ba5e8 };
const juce::Colour outline { 0xffcbd0d8 };
const juce::Colour numberColour { 0xff3c6dab };
const juce::Colour dimmedNumberColour { 0xff939ba6 };
const juce::Colour titleColour { 0xff253246 };
const juce::Colour dimmedTitleColour { 0xff818994 };
const juce::Colour arrowColour { 0xff8490a0 };

constexpr int boxesPerRow = 5;
constexpr float boxWidth = 132.0f, boxHeight = 65.0f, cornerSize = 7.0f;

/** Box titles in chain order. Entries 1 and 13 (boxes 02 and 14) change with the parameters and
    come from boxTitle() instead. */
constexpr std::array<const char*, TarvikChainView::numBoxes> fixedTitles {
    "Input",           "",                  "Input high-pass",   "Phase rotator",      "Automatic gain",
    "Post compressor", "Low shelf",         "Multiband",         "Stereo / mono bass", "15 kHz pre-filter",
    "FM phase",        "Pre-emphasis",      "HF limiter",        "",                   "De-emphasis",
    "Bass clipper",    "Output high-pass",  "15 kHz final filter", "True-peak limiter", "Output",
};

constexpr int autoInputBox = 1, clipperBox = 13;

/** Input, input trim, the clipper (which always runs; its switch only adds the EXTREME drive)
    and the output have no switch of their own. */
bool hasStageSwitch (int box) noexcept { return box >= 2 && box <= 18 && box != clipperBox; }

const char* stageSwitchFor (int box) noexcept { return kStageSwitchParameters[(size_t) box - 2].id; }
} // namespace

const std::array<const char*, TarvikChainView::numBoxes> TarvikChainView::stageExplanations {
    "The source audio entering the processor, before input gain and processing.",
    "Sets the level entering the chain. In AUTO mode, a slow adjustment keeps the main automatic gain stage near zero correction. "
    "In manual mode, you control the input knob.",
    "Removes very low frequencies such as rumble before they can drive the compressors unnecessarily. HPF means high-pass filter.",
    "Changes the phase relationship between frequencies to help manage uneven waveform peaks. It is not an equalizer.",
    "Automatic gain control (AGC) slowly raises quieter passages and lowers louder ones to keep the programme level consistent.",
    "An additional compressor after the main gain control. It smooths shorter level changes before the multiband stage.",
    "Shapes low-frequency weight with the preset's dynamic low-shelf processing. Its effect depends on both the programme and preset.",
    "Splits the audio into five frequency bands and controls each band separately. Band linking helps them move together and retain "
    "tonal balance.",
    "Controls stereo width and centres the low bass to make the low end more stable.",
    "The EXTREME pre-filter reduces content above approximately 15 kHz before the FM processing stages.",
    "Adds gentle phase conditioning before the FM clipper to help prepare waveform peaks for clipping.",
    "Boosts high frequencies before FM peak processing, following the preset's FM emphasis curve. De-emphasis later reverses this "
    "tonal boost.",
    "High-frequency limiting controls bright peaks boosted by pre-emphasis before they reach the clipper, helping reduce harshness.",
    "Trims waveform peaks to increase density. EXTREME adds extra clipper drive; the underlying clipper also operates in normal mode.",
    "Applies the complementary tonal curve after clipping to restore balance following pre-emphasis.",
    "Controls strong bass peaks. This helps the low end stay firm without allowing it to dominate the rest of the processing.",
    "Removes residual very low frequencies near the end of the chain. Its cutoff follows the active processing configuration.",
    "Applies the final band-limit filter. EXTREME uses an approximately 15 kHz broadcast bandwidth; normal-mode bandwidth follows the "
    "preset.",
    "The final true-peak limiter controls output peaks, including estimated peaks between digital samples.",
    "The processed audio leaving the plugin. The output meter shows its level; the ceiling lamp indicates final limiter activity.",
};

//==================================================================================================
TarvikChainView::TarvikChainView (KorvaneTarvikAudioProcessor& p)
    : processor (p),
      tooltipWindow (this, 400)
{
    for (size_t i = 0; i < boxes.size(); ++i)
    {
        boxes[i].setTooltip (stageExplanations[i]);
        addAndMakeVisible (boxes[i]);
    }
    setSize ((int) designWidth, (int) designHeight);
    startTimer (66);
}

TarvikChainView::~TarvikChainView() = default;

//==================================================================================================
juce::Rectangle<float> TarvikChainView::boxArea (int box) noexcept
{
    const int row = box / boxesPerRow;
    const int column = row % 2 == 0 ? box % boxesPerRow : boxesPerRow - 1 - box % boxesPerRow;
    return { 24.0f + 145.0f * (float) column, 88.0f + 85.0f * (float) row, boxWidth, boxHeight };
}

float TarvikChainView::getScale() const noexcept
{
    return juce::jmin ((float) getWidth() / designWidth, (float) getHeight() / designHeight);
}

bool TarvikChainView::isOn (const char* parameterId) const
{
    const auto* value = processor.parameters.getRawParameterValue (parameterId);
    return value != nullptr && value->load() > 0.5f;
}

juce::String TarvikChainView::boxTitle (int box) const
{
    if (box == autoInputBox)
        return isOn (ParameterIds::autoInput) ? "Auto input trim" : "Manual input trim";
    if (box == clipperBox)
        return isOn (ParameterIds::extreme) ? "FM clipper" : "Clipper";
    return fixedTitles[(size_t) box];
}

bool TarvikChainView::isBoxEngaged (int box) const
{
    if (isOn (ParameterIds::bypass))
        return false;
    if (! hasStageSwitch (box))
        return true;
    if (isExtremeSectionBox (box) && ! isOn (ParameterIds::extreme))
        return false;
    return isOn (stageSwitchFor (box));
}

juce::String TarvikChainView::footerText() const
{
    return isOn (ParameterIds::bypass) ? "Processing is bypassed."
                                       : "Dimmed stages are disengaged. Normal-mode clipping remains available with EXTREME off.";
}

//==================================================================================================
void TarvikChainView::resized()
{
    const auto scale = getScale();
    for (int i = 0; i < numBoxes; ++i)
        boxes[(size_t) i].setBounds ((boxArea (i) * scale).toNearestInt());
}

void TarvikChainView::timerCallback()
{
    if (isShowing())
        repaint();
}

void TarvikChainView::paint (juce::Graphics& g)
{
    g.fillAll (background);
    g.addTransform (juce::AffineTransform::scale (getScale()));

    g.setColour (headingColour);
    g.setFont (juce::Font (22.0f, juce::Font::bold));
    g.drawText ("The processing chain", juce::Rectangle<float> (24.0f, 16.0f, 710.0f, 32.0f), juce::Justification::centredLeft, true);

    g.setColour (subHeadingColour);
    g.setFont (juce::Font (12.0f));
    g.drawText ("Follow the numbered stages. Blue marks the EXTREME FM section.", juce::Rectangle<float> (24.0f, 50.0f, 710.0f, 22.0f),
                juce::Justification::centredLeft, true);

    for (int i = 0; i < numBoxes; ++i)
    {
        const auto area = boxArea (i);
        const bool engaged = isBoxEngaged (i);
        const bool extremeSection = isExtremeSectionBox (i);

        g.setColour (! engaged ? dimmedFill : extremeSection ? extremeFill : engagedFill);
        g.fillRoundedRectangle (area, cornerSize);
        g.setColour (extremeSection ? extremeOutline : outline);
        g.drawRoundedRectangle (area, cornerSize, 1.0f);

        g.setColour (engaged ? numberColour : dimmedNumberColour);
        g.setFont (juce::Font (10.0f, juce::Font::bold));
        g.drawText (juce::String (i + 1).paddedLeft ('0', 2), juce::Rectangle<float> (area.getX() + 9.0f, area.getY() + 9.0f, 114.0f, 13.0f),
                    juce::Justification::centredLeft, true);

        g.setColour (engaged ? titleColour : dimmedTitleColour);
        g.setFont (juce::Font (12.0f, juce::Font::bold));
        g.drawFittedText (boxTitle (i), juce::Rectangle<int> ((int) area.getX() + 9, (int) area.getY() + 24, 114, 32),
                          juce::Justification::centredLeft, 2);

        if (i + 1 < numBoxes)
        {
            const auto next = boxArea (i + 1);
            const int row = i / boxesPerRow;
            juce::Line<float> line;
            if ((i + 1) / boxesPerRow != row)
                line = { area.getX() + 66.0f, area.getY() + 67.0f, next.getX() + 66.0f, next.getY() - 3.0f };
            else if (row % 2 == 0)
                line = { area.getX() + 134.0f, area.getY() + 32.5f, next.getX() - 2.0f, next.getY() + 32.5f };
            else
                line = { area.getX() - 2.0f, area.getY() + 32.5f, next.getX() + 134.0f, next.getY() + 32.5f };

            juce::Path arrow;
            arrow.addArrow (line, 1.0f, 4.0f, 4.0f);
            g.setColour (arrowColour);
            g.fillPath (arrow);
        }
    }

    g.setColour (footerColour);
    g.setFont (juce::Font (12.0f));
    g.drawText (footerText(), juce::Rectangle<float> (24.0f, 431.0f, 710.0f, 22.0f), juce::Justification::centredLeft, true);

    g.setFont (juce::Font (11.0f));
    g.drawFittedText ("Round amber lamp = stage ON. Bars = processing amount or signal level.\n"
                      "Hover over any stage for an explanation. Close this panel or press Escape to return.",
                      juce::Rectangle<int> (24, 457, 710, 35), juce::Justification::centredLeft, 2);
}
