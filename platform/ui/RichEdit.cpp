#include "platform/ui/RichEdit.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/gfx/Printer.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Edit.h"
#include "platform/ui/EditInput.h"
#include "platform/ui/Input.h"
#include "platform/ui/Keys.h"
#include "platform/ui/RichEditRtf.h"
#include "platform/ui/WindowScroll.h"

namespace plat {

namespace {

constexpr int kScreenPpi = 96;

TCharFormat FormatOfFont(TFont* Font) {
    TCharFormat f;
    f.Name = Font->Name();
    f.HalfPoints = std::max(1, Font->Size() * 2);
    f.Color = Font->Color();
    f.Style = Font->Style();
    f.Charset = Font->Charset();
    return f;
}

} // namespace

// ---- TTextAttributes -------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TTextAttributes, TPersistent)

TTextAttributes::TTextAttributes(TCustomRichEdit* RichEdit, TAttributeType Type)
    : FRichEdit(RichEdit), FType(Type) {}

TCharFormat TTextAttributes::Get() const {
    if (FType == atDefaultText)
        return FRichEdit->FDoc.DefaultFormat();
    if (FRichEdit->SelLength() > 0)
        return FRichEdit->FDoc.FormatAt(FRichEdit->SelStart());
    return FRichEdit->InsertionFormat();
}

void TTextAttributes::Modify(const std::function<void(TCharFormat&)>& Change) {
    TCustomRichEdit& re = *FRichEdit;
    if (FType == atDefaultText) {
        TCharFormat f = re.FDoc.DefaultFormat();
        Change(f);
        re.FDoc.SetDefaultFormat(f);
    } else if (re.SelLength() > 0) {
        re.FDoc.ModifyFormat(re.SelStart(), re.SelLength(), Change);
        re.FModified = true;
    } else {
        TCharFormat f = re.InsertionFormat();
        Change(f);
        re.SetInsertionFormat(f);
        return;
    }
    re.UpdateScrollBars();
    re.Invalidate();
}

void TTextAttributes::SetName(const std::string& Value) {
    Modify([&](TCharFormat& f) { f.Name = Value; });
}

int TTextAttributes::Size() const {
    return (Get().HalfPoints + 1) / 2;
}

void TTextAttributes::SetSize(int Value) {
    Modify([&](TCharFormat& f) { f.HalfPoints = std::clamp(Value, 1, 1638) * 2; });
}

int TTextAttributes::Height() const {
    return static_cast<int>(std::lround(Get().HalfPoints * kScreenPpi / 144.0));
}

void TTextAttributes::SetHeight(int Value) {
    SetSize(static_cast<int>(std::lround(std::abs(Value) * 72.0 / kScreenPpi)));
}

void TTextAttributes::SetColor(TColor Value) {
    Modify([&](TCharFormat& f) { f.Color = Value; });
}

void TTextAttributes::SetStyle(TFontStyles Value) {
    Modify([&](TCharFormat& f) { f.Style = Value; });
}

void TTextAttributes::SetCharset(uint8_t Value) {
    Modify([&](TCharFormat& f) { f.Charset = Value; });
}

void TTextAttributes::Assign(TPersistent* Source) {
    if (auto* font = dynamic_cast<TFont*>(Source)) {
        TCharFormat from = FormatOfFont(font);
        Modify([&](TCharFormat& f) { f = from; });
        return;
    }
    if (auto* other = dynamic_cast<TTextAttributes*>(Source)) {
        TCharFormat from = other->Get();
        Modify([&](TCharFormat& f) { f = from; });
        return;
    }
    TPersistent::Assign(Source);
}

void TTextAttributes::AssignTo(TPersistent* Dest) {
    if (auto* font = dynamic_cast<TFont*>(Dest)) {
        TCharFormat f = Get();
        font->SetName(f.Name);
        font->SetSize(Size());
        font->SetColor(f.Color);
        font->SetStyle(f.Style);
        font->SetCharset(f.Charset);
        return;
    }
    TPersistent::AssignTo(Dest);
}

// ---- TParaAttributes -------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TParaAttributes, TPersistent)

TParaFormat TParaAttributes::Get() const {
    const TRichDocument& doc = FRichEdit->FDoc;
    return doc.ParaFormat(doc.ParagraphOf(FRichEdit->SelStart()));
}

void TParaAttributes::Modify(const std::function<void(TParaFormat&)>& Change) {
    TCustomRichEdit& re = *FRichEdit;
    int first = re.FDoc.ParagraphOf(re.SelStart());
    int last = re.FDoc.ParagraphOf(re.SelStart() + re.SelLength());
    re.FDoc.ModifyParaFormat(first, last, Change);
    re.FModified = true;
    re.UpdateScrollBars();
    re.Invalidate();
}

void TParaAttributes::SetAlignment(TAlignment Value) {
    Modify([&](TParaFormat& p) { p.Alignment = Value; });
}

void TParaAttributes::SetFirstIndent(int Value) {
    Modify([&](TParaFormat& p) { p.FirstIndent = Value; });
}

void TParaAttributes::SetLeftIndent(int Value) {
    Modify([&](TParaFormat& p) { p.LeftIndent = Value; });
}

void TParaAttributes::SetRightIndent(int Value) {
    Modify([&](TParaFormat& p) { p.RightIndent = Value; });
}

void TParaAttributes::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TParaAttributes*>(Source)) {
        TParaFormat from = other->Get();
        Modify([&](TParaFormat& p) { p = from; });
        return;
    }
    TPersistent::Assign(Source);
}

// ---- TRichEditStrings ------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TRichEditStrings, TStrings)

int TRichEditStrings::Count() const {
    const TRichDocument& doc = FRichEdit->FDoc;
    if (doc.Empty())
        return 0;
    bool endsWithBreak = doc.Chars().back() == RichParagraphBreak;
    return doc.ParagraphCount() - (endsWithBreak ? 1 : 0);
}

std::string TRichEditStrings::Get(int index) const {
    CheckIndex(index, Count());
    const TRichDocument& doc = FRichEdit->FDoc;
    int s = doc.ParagraphStart(index);
    return doc.PlainText(s, doc.ParagraphEnd(index) - s);
}

void TRichEditStrings::Put(int index, const std::string& s) {
    CheckIndex(index, Count());
    TRichDocument& doc = FRichEdit->FDoc;
    int start = doc.ParagraphStart(index), end = doc.ParagraphEnd(index);
    TCharFormat f = end > start ? doc.FormatAt(start) : doc.FormatForInsertAt(start);
    FRichEdit->ReplaceRange(start, end - start, Utf8Decode(s), f, false, false);
}

void TRichEditStrings::Insert(int index, const std::string& s) {
    int count = Count();
    CheckIndex(index, count + 1);
    TCustomRichEdit& re = *FRichEdit;
    const TRichDocument& doc = re.FDoc;
    std::u32string text = Utf8Decode(s);
    int pos;
    if (index < count) {
        pos = doc.ParagraphStart(index);
        text += RichParagraphBreak;
    } else {
        pos = doc.Length();
        if (doc.Empty() || doc.Chars().back() == RichParagraphBreak)
            text += RichParagraphBreak;
        else
            text.insert(text.begin(), RichParagraphBreak);
    }
    bool atCaret = re.SelLength() == 0 && re.FCaret == pos;
    TCharFormat f = atCaret ? re.InsertionFormat() : doc.FormatForInsertAt(pos);
    re.ReplaceRange(pos, 0, text, f, false, false);
}

void TRichEditStrings::Delete(int index) {
    CheckIndex(index, Count());
    const TRichDocument& doc = FRichEdit->FDoc;
    int start = doc.ParagraphStart(index), end = doc.ParagraphEnd(index);
    if (end < doc.Length())
        ++end; // the line's break goes with it
    else if (start > 0)
        --start; // the last line without a break takes the break before it
    FRichEdit->ReplaceRange(start, end - start, std::u32string(), doc.DefaultFormat(), false, false);
}

void TRichEditStrings::Clear() {
    FRichEdit->Clear();
}

void TRichEditStrings::SetText(const std::string& text) {
    FRichEdit->SetText(text);
}

void TRichEditStrings::SaveToStream(TStream& stream) const {
    std::string bytes = FRichEdit->PlainText() ? FRichEdit->GetText() : FRichEdit->RtfText();
    if (!bytes.empty())
        stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TRichEditStrings::SaveToFile(const std::string& fileName) const {
    std::string bytes = FRichEdit->PlainText() ? FRichEdit->GetText() : FRichEdit->RtfText();
    WriteFileAtomically(fileName, bytes);
}

void TRichEditStrings::LoadFromStream(TStream& stream) {
    int64_t size = stream.Size() - stream.Position();
    std::string bytes(static_cast<size_t>(std::max<int64_t>(0, size)), '\0');
    if (!bytes.empty())
        stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    if (!FRichEdit->PlainText() && IsRtf(bytes)) {
        TRichDocument doc;
        TCharFormat def = FRichEdit->FDoc.DefaultFormat();
        doc.SetDefaultFormat(def);
        ReadRtf(bytes, doc);
        FRichEdit->LoadDocument(doc);
        return;
    }
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);
    if (!IsValidUtf8(bytes))
        bytes = Latin1ToUtf8(bytes);
    FRichEdit->SetText(bytes);
}

void TRichEditStrings::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

// ---- TCustomRichEdit -------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TCustomRichEdit, TCustomControl)
PLAT_CLASS_INFO_CREATABLE(TRichEdit, TCustomRichEdit)

PLAT_PROPERTIES(TCustomRichEdit) {
    props.Enum("BorderStyle", &TCustomRichEdit::BorderStyle, &TCustomRichEdit::SetBorderStyle,
               kBorderStyleNames, bsSingle);
    props.Boolean("HideSelection", &TCustomRichEdit::HideSelection, &TCustomRichEdit::SetHideSelection, true);
    props.Object("Lines", &TCustomRichEdit::Lines, &TCustomRichEdit::SetLines);
    props.Integer("MaxLength", &TCustomRichEdit::MaxLength, &TCustomRichEdit::SetMaxLength, 0);
    props.Boolean("PlainText", &TCustomRichEdit::PlainText, &TCustomRichEdit::SetPlainText, false);
    props.Boolean("ReadOnly", &TCustomRichEdit::ReadOnly, &TCustomRichEdit::SetReadOnly, false);
    props.Enum("ScrollBars", &TCustomRichEdit::ScrollBars, &TCustomRichEdit::SetScrollBars, kScrollStyleNames,
               ssNone);
    props.Boolean("WantReturns", &TCustomRichEdit::WantReturns, &TCustomRichEdit::SetWantReturns, true);
    props.Boolean("WantTabs", &TCustomRichEdit::WantTabs, &TCustomRichEdit::SetWantTabs, false);
    props.Boolean("WordWrap", &TCustomRichEdit::WordWrap, &TCustomRichEdit::SetWordWrap, true);
    props.Event("OnChange", &TCustomRichEdit::OnChange);
    props.Event("OnSelectionChange", &TCustomRichEdit::OnSelectionChange);
    props.Default("TabStop", true);
    props.Default("Color", clWindow);
    props.Default("ParentColor", false);
}

PLAT_PROPERTIES(TRichEdit) {}

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    SetBounds(0, 0, 185, 89);
    SetTabStop(true);
    SetColor(clWindow);
    SetCursor(crIBeam);
    FLayout = std::make_unique<TRichLayout>(FDoc, kScreenPpi);
    FDoc.OnParagraphsChanged = [this](int first, int oldCount, int newCount) {
        FLayout->ParagraphsChanged(first, oldCount, newCount);
    };
    FLines = std::make_unique<TRichEditStrings>(this);
    FSelAttributes = std::make_unique<TTextAttributes>(this, atSelected);
    FDefAttributes = std::make_unique<TTextAttributes>(this, atDefaultText);
    FParagraph = std::make_unique<TParaAttributes>(this);
    ApplyFont();
}

TCustomRichEdit::~TCustomRichEdit() {
    FDoc.OnParagraphsChanged = nullptr;
}

void TCustomRichEdit::ApplyFont() {
    FDoc.SetDefaultFormat(FormatOfFont(Font()));
    Invalidate();
}

// ---- Properties ------------------------------------------------------------------------------------------

void TCustomRichEdit::SetLines(TStrings* Value) {
    FLines->Assign(Value);
}

void TCustomRichEdit::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomRichEdit::SetHideSelection(bool Value) {
    FHideSelection = Value;
    Invalidate();
}

void TCustomRichEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    Invalidate();
}

void TCustomRichEdit::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value)
        return;
    FScrollBars = Value;
    UpdateScrollBars();
}

void TCustomRichEdit::SetWordWrap(bool Value) {
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    FScrollX = 0;
    UpdateScrollBars();
    Invalidate();
}

// ---- Text and selection ----------------------------------------------------------------------------------

std::string TCustomRichEdit::GetText() const {
    return FDoc.PlainText(0, FDoc.Length());
}

void TCustomRichEdit::SetText(const std::string& Value) {
    FDoc.Clear();
    FDoc.Insert(0, Utf8Decode(Value), FDoc.DefaultFormat());
    FAnchor = FCaret = 0;
    FInsertFormatSet = false;
    FScrollX = FScrollY = 0;
    FModified = false;
    FPreferredX = -1;
    ClearUndo();
    ContentChanged();
    SelectionChange();
}

void TCustomRichEdit::LoadDocument(const TRichDocument& Doc) {
    FDoc.Clear();
    FDoc.Insert(0, Doc);
    FAnchor = FCaret = 0;
    FInsertFormatSet = false;
    FScrollX = FScrollY = 0;
    FModified = false;
    FPreferredX = -1;
    ClearUndo();
    ContentChanged();
    SelectionChange();
}

void TCustomRichEdit::Clear() {
    SetText("");
}

std::string TCustomRichEdit::RtfText() const {
    return WriteRtf(FDoc);
}

std::string TCustomRichEdit::SelRtfText() const {
    return WriteRtf(FDoc, SelStart(), SelLength());
}

void TCustomRichEdit::SetSelStart(int Value) {
    SetSelection(Value, Value);
}

void TCustomRichEdit::SetSelLength(int Value) {
    int start = SelStart();
    SetSelection(start, start + std::max(0, Value));
}

std::string TCustomRichEdit::SelText() const {
    return FDoc.PlainText(SelStart(), SelLength());
}

void TCustomRichEdit::SetSelText(const std::string& Value) {
    ReplaceSelection(Utf8Decode(Value), false, false);
}

void TCustomRichEdit::SelectAll() {
    SetSelection(0, FDoc.Length());
}

void TCustomRichEdit::ClearSelection() {
    ReplaceSelection(U"", true, true);
}

void TCustomRichEdit::SetSelection(int Anchor, int Caret) {
    int n = FDoc.Length();
    Anchor = std::clamp(Anchor, 0, n);
    Caret = std::clamp(Caret, 0, n);
    // A caret placed anew starts a new column for moving up and down (MoveVertically keeps its own).
    FPreferredX = -1;
    // Choosing the place the caret already has keeps the format chosen for it.
    if (Anchor == FAnchor && Caret == FCaret)
        return;
    FAnchor = Anchor;
    FCaret = Caret;
    FInsertFormatSet = false;
    FTypingRun = false;
    ScrollCaretIntoView();
    Invalidate();
    SelectionChange();
}

void TCustomRichEdit::MoveCaret(int Pos, bool Extend) {
    SetSelection(Extend ? FAnchor : Pos, Pos);
}

TPoint TCustomRichEdit::CaretPos() const {
    int p = FDoc.ParagraphOf(FCaret);
    return TPoint(FCaret - FDoc.ParagraphStart(p), p);
}

TCharFormat TCustomRichEdit::InsertionFormat() const {
    return FInsertFormatSet ? FInsertFormat : FDoc.FormatForInsertAt(FCaret);
}

void TCustomRichEdit::SetInsertionFormat(const TCharFormat& Value) {
    FInsertFormat = Value;
    FInsertFormatSet = true;
}

bool TCustomRichEdit::ReplaceSelection(const std::u32string& Text, bool ByUser, bool CanUndo) {
    TCharFormat f = SelLength() > 0 ? FDoc.FormatAt(SelStart()) : InsertionFormat();
    return ReplaceRange(SelStart(), SelLength(), Text, f, ByUser, CanUndo);
}

bool TCustomRichEdit::ReplaceRange(int Pos, int Len, const std::u32string& Text, const TCharFormat& Format,
                                   bool ByUser, bool CanUndo) {
    if (ByUser && FReadOnly)
        return false;
    int n = FDoc.Length();
    Pos = std::clamp(Pos, 0, n);
    Len = std::clamp(Len, 0, n - Pos);
    std::u32string insert = TRichDocument::Normalize(Text);
    if (ByUser && !FitEditText(insert, FMaxLength, n, Len))
        return false;
    if (Len == 0 && insert.empty())
        return false;
    bool typing = ByUser && Len == 0 && insert.size() == 1;
    if (CanUndo)
        SaveUndo(typing);
    int oldAnchor = FAnchor, oldCaret = FCaret;
    FDoc.Erase(Pos, Len);
    int added = FDoc.Insert(Pos, insert, Format);
    FAnchor = FCaret = Pos + added;
    FInsertFormatSet = false;
    FTypingRun = typing;
    FModified = true;
    FPreferredX = -1;
    ContentChanged();
    if (FAnchor != oldAnchor || FCaret != oldCaret || Len > 0)
        SelectionChange();
    return true;
}

void TCustomRichEdit::ContentChanged() {
    ScrollCaretIntoView();
    UpdateScrollBars();
    Invalidate();
    Change();
}

void TCustomRichEdit::Change() {
    if (OnChange)
        OnChange(this);
}

void TCustomRichEdit::SelectionChange() {
    if (OnSelectionChange)
        OnSelectionChange(this);
}

void TCustomRichEdit::SaveUndo(bool Typing) {
    if (Typing && FTypingRun && FUndo)
        return; // a run of typed characters is undone as one
    FUndo = std::make_unique<TUndoState>();
    FUndo->Doc = FDoc;
    FUndo->Doc.OnParagraphsChanged = nullptr;
    FUndo->Anchor = FAnchor;
    FUndo->Caret = FCaret;
}

void TCustomRichEdit::ClearUndo() {
    FUndo.reset();
    FTypingRun = false;
}

void TCustomRichEdit::Undo() {
    if (!FUndo || FReadOnly)
        return;
    // Undoing twice gives the text back: the state undone becomes the new undo step.
    auto redo = std::make_unique<TUndoState>();
    redo->Doc = FDoc;
    redo->Doc.OnParagraphsChanged = nullptr;
    redo->Anchor = FAnchor;
    redo->Caret = FCaret;
    auto notify = std::move(FDoc.OnParagraphsChanged);
    FDoc = FUndo->Doc;
    FDoc.OnParagraphsChanged = std::move(notify);
    FLayout->InvalidateAll();
    FAnchor = std::min(FUndo->Anchor, FDoc.Length());
    FCaret = std::min(FUndo->Caret, FDoc.Length());
    FUndo = std::move(redo);
    FTypingRun = false;
    FInsertFormatSet = false;
    FModified = true;
    ContentChanged();
    SelectionChange();
}

// ---- Clipboard -------------------------------------------------------------------------------------------

void TCustomRichEdit::CopyToClipboard() {
    Perform(WM_COPY, 0, 0);
}

void TCustomRichEdit::CutToClipboard() {
    Perform(WM_CUT, 0, 0);
}

void TCustomRichEdit::PasteFromClipboard() {
    Perform(WM_PASTE, 0, 0);
}

// ---- Layout and scrolling --------------------------------------------------------------------------------

TCanvas& TCustomRichEdit::Measure() const {
    if (!FMeasure) {
        FMeasure = std::make_unique<TBitmap>();
        FMeasure->SetSize(1, 1);
    }
    return *FMeasure->Canvas();
}

TRect TCustomRichEdit::TextRect() const {
    TRect c = ClientRect();
    return TRect(c.Left + 1, c.Top, std::max(c.Left + 2, c.Right - 1), c.Bottom);
}

TRichLayout& TCustomRichEdit::Layout() const {
    FLayout->SetWidth(TextRect().Width(), FWordWrap);
    FLayout->Update(Measure());
    return *FLayout;
}

TPoint TCustomRichEdit::PosFromChar(int Pos) const {
    TRichLayout& layout = Layout();
    TRichLine line = layout.Line(layout.LineOfPos(Pos));
    TRect r = TextRect();
    return TPoint(r.Left - FScrollX + line.XOf(Pos), r.Top - FScrollY + line.Top);
}

int TCustomRichEdit::CharFromPos(TPoint P) const {
    TRichLayout& layout = Layout();
    TRect r = TextRect();
    int line = layout.LineAtY(P.Y - r.Top + FScrollY);
    return layout.PosAt(line, P.X - r.Left + FScrollX);
}

void TCustomRichEdit::ScrollTo(int X, int Y) {
    TRichLayout& layout = Layout();
    TRect r = TextRect();
    X = FWordWrap ? 0 : std::clamp(X, 0, std::max(0, layout.ContentWidth() + 2 - r.Width()));
    Y = std::clamp(Y, 0, std::max(0, layout.Height() - r.Height()));
    if (X == FScrollX && Y == FScrollY)
        return;
    FScrollX = X;
    FScrollY = Y;
    UpdateScrollBars();
    Invalidate();
}

void TCustomRichEdit::ScrollCaretIntoView() {
    TRichLayout& layout = Layout();
    TRect r = TextRect();
    TRichLine line = layout.Line(layout.LineOfPos(FCaret));
    int y = FScrollY;
    if (line.Top < y)
        y = line.Top;
    else if (line.Top + line.Height > y + r.Height())
        y = line.Top + line.Height - r.Height();
    int x = FScrollX;
    if (!FWordWrap) {
        int cx = line.XOf(FCaret);
        int w = std::max(1, r.Width());
        if (cx - x > w - 1)
            x = cx - w + 1 + w / 4;
        else if (cx < x)
            x = std::max(0, cx - w / 4);
    }
    ScrollTo(x, y);
}

void TCustomRichEdit::UpdateScrollBars() {
    if (!HandleAllocated() || FUpdatingBars)
        return;
    FUpdatingBars = true;
    // Showing one bar narrows the room for the text and for the other bar: settle in two passes.
    for (int pass = 0; pass < 2; ++pass) {
        TRichLayout& layout = Layout();
        TRect r = TextRect();
        bool vert = FScrollBars == ssVertical || FScrollBars == ssBoth;
        bool horz = (FScrollBars == ssHorizontal || FScrollBars == ssBoth) && !FWordWrap;
        FScrollY = std::clamp(FScrollY, 0, std::max(0, layout.Height() - r.Height()));
        FScrollX =
            FWordWrap ? 0 : std::clamp(FScrollX, 0, std::max(0, layout.ContentWidth() + 2 - r.Width()));
        // A bar not chosen gets a page past its range: nothing to scroll, so it hides.
        int height = std::max(0, layout.Height() - 1);
        SetEditScrollBar(Handle(), SB_VERT, height, vert ? std::max(1, r.Height()) : height + 2, FScrollY,
                         false);
        int width = std::max(0, layout.ContentWidth() + 1);
        SetEditScrollBar(Handle(), SB_HORZ, width, horz ? std::max(1, r.Width()) : width + 2, FScrollX,
                         false);
    }
    FUpdatingBars = false;
}

// ---- Window and input ------------------------------------------------------------------------------------

class TCustomRichEdit::TInput final : public TEditInput {
public:
    explicit TInput(TCustomRichEdit& RichEdit) : TEditInput(RichEdit), E(RichEdit) {}

protected:
    const std::u32string& Chars() const override { return E.FDoc.Chars(); }
    int Anchor() const override { return E.FAnchor; }
    int Caret() const override { return E.FCaret; }
    bool ReadOnly() const override { return E.FReadOnly; }
    void SetReadOnly(bool Value) override { E.SetReadOnly(Value); }
    int MaxLength() const override { return E.FMaxLength; }
    bool Modified() const override { return E.FModified; }
    void SetModified(bool Value) override { E.FModified = Value; }
    int LineStart() const override {
        TRichLayout& layout = E.Layout();
        return layout.Line(layout.LineOfPos(E.FCaret)).Start;
    }
    int LineEnd() const override {
        TRichLayout& layout = E.Layout();
        return layout.PosAt(layout.LineOfPos(E.FCaret), INT_MAX / 2);
    }
    TPoint PosFromChar(int Pos) const override { return E.PosFromChar(Pos); }
    int CharFromPos(TPoint P) const override { return E.CharFromPos(P); }
    void ScrollCaretIntoView() override { E.ScrollCaretIntoView(); }
    void Select(int Anchor, int Caret) override { E.SetSelection(Anchor, Caret); }
    void MoveCaret(int Pos, bool Extend) override { E.MoveCaret(Pos, Extend); }
    void MoveVertically(WPARAM Key, bool Extend) override { E.MoveVertically(Key, Extend); }
    void SelectAll() override { E.SelectAll(); }
    void Delete(int Anchor, int Caret) override {
        E.FAnchor = Anchor;
        E.FCaret = Caret;
        E.ReplaceSelection(U"", true, true);
    }
    bool Replace(const std::u32string& Text, bool ByUser, bool CanUndo) override {
        return E.ReplaceSelection(Text, ByUser, CanUndo);
    }
    // The plain text and the RTF, so that a paste elsewhere keeps the formats.
    bool CopySelection() override {
        std::string text = E.SelText();
        std::string rtf = E.SelRtfText();
        TClipboard* clipboard = Clipboard();
        clipboard->Open();
        ScopeGuard close([clipboard] { clipboard->Close(); });
        EmptyClipboard();
        SetClipboardData(CF_UNICODETEXT, std::vector<uint8_t>(text.begin(), text.end()));
        SetClipboardData(RegisterClipboardFormat("Rich Text Format"),
                         std::vector<uint8_t>(rtf.begin(), rtf.end()));
        return true;
    }
    bool CanUndo() const override { return E.CanUndo(); }
    void Undo() override { E.Undo(); }
    std::u32string ReturnText() const override {
        return E.FWantReturns ? std::u32string(1, RichParagraphBreak) : std::u32string();
    }
    bool TypesTabs() const override { return E.FWantTabs; }

private:
    TCustomRichEdit& E;
};

void TCustomRichEdit::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomRichEdit::Dispatch(TMessage& Message) {
    if (TInput(*this).Dispatch(Message, FMouse))
        return;
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = TInput(*this).DialogCode();
        return;
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(Message.LParam);
        SetText(text ? text : "");
        Message.Result = 1;
        return;
    }
    case WM_SIZE:
        TCustomControl::Dispatch(Message);
        UpdateScrollBars();
        Invalidate();
        return;
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(Message);
        ApplyFont();
        UpdateScrollBars();
        return;
    case WM_VSCROLL:
    case WM_HSCROLL: {
        bool vertical = Message.Msg == WM_VSCROLL;
        TRect r = TextRect();
        int line =
            std::max(1, Layout().LineCount() > 0 ? Layout().Line(Layout().LineAtY(FScrollY)).Height : 16);
        int step = vertical ? line : 16;
        int page = std::max(1, (vertical ? r.Height() : r.Width()) - step);
        int pos = vertical ? FScrollY : FScrollX;
        if (!ScrollRequestPosition(Handle(), vertical ? SB_VERT : SB_HORZ, LOWORD(Message.WParam), step, page,
                                   0, INT_MAX / 2, pos)) {
            Message.Result = 0;
            return;
        }
        if (vertical)
            ScrollTo(FScrollX, pos);
        else
            ScrollTo(pos, FScrollY);
        Message.Result = 0;
        return;
    }
    }
    TCustomControl::Dispatch(Message);
}

// The rich edit's own handling of every message, after the control's handlers let it through.
void TCustomRichEdit::DefaultHandler(TMessage& Message) {
    if (TInput(*this).DefaultHandler(Message, FMouse))
        return;
    switch (Message.Msg) {
    case WM_MOUSEWHEEL: {
        int line = Layout().LineCount() > 0 ? Layout().Line(Layout().LineAtY(FScrollY)).Height : 16;
        ScrollTo(FScrollX, FScrollY - GET_WHEEL_DELTA_WPARAM(Message.WParam) * 3 * line / WHEEL_DELTA);
        Message.Result = 1;
        return;
    }
    case EM_LIMITTEXT:
        SetMaxLength(static_cast<int>(Message.WParam));
        return;
    case EM_CHARFROMPOS:
        Message.Result = CharFromPos(PointFromLParam(Message.LParam));
        return;
    }
    TCustomControl::DefaultHandler(Message);
}

void TCustomRichEdit::MoveVertically(WPARAM Key, bool Extend) {
    TRichLayout& layout = Layout();
    int li = layout.LineOfPos(FCaret);
    auto toLine = [&](int target) {
        target = std::clamp(target, 0, layout.LineCount() - 1);
        if (FPreferredX < 0)
            FPreferredX = layout.Line(li).XOf(FCaret);
        int keep = FPreferredX;
        MoveCaret(layout.PosAt(target, keep), Extend);
        FPreferredX = keep;
    };
    switch (Key) {
    case VK_UP:
        toLine(li - 1);
        break;
    case VK_DOWN:
        toLine(li + 1);
        break;
    case VK_PRIOR:
    case VK_NEXT: {
        int page = std::max(1, TextRect().Height());
        int delta = Key == VK_PRIOR ? -page : page;
        TRichLine line = layout.Line(li);
        int target = layout.LineAtY(std::max(0, line.Top + delta));
        ScrollTo(FScrollX, FScrollY + delta);
        toLine(target);
        break;
    }
    }
}

// ---- Painting --------------------------------------------------------------------------------------------

void TCustomRichEdit::PaintBackground(TCanvas& Canvas, const TRect& Rect) {
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(Enabled() ? Color() : clBtnFace);
    Canvas.FillRect(Rect);
}

void TCustomRichEdit::PaintLine(TCanvas& Canvas, int Line, int OriginX, int OriginY) {
    TRichLayout::TDrawColors colors;
    if (!Enabled())
        colors.Disabled = clGrayText;
    bool showSel = (Focused() || !FHideSelection) && SelLength() > 0;
    int a = showSel ? SelStart() : 0, b = showSel ? SelStart() + SelLength() : 0;
    FLayout->DrawLine(Canvas, Line, OriginX, OriginY, a, b, colors);
}

void TCustomRichEdit::PaintCaret(TCanvas& Canvas, TPoint Pos, int Height) {
    Canvas.Pen()->SetColor(clWindowText);
    Canvas.Pen()->SetWidth(1);
    Canvas.Pen()->SetStyle(psSolid);
    Canvas.MoveTo(Pos.X, Pos.Y);
    Canvas.LineTo(Pos.X, Pos.Y + Height);
}

void TCustomRichEdit::Paint() {
    TCanvas& c = *Canvas();
    PaintBackground(c, ClientRect());
    TRichLayout& layout = Layout();
    TRect r = TextRect();
    int originX = r.Left - FScrollX, originY = r.Top - FScrollY;
    for (int i = layout.LineAtY(FScrollY); i < layout.LineCount(); ++i) {
        if (originY + layout.Line(i).Top >= r.Bottom)
            break;
        PaintLine(c, i, originX, originY);
    }
    if (Focused() && Enabled()) {
        TRichLine line = layout.Line(layout.LineOfPos(FCaret));
        TPoint p(originX + line.XOf(FCaret), originY + line.Top);
        if (p.X >= r.Left - 1 && p.X <= r.Right && p.Y < r.Bottom)
            PaintCaret(c, p, line.Height);
    }
}

// ---- Printing --------------------------------------------------------------------------------------------

void TCustomRichEdit::Print(const std::string& Caption) {
    TPrinter* printer = Printer();
    printer->Title = Caption;
    printer->BeginDoc();
    // A print that fails half way is not left open.
    ScopeGuard abort([printer] {
        if (printer->Printing())
            printer->Abort();
    });
    TCanvas& canvas = *printer->Canvas();
    int ppi = printer->PixelsPerInch();
    int pageW = printer->PageWidth(), pageH = printer->PageHeight();
    // An inch of margin all round, less on paper too small for it.
    int margin = std::min(ppi, std::min(pageW, pageH) / 8);
    TRect area(margin, margin, pageW - margin, pageH - margin);
    TRichLayout layout(FDoc, ppi);
    layout.SetWidth(area.Width(), true);
    layout.Update(canvas);
    TRichLayout::TDrawColors colors;
    int pageTop = 0; // document y at the top of the page
    for (int i = 0; i < layout.LineCount(); ++i) {
        TRichLine line = layout.Line(i);
        if (line.Top + line.Height - pageTop > area.Height() && line.Top > pageTop) {
            printer->NewPage();
            pageTop = line.Top;
        }
        layout.DrawLine(canvas, i, area.Left, area.Top - pageTop, 0, 0, colors);
    }
    printer->EndDoc();
    abort.Dismiss();
}

} // namespace plat
