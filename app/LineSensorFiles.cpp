// The live window's files: its settings file, the quick save of the live frame, Save Chart while it is
// the active window, and the live chart as a chart document.
#include "app/UnitLineSensor.h"

#include "analysis/ChartDocument.h"
#include "analysis/ChartExport.h"
#include "app/CameraDefs.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/IniFile.h"
#include "platform/rtl/SettingsPaths.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Label.h"
#include "ui/controls/KvxCombo.h"
#include "ui/controls/KvxDirectoryEdit.h"
#include "ui/controls/KvxEdit.h"
#include "ui/controls/KvxOfficeButtons.h"
#include "ui/controls/KvxSpin.h"

#include <algorithm>
#include <limits>

using namespace plat;
using chart::TChartAxis;

namespace {

// Quick-save extensions by format index; the export code is the index + 1.
constexpr const char* kQuickSaveExtensions[] = {".txt", ".xls", ".html", ".xml", ".bmp", ".emf", ".wmf"};
constexpr int kExportCodeCount = static_cast<int>(std::size(kQuickSaveExtensions));

constexpr int kDefaultPixelCount = 2048;

} // namespace

std::string TfmLineSensor::SettingsFileName() {
    return SettingsFilePath("lumcam.Ini");
}

void TfmLineSensor::LoadSettings() {
    TIniFile ini(SettingsFileName());
    FSensorType = static_cast<uint16_t>(ini.ReadInteger("Sensor", "Type", 0));
    const int pixels = ini.ReadInteger("Sensor", "PixelCount", kDefaultPixelCount);
    // Only what a frame buffer holds; anything else would be read past its end.
    FPixelCount = static_cast<uint16_t>(pixels >= 1 && pixels <= kMaxPixels ? pixels : kDefaultPixelCount);
    Mode16Bit = ini.ReadBool("Sensor", "Mode16Bit", true);
    IMGNUM = ini.ReadBool("Sensor", "IMGNUM", false);
    // The transfer size is divided by it when a device opens.
    PacketMultiplier =
        std::clamp<uint8_t>(static_cast<uint8_t>(ini.ReadInteger("USB", "PacketMultiplier", 1)), 1, 8);
    EPTimeOut = ini.ReadInteger("USB", "EPTimeOut", 100);

    const double xMin = ini.ReadFloat("XAxis", "XMin", 0);
    const double xMax = ini.ReadFloat("XAxis", "XMax", FPixelCount);
    FXMultiplier = std::clamp(ini.ReadInteger("XAxis", "Xmultipler", 0), kMinExponent, kMaxExponent);
    ed_multiplier->SetIntegerValue(FXMultiplier);
    ApplyAxisScale(FPixelCount, 0, FPixelCount - 1, xMin, xMax, FXMultiplier, Mode16Bit, true);

    TChartAxis* bottom = Chart1->BottomAxis();
    TChartAxis* left = Chart1->LeftAxis();
    bottom->SetAxisValuesFormat(ini.ReadString("XAxis", "Format", "0"));
    cb_xformat->SetTextProp(bottom->AxisValuesFormat());
    bottom->Title()->SetCaption(ini.ReadString("XAxis", "Title", "Pixel"));
    ed_xtitle->SetTextProp(bottom->Title()->Caption());
    bottom->SetInverted(ini.ReadBool("XAxis", "Inverted", false));
    cb_XAxisInverted->SetChecked(bottom->Inverted());
    left->Title()->SetCaption(ini.ReadString("YAxis", "Title", "Counts"));
    ed_ytitle->SetTextProp(left->Title()->Caption());
    left->SetAxisValuesFormat(ini.ReadString("YAxis", "Format", "0"));
    cb_yformat->SetTextProp(left->AxisValuesFormat());
    left->SetAutomaticMaximum(ini.ReadBool("YAxis", "AutoMax", false));
    cb_YAxisAutoMax->SetChecked(left->AutomaticMaximum());

    ed_bmpdirectory->SetTextProp(ini.ReadString("SaveAs", "Directory", ""));
    rg_saveasformat->SetItemIndex(ini.ReadInteger("SaveAs", "Format", 5));
    const std::string folder = ed_bmpdirectory->Text();
    if (!folder.empty() && DirectoryExists(folder)) {
        ShowBmpDirectory(folder);
    } else {
        ed_bmpdirectory->SetTextProp("");
        lb_bmpdirectory->SetCaption("");
    }
}

void TfmLineSensor::SaveSettings() {
    // A zoomed chart would otherwise leave its zoomed range behind as the scale's ends.
    Chart1->UndoZoom();
    TIniFile ini(SettingsFileName());
    if (FSensorType != 0) {
        ini.WriteInteger("Sensor", "Type", FSensorType);
        ini.WriteInteger("Sensor", "PixelCount", FPixelCount);
    }
    ini.WriteBool("Sensor", "Mode16Bit", Mode16Bit);
    ini.WriteBool("Sensor", "IMGNUM", IMGNUM);
    ini.WriteInteger("USB", "PacketMultiplier", PacketMultiplier);
    ini.WriteInteger("USB", "EPTimeOut", Library().ls_geteptimeout());
    const chart::TChartValueList* x = Series1->XValues();
    if (x->Count() > 0) {
        ini.WriteFloat("XAxis", "XMin", x->First());
        ini.WriteFloat("XAxis", "XMax", x->Last());
    }
    ini.WriteInteger("XAxis", "Xmultipler", FXMultiplier);
    TChartAxis* bottom = Chart1->BottomAxis();
    TChartAxis* left = Chart1->LeftAxis();
    ini.WriteString("XAxis", "Format", bottom->AxisValuesFormat());
    ini.WriteString("XAxis", "Title", bottom->Title()->Caption());
    ini.WriteBool("XAxis", "Inverted", bottom->Inverted());
    ini.WriteString("YAxis", "Title", left->Title()->Caption());
    ini.WriteString("YAxis", "Format", left->AxisValuesFormat());
    ini.WriteBool("YAxis", "AutoMax", left->AutomaticMaximum());
    ini.WriteString("SaveAs", "Directory", ed_bmpdirectory->Text());
    ini.WriteInteger("SaveAs", "Format", rg_saveasformat->ItemIndex());
}

void TfmLineSensor::ShowBmpDirectory(const std::string& Folder) {
    // The folder's own name; a trailing separator does not leave the brackets empty.
    lb_bmpdirectory->SetCaption("[" + ExtractFileName(ExcludeTrailingPathDelimiter(Folder)) + "]");
}

void TfmLineSensor::ed_bmpdirectoryDialogClose(TObject*, const std::string& Folder, bool Confirmed) {
    if (Confirmed && DirectoryExists(Folder))
        ShowBmpDirectory(Folder);
}

void TfmLineSensor::btn_saveasClick(TObject*) {
    const std::string name = FormatDateTime("yymmdd_hhmmss", Now());
    const std::string folder = ed_bmpdirectory->Text();
    if (folder.empty() || !DirectoryExists(folder))
        return;
    const int index = rg_saveasformat->ItemIndex();
    if (index < 0 || index >= kExportCodeCount)
        return;
    ExportLineSensorChart(this, IncludeTrailingPathDelimiter(folder) + name + kQuickSaveExtensions[index],
                          index + 1);
}

bool ExportLineSensorChart(TfmLineSensor* Form, const std::string& FileName, int ExportCode) {
    if (!Form || FileName.empty())
        return false;
    ExportChartAs(Form->Chart1, Form->Series1, FileName, ExportCode,
                  [Form](const std::string& Name) { SaveLiveChartDocument(Form, Name); });
    return true;
}

bool SaveLiveChartDocument(TfmLineSensor* Form, const std::string& FileName) {
    chart::TChart* chart = Form->Chart1;
    const int count = chart->SeriesCount();
    if (count == 0)
        return false;
    THourGlassCursor hourGlass;

    TChartDocument doc;
    TChartAxis* bottom = chart->BottomAxis();
    TChartAxis* left = chart->LeftAxis();
    doc.XAxis.Title = bottom->Title()->Caption();
    doc.XAxis.Format = bottom->AxisValuesFormat();
    doc.XMultiplier = Form->FXMultiplier;
    doc.XInverted = bottom->Inverted();
    doc.YAxis.Title = left->Title()->Caption();
    doc.YAxis.Format = left->AxisValuesFormat();
    // The live window has no relative mode: its reference maximum is the smallest positive double.
    doc.ReferenceMax = std::numeric_limits<double>::denorm_min();
    doc.Relative = false;
    for (int i = 0; i < count; ++i) {
        chart::TChartSeries* series = chart->Series(i);
        TChartDocumentFrame frame;
        frame.Title = series->Title();
        frame.Color = static_cast<int32_t>(series->SeriesColor());
        const int points = series->Count();
        frame.MaxYValue = points > 0 ? series->YValues()->MaxValue() : 0.0;
        frame.X.assign(series->XValues()->Value().begin(), series->XValues()->Value().begin() + points);
        frame.Y.assign(series->YValues()->Value().begin(), series->YValues()->Value().begin() + points);
        doc.Frames.push_back(std::move(frame));
    }
    // The old file stays until the new one is complete.
    WriteChartDocument(doc, FileName);
    return true;
}
