// The list box: a scrolling column of text items with objects, single, multiple or extended selection,
// owner drawing with fixed or variable item heights, keyboard navigation and automatic dragging. It
// scrolls with the window's own vertical scroll bar, shown while the items exceed the area.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/ui/Control.h"
#include "platform/ui/Form.h"
#include "platform/ui/OwnerDrawState.h"

namespace plat {

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

class TCustomListBox;

// The items of a list box: the strings and objects plus what the box keeps per item.
class TListBoxStrings : public TStrings {
    PLAT_CLASS(TListBoxStrings)
public:
    explicit TListBoxStrings(TCustomListBox* ListBox) : FListBox(ListBox) {}
    int Count() const override { return static_cast<int>(FItems.size()); }
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* Obj) override;
    void Insert(int Index, const std::string& S) override;
    void InsertObject(int Index, const std::string& S, TObject* Obj) override;
    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* Obj) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;

protected:
    void SetUpdateState(bool Updating) override;

private:
    friend class TCustomListBox;
    friend class TCheckListBox;
    struct TItem {
        std::string Text;
        TObject* Object = nullptr;
        bool Selected = false;
        int Height = 0;
        uint8_t State = 0; // check state of a check list box
        bool Enabled = true;
    };
    void CheckIndex(int Index, bool AllowEnd = false) const;
    void Changed();
    TCustomListBox* FListBox;
    std::vector<TItem> FItems;
};

class TCustomListBox : public TCustomControl {
    PLAT_CLASS(TCustomListBox)
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int Count() const { return FItems->Count(); }

    // The focused item; in a single-selection box also the selected one. Setting it in a multi-selection
    // box moves the focus only.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool Value) { FExtendedSelect = Value; }
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);
    int SelCount() const;
    void ClearSelection();
    void SelectAll();
    void DeleteSelected();
    void Clear() { FItems->Clear(); }

    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    // Height of every item of a fixed box (the font's line height for lbStandard unless set).
    int ItemHeight() const;
    void SetItemHeight(int Value);
    int TopIndex() const { return FTopIndex; }
    void SetTopIndex(int Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value) { FIntegralHeight = Value; }

    // The item under a client point; -1 below the last item unless Existing is false (then Count).
    int ItemAtPos(TPoint Pos, bool Existing) const;
    // The item's rectangle in client coordinates (also for items scrolled out of view).
    TRect ItemRect(int Index) const;
    // Scrolls so the item is in view.
    void MakeVisible(int Index);
    // Items that fit the client area from the top item.
    int VisibleCount() const;

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    // Called by the item list after it changed (count, order or text).
    virtual void ItemsChanged();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    void WndProc(TMessage& Message) override;
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
    // Clicks are reported when the user changes the selection, not on every release.
    void Click() override {}

    // Painting: every item, then the focus rectangle. DrawItem calls OnDrawItem for owner-drawn boxes
    // with the canvas prepared (selection colours, font), else draws the text.
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    virtual void PaintBackground(TCanvas& Canvas, const TRect& Rect);
    // Hook for boxes that draw something left of the text (check boxes).
    virtual TOwnerDrawState ItemState(int Index) const;
    // The item area (the client area; the scroll bar lies outside it).
    TRect ItemArea() const;
    int ItemHeightOf(int Index) const;
    // The user changed the selection: fires OnClick.
    virtual void SelectionChanged();
    // Selects with the modifiers of a click or key: answers whether anything changed.
    bool SelectByUser(int Index, TShiftState Shift, bool Toggle);
    // Puts the range, page and top index into the window's scroll bar (shown only when needed).
    void UpdateScrollBar();
    // The largest top index: the first item of the last page.
    int MaxTopIndex() const;
    void ScrollMessage(int Code);
    void InvalidateItem(int Index);
    // Last item that fits from First downwards (at least First).
    int LastFullyVisible(int First) const;

    std::unique_ptr<TListBoxStrings> FItems;
    int FItemIndex = -1;
    int FAnchor = -1;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    TListBoxStyle FStyle = lbStandard;
    int FItemHeight = 16;
    bool FItemHeightSet = false;
    int FTopIndex = 0;
    bool FSorted = false;
    TBorderStyle FBorderStyle = bsSingle;
    bool FIntegralHeight = false;
    bool FTracking = false;
    std::string FSearch;
    uint64_t FSearchTime = 0;
    int FUpdating = 0;

private:
    friend class TListBoxStrings;
    void ItemsUpdating(bool Updating);
    // A list that holds the mouse (a drop-down list) gets presses on its scroll bar as client presses:
    // runs the scroll bar for them and keeps the capture. Answers whether the press was one.
    bool TrackScrollBarUnderCapture(TMessage& Message);
    bool FUpdatingScrollBar = false;
    bool FTrackingUnderCapture = false;
};

class TListBox : public TCustomListBox {
    PLAT_CLASS(TListBox)
public:
    explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

} // namespace plat
