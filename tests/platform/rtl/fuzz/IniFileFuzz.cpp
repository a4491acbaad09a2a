// libFuzzer target for the INI reader. Any bytes are parsed and every lookup is made; the text the
// document writes must parse into the same sections and values, and a value written into it must read
// back unchanged. The same bytes are also read through TIniFile from a temporary file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/rtl/Exception.h"
#include "platform/rtl/IniFile.h"
#include "platform/rtl/StringList.h"

using namespace plat;

namespace {

[[noreturn]] void Die(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
    std::abort();
}

// Everything a reader can see of a document, in one text.
std::string Dump(const TIniDocument& doc) {
    std::string out;
    for (const std::string& section : doc.SectionNames()) {
        out += "[" + section + "]\n";
        for (const auto& [key, value] : doc.Values(section))
            out += key + "=" + value + "\n";
        for (const std::string& key : doc.KeyNames(section)) {
            std::string value;
            if (!doc.ValueExists(section, key) || !doc.ReadValue(section, key, value))
                Die("listed key not found", section + "/" + key);
        }
    }
    return out;
}

// One temporary file for the whole run, removed at exit.
struct TTempFile {
    TTempFile() {
        char name[] = "/tmp/lumetra-ini-fuzz-XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd < 0)
            Die("no temporary file", name);
        ::close(fd);
        Name = name;
    }
    ~TTempFile() { ::unlink(Name.c_str()); }
    std::string Name;
};

void ReadFile(const std::string& bytes) {
    static const TTempFile temp;
    const std::string& name = temp.Name;
    FILE* f = std::fopen(name.c_str(), "wb");
    if (!f)
        Die("cannot write the temporary file", name);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    TIniFile ini(name);
    TStringList sections, values;
    ini.ReadSections(sections);
    for (int i = 0; i < sections.Count(); ++i) {
        const std::string section = sections[i];
        ini.ReadSection(section, values);
        for (int k = 0; k < values.Count(); ++k) {
            const std::string key = values[k];
            ini.ReadInteger(section, key, 0);
            ini.ReadFloat(section, key, 0);
            ini.ReadBool(section, key, false);
        }
        ini.ReadSectionValues(section, values);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TIniDocument doc;
    doc.Parse(bytes);
    const std::string seen = Dump(doc);
    const std::string text = doc.Serialize();

    TIniDocument again;
    again.Parse(text);
    if (Dump(again) != seen)
        Die("written text reads differently", bytes + "\n----\n" + text);
    if (again.Serialize() != text)
        Die("written text changes when written again", text);

    // A value made of the input's first line, stored under the first section (or a new one).
    const std::vector<std::string> sections = doc.SectionNames();
    const std::string section = sections.empty() ? "Fuzz" : sections.front();
    std::string value = bytes.substr(0, bytes.find_first_of("\r\n"));
    if (TIniDocument::CheckSection(section).empty() && TIniDocument::CheckValue(value).empty()) {
        again.WriteValue(section, "FuzzKey", value);
        TIniDocument written;
        written.Parse(again.Serialize());
        std::string back;
        if (!written.ReadValue(section, "FuzzKey", back) || back != value)
            Die("written value reads back differently", value + "\n----\n" + again.Serialize());
    }
    ReadFile(bytes);
    return 0;
}
