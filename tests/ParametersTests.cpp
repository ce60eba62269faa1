#include "ProcessorHarness.h"

#include <gtest/gtest.h>

namespace
{
struct ExpectedParameter
{
    const char* id;
    const char* name;
    float defaultValue;
};

// Host-visible order, names and defaults of all 22 parameters.
const ExpectedParameter expectedParameters[] = {
    { "input", "Input", 0.0f },
    { "preset", "Preset", 1.0f },
    { "autoInput", "Auto Input", 0.0f },
    { "extreme", "Extreme", 0.0f },
    { "bypass", "Bypass", 0.0f },
    { "stageInputHpf", "Input HPF", 1.0f },
    { "stagePhase", "Phase Rotator", 1.0f },
    { "stageAgc", "AGC", 1.0f },
    { "stagePostComp", "Post Compressor", 1.0f },
    { "stageLfShelf", "LF Shelf", 1.0f },
    { "stageMultiband", "Multiband", 1.0f },
    { "stageStereo", "Stereo / Mono LF", 1.0f },
    { "stageFmPreFilter", "FM 15K Pre Filter", 1.0f },
    { "stageFmPhase", "FM Phase", 1.0f },
    { "stagePreEmphasis", "FM Pre Emphasis", 1.0f },
    { "stageHfLimiter", "FM HF Limiter", 1.0f },
    { "stageFmClipper", "FM Clipper", 1.0f },
    { "stageDeEmphasis", "FM De Emphasis", 1.0f },
    { "stageBassClipper", "Bass Clipper", 1.0f },
    { "stageOutputHpf", "Output HPF", 1.0f },
    { "stageFinal15k", "Final 15K LPF", 1.0f },
    { "stageTruePeak", "True Peak Limiter", 1.0f },
};

TEST (Parameters, TwentyTwoInHostOrderWithTheirNamesAndDefaults)
{
    KorvaneTarvikAudioProcessor proc;
    const auto& params = proc.getParameters();
    ASSERT_EQ ((size_t) params.size(), std::size (expectedParameters));

    for (size_t i = 0; i < std::size (expectedParameters); ++i)
    {
        const auto& expected = expectedParameters[i];
        auto* p = dynamic_cast<juce::RangedAudioParameter*> (params[(int) i]);
        ASSERT_NE (p, nullptr);
        EXPECT_EQ (p->getParameterID(), expected.id) << i;
        EXPECT_EQ (p->getName (100), expected.name) << i;
        EXPECT_EQ (p->getVersionHint(), 1) << expected.id;
        EXPECT_TRUE (p->isAutomatable()) << expected.id;
        EXPECT_FALSE (p->isMetaParameter()) << expected.id;
        EXPECT_FLOAT_EQ (p->convertFrom0to1 (p->getDefaultValue()), expected.defaultValue) << expected.id;
        EXPECT_FLOAT_EQ (proc.parameters.getRawParameterValue (expected.id)->load(), expected.defaultValue) << expected.id;

        const bool isSwitch = i >= 2;
        EXPECT_EQ (dynamic_cast<juce::AudioParameterBool*> (p) != nullptr, isSwitch) << expected.id;
    }
}

TEST (Parameters, InputIsAStepped18DbTrimInDb)
{
    KorvaneTarvikAudioProcessor proc;
    auto* input = dynamic_cast<juce::AudioParameterFloat*> (proc.parameters.getParameter ("input"));
    ASSERT_NE (input, nullptr);
    EXPECT_EQ (input->getLabel(), "dB");
    EXPECT_FLOAT_EQ (input->range.start, -18.0f);
    EXPECT_FLOAT_EQ (input->range.end, 18.0f);
    EXPECT_FLOAT_EQ (input->range.interval, 0.1f);
    EXPECT_FLOAT_EQ (input->range.skew, 1.0f);
    EXPECT_EQ (input->getCurrentValueAsText(), "0.0");

    ProcessorHarness h;
    const std::pair<float, float> cases[] = { { 3.14f, 3.1f }, { -7.77f, -7.8f }, { 40.0f, 18.0f }, { -40.0f, -18.0f } };
    for (auto [requested, expected] : cases)
    {
        h.set ("input", requested);
        EXPECT_NEAR (h.get ("input"), expected, 1.0e-4f) << requested;
    }
}

TEST (Parameters, PresetItemsAreThePresetRecordNames)
{
    KorvaneTarvikAudioProcessor proc;
    auto* preset = dynamic_cast<juce::AudioParameterChoice*> (proc.parameters.getParameter ("preset"));
    ASSERT_NE (preset, nullptr);
    ASSERT_EQ (preset->choices.size(), kt::kPresetCount);
    for (int i = 0; i < kt::kPresetCount; ++i)
        EXPECT_EQ (preset->choices[i], kt::kPresets[(size_t) i].name);
    EXPECT_EQ (preset->getCurrentChoiceName(), "BROADCAST");

    const char* names[] = { "NATURAL", "BROADCAST", "DENSE", "HOT", "IMPACT", "CLASSIC HITS", "DANCE", "TALK", "CLASSICAL" };
    for (int i = 0; i < kt::kPresetCount; ++i)
        EXPECT_STREQ (kt::kPresets[(size_t) i].name, names[i]);
}
} // namespace
