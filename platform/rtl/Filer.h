// Readers and writers of component streams. Both stream forms (the binary "TPF0" stream and the text
// layout) are first turned into the same tree of objects and values; the reader builds components from
// that tree and the writer makes one from components. Classes take part through their published
// properties and through DefineProperties, where they declare values of their own:
//
//     void TFoo::DefineProperties(TFiler& Filer) {
//         TBase::DefineProperties(Filer);
//         Filer.DefineProperty("Style", [this](TReader& r) { FStyle = r.ReadInteger(); },
//                              [this](TWriter& w) { w.WriteInteger(FStyle); }, FStyle != 0);
//         Filer.DefineBinaryProperty("Data", [this](TStream& s) { ReadData(s); },
//                                    [this](TStream& s) { WriteData(s); }, HasData());
//     }
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Object.h"

namespace plat {

class TComponent;
class TPersistent;
class TStream;
class TReader;
class TWriter;
struct TPropInfo;

// Value tags of the binary stream.
enum TValueType : uint8_t {
    vaNull = 0, // end of a list, of properties or of children
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaString = 6, // up to 255 bytes, length byte first
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10, // 32-bit length, then the bytes
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaInt64 = 19,
    vaUTF8String = 20, // 32-bit length, then UTF-8 bytes
    vaDouble = 21,
};

// Nesting of objects, lists and collections that the readers and the writer accept.
constexpr int kMaxStreamDepth = 128;

// Names in streams (classes, components, properties, identifier values): a letter or '_' first, then
// letters, digits, '_' and '.'.
bool IsStreamIdent(std::string_view s);

// A layout may name a component of another root, "fmAbout.KvxAppStyler1": the finder answers the root (a
// form) of that name. The window layer installs one over the screen's forms; without one, and for a root
// it does not know, such references are neither read nor written.
using TGlobalComponentFinder = std::function<TComponent*(const std::string& Name)>;
void SetGlobalComponentFinder(TGlobalComponentFinder Finder);
TComponent* FindGlobalComponent(const std::string& Name);

struct TFilerProperty;

// One value of the tree.
struct TFilerValue {
    enum TKind { Int, Float, String, Ident, False, True, Nil, Binary, Set, List, Collection };
    TKind Kind = Nil;
    int64_t IntValue = 0;
    double FloatValue = 0;
    std::string Text;                  // String, Ident
    std::vector<uint8_t> Bytes;        // Binary
    std::vector<std::string> Elements; // Set
    std::vector<TFilerValue> Items;    // List; the items of a Collection (each with its Properties)
    std::vector<TFilerProperty> Properties;
    int Line = 0; // line in the text form, 0 when unknown
};

struct TFilerProperty {
    std::string Name; // dotted for sub-object properties ("Font.Size")
    TFilerValue Value;
    int Line = 0;
};

struct TFilerObject {
    std::string ClassName;
    std::string Name;
    std::vector<TFilerProperty> Properties;
    std::vector<TFilerObject> Children;
    int Line = 0;
};

class TFiler {
public:
    virtual ~TFiler() = default;
    TComponent* Root() const { return FRoot; }

    // A value in the stream's own value format: ReadData gets the reader positioned on it and must read
    // exactly one value (a list counts as one); WriteData is called when HasData and writes one value.
    virtual void DefineProperty(const std::string& Name, const std::function<void(TReader&)>& ReadData,
                                const std::function<void(TWriter&)>& WriteData, bool HasData) = 0;
    // A block of bytes, carried as a binary value.
    virtual void DefineBinaryProperty(const std::string& Name, const std::function<void(TStream&)>& ReadData,
                                      const std::function<void(TStream&)>& WriteData, bool HasData) = 0;

protected:
    TComponent* FRoot = nullptr;
};

// Builds components from a tree. Errors raise EReadError (or EClassNotFound, EMethodNotFound,
// EPropertyError, EComponentError) whose message names the line when the tree came from text.
class TReader : public TFiler {
public:
    TReader() = default;
    ~TReader() override;

    // Reads the tree's root object into Root (or into a new component of the stream's class when Root is
    // null), with its children owned by the root; resolves component references and then calls Loaded
    // on every component read, in reading order. A root created here is freed when reading fails.
    TComponent* ReadRootComponent(const TFilerObject& Tree, TComponent* Root);

    // The component that encloses the one being read (null for the root).
    TComponent* Parent() const { return FParent; }
    TComponent* Owner() const { return FRoot; }
    // Reads the current component's properties and children (TComponent::ReadState calls it).
    void ReadData(TComponent* Instance);
    // Reads name and value pairs into an object outside any component stream (a list inside a binary
    // property): published properties, sub-object paths and the object's defined properties. Without a
    // root there is nothing to resolve names against, so component references and events are refused.
    void ReadObjectProperties(TPersistent* Instance, const std::vector<TFilerProperty>& Properties);

    void DefineProperty(const std::string& Name, const std::function<void(TReader&)>& ReadData,
                        const std::function<void(TWriter&)>& WriteData, bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const std::function<void(TStream&)>& ReadData,
                              const std::function<void(TStream&)>& WriteData, bool HasData) override;

    // Values of a defined property. Each raises EReadError "Invalid property value" when the next value
    // is of another kind or missing.
    TValueType NextValue() const;
    int ReadInteger();
    int64_t ReadInt64();
    double ReadFloat();
    std::string ReadString();
    bool ReadBoolean();
    char ReadChar();
    // Identifiers; True, False and nil read as "True", "False" and "nil".
    std::string ReadIdent();
    void ReadListBegin();
    bool EndOfList() const;
    void ReadListEnd();
    void SkipValue();

private:
    struct TFixup {
        TPersistent* Instance;
        const TPropInfo* Prop;
        std::string Name;
        int Line;
    };
    struct TCursor {
        const TFilerValue* Values;
        size_t Count;
        size_t Index;
    };

    TComponent* ReadComponent(const TFilerObject& Node);
    void ReadProperty(TPersistent* Instance, const std::string& Path, const TFilerValue& Value, int Line,
                      int Depth);
    void SetPropValue(TPersistent* Instance, const TPropInfo* Prop, const TFilerValue& Value, int Line,
                      int Depth);
    void ReadCollection(class TCollection* Collection, const TFilerValue& Value, int Depth);
    void ResolveFixups();
    const TFilerValue& Take();
    const TFilerValue* Peek() const;
    [[noreturn]] void Error(const std::string& Message, int Line) const;

    const TFilerObject* FNode = nullptr;
    TComponent* FParent = nullptr;
    TComponent* FCurrent = nullptr; // the component whose properties are being read
    mutable bool FLined = false;    // the pending error already names its line
    std::vector<TComponent*> FLoaded;
    std::vector<TFixup> FFixups;
    int FDepth = 0;
    // The defined property being looked for and where its value is read from.
    const std::string* FPropName = nullptr;
    const TFilerValue* FPropValue = nullptr;
    int FPropLine = 0;
    bool FPropHandled = false;
    std::vector<TCursor> FCursors;
};

// Makes a tree of a component: its class and name, its published properties that differ from their
// defaults (and are stored), its defined properties and its children (GetChildren), nested.
class TWriter : public TFiler {
public:
    // Root decides which components are children and how references are named; null means the written
    // component itself.
    explicit TWriter(TComponent* Root = nullptr);

    TFilerObject WriteComponent(TComponent* Component);
    // The stored properties of an object as a component's would be written (defaults left out, sub-objects
    // as dotted paths, defined properties included). Without a root, component references and events are
    // left out: they could not be read back.
    std::vector<TFilerProperty> WriteObjectProperties(TPersistent* Instance);

    void DefineProperty(const std::string& Name, const std::function<void(TReader&)>& ReadData,
                        const std::function<void(TWriter&)>& WriteData, bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const std::function<void(TStream&)>& ReadData,
                              const std::function<void(TStream&)>& WriteData, bool HasData) override;

    // Values of a defined property.
    void WriteInteger(int64_t Value);
    void WriteFloat(double Value);
    void WriteString(const std::string& Value);
    void WriteBoolean(bool Value);
    void WriteChar(char Value);
    // Raises EWriteError when Value is not an identifier.
    void WriteIdent(const std::string& Value);
    void WriteListBegin();
    void WriteListEnd();

private:
    TFilerObject WriteComponentAt(TComponent* Component, int Depth);
    void WriteProperties(TPersistent* Instance, const std::string& Prefix, std::vector<TFilerProperty>& Out,
                         int Depth);
    bool WriteValue(TPersistent* Instance, const TPropInfo* Prop, TFilerValue& Value, int Depth);
    void Append(TFilerValue Value);

    std::string FPrefix;
    std::vector<TFilerProperty>* FOut = nullptr;
    std::vector<std::vector<TFilerValue>*> FTargets;
    int FDepth = 0;
};

} // namespace plat
