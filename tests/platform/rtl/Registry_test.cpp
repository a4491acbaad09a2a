#include "platform/rtl/Registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "platform/rtl/StringList.h"

using namespace plat;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

const char* const kEditorKey = "SOFTWARE\\Corvane Software\\Plotwise Pro\\Editor";

// Points the config folder at a fresh temporary folder for each test.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lumetra-reg-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        FDir = tmpl;
        if (const char* old = std::getenv("XDG_CONFIG_HOME"))
            FOldXdg = old;
        setenv("XDG_CONFIG_HOME", FDir.c_str(), 1);
    }
    void TearDown() override {
        FOldXdg ? setenv("XDG_CONFIG_HOME", FOldXdg->c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
        fs::remove_all(FDir);
    }
    std::string File() const { return FDir + "/lumetra/registry.ini"; }
    std::string Get() const {
        std::ifstream in(File(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static std::string Lines(const TStrings& list) {
        std::string s;
        for (int i = 0; i < list.Count(); ++i)
            s += (i ? "|" : "") + list[i];
        return s;
    }

    std::string FDir;
    std::optional<std::string> FOldXdg;
};

TEST_F(RegistryTest, ValuesRoundTripThroughOneSectionPerKey) {
    {
        TRegistry reg;
        EXPECT_EQ(reg.FileName(), File());
        EXPECT_FALSE(reg.OpenKey(kEditorKey, false));
        ASSERT_TRUE(reg.OpenKey(kEditorKey, true));
        EXPECT_EQ(reg.CurrentPath(), kEditorKey);
        reg.WriteBool("SmoothGallery", true);
        reg.WriteInteger("Height", -420);
        reg.WriteString("Title", " Plot = 1 ");
    }
    EXPECT_EQ(Get(), "[HKEY_CURRENT_USER\\SOFTWARE\\Corvane Software\\Plotwise Pro\\Editor]\r\n"
                     "SmoothGallery=1\r\nHeight=-420\r\nTitle=\" Plot = 1 \"\r\n");

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\software\\CORVANE SOFTWARE\\Plotwise Pro\\editor"));
    EXPECT_TRUE(reg.ReadBool("smoothgallery"));
    EXPECT_EQ(reg.ReadInteger("Height"), -420);
    EXPECT_EQ(reg.ReadString("Title"), " Plot = 1 ");
    EXPECT_EQ(reg.ReadString("Height"), "-420");
    TStringList names;
    reg.GetValueNames(names);
    EXPECT_EQ(Lines(names), "SmoothGallery|Height|Title");
}

TEST_F(RegistryTest, MissingOrMistypedValuesRaise) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kEditorKey, true));
    reg.WriteString("Text", "abc");
    EXPECT_FALSE(reg.ValueExists("Missing"));
    try {
        reg.ReadInteger("Missing");
        ADD_FAILURE();
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), "Invalid data type for 'Missing'");
        EXPECT_STREQ(e.ClassName(), "ERegistryException");
    }
    EXPECT_THROW(reg.ReadString("Missing"), ERegistryException);
    EXPECT_THROW(reg.ReadBool("Missing"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("Text"), ERegistryException);
    EXPECT_THROW(reg.ReadBool("Text"), ERegistryException);
}

TEST_F(RegistryTest, KeysFormATreeUnderEachRoot) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Vendor\\App\\Layout", true));
    ASSERT_TRUE(reg.OpenKey("Toolbars", true)); // relative to the open key
    EXPECT_EQ(reg.CurrentPath(), "SOFTWARE\\Vendor\\App\\Layout\\Toolbars");
    reg.WriteInteger("Count", 2);
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Vendor\\App\\Editor", true));
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Vendor\\App\\layout\\Panels", true));
    reg.CloseKey();
    EXPECT_EQ(reg.CurrentPath(), "");

    EXPECT_TRUE(reg.KeyExists("SOFTWARE\\Vendor")); // a key exists through the keys below it
    EXPECT_TRUE(reg.KeyExists("software\\vendor\\app\\LAYOUT\\toolbars"));
    EXPECT_FALSE(reg.KeyExists("SOFTWARE\\Vendor\\Ap"));
    EXPECT_FALSE(reg.KeyExists("SOFTWARE\\Vendor\\App\\Layout\\Toolbars\\Deeper"));

    TStringList names;
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\Vendor\\App", false));
    reg.GetKeyNames(names);
    EXPECT_EQ(Lines(names), "Layout|Editor");
    reg.GetValueNames(names);
    EXPECT_EQ(names.Count(), 0);

    // The other root is a tree of its own.
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reg.CurrentPath(), "");
    EXPECT_FALSE(reg.KeyExists("\\SOFTWARE\\Vendor"));
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\Vendor\\App\\Layout\\Toolbars", true));
    EXPECT_FALSE(reg.ValueExists("Count"));
    reg.WriteInteger("Count", 5);
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\Vendor\\App\\Layout\\Toolbars", false));
    EXPECT_EQ(reg.ReadInteger("Count"), 2);
}

TEST_F(RegistryTest, DeletingAKeyTakesItsSubtreeOnly) {
    TRegistry reg;
    for (const char* key : {"\\S\\Editor", "\\S\\Editor\\Sub", "\\S\\Editor2", "\\S\\Other"}) {
        ASSERT_TRUE(reg.OpenKey(key, true));
        reg.WriteInteger("V", 1);
    }
    reg.CloseKey();
    EXPECT_TRUE(reg.DeleteKey("S\\EDITOR"));
    EXPECT_FALSE(reg.DeleteKey("S\\Editor"));
    EXPECT_FALSE(reg.KeyExists("S\\Editor\\Sub"));
    EXPECT_TRUE(reg.KeyExists("S\\Editor2"));
    EXPECT_TRUE(reg.KeyExists("S\\Other"));

    ASSERT_TRUE(reg.OpenKey("S\\Other", false));
    EXPECT_TRUE(reg.DeleteValue("v"));
    EXPECT_FALSE(reg.DeleteValue("v"));
    EXPECT_FALSE(reg.ValueExists("V"));
}

TEST_F(RegistryTest, WritesThatCannotBeStoredRaise) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kEditorKey, true));
    reg.WriteInteger("Kept", 1);
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKeyReadOnly(kEditorKey));
    try {
        reg.WriteInteger("Kept", 2);
        ADD_FAILURE();
    } catch (const ERegistryException& e) {
        EXPECT_THAT(e.Message(), HasSubstr("Failed to set data for 'Kept'"));
    }
    EXPECT_FALSE(reg.DeleteValue("Kept"));
    ASSERT_TRUE(reg.OpenKey("\\" + std::string(kEditorKey), false));
    EXPECT_THROW(reg.WriteString("a=b", "x"), ERegistryException);
    EXPECT_THROW(reg.WriteString("", "x"), ERegistryException);
    EXPECT_THROW(reg.WriteString("Line", "a\nb"), ERegistryException);
    EXPECT_FALSE(reg.OpenKey("Bad]Name", true));
    EXPECT_EQ(reg.ReadInteger("Kept"), 1);

    // A config folder that cannot be created: reads find nothing, writes raise.
    std::ofstream(FDir + "/plain") << "x";
    setenv("XDG_CONFIG_HOME", (FDir + "/plain").c_str(), 1);
    TRegistry blocked;
    EXPECT_FALSE(blocked.KeyExists(kEditorKey));
    EXPECT_THROW(blocked.OpenKey(kEditorKey, true), ERegistryException);
    EXPECT_THROW(blocked.WriteBool("Flag", true), ERegistryException);
}

TEST_F(RegistryTest, IniAdaptorMapsSectionsToSubkeys) {
    std::unique_ptr<TCustomIniFile> store = std::make_unique<TRegistryIniFile>("Software\\Vendor\\Layout");
    EXPECT_EQ(store->ReadInteger("Dock", "ToolBarCount", 7), 7);
    EXPECT_FALSE(store->SectionExists("Dock"));
    store->WriteInteger("Dock", "ToolBarCount", 2);
    store->WriteString("Dock", "Name1", "KvxToolBar1");
    store->WriteBool("UnDockedKvxToolBars", "KvxToolBar1.Visible", false);
    store->WriteFloat("Dock", "Ratio", 0.5);

    EXPECT_THAT(Get(),
                HasSubstr("[HKEY_CURRENT_USER\\Software\\Vendor\\Layout\\Dock]\r\nToolBarCount=2\r\n"));
    EXPECT_EQ(store->ReadInteger("dock", "toolbarcount", 0), 2);
    EXPECT_EQ(store->ReadString("Dock", "Name1", ""), "KvxToolBar1");
    EXPECT_FALSE(store->ReadBool("UnDockedKvxToolBars", "KvxToolBar1.Visible", true));
    EXPECT_EQ(store->ReadFloat("Dock", "Ratio", 0), 0.5);
    EXPECT_TRUE(store->ValueExists("Dock", "Name1"));

    TStringList list;
    store->ReadSections(list);
    EXPECT_EQ(Lines(list), "Dock|UnDockedKvxToolBars");
    store->ReadSectionValues("Dock", list);
    EXPECT_EQ(Lines(list), "ToolBarCount=2|Name1=KvxToolBar1|Ratio=0.5");

    store->DeleteKey("Dock", "Name1");
    EXPECT_FALSE(store->ValueExists("Dock", "Name1"));
    store->EraseSection("Dock");
    EXPECT_FALSE(store->SectionExists("Dock"));
    store->ReadSection("Dock", list);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(store->SectionExists("UnDockedKvxToolBars"));
}

} // namespace
