// The menu styler and its appearance objects.
#include "ui/drawing/KvxMenus.h"

#include "platform/gfx/GfxResources.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Screen.h"
#include "ui/drawing/KvxMenuStylerProperties.h"
#include "ui/drawing/KvxStyleIF.h"

using namespace plat;

namespace ui {

namespace {

// Picks the single-colour setter out of its indexed overload for the property tables.
template <class C> auto ColorSetter(void (C::*Setter)(TColor)) {
    return Setter;
}

void CopyMenuFont(TFont& Font, int SizeDelta) {
    if (Screen && Screen->MenuFont())
        Font.Assign(Screen->MenuFont());
    if (SizeDelta)
        Font.SetSize(Font.Size() + SizeDelta);
}

std::unique_ptr<TFont> MenuFont(int SizeDelta, TColor Color) {
    auto f = std::make_unique<TFont>();
    CopyMenuFont(*f, SizeDelta);
    f->SetColor(Color);
    return f;
}

void CheckIndex(int Index, int Count) {
    if (Index < 0 || Index >= Count)
        RaiseInvalidPropertyIndex(Index);
}

} // namespace

// ---- TGradientBar ----

PLAT_CLASS_INFO(TGradientBar, TPersistent)
PLAT_PROPERTIES(TGradientBar) {}

TGradientBar::TGradientBar(IKvxMenu* Menu) : FMenu(Menu) {}

TColor TGradientBar::GetColor(int Index) const {
    CheckIndex(Index, 2);
    return FColor[Index];
}

void TGradientBar::SetColor(int Index, TColor Value) {
    CheckIndex(Index, 2);
    FColor[Index] = Value;
}

void TGradientBar::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TGradientBar*>(Source)) {
        SetColor(s->Color());
        SetColorTo(s->ColorTo());
        SetGradientDirection(s->GradientDirection());
        return;
    }
    TPersistent::Assign(Source);
}

// The published colour pair and direction, declared by each subclass with its own defaults.
#define KVX_GRADIENT_PROPS(C, color, colorTo, direction)                                                     \
    props.Color("Color", &C::Color, ColorSetter<TGradientBar>(&TGradientBar::SetColor), color);              \
    props.Color("ColorTo", &C::ColorTo, &C::SetColorTo, colorTo);                                            \
    props.Enum("GradientDirection", &C::GradientDirection, &C::SetGradientDirection,                         \
               kGradientDirectionNames, direction)

// ---- TIconBar ----

PLAT_CLASS_INFO(TIconBar, TGradientBar)
PLAT_PROPERTIES(TIconBar) {
    KVX_GRADIENT_PROPS(TIconBar, 0xFFF9F9, 0xBBA0A1, gdHorizontal);
    props.Color("CheckColor", &TIconBar::CheckColor, ColorSetter<TIconBar>(&TIconBar::SetCheckColor),
                0x6FC0FF);
    props.Color("CheckColorTo", &TIconBar::CheckColorTo, &TIconBar::SetCheckColorTo, clNone);
    props.Color("CheckBorder", &TIconBar::CheckBorder, &TIconBar::SetCheckBorder, 0x6F4B4B);
    props.Enum("CheckGradientDirection", &TIconBar::CheckGradientDirection,
               &TIconBar::SetCheckGradientDirection, kGradientDirectionNames, gdVertical);
    props.Color("RadioColor", &TIconBar::RadioColor, ColorSetter<TIconBar>(&TIconBar::SetRadioColor),
                0x6FC0FF);
    props.Color("RadioColorTo", &TIconBar::RadioColorTo, &TIconBar::SetRadioColorTo, clNone);
    props.Color("RadioBorder", &TIconBar::RadioBorder, &TIconBar::SetRadioBorder, 0x6F4B4B);
    props.Enum("RadioGradientDirection", &TIconBar::RadioGradientDirection,
               &TIconBar::SetRadioGradientDirection, kGradientDirectionNames, gdVertical);
    props.Color("SeparatorColor", &TIconBar::SeparatorColor, &TIconBar::SetSeparatorColor, clNone);
    props.Integer("Size", &TIconBar::Size, &TIconBar::SetSize, 24);
}

TIconBar::TIconBar(IKvxMenu* Menu) : TGradientBar(Menu) {
    FColor[0] = 0xFFF9F9;
    FColor[1] = 0xBBA0A1;
    FGradientDirection = gdHorizontal;
}

TColor TIconBar::GetCheckColor(int Index) const {
    CheckIndex(Index, 2);
    return FCheck.Color[Index];
}

void TIconBar::SetCheckColor(int Index, TColor Value) {
    CheckIndex(Index, 2);
    FCheck.Color[Index] = Value;
    Refresh(false, false);
}

TColor TIconBar::GetRadioColor(int Index) const {
    CheckIndex(Index, 2);
    return FRadio.Color[Index];
}

void TIconBar::SetRadioColor(int Index, TColor Value) {
    CheckIndex(Index, 2);
    FRadio.Color[Index] = Value;
    Refresh(false, false);
}

void TIconBar::SetSize(int Value) {
    FSize = std::max(Value, 16);
    Refresh(false, true);
}

void TIconBar::Assign(TPersistent* Source) {
    // The column's own colours stay: a copied icon bar takes only the boxes, size and line.
    if (auto* s = dynamic_cast<TIconBar*>(Source)) {
        SetCheckColor(s->CheckColor());
        SetCheckColorTo(s->CheckColorTo());
        SetCheckBorder(s->CheckBorder());
        SetCheckGradientDirection(s->CheckGradientDirection());
        SetRadioColor(s->RadioColor());
        SetRadioColorTo(s->RadioColorTo());
        SetRadioBorder(s->RadioBorder());
        SetRadioGradientDirection(s->RadioGradientDirection());
        SetSize(s->Size());
        SetSeparatorColor(s->SeparatorColor());
        return;
    }
    TGradientBar::Assign(Source);
}

// ---- TSelectedItem ----

PLAT_CLASS_INFO(TSelectedItem, TGradientBar)
PLAT_PROPERTIES(TSelectedItem) {
    KVX_GRADIENT_PROPS(TSelectedItem, 0xC2EEFF, clNone, gdVertical);
    props.Color("ColorMirror", &TSelectedItem::ColorMirror, &TSelectedItem::SetColorMirror, clNone);
    props.Color("ColorMirrorTo", &TSelectedItem::ColorMirrorTo, &TSelectedItem::SetColorMirrorTo, clNone);
    props.Color("BorderColor", &TSelectedItem::BorderColor, &TSelectedItem::SetBorderColor, 0x6F4B4B);
    props.Object("Font", &TSelectedItem::Font, &TSelectedItem::SetFont);
    props.Object("NotesFont", &TSelectedItem::NotesFont, &TSelectedItem::SetNotesFont);
    props.Boolean("UseSystemFont", &TSelectedItem::UseSystemFont, &TSelectedItem::SetUseSystemFont, true);
    props.Color("CheckColor", &TSelectedItem::CheckColor,
                ColorSetter<TSelectedItem>(&TSelectedItem::SetCheckColor), 0x3E80FE);
    props.Color("CheckColorTo", &TSelectedItem::CheckColorTo, &TSelectedItem::SetCheckColorTo, clNone);
    props.Color("CheckBorder", &TSelectedItem::CheckBorder, &TSelectedItem::SetCheckBorder, 0x6F4B4B);
    props.Enum("CheckGradientDirection", &TSelectedItem::CheckGradientDirection,
               &TSelectedItem::SetCheckGradientDirection, kGradientDirectionNames, gdVertical);
    props.Color("RadioColor", &TSelectedItem::RadioColor,
                ColorSetter<TSelectedItem>(&TSelectedItem::SetRadioColor), 0x3E80FE);
    props.Color("RadioColorTo", &TSelectedItem::RadioColorTo, &TSelectedItem::SetRadioColorTo, clNone);
    props.Color("RadioBorder", &TSelectedItem::RadioBorder, &TSelectedItem::SetRadioBorder, 0x6F4B4B);
    props.Enum("RadioGradientDirection", &TSelectedItem::RadioGradientDirection,
               &TSelectedItem::SetRadioGradientDirection, kGradientDirectionNames, gdVertical);
}

TSelectedItem::TSelectedItem(IKvxMenu* Menu)
    : TGradientBar(Menu), FFont(MenuFont(0, clMenuText)), FNotesFont(MenuFont(-2, clMenuText)) {
    FColor[0] = 0xC2EEFF;
    FColor[1] = clNone;
}

TSelectedItem::~TSelectedItem() = default;

void TSelectedItem::SetFont(TFont* Value) {
    FFont->Assign(Value);
    Refresh(false, true);
}

void TSelectedItem::SetNotesFont(TFont* Value) {
    FNotesFont->Assign(Value);
    Refresh(false, true);
}

void TSelectedItem::SetUseSystemFont(bool Value) {
    FUseSystemFont = Value;
    Refresh(false, true);
}

TColor TSelectedItem::GetCheckColor(int Index) const {
    CheckIndex(Index, 2);
    return FCheck.Color[Index];
}

void TSelectedItem::SetCheckColor(int Index, TColor Value) {
    CheckIndex(Index, 2);
    FCheck.Color[Index] = Value;
    Refresh(false, false);
}

TColor TSelectedItem::GetRadioColor(int Index) const {
    CheckIndex(Index, 2);
    return FRadio.Color[Index];
}

void TSelectedItem::SetRadioColor(int Index, TColor Value) {
    CheckIndex(Index, 2);
    FRadio.Color[Index] = Value;
    Refresh(false, false);
}

void TSelectedItem::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TSelectedItem*>(Source)) {
        SetColorMirror(s->ColorMirror());
        SetColorMirrorTo(s->ColorMirrorTo());
        SetBorderColor(s->BorderColor());
        SetFont(s->Font());
        SetUseSystemFont(s->UseSystemFont());
        SetCheckColor(s->CheckColor());
        SetCheckColorTo(s->CheckColorTo());
        SetCheckGradientDirection(s->CheckGradientDirection());
        SetRadioColor(s->RadioColor());
        SetRadioColorTo(s->RadioColorTo());
        SetRadioBorder(s->RadioBorder());
        SetRadioGradientDirection(s->RadioGradientDirection());
        return;
    }
    TGradientBar::Assign(Source);
}

// ---- TRootItem ----

PLAT_CLASS_INFO(TRootItem, TGradientBar)
PLAT_PROPERTIES(TRootItem) {
    KVX_GRADIENT_PROPS(TRootItem, 0xE5D7D7, 0xF7F2F2, gdHorizontal);
    props.Object("Font", &TRootItem::Font, &TRootItem::SetFont);
    props.Boolean("UseSystemFont", &TRootItem::UseSystemFont, &TRootItem::SetUseSystemFont, true);
    props.Color("SelectedColor", &TRootItem::SelectedColor,
                ColorSetter<TRootItem>(&TRootItem::SetSelectedColor), 0xF2E8E8);
    props.Color("SelectedColorTo", &TRootItem::SelectedColorTo, &TRootItem::SetSelectedColorTo, 0xCDB8B9);
    props.Color("SelectedColorMirror", &TRootItem::SelectedColorMirror, &TRootItem::SetSelectedColorMirror,
                clNone);
    props.Color("SelectedColorMirrorTo", &TRootItem::SelectedColorMirrorTo,
                &TRootItem::SetSelectedColorMirrorTo, clNone);
    props.Enum("SelectedGradientDirection", &TRootItem::SelectedGradientDirection,
               &TRootItem::SetSelectedGradientDirection, kGradientDirectionNames, gdVertical);
    props.Color("SelectedBorderColor", &TRootItem::SelectedBorderColor, &TRootItem::SetSelectedBorderColor,
                0x947C7C);
    props.Color("SelectedTextColor", &TRootItem::SelectedTextColor, &TRootItem::SetSelectedTextColor,
                clMenuText);
    props.Color("HoverColor", &TRootItem::HoverColor, ColorSetter<TRootItem>(&TRootItem::SetHoverColor),
                0xCFF6FF);
    props.Color("HoverColorTo", &TRootItem::HoverColorTo, &TRootItem::SetHoverColorTo, 0x9DD8FF);
    props.Color("HoverColorMirror", &TRootItem::HoverColorMirror, &TRootItem::SetHoverColorMirror, clNone);
    props.Color("HoverColorMirrorTo", &TRootItem::HoverColorMirrorTo, &TRootItem::SetHoverColorMirrorTo,
                clNone);
    props.Enum("HoverGradientDirection", &TRootItem::HoverGradientDirection,
               &TRootItem::SetHoverGradientDirection, kGradientDirectionNames, gdVertical);
    props.Color("HoverBorderColor", &TRootItem::HoverBorderColor, &TRootItem::SetHoverBorderColor, 0x6F4B4B);
    props.Color("HoverTextColor", &TRootItem::HoverTextColor, &TRootItem::SetHoverTextColor, clMenuText);
}

TRootItem::TRootItem(IKvxMenu* Menu) : TGradientBar(Menu), FFont(MenuFont(0, clMenuText)) {
    FColor[0] = 0xE5D7D7;
    FColor[1] = 0xF7F2F2;
    FGradientDirection = gdHorizontal;
}

TRootItem::~TRootItem() = default;

void TRootItem::SetFont(TFont* Value) {
    FFont->Assign(Value);
    Refresh(false, true);
}

void TRootItem::SetUseSystemFont(bool Value) {
    FUseSystemFont = Value;
    Refresh(false, true);
}

TColor TRootItem::GetHoverColor(int Index) const {
    CheckIndex(Index, 4);
    return FHover[Index];
}

void TRootItem::SetHoverColor(int Index, TColor Value) {
    CheckIndex(Index, 4);
    FHover[Index] = Value;
    Refresh(false, true);
}

TColor TRootItem::GetSelectedColor(int Index) const {
    CheckIndex(Index, 4);
    return FSelected[Index];
}

void TRootItem::SetSelectedColor(int Index, TColor Value) {
    CheckIndex(Index, 4);
    FSelected[Index] = Value;
    Refresh(false, true);
}

void TRootItem::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TRootItem*>(Source)) {
        SetFont(s->Font());
        SetUseSystemFont(s->UseSystemFont());
        SetSelectedColor(s->SelectedColor());
        SetSelectedColorTo(s->SelectedColorTo());
        SetSelectedGradientDirection(s->SelectedGradientDirection());
        SetSelectedBorderColor(s->SelectedBorderColor());
        SetSelectedTextColor(s->SelectedTextColor());
        SetHoverColor(s->HoverColor());
        SetHoverColorTo(s->HoverColorTo());
        SetHoverGradientDirection(s->HoverGradientDirection());
        SetHoverBorderColor(s->HoverBorderColor());
        SetHoverTextColor(s->HoverTextColor());
        SetSelectedColorMirror(s->SelectedColorMirror());
        SetSelectedColorMirrorTo(s->SelectedColorMirrorTo());
        return;
    }
    TGradientBar::Assign(Source);
}

// ---- TBackground ----

PLAT_CLASS_INFO(TBackground, TGradientBar)
PLAT_PROPERTIES(TBackground) {
    KVX_GRADIENT_PROPS(TBackground, 0xFFFAFD, clNone, gdVertical);
    props.Object(
        "Image", [](TBackground& b) { return b.Image(); }, &TBackground::SetImage);
    props.Enum("Position", &TBackground::Position, &TBackground::SetPosition, kBackgroundPositionNames);
    props.Integer("OffsetX", &TBackground::OffsetX, &TBackground::SetOffsetX, 0);
    props.Integer("OffsetY", &TBackground::OffsetY, &TBackground::SetOffsetY, 0);
    props.Integer("MarginX", &TBackground::MarginX, &TBackground::SetMarginX, 0);
    props.Integer("MarginY", &TBackground::MarginY, &TBackground::SetMarginY, 0);
}

TBackground::TBackground(IKvxMenu* Menu) : TGradientBar(Menu), FImage(std::make_unique<TPicture>()) {
    FColor[0] = 0xFFFAFD;
    FColor[1] = clNone;
}

TBackground::~TBackground() = default;

TPicture* TBackground::Image() {
    if (!FImage)
        FImage = std::make_unique<TPicture>();
    if (auto* bmp = dynamic_cast<TBitmap*>(FImage->Graphic())) {
        bmp->SetTransparentMode(tmAuto);
        bmp->SetTransparent(true);
    }
    return FImage.get();
}

void TBackground::SetImage(TPicture* Value) {
    if (!Value)
        FImage.reset();
    else
        Image()->Assign(Value);
    Refresh(false, false);
}

bool TBackground::HasPicture() const {
    return FImage && FImage->Graphic() && !FImage->Graphic()->Empty();
}

void TBackground::Paint(TCanvas* Canvas, TRect Rect, bool GradientFirst) {
    Rect.Left += FMarginX;
    Rect.Right -= FMarginX;
    Rect.Top += FMarginY;
    Rect.Bottom -= FMarginY;
    int w = Rect.Width(), h = Rect.Height();
    if (w <= 0 || h <= 0)
        return;
    if (!FCache)
        FCache = std::make_unique<TBitmap>();
    FCache->SetSize(w, h);
    TCanvas* c = FCache->Canvas();
    TGraphic* pic = HasPicture() ? Image()->Graphic() : nullptr;
    if (GradientFirst && (!pic || (FPosition != bpTiled && FPosition != bpStretched) || pic->Transparent()))
        DrawGradient(c, TRect(0, 0, w, h), FGradientDirection, FColor[1], FColor[0]);
    if (pic) {
        int pw = pic->Width(), ph = pic->Height();
        switch (FPosition) {
        case bpTiled:
            if (pw >= 1 && ph >= 1)
                for (int y = 0; y < h; y += ph)
                    for (int x = 0; x < w; x += pw)
                        c->Draw(x, y, pic);
            break;
        case bpStretched:
            c->StretchDraw(TRect(0, 0, w, h), pic);
            break;
        case bpXY:
            c->Draw(FOffsetX, FOffsetY, pic);
            break;
        default: {
            int x = 0, y = 0;
            switch (FPosition) {
            case bpTopRight:
            case bpBottomRight:
                x = w - pw + FOffsetX;
                break;
            case bpTopCenter:
            case bpBottomCenter:
            case bpCenter:
                x = (w - pw) / 2 + FOffsetX;
                break;
            default:
                x = FOffsetX;
            }
            switch (FPosition) {
            case bpBottomLeft:
            case bpBottomRight:
            case bpBottomCenter:
                y = h + FOffsetY - ph;
                break;
            case bpCenter:
                y = (h - ph) / 2 + FOffsetY;
                break;
            default:
                y = FOffsetY;
            }
            c->Draw(x, y, pic);
        }
        }
    }
    Canvas->Draw(Rect.Left, Rect.Top, FCache.get());
}

void TBackground::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TBackground*>(Source)) {
        SetImage(s->FImage.get());
        SetOffsetX(s->OffsetX());
        SetOffsetY(s->OffsetY());
        SetPosition(s->Position());
        SetColor(s->Color());
        SetColorTo(s->ColorTo());
        return;
    }
    TGradientBar::Assign(Source);
}

// ---- TSeparator ----

PLAT_CLASS_INFO(TSeparator, TGradientBar)
PLAT_PROPERTIES(TSeparator) {
    props.Color("Color", &TSeparator::Color, ColorSetter<TGradientBar>(&TGradientBar::SetColor), 0x8F6D6E);
    props.Color("ColorTo", &TSeparator::ColorTo, &TSeparator::SetColorTo, clNone);
    props.Integer("Width", &TSeparator::Width, &TSeparator::SetWidth, 1);
    props.Enum("GradientType", &TSeparator::GradientType, &TSeparator::SetGradientType, kGradientTypeNames);
    props.Integer("GradientWidth", &TSeparator::GradientWidth, &TSeparator::SetGradientWidth, 0);
    props.Integer("Margin", &TSeparator::Margin, &TSeparator::SetMargin, 2);
}

TSeparator::TSeparator(IKvxMenu* Menu) : TGradientBar(Menu) {
    FColor[0] = 0x8F6D6E;
    FColor[1] = clNone;
    FGradientDirection = gdHorizontal;
}

void TSeparator::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TSeparator*>(Source)) {
        SetWidth(s->Width());
        SetGradientType(s->GradientType());
        SetGradientWidth(s->GradientWidth());
        SetMargin(s->Margin());
    }
    TGradientBar::Assign(Source);
}

// ---- TBarCaption, TSideBar ----

PLAT_CLASS_INFO(TBarCaption, TPersistent)
PLAT_PROPERTIES(TBarCaption) {
    props.Enum("Alignment", &TBarCaption::Alignment, &TBarCaption::SetAlignment, kAlignmentNames,
               taLeftJustify);
    props.String("Caption", &TBarCaption::Caption, &TBarCaption::SetCaption);
    props.Object("Font", &TBarCaption::Font, &TBarCaption::SetFont);
    props.Color("ShadowColor", &TBarCaption::ShadowColor, &TBarCaption::SetShadowColor, clNone);
    props.Integer("Depth", &TBarCaption::Depth, &TBarCaption::SetDepth, 1);
    props.Enum("Direction", &TBarCaption::Direction, &TBarCaption::SetDirection, kDirectionNames, dDownToUp);
}

TBarCaption::TBarCaption(IKvxMenu* Menu) : FMenu(Menu), FFont(std::make_unique<TFont>()) {
    FFont->SetName("Tahoma");
    FFont->SetSize(14);
    FFont->SetColor(0xFFFFFF);
    FFont->SetStyle(fsBold | fsItalic);
}

TBarCaption::~TBarCaption() = default;

void TBarCaption::SetFont(TFont* Value) {
    FFont->Assign(Value);
    RefreshKvxMenu(FMenu, true, false);
}

void TBarCaption::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TBarCaption*>(Source)) {
        FVerticalOffset = s->FVerticalOffset;
        SetAlignment(s->Alignment());
        SetCaption(s->Caption());
        SetFont(s->Font());
        SetShadowColor(s->ShadowColor());
        SetDepth(s->Depth());
        SetDirection(s->Direction());
        return;
    }
    TPersistent::Assign(Source);
}

PLAT_CLASS_INFO(TSideBar, TBarCaption)
PLAT_PROPERTIES(TSideBar) {
    props.Boolean("Visible", &TSideBar::Visible, &TSideBar::SetVisible, false);
    props.Enum("VisibleIn", &TSideBar::VisibleIn, &TSideBar::SetVisibleIn, kSideBarVisibleInNames,
               viFirstVisible);
    props.Object("Image", &TSideBar::Image, &TSideBar::SetImage);
    props.Object("Background", &TSideBar::Background, &TSideBar::SetBackground);
    props.Integer("Size", &TSideBar::Size, &TSideBar::SetSize, 24);
    props.Color("SplitterColor", &TSideBar::SplitterColor, &TSideBar::SetSplitterColor, 0x808080);
    props.Color("SplitterColorTo", &TSideBar::SplitterColorTo, &TSideBar::SetSplitterColorTo, clNone);
    props.Integer("SplitterWidth", &TSideBar::SplitterWidth, &TSideBar::SetSplitterWidth, 1);
    props.Integer("SplitterMargin", &TSideBar::SplitterMargin, &TSideBar::SetSplitterMargin, 0);
    props.Integer("SplitterGradientWidth", &TSideBar::SplitterGradientWidth,
                  &TSideBar::SetSplitterGradientWidth, 0);
    props.Enum("SplitterGradientType", &TSideBar::SplitterGradientType, &TSideBar::SetSplitterGradientType,
               kGradientTypeNames, gtBoth);
    props.Color("BorderColor", &TSideBar::BorderColor, &TSideBar::SetBorderColor, 0xA19D9D);
}

TSideBar::TSideBar(IKvxMenu* Menu)
    : TBarCaption(Menu), FImage(std::make_unique<TBackground>(nullptr)),
      FBackground(std::make_unique<TBackground>(nullptr)) {}

TSideBar::~TSideBar() = default;

void TSideBar::SetVisible(bool Value) {
    FVisible = Value;
    if (FMenu && dynamic_cast<TKvxMainMenu*>(FMenu->GetMenu()) &&
        !static_cast<TKvxMainMenu*>(FMenu->GetMenu())->Forms().empty())
        RefreshKvxMenu(FMenu, false, true);
}

void TSideBar::SetImage(TBackground* Value) {
    FImage->Assign(Value);
    RefreshKvxMenu(FMenu, true, false);
}

void TSideBar::SetBackground(TBackground* Value) {
    FBackground->Assign(Value);
    FBackground->Image();
    RefreshKvxMenu(FMenu, true, false);
}

void TSideBar::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TSideBar*>(Source)) {
        SetVisible(s->Visible());
        SetImage(s->Image());
        SetBackground(s->Background());
        SetSize(s->Size());
        SetSplitterWidth(s->SplitterWidth());
        SetSplitterMargin(s->SplitterMargin());
        SetSplitterGradientWidth(s->SplitterGradientWidth());
        SetSplitterGradientType(s->SplitterGradientType());
        SetBorderColor(s->BorderColor());
    }
    TBarCaption::Assign(Source);
}

// ---- TMenuGlyphs ----

PLAT_CLASS_INFO(TMenuGlyphs, TPersistent)
PLAT_PROPERTIES(TMenuGlyphs) {
    props.Object("SubMenu", &TMenuGlyphs::SubMenu, &TMenuGlyphs::SetSubMenu);
    props.Object("Check", &TMenuGlyphs::Check, &TMenuGlyphs::SetCheck);
    props.Object("Radio", &TMenuGlyphs::Radio, &TMenuGlyphs::SetRadio);
}

namespace {
std::unique_ptr<TBitmap> Glyph(const char* Name) {
    auto b = std::make_unique<TBitmap>();
    LoadBitmapResource(*b, Name);
    b->SetTransparentMode(tmAuto);
    b->SetTransparent(true);
    return b;
}
} // namespace

TMenuGlyphs::TMenuGlyphs(IKvxMenu* Menu)
    : FMenu(Menu), FSubMenu(Glyph("KVXSUBMENUITEM")), FCheck(Glyph("KVXCHECKITEM")),
      FRadio(Glyph("KVXRADIOITEM")) {}

TMenuGlyphs::~TMenuGlyphs() = default;

void TMenuGlyphs::Put(std::unique_ptr<TBitmap>& Glyph, TBitmap* Value) {
    Glyph->Assign(Value);
    Glyph->SetTransparentMode(tmAuto);
    Glyph->SetTransparent(true);
    RefreshKvxMenu(FMenu, false, false);
}

void TMenuGlyphs::SetSubMenu(TBitmap* Value) {
    Put(FSubMenu, Value);
}
void TMenuGlyphs::SetCheck(TBitmap* Value) {
    Put(FCheck, Value);
}
void TMenuGlyphs::SetRadio(TBitmap* Value) {
    Put(FRadio, Value);
}

void TMenuGlyphs::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TMenuGlyphs*>(Source)) {
        SetSubMenu(s->SubMenu());
        SetCheck(s->Check());
        SetRadio(s->Radio());
        return;
    }
    TPersistent::Assign(Source);
}

// ---- TButtonAppearance ----

PLAT_CLASS_INFO(TButtonAppearance, TPersistent)
PLAT_PROPERTIES(TButtonAppearance) {
    props.Color("Color", &TButtonAppearance::Color, &TButtonAppearance::SetColor, clNone);
    props.Color("ColorTo", &TButtonAppearance::ColorTo, &TButtonAppearance::SetColorTo, clNone);
    props.Color("HoverColor", &TButtonAppearance::HoverColor, &TButtonAppearance::SetHoverColor, 0xD2BDB6);
    props.Color("HoverColorTo", &TButtonAppearance::HoverColorTo, &TButtonAppearance::SetHoverColorTo,
                clNone);
    props.Color("DownColor", &TButtonAppearance::DownColor, &TButtonAppearance::SetDownColor, 0xB59285);
    props.Color("DownColorTo", &TButtonAppearance::DownColorTo, &TButtonAppearance::SetDownColorTo, clNone);
    props.Color("BorderColor", &TButtonAppearance::BorderColor, &TButtonAppearance::SetBorderColor, clNone);
    props.Color("DownBorderColor", &TButtonAppearance::DownBorderColor,
                &TButtonAppearance::SetDownBorderColor, 0x6A240A);
    props.Color("HoverBorderColor", &TButtonAppearance::HoverBorderColor,
                &TButtonAppearance::SetHoverBorderColor, 0x6A240A);
    props.Enum("GradientDirection", &TButtonAppearance::GradientDirection,
               &TButtonAppearance::SetGradientDirection, kGradientDirectionNames, gdVertical);
    props.Object("CaptionFont", &TButtonAppearance::CaptionFont, &TButtonAppearance::SetCaptionFont);
    props.Boolean("UseSystemFont", &TButtonAppearance::UseSystemFont, &TButtonAppearance::SetUseSystemFont,
                  true);
}

TButtonAppearance::TButtonAppearance() : FCaptionFont(std::make_unique<TFont>()) {
    FCaptionFont->SetName(IsVistaOrLater() ? "Segoe UI" : "Tahoma");
}

TButtonAppearance::~TButtonAppearance() = default;

void TButtonAppearance::Changed() {
    if (OnChange)
        OnChange(this);
}

void TButtonAppearance::Change(TColor& Field, TColor Value) {
    if (Field == Value)
        return;
    Field = Value;
    Changed();
}

void TButtonAppearance::SetGradientDirection(TGradientDirection Value) {
    if (FGradientDirection == Value)
        return;
    FGradientDirection = Value;
    Changed();
}

void TButtonAppearance::SetCaptionFont(TFont* Value) {
    FCaptionFont->Assign(Value);
    Changed();
}

void TButtonAppearance::SetUseSystemFont(bool Value) {
    if (FUseSystemFont == Value)
        return;
    FUseSystemFont = Value;
    if (Value)
        FCaptionFont->SetName(IsVistaOrLater() ? "Segoe UI" : "Tahoma");
}

void TButtonAppearance::Assign(TPersistent* Source) {
    // Plain stores: a copy does not announce itself, and anything but another appearance is ignored.
    auto* s = dynamic_cast<TButtonAppearance*>(Source);
    if (!s)
        return;
    FColor = s->FColor;
    FColorTo = s->FColorTo;
    FHoverColor = s->FHoverColor;
    FHoverColorTo = s->FHoverColorTo;
    FDownColor = s->FDownColor;
    FDownColorTo = s->FDownColorTo;
    FGradientDirection = s->FGradientDirection;
    FBorderColor = s->FBorderColor;
    FHoverBorderColor = s->FHoverBorderColor;
    FDownBorderColor = s->FDownBorderColor;
}

// ---- TCustomKvxMenuStyler ----

PLAT_CLASS_INFO(TCustomKvxMenuStyler, TComponent)

TCustomKvxMenuStyler::TCustomKvxMenuStyler(TComponent* AOwner) : TComponent(AOwner) {
    FSideBar = std::make_unique<TSideBar>(FMenu);
    FBackground = std::make_unique<TBackground>(FMenu);
    FIconBar = std::make_unique<TIconBar>(FMenu);
    FSelectedItem = std::make_unique<TSelectedItem>(FMenu);
    FRootItem = std::make_unique<TRootItem>(FMenu);
    FGlyphs = std::make_unique<TMenuGlyphs>(FMenu);
    FSeparator = std::make_unique<TSeparator>(FMenu);
    FFont = MenuFont(0, clMenuText);
    FCache = std::make_unique<TBitmap>();
    FNotesFont = MenuFont(-2, 0x808080);
    FButtonAppearance = std::make_unique<TButtonAppearance>();
}

TCustomKvxMenuStyler::~TCustomKvxMenuStyler() {
    // The attached menu hears of it while the appearance objects still exist.
    BeforeDestruction();
}

void TCustomKvxMenuStyler::AttachMenu(IKvxMenu* Value) {
    if (FMenu && FMenu != Value)
        FMenu->GetMenu()->RemoveFreeNotification(this);
    FMenu = Value;
    if (FMenu)
        FMenu->GetMenu()->FreeNotification(this);
    FBackground->SetMenu(Value);
    FIconBar->SetMenu(Value);
    FSelectedItem->SetMenu(Value);
    FRootItem->SetMenu(Value);
    FGlyphs->SetMenu(Value);
    FSideBar->SetMenu(Value);
    FSeparator->SetMenu(Value);
    RefreshKvxMenu(FMenu, false, false);
}

void TCustomKvxMenuStyler::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && FMenu && AComponent == FMenu->GetMenu())
        AttachMenu(nullptr);
}

void TCustomKvxMenuStyler::SetSideBar(TSideBar* Value) {
    FSideBar->Assign(Value);
    RefreshKvxMenu(FMenu, true, false);
}
void TCustomKvxMenuStyler::SetBackground(TBackground* Value) {
    FBackground->Assign(Value);
    RefreshKvxMenu(FMenu, false, false);
}
void TCustomKvxMenuStyler::SetIconBar(TIconBar* Value) {
    FIconBar->Assign(Value);
    RefreshKvxMenu(FMenu, false, false);
}
void TCustomKvxMenuStyler::SetSelectedItem(TSelectedItem* Value) {
    FSelectedItem->Assign(Value);
    RefreshKvxMenu(FMenu, false, false);
}
void TCustomKvxMenuStyler::SetRootItem(TRootItem* Value) {
    FRootItem->Assign(Value);
    RefreshKvxMenu(FMenu, false, false);
}
void TCustomKvxMenuStyler::SetGlyphs(TMenuGlyphs* Value) {
    FGlyphs->Assign(Value);
    RefreshKvxMenu(FMenu, false, false);
}
void TCustomKvxMenuStyler::SetSeparator(TSeparator* Value) {
    FSeparator->Assign(Value);
    RefreshKvxMenu(FMenu, false, false);
}
void TCustomKvxMenuStyler::SetFont(TFont* Value) {
    FFont->Assign(Value);
    RefreshKvxMenu(FMenu, false, true);
}
void TCustomKvxMenuStyler::SetNotesFont(TFont* Value) {
    FNotesFont->Assign(Value);
    RefreshKvxMenu(FMenu, false, true);
}
void TCustomKvxMenuStyler::SetUseSystemFont(bool Value) {
    FUseSystemFont = Value;
    RefreshKvxMenu(FMenu, false, true);
}
void TCustomKvxMenuStyler::SetAntiAlias(TAntiAlias Value) {
    FAntiAlias = Value;
    RefreshKvxMenu(FMenu, false, true);
}
void TCustomKvxMenuStyler::SetButtonAppearance(TButtonAppearance* Value) {
    FButtonAppearance->Assign(Value);
}

void TCustomKvxMenuStyler::Assign(TPersistent* Source) {
    // Only the plain designer styler is copied; a styler with colour sets of its own is refused.
    if (Source && Source->ClassType().InheritsFrom(TKvxMenuStyler::StaticClass())) {
        auto* s = static_cast<TCustomKvxMenuStyler*>(Source);
        SetBackground(s->Background());
        SetIconBar(s->IconBar());
        SetSelectedItem(s->SelectedItem());
        SetRootItem(s->RootItem());
        SetGlyphs(s->Glyphs());
        SetSideBar(s->SideBar());
        SetSeparator(s->Separator());
        SetFont(s->Font());
        SetUseSystemFont(s->UseSystemFont());
        return;
    }
    TComponent::Assign(Source);
}

PLAT_CLASS_INFO_CREATABLE(TKvxMenuStyler, TCustomKvxMenuStyler)
PLAT_PROPERTIES(TKvxMenuStyler) {
    PublishMenuStylerProperties(props);
}

} // namespace ui
