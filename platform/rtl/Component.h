// The component: a named persistent object that owns other components, frees them with itself, tells
// interested components when one goes away, and is built from and written to component streams.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/Persistent.h"

namespace plat {

class TReader;

enum TOperation { opInsert, opRemove };

// ComponentState is a set of these flags: `if (ComponentState() & csLoading)`.
enum TComponentStateFlag : uint32_t {
    csLoading = 1u << 0,    // built from a stream; cleared by Loaded
    csReading = 1u << 1,    // its own properties are being read
    csWriting = 1u << 2,    // being written to a stream
    csDestroying = 1u << 3, // on its way out; do not start new work
    csDesigning = 1u << 4,  // edited in a designer rather than running
    csAncestor = 1u << 5,   // read from an ancestor's stream
    csUpdating = 1u << 6,   // between Updating and Updated
    csFixups = 1u << 7,     // has component references still to be resolved
};
using TComponentState = uint32_t;

using TGetChildProc = std::function<void(class TComponent* Child)>;

class TComponent : public TPersistent {
    PLAT_CLASS(TComponent)
public:
    // The owner (may be null) takes the new component into its list and frees it with itself.
    explicit TComponent(TComponent* AOwner);
    // Destroying a component frees the components it owns, takes it out of its owner's list and tells
    // its free-notification partners. Prefer Free() (or call BeforeDestruction() first thing in a
    // destructor): then partners and owned components see the component with its full class.
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // Runs the first half of destruction while the object is whole, then deletes it.
    void Free();
    // Marks the component as destroying, tells its partners, frees its owned components and leaves its
    // owner. Runs once; later calls do nothing.
    // Overrides act while the object is still whole (a form's OnDestroy) and then call the inherited one.
    virtual void BeforeDestruction();

    const std::string& Name() const { return FName; }
    // Raises EComponentError when the name is not an identifier or when another component of the same
    // owner already has it (names compare without case). An empty name is always allowed.
    virtual void SetName(const std::string& NewName);

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    // Raises EListError for an index out of range.
    TComponent* Components(int Index) const;
    // Position in the owner's list, -1 without owner.
    int ComponentIndex() const;
    void SetComponentIndex(int Value);
    // Takes the component over from its current owner (if any) and tells every owned component.
    void InsertComponent(TComponent* AComponent);
    // Releases the component without freeing it; it is told before it leaves.
    void RemoveComponent(TComponent* AComponent);
    // The owned component with that name (without case), or null.
    TComponent* FindComponent(const std::string& AName) const;
    // Frees every owned component, last first.
    void DestroyComponents();

    // Both components are told (Notification with opRemove) when the other is destroyed.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    TComponentState ComponentState() const { return FComponentState; }
    void SetDesigning(bool Value, bool SetChildren = true);
    // Sets csDestroying on this component and on everything it owns.
    void Destroying();
    void Updating() { FComponentState |= csUpdating; }
    void Updated() { FComponentState &= ~csUpdating; }

    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t Value) { FTag = Value; }

    std::string GetNamePath() const override { return FName; }
    TPersistent* GetOwner() const override { return FOwner; }

    // Called on every component read from a stream, in reading order, after component references are
    // resolved. Overrides apply the streamed values and must call the inherited one (clears csLoading).
    virtual void Loaded();

    // Told about components being inserted into or removed from the owner, and about free-notification
    // partners going away. The inherited one forwards the news to every owned component; overrides
    // clear their pointers to AComponent on opRemove and call it.
    virtual void Notification(TComponent* AComponent, TOperation Operation);

    // Streaming hooks. GetChildren lists the components written nested inside this one; the default
    // lists the components owned by Root whose parent component is this one (and, for the root itself,
    // also those that have no parent). A component that lives inside another (a control in a panel, a
    // series in a chart) answers HasParent, and the reader hands it the enclosing component through
    // SetParentComponent.
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* Value) {}
    // Reads the component's own properties and children; overrides may look at Reader.Parent().
    virtual void ReadState(TReader& Reader);

    // Used by the readers to maintain the loading flags.
    void SetComponentStateFlags(TComponentState Flags, bool On);

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void ValidateRename(TComponent* AComponent, const std::string& NewName) const;

    TComponent* FOwner = nullptr;
    std::string FName;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    TComponentState FComponentState = 0;
    intptr_t FTag = 0;
    bool FDestructionStarted = false;
};

// True when s is an identifier: a letter or '_' first, then letters, digits and '_'.
bool IsValidIdent(const std::string& s);

} // namespace plat
