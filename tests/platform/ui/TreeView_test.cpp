#include "platform/ui/TreeView.h"

#include <gtest/gtest.h>

#include "platform/gfx/Bitmap.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"
#include "platform/ui/Keys.h"
#include "platform/ui/WindowScroll.h"

using namespace plat;

namespace {

class TTestTree : public TTreeView {
public:
    explicit TTestTree(TComponent* AOwner) : TTreeView(AOwner) {}
    using TCustomTreeView::ButtonRect;
};

// A tree on a shown form:
//   Fruit
//     Apple
//     Pear
//   Vegetables
//     Leek
//       Young
//   Nuts
class TreeViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 320, 300);
        Tree = new TTestTree(Form);
        Tree->SetParent(Form);
        Tree->SetBounds(10, 10, 200, 240);
        Fruit = Tree->Items()->Add(nullptr, "Fruit");
        Apple = Tree->Items()->AddChild(Fruit, "Apple");
        Pear = Tree->Items()->AddChild(Fruit, "Pear");
        Veg = Tree->Items()->Add(Fruit, "Vegetables");
        Leek = Tree->Items()->AddChild(Veg, "Leek");
        Young = Tree->Items()->AddChild(Leek, "Young");
        Nuts = Tree->Items()->Add(nullptr, "Nuts");
        Tree->OnChange = [this](TObject*, TTreeNode* n) { Changes.push_back(n); };
        Form->Show();
        Tree->SetFocus();
        Driver.Pump();
    }
    TPoint LabelPoint(TTreeNode* n) { return n->DisplayRect(true).CenterPoint(); }
    TPoint ButtonPoint(TTreeNode* n) { return Tree->ButtonRect(n, n->DisplayRect(false)).CenterPoint(); }
    std::vector<std::string> ShownRows() {
        std::vector<std::string> out;
        for (TTreeNode* n = Tree->Items()->GetFirstNode(); n; n = n->GetNextVisible())
            out.push_back(n->Text());
        return out;
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TTestTree* Tree = nullptr;
    TTreeNode *Fruit, *Apple, *Pear, *Veg, *Leek, *Young, *Nuts;
    std::vector<TTreeNode*> Changes;
};

} // namespace

TEST_F(TreeViewTest, NodesKeepTheirOrderLevelsAndFlatIndexes) {
    TTreeNodes* items = Tree->Items();
    EXPECT_EQ(items->Count(), 7);
    std::vector<std::string> order;
    for (TTreeNode* n = items->GetFirstNode(); n; n = n->GetNext())
        order.push_back(n->Text());
    EXPECT_EQ(order,
              (std::vector<std::string>{"Fruit", "Apple", "Pear", "Vegetables", "Leek", "Young", "Nuts"}));
    EXPECT_EQ(Young->GetPrev(), Leek);
    EXPECT_EQ(Nuts->GetPrev(), Young) << "the previous node is the deepest last child before it";
    EXPECT_EQ(Young->GetNext(), Nuts);
    EXPECT_EQ(items->Item(5), Young);
    EXPECT_EQ(Young->AbsoluteIndex(), 5);
    EXPECT_EQ(Young->Level(), 2);
    EXPECT_EQ(Pear->Index(), 1);
    EXPECT_EQ(Fruit->Count(), 2);
    EXPECT_EQ(Fruit->Item(1), Pear);
    EXPECT_TRUE(Fruit->HasChildren());
    EXPECT_FALSE(Apple->HasChildren());
    EXPECT_TRUE(Young->HasAsParent(Veg));
    EXPECT_EQ(Veg->GetPrevSibling(), Fruit);
    EXPECT_EQ(Veg->GetNextSibling(), Nuts);
    EXPECT_THROW(items->Item(7), ETreeViewError);
    EXPECT_THROW(Fruit->Item(2), ETreeViewError);

    // Placing nodes: first, before, first child.
    TTreeNode* first = items->AddFirst(Veg, "Bread");
    TTreeNode* before = items->Insert(Pear, "Banana");
    TTreeNode* firstChild = items->AddChildFirst(Nuts, "Almond");
    EXPECT_EQ(items->GetFirstNode(), first);
    EXPECT_EQ(Fruit->Item(1), before);
    EXPECT_EQ(Nuts->getFirstChild(), firstChild);
    EXPECT_EQ(items->Count(), 10);

    // Deleting announces the children before their parent and keeps the count right.
    std::vector<std::string> deleted;
    Tree->OnDeletion = [&](TObject*, TTreeNode* n) { deleted.push_back(n->Text()); };
    Veg->Delete();
    EXPECT_EQ(deleted, (std::vector<std::string>{"Young", "Leek", "Vegetables"}));
    EXPECT_EQ(items->Count(), 7);
    Nuts->DeleteChildren();
    EXPECT_FALSE(Nuts->HasChildren()) << "the button goes with the last child";
    items->Clear();
    EXPECT_EQ(items->Count(), 0);
    EXPECT_EQ(Tree->Selected(), nullptr);
}

TEST_F(TreeViewTest, ButtonsAndKeysExpandAndCollapse) {
    std::vector<std::string> events;
    Tree->OnExpanding = [&](TObject*, TTreeNode* n, bool& allow) {
        events.push_back("expanding " + n->Text());
        allow = n != Nuts;
    };
    Tree->OnExpanded = [&](TObject*, TTreeNode* n) { events.push_back("expanded " + n->Text()); };
    Tree->OnCollapsed = [&](TObject*, TTreeNode* n) { events.push_back("collapsed " + n->Text()); };
    EXPECT_EQ(ShownRows(), (std::vector<std::string>{"Fruit", "Vegetables", "Nuts"}));

    Driver.Click(Tree, ButtonPoint(Fruit));
    EXPECT_TRUE(Fruit->Expanded());
    EXPECT_EQ(ShownRows(), (std::vector<std::string>{"Fruit", "Apple", "Pear", "Vegetables", "Nuts"}));
    EXPECT_TRUE(Changes.empty()) << "the button does not select";
    Driver.Click(Tree, ButtonPoint(Fruit));
    EXPECT_FALSE(Fruit->Expanded());
    EXPECT_EQ(events, (std::vector<std::string>{"expanding Fruit", "expanded Fruit", "collapsed Fruit"}));

    // Keys: Right expands, then goes to the first child; Left goes to the parent, then collapses.
    Driver.Click(Tree, LabelPoint(Veg));
    Driver.PressKey(VK_RIGHT);
    EXPECT_TRUE(Veg->Expanded());
    Driver.PressKey(VK_RIGHT);
    EXPECT_EQ(Tree->Selected(), Leek);
    Driver.PressKey(VK_LEFT);
    EXPECT_EQ(Tree->Selected(), Veg);
    Driver.PressKey(VK_LEFT);
    EXPECT_FALSE(Veg->Expanded());
    Driver.PressKey(VK_MULTIPLY);
    EXPECT_TRUE(Veg->Expanded());
    EXPECT_TRUE(Leek->Expanded()) << "* expands the whole branch";
    Driver.PressKey(VK_SUBTRACT);
    EXPECT_FALSE(Veg->Expanded());
    Driver.PressKey(VK_ADD);
    EXPECT_TRUE(Veg->Expanded());

    // Collapsing the parent of the selection selects the parent.
    Young->SetSelected(true);
    EXPECT_TRUE(Leek->Expanded());
    Changes.clear();
    Veg->Collapse(false);
    EXPECT_EQ(Tree->Selected(), Veg);
    EXPECT_EQ(Changes, std::vector<TTreeNode*>{Veg});

    // A refused expansion leaves the node as it was.
    Tree->Items()->AddChild(Nuts, "Walnut");
    Nuts->Expand(false);
    EXPECT_FALSE(Nuts->Expanded());
}

TEST_F(TreeViewTest, ChildrenCanBeAddedWhenANodeIsFirstExpanded) {
    TTreeNode* lazy = Tree->Items()->Add(nullptr, "Lazy");
    TTreeNode* empty = Tree->Items()->Add(nullptr, "Empty");
    lazy->SetHasChildren(true);
    empty->SetHasChildren(true);
    Tree->OnExpanding = [&](TObject*, TTreeNode* n, bool&) {
        if (n == lazy && n->Count() == 0)
            Tree->Items()->AddChild(n, "Loaded");
    };
    Driver.Pump();
    Driver.Click(Tree, ButtonPoint(lazy));
    ASSERT_EQ(lazy->Count(), 1);
    EXPECT_TRUE(lazy->Expanded());
    Driver.Click(Tree, ButtonPoint(empty));
    EXPECT_FALSE(empty->Expanded());
    EXPECT_FALSE(empty->HasChildren()) << "a node that brought no children loses its button";
}

TEST_F(TreeViewTest, SelectionFollowsClicksAndKeysAndCanBeRefused) {
    Fruit->Expand(false);
    Driver.Click(Tree, LabelPoint(Apple));
    EXPECT_EQ(Tree->Selected(), Apple);
    EXPECT_TRUE(Apple->Selected());
    EXPECT_TRUE(Apple->Focused());
    Driver.PressKey(VK_DOWN);
    EXPECT_EQ(Tree->Selected(), Pear);
    Driver.PressKey(VK_DOWN);
    EXPECT_EQ(Tree->Selected(), Veg) << "moves over the rows that are shown";
    Driver.PressKey(VK_END);
    EXPECT_EQ(Tree->Selected(), Nuts);
    Driver.PressKey(VK_HOME);
    EXPECT_EQ(Tree->Selected(), Fruit);
    Driver.PressKey(VK_NEXT);
    EXPECT_EQ(Tree->Selected(), Nuts);
    EXPECT_EQ(Changes, (std::vector<TTreeNode*>{Apple, Pear, Veg, Nuts, Fruit, Nuts}));

    // A click right of the label does not select (without RowSelect).
    TRect row = Pear->DisplayRect(false);
    Driver.Click(Tree, TPoint(row.Right - 5, row.CenterPoint().Y));
    EXPECT_EQ(Tree->Selected(), Nuts);
    Tree->SetRowSelect(true);
    Driver.Advance(GetDoubleClickTime() + 10);
    Driver.Click(Tree, TPoint(row.Right - 5, row.CenterPoint().Y));
    EXPECT_EQ(Tree->Selected(), Pear);

    Tree->OnChanging = [&](TObject*, TTreeNode* n, bool& allow) { allow = n != Apple; };
    Driver.PressKey(VK_UP);
    EXPECT_EQ(Tree->Selected(), Pear) << "OnChanging refused";

    // Selecting from code shows the node: its parents expand and the change is announced.
    Changes.clear();
    Young->SetSelected(true);
    EXPECT_TRUE(Veg->Expanded());
    EXPECT_TRUE(Leek->Expanded());
    EXPECT_EQ(Changes, std::vector<TTreeNode*>{Young});
    EXPECT_GE(Young->DisplayRect(false).Top, 0);
}

TEST_F(TreeViewTest, DeletingTheSelectionMovesItToANeighbour) {
    Fruit->Expand(false);
    Apple->SetSelected(true);
    Changes.clear();
    Apple->Delete();
    EXPECT_EQ(Tree->Selected(), Pear) << "the next sibling";
    Pear->Delete();
    EXPECT_EQ(Tree->Selected(), Fruit) << "no sibling left: the parent";
    Nuts->SetSelected(true);
    Nuts->Delete();
    EXPECT_EQ(Tree->Selected(), Veg) << "the last one: the previous sibling";
    EXPECT_EQ(Changes, (std::vector<TTreeNode*>{Pear, Fruit, Nuts, Veg}));
}

TEST_F(TreeViewTest, LabelsAreEditedInPlaceAndCommittedOrCancelled) {
    std::vector<std::string> edited;
    Tree->OnEdited = [&](TObject*, TTreeNode* n, std::string& s) {
        edited.push_back(n->Text() + "->" + s);
        if (s == "upper")
            s = "UPPER";
    };
    Driver.Click(Tree, LabelPoint(Nuts));
    Driver.PressKey(VK_F2);
    ASSERT_TRUE(Tree->IsEditing());
    ASSERT_NE(Tree->EditControl(), nullptr);
    EXPECT_EQ(Tree->EditControl()->Text(), "Nuts");
    EXPECT_EQ(Tree->EditControl()->SelLength(), 4) << "the whole label is selected";
    Driver.Type("Seeds");
    Driver.PressKey(VK_RETURN);
    EXPECT_FALSE(Tree->IsEditing());
    EXPECT_EQ(Nuts->Text(), "Seeds");
    EXPECT_TRUE(Tree->Focused()) << "the focus comes back to the tree";

    Driver.PressKey(VK_F2);
    Driver.Type("gone");
    Driver.PressKey(VK_ESCAPE);
    EXPECT_FALSE(Tree->IsEditing());
    EXPECT_EQ(Nuts->Text(), "Seeds");
    EXPECT_TRUE(Form->Visible()) << "Escape goes to the editor, not to the form";

    // OnEdited may change the text; editing from code works the same way.
    ASSERT_TRUE(Nuts->EditText());
    Driver.Type("upper");
    Driver.PressKey(VK_RETURN);
    EXPECT_EQ(Nuts->Text(), "UPPER");
    EXPECT_EQ(edited, (std::vector<std::string>{"Nuts->Seeds", "Seeds->upper"}));

    // Refused by OnEditing, and not at all when read-only.
    Tree->OnEditing = [](TObject*, TTreeNode*, bool& allow) { allow = false; };
    Driver.PressKey(VK_F2);
    EXPECT_FALSE(Tree->IsEditing());
    Tree->OnEditing = nullptr;
    Tree->SetReadOnly(true);
    EXPECT_FALSE(Nuts->EditText());
}

TEST_F(TreeViewTest, ASlowSecondClickOnTheSelectedLabelStartsEditing) {
    uint32_t wait = GetDoubleClickTime() + 10;
    Driver.Click(Tree, LabelPoint(Veg));
    Driver.Advance(wait);
    EXPECT_FALSE(Tree->IsEditing()) << "the click that selects does not edit";
    Driver.Click(Tree, LabelPoint(Veg));
    EXPECT_FALSE(Tree->IsEditing()) << "editing waits for the double-click time";
    Driver.Advance(wait);
    ASSERT_TRUE(Tree->IsEditing());
    // Focus that moves elsewhere commits.
    Driver.Type("Greens");
    auto* other = new TTreeView(Form);
    other->SetParent(Form);
    other->SetBounds(220, 10, 80, 80);
    other->SetFocus();
    Driver.Pump();
    EXPECT_FALSE(Tree->IsEditing());
    EXPECT_EQ(Veg->Text(), "Greens");

    // A double click toggles the node and edits nothing.
    Tree->SetFocus();
    Driver.DoubleClick(Tree, LabelPoint(Veg));
    Driver.Advance(wait);
    EXPECT_TRUE(Veg->Expanded());
    EXPECT_FALSE(Tree->IsEditing());
}

TEST_F(TreeViewTest, HitTestsNameThePartsOfARow) {
    TRect row = Fruit->DisplayRect(false);
    TRect label = Fruit->DisplayRect(true);
    int y = row.CenterPoint().Y;
    EXPECT_EQ(Tree->GetHitTestInfoAt(ButtonPoint(Fruit).X, y), htOnButton);
    EXPECT_EQ(Tree->GetHitTestInfoAt(label.Left + 2, y), htOnItem | htOnLabel);
    EXPECT_EQ(Tree->GetHitTestInfoAt(label.Right + 5, y), htOnRight);
    EXPECT_EQ(Tree->GetHitTestInfoAt(5, Tree->ClientHeight() - 2), htNowhere);
    EXPECT_EQ(Tree->GetHitTestInfoAt(-1, y), htToLeft);
    EXPECT_EQ(Tree->GetHitTestInfoAt(5, Tree->ClientHeight() + 1), htBelow);
    EXPECT_EQ(Tree->GetNodeAt(label.Right + 5, y), Fruit) << "any part of the row";
    EXPECT_EQ(Tree->GetNodeAt(5, Tree->ClientHeight() - 2), nullptr);

    // With images the icon sits between the indent and the label.
    TImageList images(nullptr);
    images.SetWidth(16);
    images.SetHeight(16);
    Tree->SetImages(&images);
    row = Fruit->DisplayRect(false);
    label = Fruit->DisplayRect(true);
    EXPECT_EQ(Tree->GetHitTestInfoAt(label.Left - 8, row.CenterPoint().Y), htOnItem | htOnIcon);
    Tree->SetImages(nullptr);
}

TEST_F(TreeViewTest, ScrollsByKeysWheelAndScrollBar) {
    Tree->Items()->BeginUpdate();
    for (int i = 0; i < 40; ++i)
        Tree->Items()->AddChild(Nuts, "Nut " + std::to_string(i));
    Tree->Items()->EndUpdate();
    Nuts->Expand(false);
    Driver.Pump();
    TScrollInfo info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(Tree->Handle(), SB_VERT, info));
    EXPECT_TRUE(GetWindowLongPtr(Tree->Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(info.nMax, 42) << "three roots and forty children shown";
    EXPECT_EQ(static_cast<int>(info.nPage), Tree->VisibleRowCount());

    Driver.Click(Tree, LabelPoint(Fruit));
    Driver.PressKey(VK_END);
    TTreeNode* last = Nuts->GetLastChild();
    EXPECT_EQ(Tree->Selected(), last);
    EXPECT_LE(last->DisplayRect(false).Bottom, Tree->ClientHeight()) << "the selection is scrolled into view";
    EXPECT_EQ(GetScrollPos(Tree->Handle(), SB_VERT), 43 - Tree->VisibleRowCount());

    TTreeNode* top = Tree->TopItem();
    Driver.Wheel(Tree, TPoint(20, 20), 120);
    EXPECT_EQ(Tree->TopItem()->AbsoluteIndex(), top->AbsoluteIndex() - 3);
    Driver.Wheel(Tree, TPoint(20, 20), 0);
    EXPECT_EQ(Tree->TopItem()->AbsoluteIndex(), top->AbsoluteIndex() - 3) << "no turn, no scroll";
    // The up arrow of the window's bar, right of the client area.
    TPoint origin = Tree->ClientOrigin();
    Driver.Click(TPoint(origin.X + Tree->ClientWidth() + 8, origin.Y + 3));
    EXPECT_EQ(Tree->TopItem()->AbsoluteIndex(), top->AbsoluteIndex() - 4);
    EXPECT_EQ(Tree->Selected(), last) << "scrolling does not move the selection";
    Tree->SetTopItem(Fruit);
    EXPECT_EQ(GetScrollPos(Tree->Handle(), SB_VERT), 0);

    // A long label brings the horizontal bar.
    Tree->Items()->Add(nullptr, std::string(80, 'W'));
    EXPECT_TRUE(GetWindowLongPtr(Tree->Handle(), GWL_STYLE) & WS_HSCROLL);
}

TEST_F(TreeViewTest, SortedTreesKeepTextOrder) {
    Tree->SetSortType(stText);
    std::vector<std::string> roots;
    for (TTreeNode* n = Tree->Items()->GetFirstNode(); n; n = n->GetNextSibling())
        roots.push_back(n->Text());
    EXPECT_EQ(roots, (std::vector<std::string>{"Fruit", "Nuts", "Vegetables"}));
    Tree->Items()->AddChild(Fruit, "apricot");
    EXPECT_EQ(Fruit->Item(1)->Text(), "apricot") << "added in place, ignoring case";
    Apple->SetText("Zucchini");
    EXPECT_EQ(Fruit->GetLastChild(), Apple) << "renaming sorts again";

    // OnCompare decides for AlphaSort.
    Tree->SetSortType(stNone);
    Tree->OnCompare = [](TObject*, TTreeNode* a, TTreeNode* b, int, int& result) {
        result = static_cast<int>(b->Text().size()) - static_cast<int>(a->Text().size());
    };
    Tree->AlphaSort(false);
    EXPECT_EQ(Tree->Items()->GetFirstNode()->Text(), "Vegetables") << "longest first";
}

TEST_F(TreeViewTest, SelectionIsPaintedWhileFocusedOrWhenNotHidden) {
    Driver.Click(Tree, LabelPoint(Veg));
    TRect label = Veg->DisplayRect(true);
    EXPECT_EQ(Driver.Pixel(Tree, label.Right - 2, label.Top + 2), ColorToRGB(clHighlight));
    auto* other = new TTreeView(Form);
    other->SetParent(Form);
    other->SetBounds(220, 10, 80, 80);
    other->SetFocus();
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(Tree, label.Right - 2, label.Top + 2), ColorToRGB(clWindow))
        << "hidden without the focus";
    Tree->SetHideSelection(false);
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(Tree, label.Right - 2, label.Top + 2), ColorToRGB(clBtnFace));
    // The expand button is drawn framed in grey.
    TRect box = Tree->ButtonRect(Fruit, Fruit->DisplayRect(false));
    EXPECT_EQ(Driver.Pixel(Tree, box.Left, box.Top + 3), ColorToRGB(clGray));
}

TEST_F(TreeViewTest, ImagesComeFromTheNodesOrTheirHandlers) {
    TImageList images(nullptr);
    for (TColor color : {clRed, clBlue, clLime}) {
        TBitmap bmp;
        bmp.SetSize(16, 16);
        bmp.Canvas()->Brush()->SetColor(color);
        bmp.Canvas()->FillRect(TRect(0, 0, 16, 16));
        images.Add(&bmp, nullptr);
    }
    Tree->SetImages(&images);
    Fruit->SetSelectedIndex(2);
    Tree->OnGetImageIndex = [](TObject*, TTreeNode* n) { n->SetImageIndex(n->Text() == "Nuts" ? 1 : 0); };
    Driver.Click(Tree, LabelPoint(Fruit));
    auto iconColour = [&](TTreeNode* n) {
        TRect label = n->DisplayRect(true);
        return Driver.Pixel(Tree, label.Left - 8, (label.Top + label.Bottom) / 2);
    };
    EXPECT_EQ(iconColour(Fruit), clLime) << "the selected image of the selected node";
    EXPECT_EQ(iconColour(Veg), clRed);
    EXPECT_EQ(iconColour(Nuts), clBlue) << "OnGetImageIndex chose it";
    EXPECT_GE(Tree->RowHeight(), 16);
    Tree->SetImages(nullptr);
}
