#include "EditorResources.h"

#include <BinaryData.h>

namespace editorresources
{
Lookup& lookup()
{
    static Lookup current = &BinaryData::getNamedResource;
    return current;
}

juce::Image loadImage (const char* resourceName)
{
    int size = 0;
    if (const auto* data = lookup() (resourceName, size); data != nullptr && size > 0)
        return juce::ImageCache::getFromMemory (data, size);
    return {};
}
} // namespace editorresources
