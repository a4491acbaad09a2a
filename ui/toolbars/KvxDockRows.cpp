#include "ui/toolbars/KvxDockRows.h"

#include <algorithm>
#include <utility>

#include "platform/rtl/Exception.h"
#include "platform/rtl/ScopeGuard.h"

namespace ui {

using namespace toolbar;
using plat::TRect;

PLAT_CLASS_INFO(TRowCollectionItem, plat::TCollectionItem)
PLAT_CLASS_INFO(TRowCollection, plat::TCollection)

namespace {

// Runs a change of the toolbar's bounds or limits with its positioning flag set, so that the toolbar
// applies it as it is instead of asking the rows again.
template <class F> void Positioned(IDockRowClient* Bar, F&& Change) {
    const bool old = Bar->Positioning();
    Bar->SetPositioning(true);
    plat::ScopeGuard restore([&] { Bar->SetPositioning(old); });
    Change();
}

void PlaceBar(IDockRowClient* Bar, int Left, int Top, int Width, int Height) {
    Positioned(Bar, [&] { Bar->SetDockBounds(Left, Top, Width, Height); });
}

} // namespace

// ---- TRowCollectionItem ----

TRowCollectionItem::TRowCollectionItem(plat::TCollection* Collection) : TCollectionItem(Collection) {}

TRowCollection& TRowCollectionItem::Rows() const {
    return *static_cast<TRowCollection*>(Collection());
}

bool TRowCollectionItem::Horizontal() const {
    return Rows().Horizontal();
}

int TRowCollectionItem::IndexOf(const IDockRowClient* ToolBar) const {
    auto it = std::find(FToolBars.begin(), FToolBars.end(), ToolBar);
    return it == FToolBars.end() ? -1 : static_cast<int>(it - FToolBars.begin());
}

int TRowCollectionItem::RowStart() const {
    return Horizontal() ? FRowRect.Left : FRowRect.Top;
}

int TRowCollectionItem::RowEnd() const {
    return Horizontal() ? FRowRect.Right : FRowRect.Bottom;
}

int TRowCollectionItem::Pos(int Index) const {
    const TRect b = FToolBars[Index]->DockBounds();
    return Horizontal() ? b.Left : b.Top;
}

int TRowCollectionItem::Len(int Index) const {
    const TRect b = FToolBars[Index]->DockBounds();
    return Horizontal() ? b.Width() : b.Height();
}

int TRowCollectionItem::GrowRoom(int Index) const {
    const TRect c = FToolBars[Index]->DockConstraints();
    return (Horizontal() ? c.Right : c.Bottom) - Len(Index);
}

int TRowCollectionItem::ShrinkRoom(int Index) const {
    const TRect c = FToolBars[Index]->DockConstraints();
    return Len(Index) - (Horizontal() ? c.Left : c.Top);
}

void TRowCollectionItem::SetAlong(int Index, int P, int L) {
    IDockRowClient* bar = FToolBars[Index];
    const TRect b = bar->DockBounds();
    if (Horizontal())
        PlaceBar(bar, P, b.Top, L, b.Height());
    else
        PlaceBar(bar, b.Left, P, b.Width(), L);
}

void TRowCollectionItem::MoveRange(int First, int Last, int Delta) {
    for (int i = First; i <= Last; ++i)
        SetAlong(i, Pos(i) + Delta, Len(i));
}

void TRowCollectionItem::Widen(int Index, int Delta) {
    SetAlong(Index, Pos(Index), Len(Index) + Delta);
}

int TRowCollectionItem::FreeSpace(int A, int B) const {
    const int n = Count();
    const int gap = Rows().ToolBarGap();
    const bool hasA = A >= 0 && A < n;
    const bool hasB = B >= 0 && B < n;
    if (hasA && hasB)
        return Pos(B) - (Pos(A) + Len(A) + gap);
    if (hasA)
        return RowEnd() - (Pos(A) + Len(A) + gap);
    if (hasB)
        return Pos(B) - (RowStart() + gap);
    return 0;
}

int TRowCollectionItem::RowThickness() const {
    int t = 26;
    for (IDockRowClient* bar : FToolBars) {
        const TRect b = bar->DockBounds();
        t = std::max(t, Horizontal() ? b.Height() : b.Width());
    }
    return t;
}

bool TRowCollectionItem::CanAcceptToolBar(const IDockRowClient* ToolBar) const {
    return FToolBars.empty() || (!FToolBars.front()->DockFullSize() && !ToolBar->DockFullSize());
}

// A full-size toolbar spans the row less a gap at each end, and its limits are pinned to that length.
void TRowCollectionItem::FillRow(int Index) {
    IDockRowClient* bar = FToolBars[Index];
    const int gap = Rows().ToolBarGap();
    const int L = RowEnd() - RowStart() - 2 * gap;
    Positioned(bar, [&] {
        const TRect c = bar->DockConstraints();
        const TRect b = bar->DockBounds();
        if (Horizontal()) {
            bar->SetDockConstraints(0, c.Top, L, c.Bottom);
            bar->SetDockConstraints(L, c.Top, L, c.Bottom);
            bar->SetDockBounds(RowStart() + gap, b.Top, L, b.Height());
        } else {
            bar->SetDockConstraints(c.Left, 0, c.Right, L);
            bar->SetDockConstraints(c.Left, L, c.Right, L);
            bar->SetDockBounds(b.Left, RowStart() + gap, b.Width(), L);
        }
        bar->ArrangeDockedControls();
    });
}

int TRowCollectionItem::AddToolBar(IDockRowClient* ToolBar) {
    if (IndexOf(ToolBar) >= 0 || !CanAcceptToolBar(ToolBar))
        return -1;
    FToolBars.push_back(ToolBar);
    const int index = Count() - 1;
    const int gap = Rows().ToolBarGap();
    if (ToolBar->DockFullSize()) {
        FillRow(index);
    } else {
        const TRect b = ToolBar->DockBounds();
        if (Horizontal()) {
            const int left = index == 0 ? FRowRect.Left + gap : Pos(index - 1) + Len(index - 1) + gap;
            PlaceBar(ToolBar, left, b.Top, b.Width(), b.Height());
        } else {
            // A vertical row fills from its far end.
            const int top =
                index == 0 ? FRowRect.Bottom - gap - b.Height() : Pos(index - 1) + Len(index - 1) + gap;
            PlaceBar(ToolBar, b.Left, top, b.Width(), b.Height());
        }
    }
    ToolBar->SetRowIndex(Index());
    Rows().UpdateRows();
    return index;
}

void TRowCollectionItem::RemoveToolBar(IDockRowClient* ToolBar, bool DeleteWhenEmpty) {
    const int i = IndexOf(ToolBar);
    if (i < 0)
        return;
    FToolBars.erase(FToolBars.begin() + i);
    ToolBar->SetRowIndex(-1);
    ArrangeRow();
    if (DeleteWhenEmpty)
        Rows().DeleteRowIfEmpty(this);
}

// Moves toolbars Last, Last-1, ... back into free space before them, taking up to Need pixels.
void TRowCollectionItem::TakeFreeSpaceBefore(int Last, int& Need) {
    for (int j = Last; j >= 0 && Need > 0; --j) {
        const int d = std::min(FreeSpace(j - 1, j), Need);
        if (d > 0) {
            MoveRange(j, Last, -d);
            Need -= d;
        }
    }
}

// Narrows toolbars Last, Last-1, ... within their limits until Need pixels are won or none can give.
void TRowCollectionItem::ShrinkBefore(int Last, int& Need) {
    while (Need > 0) {
        bool gave = false;
        for (int j = Last; j >= 0 && Need > 0; --j) {
            const int c = std::min(ShrinkRoom(j), Need);
            if (c > 0) {
                Widen(j, -c);
                MoveRange(j + 1, Last, -c);
                Need -= c;
                gave = true;
            }
        }
        if (!gave)
            break;
    }
}

void TRowCollectionItem::ArrangeRow() {
    const int n = Count();
    const bool horizontal = Horizontal();
    for (int k = 0; k < n; ++k) {
        IDockRowClient* bar = FToolBars[k];
        const TRect b = bar->DockBounds();
        if (horizontal)
            PlaceBar(bar, b.Left, FRowRect.Top, b.Width(), b.Height());
        else
            PlaceBar(bar, FRowRect.Left, b.Top, b.Width(), b.Height());
        bar->SetRowIndex(Index());
        if (k == 0 && bar->DockFullSize()) {
            FillRow(0);
            break;
        }
        int a = FreeSpace(k, k + 1);
        if (a > 0) {
            for (int j = k; j >= 0 && a >= 1; --j) {
                const int c = std::min(GrowRoom(j), a);
                if (c > 0) {
                    Widen(j, c);
                    MoveRange(j + 1, k, c);
                    a -= c;
                }
            }
            if (horizontal)
                for (int j = k + 1; j < n && a >= 1; ++j) {
                    const int c = std::min(GrowRoom(j), a);
                    if (c > 0) {
                        Widen(j, c);
                        a -= c;
                    }
                }
        } else if (a < 0) {
            int o = -a;
            TakeFreeSpaceBefore(k, o);
            ShrinkBefore(k, o);
        }
        int C = GrowRoom(k);
        for (int j = k; j >= 0 && C > 0; --j) {
            const int d = std::min(FreeSpace(j - 1, j), C);
            if (d > 0) {
                MoveRange(j, k, -d);
                Widen(j, d);
                C -= d;
            }
        }
    }
    for (int l = 0; l < n; ++l) {
        if (l == 0) {
            const int f = FreeSpace(-1, 0);
            if (f < 0)
                MoveRange(0, 0, -f);
        }
        if (l == n - 1) {
            const int a = FreeSpace(l, n);
            if (a < 0) {
                int o = -a;
                TakeFreeSpaceBefore(l, o);
                ShrinkBefore(l, o);
            }
        } else {
            const int f = FreeSpace(l, l + 1);
            if (f < 0)
                MoveRange(l + 1, l + 1, -f);
        }
    }
}

void TRowCollectionItem::ResolveBoundsInRow(IDockRowClient* ToolBar, int& X, int& W) {
    const int c = IndexOf(ToolBar);
    if (c < 0)
        throw plat::Exception("Invalid ToolBar Index");
    const int n = Count();
    const int last = n - 1;
    const int gap = Rows().ToolBarGap();
    auto sumGrow = [&](int from, int to) {
        int s = 0;
        for (int j = from; j <= to; ++j)
            s += std::max(0, GrowRoom(j));
        return s;
    };

    if (X < Pos(c)) {
        X = std::max(X, RowStart() + gap);
        int need = Pos(c) - X;
        if (c == 0)
            return;
        for (int j = c; j >= 0 && need >= 1; --j) {
            const int d = std::min(FreeSpace(j - 1, j), need);
            if (d > 0) {
                MoveRange(j, c, -d);
                need -= d;
            }
        }
        if (need > 0 && FreeSpace(last, n) < 1) {
            for (int j = c - 1; j >= 0 && need >= 1; --j) {
                const int o = std::min({need, ShrinkRoom(j), sumGrow(c, last)});
                if (o <= 0)
                    continue;
                Widen(j, -o);
                MoveRange(j + 1, c - 1, -o);
                // The toolbars from c on take the room, each growing towards the start.
                int rest = o;
                for (int m = c; m <= last && rest > 0; ++m) {
                    const int g = std::min(std::max(0, GrowRoom(m)), rest);
                    if (g > 0) {
                        MoveRange(c, m, -g);
                        Widen(m, g);
                        rest -= g;
                    }
                }
                need -= o;
            }
        }
        if (need > 0 && !ToolBar->DockLoading() && Pos(c - 1) + 5 >= Pos(c) - need) {
            std::swap(FToolBars[c], FToolBars[c - 1]);
            ArrangeRow();
        }
    } else if (X > Pos(c)) {
        int need = X - Pos(c);
        for (int j = c; j <= last && need >= 1; ++j) {
            const int d = std::min(FreeSpace(j, j + 1), need);
            if (d > 0) {
                MoveRange(c, j, d);
                need -= d;
            }
        }
        int before = 0;
        for (int j = c; j >= 0; --j)
            before += FreeSpace(j - 1, j);
        if (need > 0 && before < 1) {
            int e = std::min(need, sumGrow(0, c - 1));
            for (int j = last; j >= c && e >= 1; --j) {
                const int t = std::min(e, ShrinkRoom(j));
                if (t <= 0)
                    continue;
                SetAlong(j, Pos(j) + t, Len(j) - t);
                MoveRange(c + 1, j - 1, t);
                int rest = t;
                for (int m = c - 1; m >= 0 && rest > 0; --m) {
                    const int g = std::min(std::max(0, GrowRoom(m)), rest);
                    if (g > 0) {
                        Widen(m, g);
                        MoveRange(m + 1, c - 1, g);
                        rest -= g;
                    }
                }
                e -= t;
            }
        }
    } else if (W < Len(c)) {
        if (!Horizontal() || n != 1)
            return;
        ArrangeRow();
        W = Len(c);
        return;
    } else if (W > Len(c)) {
        int o = W - Len(c);
        for (int j = c; j <= last && o >= 1; ++j) {
            const int d = std::min(FreeSpace(j, j + 1), o);
            if (d > 0) {
                MoveRange(c + 1, j, d);
                Widen(c, d);
                o -= d;
            }
        }
        for (int j = c; j >= 0 && o >= 1; --j) {
            const int d = std::min(FreeSpace(j - 1, j), o);
            if (d > 0) {
                MoveRange(j, c, -d);
                Widen(c, d);
                o -= d;
            }
        }
    }
    // An exchange moved the dragged toolbar to another place in the row.
    const int now = IndexOf(ToolBar);
    X = Pos(now);
    W = Len(now);
}

// ---- TRowCollection ----

TRowCollection::TRowCollection(IDockRowsOwner* Owner)
    : TCollection(plat::TCollectionItemClass::Of<TRowCollectionItem>()), FOwner(Owner) {}

plat::TPersistent* TRowCollection::GetOwner() const {
    return FOwner ? FOwner->RowsPersistentOwner() : nullptr;
}

bool TRowCollection::Horizontal() const {
    const TDockAlign a = FOwner->DockAlign();
    return a == daTop || a == daBottom;
}

bool TRowCollection::RowChangesAllowed() const {
    return !FOwner->LockHeight() || FOwner->Designing() || !FOwner->RowsLoaded();
}

TRowCollectionItem* TRowCollection::AddRow() {
    auto* row = static_cast<TRowCollectionItem*>(Add());
    UpdateRows();
    return row;
}

TRowCollectionItem* TRowCollection::InsertRow(int Index) {
    auto* row = static_cast<TRowCollectionItem*>(Insert(Index));
    UpdateRows();
    return row;
}

void TRowCollection::DeleteRowIfEmpty(TRowCollectionItem* Row) {
    if (Row->Count() > 0 || !RowChangesAllowed())
        return;
    Delete(Row->Index());
    UpdateRows();
}

int TRowCollection::FindRowOf(const IDockRowClient* ToolBar) const {
    for (int i = 0; i < Count(); ++i)
        if (Rows(i)->IndexOf(ToolBar) >= 0)
            return i;
    return -1;
}

void TRowCollection::MoveToRow(IDockRowClient* ToolBar, int Index) {
    if (Index < 0 || Index >= Count())
        throw plat::Exception("Invalid Row Index");
    if (!ToolBar || Index == ToolBar->RowIndex() || !Rows(Index)->CanAcceptToolBar(ToolBar))
        return;
    TRowCollectionItem* target = Rows(Index);
    const int from = FindRowOf(ToolBar);
    TRowCollectionItem* old = from >= 0 ? Rows(from) : nullptr;
    if (old)
        old->RemoveToolBar(ToolBar, false);
    target->AddToolBar(ToolBar);
    if (old)
        DeleteRowIfEmpty(old);
}

void TRowCollection::UpdateRows() {
    const TRect panel = FOwner->PanelBounds();
    const bool horizontal = Horizontal();
    int at = FRowGap;
    for (int i = 0; i < Count(); ++i) {
        TRowCollectionItem* row = Rows(i);
        const int t = row->RowThickness();
        if (horizontal)
            row->SetRowRect(TRect(kSideMargin, at, panel.Width() - kSideMargin, at + t + FRowGap));
        else
            row->SetRowRect(TRect(at, kSideMargin, at + t + FRowGap, panel.Height() - kSideMargin));
        row->ArrangeRow();
        at += row->RowThickness() + FRowGap;
    }
    UpdatePanelSize();
}

void TRowCollection::UpdatePanelSize() {
    if (!RowChangesAllowed())
        return;
    const bool horizontal = Horizontal();
    const int margin = horizontal ? kEndMargin : kSideMargin;
    const bool designSize = FOwner->Designing() && !FOwner->UseRunTimeHeight();
    int size;
    if (Count() > 0) {
        const TRect last = Rows(Count() - 1)->RowRect();
        size = (horizontal ? last.Bottom : last.Right) + margin + (designSize ? 13 : 0);
    } else {
        size = designSize ? 2 * margin + 13 : FOwner->MinimumSize();
    }
    const TRect b = FOwner->PanelBounds();
    switch (FOwner->DockAlign()) {
    case daTop:
        FOwner->SetPanelBounds(b.Left, b.Top, b.Width(), size);
        break;
    case daLeft:
        FOwner->SetPanelBounds(b.Left, b.Top, size, b.Height());
        break;
    case daBottom:
        // Grows upwards: the bottom edge stays where the form put it.
        if (size > b.Height())
            FOwner->SetPanelBounds(b.Left, b.Bottom - size, b.Width(), size);
        else
            FOwner->SetPanelBounds(b.Left, b.Top, b.Width(), size);
        break;
    case daRight:
        if (size > b.Width())
            FOwner->SetPanelBounds(b.Right - size, b.Top, size, b.Height());
        else
            FOwner->SetPanelBounds(b.Left, b.Top, size, b.Height());
        break;
    }
}

void TRowCollection::IsolateToolBar(IDockRowClient* ToolBar) {
    const int r = ToolBar->RowIndex();
    if (r < 0 || r >= Count())
        return;
    Rows(r)->RemoveToolBar(ToolBar, true);
    TRowCollectionItem* row = InsertRow(std::min(r, Count()));
    row->AddToolBar(ToolBar);
    row->ArrangeRow();
}

void TRowCollection::ToolBarVisibilityChanged(IDockRowClient* ToolBar) {
    const int r = ToolBar->RowIndex();
    if (!ToolBar->DockVisible()) {
        if (r >= 0 && r < Count())
            Rows(r)->RemoveToolBar(ToolBar, true);
        return;
    }
    if (FindRowOf(ToolBar) >= 0)
        return;
    if (FOwner->LockHeight() && Count() > 0)
        Rows(Count() - 1)->AddToolBar(ToolBar);
    else
        AddRow()->AddToolBar(ToolBar);
}

// Takes the toolbar out of its row and opens a row of its own after row Row; Row is the index before the
// removal, and an emptied row before it shifts it down by one.
void TRowCollection::PutIntoNewRowAfter(IDockRowClient* ToolBar, int Row) {
    const int from = FindRowOf(ToolBar);
    const int before = Count();
    if (from >= 0)
        Rows(from)->RemoveToolBar(ToolBar, true);
    if (from >= 0 && from < Row && Count() < before)
        --Row;
    TRowCollectionItem* row = Row + 1 >= Count() ? AddRow() : InsertRow(Row + 1);
    row->AddToolBar(ToolBar);
}

void TRowCollection::ResolveRowChange(IDockRowClient* ToolBar, int& Top, int& Height) {
    const bool horizontal = Horizontal();
    const int r = FindRowOf(ToolBar);
    if (r < 0)
        return;
    const int n = Count();
    const TRect rr = Rows(r)->RowRect();
    const int T = horizontal ? rr.Top : rr.Left;
    const int y = Top;
    const int inRow = Rows(r)->Count();
    auto across = [&] {
        const TRect b = ToolBar->DockBounds();
        return horizontal ? b.Top : b.Left;
    };
    auto rowTop = [&](int i) { return horizontal ? Rows(i)->RowRect().Top : Rows(i)->RowRect().Left; };
    auto rowBottom = [&](int i) { return horizontal ? Rows(i)->RowRect().Bottom : Rows(i)->RowRect().Right; };

    if (y >= T - 5 && y <= T - 3 && inRow >= 2) {
        if (RowChangesAllowed()) {
            Rows(r)->RemoveToolBar(ToolBar, true);
            InsertRow(r)->AddToolBar(ToolBar);
        }
        Top = across();
    } else if (y < T - 6 && r > 0) {
        // Above every row the request means the first row.
        int i = 0;
        for (int k = 0; k < r; ++k)
            if (rowTop(k) <= y && y < rowBottom(k)) {
                i = k;
                break;
            }
        if (Rows(i)->CanAcceptToolBar(ToolBar)) {
            MoveToRow(ToolBar, i);
        } else if (RowChangesAllowed()) {
            // Row i lies before row r, so emptying row r leaves its index alone.
            Rows(r)->RemoveToolBar(ToolBar, true);
            InsertRow(i)->AddToolBar(ToolBar);
        }
        Top = across();
    } else if (y >= T + 3 && y <= T + 5 && inRow >= 2) {
        if (RowChangesAllowed())
            PutIntoNewRowAfter(ToolBar, r);
        Top = across();
    } else if (y > T + 5 && r < n - 1) {
        int i = -1;
        for (int k = r + 1; k < n; ++k)
            if (y < rowBottom(k)) {
                i = k;
                break;
            }
        if (i >= 0 && Rows(i)->CanAcceptToolBar(ToolBar)) {
            MoveToRow(ToolBar, i);
        } else if (RowChangesAllowed()) {
            // Past the last row: a new last row.
            PutIntoNewRowAfter(ToolBar, i >= 0 ? i : n - 1);
        } else if (i < 0) {
            // Rows are locked: the last row, when it takes the toolbar.
            MoveToRow(ToolBar, n - 1);
        }
        Top = across();
    } else {
        if (horizontal && FOwner->Designing() && y > T + 5 && r == n - 1 && inRow >= 2) {
            Rows(r)->RemoveToolBar(ToolBar, true);
            AddRow()->AddToolBar(ToolBar);
        }
        const int now = FindRowOf(ToolBar);
        Top = now >= 0 ? rowTop(now) : across();
    }

    const TRect b = ToolBar->DockBounds();
    if (Height != (horizontal ? b.Height() : b.Width())) {
        if (horizontal)
            PlaceBar(ToolBar, b.Left, b.Top, b.Width(), Height);
        else
            PlaceBar(ToolBar, b.Left, b.Top, Height, b.Height());
        UpdateRows();
    }
}

void TRowCollection::AdjustToolBarBounds(IDockRowClient* ToolBar, int& Left, int& Top, int& Width,
                                         int& Height) {
    if (!ToolBar->DockVisible())
        return;
    const bool horizontal = Horizontal();
    if (horizontal)
        ResolveRowChange(ToolBar, Top, Height);
    else
        ResolveRowChange(ToolBar, Left, Width);
    const int r = FindRowOf(ToolBar);
    if (r < 0)
        return;
    if (horizontal)
        Rows(r)->ResolveBoundsInRow(ToolBar, Left, Width);
    else
        Rows(r)->ResolveBoundsInRow(ToolBar, Top, Height);
}

void TRowCollection::LoadRows(const std::vector<IDockRowClient*>& ToolBars) {
    const bool horizontal = Horizontal();
    std::vector<IDockRowClient*> sorted(ToolBars);
    std::stable_sort(sorted.begin(), sorted.end(), [horizontal](IDockRowClient* a, IDockRowClient* b) {
        const TRect ra = a->DockBounds();
        const TRect rb = b->DockBounds();
        return horizontal ? std::pair(ra.Top, ra.Left) < std::pair(rb.Top, rb.Left)
                          : std::pair(ra.Left, ra.Top) < std::pair(rb.Left, rb.Top);
    });
    auto request = [this](IDockRowClient* bar, int left, int top) {
        const TRect b = bar->DockBounds();
        int l = left, t = top, w = b.Width(), h = b.Height();
        AdjustToolBarBounds(bar, l, t, w, h);
        PlaceBar(bar, l, t, w, h);
    };
    for (IDockRowClient* bar : sorted) {
        const TRect designed = bar->DockBounds();
        AddRow()->AddToolBar(bar);
        request(bar, designed.Left, bar->DockBounds().Top);
        request(bar, bar->DockBounds().Left, designed.Top);
    }
}

} // namespace ui
