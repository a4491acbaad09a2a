// Build step: reads the resource list and writes one C++ source holding every listed file's bytes and
// the table the program looks resources up in (platform/rtl/ResourceTable.h).
//
//   EmbedResources <resources.list> <output.cpp> [<depfile>]
//
// Each line of the list is "TYPE NAME ID PATH": ID is a number from 1 to 65535 or "-" for none, PATH is
// relative to the list's folder; '#' starts a comment line. Mistakes stop the build with the line named.
// The bytes go out as string literals, which compilers swallow far faster than lists of numbers.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const KnownTypes[] = {"BITMAP", "CURSOR", "ICON", "PNG", "RCDATA", "FORM", "STRING"};

struct TEntry {
    std::string Type, Name, Path;
    int Id = 0;
    int Line = 0;
};

[[noreturn]] void Fail(const std::string& where, const std::string& why) {
    std::cerr << where << ": error: " << why << "\n";
    std::exit(1);
}

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::vector<TEntry> ReadList(const fs::path& list) {
    std::ifstream in(list);
    if (!in)
        Fail(list.string(), "cannot read the resource list");
    std::vector<TEntry> entries;
    std::set<std::pair<std::string, std::string>> names;
    std::set<std::pair<std::string, int>> ids;
    std::string text;
    for (int lineNo = 1; std::getline(in, text); ++lineNo) {
        std::string where = list.string() + ":" + std::to_string(lineNo);
        text = Trim(text);
        if (text.empty() || text[0] == '#')
            continue;
        std::istringstream fields(text);
        TEntry e;
        std::string id;
        fields >> e.Type >> e.Name >> id;
        std::getline(fields, e.Path);
        e.Path = Trim(e.Path);
        e.Line = lineNo;
        if (e.Path.empty())
            Fail(where, "expected \"TYPE NAME ID PATH\"");
        e.Type = Upper(e.Type);
        if (std::find(std::begin(KnownTypes), std::end(KnownTypes), e.Type) == std::end(KnownTypes))
            Fail(where, "unknown resource type " + e.Type);
        for (char c : e.Name)
            if (static_cast<unsigned char>(c) < 0x21 || static_cast<unsigned char>(c) > 0x7E)
                Fail(where, "resource names are printable ASCII without blanks");
        if (id != "-") {
            if (id.empty() || id.size() > 5 ||
                !std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; }))
                Fail(where, "the id must be a number from 1 to 65535 or \"-\"");
            e.Id = std::stoi(id);
            if (e.Id < 1 || e.Id > 65535)
                Fail(where, "the id must be a number from 1 to 65535 or \"-\"");
            if (!ids.insert({e.Type, e.Id}).second)
                Fail(where, "a second " + e.Type + " resource with the id " + id);
        }
        // Names are found without regard to case, so two that differ only in case would shadow each other.
        if (!names.insert({e.Type, Upper(e.Name)}).second)
            Fail(where, "a second " + e.Type + " resource named " + e.Name);
        entries.push_back(std::move(e));
    }
    return entries;
}

std::string ReadFile(const fs::path& path, const std::string& where) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        Fail(where, "cannot read " + path.string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        Fail(where, "cannot read " + path.string());
    return bytes.str();
}

// The bytes as the inside of a C++ string literal. Every escape is a full three-digit octal one, so a
// digit that follows can never be taken into it; '?' is escaped too, which keeps trigraph-era compilers
// quiet.
std::string Escape(std::string_view bytes) {
    static const char* const Octal = "01234567";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
            out += static_cast<char>(c);
        } else {
            out += '\\';
            out += Octal[(c >> 6) & 7];
            out += Octal[(c >> 3) & 7];
            out += Octal[c & 7];
        }
    }
    return out;
}

// Adjacent literals of perLine bytes each, one per line.
void WriteLiteral(std::ostream& out, const std::string& bytes, size_t perLine) {
    std::string_view all(bytes);
    if (all.empty())
        out << "    \"\"\n";
    for (size_t at = 0; at < all.size(); at += perLine)
        out << "    \"" << Escape(all.substr(at, perLine)) << "\"\n";
}

std::string DepfileEscape(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#' || c == '\\')
            out += '\\';
        else if (c == '$')
            out += '$';
        out += c;
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::cerr << "usage: EmbedResources <resources.list> <output.cpp> [<depfile>]\n";
        return 2;
    }
    const fs::path list = argv[1], output = argv[2];
    const fs::path folder = list.parent_path();
    std::vector<TEntry> entries = ReadList(list);

    std::ostringstream src;
    src << "// Written by EmbedResources from " << list.filename().string() << "; do not edit.\n"
        << "#include \"platform/rtl/ResourceTable.h\"\n\nnamespace {\n\n";
    std::vector<std::string> inputs;
    for (size_t i = 0; i < entries.size(); ++i) {
        const TEntry& e = entries[i];
        fs::path path = folder / e.Path;
        inputs.push_back(path.string());
        std::string bytes = ReadFile(path, list.string() + ":" + std::to_string(e.Line));
        src << "// " << e.Type << " " << e.Name << "\nconst unsigned char Data" << i << "[] =\n";
        WriteLiteral(src, bytes, 96);
        src << "    ;\n\n";
    }
    src << "} // namespace\n\nnamespace plat {\n\nconst TEmbeddedResource EmbeddedResources[] = {\n";
    for (size_t i = 0; i < entries.size(); ++i) {
        const TEntry& e = entries[i];
        src << "    {\"" << e.Type << "\", \"" << Escape(e.Name) << "\", " << e.Id << ", Data" << i
            << ", sizeof(Data" << i << ") - 1},\n";
    }
    if (entries.empty())
        src << "    {\"\", \"\", 0, nullptr, 0},\n";
    src << "};\n\nconst size_t EmbeddedResourceCount = " << entries.size() << ";\n\n} // namespace plat\n";

    // Written beside the target and renamed over it, so a failed run never leaves half a source behind.
    fs::path temp = output;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << src.str();
        out.close();
        if (!out)
            Fail(temp.string(), "cannot write the generated source");
    }
    std::error_code ec;
    fs::rename(temp, output, ec);
    if (ec)
        Fail(output.string(), "cannot replace the generated source: " + ec.message());

    if (argc == 4) {
        std::ofstream dep(argv[3], std::ios::trunc);
        dep << DepfileEscape(output.string()) << ":";
        for (const std::string& in : inputs)
            dep << " \\\n  " << DepfileEscape(in);
        dep << "\n";
        if (!dep)
            Fail(argv[3], "cannot write the dependency file");
    }
    return 0;
}
