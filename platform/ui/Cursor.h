// Cursors: the standard shapes and custom cursors made from images.
#pragma once

#include "platform/backend/Backend.h"
#include "platform/ui/Window.h"

namespace plat {

class TImageSurface;

struct TCursorHandle {
    TCursorImage Image;
};

// Standard cursor identifiers for LoadCursor.
enum TStandardCursor {
    IDC_ARROW = 32512,
    IDC_IBEAM = 32513,
    IDC_WAIT = 32514,
    IDC_CROSS = 32515,
    IDC_UPARROW = 32516,
    IDC_SIZENWSE = 32642,
    IDC_SIZENESW = 32643,
    IDC_SIZEWE = 32644,
    IDC_SIZENS = 32645,
    IDC_SIZEALL = 32646,
    IDC_NO = 32648,
    IDC_HAND = 32649,
    IDC_APPSTARTING = 32650,
    IDC_HELP = 32651,
    // Shapes the component layer adds to the system's set.
    IDC_HSPLIT = 40001,
    IDC_VSPLIT = 40002,
    IDC_DRAG = 40003,
    IDC_NODROP = 40004,
    IDC_NONE = 40005,
};

// The shared handle of a standard cursor (never destroyed); null for an unknown id.
HCURSOR LoadCursor(int id);
// A cursor from the pixels of an image: fully transparent pixels are see-through (the image's alpha
// byte; images without alpha use `transparent` as the see-through colour). Free it with DestroyCursor.
HCURSOR CreateCursorFromImage(const TImageSurface& image, TPoint hotSpot, TColor transparent = clNone);
HCURSOR CreateCursorFromPixels(int width, int height, const uint32_t* argb, TPoint hotSpot);
bool DestroyCursor(HCURSOR cursor);
// A cursor from a CURSOR resource compiled into the program (a .cur file), by name or number; null when
// there is none. Raises EInvalidGraphic for a damaged file.
HCURSOR LoadCursorResource(const std::string& name);
HCURSOR LoadCursorResource(int id);

} // namespace plat
