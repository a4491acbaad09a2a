// The HTML check list: an owner-drawn list box whose rows are markup captions, each with a check box
// (unchecked, checked or grayed) that can be disabled, indented by a level, or left out on header rows.
// The selected row is painted with a two-part gradient; anchors open web and mail links or fire
// OnAnchorClick.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/ListBox.h"
#include "ui/drawing/KvxGradient.h"
#include "ui/drawing/KvxStyleIF.h"
#include "ui/markup/MarkupText.h"

namespace plat {
class TCustomImageList;
}

namespace ui {

class THTMLPictureCache;
class TPictureContainer;
class THTMLCheckList;

enum TCheckState : uint8_t { csUnchecked = 0, csChecked = 1, csGrayed = 2 };

// What a row keeps besides its text. It lives in the item's object slot, owned by the list, so the
// fields survive sorting, moving and the window being re-created; callers keep their own value in Data
// (GetItemData/SetItemData), not in the items' objects.
class THTMLCheckListDataWrapper : public plat::TObject {
    PLAT_CLASS(THTMLCheckListDataWrapper)
public:
    explicit THTMLCheckListDataWrapper(const THTMLCheckList* AOwner) : Owner(AOwner) {}
    const THTMLCheckList* Owner;
    int Data = 0;
    uint8_t State = csUnchecked;
    bool Disabled = false;
    int Level = 0;
    bool Header = false;
};

// The office buttons' anchor event has no item index; each unit keeps its own.
namespace checklist {
using TAnchorClick = std::function<void(plat::TObject* Sender, int Index, const std::string& Anchor)>;
} // namespace checklist

// The plain text of a markup caption: line-break and rule tags become CR LF, hidden sections and tags
// go. Text in front of a hidden section is taken as it stands, tags included.
std::string StripMarkupText(std::string Text);

class THTMLCheckList : public plat::TCustomListBox, public IStyleable {
    PLAT_CLASS(THTMLCheckList)
public:
    explicit THTMLCheckList(plat::TComponent* AOwner);
    ~THTMLCheckList() override;

    // Per-item values. An index at or beyond the count raises EListError; a negative one reads as the
    // defaults and is ignored by the setters.
    bool GetChecked(int Index) const;
    bool GetItemEnabled(int Index) const;
    void SetItemEnabled(int Index, bool Value);
    TCheckState GetState(int Index) const;
    void SetState(int Index, TCheckState Value);
    int GetLevel(int Index) const;
    void SetLevel(int Index, int Value);
    bool GetHeader(int Index) const;
    void SetHeader(int Index, bool Value);
    int GetItemData(int Index) const;
    void SetItemData(int Index, int Value);
    // The item's text without markup; raises for an index outside the items.
    std::string GetItemPlainText(int Index) const;
    // The item and anchor under a client point (-1 and empty when none).
    int AnchorAt(int X, int Y, std::string& Anchor);
    // The width of the item's box area (0 for a header).
    int CheckAreaWidth(int Index) const;

    void ApplyStyle(TKVXStyle Style) override;
    uint32_t PackedVersion() const;
    std::string Version() const;
    void SetVersion(const std::string&) {}

    static int CheckWidth();
    static int CheckHeight();

    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    bool AnchorHint() const { return FAnchorHint; }
    void SetAnchorHint(bool Value) { FAnchorHint = Value; }
    bool ItemHint() const { return FItemHint; }
    void SetItemHint(bool Value) { FItemHint = Value; }
    bool HTMLHint() const { return FHTMLHint; }
    void SetHTMLHint(bool Value) { FHTMLHint = Value; }
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool Value) { FEllipsis = Value; }
    plat::TCustomImageList* Images() const { return FImages; }
    void SetImages(plat::TCustomImageList* Value);
    TPictureContainer* PictureContainer() const { return FPictureContainer; }
    void SetPictureContainer(TPictureContainer* Value);
    int LineSpacing() const { return FLineSpacing; }
    void SetLineSpacing(int Value);
    TGradientStyle* SelectionColors() const { return FSelectionColors.get(); }
    void SetSelectionColors(TGradientStyle* Value);
    plat::TColor SelectionFontColor() const { return FSelectionFontColor; }
    void SetSelectionFontColor(plat::TColor Value);
    plat::TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(plat::TColor Value);
    int ShadowOffset() const { return FShadowOffset; }
    void SetShadowOffset(int Value);
    bool ShowSelection() const { return FShowSelection; }
    void SetShowSelection(bool Value);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool Value);
    plat::TColor URLColor() const { return FURLColor; }
    void SetURLColor(plat::TColor Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool Duplicates() const { return FDuplicates; }
    void SetDuplicates(bool Value);

    plat::TNotifyEvent OnCheckClick;
    checklist::TAnchorClick OnAnchorClick;
    checklist::TAnchorClick OnAnchorEnter;
    checklist::TAnchorClick OnAnchorExit;
    std::function<void(plat::TObject* Sender, int Index, std::string& Anchor)> OnAnchorHint;

    void ItemsChanged() override;

protected:
    void Paint() override;
    void DrawItem(int Index, plat::TRect Rect, plat::TOwnerDrawState State) override;
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void DoExit() override;
    void WndProc(plat::TMessage& Message) override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    virtual void ToggleClickCheck(int Index);
    virtual void ClickCheck();

private:
    // The item's wrapper when it has one of ours; null for an item never written to.
    THTMLCheckListDataWrapper* Wrapper(int Index) const;
    // The wrapper to write to, made on the first write.
    THTMLCheckListDataWrapper& WritableWrapper(int Index);
    // Raises the list error for an index at or beyond the count; answers false for a negative one.
    bool CheckIndex(int Index) const;
    plat::TRect CheckCell(int Index, const plat::TRect& ItemRect) const;
    void DrawCheckBox(plat::TCanvas& Canvas, const plat::TRect& Cell, TCheckState State, bool Enabled);
    void InvalidateCheckArea(int Index);
    void SelectionColorsChanged(plat::TObject*);
    plat::TRect TextRect(int Index, const plat::TRect& ItemRect) const;
    TMarkupOptions MarkupOptions() const;
    void LeaveAnchor();

    std::vector<std::unique_ptr<THTMLCheckListDataWrapper>> FWrappers;
    bool FAllowGrayed = false;
    bool FAnchorHint = false;
    bool FItemHint = false;
    bool FHTMLHint = false;
    bool FEllipsis = false;
    plat::TCustomImageList* FImages = nullptr;
    TPictureContainer* FPictureContainer = nullptr;
    int FLineSpacing = 0;
    std::unique_ptr<TGradientStyle> FSelectionColors;
    plat::TColor FSelectionFontColor = plat::clHighlightText;
    plat::TColor FShadowColor = plat::clGray;
    int FShadowOffset = 1;
    bool FShowSelection = true;
    bool FShowFocus = true;
    plat::TColor FURLColor = plat::clBlue;
    bool FFlat = true;
    bool FDuplicates = true;
    struct THidden {
        std::string Text;
        int Level;
        int Data;
    };
    std::vector<THidden> FHidden;
    std::unique_ptr<THTMLPictureCache> FPictureCache;
    std::string FAnchor;
    plat::TCursor FOldCursor = 0;
    int FLastHintItem = -1;
};

} // namespace ui
