// TCanvas, the class library's drawing object over a device context, with its pen, brush and font.
// The attribute objects report every real change; the canvas realises them into the device context
// lazily, before the next operation that needs them.
#pragma once

#include <functional>
#include <iterator>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/DeviceContext.h"
#include "platform/rtl/Persistent.h"

namespace plat {

class TGraphic;
class TBitmap;

enum TPenStyle {
    psSolid,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame,
    psUserStyle,
    psAlternate
};
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
enum TFontPitch { fpDefault, fpVariable, fpFixed };
// Font styles form a set of bits.
enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// Identifiers as layouts write them: by ordinal, font styles by bit.
inline constexpr const char* kPenStyleNames[] = {"psSolid",       "psDash",       "psDot",
                                                 "psDashDot",     "psDashDotDot", "psClear",
                                                 "psInsideFrame", "psUserStyle",  "psAlternate"};
static_assert(std::size(kPenStyleNames) == psAlternate + 1);
inline constexpr const char* kPenModeNames[] = {
    "pmBlack",       "pmWhite",      "pmNop",         "pmNot",        "pmCopy",  "pmNotCopy",
    "pmMergePenNot", "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge",
    "pmMask",        "pmNotMask",    "pmXor",         "pmNotXor"};
static_assert(std::size(kPenModeNames) == pmNotXor + 1);
inline constexpr const char* kBrushStyleNames[] = {"bsSolid",    "bsClear",     "bsHorizontal",
                                                   "bsVertical", "bsFDiagonal", "bsBDiagonal",
                                                   "bsCross",    "bsDiagCross"};
static_assert(std::size(kBrushStyleNames) == bsDiagCross + 1);
inline constexpr const char* kFontPitchNames[] = {"fpDefault", "fpVariable", "fpFixed"};
static_assert(std::size(kFontPitchNames) == fpFixed + 1);
inline constexpr const char* kFontStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
static_assert(1u << (std::size(kFontStyleNames) - 1) == fsStrikeOut);
using TFontStyles = uint8_t;
using TCopyMode = uint32_t;
using TTextFormat = uint32_t; // DT_* flags

int PenModeToRop2(TPenMode mode);

class TPen : public TPersistent {
    PLAT_CLASS(TPen)
public:
    TPen();
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    int Width() const { return FWidth; }
    void SetWidth(int value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode value);
    // The device pen; a handle given with SetHandle (say, an extended pen) is used until a property changes.
    HPEN Handle();
    void SetHandle(HPEN pen);
    void Assign(TPersistent* source) override;
    TNotifyEvent OnChange;

protected:
    void Changed();

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
    HPEN FHandle;
};

class TBrush : public TPersistent {
    PLAT_CLASS(TBrush)
public:
    TBrush();
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle value);
    // A pattern bitmap (not owned) fills instead of the colour and style while it is set.
    TBitmap* Bitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* value);
    HBRUSH Handle();
    void SetHandle(HBRUSH brush);
    void Assign(TPersistent* source) override;
    TNotifyEvent OnChange;

protected:
    void Changed();

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    TBitmap* FBitmap = nullptr;
    HBRUSH FHandle;
};

class TFont : public TPersistent {
    PLAT_CLASS(TFont)
public:
    TFont();
    std::string Name() const { return FName; }
    void SetName(const std::string& value);
    // Size in points; Height in pixels (negative: character height). Each follows the other.
    int Size() const;
    void SetSize(int value);
    int Height() const { return FHeight; }
    void SetHeight(int value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    // Direction of the text in tenths of a degree, counter-clockwise.
    int Orientation() const { return FOrientation; }
    void SetOrientation(int value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch value);
    uint8_t Charset() const { return FCharset; }
    void SetCharset(uint8_t value);
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int value) { FPixelsPerInch = value > 0 ? value : 96; }
    TLogFont LogFont() const;
    HFONT Handle();
    // Takes name, height, style, orientation, pitch and charset from a logical font (colour stays).
    void SetHandle(HFONT font);
    void Assign(TPersistent* source) override;
    TNotifyEvent OnChange;

protected:
    void Changed();

private:
    std::string FName = "MS Sans Serif";
    int FHeight = -11;
    TFontStyles FStyle = 0;
    TColor FColor = clWindowText;
    int FOrientation = 0;
    TFontPitch FPitch = fpDefault;
    uint8_t FCharset = DEFAULT_CHARSET;
    int FPixelsPerInch = 96;
    HFONT FHandle;
};

class TCanvas : public TPersistent {
    PLAT_CLASS(TCanvas)
public:
    // The context is not owned; a canvas without one creates it on demand (CreateHandle).
    explicit TCanvas(TDeviceContext* dc = nullptr);
    ~TCanvas() override;

    TPen* Pen() { return &FPen; }
    TBrush* Brush() { return &FBrush; }
    TFont* Font() { return &FFont; }
    void SetPen(TPen* value) { FPen.Assign(value); }
    void SetBrush(TBrush* value) { FBrush.Assign(value); }
    void SetFont(TFont* value) { FFont.Assign(value); }

    // The device context with the pen, brush and font realised in it.
    TDeviceContext* Handle();
    void SetHandle(TDeviceContext* dc);
    bool HandleAllocated() const { return FHandle != nullptr; }

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    TPoint PenPos() const { return FPenPos; }
    void SetPenPos(TPoint p) { MoveTo(p.X, p.Y); }
    void Polyline(std::span<const TPoint> points);
    void Polygon(std::span<const TPoint> points);
    void PolyBezier(std::span<const TPoint> points);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void DrawFocusRect(const TRect& r);

    // Text at (x, y); the pen position moves to the end of the text.
    void TextOut(int x, int y, const std::string& text);
    // Text clipped to rect (filled first unless the brush is clear).
    void TextRect(const TRect& rect, int x, int y, const std::string& text);
    // Formatted text in rect; tfCalcRect (DT_CALCRECT) measures into rect instead of drawing.
    void TextRect(TRect& rect, const std::string& text, TTextFormat format);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    TSize TextExtent(const std::string& text);

    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& rect, TGraphic* graphic);
    void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode value) { FCopyMode = value; }

    TColor Pixels(int x, int y);
    void SetPixels(int x, int y, TColor color);
    TRect ClipRect();

    // Serialises use of the canvas between threads; calls nest.
    void Lock();
    void Unlock();
    bool TryLock();
    int LockCount() const { return FLockCount; }

    // Forgets which objects are realised, so the next operation selects them again.
    void Refresh();

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    enum : unsigned { csHandleValid = 1, csPenValid = 2, csBrushValid = 4, csFontValid = 8, csAllValid = 15 };
    virtual void CreateHandle() {}
    virtual void RequiredState(unsigned state);
    virtual void Changing();
    virtual void Changed();

    TDeviceContext* FHandle = nullptr;

private:
    TPen FPen;
    TBrush FBrush;
    TFont FFont;
    TPoint FPenPos;
    TCopyMode FCopyMode = SRCCOPY;
    unsigned FState = 0;
    std::recursive_mutex FLock;
    int FLockCount = 0;
};

} // namespace plat
