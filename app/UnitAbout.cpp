#include "app/UnitAbout.h"

#include <algorithm>
#include <cstdio>

#include "app/CameraDefs.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Label.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/office/KvxAppStyler.h"

using namespace plat;

TfmAbout* fmAbout = nullptr;

PLAT_CLASS_INFO_CREATABLE(TfmAbout, TForm)

PLAT_PROPERTIES(TfmAbout) {
    props.Field("KvxAppStyler1", &TfmAbout::KvxAppStyler1);
    props.Field("KvxFormStyler1", &TfmAbout::KvxFormStyler1);
    props.Field("lb_soft_version", &TfmAbout::lb_soft_version);
    props.Field("lb_dll_version", &TfmAbout::lb_dll_version);
    props.Field("lb_custom_firmware", &TfmAbout::lb_custom_firmware);
    props.Field("lb_lscb_type", &TfmAbout::lb_lscb_type);
    props.Field("lb_pixelcount", &TfmAbout::lb_pixelcount);
    props.Field("lb_vdk_type", &TfmAbout::lb_vdk_type);
    props.Field("lb_mcu1_version", &TfmAbout::lb_mcu1_version);
    props.Field("bt_close", &TfmAbout::bt_close);
    props.Method("FormShow", &TfmAbout::FormShow);
}

TfmAbout::TfmAbout(TComponent* AOwner) : TForm(AOwner), FLibrary(&::CameraLibrary()) {}

std::string TfmAbout::FileVersionText(const std::string& FileName) {
    if (!FileName.empty() && FileName == ApplicationExeName() && FileExists(FileName)) {
        // Shown like a library's version: four numbers.
        std::string version = LUMETRA_VERSION;
        for (auto dots = std::count(version.begin(), version.end(), '.'); dots < 3; ++dots)
            version += ".0";
        return version;
    }
    return LibraryFileVersion(FileName);
}

std::string TfmAbout::FileDateText(const std::string& Path) {
    const TDateTime age = FileAge(Path);
    return age < 0 ? std::string() : DateToStr(age);
}

std::string TfmAbout::FirmwareText(uint16_t Version) {
    char text[16];
    std::snprintf(text, sizeof text, "V%u.%2.2u", static_cast<unsigned>((Version >> 8) & 255),
                  static_cast<unsigned>(Version & 255));
    return text;
}

void TfmAbout::FormShow(TObject*) {
    TCameraLibrary& lib = *FLibrary;
    const std::string program = ApplicationExeName();
    lb_soft_version->SetCaption("V" + FileVersionText(program) + " " + FileDateText(program));
    // Unloaded, the library is looked for under its bare name, as the loader would.
    const std::string library = lib.Loaded() ? lib.FileName() : std::string(CameraLibraryFileName);
    lb_dll_version->SetCaption("V" + FileVersionText(library) + " " + FileDateText(library));

    lb_custom_firmware->SetCaption("0");
    uint32_t custom = 0;
    lb_custom_firmware->SetCaption(lib.ls_customfirmware(&custom) != 0 ? "?0" : std::to_string(custom));

    lb_lscb_type->SetCaption("");
    uint16_t type = 0, pixels = 0;
    if (lib.ls_getsensortype(&type, &pixels) == 0) {
        const char* name = lib.ls_getsensorname(type);
        lb_lscb_type->SetCaption(name ? name : "");
        lb_pixelcount->SetCaption(std::to_string(pixels));
    }

    lb_vdk_type->SetCaption("");
    uint16_t mcuType = 0;
    if (lib.ls_getmcusensortype(&mcuType) == 0) {
        const char* name = lib.ls_getsensorname(mcuType);
        lb_vdk_type->SetCaption(std::string("VKD-") + (name ? name : ""));
    }

    lb_mcu1_version->SetCaption(FirmwareText(lib.ls_getfwversion(lib.ls_currentdeviceindex())));
}
