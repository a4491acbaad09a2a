#include "platform/ui/TreeView.h"

#include <algorithm>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/ControlSupport.h"
#include "platform/ui/Input.h"
#include "platform/ui/Keys.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/WindowScroll.h"

namespace plat {

// The label editor: a borderless edit over the label that commits on Enter or when it loses the focus
// and cancels on Escape.
class TTreeViewEdit : public TCustomEdit {
    PLAT_CLASS(TTreeViewEdit)
public:
    explicit TTreeViewEdit(TCustomTreeView* Tree) : TCustomEdit(Tree), FTree(Tree) {
        FVisible = false;
        SetBorderStyle(bsNone);
        SetAutoSelect(false);
    }

protected:
    void CreateParams(TCreateParams& Params) override {
        TCustomEdit::CreateParams(Params);
        Params.Style |= WS_BORDER;
    }
    void Dispatch(TMessage& Message) override {
        if (Message.Msg == WM_GETDLGCODE) {
            TCustomEdit::Dispatch(Message);
            Message.Result |= DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
            return;
        }
        TCustomEdit::Dispatch(Message);
    }
    void KeyDown(uint16_t& Key, TShiftState Shift) override {
        TCustomEdit::KeyDown(Key, Shift);
        if (Key == VK_RETURN || Key == VK_ESCAPE) {
            bool cancel = Key == VK_ESCAPE;
            Key = 0;
            FTree->EndEdit(cancel);
        }
    }
    void KeyPress(char32_t& Key) override {
        TCustomEdit::KeyPress(Key);
        if (Key == U'\r' || Key == 27)
            Key = 0;
    }
    void DoExit() override {
        TCustomEdit::DoExit();
        if (FTree->IsEditing())
            FTree->EndEdit(false);
    }

private:
    TCustomTreeView* FTree;
};

PLAT_CLASS_INFO(TTreeViewEdit, TCustomEdit)
PLAT_CLASS_INFO(TTreeNode, TPersistent)
PLAT_CLASS_INFO(TTreeNodes, TPersistent)
PLAT_CLASS_INFO(TCustomTreeView, TCustomControl)
PLAT_CLASS_INFO_CREATABLE(TTreeView, TCustomTreeView)

namespace {

const char* const kSortTypeNames[] = {"stNone", "stData", "stText", "stBoth"};

static_assert(std::size(kSortTypeNames) == stBoth + 1);
constexpr uintptr_t kEditTimer = 1;
constexpr int kButtonSize = 9;

struct TRegistrar {
    TRegistrar() { RegisterClass(TTreeView::StaticClass()); }
} registrar;

[[noreturn]] void IndexError(int Index) {
    throw ETreeViewError(Format("List index out of bounds (%d)", {Index}));
}

// Classic dotted lines: every other pixel, on a checkerboard so horizontal and vertical ones meet.
void DottedVertical(TCanvas& Canvas, int X, int Y1, int Y2, TColor Color) {
    for (int y = Y1; y < Y2; ++y)
        if (((X + y) & 1) == 0)
            Canvas.SetPixels(X, y, Color);
}

void DottedHorizontal(TCanvas& Canvas, int X1, int X2, int Y, TColor Color) {
    for (int x = X1; x < X2; ++x)
        if (((x + Y) & 1) == 0)
            Canvas.SetPixels(x, Y, Color);
}

} // namespace

PLAT_PROPERTIES(TCustomTreeView) {
    props.Boolean("AutoExpand", &TCustomTreeView::AutoExpand, &TCustomTreeView::SetAutoExpand, false);
    props.Enum("BorderStyle", &TCustomTreeView::BorderStyle, &TCustomTreeView::SetBorderStyle,
               kBorderStyleNames, bsSingle);
    props.Boolean("HideSelection", &TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection, true);
    props.Component("Images", &TCustomTreeView::Images, &TCustomTreeView::SetImages);
    props.Integer("Indent", &TCustomTreeView::Indent, &TCustomTreeView::SetIndent, 19);
    props.Boolean("ReadOnly", &TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly, false);
    props.Boolean("RowSelect", &TCustomTreeView::RowSelect, &TCustomTreeView::SetRowSelect, false);
    props.Boolean("ShowButtons", &TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons, true);
    props.Boolean("ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines, true);
    props.Boolean("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot, true);
    props.Enum("SortType", &TCustomTreeView::SortType, &TCustomTreeView::SetSortType, kSortTypeNames, stNone);
    props.Component("StateImages", &TCustomTreeView::StateImages, &TCustomTreeView::SetStateImages);
    props.Boolean("TabStop", &TCustomTreeView::TabStop, &TCustomTreeView::SetTabStop, true);
    props.Event("OnChange", &TCustomTreeView::OnChange);
    props.Event("OnChanging", &TCustomTreeView::OnChanging);
    props.Event("OnCollapsed", &TCustomTreeView::OnCollapsed);
    props.Event("OnCollapsing", &TCustomTreeView::OnCollapsing);
    props.Event("OnCompare", &TCustomTreeView::OnCompare);
    props.Event("OnDeletion", &TCustomTreeView::OnDeletion);
    props.Event("OnEdited", &TCustomTreeView::OnEdited);
    props.Event("OnEditing", &TCustomTreeView::OnEditing);
    props.Event("OnExpanded", &TCustomTreeView::OnExpanded);
    props.Event("OnExpanding", &TCustomTreeView::OnExpanding);
    props.Event("OnGetImageIndex", &TCustomTreeView::OnGetImageIndex);
    props.Event("OnGetSelectedIndex", &TCustomTreeView::OnGetSelectedIndex);
}

// ---- TTreeNode ----------------------------------------------------------------------------------------

TTreeNode::TTreeNode(TTreeNodes* AOwner) : FOwner(AOwner) {}

TTreeNode::~TTreeNode() {
    for (TTreeNode* child : FChildren)
        delete child;
}

TCustomTreeView* TTreeNode::TreeView() const {
    return FOwner ? FOwner->Owner() : nullptr;
}

TCustomTreeView* TTreeNode::View() const {
    return TreeView();
}

void TTreeNode::SetText(const std::string& Value) {
    if (FText == Value)
        return;
    FText = Value;
    FTextWidth = -1;
    TCustomTreeView* view = View();
    if (view && (view->FSortType == stText || view->FSortType == stBoth)) {
        view->SortSiblings(FOwner->SiblingsOf(FParent), false);
        view->NodesChanged();
    } else if (view) {
        view->NodeChanged(this);
    }
}

void TTreeNode::SetData(TObject* Value) {
    if (FData == Value)
        return;
    FData = Value;
    TCustomTreeView* view = View();
    if (view && (view->FSortType == stData || view->FSortType == stBoth) && view->OnCompare) {
        view->SortSiblings(FOwner->SiblingsOf(FParent), false);
        view->NodesChanged();
    }
}

void TTreeNode::SetImageIndex(int Value) {
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    if (TCustomTreeView* view = View())
        view->NodeChanged(this);
}

void TTreeNode::SetSelectedIndex(int Value) {
    if (FSelectedIndex == Value)
        return;
    FSelectedIndex = Value;
    if (TCustomTreeView* view = View())
        view->NodeChanged(this);
}

void TTreeNode::SetStateIndex(int Value) {
    if (FStateIndex == Value)
        return;
    FStateIndex = Value;
    if (TCustomTreeView* view = View())
        view->NodeChanged(this);
}

void TTreeNode::SetHasChildren(bool Value) {
    if (FHasChildren == Value)
        return;
    FHasChildren = Value;
    if (TCustomTreeView* view = View())
        view->NodeChanged(this);
}

void TTreeNode::SetExpanded(bool Value) {
    if (TCustomTreeView* view = View())
        view->DoExpand(this, Value);
}

void TTreeNode::Expand(bool Recurse) {
    SetExpanded(true);
    if (Recurse)
        for (size_t i = 0; i < FChildren.size(); ++i)
            FChildren[i]->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
    SetExpanded(false);
    if (Recurse)
        for (size_t i = 0; i < FChildren.size(); ++i)
            FChildren[i]->Collapse(true);
}

TTreeNode* TTreeNode::Item(int Index) const {
    if (Index < 0 || Index >= Count())
        IndexError(Index);
    return FChildren[Index];
}

int TTreeNode::IndexOf(const TTreeNode* Child) const {
    auto it = std::find(FChildren.begin(), FChildren.end(), Child);
    return it == FChildren.end() ? -1 : static_cast<int>(it - FChildren.begin());
}

int TTreeNode::Index() const {
    const auto& siblings = FOwner->SiblingsOf(FParent);
    auto it = std::find(siblings.begin(), siblings.end(), this);
    return it == siblings.end() ? -1 : static_cast<int>(it - siblings.begin());
}

int TTreeNode::Level() const {
    int level = 0;
    for (TTreeNode* p = FParent; p; p = p->FParent)
        ++level;
    return level;
}

int TTreeNode::AbsoluteIndex() const {
    int index = 0;
    for (TTreeNode* n = FOwner->GetFirstNode(); n && n != this; n = n->GetNext())
        ++index;
    return index;
}

bool TTreeNode::HasAsParent(const TTreeNode* Value) const {
    if (!Value)
        return false;
    for (TTreeNode* p = FParent; p; p = p->FParent)
        if (p == Value)
            return true;
    return false;
}

TTreeNode* TTreeNode::GetNext() const {
    if (!FChildren.empty())
        return FChildren.front();
    for (const TTreeNode* n = this; n; n = n->FParent)
        if (TTreeNode* s = n->GetNextSibling())
            return s;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
    TTreeNode* s = GetPrevSibling();
    if (!s)
        return FParent;
    while (!s->FChildren.empty())
        s = s->FChildren.back();
    return s;
}

TTreeNode* TTreeNode::GetNextSibling() const {
    const auto& siblings = FOwner->SiblingsOf(FParent);
    int i = Index();
    return i >= 0 && i + 1 < static_cast<int>(siblings.size()) ? siblings[i + 1] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
    const auto& siblings = FOwner->SiblingsOf(FParent);
    int i = Index();
    return i > 0 ? siblings[i - 1] : nullptr;
}

TTreeNode* TTreeNode::GetNextChild(const TTreeNode* Value) const {
    return Value ? Value->GetNextSibling() : nullptr;
}

TTreeNode* TTreeNode::GetPrevChild(const TTreeNode* Value) const {
    return Value ? Value->GetPrevSibling() : nullptr;
}

bool TTreeNode::IsVisible() const {
    for (TTreeNode* p = FParent; p; p = p->FParent)
        if (!p->FExpanded)
            return false;
    return true;
}

TTreeNode* TTreeNode::GetNextVisible() const {
    if (!IsVisible())
        return nullptr;
    if (FExpanded && !FChildren.empty())
        return FChildren.front();
    for (const TTreeNode* n = this; n; n = n->FParent)
        if (TTreeNode* s = n->GetNextSibling())
            return s;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
    if (!IsVisible())
        return nullptr;
    TTreeNode* s = GetPrevSibling();
    if (!s)
        return FParent;
    while (s->FExpanded && !s->FChildren.empty())
        s = s->FChildren.back();
    return s;
}

bool TTreeNode::Selected() const {
    TCustomTreeView* view = View();
    return view && view->Selected() == this;
}

void TTreeNode::SetSelected(bool Value) {
    TCustomTreeView* view = View();
    if (!view)
        return;
    if (Value)
        view->SetSelected(this);
    else if (view->Selected() == this)
        view->SetSelected(nullptr);
}

bool TTreeNode::Focused() const {
    TCustomTreeView* view = View();
    return view && view->Selected() == this && view->Focused();
}

void TTreeNode::SetFocused(bool Value) {
    if (Value)
        SetSelected(true);
}

void TTreeNode::MakeVisible() {
    TCustomTreeView* view = View();
    if (!view)
        return;
    std::vector<TTreeNode*> parents;
    for (TTreeNode* p = FParent; p; p = p->FParent)
        parents.push_back(p);
    for (auto it = parents.rbegin(); it != parents.rend(); ++it)
        if (!(*it)->FExpanded)
            view->DoExpand(*it, true);
    view->MakeRowVisible(view->RowOf(this));
}

void TTreeNode::Delete() {
    FOwner->Delete(this);
}

void TTreeNode::DeleteChildren() {
    if (FChildren.empty())
        return;
    FOwner->BeginUpdate();
    while (!FChildren.empty())
        FOwner->Delete(FChildren.back());
    FOwner->EndUpdate();
}

bool TTreeNode::EditText() {
    TCustomTreeView* view = View();
    return view && view->StartEdit(this);
}

void TTreeNode::EndEdit(bool Cancel) {
    TCustomTreeView* view = View();
    if (view && view->FEditNode == this)
        view->EndEdit(Cancel);
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
    TCustomTreeView* view = View();
    if (!view)
        return TRect();
    int row = view->RowOf(this);
    if (row < 0)
        return TRect();
    TRect r = view->RowRect(row - view->FTopRow);
    return TextOnly ? view->LabelRect(this, r) : r;
}

void TTreeNode::AlphaSort(bool Recurse) {
    if (TCustomTreeView* view = View()) {
        view->SortSiblings(FChildren, Recurse);
        view->NodesChanged();
    }
}

void TTreeNode::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TTreeNode*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this)
        return;
    FOwner->BeginUpdate();
    DeleteChildren();
    SetText(src->FText);
    FData = src->FData;
    FImageIndex = src->FImageIndex;
    FSelectedIndex = src->FSelectedIndex;
    FStateIndex = src->FStateIndex;
    for (TTreeNode* child : std::vector<TTreeNode*>(src->FChildren))
        FOwner->AddChildObject(this, child->FText, child->FData)->Assign(child);
    FHasChildren = src->FHasChildren || !FChildren.empty();
    FOwner->EndUpdate();
}

void TTreeNode::ChildrenChanged() {
    if (FChildren.empty()) {
        FHasChildren = false;
        FExpanded = false;
    }
}

// ---- TTreeNodes ---------------------------------------------------------------------------------------

TTreeNodes::TTreeNodes(TCustomTreeView* AOwner) : FOwner(AOwner) {}

TTreeNodes::~TTreeNodes() {
    for (TTreeNode* root : FRoots)
        delete root;
}

TTreeNode* TTreeNodes::Item(int Index) const {
    if (Index < 0 || Index >= FCount)
        IndexError(Index);
    TTreeNode* n = GetFirstNode();
    for (int i = 0; i < Index && n; ++i)
        n = n->GetNext();
    if (!n)
        IndexError(Index);
    return n;
}

TTreeNode* TTreeNodes::InternalAdd(TTreeNode* Parent, int Position, const std::string& S, TObject* Ptr,
                                   bool Sort) {
    auto* node = new TTreeNode(this);
    node->FParent = Parent;
    node->FText = S;
    node->FData = Ptr;
    auto& siblings = SiblingsOf(Parent);
    if (Sort && FOwner && (FOwner->FSortType == stText || FOwner->FSortType == stBoth)) {
        // After the last sibling that does not sort above the new text.
        Position = static_cast<int>(std::upper_bound(siblings.begin(), siblings.end(), S,
                                                     [](const std::string& s, const TTreeNode* n) {
                                                         return AnsiCompareText(s, n->FText) < 0;
                                                     }) -
                                    siblings.begin());
    }
    Position = std::clamp(Position, 0, static_cast<int>(siblings.size()));
    siblings.insert(siblings.begin() + Position, node);
    ++FCount;
    if (Parent)
        Parent->FHasChildren = true;
    if (FOwner)
        FOwner->NodesChanged();
    return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const std::string& S) {
    return AddObject(Sibling, S, nullptr);
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const std::string& S, TObject* Ptr) {
    TTreeNode* parent = Sibling ? Sibling->FParent : nullptr;
    return InternalAdd(parent, static_cast<int>(SiblingsOf(parent).size()), S, Ptr, true);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* Sibling, const std::string& S) {
    return AddObjectFirst(Sibling, S, nullptr);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const std::string& S, TObject* Ptr) {
    return InternalAdd(Sibling ? Sibling->FParent : nullptr, 0, S, Ptr, false);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const std::string& S) {
    return AddChildObject(Parent, S, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const std::string& S, TObject* Ptr) {
    return InternalAdd(Parent, static_cast<int>(SiblingsOf(Parent).size()), S, Ptr, true);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* Parent, const std::string& S) {
    return AddChildObjectFirst(Parent, S, nullptr);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const std::string& S, TObject* Ptr) {
    return InternalAdd(Parent, 0, S, Ptr, false);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* Sibling, const std::string& S) {
    return InsertObject(Sibling, S, nullptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const std::string& S, TObject* Ptr) {
    if (!Sibling)
        return InternalAdd(nullptr, static_cast<int>(FRoots.size()), S, Ptr, false);
    return InternalAdd(Sibling->FParent, Sibling->Index(), S, Ptr, false);
}

void TTreeNodes::Delete(TTreeNode* Node) {
    if (!Node || Node->FOwner != this || Node->FDeleting)
        return;
    Remove(Node);
}

void TTreeNodes::Remove(TTreeNode* Node) {
    TTreeNode* parent = Node->FParent;
    auto& siblings = SiblingsOf(parent);
    auto it = std::find(siblings.begin(), siblings.end(), Node);
    if (it == siblings.end())
        return;
    int index = static_cast<int>(it - siblings.begin());
    TCustomTreeView* view = FOwner;
    bool hadSelection =
        view && view->FSelected && (view->FSelected == Node || view->FSelected->HasAsParent(Node));
    // Announce and free the subtree, children before their parent, while each node is still whole.
    std::function<void(TTreeNode*)> destroy = [&](TTreeNode* n) {
        n->FDeleting = true;
        while (!n->FChildren.empty()) {
            TTreeNode* child = n->FChildren.back();
            destroy(child);
            n->FChildren.pop_back();
        }
        if (view)
            view->NodeDeleting(n);
        --FCount;
        delete n;
    };
    siblings.erase(siblings.begin() + index);
    destroy(Node);
    if (parent)
        parent->ChildrenChanged();
    if (view)
        view->NodeRemoved(parent, index, hadSelection);
}

void TTreeNodes::Clear() {
    if (FRoots.empty())
        return;
    if (FOwner)
        FOwner->FSelected = nullptr;
    BeginUpdate();
    while (!FRoots.empty())
        Remove(FRoots.back());
    EndUpdate();
}

void TTreeNodes::BeginUpdate() {
    ++FUpdateCount;
}

void TTreeNodes::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FOwner)
        FOwner->NodesChanged();
}

void TTreeNodes::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TTreeNodes*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this)
        return;
    BeginUpdate();
    Clear();
    for (TTreeNode* root : std::vector<TTreeNode*>(src->FRoots))
        InternalAdd(nullptr, static_cast<int>(FRoots.size()), root->FText, root->FData, false)->Assign(root);
    EndUpdate();
}

// ---- TCustomTreeView ----------------------------------------------------------------------------------

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TCustomControl(AOwner), FNodes(std::make_unique<TTreeNodes>(this)) {
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetParentColor(false);
    FColor = clWindow;
    FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csOpaque;
}

TCustomTreeView::~TCustomTreeView() {
    // Handlers are not called while the view goes: the form that holds them may be half gone.
    FDestroying = true;
    FSelected = nullptr;
    FEditNode = nullptr;
    FPendingEdit = nullptr;
    delete FEdit;
    FEdit = nullptr;
    FNodes.reset();
}

void TCustomTreeView::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateWnd() {
    TCustomControl::CreateWnd();
    UpdateScrollBars();
}

// ---- Properties ----

void TCustomTreeView::SetImages(TCustomImageList* Value) {
    if (FImages == Value)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
    NodesChanged();
}

void TCustomTreeView::SetStateImages(TCustomImageList* Value) {
    if (FStateImages == Value)
        return;
    if (FStateImages)
        FStateImages->RemoveFreeNotification(this);
    FStateImages = Value;
    if (FStateImages)
        FStateImages->FreeNotification(this);
    NodesChanged();
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == FEdit) {
            FEdit = nullptr;
            FEditNode = nullptr;
        }
        if (AComponent == FImages) {
            FImages = nullptr;
            NodesChanged();
        }
        if (AComponent == FStateImages) {
            FStateImages = nullptr;
            NodesChanged();
        }
    }
}

void TCustomTreeView::SetShowLines(bool Value) {
    if (FShowLines != Value) {
        FShowLines = Value;
        Invalidate();
    }
}

void TCustomTreeView::SetShowRoot(bool Value) {
    if (FShowRoot != Value) {
        FShowRoot = Value;
        NodesChanged();
    }
}

void TCustomTreeView::SetShowButtons(bool Value) {
    if (FShowButtons != Value) {
        FShowButtons = Value;
        Invalidate();
    }
}

void TCustomTreeView::SetHideSelection(bool Value) {
    if (FHideSelection != Value) {
        FHideSelection = Value;
        Invalidate();
    }
}

void TCustomTreeView::SetReadOnly(bool Value) {
    if (FReadOnly == Value)
        return;
    FReadOnly = Value;
    if (Value && IsEditing())
        EndEdit(true);
}

void TCustomTreeView::SetRowSelect(bool Value) {
    if (FRowSelect != Value) {
        FRowSelect = Value;
        Invalidate();
    }
}

void TCustomTreeView::SetIndent(int Value) {
    Value = std::max(0, Value);
    if (FIndent != Value) {
        FIndent = Value;
        NodesChanged();
    }
}

void TCustomTreeView::SetSortType(TSortType Value) {
    if (FSortType == Value)
        return;
    FSortType = Value;
    if (((Value == stData || Value == stBoth) && OnCompare) || Value == stText || Value == stBoth)
        AlphaSort(true);
}

void TCustomTreeView::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    if (HandleAllocated())
        RecreateWnd();
}

// ---- Rows and geometry ----

const std::vector<TTreeNode*>& TCustomTreeView::Rows() const {
    if (!FRowsValid) {
        FRows.clear();
        std::function<void(const std::vector<TTreeNode*>&)> add = [&](const std::vector<TTreeNode*>& nodes) {
            for (TTreeNode* n : nodes) {
                FRows.push_back(n);
                if (n->FExpanded)
                    add(n->FChildren);
            }
        };
        if (FNodes)
            add(FNodes->FRoots);
        FRowsValid = true;
    }
    return FRows;
}

int TCustomTreeView::RowOf(const TTreeNode* Node) const {
    if (!Node)
        return -1;
    const auto& rows = Rows();
    auto it = std::find(rows.begin(), rows.end(), Node);
    return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

int TCustomTreeView::RowHeight() const {
    int h = MeasuringCanvas(Font()).TextHeight("Wg") + 3;
    if (FImages)
        h = std::max(h, FImages->Height());
    if (FStateImages)
        h = std::max(h, FStateImages->Height());
    return std::max(1, h);
}

int TCustomTreeView::VisibleRowCount() const {
    return std::max(1, ClientHeight() / RowHeight());
}

TRect TCustomTreeView::RowRect(int Row) const {
    int h = RowHeight();
    return TRect(0, Row * h, ClientWidth(), (Row + 1) * h);
}

int TCustomTreeView::ContentLeft(const TTreeNode* Node) const {
    return (Node->Level() + (FShowRoot ? 1 : 0)) * FIndent - FScrollX;
}

bool TCustomTreeView::HasButtonColumn(const TTreeNode* Node) const {
    return FShowRoot || Node->FParent != nullptr;
}

int TCustomTreeView::ButtonCentre(const TTreeNode* Node) const {
    return ContentLeft(Node) - FIndent + FIndent / 2;
}

TRect TCustomTreeView::ButtonRect(const TTreeNode* Node, const TRect& Row) const {
    int cx = ButtonCentre(Node);
    int cy = (Row.Top + Row.Bottom) / 2;
    return TRect(cx - kButtonSize / 2, cy - kButtonSize / 2, cx - kButtonSize / 2 + kButtonSize,
                 cy - kButtonSize / 2 + kButtonSize);
}

TRect TCustomTreeView::StateIconRect(const TTreeNode* Node, const TRect& Row) const {
    int x = ContentLeft(Node);
    if (!FStateImages)
        return TRect(x, Row.Top, x, Row.Bottom);
    int top = Row.Top + (Row.Height() - FStateImages->Height()) / 2;
    return TRect(x, top, x + FStateImages->Width(), top + FStateImages->Height());
}

TRect TCustomTreeView::IconRect(const TTreeNode* Node, const TRect& Row) const {
    int x = StateIconRect(Node, Row).Right;
    if (!FImages)
        return TRect(x, Row.Top, x, Row.Bottom);
    int top = Row.Top + (Row.Height() - FImages->Height()) / 2;
    return TRect(x, top, x + FImages->Width(), top + FImages->Height());
}

int TCustomTreeView::TextWidthOf(const TTreeNode* Node) const {
    if (Node->FTextWidth < 0)
        Node->FTextWidth = MeasuringCanvas(Font()).TextWidth(Node->FText);
    return Node->FTextWidth;
}

TRect TCustomTreeView::LabelRect(const TTreeNode* Node, const TRect& Row) const {
    int x = IconRect(Node, Row).Right + (FImages ? 1 : 0);
    return TRect(x, Row.Top, x + TextWidthOf(Node) + 4, Row.Bottom);
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) const {
    if (X < 0 || X >= ClientWidth() || Y < 0 || Y >= ClientHeight())
        return nullptr;
    int row = FTopRow + Y / RowHeight();
    const auto& rows = Rows();
    return row < static_cast<int>(rows.size()) ? rows[row] : nullptr;
}

THitTests TCustomTreeView::GetHitTestInfoAt(int X, int Y) const {
    THitTests result = 0;
    if (X < 0)
        result |= htToLeft;
    else if (X >= ClientWidth())
        result |= htToRight;
    if (Y < 0)
        result |= htAbove;
    else if (Y >= ClientHeight())
        result |= htBelow;
    if (result)
        return result;
    TTreeNode* node = GetNodeAt(X, Y);
    if (!node)
        return htNowhere;
    TRect row = RowRect(RowOf(node) - FTopRow);
    int content = ContentLeft(node);
    if (X < content) {
        bool onButton = FShowButtons && HasButtonColumn(node) && node->FHasChildren && X >= content - FIndent;
        return onButton ? htOnButton : htOnIndent;
    }
    TRect state = StateIconRect(node, row), icon = IconRect(node, row), label = LabelRect(node, row);
    if (X < state.Right)
        return htOnItem | htOnStateIcon;
    if (X < icon.Right)
        return htOnItem | htOnIcon;
    if (X >= label.Left && X < label.Right)
        return htOnItem | htOnLabel;
    return htOnRight;
}

TTreeNode* TCustomTreeView::TopItem() const {
    const auto& rows = Rows();
    return FTopRow < static_cast<int>(rows.size()) ? rows[FTopRow] : nullptr;
}

void TCustomTreeView::SetTopItem(TTreeNode* Value) {
    int row = RowOf(Value);
    if (row >= 0)
        SetTopRow(row);
}

// ---- Changes ----

void TCustomTreeView::NodesChanged() {
    FRowsValid = false;
    if (FDestroying || (FNodes && FNodes->FUpdateCount > 0))
        return;
    UpdateScrollBars();
    if (IsEditing())
        PlaceEditor();
    Invalidate();
}

void TCustomTreeView::NodeChanged(TTreeNode* Node) {
    if (FDestroying || (FNodes && FNodes->FUpdateCount > 0))
        return;
    if (Node->IsVisible())
        UpdateScrollBars();
    Invalidate();
}

void TCustomTreeView::NodeDeleting(TTreeNode* Node) {
    if (Node == FPendingEdit)
        CancelPendingEdit();
    if (Node == FEditNode)
        EndEdit(true);
    if (Node == FSelected)
        FSelected = nullptr;
    if (!FDestroying)
        Delete(Node);
}

void TCustomTreeView::NodeRemoved(TTreeNode* Parent, int Index, bool HadSelection) {
    FRowsValid = false;
    if (HadSelection && !FDestroying) {
        // The selection moves to a neighbour of the deleted branch: the next sibling, else the previous
        // one, else the parent.
        const auto& siblings = FNodes->SiblingsOf(Parent);
        TTreeNode* next = Index < static_cast<int>(siblings.size()) ? siblings[Index]
                          : Index > 0                               ? siblings[Index - 1]
                                                                    : Parent;
        FSelected = next;
        if (next)
            Change(next);
    }
    NodesChanged();
}

bool TCustomTreeView::DoExpand(TTreeNode* Node, bool Value) {
    if (!Node || Node->FExpanded == Value)
        return false;
    if (Value) {
        if (!Node->FHasChildren && Node->FChildren.empty())
            return false;
        if (!CanExpand(Node))
            return false;
        if (Node->FChildren.empty()) {
            // Nothing came to show: the button goes.
            Node->FHasChildren = false;
            NodesChanged();
            return false;
        }
        Node->FExpanded = true;
        NodesChanged();
        Expand(Node);
        return true;
    }
    if (!CanCollapse(Node))
        return false;
    Node->FExpanded = false;
    if (FEditNode && FEditNode->HasAsParent(Node))
        EndEdit(false);
    if (FSelected && FSelected->HasAsParent(Node) && CanChange(Node)) {
        FSelected = Node;
        Change(Node);
    }
    int row = RowOf(Node);
    NodesChanged();
    if (row >= 0 && row < FTopRow)
        SetTopRow(row);
    Collapse(Node);
    return true;
}

void TCustomTreeView::SetSelected(TTreeNode* Value) {
    if (Value && Value->FOwner != FNodes.get())
        return;
    if (Value == FSelected) {
        if (Value)
            Value->MakeVisible();
        return;
    }
    if (!Value) {
        FSelected = nullptr;
        Invalidate();
        return;
    }
    if (!CanChange(Value))
        return;
    FSelected = Value;
    Value->MakeVisible();
    Invalidate();
    Change(Value);
}

void TCustomTreeView::SelectByUser(TTreeNode* Node) {
    if (!Node)
        return;
    if (Node == FSelected) {
        Node->MakeVisible();
        return;
    }
    if (!CanChange(Node))
        return;
    TTreeNode* old = FSelected;
    FSelected = Node;
    if (FAutoExpand) {
        if (old && old != Node && !Node->HasAsParent(old))
            DoExpand(old, false);
        DoExpand(Node, true);
    }
    Node->MakeVisible();
    Invalidate();
    Change(Node);
}

void TCustomTreeView::AlphaSort(bool Recurse) {
    if (!FNodes)
        return;
    SortSiblings(FNodes->FRoots, Recurse);
    NodesChanged();
}

void TCustomTreeView::SortSiblings(std::vector<TTreeNode*>& Siblings, bool Recurse) {
    std::stable_sort(Siblings.begin(), Siblings.end(),
                     [this](TTreeNode* a, TTreeNode* b) { return CompareNodes(a, b) < 0; });
    FRowsValid = false;
    if (Recurse)
        for (TTreeNode* n : Siblings)
            SortSiblings(n->FChildren, true);
}

void TCustomTreeView::FullExpand() {
    FNodes->BeginUpdate();
    for (TTreeNode* n = FNodes->GetFirstNode(); n; n = n->GetNextSibling())
        n->Expand(true);
    FNodes->EndUpdate();
}

void TCustomTreeView::FullCollapse() {
    FNodes->BeginUpdate();
    for (TTreeNode* n = FNodes->GetFirstNode(); n; n = n->GetNextSibling())
        n->Collapse(true);
    FNodes->EndUpdate();
}

// ---- Events ----

bool TCustomTreeView::CanChange(TTreeNode* Node) {
    bool allow = true;
    if (OnChanging)
        OnChanging(this, Node, allow);
    return allow;
}

void TCustomTreeView::Change(TTreeNode* Node) {
    if (OnChange)
        OnChange(this, Node);
}

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
    bool allow = true;
    if (OnExpanding)
        OnExpanding(this, Node, allow);
    return allow;
}

void TCustomTreeView::Expand(TTreeNode* Node) {
    if (OnExpanded)
        OnExpanded(this, Node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
    bool allow = true;
    if (OnCollapsing)
        OnCollapsing(this, Node, allow);
    return allow;
}

void TCustomTreeView::Collapse(TTreeNode* Node) {
    if (OnCollapsed)
        OnCollapsed(this, Node);
}

bool TCustomTreeView::CanEdit(TTreeNode* Node) {
    bool allow = true;
    if (OnEditing)
        OnEditing(this, Node, allow);
    return allow;
}

void TCustomTreeView::Edit(TTreeNode* Node, std::string& S) {
    if (OnEdited)
        OnEdited(this, Node, S);
}

void TCustomTreeView::Delete(TTreeNode* Node) {
    if (OnDeletion)
        OnDeletion(this, Node);
}

void TCustomTreeView::GetImageIndex(TTreeNode* Node) {
    if (OnGetImageIndex)
        OnGetImageIndex(this, Node);
}

void TCustomTreeView::GetSelectedIndex(TTreeNode* Node) {
    if (OnGetSelectedIndex)
        OnGetSelectedIndex(this, Node);
}

int TCustomTreeView::CompareNodes(TTreeNode* Node1, TTreeNode* Node2) {
    if (OnCompare) {
        int result = 0;
        OnCompare(this, Node1, Node2, 0, result);
        return result;
    }
    return AnsiCompareText(Node1->FText, Node2->FText);
}

// ---- Editing ----

bool TCustomTreeView::IsEditing() const {
    return FEditNode != nullptr;
}

TCustomEdit* TCustomTreeView::EditControl() const {
    return FEditNode ? FEdit : nullptr;
}

bool TCustomTreeView::StartEdit(TTreeNode* Node) {
    CancelPendingEdit();
    if (!Node || Node->FOwner != FNodes.get() || FReadOnly)
        return false;
    if (IsEditing())
        EndEdit(false);
    if (!CanEdit(Node) || Node->FDeleting)
        return false;
    Node->MakeVisible();
    if (!FEdit) {
        FEdit = new TTreeViewEdit(this);
        FEdit->SetParent(this);
    }
    FEditNode = Node;
    FEdit->Font()->Assign(Font());
    FEdit->SetTextProp(Node->FText);
    PlaceEditor();
    FEdit->SetVisible(true);
    if (FEdit->CanFocus())
        FEdit->SetFocus();
    FEdit->SelectAll();
    return true;
}

void TCustomTreeView::PlaceEditor() {
    if (!FEdit || !FEditNode)
        return;
    int row = RowOf(FEditNode);
    if (row < 0)
        return;
    TRect label = LabelRect(FEditNode, RowRect(row - FTopRow));
    int width = std::max(label.Width() + 16, 48);
    width = std::max(16, std::min(width, ClientWidth() - label.Left));
    FEdit->SetBounds(label.Left, label.Top, width, label.Height());
}

void TCustomTreeView::EndEdit(bool Cancel) {
    if (!FEditNode || !FEdit)
        return;
    TTreeNode* node = FEditNode;
    FEditNode = nullptr;
    std::string text = FEdit->Text();
    bool hadFocus = FEdit->Focused();
    if (hadFocus && CanFocus())
        SetFocus();
    FEdit->SetVisible(false);
    if (!Cancel && !node->FDeleting) {
        Edit(node, text);
        node->SetText(text);
    }
    Invalidate();
}

void TCustomTreeView::CancelPendingEdit() {
    FPendingEdit = nullptr;
    if (HandleAllocated())
        KillTimer(WindowHandle(), kEditTimer);
}

// ---- Scrolling ----

int TCustomTreeView::MaxTopRow() const {
    return std::max(0, static_cast<int>(Rows().size()) - VisibleRowCount());
}

int TCustomTreeView::ContentWidth() const {
    int width = 0;
    int h = RowHeight();
    for (TTreeNode* n : Rows())
        width = std::max(width, LabelRect(n, TRect(0, 0, 0, h)).Right + FScrollX);
    return width;
}

void TCustomTreeView::UpdateScrollBars() {
    if (FUpdatingScrollBars)
        return;
    FUpdatingScrollBars = true;
    // Each bar takes room from the other's direction: settle twice.
    for (int pass = 0; pass < 2; ++pass) {
        int rows = static_cast<int>(Rows().size());
        int maxTop = MaxTopRow();
        FTopRow = std::clamp(FTopRow, 0, maxTop);
        int width = ContentWidth();
        int maxX = std::max(0, width - ClientWidth());
        FScrollX = std::clamp(FScrollX, 0, maxX);
        if (!HandleAllocated())
            break;
        TScrollInfo v;
        v.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        v.nMax = std::max(0, rows - 1);
        v.nPage = static_cast<uint32_t>(maxTop > 0 ? VisibleRowCount() : rows + 1);
        v.nPos = FTopRow;
        SetScrollInfo(WindowHandle(), SB_VERT, v, true);
        TScrollInfo hz;
        hz.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        hz.nMax = std::max(0, width - 1);
        hz.nPage = static_cast<uint32_t>(maxX > 0 ? ClientWidth() : width + 1);
        hz.nPos = FScrollX;
        SetScrollInfo(WindowHandle(), SB_HORZ, hz, true);
    }
    FUpdatingScrollBars = false;
}

void TCustomTreeView::SetTopRow(int Value) {
    Value = std::clamp(Value, 0, MaxTopRow());
    if (Value == FTopRow)
        return;
    FTopRow = Value;
    if (HandleAllocated())
        SetScrollPos(WindowHandle(), SB_VERT, Value, true);
    if (IsEditing())
        PlaceEditor();
    Invalidate();
}

void TCustomTreeView::SetScrollX(int Value) {
    Value = std::clamp(Value, 0, std::max(0, ContentWidth() - ClientWidth()));
    if (Value == FScrollX)
        return;
    FScrollX = Value;
    if (HandleAllocated())
        SetScrollPos(WindowHandle(), SB_HORZ, Value, true);
    if (IsEditing())
        PlaceEditor();
    Invalidate();
}

void TCustomTreeView::MakeRowVisible(int Row) {
    if (Row < 0)
        return;
    if (Row < FTopRow)
        SetTopRow(Row);
    else if (Row >= FTopRow + VisibleRowCount())
        SetTopRow(Row - VisibleRowCount() + 1);
}

void TCustomTreeView::ScrollMessage(bool Vertical, int Code) {
    int pos = Vertical ? FTopRow : FScrollX;
    int line = Vertical ? 1 : std::max(1, FIndent);
    int page = Vertical ? std::max(1, VisibleRowCount()) : std::max(1, ClientWidth());
    const int last = Vertical ? MaxTopRow() : ContentWidth();
    if (!ScrollRequestPosition(WindowHandle(), Vertical ? SB_VERT : SB_HORZ, Code, line, page, 0, last, pos))
        return;
    if (Vertical)
        SetTopRow(pos);
    else
        SetScrollX(pos);
}

void TCustomTreeView::Resize() {
    UpdateScrollBars();
    if (IsEditing())
        PlaceEditor();
    TCustomControl::Resize();
}

bool TCustomTreeView::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos))
        return true;
    SetTopRow(FTopRow - WheelScrollLines(WheelDelta));
    return true;
}

// ---- Painting ----

void TCustomTreeView::PaintBackground(TCanvas& Canvas, const TRect& Rect) {
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(Color());
    Canvas.FillRect(Rect);
}

void TCustomTreeView::Paint() {
    TCanvas& c = *Canvas();
    PaintBackground(c, ClientRect());
    const auto& rows = Rows();
    int height = ClientHeight();
    for (int r = FTopRow; r < static_cast<int>(rows.size()); ++r) {
        TRect row = RowRect(r - FTopRow);
        if (row.Top >= height)
            break;
        DrawNode(c, rows[r], row);
    }
}

void TCustomTreeView::DrawNode(TCanvas& Canvas, TTreeNode* Node, const TRect& Row) {
    bool selected = Node == FSelected && (Focused() || !FHideSelection) && Node != FEditNode;
    bool focused = Node == FSelected && Focused();
    if (FRowSelect && selected) {
        Canvas.Brush()->SetStyle(bsSolid);
        Canvas.Brush()->SetColor(Focused() ? clHighlight : clBtnFace);
        Canvas.FillRect(Row);
    }
    if (FShowLines)
        DrawLines(Canvas, Node, Row);
    if (FShowButtons && HasButtonColumn(Node) && Node->FHasChildren)
        DrawButton(Canvas, ButtonRect(Node, Row), Node->FExpanded);
    if (FStateImages && Node->FStateIndex >= 0) {
        TRect s = StateIconRect(Node, Row);
        FStateImages->Draw(&Canvas, s.Left, s.Top, Node->FStateIndex, Enabled());
    }
    if (FImages) {
        int index;
        if (Node == FSelected) {
            GetSelectedIndex(Node);
            index = Node->FSelectedIndex;
        } else {
            GetImageIndex(Node);
            index = Node->FImageIndex;
        }
        TRect i = IconRect(Node, Row);
        FImages->Draw(&Canvas, i.Left, i.Top, index, Enabled());
    }
    DrawLabel(Canvas, Node, LabelRect(Node, Row), selected, focused);
}

void TCustomTreeView::DrawLines(TCanvas& Canvas, TTreeNode* Node, const TRect& Row) {
    TColor color = ColorToRGB(clGray);
    int mid = (Row.Top + Row.Bottom) / 2;
    if (HasButtonColumn(Node)) {
        int cx = ButtonCentre(Node);
        DottedHorizontal(Canvas, cx, ContentLeft(Node) - 1, mid, color);
        int top = (Node->FParent || Node->GetPrevSibling()) ? Row.Top : mid;
        int bottom = Node->GetNextSibling() ? Row.Bottom : mid + 1;
        DottedVertical(Canvas, cx, top, bottom, color);
    }
    for (TTreeNode* a = Node->FParent; a; a = a->FParent)
        if (HasButtonColumn(a) && a->GetNextSibling())
            DottedVertical(Canvas, ButtonCentre(a), Row.Top, Row.Bottom, color);
}

void TCustomTreeView::DrawButton(TCanvas& Canvas, const TRect& Box, bool Expanded) {
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(Color());
    Canvas.FillRect(Box);
    Canvas.Brush()->SetColor(clGray);
    Canvas.FrameRect(Box);
    Canvas.Pen()->SetColor(clWindowText);
    Canvas.Pen()->SetStyle(psSolid);
    Canvas.Pen()->SetWidth(1);
    int cx = (Box.Left + Box.Right) / 2, cy = (Box.Top + Box.Bottom) / 2;
    Canvas.MoveTo(Box.Left + 2, cy);
    Canvas.LineTo(Box.Right - 2, cy);
    if (!Expanded) {
        Canvas.MoveTo(cx, Box.Top + 2);
        Canvas.LineTo(cx, Box.Bottom - 2);
    }
}

void TCustomTreeView::DrawLabel(TCanvas& Canvas, TTreeNode* Node, const TRect& LabelRect, bool Selected,
                                bool Focused) {
    Canvas.Font()->Assign(Font());
    Canvas.Brush()->SetStyle(bsSolid);
    if (Selected) {
        bool active = this->Focused();
        Canvas.Brush()->SetColor(active ? clHighlight : clBtnFace);
        Canvas.Font()->SetColor(active ? clHighlightText : clBtnText);
        if (!FRowSelect)
            Canvas.FillRect(LabelRect);
    } else {
        Canvas.Brush()->SetStyle(bsClear);
    }
    if (!Enabled())
        Canvas.Font()->SetColor(clGrayText);
    TRect text(LabelRect.Left + 2, LabelRect.Top, LabelRect.Right, LabelRect.Bottom);
    Canvas.TextRect(text, Node->FText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP);
    Canvas.Brush()->SetStyle(bsSolid);
    if (Focused && Node != FEditNode) {
        Canvas.Brush()->SetColor(Color());
        Canvas.Font()->SetColor(clWindowText);
        Canvas.DrawFocusRect(FRowSelect ? TRect(0, LabelRect.Top, ClientWidth(), LabelRect.Bottom)
                                        : LabelRect);
    }
}

// ---- Input ----

void TCustomTreeView::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_VSCROLL:
    case WM_HSCROLL:
        ScrollMessage(Message.Msg == WM_VSCROLL, LOWORD(Message.WParam));
        Message.Result = 0;
        return;
    case WM_TIMER:
        if (Message.WParam == kEditTimer) {
            TTreeNode* node = FPendingEdit;
            CancelPendingEdit();
            if (node && node == FSelected && Focused())
                StartEdit(node);
            return;
        }
        break;
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(Message);
        for (TTreeNode* n = FNodes->GetFirstNode(); n; n = n->GetNext())
            n->FTextWidth = -1;
        NodesChanged();
        return;
    case CM_ENABLEDCHANGED:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    }
    TCustomControl::Dispatch(Message);
}

void TCustomTreeView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    CancelPendingEdit();
    bool hadFocus = Focused();
    if (CanFocus() && !Focused())
        SetFocus();
    if (Button == mbLeft) {
        THitTests hit = GetHitTestInfoAt(X, Y);
        TTreeNode* node = GetNodeAt(X, Y);
        if (node && (hit & htOnButton)) {
            DoExpand(node, !node->FExpanded);
        } else if (node && ((hit & htOnItem) || FRowSelect)) {
            if (Shift & ssDouble) {
                if (node->FHasChildren)
                    DoExpand(node, !node->FExpanded);
            } else {
                bool wasSelected = node == FSelected;
                SelectByUser(node);
                // A second, slower click on the selected label renames it (see MouseUp).
                if (wasSelected && hadFocus && (hit & htOnLabel) && !FReadOnly)
                    FPendingEdit = node;
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomTreeView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && FPendingEdit) {
        if (GetNodeAt(X, Y) == FPendingEdit && (GetHitTestInfoAt(X, Y) & htOnLabel) && HandleAllocated())
            SetTimer(WindowHandle(), kEditTimer, GetDoubleClickTime());
        else
            FPendingEdit = nullptr;
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomTreeView::DblClick() {
    CancelPendingEdit();
    TCustomControl::DblClick();
}

void TCustomTreeView::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    const auto& rows = Rows();
    if (rows.empty())
        return;
    int last = static_cast<int>(rows.size()) - 1;
    TTreeNode* cur = FSelected;
    int row = RowOf(cur);
    int page = std::max(1, VisibleRowCount() - 1);
    TTreeNode* target = nullptr;
    switch (Key) {
    case VK_UP:
        target = rows[row < 0 ? 0 : std::max(0, row - 1)];
        break;
    case VK_DOWN:
        target = rows[row < 0 ? 0 : std::min(last, row + 1)];
        break;
    case VK_HOME:
        target = rows.front();
        break;
    case VK_END:
        target = rows.back();
        break;
    case VK_PRIOR:
        target = rows[std::max(0, (row < 0 ? 0 : row) - page)];
        break;
    case VK_NEXT:
        target = rows[std::min(last, (row < 0 ? 0 : row) + page)];
        break;
    case VK_LEFT:
        if (cur && cur->FExpanded && !cur->FChildren.empty())
            DoExpand(cur, false);
        else if (cur && cur->FParent)
            target = cur->FParent;
        break;
    case VK_RIGHT:
        if (cur && cur->FHasChildren && !cur->FExpanded)
            DoExpand(cur, true);
        else if (cur && cur->FExpanded && !cur->FChildren.empty())
            target = cur->FChildren.front();
        break;
    case VK_ADD:
        if (cur)
            DoExpand(cur, true);
        break;
    case VK_SUBTRACT:
        if (cur)
            DoExpand(cur, false);
        break;
    case VK_MULTIPLY:
        if (cur) {
            FNodes->BeginUpdate();
            cur->Expand(true);
            FNodes->EndUpdate();
        }
        break;
    case VK_F2:
        if (cur)
            StartEdit(cur);
        break;
    default:
        return;
    }
    Key = 0;
    if (!cur && !target)
        target = rows.front();
    if (target)
        SelectByUser(target);
}

void TCustomTreeView::DoEnter() {
    Invalidate();
    TCustomControl::DoEnter();
}

void TCustomTreeView::DoExit() {
    CancelPendingEdit();
    Invalidate();
    TCustomControl::DoExit();
}

} // namespace plat
