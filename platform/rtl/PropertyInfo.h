// Published properties: per class a table of the properties the component streams read and write
// (kind, accessors, default, stored predicate), plus the published methods that event properties can be
// bound to by name and the component fields the reader fills. A class declares its table in its .cpp,
// next to its PLAT_CLASS_INFO:
//
//     PLAT_PROPERTIES(TFoo) {
//         props.Integer("Width", &TFoo::Width, &TFoo::SetWidth, 64);
//         props.Enum("Align", &TFoo::Align, &TFoo::SetAlign, kAlignNames, alNone);
//         props.Color("Color", &TFoo::Color, &TFoo::SetColor, clBtnFace);
//         props.Object("Font", &TFoo::Font);                  // streamed inline as Font.Size = 8
//         props.Collection("Items", &TFoo::Items);
//         props.Component("Chart", &TFoo::Chart, &TFoo::SetChart);
//         props.Event("OnClick", &TFoo::OnClick);
//         props.Float("Ratio", &TFoo::Ratio, &TFoo::SetRatio).Stored(&TFoo::IsRatioStored);
//     }
//
// Getters are member functions or data members; setters are member functions, data members or nullptr
// (read-only: such scalar properties are not streamed). Ordinal kinds given without a default are always
// written; floats default to 0 and strings to "". A derived class inherits its parent's table: it may
// declare a property again (replacing it), change a default (Default) or hide one (Hide). Tables are
// looked up by class and names compare without case.
// An object property of a class that is not a TPersistent (a list) is read-only, known by its name and
// class only: the streams neither read nor write it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "platform/rtl/Persistent.h"

namespace plat {

class TComponent;

enum TPropKind {
    pkInteger,    // 32-bit integer
    pkInt64,      // 64-bit integer
    pkFloat,      // double
    pkString,     // UTF-8 string
    pkBoolean,    // True/False
    pkEnum,       // ordinal written by its identifier
    pkSet,        // bits written as [a, b]
    pkColor,      // TColor written as clXxx when it has a name
    pkChar,       // one byte
    pkObject,     // an owned TPersistent whose properties are written inline (Font.Size)
    pkCollection, // an owned TCollection written as < item ... end >
    pkComponent,  // a reference to another component, written by name
    pkEvent,      // a std::function bound to a published method of the root, written by method name
};

struct TMethodInfo;

struct TPropInfo {
    std::string Name;
    TPropKind Kind = pkInteger;
    std::vector<std::string> Names;          // enum identifiers by ordinal, set elements by bit
    const TClassInfo* ObjectClass = nullptr; // class of object, collection and component properties
    bool HasDefault = false;
    int64_t OrdDefault = 0;
    double FloatDefault = 0;
    std::string StrDefault;
    bool StoredFlag = true;
    std::function<bool(const TObject*)> StoredFn;

    // Accessors; which pair is set depends on Kind (ordinal kinds share GetOrd/SetOrd). A missing setter
    // means the property is read-only.
    std::function<int64_t(const TObject*)> GetOrd;
    std::function<void(TObject*, int64_t)> SetOrd;
    std::function<double(const TObject*)> GetFloat;
    std::function<void(TObject*, double)> SetFloat;
    std::function<std::string(const TObject*)> GetStr;
    std::function<void(TObject*, const std::string&)> SetStr;
    std::function<TPersistent*(const TObject*)> GetObject;
    std::function<void(TObject*, TPersistent*)> SetObject;

    // Events.
    const std::type_info* EventType = nullptr;                // the handler's signature
    std::function<std::string(const TObject*)> GetMethodName; // name of the bound published method, or ""
    std::function<bool(const TObject*)> IsAssigned;
    std::function<void(TObject*, const TMethodInfo&, TObject* Instance)> BindEvent;
    std::function<void(TObject*)> ClearEvent;

    bool IsOrdinal() const;
    bool IsWritable() const;
    bool IsStored(const TObject* Instance) const;
};

// A published method: event properties of matching signature can be bound to it by name.
struct TMethodInfo {
    std::string Name;
    const std::type_info* Signature = nullptr;
    // Fills *Event (a std::function of the method's signature) with the method bound to Instance.
    std::function<void(TObject* Instance, void* Event)> Bind;
};

// A published component field: the reader stores a component of that name, created for the root, in it.
struct TFieldInfo {
    std::string Name;
    const TClassInfo* FieldClass = nullptr;
    std::function<void(TObject* Instance, TComponent* Value)> Set;
};

// The declarations of one class (its parent's are found through the class chain).
struct TPropertyTable {
    struct TDefaultOverride {
        std::string Name;
        bool HasDefault = false;
        int64_t Default = 0;
    };
    std::vector<std::unique_ptr<TPropInfo>> Props;
    std::vector<std::unique_ptr<TMethodInfo>> Methods;
    std::vector<std::unique_ptr<TFieldInfo>> Fields;
    std::vector<std::string> Hidden;
    std::vector<TDefaultOverride> Overrides;
};

// What an event property holds after the reader bound it: a callable that remembers the method's name,
// so that the writer can write it back.
template <class Sig> struct TMethodRef;
template <class R, class... A> struct TMethodRef<R(A...)> {
    std::string Name;
    TObject* Instance = nullptr;
    std::function<R(A...)> Call;
    R operator()(A... Args) const { return Call(std::forward<A>(Args)...); }
};

// --- Lookups and generic access ---------------------------------------------------------------------

// Every published property of the class, the parent's first, in declaration order.
const std::vector<const TPropInfo*>& GetPropList(const TClassInfo& Cls);
const TPropInfo* GetPropInfo(const TClassInfo& Cls, std::string_view Name);
const TPropInfo* GetPropInfo(const TObject* Instance, std::string_view Name);
bool IsPublishedProp(const TObject* Instance, std::string_view Name);
const TMethodInfo* FindPublishedMethod(const TClassInfo& Cls, std::string_view Name);
const TFieldInfo* FindPublishedField(const TClassInfo& Cls, std::string_view Name);

// The name-taking forms raise EPropertyError "Property %s does not exist"; using a property of another
// kind or writing a read-only one raises EPropertyError too.
int64_t GetOrdProp(const TObject* Instance, const TPropInfo* Prop);
int64_t GetOrdProp(const TObject* Instance, std::string_view Name);
void SetOrdProp(TObject* Instance, const TPropInfo* Prop, int64_t Value);
void SetOrdProp(TObject* Instance, std::string_view Name, int64_t Value);
double GetFloatProp(const TObject* Instance, const TPropInfo* Prop);
double GetFloatProp(const TObject* Instance, std::string_view Name);
void SetFloatProp(TObject* Instance, const TPropInfo* Prop, double Value);
void SetFloatProp(TObject* Instance, std::string_view Name, double Value);
std::string GetStrProp(const TObject* Instance, const TPropInfo* Prop);
std::string GetStrProp(const TObject* Instance, std::string_view Name);
void SetStrProp(TObject* Instance, const TPropInfo* Prop, const std::string& Value);
void SetStrProp(TObject* Instance, std::string_view Name, const std::string& Value);
// Enumerations (and Booleans) by identifier; an unknown identifier raises EPropertyError.
std::string GetEnumProp(const TObject* Instance, std::string_view Name);
void SetEnumProp(TObject* Instance, std::string_view Name, const std::string& Value);
TPersistent* GetObjectProp(const TObject* Instance, const TPropInfo* Prop);
TPersistent* GetObjectProp(const TObject* Instance, std::string_view Name);
void SetObjectProp(TObject* Instance, const TPropInfo* Prop, TPersistent* Value);
void SetObjectProp(TObject* Instance, std::string_view Name, TPersistent* Value);

// Identifier of an ordinal of an enumeration property ("" when out of range), and the reverse (-1 when
// unknown; without case).
std::string GetEnumName(const TPropInfo* Prop, int64_t Value);
int64_t GetEnumValue(const TPropInfo* Prop, std::string_view Name);

// True when the property holds its default: such values are not written.
bool IsDefaultPropValue(const TObject* Instance, const TPropInfo* Prop);

[[noreturn]] void RaiseInvalidPropertyValue(const std::string& PropName);

// --- Declaring tables ---------------------------------------------------------------------------------

namespace prop_detail {

template <class C> C& Obj(const TObject* o) {
    return const_cast<C&>(static_cast<const C&>(*o));
}

template <class C, class G> using ValueOf = std::remove_cvref_t<std::invoke_result_t<const G&, C&>>;

template <class C, class S, class V> void Put(const S& setter, TObject* o, V&& value) {
    C& c = static_cast<C&>(*o);
    if constexpr (std::is_member_function_pointer_v<S>)
        std::invoke(setter, c, std::forward<V>(value));
    else
        c.*setter = std::forward<V>(value);
}

template <class V> int64_t ToOrd(const V& v) {
    if constexpr (std::is_same_v<V, bool>)
        return v ? 1 : 0;
    else if constexpr (std::is_same_v<V, char>)
        return static_cast<unsigned char>(v);
    else
        return static_cast<int64_t>(v);
}
template <class V> V FromOrd(int64_t v) {
    if constexpr (std::is_same_v<V, bool>)
        return v != 0;
    else
        return static_cast<V>(v);
}

// Sets are integral or enum bit masks (element i is bit i), or classes with ToBits()/FromBits(bits).
template <class V> int64_t SetToBits(const V& v) {
    if constexpr (std::is_integral_v<V> || std::is_enum_v<V>)
        return static_cast<int64_t>(v);
    else
        return static_cast<int64_t>(v.ToBits());
}
template <class V> V SetFromBits(int64_t bits) {
    if constexpr (std::is_integral_v<V> || std::is_enum_v<V>)
        return static_cast<V>(bits);
    else
        return V::FromBits(static_cast<uint64_t>(bits));
}

template <class F> struct Signature;
template <class Sig> struct Signature<std::function<Sig>> { using type = Sig; };

} // namespace prop_detail

// Returned by the declaring calls so that a declaration can be refined in place.
template <class C> class TPropRef {
public:
    explicit TPropRef(TPropInfo& Prop) : FProp(Prop) {}
    // A member predicate (`bool IsFooStored() const`) or a constant; a property not stored is never written.
    template <class M> TPropRef& Stored(M Predicate) {
        if constexpr (std::is_same_v<M, bool>) {
            FProp.StoredFlag = Predicate;
        } else {
            FProp.StoredFn = [Predicate](const TObject* o) -> bool {
                return std::invoke(Predicate, prop_detail::Obj<C>(o));
            };
        }
        return *this;
    }
    // Always written, also when 0 or empty.
    TPropRef& NoDefault() {
        FProp.HasDefault = false;
        return *this;
    }
    TPropInfo& Info() { return FProp; }

private:
    TPropInfo& FProp;
};

template <class C> class TPropertyBuilder {
public:
    explicit TPropertyBuilder(TPropertyTable& Table) : FTable(Table) {}

    template <class G, class S> TPropRef<C> Integer(const char* Name, G Getter, S Setter) {
        return Ordinal(pkInteger, Name, Getter, Setter);
    }
    template <class G, class S> TPropRef<C> Integer(const char* Name, G Getter, S Setter, int64_t Default) {
        return WithDefault(Ordinal(pkInteger, Name, Getter, Setter), Default);
    }
    template <class G, class S> TPropRef<C> Int64(const char* Name, G Getter, S Setter) {
        return Ordinal(pkInt64, Name, Getter, Setter);
    }
    template <class G, class S> TPropRef<C> Int64(const char* Name, G Getter, S Setter, int64_t Default) {
        return WithDefault(Ordinal(pkInt64, Name, Getter, Setter), Default);
    }
    template <class G, class S> TPropRef<C> Boolean(const char* Name, G Getter, S Setter) {
        return Ordinal(pkBoolean, Name, Getter, Setter);
    }
    template <class G, class S> TPropRef<C> Boolean(const char* Name, G Getter, S Setter, bool Default) {
        return WithDefault(Ordinal(pkBoolean, Name, Getter, Setter), Default ? 1 : 0);
    }
    template <class G, class S> TPropRef<C> Color(const char* Name, G Getter, S Setter) {
        return Ordinal(pkColor, Name, Getter, Setter);
    }
    template <class G, class S> TPropRef<C> Color(const char* Name, G Getter, S Setter, int32_t Default) {
        return WithDefault(Ordinal(pkColor, Name, Getter, Setter), Default);
    }
    template <class G, class S> TPropRef<C> Char(const char* Name, G Getter, S Setter) {
        return Ordinal(pkChar, Name, Getter, Setter);
    }
    template <class G, class S> TPropRef<C> Char(const char* Name, G Getter, S Setter, char Default) {
        return WithDefault(Ordinal(pkChar, Name, Getter, Setter), static_cast<unsigned char>(Default));
    }
    template <class G, class S>
    TPropRef<C> Enum(const char* Name, G Getter, S Setter, std::span<const char* const> Names) {
        TPropRef<C> r = Ordinal(pkEnum, Name, Getter, Setter);
        r.Info().Names.assign(Names.begin(), Names.end());
        return r;
    }
    template <class G, class S, class D>
    TPropRef<C> Enum(const char* Name, G Getter, S Setter, std::span<const char* const> Names, D Default) {
        return WithDefault(Enum(Name, Getter, Setter, Names), static_cast<int64_t>(Default));
    }
    template <class G, class S>
    TPropRef<C> Set(const char* Name, G Getter, S Setter, std::span<const char* const> Names) {
        using V = prop_detail::ValueOf<C, G>;
        TPropInfo& p = NewProp(Name, pkSet);
        p.Names.assign(Names.begin(), Names.end());
        p.GetOrd = [Getter](const TObject* o) -> int64_t {
            return prop_detail::SetToBits(std::invoke(Getter, prop_detail::Obj<C>(o)));
        };
        if constexpr (!std::is_null_pointer_v<S>)
            p.SetOrd = [Setter](TObject* o, int64_t v) {
                prop_detail::Put<C>(Setter, o, prop_detail::SetFromBits<V>(v));
            };
        return TPropRef<C>(p);
    }
    template <class G, class S, class D>
    TPropRef<C> Set(const char* Name, G Getter, S Setter, std::span<const char* const> Names, D Default) {
        return WithDefault(Set(Name, Getter, Setter, Names), prop_detail::SetToBits(Default));
    }
    template <class G, class S>
    TPropRef<C> Float(const char* Name, G Getter, S Setter, double Default = 0.0) {
        TPropInfo& p = NewProp(Name, pkFloat);
        p.HasDefault = true;
        p.FloatDefault = Default;
        p.GetFloat = [Getter](const TObject* o) -> double {
            return static_cast<double>(std::invoke(Getter, prop_detail::Obj<C>(o)));
        };
        if constexpr (!std::is_null_pointer_v<S>) {
            using V = prop_detail::ValueOf<C, G>;
            p.SetFloat = [Setter](TObject* o, double v) {
                prop_detail::Put<C>(Setter, o, static_cast<V>(v));
            };
        }
        return TPropRef<C>(p);
    }
    template <class G, class S>
    TPropRef<C> String(const char* Name, G Getter, S Setter, std::string Default = {}) {
        TPropInfo& p = NewProp(Name, pkString);
        p.HasDefault = true;
        p.StrDefault = std::move(Default);
        p.GetStr = [Getter](const TObject* o) -> std::string {
            return std::string(std::invoke(Getter, prop_detail::Obj<C>(o)));
        };
        if constexpr (!std::is_null_pointer_v<S>)
            p.SetStr = [Setter](TObject* o, const std::string& v) { prop_detail::Put<C>(Setter, o, v); };
        return TPropRef<C>(p);
    }
    // An owned sub-object; the setter (optional) usually assigns the given object's state.
    template <class G> TPropRef<C> Object(const char* Name, G Getter) {
        return ObjectLike(pkObject, Name, Getter, nullptr);
    }
    template <class G, class S> TPropRef<C> Object(const char* Name, G Getter, S Setter) {
        return ObjectLike(pkObject, Name, Getter, Setter);
    }
    template <class G> TPropRef<C> Collection(const char* Name, G Getter) {
        return ObjectLike(pkCollection, Name, Getter, nullptr);
    }
    // A reference to another component; the reader resolves it by name after loading.
    template <class G, class S> TPropRef<C> Component(const char* Name, G Getter, S Setter) {
        return ObjectLike(pkComponent, Name, Getter, Setter);
    }
    // An event: a std::function data member, e.g. `TNotifyEvent OnClick;`.
    template <class M> TPropRef<C> Event(const char* Name, M Member) {
        using F = prop_detail::ValueOf<C, M>;
        using Sig = typename prop_detail::Signature<F>::type;
        TPropInfo& p = NewProp(Name, pkEvent);
        p.EventType = &typeid(Sig);
        p.GetMethodName = [Member](const TObject* o) -> std::string {
            const F& f = std::invoke(Member, prop_detail::Obj<C>(o));
            if (auto* ref = f.template target<TMethodRef<Sig>>())
                return ref->Name;
            return {};
        };
        p.IsAssigned = [Member](const TObject* o) -> bool {
            return static_cast<bool>(std::invoke(Member, prop_detail::Obj<C>(o)));
        };
        p.BindEvent = [Member](TObject* o, const TMethodInfo& m, TObject* instance) {
            F f;
            m.Bind(instance, &f);
            std::invoke(Member, static_cast<C&>(*o)) = std::move(f);
        };
        p.ClearEvent = [Member](TObject* o) { std::invoke(Member, static_cast<C&>(*o)) = nullptr; };
        return TPropRef<C>(p);
    }
    // A published method (an event handler such as btn_startClick).
    template <class D, class R, class... A> void Method(const char* Name, R (D::*Fn)(A...)) {
        auto m = std::make_unique<TMethodInfo>();
        m->Name = Name;
        m->Signature = &typeid(R(A...));
        m->Bind = [Fn, name = std::string(Name)](TObject* instance, void* event) {
            C* self = static_cast<C*>(instance);
            *static_cast<std::function<R(A...)>*>(event) = TMethodRef<R(A...)>{
                name, instance, [self, Fn](A... args) -> R { return (self->*Fn)(std::forward<A>(args)...); }};
        };
        FTable.Methods.push_back(std::move(m));
    }
    // A component field (`TButton* btn_start;`) that the reader fills with the component of that name.
    template <class M> void Field(const char* Name, M Member) {
        using P = prop_detail::ValueOf<C, M>;
        static_assert(std::is_pointer_v<P>, "a published field holds a component pointer");
        using T = std::remove_pointer_t<P>;
        auto f = std::make_unique<TFieldInfo>();
        f->Name = Name;
        f->FieldClass = &T::StaticClass();
        f->Set = [Member](TObject* o, TComponent* value) {
            std::invoke(Member, static_cast<C&>(*o)) = static_cast<T*>(value);
        };
        FTable.Fields.push_back(std::move(f));
    }
    // Changes the default of an inherited ordinal property.
    template <class D> void Default(const char* Name, D Value) {
        FTable.Overrides.push_back({Name, true, prop_detail::ToOrd(Value)});
    }
    void NoDefault(const char* Name) { FTable.Overrides.push_back({Name, false, 0}); }
    // Removes an inherited property from this class and its descendants.
    void Hide(const char* Name) { FTable.Hidden.emplace_back(Name); }

private:
    TPropInfo& NewProp(const char* Name, TPropKind Kind) {
        FTable.Props.push_back(std::make_unique<TPropInfo>());
        TPropInfo& p = *FTable.Props.back();
        p.Name = Name;
        p.Kind = Kind;
        return p;
    }
    static TPropRef<C> WithDefault(TPropRef<C> r, int64_t Default) {
        r.Info().HasDefault = true;
        r.Info().OrdDefault = Default;
        return r;
    }
    template <class G, class S> TPropRef<C> Ordinal(TPropKind Kind, const char* Name, G Getter, S Setter) {
        using V = prop_detail::ValueOf<C, G>;
        TPropInfo& p = NewProp(Name, Kind);
        p.GetOrd = [Getter](const TObject* o) -> int64_t {
            return prop_detail::ToOrd(std::invoke(Getter, prop_detail::Obj<C>(o)));
        };
        if constexpr (!std::is_null_pointer_v<S>)
            p.SetOrd = [Setter](TObject* o, int64_t v) {
                prop_detail::Put<C>(Setter, o, prop_detail::FromOrd<V>(v));
            };
        return TPropRef<C>(p);
    }
    template <class G, class S> TPropRef<C> ObjectLike(TPropKind Kind, const char* Name, G Getter, S Setter) {
        using P = prop_detail::ValueOf<C, G>;
        static_assert(std::is_pointer_v<P>, "object properties are read through a pointer");
        using T = std::remove_pointer_t<P>;
        TPropInfo& p = NewProp(Name, Kind);
        p.ObjectClass = &T::StaticClass();
        if constexpr (std::is_base_of_v<TPersistent, T>) {
            p.GetObject = [Getter](const TObject* o) -> TPersistent* {
                return static_cast<TPersistent*>(std::invoke(Getter, prop_detail::Obj<C>(o)));
            };
        } else {
            // Published so that it can be looked up; the streams only know persistents, so to them it has
            // no object and is never written.
            static_assert(std::is_null_pointer_v<S>,
                          "an object that is not persistent is published read-only");
            p.GetObject = [](const TObject*) -> TPersistent* { return nullptr; };
        }
        if constexpr (!std::is_null_pointer_v<S>) {
            p.SetObject = [Setter, name = std::string(Name)](TObject* o, TPersistent* v) {
                T* t = v ? dynamic_cast<T*>(v) : nullptr;
                if (v && !t)
                    RaiseInvalidPropertyValue(name);
                prop_detail::Put<C>(Setter, o, t);
            };
        }
        return TPropRef<C>(p);
    }

    TPropertyTable& FTable;
};

// Connects a class with the function that fills its table; made by PLAT_PROPERTIES.
struct TPropertyRegistration {
    TPropertyRegistration(const TClassInfo& (*Cls)(), void (*Fill)(TPropertyTable&));
};

// The table of the class itself (not its parents), or null when it declares none.
const TPropertyTable* FindPropertyTable(const TClassInfo& Cls);

} // namespace plat

// Declares the published properties of Cls; follow it with the body that fills `props`. Put it in the
// .cpp that holds the class's PLAT_CLASS_INFO, in the class's namespace.
#define PLAT_PROPERTIES(Cls)                                                                                 \
    static void PlatDeclareProperties_##Cls(::plat::TPropertyBuilder<Cls>& props);                           \
    static const ::plat::TPropertyRegistration PlatPropertyRegistration_##Cls(                               \
        &Cls::StaticClass, [](::plat::TPropertyTable& table) {                                               \
            ::plat::TPropertyBuilder<Cls> builder(table);                                                    \
            PlatDeclareProperties_##Cls(builder);                                                            \
        });                                                                                                  \
    static void PlatDeclareProperties_##Cls(::plat::TPropertyBuilder<Cls>& props)
