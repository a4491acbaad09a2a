// The root of the class hierarchy: every object knows its class by name, which the component
// streams, the error log and the class registry rely on.
#pragma once

#include <string>

namespace plat {

class TObject;
class TComponent;
struct TPropertyTable; // published properties of one class (see PropertyInfo.h)

// One record per class: its name, its parent and, for classes that can be created by name, a factory.
struct TClassInfo {
    const char* Name = "";
    const TClassInfo* Parent = nullptr;
    // Creates an instance owned by the given component; null for abstract classes.
    TObject* (*Create)(TComponent* owner) = nullptr;
    // Published properties declared by this class itself (the parent's are found through Parent).
    const TPropertyTable* (*Properties)() = nullptr;

    bool InheritsFrom(const TClassInfo& other) const;
};

class TObject {
public:
    virtual ~TObject() = default;
    static const TClassInfo& StaticClass();
    virtual const TClassInfo& ClassType() const { return StaticClass(); }
    std::string ClassName() const { return ClassType().Name; }
    bool InheritsFrom(const TClassInfo& cls) const { return ClassType().InheritsFrom(cls); }
    template <class T> bool Is() const { return InheritsFrom(T::StaticClass()); }
};

} // namespace plat

// Declares the class record of a class derived from TObject. Put it in the class body.
#define PLAT_CLASS(Cls)                                                                                      \
public:                                                                                                      \
    static const ::plat::TClassInfo& StaticClass();                                                          \
    const ::plat::TClassInfo& ClassType() const override { return StaticClass(); }

// Defines the class record in the .cpp. PLAT_CLASS_INFO gives no factory (abstract or not creatable by
// name); PLAT_CLASS_INFO_CREATABLE gives one that calls `new Cls(owner)`.
#define PLAT_CLASS_INFO(Cls, ParentCls)                                                                      \
    const ::plat::TClassInfo& Cls::StaticClass() {                                                           \
        static const ::plat::TClassInfo info{#Cls, &ParentCls::StaticClass(), nullptr, nullptr};            \
        return info;                                                                                         \
    }

#define PLAT_CLASS_INFO_CREATABLE(Cls, ParentCls)                                                            \
    const ::plat::TClassInfo& Cls::StaticClass() {                                                           \
        static const ::plat::TClassInfo info{                                                                \
            #Cls, &ParentCls::StaticClass(),                                                                 \
            [](::plat::TComponent* owner) -> ::plat::TObject* { return new Cls(owner); }, nullptr};          \
        return info;                                                                                         \
    }

#include <cstdint>
#include <functional>

namespace plat {
// The event every control raises for a plain notification; the sender comes first.
using TNotifyEvent = std::function<void(TObject* Sender)>;
} // namespace plat
