#include "ui/drawing/KvxMenuText.h"

#include "platform/gfx/AAGraphics.h"
#include "platform/gfx/GdiTypes.h"

using namespace plat;

namespace ui {

void DrawAntiAliasedText(TCanvas* Canvas, const std::string& Text, const TRect& Rect, uint32_t Align,
                         bool VCenter, TAntiAlias Quality) {
    TAAGraphics g(Canvas->Handle());
    g.SetTextRenderingHint(Quality == aaClearType ? 5 : 4);
    auto family = std::make_unique<TAAFontFamily>(Canvas->Font()->Name());
    if (family->LastStatus() != TAAStatus::Ok)
        family = std::make_unique<TAAFontFamily>("Arial");
    TAAFont font(family.get(), static_cast<float>(Canvas->Font()->Size()), aafsRegular, aauPoint);
    TAAStringFormat format(aasfNoWrap);
    format.SetHotkeyPrefix(aahpShow);
    format.SetAlignment(Align == DT_CENTER ? aasaCenter : Align == DT_RIGHT ? aasaFar : aasaNear);
    if (VCenter)
        format.SetLineAlignment(aasaCenter);
    TColor c = ColorToRGB(Canvas->Font()->Color());
    TAASolidBrush brush(MakeARGB(255, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    TAARectF layout{float(Rect.Left), float(Rect.Top), float(Rect.Right - Rect.Left),
                    float(Rect.Bottom - Rect.Top)};
    g.DrawString(Text, &font, layout, &format, &brush);
}

} // namespace ui
