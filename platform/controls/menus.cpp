#include "controls/menus.h"

#include "controls/controls.h"
#include "host/host.h"
#include "rtl/exceptions.h"
#include "rtl/numconv.h"

namespace zef {

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() = default;

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  return FItems[static_cast<std::size_t>(Index)].get();
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Index < 0 || Index > Count())
    throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  if (Item->FParentItem) throw EInvalidOperation("Menu inserted twice");
  // The item belongs to its menu from now on, whoever created it.
  if (Item->Owner()) Item->Owner()->RemoveComponent(Item);
  Item->FParentItem = this;
  FItems.insert(FItems.begin() + Index, std::unique_ptr<TMenuItem>(Item));
}

void TMenuItem::Delete(int Index) {
  Items(Index);
  FItems.erase(FItems.begin() + Index);
}

void TMenuItem::Clear() { FItems.clear(); }

void TMenuItem::Click() {
  if (FEnabled && OnClick) OnClick(this);
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int32_t X, int32_t Y) {
  if (OnPopup) OnPopup(this);
  if (TMenuItem* Chosen = Host().TrackPopupMenu(*this, {X, Y})) Chosen->Click();
}

TMenuItem* NewItem(const std::string& Caption, TNotifyEvent OnClick, bool Checked, bool Enabled) {
  auto* Item = new TMenuItem(nullptr);
  Item->SetCaption(Caption);
  Item->OnClick = std::move(OnClick);
  Item->SetChecked(Checked);
  Item->SetEnabled(Enabled);
  return Item;
}

TMenuItem* NewLine() { return NewItem("-", nullptr); }

TMenuItem* NewSubMenu(const std::string& Caption, const std::vector<TMenuItem*>& Items) {
  TMenuItem* Item = NewItem(Caption, nullptr);
  for (TMenuItem* I : Items) Item->Add(I);
  return Item;
}

TPopupMenu* NewPopupMenu(TComponent* Owner, const std::string& Name, const std::vector<TMenuItem*>& Items) {
  auto* Menu = new TPopupMenu(Owner);
  Menu->SetName(Name);
  for (TMenuItem* I : Items) Menu->Items().Add(I);
  return Menu;
}

} // namespace zef
