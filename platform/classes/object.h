// The root classes: TObject (run-time class name), TPersistent (Assign between objects of
// related classes) and TComponent (named components that own other components and tell
// each other when one goes away).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "classes/tset.h"
#include "rtl/exceptions.h"

namespace zef {

class TObject;

// The common event: Sender is the object that fires it.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// The state flags of a component.
enum TComponentStateFlag : uint8_t {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance
};
using TComponentState = TSet<TComponentStateFlag, csDesignInstance + 1>;

// What happened to the component passed to Notification.
enum TOperation : uint8_t { opInsert, opRemove };

// A component name was invalid or already taken, or an ownership change was impossible.
ZEF_DECLARE_EXCEPTION(EComponentError, Exception);

// The root of the class tree.
class TObject {
public:
  virtual ~TObject() = default;

  // The name of the object's dynamic class without namespaces ("TFoo" for a zef::TFoo).
  virtual std::string ClassName() const;
  // Whether the object is a T or derives from it.
  template <class T>
  bool InheritsFrom() const {
    return dynamic_cast<const T*>(this) != nullptr;
  }
};

// An object whose settings can be copied from another with Assign.
//
// Assign(Source) lets Source copy itself into this object through Source.AssignTo(*this);
// when neither side knows the other's class, EConvertError "Cannot assign a <Source class>
// to a <this class>" is raised. A derived class overrides Assign: when Source is of its own
// class it copies the fields, otherwise it calls the inherited Assign. It overrides AssignTo
// to copy itself into classes that do not know it.
class TPersistent : public TObject {
public:
  virtual void Assign(const TPersistent& Source);

protected:
  virtual void AssignTo(TPersistent& Dest) const;
};

// A named component with an owner.
//
// Ownership: a component created with an owner is inserted into the owner's list and must
// be allocated with new (or be a local that surely dies first); the owner deletes it when
// the owner itself is destroyed. A component
// deleted before its owner removes itself from the owner. A component with a null owner is
// owned by the application code (a local object or a std::unique_ptr).
//
// Destruction order: the destructor sets csDestroying on the component and, recursively, on
// everything it owns; then it tells every component linked to it by FreeNotification
// (Notification(this, opRemove)) and drops those links on both sides; then it deletes its
// owned components (DestroyComponents); finally it removes itself from its owner. Because
// this runs in ~TComponent, the derived parts of the dying component are already gone by
// then; a derived class whose owned components still need it while they die calls
// Destroying() and DestroyComponents() at the start of its own destructor.
//
// Notification: inserting a component into an owner calls the owner's Notification with
// opInsert and removing one calls it with opRemove; the default Notification passes the call
// on to every component the receiver owns, so all of an owner's components hear of it.
class TComponent : public TPersistent {
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return FOwner; }

  // The name is empty or an identifier (an ASCII letter or "_", then letters, digits and
  // "_"), unique among the components of the same owner regardless of ASCII case. A bad name
  // raises EComponentError "\"<name>\" is not a valid component name", a taken one
  // EComponentError "A component named <name> already exists".
  const std::string& Name() const { return FName; }
  virtual void SetName(const std::string& NewName);

  // A value for the application's own use.
  intptr_t Tag() const { return FTag; }
  void SetTag(intptr_t Value) { FTag = Value; }

  // The owned components in insertion order, 0-based; a bad index raises EListError
  // "List index out of bounds (<index>)".
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const;
  // The owned component with the given name (ASCII case ignored), or null; an empty name
  // finds nothing.
  TComponent* FindComponent(std::string_view AName) const;

  // Makes this component the owner of AComponent, taking it from its previous owner. The
  // component takes over csDesigning and csLoading from its new owner. A name already used
  // here raises EComponentError (and nothing changes), and so does making a component own
  // itself or one of its owners. Null is ignored.
  void InsertComponent(TComponent* AComponent);
  // Releases AComponent (which then has no owner); ignored unless this component owns it.
  void RemoveComponent(TComponent* AComponent);
  // Deletes every owned component, last inserted first; each is removed with RemoveComponent
  // before it is deleted, so this component and the remaining ones hear of it.
  void DestroyComponents();

  TComponentState ComponentState() const { return FComponentState; }
  // Sets or clears csDesigning on this component and, when SetChildren, on everything it
  // owns, recursively.
  void SetDesigning(bool Value, bool SetChildren = true);
  // Loading from a form: BeginLoading sets csLoading on this component and everything it
  // owns, recursively; components inserted meanwhile inherit the flag. EndLoading first clears
  // csLoading on all of them, then calls Loaded() on each, this component first and the owned
  // components after it, depth first in insertion order.
  void BeginLoading();
  void EndLoading();
  // Sets csDestroying on this component and, recursively, on everything it owns.
  void Destroying();

  // Links this component and AComponent so that whichever is destroyed first calls the
  // other's Notification(dying, opRemove). Linking twice, to null or to itself does nothing.
  void FreeNotification(TComponent* AComponent);
  // Drops the link made by FreeNotification, on both sides.
  void RemoveFreeNotification(TComponent* AComponent);

protected:
  // Called once after loading ends, with csLoading already cleared.
  virtual void Loaded();
  // AComponent was inserted into or removed from an owner, or a linked component is being
  // destroyed. The default drops the free notification link for opRemove and passes the
  // call on to every owned component. An override that keeps a pointer to AComponent
  // clears it for opRemove and calls the inherited Notification.
  virtual void Notification(TComponent* AComponent, TOperation Operation);

private:
  void ValidateName(const std::string& NewName) const;
  // Sets or clears Flag on this component and everything it owns, recursively.
  void SetStateTree(TComponentStateFlag Flag, bool Value);
  void ClearLoading();
  void CallLoaded();

  TComponent* FOwner = nullptr;
  std::string FName;
  intptr_t FTag = 0;
  TComponentState FComponentState;
  std::vector<TComponent*> FComponents;
  // Both sides of a FreeNotification link list each other here.
  std::vector<TComponent*> FFreeNotifies;
  // Set by EndLoading for the components whose Loaded is still to be called.
  bool FLoadedPending = false;
};

} // namespace zef
