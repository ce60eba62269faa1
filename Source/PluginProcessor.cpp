#include "PluginProcessor.h"

#include "PluginEditor.h"
#include "dsp/DspMath.h"

#include <cmath>

namespace
{
constexpr float kInputLimit = 1000.0f; // +60 dBFS: anything louder is damage, not programme

/** A sample that is not finite becomes silence and an absurdly large one is held at +60 dBFS, so
    one bad value can never poison the filters' state. */
float sanitise (float x) noexcept
{
    return std::isfinite (x) ? juce::jlimit (-kInputLimit, kInputLimit, x) : 0.0f;
}

constexpr juce::uint32 kStateMagic = 0x21324356;
} // namespace

//==================================================================================================
KorvaneTarvikAudioProcessor::KorvaneTarvikAudioProcessor()
    : AudioProcessor (BusesProperties()
                          .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                          .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      parameters (*this, nullptr, "STATE", createParameterLayout())
{
    inputParam = readerFor (ParameterIds::input);
    presetParam = readerFor (ParameterIds::preset);
    autoInputParam = readerFor (ParameterIds::autoInput);
    extremeParam = readerFor (ParameterIds::extreme);
    bypassParam = readerFor (ParameterIds::bypass);
    for (size_t i = 0; i < stageParams.size(); ++i)
        stageParams[i] = readerFor (kStageSwitchParameters[i].id);
}

KorvaneTarvikAudioProcessor::ParameterReader KorvaneTarvikAudioProcessor::readerFor (const char* id)
{
    auto* parameter = parameters.getParameter (id);
    jassert (parameter != nullptr);
    return { parameters.getRawParameterValue (id), parameter->convertFrom0to1 (parameter->getDefaultValue()) };
}

bool KorvaneTarvikAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto out = layouts.getMainOutputChannelSet();
    return out == layouts.getMainInputChannelSet()
           && (out == juce::AudioChannelSet::mono() || out == juce::AudioChannelSet::stereo());
}

juce::AudioProcessorEditor* KorvaneTarvikAudioProcessor::createEditor()
{
    return new KorvaneTarvikAudioProcessorEditor (*this);
}

//==================================================================================================
void KorvaneTarvikAudioProcessor::prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock)
{
    // Read the parameters first, so a restored session starts with its own preset, trim and
    // switches instead of the defaults for a block.
    readParametersIntoChain (false, false);
    chain.prepare (sampleRate);

    if (getLatencySamples() != chain.totalLatency)
        setLatencySamples (chain.totalLatency);

    int capacity = chain.totalLatency + std::max (0, maximumExpectedSamplesPerBlock) + 16;
    if (capacity < 2)
        capacity = 1;
    dryDelay.prepare (capacity, chain.totalLatency);

    bypassMix = bypassParam.isOn() ? 1.0f : 0.0f;
    bypassStep = (float) (1.0 / std::max (1.0, 0.02 * chain.sampleRate));
    prepared = true;
}

float KorvaneTarvikAudioProcessor::readParametersIntoChain (bool hostBypassed, bool applyChangedPreset) noexcept
{
    auto& c = chain;

    // Manual trim. After auto input hands back, the trim stays where auto input left it until
    // the knob really moves.
    const float knobDb = juce::jlimit (-18.0f, 18.0f, inputParam.get());
    if (! c.manualTrimHeld)
        c.manualTrimDb = knobDb;
    else if (std::abs (knobDb - c.lastInputKnobDb) > 0.05f)
    {
        c.manualTrimHeld = false;
        c.manualTrimDb = knobDb;
    }
    c.lastInputKnobDb = knobDb;

    const bool autoOn = autoInputParam.isOn();
    if (autoOn != c.autoInputEnabled)
    {
        c.autoInputEnabled = autoOn;
        if (autoOn)
        {
            c.autoTrimDb = c.inputTrimDb;
        }
        else
        {
            c.manualTrimDb = c.autoTrimDb;
            c.manualTrimHeld = true;
        }
        c.autoSettledSamples = 0;
    }

    const int presetIndex = juce::jlimit (0, kt::kPresetCount - 1, (int) std::lround (presetParam.get()));
    if (presetIndex != c.presetIndex.load (std::memory_order_relaxed))
    {
        c.presetIndex.store (presetIndex, std::memory_order_relaxed);
        if (applyChangedPreset)
            c.applyPreset();
    }

    c.extremeTarget = extremeParam.isOn() ? 1.0f : 0.0f;

    for (size_t i = 0; i < stageParams.size(); ++i)
        c.stageEnabled[i] = stageParams[i].isOn();

    return (hostBypassed || bypassParam.isOn()) ? 1.0f : 0.0f;
}

void KorvaneTarvikAudioProcessor::processInternal (juce::AudioBuffer<float>& buffer, bool hostBypassed) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    const int numChannels = buffer.getNumChannels();
    // Until the host prepares us nothing is sized or designed: pass the audio through untouched.
    if (numChannels == 0 || ! prepared)
        return;

    const float bypassTarget = readParametersIntoChain (hostBypassed, true);

    const int numSamples = buffer.getNumSamples();
    if (numSamples == 0)
        return;

    float* left = buffer.getWritePointer (0);
    float* right = numChannels > 1 ? buffer.getWritePointer (1) : nullptr;

    for (int n = 0; n < numSamples; ++n)
    {
        const float inL = sanitise (left[n]);
        const float inR = right != nullptr ? sanitise (right[n]) : inL;

        const auto dry = dryDelay.process ({ inL, inR });
        const auto wet = chain.process ({ inL, inR });

        bypassMix = kt::rampToward (bypassMix, bypassTarget, bypassStep);

        left[n] = wet.left * (1.0f - bypassMix) + dry.left * bypassMix;
        if (right != nullptr)
            right[n] = wet.right * (1.0f - bypassMix) + dry.right * bypassMix;
    }
}

//==================================================================================================
void KorvaneTarvikAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    const auto state = parameters.copyState();
    if (auto xml = state.createXml())
    {
        xml->setTagName ("STATE");
        destData.reset();
        copyXmlToBinary (*xml, destData);
    }
}

void KorvaneTarvikAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= 8
        || juce::ByteOrder::littleEndianInt (data) != kStateMagic)
        return;

    const auto xml = getXmlFromBinary (data, sizeInBytes);
    if (xml == nullptr || ! xml->getTagName().equalsIgnoreCase ("STATE"))
        return;

    // Every parameter takes its saved value, or its default when the block has none (or a value
    // that is not a finite number). The tree is rebuilt rather than adopted, so the root stays
    // "STATE" whatever case the block used and stray elements are dropped.
    juce::ValueTree restored ("STATE");
    for (auto* parameter : getParameters())
    {
        auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameter);
        if (ranged == nullptr)
            continue;

        const auto id = ranged->getParameterID();
        double value = ranged->convertFrom0to1 (ranged->getDefaultValue());

        for (auto* child : xml->getChildWithTagNameIterator ("PARAM"))
        {
            if (child->getStringAttribute ("id") == id)
            {
                const double saved = child->getDoubleAttribute ("value", value);
                if (std::isfinite (saved))
                    value = saved;
                break;
            }
        }

        restored.appendChild (juce::ValueTree ("PARAM", { { "id", id }, { "value", value } }), nullptr);
    }

    parameters.replaceState (restored);
}

//==================================================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new KorvaneTarvikAudioProcessor();
}
