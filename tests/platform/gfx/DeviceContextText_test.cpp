// Clipped text with underline and strike-out: the lines are clipped exactly like the letters, whatever
// origins the context has and whether it writes pixels or draws through Cairo.
#include "platform/gfx/DeviceContext.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/gfx/PixelLine.h"
#include "platform/gfx/TextLayout.h"

using namespace plat;

namespace {

// Pixels the test reads back; as a vector target it hides them, so the context draws through Cairo as
// it does on a printed page.
struct TTarget : TDrawSurface {
    TTarget(int w, int h, bool vector) : Image(w, h), Vector(vector) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                Image.Row(y)[x] = ColorToPixel(clWhite);
    }
    cairo_surface_t* CairoSurface() override { return Image.CairoSurface(); }
    int Width() const override { return Image.Width(); }
    int Height() const override { return Image.Height(); }
    uint32_t* Pixels() override { return Vector ? nullptr : Image.Pixels(); }
    int StridePixels() const override { return Vector ? 0 : Image.StridePixels(); }
    void BeginCairo() override { Image.BeginCairo(); }
    void EndCairo() override { Image.EndCairo(); }
    uint32_t At(int x, int y) const { return Image.Row(y)[x] & 0x00FFFFFF; }
    bool Dark(int x, int y) const {
        TColor c = PixelToColor(At(x, y));
        return GetRValue(c) + GetGValue(c) + GetBValue(c) < 300;
    }

    TImageSurface Image;
    bool Vector;
};

// A context placed at an origin on a shared surface that takes clip regions counting from that origin,
// as a window's context on its top-level window's backing image does.
class TOriginDC : public TDeviceContext {
public:
    TOriginDC(TDrawSurface* surface, TPoint origin) : TDeviceContext(surface), FOrigin(origin) {
        TDeviceContext::SetViewportOrgEx(origin.X, origin.Y);
    }
    int SelectClipRgn(const TRegion* region) override {
        if (!region)
            return TDeviceContext::SelectClipRgn(nullptr);
        TRegion r = Shifted(*region);
        return TDeviceContext::SelectClipRgn(&r);
    }
    int ExtSelectClipRgn(const TRegion* region, int mode) override {
        if (mode == RGN_COPY)
            return SelectClipRgn(region);
        if (!region)
            return RGN_ERROR;
        TRegion r = Shifted(*region);
        return TDeviceContext::ExtSelectClipRgn(&r, mode);
    }
    int IntersectClipRect(int left, int top, int right, int bottom) override {
        TRegion box(LPtoDP(TRect(left, top, right, bottom)));
        return TDeviceContext::ExtSelectClipRgn(&box, RGN_AND);
    }

private:
    TRegion Shifted(TRegion r) const {
        r.Offset(FOrigin.X, FOrigin.Y);
        return r;
    }
    TPoint FOrigin;
};

HFONT LinedFont() {
    TLogFont lf;
    lf.Height = -16;
    lf.Underline = true;
    lf.StrikeOut = true;
    return CreateFontIndirect(lf);
}

void PrepareText(TDeviceContext& dc) {
    dc.SelectFont(LinedFont());
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(clBlack);
}

// Rows in which every pixel from x0 to x1 (exclusive) is dark: the underline and the strike-out line.
int FullRows(const TTarget& t, int x0, int x1) {
    int rows = 0;
    for (int y = 0; y < t.Height(); ++y) {
        bool full = true;
        for (int x = x0; x < x1 && full; ++x)
            full = t.Dark(x, y);
        rows += full;
    }
    return rows;
}

enum class TCall { TextOutInClip, ExtTextOutClipped, DrawText };
const char* CallName(TCall c) {
    return c == TCall::TextOutInClip       ? "TextOut in a clip"
           : c == TCall::ExtTextOutClipped ? "ETO_CLIPPED"
                                           : "DrawText";
}

} // namespace

// A graphic control at (10, 5) in a parent whose context sits at (30, 20) on the surface draws
// underlined, struck-out text at (2, 2) clipped to the left half of the text. What shows must be the
// unclipped text cut at the clip box: the lines included.
TEST(DeviceContextText, ClippedLinesFollowTheLettersAtAnOffsetOrigin) {
    const std::string text = "Hello";
    const TPoint parentAt(30, 20), controlAt(10, 5), textAt(2, 2);
    const TPoint device(parentAt.X + controlAt.X + textAt.X, parentAt.Y + controlAt.Y + textAt.Y);
    for (bool vector : {false, true}) {
        TTarget reference(160, 80, vector);
        TDeviceContext plain(&reference);
        PrepareText(plain);
        plain.TextOut(device.X, device.Y, text);
        const int width = plain.TextExtent(text).cx;
        ASSERT_GT(width, 20);
        ASSERT_GE(FullRows(reference, device.X, device.X + width), 2)
            << "the reference shows both lines over the whole text";

        const TRect clip(textAt.X, textAt.Y, textAt.X + width / 2, 60); // logical, in the control
        const TRect deviceClip(device.X, device.Y, device.X + width / 2, 80);
        for (bool windowLike : {false, true}) {
            for (TCall call : {TCall::TextOutInClip, TCall::ExtTextOutClipped, TCall::DrawText}) {
                SCOPED_TRACE(std::string(vector ? "vector" : "pixels") + ", " +
                             (windowLike ? "window-like context" : "plain context") + ", " + CallName(call));
                TTarget target(160, 80, vector);
                TOriginDC windowDc(&target, parentAt);
                TDeviceContext plainDc(&target);
                TDeviceContext& dc = windowLike ? static_cast<TDeviceContext&>(windowDc) : plainDc;
                if (!windowLike)
                    dc.SetViewportOrgEx(parentAt.X, parentAt.Y);
                dc.SetWindowOrgEx(-controlAt.X, -controlAt.Y);
                PrepareText(dc);
                TRegion before;
                const int hadClip = dc.GetClipRgn(before);
                switch (call) {
                case TCall::TextOutInClip:
                    dc.IntersectClipRect(clip.Left, clip.Top, clip.Right, clip.Bottom);
                    dc.TextOut(textAt.X, textAt.Y, text);
                    break;
                case TCall::ExtTextOutClipped:
                    dc.ExtTextOut(textAt.X, textAt.Y, ETO_CLIPPED, &clip, text);
                    break;
                case TCall::DrawText: {
                    TRect r = clip;
                    DrawText(dc, text, r, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
                    break;
                }
                }
                if (call != TCall::TextOutInClip) {
                    TRegion after;
                    EXPECT_EQ(dc.GetClipRgn(after), hadClip) << "the text leaves the selected clip as it was";
                    if (hadClip) {
                        EXPECT_TRUE(EqualRgn(after, before));
                    }
                }
                int wrong = 0;
                for (int y = 0; y < target.Height(); ++y)
                    for (int x = 0; x < target.Width(); ++x) {
                        bool inside = deviceClip.Contains(TPoint(x, y));
                        uint32_t expected = inside ? reference.At(x, y) : ColorToPixel(clWhite) & 0x00FFFFFF;
                        wrong += target.At(x, y) != expected;
                    }
                EXPECT_EQ(wrong, 0) << "pixels that differ from the reference cut at the clip box";
                EXPECT_GE(FullRows(target, deviceClip.Left, deviceClip.Right), 2) << "both lines show";
            }
        }
    }
}
