// Rich text in RTF: the writer the rich edit saves and copies with, and a reader for what it writes and
// for the common output of word processors (groups, control words, hex and Unicode escapes, font and
// colour tables; other destinations are skipped).
#pragma once

#include <string>
#include <string_view>

#include "platform/ui/RichEditDocument.h"

namespace plat {

// [Pos, Pos + Len) of the document as an RTF document; Len < 0 means to the end.
std::string WriteRtf(const TRichDocument& Doc, int Pos = 0, int Len = -1);

// True when the bytes start like an RTF document ("{\rtf", blanks before it allowed).
bool IsRtf(std::string_view Bytes);

// Replaces Doc's content with the document read from Rtf. Raises EParserError for bytes that are not
// RTF; damaged RTF (unbalanced groups, a cut-off end) gives what could be read.
void ReadRtf(std::string_view Rtf, TRichDocument& Doc);

} // namespace plat
