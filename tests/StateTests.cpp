#include "ProcessorHarness.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
juce::MemoryBlock save (KorvaneTarvikAudioProcessor& proc)
{
    juce::MemoryBlock block;
    proc.getStateInformation (block);
    return block;
}

void restore (KorvaneTarvikAudioProcessor& proc, const juce::MemoryBlock& block)
{
    proc.setStateInformation (block.getData(), (int) block.getSize());
}

std::vector<float> allValues (KorvaneTarvikAudioProcessor& proc)
{
    std::vector<float> values;
    for (auto* p : proc.getParameters())
        values.push_back (proc.parameters.getRawParameterValue (dynamic_cast<juce::RangedAudioParameter*> (p)->getParameterID())->load());
    return values;
}

juce::String xmlText (const juce::MemoryBlock& block)
{
    const auto* bytes = static_cast<const char*> (block.getData());
    return juce::String::fromUTF8 (bytes + 8, (int) block.getSize() - 9);
}

/** A state block around any XML text, as the framework writes one. */
juce::MemoryBlock blockFor (const juce::String& xml)
{
    juce::MemoryBlock block;
    juce::MemoryOutputStream out (block, false);
    out.writeInt (0x21324356);
    out.writeInt ((int) xml.getNumBytesAsUTF8());
    out.write (xml.toRawUTF8(), xml.getNumBytesAsUTF8());
    out.writeByte (0);
    return block;
}

/** Sets every parameter away from its default. */
void changeEverything (ProcessorHarness& h)
{
    h.set ("input", 7.5f);
    h.set ("preset", 6.0f);
    h.set ("autoInput", 1.0f);
    h.set ("extreme", 1.0f);
    h.set ("bypass", 1.0f);
    for (const auto& stage : kStageSwitchParameters)
        h.set (stage.id, 0.0f);
}

//==================================================================================================
TEST (State, DefaultBlockHasTheFrameworkLayoutAndEveryDefault)
{
    KorvaneTarvikAudioProcessor proc;
    const auto block = save (proc);
    ASSERT_GT (block.getSize(), 9u);

    const auto* bytes = static_cast<const juce::uint8*> (block.getData());
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes), 0x21324356u);
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes + 4), (juce::uint32) block.getSize() - 9);
    EXPECT_EQ (bytes[block.getSize() - 1], 0);

    const auto text = xmlText (block);
    EXPECT_TRUE (text.startsWith ("<?xml"));
    EXPECT_FALSE (text.containsChar ('\n'));

    const auto xml = juce::parseXML (text);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "STATE");
    EXPECT_EQ (xml->getNumChildElements(), 22);

    std::map<juce::String, double> values;
    for (auto* child : xml->getChildIterator())
    {
        EXPECT_EQ (child->getTagName(), "PARAM");
        EXPECT_EQ (child->getNumAttributes(), 2);
        values[child->getStringAttribute ("id")] = child->getDoubleAttribute ("value", -99.0);
    }
    EXPECT_EQ (values["input"], 0.0);
    EXPECT_EQ (values["preset"], 1.0);
    for (const char* off : { "autoInput", "extreme", "bypass" })
        EXPECT_EQ (values[off], 0.0) << off;
    for (const auto& stage : kStageSwitchParameters)
        EXPECT_EQ (values[stage.id], 1.0) << stage.id;
}

TEST (State, SaveChangeEverythingRestoreGivesBackEveryValue)
{
    ProcessorHarness h;
    h.set ("input", -3.3f);
    h.set ("preset", 3.0f);
    h.set ("stageAgc", 0.0f);
    const auto saved = save (h.proc);
    const auto expected = allValues (h.proc);

    changeEverything (h);
    EXPECT_NE (allValues (h.proc), expected);
    restore (h.proc, saved);
    EXPECT_EQ (allValues (h.proc), expected);
}

TEST (State, RootNameIsCheckedWithoutRegardToCaseAndAlwaysSavedAsSTATE)
{
    const auto xml = [] (const char* root) {
        return juce::String ("<?xml version=\"1.0\" encoding=\"UTF-8\"?><") + root
               + "><PARAM id=\"preset\" value=\"5\"/><PARAM id=\"input\" value=\"-4\"/></" + root + ">";
    };

    for (const char* root : { "STATE", "state", "State" })
    {
        ProcessorHarness h;
        restore (h.proc, blockFor (xml (root)));
        EXPECT_FLOAT_EQ (h.get ("preset"), 5.0f) << root;
        EXPECT_FLOAT_EQ (h.get ("input"), -4.0f) << root;
        EXPECT_TRUE (xmlText (save (h.proc)).contains ("<STATE>")) << root;
    }

    for (const char* root : { "STATES", "PARAMS", "S" })
    {
        ProcessorHarness h;
        h.set ("preset", 2.0f);
        const auto before = allValues (h.proc);
        restore (h.proc, blockFor (xml (root)));
        EXPECT_EQ (allValues (h.proc), before) << root;
    }
}

TEST (State, AParameterMissingFromTheBlockTakesItsDefault)
{
    ProcessorHarness h;
    changeEverything (h);
    restore (h.proc, blockFor ("<?xml version=\"1.0\"?><STATE><PARAM id=\"extreme\" value=\"1\"/><JUNK a=\"b\"/></STATE>"));

    EXPECT_FLOAT_EQ (h.get ("extreme"), 1.0f);
    EXPECT_FLOAT_EQ (h.get ("input"), 0.0f);
    EXPECT_FLOAT_EQ (h.get ("preset"), 1.0f);
    EXPECT_FLOAT_EQ (h.get ("bypass"), 0.0f);
    for (const auto& stage : kStageSwitchParameters)
        EXPECT_FLOAT_EQ (h.get (stage.id), 1.0f) << stage.id;
    EXPECT_FALSE (xmlText (save (h.proc)).contains ("JUNK"));
}

TEST (State, ValuesThatAreNotFiniteNumbersTakeTheDefault)
{
    ProcessorHarness h;
    h.set ("input", 5.0f);
    restore (h.proc, blockFor ("<?xml version=\"1.0\"?><STATE><PARAM id=\"input\" value=\"nan\"/>"
                               "<PARAM id=\"preset\" value=\"inf\"/><PARAM id=\"bypass\" value=\"-inf\"/></STATE>"));
    EXPECT_FLOAT_EQ (h.get ("input"), 0.0f);
    EXPECT_FLOAT_EQ (h.get ("preset"), 1.0f);
    EXPECT_FLOAT_EQ (h.get ("bypass"), 0.0f);
}

TEST (State, DamagedBlocksAreIgnoredWithoutChangingAnything)
{
    ProcessorHarness h;
    h.set ("preset", 0.0f);
    h.set ("input", 2.0f);
    const auto good = save (h.proc);

    ProcessorHarness other;
    changeEverything (other);
    const auto otherBlock = save (other.proc);
    const auto before = allValues (h.proc);

    std::vector<std::pair<const char*, juce::MemoryBlock>> damaged;
    damaged.push_back ({ "empty", juce::MemoryBlock() });
    damaged.push_back ({ "header only", juce::MemoryBlock (otherBlock.getData(), 8) });
    damaged.push_back ({ "truncated", juce::MemoryBlock (otherBlock.getData(), otherBlock.getSize() / 2) });
    auto wrongMagic = otherBlock;
    static_cast<char*> (wrongMagic.getData())[0] ^= 0x40;
    damaged.push_back ({ "wrong magic", wrongMagic });
    damaged.push_back ({ "malformed XML", blockFor ("<?xml version=\"1.0\"?><STATE><PARAM id=\"preset\" value=\"6\"") });
    damaged.push_back ({ "not XML", blockFor ("preset=6") });
    damaged.push_back ({ "empty XML", blockFor ("") });

    for (const auto& [name, block] : damaged)
    {
        restore (h.proc, block);
        EXPECT_EQ (allValues (h.proc), before) << name;
    }
    h.proc.setStateInformation (nullptr, 100);
    EXPECT_EQ (allValues (h.proc), before);
    (void) good;
}

TEST (State, SeededFuzzNeverCrashesOrLeavesAnIllegalValue)
{
    ProcessorHarness donor;
    changeEverything (donor);
    const auto valid = save (donor.proc);

    ProcessorHarness h;
    std::mt19937 rng (20261211u);
    const auto legal = [&] {
        for (auto* p : h.proc.getParameters())
        {
            auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (p);
            const float v = h.get (ranged->getParameterID());
            if (! std::isfinite (v) || v < ranged->getNormalisableRange().start || v > ranged->getNormalisableRange().end)
                return false;
        }
        return true;
    };

    for (int round = 0; round < 3000; ++round)
    {
        juce::MemoryBlock block;
        const int kind = round % 4;
        if (kind == 0)
        {
            // Pure noise, sometimes behind a valid magic number.
            block.setSize ((size_t) (rng() % 200));
            for (size_t i = 0; i < block.getSize(); ++i)
                static_cast<char*> (block.getData())[i] = (char) rng();
            if (block.getSize() >= 8 && rng() % 2)
            {
                juce::ByteOrder::littleEndianInt (block.getData());
                const juce::uint32 magic = juce::ByteOrder::swapIfBigEndian ((juce::uint32) 0x21324356);
                std::memcpy (block.getData(), &magic, 4);
            }
        }
        else
        {
            block = valid;
            auto* bytes = static_cast<char*> (block.getData());
            const int flips = 1 + (int) (rng() % 8);
            for (int i = 0; i < flips; ++i)
            {
                const size_t at = rng() % block.getSize();
                if (kind == 1)
                    bytes[at] = (char) rng();                         // random byte
                else if (kind == 2)
                    bytes[at] = "<>\"=/ 0123456789.-eE"[rng() % 20]; // XML-ish damage
                else
                    block.setSize (at, false);                        // truncation
                if (block.getSize() == 0)
                    break;
                bytes = static_cast<char*> (block.getData());
            }
        }

        restore (h.proc, block);
        ASSERT_TRUE (legal()) << "round " << round;
    }

    // Still a working processor afterwards: a valid block restores exactly.
    restore (h.proc, valid);
    EXPECT_EQ (allValues (h.proc), allValues (donor.proc));
}

TEST (State, RestoringAutoInputOffKeepsTheTrimWhereAutoInputLeftIt)
{
    ProcessorHarness h;
    h.set ("autoInput", 1.0f);
    h.prepare (48000.0);
    h.process (testsig::Stereo (480), 480);
    h.proc.chain.autoTrimDb = -9.0f; // where auto input has taken the trim
    h.process (testsig::Stereo (9600), 480);

    ProcessorHarness saved;
    saved.set ("input", 4.0f);
    restore (h.proc, save (saved.proc));
    h.process (testsig::Stereo (9600), 480);
    EXPECT_NEAR (h.proc.chain.inputTrimDb, -9.0f, 0.01f);

    h.set ("input", 4.5f);
    h.process (testsig::Stereo (9600), 480);
    EXPECT_NEAR (h.proc.chain.inputTrimDb, 4.5f, 0.01f);
}

//==================================================================================================
TEST (Identity, NameProgramsBusesAndMidi)
{
    KorvaneTarvikAudioProcessor proc;
    EXPECT_EQ (proc.getName(), "KORVANE Tarvik 4.1");
    EXPECT_EQ (proc.getNumPrograms(), 1);
    EXPECT_EQ (proc.getCurrentProgram(), 0);
    EXPECT_EQ (proc.getProgramName (0), "");
    EXPECT_EQ (proc.getProgramName (5), "");
    proc.setCurrentProgram (3);
    proc.changeProgramName (0, "x");
    EXPECT_EQ (proc.getCurrentProgram(), 0);
    EXPECT_EQ (proc.getProgramName (0), "");
    EXPECT_EQ (proc.getTailLengthSeconds(), 0.0);
    EXPECT_FALSE (proc.acceptsMidi());
    EXPECT_FALSE (proc.producesMidi());
    EXPECT_FALSE (proc.isMidiEffect());
    EXPECT_TRUE (proc.hasEditor());

    EXPECT_EQ (proc.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (proc.getBus (false, 0)->getName(), "Output");
    EXPECT_EQ (proc.getMainBusNumInputChannels(), 2);
    EXPECT_EQ (proc.getMainBusNumOutputChannels(), 2);

    using Set = juce::AudioChannelSet;
    const std::tuple<Set, Set, bool> layouts[] = {
        { Set::stereo(), Set::stereo(), true }, { Set::mono(), Set::mono(), true },
        { Set::mono(), Set::stereo(), false }, { Set::stereo(), Set::mono(), false },
        { Set::create5point1(), Set::create5point1(), false }, { Set::disabled(), Set::disabled(), false },
    };
    for (const auto& [in, out, supported] : layouts)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (in);
        layout.outputBuses.add (out);
        EXPECT_EQ (proc.checkBusesLayoutSupported (layout), supported) << in.getDescription() << " -> " << out.getDescription();
    }
}

TEST (Identity, EditorOpensAtItsFixedSizeAndPaintsWithoutADisplay)
{
    KorvaneTarvikAudioProcessor proc;
    std::unique_ptr<juce::AudioProcessorEditor> editor (proc.createEditor());
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (editor->getWidth(), 720);
    EXPECT_EQ (editor->getHeight(), 614);
    const auto image = editor->createComponentSnapshot (editor->getLocalBounds());
    EXPECT_EQ (image.getWidth(), 720);
}
} // namespace
