// DrawMarkupText: lays out and paints a caption written in the component set's HTML-like markup inside a
// rectangle, only measures it, or finds the link under a point. Every control that shows formatted
// captions (panels, check boxes, radio buttons, status bar panels, task dialogs, the HTML check list)
// calls this one routine. Text is UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "platform/rtl/Types.h"

namespace plat {
class TCanvas;
class TCustomImageList;
} // namespace plat

namespace ui {

class THTMLPictureCache;
class TPictureContainer;

// What a caller passes besides canvas, text and rectangle. The defaults suit a plain painting call.
struct TMarkupOptions {
    plat::TCustomImageList* Images = nullptr; // "IDX:" pictures
    int X = 0;                                // hit point
    int Y = 0;
    int FocusLinkIndex = -1;  // 0-based link with the keyboard focus, -1 none
    int HoverLinkNumber = -1; // 1-based link under the mouse, -1 none
    int ShadowOffset = 0;
    // Lay out as painting does but draw nothing: how a control finds the link under the mouse.
    bool NoDraw = false;
    // Only the measuring pass, not cut at the rectangle's bottom: how a control sizes its caption.
    bool MeasureOnly = false;
    bool ScaleImages = false; // image-list pictures and system icons stretched by Scale
    bool Selected = false;    // font colours, link colours and BODY backgrounds are not applied
    bool BlinkOn = true;      // while false, BLINK text is drawn in the background colour
    bool HoverOnly = false;   // only the hovered link is underlined and takes the hover colours
    bool WordWrap = true;     // false: each line is one run, cut with an ellipsis
    double Scale = 1.0;
    plat::TColor URLColor = plat::clBlue;
    plat::TColor HoverColor = plat::clNone;
    plat::TColor HoverFontColor = plat::clNone;
    plat::TColor ShadowColor = plat::clGray;
    THTMLPictureCache* PictureCache = nullptr;     // sources with "://"
    TPictureContainer* PictureContainer = nullptr; // named pictures
    int LineSpacing = 0;
};

// What a call found. LinkTarget and LinkRect are written only when a link is found.
struct TMarkupResult {
    std::string LinkTarget;  // link under the hit point
    std::string PlainText;   // the text without tags, "\r" where a line break was; each pass adds its lines
    std::string FocusTarget; // target of the focus link
    int MaxLineWidth = 0;    // widest line + 2
    int TotalHeight = 0;     // sum of the line pitches (the height of "gh" for an empty text)
    int LinkCount = 0;
    int LinkUnderPoint = -1; // 1-based
    plat::TRect LinkRect;
};

// The canvas font is the base font and its brush colour the background; both are as before afterwards,
// and the background mode is left transparent. Answers true when a link lies under the hit point: text
// links are found by NoDraw calls, linked pictures by any call that paints. Pictures that are missing or
// do not decode take no space; nothing is read from anywhere but the program's resources ("RES://") and
// picture files ("FILE://").
bool DrawMarkupText(plat::TCanvas& Canvas, std::string_view Text, const plat::TRect& Rect,
                    const TMarkupOptions& Options, TMarkupResult& Result);

// The same when the caller needs no outputs.
inline bool DrawMarkupText(plat::TCanvas& Canvas, std::string_view Text, const plat::TRect& Rect,
                           const TMarkupOptions& Options = {}) {
    TMarkupResult result;
    return DrawMarkupText(Canvas, Text, Rect, Options, result);
}

// A colour value of the markup: "#RRGGBB" or a colour name such as "clRed"; black for anything else.
plat::TColor MarkupColor(std::string_view Value);

} // namespace ui
