#include "ui/office/OfficeClasses.h"

#include "platform/rtl/ClassRegistry.h"
#include "ui/drawing/DrawingClasses.h"
#include "ui/office/KvxAppStyler.h"
#include "ui/office/KvxOfficePager.h"
#include "ui/office/KvxOfficePagerStylers.h"
#include "ui/office/KvxOfficeStatusBar.h"
#include "ui/office/KvxOfficeStatusBarStylers.h"
#include "ui/office/KvxOfficeTabSet.h"
#include "ui/office/KvxOfficeTabSetStylers.h"

namespace ui {

void RegisterOfficeClasses() {
    RegisterDrawingClasses();
    plat::RegisterClasses({
        &TKvxAppStyler::StaticClass(),
        &TKvxFormStyler::StaticClass(),
        &pager::TCustomKvxOfficePagerStyler::StaticClass(),
        &pager::TKvxOfficePage::StaticClass(),
        &pager::TKvxOfficePager::StaticClass(),
        &pager::TKvxOfficePagerOfficeStyler::StaticClass(),
        &statusbar::TCustomKvxOfficeStatusBarStyler::StaticClass(),
        &statusbar::TKvxOfficeStatusBar::StaticClass(),
        &statusbar::TKvxOfficeStatusBarOfficeStyler::StaticClass(),
        &tabset::TCustomKvxOfficeTabSetStyler::StaticClass(),
        &tabset::TKvxCustomOfficeTabSet::StaticClass(),
        &tabset::TKvxOfficeMDITabSet::StaticClass(),
        &tabset::TKvxOfficeTabSetOfficeStyler::StaticClass(),
    });
}

} // namespace ui
