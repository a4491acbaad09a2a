// How a toolbar paints itself: caption strip, background, grip, right handle, corners blended into the
// dock panel and border; and the hot and pressed state of the right handle.
#include <algorithm>

#include "platform/gfx/GdiTypes.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Timer.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarDraw.h"

namespace ui {

using namespace toolbar;
using plat::TCanvas;
using plat::TColor;
using plat::TRect;

namespace {

// Steps bands from Color to ColorTo; solid when one of them is clNone, nothing when both are.
void FillGradient(TCanvas* C, const TRect& R, TColor Color, TColor ColorTo, int Steps, bool Horizontal) {
    if (Color == plat::clNone && ColorTo == plat::clNone)
        return;
    if (Color == plat::clNone || ColorTo == plat::clNone) {
        C->Brush()->SetStyle(plat::bsSolid);
        C->Brush()->SetColor(Color == plat::clNone ? ColorTo : Color);
        C->FillRect(R);
        return;
    }
    DrawBandGradient(*C, Color, ColorTo, Steps, R, Horizontal);
}

void Segment(TCanvas* C, int x1, int y1, int x2, int y2) {
    C->MoveTo(x1, y1);
    C->LineTo(x2, y2);
}

} // namespace

TRect TKvxCustomToolBar::CaptionRect() const {
    const int W = Width(), H = Height(), CH = FCaptionHeight;
    if (Floating())
        return TRect(0, 0, W, CH);
    if (!FShowCaption)
        return TRect();
    if (Horizontal())
        return FCaptionPosition == cpTop ? TRect(0, 0, W, CH) : TRect(0, H - CH, W, H);
    return FCaptionPosition == cpTop ? TRect(0, 0, CH, H) : TRect(W - CH, 0, W, H);
}

TRect TKvxCustomToolBar::ContentRect() const {
    TRect r = ClientRect();
    const TRect cap = CaptionRect();
    if (cap.IsEmpty())
        return r;
    if (Floating() || (Horizontal() && FCaptionPosition == cpTop))
        r.Top = cap.Bottom;
    else if (Horizontal())
        r.Bottom = cap.Top;
    else if (FCaptionPosition == cpTop)
        r.Left = cap.Right;
    else
        r.Right = cap.Left;
    return r;
}

TRect TKvxCustomToolBar::GripRect() const {
    if (!GripDrawn())
        return TRect();
    return Horizontal() ? TRect(1, 1, FGripSize, Height()) : TRect(1, 1, Width(), FGripSize);
}

TRect TKvxCustomToolBar::RightHandleRect() const {
    if (!FShowRightHandle || Floating() || FFullSize)
        return TRect();
    const int W = Width(), H = Height();
    return Horizontal() ? TRect(W - FRightHandleSize, 0, W, H) : TRect(0, H - FRightHandleSize, W, H);
}

bool TKvxCustomToolBar::PanelPixel(int X, int Y, TColor& Color) const {
    if (!Docked())
        return false;
    plat::TBitmap* b = FDockPanel->BackgroundBitmap();
    // A toolbar at the panel's edge asks for pixels outside it; they keep the toolbar's own colour.
    if (X < 0 || Y < 0 || X >= b->Width() || Y >= b->Height())
        return false;
    Color = b->Canvas()->Pixels(X, Y);
    return true;
}

void TKvxCustomToolBar::Paint() {
    TCanvas* C = Canvas();
    const TRect clip = C->ClipRect();
    FPaintedArea += static_cast<int64_t>(clip.Width()) * clip.Height();
    if (!FBackground)
        FBackground = std::make_unique<plat::TBitmap>();
    // The handle at rest (with or without its chevron) belongs to the kept picture; hot or pressed it is
    // painted over it.
    const bool chevron =
        Horizontal() ? Constraints()->MaxWidth() > Width() : Constraints()->MaxHeight() > Height();
    const bool handleAtRest = !FRightHandleHot && !FRightHandleDown;
    if (!FBackgroundValid || FBackground->Width() != Width() || FBackground->Height() != Height() ||
        chevron != FBackgroundChevron) {
        FBackgroundChevron = chevron;
        FBackground->SetSize(Width(), Height());
        TCanvas* B = FBackground->Canvas();
        PaintCaption(B);
        PaintBackground(B);
        if (FCurrentStyler->ShowFrameBevel() && !Floating()) {
            const int W = Width(), H = Height();
            auto line = [&](TColor c, int x1, int y1, int x2, int y2, int x3, int y3) {
                B->Pen()->SetColor(c);
                B->MoveTo(x1, y1);
                B->LineTo(x2, y2);
                B->LineTo(x3, y3);
            };
            if (FCurrentStyler->FrameBevel() == 1) {
                line(plat::clBtnShadow, 1, H, 1, 1, W, 1);
                line(plat::clWhite, W - 1, 1, W - 1, H - 1, 1, H - 1);
            } else if (FCurrentStyler->FrameBevel() == 2 || FCurrentStyler->FrameBevel() == 3) {
                line(plat::clWhite, 0, H, 0, 0, W, 0);
                line(plat::clBtnShadow, W - 1, 0, W - 1, H - 1, 0, H - 1);
            }
        }
        PaintGrip(B);
        PaintRightHandle(B, false, false);
        FBackgroundValid = true;
    }
    C->Draw(0, 0, FBackground.get());
    if (!handleAtRest)
        PaintRightHandle(C, FRightHandleHot, FRightHandleDown);
    DrawMDIButtonsOn(C);
    if (Floating())
        PaintFloatingButtons(C);
    PaintCaptionOption(C);
    const bool rounded = FCurrentStyler->RoundedFrame() && FCurrentStyler->FrameBevel() == 0 && !FFullSize;
    if (rounded)
        PaintRoundedCorners(C);
    const TColor border = FCurrentStyler->BorderColor();
    if (border != plat::clNone && !Floating()) {
        C->Brush()->SetStyle(plat::bsClear);
        C->Pen()->SetColor(border);
        const TRect r = ContentRect();
        if (rounded)
            C->RoundRect(r.Left, r.Top, r.Right, r.Bottom, 6, 6);
        else
            C->Rectangle(r);
        C->Brush()->SetStyle(plat::bsSolid);
    }
}

void TKvxCustomToolBar::PaintCaption(TCanvas* C) {
    if (Floating()) {
        PaintFloatingCaption(C);
        return;
    }
    if (!FShowCaption)
        return;
    const TRect strip = CaptionRect();
    const TCaptionAppearance* a = FCurrentStyler->CaptionAppearance();
    FillGradient(C, strip, a->CaptionColor(), a->CaptionColorTo(), 80, false);
    if (a->CaptionBorderColor() != plat::clNone) {
        C->Brush()->SetColor(a->CaptionBorderColor());
        C->FrameRect(strip);
    }
    const std::string caption = Caption();
    if (caption.empty())
        return;
    if (!Horizontal()) {
        PaintVerticalCaption(C, strip, caption);
        return;
    }
    TRect text = strip;
    text.Left += 3 + (GripDrawn() ? FGripSize : 0);
    if (!RightHandleRect().IsEmpty())
        text.Right -= FRightHandleSize + 2;
    if (const TRect option = CaptionOptionRect(); !option.IsEmpty())
        text.Right = option.Left;
    C->Font()->Assign(FCurrentStyler->CaptionFont());
    C->Font()->SetColor(a->CaptionTextColor());
    C->Brush()->SetStyle(plat::bsClear);
    const uint32_t align = FCaptionAlignment == plat::taRightJustify ? plat::DT_RIGHT
                           : FCaptionAlignment == plat::taCenter     ? plat::DT_CENTER
                                                                     : plat::DT_LEFT;
    C->TextRect(text, caption, plat::DT_SINGLELINE | plat::DT_VCENTER | plat::DT_END_ELLIPSIS | align);
    C->Brush()->SetStyle(plat::bsSolid);
}

void TKvxCustomToolBar::PaintVerticalCaption(TCanvas* C, const TRect& Strip, const std::string& Caption) {
    TRect r = Strip;
    r.Top += 3 + (GripDrawn() ? FGripSize : 0);
    if (!RightHandleRect().IsEmpty())
        r.Bottom -= FRightHandleSize + 2;
    C->Font()->Assign(FCurrentStyler->CaptionFont());
    C->Font()->SetColor(FCurrentStyler->CaptionAppearance()->CaptionTextColor());
    // Measured upright: the rotated font's width runs along the strip.
    const int tw = C->TextWidth(plat::StripHotkey(Caption));
    // On the left the text reads upwards, on the right downwards, its top towards the dock's edge.
    const bool left = FPosition == daLeft;
    plat::TPoint p;
    switch (FCaptionAlignment) {
    case plat::taRightJustify:
        p = left ? plat::TPoint(r.Left, r.Top + tw + 2) : plat::TPoint(r.Right, r.Bottom - tw - 5);
        break;
    case plat::taCenter:
        p = left ? plat::TPoint(r.Left, r.Bottom - (r.Height() - tw) / 2)
                 : plat::TPoint(r.Right, r.Top + (r.Height() - tw) / 2);
        break;
    default:
        p = left ? plat::TPoint(r.Left, r.Bottom - 2) : plat::TPoint(r.Right, r.Top);
        break;
    }
    C->Font()->SetOrientation(left ? 900 : 2700);
    C->Brush()->SetStyle(plat::bsClear);
    // Text running past the strip is covered by the background painted next.
    DrawHotkeyText(*C, Caption, p);
    C->Brush()->SetStyle(plat::bsSolid);
    C->Font()->SetOrientation(0);
}

TRect TKvxCustomToolBar::FloatingCloseRect() const {
    if (!Floating() || !FShowClose)
        return TRect();
    const TRect strip = CaptionRect();
    return TRect(strip.Right - FCaptionHeight - 1, strip.Top + 1, strip.Right - 1, strip.Bottom - 1);
}

TRect TKvxCustomToolBar::FloatingOptionRect() const {
    if (!Floating() || !FShowOptionIndicator)
        return TRect();
    const TRect close = FloatingCloseRect();
    if (close.IsEmpty()) {
        const TRect strip = CaptionRect();
        return TRect(strip.Right - FCaptionHeight - 1, strip.Top + 1, strip.Right - 1, strip.Bottom - 1);
    }
    return TRect(close.Left - FCaptionHeight - 2, close.Top, close.Left - 2, close.Bottom);
}

void TKvxCustomToolBar::SetShowClose(bool Value) {
    if (Value == FShowClose)
        return;
    FShowClose = Value;
    BackgroundChanged();
    Invalidate();
}

void TKvxCustomToolBar::PaintFloatingCaption(TCanvas* C) {
    const TRect strip = CaptionRect();
    const TCaptionAppearance* a = FCurrentStyler->CaptionAppearance();
    FillGradient(C, strip, a->CaptionColor(), a->CaptionColorTo(), 80, false);
    if (a->CaptionBorderColor() != plat::clNone) {
        C->Brush()->SetColor(a->CaptionBorderColor());
        C->FrameRect(strip);
    }
    const std::string caption = Caption();
    if (caption.empty())
        return;
    TRect text = strip;
    text.Left += 3;
    if (const TRect option = FloatingOptionRect(); !option.IsEmpty())
        text.Right = option.Left;
    else if (const TRect close = FloatingCloseRect(); !close.IsEmpty())
        text.Right = close.Left;
    C->Font()->Assign(FCurrentStyler->CaptionFont());
    C->Font()->SetColor(a->CaptionTextColor());
    C->Brush()->SetStyle(plat::bsClear);
    C->TextRect(text, caption, plat::DT_SINGLELINE | plat::DT_VCENTER | plat::DT_END_ELLIPSIS);
    C->Brush()->SetStyle(plat::bsSolid);
}

void TKvxCustomToolBar::PaintFloatingButtons(TCanvas* C) {
    const TCaptionAppearance* a = FCurrentStyler->CaptionAppearance();
    const TRootItem* root = nullptr;
    if (TCustomKvxMenuStyler* menus = FCurrentStyler->CurrentMenuStyler())
        root = menus->RootItem();
    // Returns the colour the glyph is drawn in.
    auto face = [&](const TRect& r, bool hot, bool down) {
        TColor fill = a->CaptionColor(), pen = a->CaptionColor(), glyph = plat::clWhite;
        if (down && root) {
            fill = root->Color();
            pen = plat::clBlack;
        } else if (hot && root) {
            fill = root->HoverColor();
            pen = glyph = plat::clBlack;
        }
        C->Brush()->SetStyle(plat::bsSolid);
        C->Brush()->SetColor(fill);
        C->Pen()->SetColor(pen);
        C->Pen()->SetWidth(1);
        C->Rectangle(r);
        return glyph;
    };
    if (const TRect r = FloatingCloseRect(); !r.IsEmpty()) {
        C->Pen()->SetColor(face(r, FFloatCloseHot, FFloatCloseDown));
        const int L = r.Left + 4, T = r.Top + 4;
        // Two diagonals, each two pixels wide.
        const int lines[4][4] = {{L, T + 7, L + 8, T},
                                 {L + 1, T + 7, L + 7, T},
                                 {L, T + 1, L + 8, T + 8},
                                 {L + 1, T + 1, L + 7, T + 8}};
        for (const auto& l : lines) {
            C->MoveTo(l[0], l[1]);
            C->LineTo(l[2], l[3]);
        }
    }
    if (const TRect r = FloatingOptionRect(); !r.IsEmpty()) {
        C->Pen()->SetColor(face(r, FFloatOptionHot, FFloatOptionDown));
        for (int i = 0; i < 4; ++i) {
            C->MoveTo(r.Left + 5 + i, r.Bottom - 10 + i);
            C->LineTo(r.Left + 12 - i, r.Bottom - 10 + i);
        }
    }
}

void TKvxCustomToolBar::PaintBackground(TCanvas* C) {
    TRect r = ContentRect();
    ++r.Right;
    ++r.Bottom;
    if (FFullSize) {
        const TGradientBackground* d = FCurrentStyler->DockColor();
        if (Floating())
            FillGradient(C, r, d->Color(), plat::clNone, 1, false);
        else
            FillGradient(C, r, d->Color(), d->ColorTo(), 256, d->Direction() == toolbar::gdHorizontal);
    } else {
        const TVistaGradientBackground* g = FCurrentStyler->Color();
        bool horizontal = g->Direction() == toolbar::gdHorizontal;
        if (!Horizontal() && !FParentStyler)
            horizontal = !horizontal;
        FillGradient(C, r, g->Color(), g->ColorTo(), g->Steps(), horizontal);
    }
    plat::TBitmap* picture = FCurrentStyler->BackGround();
    if (picture->Empty())
        return;
    const int W = Width(), H = Height(), w = picture->Width(), h = picture->Height();
    switch (FCurrentStyler->BackGroundDisplay()) {
    case bdCenter:
        C->Draw((W - w) / 2, (H - h) / 2, picture);
        break;
    case bdStretch:
        C->StretchDraw(TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2), picture);
        break;
    case bdTile:
        for (int y = 1; y < H - 2; y += h)
            for (int x = 1; x < W - 2; x += w)
                C->Draw(x, y, picture);
        break;
    }
}

void TKvxCustomToolBar::PaintGrip(TCanvas* C) {
    const TRect g = GripRect();
    if (g.IsEmpty())
        return;
    if (!FCurrentStyler->DragGripImage()->Empty()) {
        C->StretchDraw(g, FCurrentStyler->DragGripImage());
        return;
    }
    const bool horizontal = Horizontal();
    const int end = horizontal ? g.Bottom : g.Right;
    // Drawn for a horizontal toolbar; a vertical one swaps the axes.
    auto box = [&](TColor c, int across, int along, int size) {
        C->Brush()->SetColor(c);
        C->FillRect(horizontal ? plat::Bounds(across, along, size, size)
                               : plat::Bounds(along, across, size, size));
    };
    auto line = [&](TColor c, int across1, int along1, int across2, int along2) {
        C->Pen()->SetColor(c);
        if (horizontal)
            Segment(C, across1, along1, across2, along2);
        else
            Segment(C, along1, across1, along2, across2);
    };
    switch (FCurrentStyler->DragGripStyle()) {
    case dsDots: {
        int room = end - 8;
        if (room < 0)
            room = end - 5;
        if (room < 4)
            break;
        for (int k = 0, n = room / 4; k < n; ++k) {
            const int y = 5 + 4 * k;
            box(plat::clWhite, 5, y + 1, 2);
            box(plat::clBtnShadow, 4, y, 2);
        }
        break;
    }
    case dsSingleLine:
    case dsDoubleLine:
        for (int x :
             FCurrentStyler->DragGripStyle() == dsSingleLine ? std::vector<int>{5} : std::vector<int>{3, 6}) {
            line(plat::clWhite, x, 4, x, end - 4);
            line(plat::clBtnShadow, x + 1, 4, x + 1, end - 4);
        }
        break;
    case dsFlatDots:
        for (int k = 0, n = (end - 8) / 2; k < n; ++k)
            line(0xA5A5A5, 3, 2 * k + 5, 6, 2 * k + 5);
        break;
    case dsNone:
        break;
    }
}

void TKvxCustomToolBar::PaintRightHandle(TCanvas* C, bool Hot, bool Down) {
    TRect r = RightHandleRect();
    if (r.IsEmpty())
        return;
    const bool horizontal = Horizontal();
    if (horizontal) {
        ++r.Right;
        ++r.Bottom;
    }
    const bool rounded = FCurrentStyler->RoundedFrame();
    if (!rounded)
        r = horizontal ? TRect(r.Left - 1, r.Top + 1, r.Right - 2, r.Bottom - 2)
                       : TRect(r.Left + 1, r.Top, r.Right - 1, r.Bottom - 1);
    const toolbar::TButtonAppearance* ba = FCurrentStyler->ButtonAppearance();
    TColor from = FCurrentStyler->RightHandleColor(), to = FCurrentStyler->RightHandleColorTo();
    TColor frame = ba->BorderColor();
    if (Down) {
        from = FCurrentStyler->RightHandleColorDown();
        to = FCurrentStyler->RightHandleColorDownTo();
        frame = ba->BorderDownColor();
    } else if (Hot) {
        from = FCurrentStyler->RightHandleColorHot();
        to = FCurrentStyler->RightHandleColorHotTo();
        frame = ba->BorderHotColor();
    }
    if (!FCurrentStyler->RightHandleImage()->Empty()) {
        C->StretchDraw(r, FCurrentStyler->RightHandleImage());
        return;
    }
    TRect body = r;
    if (horizontal)
        body.Left += 3;
    else
        body.Top += 3;
    FillGradient(C, body, from, to, 16, !horizontal);
    const bool chevron =
        horizontal ? Constraints()->MaxWidth() > Width() : Constraints()->MaxHeight() > Height();
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    if (rounded) {
        auto seg = [&](TColor c, int x1, int y1, int x2, int y2) {
            C->Pen()->SetColor(c);
            Segment(C, x1, y1, x2, y2);
        };
        if (horizontal) {
            if (chevron) {
                seg(plat::clBlack, R - 6, T + 5, R - 6, T + 8);
                seg(plat::clBlack, R - 6, T + 6, R - 4, T + 6);
                seg(plat::clBlack, R - 10, T + 5, R - 10, T + 8);
                seg(plat::clBlack, R - 10, T + 6, R - 8, T + 6);
                seg(plat::clWhite, R - 5, T + 7, R - 5, T + 9);
                seg(plat::clWhite, R - 5, T + 7, R - 3, T + 7);
                seg(plat::clWhite, R - 9, T + 7, R - 9, T + 9);
                seg(plat::clWhite, R - 9, T + 7, R - 7, T + 7);
            }
            seg(plat::clBlack, R - 9, B - 11, R - 4, B - 11);
            seg(plat::clBlack, R - 9, B - 8, R - 4, B - 8);
            seg(plat::clBlack, R - 8, B - 7, R - 5, B - 7);
            C->SetPixels(R - 7, B - 6, plat::clBlack);
            seg(plat::clWhite, R - 8, B - 10, R - 3, B - 10);
            seg(plat::clWhite, R - 5, B - 7, R - 3, B - 7);
            seg(plat::clWhite, R - 6, B - 6, R - 4, B - 6);
            C->SetPixels(R - 6, B - 5, plat::clWhite);
        } else {
            if (chevron) {
                seg(plat::clBlack, L + 5, T + 5, L + 8, T + 5);
                seg(plat::clBlack, L + 6, T + 5, L + 6, T + 7);
                seg(plat::clBlack, L + 5, T + 9, L + 8, T + 9);
                seg(plat::clBlack, L + 6, T + 9, L + 6, T + 11);
                seg(plat::clWhite, L + 7, T + 6, L + 9, T + 6);
                seg(plat::clWhite, L + 7, T + 6, L + 7, T + 8);
                seg(plat::clWhite, L + 7, T + 10, L + 9, T + 10);
                seg(plat::clWhite, L + 7, T + 10, L + 7, T + 12);
            }
            seg(plat::clBlack, R - 9, T + 5, R - 9, T + 10);
            seg(plat::clBlack, R - 6, T + 5, R - 6, T + 10);
            seg(plat::clBlack, R - 5, T + 6, R - 5, T + 9);
            C->SetPixels(R - 4, T + 7, plat::clBlack);
            seg(plat::clWhite, R - 8, T + 6, R - 8, T + 11);
            seg(plat::clWhite, R - 5, T + 9, R - 5, T + 11);
            seg(plat::clWhite, R - 4, T + 8, R - 2, T + 8);
            C->SetPixels(R - 4, T + 9, plat::clWhite);
        }
        return;
    }
    if (frame != plat::clNone) {
        C->Brush()->SetColor(frame);
        C->FrameRect(horizontal ? TRect(L + 3, T, R - 1, B - 1) : TRect(L, T + 3, R, B));
    }
    C->Pen()->SetColor(plat::clBlack);
    auto poly = [&](int x1, int y1, int x2, int y2, int x3, int y3) {
        C->MoveTo(x1, y1);
        C->LineTo(x2, y2);
        C->LineTo(x3, y3);
    };
    if (horizontal) {
        if (chevron) {
            poly(L + 8, T + 3, L + 11, T + 6, L + 7, T + 10);
            poly(L + 6, T + 3, L + 9, T + 6, L + 5, T + 10);
        }
        Segment(C, R - 9, B - 9, R - 4, B - 9);
        Segment(C, R - 9, B - 7, R - 4, B - 7);
        Segment(C, R - 8, B - 6, R - 5, B - 6);
        C->SetPixels(R - 7, B - 5, plat::clBlack);
    } else {
        if (chevron) {
            poly(L + 3, T + 6, L + 5, T + 8, L + 8, T + 5);
            poly(L + 3, T + 8, L + 5, T + 10, L + 8, T + 7);
        }
        Segment(C, R - 9, T + 6, R - 9, T + 11);
        Segment(C, R - 6, T + 6, R - 6, T + 11);
        Segment(C, R - 5, T + 7, R - 5, T + 10);
        C->SetPixels(R - 4, T + 8, plat::clBlack);
    }
}

void TKvxCustomToolBar::PaintRoundedCorners(TCanvas* C) {
    if (!Docked())
        return;
    TRect r = ContentRect();
    ++r.Right;
    ++r.Bottom;
    if (FShowCaption && !Floating()) {
        const TRect client = ClientRect();
        if (Horizontal()) {
            if (FCaptionPosition == cpTop)
                r.Top = client.Top;
            else
                r.Bottom = client.Bottom + 1;
        } else if (FCaptionPosition == cpTop) {
            r.Left = client.Left;
        } else {
            r.Right = client.Right;
        }
    }
    const int x0 = r.Left, y0 = r.Top;
    const int x1 = std::min(r.Right, Width()) - 1, y1 = std::min(r.Bottom, Height()) - 1;
    const int L = Left(), T = Top(), W = Width(), H = Height();
    auto put = [&](int x, int y, int px, int py) {
        TColor c;
        if (PanelPixel(px, py, c))
            C->SetPixels(x, y, c);
    };
    put(x0, y0, L - 1, T - 1);
    put(x0 + 1, y0, L + 1, T - 1);
    put(x0, y0 + 1, L - 1, T);
    const bool farCorners = RightHandleRect().IsEmpty() && !FFullSize;
    auto topRight = [&] {
        put(x1, y0, L + W - 1, T);
        put(x1 - 1, y0, L + W - 2, T);
        put(x1, y0 + 1, L + W - 1, T);
    };
    if (Horizontal()) {
        put(x0, y1, L - 1, T + H);
        put(x0 + 1, y1, L - 1, T + H);
        put(x0, y1 - 1, L - 1, T + H);
        if (farCorners)
            topRight();
    } else {
        topRight();
        if (farCorners) {
            put(x0, y1, L + 1, T + H);
            put(x0 + 1, y1, L + 2, T + H);
            put(x0, y1 - 1, L + 1, T + H);
        }
    }
    if (farCorners) {
        put(x1, y1, L + W - 1, T + H);
        put(x1 - 1, y1, L + W - 2, T + H);
        put(x1, y1 - 1, L + W - 1, T + H);
    }
}

// ---- Hot and pressed parts ----

TRect TKvxCustomToolBar::CaptionOptionRect() const {
    if (Floating() || !Horizontal() || !FShowCaption || !FShowOptionIndicator || FShowRightHandle)
        return TRect();
    const TRect strip = CaptionRect();
    return TRect(strip.Right - FCaptionHeight + 1, strip.Top + 2, strip.Right - 1, strip.Bottom - 1);
}

void TKvxCustomToolBar::PaintCaptionOption(TCanvas* C) {
    const TRect r = CaptionOptionRect();
    if (r.IsEmpty())
        return;
    const TGlowButtonAppearance* g = FCurrentStyler->GlowButtonAppearance();
    const TCaptionAppearance* cap = FCurrentStyler->CaptionAppearance();
    struct {
        TColor Color, ColorTo, Mirror, MirrorTo, Border;
        TGDIPGradient Gradient, GradientMirror;
    } down{g->ColorDown(),       g->ColorDownTo(),  g->ColorMirrorDown(),   g->ColorMirrorDownTo(),
           g->BorderColorDown(), g->GradientDown(), g->GradientMirrorDown()},
        hot{g->ColorHot(),       g->ColorHotTo(),  g->ColorMirrorHot(),   g->ColorMirrorHotTo(),
            g->BorderColorHot(), g->GradientHot(), g->GradientMirrorHot()},
        face;
    if (FCaptionOptionDown) {
        face = down;
    } else if (FDownStep < 0 && FDownFade > 0) {
        // Fading out of pressed: from the down colours back to the hot ones.
        face = hot;
        face.Color = BlendColor(down.Color, hot.Color, FDownFade);
        face.ColorTo = BlendColor(down.ColorTo, hot.ColorTo, FDownFade);
        face.Mirror = BlendColor(down.Mirror, hot.Mirror, FDownFade);
        face.MirrorTo = BlendColor(down.MirrorTo, hot.MirrorTo, FDownFade);
    } else if (FCaptionOptionHot) {
        face = hot;
        if (FHotStep != 0) {
            face.Color = BlendColor(hot.Color, cap->CaptionColor(), FHotFade);
            face.ColorTo = BlendColor(hot.ColorTo, cap->CaptionColorTo(), FHotFade);
            face.Mirror = BlendColor(hot.Mirror, cap->CaptionColor(), FHotFade);
            face.MirrorTo = BlendColor(hot.MirrorTo, cap->CaptionColorTo(), FHotFade);
        }
    } else {
        return;
    }
    DrawVistaButtonFace(*C, r, face.Color, face.ColorTo, face.Mirror, face.MirrorTo, face.Border,
                        face.Gradient, face.GradientMirror, "", *Font(), Enabled(), false, FAntiAlias, true);
}

void TKvxCustomToolBar::StartFade(int& Step, int Value) {
    Step = Value;
    if (!FFadeTimer) {
        FFadeTimer = std::make_unique<plat::TTimer>(nullptr);
        FFadeTimer->SetEnabled(false);
        FFadeTimer->SetInterval(30);
        FFadeTimer->SetOnTimer([this](plat::TObject*) { FadeTick(); });
    }
    FFadeTimer->SetEnabled(true);
}

void TKvxCustomToolBar::FadeTick() {
    auto advance = [](int& Fade, int& Step, bool& Flag) {
        if (Step == 0)
            return;
        Fade += Step;
        if (Fade > 100) {
            Fade = 100;
            Step = 0;
        } else if (Fade < 0) {
            Fade = 0;
            Step = 0;
            Flag = false;
        }
    };
    advance(FHotFade, FHotStep, FCaptionOptionHot);
    bool pressedFlag = FCaptionOptionDown;
    advance(FDownFade, FDownStep, pressedFlag);
    FCaptionOptionDown = pressedFlag;
    if (FHotStep == 0 && FDownStep == 0 && FFadeTimer)
        FFadeTimer->SetEnabled(false);
    InvalidatePart(CaptionOptionRect());
}

// A small part changed its state: only its rectangle is painted again.
void TKvxCustomToolBar::InvalidatePart(const TRect& R) {
    if (plat::HWND wnd = WindowHandle(); wnd && !R.IsEmpty())
        plat::InvalidateRect(wnd, &R, false);
}

void TKvxCustomToolBar::MouseMove(plat::TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (Designing())
        return;
    const bool hot = RightHandleRect().Contains(plat::TPoint(X, Y));
    if (hot != FRightHandleHot) {
        FRightHandleHot = hot;
        InvalidatePart(RightHandleRect());
    }
    MDIMouseMove(X, Y);
    const bool overClose = FloatingCloseRect().Contains(plat::TPoint(X, Y));
    if (overClose != FFloatCloseHot) {
        FFloatCloseHot = overClose;
        InvalidatePart(FloatingCloseRect());
    }
    const bool overIndicator = FloatingOptionRect().Contains(plat::TPoint(X, Y));
    if (overIndicator != FFloatOptionHot) {
        FFloatOptionHot = overIndicator;
        InvalidatePart(FloatingOptionRect());
    }
    const bool overOption = CaptionOptionRect().Contains(plat::TPoint(X, Y));
    if (overOption && (!FCaptionOptionHot || FHotStep < 0)) {
        FCaptionOptionHot = true;
        StartFade(FHotStep, 20);
    } else if (!overOption && FCaptionOptionHot && FHotStep >= 0) {
        StartFade(FHotStep, -20);
        InvalidatePart(CaptionOptionRect());
    }
}

void TKvxCustomToolBar::MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    MDIMouseDown(X, Y);
    if (Designing())
        return;
    const plat::TPoint at(X, Y);
    if (!FDragging) {
        // A floating toolbar is dragged by its caption, left of the option indicator and close button.
        TRect option = FloatingOptionRect();
        if (option.IsEmpty())
            option = FloatingCloseRect();
        const bool byCaption =
            Floating() && CaptionRect().Contains(at) && (option.IsEmpty() || X < option.Left);
        if ((Docked() && !FLocked && GripRect().Contains(at)) || byCaption) {
            DragLoop(Button, X, Y);
            return;
        }
    }
    if (Button != plat::mbLeft)
        return;
    if (Docked() && RightHandleRect().Contains(at)) {
        FRightHandleDown = true;
        InvalidatePart(RightHandleRect());
        OptionClick();
    }
    if (FloatingOptionRect().Contains(at)) {
        FFloatOptionDown = true;
        InvalidatePart(FloatingOptionRect());
        OptionClick();
    }
    if (FloatingCloseRect().Contains(at)) {
        FFloatCloseDown = true;
        InvalidatePart(FloatingCloseRect());
    }
    if (CaptionOptionRect().Contains(plat::TPoint(X, Y))) {
        FCaptionOptionDown = true;
        StartFade(FDownStep, 20);
        InvalidatePart(CaptionOptionRect());
        if (OnOptionClick && Parent()) {
            const plat::TPoint p(Left() + Width() - 12, Top() + Height() + 1);
            OnOptionClick(this, p, Parent()->ClientToScreen(p));
        }
    }
}

void TKvxCustomToolBar::MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FRightHandleDown) {
        FRightHandleDown = false;
        InvalidatePart(RightHandleRect());
    }
    MDIMouseUp(X, Y);
    if (FFloatOptionDown) {
        FFloatOptionDown = false;
        InvalidatePart(FloatingOptionRect());
    }
    if (FFloatCloseDown) {
        FFloatCloseDown = false;
        InvalidatePart(FloatingCloseRect());
        // Only a release over the button closes, as with any button.
        if (FloatingCloseRect().Contains(plat::TPoint(X, Y))) {
            CloseFloatingToolBar();
            return;
        }
    }
    if (FCaptionOptionDown && !Designing()) {
        FCaptionOptionDown = false;
        StartFade(FDownStep, -20);
        InvalidatePart(CaptionOptionRect());
    }
}

} // namespace ui
