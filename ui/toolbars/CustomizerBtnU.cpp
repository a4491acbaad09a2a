#include "ui/toolbars/CustomizerBtnU.h"

#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Label.h"
#include "platform/ui/Panel.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarCustomizer.h"

namespace ui {

PLAT_CLASS_INFO_CREATABLE(TCusBtnForm, plat::TForm)

namespace {

template <class T> T* Make(plat::TForm* Form, plat::TWinControl* Parent, int L, int T_, int W, int H) {
    auto* c = new T(Form);
    c->SetParent(Parent);
    c->SetBounds(L, T_, W, H);
    return c;
}

} // namespace

TCusBtnForm::TCusBtnForm(plat::TComponent* AOwner) : TForm(AOwner) {
    SetCaption("CusBtnForm");
    SetBorderStyle(plat::bsToolWindow);
    SetBorderIcons(plat::biSystemMenu);
    SetClientWidth(248);
    SetClientHeight(140);
    GroupBox1 = Make<plat::TGroupBox>(this, this, 8, 0, 233, 102);
    LblCaption = Make<plat::TLabel>(this, GroupBox1, 8, 17, 40, 13);
    LblCaption->SetCaption("Caption");
    EdtBtnCaption = Make<plat::TEdit>(this, GroupBox1, 50, 14, 73, 21);
    LblHint = Make<plat::TLabel>(this, GroupBox1, 8, 41, 40, 13);
    LblHint->SetCaption("Hint");
    EdtBtnHint = Make<plat::TEdit>(this, GroupBox1, 50, 38, 73, 21);
    LblIcon = Make<plat::TLabel>(this, GroupBox1, 8, 65, 40, 13);
    LblIcon->SetCaption("Icon");
    CmBxGlyph = Make<plat::TComboBox>(this, GroupBox1, 50, 62, 74, 21);
    CmBxGlyph->SetStyle(plat::csOwnerDrawFixed);
    CmBxGlyph->SetItemHeight(13);
    // The toolbar's images, and the last entry's "none" text.
    CmBxGlyph->OnDrawItem = [this](plat::TWinControl*, int Index, plat::TRect Rect, plat::TOwnerDrawState) {
        plat::TCanvas* c = CmBxGlyph->Canvas();
        c->FillRect(Rect);
        plat::TCustomImageList* images =
            FCustomizer && FCustomizer->KvxToolBar() ? FCustomizer->KvxToolBar()->Images() : nullptr;
        const int count = images ? images->Count() : 0;
        if (Index >= 0 && Index < count) {
            images->Draw(c, Rect.Left + 2, Rect.Top + 2, Index);
        } else if (Index == count && Index < CmBxGlyph->Items()->Count()) {
            c->Brush()->SetStyle(plat::bsClear);
            c->TextOut(Rect.Left + 4, Rect.Top + (Rect.Height() - c->TextHeight("X")) / 2,
                       CmBxGlyph->Items()->Strings(Index));
            c->Brush()->SetStyle(plat::bsSolid);
        }
    };
    ChkBtnShowCap = Make<plat::TCheckBox>(this, GroupBox1, 129, 17, 97, 17);
    ChkBtnShowCap->SetCaption("Show Captions");
    ChkBtnVis = Make<plat::TCheckBox>(this, GroupBox1, 129, 38, 97, 17);
    ChkBtnVis->SetCaption("Visible");
    BtnOk = Make<plat::TButton>(this, this, 49, 109, 75, 25);
    BtnOk->SetCaption("&OK");
    BtnOk->SetModalResult(plat::mrOk);
    BtnOk->SetDefault(true);
    BtnCancel = Make<plat::TButton>(this, this, 124, 109, 75, 25);
    BtnCancel->SetCaption("&Cancel");
    BtnCancel->SetModalResult(plat::mrCancel);
    BtnCancel->SetCancel(true);
}

} // namespace ui
