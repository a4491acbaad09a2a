#include "app/UnitMain.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

#include "analysis/ChartDocument.h"
#include "analysis/UnitChart.h"
#include "app/UnitAbout.h"
#include "app/UnitLineSensor.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/IniFile.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SettingsPaths.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/ActionList.h"
#include "platform/ui/Application.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageDialog.h"
#include "ui/drawing/KvxMenuStylers.h"
#include "ui/drawing/KvxMenus.h"
#include "ui/office/KvxAppStyler.h"
#include "ui/office/KvxOfficeTabSet.h"
#include "ui/office/KvxOfficeTabSetStylers.h"
#include "ui/toolbars/KvxDockPanel.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarStylers.h"

using namespace plat;

TfmMain* fmMain = nullptr;

PLAT_CLASS_INFO_CREATABLE(TfmMain, TForm)

PLAT_PROPERTIES(TfmMain) {
    props.Field("KvxDockPanel1", &TfmMain::KvxDockPanel1);
    props.Field("KvxToolBar1", &TfmMain::KvxToolBar1);
    props.Field("KvxOfficeMDITabSet1", &TfmMain::KvxOfficeMDITabSet1);
    props.Field("MainMenu1", &TfmMain::MainMenu1);
    props.Field("File1", &TfmMain::File1);
    props.Field("LineSensor1", &TfmMain::LineSensor1);
    props.Field("NewChart1", &TfmMain::NewChart1);
    props.Field("LoadChart1", &TfmMain::LoadChart1);
    props.Field("SaveChart1", &TfmMain::SaveChart1);
    props.Field("Exit1", &TfmMain::Exit1);
    props.Field("Options1", &TfmMain::Options1);
    props.Field("Style1", &TfmMain::Style1);
    props.Field("Window1", &TfmMain::Window1);
    props.Field("About1", &TfmMain::About1);
    props.Field("Version1", &TfmMain::Version1);
    props.Field("OpenDialog1", &TfmMain::OpenDialog1);
    props.Field("SaveDialog1", &TfmMain::SaveDialog1);
    props.Field("ApplicationEvents1", &TfmMain::ApplicationEvents1);
    props.Field("ActionList1", &TfmMain::ActionList1);
    props.Field("pmTabList", &TfmMain::pmTabList);
    props.Field("KvxFormStyler1", &TfmMain::KvxFormStyler1);
    props.Field("KvxToolBarOfficeStyler1", &TfmMain::KvxToolBarOfficeStyler1);
    props.Field("KvxOfficeTabSetOfficeStyler1", &TfmMain::KvxOfficeTabSetOfficeStyler1);
    props.Field("KvxMenuOfficeStyler1", &TfmMain::KvxMenuOfficeStyler1);
    props.Method("FormCreate", &TfmMain::FormCreate);
    props.Method("FormCloseQuery", &TfmMain::FormCloseQuery);
    props.Method("LineSensor1Click", &TfmMain::LineSensor1Click);
    props.Method("NewChart1Click", &TfmMain::NewChart1Click);
    props.Method("LoadChart1Click", &TfmMain::LoadChart1Click);
    props.Method("SaveChart1Click", &TfmMain::SaveChart1Click);
    props.Method("Exit1Click", &TfmMain::Exit1Click);
    props.Method("Version1Click", &TfmMain::Version1Click);
    props.Method("Office2003Blue1Click", &TfmMain::Office2003Blue1Click);
    props.Method("ApplicationEvents1Exception", &TfmMain::ApplicationEvents1Exception);
}

namespace {

const char* const kOptionsSection = "Options";
const char* const kStyleKey = "Style";
constexpr int kWhidbeyTag = 7;

// The Style menu's items by tag (their order in the menu).
constexpr ui::TKVXStyle kStyleOfTag[] = {
    ui::tsOffice2003Blue,   ui::tsOffice2003Classic, ui::tsOffice2003Olive,
    ui::tsOffice2003Silver, ui::tsOffice2007Luna,    ui::tsOffice2007Obsidian,
    ui::tsOffice2007Silver, ui::tsWhidbey,           ui::tsWindowsXP,
};
static_assert(kStyleOfTag[kWhidbeyTag] == ui::tsWhidbey);

// Appends all of Text or raises EInOutError naming the file.
void AppendToFile(const std::string& FileName, const std::string& Text) {
    const int fd = ::open(FileName.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        throw EInOutError("Cannot open \"" + FileName + "\". " + std::strerror(errno));
    ScopeGuard closeFile([fd] { ::close(fd); });
    size_t done = 0;
    while (done < Text.size()) {
        const ssize_t n = ::write(fd, Text.data() + done, Text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw EInOutError("Cannot write \"" + FileName + "\". " + std::strerror(errno));
        done += static_cast<size_t>(n);
    }
}

} // namespace

TfmMain::TfmMain(TComponent* AOwner) : TForm(AOwner) {}

int TfmMain::FormatCodeOf(const std::string& Name, bool IsPath) {
    const std::string ext = UpperCase(IsPath ? ExtractFileExt(Name) : Name);
    static const struct {
        const char* Ext;
        int Code;
    } codes[] = {{".TXT", 1}, {".XLS", 2}, {".HTML", 3}, {".XML", 4}, {".BMP", 5}, {".EMF", 6}, {".WMF", 7}};
    for (const auto& c : codes)
        if (ext == c.Ext)
            return c.Code;
    return 1;
}

std::string TfmMain::SettingsFileName() {
    return SettingsFilePath("lumcam.Ini");
}

void TfmMain::FormCreate(TObject*) {
    FNextChartNumber = 1;
    FProgramFolder = ProgramFolder();
    // The dock panel's styler is not part of its layout.
    if (KvxDockPanel1 && KvxToolBarOfficeStyler1)
        KvxDockPanel1->SetToolBarStyler(KvxToolBarOfficeStyler1);
    LoadStyle();
}

void TfmMain::FormCloseQuery(TObject*, bool& CanClose) {
    CanClose = true;
    // A settings file that cannot be written must not keep the program from ending; the failure goes
    // to the exception log like any other.
    try {
        SaveStyle();
    } catch (...) {
        Application->HandleException(this);
    }
}

TMenuItem* TfmMain::StyleItem(int Tag) const {
    for (int i = 0; i < Style1->Count(); ++i)
        if (Style1->Items(i)->Tag() == Tag)
            return Style1->Items(i);
    return nullptr;
}

void TfmMain::ApplyStyleTag(int Tag) {
    ui::TKVXStyle style = ui::tsWhidbey;
    if (Tag >= 0 && Tag < static_cast<int>(std::size(kStyleOfTag))) {
        style = kStyleOfTag[Tag];
    } else {
        if (TMenuItem* whidbey = StyleItem(kWhidbeyTag))
            whidbey->SetChecked(true);
        Style1->SetTag(kWhidbeyTag);
    }
    // The application styler belongs to the About box; this form's styler follows it.
    if (ui::TKvxAppStyler* app = KvxFormStyler1->AppStyle())
        app->SetStyle(style);
    else
        KvxFormStyler1->SetStyle(style);
}

void TfmMain::LoadStyle() {
    TIniFile ini(SettingsFileName());
    int tag = ini.ReadInteger(kOptionsSection, kStyleKey, kWhidbeyTag);
    if (tag < 0 || tag >= static_cast<int>(std::size(kStyleOfTag)))
        tag = kWhidbeyTag;
    Style1->SetTag(tag);
    if (TMenuItem* item = StyleItem(tag))
        item->SetChecked(true);
    ApplyStyleTag(tag);
}

void TfmMain::SaveStyle() {
    TIniFile ini(SettingsFileName());
    ini.WriteInteger(kOptionsSection, kStyleKey, static_cast<int>(Style1->Tag()));
}

void TfmMain::Office2003Blue1Click(TObject* Sender) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item)
        return;
    item->SetChecked(true);
    Style1->SetTag(item->Tag());
    ApplyStyleTag(static_cast<int>(item->Tag()));
}

void TfmMain::AddDocumentWindow(TForm* Form, TCloseEvent& SavedClose, TCloseEvent Close,
                                const std::string& Notes) {
    KvxToolBar1->RegisterMDIChild(Form, "");
    SavedClose = Form->OnClose;
    Form->OnClose = std::move(Close);
    Form->Show();
    KvxOfficeMDITabSet1->AddChildTab(Form);
    if (auto* tab = KvxOfficeMDITabSet1->GetTab(KvxOfficeMDITabSet1->GetTabCount() - 1)) {
        tab->OfficeHint()->SetTitle(Form->Caption());
        tab->OfficeHint()->Notes()->SetText(Notes);
    }
}

void TfmMain::RemoveFromWindowList(TObject* Sender) {
    if (auto* control = dynamic_cast<TControl*>(Sender))
        KvxToolBar1->UnregisterMDIChild(control, "");
}

void TfmMain::LineSensor1Click(TObject*) {
    if (fmLineSensor)
        return;
    fmLineSensor = NewForm<TfmLineSensor>(this);
    AddDocumentWindow(
        fmLineSensor, FSavedLineSensorClose,
        [this](TObject* Sender, TCloseAction& Action) { LineSensorClose(Sender, Action); }, "Sensor?");
}

void TfmMain::LineSensorClose(TObject* Sender, TCloseAction& Action) {
    if (FSavedLineSensorClose)
        FSavedLineSensorClose(Sender, Action);
    RemoveFromWindowList(Sender);
    Action = caFree;
}

void TfmMain::ChartClose(TObject* Sender, TCloseAction& Action) {
    if (FSavedChartClose)
        FSavedChartClose(Sender, Action);
    RemoveFromWindowList(Sender);
    Action = caFree;
}

TfmChart* TfmMain::NewChartWindow(const std::string& Caption) {
    auto* chart = NewForm<TfmChart>(this);
    chart->SetCaption(Caption);
    chart->FMainWindow = Handle();
    ++FNextChartNumber;
    AddDocumentWindow(
        chart, FSavedChartClose,
        [this](TObject* Sender, TCloseAction& Action) { ChartClose(Sender, Action); }, "");
    return chart;
}

void TfmMain::NewChart1Click(TObject*) {
    NewChartWindow("Chart " + std::to_string(FNextChartNumber));
}

void TfmMain::LoadChart1Click(TObject*) {
    if (!OpenDialog1->Execute())
        return;
    const std::string fileName = OpenDialog1->FileName();
    // A window captioned after a foreign file would stand there empty, as if the file were one.
    if (!IsChartDocument(fileName)) {
        MessageDlg("\"" + ExtractFileName(fileName) + "\" is not a chart document.", mtError, mbOK, 0);
        return;
    }
    TfmChart* chart = NewChartWindow(ChangeFileExt(ExtractFileName(fileName), ""));
    chart->LoadChartDocument(fileName);
}

void TfmMain::SaveChart1Click(TObject*) {
    TCustomForm* active = ActiveMDIChild();
    if (!active || !SaveDialog1->Execute())
        return;
    const std::string fileName = SaveDialog1->FileName();
    const int code = FormatCodeOf(fileName, true);
    if (auto* chart = dynamic_cast<TfmChart*>(active))
        ExportChart(chart, fileName, code);
    else if (auto* live = dynamic_cast<TfmLineSensor*>(active))
        ExportLineSensorChart(live, fileName, code);
}

void TfmMain::Exit1Click(TObject*) {
    Close();
}

void TfmMain::Version1Click(TObject*) {
    if (fmAbout)
        fmAbout->ShowModal();
}

void TfmMain::OnCopySeries(TMessage&) {
    auto* source = dynamic_cast<TfmChart*>(ActiveMDIChild());
    if (!source)
        return;
    TfmChart* chart = NewChartWindow("Chart " + std::to_string(FNextChartNumber));
    chart->CopyFramesFrom(source);
}

void TfmMain::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_COPYSERIES) {
        OnCopySeries(Message);
        return;
    }
    TForm::Dispatch(Message);
}

std::string TfmMain::ExceptionLogRecord(TDateTime When, TObject* Sender, Exception& E) {
    std::string sender = "(none)";
    if (auto* component = dynamic_cast<TComponent*>(Sender))
        sender = component->Name();
    else if (Sender)
        sender = Sender->ClassName();
    return DateTimeToStr(When) + " - Exception: " + E.ClassName() + "\r\n" + "Message: " + E.Message() +
           "\r\n" + "Sender: " + sender + "\r\n" + "\r\n";
}

void TfmMain::ApplicationEvents1Exception(TObject* Sender, Exception& E) {
    std::string shown = E.Message();
    try {
        AppendToFile(ErrorLogFilePath(), ExceptionLogRecord(Now(), Sender, E));
    } catch (const Exception& logError) {
        shown += "\n\nThe error log could not be written: " + logError.Message();
    }
    MessageDlg(shown, mtError, mbOK, 0);
}
