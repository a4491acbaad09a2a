// The combo box: an edit (or a fixed text) with a list of items that drops down in a pop-up window
// (closed again by a choice, Escape or a click elsewhere), or stays shown below it (csSimple); items may
// be owner-drawn.
#pragma once

#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/ui/Edit.h"
#include "platform/ui/ListBox.h"

namespace plat {

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboDropList;

class TCustomComboBox : public TCustomControl {
    PLAT_CLASS(TCustomComboBox)
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex() const { return FItemIndex; }
    // Selects an item (its text becomes the text) without events; -1 selects nothing.
    void SetItemIndex(int Value);
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = std::max(1, Value); }
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int Value) { FDropDownWidth = std::max(0, Value); }
    int ItemHeight() const;
    void SetItemHeight(int Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool Value) { FAutoComplete = Value; }
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    // Whether the text is edited by an edit part (csDropDown, csSimple).
    bool HasEdit() const { return FStyle == csDropDown || FStyle == csSimple; }
    // The edit part (null for the list styles) and the list (made when first dropped; the child list of
    // csSimple).
    TCustomEdit* EditPart() const { return FEdit; }
    TCustomListBox* ListPart() const;
    // The drop-down button's client rectangle (empty for csSimple).
    TRect ButtonRect() const;
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    void SelectAll();
    void Clear();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    std::string GetText() const override;
    void SetText(const std::string& Value) override;
    void Loaded() override;

    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();
    // The user chose an item: text, OnClick, then OnSelect (or OnChange without one).
    virtual void UserSelect(int Index);
    // Painting steps: the text area (odComboBoxEdit for owner-drawn styles) and the button.
    virtual void PaintText(TCanvas& Canvas, const TRect& Rect);
    virtual void PaintButton(TCanvas& Canvas, const TRect& Rect, bool Pressed);
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    TRect TextRect() const;
    // The width of the drop-down button strip at the right; a restyled combo that paints a wider (or
    // narrower) button of its own returns its width, and the text part makes room for it.
    virtual int ButtonStripWidth() const;

private:
    friend class TComboDropList;
    void ItemsChanged(TObject* Sender);
    void EditChanged(TObject* Sender);
    void LayoutParts();
    void MakeParts();
    void CloseDropDown(bool Accept);
    // The combo or its edit loses the focus to To.
    void FocusLeaving(HWND To);
    void MoveSelection(int Delta, bool ToEnd);
    bool HandleListKey(uint16_t Key, TShiftState Shift);

    std::unique_ptr<TStringList> FItems;
    int FItemIndex = -1;
    std::string FText;
    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
    int FDropDownWidth = 0;
    int FItemHeight = 16;
    bool FItemHeightSet = false;
    bool FSorted = false;
    int FMaxLength = 0;
    bool FAutoComplete = false;
    TCustomEdit* FEdit = nullptr;
    TCustomListBox* FSimpleList = nullptr;
    std::unique_ptr<TComboDropList> FDropList;
    bool FSettingText = false;
};

class TComboBox : public TCustomComboBox {
    PLAT_CLASS(TComboBox)
public:
    explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};

} // namespace plat
