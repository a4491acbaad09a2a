// Message boxes and the one-line input box: MessageDlg (a typed message with a set of buttons),
// MessageBox (the system message box with MB_ flags and ID answers, also Application->MessageBox),
// ShowMessage, InputBox and InputQuery. They are modal forms built from the platform's controls.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

namespace plat {

class TCanvas;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll };

// A set of message dialog buttons: {mbYes, mbNo}, a single button, or one of the sets below.
class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(TMsgDlgBtn Button) : FBits(1u << Button) {}
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> Buttons) {
        for (TMsgDlgBtn b : Buttons)
            FBits |= 1u << b;
    }
    constexpr bool Contains(TMsgDlgBtn Button) const { return (FBits & (1u << Button)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TMsgDlgButtons operator+(TMsgDlgButtons Other) const { return FromBits(FBits | Other.FBits); }
    constexpr TMsgDlgButtons operator-(TMsgDlgButtons Other) const { return FromBits(FBits & ~Other.FBits); }
    constexpr bool operator==(const TMsgDlgButtons&) const = default;
    constexpr uint32_t ToBits() const { return FBits; }
    static constexpr TMsgDlgButtons FromBits(uint64_t Bits) {
        TMsgDlgButtons s;
        s.FBits = static_cast<uint32_t>(Bits);
        return s;
    }

private:
    uint32_t FBits = 0;
};

inline constexpr TMsgDlgButtons mbYesNo{mbYes, mbNo};
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
inline constexpr TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};

// Shows Msg with the icon and caption of DlgType ("Warning", "Error", "Information", "Confirm"; the
// application's title for mtCustom, which has no icon) and the buttons in their fixed order; answers
// the modal result of the button pressed (mrYes, mrNo, mrOk, …). OK (else Yes, else Retry) is the
// default button; Escape answers Cancel (else No, else OK) and is ignored when the dialog has none of
// them.
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
// The same with the dialog's top-left corner at the screen point (X, Y); -1 centres it on the screen.
int MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X,
                  int Y);
// Msg with an OK button, captioned with the application's title.
void ShowMessage(const std::string& Msg);

// Message box flags: the buttons (low four bits), the icon and the default button.
inline constexpr uint32_t MB_OK = 0x00000000;
inline constexpr uint32_t MB_OKCANCEL = 0x00000001;
inline constexpr uint32_t MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr uint32_t MB_YESNOCANCEL = 0x00000003;
inline constexpr uint32_t MB_YESNO = 0x00000004;
inline constexpr uint32_t MB_RETRYCANCEL = 0x00000005;
inline constexpr uint32_t MB_ICONHAND = 0x00000010;
inline constexpr uint32_t MB_ICONQUESTION = 0x00000020;
inline constexpr uint32_t MB_ICONEXCLAMATION = 0x00000030;
inline constexpr uint32_t MB_ICONASTERISK = 0x00000040;
inline constexpr uint32_t MB_ICONERROR = MB_ICONHAND;
inline constexpr uint32_t MB_ICONSTOP = MB_ICONHAND;
inline constexpr uint32_t MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr uint32_t MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr uint32_t MB_DEFBUTTON1 = 0x00000000;
inline constexpr uint32_t MB_DEFBUTTON2 = 0x00000100;
inline constexpr uint32_t MB_DEFBUTTON3 = 0x00000200;
inline constexpr uint32_t MB_APPLMODAL = 0x00000000;
inline constexpr uint32_t MB_SYSTEMMODAL = 0x00001000;
inline constexpr uint32_t MB_TASKMODAL = 0x00002000;
inline constexpr uint32_t MB_TYPEMASK = 0x0000000F;
inline constexpr uint32_t MB_ICONMASK = 0x000000F0;
inline constexpr uint32_t MB_DEFMASK = 0x00000F00;

// Message box answers; the same numbers as the modal results.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// The message box: Text under Caption ("Error" when empty) with the buttons and icon of Flags; answers
// the ID of the button pressed. Escape answers Cancel where there is a Cancel button, No for Yes/No,
// OK for a lone OK button. The box centres on Owner's window, or on the screen without a visible one.
int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, uint32_t Flags);

// Asks for one line of text: true when confirmed with OK, and Value holds the text then (Value is left
// alone on Cancel).
bool InputQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value);
// The text entered, or Default when cancelled.
std::string InputBox(const std::string& ACaption, const std::string& APrompt, const std::string& Default);

// The 32-pixel message icon of a dialog type, drawn with its top-left corner at (X, Y); nothing for
// mtCustom.
void DrawMessageIcon(TCanvas& Canvas, int X, int Y, TMsgDlgType DlgType);

} // namespace plat
