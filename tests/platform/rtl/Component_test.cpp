#include "platform/rtl/Component.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Exception.h"

using namespace plat;

namespace {

std::vector<std::string> gLog;

// Logs its destruction and every notification it receives; can hold a non-owned reference.
class TProbe : public TComponent {
    PLAT_CLASS(TProbe)
public:
    explicit TProbe(TComponent* owner, std::string name = {}) : TComponent(owner) { SetName(name); }
    ~TProbe() override {
        BeforeDestruction();
        gLog.push_back("free " + Name());
    }
    void SetRef(TComponent* c) {
        if (Ref)
            Ref->RemoveFreeNotification(this);
        Ref = c;
        if (c)
            c->FreeNotification(this);
    }
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == opRemove) {
            gLog.push_back(Name() + " saw " + c->Name() + (c->Is<TProbe>() ? " whole" : " partial"));
            if (c == Ref)
                Ref = nullptr;
        }
    }
    TComponent* Ref = nullptr;
};
PLAT_CLASS_INFO_CREATABLE(TProbe, TComponent)

class TOther : public TPersistent {
    PLAT_CLASS(TOther)
};
PLAT_CLASS_INFO(TOther, TPersistent)

class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override { gLog.clear(); }
};

TEST_F(ComponentTest, OwnerFreesItsComponentsLastFirstTellingTheOthers) {
    auto* owner = new TProbe(nullptr, "owner");
    new TProbe(owner, "a");
    new TProbe(owner, "b");
    auto* c = new TProbe(owner, "c");
    new TProbe(c, "c1");
    ASSERT_EQ(owner->ComponentCount(), 3);
    gLog.clear();
    owner->Free();
    // c goes first, taking c1 with it; every departure is told to all components of the owner that are
    // still alive (the leaving one included), each seeing the leaver with its full class.
    const std::vector<std::string> expected = {"c1 saw c1 whole",
                                               "c saw c1 whole",
                                               "free c1",
                                               "c saw c whole",
                                               "b saw c whole",
                                               "a saw c whole",
                                               "owner saw c whole",
                                               "free c",
                                               "b saw b whole",
                                               "a saw b whole",
                                               "owner saw b whole",
                                               "free b",
                                               "a saw a whole",
                                               "owner saw a whole",
                                               "free a",
                                               "free owner"};
    EXPECT_EQ(gLog, expected);
}

TEST_F(ComponentTest, DeletingAnOwnedComponentTakesItOutOfItsOwner) {
    TProbe owner(nullptr, "owner");
    auto* a = new TProbe(&owner, "a");
    auto* b = new TProbe(&owner, "b");
    delete a;
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), b);
    EXPECT_EQ(b->ComponentIndex(), 0);
    EXPECT_EQ(owner.FindComponent("a"), nullptr);
    EXPECT_THROW(owner.Components(1), EListError);
}

TEST_F(ComponentTest, FreeNotificationClearsReferencesAcrossOwnersBothWays) {
    TProbe form1(nullptr, "form1");
    TProbe form2(nullptr, "form2");
    auto* target = new TProbe(&form1, "target");
    auto* holder = new TProbe(&form2, "holder");
    holder->SetRef(target);
    target->SetRef(holder);
    target->Free();
    EXPECT_EQ(holder->Ref, nullptr);
    EXPECT_NE(std::find(gLog.begin(), gLog.end(), "holder saw target whole"), gLog.end());

    // After RemoveFreeNotification nothing more is said.
    auto* other = new TProbe(&form1, "other");
    holder->SetRef(other);
    holder->SetRef(nullptr);
    gLog.clear();
    other->Free();
    EXPECT_EQ(std::count(gLog.begin(), gLog.end(), "holder saw other whole"), 0);

    // The partner that goes first is forgotten by the survivor, which then dies quietly.
    auto* survivor = new TProbe(&form1, "survivor");
    auto* early = new TProbe(&form2, "early");
    survivor->SetRef(early);
    early->Free();
    gLog.clear();
    survivor->Free();
    EXPECT_EQ(std::count(gLog.begin(), gLog.end(), "early saw survivor whole"), 0);
}

TEST_F(ComponentTest, NamesAreIdentifiersUniqueWithinTheOwner) {
    TProbe owner(nullptr, "owner");
    auto* a = new TProbe(&owner);
    for (const char* good : {"", "a", "_x1", "Btn_Start2"})
        EXPECT_NO_THROW(a->SetName(good)) << good;
    for (const char* bad : {"1a", "a b", "a.b", "b-c", "\xC3\xA4"}) {
        EXPECT_THROW(a->SetName(bad), EComponentError) << bad;
        EXPECT_EQ(a->Name(), "Btn_Start2");
    }
    a->SetName("ok");
    auto* b = new TProbe(&owner, "other");
    try {
        b->SetName("OK");
        FAIL() << "duplicate accepted";
    } catch (const EComponentError& e) {
        EXPECT_STREQ(e.what(), "A component named OK already exists");
    }
    EXPECT_EQ(b->Name(), "other");
    a->SetName("OK"); // renaming itself with other case is fine
    EXPECT_EQ(owner.FindComponent("ok"), a);
    b->SetName("");
    new TProbe(&owner, ""); // unnamed components do not clash
    TProbe elsewhere(nullptr, "OK");
    EXPECT_EQ(elsewhere.Name(), "OK");
}

TEST_F(ComponentTest, InsertComponentMovesOwnershipAndChecksTheName) {
    TProbe first(nullptr, "first");
    TProbe second(nullptr, "second");
    auto* c = new TProbe(&first, "c");
    new TProbe(&second, "C");
    EXPECT_THROW(second.InsertComponent(c), EComponentError);
    EXPECT_EQ(c->Owner(), &first);
    c->SetName("d");
    second.InsertComponent(c);
    EXPECT_EQ(c->Owner(), &second);
    EXPECT_EQ(first.ComponentCount(), 0);
    EXPECT_EQ(c->ComponentIndex(), 1);
    c->SetComponentIndex(0);
    EXPECT_EQ(second.Components(0), c);
    EXPECT_THROW(c->InsertComponent(&second), EComponentError); // no ownership cycles
    EXPECT_THROW(c->InsertComponent(c), EComponentError);
    second.RemoveComponent(c);
    EXPECT_EQ(c->Owner(), nullptr);
    delete c;
}

TEST_F(ComponentTest, StateFlags) {
    TProbe owner(nullptr, "owner");
    auto* child = new TProbe(&owner, "child");
    owner.SetDesigning(true);
    EXPECT_TRUE(child->ComponentState() & csDesigning);
    owner.SetDesigning(false, false);
    EXPECT_FALSE(owner.ComponentState() & csDesigning);
    EXPECT_TRUE(child->ComponentState() & csDesigning);
    child->SetComponentStateFlags(csLoading, true);
    child->Loaded();
    EXPECT_FALSE(child->ComponentState() & csLoading);
    owner.Destroying();
    EXPECT_TRUE(child->ComponentState() & csDestroying);
    child->SetTag(reinterpret_cast<intptr_t>(&owner));
    EXPECT_EQ(reinterpret_cast<TProbe*>(child->Tag()), &owner);
}

TEST_F(ComponentTest, AssignWithoutSupportRaisesConvertError) {
    TProbe p(nullptr);
    TOther o;
    try {
        p.Assign(&o);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TOther to a TProbe");
    }
    try {
        o.Assign(nullptr);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a nil to a TOther");
    }
}

TEST_F(ComponentTest, ClassRegistry) {
    EXPECT_EQ(GetClass("TProbe"), nullptr);
    try {
        FindClass("TProbe");
        FAIL();
    } catch (const EClassNotFound& e) {
        EXPECT_STREQ(e.what(), "Class TProbe not found");
    }
    RegisterClasses({&TProbe::StaticClass(), &TOther::StaticClass()});
    RegisterClass(TProbe::StaticClass()); // again: no effect
    EXPECT_EQ(&FindClass("tprobe"), &TProbe::StaticClass());

    TProbe owner(nullptr, "owner");
    TComponent* made = CreateComponent("TPROBE", &owner);
    EXPECT_TRUE(made->Is<TProbe>());
    EXPECT_EQ(made->Owner(), &owner);
    EXPECT_THROW(CreateComponent("TOther", &owner), EFilerError); // not a component
    EXPECT_THROW(CreateComponent("TNothing", &owner), EClassNotFound);

    static const TClassInfo impostor{"TProbe", &TComponent::StaticClass(), nullptr, nullptr};
    EXPECT_THROW(RegisterClass(impostor), EFilerError);

    UnRegisterClasses({&TProbe::StaticClass(), &TOther::StaticClass()});
    EXPECT_EQ(GetClass("TProbe"), nullptr);
}

} // namespace
