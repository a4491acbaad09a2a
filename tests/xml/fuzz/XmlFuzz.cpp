// libFuzzer target for the parser and the writer. Any bytes are parsed; a document that loads is
// written, and the written text must load again into the same tree. "Same" allows for what the fixed
// layout changes by design: blanks around text, and a lone text child that reads back as the value.
// Trees the writer cannot represent (nameless elements or attributes, names that read back as other
// markup, characters a Latin-1 file cannot hold outside values) are written and re-read for crashes
// only.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringUtils.h"
#include "xml/DomSimpleXml.h"

using namespace xml;

namespace {

bool IsBlank(char c) {
    return c == 9 || c == 10 || c == 13 || c == 32;
}

std::string Trimmed(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return std::string(s.substr(b, e - b));
}

class TCanon {
public:
    TCanon(TDomSimpleXML& doc, bool latin1) : FLatin1(latin1) {
        // The writer puts the first declaration first.
        TDomSimpleXMLElem* header = doc.Prolog().FindHeader();
        PrologItem(header);
        for (int i = 0; i < doc.Prolog().Count(); ++i) {
            if (doc.Prolog().Item(i) != header)
                PrologItem(doc.Prolog().Item(i));
        }
        Element(doc.Root());
    }
    std::string Text;
    bool Representable = true;

private:
    // Whether a Latin-1 file can hold the text where no character reference is possible.
    void Raw(std::string_view s) {
        if (!FLatin1)
            return;
        for (size_t i = 0; i < s.size(); ++i) {
            auto c = static_cast<unsigned char>(s[i]);
            if (c >= 0xC4 && c < 0xF8) // lead byte of a character above U+00FF
                Representable = false;
        }
    }
    void Add(const char* kind, std::string_view value) {
        Text += kind;
        Text += '(';
        Text += std::to_string(value.size());
        Text += ':';
        Text += value;
        Text += ')';
    }
    void Attributes(TDomSimpleXMLElem* e, bool raw) {
        for (int i = 0; i < e->Properties().Count(); ++i) {
            TDomSimpleXMLProp* p = e->Properties().Item(i);
            if (p->Name().empty() && p->NameSpace().empty())
                Representable = false; // not written
            Add("A", std::string(p->NameSpace()) + ":" + std::string(p->Name()));
            Add("=", p->Value());
            Raw(p->NameSpace());
            Raw(p->Name());
            if (raw)
                Raw(p->Value());
        }
    }
    void PrologItem(TDomSimpleXMLElem* e) {
        if (auto* h = dynamic_cast<TDomSimpleXMLElemHeader*>(e)) {
            Add("H", h->Version() + "|" + h->Encoding() + (h->Standalone() ? "|yes" : "|no"));
            Raw(h->Version() + h->Encoding());
        } else if (e->Is<TDomSimpleXMLElemSheet>()) {
            Add("S", "");
            Attributes(e, true);
        } else {
            Add(e->Is<TDomSimpleXMLElemDocType>() ? "D" : "C", e->Value());
            Raw(e->Value());
        }
    }
    void Element(TDomSimpleXMLElem* e) {
        // A nameless element writes nothing of its own; only an empty root may lack a name.
        if (e->FullName().empty() &&
            (e->Parent() || e->HasItems() || e->Properties().Count() > 0 || !e->Value().empty()))
            Representable = false;
        // Names that read back as something else: a declaration at the root, a comment or CDATA
        // section inside an element.
        const std::string name = e->FullName();
        if ((!e->Parent() && !name.empty() && (name[0] == '!' || name[0] == '?')) ||
            name.rfind("!--", 0) == 0 || name.rfind("![CDATA[", 0) == 0)
            Representable = false;
        Add("E", name);
        Raw(e->FullName());
        Attributes(e, false);
        std::vector<TDomSimpleXMLElem*> children;
        if (e->HasItems()) {
            for (int i = 0; i < e->Items().Count(); ++i) {
                TDomSimpleXMLElem* c = e->Items().Item(i);
                if (c->Is<TDomSimpleXMLElemText>() && Trimmed(c->Value()).empty())
                    continue;
                children.push_back(c);
            }
        }
        std::string value = Trimmed(e->Value());
        if (children.size() == 1 && children[0]->Is<TDomSimpleXMLElemText>() && e->Value().empty()) {
            value = Trimmed(children[0]->Value());
            children.clear();
        }
        Add("V", value);
        Text += '[';
        for (TDomSimpleXMLElem* c : children) {
            if (c->Is<TDomSimpleXMLElemClassic>()) {
                Element(c);
            } else if (c->Is<TDomSimpleXMLElemText>()) {
                Add("T", Trimmed(c->Value()));
            } else {
                Add(c->Is<TDomSimpleXMLElemCData>() ? "X" : "C", c->Value());
                Raw(c->Value());
            }
        }
        Text += ']';
    }
    bool FLatin1;
};

bool IsLatin1(TDomSimpleXML& doc) {
    for (int i = 0; i < doc.Prolog().Count(); ++i) {
        if (auto* h = dynamic_cast<TDomSimpleXMLElemHeader*>(doc.Prolog().Item(i)))
            return !plat::SameText(h->Encoding(), "utf-8") && !plat::SameText(h->Encoding(), "utf8");
    }
    return true;
}

[[noreturn]] void Die(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
    std::abort();
}

} // namespace

// Changes some elements of a loaded tree in every way that must make their lists free them one by one
// again (the sanitizer then sees any leak or stale memory), and moves one element into Target.
void ChangeElements(TDomSimpleXML& doc, TDomSimpleXML& target) {
    const std::string longText = "a text well beyond the fifteen bytes kept inline";
    std::vector<TDomSimpleXMLElem*> pending{doc.Root()};
    TDomSimpleXMLElem* move = nullptr;
    for (size_t n = 0; !pending.empty(); ++n) {
        TDomSimpleXMLElem* e = pending.back();
        pending.pop_back();
        if (e->HasItems()) {
            for (int i = 0; i < e->Items().Count(); ++i)
                pending.push_back(e->Items().Item(i));
        }
        switch (n % 7) {
        case 1:
            e->SetValue(longText);
            break;
        case 2:
            e->Properties().Add("added", longText);
            break;
        case 3:
            if (e->Properties().Count() > 0)
                e->Properties().Item(0)->SetValue(longText);
            break;
        case 4:
            e->Items();
            break;
        case 5:
            e->Properties().Clear();
            break;
        case 6:
            if (!move && e->Parent())
                move = e;
            break;
        }
    }
    if (move)
        target.Root()->Items().AddChild(move);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TDomSimpleXML first;
    {
        plat::TMemoryStream in;
        in.WriteBuffer(data, static_cast<int64_t>(size));
        in.SetPosition(0);
        try {
            first.LoadFromStream(in);
        } catch (const EDomSimpleXMLError&) {
            return 0;
        }
    }
    plat::TMemoryStream written;
    first.SaveToStream(written);
    const std::string text(reinterpret_cast<const char*>(written.Memory()),
                           static_cast<size_t>(written.Size()));
    TCanon before(first, IsLatin1(first));

    TDomSimpleXML second;
    written.SetPosition(0);
    try {
        second.LoadFromStream(written);
    } catch (const EDomSimpleXMLError& e) {
        if (before.Representable)
            Die("written text does not load again", e.Message() + "\n" + text);
        return 0;
    }
    if (!before.Representable)
        return 0;
    TCanon after(second, IsLatin1(second));
    if (after.Text != before.Text)
        Die("tree changed by writing and reading", before.Text + "\n" + after.Text + "\n" + text);
    ChangeElements(second, first);
    return 0;
}
