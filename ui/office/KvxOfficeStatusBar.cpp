#include "ui/office/KvxOfficeStatusBar.h"

#include <algorithm>
#include <vector>

#include "platform/backend/InputCodes.h"
#include "platform/gfx/Bitmap.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/OpenLink.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"
#include "ui/drawing/KvxVersion.h"
#include "ui/markup/MarkupText.h"
#include "ui/markup/PictureContainer.h"

namespace ui::statusbar {

using namespace plat;

PLAT_CLASS_INFO(TProgressStyle, TPersistent)
PLAT_CLASS_INFO(TKvxOfficeStatusPanel, TCollectionItem)
PLAT_CLASS_INFO(TKvxOfficeStatusPanels, TCollection)
PLAT_CLASS_INFO(TDummyHintControl, TControl)
PLAT_CLASS_INFO_CREATABLE(TKvxOfficeStatusBar, TCustomControl)

PLAT_PROPERTIES(TProgressStyle) {
    using P = TProgressStyle;
    props.Integer("Min", &P::Min, &P::SetMin, 0);
    props.Integer("Max", &P::Max, &P::SetMax, 100);
    props.Integer("Position", &P::Position, &P::SetPosition, 0);
    props.Enum("Indication", &P::Indication, &P::SetIndication, kProgressIndicationNames, piPercentage);
    props.Color("BackGround", &P::BackGround, &P::SetBackGround, clNone);
    props.Color("Level0Color", &P::Level0Color, &P::SetLevel0Color, 0x00FF00);
    props.Color("Level0ColorTo", &P::Level0ColorTo, &P::SetLevel0ColorTo, 0xE1FFE1);
    props.Color("Level1Color", &P::Level1Color, &P::SetLevel1Color, 0x00FFFF);
    props.Color("Level1ColorTo", &P::Level1ColorTo, &P::SetLevel1ColorTo, 0xCAFFFF);
    props.Color("Level2Color", &P::Level2Color, &P::SetLevel2Color, 0x53A9FF);
    props.Color("Level2ColorTo", &P::Level2ColorTo, &P::SetLevel2ColorTo, 0xA8D3FF);
    props.Color("Level3Color", &P::Level3Color, &P::SetLevel3Color, 0x0000FF);
    props.Color("Level3ColorTo", &P::Level3ColorTo, &P::SetLevel3ColorTo, 0xCACAFF);
    props.Integer("Level1Perc", &P::Level1Perc, &P::SetLevel1Perc, 70);
    props.Integer("Level2Perc", &P::Level2Perc, &P::SetLevel2Perc, 90);
    props.Color("BorderColor", &P::BorderColor, &P::SetBorderColor, clBlack);
    props.Boolean("ShowBorder", &P::ShowBorder, &P::SetShowBorder, false);
    props.Boolean("Stacked", &P::Stacked, &P::SetStacked, false);
    props.Boolean("ShowPercentage", &P::ShowPercentage, &P::SetShowPercentage, true);
    props.Boolean("CompletionSmooth", &P::CompletionSmooth, &P::SetCompletionSmooth, false);
    props.Boolean("ShowGradient", &P::ShowGradient, &P::SetShowGradient, true);
    props.String("Prefix", &P::Prefix, &P::SetPrefix);
    props.String("Suffix", &P::Suffix, &P::SetSuffix);
}

PLAT_PROPERTIES(TKvxOfficeStatusPanel) {
    using P = TKvxOfficeStatusPanel;
    props.Enum("Alignment", &P::Alignment, &P::SetAlignment, kAlignmentNames, taLeftJustify);
    props.Boolean("Animated", &P::Animated, &P::SetAnimated, false);
    props.Integer("AnimationDelay", &P::AnimationDelay, &P::SetAnimationDelay, 0);
    props.Component("AnimationImages", &P::AnimationImages, &P::SetAnimationImages);
    props.Enum("AppearanceStyle", &P::AppearanceStyle, &P::SetAppearanceStyle, kPanelAppearanceStyleNames);
    props.Boolean("AutoSize", &P::AutoSize, &P::SetAutoSize, false);
    props.Enum("BiDiMode", &P::BiDiMode, &P::SetBiDiMode, kBiDiModeNames).Stored([](const P& p) {
        return !p.ParentBiDiMode();
    });
    props.Boolean("Button", &P::Button, &P::SetButton, false);
    props.String("DateFormat", &P::DateFormat, &P::SetDateFormat).Stored([](const P&) { return true; });
    props.Boolean("Enabled", &P::Enabled, &P::SetEnabled, true);
    props.Integer("HTMLOffsetX", &P::HTMLOffsetX, &P::SetHTMLOffsetX, 2);
    props.Integer("HTMLOffsetY", &P::HTMLOffsetY, &P::SetHTMLOffsetY, 2);
    props.Integer("ImageIndex", &P::ImageIndex, &P::SetImageIndex, -1);
    props.Integer("MinWidth", &P::MinWidth, &P::SetMinWidth, 20);
    props.Object("OfficeHint", &P::OfficeHint, &P::SetOfficeHint);
    props.Boolean("ParentBiDiMode", &P::ParentBiDiMode, &P::SetParentBiDiMode, true);
    props.Object("Progress", &P::Progress, &P::SetProgress);
    props.Enum("Style", &P::Style, &P::SetStyle, kPanelStyleNames, psHTML);
    props.String("Text", &P::Text, &P::SetText);
    props.String("TimeFormat", &P::TimeFormat, &P::SetTimeFormat).Stored([](const P&) { return true; });
    props.Integer("Width", &P::Width, &P::SetWidth);
}

PLAT_PROPERTIES(TKvxOfficeStatusPanels) {}

PLAT_PROPERTIES(TDummyHintControl) {
    props.Object("OfficeHint", &TDummyHintControl::OfficeHint, &TDummyHintControl::SetOfficeHint);
}

PLAT_PROPERTIES(TKvxOfficeStatusBar) {
    using B = TKvxOfficeStatusBar;
    props.Default("Align", static_cast<int>(alBottom));
    props.Boolean("AnchorHint", &B::AnchorHint, &B::SetAnchorHint);
    props.Enum("AntiAlias", &B::AntiAlias, &B::SetAntiAlias, kAntiAliasNames, aaClearType);
    props.Boolean("AutoHint", &B::AutoHint, &B::SetAutoHint, false);
    props.Component("DisabledImages", &B::DisabledImages, &B::SetDisabledImages);
    props.Component("Images", &B::Images, &B::SetImages);
    props.Collection("Panels", &B::Panels);
    props.Component("PictureContainer", &B::PictureContainer, &B::SetPictureContainer);
    props.Boolean("SimplePanel", &B::SimplePanel, &B::SetSimplePanel, false);
    props.String("SimpleText", &B::SimpleText, &B::SetSimpleText);
    props.Boolean("SizeGrip", &B::SizeGrip, &B::SetSizeGrip, true);
    props.Integer("StretchPanel", &B::StretchPanel, &B::SetStretchPanel, -1);
    props.Component("Styler", &B::Styler, &B::SetStyler);
    props.Color("URLColor", &B::URLColor, &B::SetURLColor);
    props.Boolean("UseSystemFont", &B::UseSystemFont, &B::SetUseSystemFont, true);
    props.String("Version", &B::Version, &B::SetVersion);
    props.Event("OnAnchorClick", &B::OnAnchorClick);
    props.Event("OnAnchorEnter", &B::OnAnchorEnter);
    props.Event("OnAnchorExit", &B::OnAnchorExit);
    props.Event("OnDrawPanel", &B::OnDrawPanel);
    props.Event("OnHint", &B::OnHint);
    props.Event("OnPanelClick", &B::OnPanelClick);
    props.Event("OnPanelDblClick", &B::OnPanelDblClick);
    props.Event("OnPanelRightClick", &B::OnPanelRightClick);
}

namespace {

struct TRegistrar {
    TRegistrar() { RegisterClasses({&TKvxOfficeStatusBar::StaticClass()}); }
} registrar;

constexpr uint32_t kStatusBarVersion = PackVersion(1, 2, 0, 4);
constexpr TColor kDisabledText = 0x808080;

bool Designing(const TComponent* C) {
    return (C->ComponentState() & csDesigning) != 0;
}

// Until the toolbar family answers, the bar's parent is never its office form.
class TNoFrameQuery : public IStatusBarFrameQuery {
public:
    bool IsToolBarForm(TWinControl*) const override { return false; }
    bool PagerCaptionTextColor(TWinControl*, TColor&) const override { return false; }
} noFrameQuery;

IStatusBarFrameQuery* frameQuery = &noFrameQuery;

bool KeyToggled(uint16_t Vk) {
    return (GetKeyState(Vk) & 1) != 0;
}

int SignedLo(LPARAM L) {
    return static_cast<int16_t>(L & 0xFFFF);
}
int SignedHi(LPARAM L) {
    return static_cast<int16_t>((L >> 16) & 0xFFFF);
}

} // namespace

IStatusBarFrameQuery* SetStatusBarFrameQuery(IStatusBarFrameQuery* Query) {
    IStatusBarFrameQuery* previous = frameQuery == &noFrameQuery ? nullptr : frameQuery;
    frameQuery = Query ? Query : &noFrameQuery;
    return previous;
}

// --- Progress settings -----------------------------------------------------------------------------------

void TProgressStyle::Changed() {
    if (FOwner)
        FOwner->InvalidatePanel();
}

void TProgressStyle::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TProgressStyle*>(Source);
    if (!src)
        throw EInvalidCast("Invalid class typecast");
    FBackGround = src->FBackGround;
    FIndication = src->FIndication;
    FMin = src->FMin;
    FMax = src->FMax;
    FPosition = src->FPosition;
    FShowPercentage = src->FShowPercentage;
    FShowGradient = src->FShowGradient;
    FStacked = src->FStacked;
    FShowBorder = src->FShowBorder;
    FBorderColor = src->FBorderColor;
    FCompletionSmooth = src->FCompletionSmooth;
    FLevel0Color = src->FLevel0Color;
    FLevel0ColorTo = src->FLevel0ColorTo;
    FLevel1Color = src->FLevel1Color;
    FLevel1ColorTo = src->FLevel1ColorTo;
    FLevel2Color = src->FLevel2Color;
    FLevel2ColorTo = src->FLevel2ColorTo;
    FLevel3Color = src->FLevel3Color;
    FLevel3ColorTo = src->FLevel3ColorTo;
    FLevel1Perc = src->FLevel1Perc;
    FLevel2Perc = src->FLevel2Perc;
    FPrefix = src->FPrefix;
    FSuffix = src->FSuffix;
}

// --- Panels ----------------------------------------------------------------------------------------------

TKvxOfficeStatusPanel::TKvxOfficeStatusPanel(TCollection* Collection)
    : TCollectionItem(Collection), FTimeFormat(FormatSettings().LongTimeFormat),
      FDateFormat(FormatSettings().ShortDateFormat), FProgress(std::make_unique<TProgressStyle>(this)),
      FImageIndexes(std::make_unique<TStringList>()), FOfficeHint(std::make_unique<TKvxHintInfo>()) {
    if (TKvxOfficeStatusBar* bar = StatusBar())
        FBiDiMode = bar->BiDiMode();
}

TKvxOfficeStatusPanel::~TKvxOfficeStatusPanel() {
    if (TKvxOfficeStatusBar* bar = StatusBar())
        bar->PanelsChanged();
}

TKvxOfficeStatusBar* TKvxOfficeStatusPanel::StatusBar() const {
    auto* panels = dynamic_cast<TKvxOfficeStatusPanels*>(Collection());
    return panels ? panels->StatusBar() : nullptr;
}

std::string TKvxOfficeStatusPanel::DisplayName() const {
    return FText.empty() ? TCollectionItem::DisplayName() : FText;
}

void TKvxOfficeStatusPanel::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TKvxOfficeStatusPanel*>(Source);
    if (!src) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetText(src->FText);
    SetWidth(src->FWidth);
    SetAlignment(src->FAlignment);
    SetStyle(src->FStyle);
    SetDateFormat(src->FDateFormat);
    SetTimeFormat(src->FTimeFormat);
    SetProgress(src->FProgress.get());
    SetOfficeHint(src->FOfficeHint.get());
    SetAppearanceStyle(src->FAppearanceStyle);
    SetAutoSize(src->FAutoSize);
    SetMinWidth(src->FMinWidth);
}

void TKvxOfficeStatusPanel::RepaintBar() {
    if (TKvxOfficeStatusBar* bar = StatusBar())
        bar->Invalidate();
}

void TKvxOfficeStatusPanel::InvalidatePanel() {
    TKvxOfficeStatusBar* bar = StatusBar();
    if (!bar || !bar->HandleAllocated())
        return;
    if (bar->SimplePanel()) {
        bar->Invalidate();
        return;
    }
    const TRect r = bar->PanelRect(Index());
    InvalidateRect(bar->WindowHandle(), &r, false);
}

void TKvxOfficeStatusPanel::SetText(const std::string& Value) {
    if (FText == Value)
        return;
    FText = Value;
    Changed(false);
    if (FAutoSize)
        if (TKvxOfficeStatusBar* bar = StatusBar())
            bar->AutoSizePanels();
}

void TKvxOfficeStatusPanel::SetWidth(int Value) {
    if (FWidth == Value)
        return;
    FWidth = Value;
    RepaintBar();
}

void TKvxOfficeStatusPanel::SetAutoSize(bool Value) {
    FAutoSize = Value;
    if (Value)
        if (TKvxOfficeStatusBar* bar = StatusBar())
            bar->AutoSizePanels();
}

#define KVX_PANEL_SETTER(Name, Type, Field)                                                                  \
    void TKvxOfficeStatusPanel::Set##Name(Type Value) {                                                      \
        if (Field == Value)                                                                                  \
            return;                                                                                          \
        Field = Value;                                                                                       \
        RepaintBar();                                                                                        \
    }
KVX_PANEL_SETTER(Style, TKvxOfficeStatusPanelStyle, FStyle)
KVX_PANEL_SETTER(Alignment, TAlignment, FAlignment)
KVX_PANEL_SETTER(AppearanceStyle, TPanelAppearanceStyle, FAppearanceStyle)
KVX_PANEL_SETTER(Button, bool, FButton)
KVX_PANEL_SETTER(Enabled, bool, FEnabled)
KVX_PANEL_SETTER(DateFormat, const std::string&, FDateFormat)
KVX_PANEL_SETTER(TimeFormat, const std::string&, FTimeFormat)
KVX_PANEL_SETTER(HTMLOffsetX, int, FHTMLOffsetX)
KVX_PANEL_SETTER(HTMLOffsetY, int, FHTMLOffsetY)
KVX_PANEL_SETTER(ImageIndex, int, FImageIndex)
#undef KVX_PANEL_SETTER

void TKvxOfficeStatusPanel::SetAnimationImages(TCustomImageList* Value) {
    FAnimationImages = Value;
    if (Value)
        if (TKvxOfficeStatusBar* bar = StatusBar())
            Value->FreeNotification(bar);
}

void TKvxOfficeStatusPanel::SetAnimationDelay(int Value) {
    if (Value >= 0)
        FAnimationDelay = Value;
}

void TKvxOfficeStatusPanel::SetBiDiMode(TBiDiMode Value) {
    if (FBiDiMode == Value)
        return;
    FBiDiMode = Value;
    FParentBiDiMode = false;
    InvalidatePanel();
}

void TKvxOfficeStatusPanel::SetParentBiDiMode(bool Value) {
    FParentBiDiMode = Value;
    if (Value)
        if (TKvxOfficeStatusBar* bar = StatusBar())
            FBiDiMode = bar->BiDiMode();
}

TKvxOfficeStatusPanels::TKvxOfficeStatusPanels(TKvxOfficeStatusBar* Bar)
    : TCollection(TCollectionItemClass::Of<TKvxOfficeStatusPanel>()), FBar(Bar) {}

TPersistent* TKvxOfficeStatusPanels::GetOwner() const {
    return FBar;
}

void TKvxOfficeStatusPanels::Update(TCollectionItem* Item) {
    if (!FBar)
        return;
    if (Item)
        static_cast<TKvxOfficeStatusPanel*>(Item)->InvalidatePanel();
    else
        FBar->PanelsChanged();
}

TDummyHintControl::TDummyHintControl(TComponent* AOwner)
    : TControl(AOwner), FOfficeHint(std::make_unique<TKvxHintInfo>()) {
    SetVisible(false);
}

TDummyHintControl::~TDummyHintControl() = default;

// --- The bar ---------------------------------------------------------------------------------------------

TKvxOfficeStatusBar::TKvxOfficeStatusBar(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() | csCaptureMouse | csClickEvents | csDoubleClicks | csAcceptsControls);
    FInternalStyler = new TCustomKvxOfficeStatusBarStyler(this);
    FInternalStyler->SetName("InternalStyler");
    FCurrentStyler = FInternalStyler;
    FInternalStyler->AddClient(this);
    SetColor(clBtnFace);
    SetHeight(19);
    SetAlign(alBottom);
    FPanels = std::make_unique<TKvxOfficeStatusPanels>(this);
    SetParentFont(false);
    ApplySystemFont();
    FHintCarrier = new TDummyHintControl(this);
    SetDoubleBuffered(true);
}

TKvxOfficeStatusBar::~TKvxOfficeStatusBar() {
    BeforeDestruction();
    if (FStyler)
        FStyler->RemoveClient(this);
    if (FInternalStyler)
        FInternalStyler->RemoveClient(this);
    FStyler = nullptr;
    FCurrentStyler = nullptr;
    FPanels.reset();
}

std::string TKvxOfficeStatusBar::Version() const {
    return VersionText(kStatusBarVersion);
}

void TKvxOfficeStatusBar::PanelsChanged() {
    if (FPanels && FPanels->UpdateCount() == 0 && !(ComponentState() & csDestroying))
        Invalidate();
}

void TKvxOfficeStatusBar::SetSimplePanel(bool Value) {
    if (FSimplePanel == Value)
        return;
    FSimplePanel = Value;
    Invalidate();
}

void TKvxOfficeStatusBar::SetSimpleText(const std::string& Value) {
    if (FSimpleText == Value)
        return;
    FSimpleText = UseRightToLeftAlignment() ? "\t\t" + Value : Value;
    Invalidate();
}

void TKvxOfficeStatusBar::SetSizeGrip(bool Value) {
    if (FSizeGrip == Value)
        return;
    FSizeGrip = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TKvxOfficeStatusBar::SetStretchPanel(int Value) {
    if (Value < -1 || Value >= FPanels->Count())
        return;
    FStretchPanel = Value;
    Invalidate();
}

void TKvxOfficeStatusBar::SetStyler(TCustomKvxOfficeStatusBarStyler* Value) {
    if (Value == FStyler && Value)
        return;
    if (FStyler && FStyler != FInternalStyler) {
        FStyler->RemoveClient(this);
        FStyler->RemoveFreeNotification(this);
    }
    FStyler = Value;
    if (Value) {
        FCurrentStyler = Value;
        Value->AddClient(this);
        Value->FreeNotification(this);
    } else {
        FCurrentStyler = FInternalStyler;
    }
    Invalidate();
}

void TKvxOfficeStatusBar::StylerDestroyed(TCustomKvxOfficeStatusBarStyler* AStyler) {
    if (AStyler == FInternalStyler) {
        FInternalStyler = nullptr;
        if (FCurrentStyler == AStyler)
            FCurrentStyler = nullptr;
        return;
    }
    if (AStyler == FStyler) {
        FStyler = nullptr; // already gone from its list
        FCurrentStyler = FInternalStyler;
        Invalidate();
    }
}

void TKvxOfficeStatusBar::SetUseSystemFont(bool Value) {
    if (FUseSystemFont == Value)
        return;
    FUseSystemFont = Value;
    if (Value) {
        if (ParentFont())
            SetParentFont(false);
        ApplySystemFont();
    }
}

void TKvxOfficeStatusBar::ApplySystemFont() {
    if (FUseSystemFont && Screen && Screen->HintFont())
        Font()->Assign(Screen->HintFont());
}

void TKvxOfficeStatusBar::SetAntiAlias(TAntiAlias Value) {
    FAntiAlias = Value;
    Invalidate();
}

void TKvxOfficeStatusBar::SetImages(TCustomImageList* Value) {
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
}

void TKvxOfficeStatusBar::SetDisabledImages(TCustomImageList* Value) {
    FDisabledImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
}

void TKvxOfficeStatusBar::SetPictureContainer(TPictureContainer* Value) {
    FPictureContainer = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
}

void TKvxOfficeStatusBar::SetURLColor(TColor Value) {
    FURLColor = Value;
    Invalidate();
}

void TKvxOfficeStatusBar::SetBiDiMode(TBiDiMode Value) {
    if (FBiDiMode == Value)
        return;
    FBiDiMode = Value;
    for (int i = 0; i < FPanels->Count(); ++i)
        if (TKvxOfficeStatusPanel* p = FPanels->GetItem(i); p->ParentBiDiMode())
            p->FBiDiMode = Value;
    Invalidate();
}

void TKvxOfficeStatusBar::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FPictureContainer)
        FPictureContainer = nullptr;
    if (ComponentState() & csDestroying)
        return;
    if (AComponent == FImages)
        FImages = nullptr;
    if (AComponent == FDisabledImages)
        FDisabledImages = nullptr;
    if (AComponent == FHintCarrier)
        FHintCarrier = nullptr;
    if (AComponent == FInternalStyler)
        StylerDestroyed(FInternalStyler);
    else if (FStyler && AComponent == FStyler)
        SetStyler(nullptr);
    for (int i = 0; FPanels && i < FPanels->Count(); ++i)
        if (FPanels->GetItem(i)->FAnimationImages == AComponent)
            FPanels->GetItem(i)->FAnimationImages = nullptr;
}

void TKvxOfficeStatusBar::Loaded() {
    TCustomControl::Loaded();
    TimerTick();
    AutoSizePanels();
}

// --- Geometry --------------------------------------------------------------------------------------------

int TKvxOfficeStatusBar::OtherPanelsWidth() const {
    int w = 0;
    for (int i = 0; i < FPanels->Count(); ++i)
        if (i != FStretchPanel)
            w += FPanels->GetItem(i)->Width();
    return w;
}

TRect TKvxOfficeStatusBar::PanelRect(int Index) const {
    const int W = Width(), H = Height(), n = FPanels->Count();
    if (Index < 0 || Index >= n)
        return TRect(-1, -1, -1, -1);
    int x = 0;
    for (int j = 0; j < n; ++j) {
        const int left = x;
        int right;
        if (j == FStretchPanel) {
            right = std::max(x, x + W - OtherPanelsWidth());
            x = right;
        } else if (j == n - 1) {
            right = std::max(W - 1, x);
        } else {
            right = x + FPanels->GetItem(j)->Width();
            x = right;
        }
        if (j == Index)
            return TRect(left, 1, right, H - 1);
    }
    return TRect(-1, -1, -1, -1);
}

int TKvxOfficeStatusBar::PanelAt(int X) const {
    for (int i = 0; i < FPanels->Count(); ++i) {
        const TRect r = PanelRect(i);
        if (r.Left <= X && X <= r.Right)
            return i;
    }
    return -1;
}

int TKvxOfficeStatusBar::PanelEdgeAt(int X) const {
    for (int i = 0; i < FPanels->Count(); ++i) {
        const int r = PanelRect(i).Right;
        if (r - 2 < X && X < r + 2)
            return i;
    }
    return -1;
}

void TKvxOfficeStatusBar::InvalidatePanel(int Index) {
    if (!HandleAllocated())
        return;
    if (Index < 0 || Index >= FPanels->Count()) {
        Invalidate();
        return;
    }
    const TRect r = PanelRect(Index);
    InvalidateRect(WindowHandle(), &r, true);
}

bool TKvxOfficeStatusBar::IsSizeGripVisible() const {
    if (!FSizeGrip)
        return false;
    auto* form = dynamic_cast<TCustomForm*>(Parent());
    if (!form)
        return false;
    const TFormBorderStyle bs = form->BorderStyle();
    return (bs == bsSizeable || bs == bsSizeToolWin) && form->WindowState() != wsMaximized;
}

void TKvxOfficeStatusBar::MarkupOptions(TMarkupOptions& Options) const {
    Options.Images = FImages;
    Options.PictureContainer = FPictureContainer;
    Options.ShadowColor = 0x808080;
    Options.HoverColor = clNone;
    Options.HoverFontColor = clNone;
    Options.URLColor = FURLColor;
    Options.Scale = 1.0;
    Options.LineSpacing = 0;
    Options.BlinkOn = FTickCounter <= 5;
}

TCanvas& TKvxOfficeStatusBar::MeasureCanvas() {
    if (HandleAllocated())
        return *Canvas();
    // Panels are measured while the bar is being built or loaded, before it has a window to ask.
    if (!FMeasureBitmap) {
        FMeasureBitmap = std::make_unique<TBitmap>();
        FMeasureBitmap->SetSize(1, 1);
    }
    return *FMeasureBitmap->Canvas();
}

int TKvxOfficeStatusBar::MeasureMarkup(const std::string& Text) {
    TMarkupOptions options;
    MarkupOptions(options);
    options.MeasureOnly = true;
    TMarkupResult result;
    DrawMarkupText(MeasureCanvas(), Text, TRect(0, 0, 1000, 100), options, result);
    return result.MaxLineWidth;
}

void TKvxOfficeStatusBar::AutoSizePanels() {
    if (FInAutoSize || !FPanels)
        return;
    // A width change repaints and may measure again; one layout at a time.
    TemporaryChange<bool> inAutoSize(FInAutoSize, true);
    TCanvas& canvas = MeasureCanvas();
    canvas.SetFont(Font());
    const int n = FPanels->Count();
    for (int i = 0; i < n; ++i) {
        TKvxOfficeStatusPanel* p = FPanels->GetItem(i);
        if (p->AutoSize()) {
            int width = -1;
            std::string s;
            int extra = 0;
            switch (p->Style()) {
            case psHTML:
                width = std::max(MeasureMarkup(p->Text()) + 10, p->MinWidth());
                break;
            case psText:
            case psTime:
            case psDate:
                s = p->Text();
                break;
            case psNumLock:
                s = "NUM";
                break;
            case psCapsLock:
                s = "CAP";
                break;
            case psScrollLock:
                s = "SCRL";
                break;
            case psImage:
                s = p->Text();
                if (FImages && p->ImageIndex() >= 0)
                    extra = FImages->Width();
                break;
            case psOwnerDraw:
            case psProgress:
            case psImageList:
            case psAnimation:
            case psEllipsText:
            case psFileEllipsText:
                break;
            }
            if (!s.empty()) {
                TRect calc;
                DrawPanelText(canvas, p->Alignment(), DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS,
                              TRect(0, 0, 1000, 100), s, canvas.Font(), true, false, FAntiAlias, true, calc);
                width = std::max(calc.Right - calc.Left + extra + 12, p->MinWidth());
            }
            // Room for the grip is added to what was measured, once: never to the width of the last run.
            if (width >= 0 && FSizeGrip && i == n - 1)
                width += 16;
            if (width >= 0)
                p->SetWidth(width);
        }
    }
}

// --- Painting --------------------------------------------------------------------------------------------

void TKvxOfficeStatusBar::Paint() {
    DrawPanels();
    DrawFrameCorners();
    if (FStyler && FStyler->BorderColor() != clNone) {
        TCanvas* c = Canvas();
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetWidth(1);
        c->Pen()->SetColor(FStyler->BorderColor());
        c->MoveTo(0, 0);
        c->LineTo(Width(), 0);
    }
}

void TKvxOfficeStatusBar::DrawPanels() {
    if (!FCurrentStyler)
        return;
    const int W = Width(), H = Height(), n = FPanels->Count();
    const TRect clip = Canvas()->ClipRect();
    if (FSimplePanel) {
        DrawSimplePanel();
    } else {
        int x = 0;
        for (int j = 0; j < n; ++j) {
            TKvxOfficeStatusPanel* p = FPanels->GetItem(j);
            TRect r(x, 0, 0, H - 1);
            if (j == FStretchPanel) {
                r.Right = std::max(x, x + W - OtherPanelsWidth());
            } else if (j == n - 1 && FStretchPanel == -1) {
                r.Right = std::max(W, x);
            } else {
                r.Right = x + p->Width();
            }
            x = r.Right;
            if (r.Left == 0)
                r.Left = 1;
            if (r.Right == W - 1)
                r.Right = W - 2;
            // A panel outside the part being repainted would draw nothing that shows.
            TRect visible;
            if (IntersectRect(visible, TRect(r.Left, r.Top, r.Right, r.Bottom + 1), clip))
                DrawPanel(p, r);
        }
    }
    if (IsSizeGripVisible())
        DrawSizeGrip(TRect(W - 18, 0, W - 3, H - 1));
    TCanvas* c = Canvas();
    const TColor border = FCurrentStyler->BorderColor();
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(border);
    c->MoveTo(0, 0);
    c->LineTo(0, H - 1);
    c->LineTo(W - 1, H - 1);
    c->LineTo(W - 1, 0);
    c->Pen()->SetColor(MixColors(border, clWhite, 80));
    c->MoveTo(0, 0);
    c->LineTo(W, 0);
}

void TKvxOfficeStatusBar::DrawFrameCorners() {
    TWinControl* parent = Parent();
    if (!parent || !frameQuery->IsToolBarForm(parent) || IsVistaOrLater())
        return;
    TColor colour = 0x808080;
    TColor pagerColour;
    if (frameQuery->PagerCaptionTextColor(parent, pagerColour))
        colour = pagerColour;
    if (FStyler && FStyler->BorderColor() != clNone)
        colour = FStyler->BorderColor();
    if (ColorToRGB(colour) == clWhite)
        colour = clBlack;
    const int W = Width(), H = Height();
    TCanvas* c = Canvas();
    c->Pen()->SetColor(colour);
    c->Pen()->SetWidth(1);
    const int lines[][4] = {{0, H - 7, 0, H},
                            {1, H - 4, 1, H},
                            {0, H - 1, 7, H - 1},
                            {1, H - 2, 4, H - 2},
                            {W - 1, H - 7, W - 1, H},
                            {W - 2, H - 4, W - 2, H},
                            {W - 1, H - 1, W - 8, H - 1},
                            {W - 2, H - 2, W - 5, H - 2}};
    for (const auto& l : lines) {
        c->MoveTo(l[0], l[1]);
        c->LineTo(l[2], l[3]);
    }
}

void TKvxOfficeStatusBar::DrawSimplePanel() {
    TVistaBackground* a = FCurrentStyler->PanelAppearanceLight();
    TCanvas* c = Canvas();
    DrawOfficeTile(*c, TRect(0, 0, Width(), Height()), a->Color(), a->ColorTo(), a->ColorMirror(),
                   a->ColorMirrorTo(), clNone);
    c->SetFont(Font());
    c->Font()->SetColor(a->TextColor());
    c->Brush()->SetStyle(bsClear);
    TMarkupOptions options;
    MarkupOptions(options);
    DrawMarkupText(*c, FSimpleText, TRect(3, 3, Width() - 1, Height() - 1), options);
}

void TKvxOfficeStatusBar::DrawSizeGrip(const TRect& R) {
    TCanvas* c = Canvas();
    const int L = R.Left, B = R.Bottom;
    auto square = [c](int X, int Y, TColor Colour) {
        c->Pen()->SetColor(Colour);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Colour);
        c->Rectangle(X, Y, X + 2, Y + 2);
    };
    const int offsets[][2] = {{5, 4}, {9, 4}, {13, 4}, {13, 8}, {13, 12}, {9, 8}};
    const TColor light = MixColors(FCurrentStyler->PanelAppearanceDark()->Color(), clWhite, 50);
    for (const auto& o : offsets)
        square(L + o[0], B - o[1], light);
    for (const auto& o : offsets)
        square(L + o[0] - 1, B - o[1] - 1, FCurrentStyler->BorderColor());
}

void TKvxOfficeStatusBar::DrawPanelBackground(TKvxOfficeStatusPanel* Panel, const TRect& R) {
    TVistaBackground* a = Panel->AppearanceStyle() == psDark ? FCurrentStyler->PanelAppearanceDark()
                                                             : FCurrentStyler->PanelAppearanceLight();
    const int index = Panel->Index();
    TColor border, color, colorTo, mirror, mirrorTo;
    if (Panel->Button() && index == FDownPanel) {
        border = a->BorderColorDown(), color = a->ColorDown(), colorTo = a->ColorDownTo();
        mirror = a->ColorMirrorDown(), mirrorTo = a->ColorMirrorDownTo();
    } else if (Panel->Button() && index == FHotPanel) {
        border = a->BorderColorHot(), color = a->ColorHot(), colorTo = a->ColorHotTo();
        mirror = a->ColorMirrorHot(), mirrorTo = a->ColorMirrorHotTo();
    } else {
        border = a->BorderColor(), color = a->Color(), colorTo = a->ColorTo();
        mirror = a->ColorMirror(), mirrorTo = a->ColorMirrorTo();
    }
    TCanvas* c = Canvas();
    TRect tile = R;
    if (index > 0)
        tile.Left += 2;
    DrawOfficeTile(*c, tile, color, colorTo, mirror, mirrorTo, border);
    if (index == 0)
        return;
    const int t = R.Top, b = R.Bottom, m = t + (b - t) / 2;
    const TColor base = a->ColorTo();
    const TColor mix70 = MixColors(base, clWhite, 70), mix50 = MixColors(base, clWhite, 50),
                 mix10 = MixColors(base, clWhite, 10);
    const int x = R.Left;
    FillStepGradient(*c, mix70, base, 40, TRect(x, t, x + 1, m + 1), false);
    FillStepGradient(*c, base, mix70, 40, TRect(x, m, x + 1, b), false);
    FillStepGradient(*c, mix50, mix10, 40, TRect(x + 1, t, x + 2, m + 1), false);
    FillStepGradient(*c, mix10, mix50, 40, TRect(x + 1, m, x + 2, b), false);
}

void TKvxOfficeStatusBar::DrawPanelTextLine(TKvxOfficeStatusPanel* Panel, TAlignment Alignment,
                                            uint32_t Flags, const TRect& R, bool Ellipsis) {
    TRect calc;
    DrawPanelText(*Canvas(), Alignment, Flags, R, Panel->Text(), Canvas()->Font(), Enabled(), true,
                  FAntiAlias, Ellipsis, calc);
}

void TKvxOfficeStatusBar::DrawPanel(TKvxOfficeStatusPanel* Panel, const TRect& Rect) {
    if (Rect.Left >= Rect.Right || Rect.Top >= Rect.Bottom || !FCurrentStyler)
        return;
    TRect r = Rect;
    if (FStyler && FStyler->BorderColor() != clNone) {
        r.Top += 1;
        r.Bottom -= 1;
    }
    const TAlignment align = UseRightToLeftAlignment() ? taRightJustify : Panel->Alignment();
    DrawPanelBackground(Panel, r);
    r.Left += 2;
    r.Right -= 2;
    const int index = Panel->Index();
    if (IsSizeGripVisible() && index == FPanels->Count() - 1) {
        r.Right -= 15;
        if (r.Left >= r.Right)
            return;
    }
    TVistaBackground* a = Panel->AppearanceStyle() == psDark ? FCurrentStyler->PanelAppearanceDark()
                                                             : FCurrentStyler->PanelAppearanceLight();
    TCanvas* c = Canvas();
    c->SetFont(Font());
    c->Font()->SetStyle(a->TextStyle());
    TColor textColour = a->TextColor();
    if (Panel->Button() && index == FDownPanel)
        textColour = a->TextColorDown();
    else if (Panel->Button() && index == FHotPanel)
        textColour = a->TextColorHot();
    const TColor progressColour = textColour;
    c->Font()->SetColor(Panel->Enabled() ? textColour : kDisabledText);
    // Markup draws hidden blink text in the brush colour: the tile's colour where the text sits.
    c->Brush()->SetColor(a->ColorTo());
    c->Brush()->SetStyle(bsClear);

    auto alignFlags = [](TAlignment A) -> uint32_t {
        return A == taRightJustify ? uint32_t(DT_RIGHT) : A == taCenter ? uint32_t(DT_CENTER) : 0u;
    };
    auto drawImage = [&](TCustomImageList* List, int X, int Y, int Index, bool Enabled) {
        if (!Enabled && FDisabledImages)
            FDisabledImages->Draw(c, X, Y, Index, true);
        else
            List->Draw(c, X, Y, Index, Enabled);
    };

    switch (Panel->Style()) {
    case psHTML: {
        TRect r2(r.Left + Panel->HTMLOffsetX(), r.Top + Panel->HTMLOffsetY(), r.Right, r.Bottom);
        if (align != taLeftJustify) {
            TMarkupOptions measure;
            MarkupOptions(measure);
            measure.MeasureOnly = true;
            TMarkupResult m;
            DrawMarkupText(*c, Panel->Text(), r2, measure, m);
            const int w = m.MaxLineWidth;
            if (r2.Right - r2.Left > w) {
                if (align == taRightJustify)
                    r2.Left = r2.Right - w - Panel->HTMLOffsetX();
                else
                    r2.Left += (r2.Right - r2.Left - w) / 2;
            }
        }
        TMarkupOptions options;
        MarkupOptions(options);
        DrawMarkupText(*c, Panel->Text(), r2, options);
        break;
    }
    case psOwnerDraw:
        if (OnDrawPanel) {
            OnDrawPanel(this, Panel, Rect);
            break;
        }
        [[fallthrough]];
    case psText:
    case psTime:
    case psDate:
    case psNumLock:
    case psCapsLock:
    case psScrollLock: {
        TRect t = r;
        t.Left += 2;
        t.Right -= 2;
        DrawPanelTextLine(Panel, Panel->Alignment(),
                          DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | alignFlags(align), t,
                          true);
        break;
    }
    case psProgress: {
        TGaugeSettings s;
        TProgressStyle* p = Panel->Progress();
        s.Level0Color = p->Level0Color(), s.Level0ColorTo = p->Level0ColorTo();
        s.Level1Color = p->Level1Color(), s.Level1ColorTo = p->Level1ColorTo();
        s.Level2Color = p->Level2Color(), s.Level2ColorTo = p->Level2ColorTo();
        s.Level3Color = p->Level3Color(), s.Level3ColorTo = p->Level3ColorTo();
        s.Level1Perc = p->Level1Perc(), s.Level2Perc = p->Level2Perc();
        s.BorderColor = p->BorderColor();
        s.ShowBorder = p->ShowBorder(), s.Stacked = p->Stacked(), s.ShowPercentage = p->ShowPercentage();
        s.CompletionSmooth = p->CompletionSmooth(), s.ShowGradient = p->ShowGradient();
        TFont font;
        font.Assign(c->Font());
        font.SetColor(progressColour);
        s.Font = &font;
        s.Steps = 11;
        s.Position = p->Position();
        s.BackgroundColor = p->BackGround();
        s.IsPercent = p->Indication() == piPercentage;
        s.Suffix = p->Suffix(), s.Prefix = p->Prefix(), s.Text = Panel->Text();
        PaintProgressBar(*c, r, ProgressPercent(p->Min(), p->Max(), p->Position()), s);
        break;
    }
    case psImage: {
        if (FImages) {
            const int x = align == taRightJustify ? r.Right - FImages->Width() - 2 : r.Left + 2;
            const int y = r.Top + (r.Bottom - r.Top - FImages->Height()) / 2;
            drawImage(FImages, x, y, Panel->ImageIndex(), Panel->Enabled());
            if (align == taRightJustify)
                r.Right = x; // the text stays left of the image
            else
                r.Left = x + FImages->Width();
        }
        r.Left += 2;
        DrawPanelTextLine(Panel, align,
                          DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                              alignFlags(Panel->Alignment()),
                          r, true);
        break;
    }
    case psImageList:
        if (FImages) {
            for (int i = 0; i < Panel->ImageIndexes()->Count(); ++i) {
                r.Left += 2;
                const int y = r.Top + (r.Bottom - r.Top - FImages->Height()) / 2;
                drawImage(FImages, r.Left, y, StrToIntDef((*Panel->ImageIndexes())[i], -1), Panel->Enabled());
                r.Left += FImages->Width();
            }
        }
        break;
    case psAnimation:
        if (TCustomImageList* frames = Panel->AnimationImages()) {
            r.Left += 2;
            const int y = r.Top + (r.Bottom - r.Top - frames->Height()) / 2;
            frames->Draw(c, r.Left, y, Panel->Animated() ? Panel->AnimationIndex() : 0, true);
            r.Left += frames->Width();
        }
        r.Left += 2;
        DrawPanelTextLine(Panel, Panel->Alignment(),
                          DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                              alignFlags(Panel->Alignment()),
                          r, true);
        break;
    case psEllipsText:
    case psFileEllipsText: {
        const bool path = Panel->Style() == psFileEllipsText;
        uint32_t flags =
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (path ? DT_PATH_ELLIPSIS : DT_END_ELLIPSIS);
        if (align == taLeftJustify)
            r.Left += 2;
        flags |= alignFlags(align);
        DrawPanelTextLine(Panel, Panel->Alignment(), flags, r, !path);
        break;
    }
    }
}

// --- Timer and live panels -------------------------------------------------------------------------------

void TKvxOfficeStatusBar::CreateWnd() {
    TCustomControl::CreateWnd();
    if (Designing(this) && FPanels->Count() == 0)
        for (int w : {80, 100, 130, 50})
            FPanels->Add()->SetWidth(w);
    FTimerID = SetTimer(WindowHandle(), kTimerId, kTimerInterval);
}

void TKvxOfficeStatusBar::DestroyWnd() {
    if (FTimerID && HandleAllocated())
        KillTimer(WindowHandle(), FTimerID);
    FTimerID = 0;
    TCustomControl::DestroyWnd();
}

void TKvxOfficeStatusBar::Tick() {
    TimerTick();
    FTickCounter = FTickCounter + 1 > 10 ? 0 : FTickCounter + 1;
}

void TKvxOfficeStatusBar::TimerTick() {
    if (ComponentState() & csDestroying)
        return;
    const int n = FPanels->Count();
    for (int i = 0; i < n && i < FPanels->Count(); ++i) {
        TKvxOfficeStatusPanel* p = FPanels->GetItem(i);
        switch (p->Style()) {
        case psHTML:
            if ((FTickCounter == 5 || FTickCounter == 10) &&
                UpperCase(p->Text()).find("<BLINK") != std::string::npos) {
                const std::string text = p->Text();
                p->SetText("");
                p->SetText(text);
            }
            break;
        case psTime:
            p->SetText(FormatDateTime(p->TimeFormat(), SystemClock().LocalNow()));
            break;
        case psDate:
            p->SetText(FormatDateTime(p->DateFormat(), SystemClock().LocalNow()));
            break;
        case psNumLock:
            p->SetText(KeyToggled(VK_NUMLOCK) ? "NUM" : "");
            break;
        case psCapsLock:
            p->SetText(KeyToggled(VK_CAPITAL) ? "CAP" : "");
            break;
        case psScrollLock:
            p->SetText(KeyToggled(VK_SCROLL) ? "SCRL" : "");
            break;
        case psAnimation:
            if (TCustomImageList* frames = p->AnimationImages();
                frames && FTickCounter % (p->AnimationDelay() + 1) == 0) {
                // A list that shrank since the last step starts again at the first frame.
                p->FAnimationIndex = p->FAnimationIndex >= frames->Count() - 1 ? 0 : p->FAnimationIndex + 1;
                const std::string text = p->Text();
                p->SetText("*");
                p->SetText(text);
            }
            break;
        case psText:
        case psOwnerDraw:
        case psProgress:
        case psImage:
        case psImageList:
        case psEllipsText:
        case psFileEllipsText:
            break;
        }
    }
}

bool TKvxOfficeStatusBar::DoHint() {
    if (!OnHint)
        return false;
    OnHint(this);
    return true;
}

bool TKvxOfficeStatusBar::ShowApplicationHint(const std::string& HintText) {
    if (!FAutoHint || DoHint())
        return false;
    if (FSimplePanel || FPanels->Count() == 0)
        SetSimpleText(HintText);
    else
        FPanels->GetItem(0)->SetText(HintText);
    return true;
}

// --- Mouse, hints, links ---------------------------------------------------------------------------------

std::string TKvxOfficeStatusBar::AnchorAt(int X, int Y) {
    TRect r;
    std::string text;
    if (FSimplePanel) {
        text = FSimpleText;
        r = TRect(1, 1, Width() - 1, Height() - 1);
    } else {
        const int p = PanelAt(X);
        if (p < 0)
            return {};
        text = FPanels->GetItem(p)->Text();
        r = PanelRect(p);
    }
    if (text.empty())
        return {};
    TMarkupOptions options;
    MarkupOptions(options);
    options.NoDraw = true;
    options.X = X;
    options.Y = Y;
    TMarkupResult result;
    TCanvas* c = Canvas();
    c->SetFont(Font());
    if (DrawMarkupText(*c, text, r, options, result))
        return result.LinkTarget;
    return {};
}

void TKvxOfficeStatusBar::SetHotPanel(int Index) {
    if (Index == FHotPanel)
        return;
    const int old = std::exchange(FHotPanel, Index);
    if (old >= 0)
        InvalidatePanel(old);
    if (Index >= 0)
        InvalidatePanel(Index);
}

void TKvxOfficeStatusBar::SetDownPanel(int Index) {
    if (Index == FDownPanel)
        return;
    const int old = std::exchange(FDownPanel, Index);
    if (old >= 0)
        InvalidatePanel(old);
    if (Index >= 0)
        InvalidatePanel(Index);
}

void TKvxOfficeStatusBar::MouseMove(TShiftState Shift, int X, int Y) {
    if (Designing(this) && FDesignResizePanel >= 0 && FDesignResizePanel < FPanels->Count())
        FPanels->GetItem(FDesignResizePanel)->SetWidth(FDesignStartWidth + X - FDesignStartX);
    const std::string anchor = AnchorAt(X, Y);
    const int p = PanelAt(X);
    if (p != FHintPanel) {
        if (Application)
            Application->CancelHint();
        FHintPanel = p;
    }
    if (p < 0) {
        SetHotPanel(-1);
    } else if (p != FHotPanel) {
        const bool button = FPanels->GetItem(p)->Button() && Y > 0 && Y < Height();
        SetHotPanel(button ? p : -1);
    }
    if (!anchor.empty()) {
        if (Cursor() == crDefault || anchor != FLastAnchor) {
            FLastAnchor = anchor;
            SetCursor(crHandPoint);
            if (FAnchorHint && Application)
                Application->CancelHint();
            if (OnAnchorEnter)
                OnAnchorEnter(this, anchor);
        }
    } else if (Cursor() == crHandPoint) {
        SetCursor(crDefault);
        if (OnAnchorExit)
            OnAnchorExit(this, "");
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TKvxOfficeStatusBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    const int p = PanelAt(X);
    if (Designing(this)) {
        FDesignResizePanel = PanelEdgeAt(X);
        FDesignStartX = X;
        if (FDesignResizePanel >= 0)
            FDesignStartWidth = FPanels->GetItem(FDesignResizePanel)->Width();
    }
    if (p < 0) {
        SetDownPanel(-1);
    } else if (p != FDownPanel) {
        const bool button = FPanels->GetItem(p)->Button() && Y > 0 && Y < Height();
        SetDownPanel(button ? p : -1);
    }
    if (Button == mbLeft && OnPanelClick)
        OnPanelClick(this, p);
    else if (Button == mbRight && OnPanelRightClick)
        OnPanelRightClick(this, p);
    const std::string anchor = AnchorAt(X, Y);
    if (anchor.empty())
        return;
    if (anchor.find("://") != std::string::npos || anchor.find("mailto:") != std::string::npos)
        OpenLink(anchor); // the link service refuses anything but web and mail links
    else if (OnAnchorClick)
        OnAnchorClick(this, anchor);
}

void TKvxOfficeStatusBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    FDesignResizePanel = -1;
    SetDownPanel(-1);
}

void TKvxOfficeStatusBar::Resize() {
    TCustomControl::Resize();
    if (!(ComponentState() & csLoading))
        Invalidate();
}

void TKvxOfficeStatusBar::HintShow(TMessage& Message) {
    auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
    Message.Result = 0;
    if (!info || !FHintCarrier)
        return;
    const int p = PanelAt(info->CursorPos.X);
    if (p < 0)
        return;
    TKvxOfficeStatusPanel* panel = FPanels->GetItem(p);
    FHintCarrier->SetOfficeHint(panel->OfficeHint());
    if (panel->Style() == psHTML && FAnchorHint) {
        const std::string anchor = AnchorAt(info->CursorPos.X, info->CursorPos.Y);
        if (!anchor.empty()) {
            const TPoint screen = ClientToScreen(info->CursorPos);
            info->HintPos = TPoint(screen.X + 10, screen.Y - 10);
            FHintCarrier->OfficeHint()->SetTitle("");
            FHintCarrier->OfficeHint()->Notes()->SetText(anchor);
        }
    }
    info->HintControl = FHintCarrier;
}

void TKvxOfficeStatusBar::NCHitTest(TMessage& Message) {
    TCustomControl::Dispatch(Message);
    if (Designing(this))
        return;
    const TPoint p = ScreenToClient(TPoint(SignedLo(Message.LParam), SignedHi(Message.LParam)));
    const int W = Width(), H = Height();
    if (p.Y > H - GetSystemMetrics(SM_CYHSCROLL) && p.X > W - GetSystemMetrics(SM_CXHSCROLL) &&
        Message.Result == HTCLIENT && IsSizeGripVisible()) {
        SetWindowPos(WindowHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        Message.Result = HTBOTTOMRIGHT;
    } else if (p.Y > H - 4 || p.X > W - 4) {
        Message.Result = HTTRANSPARENT;
    }
}

void TKvxOfficeStatusBar::FlipChildren(bool) {
    const int n = FPanels->Count();
    if (!HandleAllocated() || FSimplePanel || n == 0)
        return;
    const int firstWidth = FPanels->GetItem(0)->Width();
    int others = 0;
    for (int i = 0; i < n - 1; ++i)
        others += FPanels->GetItem(i)->Width();
    const int lastWidth = ClientWidth() - others;
    // Moving the items themselves keeps every setting; copying them would lose what Assign leaves out.
    FPanels->BeginUpdate();
    {
        auto end = ScopeGuard([this] { FPanels->EndUpdate(); });
        std::vector<TKvxOfficeStatusPanel*> items;
        for (int i = 0; i < n; ++i)
            items.push_back(FPanels->GetItem(i));
        for (int i = 0; i < n; ++i)
            items[static_cast<size_t>(n - 1 - i)]->SetIndex(i);
    }
    if (n >= 2) {
        FPanels->GetItem(n - 1)->SetWidth(firstWidth);
        FPanels->GetItem(0)->SetWidth(lastWidth);
    }
}

void TKvxOfficeStatusBar::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_TIMER:
        Tick();
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_GETTEXTLENGTH:
        Message.Result = static_cast<LRESULT>(FSimpleText.size());
        return;
    case CM_HINTSHOW:
        HintShow(Message);
        return;
    case WM_NCHITTEST:
        NCHitTest(Message);
        return;
    case CM_MOUSELEAVE:
        TCustomControl::Dispatch(Message);
        SetDownPanel(-1);
        SetHotPanel(-1);
        return;
    case WM_LBUTTONDBLCLK:
        TCustomControl::Dispatch(Message);
        if (OnPanelDblClick)
            OnPanelDblClick(this, PanelAt(SignedLo(Message.LParam)));
        return;
    case CM_PARENTFONTCHANGED:
        // The parent's font and the system's hint font cannot both be followed.
        if (ParentFont())
            FUseSystemFont = false;
        TCustomControl::Dispatch(Message);
        return;
    case CM_SYSFONTCHANGED:
        TCustomControl::Dispatch(Message);
        ApplySystemFont();
        return;
    case WM_SETTINGCHANGE:
        TCustomControl::Dispatch(Message);
        if (Message.WParam == 0 || Message.WParam == 42)
            ApplySystemFont();
        return;
    case CM_DESIGNHITTEST: {
        const int x = SignedLo(Message.LParam);
        Message.Result = (PanelEdgeAt(x) >= 0 || FDesignResizePanel >= 0) ? 1 : 0;
        return;
    }
    default:
        TCustomControl::Dispatch(Message);
    }
}

} // namespace ui::statusbar
