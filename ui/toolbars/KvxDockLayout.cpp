// The dock panel's memory of its arrangement: which toolbars sit in which rows, where, how large and
// whether they are shown.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Form.h"
#include "ui/toolbars/KvxDockPanel.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarStore.h"

namespace ui {

using namespace toolbar;

namespace {

// Every other dock panel of the form, reached through windowed controls without entering dock panels.
void CollectDockPanels(plat::TWinControl* Root, const TKvxDockPanel* Self,
                       std::vector<TKvxDockPanel*>& Found) {
    for (int i = 0; i < Root->ControlCount(); ++i) {
        auto* w = dynamic_cast<plat::TWinControl*>(Root->Controls(i));
        if (!w || w == Self)
            continue;
        if (auto* panel = dynamic_cast<TKvxDockPanel*>(w)) {
            if (std::find(Found.begin(), Found.end(), panel) == Found.end())
                Found.push_back(panel);
            continue;
        }
        CollectDockPanels(w, Self, Found);
    }
}

// Sets the bounds as stored, past the panel's bounds hook.
void PlaceAsStored(TKvxCustomToolBar* Bar, int Left, int Top, int Width, int Height) {
    const bool was = Bar->Positioning();
    Bar->SetPositioning(true);
    plat::ScopeGuard restore([&] { Bar->SetPositioning(was); });
    Bar->SetBounds(Left, Top, Width, Height);
}

TKvxCustomToolBar* TakeByName(std::vector<TKvxCustomToolBar*>& List, const std::string& Name) {
    auto it = std::find_if(List.begin(), List.end(),
                           [&](TKvxCustomToolBar* bar) { return plat::SameText(bar->Name(), Name); });
    if (it == List.end())
        return nullptr;
    TKvxCustomToolBar* bar = *it;
    List.erase(it);
    return bar;
}

} // namespace

void TKvxDockPanel::SaveDockLayout() {
    if (!StoreUsable(*FPersistence) || Designing())
        return;
    const std::string& section = FPersistence->Section();
    std::vector<TKvxCustomToolBar*> bars;
    for (int r = 0; r < FRows->Count(); ++r)
        for (int i = 0; i < FRows->Rows(r)->Count(); ++i)
            if (auto* bar = dynamic_cast<TKvxCustomToolBar*>(FRows->Rows(r)->ToolBars(i)))
                bars.push_back(bar);
    for (TKvxCustomToolBar* bar : FHiddenToolBars)
        if (std::find(bars.begin(), bars.end(), bar) == bars.end())
            bars.push_back(bar);

    auto store = OpenStore(*FPersistence);
    store->WriteInteger(section, "ToolBarCount", static_cast<int>(bars.size()));
    store->WriteInteger(section, "RowCount", FRows->Count());
    int n = 1;
    for (TKvxCustomToolBar* bar : bars) {
        const std::string& name = bar->Name();
        store->WriteString(section, "Name" + std::to_string(n++), name);
        store->WriteInteger(section, name + ".Row", bar->RowIndex());
        store->WriteInteger(section, name + ".Left", bar->Left());
        store->WriteInteger(section, name + ".Top", bar->Top());
        store->WriteInteger(section, name + ".Width", bar->Width());
        store->WriteInteger(section, name + ".Height", bar->Height());
        store->WriteInteger(section, name + ".Visible", bar->Visible() ? 1 : 0);
    }
}

void TKvxDockPanel::LoadDockLayout() {
    if (!StoreUsable(*FPersistence) || Designing())
        return;
    const std::string& section = FPersistence->Section();
    auto store = OpenStore(*FPersistence);

    // The toolbars this panel holds, in row order; hidden ones too, so that a toolbar streamed hidden
    // still finds its stored place.
    std::vector<TKvxCustomToolBar*> unnamed;
    for (int r = 0; r < FRows->Count(); ++r)
        for (int i = 0; i < FRows->Rows(r)->Count(); ++i)
            if (auto* bar = dynamic_cast<TKvxCustomToolBar*>(FRows->Rows(r)->ToolBars(i)))
                unnamed.push_back(bar);
    for (TKvxCustomToolBar* bar : FToolBars)
        if (std::find(unnamed.begin(), unnamed.end(), bar) == unnamed.end())
            unnamed.push_back(bar);

    const int count = store->ReadInteger(section, "ToolBarCount", 0);
    if (count <= 0)
        return;
    // More rows than toolbars would only leave empty rows behind; a negative count means none.
    const int rowCount = std::clamp(store->ReadInteger(section, "RowCount", FRows->Count()), 0, count);

    std::vector<std::pair<TKvxCustomToolBar*, int>> oldRows;
    for (TKvxCustomToolBar* bar : unnamed) {
        oldRows.emplace_back(bar, bar->RowIndex());
        bar->SetRowIndex(-1);
    }
    FRows->Clear();
    for (int r = 0; r < rowCount; ++r)
        FRows->Add();

    std::vector<TKvxDockPanel*> others;
    if (plat::TCustomForm* form = plat::GetParentForm(this))
        CollectDockPanels(form, this, others);

    std::vector<TKvxCustomToolBar*> placed;
    for (int n = 1; n <= count; ++n) {
        const std::string name = store->ReadString(section, "Name" + std::to_string(n), Name());
        TKvxCustomToolBar* bar = TakeByName(unnamed, name);
        int defaultRow = -1;
        if (bar) {
            auto it = std::find_if(oldRows.begin(), oldRows.end(), [bar](auto& e) { return e.first == bar; });
            defaultRow = it->second;
        } else {
            for (TKvxDockPanel* other : others) {
                auto& list = other->FToolBars;
                auto it = std::find_if(list.begin(), list.end(),
                                       [&](TKvxCustomToolBar* b) { return plat::SameText(b->Name(), name); });
                if (it == list.end())
                    continue;
                bar = *it;
                bar->SetParent(this);
                // Only the stored values place it, not the row the docking gave it.
                const int r = bar->RowIndex();
                if (r >= 0 && r < FRows->Count())
                    FRows->Rows(r)->RemoveToolBar(bar, false);
                bar->SetRowIndex(-1);
                break;
            }
        }
        // A second entry of the same name, or a name that matches nothing.
        if (!bar || std::find(placed.begin(), placed.end(), bar) != placed.end())
            continue;
        placed.push_back(bar);

        const int row = store->ReadInteger(section, name + ".Row", defaultRow);
        const int left = store->ReadInteger(section, name + ".Left", bar->Left());
        const int top = store->ReadInteger(section, name + ".Top", bar->Top());
        const int width = store->ReadInteger(section, name + ".Width", bar->Width());
        const int height = store->ReadInteger(section, name + ".Height", bar->Height());
        const bool visible = store->ReadInteger(section, name + ".Visible", bar->Visible() ? 1 : 0) != 0;

        PlaceAsStored(bar, left, top, width, height);
        if (visible) {
            // A row the panel does not have (a damaged or hand-edited store) gives the toolbar a row of its
            // own rather than leaving a shown toolbar outside every row.
            TRowCollectionItem* target = row >= 0 && row < FRows->Count() ? FRows->Rows(row) : nullptr;
            if (!target || target->AddToolBar(bar) < 0)
                FRows->AddRow()->AddToolBar(bar);
            PlaceAsStored(bar, left, top, width, height);
        } else {
            bar->SetRowIndex(row);
        }
        if (visible != bar->Visible())
            bar->SetVisible(visible);
    }

    for (int r = FRows->Count() - 1; r >= 0; --r)
        if (FRows->Rows(r)->Count() == 0)
            FRows->Delete(r);
    // Docked after the layout was saved: a row of its own below the restored ones.
    for (TKvxCustomToolBar* bar : unnamed)
        if (bar->Visible())
            FRows->AddRow()->AddToolBar(bar);
    FRows->UpdateRows();
    for (TKvxCustomToolBar* bar : FToolBars)
        if (bar->Visible()) {
            bar->ArrangeControls(true);
            bar->UpdateOverflow();
        }
}

} // namespace ui
