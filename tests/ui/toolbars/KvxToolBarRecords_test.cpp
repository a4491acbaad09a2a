#include "ui/toolbars/KvxToolBarRecords.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/SystemServices.h"

using namespace plat;
using namespace ui;
using namespace ui::toolbar;

namespace {

// Counts the change events of one record.
template <class R> struct TWatched {
    TWatched() {
        Record.OnChange = [this](TObject* Sender) {
            EXPECT_EQ(Sender, &Record);
            ++Fired;
        };
    }
    R Record;
    int Fired = 0;
};

struct TChangeCase {
    const char* What;
    std::function<int()> Run; // performs the write, returns the events seen
    int Expected;
};

template <class R> std::function<int()> Write(std::function<void(R&)> Action) {
    return [Action] {
        TWatched<R> w;
        Action(w.Record);
        return w.Fired;
    };
}

TEST(ToolBarRecords, SettersNotifyOnlyWhereTheRecordSaysSo) {
    const TChangeCase cases[] = {
        // Gradient backgrounds announce every write, equal or not.
        {"gradient same colour", Write<TGradientBackground>([](auto& r) { r.SetColor(r.Color()); }), 1},
        {"gradient same steps", Write<TGradientBackground>([](auto& r) { r.SetSteps(64); }), 1},
        {"gradient direction", Write<TGradientBackground>([](auto& r) { r.SetDirection(gdVertical); }), 1},
        {"mirror same colour", Write<TMirrorGradient>([](auto& r) { r.SetColor(r.Color()); }), 0},
        {"mirror new colour", Write<TMirrorGradient>([](auto& r) { r.SetColorMirror(1); }), 1},
        {"persistence key", Write<TPersistence>([](auto& r) { r.SetKey("a"); }), 1},
        {"persistence same section", Write<TPersistence>([](auto& r) { r.SetSection(""); }), 0},
        {"persistence section case", Write<TPersistence>([](auto& r) {
             r.SetSection("A");
             r.SetSection("a");
         }),
         2},
        {"persistence location", Write<TPersistence>([](auto& r) { r.SetLocation(plIniFile); }), 1},
        {"button same colour", Write<TButtonAppearance>([](auto& r) { r.SetColor(r.Color()); }), 0},
        {"button checked colour", Write<TButtonAppearance>([](auto& r) { r.SetColorChecked(5); }), 1},
        {"button checked border", Write<TButtonAppearance>([](auto& r) { r.SetBorderCheckedColor(5); }), 1},
        {"button hot border", Write<TButtonAppearance>([](auto& r) { r.SetBorderHotColor(5); }), 0},
        {"button down border", Write<TButtonAppearance>([](auto& r) { r.SetBorderDownColor(5); }), 0},
        {"button per-look directions", Write<TButtonAppearance>([](auto& r) {
             r.SetGradientDirectionHot(gdHorizontal);
             r.SetGradientDirectionDown(gdHorizontal);
             r.SetGradientDirectionChecked(gdHorizontal);
         }),
         0},
        {"button identical font", Write<TButtonAppearance>([](auto& r) {
             TFont same;
             same.Assign(r.CaptionFont());
             r.SetCaptionFont(&same);
         }),
         1},
        {"button system font", Write<TButtonAppearance>([](auto& r) { r.SetSystemFont(false); }), 0},
        {"container line", Write<TContainerAppearance>([](auto& r) { r.SetLine3D(false); }), 1},
        {"vista same colour", Write<TVistaBackground>([](auto& r) { r.SetColor(clWhite); }), 0},
        {"vista gradient", Write<TVistaBackground>([](auto& r) { r.SetGradient(ggRadial); }), 1},
        {"page shadow", Write<TVistaPageBackground>([](auto& r) {
             r.SetShadowColor(1);
             r.SetHighLightColor(2);
         }),
         0},
        {"caption text colour", Write<TVistaTextBackground>([](auto& r) { r.SetTextColor(1); }), 1},
        {"tab plain colours", Write<TTabAppearance>([](auto& r) {
             r.SetBorderColorHot(1);
             r.SetShadowColor(1);
             r.SetHighLightColor(1);
             r.SetHighLightColorHot(1);
             r.SetHighLightColorSelected(1);
             r.SetHighLightColorSelectedHot(1);
             r.SetHighLightColorDown(1);
         }),
         0},
        {"tab background write", Write<TTabAppearance>([](auto& r) { r.BackGround()->SetColor(clWhite); }),
         1},
        {"group nested caption",
         Write<TGroupAppearance>([](auto& r) { r.CaptionAppearance()->SetCaptionColor(1); }), 1},
        {"group nested page, tab, toolbar", Write<TGroupAppearance>([](auto& r) {
             r.PageAppearance()->SetBorderColor(1);
             r.TabAppearance()->SetColorHot(1);
             r.ToolBarAppearance()->SetBorderColorHot(1);
         }),
         3},
        {"toolbar gradients unwired", Write<TToolBarAppearance>([](auto& r) { r.Color()->SetColor(1); }), 0},
        {"qat same steps", Write<TQATAppearance>([](auto& r) { r.SetSteps(64); }), 0},
        {"tab settings height", Write<TKTBTabSettings>([](auto& r) { r.SetHeight(30); }), 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Run(), c.Expected) << c.What;
}

TEST(ToolBarRecords, ButtonAssignCopiesColoursButNotFontOrPerLookDirections) {
    TButtonAppearance src;
    src.SetColor(0x010101);
    src.SetColorTo(0x020202);
    src.SetColorHot(0x030303);
    src.SetColorCheckedTo(0x040404);
    src.SetCaptionTextColorDown(0x050505);
    src.SetGradientDirection(gdHorizontal);
    src.SetBorderHotColor(0x060606);
    src.SetBorderCheckedColor(0x070707);
    src.SetGradientDirectionHot(gdHorizontal);
    src.CaptionFont()->SetName("Courier New");
    src.SetSystemFont(false);

    TWatched<TButtonAppearance> dst;
    const std::string face = dst.Record.CaptionFont()->Name();
    dst.Record.Assign(&src);
    EXPECT_EQ(dst.Fired, 0);
    EXPECT_EQ(dst.Record.Color(), 0x010101);
    EXPECT_EQ(dst.Record.ColorTo(), 0x020202);
    EXPECT_EQ(dst.Record.ColorHot(), 0x030303);
    EXPECT_EQ(dst.Record.ColorCheckedTo(), 0x040404);
    EXPECT_EQ(dst.Record.CaptionTextColorDown(), 0x050505);
    EXPECT_EQ(dst.Record.GradientDirection(), gdHorizontal);
    EXPECT_EQ(dst.Record.BorderHotColor(), 0x060606);
    EXPECT_EQ(dst.Record.BorderCheckedColor(), 0x070707);
    EXPECT_EQ(dst.Record.GradientDirectionHot(), gdVertical);
    EXPECT_EQ(dst.Record.CaptionFont()->Name(), face);
    EXPECT_TRUE(dst.Record.SystemFont());

    // Other sources change nothing and raise nothing, as for the gradient and the persistence.
    TGradientBackground other;
    EXPECT_NO_THROW(dst.Record.Assign(&other));
    EXPECT_EQ(dst.Record.Color(), 0x010101);
    TPersistence persistence;
    EXPECT_NO_THROW(persistence.Assign(&other));
    EXPECT_NO_THROW(other.Assign(&persistence));
    EXPECT_EQ(other.Color(), clWhite);
}

TEST(ToolBarRecords, SystemFontFollowsTheSystemWhenSwitchedBackOn) {
    const TSystemVersion saved = GetSystemVersion();
    plat::ScopeGuard restore([&] { SetSystemVersion(saved); });
    SetSystemVersion({5, 1, 2600});

    TButtonAppearance button;
    TVistaTextBackground caption;
    TTabAppearance tab;
    TGroupAppearance group;
    EXPECT_EQ(button.CaptionFont()->Name(), "Tahoma");
    for (TFont* font : {caption.Font(), tab.Font(), group.Font()}) {
        EXPECT_EQ(font->Name(), "Tahoma");
        EXPECT_EQ(font->Size(), 8);
    }

    SetSystemVersion({6, 0, 6000});
    const auto cycle = [](auto& record, TFont* font) {
        record.SetSystemFont(false);
        font->SetName("Arial");
        record.SetSystemFont(false);
        EXPECT_EQ(font->Name(), "Arial"); // off keeps the face
        record.SetSystemFont(true);
        EXPECT_EQ(font->Name(), "Segoe UI");
    };
    cycle(button, button.CaptionFont());
    cycle(caption, caption.Font());
    cycle(tab, tab.Font());
    cycle(group, group.Font());
}

TEST(ToolBarRecords, GradientAssignmentsKeepOrCopyTheMirror) {
    TGradientBackground plain;
    plain.SetColor(0x111111);
    plain.SetColorTo(clNone);
    plain.SetDirection(gdVertical);
    plain.SetSteps(16);

    TWatched<TVistaGradientBackground> vista;
    vista.Record.Mirror()->SetColor(0x222222);
    vista.Record.Assign(&plain);
    EXPECT_EQ(vista.Fired, 0);
    EXPECT_EQ(vista.Record.Color(), 0x111111);
    EXPECT_EQ(vista.Record.ColorTo(), clNone);
    EXPECT_EQ(vista.Record.Direction(), gdVertical);
    EXPECT_EQ(vista.Record.Steps(), 16);
    EXPECT_EQ(vista.Record.Mirror()->Color(), 0x222222);

    TVistaGradientBackground other;
    other.Mirror()->SetColorMirrorTo(0x333333);
    vista.Record.Assign(&other);
    EXPECT_EQ(vista.Record.Mirror()->ColorMirrorTo(), 0x333333);
    EXPECT_EQ(vista.Record.Mirror()->Color(), clWhite);

    // The mirror refuses a stranger loudly, unlike the gradients.
    TMirrorGradient mirror;
    EXPECT_THROW(mirror.Assign(&plain), EConvertError);
}

TEST(ToolBarRecords, PersistenceAssignCopiesAllFourSilently) {
    TPersistence src;
    src.SetKey("layout.ini");
    src.SetSection("Dock");
    src.SetLocation(plIniFile);
    src.SetEnabled(true);
    TWatched<TPersistence> dst;
    dst.Record.Assign(&src);
    EXPECT_EQ(dst.Fired, 0);
    EXPECT_EQ(dst.Record.Key(), "layout.ini");
    EXPECT_EQ(dst.Record.Section(), "Dock");
    EXPECT_EQ(dst.Record.Location(), plIniFile);
    EXPECT_TRUE(dst.Record.Enabled());
}

TEST(ToolBarRecords, AssignmentsNotifyOnlyThroughTheirLastSetters) {
    // A tab appearance copies everything; the text colour and the background copy each notify once.
    TTabAppearance tabSrc;
    tabSrc.SetTextColor(0x123456);
    tabSrc.SetShadowColor(0x654321);
    tabSrc.BackGround()->SetColorTo(0x777777);
    TWatched<TTabAppearance> tab;
    tab.Record.Assign(&tabSrc);
    EXPECT_EQ(tab.Fired, 2);
    EXPECT_EQ(tab.Record.TextColor(), 0x123456);
    EXPECT_EQ(tab.Record.ShadowColor(), 0x654321);
    EXPECT_EQ(tab.Record.BackGround()->ColorTo(), 0x777777);

    // Equal gradient kinds: the two-half background copies its colours without a word.
    TVistaBackground vistaSrc;
    vistaSrc.SetColor(1);
    vistaSrc.SetShadowColor(2);
    TWatched<TVistaBackground> vista;
    vista.Record.Assign(&vistaSrc);
    EXPECT_EQ(vista.Fired, 0);
    EXPECT_EQ(vista.Record.Color(), 1);
    EXPECT_EQ(vista.Record.ShadowColor(), 2);

    // The quick-access record keeps its Steps.
    TQATAppearance qatSrc;
    qatSrc.SetSteps(8);
    qatSrc.SetFullSizeColorTo(9);
    qatSrc.SetBorderColor(10);
    TWatched<TQATAppearance> qat;
    qat.Record.Assign(&qatSrc);
    EXPECT_EQ(qat.Fired, 1);
    EXPECT_EQ(qat.Record.Steps(), 64);
    EXPECT_EQ(qat.Record.BorderColor(), 10);

    // A group keeps its toolbar appearance.
    TGroupAppearance groupSrc;
    groupSrc.ToolBarAppearance()->SetBorderColor(0x0A0A0A);
    groupSrc.CaptionAppearance()->SetCaptionTextColor(0x0B0B0B);
    groupSrc.SetTextColor(0x0C0C0C);
    TGroupAppearance group;
    group.Assign(&groupSrc);
    EXPECT_EQ(group.ToolBarAppearance()->BorderColor(), clNone);
    EXPECT_EQ(group.CaptionAppearance()->CaptionTextColor(), 0x0B0B0B);
    EXPECT_EQ(group.TextColor(), 0x0C0C0C);

    // Tab settings copy five metrics but keep the spacing.
    TKTBTabSettings settingsSrc;
    settingsSrc.SetSpacing(9);
    settingsSrc.SetEndMargin(7);
    TKTBTabSettings settings;
    settings.Assign(&settingsSrc);
    EXPECT_EQ(settings.Spacing(), 4);
    EXPECT_EQ(settings.EndMargin(), 7);

    // A container appearance copies through its setters.
    TContainerAppearance containerSrc;
    containerSrc.SetLineColor(3);
    TWatched<TContainerAppearance> container;
    container.Record.Assign(&containerSrc);
    EXPECT_EQ(container.Fired, 1);
    EXPECT_EQ(container.Record.LineColor(), 3);
}

TEST(ToolBarRecords, RecordsOfOtherKindsAreRefused) {
    TCaptionAppearance caption;
    TQATAppearance qat;
    TVistaBackground vista;
    TGroupAppearance group;
    TKTBTabSettings settings;
    TContainerAppearance container;
    TToolBarAppearance toolbar;
    EXPECT_THROW(caption.Assign(&qat), EConvertError);
    EXPECT_THROW(qat.Assign(&caption), EConvertError);
    EXPECT_THROW(vista.Assign(&group), EConvertError);
    EXPECT_THROW(group.Assign(&vista), EConvertError);
    EXPECT_THROW(settings.Assign(&container), EConvertError);
    EXPECT_THROW(container.Assign(&toolbar), EConvertError);
    EXPECT_THROW(toolbar.Assign(&settings), EConvertError);
}

TEST(ToolBarRecords, CheckedListReportsReadsAndWritesPastTheEnd) {
    int a = 1, b = 2, c = 3;
    TDbgList<int> list;
    list.Add(&a);
    list.Add(&b);
    list.Add(&c);
    EXPECT_EQ(list[2], &c);
    try {
        (void)list[3];
        ADD_FAILURE() << "read past the end";
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "Index out of bounds in list read access");
    }
    try {
        list.Put(3, &a);
        ADD_FAILURE() << "write past the end";
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "Index out of bounds in list write access");
    }
    EXPECT_THROW((void)list[-1], EListError);
    list.Put(0, &c);
    TDbgList<int> copy;
    copy.Add(&b);
    copy.CopyFrom(list);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy[0], &c);
    EXPECT_EQ(copy[2], &c);
}

TEST(ToolBarRecords, ScrollerBoundsNeverCross) {
    TKTBTabScroller s;
    s.SetMax(-1);
    EXPECT_EQ(s.Max(), 0);
    s.SetMax(5);
    s.SetMin(6);
    EXPECT_EQ(s.Min(), 0);
    s.SetPosition(3);
    EXPECT_TRUE(s.CanGoBack());
    EXPECT_TRUE(s.CanGoForward());
    s.SetPosition(5);
    EXPECT_FALSE(s.CanGoForward());
}

TEST(ToolBarRecords, TabGroupsCoverValidRangesAndAssignKeepsTheLook) {
    TTabGroups groups(nullptr);
    int changes = 0;
    groups.OnChange = [&](TObject*) { ++changes; };
    struct {
        int Start, End;
    } const ranges[] = {{2, 1}, {-1, 3}, {1, 9}, {1, 2}, {0, 3}};
    for (const auto& r : ranges) {
        auto* g = groups.Add();
        g->SetTabIndexStart(r.Start);
        g->SetTabIndexEnd(r.End);
    }
    const int pages = 4;
    const int expected[] = {4, 3, 3, 4}; // tab -> group; the first three ranges group nothing
    for (int tab = 0; tab < pages; ++tab)
        EXPECT_EQ(groups.GroupOfTab(tab, pages), expected[tab]) << tab;

    changes = 0;
    groups.Items(0)->GroupAppearance()->SetColor(1);
    EXPECT_EQ(changes, 1);

    TTabGroupItem* src = groups.Items(3);
    src->SetCaption("Tools");
    src->SetDefaultAppearance(false);
    src->SetCaptionAlignment(taCenter);
    src->GroupAppearance()->SetBorderColor(5);
    TTabGroupItem* dst = groups.Items(0);
    dst->Assign(src);
    EXPECT_EQ(dst->Caption(), "Tools");
    EXPECT_EQ(dst->TabIndexStart(), 1);
    EXPECT_EQ(dst->TabIndexEnd(), 2);
    EXPECT_TRUE(dst->DefaultAppearance());
    EXPECT_EQ(dst->CaptionAlignment(), taLeftJustify);
    EXPECT_NE(dst->GroupAppearance()->BorderColor(), 5);
}

} // namespace
