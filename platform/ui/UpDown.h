// The up-down control: a pair of arrow buttons that step a position over Min..Max by Increment (with
// wrapping), repeat while held, and show the position in an associated control's text.
#pragma once

#include <memory>

#include "platform/ui/Control.h"

namespace plat {

class TTimer;

enum TUDAlignButton { udLeft, udRight };
enum TUDOrientation { udHorizontal, udVertical };
enum TUDBtnType { btNext, btPrev };
enum TUpDownDirection { updNone, updUp, updDown };

using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
using TUDChangingEventEx =
    std::function<void(TObject* Sender, bool& AllowChange, int16_t NewValue, TUpDownDirection Direction)>;

class TUpDown : public TCustomControl {
    PLAT_CLASS(TUpDown)
public:
    explicit TUpDown(TComponent* AOwner);
    ~TUpDown() override;

    TWinControl* Associate() const { return FAssociate; }
    // Places the buttons beside the control and shows the position in its text.
    void SetAssociate(TWinControl* Value);
    TUDAlignButton AlignButton() const { return FAlignButton; }
    void SetAlignButton(TUDAlignButton Value);
    // Positions are 16-bit, as the buttons have always kept them.
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    // With an associate, reading the position takes a number typed into its text (clamped to the range).
    int Position();
    void SetPosition(int Value);
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value) { FWrap = Value; }
    bool ArrowKeys() const { return FArrowKeys; }
    void SetArrowKeys(bool Value);
    bool Thousands() const { return FThousands; }
    void SetThousands(bool Value);
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);

    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;
    TUDChangingEventEx OnChangingEx;

    // One step as a button press makes it (events included).
    void Step(TUDBtnType Button);
    // Client rectangles of the two buttons.
    TRect ButtonRect(TUDBtnType Button) const;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Dispatch(TMessage& Message) override;
    virtual bool CanChange(int16_t NewValue, TUpDownDirection Direction);
    virtual void DoClick(TUDBtnType Button);
    virtual void PaintButton(TCanvas& Canvas, TRect Rect, TUDBtnType Button, bool Pressed);
    void Loaded() override;

private:
    void UpdateAssociateText();
    void PlaceBesideAssociate();
    void HookAssociate();
    void UnhookAssociate();
    void RepeatTimer(TObject* Sender);

    TWinControl* FAssociate = nullptr;
    TWndMethod FAssociateProc;
    TUDAlignButton FAlignButton = udRight;
    int FMin = 0, FMax = 100, FIncrement = 1;
    int FPosition = 0;
    bool FWrap = false, FArrowKeys = true, FThousands = true;
    TUDOrientation FOrientation = udVertical;
    int FPressed = -1; // the held button, or -1
    std::unique_ptr<TTimer> FTimer;
};

} // namespace plat
