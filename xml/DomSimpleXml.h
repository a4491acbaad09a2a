// The XML document model of chart documents: a document with a prolog and one root element; elements
// with a name, an optional namespace prefix, a text value, ordered attributes and ordered children; a
// lenient one-pass parser and a writer with one fixed layout (CR LF line ends, escaped values).
//
// Text inside the program is UTF-8. Files are Latin-1 unless their declaration (or a UTF-8 byte-order
// mark) says UTF-8; the writer turns characters the file cannot hold into character references.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/Stream.h"

namespace xml {

using plat::Exception;
using plat::TObject;
using plat::TStream;

enum TDomSimpleXMLOption : uint8_t {
    sxoAutoCreate = 1,                   // lookups by name create a missing child or attribute
    sxoAutoIndent = 2,                   // children are written one IndentString further in
    sxoAutoEncodeValue = 4,              // full escaping on write, full unescaping on read
    sxoAutoEncodeEntity = 8,             // the five entities only (when sxoAutoEncodeValue is off)
    sxoDoNotSaveProlog = 16,             // the prolog is not written
    sxoTrimPrecedingTextWhitespace = 32, // text content starts at its first non-blank character
};
// A set of TDomSimpleXMLOption bits.
using TDomSimpleXMLOptions = uint8_t;
constexpr TDomSimpleXMLOptions DefaultSimpleXMLOptions =
    sxoAutoIndent | sxoAutoEncodeValue | sxoAutoEncodeEntity;

// Elements nested deeper than this are refused by the parser, so nothing that walks a parsed tree can
// run out of stack.
constexpr int MaxSimpleXMLDepth = 4096;

PLAT_EXCEPTION(EDomError, Exception);
// Every parse error, with one of the fixed messages below.
PLAT_EXCEPTION(EDomSimpleXMLError, EDomError);

class TDomSimpleXML;
class TDomSimpleXMLElem;
class TDomPool;
class TDomSimpleXMLElems;
class TDomSimpleXMLProps;
class TDomParser;
class TDomWriter;

using TDomOnSimpleXMLParsed = std::function<void(TObject* Sender, const std::string& Name)>;
using TDomOnValueParsed =
    std::function<void(TObject* Sender, const std::string& Name, const std::string& Value)>;
using TDomOnSimpleProgress = std::function<void(TObject* Sender, int64_t Position, int64_t Total)>;
using TDomSimpleXMLEncodeEvent = std::function<void(TObject* Sender, std::string& Value)>;
using TDomSimpleXMLEncodeStreamEvent =
    std::function<void(TObject* Sender, TStream& InStream, TStream& OutStream)>;

enum TDomSimpleXMLOperation { dxoInsert = 0, dxoRemove = 1 };

// Texts of the tree are handed out as views; a view stays valid until its text is changed or its node
// is freed.
//
// A text of the tree in 8 bytes, as a document holds a great many of them: up to 5 bytes inline, a
// longer one in a buffer that starts with its size, on the heap or, for parsed documents, in the memory
// block the parser keeps for the nodes it made (see TDomPool). Two bytes are left to the owner of the
// string (Spare): elements and attributes keep small fields there. An inline text keeps them beside its
// bytes, a long one in its buffer.
class TDomString {
public:
    static constexpr size_t kInline = 5;

    TDomString() { SetEmpty(0); }
    ~TDomString() {
        if (Owned())
            ::operator delete(Long());
    }
    TDomString(const TDomString&) = delete;
    TDomString& operator=(const TDomString&) = delete;
    // The text moves; the spare bytes stay with their owners.
    TDomString(TDomString&& Other) noexcept : TDomString() { Take(Other); }
    TDomString& operator=(TDomString&& Other) noexcept {
        if (this != &Other) {
            Release();
            Take(Other);
        }
        return *this;
    }

    std::string_view View() const {
        if (IsInline())
            return {reinterpret_cast<const char*>(FBytes + 1), static_cast<size_t>(FBytes[0] >> 1)};
        const TLong* text = Long();
        return {reinterpret_cast<const char*>(text + 1), text->Size};
    }
    bool Empty() const { return IsInline() ? FBytes[0] == kInlineTag : Long()->Size == 0; }
    // The text lies on the heap and is freed with the string.
    bool Owned() const { return (FBytes[0] & (kInlineTag | kOwnedTag)) == kOwnedTag; }
    // A copy of Value (which may lie inside this string).
    void Assign(std::string_view Value);
    // The same, a long text taken from Pool (when not null): whoever owns the string must then hold a
    // reference to Pool for as long as the string lives.
    void AssignIn(std::string_view Value, TDomPool* Pool);
    uint16_t Spare() const {
        if (!IsInline())
            return Long()->Spare;
        uint16_t value;
        std::memcpy(&value, FBytes + 6, sizeof value);
        return value;
    }
    void SetSpare(uint16_t Value) {
        if (IsInline())
            std::memcpy(FBytes + 6, &Value, sizeof Value);
        else
            Long()->Spare = Value;
    }

private:
    friend class TDomParser;
    // The buffer of a long text; the bytes follow it.
    struct TLong {
        uint32_t Size;
        uint16_t Spare;
        uint16_t Unused;
    };
    // Inline: the first byte is the tag (size * 2 + 1), the text follows, the spare bytes are the last
    // two. Long: the address of the buffer (eight-byte aligned, so the tag bit is clear), kOwnedTag
    // set when it is on the heap.
    enum : unsigned char { kInlineTag = 1, kOwnedTag = 2 };
    static_assert(std::endian::native == std::endian::little, "the tag is the lowest byte of an address");

    bool IsInline() const { return FBytes[0] & kInlineTag; }
    TLong* Long() const {
        uintptr_t word;
        std::memcpy(&word, FBytes, sizeof word);
        return reinterpret_cast<TLong*>(word & ~uintptr_t(kInlineTag | kOwnedTag));
    }
    void SetEmpty(uint16_t Spare) {
        FBytes[0] = kInlineTag;
        std::memcpy(FBytes + 6, &Spare, sizeof Spare);
    }
    // Frees a text of its own; the string is then empty and keeps its spare bytes.
    void Release() {
        if (IsInline()) {
            FBytes[0] = kInlineTag;
            return;
        }
        TLong* text = Long();
        const uint16_t spare = text->Spare;
        if (Owned())
            ::operator delete(text);
        SetEmpty(spare);
    }
    // The text of Other (this one holds none), leaving Other empty.
    void Take(TDomString& Other) {
        const uint16_t mine = Spare();
        const uint16_t theirs = Other.Spare();
        std::memcpy(FBytes, Other.FBytes, sizeof FBytes);
        SetSpare(mine);
        Other.SetEmpty(theirs);
    }
    // A short text (Size <= kInline) in place of the current one. Padded: kInline bytes may be read at
    // Data whatever its size.
    void SetShort(const char* Data, size_t Size, bool Padded) {
        Release();
        if (Padded)
            std::memcpy(FBytes + 1, Data, kInline);
        else if (Size > 0)
            std::memcpy(FBytes + 1, Data, Size);
        FBytes[0] = static_cast<unsigned char>(Size << 1 | kInlineTag);
    }
    // Takes Text (Size already set) in place of the current text; Owned: it is on the heap.
    void SetLong(TLong* Text, bool Owned) {
        const uint16_t spare = Spare();
        Release();
        Text->Spare = spare;
        Text->Unused = 0;
        auto word = reinterpret_cast<uintptr_t>(Text);
        if (Owned)
            word |= kOwnedTag;
        std::memcpy(FBytes, &word, sizeof word);
    }
    alignas(8) unsigned char FBytes[8];
};

// --- Attributes -----------------------------------------------------------------------------------------

class TDomSimpleXMLProp final : public TObject {
    PLAT_CLASS(TDomSimpleXMLProp)
public:
    std::string_view Name() const {
        const size_t nameSpace = NameSpaceSize();
        return FName.View().substr(nameSpace ? nameSpace + 1 : 0);
    }
    void SetName(std::string_view Value);
    std::string_view Value() const { return FValue.View(); }
    void SetValue(std::string_view Value);
    std::string_view NameSpace() const { return FName.View().substr(0, NameSpaceSize()); }
    void SetNameSpace(std::string_view Value);
    TDomSimpleXMLProps* Parent() const;

    // Typed readings of the value; text that does not convert gives -1, false and 0.
    int64_t IntValue() const;
    bool BoolValue() const;
    long double FloatValue() const;

private:
    friend class TDomParser;
    friend class TDomSimpleXMLProps;
    // A chunk holds up to this many attributes.
    static constexpr uint32_t kMaxIndex = (uint32_t(1) << 20) - 1;
    // Index: the attribute's place in its chunk, whose header leads to the list (see Parent).
    explicit TDomSimpleXMLProp(uint32_t Index) {
        FName.SetSpare(static_cast<uint16_t>(Index));
        FValue.SetSpare(static_cast<uint16_t>(Index >> 16));
    }
    void SetQualifiedName(std::string_view NameSpace, std::string_view Name);
    // A document holds a great many attributes, each in 24 bytes: the namespace is kept in front of the
    // name ("namespace:name"), and the place in the chunk (20 bits) and the size of the namespace
    // (12 bits) in the spare bytes of the two texts. A namespace of kLongNameSpace bytes or more ends
    // at the first ":" from there on.
    static constexpr size_t kLongNameSpace = 0xFFF;
    uint32_t Index() const { return FName.Spare() | uint32_t(FValue.Spare() & 0xF) << 16; }
    size_t NameSpaceSize() const {
        const size_t size = FValue.Spare() >> 4;
        return size < kLongNameSpace ? size : FName.View().find(':', kLongNameSpace);
    }
    void SetNameSpaceSize(size_t Size) {
        const auto stored = static_cast<uint16_t>(Size < kLongNameSpace ? Size : kLongNameSpace);
        FValue.SetSpare(static_cast<uint16_t>((FValue.Spare() & 0xF) | stored << 4));
    }
    TDomString FName;
    TDomString FValue;
};

// The attributes of one element, in the order added. Names may repeat; lookups find the first.
// Attributes never move in memory once added, so pointers to them stay valid until Clear.
// Attributes exist only inside such a list (see Add).
class TDomSimpleXMLProps : public TObject {
    PLAT_CLASS(TDomSimpleXMLProps)
public:
    explicit TDomSimpleXMLProps(TDomSimpleXMLElem* Parent) : FParent(Parent) {}
    ~TDomSimpleXMLProps() override;
    TDomSimpleXMLProps(const TDomSimpleXMLProps&) = delete;
    TDomSimpleXMLProps& operator=(const TDomSimpleXMLProps&) = delete;

    TDomSimpleXMLProp* Add(std::string_view Name, std::string_view Value);
    // The value in decimal.
    TDomSimpleXMLProp* AddInteger(std::string_view Name, int64_t Value);
    // "-1" for true, "0" for false.
    TDomSimpleXMLProp* AddBoolean(std::string_view Name, bool Value);

    int Count() const { return FCount; }
    // Null while nothing was ever added; otherwise an index outside 0..Count()-1 raises
    // EStringListError "List index out of bounds (%d)".
    TDomSimpleXMLProp* Item(int Index) const;
    // The first attribute of that name (case-insensitive), or null; with sxoAutoCreate in the owning
    // document's options a missing one is added (with Value) and returned.
    TDomSimpleXMLProp* ItemByName(std::string_view Name);
    TDomSimpleXMLProp* ItemByNameOrCreate(std::string_view Name, std::string_view Value);
    // The value of ItemByNameOrCreate(Name, Default), or Default when there is none.
    std::string ValueOf(std::string_view Name, std::string_view Default = {});

    virtual void Clear();
    TDomSimpleXMLElem* Parent() const { return FParent; }

private:
    friend class TDomParser;
    friend class TDomWriter;
    friend class TDomSimpleXMLElem;
    friend class TDomSimpleXMLProp;
    struct TChunk;
    TDomSimpleXMLProp* Find(std::string_view Name) const;
    // An attribute is about to change: its text will be its own, and the element changes with it.
    void Changed();
    void FreeItems();
    // A new, empty attribute; the chunk for it holds at least Reserve of them (taken from Pool when given).
    TDomSimpleXMLProp* AppendEmpty(int Reserve, TDomPool* Pool);
    // Appends the chunk at Memory, taken from Pool, whose Count attributes the caller has made in place
    // behind the chunk's header. ElementPool: the element of this list lives in Pool (and holds a
    // reference to it); otherwise the chunk's bytes (TChunk::Bytes) end with room for a reference.
    inline void AdoptChunk(void* Memory, int Count, TDomPool* Pool,
                           bool ElementPool); // in DomSimpleXmlPool.h
    template <class F> void ForEach(F Visit) const;

    TDomSimpleXMLElem* FParent;
    TChunk* FFirst = nullptr;
    int FCount = 0;
    bool FCreated = false;
    // Some attribute may hold a text of its own on the heap; without one, Clear need not visit them.
    bool FOwnsTexts = false;
};

// --- Elements ---------------------------------------------------------------------------------------------

// The base of every node of the tree. An element owns its children and attributes.
class TDomSimpleXMLElem : public TObject {
    PLAT_CLASS(TDomSimpleXMLElem)
public:
    // Frees the children and attributes. An element that sits in a child list leaves it first.
    ~TDomSimpleXMLElem() override;
    TDomSimpleXMLElem(const TDomSimpleXMLElem&) = delete;
    TDomSimpleXMLElem& operator=(const TDomSimpleXMLElem&) = delete;

    // A new, empty element of the same class.
    virtual TDomSimpleXMLElem* CreateNew(TDomSimpleXMLElem* AParent) const = 0;
    // Copies name (when not empty), value, attributes (without their namespaces) and, as new elements
    // of their own classes, all children. A null source only clears.
    virtual void Assign(const TDomSimpleXMLElem* Source);
    // Frees the children and attributes; name and value stay.
    virtual void Clear();
    // Parses one node of this kind from the stream's position and leaves the stream after it.
    virtual void LoadFromStream(TStream& Stream, TDomSimpleXML* Parser) = 0;
    // Writes the node with the given indentation.
    virtual void SaveToStream(TStream& Stream, const std::string& Level, TDomSimpleXML* Parser) = 0;
    // NameSpace:Name, or Name without a namespace.
    virtual std::string FullName() const;

    std::string_view Name() const {
        const size_t nameSpace = NameSpaceSize();
        return FName.View().substr(nameSpace ? nameSpace + 1 : 0);
    }
    // An empty name or the current name changes nothing, so a name never becomes empty again.
    void SetName(std::string_view Value);
    TDomSimpleXMLElem* Parent() const { return FParent; }
    std::string_view NameSpace() const { return FName.View().substr(0, NameSpaceSize()); }
    void SetNameSpace(std::string_view Value);
    // The text value as plain text; escaping happens only in files.
    std::string_view Value() const { return FValue.View(); }
    void SetValue(std::string_view Value);

    // Typed readings: -1, false and 0 for text that does not convert (floats in the user's locale).
    int64_t IntValue() const;
    void SetIntValue(int64_t Value);
    bool BoolValue() const;
    // "-1" or "0".
    void SetBoolValue(bool Value);
    long double FloatValue() const;
    // 15 significant digits with the user's decimal separator.
    void SetFloatValue(double Value);

    // The number of elements in this subtree, this one included.
    int ChildsCount() const;
    // Created empty on first use; never null.
    TDomSimpleXMLElems& Items();
    TDomSimpleXMLProps& Properties() { return FProps; }
    const TDomSimpleXMLProps& Properties() const { return FProps; }
    bool HasItems() const;

    // The document field itself, and the document of the whole tree (found at its topmost element).
    TDomSimpleXML* SimpleXML() const { return FSimpleXML; }
    TDomSimpleXML* GetSimpleXML() const;
    // The child list the element sits in, or null.
    TDomSimpleXMLElems* Container() const { return FContainer; }

    // Elements live on the heap or in a parser's block (a header word before the object says which);
    // delete works for both.
    static void* operator new(size_t Size);
    static inline void* operator new(size_t Size, TDomPool* Pool); // in DomSimpleXmlPool.h
    static void operator delete(void* Memory);
    static void operator delete(void* Memory, TDomPool* Pool);

protected:
    enum class TKind : uint8_t { Classic, Text, Comment, CData, Header, DocType, Sheet };
    // Name empty; the document is taken over from the parent.
    TDomSimpleXMLElem(TDomSimpleXMLElem* AParent, TKind Kind)
        : FParent(AParent), FProps(this), FSimpleXML(AParent ? AParent->FSimpleXML : nullptr) {
        FValue.SetSpare(static_cast<uint16_t>(Kind));
    }
    // Copies this node's own data (not its children) from Source.
    virtual void AssignData(const TDomSimpleXMLElem& Source);

private:
    friend class TDomSimpleXML;
    friend class TDomSimpleXMLElems;
    friend class TDomSimpleXMLElemsProlog;
    friend class TDomSimpleXMLProps;
    friend class TDomParser;
    friend class TDomWriter;

    bool IsInSubtree(const TDomSimpleXMLElem* Other) const;
    void FreeChildren();
    // Called before the element or its attributes change: the child list it sits in can no longer be
    // freed in one step (see TDomSimpleXMLElems::FLeafPool).
    inline void MarkChanged(); // in DomSimpleXmlPool.h
    void SetQualifiedName(std::string_view NameSpace, std::string_view Name);

    // A document holds a great many elements: "namespace:name" is one text, and the size of the
    // namespace (in FName's spare bytes) and kind and flags (in FValue's) take no room of their own. A
    // namespace of kLongNameSpace bytes or more ends at the first ":" from there on.
    static constexpr size_t kLongNameSpace = 0xFFFF;
    size_t NameSpaceSize() const {
        const size_t size = FName.Spare();
        return size < kLongNameSpace ? size : FName.View().find(':', kLongNameSpace);
    }
    void SetNameSpaceSize(size_t Size) {
        FName.SetSpare(static_cast<uint16_t>(Size < kLongNameSpace ? Size : kLongNameSpace));
    }
    enum : uint16_t { kKindBits = 7, kOwnedByDocument = 8, kKeyed = 16 };
    TKind Kind() const { return static_cast<TKind>(FValue.Spare() & kKindBits); }
    // The root and the prolog items belong to their document and cannot be moved into a child list.
    bool OwnedByDocument() const { return FValue.Spare() & kOwnedByDocument; }
    void SetOwnedByDocument() { FValue.SetSpare(FValue.Spare() | kOwnedByDocument); }
    // The key its child list finds it by is not its name (see TDomSimpleXMLElems::FKeys).
    bool Keyed() const { return FValue.Spare() & kKeyed; }
    void SetKeyed(bool Value) {
        FValue.SetSpare(static_cast<uint16_t>(Value ? FValue.Spare() | kKeyed : FValue.Spare() & ~kKeyed));
    }

    TDomString FName;
    TDomSimpleXMLElem* FParent;
    std::unique_ptr<TDomSimpleXMLElems> FItems;
    TDomSimpleXMLProps FProps;
    TDomString FValue;
    TDomSimpleXML* FSimpleXML = nullptr;
    TDomSimpleXMLElems* FContainer = nullptr;
};

// An ordinary element (the root is one).
class TDomSimpleXMLElemClassic : public TDomSimpleXMLElem {
    PLAT_CLASS(TDomSimpleXMLElemClassic)
public:
    explicit TDomSimpleXMLElemClassic(TDomSimpleXMLElem* AParent)
        : TDomSimpleXMLElem(AParent, TKind::Classic) {}
    TDomSimpleXMLElem* CreateNew(TDomSimpleXMLElem* AParent) const override;
    void LoadFromStream(TStream& Stream, TDomSimpleXML* Parser) override;
    void SaveToStream(TStream& Stream, const std::string& Level, TDomSimpleXML* Parser) override;
};

// Character data between child elements; the value is the text.
class TDomSimpleXMLElemText : public TDomSimpleXMLElem {
    PLAT_CLASS(TDomSimpleXMLElemText)
public:
    explicit TDomSimpleXMLElemText(TDomSimpleXMLElem* AParent) : TDomSimpleXMLElem(AParent, TKind::Text) {}
    TDomSimpleXMLElem* CreateNew(TDomSimpleXMLElem* AParent) const override;
    void LoadFromStream(TStream& Stream, TDomSimpleXML* Parser) override;
    void SaveToStream(TStream& Stream, const std::string& Level, TDomSimpleXML* Parser) override;
};

class TDomSimpleXMLElemComment : public TDomSimpleXMLElem {
    PLAT_CLASS(TDomSimpleXMLElemComment)
public:
    explicit TDomSimpleXMLElemComment(TDomSimpleXMLElem* AParent)
        : TDomSimpleXMLElem(AParent, TKind::Comment) {}
    TDomSimpleXMLElem* CreateNew(TDomSimpleXMLElem* AParent) const override;
    void LoadFromStream(TStream& Stream, TDomSimpleXML* Parser) override;
    void SaveToStream(TStream& Stream, const std::string& Level, TDomSimpleXML* Parser) override;
};

class TDomSimpleXMLElemCData : public TDomSimpleXMLElem {
    PLAT_CLASS(TDomSimpleXMLElemCData)
public:
    explicit TDomSimpleXMLElemCData(TDomSimpleXMLElem* AParent) : TDomSimpleXMLElem(AParent, TKind::CData) {}
    TDomSimpleXMLElem* CreateNew(TDomSimpleXMLElem* AParent) const override;
    void LoadFromStream(TStream& Stream, TDomSimpleXML* Parser) override;
    void SaveToStream(TStream& Stream, const std::string& Level, TDomSimpleXML* Parser) override;
};

// The XML declaration. Parsed ones have an empty name; the one the writer adds is named "xml".
class TDomSimpleXMLElemHeader : public TDomSimpleXMLElem {
    PLAT_CLASS(TDomSimpleXMLElemHeader)
public:
    explicit TDomSimpleXMLElemHeader(TDomSimpleXMLElem* AParent)
        : TDomSimpleXMLElem(AParent, TKind::Header) {}
    TDomSimpleXMLElem* CreateNew(TDomSimpleXMLElem* AParent) const override;
    void LoadFromStream(TStream& Stream, TDomSimpleXML* Parser) override;
    void SaveToStream(TStream& Stream, const std::string& Level, TDomSimpleXML* Parser) override;

    bool Standalone() const { return FStandalone; }
    void SetStandalone(bool Value) { FStandalone = Value; }
    const std::string& Encoding() const { return FEncoding; }
    void SetEncoding(std::string_view Value) { FEncoding = Value; }
    const std::string& Version() const { return FVersion; }
    void SetVersion(std::string_view Value) { FVersion = Value; }

protected:
    void AssignData(const TDomSimpleXMLElem& Source) override;

private:
    friend class TDomParser;
    bool FStandalone = false;
    std::string FEncoding = "iso-8859-1";
    std::string FVersion = "1.0";
};

// A DOCTYPE declaration; the value is its body without surrounding blanks.
class TDomSimpleXMLElemDocType : public TDomSimpleXMLElem {
    PLAT_CLASS(TDomSimpleXMLElemDocType)
public:
    explicit TDomSimpleXMLElemDocType(TDomSimpleXMLElem* AParent)
        : TDomSimpleXMLElem(AParent, TKind::DocType) {}
    TDomSimpleXMLElem* CreateNew(TDomSimpleXMLElem* AParent) const override;
    void LoadFromStream(TStream& Stream, TDomSimpleXML* Parser) override;
    void SaveToStream(TStream& Stream, const std::string& Level, TDomSimpleXML* Parser) override;
};

// An xml-stylesheet instruction; its pseudo-attributes are the Properties.
class TDomSimpleXMLElemSheet : public TDomSimpleXMLElem {
    PLAT_CLASS(TDomSimpleXMLElemSheet)
public:
    explicit TDomSimpleXMLElemSheet(TDomSimpleXMLElem* AParent) : TDomSimpleXMLElem(AParent, TKind::Sheet) {}
    TDomSimpleXMLElem* CreateNew(TDomSimpleXMLElem* AParent) const override;
    void LoadFromStream(TStream& Stream, TDomSimpleXML* Parser) override;
    void SaveToStream(TStream& Stream, const std::string& Level, TDomSimpleXML* Parser) override;
};

// --- Child lists ------------------------------------------------------------------------------------------

// The children of one element, in order. The list owns them; lookups by name ignore case and find the
// first match.
class TDomSimpleXMLElems : public TObject {
    PLAT_CLASS(TDomSimpleXMLElems)
public:
    explicit TDomSimpleXMLElems(TDomSimpleXMLElem* AParent) : FParent(AParent) {}
    ~TDomSimpleXMLElems() override;
    TDomSimpleXMLElems(const TDomSimpleXMLElems&) = delete;
    TDomSimpleXMLElems& operator=(const TDomSimpleXMLElems&) = delete;

    // A new ordinary element with that name and value, appended.
    TDomSimpleXMLElemClassic* Add(std::string_view Name, std::string_view Value = {});
    // Appends an existing element (nothing for null) and returns it.
    TDomSimpleXMLElem* AddElement(TDomSimpleXMLElem* Value) { return AddChild(Value); }
    // Appends Value, taking it out of the list it sat in; this list's element becomes its parent and
    // the list owns it. The root or a prolog item of a document, and an element that would end up
    // below itself, raise EDomError.
    TDomSimpleXMLElem* AddChild(TDomSimpleXMLElem* Value);
    // dxoInsert records this list as the element's container; dxoRemove takes it out of this list
    // (without freeing it) when this list is its container.
    void Notify(TDomSimpleXMLElem* Value, TDomSimpleXMLOperation Operation);
    // Gives Value, when it is in this list, the key Name: the name ItemByName finds it by. An element
    // gets its name as key when it is added, and a new one when it is renamed while it has a name and
    // sits in its parent's list (TDomSimpleXMLElem::SetName); otherwise the key stays what it was.
    void Rename(TDomSimpleXMLElem* Value, std::string_view Name);

    int Count() const { return static_cast<int>(FList.size()); }
    // Null when nothing was ever added or when Index > Count(); Index == Count() or a negative index
    // raises EStringListError "List index out of bounds (%d)".
    TDomSimpleXMLElem* Item(int Index) const;
    // The first child of that name (case-insensitive); with sxoAutoCreate in the document's options a
    // missing child is added (with Value) and returned; otherwise null.
    TDomSimpleXMLElem* ItemByName(std::string_view Name) { return ItemByNameOrCreate(Name, {}); }
    TDomSimpleXMLElem* ItemByNameOrCreate(std::string_view Name, std::string_view Value);

    // Frees every child.
    virtual void Clear();
    TDomSimpleXMLElem* Parent() const { return FParent; }

private:
    friend class TDomSimpleXMLElem;
    friend class TDomParser;
    friend class TDomWriter;
    inline void Append(TDomSimpleXMLElem* Value); // in DomSimpleXmlPool.h
    // Frees the children of a list whose FLeafPool is set without visiting them.
    void ReleaseLeaves();
    std::string_view KeyOf(const TDomSimpleXMLElem* Value) const {
        return Value->Keyed() ? std::string_view(FKeys->at(Value)) : Value->Name();
    }
    // Records Key for Value, or forgets it when it is Value's name.
    void SetKey(TDomSimpleXMLElem* Value, std::string_view Key);
    void ForgetKeys();

    TDomSimpleXMLElem* FParent;
    std::vector<TDomSimpleXMLElem*> FList;
    // Set by the parser when every child is a leaf element it made in this pool with nothing of its own
    // on the heap (texts and attributes all in the pool): together they hold FLeafRefs references to
    // the pool, and the list is freed by dropping those, without a visit to each child. Any change to
    // the list or to one of its children clears it.
    TDomPool* FLeafPool = nullptr;
    int64_t FLeafRefs = 0;
    // The keys that are not their element's name; almost always none, so the list holds no key of
    // its own for each child.
    std::unique_ptr<std::unordered_map<const TDomSimpleXMLElem*, std::string>> FKeys;
    bool FCreated = false;
};

// The items before the root: declaration, comments, DOCTYPE, stylesheet instruction. Owned, no parent.
class TDomSimpleXMLElemsProlog : public TObject {
    PLAT_CLASS(TDomSimpleXMLElemsProlog)
public:
    TDomSimpleXMLElemsProlog() = default;
    ~TDomSimpleXMLElemsProlog() override;
    TDomSimpleXMLElemsProlog(const TDomSimpleXMLElemsProlog&) = delete;
    TDomSimpleXMLElemsProlog& operator=(const TDomSimpleXMLElemsProlog&) = delete;

    int Count() const { return static_cast<int>(FList.size()); }
    // Raises EStringListError "List index out of bounds (%d)" outside 0..Count()-1.
    TDomSimpleXMLElem* Item(int Index) const;
    void Clear();
    // The first declaration; when there is none, a default one named "xml" is put in front of the other
    // items and returned.
    TDomSimpleXMLElemHeader* FindHeader();
    void LoadFromStream(TStream& Stream, TDomSimpleXML* Parser);
    // Writes the declaration (FindHeader) first, then the other items in order.
    void SaveToStream(TStream& Stream, TDomSimpleXML* Parser);

private:
    friend class TDomParser;
    friend class TDomSimpleXML;
    void Append(TDomSimpleXMLElem* Value);
    TDomSimpleXMLElemHeader* Header() const;
    void WriteItems(TDomWriter& Writer);
    std::vector<TDomSimpleXMLElem*> FList;
};

// --- Document ---------------------------------------------------------------------------------------------

class TDomSimpleXML : public TObject {
    PLAT_CLASS(TDomSimpleXML)
public:
    TDomSimpleXML();
    ~TDomSimpleXML() override;
    TDomSimpleXML(const TDomSimpleXML&) = delete;
    TDomSimpleXML& operator=(const TDomSimpleXML&) = delete;

    const std::string& FileName() const { return FFileName; }
    // Stores the name, then loads that file.
    void SetFileName(const std::string& Value);
    TDomSimpleXMLOptions Options() const { return FOptions; }
    void SetOptions(TDomSimpleXMLOptions Value) { FOptions = Value; }
    // Created with the document, never replaced: loading clears and refills it.
    TDomSimpleXMLElemClassic* Root() const { return FRoot.get(); }
    TDomSimpleXMLElemsProlog& Prolog() { return *FProlog; }
    const std::string& IndentString() const { return FIndentString; }
    // Taken only when every character is a blank or a tab (the empty text included); anything else is
    // ignored.
    void SetIndentString(std::string_view Value);

    // Reads the whole file, then parses it. Parse errors raise EDomSimpleXMLError; the document then
    // holds what was read up to the error.
    void LoadFromFile(const std::string& AFileName);
    // Parses from the stream's position and leaves the stream after the root element.
    void LoadFromStream(TStream& Stream);
    // Writes a temporary file beside the target and renames it over the target, so a failed save
    // leaves the old file whole.
    void SaveToFile(const std::string& AFileName);
    void SaveToStream(TStream& Stream);

    // Elements, attributes and texts added to the document from now on come from one pool of large
    // blocks, freed with the last of them: a document that is built once and written costs no
    // allocation per node. The memory of nodes removed and texts replaced comes back only with the
    // pool, so a document edited for long should not use it.
    void UseBuildPool();
    TDomPool* BuildPool() const { return FBuildPool; }

    // Escaping of a value on its way into a file (OnEncodeValue first), and unescaping on its way out
    // of one (OnDecodeValue last). For speed the parser and the writer do the same themselves when
    // the document is of one of the classes above and the event is not set; a class that overrides
    // these is always called.
    virtual void EncodeValue(std::string& Value);
    virtual void DecodeValue(std::string& Value);

    void DoLoadProgress(int64_t Position, int64_t Total);
    // One more node written.
    void DoSaveProgress();
    void DoTagParsed(const std::string& Name);
    void DoValueParsed(const std::string& Name, const std::string& Value);

    TDomOnSimpleXMLParsed OnTagParsed;
    TDomOnValueParsed OnValueParsed;
    TDomOnSimpleProgress OnLoadProgress;
    TDomOnSimpleProgress OnSaveProgress;
    TDomSimpleXMLEncodeEvent OnEncodeValue;
    TDomSimpleXMLEncodeEvent OnDecodeValue;
    TDomSimpleXMLEncodeStreamEvent OnDecodeStream;
    TDomSimpleXMLEncodeStreamEvent OnEncodeStream;

private:
    friend class TDomParser;
    friend class TDomWriter;
    bool FileIsUtf8() const;

    std::string FFileName;
    TDomSimpleXMLOptions FOptions = DefaultSimpleXMLOptions;
    std::unique_ptr<TDomSimpleXMLElemClassic> FRoot;
    std::unique_ptr<TDomSimpleXMLElemsProlog> FProlog;
    int64_t FSaveTotal = 0;
    int64_t FSaveCount = 0;
    std::string FIndentString = "  ";
    TDomPool* FBuildPool = nullptr;
};

// The document class the component creates; it adds nothing.
class TDomHackSimpleXML : public TDomSimpleXML {
    PLAT_CLASS(TDomHackSimpleXML)
};

// --- Text helpers -----------------------------------------------------------------------------------------

// The five entities, and every character from U+0080 up as "&#xHH;" (at least two upper-case hex
// digits). The result is plain ASCII.
std::string EncodeXmlText(std::string_view Value);
// The five entities only; other characters are kept.
std::string EncodeEntities(std::string_view Value);
// The five entities in any letter case and character references ("&#233;", "&#xE9;"); anything
// else, malformed references included, stays as it is.
void DecodeXmlText(std::string& Value);
void DecodeEntities(std::string& Value);

// A number (other than 0 is true) or the words True and False in any letter case.
bool TryTextToBoolean(std::string_view Value, bool& Result);
bool TextToBoolean(std::string_view Value, bool Default);
// "-1" or "0".
std::string BooleanToText(bool Value);
// Spaces at both ends, an optional sign, digits with at most one decimal separator of the user's locale,
// an optional exponent; the range of a long double.
bool TryTextToExtended(std::string_view Value, long double& Result);
// Leading spaces, an optional sign, decimal digits or hexadecimal ones after "$", "0x" or "0X";
// nothing after the digits; the signed 64-bit range.
bool TryTextToInt64(std::string_view Value, int64_t& Result);

} // namespace xml
