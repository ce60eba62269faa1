#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class KorvaneTarvikAudioProcessor;

/** The faceplate. A fixed 720 x 614 canvas. */
class KorvaneTarvikAudioProcessorEditor : public juce::AudioProcessorEditor
{
public:
    explicit KorvaneTarvikAudioProcessorEditor (KorvaneTarvikAudioProcessor&);

    void paint (juce::Graphics&) override;

private:
    KorvaneTarvikAudioProcessor& processor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KorvaneTarvikAudioProcessorEditor)
};
