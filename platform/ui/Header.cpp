#include "platform/ui/Header.h"

#include <algorithm>

#include "platform/gfx/FrameControls.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"

namespace plat {

PLAT_CLASS_INFO(THeaderSection, TCollectionItem)
PLAT_CLASS_INFO(THeaderSections, TOwnedCollection)
PLAT_CLASS_INFO_CREATABLE(THeaderControl, TCustomControl)

namespace {
const char* const kSectionStyleNames[] = {"hsText", "hsOwnerDraw"};
static_assert(std::size(kSectionStyleNames) == hsOwnerDraw + 1);
struct TRegistrar {
    TRegistrar() { RegisterClass(THeaderControl::StaticClass()); }
} registrar;
} // namespace

PLAT_PROPERTIES(THeaderSection) {
    props.Enum("Alignment", &THeaderSection::Alignment, &THeaderSection::SetAlignment, kAlignmentNames,
               taLeftJustify);
    props.Boolean("AllowClick", &THeaderSection::AllowClick, &THeaderSection::SetAllowClick, true);
    props.Integer("MaxWidth", &THeaderSection::MaxWidth, &THeaderSection::SetMaxWidth, 10000);
    props.Integer("MinWidth", &THeaderSection::MinWidth, &THeaderSection::SetMinWidth, 0);
    props.Enum("Style", &THeaderSection::Style, &THeaderSection::SetStyle, kSectionStyleNames, hsText);
    props.String("Text", &THeaderSection::Text, &THeaderSection::SetText);
    props.Integer("Width", &THeaderSection::Width, &THeaderSection::SetWidth);
}

PLAT_PROPERTIES(THeaderControl) {
    props.Default("Align", static_cast<int>(alTop));
    props.Collection("Sections", &THeaderControl::Sections);
    props.Event("OnDrawSection", &THeaderControl::OnDrawSection);
    props.Event("OnSectionClick", &THeaderControl::OnSectionClick);
    props.Event("OnSectionResize", &THeaderControl::OnSectionResize);
    props.Event("OnSectionTrack", &THeaderControl::OnSectionTrack);
}

// ---- THeaderSection ----

THeaderSection::THeaderSection(TCollection* Collection) : TCollectionItem(Collection) {}

void THeaderSection::SetText(const std::string& Value) {
    if (FText != Value) {
        FText = Value;
        Changed(false);
    }
}

void THeaderSection::SetWidth(int Value) {
    Value = std::clamp(Value, FMinWidth, std::max(FMinWidth, FMaxWidth));
    if (FWidth != Value) {
        FWidth = Value;
        Changed(true);
    }
}

void THeaderSection::SetMinWidth(int Value) {
    FMinWidth = std::max(0, Value);
    if (FMaxWidth < FMinWidth)
        FMaxWidth = FMinWidth;
    SetWidth(FWidth);
}

void THeaderSection::SetMaxWidth(int Value) {
    FMaxWidth = std::max(FMinWidth, Value);
    SetWidth(FWidth);
}

void THeaderSection::SetAlignment(TAlignment Value) {
    if (FAlignment != Value) {
        FAlignment = Value;
        Changed(false);
    }
}

void THeaderSection::SetStyle(THeaderSectionStyle Value) {
    if (FStyle != Value) {
        FStyle = Value;
        Changed(false);
    }
}

int THeaderSection::Left() const {
    int x = 0;
    TCollection* c = Collection();
    if (!c)
        return 0;
    for (int i = 0; i < Index(); ++i)
        x += static_cast<THeaderSection*>(c->Items(i))->FWidth;
    return x;
}

std::string THeaderSection::DisplayName() const {
    return FText.empty() ? TCollectionItem::DisplayName() : FText;
}

void THeaderSection::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<THeaderSection*>(Source);
    if (!src) {
        TCollectionItem::Assign(Source);
        return;
    }
    FText = src->FText;
    FMinWidth = src->FMinWidth;
    FMaxWidth = src->FMaxWidth;
    FWidth = src->FWidth;
    FAlignment = src->FAlignment;
    FStyle = src->FStyle;
    FAllowClick = src->FAllowClick;
    Changed(true);
}

// ---- THeaderSections ----

THeaderSections::THeaderSections(THeaderControl* HeaderControl)
    : TOwnedCollection(HeaderControl, TCollectionItemClass::Of<THeaderSection>()),
      FHeaderControl(HeaderControl) {}

void THeaderSections::Update(TCollectionItem*) {
    if (FHeaderControl) {
        FHeaderControl->CancelTracking();
        FHeaderControl->Invalidate();
    }
}

// ---- THeaderControl ----

THeaderControl::THeaderControl(TComponent* AOwner)
    : TCustomControl(AOwner), FSections(std::make_unique<THeaderSections>(this)) {
    SetBounds(0, 0, 250, 17);
    SetAlign(alTop);
    FColor = clBtnFace;
    FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csOpaque;
}

THeaderControl::~THeaderControl() {
    FSections.reset();
}

void THeaderControl::CancelTracking() {
    // A section list that changes under a drag or a press ends it (its indexes may mean other sections).
    if (FSections &&
        (FTracking >= FSections->Count() || FPressed >= FSections->Count() || FDown >= FSections->Count())) {
        FTracking = FPressed = FDown = -1;
        SetMouseCapture(false);
    }
}

TRect THeaderControl::SectionRect(int Index) const {
    if (Index < 0 || Index >= FSections->Count())
        return TRect();
    THeaderSection* s = FSections->Items(Index);
    int left = s->Left();
    return TRect(left, 0, left + s->Width(), ClientHeight());
}

int THeaderControl::DividerAt(int X) const {
    // The nearest divider within reach; from the right so a section squeezed to nothing can still be
    // pulled open again.
    int best = -1, bestDistance = DividerGrip + 1;
    for (int i = FSections->Count() - 1; i >= 0; --i) {
        int d = std::abs(X - FSections->Items(i)->Right());
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

int THeaderControl::SectionAt(int X) const {
    int x = 0;
    for (int i = 0; i < FSections->Count(); ++i) {
        int w = FSections->Items(i)->Width();
        if (X >= x && X < x + w)
            return i;
        x += w;
    }
    return -1;
}

void THeaderControl::SectionClick(THeaderSection* Section) {
    if (OnSectionClick)
        OnSectionClick(this, Section);
}

void THeaderControl::SectionResize(THeaderSection* Section) {
    if (OnSectionResize)
        OnSectionResize(this, Section);
}

void THeaderControl::SectionTrack(THeaderSection* Section, int Width, TSectionTrackState State) {
    if (OnSectionTrack)
        OnSectionTrack(this, Section, Width, State);
}

void THeaderControl::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_LBUTTONUP) {
        // The release lets the mouse go before MouseUp runs; that is no cancellation.
        FReleasing = true;
        TCustomControl::Dispatch(Message);
        FReleasing = false;
        return;
    }
    if ((Message.Msg == WM_CANCELMODE || Message.Msg == WM_CAPTURECHANGED) && !FReleasing) {
        TCustomControl::Dispatch(Message);
        if (FTracking >= 0 && !MouseCapture()) {
            THeaderSection* s = FSections->Items(FTracking);
            FTracking = -1;
            SectionTrack(s, s->Width(), tsTrackEnd);
            SectionResize(s);
        }
        if (FPressed >= 0 || FDown >= 0) {
            FPressed = FDown = -1;
            Invalidate();
        }
        return;
    }
    TCustomControl::Dispatch(Message);
}

void THeaderControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    int divider = DividerAt(X);
    if (divider >= 0) {
        THeaderSection* s = FSections->Items(divider);
        FTracking = divider;
        FTrackOffset = X - s->Right();
        FTrackStartWidth = s->Width();
        SectionTrack(s, s->Width(), tsTrackBegin);
        return;
    }
    int index = SectionAt(X);
    if (index >= 0 && FSections->Items(index)->AllowClick()) {
        FDown = FPressed = index;
        Invalidate();
    }
}

void THeaderControl::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (FTracking >= 0) {
        THeaderSection* s = FSections->Items(FTracking);
        int width = X - FTrackOffset - s->Left();
        width = std::clamp(width, s->MinWidth(), std::max(s->MinWidth(), s->MaxWidth()));
        // The handler may change the width it is offered.
        SectionTrack(s, width, tsTrackMove);
        if (FTracking >= 0 && FTracking < FSections->Count())
            s->SetWidth(width);
        Update();
        return;
    }
    if (FDown >= 0) {
        int over = SectionAt(X) == FDown && Y >= 0 && Y < ClientHeight() ? FDown : -1;
        if (over != FPressed) {
            FPressed = over;
            Invalidate();
        }
        return;
    }
    TCursor want = DividerAt(X) >= 0 ? crHSplit : crDefault;
    if (Cursor() != want && (Cursor() == crDefault || Cursor() == crHSplit))
        SetCursor(want);
}

void THeaderControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && FTracking >= 0) {
        THeaderSection* s = FSections->Items(FTracking);
        FTracking = -1;
        int width = s->Width();
        SectionTrack(s, width, tsTrackEnd);
        SectionResize(s);
    } else if (Button == mbLeft && FDown >= 0) {
        int index = FDown;
        bool inside = FPressed == index;
        FDown = FPressed = -1;
        Invalidate();
        if (inside && index < FSections->Count())
            SectionClick(FSections->Items(index));
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void THeaderControl::Paint() {
    TCanvas& c = *Canvas();
    int x = 0;
    for (int i = 0; i < FSections->Count(); ++i) {
        THeaderSection* s = FSections->Items(i);
        TRect r(x, 0, x + s->Width(), ClientHeight());
        if (s->Width() > 0)
            DrawSection(c, s, r, i == FPressed);
        x += s->Width();
    }
    if (x < ClientWidth())
        PaintRest(c, TRect(x, 0, ClientWidth(), ClientHeight()));
}

void THeaderControl::DrawSection(TCanvas& Canvas, THeaderSection* Section, const TRect& Rect, bool Pressed) {
    if (Section->Style() == hsOwnerDraw && OnDrawSection) {
        Canvas.Font()->Assign(Font());
        Canvas.Brush()->SetColor(Color());
        Canvas.Brush()->SetStyle(bsSolid);
        OnDrawSection(this, Section, Rect, Pressed);
        return;
    }
    PaintSection(Canvas, Section, Rect, Pressed);
}

void THeaderControl::PaintSection(TCanvas& Canvas, THeaderSection* Section, const TRect& Rect, bool Pressed) {
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(Color());
    Canvas.FillRect(Rect);
    TRect edge = Rect;
    if (Pressed)
        DrawEdge(*Canvas.Handle(), edge, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    else
        DrawEdge(*Canvas.Handle(), edge, EDGE_RAISED, BF_RECT | BF_ADJUST);
    if (Section->Style() == hsOwnerDraw)
        return;
    TRect text(Rect.Left + 6, Rect.Top, Rect.Right - 6, Rect.Bottom);
    if (Pressed)
        OffsetRect(text, 1, 1);
    uint32_t align = Section->Alignment() == taCenter         ? DT_CENTER
                     : Section->Alignment() == taRightJustify ? DT_RIGHT
                                                              : DT_LEFT;
    Canvas.Font()->Assign(Font());
    Canvas.Brush()->SetStyle(bsClear);
    Canvas.TextRect(text, Section->Text(),
                    align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    Canvas.Brush()->SetStyle(bsSolid);
}

void THeaderControl::PaintRest(TCanvas& Canvas, const TRect& Rect) {
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(Color());
    Canvas.FillRect(Rect);
    TRect edge = Rect;
    DrawEdge(*Canvas.Handle(), edge, EDGE_RAISED, BF_RECT);
}

} // namespace plat
