// The status bar: a strip along the bottom of a form with text panels side by side (or one simple
// text), bevelled panels, owner-drawn panels, and a grip that resizes the form.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/rtl/Collection.h"
#include "platform/ui/Control.h"
#include "platform/ui/TextAlignment.h"

namespace plat {

class TStatusBar;

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusPanel : public TCollectionItem {
    PLAT_CLASS(TStatusPanel)
public:
    explicit TStatusPanel(TCollection* Collection);

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);
    TStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TStatusPanelStyle Value);

    std::string DisplayName() const override;
    void Assign(TPersistent* Source) override;

private:
    std::string FText;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelBevel FBevel = pbLowered;
    TStatusPanelStyle FStyle = psText;
};

class TStatusPanels : public TOwnedCollection {
    PLAT_CLASS(TStatusPanels)
public:
    explicit TStatusPanels(TStatusBar* StatusBar);
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TOwnedCollection::Add()); }
    TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }
    TStatusBar* StatusBar() const { return FStatusBar; }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TStatusBar* FStatusBar;
};

using TDrawPanelEvent = std::function<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TStatusBar : public TCustomControl {
    PLAT_CLASS(TStatusBar)
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;

    TStatusPanels* Panels() const { return FPanels.get(); }
    void SetPanels(TStatusPanels* Value) { FPanels->Assign(Value); }
    // One panel across the bar showing SimpleText instead of the panels.
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& Value);
    // The grip shows while the form can be resized and is not maximised.
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    bool SizeGripShown() const;

    // A panel's rectangle in client coordinates: panels sit side by side at their widths, the last one
    // reaching to the right edge (to the grip when it shows).
    TRect PanelRect(int Index) const;
    TRect SizeGripRect() const;
    // The panel at a client point, or -1.
    int PanelAt(TPoint P) const;

    TDrawPanelEvent OnDrawPanel;

protected:
    void Dispatch(TMessage& Message) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

    // Painting steps: the whole background, one panel's frame and text, owner-drawn panels, and the grip.
    virtual void PaintBackground(TCanvas& Canvas, const TRect& Rect);
    virtual void PaintPanel(TCanvas& Canvas, const TRect& Rect, const std::string& Text, TAlignment Alignment,
                            TStatusPanelBevel Bevel);
    virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);
    virtual void PaintSizeGrip(TCanvas& Canvas, const TRect& Rect);

private:
    std::unique_ptr<TStatusPanels> FPanels;
    bool FSimplePanel = false;
    std::string FSimpleText;
    bool FSizeGrip = true;
};

} // namespace plat
