// The application object: the main form, the message loop with idle processing, the handler that every
// exception reaching the loop goes to, hints, and the application-wide events (also offered to
// TApplicationEvents components).
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "platform/gfx/Icon.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Control.h"
#include "platform/ui/SystemIcons.h"

namespace plat {

class TCustomForm;
class TForm;
class THintWindow;
class TApplicationEvents;

// What a control may change about its hint before it shows (CM_HINTSHOW points to it; answering
// non-zero cancels the hint).
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint HintPos; // screen position of the hint window
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect;      // client coordinates: moving out of it hides the hint
    TPoint CursorPos;      // client coordinates
    int ReshowTimeout = 0; // milliseconds; the hint shows again after it (0: never)
    int HideTimeout = 0;   // milliseconds; 0 takes HintHidePause
    std::string HintStr;
    void* HintData = nullptr;
};

using TExceptionEvent = std::function<void(TObject* Sender, Exception& E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using TMessageEvent = std::function<void(TMsg& Msg, bool& Handled)>;
using TShowHintEvent = std::function<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;
// Makes the window that shows hints, owned by Owner.
using THintWindowFactory = std::function<THintWindow*(TComponent* Owner)>;

class TApplication : public TComponent {
    PLAT_CLASS(TApplication)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // Starts the window system (the display, or the virtual screen when asked for).
    void Initialize();
    // Creates a form of class T owned by the application and stores it in Reference; the first form
    // created this way becomes the main form.
    template <class T> void CreateForm(T*& Reference) {
        T* form = new T(this);
        Reference = form;
        ScopeGuard freeUnfinished([&Reference, form] {
            Reference = nullptr;
            form->Free();
        });
        form->AfterConstruction();
        freeUnfinished.Dismiss();
        if (!FMainForm)
            FMainForm = form;
    }
    // Shows the main form and runs the message loop until Terminate. Without a main form it returns at
    // once.
    void Run();
    // Ends the loop (posts WM_QUIT).
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Handles every pending message, then returns.
    void ProcessMessages();
    // Handles one message, or waits for one when there is none (after the idle step).
    void HandleMessage();
    // Runs the idle step once: mouse enter and leave, hints, OnIdle, released device contexts.
    // Answers whether idle processing is done (OnIdle did not ask for more).
    bool Idle();

    // Call inside a catch block: the exception goes to OnException (of the application-events components
    // first), or is shown. EAbort is quiet.
    void HandleException(TObject* Sender);
    void ShowException(Exception& E);
    // A message box over the active form (MB_ flags and ID answers; defined with the message dialogs).
    int MessageBox(const std::string& Text, const std::string& Caption, uint32_t Flags = 0);

    TForm* MainForm() const { return FMainForm; }
    void SetMainForm(TForm* Form) { FMainForm = Form; }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }
    // The program's icon: forms without an icon of their own show it.
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* Value) { FIcon->Assign(Value); }
    // The handle of the icon, null while it is empty.
    HICON GetIconHandle() const { return FIconHandle.get(); }
    bool ShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool Value) { FShowMainForm = Value; }
    HWND Handle();
    bool Active() const { return FActive; }
    std::string ExeName() const;

    // ---- Hints ----
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    int HintPause() const { return FHintPause; }
    void SetHintPause(int Value) { FHintPause = Value; }
    int HintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(int Value) { FHintShortPause = Value; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int Value) { FHintHidePause = Value; }
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor Value) { FHintColor = Value; }
    void ActivateHint(TPoint CursorPos);
    void CancelHint();
    void HideHint();
    THintWindow* HintWindow() const { return FHintWindow; }
    // Hints show in windows the factory makes from the next hint on (null: the plain hint window).
    void SetHintWindowClass(THintWindowFactory Factory);
    // The control under the pointer, as the last idle step saw it.
    TControl* MouseControl() const { return FMouseControl; }

    // Called by controls for each mouse move (hint timing).
    void HintMouseMessage(TControl* Control, TMessage& Message);
    // A key the focused control did not take: the application's shortcuts.
    bool AppKeyDown(WPARAM Key, LPARAM KeyData);
    // The program gained or lost activation as a whole (WM_ACTIVATEAPP): OnActivate or OnDeactivate.
    void ActivateChanged(bool Active);
    // The window list: forms disabled while a modal form shows.
    std::vector<HWND> DisableTaskWindows(HWND ActiveWindow);
    void EnableTaskWindows(const std::vector<HWND>& List);

    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    TMessageEvent OnMessage;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnHint;
    TShowHintEvent OnShowHint;

    // Frees the forms and components the application owns and forgets the main form, the icon, the hint
    // and the terminated state (the end of the program; tests start afresh with it).
    void CloseDown();

    void RegisterEvents(TApplicationEvents* Events);
    void UnregisterEvents(TApplicationEvents* Events);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool ProcessMessage(TMsg& Msg);
    bool IsKeyMsg(TMsg& Msg);
    void DoMouseIdle();
    void WndProc(TMessage& Message);
    void HintTimerExpired();
    void StartHintTimer(int Value, int Mode);
    void StopHintTimer();
    void IconChanged();

    TForm* FMainForm = nullptr;
    std::unique_ptr<TIcon> FIcon;
    std::unique_ptr<TIconHandle> FIconHandle;
    std::string FTitle;
    bool FTerminated = false;
    bool FShowMainForm = true;
    bool FRunning = false;
    bool FActive = false;
    HWND FHandle = nullptr;
    std::string FHint;
    bool FShowHint = true;
    int FHintPause = 500;
    int FHintShortPause = 50;
    int FHintHidePause = 2500;
    TColor FHintColor = clInfoBk;
    THintWindow* FHintWindow = nullptr;
    THintWindowFactory FHintWindowFactory;
    TControl* FHintControl = nullptr;
    TControl* FMouseControl = nullptr;
    TRect FHintCursorRect;
    bool FHintActive = false;
    int FTimerMode = 0; // 0 none, 1 show, 2 hide
    std::vector<TApplicationEvents*> FEvents;
};

// Forwards the application's events to handlers placed on a form.
class TApplicationEvents : public TComponent {
    PLAT_CLASS(TApplicationEvents)
public:
    explicit TApplicationEvents(TComponent* AOwner);
    ~TApplicationEvents() override;

    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    TMessageEvent OnMessage;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnHint;
    TShowHintEvent OnShowHint;
};

// The one application object of the program.
extern TApplication* Application;

// Where exceptions are shown when no handler takes them; the dialogs unit puts up a message box. The
// default writes the message to the standard error stream.
using TShowExceptionHandler = std::function<void(Exception& E)>;
void SetShowExceptionHandler(TShowExceptionHandler Handler);

// Frees the forms and components of the application and closes the window system (end of the program).
void DoneApplication();

// The first part of a hint (before '|') and the rest.
std::string GetShortHint(const std::string& Hint);
std::string GetLongHint(const std::string& Hint);

} // namespace plat
