#include "AllocationCounter.h"
#include "ProcessorHarness.h"
#include "dsp/DspMath.h"

#include <gtest/gtest.h>

namespace
{
using testsig::Stereo;

int expectedLatency (double fs) { return (int) std::lround (0.008 * fs); }

Stereo noiseStereo (size_t n, float amplitude = 0.3f)
{
    return { testsig::noise (n, amplitude, 1u), testsig::noise (n, amplitude, 2u) };
}

/** Output == input delayed by `delay` samples, exactly, from `from` on. */
void expectDelayedCopy (const Stereo& in, const Stereo& out, int delay, size_t from)
{
    for (size_t n = std::max (from, (size_t) delay); n < in.size(); ++n)
    {
        ASSERT_EQ (out.left[n], in.left[n - (size_t) delay]) << "left at " << n;
        ASSERT_EQ (out.right[n], in.right[n - (size_t) delay]) << "right at " << n;
    }
}

//==================================================================================================
TEST (Latency, IsEightMillisecondsAtEveryRateReportedAndMeasured)
{
    for (double fs : { 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0 })
    {
        ProcessorHarness h;
        h.prepare (fs);
        EXPECT_EQ (h.latency(), expectedLatency (fs)) << fs;
        EXPECT_EQ (h.proc.chain.totalLatency, expectedLatency (fs)) << fs;

        // Wet path: an impulse comes out exactly totalLatency samples later.
        h.switchAllStagesOff(); // measure the pure delay, not a filter's ringing
        const auto in = Stereo { testsig::impulse (4096, 100, 0.5f), testsig::impulse (4096, 100, 0.5f) };
        const auto out = h.process (in);
        EXPECT_EQ (testsig::peakIndex (out.left), (size_t) (100 + expectedLatency (fs))) << fs;
        EXPECT_EQ (testsig::peakIndex (out.right), (size_t) (100 + expectedLatency (fs))) << fs;
    }
}

TEST (Latency, NonsenseSampleRatesAreTreatedAs48k)
{
    for (double fs : { 0.0, -44100.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity() })
    {
        ProcessorHarness h;
        h.prepare (fs);
        EXPECT_EQ (h.latency(), 384) << fs;
        const auto out = h.process (noiseStereo (2000));
        EXPECT_TRUE (testsig::allFinite (out.left)) << fs;
    }
}

//==================================================================================================
TEST (Bypass, OutputIsTheInputDelayedByTheLatencyWithParameterAndHostBypass)
{
    for (bool hostBypass : { false, true })
    {
        for (double fs : { 44100.0, 48000.0, 96000.0 })
        {
            ProcessorHarness h;
            if (! hostBypass)
                h.set ("bypass", 1.0f);
            h.set ("input", 12.0f); // the wet path differs, so any leak of it would show
            h.prepare (fs);
            const auto in = noiseStereo ((size_t) (0.3 * fs));
            const auto out = h.process (in, 256, hostBypass);
            if (hostBypass)
            {
                // Host bypass arrives with the first block: a 20 ms fade, then the dry signal.
                expectDelayedCopy (in, out, expectedLatency (fs), (size_t) std::ceil (0.02 * fs) + 2);
            }
            else
            {
                // Prepared while bypassed: the mix starts fully dry, with no fade.
                expectDelayedCopy (in, out, expectedLatency (fs), 0);
                for (int n = 0; n < expectedLatency (fs); ++n)
                    ASSERT_EQ (out.left[(size_t) n], 0.0f);
            }
        }
    }
}

/** With every stage off and a -18 dB trim the wet path is a quiet, steady copy of a DC input (the
    clipper's drive applies, far below its knee), so the mix position can be read straight off the
    output: mix = (out - wet) / (dry - wet), with wet read where the mix is known to be 0. */
std::vector<double> mixPositions (ProcessorHarness& h, bool switchOnHostBypass, bool on, size_t& switchAt)
{
    const double fs = 48000.0;
    const size_t n = (size_t) fs;
    const Stereo in (n, 1.0f);

    Stereo out (n);
    juce::MidiBuffer midi;
    switchAt = n / 2;
    for (size_t start = 0; start < n; start += 480)
    {
        if (start == switchAt && ! switchOnHostBypass)
            h.set ("bypass", on ? 1.0f : 0.0f);
        const bool host = switchOnHostBypass && (start >= switchAt) == on;
        std::copy (in.left.begin() + (long) start, in.left.begin() + (long) start + 480, out.left.begin() + (long) start);
        std::copy (in.right.begin() + (long) start, in.right.begin() + (long) start + 480, out.right.begin() + (long) start);
        float* channels[] = { out.left.data() + start, out.right.data() + start };
        juce::AudioBuffer<float> buffer (channels, 2, 480);
        if (host)
            h.proc.processBlockBypassed (buffer, midi);
        else
            h.proc.processBlock (buffer, midi);
    }

    const double wet = on ? out.left[switchAt - 1] : out.left.back();
    EXPECT_LT (wet, 0.3);
    std::vector<double> mix (n);
    for (size_t i = 0; i < n; ++i)
        mix[i] = ((double) out.left[i] - wet) / (1.0 - wet);
    return mix;
}

TEST (Bypass, SwitchingFadesLinearlyOverTwentyMilliseconds)
{
    struct Case
    {
        const char* name;
        bool host;
        bool on;
    };
    for (const auto& c : { Case { "bypass on", false, true }, Case { "bypass off", false, false },
                           Case { "host bypass on", true, true }, Case { "host bypass off", true, false } })
    {
        ProcessorHarness h;
        h.set ("input", -18.0f);
        h.switchAllStagesOff(); // keep the wet path a plain gain on DC
        if (! c.on && ! c.host)
            h.set ("bypass", 1.0f);
        h.prepare (48000.0, 480);

        size_t switchAt = 0;
        const auto mix = mixPositions (h, c.host, c.on, switchAt);
        const double from = c.on ? 0.0 : 1.0;
        const double to = c.on ? 1.0 : 0.0;
        const double step = 1.0 / 960.0;

        EXPECT_NEAR (mix[switchAt - 1], from, 1.0e-4) << c.name;
        // Linear: each sample moves the mix by one step, never jumping.
        for (size_t k = 0; k < 958; ++k)
            ASSERT_NEAR (mix[switchAt + k], from + (to - from) * step * (double) (k + 1), 2.0e-4) << c.name << " sample " << k;
        // Complete after 960 samples (float accumulation may take one more).
        EXPECT_NEAR (mix[switchAt + 961], to, 1.0e-4) << c.name;
        EXPECT_NEAR (mix.back(), to, 1.0e-6) << c.name;
    }
}

//==================================================================================================
TEST (InputTrim, KnobTrimsTheLevelWithTwentyMillisecondSmoothing)
{
    ProcessorHarness h;
    h.switchAllStagesOff();
    h.prepare (48000.0, 480);
    const int latency = h.latency();

    // A quiet DC level: every stage is off and the clipper's drive leaves it well below its knee.
    const auto before = h.process (Stereo (4800, 0.1f), 480);
    const double reference = before.left.back();
    h.set ("input", -12.0f);
    const auto out = h.process (Stereo (9600, 0.1f), 480);

    // The trim glides as a one-pole with a 20 ms time constant: 63 % of the way after 960 samples.
    const auto trimAt = [&] (int n) { return testsig::toDb (out.left[(size_t) (n + latency)] / reference); };
    EXPECT_NEAR (trimAt (959), -12.0 * (1.0 - std::exp (-1.0)), 0.02);
    EXPECT_NEAR (trimAt (479), -12.0 * (1.0 - std::exp (-0.5)), 0.02);
    EXPECT_NEAR (trimAt (9600 - latency - 1), -12.0, 0.01);
}

TEST (InputTrim, AutoInputHandsOverWithoutJumps)
{
    ProcessorHarness h;
    auto& chain = h.proc.chain;
    const Stereo silence (480);

    h.set ("input", -6.0f);
    h.prepare (48000.0, 480);
    EXPECT_FLOAT_EQ (chain.inputTrimDb, -6.0f);

    // Switching on: auto input starts from the trim that is applied.
    h.set ("autoInput", 1.0f);
    h.process (silence, 480);
    EXPECT_TRUE (chain.autoInputEnabled);
    EXPECT_NEAR (chain.autoTrimDb, -6.0f, 1.0e-4f);

    // Let auto input move the trim, then switch it off: the trim stays where auto input left it.
    chain.autoTrimDb = -10.0f;
    h.process (Stereo (9600), 480);
    EXPECT_NEAR (chain.inputTrimDb, -10.0f, 0.01f);
    h.set ("autoInput", 0.0f);
    h.process (Stereo (9600), 480);
    EXPECT_FALSE (chain.autoInputEnabled);
    EXPECT_NEAR (chain.inputTrimDb, -10.0f, 0.01f);
    EXPECT_NEAR (h.proc.chain.published.inputTrimDb.get(), -10.0f, 0.01f);

    // A knob movement of 0.05 dB or less does not take over...
    h.setRaw ("input", -6.04f);
    h.process (Stereo (9600), 480);
    EXPECT_NEAR (chain.inputTrimDb, -10.0f, 0.01f);

    // ...a larger one does, and the trim glides to the knob.
    h.setRaw ("input", -5.9f);
    h.process (Stereo (9600), 480);
    EXPECT_NEAR (chain.inputTrimDb, -5.9f, 0.01f);
}

//==================================================================================================
TEST (Presets, ParameterValueIsRoundedAndClampedBeforeTheNextBlock)
{
    const std::pair<float, int> cases[] = {
        { 8.6f, 8 }, { -0.4f, 0 }, { 0.5f, 1 }, { 3.49f, 3 }, { 7.0f, 7 }, { 100.0f, 8 }, { -100.0f, 0 },
        { std::numeric_limits<float>::quiet_NaN(), 1 }, { std::numeric_limits<float>::infinity(), 1 },
    };
    for (auto [raw, expected] : cases)
    {
        ProcessorHarness h;
        h.set ("preset", 4.0f);
        h.prepare (48000.0);
        h.setRaw ("preset", raw);
        // One sample is enough: the preset is applied before the block's first sample.
        h.process (Stereo (1), 1);
        EXPECT_EQ (h.proc.chain.presetIndex.load(), expected) << raw;
        EXPECT_FLOAT_EQ (h.proc.chain.published.inputHpfHz.get(), kt::kPresets[(size_t) expected].inputHpfHz) << raw;
    }
}

TEST (Presets, PrepareStartsWithTheSessionsOwnSettings)
{
    ProcessorHarness h;
    h.set ("preset", 7.0f);
    h.set ("input", -12.0f);
    h.set ("extreme", 1.0f);
    h.set ("stageAgc", 0.0f);
    h.prepare (48000.0);

    const auto& chain = h.proc.chain;
    EXPECT_EQ (chain.presetIndex.load(), 7);
    EXPECT_FLOAT_EQ (chain.inputTrimDb, -12.0f);
    EXPECT_FLOAT_EQ (chain.extremeTarget, 1.0f);
    EXPECT_FALSE (chain.stageEnabled[kt::stageAgc]);
}

//==================================================================================================
TEST (BlockDriver, MonoBuffersAreProcessedAsDualMono)
{
    ProcessorHarness h;
    h.set ("bypass", 1.0f);
    h.prepare (44100.0, 512, 1);
    EXPECT_EQ (h.proc.getTotalNumInputChannels(), 1);
    const auto in = testsig::noise (5000, 0.5f);
    const auto out = h.processMono (in, 333);
    for (size_t n = 353; n < in.size(); ++n)
        ASSERT_EQ (out[n], in[n - 353]);

    // Wet path too: finite and delayed by the same latency.
    ProcessorHarness wet;
    wet.switchAllStagesOff();
    wet.prepare (44100.0, 512, 1);
    const auto wetOut = wet.processMono (testsig::impulse (2000, 10, 0.5f));
    EXPECT_EQ (testsig::peakIndex (wetOut), (size_t) (10 + 353));
}

TEST (BlockDriver, ChannelsBeyondTheSecondAreLeftAlone)
{
    ProcessorHarness h;
    h.prepare (48000.0);
    juce::AudioBuffer<float> buffer (3, 256);
    for (int ch = 0; ch < 3; ++ch)
        for (int n = 0; n < 256; ++n)
            buffer.setSample (ch, n, 0.25f);
    juce::MidiBuffer midi;
    h.proc.processBlock (buffer, midi);
    for (int n = 0; n < 256; ++n)
        ASSERT_EQ (buffer.getSample (2, n), 0.25f);
}

TEST (BlockDriver, EmptyBlocks)
{
    ProcessorHarness h;
    h.prepare (48000.0);
    juce::MidiBuffer midi;

    // No channels: returned at once, the parameters are not even read.
    h.set ("extreme", 1.0f);
    juce::AudioBuffer<float> noChannels (0, 64);
    h.proc.processBlock (noChannels, midi);
    EXPECT_FLOAT_EQ (h.proc.chain.extremeTarget, 0.0f);

    // No samples: every setting is still taken from the parameters.
    h.set ("stageMultiband", 0.0f);
    h.set ("preset", 2.0f);
    juce::AudioBuffer<float> noSamples (2, 0);
    h.proc.processBlock (noSamples, midi);
    EXPECT_FLOAT_EQ (h.proc.chain.extremeTarget, 1.0f);
    EXPECT_FALSE (h.proc.chain.stageEnabled[kt::stageMultiband]);
    EXPECT_EQ (h.proc.chain.presetIndex.load(), 2);
}

TEST (BlockDriver, AudioBeforePrepareIsPassedThroughUnchanged)
{
    ProcessorHarness h;
    h.set ("input", 18.0f);
    const auto in = noiseStereo (4096, 0.9f);
    const auto out = h.process (in, 512);
    EXPECT_EQ (out.left, in.left);
    EXPECT_EQ (out.right, in.right);
    h.process (in, 512, true);
}

TEST (BlockDriver, OutputDoesNotDependOnBlockSize)
{
    const auto in = noiseStereo (20000);
    Stereo reference;
    for (int block : { 512, 1, 7, 64, 480, 2048 })
    {
        ProcessorHarness h;
        h.set ("preset", 3.0f);
        h.set ("extreme", 1.0f);
        h.prepare (48000.0, 2048);
        const auto out = h.process (in, block);
        if (reference.size() == 0)
            reference = out;
        else
            EXPECT_EQ (out.left, reference.left) << block;
    }
}

//==================================================================================================
TEST (BadInput, NonFiniteSamplesActAsSilenceOnBothPaths)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();

    for (float bypass : { 0.0f, 1.0f })
    {
        auto dirty = noiseStereo (24000);
        auto clean = dirty;
        for (size_t at : { 1000u, 1001u, 5000u, 12345u })
        {
            dirty.left[at] = at % 2 ? nan : inf;
            dirty.right[at] = -inf;
            clean.left[at] = clean.right[at] = 0.0f;
        }

        ProcessorHarness a, b;
        for (auto* h : { &a, &b })
        {
            h->set ("bypass", bypass);
            h->prepare (48000.0);
        }
        const auto outDirty = a.process (dirty);
        const auto outClean = b.process (clean);
        EXPECT_TRUE (testsig::allFinite (outDirty.left));
        EXPECT_TRUE (testsig::allFinite (outDirty.right));
        EXPECT_EQ (outDirty.left, outClean.left) << "bypass " << bypass;
        EXPECT_EQ (outDirty.right, outClean.right) << "bypass " << bypass;
        EXPECT_GT (testsig::peak (outDirty.left, 20000), 0.01); // it recovered: programme comes through
    }
}

TEST (BadInput, HugeSamplesAreHeldAtPlusSixtyDbfs)
{
    auto huge = noiseStereo (8000);
    auto held = huge;
    huge.left[100] = 1.0e38f;
    huge.right[100] = -3.0e37f;
    held.left[100] = 1000.0f;
    held.right[100] = -1000.0f;

    ProcessorHarness a, b;
    a.prepare (48000.0);
    b.prepare (48000.0);
    const auto outHuge = a.process (huge);
    EXPECT_TRUE (testsig::allFinite (outHuge.left));
    EXPECT_EQ (outHuge.left, b.process (held).left);
}

TEST (BadInput, NonFiniteParameterValuesActAsTheirDefaults)
{
    ProcessorHarness h;
    h.prepare (48000.0);
    h.setRaw ("input", std::numeric_limits<float>::quiet_NaN());
    h.setRaw ("bypass", std::numeric_limits<float>::quiet_NaN());
    h.setRaw ("stageAgc", -std::numeric_limits<float>::infinity());
    h.setRaw ("extreme", std::numeric_limits<float>::infinity());
    const auto out = h.process (noiseStereo (4800));
    EXPECT_TRUE (testsig::allFinite (out.left));
    EXPECT_FLOAT_EQ (h.proc.chain.manualTrimDb, 0.0f);
    EXPECT_TRUE (h.proc.chain.stageEnabled[kt::stageAgc]);
    EXPECT_FLOAT_EQ (h.proc.chain.extremeTarget, 0.0f);
    EXPECT_GT (testsig::peak (out.left, 1000), 0.1); // not bypassed into the dry path at 0 either
}

//==================================================================================================
TEST (RealTime, ProcessingAllocatesNothingAfterPrepare)
{
    ProcessorHarness h;
    h.prepare (48000.0, 1024);
    juce::MidiBuffer midi;
    juce::AudioBuffer<float> buffer (2, 1024);
    const auto source = noiseStereo (1024, 0.8f);

    const int sizes[] = { 1, 7, 64, 333, 1024, 0, 512, 2 };
    std::size_t allocations = 0;
    for (int block = 0; block < 400; ++block)
    {
        // Parameter changes happen between blocks, as they would from the message thread.
        h.set ("preset", (float) (block % kt::kPresetCount));
        h.set ("extreme", (float) ((block / 3) % 2));
        h.set ("bypass", (float) ((block / 5) % 2));
        h.set ("autoInput", (float) ((block / 7) % 2));
        h.set ("input", (float) (block % 37) - 18.0f);
        h.set (kStageSwitchParameters[(size_t) block % kStageSwitchParameters.size()].id, (float) ((block / 17) % 2));

        const int n = sizes[block % (int) std::size (sizes)];
        buffer.setSize (2, n, false, false, true);
        buffer.copyFrom (0, 0, source.left.data(), n);
        buffer.copyFrom (1, 0, source.right.data(), n);

        ScopedAllocationCounter counter;
        if (block % 11 == 0)
            h.proc.processBlockBypassed (buffer, midi);
        else
            h.proc.processBlock (buffer, midi);
        allocations += counter.count();
    }
    EXPECT_EQ (allocations, 0u);
}
} // namespace
