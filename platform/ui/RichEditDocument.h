// The content of a rich edit: characters with a character format each, split into paragraphs by
// paragraph breaks, each paragraph with its own paragraph format. Positions count code points; a
// paragraph break is one character ('\n'). The rich edit, its RTF reader and writer and its layout all
// work on this one model.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Canvas.h"
#include "platform/rtl/Types.h"
#include "platform/ui/TextAlignment.h"

namespace plat {

inline constexpr char32_t RichParagraphBreak = U'\n';

struct TCharFormat {
    std::string Name = "Tahoma";
    int HalfPoints = 16; // size in half points, as RTF counts it
    TColor Color = clWindowText;
    TFontStyles Style = 0;
    uint8_t Charset = DEFAULT_CHARSET;

    bool operator==(const TCharFormat&) const = default;
};

// Indents are in points (1/72 inch), from the left and right edges of the text area; the first line of
// a paragraph starts at LeftIndent + FirstIndent.
struct TParaFormat {
    TAlignment Alignment = taLeftJustify;
    int FirstIndent = 0;
    int LeftIndent = 0;
    int RightIndent = 0;

    bool operator==(const TParaFormat&) const = default;
};

// A stretch of characters of one format inside one paragraph.
struct TRichRun {
    std::u32string Text;
    TCharFormat Format;
};

class TRichDocument {
public:
    TRichDocument();

    int Length() const { return static_cast<int>(FChars.size()); }
    bool Empty() const { return FChars.empty(); }
    const std::u32string& Chars() const { return FChars; }
    std::u32string Text(int Pos, int Len) const;

    const TCharFormat& FormatAt(int Pos) const { return FFormats[FFmt[Pos]]; }
    // An id of the format of a character: equal ids are equal formats (for grouping runs quickly).
    uint32_t FormatIdAt(int Pos) const { return FFmt[Pos]; }
    const TCharFormat& FormatOfId(uint32_t Id) const { return FFormats[Id]; }
    // The format that text typed at Pos takes: the character before it, else the one after it, else
    // the default format.
    TCharFormat FormatForInsertAt(int Pos) const;

    // The format of a document without characters and of text for which no neighbour gives one.
    const TCharFormat& DefaultFormat() const { return FDefault; }
    // Text that carried the old default format takes the new one.
    void SetDefaultFormat(const TCharFormat& Value);

    int ParagraphCount() const { return static_cast<int>(FParas.size()); }
    int ParagraphOf(int Pos) const;
    int ParagraphStart(int Index) const { return FParaStart[Index]; }
    // The position of the paragraph's break (Length() for the last paragraph).
    int ParagraphEnd(int Index) const;
    const TParaFormat& ParaFormat(int Index) const { return FParas[Index]; }

    // Inserts text with one format. "\r\n", "\r" and "\n" become paragraph breaks; new paragraphs take
    // the format of the paragraph they were split from. Other control characters except tabs are dropped.
    // Answers the number of characters inserted.
    int Insert(int Pos, std::u32string_view Text, const TCharFormat& Format);
    // Inserts another document's content (with its formats) at Pos; its paragraph formats apply to the
    // paragraphs it brings in.
    int Insert(int Pos, const TRichDocument& Other);
    void Erase(int Pos, int Len);
    void Clear();

    // Changes the format of [Pos, Pos + Len).
    void ModifyFormat(int Pos, int Len, const std::function<void(TCharFormat&)>& Change);
    void ModifyParaFormat(int FirstPara, int LastPara, const std::function<void(TParaFormat&)>& Change);
    void SetParaFormat(int Index, const TParaFormat& Value);

    // The runs of one paragraph (an empty paragraph has none).
    std::vector<TRichRun> Runs(int Para) const;
    // A document holding a copy of [Pos, Pos + Len).
    TRichDocument Slice(int Pos, int Len) const;

    // Called after every change with the paragraphs it touched: the range [First, First + OldCount)
    // was replaced by NewCount paragraphs.
    std::function<void(int First, int OldCount, int NewCount)> OnParagraphsChanged;

    // Text with a paragraph break given as LineBreak.
    std::string PlainText(int Pos, int Len, std::string_view LineBreak = "\r\n") const;

    // Turns "\r\n", "\r" and "\n" into paragraph breaks and drops other control characters but tabs.
    static std::u32string Normalize(std::u32string_view Text);

private:
    uint32_t FormatId(const TCharFormat& Format);
    void Changed(int First, int OldCount, int NewCount);
    void RebuildParaStarts(int FromPara);
    void CompactFormats();

    std::u32string FChars;
    std::vector<uint32_t> FFmt;
    std::vector<TCharFormat> FFormats;
    std::vector<TParaFormat> FParas;
    std::vector<int> FParaStart;
    TCharFormat FDefault;
};

} // namespace plat
