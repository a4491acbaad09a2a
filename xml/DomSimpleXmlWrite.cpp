// The writer: one fixed layout (CR LF line ends, one IndentString per level, values escaped by the
// document), collected in a buffer and handed to the stream in large blocks.
#include <array>
#include <cstring>
#include <typeinfo>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Stream.h"
#include "xml/DomSimpleXml.h"
#include "xml/DomSimpleXmlPool.h"
#include "xml/DomSimpleXmlText.h"

namespace xml {

namespace {

// What the direct paths do with a byte: copy it, replace it by one of the five entities, or leave
// the rest of the text to the general path (bytes from 0x80, whose form depends on mode and file).
enum : uint8_t { eCopy = 0, eQuot, eAmp, eApos, eLt, eGt, eOther };

constexpr auto kEscapeClass = [] {
    std::array<uint8_t, 256> t{};
    t['"'] = eQuot;
    t['&'] = eAmp;
    t['\''] = eApos;
    t['<'] = eLt;
    t['>'] = eGt;
    for (int c = 0x80; c < 256; ++c)
        t[c] = eOther;
    return t;
}();

// Escapes [p, end) to d (room for six bytes per input byte) up to the first byte from 0x80; p is
// left there.
inline char* EscapeAscii(char* d, const unsigned char*& p, const unsigned char* end) {
    static const char entities[][8] = {"", "&quot;", "&amp;", "&apos;", "&lt;", "&gt;"};
    static const uint8_t lengths[] = {0, 6, 5, 6, 4, 4};
    for (; p < end; ++p) {
        const uint8_t cls = kEscapeClass[*p];
        if (cls == eCopy) {
            *d++ = static_cast<char>(*p);
            continue;
        }
        if (cls == eOther)
            break;
        std::memcpy(d, entities[cls], 8);
        d += lengths[cls];
    }
    return d;
}

#if defined(__SSE2__)
inline __m128i SpecialBytes(__m128i v) {
    __m128i m = _mm_cmpeq_epi8(v, _mm_set1_epi8('"'));
    m = _mm_or_si128(m, _mm_cmpeq_epi8(v, _mm_set1_epi8('&')));
    m = _mm_or_si128(m, _mm_cmpeq_epi8(v, _mm_set1_epi8('\'')));
    m = _mm_or_si128(m, _mm_cmpeq_epi8(v, _mm_set1_epi8('<')));
    m = _mm_or_si128(m, _mm_cmpeq_epi8(v, _mm_set1_epi8('>')));
    return _mm_or_si128(m, v); // the top bit marks bytes from 0x80
}
#endif

// Whether any of the n bytes at s needs more than a copy (sixteen bytes per step where possible: most
// values are numbers).
inline bool NeedsEscape(const char* s, size_t n) {
#if defined(__SSE2__)
    if (n >= 16) {
        size_t i = 0;
        for (; i + 16 <= n; i += 16) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            if (_mm_movemask_epi8(SpecialBytes(v)))
                return true;
        }
        if (i < n) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + n - 16));
            return _mm_movemask_epi8(SpecialBytes(v)) != 0;
        }
        return false;
    }
    if (n >= 4) {
        // Two overlapping halves of at least four bytes each.
        __m128i v;
        if (n >= 8) {
            v = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(s)),
                                   _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + n - 8)));
        } else {
            uint32_t a, b;
            std::memcpy(&a, s, 4);
            std::memcpy(&b, s + n - 4, 4);
            v = _mm_cvtsi32_si128(static_cast<int>(a));
            v = _mm_unpacklo_epi32(v, _mm_cvtsi32_si128(static_cast<int>(b)));
        }
        return _mm_movemask_epi8(SpecialBytes(v)) != 0;
    }
#endif
    for (size_t i = 0; i < n; ++i) {
        if (kEscapeClass[static_cast<unsigned char>(s[i])] != eCopy)
            return true;
    }
    return false;
}

// A copy of n bytes without a library call for the short texts a document is made of.
inline char* CopyShort(char* d, const char* s, size_t n) {
    if (n >= 8 && n <= 16) {
        std::memcpy(d, s, 8);
        std::memcpy(d + n - 8, s + n - 8, 8);
    } else if (n >= 4 && n < 8) {
        std::memcpy(d, s, 4);
        std::memcpy(d + n - 4, s + n - 4, 4);
    } else if (n < 4) {
        for (size_t i = 0; i < n; ++i)
            d[i] = s[i];
    } else {
        std::memcpy(d, s, n);
    }
    return d + n;
}

// Copies an ASCII name to d; false (with d past some bytes) at the first byte from 0x80.
inline bool CopyAscii(char*& d, std::string_view s) {
    unsigned char high = 0;
    for (char c : s) {
        high |= static_cast<unsigned char>(c);
        *d++ = c;
    }
    return high < 0x80;
}

// Values longer than this take the general path, so the room reserved for them stays small.
constexpr size_t kDirectValueLimit = 4096;
constexpr size_t kDirectNameLimit = 256;

} // namespace

class TDomWriter {
public:
    // Document gives options, indentation and progress (null: the defaults, no progress).
    TDomWriter(TStream& stream, TDomSimpleXML* document)
        : FStream(stream), FDocument(document), FUtf8(document && document->FileIsUtf8()) {
        FIndentUnit = document ? document->IndentString() : std::string("  ");
        FAutoIndent = document ? (document->Options() & sxoAutoIndent) != 0 : true;
        // A memory stream takes the whole text at once: one copy instead of one per block, each of
        // which could make the stream move its contents.
        FBlock = dynamic_cast<plat::TMemoryStream*>(&stream) ? SIZE_MAX : kBlock;
        FBuffer.reserve(kBlock + 4096);
    }

    void WriteNode(TDomSimpleXMLElem* node, const std::string& indent);
    void Flush() {
        if (!FBuffer.empty()) {
            FStream.WriteBuffer(FBuffer.data(), static_cast<int64_t>(FBuffer.size()));
            FBuffer.clear();
        }
    }

private:
    static constexpr size_t kBlock = 65536;

    void Raw(std::string_view s) { FBuffer.append(s); }
    void Text(std::string_view s) { AppendToFile(FBuffer, s, FUtf8); }
    // A value on its way into the file: through the encoder's EncodeValue, or escaped directly when
    // the encoder is one of ours and no event wants to see the value.
    void Value(std::string_view s) {
        if (!FEncoder) {
            Text(s);
        } else if (FPlainEncode) {
            AppendEscaped(FBuffer, s, FEscape, FUtf8);
        } else {
            FScratch.assign(s);
            FEncoder->EncodeValue(FScratch);
            Text(FScratch);
        }
    }
    // A value written without escaping may hold a double quote; it is then put in single quotes, so
    // the file still reads back.
    void Quoted(std::string_view s) {
        char quote = '"';
        if (s.find('"') != std::string_view::npos && s.find('\'') == std::string_view::npos)
            quote = '\'';
        FBuffer += quote;
        Text(s);
        FBuffer += quote;
    }
    // One attribute written straight into the buffer: ASCII name, no namespace, value of ordinary size
    // escaped by the document's own rules. False when the attribute needs the general path (nothing is
    // written then).
    bool DirectAttribute(const TDomSimpleXMLProp& prop) {
        const std::string_view name = prop.Name();
        const std::string_view value = prop.Value();
        if (!FDirectValues || !prop.NameSpace().empty() || name.empty() || name.size() > kDirectNameLimit ||
            value.size() > kDirectValueLimit)
            return false;
        FBuffer.reserve(name.size() + 4 + value.size() * 6 + 8);
        char* d = FBuffer.Tail();
        *d++ = ' ';
        if (!CopyAscii(d, name))
            return false;
        *d++ = '=';
        *d++ = '"';
        if (!NeedsEscape(value.data(), value.size())) {
            d = CopyShort(d, value.data(), value.size());
        } else {
            const auto* p = reinterpret_cast<const unsigned char*>(value.data());
            const auto* end = p + value.size();
            d = EscapeAscii(d, p, end);
            if (p != end)
                return false;
        }
        *d++ = '"';
        FBuffer.SetTail(d);
        return true;
    }
    void Attributes(const TDomSimpleXMLProps& props) {
        props.ForEach([this](const TDomSimpleXMLProp& prop) {
            if (DirectAttribute(prop))
                return;
            // An attribute with neither name nor namespace cannot be written.
            if (prop.Name().empty() && prop.NameSpace().empty())
                return;
            FBuffer += ' ';
            if (!prop.NameSpace().empty()) {
                Text(prop.NameSpace());
                FBuffer += ':';
            }
            Text(prop.Name());
            if (FEncoder && FPlainEncode && FEscape != 0) {
                FBuffer.append("=\"", 2);
                AppendEscaped(FBuffer, prop.Value(), FEscape, FUtf8);
                FBuffer += '"';
            } else if (FEncoder && !FPlainEncode) {
                FBuffer += '=';
                FScratch.assign(prop.Value());
                FEncoder->EncodeValue(FScratch);
                Quoted(FScratch);
            } else {
                FBuffer += '=';
                Quoted(prop.Value());
            }
        });
    }
    const std::string& IndentAt(size_t depth) {
        if (depth < FIndents.size())
            return FIndents[depth];
        while (FIndents.size() <= depth)
            FIndents.push_back(FAutoIndent ? FIndents.back() + FIndentUnit : FIndents.back());
        return FIndents[depth];
    }
    void Progress() {
        if (FDocument) {
            if (FDocument->OnSaveProgress)
                FDocument->DoSaveProgress();
            else
                ++FDocument->FSaveCount;
        }
    }
    void MaybeFlush() {
        if (FBuffer.size() >= FBlock)
            Flush();
    }

    // The tag of an element: its full name, shown to the document's OnEncodeValue when one is set. It
    // is never escaped: an escaped name would be no name at all. Valid until the next call.
    std::string_view TagOf(TDomSimpleXMLElem* e) {
        if (!FEncoder || !FEncoder->OnEncodeValue)
            return e->NameSpaceSize() == 0 ? e->Name() : std::string_view(FTag = e->FullName());
        FTag = e->FullName();
        FEncoder->OnEncodeValue(FEncoder, FTag);
        return FTag;
    }
    // Tag: the element's tag (TagOf), kept by the caller for the end tag when children follow.
    bool OpenElement(TDomSimpleXMLElem* e, std::string_view tag, size_t depth);
    void CloseElement(std::string_view tag, size_t depth);
    void WriteLeaf(TDomSimpleXMLElem* e, const std::string& indent);

    TStream& FStream;
    TDomSimpleXML* FDocument;
    size_t FBlock;
    TDomSimpleXML* FEncoder = nullptr;
    bool FPlainEncode = false;
    // Values are escaped with all five entities by the writer itself (see DirectAttribute).
    bool FDirectValues = false;
    int FEscape = 0;
    bool FUtf8;
    bool FAutoIndent;
    std::string FIndentUnit;
    std::vector<std::string> FIndents;
    TDomOutput FBuffer;
    std::string FScratch;
    std::string FTag;
};

// The start tag, or the whole element when it has no children. True when children follow.
bool TDomWriter::OpenElement(TDomSimpleXMLElem* e, std::string_view tag, size_t depth) {
    const bool named = !tag.empty();
    if (named) {
        const std::string& indent = IndentAt(depth);
        FBuffer.reserve(indent.size() + 1 + tag.size());
        char* d = FBuffer.Tail();
        d = CopyShort(d, indent.data(), indent.size());
        *d++ = '<';
        if (CopyAscii(d, tag)) {
            FBuffer.SetTail(d);
        } else {
            FBuffer.SetTail(d - tag.size());
            Text(tag);
        }
        Attributes(e->FProps);
    }
    if (e->HasItems()) {
        if (named)
            Raw(">\r\n");
        return true;
    }
    if (named) {
        if (!e->FValue.Empty()) {
            FBuffer += '>';
            Value(e->Value());
            Raw("</");
            Text(tag);
            Raw(">\r\n");
        } else {
            Raw("/>\r\n");
        }
    }
    Progress();
    return false;
}

void TDomWriter::CloseElement(std::string_view tag, size_t depth) {
    if (!tag.empty()) {
        Raw(IndentAt(depth));
        Raw("</");
        Text(tag);
        Raw(">\r\n");
    }
    Progress();
}

void TDomWriter::WriteLeaf(TDomSimpleXMLElem* e, const std::string& indent) {
    using K = TDomSimpleXMLElem::TKind;
    switch (e->Kind()) {
    case K::Classic:
        break;
    case K::Text:
        if (!e->FValue.Empty()) {
            Raw(indent);
            Value(e->Value());
            Raw("\r\n");
        }
        break;
    case K::Comment:
        Raw(indent);
        Raw("<!--");
        Text(e->Value());
        Raw("-->\r\n");
        break;
    case K::CData:
        Raw(indent);
        Raw("<![CDATA[");
        Text(e->Value());
        Raw("]]>\r\n");
        break;
    case K::DocType:
        Raw("<!DOCTYPE ");
        Text(e->Value());
        Raw(">\r\n");
        break;
    case K::Sheet:
        Raw(indent);
        Raw("<?xml-stylesheet");
        Attributes(e->FProps);
        Raw("?>\r\n");
        break;
    case K::Header: {
        auto* header = static_cast<TDomSimpleXMLElemHeader*>(e);
        Raw(indent);
        Raw("<?xml version=");
        Quoted(header->Version());
        if (!header->Encoding().empty()) {
            Raw(" encoding=");
            Quoted(header->Encoding());
        }
        if (header->Standalone())
            Raw(" standalone=\"yes\"");
        Raw("?>\r\n");
        break;
    }
    }
    Progress();
}

// Elements are written without recursion, so any depth is safe.
void TDomWriter::WriteNode(TDomSimpleXMLElem* node, const std::string& indent) {
    FEncoder = node->GetSimpleXML();
    if (FEncoder) {
        FPlainEncode = !FEncoder->OnEncodeValue && (typeid(*FEncoder) == typeid(TDomSimpleXML) ||
                                                    typeid(*FEncoder) == typeid(TDomHackSimpleXML));
        const TDomSimpleXMLOptions options = FEncoder->Options();
        FEscape = (options & sxoAutoEncodeValue) ? 2 : (options & sxoAutoEncodeEntity) ? 1 : 0;
    }
    FDirectValues = FEncoder && FPlainEncode && FEscape != 0;
    FIndents.assign(1, indent);
    if (node->Kind() != TDomSimpleXMLElem::TKind::Classic) {
        WriteLeaf(node, indent);
        MaybeFlush();
        return;
    }
    // The tag an element was opened with closes it too: a name is shown to OnEncodeValue once. Only
    // a tag that is not the element's own name needs a copy of its own (Tag; else it is made afresh).
    struct TFrame {
        TDomSimpleXMLElem* Element;
        size_t Next;
        size_t Depth;
        std::string Tag;
    };
    std::vector<TFrame> stack;
    auto open = [&](TDomSimpleXMLElem* e, size_t depth) {
        const std::string_view tag = TagOf(e);
        if (OpenElement(e, tag, depth))
            stack.push_back(
                {e, 0, depth, FEncoder && FEncoder->OnEncodeValue ? std::string(tag) : std::string()});
    };
    open(node, 0);
    while (!stack.empty()) {
        TFrame& top = stack.back();
        const auto& children = top.Element->FItems->FList;
        if (top.Next < children.size()) {
            TDomSimpleXMLElem* child = children[top.Next++];
            const size_t depth = top.Depth + 1;
            if (child->Kind() == TDomSimpleXMLElem::TKind::Classic) {
                open(child, depth);
            } else {
                WriteLeaf(child, IndentAt(depth));
            }
        } else {
            CloseElement(FEncoder && FEncoder->OnEncodeValue ? std::string_view(top.Tag) : TagOf(top.Element),
                         top.Depth);
            stack.pop_back();
        }
        MaybeFlush();
    }
}

// --- Entry points -----------------------------------------------------------------------------------------

namespace {

void SaveNode(TDomSimpleXMLElem* node, TStream& stream, const std::string& level, TDomSimpleXML* parser) {
    TDomWriter writer(stream, parser);
    writer.WriteNode(node, level);
    writer.Flush();
}

} // namespace

void TDomSimpleXMLElemClassic::SaveToStream(TStream& stream, const std::string& level,
                                            TDomSimpleXML* parser) {
    SaveNode(this, stream, level, parser);
}
void TDomSimpleXMLElemText::SaveToStream(TStream& stream, const std::string& level, TDomSimpleXML* parser) {
    SaveNode(this, stream, level, parser);
}
void TDomSimpleXMLElemComment::SaveToStream(TStream& stream, const std::string& level,
                                            TDomSimpleXML* parser) {
    SaveNode(this, stream, level, parser);
}
void TDomSimpleXMLElemCData::SaveToStream(TStream& stream, const std::string& level, TDomSimpleXML* parser) {
    SaveNode(this, stream, level, parser);
}
void TDomSimpleXMLElemHeader::SaveToStream(TStream& stream, const std::string& level, TDomSimpleXML* parser) {
    SaveNode(this, stream, level, parser);
}
void TDomSimpleXMLElemDocType::SaveToStream(TStream& stream, const std::string& level,
                                            TDomSimpleXML* parser) {
    SaveNode(this, stream, level, parser);
}
void TDomSimpleXMLElemSheet::SaveToStream(TStream& stream, const std::string& level, TDomSimpleXML* parser) {
    SaveNode(this, stream, level, parser);
}

void TDomSimpleXMLElemsProlog::SaveToStream(TStream& stream, TDomSimpleXML* parser) {
    TDomWriter writer(stream, parser);
    WriteItems(writer);
    writer.Flush();
}

// The declaration goes first, wherever it stands in the list: other XML readers accept it nowhere else,
// and it names the encoding of everything after it.
void TDomSimpleXMLElemsProlog::WriteItems(TDomWriter& writer) {
    TDomSimpleXMLElemHeader* header = FindHeader();
    writer.WriteNode(header, {});
    for (TDomSimpleXMLElem* item : FList) {
        if (item != header)
            writer.WriteNode(item, {});
    }
}

void TDomSimpleXML::SaveToStream(TStream& stream) {
    TStream* target = &stream;
    std::unique_ptr<plat::TMemoryStream> encoded;
    if (OnEncodeStream) {
        encoded = std::make_unique<plat::TMemoryStream>();
        target = encoded.get();
    }
    const bool prolog = !(FOptions & sxoDoNotSaveProlog);
    // Counted before the declaration is added, so a document without one reports one node more than
    // its total; the final report still says total of total.
    if (OnSaveProgress) {
        FSaveTotal = FRoot->ChildsCount() + FProlog->Count();
        FSaveCount = 0;
        OnSaveProgress(this, 0, FSaveTotal);
    }
    TDomWriter writer(*target, this);
    if (prolog)
        FProlog->WriteItems(writer);
    writer.WriteNode(FRoot.get(), {});
    writer.Flush();
    if (OnSaveProgress)
        OnSaveProgress(this, FSaveTotal, FSaveTotal);
    if (OnEncodeStream) {
        encoded->SetPosition(0);
        OnEncodeStream(this, *encoded, stream);
    }
}

void TDomSimpleXML::SaveToFile(const std::string& fileName) {
    plat::WriteFileAtomically(fileName, [this](TStream& stream) { SaveToStream(stream); });
}

} // namespace xml
