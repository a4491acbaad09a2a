#include "ui/toolbars/KvxToolBarCustomizer.h"

#include <algorithm>
#include <memory>

#include "platform/rtl/IniFile.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SpeedButton.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/toolbars/CustomizerU.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarStore.h"

namespace ui {

using namespace toolbar;

PLAT_CLASS_INFO_CREATABLE(TKvxToolBarCustomizer, plat::TComponent)

namespace {

constexpr const char* kButtonClass = "KVXTOOLBARBUTTON";
constexpr const char* kSeparatorClass = "KVXTOOLBARSEPARATOR";
constexpr const char* kGlowButtonClass = "KVXCUSTOMGLOWBUTTON";

std::string ClassKey(const plat::TControl* Control) {
    if (dynamic_cast<const TKvxToolBarButton*>(Control))
        return kButtonClass;
    if (dynamic_cast<const TKvxToolBarSeparator*>(Control))
        return kSeparatorClass;
    if (dynamic_cast<const TKvxCustomGlowButton*>(Control))
        return kGlowButtonClass;
    return "-1";
}

std::string Entry(int I) {
    return "Name" + std::to_string(I);
}

// The property keys of the initial layout; toolbar buttons and glow buttons carry the same five.
template <class TButton>
void WriteButtonKeys(plat::TIniFile& Ini, const std::string& Section, const std::string& Key, TButton& B) {
    Ini.WriteInteger(Section, Key + ".ImageIndex", B.ImageIndex());
    Ini.WriteInteger(Section, Key + ".Visible", B.Visible() ? 1 : 0);
    Ini.WriteInteger(Section, Key + ".ShowCaption", B.ShowCaption() ? 1 : 0);
    Ini.WriteString(Section, Key + ".Caption", B.Caption());
    Ini.WriteString(Section, Key + ".Hint", B.Hint());
}

template <class TButton>
void ReadButtonKeys(plat::TIniFile& Ini, const std::string& Section, const std::string& Key, TButton& B) {
    B.SetImageIndex(Ini.ReadInteger(Section, Key + ".ImageIndex", B.ImageIndex()));
    B.SetVisible(Ini.ReadInteger(Section, Key + ".Visible", B.Visible() ? 1 : 0) != 0);
    B.SetShowCaption(Ini.ReadInteger(Section, Key + ".ShowCaption", B.ShowCaption() ? 1 : 0) == 1);
    B.SetCaption(Ini.ReadString(Section, Key + ".Caption", B.Caption()));
    B.SetHint(Ini.ReadString(Section, Key + ".Hint", B.Hint()));
}

} // namespace

void TKTBCommand::SetCaption(const std::string& Value) {
    FCaption = Value;
    std::replace(FCaption.begin(), FCaption.end(), ' ', '_');
}

TKvxToolBarCustomizer::TKvxToolBarCustomizer(plat::TComponent* AOwner) : TComponent(AOwner) {}

TKvxToolBarCustomizer::~TKvxToolBarCustomizer() {
    // Controls taken off the toolbar have no parent to free them.
    for (plat::TControl* c : FRemoved)
        if (!(c->ComponentState() & plat::csDestroying))
            c->RemoveFreeNotification(this);
    for (plat::TControl* c : FCreatedGlowButtons)
        if (!(c->ComponentState() & plat::csDestroying))
            c->RemoveFreeNotification(this);
}

void TKvxToolBarCustomizer::SetKvxToolBar(TKvxToolBar* Value) {
    if (Value == FToolBar)
        return;
    if (FToolBar) {
        FToolBar->RemoveFreeNotification(this);
        if (FToolBar->Customizer() == this)
            FToolBar->SetCustomizer(nullptr);
    }
    FToolBar = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->SetCustomizer(this);
    }
}

void TKvxToolBarCustomizer::SetLargeImages(plat::TCustomImageList* Value) {
    if (FLargeImages)
        FLargeImages->RemoveFreeNotification(this);
    FLargeImages = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TKvxToolBarCustomizer::SetSmallImages(plat::TCustomImageList* Value) {
    if (FSmallImages)
        FSmallImages->RemoveFreeNotification(this);
    FSmallImages = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TKvxToolBarCustomizer::Notification(plat::TComponent* AComponent, plat::TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != plat::opRemove)
        return;
    if (AComponent == FToolBar)
        FToolBar = nullptr;
    if (AComponent == FLargeImages)
        FLargeImages = nullptr;
    if (AComponent == FSmallImages)
        FSmallImages = nullptr;
    std::erase(FRemoved, AComponent);
    std::erase(FCreatedGlowButtons, AComponent);
}

void TKvxToolBarCustomizer::Loaded() {
    TComponent::Loaded();
    if (FToolBar && !(ComponentState() & plat::csDesigning)) {
        SaveInitialLayout();
        LoadCustomization();
    }
}

bool TKvxToolBarCustomizer::Usable() const {
    return FEnablePersistence && !FFileName.empty() && FToolBar && !(ComponentState() & plat::csDesigning);
}

plat::TControl* TKvxToolBarCustomizer::FindToolBarControl(const std::string& Name) const {
    if (Name.empty() || !FToolBar)
        return nullptr;
    for (int i = 0; i < FToolBar->ToolBarControlCount(); ++i)
        if (plat::SameText(FToolBar->ToolBarControl(i)->Name(), Name))
            return FToolBar->ToolBarControl(i);
    return nullptr;
}

std::string TKvxToolBarCustomizer::UsableName(const std::string& Stored, const std::string& Base) const {
    auto taken = [&](const std::string& name) {
        return FToolBar->FindComponent(name) || FindToolBarControl(name) ||
               (FToolBar->Owner() && FToolBar->Owner()->FindComponent(name));
    };
    if (plat::IsValidIdent(Stored) && !taken(Stored))
        return Stored;
    const std::string base = plat::IsValidIdent(Stored) ? Stored : Base;
    for (int n = 1;; ++n)
        if (!taken(base + std::to_string(n)))
            return base + std::to_string(n);
}

void TKvxToolBarCustomizer::TakeOff(plat::TControl* Control) {
    Control->SetParent(nullptr);
    if (auto* tc = dynamic_cast<TKvxCustomToolBarControl*>(Control))
        tc->SetKvxToolBar(nullptr);
    if (std::find(FRemoved.begin(), FRemoved.end(), Control) == FRemoved.end()) {
        FRemoved.push_back(Control);
        Control->FreeNotification(this);
    }
}

void TKvxToolBarCustomizer::PlaceInOrder(const std::vector<plat::TControl*>& Order, int GlyphPosition) {
    for (int i = 0; i < static_cast<int>(Order.size()); ++i) {
        const int at = FToolBar->IndexOfToolBarControl(Order[i]);
        if (i < FToolBar->ToolBarControlCount() && at >= 0)
            FToolBar->MoveToolBarControl(at, i);
        if (GlyphPosition < 0)
            continue;
        if (auto* b = dynamic_cast<TKvxToolBarButton*>(Order[i]))
            b->SetGlyphPosition(static_cast<TGlyphPosition>(std::clamp(GlyphPosition, 0, 3)));
        else if (auto* g = dynamic_cast<TKvxCustomGlowButton*>(Order[i]))
            g->SetLayout(static_cast<TButtonLayout>(std::clamp(GlyphPosition, 0, 3)));
    }
}

void TKvxToolBarCustomizer::ApplyImages(bool Large) {
    if (Large && FLargeImages)
        FToolBar->SetImages(FLargeImages);
    else if (FSmallImages)
        FToolBar->SetImages(FSmallImages);
}

void TKvxToolBarCustomizer::SaveInitialLayout() {
    if (!Usable())
        return;
    plat::TIniFile ini(ResolveStoreFileName(FFileName));
    const std::string s = Section() + "Org";
    ini.WriteString(s, "KTBCaption", FToolBar->Caption());
    int glyph = 0;
    for (int i = 0; i < FToolBar->ToolBarControlCount(); ++i)
        if (auto* b = dynamic_cast<TKvxToolBarButton*>(FToolBar->ToolBarControl(i))) {
            glyph = b->GlyphPosition();
            break;
        }
    ini.WriteInteger(s, "GlyphPosition", glyph);
    ini.WriteInteger(s, "LargeIcon", FLargeImages && FToolBar->Images() == FLargeImages ? 1 : 0);
    ini.WriteInteger(s, "ToolBarItemCount", FToolBar->ToolBarControlCount());
    for (int i = 0; i < FToolBar->ToolBarControlCount(); ++i) {
        plat::TControl* c = FToolBar->ToolBarControl(i);
        const std::string key = Entry(i);
        ini.WriteString(s, key, c->Name());
        ini.WriteString(s, key + ".ClassName", ClassKey(c));
        // The initial layout keeps every property a customization may change, whatever the dialog edits.
        if (auto* b = dynamic_cast<TKvxToolBarButton*>(c))
            WriteButtonKeys(ini, s, key, *b);
        else if (auto* g = dynamic_cast<TKvxCustomGlowButton*>(c))
            WriteButtonKeys(ini, s, key, *g);
    }
}

void TKvxToolBarCustomizer::SaveCustomization(const std::string& Caption, int GlyphPosition, bool LargeIcon,
                                              const std::vector<TKTBItemProp>& Items) {
    if (!Usable())
        return;
    plat::TIniFile ini(ResolveStoreFileName(FFileName));
    const std::string s = Section();
    ini.EraseSection(s);
    if (DialogSettings.EditCaption)
        ini.WriteString(s, "KTBCaption", Caption);
    if (DialogSettings.EditGlyphPosition)
        ini.WriteInteger(s, "GlyphPosition", GlyphPosition);
    if (DialogSettings.LargeIcon && FLargeImages)
        ini.WriteInteger(s, "LargeIcon", LargeIcon ? 1 : 0);
    ini.WriteInteger(s, "ToolBarItemCount", static_cast<int>(Items.size()));
    for (int i = 0; i < static_cast<int>(Items.size()); ++i) {
        const TKTBItemProp& item = Items[i];
        const std::string key = Entry(i);
        ini.WriteString(s, key, item.Control ? item.Control->Name() : item.Name);
        const std::string cls = item.Control      ? ClassKey(item.Control)
                                : item.Separator  ? kSeparatorClass
                                : item.GlowButton ? kGlowButtonClass
                                                  : kButtonClass;
        ini.WriteString(s, key + ".ClassName", cls);
        if (cls == kSeparatorClass || cls == "-1")
            continue;
        if (item.FromCommand)
            ini.WriteInteger(s, key + ".CommandID", item.CommandIndex);
        if (ButtonProperties.Glyph) {
            ini.WriteInteger(s, key + ".ImageIndex", item.ImageIndex);
            ini.WriteInteger(s, key + ".ForceImageIndex", item.ForceImageIndex ? 1 : 0);
        }
        if (ButtonProperties.Visible)
            ini.WriteInteger(s, key + ".Visible", item.Visible ? 1 : 0);
        if (ButtonProperties.ShowCaption)
            ini.WriteInteger(s, key + ".ShowCaption", item.ShowCaption ? 1 : 0);
        if (ButtonProperties.Caption)
            ini.WriteString(s, key + ".Caption", item.Caption);
        if (ButtonProperties.Hint)
            ini.WriteString(s, key + ".Hint", item.Hint);
    }
}

void TKvxToolBarCustomizer::LoadCustomization() {
    if (!Usable())
        return;
    plat::TIniFile ini(ResolveStoreFileName(FFileName));
    const std::string s = Section();
    if (DialogSettings.EditCaption)
        FToolBar->SetCaption(ini.ReadString(s, "KTBCaption", FToolBar->Caption()));
    const int glyph = DialogSettings.EditGlyphPosition ? ini.ReadInteger(s, "GlyphPosition", 0) : -1;
    const bool large = DialogSettings.LargeIcon && FLargeImages && ini.ReadInteger(s, "LargeIcon", 0) != 0;
    const int count = ini.ReadInteger(s, "ToolBarItemCount", -1);
    if (count < 0) {
        ApplyImages(large);
        return;
    }
    std::vector<plat::TControl*> order;
    for (int i = 0; i < count; ++i) {
        const std::string key = Entry(i);
        const std::string name = ini.ReadString(s, key, "");
        const std::string cls = plat::UpperCase(ini.ReadString(s, key + ".ClassName", ""));
        if (cls.empty())
            continue;
        const int command = ini.ReadInteger(s, key + ".CommandID", -1);
        const bool validCommand = command >= 0 && command < static_cast<int>(FCommands.size());
        // Without a name the entry can only stand for a button made from a command.
        if (name.empty() && !validCommand)
            continue;
        plat::TControl* c = FindToolBarControl(name);
        if (!c) {
            if (cls == kButtonClass) {
                auto* b = new TKvxToolBarButton(FToolBar);
                b->SetName(UsableName(name, "KvxToolBarButton"));
                b->SetKvxToolBar(FToolBar);
                if (validCommand) {
                    b->OnClick = FCommands[command].OnExecute;
                    FCommands[command].ItemIndex = command;
                }
                c = b;
            } else if (cls == kGlowButtonClass) {
                auto* g = new TKvxGlowButton(FToolBar);
                g->SetName(UsableName(name, "KvxGlowButton"));
                if (auto* list = dynamic_cast<plat::TImageList*>(FToolBar->Images()))
                    g->SetImages(list);
                g->SetBounds(0, 0, 23, 22);
                g->SetAutoSize(true);
                g->SetParent(FToolBar);
                if (validCommand) {
                    g->OnClick = FCommands[command].OnExecute;
                    FCommands[command].ItemIndex = command;
                }
                g->FreeNotification(this);
                FCreatedGlowButtons.push_back(g);
                c = g;
            } else if (cls == kSeparatorClass) {
                auto* sep = new TKvxToolBarSeparator(FToolBar);
                sep->SetName(UsableName(name, "KvxToolBarSeparator"));
                sep->SetKvxToolBar(FToolBar);
                c = sep;
            }
        }
        if (!c || std::find(order.begin(), order.end(), c) != order.end())
            continue;
        if (auto* b = dynamic_cast<TKvxToolBarButton*>(c)) {
            if (ButtonProperties.Glyph)
                b->SetImageIndex(ini.ReadInteger(s, key + ".ImageIndex", b->ImageIndex()));
            if (ButtonProperties.Visible)
                b->SetVisible(ini.ReadInteger(s, key + ".Visible", b->Visible() ? 1 : 0) != 0);
            if (ButtonProperties.ShowCaption)
                b->SetShowCaption(ini.ReadInteger(s, key + ".ShowCaption", b->ShowCaption() ? 1 : 0) == 1);
            if (ButtonProperties.Caption)
                b->SetCaption(ini.ReadString(s, key + ".Caption", b->Caption()));
            if (ButtonProperties.Hint)
                b->SetHint(ini.ReadString(s, key + ".Hint", b->Hint()));
        }
        if (auto* g = dynamic_cast<TKvxCustomGlowButton*>(c)) {
            const bool ours = std::find(FCreatedGlowButtons.begin(), FCreatedGlowButtons.end(), c) !=
                              FCreatedGlowButtons.end();
            if (ButtonProperties.Glyph && ours)
                g->SetImageIndex(ini.ReadInteger(s, key + ".ImageIndex", g->ImageIndex()));
            if (ButtonProperties.Visible)
                g->SetVisible(ini.ReadInteger(s, key + ".Visible", g->Visible() ? 1 : 0) != 0);
            if (ButtonProperties.ShowCaption)
                g->SetShowCaption(ini.ReadInteger(s, key + ".ShowCaption", g->ShowCaption() ? 1 : 0) == 1);
            if (ButtonProperties.Caption)
                g->SetCaption(ini.ReadString(s, key + ".Caption", g->Caption()));
            if (ButtonProperties.Hint)
                g->SetHint(ini.ReadString(s, key + ".Hint", g->Hint()));
        }
        order.push_back(c);
    }
    PlaceInOrder(order, glyph);
    // What the layout did not name leaves the toolbar; skipped entries take no place of their own.
    std::vector<plat::TControl*> rest;
    for (int i = 0; i < FToolBar->ToolBarControlCount(); ++i)
        if (std::find(order.begin(), order.end(), FToolBar->ToolBarControl(i)) == order.end())
            rest.push_back(FToolBar->ToolBarControl(i));
    for (plat::TControl* c : rest)
        TakeOff(c);
    ApplyImages(large);
}

void TKvxToolBarCustomizer::RestoreInitialLayout() {
    if (!Usable())
        return;
    plat::TIniFile ini(ResolveStoreFileName(FFileName));
    const std::string s = Section() + "Org";
    FToolBar->SetCaption(ini.ReadString(s, "KTBCaption", FToolBar->Caption()));
    const int glyph = DialogSettings.EditGlyphPosition ? ini.ReadInteger(s, "GlyphPosition", 0) : -1;
    const bool large = ini.ReadInteger(s, "LargeIcon", 0) != 0;
    const int count = ini.ReadInteger(s, "ToolBarItemCount", 0);
    if (count > 0) {
        for (plat::TControl* c : FRemoved) {
            c->RemoveFreeNotification(this);
            if (auto* tc = dynamic_cast<TKvxCustomToolBarControl*>(c))
                tc->SetKvxToolBar(FToolBar);
            else
                c->SetParent(FToolBar);
        }
        FRemoved.clear();
        std::vector<plat::TControl*> order;
        for (int i = 0; i < count; ++i) {
            const std::string key = Entry(i);
            plat::TControl* c = FindToolBarControl(ini.ReadString(s, key, ""));
            if (!c || std::find(order.begin(), order.end(), c) != order.end())
                continue;
            // A customization changes glow buttons as well as buttons; a reset takes both back.
            if (auto* b = dynamic_cast<TKvxToolBarButton*>(c))
                ReadButtonKeys(ini, s, key, *b);
            else if (auto* g = dynamic_cast<TKvxCustomGlowButton*>(c))
                ReadButtonKeys(ini, s, key, *g);
            order.push_back(c);
        }
        PlaceInOrder(order, glyph);
        std::vector<plat::TControl*> extra;
        for (int i = 0; i < FToolBar->ToolBarControlCount(); ++i)
            if (std::find(order.begin(), order.end(), FToolBar->ToolBarControl(i)) == order.end())
                extra.push_back(FToolBar->ToolBarControl(i));
        for (plat::TControl* c : extra)
            c->Free();
    }
    ApplyImages(large);
    ini.EraseSection(Section());
}

void TKvxToolBarCustomizer::ShowCustomizeDialog() {
    if (!FToolBar)
        return;
    auto* dlg = new TCustomizerForm(this);
    plat::ScopeGuard freeDialog([dlg] { dlg->Free(); });
    dlg->SetCustomizer(this);
    dlg->SetCaption(DialogSettings.Caption);
    dlg->SetCaptionEditVisible(DialogSettings.EditCaption);
    dlg->SetGlyphPositionEditVisible(DialogSettings.EditGlyphPosition);
    dlg->ChkLargeIcon->SetVisible(DialogSettings.LargeIcon && FLargeImages);
    dlg->CmBxIcon->SetEnabled(DialogSettings.EditGlyph);
    dlg->FillDialog();

    dlg->TopButton->SetVisible(Options.ReOrder);
    dlg->UpButton->SetVisible(Options.ReOrder);
    dlg->DownButton->SetVisible(Options.ReOrder);
    dlg->BottomButton->SetVisible(Options.ReOrder);
    dlg->AddButton->SetVisible(Options.AddButton && !FCommands.empty());
    dlg->AddGlowButton->SetVisible(Options.AddGlowButton);
    dlg->SeparatorButton->SetVisible(Options.AddSeparator);
    dlg->DeleteButton->SetVisible(Options.Delete);
    dlg->ClearButton->SetVisible(Options.DeleteAll);
    dlg->BtnEdit->SetVisible(Options.EditButton);
    // The shown buttons of the side column close up without gaps.
    int top =
        Options.ReOrder ? dlg->BottomButton->Top() + dlg->BottomButton->Height() : dlg->TopButton->Top();
    for (plat::TSpeedButton* b : {dlg->AddButton, dlg->AddGlowButton, dlg->SeparatorButton, dlg->DeleteButton,
                                  dlg->ClearButton, dlg->BtnEdit})
        if (b->Visible()) {
            b->SetTop(top);
            top += b->Height();
        }

    plat::TPoint at(FToolBar->Left() + FToolBar->Width() - 12, FToolBar->Top() + FToolBar->Height() + 1);
    if (FToolBar->Parent())
        at = FToolBar->Parent()->ClientToScreen(at);
    const plat::TRect work = plat::Screen->WorkAreaRect();
    if (at.Y + dlg->Height() + 2 > work.Bottom)
        at.Y = work.Bottom - dlg->Height() - 2;
    if (at.X + dlg->Width() > work.Right)
        at.X = FToolBar->Position() == toolbar::daRight
                   ? FToolBar->ClientToScreen(plat::TPoint(0, 0)).X - dlg->Width()
                   : work.Right - dlg->Width();
    int x = at.X, y = at.Y;
    bool canShow = true;
    if (OnCanShow)
        OnCanShow(this, x, y, canShow);
    if (!canShow)
        return;
    dlg->SetBounds(x, y, dlg->Width(), dlg->Height());
    if (OnBeforeDisplay)
        OnBeforeDisplay(this);
    const int result = dlg->ShowModal();
    if (result == plat::mrOk && dlg->Modified()) {
        LoadCustomization();
        if (OnAfterPost)
            OnAfterPost(this);
    } else if (result == 9) {
        RestoreInitialLayout();
    }
}

PLAT_PROPERTIES(TKvxToolBarCustomizer) {
    using C = TKvxToolBarCustomizer;
    props.Boolean("EnablePersistence", &C::EnablePersistence, &C::SetEnablePersistence);
    props.String("FileName", &C::FileName, &C::SetFileName, ".\\untitled.ini");
    props.Component("KvxToolBar", &C::KvxToolBar, &C::SetKvxToolBar);
    props.Component("LargeImages", &C::LargeImages, &C::SetLargeImages);
    props.Component("SmallImages", &C::SmallImages, &C::SetSmallImages);
}

} // namespace ui
