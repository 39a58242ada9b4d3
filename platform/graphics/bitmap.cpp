#include "graphics/bitmap.h"

#include <algorithm>

#include "graphics/canvas.h"
#include "rtl/exceptions.h"

namespace zef {

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int32_t AWidth, int32_t AHeight) { SetSize(AWidth, AHeight); }

TBitmap::~TBitmap() = default;

TCanvas& TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TCanvas>(this);
  return *FCanvas;
}

void TBitmap::Changed() {
  if (OnChange) OnChange(this);
}

namespace {
void CheckSize(int32_t W, int32_t H) {
  if (W > kMaxImageSide || H > kMaxImageSide || static_cast<int64_t>(W) * H > kMaxImagePixels)
    throw EInvalidGraphic("Bitmap size " + std::to_string(W) + " x " + std::to_string(H) +
                          " is too large");
}
} // namespace

void TBitmap::SetSize(int32_t AWidth, int32_t AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == FWidth && AHeight == FHeight) return;
  CheckSize(AWidth, AHeight);
  std::vector<uint32_t> P(static_cast<std::size_t>(AWidth) * static_cast<std::size_t>(AHeight),
                          QuantizeColor(clWhite, FPixelFormat));
  const int32_t W = std::min(AWidth, FWidth);
  const int32_t H = std::min(AHeight, FHeight);
  for (int32_t Y = 0; Y < H; ++Y)
    std::copy_n(FPixels.begin() + static_cast<std::ptrdiff_t>(Y) * FWidth, W,
                P.begin() + static_cast<std::ptrdiff_t>(Y) * AWidth);
  FPixels = std::move(P);
  FWidth = AWidth;
  FHeight = AHeight;
  Changed();
}

void TBitmap::AdoptPixels(int32_t AWidth, int32_t AHeight, std::vector<uint32_t>&& Pixels) {
  CheckSize(AWidth, AHeight);
  if (AWidth < 0 || AHeight < 0 ||
      Pixels.size() != static_cast<std::size_t>(AWidth) * static_cast<std::size_t>(AHeight))
    throw EInvalidGraphic("Pixel data does not match the bitmap size");
  FPixels = std::move(Pixels);
  FWidth = AWidth;
  FHeight = AHeight;
  if (FormatQuantizes(FPixelFormat))
    for (auto& P : FPixels) P = QuantizeColor(P, FPixelFormat);
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == FPixelFormat) return;
  FPixelFormat = Value;
  if (FormatQuantizes(Value))
    for (auto& P : FPixels) P = QuantizeColor(P, Value);
  Changed();
}

uint32_t* TBitmap::ScanLine(int32_t Y) {
  if (Y < 0 || Y >= FHeight) throw ERangeError("Scan line index out of range (" + std::to_string(Y) + ")");
  return FPixels.data() + static_cast<std::ptrdiff_t>(Y) * FWidth;
}

const uint32_t* TBitmap::ScanLine(int32_t Y) const {
  return const_cast<TBitmap*>(this)->ScanLine(Y);
}

TColor TBitmap::GetPixel(int32_t X, int32_t Y) const {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return clNone;
  return FPixels[static_cast<std::size_t>(Y) * static_cast<std::size_t>(FWidth) + static_cast<std::size_t>(X)];
}

void TBitmap::SetPixel(int32_t X, int32_t Y, TColor Color) {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return;
  FPixels[static_cast<std::size_t>(Y) * static_cast<std::size_t>(FWidth) + static_cast<std::size_t>(X)] =
      QuantizeColor(ColorToRGB(Color), FPixelFormat);
}

TColor TBitmap::TransparentColor() const {
  if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return ColorToRGB(FTransparentColor);
  if (Empty()) return clNone;
  return GetPixel(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor Value) {
  FTransparentColor = Value;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
}

void TBitmap::SetJPEGQuality(int32_t Value) { FJPEGQuality = std::clamp(Value, 1, 100); }

void TBitmap::Assign(const TPersistent& Source) {
  if (const auto* S = dynamic_cast<const TBitmap*>(&Source)) {
    if (S == this) return;
    FPixels = S->FPixels;
    FWidth = S->FWidth;
    FHeight = S->FHeight;
    FPixelFormat = S->FPixelFormat;
    FTransparent = S->FTransparent;
    FTransparentMode = S->FTransparentMode;
    FTransparentColor = S->FTransparentColor;
    FJPEGQuality = S->FJPEGQuality;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

} // namespace zef
