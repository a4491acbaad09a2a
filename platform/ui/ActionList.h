// Actions: named commands with a caption, shortcut, image and state that menu items and controls follow,
// kept in action lists that update them when the program is idle and dispatch their shortcuts; and the
// standard window actions that arrange the children of an MDI frame.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/ui/Messages.h"

namespace plat {

class TCustomImageList;
class TActionList;
class TCustomForm;
class TApplicationEvents;
class TBasicAction;

// Shortcuts: a virtual key in the low byte with the modifier bits.
using TShortCut = uint16_t;
inline constexpr TShortCut scNone = 0;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

// The link between an action and one of its clients (a menu item, a control): the action tells it about
// every change, the client runs the action through it.
class TBasicActionLink : public TObject {
    PLAT_CLASS(TBasicActionLink)
public:
    explicit TBasicActionLink(TObject* AClient) : FClient(AClient) {}
    ~TBasicActionLink() override;
    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* Value);
    TObject* Client() const { return FClient; }
    virtual bool Execute();
    virtual bool Update();
    // The client follows the action's properties; each is called when the action's value changes.
    virtual void SetCaption(const std::string&) {}
    virtual void SetChecked(bool) {}
    virtual void SetEnabled(bool) {}
    virtual void SetVisible(bool) {}
    virtual void SetHint(const std::string&) {}
    virtual void SetImageIndex(int) {}
    virtual void SetShortCut(TShortCut) {}
    virtual void SetGroupIndex(int) {}

private:
    TObject* FClient;
    TBasicAction* FAction = nullptr;
};

class TBasicAction : public TComponent {
    PLAT_CLASS(TBasicAction)
public:
    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
    ~TBasicAction() override;
    void BeforeDestruction() override;
    // Runs OnExecute; answers whether something handled the action.
    virtual bool Execute();
    // Runs OnUpdate; answers whether something handled it.
    virtual bool Update();
    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

    void RegisterChanges(TBasicActionLink* Link);
    void UnRegisterChanges(TBasicActionLink* Link);
    int ClientCount() const { return static_cast<int>(FClients.size()); }

protected:
    template <class F> void ForClients(F f) {
        for (TBasicActionLink* l : std::vector<TBasicActionLink*>(FClients))
            f(l);
    }

private:
    std::vector<TBasicActionLink*> FClients;
};

// An action kept in an action list (its parent component in layouts).
class TContainedAction : public TBasicAction {
    PLAT_CLASS(TContainedAction)
public:
    explicit TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}
    ~TContainedAction() override;
    TActionList* ActionList() const { return FActionList; }
    void SetActionList(TActionList* Value);
    int Index() const;
    const std::string& Category() const { return FCategory; }
    void SetCategory(const std::string& Value) { FCategory = Value; }
    bool HasParent() const override { return FActionList != nullptr; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    // An action read inside a list's object in a layout joins that list.
    void ReadState(TReader& Reader) override;
    // The list's OnExecute first, then the action's own.
    bool Execute() override;
    bool Update() override;

private:
    TActionList* FActionList = nullptr;
    std::string FCategory;
};

class TCustomAction : public TContainedAction {
    PLAT_CLASS(TCustomAction)
public:
    explicit TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool Checked() const { return FChecked; }
    // Checking a member of a group (GroupIndex > 0) unchecks the others of the same list.
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    // The images of the action list.
    TCustomImageList* Images() const;
    // A disabled action does nothing; AutoCheck toggles Checked first.
    bool Execute() override;

private:
    std::string FCaption, FHint;
    bool FChecked = false, FEnabled = true, FVisible = true, FAutoCheck = false;
    int FImageIndex = -1, FGroupIndex = 0, FHelpContext = 0;
    TShortCut FShortCut = scNone;
};

class TAction : public TCustomAction {
    PLAT_CLASS(TAction)
public:
    explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;

// A list of actions: updates them when the program is idle (OnUpdate) and runs the one whose shortcut
// is pressed in the form that owns the list.
class TActionList : public TComponent {
    PLAT_CLASS(TActionList)
public:
    explicit TActionList(TComponent* AOwner);
    ~TActionList() override;
    void BeforeDestruction() override;
    int ActionCount() const { return static_cast<int>(FActions.size()); }
    TContainedAction* Actions(int Index) const { return FActions.at(static_cast<size_t>(Index)); }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    // Runs the enabled action whose shortcut the key message is; answers whether one ran.
    bool IsShortCut(TMessage& Message);
    // Updates every action (the idle step calls it).
    void UpdateActions();
    TActionEvent OnExecute;
    TActionEvent OnUpdate;
    TNotifyEvent OnChange;

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TContainedAction;
    std::vector<TContainedAction*> FActions;
    TCustomImageList* FImages = nullptr;
    TApplicationEvents* FIdle = nullptr;
};

// The shortcut a key message stands for, with the keyboard's modifiers now.
TShortCut ShortCutFromKeyMessage(const TMessage& Message);

// ---- Standard window actions: they work on the MDI frame that is the main form (or the form given) ----

class TWindowAction : public TAction {
    PLAT_CLASS(TWindowAction)
public:
    explicit TWindowAction(TComponent* AOwner) : TAction(AOwner) {}
    TCustomForm* Form() const { return FForm; }
    void SetForm(TCustomForm* Value);
    // Runs the command on the frame; without OnExecute the action does the work itself.
    bool Execute() override;
    // Enabled while the frame has MDI children.
    bool Update() override;

protected:
    TCustomForm* Frame() const;
    virtual void ExecuteOn(TCustomForm* Frame) = 0;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TCustomForm* FForm = nullptr;
};

class TWindowCascade : public TWindowAction {
    PLAT_CLASS(TWindowCascade)
public:
    explicit TWindowCascade(TComponent* AOwner);

protected:
    void ExecuteOn(TCustomForm* Frame) override;
};

class TWindowTileHorizontal : public TWindowAction {
    PLAT_CLASS(TWindowTileHorizontal)
public:
    explicit TWindowTileHorizontal(TComponent* AOwner);

protected:
    void ExecuteOn(TCustomForm* Frame) override;
};

class TWindowTileVertical : public TWindowAction {
    PLAT_CLASS(TWindowTileVertical)
public:
    explicit TWindowTileVertical(TComponent* AOwner);

protected:
    void ExecuteOn(TCustomForm* Frame) override;
};

class TWindowMinimizeAll : public TWindowAction {
    PLAT_CLASS(TWindowMinimizeAll)
public:
    explicit TWindowMinimizeAll(TComponent* AOwner);

protected:
    void ExecuteOn(TCustomForm* Frame) override;
};

class TWindowArrange : public TWindowAction {
    PLAT_CLASS(TWindowArrange)
public:
    explicit TWindowArrange(TComponent* AOwner);

protected:
    void ExecuteOn(TCustomForm* Frame) override;
};

// Closes the active MDI child.
class TWindowClose : public TWindowAction {
    PLAT_CLASS(TWindowClose)
public:
    explicit TWindowClose(TComponent* AOwner);

protected:
    void ExecuteOn(TCustomForm* Frame) override;
};

} // namespace plat
