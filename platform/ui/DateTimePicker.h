// The date-time picker: a date or a time shown in the locale's format and edited field by field (arrow
// keys step a field, digits type it), with an optional check box, limits, and for dates a month
// calendar that drops down below it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exception.h"
#include "platform/ui/Control.h"
#include "platform/ui/PopupDispatch.h"

namespace plat {

PLAT_EXCEPTION(EDateTimeError, Exception);

class TDateTimePicker;

enum TDateTimeKind { dtkDate, dtkTime };
enum TDTDateFormat { dfShort, dfLong };

// What a part of the shown text is.
enum TDTFieldKind {
    fkLiteral,
    fkDay,
    fkDayName,
    fkMonth,
    fkMonthName,
    fkYear,
    fkHour,
    fkMinute,
    fkSecond,
    fkAmPm,
};

// The month calendar that drops down below a date picker: a month's days in weeks, arrows to the
// previous and next month and a "Today" line. It holds the mouse while shown and closes on a choice,
// Escape or a press outside.
class TDateTimePickerCalendar : public TCustomControl {
    PLAT_CLASS(TDateTimePickerCalendar)
public:
    explicit TDateTimePickerCalendar(TDateTimePicker* Picker);

    // The day the calendar marks (its time of day is kept from the picker).
    TDateTime SelectedDate() const { return FSelected; }
    void SetSelectedDate(TDateTime Value);
    int ShownYear() const { return FYear; }
    int ShownMonth() const { return FMonth; }
    // Shows another month (the marked day follows into it); Delta in months.
    void ShiftMonth(int Delta);

    // Geometry in client coordinates; DayRect is empty for a day not on the page shown.
    TRect TitleRect() const;
    TRect PrevButtonRect() const;
    TRect NextButtonRect() const;
    TRect DayRect(TDateTime Day) const;
    TRect TodayRect() const;
    TSize PreferredSize() const;
    // The first day on the page (the start of the week that holds the 1st).
    TDateTime FirstShownDay() const;

    // Keys while dropped (the picker keeps the focus and passes them on): answers whether used.
    bool HandleKey(uint16_t Key, TShiftState Shift);

protected:
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void Paint() override;

    // Painting steps.
    virtual void PaintTitle(TCanvas& Canvas, const TRect& Rect);
    virtual void PaintDay(TCanvas& Canvas, TDateTime Day, const TRect& Rect, bool InMonth, bool Selected,
                          bool Today, bool Enabled);
    virtual void PaintToday(TCanvas& Canvas, const TRect& Rect);

private:
    friend class TDateTimePicker;
    void CalendarMouse(TMessage& Message, TPoint P);
    int CellWidth() const;
    int CellHeight() const;
    int TitleHeight() const;
    TRect GridRect() const;
    TRect WeekdayRect() const;
    void MoveTo(TDateTime Day);

    TDateTimePicker* FPicker;
    TPopupDispatch FPopup;
    TDateTime FSelected = 0;
    int FYear = 2000, FMonth = 1;
};

class TDateTimePicker : public TCustomControl {
    PLAT_CLASS(TDateTimePicker)
public:
    explicit TDateTimePicker(TComponent* AOwner);
    ~TDateTimePicker() override;

    TDateTimeKind Kind() const { return FKind; }
    void SetKind(TDateTimeKind Value);
    TDTDateFormat DateFormat() const { return FDateFormat; }
    void SetDateFormat(TDTDateFormat Value);
    // The date (whole days) and the time of day (the fraction) of DateTime; each setter keeps the other
    // part. A date outside MinDate..MaxDate raises EDateTimeError "Date exceeds minimum of %s" /
    // "Date exceeds maximum of %s".
    TDateTime Date() const;
    void SetDate(TDateTime Value);
    TDateTime Time() const;
    void SetTime(TDateTime Value);
    TDateTime DateTime() const { return FDateTime; }
    void SetDateTime(TDateTime Value);
    // Limits on the date, 0 for none. Crossing limits raise EDateTimeError "Invalid date range"; the
    // date moves inside new limits.
    TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(TDateTime Value);
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime Value);
    bool ShowCheckbox() const { return FShowCheckbox; }
    void SetShowCheckbox(bool Value);
    // Unchecked (with the check box shown) the value is greyed; editing a field checks it again.
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);

    // The text shown, and its fields.
    std::string DisplayText() const;
    int FieldCount() const { return static_cast<int>(FFields.size()); }
    TDTFieldKind FieldKind(int Index) const;
    // The field the keys edit.
    int ActiveField() const { return FActive; }
    void SetActiveField(int Index);
    TDTFieldKind ActiveFieldKind() const { return FieldKind(FActive); }
    TRect FieldRect(int Index) const;
    TRect CheckBoxRect() const;
    // The drop-down button (dates) or the up-down buttons (times).
    TRect ButtonRect() const;

    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    // The calendar while dropped down, else null.
    TDateTimePickerCalendar* Calendar() const;

    // The user changed the value or the check box.
    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    friend class TDateTimePickerCalendar;
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoEnter() override;
    void DoExit() override;

    virtual void Change();
    virtual void DropDown();
    virtual void CloseUp();
    // Painting steps: background, check box, the fields and the button(s).
    virtual void PaintBackground(TCanvas& Canvas, const TRect& Rect);
    virtual void PaintCheckBox(TCanvas& Canvas, const TRect& Rect);
    virtual void PaintFields(TCanvas& Canvas);
    virtual void PaintButton(TCanvas& Canvas, const TRect& Rect);

private:
    struct TField {
        TDTFieldKind Kind = fkLiteral;
        int Width = 0; // letters in the format: 1 or 2 digits, 3 short names, 4 long names
        std::string Literal;
    };
    void BuildFields();
    void ParseFormat(const std::string& Format, int Depth);
    std::string FieldText(int Index) const;
    bool Editable(int Index) const;
    int FirstEditable() const;
    void MoveField(int Delta);
    // A user's change of the value: clamps to the limits, checks the box, fires OnChange.
    void UserSet(TDateTime Value);
    void StepField(int Delta);
    void TypeDigit(int Digit);
    void CommitTyped();
    TDateTime Clamp(TDateTime Value) const;
    void CloseCalendar(bool Accept);
    int TextLeft() const;
    bool TwelveHour() const;

    TDateTimeKind FKind = dtkDate;
    TDTDateFormat FDateFormat = dfShort;
    TDateTime FDateTime = 0;
    TDateTime FMinDate = 0;
    TDateTime FMaxDate = 0;
    bool FShowCheckbox = false;
    bool FChecked = true;
    std::vector<TField> FFields;
    int FActive = -1;
    std::string FTyped; // digits typed into the active field so far
    std::unique_ptr<TDateTimePickerCalendar> FCalendar;
};

} // namespace plat
