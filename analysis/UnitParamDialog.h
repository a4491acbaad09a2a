// The small modal dialogs through which the chart window's commands get their parameters. Each is made
// once and shared: callers fill some controls before showing it and read them afterwards, so every other
// control keeps what the user last gave it.
#pragma once

#include "platform/ui/Form.h"

namespace ui {
class TKvxGlowButton;
class TKvxFormStyler;
} // namespace ui

// What every parameter dialog has: Submit (OK) and Cancel, and a form styler that follows the
// application's styler. Decimal defaults are never written in a layout: its text would be read with
// the user's separators, and "2000,00" under a '.' locale would turn into 200000; each dialog sets them
// once it is made.
class TfmParamDialog : public plat::TForm {
    PLAT_CLASS(TfmParamDialog)
public:
    using TForm::TForm;
    ui::TKvxGlowButton* bt_submit = nullptr;
    ui::TKvxGlowButton* bt_cancel = nullptr;
    ui::TKvxFormStyler* KvxFormStyler1 = nullptr;
};
