// The customize dialog: the toolbar's items as a list the user reorders, extends from the commands,
// thins out and edits, plus the toolbar's caption, glyph position and icon size. It works on a copy of
// the items and changes the toolbar only through the customizer's file.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/Form.h"
#include "ui/toolbars/KvxToolBarCustomizer.h"

namespace plat {
class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TGroupBox;
class TLabel;
class TListBox;
class TSpeedButton;
} // namespace plat

namespace ui {

class TCustomizerForm : public plat::TForm {
    PLAT_CLASS(TCustomizerForm)
public:
    explicit TCustomizerForm(plat::TComponent* AOwner);

    void SetCustomizer(TKvxToolBarCustomizer* Value) { FCustomizer = Value; }
    void SetCaptionEditVisible(bool Value);
    void SetGlyphPositionEditVisible(bool Value);
    // Lists the toolbar's items and the commands and takes over the toolbar's settings.
    void FillDialog();
    void ArrangeSettingsGroup();
    void UpdateButtons();
    bool Modified() const { return FModified; }

    // One entry of the item list: its text and, for buttons, separators and new items, its record.
    struct TEntry {
        std::string Text;
        bool HasRecord = false;
        TKTBItemProp Prop;
    };
    const std::vector<TEntry>& Entries() const { return FEntries; }

    // The buttons and handlers, reachable for the customizer and for tests.
    plat::TListBox* LstBxToolBarItems = nullptr;
    plat::TListBox* LstBxCommand = nullptr;
    plat::TComboBox* CmBxIcon = nullptr;
    plat::TSpeedButton *TopButton = nullptr, *UpButton = nullptr, *DownButton = nullptr,
                       *BottomButton = nullptr;
    plat::TSpeedButton *AddButton = nullptr, *AddGlowButton = nullptr, *SeparatorButton = nullptr;
    plat::TSpeedButton *DeleteButton = nullptr, *ClearButton = nullptr, *BtnEdit = nullptr;
    plat::TGroupBox *GroupBox1 = nullptr, *GroupBox2 = nullptr;
    plat::TLabel *LblToolbarItems = nullptr, *LblCommands = nullptr, *LblCaption = nullptr,
                 *LblGlphPos = nullptr;
    plat::TEdit* EdtCaption = nullptr;
    plat::TComboBox* CmBxGlphPos = nullptr;
    plat::TCheckBox* ChkLargeIcon = nullptr;
    plat::TButton *BtnOk = nullptr, *BtnCancel = nullptr, *BtnReset = nullptr;

    void TopClick();
    void UpClick();
    void DownClick();
    void BottomClick();
    void AddClick(bool Glow);
    void SeparatorClick();
    void DeleteClick();
    void ClearClick();
    void EditClick();
    void OkClick();

private:
    void Insert(TEntry Entry);
    void Exchange(int A, int B);
    void MoveEntry(int From, int To);
    void Select(int Index);
    void RefreshList();
    plat::TCustomImageList* ToolBarImages() const;
    void DrawToolBarItem(int Index, plat::TRect Rect);
    void DrawIconEntry(int Index, plat::TRect Rect);
    void Mark();
    bool SelectedEditable() const;

    TKvxToolBarCustomizer* FCustomizer = nullptr;
    std::vector<TEntry> FEntries;
    bool FModified = false;
    bool FInitializing = true;
    bool FEditable = false;
};

} // namespace ui
