#include "ui/drawing/KvxStyleIF.h"

#include "platform/ui/SystemServices.h"

namespace ui {

bool IsVistaOrLater() {
    return plat::GetSystemVersion().Major >= 6;
}

} // namespace ui
