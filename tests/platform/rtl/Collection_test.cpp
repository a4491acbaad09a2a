#include "platform/rtl/Collection.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/PropertyInfo.h"

using namespace plat;

namespace {

class TLine : public TCollectionItem {
    PLAT_CLASS(TLine)
public:
    explicit TLine(TCollection* c) : TCollectionItem(c), Width(1) {}
    void Assign(TPersistent* Source) override {
        if (auto* s = dynamic_cast<TLine*>(Source)) {
            Width = s->Width;
            return;
        }
        TCollectionItem::Assign(Source);
    }
    void SetWidth(int w) {
        Width = w;
        Changed(false);
    }
    int Width;
};
PLAT_CLASS_INFO(TLine, TCollectionItem)

class TOtherItem : public TCollectionItem {
    PLAT_CLASS(TOtherItem)
public:
    using TCollectionItem::TCollectionItem;
};
PLAT_CLASS_INFO(TOtherItem, TCollectionItem)

// Records what the collection reports, including what an added item looks like at that moment.
class TLines : public TOwnedCollection {
public:
    explicit TLines(TPersistent* owner) : TOwnedCollection(owner, TCollectionItemClass::Of<TLine>()) {}
    std::vector<std::string> Log;

protected:
    void Update(TCollectionItem* item) override {
        Log.push_back(item ? "update " + std::to_string(item->Index()) : "update all");
    }
    void Notify(TCollectionItem* item, TCollectionNotification action) override {
        static const char* const names[] = {"added", "extracting", "deleting"};
        auto* line = dynamic_cast<TLine*>(item);
        Log.push_back(std::string(names[action]) +
                      (line ? " width " + std::to_string(line->Width) : " partial"));
    }
};

class TTool : public TComponent {
    PLAT_CLASS(TTool)
public:
    explicit TTool(TComponent* owner) : TComponent(owner), FLines(this) {}
    TLines* Lines() { return &FLines; }

private:
    TLines FLines;
};
PLAT_CLASS_INFO(TTool, TComponent)
PLAT_PROPERTIES(TTool) {
    props.Collection("Lines", &TTool::Lines);
}

std::vector<int> Widths(TCollection& c) {
    std::vector<int> w;
    for (int i = 0; i < c.Count(); ++i)
        w.push_back(static_cast<TLine*>(c.Items(i))->Width);
    return w;
}

TEST(CollectionTest, AddInsertMoveDelete) {
    TTool tool(nullptr);
    TLines& lines = *tool.Lines();
    for (int w : {10, 20, 30})
        static_cast<TLine*>(lines.Add())->Width = w;
    static_cast<TLine*>(lines.Insert(1))->Width = 15;
    EXPECT_EQ(Widths(lines), (std::vector<int>{10, 15, 20, 30}));
    EXPECT_THROW(lines.Insert(5), EListError);

    TCollectionItem* last = lines.Items(3);
    last->SetIndex(0);
    EXPECT_EQ(Widths(lines), (std::vector<int>{30, 10, 15, 20}));
    EXPECT_EQ(last->Index(), 0);

    const int id = lines.Items(2)->ID();
    lines.Delete(2);
    EXPECT_EQ(Widths(lines), (std::vector<int>{30, 10, 20}));
    EXPECT_EQ(lines.FindItemID(id), nullptr);
    EXPECT_EQ(lines.FindItemID(last->ID()), last);
    try {
        lines.Items(3);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (3)");
    }
    // IDs are never reused, also after a deletion.
    EXPECT_EQ(lines.Add()->ID(), 4);

    // An item freed directly leaves its collection; it is reported while being destroyed.
    lines.Log.clear();
    delete lines.Items(0);
    EXPECT_EQ(lines.Count(), 3);
    EXPECT_EQ(lines.Log, (std::vector<std::string>{"extracting partial", "update all"}));
    lines.Clear();
    EXPECT_EQ(lines.Count(), 0);
}

TEST(CollectionTest, NotificationsSeeWholeItemsAndUpdatesAreCollected) {
    TTool tool(nullptr);
    TLines& lines = *tool.Lines();
    lines.Add();
    lines.Delete(0);
    EXPECT_EQ(lines.Log, (std::vector<std::string>{"added width 1", "update all", "deleting width 1",
                                                   "extracting width 1", "update all"}));
    lines.Log.clear();
    lines.BeginUpdate();
    lines.BeginUpdate();
    for (int i = 0; i < 3; ++i)
        lines.Add();
    static_cast<TLine*>(lines.Items(1))->SetWidth(5);
    lines.Items(2)->SetIndex(0);
    lines.EndUpdate();
    EXPECT_EQ(std::count(lines.Log.begin(), lines.Log.end(), "update all"), 0);
    lines.EndUpdate();
    EXPECT_EQ(std::count(lines.Log.begin(), lines.Log.end(), "update all"), 1);
    EXPECT_EQ(lines.Log.back(), "update all");

    lines.Log.clear();
    static_cast<TLine*>(lines.Items(2))->SetWidth(7);
    EXPECT_EQ(lines.Log, (std::vector<std::string>{"update 2"}));
    lines.Log.clear();
    lines.Clear();
    EXPECT_EQ(std::count(lines.Log.begin(), lines.Log.end(), "update all"), 1);
}

TEST(CollectionTest, AssignCopiesItems) {
    TTool a(nullptr), b(nullptr);
    for (int w : {3, 4})
        static_cast<TLine*>(a.Lines()->Add())->Width = w;
    b.Lines()->Add();
    b.Lines()->Log.clear();
    b.Lines()->Assign(a.Lines());
    EXPECT_EQ(Widths(*b.Lines()), (std::vector<int>{3, 4}));
    EXPECT_NE(b.Lines()->Items(0), a.Lines()->Items(0));
    EXPECT_EQ(std::count(b.Lines()->Log.begin(), b.Lines()->Log.end(), "update all"), 1);
    EXPECT_THROW(b.Lines()->Assign(&a), EConvertError);
}

TEST(CollectionTest, ItemsMoveBetweenCollectionsOfTheirClass) {
    TTool a(nullptr), b(nullptr);
    TCollectionItem* item = a.Lines()->Add();
    a.Lines()->Add();
    item->SetCollection(b.Lines());
    EXPECT_EQ(a.Lines()->Count(), 1);
    EXPECT_EQ(b.Lines()->Items(0), item);
    EXPECT_EQ(item->Collection(), b.Lines());

    TCollection others(TCollectionItemClass::Of<TOtherItem>());
    TCollectionItem* other = others.Add();
    EXPECT_THROW(other->SetCollection(b.Lines()), EListError);
    EXPECT_EQ(other->Collection(), &others);
}

TEST(CollectionTest, NamePathGoesThroughTheOwnersProperty) {
    TTool tool(nullptr);
    tool.SetName("Tool1");
    tool.Lines()->Add();
    tool.Lines()->Add();
    EXPECT_EQ(tool.Lines()->GetNamePath(), "Tool1.Lines");
    EXPECT_EQ(tool.Lines()->Items(1)->GetNamePath(), "Tool1.Lines[1]");
    EXPECT_EQ(tool.Lines()->Items(1)->DisplayName(), "TLine");
    EXPECT_EQ(tool.Lines()->Owner(), &tool);
}

} // namespace
