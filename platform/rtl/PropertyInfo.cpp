#include "platform/rtl/PropertyInfo.h"

#include <mutex>
#include <unordered_map>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/StringUtils.h"

namespace plat {

namespace {

struct TTableEntry {
    void (*Fill)(TPropertyTable&) = nullptr;
    std::unique_ptr<TPropertyTable> Table;
};

// Everything a class sees: its own declarations merged over its parents'.
// Property names compare without regard to ASCII case, as SameText does; letters of either case differ
// only in the bit the hash leaves out.
struct TNameHash {
    size_t operator()(std::string_view name) const {
        size_t h = 14695981039346656037ull;
        for (char c : name)
            h = (h ^ (static_cast<unsigned char>(c) | 0x20u)) * 1099511628211ull;
        return h;
    }
};

struct TNameEqual {
    bool operator()(std::string_view a, std::string_view b) const { return SameText(a, b); }
};

struct TMergedTable {
    std::vector<const TPropInfo*> Props;
    // Layouts look properties up by name for every line they set. Open addressing over Props, with at
    // least half the slots empty: one block per class, where a map of nodes cost the first start an
    // allocation for every property of every class it read.
    std::vector<const TPropInfo*> Slots;
    std::vector<const TMethodInfo*> Methods;
    std::vector<const TFieldInfo*> Fields;
    std::vector<std::unique_ptr<TPropInfo>> Copies; // inherited properties with a changed default

    void IndexProps() {
        size_t size = 1;
        while (size < 2 * Props.size())
            size *= 2;
        Slots.assign(size, nullptr);
        for (const TPropInfo* p : Props) {
            const TPropInfo*& slot = Slot(p->Name);
            if (!slot)
                slot = p;
        }
    }
    const TPropInfo* Find(std::string_view name) const { return const_cast<TMergedTable*>(this)->Slot(name); }

private:
    // The slot holding the name, or the empty one where it would go.
    const TPropInfo*& Slot(std::string_view name) {
        const size_t mask = Slots.size() - 1;
        for (size_t i = TNameHash()(name) & mask;; i = (i + 1) & mask) {
            const TPropInfo*& slot = Slots[i];
            if (!slot || TNameEqual()(slot->Name, name))
                return slot;
        }
    }
};

struct TTables {
    std::recursive_mutex Lock;
    std::unordered_map<const TClassInfo*, TTableEntry> Own;
    std::unordered_map<const TClassInfo*, std::unique_ptr<TMergedTable>> Merged;
};

TTables& Tables() {
    static TTables tables;
    return tables;
}

template <class T> void Replace(std::vector<const T*>& list, const T* item) {
    for (auto& existing : list) {
        if (SameText(existing->Name, item->Name)) {
            existing = item;
            return;
        }
    }
    list.push_back(item);
}

const TMergedTable& Merged(const TClassInfo& cls) {
    TTables& t = Tables();
    std::lock_guard lock(t.Lock);
    auto found = t.Merged.find(&cls);
    if (found != t.Merged.end())
        return *found->second;
    auto merged = std::make_unique<TMergedTable>();
    if (cls.Parent) {
        const TMergedTable& parent = Merged(*cls.Parent);
        merged->Props = parent.Props;
        merged->Methods = parent.Methods;
        merged->Fields = parent.Fields;
    }
    if (const TPropertyTable* own = FindPropertyTable(cls)) {
        for (const auto& p : own->Props)
            Replace(merged->Props, p.get());
        for (const auto& m : own->Methods)
            Replace(merged->Methods, m.get());
        for (const auto& f : own->Fields)
            Replace(merged->Fields, f.get());
        for (const auto& o : own->Overrides) {
            for (auto& p : merged->Props) {
                if (SameText(p->Name, o.Name)) {
                    auto copy = std::make_unique<TPropInfo>(*p);
                    copy->HasDefault = o.HasDefault;
                    if (copy->Kind == pkFloat)
                        copy->FloatDefault = static_cast<double>(o.Default);
                    else
                        copy->OrdDefault = o.Default;
                    p = copy.get();
                    merged->Copies.push_back(std::move(copy));
                }
            }
        }
        for (const auto& h : own->Hidden)
            std::erase_if(merged->Props, [&](const TPropInfo* p) { return SameText(p->Name, h); });
    }
    merged->IndexProps();
    const TMergedTable& result = *merged;
    t.Merged.emplace(&cls, std::move(merged));
    return result;
}

const TPropInfo& Need(const TObject* instance, std::string_view name) {
    if (const TPropInfo* p = GetPropInfo(instance, name))
        return *p;
    throw EPropertyError("Property " + std::string(name) + " does not exist");
}

[[noreturn]] void WrongKind(const TPropInfo* prop) {
    throw EPropertyError("Property " + prop->Name + " is not of the requested type");
}

[[noreturn]] void ReadOnly(const TPropInfo* prop) {
    throw EPropertyError("Property " + prop->Name + " is read-only");
}

} // namespace

TPropertyRegistration::TPropertyRegistration(const TClassInfo& (*Cls)(), void (*Fill)(TPropertyTable&)) {
    TTables& t = Tables();
    std::lock_guard lock(t.Lock);
    t.Own[&Cls()].Fill = Fill;
}

const TPropertyTable* FindPropertyTable(const TClassInfo& Cls) {
    if (Cls.Properties)
        return Cls.Properties();
    TTables& t = Tables();
    std::lock_guard lock(t.Lock);
    auto found = t.Own.find(&Cls);
    if (found == t.Own.end())
        return nullptr;
    TTableEntry& e = found->second;
    if (!e.Table) {
        auto table = std::make_unique<TPropertyTable>();
        e.Fill(*table);
        e.Table = std::move(table);
    }
    return e.Table.get();
}

bool TPropInfo::IsOrdinal() const {
    switch (Kind) {
    case pkInteger:
    case pkInt64:
    case pkBoolean:
    case pkEnum:
    case pkSet:
    case pkColor:
    case pkChar:
        return true;
    default:
        return false;
    }
}

bool TPropInfo::IsWritable() const {
    switch (Kind) {
    case pkFloat:
        return static_cast<bool>(SetFloat);
    case pkString:
        return static_cast<bool>(SetStr);
    case pkObject:
    case pkCollection:
    case pkComponent:
        return static_cast<bool>(SetObject);
    case pkEvent:
        return true;
    default:
        return static_cast<bool>(SetOrd);
    }
}

bool TPropInfo::IsStored(const TObject* Instance) const {
    if (!StoredFlag)
        return false;
    return !StoredFn || StoredFn(Instance);
}

const std::vector<const TPropInfo*>& GetPropList(const TClassInfo& Cls) {
    return Merged(Cls).Props;
}

const TPropInfo* GetPropInfo(const TClassInfo& Cls, std::string_view Name) {
    return Merged(Cls).Find(Name);
}

const TPropInfo* GetPropInfo(const TObject* Instance, std::string_view Name) {
    return Instance ? GetPropInfo(Instance->ClassType(), Name) : nullptr;
}

bool IsPublishedProp(const TObject* Instance, std::string_view Name) {
    return GetPropInfo(Instance, Name);
}

const TMethodInfo* FindPublishedMethod(const TClassInfo& Cls, std::string_view Name) {
    for (const TMethodInfo* m : Merged(Cls).Methods) {
        if (SameText(m->Name, Name))
            return m;
    }
    return nullptr;
}

const TFieldInfo* FindPublishedField(const TClassInfo& Cls, std::string_view Name) {
    for (const TFieldInfo* f : Merged(Cls).Fields) {
        if (SameText(f->Name, Name))
            return f;
    }
    return nullptr;
}

int64_t GetOrdProp(const TObject* Instance, const TPropInfo* Prop) {
    if (!Prop->IsOrdinal())
        WrongKind(Prop);
    return Prop->GetOrd(Instance);
}
int64_t GetOrdProp(const TObject* Instance, std::string_view Name) {
    return GetOrdProp(Instance, &Need(Instance, Name));
}
void SetOrdProp(TObject* Instance, const TPropInfo* Prop, int64_t Value) {
    if (!Prop->IsOrdinal())
        WrongKind(Prop);
    if (!Prop->SetOrd)
        ReadOnly(Prop);
    Prop->SetOrd(Instance, Value);
}
void SetOrdProp(TObject* Instance, std::string_view Name, int64_t Value) {
    SetOrdProp(Instance, &Need(Instance, Name), Value);
}

double GetFloatProp(const TObject* Instance, const TPropInfo* Prop) {
    if (Prop->Kind != pkFloat)
        WrongKind(Prop);
    return Prop->GetFloat(Instance);
}
double GetFloatProp(const TObject* Instance, std::string_view Name) {
    return GetFloatProp(Instance, &Need(Instance, Name));
}
void SetFloatProp(TObject* Instance, const TPropInfo* Prop, double Value) {
    if (Prop->Kind != pkFloat)
        WrongKind(Prop);
    if (!Prop->SetFloat)
        ReadOnly(Prop);
    Prop->SetFloat(Instance, Value);
}
void SetFloatProp(TObject* Instance, std::string_view Name, double Value) {
    SetFloatProp(Instance, &Need(Instance, Name), Value);
}

std::string GetStrProp(const TObject* Instance, const TPropInfo* Prop) {
    if (Prop->Kind != pkString)
        WrongKind(Prop);
    return Prop->GetStr(Instance);
}
std::string GetStrProp(const TObject* Instance, std::string_view Name) {
    return GetStrProp(Instance, &Need(Instance, Name));
}
void SetStrProp(TObject* Instance, const TPropInfo* Prop, const std::string& Value) {
    if (Prop->Kind != pkString)
        WrongKind(Prop);
    if (!Prop->SetStr)
        ReadOnly(Prop);
    Prop->SetStr(Instance, Value);
}
void SetStrProp(TObject* Instance, std::string_view Name, const std::string& Value) {
    SetStrProp(Instance, &Need(Instance, Name), Value);
}

std::string GetEnumName(const TPropInfo* Prop, int64_t Value) {
    if (Prop->Kind == pkBoolean)
        return Value ? "True" : "False";
    if (Value < 0 || Value >= static_cast<int64_t>(Prop->Names.size()))
        return {};
    return Prop->Names[static_cast<size_t>(Value)];
}

int64_t GetEnumValue(const TPropInfo* Prop, std::string_view Name) {
    if (Prop->Kind == pkBoolean) {
        if (SameText(Name, "True"))
            return 1;
        return SameText(Name, "False") ? 0 : -1;
    }
    for (size_t i = 0; i < Prop->Names.size(); ++i) {
        if (SameText(Prop->Names[i], Name))
            return static_cast<int64_t>(i);
    }
    return -1;
}

std::string GetEnumProp(const TObject* Instance, std::string_view Name) {
    const TPropInfo& p = Need(Instance, Name);
    if (p.Kind != pkEnum && p.Kind != pkBoolean)
        WrongKind(&p);
    return GetEnumName(&p, p.GetOrd(Instance));
}

void SetEnumProp(TObject* Instance, std::string_view Name, const std::string& Value) {
    const TPropInfo& p = Need(Instance, Name);
    if (p.Kind != pkEnum && p.Kind != pkBoolean)
        WrongKind(&p);
    const int64_t v = GetEnumValue(&p, Value);
    if (v < 0)
        throw EPropertyError("'" + Value + "' is not a value of property " + p.Name);
    SetOrdProp(Instance, &p, v);
}

TPersistent* GetObjectProp(const TObject* Instance, const TPropInfo* Prop) {
    if (!Prop->GetObject)
        WrongKind(Prop);
    return Prop->GetObject(Instance);
}
TPersistent* GetObjectProp(const TObject* Instance, std::string_view Name) {
    return GetObjectProp(Instance, &Need(Instance, Name));
}
void SetObjectProp(TObject* Instance, const TPropInfo* Prop, TPersistent* Value) {
    if (!Prop->GetObject)
        WrongKind(Prop);
    if (!Prop->SetObject)
        ReadOnly(Prop);
    Prop->SetObject(Instance, Value);
}
void SetObjectProp(TObject* Instance, std::string_view Name, TPersistent* Value) {
    SetObjectProp(Instance, &Need(Instance, Name), Value);
}

bool IsDefaultPropValue(const TObject* Instance, const TPropInfo* Prop) {
    switch (Prop->Kind) {
    case pkFloat:
        return Prop->HasDefault && Prop->GetFloat(Instance) == Prop->FloatDefault;
    case pkString:
        return Prop->HasDefault && Prop->GetStr(Instance) == Prop->StrDefault;
    case pkObject:
        return false; // its own properties decide
    case pkCollection: {
        auto* c = dynamic_cast<TCollection*>(Prop->GetObject(Instance));
        return !c || c->Count() == 0;
    }
    case pkComponent:
        return Prop->GetObject(Instance) == nullptr;
    case pkEvent:
        return !Prop->IsAssigned(Instance);
    default:
        return Prop->HasDefault && Prop->GetOrd(Instance) == Prop->OrdDefault;
    }
}

void RaiseInvalidPropertyValue(const std::string& PropName) {
    throw EPropertyError("Invalid value for property " + PropName);
}

} // namespace plat
