#include "RenderReport.h"

#include <cmath>

namespace kt::tools
{
namespace
{
const juce::String arrow (juce::CharPointer_UTF8 ("\xe2\x86\x92"));

juce::String right (const juce::String& text, int width) { return text.paddedLeft (' ', width); }
juce::String left (const juce::String& text, int width) { return text + juce::String::repeatedString (" ", width - text.length()); }

/** A number for the JSON report: rounded to 0.01, or null when it has no value. */
juce::var jsonNumber (double value)
{
    if (! std::isfinite (value))
        return {};
    const double rounded = std::round (value * 100.0) / 100.0;
    return rounded == 0.0 ? 0.0 : rounded; // no -0
}

juce::var loudnessJson (const LoudnessFigures& f)
{
    auto* o = new juce::DynamicObject();
    o->setProperty ("integratedLufs", jsonNumber (f.integratedLufs));
    o->setProperty ("rangeLu", jsonNumber (f.rangeLu));
    o->setProperty ("truePeakDbtp", jsonNumber (f.truePeakDbtp));
    o->setProperty ("samplePeakDbfs", jsonNumber (f.samplePeakDbfs));
    return o;
}

juce::var reductionsJson (const StageReductions& r)
{
    auto* agc = new juce::DynamicObject();
    agc->setProperty ("minDb", jsonNumber (r.agcMinDb));
    agc->setProperty ("maxDb", jsonNumber (r.agcMaxDb));

    juce::Array<juce::var> bands;
    for (float band : r.bandDb)
        bands.add (jsonNumber (band));

    auto* o = new juce::DynamicObject();
    o->setProperty ("agcGainDb", agc);
    o->setProperty ("postCompressorDb", jsonNumber (r.postCompressorDb));
    o->setProperty ("multibandDb", bands);
    o->setProperty ("hfLimiterDb", jsonNumber (r.hfLimiterDb));
    o->setProperty ("fmClipperActivityDb", jsonNumber (r.fmClipperDb));
    o->setProperty ("bassClipperDb", jsonNumber (r.bassClipperDb));
    o->setProperty ("truePeakLimiterDb", jsonNumber (r.truePeakLimiterDb));
    return o;
}

juce::var settingsJson (const RenderSettings& s)
{
    auto* stages = new juce::DynamicObject();
    for (const auto& [id, on] : s.stages)
        stages->setProperty (id, on);

    auto* o = new juce::DynamicObject();
    o->setProperty ("preset", s.preset);
    o->setProperty ("presetIndex", s.presetIndex);
    o->setProperty ("extreme", s.extreme);
    o->setProperty ("bypass", s.bypass);
    o->setProperty ("autoInput", s.autoInput);
    o->setProperty ("inputDb", jsonNumber (s.inputDb));
    o->setProperty ("stages", stages);
    o->setProperty ("blockSize", s.blockSize);
    o->setProperty ("keepLatency", s.keepLatency);
    o->setProperty ("outputFormat", s.floatOutput ? "32-bit float WAV" : "24-bit WAV");
    return o;
}

juce::var fileJson (const FileReport& r)
{
    auto* o = new juce::DynamicObject();
    o->setProperty ("input", r.inputFile == juce::File() ? r.inputName : r.inputFile.getFullPathName());
    o->setProperty ("output", r.outputFile.getFullPathName());
    o->setProperty ("ok", r.ok);
    if (! r.ok)
    {
        o->setProperty ("error", r.error);
        return o;
    }
    if (r.plotFile != juce::File())
        o->setProperty ("plot", r.plotFile.getFullPathName());
    o->setProperty ("sampleRate", r.sampleRate);
    o->setProperty ("channels", r.channels);
    o->setProperty ("seconds", std::round (r.seconds() * 1000.0) / 1000.0);
    o->setProperty ("speed", jsonNumber (r.speed()));

    auto* loudness = new juce::DynamicObject();
    loudness->setProperty ("input", loudnessJson (r.inputLoudness));
    loudness->setProperty ("output", loudnessJson (r.outputLoudness));
    o->setProperty ("loudness", loudness);
    o->setProperty ("largestGainReduction", reductionsJson (r.reductions));
    return o;
}
} // namespace

//==================================================================================================
void StageReductions::add (const kt::PublishedValues& p)
{
    const float agc = p.agcGainDb.get();
    agcMinDb = any ? std::min (agcMinDb, agc) : agc;
    agcMaxDb = any ? std::max (agcMaxDb, agc) : agc;
    any = true;

    postCompressorDb = std::max (postCompressorDb, p.postCompReductionDb.get());
    for (size_t i = 0; i < bandDb.size(); ++i)
        bandDb[i] = std::max (bandDb[i], p.bandGainReductionDb[i].get());
    hfLimiterDb = std::max (hfLimiterDb, p.hfLimiterReductionDb.get());
    fmClipperDb = std::max (fmClipperDb, p.fmClipperActivityDb.get());
    bassClipperDb = std::max (bassClipperDb, p.bassClipperReductionDb.get());
    truePeakLimiterDb = std::max (truePeakLimiterDb, p.truePeakReductionDb.get());
}

juce::StringArray RenderSettings::stagesOff() const
{
    juce::StringArray off;
    for (const auto& [id, on] : stages)
        if (! on)
            off.add (id);
    return off;
}

//==================================================================================================
juce::String fixed (double value, int decimals)
{
    if (std::isnan (value))
        return "?";
    if (std::isinf (value))
        return value < 0.0 ? "-inf" : "inf";
    auto text = juce::String (value, decimals);
    if (text.startsWithChar ('-') && text.containsOnly ("-0."))
        text = text.substring (1);
    return text;
}

juce::String durationText (double seconds)
{
    const auto total = (juce::int64) std::llround (std::max (0.0, seconds));
    const auto h = total / 3600, m = (total / 60) % 60, s = total % 60;
    const auto two = [] (juce::int64 v) { return juce::String (v).paddedLeft ('0', 2); };
    return h > 0 ? juce::String (h) + ":" + two (m) + ":" + two (s) : juce::String (m) + ":" + two (s);
}

juce::String loudnessTable (const LoudnessFigures& in, const LoudnessFigures& out)
{
    constexpr int labelWidth = 20, valueWidth = 7;
    const auto row = [&] (const char* label, double a, double b) {
        return left (label, labelWidth) + right (fixed (a), valueWidth) + "  " + arrow + " " + right (fixed (b), valueWidth) + "\n";
    };
    return left ("loudness", labelWidth) + right ("input", valueWidth) + "  " + arrow + " " + right ("output", valueWidth) + "\n"
           + row ("integrated LUFS", in.integratedLufs, out.integratedLufs)
           + row ("loudness range LU", in.rangeLu, out.rangeLu)
           + row ("true peak dBTP", in.truePeakDbtp, out.truePeakDbtp)
           + row ("sample peak dBFS", in.samplePeakDbfs, out.samplePeakDbfs);
}

juce::String batchLine (const FileReport& r, int number, int count)
{
    return "[" + juce::String (number) + "/" + juce::String (count) + "] " + r.inputName + ": " + durationText (r.seconds())
           + ", " + fixed (r.inputLoudness.integratedLufs) + " " + arrow + " " + fixed (r.outputLoudness.integratedLufs)
           + " LUFS, true peak " + fixed (r.outputLoudness.truePeakDbtp) + " dBTP, " + fixed (r.speed()) + "x real time, written to "
           + r.outputFile.getFullPathName();
}

juce::String batchTable (const std::vector<FileReport>& reports)
{
    constexpr int maxNameWidth = 40;
    int nameWidth = 4;
    for (const auto& r : reports)
        nameWidth = std::max (nameWidth, std::min (maxNameWidth, r.inputName.length()));

    const auto name = [&] (const juce::String& text) {
        return left (text.length() > nameWidth ? "..." + text.getLastCharacters (nameWidth - 3) : text, nameWidth);
    };

    juce::String table;
    constexpr int w = 10;
    table << name ("file") << right ("length", w) << right ("in LUFS", w) << right ("out LUFS", w) << right ("out dBTP", w)
          << right ("speed", w) << "  result\n";

    int failed = 0;
    for (const auto& r : reports)
    {
        table << name (r.inputName);
        if (r.ok)
            table << right (durationText (r.seconds()), w) << right (fixed (r.inputLoudness.integratedLufs), w)
                  << right (fixed (r.outputLoudness.integratedLufs), w) << right (fixed (r.outputLoudness.truePeakDbtp), w)
                  << right (fixed (r.speed()) + "x", w) << "  ok\n";
        else
            table << right ("-", w) << right ("-", w) << right ("-", w) << right ("-", w) << right ("-", w) << "  FAILED: " << r.error << "\n";
        failed += r.ok ? 0 : 1;
    }

    const auto count = (int) reports.size();
    table << (count - failed) << " of " << count << " files rendered";
    if (failed > 0)
        table << ", " << failed << " failed";
    return table << "\n";
}

juce::var jsonReport (const RenderSettings& settings, const std::vector<FileReport>& reports)
{
    juce::Array<juce::var> files;
    for (const auto& r : reports)
        files.add (fileJson (r));

    auto* o = new juce::DynamicObject();
    o->setProperty ("tool", "tarvik-render");
    o->setProperty ("version", TARVIK_VERSION);
    o->setProperty ("settings", settingsJson (settings));
    o->setProperty ("files", files);
    return o;
}
} // namespace kt::tools
