#include "platform/rtl/FormText.h"

#include <fstream>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>

#include "StreamFamily.h"
#include "platform/rtl/ComponentStream.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringUtils.h"

using namespace plat;
using namespace family;

namespace {

std::string Fixture(const char* name) {
    std::ifstream in(std::string(LUMETRA_TEST_DATA) + "/rtl/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class FormTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterFamily();
        gLoaded.clear();
    }
    std::unique_ptr<TComponent> Read(const std::string& text, TComponent* root = nullptr) {
        return std::unique_ptr<TComponent>(ReadComponentFromText(text, root));
    }
    // The message of the exception the text raises, checked to be of class E.
    template <class E> std::string ErrorOf(const std::string& text) {
        try {
            TTestForm form(nullptr);
            ReadComponentFromText(text, &form);
        } catch (const E& e) {
            return e.what();
        } catch (const std::exception& e) {
            return std::string("wrong class: ") + e.what();
        }
        return "no error";
    }
};

TEST_F(FormTextTest, ReadsEveryKindResolvesReferencesAndCallsLoadedInOrder) {
    auto root = Read(Fixture("test_form.txt"));
    auto* form = dynamic_cast<TTestForm*>(root.get());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Name(), "fmTest");
    ASSERT_EQ(form->ComponentCount(), 3);

    TWidget* ok = form->btn_ok;
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok, form->FindComponent("btn_ok"));
    EXPECT_EQ(ok->Width(), 80);
    EXPECT_EQ(ok->Big, 5000000000LL);
    EXPECT_EQ(ok->Ratio, 1.25);
    EXPECT_EQ(ok->Caption, "It's\r\nok");
    EXPECT_FALSE(ok->Visible);
    EXPECT_EQ(ok->Shape, stCircle);
    EXPECT_EQ(ok->Sides, (1u << sdLeft) | (1u << sdBottom));
    EXPECT_EQ(ok->Color, clRed);
    EXPECT_EQ(ok->Accel, 'K');
    EXPECT_EQ(ok->Pen()->Width(), 3);
    EXPECT_EQ(ok->Pen()->Color(), 12345);
    ASSERT_EQ(ok->Marks()->Count(), 2);
    EXPECT_EQ(static_cast<TMark*>(ok->Marks()->Items(0))->Text, "first");
    EXPECT_EQ(static_cast<TMark*>(ok->Marks()->Items(0))->Value, 0.5);
    EXPECT_EQ(static_cast<TMark*>(ok->Marks()->Items(1))->Shape, stTriangle);
    EXPECT_EQ(ok->Data, (std::vector<uint8_t>{0x00, 0xFF, 0x10}));
    EXPECT_EQ(ok->Extra, (std::vector<std::string>{"a", "b c"}));

    auto* panel = dynamic_cast<TPanelWidget*>(form->FindComponent("panel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(ok->Buddy(), panel); // a reference to a component read later
    EXPECT_EQ(panel->Tag(), 7);
    EXPECT_EQ(panel->Width(), 64);
    auto* inner = dynamic_cast<TWidget*>(form->FindComponent("inner"));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->Owner(), form);
    EXPECT_EQ(inner->ParentComp, panel);
    EXPECT_EQ(panel->ParentComp, form);
    EXPECT_EQ(inner->Ratio, -2.0);

    // Events call the form's methods.
    ASSERT_TRUE(ok->OnClick);
    ok->OnClick(ok);
    EXPECT_EQ(form->Clicks, (std::vector<TObject*>{ok}));
    int measured = 0;
    ok->OnMeasure(ok, measured);
    EXPECT_EQ(measured, 42);

    EXPECT_EQ(gLoaded, (std::vector<std::string>{"fmTest", "btn_ok->panel", "panel", "inner"}));
    for (int i = 0; i < form->ComponentCount(); ++i)
        EXPECT_EQ(form->Components(i)->ComponentState() & (csLoading | csReading | csFixups), 0u);
}

TEST_F(FormTextTest, WritesOnlyWhatDiffersFromTheDefaults) {
    const std::string text = Fixture("test_form.txt");
    auto root = Read(text);
    auto* ok = static_cast<TTestForm*>(root.get())->btn_ok;
    ok->Secret = 99; // not stored
    {
        // Numbers in the text never follow the locale.
        TScopedFormatSettings locale;
        FormatSettings().DecimalSeparator = ',';
        EXPECT_EQ(WriteComponentToText(root.get()), text);
    }
    TTestForm empty(nullptr);
    empty.SetName("f");
    TWidget* w = new TWidget(&empty);
    w->SetName("w");
    w->SetParentComponent(&empty);
    new TPanelWidget(&empty); // unnamed, without parent: not a child of the form
    EXPECT_EQ(WriteComponentToText(&empty), "object f: TTestForm\n  object w: TWidget\n  end\nend\n");
    // A handler that is not a published method, and a reference outside the root, are not written.
    w->OnClick = [](TObject*) {};
    TWidget stranger(nullptr);
    stranger.SetName("stranger");
    w->SetBuddy(&stranger);
    EXPECT_EQ(WriteComponentToText(w, &empty), "object w: TWidget\nend\n");
}

TEST_F(FormTextTest, StringsSurviveQuotesControlCharactersUtf8AndLength) {
    TTestForm form(nullptr);
    form.SetName("f");
    auto* w = new TWidget(&form);
    w->SetName("w");
    w->SetParentComponent(&form);
    const std::string cases[] = {
        "'",
        "a''b",
        "tab\there\r\nnext\x01",
        "Gr\xC3\xBC\xC3\x9F"
        "e \xE2\x82\xAC",
        std::string(150, 'x') + "\xC3\xA4" + std::string(70, '\''),
        std::string("nul\0in", 6),
    };
    for (const std::string& s : cases) {
        w->Caption = s;
        w->Extra = {s, ""};
        const std::string text = WriteComponentToText(&form);
        for (char c : text)
            ASSERT_TRUE(static_cast<unsigned char>(c) >= 32 || c == '\n') << text;
        TTestForm again(nullptr);
        ReadComponentFromText(text, &again);
        auto* copy = static_cast<TWidget*>(again.FindComponent("w"));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->Caption, s) << text;
        EXPECT_EQ(copy->Extra, w->Extra) << text;
    }
    w->Caption = "tab\there\r\nnext\x01";
    EXPECT_NE(WriteComponentToText(&form).find("Caption = 'tab'#9'here'#13#10'next'#1\n"), std::string::npos);
    // Long strings continue on the next lines; a UTF-8 character is never cut.
    w->Caption = std::string(63, 'x') + "\xC3\xA4" + "y";
    EXPECT_NE(
        WriteComponentToText(&form).find("Caption = '" + std::string(63, 'x') + "' +\n      '\xC3\xA4y'\n"),
        std::string::npos);
}

TEST_F(FormTextTest, ParserAcceptsTheTextVariants) {
    // Case of keywords, hex numbers, '+' continuations, #$ codes, blank lines, CR LF and a BOM.
    const std::string text = "\xEF\xBB\xBFOBJECT fmTest: TTestForm\r\n"
                             "  object btn_ok: TWidget\r\n\r\n"
                             "    Width = $50\n"
                             "    Caption = 'a' +\n\n      'b'#$41#66\n"
                             "    Sides = []\n"
                             "    Extra = ()\n"
                             "    Data = {\n 0a 0B\n }\n"
                             "    Marks = <>\n"
                             "    Buddy = nil\n"
                             "    Ratio = 1e3\n"
                             "  End\n"
                             "end\n";
    auto root = Read(text);
    TWidget* ok = static_cast<TTestForm*>(root.get())->btn_ok;
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->Width(), 80);
    EXPECT_EQ(ok->Caption, "abAB");
    EXPECT_EQ(ok->Data, (std::vector<uint8_t>{0x0A, 0x0B}));
    EXPECT_EQ(ok->Ratio, 1000.0);
}

struct TErrorCase {
    const char* Text;
    const char* Message;
};

TEST_F(FormTextTest, ErrorsNameTheLine) {
    const TErrorCase parseErrors[] = {
        {"objct f: TTestForm\nend\n", "Expected 'object' but found 'o' on line 1"},
        {"object f: TTestForm\n  Caption 'x'\nend\n", "Expected '=' but found ''' on line 2"},
        {"object f: TTestForm\n  A = 1\n  B = 'abc\nend\n", "Unterminated string on line 3"},
        {"object f: TTestForm\n\n  Width = 12x\nend\n", "Invalid number '12x' on line 3"},
        {"object f: TTestForm\n  Width = 99999999999999999999\nend\n",
         "Number too large '99999999999999999999' on line 2"},
        {"object f: TTestForm\n  Data = {0A1}\nend\n", "Invalid binary value on line 2"},
        {"object f: TTestForm\n  Data = {0G}\nend\n", "Invalid binary value on line 2"},
        {"object f: TTestForm\n  S = #55296\nend\n", "Invalid character code on line 2"},
        {"object f: TTestForm\n  S = [a b]\nend\n", "Expected ',' or ']' but found 'b' on line 2"},
        {"object f: TTestForm\n  L = (1\n  2\n", "Expected ')' but found the end of the text on line 4"},
        {"object f: TTestForm\n  object g: TWidget\n  end\n",
         "Expected 'end' but found the end of the text on line 4"},
        {"object f: TTestForm\nend\nend\n", "Text after the end of the object on line 3"},
        {"object f: TTestForm\n  M = <\n    itm\n  >\nend\n",
         "Expected 'item' or '>' but found 'i' on line 3"},
    };
    for (const TErrorCase& c : parseErrors)
        EXPECT_EQ(ErrorOf<EParserError>(c.Text), c.Message) << c.Text;
    // Names the binary form could not hold are refused, wherever they stand.
    const std::string longName(256, 'n');
    const std::pair<std::string, int> longNames[] = {
        {"object " + longName + ": TWidget\nend\n", 1},
        {"object f: TTestForm\n  " + longName + " = 1\nend\n", 2},
        {"object f: TTestForm\n  Shape = " + longName + "\nend\n", 2},
        {"object f: TTestForm\n  Sides = [" + longName + "]\nend\n", 2},
    };
    for (const auto& [text, line] : longNames)
        EXPECT_EQ(ErrorOf<EParserError>(text), "Name too long on line " + std::to_string(line)) << text;

    const TErrorCase readErrors[] = {
        {"object f: TTestForm\n  object w: TWidget\n    Widht = 1\n  end\nend\n",
         "Property Widht does not exist on line 3"},
        {"object f: TTestForm\n  object w: TWidget\n    Pen.Size = 1\n  end\nend\n",
         "Property Size does not exist on line 3"},
        {"object f: TTestForm\n  object w: TWidget\n\n    Shape = stSquare\n  end\nend\n",
         "Invalid value for property Shape: stSquare on line 4"},
        {"object f: TTestForm\n  object w: TWidget\n    Width = 'wide'\n  end\nend\n",
         "Invalid value for property Width: string on line 3"},
        {"object f: TTestForm\n  object w: TWidget\n    Width = 4294967296\n  end\nend\n",
         "Invalid value for property Width: integer on line 3"},
        {"object f: TTestForm\n  object w: TWidget\n    Version = '2'\n  end\nend\n",
         "Property Version is read-only on line 3"},
        {"object f: TTestForm\n  object w: TWidget\n    Marks = <\n      item\n        Txt = 'a'\n      "
         "end>\n"
         "  end\nend\n",
         "Property Txt does not exist on line 5"},
        {"object f: TTestForm\n  object w: TWidget\n    Buddy = nobody\n  end\nend\n",
         "Component nobody not found for property Buddy on line 3"},
        {"object f: TTestForm\n  object w: TWidget\n    Buddy = f\n  end\nend\n",
         "Component f is not a TWidget on line 3"},
        {"object f: TTestForm\n  object w: TWidget\n    Extra = ('a' 1)\n  end\nend\n",
         "Invalid property value on line 3"},
        {"object f: TTestForm\n  object w: TWidget\n    Data = 'abc'\n  end\nend\n",
         "Invalid value for property Data: string on line 3"},
    };
    for (const TErrorCase& c : readErrors)
        EXPECT_EQ(ErrorOf<EReadError>(c.Text), c.Message) << c.Text;

    EXPECT_EQ(ErrorOf<EClassNotFound>("object f: TTestForm\n\n  object w: TGadget\n  end\nend\n"),
              "Class TGadget not found on line 3");
    EXPECT_EQ(ErrorOf<EMethodNotFound>("object f: TTestForm\n  object w: TWidget\n    OnClick = Missing\n"
                                       "  end\nend\n"),
              "Method Missing not found in TTestForm on line 3");
    EXPECT_EQ(ErrorOf<EPropertyError>("object f: TTestForm\n  object w: TWidget\n    OnMeasure = Wrong\n"
                                      "  end\nend\n"),
              "Method Wrong does not match event OnMeasure on line 3");
    EXPECT_EQ(ErrorOf<EComponentError>("object f: TTestForm\n  object w: TWidget\n  end\n"
                                       "  object x: TWidget\n    Name = 'w'\n  end\nend\n"),
              "A component named w already exists on line 5");
    EXPECT_EQ(ErrorOf<EComponentError>("object f: TTestForm\n  object w: TWidget\n  end\n"
                                       "  object w: TWidget\n  end\nend\n"),
              "A component named w already exists on line 4");
}

TEST_F(FormTextTest, ReadsIntoAnExistingRoot) {
    TComponent app(nullptr);
    const std::string text =
        "object fmTest: TTestForm\n  object btn_ok: TWidget\n    Width = 1\n  end\nend\n";
    auto* first = new TTestForm(&app);
    ReadComponentFromText(text, first);
    auto* second = new TTestForm(&app);
    ReadComponentFromText(text, second);
    // A second instance of the same form gets a name of its own.
    EXPECT_EQ(first->Name(), "fmTest");
    EXPECT_EQ(second->Name(), "fmTest_1");
    EXPECT_NE(first->btn_ok, second->btn_ok);
    EXPECT_EQ(second->btn_ok->Owner(), second);

    // A component the root already has is filled in place.
    TWidget* existing = first->btn_ok;
    ReadComponentFromText("object fmTest: TTestForm\n  object BTN_OK: TWidget\n    Width = 5\n  end\nend\n",
                          first);
    EXPECT_EQ(first->ComponentCount(), 1);
    EXPECT_EQ(existing->Width(), 5);
    try {
        ReadComponentFromText("object fmTest: TTestForm\n  object btn_ok: TPanelWidget\n  end\nend\n", first);
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Component btn_ok is a TWidget, not a TPanelWidget on line 2");
    }

    // A failed read leaves the given root unflagged, and frees a root it created itself.
    const std::string bad = "object fmTest: TTestForm\n  object w2: TWidget\n    Width = x\n  end\nend\n";
    EXPECT_THROW(ReadComponentFromText(bad, first), EReadError);
    EXPECT_EQ(first->ComponentState() & (csLoading | csReading), 0u);
    for (int i = 0; i < first->ComponentCount(); ++i)
        EXPECT_EQ(first->Components(i)->ComponentState() & (csLoading | csReading), 0u);
    EXPECT_THROW(Read(bad), EReadError);
}

TEST_F(FormTextTest, ReferencesToAnotherRootGoByThatRootsName) {
    TTestForm other(nullptr);
    other.SetName("fmOther");
    auto* far = new TWidget(&other);
    far->SetName("btn_far");
    TTestForm stranger(nullptr);
    stranger.SetName("fmStranger");
    auto* lost = new TWidget(&stranger);
    lost->SetName("btn_lost");
    // Only fmOther is known by name.
    SetGlobalComponentFinder(
        [&](const std::string& name) -> TComponent* { return SameText(name, "fmother") ? &other : nullptr; });
    ScopeGuard forget([] { SetGlobalComponentFinder(nullptr); });

    TTestForm form(nullptr);
    form.SetName("fmTest");
    auto* near = new TWidget(&form);
    near->SetName("btn_near");
    near->ParentComp = &form;
    near->SetBuddy(far);
    const std::string text = WriteComponentToText(&form);
    EXPECT_NE(text.find("Buddy = fmOther.btn_far"), std::string::npos) << text;
    TTestForm back(nullptr);
    ReadComponentFromText(text, &back);
    ASSERT_NE(back.FindComponent("btn_near"), nullptr);
    EXPECT_EQ(static_cast<TWidget*>(back.FindComponent("btn_near"))->Buddy(), far);
    TMemoryStream binary;
    WriteComponent(binary, &form);
    binary.SetPosition(0);
    TTestForm fromBinary(nullptr);
    ReadComponentFromStream(binary, &fromBinary);
    EXPECT_EQ(static_cast<TWidget*>(fromBinary.FindComponent("btn_near"))->Buddy(), far);

    // A root the finder does not know cannot be named: such a reference is not written, and reading one
    // fails as any unknown name does.
    near->SetBuddy(lost);
    EXPECT_EQ(WriteComponentToText(&form).find("Buddy"), std::string::npos);
    EXPECT_EQ(ErrorOf<EReadError>("object fmTest: TTestForm\n  object w: TWidget\n"
                                  "    Buddy = fmStranger.btn_lost\n  end\nend\n"),
              "Component fmStranger.btn_lost not found for property Buddy on line 3");
}

TEST_F(FormTextTest, DeepNestingIsRefused) {
    std::string deep = "object f: TTestForm\n  L = ";
    for (int i = 0; i < 100000; ++i)
        deep += '(';
    EXPECT_EQ(ErrorOf<EParserError>(deep), "Nesting too deep on line 2");
    std::string objects;
    for (int i = 0; i < 100000; ++i)
        objects += "object w: TWidget\n";
    EXPECT_EQ(ErrorOf<EParserError>(objects),
              "Nesting too deep on line " + std::to_string(kMaxStreamDepth + 1));
}

TEST_F(FormTextTest, RandomAndTruncatedTextRaisesCleanly) {
    const std::string valid = Fixture("test_form.txt");
    uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFF;
    };
    const char noise[] = "=()[]<>{}'#$+-.,:0123456789 \nobjectendiemAZ\x80\xff";
    for (int round = 0; round < 2000; ++round) {
        std::string text = valid;
        if (round % 4 == 0) {
            text.resize(next() % text.size());
        } else {
            for (unsigned n = next() % 4 + 1; n > 0; --n)
                text[next() % text.size()] = noise[next() % (sizeof noise - 1)];
        }
        try {
            Read(text);
        } catch (const Exception&) {
        }
    }
}

} // namespace
