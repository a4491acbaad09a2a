#include "platform/gfx/TextLayout.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/StringUtils.h"

namespace plat {

namespace {

const char kEllipsis[] = "...";

struct TLine {
    std::string Text;
    int HotKey = -1; // byte offset in Text
};

class TLayout {
public:
    TLayout(TDeviceContext& dc, uint32_t format) : FDc(dc), FFormat(format) {
        TTextMetric tm;
        dc.GetTextMetrics(tm);
        FMetrics = tm;
        int chars = 8;
        if (format & DT_TABSTOP)
            chars = static_cast<int>((format >> 8) & 0xFF);
        FTabWidth = std::max(1, (chars ? chars : 8) * tm.tmAveCharWidth);
    }

    // Width of a line with tabs expanded (when asked) from the line's start.
    int Width(std::string_view s) const {
        if (!(FFormat & DT_EXPANDTABS) || s.find('\t') == std::string_view::npos)
            return s.empty() ? 0 : FDc.TextExtent(s).cx;
        int x = 0;
        size_t start = 0;
        while (true) {
            size_t tab = s.find('\t', start);
            std::string_view part =
                s.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
            if (!part.empty())
                x += FDc.TextExtent(part).cx;
            if (tab == std::string_view::npos)
                break;
            x = (x / FTabWidth + 1) * FTabWidth;
            start = tab + 1;
        }
        return x;
    }

    // Draws a line with its left edge at x and its top at y, expanding tabs.
    void Draw(std::string_view s, int x, int y, const TRect* clip) {
        uint32_t options = clip ? uint32_t(ETO_CLIPPED) : 0u;
        if (!(FFormat & DT_EXPANDTABS)) {
            FDc.ExtTextOut(x, y, options, clip, s);
            return;
        }
        int pos = 0;
        size_t start = 0;
        while (true) {
            size_t tab = s.find('\t', start);
            std::string_view part =
                s.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
            if (!part.empty()) {
                FDc.ExtTextOut(x + pos, y, options, clip, part);
                pos += FDc.TextExtent(part).cx;
            }
            if (tab == std::string_view::npos)
                break;
            pos = (pos / FTabWidth + 1) * FTabWidth;
            start = tab + 1;
        }
    }

    // The longest prefix (whole characters) that fits in width together with the ellipsis.
    size_t FitPrefix(std::string_view s, int width, int ellipsisWidth) const {
        std::vector<size_t> bounds{0};
        for (size_t p = 0; p < s.size();) {
            p = Utf8NextChar(s, p);
            bounds.push_back(p);
        }
        size_t lo = 0, hi = bounds.size() - 1;
        while (lo < hi) {
            size_t mid = (lo + hi + 1) / 2;
            if (Width(s.substr(0, bounds[mid])) + ellipsisWidth <= width)
                lo = mid;
            else
                hi = mid - 1;
        }
        return bounds[lo];
    }

    void EndEllipsis(TLine& line, int width) const {
        if (Width(line.Text) <= width)
            return;
        int ew = Width(kEllipsis);
        size_t keep = FitPrefix(line.Text, width, ew);
        if (FFormat & DT_WORD_ELLIPSIS) {
            size_t space = line.Text.rfind(' ', keep);
            if (space != std::string::npos && space > 0)
                keep = space;
        }
        line.Text = line.Text.substr(0, keep) + kEllipsis;
        if (line.HotKey >= static_cast<int>(keep))
            line.HotKey = -1;
    }

    // Keeps the part after the last path separator and shortens what comes before it.
    void PathEllipsis(TLine& line, int width) const {
        if (Width(line.Text) <= width)
            return;
        size_t sep = line.Text.find_last_of("\\/");
        if (sep == std::string::npos) {
            EndEllipsis(line, width);
            return;
        }
        std::string tail = line.Text.substr(sep);
        std::string head = line.Text.substr(0, sep);
        int tailWidth = Width(tail) + Width(kEllipsis);
        if (tailWidth > width) {
            // Not even the last part fits: cut the end instead.
            EndEllipsis(line, width);
            return;
        }
        size_t keep = FitPrefix(head, width - tailWidth + Width(kEllipsis), Width(kEllipsis));
        line.Text = head.substr(0, keep) + kEllipsis + tail;
        if (line.HotKey >= static_cast<int>(keep))
            line.HotKey = -1;
    }

    std::vector<TLine> WordWrap(const TLine& para, int width) const {
        std::vector<TLine> out;
        std::string_view s = para.Text;
        size_t lineStart = 0;
        while (lineStart <= s.size()) {
            // Grow the line word by word while it fits; a lone over-long word stays whole.
            size_t end = lineStart, best = std::string_view::npos;
            while (true) {
                size_t next = s.find(' ', end);
                size_t wordEnd = next == std::string_view::npos ? s.size() : next;
                if (best != std::string_view::npos && Width(s.substr(lineStart, wordEnd - lineStart)) > width)
                    break;
                best = wordEnd;
                if (wordEnd >= s.size())
                    break;
                end = wordEnd + 1;
            }
            TLine line;
            line.Text = std::string(s.substr(lineStart, best - lineStart));
            if (para.HotKey >= static_cast<int>(lineStart) && para.HotKey < static_cast<int>(best))
                line.HotKey = para.HotKey - static_cast<int>(lineStart);
            out.push_back(std::move(line));
            if (best >= s.size())
                break;
            lineStart = best;
            while (lineStart < s.size() && s[lineStart] == ' ')
                ++lineStart;
            if (lineStart >= s.size())
                break;
        }
        return out;
    }

    const TTextMetric& Metrics() const { return FMetrics; }
    int CharWidth(std::string_view s, size_t at) const {
        return Width(s.substr(at, Utf8NextChar(s, at) - at));
    }

private:
    TDeviceContext& FDc;
    uint32_t FFormat;
    TTextMetric FMetrics;
    int FTabWidth = 64;
};

} // namespace

std::string StripPrefix(std::string_view text, int& hotKeyOffset) {
    std::string out;
    out.reserve(text.size());
    hotKeyOffset = -1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != '&')
                hotKeyOffset = static_cast<int>(out.size());
        } else if (text[i] == '&') {
            continue; // a lone '&' at the end shows nothing
        }
        out.push_back(text[i]);
    }
    return out;
}

int DrawText(TDeviceContext& dc, std::string_view text, TRect& rect, uint32_t format) {
    TLayout layout(dc, format);
    const TTextMetric& tm = layout.Metrics();
    int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);

    TLine whole;
    if (format & DT_NOPREFIX)
        whole.Text = std::string(text);
    else
        whole.Text = StripPrefix(text, whole.HotKey);

    // Paragraphs at line breaks (a single line keeps them as they are).
    std::vector<TLine> paras;
    if (format & DT_SINGLELINE) {
        paras.push_back(whole);
    } else {
        size_t start = 0;
        const std::string& s = whole.Text;
        while (true) {
            size_t br = s.find_first_of("\r\n", start);
            TLine p;
            p.Text = s.substr(start, br == std::string::npos ? std::string::npos : br - start);
            int end = br == std::string::npos ? static_cast<int>(s.size()) : static_cast<int>(br);
            if (whole.HotKey >= static_cast<int>(start) && whole.HotKey < end)
                p.HotKey = whole.HotKey - static_cast<int>(start);
            paras.push_back(std::move(p));
            if (br == std::string::npos)
                break;
            start = br + 1;
            if (s[br] == '\r' && start < s.size() && s[start] == '\n')
                ++start;
            if (start >= s.size())
                break;
        }
    }

    int width = rect.Width();
    std::vector<TLine> lines;
    for (auto& p : paras) {
        if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
            auto wrapped = layout.WordWrap(p, width);
            lines.insert(lines.end(), wrapped.begin(), wrapped.end());
        } else {
            lines.push_back(p);
        }
    }
    for (auto& l : lines) {
        if (format & DT_PATH_ELLIPSIS)
            layout.PathEllipsis(l, width);
        else if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS))
            layout.EndEllipsis(l, width);
    }

    int maxWidth = 0;
    std::vector<int> widths;
    for (auto& l : lines) {
        widths.push_back(layout.Width(l.Text));
        maxWidth = std::max(maxWidth, widths.back());
    }
    int total = lineHeight * static_cast<int>(lines.size());

    if (format & DT_CALCRECT) {
        rect.Right = rect.Left + maxWidth;
        rect.Bottom = rect.Top + total;
        return total;
    }

    int y = rect.Top;
    bool single = (format & DT_SINGLELINE) != 0;
    if (single && (format & DT_VCENTER))
        y = rect.Top + (rect.Height() - lineHeight) / 2;
    else if (single && (format & DT_BOTTOM))
        y = rect.Bottom - lineHeight;

    uint32_t oldAlign = dc.SetTextAlign(TA_LEFT | TA_TOP);
    const TRect* clip = (format & DT_NOCLIP) ? nullptr : &rect;
    bool showPrefix = !(format & (DT_NOPREFIX | DT_HIDEPREFIX));
    for (size_t i = 0; i < lines.size(); ++i) {
        const TLine& l = lines[i];
        int x = rect.Left;
        if (format & DT_CENTER)
            x = rect.Left + (width - widths[i]) / 2;
        else if (format & DT_RIGHT)
            x = rect.Right - widths[i];
        if (!(format & DT_PREFIXONLY))
            layout.Draw(l.Text, x, y, clip);
        if (showPrefix && l.HotKey >= 0 && l.HotKey < static_cast<int>(l.Text.size())) {
            int ux = x + layout.Width(std::string_view(l.Text).substr(0, l.HotKey));
            int uw = layout.CharWidth(l.Text, l.HotKey);
            TRect u(ux, y + tm.tmAscent + 1, ux + uw, y + tm.tmAscent + 2);
            if (clip) {
                TRect c;
                if (IntersectRect(c, u, *clip))
                    dc.FillSolidRect(c, dc.GetTextColor());
            } else {
                dc.FillSolidRect(u, dc.GetTextColor());
            }
        }
        y += lineHeight;
    }
    dc.SetTextAlign(oldAlign);
    if (single && (format & (DT_VCENTER | DT_BOTTOM)))
        return y - rect.Top;
    return total;
}

} // namespace plat
