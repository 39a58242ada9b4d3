#include "classes/object.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zef {

namespace demo {
class TWidgetBox : public TComponent {
public:
  using TComponent::TComponent;
};
template <class T>
class THolder : public TObject {};
} // namespace demo

namespace {

// ---- ClassName ----------------------------------------------------------------------------

class TLocalThing : public TObject {};

TEST(TObject, ClassNameIsTheUnqualifiedDynamicClass) {
  demo::TWidgetBox Box(nullptr);
  const TObject& AsObject = Box;
  EXPECT_EQ(AsObject.ClassName(), "TWidgetBox");
  EXPECT_EQ(TComponent(nullptr).ClassName(), "TComponent");
  EXPECT_EQ(TLocalThing().ClassName(), "TLocalThing");  // in an anonymous namespace
  EXPECT_EQ(demo::THolder<demo::TWidgetBox>().ClassName(), "THolder<zef::demo::TWidgetBox>");
  EXPECT_TRUE(AsObject.InheritsFrom<TPersistent>());
  EXPECT_FALSE(AsObject.InheritsFrom<TLocalThing>());
}

// ---- Assign -------------------------------------------------------------------------------

class TGridSettings;

class TAxisSettings : public TPersistent {
public:
  int Ticks = 5;
  uint32_t Color = 0;
  void Assign(const TPersistent& Source) override {
    if (const auto* Axis = dynamic_cast<const TAxisSettings*>(&Source)) {
      Ticks = Axis->Ticks;
      Color = Axis->Color;
      return;
    }
    TPersistent::Assign(Source);
  }
};

// Knows how to copy itself into an axis, which does not know grids.
class TGridSettings : public TPersistent {
public:
  uint32_t Color = 0;

protected:
  void AssignTo(TPersistent& Dest) const override {
    if (auto* Axis = dynamic_cast<TAxisSettings*>(&Dest)) {
      Axis->Color = Color;
      return;
    }
    TPersistent::AssignTo(Dest);
  }
};

TEST(TPersistent, AssignCopiesKnownClassesAndRefusesOthers) {
  TAxisSettings A, B;
  B.Ticks = 9;
  B.Color = 0xFF;
  A.Assign(B);
  EXPECT_EQ(A.Ticks, 9);
  EXPECT_EQ(A.Color, 0xFFu);

  TGridSettings Grid;
  Grid.Color = 0x123;
  A.Assign(Grid);  // through TGridSettings::AssignTo
  EXPECT_EQ(A.Color, 0x123u);
  EXPECT_EQ(A.Ticks, 9);

  try {
    Grid.Assign(A);
    FAIL() << "no exception";
  } catch (const EConvertError& E) {
    EXPECT_EQ(E.Message(), "Cannot assign a TAxisSettings to a TGridSettings");
  }
}

// ---- TComponent ---------------------------------------------------------------------------

// Records its notifications, Loaded calls and destruction in a shared log.
class TProbe : public TComponent {
public:
  TProbe(TComponent* AOwner, std::string ALabel, std::vector<std::string>& ALog)
      : TComponent(AOwner), Label(std::move(ALabel)), Log(ALog) {}
  ~TProbe() override {
    Log.push_back("~" + Label + (ComponentState().Contains(csDestroying) ? "!" : ""));
  }

  TComponent* Target = nullptr;
  std::string Label;
  std::vector<std::string>& Log;
  bool LoadingSeenInLoaded = true;

protected:
  void Loaded() override {
    TComponent::Loaded();
    LoadingSeenInLoaded = ComponentState().Contains(csLoading);
    Log.push_back("Loaded " + Label);
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    if (AComponent != this) {
      const auto* Other = dynamic_cast<TProbe*>(AComponent);
      Log.push_back(Label + (Operation == opInsert ? " +" : " -") + (Other ? Other->Label : "?"));
    }
    if (Operation == opRemove && AComponent == Target) Target = nullptr;
    TComponent::Notification(AComponent, Operation);
  }
};

std::vector<std::string> DestroyedOnly(const std::vector<std::string>& Log) {
  std::vector<std::string> R;
  for (const auto& S : Log)
    if (S[0] == '~') R.push_back(S);
  return R;
}

TEST(TComponent, OwnerDestroysWhatItOwns) {
  std::vector<std::string> Log;
  auto* Owner = new TProbe(nullptr, "owner", Log);
  auto* A = new TProbe(Owner, "a", Log);
  new TProbe(A, "a1", Log);
  new TProbe(Owner, "b", Log);
  EXPECT_EQ(Owner->ComponentCount(), 2);
  EXPECT_EQ(Owner->Components(0), A);
  EXPECT_EQ(A->Owner(), Owner);
  delete Owner;
  // Last inserted first, a child's children before the child itself is gone; every owned
  // component knows it is being destroyed while its own destructor runs.
  EXPECT_EQ(DestroyedOnly(Log), (std::vector<std::string>{"~owner", "~b!", "~a!", "~a1!"}));
}

TEST(TComponent, ChildDeletedFirstLeavesOwnerConsistent) {
  std::vector<std::string> Log;
  {
    TProbe Owner(nullptr, "owner", Log);
    auto* A = new TProbe(&Owner, "a", Log);
    auto* B = new TProbe(&Owner, "b", Log);
    A->SetName("A");
    B->SetName("B");
    delete A;
    EXPECT_EQ(Owner.ComponentCount(), 1);
    EXPECT_EQ(Owner.Components(0), B);
    EXPECT_EQ(Owner.FindComponent("a"), nullptr);
    EXPECT_EQ(Owner.FindComponent("b"), B);
    EXPECT_EQ(DestroyedOnly(Log), (std::vector<std::string>{"~a"}));
  }
  EXPECT_EQ(DestroyedOnly(Log), (std::vector<std::string>{"~a", "~owner", "~b!"}));
}

TEST(TComponent, InsertAndRemoveNotifyTheOwnersComponents) {
  std::vector<std::string> Log;
  TProbe Owner(nullptr, "owner", Log);
  TProbe Watcher(&Owner, "watcher", Log);  // a local: removes itself before Owner dies
  Log.clear();
  auto* Child = new TProbe(&Owner, "child", Log);
  // The child is only partly built while it is inserted, so its class is not known yet.
  EXPECT_EQ(Log, (std::vector<std::string>{"owner +?", "watcher +?"}));
  Log.clear();
  delete Child;
  EXPECT_EQ(Log, (std::vector<std::string>{"~child", "owner -?", "watcher -?"}));

  TProbe Other(nullptr, "other", Log);
  TProbe Moved(nullptr, "moved", Log);
  Log.clear();
  Other.InsertComponent(&Moved);
  Owner.InsertComponent(&Moved);  // taken from Other
  EXPECT_EQ(Log, (std::vector<std::string>{"other +moved", "other -moved", "owner +moved",
                                           "watcher +moved"}));
  EXPECT_EQ(Moved.Owner(), &Owner);
  EXPECT_EQ(Other.ComponentCount(), 0);
  Owner.RemoveComponent(&Moved);
  EXPECT_EQ(Moved.Owner(), nullptr);
  EXPECT_EQ(Owner.ComponentCount(), 1);
}

TEST(TComponent, OwnershipCyclesAreRefused) {
  TComponent Root(nullptr);
  auto* Child = new TComponent(&Root);
  auto* Grandchild = new TComponent(Child);
  EXPECT_THROW(Grandchild->InsertComponent(&Root), EComponentError);
  EXPECT_THROW(Child->InsertComponent(Child), EComponentError);
  EXPECT_EQ(Root.Owner(), nullptr);
  EXPECT_EQ(Grandchild->ComponentCount(), 0);
}

TEST(TComponent, FreeNotificationWorksBothWays) {
  std::vector<std::string> Log;
  // Target dies first: the linked component forgets it.
  {
    TProbe User(nullptr, "user", Log);
    auto* Target = new TProbe(nullptr, "target", Log);
    User.Target = Target;
    User.FreeNotification(Target);
    User.FreeNotification(Target);  // linking twice changes nothing
    Log.clear();
    delete Target;
    EXPECT_EQ(User.Target, nullptr);
    EXPECT_EQ(Log, (std::vector<std::string>{"~target", "user -?"}));
  }
  // The component that asked dies first: the target is told, and later dies without touching
  // the dead one (ASan would report it).
  {
    auto* Target = new TProbe(nullptr, "target", Log);
    auto* User = new TProbe(nullptr, "user", Log);
    Target->Target = User;
    User->Target = Target;
    User->FreeNotification(Target);
    EXPECT_TRUE(Target->ComponentState().Contains(csFreeNotification));
    Log.clear();
    delete User;
    EXPECT_EQ(Target->Target, nullptr);
    EXPECT_EQ(Log, (std::vector<std::string>{"~user", "target -?"}));
    Log.clear();
    delete Target;
    EXPECT_EQ(Log, (std::vector<std::string>{"~target"}));
  }
  // A removed link tells nobody.
  {
    TProbe User(nullptr, "user", Log);
    auto* Target = new TProbe(nullptr, "target", Log);
    User.FreeNotification(Target);
    Target->RemoveFreeNotification(&User);
    Log.clear();
    delete Target;
    EXPECT_EQ(Log, (std::vector<std::string>{"~target"}));
  }
}

TEST(TComponent, LinkedComponentsOfOneOwnerDieTogetherSafely) {
  std::vector<std::string> Log;
  auto* Form = new TProbe(nullptr, "form", Log);
  auto* Target = new TProbe(Form, "target", Log);
  auto* User = new TProbe(Form, "user", Log);
  auto* Outsider = new TProbe(nullptr, "outsider", Log);
  User->Target = Target;
  User->FreeNotification(Target);
  Outsider->Target = User;
  Outsider->FreeNotification(User);
  delete Form;
  EXPECT_EQ(Outsider->Target, nullptr);
  EXPECT_EQ(DestroyedOnly(Log), (std::vector<std::string>{"~form", "~user!", "~target!"}));
  delete Outsider;
}

TEST(TComponent, LoadedIsCalledOnceAfterLoadingEnds) {
  std::vector<std::string> Log;
  TProbe Form(nullptr, "form", Log);
  Form.BeginLoading();
  auto* Panel = new TProbe(&Form, "panel", Log);  // created by the loader: inherits csLoading
  auto* Button = new TProbe(Panel, "button", Log);
  auto* Label = new TProbe(&Form, "label", Log);
  EXPECT_TRUE(Button->ComponentState().Contains(csLoading));
  Log.clear();
  Form.EndLoading();
  EXPECT_EQ(Log, (std::vector<std::string>{"Loaded form", "Loaded panel", "Loaded button",
                                           "Loaded label"}));
  for (const TProbe* P : {&Form, Panel, Button, Label}) {
    EXPECT_FALSE(P->LoadingSeenInLoaded) << P->Label;
    EXPECT_FALSE(P->ComponentState().Contains(csLoading)) << P->Label;
  }
  new TProbe(&Form, "late", Log);
  Log.clear();
  Form.EndLoading();
  EXPECT_TRUE(Log.empty());
}

TEST(TComponent, DesigningPassesToOwnedComponents) {
  TComponent Form(nullptr);
  auto* Before = new TComponent(&Form);
  Form.SetDesigning(true);
  auto* After = new TComponent(&Form);
  EXPECT_TRUE(Before->ComponentState().Contains(csDesigning));
  EXPECT_TRUE(After->ComponentState().Contains(csDesigning));
  Form.SetDesigning(false, false);
  EXPECT_FALSE(Form.ComponentState().Contains(csDesigning));
  EXPECT_TRUE(After->ComponentState().Contains(csDesigning));
  Form.Destroying();
  EXPECT_TRUE(After->ComponentState().Contains(csDestroying));
}

TEST(TComponent, NamesAreIdentifiersUniqueWithinTheOwner) {
  TComponent Owner(nullptr);
  auto* A = new TComponent(&Owner);
  auto* B = new TComponent(&Owner);
  for (const char* Good : {"Button1", "_x", "a_1", ""}) {
    EXPECT_NO_THROW(A->SetName(Good)) << Good;
    EXPECT_EQ(A->Name(), Good);
  }
  for (const char* Bad : {"1abc", "a b", "a-b", "\xC3\xA4", "a.b"}) {
    try {
      A->SetName(Bad);
      ADD_FAILURE() << "accepted " << Bad;
    } catch (const EComponentError& E) {
      EXPECT_EQ(E.Message(), std::string("\"") + Bad + "\" is not a valid component name");
    }
  }
  A->SetName("Chart1");
  try {
    B->SetName("CHART1");
    ADD_FAILURE() << "accepted a duplicate";
  } catch (const EComponentError& E) {
    EXPECT_EQ(E.Message(), "A component named CHART1 already exists");
  }
  EXPECT_EQ(B->Name(), "");
  A->SetName("chart1");  // its own name in another case
  EXPECT_EQ(Owner.FindComponent("CHART1"), A);
  EXPECT_EQ(Owner.FindComponent(""), nullptr);

  // Components without an owner may share names; inserting one into an owner that already
  // has the name is refused and changes nothing.
  auto Loose = std::make_unique<TComponent>(nullptr);
  Loose->SetName("Chart1");
  EXPECT_THROW(Owner.InsertComponent(Loose.get()), EComponentError);
  EXPECT_EQ(Loose->Owner(), nullptr);
  EXPECT_EQ(Owner.ComponentCount(), 2);
}

TEST(TComponent, BadIndexAndTag) {
  TComponent Owner(nullptr);
  new TComponent(&Owner);
  for (int Bad : {-1, 1}) {
    try {
      Owner.Components(Bad);
      ADD_FAILURE() << Bad;
    } catch (const EListError& E) {
      EXPECT_EQ(E.Message(), "List index out of bounds (" + std::to_string(Bad) + ")");
    }
  }
  Owner.SetTag(-42);
  EXPECT_EQ(Owner.Tag(), -42);
}

} // namespace
} // namespace zef
