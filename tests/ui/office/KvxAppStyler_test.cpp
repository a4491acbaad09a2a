#include "ui/office/KvxAppStyler.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SystemServices.h"

using namespace plat;
using namespace ui;

namespace {

// What the styled components and the stylers' events saw, in order: "a1=tsWhidbey", "sA:change".
std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

void Note(const TComponent* Who, const std::string& What) {
    Log().push_back(Who->Name() + What);
}

class TStyledProbe : public TComponent, public IStyleable {
    PLAT_CLASS(TStyledProbe)
public:
    explicit TStyledProbe(TComponent* AOwner) : TComponent(AOwner) {}
    void ApplyStyle(TKVXStyle Style) override { Note(this, std::string("=") + kKVXStyleNames[Style]); }
};

class TStyledFrame : public TFrame, public IStyleable {
    PLAT_CLASS(TStyledFrame)
public:
    explicit TStyledFrame(TComponent* AOwner) : TFrame(AOwner) {}
    void ApplyStyle(TKVXStyle Style) override { Note(this, std::string("=") + kKVXStyleNames[Style]); }
};

// A form whose layout carries both stylers and probes on either side of the form styler.
class TfmStyled : public TForm {
    PLAT_CLASS(TfmStyled)
public:
    using TForm::TForm;
    TKvxAppStyler* KvxAppStyler1 = nullptr;
    TKvxFormStyler* KvxFormStyler1 = nullptr;
    void StylerChange(TObject* Sender) { Note(static_cast<TComponent*>(Sender), ":change"); }
    void StylerApplyStyle(TObject*, TComponent* AComponent, bool& Allow) {
        Allow = AComponent->Name() != "skipped";
    }
};

// A form whose styler follows the application styler of another form, as every window of the
// application follows the About box's.
class TfmFollower : public TForm {
    PLAT_CLASS(TfmFollower)
public:
    using TForm::TForm;
    TKvxFormStyler* KvxFormStyler1 = nullptr;
};

} // namespace

PLAT_CLASS_INFO_CREATABLE(TfmFollower, TForm)
PLAT_CLASS_INFO_CREATABLE(TStyledProbe, TComponent)
PLAT_CLASS_INFO_CREATABLE(TStyledFrame, TFrame)
PLAT_CLASS_INFO_CREATABLE(TfmStyled, TForm)

PLAT_PROPERTIES(TfmFollower) {
    props.Field("KvxFormStyler1", &TfmFollower::KvxFormStyler1);
}

PLAT_PROPERTIES(TfmStyled) {
    props.Field("KvxAppStyler1", &TfmStyled::KvxAppStyler1);
    props.Field("KvxFormStyler1", &TfmStyled::KvxFormStyler1);
    props.Method("StylerChange", &TfmStyled::StylerChange);
    props.Method("StylerApplyStyle", &TfmStyled::StylerApplyStyle);
}

namespace {

template <class T> T* Named(TComponent* Owner, const char* Name) {
    T* c = new T(Owner);
    c->SetName(Name);
    return c;
}

void LogChanges(TKvxAppStyler* S) {
    S->OnChange = [S](TObject*) { Note(S, ":change"); };
}
void LogChanges(TKvxFormStyler* S) {
    S->OnChange = [S](TObject*) { Note(S, ":change"); };
}

// Two forms following one application styler, which sits on a third form as in the application. Form A
// holds a frame with a nested frame; the outer frame has a styler of its own that follows nobody.
//   formA: a1, plain (not styleable), a2, F1 [f1a, F2 [f2a], sF], sA
//   formB: b1, sB
struct TScene {
    TForm* about = NewForm<TForm>(Application);
    TForm* formA = NewForm<TForm>(Application);
    TForm* formB = NewForm<TForm>(Application);
    TKvxAppStyler* app = Named<TKvxAppStyler>(about, "app");
    TKvxFormStyler *sA = nullptr, *sB = nullptr, *sF = nullptr;

    TScene() {
        Named<TStyledProbe>(formA, "a1");
        Named<TComponent>(formA, "plain");
        Named<TStyledProbe>(formA, "a2");
        auto* f1 = Named<TStyledFrame>(formA, "F1");
        f1->SetParent(formA);
        Named<TStyledProbe>(f1, "f1a");
        auto* f2 = Named<TStyledFrame>(f1, "F2");
        f2->SetParent(f1);
        Named<TStyledProbe>(f2, "f2a");
        sF = Named<TKvxFormStyler>(f1, "sF");
        sA = Named<TKvxFormStyler>(formA, "sA");
        Named<TStyledProbe>(formB, "b1");
        sB = Named<TKvxFormStyler>(formB, "sB");
        sA->SetAppStyle(app);
        sB->SetAppStyle(app);
        app->SetStyle(tsOffice2007Luna);
        for (TKvxFormStyler* s : {sA, sB, sF})
            LogChanges(s);
        LogChanges(app);
        Log().clear();
    }
};

class KvxAppStylerTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterClasses({&TStyledProbe::StaticClass(), &TStyledFrame::StaticClass()});
        Log().clear();
    }
    TTestDriver Driver;
};

using TLog = std::vector<std::string>;

struct TFlowCase {
    const char* Name;
    std::function<void(TScene&)> Act;
    TLog Expected;
    std::function<void(TScene&)> Check;
};

} // namespace

TEST_F(KvxAppStylerTest, StyleFlowsFromTheApplicationToEveryStyledComponent) {
    const TFlowCase cases[] = {
        {"a new style reaches each form in registration order, not the components inside frames",
         [](TScene& s) { s.app->SetStyle(tsWhidbey); },
         {"a1=tsWhidbey", "a2=tsWhidbey", "F1=tsWhidbey", "sA:change", "b1=tsWhidbey", "sB:change",
          "app:change"},
         [](TScene& s) { EXPECT_EQ(s.sB->Style(), tsWhidbey); }},
        {"the style already held makes no calls",
         [](TScene& s) { s.app->SetStyle(tsOffice2007Luna); },
         {},
         {}},
        {"tsCustom is stored and reported but restyles nothing",
         [](TScene& s) { s.app->SetStyle(tsCustom); },
         {"sA:change", "sB:change", "app:change"},
         [](TScene& s) {
             EXPECT_EQ(s.sA->Style(), tsCustom);
             EXPECT_EQ(s.sB->Style(), tsCustom);
         }},
        {"a handler that clears Allow skips exactly that component",
         [](TScene& s) {
             s.sA->OnApplyStyle = [](TObject*, TComponent* c, bool& allow) { allow = c->Name() != "a2"; };
             s.app->SetStyle(tsOffice2003Olive);
         },
         {"a1=tsOffice2003Olive", "F1=tsOffice2003Olive", "sA:change", "b1=tsOffice2003Olive", "sB:change",
          "app:change"},
         {}},
        {"a frame's styler walks nested frames, each frame before its own components",
         [](TScene& s) { s.sF->SetStyle(tsOffice2003Silver); },
         {"f1a=tsOffice2003Silver", "F2=tsOffice2003Silver", "f2a=tsOffice2003Silver", "sF:change"},
         {}},
        {"a form styler set directly styles its own form only",
         [](TScene& s) { s.sB->SetStyle(tsWindowsXP); },
         {"b1=tsWindowsXP", "sB:change"},
         [](TScene& s) { EXPECT_EQ(s.app->Style(), tsOffice2007Luna); }},
        {"a destroyed application styler leaves its form stylers alone with their style",
         [](TScene& s) {
             s.app->Free();
             EXPECT_EQ(s.sA->AppStyle(), nullptr);
             EXPECT_EQ(s.sB->AppStyle(), nullptr);
             EXPECT_EQ(s.sA->Style(), tsOffice2007Luna);
             s.sA->SetStyle(tsWhidbey);
         },
         {"a1=tsWhidbey", "a2=tsWhidbey", "F1=tsWhidbey", "sA:change"},
         {}},
        {"a form styler given another application styler follows only the new one",
         [](TScene& s) {
             auto* other = Named<TKvxAppStyler>(s.about, "other");
             other->SetStyle(tsOffice2007Obsidian);
             s.sB->SetAppStyle(other);
             EXPECT_EQ(s.app->FormStylerCount(), 1);
             EXPECT_EQ(other->FormStylerCount(), 1);
             s.app->SetStyle(tsWhidbey);
             other->Free();
             s.app->SetStyle(tsOffice2003Blue);
         },
         {"b1=tsOffice2007Obsidian", "sB:change", "a1=tsWhidbey", "a2=tsWhidbey", "F1=tsWhidbey", "sA:change",
          "app:change", "a1=tsOffice2003Blue", "a2=tsOffice2003Blue", "F1=tsOffice2003Blue", "sA:change",
          "app:change"},
         [](TScene& s) { EXPECT_EQ(s.sB->AppStyle(), nullptr); }},
        {"a form styler let go of its application styler no longer follows it",
         [](TScene& s) {
             s.sB->SetAppStyle(nullptr);
             s.app->SetStyle(tsWhidbey);
         },
         {"a1=tsWhidbey", "a2=tsWhidbey", "F1=tsWhidbey", "sA:change", "app:change"},
         [](TScene& s) { EXPECT_EQ(s.app->FormStylerCount(), 1); }},
        {"a closed form leaves the application styler's list",
         [](TScene& s) {
             s.formB->Free();
             s.formB = nullptr;
             s.app->SetStyle(tsWhidbey);
         },
         {"a1=tsWhidbey", "a2=tsWhidbey", "F1=tsWhidbey", "sA:change", "app:change"},
         [](TScene& s) { EXPECT_EQ(s.app->FormStylerCount(), 1); }},
        {"a form styler that closes another form while styling does not reach the closed one",
         [](TScene& s) {
             s.sA->OnChange = [&s](TObject*) {
                 Note(s.sA, ":change");
                 s.formB->Free();
                 s.formB = nullptr;
             };
             s.app->SetStyle(tsWhidbey);
         },
         {"a1=tsWhidbey", "a2=tsWhidbey", "F1=tsWhidbey", "sA:change", "app:change"},
         {}},
    };
    for (const TFlowCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScene scene;
        c.Act(scene);
        EXPECT_EQ(Log(), c.Expected);
        if (c.Check)
            c.Check(scene);
        for (TForm* f : {scene.about, scene.formA, scene.formB})
            if (f)
                f->Free();
        Log().clear();
    }
}

namespace {

const char* const kStyledLayout = R"(object fmStyled: TfmStyled
  Caption = 'Styled'
  object p1: TStyledProbe
  end
  object KvxAppStyler1: TKvxAppStyler
    AutoThemeAdapt = False
    Style = tsWhidbey
    OnChange = StylerChange
  end
  object KvxFormStyler1: TKvxFormStyler
    AutoThemeAdapt = False
    Style = tsWhidbey
    AppStyle = KvxAppStyler1
    OnApplyStyle = StylerApplyStyle
    OnChange = StylerChange
  end
  object p2: TStyledProbe
  end
  object skipped: TStyledProbe
  end
end
)";

} // namespace

TEST_F(KvxAppStylerTest, LoadedFormStylerStylesTheWholeFormEvenWithTheStyleItHeld) {
    RegisterFormResource("TfmStyled", kStyledLayout);
    auto* form = NewForm<TfmStyled>(Application);
    ASSERT_NE(form->KvxFormStyler1, nullptr);
    EXPECT_EQ(form->KvxFormStyler1->AppStyle(), form->KvxAppStyler1);
    // Reading the style reached p1 only; after loading the whole form gets it, p2 included (the
    // layout's handler keeps "skipped" out).
    EXPECT_EQ(Log(), (TLog{"p1=tsWhidbey", "KvxFormStyler1:change", "p1=tsWhidbey", "p2=tsWhidbey",
                           "KvxFormStyler1:change"}));
    Log().clear();
    form->KvxAppStyler1->SetStyle(tsOffice2007Luna);
    EXPECT_EQ(Log(), (TLog{"p1=tsOffice2007Luna", "p2=tsOffice2007Luna", "KvxFormStyler1:change",
                           "KvxAppStyler1:change"}));
    form->Free();
}

TEST_F(KvxAppStylerTest, LayoutWithStylersLoadsSavesAndComparesEqual) {
    RegisterFormResource("TfmStyled", kStyledLayout);
    // tsOffice2003Blue is ordinal 0 and still written; tsCustom is the stream default and left out.
    for (TKVXStyle style : {tsWhidbey, tsOffice2003Blue, tsCustom, tsOffice2007Silver}) {
        SCOPED_TRACE(kKVXStyleNames[style]);
        auto* form = NewForm<TfmStyled>(Application);
        form->KvxAppStyler1->SetStyle(style);
        ASSERT_EQ(form->KvxFormStyler1->Style(), style);
        const std::string text = WriteComponentToText(form);
        EXPECT_NE(text.find("AppStyle = KvxAppStyler1"), std::string::npos) << text;
        EXPECT_NE(text.find("AutoThemeAdapt = False"), std::string::npos) << text;
        EXPECT_NE(text.find("Version = '1.2.0.1'"), std::string::npos) << text;
        EXPECT_NE(text.find("OnApplyStyle = StylerApplyStyle"), std::string::npos) << text;
        EXPECT_EQ(text.find(std::string("Style = ") + kKVXStyleNames[style]) != std::string::npos,
                  style != tsCustom)
            << text;
        form->Free();

        auto* back = new TfmStyled(Application);
        ReadComponentFromText(text, back);
        EXPECT_EQ(back->KvxAppStyler1->Style(), style);
        EXPECT_EQ(back->KvxFormStyler1->Style(), style);
        EXPECT_EQ(back->KvxFormStyler1->AppStyle(), back->KvxAppStyler1);
        EXPECT_EQ(back->KvxAppStyler1->FormStylerCount(), 1);
        EXPECT_EQ(WriteComponentToText(back), text);
        back->Free();
    }
}

TEST_F(KvxAppStylerTest, LayoutNamesTheApplicationStylerOfAnotherForm) {
    RegisterFormResource("TfmStyled", kStyledLayout);
    RegisterFormResource("TfmFollower", R"(object fmFollower: TfmFollower
  object KvxFormStyler1: TKvxFormStyler
    AutoThemeAdapt = False
    Style = tsOffice2007Luna
    AppStyle = fmStyled.KvxAppStyler1
  end
  object f1: TStyledProbe
  end
end
)");
    auto* about = NewForm<TfmStyled>(Application);
    Log().clear();
    auto* follower = NewForm<TfmFollower>(Application);
    EXPECT_EQ(follower->KvxFormStyler1->AppStyle(), about->KvxAppStyler1);
    EXPECT_EQ(about->KvxAppStyler1->FormStylerCount(), 2);
    EXPECT_EQ(Log(), TLog{"f1=tsWhidbey"}) << "the application's style wins over the one in the layout";
    const std::string text = WriteComponentToText(follower);
    EXPECT_NE(text.find("AppStyle = fmStyled.KvxAppStyler1"), std::string::npos) << text;

    about->Free();
    EXPECT_EQ(follower->KvxFormStyler1->AppStyle(), nullptr);
    EXPECT_EQ(follower->KvxFormStyler1->Style(), tsWhidbey);
    follower->Free();
}

TEST_F(KvxAppStylerTest, VersionReadsOneTwoZeroOneAndIgnoresWrites) {
    TKvxAppStyler app(nullptr);
    TKvxFormStyler form(nullptr);
    for (TComponent* c : std::initializer_list<TComponent*>{&app, &form}) {
        SetStrProp(c, "Version", "9.9.9.9");
        EXPECT_EQ(GetStrProp(c, "Version"), "1.2.0.1") << c->ClassName();
    }
}

TEST_F(KvxAppStylerTest, AssignTakesOnlyStylersOfItsOwnKind) {
    TKvxAppStyler source(nullptr), app(nullptr);
    source.SetStyle(tsOffice2007Obsidian);
    source.SetAutoThemeAdapt(false);
    TKvxFormStyler follower(nullptr), form(nullptr);
    follower.SetAppStyle(&app);
    app.Assign(&source);
    EXPECT_EQ(app.Style(), tsOffice2007Obsidian);
    EXPECT_EQ(follower.Style(), tsOffice2007Obsidian) << "assigned through the setter, which pushes";
    form.Assign(&follower);
    EXPECT_EQ(form.Style(), tsOffice2007Obsidian);
    EXPECT_EQ(form.AppStyle(), nullptr) << "the application styler is not part of the copy";
    // Another kind of source is ignored, without an error.
    app.Assign(&form);
    form.Assign(&source);
    EXPECT_EQ(app.Style(), tsOffice2007Obsidian);
}

TEST_F(KvxAppStylerTest, WithoutARecognisedColourSchemeAutoThemeAdaptPicksTheClassicLook) {
    const TSystemVersion savedVersion = GetSystemVersion();
    const bool savedStyles = VisualStylesEnabled();
    ScopeGuard restore([&] {
        SetSystemVersion(savedVersion);
        SetVisualStylesEnabled(savedStyles);
    });
    const struct {
        TSystemVersion Version;
        bool VisualStyles;
        bool XPOrLater;
    } systems[] = {
        {{5, 0, 2195}, false, false}, {{5, 1, 2600}, true, true},    {{5, 2, 3790}, false, true},
        {{6, 0, 6000}, true, true},   {{10, 0, 19045}, false, true}, {{4, 90, 3000}, true, false},
    };
    for (const auto& sys : systems) {
        SCOPED_TRACE(std::to_string(sys.Version.Major) + "." + std::to_string(sys.Version.Minor));
        SetSystemVersion(sys.Version);
        SetVisualStylesEnabled(sys.VisualStyles);
        EXPECT_EQ(IsWindowsXPOrLater(), sys.XPOrLater);
        EXPECT_EQ(DetectXPColorScheme(), 0);

        TKvxAppStyler app(nullptr);
        TKvxFormStyler form(nullptr);
        form.SetAppStyle(&app);
        app.SetStyle(tsWhidbey);
        app.SetAutoThemeAdapt(true);
        EXPECT_EQ(app.Style(), tsOffice2003Classic);
        EXPECT_EQ(form.Style(), tsOffice2003Classic);
    }
}

TEST_F(KvxAppStylerTest, NotifierWindowTurnsAThemeChangeIntoTheAutomaticStyle) {
    ASSERT_EQ(Application->MainForm(), nullptr);
    auto* early = new TKvxAppStyler(nullptr);
    ASSERT_NE(early->NotifierWindow(), nullptr);
    EXPECT_EQ(early->NotifierWindow()->Parent(), nullptr) << "no main form yet: the window never hears";

    TForm* main = NewForm<TForm>(Application);
    Application->SetMainForm(main);
    auto* app = new TKvxAppStyler(nullptr);
    EXPECT_EQ(app->NotifierWindow()->Parent(), main);
    // A form styler's window goes to the first windowed control up its owner chain.
    auto* frame = new TFrame(main);
    auto* onFrame = new TKvxFormStyler(frame);
    auto* loose = new TKvxFormStyler(nullptr);
    EXPECT_EQ(onFrame->NotifierWindow()->Parent(), frame);
    EXPECT_EQ(loose->NotifierWindow()->Parent(), nullptr);

    const struct {
        bool AutoThemeAdapt;
        TKVXStyle After;
    } cases[] = {{false, tsOffice2007Luna}, {true, tsOffice2003Classic}};
    for (const auto& c : cases) {
        onFrame->SetAutoThemeAdapt(c.AutoThemeAdapt);
        onFrame->SetStyle(tsOffice2007Luna);
        onFrame->NotifierWindow()->Perform(WM_THEMECHANGED, 0, 0);
        EXPECT_EQ(onFrame->Style(), c.After) << c.AutoThemeAdapt;
    }

    // The main form takes the application styler's window with it; the styler lives on without it.
    main->Free();
    EXPECT_EQ(app->NotifierWindow(), nullptr);
    app->SetAutoThemeAdapt(true);
    EXPECT_EQ(app->Style(), tsOffice2003Classic);
    for (TComponent* c : std::initializer_list<TComponent*>{early, app, loose})
        c->Free();
}
