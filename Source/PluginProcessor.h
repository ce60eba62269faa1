#pragma once

#include "Parameters.h"
#include "dsp/BroadcastChain.h"
#include "dsp/StereoDelayLine.h"

#include <juce_audio_processors/juce_audio_processors.h>

class KorvaneTarvikAudioProcessor : public juce::AudioProcessor
{
public:
    KorvaneTarvikAudioProcessor();
    ~KorvaneTarvikAudioProcessor() override = default;

    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override {}

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&) override { processInternal (buffer, false); }
    void processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&) override { processInternal (buffer, true); }
    using juce::AudioProcessor::processBlock;
    using juce::AudioProcessor::processBlockBypassed;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override { return true; }

    const juce::String getName() const override { return "KORVANE Tarvik 4.1"; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    bool isMidiEffect() const override { return false; }
    double getTailLengthSeconds() const override { return 0.0; }

    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    juce::AudioProcessorValueTreeState parameters;
    kt::BroadcastChain chain;

private:
    /** A parameter's live value as the audio thread reads it: a value that is not finite (from a
        host or a damaged state block) reads as the parameter's default. */
    struct ParameterReader
    {
        std::atomic<float>* value = nullptr;
        float defaultValue = 0.0f;

        float get() const noexcept
        {
            const float v = value->load (std::memory_order_relaxed);
            return std::isfinite (v) ? v : defaultValue;
        }
        bool isOn() const noexcept { return get() > 0.5f; }
    };

    ParameterReader readerFor (const char* id);

    /** Turns the current parameter values into chain settings (trim and auto-input hand-over,
        preset, EXTREME target, stage switches) and returns the bypass target. */
    float readParametersIntoChain (bool hostBypassed, bool applyChangedPreset) noexcept;

    void processInternal (juce::AudioBuffer<float>& buffer, bool hostBypassed) noexcept;

    kt::StereoDelayLine dryDelay;
    float bypassMix = 0.0f;
    float bypassStep = 0.0f;
    bool prepared = false;

    ParameterReader inputParam, presetParam, autoInputParam, extremeParam, bypassParam;
    std::array<ParameterReader, kt::kStageSwitchCount> stageParams;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KorvaneTarvikAudioProcessor)
};
