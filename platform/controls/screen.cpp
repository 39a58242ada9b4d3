#include "controls/screen.h"

#include "controls/application.h"
#include "controls/controls.h"
#include "controls/forms.h"
#include "graphics/colors.h"
#include "graphics/drawtools.h"
#include "graphics/fonts.h"
#include "graphics/resources.h"
#include "host/host.h"

namespace zef {

TScreen::TScreen() = default;
TScreen::~TScreen() = default;

int32_t TScreen::Width() const { return Host().ScreenSize().cx; }

int32_t TScreen::Height() const { return Host().ScreenSize().cy; }

int32_t TScreen::PixelsPerInch() const { return ScreenPixelsPerInch(); }

const std::vector<std::string>& TScreen::Fonts() {
  if (!FFontsRead) {
    FFonts = InstalledFonts();
    FFontsRead = true;
  }
  return FFonts;
}

void TScreen::SetCursor(TCursor Value) {
  if (Value == FCursor) return;
  FCursor = Value;
  for (TForm* F : Application().Forms()) F->UpdateCursor();
}

TCursor TScreen::EffectiveCursor(const TControl* Control) const {
  if (FCursor != crDefault) return FCursor;
  // A control with the default cursor shows its parent's.
  for (const TControl* C = Control; C; C = C->Parent())
    if (C->Cursor() != crDefault) return C->Cursor();
  return crDefault;
}

bool TScreen::LoadCursor(TCursor Index, const std::string& ResourceName) {
  const TResourceEntry* E = FindResource(ResourceName);
  if (!E || !E->IsCursor) return false;
  auto Image = std::make_unique<TCursorImage>();
  if (!LoadResourceBitmap(ResourceName, Image->Image)) return false;
  Image->TransparentColor = E->TransparentColor;
  Image->HotSpot = {E->HotX, E->HotY};
  FCursors[Index] = std::move(Image);
  return true;
}

void TScreen::SetCursorImage(TCursor Index, const TCursorImage& Image) {
  auto Copy = std::make_unique<TCursorImage>();
  Copy->Image.Assign(Image.Image);
  Copy->TransparentColor = Image.TransparentColor;
  Copy->HotSpot = Image.HotSpot;
  FCursors[Index] = std::move(Copy);
}

const TCursorImage* TScreen::CursorImage(TCursor Index) const {
  const auto It = FCursors.find(Index);
  return It == FCursors.end() ? nullptr : It->second.get();
}

TScreen& Screen() {
  static TScreen S;
  return S;
}

TColor TStyleServices::PanelTextColor() const { return clBtnText; }

TColor TStyleServices::ButtonColor() const { return clBtnFace; }

TStyleServices& StyleServices() {
  static TStyleServices S;
  return S;
}

} // namespace zef
