#include "platform/ui/DateTimePicker.h"

#include <gtest/gtest.h>

#include "platform/rtl/Locale.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Keys.h"

using namespace plat;

namespace {

TFormatSettings TestSettings() {
    TFormatSettings fs;
    fs.DateSeparator = '.';
    fs.ShortDateFormat = "dd/mm/yyyy";
    fs.LongDateFormat = "dddd, d mmmm yyyy";
    fs.LongTimeFormat = "hh:nn:ss";
    return fs;
}

// A date picker showing Tuesday 5 March 2024, 14:30:15, on a shown form, with the focus.
class DateTimePickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 320, 300);
        Picker = new TDateTimePicker(Form);
        Picker->SetParent(Form);
        Picker->SetBounds(10, 10, 200, 21);
        Picker->SetDateTime(ComposeDateTime(EncodeDate(2024, 3, 5), EncodeTime(14, 30, 15, 0)));
        Picker->OnChange = [this](TObject*) { ++Changes; };
        Form->Show();
        Picker->SetFocus();
        Driver.Pump();
    }
    std::string Shown() const { return FormatDateTime("yyyy-mm-dd hh:nn:ss", Picker->DateTime()); }

    TScopedFormatSettings Settings{TestSettings()};
    TTestDriver Driver;
    TForm* Form = nullptr;
    TDateTimePicker* Picker = nullptr;
    int Changes = 0;
};

} // namespace

TEST_F(DateTimePickerTest, ArrowKeysStepTheActiveFieldWithinItsRange) {
    EXPECT_EQ(Picker->DisplayText(), "05.03.2024");
    EXPECT_EQ(Picker->ActiveFieldKind(), fkDay);
    Driver.PressKey(VK_UP);
    EXPECT_EQ(Picker->DisplayText(), "06.03.2024");
    Picker->SetDate(EncodeDate(2024, 3, 1));
    Driver.PressKey(VK_DOWN);
    EXPECT_EQ(Picker->DisplayText(), "31.03.2024") << "a field wraps within its range";
    Driver.PressKey(VK_RIGHT);
    EXPECT_EQ(Picker->ActiveFieldKind(), fkMonth);
    Driver.PressKey(VK_UP);
    EXPECT_EQ(Picker->DisplayText(), "30.04.2024") << "the day is kept within the new month";
    Driver.PressKey(VK_RIGHT);
    Driver.PressKey(VK_RIGHT);
    EXPECT_EQ(Picker->ActiveFieldKind(), fkYear) << "stops at the last field";
    Driver.PressKey(VK_DOWN);
    EXPECT_EQ(Shown(), "2023-04-30 14:30:15") << "the time of day stays";
    Driver.PressKey(VK_LEFT);
    EXPECT_EQ(Picker->ActiveFieldKind(), fkMonth);
    EXPECT_EQ(Changes, 4) << "every step by the user; none by code";
}

TEST_F(DateTimePickerTest, DigitsTypeAFieldAndMoveOnWhenItIsFull) {
    Driver.Type("25");
    EXPECT_EQ(Picker->DisplayText(), "25.03.2024");
    EXPECT_EQ(Picker->ActiveFieldKind(), fkMonth);
    Driver.Type("1");
    EXPECT_EQ(Picker->ActiveFieldKind(), fkMonth) << "10 to 12 may follow";
    Driver.Type("1");
    EXPECT_EQ(Picker->DisplayText(), "25.11.2024");
    EXPECT_EQ(Picker->ActiveFieldKind(), fkYear);
    Driver.Type("199");
    EXPECT_EQ(Picker->DisplayText(), "25.11.199") << "the year shows what is typed";
    Driver.Type("9");
    EXPECT_EQ(Shown(), "1999-11-25 14:30:15");

    // A digit that cannot start a longer number ends the field; a separator does too.
    Driver.PressKey(VK_LEFT);
    Driver.PressKey(VK_LEFT);
    Driver.Type("7");
    EXPECT_EQ(Picker->ActiveFieldKind(), fkMonth);
    Driver.Type("1");
    Driver.Type(".");
    EXPECT_EQ(Picker->ActiveFieldKind(), fkYear);
    EXPECT_EQ(Shown(), "1999-01-07 14:30:15");

    // Two digits of a year are placed by the century window when the field is left.
    Driver.Type("99");
    Driver.PressKey(VK_LEFT);
    int year = std::stoi(FormatDateTime("yyyy", Picker->Date()));
    EXPECT_EQ(year % 100, 99);
    int now = std::stoi(FormatDateTime("yyyy", plat::Date()));
    EXPECT_LT(std::abs(year - now), 100);
}

TEST_F(DateTimePickerTest, LongFormatShowsNamesThatStepToo) {
    Picker->SetDateFormat(dfLong);
    EXPECT_EQ(Picker->DisplayText(), "Tuesday, 5 March 2024");
    EXPECT_EQ(Picker->ActiveFieldKind(), fkDayName);
    Driver.PressKey(VK_UP);
    EXPECT_EQ(Picker->DisplayText(), "Wednesday, 6 March 2024");
    Driver.PressKey(VK_RIGHT);
    Driver.PressKey(VK_RIGHT);
    EXPECT_EQ(Picker->ActiveFieldKind(), fkMonthName);
    Driver.Type("12");
    EXPECT_EQ(Picker->DisplayText(), "Friday, 6 December 2024") << "digits choose a month by number";
}

TEST_F(DateTimePickerTest, TimesStepByKeysAndTheUpDownButtons) {
    Picker->SetKind(dtkTime);
    EXPECT_EQ(Picker->DisplayText(), "14:30:15");
    EXPECT_EQ(Picker->ActiveFieldKind(), fkHour);
    Picker->SetTime(EncodeTime(23, 59, 0, 0));
    Driver.PressKey(VK_UP);
    EXPECT_EQ(Shown(), "2024-03-05 00:59:00") << "the hour wraps without changing the date";
    Driver.PressKey(VK_RIGHT);
    TRect buttons = Picker->ButtonRect();
    Driver.Click(Picker, TPoint(buttons.CenterPoint().X, buttons.Top + 3));
    EXPECT_EQ(Shown(), "2024-03-05 00:00:00") << "the up button steps the minutes";
    Driver.Click(Picker, TPoint(buttons.CenterPoint().X, buttons.Bottom - 3));
    EXPECT_EQ(Shown(), "2024-03-05 00:59:00");

    // A 12-hour format: the am/pm field follows letters.
    FormatSettings().LongTimeFormat = "h:nn am/pm";
    Picker->SetKind(dtkDate);
    Picker->SetKind(dtkTime);
    EXPECT_EQ(Picker->DisplayText(), "12:59 AM");
    Driver.PressKey(VK_RIGHT);
    Driver.PressKey(VK_RIGHT);
    EXPECT_EQ(Picker->ActiveFieldKind(), fkAmPm);
    Driver.Type("p");
    EXPECT_EQ(Picker->DisplayText(), "12:59 PM");
    EXPECT_EQ(Shown(), "2024-03-05 12:59:00");
}

TEST_F(DateTimePickerTest, LimitsHoldTheUserAndRejectCode) {
    Picker->SetMinDate(EncodeDate(2024, 3, 1));
    Picker->SetMaxDate(EncodeDate(2024, 3, 6));
    Driver.PressKey(VK_UP);
    Driver.PressKey(VK_UP);
    EXPECT_EQ(Picker->DisplayText(), "06.03.2024") << "held at the maximum";
    Driver.PressKey(VK_RIGHT);
    Driver.PressKey(VK_DOWN);
    EXPECT_EQ(Picker->DisplayText(), "01.03.2024") << "February is before the minimum";
    EXPECT_THROW(Picker->SetDate(EncodeDate(2024, 4, 1)), EDateTimeError);
    EXPECT_THROW(Picker->SetMinDate(EncodeDate(2024, 5, 1)), EDateTimeError);
    try {
        Picker->SetDate(EncodeDate(2024, 2, 1));
        FAIL();
    } catch (const EDateTimeError& e) {
        EXPECT_EQ(e.Message(), "Date exceeds minimum of 01.03.2024");
    }
}

TEST_F(DateTimePickerTest, TheCheckBoxIsToggledAndEditingChecksIt) {
    Picker->SetShowCheckbox(true);
    Driver.Pump();
    Driver.Click(Picker, Picker->CheckBoxRect().CenterPoint());
    EXPECT_FALSE(Picker->Checked());
    EXPECT_EQ(Changes, 1);
    Driver.PressKey(VK_SPACE);
    EXPECT_TRUE(Picker->Checked());
    Driver.PressKey(VK_SPACE);
    EXPECT_FALSE(Picker->Checked());
    Driver.PressKey(VK_UP);
    EXPECT_TRUE(Picker->Checked()) << "a changed value is a chosen value";
    EXPECT_EQ(Changes, 4);
}

TEST_F(DateTimePickerTest, TheCalendarDropsDownAndPicksByKeys) {
    int drops = 0, closes = 0;
    Picker->OnDropDown = [&](TObject*) { ++drops; };
    Picker->OnCloseUp = [&](TObject*) { ++closes; };
    Driver.PressKey(VK_F4);
    ASSERT_TRUE(Picker->DroppedDown());
    TDateTimePickerCalendar* cal = Picker->Calendar();
    ASSERT_NE(cal, nullptr);
    EXPECT_EQ(cal->ShownMonth(), 3);
    EXPECT_GE(cal->Top(), Picker->ClientOrigin().Y + Picker->ClientHeight()) << "below the picker";
    Driver.PressKey(VK_DOWN);
    Driver.PressKey(VK_RIGHT);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", cal->SelectedDate()), "2024-03-13");
    EXPECT_EQ(Changes, 0) << "moving in the calendar changes nothing yet";
    Driver.PressKey(VK_NEXT);
    EXPECT_EQ(cal->ShownMonth(), 4);
    Driver.PressKey(VK_RETURN);
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_EQ(Shown(), "2024-04-13 14:30:15");
    EXPECT_EQ(Changes, 1);
    EXPECT_TRUE(Form->Visible());

    Driver.PressKey(VK_DOWN, modAlt);
    ASSERT_TRUE(Picker->DroppedDown());
    Driver.PressKey(VK_LEFT);
    Driver.PressKey(VK_ESCAPE);
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_EQ(Shown(), "2024-04-13 14:30:15") << "Escape keeps the value";
    EXPECT_EQ(drops, 2);
    EXPECT_EQ(closes, 2);
}

TEST_F(DateTimePickerTest, TheCalendarPicksByMouse) {
    Driver.Click(Picker, Picker->ButtonRect().CenterPoint());
    ASSERT_TRUE(Picker->DroppedDown());
    TDateTimePickerCalendar* cal = Picker->Calendar();
    Driver.Click(cal, cal->NextButtonRect().CenterPoint());
    EXPECT_EQ(cal->ShownMonth(), 4);
    Driver.Click(cal, cal->DayRect(EncodeDate(2024, 4, 22)).CenterPoint());
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_EQ(Shown(), "2024-04-22 14:30:15");
    EXPECT_EQ(Changes, 1);

    // Days beyond the limits cannot be picked; a press outside closes without a change.
    Picker->SetMaxDate(EncodeDate(2024, 4, 25));
    Driver.Click(Picker, Picker->ButtonRect().CenterPoint());
    cal = Picker->Calendar();
    ASSERT_NE(cal, nullptr);
    Driver.Click(cal, cal->DayRect(EncodeDate(2024, 4, 27)).CenterPoint());
    EXPECT_TRUE(Picker->DroppedDown());
    Driver.Click(Form, TPoint(280, 250));
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_EQ(Shown(), "2024-04-22 14:30:15");
    EXPECT_EQ(Changes, 1);
}
