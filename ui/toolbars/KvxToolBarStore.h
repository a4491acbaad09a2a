// Where the toolbar family keeps what it remembers between runs: the dock layout, the floating state and
// the customizer's lists all go through one settings object chosen by a TPersistence record.
#pragma once

#include <memory>
#include <string>

#include "platform/rtl/IniFile.h"
#include "ui/toolbars/KvxToolBarRecords.h"

namespace ui::toolbar {

// An INI file name as layouts store it: Windows separators are accepted, and a relative name such as
// ".\untitled.ini" lives in the per-user config folder rather than in whatever the working folder is.
std::string ResolveStoreFileName(const std::string& Key);

// True when the record names a place to store into: enabled, with a key and a section.
bool StoreUsable(const TPersistence& Settings);

// The INI file or the registry adaptor the record names; the caller frees it after one read or write.
std::unique_ptr<plat::TCustomIniFile> OpenStore(const TPersistence& Settings);

} // namespace ui::toolbar
