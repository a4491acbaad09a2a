// The import dialog: lists the frames of a chart document file, each as a check box that is enabled
// only when the frame fits the window it would be imported into. One instance serves every chart window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/Form.h"

namespace plat {
class TLabel;
} // namespace plat

namespace ui {
class THTMLCheckList;
class TKvxFileNameEdit;
class TKvxGlowButton;
class TKvxFormStyler;
} // namespace ui

class TfmImportSample : public plat::TForm {
    PLAT_CLASS(TfmImportSample)
public:
    using TForm::TForm;

    ui::TKvxFileNameEdit* ed_fname = nullptr;
    plat::TLabel* lb_file = nullptr;
    ui::THTMLCheckList* SampleCheckList = nullptr;
    ui::TKvxGlowButton* btn_import = nullptr;
    ui::TKvxGlowButton* btn_cancel = nullptr;
    ui::TKvxFormStyler* KvxFormStyler1 = nullptr;

    // The point count a frame must have to be importable; 0 takes any count.
    int32_t FRequiredPointCount = 0;

    void FormCreate(plat::TObject* Sender);
    void ed_fnameChange(plat::TObject* Sender);

    std::string FileName() const;
    // Empties the file name and the list, for the next import.
    void Reset();
    // The file positions of the ticked frames that may be imported, in file order.
    std::vector<int> CheckedFrames() const;
};

// Text shown inside markup as it stands: "<", ">" and "&" escaped, so that a frame name from a user's
// file never becomes a tag, a link or a picture.
std::string EscapeMarkup(std::string_view Text);
