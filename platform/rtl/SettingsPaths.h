// Where the program's own files live: the settings file and the error log beside the program when its
// folder is writable (as on Windows installs the users know), otherwise in the per-user config folder.
#pragma once

#include <string>

namespace plat {

// $XDG_CONFIG_HOME/lumetra/ (an absolute XDG_CONFIG_HOME only), else $HOME/.config/lumetra/, with a
// trailing '/'. The environment is read on every call; the folder is created when missing (a failure to
// create it surfaces when a file in it is written).
std::string ConfigFolder();

// The folder that counts as the program's: the program file's folder unless an override is set.
std::string ProgramFolder();
// Replaces the program folder (tests, portable installs); an empty text removes the override.
void SetProgramFolderOverride(const std::string& folder);

// Where the file of that name lives: the program folder + name when a file can be created there right
// now, otherwise ConfigFolder() + name.
std::string SettingsFilePath(const std::string& name);
// The error log: the program file's name with ".error.log" in place of its extension, placed by the
// same rule as the settings file.
std::string ErrorLogFilePath();
// The file that holds the settings registry; always in the config folder.
std::string RegistryFilePath();

} // namespace plat
