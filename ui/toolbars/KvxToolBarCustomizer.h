// Lets the user rearrange one toolbar and keeps the result in an INI file: the customized layout in a
// section named after the customizer, the layout the toolbar was loaded with in that name + "Org", so
// a reset can bring it back.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/ui/Control.h"

namespace plat {
class TCustomImageList;
}

namespace ui {

class TKvxToolBar;

// A command the user can add to the toolbar as a button.
struct TKTBCommand {
    std::string Caption() const { return FCaption; }
    // Blanks would break the entry lists that show commands by name.
    void SetCaption(const std::string& Value);
    plat::TNotifyEvent OnExecute;
    int ItemIndex = -1;

private:
    std::string FCaption;
};

// One entry of the customized layout as the customize dialog hands it over.
struct TKTBItemProp {
    plat::TControl* Control = nullptr; // null for an entry the user added
    bool FromCommand = false;
    int CommandIndex = -1;
    bool Separator = false;
    std::string Name;
    int ImageIndex = -1;
    bool ForceImageIndex = false;
    std::string Caption;
    bool ShowCaption = false;
    std::string Hint;
    bool Visible = true;
    bool GlowButton = false; // a new entry made with the glow-button insert
};

class TKvxToolBarCustomizer : public plat::TComponent {
    PLAT_CLASS(TKvxToolBarCustomizer)
public:
    explicit TKvxToolBarCustomizer(plat::TComponent* AOwner);
    ~TKvxToolBarCustomizer() override;

    bool EnablePersistence() const { return FEnablePersistence; }
    void SetEnablePersistence(bool Value) { FEnablePersistence = Value; }
    // A relative name lives in the per-user config folder.
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value) { FFileName = Value; }
    TKvxToolBar* KvxToolBar() const { return FToolBar; }
    void SetKvxToolBar(TKvxToolBar* Value);
    plat::TCustomImageList* LargeImages() const { return FLargeImages; }
    void SetLargeImages(plat::TCustomImageList* Value);
    plat::TCustomImageList* SmallImages() const { return FSmallImages; }
    void SetSmallImages(plat::TCustomImageList* Value);
    std::vector<TKTBCommand>& Commands() { return FCommands; }

    // Which button properties the file carries.
    struct {
        bool Caption = true, ShowCaption = true, Visible = false, Hint = true, Glyph = true;
    } ButtonProperties;
    // What the dialog lets the user change, and so what the file carries.
    struct {
        bool EditCaption = true, LargeIcon = false, EditGlyphPosition = true;
        bool EditGlyph = true, EditGlyphVisible = true;
        std::string Caption = "Customizer";
        // The option window's entry that opens the dialog.
        std::string Customize = "Customize";
        std::string GlyphEditNoneIconCaption = "None";
    } DialogSettings;
    // Which actions the dialog offers.
    struct {
        bool AddButton = true, ReOrder = true, Delete = true, DeleteAll = false, AddSeparator = true;
        bool AddGlowButton = true, EditButton = true;
    } Options;

    plat::TNotifyEvent OnAfterPost;
    plat::TNotifyEvent OnBeforeDisplay;
    // May move the dialog or keep it from showing.
    std::function<void(plat::TObject* Sender, int& X, int& Y, bool& CanShow)> OnCanShow;

    // Lets the user edit the toolbar; an accepted dialog is applied to the toolbar, Reset brings back the
    // initial layout.
    virtual void ShowCustomizeDialog();

    virtual void LoadCustomization();
    virtual void RestoreInitialLayout();
    virtual void SaveInitialLayout();
    // What the dialog writes when the user accepts it: the toolbar caption, the glyph position, large
    // icons and the entries in their new order.
    void SaveCustomization(const std::string& Caption, int GlyphPosition, bool LargeIcon,
                           const std::vector<TKTBItemProp>& Items);

    // The toolbar's first control of that name (case-insensitive); null for an empty name.
    plat::TControl* FindToolBarControl(const std::string& Name) const;
    // Controls a loaded layout took off the toolbar, kept for a reset.
    const std::vector<plat::TControl*>& RemovedControls() const { return FRemoved; }

protected:
    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    bool Usable() const;
    std::string Section() const { return Name(); }
    // A component name for a control made from the file: the stored one when it can be used, else one
    // made from the class, numbered until no component of the toolbar has it.
    std::string UsableName(const std::string& Stored, const std::string& Base) const;
    void TakeOff(plat::TControl* Control);
    void PlaceInOrder(const std::vector<plat::TControl*>& Order, int GlyphPosition);
    void ApplyImages(bool Large);

    bool FEnablePersistence = true;
    std::string FFileName = ".\\untitled.ini";
    TKvxToolBar* FToolBar = nullptr;
    plat::TCustomImageList* FLargeImages = nullptr;
    plat::TCustomImageList* FSmallImages = nullptr;
    std::vector<TKTBCommand> FCommands;
    std::vector<plat::TControl*> FRemoved;
    // Glow buttons made from the file; only these take their image index from it.
    std::vector<plat::TControl*> FCreatedGlowButtons;
};

} // namespace ui
