// Menus: TMenuItem (a caption with a click event, check mark, enabled state and sub-items)
// and TPopupMenu, which a control shows on a right click (its PopupMenu slot) or the
// application shows with Popup. The host presents the menu and reports the chosen item.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classes/object.h"
#include "graphics/bitmap.h"

namespace zef {

class TControl;

class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  // "-" makes a separator line.
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  bool IsLine() const { return FCaption == "-"; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value) { FChecked = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  // An optional glyph shown left of the caption.
  TBitmap& Bitmap() { return FBitmap; }
  const TBitmap& Bitmap() const { return FBitmap; }

  // Sub-items (owned by this item).
  int Count() const { return static_cast<int>(FItems.size()); }
  // A bad index raises EListError.
  TMenuItem* Items(int Index) const;
  // Takes ownership of Item and appends it (or inserts it at Index).
  void Add(TMenuItem* Item);
  void Insert(int Index, TMenuItem* Item);
  // Removes and deletes the sub-item.
  void Delete(int Index);
  void Clear();
  TMenuItem* ParentItem() const { return FParentItem; }

  // Fires OnClick (an enabled item only).
  virtual void Click();
  TNotifyEvent OnClick;

private:
  std::string FCaption;
  bool FEnabled = true;
  bool FChecked = false;
  bool FVisible = true;
  TBitmap FBitmap;
  std::vector<std::unique_ptr<TMenuItem>> FItems;
  TMenuItem* FParentItem = nullptr;
};

class TPopupMenu : public TComponent {
public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  // The top-level items.
  TMenuItem& Items() { return *FItems; }
  // The control whose right click opened the menu (null for a direct Popup).
  TControl* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TControl* Value) { FPopupComponent = Value; }
  // Fires OnPopup, lets the host present the menu at the screen point and clicks the chosen
  // item (nothing when the user dismissed the menu).
  void Popup(int32_t X, int32_t Y);

  TNotifyEvent OnPopup;

private:
  std::unique_ptr<TMenuItem> FItems;
  TControl* FPopupComponent = nullptr;
};

// Builds a menu item: NewItem("Copy", Click), NewLine(), NewSubMenu("Scale", {items}).
TMenuItem* NewItem(const std::string& Caption, TNotifyEvent OnClick, bool Checked = false,
                   bool Enabled = true);
TMenuItem* NewLine();
TMenuItem* NewSubMenu(const std::string& Caption, const std::vector<TMenuItem*>& Items);
// A popup menu owned by Owner with the given items.
TPopupMenu* NewPopupMenu(TComponent* Owner, const std::string& Name, const std::vector<TMenuItem*>& Items);

} // namespace zef
