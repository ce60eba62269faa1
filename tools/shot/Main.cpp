// tarvik-shot: renders the editor to a PNG for a given state, with no display needed.
//
//   tarvik-shot [--preset NAME|INDEX] [--extreme] [--bypass] [--auto-input] [--input-db DB]
//               [--stage ID=on|off]... [--audio SECONDS] [--page N] [--ticks N] [--time-paint N] [--crop X,Y,W,H]
//               [--then-preset NAME|INDEX] [--then-extreme] [--chain] OUTPUT.png
//
//   --chain opens the signal-chain window over the faceplate, as a click on "See chain" does.

#include "PluginEditor.h"
#include "PluginProcessor.h"
#include "common/DemoProgramme.h"

#include <iostream>

namespace
{
int usage (const juce::String& message)
{
    std::cerr << "tarvik-shot: " << message << "\n"
              << "usage: tarvik-shot [--preset NAME|INDEX] [--extreme] [--bypass] [--auto-input] [--input-db DB]\n"
                 "                   [--stage ID=on|off]... [--audio SECONDS] [--page N] [--ticks N] [--time-paint N]\n"
                 "                   [--crop X,Y,W,H] [--then-preset NAME|INDEX] [--then-extreme] [--chain]\n"
                 "                   OUTPUT.png\n";
    return 2;
}

void setParameter (KorvaneTarvikAudioProcessor& p, const juce::String& id, float plain)
{
    if (auto* parameter = p.parameters.getParameter (id))
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (plain));
}

int presetIndexFor (const juce::String& text)
{
    if (text.containsOnly ("0123456789"))
        return text.getIntValue() <= 8 ? text.getIntValue() : -1;
    for (int i = 0; i < kt::kPresetCount; ++i)
        if (text.equalsIgnoreCase (kt::kPresets[(size_t) i].name))
            return i;
    return -1;
}
} // namespace

int main (int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    KorvaneTarvikAudioProcessor processor;

    double audioSeconds = 0.0;
    int page = -1, ticks = 3, timedPaints = 0;
    juce::Rectangle<int> crop;
    int laterPreset = -1;
    bool laterExtreme = false;
    bool showChain = false;
    juce::File output;

    for (int i = 1; i < argc; ++i)
    {
        const juce::String arg (argv[i]);
        const auto next = [&]() -> juce::String { return i + 1 < argc ? juce::String (argv[++i]) : juce::String(); };

        if (arg == "--preset")
        {
            const int index = presetIndexFor (next());
            if (index < 0)
                return usage ("unknown preset");
            setParameter (processor, "preset", (float) index);
        }
        else if (arg == "--then-preset")
        {
            laterPreset = presetIndexFor (next());
            if (laterPreset < 0)
                return usage ("unknown preset");
        }
        else if (arg == "--then-extreme")
            laterExtreme = true;
        else if (arg == "--chain")
            showChain = true;
        else if (arg == "--extreme")
            setParameter (processor, "extreme", 1.0f);
        else if (arg == "--bypass")
            setParameter (processor, "bypass", 1.0f);
        else if (arg == "--auto-input")
            setParameter (processor, "autoInput", 1.0f);
        else if (arg == "--input-db")
            setParameter (processor, "input", next().getFloatValue());
        else if (arg == "--stage")
        {
            const auto spec = next();
            const auto id = spec.upToFirstOccurrenceOf ("=", false, false);
            if (! id.startsWith ("stage") || processor.parameters.getParameter (id) == nullptr)
                return usage ("unknown stage " + id);
            setParameter (processor, id, spec.fromFirstOccurrenceOf ("=", false, false) == "on" ? 1.0f : 0.0f);
        }
        else if (arg == "--audio")
            audioSeconds = next().getDoubleValue();
        else if (arg == "--page")
            page = next().getIntValue();
        else if (arg == "--ticks")
            ticks = juce::jmax (1, next().getIntValue());
        else if (arg == "--crop")
        {
            const auto numbers = juce::StringArray::fromTokens (next(), ",", "");
            if (numbers.size() != 4)
                return usage ("--crop takes X,Y,W,H");
            crop = { numbers[0].getIntValue(), numbers[1].getIntValue(), numbers[2].getIntValue(), numbers[3].getIntValue() };
        }
        else if (arg == "--time-paint")
            timedPaints = juce::jmax (1, next().getIntValue());
        else if (arg.startsWith ("-"))
            return usage ("unknown option " + arg);
        else
            output = juce::File::getCurrentWorkingDirectory().getChildFile (arg);
    }
    if (output == juce::File())
        return usage ("no output file");

    // Run programme through the processor first, so the meters, lamps and displays have something
    // to show.
    const double sampleRate = 48000.0;
    processor.setPlayConfigDetails (2, 2, sampleRate, 512);
    processor.prepareToPlay (sampleRate, 512);
    auto editor = std::unique_ptr<KorvaneTarvikAudioProcessorEditor> (
        dynamic_cast<KorvaneTarvikAudioProcessorEditor*> (processor.createEditor()));
    if (editor == nullptr)
        return usage ("no editor");

    if (audioSeconds > 0.0)
    {
        auto programme = kt::tools::makeDemoProgramme (sampleRate, audioSeconds);
        juce::MidiBuffer midi;
        const int blocksPerTick = juce::roundToInt (0.033 * sampleRate / 512.0);
        int block = 0;
        for (int start = 0; start + 512 <= programme.getNumSamples(); start += 512)
        {
            juce::AudioBuffer<float> view (programme.getArrayOfWritePointers(), 2, start, 512);
            processor.processBlock (view, midi);
            if (++block % juce::jmax (1, blocksPerTick) == 0)
                editor->timerCallback();
        }
    }

    // Changes made while the editor is open: the preset banner, the EXTREME message.
    if (laterPreset >= 0)
        setParameter (processor, "preset", (float) laterPreset);
    if (laterExtreme)
        setParameter (processor, "extreme", 1.0f);

    for (int t = 0; t < ticks; ++t)
        editor->timerCallback();
    if (page >= 1)
        for (int step = 0; step < 6 && editor->getDisplayPage() != juce::jlimit (1, 6, page); ++step)
            editor->changeDisplayPage (+1);

    if (showChain)
        for (auto* child : editor->getChildren())
            if (auto* link = dynamic_cast<juce::Button*> (child); link != nullptr && link->getName() == "See chain")
                link->onClick();

    if (timedPaints > 0)
    {
        // What one repaint costs: the whole faceplate, the screens and the graph display.
        juce::Image canvas (juce::Image::ARGB, editor->getWidth(), editor->getHeight(), true);
        const auto start = juce::Time::getMillisecondCounterHiRes();
        for (int i = 0; i < timedPaints; ++i)
        {
            juce::Graphics g (canvas);
            editor->paintEntireComponent (g, false);
        }
        const auto perFrame = (juce::Time::getMillisecondCounterHiRes() - start) / timedPaints;
        std::cout << "paint: " << juce::String (perFrame, 2) << " ms per frame over " << timedPaints << " frames\n";
    }

    auto image = editor->createComponentSnapshot (editor->getLocalBounds());
    if (! crop.isEmpty())
        image = image.getClippedImage (crop.getIntersection (image.getBounds()));
    output.deleteFile();
    juce::FileOutputStream stream (output);
    if (! stream.openedOk() || ! juce::PNGImageFormat().writeImageToStream (image, stream))
    {
        std::cerr << "tarvik-shot: cannot write " << output.getFullPathName() << "\n";
        return 1;
    }
    std::cout << output.getFullPathName() << "\n";
    return 0;
}
