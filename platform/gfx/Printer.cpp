#include "platform/gfx/Printer.h"

#include <cups/cups.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <unistd.h>

#include "platform/gfx/PdfSurface.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Stream.h"

namespace plat {

PLAT_CLASS_INFO(TPrinter, TObject)

namespace {
const char* const kNoPrinter = "There is no default printer currently selected";
const char* const kPrinting = "Printing in progress";
const char* const kNotPrinting = "Printer is not currently printing";
const char* const kBadIndex = "Printer selected is not valid";
const char* const kNoPdfFileName = "No file name was given for the PDF file";

// A connection to the chosen server, or the library's default one (null).
http_t* Connect(const std::string& server) {
    if (server.empty())
        return CUPS_HTTP_DEFAULT;
    std::string host = server;
    int port = 631;
    if (host[0] != '/') {
        size_t colon = host.rfind(':');
        if (colon != std::string::npos) {
            port = std::atoi(host.c_str() + colon + 1);
            host.resize(colon);
        }
    }
    return httpConnect2(host.c_str(), port, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1, 3000,
                        nullptr);
}
} // namespace

// ---- CUPS ----

TCupsSpooler::TCupsSpooler(std::string server) : FServer(std::move(server)) {}

std::vector<std::string> TCupsSpooler::Printers(int& defaultIndex) {
    defaultIndex = -1;
    std::vector<std::string> names;
    http_t* http = Connect(FServer);
    if (!FServer.empty() && !http)
        return names;
    cups_dest_t* dests = nullptr;
    int count = cupsGetDests2(http, &dests);
    for (int i = 0; i < count; ++i) {
        if (dests[i].instance)
            continue; // instances are option sets of a queue, not queues
        if (dests[i].is_default)
            defaultIndex = static_cast<int>(names.size());
        names.emplace_back(dests[i].name);
    }
    cupsFreeDests(count, dests);
    if (http)
        httpClose(http);
    return names;
}

void TCupsSpooler::Submit(const TPrintJob& job) {
    http_t* http = Connect(FServer);
    if (!FServer.empty() && !http)
        throw EPrinter("Cannot reach the print server " + FServer);
    cups_option_t* options = nullptr;
    int count = cupsAddOption("copies", std::to_string(job.Copies).c_str(), 0, &options);
    int id =
        cupsPrintFile2(http, job.Printer.c_str(), job.FileName.c_str(), job.Title.c_str(), count, options);
    cupsFreeOptions(count, options);
    if (http)
        httpClose(http);
    if (id == 0)
        throw EPrinter("Printing on " + job.Printer + " failed: " + cupsLastErrorString());
}

// ---- TPrinter ----

TPrinter::TPrinter(std::unique_ptr<TPrintSpooler> spooler)
    : FSpooler(spooler ? std::move(spooler) : std::make_unique<TCupsSpooler>()),
      FCanvas(std::make_unique<TCanvas>()) {
    FCanvas->Font()->SetPixelsPerInch(FPixelsPerInch);
}

TPrinter::~TPrinter() {
    if (FPrinting)
        Abort();
}

TStrings* TPrinter::Printers() {
    if (!FPrinters) {
        FPrinters = std::make_unique<TStringList>();
        int def = -1;
        for (const std::string& name : FSpooler->Printers(def))
            FPrinters->Add(name);
        int queues = FPrinters->Count();
        FDefaultIndex = def >= 0 && def < queues ? def : queues > 0 ? 0 : -1;
        FPrinters->Add(PdfFilePrinterName);
        if (FPrinterIndex >= FPrinters->Count())
            FPrinterIndex = -1;
    }
    return FPrinters.get();
}

void TPrinter::Refresh() {
    std::string chosen = FPrinterIndex >= 0 && FPrinters ? FPrinters->Get(FPrinterIndex) : std::string();
    FPrinters.reset();
    FPrinterIndex = chosen.empty() ? -1 : Printers()->IndexOf(chosen);
}

int TPrinter::PrinterIndex() {
    Printers();
    return FPrinterIndex >= 0 ? FPrinterIndex : FDefaultIndex;
}

void TPrinter::SetPrinterIndex(int value) {
    CheckPrinting(false);
    if (value < -1 || value >= Printers()->Count())
        throw EPrinter(kBadIndex);
    FPrinterIndex = value;
}

bool TPrinter::PrintsToPdfFile() {
    int index = PrinterIndex();
    return index >= 0 && index == Printers()->Count() - 1;
}

void TPrinter::SetFileName(const std::string& value) {
    CheckPrinting(false);
    FFileName = value;
}

void TPrinter::SetOrientation(TPrinterOrientation value) {
    CheckPrinting(false);
    FOrientation = value;
}

void TPrinter::SetPaperSize(double widthPt, double heightPt) {
    CheckPrinting(false);
    if (widthPt > 0 && heightPt > 0) {
        FPaperWidth = widthPt;
        FPaperHeight = heightPt;
    }
}

void TPrinter::SetPixelsPerInch(int value) {
    CheckPrinting(false);
    if (value > 0) {
        FPixelsPerInch = value;
        FCanvas->Font()->SetPixelsPerInch(value);
    }
}

double TPrinter::PageWidthPt() const {
    return FOrientation == poLandscape ? FPaperHeight : FPaperWidth;
}
double TPrinter::PageHeightPt() const {
    return FOrientation == poLandscape ? FPaperWidth : FPaperHeight;
}

void TPrinter::CheckAvailable() {
    if (FFileName.empty() && PrinterIndex() < 0)
        throw EPrinter(kNoPrinter);
}

int TPrinter::PageWidth() {
    CheckAvailable();
    return static_cast<int>(std::lround(PageWidthPt() * FPixelsPerInch / 72));
}

int TPrinter::PageHeight() {
    CheckAvailable();
    return static_cast<int>(std::lround(PageHeightPt() * FPixelsPerInch / 72));
}

void TPrinter::CheckPrinting(bool printing) const {
    if (FPrinting != printing)
        throw EPrinter(printing ? kNotPrinting : kPrinting);
}

void TPrinter::BeginDoc() {
    CheckPrinting(false);
    CheckAvailable();
    if (FFileName.empty() && PrintsToPdfFile())
        throw EPrinter(kNoPdfFileName);
    // A document for a file is kept in memory and replaces the file atomically when complete, so a
    // failed or aborted print leaves the old file as it was; a job for a queue is written to a temporary
    // file that is removed once the queue has it.
    if (FFileName.empty()) {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/lumetra-print-XXXXXX";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        int fd = mkstemp(buf.data());
        if (fd < 0)
            throw EPrinter("Cannot create a temporary file for printing");
        ::close(fd);
        FTempName = buf.data();
    }
    {
        // A document that cannot be opened leaves nothing half made.
        ScopeGuard undo([this] { Release(); });
        if (FFileName.empty())
            FStream = std::make_unique<TFileStream>(FTempName, fmCreate);
        else
            FStream = std::make_unique<TMemoryStream>();
        FSurface = std::make_unique<TPdfSurface>(*FStream, PageWidthPt(), PageHeightPt(), FPixelsPerInch);
        if (!Title.empty())
            FSurface->SetTitle(Title);
        FDc = std::make_unique<TDeviceContext>(FSurface.get());
        undo.Dismiss();
    }
    FCanvas->SetHandle(FDc.get());
    FCanvas->Refresh();
    FPrinting = true;
    FAborted = false;
    FPageNumber = 1;
}

void TPrinter::NewPage() {
    CheckPrinting(true);
    FSurface->NewPage();
    FCanvas->Refresh();
    ++FPageNumber;
}

void TPrinter::EndDoc() {
    CheckPrinting(true);
    FPrinting = false;
    FCanvas->SetHandle(nullptr);
    ScopeGuard release([this] { Release(); });
    FSurface->Finish();
    FDc.reset();
    FSurface.reset();
    if (!FFileName.empty()) {
        const auto& document = static_cast<const TMemoryStream&>(*FStream);
        WriteFileAtomically(FFileName, document.Bytes());
        FStream.reset();
    } else {
        FStream.reset();
        TPrintJob job{Printers()->Get(PrinterIndex()), FTempName, Title, FCopies};
        FSpooler->Submit(job);
    }
}

void TPrinter::Abort() {
    CheckPrinting(true);
    FPrinting = false;
    FAborted = true;
    FCanvas->SetHandle(nullptr);
    Release();
}

void TPrinter::Release() {
    FDc.reset();
    FSurface.reset();
    FStream.reset();
    if (!FTempName.empty())
        std::remove(FTempName.c_str());
    FTempName.clear();
}

// ---- The program's printer ----

namespace {
std::mutex& PrinterLock() {
    static std::mutex lock;
    return lock;
}
std::unique_ptr<TPrinter>& GlobalPrinter() {
    static std::unique_ptr<TPrinter> printer;
    return printer;
}
} // namespace

TPrinter* Printer() {
    std::lock_guard<std::mutex> guard(PrinterLock());
    if (!GlobalPrinter())
        GlobalPrinter() = std::make_unique<TPrinter>();
    return GlobalPrinter().get();
}

std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> printer) {
    std::lock_guard<std::mutex> guard(PrinterLock());
    std::unique_ptr<TPrinter> old = std::move(GlobalPrinter());
    GlobalPrinter() = std::move(printer);
    return old;
}

} // namespace plat
