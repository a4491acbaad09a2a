// The owner-drawn main and popup menus: their stylers, the handlers their items get, the MDI window
// list and the shortcut texts.
#include <algorithm>
#include <utility>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/SystemServices.h"
#include "platform/ui/Window.h"
#include "ui/drawing/KvxMenus.h"
#include "ui/drawing/KvxVersion.h"

using namespace plat;

namespace ui {

namespace {

constexpr uint32_t kPackedVersion = PackVersion(2, 5, 2, 1);
constexpr TShortCut kWindowListMarker = 0xABCD;
constexpr int kWindowListGroup = 205;
// The frame of a drop-down: the border line and the background line inside it.
constexpr int kDropDownFrame = 2;

// The handlers are callables of their own types, so that hooking again can tell them from the user's.
struct TKvxMeasureHandler {
    void operator()(TObject* Sender, TCanvas* Canvas, int& Width, int& Height) const {
        auto* item = static_cast<TMenuItem*>(Sender);
        MeasureKvxMenuItem(item, Canvas, Width, Height, SideBarShownFor(item));
    }
};

// The handlers ask for the item's menu when they run: an item can move to another menu (a menu bar
// lends a dropped item's sub-items to a temporary popup) and outlive the menu that hooked it.
struct TKvxDrawHandler {
    void operator()(TObject* Sender, TCanvas* Canvas, TRect Rect, TOwnerDrawState State) const {
        auto* item = static_cast<TMenuItem*>(Sender);
        // The form had no window when the menu was made; by the time its bar paints it has, and the
        // window list must be ours before the Window menu can open.
        if (IKvxMenu* menu = KvxMenuOf(item))
            if (auto* main = dynamic_cast<TKvxMainMenu*>(menu->GetMenu()))
                main->WatchMdiClient();
        DrawKvxMenuItem(item, Canvas, Rect, SideBarShownFor(item), State);
    }
};

void HookItem(IKvxMenu* Menu, TMenuItem* Item) {
    if (Item->OnAdvancedDrawItem.target<TKvxDrawHandler>())
        return;
    if (!Item->OnMeasureItem)
        Item->OnMeasureItem = TKvxMeasureHandler{};
    if (!Item->OnAdvancedDrawItem && !Item->OnDrawItem)
        Item->OnAdvancedDrawItem = TKvxDrawHandler{};
}

TMenu::TDropDownFrame DropDownFrameOf(IKvxMenu* Menu) {
    return {kDropDownFrame, [Menu](TMenuItem* Parent, TCanvas* Canvas, const TRect& Bounds) {
                DrawKvxDropDownFrame(Menu, Parent, Canvas, Bounds);
            }};
}

// The menu animation setting found at start, put back at the end of the program.
struct TAnimationSetting {
    bool Saved = false;
    bool Value = false;
    ~TAnimationSetting() { RestoreMenuAnimation(); }
};

TAnimationSetting& Animation() {
    static TAnimationSetting setting;
    return setting;
}

std::string Capitalized(std::string Name) {
    if (Name.empty())
        return Name;
    std::string rest = LowerCase(Name.substr(1));
    Name = Name.substr(0, 1) + rest;
    size_t paren = Name.find('(');
    if (paren != std::string::npos && paren + 1 < Name.size())
        Name[paren + 1] = static_cast<char>(std::toupper(static_cast<unsigned char>(Name[paren + 1])));
    return Name;
}

// Layouts create the menus and the designer styler by name.
struct TRegistrar {
    TRegistrar() {
        RegisterClass(TKvxMainMenu::StaticClass());
        RegisterClass(TKvxPopupMenu::StaticClass());
        RegisterClass(TKvxMenuStyler::StaticClass());
    }
} gRegistrar;

} // namespace

void DisableMenuAnimation() {
    TAnimationSetting& a = Animation();
    if (a.Saved)
        return;
    bool on = false;
    if (SystemParametersInfo(SPI_GETMENUANIMATION, 0, &on)) {
        a.Value = on;
        a.Saved = true;
        SystemParametersInfo(SPI_SETMENUANIMATION, 0, nullptr);
    }
}

void RestoreMenuAnimation() {
    TAnimationSetting& a = Animation();
    if (!a.Saved)
        return;
    a.Saved = false;
    static bool on = true;
    SystemParametersInfo(SPI_SETMENUANIMATION, 0, a.Value ? &on : nullptr);
}

void HookKvxMenuItems(IKvxMenu* Menu, TMenuItem* Item) {
    if (!Menu || !Item || (Menu->GetMenu()->ComponentState() & csLoading))
        return;
    HookItem(Menu, Item);
    for (int i = 0; i < Item->Count(); ++i)
        HookKvxMenuItems(Menu, Item->Items(i));
}

void RefreshKvxMenu(IKvxMenu* Menu, bool RebuildItems, bool Remeasure) {
    if (!Menu)
        return;
    if (RebuildItems || Remeasure)
        Menu->UpdateItems();
    if (auto* main = dynamic_cast<TKvxMainMenu*>(Menu->GetMenu()))
        main->WatchMdiClient();
}

std::string MenuShortCutText(TShortCut ShortCut, bool International) {
    if (!International) {
        std::string text = ShortCutToText(static_cast<TShortCut>(ShortCut & ~0x0200));
        return (ShortCut & 0x0200) ? "Win+" + text : text;
    }
    std::string text = Capitalized(GetKeyNameText(ShortCut & 0xFF));
    const std::pair<TShortCut, uint16_t> modifiers[] = {
        {scShift, VK_SHIFT}, {scCtrl, VK_CONTROL}, {scAlt, VK_MENU}};
    for (auto [flag, key] : modifiers)
        if (ShortCut & flag)
            text = Capitalized(GetKeyNameText(key)) + "+" + text;
    return text;
}

// ---- TKvxMenuCore ----

TKvxMenuCore::TKvxMenuCore(TMenu* Menu, IKvxMenu* Self, bool MainMenu)
    : FMenu(Menu), FSelf(Self), FMainMenu(MainMenu) {}

void TKvxMenuCore::Start() {
    DisableMenuAnimation();
    FMenu->SetOwnerDraw(true);
    FMenu->SetDropDownFrame(DropDownFrameOf(FSelf));
    MakeInternal();
    Attach();
}

void TKvxMenuCore::Detach(TCustomKvxMenuStyler* Styler) {
    if (Styler->Menu() == FSelf)
        Styler->AttachMenu(nullptr);
    // The styler may outlive the menu: its font must not call back into it.
    if (FMainMenu)
        Styler->Font()->OnChange = nullptr;
}

void TKvxMenuCore::Stop() {
    if (FAssigned) {
        Detach(FAssigned);
        FAssigned->RemoveFreeNotification(FMenu);
        FAssigned = nullptr;
    }
    FInUse = nullptr;
    delete std::exchange(FInternal, nullptr);
}

void TKvxMenuCore::MakeInternal() {
    FInternal = FMainMenu ? new TKvxMenuStyler(FMenu) : new TCustomKvxMenuStyler(FMenu);
    FInternal->SetName("InternalMenuStyler");
    FInUse = FInternal;
}

void TKvxMenuCore::Attach() {
    FInUse->AttachMenu(FSelf);
    if (OnAttached)
        OnAttached(FInUse);
}

void TKvxMenuCore::SetMenuStyler(TCustomKvxMenuStyler* Value) {
    if (Value == FAssigned)
        return;
    if (FAssigned)
        FAssigned->RemoveFreeNotification(FMenu);
    if (FInUse)
        Detach(FInUse);
    if (Value) {
        delete std::exchange(FInternal, nullptr);
        FAssigned = Value;
        FInUse = Value;
        Value->FreeNotification(FMenu);
    } else {
        FAssigned = nullptr;
        MakeInternal();
    }
    Attach();
}

void TKvxMenuCore::ComponentGone(TComponent* AComponent) {
    if (AComponent == FInternal) {
        // Freed from outside: the menu still needs a styler.
        FInternal = nullptr;
        FInUse = nullptr;
        if (!(FMenu->ComponentState() & csDestroying)) {
            MakeInternal();
            Attach();
        }
        return;
    }
    if (AComponent != FAssigned)
        return;
    // Forgotten in any case: the form may be freeing the styler and the menu together.
    FAssigned = nullptr;
    FInUse = nullptr;
    if ((FMenu->ComponentState() & csDestroying) || AComponent->Owner() == FMenu)
        return;
    MakeInternal();
    Attach();
}

void TKvxMenuCore::DropUnusedInternal() {
    if (FInternal && FInternal != FInUse)
        delete std::exchange(FInternal, nullptr);
}

// ---- TKvxMainMenu ----

PLAT_CLASS_INFO_CREATABLE(TKvxMainMenu, TMainMenu)
PLAT_PROPERTIES(TKvxMainMenu) {
    props.Component("MenuStyler", &TKvxMainMenu::GetMenuStyler, &TKvxMainMenu::SetMenuStyler);
    props.Component("DisabledImages", &TKvxMainMenu::DisabledImages, &TKvxMainMenu::SetDisabledImages);
    props.Default("OwnerDraw", true);
    props.Boolean("IntlKeybShortCuts", &TKvxMainMenu::IntlKeybShortCuts, &TKvxMainMenu::SetIntlKeybShortCuts,
                  false);
    props.Boolean("ShowNotes", &TKvxMainMenu::ShowNotes, &TKvxMainMenu::SetShowNotes, true);
    props.String("Version", &TKvxMainMenu::Version, &TKvxMainMenu::SetVersion);
}

TKvxMainMenu::TKvxMainMenu(TComponent* AOwner) : TMainMenu(AOwner), FCore(this, this, true) {
    FCore.OnAttached = [this](TCustomKvxMenuStyler* Styler) {
        Styler->Font()->OnChange = [this](TObject*) { RefreshKvxMenu(this, false, false); };
    };
    FCore.Start();
}

TKvxMainMenu::~TKvxMainMenu() {
    FMdiFilter.Remove();
    FCore.Stop();
    BeforeDestruction();
}

uint32_t TKvxMainMenu::PackedVersion() const {
    return kPackedVersion;
}

std::string TKvxMainMenu::Version() const {
    return VersionText(PackedVersion());
}

void TKvxMainMenu::SetDisabledImages(TCustomImageList* Value) {
    if (FDisabledImages == Value)
        return;
    if (FDisabledImages)
        FDisabledImages->RemoveFreeNotification(this);
    FDisabledImages = Value;
    if (Value)
        Value->FreeNotification(this);
    UpdateItems();
}

void TKvxMainMenu::SetShowNotes(bool Value) {
    FShowNotes = Value;
    UpdateItems();
}

void TKvxMainMenu::SetIntlKeybShortCuts(bool Value) {
    FIntlKeybShortCuts = Value;
    UpdateItems();
}

void TKvxMainMenu::Loaded() {
    TMainMenu::Loaded();
    SetOwnerDraw(true);
    HookKvxMenuItems(this, Items());
    FCore.DropUnusedInternal();
    if (Items()->Count() > 0) {
        // Makes the bars showing the menu lay out again.
        Items()->Items(0)->SetVisible(false);
        Items()->Items(0)->SetVisible(true);
    }
    RefreshKvxMenu(this, false, false);
}

void TKvxMainMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMainMenu::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    FCore.ComponentGone(AComponent);
    if (AComponent == FDisabledImages)
        FDisabledImages = nullptr;
}

void TKvxMainMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
    if (FUpdateCount > 0)
        HookKvxMenuItems(this, Source ? Source : Items());
    else {
        // Items added by code get the look as well, not only those of the stream.
        HookKvxMenuItems(this, Source ? Source : Items());
        RefreshKvxMenu(this, false, false);
    }
    TMainMenu::MenuChanged(Sender, Source, true);
}

void TKvxMainMenu::WatchMdiClient() {
    HWND client = nullptr;
    auto* form = dynamic_cast<TCustomForm*>(Owner());
    if (form && !(ComponentState() & csDestroying) && form->HandleAllocated()) {
        if (form->FormStyle() == fsMDIForm)
            client = form->ClientHandle();
        else if (form->FormStyle() == fsMDIChild)
            client = GetParent(form->WindowHandle());
    }
    if (!client || client == FMdiFilter.Window())
        return;
    FMdiFilter.Install(client, [this](HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg == WM_MDIREFRESHMENU)
            return RefreshWindowList(wnd);
        return DefSubclassProc(wnd, msg, wParam, lParam);
    });
}

void TKvxMainMenu::BeginUpdate() {
    FUpdating = true;
    ++FUpdateCount;
}

void TKvxMainMenu::EndUpdate() {
    FUpdateCount = std::max(0, FUpdateCount - 1);
    if (FUpdateCount > 0)
        return;
    HookKvxMenuItems(this, Items());
    FUpdating = false;
    TMainMenu::MenuChanged(this, nullptr, true);
}

LRESULT TKvxMainMenu::RefreshWindowList(HWND Client) {
    TCustomForm* form = nullptr;
    HWND parent = GetParent(Client);
    if (Screen)
        for (int i = 0; i < Screen->CustomFormCount(); ++i)
            if (Screen->CustomForms(i)->HandleAllocated() && Screen->CustomForms(i)->WindowHandle() == parent)
                form = Screen->CustomForms(i);
    if (!form || form->FormStyle() != fsMDIForm)
        return 0;
    auto* menu = dynamic_cast<TKvxMainMenu*>(form->Menu());
    auto* windowMenu = dynamic_cast<TMenuItem*>(form->WindowMenu());
    if (!menu || !windowMenu)
        return 0;
    menu->BeginUpdate();
    ScopeGuard closeUpdate([menu] { menu->EndUpdate(); });

    TMenuItem* marker = menu->FindItem(kWindowListMarker);
    const bool children = form->MDIChildCount() > 0;
    if (!marker || marker->Caption() != "-") {
        marker = new TMenuItem(menu->Owner());
        marker->SetCaption("-");
        marker->SetShortCut(kWindowListMarker);
        marker->SetAutoLineReduction(maAutomatic);
        marker->SetVisible(children);
        windowMenu->Add(marker);
    } else {
        // The old list goes; the marker shows only while there is a list under it.
        for (int i = windowMenu->Count() - 1; i > windowMenu->IndexOf(marker); --i)
            windowMenu->Delete(i);
        marker->SetVisible(children);
    }

    struct TEntry {
        std::string Caption;
        TCustomForm* Child;
    };
    std::vector<TEntry> entries;
    for (int i = 0; i < form->MDIChildCount(); ++i) {
        TCustomForm* child = form->MDIChildren(i);
        if (!(child->ComponentState() & csDestroying))
            entries.push_back({child->Caption(), child});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TEntry& a, const TEntry& b) { return CompareText(a.Caption, b.Caption) < 0; });
    TCustomForm* active = form->ActiveMDIChild();
    int n = 0;
    for (const TEntry& e : entries) {
        auto* item = new TMenuItem(menu->Owner());
        item->SetCaption(std::to_string(++n) + " " + e.Caption);
        item->SetTag(reinterpret_cast<intptr_t>(e.Child->Handle()));
        item->SetRadioItem(true);
        item->SetGroupIndex(kWindowListGroup);
        item->SetChecked(e.Child == active);
        item->OnClick = [Client](TObject* Sender) {
            auto* it = static_cast<TMenuItem*>(Sender);
            if (it->Tag() == 0)
                return;
            if (SendMessage(Client, WM_MDIACTIVATE, static_cast<WPARAM>(it->Tag()), 0) == 0)
                it->SetChecked(true);
        };
        windowMenu->Add(item);
    }
    return static_cast<LRESULT>(menu->Handle());
}

// ---- TKvxPopupMenu ----

PLAT_CLASS_INFO_CREATABLE(TKvxPopupMenu, TPopupMenu)
PLAT_PROPERTIES(TKvxPopupMenu) {
    props.Component("MenuStyler", &TKvxPopupMenu::GetMenuStyler, &TKvxPopupMenu::SetMenuStyler);
    props.Component("DisabledImages", &TKvxPopupMenu::DisabledImages, &TKvxPopupMenu::SetDisabledImages);
    props.Default("OwnerDraw", true);
    props.Boolean("IntlKeybShortCuts", &TKvxPopupMenu::IntlKeybShortCuts,
                  &TKvxPopupMenu::SetIntlKeybShortCuts, false);
    props.Boolean("ShowNotes", &TKvxPopupMenu::ShowNotes, &TKvxPopupMenu::SetShowNotes, true);
    props.String("Version", &TKvxPopupMenu::Version, &TKvxPopupMenu::SetVersion);
}

TKvxPopupMenu::TKvxPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner), FCore(this, this, false) {
    FCore.Start();
}

TKvxPopupMenu::~TKvxPopupMenu() {
    FCore.Stop();
    BeforeDestruction();
}

uint32_t TKvxPopupMenu::PackedVersion() const {
    return kPackedVersion;
}

std::string TKvxPopupMenu::Version() const {
    return VersionText(PackedVersion());
}

void TKvxPopupMenu::SetDisabledImages(TCustomImageList* Value) {
    if (FDisabledImages == Value)
        return;
    if (FDisabledImages)
        FDisabledImages->RemoveFreeNotification(this);
    FDisabledImages = Value;
    if (Value)
        Value->FreeNotification(this);
    UpdateItems();
}

void TKvxPopupMenu::SetShowNotes(bool Value) {
    FShowNotes = Value;
    UpdateItems();
}

void TKvxPopupMenu::SetIntlKeybShortCuts(bool Value) {
    FIntlKeybShortCuts = Value;
    UpdateItems();
}

void TKvxPopupMenu::Popup(int X, int Y) {
    if (Items()->Count() == 0)
        return;
    int right = Screen ? Screen->DesktopRect().Right : GetSystemMetrics(SM_CXSCREEN);
    TPopupMenu::Popup(std::min(X, right - 1), Y);
}

void TKvxPopupMenu::Loaded() {
    TPopupMenu::Loaded();
    SetOwnerDraw(true);
    HookKvxMenuItems(this, Items());
    FCore.DropUnusedInternal();
}

void TKvxPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TPopupMenu::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    FCore.ComponentGone(AComponent);
    if (AComponent == FDisabledImages)
        FDisabledImages = nullptr;
}

void TKvxPopupMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
    HookKvxMenuItems(this, Source ? Source : Items());
    TPopupMenu::MenuChanged(Sender, Source, Rebuild);
}

} // namespace ui
