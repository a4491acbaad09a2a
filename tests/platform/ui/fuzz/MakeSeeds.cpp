// Writes the seed corpus of the RTF fuzz target with our own writer: rtf_fuzz_seeds <corpus folder>
#include <cstdio>
#include <string>

#include "platform/ui/RichEditRtf.h"

using namespace plat;

namespace {

void Save(const std::string& folder, const std::string& name, const std::string& bytes) {
    const std::string path = folder + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];

    TRichDocument plain;
    plain.Insert(0, U"Line camera ready", plain.DefaultFormat());
    Save(folder, "plain.rtf", WriteRtf(plain));

    TRichDocument doc;
    TCharFormat bold = doc.DefaultFormat();
    bold.Style = fsBold | fsUnderline;
    bold.Color = clRed;
    bold.HalfPoints = 28;
    TCharFormat other = doc.DefaultFormat();
    other.Name = "Courier New \xC3\xA4";
    other.Style = fsItalic | fsStrikeOut;
    other.Color = static_cast<TColor>(0x123456);
    TCharFormat symbol = doc.DefaultFormat();
    symbol.Name = "Symbol";
    symbol.Charset = SYMBOL_CHARSET;
    int pos = doc.Insert(0, U"Heading\n", bold);
    pos +=
        doc.Insert(pos, U"Text with {braces} \\ and tabs\there, \u00e4\u00f6\u00fc \u20ac \U0001F600", other);
    pos += doc.Insert(pos, U"\nabg\n", symbol);
    doc.Insert(pos, U"\u2014 \u201cquoted\u201d \u00a0end", doc.DefaultFormat());
    doc.ModifyParaFormat(0, 0, [](TParaFormat& p) { p.Alignment = taCenter; });
    doc.ModifyParaFormat(1, 1, [](TParaFormat& p) {
        p.Alignment = taRightJustify;
        p.LeftIndent = 36;
        p.FirstIndent = -18;
        p.RightIndent = 12;
    });
    Save(folder, "formats.rtf", WriteRtf(doc));
    Save(folder, "part.rtf", WriteRtf(doc, 3, 20));
    return 0;
}
