#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class KorvaneTarvikAudioProcessor;

/** The panel that explains the signal chain, shown over the editor. */
class TarvikChainWindow : public juce::Component
{
public:
    explicit TarvikChainWindow (KorvaneTarvikAudioProcessor& p) : processor (p) {}

private:
    KorvaneTarvikAudioProcessor& processor;
};
