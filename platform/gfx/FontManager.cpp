#include "platform/gfx/FontManager.h"

#include <algorithm>
#include <cairo-ft.h>
#include <cairo.h>
#include <cmath>
#include <deque>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ot.h>
#include <hb.h>
#include <map>
#include <strings.h>
#include <tuple>

namespace plat {

namespace {

// Families the forms and charts name, with the installed families that share their metrics (or come
// closest), best first.
struct TFamilyMap {
    const char* Requested;
    const char* Installed[3];
};
const TFamilyMap kFamilies[] = {
    {"Arial", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
    {"Helvetica", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
    {"MS Sans Serif", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
    {"Microsoft Sans Serif", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
    {"Segoe UI", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
    {"Tahoma", {"DejaVu Sans", "Liberation Sans", nullptr}},
    {"Verdana", {"DejaVu Sans", "Liberation Sans", nullptr}},
    {"Courier New", {"Liberation Mono", "Cousine", "DejaVu Sans Mono"}},
    {"Courier", {"Liberation Mono", "Cousine", "DejaVu Sans Mono"}},
    {"Times New Roman", {"Liberation Serif", "Tinos", "DejaVu Serif"}},
    {"Times", {"Liberation Serif", "Tinos", "DejaVu Serif"}},
    {"System", {"Liberation Sans", "DejaVu Sans", nullptr}},
};

const char* kDefaultFamily = "MS Sans Serif";

// An opened font file: FreeType for metrics and Cairo drawing, HarfBuzz for shaping.
struct TFace {
    FT_Face Ft = nullptr;
    hb_font_t* Hb = nullptr;
    cairo_font_face_t* Cairo = nullptr;
    cairo_font_face_t* CairoBold = nullptr;
    std::string Family;
    int UnitsPerEm = 2048;
    int WinAscent = 0, WinDescent = 0, LineGapExtra = 0, AvgWidth = 0, MaxWidth = 0;
    int UnderlinePos = 0, UnderlineThickness = 0, StrikePos = 0, StrikeSize = 0;
    bool Fixed = false;
    bool Scalable = false;
};

bool HasFamily(FcConfig* config, const char* family) {
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(config, pat, os);
    bool found = set && set->nfont > 0;
    if (set)
        FcFontSetDestroy(set);
    FcObjectSetDestroy(os);
    FcPatternDestroy(pat);
    return found;
}

} // namespace

struct TFontManager::TImpl {
    FT_Library Library = nullptr;
    FcConfig* Config = nullptr;
    std::map<std::pair<std::string, int>, std::unique_ptr<TFace>> Faces;
    std::map<std::string, std::string> FamilyCache;
    // What fontconfig matched for a family, weight and slant: the match does not depend on the size,
    // and forms ask for one family at several sizes.
    struct TMatch {
        TFace* Face = nullptr;
        int Weight = FC_WEIGHT_REGULAR;
        int Slant = FC_SLANT_ROMAN;
    };
    std::map<std::tuple<std::string, int, bool>, TMatch> Matches;
    std::map<std::tuple<std::string, int, bool, int, int, int, int>, std::weak_ptr<const TFontInstance>>
        Instances;
    // The fonts realised last stay alive, so that text switching between a few fonts (bold words in a
    // caption) does not look each one up in fontconfig again whenever no context holds it.
    static constexpr size_t kRecentCount = 32;
    std::deque<std::shared_ptr<const TFontInstance>> Recent;

    void Keep(const std::shared_ptr<const TFontInstance>& inst) {
        Recent.push_back(inst);
        if (Recent.size() > kRecentCount)
            Recent.pop_front();
    }

    const TMatch& Match(const std::string& family, int weight, bool italic) {
        const int fcWeight = FcWeightFromOpenType(std::clamp(weight ? weight : 400, 1, 1000));
        auto key = std::make_tuple(family, fcWeight, italic);
        auto it = Matches.find(key);
        if (it != Matches.end())
            return it->second;
        FcPattern* pat = FcPatternCreate();
        FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(pat, FC_WEIGHT, fcWeight);
        FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(Config, pat, FcMatchPattern);
        FcDefaultSubstitute(pat);
        FcResult res;
        FcPattern* match = FcFontMatch(Config, pat, &res);
        FcPatternDestroy(pat);
        TMatch found;
        if (match) {
            FcChar8* file = nullptr;
            int index = 0;
            FcPatternGetString(match, FC_FILE, 0, &file);
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            FcPatternGetInteger(match, FC_WEIGHT, 0, &found.Weight);
            FcPatternGetInteger(match, FC_SLANT, 0, &found.Slant);
            if (file)
                found.Face = OpenFace(reinterpret_cast<const char*>(file), index);
            FcPatternDestroy(match);
        }
        return Matches.emplace(key, found).first->second;
    }

    TFace* OpenFace(const std::string& file, int index) {
        auto key = std::make_pair(file, index);
        auto it = Faces.find(key);
        if (it != Faces.end())
            return it->second.get();
        auto face = std::make_unique<TFace>();
        if (FT_New_Face(Library, file.c_str(), index, &face->Ft) != 0)
            return nullptr;
        FT_Face ft = face->Ft;
        face->Family = ft->family_name ? ft->family_name : "";
        face->UnitsPerEm = ft->units_per_EM ? ft->units_per_EM : 2048;
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
        auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA));
        int hAsc = hhea ? hhea->Ascender : ft->ascender;
        int hDesc = hhea ? -hhea->Descender : -ft->descender;
        int hGap = hhea ? hhea->Line_Gap : 0;
        if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
            face->WinAscent = os2->usWinAscent;
            face->WinDescent = os2->usWinDescent;
            face->AvgWidth = os2->xAvgCharWidth;
            face->StrikePos = os2->yStrikeoutPosition;
            face->StrikeSize = os2->yStrikeoutSize;
        } else {
            face->WinAscent = hAsc;
            face->WinDescent = hDesc;
            face->StrikePos = hAsc / 3;
            face->StrikeSize = face->UnitsPerEm / 20;
        }
        face->LineGapExtra = std::max(0, hGap - ((face->WinAscent + face->WinDescent) - (hAsc + hDesc)));
        face->MaxWidth = hhea ? hhea->advance_Width_Max : static_cast<int>(ft->max_advance_width);
        face->UnderlinePos = ft->underline_position;
        face->UnderlineThickness = ft->underline_thickness;
        face->Fixed = FT_IS_FIXED_WIDTH(ft);
        face->Scalable = FT_IS_SCALABLE(ft);

        hb_blob_t* blob = hb_blob_create_from_file(file.c_str());
        hb_face_t* hbFace = hb_face_create(blob, static_cast<unsigned>(index));
        face->Hb = hb_font_create(hbFace);
        hb_ot_font_set_funcs(face->Hb);
        hb_font_set_scale(face->Hb, face->UnitsPerEm, face->UnitsPerEm);
        hb_face_destroy(hbFace);
        hb_blob_destroy(blob);
        if (face->AvgWidth <= 0) {
            hb_codepoint_t g = 0;
            if (hb_font_get_nominal_glyph(face->Hb, 'x', &g))
                face->AvgWidth = hb_font_get_glyph_h_advance(face->Hb, g);
        }

        face->Cairo = cairo_ft_font_face_create_for_ft_face(ft, FT_LOAD_NO_BITMAP);
        face->CairoBold = cairo_ft_font_face_create_for_ft_face(ft, FT_LOAD_NO_BITMAP);
        cairo_ft_font_face_set_synthesize(face->CairoBold, CAIRO_FT_SYNTHESIZE_BOLD);
        TFace* raw = face.get();
        Faces.emplace(key, std::move(face));
        return raw;
    }
};

TFontManager& TFontManager::Instance() {
    // Lives for the whole process: Cairo keeps font faces cached beyond any owner we could name.
    static TFontManager* instance = new TFontManager();
    return *instance;
}

TFontManager::TFontManager() : FImpl(std::make_unique<TImpl>()) {
    FcInit();
    FImpl->Config = FcConfigGetCurrent();
    FT_Init_FreeType(&FImpl->Library);
}

std::string TFontManager::MapFamily(const std::string& requested) const {
    std::lock_guard<std::mutex> guard(FLock);
    return MapFamilyLocked(requested);
}

std::string TFontManager::MapFamilyLocked(const std::string& requested) const {
    auto it = FImpl->FamilyCache.find(requested);
    if (it != FImpl->FamilyCache.end())
        return it->second;
    std::string name = requested.empty() ? kDefaultFamily : requested;
    std::string result = name;
    for (auto& m : kFamilies) {
        if (strcasecmp(m.Requested, name.c_str()) != 0)
            continue;
        for (const char* candidate : m.Installed)
            if (candidate && HasFamily(FImpl->Config, candidate)) {
                result = candidate;
                break;
            }
        break;
    }
    FImpl->FamilyCache[requested] = result;
    return result;
}

std::vector<std::string> TFontManager::Families() {
    std::lock_guard<std::mutex> guard(FLock);
    std::vector<std::string> out;
    FcPattern* pat = FcPatternCreate();
    FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(FImpl->Config, pat, os);
    for (int i = 0; set && i < set->nfont; ++i) {
        FcChar8* fam = nullptr;
        if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &fam) == FcResultMatch)
            out.emplace_back(reinterpret_cast<const char*>(fam));
    }
    if (set)
        FcFontSetDestroy(set);
    FcObjectSetDestroy(os);
    FcPatternDestroy(pat);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

std::shared_ptr<const TFontInstance> TFontManager::Realize(const TLogFont& lf) {
    std::lock_guard<std::mutex> guard(FLock);
    auto key = std::make_tuple(lf.FaceName, lf.Weight, lf.Italic, lf.Height, lf.Width, lf.Escapement,
                               int(lf.Underline) | int(lf.StrikeOut) << 1);
    auto cached = FImpl->Instances.find(key);
    if (cached != FImpl->Instances.end())
        if (auto alive = cached->second.lock())
            return alive;

    const TImpl::TMatch& matched = FImpl->Match(MapFamilyLocked(lf.FaceName), lf.Weight, lf.Italic);
    TFace* face = matched.Face;
    const int matchedWeight = matched.Weight, matchedSlant = matched.Slant;
    auto inst = std::make_shared<TFontInstance>();
    if (!face) {
        // No font at all on this machine: measuring still works with a nominal cell.
        int em = lf.Height < 0 ? -lf.Height : (lf.Height > 0 ? lf.Height * 4 / 5 : 13);
        inst->EmPixels = em;
        inst->Metrics.tmAscent = em;
        inst->Metrics.tmDescent = em / 4;
        inst->Metrics.tmHeight = em + em / 4;
        inst->Metrics.tmAveCharWidth = std::max(1, em / 2);
        inst->Metrics.tmMaxCharWidth = em;
        FImpl->Instances[key] = inst;
        FImpl->Keep(inst);
        return inst;
    }
    bool wantBold = lf.Weight >= 600;
    bool synthBold = wantBold && matchedWeight < FC_WEIGHT_DEMIBOLD;
    inst->SyntheticItalic = lf.Italic && matchedSlant == FC_SLANT_ROMAN;
    inst->CairoFace = synthBold ? face->CairoBold : face->Cairo;
    inst->FHbFont = face->Hb;
    inst->FamilyName = face->Family;

    double cellUnits = face->WinAscent + face->WinDescent;
    double em;
    if (lf.Height < 0)
        em = -lf.Height;
    else if (lf.Height > 0)
        em = lf.Height * face->UnitsPerEm / cellUnits;
    else
        em = 16.0 * face->UnitsPerEm / cellUnits; // the default cell is 16 pixels high
    inst->EmPixels = em;
    double scale = em / face->UnitsPerEm;
    inst->FUnitsToPixels = scale;
    TTextMetric& tm = inst->Metrics;
    tm.tmAscent = static_cast<int>(std::lround(face->WinAscent * scale));
    tm.tmDescent = static_cast<int>(std::lround(face->WinDescent * scale));
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max(0, tm.tmHeight - static_cast<int>(std::lround(em)));
    tm.tmExternalLeading = static_cast<int>(std::lround(face->LineGapExtra * scale));
    int naturalAvg = std::max(1, static_cast<int>(std::lround(face->AvgWidth * scale)));
    if (lf.Width > 0)
        inst->WidthScale = double(lf.Width) / naturalAvg;
    tm.tmAveCharWidth = std::max(1, static_cast<int>(std::lround(face->AvgWidth * scale * inst->WidthScale)));
    tm.tmMaxCharWidth = std::max(1, static_cast<int>(std::lround(face->MaxWidth * scale * inst->WidthScale)));
    tm.tmWeight = lf.Weight ? lf.Weight : FW_NORMAL;
    tm.tmItalic = lf.Italic;
    tm.tmUnderlined = lf.Underline;
    tm.tmStruckOut = lf.StrikeOut;
    tm.tmCharSet = lf.CharSet;
    // Like the classic flags: the low bit is set for a variable-pitch font; outline faces count as vector
    // and TrueType fonts (painters decide on that whether anti-aliased text output suits the font).
    tm.tmPitchAndFamily = static_cast<uint8_t>((face->Fixed ? 0 : TMPF_FIXED_PITCH) |
                                               (face->Scalable ? TMPF_VECTOR | TMPF_TRUETYPE : 0));
    inst->UnderlineOffset = std::max(1, static_cast<int>(std::lround(-face->UnderlinePos * scale)));
    inst->UnderlineThickness = std::max(1, static_cast<int>(std::lround(face->UnderlineThickness * scale)));
    inst->StrikeOffset = std::max(1, static_cast<int>(std::lround(face->StrikePos * scale)));
    inst->StrikeThickness = std::max(1, static_cast<int>(std::lround(face->StrikeSize * scale)));
    inst->EscapementDeg = lf.Escapement / 10.0;
    FImpl->Instances[key] = inst;
    FImpl->Keep(inst);
    return inst;
}

namespace {

// Texts longer than this are rarely repeated; the cache forgets everything when it holds this many.
constexpr size_t kShapeCacheTextLimit = 128;
constexpr size_t kShapeCacheEntries = 2048;

} // namespace

int TFontInstance::Shape(std::string_view text, std::vector<TShapedGlyph>& out, int charExtra) const {
    out.clear();
    if (text.empty() || !FHbFont)
        return 0;
    if (text.size() <= kShapeCacheTextLimit) {
        std::lock_guard<std::mutex> lock(FShapeLock);
        auto it = FShapeCache.find(std::string(text));
        if (it == FShapeCache.end()) {
            if (FShapeCache.size() >= kShapeCacheEntries)
                FShapeCache.clear();
            std::vector<TShapedGlyph> shaped;
            ShapeUncached(text, shaped);
            it = FShapeCache.emplace(std::string(text), std::move(shaped)).first;
        }
        out = it->second;
    } else {
        ShapeUncached(text, out);
    }
    // The last glyph of a character carries the spacing after it.
    int x = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        TShapedGlyph& g = out[i];
        g.X = x;
        if (charExtra && (i + 1 == out.size() || out[i + 1].Cluster != g.Cluster))
            g.Advance += charExtra;
        x += g.Advance;
    }
    return x;
}

int TFontInstance::ShapeUncached(std::string_view text, std::vector<TShapedGlyph>& out) const {
    hb_buffer_t* buf = hb_buffer_create();
    hb_buffer_add_utf8(buf, text.data(), static_cast<int>(text.size()), 0, static_cast<int>(text.size()));
    hb_buffer_guess_segment_properties(buf);
    hb_buffer_set_direction(buf, HB_DIRECTION_LTR);
    static const hb_feature_t features[] = {
        {HB_TAG('k', 'e', 'r', 'n'), 0, 0, ~0u},
        {HB_TAG('l', 'i', 'g', 'a'), 0, 0, ~0u},
        {HB_TAG('c', 'l', 'i', 'g'), 0, 0, ~0u},
    };
    hb_shape(FHbFont, buf, features, 3);
    unsigned n = 0;
    hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buf, &n);
    hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buf, &n);
    out.reserve(n);
    int x = 0;
    double k = FUnitsToPixels * WidthScale;
    for (unsigned i = 0; i < n; ++i) {
        TShapedGlyph g;
        g.Index = info[i].codepoint;
        g.Cluster = static_cast<int>(info[i].cluster);
        g.X = x;
        g.Advance = static_cast<int>(std::lround(pos[i].x_advance * k));
        x += g.Advance;
        out.push_back(g);
    }
    hb_buffer_destroy(buf);
    return x;
}

} // namespace plat
