#include "ui/controls/KvxFileNameEdit.h"

#include <memory>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Graphic.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/PropertyInfo.h"

using namespace plat;

namespace ui {

namespace {

// The browse glyph: a sheet with a folded corner on a transparent ground, 12 by 11.
std::unique_ptr<TBitmap> FileGlyph() {
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(12, 11);
    TCanvas& c = *bmp->Canvas();
    c.Brush()->SetColor(clFuchsia);
    c.FillRect(TRect(0, 0, 12, 11));
    c.Pen()->SetColor(clBlack);
    c.Brush()->SetColor(clWhite);
    c.Polygon(std::initializer_list<TPoint>{{2, 0}, {7, 0}, {10, 3}, {10, 10}, {2, 10}});
    c.MoveTo(7, 0);
    c.LineTo(7, 3);
    c.LineTo(10, 3);
    c.Pen()->SetColor(clNavy);
    for (int y : {5, 7})
        c.MoveTo(4, y), c.LineTo(9, y);
    bmp->SetTransparentColor(clFuchsia);
    return bmp;
}

struct TRegistrar {
    TRegistrar() { RegisterClass(TKvxFileNameEdit::StaticClass()); }
} registrar;

} // namespace

PLAT_CLASS_INFO_CREATABLE(TKvxFileNameEdit, TKvxEditBtn)

PLAT_PROPERTIES(TKvxFileNameEdit) {
    props.String("FileName", &TKvxFileNameEdit::FileName, &TKvxFileNameEdit::SetFileName);
    props.Enum("DialogKind", &TKvxFileNameEdit::DialogKind, &TKvxFileNameEdit::SetDialogKind,
               kFileDialogKindNames);
    props.String("DefaultExt", &TKvxFileNameEdit::DefaultExt, &TKvxFileNameEdit::SetDefaultExt);
    props.String("Filter", &TKvxFileNameEdit::Filter, &TKvxFileNameEdit::SetFilter);
    props.Integer("FilterIndex", &TKvxFileNameEdit::FilterIndex, &TKvxFileNameEdit::SetFilterIndex, 1);
    props.String("InitialDir", &TKvxFileNameEdit::InitialDir, &TKvxFileNameEdit::SetInitialDir);
    props.Set("DialogOptions", &TKvxFileNameEdit::DialogOptions, &TKvxFileNameEdit::SetDialogOptions,
              kOpenOptionNames, TOpenOptions(ofHideReadOnly | ofEnableSizing));
    props.String("DialogTitle", &TKvxFileNameEdit::DialogTitle, &TKvxFileNameEdit::SetDialogTitle);
    props.Event("OnDialogExit", &TKvxFileNameEdit::OnDialogExit);
    // The value is a plain text: the number settings stay readable but are neither streamed nor settable.
    props.Boolean("AutoThousandSeparator", &TKvxEdit::AutoThousandSeparator, nullptr);
    props.Enum("EditAlign", &TKvxEdit::EditAlign, nullptr, kEditAlignNames);
    props.Enum("EditType", &TKvxEdit::EditType, nullptr, kKvxEditTypeNames);
    props.Boolean("ExcelStyleDecimalSeparator", &TKvxEdit::ExcelStyleDecimalSeparator, nullptr);
    props.Integer("PasswordChar", &TCustomEdit::PasswordChar, nullptr);
    props.Integer("Precision", &TKvxEdit::Precision, nullptr);
    props.Boolean("Signed", &TKvxEdit::Signed, nullptr);
}

TKvxFileNameEdit::TKvxFileNameEdit(TComponent* AOwner) : TKvxEditBtn(AOwner) {
    SetGlyph(FileGlyph().get());
    SetButtonWidth(18);
}

void TKvxFileNameEdit::DoValueValidate(const std::string& Value, bool& IsValid) {
    IsValid = !Value.empty() && FileExists(Value);
    TKvxEditBtn::DoValueValidate(Value, IsValid);
}

bool TKvxFileNameEdit::IsURL() const {
    std::string v = Text();
    return ShowURL() && !v.empty() && FileExists(v);
}

void TKvxFileNameEdit::ButtonClick() {
    std::unique_ptr<TOpenDialog> dialog;
    if (FDialogKind == fdSave || FDialogKind == fdSavePicture)
        dialog = std::make_unique<TSaveDialog>(nullptr);
    else
        dialog = std::make_unique<TOpenDialog>(nullptr);
    dialog->SetFileName(FileName());
    dialog->SetDefaultExt(FDefaultExt);
    std::string filter = FFilter;
    if (FDialogKind == fdOpenPicture || FDialogKind == fdSavePicture) {
        // The picture kinds offer the picture types after the caller's own.
        std::string pictures = TPicture::FileFilter();
        filter = filter.empty() ? pictures : filter + "|" + pictures;
    }
    dialog->SetFilter(filter);
    dialog->SetFilterIndex(FFilterIndex);
    dialog->SetInitialDir(FInitialDir);
    dialog->SetOptions(FDialogOptions);
    dialog->SetTitle(FDialogTitle);
    if (OnClickBtn)
        OnClickBtn(this);
    if (dialog->Execute()) {
        SetTextProp(dialog->FileName());
        FFilterIndex = dialog->FilterIndex();
        if (OnDialogExit)
            OnDialogExit(this, true);
        SetModifiedState(true);
    } else if (OnDialogExit) {
        OnDialogExit(this, false);
    }
}

} // namespace ui
