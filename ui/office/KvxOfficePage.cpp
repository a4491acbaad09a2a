#include <algorithm>
#include <iterator>

#include "platform/gfx/GdiTypes.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Filer.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Timer.h"
#include "ui/office/KvxOfficePager.h"

namespace ui::pager {

using namespace plat;
using tabpaint::MixColors;

TKvxOfficePage::TKvxOfficePage(TComponent* AOwner)
    : TCustomControl(AOwner), FPicture(std::make_unique<TGDIPPicture>()),
      FDisabledPicture(std::make_unique<TGDIPPicture>()), FOfficeHint(std::make_unique<TKvxHintInfo>()),
      FTabAppearance(std::make_unique<TTabAppearance>()),
      FPageAppearance(std::make_unique<TVistaBackground>()) {
    SetControlStyle((ControlStyle() | csAcceptsControls) & ~csOpaque);
    SetDoubleBuffered(true);
    FPicture->OnChange = [this](TObject*) { RepaintBoth(); };
    FDisabledPicture->OnChange = [this](TObject*) { RepaintBoth(); };
    FTabAppearance->OnChange = [this](TObject*) { RepaintBoth(); };
    FPageAppearance->OnChange = [this](TObject*) { Invalidate(); };
}

TKvxOfficePage::~TKvxOfficePage() {
    HideShortCutHint();
    if (FPager)
        FPager->RemovePage(this);
    FreeGlowTimer();
    FPicture->OnChange = nullptr;
    FDisabledPicture->OnChange = nullptr;
    FTabAppearance->OnChange = nullptr;
    FPageAppearance->OnChange = nullptr;
}

void TKvxOfficePage::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FShortCutHintWindow)
        FShortCutHintWindow = nullptr;
}

void TKvxOfficePage::RepaintBoth() {
    if (FPager)
        FPager->Invalidate();
    Invalidate();
}

void TKvxOfficePage::SetCaption(const std::string& Value) {
    if (FCaption == Value)
        return;
    FCaption = Value;
    Invalidate();
    if (!FPager)
        return;
    FPager->Invalidate();
    if (FPager->CloseOnTab() && FPager->ActivePage() == this)
        FPager->UpdateTabButtons();
    FPager->UpdateTabScroller();
}

void TKvxOfficePage::SetWideCaption(const std::string& Value) {
    if (FWideCaption == Value)
        return;
    FWideCaption = Value;
    Invalidate();
    if (!FPager || !FCaption.empty())
        return;
    FPager->Invalidate();
    if (FPager->CloseOnTab() && FPager->ActivePage() == this)
        FPager->UpdateTabButtons();
    FPager->UpdateTabScroller();
}

void TKvxOfficePage::SetImageIndex(int Value) {
    FImageIndex = Value;
    if (FPager)
        FPager->Invalidate();
}

void TKvxOfficePage::SetTabVisible(bool Value) {
    if (FTabVisible == Value)
        return;
    FTabVisible = Value;
    if (FPager) {
        if (FPager->CloseOnTab())
            FPager->UpdateTabButtons();
        FPager->RepaintActivePage();
        FPager->Invalidate();
        FPager->UpdateTabScroller();
    }
    Invalidate();
}

void TKvxOfficePage::SetTabEnabled(bool Value) {
    if (FTabEnabled == Value)
        return;
    FTabEnabled = Value;
    RepaintBoth();
}

void TKvxOfficePage::SetShowClose(bool Value) {
    if (FShowClose == Value)
        return;
    FShowClose = Value;
    if (FPager) {
        FPager->UpdateTabButtons();
        FPager->Invalidate();
    }
    Invalidate();
}

int TKvxOfficePage::PageIndex() const {
    return FPager ? FPager->IndexOfPage(const_cast<TKvxOfficePage*>(this)) : -1;
}

void TKvxOfficePage::SetPageIndex(int Value) {
    if (!FPager || Value < 0 || Value >= FPager->PageCount())
        return;
    FPager->MovePage(PageIndex(), Value);
    RepaintBoth();
}

void TKvxOfficePage::SetUseTabAppearance(bool Value) {
    if (FUseTabAppearance == Value)
        return;
    FUseTabAppearance = Value;
    RepaintBoth();
}

void TKvxOfficePage::SetUsePageAppearance(bool Value) {
    if (FUsePageAppearance == Value)
        return;
    FUsePageAppearance = Value;
    Invalidate();
}

void TKvxOfficePage::SetPager(TKvxOfficePager* Value) {
    if (Value == FPager)
        return;
    if (FPager)
        FPager->RemovePage(this);
    {
        const TemporaryChange guard(FReparentGuard, true);
        TCustomControl::SetParent(Value);
    }
    if (Value)
        Value->AddPage(this);
}

void TKvxOfficePage::ReadState(TReader& Reader) {
    TCustomControl::ReadState(Reader);
    if (auto* pager = dynamic_cast<TKvxOfficePager*>(Reader.Parent()))
        SetPager(pager);
}

void TKvxOfficePage::SetParent(TWinControl* NewParent) {
    auto* newPage = dynamic_cast<TKvxOfficePage*>(NewParent);
    auto* newPager = dynamic_cast<TKvxOfficePager*>(NewParent);
    if (!(newPage || newPager) || FReparentGuard || !FPager) {
        TCustomControl::SetParent(NewParent);
        return;
    }
    TKvxOfficePager* target = newPage ? newPage->Pager() : newPager;
    if (target != FPager && target) {
        const TemporaryChange guard(FReparentGuard, true);
        SetPager(target);
    }
    if (FPager != target)
        throw Exception("Invalid Parent");
    if (newPage) {
        const int from = PageIndex(), to = FPager->IndexOfPage(newPage);
        if (from < 0 || from >= FPager->PageCount() || to < 0 || to >= FPager->PageCount())
            throw Exception("Invalid Parent " + std::to_string(from) + ":" + std::to_string(to));
        FPager->MovePage(from, to);
    }
    FPager->Invalidate();
    Invalidate();
    if (Parent() != target) {
        const TemporaryChange guard(FReparentGuard, true);
        TCustomControl::SetParent(target);
    }
}

void TKvxOfficePage::AdjustClientRect(TRect& Rect) const {
    InflateRect(Rect, -2, -2);
    TCustomControl::AdjustClientRect(Rect);
}

void TKvxOfficePage::WndProc(TMessage& Message) {
    TCustomControl::WndProc(Message);
    if (Message.Msg == CM_SHOWINGCHANGED) {
        const bool showing = Showing();
        if (showing && !FWasShowing && OnShow)
            OnShow(this);
        FWasShowing = showing;
    }
}

void TKvxOfficePage::FreeGlowTimer() {
    if (TTimer* t = std::exchange(GlowTimer, nullptr))
        t->Free();
}

// ---- Painting --------------------------------------------------------------------------------------------

void TKvxOfficePage::Paint() {
    if (!FPager || !FPager->CurrentStyler())
        return;
    TCustomKvxOfficePagerStyler& styler = *FPager->CurrentStyler();
    const TVistaBackground& A = FUsePageAppearance ? *FPageAppearance : *styler.PageAppearance();
    if (A.Color() != Color())
        SetColor(A.Color());
    TCanvas& canvas = *Canvas();
    const int W = Width(), H = Height();
    const TTabPosition pos = FPager->TabPosition();
    tabpaint::TFaceColors f{A.Color(),       A.ColorTo(),  A.ColorMirror(),   A.ColorMirrorTo(),
                            A.BorderColor(), A.Gradient(), A.GradientMirror()};
    tabpaint::TFaceOptions options;
    options.GdipBackground = true;
    options.Rotated = true;
    tabpaint::PaintTabFace(canvas, TRect(0, 0, W, H), f, std::string(), Font(),
                           FPager->TabSettings()->ImagePosition(), Enabled(), false, FPager->AntiAlias(),
                           styler.RoundedPageCorners(), pos, options);

    canvas.Pen()->SetStyle(psSolid);
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetColor(MixColors(0xFFFFFF, A.BorderColor(), styler.PageEdgeBlendPercent()));
    const int K = styler.RoundedPageCorners() ? 3 : 2;
    auto line = [&canvas](int x1, int y1, int x2, int y2) {
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x2, y2);
    };
    switch (pos) {
    case tpTop:
        line(1, K, 1, H - 2), line(W - 2, K, W - 2, H - 2), line(3, H - 2, W - 2, H - 2);
        break;
    case tpBottom:
        line(1, 2, 1, H - K), line(W - 2, 2, W - 2, H - K), line(3, 1, W - 2, 1);
        break;
    case tpLeft:
        line(K, 1, W - 2, 1), line(K, H - 2, W - 2, H - 2), line(W - 2, 3, W - 2, H - 2);
        break;
    case tpRight:
        line(2, 1, W - K, 1), line(2, H - 2, W - K, H - 2), line(1, 3, 1, H - 2);
        break;
    }
    if (FPager->ActivePage() == this && FPager->TabSettings()->Height() > 0)
        PaintJoin(A);
    if (styler.RoundedPageCorners() && FPager->PageMargin() > 0)
        PaintCorners();
}

void TKvxOfficePage::PaintJoin(const TVistaBackground& A) {
    const TRect T = FPager->GetPageTabRect(this);
    if (T.Left == -1 && T.Right == -1)
        return;
    const TRect B = FPager->GetButtonsRect();
    const TTabPosition pos = FPager->TabPosition();
    const bool horz = pos == tpTop || pos == tpBottom;
    const int M = FPager->PageMargin();
    const int R2 = FPager->TabSettings()->Rounding() / 2;
    int start = (horz ? T.Left : T.Top) - M;
    int end = std::min((horz ? T.Right : T.Bottom) - M, horz ? B.Left : B.Top);
    if (!FPager->HasPlainTabShape()) {
        const TKvxTabShape shape = FPager->TabSettings()->Shape();
        // Start and end inset per position and shape; the ramps leave the page edge further in.
        struct TInset {
            int Start, End;
        };
        static constexpr TInset kInsets[4][4] = {
            // tsRectangle, tsLeftRamp, tsRightRamp, tsLeftRightRamp; R2 multiples are added below.
            {{1, 0}, {2, 0}, {1, -1}, {2, -1}}, // tpTop
            {{1, 0}, {2, 0}, {1, 0}, {1, 0}},   // tpBottom
            {{1, 0}, {1, -1}, {2, 0}, {2, -1}}, // tpLeft
            {{1, 0}, {1, 0}, {1, -1}, {2, -1}}, // tpRight
        };
        static constexpr bool kStartRounds[4][4] = {{false, true, false, true},
                                                    {false, true, false, true},
                                                    {false, false, true, true},
                                                    {false, true, false, true}};
        static constexpr bool kEndRounds[4][4] = {{false, false, true, true},
                                                  {false, false, true, true},
                                                  {false, true, false, true},
                                                  {false, false, true, true}};
        static_assert(std::size(kInsets) == plat::tpRight + 1 &&
                      std::size(kInsets[0]) == tsLeftRightRamp + 1);
        static_assert(std::size(kStartRounds) == std::size(kInsets) &&
                      std::size(kEndRounds) == std::size(kInsets));
        const TInset in = kInsets[pos][shape];
        start += in.Start + (kStartRounds[pos][shape] ? R2 : 0);
        end += in.End - (kEndRounds[pos][shape] ? R2 : 0);
    }
    TCanvas& canvas = *Canvas();
    canvas.Pen()->SetColor(A.Color());
    const int W = Width(), H = Height();
    switch (pos) {
    case tpTop:
        canvas.MoveTo(start, 0), canvas.LineTo(end, 0);
        break;
    case tpBottom:
        canvas.MoveTo(start, H - 1), canvas.LineTo(end, H - 1);
        break;
    case tpLeft:
        canvas.MoveTo(0, start - 1), canvas.LineTo(0, end - 1);
        break;
    case tpRight:
        canvas.MoveTo(W - 1, start - 1), canvas.LineTo(W - 1, end - 1);
        break;
    }
}

void TKvxOfficePage::PaintCorners() {
    TCanvas& canvas = *Canvas();
    TCanvas& pagerCanvas = *FPager->Canvas();
    const int l = Left(), t = Top(), w = Width(), h = Height(), W = w, H = h;
    // A point outside the pager holds no colour: its page pixels keep theirs.
    auto sample = [&](int x, int y, bool& Valid) -> TColor {
        Valid = false;
        if (x < 0 || y < 0 || x >= FPager->Width() || y >= FPager->Height())
            return clNone;
        const TColor c = pagerCanvas.Pixels(x, y);
        Valid = c != CLR_INVALID;
        return c;
    };
    struct TCorner {
        int SourceX, SourceY;
        TPoint Pixels[3];
        int Count;
    };
    const TCorner corners[] = {
        {l - 1, t - 1, {{0, 0}}, 1},
        {l + 1, t - 1, {{1, 0}}, 1},
        {l - 1, t, {{0, 1}}, 1},
        {l - 1, t + h, {{0, H - 1}, {1, H - 1}, {0, H - 2}}, 3},
        {l + w, t, {{W - 1, 0}, {W - 2, 0}, {W - 1, 1}}, 3},
        {l + w, t + h, {{W - 1, H - 1}, {W - 2, H - 1}, {W - 1, H - 2}}, 3},
    };
    for (const TCorner& c : corners) {
        bool valid = false;
        const TColor color = sample(c.SourceX, c.SourceY, valid);
        if (!valid)
            continue;
        for (int i = 0; i < c.Count; ++i)
            canvas.SetPixels(c.Pixels[i].X, c.Pixels[i].Y, color);
    }
}

// ---- Key tips --------------------------------------------------------------------------------------------

void TKvxOfficePage::ShowShortCutHint() {
    if (!FPager)
        return;
    if (!FShortCutHintWindow) {
        FShortCutHintWindow = new TShortCutHintWindow(FPager);
        FShortCutHintWindow->SetParent(FPager);
        FShortCutHintWindow->FreeNotification(this);
        FPager->FShortCutHintWindows.push_back(FShortCutHintWindow);
    }
    TShortCutHintWindow& w = *FShortCutHintWindow;
    w.SetVisible(false);
    w.SetCaption(ShortCutHint);
    const TRect T = FPager->GetPageTabRect(this);
    const TPoint S = FPager->ClientToScreen(TPoint(T.Left, T.Top));
    const int ww = w.Width(), wh = w.Height(), tw = T.Width(), th = T.Height();
    TPoint p(w.Left(), w.Top());
    switch (ShortCutHintPos) {
    case shpLeft:
        p = TPoint(S.X - ww / 2, S.Y + (th - wh) / 2);
        break;
    case shpTop:
        p = TPoint(S.X + (tw - ww) / 2, S.Y - wh / 2);
        break;
    case shpRight:
        p = TPoint(S.X + tw - ww / 2, S.Y + (th - wh) / 2);
        break;
    case shpBottom:
        p = TPoint(S.X + (tw - ww) / 2, S.Y + th - wh / 2);
        break;
    default:
        break;
    }
    // The window is a child of the pager: the screen point goes back into its coordinates.
    const TPoint c = FPager->ScreenToClient(p);
    w.SetBounds(c.X, c.Y, ww, wh);
    w.SetVisible(true);
}

void TKvxOfficePage::HideShortCutHint() {
    TShortCutHintWindow* w = std::exchange(FShortCutHintWindow, nullptr);
    if (!w)
        return;
    w->SetVisible(false);
    if (FPager) {
        auto& list = FPager->FShortCutHintWindows;
        list.erase(std::remove(list.begin(), list.end(), w), list.end());
    }
    w->RemoveFreeNotification(this);
    w->Free();
}

} // namespace ui::pager
