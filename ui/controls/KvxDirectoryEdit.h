// The folder edit: an edit with a browse button that opens the folder browser under the edit; its value
// counts as valid when it names an existing folder.
#pragma once

#include <functional>
#include <string>

#include "ui/controls/KvxEdBtn.h"

namespace ui {

using TDirectoryShowEvent = std::function<void(plat::TObject* Sender, std::string& InitialPath)>;
using TDirectoryDialogCloseEvent =
    std::function<void(plat::TObject* Sender, const std::string& NewDirectory, bool OK)>;

class TKvxDirectoryEdit : public TKvxEditBtn {
    PLAT_CLASS(TKvxDirectoryEdit)
public:
    explicit TKvxDirectoryEdit(plat::TComponent* AOwner);

    void ButtonClick() override;
    virtual void CanAcceptFolder(plat::TObject* Sender, const std::string& Value, bool& IsValid);

    bool AllowNewFolder() const { return FAllowNewFolder; }
    void SetAllowNewFolder(bool Value) { FAllowNewFolder = Value; }
    const std::string& BrowseDialogText() const { return FBrowseDialogText; }
    void SetBrowseDialogText(const std::string& Value) { FBrowseDialogText = Value; }

    TDirectoryShowEvent OnShowDirectoryDialog;
    TDirectoryDialogCloseEvent OnDialogClose;

protected:
    void DoValueValidate(const std::string& Value, bool& IsValid) override;

private:
    bool FAllowNewFolder = true;
    std::string FBrowseDialogText;
};

} // namespace ui
