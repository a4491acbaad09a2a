#include "platform/ui/PageControl.h"

#include <algorithm>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/FrameControls.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"
#include "platform/ui/Keys.h"

namespace plat {

PLAT_CLASS_INFO_CREATABLE(TTabSheet, TCustomControl)
PLAT_CLASS_INFO_CREATABLE(TPageControl, TCustomControl)

namespace {
const char* const kTabPositionNames[] = {"tpTop", "tpBottom", "tpLeft", "tpRight"};
static_assert(std::size(kTabPositionNames) == tpRight + 1);
struct TRegistrar {
    TRegistrar() { RegisterClasses({&TTabSheet::StaticClass(), &TPageControl::StaticClass()}); }
} registrar;
// The border between the frame and the sheets.
constexpr int kSheetMargin = 4;

int MeasureText(TFont* Font, const std::string& Text) {
    return MeasuringCanvas(Font).TextWidth(Text);
}
int MeasureHeight(TFont* Font) {
    return MeasuringCanvas(Font).TextHeight("Wg");
}
} // namespace

PLAT_PROPERTIES(TTabSheet) {
    props.String("Caption", &TTabSheet::Caption, &TTabSheet::SetCaption);
    props.Boolean("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible, true);
    props.Integer("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex, -1);
    props.Event("OnShow", &TTabSheet::OnShow);
    props.Event("OnHide", &TTabSheet::OnHide);
}

PLAT_PROPERTIES(TPageControl) {
    props.Component("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
    props.Enum("TabPosition", &TPageControl::TabPosition, &TPageControl::SetTabPosition, kTabPositionNames,
               tpTop);
    props.Boolean("HotTrack", &TPageControl::HotTrack, &TPageControl::SetHotTrack, false);
    props.Integer("TabHeight", &TPageControl::TabHeight, &TPageControl::SetTabHeight, 0);
    props.Integer("TabWidth", &TPageControl::TabWidth, &TPageControl::SetTabWidth, 0);
    props.Boolean("TabStop", &TPageControl::TabStop, &TPageControl::SetTabStop, true);
    props.Event("OnChange", &TPageControl::OnChange);
    props.Event("OnChanging", &TPageControl::OnChanging);
}

// ---- TTabSheet ----

TTabSheet::TTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle |= csAcceptsControls;
    FColor = clBtnFace;
    FVisible = false;
    SetBounds(0, 0, 100, 100);
}

TTabSheet::~TTabSheet() {
    if (FPageControl)
        FPageControl->RemovePage(this);
}

void TTabSheet::SetParent(TWinControl* AParent) {
    // Parenting a sheet to a page control (as a layout does) makes it one of its pages.
    if (!FSettingParent) {
        if (auto* pc = dynamic_cast<TPageControl*>(AParent)) {
            SetPageControl(pc);
            return;
        }
        if (FPageControl && AParent != FPageControl) {
            FPageControl->RemovePage(this);
            FPageControl = nullptr;
        }
    }
    TCustomControl::SetParent(AParent);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
    if (Value == FPageControl)
        return;
    if (FPageControl)
        FPageControl->RemovePage(this);
    FPageControl = Value;
    FSettingParent = true;
    TCustomControl::SetParent(Value);
    FSettingParent = false;
    if (Value)
        Value->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (!FPageControl)
        return -1;
    auto& p = FPageControl->FPages;
    return static_cast<int>(std::find(p.begin(), p.end(), this) - p.begin());
}

void TTabSheet::SetPageIndex(int Value) {
    if (!FPageControl)
        return;
    auto& p = FPageControl->FPages;
    int cur = PageIndex();
    Value = std::clamp(Value, 0, static_cast<int>(p.size()) - 1);
    if (cur == Value)
        return;
    p.erase(p.begin() + cur);
    p.insert(p.begin() + Value, this);
    FPageControl->Invalidate();
}

int TTabSheet::TabIndex() const {
    if (!FPageControl || !FTabVisible)
        return -1;
    auto tabs = FPageControl->VisibleTabs();
    return static_cast<int>(std::find(tabs.begin(), tabs.end(), this) - tabs.begin());
}

void TTabSheet::SetTabVisible(bool Value) {
    if (Value == FTabVisible)
        return;
    FTabVisible = Value;
    if (FPageControl) {
        FPageControl->LayoutPages();
        FPageControl->Invalidate();
    }
}

void TTabSheet::SetImageIndex(int Value) {
    FImageIndex = Value;
    if (FPageControl)
        FPageControl->Invalidate();
}

void TTabSheet::Paint() {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

void TTabSheet::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_TEXTCHANGED && FPageControl)
        FPageControl->Invalidate();
    if (Message.Msg == CM_SHOWINGCHANGED) {
        TCustomControl::Dispatch(Message);
        if (Showing() && OnShow)
            OnShow(this);
        else if (!Showing() && OnHide)
            OnHide(this);
        return;
    }
    TCustomControl::Dispatch(Message);
}

// ---- TPageControl ----

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle |= csAcceptsControls | csOpaque;
    FColor = clBtnFace;
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl() {
    for (TTabSheet* p : FPages)
        p->FPageControl = nullptr;
}

void TPageControl::InsertPage(TTabSheet* Page) {
    FPages.push_back(Page);
    Page->FreeNotification(this);
    if (!FActivePage && !(ComponentState() & csLoading))
        SetActivePage(Page);
    else
        Page->SetVisible(Page == FActivePage);
    LayoutPages();
    Invalidate();
}

void TPageControl::RemovePage(TTabSheet* Page) {
    auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end())
        return;
    TTabSheet* next = nullptr;
    if (Page == FActivePage) {
        next = FindNextPage(Page, true, true);
        if (next == Page)
            next = nullptr;
    }
    FPages.erase(it);
    Page->RemoveFreeNotification(this);
    if (Page == FActivePage) {
        FActivePage = nullptr;
        if (!(ComponentState() & csDestroying))
            SetActivePage(next);
    }
    Invalidate();
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        auto it = std::find(FPages.begin(), FPages.end(), AComponent);
        if (it != FPages.end())
            RemovePage(*it);
    }
}

void TPageControl::Loaded() {
    TCustomControl::Loaded();
    if (!FActivePage && !FPages.empty())
        SetActivePage(FPages.front());
    for (TTabSheet* p : FPages)
        p->SetVisible(p == FActivePage);
    LayoutPages();
}

void TPageControl::SetActivePage(TTabSheet* Page) {
    if (Page && Page->FPageControl != this)
        return;
    if (Page == FActivePage)
        return;
    TTabSheet* old = FActivePage;
    FActivePage = Page;
    if (Page) {
        LayoutPages();
        Page->SetVisible(true);
        Page->BringToFront();
    }
    if (old)
        old->SetVisible(false);
    // The focus must not stay in a hidden sheet.
    if (old && Page) {
        if (TCustomForm* form = GetParentForm(this)) {
            TWinControl* active = form->ActiveControl();
            if (active && (active == old || old->ContainsControl(active)))
                form->SetActiveControl(this->CanFocus() ? this : nullptr);
        }
    }
    Invalidate();
}

int TPageControl::ActivePageIndex() const {
    return FActivePage ? FActivePage->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int Value) {
    SetActivePage(Value >= 0 && Value < PageCount() ? FPages[Value] : nullptr);
}

void TPageControl::SetTabPosition(TTabPosition Value) {
    if (Value == FTabPosition)
        return;
    FTabPosition = Value;
    LayoutPages();
    Invalidate();
}

void TPageControl::SetTabHeight(int Value) {
    FTabHeight = std::max(0, Value);
    LayoutPages();
    Invalidate();
}

void TPageControl::SetTabWidth(int Value) {
    FTabWidth = std::max(0, Value);
    Invalidate();
}

std::vector<TTabSheet*> TPageControl::VisibleTabs() const {
    std::vector<TTabSheet*> v;
    for (TTabSheet* p : FPages)
        if (p->FTabVisible)
            v.push_back(p);
    return v;
}

int TPageControl::TabIndex() const {
    return FActivePage ? FActivePage->TabIndex() : -1;
}

TTabSheet* TPageControl::PageOfTab(int TabIndex) const {
    auto tabs = VisibleTabs();
    return TabIndex >= 0 && TabIndex < static_cast<int>(tabs.size()) ? tabs[TabIndex] : nullptr;
}

int TPageControl::TabStripSize() const {
    if (VisibleTabs().empty())
        return 0;
    if (FTabPosition == tpLeft || FTabPosition == tpRight) {
        int w = 0;
        for (int i = 0; i < static_cast<int>(VisibleTabs().size()); ++i)
            w = std::max(w, TabTextWidth(i));
        return w + 2;
    }
    return (FTabHeight > 0 ? FTabHeight : MeasureHeight(Font()) + 6) + 2;
}

int TPageControl::TabTextWidth(int TabIndex) const {
    if (FTabWidth > 0)
        return FTabWidth;
    TTabSheet* p = PageOfTab(TabIndex);
    std::string text = p ? p->Caption() : std::string();
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            shown += text[++i];
            continue;
        }
        shown += text[i];
    }
    return MeasureText(Font(), shown) + 12;
}

TRect TPageControl::TabRect(int TabIndex) const {
    int n = static_cast<int>(VisibleTabs().size());
    if (TabIndex < 0 || TabIndex >= n)
        return TRect();
    TRect c = ClientRect();
    int strip = TabStripSize();
    if (FTabPosition == tpLeft || FTabPosition == tpRight) {
        int h = (FTabHeight > 0 ? FTabHeight : MeasureHeight(Font()) + 6);
        int top = 2 + TabIndex * h;
        return FTabPosition == tpLeft ? TRect(0, top, strip, top + h)
                                      : TRect(c.Right - strip, top, c.Right, top + h);
    }
    int x = 2;
    for (int i = 0; i < TabIndex; ++i)
        x += TabTextWidth(i);
    int w = TabTextWidth(TabIndex);
    return FTabPosition == tpTop ? TRect(x, 2, x + w, strip)
                                 : TRect(x, c.Bottom - strip, x + w, c.Bottom - 2);
}

int TPageControl::IndexOfTabAt(int X, int Y) const {
    int n = static_cast<int>(VisibleTabs().size());
    for (int i = 0; i < n; ++i) {
        TRect r = TabRect(i);
        if (PageOfTab(i) == FActivePage)
            InflateRect(r, 2, 2);
        if (r.Contains(TPoint(X, Y)))
            return i;
    }
    return -1;
}

TRect TPageControl::DisplayRect() const {
    TRect r = ClientRect();
    int s = TabStripSize();
    switch (FTabPosition) {
    case tpTop:
        r.Top += s;
        break;
    case tpBottom:
        r.Bottom -= s;
        break;
    case tpLeft:
        r.Left += s;
        break;
    case tpRight:
        r.Right -= s;
        break;
    }
    return r;
}

void TPageControl::AdjustClientRect(TRect& Rect) const {
    Rect = DisplayRect();
    InflateRect(Rect, -kSheetMargin, -kSheetMargin);
}

void TPageControl::LayoutPages() {
    TRect r;
    AdjustClientRect(r);
    for (TTabSheet* p : FPages)
        p->SetBounds(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
}

void TPageControl::Resize() {
    LayoutPages();
    TCustomControl::Resize();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* Current, bool GoForward, bool CheckTabVisible) const {
    int n = PageCount();
    if (n == 0)
        return nullptr;
    int start = Current ? Current->PageIndex() : -1;
    if (start < 0)
        start = GoForward ? n - 1 : 0;
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        if (!CheckTabVisible || FPages[i]->FTabVisible)
            return FPages[i];
    }
    return nullptr;
}

bool TPageControl::CanChange() {
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TPageControl::Change() {
    if (OnChange)
        OnChange(this);
}

bool TPageControl::ChangeActivePage(TTabSheet* Page) {
    if (!Page || Page == FActivePage || !CanChange())
        return false;
    SetActivePage(Page);
    Change();
    return true;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
    TTabSheet* p = FindNextPage(FActivePage, GoForward, CheckTabVisible);
    if (p && p != FActivePage)
        ChangeActivePage(p);
}

void TPageControl::DrawFrame(TCanvas& Canvas, const TRect& Display) {
    TRect r = Display;
    DrawEdge(*Canvas.Handle(), r, EDGE_RAISED, BF_RECT | BF_SOFT);
}

void TPageControl::DrawTab(TCanvas& Canvas, int TabIndex, TRect Rect, bool Active, bool Hot) {
    TDeviceContext& dc = *Canvas.Handle();
    TRect r = Rect;
    if (Active)
        InflateRect(r, 2, 0);
    uint32_t sides = FTabPosition == tpTop      ? BF_LEFT | BF_TOP | BF_RIGHT
                     : FTabPosition == tpBottom ? BF_LEFT | BF_BOTTOM | BF_RIGHT
                     : FTabPosition == tpLeft   ? BF_LEFT | BF_TOP | BF_BOTTOM
                                                : BF_RIGHT | BF_TOP | BF_BOTTOM;
    if (Active) {
        // The active tab stands out and joins the page below it.
        switch (FTabPosition) {
        case tpTop:
            r.Top -= 2;
            r.Bottom += 1;
            break;
        case tpBottom:
            r.Bottom += 2;
            r.Top -= 1;
            break;
        case tpLeft:
            r.Left -= 2;
            r.Right += 1;
            break;
        case tpRight:
            r.Right += 2;
            r.Left -= 1;
            break;
        }
    }
    Canvas.Brush()->SetColor(Color());
    Canvas.FillRect(r);
    TRect edge = r;
    DrawEdge(dc, edge, EDGE_RAISED, sides | BF_SOFT);
    TTabSheet* p = PageOfTab(TabIndex);
    Canvas.Font()->Assign(Font());
    if (Hot && !Active)
        Canvas.Font()->SetColor(clHotLight);
    if (!Enabled())
        Canvas.Font()->SetColor(clGrayText);
    Canvas.Brush()->SetStyle(bsClear);
    TRect t = r;
    if (FTabPosition == tpTop)
        t.Top += Active ? 1 : 2;
    Canvas.TextRect(t, p ? p->Caption() : std::string(), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    Canvas.Brush()->SetStyle(bsSolid);
    if (Active && Focused()) {
        TRect f = r;
        InflateRect(f, -3, -3);
        Canvas.Brush()->SetColor(Color());
        Canvas.DrawFocusRect(f);
    }
}

void TPageControl::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(ClientRect());
    DrawFrame(*c, DisplayRect());
    int n = static_cast<int>(VisibleTabs().size());
    int active = TabIndex();
    for (int i = 0; i < n; ++i)
        if (i != active)
            DrawTab(*c, i, TabRect(i), false, FHotTrack && i == FHotTab);
    if (active >= 0)
        DrawTab(*c, active, TabRect(active), true, false);
}

void TPageControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    case CM_DIALOGKEY:
        // Ctrl+Tab and Ctrl+Shift+Tab turn the pages while the focus is on or inside the control.
        if (Message.WParam == VK_TAB && (KeyDataToShiftState(Message.LParam) & ssCtrl)) {
            TControl* focused = FindControl(GetFocus());
            if (focused == this || (focused && ContainsControl(focused))) {
                SelectNextPage(!(KeyDataToShiftState(Message.LParam) & ssShift));
                Message.Result = 1;
                return;
            }
        }
        break;
    case CM_MOUSELEAVE:
        if (FHotTab >= 0) {
            FHotTab = -1;
            Invalidate();
        }
        break;
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(Message);
        LayoutPages();
        Invalidate();
        return;
    }
    TCustomControl::Dispatch(Message);
}

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        int i = IndexOfTabAt(X, Y);
        if (i >= 0) {
            if (CanFocus() && !Focused())
                SetFocus();
            ChangeActivePage(PageOfTab(i));
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TPageControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (FHotTrack) {
        int i = IndexOfTabAt(X, Y);
        if (i != FHotTab) {
            FHotTab = i;
            Invalidate();
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TPageControl::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    bool vertical = FTabPosition == tpLeft || FTabPosition == tpRight;
    if ((!vertical && (Key == VK_LEFT || Key == VK_RIGHT)) ||
        (vertical && (Key == VK_UP || Key == VK_DOWN))) {
        bool forward = Key == VK_RIGHT || Key == VK_DOWN;
        int n = static_cast<int>(VisibleTabs().size());
        int i = TabIndex() + (forward ? 1 : -1);
        if (i >= 0 && i < n)
            ChangeActivePage(PageOfTab(i));
        Key = 0;
    }
}

} // namespace plat
