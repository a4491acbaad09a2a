// What the common dialogs share: TCommonDialog, the component whose Execute shows a modal dialog and
// answers whether the user confirmed it, and TDialogForm, the form those dialogs are built on (dialog
// frame, the classic dialog font, helpers that place named controls).
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/ui/Form.h"

namespace plat {

class TButton;
class TLabel;

class TCommonDialog : public TComponent {
    PLAT_CLASS(TCommonDialog)
public:
    explicit TCommonDialog(TComponent* AOwner);

    // Shows the dialog modally; true when the user confirmed it.
    virtual bool Execute() = 0;

    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    // Places the form over the form that owns this dialog (or the active one), runs it modally with
    // OnShow and OnClose around it and answers its modal result.
    int RunModal(TCustomForm& Form);

private:
    int FHelpContext = 0;
};

// The form of a dialog: a fixed dialog frame with the classic dialog font. Controls are owned by the
// form and named, so callers (and tests) find them with FindComponent.
class TDialogForm : public TForm {
    PLAT_CLASS(TDialogForm)
public:
    explicit TDialogForm(TComponent* AOwner);

    // Makes a control owned by this form, inside parent (the form when null), named and placed.
    template <class T> T* Add(const std::string& Name, const TRect& Bounds, TWinControl* Parent = nullptr) {
        T* control = new T(this);
        Place(control, Name, Bounds, Parent);
        return control;
    }
    TLabel* AddLabel(const std::string& Name, const std::string& Caption, int X, int Y,
                     TWinControl* FocusControl = nullptr, TWinControl* Parent = nullptr);
    TButton* AddButton(const std::string& Name, const std::string& Caption, const TRect& Bounds,
                       TModalResult Result, TWinControl* Parent = nullptr);

    // Centres the form over Over (a form, or the screen's work area when null), kept on the screen.
    void CentreOver(TCustomForm* Over);
    // Puts the form's top-left corner at a screen point, kept on the screen.
    void PlaceAt(TPoint ScreenPos);

    // Width and height of text in the form's font (DrawText rules; WrapWidth > 0 breaks words).
    TSize MeasureText(const std::string& Text, int WrapWidth = 0, bool Prefix = true) const;

private:
    void Place(TControl* Control, const std::string& Name, const TRect& Bounds, TWinControl* Parent);
};

// The form a component belongs to: the component when it is a form, else the form of its owner chain
// or of its parent; null when there is none.
TCustomForm* FormOfComponent(TComponent* Component);

// The 16-pixel pictures of the file and folder lists, top-left corner at (X, Y).
void DrawSmallFolderIcon(TCanvas& Canvas, int X, int Y);
void DrawSmallFileIcon(TCanvas& Canvas, int X, int Y);

// Frees a dialog's form when the dialog is done with it.
struct TFormDeleter {
    void operator()(TCustomForm* Form) const { Form->Free(); }
};
template <class T> using TDialogFormPtr = std::unique_ptr<T, TFormDeleter>;

// Makes a dialog form of class T (no owner) that frees itself when the pointer goes.
template <class T, class... A> TDialogFormPtr<T> MakeDialogForm(A&&... Args) {
    T* form = new T(std::forward<A>(Args)...);
    TDialogFormPtr<T> ptr(form);
    form->AfterConstruction();
    return ptr;
}

} // namespace plat
