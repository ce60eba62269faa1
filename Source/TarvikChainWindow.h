#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class KorvaneTarvikAudioProcessor;

/** The panel that explains the signal chain: a signal-chain view in a framework-drawn window with
    a title bar and a close button. It is never put on the desktop; the editor adds it as a child
    of its own and shows it over the whole faceplate. Closing it (close button or Escape) only
    hides it, so the same panel comes back the next time. */
class TarvikChainWindow : public juce::DocumentWindow
{
public:
    explicit TarvikChainWindow (KorvaneTarvikAudioProcessor&);
    ~TarvikChainWindow() override = default;

    void closeButtonPressed() override;

    /** Keeps the close button working while the panel is not the active window: being a child of
        the editor, it is active only while it holds the keyboard focus, and the framework would
        otherwise disable its title-bar buttons, so the first click after focus went elsewhere
        would be lost. */
    void activeWindowStatusChanged() override;

    /** Escape with no modifier hides the panel; every other key goes on to the parents. */
    bool keyPressed (const juce::KeyPress&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TarvikChainWindow)
};
