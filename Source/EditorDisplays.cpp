// The dot-matrix screens and the graph display.

#include "EditorConstants.h"
#include "PluginEditor.h"

using Editor = KorvaneTarvikAudioProcessorEditor;

void Editor::drawTextScreen (juce::Graphics&, juce::Rectangle<float>, const juce::StringArray&, bool) {}
void Editor::drawGraph (juce::Graphics&) {}
void Editor::drawGraphText (juce::Graphics&, const juce::String&, float, float, float) {}
void Editor::drawGraphTinyText (juce::Graphics&, const juce::String&, float, float, float) {}
void Editor::drawLitDot (juce::Graphics&, float, float, float, float) {}
void Editor::drawDotText (juce::Graphics&, const juce::String&, float, float, float, float) {}
void Editor::advanceGraphMessages (int, bool, bool) {}
