// Chart interaction: the queries that find the data item nearest to a point.
#include <cmath>
#include <limits>

#include "ZEF_rirove.h"

namespace zef {

namespace {

bool KindMatches(TrcItem ItemID, TrcItem Kind) {
  if (ItemID == tkEverything) return true;
  if (ItemID == tkNotMoveTo) return Kind != tkMoveTo;
  return ItemID != tkNone && ItemID == Kind;
}

} // namespace

// Measure gives an item's distance; the smallest wins, the first of equals.
template <class TMeasure>
int32_t TCustomRIrove::FindNearest(TrcItem ItemID, uint8_t ClassNumber, bool VisLayersOnly,
                                   double& Dist, TMeasure Measure) const {
  Dist = std::sqrt(std::numeric_limits<double>::max());
  int32_t Best = -1;
  const std::vector<TrcChartItem>& Items = FData->Items;
  for (std::size_t I = 0; I < Items.size(); ++I) {
    const TrcChartItem& It = Items[I];
    if (!KindMatches(ItemID, It.ItemKind)) continue;
    if (ClassNumber != 255 && It.ItemClass != ClassNumber) continue;
    if (VisLayersOnly && !LayerVisible(It.Layer)) continue;
    const double D = Measure(It);
    if (D < Dist) {
      Dist = D;
      Best = static_cast<int32_t>(I);
    }
  }
  return Best;
}

int32_t TCustomRIrove::FindNearestItemReal(double mx, double my, TrcItem ItemID,
                                           uint8_t ClassNumber, bool VisLayersOnly,
                                           double& Dist) const {
  return FindNearest(ItemID, ClassNumber, VisLayersOnly, Dist, [&](const TrcChartItem& It) {
    return std::hypot(It.x - mx, It.y - my);
  });
}

int32_t TCustomRIrove::FindNearestItemScreen(double mx, double my, TrcItem ItemID,
                                             uint8_t ClassNumber, bool VisLayersOnly,
                                             double& Dist) const {
  int32_t Px = 0, Py = 0;
  R2M(FActiveLayer, mx, my, Px, Py);
  return FindNearest(ItemID, ClassNumber, VisLayersOnly, Dist, [&](const TrcChartItem& It) {
    int32_t Ix = 0, Iy = 0;
    R2M(It.Layer, It.x, It.y, Ix, Iy);
    return std::hypot(static_cast<double>(Ix) - Px, static_cast<double>(Iy) - Py);
  });
}

int32_t TCustomRIrove::FindNearestItemAlongAxis(double pos, TAxis Axis, TrcItem ItemID,
                                                uint8_t ClassNumber, bool VisLayersOnly,
                                                double& Dist) const {
  if (Axis == atZAxis) {
    Dist = std::sqrt(std::numeric_limits<double>::max());
    return -1;
  }
  const bool AlongX = Axis == atXAxis;
  int32_t Px = 0, Py = 0;
  R2M(FActiveLayer, pos, pos, Px, Py);
  const double P = AlongX ? Px : Py;
  return FindNearest(ItemID, ClassNumber, VisLayersOnly, Dist, [&](const TrcChartItem& It) {
    int32_t Ix = 0, Iy = 0;
    R2M(It.Layer, It.x, It.y, Ix, Iy);
    return std::fabs((AlongX ? Ix : Iy) - P);
  });
}

} // namespace zef
