// Office-style hints: a hint window that shows the OfficeHint of the control a hint is for (its title in
// bold, its notes, its picture), and the component that puts that window in charge of the
// application's hints.
#pragma once

#include <string>

#include "platform/rtl/Component.h"
#include "platform/ui/HintWindow.h"
#include "ui/drawing/KvxHintInfo.h"

namespace plat {
class TApplicationEvents;
struct THintInfo;
} // namespace plat

namespace ui {

// The published OfficeHint of a control (or of anything else), null when it has none.
TKvxHintInfo* FindOfficeHint(plat::TObject* Control);
// Whether a hint has anything to show.
bool HasOfficeHintContent(const TKvxHintInfo& Hint);

// Shows the office hint handed to CalcHintRect as its data; without one it is the plain hint window.
class TKvxOfficeHintWindow : public plat::THintWindow {
    PLAT_CLASS(TKvxOfficeHintWindow)
public:
    explicit TKvxOfficeHintWindow(plat::TComponent* AOwner);

    // AData: the TKvxHintInfo to show, or null. Its content is copied, so the hint's owner may change
    // it or go while the window shows.
    plat::TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) override;
    // What the window shows (empty for a plain hint).
    const TKvxHintInfo& Content() const { return FContent; }

protected:
    void Paint() override;

private:
    struct TLayout {
        plat::TRect Title, Picture, Notes;
        int Width = 0, Height = 0;
    };
    TLayout Measure(plat::TCanvas& Canvas, int MaxWidth);
    std::string NotesText() const;

    TKvxHintInfo FContent;
    bool FOffice = false;
    int FMaxWidth = 0;
};

// While one exists, the application's hints show in office hint windows, filled from the OfficeHint of
// each hint's control (the control a CM_HINTSHOW answer names, such as a tab set's carrier).
class TKvxOfficeHint : public plat::TComponent {
    PLAT_CLASS(TKvxOfficeHint)
public:
    explicit TKvxOfficeHint(plat::TComponent* AOwner);
    ~TKvxOfficeHint() override;

private:
    void ShowHint(std::string& HintStr, bool& CanShow, plat::THintInfo& HintInfo);
    plat::TApplicationEvents* FEvents = nullptr;
};

} // namespace ui
