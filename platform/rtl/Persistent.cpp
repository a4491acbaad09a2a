#include "platform/rtl/Persistent.h"

#include "platform/rtl/Exception.h"
#include "platform/rtl/PropertyInfo.h"

namespace plat {

PLAT_CLASS_INFO(TPersistent, TObject)

void TPersistent::Assign(TPersistent* Source) {
    if (!Source)
        AssignError(nullptr);
    Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) {
    Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source) {
    const std::string sourceName = Source ? Source->ClassName() : std::string("nil");
    throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}

std::string TPersistent::GetNamePath() const {
    std::string result = ClassName();
    if (TPersistent* owner = GetOwner()) {
        const std::string ownerPath = owner->GetNamePath();
        if (!ownerPath.empty())
            result = ownerPath + "." + result;
    }
    return result;
}

void TPersistent::DefineProperties(TFiler&) {}

} // namespace plat
