// The face of a toolbar pager's scroll button or a quick access toolbar button: a background in two
// halves, an optional drop-down section, the outline of a lone or grouped button, a focus ring, a glyph
// and a caption in one of eight layouts. It also measures what glyph and caption need.
#pragma once

#include <string>

#include "platform/gfx/Canvas.h"
#include "ui/drawing/GDIPicture.h"
#include "ui/drawing/KvxGDIP.h"
#include "ui/drawing/KvxGlowButton.h"

namespace plat {
class TCustomImageList;
}

namespace ui::toolbar {

// Where caption and glyph go: 0 glyph left of centred text, 1 glyph above, 2 glyph right, 3 glyph below,
// 4 text at the left, 5 glyph at the right end, 6 text at the top, 7 text at the bottom.
enum TFaceLayout : uint8_t {
    flGlyphLeft,
    flGlyphTop,
    flGlyphRight,
    flGlyphBottom,
    flTextLeft,
    flTextRight,
    flTextTop,
    flTextBottom
};

// Outline of a lone button or of the first, a middle or the last button of a group.
enum TFaceShape : uint8_t { fsWhole, fsGroupFirst, fsGroupMiddle, fsGroupLast };

struct TButtonFaceParams {
    plat::TRect R;
    plat::TColor Color = plat::clNone, ColorTo = plat::clNone;
    plat::TColor ColorMirror = plat::clNone, ColorMirrorTo = plat::clNone;
    plat::TColor BorderColor = plat::clNone;
    TGDIPGradient Gradient = ggVertical, GradientMirror = ggVertical;
    std::string Caption, WideCaption;
    bool ShowCaption = true;
    plat::TFont* Font = nullptr;
    plat::TCustomImageList* Images = nullptr;
    int ImageIndex = -1;
    bool ImageEnabled = true;
    TFaceLayout Layout = flGlyphLeft;
    bool DropDownButton = false, DropDownSplit = false, DropDownBottom = false;
    bool Enabled = true, Focus = false;
    TGDIPPicture* Picture = nullptr;
    TAntiAlias AntiAlias = aaClearType;
    bool ShowGlyph = true;
    plat::TBitmap* Glyph = nullptr;
    // 2: the drop-down section is the darker one; otherwise the main section is.
    int SplitState = 0;
    bool Transparent = false;
    bool Divider = false;
    TFaceShape Shape = fsWhole;
    bool SplitActive = false;
    bool ShowBorder = true;
    bool FullRectText = false;
    bool WordWrap = false;
    // Paints background, outline and focus ring, but neither caption nor glyph.
    bool MeasureOnly = false;
    bool Rounded = false;
    bool ArrowDown = true;
    int Spacing = 0;
};

// Paints the face and answers the width and height glyph and caption need together.
plat::TPoint DrawButtonFace(plat::TCanvas& Canvas, const TButtonFaceParams& P);

} // namespace ui::toolbar
