// Finds fonts: maps the family names the system's forms and charts use to installed metric-compatible
// families through fontconfig, opens them with FreeType, shapes text with HarfBuzz and gives the cell
// metrics (height, ascent, descent, leadings, average and maximum width) in whole pixels.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/gfx/GdiTypes.h"

typedef struct _cairo_font_face cairo_font_face_t;
typedef struct hb_font_t hb_font_t;

namespace plat {

// One shaped glyph: its index in the font, its pen position from the start of the run and its advance
// (whole pixels), and the byte offset in the text of the character it came from.
struct TShapedGlyph {
    uint32_t Index = 0;
    int X = 0;
    int Advance = 0;
    int Cluster = 0;
};

// A font realised at one pixel size: what drawing and measuring need.
class TFontInstance {
public:
    TTextMetric Metrics;
    double EmPixels = 0;      // character height in pixels
    double WidthScale = 1;    // horizontal stretch asked for by a non-zero width
    double EscapementDeg = 0; // text direction, counter-clockwise
    bool SyntheticItalic = false;
    int UnderlineOffset = 1; // below the baseline
    int UnderlineThickness = 1;
    int StrikeOffset = 3; // above the baseline
    int StrikeThickness = 1;
    cairo_font_face_t* CairoFace = nullptr; // owned by the font manager's face cache
    std::string FamilyName;                 // the installed family actually used

    // Shapes UTF-8 text without kerning or ligatures (like classic text output), extra pixels after
    // every character. Returns the total advance.
    int Shape(std::string_view text, std::vector<TShapedGlyph>& out, int charExtra = 0) const;

private:
    friend class TFontManager;
    int ShapeUncached(std::string_view text, std::vector<TShapedGlyph>& out) const;

    hb_font_t* FHbFont = nullptr; // shared with the face cache
    double FUnitsToPixels = 0;
    // Charts and forms draw and measure the same short texts on every repaint (labels, captions);
    // their shapes are kept. Instances are shared between threads, hence the lock.
    mutable std::mutex FShapeLock;
    mutable std::unordered_map<std::string, std::vector<TShapedGlyph>> FShapeCache;
};

class TFontManager {
public:
    static TFontManager& Instance();

    // The installed family used for a requested one ("Arial" -> "Liberation Sans").
    std::string MapFamily(const std::string& requested) const;
    // Realises a logical font; heights are already in device pixels.
    std::shared_ptr<const TFontInstance> Realize(const TLogFont& font);
    // Installed family names, sorted, for font lists.
    std::vector<std::string> Families();

private:
    TFontManager();
    // The caller holds FLock.
    std::string MapFamilyLocked(const std::string& requested) const;
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
    // Guards every cache of FImpl: contexts on other threads (printing, exports) realise fonts too.
    mutable std::mutex FLock;
};

} // namespace plat
