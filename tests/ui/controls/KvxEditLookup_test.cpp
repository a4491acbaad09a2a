// The typed edit's lookup list, its history and the persistence of its text.
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "EditTestUtil.h"
#include "platform/rtl/IniFile.h"
#include "platform/ui/ListBox.h"

using namespace plat;
using namespace ui;
using namespace edittest;
namespace fs = std::filesystem;

namespace {

class EditLookupTest : public EditFixture {
protected:
    void SetUp() override {
        EditFixture::SetUp();
        TLookupSettings* l = Edit->Lookup();
        l->SetEnabled(true);
        for (const char* s : {"abd", "ABC", "xyz", "abe", "abf", "abg", "abh"})
            l->DisplayList()->Add(s);
    }
    std::vector<std::string> Listed() {
        std::vector<std::string> out;
        TListBox* box = Edit->LookupListBox();
        for (int i = 0; i < box->Count(); ++i)
            out.push_back(box->Items()->Get(i));
        return out;
    }
};

TEST_F(EditLookupTest, TheListOffersMatchesOnceEnoughIsTyped) {
    TypeAt(Edit, 0, 0, "a");
    EXPECT_FALSE(Edit->LookupShown());
    Driver.Type("b");
    ASSERT_TRUE(Edit->LookupShown());
    EXPECT_EQ(Listed(), (std::vector<std::string>{"ABC", "abd", "abe", "abf", "abg", "abh"}));
    EXPECT_EQ(Edit->LookupListBox()->ItemIndex(), 0);
    // More matches than rows: the window is DisplayCount rows high.
    EXPECT_EQ(Edit->LookupWindow()->Height(), 4 * 12 + 4);
    Edit->Lookup()->SetCaseSensitive(true);
    Driver.Type("d");
    EXPECT_EQ(Listed(), std::vector<std::string>{"abd"});
    EXPECT_EQ(Edit->LookupWindow()->Height(), 12 + 4);
    Driver.Type("x");
    EXPECT_FALSE(Edit->LookupShown());
}

TEST_F(EditLookupTest, KeysMoveTheHighlightAndReturnTakesTheEntry) {
    Edit->Lookup()->ValueList()->Add("value of abd");
    TypeAt(Edit, 0, 0, "ab");
    ASSERT_TRUE(Edit->LookupShown());
    Driver.PressKey(VK_DOWN);
    Driver.PressKey(VK_DOWN);
    EXPECT_EQ(Edit->LookupListBox()->ItemIndex(), 2);
    Driver.PressKey(VK_END);
    EXPECT_EQ(Edit->LookupListBox()->ItemIndex(), 5);
    Driver.PressKey(VK_HOME);
    Driver.PressKey(VK_DOWN); // "abd": its value stands for it
    Driver.PressKey(VK_RETURN);
    EXPECT_FALSE(Edit->LookupShown());
    EXPECT_EQ(Edit->Text(), "value of abd");
    EXPECT_TRUE(Edit->ModifiedState());
}

TEST_F(EditLookupTest, ReleasingTheMouseOverTheListTakesTheEntry) {
    TypeAt(Edit, 0, 0, "xy");
    ASSERT_TRUE(Edit->LookupShown());
    Driver.Click(Edit->LookupListBox(), TPoint(10, 6));
    EXPECT_EQ(Edit->Text(), "xyz");
    EXPECT_FALSE(Edit->LookupShown());
}

TEST_F(EditLookupTest, MultiCompletesTheLastItem) {
    Edit->Lookup()->SetMulti(true);
    Edit->SetWindowTextRaw("x;");
    TypeAt(Edit, 2, 0, "ab");
    ASSERT_TRUE(Edit->LookupShown());
    Driver.PressKey(VK_RETURN);
    EXPECT_EQ(Edit->Text(), "x;ABC;");
    EXPECT_EQ(Edit->SelStart(), 6);
}

TEST_F(EditLookupTest, HistoryKeepsEachValueLeftOnce) {
    Edit->Lookup()->SetHistory(true);
    TStringList* list = Edit->Lookup()->DisplayList();
    int before = list->Count();
    for (const char* value : {"new", "new", "", "   "}) {
        Edit->SetWindowTextRaw(value);
        Edit->SetFocus();
        Driver.Pump();
        Other->SetFocus();
        Driver.Pump();
    }
    EXPECT_EQ(list->Count(), before + 1);
    EXPECT_EQ(list->Get(before), "new");
}

TEST_F(EditLookupTest, PersistenceStoresTextAndHistoryAndReadsThemBack) {
    std::string ini =
        (fs::temp_directory_path() / ("lumetra-edit-" + std::to_string(::getpid()) + ".ini")).string();
    fs::remove(ini);
    Edit->SetName("Frames");
    Edit->Lookup()->SetHistory(true);
    Edit->Persistence()->SetEnable(true);
    Edit->Persistence()->SetKey(ini);
    Edit->SetPrefix("[");
    Edit->SetTextProp("kept");
    Edit->SavePersistence();
    EXPECT_EQ(Edit->Persistence()->Section(), "Frames");
    {
        TIniFile file(ini);
        EXPECT_EQ(file.ReadString("Frames", "Frames", ""), "[kept");
        EXPECT_EQ(file.ReadInteger("Frames", "LOOKUPCOUNT", 0), 7);
    }
    auto* back = New(20, 100);
    back->SetName("Frames2");
    back->Lookup()->SetEnabled(true);
    back->Lookup()->SetHistory(true);
    back->Persistence()->SetEnable(true);
    back->Persistence()->SetKey(ini);
    back->Persistence()->SetSection("Frames");
    back->SetTextProp("untouched");
    back->LoadPersistence(); // nothing stored under this name: "@" leaves the text
    EXPECT_EQ(back->Text(), "untouched");
    EXPECT_EQ(back->Lookup()->DisplayList()->Count(), 7);
    back->Persistence()->SetSection("");
    back->Lookup()->DisplayList()->Clear();
    back->LoadPersistence();
    EXPECT_EQ(back->Lookup()->DisplayList()->Count(), 0);
    Edit->Persistence()->SetEnable(false);
    back->Persistence()->SetEnable(false);
    // Freeing an enabled edit stores its text.
    back->Persistence()->SetEnable(true);
    back->Persistence()->SetSection("Frames");
    back->SetTextProp("last words");
    back->Free();
    EXPECT_EQ(TIniFile(ini).ReadString("Frames", "Frames2", ""), "last words");
    fs::remove(ini);
}

} // namespace
