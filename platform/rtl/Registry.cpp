#include "platform/rtl/Registry.h"

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SettingsPaths.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/StringUtils.h"

namespace plat {

PLAT_CLASS_INFO(TRegistry, TObject)
PLAT_CLASS_INFO(TRegistryIniFile, TCustomIniFile)

namespace {

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> names;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t end = path.find('\\', pos);
        if (end == std::string::npos)
            end = path.size();
        if (end > pos)
            names.push_back(path.substr(pos, end - pos));
        pos = end + 1;
    }
    return names;
}

std::string JoinPath(const std::vector<std::string>& names) {
    std::string path;
    for (const std::string& n : names) {
        if (!path.empty())
            path += '\\';
        path += n;
    }
    return path;
}

std::string RootName(HKEY root) {
    switch (root) {
    case HKEY_CURRENT_USER:
        return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE:
        return "HKEY_LOCAL_MACHINE";
    default:
        return "HKEY_" + IntToHex(static_cast<int64_t>(root), 8);
    }
}

// True when the section lies at or below the key; with a deeper section, child receives the name of the
// key directly below.
bool SectionUnder(const std::string& section, const std::vector<std::string>& key,
                  std::string* child = nullptr) {
    const std::vector<std::string> names = SplitPath(section);
    if (names.size() < key.size())
        return false;
    for (size_t i = 0; i < key.size(); ++i)
        if (!AnsiSameText(names[i], key[i]))
            return false;
    if (child)
        *child = names.size() > key.size() ? names[key.size()] : std::string();
    return true;
}

bool StorableName(const std::string& name) {
    return !name.empty() && Trim(name) == name && name.find_first_of("]\r\n") == std::string::npos;
}

} // namespace

TRegistry::TRegistry() : FFileName(RegistryFilePath()) {}

void TRegistry::SetRootKey(HKEY root) {
    CloseKey();
    FRootKey = root;
}

bool TRegistry::ResolveKey(const std::string& key, std::vector<std::string>& names) const {
    names.clear();
    if (key.empty() || key[0] != '\\')
        names = SplitPath(FCurrentPath);
    for (std::string& n : SplitPath(key)) {
        if (!StorableName(n))
            return false;
        names.push_back(std::move(n));
    }
    return true;
}

std::string TRegistry::SectionOf(const std::vector<std::string>& names) const {
    std::string section = RootName(FRootKey);
    for (const std::string& n : names)
        section += "\\" + n;
    return section;
}

std::string TRegistry::CurrentSection() const {
    return SectionOf(SplitPath(FCurrentPath));
}

void TRegistry::SetDataError(const std::string& name, const std::string& reason) const {
    throw ERegistryException("Failed to set data for '" + name + "': " + reason);
}

bool TRegistry::KeyExists(const std::string& key) {
    std::vector<std::string> names;
    if (!ResolveKey(key, names))
        return false;
    if (names.empty())
        return true;
    std::vector<std::string> full = names;
    full.insert(full.begin(), RootName(FRootKey));
    for (const std::string& section : TIniFile(FFileName).LoadDocument().SectionNames())
        if (SectionUnder(section, full))
            return true;
    return false;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    std::vector<std::string> names;
    if (!ResolveKey(key, names))
        return false;
    if (!KeyExists("\\" + JoinPath(names))) {
        if (!canCreate)
            return false;
        try {
            TIniFile ini(FFileName);
            TIniDocument doc = ini.LoadDocumentForUpdate();
            doc.AddSection(SectionOf(names));
            ini.SaveDocument(doc);
        } catch (const EIniFileException& e) {
            throw ERegistryException("Failed to create key '" + key + "': " + e.Message());
        }
    }
    FCurrentPath = JoinPath(names);
    FReadOnly = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    std::vector<std::string> names;
    if (!ResolveKey(key, names) || !KeyExists("\\" + JoinPath(names)))
        return false;
    FCurrentPath = JoinPath(names);
    FReadOnly = true;
    return true;
}

void TRegistry::CloseKey() {
    FCurrentPath.clear();
    FReadOnly = false;
}

bool TRegistry::DeleteKey(const std::string& key) {
    std::vector<std::string> names;
    if (!ResolveKey(key, names) || names.empty())
        return false;
    std::vector<std::string> full = names;
    full.insert(full.begin(), RootName(FRootKey));
    try {
        TIniFile ini(FFileName);
        TIniDocument doc = ini.LoadDocumentForUpdate();
        bool found = false;
        for (const std::string& section : doc.SectionNames())
            if (SectionUnder(section, full))
                found = doc.EraseSection(section) || found;
        if (found)
            ini.SaveDocument(doc);
        return found;
    } catch (const EIniFileException& e) {
        throw ERegistryException("Failed to delete key '" + key + "': " + e.Message());
    }
}

void TRegistry::GetValueNames(TStrings& strings) {
    strings.BeginUpdate();
    strings.Clear();
    for (const std::string& name : TIniFile(FFileName).LoadDocument().KeyNames(CurrentSection()))
        strings.Add(name);
    strings.EndUpdate();
}

void TRegistry::GetKeyNames(TStrings& strings) {
    std::vector<std::string> full = SplitPath(FCurrentPath);
    full.insert(full.begin(), RootName(FRootKey));
    std::vector<std::string> children;
    for (const std::string& section : TIniFile(FFileName).LoadDocument().SectionNames()) {
        std::string child;
        if (!SectionUnder(section, full, &child) || child.empty())
            continue;
        bool seen = false;
        for (const std::string& c : children)
            seen = seen || AnsiSameText(c, child);
        if (!seen)
            children.push_back(child);
    }
    strings.BeginUpdate();
    strings.Clear();
    for (const std::string& c : children)
        strings.Add(c);
    strings.EndUpdate();
}

bool TRegistry::ValueExists(const std::string& name) {
    return TIniFile(FFileName).LoadDocument().ValueExists(CurrentSection(), name);
}

bool TRegistry::DeleteValue(const std::string& name) {
    if (FReadOnly)
        return false;
    try {
        TIniFile ini(FFileName);
        TIniDocument doc = ini.LoadDocumentForUpdate();
        if (!doc.DeleteKey(CurrentSection(), name))
            return false;
        ini.SaveDocument(doc);
        return true;
    } catch (const EIniFileException& e) {
        throw ERegistryException("Failed to delete value '" + name + "': " + e.Message());
    }
}

std::string TRegistry::ReadString(const std::string& name) {
    std::string value;
    if (!TIniFile(FFileName).LoadDocument().ReadValue(CurrentSection(), name, value))
        throw ERegistryException("Invalid data type for '" + name + "'");
    return value;
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    if (FReadOnly)
        SetDataError(name, "the key is open for reading only");
    for (const std::string& reason : {TIniDocument::CheckKey(name), TIniDocument::CheckValue(value)})
        if (!reason.empty())
            SetDataError(name, reason);
    try {
        TIniFile ini(FFileName);
        TIniDocument doc = ini.LoadDocumentForUpdate();
        doc.WriteValue(CurrentSection(), name, value);
        ini.SaveDocument(doc);
    } catch (const EIniFileException& e) {
        SetDataError(name, e.Message());
    }
}

int TRegistry::ReadInteger(const std::string& name) {
    int value = 0;
    if (!TCustomIniFile::TryParseInteger(ReadString(name), value))
        throw ERegistryException("Invalid data type for '" + name + "'");
    return value;
}

void TRegistry::WriteInteger(const std::string& name, int value) {
    WriteString(name, IntToStr(value));
}

bool TRegistry::ReadBool(const std::string& name) {
    return ReadInteger(name) != 0;
}

void TRegistry::WriteBool(const std::string& name, bool value) {
    WriteString(name, value ? "1" : "0");
}

// ---- TRegistryIniFile ----

TRegistryIniFile::TRegistryIniFile(std::string keyPath) : TCustomIniFile(std::move(keyPath)) {}

std::string TRegistryIniFile::KeyOf(const std::string& section) const {
    return "\\" + FileName() + (section.empty() ? std::string() : "\\" + section);
}

std::string TRegistryIniFile::ReadString(const std::string& section, const std::string& ident,
                                         const std::string& defaultValue) {
    std::string value = defaultValue;
    if (FRegistry.OpenKeyReadOnly(KeyOf(section)) && FRegistry.ValueExists(ident))
        value = FRegistry.ReadString(ident);
    FRegistry.CloseKey();
    return value;
}

void TRegistryIniFile::WriteString(const std::string& section, const std::string& ident,
                                   const std::string& value) {
    if (!FRegistry.OpenKey(KeyOf(section), true))
        throw ERegistryException("Failed to create key '" + KeyOf(section) + "'");
    ScopeGuard closeKey([this] { FRegistry.CloseKey(); });
    FRegistry.WriteString(ident, value);
}

void TRegistryIniFile::ReadSection(const std::string& section, TStrings& strings) {
    if (FRegistry.OpenKeyReadOnly(KeyOf(section)))
        FRegistry.GetValueNames(strings);
    else
        strings.Clear();
    FRegistry.CloseKey();
}

void TRegistryIniFile::ReadSections(TStrings& strings) {
    if (FRegistry.OpenKeyReadOnly(KeyOf(std::string())))
        FRegistry.GetKeyNames(strings);
    else
        strings.Clear();
    FRegistry.CloseKey();
}

void TRegistryIniFile::ReadSectionValues(const std::string& section, TStrings& strings) {
    strings.BeginUpdate();
    strings.Clear();
    if (FRegistry.OpenKeyReadOnly(KeyOf(section))) {
        TStringList names;
        FRegistry.GetValueNames(names);
        for (int i = 0; i < names.Count(); ++i)
            strings.Add(names[i] + "=" + FRegistry.ReadString(names[i]));
    }
    FRegistry.CloseKey();
    strings.EndUpdate();
}

void TRegistryIniFile::EraseSection(const std::string& section) {
    FRegistry.DeleteKey(KeyOf(section));
}

void TRegistryIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    if (FRegistry.OpenKey(KeyOf(section), false))
        FRegistry.DeleteValue(ident);
    FRegistry.CloseKey();
}

bool TRegistryIniFile::ValueExists(const std::string& section, const std::string& ident) {
    const bool exists = FRegistry.OpenKeyReadOnly(KeyOf(section)) && FRegistry.ValueExists(ident);
    FRegistry.CloseKey();
    return exists;
}

bool TRegistryIniFile::SectionExists(const std::string& section) {
    return FRegistry.KeyExists(KeyOf(section));
}

} // namespace plat
