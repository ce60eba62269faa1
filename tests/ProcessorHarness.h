#pragma once

// Drives KorvaneTarvikAudioProcessor the way a host does, for the tests.

#include "PluginProcessor.h"
#include "TestSignals.h"

#include <algorithm>

class ProcessorHarness
{
public:
    KorvaneTarvikAudioProcessor proc;

    /** Sets a parameter's plain value as a host or the editor would. */
    void set (const juce::String& id, float plainValue)
    {
        auto* p = proc.parameters.getParameter (id);
        jassert (p != nullptr);
        p->setValueNotifyingHost (p->convertTo0to1 (plainValue));
    }

    /** With every stage switched off the wet path is the input trim followed by pure delay. */
    void switchAllStagesOff()
    {
        for (const auto& stage : kStageSwitchParameters)
            set (stage.id, 0.0f);
    }

    float get (const juce::String& id) const { return proc.parameters.getRawParameterValue (id)->load(); }

    /** Writes the raw value the audio thread reads, bypassing the parameter's own range. */
    void setRaw (const juce::String& id, float value) { proc.parameters.getRawParameterValue (id)->store (value); }

    void prepare (double sampleRate, int maxBlock = 512, int channels = 2)
    {
        const auto set = channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (set);
        layout.outputBuses.add (set);
        proc.setBusesLayout (layout);
        proc.setRateAndBufferSizeDetails (sampleRate, maxBlock);
        proc.prepareToPlay (sampleRate, maxBlock);
    }

    /** Runs the whole signal through in blocks of blockSize; returns the output. */
    testsig::Stereo process (const testsig::Stereo& in, int blockSize = 512, bool hostBypassed = false)
    {
        testsig::Stereo out = in;
        juce::MidiBuffer midi;
        for (size_t start = 0; start < in.size(); start += (size_t) blockSize)
        {
            const int n = (int) std::min ((size_t) blockSize, in.size() - start);
            float* channels[] = { out.left.data() + start, out.right.data() + start };
            juce::AudioBuffer<float> buffer (channels, 2, n);
            if (hostBypassed)
                proc.processBlockBypassed (buffer, midi);
            else
                proc.processBlock (buffer, midi);
        }
        return out;
    }

    /** Same for a mono stream through a one-channel buffer. */
    std::vector<float> processMono (const std::vector<float>& in, int blockSize = 512)
    {
        auto out = in;
        juce::MidiBuffer midi;
        for (size_t start = 0; start < in.size(); start += (size_t) blockSize)
        {
            const int n = (int) std::min ((size_t) blockSize, in.size() - start);
            float* channels[] = { out.data() + start };
            juce::AudioBuffer<float> buffer (channels, 1, n);
            proc.processBlock (buffer, midi);
        }
        return out;
    }

    int latency() const { return proc.getLatencySamples(); }
};
