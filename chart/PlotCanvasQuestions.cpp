// The colour dialog and the confirmations the engine asks through; the dialog library reuses them.
#include <memory>

#include "chart/PlotCanvas.h"
#include "chart/PlotConst.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/ColorDialog.h"
#include "platform/ui/Control.h"
#include "platform/ui/MessageDialog.h"
#include "platform/ui/Screen.h"

namespace chart {

namespace {

// The custom colours live for the rest of the run, so each dialog offers what the user mixed before.
plat::TStringList& CustomColors() {
    static plat::TStringList colors;
    return colors;
}

} // namespace

bool RunColorDialog(plat::TWinControl* Owner, plat::TColor& Color) {
    const plat::TColor given = Color;
    auto dialog = std::make_unique<plat::TColorDialog>(Owner);
    dialog->SetColor(given);
    dialog->SetCustomColors(&CustomColors());
    plat::TColor result = given;
    if (dialog->Execute()) {
        CustomColors().Assign(dialog->CustomColors());
        result = dialog->Color();
    }
    if (result == given)
        return false;
    Color = result;
    return true;
}

bool ConfirmAtControl(const std::string& Message, plat::TControl* Owner) {
    if (plat::Screen)
        plat::Screen->SetCursor(plat::crDefault);
    int x = -1;
    int y = -1;
    if (Owner) {
        const plat::TPoint origin = Owner->ClientOrigin();
        x = origin.X + 20;
        y = origin.Y + 30;
    }
    return plat::MessageDlgPos(Message, plat::mtConfirmation, plat::mbYesNo, 0, x, y) == plat::mrYes;
}

bool ConfirmDeletion(const std::string& Name, plat::TControl* Owner) {
    return ConfirmAtControl(plat::Format(ChartTextDeleteConfirm, {Name}), Owner);
}

} // namespace chart
