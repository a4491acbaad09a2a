// libFuzzer target for the chart document readers. Any bytes are read by all three readers; a document
// that reads must hold what the readers promise (one point count, X and Y in pairs, marks on existing
// points, finite values, text boxes without LF), and written back it must read to the same document.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

#include "analysis/ChartDocument.h"
#include "platform/rtl/Exception.h"

namespace {

// The readers take file names: the input lives in a memory file reached through /proc.
class TMemoryFile {
public:
    TMemoryFile() : FFd(memfd_create("chart-document", 0)) {
        if (FFd < 0)
            std::abort();
        FName = "/proc/self/fd/" + std::to_string(FFd);
    }
    ~TMemoryFile() { close(FFd); }
    const std::string& Set(const void* Data, size_t Size) {
        if (ftruncate(FFd, 0) != 0 || pwrite(FFd, Data, Size, 0) != static_cast<ssize_t>(Size))
            std::abort();
        return FName;
    }

private:
    int FFd;
    std::string FName;
};

void Check(bool Condition, const char* What) {
    if (!Condition) {
        std::fprintf(stderr, "broken promise: %s\n", What);
        std::abort();
    }
}

void CheckDocument(const TChartDocument& Doc) {
    for (const TChartDocumentFrame& f : Doc.Frames) {
        Check(!f.X.empty() && f.X.size() == f.Y.size(), "points come in pairs, never none");
        Check(f.X.size() == Doc.Frames.front().X.size(), "one point count");
        for (size_t i = 0; i < f.X.size(); ++i)
            Check(std::isfinite(f.X[i]) && std::isfinite(f.Y[i]), "finite values");
        for (int index : f.Maxima)
            Check(index >= 0 && static_cast<size_t>(index) < f.X.size(), "peaks on points");
        for (int index : f.Minima)
            Check(index >= 0 && static_cast<size_t>(index) < f.X.size(), "valleys on points");
    }
    for (const TChartDocumentTextBox& box : Doc.TextBoxes)
        Check(box.Text.find('\n') == std::string::npos, "no LF in a text box");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    static TMemoryFile file;
    const std::string& name = file.Set(Data, Size);
    TChartDocument doc;
    bool read = false;
    try {
        read = ReadChartDocument(name, doc);
        for (const TChartDocumentFrameEntry& entry : ListChartDocumentFrames(name))
            (void)entry.Importable(0);
        for (int position = 0; position < 4; ++position) {
            TChartDocumentFrame frame;
            if (ReadChartDocumentFrame(name, position, 0, frame))
                Check(frame.X.size() == frame.Y.size() && !frame.X.empty(), "an imported frame is whole");
        }
    } catch (const plat::Exception&) {
        return 0;
    }
    if (!read)
        return 0;
    CheckDocument(doc);

    const std::string text = ChartDocumentText(doc);
    TChartDocument again;
    Check(ReadChartDocument(file.Set(text.data(), text.size()), again), "a written document reads");
    Check(again.Frames.size() == doc.Frames.size() && again.TextBoxes.size() == doc.TextBoxes.size(),
          "frames and boxes survive writing");
    Check(ChartDocumentText(again) == text, "written again, the same text");
    return 0;
}
