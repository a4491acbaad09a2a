// The parser: one pass over the bytes in memory, no recursion, no allocation per character. Lenient
// in what it accepts (any byte in tag names, anything after the root element), strict in a fixed set
// of error messages.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <typeinfo>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <sys/mman.h>

#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Stream.h"
#include "xml/DomSimpleXml.h"
#include "xml/DomSimpleXmlPool.h"
#include "xml/DomSimpleXmlText.h"

namespace xml {

namespace {

const char* const kUnexpectedPrologText = "Invalid Document: Unexpected text in file prolog";
const char* const kExpectedTagBegin = "Invalid XML Element: Expected beginning of tag but \"%s\" found";
const char* const kNoValidName = "Invalid XML Element: malformed tag found (no valid name)";
const char* const kExpectedTagEnd = "Invalid XML Element: Expected end of tag but \"%s\" found";
const char* const kWrongEndTag =
    "Invalid XML Element: Erroneous end of tag, expecting </%0:s> but </%1:s> found";
const char* const kPropertyChar =
    "Invalid XML Element: Unexpected character in property declaration (\"%s\" found)";
const char* const kPropertyQuote =
    "Invalid XML Element: Unexpected character in property declaration. Expecting \" or ' but \"%s\"  found";
const char* const kTooDeep = "Invalid XML Element: Elements nested deeper than %d levels";
const char* const kCommentExpected = "Invalid Comment: expected \"%0:s\" but found \"%1:s\"";
const char* const kCommentDashes = "Invalid Comment: \"--\" not allowed inside comments";
const char* const kCommentEnd = "Invalid Comment: Unexpected end of data";
const char* const kCDataExpected = "Invalid CDATA: expected \"%0:s\" but found \"%1:s\"";
const char* const kCDataEnd = "Invalid CDATA: Unexpected end of data";
const char* const kHeaderExpected = "Invalid Header: expected \"%0:s\" but found \"%1:s\"";
const char* const kSheetExpected = "Invalid Stylesheet: expected \"%0:s\" but found \"%1:s\"";
const char* const kSheetEnd = "Invalid Stylesheet: Unexpected end of data";

// Byte classes, one table lookup per byte in the hot loops.
// cNameStop: a tag stop, NUL or a byte from 0x80. The data is followed by NUL bytes, so loops that stop
// at NUL need no end check per byte; a NUL inside the data is then passed over explicitly.
enum : uint8_t { cBlank = 1, cTagStop = 2, cAttrName = 4, cDispatch = 8, cNameStop = 16, cNul = 32 };

struct TByteClasses {
    uint8_t Table[256] = {};
    uint8_t Text[256] = {}; // 1 from 0x80, 2 for "&"
    constexpr TByteClasses() {
        for (int c = 0x80; c < 256; ++c)
            Text[c] = 1;
        Text[int('&')] = 2;
        for (int c : {9, 10, 13, 32})
            Table[c] |= cBlank | cTagStop;
        for (int c : {':', '/', '>'})
            Table[c] |= cTagStop | cDispatch;
        Table[int(' ')] |= cDispatch;
        Table[0] |= cNul;
        for (int c : {0, 9, 10, 13, 32, int(':'), int('/'), int('>')})
            Table[c] |= cNameStop;
        for (int c = 0x80; c < 256; ++c)
            Table[c] |= cNameStop; // noted, so plain names need no second look
        for (int c = '0'; c <= '9'; ++c)
            Table[c] |= cAttrName;
        for (int c = 'A'; c <= 'Z'; ++c)
            Table[c] |= cAttrName;
        for (int c = 'a'; c <= 'z'; ++c)
            Table[c] |= cAttrName;
        Table[int('-')] |= cAttrName;
        Table[int('_')] |= cAttrName;
    }
};
constexpr TByteClasses kClasses;

inline bool Is(char c, uint8_t cls) {
    return kClasses.Table[static_cast<unsigned char>(c)] & cls;
}

// Bytes skipped between prolog items: blanks, NUL and the bytes of UTF-8 and UTF-16 byte-order marks.
inline bool IsPrologFiller(unsigned char c) {
    return c == 0 || c == 9 || c == 10 || c == 13 || c == 32 || c == 187 || c == 191 || c == 239 ||
           c == 254 || c == 255;
}

[[noreturn]] void Fail(const std::string& message) {
    throw EDomSimpleXMLError(message);
}

// The input and the names the parser puts in the pool are followed by this many spare bytes, so a short
// text can be copied in one move of fixed size (see TDomString::SetShort).
constexpr size_t kPadding = 16;

// Values can be unescaped where they stand when the document is one of ours and no event wants to see
// them; otherwise every value goes through the virtual DecodeValue.
bool DecodesPlainly(const TDomSimpleXML* doc) {
    return !doc->OnDecodeValue &&
           (typeid(*doc) == typeid(TDomSimpleXML) || typeid(*doc) == typeid(TDomHackSimpleXML));
}

// The bytes after the stream's position, followed by kPadding NUL bytes; the parser unescapes texts in
// place. The tree keeps no pointer into them (see TDomParser::Keep), so they are freed when the parse
// ends, and a large input is given back to the system piece by piece behind the reading position: a
// load takes little more than the larger of the file and its tree, and the tree no more after it.
class TInput {
public:
    char* Data = nullptr;
    size_t Size = 0;
    int64_t Start = 0;
    int64_t StreamSize = 0;

    explicit TInput(TStream& stream) {
        Start = stream.Position();
        if (auto* memory = dynamic_cast<plat::TMemoryStream*>(&stream)) {
            StreamSize = memory->Size();
            Size = Start < StreamSize ? static_cast<size_t>(StreamSize - Start) : 0;
            Data = Allocate(Size);
            if (Size > 0)
                std::memcpy(Data, memory->Memory() + Start, Size);
            return;
        }
        // Read straight into place when the stream knows its size (a file does): a copy in between
        // would double the memory a load of a large file takes.
        const int64_t size = stream.Size();
        const size_t expected = size > Start ? static_cast<size_t>(size - Start) : 0;
        char* data = Allocate(expected);
        size_t have = 0;
        while (have < expected) {
            const int64_t n = stream.Read(data + have, static_cast<int64_t>(expected - have));
            if (n <= 0)
                break;
            have += static_cast<size_t>(n);
        }
        // A stream that holds more than its size said is read to its end after all.
        char probe[4096];
        int64_t n = have == expected ? stream.Read(probe, sizeof probe) : 0;
        if (n > 0) {
            std::string bytes(data, have);
            do {
                bytes.append(probe, static_cast<size_t>(n));
                n = stream.Read(probe, sizeof probe);
            } while (n > 0);
            have = bytes.size();
            data = Allocate(have);
            std::memcpy(data, bytes.data(), have);
        }
        Data = data;
        Size = have;
        std::memset(Data + Size, 0, kPadding);
        StreamSize = Start + static_cast<int64_t>(Size);
    }
    ~TInput() { Free(); }
    TInput(const TInput&) = delete;
    TInput& operator=(const TInput&) = delete;

    // Whether ReleaseBefore gives memory back.
    bool Releasable() const { return FMapped; }
    // The whole large pages before p are not read again.
    void ReleaseBefore(const char* p) {
        if (!FMapped)
            return;
        const size_t upTo = static_cast<size_t>(p - Data) & ~(kLargePage - 1);
        if (upTo > FReleased) {
            ::madvise(Data + FReleased, upTo - FReleased, MADV_DONTNEED);
            FReleased = upTo;
        }
    }

private:
    static constexpr size_t kLargePage = size_t(2) << 20;
    // Below this an input comes from the heap and is kept whole until the parse ends: the memory it
    // could give back is small, and a mapping of its own would cost the zeroing of every page on each
    // load, where the heap reuses memory from one load to the next (up to the largest block it hands
    // out without mapping it).
    static constexpr size_t kSmallInput = size_t(32) << 20;

    // Room for Size bytes and the padding (zeroed) behind them; what was allocated before is freed.
    char* Allocate(size_t size) {
        Free();
        const size_t bytes = size + kPadding;
        if (bytes < kSmallInput) {
            Data = static_cast<char*>(std::malloc(bytes));
            if (!Data)
                throw std::bad_alloc();
        } else {
            // Aligned to large pages, which the input is touched in (a few hundred faults for a large
            // file rather than tens of thousands) and given back in.
            FMappedSize = bytes + kLargePage;
            void* memory =
                ::mmap(nullptr, FMappedSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (memory == MAP_FAILED)
                throw std::bad_alloc();
            FMapping = static_cast<char*>(memory);
            FMapped = true;
            const auto start = reinterpret_cast<uintptr_t>(memory);
            Data = reinterpret_cast<char*>((start + kLargePage - 1) & ~(kLargePage - 1));
#ifdef MADV_HUGEPAGE
            ::madvise(Data, (bytes + kLargePage - 1) & ~(kLargePage - 1), MADV_HUGEPAGE);
#endif
        }
        std::memset(Data + size, 0, kPadding);
        return Data;
    }
    void Free() {
        if (FMapped)
            ::munmap(FMapping, FMappedSize);
        else
            std::free(Data);
        Data = nullptr;
        FMapped = false;
        FReleased = 0;
    }

    char* FMapping = nullptr;
    size_t FMappedSize = 0;
    size_t FReleased = 0;
    bool FMapped = false;
};

} // namespace

class TDomParser {
public:
    TDomParser(TInput& input, TDomPool* pool, TDomSimpleXML* events, bool utf8)
        : FBegin(input.Data), FP(input.Data), FEnd(input.Data + input.Size), FPool(pool), FEvents(events),
          FUtf8(utf8), FStart(input.Start), FStreamSize(input.StreamSize), FInput(input) {
        FNextRelease = input.Releasable() ? FBegin + kReleaseStep : FEnd + kPadding;
        FProgress = events && events->OnLoadProgress;
        FTrim = events && (events->Options() & sxoTrimPrecedingTextWhitespace);
        FTrackLeaves = !events || !(events->OnTagParsed || events->OnValueParsed || events->OnLoadProgress);
    }

    size_t Consumed() const { return static_cast<size_t>(FP - FBegin); }
    // Whether text read for this document is UTF-8 (its declaration says so).
    static bool FileIsUtf8(const TDomSimpleXML* document) { return document && document->FileIsUtf8(); }

    void ParseProlog(TDomSimpleXMLElemsProlog& prolog);
    void ParseElement(TDomSimpleXMLElemClassic* element);
    // Borrow: the node was made by this parse (see StoreText).
    void ParseText(TDomSimpleXMLElemText* element, bool borrow);
    void ParseComment(TDomSimpleXMLElem* element, bool borrow);
    void ParseCData(TDomSimpleXMLElem* element, bool borrow);
    // NamesEncoding: the declaration decides the encoding of the file (the first one does).
    void ParseHeader(TDomSimpleXMLElemHeader* element, bool namesEncoding);
    void ParseDocType(TDomSimpleXMLElem* element, bool borrow);
    void ParseSheet(TDomSimpleXMLElem* element);

private:
    enum class TStartTag { Content, Empty, Truncated };
    enum class TToken { EndTag, Comment, CData, Element, End };

    struct TSpan {
        char* Data = nullptr;
        size_t Size = 0;
        std::string_view View() const { return {Data, Size}; }
    };

    struct TOpenElement {
        TDomSimpleXMLElemClassic* Element = nullptr;
        TSpan Name; // file bytes until the element is finished
        TSpan NameSpace;
        char* BlockStart = nullptr;
        bool SeenBlank = false;
        bool HadChild = false;
        bool Pooled = false;   // made by this parse, so it holds a reference to the pool
        bool HighName = false; // name or namespace hold bytes from 0x80
        // Every child so far is a leaf made by this parse (see TDomSimpleXMLElems::FLeafPool), holding
        // LeafRefs references to the pool together.
        bool AllLeaves = false;
        int64_t LeafRefs = 0;
    };

    // Attributes in the first chunk of a tag; each further chunk holds twice as many as the one before
    // (as far as the pool's block has room), so a tag with many attributes has few chunks and finding
    // one by position stays cheap.
    static constexpr int kChunkProps = 16;
    static constexpr size_t kChunkBytes =
        sizeof(TDomSimpleXMLProps::TChunk) + kChunkProps * sizeof(TDomSimpleXMLProp) + sizeof(void*);
    static constexpr int kLargestChunkShift = 16;
    static_assert((size_t(kChunkProps) << kLargestChunkShift) <= TDomSimpleXMLProp::kMaxIndex + 1);

    bool AtEnd() const { return FP >= FEnd; }
    std::string CharAt(const char* p) const;
    std::string FileText(std::string_view bytes) const {
        std::string s;
        AppendFileText(s, bytes.data(), bytes.size(), FUtf8);
        return s;
    }
    void Expect(const char* literal, const char* mismatch, const char* endOfData);
    void Progress() {
        if (FProgress && FP - FBegin >= FNextProgress) {
            FNextProgress = ((FP - FBegin) / 8192 + 1) * 8192;
            FEvents->DoLoadProgress(FStart + (FP - FBegin), FStreamSize);
        }
    }
    void ValueParsed(std::string_view name, std::string_view value) {
        if (FEvents && FEvents->OnValueParsed)
            FEvents->DoValueParsed(std::string(name), std::string(value));
    }
    void UseDecoder(TDomSimpleXML* decoder) {
        FDecoder = decoder;
        FPlainDecode = decoder && DecodesPlainly(decoder);
        FLeavesTracked = FTrackLeaves && (!FDecoder || FPlainDecode);
    }
    // Keeps a text of the file in Out: in the file's encoding turned into UTF-8, unescaped when a
    // decoder is in use. Only nodes that hold a reference to the pool may borrow its memory; the others
    // (the node a parse was started on) get copies.
    void StoreText(TDomString& out, char* data, size_t size, bool decode, bool borrow);
    // StoreText for a text whose flags are known: 1 when it holds a byte from 0x80, 2 when it holds "&".
    void StoreScanned(TDomString& out, char* data, size_t size, unsigned flags, bool decode, bool borrow);
    // The closing quote of an attribute value that starts at p, or null when the data ends first; the
    // flags of the bytes before it are added to Flags.
    template <char Quote>
    inline __attribute__((always_inline)) char* FindQuote(char* p, unsigned& flags) const;
    // Keeps a text in Out, a short one inline, a long one in the pool: nothing in the tree points into
    // the input, which a large load gives back as it moves on. Padded: kInline bytes may be read at Data.
    inline __attribute__((always_inline)) void Keep(TDomString& out, const char* data, size_t size,
                                                    bool padded = true) {
        if (size <= TDomString::kInline)
            out.SetShort(data, size, padded);
        else
            KeepLong(out, data, size);
    }
    void KeepLong(TDomString& out, const char* data, size_t size);
    // Gives back the input before the reading position, keeping what the open elements still need.
    void ReleaseInput();
    // A tag name: most are ASCII and kept as they stand.
    void StoreName(TDomString& out, const TSpan& name, bool borrow, bool high) {
        if (borrow && !high)
            Keep(out, name.Data, name.Size);
        else
            StoreText(out, name.Data, name.Size, false, borrow);
    }
    // Moves FP over blanks.
    void SkipBlanks() {
        while (Is(*FP, cBlank))
            ++FP;
    }
    // The same for the line ends and indentation between elements, sixteen bytes per step.
    void SkipBlankRun() {
#if defined(__SSE2__)
        for (;;) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(FP));
            const __m128i blank = _mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))),
                _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\t'))));
            const unsigned other = ~static_cast<unsigned>(_mm_movemask_epi8(blank)) & 0xFFFFu;
            if (other) {
                FP += __builtin_ctz(other);
                return;
            }
            FP += 16;
        }
#else
        SkipBlanks();
#endif
    }

    // ElementPool: the element of Props was made by this parse (in the pool, see TOpenElement::Pooled).
    int ParseAttributes(TDomSimpleXMLProps& props, bool elementPool = false);
    void AdoptAttributes(TDomSimpleXMLProps& props, TDomSimpleXMLProp* first, TDomSimpleXMLProp* next,
                         bool elementPool);
    [[noreturn]] __attribute__((cold)) void FailInAttributes(const char* format, char* at);
    TStartTag ParseStartTag(TOpenElement& open);
    TStartTag ParseTagRest(TOpenElement& open);
    void ParseChild(TDomSimpleXMLElemClassic* parent, char* nameEnd);
    TToken Classify() const;
    bool ParseEndTag();
    TOpenElement& Push(TDomSimpleXMLElemClassic* element, bool pooled);
    void BeginContent(TOpenElement& open);
    void AddText(TOpenElement& open, char* from, char* to);
    void CloseElement(TOpenElement& open);
    void FinishElement(TOpenElement& open);
    // The events of a finished element.
    void TagParsed(TDomSimpleXMLElem* e);
    // LeafRefs: the references the child holds when it is a leaf that its list may free in one step
    // (see FinishElement), else 0.
    void ChildDone(int64_t leafRefs);
    // Whether lists may be marked for freeing in one step: no code outside the parser can have seen or
    // changed the elements meanwhile (no code outside the parser runs at all).
    bool TrackLeaves() const {
        return FLeavesTracked;
    }
    void SkipUnknownDeclaration(char* start);

    char* FBegin;
    char* FP;
    char* FEnd;
    TDomPool* FPool;
    TDomSimpleXML* FEvents;
    bool FUtf8;
    bool FProgress;
    bool FTrim;
    int64_t FStart;
    int64_t FStreamSize;
    int64_t FNextProgress = 8192;
    TDomSimpleXML* FDecoder = nullptr;
    bool FPlainDecode = false;
    std::vector<TOpenElement> FStack; // open elements; entries are reused
    size_t FDepth = 0;
    std::string_view FEndName;
    bool FTrackLeaves = false;
    bool FLeavesTracked = false; // FTrackLeaves, and the decoder in use runs no code of others
    int64_t FLastLeafRefs = 0;   // of the element FinishElement finished last
    std::string FScratch;
    TInput& FInput;
    char* FNextRelease; // ReleaseInput is due when the reading position passes it
    static constexpr size_t kReleaseStep = size_t(2) << 20;
};

void TDomParser::ReleaseInput() {
    char* keep = FP;
    if (FDepth > 0)
        keep = std::min(keep, FStack[FDepth - 1].BlockStart);
    // The names of open elements are checked against their end tags and stored when they finish.
    auto lasting = [&](TSpan& span) {
        if (span.Size > 0 && span.Data >= FBegin && span.Data < keep) {
            char* copy = FPool->AllocateText(span.Size + kPadding);
            std::memcpy(copy, span.Data, span.Size);
            span.Data = copy;
        }
    };
    for (size_t i = 0; i < FDepth; ++i) {
        TOpenElement& open = FStack[i];
        if (open.NameSpace.Size > 0 && open.NameSpace.Data + open.NameSpace.Size + 1 == open.Name.Data) {
            // Kept together, as "namespace:name" is stored in one piece.
            TSpan whole{open.NameSpace.Data, open.NameSpace.Size + 1 + open.Name.Size};
            lasting(whole);
            open.NameSpace.Data = whole.Data;
            open.Name.Data = whole.Data + open.NameSpace.Size + 1;
        } else {
            lasting(open.NameSpace);
            lasting(open.Name);
        }
    }
    FInput.ReleaseBefore(keep);
    FNextRelease = FP + kReleaseStep;
}

std::string TDomParser::CharAt(const char* p) const {
    auto c = static_cast<unsigned char>(*p);
    std::string s;
    uint32_t cp;
    int len = c >= 0x80 && FUtf8 ? DecodeUtf8(reinterpret_cast<const unsigned char*>(p),
                                              reinterpret_cast<const unsigned char*>(FEnd), cp)
                                 : 0;
    if (len > 0)
        s.assign(p, len);
    else
        AppendCodePoint(s, c);
    return s;
}

void TDomParser::Expect(const char* literal, const char* mismatch, const char* endOfData) {
    for (const char* l = literal; *l; ++l) {
        if (AtEnd())
            Fail(endOfData);
        if (*FP != *l)
            Fail(plat::Format(mismatch, {std::string(1, *l), CharAt(FP)}));
        ++FP;
    }
}

void TDomParser::KeepLong(TDomString& out, const char* data, size_t size) {
    if (size > UINT32_MAX)
        throw std::length_error("XML text too long");
    auto* text = reinterpret_cast<TDomString::TLong*>(FPool->AllocateText(sizeof(TDomString::TLong) + size));
    text->Size = static_cast<uint32_t>(size);
    std::memcpy(text + 1, data, size);
    out.SetLong(text, false);
}

void TDomParser::StoreText(TDomString& out, char* data, size_t size, bool decode, bool borrow) {
    unsigned flags = 0;
    if (decode) {
        // One look at every byte: anything from 0x80 (bit 1) or an ampersand (bit 2)?
        for (size_t i = 0; i < size; ++i)
            flags |= kClasses.Text[static_cast<unsigned char>(data[i])];
    } else if (HasHighBytes(data, size)) {
        flags = 1;
    }
    StoreScanned(out, data, size, flags, decode, borrow);
}

void TDomParser::StoreScanned(TDomString& out, char* data, size_t size, unsigned flags, bool decode,
                              bool borrow) {
    bool padded = true;
    if (flags & 1) {
        FScratch.clear();
        AppendFileText(FScratch, data, size, FUtf8);
        if (FScratch.size() != size || std::memcmp(FScratch.data(), data, size) != 0) {
            data = FScratch.data();
            size = FScratch.size();
            padded = false;
        }
    }
    if (decode && FDecoder) {
        if (!FPlainDecode) {
            std::string value(data, size);
            FDecoder->DecodeValue(value);
            out.Assign(value);
            return;
        }
        const TDomSimpleXMLOptions options = FDecoder->Options();
        if ((flags & 2) && (options & (sxoAutoEncodeValue | sxoAutoEncodeEntity)))
            size = DecodeInPlace(data, size, (options & sxoAutoEncodeValue) != 0);
    }
    if (borrow)
        Keep(out, data, size, padded);
    else
        out.Assign(std::string_view(data, size));
}

// --- Attributes -------------------------------------------------------------------------------------------

template <char Quote> inline char* TDomParser::FindQuote(char* p, unsigned& flags) const {
#if defined(__SSE2__)
    // Sixteen bytes per step; reading past the end stays inside the NUL bytes behind the data.
    const __m128i quotes = _mm_set1_epi8(Quote);
    const __m128i amps = _mm_set1_epi8('&');
    const __m128i zero = _mm_setzero_si128();
    for (;;) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const unsigned stop = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, quotes), _mm_cmpeq_epi8(v, zero))));
        const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(v));
        const unsigned amp = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, amps)));
        if (high | amp) {
            // Only the bytes before the first stop (all sixteen without one) count.
            const unsigned before = (stop - 1) & ~stop;
            if (high & before)
                flags |= 1;
            if (amp & before)
                flags |= 2;
        }
        if (!stop) {
            p += 16;
            continue;
        }
        p += static_cast<unsigned>(__builtin_ctz(stop));
        if (*p == Quote)
            return p;
        if (p >= FEnd)
            return nullptr;
        ++p; // a NUL inside the value
    }
#else
    for (; p < FEnd; ++p) {
        if (*p == Quote)
            return p;
        flags |= kClasses.Text[static_cast<unsigned char>(*p)];
    }
    return nullptr;
#endif
}

// Hands the attributes made in place from First up to Next (see ParseAttributes) over to Props.
void TDomParser::AdoptAttributes(TDomSimpleXMLProps& props, TDomSimpleXMLProp* first, TDomSimpleXMLProp* next,
                                 bool elementPool) {
    if (next == first)
        return;
    using TChunk = TDomSimpleXMLProps::TChunk;
    FPool->Take(TChunk::Bytes(static_cast<size_t>(next - first),
                              elementPool ? TChunk::kElementPool : TChunk::kOwnPool));
    props.AdoptChunk(reinterpret_cast<TChunk*>(first) - 1, static_cast<int>(next - first), FPool,
                     elementPool);
}

// An error inside an attribute list; the attributes made so far are handed over on the way out.
void TDomParser::FailInAttributes(const char* format, char* at) {
    FP = at;
    Fail(plat::Format(format, {CharAt(at)}));
}

// Reads name="value" pairs up to "/", ">" or "?" (left unread). Data that ends inside the list ends it
// without an error; the attribute being read then is dropped. Answers the number of chunks made.
//
// The attributes are made where they stay: side by side in the pool's free room behind a chunk header,
// the chunk taken and handed to the list when it is full or the tag ends, also when an error or a
// decoder ends the tag early. No other object may be made in the pool meanwhile (texts may).
int TDomParser::ParseAttributes(TDomSimpleXMLProps& props, bool elementPool) {
    using TChunk = TDomSimpleXMLProps::TChunk;
    if (props.FFirst)
        props.Clear();
    // Flag 4: every value goes through StoreScanned, as a decoder of another class wants to see it.
    // Without it a value with neither "&" (2) nor bytes from 0x80 (1) is kept as it stands.
    const unsigned initialFlags = !FDecoder || FPlainDecode ? 0 : 4;
    TDomSimpleXMLProp* first = nullptr; // of the chunk being made
    TDomSimpleXMLProp* next = nullptr;
    TDomSimpleXMLProp* limit = nullptr;
    int chunks = 0;
    struct THandOver {
        TDomParser& Parser;
        TDomSimpleXMLProps& Props;
        TDomSimpleXMLProp*& First;
        TDomSimpleXMLProp*& Next;
        bool ElementPool;
        ~THandOver() { Parser.AdoptAttributes(Props, First, Next, ElementPool); }
    } handOver{*this, props, first, next, elementPool};
    // The loops below stop at the NUL bytes behind the data (none of the classes holds NUL).
    char* p = FP;
    char* const end = FEnd;
    for (;;) {
        char c = *p;
        if (c == ' ')
            c = *++p;
        if (!Is(c, cAttrName)) {
            while (Is(c, cBlank))
                c = *++p;
            if (!Is(c, cAttrName)) {
                if (p >= end || c == '/' || c == '>' || c == '?')
                    break;
                FailInAttributes(kPropertyChar, p);
            }
        }
        // The name; with colons in it, the part before the last one is the namespace.
        char* name = p;
        size_t nameSpaceSize = 0;
        do
            ++p;
        while (Is(*p, cAttrName));
        while (*p == ':') {
            nameSpaceSize = static_cast<size_t>(p - name);
            name = ++p;
            while (Is(*p, cAttrName))
                ++p;
        }
        const size_t nameSize = static_cast<size_t>(p - name);
        char quote;
        if (p[0] == '=' && (p[1] == '"' || p[1] == '\'')) {
            quote = p[1]; // the usual name="value"
            p += 2;
        } else {
            while (Is(*p, cBlank))
                ++p;
            if (p >= end)
                break;
            if (*p != '=')
                FailInAttributes(kPropertyChar, p);
            ++p;
            while (Is(*p, cBlank))
                ++p;
            if (p >= end)
                break;
            quote = *p;
            if (quote != '"' && quote != '\'')
                FailInAttributes(kPropertyQuote, p);
            ++p;
        }
        char* value = p;
        unsigned flags = initialFlags;
        char* close = quote == '"' ? FindQuote<'"'>(p, flags) : FindQuote<'\''>(p, flags);
        if (!close) {
            p = end;
            break;
        }
        p = close + 1;
        const size_t valueSize = static_cast<size_t>(close - value);

        if (next == limit) {
            AdoptAttributes(props, first, next, elementPool);
            first = next = nullptr;
            auto* chunk = reinterpret_cast<TChunk*>(FPool->Room(kChunkBytes));
            // Room for the reference behind the items is kept whether it is needed or not.
            const size_t fits =
                (FPool->RoomSize() - sizeof(TChunk) - sizeof(void*)) / sizeof(TDomSimpleXMLProp);
            const size_t wanted = size_t(kChunkProps) << std::min(chunks, kLargestChunkShift);
            first = next = reinterpret_cast<TDomSimpleXMLProp*>(chunk + 1);
            limit = first + std::min(fits, wanted);
            ++chunks;
        }
        auto* prop = new (next) TDomSimpleXMLProp(static_cast<uint32_t>(next - first));
        ++next;
        // Names are ASCII; a namespace stands right before its name.
        if (nameSpaceSize > 0) {
            const size_t size = nameSpaceSize + 1 + nameSize;
            Keep(prop->FName, name - 1 - nameSpaceSize, size);
            prop->SetNameSpaceSize(nameSpaceSize);
        } else {
            Keep(prop->FName, name, nameSize);
        }
        if (flags == 0) {
            Keep(prop->FValue, value, valueSize);
        } else {
            StoreScanned(prop->FValue, value, valueSize, flags & 3, true, true);
            if (prop->FValue.Owned())
                props.FOwnsTexts = true;
        }
    }
    FP = p;
    return chunks;
}

// --- Elements ---------------------------------------------------------------------------------------------

TDomParser::TStartTag TDomParser::ParseStartTag(TOpenElement& open) {
    if (AtEnd())
        return TStartTag::Truncated;
    if (*FP != '<')
        Fail(plat::Format(kExpectedTagBegin, {CharAt(FP)}));
    ++FP;
    if (!AtEnd() && Is(*FP, cBlank))
        Fail(kNoValidName);
    open.Name = {FP, 0};
    open.NameSpace = {FP, 0};
    open.HighName = false;
    return ParseTagRest(open);
}

// The start tag from FP on, after its "<": name segments and attribute lists up to the end of the tag.
TDomParser::TStartTag TDomParser::ParseTagRest(TOpenElement& open) {
    for (;;) {
        char* start = FP;
        char* p = FP;
        for (;;) {
            while (!Is(*p, cNameStop))
                ++p;
            if (static_cast<unsigned char>(*p) >= 0x80) {
                open.HighName = true;
                ++p;
                continue;
            }
            if (*p != 0 || p >= FEnd)
                break;
            ++p; // a NUL inside the name
        }
        FP = p;
        const size_t length = static_cast<size_t>(FP - start);
        if (open.Name.Data + open.Name.Size == start || open.Name.Size == 0) {
            if (open.Name.Size == 0)
                open.Name.Data = start;
            open.Name.Size += length;
        } else if (length > 0) {
            // Name bytes after the attribute list: the name is put together in the pool.
            char* joined = FPool->AllocateText(open.Name.Size + length + kPadding);
            std::memcpy(joined, open.Name.Data, open.Name.Size);
            std::memcpy(joined + open.Name.Size, start, length);
            open.Name = {joined, open.Name.Size + length};
        }
        if (AtEnd())
            return TStartTag::Truncated;
        char c = *FP++;
        if (c == '>')
            return TStartTag::Content;
        if (c == ':') {
            open.NameSpace = open.Name;
            open.Name = {FP, 0};
        } else if (c == '/') {
            if (AtEnd())
                return TStartTag::Truncated;
            if (*FP != '>')
                Fail(plat::Format(kExpectedTagEnd, {CharAt(FP)}));
            ++FP;
            return TStartTag::Empty;
        } else {
            // A blank ends the name; whatever follows the attributes still belongs to the name.
            ParseAttributes(open.Element->FProps, open.Pooled);
            // The usual ends of a start tag, taken here rather than by another round.
            if (*FP == '/' && FP[1] == '>') {
                FP += 2;
                return TStartTag::Empty;
            }
            if (*FP == '>') {
                ++FP;
                return TStartTag::Content;
            }
        }
    }
}

// What the "<" at the reading position starts. A token grows byte by byte until a blank, ":", ">"
// or "/" makes it an element, or it spells the start of a comment or a CDATA section.
TDomParser::TToken TDomParser::Classify() const {
    static const char cdata[] = "<![CDATA[";
    static const char comment[] = "<!--";
    const char* q = FP + 1;
    if (q < FEnd && *q == '/')
        return TToken::EndTag;
    if (*q != '!') {
        // Neither a comment nor a CDATA section: an element when a dispatching byte follows.
        for (;;) {
            while (!Is(*q, cDispatch | cNul))
                ++q;
            if (*q != 0 || q >= FEnd)
                break;
            ++q;
        }
        return q < FEnd ? TToken::Element : TToken::End;
    }
    size_t length = 1;
    bool maybeCData = true;
    bool maybeComment = true;
    while (q < FEnd) {
        char b = *q;
        if (Is(b, cDispatch))
            return TToken::Element;
        if (maybeCData && length == 8 && Is(b, cBlank)) {
            ++q; // blanks after "<![CDATA" are dropped from the token
            continue;
        }
        ++q;
        maybeCData = maybeCData && length < 9 && b == cdata[length];
        maybeComment = maybeComment && length < 4 && b == comment[length];
        ++length;
        if (maybeCData && length == 9)
            return TToken::CData;
        if (maybeComment && length == 4)
            return TToken::Comment;
        if (!maybeCData && !maybeComment) {
            while (q < FEnd && !Is(*q, cDispatch))
                ++q;
            return q < FEnd ? TToken::Element : TToken::End;
        }
    }
    return TToken::End;
}

// Reads an end tag's name after "</" up to ">" into FEndName: namespace, ":" and name, or the name
// alone. False when the data ends first.
bool TDomParser::ParseEndTag() {
    char* segment = FP;
    char* nameSpace = nullptr;
    for (;;) {
        while (!AtEnd() && *FP != ':' && *FP != '>')
            ++FP;
        if (AtEnd()) {
            FEndName = {};
            return false;
        }
        if (*FP == ':') {
            // The segment before the last ":" is the namespace; an empty one counts as none.
            nameSpace = FP > segment ? segment : nullptr;
            segment = ++FP;
            continue;
        }
        char* from = nameSpace ? nameSpace : segment;
        FEndName = std::string_view(from, static_cast<size_t>(FP - from));
        ++FP;
        return true;
    }
}

inline TDomParser::TOpenElement& TDomParser::Push(TDomSimpleXMLElemClassic* element, bool pooled) {
    if (FDepth >= static_cast<size_t>(MaxSimpleXMLDepth))
        Fail(plat::Format(kTooDeep, {MaxSimpleXMLDepth}));
    if (FDepth == FStack.size())
        FStack.emplace_back();
    TOpenElement& open = FStack[FDepth++];
    open.Element = element;
    open.Pooled = pooled;
    open.AllLeaves = false;
    open.LeafRefs = 0;
    return open;
}

void TDomParser::BeginContent(TOpenElement& open) {
    if (open.Element->FItems)
        open.Element->FItems->Clear();
    open.BlockStart = FP;
    open.SeenBlank = false;
    open.HadChild = false;
    open.AllLeaves = true;
    open.LeafRefs = 0;
}

void TDomParser::AddText(TOpenElement& open, char* from, char* to) {
    auto* text = new (FPool) TDomSimpleXMLElemText(open.Element);
    open.Element->Items().Append(text);
    open.AllLeaves = false;
    StoreText(text->FValue, from, static_cast<size_t>(to - from), true, true);
    ValueParsed({}, text->Value());
}

// Steps after the content (or after an empty-element tag): a lone text child becomes the value, then
// name and namespace are stored and the events fire.
void TDomParser::FinishElement(TOpenElement& open) {
    TDomSimpleXMLElemClassic* e = open.Element;
    if (e->FItems && e->FItems->FList.size() == 1 &&
        e->FItems->FList[0]->Kind() == TDomSimpleXMLElem::TKind::Text) {
        if (open.Pooled)
            e->FValue = std::move(e->FItems->FList[0]->FValue);
        else
            e->FValue.Assign(e->FItems->FList[0]->Value());
        e->FItems->Clear();
    }
    // The name read (an element read without one keeps its own) with the namespace read.
    if (open.NameSpace.Size == 0) {
        if (open.Name.Size > 0)
            StoreName(e->FName, open.Name, open.Pooled, open.HighName);
        else if (e->NameSpaceSize() > 0)
            e->SetQualifiedName({}, std::string(e->Name()));
        e->SetNameSpaceSize(0);
    } else if (open.Name.Size > 0 && !open.HighName &&
               open.NameSpace.Data + open.NameSpace.Size + 1 == open.Name.Data) {
        StoreName(e->FName, {open.NameSpace.Data, open.NameSpace.Size + 1 + open.Name.Size}, open.Pooled,
                  false);
        e->SetNameSpaceSize(open.NameSpace.Size);
    } else {
        e->SetQualifiedName(FileText(open.NameSpace.View()),
                            open.Name.Size > 0 ? FileText(open.Name.View()) : std::string(e->Name()));
    }
    FLastLeafRefs = 0;
    if (TrackLeaves()) {
        if (e->FItems) {
            if (open.AllLeaves && !e->FItems->FList.empty()) {
                e->FItems->FLeafPool = FPool;
                e->FItems->FLeafRefs = open.LeafRefs;
            }
        } else if (open.Pooled && !e->FName.Owned() && !e->FValue.Owned() && !e->FProps.FOwnsTexts) {
            // A leaf: its own reference and one for each attribute chunk that holds one, all of this pool.
            int64_t refs = 1;
            for (TDomSimpleXMLProps::TChunk* c = e->FProps.FFirst; c && refs > 0; c = c->Next()) {
                if (c->Memory != TDomSimpleXMLProps::TChunk::kElementPool)
                    refs = c->Pool() == FPool ? refs + 1 : 0;
            }
            FLastLeafRefs = refs;
        }
    }
    if (FEvents && (FEvents->OnTagParsed || FEvents->OnValueParsed))
        TagParsed(e);
}

void TDomParser::TagParsed(TDomSimpleXMLElem* e) {
    const std::string name(e->Name());
    FEvents->DoTagParsed(name);
    FEvents->DoValueParsed(name, std::string(e->Value()));
}

// The end tag (in FEndName, empty when the data ended) must match the start tag, ignoring case.
void TDomParser::CloseElement(TOpenElement& open) {
    std::string_view name = open.Name.View();
    std::string joined;
    std::string_view expected = name;
    if (open.NameSpace.Size > 0) {
        if (open.NameSpace.Data + open.NameSpace.Size + 1 == open.Name.Data) {
            expected = std::string_view(open.NameSpace.Data, open.NameSpace.Size + 1 + open.Name.Size);
        } else {
            joined = std::string(open.NameSpace.View()) + ":" + std::string(name);
            expected = joined;
        }
    }
    if (FEndName != expected && !SameName(FileText(FEndName), FileText(expected)))
        Fail(plat::Format(kWrongEndTag, {FileText(name), FileText(FEndName)}));
    FinishElement(open);
}

// After a child: the parent's text block starts afresh behind it.
inline void TDomParser::ChildDone(int64_t leafRefs) {
    TOpenElement& parent = FStack[FDepth - 1];
    parent.AllLeaves = parent.AllLeaves && leafRefs > 0;
    parent.LeafRefs += leafRefs;
    parent.HadChild = true;
    parent.BlockStart = FP;
    parent.SeenBlank = false;
}

// A child element from the "<" at FP. NameEnd, when given, is where its plain name (no namespace, no
// bytes from 0x80) ends at a blank, "/" or ">".
void TDomParser::ParseChild(TDomSimpleXMLElemClassic* parent, char* nameEnd) {
    auto* child = new (FPool) TDomSimpleXMLElemClassic(parent);
    (parent->FItems ? *parent->FItems : parent->Items()).Append(child);
    TStartTag tag = TStartTag::Truncated;
    TOpenElement* inner;
    if (!nameEnd) {
        FStack[FDepth - 1].HadChild = true;
        inner = &Push(child, true); // may move the stack
        tag = ParseStartTag(*inner);
    } else {
        // The usual leaf ("<name attributes/>") is finished without a place on the stack.
        if (FDepth >= static_cast<size_t>(MaxSimpleXMLDepth))
            Fail(plat::Format(kTooDeep, {MaxSimpleXMLDepth}));
        char* name = FP + 1;
        const size_t nameSize = static_cast<size_t>(nameEnd - name);
        FP = nameEnd;
        if (nameEnd[0] == ' ') {
            ++FP;
            ParseAttributes(child->FProps, true);
        }
        if (FP[0] == '/' && FP[1] == '>') {
            FP += 2;
            Keep(child->FName, name, nameSize);
            // A plain name and attributes of this parse: nothing of its own on the heap unless a value
            // was decoded by a class of another kind.
            int64_t refs = 0;
            if (TrackLeaves()) {
                if (!child->FProps.FOwnsTexts)
                    refs = 1; // its attribute chunks live on its reference
            } else if (FEvents && (FEvents->OnTagParsed || FEvents->OnValueParsed)) {
                TagParsed(child);
            }
            ChildDone(refs);
            return;
        }
        FStack[FDepth - 1].HadChild = true;
        inner = &Push(child, true);
        inner->Name = {name, nameSize};
        inner->NameSpace = {name, 0};
        inner->HighName = false;
        if (FP[0] == '>') {
            ++FP;
            tag = TStartTag::Content;
        } else {
            tag = ParseTagRest(*inner);
        }
    }
    switch (tag) {
    case TStartTag::Content:
        BeginContent(*inner);
        break;
    case TStartTag::Empty:
        FinishElement(*inner);
        --FDepth;
        ChildDone(FLastLeafRefs);
        break;
    case TStartTag::Truncated:
        --FDepth;
        ChildDone(0);
        break;
    }
}

void TDomParser::ParseElement(TDomSimpleXMLElemClassic* element) {
    element->MarkChanged();
    UseDecoder(element->GetSimpleXML());
    FDepth = 0;
    {
        TOpenElement& open = Push(element, false);
        switch (ParseStartTag(open)) {
        case TStartTag::Truncated:
            return;
        case TStartTag::Empty:
            FinishElement(open);
            return;
        case TStartTag::Content:
            BeginContent(open);
            break;
        }
    }
    while (FDepth > 0) {
        TOpenElement& open = FStack[FDepth - 1];
        if (Is(*FP, cBlank)) {
            open.SeenBlank = true;
            SkipBlankRun();
        }
        Progress();
        if (FP >= FNextRelease)
            ReleaseInput();
        if (AtEnd()) {
            // Unclosed: an empty end-tag name, which only a nameless element matches.
            FEndName = {};
            CloseElement(open);
            if (--FDepth > 0)
                ChildDone(FLastLeafRefs);
            continue;
        }
        if (*FP != '<') {
            char* from = FTrim ? FP : open.BlockStart;
            auto* lt = static_cast<char*>(std::memchr(FP, '<', static_cast<size_t>(FEnd - FP)));
            FP = lt ? lt : FEnd;
            AddText(open, from, FP);
            open.HadChild = true;
            open.BlockStart = FP;
            open.SeenBlank = false;
            continue;
        }
        if (FP[1] != '/' && FP[1] != '!') {
            // Most tags are a child's start tag with a plain name ending in a blank, "/" or ">": that
            // is known to be an element without a look at the rest of the tag.
            char* name = FP + 1;
            char* q = name;
            while (!Is(*q, cNameStop))
                ++q;
            if (q > name && (*q == ' ' || *q == '/' || *q == '>')) {
                ParseChild(open.Element, q);
                continue;
            }
        }
        switch (Classify()) {
        case TToken::EndTag: {
            char* tagStart = FP;
            FP += 2;
            // Content of blanks alone is kept as the value.
            if (ParseEndTag() && open.SeenBlank && !FTrim && !open.HadChild)
                AddText(open, open.BlockStart, tagStart);
            CloseElement(open);
            if (--FDepth > 0)
                ChildDone(FLastLeafRefs);
            break;
        }
        case TToken::Comment: {
            std::unique_ptr<TDomSimpleXMLElem> comment(new (FPool) TDomSimpleXMLElemComment(open.Element));
            ParseComment(comment.get(), true);
            open.Element->Items().Append(comment.release());
            ChildDone(0);
            break;
        }
        case TToken::CData: {
            std::unique_ptr<TDomSimpleXMLElem> cdata(new (FPool) TDomSimpleXMLElemCData(open.Element));
            ParseCData(cdata.get(), true);
            open.Element->Items().Append(cdata.release());
            ChildDone(0);
            break;
        }
        case TToken::Element:
            ParseChild(open.Element, nullptr);
            break;
        case TToken::End:
            FP = FEnd;
            break;
        }
    }
}

// --- Other node kinds -------------------------------------------------------------------------------------

void TDomParser::ParseText(TDomSimpleXMLElemText* element, bool borrow) {
    UseDecoder(element->GetSimpleXML());
    char* from = FP;
    auto* lt = static_cast<char*>(std::memchr(FP, '<', static_cast<size_t>(FEnd - FP)));
    FP = lt ? lt : FEnd;
    StoreText(element->FValue, from, static_cast<size_t>(FP - from), true, borrow);
    ValueParsed({}, element->Value());
}

void TDomParser::ParseComment(TDomSimpleXMLElem* element, bool borrow) {
    Expect("<!--", kCommentExpected, kCommentEnd);
    char* start = FP;
    char* p = FP;
    for (;;) {
        p = static_cast<char*>(std::memchr(p, '-', static_cast<size_t>(FEnd - p)));
        if (!p || p + 1 >= FEnd)
            Fail(kCommentEnd);
        if (p[1] != '-') {
            p += 2; // a single dash goes into the text with the byte after it
            continue;
        }
        if (p + 2 >= FEnd)
            Fail(kCommentEnd);
        if (p[2] == '>')
            break;
        if (p + 3 >= FEnd)
            Fail(kCommentEnd);
        if (p[3] != '>')
            Fail(kCommentDashes);
        p += 3; // "--x" followed by ">" is taken as text
    }
    StoreText(element->FValue, start, static_cast<size_t>(p - start), false, borrow);
    FP = p + 3;
    ValueParsed({}, element->Value());
}

void TDomParser::ParseCData(TDomSimpleXMLElem* element, bool borrow) {
    Expect("<![CDATA[", kCDataExpected, kCDataEnd);
    char* start = FP;
    char* p = FP;
    for (;;) {
        p = static_cast<char*>(std::memchr(p, ']', static_cast<size_t>(FEnd - p)));
        if (!p || FEnd - p < 3)
            Fail(kCDataEnd);
        if (p[1] == ']' && p[2] == '>')
            break;
        ++p;
    }
    StoreText(element->FValue, start, static_cast<size_t>(p - start), false, borrow);
    FP = p + 3;
    ValueParsed({}, element->Value());
}

void TDomParser::ParseHeader(TDomSimpleXMLElemHeader* element, bool namesEncoding) {
    Expect("<?xml", kHeaderExpected, kCommentEnd);
    UseDecoder(element->GetSimpleXML());
    TDomSimpleXMLProps& props = element->FProps;
    char* attributes = FP;
    ParseAttributes(props);
    TDomSimpleXMLProp* encoding = props.Find("encoding");
    if (namesEncoding && encoding && !encoding->Value().empty()) {
        // The encoding a declaration names applies to the declaration itself too.
        const bool utf8 = IsUtf8EncodingName(encoding->Value());
        if (utf8 != FUtf8) {
            FUtf8 = utf8;
            FP = attributes;
            ParseAttributes(props);
            encoding = props.Find("encoding");
        }
    }
    TDomSimpleXMLProp* version = props.Find("version");
    TDomSimpleXMLProp* standalone = props.Find("standalone");
    element->FVersion = version ? version->Value() : std::string_view();
    element->FEncoding = encoding ? encoding->Value() : std::string_view();
    element->FStandalone = standalone && standalone->Value() == "yes";
    props.Clear();
    Expect("?>", kHeaderExpected, kCommentEnd);
}

void TDomParser::ParseDocType(TDomSimpleXMLElem* element, bool borrow) {
    Expect("<!DOCTYPE", kHeaderExpected, kCommentEnd);
    char* start = FP;
    bool inSubset = false; // inside "[...]" a ">" does not end the declaration
    for (;;) {
        if (AtEnd())
            Fail(kCommentEnd);
        char c = *FP++;
        if (inSubset) {
            if (c == ']')
                inSubset = false;
        } else if (c == '[') {
            inSubset = true;
        } else if (c == '>') {
            break;
        }
    }
    char* end = FP - 1;
    if (FEvents && FEvents->OnValueParsed)
        ValueParsed({}, FileText(std::string_view(start, static_cast<size_t>(end - start))));
    while (start < end && static_cast<unsigned char>(*start) <= 32)
        ++start;
    while (end > start && static_cast<unsigned char>(end[-1]) <= 32)
        --end;
    StoreText(element->FValue, start, static_cast<size_t>(end - start), false, borrow);
}

void TDomParser::ParseSheet(TDomSimpleXMLElem* element) {
    Expect("<?xml-stylesheet", kSheetExpected, kSheetEnd);
    UseDecoder(element->GetSimpleXML());
    ParseAttributes(element->FProps);
    Expect("?>", kSheetExpected, kSheetEnd);
}

// --- Prolog -----------------------------------------------------------------------------------------------

// A processing instruction or declaration the prolog does not know ("<?xml-model ...?>",
// "<!ENTITY ...>") is passed over to its end; one that never ends is an error.
void TDomParser::SkipUnknownDeclaration(char* start) {
    if (start[1] == '?') {
        for (char* p = start + 2; p + 1 < FEnd; ++p) {
            if (p[0] == '?' && p[1] == '>') {
                FP = p + 2;
                return;
            }
        }
        Fail(kCommentEnd);
    }
    char quote = 0;
    int subset = 0;
    for (char* p = start + 2; p < FEnd; ++p) {
        char c = *p;
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++subset;
        } else if (c == ']' && subset > 0) {
            --subset;
        } else if (c == '>' && subset == 0) {
            FP = p + 1;
            return;
        }
    }
    Fail(kCommentEnd);
}

void TDomParser::ParseProlog(TDomSimpleXMLElemsProlog& prolog) {
    static const char* const forms[] = {"<![CDATA[", "<!--", "<?xml-stylesheet", "<?xml ", "<!DOCTYPE"};
    if (FEnd - FP >= 3 && std::memcmp(FP, "\xEF\xBB\xBF", 3) == 0)
        FUtf8 = true; // a UTF-8 byte-order mark, unless a declaration says otherwise
    for (;;) {
        while (!AtEnd() && IsPrologFiller(static_cast<unsigned char>(*FP)))
            ++FP;
        if (AtEnd())
            return;
        if (*FP != '<')
            Fail(kUnexpectedPrologText);
        char* start = FP;
        char token[17];
        size_t length = 0;
        int form = -1;
        char* q = FP;
        for (;;) {
            if (q >= FEnd) {
                if (length >= 2 && (token[1] == '!' || token[1] == '?'))
                    Fail(kCommentEnd);
                FP = start;
                return;
            }
            char b = *q++;
            if (length == 8 && std::memcmp(token, "<![CDATA", 8) == 0 && Is(b, cBlank))
                continue;
            token[length++] = b;
            bool prefix = false;
            for (int i = 0; i < 5; ++i) {
                size_t n = std::strlen(forms[i]);
                if (length == n && std::memcmp(token, forms[i], n) == 0)
                    form = i;
                else if (length < n && std::memcmp(token, forms[i], length) == 0)
                    prefix = true;
            }
            if (form >= 0)
                break;
            if (length >= 2 && token[1] != '!' && token[1] != '?') {
                FP = start; // the root element starts here
                return;
            }
            if (!prefix && length >= 2) {
                SkipUnknownDeclaration(start);
                break;
            }
        }
        if (form < 0)
            continue;
        if (form == 0) {
            FP = start;
            return;
        }
        FP = start;
        std::unique_ptr<TDomSimpleXMLElem> item;
        switch (form) {
        case 1:
            item.reset(new (FPool) TDomSimpleXMLElemComment(nullptr));
            ParseComment(item.get(), true);
            break;
        case 2:
            item.reset(new (FPool) TDomSimpleXMLElemSheet(nullptr));
            ParseSheet(item.get());
            break;
        case 3: {
            std::unique_ptr<TDomSimpleXMLElemHeader> header(new (FPool) TDomSimpleXMLElemHeader(nullptr));
            // The first declaration names the encoding, as it does for the writer.
            ParseHeader(header.get(), !prolog.Header());
            item = std::move(header);
            break;
        }
        case 4:
            item.reset(new (FPool) TDomSimpleXMLElemDocType(nullptr));
            ParseDocType(item.get(), true);
            break;
        }
        prolog.Append(item.release());
    }
}

// --- Entry points -----------------------------------------------------------------------------------------

namespace {

template <class Parse> void LoadNode(TStream& stream, TDomSimpleXML* parser, Parse parse) {
    TDomPoolRef pool;
    TInput input(stream);
    TDomParser p(input, pool.Get(), parser, TDomParser::FileIsUtf8(parser));
    // The stream stands after what was read, also when the text was bad.
    plat::ScopeGuard reposition(
        [&] { stream.SetPosition(input.Start + static_cast<int64_t>(p.Consumed())); });
    parse(p);
}

} // namespace

void TDomSimpleXMLElemClassic::LoadFromStream(TStream& stream, TDomSimpleXML* parser) {
    LoadNode(stream, parser, [this](TDomParser& p) { p.ParseElement(this); });
}
void TDomSimpleXMLElemText::LoadFromStream(TStream& stream, TDomSimpleXML* parser) {
    LoadNode(stream, parser, [this](TDomParser& p) { p.ParseText(this, false); });
}
void TDomSimpleXMLElemComment::LoadFromStream(TStream& stream, TDomSimpleXML* parser) {
    LoadNode(stream, parser, [this](TDomParser& p) { p.ParseComment(this, false); });
}
void TDomSimpleXMLElemCData::LoadFromStream(TStream& stream, TDomSimpleXML* parser) {
    LoadNode(stream, parser, [this](TDomParser& p) { p.ParseCData(this, false); });
}
void TDomSimpleXMLElemHeader::LoadFromStream(TStream& stream, TDomSimpleXML* parser) {
    LoadNode(stream, parser, [this](TDomParser& p) { p.ParseHeader(this, false); });
}
void TDomSimpleXMLElemDocType::LoadFromStream(TStream& stream, TDomSimpleXML* parser) {
    LoadNode(stream, parser, [this](TDomParser& p) { p.ParseDocType(this, false); });
}
void TDomSimpleXMLElemSheet::LoadFromStream(TStream& stream, TDomSimpleXML* parser) {
    LoadNode(stream, parser, [this](TDomParser& p) { p.ParseSheet(this); });
}

void TDomSimpleXMLElemsProlog::LoadFromStream(TStream& stream, TDomSimpleXML* parser) {
    Clear();
    LoadNode(stream, parser, [this](TDomParser& p) { p.ParseProlog(*this); });
}

void TDomSimpleXML::LoadFromFile(const std::string& fileName) {
    // The parser reads the whole file into its own memory first; no copy of it is made in between.
    plat::TFileStream stream(fileName, plat::fmOpenRead | plat::fmShareDenyWrite);
    LoadFromStream(stream);
}

void TDomSimpleXML::LoadFromStream(TStream& stream) {
    // A load starts from an empty root: nothing of the previous document may survive it.
    FRoot->Clear();
    FRoot->FName.Assign({});
    FRoot->SetNameSpaceSize(0);
    FRoot->FValue.Assign({});
    FProlog->Clear();
    TStream* source = &stream;
    std::unique_ptr<plat::TMemoryStream> decoded;
    if (OnDecodeStream) {
        decoded = std::make_unique<plat::TMemoryStream>();
        OnDecodeStream(this, stream, *decoded);
        decoded->SetPosition(0);
        source = decoded.get();
    }
    TDomPoolRef pool;
    TInput input(*source);
    if (OnLoadProgress)
        OnLoadProgress(this, input.Start, input.StreamSize);
    TDomParser p(input, pool.Get(), this, false);
    {
        // The stream stands after what was read, also when the text was bad.
        plat::ScopeGuard reposition(
            [&] { source->SetPosition(input.Start + static_cast<int64_t>(p.Consumed())); });
        p.ParseProlog(*FProlog);
        p.ParseElement(FRoot.get());
    }
    if (OnLoadProgress)
        OnLoadProgress(this, source->Position(), input.StreamSize);
}

} // namespace xml
