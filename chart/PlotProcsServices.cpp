#include "chart/PlotProcsServices.h"

#include <cmath>
#include <memory>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/GfxResources.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/Stream.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Control.h"

namespace chart {

PLAT_CLASS_INFO(TPlotExportData, plat::TObject)

// --- Geometry ---------------------------------------------------------------------------------------

double PointSegmentDistance(TPoint P, TPoint A, TPoint B) {
    const double px = P.X, py = P.Y, ax = A.X, ay = A.Y, bx = B.X, by = B.Y;
    if (A.X == B.X && A.Y == B.Y)
        return std::hypot(px - ax, py - ay);
    const double dx = bx - ax, dy = by - ay;
    const double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
    if (t < 0)
        return std::hypot(px - ax, py - ay);
    if (t > 1)
        return std::hypot(px - bx, py - by);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

bool PointInLine(TPoint P, TPoint A, TPoint B, int Tolerance) {
    if ((P.X == A.X && P.Y == A.Y) || (P.X == B.X && P.Y == B.Y))
        return true;
    return PointSegmentDistance(P, A, B) <= Tolerance + 1;
}

bool PointInLine(TPoint P, int X0, int Y0, int X1, int Y1, int Tolerance) {
    return PointInLine(P, TPoint(X0, Y0), TPoint(X1, Y1), Tolerance);
}

bool PointInPolygon(TPoint P, const TPoint* Points, int LastIndex) {
    if (Points == nullptr || LastIndex < 0)
        return false;
    bool inside = false;
    int j = LastIndex;
    for (int k = 0; k <= LastIndex; ++k) {
        const TPoint& pk = Points[k];
        const TPoint& pj = Points[j];
        if (((pk.Y <= P.Y && P.Y < pj.Y) || (pj.Y <= P.Y && P.Y < pk.Y)) &&
            P.X < pk.X + static_cast<double>(pj.X - pk.X) * (P.Y - pk.Y) / (pj.Y - pk.Y))
            inside = !inside;
        j = k;
    }
    return inside;
}

bool PointInPolygon(TPoint P, const std::vector<TPoint>& Points) {
    return PointInPolygon(P, Points.data(), static_cast<int>(Points.size()) - 1);
}

bool PointInTriangle(TPoint P, int X0, int X1, int Y0, int Y1) {
    const TPoint pts[3] = {TPoint(X0, Y1), TPoint((X0 + X1) / 2, Y0), TPoint(X1, Y1)};
    return PointInPolygon(P, pts, 2);
}

bool PointInSideTriangle(TPoint P, int Y0, int Y1, int X0, int X1) {
    const TPoint pts[3] = {TPoint(X1, Y0), TPoint(X0, (Y0 + Y1) / 2), TPoint(X1, Y1)};
    return PointInPolygon(P, pts, 2);
}

bool PointInEllipse(TPoint P, const TRect& Rect) {
    const int cx = (Rect.Left + Rect.Right) / 2;
    const int cy = (Rect.Top + Rect.Bottom) / 2;
    const double a = cx - Rect.Left;
    const double b = cy - Rect.Top;
    if (a == 0 || b == 0)
        return false;
    const double dx = P.X - cx, dy = P.Y - cy;
    return dx * dx / (a * a) + dy * dy / (b * b) <= 1;
}

// --- Text -------------------------------------------------------------------------------------------

std::string IntToText(int Value) {
    return std::to_string(Value);
}

std::string PlotFieldSeparator = ";";

int FieldCount(const std::string& Text) {
    if (Text.empty())
        return 0;
    const std::string& sep = PlotFieldSeparator;
    if (sep.empty())
        return 1;
    int n = 1;
    for (size_t pos = Text.find(sep); pos != std::string::npos; pos = Text.find(sep, pos + sep.size()))
        ++n;
    return n;
}

std::string FieldAt(const std::string& Text, int Index) {
    if (Index < 1 || Text.empty())
        return std::string();
    const std::string& sep = PlotFieldSeparator;
    if (sep.empty())
        return Text;
    size_t start = 0;
    for (int field = 1;; ++field) {
        const size_t end = Text.find(sep, start);
        if (field == Index || end == std::string::npos)
            return Text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end + sep.size();
    }
}

namespace {
// Sets the field separator for one call and puts the old one back, also when the call raises.
class TSeparatorScope {
public:
    explicit TSeparatorScope(const std::string& Separator) : FOld(PlotFieldSeparator) {
        PlotFieldSeparator = Separator;
    }
    ~TSeparatorScope() { PlotFieldSeparator = FOld; }

private:
    std::string FOld;
};
} // namespace

int CountSeparatedFields(const std::string& Text, const std::string& Separator) {
    TSeparatorScope scope(Separator);
    return FieldCount(Text);
}

std::string GetSeparatedField(const std::string& Text, int Index, const std::string& Separator) {
    TSeparatorScope scope(Separator);
    return FieldAt(Text, Index);
}

std::string SubstituteChar(const std::string& Text, char Character, char Replacement) {
    std::string result;
    result.reserve(Text.size());
    for (char c : Text) {
        if (c != Character)
            result += c;
        else if (Replacement != '\0')
            result += Replacement;
    }
    return result;
}

namespace {
// Maps two characters to two others in one pass, so that a separator put in by the first mapping is
// never taken for the second.
std::string MapSeparators(const std::string& Mask, char From1, char To1, char From2, char To2) {
    std::string result = Mask;
    for (char& c : result) {
        if (c == From1)
            c = To1;
        else if (c == From2)
            c = To2;
    }
    return result;
}
} // namespace

std::string FormatMaskToLocale(const std::string& Mask) {
    const plat::TFormatSettings& fs = plat::FormatSettings();
    if (fs.ThousandSeparator == fs.DecimalSeparator)
        return Mask;
    return MapSeparators(Mask, ',', fs.ThousandSeparator, '.', fs.DecimalSeparator);
}

std::string FormatMaskFromLocale(const std::string& Mask) {
    const plat::TFormatSettings& fs = plat::FormatSettings();
    if (fs.ThousandSeparator == fs.DecimalSeparator)
        return Mask;
    return MapSeparators(Mask, fs.ThousandSeparator, ',', fs.DecimalSeparator, '.');
}

double TextToFloatOrDefault(const std::string& Text, double Default) {
    double value = 0;
    if (plat::TextToFloat(Text, value, plat::FormatSettings()))
        return value;
    return Default;
}

std::string MakeUniqueComponentName(plat::TComponent* Owner, const std::string& Base) {
    if (Owner == nullptr)
        return std::string();
    for (int n = 1;; ++n) {
        std::string name = Base + std::to_string(n);
        if (Owner->FindComponent(name) == nullptr)
            return name;
    }
}

// --- Controls and resources -------------------------------------------------------------------------

void SetControlsEnabled(bool Enabled, std::initializer_list<plat::TControl*> Controls) {
    for (plat::TControl* control : Controls)
        if (control != nullptr)
            control->SetEnabled(Enabled);
}

TPlotControlHook PlotControlHook;

void CallControlHookExcept(plat::TControl* Control, const std::vector<plat::TControl*>& Skip) {
    if (PlotControlHook)
        PlotControlHook(Control, Skip);
}

void CallControlHook(plat::TControl* Control) {
    CallControlHookExcept(Control, {});
}

bool LoadBitmapResource(plat::TBitmap* Bitmap, const std::string& Name, const std::string& Fallback) {
    if (Bitmap == nullptr)
        return false;
    for (const std::string* name : {&Name, &Fallback}) {
        if (name->empty())
            continue;
        try {
            plat::LoadBitmapResource(*Bitmap, *name);
            return true;
        } catch (const plat::Exception&) {
            // Not found or not a picture: try the next name.
        }
    }
    return false;
}

bool LoadSeriesClassBitmap(const plat::TObject* Series, plat::TBitmap* Bitmap) {
    if (Series == nullptr)
        return false;
    const plat::TClassInfo& cls = Series->ClassType();
    const std::string parent = cls.Parent != nullptr ? cls.Parent->Name : std::string();
    return LoadBitmapResource(Bitmap, cls.Name, parent);
}

// --- Editor settings --------------------------------------------------------------------------------

const char* const PlotEditorKey = "SOFTWARE\\Corvane Software\\Plotwise Pro\\Editor";

namespace {
// The stored value as an integer when the key and the value exist.
bool ReadEditorValue(const std::string& Name, int& Value) {
    try {
        plat::TRegistry reg;
        reg.SetRootKey(plat::HKEY_CURRENT_USER);
        if (!reg.OpenKeyReadOnly(PlotEditorKey) || !reg.ValueExists(Name))
            return false;
        Value = reg.ReadInteger(Name);
        return true;
    } catch (const plat::Exception&) {
        // An unreadable settings file or a value of another kind: the default serves.
        return false;
    }
}
} // namespace

bool ReadEditorBoolSetting(const std::string& Name, bool Default) {
    int value = 0;
    return ReadEditorValue(Name, value) ? value != 0 : Default;
}

int ReadEditorIntSetting(const std::string& Name, int Default) {
    int value = 0;
    return ReadEditorValue(Name, value) ? value : Default;
}

void WriteEditorBoolSetting(const std::string& Name, bool Value) {
    plat::TRegistry reg;
    reg.SetRootKey(plat::HKEY_CURRENT_USER);
    if (reg.OpenKey(PlotEditorKey, true))
        reg.WriteBool(Name, Value);
}

// --- Data exporters ---------------------------------------------------------------------------------

void TPlotExportData::CopyToClipboard() {
    plat::Clipboard()->SetAsText(AsString());
}

void TPlotExportData::SaveToStream(plat::TStream& Stream) {
    const std::string text = AsString();
    if (!text.empty())
        Stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TPlotExportData::SaveToFile(const std::string& FileName) {
    plat::TMemoryStream stream;
    SaveToStream(stream);
    plat::WriteFileAtomically(FileName, stream.Bytes());
}

} // namespace chart
