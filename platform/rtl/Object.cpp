#include "platform/rtl/Object.h"

namespace plat {

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
    for (const TClassInfo* c = this; c; c = c->Parent) {
        if (c == &other)
            return true;
    }
    return false;
}

const TClassInfo& TObject::StaticClass() {
    static const TClassInfo info{"TObject", nullptr, nullptr, nullptr};
    return info;
}

} // namespace plat
