#include "platform/ui/StandardClasses.h"

#include "platform/rtl/ClassRegistry.h"
#include "platform/ui/ActionList.h"
#include "platform/ui/Application.h"
#include "platform/ui/Bevel.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckListBox.h"
#include "platform/ui/ColorDialog.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/Edit.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/FontDialog.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grid.h"
#include "platform/ui/Header.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/Memo.h"
#include "platform/ui/Menu.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/Panel.h"
#include "platform/ui/PrintDialog.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/Shape.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/Splitter.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/Timer.h"
#include "platform/ui/TrackBar.h"
#include "platform/ui/TreeView.h"
#include "platform/ui/UpDown.h"

namespace plat {

void RegisterStandardClasses() {
    RegisterClasses({
        &TAction::StaticClass(),
        &TActionList::StaticClass(),
        &TApplicationEvents::StaticClass(),
        &TBevel::StaticClass(),
        &TButton::StaticClass(),
        &TCheckBox::StaticClass(),
        &TCheckListBox::StaticClass(),
        &TColorDialog::StaticClass(),
        &TComboBox::StaticClass(),
        &TDateTimePicker::StaticClass(),
        &TDrawGrid::StaticClass(),
        &TEdit::StaticClass(),
        &TFontDialog::StaticClass(),
        &TForm::StaticClass(),
        &TGroupBox::StaticClass(),
        &THeaderControl::StaticClass(),
        &TImage::StaticClass(),
        &TImageList::StaticClass(),
        &TLabel::StaticClass(),
        &TListBox::StaticClass(),
        &TMainMenu::StaticClass(),
        &TMemo::StaticClass(),
        &TMenuItem::StaticClass(),
        &TOpenDialog::StaticClass(),
        &TPageControl::StaticClass(),
        &TPaintBox::StaticClass(),
        &TPanel::StaticClass(),
        &TPopupMenu::StaticClass(),
        &TPrintDialog::StaticClass(),
        &TPrinterSetupDialog::StaticClass(),
        &TProgressBar::StaticClass(),
        &TRadioButton::StaticClass(),
        &TRadioGroup::StaticClass(),
        &TRichEdit::StaticClass(),
        &TSaveDialog::StaticClass(),
        &TScrollBar::StaticClass(),
        &TScrollBox::StaticClass(),
        &TShape::StaticClass(),
        &TSpeedButton::StaticClass(),
        &TSplitter::StaticClass(),
        &TStatusBar::StaticClass(),
        &TStringGrid::StaticClass(),
        &TTabSheet::StaticClass(),
        &TTimer::StaticClass(),
        &TTrackBar::StaticClass(),
        &TTreeView::StaticClass(),
        &TUpDown::StaticClass(),
        &TWindowArrange::StaticClass(),
        &TWindowCascade::StaticClass(),
        &TWindowClose::StaticClass(),
        &TWindowMinimizeAll::StaticClass(),
        &TWindowTileHorizontal::StaticClass(),
        &TWindowTileVertical::StaticClass(),
    });
}

} // namespace plat
