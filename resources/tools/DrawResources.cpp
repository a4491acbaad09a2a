// Draws the program's small pictures into resources/ from the pixel drawings below. Run it by hand after
// changing a drawing and keep its output in the tree; the build only embeds the files.
//
// In the drawings '#' is ink, '.' paper and ' ' (cursors only) see-through. Most glyphs are monochrome:
// ink is palette entry 0 (black), which drawing code paints in the canvas's text colour, paper entry 1
// (white), which it treats as transparent. Colour glyphs (SaveColourGlyph) have magenta paper, the
// colour image lists take as transparent.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/CursorImage.h"

using namespace plat;

namespace {

using TDrawing = std::vector<std::string>;

// clang-format off

// The chart's panning cursor: a pointing hand whose index finger tip is the hot spot.
const TDrawing HandCursor = {
    "     ##",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..##",
    "    #..#.###",
    "    #..#..#.###",
    "    #..#..#..#.#",
    " ## #..#..#..#..#",
    "#..##..#..#..#..#",
    "#...#...........#",
    " #..#...........#",
    "  #.............#",
    "  #.............#",
    "   #............#",
    "   #...........#",
    "    #..........#",
    "    #..........#",
    "     #........#",
    "     #........#",
    "     ##########",
};
constexpr TPoint HandHotSpot(5, 0);

// Menu glyphs: a tick and a round dot in a 16 x 16 cell, and the 4 x 7 sub-menu arrow.
const TDrawing CheckGlyph = {
    "................",
    "................",
    "................",
    "................",
    "................",
    "..........#.....",
    ".........##.....",
    "....#...###.....",
    "....##.###......",
    "....#####.......",
    ".....###........",
    "......#.........",
    "................",
    "................",
    "................",
    "................",
};
const TDrawing RadioGlyph = {
    "................",
    "................",
    "................",
    "................",
    "................",
    "......####......",
    ".....######.....",
    ".....######.....",
    ".....######.....",
    ".....######.....",
    "......####......",
    "................",
    "................",
    "................",
    "................",
    "................",
};
const TDrawing SubMenuGlyph = {
    "#...",
    "##..",
    "###.",
    "####",
    "###.",
    "##..",
    "#...",
};

// The tab set's button pictures, 9 x 9: scroll forward and back, the tab list and close.
const TDrawing TabSetNextGlyph = {
    ".........",
    "...#.....",
    "...##....",
    "...###...",
    "...####..",
    "...###...",
    "...##....",
    "...#.....",
    ".........",
};
const TDrawing TabSetPrevGlyph = {
    ".........",
    ".....#...",
    "....##...",
    "...###...",
    "..####...",
    "...###...",
    "....##...",
    ".....#...",
    ".........",
};
const TDrawing TabSetListGlyph = {
    ".........",
    ".#######.",
    ".........",
    ".#######.",
    "..#####..",
    "...###...",
    "....#....",
    ".........",
    ".........",
};
const TDrawing TabSetCloseGlyph = {
    ".........",
    ".##...##.",
    "..##.##..",
    "...###...",
    "....#....",
    "...###...",
    "..##.##..",
    ".##...##.",
    ".........",
};

// The pager's button pictures, 9 x 9: a white symbol ('o') in a dark outline ('#') on paper ('.') that
// the pictures draw see-through (so the bottom-left pixel must be paper). Forward, back, down, up, the page
// list and close.
const TDrawing PagerNextGlyph = {
    ".........",
    ".##......",
    ".#o#.....",
    "..#o#....",
    "...#o#...",
    "..#o#....",
    ".#o#.....",
    ".##......",
    ".........",
};
const TDrawing PagerPrevGlyph = {
    ".........",
    "......##.",
    ".....#o#.",
    "....#o#..",
    "...#o#...",
    "....#o#..",
    ".....#o#.",
    "......##.",
    ".........",
};
const TDrawing PagerDownGlyph = {
    ".........",
    ".........",
    "#.......#",
    "#o#...#o#",
    ".#o#.#o#.",
    "..#o#o#..",
    "...#o#...",
    "....#....",
    ".........",
};
const TDrawing PagerUpGlyph = {
    ".........",
    "....#....",
    "...#o#...",
    "..#o#o#..",
    ".#o#.#o#.",
    "#o#...#o#",
    "#.......#",
    ".........",
    ".........",
};
const TDrawing PagerListGlyph = {
    ".........",
    ".........",
    ".........",
    ".........",
    ".#######.",
    ".#ooooo#.",
    "..#ooo#..",
    "...#o#...",
    "....#....",
};
const TDrawing PagerCloseGlyph = {
    ".........",
    ".##...##.",
    ".#o#.#o#.",
    "..#o#o#..",
    "...#o#...",
    "..#o#o#..",
    ".#o#.#o#.",
    ".##...##.",
    ".........",
};

// The data-aware glow button's action glyphs, 16 by 16: ink on magenta, which is see-through.
const TDrawing DbGlyphFirst = {
    "................",
    "................",
    "................",
    "...##......##...",
    "...##.....###...",
    "...##....####...",
    "...##...#####...",
    "...##..######...",
    "...##..######...",
    "...##...#####...",
    "...##....####...",
    "...##.....###...",
    "...##......##...",
    "................",
    "................",
    "................",
};
const TDrawing DbGlyphPrior = {
    "................",
    "................",
    "................",
    "..........##....",
    ".........###....",
    "........####....",
    ".......#####....",
    "......######....",
    "......######....",
    ".......#####....",
    "........####....",
    ".........###....",
    "..........##....",
    "................",
    "................",
    "................",
};
const TDrawing DbGlyphNext = {
    "................",
    "................",
    "................",
    "....##..........",
    "....###.........",
    "....####........",
    "....#####.......",
    "....######......",
    "....######......",
    "....#####.......",
    "....####........",
    "....###.........",
    "....##..........",
    "................",
    "................",
    "................",
};
const TDrawing DbGlyphLast = {
    "................",
    "................",
    "................",
    "...##......##...",
    "...###.....##...",
    "...####....##...",
    "...#####...##...",
    "...######..##...",
    "...######..##...",
    "...#####...##...",
    "...####....##...",
    "...###.....##...",
    "...##......##...",
    "................",
    "................",
    "................",
};
const TDrawing DbGlyphInsert = {
    "................",
    "................",
    "................",
    "......###.......",
    "......###.......",
    "......###.......",
    "...#########....",
    "...#########....",
    "...#########....",
    "......###.......",
    "......###.......",
    "......###.......",
    "................",
    "................",
    "................",
    "................",
};
const TDrawing DbGlyphDelete = {
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "...#########....",
    "...#########....",
    "...#########....",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
};
const TDrawing DbGlyphEdit = {
    "................",
    "................",
    "...........##...",
    "..........####..",
    ".........#.####.",
    "........#...##..",
    ".......#...#....",
    "......#...#.....",
    ".....#...#......",
    "....#...#.......",
    "...##..#........",
    "...###.#........",
    "...#####........",
    "................",
    "................",
    "................",
};
const TDrawing DbGlyphPost = {
    "................",
    "................",
    "................",
    "............##..",
    "...........###..",
    "..........###...",
    ".........###....",
    "..##....###.....",
    "..###..###......",
    "...######.......",
    "....####........",
    ".....##.........",
    "................",
    "................",
    "................",
    "................",
};
const TDrawing DbGlyphCancel = {
    "................",
    "................",
    "................",
    "...##......##...",
    "...###....###...",
    "....###..###....",
    ".....######.....",
    "......####......",
    "......####......",
    ".....######.....",
    "....###..###....",
    "...###....###...",
    "...##......##...",
    "................",
    "................",
    "................",
};
const TDrawing DbGlyphRefresh = {
    "................",
    "................",
    ".....#####......",
    "....##...##.#...",
    "...##.....###...",
    "...#.....####...",
    "..##............",
    "..##............",
    "..##.......##...",
    "..##.......##...",
    "...#.......#....",
    "...##.....##....",
    "....##...##.....",
    ".....#####......",
    "................",
    "................",
};

// clang-format on

// The office check box and radio button glyphs: one picture per checked state and look (normal, hot,
// pressed). The controls draw them transparent with their bottom-left pixel's colour, so that colour is
// kept out of everything that must show: the outer ring of the check box and the corners of the radio.
enum TGlyphLook { glNormal, glHot, glDown };

struct TGlyphColours {
    uint32_t Frame, InnerRing, FaceTop, FaceBottom, Mark;
};

constexpr TGlyphColours kGlyphColours[] = {
    {0x808080, 0xFCFCFC, 0xDCDCDC, 0xFAFAFA, 0x2A2A2A}, // gray and white
    {0x7F9DB9, 0xF4FCFF, 0xC6F0FA, 0xF2FCFF, 0x1C4A7A}, // blue-gray ring, light cyan face
    {0x1C3A6B, 0xDCE8FA, 0xA8C8F0, 0xD6E6FC, 0x10284C}, // dark blue ring, light blue face
};
static_assert(std::size(kGlyphColours) == glDown + 1);

constexpr uint32_t kCheckSeeThrough = 0xFF00FF;
constexpr uint32_t kRadioSeeThrough = 0xFFFFFF;

uint32_t Mix(uint32_t from, uint32_t to, int step, int steps) {
    uint32_t r = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int a = static_cast<int>((from >> shift) & 0xFF), b = static_cast<int>((to >> shift) & 0xFF);
        r |= static_cast<uint32_t>(a + (b - a) * step / steps) << shift;
    }
    return r;
}

TDib OfficeCheckGlyph(bool checked, TGlyphLook look) {
    const TGlyphColours& c = kGlyphColours[look];
    constexpr int n = 13;
    TDib dib(n, n, pf24bit);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            int ring = std::min(std::min(x, y), std::min(n - 1 - x, n - 1 - y));
            uint32_t rgb = ring == 0   ? kCheckSeeThrough
                           : ring == 1 ? c.Frame
                           : ring == 2 ? c.InnerRing
                                       : Mix(c.FaceTop, c.FaceBottom, y - 3, n - 7);
            dib.SetPixel(x, y, rgb);
        }
    if (checked) {
        // A tick three pixels thick over seven columns.
        constexpr int rise[] = {2, 3, 4, 3, 2, 1, 0};
        for (int i = 0; i < 7; ++i)
            for (int k = 0; k < 3; ++k)
                dib.SetPixel(3 + i, 3 + rise[i] + k, c.Mark);
    }
    return dib;
}

TDib OfficeRadioGlyph(bool checked, TGlyphLook look) {
    const TGlyphColours& c = kGlyphColours[look];
    constexpr int n = 12;
    TDib dib(n, n, pf24bit);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            double dx = x - 5.5, dy = y - 5.5;
            double d = std::sqrt(dx * dx + dy * dy);
            uint32_t rgb = d > 6.0               ? kRadioSeeThrough
                           : d > 5.0             ? c.Frame
                           : d > 4.0             ? c.InnerRing
                           : checked && d <= 2.3 ? c.Mark
                                                 : Mix(c.FaceTop, c.FaceBottom, y - 2, n - 5);
            dib.SetPixel(x, y, rgb);
        }
    return dib;
}

void Save(const std::string& relative, const std::vector<uint8_t>& bytes) {
    const std::string path = std::string(LUMETRA_RESOURCE_DIR) + "/" + relative;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::cerr << "cannot write " << path << "\n";
        std::exit(1);
    }
    std::cout << path << " (" << bytes.size() << " bytes)\n";
}

void SaveGlyph(const std::string& relative, const TDrawing& drawing) {
    TDib dib(static_cast<int>(drawing[0].size()), static_cast<int>(drawing.size()), pf1bit);
    dib.Palette = {0x000000, 0xFFFFFF};
    for (int y = 0; y < dib.Height; ++y)
        for (int x = 0; x < dib.Width; ++x)
            dib.SetPixel(x, y, drawing[y][x] == '#' ? 0x000000 : 0xFFFFFF);
    Save(relative, WriteBmp(dib));
}

// An 8-bit picture whose paper, the colour of its bottom-left pixel, the component set's pictures draw
// see-through.
void SavePicture8(const std::string& relative, const TDrawing& drawing) {
    TDib dib(static_cast<int>(drawing[0].size()), static_cast<int>(drawing.size()), pf8bit);
    dib.Palette.assign(256, 0);
    dib.Palette[0] = 0xFF00FF; // paper
    dib.Palette[1] = 0x000000; // ink
    for (int y = 0; y < dib.Height; ++y)
        for (int x = 0; x < dib.Width; ++x)
            dib.Row(y)[x] = drawing[y][x] == '#' ? 1 : 0;
    Save(relative, WriteBmp(dib));
}

// A 256-colour picture of a white symbol with a teal outline on a pale paper, the colour of its
// bottom-left pixel, that the component set's pictures draw see-through.
void SaveOutlinedPicture8(const std::string& relative, const TDrawing& drawing) {
    TDib dib(static_cast<int>(drawing[0].size()), static_cast<int>(drawing.size()), pf8bit);
    dib.Palette.assign(256, 0);
    dib.Palette[0] = 0xEFEFDE; // paper
    dib.Palette[1] = 0x847B42; // outline
    dib.Palette[2] = 0xFFFFFF; // symbol
    for (int y = 0; y < dib.Height; ++y)
        for (int x = 0; x < dib.Width; ++x) {
            const char c = drawing[y][x];
            dib.Row(y)[x] = c == '#' ? 1 : c == 'o' ? 2 : 0;
        }
    Save(relative, WriteBmp(dib));
}

// A colour glyph on magenta: ink in the given colour; a disabled glyph is grey ink with a white relief
// below and to the right, as greyed glyphs are drawn.
void SaveColourGlyph(const std::string& relative, const TDrawing& drawing, bool enabled) {
    TDib dib(static_cast<int>(drawing[0].size()), static_cast<int>(drawing.size()), pf24bit);
    auto ink = [&](int x, int y) {
        return y >= 0 && x >= 0 && y < dib.Height && x < dib.Width && drawing[y][x] == '#';
    };
    for (int y = 0; y < dib.Height; ++y)
        for (int x = 0; x < dib.Width; ++x) {
            uint32_t rgb = 0xFF00FF;
            if (ink(x, y))
                rgb = enabled ? 0x1F3F7F : 0x808080;
            else if (!enabled && ink(x - 1, y - 1))
                rgb = 0xFFFFFF;
            dib.SetPixel(x, y, rgb);
        }
    Save(relative, WriteBmp(dib));
}

void SaveCursor(const std::string& relative, const TDrawing& drawing, TPoint hotSpot, int size) {
    TCursorPicture cursor;
    cursor.Image = TPixelImage(size, size);
    cursor.HotSpot = hotSpot;
    for (int y = 0; y < static_cast<int>(drawing.size()); ++y)
        for (int x = 0; x < static_cast<int>(drawing[y].size()); ++x) {
            char c = drawing[y][x];
            if (c != ' ')
                cursor.Image.Row(y)[x] = c == '#' ? 0xFF000000u : 0xFFFFFFFFu;
        }
    Save(relative, WriteCur({cursor}));
}

} // namespace

int main() {
    SaveCursor("cursors/PlotCursorHand.cur", HandCursor, HandHotSpot, 32);
    SaveGlyph("bitmaps/KvxCheckItem.bmp", CheckGlyph);
    SaveGlyph("bitmaps/KvxRadioItem.bmp", RadioGlyph);
    SaveGlyph("bitmaps/KvxSubMenuItem.bmp", SubMenuGlyph);
    SavePicture8("bitmaps/KvxTsNext.bmp", TabSetNextGlyph);
    SavePicture8("bitmaps/KvxTsPrev.bmp", TabSetPrevGlyph);
    SavePicture8("bitmaps/KvxTsList.bmp", TabSetListGlyph);
    SavePicture8("bitmaps/KvxTsClose.bmp", TabSetCloseGlyph);
    SaveOutlinedPicture8("bitmaps/KvxAoNext.bmp", PagerNextGlyph);
    SaveOutlinedPicture8("bitmaps/KvxAoPrev.bmp", PagerPrevGlyph);
    SaveOutlinedPicture8("bitmaps/KvxAoDown.bmp", PagerDownGlyph);
    SaveOutlinedPicture8("bitmaps/KvxAoUp.bmp", PagerUpGlyph);
    SaveOutlinedPicture8("bitmaps/KvxAoList.bmp", PagerListGlyph);
    SaveOutlinedPicture8("bitmaps/KvxAoClose.bmp", PagerCloseGlyph);
    SaveColourGlyph("bitmaps/DbImgFirst.bmp", DbGlyphFirst, true);
    SaveColourGlyph("bitmaps/DbImgFirstD.bmp", DbGlyphFirst, false);
    SaveColourGlyph("bitmaps/DbImgPrior.bmp", DbGlyphPrior, true);
    SaveColourGlyph("bitmaps/DbImgPriorD.bmp", DbGlyphPrior, false);
    SaveColourGlyph("bitmaps/DbImgNext.bmp", DbGlyphNext, true);
    SaveColourGlyph("bitmaps/DbImgNextD.bmp", DbGlyphNext, false);
    SaveColourGlyph("bitmaps/DbImgLast.bmp", DbGlyphLast, true);
    SaveColourGlyph("bitmaps/DbImgLastD.bmp", DbGlyphLast, false);
    SaveColourGlyph("bitmaps/DbImgInsert.bmp", DbGlyphInsert, true);
    SaveColourGlyph("bitmaps/DbImgInsertD.bmp", DbGlyphInsert, false);
    SaveColourGlyph("bitmaps/DbImgDelete.bmp", DbGlyphDelete, true);
    SaveColourGlyph("bitmaps/DbImgDeleteD.bmp", DbGlyphDelete, false);
    SaveColourGlyph("bitmaps/DbImgEdit.bmp", DbGlyphEdit, true);
    SaveColourGlyph("bitmaps/DbImgEditD.bmp", DbGlyphEdit, false);
    SaveColourGlyph("bitmaps/DbImgPost.bmp", DbGlyphPost, true);
    SaveColourGlyph("bitmaps/DbImgPostD.bmp", DbGlyphPost, false);
    SaveColourGlyph("bitmaps/DbImgCancel.bmp", DbGlyphCancel, true);
    SaveColourGlyph("bitmaps/DbImgCancelD.bmp", DbGlyphCancel, false);
    SaveColourGlyph("bitmaps/DbImgRefresh.bmp", DbGlyphRefresh, true);
    SaveColourGlyph("bitmaps/DbImgRefreshD.bmp", DbGlyphRefresh, false);
    // Named by checked (C) or not (U), then hot (H) or pressed (D).
    const char* const lookSuffix[] = {"", "H", "D"};
    for (bool checked : {true, false})
        for (TGlyphLook look : {glNormal, glHot, glDown}) {
            std::string state = std::string(checked ? "C" : "U") + lookSuffix[look];
            Save("bitmaps/KVXOFC" + state + ".bmp", WriteBmp(OfficeCheckGlyph(checked, look)));
            Save("bitmaps/KVXOFR" + state + ".bmp", WriteBmp(OfficeRadioGlyph(checked, look)));
        }
    return 0;
}
