// Chart interaction: the annotation item nearest to a point, measured in pixels where the
// renderer places each item.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include "ZEF_math1.h"
#include "ZEF_rirove.h"
#include "rirove_internal.h"
#include "rtl/mathfn.h"

namespace zef {

namespace {

// The measures use the renderer's clamped pixels, so a far-off item is found where it is
// drawn and no sum can overflow.
using rirove_internal::ClampPix;
using rirove_internal::ScreenX;
using rirove_internal::ScreenY;

// Pen moves and relative line-tos have no place of their own and are never found;
// tkNotMoveTo therefore takes every kind that can be found.
bool AnnoKindMatches(TrcItem ItemID, TrcItem Kind) {
  if (Kind == tkMoveTo || Kind == tkMoveRelPix || Kind == tkLineRelPix) return false;
  if (ItemID == tkEverything || ItemID == tkNotMoveTo) return true;
  return ItemID != tkNone && ItemID == Kind;
}

double Sq(double V) { return V * V; }

double SqToPoint(double X, double Y, TPoint P) { return Sq(X - P.X) + Sq(Y - P.Y); }

double SqToSegment(double X, double Y, TPoint A, TPoint B) {
  return Sq(DistanceToSegment(X, Y, A.X, A.Y, B.X, B.Y));
}

double SqToRect(double X, double Y, double X1, double Y1, double X2, double Y2) {
  return Sq(DistFromRect(X, Y, X1, Y1, X2, Y2));
}

// True when Angle lies strictly inside the counter-clockwise sweep from A1 to A2, the way
// an arc is drawn; with A1 > A2 the sweep runs through +-pi. Equal ends sweep nothing.
bool InArcSweep(double Angle, double A1, double A2) {
  if (A1 < A2) return A1 < Angle && Angle < A2;
  if (A1 > A2) return Angle > A1 || Angle < A2;
  return false;
}

} // namespace

int32_t TCustomRIrove::FindNearestAnnoElem(double mx, double my, TrcItem ItemID,
                                           uint8_t ClassNumber, bool VisLayersOnly,
                                           double& Dist) {
  // Everything is measured in data-area pixels, where the renderer places the items; the
  // mouse point moves there from control pixels (distances do not change).
  int32_t Px = 0, Py = 0;
  R2M(FActiveLayer, mx, my, Px, Py);
  const double MX = static_cast<double>(Px) - FLRim, MY = static_cast<double>(Py) - FTRim;
  const std::array<TAxisMap, 2> MapX{AxisMapX(0), AxisMapX(1)};
  const std::array<TAxisMap, 2> MapY{AxisMapY(0), AxisMapY(1)};
  const auto WorldPix = [&](std::size_t L, double X, double Y) -> TPoint {
    return {ClampPix(int64_t(MapX[L].Map(X)) - FLRim), ClampPix(int64_t(MapY[L].Map(Y)) - FTRim)};
  };
  // One value pair by the item's coordinate mode: pixel values are stored as data-area
  // pixels already, world values go through the item layer's transform.
  const auto ModePix = [&](const TrcChartItem& It, bool Second) -> TPoint {
    const std::size_t L = static_cast<std::size_t>(It.Layer - 1);
    const double X = Second ? It.x2 : It.x, Y = Second ? It.y2 : It.y;
    const int64_t PX = ScreenX(It.CoordMode, Second) ? int64_t(RoundInt(X))
                                                     : int64_t(MapX[L].Map(X)) - FLRim;
    const int64_t PY = ScreenY(It.CoordMode, Second) ? int64_t(RoundInt(Y))
                                                     : int64_t(MapY[L].Map(Y)) - FTRim;
    return {ClampPix(PX), ClampPix(PY)};
  };
  const auto Shifted = [](TPoint P, double DX, double DY) -> TPoint {
    return {ClampPix(int64_t(P.X) + RoundInt(DX)), ClampPix(int64_t(P.Y) + RoundInt(DY))};
  };

  // The text box as DrawTextItem lays the text out, measured with the data-area canvas in
  // the item's font (the font stays set; every render sets it again for each text).
  const auto TextBoxSq = [&](const TrcChartItem& It, int32_t Index) {
    TPoint P = ModePix(It, false);
    if (It.ItemKind == tkTextOfs) P = Shifted(P, It.x2, It.y2);
    TCanvas& Canvas = FDataBmp.Canvas();
    TFont& F = Canvas.Font();
    F.SetName(FTextFont.Name());
    F.SetStyle(FTextFont.Style());
    F.SetSize(std::clamp(It.Param1, 1, 1000));
    std::string Txt = It.LWid >= 1 && It.LWid <= 50
                          ? FAnnos.LongTexts[static_cast<std::size_t>(It.LWid - 1)]
                          : ChartItemText(It);
    if (OnBeforeRenderText) OnBeforeRenderText(this, Txt, Index, true);
    int32_t LH = 0, TH = 0, MW = 0;
    CalcTextExtents(Txt, Canvas, LH, TH, MW);
    double X = P.X;
    const double Y = P.Y - LH / 2;
    if (It.Param3 == taRightJustify) X -= MW;
    else if (It.Param3 == taCenter) X -= MW / 2;
    return SqToRect(MX, MY, X, Y, X + MW, Y + TH);
  };

  // Ellipse and arc are drawn inscribed in the box of their mapped corners: centre and
  // half axes in pixels come from that box (on a logarithmic axis the box is not centred
  // on the mapped centre point).
  struct TPixEllipse {
    double CX, CY, A, B;
  };
  const auto EllipseOfCorners = [](TPoint P, TPoint Q) -> TPixEllipse {
    return {(double(P.X) + Q.X) / 2, (double(P.Y) + Q.Y) / 2, std::fabs(double(Q.X) - P.X) / 2,
            std::fabs(double(Q.Y) - P.Y) / 2};
  };

  // The squared pixel measure of one item, or a negative value for an item that cannot be
  // found (no measure for its kind, or an arc whose angle window excludes the mouse).
  const auto Measure = [&](const TrcChartItem& It, int32_t Index) -> double {
    const std::size_t L = static_cast<std::size_t>(It.Layer - 1);
    switch (It.ItemKind) {
      case tkMarkAt:
      case tkLineto:
        return SqToPoint(MX, MY, ModePix(It, false));
      case tkLine:
      case tkArrow:
      case tkDoubleArrow:
        return SqToSegment(MX, MY, ModePix(It, false), ModePix(It, true));
      case tkLineOffs:
        return SqToSegment(MX, MY, Shifted(ModePix(It, false), It.Param1, It.Param2),
                           Shifted(ModePix(It, true), It.Param1, It.Param2));
      case tkRect:
      case tkRectFrame: {
        const TPoint A = ModePix(It, false), B = ModePix(It, true);
        return SqToRect(MX, MY, A.X, A.Y, B.X, B.Y);
      }
      case tkRectRelPix: {
        const TPoint M = ModePix(It, false);
        const TPoint A = Shifted(M, -double(It.Param1), -double(It.Param2));
        const TPoint B = Shifted(M, It.Param1, It.Param2);
        return SqToRect(MX, MY, A.X, A.Y, B.X, B.Y);
      }
      case tk3DBar: {
        // The bar is drawn from world points; its top and side faces reach the front face
        // shifted by the depth along the angle.
        const TPoint A = WorldPix(L, It.x, It.y), B = WorldPix(L, It.x2, It.y2);
        const double Ang = It.Param1 * std::numbers::pi / 180;
        const double EX = ClampPix(RoundInt(std::cos(Ang) * It.Param2));
        const double EY = ClampPix(RoundInt(std::sin(Ang) * It.Param2));
        return std::min(SqToRect(MX, MY, A.X, A.Y, B.X, B.Y),
                        SqToRect(MX, MY, A.X + EX, A.Y - EY, B.X + EX, B.Y - EY));
      }
      case tkText:
      case tkTextOfs:
        return TextBoxSq(It, Index);
      case tkEllipse: {
        // The filled ellipse in pixels: 0 inside, else the squared distance to its outline,
        // so that it compares fairly with every other kind.
        const TPixEllipse E = EllipseOfCorners(WorldPix(L, It.x - It.x2, It.y + It.y2),
                                               WorldPix(L, It.x + It.x2, It.y - It.y2));
        if (E.A > 0 && E.B > 0 && Sq((MX - E.CX) / E.A) + Sq((MY - E.CY) / E.B) <= 1) return 0;
        return Sq(DistFromEllipse(MX, MY, E.CX, E.CY, E.A, E.B));
      }
      case tkMarkEBar: {
        const double Lo = std::fabs(It.x2), Hi = std::fabs(It.y2);
        const bool Horiz = It.Param1 != orVert;
        const TPoint A = Horiz ? WorldPix(L, It.x - Lo, It.y) : WorldPix(L, It.x, It.y - Lo);
        const TPoint B = Horiz ? WorldPix(L, It.x + Hi, It.y) : WorldPix(L, It.x, It.y + Hi);
        return SqToSegment(MX, MY, A, B);
      }
      case tkArc: {
        // The angle window is tested in world units of the item's layer; the mouse point
        // is taken there through its pixel when the item lies on the other layer.
        double WX = mx, WY = my;
        if (It.Layer != FActiveLayer) M2R(It.Layer, Px, Py, WX, WY);
        const double Angle = std::atan2(WY - It.y, WX - It.x);
        if (!InArcSweep(Angle, It.Param1 / 1e8, It.Param2 / 1e8)) return -1;
        // An arc is a curve: the distance to the whole outline, also from inside.
        const TPixEllipse E = EllipseOfCorners(WorldPix(L, It.x - It.x2, It.y - It.y2),
                                               WorldPix(L, It.x + It.x2, It.y + It.y2));
        return Sq(DistFromEllipse(MX, MY, E.CX, E.CY, E.A, E.B));
      }
      case tkLineRelPixOrig: {
        const TPoint O = WorldPix(L, It.x, It.y);
        return SqToSegment(MX, MY, O, Shifted(O, It.x2, It.y2));
      }
      case tkCursorVert:
        return Sq(ModePix(It, false).X - MX);
      case tkCursorHoriz:
        return Sq(ModePix(It, false).Y - MY);
      default:
        return -1;
    }
  };

  double Best = std::numeric_limits<double>::max();
  int32_t BestIx = -1;
  // The text event may change the container: the count is read again and the item copied.
  for (int32_t I = 0; I < FAnnos.Count(); ++I) {
    const TrcChartItem It = FAnnos.Items[static_cast<std::size_t>(I)];
    if (!AnnoKindMatches(ItemID, It.ItemKind)) continue;
    if (ClassNumber != 255 && It.ItemClass != ClassNumber) continue;
    // Items on a layer other than 1 and 2 are never drawn, and have no transform.
    if (It.Layer < 1 || It.Layer > 2) continue;
    if (VisLayersOnly && !LayerVisible(It.Layer)) continue;
    const double D = Measure(It, I);
    if (D >= 0 && D < Best) {
      Best = D;
      BestIx = I;
    }
  }
  Dist = std::sqrt(Best);
  return BestIx;
}

} // namespace zef
