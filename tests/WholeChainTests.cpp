// The whole processor, every preset, EXTREME off and on.

#include "AllocationCounter.h"
#include "ProcessorHarness.h"
#include "common/DemoProgramme.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace
{
using testsig::Stereo;

struct Setting
{
    int preset;
    bool extreme;
};

std::vector<Setting> everySetting()
{
    std::vector<Setting> all;
    for (int p = 0; p < kt::kPresetCount; ++p)
        for (bool e : { false, true })
            all.push_back ({ p, e });
    return all;
}

std::string nameOf (const Setting& s) { return std::string (kt::kPresets[(size_t) s.preset].name) + (s.extreme ? " EXTREME" : ""); }

/** The demo programme (hot: +6 dB) as a Stereo signal. */
Stereo programme (double seconds, double sampleRate = 48000.0, float gain = 2.0f)
{
    const auto demo = kt::tools::makeDemoProgramme (sampleRate, seconds);
    Stereo s ((size_t) demo.getNumSamples());
    for (size_t n = 0; n < s.size(); ++n)
    {
        s.left[n] = gain * demo.getSample (0, (int) n);
        s.right[n] = gain * demo.getSample (1, (int) n);
    }
    return s;
}

void configure (ProcessorHarness& h, const Setting& s)
{
    h.set ("preset", (float) s.preset);
    h.set ("extreme", s.extreme ? 1.0f : 0.0f);
}

//==================================================================================================
TEST (WholeChain, OutputDoesNotDependOnBlockSize)
{
    const auto in = programme (0.5);
    for (const auto& s : everySetting())
    {
        Stereo reference;
        for (int block : { 512, 1, 7, 64, 4096, -1 })
        {
            ProcessorHarness h;
            configure (h, s);
            h.prepare (48000.0, 4096);

            Stereo out;
            if (block > 0)
            {
                out = h.process (in, block);
            }
            else
            {
                // Random block sizes, as some hosts deliver them.
                out = in;
                std::mt19937 rng (7u);
                juce::MidiBuffer midi;
                for (size_t start = 0; start < in.size();)
                {
                    const int n = (int) std::min<size_t> (1 + rng() % 700, in.size() - start);
                    float* channels[] = { out.left.data() + start, out.right.data() + start };
                    juce::AudioBuffer<float> buffer (channels, 2, n);
                    h.proc.processBlock (buffer, midi);
                    start += (size_t) n;
                }
            }

            if (reference.size() == 0)
                reference = out;
            else
                ASSERT_TRUE (out.left == reference.left && out.right == reference.right) << nameOf (s) << ", block " << block;
        }
    }
}

TEST (WholeChain, FiniteAtEverySampleRate)
{
    for (double rate : { 8000.0, 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0, 384000.0 })
    {
        const auto in = programme (0.15, rate);
        for (const auto& s : everySetting())
        {
            ProcessorHarness h;
            configure (h, s);
            h.prepare (rate);
            EXPECT_EQ (h.latency(), (int) std::lround (0.008 * rate));
            const auto out = h.process (in);
            ASSERT_TRUE (testsig::allFinite (out.left) && testsig::allFinite (out.right)) << nameOf (s) << " at " << rate;
            EXPECT_GT (testsig::peak (out.left, (size_t) h.latency()), 0.001) << nameOf (s) << " at " << rate;
        }
    }
}

TEST (WholeChain, TruePeakCeilingHoldsOnProgramme)
{
    const auto in = programme (3.0);
    for (const auto& s : everySetting())
    {
        kt::BroadcastChain chain;
        chain.presetIndex = s.preset;
        chain.extremeTarget = s.extreme ? 1.0f : 0.0f;
        chain.prepare (48000.0);
        const float ceiling = std::pow (10.0f, kt::kPresets[(size_t) s.preset].truePeakCeilingDb / 20.0f);
        float largest = 0.0f;
        for (size_t n = 0; n < in.size(); ++n)
        {
            const auto y = chain.process ({ in.left[n], in.right[n] });
            largest = std::max (largest, std::max (std::abs (y.left), std::abs (y.right)));
        }
        EXPECT_LE (largest, ceiling * (1.0f + 1.0e-6f)) << nameOf (s);
        EXPECT_GT (largest, 0.5f * ceiling) << nameOf (s);
    }
}

TEST (WholeChain, RecoversFromNonFiniteAndAbsurdBursts)
{
    // One millisecond of NaN, infinities and +-1e30 (held at +60 dBFS on the way in). The chain's
    // detectors react to such a level as they should, and release over their own times; nothing
    // stays poisoned.
    const auto clean = programme (8.0);
    auto dirty = clean;
    const float bad[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(), 1.0e30f, -1.0e30f };
    for (size_t n = 48000; n < 48000 + 48; ++n)
    {
        dirty.left[n] = bad[n % 5];
        dirty.right[n] = bad[(n + 2) % 5];
    }

    for (const auto& s : everySetting())
    {
        ProcessorHarness a, b;
        for (auto* h : { &a, &b })
        {
            configure (*h, s);
            h->prepare (48000.0);
        }
        const auto outDirty = a.process (dirty);
        const auto outClean = b.process (clean);
        ASSERT_TRUE (testsig::allFinite (outDirty.left) && testsig::allFinite (outDirty.right)) << nameOf (s);

        // Once the burst has passed the latency and the limiter has let go, the programme is back;
        // some seconds on it has forgotten the burst.
        const float release = kt::kPresets[(size_t) s.preset].truePeakReleaseMs * 0.001f;
        const auto from = (size_t) (48048 + a.latency() + 5.0f * release * 48000.0f);
        const auto level = [] (const std::vector<float>& x, size_t start, size_t count) {
            double sum = 0.0;
            for (size_t n = start; n < start + count; ++n)
                sum += (double) x[n] * x[n];
            return testsig::toDb (std::sqrt (sum / (double) count));
        };
        EXPECT_NEAR (level (outDirty.left, from, 4800), level (outClean.left, from, 4800), 12.0) << nameOf (s);
        EXPECT_NEAR (level (outDirty.left, 7 * 48000, 48000), level (outClean.left, 7 * 48000, 48000), 0.5) << nameOf (s);
    }
}

TEST (WholeChain, NoAllocationWithEveryStageWorking)
{
    const auto in = programme (1.0);
    for (const auto& s : everySetting())
    {
        ProcessorHarness h;
        configure (h, s);
        h.prepare (48000.0, 512);
        juce::MidiBuffer midi;
        juce::AudioBuffer<float> buffer (2, 512);
        std::size_t allocations = 0;
        for (size_t start = 0; start + 512 <= in.size(); start += 512)
        {
            buffer.copyFrom (0, 0, in.left.data() + start, 512);
            buffer.copyFrom (1, 0, in.right.data() + start, 512);
            ScopedAllocationCounter counter;
            h.proc.processBlock (buffer, midi);
            allocations += counter.count();
        }
        EXPECT_EQ (allocations, 0u) << nameOf (s);
    }
}

//==================================================================================================
// Golden figures: the processor's output for the demo programme, per preset and EXTREME setting.
// Any change to the sound shows here. After an intended change, regenerate with
//     TARVIK_UPDATE_GOLDEN=1 build/tests/tarvik_tests --gtest_filter='WholeChain.Golden*'
// and commit tests/data/golden_chain.txt with the change that explains it.

struct Figures
{
    std::string name;
    std::vector<double> values; // RMS and peak (dB) per channel, then samples at fixed positions
};

Figures measure (const Setting& s, const Stereo& in)
{
    ProcessorHarness h;
    configure (h, s);
    h.prepare (48000.0, 512);
    const auto out = h.process (in, 512);

    Figures f { nameOf (s), {} };
    for (const auto* ch : { &out.left, &out.right })
    {
        double sum = 0.0;
        for (auto v : *ch)
            sum += (double) v * v;
        f.values.push_back (testsig::toDb (std::sqrt (sum / (double) ch->size())));
        f.values.push_back (testsig::toDb (testsig::peak (*ch)));
    }
    for (size_t at : { 12000u, 60001u, 99999u, 150000u, 191000u })
        f.values.push_back (out.left[at]);
    return f;
}

TEST (WholeChain, GoldenFiguresOfTheDemoProgramme)
{
    const std::string path = std::string (TARVIK_TEST_DATA_DIR) + "/golden_chain.txt";
    const auto in = programme (4.0, 48000.0, 1.0f);
    std::vector<Figures> now;
    for (const auto& s : everySetting())
        now.push_back (measure (s, in));

    if (std::getenv ("TARVIK_UPDATE_GOLDEN") != nullptr)
    {
        std::ofstream file (path);
        file << "# preset | RMS L dB, peak L dB, RMS R dB, peak R dB, left samples at 12000 60001 99999 150000 191000\n";
        file.precision (9);
        for (const auto& f : now)
        {
            file << f.name << " |";
            for (auto v : f.values)
                file << " " << v;
            file << "\n";
        }
        GTEST_SKIP() << "wrote " << path;
    }

    std::ifstream file (path);
    ASSERT_TRUE (file.good()) << "missing " << path;
    std::string line;
    size_t row = 0;
    while (std::getline (file, line))
    {
        if (line.empty() || line[0] == '#')
            continue;
        ASSERT_LT (row, now.size());
        const auto bar = line.find (" |");
        EXPECT_EQ (line.substr (0, bar), now[row].name);
        std::istringstream values (line.substr (bar + 2));
        for (size_t k = 0; k < now[row].values.size(); ++k)
        {
            double expected = 0.0;
            values >> expected;
            // Levels to a thousandth of a dB, samples to float rounding of the chain's sums.
            const double tolerance = k < 4 ? 1.0e-3 : 2.0e-6;
            EXPECT_NEAR (now[row].values[k], expected, tolerance) << now[row].name << ", figure " << k;
        }
        ++row;
    }
    EXPECT_EQ (row, now.size());
}
} // namespace
