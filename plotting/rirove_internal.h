// Internal to the chart library (not installed): the pixel clamp and the coordinate-mode
// rules shared by the renderer and the hit tests.
#pragma once

#include <algorithm>
#include <cstdint>

#include "ZEF_rirove.h"
#include "graphics/canvas.h"

namespace zef::rirove_internal {

// Every drawn coordinate is clamped into -kClampPix..kClampPix, so huge zoom factors never
// overflow the canvas; hit tests use the same clamped pixels to find items where they are
// drawn.
constexpr int32_t kClampPix = 30000;
inline int32_t ClampPix(int64_t V) {
  return static_cast<int32_t>(std::clamp<int64_t>(V, -kClampPix, kClampPix));
}

// Which values of an annotation item are data-area pixels (the others are world values):
// the x (ScreenX) or y (ScreenY) of its first or Second point, by its coordinate mode.
inline bool ScreenX(TCoordMode M, bool Second) {
  return M == cmAllScreen || M == cmXScreenYWorld ||
         (Second ? M == cmWorldMainScreenSec : M == cmScreenMainWorldSec);
}
inline bool ScreenY(TCoordMode M, bool Second) {
  return M == cmAllScreen || M == cmXWorldYScreen ||
         (Second ? M == cmWorldMainScreenSec : M == cmScreenMainWorldSec);
}

// Puts a canvas's pen and brush style back as they were when the scope ends.
class TPenScope {
public:
  explicit TPenScope(TCanvas& Canvas) : FCanvas(Canvas), FBrushStyle(Canvas.Brush().Style()) {
    FPen.Assign(Canvas.Pen());
  }
  ~TPenScope() {
    FCanvas.Pen().Assign(FPen);
    FCanvas.Brush().SetStyle(FBrushStyle);
  }
  TPenScope(const TPenScope&) = delete;
  TPenScope& operator=(const TPenScope&) = delete;

private:
  TCanvas& FCanvas;
  TPen FPen;
  TBrushStyle FBrushStyle;
};

} // namespace zef::rirove_internal
