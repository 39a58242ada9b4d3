#include "graphics/drawtools.h"

#include <cstdlib>

namespace zef {

namespace {
int32_t GScreenPixelsPerInch = 96;
} // namespace

int32_t ScreenPixelsPerInch() { return GScreenPixelsPerInch; }
void SetScreenPixelsPerInch(int32_t Value) {
  if (Value > 0) GScreenPixelsPerInch = Value;
}

int32_t MulDiv(int32_t A, int32_t B, int32_t C) {
  if (C == 0) return -1;
  const int64_t P = static_cast<int64_t>(A) * B;
  int64_t Q = (std::llabs(P) + std::llabs(static_cast<int64_t>(C)) / 2) / std::llabs(static_cast<int64_t>(C));
  if ((P < 0) != (C < 0)) Q = -Q;
  if (Q > INT32_MAX) return INT32_MAX;
  if (Q < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(Q);
}

namespace {
template <class T, class Tool>
void Store(T& Field, const T& Value, Tool& Owner, void (Tool::*ChangedFn)()) {
  if (Field == Value) return;
  Field = Value;
  (Owner.*ChangedFn)();
}
} // namespace

// ---- TPen ------------------------------------------------------------------------------------

void TPen::Changed() {
  if (OnChange) OnChange(this);
}
void TPen::SetColor(TColor Value) { Store(FColor, Value, *this, &TPen::Changed); }
void TPen::SetWidth(int32_t Value) { Store(FWidth, Value < 1 ? 1 : Value, *this, &TPen::Changed); }
void TPen::SetStyle(TPenStyle Value) { Store(FStyle, Value, *this, &TPen::Changed); }
void TPen::SetMode(TPenMode Value) { Store(FMode, Value, *this, &TPen::Changed); }

void TPen::Assign(const TPersistent& Source) {
  if (const auto* S = dynamic_cast<const TPen*>(&Source)) {
    FColor = S->FColor;
    FWidth = S->FWidth;
    FStyle = S->FStyle;
    FMode = S->FMode;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

// ---- TBrush ----------------------------------------------------------------------------------

void TBrush::Changed() {
  if (OnChange) OnChange(this);
}
void TBrush::SetColor(TColor Value) { Store(FColor, Value, *this, &TBrush::Changed); }
void TBrush::SetStyle(TBrushStyle Value) { Store(FStyle, Value, *this, &TBrush::Changed); }

void TBrush::Assign(const TPersistent& Source) {
  if (const auto* S = dynamic_cast<const TBrush*>(&Source)) {
    FColor = S->FColor;
    FStyle = S->FStyle;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

// ---- TFont -----------------------------------------------------------------------------------

void TFont::Changed() {
  if (OnChange) OnChange(this);
}

int32_t TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetName(const std::string& Value) { Store(FName, Value, *this, &TFont::Changed); }
void TFont::SetHeight(int32_t Value) { Store(FHeight, Value, *this, &TFont::Changed); }
void TFont::SetSize(int32_t Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }
void TFont::SetColor(TColor Value) { Store(FColor, Value, *this, &TFont::Changed); }
void TFont::SetStyle(TFontStyles Value) { Store(FStyle, Value, *this, &TFont::Changed); }
void TFont::SetOrientation(int32_t Value) { Store(FOrientation, Value, *this, &TFont::Changed); }

void TFont::SetPixelsPerInch(int32_t Value) {
  if (Value >= 1) FPixelsPerInch = Value;  // the pixel height stays; nothing to redraw
}

void TFont::Assign(const TPersistent& Source) {
  if (const auto* S = dynamic_cast<const TFont*>(&Source)) {
    FName = S->FName;
    FHeight = S->FHeight;
    FColor = S->FColor;
    FStyle = S->FStyle;
    FOrientation = S->FOrientation;
    FPixelsPerInch = S->FPixelsPerInch;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

} // namespace zef
