#include "platform/ui/ColorDialog.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/FrameControls.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Label.h"

namespace plat {

PLAT_CLASS_INFO_CREATABLE(TColorDialog, TCommonDialog)

namespace {

const char* const kColorOptionNames[] = {"cdFullOpen", "cdPreventFullOpen", "cdShowHelp", "cdSolidColor",
                                         "cdAnyColor"};

static_assert(TColorDialogOptions(1) << (std::size(kColorOptionNames) - 1) == cdAnyColor);

struct TRegistrar {
    TRegistrar() { RegisterClass(TColorDialog::StaticClass()); }
} registrar;

constexpr int kHLSMax = 240;
constexpr int kRGBMax = 255;
constexpr int kUndefinedHue = kHLSMax * 2 / 3;
constexpr int kCustomCount = 16;

// The basic colours, row by row (red, green, blue).
const uint8_t kBasicColors[48][3] = {
    {255, 128, 128}, {255, 255, 128}, {128, 255, 128}, {0, 255, 128},   {128, 255, 255}, {0, 128, 255},
    {255, 128, 192}, {255, 128, 255}, {255, 0, 0},     {255, 255, 0},   {128, 255, 0},   {0, 255, 64},
    {0, 255, 255},   {0, 128, 192},   {128, 128, 192}, {255, 0, 255},   {128, 64, 64},   {255, 128, 64},
    {0, 255, 0},     {0, 128, 128},   {0, 64, 128},    {128, 128, 255}, {128, 0, 64},    {255, 0, 128},
    {128, 0, 0},     {255, 128, 0},   {0, 128, 0},     {0, 128, 64},    {0, 0, 255},     {0, 0, 160},
    {128, 0, 128},   {128, 0, 255},   {64, 0, 0},      {128, 64, 0},    {0, 64, 0},      {0, 64, 64},
    {0, 0, 128},     {0, 0, 64},      {64, 0, 64},     {64, 0, 128},    {0, 0, 0},       {128, 128, 0},
    {128, 128, 64},  {128, 128, 128}, {64, 128, 128},  {192, 192, 192}, {64, 0, 64},     {255, 255, 255}};

int HueToRGB(int n1, int n2, int hue) {
    if (hue < 0)
        hue += kHLSMax;
    if (hue >= kHLSMax)
        hue -= kHLSMax;
    if (hue < kHLSMax / 6)
        return n1 + (((n2 - n1) * hue + kHLSMax / 12) / (kHLSMax / 6));
    if (hue < kHLSMax / 2)
        return n2;
    if (hue < kHLSMax * 2 / 3)
        return n1 + (((n2 - n1) * (kHLSMax * 2 / 3 - hue) + kHLSMax / 12) / (kHLSMax / 6));
    return n1;
}

std::string CustomName(int i) {
    return std::string("Color") + static_cast<char>('A' + i);
}

// A grid of colour cells to pick from with the mouse or the arrow keys.
class TColorSwatches : public TCustomControl {
public:
    explicit TColorSwatches(TComponent* AOwner) : TCustomControl(AOwner) {
        SetTabStop(true);
        FControlStyle |= csOpaque;
    }
    void SetGrid(int Cols, int Rows) {
        FCols = Cols;
        FRows = Rows;
        FColors.assign(Cols * Rows, clWhite);
        Invalidate();
    }
    static constexpr int kCellWidth = 24, kCellHeight = 21;

    int Count() const { return static_cast<int>(FColors.size()); }
    TColor Colors(int i) const { return FColors[i]; }
    void SetColors(int i, TColor c) {
        FColors[i] = c;
        Invalidate();
    }
    int Selected() const { return FSelected; }
    void SetSelected(int i) {
        FSelected = i;
        Invalidate();
    }
    // The user picked a cell.
    std::function<void(int Index)> OnPick;

    TRect CellRect(int i) const {
        int col = i % FCols, row = i / FCols;
        return Bounds(col * kCellWidth, row * kCellHeight, kCellWidth, kCellHeight);
    }

protected:
    void Paint() override {
        TCanvas* c = Canvas();
        c->Brush()->SetColor(clBtnFace);
        c->FillRect(ClientRect());
        for (int i = 0; i < Count(); ++i) {
            TRect cell = CellRect(i);
            TRect r(cell.Left + 2, cell.Top + 2, cell.Right - 2, cell.Bottom - 2);
            if (i == FSelected) {
                c->Brush()->SetColor(clBlack);
                c->FrameRect(TRect(cell.Left, cell.Top, cell.Right, cell.Bottom));
                c->FrameRect(TRect(cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1));
            }
            TRect e = r;
            DrawEdge(*c->Handle(), e, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
            c->Brush()->SetColor(FColors[i]);
            c->FillRect(e);
            if (i == FSelected && Focused())
                c->DrawFocusRect(cell);
        }
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        if (CanFocus())
            SetFocus();
        int col = X / kCellWidth, row = Y / kCellHeight;
        if (col >= 0 && col < FCols && row >= 0 && row < FRows)
            Pick(row * FCols + col);
    }
    void KeyDown(uint16_t& Key, TShiftState Shift) override {
        TCustomControl::KeyDown(Key, Shift);
        int i = std::max(0, FSelected);
        int col = i % FCols, row = i / FCols;
        switch (Key) {
        case VK_LEFT:
            col = (col + FCols - 1) % FCols;
            break;
        case VK_RIGHT:
            col = (col + 1) % FCols;
            break;
        case VK_UP:
            row = (row + FRows - 1) % FRows;
            break;
        case VK_DOWN:
            row = (row + 1) % FRows;
            break;
        case VK_SPACE:
            break;
        default:
            return;
        }
        Key = 0;
        Pick(row * FCols + col);
    }
    void DoEnter() override {
        TCustomControl::DoEnter();
        Invalidate();
    }
    void DoExit() override {
        TCustomControl::DoExit();
        Invalidate();
    }
    void Dispatch(TMessage& Message) override {
        if (Message.Msg == WM_GETDLGCODE) {
            Message.Result = DLGC_WANTARROWS;
            return;
        }
        TCustomControl::Dispatch(Message);
    }

private:
    void Pick(int i) {
        SetSelected(i);
        if (OnPick)
            OnPick(i);
    }
    int FCols = 1, FRows = 1;
    std::vector<TColor> FColors{clWhite};
    int FSelected = -1;
};

// The hue (across) and saturation (up) field at middle luminance, with a cross at the colour's place.
class TColorSpectrum : public TCustomControl {
public:
    explicit TColorSpectrum(TComponent* AOwner) : TCustomControl(AOwner) { FControlStyle |= csOpaque; }
    void SetHueSat(int Hue, int Sat) {
        FHue = Hue;
        FSat = Sat;
        Invalidate();
    }
    std::function<void(int Hue, int Sat)> OnPick;

protected:
    void Paint() override {
        TCanvas* c = Canvas();
        TRect r = ClientRect();
        TRect inner = r;
        DrawEdge(*c->Handle(), inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        if (!FField || FField->Width() != inner.Width() || FField->Height() != inner.Height()) {
            FField = std::make_unique<TBitmap>(inner.Width(), inner.Height(), pf24bit);
            for (int y = 0; y < inner.Height(); ++y) {
                uint8_t* row = FField->ScanLine(y);
                for (int x = 0; x < inner.Width(); ++x) {
                    TColor color = ColorHLSToRGB(HueAt(x, inner), kHLSMax / 2, SatAt(y, inner));
                    row[3 * x] = static_cast<uint8_t>(GetBValue(color));
                    row[3 * x + 1] = static_cast<uint8_t>(GetGValue(color));
                    row[3 * x + 2] = static_cast<uint8_t>(GetRValue(color));
                }
            }
        }
        c->Draw(inner.Left, inner.Top, FField.get());
        // The cross: four short arms around the point, in black.
        int x = inner.Left + FHue * (inner.Width() - 1) / (kHLSMax - 1);
        int y = inner.Top + (kHLSMax - FSat) * (inner.Height() - 1) / kHLSMax;
        c->Brush()->SetColor(clBlack);
        c->FillRect(TRect(x - 9, y - 1, x - 3, y + 2));
        c->FillRect(TRect(x + 4, y - 1, x + 10, y + 2));
        c->FillRect(TRect(x - 1, y - 9, x + 2, y - 3));
        c->FillRect(TRect(x - 1, y + 4, x + 2, y + 10));
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        if (Button == mbLeft)
            Pick(X, Y);
    }
    void MouseMove(TShiftState Shift, int X, int Y) override {
        TCustomControl::MouseMove(Shift, X, Y);
        if (Shift & ssLeft)
            Pick(X, Y);
    }

private:
    TRect Inner() const {
        TRect r = ClientRect();
        return TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
    }
    static int HueAt(int x, const TRect& inner) {
        return std::clamp(x * (kHLSMax - 1) / std::max(1, inner.Width() - 1), 0, kHLSMax - 1);
    }
    static int SatAt(int y, const TRect& inner) {
        return std::clamp(kHLSMax - y * kHLSMax / std::max(1, inner.Height() - 1), 0, kHLSMax);
    }
    void Pick(int X, int Y) {
        TRect inner = Inner();
        int x = std::clamp(X - inner.Left, 0, inner.Width() - 1);
        int y = std::clamp(Y - inner.Top, 0, inner.Height() - 1);
        if (OnPick)
            OnPick(HueAt(x, inner), SatAt(y, inner));
    }
    int FHue = 0, FSat = 0;
    std::unique_ptr<TBitmap> FField;
};

// The luminance bar of the current hue and saturation (white at the top, black at the bottom) with an
// arrow right of it at the current luminance.
class TLumBar : public TCustomControl {
public:
    explicit TLumBar(TComponent* AOwner) : TCustomControl(AOwner) { FControlStyle |= csOpaque; }
    static constexpr int kBarWidth = 14;
    void SetHLS(int Hue, int Lum, int Sat) {
        FHue = Hue;
        FLum = Lum;
        FSat = Sat;
        Invalidate();
    }
    std::function<void(int Lum)> OnPick;

protected:
    void Paint() override {
        TCanvas* c = Canvas();
        c->Brush()->SetColor(clBtnFace);
        c->FillRect(ClientRect());
        TRect bar(0, 0, kBarWidth, Height() - 6);
        OffsetRect(bar, 0, 3);
        TRect inner = bar;
        DrawEdge(*c->Handle(), inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        int h = std::max(1, inner.Height() - 1);
        for (int y = 0; y < inner.Height(); ++y) {
            c->Brush()->SetColor(ColorHLSToRGB(FHue, kHLSMax - y * kHLSMax / h, FSat));
            c->FillRect(TRect(inner.Left, inner.Top + y, inner.Right, inner.Top + y + 1));
        }
        int y = inner.Top + (kHLSMax - FLum) * h / kHLSMax;
        const TPoint arrow[] = {{kBarWidth + 1, y}, {kBarWidth + 7, y - 6}, {kBarWidth + 7, y + 6}};
        c->Brush()->SetColor(clBlack);
        c->Pen()->SetColor(clBlack);
        c->Polygon(arrow);
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        if (Button == mbLeft)
            Pick(Y);
    }
    void MouseMove(TShiftState Shift, int X, int Y) override {
        TCustomControl::MouseMove(Shift, X, Y);
        if (Shift & ssLeft)
            Pick(Y);
    }

private:
    void Pick(int Y) {
        int top = 5, h = std::max(1, Height() - 10 - 1);
        int lum = kHLSMax - (std::clamp(Y - top, 0, h) * kHLSMax / h);
        if (OnPick)
            OnPick(lum);
    }
    int FHue = 0, FLum = 0, FSat = 0;
};

// A box filled with the colour being defined.
class TColorPreview : public TGraphicControl {
public:
    explicit TColorPreview(TComponent* AOwner) : TGraphicControl(AOwner) {}
    void SetShown(TColor Value) {
        FShown = Value;
        Invalidate();
    }

protected:
    void Paint() override {
        TCanvas* c = Canvas();
        TRect r = ClientRect();
        DrawEdge(*c->Handle(), r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        c->Brush()->SetColor(FShown);
        c->FillRect(r);
    }

private:
    TColor FShown = clBlack;
};

class TColorForm : public TDialogForm {
    PLAT_CLASS(TColorForm)
public:
    explicit TColorForm(TComponent* AOwner) : TDialogForm(AOwner) {}

    void Build(TColor Color, const std::vector<TColor>& Custom, TColorDialogOptions Options);
    TColor Current() const { return FColor; }
    std::vector<TColor> Custom() const {
        std::vector<TColor> out;
        for (int i = 0; i < kCustomCount; ++i)
            out.push_back(FCustom->Colors(i));
        return out;
    }

private:
    static constexpr int kCollapsedWidth = 222, kFullWidth = 452, kHeight = 300;
    void OpenFully();
    // The colour changed; `from` is the part that changed it (its own display is kept as it is).
    enum TSource { srcSwatch, srcRGB, srcHLS, srcField };
    void SetColorFrom(TColor Color, TSource From);
    void ShowHLS(TSource From);
    TEdit* NumberEdit(const std::string& Name, const std::string& Caption, int X, int Y);
    void EditChanged(TSource From);

    TColor FColor = clBlack;
    int FHue = 0, FLum = 0, FSat = 0;
    bool FUpdating = false;
    int FCustomSlot = 0;
    TColorSwatches* FBasic = nullptr;
    TColorSwatches* FCustom = nullptr;
    TButton* FDefine = nullptr;
    TColorSpectrum* FSpectrum = nullptr;
    TLumBar* FLumBar = nullptr;
    TColorPreview* FPreview = nullptr;
    TEdit* FHueEdit = nullptr;
    TEdit* FSatEdit = nullptr;
    TEdit* FLumEdit = nullptr;
    TEdit* FRedEdit = nullptr;
    TEdit* FGreenEdit = nullptr;
    TEdit* FBlueEdit = nullptr;
    std::vector<TControl*> FRightPart;
};

PLAT_CLASS_INFO(TColorForm, TDialogForm)

TEdit* TColorForm::NumberEdit(const std::string& Name, const std::string& Caption, int X, int Y) {
    auto* edit = Add<TEdit>(Name, TRect(X + 40, Y, X + 40 + 32, Y + 20));
    edit->SetTabStop(true);
    edit->SetMaxLength(3);
    auto* label = AddLabel(Name + "Label", Caption, X, Y + 3, edit);
    FRightPart.push_back(label);
    FRightPart.push_back(edit);
    return edit;
}

void TColorForm::Build(TColor Color, const std::vector<TColor>& Custom, TColorDialogOptions Options) {
    SetCaption("Color");
    SetClientWidth(kCollapsedWidth);
    SetClientHeight(kHeight);
    const int gridWidth = 8 * TColorSwatches::kCellWidth;

    FBasic = Add<TColorSwatches>("BasicColors", Bounds(8, 20, gridWidth, 6 * TColorSwatches::kCellHeight));
    FBasic->SetGrid(8, 6);
    for (int i = 0; i < 48; ++i)
        FBasic->SetColors(i, RGB(kBasicColors[i][0], kBasicColors[i][1], kBasicColors[i][2]));
    AddLabel("BasicLabel", "&Basic colors:", 8, 4, FBasic);
    FBasic->OnPick = [this](int i) {
        FCustom->SetSelected(-1);
        SetColorFrom(FBasic->Colors(i), srcSwatch);
    };

    FCustom = Add<TColorSwatches>("CustomColors", Bounds(8, 168, gridWidth, 2 * TColorSwatches::kCellHeight));
    FCustom->SetGrid(8, 2);
    for (int i = 0; i < kCustomCount; ++i)
        FCustom->SetColors(i, Custom[i]);
    AddLabel("CustomLabel", "&Custom colors:", 8, 152, FCustom);
    FCustom->OnPick = [this](int i) {
        FBasic->SetSelected(-1);
        FCustomSlot = i;
        SetColorFrom(FCustom->Colors(i), srcSwatch);
    };

    FDefine =
        AddButton("DefineButton", "&Define Custom Colors >>", TRect(8, 220, 8 + gridWidth + 6, 243), mrNone);
    FDefine->OnClick = [this](TObject*) { OpenFully(); };
    FDefine->SetEnabled(!(Options & cdPreventFullOpen));
    auto* ok = AddButton("OKButton", "OK", TRect(8, 266, 74, 289), mrOk);
    ok->SetDefault(true);
    AddButton("CancelButton", "Cancel", TRect(80, 266, 146, 289), mrCancel)->SetCancel(true);

    // The part that defines colours.
    const int x0 = kCollapsedWidth + 6;
    FSpectrum = Add<TColorSpectrum>("Spectrum", Bounds(x0, 8, 180, 188));
    FSpectrum->OnPick = [this](int Hue, int Sat) {
        FHue = Hue;
        FSat = Sat;
        SetColorFrom(ColorHLSToRGB(FHue, FLum, FSat), srcField);
    };
    FLumBar = Add<TLumBar>("LumBar", Bounds(x0 + 190, 5, 24, 194));
    FLumBar->OnPick = [this](int Lum) {
        FLum = Lum;
        SetColorFrom(ColorHLSToRGB(FHue, FLum, FSat), srcField);
    };
    FPreview = Add<TColorPreview>("Preview", Bounds(x0, 204, 62, 40));
    auto* previewLabel = AddLabel("PreviewLabel", "Color|Solid", x0 + 2, 247);
    FHueEdit = NumberEdit("HueEdit", "Hu&e:", x0 + 68, 202);
    FSatEdit = NumberEdit("SatEdit", "&Sat:", x0 + 68, 224);
    FLumEdit = NumberEdit("LumEdit", "&Lum:", x0 + 68, 246);
    FRedEdit = NumberEdit("RedEdit", "&Red:", x0 + 146, 202);
    FGreenEdit = NumberEdit("GreenEdit", "&Green:", x0 + 146, 224);
    FBlueEdit = NumberEdit("BlueEdit", "Bl&ue:", x0 + 146, 246);
    for (TEdit* e : {FHueEdit, FSatEdit, FLumEdit})
        e->OnChange = [this](TObject*) { EditChanged(srcHLS); };
    for (TEdit* e : {FRedEdit, FGreenEdit, FBlueEdit})
        e->OnChange = [this](TObject*) { EditChanged(srcRGB); };
    auto* add = AddButton("AddButton", "&Add to Custom Colors", TRect(x0, 266, x0 + 218, 289), mrNone);
    add->OnClick = [this](TObject*) {
        FCustom->SetColors(FCustomSlot, FColor);
        FCustom->SetSelected(FCustomSlot);
        FBasic->SetSelected(-1);
        FCustomSlot = (FCustomSlot + 1) % kCustomCount;
    };
    for (TControl* c : std::initializer_list<TControl*>{FSpectrum, FLumBar, FPreview, previewLabel, add})
        FRightPart.push_back(c);
    for (TControl* c : FRightPart)
        c->SetVisible(false);

    SetColorFrom(ColorToRGB(Color), srcSwatch);
    for (int i = 0; i < 48; ++i)
        if (FBasic->Colors(i) == FColor) {
            FBasic->SetSelected(i);
            break;
        }
    if (FBasic->Selected() < 0)
        for (int i = 0; i < kCustomCount; ++i)
            if (FCustom->Colors(i) == FColor) {
                FCustom->SetSelected(i);
                break;
            }
    SetActiveControl(FBasic->Selected() >= 0 || FCustom->Selected() < 0 ? FBasic : FCustom);
    if ((Options & cdFullOpen) && !(Options & cdPreventFullOpen))
        OpenFully();
}

void TColorForm::OpenFully() {
    SetClientWidth(kFullWidth);
    for (TControl* c : FRightPart)
        c->SetVisible(true);
    FDefine->SetEnabled(false);
    if (Visible() && FHueEdit->CanFocus())
        FHueEdit->SetFocus();
}

void TColorForm::SetColorFrom(TColor Color, TSource From) {
    FColor = Color & 0xFFFFFF;
    if (From != srcSwatch) {
        FBasic->SetSelected(-1);
        FCustom->SetSelected(-1);
    }
    if (From != srcHLS && From != srcField)
        ColorToHLS(FColor, FHue, FLum, FSat);
    ShowHLS(From);
}

void TColorForm::ShowHLS(TSource From) {
    FUpdating = true;
    if (From != srcHLS) {
        FHueEdit->SetTextProp(IntToStr(FHue));
        FSatEdit->SetTextProp(IntToStr(FSat));
        FLumEdit->SetTextProp(IntToStr(FLum));
    }
    if (From != srcRGB) {
        FRedEdit->SetTextProp(IntToStr(GetRValue(FColor)));
        FGreenEdit->SetTextProp(IntToStr(GetGValue(FColor)));
        FBlueEdit->SetTextProp(IntToStr(GetBValue(FColor)));
    }
    FUpdating = false;
    FSpectrum->SetHueSat(FHue, FSat);
    FLumBar->SetHLS(FHue, FLum, FSat);
    FPreview->SetShown(FColor);
}

void TColorForm::EditChanged(TSource From) {
    if (FUpdating)
        return;
    auto value = [](TEdit* e, int max) { return std::clamp(StrToIntDef(Trim(e->Text()), 0), 0, max); };
    if (From == srcRGB) {
        SetColorFrom(RGB(value(FRedEdit, kRGBMax), value(FGreenEdit, kRGBMax), value(FBlueEdit, kRGBMax)),
                     srcRGB);
    } else {
        FHue = value(FHueEdit, kHLSMax - 1);
        FSat = value(FSatEdit, kHLSMax);
        FLum = value(FLumEdit, kHLSMax);
        SetColorFrom(ColorHLSToRGB(FHue, FLum, FSat), srcHLS);
    }
}

} // namespace

void ColorToHLS(TColor Color, int& Hue, int& Luminance, int& Saturation) {
    TColor c = ColorToRGB(Color);
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    int cMax = std::max({r, g, b}), cMin = std::min({r, g, b});
    Luminance = ((cMax + cMin) * kHLSMax + kRGBMax) / (2 * kRGBMax);
    if (cMax == cMin) {
        Saturation = 0;
        Hue = kUndefinedHue;
        return;
    }
    int sum = cMax + cMin, diff = cMax - cMin;
    if (Luminance <= kHLSMax / 2)
        Saturation = (diff * kHLSMax + sum / 2) / sum;
    else
        Saturation = (diff * kHLSMax + (2 * kRGBMax - sum) / 2) / (2 * kRGBMax - sum);
    int rd = ((cMax - r) * (kHLSMax / 6) + diff / 2) / diff;
    int gd = ((cMax - g) * (kHLSMax / 6) + diff / 2) / diff;
    int bd = ((cMax - b) * (kHLSMax / 6) + diff / 2) / diff;
    if (r == cMax)
        Hue = bd - gd;
    else if (g == cMax)
        Hue = kHLSMax / 3 + rd - bd;
    else
        Hue = 2 * kHLSMax / 3 + gd - rd;
    if (Hue < 0)
        Hue += kHLSMax;
    if (Hue >= kHLSMax)
        Hue -= kHLSMax;
}

TColor ColorHLSToRGB(int Hue, int Luminance, int Saturation) {
    Hue = std::clamp(Hue, 0, kHLSMax);
    Luminance = std::clamp(Luminance, 0, kHLSMax);
    Saturation = std::clamp(Saturation, 0, kHLSMax);
    if (Saturation == 0) {
        int v = (Luminance * kRGBMax + kHLSMax / 2) / kHLSMax;
        return RGB(v, v, v);
    }
    int m2 = Luminance <= kHLSMax / 2
                 ? (Luminance * (kHLSMax + Saturation) + kHLSMax / 2) / kHLSMax
                 : Luminance + Saturation - (Luminance * Saturation + kHLSMax / 2) / kHLSMax;
    int m1 = 2 * Luminance - m2;
    auto channel = [&](int h) {
        return std::clamp((HueToRGB(m1, m2, h) * kRGBMax + kHLSMax / 2) / kHLSMax, 0, kRGBMax);
    };
    return RGB(channel(Hue + kHLSMax / 3), channel(Hue), channel(Hue - kHLSMax / 3));
}

PLAT_PROPERTIES(TColorDialog) {
    props.Color("Color", &TColorDialog::Color, &TColorDialog::SetColor, clBlack);
    props.Object("CustomColors", &TColorDialog::CustomColors, &TColorDialog::SetCustomColors);
    props.Set("Options", &TColorDialog::Options, &TColorDialog::SetOptions, kColorOptionNames,
              TColorDialogOptions(0));
}

TColorDialog::TColorDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), FCustomColors(std::make_unique<TStringList>()) {}

TColorDialog::~TColorDialog() = default;

bool TColorDialog::Execute() {
    std::vector<TColor> custom(kCustomCount, clWhite);
    for (int i = 0; i < kCustomCount; ++i) {
        std::string value = Trim(FCustomColors->Values(CustomName(i)));
        int64_t v = 0;
        if (!value.empty() && TryStrToInt64("$" + value, v))
            custom[i] = static_cast<TColor>(v & 0xFFFFFF);
    }
    auto form = MakeDialogForm<TColorForm>(nullptr);
    form->Build(FColor, custom, FOptions);
    if (RunModal(*form) != mrOk)
        return false;
    FColor = form->Current();
    custom = form->Custom();
    for (int i = 0; i < kCustomCount; ++i)
        FCustomColors->SetValues(CustomName(i), HexDigits(static_cast<uint32_t>(custom[i]) & 0xFFFFFF, 6));
    return true;
}

} // namespace plat
