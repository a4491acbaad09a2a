#include "platform/rtl/ClassRegistry.h"

#include <mutex>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/StringUtils.h"

namespace plat {

namespace {

struct TRegistry {
    std::mutex Lock;
    std::vector<const TClassInfo*> Classes;
};

TRegistry& Registry() {
    static TRegistry registry;
    return registry;
}

const TClassInfo* FindLocked(TRegistry& r, const std::string& name) {
    for (const TClassInfo* c : r.Classes) {
        if (SameText(c->Name, name))
            return c;
    }
    return nullptr;
}

} // namespace

void RegisterClass(const TClassInfo& Cls) {
    TRegistry& r = Registry();
    std::lock_guard lock(r.Lock);
    if (const TClassInfo* existing = FindLocked(r, Cls.Name)) {
        if (existing == &Cls)
            return;
        throw EFilerError(std::string("A class named ") + Cls.Name + " already exists");
    }
    r.Classes.push_back(&Cls);
}

void RegisterClasses(std::initializer_list<const TClassInfo*> Classes) {
    for (const TClassInfo* c : Classes)
        RegisterClass(*c);
}

void UnRegisterClass(const TClassInfo& Cls) {
    TRegistry& r = Registry();
    std::lock_guard lock(r.Lock);
    std::erase(r.Classes, &Cls);
}

void UnRegisterClasses(std::initializer_list<const TClassInfo*> Classes) {
    for (const TClassInfo* c : Classes)
        UnRegisterClass(*c);
}

const TClassInfo* GetClass(const std::string& ClassName) {
    TRegistry& r = Registry();
    std::lock_guard lock(r.Lock);
    return FindLocked(r, ClassName);
}

const TClassInfo& FindClass(const std::string& ClassName) {
    if (const TClassInfo* c = GetClass(ClassName))
        return *c;
    throw EClassNotFound("Class " + ClassName + " not found");
}

std::vector<const TClassInfo*> RegisteredClasses() {
    TRegistry& r = Registry();
    std::lock_guard lock(r.Lock);
    return r.Classes;
}

TComponent* CreateComponent(const std::string& ClassName, TComponent* Owner) {
    const TClassInfo& cls = FindClass(ClassName);
    if (!cls.InheritsFrom(TComponent::StaticClass()))
        throw EFilerError("Class " + ClassName + " is not a component");
    if (!cls.Create)
        throw EFilerError("Class " + ClassName + " cannot be created by name");
    TObject* obj = cls.Create(Owner);
    // The factory of a component class makes that class, so this cast is exact.
    return static_cast<TComponent*>(obj);
}

} // namespace plat
