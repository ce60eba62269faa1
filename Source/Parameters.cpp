#include "Parameters.h"

juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout()
{
    constexpr int versionHint = 1;
    auto id = [] (const char* name) { return juce::ParameterID { name, versionHint }; };

    juce::AudioProcessorValueTreeState::ParameterLayout layout;

    layout.add (std::make_unique<juce::AudioParameterFloat> (id (ParameterIds::input), "Input",
                                                             juce::NormalisableRange<float> (-18.0f, 18.0f, 0.1f, 1.0f),
                                                             0.0f,
                                                             juce::AudioParameterFloatAttributes().withLabel ("dB")));

    juce::StringArray presetNames;
    for (const auto& record : kt::kPresets)
        presetNames.add (record.name);
    layout.add (std::make_unique<juce::AudioParameterChoice> (id (ParameterIds::preset), "Preset", presetNames, 1));

    layout.add (std::make_unique<juce::AudioParameterBool> (id (ParameterIds::autoInput), "Auto Input", false));
    layout.add (std::make_unique<juce::AudioParameterBool> (id (ParameterIds::extreme), "Extreme", false));
    layout.add (std::make_unique<juce::AudioParameterBool> (id (ParameterIds::bypass), "Bypass", false));

    for (const auto& stage : kStageSwitchParameters)
        layout.add (std::make_unique<juce::AudioParameterBool> (id (stage.id), stage.name, true));

    return layout;
}
