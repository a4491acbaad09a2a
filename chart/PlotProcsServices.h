// Small routines the chart engine shares: point-in-shape tests for clicks, separated-field text
// routines, locale conversion of number format masks, unique component names, bitmap resources, a
// text-to-number conversion that never raises, the chart editor's settings and the base of the data
// exporters.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/Types.h"

namespace plat {
class TBitmap;
class TComponent;
class TControl;
class TStream;
} // namespace plat

namespace chart {

using plat::TPoint;
using plat::TRect;

// --- Geometry (integer pixels, inclusive tests) -----------------------------------------------------

double PointSegmentDistance(TPoint P, TPoint A, TPoint B);
// P on the segment A-B, or at most Tolerance + 1 pixels away from it.
bool PointInLine(TPoint P, TPoint A, TPoint B, int Tolerance = 0);
bool PointInLine(TPoint P, int X0, int Y0, int X1, int Y1, int Tolerance = 0);
// Even-odd rule over Points[0..LastIndex].
bool PointInPolygon(TPoint P, const TPoint* Points, int LastIndex);
bool PointInPolygon(TPoint P, const std::vector<TPoint>& Points);
// The triangle (x0, y1), ((x0 + x1) div 2, y0), (x1, y1): tip up when y0 < y1.
bool PointInTriangle(TPoint P, int X0, int X1, int Y0, int Y1);
// The triangle (x1, y0), (x0, (y0 + y1) div 2), (x1, y1): tip at x0.
bool PointInSideTriangle(TPoint P, int Y0, int Y1, int X0, int X1);
// False for a rectangle with no width or height measured from its centre.
bool PointInEllipse(TPoint P, const TRect& Rect);

// --- Text -------------------------------------------------------------------------------------------

std::string IntToText(int Value);

// The separator the field routines use; ";" at start.
extern std::string PlotFieldSeparator;
// 0 for an empty text, else 1 + the number of separators.
int FieldCount(const std::string& Text);
// Field Index counted from 1: empty for Index < 1 or an empty text, the last field past the end.
std::string FieldAt(const std::string& Text, int Index);
int CountSeparatedFields(const std::string& Text, const std::string& Separator);
std::string GetSeparatedField(const std::string& Text, int Index, const std::string& Separator);

// Every Character replaced by Replacement, or deleted when Replacement is '\0'.
std::string SubstituteChar(const std::string& Text, char Character, char Replacement);

// ',' becomes the locale's thousand separator and '.' its decimal separator (both at once, so they do
// not run into each other); the mask stays as it is when the two locale separators are equal.
std::string FormatMaskToLocale(const std::string& Mask);
// The inverse: the locale's thousand separator becomes ',' and its decimal separator '.'.
std::string FormatMaskFromLocale(const std::string& Mask);

// The number in the text (the locale's decimal separator), or Default when the text is no number.
double TextToFloatOrDefault(const std::string& Text, double Default);

// Base + the first number 1, 2, ... that no component of the owner is named; empty without owner.
std::string MakeUniqueComponentName(plat::TComponent* Owner, const std::string& Base);

// --- Controls and resources -------------------------------------------------------------------------

void SetControlsEnabled(bool Enabled, std::initializer_list<plat::TControl*> Controls);

// Called by the chart editor dialogs when they show or refill their controls; unset in the program.
using TPlotControlHook =
    std::function<void(plat::TControl* Control, const std::vector<plat::TControl*>& Skip)>;
extern TPlotControlHook PlotControlHook;
void CallControlHookExcept(plat::TControl* Control, const std::vector<plat::TControl*>& Skip);
void CallControlHook(plat::TControl* Control);

// A bitmap with the resource names to load it from.
struct TPlotBitmap {
    plat::TBitmap* Bitmap = nullptr;
    std::string Name;
    std::string FallbackName;
};

// Loads the bitmap resource Name, else Fallback, into Bitmap; False when neither loads.
bool LoadBitmapResource(plat::TBitmap* Bitmap, const std::string& Name, const std::string& Fallback);
// The picture of a series class: the resource named after its class, else after its parent class.
bool LoadSeriesClassBitmap(const plat::TObject* Series, plat::TBitmap* Bitmap);

// --- Editor settings --------------------------------------------------------------------------------

extern const char* const PlotEditorKey;
bool ReadEditorBoolSetting(const std::string& Name, bool Default);
int ReadEditorIntSetting(const std::string& Name, int Default);
void WriteEditorBoolSetting(const std::string& Name, bool Value);

// --- Data exporters ---------------------------------------------------------------------------------

class TPlotExportData : public plat::TObject {
    PLAT_CLASS(TPlotExportData)
public:
    // The export as text; the exporters fill it in.
    virtual std::string AsString() { return std::string(); }
    virtual void CopyToClipboard();
    // The characters of AsString, no terminator.
    virtual void SaveToStream(plat::TStream& Stream);
    // Written to a temporary file and renamed over the target.
    virtual void SaveToFile(const std::string& FileName);
};

} // namespace chart
