// The settings registry: per-user keys and named values, the way code written for the system registry
// keeps editor options and layouts. Everything lives in one INI file (RegistryFilePath()), one section
// per key, named by the root and the key's full path: "HKEY_CURRENT_USER\SOFTWARE\Vendor\Product\Editor".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/IniFile.h"
#include "platform/rtl/Object.h"

namespace plat {

class TStrings;

using HKEY = uint32_t;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

PLAT_EXCEPTION(ERegistryException, Exception);

// Key paths use '\' between names; a path that starts with '\' is taken from the root, any other from
// the open key. Names compare without regard to case; a key exists when it or any key below it holds a
// section. Values are stored as text: ReadString reads any value, ReadInteger and ReadBool any value
// whose text is an integer.
//
// Reading a value that is missing (or, for ReadInteger and ReadBool, is not an integer) raises
// ERegistryException "Invalid data type for '<name>'", so callers test ValueExists first. Writing through
// a key opened read-only, under a name that cannot be stored ('=', line breaks, empty) or when the file
// cannot be written raises ERegistryException "Failed to set data for '<name>'". Every operation reads
// the file afresh; every change rewrites it through a temporary file.
class TRegistry : public TObject {
    PLAT_CLASS(TRegistry)
public:
    // Root HKEY_CURRENT_USER, no key open (values then belong to the root itself).
    TRegistry();

    HKEY RootKey() const { return FRootKey; }
    // Changing the root closes the open key.
    void SetRootKey(HKEY root);
    // The open key's path below the root, without a leading '\'; empty when none is open.
    const std::string& CurrentPath() const { return FCurrentPath; }
    // The file that holds the registry.
    const std::string& FileName() const { return FFileName; }

    // Opens a key for reading and writing; with canCreate a missing key is created (and written to the
    // file at once). False when the key is missing and not to be created, or when its name holds ']' or a
    // line break; a file that cannot be written raises ERegistryException.
    bool OpenKey(const std::string& key, bool canCreate);
    // Opens an existing key; writes through it raise.
    bool OpenKeyReadOnly(const std::string& key);
    void CloseKey();
    bool KeyExists(const std::string& key);
    // Removes the key with every key below it; false when there was none.
    bool DeleteKey(const std::string& key);
    // Names of the open key's values and of the keys directly below it, in file order.
    void GetValueNames(TStrings& strings);
    void GetKeyNames(TStrings& strings);

    bool ValueExists(const std::string& name);
    bool DeleteValue(const std::string& name);
    std::string ReadString(const std::string& name);
    void WriteString(const std::string& name, const std::string& value);
    int ReadInteger(const std::string& name);
    void WriteInteger(const std::string& name, int value);
    // An integer value: 0 false, any other true. Written as 1 or 0.
    bool ReadBool(const std::string& name);
    void WriteBool(const std::string& name, bool value);

private:
    // Splits a key path against the open key into names; false when a name cannot be stored.
    bool ResolveKey(const std::string& key, std::vector<std::string>& names) const;
    std::string SectionOf(const std::vector<std::string>& names) const;
    std::string CurrentSection() const;
    [[noreturn]] void SetDataError(const std::string& name, const std::string& reason) const;

    std::string FFileName;
    HKEY FRootKey = HKEY_CURRENT_USER;
    std::string FCurrentPath;
    bool FReadOnly = false;
};

// The registry through the INI-file operations: the file name is a key path below HKEY_CURRENT_USER,
// each section a key below it and each ident a value, so layout code can keep its values in an INI file
// or in the registry through one TCustomIniFile pointer.
class TRegistryIniFile : public TCustomIniFile {
    PLAT_CLASS(TRegistryIniFile)
public:
    explicit TRegistryIniFile(std::string keyPath);

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& defaultValue) override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    void ReadSection(const std::string& section, TStrings& strings) override;
    void ReadSections(TStrings& strings) override;
    void ReadSectionValues(const std::string& section, TStrings& strings) override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;
    bool ValueExists(const std::string& section, const std::string& ident) override;
    bool SectionExists(const std::string& section) override;

private:
    // The absolute key path of a section.
    std::string KeyOf(const std::string& section) const;

    TRegistry FRegistry;
};

} // namespace plat
