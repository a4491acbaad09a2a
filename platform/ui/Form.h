// Forms: top-level windows (normal, stay-on-top, MDI frame, MDI child) with their border styles,
// positions, icons, modal showing, closing protocol, activation, key preview, scrolling of controls that
// lie beyond the client area (AutoScroll), and layouts read from text resources. MDI frames hold a client
// window that manages the child forms (activation, maximising, cascading, tiling, arranging icons).
//
// A form class reads its layout in AfterConstruction (a C++ constructor cannot yet see the derived
// class), so forms are made with Application->CreateForm or NewForm<T>(Owner), which call it.
#pragma once

#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Icon.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Control.h"
#include "platform/ui/ScrollingWinControl.h"
#include "platform/ui/SystemIcons.h"

namespace plat {

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle; // controls use bsNone and bsSingle

// The border styles a control takes, as layouts write them.
inline constexpr const char* kBorderStyleNames[] = {"bsNone", "bsSingle"};
static_assert(std::size(kBorderStyleNames) == bsSingle + 1);

using TBorderIcons = uint8_t;
inline constexpr TBorderIcons biSystemMenu = 1;
inline constexpr TBorderIcons biMinimize = 2;
inline constexpr TBorderIcons biMaximize = 4;
inline constexpr TBorderIcons biHelp = 8;

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TTileMode { tbHorizontal, tbVertical };

using TFormState = uint32_t;
inline constexpr TFormState fsCreating = 1;
inline constexpr TFormState fsVisible = 2;
inline constexpr TFormState fsShowing = 4;
inline constexpr TFormState fsModal = 8;
inline constexpr TFormState fsCreatedMDIChild = 16;
inline constexpr TFormState fsActivated = 32;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = std::function<void(TMessage& Msg, bool& Handled)>;

class TCustomForm : public TScrollingWinControl {
    PLAT_CLASS(TCustomForm)
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    // Reads the class's layout resource (when one is registered), runs OnCreate and shows the form when
    // the layout made it visible.
    virtual void AfterConstruction();
    void BeforeDestruction() override;

    // ---- Appearance ----
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState Value);
    TCanvas* Canvas() const;
    TRect ClientRect() const override;
    // During loading the client size is kept until the border style is known.
    void SetClientWidthProp(int Value);
    void SetClientHeightProp(int Value);
    int ClientWidthProp() const { return ClientWidth(); }
    int ClientHeightProp() const { return ClientHeight(); }
    int PixelsPerInch() const { return 96; }
    void SetPixelsPerInch(int) {}
    int TextHeight() const { return FTextHeight; }
    void SetTextHeight(int Value) { FTextHeight = Value; }
    bool Scaled() const { return FScaled; }
    void SetScaled(bool Value) { FScaled = Value; }
    bool OldCreateOrder() const { return FOldCreateOrder; }
    void SetOldCreateOrder(bool Value) { FOldCreateOrder = Value; }
    // The form's icon; an empty one shows the application's icon.
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* Value) { FIcon->Assign(Value); }
    // The icon the form's window shows (its own or the application's), null for none.
    HICON GetIconHandle() const;
    // The application's icon changed: a form without its own shows the new one.
    void ApplicationIconChanged();

    // ---- Menus (owned by the menus unit; held here by reference) ----
    TComponent* Menu() const { return FMenu; }
    void SetMenu(TComponent* Value);
    TComponent* WindowMenu() const { return FWindowMenu; }
    void SetWindowMenu(TComponent* Value);

    // ---- State ----
    bool Active() const { return FActive; }
    TFormState FormState() const { return FFormState; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }

    // ---- Showing and closing ----
    void Show();
    void Hide();
    // Raises EInvalidOperation "Cannot make a visible window modal" for a visible, disabled, modal or
    // MDI child form.
    virtual int ShowModal();
    void Close();
    virtual bool CloseQuery();
    // Frees the form once the messages that are being handled now are done.
    void Release();
    void SetFocus() override;
    bool CanFocus() const override;

    // ---- MDI ----
    HWND ClientHandle() const { return FClientHandle; }
    TCustomForm* ActiveMDIChild() const;
    int MDIChildCount() const;
    TCustomForm* MDIChildren(int Index) const;
    TTileMode TileMode() const { return FTileMode; }
    void SetTileMode(TTileMode Value) { FTileMode = Value; }
    void Cascade();
    void Tile();
    void ArrangeIcons();
    void Next();
    void Previous();

    // ---- Focus bookkeeping (for the control layer) ----
    void FocusControl(TWinControl* Control);
    bool SetFocusedControl(TWinControl* Control);
    void DefocusControl(TWinControl* Control, bool Removing);
    void SendCancelMode(TControl* Sender);
    virtual bool WantChildKey(TControl* Child, TMessage& Message) { return false; }
    virtual bool IsShortCut(TMessage& Message);

    // ---- Events ----
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnPaint;
    TShortCutEvent OnShortCut;

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWindowHandle() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    // An MDI frame's client window fills its area; the frame itself does not scroll.
    bool AutoScrollEnabled() const override { return FFormStyle != fsMDIForm; }
    void PaintWindow(HDC DC) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();
    virtual void Paint();

public:
    // Visible as the layout sets it: kept until the form is made, then applied.
    void SetVisibleFromStream(bool Value);
    bool VisibleProp() const { return Visible(); }

private:
    friend class TScreen;
    void SetActive(bool Value);
    void SetWindowFocus();
    void CloseModal();
    void PlaceOnShow();
    void CMShowingChanged(TMessage& Message);
    void WMActivate(TMessage& Message);
    void WMMDIActivate(TMessage& Message);
    void WMClose(TMessage& Message);
    void WMSysCommand(TMessage& Message);
    void CMDialogKey(TMessage& Message);
    TCustomForm* MDIFrame() const;
    void CreateParamsForStyle(TCreateParams& Params);
    void IconChanged();
    void SendIcons();

    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    TTileMode FTileMode = tbHorizontal;
    TFormState FFormState = 0;
    bool FActive = false;
    bool FKeyPreview = false;
    bool FPositioned = false;
    TModalResult FModalResult = mrNone;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    TComponent* FMenu = nullptr;
    TComponent* FWindowMenu = nullptr;
    HWND FClientHandle = nullptr;
    int FClientWidth = 0; // from the layout, applied once it is read
    int FClientHeight = 0;
    int FTextHeight = 13;
    bool FScaled = true;
    bool FOldCreateOrder = false;
    std::unique_ptr<TControlCanvas> FCanvas;
    std::unique_ptr<TIcon> FIcon;
    std::unique_ptr<TIconHandle> FIconHandle; // made from FIcon for the window
};

class TForm : public TCustomForm {
    PLAT_CLASS(TForm)
public:
    explicit TForm(TComponent* AOwner);
};

// Creates a form of class T and reads its layout (see the header comment).
template <class T> T* NewForm(TComponent* Owner) {
    T* form = new T(Owner);
    ScopeGuard freeUnfinished([form] { form->Free(); });
    form->AfterConstruction();
    freeUnfinished.Dismiss();
    return form;
}

// Layout texts of form classes under the class name (without case): registered here, or compiled into
// the program as FORM resources of that name.
void RegisterFormResource(const std::string& ClassName, std::string Text);
const std::string* FindFormResource(const std::string& ClassName);

// Tests answer modal forms with this hook: it runs once inside each modal loop, first thing.
using TModalHook = std::function<void(TCustomForm& Form)>;
void SetModalHook(TModalHook Hook);

// The menus unit tells forms and controls whether a key is a shortcut of a menu it shows.
using TMenuShortCutHandler = std::function<bool(TComponent* Menu, TMessage& Message)>;
void SetMenuShortCutHandler(TMenuShortCutHandler Handler);

// The menus unit keeps the menu bar in the frame of forms that have a main menu: it sees such a form's
// messages first (answering true for those it handled) and tells how high the bar of a form without a
// window yet will be. It also gets the shortcuts neither OnShortCut nor the menu took (action lists).
struct TFormMenuHooks {
    std::function<bool(TCustomForm* Form, TMessage& Message)> Message;
    std::function<int(const TCustomForm* Form)> BarHeight;
    std::function<bool(TCustomForm* Form, TMessage& Message)> ShortCut;
};
void SetFormMenuHooks(TFormMenuHooks Hooks);

} // namespace plat
