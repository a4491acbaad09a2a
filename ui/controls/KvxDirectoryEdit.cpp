#include "ui/controls/KvxDirectoryEdit.h"

#include <exception>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/FolderDialog.h"

using namespace plat;

namespace ui {

namespace {

// The browse glyph: a yellow folder on a transparent ground, 12 by 11.
std::unique_ptr<TBitmap> FolderGlyph() {
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(12, 11);
    TCanvas& c = *bmp->Canvas();
    c.Brush()->SetColor(clFuchsia);
    c.FillRect(TRect(0, 0, 12, 11));
    c.Pen()->SetColor(clBlack);
    c.Brush()->SetColor(0x00FFFF);
    c.Rectangle(0, 2, 12, 11);
    c.Rectangle(0, 1, 5, 3);
    c.Pen()->SetColor(clWhite);
    c.MoveTo(1, 4);
    c.LineTo(11, 4);
    bmp->SetTransparentColor(clFuchsia);
    return bmp;
}

} // namespace

PLAT_CLASS_INFO_CREATABLE(TKvxDirectoryEdit, TKvxEditBtn)

namespace {
// Layouts create the edits by name.
struct TRegistrar {
    TRegistrar() { RegisterClass(TKvxDirectoryEdit::StaticClass()); }
} registrar;
} // namespace
PLAT_PROPERTIES(TKvxDirectoryEdit) {
    props.Boolean("AllowNewFolder", &TKvxDirectoryEdit::AllowNewFolder, &TKvxDirectoryEdit::SetAllowNewFolder,
                  true);
    props.String("BrowseDialogText", &TKvxDirectoryEdit::BrowseDialogText,
                 &TKvxDirectoryEdit::SetBrowseDialogText);
    props.Event("OnShowDirectoryDialog", &TKvxDirectoryEdit::OnShowDirectoryDialog);
    props.Event("OnDialogClose", &TKvxDirectoryEdit::OnDialogClose);
    // A plain text edit: the number settings are neither streamed nor settable.
    for (const char* name :
         {"AutoThousandSeparator", "EditAlign", "EditType", "ExcelStyleDecimalSeparator", "PasswordChar",
          "Precision", "Signed", "ShowURL", "URLColor", "OnClickBtn", "OnValueValidate"})
        props.Hide(name);
}

TKvxDirectoryEdit::TKvxDirectoryEdit(TComponent* AOwner) : TKvxEditBtn(AOwner) {
    SetGlyph(FolderGlyph().get());
    SetButtonWidth(18);
    FBrowseDialogText = "Select Directory";
    FAllowNewFolder = true;
}

void TKvxDirectoryEdit::DoValueValidate(const std::string& Value, bool& IsValid) {
    CanAcceptFolder(this, Value, IsValid);
}

void TKvxDirectoryEdit::CanAcceptFolder(TObject*, const std::string& Value, bool& IsValid) {
    IsValid = !Value.empty() && DirectoryExists(Value);
}

void TKvxDirectoryEdit::ButtonClick() {
    std::string start = Text().empty() ? GetCurrentDir() : Text();
    if (OnShowDirectoryDialog)
        OnShowDirectoryDialog(this, start);
    start = ExcludeTrailingPathDelimiter(start);
    // The browser opens under the edit, kept on the work area.
    TPoint corner = Parent() ? Parent()->ClientToScreen(TPoint(Left(), Top() + Height()))
                             : ClientToScreen(TPoint(0, ClientHeight()));
    auto place = [corner](const TSize& size, const TRect& work) {
        TPoint p = corner;
        if (p.X + size.cx > work.Right)
            p.X -= size.cx;
        if (p.Y + size.cy >= work.Bottom)
            p.Y = work.Bottom - size.cy;
        return p;
    };
    FSkipNextSpecialKey = true;
    std::string chosen = start;
    bool ok = false;
    try {
        ok = SelectDirectory(FBrowseDialogText, "", chosen, place);
    } catch (const std::exception&) {
        ok = false; // a failing browser counts as cancelled
    }
    if (!ok)
        return;
    bool fetched = !chosen.empty();
    if (OnDialogClose)
        OnDialogClose(this, chosen, fetched);
    if (fetched && chosen != Text()) {
        SetTextProp(chosen);
        SetModifiedState(true);
    }
}

} // namespace ui
