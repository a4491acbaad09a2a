// The document component: forwarding to the inner document, published properties, ownership.
#include "xml/DocSimpleXml.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/rtl/PropertyInfo.h"

using namespace xml;

namespace {

class DocSimpleXml : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumetra-xml-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        FFolder = pattern + "/";
    }
    void TearDown() override { std::filesystem::remove_all(FFolder); }
    std::string Write(const std::string& name, const std::string& text) {
        std::ofstream(FFolder + name, std::ios::binary) << text;
        return FFolder + name;
    }
    std::string FFolder;
};

} // namespace

TEST_F(DocSimpleXml, DefaultsAndIndentFilter) {
    TDocSimpleXML doc(nullptr);
    EXPECT_EQ(doc.FileName(), "");
    EXPECT_EQ(doc.IndentString(), "  ");
    EXPECT_EQ(doc.Options(), DefaultSimpleXMLOptions);
    EXPECT_EQ(doc.GetRoot(), doc.SimpleXML().Root());
    EXPECT_TRUE(doc.SimpleXML().Is<TDomHackSimpleXML>());
    doc.SetIndentString(" \t ");
    EXPECT_EQ(doc.IndentString(), " \t ");
    doc.SetIndentString("x");
    EXPECT_EQ(doc.IndentString(), " \t ");
}

TEST_F(DocSimpleXml, SettingTheFileNameLoadsAtOnce) {
    TDocSimpleXML doc(nullptr);
    std::vector<std::string> tags;
    doc.OnTagParsed() = [&](plat::TObject* sender, const std::string& name) {
        EXPECT_EQ(sender, &doc.SimpleXML());
        tags.push_back(name);
    };
    const std::string good = Write("good.xml", "<chart><XAxis/></chart>");
    doc.SetFileName(good);
    EXPECT_EQ(doc.FileName(), good);
    EXPECT_EQ(doc.GetRoot()->Name(), "chart");
    EXPECT_EQ(tags, (std::vector<std::string>{"XAxis", "chart"}));

    const std::string bad = Write("bad.xml", "<chart></chrt>");
    try {
        doc.SetFileName(bad);
        FAIL() << "no error";
    } catch (const EDomSimpleXMLError& e) {
        EXPECT_EQ(e.Message(),
                  "Invalid XML Element: Erroneous end of tag, expecting </chart> but </chrt> found");
    }
    EXPECT_EQ(doc.FileName(), bad);
    EXPECT_THROW(doc.SetFileName(FFolder + "missing.xml"), plat::EFOpenError);

    // Loading and saving by name leave FileName alone.
    doc.LoadFromFile(good);
    doc.SaveToFile(FFolder + "copy.xml");
    EXPECT_EQ(doc.FileName(), FFolder + "missing.xml");
    TDocSimpleXML copy(nullptr);
    copy.LoadFromFile(FFolder + "copy.xml");
    EXPECT_EQ(copy.GetRoot()->Items().Item(0)->Name(), "XAxis");
}

TEST_F(DocSimpleXml, ValueHooksForwardToTheDocument) {
    TDocSimpleXML doc(nullptr);
    std::string v = "a<b";
    doc.EncodeValue(v);
    EXPECT_EQ(v, "a&lt;b");
    doc.DecodeValue(v);
    EXPECT_EQ(v, "a<b");
    doc.OnDecodeValue() = [](plat::TObject*, std::string& value) { value += "!"; };
    doc.DecodeValue(v);
    EXPECT_EQ(v, "a<b!");
}

TEST_F(DocSimpleXml, IsAComponentWithPublishedProperties) {
    plat::TComponent owner(nullptr);
    auto* doc = static_cast<TDocSimpleXML*>(TDocSimpleXML::StaticClass().Create(&owner));
    EXPECT_EQ(doc->Owner(), &owner);
    EXPECT_EQ(owner.ComponentCount(), 1);

    plat::SetStrProp(doc, "IndentString", "\t");
    EXPECT_EQ(doc->IndentString(), "\t");
    plat::SetStrProp(doc, "IndentString", "no");
    EXPECT_EQ(plat::GetStrProp(doc, "IndentString"), "\t");
    // Forms always store the indentation; the options only when they differ from the default.
    EXPECT_FALSE(plat::IsDefaultPropValue(doc, plat::GetPropInfo(doc, "IndentString")));
    EXPECT_TRUE(plat::IsDefaultPropValue(doc, plat::GetPropInfo(doc, "Options")));
    plat::SetOrdProp(doc, "Options", sxoAutoCreate);
    EXPECT_EQ(doc->Options(), sxoAutoCreate);
    for (const char* event : {"OnSaveProgress", "OnLoadProgress", "OnTagParsed", "OnValueParsed",
                              "OnEncodeValue", "OnDecodeValue", "OnEncodeStream", "OnDecodeStream"}) {
        SCOPED_TRACE(event);
        const plat::TPropInfo* info = plat::GetPropInfo(doc, event);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->Kind, plat::pkEvent);
    }
}
