#include <algorithm>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/GdiTypes.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/ImageList.h"
#include "ui/office/KvxOfficePager.h"

namespace ui::pager {

using namespace plat;
using tabpaint::MixColors;

namespace {

// The close button on a tab with its gap.
constexpr int kCloseSpace = 18 + 4;

void Line(TCanvas& Canvas, int X1, int Y1, int X2, int Y2) {
    Canvas.MoveTo(X1, Y1);
    Canvas.LineTo(X2, Y2);
}

// A pixel of the canvas, or none where the canvas holds nothing (outside its surface).
bool ReadPixel(TCanvas& Canvas, int Width, int Height, int X, int Y, TColor& Color) {
    if (X < 0 || Y < 0 || X >= Width || Y >= Height)
        return false;
    Color = Canvas.Pixels(X, Y);
    return Color != CLR_INVALID;
}

} // namespace

void TKvxOfficePager::Paint() {
    TCustomControl::Paint();
    DrawTabs();
    DrawButtonsFrame();
}

bool TKvxOfficePager::ButtonsShown() const {
    return FScroller.Visible() || FButtonSettings->PageListButton() ||
           (FButtonSettings->CloseButton() && !FCloseOnTab);
}

void TKvxOfficePager::DrawTabs() {
    if (!FCurrentStyler)
        return;
    TCanvas& canvas = *Canvas();
    TRect r = GetTabsBandRect();
    switch (FTabPosition) {
    case tpTop:
        r.Bottom = Height();
        break;
    case tpBottom:
        r.Top = 0;
        break;
    case tpLeft:
        r.Right = Width();
        break;
    case tpRight:
        r.Left = 0;
        break;
    }
    TGradientBackground* back = FCurrentStyler->TabAppearance()->BackGround();
    if (back->Color() != clNone && back->ColorTo() != clNone) {
        tabpaint::DrawSteppedGradient(canvas, back->Color(), back->ColorTo(), back->Steps(), r,
                                      back->Direction() == gdHorizontal);
    } else if (back->Color() != clNone) {
        canvas.Brush()->SetStyle(bsSolid);
        canvas.Brush()->SetColor(back->Color());
        canvas.Pen()->SetColor(back->Color());
        canvas.FillRect(r);
    }
    if (ButtonsShown()) {
        const TRect b = GetButtonsRect();
        if (!FButtonsBackground)
            FButtonsBackground = std::make_unique<TBitmap>();
        FButtonsBackground->SetSize(std::max(1, b.Width()), std::max(1, b.Height()));
        FButtonsBackground->Canvas()->SetCopyMode(SRCCOPY);
        FButtonsBackground->Canvas()->CopyRect(TRect(0, 0, b.Width(), b.Height()), &canvas, b);
    }
    for (int i = 0; i < PageCount(); ++i)
        DrawTab(i);
}

void TKvxOfficePager::DrawButtonsFrame() {
    if (!ButtonsShown() || !FCurrentStyler)
        return;
    TCanvas& canvas = *Canvas();
    const TRect b = GetButtonsRect();
    canvas.Pen()->SetColor(FCurrentStyler->PageAppearance()->BorderColor());
    canvas.Brush()->SetStyle(bsClear);
    canvas.RoundRect(b.Left, b.Top, b.Right, b.Bottom, 5, 5);
}

void TKvxOfficePager::DrawTab(int Index) {
    if (Index < 0 || Index >= PageCount() || FTabSettings->Height() <= 0 || !FCurrentStyler)
        return;
    TRect R = GetTabRect(Index);
    if (R.Left == -1 && R.Right == -1)
        return;
    TCanvas& canvas = *Canvas();
    TKvxOfficePage* page = Pages(Index);
    TCustomTabAppearance& A =
        page->UseTabAppearance() ? *page->TabAppearance() : *FCurrentStyler->TabAppearance();
    TGradientBackground& BG = *FCurrentStyler->TabAppearance()->BackGround();
    const bool ellipsis = FTabSettings->Width() > 0 && !FTabSettings->WordWrap();
    const bool active = Index == FActivePageIndex;
    const bool hot = Index == FHotTabIndex;
    const bool glowing = page->GlowTimer != nullptr;
    const int GL = page->GlowLevel, CL = page->ClickGlowLevel;

    // ---- State colours ----
    tabpaint::TFaceColors f;
    TColor Tc = clNone, HL = A.HighLightColor();
    bool drawFace = true, focusedActive = false;
    if (!page->TabEnabled() && FShowNonSelectedTabs) {
        f = {A.ColorDisabled(),         A.ColorDisabledTo(),     A.ColorMirrorDisabled(),
             A.ColorMirrorDisabledTo(), A.BorderColorDisabled(), A.GradientDisabled(),
             A.GradientMirrorDisabled()};
        Tc = A.TextColorDisabled();
    } else if (active) {
        f = {A.ColorSelected(),         A.ColorSelectedTo(),     A.ColorMirrorSelected(),
             A.ColorMirrorSelectedTo(), A.BorderColorSelected(), A.GradientSelected(),
             A.GradientMirrorSelected()};
        Tc = A.TextColorSelected();
    } else if (hot) {
        f = {A.ColorHot(),       A.ColorHotTo(),  A.ColorMirrorHot(),   A.ColorMirrorHotTo(),
             A.BorderColorHot(), A.GradientHot(), A.GradientMirrorHot()};
        Tc = A.TextColorHot();
        HL = A.HighLightColorHot();
    } else if (FShowNonSelectedTabs) {
        f = {A.Color(),       A.ColorTo(),  A.ColorMirror(),   A.ColorMirrorTo(),
             A.BorderColor(), A.Gradient(), A.GradientMirror()};
        Tc = A.TextColor();
    } else {
        f = {clNone, clNone, clNone, clNone, clNone, A.GradientHot(), A.GradientMirrorHot()};
        drawFace = false;
        Tc = page->TabEnabled() ? A.TextColor() : A.TextColorDisabled();
    }
    // The hot colours blended into the band's colours (or the normal ones) by the hover level.
    auto mixHot = [&](int P) {
        if (FShowNonSelectedTabs) {
            f.Color = MixColors(A.ColorHot(), A.Color(), P);
            f.ColorTo = MixColors(A.ColorHotTo(), A.ColorTo(), P);
            f.ColorMirror = MixColors(A.ColorMirrorHot(), A.ColorMirror(), P);
            f.ColorMirrorTo = MixColors(A.ColorMirrorHotTo(), A.ColorMirrorTo(), P);
            f.BorderColor = MixColors(A.BorderColorHot(), A.BorderColor(), P);
        } else {
            f.Color = MixColors(A.ColorHot(), BG.Color(), P);
            f.ColorTo = MixColors(A.ColorHotTo(), BG.ColorTo() != clNone ? BG.ColorTo() : BG.Color(), P);
            f.ColorMirror = MixColors(A.ColorMirrorHot(), BG.Color(), P);
            f.ColorMirrorTo = MixColors(A.ColorMirrorHotTo(), BG.Color(), P);
            f.BorderColor = MixColors(A.BorderColorHot(), BG.Color(), P);
        }
    };
    if (active) {
        if (hot) {
            f.BorderColor = A.BorderColorSelectedHot();
            HL = A.HighLightColorSelectedHot();
        }
        if (glowing && page->GlowState == 1) {
            f.Color = MixColors(A.ColorSelected(), A.ColorHot(), CL);
            f.ColorTo = MixColors(A.ColorSelectedTo(), A.ColorHotTo(), CL);
            f.ColorMirror = MixColors(A.ColorMirrorSelected(), A.ColorMirrorHot(), CL);
            f.ColorMirrorTo = MixColors(A.ColorMirrorSelectedTo(), A.ColorMirrorHotTo(), CL);
            f.BorderColor = MixColors(f.BorderColor, A.BorderColorHot(), CL);
        } else if (glowing && page->GlowState == 0) {
            f.BorderColor = MixColors(A.BorderColorSelectedHot(), A.BorderColorSelected(), GL);
        }
        if (Index == FDownTabIndex && !Designing()) {
            f.BorderColor = A.BorderColorDown();
            HL = A.HighLightColorDown();
        }
    } else if (glowing && page->GlowState == 0) {
        mixHot(GL);
        f.Gradient = A.GradientHot();
        f.GradientMirror = A.GradientMirrorHot();
        drawFace = true;
    }
    if (Focused() && active) {
        f = {A.ColorHot(),
             A.ColorHotTo(),
             A.ColorMirrorHot(),
             A.ColorMirrorHotTo(),
             A.BorderColorSelectedHot(),
             A.GradientHot(),
             A.GradientMirrorHot()};
        Tc = A.TextColorHot();
        HL = A.HighLightColorSelected();
        focusedActive = true;
        drawFace = true;
    }

    canvas.Font()->Assign(A.Font());
    canvas.Font()->SetColor(Tc);

    // ---- Face ----
    const bool plain = HasPlainTabShape();
    if (drawFace) {
        TTabPosition effectivePosition = FTabPosition;
        bool rotated = true;
        TKvxTabShape effectiveShape = FTabSettings->Shape();
        if (UnrotatedSide()) {
            effectivePosition = tpTop;
            rotated = false;
            effectiveShape = tsRectangle;
        }
        tabpaint::TFaceOptions options;
        options.GdipBackground = true;
        options.Rotated = rotated;
        TRect shortened = R;
        switch (FTabPosition) {
        case tpTop:
            shortened.Bottom -= 3;
            break;
        case tpBottom:
            shortened.Top += 2;
            break;
        case tpLeft:
            shortened.Right -= 3;
            break;
        case tpRight:
            shortened.Left += 2;
            break;
        }
        if (active && FCloseOnTab && FButtonSettings->CloseButton()) {
            TBitmap bmp;
            bmp.SetSize(std::max(1, R.Width()), std::max(1, R.Height()));
            TCanvas& bc = *bmp.Canvas();
            if (plain) {
                tabpaint::PaintTabFace(bc, TRect(0, 0, R.Width(), R.Height()), f, std::string(), A.Font(),
                                       ipLeft, Enabled(), false, FAntiAlias, true, effectivePosition,
                                       options);
            } else {
                const TColor k = MixColors(f.BorderColor == clNone ? TColor(0) : f.BorderColor, 0xFFFFFF, 50);
                TRect d = shortened;
                OffsetRect(d, -R.Left, -R.Top);
                bc.Brush()->SetStyle(bsSolid);
                bc.Brush()->SetColor(k);
                bc.FillRect(TRect(0, 0, bmp.Width(), bmp.Height()));
                switch (FTabPosition) {
                case tpTop:
                    d.Right -= 1;
                    break;
                case tpBottom:
                    d.Right -= 1, d.Bottom -= 1;
                    break;
                case tpLeft:
                    d.Bottom -= 1;
                    break;
                case tpRight:
                    d.Right -= 1, d.Bottom -= 2;
                    break;
                }
                tabpaint::PaintTabShape(bc, d, f, effectiveShape, false, FTabSettings->Rounding(),
                                        FRotateTabLeftRight, FTabPosition);
                bmp.SetTransparentColor(k);
                bmp.SetTransparent(true);
            }
            canvas.Draw(R.Left, R.Top, &bmp);
        } else if (plain) {
            tabpaint::PaintTabFace(canvas, R, f, std::string(), A.Font(), ipLeft, Enabled(), false,
                                   FAntiAlias, true, effectivePosition, options);
        } else {
            tabpaint::PaintTabShape(canvas, shortened, f, effectiveShape, false, FTabSettings->Rounding(),
                                    FRotateTabLeftRight, FTabPosition);
        }

        if (plain) {
            const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom, W = Width(), H = Height();
            // Corner pixels take the colour just outside the tab; a point off the canvas gives none.
            auto copyPixel = [&](int SX, int SY, std::initializer_list<TPoint> Targets) {
                TColor c = clNone;
                if (!ReadPixel(canvas, W, H, SX, SY, c))
                    return;
                for (const TPoint& p : Targets)
                    if (p.X >= 0 && p.Y >= 0 && p.X < W && p.Y < H)
                        canvas.SetPixels(p.X, p.Y, c);
            };
            switch (FTabPosition) {
            case tpTop:
                copyPixel(L - 1, T - 1, {{L, T}});
                copyPixel(L + 1, T - 1, {{L + 1, T}});
                copyPixel(L - 1, T, {{L, T + 1}});
                copyPixel(Rt + 1, T, {{Rt - 1, T}, {Rt - 2, T}, {Rt - 1, T + 1}});
                break;
            case tpBottom:
                copyPixel(L - 1, B - 1, {{L, B - 2}, {L + 1, B - 1}, {L, B - 1}});
                copyPixel(Rt + 1, B, {{Rt - 1, B - 1}, {Rt - 2, B - 1}, {Rt - 1, B - 2}});
                break;
            case tpLeft:
                copyPixel(L - 1, T - 1, {{L, T}});
                copyPixel(L + 1, T - 1, {{L + 1, T}});
                copyPixel(L - 1, T, {{L, T + 1}});
                copyPixel(L - 1, B, {{L, B - 1}, {L + 1, B - 1}, {L, B - 2}});
                break;
            case tpRight:
                copyPixel(Rt + 1, T - 1, {{Rt, T}, {Rt - 1, T}});
                copyPixel(Rt + 1, T, {{Rt, T + 1}});
                copyPixel(Rt + 1, B, {{Rt, B - 1}, {Rt - 1, B - 1}, {Rt, B - 2}});
                break;
            }
            canvas.Pen()->SetStyle(psSolid);
            canvas.Pen()->SetWidth(1);
            canvas.Pen()->SetColor(
                MixColors(0xFFFFFF, f.Color, focusedActive || (glowing && page->GlowState == 0) ? 20 : 50));
            switch (FTabPosition) {
            case tpTop:
                Line(canvas, L + 3, T + 3, Rt - 3, T + 3);
                break;
            case tpBottom:
                Line(canvas, L + 3, B - 3, Rt - 3, B - 3);
                break;
            case tpLeft:
                if (FRotateTabLeftRight)
                    Line(canvas, L + 3, T + 3, L + 3, B - 3);
                else
                    Line(canvas, L + 3, T + 3, Rt - 5, T + 3);
                break;
            case tpRight:
                if (FRotateTabLeftRight)
                    Line(canvas, Rt - 3, T + 3, Rt - 3, B - 3);
                else
                    Line(canvas, L + 5, T + 3, Rt - 3, T + 3);
                break;
            }
            if (A.ShadowColor() != clNone) {
                auto shadow = [&](int a1, int b1, int a2, int b2, int c1, int d1, int c2, int d2) {
                    canvas.Pen()->SetColor(A.ShadowColor());
                    Line(canvas, a1, b1, a2, b2);
                    canvas.Pen()->SetColor(MixColors(A.ShadowColor(), BG.Color(), 40));
                    Line(canvas, c1, d1, c2, d2);
                };
                switch (FTabPosition) {
                case tpTop:
                    shadow(Rt, T + 3, Rt, B - 4, Rt + 1, T + 4, Rt + 1, B - 4);
                    break;
                case tpBottom:
                    shadow(Rt, T + 4, Rt, B - 2, Rt + 1, T + 4, Rt + 1, B - 3);
                    break;
                case tpLeft:
                    if (FRotateTabLeftRight)
                        shadow(L + 3, T - 1, Rt, T - 1, L + 4, T - 2, Rt, T - 2);
                    else
                        shadow(L + 3, B, Rt, B, L + 4, B + 1, Rt, B + 1);
                    break;
                case tpRight:
                    shadow(L + 3, B, Rt - 3, B, L + 4, B + 1, Rt - 4, B + 1);
                    break;
                }
            }
            if (HL != clNone) {
                canvas.Pen()->SetColor(MixColors(f.Color, f.BorderColor, 80));
                switch (FTabPosition) {
                case tpTop:
                    Line(canvas, L + 3, T + 1, Rt - 3, T + 1);
                    break;
                case tpBottom:
                    Line(canvas, L + 3, B - 2, Rt - 3, B - 2);
                    break;
                case tpLeft:
                    Line(canvas, L + 1, T + 3, L + 1, B - 3);
                    break;
                case tpRight:
                    Line(canvas, Rt - 2, T + 3, Rt - 2, B - 3);
                    break;
                }
                canvas.Pen()->SetColor(HL);
                switch (FTabPosition) {
                case tpTop:
                    Line(canvas, L + 1, T + 3, L + 1, B - 5);
                    Line(canvas, Rt - 2, T + 3, Rt - 2, B - 5);
                    break;
                case tpBottom:
                    Line(canvas, L + 1, B - 3, L + 1, T + 5);
                    Line(canvas, Rt - 2, B - 3, Rt - 2, T + 5);
                    break;
                case tpLeft:
                    Line(canvas, L + 3, T + 1, Rt - 5, T + 1);
                    Line(canvas, L + 3, B - 2, Rt - 5, B - 2);
                    break;
                case tpRight:
                    Line(canvas, L + 5, T + 1, Rt - 3, T + 1);
                    Line(canvas, L + 5, B - 2, Rt - 3, B - 2);
                    break;
                }
            }
        }
    }

    if (OnDrawTab) {
        OnDrawTab(this, Index, R);
        return;
    }

    // ---- Content rectangle ----
    if (!plain) {
        const int s = GetLeftRoundingSpace();
        if (Horizontal())
            R.Left += s;
        else if (RotatedSide() && FTabPosition == tpLeft)
            R.Bottom -= s;
        else if (RotatedSide())
            R.Top += s;
    }
    const int lm = FTabSettings->LeftMargin(), rm = FTabSettings->RightMargin();
    TRect cr = R;
    if (Horizontal() || (FTabPosition == tpLeft && !FRotateTabLeftRight))
        cr.Left += lm;
    else if (FTabPosition == tpLeft)
        cr.Bottom -= lm;
    else if (FRotateTabLeftRight)
        cr.Top += lm;
    else
        cr.Left += lm + 3;
    if (FButtonSettings->CloseButton() && FCloseOnTab && page->ShowClose()) {
        if (!active) {
            if (Horizontal())
                cr.Left += 11;
            else if (RotatedSide())
                (FTabPosition == tpLeft ? cr.Bottom -= 11 : cr.Top += 11);
        } else if (FCloseOnTabPosition == cpLeft) {
            if (Horizontal() || (FTabPosition == tpLeft && !FRotateTabLeftRight))
                cr.Left += kCloseSpace;
            else if (RotatedSide())
                (FTabPosition == tpLeft ? cr.Bottom -= kCloseSpace : cr.Top += kCloseSpace);
            else
                cr.Left += kCloseSpace + 1;
        }
    }

    // ---- Image ----
    TGDIPPicture* pic =
        page->Enabled() || page->DisabledPicture()->Empty() ? page->Picture() : page->DisabledPicture();
    int w = 0, h = 0, X = 0, Y = 0;
    const bool hasPic = !pic->Empty() && pic->MeasureImage();
    TCustomImageList* list = nullptr;
    bool listEnabled = true;
    if (hasPic) {
        w = pic->Width();
        h = pic->Height();
    } else if ((FImages || FDisabledImages) && page->ImageIndex() >= 0) {
        if (page->Enabled()) {
            list = FImages;
            listEnabled = page->TabEnabled();
        } else if (FDisabledImages) {
            list = FDisabledImages;
        } else {
            list = FImages;
            listEnabled = false;
        }
        if (list) {
            w = list->Width();
            h = list->Height();
        }
    }
    const TImagePosition ip = FTabSettings->ImagePosition();
    if (hasPic || list) {
        const int cx = R.Left + (R.Width() - w) / 2, cy = R.Top + (R.Height() - h) / 2;
        if (!RotatedSide()) {
            switch (ip) {
            case ipLeft:
                X = cr.Left, cr.Left += w + 2, Y = cy;
                break;
            case ipTop:
                X = cx, Y = cr.Top, cr.Top += h;
                break;
            case ipRight:
                X = cr.Right - w - (FTabPosition == tpRight ? 0 : rm), cr.Right = X - 2, Y = cy;
                break;
            case ipBottom:
                X = cx, Y = cr.Bottom - h, cr.Bottom -= h;
                break;
            }
        } else if (FTabPosition == tpLeft) {
            switch (ip) {
            case ipLeft:
                X = cx, Y = cr.Bottom - h, cr.Bottom = Y - 2;
                break;
            case ipTop:
                X = cr.Left, cr.Left += w, Y = cy;
                break;
            case ipRight:
                X = cx, Y = cr.Top + rm, cr.Top = Y + 2;
                break;
            case ipBottom:
                X = cr.Right - w, cr.Right -= w, Y = cy;
                break;
            }
        } else {
            switch (ip) {
            case ipLeft:
                X = cx, Y = cr.Top, cr.Top += h + 2;
                break;
            case ipTop:
                X = cr.Right - w, cr.Right -= w, Y = cy;
                break;
            case ipRight:
                X = cx, Y = cr.Bottom - h - rm, cr.Bottom = Y - 2;
                break;
            case ipBottom:
                X = cr.Left, cr.Left += w, Y = cy;
                break;
            }
        }
        if (list)
            list->Draw(&canvas, X, Y, page->ImageIndex(), listEnabled);
    }

    // ---- Caption ----
    canvas.Brush()->SetStyle(bsClear);
    TRect tr = cr;
    const bool gdiRotated = RotatedSide() && (FTabPosition == tpLeft || FAntiAlias == aaNone);
    if (UnrotatedSide()) {
        TAlignment alignment = taLeftJustify;
        if (ip == ipTop || ip == ipBottom) {
            alignment = taCenter;
            if (FTabPosition == tpLeft)
                cr.Left -= lm, cr.Right -= 3;
        }
        tabpaint::DrawTabCaptionW(canvas, alignment, cr, page->Caption(), page->WideCaption(), canvas.Font(),
                                  page->Enabled(), true, FAntiAlias, tpTop, ellipsis, tr);
    } else if (gdiRotated) {
        const std::string caption = !page->Caption().empty() ? page->Caption() : page->WideCaption();
        if (!caption.empty()) {
            const int th = canvas.TextHeight("gh");
            tr.Left = cr.Left + (cr.Width() - th) / 2;
            tr.Right = tr.Left + th;
            const std::string shown =
                tabpaint::TruncateCaptionW(caption, cr, false, nullptr, &canvas, nullptr, true, FTabPosition);
            TFont upright;
            upright.Assign(canvas.Font());
            const ScopeGuard restore([&] { canvas.Font()->Assign(&upright); });
            canvas.Font()->SetOrientation(FTabPosition == tpLeft ? 900 : 2700);
            if (FTabPosition == tpLeft)
                canvas.TextOut(cr.Left + (cr.Width() - th) / 2, cr.Bottom, shown);
            else
                canvas.TextOut(cr.Right - (cr.Width() - th) / 2, cr.Top, shown);
        }
    } else {
        const TAlignment alignment = ip == ipTop || ip == ipBottom ? taCenter : taLeftJustify;
        if (FCloseOnTab && FTabSettings->Width() != 0 && active && page->ShowClose())
            (FCloseOnTabPosition == cpLeft ? cr.Left += 18 : cr.Right -= 18);
        const std::string caption = tabpaint::TruncateCaptionW(page->Caption(), cr, false, nullptr, &canvas,
                                                               nullptr, ellipsis, FTabPosition);
        const std::string wide = page->Caption().empty()
                                     ? tabpaint::TruncateCaptionW(page->WideCaption(), cr, false, nullptr,
                                                                  &canvas, nullptr, ellipsis, FTabPosition)
                                     : page->WideCaption();
        tabpaint::DrawTabCaptionW(canvas, alignment, cr, caption, wide, canvas.Font(), page->Enabled(), true,
                                  FAntiAlias, FTabPosition, ellipsis, tr);
    }

    if (hasPic) {
        if (Horizontal()) {
            if (ip == ipTop)
                Y = std::max(tr.Top - h - 2, 4);
            else if (ip == ipBottom)
                Y = std::min(tr.Bottom + 2, cr.Bottom);
        } else if (UnrotatedSide()) {
            if (ip == ipTop)
                Y = std::max(tr.Top - h - 2, 4);
            else if (ip == ipRight)
                X = tr.Right + 4;
            else if (ip == ipBottom)
                Y = std::max(tr.Bottom + 2, 4);
        } else if (FTabPosition == tpLeft) {
            if (ip == ipTop)
                X = std::max(tr.Left - w - 2, 4);
            else if (ip == ipBottom)
                X = std::max(tr.Right + 2, 4);
        } else {
            if (ip == ipTop)
                X = std::max(tr.Right + 2, 4);
            else if (ip == ipBottom)
                X = std::max(tr.Left - w - 2, 4);
        }
        canvas.Draw(X, Y, pic);
    }

    // ---- The glow buttons' background stays clear of tabs ----
    if (ButtonsShown() && FButtonsBackground) {
        const TRect b = GetButtonsRect();
        TRect x;
        const TRect full = GetTabRect(Index);
        if (IntersectRect(x, full, b)) {
            canvas.SetCopyMode(SRCCOPY);
            canvas.CopyRect(x, FButtonsBackground->Canvas(), TRect(0, 0, x.Width(), x.Bottom - full.Top));
        }
    }

    if (!active && TabNeighbourSide(Index) != 0)
        DrawTab(FActivePageIndex);
}

} // namespace ui::pager
