// The header control: a row of sections (column captions) that the user clicks and resizes by dragging
// the dividers between them.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/rtl/Collection.h"
#include "platform/ui/Control.h"
#include "platform/ui/TextAlignment.h"

namespace plat {

class THeaderControl;

enum THeaderSectionStyle { hsText, hsOwnerDraw };
enum TSectionTrackState { tsTrackBegin, tsTrackMove, tsTrackEnd };

class THeaderSection : public TCollectionItem {
    PLAT_CLASS(THeaderSection)
public:
    explicit THeaderSection(TCollection* Collection);

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    int Width() const { return FWidth; }
    // Kept within MinWidth..MaxWidth.
    void SetWidth(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    THeaderSectionStyle Style() const { return FStyle; }
    void SetStyle(THeaderSectionStyle Value);
    // Whether a click presses the section and raises OnSectionClick.
    bool AllowClick() const { return FAllowClick; }
    void SetAllowClick(bool Value) { FAllowClick = Value; }
    // Edges in the header's client coordinates.
    int Left() const;
    int Right() const { return Left() + FWidth; }

    std::string DisplayName() const override;
    void Assign(TPersistent* Source) override;

private:
    std::string FText;
    int FWidth = 50;
    int FMinWidth = 0;
    int FMaxWidth = 10000;
    TAlignment FAlignment = taLeftJustify;
    THeaderSectionStyle FStyle = hsText;
    bool FAllowClick = true;
};

class THeaderSections : public TOwnedCollection {
    PLAT_CLASS(THeaderSections)
public:
    explicit THeaderSections(THeaderControl* HeaderControl);
    THeaderSection* Add() { return static_cast<THeaderSection*>(TOwnedCollection::Add()); }
    THeaderSection* Items(int Index) const { return static_cast<THeaderSection*>(TCollection::Items(Index)); }
    THeaderControl* HeaderControl() const { return FHeaderControl; }

protected:
    void Update(TCollectionItem* Item) override;

private:
    THeaderControl* FHeaderControl;
};

using TSectionNotifyEvent = std::function<void(THeaderControl* HeaderControl, THeaderSection* Section)>;
using TSectionTrackEvent = std::function<void(THeaderControl* HeaderControl, THeaderSection* Section,
                                              int Width, TSectionTrackState State)>;
using TDrawSectionEvent = std::function<void(THeaderControl* HeaderControl, THeaderSection* Section,
                                             const TRect& Rect, bool Pressed)>;

class THeaderControl : public TCustomControl {
    PLAT_CLASS(THeaderControl)
public:
    explicit THeaderControl(TComponent* AOwner);
    ~THeaderControl() override;

    THeaderSections* Sections() const { return FSections.get(); }
    void SetSections(THeaderSections* Value) { FSections->Assign(Value); }
    // Within this many pixels of a divider the pointer resizes.
    static constexpr int DividerGrip = 4;
    // The section whose right edge is the divider at X (-1 for none) and the section at X (-1 beyond the
    // last).
    int DividerAt(int X) const;
    int SectionAt(int X) const;
    TRect SectionRect(int Index) const;
    // The section being pressed, or -1.
    int PressedSection() const { return FPressed; }

    TSectionNotifyEvent OnSectionClick;
    TSectionNotifyEvent OnSectionResize;
    TSectionTrackEvent OnSectionTrack;
    TDrawSectionEvent OnDrawSection;

protected:
    void Dispatch(TMessage& Message) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    virtual void SectionClick(THeaderSection* Section);
    virtual void SectionResize(THeaderSection* Section);
    virtual void SectionTrack(THeaderSection* Section, int Width, TSectionTrackState State);
    // Painting steps: one section (owner-drawn ones go to OnDrawSection), and the empty rest of the row.
    virtual void DrawSection(TCanvas& Canvas, THeaderSection* Section, const TRect& Rect, bool Pressed);
    virtual void PaintSection(TCanvas& Canvas, THeaderSection* Section, const TRect& Rect, bool Pressed);
    virtual void PaintRest(TCanvas& Canvas, const TRect& Rect);

private:
    friend class THeaderSections;
    void CancelTracking();

    std::unique_ptr<THeaderSections> FSections;
    int FTracking = -1;   // section whose divider is dragged
    int FTrackOffset = 0; // pointer's distance from the divider when the drag began
    int FTrackStartWidth = 0;
    int FPressed = -1; // section pressed by a click in progress
    int FDown = -1;    // section the click began on
    bool FReleasing = false;
};

} // namespace plat
