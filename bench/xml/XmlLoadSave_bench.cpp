// Loading and saving a chart document of 50 frames of 4096 points, with our parser and writer and with
// pugixml on the same bytes. After the runs it prints how long ours takes relative to pugixml (below 1
// is faster).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <pugixml.hpp>
#include <string>

#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/Stream.h"
#include "xml/DomSimpleXml.h"

namespace {

constexpr int kFrames = 50;
constexpr int kPoints = 4096;

// The layout the chart window writes. Even frames hold raw counts, odd ones computed values with
// full precision, as smoothing and averaging leave them.
std::string BuildChartText() {
    xml::TDomSimpleXML doc;
    xml::TDomSimpleXMLElem* chart = doc.Root();
    chart->SetName("chart");
    xml::TDomSimpleXMLProps& x = chart->Items().Add("XAxis")->Properties();
    x.Add("Title", "Pixel");
    x.Add("Format", "#,##0.###");
    x.AddInteger("Xmultipler", 0);
    x.AddBoolean("Inverted", false);
    xml::TDomSimpleXMLProps& y = chart->Items().Add("YAxis")->Properties();
    y.Add("Title", "Counts");
    y.Add("Format", "#,##0.###");
    y.Add("MaxValue", plat::FloatToStr(4.94065645841247E-324));
    y.AddBoolean("Relative", false);
    xml::TDomSimpleXMLElem* frames = chart->Items().Add("Frames");
    frames->Properties().AddInteger("Count", kFrames);
    for (int f = 0; f < kFrames; ++f) {
        xml::TDomSimpleXMLElem* frame = frames->Items().Add("Frame");
        frame->Properties().Add("Title", "FRAME " + std::to_string(f + 1));
        frame->Properties().AddInteger("Color", 0x0000FF + f * 0x010203);
        xml::TDomSimpleXMLProp* maxY = frame->Properties().Add("MaxYValue", "0");
        xml::TDomSimpleXMLElem* points = frame->Items().Add("points");
        points->Properties().AddInteger("Count", kPoints);
        double max = 0;
        for (int i = 0; i < kPoints; ++i) {
            double v = 1200 + 900 * std::sin(i * 0.01 + f) + 300 * std::exp(-std::pow((i - 2000.0) / 40, 2));
            if (f % 2 == 0)
                v = std::round(v);
            max = std::max(max, v);
            xml::TDomSimpleXMLProps& p = points->Items().Add("point")->Properties();
            p.AddInteger("index", i);
            p.Add("X", plat::FloatToStr(i));
            p.Add("Y", plat::FloatToStr(v));
        }
        maxY->SetValue(plat::FloatToStr(max));
        xml::TDomSimpleXMLElem* maxima = frame->Items().Add("Maxima");
        maxima->Properties().AddInteger("Count", 1);
        maxima->Items().Add("Max")->Properties().AddInteger("index", 2000);
        frame->Items().Add("Minima")->Properties().AddInteger("Count", 0);
    }
    xml::TDomSimpleXMLElem* boxes = chart->Items().Add("TextBoxes");
    boxes->Properties().AddInteger("Count", 0);
    plat::TMemoryStream stream;
    doc.SaveToStream(stream);
    return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

const std::string& ChartText() {
    static const std::string text = BuildChartText();
    return text;
}

// The same bytes in a stream, made before the benchmarks run so that a profile of the load benchmark
// (callgrind's --toggle-collect on it) counts loading alone.
plat::TMemoryStream& ChartStream() {
    static plat::TMemoryStream stream;
    if (stream.Size() == 0)
        stream.WriteString(ChartText());
    return stream;
}

struct TStringWriter : pugi::xml_writer {
    std::string Out;
    void write(const void* data, size_t size) override { Out.append(static_cast<const char*>(data), size); }
};

void BM_Load_Lumetra(benchmark::State& state) {
    plat::TMemoryStream& stream = ChartStream();
    for (auto _ : state) {
        stream.SetPosition(0);
        xml::TDomSimpleXML doc;
        doc.LoadFromStream(stream);
        benchmark::DoNotOptimize(doc.Root());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(ChartText().size()));
}

void BM_Load_Pugixml(benchmark::State& state) {
    const std::string& text = ChartText();
    for (auto _ : state) {
        pugi::xml_document doc;
        pugi::xml_parse_result result = doc.load_buffer(text.data(), text.size());
        if (!result)
            state.SkipWithError(result.description());
        benchmark::DoNotOptimize(doc.first_child());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_Save_Lumetra(benchmark::State& state) {
    xml::TDomSimpleXML doc;
    plat::TMemoryStream in;
    in.WriteString(ChartText());
    in.SetPosition(0);
    doc.LoadFromStream(in);
    int64_t bytes = 0;
    for (auto _ : state) {
        plat::TMemoryStream out;
        doc.SaveToStream(out);
        bytes = out.Size();
        benchmark::DoNotOptimize(out.Memory());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_Save_Pugixml(benchmark::State& state) {
    pugi::xml_document doc;
    doc.load_buffer(ChartText().data(), ChartText().size());
    int64_t bytes = 0;
    for (auto _ : state) {
        TStringWriter writer;
        doc.save(writer, "  ");
        bytes = static_cast<int64_t>(writer.Out.size());
        benchmark::DoNotOptimize(writer.Out.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

BENCHMARK(BM_Load_Lumetra)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_Pugixml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save_Lumetra)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save_Pugixml)->Unit(benchmark::kMillisecond);

// Keeps the time per iteration of every benchmark (the median when runs are repeated) so the ratios
// can be printed at the end.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            if (run.run_type == Run::RT_Iteration && !Medians.count(run.run_name.function_name))
                Times[run.run_name.function_name] = run.GetAdjustedRealTime();
            else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                Medians[run.run_name.function_name] = Times[run.run_name.function_name] =
                    run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Times;
    std::map<std::string, double> Medians;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::printf("chart document: %d frames x %d points, %zu bytes\n", kFrames, kPoints, ChartText().size());
    ChartStream();
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* what : {"Load", "Save"}) {
        auto ours = reporter.Times.find(std::string("BM_") + what + "_Lumetra");
        auto theirs = reporter.Times.find(std::string("BM_") + what + "_Pugixml");
        if (ours != reporter.Times.end() && theirs != reporter.Times.end())
            std::printf("%s ratio (Lumetra / pugixml): %.2f\n", what, ours->second / theirs->second);
    }
    benchmark::Shutdown();
    return 0;
}
