#include "platform/ui/Dialogs.h"

#include <algorithm>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

namespace plat {

PLAT_CLASS_INFO(TCommonDialog, TComponent)
PLAT_CLASS_INFO(TDialogForm, TForm)

PLAT_PROPERTIES(TCommonDialog) {
    props.Integer("HelpContext", &TCommonDialog::HelpContext, &TCommonDialog::SetHelpContext, 0);
    props.Event("OnShow", &TCommonDialog::OnShow);
    props.Event("OnClose", &TCommonDialog::OnClose);
}

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

int TCommonDialog::RunModal(TCustomForm& Form) {
    TCustomForm* over = FormOfComponent(Owner());
    if (!over || !over->Visible())
        over = Screen ? Screen->ActiveCustomForm() : nullptr;
    if (auto* dialog = dynamic_cast<TDialogForm*>(&Form))
        dialog->CentreOver(over && over->Visible() ? over : nullptr);
    Form.SetHelpContext(FHelpContext);
    if (OnShow)
        OnShow(this);
    ScopeGuard closed([this] {
        if (OnClose)
            OnClose(this);
    });
    return Form.ShowModal();
}

TDialogForm::TDialogForm(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsDialog);
    SetBorderIcons(biSystemMenu);
    // The classic dialog font: Tahoma 8 pt.
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);
    SetPosition(poDesigned);
}

void TDialogForm::Place(TControl* Control, const std::string& Name, const TRect& Bounds,
                        TWinControl* Parent) {
    // Parent first: a label measures its caption (the name, at first) on its parent's window.
    Control->SetParent(Parent ? Parent : this);
    if (!Name.empty())
        Control->SetName(Name);
    Control->SetBoundsRect(Bounds);
}

TLabel* TDialogForm::AddLabel(const std::string& Name, const std::string& Caption, int X, int Y,
                              TWinControl* FocusControl, TWinControl* Parent) {
    auto* label = Add<TLabel>(Name, TRect(X, Y, X + 10, Y + 13), Parent);
    label->SetCaption(Caption);
    label->SetFocusControl(FocusControl);
    return label;
}

TButton* TDialogForm::AddButton(const std::string& Name, const std::string& Caption, const TRect& Bounds,
                                TModalResult Result, TWinControl* Parent) {
    auto* button = Add<TButton>(Name, Bounds, Parent);
    button->SetCaption(Caption);
    button->SetModalResult(Result);
    button->SetTabStop(true);
    return button;
}

void TDialogForm::CentreOver(TCustomForm* Over) {
    TRect work = Screen ? Screen->WorkAreaRect() : TRect(0, 0, 1920, 1080);
    TRect area = Over ? Over->BoundsRect() : work;
    PlaceAt(TPoint(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2));
}

void TDialogForm::PlaceAt(TPoint ScreenPos) {
    TRect work = Screen ? Screen->WorkAreaRect() : TRect(0, 0, 1920, 1080);
    int x = std::max(work.Left, std::min(ScreenPos.X, work.Right - Width()));
    int y = std::max(work.Top, std::min(ScreenPos.Y, work.Bottom - Height()));
    SetPosition(poDesigned);
    SetBounds(x, y, Width(), Height());
}

TSize TDialogForm::MeasureText(const std::string& Text, int WrapWidth, bool Prefix) const {
    TBitmap measure(1, 1);
    measure.Canvas()->Font()->Assign(Font());
    TRect r(0, 0, WrapWidth > 0 ? WrapWidth : 0, 0);
    TTextFormat format = DT_CALCRECT | DT_EXPANDTABS;
    if (WrapWidth > 0)
        format |= DT_WORDBREAK;
    if (!Prefix)
        format |= DT_NOPREFIX;
    measure.Canvas()->TextRect(r, Text.empty() ? std::string(" ") : Text, format);
    return TSize{r.Width(), r.Height()};
}

TCustomForm* FormOfComponent(TComponent* Component) {
    for (TComponent* c = Component; c; c = c->Owner()) {
        if (auto* form = dynamic_cast<TCustomForm*>(c))
            return form;
        if (auto* control = dynamic_cast<TControl*>(c))
            if (TCustomForm* form = GetParentForm(control))
                return form;
    }
    return nullptr;
}

void DrawSmallFolderIcon(TCanvas& Canvas, int X, int Y) {
    TCanvas& c = Canvas;
    c.Pen()->SetStyle(psSolid);
    c.Pen()->SetWidth(1);
    c.Pen()->SetColor(RGB(128, 128, 0));
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(RGB(255, 255, 128));
    // The tab, then the body.
    c.Rectangle(X + 1, Y + 2, X + 7, Y + 5);
    c.Brush()->SetColor(RGB(255, 220, 64));
    c.Rectangle(X + 1, Y + 4, X + 15, Y + 14);
}

void DrawSmallFileIcon(TCanvas& Canvas, int X, int Y) {
    TCanvas& c = Canvas;
    c.Pen()->SetStyle(psSolid);
    c.Pen()->SetWidth(1);
    c.Pen()->SetColor(RGB(96, 96, 96));
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(clWhite);
    // A page with its top-right corner folded.
    const TPoint page[] = {
        {X + 3, Y + 1}, {X + 10, Y + 1}, {X + 13, Y + 4}, {X + 13, Y + 15}, {X + 3, Y + 15}};
    c.Polygon(page);
    c.MoveTo(X + 10, Y + 1);
    c.LineTo(X + 10, Y + 4);
    c.LineTo(X + 14, Y + 4);
    c.Pen()->SetColor(RGB(160, 160, 160));
    for (int y = Y + 7; y <= Y + 12; y += 2) {
        c.MoveTo(X + 5, y);
        c.LineTo(X + 11, y);
    }
}

} // namespace plat
