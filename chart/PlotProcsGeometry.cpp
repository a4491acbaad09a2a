// Point, rectangle and colour arithmetic of the chart engine.
#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/PlotProcs.h"

namespace chart {

namespace {

constexpr int64_t kIntMin = std::numeric_limits<int>::min();
constexpr int64_t kIntMax = std::numeric_limits<int>::max();

int ClampToInt(int64_t Value) {
    return static_cast<int>(std::clamp(Value, kIntMin, kIntMax));
}

// The sign of the cross product of (A - Cur) and (B - Cur). Screen coordinates far outside the window
// (zoomed charts, projected depth) overflow 32-bit products and flip the answer; differences of 32-bit
// coordinates take 33 bits, so their products are taken in 128 bits.
int Cross(TPoint A, TPoint Cur, TPoint B) {
    using Wide = __int128;
    const Wide c = Wide(int64_t(A.X) - Cur.X) * (int64_t(B.Y) - Cur.Y) -
                   Wide(int64_t(B.X) - Cur.X) * (int64_t(A.Y) - Cur.Y);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Sorts points and keys together by ascending key; partitions on the middle element's key.
void SortByKey(std::vector<TPoint>& Points, std::vector<float>& Keys, int L, int R) {
    while (L < R) {
        int i = L;
        int j = R;
        const float x = Keys[(L + R) / 2];
        do {
            while (Keys[i] < x)
                ++i;
            while (x < Keys[j])
                --j;
            if (i <= j) {
                std::swap(Keys[i], Keys[j]);
                std::swap(Points[i], Points[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (L < j)
            SortByKey(Points, Keys, L, j);
        L = i;
    }
}

} // namespace

int RoundToIntOutOfRange(double Value) {
    if (std::isnan(Value))
        return 0;
    const double r = std::nearbyint(Value);
    if (r >= static_cast<double>(kIntMax))
        return static_cast<int>(kIntMax);
    if (r <= static_cast<double>(kIntMin))
        return static_cast<int>(kIntMin);
    return static_cast<int>(r);
}

TPoint MakePoint(int X, int Y) {
    return TPoint(X, Y);
}

TRect MakeRect(int Left, int Top, int Right, int Bottom) {
    return TRect(Left, Top, Right, Bottom);
}

bool RectContainsXY(const TRect& Rect, int X, int Y) {
    return X >= Rect.Left && X <= Rect.Right && Y >= Rect.Top && Y <= Rect.Bottom;
}

bool RectContainsPoint(const TRect& Rect, TPoint P) {
    return RectContainsXY(Rect, P.X, P.Y);
}

TRect OrderRect(const TRect& Rect) {
    TRect r = Rect;
    if (r.Right < r.Left)
        std::swap(r.Left, r.Right);
    if (r.Bottom < r.Top)
        std::swap(r.Top, r.Bottom);
    return r;
}

void GetRectExtent(const TRect& Rect, int& Width, int& Height) {
    Width = ClampToInt(int64_t(Rect.Right) - Rect.Left);
    Height = ClampToInt(int64_t(Rect.Bottom) - Rect.Top);
}

void RectCenter(const TRect& Rect, int& X, int& Y) {
    X = static_cast<int>((int64_t(Rect.Left) + Rect.Right) / 2);
    Y = static_cast<int>((int64_t(Rect.Top) + Rect.Bottom) / 2);
}

TRect PolygonBounds(const TPoint* Points, int N) {
    if (N <= 0 || !Points)
        return TRect();
    TRect r(Points[0].X, Points[0].Y, Points[0].X, Points[0].Y);
    for (int i = 1; i < N; ++i) {
        r.Left = std::min(r.Left, Points[i].X);
        r.Right = std::max(r.Right, Points[i].X);
        r.Top = std::min(r.Top, Points[i].Y);
        r.Bottom = std::max(r.Bottom, Points[i].Y);
    }
    r.Right = ClampToInt(int64_t(r.Right) + 1);
    r.Bottom = ClampToInt(int64_t(r.Bottom) + 1);
    return r;
}

bool IsBackFacing(TPoint P0, TPoint P1, TPoint P2) {
    return Cross(P0, P1, P2) < 0;
}

bool IsBackFacingPoints(const TPoint* Points) {
    return IsBackFacing(Points[0], Points[1], Points[2]);
}

bool ConvexHullPolygon(std::vector<TPoint>& Points) {
    if (Points.size() < 3)
        return false;
    if (Points.size() == 3)
        return true;

    size_t pivotIndex = 0;
    int minY = 10000000;
    for (size_t t = 0; t < Points.size(); ++t) {
        if (Points[t].Y < minY || (Points[t].Y == minY && Points[t].X > Points[pivotIndex].X)) {
            minY = Points[t].Y;
            pivotIndex = t;
        }
    }
    const TPoint pivot = Points[pivotIndex];
    Points[pivotIndex] = Points.back();
    Points.pop_back();

    // The key orders the points by the direction in which they lie from the pivot.
    std::vector<float> keys(Points.size());
    for (size_t t = 0; t < Points.size(); ++t) {
        const double dx = double(pivot.X) - Points[t].X;
        const double dy = double(pivot.Y) - Points[t].Y;
        const double h = std::sqrt(dx * dx + dy * dy);
        keys[t] = h == 0 ? 0.0f : static_cast<float>(dx / h);
    }
    SortByKey(Points, keys, 0, static_cast<int>(Points.size()) - 1);

    // Graham walk: a point where the outline does not turn the convex way is dropped.
    int i = 0;
    while (i != static_cast<int>(Points.size()) - 1) {
        bool convex = true;
        if (i > 0) {
            const int last = static_cast<int>(Points.size()) - 1;
            const TPoint next = i == last ? pivot : Points[i + 1];
            convex = Cross(Points[i - 1], Points[i], next) < 0;
        }
        if (convex) {
            ++i;
        } else {
            Points.erase(Points.begin() + i);
            --i;
        }
    }
    Points.push_back(pivot);
    return true;
}

TPoint PointBackAlongLine(TPoint FromPoint, TPoint ToPoint, int Distance) {
    TPoint result = ToPoint;
    if (FromPoint.X != ToPoint.X) {
        const double angle = std::atan2(double(ToPoint.Y) - FromPoint.Y, double(ToPoint.X) - FromPoint.X);
        result.X = ClampToInt(ToPoint.X - plat::Round(std::cos(angle) * Distance));
        result.Y = ClampToInt(ToPoint.Y - plat::Round(std::sin(angle) * Distance));
    } else if (ToPoint.Y < FromPoint.Y) {
        result.Y = ClampToInt(int64_t(ToPoint.Y) + Distance);
    } else {
        result.Y = ClampToInt(int64_t(ToPoint.Y) - Distance);
    }
    return result;
}

double VectorLength(double DX, double DY) {
    return std::sqrt(DX * DX + DY * DY);
}

void ExchangeIntegers(int& A, int& B) {
    std::swap(A, B);
}

void ExchangeDoubles(double& A, double& B) {
    std::swap(A, B);
}

void ColorToPixelBytes(TColor Color, uint8_t* Pixel) {
    Pixel[0] = static_cast<uint8_t>(plat::GetBValue(Color));
    Pixel[1] = static_cast<uint8_t>(plat::GetGValue(Color));
    Pixel[2] = static_cast<uint8_t>(plat::GetRValue(Color));
}

TColor DarkerColor(TColor Color, int Amount) {
    const TColor c = plat::ColorToRGB(Color);
    auto darker = [Amount](int channel) { return std::clamp(channel - Amount, 0, 255); };
    return plat::RGB(darker(plat::GetRValue(c)), darker(plat::GetGValue(c)), darker(plat::GetBValue(c)));
}

TColor LighterColor(TColor Color, int Amount) {
    const TColor c = plat::ColorToRGB(Color);
    auto lighter = [Amount](int channel) { return std::clamp(channel + Amount, 0, 255); };
    return plat::RGB(lighter(plat::GetRValue(c)), lighter(plat::GetGValue(c)), lighter(plat::GetBValue(c)));
}

} // namespace chart
