// The page control: a row of tabs over a stack of tab sheets, one shown at a time. Sheets move between
// page controls by setting their PageControl; OnChanging can refuse a change the user asks for.
#pragma once

#include <vector>

#include "platform/ui/Control.h"

namespace plat {

class TPageControl;

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TTabSheet : public TCustomControl {
    PLAT_CLASS(TTabSheet)
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    int PageIndex() const;
    void SetPageIndex(int Value);
    // The index among the visible tabs, -1 when the tab is hidden.
    int TabIndex() const;
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);

    void SetParent(TWinControl* AParent) override;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void Paint() override;
    void Dispatch(TMessage& Message) override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = -1;
    bool FSettingParent = false;
};

class TPageControl : public TCustomControl {
    PLAT_CLASS(TPageControl)
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int Index) const { return FPages.at(Index); }
    TTabSheet* ActivePage() const { return FActivePage; }
    // Shows the page without asking OnChanging or firing OnChange (as code does).
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value) { FHotTrack = Value; }
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    // The visible tab the user sees selected (-1: none).
    int TabIndex() const;

    // The next (previous) page after Current, wrapping; only visible tabs when CheckTabVisible.
    TTabSheet* FindNextPage(TTabSheet* Current, bool GoForward, bool CheckTabVisible) const;
    // Moves to the next page as Ctrl+Tab does (asks OnChanging, fires OnChange).
    void SelectNextPage(bool GoForward, bool CheckTabVisible = true);
    // The visible tab at a client point (-1: none) and a visible tab's rectangle.
    int IndexOfTabAt(int X, int Y) const;
    TRect TabRect(int TabIndex) const;
    // The area the sheets fill.
    TRect DisplayRect() const;
    // The sheet of a visible tab.
    TTabSheet* PageOfTab(int TabIndex) const;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

    void AdjustClientRect(TRect& Rect) const override;

protected:
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void Resize() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual bool CanChange();
    virtual void Change();
    // Painting steps.
    virtual void DrawTab(TCanvas& Canvas, int TabIndex, TRect Rect, bool Active, bool Hot);
    virtual void DrawFrame(TCanvas& Canvas, const TRect& Display);
    int TabStripSize() const;
    // Asks and changes as the user does; answers whether the page changed.
    bool ChangeActivePage(TTabSheet* Page);

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void LayoutPages();
    std::vector<TTabSheet*> VisibleTabs() const;
    int TabTextWidth(int TabIndex) const;

    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    TTabPosition FTabPosition = tpTop;
    bool FHotTrack = false;
    int FTabHeight = 0, FTabWidth = 0;
    int FHotTab = -1;
};

} // namespace plat
