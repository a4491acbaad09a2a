#include "platform/ui/MessageDialog.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/StringUtils.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemIcons.h"

namespace plat {

namespace {

const char* const kButtonCaptions[] = {"&Yes",   "&No",     "OK",   "Cancel",     "&Abort",
                                       "&Retry", "&Ignore", "&All", "N&o to All", "Yes to &All"};

static_assert(std::size(kButtonCaptions) == mbYesToAll + 1);
const char* const kButtonNames[] = {"Yes",   "No",     "OK",  "Cancel",  "Abort",
                                    "Retry", "Ignore", "All", "NoToAll", "YesToAll"};
static_assert(std::size(kButtonNames) == mbYesToAll + 1);
const int kButtonResults[] = {mrYes,   mrNo,     mrOk,  mrCancel,  mrAbort,
                              mrRetry, mrIgnore, mrAll, mrNoToAll, mrYesToAll};
static_assert(std::size(kButtonResults) == mbYesToAll + 1);
const char* const kTypeCaptions[] = {"Warning", "Error", "Information", "Confirm", nullptr};
static_assert(std::size(kTypeCaptions) == mtCustom + 1);

constexpr int kMargin = 12; // around the content
constexpr int kIconSize = 32;
constexpr int kIconGap = 12;    // between the icon and the text
constexpr int kButtonsGap = 16; // between the text and the buttons
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonSpacing = 6;
constexpr int kMaxTextWidth = 440; // longer lines wrap

// The icon of a message dialog.
class TMessageIcon : public TGraphicControl {
public:
    TMessageIcon(TComponent* AOwner, TMsgDlgType Type) : TGraphicControl(AOwner), FType(Type) {}

protected:
    void Paint() override { DrawMessageIcon(*Canvas(), 0, 0, FType); }

private:
    TMsgDlgType FType;
};

class TMessageForm : public TDialogForm {
    PLAT_CLASS(TMessageForm)
public:
    explicit TMessageForm(TComponent* AOwner) : TDialogForm(AOwner) {}
};

PLAT_CLASS_INFO(TMessageForm, TDialogForm)

std::string ApplicationTitle() {
    if (Application && !Application->Title().empty())
        return Application->Title();
    std::string name = ExtractFileName(Application ? Application->ExeName() : std::string());
    return ChangeFileExt(name, "");
}

struct TMessageContent {
    std::string Text;
    std::string Caption;
    bool HasIcon = false;
    TMsgDlgType IconType = mtCustom;
    std::vector<TMsgDlgBtn> Buttons;
    int DefaultIndex = 0; // in Buttons
    int CancelIndex = -1; // the button Escape presses, -1 for none
    int HelpContext = 0;
};

// Builds the form: icon and wrapped text on top, the buttons centred below.
TDialogFormPtr<TMessageForm> CreateMessageForm(const TMessageContent& Content) {
    auto form = MakeDialogForm<TMessageForm>(nullptr);
    form->SetCaption(Content.Caption);
    form->SetHelpContext(Content.HelpContext);
    if (Content.CancelIndex < 0)
        form->SetBorderIcons(0); // nothing to answer a close with

    int maxText = kMaxTextWidth;
    if (Screen)
        maxText = std::max(200, std::min(kMaxTextWidth, Screen->WorkAreaWidth() / 2));
    TSize text = form->MeasureText(Content.Text, maxText, false);
    int iconWidth = Content.HasIcon ? kIconSize + kIconGap : 0;
    int contentHeight = std::max(Content.HasIcon ? kIconSize : 0, text.cy);

    std::vector<int> widths;
    int buttonsWidth = 0;
    for (TMsgDlgBtn b : Content.Buttons) {
        int w = std::max(kButtonWidth, form->MeasureText(kButtonCaptions[b]).cx + 16);
        widths.push_back(w);
        buttonsWidth += w;
    }
    buttonsWidth += kButtonSpacing * std::max(0, static_cast<int>(Content.Buttons.size()) - 1);

    int clientWidth = std::max(iconWidth + text.cx, buttonsWidth) + 2 * kMargin;
    int buttonsTop = kMargin + contentHeight + kButtonsGap;
    form->SetClientWidth(clientWidth);
    form->SetClientHeight(buttonsTop + kButtonHeight + kMargin);

    if (Content.HasIcon) {
        auto* icon = new TMessageIcon(form.get(), Content.IconType);
        icon->SetName("Image");
        icon->SetParent(form.get());
        icon->SetBounds(kMargin, kMargin, kIconSize, kIconSize);
    }
    // A short text sits level with the middle of the icon.
    int textTop = kMargin + (Content.HasIcon && text.cy < kIconSize ? (kIconSize - text.cy) / 2 : 0);
    auto* label = form->Add<TLabel>("Message", Bounds(kMargin + iconWidth, textTop, text.cx, text.cy));
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    label->SetShowAccelChar(false);
    label->SetCaption(Content.Text);
    label->SetBounds(kMargin + iconWidth, textTop, text.cx, text.cy);

    int x = (clientWidth - buttonsWidth) / 2;
    for (size_t i = 0; i < Content.Buttons.size(); ++i) {
        TMsgDlgBtn b = Content.Buttons[i];
        auto* button = form->AddButton(kButtonNames[b], kButtonCaptions[b],
                                       Bounds(x, buttonsTop, widths[i], kButtonHeight), kButtonResults[b]);
        if (static_cast<int>(i) == Content.DefaultIndex) {
            button->SetDefault(true);
            form->SetActiveControl(button);
        }
        if (static_cast<int>(i) == Content.CancelIndex)
            button->SetCancel(true);
        x += widths[i] + kButtonSpacing;
    }
    return form;
}

// The result of a message form: closing it counts as the button Escape presses.
int RunMessageForm(TMessageForm& Form, const TMessageContent& Content) {
    int result = Form.ShowModal();
    if (result == mrCancel && Content.CancelIndex >= 0)
        result = kButtonResults[Content.Buttons[Content.CancelIndex]];
    return result;
}

TMessageContent DialogContent(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                              int HelpCtx) {
    TMessageContent content;
    content.Text = Msg;
    content.Caption = kTypeCaptions[DlgType] ? kTypeCaptions[DlgType] : ApplicationTitle();
    content.HasIcon = DlgType != mtCustom;
    content.IconType = DlgType;
    content.HelpContext = HelpCtx;
    if (Buttons.Empty())
        Buttons = mbOK;
    for (int b = mbYes; b <= mbYesToAll; ++b)
        if (Buttons.Contains(static_cast<TMsgDlgBtn>(b)))
            content.Buttons.push_back(static_cast<TMsgDlgBtn>(b));
    auto indexOf = [&](TMsgDlgBtn b) {
        auto it = std::find(content.Buttons.begin(), content.Buttons.end(), b);
        return it == content.Buttons.end() ? -1 : static_cast<int>(it - content.Buttons.begin());
    };
    content.DefaultIndex = indexOf(mbOK);
    if (content.DefaultIndex < 0)
        content.DefaultIndex = indexOf(mbYes);
    if (content.DefaultIndex < 0)
        content.DefaultIndex = indexOf(mbRetry);
    if (content.DefaultIndex < 0)
        content.DefaultIndex = 0;
    content.CancelIndex = indexOf(mbCancel);
    if (content.CancelIndex < 0)
        content.CancelIndex = indexOf(mbNo);
    if (content.CancelIndex < 0)
        content.CancelIndex = indexOf(mbOK);
    return content;
}

// Messages go to a message box once the dialogs are part of the program.
const bool kExceptionBoxInstalled = [] {
    SetShowExceptionHandler([](Exception& E) {
        std::string msg = E.Message();
        if (!msg.empty() && msg.back() != '.')
            msg += '.';
        MessageBox(nullptr, msg, ApplicationTitle(), MB_OK | MB_ICONSTOP);
    });
    return true;
}();

} // namespace

void DrawMessageIcon(TCanvas& Canvas, int X, int Y, TMsgDlgType DlgType) {
    static const int kIcons[] = {IDI_WARNING, IDI_ERROR, IDI_INFORMATION, IDI_QUESTION, 0};
    static_assert(std::size(kIcons) == mtCustom + 1);
    if (HICON icon = kIcons[DlgType] ? LoadIcon(kIcons[DlgType]) : nullptr)
        DrawIconEx(Canvas.Handle(), X, Y, icon, kIconSize, kIconSize);
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
    return MessageDlgPos(Msg, DlgType, Buttons, HelpCtx, -1, -1);
}

int MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X,
                  int Y) {
    TMessageContent content = DialogContent(Msg, DlgType, Buttons, HelpCtx);
    auto form = CreateMessageForm(content);
    form->CentreOver(nullptr);
    if (X >= 0 || Y >= 0)
        form->PlaceAt(TPoint(X >= 0 ? X : form->Left(), Y >= 0 ? Y : form->Top()));
    return RunMessageForm(*form, content);
}

void ShowMessage(const std::string& Msg) {
    MessageDlg(Msg, mtCustom, mbOK, 0);
}

int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, uint32_t Flags) {
    TMessageContent content;
    content.Text = Text;
    content.Caption = Caption.empty() ? std::string("Error") : Caption;
    switch (Flags & MB_ICONMASK) {
    case MB_ICONHAND:
        content.HasIcon = true;
        content.IconType = mtError;
        break;
    case MB_ICONQUESTION:
        content.HasIcon = true;
        content.IconType = mtConfirmation;
        break;
    case MB_ICONEXCLAMATION:
        content.HasIcon = true;
        content.IconType = mtWarning;
        break;
    case MB_ICONASTERISK:
        content.HasIcon = true;
        content.IconType = mtInformation;
        break;
    default:
        break;
    }
    switch (Flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        content.Buttons = {mbOK, mbCancel};
        content.CancelIndex = 1;
        break;
    case MB_ABORTRETRYIGNORE:
        content.Buttons = {mbAbort, mbRetry, mbIgnore};
        break;
    case MB_YESNOCANCEL:
        content.Buttons = {mbYes, mbNo, mbCancel};
        content.CancelIndex = 2;
        break;
    case MB_YESNO:
        content.Buttons = {mbYes, mbNo};
        content.CancelIndex = 1;
        break;
    case MB_RETRYCANCEL:
        content.Buttons = {mbRetry, mbCancel};
        content.CancelIndex = 1;
        break;
    default:
        content.Buttons = {mbOK};
        content.CancelIndex = 0;
        break;
    }
    int def = static_cast<int>((Flags & MB_DEFMASK) >> 8);
    content.DefaultIndex = def < static_cast<int>(content.Buttons.size()) ? def : 0;

    auto form = CreateMessageForm(content);
    TRect ownerRect;
    if (Owner && IsWindow(Owner) && IsWindowVisible(Owner) && GetWindowRect(Owner, ownerRect))
        form->PlaceAt(TPoint(ownerRect.Left + (ownerRect.Width() - form->Width()) / 2,
                             ownerRect.Top + (ownerRect.Height() - form->Height()) / 2));
    else
        form->CentreOver(nullptr);
    return RunMessageForm(*form, content);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, uint32_t Flags) {
    HWND owner = nullptr;
    if (Screen && Screen->ActiveCustomForm() && Screen->ActiveCustomForm()->HandleAllocated())
        owner = Screen->ActiveCustomForm()->WindowHandle();
    return plat::MessageBox(owner, Text, Caption, Flags);
}

// ---- The input box ----

namespace {

class TInputForm : public TDialogForm {
    PLAT_CLASS(TInputForm)
public:
    explicit TInputForm(TComponent* AOwner) : TDialogForm(AOwner) {}
};

PLAT_CLASS_INFO(TInputForm, TDialogForm)

} // namespace

bool InputQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value) {
    auto form = MakeDialogForm<TInputForm>(nullptr);
    form->SetCaption(ACaption);
    const int clientWidth = 270, editWidth = clientWidth - 2 * kMargin;
    TSize prompt = form->MeasureText(APrompt, editWidth);
    auto* label = form->Add<TLabel>("Prompt", Bounds(kMargin, 10, prompt.cx, prompt.cy));
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    label->SetCaption(APrompt);
    label->SetBounds(kMargin, 10, prompt.cx, prompt.cy);
    int editTop = 10 + prompt.cy + 4;
    auto* edit = form->Add<TEdit>("Value", Bounds(kMargin, editTop, editWidth, 21));
    edit->SetTabStop(true);
    edit->SetMaxLength(255);
    edit->SetTextProp(Value);
    label->SetFocusControl(edit);
    int buttonsTop = editTop + 21 + 14;
    auto* ok = form->AddButton(
        "OK", "OK", Bounds(clientWidth / 2 - kButtonWidth - 3, buttonsTop, kButtonWidth, 25), mrOk);
    ok->SetDefault(true);
    auto* cancel = form->AddButton("Cancel", "Cancel",
                                   Bounds(clientWidth / 2 + 3, buttonsTop, kButtonWidth, 25), mrCancel);
    cancel->SetCancel(true);
    form->SetClientWidth(clientWidth);
    form->SetClientHeight(buttonsTop + 25 + 10);
    form->SetActiveControl(edit);
    edit->SelectAll();

    TCustomForm* over = Screen ? Screen->ActiveCustomForm() : nullptr;
    form->CentreOver(over && over->Visible() ? over : nullptr);
    if (form->ShowModal() != mrOk)
        return false;
    Value = edit->Text();
    return true;
}

std::string InputBox(const std::string& ACaption, const std::string& APrompt, const std::string& Default) {
    std::string value = Default;
    return InputQuery(ACaption, APrompt, value) ? value : Default;
}

} // namespace plat
