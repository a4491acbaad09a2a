// The drawing routines every painter of the toolbar family shares: band gradients, two-half faces, the
// classic grip and caption-button glyphs, anti-aliased outlines and captions. They keep no state; the
// anti-aliased ones build and free every object they use within the call.
//
// The family's namesakes of other units' routines (DarkenColor, DrawRoundRectPath, ...) live in
// ui::toolbar and behave as this family needs.
#pragma once

#include <string>

#include "platform/gfx/Canvas.h"
#include "platform/rtl/Types.h"
#include "platform/ui/Control.h"
#include "platform/ui/TextAlignment.h"
#include "ui/drawing/KvxGDIP.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/toolbars/KvxToolBarRecords.h"

namespace ui::toolbar {

// ---- Colours --------------------------------------------------------------------------------------------

// Percent of the way from Color2 to Color1; at or past either end the end colour comes back untouched.
plat::TColor BlendColor(plat::TColor Color1, plat::TColor Color2, int Percent);
// Each channel times (100 - Percent) / 100.
plat::TColor DarkenColor(plat::TColor Color, int Percent);
// A negative Amount darkens by that percentage; a positive one only lifts channels that are zero.
plat::TColor AdjustBrightness(plat::TColor Color, int Amount);

// ---- Classic drawing ------------------------------------------------------------------------------------

// Steps bands from FromColor to ToColor, each overlapping the next by one pixel; left to right when
// Horizontal, else top to bottom. Steps 0 counts as one band.
void DrawBandGradient(plat::TCanvas& Canvas, plat::TColor FromColor, plat::TColor ToColor, int Steps,
                      const plat::TRect& R, bool Horizontal);
// An upper and a lower gradient split at Split, with an outline (rounded when Radius > 0) unless
// BorderColor is clNone.
void DrawVistaGradient(plat::TCanvas& Canvas, const plat::TRect& R, int Split, plat::TColor ColorFrom,
                       plat::TColor ColorTo, plat::TColor MirrorFrom, plat::TColor MirrorTo,
                       plat::TColor BorderColor, int Radius);
// R becomes a Width x Height rectangle centred on the old one.
void CenterRect(plat::TRect& R, int Width, int Height);
// One bar of the classic grip: P2 above P1 (Vertical) or left of P1.
void DrawGripLine(plat::TCanvas& Canvas, plat::TPoint P1, plat::TPoint P2, bool Raised, bool Vertical);
// Text in a font turned 90 degrees clockwise, running down from P, with the hotkey underlined.
void DrawHotkeyText(plat::TCanvas& Canvas, const std::string& Text, plat::TPoint P);
void DrawCrossGlyph(plat::TCanvas& Canvas, const plat::TRect& R, plat::TColor Color, int Size);
void DrawMinimizeGlyph(plat::TCanvas& Canvas, const plat::TRect& R, plat::TColor Color, bool Centered);
void DrawMaximizeGlyph(plat::TCanvas& Canvas, const plat::TRect& R, plat::TColor Color, bool Centered);
void DrawRestoreGlyph(plat::TCanvas& Canvas, const plat::TRect& R, plat::TColor Color, bool Centered);

// ---- Anti-aliased outlines ------------------------------------------------------------------------------

void DrawLinePath(TGPGraphics& Graphics, const TGPPen& Pen, int X, int Y, int DX, int DY);
void DrawArcPath(TGPGraphics& Graphics, const TGPPen& Pen, int X, int Y, int W, int H, float StartAngle,
                 float SweepAngle, bool Close);
void DrawRectPath(TGPGraphics& Graphics, const TGPPen& Pen, int X, int Y, int W, int H);
void DrawRoundRectPath(TGPGraphics& Graphics, const TGPPen& Pen, int X, int Y, int W, int H, int Radius);

// ---- Captions and faces ---------------------------------------------------------------------------------

// Whether the canvas's font is a scalable screen font the system knows by name.
bool IsVectorScreenFont(plat::TCanvas* Canvas);
// Draws (when RealDraw) and measures a caption; TextRect receives the measured box. Ellipsis or a
// single line shortens a caption that does not fit.
void DrawGdipCaption(plat::TCanvas& Canvas, plat::TAlignment Alignment, uint32_t Format, const plat::TRect& R,
                     std::string Text, plat::TFont& Font, bool Enabled, bool RealDraw, TAntiAlias AntiAlias,
                     bool Ellipsis, bool WordWrap, plat::TRect& TextRect);
// As above for a caption that may come as wide text; both texts empty leave TextRect alone.
void DrawGdipWideCaption(plat::TCanvas& Canvas, plat::TAlignment Alignment, const plat::TRect& R,
                         const std::string& Text, const std::string& WideText, plat::TFont& Font,
                         bool Enabled, bool RealDraw, TAntiAlias AntiAlias, plat::TRect& TextRect);
// A two-half face (the right handle and other rectangular buttons) with outline, focus ring and caption.
void DrawVistaButtonFace(plat::TCanvas& Canvas, const plat::TRect& R, plat::TColor Color,
                         plat::TColor ColorTo, plat::TColor ColorMirror, plat::TColor ColorMirrorTo,
                         plat::TColor BorderColor, TGDIPGradient Gradient, TGDIPGradient GradientMirror,
                         const std::string& Caption, plat::TFont& Font, bool Enabled, bool Focus,
                         TAntiAlias AntiAlias, bool RoundEdges);

// ---- Button looks ---------------------------------------------------------------------------------------

// The four looks of a toolbar button; a pressed button shows down, a hovered one hot, and checked applies
// to buttons that stay down.
enum TButtonFaceLook : uint8_t { flNormal, flHot, flDown, flChecked };

// One look of a button appearance as a painter takes it.
struct TButtonFace {
    plat::TColor Color;
    plat::TColor ColorTo;
    plat::TColor Border;
    plat::TColor Text;
    TGradientDirection Direction;
};
TButtonFace ButtonFaceOf(const TButtonAppearance& Appearance, TButtonFaceLook Look);
// Fills R with the face (a gradient when both colours are set, flat when only the first is, nothing
// when neither) and frames it unless its border is clNone. The caption is the caller's.
void PaintButtonFace(plat::TCanvas& Canvas, const plat::TRect& R, const TButtonFace& Face, int Steps = 40);

// ---- Keyboard navigation --------------------------------------------------------------------------------

// Drops hint windows, toolbar containers and windowed controls that cannot take the focus.
void RemoveUnfocusableControls(TDbgList<plat::TControl>* List);

} // namespace ui::toolbar
