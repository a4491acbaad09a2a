// The object layer the component set's anti-aliased painters draw through: small wrappers over the
// platform's anti-aliased graphics objects, plus the colour, point and rectangle helpers they share.
//
// Every wrapper owns one platform object (null when its creation failed) and keeps a last status: the
// status of its creation, afterwards replaced only by failures, so a painter that checks once at the end
// still sees the first thing that went wrong. Nothing here raises. A null object argument, or a wrapper
// whose creation failed, answers InvalidParameter as the underlying layer would for a null handle.
//
// Text is UTF-8 everywhere.
#pragma once

#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "platform/gfx/AAGraphics.h"
#include "platform/rtl/Types.h"

namespace plat {
class TBitmap;
class TCanvas;
class TDeviceContext;
class TStream;
} // namespace plat

namespace ui {

using TGPStatus = plat::TAAStatus;
// Alpha in the top byte, then red, green, blue.
using TGPColor = plat::TARGB;

struct TGdipPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

struct TGdipRectF {
    float X = 0;
    float Y = 0;
    float Width = 0;
    float Height = 0;
};

// The opaque ARGB of a platform colour; system colours are resolved to their current value first.
TGPColor MakeGdipColor(plat::TColor Color);
TGdipPoint MakeGdipPoint(int X, int Y);
TGdipRectF MakeGdipRectF(float X, float Y, float Width, float Height);

// The text quality setting of the anti-aliased painters; streamed by name.
enum TAntiAlias : uint8_t { aaNone, aaClearType, aaAntiAlias };
inline constexpr const char* kAntiAliasNames[] = {"aaNone", "aaClearType", "aaAntiAlias"};
static_assert(std::size(kAntiAliasNames) == aaAntiAlias + 1);

enum StringTrimming : int {
    StringTrimmingNone = 0,
    StringTrimmingCharacter = 1,
    StringTrimmingWord = 2,
    StringTrimmingEllipsisCharacter = 3,
    StringTrimmingEllipsisWord = 4,
    StringTrimmingEllipsisPath = 5,
};

// The container an image was decoded from.
enum TGPRawFormat : int {
    rfUndefined = 0,
    rfMemoryBMP = 1,
    rfBMP = 2,
    rfEMF = 3,
    rfWMF = 4,
    rfJPEG = 5,
    rfPNG = 6,
    rfGIF = 7,
    rfTIFF = 8,
    rfEXIF = 9,
    rfIcon = 10,
};

// The common root: wrappers own their object exclusively and are neither copied nor shared.
class TGdiplusBase {
public:
    TGdiplusBase(const TGdiplusBase&) = delete;
    TGdiplusBase& operator=(const TGdiplusBase&) = delete;

protected:
    TGdiplusBase() = default;
    ~TGdiplusBase() = default;
};

// The status keeping every wrapper shares.
class TGPStatusKeeper : public TGdiplusBase {
public:
    TGPStatus GetLastStatus() const { return FLastStatus; }

protected:
    TGPStatus Keep(TGPStatus Status) {
        if (Status != TGPStatus::Ok)
            FLastStatus = Status;
        return Status;
    }
    // A creation that failed leaves the wrapper without an object; its status is the creation's.
    template <class T> void Created(std::unique_ptr<T>& Object) {
        FLastStatus = Object->LastStatus();
        if (!Object->Valid()) {
            if (FLastStatus == TGPStatus::Ok)
                FLastStatus = TGPStatus::GenericError;
            Object.reset();
        }
    }
    void CreateFailed(TGPStatus Status) { FLastStatus = Status; }

private:
    TGPStatus FLastStatus = TGPStatus::Ok;
};

class TGPGraphics;
class TGPGraphicsPath;

class TGPPen : public TGPStatusKeeper {
public:
    // Width in world units.
    TGPPen(TGPColor Color, float Width);
    void SetDashStyle(int DashStyle);
    const plat::TAAPen* Handle() const { return FHandle.get(); }

private:
    std::unique_ptr<plat::TAAPen> FHandle;
};

class TGPBrush : public TGPStatusKeeper {
public:
    const plat::TAABrush* Handle() const { return FHandle.get(); }

protected:
    TGPBrush() = default;
    template <class T> void Adopt(std::unique_ptr<T> Object) {
        Created(Object);
        FHandle = std::move(Object);
    }
    std::unique_ptr<plat::TAABrush> FHandle;
};

class TGPSolidBrush : public TGPBrush {
public:
    explicit TGPSolidBrush(TGPColor Color);
};

class TGPLinearGradientBrush : public TGPBrush {
public:
    // Mode: 0 horizontal, 1 vertical, 2 forward diagonal, 3 backward diagonal; the gradient tiles.
    TGPLinearGradientBrush(const TGdipRectF& Rect, TGPColor Color1, TGPColor Color2, int Mode);
};

// The centre colour fading to the surround colours at the outline of a path.
class TGPPathGradientBrush : public TGPBrush {
public:
    explicit TGPPathGradientBrush(const TGPGraphicsPath* Path);
    // Answers the brush's last status, not the call's.
    TGPStatus SetCenterColor(TGPColor Color);
    int GetPointCount();
    // Colours for the first Count points of the outline. Count is set to the number of colours taken
    // when the brush has had no failure; more colours than points are refused and leave Count alone.
    void SetSurroundColors(const TGPColor* Colors, int& Count);
    void SetCenterPoint(TGdipPoint Point);

private:
    plat::TAAPathGradientBrush* Gradient() const;
};

class TGPGraphicsPath : public TGPStatusKeeper {
public:
    // FillMode: 0 alternate, 1 winding.
    explicit TGPGraphicsPath(int FillMode = 0);
    TGPStatus CloseFigure();
    TGPStatus AddLine(float X1, float Y1, float X2, float Y2);
    TGPStatus AddArc(float X, float Y, float Width, float Height, float StartAngle, float SweepAngle);
    TGPStatus AddEllipse(float X, float Y, float Width, float Height);
    TGPStatus AddCurve(const TGdipPoint* Points, int Count, float Tension);
    TGPStatus AddBezier(float X1, float Y1, float X2, float Y2, float X3, float Y3, float X4, float Y4);
    TGPStatus AddBezierPoints(TGdipPoint P1, TGdipPoint P2, TGdipPoint P3, TGdipPoint P4);
    const plat::TAAPath* Handle() const { return FHandle.get(); }

private:
    std::unique_ptr<plat::TAAPath> FHandle;
};

class TGPRegion : public TGPStatusKeeper {
public:
    explicit TGPRegion(const TGdipRectF& Rect);
    explicit TGPRegion(const TGPGraphicsPath* Path);
    void ExcludePath(const TGPGraphicsPath* Path);
    void UnionRegion(const TGPRegion* Region);
    const plat::TAARegion* Handle() const { return FHandle.get(); }

private:
    std::unique_ptr<plat::TAARegion> FHandle;
};

// An unknown family leaves the status FontFamilyNotFound (14); see CreateGdipFontFamily.
class TGPFontFamily : public TGPStatusKeeper {
public:
    explicit TGPFontFamily(const std::string& Name);
    const plat::TAAFontFamily* Handle() const { return FHandle.get(); }

private:
    std::unique_ptr<plat::TAAFontFamily> FHandle;
};

// The family of that name, or "Arial" (which the platform always maps to an installed face) when the
// name is unknown or lacks the style; the painters that show user-chosen fonts all need this fallback.
std::unique_ptr<TGPFontFamily> CreateGdipFontFamily(const std::string& Name);

class TGPFont : public TGPStatusKeeper {
public:
    // Style: bold 1, italic 2, underline 4, strikeout 8. Unit: 3 points, 2 pixels, 0 world units.
    TGPFont(const TGPFontFamily* Family, float EmSize, int Style, int Unit);
    const plat::TAAFont* Handle() const { return FHandle.get(); }

private:
    std::unique_ptr<plat::TAAFont> FHandle;
};

class TGPStringFormat : public TGPStatusKeeper {
public:
    // FormatFlags: 0, 2 vertical text, 0x1000 no wrapping (and the rest of the layer's flags).
    explicit TGPStringFormat(int FormatFlags = 0, int Language = 0);
    // 0 near, 1 centre, 2 far.
    void SetAlign(int Align);
    void SetLineAlign(int Align);
    void SetTrimming(StringTrimming Trimming);
    // 0 none, 1 show the "&" underline, 2 hide it.
    void SetHotkeyPrefix(int Prefix);
    const plat::TAAStringFormat* Handle() const { return FHandle.get(); }

private:
    std::unique_ptr<plat::TAAStringFormat> FHandle;
};

// A decoded picture. Bytes that cannot be decoded give an image of unknown format and size 0.
class TGPImage : public TGPStatusKeeper {
public:
    // The whole stream from its start; colour management is not done, so the flag changes nothing.
    explicit TGPImage(plat::TStream& Stream, bool UseEmbeddedColorManagement = false);
    TGPImage(const uint8_t* Data, size_t Size);
    // A bitmap made in memory: its format is rfMemoryBMP.
    explicit TGPImage(plat::TBitmap& Bitmap);
    TGPRawFormat GetFormat();
    // 0 when the image could not be decoded.
    int GetWidth();
    int GetHeight();
    plat::TAAImage* Handle() const { return FHandle.get(); }

private:
    std::unique_ptr<plat::TAAImage> FHandle;
};

class TGPGraphics : public TGPStatusKeeper {
public:
    // Draws on the context through its mapping and inside its clip.
    explicit TGPGraphics(plat::TDeviceContext* DC);
    explicit TGPGraphics(plat::TCanvas& Canvas);

    void SetTextRenderingHint(int Hint);
    // Callers use 4, anti-aliased.
    TGPStatus SetSmoothingMode(int Mode);
    TGPStatus DrawPath(const TGPPen* Pen, const TGPGraphicsPath* Path);
    TGPStatus FillPath(const TGPBrush* Brush, const TGPGraphicsPath* Path);
    TGPStatus DrawLine(const TGPPen* Pen, float X1, float Y1, float X2, float Y2);
    TGPStatus FillRectF(const TGPBrush* Brush, const TGdipRectF& Rect);
    TGPStatus FillRectangle(const TGPBrush* Brush, float X, float Y, float Width, float Height);
    TGPStatus DrawRectangle(const TGPPen* Pen, float X, float Y, float Width, float Height);
    // The first Length bytes of Text (never splitting a character); a negative Length means up to the
    // first zero byte or the end.
    TGPStatus DrawString(std::string_view Text, int Length, const TGPFont* Font, const TGdipRectF& LayoutRect,
                         const TGPStringFormat* Format, const TGPBrush* Brush);
    TGPStatus MeasureString(std::string_view Text, int Length, const TGPFont* Font,
                            const TGdipRectF& LayoutRect, const TGPStringFormat* Format,
                            TGdipRectF& BoundingBox, int* CodepointsFitted = nullptr,
                            int* LinesFilled = nullptr);
    // Stretched into the rectangle.
    void DrawImageRect(TGPImage* Image, int X, int Y, int Width, int Height);
    // CombineMode 0 replaces the clip.
    void SetClipRegion(const TGPRegion* Region, int CombineMode);
    TGPStatus ResetClip();
    plat::TAAGraphics* Handle() const { return FHandle.get(); }

private:
    std::unique_ptr<plat::TAAGraphics> FHandle;
};

// The text rendering hint a painter's AntiAlias setting asks for: ClearType with grid fit, anti-aliased,
// or the surface's default for aaNone.
void ApplyAntiAlias(TGPGraphics& Graphics, TAntiAlias AntiAlias);

} // namespace ui
