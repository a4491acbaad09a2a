// Icons as windows and dialogs use them: a picture at one or more sizes behind a handle, and the system's
// own icons (application, error, question, warning, information, shield), which the program draws itself
// at 16 and 32 pixels.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/PixelImage.h"

namespace plat {

class TIcon;

// An icon: the same picture at several sizes (straight alpha), smallest first.
struct TIconHandle {
    std::vector<TPixelImage> Images;
    // The picture to show at that size: the smallest at least as large, else the largest; null when
    // there is none.
    const TPixelImage* ImageFor(int width, int height) const;
};
using HICON = const TIconHandle*;

// System icon identifiers for LoadIcon.
inline constexpr int IDI_APPLICATION = 32512;
inline constexpr int IDI_HAND = 32513;
inline constexpr int IDI_ERROR = IDI_HAND;
inline constexpr int IDI_QUESTION = 32514;
inline constexpr int IDI_EXCLAMATION = 32515;
inline constexpr int IDI_WARNING = IDI_EXCLAMATION;
inline constexpr int IDI_ASTERISK = 32516;
inline constexpr int IDI_INFORMATION = IDI_ASTERISK;
inline constexpr int IDI_SHIELD = 32518;

// WM_SETICON and WM_GETICON: which of a window's two icons.
inline constexpr int ICON_SMALL = 0;
inline constexpr int ICON_BIG = 1;
inline constexpr int ICON_SMALL2 = 2; // WM_GETICON: the small icon, or the big one when there is none

// The shared handle of a system icon (16 and 32 pixels; never destroyed); null for an unknown id.
HICON LoadIcon(int id);
// A system icon drawn for one size (1 to 256 pixels); an empty image for an unknown id.
TPixelImage SystemIconImage(int id, int size);

// A handle holding an icon's pictures at 16 and 32 pixels (scaled from the nearest entry where the icon
// has no such size); null for an empty icon.
std::unique_ptr<TIconHandle> CreateIconHandle(const TIcon& icon);
// A picture scaled to another size (area-averaged when shrinking), keeping its transparency.
TPixelImage ScaleIconImage(const TPixelImage& image, int width, int height);

// Draws the icon blended by its transparency, stretched to cx by cy (0 takes the icon's own size for
// that axis: 32, or its largest picture when smaller).
inline constexpr uint32_t DI_MASK = 1;
inline constexpr uint32_t DI_IMAGE = 2;
inline constexpr uint32_t DI_NORMAL = 3;
bool DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, uint32_t flags = DI_NORMAL);
bool DrawIcon(HDC dc, int x, int y, HICON icon);

} // namespace plat
