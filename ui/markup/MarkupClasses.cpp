#include "ui/markup/MarkupClasses.h"

#include "platform/rtl/ClassRegistry.h"
#include "ui/markup/PictureContainer.h"

namespace ui {

void RegisterMarkupClasses() {
    plat::RegisterClasses({&TPictureContainer::StaticClass()});
}

} // namespace ui
