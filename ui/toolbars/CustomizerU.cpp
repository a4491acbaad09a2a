#include "ui/toolbars/CustomizerU.h"

#include <algorithm>

#include "platform/rtl/StringUtils.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/MessageDialog.h"
#include "platform/ui/Panel.h"
#include "platform/ui/SpeedButton.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/toolbars/CustomizerBtnU.h"
#include "ui/toolbars/KvxToolBarControl.h"

namespace ui {

PLAT_CLASS_INFO_CREATABLE(TCustomizerForm, plat::TForm)

namespace {

template <class T> T* Make(plat::TForm* Form, plat::TWinControl* Parent, int L, int T_, int W, int H) {
    auto* c = new T(Form);
    c->SetParent(Parent);
    c->SetBounds(L, T_, W, H);
    return c;
}

} // namespace

TCustomizerForm::TCustomizerForm(plat::TComponent* AOwner) : TForm(AOwner) {
    SetCaption("CustomizerForm");
    SetBorderStyle(plat::bsToolWindow);
    SetBorderIcons(plat::biSystemMenu);
    SetClientWidth(387);
    SetClientHeight(363);
    GroupBox1 = Make<plat::TGroupBox>(this, this, 9, 3, 369, 253);
    LblToolbarItems = Make<plat::TLabel>(this, GroupBox1, 9, 10, 70, 13);
    LblToolbarItems->SetCaption("Toolbar Items:");
    LstBxToolBarItems = Make<plat::TListBox>(this, GroupBox1, 7, 26, 162, 219);
    LblCommands = Make<plat::TLabel>(this, GroupBox1, 201, 10, 60, 13);
    LblCommands->SetCaption("Commands:");
    LstBxCommand = Make<plat::TListBox>(this, GroupBox1, 199, 26, 162, 193);
    CmBxIcon = Make<plat::TComboBox>(this, GroupBox1, 199, 223, 162, 22);
    CmBxIcon->SetStyle(plat::csOwnerDrawFixed);
    CmBxIcon->SetItemHeight(16);
    CmBxIcon->OnDrawItem = [this](plat::TWinControl*, int Index, plat::TRect Rect, plat::TOwnerDrawState) {
        DrawIconEntry(Index, Rect);
    };
    // Entries show the toolbar's own pictures next to their names.
    LstBxToolBarItems->SetStyle(plat::lbOwnerDrawFixed);
    LstBxToolBarItems->SetItemHeight(20);
    LstBxToolBarItems->OnDrawItem = [this](plat::TWinControl*, int Index, plat::TRect Rect,
                                           plat::TOwnerDrawState) { DrawToolBarItem(Index, Rect); };

    const struct {
        plat::TSpeedButton** Button;
        int Top;
        const char* Caption;
        const char* Hint;
        void (TCustomizerForm::*Action)();
    } side[] = {
        {&TopButton, 26, "\xE2\x86\x91\xE2\x86\x91",
         "Move currently selected item to the beginning of the list", &TCustomizerForm::TopClick},
        {&UpButton, 48, "\xE2\x86\x91", "Move currently selected item up one place",
         &TCustomizerForm::UpClick},
        {&DownButton, 70, "\xE2\x86\x93", "Move selected item down one place", &TCustomizerForm::DownClick},
        {&BottomButton, 92, "\xE2\x86\x93\xE2\x86\x93", "Move selected item to the end of the list",
         &TCustomizerForm::BottomClick},
        {&AddButton, 114, "+", "Insert command", nullptr},
        {&AddGlowButton, 136, "G", "Insert GlowButton", nullptr},
        {&SeparatorButton, 158, "|", "Insert Separator", &TCustomizerForm::SeparatorClick},
        {&DeleteButton, 180, "x", "Delete currently selected item", &TCustomizerForm::DeleteClick},
        {&ClearButton, 202, "C", "Clear all toolbar items", &TCustomizerForm::ClearClick},
        {&BtnEdit, 224, "E", "Clear all toolbar items", &TCustomizerForm::EditClick},
    };
    for (const auto& s : side) {
        auto* b = Make<plat::TSpeedButton>(this, GroupBox1, 173, s.Top, 23, 22);
        b->SetFlat(true);
        b->SetCaption(s.Caption);
        b->SetHint(s.Hint);
        if (s.Action)
            b->OnClick = [this, a = s.Action](plat::TObject*) { (this->*a)(); };
        *s.Button = b;
    }
    AddButton->OnClick = [this](plat::TObject*) { AddClick(false); };
    AddGlowButton->OnClick = [this](plat::TObject*) { AddClick(true); };

    GroupBox2 = Make<plat::TGroupBox>(this, this, 9, 258, 369, 65);
    LblCaption = Make<plat::TLabel>(this, GroupBox2, 7, 20, 37, 13);
    LblCaption->SetCaption("Caption");
    EdtCaption = Make<plat::TEdit>(this, GroupBox2, 64, 16, 103, 21);
    LblGlphPos = Make<plat::TLabel>(this, GroupBox2, 200, 21, 70, 13);
    LblGlphPos->SetCaption("Glyph Position");
    CmBxGlphPos = Make<plat::TComboBox>(this, GroupBox2, 301, 16, 60, 21);
    CmBxGlphPos->SetStyle(plat::csDropDownList);
    for (const char* s : {"Left", "Top", "Right", "Bottom"})
        CmBxGlphPos->Items()->Add(s);
    ChkLargeIcon = Make<plat::TCheckBox>(this, GroupBox2, 7, 43, 97, 17);
    ChkLargeIcon->SetCaption("Large Icon");
    BtnOk = Make<plat::TButton>(this, this, 122, 333, 75, 25);
    BtnOk->SetCaption("&OK");
    BtnOk->SetDefault(true);
    BtnOk->OnClick = [this](plat::TObject*) { OkClick(); };
    BtnCancel = Make<plat::TButton>(this, this, 197, 333, 75, 25);
    BtnCancel->SetCaption("&Cancel");
    BtnCancel->SetCancel(true);
    BtnCancel->SetModalResult(plat::mrCancel);
    BtnReset = Make<plat::TButton>(this, this, 303, 334, 75, 25);
    BtnReset->SetCaption("&Reset");
    BtnReset->SetModalResult(9);

    LstBxToolBarItems->OnClick = [this](plat::TObject*) { UpdateButtons(); };
    LstBxToolBarItems->OnDblClick = [this](plat::TObject*) {
        if (BtnEdit->Enabled() && BtnEdit->Visible())
            EditClick();
    };
    LstBxCommand->OnClick = [this](plat::TObject*) {
        const int c = LstBxCommand->ItemIndex();
        if (c >= 0 && FCustomizer && c < static_cast<int>(FCustomizer->Commands().size())) {
            const int image = FCustomizer->Commands()[c].ItemIndex;
            CmBxIcon->SetItemIndex(image >= 0 && image < CmBxIcon->Items()->Count() - 1
                                       ? image
                                       : CmBxIcon->Items()->Count() - 1);
        }
        UpdateButtons();
    };
    EdtCaption->OnChange = [this](plat::TObject*) { Mark(); };
    CmBxGlphPos->OnChange = [this](plat::TObject*) { Mark(); };
    ChkLargeIcon->OnClick = [this](plat::TObject*) { Mark(); };
}

void TCustomizerForm::Mark() {
    if (!FInitializing)
        FModified = true;
}

void TCustomizerForm::SetCaptionEditVisible(bool Value) {
    EdtCaption->SetVisible(Value);
    LblCaption->SetVisible(Value);
}

void TCustomizerForm::SetGlyphPositionEditVisible(bool Value) {
    CmBxGlphPos->SetVisible(Value);
    LblGlphPos->SetVisible(Value);
}

void TCustomizerForm::RefreshList() {
    const int keep = LstBxToolBarItems->ItemIndex();
    LstBxToolBarItems->Items()->Clear();
    for (const TEntry& e : FEntries)
        LstBxToolBarItems->Items()->Add(e.Text);
    LstBxToolBarItems->SetItemIndex(std::min(keep, static_cast<int>(FEntries.size()) - 1));
}

void TCustomizerForm::Select(int Index) {
    LstBxToolBarItems->SetItemIndex(Index);
    UpdateButtons();
}

void TCustomizerForm::FillDialog() {
    if (!FCustomizer || !FCustomizer->KvxToolBar())
        return;
    TKvxToolBar* bar = FCustomizer->KvxToolBar();
    plat::TCustomImageList* images = bar->Images();
    FEntries.clear();
    for (plat::TControl* c : bar->OrderedControls()) {
        TEntry e;
        if (auto* b = dynamic_cast<TKvxToolBarButton*>(c)) {
            e.HasRecord = true;
            e.Prop.Control = b;
            e.Prop.Caption = b->Caption();
            e.Prop.Hint = b->Hint();
            e.Prop.Visible = b->Visible();
            e.Prop.ImageIndex = b->ImageIndex();
            e.Prop.ShowCaption = b->ShowCaption();
            e.Text = b->Caption();
        } else if (dynamic_cast<TKvxToolBarSeparator*>(c)) {
            e.HasRecord = true;
            e.Prop.Control = c;
            e.Prop.Separator = true;
            e.Text = "Separator";
        } else {
            e.Text = c->Name();
        }
        FEntries.push_back(std::move(e));
    }
    RefreshList();
    LstBxCommand->Items()->Clear();
    for (const TKTBCommand& cmd : FCustomizer->Commands())
        LstBxCommand->Items()->Add(cmd.Caption());
    CmBxIcon->Items()->Clear();
    const int imageCount = images ? images->Count() : 0;
    if (imageCount > 0)
        CmBxIcon->SetItemHeight(images->Height() + 3);
    for (int i = 0; i < imageCount; ++i)
        CmBxIcon->Items()->Add("");
    CmBxIcon->Items()->Add(FCustomizer->DialogSettings.GlyphEditNoneIconCaption);
    CmBxIcon->SetVisible(imageCount > 0 && FCustomizer->DialogSettings.EditGlyphVisible);
    LstBxCommand->SetHeight(CmBxIcon->Visible() ? 193 : 219);
    EdtCaption->SetTextProp(bar->Caption());
    CmBxGlphPos->SetItemIndex(0);
    for (plat::TControl* c : bar->OrderedControls())
        if (auto* b = dynamic_cast<TKvxToolBarButton*>(c)) {
            CmBxGlphPos->SetItemIndex(b->GlyphPosition());
            break;
        }
    ChkLargeIcon->SetChecked(FCustomizer->LargeImages() && bar->Images() == FCustomizer->LargeImages());
    if (LstBxCommand->Items()->Count() > 0) {
        LstBxCommand->SetItemIndex(0);
        if (LstBxCommand->OnClick)
            LstBxCommand->OnClick(LstBxCommand);
    }
    if (!FEntries.empty())
        LstBxToolBarItems->SetItemIndex(0);
    const auto& bp = FCustomizer->ButtonProperties;
    FEditable = bp.Caption || bp.Hint || bp.Glyph || bp.ShowCaption || bp.Visible;
    ArrangeSettingsGroup();
    UpdateButtons();
    FInitializing = false;
}

void TCustomizerForm::ArrangeSettingsGroup() {
    const bool caption = EdtCaption->Visible(), glyph = CmBxGlphPos->Visible(),
               large = ChkLargeIcon->Visible();
    LblCaption->SetVisible(caption);
    LblGlphPos->SetVisible(glyph);
    if (large)
        ChkLargeIcon->SetBounds(50, 43, ChkLargeIcon->Width(), ChkLargeIcon->Height());
    if (!caption) {
        if (glyph) {
            LblGlphPos->SetLeft(6);
            CmBxGlphPos->SetLeft(LblGlphPos->Left() + LblGlphPos->Width() + 5);
            if (large)
                ChkLargeIcon->SetBounds(200, 19, ChkLargeIcon->Width(), ChkLargeIcon->Height());
        } else if (large) {
            ChkLargeIcon->SetBounds(7, 16, ChkLargeIcon->Width(), ChkLargeIcon->Height());
        }
    } else if (!glyph && large) {
        ChkLargeIcon->SetBounds(200, 19, ChkLargeIcon->Width(), ChkLargeIcon->Height());
    }
    if (caption)
        EdtCaption->SetLeft(LblCaption->Left() + LblCaption->Width() + 5);
    if (glyph)
        LblGlphPos->SetLeft(CmBxGlphPos->Left() - 5 - LblGlphPos->Width());
    const bool any = caption || glyph || large;
    if (!any && GroupBox2->Visible()) {
        GroupBox2->SetVisible(false);
        const int h = GroupBox2->Height();
        SetClientHeight(ClientHeight() - h);
        BtnOk->SetTop(BtnOk->Top() - h);
        BtnCancel->SetTop(BtnCancel->Top() - h);
        BtnReset->SetTop(BtnOk->Top());
    }
}

bool TCustomizerForm::SelectedEditable() const {
    const int i = LstBxToolBarItems->ItemIndex();
    if (i < 0 || i >= static_cast<int>(FEntries.size()) || !FEntries[i].HasRecord)
        return false;
    const TKTBItemProp& p = FEntries[i].Prop;
    return p.Control ? dynamic_cast<TKvxToolBarButton*>(p.Control) != nullptr : !p.Separator;
}

void TCustomizerForm::UpdateButtons() {
    const int i = LstBxToolBarItems->ItemIndex(), n = static_cast<int>(FEntries.size());
    const bool reorder = FCustomizer && FCustomizer->Options.ReOrder;
    BtnEdit->SetEnabled(FEditable && SelectedEditable());
    TopButton->SetEnabled(i > 0 && reorder);
    UpButton->SetEnabled(i > 0 && reorder);
    DownButton->SetEnabled(i >= 0 && i < n - 1 && reorder);
    BottomButton->SetEnabled(i >= 0 && i < n - 1 && reorder);
    AddButton->SetEnabled(LstBxCommand->ItemIndex() >= 0);
    AddGlowButton->SetEnabled(LstBxCommand->ItemIndex() >= 0);
    DeleteButton->SetEnabled(i >= 0);
    ClearButton->SetEnabled(n > 0);
}

void TCustomizerForm::Exchange(int A, int B) {
    std::swap(FEntries[A], FEntries[B]);
    RefreshList();
}

void TCustomizerForm::MoveEntry(int From, int To) {
    TEntry e = std::move(FEntries[From]);
    FEntries.erase(FEntries.begin() + From);
    FEntries.insert(FEntries.begin() + To, std::move(e));
    RefreshList();
    Select(To);
    Mark();
}

void TCustomizerForm::TopClick() {
    const int i = LstBxToolBarItems->ItemIndex();
    if (i > 0)
        MoveEntry(i, 0);
}

void TCustomizerForm::BottomClick() {
    const int i = LstBxToolBarItems->ItemIndex(), n = static_cast<int>(FEntries.size());
    if (i >= 0 && i < n - 1)
        MoveEntry(i, n - 1);
}

void TCustomizerForm::UpClick() {
    const int i = LstBxToolBarItems->ItemIndex(), n = static_cast<int>(FEntries.size());
    if (n == 0)
        return;
    if (i < 0) {
        Select(n - 1);
        return;
    }
    const int to = i == 0 ? n - 1 : i - 1;
    Exchange(i, to);
    Select(to);
    Mark();
}

void TCustomizerForm::DownClick() {
    const int i = LstBxToolBarItems->ItemIndex(), n = static_cast<int>(FEntries.size());
    if (n == 0)
        return;
    if (i < 0) {
        Select(0);
        return;
    }
    const int to = i == n - 1 ? 0 : i + 1;
    Exchange(i, to);
    Select(to);
    Mark();
}

void TCustomizerForm::Insert(TEntry Entry) {
    const int i = LstBxToolBarItems->ItemIndex(), n = static_cast<int>(FEntries.size());
    const int at = i < 0 || i >= n - 1 ? n : i + 1;
    FEntries.insert(FEntries.begin() + at, std::move(Entry));
    RefreshList();
    Select(at);
    Mark();
}

plat::TCustomImageList* TCustomizerForm::ToolBarImages() const {
    return FCustomizer && FCustomizer->KvxToolBar() ? FCustomizer->KvxToolBar()->Images() : nullptr;
}

void TCustomizerForm::DrawToolBarItem(int Index, plat::TRect Rect) {
    plat::TCanvas* c = LstBxToolBarItems->Canvas();
    c->FillRect(Rect);
    if (Index < 0 || Index >= static_cast<int>(FEntries.size()))
        return;
    const TEntry& e = FEntries[Index];
    plat::TCustomImageList* images = ToolBarImages();
    const int slot = images ? images->Width() + 8 : 0;
    int x = 2;
    auto listImage = [&](plat::TCustomImageList* list, int image) {
        if (list && image >= 0 && image < list->Count())
            list->Draw(c, Rect.Left + 2, Rect.Top + 2, image);
    };
    plat::TControl* control = e.HasRecord ? e.Prop.Control : nullptr;
    if (auto* button = dynamic_cast<TKvxToolBarButton*>(control)) {
        if (!button->Glyph()->Empty()) {
            button->Glyph()->SetTransparent(true);
            c->Draw(Rect.Left + 2, Rect.Top + 2, button->Glyph());
            x += button->Glyph()->Width();
        } else {
            listImage(images, e.Prop.ImageIndex);
            x += slot;
        }
    } else if (auto* glow = dynamic_cast<TKvxCustomGlowButton*>(control)) {
        listImage(glow->Images(), e.Prop.ImageIndex);
        x += glow->Images() ? glow->Images()->Width() + 8 : 0;
    } else if (e.HasRecord && e.Prop.Separator) {
        x += 8;
    } else if (e.HasRecord && !control) {
        listImage(images, e.Prop.ImageIndex);
        x += slot;
    }
    x += 8;
    c->Brush()->SetStyle(plat::bsClear);
    c->TextOut(Rect.Left + x, Rect.Top + (Rect.Height() - c->TextHeight("Wg")) / 2, e.Text);
    c->Brush()->SetStyle(plat::bsSolid);
}

void TCustomizerForm::DrawIconEntry(int Index, plat::TRect Rect) {
    plat::TCanvas* c = CmBxIcon->Canvas();
    c->FillRect(Rect);
    plat::TCustomImageList* images = ToolBarImages();
    const int count = images ? images->Count() : 0;
    if (Index >= 0 && Index < count) {
        images->Draw(c, Rect.Left + 2, Rect.Top + 2, Index);
    } else if (Index == count && Index < CmBxIcon->Items()->Count()) {
        c->Brush()->SetStyle(plat::bsClear);
        c->TextOut(Rect.Left + 4, Rect.Top + (Rect.Height() - c->TextHeight("Wg")) / 2,
                   CmBxIcon->Items()->Strings(Index));
        c->Brush()->SetStyle(plat::bsSolid);
    }
}

void TCustomizerForm::AddClick(bool Glow) {
    const int c = LstBxCommand->ItemIndex();
    if (c < 0 || !FCustomizer || c >= static_cast<int>(FCustomizer->Commands().size()))
        return;
    const TKTBCommand& cmd = FCustomizer->Commands()[c];
    TEntry e;
    e.HasRecord = true;
    e.Prop.FromCommand = true;
    e.Prop.CommandIndex = c;
    const int icon = CmBxIcon->ItemIndex();
    e.Prop.ImageIndex = icon >= 0 && icon < CmBxIcon->Items()->Count() - 1 ? icon : -1;
    e.Prop.ForceImageIndex = true;
    e.Prop.Caption = e.Prop.Hint = e.Prop.Name = e.Text = cmd.Caption();
    e.Prop.GlowButton = Glow;
    Insert(std::move(e));
}

void TCustomizerForm::SeparatorClick() {
    // The first free name, checked against the toolbar and against separators added in this dialog.
    auto taken = [&](const std::string& name) {
        if (FCustomizer && FCustomizer->FindToolBarControl(name))
            return true;
        return std::any_of(FEntries.begin(), FEntries.end(), [&](const TEntry& e) {
            return e.HasRecord && !e.Prop.Control && plat::SameText(e.Prop.Name, name);
        });
    };
    std::string name;
    for (int n = 1;; ++n) {
        name = "KvxToolBarSeparator" + std::to_string(n);
        if (!taken(name))
            break;
    }
    TEntry e;
    e.HasRecord = true;
    e.Prop.Separator = true;
    e.Prop.Name = e.Prop.Caption = name;
    e.Text = "Separator";
    Insert(std::move(e));
}

void TCustomizerForm::DeleteClick() {
    const int i = LstBxToolBarItems->ItemIndex();
    if (i < 0 || i >= static_cast<int>(FEntries.size()))
        return;
    FEntries.erase(FEntries.begin() + i);
    RefreshList();
    Select(std::min(i, static_cast<int>(FEntries.size()) - 1));
    Mark();
}

void TCustomizerForm::ClearClick() {
    if (plat::MessageDlg("Are you sure that you want to clear ToolBar?", plat::mtConfirmation, plat::mbYesNo,
                         0) != plat::mrYes)
        return;
    FEntries.clear();
    RefreshList();
    UpdateButtons();
    Mark();
}

void TCustomizerForm::EditClick() {
    const int i = LstBxToolBarItems->ItemIndex();
    if (!SelectedEditable() || !FCustomizer)
        return;
    TKTBItemProp& p = FEntries[i].Prop;
    auto* dlg = new TCusBtnForm(this);
    dlg->SetCustomizer(FCustomizer);
    dlg->SetCaption("Customize Button");
    const auto& bp = FCustomizer->ButtonProperties;
    plat::TCustomImageList* images = FCustomizer->KvxToolBar()->Images();
    dlg->CmBxGlyph->SetVisible(false);
    if (bp.Glyph && images) {
        for (int k = 0; k < images->Count(); ++k)
            dlg->CmBxGlyph->Items()->Add("");
        dlg->CmBxGlyph->Items()->Add(FCustomizer->DialogSettings.GlyphEditNoneIconCaption);
        dlg->CmBxGlyph->SetVisible(true);
        if (p.ImageIndex >= 0 && p.ImageIndex < dlg->CmBxGlyph->Items()->Count())
            dlg->CmBxGlyph->SetItemIndex(p.ImageIndex);
    }
    dlg->EdtBtnCaption->SetTextProp(p.Caption);
    dlg->EdtBtnHint->SetTextProp(p.Hint);
    dlg->ChkBtnShowCap->SetChecked(p.ShowCaption);
    dlg->ChkBtnVis->SetChecked(p.Visible);
    dlg->EdtBtnCaption->SetEnabled(bp.Caption);
    dlg->EdtBtnHint->SetVisible(bp.Hint);
    dlg->LblHint->SetVisible(bp.Hint);
    dlg->LblIcon->SetVisible(dlg->CmBxGlyph->Visible());
    dlg->ChkBtnShowCap->SetVisible(bp.ShowCaption);
    dlg->ChkBtnVis->SetVisible(bp.Visible);
    if (!bp.ShowCaption && bp.Visible)
        dlg->ChkBtnVis->SetBounds(139, 11, dlg->ChkBtnVis->Width(), dlg->ChkBtnVis->Height());
    const plat::TPoint at = ClientToScreen(plat::TPoint(75, 120));
    dlg->SetBounds(at.X, at.Y, dlg->Width(), dlg->Height());
    const int before = dlg->CmBxGlyph->ItemIndex();
    if (dlg->ShowModal() == plat::mrOk) {
        p.Caption = dlg->EdtBtnCaption->Text();
        p.Hint = dlg->EdtBtnHint->Text();
        p.Visible = dlg->ChkBtnVis->Checked();
        p.ShowCaption = dlg->ChkBtnShowCap->Checked();
        if (bp.Glyph && dlg->CmBxGlyph->Visible() && dlg->CmBxGlyph->Enabled()) {
            const int sel = dlg->CmBxGlyph->ItemIndex();
            if (sel != before)
                p.ForceImageIndex = true;
            p.ImageIndex = sel < 0 || sel == dlg->CmBxGlyph->Items()->Count() - 1 ? -1 : sel;
        }
        FEntries[i].Text = p.Caption;
        RefreshList();
        FModified = true;
    }
    dlg->Free();
}

void TCustomizerForm::OkClick() {
    if (FCustomizer) {
        std::vector<TKTBItemProp> items;
        for (const TEntry& e : FEntries) {
            TKTBItemProp p = e.Prop;
            if (!e.HasRecord) {
                // Another kind of control: kept by its name, nothing more.
                p = TKTBItemProp();
                p.Name = e.Text;
                p.Control = FCustomizer->FindToolBarControl(e.Text);
            } else if (!p.Control && !p.Separator) {
                p.Name = e.Text;
            }
            items.push_back(p);
        }
        FCustomizer->SaveCustomization(EdtCaption->Visible() ? EdtCaption->Text() : std::string(),
                                       CmBxGlphPos->Visible() ? CmBxGlphPos->ItemIndex() : 0,
                                       ChkLargeIcon->Visible() && ChkLargeIcon->Checked(), items);
    }
    SetModalResult(plat::mrOk);
}

} // namespace ui
