#include "platform/rtl/ComponentStream.h"

#include <cstring>
#include <limits>

#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/Stream.h"

namespace plat {

namespace {

constexpr char kSignature[4] = {'T', 'P', 'F', '0'};

// Reads from the stream but never beyond the bytes it holds, so that a damaged length cannot make us
// allocate or read what is not there.
class TBinaryIn {
public:
    explicit TBinaryIn(TStream& s) : FStream(s) {
        const int64_t size = s.Size();
        const int64_t pos = s.Position();
        FRemaining = size > pos ? size - pos : 0;
    }

    [[noreturn]] void Fail(const std::string& what) const { throw EReadError(what); }

    void Bytes(void* buffer, int64_t count) {
        if (count < 0 || count > FRemaining)
            Fail("Unexpected end of component stream");
        FStream.ReadBuffer(buffer, count);
        FRemaining -= count;
    }
    uint8_t Byte() {
        uint8_t b = 0;
        Bytes(&b, 1);
        return b;
    }
    uint64_t Unsigned(int size) {
        uint8_t b[8] = {};
        Bytes(b, size);
        uint64_t v = 0;
        for (int i = size - 1; i >= 0; --i)
            v = (v << 8) | b[i];
        return v;
    }
    int32_t Int32() { return static_cast<int32_t>(static_cast<uint32_t>(Unsigned(4))); }
    std::string Chars(int64_t count) {
        if (count < 0 || count > FRemaining)
            Fail("Unexpected end of component stream");
        std::string s(static_cast<size_t>(count), '\0');
        Bytes(s.data(), count);
        return s;
    }
    std::string ShortString() { return Chars(Byte()); }
    std::string Name(const char* what, bool allowEmpty, bool allowDots) {
        std::string s = ShortString();
        if (s.empty() && allowEmpty)
            return s;
        if (!IsStreamIdent(s) || (!allowDots && s.find('.') != std::string::npos))
            Fail(std::string("Invalid ") + what + " in component stream");
        return s;
    }
    int64_t Length() {
        const int32_t n = Int32();
        if (n < 0)
            Fail("Invalid length in component stream");
        return n;
    }

    void Enter() {
        if (++FDepth > kMaxStreamDepth)
            Fail("Component stream nested too deeply");
    }
    void Leave() { --FDepth; }

    TFilerObject Object(uint8_t classLength) {
        Enter();
        TFilerObject obj;
        obj.ClassName = Chars(classLength);
        if (!IsStreamIdent(obj.ClassName) || obj.ClassName.find('.') != std::string::npos)
            Fail("Invalid class name in component stream");
        obj.Name = Name("component name", true, false);
        Properties(obj.Properties);
        while (uint8_t n = Byte())
            obj.Children.push_back(Object(n));
        Leave();
        return obj;
    }

    void Properties(std::vector<TFilerProperty>& out) {
        while (true) {
            const uint8_t n = Byte();
            if (n == 0)
                return;
            TFilerProperty p;
            p.Name = Chars(n);
            if (!IsStreamIdent(p.Name))
                Fail("Invalid property name in component stream");
            p.Value = Value(Byte());
            out.push_back(std::move(p));
        }
    }

    TFilerValue Value(uint8_t tag) {
        TFilerValue v;
        switch (tag) {
        case vaList:
            Enter();
            v.Kind = TFilerValue::List;
            while (uint8_t t = Byte())
                v.Items.push_back(Value(t));
            Leave();
            break;
        case vaInt8:
            v.Kind = TFilerValue::Int;
            v.IntValue = static_cast<int8_t>(Unsigned(1));
            break;
        case vaInt16:
            v.Kind = TFilerValue::Int;
            v.IntValue = static_cast<int16_t>(Unsigned(2));
            break;
        case vaInt32:
            v.Kind = TFilerValue::Int;
            v.IntValue = static_cast<int32_t>(Unsigned(4));
            break;
        case vaInt64:
            v.Kind = TFilerValue::Int;
            v.IntValue = static_cast<int64_t>(Unsigned(8));
            break;
        case vaDouble: {
            const uint64_t bits = Unsigned(8);
            v.Kind = TFilerValue::Float;
            std::memcpy(&v.FloatValue, &bits, sizeof bits);
            break;
        }
        case vaString:
            v.Kind = TFilerValue::String;
            v.Text = ShortString();
            break;
        case vaLString:
        case vaUTF8String:
            v.Kind = TFilerValue::String;
            v.Text = Chars(Length());
            break;
        case vaIdent:
            v.Kind = TFilerValue::Ident;
            v.Text = Name("identifier", false, true);
            break;
        case vaFalse:
            v.Kind = TFilerValue::False;
            break;
        case vaTrue:
            v.Kind = TFilerValue::True;
            break;
        case vaNil:
            v.Kind = TFilerValue::Nil;
            break;
        case vaBinary: {
            v.Kind = TFilerValue::Binary;
            const int64_t n = Length();
            if (n > FRemaining)
                Fail("Unexpected end of component stream");
            v.Bytes.resize(static_cast<size_t>(n));
            Bytes(v.Bytes.data(), n);
            break;
        }
        case vaSet:
            v.Kind = TFilerValue::Set;
            while (true) {
                std::string e = ShortString();
                if (e.empty())
                    break;
                if (!IsStreamIdent(e) || e.find('.') != std::string::npos)
                    Fail("Invalid set element in component stream");
                v.Elements.push_back(std::move(e));
            }
            break;
        case vaCollection:
            Enter();
            v.Kind = TFilerValue::Collection;
            while (uint8_t t = Byte()) {
                // An item may be preceded by its order number, which this reader does not need.
                if (t == vaInt8 || t == vaInt16 || t == vaInt32) {
                    Unsigned(t == vaInt8 ? 1 : t == vaInt16 ? 2 : 4);
                    t = Byte();
                }
                if (t != vaList)
                    Fail("Invalid collection item in component stream");
                TFilerValue item;
                item.Kind = TFilerValue::List;
                Enter();
                Properties(item.Properties);
                Leave();
                v.Items.push_back(std::move(item));
            }
            Leave();
            break;
        default:
            Fail("Invalid value type " + std::to_string(tag) + " in component stream");
        }
        return v;
    }

private:
    TStream& FStream;
    int64_t FRemaining = 0;
    int FDepth = 0;
};

class TBinaryOut {
public:
    std::string Data;

    void Byte(uint8_t b) { Data += static_cast<char>(b); }
    void Unsigned(uint64_t v, int size) {
        for (int i = 0; i < size; ++i)
            Byte(static_cast<uint8_t>(v >> (8 * i)));
    }
    void ShortString(const std::string& s) {
        if (s.size() > 255)
            throw EWriteError("Name too long for the component stream: " + s.substr(0, 32) + "...");
        Byte(static_cast<uint8_t>(s.size()));
        Data += s;
    }
    void Name(const std::string& s, bool allowDots) {
        if (!IsStreamIdent(s) || (!allowDots && s.find('.') != std::string::npos))
            throw EWriteError("'" + s + "' cannot be written as a name");
        ShortString(s);
    }
    void Length(size_t n) {
        if (n > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
            throw EWriteError("Value too large for the component stream");
        Unsigned(n, 4);
    }

    void Object(const TFilerObject& obj, int depth) {
        if (depth >= kMaxStreamDepth)
            throw EWriteError("Components nested too deeply");
        Name(obj.ClassName, false);
        if (obj.Name.empty())
            Byte(0);
        else
            Name(obj.Name, false);
        Properties(obj.Properties, depth);
        for (const TFilerObject& child : obj.Children)
            Object(child, depth + 1);
        Byte(vaNull);
    }

    void Properties(const std::vector<TFilerProperty>& props, int depth) {
        for (const TFilerProperty& p : props) {
            Name(p.Name, true);
            Value(p.Value, depth);
        }
        Byte(vaNull);
    }

    void Value(const TFilerValue& v, int depth) {
        if (depth >= kMaxStreamDepth)
            throw EWriteError("Values nested too deeply");
        switch (v.Kind) {
        case TFilerValue::Int: {
            const int64_t i = v.IntValue;
            if (i >= INT8_MIN && i <= INT8_MAX) {
                Byte(vaInt8);
                Unsigned(static_cast<uint64_t>(i), 1);
            } else if (i >= INT16_MIN && i <= INT16_MAX) {
                Byte(vaInt16);
                Unsigned(static_cast<uint64_t>(i), 2);
            } else if (i >= INT32_MIN && i <= INT32_MAX) {
                Byte(vaInt32);
                Unsigned(static_cast<uint64_t>(i), 4);
            } else {
                Byte(vaInt64);
                Unsigned(static_cast<uint64_t>(i), 8);
            }
            break;
        }
        case TFilerValue::Float: {
            uint64_t bits = 0;
            std::memcpy(&bits, &v.FloatValue, sizeof bits);
            Byte(vaDouble);
            Unsigned(bits, 8);
            break;
        }
        case TFilerValue::String: {
            bool ascii = v.Text.size() <= 255;
            for (size_t i = 0; ascii && i < v.Text.size(); ++i)
                ascii = static_cast<unsigned char>(v.Text[i]) < 0x80;
            if (ascii) {
                Byte(vaString);
                ShortString(v.Text);
            } else {
                Byte(vaUTF8String);
                Length(v.Text.size());
                Data += v.Text;
            }
            break;
        }
        case TFilerValue::Ident:
            Byte(vaIdent);
            Name(v.Text, true);
            break;
        case TFilerValue::False:
            Byte(vaFalse);
            break;
        case TFilerValue::True:
            Byte(vaTrue);
            break;
        case TFilerValue::Nil:
            Byte(vaNil);
            break;
        case TFilerValue::Binary:
            Byte(vaBinary);
            Length(v.Bytes.size());
            Data.append(reinterpret_cast<const char*>(v.Bytes.data()), v.Bytes.size());
            break;
        case TFilerValue::Set:
            Byte(vaSet);
            for (const std::string& e : v.Elements)
                Name(e, false);
            Byte(0);
            break;
        case TFilerValue::List:
            Byte(vaList);
            for (const TFilerValue& item : v.Items)
                Value(item, depth + 1);
            Byte(vaNull);
            break;
        case TFilerValue::Collection:
            Byte(vaCollection);
            for (const TFilerValue& item : v.Items) {
                Byte(vaList);
                Properties(item.Properties, depth + 1);
            }
            Byte(vaNull);
            break;
        }
    }
};

} // namespace

TFilerObject ReadObjectBinary(TStream& Input) {
    TBinaryIn in(Input);
    char signature[4];
    in.Bytes(signature, 4);
    if (std::memcmp(signature, kSignature, 4) != 0)
        throw EReadError("Invalid stream format");
    const uint8_t n = in.Byte();
    if (n == 0)
        in.Fail("Invalid class name in component stream");
    return in.Object(n);
}

void WriteObjectBinary(TStream& Output, const TFilerObject& Tree) {
    TBinaryOut out;
    out.Data.append(kSignature, 4);
    out.Object(Tree, 0);
    Output.WriteString(out.Data);
}

void WriteComponent(TStream& Stream, TComponent* Component, TComponent* Root) {
    TWriter writer(Root);
    WriteObjectBinary(Stream, writer.WriteComponent(Component));
}

TComponent* ReadComponentFromStream(TStream& Stream, TComponent* Root) {
    const TFilerObject tree = ReadObjectBinary(Stream);
    TReader reader;
    return reader.ReadRootComponent(tree, Root);
}

void WritePropertyList(TStream& Output, TPersistent* Instance) {
    TWriter writer;
    const std::vector<TFilerProperty> props = writer.WriteObjectProperties(Instance);
    TBinaryOut out;
    out.Byte(vaList);
    out.Properties(props, 0);
    Output.WriteString(out.Data);
}

void ReadPropertyList(TStream& Input, TPersistent* Instance) {
    TBinaryIn in(Input);
    if (in.Byte() != vaList)
        in.Fail("Invalid property list in component stream");
    std::vector<TFilerProperty> props;
    in.Enter();
    in.Properties(props);
    in.Leave();
    TReader reader;
    reader.ReadObjectProperties(Instance, props);
}

void ObjectBinaryToText(TStream& Input, TStream& Output) {
    Output.WriteString(ObjectTreeToText(ReadObjectBinary(Input)));
}

void ObjectTextToBinary(TStream& Input, TStream& Output) {
    const int64_t size = Input.Size();
    const int64_t pos = Input.Position();
    std::string text(static_cast<size_t>(size > pos ? size - pos : 0), '\0');
    if (!text.empty())
        Input.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
    WriteObjectBinary(Output, ParseObjectText(text));
}

} // namespace plat
