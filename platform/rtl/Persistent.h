// Objects that can copy their state from one another and be written to component streams.
#pragma once

#include <string>

#include "platform/rtl/Object.h"

namespace plat {

class TFiler;

class TPersistent : public TObject {
    PLAT_CLASS(TPersistent)
public:
    // Copies the state of source into this object. A class that does not know the source hands the
    // work to source->AssignTo(this); when neither side knows the other, EConvertError
    // "Cannot assign a <source class> to a <this class>" is raised (a null source is named "nil").
    virtual void Assign(TPersistent* Source);

    // The dotted path by which the object is known to its owners ("Chart1.Axes[2]").
    virtual std::string GetNamePath() const;

    // Declares values that are streamed besides the published properties (see Filer.h).
    virtual void DefineProperties(TFiler& Filer);

    // The object that owns this one for naming and streaming purposes; null for free-standing objects.
    virtual TPersistent* GetOwner() const { return nullptr; }

protected:
    // Copies this object's state into Dest; the default raises the assignment error.
    virtual void AssignTo(TPersistent* Dest);
    [[noreturn]] void AssignError(TPersistent* Source);
};

} // namespace plat
