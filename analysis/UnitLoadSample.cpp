#include "analysis/UnitLoadSample.h"

#include "analysis/ChartDocument.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/SettingsPaths.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Label.h"
#include "ui/controls/HTMLChkList.h"
#include "ui/controls/KvxFileNameEdit.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/office/KvxAppStyler.h"

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(TfmImportSample, TForm)

PLAT_PROPERTIES(TfmImportSample) {
    props.Field("ed_fname", &TfmImportSample::ed_fname);
    props.Field("lb_file", &TfmImportSample::lb_file);
    props.Field("SampleCheckList", &TfmImportSample::SampleCheckList);
    props.Field("btn_import", &TfmImportSample::btn_import);
    props.Field("btn_cancel", &TfmImportSample::btn_cancel);
    props.Field("KvxFormStyler1", &TfmImportSample::KvxFormStyler1);
    props.Method("FormCreate", &TfmImportSample::FormCreate);
    props.Method("ed_fnameChange", &TfmImportSample::ed_fnameChange);
}

std::string EscapeMarkup(std::string_view Text) {
    std::string out;
    out.reserve(Text.size());
    for (char c : Text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void TfmImportSample::FormCreate(TObject*) {
    ed_fname->SetInitialDir(ProgramFolder());
    FRequiredPointCount = 0;
}

std::string TfmImportSample::FileName() const {
    return ed_fname->FileName();
}

void TfmImportSample::Reset() {
    ed_fname->SetFileName("");
    SampleCheckList->Items()->Clear();
}

void TfmImportSample::ed_fnameChange(TObject*) {
    SampleCheckList->Items()->Clear();
    const std::string fileName = FileName();
    lb_file->SetCaption(ChangeFileExt(ExtractFileName(fileName), ""));
    // The name changes with every key typed into the edit: a name that is not (yet) a file lists nothing
    // rather than raising an error per keystroke.
    if (fileName.empty() || !FileExists(fileName))
        return;
    // A file that cannot be parsed raises here, to the application's handler, with the list empty.
    for (const TChartDocumentFrameEntry& entry : ListChartDocumentFrames(fileName)) {
        const int item = SampleCheckList->Items()->Add(EscapeMarkup(entry.Title) + " ; " +
                                                       std::to_string(entry.PointCount) + " Pixel");
        SampleCheckList->SetItemEnabled(item, entry.Importable(FRequiredPointCount));
    }
}

std::vector<int> TfmImportSample::CheckedFrames() const {
    std::vector<int> positions;
    for (int i = 0; i < SampleCheckList->Items()->Count(); ++i) {
        if (SampleCheckList->GetChecked(i) && SampleCheckList->GetItemEnabled(i))
            positions.push_back(i);
    }
    return positions;
}
