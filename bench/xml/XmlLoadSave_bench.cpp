// Loading and saving a chart document of 50 frames of 4096 points, with our parser and writer and with
// pugixml on the same bytes. After the runs it prints how long ours takes relative to pugixml (below 1
// is faster).
//
// Then how the parser scales: a million attributes on one element against a million small elements
// (parsing, and reading every attribute back by position), and the peak memory of loading a 100 MB
// file, per byte of the file: a chart document, and one of attributes alone.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <pugixml.hpp>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

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

// --- Scaling ---------------------------------------------------------------------------------------------

constexpr int kMillion = 1000000;

// One element with Count attributes, or one element with Count empty children: about the same bytes.
std::string ManyAttributes(int count) {
    std::string s = "<r";
    for (int i = 0; i < count; ++i)
        s += " a" + std::to_string(i % 1000) + "=\"" + std::to_string(i % 10) + "\"";
    return s + "/>";
}

std::string ManyElements(int count) {
    std::string s = "<r>";
    for (int i = 0; i < count; ++i)
        s += "<e" + std::to_string(i % 1000) + "/>";
    return s + "</r>";
}

void ParseText(benchmark::State& state, const std::string& text) {
    plat::TMemoryStream stream;
    stream.WriteString(text);
    for (auto _ : state) {
        stream.SetPosition(0);
        xml::TDomSimpleXML doc;
        doc.LoadFromStream(stream);
        benchmark::DoNotOptimize(doc.Root());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_Parse_MillionAttributes(benchmark::State& state) {
    ParseText(state, ManyAttributes(kMillion));
}

void BM_Parse_MillionElements(benchmark::State& state) {
    ParseText(state, ManyElements(kMillion));
}

// Every attribute by position, as a program that lists a document does.
void BM_Read_MillionAttributes(benchmark::State& state) {
    plat::TMemoryStream stream;
    stream.WriteString(ManyAttributes(kMillion));
    stream.SetPosition(0);
    xml::TDomSimpleXML doc;
    doc.LoadFromStream(stream);
    xml::TDomSimpleXMLProps& props = doc.Root()->Properties();
    for (auto _ : state) {
        size_t bytes = 0;
        for (int i = 0; i < props.Count(); ++i)
            bytes += props.Item(i)->Name().size() + props.Item(i)->Value().size();
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_Read_MillionElements(benchmark::State& state) {
    plat::TMemoryStream stream;
    stream.WriteString(ManyElements(kMillion));
    stream.SetPosition(0);
    xml::TDomSimpleXML doc;
    doc.LoadFromStream(stream);
    xml::TDomSimpleXMLElems& items = doc.Root()->Items();
    for (auto _ : state) {
        size_t bytes = 0;
        for (int i = 0; i < items.Count(); ++i)
            bytes += items.Item(i)->Name().size() + items.Item(i)->Value().size();
        benchmark::DoNotOptimize(bytes);
    }
}

// A chart document of about Bytes bytes in the writer's layout, frame after frame, written straight
// to the file so that making it costs little memory.
void WriteChartFile(const std::string& fileName, int64_t bytes) {
    const int frames = std::max<int64_t>(1, bytes / static_cast<int64_t>(ChartText().size()) * kFrames);
    FILE* f = std::fopen(fileName.c_str(), "wb");
    if (!f)
        return;
    std::fputs("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<chart>\r\n", f);
    std::fprintf(f, "  <Frames Count=\"%d\">\r\n", frames);
    std::string line;
    for (int frame = 0; frame < frames; ++frame) {
        std::fprintf(f, "    <Frame Title=\"FRAME %d\" Color=\"%d\">\r\n", frame + 1, 0x0000FF + frame * 3);
        std::fprintf(f, "      <points Count=\"%d\">\r\n", kPoints);
        for (int i = 0; i < kPoints; ++i) {
            double v = 1200 + 900 * std::sin(i * 0.01 + frame);
            if (frame % 2 == 0)
                v = std::round(v);
            line = "        <point index=\"" + std::to_string(i) + "\" X=\"" + plat::FloatToStr(i) +
                   "\" Y=\"" + plat::FloatToStr(v) + "\"/>\r\n";
            std::fputs(line.c_str(), f);
        }
        std::fputs("      </points>\r\n    </Frame>\r\n", f);
    }
    std::fputs("  </Frames>\r\n</chart>\r\n", f);
    std::fclose(f);
}

// The peak resident memory of a fresh run of this program that loads FileName (none: only starts), as
// the child reports it. The kernel's record of a finished child (wait4) will not do: exec keeps the
// peak of the memory the child was forked with, which is this whole process, and subtracting an idle
// run then hides as much of the load as this process holds.
int64_t ChildPeakBytes(const std::string& fileName) {
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        ::execl("/proc/self/exe", "xml_load_save_bench", "--load-peak", fileName.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(fds[1]);
    std::string report;
    char buffer[256];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
        report.append(buffer, static_cast<size_t>(n));
    ::close(fds[0]);
    if (pid < 0)
        return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    char* end = nullptr;
    const long long bytes = std::strtoll(report.c_str(), &end, 10);
    return end != report.c_str() ? bytes : -1;
}

// The peak resident memory of this process so far (the kernel's high-water mark).
int64_t OwnPeakBytes() {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %lld kB", &kb) == 1)
            break;
    std::fclose(f);
    return kb < 0 ? -1 : kb * 1024;
}

// The child's side: load the file (when one is named), then print the peak memory.
int LoadForPeak(const char* fileName) {
    if (*fileName != 0) {
        try {
            xml::TDomSimpleXML doc;
            doc.LoadFromFile(fileName);
            benchmark::DoNotOptimize(doc.Root());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
    }
    const int64_t peak = OwnPeakBytes();
    if (peak < 0)
        return 1;
    std::printf("%lld\n", static_cast<long long>(peak));
    return 0;
}

// The same size of elements that hold nothing but attributes, a thousand to a tag.
void WriteAttributesFile(const std::string& fileName, int64_t bytes) {
    FILE* f = std::fopen(fileName.c_str(), "wb");
    if (!f)
        return;
    std::fputs("<r>\r\n", f);
    int64_t written = 0;
    for (int tag = 0; written < bytes; ++tag) {
        std::string line = "  <e";
        for (int i = 0; i < 1000; ++i)
            line += " a" + std::to_string(i) + "=\"" + std::to_string((tag + i) % 100) + "\"";
        line += "/>\r\n";
        std::fputs(line.c_str(), f);
        written += static_cast<int64_t>(line.size());
    }
    std::fputs("</r>\r\n", f);
    std::fclose(f);
}

// Peak memory of a load beyond what the program takes without one, per byte of the file.
void LoadFilePeakMemory(benchmark::State& state, void (*write)(const std::string&, int64_t)) {
    const std::string fileName = "/tmp/lumetra_xml_peak_" + std::to_string(::getpid()) + ".xml";
    write(fileName, state.range(0) << 20);
    FILE* f = std::fopen(fileName.c_str(), "rb");
    int64_t fileBytes = 0;
    if (f) {
        std::fseek(f, 0, SEEK_END);
        fileBytes = std::ftell(f);
        std::fclose(f);
    }
    int64_t peak = -1, idle = -1;
    for (auto _ : state) {
        idle = ChildPeakBytes("");
        peak = ChildPeakBytes(fileName);
    }
    std::remove(fileName.c_str());
    if (peak < 0 || idle < 0 || fileBytes <= 0) {
        state.SkipWithError("the loading child failed");
        return;
    }
    state.counters["file_MB"] = static_cast<double>(fileBytes) / (1 << 20);
    state.counters["peak_MB"] = static_cast<double>(peak - idle) / (1 << 20);
    state.counters["peak_per_file_byte"] = static_cast<double>(peak - idle) / static_cast<double>(fileBytes);
}

void BM_LoadFile_PeakMemory_Chart(benchmark::State& state) {
    LoadFilePeakMemory(state, WriteChartFile);
}

void BM_LoadFile_PeakMemory_Attributes(benchmark::State& state) {
    LoadFilePeakMemory(state, WriteAttributesFile);
}

BENCHMARK(BM_Load_Lumetra)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_Pugixml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save_Lumetra)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save_Pugixml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Parse_MillionAttributes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Parse_MillionElements)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_MillionAttributes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_MillionElements)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFile_PeakMemory_Chart)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFile_PeakMemory_Attributes)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

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
    if (argc == 3 && std::strcmp(argv[1], "--load-peak") == 0)
        return LoadForPeak(argv[2]);
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
