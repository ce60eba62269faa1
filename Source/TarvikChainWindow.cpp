#include "TarvikChainWindow.h"

#include "TarvikChainView.h"

TarvikChainWindow::TarvikChainWindow (KorvaneTarvikAudioProcessor& processor)
    : juce::DocumentWindow ("KORVANE Tarvik - Signal chain", juce::Colour (0xfff4f5f7), juce::DocumentWindow::closeButton, false)
{
    setUsingNativeTitleBar (false);
    setTitleBarHeight (30);
    setWantsKeyboardFocus (true);
    setContentOwned (new TarvikChainView (processor), true);
    setResizable (false, false);
    setDraggable (false); // it always covers the whole editor: dragged aside, it would half-hide the faceplate
    activeWindowStatusChanged();
}

void TarvikChainWindow::closeButtonPressed()
{
    setVisible (false);
}

void TarvikChainWindow::activeWindowStatusChanged()
{
    juce::DocumentWindow::activeWindowStatusChanged();
    if (auto* close = getCloseButton())
        close->setEnabled (true);
}

bool TarvikChainWindow::keyPressed (const juce::KeyPress& key)
{
    if (key.getKeyCode() == juce::KeyPress::escapeKey && ! key.getModifiers().isAnyModifierKeyDown())
    {
        setVisible (false);
        return true;
    }
    return false;
}
