#pragma once

#include <juce_graphics/juce_graphics.h>

/** Where the editor finds its art: the compiled-in resource table. */
namespace editorresources
{
using Lookup = const char* (*) (const char* resourceName, int& sizeInBytes);

/** The lookup in use; a test may swap in another (an empty table, say) while no editor exists. */
Lookup& lookup();

/** Loads one image by its resource name ("faceplate_png"); invalid when missing or undecodable. */
juce::Image loadImage (const char* resourceName);
} // namespace editorresources
