// libFuzzer target for the component stream readers. The first byte picks the reader, the rest is its
// input: 0 a binary stream read into components, 1 a layout text read into components, 2 binary to text,
// 3 text to binary, 4 a property list read into a widget, 5 and 6 a layout text or binary stream read
// into an existing form. Whatever reads is written again, and the written form must read again: the
// writers must never produce what the readers refuse.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/rtl/ComponentStream.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/Stream.h"
#include "tests/platform/rtl/StreamFamily.h"

using namespace plat;
using namespace family;

namespace {

[[noreturn]] void Die(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
    std::abort();
}

std::string Bytes(TMemoryStream& s) {
    return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

// A component that was read must write in both forms, and both must read back. Bytes that are not
// UTF-8 are written as Latin-1 characters, so the text may change once; from then on it must stay.
// A Name property set from a string may give a name longer than the binary form holds; writing it
// then raises its error.
bool HasLongName(TComponent* c) {
    if (c->Name().size() > 255)
        return true;
    for (int i = 0; i < c->ComponentCount(); ++i) {
        if (HasLongName(c->Components(i)))
            return true;
    }
    return false;
}

std::string WriteAndReadAgain(TComponent* c, bool settled) {
    const std::string text = WriteComponentToText(c);
    TMemoryStream binary;
    try {
        WriteComponent(binary, c);
    } catch (const EWriteError& e) {
        if (!HasLongName(c))
            Die("component that was read does not write", std::string(e.what()) + "\n" + text);
        return text;
    }
    std::unique_ptr<TComponent> fromText, fromBinary;
    try {
        fromText.reset(ReadComponentFromText(text));
        binary.SetPosition(0);
        fromBinary.reset(ReadComponentFromStream(binary));
    } catch (const Exception& e) {
        Die("written component does not read again", std::string(e.what()) + "\n" + text);
    }
    const std::string again = WriteComponentToText(fromText.get());
    if (WriteComponentToText(fromBinary.get()) != text)
        Die("binary form reads back differently", text);
    if (!settled)
        return WriteAndReadAgain(fromText.get(), true);
    if (again != text)
        Die("text changed by reading it again", text + "\n----\n" + again);
    return text;
}

void ReadBinary(const std::string& input) {
    TStringStream in(input);
    std::unique_ptr<TComponent> c;
    try {
        c.reset(ReadComponentFromStream(in));
    } catch (const Exception&) {
        return;
    }
    WriteAndReadAgain(c.get(), false);
}

void ReadText(const std::string& input) {
    std::unique_ptr<TComponent> c;
    try {
        c.reset(ReadComponentFromText(input));
    } catch (const Exception&) {
        return;
    }
    WriteAndReadAgain(c.get(), false);
}

// Text made from a tree must convert back into a tree. Bytes that are not UTF-8 are written as Latin-1
// characters, so the text may change once; from then on it must stay.
std::string Convert(const std::string& text) {
    try {
        TStringStream in(text);
        TMemoryStream binary;
        ObjectTextToBinary(in, binary);
        binary.SetPosition(0);
        TStringStream again;
        ObjectBinaryToText(binary, again);
        return again.DataString();
    } catch (const Exception& e) {
        Die("converted text does not convert back", std::string(e.what()) + "\n" + text);
    }
}

void CheckText(const std::string& text) {
    const std::string settled = Convert(text);
    const std::string again = Convert(settled);
    if (again != settled)
        Die("conversions change the text", settled + "\n----\n" + again);
}

void BinaryToText(const std::string& input) {
    TStringStream in(input);
    TStringStream out;
    try {
        ObjectBinaryToText(in, out);
    } catch (const Exception&) {
        return;
    }
    CheckText(out.DataString());
}

void TextToBinary(const std::string& input) {
    TStringStream in(input);
    TMemoryStream out;
    try {
        ObjectTextToBinary(in, out);
    } catch (const Exception&) {
        return;
    }
    out.SetPosition(0);
    TStringStream text;
    try {
        ObjectBinaryToText(out, text);
    } catch (const Exception& e) {
        Die("converted binary does not convert back", e.what());
    }
    CheckText(text.DataString());
}

// Reading into a form that exists already: whether it succeeds or fails, the form and whatever was
// read into it must stay sound (the sanitizer sees any stale pointer when it is written and freed).
void ReadIntoRoot(const std::string& input, bool binary) {
    TTestForm form(nullptr);
    try {
        if (binary) {
            TStringStream in(input);
            ReadComponentFromStream(in, &form);
        } else {
            ReadComponentFromText(input, &form);
        }
    } catch (const Exception&) {
    }
    try {
        WriteComponentToText(&form);
    } catch (const EWriteError&) {
    }
}

void PropertyList(const std::string& input) {
    TWidget w(nullptr);
    TStringStream in(input);
    try {
        ReadPropertyList(in, &w);
    } catch (const Exception&) {
        return;
    }
    TMemoryStream out;
    WritePropertyList(out, &w);
    TWidget copy(nullptr);
    out.SetPosition(0);
    try {
        ReadPropertyList(out, &copy);
    } catch (const Exception& e) {
        Die("written property list does not read again", e.what());
    }
    TMemoryStream again;
    WritePropertyList(again, &copy);
    if (Bytes(again) != Bytes(out))
        Die("property list changed by reading it again", Bytes(out));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = (RegisterFamily(), true);
    (void)registered;
    gLoaded.clear();
    if (size == 0)
        return 0;
    const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 7) {
    case 0:
        ReadBinary(input);
        break;
    case 1:
        ReadText(input);
        break;
    case 2:
        BinaryToText(input);
        break;
    case 3:
        TextToBinary(input);
        break;
    case 4:
        PropertyList(input);
        break;
    case 5:
        ReadIntoRoot(input, false);
        break;
    case 6:
        ReadIntoRoot(input, true);
        break;
    }
    return 0;
}
