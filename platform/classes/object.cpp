#include "classes/object.h"

#include <algorithm>
#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

#include "rtl/strings.h"

namespace zef {

namespace {

bool IsIdentStart(char C) {
  return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_';
}

bool IsValidIdent(const std::string& S) {
  if (S.empty() || !IsIdentStart(S[0])) return false;
  return std::all_of(S.begin() + 1, S.end(),
                     [](char C) { return IsIdentStart(C) || (C >= '0' && C <= '9'); });
}

// The last name of a qualified C++ type name: what follows the last "::" that is not inside
// template arguments or parentheses ("(anonymous namespace)", a function's parameters).
std::string_view UnqualifiedName(std::string_view Full) {
  std::size_t Start = 0;
  int Depth = 0;
  for (std::size_t I = 0; I < Full.size(); ++I) {
    const char C = Full[I];
    if (C == '<' || C == '(') {
      ++Depth;
    } else if (C == '>' || C == ')') {
      if (Depth > 0) --Depth;
    } else if (Depth == 0 && C == ':' && I + 1 < Full.size() && Full[I + 1] == ':') {
      Start = I + 2;
      ++I;
    }
  }
  return Full.substr(Start);
}

} // namespace

// ---- TObject ------------------------------------------------------------------------------

std::string TObject::ClassName() const {
  const char* Mangled = typeid(*this).name();
  int Status = 0;
  std::unique_ptr<char, decltype(&std::free)> Demangled(
      abi::__cxa_demangle(Mangled, nullptr, nullptr, &Status), &std::free);
  const std::string_view Full = Status == 0 && Demangled ? Demangled.get() : Mangled;
  return std::string(UnqualifiedName(Full));
}

// ---- TPersistent --------------------------------------------------------------------------

void TPersistent::Assign(const TPersistent& Source) { Source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent& Dest) const {
  throw EConvertError("Cannot assign a " + ClassName() + " to a " + Dest.ClassName());
}

// ---- TComponent ---------------------------------------------------------------------------

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  while (!FFreeNotifies.empty()) {
    TComponent* Other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    std::erase(Other->FFreeNotifies, this);
    Other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

void TComponent::ValidateName(const std::string& NewName) const {
  if (NewName.empty()) return;
  if (!IsValidIdent(NewName))
    throw EComponentError("\"" + NewName + "\" is not a valid component name");
  if (FOwner != nullptr) {
    const TComponent* Found = FOwner->FindComponent(NewName);
    if (Found != nullptr && Found != this)
      throw EComponentError("A component named " + NewName + " already exists");
  }
}

void TComponent::SetName(const std::string& NewName) {
  if (NewName == FName) return;
  ValidateName(NewName);
  FName = NewName;
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FComponents[static_cast<std::size_t>(Index)];
}

TComponent* TComponent::FindComponent(std::string_view AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* C : FComponents)
    if (SameText(C->FName, AName)) return C;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent->FOwner == this) return;
  // A cycle of owners would never be destroyed and would make every walk endless.
  for (const TComponent* C = this; C != nullptr; C = C->FOwner)
    if (C == AComponent)
      throw EComponentError("A component cannot own itself or one of its owners");
  if (FindComponent(AComponent->FName) != nullptr)
    throw EComponentError("A component named " + AComponent->FName + " already exists");

  if (AComponent->FOwner != nullptr) AComponent->FOwner->RemoveComponent(AComponent);
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
  if (FComponentState.Contains(csDesigning)) AComponent->SetStateTree(csDesigning, true);
  if (FComponentState.Contains(csLoading)) AComponent->SetStateTree(csLoading, true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent->FOwner != this) return;
  Notification(AComponent, opRemove);
  // A Notification override may already have handed the component to another owner.
  if (AComponent->FOwner != this) return;
  std::erase(FComponents, AComponent);
  AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* Child = FComponents.back();
    RemoveComponent(Child);
    // A Notification override may have moved the child elsewhere; then it is not ours.
    if (Child->FOwner == nullptr) delete Child;
  }
}

void TComponent::SetStateTree(TComponentStateFlag Flag, bool Value) {
  if (Value)
    FComponentState.Include(Flag);
  else
    FComponentState.Exclude(Flag);
  for (TComponent* C : FComponents) C->SetStateTree(Flag, Value);
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  if (SetChildren) {
    SetStateTree(csDesigning, Value);
  } else if (Value) {
    FComponentState.Include(csDesigning);
  } else {
    FComponentState.Exclude(csDesigning);
  }
}

void TComponent::BeginLoading() { SetStateTree(csLoading, true); }

void TComponent::EndLoading() {
  ClearLoading();
  CallLoaded();
}

void TComponent::ClearLoading() {
  if (FComponentState.Contains(csLoading)) {
    FComponentState.Exclude(csLoading);
    FLoadedPending = true;
  }
  for (TComponent* C : FComponents) C->ClearLoading();
}

// Walks the live lists by index, so a Loaded that adds or deletes components does not leave
// the walk on a stale pointer.
void TComponent::CallLoaded() {
  if (FLoadedPending) {
    FLoadedPending = false;
    Loaded();
  }
  for (std::size_t I = 0; I < FComponents.size(); ++I) FComponents[I]->CallLoaded();
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (TComponent* C : FComponents) C->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) != FFreeNotifies.end())
    return;
  FFreeNotifies.push_back(AComponent);
  AComponent->FFreeNotifies.push_back(this);
  FComponentState.Include(csFreeNotification);
  AComponent->FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr) return;
  std::erase(FFreeNotifies, AComponent);
  std::erase(AComponent->FFreeNotifies, this);
}

void TComponent::Loaded() {}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent != nullptr) RemoveFreeNotification(AComponent);
  // From the last to the first, re-clamped each step: a receiver may remove components.
  int I = ComponentCount() - 1;
  while (I >= 0) {
    FComponents[static_cast<std::size_t>(I)]->Notification(AComponent, Operation);
    --I;
    if (I >= ComponentCount()) I = ComponentCount() - 1;
  }
}

} // namespace zef
