// tarvik-artgen OUTPUT_FOLDER
//
// Draws the 33 faceplate images of the editor with juce::Graphics and writes them as PNG files
// into OUTPUT_FOLDER. The output depends on nothing but this code: textures come from seeded
// generators, never from the clock.

#include "Art.h"

#include <functional>
#include <iostream>
#include <iterator>

namespace
{
    struct Entry
    {
        const char* file;
        int width, height;
        bool opaque;
        std::function<juce::Image()> draw;
    };

    bool writePng (const juce::Image& image, const juce::File& file)
    {
        if (file.existsAsFile() && ! file.deleteFile())
            return false;
        juce::FileOutputStream stream (file);
        if (! stream.openedOk())
            return false;
        juce::PNGImageFormat png;
        return png.writeImageToStream (image, stream);
    }
}

int main (int argc, char* argv[])
{
    if (argc != 2 || juce::String (argv[1]).startsWith ("-"))
    {
        std::cerr << "usage: tarvik-artgen OUTPUT_FOLDER\n"
                     "Draws the editor's 33 faceplate images and writes them as PNG files.\n";
        return argc == 2 && (juce::String (argv[1]) == "--help" || juce::String (argv[1]) == "-h") ? 0 : 2;
    }

    juce::ScopedJuceInitialiser_GUI gui;

    const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (argv[1]));
    if (! folder.createDirectory())
    {
        std::cerr << "tarvik-artgen: cannot create " << folder.getFullPathName() << "\n";
        return 1;
    }

    using namespace artgen;
    const Entry entries[] = {
        { "faceplate.png",               720, 614, true,  [] { return drawFaceplate(); } },
        { "knob_body.png",               108, 108, false, [] { return drawKnobBody(); } },
        { "left_rest.png",                36,  48, false, [] { return drawArrowKey (true, false); } },
        { "left_pressed.png",             36,  48, false, [] { return drawArrowKey (true, true); } },
        { "right_rest.png",               36,  48, false, [] { return drawArrowKey (false, false); } },
        { "right_pressed.png",            36,  48, false, [] { return drawArrowKey (false, true); } },
        { "key_off.png",                 120, 150, false, [] { return drawKeySwitch (false); } },
        { "key_on.png",                  120, 150, false, [] { return drawKeySwitch (true); } },
        { "key_cleanup.png",              76,  44, false, [] { return drawKeyCleanup(); } },
        { "rack_switch_off.png",          22,  16, false, [] { return drawRackSwitch (false); } },
        { "rack_switch_on.png",           22,  16, false, [] { return drawRackSwitch (true); } },
        { "rack_bars_blank.png",          22,  12, false, [] { return drawRackBarsBlank(); } },
        { "rack_empty_gen.png",          684,  92, true,  [] { return drawRackStrip (false); } },
        { "rack_on_gen.png",             684,  92, true,  [] { return drawRackStrip (true); } },
        { "rack_module_off_gen.png",      24,  44, false, [] { return drawRackModule (false); } },
        { "rack_module_on_gen.png",       24,  44, false, [] { return drawRackModule (true); } },
        { "rack3_master_empty.png",      684,  78, true,  [] { return drawMasterEmpty(); } },
        { "rack3_sprite_sheet.png",      684, 156, true,  [] { return drawSpriteSheet(); } },
        { "middle_screen_bezel_gen.png", 468, 138, true,  [] { return drawMiddleScreenBezel(); } },
        { "middle_left_housing_gen.png",  94, 138, true,  [] { return drawMiddleHousing (true); } },
        { "middle_right_housing_gen.png", 94, 138, true,  [] { return drawMiddleHousing (false); } },
        { "lamp_off.png",                 22,  22, false, [] { return drawLampImage (22, palette::amber, false); } },
        { "lamp_on.png",                  22,  22, false, [] { return drawLampImage (22, palette::amber, true); } },
        { "ovl_off.png",                  18,  18, false, [] { return drawLampImage (18, palette::ledRed, false); } },
        { "ovl_on.png",                   18,  18, false, [] { return drawLampImage (18, palette::ledRed, true); } },
        { "ceiling_off.png",              18,  18, false, [] { return drawLampImage (18, palette::ledRed, false); } },
        { "ceiling_on.png",               18,  18, false, [] { return drawLampImage (18, palette::ledRed, true); } },
        { "bypass_off.png",               48,  92, false, [] { return drawBypassImage (false); } },
        { "bypass_on.png",                48,  92, false, [] { return drawBypassImage (true); } },
        { "bypass_rocker_strip.png",     384, 368, true,  [] { return drawRockerStrip(); } },
        { "name_base.png",               176,  48, false, [] { return drawNameBase(); } },
        { "explanation_base.png",        268,  95, false, [] { return drawExplanationBase(); } },
        { "graph_base.png",              468, 140, false, [] { return drawGraphBase(); } },
    };

    int failures = 0;
    for (const auto& e : entries)
    {
        auto image = e.draw();
        if (image.getWidth() != e.width || image.getHeight() != e.height)
        {
            std::cerr << "tarvik-artgen: " << e.file << " came out " << image.getWidth() << " x "
                      << image.getHeight() << ", expected " << e.width << " x " << e.height << "\n";
            ++failures;
            continue;
        }
        if (e.opaque)
            image = opaqueCopy (image);

        if (! writePng (image, folder.getChildFile (e.file)))
        {
            std::cerr << "tarvik-artgen: cannot write " << e.file << "\n";
            ++failures;
        }
    }

    std::cout << "tarvik-artgen: wrote " << (int) std::size (entries) - failures << " of "
              << (int) std::size (entries) << " images to " << folder.getFullPathName() << "\n";
    return failures == 0 ? 0 : 1;
}
