#include "ui/toolbars/ToolbarsClasses.h"

#include <gtest/gtest.h>

#include "platform/rtl/ClassRegistry.h"

TEST(ToolbarsClassesTest, LayoutsFindEveryToolbarClassByName) {
    ui::RegisterToolbarsClasses();
    ui::RegisterToolbarsClasses(); // a second call changes nothing
    for (const char* name :
         {"TKvxDockPanel", "TKvxToolBar", "TKvxToolBarButton", "TKvxToolBarMenuButton",
          "TKvxToolBarSeparator", "TKvxToolBarContainer", "TKvxToolBarCustomizer", "TFloatingWindow"})
        EXPECT_NE(plat::GetClass(name), nullptr) << name;
}
