// The tree view: a hierarchy of text nodes (with images, state images and an object each) that the
// user expands, collapses, selects and renames in place, by mouse and keys. It scrolls with the window's
// own scroll bars.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/ui/Control.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"

namespace plat {

PLAT_EXCEPTION(ETreeViewError, Exception);

class TCustomTreeView;
class TTreeNodes;
class TTreeViewEdit;

enum TSortType { stNone, stData, stText, stBoth };

// Where a point lies relative to the tree and its nodes (a set of bits).
using THitTests = uint16_t;
inline constexpr THitTests htAbove = 1 << 0;
inline constexpr THitTests htBelow = 1 << 1;
inline constexpr THitTests htNowhere = 1 << 2;
inline constexpr THitTests htOnItem = 1 << 3; // on the icon, the label or the state icon
inline constexpr THitTests htOnButton = 1 << 4;
inline constexpr THitTests htOnIcon = 1 << 5;
inline constexpr THitTests htOnIndent = 1 << 6;
inline constexpr THitTests htOnLabel = 1 << 7;
inline constexpr THitTests htOnRight = 1 << 8;
inline constexpr THitTests htOnStateIcon = 1 << 9;
inline constexpr THitTests htToLeft = 1 << 10;
inline constexpr THitTests htToRight = 1 << 11;

class TTreeNode : public TPersistent {
    PLAT_CLASS(TTreeNode)
public:
    explicit TTreeNode(TTreeNodes* AOwner);
    // Frees the children; a node is freed by Delete (or by its parent or the node list).
    ~TTreeNode() override;

    TTreeNodes* Owner() const { return FOwner; }
    TCustomTreeView* TreeView() const;

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    TObject* Data() const { return FData; }
    void SetData(TObject* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int Value);
    int StateIndex() const { return FStateIndex; }
    void SetStateIndex(int Value);
    // Whether the node shows an expand button: set when a child is added, cleared when the last one
    // goes; set it by hand for children that OnExpanding adds only when asked.
    bool HasChildren() const { return FHasChildren; }
    void SetHasChildren(bool Value);

    bool Expanded() const { return FExpanded; }
    // Asks OnExpanding/OnCollapsing, which may refuse.
    void SetExpanded(bool Value);
    void Expand(bool Recurse);
    void Collapse(bool Recurse);

    TTreeNode* Parent() const { return FParent; }
    int Count() const { return static_cast<int>(FChildren.size()); }
    // Raises ETreeViewError "List index out of bounds (%d)" for a bad index.
    TTreeNode* Item(int Index) const;
    int IndexOf(const TTreeNode* Child) const;
    // Position among its siblings.
    int Index() const;
    // 0 for a root.
    int Level() const;
    // Position in the whole tree, counted in GetNext order from the first root.
    int AbsoluteIndex() const;
    bool HasAsParent(const TTreeNode* Value) const;

    // Order of the whole tree: a node, then its children, then its next sibling.
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    TTreeNode* getFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front(); }
    TTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    TTreeNode* GetNextChild(const TTreeNode* Value) const;
    TTreeNode* GetPrevChild(const TTreeNode* Value) const;
    // Neighbours among the nodes that are shown (all parents expanded).
    TTreeNode* GetNextVisible() const;
    TTreeNode* GetPrevVisible() const;
    // All parents are expanded.
    bool IsVisible() const;

    bool Selected() const;
    void SetSelected(bool Value);
    // The selected node of a tree that has the focus.
    bool Focused() const;
    void SetFocused(bool Value);
    bool Deleting() const { return FDeleting; }

    // Expands the parents and scrolls the node into view.
    void MakeVisible();
    void Delete();
    void DeleteChildren();
    // Starts editing the label in place; answers whether the editor opened.
    bool EditText();
    void EndEdit(bool Cancel);
    // The whole row, or only the label, in client coordinates; empty when not shown.
    TRect DisplayRect(bool TextOnly) const;
    // Sorts the children (with Recurse, all descendants) by the view's OnCompare, else by text.
    void AlphaSort(bool Recurse = false);
    // Copies text, data, images and the children.
    void Assign(TPersistent* Source) override;

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    TCustomTreeView* View() const;
    void ChildrenChanged();

    TTreeNodes* FOwner;
    TTreeNode* FParent = nullptr;
    std::vector<TTreeNode*> FChildren;
    std::string FText;
    TObject* FData = nullptr;
    int FImageIndex = 0;
    int FSelectedIndex = 0;
    int FStateIndex = -1;
    bool FHasChildren = false;
    bool FExpanded = false;
    bool FDeleting = false;
    mutable int FTextWidth = -1; // measured label width; -1 until measured
};

// The nodes of a tree view: adding, inserting and deleting them, and reaching them by flat index.
class TTreeNodes : public TPersistent {
    PLAT_CLASS(TTreeNodes)
public:
    explicit TTreeNodes(TCustomTreeView* AOwner);
    ~TTreeNodes() override;

    TCustomTreeView* Owner() const { return FOwner; }
    // Every node of the tree.
    int Count() const { return FCount; }
    // The node at a flat position (GetNext order); raises ETreeViewError for a bad index.
    TTreeNode* Item(int Index) const;
    TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front(); }

    // A new last sibling of Sibling (a root when Sibling is null).
    TTreeNode* Add(TTreeNode* Sibling, const std::string& S);
    TTreeNode* AddObject(TTreeNode* Sibling, const std::string& S, TObject* Ptr);
    // A new first sibling of Sibling.
    TTreeNode* AddFirst(TTreeNode* Sibling, const std::string& S);
    TTreeNode* AddObjectFirst(TTreeNode* Sibling, const std::string& S, TObject* Ptr);
    // A new last (first) child of Parent (a root when Parent is null).
    TTreeNode* AddChild(TTreeNode* Parent, const std::string& S);
    TTreeNode* AddChildObject(TTreeNode* Parent, const std::string& S, TObject* Ptr);
    TTreeNode* AddChildFirst(TTreeNode* Parent, const std::string& S);
    TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const std::string& S, TObject* Ptr);
    // A new node just before Sibling (the last root when Sibling is null).
    TTreeNode* Insert(TTreeNode* Sibling, const std::string& S);
    TTreeNode* InsertObject(TTreeNode* Sibling, const std::string& S, TObject* Ptr);

    void Delete(TTreeNode* Node);
    void Clear();
    // Changes between BeginUpdate and the last EndUpdate are laid out and painted once.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    void Assign(TPersistent* Source) override;

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    TTreeNode* InternalAdd(TTreeNode* Parent, int Position, const std::string& S, TObject* Ptr, bool Sort);
    std::vector<TTreeNode*>& SiblingsOf(TTreeNode* Parent) { return Parent ? Parent->FChildren : FRoots; }
    // Removes the node from its parent's list and frees it and its children, announcing each.
    void Remove(TTreeNode* Node);

    TCustomTreeView* FOwner;
    std::vector<TTreeNode*> FRoots;
    int FCount = 0;
    int FUpdateCount = 0;
};

using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVExpandingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVEditingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = std::function<void(TObject* Sender, TTreeNode* Node, std::string& S)>;
using TTVCompareEvent =
    std::function<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, int Data, int& Compare)>;

class TCustomTreeView : public TCustomControl {
    PLAT_CLASS(TCustomTreeView)
public:
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;

    TTreeNodes* Items() const { return FNodes.get(); }
    void SetItems(TTreeNodes* Value) { FNodes->Assign(Value); }
    TTreeNode* Selected() const { return FSelected; }
    // Selects the node (expanding its parents and scrolling it into view); OnChanging may refuse.
    void SetSelected(TTreeNode* Value);
    // The node in the first row shown.
    TTreeNode* TopItem() const;
    void SetTopItem(TTreeNode* Value);

    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* StateImages() const { return FStateImages; }
    void SetStateImages(TCustomImageList* Value);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool Value);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    // Without the focus the selection is not shown (else it is shown in the button face colour).
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // No label editing.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // The selection covers the whole row, and a click anywhere on a row selects it.
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    // Pixels per level.
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    // A node the user selects expands, and the one selected before collapses.
    bool AutoExpand() const { return FAutoExpand; }
    void SetAutoExpand(bool Value) { FAutoExpand = Value; }
    TSortType SortType() const { return FSortType; }
    // Anything but stNone sorts the tree now; stText and stBoth keep new nodes in text order.
    void SetSortType(TSortType Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

    // Sorts the roots (with Recurse, the whole tree) by OnCompare, else by text.
    void AlphaSort(bool Recurse = true);
    void FullExpand();
    void FullCollapse();
    // The node of the row at a client point (any part of the row), or null.
    TTreeNode* GetNodeAt(int X, int Y) const;
    THitTests GetHitTestInfoAt(int X, int Y) const;
    bool IsEditing() const;
    // The label editor while open (null otherwise).
    TCustomEdit* EditControl() const;
    // Rows that fit wholly in the client area.
    int VisibleRowCount() const;
    int RowHeight() const;

    TTVChangingEvent OnChanging;
    // A node became the selection.
    TTVChangedEvent OnChange;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVCollapsingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;
    TTVEditingEvent OnEditing;
    TTVEditedEvent OnEdited;
    TTVExpandedEvent OnDeletion;
    TTVExpandedEvent OnGetImageIndex;
    TTVExpandedEvent OnGetSelectedIndex;
    TTVCompareEvent OnCompare;

protected:
    friend class TTreeNode;
    friend class TTreeNodes;
    friend class TTreeViewEdit;

    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    void DblClick() override;

    // Events as virtual steps a derived tree can change.
    virtual bool CanChange(TTreeNode* Node);
    virtual void Change(TTreeNode* Node);
    virtual bool CanExpand(TTreeNode* Node);
    virtual void Expand(TTreeNode* Node);
    virtual bool CanCollapse(TTreeNode* Node);
    virtual void Collapse(TTreeNode* Node);
    virtual bool CanEdit(TTreeNode* Node);
    virtual void Edit(TTreeNode* Node, std::string& S);
    virtual void Delete(TTreeNode* Node);
    virtual void GetImageIndex(TTreeNode* Node);
    virtual void GetSelectedIndex(TTreeNode* Node);
    // <0, 0, >0 as Node1 sorts before, with or after Node2.
    virtual int CompareNodes(TTreeNode* Node1, TTreeNode* Node2);

    // Painting steps: the background, one row (lines, button, images, label), the connecting lines of
    // a row, the expand button and the label.
    virtual void PaintBackground(TCanvas& Canvas, const TRect& Rect);
    virtual void DrawNode(TCanvas& Canvas, TTreeNode* Node, const TRect& Row);
    virtual void DrawLines(TCanvas& Canvas, TTreeNode* Node, const TRect& Row);
    virtual void DrawButton(TCanvas& Canvas, const TRect& Box, bool Expanded);
    virtual void DrawLabel(TCanvas& Canvas, TTreeNode* Node, const TRect& LabelRect, bool Selected,
                           bool Focused);

    // Row geometry in client coordinates (the rectangle of a row shown at position Row from the top).
    TRect RowRect(int Row) const;
    // Left edge of a node's content (state image, image, label) and the centre of its button column.
    int ContentLeft(const TTreeNode* Node) const;
    int ButtonCentre(const TTreeNode* Node) const;
    bool HasButtonColumn(const TTreeNode* Node) const;
    TRect ButtonRect(const TTreeNode* Node, const TRect& Row) const;
    TRect StateIconRect(const TTreeNode* Node, const TRect& Row) const;
    TRect IconRect(const TTreeNode* Node, const TRect& Row) const;
    TRect LabelRect(const TTreeNode* Node, const TRect& Row) const;
    // Position of a node among the rows shown (-1 when hidden in a collapsed parent).
    int RowOf(const TTreeNode* Node) const;
    const std::vector<TTreeNode*>& Rows() const;

    // The user selected a node (click or key): events, auto-expansion, scrolling.
    void SelectByUser(TTreeNode* Node);
    bool StartEdit(TTreeNode* Node);
    void EndEdit(bool Cancel);

private:
    void NodesChanged();
    void NodeChanged(TTreeNode* Node);
    void NodeDeleting(TTreeNode* Node);
    void NodeRemoved(TTreeNode* Parent, int Index, bool HadSelection);
    bool DoExpand(TTreeNode* Node, bool Value);
    void SortSiblings(std::vector<TTreeNode*>& Siblings, bool Recurse);
    void UpdateScrollBars();
    void ScrollMessage(bool Vertical, int Code);
    void SetTopRow(int Value);
    void SetScrollX(int Value);
    int MaxTopRow() const;
    int ContentWidth() const;
    int TextWidthOf(const TTreeNode* Node) const;
    void MakeRowVisible(int Row);
    void CancelPendingEdit();
    void PlaceEditor();

    std::unique_ptr<TTreeNodes> FNodes;
    TTreeNode* FSelected = nullptr;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FStateImages = nullptr;
    bool FShowLines = true;
    bool FShowRoot = true;
    bool FShowButtons = true;
    bool FHideSelection = true;
    bool FReadOnly = false;
    bool FRowSelect = false;
    int FIndent = 19;
    bool FAutoExpand = false;
    TSortType FSortType = stNone;
    TBorderStyle FBorderStyle = bsSingle;

    mutable std::vector<TTreeNode*> FRows;
    mutable bool FRowsValid = false;
    int FTopRow = 0;
    int FScrollX = 0;
    bool FUpdatingScrollBars = false;
    bool FDestroying = false;

    TTreeViewEdit* FEdit = nullptr;
    TTreeNode* FEditNode = nullptr;
    TTreeNode* FPendingEdit = nullptr; // a click on the selected label waits for the double-click time
};

class TTreeView : public TCustomTreeView {
    PLAT_CLASS(TTreeView)
public:
    explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};

} // namespace plat
