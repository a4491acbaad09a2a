#include "ui/toolbars/KvxOptionWindow.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Input.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Timer.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarCustomizer.h"
#include "ui/toolbars/KvxToolBarDraw.h"
#include "ui/toolbars/KvxToolBarStylers.h"

namespace ui {

using plat::TCanvas;
using plat::TColor;
using plat::TPoint;
using plat::TRect;

PLAT_CLASS_INFO(TKvxPopupForm, plat::TForm)
PLAT_CLASS_INFO(TOptionSelectorPanel, plat::TCustomPanel)
PLAT_CLASS_INFO(TOptionSelectorWindow, TKvxPopupForm)
PLAT_CLASS_INFO(TKTBPopupPanel, TOptionSelectorPanel)
PLAT_CLASS_INFO(TKTBPopupWindow, TKvxPopupForm)
PLAT_CLASS_INFO(TControlSelectorPanel, TOptionSelectorPanel)
PLAT_CLASS_INFO(TCustomizeOption, TOptionSelectorPanel)

namespace {

constexpr TColor kGray = 0x808080;

void SetUpPopup(plat::TCustomForm* F) {
    F->SetBorderIcons(0);
    F->SetBorderStyle(plat::bsNone);
    F->SetFormStyle(plat::fsStayOnTop);
    F->SetBounds(0, 0, 10, 10);
}

// Fill from Color to ColorTo in 40 bands, or flat in Color alone, framed in black.
void FillEntry(TCanvas* C, const TRect& R, TColor Color, TColor ColorTo, bool Vertical) {
    if (Color == plat::clNone)
        return;
    if (ColorTo != plat::clNone)
        toolbar::DrawBandGradient(*C, Color, ColorTo, 40, R, !Vertical);
    else {
        C->Brush()->SetStyle(plat::bsSolid);
        C->Brush()->SetColor(Color);
        C->FillRect(R);
    }
    C->Brush()->SetStyle(plat::bsClear);
    C->Pen()->SetColor(plat::clBlack);
    C->Rectangle(R);
    C->Brush()->SetStyle(plat::bsSolid);
}

// Puts a sub-window of size Size beside the screen rectangle Beside: at its right, or at its left when
// it would pass the work area's right edge; never below the work area.
TPoint PlaceBeside(const TRect& Beside, plat::TSize Size, int Gap) {
    const TRect work = plat::Screen->WorkAreaRect();
    TPoint p(Beside.Right + Gap, Beside.Top);
    if (p.Y + Size.cy > work.Bottom - 2)
        p.Y = work.Bottom - 2 - Size.cy;
    if (p.X + Size.cx > work.Right)
        p.X = Beside.Left - Size.cx;
    return p;
}

TRect ScreenRect(plat::TControl* C, const TRect& R) {
    const TPoint tl = C->ClientToScreen(TPoint(R.Left, R.Top));
    return TRect(tl.X, tl.Y, tl.X + R.Width(), tl.Y + R.Height());
}

} // namespace

// ---- TKvxPopupForm ----

TKvxPopupForm::TKvxPopupForm(plat::TComponent* AOwner) : plat::TForm(AOwner) {
    SetUpPopup(this);
    FHideTimer = std::make_unique<plat::TTimer>(nullptr);
    FHideTimer->SetEnabled(false);
    FHideTimer->SetInterval(1);
    FHideTimer->OnTimer = [this](plat::TObject*) {
        FHideTimer->SetEnabled(false);
        DeactivateHide();
    };
}

TKvxPopupForm::~TKvxPopupForm() = default;

void TKvxPopupForm::Deactivate() {
    plat::TForm::Deactivate();
    if (Visible() && FHideOnDeactivate)
        FHideTimer->SetEnabled(true);
}

void TKvxPopupForm::DeactivateHide() {
    Hide();
    if (OnDeActivateHide)
        OnDeActivateHide(this);
}

// ---- TOptionSelectorPanel ----

TOptionSelectorPanel::TOptionSelectorPanel(plat::TComponent* AOwner)
    : plat::TCustomPanel(AOwner), FColorTo(plat::clNone), FWindowBorderColor(kGray) {
    SetBevelOuter(plat::bvNone);
    SetBevelWidth(1);
    SetColor(0xF7F8F9);
}

void TOptionSelectorPanel::Paint() {
    TCanvas* C = Canvas();
    C->Brush()->SetStyle(plat::bsSolid);
    C->Brush()->SetColor(Color());
    C->FillRect(ClientRect());
    if (FColorTo != plat::clNone)
        toolbar::DrawBandGradient(*C, Color(), FColorTo, 40, ClientRect(),
                                  FGradientDirection == toolbar::gdHorizontal);
    const int W = Width(), H = Height();
    C->Pen()->SetColor(FWindowBorderColor);
    C->MoveTo(0, 0);
    C->LineTo(0, H);
    C->MoveTo(0, 0);
    C->LineTo(W - 1, 0);
    C->MoveTo(0, H - 1);
    C->LineTo(W - 1, H - 1);
    C->MoveTo(W - 1, H);
    C->LineTo(W - 1, -1);
}

// ---- TOptionSelectorWindow ----

TOptionSelectorWindow::TOptionSelectorWindow(plat::TComponent* AOwner) : TKvxPopupForm(AOwner) {}

void TOptionSelectorWindow::SizeToPanel() {
    if (FPanel)
        SetBounds(Left(), Top(), FPanel->Width(), FPanel->VisibleHeight());
}

void TOptionSelectorWindow::DoHide() {
    TKvxPopupForm::DoHide();
    if (FPanel)
        FPanel->Hidden();
}

// ---- TKTBMenuItem ----

TKTBMenuItem* TKTBMenuItem::Add() {
    FChildren.push_back(std::make_unique<TKTBMenuItem>());
    FChildren.back()->FParent = this;
    return FChildren.back().get();
}

// ---- TKTBPopupWindow ----

TKTBPopupWindow::TKTBPopupWindow(plat::TComponent* AOwner) : TKvxPopupForm(AOwner) {
    FPanel = new TKTBPopupPanel(this);
    FPanel->SetParent(this);
}

TKTBMenuItem* TKTBPopupWindow::CreateRoot() {
    if (!FRoot)
        FRoot = std::make_unique<TKTBMenuItem>();
    FPanel->SetRootItem(FRoot.get());
    return FRoot.get();
}

void TKTBPopupWindow::SizeToPanel() {
    SetBounds(Left(), Top(), FPanel->Width(), FPanel->VisibleHeight());
}

void TKTBPopupWindow::CloseWindow() {
    FPanel->Reset();
    Hide();
}

// ---- TKTBPopupPanel ----

TKTBPopupPanel::TKTBPopupPanel(plat::TComponent* AOwner) : TOptionSelectorPanel(AOwner) {
    FMargin = 2;
}

void TKTBPopupPanel::InvalidatePart(const TRect& R) {
    if (HandleAllocated() && !R.IsEmpty())
        plat::InvalidateRect(WindowHandle(), &R, false);
}

void TKTBPopupPanel::SetRootItem(TKTBMenuItem* Value) {
    FRoot = Value;
    Arrange();
}

namespace {

// The image a control shows on the toolbar: an image list entry or a glyph.
bool ControlImage(const plat::TControl* C, const TKvxCustomToolBar* Bar, plat::TCustomImageList*& List,
                  int& Index, plat::TBitmap*& Glyph) {
    List = nullptr, Index = -1, Glyph = nullptr;
    const auto* b = dynamic_cast<const TKvxCustomToolBarButton*>(C);
    if (!b)
        return false;
    if (Bar && Bar->Images() && b->ImageIndex() >= 0 && b->ImageIndex() < Bar->Images()->Count()) {
        List = Bar->Images(), Index = b->ImageIndex();
        return true;
    }
    if (b->Glyph() && !b->Glyph()->Empty()) {
        Glyph = b->Glyph();
        return true;
    }
    return false;
}

} // namespace

int TKTBPopupPanel::IconBarWidth() const {
    const int bar = FMenuStyler && FIconBar && FMenuStyler->IconBar() ? FMenuStyler->IconBar()->Size() : 0;
    return bar + (FImageColumn ? FImageColumnWidth : 0);
}

void TKTBPopupPanel::Arrange() {
    if (!FRoot)
        return;
    Canvas()->Font()->Assign(Font());
    FImageColumn = false;
    int w = 0;
    for (int i = 0; i < FRoot->Count(); ++i) {
        const TKTBMenuItem* item = FRoot->Items(i);
        w = std::max(w, Canvas()->TextWidth(item->Caption) + 7);
        if (item->HasChildren())
            w += 30;
        plat::TCustomImageList* list;
        int index;
        plat::TBitmap* glyph;
        if (!FImageColumn && item->Object && ControlImage(item->Object, FToolBar, list, index, glyph))
            FImageColumn = true;
    }
    w += IconBarWidth();
    w = std::max(w, 70);
    int y = FMargin;
    for (int i = 0; i < FRoot->Count(); ++i) {
        FRoot->Items(i)->Bounds = TRect(FMargin, y, FMargin + w, y + FItemHeight);
        y += FItemHeight + 2;
    }
    SetBounds(0, 0, w + 2 * FMargin, y);
}

void TKTBPopupPanel::DrawEntryImage(TCanvas* C, const TKTBMenuItem* Item, const TRect& Cell) {
    plat::TCustomImageList* list;
    int index;
    plat::TBitmap* glyph;
    if (!Item->Object || !ControlImage(Item->Object, FToolBar, list, index, glyph))
        return;
    const int w = list ? list->Width() : glyph->Width();
    const int h = list ? list->Height() : glyph->Height();
    if (w <= Cell.Width() && h <= Cell.Height()) {
        const int x = Cell.Left + (Cell.Width() - w) / 2, y = Cell.Top + (Cell.Height() - h) / 2;
        if (list)
            list->Draw(C, x, y, index, Item->Enabled);
        else
            C->Draw(x, y, glyph);
        return;
    }
    // Larger than the cell: shrunk into it.
    if (list) {
        plat::TBitmap image(w, h);
        image.Canvas()->Brush()->SetColor(plat::clFuchsia);
        image.Canvas()->FillRect(TRect(0, 0, w, h));
        list->Draw(image.Canvas(), 0, 0, index, Item->Enabled);
        image.SetTransparentColor(plat::clFuchsia);
        image.SetTransparent(true);
        C->StretchDraw(Cell, &image);
    } else
        C->StretchDraw(Cell, glyph);
}

TRect TKTBPopupPanel::EntryRect(int Index) const {
    return FRoot && Index >= 0 && Index < FRoot->Count() ? FRoot->Items(Index)->Bounds : TRect();
}

int TKTBPopupPanel::ItemAt(int X, int Y) const {
    for (int i = 0; FRoot && i < FRoot->Count(); ++i)
        if (FRoot->Items(i)->Bounds.Contains(TPoint(X, Y)))
            return i;
    return -1;
}

void TKTBPopupPanel::SetHotIndex(int Index) {
    if (Index == FHotIndex)
        return;
    if (FHotIndex >= 0) {
        CloseSubMenu();
        const TRect old = EntryRect(FHotIndex);
        FHotIndex = -1;
        InvalidatePart(old);
    }
    FHotIndex = Index;
    InvalidatePart(EntryRect(Index));
}

void TKTBPopupPanel::Toggle(int Index) {
    if (!FRoot || Index < 0 || Index >= FRoot->Count())
        return;
    TKTBMenuItem* item = FRoot->Items(Index);
    if (!item->AutoCheck || !item->Object)
        return;
    item->Object->SetVisible(!item->Object->Visible());
    item->Checked = item->Object->Visible();
    InvalidatePart(item->Bounds);
}

void TKTBPopupPanel::Reset() {
    CloseSubMenu();
    FHotIndex = -1;
    FOpenIndex = -1;
}

void TKTBPopupPanel::CloseSubMenu() {
    if (FSubWindow && FSubWindow->Visible())
        FSubWindow->CloseWindow();
    FOpenIndex = -1;
}

void TKTBPopupPanel::OpenSubMenu() {
    if (FHotIndex < 0 || FHotIndex == FOpenIndex || !FRoot)
        return;
    CloseSubMenu();
    TKTBMenuItem* item = FRoot->Items(FHotIndex);
    if (!item->HasChildren())
        return;
    auto* window = dynamic_cast<TKvxPopupForm*>(Owner());
    if (!FSubWindow) {
        FSubWindow = new TKTBPopupWindow(this);
        FSubWindow->SetKvxToolBar(FToolBar);
        FSubWindow->OnHide = [this, window](plat::TObject*) {
            if (window)
                window->SetHideOnDeactivate(true);
            FOpenIndex = -1;
        };
        // A click elsewhere closes the whole chain, level by level.
        FSubWindow->OnDeActivateHide = [window](plat::TObject*) {
            if (auto* w = dynamic_cast<TKTBPopupWindow*>(window)) {
                w->CloseWindow();
                if (w->OnDeActivateHide)
                    w->OnDeActivateHide(w);
            }
        };
    }
    TKTBPopupPanel* sub = FSubWindow->PopupPanel();
    sub->SetMenuStyler(FMenuStyler);
    sub->SetIconBar(true);
    sub->SetKvxToolBar(FToolBar);
    sub->SetRootItem(item);
    FOpenIndex = FHotIndex;
    FSubWindow->SizeToPanel();
    if (window)
        window->SetHideOnDeactivate(false);
    const TPoint p = PlaceBeside(ScreenRect(this, item->Bounds),
                                 plat::TSize(FSubWindow->Width(), FSubWindow->Height()), 2);
    FSubWindow->SetBounds(p.X, p.Y, FSubWindow->Width(), FSubWindow->Height());
    FSubWindow->Show();
}

void TKTBPopupPanel::Paint() {
    TOptionSelectorPanel::Paint();
    if (!FRoot)
        return;
    TCanvas* C = Canvas();
    C->Font()->Assign(Font());
    const TIconBar* iconBar = FMenuStyler && FIconBar ? FMenuStyler->IconBar() : nullptr;
    const TSelectedItem* selected = FMenuStyler ? FMenuStyler->SelectedItem() : nullptr;
    TMenuGlyphs* glyphs = FMenuStyler ? FMenuStyler->Glyphs() : nullptr; // check mark, sub-menu arrow
    const int iconCell = iconBar ? iconBar->Size() : 0;
    const int strip = IconBarWidth();
    // Without a styler the list keeps a plain look of its own.
    const TColor barFrom = iconBar ? iconBar->Color() : 0xFEFEFE,
                 barTo = iconBar ? iconBar->ColorTo() : 0xE0E0E0;
    if (strip > 0) {
        const TRect bar(FMargin, FMargin, FMargin + strip, Height() - FMargin);
        if (barFrom != plat::clNone && barTo != plat::clNone)
            toolbar::DrawBandGradient(*C, barFrom, barTo, 40, bar, true);
        else if (barFrom != plat::clNone) {
            C->Brush()->SetColor(barFrom);
            C->FillRect(bar);
        }
    }
    for (int i = 0; i < FRoot->Count(); ++i) {
        const TKTBMenuItem* item = FRoot->Items(i);
        const TRect& R = item->Bounds;
        const bool hot = i == FHotIndex;
        if (hot) {
            if (selected && selected->Color() != plat::clNone) {
                if (selected->ColorTo() != plat::clNone)
                    toolbar::DrawBandGradient(*C, selected->Color(), selected->ColorTo(), 40, R,
                                              selected->GradientDirection() == gdHorizontal);
                else {
                    C->Brush()->SetColor(selected->Color());
                    C->FillRect(R);
                }
                if (selected->BorderColor() != plat::clNone) {
                    C->Brush()->SetStyle(plat::bsClear);
                    C->Pen()->SetColor(selected->BorderColor());
                    C->Rectangle(R);
                    C->Brush()->SetStyle(plat::bsSolid);
                }
            } else if (!selected)
                FillEntry(C, R, 0xC2EEFF, plat::clNone, false);
        }
        const TRect icon(R.Left, R.Top, R.Left + iconCell, R.Bottom);
        if (item->AutoCheck && item->Checked && item->Enabled) {
            const TRect box = iconCell > 0
                                  ? TRect(icon.Left + 1, icon.Top + 1, icon.Right - 2, icon.Bottom - 1)
                                  : TRect(R.Left + 3, R.Top + 3, R.Left + 21, R.Bottom - 3);
            const TColor from = hot && selected ? selected->CheckColor()
                                : iconBar       ? iconBar->CheckColor()
                                                : 0x6FC0FF;
            const TColor to = hot && selected ? selected->CheckColorTo()
                              : iconBar       ? iconBar->CheckColorTo()
                                              : plat::clNone;
            const TColor frame = hot && selected ? selected->BorderColor()
                                 : iconBar       ? iconBar->CheckBorder()
                                                 : plat::clBlack;
            if (from != plat::clNone && to != plat::clNone)
                toolbar::DrawBandGradient(*C, from, to, 16, box, true);
            else if (from != plat::clNone) {
                C->Brush()->SetColor(from);
                C->FillRect(box);
            }
            C->Brush()->SetStyle(plat::bsClear);
            C->Pen()->SetColor(frame);
            C->Rectangle(box);
            C->Brush()->SetStyle(plat::bsSolid);
            plat::TBitmap* check = glyphs ? glyphs->Check() : nullptr;
            if (check && !check->Empty()) {
                check->SetTransparent(true);
                C->Draw(box.Left + (box.Width() - check->Width()) / 2,
                        box.Top + (box.Height() - check->Height()) / 2, check);
            } else {
                C->Pen()->SetColor(plat::clBlack);
                const int x = (box.Left + box.Right) / 2 - 4, y = (box.Top + box.Bottom) / 2;
                for (int d = 0; d < 2; ++d) {
                    C->MoveTo(x, y - 1 + d);
                    C->LineTo(x + 3, y + 2 + d);
                    C->LineTo(x + 8, y - 3 + d);
                }
            }
        } else if (!item->AutoCheck && !FImageColumn && iconCell > 0)
            DrawEntryImage(C, item, icon);
        if (FImageColumn)
            DrawEntryImage(
                C, item,
                TRect(R.Left + iconCell, R.Top + 2, R.Left + iconCell + FImageColumnWidth, R.Bottom - 2));
        TRect text(R.Left + strip + 4, R.Top, R.Right - 4, R.Bottom);
        C->Brush()->SetStyle(plat::bsClear);
        C->Font()->SetColor(item->Enabled ? plat::clBlack : kGray);
        C->TextRect(text, item->Caption, plat::DT_SINGLELINE | plat::DT_VCENTER | plat::DT_LEFT);
        C->Brush()->SetStyle(plat::bsSolid);
        if (item->HasChildren()) {
            const int y = (R.Top + R.Bottom - 5) / 2;
            TRect cell(R.Right - 8, y, R.Right - 5, y + 6);
            plat::TBitmap* arrow = glyphs ? glyphs->SubMenu() : nullptr;
            if (arrow && !arrow->Empty()) {
                toolbar::CenterRect(cell, arrow->Width(), arrow->Height());
                arrow->SetTransparent(true);
                C->Draw(cell.Left, cell.Top, arrow);
            } else {
                // Without a menu styler there is no glyph: a small black arrow in the same place.
                C->Pen()->SetColor(plat::clBlack);
                const int mid = (R.Top + R.Bottom) / 2;
                for (int k = 0; k < 4; ++k) {
                    C->MoveTo(R.Right - 9 + k, mid - 3 + k);
                    C->LineTo(R.Right - 9 + k, mid + 4 - k);
                }
            }
        }
    }
}

void TKTBPopupPanel::MouseMove(plat::TShiftState Shift, int X, int Y) {
    TOptionSelectorPanel::MouseMove(Shift, X, Y);
    const int i = ItemAt(X, Y);
    if (i >= 0 && i != FHotIndex && !(Shift & plat::ssLeft)) {
        SetHotIndex(i);
        OpenSubMenu();
    }
}

void TKTBPopupPanel::MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
    TOptionSelectorPanel::MouseUp(Button, Shift, X, Y);
    Toggle(ItemAt(X, Y));
}

void TKTBPopupPanel::Dispatch(plat::TMessage& Message) {
    TOptionSelectorPanel::Dispatch(Message);
    if (Message.Msg == plat::CM_MOUSELEAVE && FOpenIndex < 0)
        SetHotIndex(-1);
}

// ---- TCustomizeOption ----

TCustomizeOption::TCustomizeOption(plat::TComponent* AOwner) : TOptionSelectorPanel(AOwner) {}

TRect TCustomizeOption::InnerRect() const {
    return TRect(3, 3, Width() - 3, Height() - 3);
}

void TCustomizeOption::SizeToText() {
    Canvas()->Font()->Assign(Font());
    SetBounds(Left(), Top(), Canvas()->TextWidth(FText) + 2 * 3 + 12, 25);
}

void TCustomizeOption::SetState(bool Value) {
    if (FHot == Value && FDown == Value)
        return;
    FHot = FDown = Value;
    Invalidate();
}

void TCustomizeOption::MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
    TOptionSelectorPanel::MouseDown(Button, Shift, X, Y);
    if (InnerRect().Contains(TPoint(X, Y)) && !FDown)
        SetState(true);
}

void TCustomizeOption::MouseMove(plat::TShiftState Shift, int X, int Y) {
    TOptionSelectorPanel::MouseMove(Shift, X, Y);
    const bool inside = InnerRect().Contains(TPoint(X, Y));
    if (inside && !(Shift & plat::ssLeft))
        SetState(true);
    else if (!inside && FHot)
        SetState(false);
}

void TCustomizeOption::MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
    TOptionSelectorPanel::MouseUp(Button, Shift, X, Y);
    if (!FDown || !InnerRect().Contains(TPoint(X, Y)))
        return;
    SetState(false);
    if (auto* window = dynamic_cast<TOptionSelectorWindow*>(Owner()))
        window->Hide();
    if (FToolBar)
        FToolBar->CustomizeRequest();
}

void TCustomizeOption::Dispatch(plat::TMessage& Message) {
    TOptionSelectorPanel::Dispatch(Message);
    if (Message.Msg == plat::CM_MOUSELEAVE)
        SetState(false);
}

void TCustomizeOption::Paint() {
    TOptionSelectorPanel::Paint();
    if (!FToolBar || !FToolBar->CurrentStyler())
        return;
    TCanvas* C = Canvas();
    // A menu bar's entry looks like its menus' selected items, other toolbars' like their pressed buttons.
    const TRootItem* root = nullptr;
    if (FToolBar->Menu())
        if (TCustomKvxMenuStyler* ms = FToolBar->CurrentStyler()->CurrentMenuStyler())
            root = ms->RootItem();
    const toolbar::TButtonAppearance* a = FToolBar->CurrentStyler()->ButtonAppearance();
    const TRect inner = InnerRect();
    TColor text;
    if (FDown) {
        if (root)
            FillEntry(C, inner, root->SelectedColor(), root->SelectedColorTo(), true);
        else
            FillEntry(C, inner, a->ColorDown(), a->ColorDownTo(), true);
        text = root ? root->SelectedTextColor() : a->CaptionTextColorDown();
    } else
        text = root ? root->SelectedTextColor() : a->CaptionTextColor();
    C->Font()->Assign(Font());
    C->Font()->SetColor(text);
    C->Brush()->SetStyle(plat::bsClear);
    TRect t(inner.Left + 4, inner.Top, inner.Right - 4, inner.Bottom);
    C->TextRect(t, FText, plat::DT_SINGLELINE | plat::DT_VCENTER | plat::DT_CENTER);
    C->Brush()->SetStyle(plat::bsSolid);
}

// ---- TControlSelectorPanel ----

TControlSelectorPanel::TControlSelectorPanel(plat::TComponent* AOwner)
    : TOptionSelectorPanel(AOwner), FDownColor(kGray), FDownColorTo(plat::clNone), FHotColor(0xD2BDB6),
      FHotColorTo(plat::clNone), FTextColor(0), FHotTextColor(plat::clWhite), FDownTextColor(0) {
    FAutoClickTimer = std::make_unique<plat::TTimer>(nullptr);
    FAutoClickTimer->SetEnabled(false);
    FAutoClickTimer->SetInterval(1);
    FAutoClickTimer->OnTimer = [this](plat::TObject*) { AutoClickTick(); };
}

TControlSelectorPanel::~TControlSelectorPanel() {
    SetCustomizer(nullptr);
    // Its hide event would reach back into this panel and the option window while both are going.
    if (FCustomizeWindow) {
        FCustomizeWindow->OnHide = nullptr;
        delete FCustomizeWindow;
    }
}

void TControlSelectorPanel::SetCustomizer(TKvxToolBarCustomizer* Value) {
    if (Value == FCustomizer)
        return;
    if (FCustomizer)
        FCustomizer->RemoveFreeNotification(this);
    FCustomizer = Value;
    if (FCustomizer)
        FCustomizer->FreeNotification(this);
}

void TControlSelectorPanel::Notification(plat::TComponent* AComponent, plat::TOperation Operation) {
    TOptionSelectorPanel::Notification(AComponent, Operation);
    if (Operation != plat::opRemove)
        return;
    if (AComponent == FCustomizer)
        FCustomizer = nullptr;
    if (AComponent == FCustomizeWindow) {
        FCustomizeWindow = nullptr;
        FCustomizeOption = nullptr;
    }
}

void TControlSelectorPanel::HideCustomizeWindow() {
    if (!FCustomizeWindow)
        return;
    plat::TemporaryChange<bool> suppress(FSuppressHide, true);
    FCustomizeWindow->Hide();
}

void TControlSelectorPanel::AutoClickTick() {
    plat::TPoint cursor;
    if (!FShowAddRemove || !HandleAllocated() || !plat::GetCursorPos(cursor))
        return;
    if (!ScreenRect(this, FAddRemoveRect).Contains(cursor))
        return;
    FAutoClickTimer->SetEnabled(false);
    // Ends the option menu's loop; the pointer's next move over the entry opens the check list.
    plat::CloseMenus();
}

void TControlSelectorPanel::SetAddRemoveCaption(const std::string& Value) {
    FAddRemoveCaption = Value;
    UpdateEntryWidths();
}

void TControlSelectorPanel::SetOptionsCaption(const std::string& Value) {
    if (Value == FOptionsCaption)
        return;
    FOptionsCaption = Value;
    UpdateEntryWidths();
}

void TControlSelectorPanel::SetColors(TColor Down, TColor DownTo, TColor Hot, TColor HotTo, TColor Text,
                                      TColor HotText, TColor DownText) {
    FDownColor = Down, FDownColorTo = DownTo, FHotColor = Hot, FHotColorTo = HotTo;
    FTextColor = Text, FHotTextColor = HotText, FDownTextColor = DownText;
}

void TControlSelectorPanel::UpdateEntryWidths() {
    TCanvas* C = Canvas();
    C->Font()->SetName("Tahoma");
    C->Font()->SetSize(8);
    FEntryWidth = 130;
    if (FShowAddRemove)
        FEntryWidth = std::max(FEntryWidth, C->TextWidth(FAddRemoveCaption) + 15);
    if (HasOptions())
        FEntryWidth = std::max(FEntryWidth, C->TextWidth(FOptionsCaption) + 15);
}

void TControlSelectorPanel::ClearControls() {
    FControls.clear();
}

int TControlSelectorPanel::AddControl(plat::TControl* Control) {
    if (!Control)
        return -1;
    Control->SetParent(this);
    auto it = std::find(FControls.begin(), FControls.end(), Control);
    if (it != FControls.end())
        return static_cast<int>(it - FControls.begin());
    FControls.push_back(Control);
    return static_cast<int>(FControls.size()) - 1;
}

void TControlSelectorPanel::AddSeparator(TKvxToolBarSeparator* Separator) {
    auto* copy = new TKvxToolBarSeparator(this);
    copy->Assign(Separator);
    FSeparatorCopies.push_back(copy);
    AddControl(copy);
}

void TControlSelectorPanel::Hidden() {
    HideCustomizeWindow();
    FAutoClickTimer->SetEnabled(false);
    std::vector<TKvxToolBarSeparator*> copies;
    copies.swap(FSeparatorCopies);
    for (TKvxToolBarSeparator* s : copies) {
        std::erase(FControls, static_cast<plat::TControl*>(s));
        delete s;
    }
}

void TControlSelectorPanel::Arrange() {
    UpdateEntryWidths();
    for (int i = ControlCount() - 1; i >= 0; --i) {
        plat::TControl* c = plat::TWinControl::Controls(i);
        if (std::find(FControls.begin(), FControls.end(), c) == FControls.end())
            c->SetTop(-c->Height() - 2);
    }
    int content = FShowAddRemove || HasOptions() ? FEntryWidth : 0;
    for (plat::TControl* c : FControls)
        content = std::max(content, c->Width());
    int x = FMargin, y = FMargin, rowHeight = 0;
    for (plat::TControl* c : FControls) {
        if (content - x < c->Width() && x > FMargin) {
            y += rowHeight;
            x = FMargin;
            rowHeight = 0;
        }
        c->SetBounds(x, y, c->Width(), c->Height());
        x += c->Width();
        rowHeight = std::max(rowHeight, c->Height());
    }
    int h = y + rowHeight;
    const bool entries = FShowAddRemove || HasOptions();
    if (FShowAddRemove)
        h += FEntryHeight;
    if (HasOptions())
        h += FEntryHeight;
    if (!FControls.empty() && entries)
        h += FSpacing;
    h += FMargin;
    const int w = content + 2 * FMargin;
    SetBounds(0, 0, w, h);
    FAddRemoveRect =
        FShowAddRemove ? TRect(FMargin, h - FMargin - FEntryHeight, w - FMargin, h - FMargin) : TRect();
    const int optionsBottom = FShowAddRemove ? FAddRemoveRect.Top : h - FMargin;
    FOptionsRect =
        HasOptions() ? TRect(FMargin, optionsBottom - FEntryHeight, w - FMargin, optionsBottom) : TRect();
}

void TControlSelectorPanel::PaintEntry(TCanvas* C, const TRect& R, const std::string& Caption, bool Hot,
                                       bool Down) {
    TColor text = FTextColor;
    if (Down) {
        FillEntry(C, R, FDownColor, FDownColorTo, true);
        text = FDownTextColor;
    } else if (Hot) {
        FillEntry(C, R, FHotColor, FHotColorTo, true);
        text = FHotTextColor;
    }
    C->Font()->SetName("Tahoma");
    C->Font()->SetSize(8);
    C->Font()->SetColor(text);
    C->Brush()->SetStyle(plat::bsClear);
    TRect t(R.Left, R.Top, R.Right - 8, R.Bottom);
    C->TextRect(t, Caption, plat::DT_SINGLELINE | plat::DT_VCENTER | plat::DT_CENTER);
    C->Brush()->SetStyle(plat::bsSolid);
}

void TControlSelectorPanel::Paint() {
    TOptionSelectorPanel::Paint();
    TCanvas* C = Canvas();
    const TRect upper = HasOptions() ? FOptionsRect : FAddRemoveRect;
    if (!upper.IsEmpty()) {
        C->Pen()->SetColor(kGray);
        C->MoveTo(0, upper.Top - 4);
        C->LineTo(Width(), upper.Top - 4);
    }
    if (HasOptions()) {
        PaintEntry(C, FOptionsRect, FOptionsCaption, FOptionsHot, FOptionsDown);
        C->Pen()->SetColor(FOptionsDown ? FDownTextColor : FOptionsHot ? FHotTextColor : FTextColor);
        for (int k = 0; k < 3; ++k) {
            const int x = FOptionsRect.Right - 8 + k;
            C->MoveTo(x, FOptionsRect.Top + 7 + k);
            C->LineTo(x, FOptionsRect.Top + 12 - k);
        }
    }
    if (FShowAddRemove) {
        PaintEntry(C, FAddRemoveRect, FAddRemoveCaption, FAddRemoveHot, FAddRemoveDown);
        C->Pen()->SetColor(FAddRemoveDown ? FDownTextColor : FAddRemoveHot ? FHotTextColor : FTextColor);
        for (int k = 0; k < 3; ++k) {
            const int y = FAddRemoveRect.Bottom - 10 + k;
            C->MoveTo(FAddRemoveRect.Right - 9 + k, y);
            C->LineTo(FAddRemoveRect.Right - 4 - k, y);
        }
    }
}

void TControlSelectorPanel::MouseMove(plat::TShiftState Shift, int X, int Y) {
    TOptionSelectorPanel::MouseMove(Shift, X, Y);
    const TPoint p(X, Y);
    const bool left = Shift & plat::ssLeft;
    if (FShowAddRemove && FAddRemoveRect.Contains(p) && !left && !FAddRemoveHot) {
        FAddRemoveHot = FAddRemoveDown = true;
        Invalidate();
        HideCustomizeWindow();
        OpenCheckList();
    } else if (!FAddRemoveRect.Contains(p) && FAddRemoveHot) {
        FAddRemoveHot = FAddRemoveDown = false;
        Invalidate();
    }
    if (HasOptions() && FOptionsRect.Contains(p) && !left && !FOptionsHot) {
        FOptionsHot = FOptionsDown = true;
        Invalidate();
        OpenOptions();
    } else if (!FOptionsRect.Contains(p) && FOptionsHot) {
        FOptionsHot = FOptionsDown = false;
        Invalidate();
        if (Y < FOptionsRect.Top - 4)
            HideCustomizeWindow();
    }
}

void TControlSelectorPanel::Dispatch(plat::TMessage& Message) {
    TOptionSelectorPanel::Dispatch(Message);
    if (Message.Msg != plat::CM_MOUSELEAVE)
        return;
    FAddRemoveHot = false;
    FAddRemoveDown = FCheckList && FCheckList->Visible();
    FOptionsHot = FOptionsDown = false;
    Invalidate();
}

void TControlSelectorPanel::OpenCheckList() {
    if ((FCheckList && FCheckList->Visible()) || !FShowAddRemove)
        return;
    auto* window = dynamic_cast<TKvxPopupForm*>(Owner());
    if (!FCheckList) {
        FCheckList = new TKTBPopupWindow(this);
        FCheckList->SetKvxToolBar(FToolBar);
        FCheckList->OnHide = [this, window](plat::TObject*) {
            if (window)
                window->SetHideOnDeactivate(true);
            FAddRemoveDown = false;
            Invalidate();
        };
        FCheckList->OnDeActivateHide = [this, window](plat::TObject*) {
            if (window)
                window->Hide();
            FAddRemoveHot = FAddRemoveDown = false;
        };
    }
    TKTBMenuItem* root = FCheckList->CreateRoot();
    root->Clear();
    TKTBPopupPanel* panel = FCheckList->PopupPanel();
    panel->SetIconBar(true);
    if (FToolBar) {
        FCheckList->SetKvxToolBar(FToolBar);
        panel->SetKvxToolBar(FToolBar);
        if (FToolBar->CurrentStyler())
            panel->SetMenuStyler(FToolBar->CurrentStyler()->CurrentMenuStyler());
        TKTBMenuItem* top = root->Add();
        top->Caption = FToolBar->Caption();
        // Controls lent to this panel still belong to the toolbar: the list follows its order.
        for (plat::TControl* c : FToolBar->OrderedControls()) {
            if (dynamic_cast<TKvxToolBarSeparator*>(c))
                continue;
            TKTBMenuItem* e = top->Add();
            e->AutoCheck = true;
            e->Checked = c->Visible();
            e->Object = c;
            e->Caption = dynamic_cast<TKvxCustomToolBarButton*>(c) ? c->Caption() : c->Name();
        }
    }
    panel->SetRootItem(root);
    FCheckList->SizeToPanel();
    if (window)
        window->SetHideOnDeactivate(false);
    const TRect entry = ScreenRect(this, FAddRemoveRect);
    const TPoint p = PlaceBeside(TRect(entry.Left, entry.Top, entry.Right, entry.Bottom),
                                 plat::TSize(FCheckList->Width(), FCheckList->Height()), 0);
    FCheckList->SetBounds(p.X, p.Y, FCheckList->Width(), FCheckList->Height());
    FCheckList->Show();
}

void TControlSelectorPanel::OpenOptions() {
    if (!FToolBar || !HasOptions())
        return;
    if (FShowAddRemove) {
        if (FCheckList)
            FCheckList->CloseWindow();
        FAutoClickTimer->SetEnabled(true);
    }
    auto* window = dynamic_cast<TKvxPopupForm*>(Owner());
    int width = FOptionMenu ? plat::DropDownSize(FOptionMenu->Items()).cx : 0;
    if (!FOptionMenu) {
        if (!FCustomizeWindow) {
            FCustomizeWindow = new TOptionSelectorWindow(this);
            FCustomizeWindow->SetKvxToolBar(FToolBar);
            FCustomizeWindow->SetBounds(0, 0, 100, 40);
            // The option window keeps itself open while the entry shows, and closes with it unless the
            // panel hid the entry itself.
            FCustomizeWindow->OnHide = [this, window](plat::TObject*) {
                if (!window)
                    return;
                window->SetHideOnDeactivate(true);
                if (!FSuppressHide)
                    window->Hide();
            };
            FCustomizeOption = new TCustomizeOption(FCustomizeWindow);
            FCustomizeOption->SetParent(FCustomizeWindow);
        }
        FCustomizeOption->SetKvxToolBar(FToolBar);
        FCustomizeOption->SetText(FCustomizer->DialogSettings.Customize + " " + FToolBar->Caption());
        FCustomizeOption->SizeToText();
        FCustomizeWindow->SetOptionsPanel(FCustomizeOption);
        FCustomizeWindow->SizeToPanel();
        width = FCustomizeWindow->Width();
    }
    const TRect entry = ScreenRect(this, FOptionsRect);
    TPoint at(entry.Right, entry.Top);
    if (width > 0 && at.X + width > plat::Screen->WorkAreaRect().Right)
        at.X = entry.Left - width;
    if (window)
        window->SetHideOnDeactivate(false);
    if (FOptionMenu) {
        FOptionMenu->Popup(at.X, at.Y);
        FOptionsHot = FOptionsDown = false;
        FAutoClickTimer->SetEnabled(false);
        plat::TPoint cursor;
        const bool onAddRemove =
            FShowAddRemove && plat::GetCursorPos(cursor) && ScreenRect(this, FAddRemoveRect).Contains(cursor);
        if (window && !onAddRemove)
            window->Hide();
        if (window)
            window->SetHideOnDeactivate(true);
    } else {
        FCustomizeWindow->SetBounds(at.X, at.Y, FCustomizeWindow->Width(), FCustomizeWindow->Height());
        FCustomizeWindow->Show();
    }
    Invalidate();
}

} // namespace ui
