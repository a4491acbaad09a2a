#include "platform/rtl/Resources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

using namespace plat;

namespace {

const std::string ResourceDir = std::string(LUMETRA_TEST_DATA) + "/../../resources/";

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Resources, HandCursorIsFoundByNameAndById) {
    const TEmbeddedResource* byName = FindResource("PLOT_CURSOR_HAND", RT_CURSOR);
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(FindResource(2020, RT_CURSOR), byName);
    EXPECT_EQ(FindResource("plot_Cursor_hand", "cursor"), byName);
    EXPECT_EQ(byName->Id, 2020);
    EXPECT_GT(byName->Size, 0u);
    EXPECT_TRUE(ResourceExists("PLOT_CURSOR_HAND", RT_CURSOR));
    EXPECT_TRUE(ResourceExists(2020, RT_CURSOR));

    TResourceStream byId(2020, RT_CURSOR);
    EXPECT_EQ(byId.Memory(), byName->Data);
    EXPECT_EQ(byId.Size(), static_cast<int64_t>(byName->Size));
}

TEST(Resources, MissingResourcesAreNotFoundAndTheStreamNamesThem) {
    struct Case {
        std::string Name;
        const char* Type;
    };
    const Case byName[] = {
        {"NO_SUCH_RESOURCE", RT_CURSOR},
        {"PLOT_CURSOR_HAND", RT_BITMAP}, // right name, wrong type
        {"PLOT_CURSOR_HAND ", RT_CURSOR},
        {std::string("PLOT_CURSOR_HAND\0X", 18), RT_CURSOR},
        {"", RT_CURSOR},
        {"PLOT_CURSOR_HAND", nullptr},
    };
    for (const Case& c : byName) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(FindResource(c.Name, c.Type), nullptr);
        EXPECT_FALSE(ResourceExists(c.Name, c.Type));
        EXPECT_THROW(TResourceStream(c.Name, c.Type), EResNotFound);
    }
    for (int id : {0, -2020, 2021, 2020 + 65536}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(FindResource(id, RT_CURSOR), nullptr);
        EXPECT_THROW(TResourceStream(id, RT_CURSOR), EResNotFound);
    }
    EXPECT_EQ(FindResource(2020, RT_BITMAP), nullptr);

    try {
        TResourceStream s("NO_SUCH_RESOURCE", RT_BITMAP);
        FAIL() << "no exception";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Resource NO_SUCH_RESOURCE not found");
        EXPECT_STREQ(e.ClassName(), "EResNotFound");
    }
    try {
        TResourceStream s(4711, RT_RCDATA);
        FAIL() << "no exception";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Resource 4711 not found");
    }
}

// Every line of the list is in the program, byte for byte: the build's embedding loses nothing.
TEST(Resources, EveryListedResourceHoldsItsFileExactly) {
    std::ifstream list(ResourceDir + "resources.list");
    ASSERT_TRUE(list) << "cannot read the resource list";
    size_t listed = 0;
    std::string line;
    while (std::getline(list, line)) {
        std::istringstream fields(line);
        std::string type, name, id, path;
        if (!(fields >> type >> name >> id >> path) || type[0] == '#')
            continue;
        ++listed;
        SCOPED_TRACE(type + " " + name);
        const TEmbeddedResource* r = FindResource(name, type.c_str());
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->Id, id == "-" ? 0 : std::stoi(id));
        if (id != "-") {
            EXPECT_EQ(FindResource(std::stoi(id), type.c_str()), r);
        }
        std::vector<uint8_t> file = ReadFile(ResourceDir + path);
        ASSERT_FALSE(file.empty());
        EXPECT_TRUE(std::vector<uint8_t>(r->Bytes().begin(), r->Bytes().end()) == file);
    }
    EXPECT_EQ(EmbeddedResourceCount, listed);
}

TEST(Resources, StreamReadsSeeksAndRefusesToWrite) {
    const TEmbeddedResource* r = FindResource("PLOT_CURSOR_HAND", RT_CURSOR);
    ASSERT_NE(r, nullptr);
    TResourceStream s("PLOT_CURSOR_HAND", RT_CURSOR);
    const int64_t size = s.Size();

    TMemoryStream copy;
    EXPECT_EQ(copy.CopyFrom(s, 0), size);
    EXPECT_TRUE(copy.Bytes() == std::vector<uint8_t>(r->Data, r->Data + r->Size));

    uint8_t last[4] = {};
    EXPECT_EQ(s.Seek(-4, soEnd), size - 4);
    EXPECT_EQ(s.Read(last, 10), 4);
    EXPECT_EQ(0, std::memcmp(last, r->Data + size - 4, 4));
    EXPECT_EQ(s.Read(last, 1), 0);
    s.SetPosition(size + 100);
    EXPECT_EQ(s.Read(last, 1), 0);
    EXPECT_EQ(s.Position(), size + 100);
    s.SetPosition(2);
    EXPECT_THROW(s.Seek(-3, soCurrent), EStreamError);
    EXPECT_EQ(s.Position(), 2);

    EXPECT_THROW(s.Write(last, 1), EStreamError);
    EXPECT_THROW(s.WriteBuffer(last, 1), EStreamError);
    EXPECT_THROW(s.SetSize(0), EStreamError);
    EXPECT_EQ(s.Size(), size);
}

} // namespace
