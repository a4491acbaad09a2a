// Every enumeration and set that a creatable class publishes, at every value, survives being written as
// a layout (text and binary), read back and assigned: the name tables, the writers, the readers and the
// Assign field lists have to agree for that. Each area registers what its programs register and runs the
// check over the whole registry.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/ComponentStream.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/Stream.h"

namespace layout_round_trip {

using namespace plat;

// A published property reached from the component: Path holds the object and collection properties on
// the way ("Font", "Panels" meaning its first item) and Prop the enumeration or set itself.
struct TReach {
    std::vector<const TPropInfo*> Path;
    const TPropInfo* Prop = nullptr;

    std::string Name() const {
        std::string n;
        for (const TPropInfo* p : Path) {
            n += p->Name;
            n += p->Kind == pkCollection ? "[0]." : ".";
        }
        return n += Prop->Name;
    }
    // The object that holds Prop in Root, or null when an object on the way is missing. With AddItems
    // an empty collection on the way gets an item.
    TObject* Holder(TObject* Root, bool AddItems) const {
        TObject* o = Root;
        for (const TPropInfo* p : Path) {
            o = GetObjectProp(o, p);
            if (o && p->Kind == pkCollection) {
                auto* items = static_cast<TCollection*>(o);
                if (items->Count() == 0 && AddItems)
                    items->Add();
                o = items->Count() > 0 ? items->Items(0) : nullptr;
            }
            if (!o)
                return nullptr;
        }
        return o;
    }
};

inline void CollectOrdinals(TObject* Instance, std::vector<const TPropInfo*>& Path, std::vector<TReach>& Out,
                            int Depth) {
    for (const TPropInfo* p : GetPropList(Instance->ClassType())) {
        if ((p->Kind == pkEnum || p->Kind == pkSet) && p->IsWritable() && !p->Names.empty()) {
            Out.push_back({Path, p});
        } else if ((p->Kind == pkObject || p->Kind == pkCollection) && Depth < 3) {
            TPersistent* sub = GetObjectProp(Instance, p);
            if (sub && p->Kind == pkCollection) {
                auto* items = static_cast<TCollection*>(sub);
                sub = items->Count() > 0 ? items->Items(0) : items->Add();
            }
            if (sub) {
                Path.push_back(p);
                CollectOrdinals(sub, Path, Out, Depth + 1);
                Path.pop_back();
            }
        }
    }
}

// The values to try: each identifier of an enumeration; for a set none, each element alone and all.
inline std::vector<int64_t> ValuesOf(const TPropInfo& Prop) {
    std::vector<int64_t> values;
    const int64_t n = static_cast<int64_t>(Prop.Names.size());
    if (Prop.Kind == pkEnum) {
        for (int64_t v = 0; v < n; ++v)
            values.push_back(v);
    } else {
        values.push_back(0);
        for (int64_t bit = 0; bit < n; ++bit)
            values.push_back(int64_t(1) << bit);
        values.push_back((int64_t(1) << n) - 1);
    }
    return values;
}

inline std::unique_ptr<TComponent> Create(const TClassInfo& Cls) {
    return std::unique_ptr<TComponent>(static_cast<TComponent*>(Cls.Create(nullptr)));
}

struct TCounts {
    int Classes = 0;
    int Checked = 0;
};

struct TOptions {
    // A sub-object assigned as a whole carries every value too (off where copies are partial by design).
    bool CheckAssign = true;
    // "Class.Path.Property" (or a leading part of it, "Class.Path.") whose declared stream default
    // differs from what the constructor sets on purpose, so that its default value, not stored, reads
    // back as the constructor's.
    std::set<std::string> DefaultTraps;
};

// Runs the round trip for every creatable component class registered now; failures are reported as
// test failures naming the class, the property and the value. A class that cannot be made without an
// owner (a component that must sit on a form) is left out.
inline TCounts CheckEveryRegisteredClass(const TOptions& Options = {}) {
    const bool CheckAssign = Options.CheckAssign;
    TCounts counts;
    int& classes = counts.Classes;
    int& checked = counts.Checked;
    for (const TClassInfo* cls : RegisteredClasses()) {
        if (!cls->Create || !cls->InheritsFrom(TComponent::StaticClass()))
            continue;
        std::vector<TReach> reaches;
        try {
            std::unique_ptr<TComponent> probe = Create(*cls);
            std::vector<const TPropInfo*> path;
            CollectOrdinals(probe.get(), path, reaches, 0);
        } catch (const Exception&) {
            continue;
        }
        ++classes;
        for (const TReach& reach : reaches) {
            const std::string where = std::string(cls->Name) + "." + reach.Name();
            if (std::any_of(Options.DefaultTraps.begin(), Options.DefaultTraps.end(),
                            [&](const std::string& trap) { return where.rfind(trap, 0) == 0; }))
                continue;
            for (int64_t value : ValuesOf(*reach.Prop)) {
                const std::string what =
                    std::string(cls->Name) + "." + reach.Name() + " = " + std::to_string(value);
                std::unique_ptr<TComponent> original = Create(*cls);
                original->SetName("Probe");
                TObject* holder = reach.Holder(original.get(), true);
                if (!holder) {
                    ADD_FAILURE() << what;
                    continue;
                }
                try {
                    SetOrdProp(holder, reach.Prop, value);
                } catch (const Exception&) {
                    continue; // a value the object refuses in this state (an MDI child without an MDI form)
                }
                // A setter may adjust what it is given; what the object holds is what must come back.
                const int64_t held = GetOrdProp(holder, reach.Prop);

                std::string text;
                std::unique_ptr<TComponent> back = Create(*cls);
                try {
                    text = WriteComponentToText(original.get());
                    ReadComponentFromText(text, back.get());
                } catch (const std::exception& e) {
                    ADD_FAILURE() << what << ": " << e.what() << "\n" << text;
                    continue;
                }
                TObject* backHolder = reach.Holder(back.get(), false);
                if (!backHolder) {
                    ADD_FAILURE() << what;
                    continue;
                }
                EXPECT_EQ(GetOrdProp(backHolder, reach.Prop), held) << what << "\n" << text;

                // The binary form carries the same.
                std::unique_ptr<TComponent> fromBinary = Create(*cls);
                try {
                    TMemoryStream stream;
                    WriteComponent(stream, original.get());
                    stream.SetPosition(0);
                    ReadComponentFromStream(stream, fromBinary.get());
                } catch (const std::exception& e) {
                    ADD_FAILURE() << what << " (binary): " << e.what();
                    continue;
                }
                TObject* binaryHolder = reach.Holder(fromBinary.get(), false);
                if (!binaryHolder) {
                    ADD_FAILURE() << what << " (binary)";
                    continue;
                }
                EXPECT_EQ(GetOrdProp(binaryHolder, reach.Prop), held) << what << " (binary)";

                // A sub-object or item is assigned as a whole (a component cannot be): the copy holds the
                // value too.
                if (CheckAssign && !reach.Path.empty()) {
                    std::unique_ptr<TComponent> fresh = Create(*cls);
                    auto* target = static_cast<TPersistent*>(reach.Holder(fresh.get(), true));
                    target->Assign(static_cast<TPersistent*>(backHolder));
                    EXPECT_EQ(GetOrdProp(target, reach.Prop), held) << what << " (assigned)";
                }
                ++checked;
            }
        }
    }
    return counts;
}

} // namespace layout_round_trip
