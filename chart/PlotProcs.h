// Stateless helpers every part of the chart engine shares: point, rectangle and colour arithmetic for
// drawing, the date-time label steps with calendar stepping, an index sort driven by callbacks, the
// series colour palettes, the registries of series and tool classes, the hand cursor and the engine's
// error box.
#pragma once

#include <bit>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Types.h"

namespace chart {

using plat::TColor;
using plat::TDateTime;
using plat::TPoint;
using plat::TRect;

// The engine's "automatic" colour: a pen, brush or series with it takes its colour from its owner.
constexpr TColor AutoColor = 0x20000000;

// --- Points and rectangles --------------------------------------------------------------------------

// A double taken to the nearest pixel: halves go to the even neighbour; NaN gives 0 and values beyond
// the 32-bit range stop at its ends. Inline because every drawn point goes through it.
int RoundToIntOutOfRange(double Value);
inline int RoundToInt(double Value) {
    if (Value > -2147483648.0 && Value < 2147483647.0) {
        // Adding 1.5 * 2^52 leaves the value rounded in the current mode (to nearest-even, like
        // nearbyint) in the low 32 bits of the sum.
        const double shifted = Value + 6755399441055744.0;
        return static_cast<int32_t>(static_cast<uint32_t>(std::bit_cast<uint64_t>(shifted)));
    }
    return RoundToIntOutOfRange(Value);
}

TPoint MakePoint(int X, int Y);
TRect MakeRect(int Left, int Top, int Right, int Bottom);
// All four edges count as inside.
bool RectContainsXY(const TRect& Rect, int X, int Y);
bool RectContainsPoint(const TRect& Rect, TPoint P);
// Left <= Right and Top <= Bottom, exchanging where needed.
TRect OrderRect(const TRect& Rect);
// Negative for an unordered rectangle.
void GetRectExtent(const TRect& Rect, int& Width, int& Height);
// The halving truncates toward zero.
void RectCenter(const TRect& Rect, int& X, int& Y);
// The smallest rectangle holding the first N points, with Right and Bottom one further so that it can
// go to the calls that leave out the right and bottom edges. An empty rectangle for N <= 0.
TRect PolygonBounds(const TPoint* Points, int N);

// The visibility test of 3D faces: True when the three projected corners turn the back way.
bool IsBackFacing(TPoint P0, TPoint P1, TPoint P2);
// IsBackFacing of the first three points.
bool IsBackFacingPoints(const TPoint* Points);

// Turns the points into their convex outline (used to clip to a projected box), ending with the pivot:
// the topmost point, rightmost among equals. Three points stay as they are; fewer give False.
bool ConvexHullPolygon(std::vector<TPoint>& Points);

// The point Distance pixels before ToPoint on the line that comes from FromPoint (arrow heads, callouts).
TPoint PointBackAlongLine(TPoint FromPoint, TPoint ToPoint, int Distance);

double VectorLength(double DX, double DY);
void ExchangeIntegers(int& A, int& B);
void ExchangeDoubles(double& A, double& B);

// --- Colours ----------------------------------------------------------------------------------------

// Pixel[0] blue, Pixel[1] green, Pixel[2] red: the byte order of a 24-bit bitmap pixel.
void ColorToPixelBytes(TColor Color, uint8_t* Pixel);
// Each channel of the resolved colour less / more Amount (0..255), stopping at 0 / 255.
TColor DarkerColor(TColor Color, int Amount);
TColor LighterColor(TColor Color, int Amount);

// --- Date-time steps --------------------------------------------------------------------------------

// Indexes of the date-time step table; the steps from dtHalfMonth on follow the calendar.
enum TDateTimeStep {
    dtOneMicroSecond,
    dtOneMillisecond,
    dtOneSecond,
    dtFiveSeconds,
    dtTenSeconds,
    dtFifteenSeconds,
    dtThirtySeconds,
    dtOneMinute,
    dtFiveMinutes,
    dtTenMinutes,
    dtFifteenMinutes,
    dtThirtyMinutes,
    dtOneHour,
    dtTwoHours,
    dtSixHours,
    dtTwelveHours,
    dtOneDay,
    dtTwoDays,
    dtThreeDays,
    dtOneWeek,
    dtHalfMonth,
    dtOneMonth,
    dtTwoMonths,
    dtThreeMonths,
    dtFourMonths,
    dtSixMonths,
    dtOneYear,
    dtNone
};

// Step lengths in days, by TDateTimeStep.
inline constexpr double DateTimeStep[dtNone] = {1.0 / 86400000000.0,
                                                1.0 / 86400000.0,
                                                1.0 / 86400,
                                                5.0 / 86400,
                                                10.0 / 86400,
                                                15.0 / 86400,
                                                30.0 / 86400,
                                                60.0 / 86400,
                                                300.0 / 86400,
                                                600.0 / 86400,
                                                900.0 / 86400,
                                                1800.0 / 86400,
                                                1.0 / 24,
                                                2.0 / 24,
                                                6.0 / 24,
                                                12.0 / 24,
                                                1,
                                                2,
                                                3,
                                                7,
                                                15,
                                                30,
                                                60,
                                                90,
                                                120,
                                                182,
                                                365};

// 1 January 1900: calendar truncation leaves earlier dates alone.
constexpr TDateTime DateTimeLimit = 2.0;

// The locale's short date format for a range of more than a day, else its short time format.
std::string ChooseDateTimeFormat(double Range);
// The table step after the largest one not above Step; a Step below the first entry gives one year.
double NextDateTimeStep(double Step);
// The table index of Step (within a microsecond), or dtNone.
int DateTimeStepIndex(double Step);
// Drops the time of day and takes the date back to the start of its half month, month or year, by
// the step index (20 and above); dates up to DateTimeLimit come back unchanged.
TDateTime TruncateDateToStep(int StepIndex, TDateTime Date);
// Moves Value one step up or down. With Calendar, the steps from dtHalfMonth on move by calendar
// months (the time of day is dropped); every other step adds or takes off Step.
void IncDecDateTime(bool Calendar, bool Up, double& Value, int StepIndex, double Step);

// --- Sorting ----------------------------------------------------------------------------------------

// compare(a, b) answers <0, 0 or >0 for the items at two indexes; swap exchanges them.
using TSortCompareProc = std::function<int(int A, int B)>;
using TSortSwapProc = std::function<void(int A, int B)>;

// Quicksort of the index range First..Last; the data moves only through Swap. Not stable.
void SortIndexRange(int First, int Last, const TSortCompareProc& Compare, const TSortSwapProc& Swap);

// --- Palettes ---------------------------------------------------------------------------------------

using TColorArray = std::vector<TColor>;

// The 20 colours series take by default, in order.
const TColorArray& DefaultColorPalette();
// The default palette's colour for an index, counting round.
TColor DefaultPaletteColor(int Index);
// Names of the palettes a chart can switch to; index 0 is the default palette.
const plat::TStringList& ColorPalettes();

// What ApplyColorPalette needs of a chart.
class IColorPaletteChart {
public:
    // The chart's own palette; empty means the default palette.
    virtual TColorArray& ColorPalette() = 0;
    // Every series with an automatic colour takes a new one from the palette.
    virtual void SetAutomaticSeriesColors() = 0;
    // Stores the index of the palette last applied.
    virtual void SetColorPaletteIndex(int Index) = 0;
    virtual void Invalidate() = 0;

protected:
    ~IColorPaletteChart() = default;
};

// Index 1 to 9 gives the chart that palette; any other index returns it to the default palette.
void ApplyColorPalette(IColorPaletteChart& Chart, int Index);

// --- Registries -------------------------------------------------------------------------------------

// One entry of the series gallery: a series class, a function class, or both (a calculated series).
// Description and page are the message-table variables themselves, read when shown.
struct TPlotSeriesType {
    const plat::TClassInfo* SeriesClass = nullptr;   // null for a function entry
    const plat::TClassInfo* FunctionClass = nullptr; // null for a plain series type
    const std::string* Description = nullptr;        // lines separated by "\r"
    const std::string* GalleryPage = nullptr;
    int NumGallerySeries = 0; // series the gallery shows to preview the type

    std::string DescriptionText() const { return Description ? *Description : std::string(); }
    std::string GalleryPageText() const { return GalleryPage ? *GalleryPage : std::string(); }
};

// The registered series and function types, in registration order.
class TPlotSeriesTypes {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError for an index out of range.
    const TPlotSeriesType* SeriesTypeAt(int Index) const;
    // The entry of that series class without a function class, or null.
    const TPlotSeriesType* FindSeriesClass(const plat::TClassInfo* SeriesClass) const;
    const TPlotSeriesType* Find(const plat::TClassInfo* SeriesClass,
                                const plat::TClassInfo* FunctionClass) const;
    void Add(const TPlotSeriesType& Type);
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TPlotSeriesType>> FItems;
};

// The registered tool classes, in registration order.
class TPlotToolTypes {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError for an index out of range.
    const plat::TClassInfo* ToolClassAt(int Index) const;
    int IndexOf(const plat::TClassInfo* ToolClass) const;
    void Add(const plat::TClassInfo* ToolClass) { FItems.push_back(ToolClass); }
    void Remove(const plat::TClassInfo* ToolClass);

private:
    std::vector<const plat::TClassInfo*> FItems;
};

TPlotSeriesTypes& PlotSeriesTypes();
TPlotToolTypes& PlotToolTypes();

// Registers the classes with the class streaming system and adds a gallery entry, unless one with the
// same series and function class exists. The texts are kept by reference.
void RegisterPlotSeriesFunction(const plat::TClassInfo* SeriesClass, const plat::TClassInfo* FunctionClass,
                                const std::string* Description, const std::string* GalleryPage,
                                int NumGallerySeries);
void RegisterPlotSeries(const plat::TClassInfo* SeriesClass, const std::string* Description,
                        const std::string* GalleryPage, int NumGallerySeries);
// On the "Standard" page with two gallery series.
void RegisterPlotSeries(const plat::TClassInfo* SeriesClass, const std::string* Description);
void RegisterPlotFunction(const plat::TClassInfo* FunctionClass, const std::string* Description,
                          const std::string* GalleryPage, int NumGallerySeries);
// On the "Standard" page with two gallery series.
void RegisterPlotFunction(const plat::TClassInfo* FunctionClass, const std::string* Description);

// The gallery description registered for the series' class, else its class name.
std::string GetGallerySeriesName(const plat::TObject* Series);

// Classes not yet listed are registered with the class streaming system and appended.
void RegisterPlotTools(std::initializer_list<const plat::TClassInfo*> ToolClasses);
void UnRegisterPlotTools(std::initializer_list<const plat::TClassInfo*> ToolClasses);

// --- Hand cursor ------------------------------------------------------------------------------------

// The chart engine's hand cursor in the screen's cursor table; charts show it while panning is on.
constexpr int crPlotHand = 2020;
constexpr const char* PlotHandCursorResource = "PLOT_CURSOR_HAND";

// Puts the hand cursor, loaded from the program's cursor resource, into the screen's cursor table.
// False when the resource cannot be loaded; the chart then keeps the default cursor.
bool LoadPlotHandCursor();
// Takes the hand cursor out of the screen's cursor table again.
void RemovePlotHandCursor();

// --- Error box --------------------------------------------------------------------------------------

// Shows an error to the user, cut to 1023 characters.
void ShowErrorMessage(const std::string& Text);

// Where ShowErrorMessage sends its text; returns the previous presenter. Until the platform's message
// boxes exist the default writes to the standard error stream.
using TErrorMessagePresenter = std::function<void(const std::string& Text)>;
TErrorMessagePresenter SetErrorMessagePresenter(TErrorMessagePresenter Presenter);

} // namespace chart
