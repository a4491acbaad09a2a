// The file-name edit: an edit with a button (or F4) that runs an open or save dialog preset from the
// edit's properties and takes the chosen file. Its value counts as valid when the file exists.
#pragma once

#include <functional>
#include <string>

#include "platform/ui/FileDialog.h"
#include "ui/controls/KvxEdBtn.h"

namespace ui {

enum TFileDialogKind { fdOpen, fdSave, fdOpenPicture, fdSavePicture };
inline constexpr const char* kFileDialogKindNames[] = {"fdOpen", "fdSave", "fdOpenPicture", "fdSavePicture"};
static_assert(std::size(kFileDialogKindNames) == fdSavePicture + 1);

using TDialogExitEvent = std::function<void(plat::TObject* Sender, bool ExitOK)>;

class TKvxFileNameEdit : public TKvxEditBtn {
    PLAT_CLASS(TKvxFileNameEdit)
public:
    explicit TKvxFileNameEdit(plat::TComponent* AOwner);

    void ButtonClick() override;
    bool IsURL() const override;

    std::string FileName() const { return Text(); }
    void SetFileName(const std::string& Value) { SetTextProp(Value); }
    TFileDialogKind DialogKind() const { return FDialogKind; }
    void SetDialogKind(TFileDialogKind Value) { FDialogKind = Value; }
    const std::string& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& Value) { FDefaultExt = Value; }
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& Value) { FFilter = Value; }
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    const std::string& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const std::string& Value) { FInitialDir = Value; }
    plat::TOpenOptions DialogOptions() const { return FDialogOptions; }
    void SetDialogOptions(plat::TOpenOptions Value) { FDialogOptions = Value; }
    const std::string& DialogTitle() const { return FDialogTitle; }
    void SetDialogTitle(const std::string& Value) { FDialogTitle = Value; }

    TDialogExitEvent OnDialogExit;

protected:
    void DoValueValidate(const std::string& Value, bool& IsValid) override;

private:
    TFileDialogKind FDialogKind = fdOpen;
    std::string FDefaultExt;
    std::string FFilter;
    int FFilterIndex = 0;
    std::string FInitialDir;
    plat::TOpenOptions FDialogOptions = 0;
    std::string FDialogTitle;
};

} // namespace ui
