#include "ui/drawing/DrawingClasses.h"

#include "platform/rtl/ClassRegistry.h"
#include "ui/drawing/DBKvxGlowButton.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/drawing/KvxMenuStylers.h"
#include "ui/drawing/KvxMenus.h"
#include "ui/drawing/KvxTaskDialog.h"
#include "ui/markup/MarkupClasses.h"

namespace ui {

void RegisterDrawingClasses() {
    RegisterMarkupClasses();
    plat::RegisterClasses({
        &TDBKvxGlowButton::StaticClass(),
        &TKvxGlowButton::StaticClass(),
        &TKvxInputTaskDialog::StaticClass(),
        &TKvxMainMenu::StaticClass(),
        &TKvxMenuOfficeStyler::StaticClass(),
        &TKvxMenuStyler::StaticClass(),
        &TKvxPopupMenu::StaticClass(),
        &TKvxTaskDialog::StaticClass(),
    });
}

} // namespace ui
