#include "platform/rtl/StringList.h"

#include <functional>
#include <random>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/Stream.h"

using namespace plat;

namespace {

using Lines = std::vector<std::string>;

Lines Of(const TStrings& list) {
    Lines lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(list[i]);
    return lines;
}

void Fill(TStrings& list, const Lines& lines) {
    list.Clear();
    for (const std::string& s : lines)
        list.Add(s);
}

// Counts its own destruction, to check which list frees what.
struct TCounted : TObject {
    explicit TCounted(int& deaths) : FDeaths(deaths) {}
    ~TCounted() override { ++FDeaths; }
    int& FDeaths;
};

std::string ErrorOf(const std::function<void()>& op) {
    try {
        op();
    } catch (const EStringListError& e) {
        return e.Message();
    }
    return "(no error)";
}

// A component with a list of lines, like a memo.
class TLinesHolder : public TComponent {
    PLAT_CLASS(TLinesHolder)
public:
    explicit TLinesHolder(TComponent* owner) : TComponent(owner) {}
    TStringList* Lines() const { return FLines.get(); }

private:
    std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
};

PLAT_CLASS_INFO(TLinesHolder, TComponent)
PLAT_PROPERTIES(TLinesHolder) {
    props.Object("Lines", &TLinesHolder::Lines);
}

} // namespace

TEST(TStringList, SortedInsertionWithEachDuplicatesMode) {
    const struct {
        TDuplicates dup;
        bool caseSensitive;
        Lines expected;
    } cases[] = {
        {dupIgnore, false, {"apple", "b", "Cherry"}},
        {dupAccept, false, {"apple", "Apple", "b", "Cherry", "cherry", "cherry"}},
        {dupIgnore, true, {"Apple", "Cherry", "apple", "b", "cherry"}},
        {dupAccept, true, {"Apple", "Cherry", "apple", "b", "cherry", "cherry"}},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetDuplicates(c.dup);
        list.SetCaseSensitive(c.caseSensitive);
        list.SetSorted(true);
        for (const char* s : {"Cherry", "apple", "b", "Apple", "cherry", "cherry"})
            list.Add(s);
        EXPECT_EQ(Of(list), c.expected) << c.dup << " " << c.caseSensitive;
    }

    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupError);
    list.Add("one");
    EXPECT_EQ(ErrorOf([&] { list.Add("ONE"); }), "String list does not allow duplicates");
    EXPECT_EQ(Of(list), Lines{"one"});
    list.SetDuplicates(dupIgnore);
    EXPECT_EQ(list.Add("ONE"), 0);
}

TEST(TStringList, CaseInsensitiveForEveryLetter) {
    TStringList list;
    Fill(list, {"\xC3\x89t\xC3\xA9", "Zeta"}); // "Été"
    EXPECT_EQ(list.IndexOf("\xC3\xA9T\xC3\x89"), 0);
    list.SetSorted(true);
    EXPECT_EQ(Of(list), (Lines{"Zeta", "\xC3\x89t\xC3\xA9"}));
    EXPECT_EQ(list.IndexOf("\xC3\xA9t\xC3\xA9"), 1);
}

TEST(TStringList, FindAndIndexOfFollowCaseSensitivity) {
    TStringList list;
    Fill(list, {"delta", "Alpha", "charlie", "bravo"});
    EXPECT_EQ(list.IndexOf("ALPHA"), 1);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("ALPHA"), -1);
    list.SetSorted(true);
    EXPECT_EQ(Of(list), (Lines{"Alpha", "bravo", "charlie", "delta"}));
    int index = -1;
    EXPECT_TRUE(list.Find("charlie", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find("c", index));
    EXPECT_EQ(index, 2); // where it would go
    // Turning case sensitivity off re-sorts, so the binary search stays right.
    list.Add("ALPHA2");
    list.SetCaseSensitive(false);
    EXPECT_EQ(Of(list), (Lines{"Alpha", "ALPHA2", "bravo", "charlie", "delta"}));
    EXPECT_EQ(list.IndexOf("alpha2"), 1);
}

TEST(TStringList, ErrorsLeaveTheListAsItWas) {
    TStringList list;
    Fill(list, {"b", "a"});
    EXPECT_EQ(ErrorOf([&] { list.Get(2); }), "List index out of bounds (2)");
    EXPECT_EQ(ErrorOf([&] { list.Delete(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(ErrorOf([&] { list.Insert(3, "x"); }), "List index out of bounds (3)");
    EXPECT_EQ(ErrorOf([&] { list.Move(0, 2); }), "List index out of bounds (2)");
    EXPECT_EQ(ErrorOf([&] { list.SetValueFromIndex(5, "x"); }), "List index out of bounds (5)");

    list.SetSorted(true);
    const std::string sortedError = "Operation not allowed on sorted list";
    EXPECT_EQ(ErrorOf([&] { list.Insert(0, "c"); }), sortedError);
    EXPECT_EQ(ErrorOf([&] { list.Put(0, "z"); }), sortedError);
    EXPECT_EQ(ErrorOf([&] { list.Exchange(0, 1); }), sortedError);
    EXPECT_EQ(ErrorOf([&] { list.Move(0, 1); }), sortedError);
    EXPECT_EQ(ErrorOf([&] { list.CustomSort([](TStringList&, int, int) { return 0; }); }), sortedError);
    EXPECT_EQ(Of(list), (Lines{"a", "b"}));
}

TEST(TStringList, NameValueLines) {
    TStringList list;
    Fill(list, {"plain", "Width=10", "=empty name", "color=red=dark", "Height="});
    EXPECT_EQ(list.Names(0), "");
    EXPECT_EQ(list.ValueFromIndex(0), "");
    EXPECT_EQ(list.Names(3), "color");
    EXPECT_EQ(list.ValueFromIndex(3), "red=dark");
    EXPECT_EQ(list.Values("WIDTH"), "10");
    EXPECT_EQ(list.Values("plain"), "");
    EXPECT_EQ(list.IndexOfName("plain"), -1);
    EXPECT_EQ(list.IndexOfName(""), 2);
    EXPECT_EQ(list.IndexOfName("height"), 4);

    list.SetValues("width", "20");
    EXPECT_EQ(list[1], "width=20");
    list.SetValues("Depth", "3");
    EXPECT_EQ(list[5], "Depth=3");
    list.SetValues("COLOR", "");
    EXPECT_EQ(list.IndexOfName("color"), -1);
    list.SetValues("missing", "");
    list.SetValueFromIndex(0, "v");
    EXPECT_EQ(list[0], "=v");
    EXPECT_EQ(Of(list), (Lines{"=v", "width=20", "=empty name", "Height=", "Depth=3"}));

    list.SetNameValueSeparator(':');
    list.Add("key:value");
    EXPECT_EQ(list.Values("KEY"), "value");
    EXPECT_EQ(list.Values("width"), "");
}

TEST(TStringList, CommaTextWritesAndReadsBack) {
    const struct {
        Lines lines;
        std::string text;
    } cases[] = {
        {{}, ""},
        {{"a", "b"}, "a,b"},
        {{"two words", "x"}, "\"two words\",x"},
        {{"a,b"}, "\"a,b\""},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
        {{""}, "\"\""},
        {{"a", ""}, "a,"},
        {{"", "a"}, ",a"},
        {{"", ""}, ","},
        {{"a", "", "b"}, "a,,b"},
        {{" lead", "tab\there"}, "\" lead\",\"tab\there\""},
        {{"caf\xC3\xA9"}, "caf\xC3\xA9"},
    };
    for (const auto& c : cases) {
        TStringList list;
        Fill(list, c.lines);
        EXPECT_EQ(list.CommaText(), c.text);
        TStringList back;
        back.SetCommaText(c.text);
        EXPECT_EQ(Of(back), c.lines) << c.text;
    }
}

TEST(TStringList, CommaTextReadsLooseInput) {
    const struct {
        std::string text;
        Lines lines;
    } cases[] = {
        {"a b, c", {"a", "b", "c"}},
        {"  a ,  b  ", {"a", "b"}},
        {"\"a b\"c", {"a b", "c"}},
        {"\"open ended", {"open ended"}},
        {"x,\"\"", {"x", ""}},
        {",", {"", ""}},
        {"   ", {}},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetCommaText(c.text);
        EXPECT_EQ(Of(list), c.lines) << c.text;
    }
}

TEST(TStringList, DelimitedTextWithOwnDelimiterAndStrictMode) {
    TStringList list;
    list.SetDelimiter(';');
    list.SetQuoteChar('\'');
    list.SetDelimitedText("a b;'c;d';e");
    EXPECT_EQ(Of(list), (Lines{"a", "b", "c;d", "e"}));
    list.SetStrictDelimiter(true);
    list.SetDelimitedText(" a b ;'c;d';");
    EXPECT_EQ(Of(list), (Lines{" a b ", "c;d", ""}));
    EXPECT_EQ(list.DelimitedText(), " a b ;'c;d';");
    // CommaText keeps to ',' and '"' whatever the list's own delimiter is.
    EXPECT_EQ(list.CommaText(), " a b ,c;d,");
    EXPECT_EQ(list.Delimiter(), ';');
}

TEST(TStringList, TextSplitsOnEveryLineEnd) {
    const struct {
        std::string text;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"\n\r", {"", ""}},
        {"last without break", {"last without break"}},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetText(c.text);
        EXPECT_EQ(Of(list), c.lines) << testing::PrintToString(c.text);
    }
    TStringList list;
    Fill(list, {"a", "", "b"});
    EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
    list.SetLineBreak("\n");
    EXPECT_EQ(list.Text(), "a\n\nb\n");
}

TEST(TStringList, OwnedObjectsAreFreedOnceAndCarriedAlong) {
    int deaths = 0;
    {
        TStringList list(true);
        auto* a = new TCounted(deaths);
        auto* b = new TCounted(deaths);
        list.AddObject("a", a);
        list.AddObject("b", b);
        list.AddObject("c", new TCounted(deaths));
        list.AddObject("d", new TCounted(deaths));
        list.Exchange(0, 1);
        EXPECT_EQ(list.Objects(0), b);
        list.SetSorted(true);
        EXPECT_EQ(list.Objects(0), a);
        EXPECT_EQ(list.IndexOfObject(b), 1);
        list.Delete(0);
        EXPECT_EQ(deaths, 1);
        list.SetObjects(0, b); // the same object again: kept
        EXPECT_EQ(deaths, 1);
        list.SetObjects(0, new TCounted(deaths));
        EXPECT_EQ(deaths, 2);
        list.Clear();
        EXPECT_EQ(deaths, 5);
        list.AddObject("e", new TCounted(deaths));
    }
    EXPECT_EQ(deaths, 6);

    TCounted keep(deaths);
    {
        TStringList list;
        list.AddObject("x", &keep);
    }
    EXPECT_EQ(deaths, 6);
}

TEST(TStringList, UpdatesBatchChangeNotifications) {
    TStringList list;
    int changes = 0, changings = 0;
    list.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        ++changes;
    };
    list.OnChanging = [&](TObject*) { ++changings; };
    list.Add("a");
    list.Add("b");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(changings, 2);

    changes = changings = 0;
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("c");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(changes, 0);
    list.EndUpdate();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(changings, 1);
    list.EndUpdate(); // unmatched: ignored
    EXPECT_EQ(list.UpdateCount(), 0);

    changes = 0;
    list.SetText("x\ny\nz");
    list.SetCommaText("p,q");
    EXPECT_EQ(changes, 2);
}

TEST(TStringList, AssignAddStringsEqualsAndCustomSort) {
    TStringList source;
    source.SetNameValueSeparator(':');
    Fill(source, {"ccc", "a", "bb", "dd"});
    TStringList copy;
    copy.Add("old");
    copy.Assign(source);
    EXPECT_TRUE(copy.Equals(source));
    EXPECT_EQ(copy.NameValueSeparator(), ':');
    copy.AddStrings(copy);
    EXPECT_EQ(copy.Count(), 8);
    EXPECT_FALSE(copy.Equals(source));
    TPersistent* asPersistent = &source;
    copy.Assign(asPersistent);
    EXPECT_TRUE(copy.Equals(source));
    TPersistent other;
    EXPECT_THROW(copy.Assign(&other), EConvertError);

    source.CustomSort([](TStringList& list, int i, int j) {
        return static_cast<int>(list[i].size()) - static_cast<int>(list[j].size());
    });
    EXPECT_EQ(Of(source), (Lines{"a", "bb", "dd", "ccc"}));
    source.Sort();
    EXPECT_EQ(Of(source), (Lines{"a", "bb", "ccc", "dd"}));
}

TEST(TStringList, StreamsAsTheStringsProperty) {
    TLinesHolder holder(nullptr);
    holder.SetName("Memo1");
    const std::string emptyText = WriteComponentToText(&holder);
    EXPECT_EQ(emptyText.find("Strings"), std::string::npos) << emptyText;

    Fill(*holder.Lines(), {"first", "it's", "", "caf\xC3\xA9"});
    const std::string text = WriteComponentToText(&holder);
    EXPECT_NE(text.find("Lines.Strings = ("), std::string::npos) << text;

    TLinesHolder back(nullptr);
    back.Lines()->Add("stale");
    ReadComponentFromText(text, &back);
    EXPECT_EQ(Of(*back.Lines()), (Lines{"first", "it's", "", "caf\xC3\xA9"}));
}

class TStringListFiles : public TempFolderTest {};

TEST_F(TStringListFiles, LoadAcceptsAnyLineEndAndSaveWritesCrLf) {
    WriteFileAtomically(Path("in.txt"), std::string("\xEF\xBB\xBFone\r\ntwo\nthree\rfour"));
    TStringList list;
    list.LoadFromFile(Path("in.txt"));
    EXPECT_EQ(Of(list), (Lines{"one", "two", "three", "four"}));
    list.SaveToFile(Path("out.txt"));
    EXPECT_EQ(ReadAllText(Path("out.txt")), "one\r\ntwo\r\nthree\r\nfour\r\n");

    EXPECT_THROW(list.LoadFromFile(Path("missing.txt")), EFOpenError);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_THROW(list.SaveToFile(Path("no/such/folder.txt")), EFCreateError);

    TStringStream stream("skip|a\nb");
    stream.SetPosition(5);
    list.LoadFromStream(stream);
    EXPECT_EQ(Of(list), (Lines{"a", "b"}));
    TStringStream out;
    list.SaveToStream(out);
    EXPECT_EQ(out.DataString(), "a\r\nb\r\n");
}

TEST(THashedStringList, AgreesWithPlainListUnderRandomEdits) {
    const Lines pool = {"alpha", "ALPHA", "beta", "key=1", "KEY=2", "k:v", "K:w", "=x", "",
                        "gamma=", "\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9=summer",
                        "Beta",
                        // Not UTF-8: a stray byte compares equal to the letter of the same value.
                        "\xE3", "\xC3\xA3", "\xC3\x83=1", "\xE3=2"};
    const Lines names = {
        "alpha", "key",  "KEY",     "k", "", "gamma", "\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89",
        "zz",    "\xE3", "\xC3\xA3"};
    std::mt19937 rng(12345);
    auto pick = [&](size_t n) { return static_cast<int>(rng() % n); };
    THashedStringList hashed;
    TStringList plain;
    for (int step = 0; step < 3000; ++step) {
        const int op = pick(12);
        const std::string s = pool[static_cast<size_t>(pick(pool.size()))];
        auto both = [&](const std::function<void(TStringList&)>& f) {
            f(hashed);
            f(plain);
        };
        const int count = plain.Count();
        if (op <= 2) {
            both([&](TStringList& l) { l.Add(s); });
        } else if (op == 3 && count > 0) {
            const int i = pick(static_cast<size_t>(count));
            both([&](TStringList& l) { l.Delete(i); });
        } else if (op == 4 && !plain.Sorted()) {
            const int i = pick(static_cast<size_t>(count) + 1);
            both([&](TStringList& l) { l.Insert(i, s); });
        } else if (op == 5 && count > 0 && !plain.Sorted()) {
            const int i = pick(static_cast<size_t>(count));
            both([&](TStringList& l) { l.Put(i, s); });
        } else if (op == 6 && count > 1 && !plain.Sorted()) {
            const int i = pick(static_cast<size_t>(count)), j = pick(static_cast<size_t>(count));
            both([&](TStringList& l) { l.Exchange(i, j); });
        } else if (op == 7 && !plain.Sorted()) {
            const std::string name = names[static_cast<size_t>(pick(names.size()))];
            const std::string value = pick(3) == 0 ? std::string() : s;
            both([&](TStringList& l) { l.SetValues(name, value); });
        } else if (op == 8) {
            const bool cs = pick(2) == 0;
            both([&](TStringList& l) { l.SetCaseSensitive(cs); });
        } else if (op == 9) {
            const char sep = pick(2) == 0 ? '=' : ':';
            both([&](TStringList& l) { l.SetNameValueSeparator(sep); });
        } else if (op == 10) {
            const bool sorted = pick(4) == 0;
            both([&](TStringList& l) { l.SetSorted(sorted); });
            if (sorted)
                both([&](TStringList& l) { l.SetDuplicates(dupAccept); });
        } else if (op == 11 && count > 30) {
            both([&](TStringList& l) { l.Clear(); });
        } else {
            // Edits inside an update must reach the hash index too.
            both([&](TStringList& l) {
                l.BeginUpdate();
                l.IndexOf(s);
                l.Add(s);
            });
            EXPECT_EQ(hashed.IndexOf(s), plain.IndexOf(s));
            both([&](TStringList& l) { l.EndUpdate(); });
        }
        ASSERT_EQ(Of(hashed), Of(plain)) << "step " << step;
        for (const std::string& probe : pool)
            ASSERT_EQ(hashed.IndexOf(probe), plain.IndexOf(probe)) << "step " << step << " " << probe;
        for (const std::string& name : names)
            ASSERT_EQ(hashed.IndexOfName(name), plain.IndexOfName(name)) << "step " << step << " " << name;
    }
}
