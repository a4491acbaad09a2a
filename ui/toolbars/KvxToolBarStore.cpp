#include "ui/toolbars/KvxToolBarStore.h"

#include <algorithm>

#include "platform/rtl/Registry.h"
#include "platform/rtl/SettingsPaths.h"

namespace ui::toolbar {

std::string ResolveStoreFileName(const std::string& Key) {
    std::string name = Key;
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty() || name.front() == '/')
        return name;
    while (name.starts_with("./"))
        name.erase(0, 2);
    return plat::ConfigFolder() + name;
}

bool StoreUsable(const TPersistence& Settings) {
    return Settings.Enabled() && !Settings.Key().empty() && !Settings.Section().empty();
}

std::unique_ptr<plat::TCustomIniFile> OpenStore(const TPersistence& Settings) {
    if (Settings.Location() == plIniFile)
        return std::make_unique<plat::TIniFile>(ResolveStoreFileName(Settings.Key()));
    return std::make_unique<plat::TRegistryIniFile>(Settings.Key());
}

} // namespace ui::toolbar
