#include "platform/ui/Screen.h"
#include "platform/ui/MessageLoop.h"

#include <algorithm>

#include "platform/gfx/FontManager.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"
#include "platform/ui/WindowSystem.h"

namespace plat {

TScreen* Screen = new TScreen(nullptr);

TRect TMonitor::BoundsRect() const {
    return CurrentBackend().ScreenRect();
}

TRect TMonitor::WorkareaRect() const {
    return CurrentBackend().WorkArea();
}

PLAT_CLASS_INFO(TScreen, TComponent)

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
    FHintFont = std::make_unique<TFont>();
    FMenuFont = std::make_unique<TFont>();
    FIconFont = std::make_unique<TFont>();
    FHintFont->SetName("Tahoma");
    FMenuFont->SetName("Tahoma");
    FIconFont->SetName("Tahoma");
    FHintFont->SetColor(clInfoText);
    FMonitor = std::make_unique<TMonitor>();
    static const std::pair<TCursor, int> standard[] = {
        {crArrow, IDC_ARROW},
        {crCross, IDC_CROSS},
        {crIBeam, IDC_IBEAM},
        {crSizeNESW, IDC_SIZENESW},
        {crSizeNS, IDC_SIZENS},
        {crSizeNWSE, IDC_SIZENWSE},
        {crSizeWE, IDC_SIZEWE},
        {crUpArrow, IDC_UPARROW},
        {crHourGlass, IDC_WAIT},
        {crDrag, IDC_DRAG},
        {crNoDrop, IDC_NODROP},
        {crHSplit, IDC_HSPLIT},
        {crVSplit, IDC_VSPLIT},
        {crMultiDrag, IDC_DRAG},
        {crSQLWait, IDC_WAIT},
        {crNo, IDC_NO},
        {crAppStart, IDC_APPSTARTING},
        {crHelp, IDC_HELP},
        {crHandPoint, IDC_HAND},
        {crSizeAll, IDC_SIZEALL},
        {crNone, IDC_NONE},
    };
    for (const auto& [cursor, id] : standard)
        FCursors[cursor] = LoadCursor(id);
    FCursors[crDefault] = LoadCursor(IDC_ARROW);
    // A layout names a component of another form by the form's name ("fmAbout.KvxAppStyler1").
    SetGlobalComponentFinder([this](const std::string& Name) -> TComponent* {
        for (TCustomForm* form : FCustomForms) {
            if (SameText(form->Name(), Name))
                return form;
        }
        return nullptr;
    });
}

TScreen::~TScreen() {
    SetGlobalComponentFinder(nullptr);
    for (auto& [index, handle] : FCursors)
        if (handle && handle->Image.Shape == csrCustom)
            DestroyCursor(handle);
}

int TScreen::Width() const {
    return CurrentBackend().ScreenRect().Width();
}

int TScreen::Height() const {
    return CurrentBackend().ScreenRect().Height();
}

TRect TScreen::WorkAreaRect() const {
    return CurrentBackend().WorkArea();
}

TMonitor* TScreen::Monitors(int Index) const {
    return Index == 0 ? FMonitor.get() : nullptr;
}

void TScreen::SetCursor(TCursor Value) {
    if (Value == crDefault) {
        FCursorCount = 0;
    } else {
        ++FCursorCount;
    }
    if (FCursor == Value && Value == crDefault)
        return;
    FCursor = Value;
    if (Value != crDefault) {
        ::plat::SetCursor(Cursors(Value));
    } else {
        // Let the window under the pointer choose again.
        TPoint p;
        GetCursorPos(p);
        HWND wnd = WindowFromPoint(p);
        if (wnd)
            SendMessage(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        else
            ::plat::SetCursor(LoadCursor(IDC_ARROW));
    }
}

HCURSOR TScreen::Cursors(TCursor Index) const {
    auto it = FCursors.find(Index);
    if (it == FCursors.end() || !it->second)
        return LoadCursor(IDC_ARROW);
    return it->second;
}

void TScreen::SetCursors(TCursor Index, HCURSOR Handle) {
    auto it = FCursors.find(Index);
    if (it != FCursors.end() && it->second && it->second != Handle && it->second->Image.Shape == csrCustom)
        DestroyCursor(it->second);
    if (Handle)
        FCursors[Index] = Handle;
    else if (Index == crDefault)
        FCursors[Index] = LoadCursor(IDC_ARROW);
    else
        FCursors.erase(Index);
}

TStrings* TScreen::Fonts() {
    if (!FFonts) {
        FFonts = std::make_unique<TStringList>();
        for (const std::string& family : TFontManager::Instance().Families())
            FFonts->Add(family);
    }
    return FFonts.get();
}

void TScreen::AddForm(TCustomForm* Form) {
    if (std::find(FCustomForms.begin(), FCustomForms.end(), Form) == FCustomForms.end())
        FCustomForms.push_back(Form);
    // A TForm in the making is not a TForm yet for the class record, but it is one in C++.
    if (auto* f = dynamic_cast<TForm*>(Form))
        if (std::find(FForms.begin(), FForms.end(), f) == FForms.end())
            FForms.push_back(f);
}

void TScreen::RemoveForm(TCustomForm* Form) {
    FCustomForms.erase(std::remove(FCustomForms.begin(), FCustomForms.end(), Form), FCustomForms.end());
    FForms.erase(std::remove_if(FForms.begin(), FForms.end(),
                                [&](TForm* f) { return static_cast<TCustomForm*>(f) == Form; }),
                 FForms.end());
    FSaveFocusedList.erase(std::remove(FSaveFocusedList.begin(), FSaveFocusedList.end(), Form),
                           FSaveFocusedList.end());
    if (FFocusedForm == Form)
        FFocusedForm = nullptr;
    bool formChanged = false;
    if (FActiveCustomForm == Form) {
        FActiveCustomForm = nullptr;
        formChanged = true;
    }
    if (static_cast<TCustomForm*>(FActiveForm) == Form)
        FActiveForm = nullptr;
    if (FActiveControl && GetParentForm(FActiveControl) == Form)
        FActiveControl = nullptr;
    if (formChanged && OnActiveFormChange && !(ComponentState() & csDestroying))
        OnActiveFormChange(this);
}

void TScreen::MoveFormToFocusFront(TCustomForm* Form) {
    auto move = [&](auto& list, auto* item) {
        auto it = std::find(list.begin(), list.end(), item);
        if (it != list.end() && it != list.begin()) {
            list.erase(it);
            list.insert(list.begin(), item);
        }
    };
    move(FCustomForms, Form);
    if (auto* f = dynamic_cast<TForm*>(Form))
        move(FForms, f);
}

void TScreen::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FActiveControl)
        FActiveControl = nullptr;
}

void TScreen::SetFocusState(TCustomForm* Form, TWinControl* Control) {
    if (FActiveControl && FActiveControl != Control)
        FActiveControl->RemoveFreeNotification(this);
    if (Control && Control != FActiveControl)
        Control->FreeNotification(this);
    bool formChanged = FActiveCustomForm != Form;
    FActiveCustomForm = Form;
    FActiveForm = dynamic_cast<TForm*>(Form);
    bool controlChanged = FActiveControl != Control;
    FActiveControl = Control;
    if (controlChanged && OnActiveControlChange)
        OnActiveControlChange(this);
    if (formChanged && OnActiveFormChange)
        OnActiveFormChange(this);
}

} // namespace plat
