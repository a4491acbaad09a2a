// The parser: one pass over the bytes in memory, no recursion, no allocation per character. Lenient
// in what it accepts (any byte in tag names, anything after the root element), strict in a fixed set
// of error messages.
#include <cstring>

#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/Stream.h"
#include "xml/DomSimpleXml.h"
#include "xml/DomSimpleXmlText.h"

namespace xml {

namespace {

const char* const kUnexpectedPrologText = "Invalid Document: Unexpected text in file prolog";
const char* const kExpectedTagBegin = "Invalid XML Element: Expected beginning of tag but \"%s\" found";
const char* const kNoValidName = "Invalid XML Element: malformed tag found (no valid name)";
const char* const kExpectedTagEnd = "Invalid XML Element: Expected end of tag but \"%s\" found";
const char* const kWrongEndTag = "Invalid XML Element: Erroneous end of tag, expecting </%0:s> but </%1:s> found";
const char* const kPropertyChar = "Invalid XML Element: Unexpected character in property declaration (\"%s\" found)";
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
enum : uint8_t { cBlank = 1, cTagStop = 2, cAttrName = 4, cDispatch = 8 };

struct TByteClasses {
    uint8_t Table[256] = {};
    constexpr TByteClasses() {
        for (int c : {9, 10, 13, 32})
            Table[c] |= cBlank | cTagStop;
        for (int c : {':', '/', '>'})
            Table[c] |= cTagStop | cDispatch;
        Table[' '] |= cDispatch;
        for (int c = '0'; c <= '9'; ++c)
            Table[c] |= cAttrName;
        for (int c = 'A'; c <= 'Z'; ++c)
            Table[c] |= cAttrName;
        for (int c = 'a'; c <= 'z'; ++c)
            Table[c] |= cAttrName;
        Table['-'] |= cAttrName;
        Table['_'] |= cAttrName;
    }
};
constexpr TByteClasses kClasses;

inline bool Is(char c, uint8_t cls) { return kClasses.Table[static_cast<unsigned char>(c)] & cls; }

// Bytes skipped between prolog items: blanks, NUL and the bytes of UTF-8 and UTF-16 byte-order marks.
inline bool IsPrologFiller(unsigned char c) {
    return c == 0 || c == 9 || c == 10 || c == 13 || c == 32 || c == 187 || c == 191 || c == 239 || c == 254 ||
           c == 255;
}

[[noreturn]] void Fail(const std::string& message) { throw EDomSimpleXMLError(message); }

// The bytes after the stream's position: the memory stream's own buffer when there is one, otherwise
// read in full.
struct TInput {
    const char* Data = nullptr;
    size_t Size = 0;
    int64_t Start = 0;
    int64_t StreamSize = 0;
    std::string Owned;

    explicit TInput(TStream& stream) {
        Start = stream.Position();
        if (auto* memory = dynamic_cast<plat::TMemoryStream*>(&stream)) {
            StreamSize = memory->Size();
            if (Start < StreamSize) {
                Data = reinterpret_cast<const char*>(memory->Memory()) + Start;
                Size = static_cast<size_t>(StreamSize - Start);
            }
            return;
        }
        char block[65536];
        for (;;) {
            int64_t n = stream.Read(block, sizeof block);
            if (n <= 0)
                break;
            Owned.append(block, static_cast<size_t>(n));
        }
        Data = Owned.data();
        Size = Owned.size();
        StreamSize = Start + static_cast<int64_t>(Size);
    }
};

} // namespace

class TDomParser {
public:
    TDomParser(const TInput& input, TDomSimpleXML* events, bool utf8)
        : FBegin(input.Data), FP(input.Data), FEnd(input.Data + input.Size), FEvents(events), FUtf8(utf8),
          FStart(input.Start), FStreamSize(input.StreamSize) {
        FProgress = events && events->OnLoadProgress;
        FTrim = events && (events->Options() & sxoTrimPrecedingTextWhitespace);
    }

    size_t Consumed() const { return static_cast<size_t>(FP - FBegin); }
    // Whether text read for this document is UTF-8 (its declaration says so).
    static bool FileIsUtf8(const TDomSimpleXML* document) { return document && document->FileIsUtf8(); }

    void ParseProlog(TDomSimpleXMLElemsProlog& prolog);
    void ParseElement(TDomSimpleXMLElemClassic* element);
    void ParseText(TDomSimpleXMLElemText* element);
    void ParseComment(TDomSimpleXMLElem* element);
    void ParseCData(TDomSimpleXMLElem* element);
    void ParseHeader(TDomSimpleXMLElemHeader* element);
    void ParseDocType(TDomSimpleXMLElem* element);
    void ParseSheet(TDomSimpleXMLElem* element);

private:
    enum class TStartTag { Content, Empty, Truncated };
    enum class TToken { EndTag, Comment, CData, Element, End };

    struct TOpenElement {
        TDomSimpleXMLElemClassic* Element = nullptr;
        std::string Name; // raw file bytes until the element is finished
        std::string NameSpace;
        const char* BlockStart = nullptr;
        bool SeenBlank = false;
        bool HadChild = false;
    };

    struct TAttribute {
        const char* NameSpace;
        size_t NameSpaceLength;
        const char* Name;
        size_t NameLength;
        const char* Value;
        size_t ValueLength;
    };

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
    void ValueParsed(const std::string& name, const std::string& value) {
        if (FEvents)
            FEvents->DoValueParsed(name, value);
    }

    void ParseAttributes(TDomSimpleXMLProps& props, TDomSimpleXML* decoder);
    void StoreAttributes(TDomSimpleXMLProps& props, TDomSimpleXML* decoder);
    TStartTag ParseStartTag(TOpenElement& open);
    TToken Classify() const;
    bool ParseEndTag();
    TOpenElement& Push(TDomSimpleXMLElemClassic* element);
    void BeginContent(TOpenElement& open);
    void AddText(TOpenElement& open, const char* from, const char* to);
    void CloseElement(TOpenElement& open);
    void FinishElement(TOpenElement& open);
    void ChildDone();
    void SkipUnknownDeclaration(const char* start);

    const char* FBegin;
    const char* FP;
    const char* FEnd;
    TDomSimpleXML* FEvents;
    bool FUtf8;
    bool FProgress;
    bool FTrim;
    int64_t FStart;
    int64_t FStreamSize;
    int64_t FNextProgress = 8192;
    TDomSimpleXML* FDecoder = nullptr;
    std::vector<TOpenElement> FStack; // open elements; entries are reused so their names keep capacity
    size_t FDepth = 0;
    std::vector<TAttribute> FAttributes;
    std::string FEndName;
    std::string FEndNameSpace;
};

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

// --- Attributes -------------------------------------------------------------------------------------------

void TDomParser::StoreAttributes(TDomSimpleXMLProps& props, TDomSimpleXML* decoder) {
    const int count = static_cast<int>(FAttributes.size());
    for (const TAttribute& a : FAttributes) {
        TDomSimpleXMLProp* prop = props.Append(std::string_view(a.Name, a.NameLength), {},
                                               std::string_view(a.NameSpace, a.NameSpaceLength), count);
        AssignFileText(prop->FValue, a.Value, a.ValueLength, FUtf8);
        if (decoder)
            decoder->DecodeValue(prop->FValue);
    }
    FAttributes.clear();
}

// Reads name="value" pairs up to "/", ">" or "?" (left unread). Data that ends inside the list ends it
// without an error; the attribute being read then is dropped.
void TDomParser::ParseAttributes(TDomSimpleXMLProps& props, TDomSimpleXML* decoder) {
    props.Clear();
    FAttributes.clear();
    auto fail = [&](const char* format, const char* at) {
        StoreAttributes(props, decoder);
        Fail(plat::Format(format, {CharAt(at)}));
    };
    for (;;) {
        while (!AtEnd() && Is(*FP, cBlank))
            ++FP;
        if (AtEnd())
            break;
        char c = *FP;
        if (c == '/' || c == '>' || c == '?')
            break;
        if (!Is(c, cAttrName))
            fail(kPropertyChar, FP);
        TAttribute a{FP, 0, FP, 0, nullptr, 0};
        for (;;) {
            while (!AtEnd() && Is(*FP, cAttrName))
                ++FP;
            if (AtEnd() || *FP != ':')
                break;
            a.NameSpace = a.Name;
            a.NameSpaceLength = static_cast<size_t>(FP - a.Name);
            a.Name = ++FP;
        }
        if (AtEnd())
            break;
        a.NameLength = static_cast<size_t>(FP - a.Name);
        if (Is(*FP, cBlank)) {
            while (!AtEnd() && Is(*FP, cBlank))
                ++FP;
            if (AtEnd())
                break;
        }
        if (*FP != '=')
            fail(kPropertyChar, FP);
        ++FP;
        while (!AtEnd() && Is(*FP, cBlank))
            ++FP;
        if (AtEnd())
            break;
        char quote = *FP;
        if (quote != '"' && quote != '\'')
            fail(kPropertyQuote, FP);
        a.Value = ++FP;
        auto* close = static_cast<const char*>(std::memchr(FP, quote, static_cast<size_t>(FEnd - FP)));
        if (!close) {
            FP = FEnd;
            break;
        }
        a.ValueLength = static_cast<size_t>(close - a.Value);
        FAttributes.push_back(a);
        FP = close + 1;
    }
    StoreAttributes(props, decoder);
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
    open.Name.clear();
    open.NameSpace.clear();
    for (;;) {
        const char* start = FP;
        while (!AtEnd() && !Is(*FP, cTagStop))
            ++FP;
        open.Name.append(start, static_cast<size_t>(FP - start));
        if (AtEnd())
            return TStartTag::Truncated;
        char c = *FP++;
        if (c == '>')
            return TStartTag::Content;
        if (c == ':') {
            open.NameSpace.swap(open.Name);
            open.Name.clear();
        } else if (c == '/') {
            if (AtEnd())
                return TStartTag::Truncated;
            if (*FP != '>')
                Fail(plat::Format(kExpectedTagEnd, {CharAt(FP)}));
            ++FP;
            return TStartTag::Empty;
        } else {
            // A blank ends the name; whatever follows the attributes still belongs to the name.
            ParseAttributes(open.Element->FProps, FDecoder);
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

// Reads an end tag's name after "</" up to ">". False when the data ends first.
bool TDomParser::ParseEndTag() {
    FEndName.clear();
    FEndNameSpace.clear();
    for (;;) {
        const char* start = FP;
        while (!AtEnd() && *FP != ':' && *FP != '>')
            ++FP;
        FEndName.append(start, static_cast<size_t>(FP - start));
        if (AtEnd()) {
            FEndName.clear();
            return false;
        }
        if (*FP++ == ':') {
            FEndNameSpace.swap(FEndName);
            FEndName.clear();
            continue;
        }
        if (!FEndNameSpace.empty()) {
            FEndNameSpace += ':';
            FEndNameSpace += FEndName;
            FEndName.swap(FEndNameSpace);
        }
        return true;
    }
}

TDomParser::TOpenElement& TDomParser::Push(TDomSimpleXMLElemClassic* element) {
    if (FDepth >= static_cast<size_t>(MaxSimpleXMLDepth))
        Fail(plat::Format(kTooDeep, {MaxSimpleXMLDepth}));
    if (FDepth == FStack.size())
        FStack.emplace_back();
    TOpenElement& open = FStack[FDepth++];
    open.Element = element;
    return open;
}

void TDomParser::BeginContent(TOpenElement& open) {
    if (open.Element->FItems)
        open.Element->FItems->Clear();
    open.BlockStart = FP;
    open.SeenBlank = false;
    open.HadChild = false;
}

void TDomParser::AddText(TOpenElement& open, const char* from, const char* to) {
    auto* text = new TDomSimpleXMLElemText(open.Element);
    open.Element->Items().Append(text);
    AssignFileText(text->FValue, from, static_cast<size_t>(to - from), FUtf8);
    if (FDecoder)
        FDecoder->DecodeValue(text->FValue);
    ValueParsed({}, text->FValue);
}

// Steps after the content (or after an empty-element tag): a lone text child becomes the value, then
// name and namespace are stored and the events fire.
void TDomParser::FinishElement(TOpenElement& open) {
    TDomSimpleXMLElemClassic* e = open.Element;
    if (e->FItems && e->FItems->FList.size() == 1 &&
        e->FItems->FList[0]->FKind == TDomSimpleXMLElem::TKind::Text) {
        e->FValue = std::move(e->FItems->FList[0]->FValue);
        e->FItems->Clear();
    }
    if (!open.Name.empty())
        AssignFileText(e->FName, open.Name.data(), open.Name.size(), FUtf8);
    AssignFileText(e->FNameSpace, open.NameSpace.data(), open.NameSpace.size(), FUtf8);
    if (FEvents) {
        FEvents->DoTagParsed(e->FName);
        FEvents->DoValueParsed(e->FName, e->FValue);
    }
}

// The end tag (in FEndName, empty when the data ended) must match the start tag, ignoring case.
void TDomParser::CloseElement(TOpenElement& open) {
    bool match;
    if (open.NameSpace.empty()) {
        match = FEndName == open.Name;
        if (!match)
            match = SameName(FileText(FEndName), FileText(open.Name));
    } else {
        std::string expected = open.NameSpace + ":" + open.Name;
        match = FEndName == expected || SameName(FileText(FEndName), FileText(expected));
    }
    if (!match)
        Fail(plat::Format(kWrongEndTag, {FileText(open.Name), FileText(FEndName)}));
    FinishElement(open);
}

// After a child: the parent's text block starts afresh behind it.
void TDomParser::ChildDone() {
    TOpenElement& parent = FStack[FDepth - 1];
    parent.HadChild = true;
    parent.BlockStart = FP;
    parent.SeenBlank = false;
}

void TDomParser::ParseElement(TDomSimpleXMLElemClassic* element) {
    FDecoder = element->GetSimpleXML();
    FDepth = 0;
    {
        TOpenElement& open = Push(element);
        switch (ParseStartTag(open)) {
        case TStartTag::Truncated: return;
        case TStartTag::Empty: FinishElement(open); return;
        case TStartTag::Content: BeginContent(open); break;
        }
    }
    while (FDepth > 0) {
        TOpenElement& open = FStack[FDepth - 1];
        if (!AtEnd() && Is(*FP, cBlank)) {
            open.SeenBlank = true;
            while (!AtEnd() && Is(*FP, cBlank))
                ++FP;
        }
        Progress();
        if (AtEnd()) {
            // Unclosed: an empty end-tag name, which only a nameless element matches.
            FEndName.clear();
            CloseElement(open);
            if (--FDepth > 0)
                ChildDone();
            continue;
        }
        if (*FP != '<') {
            const char* from = FTrim ? FP : open.BlockStart;
            auto* lt = static_cast<const char*>(std::memchr(FP, '<', static_cast<size_t>(FEnd - FP)));
            FP = lt ? lt : FEnd;
            AddText(open, from, FP);
            open.HadChild = true;
            open.BlockStart = FP;
            open.SeenBlank = false;
            continue;
        }
        switch (Classify()) {
        case TToken::EndTag: {
            const char* tagStart = FP;
            FP += 2;
            if (!ParseEndTag()) {
                CloseElement(open);
            } else {
                // Content of blanks alone is kept as the value.
                if (open.SeenBlank && !FTrim && !open.HadChild)
                    AddText(open, open.BlockStart, tagStart);
                CloseElement(open);
            }
            if (--FDepth > 0)
                ChildDone();
            break;
        }
        case TToken::Comment: {
            auto* comment = new TDomSimpleXMLElemComment(open.Element);
            std::unique_ptr<TDomSimpleXMLElem> owner(comment);
            ParseComment(comment);
            open.Element->Items().Append(owner.release());
            ChildDone();
            break;
        }
        case TToken::CData: {
            auto* cdata = new TDomSimpleXMLElemCData(open.Element);
            std::unique_ptr<TDomSimpleXMLElem> owner(cdata);
            ParseCData(cdata);
            open.Element->Items().Append(owner.release());
            ChildDone();
            break;
        }
        case TToken::Element: {
            auto* child = new TDomSimpleXMLElemClassic(open.Element);
            open.Element->Items().Append(child);
            open.HadChild = true;
            TOpenElement& inner = Push(child); // may move the stack: `open` is not used below
            switch (ParseStartTag(inner)) {
            case TStartTag::Content: BeginContent(inner); break;
            case TStartTag::Empty:
                FinishElement(inner);
                --FDepth;
                ChildDone();
                break;
            case TStartTag::Truncated:
                --FDepth;
                ChildDone();
                break;
            }
            break;
        }
        case TToken::End:
            FP = FEnd;
            break;
        }
    }
}

// --- Other node kinds -------------------------------------------------------------------------------------

void TDomParser::ParseText(TDomSimpleXMLElemText* element) {
    const char* from = FP;
    auto* lt = static_cast<const char*>(std::memchr(FP, '<', static_cast<size_t>(FEnd - FP)));
    FP = lt ? lt : FEnd;
    AssignFileText(element->FValue, from, static_cast<size_t>(FP - from), FUtf8);
    if (TDomSimpleXML* decoder = element->GetSimpleXML())
        decoder->DecodeValue(element->FValue);
    ValueParsed({}, element->FValue);
}

void TDomParser::ParseComment(TDomSimpleXMLElem* element) {
    Expect("<!--", kCommentExpected, kCommentEnd);
    const char* start = FP;
    const char* p = FP;
    for (;;) {
        p = static_cast<const char*>(std::memchr(p, '-', static_cast<size_t>(FEnd - p)));
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
    AssignFileText(element->FValue, start, static_cast<size_t>(p - start), FUtf8);
    FP = p + 3;
    ValueParsed({}, element->FValue);
}

void TDomParser::ParseCData(TDomSimpleXMLElem* element) {
    Expect("<![CDATA[", kCDataExpected, kCDataEnd);
    const char* start = FP;
    const char* p = FP;
    for (;;) {
        p = static_cast<const char*>(std::memchr(p, ']', static_cast<size_t>(FEnd - p)));
        if (!p || FEnd - p < 3)
            Fail(kCDataEnd);
        if (p[1] == ']' && p[2] == '>')
            break;
        ++p;
    }
    AssignFileText(element->FValue, start, static_cast<size_t>(p - start), FUtf8);
    FP = p + 3;
    ValueParsed({}, element->FValue);
}

void TDomParser::ParseHeader(TDomSimpleXMLElemHeader* element) {
    Expect("<?xml", kHeaderExpected, kCommentEnd);
    TDomSimpleXMLProps& props = element->FProps;
    ParseAttributes(props, element->GetSimpleXML());
    TDomSimpleXMLProp* version = props.Find("version");
    TDomSimpleXMLProp* encoding = props.Find("encoding");
    TDomSimpleXMLProp* standalone = props.Find("standalone");
    element->FVersion = version ? version->Value() : std::string();
    element->FEncoding = encoding ? encoding->Value() : std::string();
    element->FStandalone = standalone && standalone->Value() == "yes";
    props.Clear();
    Expect("?>", kHeaderExpected, kCommentEnd);
}

void TDomParser::ParseDocType(TDomSimpleXMLElem* element) {
    Expect("<!DOCTYPE", kHeaderExpected, kCommentEnd);
    const char* start = FP;
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
    const char* end = FP - 1;
    std::string body = FileText(std::string_view(start, static_cast<size_t>(end - start)));
    while (start < end && static_cast<unsigned char>(*start) <= 32)
        ++start;
    while (end > start && static_cast<unsigned char>(end[-1]) <= 32)
        --end;
    AssignFileText(element->FValue, start, static_cast<size_t>(end - start), FUtf8);
    ValueParsed({}, body);
}

void TDomParser::ParseSheet(TDomSimpleXMLElem* element) {
    Expect("<?xml-stylesheet", kSheetExpected, kSheetEnd);
    ParseAttributes(element->FProps, element->GetSimpleXML());
    Expect("?>", kSheetExpected, kSheetEnd);
}

// --- Prolog -----------------------------------------------------------------------------------------------

// A processing instruction or declaration the prolog does not know ("<?xml-model ...?>",
// "<!ENTITY ...>") is passed over to its end; one that never ends is an error.
void TDomParser::SkipUnknownDeclaration(const char* start) {
    if (start[1] == '?') {
        for (const char* p = start + 2; p + 1 < FEnd; ++p) {
            if (p[0] == '?' && p[1] == '>') {
                FP = p + 2;
                return;
            }
        }
        Fail(kCommentEnd);
    }
    char quote = 0;
    int subset = 0;
    for (const char* p = start + 2; p < FEnd; ++p) {
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
        const char* start = FP;
        char token[17];
        size_t length = 0;
        int form = -1;
        const char* q = FP;
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
            item = std::make_unique<TDomSimpleXMLElemComment>(nullptr);
            ParseComment(item.get());
            break;
        case 2:
            item = std::make_unique<TDomSimpleXMLElemSheet>(nullptr);
            ParseSheet(item.get());
            break;
        case 3: {
            auto header = std::make_unique<TDomSimpleXMLElemHeader>(nullptr);
            ParseHeader(header.get());
            // The first declaration names the encoding, as it does for the writer.
            if (!prolog.Header()) {
                if (IsUtf8EncodingName(header->Encoding()))
                    FUtf8 = true;
                else if (!header->Encoding().empty())
                    FUtf8 = false;
            }
            item = std::move(header);
            break;
        }
        case 4:
            item = std::make_unique<TDomSimpleXMLElemDocType>(nullptr);
            ParseDocType(item.get());
            break;
        }
        prolog.Append(item.release());
    }
}

// --- Entry points -----------------------------------------------------------------------------------------

namespace {

template <class Parse> void LoadNode(TStream& stream, TDomSimpleXML* parser, Parse parse) {
    TInput input(stream);
    TDomParser p(input, parser, TDomParser::FileIsUtf8(parser));
    try {
        parse(p);
    } catch (...) {
        stream.SetPosition(input.Start + static_cast<int64_t>(p.Consumed()));
        throw;
    }
    stream.SetPosition(input.Start + static_cast<int64_t>(p.Consumed()));
}

} // namespace

void TDomSimpleXMLElemClassic::LoadFromStream(TStream& stream, TDomSimpleXML* parser) {
    LoadNode(stream, parser, [this](TDomParser& p) { p.ParseElement(this); });
}
void TDomSimpleXMLElemText::LoadFromStream(TStream& stream, TDomSimpleXML* parser) {
    LoadNode(stream, parser, [this](TDomParser& p) { p.ParseText(this); });
}
void TDomSimpleXMLElemComment::LoadFromStream(TStream& stream, TDomSimpleXML* parser) {
    LoadNode(stream, parser, [this](TDomParser& p) { p.ParseComment(this); });
}
void TDomSimpleXMLElemCData::LoadFromStream(TStream& stream, TDomSimpleXML* parser) {
    LoadNode(stream, parser, [this](TDomParser& p) { p.ParseCData(this); });
}
void TDomSimpleXMLElemHeader::LoadFromStream(TStream& stream, TDomSimpleXML* parser) {
    LoadNode(stream, parser, [this](TDomParser& p) { p.ParseHeader(this); });
}
void TDomSimpleXMLElemDocType::LoadFromStream(TStream& stream, TDomSimpleXML* parser) {
    LoadNode(stream, parser, [this](TDomParser& p) { p.ParseDocType(this); });
}
void TDomSimpleXMLElemSheet::LoadFromStream(TStream& stream, TDomSimpleXML* parser) {
    LoadNode(stream, parser, [this](TDomParser& p) { p.ParseSheet(this); });
}

void TDomSimpleXMLElemsProlog::LoadFromStream(TStream& stream, TDomSimpleXML* parser) {
    Clear();
    LoadNode(stream, parser, [this](TDomParser& p) { p.ParseProlog(*this); });
}

void TDomSimpleXML::LoadFromFile(const std::string& fileName) {
    plat::TMemoryStream stream;
    stream.LoadFromFile(fileName);
    LoadFromStream(stream);
}

void TDomSimpleXML::LoadFromStream(TStream& stream) {
    // A load starts from an empty root: nothing of the previous document may survive it.
    FRoot->Clear();
    FRoot->FName.clear();
    FRoot->FNameSpace.clear();
    FRoot->FValue.clear();
    FProlog->Clear();
    TStream* source = &stream;
    std::unique_ptr<plat::TMemoryStream> decoded;
    if (OnDecodeStream) {
        decoded = std::make_unique<plat::TMemoryStream>();
        OnDecodeStream(this, stream, *decoded);
        decoded->SetPosition(0);
        source = decoded.get();
    }
    TInput input(*source);
    if (OnLoadProgress)
        OnLoadProgress(this, input.Start, input.StreamSize);
    TDomParser p(input, this, false);
    try {
        p.ParseProlog(*FProlog);
        p.ParseElement(FRoot.get());
    } catch (...) {
        source->SetPosition(input.Start + static_cast<int64_t>(p.Consumed()));
        throw;
    }
    source->SetPosition(input.Start + static_cast<int64_t>(p.Consumed()));
    if (OnLoadProgress)
        OnLoadProgress(this, source->Position(), input.StreamSize);
}

} // namespace xml
