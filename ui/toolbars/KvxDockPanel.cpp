#include "ui/toolbars/KvxDockPanel.h"

#include <algorithm>

#include "platform/rtl/Exception.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Menu.h"
#include "ui/drawing/KvxMenus.h"
#include "ui/drawing/KvxVersion.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarDraw.h"

namespace ui {

using namespace toolbar;
using plat::TRect;

PLAT_CLASS_INFO_CREATABLE(TKvxDockPanel, plat::TCustomControl)

namespace {

plat::TAlign PlatformAlign(TDockAlign Value) {
    switch (Value) {
    case daLeft:
        return plat::alLeft;
    case daTop:
        return plat::alTop;
    case daRight:
        return plat::alRight;
    case daBottom:
        return plat::alBottom;
    }
    return plat::alTop;
}

} // namespace

TKvxDockPanel::TKvxDockPanel(plat::TComponent* AOwner)
    : TCustomControl(AOwner), FRows(std::make_unique<TRowCollection>(this)),
      FBackgroundBitmap(std::make_unique<plat::TBitmap>()),
      FPersistence(std::make_unique<TPersistence>(this)) {
    FInternalStyler = new TCustomKvxToolBarStyler(this);
    FInternalStyler->SetName("InternalStyler");
    FInternalStyler->RegisterStylerClient(this);
    FCurrentStyler = FInternalStyler;
    FPersistence->OnChange = [this](plat::TObject*) { PropagatePersistence(); };
    SetControlStyle((ControlStyle() | plat::csAcceptsControls) & ~plat::csOpaque);
    TControl::SetAlign(plat::alTop);
    SetDoubleBuffered(true);
    TControl::SetBounds(0, 0, 185, FMinimumSize);
}

TKvxDockPanel::~TKvxDockPanel() {
    SaveLayoutOnce();
    if (FToolBarStyler)
        FToolBarStyler->UnregisterStylerClient(this);
    // Toolbars that outlive the panel must not call back into it.
    for (TKvxCustomToolBar* bar : FToolBars)
        if (bar->DockPanel() == this)
            bar->SetDockPanel(nullptr);
}

void TKvxDockPanel::BeforeDestruction() {
    SaveLayoutOnce();
    TCustomControl::BeforeDestruction();
}

void TKvxDockPanel::SaveLayoutOnce() {
    if (FLayoutSaved)
        return;
    FLayoutSaved = true;
    // A store that cannot be written must not take the program down while its windows are going.
    try {
        SaveDockLayout();
    } catch (const plat::Exception&) {
    }
}

std::string TKvxDockPanel::Version() const {
    return VersionText(PackVersion(3, 1, 1, 0));
}

bool TKvxDockPanel::Loading() const {
    return ComponentState() & plat::csLoading;
}

bool TKvxDockPanel::Designing() const {
    return ComponentState() & plat::csDesigning;
}

bool TKvxDockPanel::RowChangesLocked() const {
    return FLockHeight && !Designing() && FLoaded;
}

void TKvxDockPanel::SetPanelBounds(int Left, int Top, int Width, int Height) {
    SetBounds(Left, Top, Width, Height);
}

void TKvxDockPanel::SetAlign(TDockAlign Value) {
    if (Value == FAlign)
        return;
    FAlign = Value;
    // The toolbars turn first, so that the rows, when the panel's new side resizes it, meet toolbars
    // that already lie their way.
    for (TKvxCustomToolBar* bar : FToolBars)
        bar->SetPosition(Value);
    TControl::SetAlign(PlatformAlign(Value));
    if (!Loading())
        FRows->UpdateRows();
}

void TKvxDockPanel::SetMinimumSize(int Value) {
    if (Value == FMinimumSize || Value <= 0)
        return;
    FMinimumSize = Value;
    if (!Designing())
        FRows->UpdatePanelSize();
}

void TKvxDockPanel::SetUseRunTimeHeight(bool Value) {
    if (Value == FUseRunTimeHeight)
        return;
    FUseRunTimeHeight = Value;
    FRows->UpdateRows();
}

void TKvxDockPanel::SetParent(plat::TWinControl* AParent) {
    if (dynamic_cast<TKvxDockPanel*>(AParent) || dynamic_cast<TKvxCustomToolBar*>(AParent))
        throw plat::Exception("Invalid Parent");
    TCustomControl::SetParent(AParent);
}

int TKvxDockPanel::FindRowWithRoom(TKvxCustomToolBar* ToolBar) const {
    const int n = FRows->Count();
    const bool fromLast = FAlign == daLeft || FAlign == daTop;
    for (int k = 0; k < n; ++k) {
        const int i = fromLast ? n - 1 - k : k;
        if (FRows->Rows(i)->CanAcceptToolBar(ToolBar))
            return i;
    }
    return -1;
}

int TKvxDockPanel::AddToolBar(TKvxCustomToolBar* ToolBar) {
    int row = -1;
    if (RowChangesLocked()) {
        row = FindRowWithRoom(ToolBar);
        if (row < 0)
            return -1;
    }
    ToolBar->SetDockPanel(nullptr);
    ToolBar->SetPosition(FAlign);
    ToolBar->SetDockPanel(this);
    if (std::find(FToolBars.begin(), FToolBars.end(), ToolBar) == FToolBars.end())
        FToolBars.push_back(ToolBar);
    if (Loading()) {
        ToolBar->CopyDockPersistence(FPersistence.get());
        return 0; // Loaded distributes the toolbars
    }
    ToolBar->CopyDockPersistence(FPersistence.get());
    TRowCollectionItem* target = row >= 0 ? FRows->Rows(row) : FRows->AddRow();
    return target->AddToolBar(ToolBar);
}

void TKvxDockPanel::RemoveToolBar(TKvxCustomToolBar* ToolBar) {
    const int r = ToolBar->RowIndex();
    if (!Loading() && r >= 0 && r < FRows->Count())
        FRows->Rows(r)->RemoveToolBar(ToolBar, true);
    std::erase(FToolBars, ToolBar);
    std::erase(FHiddenToolBars, ToolBar);
}

void TKvxDockPanel::AdjustToolBarBounds(TKvxCustomToolBar* ToolBar, int& Left, int& Top, int& Width,
                                        int& Height) {
    if (Loading() || !ToolBar->Visible())
        return;
    FRows->AdjustToolBarBounds(ToolBar, Left, Top, Width, Height);
}

void TKvxDockPanel::ToolBarVisibilityChanged(TKvxCustomToolBar* ToolBar) {
    const bool listed =
        std::find(FHiddenToolBars.begin(), FHiddenToolBars.end(), ToolBar) != FHiddenToolBars.end();
    if (ToolBar->Visible())
        std::erase(FHiddenToolBars, ToolBar);
    else if (!listed)
        FHiddenToolBars.push_back(ToolBar);
    if (!Loading())
        FRows->ToolBarVisibilityChanged(ToolBar);
}

void TKvxDockPanel::ToolBarFullSizeChanged(TKvxCustomToolBar* ToolBar) {
    FRows->IsolateToolBar(ToolBar);
}

void TKvxDockPanel::Loaded() {
    TCustomControl::Loaded();
    std::vector<IDockRowClient*> bars(FToolBars.begin(), FToolBars.end());
    FRows->LoadRows(bars);
    LoadDockLayout();
    FLoaded = true;
}

void TKvxDockPanel::Notification(plat::TComponent* AComponent, plat::TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != plat::opRemove || (ComponentState() & plat::csDestroying))
        return;
    if (AComponent == FToolBarStyler)
        SetToolBarStyler(nullptr);
    if (auto* bar = dynamic_cast<TKvxCustomToolBar*>(AComponent)) {
        const int r = bar->RowIndex();
        if (r >= 0 && r < FRows->Count())
            RemoveToolBar(bar);
        else {
            std::erase(FToolBars, bar);
            std::erase(FHiddenToolBars, bar);
        }
    }
}

void TKvxDockPanel::Resize() {
    TCustomControl::Resize();
    // Laying the rows out sets the panel's size again; that inner resize needs no second layout.
    if (FLayingOut)
        return;
    plat::TemporaryChange<bool> busy(FLayingOut, true);
    FRows->UpdateRows();
}

void TKvxDockPanel::Paint() {
    TCustomControl::Paint();
    if (FBackgroundValid && FBackgroundBitmap->Width() == Width() &&
        FBackgroundBitmap->Height() == Height()) {
        Canvas()->Draw(0, 0, FBackgroundBitmap.get());
        return;
    }
    FBackgroundValid = true;
    FBackgroundBitmap->SetSize(Width(), Height());
    plat::TCanvas* c = FBackgroundBitmap->Canvas();
    const TRect R = ClientRect();
    const TGradientBackground* D = FCurrentStyler->DockColor();
    if (D->ColorTo() == plat::clNone) {
        c->Pen()->SetColor(D->Color());
        c->Brush()->SetColor(D->Color());
        c->Rectangle(R);
    } else {
        DrawBandGradient(*c, D->Color(), D->ColorTo(), D->Steps(), R,
                         D->Direction() == toolbar::gdHorizontal);
    }
    plat::TBitmap* picture = FCurrentStyler->BackGround();
    if (!picture->Empty()) {
        const int w = picture->Width(), h = picture->Height();
        switch (FCurrentStyler->BackGroundDisplay()) {
        case bdTile:
            for (int y = 1; y < Height() - 2; y += h)
                for (int x = 1; x < Width() - 2; x += w)
                    c->Draw(x, y, picture);
            break;
        case bdCenter:
            c->Draw((Width() - w) / 2, (Height() - h) / 2, picture);
            break;
        case bdStretch:
            c->StretchDraw(TRect(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2), picture);
            break;
        }
    }
    Canvas()->Draw(0, 0, FBackgroundBitmap.get());
}

// ---- Styler ----

void TKvxDockPanel::SetToolBarStyler(TCustomKvxToolBarStyler* Value) {
    if (Value == FToolBarStyler && Value)
        return;
    if (FToolBarStyler && FToolBarStyler != FInternalStyler) {
        FToolBarStyler->UnregisterStylerClient(this);
        FToolBarStyler->RemoveFreeNotification(this);
    }
    FToolBarStyler = Value;
    FBackgroundValid = false;
    if (Value) {
        FCurrentStyler = Value;
        Value->RegisterStylerClient(this);
        Value->FreeNotification(this);
    } else {
        FCurrentStyler = FInternalStyler;
    }
    if (!(ComponentState() & (plat::csLoading | plat::csDestroying)))
        for (TKvxCustomToolBar* bar : FToolBars)
            bar->SetParentStyler(bar->ParentStyler());
    SetPopupMenu(PopupMenu());
    Invalidate();
}

void TKvxDockPanel::StylerDestroyed(TCustomKvxToolBarStyler* Styler) {
    if (Styler == FToolBarStyler) {
        FToolBarStyler = nullptr;
        SetToolBarStyler(nullptr);
    }
}

void TKvxDockPanel::StylerChanged(int Code) {
    FBackgroundValid = false;
    SetColor(FCurrentStyler->DockColor()->Color());
    if (Code == scMenuStyler)
        SetPopupMenu(PopupMenu());
    Invalidate();
}

void TKvxDockPanel::SetPopupMenu(plat::TComponent* Value) {
    TCustomControl::SetPopupMenu(Value);
    if (auto* menu = dynamic_cast<TKvxPopupMenu*>(Value); menu && FCurrentStyler)
        menu->SetMenuStyler(FCurrentStyler->CurrentMenuStyler());
}

void TKvxDockPanel::SetPersistence(plat::TPersistent* Value) {
    if (auto* p = dynamic_cast<TPersistence*>(Value)) {
        FPersistence->SetLocation(p->Location());
        FPersistence->SetKey(p->Key());
        FPersistence->SetSection(p->Section());
        FPersistence->SetEnabled(p->Enabled());
    }
}

void TKvxDockPanel::PropagatePersistence() {
    for (int r = 0; r < FRows->Count(); ++r)
        for (int i = 0; i < FRows->Rows(r)->Count(); ++i)
            if (auto* bar = dynamic_cast<TKvxCustomToolBar*>(FRows->Rows(r)->ToolBars(i)))
                bar->CopyDockPersistence(FPersistence.get());
}

} // namespace ui
