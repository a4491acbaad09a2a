#include "platform/ui/RichEditDocument.h"

#include <algorithm>
#include <unordered_map>

#include "platform/rtl/StringUtils.h"

namespace plat {

namespace {
// Formats no character uses any more are dropped once the table grows past this.
constexpr size_t kCompactAbove = 512;

int CountBreaks(std::u32string_view s) {
    return static_cast<int>(std::count(s.begin(), s.end(), RichParagraphBreak));
}
} // namespace

TRichDocument::TRichDocument() {
    FFormats.push_back(FDefault);
    FParas.emplace_back();
    FParaStart.push_back(0);
}

std::u32string TRichDocument::Normalize(std::u32string_view Text) {
    std::u32string out;
    out.reserve(Text.size());
    for (size_t i = 0; i < Text.size(); ++i) {
        char32_t c = Text[i];
        if (c == '\r') {
            out.push_back(RichParagraphBreak);
            if (i + 1 < Text.size() && Text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out.push_back(RichParagraphBreak);
        } else if (c == '\t' || (c >= 0x20 && c != 0x7F && !(c >= 0xD800 && c <= 0xDFFF) && c <= 0x10FFFF)) {
            out.push_back(c);
        }
    }
    return out;
}

std::u32string TRichDocument::Text(int Pos, int Len) const {
    Pos = std::clamp(Pos, 0, Length());
    Len = std::clamp(Len, 0, Length() - Pos);
    return FChars.substr(Pos, Len);
}

std::string TRichDocument::PlainText(int Pos, int Len, std::string_view LineBreak) const {
    std::string out;
    for (char32_t c : Text(Pos, Len)) {
        if (c == RichParagraphBreak)
            out.append(LineBreak);
        else
            AppendUtf8(out, c);
    }
    return out;
}

uint32_t TRichDocument::FormatId(const TCharFormat& Format) {
    for (size_t i = 0; i < FFormats.size(); ++i)
        if (FFormats[i] == Format)
            return static_cast<uint32_t>(i);
    FFormats.push_back(Format);
    return static_cast<uint32_t>(FFormats.size() - 1);
}

void TRichDocument::CompactFormats() {
    std::vector<uint32_t> remap(FFormats.size(), UINT32_MAX);
    std::vector<TCharFormat> kept;
    for (uint32_t& id : FFmt) {
        if (remap[id] == UINT32_MAX) {
            remap[id] = static_cast<uint32_t>(kept.size());
            kept.push_back(FFormats[id]);
        }
        id = remap[id];
    }
    FFormats = std::move(kept);
}

TCharFormat TRichDocument::FormatForInsertAt(int Pos) const {
    Pos = std::clamp(Pos, 0, Length());
    if (Pos > 0)
        return FormatAt(Pos - 1);
    if (Pos < Length())
        return FormatAt(Pos);
    return FDefault;
}

void TRichDocument::SetDefaultFormat(const TCharFormat& Value) {
    if (Value == FDefault)
        return;
    auto old = std::find(FFormats.begin(), FFormats.end(), FDefault);
    FDefault = Value;
    if (old != FFormats.end()) {
        uint32_t oldId = static_cast<uint32_t>(old - FFormats.begin());
        uint32_t newId = FormatId(Value);
        std::replace(FFmt.begin(), FFmt.end(), oldId, newId);
    }
    Changed(0, ParagraphCount(), ParagraphCount());
}

int TRichDocument::ParagraphOf(int Pos) const {
    Pos = std::clamp(Pos, 0, Length());
    auto it = std::upper_bound(FParaStart.begin(), FParaStart.end(), Pos);
    return static_cast<int>(it - FParaStart.begin()) - 1;
}

int TRichDocument::ParagraphEnd(int Index) const {
    return Index + 1 < ParagraphCount() ? FParaStart[Index + 1] - 1 : Length();
}

void TRichDocument::RebuildParaStarts(int FromPara) {
    FParaStart.resize(FParas.size());
    int pos = FParaStart[FromPara];
    for (size_t i = FromPara + 1; i < FParas.size(); ++i) {
        while (FChars[pos] != RichParagraphBreak)
            ++pos;
        FParaStart[i] = ++pos;
    }
}

void TRichDocument::Changed(int First, int OldCount, int NewCount) {
    if (FFormats.size() > kCompactAbove)
        CompactFormats();
    if (OnParagraphsChanged)
        OnParagraphsChanged(First, OldCount, NewCount);
}

int TRichDocument::Insert(int Pos, std::u32string_view Text, const TCharFormat& Format) {
    std::u32string text = Normalize(Text);
    if (text.empty())
        return 0;
    Pos = std::clamp(Pos, 0, Length());
    int para = ParagraphOf(Pos);
    int breaks = CountBreaks(text);
    uint32_t id = FormatId(Format);
    FChars.insert(static_cast<size_t>(Pos), text);
    FFmt.insert(FFmt.begin() + Pos, text.size(), id);
    FParas.insert(FParas.begin() + para + 1, breaks, FParas[para]);
    RebuildParaStarts(para);
    Changed(para, 1, breaks + 1);
    return static_cast<int>(text.size());
}

int TRichDocument::Insert(int Pos, const TRichDocument& Other) {
    if (Other.Empty())
        return 0;
    Pos = std::clamp(Pos, 0, Length());
    int para = ParagraphOf(Pos);
    int breaks = Other.ParagraphCount() - 1;
    std::vector<uint32_t> ids(Other.FFormats.size(), UINT32_MAX);
    std::vector<uint32_t> fmts(Other.FFmt.size());
    for (size_t i = 0; i < fmts.size(); ++i) {
        uint32_t& id = ids[Other.FFmt[i]];
        if (id == UINT32_MAX)
            id = FormatId(Other.FFormats[Other.FFmt[i]]);
        fmts[i] = id;
    }
    FChars.insert(static_cast<size_t>(Pos), Other.FChars);
    FFmt.insert(FFmt.begin() + Pos, fmts.begin(), fmts.end());
    FParas.insert(FParas.begin() + para + 1, breaks, TParaFormat());
    for (int i = 0; i <= breaks; ++i)
        FParas[para + i] = Other.FParas[i];
    RebuildParaStarts(para);
    Changed(para, 1, breaks + 1);
    return Other.Length();
}

void TRichDocument::Erase(int Pos, int Len) {
    Pos = std::clamp(Pos, 0, Length());
    Len = std::clamp(Len, 0, Length() - Pos);
    if (Len == 0)
        return;
    int para = ParagraphOf(Pos);
    int breaks = CountBreaks(std::u32string_view(FChars).substr(Pos, Len));
    FChars.erase(static_cast<size_t>(Pos), static_cast<size_t>(Len));
    FFmt.erase(FFmt.begin() + Pos, FFmt.begin() + Pos + Len);
    // The merged paragraph keeps the format of the first one.
    FParas.erase(FParas.begin() + para + 1, FParas.begin() + para + 1 + breaks);
    RebuildParaStarts(para);
    Changed(para, breaks + 1, 1);
}

void TRichDocument::Clear() {
    int old = ParagraphCount();
    FChars.clear();
    FFmt.clear();
    FFormats.assign(1, FDefault);
    FParas.assign(1, TParaFormat());
    FParaStart.assign(1, 0);
    Changed(0, old, 1);
}

void TRichDocument::ModifyFormat(int Pos, int Len, const std::function<void(TCharFormat&)>& Change) {
    Pos = std::clamp(Pos, 0, Length());
    Len = std::clamp(Len, 0, Length() - Pos);
    if (Len == 0)
        return;
    std::unordered_map<uint32_t, uint32_t> mapped;
    for (int i = Pos; i < Pos + Len; ++i) {
        auto it = mapped.find(FFmt[i]);
        if (it == mapped.end()) {
            TCharFormat f = FFormats[FFmt[i]];
            Change(f);
            it = mapped.emplace(FFmt[i], FormatId(f)).first;
        }
        FFmt[i] = it->second;
    }
    int first = ParagraphOf(Pos), last = ParagraphOf(Pos + Len - 1);
    Changed(first, last - first + 1, last - first + 1);
}

void TRichDocument::ModifyParaFormat(int FirstPara, int LastPara,
                                     const std::function<void(TParaFormat&)>& Change) {
    FirstPara = std::clamp(FirstPara, 0, ParagraphCount() - 1);
    LastPara = std::clamp(LastPara, FirstPara, ParagraphCount() - 1);
    for (int i = FirstPara; i <= LastPara; ++i)
        Change(FParas[i]);
    Changed(FirstPara, LastPara - FirstPara + 1, LastPara - FirstPara + 1);
}

void TRichDocument::SetParaFormat(int Index, const TParaFormat& Value) {
    ModifyParaFormat(Index, Index, [&](TParaFormat& f) { f = Value; });
}

std::vector<TRichRun> TRichDocument::Runs(int Para) const {
    std::vector<TRichRun> runs;
    int s = ParagraphStart(Para), e = ParagraphEnd(Para);
    for (int i = s; i < e;) {
        int j = i + 1;
        while (j < e && FFmt[j] == FFmt[i])
            ++j;
        runs.push_back({FChars.substr(i, j - i), FFormats[FFmt[i]]});
        i = j;
    }
    return runs;
}

TRichDocument TRichDocument::Slice(int Pos, int Len) const {
    Pos = std::clamp(Pos, 0, Length());
    Len = std::clamp(Len, 0, Length() - Pos);
    TRichDocument out;
    out.FDefault = FDefault;
    out.FFormats.clear();
    out.FChars = FChars.substr(Pos, Len);
    std::vector<uint32_t> ids(FFormats.size(), UINT32_MAX);
    out.FFmt.resize(Len);
    for (int i = 0; i < Len; ++i) {
        uint32_t& id = ids[FFmt[Pos + i]];
        if (id == UINT32_MAX)
            id = out.FormatId(FFormats[FFmt[Pos + i]]);
        out.FFmt[i] = id;
    }
    if (out.FFormats.empty())
        out.FFormats.push_back(FDefault);
    int first = ParagraphOf(Pos), last = ParagraphOf(Pos + Len);
    out.FParas.assign(FParas.begin() + first, FParas.begin() + last + 1);
    out.FParaStart.assign(1, 0);
    out.RebuildParaStarts(0);
    return out;
}

} // namespace plat
