// libFuzzer target for the rich edit's RTF reader. Any bytes are read; a document that reads is written
// and the written RTF must read back into the same text, character formats and paragraph formats.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/rtl/Exception.h"
#include "platform/ui/RichEditRtf.h"

using namespace plat;

namespace {

[[noreturn]] void Die(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
    std::abort();
}

bool Same(const TRichDocument& a, const TRichDocument& b) {
    if (a.Chars() != b.Chars() || a.ParagraphCount() != b.ParagraphCount())
        return false;
    for (int i = 0; i < a.Length(); ++i) {
        if (!(a.FormatAt(i) == b.FormatAt(i)))
            return false;
    }
    for (int p = 0; p < a.ParagraphCount(); ++p) {
        if (!(a.ParaFormat(p) == b.ParaFormat(p)))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    TRichDocument doc;
    try {
        ReadRtf(input, doc);
    } catch (const EParserError&) {
        if (IsRtf(input))
            Die("RTF refused", std::string(input));
        return 0;
    }
    const std::string written = WriteRtf(doc);
    TRichDocument again;
    try {
        ReadRtf(written, again);
    } catch (const Exception& e) {
        Die("written RTF does not read again", std::string(e.what()) + "\n" + written);
    }
    if (!Same(doc, again))
        Die("document changed by writing and reading", std::string(input) + "\n----\n" + written);
    // A part of the document is written as copying does.
    if (doc.Length() > 2)
        WriteRtf(doc, 1, doc.Length() - 2);
    return 0;
}
