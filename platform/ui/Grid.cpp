#include "platform/ui/Grid.h"

#include <algorithm>

#include "platform/gfx/FrameControls.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/ControlSupport.h"
#include "platform/ui/Keys.h"
#include "platform/ui/WindowScroll.h"

namespace plat {

PLAT_CLASS_INFO(TInplaceEdit, TCustomEdit)
PLAT_CLASS_INFO(TCustomGrid, TCustomControl)
PLAT_CLASS_INFO_CREATABLE(TDrawGrid, TCustomGrid)
PLAT_CLASS_INFO_CREATABLE(TStringGrid, TDrawGrid)

namespace {

const char* const kGridOptionNames[] = {
    "goFixedVertLine",     "goFixedHorzLine",    "goVertLine",     "goHorzLine", "goRangeSelect",
    "goDrawFocusSelected", "goRowSizing",        "goColSizing",    "goEditing",  "goTabs",
    "goRowSelect",         "goAlwaysShowEditor", "goThumbTracking"};

static_assert(TGridOptions(1) << (std::size(kGridOptionNames) - 1) == goThumbTracking);

constexpr TGridOptions kDefaultOptions =
    goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;

// How close to a line the mouse must be to size a column or row.
constexpr int kSizingMargin = 2;

struct TRegistrar {
    TRegistrar() { RegisterClasses({&TDrawGrid::StaticClass(), &TStringGrid::StaticClass()}); }
} registrar;

} // namespace

PLAT_PROPERTIES(TCustomGrid) {
    props.Integer("ColCount", &TCustomGrid::ColCount, &TCustomGrid::SetColCount, 5);
    props.Integer("RowCount", &TCustomGrid::RowCount, &TCustomGrid::SetRowCount, 5);
    props.Integer("FixedCols", &TCustomGrid::FixedCols, &TCustomGrid::SetFixedCols, 1);
    props.Integer("FixedRows", &TCustomGrid::FixedRows, &TCustomGrid::SetFixedRows, 1);
    props.Integer("DefaultColWidth", &TCustomGrid::DefaultColWidth, &TCustomGrid::SetDefaultColWidth, 64);
    props.Integer("DefaultRowHeight", &TCustomGrid::DefaultRowHeight, &TCustomGrid::SetDefaultRowHeight, 24);
    props.Integer("GridLineWidth", &TCustomGrid::GridLineWidth, &TCustomGrid::SetGridLineWidth, 1);
    props.Set("Options", &TCustomGrid::Options, &TCustomGrid::SetOptions, kGridOptionNames, kDefaultOptions);
    props.Color("FixedColor", &TCustomGrid::FixedColor, &TCustomGrid::SetFixedColor, clBtnFace);
    props.Enum("ScrollBars", &TCustomGrid::ScrollBars, &TCustomGrid::SetScrollBars, kScrollStyleNames,
               ssBoth);
    props.Enum("BorderStyle", &TCustomGrid::BorderStyle, &TCustomGrid::SetBorderStyle, kBorderStyleNames,
               bsSingle);
    props.Boolean("DefaultDrawing", &TCustomGrid::DefaultDrawing, &TCustomGrid::SetDefaultDrawing, true);
    props.Boolean("TabStop", &TCustomGrid::TabStop, &TCustomGrid::SetTabStop, true);
    props.Default("ParentColor", false);
    props.Event("OnDrawCell", &TCustomGrid::OnDrawCell);
    props.Event("OnGetEditText", &TCustomGrid::OnGetEditText);
    props.Event("OnSetEditText", &TCustomGrid::OnSetEditText);
    props.Event("OnSelectCell", &TCustomGrid::OnSelectCell);
    props.Event("OnTopLeftChanged", &TCustomGrid::OnTopLeftChanged);
}

// ---- TInplaceEdit ----

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    SetBorderStyle(bsNone);
    SetTabStop(false);
    SetVisible(false);
}

void TInplaceEdit::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    Params.Style |= ES_AUTOHSCROLL;
}

void TInplaceEdit::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_GETDLGCODE) {
        TCustomEdit::Dispatch(Message);
        Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
        if (FGrid && (FGrid->Options() & goTabs))
            Message.Result |= DLGC_WANTTAB;
        return;
    }
    TCustomEdit::Dispatch(Message);
}

void TInplaceEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomEdit::KeyDown(Key, Shift);
    if (!FGrid || Key == 0)
        return;
    bool toGrid = false;
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE:
        toGrid = true;
        break;
    case VK_TAB:
        toGrid = (FGrid->Options() & goTabs) != 0;
        break;
    case VK_LEFT:
        // With the editor always shown, Left at the start of the text moves to the previous cell.
        toGrid = (FGrid->Options() & goAlwaysShowEditor) && SelStart() == 0 && SelLength() == 0;
        break;
    case VK_RIGHT:
        toGrid = (FGrid->Options() & goAlwaysShowEditor) && SelStart() == CharCount() && SelLength() == 0;
        break;
    case VK_HOME:
    case VK_END:
        toGrid = (Shift & ssCtrl) != 0;
        break;
    }
    if (toGrid) {
        TCustomGrid* grid = FGrid;
        grid->KeyDown(Key, Shift);
        Key = 0;
    }
}

void TInplaceEdit::KeyPress(char32_t& Key) {
    TCustomEdit::KeyPress(Key);
    if (!FGrid || Key == 0)
        return;
    if (Key == U'\r') {
        FGrid->KeyPress(Key);
        Key = 0;
    } else if (Key == U'\t' || Key == 27) {
        Key = 0;
    } else if (Key >= 32 && (!FGrid->CanEditModify() || !FGrid->CanEditAcceptKey(Key))) {
        Key = 0;
    }
}

void TInplaceEdit::DoExit() {
    TCustomEdit::DoExit();
    // Focus that leaves for another control ends editing (unless the editor is to stay).
    if (FGrid && FGrid->EditorMode() && !(FGrid->Options() & goAlwaysShowEditor) && !FGrid->Focused())
        FGrid->HideEditor();
}

void TInplaceEdit::Change() {
    TCustomEdit::Change();
    if (FGrid && !FLoading && FGrid->FEditorMode)
        FGrid->UpdateText();
}

// ---- TCustomGrid ----

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 320, 120);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    FControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque;
    FOptions = kDefaultOptions;
    FCurrent = {1, 1};
    FAnchor = FCurrent;
    FTopLeft = {1, 1};
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomGrid::SetColCount(int Value) {
    Value = std::max(1, Value);
    if (Value == FColCount)
        return;
    int old = FColCount;
    if (FEditorMode)
        HideEditor();
    FColCount = Value;
    FColWidths.resize(std::min<size_t>(FColWidths.size(), Value));
    if (FFixedCols >= FColCount)
        FFixedCols = FColCount - 1;
    FCurrent.X = std::clamp(FCurrent.X, FFixedCols, FColCount - 1);
    FAnchor.X = std::clamp(FAnchor.X, FFixedCols, FColCount - 1);
    ClampTopLeft();
    SizeChanged(old, FRowCount);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetRowCount(int Value) {
    Value = std::max(1, Value);
    if (Value == FRowCount)
        return;
    int old = FRowCount;
    if (FEditorMode)
        HideEditor();
    FRowCount = Value;
    FRowHeights.resize(std::min<size_t>(FRowHeights.size(), Value));
    if (FFixedRows >= FRowCount)
        FFixedRows = FRowCount - 1;
    FCurrent.Y = std::clamp(FCurrent.Y, FFixedRows, FRowCount - 1);
    FAnchor.Y = std::clamp(FAnchor.Y, FFixedRows, FRowCount - 1);
    ClampTopLeft();
    SizeChanged(FColCount, old);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetFixedCols(int Value) {
    if (Value < 0)
        throw EInvalidOperation("Fixed column count must not be negative");
    if (Value >= FColCount)
        throw EInvalidOperation("Fixed column count must be less than column count");
    FFixedCols = Value;
    FCurrent.X = std::max(FCurrent.X, Value);
    FAnchor.X = std::max(FAnchor.X, Value);
    FTopLeft.X = std::max(FTopLeft.X, Value);
    ClampTopLeft();
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetFixedRows(int Value) {
    if (Value < 0)
        throw EInvalidOperation("Fixed row count must not be negative");
    if (Value >= FRowCount)
        throw EInvalidOperation("Fixed row count must be less than row count");
    FFixedRows = Value;
    FCurrent.Y = std::max(FCurrent.Y, Value);
    FAnchor.Y = std::max(FAnchor.Y, Value);
    FTopLeft.Y = std::max(FTopLeft.Y, Value);
    ClampTopLeft();
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
    FDefaultColWidth = std::max(0, Value);
    FColWidths.clear();
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
    FDefaultRowHeight = std::max(0, Value);
    FRowHeights.clear();
    RowHeightsChanged();
}

int TCustomGrid::ColWidths(int Index) const {
    if (Index >= 0 && Index < static_cast<int>(FColWidths.size()) && FColWidths[Index] >= 0)
        return FColWidths[Index];
    return FDefaultColWidth;
}

void TCustomGrid::SetColWidths(int Index, int Value) {
    if (Index < 0 || Index >= FColCount)
        throw EListError("Grid index out of range");
    if (static_cast<int>(FColWidths.size()) <= Index)
        FColWidths.resize(Index + 1, -1);
    FColWidths[Index] = std::max(0, Value);
    ColWidthsChanged();
}

int TCustomGrid::RowHeights(int Index) const {
    if (Index >= 0 && Index < static_cast<int>(FRowHeights.size()) && FRowHeights[Index] >= 0)
        return FRowHeights[Index];
    return FDefaultRowHeight;
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
    if (Index < 0 || Index >= FRowCount)
        throw EListError("Grid index out of range");
    if (static_cast<int>(FRowHeights.size()) <= Index)
        FRowHeights.resize(Index + 1, -1);
    FRowHeights[Index] = std::max(0, Value);
    RowHeightsChanged();
}

void TCustomGrid::ColWidthsChanged() {
    ClampTopLeft();
    UpdateScrollBars();
    UpdateEditor();
    Invalidate();
}

void TCustomGrid::RowHeightsChanged() {
    ClampTopLeft();
    UpdateScrollBars();
    UpdateEditor();
    Invalidate();
}

void TCustomGrid::SetGridLineWidth(int Value) {
    FGridLineWidth = std::max(0, Value);
    ColWidthsChanged();
}

void TCustomGrid::SetOptions(TGridOptions Value) {
    if (Value == FOptions)
        return;
    if (Value & goRowSelect)
        Value &= ~goAlwaysShowEditor;
    FOptions = Value;
    if (!(FOptions & goEditing) && FEditorMode)
        HideEditor();
    if ((FOptions & goAlwaysShowEditor) && (FOptions & goEditing) && Focused())
        ShowEditor();
    if (!(FOptions & goRangeSelect) && !(FOptions & goRowSelect))
        FAnchor = FCurrent;
    Invalidate();
}

void TCustomGrid::SetFixedColor(TColor Value) {
    FFixedColor = Value;
    Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value)
        return;
    FScrollBars = Value;
    UpdateScrollBars();
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    if (HandleAllocated())
        RecreateWnd();
}

// ---- Geometry ----

int TCustomGrid::FixedWidth() const {
    int w = 0;
    for (int i = 0; i < FFixedCols; ++i)
        w += ColWidths(i) + FGridLineWidth;
    return w;
}

int TCustomGrid::FixedHeight() const {
    int h = 0;
    for (int i = 0; i < FFixedRows; ++i)
        h += RowHeights(i) + FGridLineWidth;
    return h;
}

int TCustomGrid::ColLeft(int ACol) const {
    if (ACol < FFixedCols) {
        int x = 0;
        for (int i = 0; i < ACol; ++i)
            x += ColWidths(i) + FGridLineWidth;
        return x;
    }
    if (ACol < FTopLeft.X)
        return -1;
    int x = FixedWidth();
    for (int i = FTopLeft.X; i < ACol; ++i)
        x += ColWidths(i) + FGridLineWidth;
    return x;
}

int TCustomGrid::RowTop(int ARow) const {
    if (ARow < FFixedRows) {
        int y = 0;
        for (int i = 0; i < ARow; ++i)
            y += RowHeights(i) + FGridLineWidth;
        return y;
    }
    if (ARow < FTopLeft.Y)
        return -1;
    int y = FixedHeight();
    for (int i = FTopLeft.Y; i < ARow; ++i)
        y += RowHeights(i) + FGridLineWidth;
    return y;
}

TRect TCustomGrid::CellRect(int ACol, int ARow) const {
    if (ACol < 0 || ACol >= FColCount || ARow < 0 || ARow >= FRowCount)
        return TRect();
    int x = ColLeft(ACol), y = RowTop(ARow);
    TRect client = ClientRect();
    if (x < 0 || y < 0 || x >= client.Right || y >= client.Bottom)
        return TRect();
    return TRect(x, y, x + ColWidths(ACol), y + RowHeights(ARow));
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
    TGridCoord c = MouseCoord(X, Y);
    ACol = c.X;
    ARow = c.Y;
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const {
    TGridCoord none{-1, -1};
    if (X < 0 || Y < 0)
        return none;
    auto find = [this](int pos, int fixed, int first, int count, bool cols) {
        int edge = 0;
        for (int i = 0; i < fixed; ++i) {
            edge += (cols ? ColWidths(i) : RowHeights(i)) + FGridLineWidth;
            if (pos < edge)
                return i;
        }
        for (int i = first; i < count; ++i) {
            edge += (cols ? ColWidths(i) : RowHeights(i)) + FGridLineWidth;
            if (pos < edge)
                return i;
        }
        return -1;
    };
    TRect client = ClientRect();
    if (X >= client.Right || Y >= client.Bottom)
        return none;
    int c = find(X, FFixedCols, FTopLeft.X, FColCount, true);
    int r = find(Y, FFixedRows, FTopLeft.Y, FRowCount, false);
    if (c < 0 || r < 0)
        return none;
    return {c, r};
}

int TCustomGrid::VisibleColCount() const {
    int room = ClientWidth() - FixedWidth(), n = 0;
    for (int i = FTopLeft.X; i < FColCount; ++i) {
        room -= ColWidths(i) + FGridLineWidth;
        if (room < -FGridLineWidth)
            break;
        ++n;
    }
    return std::max(n, FColCount > FFixedCols ? 1 : 0);
}

int TCustomGrid::VisibleRowCount() const {
    int room = ClientHeight() - FixedHeight(), n = 0;
    for (int i = FTopLeft.Y; i < FRowCount; ++i) {
        room -= RowHeights(i) + FGridLineWidth;
        if (room < -FGridLineWidth)
            break;
        ++n;
    }
    return std::max(n, FRowCount > FFixedRows ? 1 : 0);
}

int TCustomGrid::MaxTopLeft(bool Vertical) const {
    int count = Vertical ? FRowCount : FColCount;
    int fixed = Vertical ? FFixedRows : FFixedCols;
    int room = (Vertical ? ClientHeight() - FixedHeight() : ClientWidth() - FixedWidth()) + FGridLineWidth;
    int top = count - 1;
    room -= (Vertical ? RowHeights(top) : ColWidths(top)) + FGridLineWidth;
    while (top > fixed) {
        int size = (Vertical ? RowHeights(top - 1) : ColWidths(top - 1)) + FGridLineWidth;
        if (size > room)
            break;
        room -= size;
        --top;
    }
    return std::max(top, fixed);
}

void TCustomGrid::ClampTopLeft() {
    FTopLeft.X = std::clamp(FTopLeft.X, FFixedCols, std::max(FFixedCols, MaxTopLeft(false)));
    FTopLeft.Y = std::clamp(FTopLeft.Y, FFixedRows, std::max(FFixedRows, MaxTopLeft(true)));
}

// ---- Scrolling ----

void TCustomGrid::SetTopRow(int Value) {
    TGridCoord old = FTopLeft;
    FTopLeft.Y = Value;
    ClampTopLeft();
    if (!(old == FTopLeft))
        TopLeftChanged();
}

void TCustomGrid::SetLeftCol(int Value) {
    TGridCoord old = FTopLeft;
    FTopLeft.X = Value;
    ClampTopLeft();
    if (!(old == FTopLeft))
        TopLeftChanged();
}

void TCustomGrid::TopLeftChanged() {
    UpdateScrollBars();
    UpdateEditor();
    Invalidate();
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}

void TCustomGrid::ScrollIntoView(int ACol, int ARow) {
    TGridCoord saved = FTopLeft;
    if (ACol >= FFixedCols) {
        if (ACol < FTopLeft.X)
            FTopLeft.X = ACol;
        else
            while (FTopLeft.X < ACol && ColLeft(ACol) + ColWidths(ACol) > ClientWidth())
                ++FTopLeft.X;
    }
    if (ARow >= FFixedRows) {
        if (ARow < FTopLeft.Y)
            FTopLeft.Y = ARow;
        else
            while (FTopLeft.Y < ARow && RowTop(ARow) + RowHeights(ARow) > ClientHeight())
                ++FTopLeft.Y;
    }
    ClampTopLeft();
    if (!(saved == FTopLeft))
        TopLeftChanged();
}

void TCustomGrid::UpdateScrollBars() {
    if (!HandleAllocated() || FUpdatingScrollBars)
        return;
    FUpdatingScrollBars = true;
    // Showing one bar narrows the room for the other: settle in two passes.
    for (int pass = 0; pass < 2; ++pass) {
        for (bool vertical : {true, false}) {
            bool allowed = vertical ? (FScrollBars == ssVertical || FScrollBars == ssBoth)
                                    : (FScrollBars == ssHorizontal || FScrollBars == ssBoth);
            int fixed = vertical ? FFixedRows : FFixedCols;
            int count = vertical ? FRowCount : FColCount;
            TScrollInfo info;
            info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            info.nMin = fixed;
            info.nMax = std::max(fixed, count - 1);
            int maxTop = MaxTopLeft(vertical);
            info.nPage = allowed ? static_cast<uint32_t>(count - maxTop) : static_cast<uint32_t>(count + 1);
            info.nPos = vertical ? FTopLeft.Y : FTopLeft.X;
            SetScrollInfo(Handle(), vertical ? SB_VERT : SB_HORZ, info, true);
        }
        ClampTopLeft();
    }
    FUpdatingScrollBars = false;
}

void TCustomGrid::ScrollMessage(bool Vertical, int Code) {
    int pos = Vertical ? FTopLeft.Y : FTopLeft.X;
    int page = Vertical ? VisibleRowCount() : VisibleColCount();
    int fixed = Vertical ? FFixedRows : FFixedCols;
    if (Code == SB_THUMBTRACK && !(FOptions & goThumbTracking))
        return;
    if (!ScrollRequestPosition(Handle(), Vertical ? SB_VERT : SB_HORZ, Code, 1, std::max(1, page), fixed,
                               MaxTopLeft(Vertical), pos))
        return;
    if (Vertical)
        SetTopRow(pos);
    else
        SetLeftCol(pos);
}

void TCustomGrid::Resize() {
    ClampTopLeft();
    UpdateScrollBars();
    UpdateEditor();
    TCustomControl::Resize();
}

bool TCustomGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos))
        return true;
    SetTopRow(FTopLeft.Y - WheelScrollLines(WheelDelta));
    return true;
}

// ---- Current cell and selection ----

TGridRect TCustomGrid::Selection() const {
    TGridRect r;
    if (FOptions & goRowSelect) {
        r.Left = FFixedCols;
        r.Right = FColCount - 1;
        r.Top = std::min(FAnchor.Y, FCurrent.Y);
        r.Bottom = std::max(FAnchor.Y, FCurrent.Y);
        if (!(FOptions & goRangeSelect))
            r.Top = r.Bottom = FCurrent.Y;
        return r;
    }
    r.Left = std::min(FAnchor.X, FCurrent.X);
    r.Right = std::max(FAnchor.X, FCurrent.X);
    r.Top = std::min(FAnchor.Y, FCurrent.Y);
    r.Bottom = std::max(FAnchor.Y, FCurrent.Y);
    return r;
}

void TCustomGrid::SetSelection(TGridRect Value) {
    auto clampCol = [this](int c) { return std::clamp(c, FFixedCols, FColCount - 1); };
    auto clampRow = [this](int r) { return std::clamp(r, FFixedRows, FRowCount - 1); };
    if (FEditorMode)
        HideEditor();
    FAnchor = {clampCol(Value.Right), clampRow(Value.Bottom)};
    FCurrent = {clampCol(Value.Left), clampRow(Value.Top)};
    if (!(FOptions & (goRangeSelect | goRowSelect)))
        FAnchor = FCurrent;
    ScrollIntoView(FCurrent.X, FCurrent.Y);
    Invalidate();
}

void TCustomGrid::SetCol(int Value) {
    if (Value == FCurrent.X)
        return;
    FocusCell(Value, FCurrent.Y, true);
}

void TCustomGrid::SetRow(int Value) {
    if (Value == FCurrent.Y)
        return;
    FocusCell(FCurrent.X, Value, true);
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
    MoveCurrent(ACol, ARow, MoveAnchor, true);
}

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show) {
    if (ACol < FFixedCols || ACol >= FColCount || ARow < FFixedRows || ARow >= FRowCount)
        throw EInvalidOperation("Grid index out of range");
    if (!SelectCell(ACol, ARow))
        return;
    bool moved = !(FCurrent == TGridCoord{ACol, ARow});
    if (moved && FEditorMode)
        HideEditor();
    FCurrent = {ACol, ARow};
    if (MoveAnchor || !(FOptions & (goRangeSelect | goRowSelect)))
        FAnchor = FCurrent;
    if (Show)
        ScrollIntoView(ACol, ARow);
    Invalidate();
    if (moved)
        Click();
    if ((FOptions & goAlwaysShowEditor) && (FOptions & goEditing) && Focused())
        ShowEditor();
}

bool TCustomGrid::SelectCell(int ACol, int ARow) {
    bool can = true;
    if (OnSelectCell)
        OnSelectCell(this, ACol, ARow, can);
    return can;
}

void TCustomGrid::MoveBy(int DCol, int DRow, TShiftState Shift) {
    bool extend = (Shift & ssShift) && (FOptions & goRangeSelect);
    int c = std::clamp(FCurrent.X + DCol, FFixedCols, FColCount - 1);
    int r = std::clamp(FCurrent.Y + DRow, FFixedRows, FRowCount - 1);
    if (c == FCurrent.X && r == FCurrent.Y && !extend)
        return;
    MoveCurrent(c, r, !extend, true);
}

// ---- Editing ----

bool TCustomGrid::CanEditShow() {
    return (FOptions & goEditing) && !(FOptions & goRowSelect) && HandleAllocated() &&
           FCurrent.X >= FFixedCols && FCurrent.Y >= FFixedRows;
}

std::string TCustomGrid::GetEditText(int ACol, int ARow) {
    std::string s;
    if (OnGetEditText)
        OnGetEditText(this, ACol, ARow, s);
    return s;
}

void TCustomGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    if (OnSetEditText)
        OnSetEditText(this, ACol, ARow, Value);
}

TInplaceEdit* TCustomGrid::CreateEditor() {
    return new TInplaceEdit(this);
}

void TCustomGrid::SetEditorMode(bool Value) {
    if (Value)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::ShowEditor() {
    if (FEditorMode || !CanEditShow())
        return;
    if (!FInplaceEdit) {
        FInplaceEdit = CreateEditor();
        FInplaceEdit->FGrid = this;
        FInplaceEdit->Font()->Assign(Font());
        FInplaceEdit->SetParent(this);
    }
    ScrollIntoView(FCurrent.X, FCurrent.Y);
    FEditCol = FCurrent.X;
    FEditRow = FCurrent.Y;
    FInplaceEdit->FLoading = true;
    FEditStartText = GetEditText(FEditCol, FEditRow);
    FInplaceEdit->SetText(FEditStartText);
    FInplaceEdit->FLoading = false;
    FInplaceEdit->ClearUndo();
    FInplaceEdit->SetReadOnly(!CanEditModify());
    FEditorMode = true;
    UpdateEditor();
    FInplaceEdit->SelectAll();
    if (Focused() && FInplaceEdit->CanFocus())
        FInplaceEdit->SetFocus();
    InvalidateCell(FEditCol, FEditRow);
}

void TCustomGrid::LoadEditorText(const std::string& Value) {
    FInplaceEdit->FLoading = true;
    FInplaceEdit->SetText(Value);
    FInplaceEdit->FLoading = false;
}

void TCustomGrid::ShowEditorChar(char32_t Key) {
    ShowEditor();
    if (!FEditorMode)
        return;
    FInplaceEdit->SelectAll();
    FInplaceEdit->Perform(WM_CHAR, Key, 0);
}

void TCustomGrid::UpdateText() {
    if (FInplaceEdit && FEditCol >= 0 && FEditRow >= 0 && FEditCol < FColCount && FEditRow < FRowCount)
        SetEditText(FEditCol, FEditRow, FInplaceEdit->Text());
}

void TCustomGrid::HideEditor() {
    if (!FEditorMode)
        return;
    FEditorMode = false;
    bool hadFocus = FInplaceEdit->Focused();
    // The closing store runs with the editor already closed, so a derived grid can tell it apart.
    UpdateText();
    int c = FEditCol, r = FEditRow;
    FEditCol = FEditRow = -1;
    if (hadFocus && CanFocus())
        SetFocus();
    FInplaceEdit->SetVisible(false);
    InvalidateCell(c, r);
}

void TCustomGrid::UpdateEditor() {
    if (!FInplaceEdit || !FEditorMode)
        return;
    TRect r = CellRect(FEditCol, FEditRow);
    if (r.IsEmpty()) {
        FInplaceEdit->SetVisible(false);
        return;
    }
    TRect client = ClientRect();
    r.Right = std::min(r.Right, client.Right);
    r.Bottom = std::min(r.Bottom, client.Bottom);
    FInplaceEdit->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    FInplaceEdit->SetVisible(true);
}

// ---- Painting ----

void TCustomGrid::InvalidateCell(int ACol, int ARow) {
    (void)ACol;
    (void)ARow;
    Invalidate();
}

void TCustomGrid::InvalidateCol(int ACol) {
    InvalidateCell(ACol, 0);
}

void TCustomGrid::InvalidateRow(int ARow) {
    InvalidateCell(0, ARow);
}

TGridDrawState TCustomGrid::CellState(int ACol, int ARow) const {
    TGridDrawState s = 0;
    if (ACol < FFixedCols || ARow < FFixedRows)
        return gdFixed;
    bool current = ACol == FCurrent.X && ARow == FCurrent.Y;
    if (current && Focused())
        s |= gdFocused;
    if (Selection().Contains(ACol, ARow)) {
        // The focused cell shows as selected only with goDrawFocusSelected (or whole-row selection).
        if (!current || (FOptions & (goDrawFocusSelected | goRowSelect)) || !Focused())
            s |= gdSelected;
        if (current && FEditorMode)
            s &= ~gdSelected;
    }
    return s;
}

void TCustomGrid::DrawFixedCellFrame(TCanvas& Canvas, TRect ARect, int ACol, int ARow) {
    (void)ACol;
    (void)ARow;
    if (!(FOptions & (goFixedVertLine | goFixedHorzLine)))
        return;
    TRect r = ARect;
    uint32_t flags = 0;
    if (FOptions & goFixedVertLine)
        flags |= BF_LEFT | BF_RIGHT;
    if (FOptions & goFixedHorzLine)
        flags |= BF_TOP | BF_BOTTOM;
    DrawEdge(*Canvas.Handle(), r, BDR_RAISEDINNER, flags);
}

void TCustomGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, ARect, AState);
}

void TCustomGrid::Paint() {
    TCanvas* c = Canvas();
    TRect client = ClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(client);
    int lw = FGridLineWidth;
    auto paintRange = [&](int rowFirst, int rowLast, int colFirst, int colLast) {
        for (int r = rowFirst; r <= rowLast; ++r) {
            for (int col = colFirst; col <= colLast; ++col) {
                TRect rect = CellRect(col, r);
                if (rect.IsEmpty())
                    continue;
                TGridDrawState state = CellState(col, r);
                c->Font()->Assign(Font());
                c->Brush()->SetStyle(bsSolid);
                if (state & gdFixed)
                    c->Brush()->SetColor(FFixedColor);
                else if (state & gdSelected) {
                    c->Brush()->SetColor(clHighlight);
                    c->Font()->SetColor(clHighlightText);
                } else
                    c->Brush()->SetColor(Color());
                if (FDefaultDrawing)
                    c->FillRect(rect);
                DrawCell(col, r, rect, state);
                if (FDefaultDrawing && (state & gdFixed))
                    DrawFixedCellFrame(*c, rect, col, r);
                if (FDefaultDrawing && (state & gdFocused) && !FEditorMode && !(FOptions & goRowSelect)) {
                    c->Brush()->SetColor(Color());
                    c->Font()->SetColor(clWindowText);
                    c->DrawFocusRect(rect);
                }
                // Grid lines to the right of and below the cell.
                if (lw > 0) {
                    bool fixed = (state & gdFixed) != 0;
                    TColor line = fixed ? clWindowFrame : clBtnFace;
                    c->Brush()->SetColor(line);
                    bool vert = fixed ? (FOptions & goFixedVertLine) : (FOptions & goVertLine);
                    bool horz = fixed ? (FOptions & goFixedHorzLine) : (FOptions & goHorzLine);
                    if (vert)
                        c->FillRect(TRect(rect.Right, rect.Top, rect.Right + lw, rect.Bottom + lw));
                    if (horz)
                        c->FillRect(TRect(rect.Left, rect.Bottom, rect.Right + lw, rect.Bottom + lw));
                }
            }
        }
    };
    int lastRow = FTopLeft.Y + VisibleRowCount();
    int lastCol = FTopLeft.X + VisibleColCount();
    lastRow = std::min(lastRow, FRowCount - 1);
    lastCol = std::min(lastCol, FColCount - 1);
    paintRange(0, FFixedRows - 1, 0, FFixedCols - 1);
    paintRange(0, FFixedRows - 1, FTopLeft.X, lastCol);
    paintRange(FTopLeft.Y, lastRow, 0, FFixedCols - 1);
    paintRange(FTopLeft.Y, lastRow, FTopLeft.X, lastCol);
}

// ---- Input ----

void TCustomGrid::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        if (FOptions & goTabs)
            Message.Result |= DLGC_WANTTAB;
        if (FOptions & goEditing)
            Message.Result |= DLGC_WANTALLKEYS;
        return;
    case WM_VSCROLL:
    case WM_HSCROLL:
        ScrollMessage(Message.Msg == WM_VSCROLL, LOWORD(Message.WParam));
        Message.Result = 0;
        return;
    case WM_SIZE:
        TCustomControl::Dispatch(Message);
        ClampTopLeft();
        UpdateEditor();
        return;
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(Message);
        if (FInplaceEdit)
            FInplaceEdit->Font()->Assign(Font());
        Invalidate();
        return;
    }
    TCustomControl::Dispatch(Message);
}

void TCustomGrid::DoEnter() {
    TCustomControl::DoEnter();
    if ((FOptions & goAlwaysShowEditor) && (FOptions & goEditing))
        ShowEditor();
    Invalidate();
}

void TCustomGrid::DoExit() {
    // Leaving for the editor must not close it; the editor closes itself when the focus leaves it.
    TCustomControl::DoExit();
    Invalidate();
}

bool TCustomGrid::SizingAt(int X, int Y, bool& Vertical, int& Index) const {
    if ((FOptions & goColSizing) && Y < FixedHeight()) {
        for (int col = 0; col < FColCount; ++col) {
            if (col >= FFixedCols && col < FTopLeft.X)
                continue;
            int left = ColLeft(col);
            if (left < 0 || left > ClientWidth())
                continue;
            int line = left + ColWidths(col);
            if (X >= line - kSizingMargin && X <= line + FGridLineWidth + kSizingMargin) {
                Vertical = false;
                Index = col;
                return true;
            }
        }
    }
    if ((FOptions & goRowSizing) && X < FixedWidth()) {
        for (int row = 0; row < FRowCount; ++row) {
            if (row >= FFixedRows && row < FTopLeft.Y)
                continue;
            int top = RowTop(row);
            if (top < 0 || top > ClientHeight())
                continue;
            int line = top + RowHeights(row);
            if (Y >= line - kSizingMargin && Y <= line + FGridLineWidth + kSizingMargin) {
                Vertical = true;
                Index = row;
                return true;
            }
        }
    }
    return false;
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    bool wasFocused = Focused() || (FInplaceEdit && FInplaceEdit->Focused());
    if (CanFocus() && !Focused() && !(FInplaceEdit && FInplaceEdit->Focused()))
        SetFocus();
    if (Button == mbLeft) {
        bool vertical = false;
        int index = -1;
        if (SizingAt(X, Y, vertical, index)) {
            if (FEditorMode)
                HideEditor();
            FGridState = vertical ? gsRowSizing : gsColSizing;
            FSizingIndex = index;
            FSizingStart = vertical ? Y : X;
            FSizingPos = vertical ? RowHeights(index) : ColWidths(index);
        } else {
            TGridCoord cell = MouseCoord(X, Y);
            if (cell.X >= FFixedCols && cell.Y >= FFixedRows) {
                bool same = cell == FCurrent;
                if ((Shift & ssShift) && (FOptions & goRangeSelect)) {
                    MoveCurrent(cell.X, cell.Y, false, true);
                } else {
                    MoveCurrent(cell.X, cell.Y, true, true);
                    // A click on the current cell of a focused grid opens the editor on release.
                    FClickedCurrent = same && wasFocused && (FOptions & goEditing);
                }
                if (FOptions & (goRangeSelect | goRowSelect))
                    FGridState = gsSelecting;
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
    switch (FGridState) {
    case gsSelecting: {
        TRect client = ClientRect();
        int cx = std::clamp(X, 0, std::max(0, client.Right - 1));
        int cy = std::clamp(Y, 0, std::max(0, client.Bottom - 1));
        TGridCoord cell = MouseCoord(cx, cy);
        if (Y >= client.Bottom && FCurrent.Y + 1 < FRowCount)
            cell = {cell.X >= 0 ? cell.X : FCurrent.X, FCurrent.Y + 1};
        else if (Y < FixedHeight() && FCurrent.Y > FFixedRows && FTopLeft.Y > FFixedRows)
            cell = {cell.X >= 0 ? cell.X : FCurrent.X, FTopLeft.Y - 1};
        if (cell.X >= FFixedCols && cell.Y >= FFixedRows && !(cell == FCurrent)) {
            FClickedCurrent = false;
            MoveCurrent(cell.X, cell.Y, false, true);
        }
        break;
    }
    case gsColSizing:
        SetColWidths(FSizingIndex, std::max(0, FSizingPos + X - FSizingStart));
        break;
    case gsRowSizing:
        SetRowHeights(FSizingIndex, std::max(0, FSizingPos + Y - FSizingStart));
        break;
    case gsNormal: {
        bool vertical = false;
        int index;
        bool sizing = SizingAt(X, Y, vertical, index);
        TCursor want = sizing ? (vertical ? crVSplit : crHSplit) : crDefault;
        if (Cursor() != want && (Cursor() == crDefault || Cursor() == crHSplit || Cursor() == crVSplit))
            SetCursor(want);
        break;
    }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FGridState = gsNormal;
    if (FClickedCurrent && Button == mbLeft) {
        FClickedCurrent = false;
        if (MouseCoord(X, Y) == FCurrent)
            ShowEditor();
    }
    FSizingIndex = -1;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGrid::DblClick() {
    TCustomControl::DblClick();
}

void TCustomGrid::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    bool ctrl = (Shift & ssCtrl) != 0;
    bool rowSelect = (FOptions & goRowSelect) != 0;
    int page = std::max(1, VisibleRowCount());
    switch (Key) {
    case VK_UP:
        MoveBy(0, -1, Shift);
        break;
    case VK_DOWN:
        MoveBy(0, 1, Shift);
        break;
    case VK_LEFT:
        if (rowSelect)
            SetLeftCol(FTopLeft.X - 1);
        else
            MoveBy(-1, 0, Shift);
        break;
    case VK_RIGHT:
        if (rowSelect)
            SetLeftCol(FTopLeft.X + 1);
        else
            MoveBy(1, 0, Shift);
        break;
    case VK_PRIOR:
        MoveBy(0, -page, Shift);
        break;
    case VK_NEXT:
        MoveBy(0, page, Shift);
        break;
    case VK_HOME:
        if (ctrl || rowSelect)
            MoveBy(0, FFixedRows - FCurrent.Y, Shift);
        if (!rowSelect)
            MoveBy(FFixedCols - FCurrent.X, 0, Shift);
        break;
    case VK_END:
        if (ctrl || rowSelect)
            MoveBy(0, FRowCount - 1 - FCurrent.Y, Shift);
        if (!rowSelect)
            MoveBy(FColCount - 1 - FCurrent.X, 0, Shift);
        break;
    case VK_TAB:
        if (!(FOptions & goTabs) || (Shift & (ssAlt | ssCtrl)))
            return;
        {
            // Tab walks the cells row by row; it stops at the first and the last cell.
            int c = FCurrent.X, r = FCurrent.Y;
            if (Shift & ssShift) {
                if (--c < FFixedCols) {
                    c = FColCount - 1;
                    --r;
                }
            } else if (++c >= FColCount) {
                c = FFixedCols;
                ++r;
            }
            if (rowSelect)
                c = FCurrent.X;
            if (r >= FFixedRows && r < FRowCount)
                MoveCurrent(c, r, true, true);
        }
        break;
    case VK_F2:
        if (FOptions & goEditing)
            ShowEditor();
        break;
    case VK_ESCAPE:
        if (FEditorMode && FInplaceEdit) {
            // Escape takes back what was typed since the editor opened.
            if (FInplaceEdit->Text() != FEditStartText)
                FInplaceEdit->SetText(FEditStartText);
            if (!(FOptions & goAlwaysShowEditor))
                HideEditor();
            else
                UpdateText();
        } else
            return;
        break;
    default:
        return;
    }
    Key = 0;
}

void TCustomGrid::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key == 0)
        return;
    if (Key == U'\r') {
        if (!(FOptions & goEditing) || (FOptions & goAlwaysShowEditor))
            return;
        if (FEditorMode)
            HideEditor();
        else
            ShowEditor();
        Key = 0;
        return;
    }
    if (!FEditorMode && (FOptions & goEditing) && Key >= 32 && CanEditAcceptKey(Key)) {
        char32_t k = Key;
        Key = 0;
        if (CanEditShow() && CanEditModify())
            ShowEditorChar(k);
    }
}

// ---- TStringGrid ----

std::string TStringGrid::Cells(int ACol, int ARow) const {
    auto it = FCells.find({ACol, ARow});
    return it == FCells.end() ? std::string() : it->second.Text;
}

void TStringGrid::SetCells(int ACol, int ARow, const std::string& Value) {
    if (ACol < 0 || ARow < 0)
        throw EListError("Grid index out of range");
    auto it = FCells.find({ACol, ARow});
    if (it == FCells.end()) {
        if (Value.empty())
            return;
        it = FCells.emplace(std::make_pair(ACol, ARow), TCell{}).first;
    }
    it->second.Text = Value;
    if (Value.empty() && !it->second.Object)
        FCells.erase(it);
    InvalidateCell(ACol, ARow);
    // Code that changes the cell being edited shows in the editor.
    if (FEditorMode && FInplaceEdit && ACol == Col() && ARow == Row() && FInplaceEdit->Text() != Value)
        LoadEditorText(Value);
}

TObject* TStringGrid::Objects(int ACol, int ARow) const {
    auto it = FCells.find({ACol, ARow});
    return it == FCells.end() ? nullptr : it->second.Object;
}

void TStringGrid::SetObjects(int ACol, int ARow, TObject* Value) {
    if (ACol < 0 || ARow < 0)
        throw EListError("Grid index out of range");
    auto it = FCells.find({ACol, ARow});
    if (it == FCells.end()) {
        if (!Value)
            return;
        it = FCells.emplace(std::make_pair(ACol, ARow), TCell{}).first;
    }
    it->second.Object = Value;
    if (!Value && it->second.Text.empty())
        FCells.erase(it);
}

void TStringGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    if (DefaultDrawing()) {
        auto it = FCells.find({ACol, ARow});
        if (it != FCells.end() && !it->second.Text.empty())
            Canvas()->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, it->second.Text);
    }
    TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

std::string TStringGrid::GetEditText(int ACol, int ARow) {
    std::string s = Cells(ACol, ARow);
    if (OnGetEditText)
        OnGetEditText(this, ACol, ARow, s);
    return s;
}

void TStringGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    auto it = FCells.find({ACol, ARow});
    std::string old = it == FCells.end() ? std::string() : it->second.Text;
    if (old != Value) {
        FCells[{ACol, ARow}].Text = Value;
        InvalidateCell(ACol, ARow);
    }
    TDrawGrid::SetEditText(ACol, ARow, Value);
}

} // namespace plat
