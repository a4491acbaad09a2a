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
    // Layouts look properties up by name for every line they set. Open addressing over Props (a slot holds
    // an index + 1), with at least half the slots empty: one block per class, where a map of nodes cost the
    // first start an allocation for every property of every class it read. A class starts from a copy of
    // its parent's, so that its own declarations find what they replace without a scan.
    std::vector<uint32_t> Slots;
    std::vector<const TMethodInfo*> Methods;
    std::vector<const TFieldInfo*> Fields;
    std::vector<std::unique_ptr<TPropInfo>> Copies; // inherited properties with a changed default

    const TPropInfo* Find(std::string_view name) const {
        if (Slots.empty())
            return nullptr;
        const uint32_t slot = Slots[SlotOf(name)];
        return slot ? Props[slot - 1] : nullptr;
    }
    // The position of the property of that name in Props, or -1.
    ptrdiff_t IndexOf(std::string_view name) const {
        if (Slots.empty())
            return -1;
        return static_cast<ptrdiff_t>(Slots[SlotOf(name)]) - 1;
    }
    // Replaces the property of the same name where it was, or adds it at the end.
    void Put(const TPropInfo* p) {
        if (2 * (Props.size() + 1) > Slots.size())
            Index(2 * (Props.size() + 1));
        uint32_t& slot = Slots[SlotOf(p->Name)];
        if (slot) {
            Props[slot - 1] = p;
        } else {
            Props.push_back(p);
            slot = static_cast<uint32_t>(Props.size());
        }
    }
    void Index(size_t least) {
        size_t size = 1;
        while (size < least)
            size *= 2;
        Slots.assign(size, 0);
        for (size_t i = 0; i < Props.size(); ++i) {
            uint32_t& slot = Slots[SlotOf(Props[i]->Name)];
            if (!slot)
                slot = static_cast<uint32_t>(i + 1);
        }
    }

private:
    // The slot holding the name, or the empty one where it would go.
    size_t SlotOf(std::string_view name) const {
        const size_t mask = Slots.size() - 1;
        for (size_t i = TNameHash()(name) & mask;; i = (i + 1) & mask) {
            const uint32_t slot = Slots[i];
            if (!slot || TNameEqual()(Props[slot - 1]->Name, name))
                return i;
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
        merged->Slots = parent.Slots;
        merged->Methods = parent.Methods;
        merged->Fields = parent.Fields;
    }
    if (const TPropertyTable* own = FindPropertyTable(cls)) {
        for (const TPropInfo& p : own->Props)
            merged->Put(&p);
        for (const TMethodInfo& m : own->Methods)
            Replace(merged->Methods, &m);
        for (const TFieldInfo& f : own->Fields)
            Replace(merged->Fields, &f);
        for (const auto& o : own->Overrides) {
            const ptrdiff_t i = merged->IndexOf(o.Name);
            if (i < 0)
                continue;
            const TPropInfo*& p = merged->Props[static_cast<size_t>(i)];
            auto copy = std::make_unique<TPropInfo>(*p);
            copy->HasDefault = o.HasDefault;
            if (copy->Kind == pkFloat)
                copy->FloatDefault = static_cast<double>(o.Default);
            else
                copy->OrdDefault = o.Default;
            p = copy.get();
            merged->Copies.push_back(std::move(copy));
        }
        if (!own->Hidden.empty()) {
            for (const auto& h : own->Hidden)
                std::erase_if(merged->Props, [&](const TPropInfo* p) { return SameText(p->Name, h); });
            merged->Index(2 * merged->Props.size());
        }
    }
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
    throw EPropertyError("Property " + std::string(prop->Name) + " is not of the requested type");
}

[[noreturn]] void ReadOnly(const TPropInfo* prop) {
    throw EPropertyError("Property " + std::string(prop->Name) + " is read-only");
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
    return Kind == pkEvent || Writable;
}

bool TPropInfo::IsStored(const TObject* Instance) const {
    if (!StoredFlag)
        return false;
    return !StoredFn || StoredFn(*this, Instance);
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
    if (!Prop->IsWritable())
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
    if (!Prop->IsWritable())
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
    if (!Prop->IsWritable())
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
        throw EPropertyError("'" + Value + "' is not a value of property " + std::string(p.Name));
    SetOrdProp(Instance, &p, v);
}

TPersistent* GetObjectProp(const TObject* Instance, const TPropInfo* Prop) {
    if (!Prop->IsObjectLike())
        WrongKind(Prop);
    return Prop->GetObject(Instance);
}
TPersistent* GetObjectProp(const TObject* Instance, std::string_view Name) {
    return GetObjectProp(Instance, &Need(Instance, Name));
}
void SetObjectProp(TObject* Instance, const TPropInfo* Prop, TPersistent* Value) {
    if (!Prop->IsObjectLike())
        WrongKind(Prop);
    if (!Prop->IsWritable())
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
