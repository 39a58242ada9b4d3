#include "ZEF_sline.h"

#include <algorithm>

namespace zef {

void TSLine::LineFrom2Points(double X1, double Y1, double X2, double Y2) {
  FX1 = X1;
  FY1 = Y1;
  FX2 = X2;
  FY2 = Y2;
}

bool TSLine::ClipBox(double XLo, double YLo, double XHi, double YHi, double& X1, double& Y1,
                     double& X2, double& Y2) const {
  if (XLo > XHi) std::swap(XLo, XHi);
  if (YLo > YHi) std::swap(YLo, YHi);
  const double Dx = FX2 - FX1;
  const double Dy = FY2 - FY1;
  // The segment is P(t) = P1 + t (P2 - P1), 0 <= t <= 1; each box edge bounds t from one side.
  double T0 = 0;
  double T1 = 1;
  const auto Edge = [&](double P, double Q) {  // the condition P t <= Q
    if (P == 0) return Q >= 0;
    const double T = Q / P;
    if (P < 0) {
      if (T > T1) return false;
      T0 = std::max(T0, T);
    } else {
      if (T < T0) return false;
      T1 = std::min(T1, T);
    }
    return true;
  };
  if (!Edge(-Dx, FX1 - XLo) || !Edge(Dx, XHi - FX1) || !Edge(-Dy, FY1 - YLo) ||
      !Edge(Dy, YHi - FY1))
    return false;
  X1 = FX1 + T0 * Dx;
  Y1 = FY1 + T0 * Dy;
  X2 = FX1 + T1 * Dx;
  Y2 = FY1 + T1 * Dy;
  // Exact end points where nothing was cut, and the box limits where the cut lies on them.
  if (T0 == 0) { X1 = FX1; Y1 = FY1; }
  if (T1 == 1) { X2 = FX2; Y2 = FY2; }
  X1 = std::clamp(X1, XLo, XHi);
  Y1 = std::clamp(Y1, YLo, YHi);
  X2 = std::clamp(X2, XLo, XHi);
  Y2 = std::clamp(Y2, YLo, YHi);
  return true;
}

} // namespace zef
