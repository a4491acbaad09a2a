#include "platform/ui/Form.h"
#include "platform/rtl/MainThread.h"
#include "platform/ui/Cursor.h"

#include <algorithm>
#include <map>

#include "platform/rtl/FormText.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Application.h"
#include "platform/ui/ControlSupport.h"
#include "platform/ui/Input.h"
#include "platform/ui/MdiClient.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"

namespace plat {

namespace {

// A message of the modal loop's own: the test hook runs when it arrives.
constexpr UINT CM_RUNMODALHOOK = CM_BASE + 90;

std::map<std::string, std::string>& Resources() {
    static std::map<std::string, std::string> resources;
    return resources;
}

TModalHook& ModalHook() {
    static TModalHook hook;
    return hook;
}

TMenuShortCutHandler& MenuShortCut() {
    static TMenuShortCutHandler handler;
    return handler;
}

// Counts focus changes, so a focus message whose handler moved the focus elsewhere is noticed.
int GFocusCount = 0;

bool SendFocusMessage(TControl* target, UINT msg) {
    int count = GFocusCount;
    target->Perform(msg, 0, 0);
    return GFocusCount == count;
}

const char* const kFormBorderStyleNames[] = {"bsNone",   "bsSingle",     "bsSizeable",
                                             "bsDialog", "bsToolWindow", "bsSizeToolWin"};

static_assert(std::size(kFormBorderStyleNames) == bsSizeToolWin + 1);
const char* const kBorderIconNames[] = {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
static_assert(TBorderIcons(1) << (std::size(kBorderIconNames) - 1) == biHelp);
const char* const kFormStyleNames[] = {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"};
static_assert(std::size(kFormStyleNames) == fsStayOnTop + 1);
const char* const kPositionNames[] = {"poDesigned",        "poDefault",        "poDefaultPosOnly",
                                      "poDefaultSizeOnly", "poScreenCenter",   "poDesktopCenter",
                                      "poMainFormCenter",  "poOwnerFormCenter"};
static_assert(std::size(kPositionNames) == poOwnerFormCenter + 1);
const char* const kWindowStateNames[] = {"wsNormal", "wsMinimized", "wsMaximized"};
static_assert(std::size(kWindowStateNames) == wsMaximized + 1);
const char* const kTileModeNames[] = {"tbHorizontal", "tbVertical"};
static_assert(std::size(kTileModeNames) == tbVertical + 1);

} // namespace

void RegisterFormResource(const std::string& ClassName, std::string Text) {
    Resources()[UpperCase(ClassName)] = std::move(Text);
}

const std::string* FindFormResource(const std::string& ClassName) {
    auto& resources = Resources();
    auto it = resources.find(UpperCase(ClassName));
    if (it != resources.end())
        return &it->second;
    // Layouts compiled into the program are found by the class name too.
    if (const TEmbeddedResource* r = FindResource(ClassName, RT_FORM)) {
        auto& kept = resources[UpperCase(ClassName)];
        kept.assign(reinterpret_cast<const char*>(r->Data), r->Size);
        return &kept;
    }
    return nullptr;
}

void SetModalHook(TModalHook Hook) {
    ModalHook() = std::move(Hook);
}

static TFormMenuHooks& FormMenuHooks() {
    static TFormMenuHooks hooks;
    return hooks;
}

void SetFormMenuHooks(TFormMenuHooks Hooks) {
    FormMenuHooks() = std::move(Hooks);
}

void SetMenuShortCutHandler(TMenuShortCutHandler Handler) {
    MenuShortCut() = std::move(Handler);
}

PLAT_CLASS_INFO(TCustomForm, TScrollingWinControl)
PLAT_CLASS_INFO_CREATABLE(TForm, TCustomForm)

PLAT_PROPERTIES(TCustomForm) {
    props.Enum("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle, kFormBorderStyleNames,
               bsSizeable);
    props.Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons, kBorderIconNames,
              TBorderIcons(biSystemMenu | biMinimize | biMaximize));
    props.String("Caption", &TCustomForm::Caption, &TCustomForm::SetCaption);
    props.Integer("ClientWidth", &TCustomForm::ClientWidthProp, &TCustomForm::SetClientWidthProp);
    props.Integer("ClientHeight", &TCustomForm::ClientHeightProp, &TCustomForm::SetClientHeightProp);
    props.Enum("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle, kFormStyleNames, fsNormal);
    props.Enum("Position", &TCustomForm::Position, &TCustomForm::SetPosition, kPositionNames, poDesigned);
    props.Enum("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState, kWindowStateNames,
               wsNormal);
    props.Enum("TileMode", &TCustomForm::TileMode, &TCustomForm::SetTileMode, kTileModeNames, tbHorizontal);
    props.Boolean("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview, false);
    props.Boolean("Visible", &TCustomForm::VisibleProp, &TCustomForm::SetVisibleFromStream, false);
    props.Component("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
    props.Component("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
    props.Component("WindowMenu", &TCustomForm::WindowMenu, &TCustomForm::SetWindowMenu);
    props.Integer("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch);
    props.Integer("TextHeight", &TCustomForm::TextHeight, &TCustomForm::SetTextHeight);
    props.Boolean("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled, true);
    props.Boolean("OldCreateOrder", &TCustomForm::OldCreateOrder, &TCustomForm::SetOldCreateOrder, false);
    props.Boolean("AutoScroll", &TCustomForm::AutoScroll, &TCustomForm::SetAutoScroll, false);
    props.Default("Color", clBtnFace);
    props.Default("ParentColor", false);
    props.Default("ParentFont", false);
    props.Hide("Align");
    props.Hide("Anchors");
    props.Hide("TabOrder");
    props.Hide("TabStop");
    props.Event("OnActivate", &TCustomForm::OnActivate);
    props.Event("OnDeactivate", &TCustomForm::OnDeactivate);
    props.Event("OnClose", &TCustomForm::OnClose);
    props.Event("OnCloseQuery", &TCustomForm::OnCloseQuery);
    props.Event("OnCreate", &TCustomForm::OnCreate);
    props.Event("OnDestroy", &TCustomForm::OnDestroy);
    props.Event("OnShow", &TCustomForm::OnShow);
    props.Event("OnHide", &TCustomForm::OnHide);
    props.Event("OnPaint", &TCustomForm::OnPaint);
    props.Event("OnShortCut", &TCustomForm::OnShortCut);
}

TCustomForm::TCustomForm(TComponent* AOwner) : TScrollingWinControl(AOwner) {
    FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    // Forms scroll only when asked to.
    SetAutoScroll(false);
    FIcon = std::make_unique<TIcon>();
    FIcon->OnChange = [this](TObject*) { IconChanged(); };
    FVisible = false;
    SetParentFont(false);
    SetParentColor(false);
    FColor = clBtnFace;
    FBrush->SetColor(clBtnFace);
    FWidth = 320;
    FHeight = 240;
    FCanvas = std::make_unique<TControlCanvas>();
    FCanvas->SetControl(this);
    if (Screen)
        Screen->AddForm(this);
}

TForm::TForm(TComponent* AOwner) : TCustomForm(AOwner) {
    // The screen's list of TForms sees the form only now that it is one.
    if (Screen)
        Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
    TCustomForm::BeforeDestruction();
    // The window outlives the form's members here: it lets go of the icon before the icon goes.
    if (FHandle && IsWindow(FHandle)) {
        SendMessage(FHandle, WM_SETICON, ICON_BIG, 0);
        SendMessage(FHandle, WM_SETICON, ICON_SMALL, 0);
    }
    if (FCanvas)
        FCanvas->FreeHandle();
    if (Screen)
        Screen->RemoveForm(this);
}

void TCustomForm::BeforeDestruction() {
    if (!(ComponentState() & csDestroying)) {
        if (!(FFormState & fsCreating) || true)
            DoDestroy();
        // Hide first, so the window manager and the MDI client pass activation on while the form is
        // still whole.
        if (FHandle && IsWindowVisible(FHandle))
            ShowWindow(FHandle, SW_HIDE);
    }
    if (Screen)
        Screen->RemoveForm(this);
    if (Application && Application->MainForm() == this)
        Application->SetMainForm(nullptr);
    TScrollingWinControl::BeforeDestruction();
}

void TCustomForm::AfterConstruction() {
    {
        TemporaryFlags creating(FFormState, fsCreating);
        if (const std::string* text = FindFormResource(ClassName()))
            ReadComponentFromText(*text, this);
    }
    if (!FOldCreateOrder)
        DoCreate();
    if (FFormStyle == fsMDIChild)
        FFormState |= fsVisible;
    if (FFormState & fsVisible) {
        FFormState &= ~fsVisible;
        SetVisible(true);
    }
}

// OnCreate and OnDestroy run inside construction and destruction, where an exception must not escape
// while there is an application to report it.
static void CallReportingErrors(TCustomForm* Form, const TNotifyEvent& Event) {
    try {
        if (Event)
            Event(Form);
    } catch (...) {
        if (!Application)
            throw;
        Application->HandleException(Form);
    }
}

void TCustomForm::DoCreate() {
    CallReportingErrors(this, OnCreate);
}

void TCustomForm::DoDestroy() {
    CallReportingErrors(this, OnDestroy);
}

void TCustomForm::DoShow() {
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide)
        OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::Activate() {
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (OnDeactivate)
        OnDeactivate(this);
}

void TCustomForm::Paint() {
    if (OnPaint)
        OnPaint(this);
}

TCanvas* TCustomForm::Canvas() const {
    return FCanvas.get();
}

void TCustomForm::PaintWindow(HDC DC) {
    TCanvasPaintScope scope(*FCanvas, DC);
    Paint();
}

void TCustomForm::Loaded() {
    TScrollingWinControl::Loaded();
    if (FClientWidth > 0 || FClientHeight > 0) {
        TRect c = ClientRect();
        int w = FClientWidth > 0 ? FClientWidth : c.Width();
        int h = FClientHeight > 0 ? FClientHeight : c.Height();
        FClientWidth = FClientHeight = 0;
        SetClientSize(TSize(w, h));
    }
    if (FActiveControl && !FActiveControl->CanFocus())
        FActiveControl = nullptr;
    // A layout read into a form that already exists may say Visible = True; while it was read the form
    // could not show, and showing it again later would be taken for no change.
    if (FVisible && !(FFormState & fsCreating))
        UpdateControlState();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TScrollingWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FMenu)
        FMenu = nullptr;
    if (AComponent == FWindowMenu)
        FWindowMenu = nullptr;
    if (AComponent == FActiveControl)
        FActiveControl = nullptr;
    if (AComponent == FFocusedControl)
        FFocusedControl = nullptr;
}

void TCustomForm::SetMenu(TComponent* Value) {
    FMenu = Value;
    if (Value)
        Value->FreeNotification(this);
    // The menu bar lives in the frame: the client area changes with it.
    if (FHandle)
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowMenu(TComponent* Value) {
    FWindowMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TCustomForm::SetVisibleFromStream(bool Value) {
    if (FFormState & fsCreating) {
        if (Value)
            FFormState |= fsVisible;
        else
            FFormState &= ~fsVisible;
        return;
    }
    SetVisible(Value);
}

void TCustomForm::SetClientWidthProp(int Value) {
    if (ComponentState() & csLoading) {
        FClientWidth = Value;
        return;
    }
    SetClientWidth(Value);
}

void TCustomForm::SetClientHeightProp(int Value) {
    if (ComponentState() & csLoading) {
        FClientHeight = Value;
        return;
    }
    SetClientHeight(Value);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    if (!(ComponentState() & csLoading))
        RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (FBorderIcons == Value)
        return;
    FBorderIcons = Value;
    if (!(ComponentState() & csLoading))
        RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (FFormStyle == Value)
        return;
    if ((Value == fsMDIChild || FFormStyle == fsMDIChild || Value == fsMDIForm || FFormStyle == fsMDIForm) &&
        FHandle && !(ComponentState() & csLoading)) {
        TFormStyle old = FFormStyle;
        FFormStyle = Value;
        bool visible = FVisible;
        DestroyHandle();
        (void)old;
        if (visible)
            UpdateShowing();
        return;
    }
    FFormStyle = Value;
    if (Value == fsMDIChild && !(ComponentState() & csLoading))
        SetVisible(true);
    if (FHandle && (Value == fsStayOnTop || Value == fsNormal))
        SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TCustomForm::WindowState() const {
    if (FHandle && !(FFormState & fsShowing)) {
        if (IsIconic(FHandle))
            return wsMinimized;
        if (IsZoomed(FHandle))
            return wsMaximized;
        if (IsWindowVisible(FHandle))
            return wsNormal;
    }
    return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value) {
    FWindowState = Value;
    if (!FHandle || !IsWindowVisible(FHandle))
        return;
    switch (Value) {
    case wsMinimized:
        if (FFormStyle == fsMDIChild)
            SendMessage(FHandle, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        else
            ShowWindow(FHandle, SW_MINIMIZE);
        break;
    case wsMaximized:
        if (FFormStyle == fsMDIChild && MDIFrame())
            SendMessage(MDIFrame()->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(FHandle), 0);
        else
            ShowWindow(FHandle, SW_MAXIMIZE);
        break;
    case wsNormal:
        ShowWindow(FHandle, SW_RESTORE);
        break;
    }
}

TRect TCustomForm::ClientRect() const {
    if (FHandle)
        return TScrollingWinControl::ClientRect();
    TCreateParams params;
    const_cast<TCustomForm*>(this)->CreateParamsForStyle(params);
    TRect c = ClientRectOfStyle(params.Style, params.ExStyle, FFormStyle != fsMDIChild && !FParent,
                                TSize(FWidth, FHeight));
    if (FMenu && FormMenuHooks().BarHeight)
        c.Top = std::min(c.Bottom, c.Top + FormMenuHooks().BarHeight(this));
    return TRect(0, 0, c.Width(), c.Height());
}

TCustomForm* TCustomForm::MDIFrame() const {
    if (Application && Application->MainForm() && Application->MainForm()->FFormStyle == fsMDIForm)
        return Application->MainForm();
    if (auto* owner = dynamic_cast<TCustomForm*>(Owner()); owner && owner->FFormStyle == fsMDIForm)
        return owner;
    if (Screen)
        for (int i = 0; i < Screen->CustomFormCount(); ++i)
            if (Screen->CustomForms(i)->FFormStyle == fsMDIForm)
                return Screen->CustomForms(i);
    return nullptr;
}

void TCustomForm::CreateParamsForStyle(TCreateParams& Params) {
    Params.Style = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    Params.ExStyle = 0;
    switch (FBorderStyle) {
    case bsNone:
        if (!FParent && FFormStyle != fsMDIChild)
            Params.Style |= WS_POPUP;
        break;
    case bsSingle:
        Params.Style |= WS_CAPTION | WS_BORDER;
        break;
    case bsSizeable:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        break;
    case bsDialog:
        Params.Style |= WS_POPUP | WS_CAPTION;
        Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
        Params.Style |= WS_CAPTION;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (FBorderStyle != bsNone) {
        if (FBorderIcons & biSystemMenu)
            Params.Style |= WS_SYSMENU;
        if (FBorderStyle != bsDialog && FBorderStyle != bsToolWindow && FBorderStyle != bsSizeToolWin) {
            if (FBorderIcons & biMinimize)
                Params.Style |= WS_MINIMIZEBOX;
            if (FBorderIcons & biMaximize)
                Params.Style |= WS_MAXIMIZEBOX;
        }
    }
    if (FFormStyle == fsMDIChild) {
        Params.Style |= WS_CHILD;
        Params.ExStyle |= WS_EX_MDICHILD;
    } else if (FParent) {
        Params.Style |= WS_CHILD;
    }
    if (FFormStyle == fsStayOnTop && !FParent)
        Params.ExStyle |= WS_EX_TOPMOST;
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    TScrollingWinControl::CreateParams(Params);
    uint32_t disabled = Params.Style & WS_DISABLED;
    TCreateParams style;
    CreateParamsForStyle(style);
    Params.Style = style.Style | disabled;
    Params.ExStyle = style.ExStyle | (Params.ExStyle & WS_EX_CONTROLPARENT);
    Params.WindowClass.Style = CS_DBLCLKS;
    if (FFormStyle == fsMDIChild) {
        TCustomForm* frame = MDIFrame();
        if (!frame)
            throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
        Params.WndParent = frame->Handle() ? frame->ClientHandle() : nullptr;
        Params.WindowClass.WndProc = DefMDIChildProc;
        if (FPosition == poDefault || FPosition == poDefaultPosOnly) {
            int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
            int k = static_cast<int>(MdiChildWindows(Params.WndParent).size()) % 8;
            Params.X = Params.Y = k * step;
        }
    } else if (!FParent) {
        if (FParentWindow) {
            Params.WndParent = FParentWindow;
        } else if (FFormState & fsModal) {
            Params.WndParent = GetActiveWindow();
        } else if (Application && Application->MainForm() && Application->MainForm() != this &&
                   Application->MainForm()->HandleAllocated()) {
            Params.WndParent = Application->MainForm()->WindowHandle();
        } else {
            Params.WndParent = nullptr;
        }
        if (FPosition == poDefault || FPosition == poDefaultPosOnly)
            Params.X = Params.Y = CW_USEDEFAULT;
        if (FPosition == poDefault || FPosition == poDefaultSizeOnly)
            Params.Width = Params.Height = CW_USEDEFAULT;
    }
    Params.WindowClass.Cursor = LoadCursor(IDC_ARROW);
}

void TCustomForm::CreateWnd() {
    TScrollingWinControl::CreateWnd();
    SendIcons();
    if (FFormStyle == fsMDIForm) {
        RegisterMdiClientClass();
        TRect c;
        GetClientRect(FHandle, c);
        FClientHandle = CreateWindowEx(WS_EX_CLIENTEDGE, MDICLIENT_CLASS, "",
                                       WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                                       c.Width(), c.Height(), FHandle, 0xCAC, nullptr);
        SetWindowPos(FClientHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Realign();
    }
    if (FFormStyle == fsMDIChild)
        FFormState |= fsCreatedMDIChild;
    if (FFormStyle == fsStayOnTop && !FParent)
        SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::DestroyWindowHandle() {
    FClientHandle = nullptr;
    TScrollingWinControl::DestroyWindowHandle();
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect) {
    TScrollingWinControl::AlignControls(AControl, Rect);
    if (FClientHandle && IsWindow(FClientHandle))
        SetWindowPos(FClientHandle, HWND_BOTTOM, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(),
                     SWP_NOACTIVATE);
}

HICON TCustomForm::GetIconHandle() const {
    if (FIconHandle)
        return FIconHandle.get();
    return Application ? Application->GetIconHandle() : nullptr;
}

void TCustomForm::IconChanged() {
    // The window takes the new handle before the old one is freed.
    std::unique_ptr<TIconHandle> old = std::move(FIconHandle);
    FIconHandle = CreateIconHandle(*FIcon);
    SendIcons();
}

void TCustomForm::ApplicationIconChanged() {
    if (!FIconHandle)
        SendIcons();
}

void TCustomForm::SendIcons() {
    if (!FHandle)
        return;
    HICON icon = GetIconHandle();
    SendMessage(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

// ---- Showing ---------------------------------------------------------------------------------------------

void TCustomForm::Show() {
    SetVisible(true);
    if (FFormStyle == fsMDIChild) {
        if (TCustomForm* frame = MDIFrame(); frame && frame->FClientHandle && FHandle)
            SendMessage(frame->FClientHandle, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FHandle), 0);
    } else if (FHandle && !FParent) {
        BringWindowToTop(FHandle);
        if (IsWindowEnabled(FHandle))
            SetActiveWindow(FHandle);
    }
}

void TCustomForm::Hide() {
    SetVisible(false);
}

void TCustomForm::PlaceOnShow() {
    if (FPositioned || FParent)
        return;
    FPositioned = true;
    if (FFormStyle == fsMDIChild)
        return;
    TRect work = Screen ? Screen->WorkAreaRect() : TRect(0, 0, 1920, 1080);
    auto centerOn = [&](const TRect& r) {
        return TPoint(r.Left + (r.Width() - FWidth) / 2, r.Top + (r.Height() - FHeight) / 2);
    };
    TPoint pos(FLeft, FTop);
    bool place = true;
    switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
        pos = centerOn(work);
        break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm* over = nullptr;
        if (FPosition == poOwnerFormCenter)
            over = dynamic_cast<TCustomForm*>(Owner());
        if ((!over || over == this) && Application)
            over = Application->MainForm();
        if (over && over != this && over->Visible())
            pos = centerOn(over->BoundsRect());
        else
            pos = centerOn(work);
        break;
    }
    default:
        place = false;
        break;
    }
    if (!place)
        return;
    pos.X = std::max(work.Left, std::min(pos.X, work.Right - FWidth));
    pos.Y = std::max(work.Top, std::min(pos.Y, work.Bottom - FHeight));
    SetBounds(pos.X, pos.Y, FWidth, FHeight);
}

void TCustomForm::CMShowingChanged(TMessage& Message) {
    if (FFormState & fsShowing)
        throw EInvalidOperation("Cannot change Visible in OnShow or OnHide");
    TemporaryFlags showing(FFormState, fsShowing);
    if (Showing()) {
        DoShow();
        PlaceOnShow();
        if (FFormStyle == fsMDIChild) {
            TCustomForm* frame = MDIFrame();
            HWND client = frame ? frame->FClientHandle : nullptr;
            bool frameMaximized = false;
            if (client)
                SendMessage(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&frameMaximized));
            if (FWindowState == wsMaximized || frameMaximized)
                ShowWindow(FHandle, SW_MAXIMIZE);
            else if (FWindowState == wsMinimized)
                ShowWindow(FHandle, SW_SHOWMINNOACTIVE);
            else
                ShowWindow(FHandle, SW_SHOWNA);
            if (client && FWindowState != wsMinimized)
                SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FHandle), 0);
        } else if (FParent) {
            TScrollingWinControl::CMShowingChanged(Message);
        } else {
            int cmd = FWindowState == wsMaximized   ? SW_SHOWMAXIMIZED
                      : FWindowState == wsMinimized ? SW_SHOWMINIMIZED
                                                    : SW_SHOWNORMAL;
            ShowWindow(FHandle, cmd);
        }
    } else {
        DoHide();
        if (FParent && FFormStyle != fsMDIChild)
            TScrollingWinControl::CMShowingChanged(Message);
        else
            ShowWindow(FHandle, SW_HIDE);
    }
}

int TCustomForm::ShowModal() {
    if (FVisible || !FEnabled || (FFormState & fsModal) || FFormStyle == fsMDIChild)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (HWND cap = GetCapture())
        SendMessage(cap, WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    // Everything the modal state changes comes back however the loop ends (a result, the program's end,
    // a handler or hook that raises, the form freed by a handler), newest change first. A form that was
    // freed (the loop is no longer Alive) is not touched. The restorers use these, so they come first.
    HWND activeWindow = GetActiveWindow();
    std::vector<HWND> windows;
    TModalLoop loop;
    loop.Watch(this);
    loop.OnExit([&] {
        if (loop.Alive())
            FFormState &= ~fsModal;
    });
    FFormState |= fsModal;
    loop.Change(GFocusCount, GFocusCount);
    loop.OnExit([&] {
        if (activeWindow && IsWindow(activeWindow))
            SetActiveWindow(activeWindow);
    });
    if (Screen) {
        Screen->SaveFocusedList().insert(Screen->SaveFocusedList().begin(), Screen->FocusedForm());
        Screen->SetFocusedForm(this);
        loop.OnExit([] {
            if (!Screen)
                return;
            auto& list = Screen->SaveFocusedList();
            if (!list.empty()) {
                Screen->SetFocusedForm(list.front());
                list.erase(list.begin());
            } else {
                Screen->SetFocusedForm(nullptr);
            }
        });
    }
    if (Application)
        windows = Application->DisableTaskWindows(nullptr);
    loop.OnExit([&] {
        if (Application)
            Application->EnableTaskWindows(windows);
    });
    if (Screen) {
        TCursor saveCursor = Screen->Cursor();
        int saveCount = Screen->CursorCount();
        Screen->SetCursor(crDefault);
        loop.OnExit([saveCursor, saveCount] {
            if (!Screen)
                return;
            if (Screen->CursorCount() == saveCount + 1)
                Screen->SetCursor(saveCursor);
            else
                Screen->SetCursor(crDefault);
        });
    }
    // A window made while not modal keeps the owner it had; a modal one is owned by the window that was
    // active.
    if (FHandle && activeWindow && activeWindow != FHandle)
        SetWindowLongPtr(FHandle, GWL_HWNDPARENT, reinterpret_cast<LONG_PTR>(activeWindow));
    Show();
    loop.OnExit([&] {
        if (loop.Alive())
            Hide();
    });
    SendMessage(Handle(), CM_ACTIVATE, 0, 0);
    FModalResult = mrNone;
    if (ModalHook())
        PostMessage(FHandle, CM_RUNMODALHOOK, 0, 0);
    do {
        Application->HandleMessage();
        if (!loop.Alive())
            return mrCancel; // freed by a handler
        if (Application->Terminated())
            FModalResult = mrCancel;
        else if (FModalResult != mrNone)
            CloseModal();
    } while (FModalResult == mrNone);
    int result = FModalResult;
    if (FHandle)
        SendMessage(FHandle, CM_DEACTIVATE, 0, 0);
    if (GetActiveWindow() != FHandle)
        activeWindow = nullptr;
    return result;
}

void TCustomForm::CloseModal() {
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    switch (action) {
    case caNone:
        FModalResult = mrNone;
        break;
    case caFree:
        Release();
        break;
    default:
        break;
    }
}

bool TCustomForm::CloseQuery() {
    if (FFormStyle == fsMDIForm) {
        for (int i = 0; i < MDIChildCount(); ++i)
            if (!MDIChildren(i)->CloseQuery())
                return false;
    }
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (FFormState & fsModal) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action;
    if (FFormStyle == fsMDIChild)
        action = (FBorderIcons & biMinimize) ? caMinimize : caNone;
    else
        action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else if (action == caHide)
        Hide();
    else if (action == caMinimize)
        SetWindowState(wsMinimized);
    else
        Release();
}

void TCustomForm::Release() {
    if (FHandle)
        PostMessage(FHandle, CM_RELEASE, 0, 0);
    else
        QueueInMainThread([this] { Free(); }, this);
}

bool TCustomForm::CanFocus() const {
    return FVisible && FEnabled;
}

void TCustomForm::SetFocus() {
    if (!FActive) {
        if (!(FVisible && FEnabled))
            throw EInvalidOperation("Cannot focus a disabled or invisible window");
        SetWindowFocus();
    }
}

// ---- Focus --------------------------------------------------------------------------------------------

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (FActiveControl == Control)
        return;
    if (Control && !(Control != this && GetParentForm(Control) == this &&
                     ((ComponentState() & csLoading) || Control->CanFocus())))
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    FActiveControl = Control;
    if (Control)
        Control->FreeNotification(this);
    if (!(ComponentState() & csLoading) && FActive)
        SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) {
    bool wasActive = FActive;
    SetActiveControl(Control);
    if (!wasActive)
        SetFocus();
}

void TCustomForm::SetActive(bool Value) {
    FActive = Value;
    if (Value) {
        if (!FActiveControl && FFormStyle != fsMDIForm)
            FActiveControl = FindNextControl(nullptr, true, true, false);
        SetWindowFocus();
    }
}

void TCustomForm::SetWindowFocus() {
    HWND focus = nullptr;
    // A frame's own control (on its toolbar, say) that was given the focus keeps it; otherwise the
    // frame passes the focus on to its active document window.
    if (FActiveControl && FActiveControl->CanFocus()) {
        focus = FActiveControl->Handle();
    } else if (FFormStyle == fsMDIForm) {
        if (TCustomForm* child = ActiveMDIChild())
            focus = child->Handle();
    }
    if (!focus)
        focus = Handle();
    if (focus && focus != GetFocus())
        ::plat::SetFocus(focus);
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
    if (!Control || (Control->ComponentState() & csDestroying))
        return false;
    ++GFocusCount;
    if (FFormStyle == fsMDIChild && FHandle) {
        TCustomForm* frame = MDIFrame();
        if (frame && frame->FClientHandle &&
            reinterpret_cast<HWND>(SendMessage(frame->FClientHandle, WM_MDIGETACTIVE, 0, 0)) != FHandle)
            SendMessage(frame->FClientHandle, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FHandle), 0);
        // The focus left the frame's own controls for a document window: the frame, activated again,
        // gives it back to the document window.
        if (frame)
            frame->FActiveControl = nullptr;
    }
    if (Screen) {
        Screen->MoveFormToFocusFront(this);
        if (Screen->FocusedForm() != this) {
            if (TCustomForm* old = Screen->FocusedForm()) {
                Screen->SetFocusedForm(nullptr);
                if (!SendFocusMessage(old, CM_DEACTIVATE))
                    return false;
            }
            Screen->SetFocusedForm(this);
            if (!SendFocusMessage(this, CM_ACTIVATE))
                return false;
        }
    }
    if (!FFocusedControl)
        FFocusedControl = this;
    if (FFocusedControl != Control) {
        while (FFocusedControl && !FFocusedControl->ContainsControl(Control)) {
            TWinControl* leaving = FFocusedControl;
            FFocusedControl = leaving->Parent();
            if (!SendFocusMessage(leaving, CM_EXIT))
                return false;
        }
        while (FFocusedControl != Control) {
            TWinControl* c = Control;
            while (c->Parent() != FFocusedControl)
                c = c->Parent();
            FFocusedControl = c;
            if (!SendFocusMessage(c, CM_ENTER))
                return false;
        }
        Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    }
    if (Control != this) {
        FActiveControl = Control;
        Control->FreeNotification(this);
    }
    if (Screen)
        Screen->SetFocusState(this, Control);
    return true;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
    if (Removing && FFocusedControl && Control->ContainsControl(FFocusedControl))
        FFocusedControl = Control->Parent();
    if (FActiveControl && Control->ContainsControl(FActiveControl)) {
        FActiveControl = nullptr;
    }
}

void TCustomForm::SendCancelMode(TControl* Sender) {
    if (FActive && FActiveControl)
        FActiveControl->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
    if (FFormStyle == fsMDIForm)
        if (TCustomForm* child = ActiveMDIChild())
            child->SendCancelMode(Sender);
}

bool TCustomForm::IsShortCut(TMessage& Message) {
    bool handled = false;
    if (OnShortCut)
        OnShortCut(Message, handled);
    if (!handled && FMenu && MenuShortCut())
        handled = MenuShortCut()(FMenu, Message);
    if (!handled && FormMenuHooks().ShortCut)
        handled = FormMenuHooks().ShortCut(this, Message);
    return handled;
}

// ---- MDI ------------------------------------------------------------------------------------------------

TCustomForm* TCustomForm::ActiveMDIChild() const {
    if (FFormStyle != fsMDIForm || !FClientHandle)
        return nullptr;
    auto* w = FindControl(reinterpret_cast<HWND>(SendMessage(FClientHandle, WM_MDIGETACTIVE, 0, 0)));
    return dynamic_cast<TCustomForm*>(w);
}

int TCustomForm::MDIChildCount() const {
    int n = 0;
    if (FFormStyle == fsMDIForm && FClientHandle && Screen)
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (Screen->Forms(i)->FFormStyle == fsMDIChild && Screen->Forms(i)->FHandle &&
                GetParent(Screen->Forms(i)->FHandle) == FClientHandle)
                ++n;
    return n;
}

TCustomForm* TCustomForm::MDIChildren(int Index) const {
    if (FFormStyle == fsMDIForm && FClientHandle && Screen)
        for (int i = 0; i < Screen->FormCount(); ++i) {
            TForm* f = Screen->Forms(i);
            if (f->FFormStyle == fsMDIChild && f->FHandle && GetParent(f->FHandle) == FClientHandle) {
                if (Index == 0)
                    return f;
                --Index;
            }
        }
    return nullptr;
}

void TCustomForm::Cascade() {
    if (FFormStyle == fsMDIForm && FClientHandle)
        SendMessage(FClientHandle, WM_MDICASCADE, 0, 0);
}

void TCustomForm::Tile() {
    if (FFormStyle == fsMDIForm && FClientHandle)
        SendMessage(FClientHandle, WM_MDITILE,
                    FTileMode == tbHorizontal ? MDITILE_HORIZONTAL : MDITILE_VERTICAL, 0);
}

void TCustomForm::ArrangeIcons() {
    if (FFormStyle == fsMDIForm && FClientHandle)
        SendMessage(FClientHandle, WM_MDIICONARRANGE, 0, 0);
}

void TCustomForm::Next() {
    if (FFormStyle == fsMDIForm && FClientHandle)
        SendMessage(FClientHandle, WM_MDINEXT, 0, 0);
}

void TCustomForm::Previous() {
    if (FFormStyle == fsMDIForm && FClientHandle)
        SendMessage(FClientHandle, WM_MDINEXT, 0, 1);
}

// ---- Messages ------------------------------------------------------------------------------------------

void TCustomForm::WMActivate(TMessage& Message) {
    SetActive(LOWORD(Message.WParam) != WA_INACTIVE);
}

void TCustomForm::WMMDIActivate(TMessage& Message) {
    DefaultHandler(Message);
    if (FFormStyle != fsMDIChild)
        return;
    bool active = reinterpret_cast<HWND>(Message.LParam) == FHandle;
    FActive = active;
    if (!active)
        return;
    TCustomForm* frame = MDIFrame();
    if (frame && frame->FHandle && GetActiveWindow() == frame->FHandle) {
        if (!FActiveControl)
            FActiveControl = FindNextControl(nullptr, true, true, false);
        SetWindowFocus();
    }
}

void TCustomForm::WMClose(TMessage&) {
    Close();
}

void TCustomForm::WMSysCommand(TMessage& Message) {
    if ((Message.WParam & 0xFFF0) == SC_MINIMIZE)
        FWindowState = wsMinimized;
    else if ((Message.WParam & 0xFFF0) == SC_MAXIMIZE)
        FWindowState = wsMaximized;
    else if ((Message.WParam & 0xFFF0) == SC_RESTORE)
        FWindowState = wsNormal;
    DefaultHandler(Message);
}

void TCustomForm::CMDialogKey(TMessage& Message) {
    if (GetKeyState(VK_MENU) >= 0) {
        switch (Message.WParam) {
        case VK_TAB:
            if (GetKeyState(VK_CONTROL) >= 0) {
                SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
                Message.Result = 1;
                return;
            }
            if (FFormStyle == fsMDIChild) {
                if (TCustomForm* frame = MDIFrame()) {
                    GetKeyState(VK_SHIFT) >= 0 ? frame->Next() : frame->Previous();
                    Message.Result = 1;
                    return;
                }
            }
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            if (FActiveControl && FActiveControl->Parent()) {
                FActiveControl->Parent()->SelectNext(
                    FActiveControl, Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN, false);
                Message.Result = 1;
            }
            return;
        }
    }
    TScrollingWinControl::Dispatch(Message);
}

void TCustomForm::Dispatch(TMessage& Message) {
    if (FMenu && FormMenuHooks().Message && FormMenuHooks().Message(this, Message))
        return;
    switch (Message.Msg) {
    case WM_ACTIVATE:
        WMActivate(Message);
        break;
    case WM_MDIACTIVATE:
        WMMDIActivate(Message);
        break;
    case WM_ACTIVATEAPP:
        if (Application)
            Application->ActivateChanged(Message.WParam != 0);
        TScrollingWinControl::Dispatch(Message);
        break;
    case WM_NCACTIVATE:
        TScrollingWinControl::Dispatch(Message);
        // The active MDI child's caption follows the frame's.
        if (FFormStyle == fsMDIForm)
            if (TCustomForm* child = ActiveMDIChild())
                SendMessage(child->Handle(), WM_NCACTIVATE, Message.WParam, 0);
        break;
    case WM_CLOSE:
        WMClose(Message);
        break;
    case WM_SYSCOMMAND:
        WMSysCommand(Message);
        break;
    case WM_SETFOCUS:
        TScrollingWinControl::Dispatch(Message);
        // The form itself got the focus: it passes it on to its active control or MDI child.
        if (FHandle && GetFocus() == FHandle) {
            if (FFormStyle == fsMDIForm) {
                if (TCustomForm* child = ActiveMDIChild())
                    ::plat::SetFocus(child->Handle());
            } else if (FActiveControl && FActiveControl != this && FActiveControl->CanFocus()) {
                ::plat::SetFocus(FActiveControl->Handle());
            }
        }
        break;
    case WM_PAINT: {
        TemporaryFlags painting(FControlState, csCustomPaint);
        TScrollingWinControl::Dispatch(Message);
        break;
    }
    case CM_SHOWINGCHANGED:
        CMShowingChanged(Message);
        break;
    case CM_ACTIVATE:
        Activate();
        break;
    case CM_DEACTIVATE:
        Deactivate();
        break;
    case CM_DIALOGKEY:
        CMDialogKey(Message);
        break;
    case CM_ISSHORTCUT:
        Message.Result = IsShortCut(Message) ? 1 : 0;
        break;
    case CM_RELEASE:
        Free();
        break;
    case CM_RUNMODALHOOK:
        if (ModalHook()) {
            TModalHook hook = ModalHook();
            hook(*this);
        }
        break;
    case CM_TEXTCHANGED:
        TScrollingWinControl::Dispatch(Message);
        break;
    default:
        TScrollingWinControl::Dispatch(Message);
        break;
    }
}

} // namespace plat
