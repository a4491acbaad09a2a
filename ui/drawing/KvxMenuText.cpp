#include "ui/drawing/KvxMenuText.h"

#include "platform/gfx/GdiTypes.h"

using namespace plat;

namespace ui {

void DrawAntiAliasedText(TCanvas* Canvas, const std::string& Text, const TRect& Rect, uint32_t Align,
                         bool VCenter, TAntiAlias Quality) {
    TGPGraphics g(Canvas->Handle());
    ApplyAntiAlias(g, Quality);
    std::unique_ptr<TGPFontFamily> family = CreateGdipFontFamily(Canvas->Font()->Name());
    TGPFont font(family.get(), static_cast<float>(Canvas->Font()->Size()), 0, 3);
    TGPStringFormat format(0x1000);
    format.SetHotkeyPrefix(1);
    format.SetAlign(Align == DT_CENTER ? 1 : Align == DT_RIGHT ? 2 : 0);
    if (VCenter)
        format.SetLineAlign(1);
    TGPSolidBrush brush(MakeGdipColor(Canvas->Font()->Color()));
    g.DrawString(Text, -1, &font,
                 MakeGdipRectF(float(Rect.Left), float(Rect.Top), float(Rect.Right - Rect.Left),
                               float(Rect.Bottom - Rect.Top)),
                 &format, &brush);
}

} // namespace ui
