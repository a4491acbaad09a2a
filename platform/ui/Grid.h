// The grid controls: a scrolling table of cells with fixed (header) rows and columns, a current cell, a
// range selection, column and row sizing by mouse, and an in-place editor that edits the current cell.
// TCustomGrid holds the behaviour and leaves the cell contents to derived grids; TDrawGrid hands painting
// and editing to events; TStringGrid keeps a text and an object per cell.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/ui/Control.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/TextAlignment.h"

namespace plat {

struct TGridCoord {
    int X = 0;
    int Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TGridRect&) const = default;
    bool Contains(int ACol, int ARow) const {
        return ACol >= Left && ACol <= Right && ARow >= Top && ARow <= Bottom;
    }
};

// Grid options (bit i is the i-th name of the published set).
using TGridOptions = uint32_t;
inline constexpr TGridOptions goFixedVertLine = 1u << 0;
inline constexpr TGridOptions goFixedHorzLine = 1u << 1;
inline constexpr TGridOptions goVertLine = 1u << 2;
inline constexpr TGridOptions goHorzLine = 1u << 3;
inline constexpr TGridOptions goRangeSelect = 1u << 4;
inline constexpr TGridOptions goDrawFocusSelected = 1u << 5;
inline constexpr TGridOptions goRowSizing = 1u << 6;
inline constexpr TGridOptions goColSizing = 1u << 7;
inline constexpr TGridOptions goEditing = 1u << 8;
inline constexpr TGridOptions goTabs = 1u << 9;
inline constexpr TGridOptions goRowSelect = 1u << 10;
inline constexpr TGridOptions goAlwaysShowEditor = 1u << 11;
inline constexpr TGridOptions goThumbTracking = 1u << 12;

// How a cell is drawn.
using TGridDrawState = uint8_t;
inline constexpr TGridDrawState gdSelected = 1;
inline constexpr TGridDrawState gdFocused = 2;
inline constexpr TGridDrawState gdFixed = 4;

// What the mouse is doing in the grid.
enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing };

class TCustomGrid;

using TDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;

// The edit that floats over the current cell while the grid is in editor mode. Keys that move between
// cells (Tab, Enter, Escape, Up, Down, page keys) go to the grid.
class TInplaceEdit : public TCustomEdit {
    PLAT_CLASS(TInplaceEdit)
public:
    explicit TInplaceEdit(TComponent* AOwner);
    TCustomGrid* Grid() const { return FGrid; }

protected:
    friend class TCustomGrid;
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoExit() override;
    void Change() override;

    TCustomGrid* FGrid = nullptr;
    bool FLoading = false; // the grid is putting a cell's text in
};

class TCustomGrid : public TCustomControl {
    PLAT_CLASS(TCustomGrid)
public:
    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;

    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }

    // The current cell. Moving it asks SelectCell first; with goRangeSelect the selection collapses.
    int Col() const { return FCurrent.X; }
    void SetCol(int Value);
    int Row() const { return FCurrent.Y; }
    void SetRow(int Value);
    TGridRect Selection() const;
    void SetSelection(TGridRect Value);
    // The first scrollable row and column in view.
    int TopRow() const { return FTopLeft.Y; }
    void SetTopRow(int Value);
    int LeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int Value);
    // Scrollable rows and columns wholly in view.
    int VisibleColCount() const;
    int VisibleRowCount() const;

    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
    TGridState GridState() const { return FGridState; }

    // The cell under a client point; -1, -1 outside every cell.
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    TGridCoord MouseCoord(int X, int Y) const;
    // The cell's client rectangle (without its grid lines); empty when it is not in view.
    TRect CellRect(int ACol, int ARow) const;

    TDrawCellEvent OnDrawCell;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;
    TSelectCellEvent OnSelectCell;
    TNotifyEvent OnTopLeftChanged;

protected:
    friend class TInplaceEdit;
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    void DblClick() override;

    // Cell contents. DrawCell paints one cell (its background is filled already when DefaultDrawing).
    virtual void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState);
    // Paints the frame of a fixed cell; the office-style grids replace it.
    virtual void DrawFixedCellFrame(TCanvas& Canvas, TRect ARect, int ACol, int ARow);
    virtual bool SelectCell(int ACol, int ARow);
    virtual std::string GetEditText(int ACol, int ARow);
    // Called with the editor's text on every change while editing and once more as the editor closes.
    virtual void SetEditText(int ACol, int ARow, const std::string& Value);
    virtual bool CanEditShow();
    virtual bool CanEditModify() { return true; }
    virtual bool CanEditAcceptKey(char32_t Key) { return Key >= 32; }
    virtual TInplaceEdit* CreateEditor();
    void ShowEditor();
    void HideEditor();
    // Opens the editor and lets Key replace the cell's text.
    void ShowEditorChar(char32_t Key);
    // Puts a text into the open editor without storing it back.
    void LoadEditorText(const std::string& Value);
    // Stores the editor's text through SetEditText.
    void UpdateText();
    virtual void TopLeftChanged();
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void SizeChanged(int OldColCount, int OldRowCount) {}

    void InvalidateCell(int ACol, int ARow);
    void InvalidateCol(int ACol);
    void InvalidateRow(int ARow);
    void InvalidateGrid() { Invalidate(); }
    // Moves the current cell (MoveAnchor: the selection collapses to it) and scrolls it into view.
    void FocusCell(int ACol, int ARow, bool MoveAnchor);
    void MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show);

    TGridOptions FOptions;
    TGridState FGridState = gsNormal;
    TGridCoord FCurrent;
    TGridCoord FAnchor;
    TGridCoord FTopLeft;
    TInplaceEdit* FInplaceEdit = nullptr;
    bool FEditorMode = false;

private:
    int MaxTopLeft(bool Vertical) const;
    // Pixel offset of a column or row from the client origin, for the current scroll position
    // (fixed ones first); -1 when it lies before the scrolled-in part.
    int ColLeft(int ACol) const;
    int RowTop(int ARow) const;
    int FixedWidth() const;
    int FixedHeight() const;
    void ClampTopLeft();
    void ScrollIntoView(int ACol, int ARow);
    void UpdateScrollBars();
    void ScrollMessage(bool Vertical, int Code);
    void UpdateEditor();
    // Whether (X, Y) is on a sizing line; Index is the column or row left of or above it.
    bool SizingAt(int X, int Y, bool& Vertical, int& Index) const;
    void MoveBy(int DCol, int DRow, TShiftState Shift);
    TGridDrawState CellState(int ACol, int ARow) const;

    int FColCount = 5, FRowCount = 5;
    int FFixedCols = 1, FFixedRows = 1;
    int FDefaultColWidth = 64, FDefaultRowHeight = 24;
    std::vector<int> FColWidths, FRowHeights;
    int FGridLineWidth = 1;
    TColor FFixedColor = clBtnFace;
    TScrollStyle FScrollBars = ssBoth;
    TBorderStyle FBorderStyle = bsSingle;
    bool FDefaultDrawing = true;
    int FSizingIndex = -1, FSizingPos = 0, FSizingStart = 0;
    bool FUpdatingScrollBars = false;
    bool FClickedCurrent = false;
    int FEditCol = -1, FEditRow = -1;
    std::string FEditStartText;
};

class TDrawGrid : public TCustomGrid {
    PLAT_CLASS(TDrawGrid)
public:
    explicit TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}
};

// A grid of texts with an object per cell; the editor edits the texts.
class TStringGrid : public TDrawGrid {
    PLAT_CLASS(TStringGrid)
public:
    explicit TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {}

    std::string Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const std::string& Value);
    TObject* Objects(int ACol, int ARow) const;
    void SetObjects(int ACol, int ARow, TObject* Value);

protected:
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;

private:
    struct TCell {
        std::string Text;
        TObject* Object = nullptr;
    };
    // Sparse: most cells of a large grid are never set.
    std::map<std::pair<int, int>, TCell> FCells;
};

} // namespace plat
