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
#include <cstring>
#include <functional>
#include <memory>
#include <new>
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
struct TPropInfo;

// Room for the member pointer (or captureless callable) a declaration names; member function pointers
// are the largest at two words.
struct TMemberSlot {
    alignas(void*) unsigned char Bytes[2 * sizeof(void*)] = {};
};

// How the records of one kind of declaration reach their values: one constant table per class, kind and
// accessor types, shared by every record declared that way. The functions read the member pointers from
// the record, so that a record is plain data, filled without allocating and copied with memcpy's cost.
struct TPropAccess {
    int64_t (*GetOrd)(const TPropInfo&, const TObject*) = nullptr;
    void (*SetOrd)(const TPropInfo&, TObject*, int64_t) = nullptr;
    double (*GetFloat)(const TPropInfo&, const TObject*) = nullptr;
    void (*SetFloat)(const TPropInfo&, TObject*, double) = nullptr;
    std::string (*GetStr)(const TPropInfo&, const TObject*) = nullptr;
    void (*SetStr)(const TPropInfo&, TObject*, const std::string&) = nullptr;
    TPersistent* (*GetObject)(const TPropInfo&, const TObject*) = nullptr;
    void (*SetObject)(const TPropInfo&, TObject*, TPersistent*) = nullptr;
    std::string (*GetMethodName)(const TPropInfo&, const TObject*) = nullptr;
    bool (*IsAssigned)(const TPropInfo&, const TObject*) = nullptr;
    void (*BindEvent)(const TPropInfo&, TObject*, const TMethodInfo&, TObject*) = nullptr;
    void (*ClearEvent)(const TPropInfo&, TObject*) = nullptr;
};

struct TPropInfo {
    std::string_view Name; // declared as a literal
    TPropKind Kind = pkInteger;
    bool HasDefault = false;
    bool StoredFlag = true;
    bool Writable = false;
    std::span<const char* const> Names; // enum identifiers by ordinal, set elements by bit (static tables)
    const TClassInfo* ObjectClass = nullptr; // class of object, collection and component properties
    int64_t OrdDefault = 0;
    double FloatDefault = 0;
    std::string StrDefault;
    const std::type_info* EventType = nullptr; // the handler's signature
    const TPropAccess* Access = nullptr;
    bool (*StoredFn)(const TPropInfo&, const TObject*) = nullptr;
    TMemberSlot Getter; // the getter, or the event's member
    TMemberSlot Setter;
    TMemberSlot StoredPredicate;

    // Accessors; which ones a record has depends on Kind (ordinal kinds share GetOrd/SetOrd) and, for the
    // setters, on Writable. Asking a record for another kind's accessor is a programming error.
    int64_t GetOrd(const TObject* Instance) const { return Access->GetOrd(*this, Instance); }
    void SetOrd(TObject* Instance, int64_t Value) const { Access->SetOrd(*this, Instance, Value); }
    double GetFloat(const TObject* Instance) const { return Access->GetFloat(*this, Instance); }
    void SetFloat(TObject* Instance, double Value) const { Access->SetFloat(*this, Instance, Value); }
    std::string GetStr(const TObject* Instance) const { return Access->GetStr(*this, Instance); }
    void SetStr(TObject* Instance, const std::string& Value) const { Access->SetStr(*this, Instance, Value); }
    TPersistent* GetObject(const TObject* Instance) const { return Access->GetObject(*this, Instance); }
    void SetObject(TObject* Instance, TPersistent* Value) const { Access->SetObject(*this, Instance, Value); }

    // Events.
    // Name of the bound published method, or "".
    std::string GetMethodName(const TObject* Instance) const {
        return Access->GetMethodName(*this, Instance);
    }
    bool IsAssigned(const TObject* Instance) const { return Access->IsAssigned(*this, Instance); }
    void BindEvent(TObject* Instance, const TMethodInfo& Method, TObject* MethodInstance) const {
        Access->BindEvent(*this, Instance, Method, MethodInstance);
    }
    void ClearEvent(TObject* Instance) const { Access->ClearEvent(*this, Instance); }

    bool IsOrdinal() const;
    bool IsObjectLike() const { return Kind == pkObject || Kind == pkCollection || Kind == pkComponent; }
    bool IsWritable() const;
    bool IsStored(const TObject* Instance) const;
};

// A published method: event properties of matching signature can be bound to it by name.
struct TMethodInfo {
    std::string_view Name; // declared as a literal
    const std::type_info* Signature = nullptr;
    void (*BindFn)(const TMethodInfo&, TObject* Instance, void* Event) = nullptr;
    TMemberSlot Method;
    // Fills *Event (a std::function of the method's signature) with the method bound to Instance.
    void Bind(TObject* Instance, void* Event) const { BindFn(*this, Instance, Event); }
};

// A published component field: the reader stores a component of that name, created for the root, in it.
struct TFieldInfo {
    std::string_view Name; // declared as a literal
    const TClassInfo* FieldClass = nullptr;
    void (*SetFn)(const TFieldInfo&, TObject* Instance, TComponent* Value) = nullptr;
    TMemberSlot Field;
    void Set(TObject* Instance, TComponent* Value) const { SetFn(*this, Instance, Value); }
};

// The declarations of one class (its parent's are found through the class chain). The records live in
// one block each; the merged tables point into them once the class's table is complete.
struct TPropertyTable {
    struct TDefaultOverride {
        std::string_view Name;
        bool HasDefault = false;
        int64_t Default = 0;
    };
    std::vector<TPropInfo> Props;
    std::vector<TMethodInfo> Methods;
    std::vector<TFieldInfo> Fields;
    std::vector<std::string> Hidden;
    std::vector<TDefaultOverride> Overrides;
};

// What an event property holds after the reader bound it: a callable that remembers the method's name,
// so that the writer can write it back.
template <class Sig> struct TMethodRef;
template <class R, class... A> struct TMethodRef<R(A...)> {
    std::string_view Name;
    TObject* Instance = nullptr;
    R (*Call)(const TMethodRef&, A...) = nullptr;
    TMemberSlot Method;
    R operator()(A... Args) const { return Call(*this, std::forward<A>(Args)...); }
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

template <class M> TMemberSlot Keep(M Member) {
    static_assert(sizeof(M) <= sizeof(TMemberSlot::Bytes) && alignof(M) <= alignof(TMemberSlot),
                  "a published accessor is a member pointer or a captureless callable");
    static_assert(std::is_trivially_copyable_v<M>, "a published accessor is trivially copyable");
    TMemberSlot slot;
    std::memcpy(slot.Bytes, &Member, sizeof(M));
    return slot;
}
template <class M> const M& Use(const TMemberSlot& Slot) {
    return *std::launder(reinterpret_cast<const M*>(Slot.Bytes));
}

// The accessor functions of each kind of declaration; G and S are the getter's and setter's types.
template <class C, class G> decltype(auto) Read(const TPropInfo& p, const TObject* o) {
    return std::invoke(Use<G>(p.Getter), Obj<C>(o));
}

template <class C, class G, class S> struct TOrdinalAccess {
    using V = ValueOf<C, G>;
    static int64_t Get(const TPropInfo& p, const TObject* o) { return ToOrd(Read<C, G>(p, o)); }
    static void Set(const TPropInfo& p, TObject* o, int64_t v) { Put<C>(Use<S>(p.Setter), o, FromOrd<V>(v)); }
    static constexpr TPropAccess Make() {
        TPropAccess a;
        a.GetOrd = &Get;
        if constexpr (!std::is_null_pointer_v<S>)
            a.SetOrd = &Set;
        return a;
    }
};

template <class C, class G, class S> struct TSetAccess {
    using V = ValueOf<C, G>;
    static int64_t Get(const TPropInfo& p, const TObject* o) { return SetToBits(Read<C, G>(p, o)); }
    static void Set(const TPropInfo& p, TObject* o, int64_t v) {
        Put<C>(Use<S>(p.Setter), o, SetFromBits<V>(v));
    }
    static constexpr TPropAccess Make() {
        TPropAccess a;
        a.GetOrd = &Get;
        if constexpr (!std::is_null_pointer_v<S>)
            a.SetOrd = &Set;
        return a;
    }
};

template <class C, class G, class S> struct TFloatAccess {
    using V = ValueOf<C, G>;
    static double Get(const TPropInfo& p, const TObject* o) { return static_cast<double>(Read<C, G>(p, o)); }
    static void Set(const TPropInfo& p, TObject* o, double v) {
        Put<C>(Use<S>(p.Setter), o, static_cast<V>(v));
    }
    static constexpr TPropAccess Make() {
        TPropAccess a;
        a.GetFloat = &Get;
        if constexpr (!std::is_null_pointer_v<S>)
            a.SetFloat = &Set;
        return a;
    }
};

template <class C, class G, class S> struct TStringAccess {
    static std::string Get(const TPropInfo& p, const TObject* o) { return std::string(Read<C, G>(p, o)); }
    static void Set(const TPropInfo& p, TObject* o, const std::string& v) { Put<C>(Use<S>(p.Setter), o, v); }
    static constexpr TPropAccess Make() {
        TPropAccess a;
        a.GetStr = &Get;
        if constexpr (!std::is_null_pointer_v<S>)
            a.SetStr = &Set;
        return a;
    }
};

template <class C, class G, class S> struct TObjectAccess {
    using T = std::remove_pointer_t<ValueOf<C, G>>;
    static TPersistent* Get(const TPropInfo& p, const TObject* o) {
        if constexpr (std::is_base_of_v<TPersistent, T>)
            return static_cast<TPersistent*>(Read<C, G>(p, o));
        else
            return nullptr; // published so that it can be looked up; the streams only know persistents
    }
    static void Set(const TPropInfo& p, TObject* o, TPersistent* v) {
        if constexpr (std::is_base_of_v<TPersistent, T>) {
            T* t = v ? dynamic_cast<T*>(v) : nullptr;
            if (v && !t)
                RaiseInvalidPropertyValue(std::string(p.Name));
            Put<C>(Use<S>(p.Setter), o, t);
        }
    }
    static constexpr TPropAccess Make() {
        TPropAccess a;
        a.GetObject = &Get;
        if constexpr (!std::is_null_pointer_v<S>)
            a.SetObject = &Set;
        return a;
    }
};

template <class C, class M> struct TEventAccess {
    using F = ValueOf<C, M>;
    using Sig = typename Signature<F>::type;
    static F& Member(const TPropInfo& p, const TObject* o) {
        return std::invoke(Use<M>(p.Getter), Obj<C>(o));
    }
    static std::string MethodName(const TPropInfo& p, const TObject* o) {
        if (auto* ref = Member(p, o).template target<TMethodRef<Sig>>())
            return std::string(ref->Name);
        return {};
    }
    static bool IsAssigned(const TPropInfo& p, const TObject* o) { return static_cast<bool>(Member(p, o)); }
    static void Bind(const TPropInfo& p, TObject* o, const TMethodInfo& m, TObject* instance) {
        F f;
        m.Bind(instance, &f);
        Member(p, o) = std::move(f);
    }
    static void Clear(const TPropInfo& p, TObject* o) { Member(p, o) = nullptr; }
    static constexpr TPropAccess Make() {
        return {.GetMethodName = &MethodName,
                .IsAssigned = &IsAssigned,
                .BindEvent = &Bind,
                .ClearEvent = &Clear};
    }
};

// One table per way of declaring, made by the compiler.
template <class A> inline constexpr TPropAccess kAccess = A::Make();

template <class C, class P> bool IsStoredBy(const TPropInfo& p, const TObject* o) {
    return std::invoke(Use<P>(p.StoredPredicate), Obj<C>(o));
}

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
            FProp.StoredPredicate = prop_detail::Keep(Predicate);
            FProp.StoredFn = &prop_detail::IsStoredBy<C, M>;
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
    // Names is a table of static storage (kAlignNames); the record keeps a view of it.
    template <class G, class S>
    TPropRef<C> Enum(const char* Name, G Getter, S Setter, std::span<const char* const> Names) {
        TPropRef<C> r = Ordinal(pkEnum, Name, Getter, Setter);
        r.Info().Names = Names;
        return r;
    }
    template <class G, class S, class D>
    TPropRef<C> Enum(const char* Name, G Getter, S Setter, std::span<const char* const> Names, D Default) {
        return WithDefault(Enum(Name, Getter, Setter, Names), static_cast<int64_t>(Default));
    }
    template <class G, class S>
    TPropRef<C> Set(const char* Name, G Getter, S Setter, std::span<const char* const> Names) {
        TPropInfo& p =
            NewProp(Name, pkSet, prop_detail::kAccess<prop_detail::TSetAccess<C, G, S>>, Getter, Setter);
        p.Names = Names;
        return TPropRef<C>(p);
    }
    template <class G, class S, class D>
    TPropRef<C> Set(const char* Name, G Getter, S Setter, std::span<const char* const> Names, D Default) {
        return WithDefault(Set(Name, Getter, Setter, Names), prop_detail::SetToBits(Default));
    }
    template <class G, class S>
    TPropRef<C> Float(const char* Name, G Getter, S Setter, double Default = 0.0) {
        TPropInfo& p =
            NewProp(Name, pkFloat, prop_detail::kAccess<prop_detail::TFloatAccess<C, G, S>>, Getter, Setter);
        p.HasDefault = true;
        p.FloatDefault = Default;
        return TPropRef<C>(p);
    }
    template <class G, class S>
    TPropRef<C> String(const char* Name, G Getter, S Setter, std::string Default = {}) {
        TPropInfo& p = NewProp(Name, pkString, prop_detail::kAccess<prop_detail::TStringAccess<C, G, S>>,
                               Getter, Setter);
        p.HasDefault = true;
        p.StrDefault = std::move(Default);
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
        using Access = prop_detail::TEventAccess<C, M>;
        TPropInfo& p = NewProp(Name, pkEvent, prop_detail::kAccess<Access>, Member, nullptr);
        p.EventType = &typeid(typename Access::Sig);
        return TPropRef<C>(p);
    }
    // A published method (an event handler such as btn_startClick).
    template <class D, class R, class... A> void Method(const char* Name, R (D::*Fn)(A...)) {
        using Fn_t = R (D::*)(A...);
        TMethodInfo& m = FTable.Methods.emplace_back();
        m.Name = Name;
        m.Signature = &typeid(R(A...));
        m.Method = prop_detail::Keep(Fn);
        m.BindFn = [](const TMethodInfo& info, TObject* instance, void* event) {
            TMethodRef<R(A...)> ref{info.Name, instance, nullptr, info.Method};
            ref.Call = [](const TMethodRef<R(A...)>& self, A... args) -> R {
                return (static_cast<C*>(self.Instance)->*prop_detail::Use<Fn_t>(self.Method))(
                    std::forward<A>(args)...);
            };
            *static_cast<std::function<R(A...)>*>(event) = ref;
        };
    }
    // A component field (`TButton* btn_start;`) that the reader fills with the component of that name.
    template <class M> void Field(const char* Name, M Member) {
        using P = prop_detail::ValueOf<C, M>;
        static_assert(std::is_pointer_v<P>, "a published field holds a component pointer");
        using T = std::remove_pointer_t<P>;
        TFieldInfo& f = FTable.Fields.emplace_back();
        f.Name = Name;
        f.FieldClass = &T::StaticClass();
        f.Field = prop_detail::Keep(Member);
        f.SetFn = [](const TFieldInfo& info, TObject* o, TComponent* value) {
            std::invoke(prop_detail::Use<M>(info.Field), static_cast<C&>(*o)) = static_cast<T*>(value);
        };
    }
    // Changes the default of an inherited ordinal property.
    template <class D> void Default(const char* Name, D Value) {
        FTable.Overrides.push_back({Name, true, prop_detail::ToOrd(Value)});
    }
    void NoDefault(const char* Name) { FTable.Overrides.push_back({Name, false, 0}); }
    // Removes an inherited property from this class and its descendants.
    void Hide(const char* Name) { FTable.Hidden.emplace_back(Name); }

private:
    template <class G, class S>
    TPropInfo& NewProp(const char* Name, TPropKind Kind, const TPropAccess& Access, G Getter, S Setter) {
        TPropInfo& p = FTable.Props.emplace_back();
        p.Name = Name;
        p.Kind = Kind;
        p.Access = &Access;
        p.Getter = prop_detail::Keep(Getter);
        if constexpr (!std::is_null_pointer_v<S>) {
            p.Setter = prop_detail::Keep(Setter);
            p.Writable = true;
        }
        return p;
    }
    static TPropRef<C> WithDefault(TPropRef<C> r, int64_t Default) {
        r.Info().HasDefault = true;
        r.Info().OrdDefault = Default;
        return r;
    }
    template <class G, class S> TPropRef<C> Ordinal(TPropKind Kind, const char* Name, G Getter, S Setter) {
        return TPropRef<C>(
            NewProp(Name, Kind, prop_detail::kAccess<prop_detail::TOrdinalAccess<C, G, S>>, Getter, Setter));
    }
    template <class G, class S> TPropRef<C> ObjectLike(TPropKind Kind, const char* Name, G Getter, S Setter) {
        using P = prop_detail::ValueOf<C, G>;
        static_assert(std::is_pointer_v<P>, "object properties are read through a pointer");
        using T = std::remove_pointer_t<P>;
        // The streams only know persistents: to them another object is absent and never written.
        static_assert(std::is_base_of_v<TPersistent, T> || std::is_null_pointer_v<S>,
                      "an object that is not persistent is published read-only");
        TPropInfo& p =
            NewProp(Name, Kind, prop_detail::kAccess<prop_detail::TObjectAccess<C, G, S>>, Getter, Setter);
        p.ObjectClass = &T::StaticClass();
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
