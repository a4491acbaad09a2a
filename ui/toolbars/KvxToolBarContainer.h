// A small group box for a toolbar: an etched frame with an optional caption around buttons, glow
// buttons or edits. It shows its parent through itself and hands its toolbar down to the toolbar
// controls inside, so they keep the toolbar's styling.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/Control.h"
#include "ui/toolbars/KvxToolBarRecords.h"

namespace ui {

class TKvxCustomToolBar;

class TKvxToolBarContainer : public plat::TCustomControl {
    PLAT_CLASS(TKvxToolBarContainer)
public:
    explicit TKvxToolBarContainer(plat::TComponent* AOwner);
    ~TKvxToolBarContainer() override;
    void SetParent(plat::TWinControl* AParent) override;

    TKvxCustomToolBar* KvxToolBar() const { return FToolBar; }
    void SetKvxToolBar(TKvxCustomToolBar* Value);
    bool ParentStyler() const { return FParentStyler; }
    void SetParentStyler(bool Value);
    bool Line3D() const { return FLine3D; }
    void SetLine3D(bool Value);
    std::string FrameCaption() const { return FCaption; }
    void SetFrameCaption(const std::string& Value);
    plat::TColor LineColor() const { return FLineColor; }
    void SetLineColor(plat::TColor Value);
    toolbar::TGradientBackground* Color() const { return FColor.get(); }
    void SetColor(plat::TPersistent* Value);

    // The line colour and 3D look in force: the styler's with a toolbar and ParentStyler, else our own.
    plat::TColor EffectiveLineColor() const;
    bool EffectiveLine3D() const;

protected:
    void Loaded() override;
    void Paint() override;
    void Dispatch(plat::TMessage& Message) override;

private:
    void PassToolBarToChildren();

    TKvxCustomToolBar* FToolBar = nullptr;
    bool FParentStyler = true;
    bool FLine3D = true;
    std::string FCaption;
    plat::TColor FLineColor = plat::clBtnShadow;
    std::unique_ptr<toolbar::TGradientBackground> FColor;
    int FFrameInset = 2;
};

} // namespace ui
