// Folder selection: a folder browser that lists the folders from a root down to the one shown, with its
// subfolders below, and answers the folder chosen.
#pragma once

#include <functional>
#include <string>

#include "platform/rtl/Types.h"

namespace plat {

// Shows the browser titled "Browse for Folder" with Caption above the folders. Root limits the folders
// offered (empty: the whole file system); Directory is the folder shown first when it lies under Root.
// True when the user confirmed a folder, which Directory then holds (full path, no trailing '/').
bool SelectDirectory(const std::string& Caption, const std::string& Root, std::string& Directory);

// The same, placed by the caller: given the browser's size and the work area of the screen, Place
// answers the browser's top-left corner on the screen (an empty function centres it as above).
using TDialogPlacement = std::function<TPoint(const TSize& DialogSize, const TRect& WorkArea)>;
bool SelectDirectory(const std::string& Caption, const std::string& Root, std::string& Directory,
                     const TDialogPlacement& Place);

} // namespace plat
