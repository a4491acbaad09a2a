#include "platform/ui/FolderDialog.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/MessageDialog.h"
#include "platform/ui/Screen.h"

namespace plat {

namespace {

std::string ParentOf(const std::string& path) {
    std::string dir = ExtractFileDir(path);
    return dir.empty() ? std::string("/") : dir;
}

std::string Normalized(const std::string& path) {
    std::string full = ExcludeTrailingPathDelimiter(ExpandFileName(path));
    return full.empty() ? std::string("/") : full;
}

bool IsUnder(const std::string& path, const std::string& root) {
    if (root == "/" || path == root)
        return true;
    return path.size() > root.size() && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/';
}

struct TFolderEntry {
    std::string Path;
    int Level = 0;
};

constexpr int kIndent = 12;

// The folders from the root down to the one shown, then its subfolders, each indented by its depth.
class TFolderListBox : public TCustomListBox {
public:
    explicit TFolderListBox(TComponent* AOwner) : TCustomListBox(AOwner) {
        SetStyle(lbOwnerDrawFixed);
        SetItemHeight(18);
    }
    std::vector<TFolderEntry> Entries;

protected:
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override {
        TCanvas* c = Canvas();
        TBrush saved;
        saved.Assign(c->Brush());
        c->Brush()->SetColor(Color());
        c->FillRect(Rect);
        int x = Rect.Left + 2 + Entries[Index].Level * kIndent;
        DrawSmallFolderIcon(*c, x, Rect.Top + 1);
        // Only the name is highlighted, as in a tree.
        const std::string text = Items()->Get(Index);
        TRect t(x + 19, Rect.Top + 1, x + 19 + c->TextWidth(text) + 4, Rect.Bottom - 1);
        c->Brush()->Assign(&saved);
        if (State & odSelected)
            c->FillRect(t);
        c->Brush()->SetStyle(bsClear);
        TRect tt(t.Left + 2, t.Top, t.Right, t.Bottom);
        c->TextRect(tt, text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        c->Brush()->SetStyle(bsSolid);
    }
};

class TFolderForm : public TDialogForm {
    PLAT_CLASS(TFolderForm)
public:
    explicit TFolderForm(TComponent* AOwner) : TDialogForm(AOwner) {}
    ~TFolderForm() override { RemoveQueuedCalls(this); }

    void Build(const std::string& Caption, const std::string& Root, const std::string& Directory);
    std::string Chosen;

private:
    void OpenFolder(const std::string& Folder, const std::string& Selected);
    void Accept();
    void Warn(const std::string& Text) {
        MessageBox(WindowHandle(), Text, Caption(), MB_OK | MB_ICONWARNING);
    }

    std::string FRoot;
    std::string FCurrent;
    TFolderListBox* FList = nullptr;
    TEdit* FEdit = nullptr;
};

PLAT_CLASS_INFO(TFolderForm, TDialogForm)

void TFolderForm::Build(const std::string& Caption, const std::string& Root, const std::string& Directory) {
    SetCaption("Browse for Folder");
    FRoot = Root.empty() ? std::string("/") : Normalized(Root);
    if (!DirectoryExists(FRoot))
        FRoot = "/";
    const int w = 320, inner = w - 24;
    TSize text = MeasureText(Caption, inner, false);
    auto* label = Add<TLabel>("CaptionLabel", Bounds(12, 10, text.cx, text.cy));
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    label->SetShowAccelChar(false);
    label->SetCaption(Caption);
    label->SetBounds(12, 10, text.cx, text.cy);
    int listTop = 10 + (Caption.empty() ? 0 : text.cy + 8);
    FList = Add<TFolderListBox>("FolderList", Bounds(12, listTop, inner, 232));
    FList->SetTabStop(true);
    FList->OnClick = [this](TObject*) {
        int i = FList->ItemIndex();
        if (i >= 0 && i < static_cast<int>(FList->Entries.size()))
            FEdit->SetTextProp(FList->Entries[i].Path);
    };
    // After the click is done: opening refills the list under the mouse.
    FList->OnDblClick = [this](TObject*) {
        QueueInMainThread(
            [this] {
                int i = FList->ItemIndex();
                if (i >= 0 && i < static_cast<int>(FList->Entries.size()))
                    OpenFolder(FList->Entries[i].Path, FList->Entries[i].Path);
            },
            this);
    };
    int editTop = listTop + 232 + 10;
    FEdit = Add<TEdit>("FolderEdit", Bounds(60, editTop, inner - 48, 21));
    FEdit->SetTabStop(true);
    AddLabel("FolderLabel", "Fol&der:", 12, editTop + 4, FEdit);
    int buttonsTop = editTop + 21 + 12;
    auto* ok = AddButton("OKButton", "OK", Bounds(w - 12 - 75 - 6 - 75, buttonsTop, 75, 25), mrNone);
    ok->SetDefault(true);
    ok->OnClick = [this](TObject*) { Accept(); };
    AddButton("CancelButton", "Cancel", Bounds(w - 12 - 75, buttonsTop, 75, 25), mrCancel)->SetCancel(true);
    SetClientWidth(w);
    SetClientHeight(buttonsTop + 25 + 12);

    std::string start = Directory.empty() ? std::string() : Normalized(Directory);
    if (start.empty() || !DirectoryExists(start) || !IsUnder(start, FRoot))
        start = FRoot;
    OpenFolder(start, start);
    SetActiveControl(FList);
}

void TFolderForm::OpenFolder(const std::string& Folder, const std::string& Selected) {
    namespace fs = std::filesystem;
    std::vector<TFolderEntry> entries;
    std::vector<std::string> chain;
    for (std::string d = Folder;; d = ParentOf(d)) {
        chain.insert(chain.begin(), d);
        if (d == FRoot || d == "/")
            break;
    }
    for (size_t i = 0; i < chain.size(); ++i)
        entries.push_back({chain[i], static_cast<int>(i)});
    std::vector<std::string> subs;
    std::error_code ec;
    for (fs::directory_iterator it(Folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!name.empty() && name[0] != '.' && DirectoryExists(it->path().string()))
            subs.push_back(name);
    }
    if (ec && entries.size() == 1 && subs.empty() && !DirectoryExists(Folder))
        return;
    std::sort(subs.begin(), subs.end(), [](const std::string& a, const std::string& b) {
        int c = AnsiCompareText(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    for (const std::string& s : subs)
        entries.push_back(
            {(Folder == "/" ? std::string() : Folder) + "/" + s, static_cast<int>(chain.size())});

    FCurrent = Folder;
    FList->Entries = entries;
    TStrings* items = FList->Items();
    items->BeginUpdate();
    items->Clear();
    for (size_t i = 0; i < entries.size(); ++i)
        items->Add(i == 0 ? entries[i].Path : ExtractFileName(entries[i].Path));
    items->EndUpdate();
    int selected = 0;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].Path == Selected)
            selected = static_cast<int>(i);
    FList->SetItemIndex(selected);
    FList->MakeVisible(selected);
    FEdit->SetTextProp(entries[selected].Path);
}

void TFolderForm::Accept() {
    std::string typed = Trim(FEdit->Text());
    if (typed.empty())
        return;
    if (typed == "~" || typed.rfind("~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        typed = std::string(home ? home : "/") + typed.substr(1);
    }
    std::string path = Normalized(typed[0] == '/' ? typed : FCurrent + "/" + typed);
    if (!DirectoryExists(path)) {
        Warn(path + "\nPath does not exist.\nPlease verify the correct path was given.");
        return;
    }
    if (!IsUnder(path, FRoot)) {
        Warn(path + "\nis not inside " + FRoot + ".");
        return;
    }
    Chosen = path;
    SetModalResult(mrOk);
}

} // namespace

bool SelectDirectory(const std::string& Caption, const std::string& Root, std::string& Directory) {
    return SelectDirectory(Caption, Root, Directory, {});
}

bool SelectDirectory(const std::string& Caption, const std::string& Root, std::string& Directory,
                     const TDialogPlacement& Place) {
    auto form = MakeDialogForm<TFolderForm>(nullptr);
    form->Build(Caption, Root, Directory);
    if (Place) {
        TPoint at = Place(TSize(form->Width(), form->Height()), Screen ? Screen->WorkAreaRect() : TRect());
        form->SetPosition(poDesigned);
        form->SetBounds(at.X, at.Y, form->Width(), form->Height());
    } else {
        TCustomForm* over = Screen ? Screen->ActiveCustomForm() : nullptr;
        form->CentreOver(over && over->Visible() ? over : nullptr);
    }
    if (form->ShowModal() != mrOk || form->Chosen.empty())
        return false;
    Directory = form->Chosen;
    return true;
}

} // namespace plat
