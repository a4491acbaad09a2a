#include "ui/controls/KvxSplitter.h"

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Messages.h"
#include "ui/drawing/KvxGradient.h"
#include "ui/drawing/KvxVersion.h"

using namespace plat;
using namespace ui::kvxsplitter;

namespace ui {

PLAT_CLASS_INFO(TSplitterAppearance, TPersistent)
PLAT_CLASS_INFO(TKvxCustomSplitter, TSplitter)
PLAT_CLASS_INFO_CREATABLE(TKvxSplitter, TKvxCustomSplitter)

namespace {

struct TRegistrar {
    TRegistrar() { RegisterClass(TKvxSplitter::StaticClass()); }
} registrar;

// The grip runs 36 pixels along the bar; its start centres it (and goes negative on bars under 34).
constexpr int kGripLength = 36;
constexpr int kGripDots = 9;
constexpr TColor kGripGray = 0xA5A5A5;

} // namespace

PLAT_PROPERTIES(TSplitterAppearance) {
    props.Color("Color", &TSplitterAppearance::Color, &TSplitterAppearance::SetColor, 0xFFFFFF);
    props.Color("ColorTo", &TSplitterAppearance::ColorTo, &TSplitterAppearance::SetColorTo, 0xC0C0C0);
    props.Enum("Direction", &TSplitterAppearance::Direction, &TSplitterAppearance::SetDirection,
               kGradientDirectionNames, gdHorizontal);
    props.Color("BorderColor", &TSplitterAppearance::BorderColor, &TSplitterAppearance::SetBorderColor,
                clNone);
    props.Color("ColorHotTo", &TSplitterAppearance::ColorHotTo, &TSplitterAppearance::SetColorHotTo,
                0x808080);
    props.Color("ColorHot", &TSplitterAppearance::ColorHot, &TSplitterAppearance::SetColorHot, 0xFFFFFF);
    props.Color("BorderColorHot", &TSplitterAppearance::BorderColorHot,
                &TSplitterAppearance::SetBorderColorHot, clNone);
    props.Enum("DirectionType", &TSplitterAppearance::DirectionType, &TSplitterAppearance::SetDirectionType,
               kDirectionTypeNames, dtAuto);
}

void TSplitterAppearance::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TSplitterAppearance*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FBorderColor = src->FBorderColor;
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FBorderColorHot = src->FBorderColorHot;
    FColorHot = src->FColorHot;
    FColorHotTo = src->FColorHotTo;
    FDirection = src->FDirection;
    FSteps = src->FSteps;
}

PLAT_PROPERTIES(TKvxCustomSplitter) {
    props.Object("Appearance", &TKvxCustomSplitter::Appearance, &TKvxCustomSplitter::SetAppearance);
    props.Integer("DefaultSize", &TKvxCustomSplitter::DefaultSize, &TKvxCustomSplitter::SetDefaultSize, 0);
    props.Object("Glyph", &TKvxCustomSplitter::Glyph, &TKvxCustomSplitter::SetGlyph);
    props.Enum("GripStyle", &TKvxCustomSplitter::GripStyle, &TKvxCustomSplitter::SetGripStyle,
               kSplitterGripStyleNames, sgDots);
    props.String("Version", &TKvxCustomSplitter::Version, &TKvxCustomSplitter::SetVersion, "1.1.1.0");
    props.Boolean("ShowHint", &TKvxCustomSplitter::ShowHint, &TKvxCustomSplitter::SetShowHint);
    props.Event("OnClick", &TKvxCustomSplitter::OnClick);
    props.Event("OnDblClick", &TKvxCustomSplitter::OnDblClick);
}

TKvxCustomSplitter::TKvxCustomSplitter(TComponent* AOwner)
    : TSplitter(AOwner), FAppearance(std::make_unique<TSplitterAppearance>()),
      FGlyph(std::make_unique<TBitmap>()) {
    FAppearance->OnChange = [this](TObject* s) { AppearanceChanged(s); };
    FGlyph->OnChange = [this](TObject* s) { AppearanceChanged(s); };
}

TKvxCustomSplitter::~TKvxCustomSplitter() = default;

uint32_t TKvxCustomSplitter::PackedVersion() const {
    return PackVersion(1, 1, 1, 0);
}

std::string TKvxCustomSplitter::Version() const {
    return VersionText(PackedVersion());
}

void TKvxCustomSplitter::SetAppearance(TSplitterAppearance* Value) {
    FAppearance->Assign(Value);
    Invalidate();
}

void TKvxCustomSplitter::SetGlyph(TBitmap* Value) {
    FGlyph->Assign(Value);
    Invalidate();
}

void TKvxCustomSplitter::SetGripStyle(TSplitterGripStyle Value) {
    if (FGripStyle == Value)
        return;
    FGripStyle = Value;
    Invalidate();
}

void TKvxCustomSplitter::Paint() {
    TCanvas& c = *Canvas();
    TRect r = ClientRect();
    const TSplitterAppearance& a = *FAppearance;
    bool across = Align() == alTop || Align() == alBottom;
    bool along = Align() == alLeft || Align() == alRight;
    bool horizontal = false; // colour changing from left to right
    switch (a.DirectionType()) {
    case dtFixed:
        horizontal = a.Direction() == gdHorizontal;
        break;
    case dtAuto:
        horizontal = along;
        break;
    case dtAutoInvers:
        horizontal = across;
        break;
    }
    GradientFill(c, FHot ? a.ColorHot() : a.Color(), FHot ? a.ColorHotTo() : a.ColorTo(), horizontal, r,
                 a.Steps(), gbBar);
    if (!FGlyph->Empty()) {
        FGlyph->SetTransparent(true);
        c.Draw(r.Left + 1 + (r.Width() - FGlyph->Width()) / 2,
               r.Top + 1 + (r.Height() - FGlyph->Height()) / 2, FGlyph.get());
    } else {
        DrawGrip(c, r);
    }
    TColor border = FHot ? a.BorderColorHot() : a.BorderColor();
    if (border != clNone) {
        c.Brush()->SetStyle(bsClear);
        c.Pen()->SetColor(border);
        c.Rectangle(r);
        c.Brush()->SetStyle(bsSolid);
    }
}

void TKvxCustomSplitter::DrawGrip(TCanvas& c, const TRect& r) {
    bool topBottom = Align() == alTop || Align() == alBottom;
    if (!topBottom && Align() != alLeft && Align() != alRight)
        return;
    int length = topBottom ? Width() : Height();
    int s = (length - 34) / 2 + 1;
    // Positions along the bar become x on a top or bottom bar and y on a side bar.
    auto at = [topBottom](int along, int across) {
        return topBottom ? TPoint(along, across) : TPoint(across, along);
    };
    auto square = [&](int along, int across, int dAlong, int dAcross, TColor color) {
        TPoint p = at(along + dAlong, across + dAcross);
        c.Brush()->SetColor(color);
        c.FillRect(TRect(p.X, p.Y, p.X + 2, p.Y + 2));
    };
    auto line = [&](int a1, int c1, int a2, int c2) {
        TPoint p1 = at(a1, c1), p2 = at(a2, c2);
        c.MoveTo(p1.X, p1.Y);
        c.LineTo(p2.X, p2.Y);
    };
    int half = topBottom ? (r.Bottom - r.Top) / 2 : (r.Right - r.Left) / 2;
    int origin = topBottom ? r.Top : r.Left;
    c.Brush()->SetStyle(bsSolid);
    switch (FGripStyle) {
    case sgDots: {
        int mid = origin + half;
        for (int i = 0; i < kGripDots; ++i)
            square(s + 4 * i, mid, 0, 0, clWhite);
        for (int i = 0; i < kGripDots; ++i)
            square(s + 4 * i, mid, -1, -1, clBlack);
        for (int i = 0; i < kGripDots; ++i) {
            TPoint p = at(s + 4 * i, mid);
            c.SetPixels(p.X, p.Y, FAppearance->ColorTo());
        }
        break;
    }
    case sgSingleLine: {
        int mid = topBottom ? origin + half : origin - 1 + half;
        c.Pen()->SetColor(clWhite);
        if (topBottom) {
            line(s - 1, mid + 1, s - 1, mid - 1);
            c.LineTo(s + kGripLength + 1, mid - 1);
            c.Pen()->SetColor(clBtnShadow);
            c.LineTo(s + kGripLength + 1, mid + 1);
            c.LineTo(s, mid + 1);
        } else {
            line(s - 1, mid - 1, s + kGripLength, mid - 1);
            TPoint p = at(s + kGripLength, mid + 1);
            c.LineTo(p.X, p.Y);
            c.Pen()->SetColor(clBtnShadow);
            p = at(s, mid + 1);
            c.LineTo(p.X, p.Y);
            p = at(s, mid - 1);
            c.LineTo(p.X, p.Y);
        }
        break;
    }
    case sgDoubleLine: {
        int mid = topBottom ? origin + half : origin - 1 + half;
        c.Pen()->SetColor(kGripGray);
        line(s, mid - 1, s + kGripLength, mid - 1);
        line(s, mid + 1, s + kGripLength, mid + 1);
        break;
    }
    case sgFlatDots: {
        int mid = origin - 1 + half;
        for (int i = 0; i < kGripDots; ++i)
            square(s + 4 * i, mid, 0, 0, kGripGray);
        break;
    }
    case sgNone:
        break;
    }
}

void TKvxCustomSplitter::DblClick() {
    TSplitter::DblClick();
    if (FDefaultSize < 1)
        return;
    TControl* neighbour = FindControl();
    int size = FDefaultSize;
    if (!neighbour || !CanResize(size))
        return;
    TWinControl* parent = Parent();
    switch (Align()) {
    case alTop:
        neighbour->SetHeight(FDefaultSize);
        break;
    case alLeft:
        neighbour->SetWidth(FDefaultSize);
        break;
    case alBottom:
    case alRight: {
        // The far-side neighbour keeps its outer edge: it moves and shrinks (or grows) in one step.
        parent->DisableAlign();
        ScopeGuard enableAlign([parent] { parent->EnableAlign(); });
        if (Align() == alBottom)
            neighbour->SetBounds(neighbour->Left(), neighbour->Top() + neighbour->Height() - FDefaultSize,
                                 neighbour->Width(), FDefaultSize);
        else
            neighbour->SetBounds(neighbour->Left() + neighbour->Width() - FDefaultSize, neighbour->Top(),
                                 FDefaultSize, neighbour->Height());
        break;
    }
    default:
        break;
    }
}

void TKvxCustomSplitter::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSEENTER:
        if (!(ComponentState() & csDesigning) && !FHot) {
            FHot = true;
            Invalidate();
        }
        break;
    case CM_MOUSELEAVE:
        if (FHot) {
            FHot = false;
            Invalidate();
        }
        break;
    default:
        break;
    }
    TSplitter::WndProc(Message);
}

void TKvxCustomSplitter::ApplyStyle(TKVXStyle Style) {
    struct TLook {
        TColor Color, ColorTo, ColorHot, ColorHotTo;
    };
    constexpr TColor hot = 0xD3F8FF, hotTo = 0x76C1FF;
    TLook look{};
    switch (Style) {
    case tsOffice2003Blue:
        look = {0xFDEADA, 0xE4AE88, hot, hotTo};
        break;
    case tsOffice2003Silver:
        look = {0xECE2E1, 0xB39698, hot, hotTo};
        break;
    case tsOffice2003Olive:
        look = {0xCFF0EA, 0x8CC0B1, hot, hotTo};
        break;
    case tsOffice2003Classic:
    case tsWindowsXP:
        look = {clBtnFace, clNone, 0xD2BDB6, clNone};
        break;
    case tsOffice2007Luna:
        look = {0xFAF1E9, 0xEDD8C7, hot, hotTo};
        break;
    case tsOffice2007Obsidian:
        look = {0xCFC6C1, 0xC5BBB4, hot, hotTo};
        break;
    case tsWhidbey:
        look = {0xFFFFFF, 0xE3F0F2, hot, hotTo};
        break;
    case tsOffice2007Silver:
        look = {0xF9F5F3, 0xE7DCD5, hot, hotTo};
        break;
    case tsCustom:
        return;
    }
    FAppearance->SetColor(look.Color);
    FAppearance->SetColorTo(look.ColorTo);
    FAppearance->SetColorHot(look.ColorHot);
    FAppearance->SetColorHotTo(look.ColorHotTo);
    FAppearance->SetDirectionType(dtAuto);
}

} // namespace ui
