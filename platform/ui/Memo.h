// The memo: a multi-line edit with its text as a list of lines, word wrap, and the window's own scroll
// bars (a chosen bar stays shown, disabled while there is nothing to scroll).
#pragma once

#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/ui/Edit.h"
#include "platform/ui/TextAlignment.h"
#include "platform/ui/WindowScroll.h"

namespace plat {

class TCustomMemo;

// The memo's lines, read from and written to its text (hard line breaks; wrapping does not split lines).
class TMemoStrings : public TStrings {
    PLAT_CLASS(TMemoStrings)
public:
    explicit TMemoStrings(TCustomMemo* Memo = nullptr) : FMemo(Memo) {}
    int Count() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    void SetText(const std::string& text) override;

private:
    // [start, end) of a line's characters and the start of the next line.
    bool LineSpan(int index, int& start, int& end, int& next) const;
    TCustomMemo* FMemo;
};

class TCustomMemo : public TCustomEdit {
    PLAT_CLASS(TCustomMemo)
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool GetWantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool GetWantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    // Caret as column (X) and line (Y) of the text's lines.
    TPoint CaretPos() const;
    void SetCaretPos(TPoint Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    bool WrapLines() const override { return FWordWrap; }
    bool WantReturns() const override { return FWantReturns; }
    bool WantTabs() const override { return FWantTabs; }
    void LayoutChanged() override;

private:
    // Shows the chosen bars and puts the text's extent and position into them.
    void UpdateScrollBars();
    void ScrollMessage(bool Vertical, int Code);
    bool VertShown() const { return FScrollBars == ssVertical || FScrollBars == ssBoth; }
    bool HorzShown() const { return (FScrollBars == ssHorizontal || FScrollBars == ssBoth) && !FWordWrap; }

    std::unique_ptr<TMemoStrings> FLines;
    TAlignment FAlignment = taLeftJustify;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
    bool FUpdatingBars = false;
};

class TMemo : public TCustomMemo {
    PLAT_CLASS(TMemo)
public:
    explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

} // namespace plat
