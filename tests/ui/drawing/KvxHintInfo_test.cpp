#include "ui/drawing/KvxHintInfo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "PictureBytes.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/ComponentStream.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/Stream.h"

using namespace ui;

namespace {

// A component that publishes a picture and a hint the way the component set's controls do.
class THintedThing : public plat::TComponent {
    PLAT_CLASS(THintedThing)
public:
    explicit THintedThing(plat::TComponent* AOwner) : TComponent(AOwner) {}
    TKvxHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(TKvxHintInfo* Value) { FOfficeHint->Assign(Value); }
    TGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TGDIPPicture* Value) { FPicture->Assign(Value); }

private:
    std::unique_ptr<TKvxHintInfo> FOfficeHint = std::make_unique<TKvxHintInfo>();
    std::unique_ptr<TGDIPPicture> FPicture = std::make_unique<TGDIPPicture>();
};

} // namespace

PLAT_CLASS_INFO_CREATABLE(THintedThing, plat::TComponent)
PLAT_PROPERTIES(THintedThing) {
    props.Object("OfficeHint", &THintedThing::OfficeHint, &THintedThing::SetOfficeHint);
    props.Object("Picture", &THintedThing::Picture, &THintedThing::SetPicture);
}

namespace {

std::vector<uint8_t> BmpBytes() {
    auto bmp = drawingtest::MakeBitmap(9, 9, 0xFF00FF, [](plat::TCanvas& c) {
        c.Brush()->SetColor(plat::clNavy);
        c.FillRect(plat::TRect(2, 2, 7, 7));
    });
    return drawingtest::Saved(*bmp);
}

void LoadBytes(TGDIPPicture& p, const std::vector<uint8_t>& bytes) {
    plat::TMemoryStream s;
    s.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    p.LoadFromStream(s);
}

TEST(KvxHintInfo, AssignCopiesContentNotReferences) {
    TKvxHintInfo source;
    source.SetTitle("Zoom \u2192 100 %");
    source.Notes()->Add("First line");
    source.Notes()->Add("Second line");
    source.SetShowHelp(true);
    source.WideTitle = "title";
    source.WideNotes = "notes";
    const auto bmp = BmpBytes();
    LoadBytes(*source.Picture(), bmp);

    TKvxHintInfo copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.Title(), "Zoom \u2192 100 %");
    EXPECT_EQ(copy.Notes()->Text(), source.Notes()->Text());
    EXPECT_TRUE(copy.ShowHelp());
    EXPECT_EQ(copy.WideTitle, "title");
    EXPECT_EQ(copy.WideNotes, "notes");
    EXPECT_EQ(copy.Picture()->Data(), bmp);
    EXPECT_NE(copy.Picture(), source.Picture());

    source.Picture()->Assign(nullptr);
    source.Notes()->Clear();
    EXPECT_EQ(copy.Picture()->Data(), bmp);
    EXPECT_FALSE(copy.Picture()->Empty());
    EXPECT_EQ(copy.Notes()->Count(), 2);
}

TEST(KvxHintInfo, OtherSourcesAreIgnored) {
    TKvxHintInfo hint;
    hint.SetTitle("kept");
    plat::TStringList other;
    other.Add("x");
    EXPECT_NO_THROW(hint.Assign(&other));
    EXPECT_NO_THROW(hint.Assign(nullptr));
    EXPECT_NO_THROW(hint.Assign(&hint));
    EXPECT_EQ(hint.Title(), "kept");
    EXPECT_EQ(hint.Notes()->Count(), 0);
}

TEST(KvxHintInfo, ALayoutWithOnlyATitleLeavesTheRestEmpty) {
    plat::RegisterClass(THintedThing::StaticClass());
    THintedThing thing(nullptr);
    plat::ReadComponentFromText("object Thing1: THintedThing\n"
                                "  OfficeHint.Title = 'Open'\n"
                                "end\n",
                                &thing);
    EXPECT_EQ(thing.OfficeHint()->Title(), "Open");
    EXPECT_EQ(thing.OfficeHint()->Notes()->Count(), 0);
    EXPECT_FALSE(thing.OfficeHint()->ShowHelp());
    EXPECT_TRUE(thing.OfficeHint()->Picture()->Empty());
    EXPECT_TRUE(thing.Picture()->Empty());
}

TEST(KvxHintInfo, PicturesAndHintsSurviveLayoutRoundTrips) {
    plat::RegisterClass(THintedThing::StaticClass());
    const auto bmp = BmpBytes();

    THintedThing thing(nullptr);
    thing.SetName("Thing1");
    LoadBytes(*thing.Picture(), bmp);
    thing.OfficeHint()->SetTitle("Save 'all'");
    thing.OfficeHint()->Notes()->Add("Writes every chart");
    thing.OfficeHint()->SetShowHelp(true);
    LoadBytes(*thing.OfficeHint()->Picture(), bmp);

    const std::string text = plat::WriteComponentToText(&thing);
    EXPECT_NE(text.find("Picture.Data = {"), std::string::npos) << text;
    EXPECT_NE(text.find("OfficeHint.Picture.Data = {"), std::string::npos) << text;

    auto check = [&](THintedThing& back) {
        EXPECT_EQ(back.Picture()->Data(), bmp);
        EXPECT_FALSE(back.Picture()->Empty());
        EXPECT_EQ(back.Picture()->Width(), 0) << "measured only on demand";
        EXPECT_TRUE(back.Picture()->MeasureImage());
        EXPECT_EQ(back.Picture()->Width(), 9);
        EXPECT_EQ(back.OfficeHint()->Title(), "Save 'all'");
        EXPECT_EQ(back.OfficeHint()->Notes()->Text(), thing.OfficeHint()->Notes()->Text());
        EXPECT_TRUE(back.OfficeHint()->ShowHelp());
        EXPECT_EQ(back.OfficeHint()->Picture()->Data(), bmp);
    };
    {
        SCOPED_TRACE("text");
        THintedThing back(nullptr);
        plat::ReadComponentFromText(text, &back);
        check(back);
        EXPECT_EQ(plat::WriteComponentToText(&back), text);
    }
    {
        SCOPED_TRACE("binary");
        plat::TMemoryStream binary;
        plat::WriteComponent(binary, &thing);
        binary.SetPosition(0);
        THintedThing back(nullptr);
        plat::ReadComponentFromStream(binary, &back);
        check(back);
    }

    // An empty picture writes nothing.
    thing.Picture()->Assign(nullptr);
    EXPECT_EQ(plat::WriteComponentToText(&thing).find("\n  Picture.Data"), std::string::npos);
}

} // namespace
