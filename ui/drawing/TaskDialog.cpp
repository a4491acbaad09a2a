#include "ui/drawing/TaskDialog.h"

#include <algorithm>
#include <array>

#include "platform/gfx/GdiTypes.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Form.h"
#include "platform/ui/Keys.h"

namespace ui {

using namespace plat;

PLAT_CLASS_INFO(TTaskDialogButton, plat::TCustomControl)

namespace {

constexpr TColor kDisabledText = 0xC0C0C0;
constexpr TColor kTransparentKey = 0xFF00FF;

// Where the next line break starts and how long it is: "\n" escapes and line breaks (a CR LF pair is one
// break).
size_t FindBreak(const std::string& Text, size_t From, size_t& Length) {
    for (size_t i = From; i < Text.size(); ++i) {
        if (Text[i] == '\\' && i + 1 < Text.size() && Text[i + 1] == 'n') {
            Length = 2;
            return i;
        }
        if (Text[i] == '\r' || Text[i] == '\n') {
            Length = (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ? 2 : 1;
            return i;
        }
    }
    return std::string::npos;
}

} // namespace

std::string TrimBlanks(const std::string& Text) {
    size_t first = Text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    size_t last = Text.find_last_not_of(" \t");
    return Text.substr(first, last - first + 1);
}

bool HasCaptionBreak(const std::string& Text) {
    size_t length = 0;
    return FindBreak(Text, 0, length) != std::string::npos;
}

void SplitCaptionRows(const std::string& Text, std::vector<std::string>& Lines) {
    Lines.clear();
    size_t start = 0;
    for (;;) {
        size_t length = 0;
        size_t at = FindBreak(Text, start, length);
        if (at == std::string::npos) {
            Lines.push_back(TrimBlanks(Text.substr(start)));
            return;
        }
        Lines.push_back(TrimBlanks(Text.substr(start, at - start)));
        start = at + length;
    }
}

void MeasureCommandLinkText(TCanvas& Canvas, const std::string& Text, TFont* HeadingFont, bool Padded,
                            int& Height, int& Width, uint32_t Flags, TFont* Font) {
    TFont saved;
    saved.Assign(Canvas.Font());
    ScopeGuard restore([&] { Canvas.Font()->Assign(&saved); });
    auto measure = [&](const std::string& line) {
        TRect r(0, 0, 0, 0);
        Canvas.TextRect(r, line.empty() ? std::string(" ") : line, Flags | DT_CALCRECT | DT_SINGLELINE);
        return TSize{r.Width(), r.Height()};
    };
    Canvas.Font()->Assign(HeadingFont);
    if (!HasCaptionBreak(Text)) {
        TSize size = measure(Text);
        Width = size.cx;
        Height = size.cy;
        return;
    }
    std::vector<std::string> lines;
    SplitCaptionRows(Text, lines);
    TSize head = measure(lines.front());
    Width = head.cx + (Padded ? 8 : 0);
    Height = head.cy + (Padded ? 10 : 0);
    Canvas.Font()->Assign(Font);
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty())
            continue;
        TSize size = measure(lines[i]);
        Width = std::max(Width, size.cx + (Padded ? 8 : 0));
        Height += size.cy + (Padded ? 2 : 0);
    }
}

// ---- The button ----------------------------------------------------------------------------------------

TTaskDialogButton::TTaskDialogButton(TComponent* AOwner) : TCustomControl(AOwner) {
    FPicture = std::make_unique<TBitmap>();
    FPictureDisabled = std::make_unique<TBitmap>();
    FPictureDown = std::make_unique<TBitmap>();
    FPictureHot = std::make_unique<TBitmap>();
    FHeadingFont = std::make_unique<TFont>();
    SetBounds(0, 0, 22, 23);
    SetShowHint(false);
}

TTaskDialogButton::~TTaskDialogButton() = default;

void TTaskDialogButton::SetPicture(TBitmap* Value) {
    FPicture->Assign(Value);
    Invalidate();
}

void TTaskDialogButton::SetPictureDisabled(TBitmap* Value) {
    FPictureDisabled->Assign(Value);
    Invalidate();
}

void TTaskDialogButton::Click() {
    if (TCustomForm* form = GetParentForm(this))
        form->SetModalResult(ModalResult);
    TCustomControl::Click();
}

void TTaskDialogButton::Paint() {
    TCanvas& canvas = *Canvas();
    TRect client = ClientRect();
    // The parent's colour shows through: the dialog is white, its band grey.
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(Parent() ? Parent()->Color() : clWhite);
    canvas.FillRect(client);

    TColor border = clNone;
    if (FDown)
        border = BorderColorDown;
    else if (FHot)
        border = BorderColorHot;
    if (!Enabled())
        border = clNone;
    if (Focused())
        border = BorderColorDown;

    TBitmap* picture = FPicture.get();
    if (FDown && !FPictureDown->Empty())
        picture = FPictureDown.get();
    else if (FHot && !FPictureHot->Empty())
        picture = FPictureHot.get();
    if (!Enabled() && !FPictureDisabled->Empty())
        picture = FPictureDisabled.get();

    std::string caption = Caption();
    int textLeft = 2;
    if (!picture->Empty()) {
        int x = caption.empty() ? (client.Width() - picture->Width()) / 2 : 4;
        int y = (client.Height() - picture->Height()) / 2;
        picture->SetTransparent(true);
        canvas.Draw(x, y, picture);
        textLeft = x + picture->Width() + 3;
    }

    canvas.Brush()->SetStyle(bsClear);
    auto lineColor = [&](TColor normal) { return Enabled() ? normal : kDisabledText; };
    if (!caption.empty()) {
        if (!HasCaptionBreak(caption)) {
            canvas.Font()->Assign(FHeadingFont.get());
            canvas.Font()->SetColor(lineColor(FHeadingFont->Color()));
            TRect r(textLeft, 0, client.Right, client.Bottom);
            // The accelerator is shown underlined: typing it clicks the link.
            canvas.TextRect(r, caption, DT_SINGLELINE | DT_VCENTER);
        } else {
            std::vector<std::string> lines;
            SplitCaptionRows(caption, lines);
            int height = 0, width = 0;
            MeasureCommandLinkText(canvas, caption, FHeadingFont.get(), false, height, width, 0, Font());
            int y = (client.Height() - height) / 2 + 2;
            for (size_t i = 0; i < lines.size(); ++i) {
                TFont* font = i == 0 ? FHeadingFont.get() : Font();
                canvas.Font()->Assign(font);
                canvas.Font()->SetColor(lineColor(font->Color()));
                TRect r(textLeft, y, client.Right, client.Bottom);
                canvas.TextRect(r, lines[i], DT_SINGLELINE | DT_NOCLIP);
                y += canvas.TextHeight("gh") + (i == 0 ? 4 : 2);
            }
        }
    }

    if (border != clNone) {
        canvas.Pen()->SetColor(border);
        canvas.Brush()->SetStyle(bsClear);
        canvas.RoundRect(0, 0, client.Width(), client.Height(), 2, 2);
    }
}

void TTaskDialogButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        FDown = true;
        Invalidate();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TTaskDialogButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FDown) {
        FDown = false;
        Invalidate();
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TTaskDialogButton::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_SPACE || Key == VK_RETURN) {
        Key = 0;
        Click();
    }
}

void TTaskDialogButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSEENTER:
        FHot = true;
        if (FocusOnHover && CanFocus())
            SetFocus();
        Invalidate();
        break;
    case CM_MOUSELEAVE:
        FHot = false;
        Invalidate();
        break;
    case WM_GETDLGCODE:
        // A focused command link is what Enter presses, not the form's default button.
        Message.Result = DLGC_BUTTON | (Focused() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        return;
    case CM_DIALOGKEY:
        if (Message.WParam == VK_RETURN && Focused() &&
            (KeyDataToShiftState(Message.LParam) & (ssShift | ssCtrl | ssAlt)) == 0) {
            Click();
            Message.Result = 1;
            return;
        }
        break;
    case CM_ENTER:
    case CM_EXIT:
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

// ---- Pictures ----------------------------------------------------------------------------------------

namespace {

struct TPictureLook {
    const char* Name;
    int Size;
    bool Arrow;      // command-link arrow, else a round expand button
    bool PointingUp; // expand button: chevron up (expanded) or down
    TColor Face;
    TColor Mark;
};

const TPictureLook kPictures[] = {
    {"TD_ARW", 16, true, false, clNone, 0x3C9A3C},
    {"TD_ARWHOT", 16, true, false, clNone, 0x2FC22F},
    {"TD_ARWDOWN", 16, true, false, clNone, 0x1E701E},
    {"TD_ARWDIS", 16, true, false, clNone, 0xA0A0A0},
    {"TD_COLP", 19, false, true, 0xF4F4F4, 0x505050},
    {"TD_COLPHOT", 19, false, true, 0xFCEBD8, 0x8A4A10},
    {"TD_COLPDOWN", 19, false, true, 0xF0D2B0, 0x6A3A08},
    {"TD_EXP", 19, false, false, 0xF4F4F4, 0x505050},
    {"TD_EXPHOT", 19, false, false, 0xFCEBD8, 0x8A4A10},
    {"TD_EXPDOWN", 19, false, false, 0xF0D2B0, 0x6A3A08},
};

} // namespace

void LoadTaskDialogPicture(TBitmap& Bitmap, const std::string& Name) {
    const TPictureLook* look = nullptr;
    for (const TPictureLook& l : kPictures)
        if (Name == l.Name)
            look = &l;
    if (!look) {
        Bitmap.SetSize(0, 0);
        return;
    }
    int n = look->Size;
    Bitmap.SetSize(n, n);
    TCanvas& c = *Bitmap.Canvas();
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(kTransparentKey);
    c.FillRect(TRect(0, 0, n, n));
    c.Pen()->SetColor(look->Mark);
    c.Brush()->SetColor(look->Mark);
    if (look->Arrow) {
        // A right arrow: shaft and head.
        c.FillRect(TRect(2, 7, 9, 10));
        const std::array<TPoint, 3> head = {TPoint(8, 3), TPoint(14, 8), TPoint(8, 14)};
        c.Polygon(head);
    } else {
        c.Pen()->SetColor(0xA0A0A0);
        c.Brush()->SetColor(look->Face);
        c.Ellipse(0, 0, n, n);
        c.Pen()->SetColor(look->Mark);
        c.Brush()->SetColor(look->Mark);
        int cx = n / 2, cy = n / 2;
        int d = look->PointingUp ? -1 : 1;
        // A chevron two pixels thick.
        for (int t = 0; t < 2; ++t) {
            c.MoveTo(cx - 4, cy - 2 * d + t);
            c.LineTo(cx, cy + 2 * d + t);
            c.LineTo(cx + 5, cy - 3 * d + t);
        }
    }
    Bitmap.SetTransparentColor(kTransparentKey);
    Bitmap.SetTransparent(true);
}

} // namespace ui
