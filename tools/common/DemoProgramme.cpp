#include "DemoProgramme.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace kt::tools
{
namespace
{
//==================================================================================================
// Portable maths. Only +, -, *, /, sqrt, floor and ldexp are used below: IEEE 754 rounds each of
// them exactly, so every machine computes the same samples (unlike a library's sin or exp).

constexpr double kTwoPi = 6.283185307179586476925;
constexpr double kLn2 = 0.693147180559945309417;

/** sin (2 pi x) for any x, to about 1e-7. */
double sinTurns (double x) noexcept
{
    double t = x - std::floor (x); // [0, 1)
    if (t >= 0.5)
        t -= 1.0;                  // [-0.5, 0.5)
    if (t > 0.25)
        t = 0.5 - t;
    else if (t < -0.25)
        t = -0.5 - t;              // [-0.25, 0.25], same sine

    const double z = kTwoPi * t;
    const double z2 = z * z;
    return z * (1.0 - z2 / 6.0 * (1.0 - z2 / 20.0 * (1.0 - z2 / 42.0 * (1.0 - z2 / 72.0 * (1.0 - z2 / 110.0 * (1.0 - z2 / 156.0))))));
}

double cosTurns (double x) noexcept { return sinTurns (x + 0.25); }

/** e^x to about 1e-12 relative. */
double expPortable (double x) noexcept
{
    if (x < -700.0)
        return 0.0;
    if (x > 700.0)
        x = 700.0;

    const double k = std::floor (x / kLn2 + 0.5);
    const double r = x - k * kLn2; // |r| <= ln2 / 2

    double term = 1.0, sum = 1.0;
    for (int i = 1; i <= 13; ++i)
    {
        term *= r / i;
        sum += term;
    }
    return std::ldexp (sum, (int) k);
}

double midiToHz (double note) noexcept { return 440.0 * expPortable ((note - 69.0) / 12.0 * kLn2); }

/** xorshift32 with a fixed seed: the same noise everywhere. */
class Noise
{
public:
    explicit Noise (std::uint32_t seed) noexcept : state (seed != 0 ? seed : 0x9e3779b9u) {}

    /** Uniform in [-1, 1). */
    double next() noexcept { return unit() * 2.0 - 1.0; }

    /** Uniform in [0, 1). */
    double unit() noexcept
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (double) state / 4294967296.0;
    }

private:
    std::uint32_t state;
};

//==================================================================================================
// The arrangement: ten bars of 4/4 at 120 BPM, Am - F - C - G.

constexpr double kBeat = 0.5;
constexpr double kBar = 4.0 * kBeat;
constexpr int kBarsPerCycle = 10;
static_assert (kBarsPerCycle * kBar == kDemoCycleSeconds);

using Kind = DemoPassage::Kind;

constexpr std::array<Kind, kBarsPerCycle> kBarKinds { Kind::normal, Kind::normal, Kind::normal,
                                                      Kind::quiet, Kind::quiet,
                                                      Kind::loud, Kind::loud, Kind::loud,
                                                      Kind::normal, Kind::normal };

struct Chord
{
    int bassNote;
    std::array<int, 4> notes;
};

constexpr std::array<Chord, 4> kChords { {
    { 45, { 57, 60, 64, 69 } }, // A minor
    { 41, { 57, 60, 65, 69 } }, // F
    { 48, { 55, 60, 64, 67 } }, // C
    { 43, { 55, 59, 62, 67 } }, // G
} };

//==================================================================================================
/** The mix before levels are set: double precision, one vector per channel. */
struct Mix
{
    double sampleRate;
    std::vector<double> left, right;

    std::int64_t length() const noexcept { return (std::int64_t) left.size(); }
    std::int64_t sampleAt (double seconds) const noexcept { return (std::int64_t) std::floor (seconds * sampleRate + 0.5); }

    /** Adds a source at pan position p (0 = left, 1 = right) at sample index n, if in range. */
    void add (std::int64_t n, double value, double pan) noexcept
    {
        if (n < 0 || n >= length())
            return;
        left[(size_t) n] += value * std::sqrt (1.0 - pan);
        right[(size_t) n] += value * std::sqrt (pan);
    }

    void addStereo (std::int64_t n, double l, double r) noexcept
    {
        if (n < 0 || n >= length())
            return;
        left[(size_t) n] += l;
        right[(size_t) n] += r;
    }
};

void addKick (Mix& mix, Noise& noise, double when, double velocity)
{
    const auto start = mix.sampleAt (when);
    const auto count = mix.sampleAt (0.45);
    double phase = 0.0;
    for (std::int64_t i = 0; i < count; ++i)
    {
        const double t = (double) i / mix.sampleRate;
        const double hz = 48.0 + 110.0 * expPortable (-t / 0.035);
        const double body = sinTurns (phase) * expPortable (-t / 0.30);
        const double click = noise.next() * expPortable (-t / 0.003) * 0.25;
        phase += hz / mix.sampleRate;
        mix.add (start + i, velocity * (body + click), 0.5);
    }
}

void addSnare (Mix& mix, Noise& noise, double when, double velocity)
{
    const auto start = mix.sampleAt (when);
    const auto count = mix.sampleAt (0.35);
    double previous = 0.0;
    for (std::int64_t i = 0; i < count; ++i)
    {
        const double t = (double) i / mix.sampleRate;
        const double tone = sinTurns (185.0 * t) * expPortable (-t / 0.05) * 0.45;
        const double white = noise.next();
        const double rattle = (white - previous) * 0.3 * expPortable (-t / 0.07);
        previous = white;
        mix.add (start + i, velocity * (tone + rattle), 0.42);
    }
}

void addHat (Mix& mix, Noise& noise, double when, double velocity, bool open)
{
    const auto start = mix.sampleAt (when);
    const auto count = mix.sampleAt (open ? 0.45 : 0.09);
    const double decay = open ? 0.15 : 0.022;
    double x1 = 0.0, x2 = 0.0;
    for (std::int64_t i = 0; i < count; ++i)
    {
        const double t = (double) i / mix.sampleRate;
        const double x = noise.next();
        const double hiss = (x - 2.0 * x1 + x2) * 0.25; // second difference: a steep top end
        x2 = x1;
        x1 = x;
        mix.add (start + i, velocity * hiss * expPortable (-t / decay), 0.68);
    }
}

void addCrash (Mix& mix, Noise& noise, double when, double velocity)
{
    const auto start = mix.sampleAt (when);
    const auto count = mix.sampleAt (2.5);
    double previousL = 0.0, previousR = 0.0;
    for (std::int64_t i = 0; i < count; ++i)
    {
        const double t = (double) i / mix.sampleRate;
        const double envelope = velocity * 0.5 * expPortable (-t / 0.7);
        const double l = noise.next(), r = noise.next();
        mix.addStereo (start + i, (l - previousL) * envelope, (r - previousR) * envelope);
        previousL = l;
        previousR = r;
    }
}

/** Sum of harmonics 1..weights.size() of a phase, by the Chebyshev recurrence
    sin ((k + 1) x) = 2 cos (x) sin (k x) - sin ((k - 1) x). */
template <size_t N>
double harmonics (double phase, const std::array<double, N>& weights) noexcept
{
    const double s1 = sinTurns (phase);
    const double twoCos = 2.0 * cosTurns (phase);
    double previous = 0.0, current = s1, sum = 0.0;
    for (size_t k = 0; k < N; ++k)
    {
        sum += weights[k] * current;
        const double next = twoCos * current - previous;
        previous = current;
        current = next;
    }
    return sum;
}

void addBassNote (Mix& mix, int note, double when, double seconds, double velocity)
{
    const double hz = midiToHz (note);
    std::array<double, 12> weights {};
    for (size_t k = 0; k < weights.size(); ++k)
    {
        const double harmonicHz = hz * (double) (k + 1);
        const double rolloff = harmonicHz / 500.0;
        weights[k] = harmonicHz < 0.45 * mix.sampleRate ? 1.0 / ((double) (k + 1) * (1.0 + rolloff * rolloff)) : 0.0;
    }

    const auto start = mix.sampleAt (when);
    const auto count = mix.sampleAt (seconds);
    const auto releaseSamples = std::max<std::int64_t> (1, mix.sampleAt (0.02));
    double phase = 0.0;
    for (std::int64_t i = 0; i < count; ++i)
    {
        const double t = (double) i / mix.sampleRate;
        double envelope = 0.6 + 0.4 * expPortable (-t / 0.15);
        envelope *= std::min (1.0, t / 0.004);
        envelope *= std::min (1.0, (double) (count - i) / (double) releaseSamples);
        mix.add (start + i, velocity * envelope * harmonics (phase, weights), 0.5);
        phase += hz / mix.sampleRate;
        phase -= std::floor (phase);
    }
}

void addPadNote (Mix& mix, Noise& noise, int note, double when, double seconds, double velocity, bool leftFirst)
{
    constexpr std::array<double, 8> weights { 1.0, 0.45, 0.3, 0.2, 0.13, 0.09, 0.06, 0.04 };
    constexpr double releaseSeconds = 0.5;
    const double hzA = midiToHz (note - 0.07), hzB = midiToHz (note + 0.07);
    const double panA = leftFirst ? 0.12 : 0.88, panB = 1.0 - panA;

    const auto start = mix.sampleAt (when);
    const auto held = mix.sampleAt (seconds);
    const auto count = held + mix.sampleAt (releaseSeconds);
    double phaseA = noise.unit(), phaseB = noise.unit();
    for (std::int64_t i = 0; i < count; ++i)
    {
        const double t = (double) i / mix.sampleRate;
        double envelope = std::min (1.0, t / 0.12);
        if (i >= held)
            envelope *= expPortable (-(double) (i - held) / mix.sampleRate / 0.1);

        const double a = velocity * envelope * harmonics (phaseA, weights);
        const double b = velocity * envelope * harmonics (phaseB, weights);
        mix.add (start + i, a, panA);
        mix.add (start + i, b, panB);
        phaseA += hzA / mix.sampleRate;
        phaseA -= std::floor (phaseA);
        phaseB += hzB / mix.sampleRate;
        phaseB -= std::floor (phaseB);
    }
}

void addBar (Mix& mix, Noise& noise, int bar)
{
    const int inCycle = bar % kBarsPerCycle;
    const Kind kind = kBarKinds[(size_t) inCycle];
    const Chord& chord = kChords[(size_t) (bar % (int) kChords.size())];
    const double t0 = bar * kBar;
    const bool loud = kind == Kind::loud;

    // Sustained chords: two detuned voices per note, one towards each side.
    for (size_t i = 0; i < chord.notes.size(); ++i)
        addPadNote (mix, noise, chord.notes[i], t0, kBar, loud ? 0.09 : 0.07, (i % 2) == 0);

    if (kind == Kind::quiet)
    {
        addBassNote (mix, chord.bassNote, t0, kBar, 0.30);
        for (int e = 0; e < 8; ++e)
            addHat (mix, noise, t0 + e * kBeat * 0.5, (e % 2) == 0 ? 0.2 : 0.12, false);
        return;
    }

    // Bass: eighths, jumping the octave on the off-beat of beats 2 and 4.
    for (int e = 0; e < 8; ++e)
    {
        const int note = chord.bassNote + ((e == 3 || e == 7) ? 12 : 0);
        addBassNote (mix, note, t0 + e * kBeat * 0.5, kBeat * 0.5, loud ? 0.45 : 0.38);
    }

    if (loud)
    {
        if (inCycle == 5)
            addCrash (mix, noise, t0, 0.6);
        for (int b = 0; b < 4; ++b)
            addKick (mix, noise, t0 + b * kBeat, 1.0);
        if (inCycle == 7)
        {
            addKick (mix, noise, t0 + 3.5 * kBeat, 0.9);
            for (int s = 0; s < 4; ++s)
                addSnare (mix, noise, t0 + (3.0 + 0.25 * s) * kBeat, 0.45 + 0.15 * s);
        }
        addSnare (mix, noise, t0 + 1.0 * kBeat, 0.9);
        if (inCycle != 7)
            addSnare (mix, noise, t0 + 3.0 * kBeat, 0.9);
        for (int s = 0; s < 16; ++s)
        {
            const bool open = s == 6 || s == 14;
            addHat (mix, noise, t0 + s * kBeat * 0.25, open ? 0.4 : ((s % 2) == 0 ? 0.55 : 0.3), open);
        }
        return;
    }

    if (inCycle == 8)
        addCrash (mix, noise, t0, 0.35);
    addKick (mix, noise, t0, 0.9);
    addKick (mix, noise, t0 + 2.0 * kBeat, 0.9);
    addKick (mix, noise, t0 + 2.5 * kBeat, 0.7);
    addSnare (mix, noise, t0 + 1.0 * kBeat, 0.8);
    addSnare (mix, noise, t0 + 3.0 * kBeat, 0.8);
    for (int e = 0; e < 8; ++e)
        addHat (mix, noise, t0 + e * kBeat * 0.5, (e % 2) == 0 ? 0.5 : 0.3, false);
}

//==================================================================================================
// Levels: each passage is scaled to its target on its own measured level, so the targets hold
// whatever the synthesis above does.

struct LevelTarget
{
    double rms;     ///< wanted RMS over both channels, linear
    double maxPeak; ///< the scaling never lets a sample go above this
    bool byPeak;    ///< scale to maxPeak instead of rms
};

LevelTarget targetFor (Kind kind) noexcept
{
    switch (kind)
    {
        case Kind::quiet: return { 0.0316227766, 0.1995262315, false }; // -30 dBFS RMS, peaks under -14
        case Kind::loud: return { 0.0, 0.9772372210, true };            // peaks at -0.2 dBFS
        case Kind::normal: break;
    }
    return { 0.1258925412, 0.7079457844, false };                      // -18 dBFS RMS, peaks under -3
}

double passageGain (const Mix& mix, std::int64_t begin, std::int64_t end, Kind kind) noexcept
{
    double peak = 0.0, sumSquares = 0.0;
    for (auto n = (size_t) begin; n < (size_t) end; ++n)
    {
        peak = std::max ({ peak, std::abs (mix.left[n]), std::abs (mix.right[n]) });
        sumSquares += mix.left[n] * mix.left[n] + mix.right[n] * mix.right[n];
    }
    if (peak <= 0.0)
        return 1.0;

    const auto target = targetFor (kind);
    const double peakGain = target.maxPeak / peak;
    if (target.byPeak)
        return peakGain;

    const double rms = std::sqrt (sumSquares / (2.0 * (double) (end - begin)));
    return std::min (peakGain, target.rms / rms);
}
} // namespace

//==================================================================================================
std::vector<DemoPassage> demoPassages (double seconds)
{
    std::vector<DemoPassage> passages;
    for (int bar = 0; bar * kBar < seconds; ++bar)
    {
        const Kind kind = kBarKinds[(size_t) (bar % kBarsPerCycle)];
        const double end = std::min (seconds, (bar + 1) * kBar);
        if (! passages.empty() && passages.back().kind == kind)
            passages.back().endSeconds = end;
        else
            passages.push_back ({ kind, bar * kBar, end });
    }
    return passages;
}

juce::AudioBuffer<float> makeDemoProgramme (double sampleRate, double seconds)
{
    if (! (sampleRate > 0.0) || ! (seconds > 0.0))
        return juce::AudioBuffer<float> (2, 0);

    Mix mix { sampleRate, {}, {} };
    const auto length = (size_t) std::max<std::int64_t> (0, mix.sampleAt (seconds));
    mix.left.assign (length, 0.0);
    mix.right.assign (length, 0.0);

    Noise noise (0x5eed7a41u);
    for (int bar = 0; bar * kBar < seconds; ++bar)
        addBar (mix, noise, bar);

    // One gain per passage. A change of gain ramps over 10 ms on the side of the boundary whose own
    // gain is the higher, so no sample is ever scaled above its own passage's gain.
    const auto passages = demoPassages (seconds);
    std::vector<std::int64_t> bounds;
    std::vector<double> gains;
    for (const auto& p : passages)
    {
        const auto begin = std::min<std::int64_t> (mix.sampleAt (p.startSeconds), mix.length());
        const auto end = std::min<std::int64_t> (mix.sampleAt (p.endSeconds), mix.length());
        bounds.push_back (begin);
        gains.push_back (end > begin ? passageGain (mix, begin, end, p.kind) : 1.0);
    }
    bounds.push_back (mix.length());

    std::vector<double> gainCurve (length, 0.0);
    for (size_t i = 0; i < gains.size(); ++i)
        for (auto n = (size_t) bounds[i]; n < (size_t) bounds[i + 1]; ++n)
            gainCurve[n] = gains[i];

    const auto ramp = std::max<std::int64_t> (1, mix.sampleAt (0.01));
    for (size_t i = 0; i + 1 < gains.size(); ++i)
    {
        const double from = gains[i], to = gains[i + 1];
        const auto boundary = bounds[i + 1];
        const bool rampAfter = to > from;
        const auto rampStart = rampAfter ? boundary : std::max (bounds[i], boundary - ramp);
        const auto rampEnd = rampAfter ? std::min (bounds[i + 2], boundary + ramp) : boundary;
        const auto span = (double) (rampEnd - rampStart);
        for (auto n = rampStart; n < rampEnd; ++n)
            gainCurve[(size_t) n] = from + (to - from) * ((double) (n - rampStart) + 1.0) / (span + 1.0);
    }

    // Short fades so the programme neither starts nor stops with a click.
    const auto fadeIn = std::min<std::int64_t> (mix.length(), mix.sampleAt (0.002));
    const auto fadeOut = std::min<std::int64_t> (mix.length(), mix.sampleAt (0.01));
    for (std::int64_t n = 0; n < fadeIn; ++n)
        gainCurve[(size_t) n] *= (double) n / (double) fadeIn;
    for (std::int64_t n = 0; n < fadeOut; ++n)
        gainCurve[(size_t) (mix.length() - 1 - n)] *= (double) n / (double) fadeOut;

    juce::AudioBuffer<float> out (2, (int) length);
    for (size_t n = 0; n < length; ++n)
    {
        out.setSample (0, (int) n, (float) (mix.left[n] * gainCurve[n]));
        out.setSample (1, (int) n, (float) (mix.right[n] * gainCurve[n]));
    }
    return out;
}
} // namespace kt::tools
