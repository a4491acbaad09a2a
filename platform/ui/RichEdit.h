// The rich edit: text in runs of character formats (font, size, colour, bold, italic, underline,
// strike-out) within paragraphs that have an alignment and indents. Edited like the memo (caret,
// selection by mouse and keys, clipboard, one level of undo), saved and loaded as RTF or plain text,
// and printed page by page on the printer.
//
// Positions count characters (code points); a paragraph break counts one. Text that is added goes in
// with the format of the caret's position — what SelAttributes shows while nothing is selected — so
// setting SelAttributes at the end and then adding lines writes them in that format, and later lines
// carry it on until it is changed.
#pragma once

#include <memory>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Control.h"
#include "platform/ui/EditInput.h"
#include "platform/ui/Form.h"
#include "platform/ui/RichEditDocument.h"
#include "platform/ui/RichEditLayout.h"
#include "platform/ui/TextAlignment.h"

namespace plat {

class TCustomRichEdit;
class TStream;

enum TAttributeType { atSelected, atDefaultText };

// The character format of the selection (or of the caret's position), or the default format.
class TTextAttributes : public TPersistent {
    PLAT_CLASS(TTextAttributes)
public:
    TTextAttributes(TCustomRichEdit* RichEdit, TAttributeType Type);

    std::string Name() const { return Get().Name; }
    void SetName(const std::string& Value);
    // Points.
    int Size() const;
    void SetSize(int Value);
    // Pixels on the screen.
    int Height() const;
    void SetHeight(int Value);
    TColor Color() const { return Get().Color; }
    void SetColor(TColor Value);
    TFontStyles Style() const { return Get().Style; }
    void SetStyle(TFontStyles Value);
    uint8_t Charset() const { return Get().Charset; }
    void SetCharset(uint8_t Value);

    // Takes a TFont or another TTextAttributes.
    void Assign(TPersistent* Source) override;

protected:
    // Fills a TFont.
    void AssignTo(TPersistent* Dest) override;

private:
    TCharFormat Get() const;
    void Modify(const std::function<void(TCharFormat&)>& Change);

    TCustomRichEdit* FRichEdit;
    TAttributeType FType;
};

// The paragraph format of the paragraphs the selection touches (read from the first of them).
class TParaAttributes : public TPersistent {
    PLAT_CLASS(TParaAttributes)
public:
    explicit TParaAttributes(TCustomRichEdit* RichEdit) : FRichEdit(RichEdit) {}

    TAlignment Alignment() const { return Get().Alignment; }
    void SetAlignment(TAlignment Value);
    // Points.
    int FirstIndent() const { return Get().FirstIndent; }
    void SetFirstIndent(int Value);
    int LeftIndent() const { return Get().LeftIndent; }
    void SetLeftIndent(int Value);
    int RightIndent() const { return Get().RightIndent; }
    void SetRightIndent(int Value);

    void Assign(TPersistent* Source) override;

private:
    TParaFormat Get() const;
    void Modify(const std::function<void(TParaFormat&)>& Change);

    TCustomRichEdit* FRichEdit;
};

// The rich edit's paragraphs as lines. A break at the very end does not start another line. Saving and
// loading use RTF unless the rich edit is set to plain text.
class TRichEditStrings : public TStrings {
    PLAT_CLASS(TRichEditStrings)
public:
    explicit TRichEditStrings(TCustomRichEdit* RichEdit = nullptr) : FRichEdit(RichEdit) {}

    int Count() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    // A line inserted or added takes the format of the place it goes to; added at the caret, the
    // caret's format (SelAttributes).
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    void SetText(const std::string& text) override;

    // These replace the plain-text versions of TStrings. The file is replaced only once the new
    // content is complete. Loading takes RTF when the content is RTF and plain text otherwise.
    void SaveToFile(const std::string& fileName) const override;
    void SaveToStream(TStream& stream) const override;
    void LoadFromFile(const std::string& fileName) override;
    void LoadFromStream(TStream& stream) override;

private:
    TCustomRichEdit* FRichEdit;
};

class TCustomRichEdit : public TCustomControl {
    PLAT_CLASS(TCustomRichEdit)
public:
    explicit TCustomRichEdit(TComponent* AOwner);
    ~TCustomRichEdit() override;

    TRichEditStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value);
    TTextAttributes* SelAttributes() const { return FSelAttributes.get(); }
    void SetSelAttributes(TTextAttributes* Value) { FSelAttributes->Assign(Value); }
    TTextAttributes* DefAttributes() const { return FDefAttributes.get(); }
    void SetDefAttributes(TTextAttributes* Value) { FDefAttributes->Assign(Value); }
    TParaAttributes* Paragraph() const { return FParagraph.get(); }

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value) { FMaxLength = std::max(0, Value); }
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool Value) { FPlainText = Value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    bool CanUndo() const { return FUndo != nullptr; }

    int SelStart() const { return std::min(FAnchor, FCaret); }
    void SetSelStart(int Value);
    int SelLength() const { return std::abs(FCaret - FAnchor); }
    void SetSelLength(int Value);
    // The selected text, paragraph breaks as CR LF. Setting it replaces the selection as typing would.
    std::string SelText() const;
    void SetSelText(const std::string& Value);
    // Selects from Anchor to Caret (either way round); the caret goes to Caret.
    void SetSelection(int Anchor, int Caret);
    void SelectAll();
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    void ClearUndo();
    void Clear();
    // Caret as column (X) and paragraph (Y).
    TPoint CaretPos() const;
    // The length of Text in characters, a paragraph break counting two (CR LF), without building the
    // text: code that puts the caret at the end asks for it before every line it adds.
    int GetTextLen() const { return FDoc.Length() + FDoc.ParagraphCount() - 1; }

    // Prints the content on the printer, wrapped to the page inside margins, with Caption as the
    // document's title. Raises the printer's error when there is no printer.
    void Print(const std::string& Caption);

    // The content as RTF (the whole of it or the selection).
    std::string RtfText() const;
    std::string SelRtfText() const;

    const TRichDocument& Document() const { return FDoc; }

    TNotifyEvent OnChange;
    TNotifyEvent OnSelectionChange;

protected:
    friend class TTextAttributes;
    friend class TParaAttributes;
    friend class TRichEditStrings;

    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    void Paint() override;
    std::string GetText() const override;
    void SetText(const std::string& Value) override;
    virtual void Change();
    virtual void SelectionChange();

    // Painting steps, kept apart so a restyled rich edit can replace one.
    virtual void PaintBackground(TCanvas& Canvas, const TRect& Rect);
    virtual void PaintLine(TCanvas& Canvas, int Line, int OriginX, int OriginY);
    virtual void PaintCaret(TCanvas& Canvas, TPoint Pos, int Height);

    // The area the text is laid out in (client coordinates).
    virtual TRect TextRect() const;
    // The layout brought up to date for the current size.
    TRichLayout& Layout() const;
    // Client point of a position (left edge, top of its line) and the position nearest a client point.
    TPoint PosFromChar(int Pos) const;
    int CharFromPos(TPoint P) const;
    int ScrollY() const { return FScrollY; }
    int ScrollX() const { return FScrollX; }
    void ScrollTo(int X, int Y);
    void ScrollCaretIntoView();

    // The format new text at the caret gets.
    TCharFormat InsertionFormat() const;
    void SetInsertionFormat(const TCharFormat& Value);
    // Replaces [Pos, Pos + Len) by Text in Format; ByUser applies read-only and the length limit.
    bool ReplaceRange(int Pos, int Len, const std::u32string& Text, const TCharFormat& Format, bool ByUser,
                      bool CanUndo);
    bool ReplaceSelection(const std::u32string& Text, bool ByUser, bool CanUndo);
    // Replaces the whole content with a loaded document.
    void LoadDocument(const TRichDocument& Doc);
    void MoveCaret(int Pos, bool Extend);

private:
    struct TUndoState {
        TRichDocument Doc;
        int Anchor = 0, Caret = 0;
    };
    // The editing messages the edit shares, answered from the document.
    class TInput;
    void MoveVertically(WPARAM Key, bool Extend);
    void ContentChanged();
    void SaveUndo(bool Typing);
    void UpdateScrollBars();
    void ApplyFont();
    TCanvas& Measure() const;

    TRichDocument FDoc;
    std::unique_ptr<TRichLayout> FLayout;
    std::unique_ptr<TRichEditStrings> FLines;
    std::unique_ptr<TTextAttributes> FSelAttributes;
    std::unique_ptr<TTextAttributes> FDefAttributes;
    std::unique_ptr<TParaAttributes> FParagraph;
    int FAnchor = 0, FCaret = 0;
    TCharFormat FInsertFormat;
    bool FInsertFormatSet = false;
    TBorderStyle FBorderStyle = bsSingle;
    bool FHideSelection = true;
    int FMaxLength = 0;
    bool FPlainText = false;
    bool FReadOnly = false;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
    bool FModified = false;
    int FScrollX = 0, FScrollY = 0;
    int FPreferredX = -1;
    TEditMouseSelection FMouse;
    std::unique_ptr<TUndoState> FUndo;
    bool FTypingRun = false;
    bool FUpdatingBars = false;
    mutable std::unique_ptr<TBitmap> FMeasure;
};

class TRichEdit : public TCustomRichEdit {
    PLAT_CLASS(TRichEdit)
public:
    explicit TRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner) {}
};

} // namespace plat
