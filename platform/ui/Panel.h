// The panel: a container with raised or lowered bevels and an optional caption; and the group box, a
// container framed by an etched line with its caption in the frame, with the radio group built on it.
#pragma once

#include <iterator>
#include <memory>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/ui/Button.h"
#include "platform/ui/Control.h"
#include "platform/ui/TextAlignment.h"

namespace plat {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
inline constexpr const char* kBevelCutNames[] = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
static_assert(std::size(kBevelCutNames) == bvSpace + 1);
using TBevelWidth = int;

class TCustomPanel : public TCustomControl {
    PLAT_CLASS(TCustomPanel)
public:
    explicit TCustomPanel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    void SetParentBackground(bool Value);
    bool GetParentBackground() const { return ParentBackground(); }
    void AdjustClientRect(TRect& Rect) const override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    // One bevel ring of Width pixels inside Rect (shrinks Rect).
    virtual void PaintBevel(TCanvas& Canvas, TRect& Rect, TBevelCut Cut);
    virtual void PaintCaption(TCanvas& Canvas, const TRect& Rect);
    void Dispatch(TMessage& Message) override;

private:
    int BevelSize() const;
    TAlignment FAlignment = taCenter;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    TBorderStyle FBorderStyle = bsNone;
};

class TPanel : public TCustomPanel {
    PLAT_CLASS(TPanel)
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

class TCustomGroupBox : public TCustomControl {
    PLAT_CLASS(TCustomGroupBox)
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    void AdjustClientRect(TRect& Rect) const override;

protected:
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    int CaptionHeight() const;
};

class TGroupBox : public TCustomGroupBox {
    PLAT_CLASS(TGroupBox)
public:
    explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

// A group box of radio buttons made from Items, in Columns; ItemIndex is the checked one (-1: none).
class TCustomRadioGroup : public TCustomGroupBox {
    PLAT_CLASS(TCustomRadioGroup)
public:
    explicit TCustomRadioGroup(TComponent* AOwner);
    ~TCustomRadioGroup() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    // The radio button of an item.
    TRadioButton* Buttons(int Index) const { return FButtons.at(Index); }

protected:
    void Loaded() override;
    void Dispatch(TMessage& Message) override;
    void ArrangeButtons();

private:
    void UpdateButtons();
    void ButtonClick(TObject* Sender);
    std::unique_ptr<TStringList> FItems;
    std::vector<TRadioButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;
};

class TRadioGroup : public TCustomRadioGroup {
    PLAT_CLASS(TRadioGroup)
public:
    explicit TRadioGroup(TComponent* AOwner) : TCustomRadioGroup(AOwner) {}
};

} // namespace plat
