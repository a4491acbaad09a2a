#include "platform/ui/FontDialog.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/MessageDialog.h"
#include "platform/ui/Panel.h"
#include "platform/ui/Screen.h"

namespace plat {

PLAT_CLASS_INFO_CREATABLE(TFontDialog, TCommonDialog)

namespace {

const char* const kFontOptionNames[] = {
    "fdAnsiOnly",       "fdTrueTypeOnly", "fdEffects",       "fdFixedPitchOnly",
    "fdForceFontExist", "fdNoFaceSel",    "fdNoOEMFonts",    "fdNoSimulations",
    "fdNoSizeSel",      "fdNoStyleSel",   "fdNoVectorFonts", "fdShowHelp",
    "fdWysiwyg",        "fdLimitSize",    "fdScalableOnly",  "fdApplyButton"};

static_assert(std::size(kFontOptionNames) == sizeof(TFontDialogOptions) * 8);

struct TRegistrar {
    TRegistrar() { RegisterClass(TFontDialog::StaticClass()); }
} registrar;

const char* const kStyles[] = {"Regular", "Italic", "Bold", "Bold Italic"};
const int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
const std::pair<const char*, TColor> kColors[] = {
    {"Black", clBlack},   {"Maroon", clMaroon},   {"Green", clGreen}, {"Olive", clOlive},
    {"Navy", clNavy},     {"Purple", clPurple},   {"Teal", clTeal},   {"Gray", clGray},
    {"Silver", clSilver}, {"Red", clRed},         {"Lime", clLime},   {"Yellow", clYellow},
    {"Blue", clBlue},     {"Fuchsia", clFuchsia}, {"Aqua", clAqua},   {"White", clWhite}};
constexpr int kMaxPoints = 1638;

int StyleIndexOf(TFontStyles Style) {
    return ((Style & fsBold) ? 2 : 0) + ((Style & fsItalic) ? 1 : 0);
}

// The sample text in the font chosen so far, centred in a sunken box.
class TFontSample : public TGraphicControl {
public:
    explicit TFontSample(TComponent* AOwner)
        : TGraphicControl(AOwner), FSampleFont(std::make_unique<TFont>()) {}
    TFont* SampleFont() { return FSampleFont.get(); }

protected:
    void Paint() override {
        TCanvas* c = Canvas();
        TRect r = ClientRect();
        c->Brush()->SetColor(clBtnFace);
        c->FillRect(r);
        c->Font()->Assign(FSampleFont.get());
        c->Brush()->SetStyle(bsClear);
        c->TextRect(r, "AaBbYyZz", DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP);
        c->Brush()->SetStyle(bsSolid);
    }

private:
    std::unique_ptr<TFont> FSampleFont;
};

// An edit with the list it chooses from below it: typing selects the first item that starts with the
// text, choosing an item puts it into the edit.
struct TPickList {
    TEdit* Edit = nullptr;
    TListBox* List = nullptr;
    bool Syncing = false;
    std::function<void()> OnChange;

    void Connect() {
        Edit->OnChange = [this](TObject*) {
            if (Syncing)
                return;
            Syncing = true;
            List->SetItemIndex(Find(Edit->Text(), true));
            if (List->ItemIndex() >= 0)
                List->MakeVisible(List->ItemIndex());
            Syncing = false;
            if (OnChange)
                OnChange();
        };
        List->OnClick = [this](TObject*) {
            if (Syncing || List->ItemIndex() < 0)
                return;
            Syncing = true;
            Edit->SetTextProp(List->Items()->Get(List->ItemIndex()));
            Syncing = false;
            if (OnChange)
                OnChange();
        };
    }
    // The item equal to the text (or, with Prefix, the first one starting with it), ignoring case.
    int Find(const std::string& Text, bool Prefix) const {
        const std::string t = Trim(Text);
        if (t.empty())
            return -1;
        for (int i = 0; i < List->Count(); ++i)
            if (AnsiSameText(List->Items()->Get(i), t))
                return i;
        if (Prefix)
            for (int i = 0; i < List->Count(); ++i) {
                std::string item = List->Items()->Get(i);
                if (item.size() >= t.size() && AnsiSameText(item.substr(0, t.size()), t))
                    return i;
            }
        return -1;
    }
    void Set(const std::string& Text) {
        Syncing = true;
        Edit->SetTextProp(Text);
        List->SetItemIndex(Find(Text, false));
        if (List->ItemIndex() >= 0)
            List->MakeVisible(List->ItemIndex());
        Syncing = false;
    }
};

class TFontForm : public TDialogForm {
    PLAT_CLASS(TFontForm)
public:
    explicit TFontForm(TComponent* AOwner) : TDialogForm(AOwner) {}

    void Build(const TFontDialog& Dialog);
    // The font as chosen (after a confirmed run).
    void Result(TFont& Font) const;

private:
    TPickList& AddPick(const std::string& Prefix, const std::string& Caption, int X, int Width);
    void UpdateSample();
    void Accept();
    bool ParseSize(int& Size) const;
    int StyleIndex() const;
    TColor ChosenColor() const;
    void Warn(const std::string& Text) { MessageBox(WindowHandle(), Text, "Font", MB_OK | MB_ICONWARNING); }

    TFontDialogOptions FOptions = 0;
    int FMinSize = 0, FMaxSize = 0;
    std::unique_ptr<TFont> FOriginal;
    TPickList FFace, FStyle, FSize;
    TCheckBox* FStrike = nullptr;
    TCheckBox* FUnderline = nullptr;
    TComboBox* FColor = nullptr;
    std::vector<TColor> FColorValues;
    TFontSample* FSample = nullptr;
    int FChosenSize = 8;
    int FInitialColor = -1;
};

PLAT_CLASS_INFO(TFontForm, TDialogForm)

TPickList& TFontForm::AddPick(const std::string& Prefix, const std::string& Caption, int X, int Width) {
    TPickList& pick = Prefix == "Face" ? FFace : Prefix == "Style" ? FStyle : FSize;
    pick.Edit = Add<TEdit>(Prefix + "Edit", Bounds(X, 24, Width, 21));
    pick.Edit->SetTabStop(true);
    pick.List = Add<TListBox>(Prefix + "List", Bounds(X, 46, Width, 112));
    pick.List->SetTabStop(false);
    AddLabel(Prefix + "Label", Caption, X, 8, pick.Edit);
    pick.Connect();
    pick.OnChange = [this] { UpdateSample(); };
    return pick;
}

void TFontForm::Build(const TFontDialog& Dialog) {
    SetCaption("Font");
    FOptions = Dialog.Options();
    FOriginal = std::make_unique<TFont>();
    FOriginal->Assign(Dialog.Font());
    if (FOptions & fdLimitSize) {
        FMinSize = Dialog.MinFontSize();
        FMaxSize = Dialog.MaxFontSize();
    }

    AddPick("Face", "&Font:", 8, 168);
    AddPick("Style", "Font st&yle:", 184, 112);
    AddPick("Size", "&Size:", 304, 56);
    if (Screen) {
        TStrings* fonts = Screen->Fonts();
        FFace.List->Items()->BeginUpdate();
        for (int i = 0; i < fonts->Count(); ++i)
            FFace.List->Items()->Add(fonts->Get(i));
        FFace.List->Items()->EndUpdate();
    }
    for (const char* s : kStyles)
        FStyle.List->Items()->Add(s);
    for (int size : kSizes)
        if ((FMinSize <= 0 || size >= FMinSize) && (FMaxSize <= 0 || size <= FMaxSize))
            FSize.List->Items()->Add(IntToStr(size));

    auto* ok = AddButton("OKButton", "OK", Bounds(372, 24, 75, 25), mrNone);
    ok->SetDefault(true);
    ok->OnClick = [this](TObject*) { Accept(); };
    AddButton("CancelButton", "Cancel", Bounds(372, 55, 75, 25), mrCancel)->SetCancel(true);

    int top = 168;
    if (FOptions & fdEffects) {
        auto* effects = Add<TGroupBox>("EffectsGroup", Bounds(8, top, 168, 112));
        effects->SetCaption("Effects");
        FStrike = Add<TCheckBox>("StrikeOutCheck", Bounds(10, 20, 140, 17), effects);
        FStrike->SetCaption("Stri&keout");
        FStrike->SetTabStop(true);
        FUnderline = Add<TCheckBox>("UnderlineCheck", Bounds(10, 42, 140, 17), effects);
        FUnderline->SetCaption("&Underline");
        FUnderline->SetTabStop(true);
        FColor = Add<TComboBox>("ColorCombo", Bounds(10, 80, 146, 22), effects);
        FColor->SetStyle(csOwnerDrawFixed);
        FColor->SetTabStop(true);
        FColor->SetDropDownCount(16);
        AddLabel("ColorLabel", "&Color:", 10, 64, FColor, effects);
        for (const auto& [name, color] : kColors) {
            FColor->Items()->Add(name);
            FColorValues.push_back(color);
        }
        TColor current = ColorToRGB(FOriginal->Color());
        auto it = std::find(FColorValues.begin(), FColorValues.end(), current);
        if (it == FColorValues.end()) {
            FColor->Items()->Add("Custom");
            FColorValues.push_back(current);
            it = FColorValues.end() - 1;
        }
        FInitialColor = static_cast<int>(it - FColorValues.begin());
        FColor->SetItemIndex(FInitialColor);
        FColor->OnDrawItem = [this](TWinControl* Control, int Index, TRect Rect, TOwnerDrawState) {
            auto* owner = dynamic_cast<TCustomControl*>(Control);
            if (!owner)
                return;
            TCanvas* c = owner->Canvas();
            c->FillRect(Rect);
            if (Index < 0 || Index >= static_cast<int>(FColorValues.size()))
                return;
            TBrush saved;
            saved.Assign(c->Brush());
            TRect swatch(Rect.Left + 2, Rect.Top + 2, Rect.Left + 24, Rect.Bottom - 2);
            c->Brush()->SetColor(clBlack);
            c->FrameRect(swatch);
            InflateRect(swatch, -1, -1);
            c->Brush()->SetColor(FColorValues[Index]);
            c->FillRect(swatch);
            c->Brush()->Assign(&saved);
            c->Brush()->SetStyle(bsClear);
            TRect t(Rect.Left + 28, Rect.Top, Rect.Right, Rect.Bottom);
            c->TextRect(t, FColor->Items()->Get(Index), DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
            c->Brush()->SetStyle(bsSolid);
        };
        FColor->OnSelect = [this](TObject*) { UpdateSample(); };
        FStrike->OnClick = [this](TObject*) { UpdateSample(); };
        FUnderline->OnClick = [this](TObject*) { UpdateSample(); };
        FStrike->SetChecked(FOriginal->Style() & fsStrikeOut);
        FUnderline->SetChecked(FOriginal->Style() & fsUnderline);
    }
    auto* sampleGroup = Add<TGroupBox>("SampleGroup", Bounds(184, top, 263, 112));
    sampleGroup->SetCaption("Sample");
    FSample = Add<TFontSample>("Sample", Bounds(8, 18, 247, 84), sampleGroup);

    FFace.Set(FOriginal->Name());
    FStyle.Set(kStyles[StyleIndexOf(FOriginal->Style())]);
    FSize.Set(IntToStr(FOriginal->Size()));
    SetClientWidth(455);
    SetClientHeight(top + 112 + 10);
    SetActiveControl(FFace.Edit);
    UpdateSample();
}

bool TFontForm::ParseSize(int& Size) const {
    std::string text = Trim(FSize.Edit->Text());
    return TryStrToInt(text, Size);
}

int TFontForm::StyleIndex() const {
    return FStyle.Find(FStyle.Edit->Text(), false);
}

TColor TFontForm::ChosenColor() const {
    // Left as it was, a system colour stays one.
    int i = FColor ? FColor->ItemIndex() : -1;
    if (i == FInitialColor)
        return FOriginal->Color();
    return i >= 0 && i < static_cast<int>(FColorValues.size()) ? FColorValues[i] : FOriginal->Color();
}

void TFontForm::UpdateSample() {
    if (!FSample)
        return;
    TFont* f = FSample->SampleFont();
    f->Assign(FOriginal.get());
    std::string face = Trim(FFace.Edit->Text());
    if (!face.empty())
        f->SetName(face);
    int size = 0;
    if (ParseSize(size) && size >= 1 && size <= kMaxPoints)
        f->SetSize(size);
    TFontStyles style = 0;
    int s = StyleIndex();
    if (s == 1 || s == 3)
        style |= fsItalic;
    if (s == 2 || s == 3)
        style |= fsBold;
    if (s < 0)
        style = FOriginal->Style() & (fsBold | fsItalic);
    if (FStrike ? FStrike->Checked() : (FOriginal->Style() & fsStrikeOut))
        style |= fsStrikeOut;
    if (FUnderline ? FUnderline->Checked() : (FOriginal->Style() & fsUnderline))
        style |= fsUnderline;
    f->SetStyle(style);
    f->SetColor(ChosenColor());
    FSample->Invalidate();
}

void TFontForm::Accept() {
    std::string face = Trim(FFace.Edit->Text());
    if (face.empty() || ((FOptions & fdForceFontExist) && FFace.Find(face, false) < 0)) {
        Warn("There is no font with that name.\nChoose a font from the list of fonts.");
        FFace.Edit->SetFocus();
        return;
    }
    if (StyleIndex() < 0) {
        Warn("There is no style of this font with that name.\nChoose a style from the list of styles.");
        FStyle.Edit->SetFocus();
        return;
    }
    int size = 0;
    if (!ParseSize(size)) {
        Warn("Size must be a number.");
        FSize.Edit->SetFocus();
        return;
    }
    int lo = FMinSize > 0 ? FMinSize : 1, hi = FMaxSize > 0 ? FMaxSize : kMaxPoints;
    if (size < lo || size > hi) {
        Warn(Format("Size must be between %d and %d points.", {lo, hi}));
        FSize.Edit->SetFocus();
        return;
    }
    FChosenSize = size;
    SetModalResult(mrOk);
}

void TFontForm::Result(TFont& Font) const {
    std::string face = Trim(FFace.Edit->Text());
    int i = FFace.Find(face, false);
    Font.SetName(i >= 0 ? FFace.List->Items()->Get(i) : face);
    Font.SetSize(FChosenSize);
    Font.SetStyle(FSample->SampleFont()->Style());
    Font.SetColor(FColor ? ChosenColor() : FOriginal->Color());
}

} // namespace

PLAT_PROPERTIES(TFontDialog) {
    props.Object("Font", &TFontDialog::Font, &TFontDialog::SetFont);
    props.Set("Options", &TFontDialog::Options, &TFontDialog::SetOptions, kFontOptionNames,
              TFontDialogOptions(fdEffects));
    props.Integer("MinFontSize", &TFontDialog::MinFontSize, &TFontDialog::SetMinFontSize, 0);
    props.Integer("MaxFontSize", &TFontDialog::MaxFontSize, &TFontDialog::SetMaxFontSize, 0);
}

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFont(std::make_unique<TFont>()) {}

TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute() {
    auto form = MakeDialogForm<TFontForm>(nullptr);
    form->Build(*this);
    if (RunModal(*form) != mrOk)
        return false;
    form->Result(*FFont);
    return true;
}

} // namespace plat
