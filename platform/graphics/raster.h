// Internal to the graphics layer: the span painter and shape rasterisers behind TCanvas.
// Not installed as part of the public API.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "graphics/bitmap.h"
#include "graphics/drawtools.h"
#include "rtl/types.h"

namespace zef::raster {

// How a run of pixels is painted: a colour combined with the destination by a pen mode, an
// optional 8x8 hatch (only the hatch's set cells are painted), and quantisation to the
// bitmap's pixel format.
struct TPaint {
  uint32_t Color = 0;
  TPenMode Mode = pmCopy;
  TBrushStyle Hatch = bsSolid;  // bsSolid: every pixel
};

// Pixel access for one drawing operation: the surface and the effective clip.
class TSurface {
public:
  TSurface(TBitmap* Target, const TRect& Clip);
  bool Empty() const { return FClip.Left >= FClip.Right || FClip.Top >= FClip.Bottom; }
  const TRect& Clip() const { return FClip; }

  // Paints X0..X1-1 of row Y (clipped).
  void Span(int64_t Y, int64_t X0, int64_t X1, const TPaint& P);
  void Pixel(int64_t X, int64_t Y, const TPaint& P);
  uint32_t* Row(int32_t Y) { return FBits + static_cast<std::ptrdiff_t>(Y) * FWidth; }
  int32_t Width() const { return FWidth; }
  bool Quantizes() const { return FQuantize; }
  TPixelFormat Format() const { return FFormat; }
  uint32_t Combine(uint32_t D, const TPaint& P) const;

private:
  uint32_t* FBits = nullptr;
  int32_t FWidth = 0;
  TRect FClip;
  TPixelFormat FFormat = pf24bit;
  bool FQuantize = false;
};

// Pixel runs (inclusive X0..X1) of rows Top..Bottom-1. After Normalize the runs are sorted
// by row and x, and runs of a row neither overlap nor touch.
struct TSpan {
  int64_t Y, X0, X1;
};
struct TRowSet {
  int64_t Top = 0;
  int64_t Bottom = 0;
  std::vector<TSpan> Spans;
  TRowSet(int64_t ATop, int64_t ABottomExclusive) : Top(ATop), Bottom(std::max(ATop, ABottomExclusive)) {}
  void Add(int64_t Y, int64_t X0, int64_t X1) {
    if (X0 <= X1 && Y >= Top && Y < Bottom) Spans.push_back({Y, X0, X1});
  }
  void Normalize();
  // This minus Other (both normalised).
  void Subtract(const TRowSet& Other);
  void Paint(TSurface& S, const TPaint& P) const;
};

// Width-1 line from (X0, Y0) to (X1, Y1) leaving out the end point. With a dash pattern,
// Phase is the pattern position of the first pixel and advances by the pixels stepped;
// gap pixels are painted with GapPaint when it is given.
struct TDash {
  const uint8_t* Pattern = nullptr;  // on/off run lengths, starting with "on"
  int Count = 0;
  int Length = 0;
};
void ThinLine(TSurface& S, int64_t X0, int64_t Y0, int64_t X1, int64_t Y1, const TPaint& P,
              const TDash* Dash = nullptr, int64_t* Phase = nullptr, const TPaint* GapPaint = nullptr);
// Collects the pixels of the same width-1 line into Set instead of painting them.
void ThinLineInto(TRowSet& Set, int64_t X0, int64_t Y0, int64_t X1, int64_t Y1);

// Adds the pixels within Width/2 of the segment (round caps) to Set. Even widths centre the
// pen half a pixel right and down, so a pen of width w covers exactly w rows of a
// horizontal line.
void ThickSegmentInto(TRowSet& Set, int64_t X0, int64_t Y0, int64_t X1, int64_t Y1, int32_t Width);

// Even-odd interior of a polygon: pixels whose centres lie inside.
void PolygonInteriorInto(TRowSet& Set, const TPoint* Points, std::size_t Count, TPoint Offset);

// Row extents of the ellipse inscribed in the pixel box X1..X2-1 by Y1..Y2-1: for row Y the
// inclusive interval, or an empty one (first > second) outside.
struct TEllipseRows {
  int64_t X1, Y1, X2, Y2;
  std::pair<int64_t, int64_t> Row(int64_t Y) const;
};

} // namespace zef::raster
