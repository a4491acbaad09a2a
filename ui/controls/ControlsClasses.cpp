#include "ui/controls/ControlsClasses.h"

#include "platform/rtl/ClassRegistry.h"
#include "ui/controls/HTMLChkList.h"
#include "ui/controls/KvxCombo.h"
#include "ui/controls/KvxDirectoryEdit.h"
#include "ui/controls/KvxEdBtn.h"
#include "ui/controls/KvxEdit.h"
#include "ui/controls/KvxFileNameEdit.h"
#include "ui/controls/KvxGroupBox.h"
#include "ui/controls/KvxOfficeButtons.h"
#include "ui/controls/KvxPanel.h"
#include "ui/controls/KvxPanelStyler.h"
#include "ui/controls/KvxSpin.h"
#include "ui/controls/KvxSplitter.h"
#include "ui/controls/KvxTrackBar.h"
#include "ui/drawing/DrawingClasses.h"

namespace ui {

void RegisterControlsClasses() {
    RegisterDrawingClasses();
    plat::RegisterClasses({
        &THTMLCheckList::StaticClass(),
        &TKvxComboBox::StaticClass(),
        &TKvxDirectoryEdit::StaticClass(),
        &TKvxEditBtn::StaticClass(),
        &TKvxEdit::StaticClass(),
        &TKvxFileNameEdit::StaticClass(),
        &TKvxGroupBox::StaticClass(),
        &TKvxOfficeCheckBox::StaticClass(),
        &TKvxOfficeRadioButton::StaticClass(),
        &TKvxOfficeRadioGroup::StaticClass(),
        &TKvxPanel::StaticClass(),
        &TKvxPanelGroup::StaticClass(),
        &TKvxPanelStyler::StaticClass(),
        &TKvxSpinButton::StaticClass(),
        &TKvxSpinEdit::StaticClass(),
        &TKvxSplitter::StaticClass(),
        &TKvxTrackBar::StaticClass(),
    });
}

} // namespace ui
