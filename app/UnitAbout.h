// The About box: versions of the program and of the camera library, and what the library says about
// the camera. It is the first form the program makes because it owns the application styler that every
// window's form styler follows.
#pragma once

#include <string>

#include "platform/ui/Form.h"

namespace plat {
class TLabel;
}
namespace ui {
class TKvxAppStyler;
class TKvxFormStyler;
class TKvxGlowButton;
} // namespace ui
class TCameraLibrary;

class TfmAbout : public plat::TForm {
    PLAT_CLASS(TfmAbout)
public:
    explicit TfmAbout(plat::TComponent* AOwner);

    // The library the box asks; the program's binding unless a test hands it another.
    TCameraLibrary* CameraLibrary() const { return FLibrary; }
    void SetCameraLibrary(TCameraLibrary* Value) { FLibrary = Value; }

    // "-1" for a missing file; the build's version (four numbers) for the program file itself; else
    // the version carried by a library's file name (empty when it has none).
    static std::string FileVersionText(const std::string& FileName);
    // Date of the file's last change in the user's date format; empty when there is no such file.
    static std::string FileDateText(const std::string& Path);
    // "V" with the major number and the minor one in two digits: 0x0114 gives V1.20.
    static std::string FirmwareText(uint16_t Version);

    void FormShow(plat::TObject* Sender);

    ui::TKvxAppStyler* KvxAppStyler1 = nullptr;
    ui::TKvxFormStyler* KvxFormStyler1 = nullptr;
    plat::TLabel* lb_soft_version = nullptr;
    plat::TLabel* lb_dll_version = nullptr;
    plat::TLabel* lb_custom_firmware = nullptr;
    plat::TLabel* lb_lscb_type = nullptr;
    plat::TLabel* lb_pixelcount = nullptr;
    plat::TLabel* lb_vdk_type = nullptr;
    plat::TLabel* lb_mcu1_version = nullptr;
    ui::TKvxGlowButton* bt_close = nullptr;

private:
    TCameraLibrary* FLibrary;
};

// The one About box, made first at start-up; the main window shows it.
extern TfmAbout* fmAbout;
