// libFuzzer target for the caption renderer: captions come from layouts and users, so any bytes are laid
// out, hit-tested and painted. Nothing may raise or crash, and the canvas must come back as it went in.
// The first byte picks the options; pictures come from a container only, so the run reads no files.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "ui/markup/MarkupText.h"
#include "ui/markup/PictureContainer.h"

using namespace plat;
using namespace ui;

namespace {

[[noreturn]] void Die(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    static TBitmap bitmap(160, 80, pf32bit);
    static TPictureContainer container(nullptr);
    if (container.Items()->Count() == 0)
        container.Items()->Add()->SetName("pic");
    TCanvas& canvas = *bitmap.Canvas();
    canvas.Font()->SetName("Arial");
    canvas.Font()->SetSize(9);
    canvas.Font()->SetColor(clBlack);
    canvas.Brush()->SetColor(clWhite);

    const uint8_t mode = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    TMarkupOptions options;
    options.PictureContainer = &container;
    options.WordWrap = (mode & 1) == 0;
    options.Selected = (mode & 2) != 0;
    options.HoverOnly = (mode & 4) != 0;
    options.BlinkOn = (mode & 8) == 0;
    options.HoverLinkNumber = (mode >> 4) & 3;
    options.FocusLinkIndex = ((mode >> 6) & 3) - 1;
    options.HoverColor = (mode & 16) ? clYellow : clNone;
    options.X = 20 + mode % 100;
    options.Y = 5 + mode % 40;
    try {
        for (int pass = 0; pass < 3; ++pass) {
            options.MeasureOnly = pass == 0;
            options.NoDraw = pass == 1;
            TMarkupResult result;
            const bool found = DrawMarkupText(canvas, text, TRect(2, 2, 150, 70), options, result);
            if (result.TotalHeight <= 0 || result.MaxLineWidth < 0 || result.LinkCount < 0)
                Die("impossible measurements");
            if (found && result.LinkUnderPoint > result.LinkCount)
                Die("a link beyond the link count");
            if (canvas.Font()->Name() != "Arial" || canvas.Font()->Size() != 9 ||
                canvas.Font()->Style() != 0 || canvas.Font()->Color() != clBlack ||
                canvas.Brush()->Color() != clWhite)
                Die("the canvas was not restored");
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        Die("the renderer raised");
    }
    return 0;
}
