#include "platform/ui/FileDialog.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Input.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/MessageDialog.h"
#include "platform/ui/SpeedButton.h"

namespace plat {

PLAT_CLASS_INFO_CREATABLE(TOpenDialog, TCommonDialog)
PLAT_CLASS_INFO_CREATABLE(TSaveDialog, TOpenDialog)

namespace {

struct TRegistrar {
    TRegistrar() { RegisterClasses({&TOpenDialog::StaticClass(), &TSaveDialog::StaticClass()}); }
} registrar;

struct TFileType {
    std::string Name;
    std::vector<std::string> Patterns;
};

std::vector<TFileType> ParseFilter(const std::string& Filter) {
    std::vector<TFileType> types;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= Filter.size()) {
        size_t bar = Filter.find('|', start);
        if (bar == std::string::npos)
            bar = Filter.size();
        parts.push_back(Filter.substr(start, bar - start));
        start = bar + 1;
    }
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        TFileType type;
        type.Name = parts[i];
        size_t s = 0;
        const std::string& list = parts[i + 1];
        while (s <= list.size()) {
            size_t semi = list.find(';', s);
            if (semi == std::string::npos)
                semi = list.size();
            std::string p = Trim(list.substr(s, semi - s));
            if (!p.empty())
                type.Patterns.push_back(p);
            s = semi + 1;
        }
        if (type.Patterns.empty())
            type.Patterns.push_back("*");
        types.push_back(std::move(type));
    }
    return types;
}

bool HasWildcards(const std::string& s) {
    return s.find_first_of("*?") != std::string::npos;
}

// "*.xml", ".xml" and "xml" all mean the extension "xml".
std::string BareExtension(const std::string& ext) {
    size_t i = 0;
    while (i < ext.size() && (ext[i] == '*' || ext[i] == '.'))
        ++i;
    return ext.substr(i);
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home && DirectoryExists(home))
        return ExcludeTrailingPathDelimiter(home);
    return "/";
}

std::string JoinPath(const std::string& dir, const std::string& name) {
    return IncludeTrailingPathDelimiter(dir) + name;
}

std::string FolderOf(const std::string& path) {
    std::string dir = ExtractFileDir(path);
    return dir.empty() ? std::string("/") : dir;
}

// The names between double quotes of "a.txt" "b.txt"; the whole text when it has none.
std::vector<std::string> SplitNames(const std::string& text, bool multi) {
    std::vector<std::string> names;
    if (multi && text.find('"') != std::string::npos) {
        size_t i = 0;
        while ((i = text.find('"', i)) != std::string::npos) {
            size_t end = text.find('"', i + 1);
            if (end == std::string::npos)
                end = text.size();
            std::string name = text.substr(i + 1, end - i - 1);
            if (!Trim(name).empty())
                names.push_back(name);
            i = end + 1;
            if (end >= text.size())
                break;
        }
        return names;
    }
    std::string name = Trim(text);
    // Quotes around a single name are not part of it.
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = name.substr(1, name.size() - 2);
    if (!name.empty())
        names.push_back(name);
    return names;
}

// Folders and files with their pictures.
class TFileListBox : public TCustomListBox {
public:
    explicit TFileListBox(TComponent* AOwner) : TCustomListBox(AOwner) {
        SetStyle(lbOwnerDrawFixed);
        SetItemHeight(18);
    }
    std::vector<bool> Folder;

protected:
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override {
        TCanvas* c = Canvas();
        TBrush saved;
        saved.Assign(c->Brush());
        c->FillRect(Rect);
        bool folder = Index < static_cast<int>(Folder.size()) && Folder[Index];
        if (folder)
            DrawSmallFolderIcon(*c, Rect.Left + 2, Rect.Top + 1);
        else
            DrawSmallFileIcon(*c, Rect.Left + 2, Rect.Top + 1);
        c->Brush()->Assign(&saved);
        c->Brush()->SetStyle(bsClear);
        TRect t(Rect.Left + 22, Rect.Top, Rect.Right, Rect.Bottom);
        c->TextRect(t, Items()->Get(Index), DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        c->Brush()->SetStyle(bsSolid);
    }
};

// A 16-pixel glyph on a background the speed button leaves out.
std::unique_ptr<TBitmap> NewGlyph() {
    auto bmp = std::make_unique<TBitmap>(16, 16);
    bmp->Canvas()->Brush()->SetColor(RGB(255, 0, 255));
    bmp->Canvas()->FillRect(TRect(0, 0, 16, 16));
    return bmp;
}

std::unique_ptr<TBitmap> UpGlyph() {
    auto bmp = NewGlyph();
    TCanvas& c = *bmp->Canvas();
    DrawSmallFolderIcon(c, 0, 2);
    // An arrow pointing up out of the folder.
    c.Pen()->SetColor(clBlack);
    c.Brush()->SetColor(clBlack);
    const TPoint head[] = {{8, 1}, {12, 5}, {4, 5}};
    c.Polygon(head);
    c.FillRect(TRect(7, 5, 10, 11));
    return bmp;
}

std::unique_ptr<TBitmap> HomeGlyph() {
    auto bmp = NewGlyph();
    TCanvas& c = *bmp->Canvas();
    c.Pen()->SetColor(clBlack);
    c.Brush()->SetColor(RGB(192, 64, 64));
    const TPoint roof[] = {{8, 1}, {15, 8}, {1, 8}};
    c.Polygon(roof);
    c.Brush()->SetColor(RGB(255, 255, 224));
    c.Rectangle(3, 8, 14, 15);
    c.Brush()->SetColor(RGB(128, 80, 32));
    c.FillRect(TRect(7, 10, 10, 15));
    return bmp;
}

constexpr int kClientWidth = 560;
constexpr int kClientHeight = 360;
constexpr int kReadOnlyRow = 24;

class TFileDialogForm : public TDialogForm {
    PLAT_CLASS(TFileDialogForm)
public:
    explicit TFileDialogForm(TComponent* AOwner) : TDialogForm(AOwner) {}
    ~TFileDialogForm() override { RemoveQueuedCalls(this); }

    void Build(const TOpenDialog& Dialog, bool Save);

    // Answers, once confirmed.
    std::vector<std::string> Chosen;
    int TypeIndex() const { return FTypeCombo->ItemIndex(); }
    bool ReadOnlyChecked() const { return FReadOnly && FReadOnly->Checked(); }

private:
    // Shows a folder; false (with a message when Report) when it cannot be read.
    bool Navigate(const std::string& Dir, bool Report = true);
    void FillList();
    void FillFolderCombo();
    void UpdateNameFromSelection();
    void ListDblClick();
    void Accept();
    bool CheckName(const std::string& Typed, std::string& Path);
    std::string Resolve(const std::string& Typed) const;
    std::string ExtensionToAdd() const;
    std::vector<std::string> Patterns() const;
    void Warn(const std::string& Text);
    bool Within(TWinControl* Container) const;

    bool FSave = false;
    TOpenOptions FOptions = 0;
    std::string FDefaultExt;
    std::vector<TFileType> FTypes;
    std::string FDir;
    std::string FPatternOverride; // a wildcard name typed by the user
    std::vector<std::string> FNames;

    TComboBox* FFolderCombo = nullptr;
    TSpeedButton* FUpButton = nullptr;
    TSpeedButton* FHomeButton = nullptr;
    TFileListBox* FList = nullptr;
    TEdit* FNameEdit = nullptr;
    TComboBox* FTypeCombo = nullptr;
    TButton* FOkButton = nullptr;
    TCheckBox* FReadOnly = nullptr;
};

PLAT_CLASS_INFO(TFileDialogForm, TDialogForm)

void TFileDialogForm::Build(const TOpenDialog& Dialog, bool Save) {
    FSave = Save;
    FOptions = Dialog.Options();
    FDefaultExt = BareExtension(Dialog.DefaultExt());
    FTypes = ParseFilter(Dialog.Filter());
    SetCaption(!Dialog.Title().empty() ? Dialog.Title() : Save ? "Save As" : "Open");

    const bool readOnlyBox = !Save && !(FOptions & ofHideReadOnly);
    const int w = kClientWidth, h = kClientHeight + (readOnlyBox ? kReadOnlyRow : 0);
    SetClientWidth(w);
    SetClientHeight(h);
    if (FOptions & ofEnableSizing) {
        SetBorderStyle(bsSizeable);
        Constraints()->SetMinWidth(440);
        Constraints()->SetMinHeight(280);
    }

    FFolderCombo = Add<TComboBox>("FolderCombo", TRect(80, 10, w - 72, 31));
    FFolderCombo->SetTabStop(true);
    FFolderCombo->SetDropDownCount(12);
    FFolderCombo->SetAnchors(akLeft | akTop | akRight);
    AddLabel("FolderLabel", "Look &in:", 10, 14, FFolderCombo)->SetAnchors(akLeft | akTop);
    FUpButton = Add<TSpeedButton>("UpButton", TRect(w - 64, 9, w - 38, 32));
    FUpButton->SetGlyph(UpGlyph().get());
    FUpButton->SetHint("Up One Level");
    FUpButton->SetShowHint(true);
    FUpButton->SetAnchors(akTop | akRight);
    FUpButton->OnClick = [this](TObject*) {
        if (FDir != "/")
            Navigate(FolderOf(FDir));
    };
    FHomeButton = Add<TSpeedButton>("HomeButton", TRect(w - 36, 9, w - 10, 32));
    FHomeButton->SetGlyph(HomeGlyph().get());
    FHomeButton->SetHint("Home");
    FHomeButton->SetShowHint(true);
    FHomeButton->SetAnchors(akTop | akRight);
    FHomeButton->OnClick = [this](TObject*) { Navigate(HomeFolder()); };

    const int nameTop = kClientHeight - 82, typeTop = kClientHeight - 52;
    FList = Add<TFileListBox>("FileList", TRect(10, 40, w - 10, nameTop - 10));
    FList->SetTabStop(true);
    FList->SetAnchors(akLeft | akTop | akRight | akBottom);
    if (!Save && (FOptions & ofAllowMultiSelect)) {
        FList->SetMultiSelect(true);
        FList->SetExtendedSelect(true);
    }
    FList->OnClick = [this](TObject*) { UpdateNameFromSelection(); };
    // After the click is done: opening a folder refills the list under the mouse.
    FList->OnDblClick = [this](TObject*) { QueueInMainThread([this] { ListDblClick(); }, this); };
    FList->OnKeyDown = [this](TObject*, uint16_t& Key, TShiftState) {
        if (Key == VK_BACK) {
            Key = 0;
            if (FDir != "/")
                Navigate(FolderOf(FDir));
        }
    };

    FNameEdit = Add<TEdit>("FileNameEdit", TRect(100, nameTop, w - 112, nameTop + 21));
    FNameEdit->SetTabStop(true);
    FNameEdit->SetAnchors(akLeft | akRight | akBottom);
    AddLabel("FileNameLabel", "File &name:", 10, nameTop + 4, FNameEdit)->SetAnchors(akLeft | akBottom);
    FOkButton = AddButton("OKButton", Save ? "&Save" : "&Open",
                          TRect(w - 100, nameTop - 1, w - 10, nameTop + 24), mrNone);
    FOkButton->SetDefault(true);
    FOkButton->SetAnchors(akRight | akBottom);
    FOkButton->OnClick = [this](TObject*) { Accept(); };

    FTypeCombo = Add<TComboBox>("FileTypeCombo", TRect(100, typeTop, w - 112, typeTop + 21));
    FTypeCombo->SetStyle(csDropDownList);
    FTypeCombo->SetTabStop(true);
    FTypeCombo->SetAnchors(akLeft | akRight | akBottom);
    AddLabel("FileTypeLabel", Save ? "Save as &type:" : "Files of &type:", 10, typeTop + 4, FTypeCombo)
        ->SetAnchors(akLeft | akBottom);
    auto* cancel =
        AddButton("CancelButton", "Cancel", TRect(w - 100, typeTop - 1, w - 10, typeTop + 24), mrCancel);
    cancel->SetCancel(true);
    cancel->SetAnchors(akRight | akBottom);
    for (const TFileType& t : FTypes)
        FTypeCombo->Items()->Add(t.Name);
    if (FTypes.empty()) {
        FTypeCombo->SetEnabled(false);
    } else {
        int index = Dialog.FilterIndex();
        FTypeCombo->SetItemIndex(index >= 1 && index <= static_cast<int>(FTypes.size()) ? index - 1 : 0);
    }
    FTypeCombo->OnSelect = [this](TObject*) {
        FPatternOverride.clear();
        FillList();
    };
    if (readOnlyBox) {
        FReadOnly = Add<TCheckBox>("ReadOnlyCheck", TRect(100, kClientHeight - 22, 300, kClientHeight - 5));
        FReadOnly->SetCaption("Open as &read-only");
        FReadOnly->SetChecked((FOptions & ofReadOnly) != 0);
        FReadOnly->SetTabStop(true);
        FReadOnly->SetAnchors(akLeft | akBottom);
    }
    FFolderCombo->OnSelect = [this](TObject*) {
        int i = FFolderCombo->ItemIndex();
        if (i >= 0)
            Navigate(FFolderCombo->Items()->Get(i));
    };

    // The folder of the given file name first, then the initial folder, then the current one.
    std::string start;
    const std::string fileDir = ExtractFileDir(Dialog.FileName());
    if (!fileDir.empty() && DirectoryExists(ExpandFileName(fileDir)))
        start = ExpandFileName(fileDir);
    else if (!Dialog.InitialDir().empty() && DirectoryExists(ExpandFileName(Dialog.InitialDir())))
        start = ExpandFileName(Dialog.InitialDir());
    else
        start = GetCurrentDir();
    if (!Navigate(start, false) && !Navigate(HomeFolder(), false))
        Navigate("/");
    FNameEdit->SetTextProp(ExtractFileName(Dialog.FileName()));
    SetActiveControl(FNameEdit);
}

std::vector<std::string> TFileDialogForm::Patterns() const {
    if (!FPatternOverride.empty())
        return {FPatternOverride};
    int i = FTypeCombo->ItemIndex();
    if (i >= 0 && i < static_cast<int>(FTypes.size()))
        return FTypes[i].Patterns;
    return {"*"};
}

bool TFileDialogForm::Navigate(const std::string& Dir, bool Report) {
    namespace fs = std::filesystem;
    std::string dir = ExcludeTrailingPathDelimiter(ExpandFileName(Dir));
    if (dir.empty())
        dir = "/";
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    if (ec) {
        if (!Report)
            return false;
        if (!DirectoryExists(dir))
            Warn(dir + "\nPath does not exist.\nPlease verify the correct path was given.");
        else
            Warn(dir + "\nThe folder cannot be opened: " + ec.message() + ".");
        return false;
    }
    FNames.clear();
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        FNames.push_back(it->path().filename().string());
    }
    FDir = dir;
    FillFolderCombo();
    FillList();
    FUpButton->SetEnabled(FDir != "/");
    return true;
}

void TFileDialogForm::FillFolderCombo() {
    std::vector<std::string> chain;
    for (std::string d = FDir;; d = FolderOf(d)) {
        chain.insert(chain.begin(), d);
        if (d == "/")
            break;
    }
    const std::string home = HomeFolder();
    if (std::find(chain.begin(), chain.end(), home) == chain.end())
        chain.push_back(home);
    TStrings* items = FFolderCombo->Items();
    items->BeginUpdate();
    items->Clear();
    for (const std::string& d : chain)
        items->Add(d);
    items->EndUpdate();
    FFolderCombo->SetItemIndex(items->IndexOf(FDir));
    FFolderCombo->SetTextProp(FDir);
}

void TFileDialogForm::FillList() {
    std::vector<std::string> folders, files;
    const std::vector<std::string> patterns = Patterns();
    for (const std::string& name : FNames) {
        if (name.empty() || name[0] == '.')
            continue; // hidden, as file browsers here do
        if (DirectoryExists(JoinPath(FDir, name))) {
            folders.push_back(name);
            continue;
        }
        for (const std::string& p : patterns)
            if (MatchesMask(name, p)) {
                files.push_back(name);
                break;
            }
    }
    auto byName = [](const std::string& a, const std::string& b) {
        int c = AnsiCompareText(a, b);
        return c != 0 ? c < 0 : a < b;
    };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    TStrings* items = FList->Items();
    items->BeginUpdate();
    items->Clear();
    FList->Folder.clear();
    for (const std::string& f : folders) {
        items->Add(f);
        FList->Folder.push_back(true);
    }
    for (const std::string& f : files) {
        items->Add(f);
        FList->Folder.push_back(false);
    }
    items->EndUpdate();
    FList->SetTopIndex(0);
    FList->Invalidate();
}

void TFileDialogForm::UpdateNameFromSelection() {
    std::vector<std::string> files;
    for (int i = 0; i < FList->Count(); ++i)
        if (FList->Selected(i) && !FList->Folder[i])
            files.push_back(FList->Items()->Get(i));
    if (files.empty())
        return;
    if (files.size() == 1) {
        FNameEdit->SetTextProp(files[0]);
        return;
    }
    std::string text;
    for (const std::string& f : files)
        text += (text.empty() ? "\"" : " \"") + f + "\"";
    FNameEdit->SetTextProp(text);
}

void TFileDialogForm::ListDblClick() {
    int i = FList->ItemIndex();
    if (i < 0 || i >= FList->Count())
        return;
    const std::string name = FList->Items()->Get(i);
    if (FList->Folder[i]) {
        Navigate(JoinPath(FDir, name));
        return;
    }
    FNameEdit->SetTextProp(name);
    Accept();
}

bool TFileDialogForm::Within(TWinControl* Container) const {
    for (TControl* c = FindControl(GetFocus()); c; c = c->Parent())
        if (c == Container)
            return true;
    return false;
}

std::string TFileDialogForm::Resolve(const std::string& Typed) const {
    std::string t = Typed;
    if (t == "~" || t.rfind("~/", 0) == 0)
        t = HomeFolder() + t.substr(1);
    if (t.empty() || t[0] != '/')
        t = JoinPath(FDir, t);
    std::string full = ExpandFileName(t);
    return full.empty() ? std::string("/") : full;
}

std::string TFileDialogForm::ExtensionToAdd() const {
    if (FDefaultExt.empty())
        return {};
    // A type that names exactly one extension gives its own.
    int i = FTypeCombo->ItemIndex();
    if (FPatternOverride.empty() && i >= 0 && i < static_cast<int>(FTypes.size())) {
        const std::string& p = FTypes[i].Patterns.front();
        if (p.rfind("*.", 0) == 0 && p.size() > 2 && !HasWildcards(p.substr(2)))
            return p.substr(2);
    }
    return FDefaultExt;
}

void TFileDialogForm::Warn(const std::string& Text) {
    MessageBox(WindowHandle(), Text, Caption(), MB_OK | MB_ICONWARNING);
}

bool TFileDialogForm::CheckName(const std::string& Typed, std::string& Path) {
    Path = Resolve(Typed);
    if (!Typed.empty() && Typed.back() == '/') {
        Warn(Path + "\nPath does not exist.\nPlease verify the correct path was given.");
        return false;
    }
    std::string ext = ExtensionToAdd();
    if (ExtractFileExt(Path).empty() && !ext.empty() && !(!FSave && FileExists(Path)))
        Path += "." + ext;
    const std::string folder = FolderOf(Path);
    if (!DirectoryExists(folder)) {
        Warn(folder + "\nPath does not exist.\nPlease verify the correct path was given.");
        return false;
    }
    if (!FSave && (FOptions & ofFileMustExist) && !FileExists(Path)) {
        Warn(Path + "\nFile not found.\nPlease verify the correct file name was given.");
        return false;
    }
    if (FSave && DirectoryExists(Path)) {
        Warn(Path + "\nis a folder. Please give the name of a file.");
        return false;
    }
    if (FSave && (FOptions & ofOverwritePrompt) && FileExists(Path)) {
        int answer =
            MessageBox(WindowHandle(), ExtractFileName(Path) + " already exists.\nDo you want to replace it?",
                       "Confirm Save As", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
        if (answer != IDYES)
            return false;
    }
    return true;
}

void TFileDialogForm::Accept() {
    // Enter in the folder box opens the folder typed there.
    if (Within(FFolderCombo)) {
        if (Navigate(Resolve(Trim(FFolderCombo->Text()))))
            FList->SetFocus();
        else
            FFolderCombo->SetTextProp(FDir);
        return;
    }
    // Enter on a folder of the list (the only item chosen) opens it.
    if (Within(FList)) {
        int i = FList->ItemIndex();
        bool alone = !FList->MultiSelect() || FList->SelCount() == 1;
        if (i >= 0 && i < FList->Count() && FList->Folder[i] && FList->Selected(i) && alone) {
            Navigate(JoinPath(FDir, FList->Items()->Get(i)));
            return;
        }
    }
    const std::string text = Trim(FNameEdit->Text());
    if (text.empty())
        return;
    const bool multi = !FSave && (FOptions & ofAllowMultiSelect);
    std::vector<std::string> names = SplitNames(text, multi);
    if (names.empty())
        return;
    // A typed pattern filters the list (in its folder, when it names one).
    if (names.size() == 1 && HasWildcards(names[0])) {
        std::string pattern = names[0];
        size_t slash = pattern.rfind('/');
        if (slash != std::string::npos) {
            if (!Navigate(Resolve(pattern.substr(0, slash + 1))))
                return;
            pattern = pattern.substr(slash + 1);
            FNameEdit->SetTextProp(pattern);
        }
        FPatternOverride = pattern;
        FillList();
        return;
    }
    // A folder name opens that folder.
    if (names.size() == 1) {
        std::string path = Resolve(names[0]);
        if (DirectoryExists(path)) {
            if (Navigate(path))
                FNameEdit->SetTextProp("");
            return;
        }
    }
    std::vector<std::string> chosen;
    for (const std::string& name : names) {
        std::string path;
        if (!CheckName(name, path)) {
            FNameEdit->SetFocus();
            return;
        }
        chosen.push_back(path);
    }
    Chosen = std::move(chosen);
    SetModalResult(mrOk);
}

} // namespace

PLAT_PROPERTIES(TOpenDialog) {
    props.String("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
    props.String("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
    props.String("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
    props.Integer("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex, 1);
    props.String("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
    props.Set("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions, kOpenOptionNames,
              TOpenOptions(ofHideReadOnly | ofEnableSizing));
    props.String("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
}

TOpenDialog::TOpenDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute() {
    auto form = MakeDialogForm<TFileDialogForm>(nullptr);
    form->Build(*this, IsSaveDialog());
    if (RunModal(*form) != mrOk || form->Chosen.empty())
        return false;
    FFiles->Clear();
    for (const std::string& f : form->Chosen)
        FFiles->Add(f);
    FFileName = form->Chosen.front();
    if (form->TypeIndex() >= 0)
        FFilterIndex = form->TypeIndex() + 1;
    if (!IsSaveDialog() && !(FOptions & ofHideReadOnly)) {
        if (form->ReadOnlyChecked())
            FOptions |= ofReadOnly;
        else
            FOptions &= ~ofReadOnly;
    }
    const std::string ext = BareExtension(FDefaultExt);
    if (!ext.empty() && !SameText(BareExtension(ExtractFileExt(FFileName)), ext))
        FOptions |= ofExtensionDifferent;
    else
        FOptions &= ~ofExtensionDifferent;
    if (!(FOptions & ofNoChangeDir)) {
        std::error_code ec;
        std::filesystem::current_path(FolderOf(FFileName), ec);
    }
    return true;
}

} // namespace plat
