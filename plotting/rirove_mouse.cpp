// Chart interaction: the mouse modes (pan, zoom, rubber band, selection, dragging cross-hairs
// and labels, mouse trace), axis dragging, the mouse box, the cursors, and the queries that
// find the data item nearest to a point.
#include <algorithm>
#include <cmath>
#include <limits>

#include "ZEF_rirove.h"
#include "rirove_internal.h"
#include "controls/application.h"
#include "controls/screen.h"
#include "rtl/mathfn.h"

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

// ---- Mouse interaction --------------------------------------------------------------------

namespace {

constexpr TCursor kCurHand = 1, kCurZoomWind = 2, kCurZoomDrag = 3, kCurZoomPos = 4;

bool IsPanMode(TMouseActMode M) {
  return M == maPan || M == maPanHoriz || M == maPanVert || M == maPanGrid;
}

bool IsWindowMode(TMouseActMode M) {
  return M == maRubberBand || M == maZoomWind || M == maZoomWindPos || M == maSelectRect;
}

// Lower end snapped to the grid (trunc toward zero) plus its offset; Step <= 0 keeps it.
double Snap(double V, double Step, double Offs) {
  return Step > 0 ? std::trunc(V / Step) * Step + Offs : V;
}

} // namespace

// The chart's cursors live in the application's cursor table as cursors 1 to 4.
void TCustomRIrove::LoadChartCursors() {
  Screen().LoadCursor(kCurHand, "CURHAND");
  Screen().LoadCursor(kCurZoomWind, "CURZOOMW");
  Screen().LoadCursor(kCurZoomDrag, "CURZOOMD");
  Screen().LoadCursor(kCurZoomPos, "CURZOOMP");
}

bool TCustomRIrove::InDataArea(int32_t X, int32_t Y) const {
  return FLRim <= X && X <= Width() - FRRim - FShadowWidth && FTRim <= Y &&
         Y <= Height() - FBRim - FShadowWidth;
}

TPoint TCustomRIrove::ClampToDataArea(int32_t X, int32_t Y) const {
  const int32_t Right = std::max(FLRim, Width() - FRRim - FShadowWidth);
  const int32_t Bottom = std::max(FTRim, Height() - FBRim - FShadowWidth);
  return {std::clamp(X, FLRim, Right), std::clamp(Y, FTRim, Bottom)};
}

void TCustomRIrove::StoreDragAnchors(int32_t X, int32_t Y) {
  for (std::size_t L = 0; L < 2; ++L) {
    TDragAnchor& A = FAnchor[L];
    A.X = X;
    A.Y = Y;
    A.xLo = FScaleX[L]->RangeLow();
    A.xHi = FScaleX[L]->RangeHigh();
    A.yLo = FScaleY[L]->RangeLow();
    A.yHi = FScaleY[L]->RangeHigh();
  }
}

TColoredPoint TCustomRIrove::MouseTrace(int32_t Idx) const {
  if (Idx < 1 || Idx > NumMTracePoints()) {
    TColoredPoint None;
    None.Flag = 0xFFFF;
    return None;
  }
  return FMTrace[static_cast<std::size_t>(Idx - 1)];
}

void TCustomRIrove::ClearMouseTrace() {
  FMTrace.clear();
  RepaintNow();
}

// ---- Exclusive-or figures ----

namespace {
// A white one-pixel pen in exclusive-or mode and a clear brush: drawing twice erases.
void SetXorPen(TCanvas& C) {
  C.Pen().SetColor(clWhite);
  C.Pen().SetStyle(psSolid);
  C.Pen().SetWidth(1);
  C.Pen().SetMode(pmXor);
  C.Brush().SetStyle(bsClear);
}
} // namespace

void TCustomRIrove::XorRect(TPoint A, TPoint B) {
  TCanvas& C = Canvas();
  const rirove_internal::TPenScope Keep(C);
  SetXorPen(C);
  // The canvas covers X1..X2-1: the outline runs through both corners.
  C.Rectangle(std::min(A.X, B.X), std::min(A.Y, B.Y), std::max(A.X, B.X) + 1,
              std::max(A.Y, B.Y) + 1);
}

void TCustomRIrove::EraseWindow() {
  if (!FWinShown) return;
  if (FMouseAction == maRubberBand) XorLine(FWinAnchor, FWinOld);
  else XorRect(FWinAnchor, FWinOld);
  FWinShown = false;
}

void TCustomRIrove::EraseMouseBox() {
  if (!FMBoxShown) return;
  XorRect(FMBoxFirst, FMBoxOld);
  FMBoxShown = false;
}

void TCustomRIrove::XorLine(TPoint A, TPoint B) {
  TCanvas& C = Canvas();
  const rirove_internal::TPenScope Keep(C);
  SetXorPen(C);
  C.MoveTo(A.X, A.Y);
  C.LineTo(B.X, B.Y);
}

// ---- Hit test -------------------------------------------------------------------------------

bool TCustomRIrove::InScaleBand(const TScaleProps& S, int32_t X, int32_t Y, int32_t Band) const {
  const int32_t W = Width(), H = Height(), P = S.ScalePos();
  switch (S.ScaleType()) {
    case sctXT:  // bottom axis: the band below its line
      return H + P - FBRim < Y && Y < H + P - FBRim + Band && FLRim < X && X < W - FRRim;
    case sctXB:  // top axis: the band above it
      return FTRim - P - Band < Y && Y < FTRim - P && FLRim < X && X < W - FRRim;
    case sctYL:  // right axis: the band right of it
      return W + P - FRRim < X && X < W + P - FRRim + Band && FTRim < Y && Y < H - FBRim;
    case sctYR:  // left axis: the band left of it
      return FLRim - P - Band < X && X < FLRim - P && FTRim < Y && Y < H - FBRim;
  }
  return false;
}

// The y axes are tested first, with 50-pixel bands; the x axes have 40-pixel bands.
int32_t TCustomRIrove::DetectScale(int32_t CoordX, int32_t CoordY) const {
  for (int32_t L = 1; L <= 2; ++L) {
    const TScaleProps& S = *FScaleY[static_cast<std::size_t>(L - 1)];
    if (S.Visible() && InScaleBand(S, CoordX, CoordY, 50)) return L;
  }
  for (int32_t L = 1; L <= 2; ++L) {
    const TScaleProps& S = *FScaleX[static_cast<std::size_t>(L - 1)];
    if (S.Visible() && InScaleBand(S, CoordX, CoordY, 40)) return -L;
  }
  return 0;
}

// ---- Mouse down -----------------------------------------------------------------------------

void TCustomRIrove::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  // The press that arrives together with a double click is not a new drag.
  if (FDoubleClicked) {
    FDoubleClicked = false;
    return;
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (FMBoxState == msFirstCorner) {
    if (Button == mbRight) {
      FMBoxState = msNormal;
    } else {
      FMBoxFirst = FMBoxOld = ClampToDataArea(X, Y);
      FMBoxShown = false;
      FMBoxState = msRectDraw;
    }
  }
  if (IsWindowMode(FMouseAction) && FZoomState == zsNormal && Button == mbLeft &&
      InDataArea(X, Y)) {
    FZoomState = zsDrawWin;
    FWinAnchor = FWinOld = {X, Y};
    FWinShown = false;
  }
}

// ---- Mouse move -----------------------------------------------------------------------------

// The axis bands: a drag that began on an axis (the anchor stored) rescales every axis
// whose band holds the mouse, by that axis's MouseAction. True when a range changed.
bool TCustomRIrove::DragAxes(int32_t X, int32_t Y) {
  if (FZoomState == zsDrawWin) return false;
  const int32_t W = Width(), H = Height();
  bool Changed = false;
  for (int32_t L = 1; L <= 2; ++L) {
    const std::size_t I = static_cast<std::size_t>(L - 1);
    const TDragAnchor& A = FAnchor[I];
    const TScaleProps& SX = *FScaleX[I];
    double Lo = 0, Hi = 0;
    if (SX.MouseAction() != maNone && InScaleBand(SX, X, Y, 50) &&
        Rescale(X, Y, A.X, SX.RangeHigh(), SX.RangeLow(), SX.Logarithmic(), SX.ScaleType(),
                SX.MouseAction(), A.xLo, A.xHi, FLRim, FRRim, FTRim, FBRim, W, H, Lo, Hi)) {
      ForceRange(L, Lo, FScaleY[I]->RangeLow(), Hi, FScaleY[I]->RangeHigh(), false, true);
      Changed = true;
    }
    const TScaleProps& SY = *FScaleY[I];
    if (SY.MouseAction() != maNone && InScaleBand(SY, X, Y, 50) &&
        Rescale(X, Y, A.Y, SY.RangeHigh(), SY.RangeLow(), SY.Logarithmic(), SY.ScaleType(),
                SY.MouseAction(), A.yLo, A.yHi, FLRim, FRRim, FTRim, FBRim, W, H, Lo, Hi)) {
      ForceRange(L, FScaleX[I]->RangeLow(), Lo, FScaleX[I]->RangeHigh(), Hi, false, true);
      Changed = true;
    }
  }
  return Changed;
}

// Pan and drag zoom: the new ranges of every affected layer from its anchor.
void TCustomRIrove::PanLayers(int32_t X, int32_t Y) {
  const double W = static_cast<double>(Width()) - FLRim - FRRim - FShadowWidth;
  const double H = static_cast<double>(Height()) - FTRim - FBRim - FShadowWidth;
  if (W <= 0 || H <= 0) return;
  const bool WasSuppressed = FSuppressPaint;
  FSuppressPaint = true;
  try {
    for (int32_t L = 1; L <= 2; ++L) {
      if (!MouseAffectsLayer(L)) continue;
      const std::size_t I = static_cast<std::size_t>(L - 1);
      const TDragAnchor& A = FAnchor[I];
      const TScaleProps& SX = *FScaleX[I];
      const TScaleProps& SY = *FScaleY[I];
      double xLo = SX.RangeLow(), xHi = SX.RangeHigh(), yLo = SY.RangeLow(), yHi = SY.RangeHigh();
      const double dX = static_cast<double>(X) - A.X, dY = static_cast<double>(Y) - A.Y;
      if (FMouseAction == maZoomDrag) {
        const double fx = 1 - dX / Width();
        const double fy = FIsometric ? fx : 1 + dY / Height();
        const double cx = (A.xLo + A.xHi) / 2, cy = (A.yLo + A.yHi) / 2;
        xLo = cx - (A.xHi - A.xLo) * fx / 2;
        xHi = cx + (A.xHi - A.xLo) * fx / 2;
        yLo = cy - (A.yHi - A.yLo) * fy / 2;
        yHi = cy + (A.yHi - A.yLo) * fy / 2;
      } else if (FMouseAction == maPanGrid) {
        if (SX.Logarithmic() || SY.Logarithmic()) continue;
        const double d = dX * (A.xHi - A.xLo) / W;
        const double e = dY * (A.yHi - A.yLo) / H;
        xLo = Snap(A.xLo - d, FMouseOpts.PanGridDx, FMouseOpts.PanGridOffsX);
        xHi = A.xHi - (A.xLo - xLo);
        yLo = Snap(A.yLo + e, FMouseOpts.PanGridDy, FMouseOpts.PanGridOffsY);
        yHi = A.yHi - (A.yLo - yLo);
      } else {
        if (FMouseAction != maPanVert) {
          if (SX.Logarithmic()) {
            const double g = std::exp(std::log(SX.RangeHigh() / SX.RangeLow()) * -dX / W);
            xLo = A.xLo * g;
            xHi = A.xHi * g;
          } else {
            const double d = dX * (A.xHi - A.xLo) / W;
            xLo = A.xLo - d;
            xHi = A.xHi - d;
          }
        }
        if (FMouseAction != maPanHoriz) {
          if (SY.Logarithmic()) {
            const double g = std::exp(std::log(SY.RangeHigh() / SY.RangeLow()) * dY / H);
            yLo = A.yLo * g;
            yHi = A.yHi * g;
          } else {
            const double e = dY * (A.yHi - A.yLo) / H;
            yLo = A.yLo + e;
            yHi = A.yHi + e;
          }
        }
      }
      ForceRange(L, xLo, yLo, xHi, yHi, false, true);
    }
  } catch (...) {
    FSuppressPaint = WasSuppressed;
    throw;
  }
  FSuppressPaint = WasSuppressed;
  if (!WasSuppressed) RepaintNow();
  if (OnZoomPan) OnZoomPan(this);
}

void TCustomRIrove::DragCrossHair(TShiftState Shift, int32_t X, int32_t Y) {
  if (!Shift.Contains(ssLeft)) {
    FLeftDown = false;
    return;
  }
  if (!InDataArea(X, Y)) return;
  if (FLeftDown) {
    TCrossHair& C = *FCrossHair[static_cast<std::size_t>(FDragCrossH - 1)];
    double PX = 0, PY = 0;
    M2R(C.Layer(), X, Y, PX, PY);
    CrossHairSetPos(FDragCrossH, PX, PY);
    if (OnCrossHairMove) OnCrossHairMove(this, C);
    return;
  }
  // The nearest cross-hair: a vertical line by its x distance, a horizontal one by its y
  // distance, a cross or box by the smaller of both.
  FDragCrossH = 1;
  double Best = std::numeric_limits<double>::max();
  int32_t BestDx = 0, BestDy = 0;
  for (int32_t I = 1; I <= 4; ++I) {
    const TCrossHair& C = *FCrossHair[static_cast<std::size_t>(I - 1)];
    int32_t PX = 0, PY = 0;
    R2M(C.Layer(), C.PosX(), C.PosY(), PX, PY);
    const TCrossHMode M = C.Mode();
    const double DX = static_cast<double>(PX) - X, DY = static_cast<double>(PY) - Y;
    if ((M == chVert || M == chBoth || M == chCrossBox || M == chBox) && DX * DX < Best) {
      Best = DX * DX;
      FDragCrossH = I;
    }
    if ((M == chHoriz || M == chBoth || M == chCrossBox || M == chBox) && DY * DY < Best) {
      Best = DY * DY;
      FDragCrossH = I;
    }
    if (I == FDragCrossH) {
      BestDx = X - PX;
      BestDy = Y - PY;
    }
  }
  bool AllowMove = true;
  if (OnBeforeCrossHairMove)
    OnBeforeCrossHairMove(this, *FCrossHair[static_cast<std::size_t>(FDragCrossH - 1)], BestDx,
                          BestDy, AllowMove);
  if (AllowMove) {
    StoreDragAnchors(X, Y);
    FLeftDown = true;
  }
}

TPoint TCustomRIrove::TextLabelAnchor(const TTextLabel& Lb) const {
  int32_t X = RoundInt(Lb.PosX()), Y = RoundInt(Lb.PosY());
  int32_t MX = 0, MY = 0;
  R2M(Lb.Layer(), Lb.PosX(), Lb.PosY(), MX, MY);
  const TTxtLblAttachMode A = Lb.AttachToData();
  if (A == tlamXOnly || A == tlamBoth) X = rirove_internal::ClampPix(MX);
  if (A == tlamYOnly || A == tlamBoth) Y = rirove_internal::ClampPix(MY);
  return {X, Y};
}

void TCustomRIrove::DragTextLabel(TShiftState Shift, int32_t X, int32_t Y) {
  if (!Shift.Contains(ssLeft)) {
    FLeftDown = false;
    return;
  }
  if (FLeftDown) {
    TTextLabel& Lb = *FTextLabels[static_cast<std::size_t>(FDragLabel - 1)];
    double RX = 0, RY = 0;
    M2R(Lb.Layer(), X, Y, RX, RY);
    const TTxtLblAttachMode A = Lb.AttachToData();
    const double PX = A == tlamXOnly || A == tlamBoth ? RX : X;
    const double PY = A == tlamYOnly || A == tlamBoth ? RY : Y;
    // Both coordinates change at once: one repaint instead of one per coordinate.
    const TNotifyEvent Handler = Lb.OnChange;
    Lb.OnChange = nullptr;
    Lb.SetTxtLblPosX(PX);
    Lb.SetTxtLblPosY(PY);
    Lb.OnChange = Handler;
    RepaintNow();
    if (OnTextLabelMove) OnTextLabelMove(this, Lb);
    return;
  }
  StoreDragAnchors(X, Y);
  FDragLabel = 1;
  double Best = std::numeric_limits<double>::max();
  for (int32_t I = 1; I <= 30; ++I) {
    const TTextLabel& Lb = *FTextLabels[static_cast<std::size_t>(I - 1)];
    if (Lb.Mode() == tlOff || !Lb.Visible()) continue;
    const TPoint P = TextLabelAnchor(Lb);
    const double DX = static_cast<double>(P.X) - X, DY = static_cast<double>(P.Y) - Y;
    if (DX * DX + DY * DY < Best) {
      Best = DX * DX + DY * DY;
      FDragLabel = I;
    }
  }
  FLeftDown = true;
}

void TCustomRIrove::AddTracePoint(int32_t X, int32_t Y) {
  if (NumMTracePoints() >= kMaxMouseTracePoints) return;
  const TPoint P = ClampToDataArea(X, Y);
  TColoredPoint T;
  M2R(FActiveLayer, P.X, P.Y, T.X, T.Y);
  T.Color = FMouseOpts.MouseTraceColor;
  T.Flag = FMouseOpts.MouseTraceInvert ? 2 : 0;
  FMTrace.push_back(T);
  const std::size_t N = FMTrace.size();
  if (N < 2 || (FMTrace[N - 2].Flag & 1)) return;
  // Straight onto the control: offsets of the data area make the segment control pixels.
  TCanvas& C = Canvas();
  const rirove_internal::TPenScope Keep(C);
  DrawTraceSegment(C, FMTrace[N - 2], FMTrace[N - 1], FLRim, FTRim);
}

void TCustomRIrove::ShowModeCursor(int32_t X, int32_t Y) {
  TCursor C = crDefault;
  if (InDataArea(X, Y) && !FMouseOpts.MouseCursorFixed) {
    switch (FMouseAction) {
      case maNone: C = crCross; break;
      case maPan: case maPanHoriz: case maPanVert: case maPanGrid: C = kCurHand; break;
      case maZoomWind: C = kCurZoomWind; break;
      case maZoomDrag: C = kCurZoomDrag; break;
      case maZoomWindPos: C = kCurZoomPos; break;
      case maRubberBand: case maDragCrossH: case maDragLabel: case maSelectRect: break;
      default: return;  // the other modes leave the cursor alone
    }
  }
  Screen().SetCursor(C);
  FCursorShown = C != crDefault;
}

void TCustomRIrove::MouseMove(TShiftState Shift, int32_t X, int32_t Y) {
  // A move that arrives while one is being handled (a handler processing messages) is
  // dropped.
  if (FInMouseMove) return;
  FInMouseMove = true;
  const std::shared_ptr<bool> Alive = FAlive;
  struct TGuard {
    const std::shared_ptr<bool>& A;
    bool& F;
    ~TGuard() { if (*A) F = false; }
  } Guard{Alive, FInMouseMove};
  const int32_t RawX = X, RawY = Y;

  FLastMouse = {X, Y};
  TCustomControl::MouseMove(Shift, X, Y);
  if (!*Alive) return;

  if (FMBoxState == msRectDraw) {
    const TPoint P = ClampToDataArea(X, Y);
    X = P.X;
    Y = P.Y;
    EraseMouseBox();
    XorRect(FMBoxFirst, P);
    FMBoxOld = P;
    FMBoxShown = true;
  }

  // Axis dragging, whatever the chart's mode.
  if (Shift.Contains(ssLeft)) {
    if (FLeftDown) {
      if (DragAxes(X, Y) && OnZoomPan) OnZoomPan(this);
    } else if (DetectScale(X, Y) != 0) {
      StoreDragAnchors(X, Y);
      FLeftDown = true;
    }
  } else {
    FLeftDown = false;
  }

  const bool Left = Shift.Contains(ssLeft);
  switch (FMouseAction) {
    case maPan: case maPanHoriz: case maPanVert: case maPanGrid: case maZoomDrag:
      if (!Left) {
        FLeftDown = false;
        break;
      }
      if (!FLeftDown) StoreDragAnchors(X, Y);
      else if (InDataArea(X, Y)) PanLayers(X, Y);
      FLeftDown = true;
      break;
    case maRubberBand:
      if (FZoomState == zsDrawWin) {
        const TPoint P = ClampToDataArea(X, Y);
        EraseWindow();
        XorLine(FWinAnchor, P);
        FWinOld = P;
        FWinShown = true;
      }
      break;
    case maZoomWind: case maZoomWindPos: case maSelectRect:
      if (FZoomState == zsDrawWin) {
        TPoint P = ClampToDataArea(X, Y);
        P.Y = Y;
        if (FMouseAction != maSelectRect && FIsometric) {
          const int64_t DX = static_cast<int64_t>(P.X) - FWinAnchor.X;
          const int64_t DY = static_cast<int64_t>(P.Y) - FWinAnchor.Y;
          const int64_t NY = DY * DX < 1 ? FWinAnchor.Y - DX : FWinAnchor.Y + DX;
          P.Y = static_cast<int32_t>(std::clamp<int64_t>(NY, INT32_MIN, INT32_MAX));
        }
        P.Y = ClampToDataArea(P.X, P.Y).Y;
        EraseWindow();
        XorRect(FWinAnchor, P);
        FWinOld = P;
        FWinShown = true;
      }
      break;
    case maDragCrossH: DragCrossHair(Shift, X, Y); break;
    case maDragLabel: DragTextLabel(Shift, X, Y); break;
    case maDrawMTrace:
      if (FZoomState == zsNormal && Left) AddTracePoint(X, Y);
      break;
    default: break;
  }
  if (!*Alive) return;

  if (InDataArea(X, Y)) M2R(FActiveLayer, X, Y, FMousePosX, FMousePosY);
  ShowModeCursor(X, Y);

  if (OnMouseMoveInChart) {
    double RX = 0, RY = 0;
    M2R(FActiveLayer, RawX, RawY, RX, RY);
    OnMouseMoveInChart(this, InDataArea(RawX, RawY), Shift, RX, RY);
  }
}

// ---- Double click and mouse up --------------------------------------------------------------

void TCustomRIrove::DblClick() {
  FDoubleClicked = true;
  const int32_t Hit = DetectScale(FLastMouse.X, FLastMouse.Y);
  if (Hit != 0) {
    TScaleProps& S = Hit > 0 ? static_cast<TScaleProps&>(*FScaleY[static_cast<std::size_t>(Hit - 1)])
                             : *FScaleX[static_cast<std::size_t>(-Hit - 1)];
    if (S.MouseAction() == maPan) S.SetMouseAction(maZoom);
    else if (S.MouseAction() == maZoom) S.SetMouseAction(maPan);
  }
  TCustomControl::DblClick();
}

// Release of a rubber band, zoom window or selection rectangle.
void TCustomRIrove::FinishWindow(TMouseButton Button) {
  FZoomState = zsNormal;
  const bool Band = FMouseAction == maRubberBand;
  const TPoint A = FWinAnchor, B = FWinOld;
  if (Button != mbLeft || A.X == B.X || A.Y == B.Y) {
    // Nothing to act on: take the figure off the screen.
    EraseWindow();
    return;
  }
  const bool WasSuppressed = FSuppressPaint;
  FSuppressPaint = true;
  // A window zoom of both layers is one step of the zoom history, not one per layer.
  bool Zoomed = false;
  try {
    for (int32_t L = 1; L <= 2; ++L) {
      if (!MouseAffectsLayer(L)) continue;
      const std::size_t I = static_cast<std::size_t>(L - 1);
      double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
      M2R(L, A.X, A.Y, x1, y1);
      M2R(L, B.X, B.Y, x2, y2);
      if (FMouseAction == maZoomWindPos || FMouseAction == maSelectRect) {
        // The window keeps the axes' directions.
        if ((x1 < x2) != (FScaleX[I]->RangeLow() < FScaleX[I]->RangeHigh())) std::swap(x1, x2);
        if ((y1 < y2) != (FScaleY[I]->RangeLow() < FScaleY[I]->RangeHigh())) std::swap(y1, y2);
      }
      if (Band) {
        if (OnRubberBand) OnRubberBand(this, L, x1, y1, x2, y2);
      } else if (FMouseAction == maSelectRect) {
        if (OnSelectRect) OnSelectRect(this, L, x1, y1, x2, y2);
      } else {
        const TRectDouble Before = CurrentRanges(I);
        ForceRange(L, x1, y1, x2, y2, false, false);
        Zoomed = Zoomed || !(Before == CurrentRanges(I));
      }
    }
    if (Zoomed) RecordZoomState();
    if (OnZoomPan) OnZoomPan(this);
  } catch (...) {
    FSuppressPaint = WasSuppressed;
    throw;
  }
  FSuppressPaint = WasSuppressed;
  // The repaint takes the figure away; without one it is erased.
  if (!WasSuppressed) {
    FWinShown = false;
    RepaintNow();
  }
  EraseWindow();
}

void TCustomRIrove::MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (FDoubleClicked) {
    FDoubleClicked = false;
    return;
  }
  FLeftDown = false;
  if (FMBoxState == msRectDraw) {
    EraseMouseBox();
    if (Button == mbRight) {
      FMBoxState = msNormal;
    } else {
      FMBoxSecond = ClampToDataArea(X, Y);
      FMBoxState = msFinished;
    }
  }
  if (FMouseAction == maDrawMTrace && !FMTrace.empty()) FMTrace.back().Flag |= 1;
  if (IsWindowMode(FMouseAction) && FZoomState == zsDrawWin) FinishWindow(Button);
  if (IsPanMode(FMouseAction) || FMouseAction == maZoomDrag) {
    // One history entry per pan or drag zoom; a click that moved nothing adds none.
    bool Moved = false;
    for (int32_t L = 1; L <= 2; ++L)
      Moved = Moved || !(GetZoomStackEntry(L, 0) == CurrentRanges(static_cast<std::size_t>(L - 1)));
    if (Moved) RecordZoomState();
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomRIrove::MouseLeave() {
  // The chart's mode cursor is application-wide: it must not follow the mouse elsewhere.
  if (FCursorShown) {
    Screen().SetCursor(crDefault);
    FCursorShown = false;
  }
  TCustomControl::MouseLeave();
}

// ---- Mouse box ------------------------------------------------------------------------------

bool TCustomRIrove::MouseBox(double& xLo, double& yLo, double& xHi, double& yHi) {
  const std::shared_ptr<bool> Alive = FAlive;
  FMBoxState = msFirstCorner;
  while (FMBoxState == msFirstCorner || FMBoxState == msRectDraw) {
    Application().HandleMessage();
    if (!*Alive) return false;
    if (Application().Terminated()) {
      EraseMouseBox();
      FMBoxState = msNormal;
    }
  }
  const bool Finished = FMBoxState == msFinished;
  FMBoxState = msNormal;
  if (!Finished) return false;
  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  M2R(FActiveLayer, FMBoxFirst.X, FMBoxFirst.Y, X1, Y1);
  M2R(FActiveLayer, FMBoxSecond.X, FMBoxSecond.Y, X2, Y2);
  xLo = std::min(X1, X2);
  xHi = std::max(X1, X2);
  yLo = std::min(Y1, Y2);
  yHi = std::max(Y1, Y2);
  return true;
}

void TCustomRIrove::MouseBoxAbort() {
  // The figures of the drags being ended leave the screen with them.
  EraseMouseBox();
  EraseWindow();
  FMBoxState = msNormal;
  FZoomState = zsNormal;
}

} // namespace zef
