// xml_dump FILE: parses FILE with the default options and prints the document one node a line,
// indented by two blanks per depth, so tests and people can see exactly what the parser made of it.
// A parse error prints "error: MESSAGE" and exits with 1.
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/rtl/Exception.h"
#include "xml/DomSimpleXml.h"

using namespace xml;

namespace {

std::string Quoted(std::string_view value) {
    std::string s = "\"";
    for (unsigned char c : value) {
        switch (c) {
        case '\\':
            s += "\\\\";
            break;
        case '"':
            s += "\\\"";
            break;
        case '\r':
            s += "\\r";
            break;
        case '\n':
            s += "\\n";
            break;
        case '\t':
            s += "\\t";
            break;
        default:
            if (c < 32) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02x", c);
                s += buf;
            } else {
                s += static_cast<char>(c);
            }
        }
    }
    return s + "\"";
}

void Line(int depth, const std::string& text) {
    std::printf("%s%s\n", std::string(2 * depth, ' ').c_str(), text.c_str());
}

void Attributes(TDomSimpleXMLElem* e, int depth) {
    TDomSimpleXMLProps& props = e->Properties();
    for (int i = 0; i < props.Count(); ++i) {
        TDomSimpleXMLProp* p = props.Item(i);
        std::string name(p->NameSpace());
        if (!name.empty())
            name += ':';
        name += p->Name();
        Line(depth, "attribute " + name + " " + Quoted(p->Value()));
    }
}

void Node(TDomSimpleXMLElem* e, int depth) {
    if (dynamic_cast<TDomSimpleXMLElemClassic*>(e)) {
        Line(depth, "element " + e->FullName());
        Attributes(e, depth + 1);
        if (!e->Value().empty())
            Line(depth + 1, "value " + Quoted(e->Value()));
        if (e->HasItems()) {
            for (int i = 0; i < e->Items().Count(); ++i)
                Node(e->Items().Item(i), depth + 1);
        }
    } else if (auto* h = dynamic_cast<TDomSimpleXMLElemHeader*>(e)) {
        Line(depth, "declaration " + Quoted(h->Version()) + " " + Quoted(h->Encoding()));
    } else if (dynamic_cast<TDomSimpleXMLElemText*>(e)) {
        Line(depth, "text " + Quoted(e->Value()));
    } else if (dynamic_cast<TDomSimpleXMLElemComment*>(e)) {
        Line(depth, "comment " + Quoted(e->Value()));
    } else if (dynamic_cast<TDomSimpleXMLElemCData*>(e)) {
        Line(depth, "cdata " + Quoted(e->Value()));
    } else if (dynamic_cast<TDomSimpleXMLElemDocType*>(e)) {
        Line(depth, "doctype " + Quoted(e->Value()));
    } else if (dynamic_cast<TDomSimpleXMLElemSheet*>(e)) {
        Line(depth, "stylesheet");
        Attributes(e, depth + 1);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: xml_dump FILE\n");
        return 2;
    }
    TDomSimpleXML document;
    try {
        document.LoadFromFile(argv[1]);
    } catch (const plat::Exception& e) {
        std::printf("error: %s\n", e.Message().c_str());
        return 1;
    }
    for (int i = 0; i < document.Prolog().Count(); ++i)
        Node(document.Prolog().Item(i), 0);
    Node(document.Root(), 0);
    return 0;
}
