#include "platform/ui/Menu.h"

#include <algorithm>
#include <cctype>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/FrameControls.h"
#include "platform/gfx/TextLayout.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Input.h"
#include "platform/ui/Keys.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"

namespace plat {

// ---- Shortcuts -----------------------------------------------------------------------------------------

namespace {

struct TKeyName {
    uint16_t Key;
    const char* Name;
};

const TKeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},    {VK_TAB, "Tab"},        {VK_RETURN, "Enter"},  {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"},  {VK_PRIOR, "PgUp"},     {VK_NEXT, "PgDn"},     {VK_END, "End"},
    {VK_HOME, "Home"},    {VK_LEFT, "Left"},      {VK_UP, "Up"},         {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},    {VK_INSERT, "Ins"},     {VK_DELETE, "Del"},    {VK_MULTIPLY, "Num *"},
    {VK_ADD, "Num +"},    {VK_SUBTRACT, "Num -"}, {VK_DECIMAL, "Num ."}, {VK_DIVIDE, "Num /"},
    {VK_OEM_1, ";"},      {VK_OEM_PLUS, "="},     {VK_OEM_COMMA, ","},   {VK_OEM_MINUS, "-"},
    {VK_OEM_PERIOD, "."}, {VK_OEM_2, "/"},        {VK_OEM_3, "`"},       {VK_OEM_4, "["},
    {VK_OEM_5, "\\"},     {VK_OEM_6, "]"},        {VK_OEM_7, "'"},
};

std::string KeyName(uint16_t key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F1 + 23)
        return "F" + std::to_string(key - VK_F1 + 1);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return "Num " + std::to_string(key - VK_NUMPAD0);
    for (const TKeyName& k : kKeyNames)
        if (k.Key == key)
            return k.Name;
    return {};
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

TShortCut ShortCut(uint16_t Key, uint16_t Shift) {
    TShortCut sc = Key & 0xFF;
    if (Shift & ssShift)
        sc |= scShift;
    if (Shift & ssCtrl)
        sc |= scCtrl;
    if (Shift & ssAlt)
        sc |= scAlt;
    return sc;
}

void ShortCutToKey(TShortCut ShortCut, uint16_t& Key, uint16_t& Shift) {
    Key = ShortCut & 0xFF;
    Shift = 0;
    if (ShortCut & scShift)
        Shift |= ssShift;
    if (ShortCut & scCtrl)
        Shift |= ssCtrl;
    if (ShortCut & scAlt)
        Shift |= ssAlt;
}

std::string ShortCutToText(TShortCut ShortCut) {
    std::string name = KeyName(ShortCut & 0xFF);
    if (name.empty())
        return {};
    std::string s;
    if (ShortCut & scShift)
        s += "Shift+";
    if (ShortCut & scCtrl)
        s += "Ctrl+";
    if (ShortCut & scAlt)
        s += "Alt+";
    return s + name;
}

TShortCut TextToShortCut(const std::string& Text) {
    std::string rest = Text;
    TShortCut mods = 0;
    for (bool again = true; again;) {
        again = false;
        for (auto [prefix, bit] :
             {std::pair<const char*, TShortCut>{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}}) {
            std::string p = prefix;
            if (rest.size() > p.size() && EqualNoCase(rest.substr(0, p.size()), p)) {
                mods |= bit;
                rest = rest.substr(p.size());
                again = true;
            }
        }
    }
    for (uint16_t key = 1; key < 256; ++key) {
        std::string n = KeyName(key);
        if (!n.empty() && EqualNoCase(n, rest))
            return static_cast<TShortCut>(mods | key);
    }
    return scNone;
}

std::string StripHotkey(const std::string& Caption) {
    std::string s;
    for (size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == '&') {
            if (i + 1 < Caption.size() && Caption[i + 1] == '&')
                s += '&', ++i;
            continue;
        }
        s += Caption[i];
    }
    return s;
}

namespace menu_detail {
// The open menus forget an item that goes away.
void ItemDestroying(TMenuItem* item);
} // namespace menu_detail

// ---- Action link of menu items -------------------------------------------------------------------------

class TMenuItemActionLink : public TBasicActionLink {
public:
    explicit TMenuItemActionLink(TMenuItem* Item) : TBasicActionLink(Item), FItem(Item) {}
    void SetCaption(const std::string& Value) override { FItem->SetCaption(Value); }
    void SetChecked(bool Value) override { FItem->SetChecked(Value); }
    void SetEnabled(bool Value) override { FItem->SetEnabled(Value); }
    void SetVisible(bool Value) override { FItem->SetVisible(Value); }
    void SetHint(const std::string& Value) override { FItem->SetHint(Value); }
    void SetImageIndex(int Value) override { FItem->SetImageIndex(Value); }
    void SetShortCut(TShortCut Value) override { FItem->SetShortCut(Value); }
    void SetGroupIndex(int Value) override { FItem->SetGroupIndex(Value); }

private:
    TMenuItem* FItem;
};

// ---- Items ---------------------------------------------------------------------------------------------

namespace {
const char* const kBreakNames[] = {"mbNone", "mbBreak", "mbBarBreak"};
static_assert(std::size(kBreakNames) == mbBarBreak + 1);
const char* const kAutoFlagNames[] = {"maAutomatic", "maManual", "maParent"};
static_assert(std::size(kAutoFlagNames) == maParent + 1);
const char* const kPopupAlignmentNames[] = {"paLeft", "paRight", "paCenter"};
static_assert(std::size(kPopupAlignmentNames) == paCenter + 1);
} // namespace

PLAT_CLASS_INFO_CREATABLE(TMenuItem, TComponent)

PLAT_PROPERTIES(TMenuItem) {
    props.Component("Action", &TMenuItem::Action, &TMenuItem::SetAction);
    props.Boolean("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck, false);
    props.Enum("AutoLineReduction", &TMenuItem::AutoLineReduction, &TMenuItem::SetAutoLineReduction,
               kAutoFlagNames, maParent);
    props.Enum("Break", &TMenuItem::Break, &TMenuItem::SetBreak, kBreakNames, mbNone);
    props.String("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
    props.Boolean("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false);
    props.Boolean("Default", &TMenuItem::Default, &TMenuItem::SetDefault, false);
    props.Boolean("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true);
    props.Integer("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex, 0);
    props.String("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
    props.Integer("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex, -1);
    props.Boolean("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem, false);
    props.Integer("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut, 0);
    props.Component("SubMenuImages", &TMenuItem::SubMenuImages, &TMenuItem::SetSubMenuImages);
    props.Boolean("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true);
    props.Event("OnClick", &TMenuItem::OnClick);
    props.Event("OnMeasureItem", &TMenuItem::OnMeasureItem);
    props.Event("OnDrawItem", &TMenuItem::OnDrawItem);
    props.Event("OnAdvancedDrawItem", &TMenuItem::OnAdvancedDrawItem);
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    TMenuItem::BeforeDestruction();
}

void TMenuItem::BeforeDestruction() {
    menu_detail::ItemDestroying(this);
    if (FParent)
        FParent->Remove(this);
    while (!FItems.empty()) {
        TMenuItem* child = FItems.back();
        FItems.pop_back();
        child->FParent = nullptr;
        child->Free();
    }
    FActionLink.reset();
    TComponent::BeforeDestruction();
}

void TMenuItem::MenuChanged(bool Rebuild) {
    if (TMenu* m = GetParentMenu())
        m->MenuChanged(this, this, Rebuild);
}

void TMenuItem::SetCaption(const std::string& Value) {
    if (Value == FCaption)
        return;
    FCaption = Value;
    MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut Value) {
    if (Value == FShortCut)
        return;
    FShortCut = Value;
    MenuChanged(true);
}

void TMenuItem::TurnSiblingsOff() {
    if (!FParent)
        return;
    for (TMenuItem* s : FParent->FItems)
        if (s != this && s->FRadioItem && s->FGroupIndex == FGroupIndex && s->FChecked) {
            s->FChecked = false;
            s->MenuChanged(false);
        }
}

void TMenuItem::SetChecked(bool Value) {
    if (Value == FChecked)
        return;
    FChecked = Value;
    if (Value && FRadioItem)
        TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::SetRadioItem(bool Value) {
    if (Value == FRadioItem)
        return;
    FRadioItem = Value;
    if (Value && FChecked)
        TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::SetGroupIndex(int Value) {
    if (Value == FGroupIndex)
        return;
    FGroupIndex = Value;
    if (FRadioItem && FChecked)
        TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    MenuChanged(false);
}

void TMenuItem::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    FVisible = Value;
    MenuChanged(true);
}

void TMenuItem::SetDefault(bool Value) {
    if (Value == FDefault)
        return;
    // One default item per sub-menu.
    if (Value && FParent)
        for (TMenuItem* s : FParent->FItems)
            s->FDefault = false;
    FDefault = Value;
    MenuChanged(true);
}

void TMenuItem::SetBreak(TMenuBreak Value) {
    if (Value == FBreak)
        return;
    FBreak = Value;
    MenuChanged(true);
}

void TMenuItem::SetImageIndex(int Value) {
    if (Value == FImageIndex)
        return;
    FImageIndex = Value;
    MenuChanged(true);
}

TBitmap* TMenuItem::Bitmap() {
    if (!FBitmap)
        FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

bool TMenuItem::HasBitmap() const {
    return FBitmap && !FBitmap->Empty();
}

void TMenuItem::SetBitmap(TBitmap* Value) {
    if (Value)
        Bitmap()->Assign(Value);
    else
        FBitmap.reset();
    MenuChanged(true);
}

void TMenuItem::SetSubMenuImages(TCustomImageList* Value) {
    FSubMenuImages = Value;
    if (Value)
        Value->FreeNotification(this);
    MenuChanged(true);
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSubMenuImages)
        FSubMenuImages = nullptr;
}

TBasicAction* TMenuItem::Action() const {
    return FActionLink ? FActionLink->Action() : nullptr;
}

void TMenuItem::SetAction(TBasicAction* Value) {
    if (!Value) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink)
        FActionLink = std::make_unique<TMenuItemActionLink>(this);
    FActionLink->SetAction(Value);
    // The item takes the action's properties now and follows them from here on.
    if (auto* a = dynamic_cast<TCustomAction*>(Value)) {
        SetCaption(a->Caption());
        SetShortCut(a->ShortCut());
        SetEnabled(a->Enabled());
        SetVisible(a->Visible());
        SetChecked(a->Checked());
        SetHint(a->Hint());
        SetImageIndex(a->ImageIndex());
        SetGroupIndex(a->GroupIndex());
    }
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EMenuError("Menu index out of range");
    return FItems[static_cast<size_t>(Index)];
}

int TMenuItem::MenuIndex() const {
    return FParent ? FParent->IndexOf(this) : -1;
}

void TMenuItem::SetMenuIndex(int Value) {
    if (!FParent)
        return;
    TMenuItem* p = FParent;
    int count = p->Count();
    Value = std::clamp(Value, 0, count - 1);
    if (Value == MenuIndex())
        return;
    auto& v = p->FItems;
    v.erase(v.begin() + MenuIndex());
    v.insert(v.begin() + Value, this);
    MenuChanged(true);
}

void TMenuItem::Add(TMenuItem* Item) {
    Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item)
        return;
    if (Item->FParent)
        throw EMenuError("Menu inserted twice");
    if (Index < 0 || Index > Count())
        throw EMenuError("Menu index out of range");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    if (Item->FRadioItem && Item->FChecked)
        Item->TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* Item) {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end())
        throw EMenuError("Sub-menu is not in menu");
    FItems.erase(it);
    Item->FParent = nullptr;
    MenuChanged(true);
}

void TMenuItem::Delete(int Index) {
    TMenuItem* item = Items(Index);
    Remove(item);
    item->Free();
}

void TMenuItem::Clear() {
    while (!FItems.empty())
        Delete(Count() - 1);
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
    std::string want = StripHotkey(ACaption);
    for (TMenuItem* i : FItems)
        if (EqualNoCase(StripHotkey(i->FCaption), want))
            return i;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* i = this;
    while (i->FParent)
        i = i->FParent;
    return i->FMenu;
}

TCustomImageList* TMenuItem::GetImageList() const {
    for (const TMenuItem* p = FParent; p; p = p->FParent)
        if (p->FSubMenuImages)
            return p->FSubMenuImages;
    TMenu* m = GetParentMenu();
    return m ? m->Images() : nullptr;
}

TComponent* TMenuItem::GetParentComponent() const {
    if (FParent && FParent->FMenu)
        return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
    if (FParent)
        FParent->Remove(this);
    if (auto* menu = dynamic_cast<TMenu*>(Value))
        menu->Items()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(Value))
        item->Add(this);
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent*) {
    for (TMenuItem* i : std::vector<TMenuItem*>(FItems))
        Proc(i);
}

void TMenuItem::InitiateAction() {
    if (FActionLink)
        FActionLink->Update();
}

void TMenuItem::Click() {
    if (!FEnabled)
        return;
    if (FAutoCheck && !(Action() && dynamic_cast<TCustomAction*>(Action()) &&
                        static_cast<TCustomAction*>(Action())->AutoCheck()))
        SetChecked(!FChecked || FRadioItem);
    if (FActionLink && FActionLink->Action()) {
        if (!FActionLink->Execute() && OnClick)
            OnClick(this);
        return;
    }
    if (OnClick)
        OnClick(this);
}

// Sizes of the classic look.
namespace {
constexpr int kArrowColumn = 16; // right of the text: the sub-menu arrow

int CheckColumn(const TMenuItem* item) {
    TCustomImageList* images = item->GetImageList();
    int w = 16;
    if (images)
        w = std::max(w, images->Width());
    return w + 6;
}
} // namespace

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height, bool TopLevel) {
    if (OnMeasureItem)
        OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel) {
    if (OnAdvancedDrawItem) {
        OnAdvancedDrawItem(this, ACanvas, ARect, State);
        return;
    }
    if (OnDrawItem) {
        OnDrawItem(this, ACanvas, ARect, (State & odSelected) != 0);
        return;
    }
    DrawItem(ACanvas, ARect, State, TopLevel);
}

void TMenuItem::DrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel) {
    TDeviceContext* dc = ACanvas->Handle();
    dc->SelectFont(ACanvas->Font()->Handle());
    bool selected = (State & odSelected) != 0;
    bool disabled = (State & odDisabled) != 0;
    if (TopLevel) {
        dc->FillSolidRect(ARect, clBtnFace);
        TRect r = ARect;
        if (selected)
            DrawEdge(*dc, r, BDR_SUNKENOUTER, BF_RECT);
        else if (State & odHotLight)
            DrawEdge(*dc, r, BDR_RAISEDINNER, BF_RECT);
        TRect t = ARect;
        if (selected)
            OffsetRect(t, 1, 1);
        dc->SetBkMode(TRANSPARENT);
        uint32_t fmt = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        if (disabled) {
            TRect s = t;
            OffsetRect(s, 1, 1);
            dc->SetTextColor(clBtnHighlight);
            DrawText(*dc, FCaption, s, fmt);
            dc->SetTextColor(clBtnShadow);
        } else {
            dc->SetTextColor(clMenuText);
        }
        DrawText(*dc, FCaption, t, fmt);
        return;
    }
    if (IsLine()) {
        dc->FillSolidRect(ARect, clMenu);
        int y = (ARect.Top + ARect.Bottom) / 2 - 1;
        dc->FillSolidRect(TRect(ARect.Left + 1, y, ARect.Right - 1, y + 1), clBtnShadow);
        dc->FillSolidRect(TRect(ARect.Left + 1, y + 1, ARect.Right - 1, y + 2), clBtnHighlight);
        return;
    }
    TColor back = selected ? clHighlight : clMenu;
    TColor text = selected ? clHighlightText : clMenuText;
    dc->FillSolidRect(ARect, back);
    int col = CheckColumn(this);
    TRect cell(ARect.Left, ARect.Top, ARect.Left + col, ARect.Bottom);
    TCustomImageList* images = GetImageList();
    bool image = images && FImageIndex >= 0 && FImageIndex < images->Count();
    if (image) {
        int x = cell.Left + (cell.Width() - images->Width()) / 2;
        int y = cell.Top + (cell.Height() - images->Height()) / 2;
        if (FChecked) {
            TRect box(x - 1, y - 1, x + images->Width() + 1, y + images->Height() + 1);
            DrawEdge(*dc, box, BDR_SUNKENOUTER, BF_RECT);
        }
        images->Draw(ACanvas, x, y, FImageIndex, !disabled);
    } else if (HasBitmap()) {
        int x = cell.Left + (cell.Width() - FBitmap->Width()) / 2;
        int y = cell.Top + (cell.Height() - FBitmap->Height()) / 2;
        ACanvas->Draw(x, y, FBitmap.get());
    } else if (FChecked) {
        TColor mark = disabled ? clGrayText : text;
        int cx = (cell.Left + cell.Right) / 2, cy = (cell.Top + cell.Bottom) / 2;
        if (FRadioItem) {
            // A round dot six pixels across.
            static const int rows[6][2] = {{2, 4}, {1, 5}, {1, 5}, {1, 5}, {1, 5}, {2, 4}};
            for (int i = 0; i < 6; ++i)
                dc->FillSolidRect(
                    TRect(cx - 3 + rows[i][0] - 1, cy - 3 + i, cx - 3 + rows[i][1] + 1, cy - 2 + i), mark);
        } else {
            // A tick: three pixels thick, down-right then up-right.
            for (int i = 0; i < 7; ++i) {
                int x = cx - 3 + i;
                int y = i < 3 ? cy - 1 + i : cy + 1 - (i - 2);
                dc->FillSolidRect(TRect(x, y, x + 1, y + 3), mark);
            }
        }
    }
    dc->SetBkMode(TRANSPARENT);
    std::unique_ptr<TFont> bold;
    if (State & odDefault) {
        bold = std::make_unique<TFont>();
        bold->Assign(ACanvas->Font());
        bold->SetStyle(bold->Style() | fsBold);
        dc->SelectFont(bold->Handle());
    }
    TRect t(ARect.Left + col, ARect.Top, ARect.Right - kArrowColumn, ARect.Bottom);
    std::string sc = ShortCutToText(FShortCut);
    auto drawText = [&](TColor c, int dx) {
        dc->SetTextColor(c);
        TRect r = t;
        OffsetRect(r, dx, dx);
        DrawText(*dc, FCaption, r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        if (!sc.empty())
            DrawText(*dc, sc, r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    };
    if (disabled && !selected) {
        drawText(clBtnHighlight, 1);
        drawText(clBtnShadow, 0);
    } else {
        drawText(disabled ? clGrayText : text, 0);
    }
    if (bold)
        dc->SelectFont(ACanvas->Font()->Handle());
    bool hasSub = false;
    for (TMenuItem* i : FItems)
        hasSub = hasSub || i->FVisible;
    if (hasSub) {
        // A solid triangle pointing right, four pixels wide and seven high.
        TColor c = disabled ? clGrayText : text;
        int x = ARect.Right - kArrowColumn / 2 - 2, y = (ARect.Top + ARect.Bottom) / 2 - 3;
        for (int i = 0; i < 4; ++i)
            dc->FillSolidRect(TRect(x + i, y + i, x + i + 1, y + 7 - i), c);
    }
}

// ---- Menus ---------------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TMenu, TComponent)

PLAT_PROPERTIES(TMenu) {
    props.Component("Images", &TMenu::Images, &TMenu::SetImages);
    props.Boolean("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw, false);
    props.Event("OnChange", &TMenu::OnChange);
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
    FItems->FMenu = this;
    InstallFormMenuHooks();
}

TMenu::~TMenu() {
    TMenu::BeforeDestruction();
}

void TMenu::BeforeDestruction() {
    if (FItems) {
        FItems->Clear();
        FItems->FMenu = nullptr;
    }
    TComponent::BeforeDestruction();
}

void TMenu::SetImages(TCustomImageList* Value) {
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    MenuChanged(this, nullptr, true);
}

void TMenu::SetOwnerDraw(bool Value) {
    if (Value == FOwnerDraw)
        return;
    FOwnerDraw = Value;
    MenuChanged(this, nullptr, true);
}

void TMenu::SetDropDownFrame(TDropDownFrame Value) {
    FDropDownFrame = std::move(Value);
    UpdateItems();
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) {
        FImages = nullptr;
        MenuChanged(this, nullptr, true);
    }
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    FItems->GetChildren(Proc, Root);
}

TMenuItem* TMenu::FindItem(TShortCut ShortCut) const {
    if (ShortCut == scNone)
        return nullptr;
    std::function<TMenuItem*(TMenuItem*)> walk = [&](TMenuItem* p) -> TMenuItem* {
        for (int i = 0; i < p->Count(); ++i) {
            TMenuItem* c = p->Items(i);
            if (c->ShortCut() == ShortCut)
                return c;
            if (TMenuItem* f = walk(c))
                return f;
        }
        return nullptr;
    };
    return walk(FItems.get());
}

bool TMenu::IsShortCut(TMessage& Message) {
    TShortCut sc = ShortCutFromKeyMessage(Message);
    TMenuItem* item = FindItem(sc);
    if (!item)
        return false;
    // Every item on the way must be enabled; the actions of the way get their update first.
    for (TMenuItem* p = item; p && p->Parent(); p = p->Parent()) {
        p->InitiateAction();
        if (!p->Enabled())
            return false;
    }
    item->Click();
    return true;
}

void TMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
    if (OnChange)
        OnChange(Sender, Source, Rebuild);
    // A listener may remove itself or others while it is told.
    const auto listeners = FChangeListeners;
    for (const auto& [key, handler] : listeners)
        if (std::any_of(FChangeListeners.begin(), FChangeListeners.end(),
                        [k = key](const auto& l) { return l.first == k; }))
            handler(Sender, Source, Rebuild);
    UpdateItems();
}

void TMenu::AddChangeListener(const void* Key, TMenuChangeEvent Handler) {
    RemoveChangeListener(Key);
    FChangeListeners.emplace_back(Key, std::move(Handler));
}

void TMenu::RemoveChangeListener(const void* Key) {
    std::erase_if(FChangeListeners, [Key](const auto& l) { return l.first == Key; });
}

PLAT_CLASS_INFO_CREATABLE(TMainMenu, TMenu)
PLAT_CLASS_INFO_CREATABLE(TPopupMenu, TMenu)

PLAT_PROPERTIES(TPopupMenu) {
    props.Enum("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment, kPopupAlignmentNames, paLeft);
    props.Boolean("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true);
    props.Event("OnPopup", &TPopupMenu::OnPopup);
    props.Event("OnClose", &TPopupMenu::OnClose);
}

std::vector<TCustomForm*> TMainMenu::Forms() const {
    std::vector<TCustomForm*> out;
    if (Screen)
        for (int i = 0; i < Screen->CustomFormCount(); ++i)
            if (Screen->CustomForms(i)->Menu() == this)
                out.push_back(Screen->CustomForms(i));
    return out;
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
    if (FPopupComponent == Value)
        return;
    if (FPopupComponent)
        FPopupComponent->RemoveFreeNotification(this);
    FPopupComponent = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupComponent)
        FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender) {
    if (OnPopup)
        OnPopup(Sender);
}

namespace {
const bool kRegistered = [] {
    RegisterClasses({&TMenuItem::StaticClass(), &TMainMenu::StaticClass(), &TPopupMenu::StaticClass()});
    return true;
}();
} // namespace

} // namespace plat
