#include "platform/rtl/PropertyInfo.h"

#include <gtest/gtest.h>

#include "StreamFamily.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormText.h"

using namespace plat;
using namespace family;

namespace {

std::vector<std::string> Names(const TClassInfo& cls) {
    std::vector<std::string> names;
    for (const TPropInfo* p : GetPropList(cls))
        names.emplace_back(p->Name);
    return names;
}

TEST(PropertyInfoTest, TablesAreInheritedAlongTheClassChain) {
    const std::vector<std::string> widget = {"Name",    "Tag",   "Width", "Big",   "Ratio",   "Caption",
                                             "Visible", "Shape", "Sides", "Color", "Accel",   "Secret",
                                             "Version", "Pen",   "Marks", "Buddy", "OnClick", "OnMeasure"};
    EXPECT_EQ(Names(TWidget::StaticClass()), widget);
    std::vector<std::string> panel = widget;
    panel.erase(std::find(panel.begin(), panel.end(), "Accel"));
    EXPECT_EQ(Names(TPanelWidget::StaticClass()), panel);

    const TPropInfo* width = GetPropInfo(TWidget::StaticClass(), "WIDTH");
    const TPropInfo* panelWidth = GetPropInfo(TPanelWidget::StaticClass(), "width");
    ASSERT_TRUE(width && panelWidth);
    EXPECT_EQ(width->OrdDefault, 64);
    EXPECT_EQ(panelWidth->OrdDefault, 200);
    EXPECT_EQ(GetPropInfo(TPanelWidget::StaticClass(), "Accel"), nullptr);
    EXPECT_EQ(GetPropInfo(TWidget::StaticClass(), "Missing"), nullptr);

    // The changed default decides what is written.
    TTestForm form(nullptr);
    form.SetName("f");
    auto* p = new TPanelWidget(&form);
    p->SetName("p");
    p->SetParentComponent(&form);
    EXPECT_EQ(WriteComponentToText(p, &form), "object p: TPanelWidget\nend\n");
    p->SetWidth(64);
    EXPECT_EQ(WriteComponentToText(p, &form), "object p: TPanelWidget\n  Width = 64\nend\n");

    EXPECT_NE(FindPublishedMethod(TTestForm::StaticClass(), "BTN_OKCLICK"), nullptr);
    EXPECT_EQ(FindPublishedMethod(TComponent::StaticClass(), "btn_okClick"), nullptr);
    EXPECT_NE(FindPublishedField(TTestForm::StaticClass(), "btn_ok"), nullptr);
}

TEST(PropertyInfoTest, GenericAccess) {
    TWidget w(nullptr);
    SetOrdProp(&w, "Width", 12);
    EXPECT_EQ(w.Width(), 12);
    EXPECT_EQ(GetOrdProp(&w, "width"), 12);
    SetFloatProp(&w, "Ratio", 2.5);
    EXPECT_EQ(GetFloatProp(&w, "Ratio"), 2.5);
    SetStrProp(&w, "Caption", "x");
    EXPECT_EQ(GetStrProp(&w, "Caption"), "x");
    SetEnumProp(&w, "Shape", "STCIRCLE");
    EXPECT_EQ(w.Shape, stCircle);
    EXPECT_EQ(GetEnumProp(&w, "Shape"), "stCircle");
    SetEnumProp(&w, "Visible", "False");
    EXPECT_FALSE(w.Visible);
    SetOrdProp(&w, "Sides", (1 << sdTop) | (1 << sdRight));
    EXPECT_EQ(w.Sides, (1u << sdTop) | (1u << sdRight));
    SetOrdProp(&w, "Color", clNone);
    EXPECT_EQ(w.Color, clNone);
    SetOrdProp(&w, "Tag", -5);
    EXPECT_EQ(w.Tag(), -5);
    EXPECT_EQ(GetObjectProp(&w, "Pen"), w.Pen());
    TWidget other(nullptr);
    SetObjectProp(&w, "Buddy", &other);
    EXPECT_EQ(w.Buddy(), &other);
    TPen pen;
    EXPECT_THROW(SetObjectProp(&w, "Buddy", &pen), EPropertyError);
    EXPECT_EQ(w.Buddy(), &other);

    struct TCase {
        std::function<void()> Call;
        const char* Message;
    };
    const TCase errors[] = {
        {[&] { GetOrdProp(&w, "Nope"); }, "Property Nope does not exist"},
        {[&] { GetStrProp(&w, "Width"); }, "Property Width is not of the requested type"},
        {[&] { SetFloatProp(&w, "Caption", 1); }, "Property Caption is not of the requested type"},
        {[&] { SetStrProp(&w, "Version", "2"); }, "Property Version is read-only"},
        {[&] { SetEnumProp(&w, "Shape", "stOval"); }, "'stOval' is not a value of property Shape"},
        {[&] { GetEnumProp(&w, "Width"); }, "Property Width is not of the requested type"},
        {[&] { SetObjectProp(&w, "Pen", nullptr); }, "Property Pen is read-only"},
    };
    for (const TCase& c : errors) {
        try {
            c.Call();
            ADD_FAILURE() << c.Message;
        } catch (const EPropertyError& e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
    }
}

TEST(PropertyInfoTest, DefaultsAndStoredPredicates) {
    TWidget w(nullptr);
    auto isDefault = [&](const char* name) { return IsDefaultPropValue(&w, GetPropInfo(&w, name)); };
    for (const char* name : {"Width", "Big", "Ratio", "Caption", "Visible", "Shape", "Sides", "Color",
                             "Buddy", "OnClick", "Marks"})
        EXPECT_TRUE(isDefault(name)) << name;
    w.Ratio = -0.0; // equal to the default 0
    EXPECT_TRUE(isDefault("Ratio"));
    w.Color = clBlack;
    w.Marks()->Add();
    w.OnClick = [](TObject*) {};
    for (const char* name : {"Color", "Marks", "OnClick"})
        EXPECT_FALSE(isDefault(name)) << name;
    EXPECT_FALSE(GetPropInfo(&w, "Secret")->IsStored(&w));
    EXPECT_FALSE(GetPropInfo(&w, "Name")->IsStored(&w));
}

} // namespace
