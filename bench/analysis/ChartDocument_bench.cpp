// A chart document of 50 frames of 4096 points: loading it into a chart window (parse, typed values,
// series filled, the chart's first paint) against pugixml parsing the same bytes alone, and saving a
// window holding it against pugixml saving the same tree, each timed in the same iteration. Counters:
// "ratio" is ours over pugixml's (goals: load within 2, save within 3), "ours_ms" and "pugixml_ms" the
// times themselves. Saving is measured twice: to a file (ours replaces it through a flushed temporary
// file and a rename, pugixml writes it in place) and into memory. BM_LoadPhases splits loading up.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <pugixml.hpp>
#include <string>

#include "analysis/ChartDocument.h"
#include "analysis/UnitChart.h"
#include "chart/Chart.h"
#include "chart/PlotTools.h"
#include "platform/rtl/FileUtils.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/StandardClasses.h"
#include "ui/controls/ControlsClasses.h"
#include "ui/drawing/DrawingClasses.h"
#include "ui/office/KvxAppStyler.h"
#include "ui/toolbars/ToolbarsClasses.h"
#include "xml/DomSimpleXml.h"

namespace {

using namespace plat;
using clock_type = std::chrono::steady_clock;

constexpr int kFrames = 50;
constexpr int kPoints = 4096;

double Milliseconds(clock_type::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Even frames hold raw counts, odd ones computed values with full precision, as smoothing and
// averaging leave them.
TChartDocument Document() {
    TChartDocument doc;
    doc.XAxis = {"Pixel", "0"};
    doc.YAxis = {"Counts", "0"};
    doc.ReferenceMax = TfmChart::NoReferenceMax;
    for (int f = 0; f < kFrames; ++f) {
        TChartDocumentFrame frame;
        frame.Title = "FRAME " + std::to_string(f + 1);
        frame.Color = 0x0000FF + f * 0x010203;
        for (int i = 0; i < kPoints; ++i) {
            double v = 1200 + 900 * std::sin(i * 0.01 + f) + 300 * std::exp(-std::pow((i - 2000.0) / 40, 2));
            if (f % 2 == 0)
                v = std::round(v);
            frame.X.push_back(i);
            frame.Y.push_back(v);
            frame.MaxYValue = std::max(frame.MaxYValue, v);
        }
        frame.Maxima = {2000};
        doc.Frames.push_back(std::move(frame));
    }
    return doc;
}

struct TStringWriter : pugi::xml_writer {
    std::string Out;
    void write(const void* data, size_t size) override { Out.append(static_cast<const char*>(data), size); }
};

// A chart window on the headless display, with the About box's styler its layout refers to.
struct TWindowSetup {
    TTestDriver Driver;
    TForm* About = nullptr;
    TForm* MdiFrame = nullptr;
    TfmChart* Form = nullptr;
    std::string Folder;
    std::string File;
    std::string Bytes;

    TWindowSetup() {
        RegisterStandardClasses();
        ui::RegisterControlsClasses();
        ui::RegisterDrawingClasses();
        ui::RegisterToolbarsClasses();
        chart::RegisterChartToolClasses();
        About = NewForm<TForm>(Application);
        About->SetName("fmAbout");
        (new ui::TKvxAppStyler(About))->SetName("KvxAppStyler1");
        // The chart window is an MDI child, as in the program.
        MdiFrame = NewForm<TForm>(Application);
        MdiFrame->SetFormStyle(fsMDIForm);
        MdiFrame->SetBounds(0, 0, 1280, 800);
        MdiFrame->Show();
        Form = NewForm<TfmChart>(MdiFrame);
        Form->SetBounds(0, 0, 1200, 700);
        Driver.Pump();
        Folder = (std::filesystem::temp_directory_path() / "lumetra-chart-document-bench").string();
        std::filesystem::create_directories(Folder);
        File = Folder + "/chart.xml";
        WriteChartDocument(Document(), File);
        Bytes = ReadAllText(File);
    }
    ~TWindowSetup() {
        delete Form;
        delete MdiFrame;
        delete About;
        std::filesystem::remove_all(Folder);
    }
};

TWindowSetup& Setup() {
    static TWindowSetup setup;
    return setup;
}

void Report(benchmark::State& state, double ours, double theirs) {
    const double n = static_cast<double>(state.iterations());
    state.counters["ours_ms"] = ours / n;
    state.counters["pugixml_ms"] = theirs / n;
    state.counters["ratio"] = ours / theirs;
}

void BM_LoadIntoWindow(benchmark::State& state) {
    TWindowSetup& s = Setup();
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        auto start = clock_type::now();
        s.Form->LoadChartDocument(s.File);
        benchmark::DoNotOptimize(s.Driver.Render(s.Form->Chart1));
        ours += Milliseconds(clock_type::now() - start);

        start = clock_type::now();
        pugi::xml_document doc;
        if (!doc.load_buffer(s.Bytes.data(), s.Bytes.size()))
            state.SkipWithError("pugixml could not parse the document");
        benchmark::DoNotOptimize(doc.first_child());
        theirs += Milliseconds(clock_type::now() - start);
    }
    if (s.Form->FrameCount() != kFrames)
        state.SkipWithError("the window did not load every frame");
    Report(state, ours, theirs);
}

void BM_SaveToFile(benchmark::State& state) {
    TWindowSetup& s = Setup();
    s.Form->LoadChartDocument(s.File);
    pugi::xml_document doc;
    doc.load_buffer(s.Bytes.data(), s.Bytes.size());
    const std::string ourFile = s.Folder + "/ours.xml", theirFile = s.Folder + "/pugixml.xml";
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        auto start = clock_type::now();
        s.Form->SaveChartDocument(ourFile);
        ours += Milliseconds(clock_type::now() - start);

        start = clock_type::now();
        doc.save_file(theirFile.c_str(), "  ");
        theirs += Milliseconds(clock_type::now() - start);
    }
    Report(state, ours, theirs);
}

void BM_SaveToMemory(benchmark::State& state) {
    TWindowSetup& s = Setup();
    s.Form->LoadChartDocument(s.File);
    pugi::xml_document doc;
    doc.load_buffer(s.Bytes.data(), s.Bytes.size());
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        auto start = clock_type::now();
        benchmark::DoNotOptimize(ChartDocumentText(s.Form->ChartDocument()));
        ours += Milliseconds(clock_type::now() - start);

        start = clock_type::now();
        TStringWriter writer;
        doc.save(writer, "  ");
        benchmark::DoNotOptimize(writer.Out.data());
        theirs += Milliseconds(clock_type::now() - start);
    }
    Report(state, ours, theirs);
}

// Where loading spends its time: the XML model parsing the file alone, the reader (parse and typed
// values), and the window (series filled and the first paint).
void BM_LoadPhases(benchmark::State& state) {
    TWindowSetup& s = Setup();
    double parse = 0, read = 0, window = 0;
    for (auto _ : state) {
        auto start = clock_type::now();
        {
            xml::TDomSimpleXML dom;
            dom.LoadFromFile(s.File);
        }
        auto parsed = clock_type::now();
        TChartDocument doc;
        ReadChartDocument(s.File, doc);
        auto read_ = clock_type::now();
        s.Form->LoadChartDocument(doc);
        benchmark::DoNotOptimize(s.Driver.Render(s.Form->Chart1));
        auto shown = clock_type::now();
        parse += Milliseconds(parsed - start);
        read += Milliseconds(read_ - parsed);
        window += Milliseconds(shown - read_);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["parse_ms"] = parse / n;
    state.counters["read_ms"] = read / n;
    state.counters["window_ms"] = window / n;
}

BENCHMARK(BM_LoadIntoWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveToMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPhases)->Unit(benchmark::kMillisecond);

} // namespace
