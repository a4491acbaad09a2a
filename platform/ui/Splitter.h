// The splitter: a bar between an aligned control and the rest of its parent; dragging it resizes that
// control.
#pragma once

#include <functional>

#include "platform/ui/Control.h"

namespace plat {

enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
using TSplitterCanResizeEvent = std::function<void(TObject* Sender, int& NewSize, bool& Accept)>;

class TSplitter : public TGraphicControl {
    PLAT_CLASS(TSplitter)
public:
    explicit TSplitter(TComponent* AOwner);
    int MinSize() const { return FMinSize; }
    void SetMinSize(int Value) { FMinSize = Value > 0 ? Value : 1; }
    TResizeStyle ResizeStyle() const { return FResizeStyle; }
    void SetResizeStyle(TResizeStyle Value) { FResizeStyle = Value; }
    bool AutoSnap() const { return FAutoSnap; }
    void SetAutoSnap(bool Value) { FAutoSnap = Value; }
    TNotifyEvent OnMoved;
    TSplitterCanResizeEvent OnCanResize;
    // The control the splitter resizes now (the aligned neighbour on its side), or null.
    TControl* FindControl() const;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    using TControl::CanResize;
    virtual bool CanResize(int& NewSize);
    void RequestAlign() override;

private:
    bool Horizontal() const { return Align() == alTop || Align() == alBottom; }
    int SizeOf(TControl* C) const { return Horizontal() ? C->Height() : C->Width(); }
    void ApplySize(int NewSize);
    int Clamp(int NewSize) const;

    int FMinSize = 30;
    TResizeStyle FResizeStyle = rsPattern;
    bool FAutoSnap = true;
    TControl* FControl = nullptr;
    TPoint FDownPos;
    int FStartSize = 0;
    int FNewSize = 0;
    int FMaxSize = 0;
};

} // namespace plat
