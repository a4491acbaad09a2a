#include "ui/toolbars/ToolbarsClasses.h"

#include "platform/rtl/ClassRegistry.h"
#include "ui/office/OfficeClasses.h"
#include "ui/toolbars/KvxDockPanel.h"
#include "ui/toolbars/KvxFloatingWindow.h"
#include "ui/toolbars/KvxToolBarContainer.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarCustomizer.h"
#include "ui/toolbars/KvxToolBarStylers.h"

namespace ui {

void RegisterToolbarsClasses() {
    RegisterOfficeClasses();
    plat::RegisterClasses({
        &TCustomKvxToolBarStyler::StaticClass(),
        &TKvxToolBarOfficeStyler::StaticClass(),
        &TKvxDockPanel::StaticClass(),
        &TKvxToolBar::StaticClass(),
        &TKvxToolBarButton::StaticClass(),
        &TKvxToolBarMenuButton::StaticClass(),
        &TKvxToolBarSeparator::StaticClass(),
        &TKvxToolBarContainer::StaticClass(),
        &TKvxToolBarCustomizer::StaticClass(),
        &TFloatingWindow::StaticClass(),
    });
}

} // namespace ui
