// The stateless painters of office tabs: colour conversion and blending, the banded background gradient,
// square and rounded outlines, caption shortening and caption drawing, and the two-part tab faces with
// their shaped outlines. The tab set and the pager paint their tabs the same way and both call these;
// where the pager's painters differ, a TFaceOptions field says so.
#pragma once

#include <cstdint>
#include <iterator>
#include <memory>
#include <string>

#include "platform/gfx/Canvas.h"
#include "platform/rtl/Types.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/TextAlignment.h"
#include "ui/drawing/GDIPicture.h"
#include "ui/drawing/KvxGDIP.h"
#include "ui/drawing/KvxGlowButton.h"

namespace plat {
class TCustomImageList;
class TDeviceContext;
} // namespace plat

namespace ui::tabpaint {

enum TKvxTabShape : uint8_t { tsRectangle, tsLeftRamp, tsRightRamp, tsLeftRightRamp };
inline constexpr const char* kKvxTabShapeNames[] = {"tsRectangle", "tsLeftRamp", "tsRightRamp",
                                                    "tsLeftRightRamp"};
static_assert(std::size(kKvxTabShapeNames) == tsLeftRightRamp + 1);

enum TImagePosition : uint8_t { ipLeft, ipTop, ipRight, ipBottom };
inline constexpr const char* kImagePositionNames[] = {"ipLeft", "ipTop", "ipRight", "ipBottom"};
static_assert(std::size(kImagePositionNames) == ipBottom + 1);

// 0 to 8.
using TTabRounding = int;
inline constexpr int kMaxTabRounding = 8;

inline constexpr const char* kTabPositionNames[] = {"tpTop", "tpBottom", "tpLeft", "tpRight"};
static_assert(std::size(kTabPositionNames) == plat::tpRight + 1);

// The opaque ARGB of a colour; clNone is not special and gives opaque white.
TGPColor MakeGdipColor(plat::TColor Color);
// Percent of Color1 blended into Color2; 100 and above answer Color1, 0 and below Color2, unresolved.
plat::TColor MixColors(plat::TColor Color1, plat::TColor Color2, int Percent);
// Steps overlapping bands from FromColor towards ToColor (which is never reached); Steps 0 counts as 1,
// a negative count paints nothing.
void DrawSteppedGradient(plat::TCanvas& Canvas, plat::TColor FromColor, plat::TColor ToColor, int Steps,
                         const plat::TRect& R, bool Horizontal);
void DrawRectPath(TGPGraphics& Graphics, const TGPPen& Pen, int X, int Y, int W, int H);
void DrawRoundRectPath(TGPGraphics& Graphics, const TGPPen& Pen, int X, int Y, int W, int H, int Radius);

// The caption, or its longest prefix that fits R's length (its height for side tabs) followed by "..."
// (or nothing when Ellipsis is off). With UseGdip it measures with Graphics and Font, else with the
// canvas's font.
std::string TruncateCaption(const std::string& Caption, const plat::TRect& R, bool UseGdip,
                            TGPGraphics* Graphics, plat::TCanvas* Canvas, const TGPFont* Font, bool Ellipsis,
                            plat::TTabPosition TabPosition);

// Measures the caption in R into TextRect and, with DoDraw, draws it: anti-aliased in Font (regular
// style, grey when disabled) unless AntiAlias is aaNone, then in the canvas's own font and colour. An
// empty caption leaves TextRect alone.
void DrawTabCaption(plat::TCanvas& Canvas, plat::TAlignment Alignment, const plat::TRect& R,
                    std::string Caption, plat::TFont* Font, bool Enabled, bool DoDraw, TAntiAlias AntiAlias,
                    plat::TTabPosition TabPosition, bool Ellipsis, plat::TRect& TextRect);

// The pager's caption painter: Caption when it is not empty, else WideCaption. Without anti-aliasing it
// measures the box from R's top and draws 3 pixels further right than DrawTabCaption.
void DrawTabCaptionW(plat::TCanvas& Canvas, plat::TAlignment Alignment, const plat::TRect& R,
                     const std::string& Caption, const std::string& WideCaption, plat::TFont* Font,
                     bool Enabled, bool DoDraw, TAntiAlias AntiAlias, plat::TTabPosition TabPosition,
                     bool Ellipsis, plat::TRect& TextRect);
// Text is UTF-8 throughout, so the pager's wide forms are the same routines under its names.
inline std::string TruncateCaptionW(const std::string& Caption, const plat::TRect& R, bool UseGdip,
                                    TGPGraphics* Graphics, plat::TCanvas* Canvas, const TGPFont* Font,
                                    bool Ellipsis, plat::TTabPosition TabPosition) {
    return TruncateCaption(Caption, R, UseGdip, Graphics, Canvas, Font, Ellipsis, TabPosition);
}
// The size of the text in the context's font; Size is (0, 0) when the measuring fails.
bool TextExtentW(plat::TDeviceContext* DC, const std::string& S, plat::TSize& Size);
// The same in the canvas's font.
bool CanvasTextExtentW(plat::TCanvas& Canvas, const std::string& S, plat::TSize& Size);
int CanvasTextWidthW(plat::TCanvas& Canvas, const std::string& S);

// The colours of a two-part face: the main part Color to ColorTo, the mirror part (the half away from
// the tab's outer edge) ColorMirror to ColorMirrorTo.
struct TFaceColors {
    plat::TColor Color = plat::clNone;
    plat::TColor ColorTo = plat::clNone;
    plat::TColor ColorMirror = plat::clNone;
    plat::TColor ColorMirrorTo = plat::clNone;
    plat::TColor BorderColor = plat::clNone;
    TGDIPGradient Gradient = ggVertical;
    TGDIPGradient GradientMirror = ggVertical;
};

// Where the pager's face painter departs from the tab set's.
struct TFaceOptions {
    // Fill the part backgrounds through the anti-aliased layer rather than the canvas.
    bool GdipBackground = false;
    // Only with GdipBackground: false shortens the top mirror part's linear fill by two rows.
    bool Rotated = true;
    // Replace an unknown caption font by "Arial".
    bool ArialFallback = true;
};

// Everything a face may carry besides its colours.
struct TFaceContent {
    std::string Caption;
    plat::TFont* Font = nullptr;
    plat::TCustomImageList* Images = nullptr;
    int ImageIndex = -1;
    bool ImageEnabled = true;
    TImagePosition ImagePosition = ipLeft;
    bool DropDown = false;
    bool DropDownSplit = false;
    bool DropDownBelow = false;
    bool Enabled = true;
    bool Focused = false;
    TGDIPPicture* Picture = nullptr;
    TAntiAlias AntiAlias = aaClearType;
    bool Rounded = true;
};

void PaintMirrorFace(plat::TCanvas& Canvas, const plat::TRect& R, const TFaceColors& Colors,
                     const TFaceContent& Content, plat::TTabPosition TabPosition,
                     const TFaceOptions& Options = {});
// The face without image, picture or drop-down zone.
void PaintTabFace(plat::TCanvas& Canvas, const plat::TRect& R, const TFaceColors& Colors,
                  const std::string& Caption, plat::TFont* Font, TImagePosition ImagePosition, bool Enabled,
                  bool Focused, TAntiAlias AntiAlias, bool Rounded, plat::TTabPosition TabPosition,
                  const TFaceOptions& Options = {});

// The closed outline of a tab of that shape; an unknown shape or position gives an empty path.
std::unique_ptr<TGPGraphicsPath> BuildTabPath(const plat::TRect& R, TKvxTabShape Shape, TTabRounding Rounding,
                                              bool RotateTabLeftRight, plat::TTabPosition TabPosition);
// The two-part face clipped to the tab's outline, then the outline stroked in the border colour.
void PaintTabShape(plat::TCanvas& Canvas, const plat::TRect& R, const TFaceColors& Colors, TKvxTabShape Shape,
                   bool Focused, TTabRounding Rounding, bool RotateTabLeftRight,
                   plat::TTabPosition TabPosition);

} // namespace ui::tabpaint
