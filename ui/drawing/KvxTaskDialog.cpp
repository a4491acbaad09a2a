#include "ui/drawing/KvxTaskDialog.h"

#include <algorithm>
#include <cstdlib>

#include "platform/gfx/GdiTypes.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/OpenLink.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Label.h"
#include "platform/ui/Memo.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemIcons.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/SystemServices.h"
#include "platform/ui/Timer.h"
#include "platform/ui/Window.h"
#include "ui/drawing/KvxStyleIF.h"
#include "ui/drawing/KvxVersion.h"
#include "ui/drawing/TaskDialog.h"
#include "ui/markup/MarkupText.h"

namespace ui {

using namespace plat;

namespace {

constexpr TColor kInstructionColor = 0xC45300;
constexpr TColor kLinkBorderColor = 0xFFE16C;
constexpr TColor kBandColor = 0xF0F0F0;
constexpr TColor kBandLineColor = 0xDFDFDF;
constexpr TColor kFrameColor = 0x808080;

struct TCommonButtonInfo {
    const char* Name;
    const char* Caption;
    int Result;
};
// The Close button answers 3 and reads "&Abort", as the emulated dialog always did.
const TCommonButtonInfo kCommonButtons[] = {
    {"OK", "OK", 1},         {"Yes", "&Yes", 6},     {"No", "&No", 7},
    {"Cancel", "Cancel", 2}, {"Retry", "&Retry", 4}, {"Abort", "&Abort", 3},
};
static_assert(std::size(kCommonButtons) == cbClose + 1);

// System icon per main icon; tiBlank and tiShield only reserve the place (their pictures are drawn apart).
const int kMainIcons[] = {IDI_INFORMATION, IDI_WARNING, IDI_QUESTION, IDI_ERROR,
                          IDI_INFORMATION, 0,           IDI_ERROR};
static_assert(std::size(kMainIcons) == tiShield + 1);
const int kFooterIcons[] = {0, IDI_WARNING, IDI_QUESTION, IDI_ERROR, IDI_INFORMATION, IDI_SHIELD};
static_assert(std::size(kFooterIcons) == tfiShield + 1);

// Measured once per process and kind, as the first dialog showing it found it.
int gCommonButtonWidths[cbClose + 1] = {};

// The Windows rounding of a * b / c (halves away from zero).
int MulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    int64_t p = static_cast<int64_t>(a) * b;
    int64_t q = (std::abs(p) + std::abs(static_cast<int64_t>(c)) / 2) / std::abs(static_cast<int64_t>(c));
    return static_cast<int>(((p < 0) != (c < 0)) ? -q : q);
}

const std::string kAveCharText = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// A text as the markup renderer gets it: "\n" escapes and line feeds become <br>.
std::string MarkupBreaks(const std::string& Text) {
    return StringReplace(StringReplace(Text, "\\n", "<br>", rfReplaceAll), "\n", "<br>", rfReplaceAll);
}

// A text as plain drawing gets it: "\n" escapes become line breaks.
std::string PlainBreaks(const std::string& Text) {
    return StringReplace(Text, "\\n", "\r", rfReplaceAll);
}

TMarkupOptions DialogMarkupOptions() {
    TMarkupOptions o;
    o.ShadowColor = 0x808080;
    o.HoverColor = clNone;
    o.HoverFontColor = clNone;
    o.URLColor = 0xFF0000;
    o.Scale = 1.0;
    return o;
}

std::string ApplicationTitleFromExe() {
    std::string name = ExtractFileName(Application ? Application->ExeName() : std::string());
    return ChangeFileExt(name, "");
}

// The main icon: a system icon, the caller's icon, or a blank or shield picture in the icon's place.
class TTaskDialogImage : public TGraphicControl {
public:
    TTaskDialogImage(TComponent* AOwner, TCustomKvxTaskDialog* Dialog)
        : TGraphicControl(AOwner), FDialog(Dialog) {}

protected:
    void Paint() override {
        TCanvas& c = *Canvas();
        if (!FDialog->CustomIcon()->Empty()) {
            c.StretchDraw(TRect(0, 0, 32, 32), FDialog->CustomIcon());
        } else if (FDialog->Icon() == tiBlank) {
            c.Brush()->SetStyle(bsSolid);
            c.Brush()->SetColor(clWhite);
            c.FillRect(TRect(0, 0, 32, 32));
        } else if (FDialog->Icon() == tiShield) {
            DrawIconEx(c.Handle(), 0, 0, LoadIcon(IDI_SHIELD), 32, 32);
        } else if (HICON icon = LoadIcon(kMainIcons[FDialog->Icon()])) {
            DrawIconEx(c.Handle(), 0, 0, icon, 32, 32);
        }
    }

private:
    TCustomKvxTaskDialog* FDialog;
};

} // namespace

void OpenHyperlink(const std::string& Url) {
    // The desktop's handler with the link as one argument; it refuses what is not a web or mail link.
    OpenLink(Url);
}

// ---- The component -------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TCustomKvxTaskDialog, plat::TComponent)

TCustomKvxTaskDialog::TCustomKvxTaskDialog(TComponent* AOwner) : TComponent(AOwner) {
    FCustomIcon = std::make_unique<TIcon>();
    FCustomButtons = std::make_unique<TStringList>();
    FRadioButtons = std::make_unique<TStringList>();
    FInputItems = std::make_unique<TStringList>();
}

TCustomKvxTaskDialog::~TCustomKvxTaskDialog() = default;

std::string TCustomKvxTaskDialog::Version() const {
    return VersionText(PackVersion(1, 5, 0, 6));
}

int TCustomKvxTaskDialog::Execute() {
    return ShowEmulatedTaskDialog(this, -1, -1);
}

void TCustomKvxTaskDialog::TextChanged() {
    if (MessageForm)
        MessageForm->UpdateDialog();
}

void TCustomKvxTaskDialog::SetInstruction(const std::string& Value) {
    if (FInstruction == Value)
        return;
    FInstruction = Value;
    TextChanged();
}

void TCustomKvxTaskDialog::SetContent(const std::string& Value) {
    if (FContent == Value)
        return;
    FContent = Value;
    TextChanged();
}

void TCustomKvxTaskDialog::SetExpandedText(const std::string& Value) {
    if (FExpandedText == Value)
        return;
    FExpandedText = Value;
    TextChanged();
}

void TCustomKvxTaskDialog::SetFooter(const std::string& Value) {
    if (FFooter == Value)
        return;
    FFooter = Value;
    TextChanged();
}

void TCustomKvxTaskDialog::SetInputControl(TWinControl* Value) {
    if (FInputControl == Value)
        return;
    if (FInputControl)
        FInputControl->RemoveFreeNotification(this);
    FInputControl = Value;
    if (FInputControl)
        FInputControl->FreeNotification(this);
}

void TCustomKvxTaskDialog::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FInputControl && !(ComponentState() & csDestroying))
        FInputControl = nullptr;
}

TWinControl* TCustomKvxTaskDialog::CreateButton(TComponent* AOwner) {
    return new TButton(AOwner);
}

TWinControl* TCustomKvxTaskDialog::CreateRadioButton(TComponent* AOwner) {
    return new TRadioButton(AOwner);
}

void TCustomKvxTaskDialog::InitRadioButton(TCustomForm* Form, TWinControl* Radio, TNotifyEvent OnClick,
                                           int Index) {
    Radio->SetName("Radio" + std::to_string(Index));
    Radio->SetParent(Form);
    Radio->Font()->SetName(Form->Canvas()->Font()->Name());
    Radio->Font()->SetSize(8);
    Radio->OnClick = std::move(OnClick);
}

void TCustomKvxTaskDialog::SetRadioChecked(TWinControl* Radio, bool Checked) {
    if (auto* r = dynamic_cast<TRadioButton*>(Radio))
        r->SetChecked(Checked);
}

void TCustomKvxTaskDialog::SetControlText(TWinControl* Control, const std::string& Text) {
    Control->SetCaption(Text);
}

void TCustomKvxTaskDialog::SetButtonCaption(TWinControl* Button, const std::string& Caption) {
    if (auto* b = dynamic_cast<TButton*>(Button))
        b->SetCaption(Caption);
}

void TCustomKvxTaskDialog::SetButtonCancel(TWinControl* Button, bool Cancel) {
    if (auto* b = dynamic_cast<TButton*>(Button))
        b->SetCancel(Cancel);
}

void TCustomKvxTaskDialog::SetButtonDefault(TWinControl* Button, bool Default) {
    if (auto* b = dynamic_cast<TButton*>(Button))
        b->SetDefault(Default);
}

void TCustomKvxTaskDialog::SetButtonModalResult(TWinControl* Button, int Result) {
    if (auto* b = dynamic_cast<TButton*>(Button))
        b->SetModalResult(Result);
}

int TCustomKvxTaskDialog::GetButtonModalResult(TWinControl* Button) {
    auto* b = dynamic_cast<TButton*>(Button);
    return b ? b->ModalResult() : 0;
}

namespace {

// What both dialog classes publish.
template <class D> void PublishDialogTexts(TPropertyBuilder<D>& props) {
    props.String("Title", &D::Title, &D::SetTitle);
    props.String("Instruction", &D::Instruction, &D::SetInstruction);
    props.String("Content", &D::Content, &D::SetContent);
    props.Enum("Icon", &D::Icon, &D::SetIcon, kTaskDialogIconNames, tiBlank);
    props.Object("CustomIcon", &D::CustomIcon, &D::SetCustomIcon);
    props.Set("CommonButtons", &D::CommonButtons, &D::SetCommonButtons, kCommonButtonNames,
              TCommonButtons(0));
    // Layouts always carry it, whatever its value.
    props.Integer("DefaultButton", &D::DefaultButton, &D::SetDefaultButton);
    props.Object("CustomButtons", &D::CustomButtons, &D::SetCustomButtons);
    props.Enum("DialogPosition", &D::DialogPosition, &D::SetDialogPosition, kTaskDialogPositionNames,
               dpScreenCenter);
    props.String("ExpandedText", &D::ExpandedText, &D::SetExpandedText);
    props.String("ExpandControlText", &D::ExpandControlText, &D::SetExpandControlText);
    props.String("CollapsControlText", &D::CollapsControlText, &D::SetCollapsControlText);
    props.String("Footer", &D::Footer, &D::SetFooter);
    props.Enum("FooterIcon", &D::FooterIcon, &D::SetFooterIcon, kTaskDialogFooterIconNames, tfiBlank);
    props.String("VerificationText", &D::VerificationText, &D::SetVerificationText);
    props.Boolean("ApplicationIsParent", &D::ApplicationIsParent, &D::SetApplicationIsParent, true);
    props.String("Version", &D::Version, &D::SetVersion);
    props.Event("OnDialogCreated", &D::OnDialogCreated);
    props.Event("OnDialogClose", &D::OnDialogClose);
    props.Event("OnDialogButtonClick", &D::OnDialogButtonClick);
    props.Event("OnDialogVerifyClick", &D::OnDialogVerifyClick);
}

} // namespace

PLAT_CLASS_INFO_CREATABLE(TKvxTaskDialog, TCustomKvxTaskDialog)

PLAT_PROPERTIES(TKvxTaskDialog) {
    using D = TKvxTaskDialog;
    PublishDialogTexts(props);
    props.Object("RadioButtons", &D::RadioButtons, &D::SetRadioButtons);
    props.Integer("DefaultRadioButton", &D::DefaultRadioButton, &D::SetDefaultRadioButton);
    props.Set("Options", &D::Options, &D::SetOptions, kTaskDialogOptionNames, TTaskDialogOptions(0));
    props.Enum("NonNativeDialog", &D::NonNativeDialog, &D::SetNonNativeDialog, kNonNativeDialogNames,
               nndAuto);
    props.Integer("NonNativeMinFormWidth", &D::NonNativeMinFormWidth, &D::SetNonNativeMinFormWidth, 350);
    props.Integer("ProgressBarMin", &D::ProgressBarMin, &D::SetProgressBarMin, 0);
    props.Integer("ProgressBarMax", &D::ProgressBarMax, &D::SetProgressBarMax, 100);
    props.Event("OnDialogRadioClick", &D::OnDialogRadioClick);
    props.Event("OnDialogHyperlinkClick", &D::OnDialogHyperlinkClick);
    props.Event("OnDialogTimer", &D::OnDialogTimer);
    props.Event("OnDialogProgress", &D::OnDialogProgress);
}

PLAT_CLASS_INFO_CREATABLE(TKvxInputTaskDialog, TCustomKvxTaskDialog)

PLAT_PROPERTIES(TKvxInputTaskDialog) {
    using D = TKvxInputTaskDialog;
    PublishDialogTexts(props);
    // The stream default is the value the constructor gives, so that an input type of none is stored.
    props.Enum("InputType", &D::InputType, &D::SetInputType, kInputTypeNames, itEdit);
    props.String("InputText", &D::InputText, &D::SetInputText);
    props.Object("InputItems", &D::InputItems, &D::SetInputItems);
    props.Component("InputControl", &D::InputControl, &D::SetInputControl);
    props.Event("OnDialogInputSetText", &D::OnDialogInputSetText);
    props.Event("OnDialogInputGetText", &D::OnDialogInputGetText);
}

namespace {
struct TRegistrar {
    TRegistrar() {
        RegisterClass(TKvxTaskDialog::StaticClass());
        RegisterClass(TKvxInputTaskDialog::StaticClass());
    }
} registrar;
} // namespace

TKvxInputTaskDialog::TKvxInputTaskDialog(TComponent* AOwner) : TCustomKvxTaskDialog(AOwner) {
    SetOptions(OptionBit(doAllowDialogCancel));
    SetInputType(itEdit);
}

int TKvxInputTaskDialog::Execute() {
    return ShowEmulatedTaskDialog(this, -1, -1);
}

// ---- Showing -------------------------------------------------------------------------------------------

namespace {

TKvxMessageForm* CreateEmulatedDialogForm(TCustomKvxTaskDialog* Dialog) {
    TComponent* owner = Application;
    if (!Dialog->ApplicationIsParent()) {
        owner = dynamic_cast<TCustomForm*>(Dialog->Owner());
        if (!owner)
            throw EInvalidCast("Invalid class typecast");
    }
    auto* form = NewForm<TKvxMessageForm>(owner);
    ScopeGuard freeUnfinished([form] { form->Free(); });
    if (Dialog->HasOption(doAllowMinimize)) {
        form->SetBorderStyle(bsSingle);
        form->SetBorderIcons(biSystemMenu | biMinimize);
    } else {
        form->SetBorderStyle(bsDialog);
        form->SetBorderIcons(0);
    }
    form->SetKeyPreview(true);
    form->MinFormWidth = Dialog->NonNativeMinFormWidth();
    form->BuildDialog(Dialog);
    freeUnfinished.Dismiss();
    return form;
}

} // namespace

int ShowEmulatedTaskDialog(TCustomKvxTaskDialog* Dialog, int X, int Y) {
    if (!Dialog)
        return -1;
    TKvxMessageForm* form = CreateEmulatedDialogForm(Dialog);
    Dialog->MessageForm = form;
    ScopeGuard done([Dialog, form] {
        Dialog->MessageForm = nullptr;
        form->Free();
    });
    if (Dialog->OnDialogCreated) {
        Dialog->OnDialogCreated(Dialog);
        if (TProgressBar* bar = form->ProgressBar(); bar && Dialog->HasOption(doProgressBar)) {
            bar->SetMin(Dialog->ProgressBarMin());
            bar->SetMax(Dialog->ProgressBarMax());
        }
    }
    form->SetColor(clWhite);
    if (X >= 0)
        form->SetLeft(X);
    if (Y >= 0)
        form->SetTop(Y);
    if (X < 0 && Y < 0 && Dialog->DialogPosition() == dpOwnerFormCenter) {
        if (auto* owner = dynamic_cast<TCustomForm*>(Dialog->Owner())) {
            TRect r = owner->BoundsRect();
            form->SetBounds(r.Left + (r.Width() - form->Width()) / 2,
                            r.Top + (r.Height() - form->Height()) / 2, form->Width(), form->Height());
        }
    }
    return form->ShowModal();
}

// ---- The form ------------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TKvxMessageForm, plat::TForm)

TKvxMessageForm::TKvxMessageForm(TComponent* AOwner) : TForm(AOwner) {
    // The system's message-box font; this desktop uses its menu font for it.
    if (Screen)
        Font()->Assign(Screen->MenuFont());
    else
        Font()->SetName("Tahoma");
    Font()->SetColor(clWindowText);
    SetColor(clWhite);
    SetPosition(poDesigned);
    FMeasure = std::make_unique<TBitmap>();
    FMeasure->SetSize(1, 1);
    FBandTop = Height();
    OnKeyDown = [this](TObject* s, uint16_t& k, TShiftState sh) { FormKeyDown(s, k, sh); };
}

TKvxMessageForm::~TKvxMessageForm() = default;

void TKvxMessageForm::ComputeMetrics() {
    TCanvas& c = *FMeasure->Canvas();
    c.Font()->Assign(Font());
    TSize extent = c.TextExtent(kAveCharText);
    int width = extent.cx / 52, height = extent.cy;
    FHorzMargin = MulDiv(8, width, 4);
    FVertMargin = MulDiv(8, height, 8);
    FHorzSpacing = MulDiv(10, width, 4);
    FVertSpacing = MulDiv(10, height, 8);
    FButtonHeight = MulDiv(14, height, 8);
    FButtonSpacing = MulDiv(4, width, 4);
}

void TKvxMessageForm::MeasureText(const std::string& Text, int& Height, int& Width) {
    if (Text.empty()) {
        Height = 0;
        Width = 0;
        return;
    }
    TCanvas& c = *FMeasure->Canvas();
    c.Font()->Assign(Font());
    TRect r(0, 0, Width == 0 ? 1000 : Width, 100);
    c.TextRect(r, Text, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
    Height = r.Height();
    Width = r.Width();
}

int TKvxMessageForm::MeasureSingleLine(const std::string& Text) {
    TCanvas& c = *FMeasure->Canvas();
    c.Font()->Assign(Font());
    TRect r(0, 0, 1000, 100);
    c.TextRect(r, Text.empty() ? std::string(" ") : Text, DT_CALCRECT | DT_SINGLELINE);
    return Text.empty() ? 0 : r.Width();
}

void TKvxMessageForm::MeasureDialogText(const std::string& Text, bool Markup, const TRect& Rect, int& Width,
                                        int& Height) {
    if (Markup) {
        TCanvas& c = *FMeasure->Canvas();
        c.Font()->Assign(Font());
        TMarkupOptions o = DialogMarkupOptions();
        o.MeasureOnly = true;
        TMarkupResult result;
        DrawMarkupText(c, MarkupBreaks(Text), Rect, o, result);
        Width = result.MaxLineWidth;
        Height = result.TotalHeight;
    } else {
        Width = Rect.Width();
        MeasureText(PlainBreaks(Text), Height, Width);
    }
}

void TKvxMessageForm::DrawDialogText(const std::string& Text, bool Markup, const TRect& Rect) {
    TCanvas& c = *Canvas();
    c.Font()->Assign(Font());
    c.Brush()->SetStyle(bsClear);
    if (Markup) {
        DrawMarkupText(c, MarkupBreaks(Text), Rect, DialogMarkupOptions());
    } else {
        TRect r = Rect;
        c.TextRect(r, PlainBreaks(Text), DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
    }
}

void TKvxMessageForm::BuildDialog(TCustomKvxTaskDialog* Dialog) {
    FDialog = Dialog;
    const TCommonButtons common = Dialog->CommonButtons();
    const bool commandLinks = Dialog->HasOption(doCommandLinks) || Dialog->HasOption(doCommandLinksNoIcon);
    const bool linkIcons = !Dialog->HasOption(doCommandLinksNoIcon);
    const bool allowCancel = Dialog->HasOption(doAllowDialogCancel);
    const int defaultButton = Dialog->DefaultButton();
    TCanvas& measure = *FMeasure->Canvas();
    ComputeMetrics();

    // Caption.
    SetCaption(Dialog->Title().empty() ? ApplicationTitleFromExe() : Dialog->Title());
    int minWidth = Caption().empty() ? 0 : MeasureSingleLine(Caption()) + 50;

    // Default and cancel kinds.
    auto has = [common](TCommonButton b) { return (common & CommonButtonBit(b)) != 0; };
    int defaultKind = cbOK; // -1: none
    int cancelKind = cbOK;
    switch (defaultButton) {
    case -1:
        defaultKind = -1;
        break;
    case 0:
        defaultKind = has(cbOK) ? cbOK : has(cbYes) ? cbYes : cbRetry;
        cancelKind = has(cbCancel) ? cbCancel : has(cbNo) ? cbNo : cbOK;
        break;
    case 1:
        defaultKind = has(cbOK) ? cbOK : cbYes;
        break;
    case 2:
        defaultKind = has(cbCancel) ? cbCancel : cbNo;
        break;
    case 6:
        if (has(cbYes))
            defaultKind = cbYes;
        break;
    case 7:
        if (has(cbNo))
            defaultKind = cbNo;
        break;
    default:
        break;
    }

    // Common buttons.
    int commonRow = 0;
    auto addCommon = [&](TCommonButton kind, int padding, bool forceDefault) {
        const TCommonButtonInfo& info = kCommonButtons[kind];
        if (gCommonButtonWidths[kind] == 0)
            gCommonButtonWidths[kind] = MeasureSingleLine(info.Caption) + padding;
        TWinControl* button = Dialog->CreateButton(this);
        FCommonButtons.push_back(button);
        button->SetName(info.Name);
        button->SetParent(this);
        Dialog->SetButtonCaption(button, info.Caption);
        Dialog->SetButtonModalResult(button, info.Result);
        if (allowCancel && (info.Result == 2 || kind == cancelKind))
            Dialog->SetButtonCancel(button, true);
        if (forceDefault || (defaultButton != -1 && kind == defaultKind)) {
            Dialog->SetButtonDefault(button, true);
            button->SetTabOrder(0);
        }
        button->SetWidth(std::max(60, gCommonButtonWidths[kind]));
        button->SetHeight(FButtonHeight);
        commonRow += button->Width() + FButtonSpacing;
        button->SetTabStop(defaultButton != -1);
    };
    for (int k = cbOK; k <= cbClose; ++k)
        if (has(static_cast<TCommonButton>(k)))
            addCommon(static_cast<TCommonButton>(k), 16, false);

    // Custom buttons or command links.
    int customRow = 0;
    TStrings* customs = Dialog->CustomButtons();
    if (commandLinks) {
        TFont heading, text;
        heading.Assign(Font());
        heading.SetSize(11);
        heading.SetStyle(fsBold);
        text.Assign(Font());
        int linkWidth = 0;
        for (int i = 0; i < customs->Count(); ++i) {
            std::string caption = customs->Get(i);
            int h = 0, w = 0;
            MeasureCommandLinkText(measure, caption, &heading, true, h, w, 0, &text);
            linkWidth = std::max(linkWidth, w + 26);
            minWidth = std::max(minWidth, linkIcons ? 2 * FHorzMargin + linkWidth + FHorzSpacing + 32
                                                    : linkWidth + FHorzMargin);
            auto* link = new TTaskDialogButton(this);
            link->SetName("Button" + std::to_string(i));
            link->SetParent(this);
            link->SetCaption(caption);
            text.SetColor(kInstructionColor);
            heading.SetColor(kInstructionColor);
            link->Font()->Assign(&text);
            link->SetHeadingFont(&heading);
            link->ModalResult = 100 + i;
            link->BorderColorHot = kLinkBorderColor;
            link->BorderColorDown = kLinkBorderColor;
            link->SetWidth(std::max(60, linkWidth));
            link->FocusOnHover = defaultButton != -1;
            measure.Font()->Assign(&text);
            link->SetHeight(std::max(h, std::max(FButtonHeight, measure.TextHeight("gh") + 20)));
            if (linkIcons) {
                TBitmap b;
                LoadTaskDialogPicture(b, "TD_ARW");
                link->SetPicture(&b);
                LoadTaskDialogPicture(b, "TD_ARWHOT");
                link->SetPictureHot(&b);
                LoadTaskDialogPicture(b, "TD_ARWDOWN");
                link->SetPictureDown(&b);
                LoadTaskDialogPicture(b, "TD_ARWDIS");
                link->SetPictureDisabled(&b);
            }
            link->SetTabStop(defaultButton != -1);
            link->OnClick = [this](TObject* s) { CommandLinkClick(s); };
            FCustomButtons.push_back(link);
        }
    } else {
        for (int i = 0; i < customs->Count(); ++i) {
            std::string caption = customs->Get(i);
            int width = MeasureSingleLine(caption) + 16;
            TWinControl* button = Dialog->CreateButton(this);
            button->SetName("Button" + std::to_string(i));
            button->SetParent(this);
            Dialog->SetButtonCaption(button, caption);
            Dialog->SetButtonModalResult(button, 100 + i);
            if (100 + i == defaultButton)
                Dialog->SetButtonDefault(button, true);
            button->SetWidth(std::max(60, width));
            button->SetHeight(FButtonHeight);
            button->OnClick = [this](TObject* s) { CommandLinkClick(s); };
            customRow += button->Width() + FButtonSpacing;
            button->SetTabStop(defaultButton != -1);
            FCustomButtons.push_back(button);
        }
    }

    // A dialog always has a way out: one OK button.
    if (FCommonButtons.empty() && FCustomButtons.empty())
        addCommon(cbOK, 8, true);

    // Instruction.
    const int iconId = kMainIcons[Dialog->Icon()];
    const bool hasIcon = iconId != 0 || !Dialog->CustomIcon()->Empty();
    TFont instrFont;
    instrFont.Assign(Font());
    instrFont.SetSize(11);
    instrFont.SetStyle(fsBold);
    TRect instrRect(0, 0, Screen ? Screen->Width() / 2 : 960, 0);
    measure.Font()->Assign(&instrFont);
    if (!Dialog->Instruction().empty())
        measure.TextRect(instrRect, Dialog->Instruction(), DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    else
        instrRect = TRect(0, 0, 0, measure.TextHeight("gh"));
    int headerWidth = instrRect.Width();
    if (hasIcon)
        headerWidth = instrRect.Width() + FHorzSpacing + 32;

    if (hasIcon) {
        auto* image = new TTaskDialogImage(this, Dialog);
        image->SetName("Image");
        image->SetParent(this);
        image->SetBounds(FHorzMargin, FVertMargin, 32, 32);
        FImage = image;
    }

    FInstr = new TLabel(this);
    FInstr->SetName("Instr");
    FInstr->SetParent(this);
    FInstr->SetAutoSize(false);
    FInstr->SetWordWrap(true);
    FInstr->SetShowAccelChar(false);
    FInstr->SetTransparent(true);
    FInstr->Font()->Assign(&instrFont);
    FInstr->Font()->SetColor(kInstructionColor);
    FInstr->SetCaption(Dialog->Instruction());
    int instrLeft = hasIcon ? FHorzMargin + FHorzSpacing + 32 : FHorzMargin;
    FInstr->SetBounds(instrLeft, FVertMargin, instrRect.Width(), instrRect.Height());
    int y = FVertMargin + FInstr->Height() + FVertSpacing;
    FContentLeft = instrLeft;

    if (Dialog->HasOption(doTimer)) {
        FTimer = new TTimer(this);
        FTimer->SetInterval(100);
        FTimer->SetOnTimer([this](TObject* s) { TimerTick(s); });
    }
    if (Dialog->HasOption(doProgressBar)) {
        FProgressBar = new TProgressBar(this);
        FProgressBar->SetName("ProgressBar");
        FProgressBar->SetParent(this);
        FProgressBar->SetBounds(FHorzMargin, y, std::max(0, ClientWidth() - 2 * FHorzMargin), 12);
        // The bar keeps its own range until the dialog is created with a handler for that (see
        // ShowEmulatedTaskDialog), as a native dialog would.
        FProgressBar->SetPosition(0);
        if (!FTimer) {
            FTimer = new TTimer(this);
            FTimer->SetInterval(100);
            FTimer->SetOnTimer([this](TObject* s) { TimerTick(s); });
        }
    }

    // Radio buttons.
    TStrings* radios = Dialog->RadioButtons();
    if (radios->Count() > 0) {
        const bool noDefault = Dialog->HasOption(doNoDefaultRadioButton);
        Dialog->RadioButtonResult = noDefault ? 0 : Dialog->DefaultRadioButton();
        for (int i = 0; i < radios->Count(); ++i) {
            TWinControl* radio = Dialog->CreateRadioButton(this);
            FRadioButtons.push_back(radio);
            Dialog->InitRadioButton(
                this, radio, [this](TObject* s) { RadioClick(s); }, i);
            radio->SetParentColor(true);
            int left = FContentLeft + FHorzMargin;
            radio->SetBounds(left, y, std::max(0, Width() - left - 4), instrRect.Height());
            minWidth = std::max(minWidth, left + MeasureSingleLine(radios->Get(i)) + FHorzMargin + 20);
            Dialog->SetControlText(radio, radios->Get(i));
            bool checked = false;
            if (!noDefault)
                checked = Dialog->DefaultRadioButton() < 1 ? i == 0 : 200 + i == Dialog->DefaultRadioButton();
            Dialog->SetRadioChecked(radio, checked);
        }
    }

    // Expanded text and its button.
    if (!Dialog->ExpandedText().empty()) {
        MeasureDialogText(Dialog->ExpandedText(), Dialog->HasOption(doHyperlinks),
                          TRect(FHorzMargin, y, 300, y + 26), FExpandedWidth, FExpandedHeight);
        FExpandButton = new TTaskDialogButton(this);
        FExpandButton->SetName("ExpandButton");
        FExpandButton->SetParent(this);
        FExpandButton->ModalResult = 0;
        FExpandButton->SetBounds(0, 0, 19, 19);
        FExpandButton->SetTabStop(true);
        FExpandButton->OnClick = [this](TObject*) { ToggleExpanded(); };
        TBitmap b;
        LoadTaskDialogPicture(b, "TD_COLP");
        FExpandButton->SetPicture(&b);
        LoadTaskDialogPicture(b, "TD_COLPHOT");
        FExpandButton->SetPictureHot(&b);
        LoadTaskDialogPicture(b, "TD_COLPDOWN");
        FExpandButton->SetPictureDown(&b);
    }

    // Verification box.
    int verificationWidth = 0;
    if (!Dialog->VerificationText().empty()) {
        FVerification = new TCheckBox(this);
        FVerification->SetName("Verification");
        FVerification->SetParent(this);
        FVerification->SetCaption(Dialog->VerificationText());
        int captionWidth = MeasureSingleLine(Dialog->VerificationText()) + 20; // the box beside the caption
        FVerification->SetBounds(FHorzMargin, y, captionWidth, instrRect.Height());
        FVerification->SetColor(kBandColor);
        FVerification->SetChecked(Dialog->HasOption(doVerifyChecked));
        // What is reported is what the box shows, also when it is never clicked.
        Dialog->VerifyResult = FVerification->Checked();
        FVerification->OnClick = [this](TObject* s) { VerificationClick(s); };
        FVerification->SetTabStop(true);
        verificationWidth = 2 * FVertSpacing + captionWidth;
        minWidth = std::max(minWidth, FHorzMargin + captionWidth);
    }

    // Footer.
    if (!Dialog->Footer().empty()) {
        MeasureDialogText(Dialog->Footer(), true, TRect(FHorzMargin, y, 300, y + 26), FFooterWidth,
                          FFooterHeight);
        FFooterIconId = kFooterIcons[Dialog->FooterIcon()];
        if (FFooterIconId != 0) {
            auto* marker = new TGraphicControl(this);
            marker->SetName("FooterImage");
            marker->SetVisible(false);
            marker->SetParent(this);
            marker->SetBounds(FHorzMargin, y, 16, 16);
            FFooterImage = marker;
        }
    }

    int rowWidth = commonRow + customRow + verificationWidth;
    if (FExpandButton)
        rowWidth += std::max(MeasureSingleLine(Dialog->CollapsControlText()),
                             MeasureSingleLine(Dialog->ExpandControlText())) +
                    FExpandButton->Width() + 2 * FHorzSpacing;

    if (Dialog->Content().empty())
        y -= 20;

    // Input control.
    const int inputLeft = instrLeft;
    const int inputWidth = std::max(0, ClientWidth() - inputLeft);
    switch (Dialog->InputType()) {
    case itEdit:
        FEdit = new TEdit(this);
        FEdit->SetParent(this);
        FEdit->SetTabStop(true);
        FEdit->SetTextProp(Dialog->InputText());
        FEdit->SetBounds(inputLeft, y + 20, inputWidth, 20);
        break;
    case itMemo:
        FMemo = new TMemo(this);
        FMemo->SetParent(this);
        FMemo->SetTabStop(true);
        FMemo->SetWantReturns(false);
        FMemo->SetTextProp(Dialog->InputText());
        FMemo->SetBounds(inputLeft, y + 20, inputWidth, 60);
        break;
    case itComboEdit:
    case itComboList:
        FCombo = new TComboBox(this);
        FCombo->SetParent(this);
        FCombo->SetTabStop(true);
        FCombo->Items()->Assign(Dialog->InputItems());
        if (Dialog->InputType() == itComboList) {
            FCombo->SetStyle(csDropDownList);
            FCombo->SetItemIndex(FCombo->Items()->IndexOf(Dialog->InputText()));
        } else {
            FCombo->SetTextProp(Dialog->InputText());
        }
        FCombo->SetBounds(inputLeft, y + 20, inputWidth, 20);
        break;
    case itDate:
        FDatePicker = new TDateTimePicker(this);
        FDatePicker->SetParent(this);
        FDatePicker->SetTabStop(true);
        FDatePicker->SetBounds(inputLeft, y + 20, FDatePicker->Width(), FDatePicker->Height());
        break;
    case itCustom:
        if (TWinControl* control = Dialog->InputControl()) {
            FOldParent = control->Parent();
            control->SetParent(this);
            control->SetBounds(inputLeft, y + 20, control->Width(), control->Height());
            control->Show();
            if (Dialog->OnDialogInputSetText)
                Dialog->OnDialogInputSetText(Dialog, Dialog->InputText());
            else
                control->SetCaption(Dialog->InputText());
        }
        break;
    case itNone:
        break;
    }

    // Width: what the rows, header and footer need, within the screen.
    int width = std::max({rowWidth, headerWidth, FFooterWidth}) + 2 * FHorzMargin;
    width = std::max(width, 2 * FHorzMargin + FExpandedWidth);
    width = std::max(width, minWidth);
    width = std::max(width, MinFormWidth);
    if (Screen)
        width = std::min(width, Screen->Width() - 2 * GetSystemMetrics(SM_CYEDGE));
    SetClientWidth(width);

    if (Dialog->InputType() == itCustom && Dialog->InputControl()) {
        TWinControl* control = Dialog->InputControl();
        if (control->Width() > ClientWidth() - inputLeft)
            control->SetWidth(ClientWidth() - inputLeft);
    } else if (FEdit || FMemo || FCombo) {
        TWinControl* input = FEdit   ? static_cast<TWinControl*>(FEdit)
                             : FMemo ? static_cast<TWinControl*>(FMemo)
                                     : FCombo;
        // The initial client width was a guess; an input spans to the right margin.
        input->SetWidth(std::max(0, ClientWidth() - inputLeft - FHorzMargin));
    }
    if (FProgressBar)
        FProgressBar->SetWidth(ClientWidth() - 2 * FHorzMargin);

    ArrangeControls();
    FExpanded = true;
    if (FExpandButton)
        SetExpanded(Dialog->HasOption(doExpandedDefault));

    if (Screen)
        SetBounds(Screen->Width() / 2 - Width() / 2, Screen->Height() / 2 - Height() / 2, Width(), Height());
}

TRect TKvxMessageForm::ContentRect() const {
    int left = FImage ? FImage->BoundsRect().Right + FHorzSpacing : FHorzMargin;
    int top = !FInstr || FInstr->Caption().empty() ? FVertMargin : FInstr->BoundsRect().Bottom + FVertSpacing;
    return TRect(left, top, ClientWidth() - FHorzMargin, top + FContentHeight);
}

TRect TKvxMessageForm::ExpandedTextRect() const {
    TRect r = ContentRect();
    return TRect(r.Left, FExpandedTop, r.Right, FExpandedTop + FExpandedHeight);
}

TRect TKvxMessageForm::FooterRect() const {
    return TRect(FHorzMargin, ClientHeight() - FFooterHeight - 10, ClientWidth() - FHorzMargin,
                 ClientHeight());
}

void TKvxMessageForm::ArrangeControls() {
    ComputeMetrics();
    TCustomKvxTaskDialog* d = FDialog;
    const bool markup = d->HasOption(doHyperlinks);
    const bool commandLinks = d->HasOption(doCommandLinks) || d->HasOption(doCommandLinksNoIcon);
    const bool hasCaption = !FInstr->Caption().empty();

    int y = FVertMargin;
    if (hasCaption)
        y += FInstr->Height() + FVertSpacing;
    FInstr->SetVisible(hasCaption);

    TWinControl* input = FEdit                        ? static_cast<TWinControl*>(FEdit)
                         : FMemo                      ? static_cast<TWinControl*>(FMemo)
                         : FCombo                     ? static_cast<TWinControl*>(FCombo)
                         : FDatePicker                ? static_cast<TWinControl*>(FDatePicker)
                         : d->InputType() == itCustom ? d->InputControl()
                                                      : nullptr;
    if (!d->Content().empty()) {
        TRect r = ContentRect();
        r.Top = y;
        r.Bottom = y + 26;
        MeasureDialogText(d->Content(), markup, r, FContentWidth, FContentHeight);
        if (r.Width() < FContentWidth)
            SetClientWidth(ClientWidth() + FContentWidth - r.Width());
        int h = FContentHeight;
        if (!hasCaption && FImage)
            h = std::max(h, FImage->Height());
        y += h + FVertSpacing;
        if (input)
            input->SetTop(y - 10);
    } else {
        FContentWidth = FContentHeight = 0;
        if (FRadioButtons.empty() && !commandLinks)
            y += FVertSpacing;
        if (!hasCaption && FImage)
            y += FVertSpacing + FVertMargin;
    }

    switch (d->InputType()) {
    case itEdit:
    case itComboEdit:
    case itComboList:
    case itDate:
        y += 30;
        break;
    case itMemo:
        y += 70;
        break;
    case itCustom:
        y += d->InputControl() ? d->InputControl()->Height() + 10 : 30;
        break;
    case itNone:
        break;
    }

    if (FProgressBar) {
        if (FImage)
            y = std::max(y, FImage->BoundsRect().Bottom + 3);
        FProgressBar->SetTop(y);
        y += FProgressBar->Height() + FVertSpacing;
    }

    for (TWinControl* radio : FRadioButtons) {
        radio->SetBounds(radio->Left(), y, std::max(0, ClientWidth() - radio->Left() - FHorzMargin),
                         radio->Height());
        y += radio->Height() + 4;
    }
    if (!FRadioButtons.empty())
        y += FVertSpacing - 4;

    if (FExpandButton && FExpanded) {
        TRect r = ContentRect();
        r.Top = y;
        r.Bottom = y + 26;
        MeasureDialogText(d->ExpandedText(), markup, r, FExpandedWidth, FExpandedHeight);
        FExpandedTop = y;
        y += FExpandedHeight + FVertSpacing;
    }

    FBandTop = 0;
    int customRow = 0;
    if (commandLinks) {
        for (TWinControl* link : FCustomButtons) {
            int left = FImage ? FContentLeft : link->Left();
            link->SetBounds(left, y, std::max(0, ClientWidth() - left - FHorzMargin), link->Height());
            y += link->Height() + 2;
        }
        FBandTop = y;
        y += FVertSpacing;
    } else {
        for (TWinControl* b : FCustomButtons)
            customRow += b->Width();
        if (!FCustomButtons.empty())
            customRow += (static_cast<int>(FCustomButtons.size()) - 1) * FButtonSpacing;
    }

    int commonRow = -FButtonSpacing;
    for (TWinControl* b : FCommonButtons)
        commonRow += b->Width() + FButtonSpacing;
    int verificationWidth = FVerification ? 2 * FVertSpacing + FVerification->Width() : 0;
    (void)verificationWidth;
    int x = ClientWidth() - customRow - commonRow - FHorzSpacing - 4;
    int h = 0;
    int bottom = y;

    if (FExpandButton) {
        FExpandButton->SetBounds(FVertMargin, y, FExpandButton->Width(), FExpandButton->Height());
        h = std::max(h, FExpandButton->Height());
    }
    if (FVerification)
        FVerification->SetBounds(FVertMargin + 3, y + h, FVerification->Width(), FVerification->Height());

    bool anyButton = false;
    auto place = [&](TWinControl* b) {
        b->SetBounds(x, y, b->Width(), b->Height());
        x += b->Width() + FButtonSpacing;
        h = std::max(h, b->Height());
        anyButton = true;
    };
    if (!commandLinks)
        for (TWinControl* b : FCustomButtons)
            place(b);
    for (TWinControl* b : FCommonButtons)
        place(b);
    if (anyButton)
        FBandTop = y;

    if (FVerification) {
        bottom += std::max(h, FVerification->Height() + FVertSpacing);
        y += std::max(h + FVertSpacing, FVerification->Height() + FVertSpacing);
    } else {
        bottom += h;
        if (h > 0)
            y += h + FVertSpacing;
    }

    if (!d->Footer().empty()) {
        TRect r(FFooterImage ? FHorzMargin + 20 : FHorzMargin, y, Width() - FHorzMargin, y + 100);
        MeasureDialogText(d->Footer(), true, r, FFooterWidth, FFooterHeight);
        if (FFooterImage)
            FFooterImage->SetTop(y);
        bottom += std::max(FFooterHeight, FFooterImage ? 20 : 0) + FVertSpacing;
    }

    SetClientHeight(FVertMargin + bottom);
    if (FCommonButtons.empty() && (commandLinks || FCustomButtons.empty()))
        FBandTop = Height();
    if (FExpandButton && FExpanded && d->HasOption(doExpandedFooter))
        FBandTop = FExpandedTop;
    Invalidate();
}

void TKvxMessageForm::SetExpanded(bool Value) {
    if (FExpanded == Value)
        return;
    if (FExpandButton) {
        const char* names[3] = {"TD_EXP", "TD_EXPHOT", "TD_EXPDOWN"};
        const char* expanding[3] = {"TD_COLP", "TD_COLPHOT", "TD_COLPDOWN"};
        const char* const* set = Value ? expanding : names;
        TBitmap b;
        LoadTaskDialogPicture(b, set[0]);
        FExpandButton->SetPicture(&b);
        LoadTaskDialogPicture(b, set[1]);
        FExpandButton->SetPictureHot(&b);
        LoadTaskDialogPicture(b, set[2]);
        FExpandButton->SetPictureDown(&b);
    }
    FExpanded = Value;
    ArrangeControls();
    Repaint();
}

void TKvxMessageForm::ToggleExpanded() {
    if (FExpandButton)
        SetExpanded(!FExpanded);
}

void TKvxMessageForm::UpdateDialog() {
    TCustomKvxTaskDialog* d = FDialog;
    ComputeMetrics();
    int width = Caption().empty() ? 0 : MeasureSingleLine(Caption()) + 50;
    int rows = 0;
    for (TWinControl* b : FCommonButtons)
        rows += b->Width() + FButtonSpacing;
    const bool commandLinks = d->HasOption(doCommandLinks) || d->HasOption(doCommandLinksNoIcon);
    if (!commandLinks)
        for (TWinControl* b : FCustomButtons)
            rows += b->Width() + FButtonSpacing;
    if (FVerification)
        rows += 2 * FVertSpacing + FVerification->Width();
    if (FExpandButton)
        rows +=
            std::max(MeasureSingleLine(d->CollapsControlText()), MeasureSingleLine(d->ExpandControlText())) +
            FExpandButton->Width() + 2 * FHorzSpacing;

    TCanvas& measure = *FMeasure->Canvas();
    measure.Font()->Assign(FInstr->Font());
    TRect instrRect(0, 0, Screen ? Screen->Width() / 2 : 960, 0);
    if (!d->Instruction().empty())
        measure.TextRect(instrRect, d->Instruction(), DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    else
        instrRect = TRect(0, 0, 0, measure.TextHeight("gh"));
    int header = instrRect.Width() + (FImage ? FHorzSpacing + 32 : 0);
    for (size_t i = 0; i < FRadioButtons.size(); ++i)
        width = std::max(width, FRadioButtons[i]->Left() + MeasureSingleLine(FRadioButtons[i]->Caption()) +
                                    FHorzMargin + 20);
    if (FVerification)
        width = std::max(width, FHorzMargin + FVerification->Width());
    if (!d->Footer().empty())
        MeasureDialogText(d->Footer(), true, TRect(FHorzMargin, 0, 300, 26), FFooterWidth, FFooterHeight);
    else
        FFooterWidth = FFooterHeight = 0;

    FInstr->SetCaption(d->Instruction());
    FInstr->SetBounds(FInstr->Left(), FInstr->Top(), instrRect.Width(), instrRect.Height());
    // The radio choice shown stays the one reported: a text update does not reset it.
    int client = std::max({2 * FHorzMargin + std::max({header, rows, FFooterWidth}), width, MinFormWidth});
    SetClientWidth(client);
    if (FProgressBar)
        FProgressBar->SetWidth(ClientWidth() - 2 * FHorzMargin);
    ArrangeControls();
    Repaint();
}

// ---- Painting ------------------------------------------------------------------------------------------

void TKvxMessageForm::Paint() {
    TCanvas& c = *Canvas();
    TCustomKvxTaskDialog* d = FDialog;
    if (!d)
        return;
    const int width = ClientWidth(), height = ClientHeight();
    if (FBandTop > 0 && FBandTop < height) {
        int top = FBandTop - FVertSpacing / 2;
        c.Brush()->SetStyle(bsSolid);
        c.Brush()->SetColor(kBandColor);
        c.FillRect(TRect(0, top, width, height));
        c.Pen()->SetColor(kBandLineColor);
        c.MoveTo(0, top);
        c.LineTo(width, top);
        if (!IsVistaOrLater()) {
            c.Pen()->SetColor(kFrameColor);
            c.Brush()->SetStyle(bsClear);
            c.Rectangle(1, 1, width - 1, height - 1);
        }
    }
    const bool markup = d->HasOption(doHyperlinks);
    if (!d->Content().empty())
        DrawDialogText(d->Content(), markup, ContentRect());
    if (FExpandButton && FExpanded)
        DrawDialogText(d->ExpandedText(), markup, ExpandedTextRect());
    if (FExpandButton) {
        TRect b = FExpandButton->BoundsRect();
        TRect r(b.Right + FHorzSpacing - 5, b.Top, width, b.Bottom);
        c.Font()->Assign(Font());
        c.Brush()->SetStyle(bsClear);
        c.TextRect(r, FExpanded ? d->ExpandControlText() : d->CollapsControlText(),
                   DT_SINGLELINE | DT_VCENTER);
    }
    if (!d->Footer().empty()) {
        TRect r = FooterRect();
        int lineY = r.Top - FVertSpacing;
        c.Pen()->SetColor(kBandLineColor);
        c.MoveTo(2, lineY);
        c.LineTo(width - 3, lineY);
        c.Pen()->SetColor(clWhite);
        c.MoveTo(2, lineY + 1);
        c.LineTo(width - 3, lineY + 1);
        if (FFooterImage) {
            if (HICON icon = LoadIcon(FFooterIconId))
                DrawIconEx(c.Handle(), r.Left, r.Top, icon, 16, 16);
            r.Left += 20;
        }
        c.Font()->Assign(Font());
        c.Brush()->SetStyle(bsClear);
        DrawMarkupText(c, MarkupBreaks(d->Footer()), r, DialogMarkupOptions());
    }
}

// ---- Interaction ---------------------------------------------------------------------------------------

std::string TKvxMessageForm::AnchorAt(int X, int Y) {
    TCustomKvxTaskDialog* d = FDialog;
    struct TArea {
        TRect Rect;
        const std::string* Text;
        bool Markup;
    };
    TRect footer = FooterRect();
    if (FFooterImage)
        footer.Left += 20;
    const TArea areas[] = {
        {footer, &d->Footer(), !d->Footer().empty()},
        {ContentRect(), &d->Content(), d->HasOption(doHyperlinks)},
        {ExpandedTextRect(), &d->ExpandedText(), d->HasOption(doHyperlinks) && FExpandButton && FExpanded},
    };
    for (const TArea& a : areas) {
        if (!a.Markup || !a.Rect.Contains(TPoint(X, Y)))
            continue;
        TCanvas& c = *FMeasure->Canvas();
        c.Font()->Assign(Font());
        TMarkupOptions o = DialogMarkupOptions();
        o.NoDraw = true;
        o.X = X;
        o.Y = Y;
        TMarkupResult result;
        if (DrawMarkupText(c, MarkupBreaks(*a.Text), a.Rect, o, result))
            return result.LinkTarget;
        return {};
    }
    return {};
}

void TKvxMessageForm::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TForm::MouseDown(Button, Shift, X, Y);
    std::string anchor = AnchorAt(X, Y);
    if (anchor.empty())
        return;
    if (FDialog->OnDialogHyperlinkClick)
        FDialog->OnDialogHyperlinkClick(FDialog, anchor);
    else if (anchor.find("://") != std::string::npos)
        OpenHyperlink(anchor);
}

void TKvxMessageForm::MouseMove(TShiftState Shift, int X, int Y) {
    TForm::MouseMove(Shift, X, Y);
    std::string anchor = AnchorAt(X, Y);
    if (!anchor.empty()) {
        if (Cursor() == crDefault || anchor != FAnchor) {
            FAnchor = anchor;
            SetCursor(crHandPoint);
        }
    } else if (Cursor() == crHandPoint) {
        FAnchor.clear();
        SetCursor(crDefault);
    }
}

void TKvxMessageForm::FormKeyDown(TObject*, uint16_t& Key, TShiftState Shift) {
    if (Key == VK_F4 && (Shift & ssAlt))
        Key = 0;
    else if (Key == 'C' && (Shift & (ssShift | ssAlt | ssCtrl)) == ssCtrl)
        MessageBeep(0);
}

void TKvxMessageForm::KeyDown(uint16_t& Key, TShiftState Shift) {
    TForm::KeyDown(Key, Shift);
    if (Key == 'C' && (Shift & (ssShift | ssAlt | ssCtrl)) == ssCtrl)
        Clipboard()->SetAsText(FDialog->Title() + "\r\n" + FDialog->Instruction() + "\r\n" +
                               FDialog->Content());
}

void TKvxMessageForm::CMDialogChar(TMessage& Message) {
    TCustomKvxTaskDialog* d = FDialog;
    const char32_t ch = static_cast<char32_t>(Message.WParam);
    if (d->HasOption(doCommandLinks) || d->HasOption(doCommandLinksNoIcon)) {
        for (TWinControl* link : FCustomButtons) {
            if (IsAccel(ch, link->Caption()) && link->CanFocus()) {
                static_cast<TTaskDialogButton*>(link)->Click();
                Message.Result = 1;
                return;
            }
        }
    }
    if (FExpandButton && IsAccel(ch, FExpanded ? d->ExpandControlText() : d->CollapsControlText())) {
        ToggleExpanded();
        Message.Result = 1;
        return;
    }
    TForm::Dispatch(Message);
    if (Message.Result == 0 && ch == 27 && d->HasOption(doAllowDialogCancel)) {
        Close();
        Message.Result = 1;
    }
}

void TKvxMessageForm::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_DIALOGCHAR) {
        CMDialogChar(Message);
        return;
    }
    // The dialog stays above the windows it was opened over, whichever of them the user clicks. The
    // form's own activation handling still runs: the focus bookkeeping of this platform rests on it.
    if (Message.Msg == WM_ACTIVATE && HandleAllocated())
        SetWindowPos(WindowHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TForm::Dispatch(Message);
}

void TKvxMessageForm::CommandLinkClick(TObject* Sender) {
    auto it = std::find(FCustomButtons.begin(), FCustomButtons.end(), Sender);
    if (it != FCustomButtons.end() && FDialog->OnDialogButtonClick)
        FDialog->OnDialogButtonClick(FDialog, 100 + static_cast<int>(it - FCustomButtons.begin()));
}

void TKvxMessageForm::RadioClick(TObject* Sender) {
    auto it = std::find(FRadioButtons.begin(), FRadioButtons.end(), Sender);
    if (it == FRadioButtons.end())
        return;
    FDialog->RadioButtonResult = 200 + static_cast<int>(it - FRadioButtons.begin());
    if (FDialog->OnDialogRadioClick)
        FDialog->OnDialogRadioClick(FDialog, FDialog->RadioButtonResult);
}

void TKvxMessageForm::VerificationClick(TObject*) {
    FDialog->VerifyResult = FVerification->Checked();
    if (FDialog->OnDialogVerifyClick)
        FDialog->OnDialogVerifyClick(FDialog, FDialog->VerifyResult);
}

void TKvxMessageForm::TimerTick(TObject*) {
    if (FDialog->OnDialogTimer)
        FDialog->OnDialogTimer(FDialog);
    if (FProgressBar && FDialog->OnDialogProgress) {
        int pos = FProgressBar->Position();
        TTaskDialogProgressState state = tpsNormal;
        FDialog->OnDialogProgress(FDialog, pos, state);
        FProgressBar->SetPosition(pos);
    }
}

void TKvxMessageForm::DoShow() {
    TForm::DoShow();
    TCustomKvxTaskDialog* d = FDialog;
    int index = d->DefaultButton() - 100;
    if (index >= 0 && index < static_cast<int>(FCustomButtons.size()) && FCustomButtons[index]->CanFocus())
        SetActiveControl(FCustomButtons[index]);
    TWinControl* input = nullptr;
    switch (d->InputType()) {
    case itEdit:
        input = FEdit;
        break;
    case itMemo:
        input = FMemo;
        break;
    case itComboEdit:
    case itComboList:
        input = FCombo;
        break;
    case itDate:
        input = FDatePicker;
        break;
    case itCustom:
        input = d->InputControl();
        break;
    case itNone:
        break;
    }
    if (input)
        SetActiveControl(input);
}

void TKvxMessageForm::DoClose(TCloseAction& Action) {
    TCustomKvxTaskDialog* d = FDialog;
    bool canClose = true;
    if (d->OnDialogClose)
        d->OnDialogClose(d, canClose);
    // The input is read back before anything is taken apart; a refused close keeps it all in place.
    switch (d->InputType()) {
    case itEdit:
        d->SetInputText(FEdit->Text());
        break;
    case itMemo:
        d->SetInputText(FMemo->Text());
        break;
    case itDate:
        d->SetInputText(DateToStr(FDatePicker->Date()));
        break;
    case itComboEdit:
    case itComboList:
        d->SetInputText(FCombo->Text());
        break;
    case itCustom:
        if (TWinControl* control = d->InputControl()) {
            std::string text;
            if (d->OnDialogInputGetText)
                d->OnDialogInputGetText(this, text);
            else
                text = control->Caption().substr(0, 255);
            d->SetInputText(text);
        }
        break;
    case itNone:
        break;
    }
    if (!canClose) {
        Action = caNone;
        return;
    }
    if (d->InputType() == itCustom) {
        if (TWinControl* control = d->InputControl()) {
            control->Hide();
            control->SetParent(FOldParent);
        }
    }
    TForm::DoClose(Action);
}

} // namespace ui
