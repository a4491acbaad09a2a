// The control classes of the class library: TControl (bounds, alignment, anchors, constraints, font,
// colour, hints, cursor, mouse events and message dispatch), TWinControl (a control with a window:
// children, focus, tab order, keyboard events, window creation), TGraphicControl (painted by its parent)
// and TCustomControl (a window with its own canvas and Paint).
//
// Messages reach a control through WindowProc (replaceable, by default WndProc), which does the general
// work and calls Dispatch. Dispatch is the message-handler table: a class overrides it, handles the
// messages it cares about with a switch and passes the rest to its base class's Dispatch; the chain ends
// in DefaultHandler (for windowed controls, the window's default procedure).
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Canvas.h"
#include "platform/rtl/Component.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

namespace plat {

class TWinControl;
class TCustomForm;
class TControlCanvas;
class TDragObject;

// Cursor identifiers of Screen->Cursors; applications add their own positive ones.
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;
inline constexpr TCursor crSize = crSizeAll;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

// Anchors and shift states are sets of bits.
using TAnchors = uint8_t;
inline constexpr TAnchors akLeft = 1;
inline constexpr TAnchors akTop = 2;
inline constexpr TAnchors akRight = 4;
inline constexpr TAnchors akBottom = 8;

using TShiftState = uint16_t;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;
inline constexpr TShiftState ssLeft = 8;
inline constexpr TShiftState ssRight = 16;
inline constexpr TShiftState ssMiddle = 32;
inline constexpr TShiftState ssDouble = 64;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
inline constexpr const char* kMouseButtonNames[] = {"mbLeft", "mbRight", "mbMiddle"};
static_assert(std::size(kMouseButtonNames) == mbMiddle + 1);
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// ControlStyle bits.
using TControlStyle = uint32_t;
inline constexpr TControlStyle csAcceptsControls = 1u << 0;
inline constexpr TControlStyle csCaptureMouse = 1u << 1;
inline constexpr TControlStyle csDesignInteractive = 1u << 2;
inline constexpr TControlStyle csClickEvents = 1u << 3;
inline constexpr TControlStyle csFramed = 1u << 4;
inline constexpr TControlStyle csSetCaption = 1u << 5;
inline constexpr TControlStyle csOpaque = 1u << 6;
inline constexpr TControlStyle csDoubleClicks = 1u << 7;
inline constexpr TControlStyle csFixedWidth = 1u << 8;
inline constexpr TControlStyle csFixedHeight = 1u << 9;
inline constexpr TControlStyle csNoDesignVisible = 1u << 10;
inline constexpr TControlStyle csReplicatable = 1u << 11;
inline constexpr TControlStyle csNoStdEvents = 1u << 12;
inline constexpr TControlStyle csDisplayDragImage = 1u << 13;
inline constexpr TControlStyle csReflector = 1u << 14;
inline constexpr TControlStyle csActionClient = 1u << 15;
inline constexpr TControlStyle csMenuEvents = 1u << 16;
inline constexpr TControlStyle csParentBackground = 1u << 17;

// ControlState bits.
using TControlState = uint32_t;
inline constexpr TControlState csLButtonDown = 1u << 0;
inline constexpr TControlState csClicked = 1u << 1;
inline constexpr TControlState csPalette = 1u << 2;
inline constexpr TControlState csReadingState = 1u << 3;
inline constexpr TControlState csAlignmentNeeded = 1u << 4;
inline constexpr TControlState csFocusing = 1u << 5;
inline constexpr TControlState csCreating = 1u << 6;
inline constexpr TControlState csPaintCopy = 1u << 7;
inline constexpr TControlState csCustomPaint = 1u << 8;
inline constexpr TControlState csDestroyingHandle = 1u << 9;
inline constexpr TControlState csDocking = 1u << 10;

using TWndMethod = std::function<void(TMessage& Message)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;
// Characters are Unicode code points.
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent =
    std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TCanResizeEvent = std::function<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TConstrainedResizeEvent =
    std::function<void(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;

// Shift state from the key bits of a mouse message (Alt is read from the keyboard), and from a key
// message's data.
TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyDataToShiftState(LPARAM keyData);
// Shift state of the keyboard now.
TShiftState KeyboardStateToShiftState();

// Limits on a control's size; 0 means no limit.
class TSizeConstraints : public TPersistent {
    PLAT_CLASS(TSizeConstraints)
public:
    explicit TSizeConstraints(class TControl* Control = nullptr) : FControl(Control) {}
    int MaxHeight() const { return FMaxHeight; }
    int MaxWidth() const { return FMaxWidth; }
    int MinHeight() const { return FMinHeight; }
    int MinWidth() const { return FMinWidth; }
    void SetMaxHeight(int Value);
    void SetMaxWidth(int Value);
    void SetMinHeight(int Value);
    void SetMinWidth(int Value);
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() const override;
    TNotifyEvent OnChange;

private:
    void Change();
    class TControl* FControl;
    int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
};

// What a drag carries when a handler supplies its own object (OnStartDrag); without one the source
// control itself is the Source handlers see.
class TDragObject : public TObject {
    PLAT_CLASS(TDragObject)
public:
    TControl* Control = nullptr; // the control the drag started from
    TPoint DragPos;              // screen position
    TControl* DragTarget = nullptr;
    bool Dropped = false;
    virtual TCursor GetDragCursor(bool Accepted, int X, int Y) const { return Accepted ? crDrag : crNoDrop; }
};

class TControl : public TComponent {
    PLAT_CLASS(TControl)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;
    void BeforeDestruction() override;

    // ---- Position and size (parent client coordinates) ----
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return TRect(FLeft, FTop, FLeft + FWidth, FTop + FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    // The client area from (0, 0).
    virtual TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);
    virtual void SetClientSize(TSize Value);
    // Screen position of the client area's origin.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;
    TPoint ClientToParent(TPoint P, TWinControl* AParent = nullptr) const;
    TPoint ParentToClient(TPoint P, TWinControl* AParent = nullptr) const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);
    TSizeConstraints* Constraints() const { return FConstraints.get(); }
    void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool Value);

    // ---- State ----
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show();
    void Hide();
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    // Visible itself and on every parent up to a shown window.
    virtual bool Showing() const;

    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    // The context menu (a TPopupMenu of the menus unit; held as a component so this layer needs no menus).
    TComponent* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TComponent* Value);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }

    // Caption and Text are the same string.
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& Value) { SetText(Value); }
    std::string Text() const { return GetText(); }
    void SetTextProp(const std::string& Value) { SetText(Value); }
    int GetTextLen() const { return static_cast<int>(GetText().size()); }

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }

    bool MouseCapture() const;
    void SetMouseCapture(bool Value);

    // ---- Painting and messages ----
    virtual void Invalidate();
    virtual void Repaint();
    virtual void Update();
    void Refresh() { Repaint(); }
    // Sends a message straight to the control's WindowProc and answers its result.
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
    void BringToFront() { SetZOrder(true); }
    void SendToBack() { SetZOrder(false); }
    virtual void SetZOrder(bool TopMost);

    // The message entry of the control; replace it to watch or change messages, and call the saved one.
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& Message);
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // ---- Dragging ----
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor Value) { FDragCursor = Value; }
    // Starts dragging now, or once the pointer has moved Threshold pixels with the button held (-1: the
    // system distance). The drag runs in its own loop until the button is released or Escape pressed.
    void BeginDrag(bool Immediate, int Threshold = -1);
    void EndDrag(bool Drop);
    bool Dragging() const;

    // ---- Streaming ----
    bool IsColorStored() const { return !FParentColor; }
    bool IsFontStored() const { return !FParentFont && !FDesktopFont; }
    bool IsShowHintStored() const { return !FParentShowHint; }
    void ReadState(TReader& Reader) override;
    void DefineProperties(TFiler& Filer) override;
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    void SetName(const std::string& NewName) override;

    // ---- Events ----
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TContextPopupEvent OnContextPopup;
    TCanResizeEvent OnCanResize;
    TConstrainedResizeEvent OnConstrainedResize;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;
    TStartDragEvent OnStartDrag;

    // For the drag machinery and containers.
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    virtual void DoStartDrag(TDragObject*& DragObject);
    // Sets the size the anchors measure from to the present bounds and parent size.
    void UpdateAnchorRules();
    // The parent size and own bounds the anchors were measured at.
    TSize AnchorParentSize() const { return FAnchorParentSize; }
    TRect AnchorBounds() const { return FAnchorBounds; }
    // Moves the control to its place for a parent client area now `parentSize` big (anchors).
    void AnchorTo(TSize parentSize);

protected:
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    virtual void Resize();
    virtual bool CanResize(int& NewWidth, int& NewHeight);
    virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
    virtual void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);
    virtual void AdjustSize();
    void DoAutoSize();
    virtual void ConstraintsChanged();
    void ApplyConstraints(int& W, int& H);
    virtual void RequestAlign();
    virtual void VisibleChanging() {}
    virtual std::string GetText() const { return FText; }
    virtual void SetText(const std::string& Value);
    virtual TComponent* GetPopupMenu() const { return FPopupMenu; }
    // Updates the stored bounds without moving any window.
    virtual void UpdateBoundsRect(const TRect& R);
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void FontChanged(TObject* Sender);
    void SendCancelMode(TControl* Sender);
    TCanvas* GetCanvasOfParentPaint();

    bool FDesktopFont = false;
    TControlStyle FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    TControlState FControlState = 0;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TWinControl* FParent = nullptr;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;

private:
    friend class TWinControl;
    // Clamps the new size to zero and up, asks CanResize and applies the constraints; false when the
    // bounds stay as they are.
    bool AcceptBounds(int ALeft, int ATop, int& AWidth, int& AHeight);
    // Moves the control to the top (TopMost) or bottom of its parent's z-order; false without one.
    bool MoveInParentZOrder(bool TopMost);
    void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
    void DoMouseUp(TMessage& Message, TMouseButton Button);
    void WMMouseMessage(TMessage& Message);
    void CMMouseWheel(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void CMHitTest(TMessage& Message);
    void CMParentFontChanged(TMessage& Message);
    void CMParentColorChanged(TMessage& Message);
    void CMParentShowHintChanged(TMessage& Message);

    TAlign FAlign = alNone;
    TAnchors FAnchors = akLeft | akTop;
    TSize FAnchorParentSize;
    TRect FAnchorBounds;
    bool FAnchorsRecorded = false;
    std::unique_ptr<TSizeConstraints> FConstraints;
    bool FAutoSize = false;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FParentColor = false;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    TComponent* FPopupMenu = nullptr;
    int FHelpContext = 0;
    std::string FText;
    TDragMode FDragMode = dmManual;
    TCursor FDragCursor = crDrag;
    int FWheelAccumulator = 0;
    bool FUpdatingFont = false;
};

// Window creation parameters a control gives in CreateParams.
struct TCreateParams {
    std::string Caption;
    uint32_t Style = 0;
    uint32_t ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    TWndClass WindowClass;
    std::string WinClassName;
};

class TWinControl : public TControl {
    PLAT_CLASS(TWinControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;
    void BeforeDestruction() override;

    // The window; made on first use (also when the control is not showing).
    HWND Handle();
    HWND WindowHandle() const { return FHandle; }
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    // A window this control lives in without having a parent control (a form docked into a foreign
    // window).
    HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND Value);
    void RecreateWnd();

    // ---- Children ----
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(Index); }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(TControl* Control) const;
    // The child at a client point; disabled ones count when AllowDisabled; windowed ones when
    // AllowWinControls.
    TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false) const;
    void Broadcast(TMessage& Message);
    void NotifyControls(UINT Msg);

    // ---- Layout ----
    void DisableAlign();
    void EnableAlign();
    void Realign();
    bool AlignDisabled() const { return FAlignLevel > 0; }
    // The area aligned children share: the client rectangle less the border width.
    virtual void AdjustClientRect(TRect& Rect) const;
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    void ScrollBy(int DeltaX, int DeltaY);

    // ---- Focus and keyboard ----
    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    int TabOrder() const;
    void SetTabOrder(int Value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    // Children in tab order, depth first, into List.
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                 bool CheckParent) const;
    void SelectFirst();
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
    TBrush* Brush() const { return FBrush.get(); }
    bool ParentBackground() const { return (FControlStyle & csParentBackground) != 0; }

    void Invalidate() override;
    void Repaint() override;
    void Update() override;
    void SetZOrder(bool TopMost) override;
    bool Showing() const override { return FShowing; }
    // Paints the graphic children into a device context (the parent's WM_PAINT does it).
    void PaintControls(HDC DC, TControl* First);
    void PaintHandler(TMessage& Message);
    // The window procedure the control's default handling calls (DefWindowProc unless subclassed).
    TWndProc DefWndProc() const { return FDefWndProc; }
    void SetDefWndProc(TWndProc Value) { FDefWndProc = Value; }

    void SetParent(TWinControl* AParent) override;
    void SetEnabled(bool Value) override;

    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    // Where the window's messages enter; exceptions go to the application's handler.
    void MainWndProc(TMessage& Message);
    // The window procedure links a new window to its control before the first message arrives.
    void AttachHandle(HWND Wnd);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // Keyboard entry points the form's key preview and the message handlers use; true when the key was
    // taken (the preview or a handler set it to 0).
    bool DoKeyDownUp(TMessage& Message, bool Down);
    bool DoKeyPress(TMessage& Message);
    void UpdateShowing();

protected:
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void CreateWnd();
    virtual void CreateHandle();
    virtual void DestroyWnd();
    virtual void DestroyHandle();
    virtual void DestroyWindowHandle();
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    void AlignControl(TControl* AControl);
    virtual void CustomAlignPosition(TControl* Control, int& NewLeft, int& NewTop, int& NewWidth,
                                     int& NewHeight, TRect& AlignRect) {}
    virtual void PaintWindow(HDC DC);
    virtual void KeyDown(uint16_t& Key, TShiftState Shift);
    virtual void KeyUp(uint16_t& Key, TShiftState Shift);
    virtual void KeyPress(char32_t& Key);
    virtual void DoEnter();
    virtual void DoExit();
    virtual bool IsMenuKey(TMessage& Message);
    void SetText(const std::string& Value) override;
    void UpdateBoundsRect(const TRect& R) override;
    void Loaded() override;
    HWND PrecedingWindow(TWinControl* Control) const;
    void UpdateControlState();
    // Windowed controls of the list, in order.
    std::vector<TWinControl*> WinControls() const;

    HWND FHandle = nullptr;
    TWndProc FDefWndProc = nullptr;
    std::unique_ptr<TBrush> FBrush;

private:
    friend class TControl;
    friend class TCustomForm;
    void DoAlignControls(TControl* AControl);
    void ApplyAnchors();
    void WMPaint(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMWindowPosChanged(TMessage& Message);
    void WMKeyMessage(TMessage& Message);
    void CNKeyDown(TMessage& Message);
    void CNChar(TMessage& Message);
    void CNSysKeyDown(TMessage& Message);
    void CNSysChar(TMessage& Message);
    void CMDialogKey(TMessage& Message);
    void CMDialogChar(TMessage& Message);
    void CMFocusChanged(TMessage& Message);
    void CMShowingChanged(TMessage& Message);
    void CMEnter(TMessage& Message);
    void CMExit(TMessage& Message);
    bool IsControlMouseMsg(TMessage& Message);

    std::vector<TControl*> FControls; // z-order: first is bottom
    HWND FParentWindow = nullptr;
    bool FShowing = false;
    bool FTabStop = false;
    int FAlignLevel = 0;
    int FBorderWidth = 0;
    bool FDoubleBuffered = false;
    bool FInAlign = false;
    std::vector<TWinControl*> FTabList;
};

// A control without a window of its own; its parent paints it.
class TGraphicControl : public TControl {
    PLAT_CLASS(TGraphicControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const;

protected:
    virtual void Paint() {}
    void Dispatch(TMessage& Message) override;

private:
    std::unique_ptr<TControlCanvas> FCanvas;
};

// A control with its own window and canvas; it draws itself in Paint.
class TCustomControl : public TWinControl {
    PLAT_CLASS(TCustomControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const;

protected:
    virtual void Paint();
    void PaintWindow(HDC DC) override;
    void Dispatch(TMessage& Message) override;

private:
    std::unique_ptr<TControlCanvas> FCanvas;
};

// A canvas on a control: outside painting it asks the control's window (or, for a graphic control, its
// parent's window clipped to the control) for a device context and gives it back at idle time.
class TControlCanvas : public TCanvas {
    PLAT_CLASS(TControlCanvas)
public:
    TControlCanvas() = default;
    ~TControlCanvas() override;
    TControl* Control() const { return FControl; }
    void SetControl(TControl* Value);
    void FreeHandle();
    // Drops the handle of every control canvas that holds one (the idle step calls it).
    static void FreeDeviceContexts();

protected:
    void CreateHandle() override;

private:
    TControl* FControl = nullptr;
    HDC FDeviceContext = nullptr;
    HWND FWindowHandle = nullptr;
};

// The form that contains a control (null when none does).
TCustomForm* GetParentForm(TControl* Control);
// The same, raising EInvalidOperation "Control '%s' has no parent window" when there is none.
TCustomForm* ValidParentForm(TControl* Control);
// The control whose window this is, or null.
TWinControl* FindControl(HWND Handle);
// The control at a screen point (graphic controls included when AllowDisabled... as ControlAtPos).
TControl* FindDragTarget(TPoint Pos, bool AllowDisabled);
TControl* FindControlAtPos(TPoint Pos);
// The control that holds the mouse capture (graphic controls included), or null.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// True when the accelerator of Caption ('&' before a letter) is the character.
bool IsAccel(char32_t VK, const std::string& Caption);

// The hook a popup-menu class installs so controls can show their context menus; answers whether the
// menu was shown.
using TPopupMenuHandler = std::function<bool(TControl* Control, TComponent* Menu, TPoint ScreenPos)>;
void SetPopupMenuHandler(TPopupMenuHandler Handler);

// A cursor value of a stream: written by name (crHandPoint) or, for the program's own cursors, as a
// number; nothing for crDefault.
void DefineCursorProperty(TFiler& Filer, const std::string& Name, TCursor Value,
                          const std::function<void(TCursor)>& Set);

// The mouse: pointer position, capture and wheel.
class TMouse {
public:
    TPoint CursorPos() const;
    void SetCursorPos(TPoint Value);
    HWND Capture() const;
    void SetCapture(HWND Value);
    bool WheelPresent() const { return true; }
    int WheelScrollLines() const { return 3; }
    bool DragImmediate() const { return FDragImmediate; }
    void SetDragImmediate(bool Value) { FDragImmediate = Value; }
    int DragThreshold() const { return FDragThreshold; }
    void SetDragThreshold(int Value) { FDragThreshold = Value; }

private:
    bool FDragImmediate = true;
    int FDragThreshold = 5;
};

extern TMouse* Mouse;

} // namespace plat
