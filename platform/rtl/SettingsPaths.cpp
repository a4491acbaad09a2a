#include "platform/rtl/SettingsPaths.h"

#include <cstdlib>
#include <mutex>
#include <pwd.h>
#include <unistd.h>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StringUtils.h"

namespace plat {

namespace {

std::mutex& OverrideLock() {
    static std::mutex lock;
    return lock;
}

std::string& ProgramFolderOverride() {
    static std::string folder;
    return folder;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    struct passwd pw {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::getuid(), &pw, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir &&
        *found->pw_dir)
        return found->pw_dir;
    // No home at all (a bare service account): the files still need a place.
    return ExcludeTrailingPathDelimiter(GetTempFolder());
}

} // namespace

std::string ConfigFolder() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        base = xdg;
    else
        base = HomeFolder() + "/.config";
    const std::string folder = IncludeTrailingPathDelimiter(base) + "lumetra/";
    if (!DirectoryExists(folder))
        ForceDirectories(folder);
    return folder;
}

std::string ProgramFolder() {
    {
        std::lock_guard<std::mutex> guard(OverrideLock());
        if (!ProgramFolderOverride().empty())
            return ProgramFolderOverride();
    }
    return ApplicationFolder();
}

void SetProgramFolderOverride(const std::string& folder) {
    std::lock_guard<std::mutex> guard(OverrideLock());
    ProgramFolderOverride() = folder.empty() ? std::string() : IncludeTrailingPathDelimiter(folder);
}

std::string SettingsFilePath(const std::string& name) {
    const std::string program = ProgramFolder();
    if (IsFolderWritable(program))
        return program + name;
    return ConfigFolder() + name;
}

std::string ErrorLogFilePath() {
    return SettingsFilePath(ChangeFileExt(ExtractFileName(ApplicationExeName()), ".error.log"));
}

std::string RegistryFilePath() {
    return ConfigFolder() + "registry.ini";
}

} // namespace plat
