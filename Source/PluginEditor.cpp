#include "PluginEditor.h"

#include "PluginProcessor.h"

KorvaneTarvikAudioProcessorEditor::KorvaneTarvikAudioProcessorEditor (KorvaneTarvikAudioProcessor& p)
    : AudioProcessorEditor (p), processor (p)
{
    setSize (720, 614);
}

void KorvaneTarvikAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff1b1c1e));
    g.setColour (juce::Colour (0xffffb347));
    g.setFont (18.0f);
    g.drawText (processor.getName(), getLocalBounds(), juce::Justification::centred);
}
