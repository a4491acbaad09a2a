// The data-aware glow button: runs one navigation or editing action on the dataset of its data source,
// shows the action's glyph, asks first when told to, and enables itself from the dataset's state.
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "platform/ui/MessageDialog.h"
#include "ui/drawing/KvxDataSet.h"
#include "ui/drawing/KvxGlowButton.h"

namespace plat {
class TImageList;
}

namespace ui {

enum TDBGlowButtonType : uint8_t {
    dbCustom,
    dbFirst,
    dbPrior,
    dbNext,
    dbLast,
    dbInsert,
    dbAppend,
    dbDelete,
    dbEdit,
    dbPost,
    dbCancel,
    dbRefresh,
};
inline constexpr const char* kDBGlowButtonTypeNames[] = {
    "dbCustom", "dbFirst",  "dbPrior", "dbNext", "dbLast",   "dbInsert",
    "dbAppend", "dbDelete", "dbEdit",  "dbPost", "dbCancel", "dbRefresh",
};
static_assert(std::size(kDBGlowButtonTypeNames) == dbRefresh + 1);

enum TDBBDisableControl : uint8_t { drBOF, drEOF, drReadonly, drNotEditing, drEditing, drEmpty, drEvent };
inline constexpr const char* kDBBDisableControlNames[] = {
    "drBOF", "drEOF", "drReadonly", "drNotEditing", "drEditing", "drEmpty", "drEvent"};
static_assert(std::size(kDBBDisableControlNames) == drEvent + 1);
// A set of TDBBDisableControl: element i is bit i.
using TDBBDisableControls = uint8_t;
constexpr TDBBDisableControls DisableBit(TDBBDisableControl c) {
    return static_cast<TDBBDisableControls>(1u << c);
}

using TBeforeActionEvent = std::function<void(plat::TObject* Sender, bool& DoAction)>;
using TAfterActionEvent = std::function<void(plat::TObject* Sender, bool& ShowException)>;
using TGetConfirmEvent = std::function<void(plat::TObject* Sender, std::string& Question,
                                            plat::TMsgDlgButtons& Buttons, int& HelpCtx)>;
using TGetEnabledEvent = std::function<void(plat::TObject* Sender, bool& Enabled)>;

// Calls the button back for each of the three things a data link hears about.
class TDBGlowButtonDataLink : public TDataLink {
public:
    plat::TNotifyEvent OnActiveChanged;
    plat::TNotifyEvent OnDataSetChanged;
    plat::TNotifyEvent OnEditingChanged;

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void EditingChanged() override;
};

class TDBKvxGlowButton : public TKvxCustomGlowButton {
    PLAT_CLASS(TDBKvxGlowButton)
public:
    explicit TDBKvxGlowButton(plat::TComponent* AOwner);
    ~TDBKvxGlowButton() override;

    void Click() override;

    bool AutoDisable() const { return FAutoDisable; }
    void SetAutoDisable(bool Value) { FAutoDisable = Value; }
    bool ConfirmAction() const { return FConfirmAction; }
    void SetConfirmAction(bool Value) { FConfirmAction = Value; }
    const std::string& ConfirmActionString() const { return FConfirmActionString; }
    void SetConfirmActionString(const std::string& Value);
    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    TDBGlowButtonType DBButtonType() const { return FDBButtonType; }
    void SetDBButtonType(TDBGlowButtonType Value);
    TDBBDisableControls DisableControl() const { return FDisableControl; }
    void SetDisableControl(TDBBDisableControls Value) { FDisableControl = Value; }

    // The list the action's glyph was loaded into; none until a glyph was needed.
    plat::TImageList* InternalGlyphs() const { return FGlyphs; }

    TBeforeActionEvent OnBeforeAction;
    TAfterActionEvent OnAfterAction;
    TGetConfirmEvent OnGetConfirm;
    TGetEnabledEvent OnGetEnabled;
    plat::TNotifyEvent OnEnabledChanged;

    // The question asked before the action; the message box is replaceable for tests and embedders
    // (the platform's confirmation box by default).
    std::function<int(const std::string& Question, plat::TMsgDlgButtons Buttons, int HelpCtx)> Confirm;

    virtual void DoBeforeAction(bool& DoAction);
    virtual void GetConfirmText(std::string& Question, plat::TMsgDlgButtons& Buttons, int& HelpCtx);
    virtual bool AskConfirmation();
    virtual void ExecuteAction();
    virtual void UpdateEnabled();
    virtual void LoadActionGlyph();

protected:
    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    void Dispatch(plat::TMessage& Message) override;

private:
    void DataChanged(plat::TObject* Sender);
    void UpdateDisableControls();

    std::unique_ptr<TDBGlowButtonDataLink> FDataLink;
    plat::TImageList* FGlyphs = nullptr; // owned as a component once a glyph was loaded
    bool FAutoDisable = true;
    bool FConfirmAction = false;
    std::string FConfirmActionString;
    TDBGlowButtonType FDBButtonType = dbCustom;
    TDBBDisableControls FDisableControl = 0;
    bool FUpdating = false;
};

} // namespace ui
