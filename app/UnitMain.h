// The main window: the multiple-document frame that opens the live camera window and the chart
// windows, loads and saves chart documents, keeps the colour scheme in the settings file, answers the
// chart windows' copy request and logs every exception that reaches the application.
#pragma once

#include <string>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exception.h"
#include "platform/ui/Form.h"
#include "platform/ui/Messages.h"

namespace plat {
class TActionList;
class TApplicationEvents;
class TMenuItem;
class TOpenDialog;
class TSaveDialog;
class TPopupMenu;
} // namespace plat
namespace ui {
class TKvxDockPanel;
class TKvxFormStyler;
class TKvxMainMenu;
class TKvxMenuOfficeStyler;
class TKvxToolBar;
namespace tabset {
class TKvxOfficeMDITabSet;
class TKvxOfficeTabSetOfficeStyler;
} // namespace tabset
namespace toolbar {
class TKvxToolBarOfficeStyler;
} // namespace toolbar
} // namespace ui
class TfmChart;

// The copy request a chart window sends to the main window (both parameters 0, sent synchronously).
inline constexpr plat::UINT WM_COPYSERIES = plat::WM_USER + 1;

class TfmMain : public plat::TForm {
    PLAT_CLASS(TfmMain)
public:
    explicit TfmMain(plat::TComponent* AOwner);

    // Export code of a file name: 1 text, 2 Excel, 3 HTML, 4 chart document, 5 bitmap, 6 enhanced
    // metafile, 7 Windows metafile. With IsPath the extension of the path is looked at, otherwise the
    // whole text; anything unknown is text.
    static int FormatCodeOf(const std::string& Name, bool IsPath);

    // The record the exception log gets for one exception, its line ends included.
    static std::string ExceptionLogRecord(plat::TDateTime When, plat::TObject* Sender, plat::Exception& E);
    // Appends the record to the error log and shows the message; an error log that cannot be written
    // is named in the message instead of raising from inside the exception handler.
    void ApplicationEvents1Exception(plat::TObject* Sender, plat::Exception& E);

    TfmChart* NewChartWindow(const std::string& Caption);
    void ApplyStyleTag(int Tag);
    void LoadStyle();
    void SaveStyle();
    int NextChartNumber() const { return FNextChartNumber; }
    // Where the style is kept.
    static std::string SettingsFileName();

    void FormCreate(plat::TObject* Sender);
    void FormCloseQuery(plat::TObject* Sender, bool& CanClose);
    void LineSensor1Click(plat::TObject* Sender);
    void NewChart1Click(plat::TObject* Sender);
    void LoadChart1Click(plat::TObject* Sender);
    void SaveChart1Click(plat::TObject* Sender);
    void Exit1Click(plat::TObject* Sender);
    void Version1Click(plat::TObject* Sender);
    void Office2003Blue1Click(plat::TObject* Sender);
    void LineSensorClose(plat::TObject* Sender, plat::TCloseAction& Action);
    void ChartClose(plat::TObject* Sender, plat::TCloseAction& Action);

    void Dispatch(plat::TMessage& Message) override;

    ui::TKvxDockPanel* KvxDockPanel1 = nullptr;
    ui::TKvxToolBar* KvxToolBar1 = nullptr;
    ui::tabset::TKvxOfficeMDITabSet* KvxOfficeMDITabSet1 = nullptr;
    ui::TKvxMainMenu* MainMenu1 = nullptr;
    plat::TMenuItem* File1 = nullptr;
    plat::TMenuItem* LineSensor1 = nullptr;
    plat::TMenuItem* NewChart1 = nullptr;
    plat::TMenuItem* LoadChart1 = nullptr;
    plat::TMenuItem* SaveChart1 = nullptr;
    plat::TMenuItem* Exit1 = nullptr;
    plat::TMenuItem* Options1 = nullptr;
    plat::TMenuItem* Style1 = nullptr;
    plat::TMenuItem* Window1 = nullptr;
    plat::TMenuItem* About1 = nullptr;
    plat::TMenuItem* Version1 = nullptr;
    plat::TOpenDialog* OpenDialog1 = nullptr;
    plat::TSaveDialog* SaveDialog1 = nullptr;
    plat::TApplicationEvents* ApplicationEvents1 = nullptr;
    plat::TActionList* ActionList1 = nullptr;
    plat::TPopupMenu* pmTabList = nullptr;
    ui::TKvxFormStyler* KvxFormStyler1 = nullptr;
    ui::toolbar::TKvxToolBarOfficeStyler* KvxToolBarOfficeStyler1 = nullptr;
    ui::tabset::TKvxOfficeTabSetOfficeStyler* KvxOfficeTabSetOfficeStyler1 = nullptr;
    ui::TKvxMenuOfficeStyler* KvxMenuOfficeStyler1 = nullptr;

private:
    void OnCopySeries(plat::TMessage& Message);
    // Window list, close handler and tab of a new document window.
    void AddDocumentWindow(plat::TForm* Form, plat::TCloseEvent& SavedClose, plat::TCloseEvent Close,
                           const std::string& Notes);
    void RemoveFromWindowList(plat::TObject* Sender);
    plat::TMenuItem* StyleItem(int Tag) const;

    std::string FProgramFolder;
    int FNextChartNumber = 1;
    plat::TCloseEvent FSavedLineSensorClose;
    plat::TCloseEvent FSavedChartClose;
};

extern TfmMain* fmMain;
