#include "ui/drawing/DBKvxGlowButton.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/GfxResources.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/ImageList.h"

namespace ui {

namespace {

// The bitmap resource of each action; Append shares Insert's.
constexpr const char* kActionGlyphs[] = {
    nullptr,       "DBIMGFIRST",  "DBIMGPRIOR", "DBIMGNEXT", "DBIMGLAST",   "DBIMGINSERT",
    "DBIMGINSERT", "DBIMGDELETE", "DBIMGEDIT",  "DBIMGPOST", "DBIMGCANCEL", "DBIMGREFRESH",
};
static_assert(std::size(kActionGlyphs) == dbRefresh + 1);

constexpr TDBBDisableControls kPresets[] = {
    0, // dbCustom keeps what it has
    DisableBit(drBOF) | DisableBit(drEditing) | DisableBit(drEmpty),
    DisableBit(drBOF) | DisableBit(drEditing) | DisableBit(drEmpty),
    DisableBit(drEOF) | DisableBit(drEditing) | DisableBit(drEmpty),
    DisableBit(drEOF) | DisableBit(drEditing) | DisableBit(drEmpty),
    DisableBit(drReadonly) | DisableBit(drEditing),
    DisableBit(drReadonly) | DisableBit(drEditing),
    DisableBit(drReadonly) | DisableBit(drEditing) | DisableBit(drEmpty),
    DisableBit(drReadonly) | DisableBit(drEditing) | DisableBit(drEmpty),
    DisableBit(drNotEditing),
    DisableBit(drNotEditing),
    DisableBit(drEditing),
};
static_assert(std::size(kPresets) == dbRefresh + 1);

constexpr const char* kDeleteQuestion = "Delete record?";

} // namespace

// ---- Data link -------------------------------------------------------------------------------------------

void TDBGlowButtonDataLink::ActiveChanged() {
    if (OnActiveChanged)
        OnActiveChanged(nullptr);
}

void TDBGlowButtonDataLink::DataSetChanged() {
    if (OnDataSetChanged)
        OnDataSetChanged(nullptr);
}

void TDBGlowButtonDataLink::EditingChanged() {
    if (OnEditingChanged)
        OnEditingChanged(nullptr);
}

// ---- Button ----------------------------------------------------------------------------------------------

PLAT_CLASS_INFO_CREATABLE(TDBKvxGlowButton, TKvxCustomGlowButton)

PLAT_PROPERTIES(TDBKvxGlowButton) {
    using B = TDBKvxGlowButton;
    props.Object("Appearance", &B::Appearance, &B::SetAppearance);
    props.Enum("Layout", &B::Layout, &B::SetLayout, kButtonLayoutNames, blGlyphLeft);
    props.Boolean("AutoDisable", &B::AutoDisable, &B::SetAutoDisable, true);
    props.Boolean("ConfirmAction", &B::ConfirmAction, &B::SetConfirmAction, false);
    props.String("ConfirmActionString", &B::ConfirmActionString, &B::SetConfirmActionString);
    props.Component("DataSource", &B::DataSource, &B::SetDataSource);
    props.Enum("DBButtonType", &B::DBButtonType, &B::SetDBButtonType, kDBGlowButtonTypeNames, dbCustom);
    props.Set("DisableControl", &B::DisableControl, &B::SetDisableControl, kDBBDisableControlNames,
              TDBBDisableControls(0));
    props.Event("OnBeforeAction", &B::OnBeforeAction);
    props.Event("OnAfterAction", &B::OnAfterAction);
    props.Event("OnGetConfirm", &B::OnGetConfirm);
    props.Event("OnGetEnabled", &B::OnGetEnabled);
    props.Event("OnEnabledChanged", &B::OnEnabledChanged);
}

namespace {
struct TRegistrar {
    TRegistrar() { plat::RegisterClass(TDBKvxGlowButton::StaticClass()); }
} registrar;
} // namespace

TDBKvxGlowButton::TDBKvxGlowButton(plat::TComponent* AOwner) : TKvxCustomGlowButton(AOwner) {
    FDataLink = std::make_unique<TDBGlowButtonDataLink>();
    auto changed = [this](plat::TObject*) { DataChanged(this); };
    FDataLink->OnActiveChanged = changed;
    FDataLink->OnDataSetChanged = changed;
    FDataLink->OnEditingChanged = changed;
    Confirm = [](const std::string& Question, plat::TMsgDlgButtons Buttons, int HelpCtx) {
        return plat::MessageDlg(Question, plat::mtConfirmation, Buttons, HelpCtx);
    };
}

TDBKvxGlowButton::~TDBKvxGlowButton() {
    FDataLink.reset();
}

void TDBKvxGlowButton::DataChanged(plat::TObject*) {
    UpdateEnabled();
}

void TDBKvxGlowButton::SetConfirmActionString(const std::string& Value) {
    FConfirmActionString = Value;
}

void TDBKvxGlowButton::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
    if (Value)
        Value->FreeNotification(this);
    if (!(ComponentState() & plat::csLoading))
        UpdateEnabled();
}

void TDBKvxGlowButton::SetDBButtonType(TDBGlowButtonType Value) {
    if (FDBButtonType == Value)
        return;
    if (Value == dbDelete && FConfirmActionString.empty())
        FConfirmActionString = kDeleteQuestion;
    FDBButtonType = Value;
    if (!(ComponentState() & (plat::csReading | plat::csLoading)))
        LoadActionGlyph();
    UpdateDisableControls();
}

void TDBKvxGlowButton::UpdateDisableControls() {
    if (FDBButtonType != dbCustom)
        FDisableControl = kPresets[FDBButtonType];
}

void TDBKvxGlowButton::Loaded() {
    TKvxCustomGlowButton::Loaded();
    LoadActionGlyph();
    UpdateEnabled();
}

void TDBKvxGlowButton::Notification(plat::TComponent* AComponent, plat::TOperation Operation) {
    TKvxCustomGlowButton::Notification(AComponent, Operation);
    if (Operation != plat::opRemove)
        return;
    if (FDataLink && AComponent == FDataLink->DataSource())
        FDataLink->SetDataSource(nullptr);
    if (AComponent == FGlyphs)
        FGlyphs = nullptr;
}

void TDBKvxGlowButton::Dispatch(plat::TMessage& Message) {
    TKvxCustomGlowButton::Dispatch(Message);
    if (Message.Msg == plat::CM_ENABLEDCHANGED && !FUpdating &&
        !(ComponentState() & (plat::csLoading | plat::csDestroying)))
        UpdateEnabled();
}

void TDBKvxGlowButton::Click() {
    TKvxCustomGlowButton::Click();
    ExecuteAction();
}

void TDBKvxGlowButton::GetConfirmText(std::string& Question, plat::TMsgDlgButtons& Buttons, int& HelpCtx) {
    if (!FConfirmAction)
        return;
    Question = FConfirmActionString;
    Buttons = plat::TMsgDlgButtons{plat::mbOK, plat::mbCancel};
    HelpCtx = 0;
    if (OnGetConfirm)
        OnGetConfirm(this, Question, Buttons, HelpCtx);
}

bool TDBKvxGlowButton::AskConfirmation() {
    std::string question;
    plat::TMsgDlgButtons buttons;
    int helpCtx = 0;
    GetConfirmText(question, buttons, helpCtx);
    if (question.empty())
        return true;
    const int answer = Confirm(question, buttons, helpCtx);
    return answer == plat::mrOk || answer == plat::mrYes;
}

void TDBKvxGlowButton::DoBeforeAction(bool& DoAction) {
    if (OnBeforeAction && !(ComponentState() & plat::csDesigning))
        OnBeforeAction(this, DoAction);
}

void TDBKvxGlowButton::ExecuteAction() {
    if (!AskConfirmation())
        return;
    bool doAction = FDBButtonType != dbCustom;
    DoBeforeAction(doAction);
    TDataSource* source = DataSource();
    if (doAction && source && source->State() != dsInactive) {
        TKvxDataSet* ds = source->DataSet();
        try {
            switch (FDBButtonType) {
            case dbCustom:
                break;
            case dbFirst:
                ds->First();
                break;
            case dbPrior:
                ds->Prior();
                break;
            case dbNext:
                ds->Next();
                break;
            case dbLast:
                ds->Last();
                break;
            case dbInsert:
                ds->Insert();
                break;
            case dbAppend:
                ds->Append();
                break;
            case dbDelete:
                ds->Delete();
                break;
            case dbEdit:
                ds->Edit();
                break;
            case dbPost:
                ds->Post();
                break;
            case dbCancel:
                ds->Cancel();
                break;
            case dbRefresh:
                ds->Refresh();
                break;
            }
        } catch (...) {
            // The handler decides whether the failure goes on to the caller.
            bool showException = true;
            if (OnAfterAction)
                OnAfterAction(this, showException);
            if (showException)
                throw;
            return;
        }
    }
    if (doAction && OnAfterAction) {
        bool showException = false;
        OnAfterAction(this, showException);
    }
}

void TDBKvxGlowButton::UpdateEnabled() {
    if ((ComponentState() & (plat::csDesigning | plat::csDestroying)) || !FAutoDisable)
        return;
    FUpdating = true;
    plat::ScopeGuard done([this] { FUpdating = false; });
    const bool before = Enabled();
    bool enabled = false;
    if (FDataLink->Active()) {
        TKvxDataSet* ds = FDataLink->DataSet();
        TDBBDisableControls state = 0;
        if (ds->Bof())
            state |= DisableBit(drBOF);
        if (ds->Eof())
            state |= DisableBit(drEOF);
        if (!ds->CanModify())
            state |= DisableBit(drReadonly);
        if (ds->Bof() && ds->Eof())
            state |= DisableBit(drEmpty);
        state |= FDataLink->Editing() ? DisableBit(drEditing) : DisableBit(drNotEditing);
        enabled = (FDisableControl & ~DisableBit(drEvent) & state) == 0;
        if ((FDisableControl & DisableBit(drEvent)) && OnGetEnabled)
            OnGetEnabled(this, enabled);
    }
    SetEnabled(enabled);
    if (Enabled() != before && OnEnabledChanged)
        OnEnabledChanged(this);
    LoadActionGlyph();
}

void TDBKvxGlowButton::LoadActionGlyph() {
    if ((ComponentState() & plat::csLoading) || Images() || (!Enabled() && DisabledImages()) ||
        FDBButtonType == dbCustom)
        return;
    if (!FGlyphs) {
        FGlyphs = new plat::TImageList(this);
        SetInternalImages(FGlyphs);
    }
    FGlyphs->Clear();
    plat::TBitmap glyph;
    plat::LoadBitmapResource(glyph, std::string(kActionGlyphs[FDBButtonType]) + (Enabled() ? "" : "D"));
    glyph.SetTransparent(true);
    FGlyphs->AddMasked(&glyph, plat::clFuchsia);
    SetImageIndex(0);
    Invalidate();
}

} // namespace ui
