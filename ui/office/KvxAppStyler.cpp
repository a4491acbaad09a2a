#include "ui/office/KvxAppStyler.h"

#include <algorithm>
#include <iterator>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SystemServices.h"

namespace ui {

using namespace plat;

PLAT_CLASS_INFO(TThemeNotifierWindow, TWinControl)
PLAT_CLASS_INFO_CREATABLE(TKvxAppStyler, TComponent)
PLAT_CLASS_INFO_CREATABLE(TKvxFormStyler, TComponent)

PLAT_PROPERTIES(TThemeNotifierWindow) {
    props.Event("OnThemeChange", &TThemeNotifierWindow::OnThemeChange);
}

PLAT_PROPERTIES(TKvxAppStyler) {
    props.Boolean("AutoThemeAdapt", &TKvxAppStyler::AutoThemeAdapt, &TKvxAppStyler::SetAutoThemeAdapt);
    props.Enum("Style", &TKvxAppStyler::Style, &TKvxAppStyler::SetStyle, kKVXStyleNames, tsCustom);
    props.String("Version", &TKvxAppStyler::Version, &TKvxAppStyler::SetVersion);
    props.Event("OnChange", &TKvxAppStyler::OnChange);
}

PLAT_PROPERTIES(TKvxFormStyler) {
    props.Boolean("AutoThemeAdapt", &TKvxFormStyler::AutoThemeAdapt, &TKvxFormStyler::SetAutoThemeAdapt);
    props.Enum("Style", &TKvxFormStyler::Style, &TKvxFormStyler::SetStyle, kKVXStyleNames, tsCustom);
    props.Component("AppStyle", &TKvxFormStyler::AppStyle, &TKvxFormStyler::SetAppStyle);
    props.Event("OnApplyStyle", &TKvxFormStyler::OnApplyStyle);
    props.Event("OnChange", &TKvxFormStyler::OnChange);
    props.String("Version", &TKvxFormStyler::Version, &TKvxFormStyler::SetVersion);
}

namespace {

struct TRegistrar {
    TRegistrar() { RegisterClasses({&TKvxAppStyler::StaticClass(), &TKvxFormStyler::StaticClass()}); }
} registrar;

// Major, minor, release and build in the four bytes from the top.
constexpr uint32_t kStylerVersion = (1u << 24) | (2u << 16) | (0u << 8) | 1u;

std::string VersionText(uint32_t Nr) {
    return std::to_string((Nr >> 24) & 0xFF) + "." + std::to_string((Nr >> 16) & 0xFF) + "." +
           std::to_string((Nr >> 8) & 0xFF) + "." + std::to_string(Nr & 0xFF);
}

bool Designing(const TComponent* C) {
    return (C->ComponentState() & csDesigning) != 0;
}

// The style that stands for each colour-scheme code, none recognised first.
constexpr TKVXStyle kSchemeStyles[] = {tsOffice2003Classic, tsOffice2003Blue, tsOffice2003Olive,
                                       tsOffice2003Silver};
static_assert(std::size(kSchemeStyles) == 4);

TKVXStyle AutoThemeStyle() {
    const int scheme = DetectXPColorScheme();
    return kSchemeStyles[scheme >= 0 && scheme < 4 ? scheme : 0];
}

} // namespace

bool IsWindowsXPOrLater() {
    const TSystemVersion v = GetSystemVersion();
    return v.Major > 5 || (v.Major == 5 && v.Minor >= 1);
}

int DetectXPColorScheme() {
    // The scheme's name comes from an active desktop theme, and this platform draws without one, so no
    // scheme is ever recognised.
    return 0;
}

void TThemeNotifierWindow::WndProc(TMessage& Message) {
    if (Message.Msg == WM_THEMECHANGED && OnThemeChange)
        OnThemeChange(this);
    TWinControl::WndProc(Message);
}

// --- Application styler ---------------------------------------------------------------------------------

TKvxAppStyler::TKvxAppStyler(TComponent* AOwner) : TComponent(AOwner) {
    if (Designing(this))
        return;
    FNotifierWindow = new TThemeNotifierWindow(this);
    // The main form of this moment; an application without one yet leaves the window unparented, and it
    // then never hears of a theme change.
    if (Application && Application->MainForm())
        FNotifierWindow->SetParent(Application->MainForm());
    FNotifierWindow->OnThemeChange = [this](TObject*) { ApplyAutoThemeStyle(); };
}

TKvxAppStyler::~TKvxAppStyler() {
    // The form stylers go on alone, keeping their style.
    const std::vector<TKvxFormStyler*> stylers = std::move(FFormStylers);
    FFormStylers.clear();
    for (TKvxFormStyler* s : stylers) {
        if (s->AppStyle() == this)
            s->SetAppStyle(nullptr);
    }
    BeforeDestruction();
}

void TKvxAppStyler::SetStyle(TKVXStyle Value) {
    if (FStyle == Value)
        return;
    FStyle = Value;
    if (!(ComponentState() & (csLoading | csDesigning))) {
        // A form styler's handlers may close forms; only those still registered are told.
        const std::vector<TKvxFormStyler*> stylers = FFormStylers;
        for (TKvxFormStyler* s : stylers) {
            if (std::find(FFormStylers.begin(), FFormStylers.end(), s) != FFormStylers.end())
                s->SetStyle(Value);
        }
    }
    if (OnChange)
        OnChange(this);
}

void TKvxAppStyler::SetAutoThemeAdapt(bool Value) {
    FAutoThemeAdapt = Value;
    ApplyAutoThemeStyle();
}

std::string TKvxAppStyler::Version() const {
    return VersionText(GetVersionNr());
}

uint32_t TKvxAppStyler::GetVersionNr() const {
    return kStylerVersion;
}

void TKvxAppStyler::RegisterFormStyler(TKvxFormStyler* AStyler) {
    if (!AStyler || std::find(FFormStylers.begin(), FFormStylers.end(), AStyler) != FFormStylers.end())
        return;
    FFormStylers.push_back(AStyler);
    // A form styler that goes leaves the list by itself.
    AStyler->FreeNotification(this);
}

void TKvxAppStyler::UnregisterFormStyler(TKvxFormStyler* AStyler) {
    FFormStylers.erase(std::remove(FFormStylers.begin(), FFormStylers.end(), AStyler), FFormStylers.end());
}

void TKvxAppStyler::ApplyAutoThemeStyle() {
    if (FAutoThemeAdapt)
        SetStyle(AutoThemeStyle());
}

void TKvxAppStyler::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TKvxAppStyler*>(Source);
    if (!src)
        return;
    SetStyle(src->Style());
    SetAutoThemeAdapt(src->AutoThemeAdapt());
}

void TKvxAppStyler::Loaded() {
    TComponent::Loaded();
    if (FAutoThemeAdapt)
        ApplyAutoThemeStyle();
}

void TKvxAppStyler::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FNotifierWindow)
        FNotifierWindow = nullptr;
    // By address: a form styler deleted outright is no longer one when the news arrives.
    std::erase_if(FFormStylers, [&](TKvxFormStyler* s) { return static_cast<TComponent*>(s) == AComponent; });
}

// --- Form styler ----------------------------------------------------------------------------------------

TKvxFormStyler::TKvxFormStyler(TComponent* AOwner) : TComponent(AOwner) {
    if (Designing(this))
        return;
    FNotifierWindow = new TThemeNotifierWindow(this);
    for (TComponent* o = AOwner; o; o = o->Owner()) {
        if (auto* w = dynamic_cast<TWinControl*>(o)) {
            FNotifierWindow->SetParent(w);
            break;
        }
    }
    FNotifierWindow->OnThemeChange = [this](TObject*) { ApplyAutoThemeStyle(); };
}

TKvxFormStyler::~TKvxFormStyler() {
    if (FAppStyle && !Designing(this))
        FAppStyle->UnregisterFormStyler(this);
    BeforeDestruction();
}

void TKvxFormStyler::SetStyle(TKVXStyle Value) {
    if (FStyle == Value)
        return;
    FStyle = Value;
    if (Value != tsCustom)
        ApplyStyleToOwner();
    if (OnChange)
        OnChange(this);
}

void TKvxFormStyler::SetAppStyle(TKvxAppStyler* Value) {
    if (FAppStyle && FAppStyle != Value)
        FAppStyle->UnregisterFormStyler(this);
    FAppStyle = Value;
    if (!Value)
        return;
    // Told when the application styler goes, wherever it lives.
    Value->FreeNotification(this);
    if (!(ComponentState() & csLoading))
        SetStyle(Value->Style());
    if (!Designing(this))
        Value->RegisterFormStyler(this);
}

void TKvxFormStyler::SetAutoThemeAdapt(bool Value) {
    FAutoThemeAdapt = Value;
    ApplyAutoThemeStyle();
}

std::string TKvxFormStyler::Version() const {
    return VersionText(GetVersionNr());
}

uint32_t TKvxFormStyler::GetVersionNr() const {
    return kStylerVersion;
}

void TKvxFormStyler::ApplyStyleToOwner() {
    TComponent* owner = Owner();
    if (dynamic_cast<TCustomForm*>(owner))
        ApplyStyleToComponents(owner, false);
    else if (dynamic_cast<TCustomFrame*>(owner))
        ApplyStyleToComponents(owner, true);
}

void TKvxFormStyler::ApplyStyleToComponents(TComponent* Container, bool IntoFrames) {
    const TKVXStyle style = FStyle;
    const int count = Container->ComponentCount();
    // A component's handler may free components; the walk stops where the list now ends.
    for (int i = 0; i < count && i < Container->ComponentCount(); ++i) {
        TComponent* c = Container->Components(i);
        if (auto* styleable = dynamic_cast<IStyleable*>(c)) {
            bool allow = true;
            if (OnApplyStyle)
                OnApplyStyle(this, c, allow);
            if (allow)
                styleable->ApplyStyle(style);
        }
        if (IntoFrames && dynamic_cast<TCustomFrame*>(c))
            ApplyStyleToComponents(c, true);
    }
}

void TKvxFormStyler::ApplyAutoThemeStyle() {
    if (FAutoThemeAdapt)
        SetStyle(AutoThemeStyle());
}

void TKvxFormStyler::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TKvxFormStyler*>(Source);
    if (!src)
        return;
    SetAutoThemeAdapt(src->AutoThemeAdapt());
    SetStyle(src->Style());
}

void TKvxFormStyler::Loaded() {
    TComponent::Loaded();
    // While reading, a style reached only the components read before the styler. The whole form gets it
    // now, also when it equals the style already held: the detour over tsCustom makes the setter walk.
    const TKVXStyle target = FAppStyle ? FAppStyle->Style() : FStyle;
    if (target == FStyle)
        SetStyle(tsCustom);
    SetStyle(target);
    if (!Designing(this))
        ApplyAutoThemeStyle();
}

void TKvxFormStyler::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FNotifierWindow)
        FNotifierWindow = nullptr;
    if (AComponent == FAppStyle)
        FAppStyle = nullptr;
}

} // namespace ui
