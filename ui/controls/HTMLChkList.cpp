#include "ui/controls/HTMLChkList.h"

#include <algorithm>

#include "platform/gfx/FrameControls.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/OpenLink.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "ui/controls/XPVisualStyles.h"
#include "ui/drawing/KvxVersion.h"
#include "ui/markup/MarkupText.h"
#include "ui/markup/PictureContainer.h"

using namespace plat;

namespace ui {

PLAT_CLASS_INFO(THTMLCheckListDataWrapper, TObject)
PLAT_CLASS_INFO_CREATABLE(THTMLCheckList, TCustomListBox)

namespace {

struct TRegistrar {
    TRegistrar() { RegisterClass(THTMLCheckList::StaticClass()); }
} registrar;

// The classic check box the frame controls draw.
constexpr int kCheckSize = 13;

// Theme part and states of the check box of the "button" class.
constexpr int kCheckBoxPart = 3;
constexpr int kThemeUnchecked = 1, kThemeUncheckedDisabled = 4, kThemeChecked = 5, kThemeCheckedDisabled = 8;

// Finds Marker in Text from Pos on in any letter case.
size_t FindNoCase(const std::string& Text, const std::string& Marker, size_t Pos = 0) {
    return UpperCase(Text).find(UpperCase(Marker), Pos);
}

void ReplaceNoCase(std::string& Text, const std::string& Marker, const std::string& With) {
    for (size_t p = FindNoCase(Text, Marker); p != std::string::npos;
         p = FindNoCase(Text, Marker, p + With.size()))
        Text.replace(p, Marker.size(), With);
}

// Moves the text before each Open..Close section to Out and drops the section; an unclosed section and
// what follows stay in Text.
void TakeAround(std::string& Text, std::string& Out, const std::string& Open, const std::string& Close) {
    for (size_t p = Text.find(Open); p != std::string::npos; p = Text.find(Open)) {
        size_t end = Text.find(Close, p + Open.size());
        if (end == std::string::npos)
            return;
        Out += Text.substr(0, p);
        Text.erase(0, end + Close.size());
    }
}

} // namespace

std::string StripMarkupText(std::string Text) {
    ReplaceNoCase(Text, "<BR>", "\r\n");
    ReplaceNoCase(Text, "<HR>", "\r\n");
    std::string result;
    TakeAround(Text, result, "<z>", "</z>");
    TakeAround(Text, result, "<Z>", "</Z>");
    TakeAround(Text, result, "<", ">");
    return result + Text;
}

PLAT_PROPERTIES(THTMLCheckList) {
    props.Default("Style", lbOwnerDrawFixed);
    props.Boolean("AllowGrayed", &THTMLCheckList::AllowGrayed, &THTMLCheckList::SetAllowGrayed, false);
    props.Boolean("AnchorHint", &THTMLCheckList::AnchorHint, &THTMLCheckList::SetAnchorHint, false);
    props.Boolean("ItemHint", &THTMLCheckList::ItemHint, &THTMLCheckList::SetItemHint, false);
    props.Boolean("HTMLHint", &THTMLCheckList::HTMLHint, &THTMLCheckList::SetHTMLHint, false);
    props.Boolean("Ellipsis", &THTMLCheckList::Ellipsis, &THTMLCheckList::SetEllipsis, false);
    props.Component("Images", &THTMLCheckList::Images, &THTMLCheckList::SetImages);
    props.Component("PictureContainer", &THTMLCheckList::PictureContainer,
                    &THTMLCheckList::SetPictureContainer);
    props.Integer("LineSpacing", &THTMLCheckList::LineSpacing, &THTMLCheckList::SetLineSpacing, 0);
    props.Object("SelectionColors", &THTMLCheckList::SelectionColors, &THTMLCheckList::SetSelectionColors);
    props.Color("SelectionFontColor", &THTMLCheckList::SelectionFontColor,
                &THTMLCheckList::SetSelectionFontColor, clHighlightText);
    props.Color("ShadowColor", &THTMLCheckList::ShadowColor, &THTMLCheckList::SetShadowColor, clGray);
    props.Integer("ShadowOffset", &THTMLCheckList::ShadowOffset, &THTMLCheckList::SetShadowOffset, 1);
    props.Boolean("ShowSelection", &THTMLCheckList::ShowSelection, &THTMLCheckList::SetShowSelection, true);
    props.Boolean("ShowFocus", &THTMLCheckList::ShowFocus, &THTMLCheckList::SetShowFocus, true);
    props.Color("URLColor", &THTMLCheckList::URLColor, &THTMLCheckList::SetURLColor, clBlue);
    props.Boolean("Flat", &THTMLCheckList::Flat, &THTMLCheckList::SetFlat, true);
    props.Boolean("Duplicates", &THTMLCheckList::Duplicates, &THTMLCheckList::SetDuplicates, true);
    props.String("Version", &THTMLCheckList::Version, &THTMLCheckList::SetVersion, "1.9.0.2");
    props.Event("OnCheckClick", &THTMLCheckList::OnCheckClick);
    props.Event("OnAnchorClick", &THTMLCheckList::OnAnchorClick);
    props.Event("OnAnchorEnter", &THTMLCheckList::OnAnchorEnter);
    props.Event("OnAnchorExit", &THTMLCheckList::OnAnchorExit);
    props.Event("OnAnchorHint", &THTMLCheckList::OnAnchorHint);
}

THTMLCheckList::THTMLCheckList(TComponent* AOwner)
    : TCustomListBox(AOwner), FSelectionColors(std::make_unique<TGradientStyle>()),
      FPictureCache(std::make_unique<THTMLPictureCache>()) {
    FStyle = lbOwnerDrawFixed;
    SetDoubleBuffered(true);
    FSelectionColors->OnChange = [this](TObject* s) { SelectionColorsChanged(s); };
    HTMLXPVS().LoadThemeApi();
}

THTMLCheckList::~THTMLCheckList() = default;

int THTMLCheckList::CheckWidth() {
    return kCheckSize;
}

int THTMLCheckList::CheckHeight() {
    return kCheckSize;
}

uint32_t THTMLCheckList::PackedVersion() const {
    return PackVersion(1, 9, 0, 2);
}

std::string THTMLCheckList::Version() const {
    return VersionText(PackedVersion());
}

// ---- Items ----

bool THTMLCheckList::CheckIndex(int Index) const {
    if (Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return Index >= 0;
}

THTMLCheckListDataWrapper* THTMLCheckList::Wrapper(int Index) const {
    if (!CheckIndex(Index))
        return nullptr;
    auto* w = dynamic_cast<THTMLCheckListDataWrapper*>(FItems->GetObject(Index));
    return w && w->Owner == this ? w : nullptr;
}

THTMLCheckListDataWrapper& THTMLCheckList::WritableWrapper(int Index) {
    if (auto* w = Wrapper(Index))
        return *w;
    FWrappers.push_back(std::make_unique<THTMLCheckListDataWrapper>(this));
    THTMLCheckListDataWrapper* w = FWrappers.back().get();
    FItems->PutObject(Index, w);
    return *w;
}

void THTMLCheckList::ItemsChanged() {
    // Wrappers of deleted items go with them.
    std::vector<const TObject*> live;
    live.reserve(static_cast<size_t>(Count()));
    for (int i = 0; i < Count(); ++i)
        live.push_back(FItems->GetObject(i));
    std::sort(live.begin(), live.end());
    std::erase_if(FWrappers, [&](const std::unique_ptr<THTMLCheckListDataWrapper>& w) {
        return !std::binary_search(live.begin(), live.end(), w.get());
    });
    TCustomListBox::ItemsChanged();
}

bool THTMLCheckList::GetChecked(int Index) const {
    const auto* w = Wrapper(Index);
    return w && w->State == csChecked && !w->Header;
}

bool THTMLCheckList::GetItemEnabled(int Index) const {
    const auto* w = Wrapper(Index);
    return !w || !w->Disabled;
}

void THTMLCheckList::SetItemEnabled(int Index, bool Value) {
    if (!CheckIndex(Index) || GetItemEnabled(Index) == Value)
        return;
    WritableWrapper(Index).Disabled = !Value;
    InvalidateCheckArea(Index);
}

TCheckState THTMLCheckList::GetState(int Index) const {
    const auto* w = Wrapper(Index);
    return w ? static_cast<TCheckState>(w->State) : csUnchecked;
}

void THTMLCheckList::SetState(int Index, TCheckState Value) {
    if (!CheckIndex(Index) || GetState(Index) == Value)
        return;
    WritableWrapper(Index).State = Value;
    InvalidateCheckArea(Index);
}

int THTMLCheckList::GetLevel(int Index) const {
    const auto* w = Wrapper(Index);
    return w ? w->Level : 0;
}

void THTMLCheckList::SetLevel(int Index, int Value) {
    if (!CheckIndex(Index) || GetLevel(Index) == Value)
        return;
    WritableWrapper(Index).Level = Value;
    InvalidateItem(Index);
}

bool THTMLCheckList::GetHeader(int Index) const {
    const auto* w = Wrapper(Index);
    return w && w->Header;
}

void THTMLCheckList::SetHeader(int Index, bool Value) {
    if (!CheckIndex(Index) || GetHeader(Index) == Value)
        return;
    WritableWrapper(Index).Header = Value;
    InvalidateItem(Index);
}

int THTMLCheckList::GetItemData(int Index) const {
    const auto* w = Wrapper(Index);
    return w ? w->Data : 0;
}

void THTMLCheckList::SetItemData(int Index, int Value) {
    if (CheckIndex(Index) && GetItemData(Index) != Value)
        WritableWrapper(Index).Data = Value;
}

std::string THTMLCheckList::GetItemPlainText(int Index) const {
    if (Index < 0 || Index >= Count())
        throw Exception("Item index out of range");
    return StripMarkupText(FItems->Get(Index));
}

int THTMLCheckList::CheckAreaWidth(int Index) const {
    return GetHeader(Index) ? 0 : (GetLevel(Index) + 1) * (CheckWidth() + 2);
}

TRect THTMLCheckList::CheckCell(int Index, const TRect& ItemRect) const {
    int area = CheckAreaWidth(Index);
    return TRect(ItemRect.Left + area - CheckWidth() - 2, ItemRect.Top, ItemRect.Left + area,
                 ItemRect.Bottom);
}

void THTMLCheckList::InvalidateCheckArea(int Index) {
    if (!HandleAllocated())
        return;
    TRect r = ItemRect(Index);
    r.Right = r.Left + CheckAreaWidth(Index);
    InvalidateRect(WindowHandle(), &r, false);
}

// ---- Painting ----

TRect THTMLCheckList::TextRect(int Index, const TRect& ItemRect) const {
    int left = ItemRect.Left + CheckAreaWidth(Index);
    return TRect(left + 2, ItemRect.Top + 2, ItemRect.Right + 2, ItemRect.Bottom + 2);
}

// What painting and hit testing pass alike, so that a link is found where it was drawn.
TMarkupOptions THTMLCheckList::MarkupOptions() const {
    TMarkupOptions o;
    o.Images = FImages;
    o.PictureContainer = FPictureContainer;
    o.PictureCache = FPictureCache.get();
    o.ShadowColor = FShadowColor;
    o.ShadowOffset = FShadowOffset;
    o.LineSpacing = FLineSpacing;
    o.WordWrap = !FEllipsis;
    return o;
}

void THTMLCheckList::Paint() {
    TCanvas* c = Canvas();
    TRect area = ItemArea();
    int bottom = area.Top;
    for (int i = FTopIndex; i < Count(); ++i) {
        TRect r = ItemRect(i);
        if (r.Top >= area.Bottom)
            break;
        c->Font()->Assign(Font());
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        DrawItem(i, r, ItemState(i));
        bottom = r.Bottom;
    }
    if (bottom < area.Bottom) {
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(TRect(area.Left, bottom, area.Right, area.Bottom));
    }
}

void THTMLCheckList::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    TCanvas& c = *Canvas();
    TRect row = Rect;
    bool selected = (State & odSelected) != 0;
    TColor linkColor = FURLColor;
    if (FShowSelection) {
        if (selected) {
            c.Brush()->SetColor(FSelectionColors->ColorFrom());
            c.Pen()->SetColor(FSelectionColors->BorderColor());
            c.Font()->SetColor(FSelectionFontColor);
            linkColor = FSelectionFontColor;
            TRect band(0, row.Top, row.Right, row.Bottom);
            if (FSelectionColors->ColorTo() == clNone) {
                c.Brush()->SetStyle(bsSolid);
                if (FSelectionColors->BorderColor() == clNone)
                    c.FillRect(band);
                else
                    c.Rectangle(band);
            } else {
                DrawSelectionGradient(c, band, FSelectionColors->ColorFrom(), FSelectionColors->ColorTo(),
                                      FSelectionColors->ColorMirrorFrom(), FSelectionColors->ColorMirrorTo(),
                                      FSelectionColors->Direction(), FSelectionColors->BorderColor());
            }
        } else {
            c.Brush()->SetColor(Color());
            c.Brush()->SetStyle(bsSolid);
            c.Font()->SetColor(Font()->Color());
            c.FillRect(TRect(0, row.Top, row.Right, row.Bottom));
        }
    }
    bool enabled = Enabled() && GetItemEnabled(Index);
    if (!GetHeader(Index)) {
        TRect cell = CheckCell(Index, row);
        DrawCheckBox(c, cell, GetState(Index), enabled);
    }
    if (!GetItemEnabled(Index))
        c.Font()->SetColor(clGrayText);

    TMarkupOptions o = MarkupOptions();
    o.URLColor = linkColor;
    o.Selected = selected && FShowSelection;
    TPoint mouse = ScreenToClient(Mouse->CursorPos());
    o.X = mouse.X;
    o.Y = mouse.Y;
    DrawMarkupText(c, FItems->Get(Index), TextRect(Index, row), o);

    if ((State & odFocused) && FShowFocus && FShowSelection && Focused())
        c.DrawFocusRect(TRect(0, row.Top, row.Right, row.Bottom));
}

void THTMLCheckList::DrawCheckBox(TCanvas& Canvas, const TRect& Cell, TCheckState State, bool Enabled) {
    int w = CheckWidth(), h = CheckHeight();
    int left = Cell.Left + (Cell.Width() - w) / 2, top = Cell.Top + (Cell.Height() - h) / 2;
    TRect box(left, top, left + w, top + h);
    TDeviceContext& dc = *Canvas.Handle();
    {
        int saved = 0;
        if (FFlat) {
            saved = dc.SaveDC();
            dc.IntersectClipRect(box.Left + 2, box.Top + 2, box.Right - 2, box.Bottom - 2);
        }
        ScopeGuard restoreClip([&] {
            if (FFlat)
                dc.RestoreDC(saved);
        });
        TThemeBinding& themes = HTMLXPVS();
        bool themed = false;
        // The theme has no grayed picture among the states drawn here; a grayed box keeps the classic
        // look rather than vanishing.
        if (State != csGrayed && IsWinXPOrLater() && themes.UseThemes()) {
            if (HTHEME theme = themes.Api().OpenThemeData(WindowHandle(), "button")) {
                int stateId = State == csChecked ? (Enabled ? kThemeChecked : kThemeCheckedDisabled)
                                                 : (Enabled ? kThemeUnchecked : kThemeUncheckedDisabled);
                themes.Api().DrawThemeBackground(theme, &dc, kCheckBoxPart, stateId, box, nullptr);
                themes.Api().CloseThemeData(theme);
                themed = true;
            }
        }
        if (!themed) {
            uint32_t flags = DFCS_BUTTONCHECK;
            if (State == csChecked)
                flags |= DFCS_CHECKED;
            else if (State == csGrayed)
                flags |= DFCS_CHECKED | DFCS_BUTTON3STATE;
            if (!Enabled)
                flags |= DFCS_INACTIVE;
            DrawFrameControl(dc, box, DFC_BUTTON, flags);
        }
    }
    if (FFlat) {
        TBrushStyle oldStyle = Canvas.Brush()->Style();
        TColor oldPen = Canvas.Pen()->Color();
        Canvas.Brush()->SetStyle(bsClear);
        Canvas.Pen()->SetColor(clBtnShadow);
        Canvas.Rectangle(box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1);
        Canvas.Brush()->SetStyle(oldStyle);
        Canvas.Pen()->SetColor(oldPen);
    }
}

// ---- Input ----

void THTMLCheckList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomListBox::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    int index = ItemAtPos(TPoint(X, Y), true);
    if (index >= 0 && GetItemEnabled(index) && !GetHeader(index)) {
        TRect r = ItemRect(index);
        int area = CheckAreaWidth(index), cell = CheckWidth() + 2;
        if (X >= r.Left + GetLevel(index) * cell && X < r.Left + area)
            ToggleClickCheck(index);
    }
    std::string anchor;
    int at = AnchorAt(X, Y, anchor);
    if (anchor.empty())
        return;
    // Web and mail links open through the desktop; the link service refuses anything else, so a
    // file:// target opens nothing.
    if (anchor.find("://") != std::string::npos || anchor.find("mailto:") != std::string::npos)
        OpenLink(anchor);
    else if (OnAnchorClick)
        OnAnchorClick(this, at, anchor);
}

void THTMLCheckList::ToggleClickCheck(int Index) {
    if (!GetItemEnabled(Index))
        return;
    TCheckState next = csUnchecked;
    switch (GetState(Index)) {
    case csUnchecked:
        next = FAllowGrayed ? csGrayed : csChecked;
        break;
    case csGrayed:
        next = csChecked;
        break;
    case csChecked:
        next = csUnchecked;
        break;
    }
    SetState(Index, next);
    ClickCheck();
}

void THTMLCheckList::ClickCheck() {
    if (OnCheckClick)
        OnCheckClick(this);
}

int THTMLCheckList::AnchorAt(int X, int Y, std::string& Anchor) {
    Anchor.clear();
    int index = ItemAtPos(TPoint(X, Y), true);
    if (index < 0 || index >= Count() || !HandleAllocated())
        return -1;
    TRect r = TextRect(index, ItemRect(index));
    TMarkupOptions o = MarkupOptions();
    o.NoDraw = true;
    o.X = X;
    o.Y = Y;
    TMarkupResult result;
    Canvas()->Font()->Assign(Font());
    if (!DrawMarkupText(*Canvas(), FItems->Get(index), r, o, result))
        return -1;
    Anchor = result.LinkTarget;
    return index;
}

void THTMLCheckList::LeaveAnchor() {
    Application->CancelHint();
    SetCursor(FOldCursor);
    std::string old = std::move(FAnchor);
    FAnchor.clear();
    if (OnAnchorExit)
        OnAnchorExit(this, -1, old);
}

void THTMLCheckList::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomListBox::MouseMove(Shift, X, Y);
    if (FItemHint) {
        int index = ItemAtPos(TPoint(X, Y), true);
        if (index != FLastHintItem) {
            Application->CancelHint();
            FLastHintItem = index;
        }
    }
    std::string anchor;
    int index = AnchorAt(X, Y, anchor);
    if (!anchor.empty()) {
        if (anchor != FAnchor) {
            if (!FAnchor.empty()) {
                Application->CancelHint();
                if (OnAnchorExit)
                    OnAnchorExit(this, index, FAnchor);
            }
            if (Cursor() != crHandPoint) {
                FOldCursor = Cursor();
                SetCursor(crHandPoint);
            }
            FAnchor = anchor;
            if (OnAnchorEnter)
                OnAnchorEnter(this, index, anchor);
        }
    } else if (Cursor() == crHandPoint && !FAnchor.empty()) {
        LeaveAnchor();
    }
}

void THTMLCheckList::DoExit() {
    if (Cursor() == crHandPoint)
        SetCursor(FOldCursor);
    TCustomListBox::DoExit();
}

void THTMLCheckList::WndProc(TMessage& Message) {
    if (Message.Msg == CM_HINTSHOW) {
        auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
        std::string anchor;
        int anchorItem = FAnchorHint ? AnchorAt(info->CursorPos.X, info->CursorPos.Y, anchor) : -1;
        if (!anchor.empty()) {
            if (OnAnchorHint)
                OnAnchorHint(this, anchorItem, anchor);
            info->HintStr = anchor;
            info->HintPos = ClientToScreen(TPoint(info->CursorPos.X + 10, info->CursorPos.Y - 10));
            info->CursorRect =
                TRect(info->CursorPos.X, info->CursorPos.Y, info->CursorPos.X + 1, info->CursorPos.Y + 1);
        } else if (FItemHint) {
            int index = ItemAtPos(info->CursorPos, true);
            if (index >= 0) {
                TRect r = ItemRect(index);
                info->HintStr = FHTMLHint ? FItems->Get(index) : StripMarkupText(FItems->Get(index));
                info->HintPos = ClientToScreen(TPoint(r.Left + CheckAreaWidth(index), r.Top));
                info->CursorRect = r;
            }
        }
        Message.Result = 0;
        return;
    }
    TCustomListBox::WndProc(Message);
}

void THTMLCheckList::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomListBox::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        FImages = nullptr;
    if (AComponent == FPictureContainer)
        FPictureContainer = nullptr;
}

// ---- Properties ----

void THTMLCheckList::SetImages(TCustomImageList* Value) {
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
    Invalidate();
}

void THTMLCheckList::SetPictureContainer(TPictureContainer* Value) {
    if (FPictureContainer)
        FPictureContainer->RemoveFreeNotification(this);
    FPictureContainer = Value;
    if (FPictureContainer)
        FPictureContainer->FreeNotification(this);
    Invalidate();
}

void THTMLCheckList::SetLineSpacing(int Value) {
    FLineSpacing = Value;
    Invalidate();
}

void THTMLCheckList::SetSelectionColors(TGradientStyle* Value) {
    FSelectionColors->Assign(Value);
    Invalidate();
}

void THTMLCheckList::SelectionColorsChanged(TObject*) {
    Invalidate();
}

void THTMLCheckList::SetSelectionFontColor(TColor Value) {
    FSelectionFontColor = Value;
    Invalidate();
}

void THTMLCheckList::SetShadowColor(TColor Value) {
    FShadowColor = Value;
    Invalidate();
}

void THTMLCheckList::SetShadowOffset(int Value) {
    FShadowOffset = Value;
    Invalidate();
}

void THTMLCheckList::SetShowSelection(bool Value) {
    FShowSelection = Value;
    Invalidate();
}

void THTMLCheckList::SetShowFocus(bool Value) {
    FShowFocus = Value;
    Invalidate();
}

void THTMLCheckList::SetURLColor(TColor Value) {
    FURLColor = Value;
    Invalidate();
}

void THTMLCheckList::SetFlat(bool Value) {
    FFlat = Value;
    Invalidate();
}

void THTMLCheckList::SetDuplicates(bool Value) {
    if (FDuplicates == Value)
        return;
    FDuplicates = Value;
    if (!Value) {
        FItems->BeginUpdate();
        ScopeGuard endUpdate([&] { FItems->EndUpdate(); });
        std::vector<std::string> seen;
        for (int i = 0; i < Count();) {
            std::string key = UpperCase(FItems->Get(i));
            if (std::find(seen.begin(), seen.end(), key) != seen.end()) {
                FHidden.push_back({FItems->Get(i), GetLevel(i), GetItemData(i)});
                FItems->Delete(i);
            } else {
                seen.push_back(std::move(key));
                ++i;
            }
        }
        return;
    }
    std::vector<THidden> hidden = std::move(FHidden);
    FHidden.clear();
    for (const THidden& h : hidden) {
        int i = FItems->Add(h.Text);
        SetLevel(i, h.Level);
        SetItemData(i, h.Data);
    }
}

void THTMLCheckList::ApplyStyle(TKVXStyle Style) {
    struct TLook {
        TColor Border, From, To, MirrorFrom, MirrorTo, Font;
    };
    constexpr TLook office2003{clNone, 0xC2EEFF, clNone, clNone, clNone, 0};
    constexpr TLook office2007{0xC0C0C0, 0xEBFDFF, 0xABEBFF, 0x69D6FF, 0x96E4FF, 0};
    constexpr TLook system{clNone, clHighlight, clNone, clNone, clNone, clHighlightText};
    TLook look = system;
    switch (Style) {
    case tsOffice2003Blue:
    case tsOffice2003Silver:
    case tsOffice2003Olive:
    case tsOffice2003Classic:
        look = office2003;
        break;
    case tsOffice2007Luna:
    case tsOffice2007Obsidian:
    case tsOffice2007Silver:
        look = office2007;
        break;
    case tsWindowsXP:
    case tsWhidbey:
        look = system;
        break;
    case tsCustom:
        return;
    }
    FSelectionColors->SetBorderColor(look.Border);
    FSelectionColors->SetColorFrom(look.From);
    FSelectionColors->SetColorTo(look.To);
    FSelectionColors->SetColorMirrorFrom(look.MirrorFrom);
    FSelectionColors->SetColorMirrorTo(look.MirrorTo);
    SetSelectionFontColor(look.Font);
}

} // namespace ui
