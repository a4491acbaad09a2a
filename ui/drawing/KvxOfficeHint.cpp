#include "ui/drawing/KvxOfficeHint.h"

#include <algorithm>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Application.h"
#include "ui/drawing/KvxGDIP.h"

namespace ui {

PLAT_CLASS_INFO(TKvxOfficeHintWindow, plat::THintWindow)
PLAT_CLASS_INFO_CREATABLE(TKvxOfficeHint, plat::TComponent)

namespace {

constexpr int kMargin = 6;      // inside the frame, around everything
constexpr int kTitleGap = 6;    // between the title and the body
constexpr int kNotesIndent = 8; // notes under a title start further in
constexpr int kPictureGap = 6;  // between the picture and the notes
constexpr int kFrame = 1;       // the window's border, on each side
// Long notes wrap rather than stretching the hint across the screen.
constexpr int kNotesWidthLimit = 320;

// A light wash from white to a blue-grey, as office hints look.
constexpr plat::TColor kBackTop = 0xFFFFFF;
constexpr plat::TColor kBackBottom = 0xEFE4E4;
constexpr plat::TColor kText = 0x4C4C4C;

constexpr plat::TTextFormat kNotesFormat = plat::DT_LEFT | plat::DT_WORDBREAK | plat::DT_NOPREFIX;

} // namespace

TKvxHintInfo* FindOfficeHint(plat::TObject* Control) {
    if (!Control)
        return nullptr;
    const plat::TPropInfo* prop = plat::GetPropInfo(Control, "OfficeHint");
    if (!prop || prop->Kind != plat::pkObject)
        return nullptr;
    return dynamic_cast<TKvxHintInfo*>(plat::GetObjectProp(Control, prop));
}

bool HasOfficeHintContent(const TKvxHintInfo& Hint) {
    return !Hint.Title().empty() || Hint.Notes()->Count() > 0 || !Hint.Picture()->Empty();
}

TKvxOfficeHintWindow::TKvxOfficeHintWindow(plat::TComponent* AOwner) : THintWindow(AOwner) {}

std::string TKvxOfficeHintWindow::NotesText() const {
    std::string text;
    const plat::TStrings& notes = *FContent.Notes();
    for (int i = 0; i < notes.Count(); ++i) {
        if (i > 0)
            text += '\n';
        text += notes[i];
    }
    return text;
}

TKvxOfficeHintWindow::TLayout TKvxOfficeHintWindow::Measure(plat::TCanvas& Canvas, int MaxWidth) {
    TLayout l;
    int y = kMargin;
    int right = kMargin;
    Canvas.Font()->Assign(Font());
    if (!FContent.Title().empty()) {
        Canvas.Font()->SetStyle(Canvas.Font()->Style() | plat::fsBold);
        const plat::TSize size = Canvas.TextExtent(FContent.Title());
        l.Title = plat::TRect(kMargin, y, kMargin + size.cx, y + size.cy);
        right = std::max(right, l.Title.Right);
        y = l.Title.Bottom + kTitleGap;
        Canvas.Font()->Assign(Font());
    }
    const bool hasTitle = !l.Title.IsEmpty();
    int x = kMargin + (hasTitle ? kNotesIndent : 0);
    int bodyBottom = y;
    TGDIPPicture& picture = *FContent.Picture();
    if (picture.MeasureImage() && picture.Width() > 0) {
        l.Picture = plat::TRect(x, y, x + picture.Width(), y + picture.Height());
        right = std::max(right, l.Picture.Right);
        bodyBottom = l.Picture.Bottom;
        x = l.Picture.Right + kPictureGap;
    }
    const std::string notes = NotesText();
    if (!notes.empty()) {
        const int limit = std::max(40, std::min(MaxWidth - kMargin - 2 * kFrame, x + kNotesWidthLimit) - x);
        plat::TRect r(x, y, x + limit, y);
        Canvas.TextRect(r, notes, kNotesFormat | plat::DT_CALCRECT);
        l.Notes = r;
        right = std::max(right, l.Notes.Right);
        bodyBottom = std::max(bodyBottom, l.Notes.Bottom);
    }
    if (l.Picture.IsEmpty() && notes.empty())
        bodyBottom = hasTitle ? l.Title.Bottom : kMargin;
    l.Width = right + kMargin;
    l.Height = bodyBottom + kMargin;
    return l;
}

plat::TRect TKvxOfficeHintWindow::CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) {
    const auto* hint = static_cast<const TKvxHintInfo*>(AData);
    FOffice = hint && HasOfficeHintContent(*hint);
    if (!FOffice) {
        TKvxHintInfo nothing;
        FContent.Assign(&nothing);
        return THintWindow::CalcHintRect(MaxWidth, AHint, AData);
    }
    FContent.Assign(const_cast<TKvxHintInfo*>(hint));
    FMaxWidth = MaxWidth;
    // Measured on a canvas of our own: the window may not have a device context yet.
    plat::TBitmap scratch(1, 1);
    const TLayout l = Measure(*scratch.Canvas(), MaxWidth);
    return plat::TRect(0, 0, l.Width + 2 * kFrame, l.Height + 2 * kFrame);
}

void TKvxOfficeHintWindow::Paint() {
    if (!FOffice) {
        THintWindow::Paint();
        return;
    }
    plat::TCanvas& c = *Canvas();
    const plat::TRect client = ClientRect();
    {
        TGPGraphics g(c);
        TGPLinearGradientBrush wash(
            MakeGdipRectF(0, 0, static_cast<float>(client.Width()), static_cast<float>(client.Height())),
            MakeGdipColor(kBackTop), MakeGdipColor(kBackBottom), 1);
        g.FillRectangle(&wash, 0, 0, static_cast<float>(client.Width()), static_cast<float>(client.Height()));
    }
    const TLayout l = Measure(c, FMaxWidth);
    c.Brush()->SetStyle(plat::bsClear);
    c.Font()->Assign(Font());
    c.Font()->SetColor(kText);
    if (!l.Title.IsEmpty()) {
        c.Font()->SetStyle(c.Font()->Style() | plat::fsBold);
        c.TextOut(l.Title.Left, l.Title.Top, FContent.Title());
        c.Font()->SetStyle(Font()->Style());
    }
    if (!l.Picture.IsEmpty())
        FContent.Picture()->Draw(c, l.Picture);
    if (!l.Notes.IsEmpty()) {
        plat::TRect r = l.Notes;
        c.TextRect(r, NotesText(), kNotesFormat);
    }
    c.Brush()->SetStyle(plat::bsSolid);
}

TKvxOfficeHint::TKvxOfficeHint(plat::TComponent* AOwner) : TComponent(AOwner) {
    FEvents = new plat::TApplicationEvents(this);
    FEvents->OnShowHint = [this](std::string& HintStr, bool& CanShow, plat::THintInfo& HintInfo) {
        ShowHint(HintStr, CanShow, HintInfo);
    };
    if (plat::Application)
        plat::Application->SetHintWindowClass(
            [](plat::TComponent* Owner) -> plat::THintWindow* { return new TKvxOfficeHintWindow(Owner); });
}

TKvxOfficeHint::~TKvxOfficeHint() {
    if (plat::Application)
        plat::Application->SetHintWindowClass(nullptr);
}

void TKvxOfficeHint::ShowHint(std::string& HintStr, bool&, plat::THintInfo& HintInfo) {
    TKvxHintInfo* hint = FindOfficeHint(HintInfo.HintControl);
    if (!hint || !HasOfficeHintContent(*hint))
        return;
    HintInfo.HintData = hint;
    // A control whose only hint is its office hint still gets one.
    if (HintStr.empty())
        HintStr = !hint->Title().empty()       ? hint->Title()
                  : hint->Notes()->Count() > 0 ? (*hint->Notes())[0]
                                               : " ";
}

} // namespace ui
