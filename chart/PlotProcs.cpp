// Date-time steps, the index sort, palettes, the hand cursor and the error box of the chart engine.
#include "chart/PlotProcs.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "platform/rtl/Locale.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Screen.h"

namespace chart {

// --- Date-time steps --------------------------------------------------------------------------------

std::string ChooseDateTimeFormat(double Range) {
    const plat::TFormatSettings& fs = plat::FormatSettings();
    return Range > 1 ? fs.ShortDateFormat : fs.ShortTimeFormat;
}

double NextDateTimeStep(double Step) {
    for (int k = dtSixMonths; k >= dtOneMicroSecond; --k)
        if (Step >= DateTimeStep[k])
            return DateTimeStep[k + 1];
    return DateTimeStep[dtOneYear];
}

int DateTimeStepIndex(double Step) {
    for (int k = dtOneYear; k >= dtOneMicroSecond; --k)
        if (std::fabs(DateTimeStep[k] - Step) < DateTimeStep[dtOneMicroSecond])
            return k;
    return dtNone;
}

TDateTime TruncateDateToStep(int StepIndex, TDateTime Date) {
    if (!(Date > DateTimeLimit))
        return Date;
    int year, month, day;
    plat::DecodeDate(Date, year, month, day);
    if (StepIndex == dtHalfMonth)
        day = day < 15 ? 1 : 15;
    else if (StepIndex >= dtOneMonth && StepIndex <= dtSixMonths)
        day = 1;
    else if (StepIndex == dtOneYear) {
        day = 1;
        month = 1;
    }
    TDateTime result;
    return plat::TryEncodeDate(year, month, day, result) ? result : Date;
}

namespace {

// Month moves land on the first of the month.
void IncMonths(int& Year, int& Month, int& Day, int Months) {
    Month += Months;
    if (Month > 12) {
        ++Year;
        Month -= 12;
    }
    Day = 1;
}

void DecMonths(int& Year, int& Month, int& Day, int Months) {
    if (Months < Month) {
        Month -= Months;
    } else {
        --Year;
        Month = Month + 12 - Months;
    }
    Day = 1;
}

} // namespace

void IncDecDateTime(bool Calendar, bool Up, double& Value, int StepIndex, double Step) {
    const double plain = Up ? Value + Step : Value - Step;
    if (!Calendar || StepIndex < dtHalfMonth || StepIndex > dtOneYear) {
        Value = plain;
        return;
    }
    int year, month, day;
    plat::DecodeDate(Value, year, month, day);
    switch (StepIndex) {
    case dtHalfMonth:
        // Upward goes to the next half-month start, so that stepping up always moves forward.
        if (Up) {
            if (day < 15)
                day = 15;
            else
                IncMonths(year, month, day, 1);
        } else if (day > 15) {
            day = 15;
        } else if (day > 1) {
            day = 1;
        } else {
            DecMonths(year, month, day, 1);
            day = 15;
        }
        break;
    case dtOneYear:
        year += Up ? 1 : -1;
        // 29 February has no twin in the next or previous year.
        day = std::min(day, plat::DaysInAMonth(year, month));
        break;
    default: {
        static constexpr int kMonths[] = {1, 2, 3, 4, 6};
        const int months = kMonths[StepIndex - dtOneMonth];
        if (Up)
            IncMonths(year, month, day, months);
        else
            DecMonths(year, month, day, months);
    }
    }
    TDateTime date;
    // A date the calendar cannot hold (before year 1, after 9999) still moves by the plain step, so
    // that loops over steps always end.
    Value = plat::TryEncodeDate(year, month, day, date) ? date : plain;
}

// --- Sorting ----------------------------------------------------------------------------------------

void SortIndexRange(int First, int Last, const TSortCompareProc& Compare, const TSortSwapProc& Swap) {
    int l = First;
    const int r = Last;
    while (l < r) {
        int i = l;
        int j = r;
        int m = static_cast<int>((int64_t(l) + r) / 2);
        while (i < j) {
            // The bounds only matter to a comparison that contradicts itself; a sound one stops first.
            while (i < r && Compare(i, m) < 0)
                ++i;
            while (j > l && Compare(m, j) < 0)
                --j;
            if (i < j) {
                Swap(i, j);
                // The pivot is an index: it follows its element.
                if (i == m)
                    m = j;
                else if (m == j)
                    m = i;
            }
            if (i <= j) {
                ++i;
                --j;
            }
        }
        if (l < j)
            SortIndexRange(l, j, Compare, Swap);
        l = i;
    }
}

// --- Palettes ---------------------------------------------------------------------------------------

namespace {

using namespace plat;

const TColorArray kPalettes[] = {
    {}, // the default palette
    // Excel
    {0xFF9999, 0x663399, 0xCCFFFF, 0xFFFFCC, 0x660066, 0x8080FF, 0xCC6600, 0xFFCCCC,
     0x800000, 0xFF00FF, 0x00FFFF, 0xFFFF00, 0x800080, 0x000080, 0x808000, 0xFF0000,
     0xFFCC00, 0xFFFFCC, 0xCCFFCC, 0x00FFFF, 0xFFCC99, 0xCC99FF},
    // Victorian
    {0xA1A55D, 0x3153C4, 0x0996E7, 0x4AE8F6, 0xA7A2B1, 0x84A7C9, 0x51798C, 0xB7CDD8, 0x536508, 0x7BD8F7,
     0x846401},
    // Pastels
    {0xFFFFCC, 0xCCFFFF, 0xFFCCCC, 0xCCCC00, 0xCCCCCC, 0x999900, 0x999999, 0xCCCCFF, 0x66CCFF, 0xFFCCCC,
     0x9999FF, 0x99FFFF, 0xFFCC99, 0xCCFFCC},
    // Solid
    {0xFF0000, 0x0000FF, 0x00FF00, 0x00CCFF, 0x404040, 0x00FFFF, 0xC000FF, 0xFFFFFF},
    // Classic
    {0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000, 0x808000, 0x000080,
     0x800080, 0x008080},
    // Web
    {0x00A5FF, 0xCE0000, 0x00CE00, 0x40FFFF, 0xFFFF40, 0xFF40FF, 0x0040FF, 0xA58080, 0x408080},
    // Modern
    {0x6699FF, 0x6666FF, 0xFFCC99, 0x669966, 0x99CCCC, 0xCC6699, 0x6666CC, 0x99CCFF, 0xFF6699, 0xCCCCCC,
     0xCCFF66, 0xFF9966, 0x996699, 0xFFCCCC},
    // Rainbow
    {0x000099, 0x0000C3, 0x0000EE, 0x001AFF, 0x0046FF, 0x0073FF, 0x009FFF, 0x00CBFF, 0x00F7FF,
     0x08F4E3, 0x11E7C3, 0x1BDAA3, 0x25CD83, 0x2EC063, 0x38B342, 0x42A622, 0x4B9A02, 0x6A870C,
     0x8A751A, 0xAA6328, 0xCB5036, 0xEB3E44, 0xFF2A61, 0xFF1596, 0xFF00CC},
    // Win. XP
    {0xFE9B82, 0x24D1FC, 0x0DBC7C, 0x2F85FD, 0xFCFEFD, 0x214EE2, 0xD63829, 0x0094B7, 0x00865A, 0x0046D2,
     0xFAE5D3, 0xD8D8D8, 0x7B715F},
};

constexpr int kPaletteCount = sizeof(kPalettes) / sizeof(kPalettes[0]);

} // namespace

const TColorArray& DefaultColorPalette() {
    static const TColorArray palette = {
        clRed,  clGreen, clYellow, clBlue,   clWhite, clGray,  clFuchsia,    clTeal,    clNavy,  clMaroon,
        clLime, clOlive, clPurple, clSilver, clAqua,  clBlack, clMoneyGreen, clSkyBlue, clCream, clMedGray};
    return palette;
}

TColor DefaultPaletteColor(int Index) {
    const TColorArray& palette = DefaultColorPalette();
    const int n = static_cast<int>(palette.size());
    return palette[((Index % n) + n) % n];
}

const TStringList& ColorPalettes() {
    static TStringList names;
    static const bool filled = [] {
        for (const char* name : {"Plotwise", "Excel", "Victorian", "Pastels", "Solid", "Classic", "Web",
                                 "Modern", "Rainbow", "Win. XP"})
            names.Add(name);
        return true;
    }();
    (void)filled;
    return names;
}

void ApplyColorPalette(IColorPaletteChart& Chart, int Index) {
    if (Index > 0 && Index < kPaletteCount)
        Chart.ColorPalette() = kPalettes[Index];
    else
        Chart.ColorPalette().clear();
    Chart.SetAutomaticSeriesColors();
    Chart.SetColorPaletteIndex(Index);
    Chart.Invalidate();
}

// --- Hand cursor ------------------------------------------------------------------------------------

// The screen object is created by the windowing layer's own start-up, which may run after ours; without
// it the cursor stays unloaded and the chart keeps the default one.
bool LoadPlotHandCursor() {
    if (!plat::Screen)
        return false;
    plat::HCURSOR cursor = plat::LoadCursorResource(PlotHandCursorResource);
    if (!cursor)
        return false;
    plat::Screen->SetCursors(crPlotHand, cursor);
    return true;
}

void RemovePlotHandCursor() {
    if (plat::Screen)
        plat::Screen->SetCursors(crPlotHand, nullptr);
}

namespace {

struct THandCursorUnit {
    THandCursorUnit() { LoadPlotHandCursor(); }
    ~THandCursorUnit() { RemovePlotHandCursor(); }
};

const THandCursorUnit HandCursorUnit;

} // namespace

// --- Error box --------------------------------------------------------------------------------------

namespace {

TErrorMessagePresenter& Presenter() {
    static TErrorMessagePresenter presenter = [](const std::string& Text) { std::cerr << Text << '\n'; };
    return presenter;
}

} // namespace

void ShowErrorMessage(const std::string& Text) {
    // Cut after 1023 characters, not bytes, so that no character is split.
    constexpr size_t kMaxCharacters = 1023;
    size_t characters = 0;
    size_t end = 0;
    for (; end < Text.size(); ++end) {
        const bool startsCharacter = !plat::IsUtf8Continuation(Text[end]);
        if (startsCharacter && characters++ == kMaxCharacters)
            break;
    }
    if (Presenter())
        Presenter()(Text.substr(0, end));
}

TErrorMessagePresenter SetErrorMessagePresenter(TErrorMessagePresenter NewPresenter) {
    TErrorMessagePresenter old = std::move(Presenter());
    Presenter() = std::move(NewPresenter);
    return old;
}

} // namespace chart
