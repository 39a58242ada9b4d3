// Scale settings, the world-to-pixel transforms, ranges (set, forced, automatic, equal,
// isometric, confined), the zoom history, the standard layouts, margins and size.
#include <cmath>
#include <limits>

#include "ZEF_rirove.h"
#include "rtl/files.h"
#include "rtl/mathfn.h"

namespace zef {

namespace {
constexpr double kLogFloor = 1e-100;
} // namespace

// ---- TScaleProps --------------------------------------------------------------------------

TScaleProps::TScaleProps() {
  FFont.OnChange = [this](TObject*) { Changed(); };
  FDateFormat.SetDateSeparator('-');
  FDateFormat.SetMonthName(true);
  FDateFormat.SetDateForTime(dtOnePerDay);
  FDateFormat.SetDateOrder(doDDMMYY);
  FDateFormat.OnChange = [this](TObject*) { Changed(); };
}

TScaleProps::~TScaleProps() = default;

void TScaleProps::Changed() {
  if (OnChange) OnChange(this);
}

void TScaleProps::SetRangeLow(double Value) {
  if (std::abs(FRangeHigh - Value) < FMinRange) {
    FRangeLow = Value;
    FRangeHigh = Value + FMinRange;
  } else if (FLogarithmic && Value < kLogFloor) {
    return;
  } else {
    FRangeLow = Value;
  }
  Changed();
}

void TScaleProps::SetRangeHigh(double Value) {
  if (std::abs(Value - FRangeLow) < FMinRange) {
    FRangeHigh = Value;
    FRangeLow = Value - FMinRange;
  } else if (FLogarithmic && Value < kLogFloor) {
    return;
  } else {
    FRangeHigh = Value;
  }
  Changed();
}

void TScaleProps::SetMinRange(double Value) {
  if (!(Value > kLogFloor)) return;
  FMinRange = Value;
  if (std::abs(FRangeHigh - FRangeLow) < Value) {
    const double M = (FRangeLow + FRangeHigh) / 2;
    const double Half = FRangeHigh >= FRangeLow ? Value / 2 : -Value / 2;
    FRangeLow = M - Half;
    FRangeHigh = M + Half;
  }
  Changed();
}

void TScaleProps::SetLogarithmic(bool Value) {
  if (Value && !FLoading &&
      (FRangeLow < kLogFloor || FRangeHigh < kLogFloor || FLabelType == ftDateTime))
    return;
  FLogarithmic = Value;
  Changed();
}

void TScaleProps::SetLabelType(TFigType Value) {
  FLabelType = Value;
  if (Value == ftDateTime) FLogarithmic = false;
  if (Value == ftTime) FDecPlaces = 4;
  Changed();
}

void TScaleProps::SetDecPlaces(int32_t Value) {
  FDecPlaces = std::clamp(Value, -3, 12);
  Changed();
}

void TScaleProps::SetDateFormat(const TDTLabel& Value) {
  FDateFormat.Assign(Value);
  Changed();
}

void TScaleProps::SetMinTicks(int32_t Value) { FMinTicks = Value; Changed(); }
void TScaleProps::SetShortTicks(bool Value) { FShortTicks = Value; Changed(); }
void TScaleProps::SetScaleInscript(const std::string& Value) { FScaleInscript = Value; Changed(); }
void TScaleProps::SetUserTickText(const std::string& Value) { FUserTickText = Value; Changed(); }
void TScaleProps::SetCaption(const std::string& Value) { FCaption = Value; Changed(); }
void TScaleProps::SetCaptionPosX(int32_t Value) { FCaptionPosX = Value; Changed(); }
void TScaleProps::SetCaptionPosY(int32_t Value) { FCaptionPosY = Value; Changed(); }
void TScaleProps::SetCaptionAlignment(TAlignment Value) { FCaptionAlignment = Value; Changed(); }
void TScaleProps::SetCaptionAnchor(TScaleUnitAnchor Value) { FCaptionAnchor = Value; Changed(); }
void TScaleProps::SetColorScale(TColor Value) { FColorScale = Value; Changed(); }
void TScaleProps::SetScalePos(int32_t Value) { FScalePos = Value; Changed(); }
void TScaleProps::SetVisible(bool Value) { FVisible = Value; Changed(); }
void TScaleProps::SetMouseAction(TMouseActMode Value) { FMouseAction = Value; Changed(); }
void TScaleProps::SetScaleType(TScaleType Value) { FScaleType = Value; Changed(); }

void TScaleProps::SetFont(const TFont& Value) {
  const TNotifyEvent Handler = FFont.OnChange;
  FFont.OnChange = nullptr;
  FFont.Assign(Value);
  FFont.OnChange = Handler;
  Changed();
}

void TScaleProps::Assign(const TPersistent& Source) {
  const auto* S = dynamic_cast<const TScaleProps*>(&Source);
  if (S == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  FRangeLow = S->FRangeLow;
  FRangeHigh = S->FRangeHigh;
  FMinRange = S->FMinRange;
  FLogarithmic = S->FLogarithmic;
  FLabelType = S->FLabelType;
  FDecPlaces = S->FDecPlaces;
  FDateFormat.Assign(S->FDateFormat);
  FMinTicks = S->FMinTicks;
  FShortTicks = S->FShortTicks;
  FScaleInscript = S->FScaleInscript;
  FUserTickText = S->FUserTickText;
  FCaption = S->FCaption;
  FCaptionPosX = S->FCaptionPosX;
  FCaptionPosY = S->FCaptionPosY;
  FCaptionAlignment = S->FCaptionAlignment;
  FCaptionAnchor = S->FCaptionAnchor;
  FColorScale = S->FColorScale;
  {
    const TNotifyEvent Handler = FFont.OnChange;
    FFont.OnChange = nullptr;
    FFont.Assign(S->FFont);
    FFont.OnChange = Handler;
  }
  FScalePos = S->FScalePos;
  FVisible = S->FVisible;
  FMouseAction = S->FMouseAction;
  FScaleType = S->FScaleType;
  OnChange = S->OnChange;
  Changed();
}

// ---- TBakGndImg ---------------------------------------------------------------------------

void TBakGndImg::Changed() {
  if (OnChange) OnChange(this);
}

void TBakGndImg::SetName(const std::string& Value) {
  FName = FIncludePath ? Value : ExtractFileName(Value);
  Changed();
}

void TBakGndImg::SetIncludePath(bool Value) {
  FIncludePath = Value;
  if (!Value) FName = ExtractFileName(FName);
  Changed();
}

void TBakGndImg::SetFillMode(TBkgFill Value) { FFillMode = Value; Changed(); }
void TBakGndImg::SetAreaMode(TBGAreaMode Value) { FAreaMode = Value; Changed(); }
void TBakGndImg::SetAreaColor(TColor Value) { FAreaColor = Value; Changed(); }
void TBakGndImg::SetAreaLeft(double Value) { FAreaLeft = Value; Changed(); }
void TBakGndImg::SetAreaRight(double Value) { FAreaRight = Value; Changed(); }
void TBakGndImg::SetAreaTop(double Value) { FAreaTop = Value; Changed(); }
void TBakGndImg::SetAreaBottom(double Value) { FAreaBottom = Value; Changed(); }

void TBakGndImg::Assign(const TPersistent& Source) {
  const auto* S = dynamic_cast<const TBakGndImg*>(&Source);
  if (S == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  FName = S->FName;
  FIncludePath = S->FIncludePath;
  FFillMode = S->FFillMode;
  FAreaMode = S->FAreaMode;
  FAreaColor = S->FAreaColor;
  FAreaLeft = S->FAreaLeft;
  FAreaRight = S->FAreaRight;
  FAreaTop = S->FAreaTop;
  FAreaBottom = S->FAreaBottom;
  OnChange = S->OnChange;
  Changed();
}

// ---- Scale settings and painters ----------------------------------------------------------

TScalePropsHoriz& TCustomRIrove::ScalePropsX(int32_t Ix) { return *FScaleX[Ix == 2 ? 1 : 0]; }
TScalePropsVert& TCustomRIrove::ScalePropsY(int32_t Ix) { return *FScaleY[Ix == 2 ? 1 : 0]; }

void TCustomRIrove::SetScalePropsX(int32_t Ix, const TScalePropsHoriz& Value) {
  if (Ix != 1 && Ix != 2) return;
  TScaleProps& P = *FScaleX[static_cast<std::size_t>(Ix - 1)];
  const TNotifyEvent Handler = P.OnChange;
  P.Assign(Value);
  P.OnChange = Handler;
  ScalePropsChanged(&P);
}

void TCustomRIrove::SetScalePropsY(int32_t Ix, const TScalePropsVert& Value) {
  if (Ix != 1 && Ix != 2) return;
  TScaleProps& P = *FScaleY[static_cast<std::size_t>(Ix - 1)];
  const TNotifyEvent Handler = P.OnChange;
  P.Assign(Value);
  P.OnChange = Handler;
  ScalePropsChanged(&P);
}

void TCustomRIrove::ScalePropsChanged(TObject*) {
  if (FApplyingScales || LoadingNow()) return;
  FApplyingScales = true;
  const bool WasSuppressed = FSuppressPaint;
  FSuppressPaint = true;
  try {
    ApplyScaleSettings();
    for (int32_t L = 1; L <= 2; ++L) {
      const TScaleProps& X = *FScaleX[static_cast<std::size_t>(L - 1)];
      const TScaleProps& Y = *FScaleY[static_cast<std::size_t>(L - 1)];
      ForceRange(L, X.RangeLow(), Y.RangeLow(), X.RangeHigh(), Y.RangeHigh(), false, false);
    }
  } catch (...) {
    FSuppressPaint = WasSuppressed;
    FApplyingScales = false;
    throw;
  }
  FSuppressPaint = WasSuppressed;
  FApplyingScales = false;
  StyleChanged(this);
}

void TCustomRIrove::ApplyToPainter(TScale& P, const TScaleProps& S, bool Horizontal) {
  const int32_t W = Width(), H = Height();
  P.SetBounds(0, 0, W, H);
  P.SetScaleType(S.ScaleType());
  int32_t Top = 0, Bottom = 0, Left = 0, Right = 0;
  switch (S.ScaleType()) {
    case sctXB: Bottom = S.ScalePos() + H - FTRim - 1; break;
    case sctXT: Top = S.ScalePos() + H - FBRim - FShadowWidth; break;
    case sctYL: Left = S.ScalePos() + W - FRRim - FShadowWidth; break;
    case sctYR: Right = S.ScalePos() + W - FLRim - 1; break;
  }
  if (Horizontal) {
    Left = FLRim;
    Right = FRRim + FShadowWidth - 1;
  } else {
    Top = FTRim;
    Bottom = FBRim + FShadowWidth - 1;
  }
  P.SetMarginTop(Top);
  P.SetMarginBottom(Bottom);
  P.SetMarginLeft(Left);
  P.SetMarginRight(Right);
  P.SetLogarithmic(false);
  P.SetRange(S.RangeLow(), S.RangeHigh());
  P.SetVisible(S.Visible());
  P.SetCaption(S.Caption());
  P.SetCaptionPosX(S.CaptionPosX());
  P.SetCaptionPosY(S.CaptionPosY());
  P.SetCaptionAlignment(S.CaptionAlignment());
  P.SetCaptionAnchor(S.CaptionAnchor());
  P.SetColorScale(S.ColorScale());
  P.SetLabelType(S.LabelType());
  P.SetDecPlaces(S.DecPlaces());
  P.SetLogarithmic(S.Logarithmic());
  P.SetShortTicks(S.ShortTicks());
  P.SetMinTicks(S.MinTicks());
  P.SetScaleInscript(S.ScaleInscript());
  P.SetUserTickText(S.UserTickText());
  P.Font().Assign(S.Font());
  P.SetDateFormat(S.DateFormat());
  P.SetColorBackGnd(FWindColor);
}

void TCustomRIrove::ApplyScaleSettings() {
  for (std::size_t L = 0; L < 2; ++L) {
    ApplyToPainter(*FPainterX[L], *FScaleX[L], true);
    ApplyToPainter(*FPainterY[L], *FScaleY[L], false);
  }
}

// ---- Transforms ---------------------------------------------------------------------------

int32_t TCustomRIrove::DataAreaWidth() const {
  return std::max(0, Width() - FLRim - FRRim - FShadowWidth);
}

int32_t TCustomRIrove::DataAreaHeight() const {
  return std::max(0, Height() - FTRim - FBRim - FShadowWidth);
}

void TCustomRIrove::AdjustScaling() {
  if (LoadingNow()) return;
  const long double W = DataAreaWidth(), H = DataAreaHeight();
  const long double Right = Width() - FRRim - FShadowWidth;
  const long double Bottom = Height() - FBRim - FShadowWidth;
  for (std::size_t L = 0; L < 2; ++L) {
    const TScaleProps& SX = *FScaleX[L];
    const TScaleProps& SY = *FScaleY[L];
    TLayerTransform& T = FTrans[L];
    const auto CheckLog = [](const TScaleProps& S) {
      if (S.RangeLow() <= 0 || S.RangeHigh() <= 0)
        throw EZEFRIroveError("Logarithmic axis must not be negative.");
    };
    // An empty span (possible only through stored values) maps like an empty data area, so
    // no division by zero can happen.
    if (W > 0 && SX.RangeHigh() != SX.RangeLow()) {
      if (SX.Logarithmic()) CheckLog(SX);
      const long double a = SX.Logarithmic() ? std::log(static_cast<long double>(SX.RangeLow())) : SX.RangeLow();
      const long double b = SX.Logarithmic() ? std::log(static_cast<long double>(SX.RangeHigh())) : SX.RangeHigh();
      T.kx = W / (b - a);
      T.dx = (b * FLRim - a * Right) / (b - a);
    } else {
      T.kx = 0;
      T.dx = Width() / 2;
    }
    if (H > 0 && SY.RangeHigh() != SY.RangeLow()) {
      if (SY.Logarithmic()) CheckLog(SY);
      const long double a = SY.Logarithmic() ? std::log(static_cast<long double>(SY.RangeLow())) : SY.RangeLow();
      const long double b = SY.Logarithmic() ? std::log(static_cast<long double>(SY.RangeHigh())) : SY.RangeHigh();
      T.ky = -H / (b - a);
      T.dy = (b * Bottom - a * FTRim) / (b - a);
    } else {
      T.ky = 0;
      T.dy = Height() / 2;
    }
  }
}

TCustomRIrove::TAxisMap TCustomRIrove::AxisMapX(std::size_t L) const {
  const TScaleProps& S = *FScaleX[L];
  return {static_cast<double>(FTrans[L].kx), static_cast<double>(FTrans[L].dx), S.Logarithmic(),
          S.RangeHigh() >= S.RangeLow() ? 0 : Width()};
}

TCustomRIrove::TAxisMap TCustomRIrove::AxisMapY(std::size_t L) const {
  const TScaleProps& S = *FScaleY[L];
  return {static_cast<double>(FTrans[L].ky), static_cast<double>(FTrans[L].dy), S.Logarithmic(),
          S.RangeHigh() >= S.RangeLow() ? Height() : 0};
}

void TCustomRIrove::R2M(int32_t Layer, double xin, double yin, int32_t& xout,
                        int32_t& yout) const {
  const std::size_t L = Layer >= 2 ? 1 : 0;
  xout = WorldToPixX(L, xin);
  yout = WorldToPixY(L, yin);
}

void TCustomRIrove::M2R(int32_t Layer, int32_t xin, int32_t yin, double& xout,
                        double& yout) const {
  const std::size_t L = Layer >= 2 ? 1 : 0;
  const TLayerTransform& T = FTrans[L];
  // An empty data area has no inverse: it gives the low ends of the ranges.
  const long double X = T.kx != 0 ? (xin - T.dx) / T.kx : 0;
  const long double Y = T.ky != 0 ? (yin - T.dy) / T.ky : 0;
  if (T.kx == 0)
    xout = FScaleX[L]->RangeLow();
  else
    xout = static_cast<double>(FScaleX[L]->Logarithmic() ? std::exp(X) : X);
  if (T.ky == 0)
    yout = FScaleY[L]->RangeLow();
  else
    yout = static_cast<double>(FScaleY[L]->Logarithmic() ? std::exp(Y) : Y);
}

void TCustomRIrove::GetTransformParams(int32_t Layer, double& kx, double& dx, double& ky,
                                       double& dy) const {
  const TLayerTransform& T = FTrans[Layer >= 2 ? 1 : 0];
  kx = static_cast<double>(T.kx);
  dx = static_cast<double>(T.dx);
  ky = static_cast<double>(T.ky);
  dy = static_cast<double>(T.dy);
}

// ---- Ranges -------------------------------------------------------------------------------

double TCustomRIrove::IsoSpanY(double SpanX) const {
  // The screen's aspect ratio is 1:1 on every display this platform drives.
  return SpanX * (DataAreaHeight() + 1) / (DataAreaWidth() + 1);
}

void TCustomRIrove::SetRange(int32_t Layer, long double xLo, long double yLo, long double xHi,
                             long double yHi) {
  const bool WasSuppressed = FSuppressPaint;
  FSuppressPaint = true;
  try {
    for (int32_t L = 1; L <= 2; ++L) {
      if (Layer != 0 && Layer != L) continue;
      long double X1 = xLo, X2 = xHi, Y1 = yLo, Y2 = yHi;
      const TScaleProps& SX = ScalePropsX(L);
      const TScaleProps& SY = ScalePropsY(L);
      if (X1 == X2) {
        if (SX.Logarithmic()) X2 *= 1.1L, X1 /= 1.1L;
        else X1 -= SX.MinRange() / 2, X2 += SX.MinRange() / 2;
      }
      if (Y1 == Y2) {
        if (SY.Logarithmic()) Y2 *= 1.1L, Y1 /= 1.1L;
        else Y1 -= SY.MinRange() / 2, Y2 += SY.MinRange() / 2;
      }
      if (FIsometric) {
        const long double S = IsoSpanY(static_cast<double>(X2 - X1)), C = (Y1 + Y2) / 2;
        Y2 = C + S / 2;
        Y1 = C - S / 2;
      }
      ForceRange(L, static_cast<double>(X1), static_cast<double>(Y1), static_cast<double>(X2),
                 static_cast<double>(Y2), true, false);
    }
  } catch (...) {
    FSuppressPaint = WasSuppressed;
    throw;
  }
  FSuppressPaint = WasSuppressed;
  if (!LoadingNow()) StyleChanged(this);
}

void TCustomRIrove::ForceRange(int32_t Layer, double xLo, double yLo, double xHi, double yHi,
                               bool Record, bool Confine) {
  Layer = std::clamp(Layer, 1, 2);
  const bool WasSuppressed = FSuppressPaint;
  FSuppressPaint = true;
  try {
    // A controlled axis keeps following its controller, whatever was asked for it.
    const TJointLayers& J = *FJointLayers;
    if (J.ControlledBy(Layer, 0) != Layer) {
      xLo = ScalePropsX(J.ControlledBy(Layer, 0)).RangeLow();
      xHi = ScalePropsX(J.ControlledBy(Layer, 0)).RangeHigh();
    }
    if (J.ControlledBy(Layer, 1) != Layer) {
      yLo = ScalePropsY(J.ControlledBy(Layer, 1)).RangeLow();
      yHi = ScalePropsY(J.ControlledBy(Layer, 1)).RangeHigh();
    }
    ApplyOneLayer(Layer, xLo, yLo, xHi, yHi, Record, Confine);
    const int32_t Other = 3 - Layer;
    if (J.ControlledBy(Other, 0) == Layer || J.ControlledBy(Other, 1) == Layer) {
      const TScaleProps& X = ScalePropsX(J.ControlledBy(Other, 0));
      const TScaleProps& Y = ScalePropsY(J.ControlledBy(Other, 1));
      ApplyOneLayer(Other, X.RangeLow(), Y.RangeLow(), X.RangeHigh(), Y.RangeHigh(), true, false);
    }
  } catch (...) {
    FSuppressPaint = WasSuppressed;
    throw;
  }
  FSuppressPaint = WasSuppressed;
  if (!WasSuppressed) RepaintNow();
}

namespace {
// Moves the offending end of [Lo, Hi] onto the confinement [CLo, CHi]; in a pan mode the
// other end follows so the span stays.
void ConfineAxis(double& Lo, double& Hi, double CLo, double CHi, bool Pan) {
  const double D = Hi - Lo;
  if (Lo < CLo) { Lo = CLo; if (Pan) Hi = CLo + D; }
  if (Lo > CHi) { Lo = CHi; if (Pan) Hi = CHi + D; }
  if (Hi < CLo) { Hi = CLo; if (Pan) Lo = CLo - D; }
  if (Hi > CHi) { Hi = CHi; if (Pan) Lo = CHi - D; }
}

// Stores a range unless it is narrower than the axis allows; true when an end changed.
bool StoreAxis(TScaleProps& S, double Lo, double Hi) {
  if (S.MinRange() * 0.99 > std::abs(Hi - Lo) || !std::isfinite(Lo) || !std::isfinite(Hi))
    return false;
  double NewLo = S.RangeLow(), NewHi = S.RangeHigh();
  if (S.Logarithmic()) {
    if (Lo >= 1e-100) NewLo = Lo;
    if (Hi >= 1e-100) NewHi = Hi;
  } else {
    NewLo = Lo;
    NewHi = Hi;
  }
  const bool Changed = NewLo != S.RangeLow() || NewHi != S.RangeHigh();
  S.StoreRange(NewLo, NewHi);
  return Changed;
}
} // namespace

void TCustomRIrove::ApplyOneLayer(int32_t Layer, double xLo, double yLo, double xHi, double yHi,
                                  bool Record, bool Confine) {
  const bool Limited =
      FConfine.Left != 0 || FConfine.Top != 0 || FConfine.Right != 0 || FConfine.Bottom != 0;
  if (Confine && Limited) {
    const TMouseActMode M = FMouseAction;
    ConfineAxis(xLo, xHi, FConfine.Left, FConfine.Right,
                M == maPan || M == maPanHoriz || M == maPanGrid);
    ConfineAxis(yLo, yHi, FConfine.Bottom, FConfine.Top,
                M == maPan || M == maPanVert || M == maPanGrid);
  }
  const std::size_t L = static_cast<std::size_t>(Layer - 1);
  const bool ChangedX = StoreAxis(*FScaleX[L], xLo, xHi);
  const bool ChangedY = StoreAxis(*FScaleY[L], yLo, yHi);
  ApplyToPainter(*FPainterX[L], *FScaleX[L], true);
  ApplyToPainter(*FPainterY[L], *FScaleY[L], false);
  if (Record && (ChangedX || ChangedY)) RecordZoomState();
  AdjustScaling();
}

void TCustomRIrove::ConfineZoomRange(double xLo, double yLo, double xHi, double yHi) {
  FConfine = TRectDouble(xLo, yHi, xHi, yLo);
}

void TCustomRIrove::LayerExtents(int32_t Layer, double& MinX, double& MinY, double& MaxX,
                                 double& MaxY) const {
  MinX = MinY = std::numeric_limits<double>::max();
  MaxX = MaxY = -std::numeric_limits<double>::max();
  bool Any = false;
  const auto Take = [&](double X1, double Y1, double X2, double Y2) {
    MinX = std::min({MinX, X1, X2});
    MaxX = std::max({MaxX, X1, X2});
    MinY = std::min({MinY, Y1, Y2});
    MaxY = std::max({MaxY, Y1, Y2});
  };
  for (const TrcChartItem& It : FData->Items) {
    if (It.Layer != Layer) continue;
    Any = true;
    switch (It.ItemKind) {
      case tkMoveRelPix:
      case tkLineRelPix: break;
      case tkLine: case tkRect: case tkRectFrame: case tk3DBar: case tkArrow:
      case tkDoubleArrow: case tkLineOffs:
        Take(It.x, It.y, It.x2, It.y2);
        break;
      case tkEllipse:
      case tkArc:
        Take(It.x - It.x2, It.y - It.y2, It.x + It.x2, It.y + It.y2);
        break;
      case tkMarkEBar:
        if (It.Param1 == orVert) Take(It.x, It.y - std::abs(It.x2), It.x, It.y + std::abs(It.y2));
        else Take(It.x - std::abs(It.x2), It.y, It.x + std::abs(It.y2), It.y);
        break;
      default: Take(It.x, It.y, It.x, It.y);
    }
  }
  // A layer of relative-pixel items only has no world extent either.
  if (!Any || MinX > MaxX) MinX = MinY = MaxX = MaxY = 0;
}

namespace {
void WidenAxis(double& Min, double& Max, bool Log, double Margin, double MinRange) {
  const double M = Margin / 100;
  if (Log) {
    const double G = Min <= 0 ? std::log(Max) : std::log(Max / Min);
    Min *= std::exp(-M * G);
    Max *= std::exp(M * G);
  } else {
    const double D = M * (Max - Min);
    Min -= D;
    Max += D;
  }
  const double C = (Max + Min) / 2;
  if (MinRange * C / 100 > std::abs(Max - Min)) {
    Min -= MinRange * C / 100;
    Max += MinRange * C / 100;
  }
}
} // namespace

void TCustomRIrove::AutoRangeAxes(int32_t Layer, double Margin, double MinRange, bool DoX,
                                  bool DoY) {
  const bool WasSuppressed = FSuppressPaint;
  FSuppressPaint = true;
  const auto Finish = [&] {
    FSuppressPaint = WasSuppressed;
    StyleChanged(this);
  };
  std::array<std::array<double, 4>, 2> E{};  // MinX, MinY, MaxX, MaxY per layer
  const auto Extents = [&](int32_t L, double Mg, double MR) {
    auto& X = E[static_cast<std::size_t>(L - 1)];
    LayerExtents(L, X[0], X[1], X[2], X[3]);
    const bool HasData = std::any_of(FData->Items.begin(), FData->Items.end(),
                                     [L](const TrcChartItem& It) { return It.Layer == L; });
    if (HasData) {
      WidenAxis(X[0], X[2], ScalePropsX(L).Logarithmic(), Mg, MR);
      WidenAxis(X[1], X[3], ScalePropsY(L).Logarithmic(), Mg, MR);
    }
    if (X[0] == X[2]) X[0] -= 1, X[2] += 1;
    if (X[1] == X[3]) X[1] -= 1, X[3] += 1;
  };
  try {
    if (Layer >= 1) {
      Layer = std::min(Layer, 2);
      Extents(Layer, Margin, MinRange);
      auto& X = E[static_cast<std::size_t>(Layer - 1)];
      const TScaleProps& SX = ScalePropsX(Layer);
      const TScaleProps& SY = ScalePropsY(Layer);
      double xLo = DoX ? X[0] : SX.RangeLow(), xHi = DoX ? X[2] : SX.RangeHigh();
      double yLo = DoY ? X[1] : SY.RangeLow(), yHi = DoY ? X[3] : SY.RangeHigh();
      if (DoX && DoY && FIsometric) {
        const double S = IsoSpanY(xHi - xLo), C = (yLo + yHi) / 2;
        yLo = C - S / 2;
        yHi = C + S / 2;
      }
      if (DoX != DoY) FIsometric = false;
      ForceRange(Layer, xLo, yLo, xHi, yHi, true, false);
    } else {
      for (int32_t L = 1; L <= 2; ++L) Extents(L, Margin, MinRange);
      for (int32_t L = 1; L <= 2; ++L) {
        const auto& EX = E[static_cast<std::size_t>(FJointLayers->ControlledBy(L, 0) - 1)];
        const auto& EY = E[static_cast<std::size_t>(FJointLayers->ControlledBy(L, 1) - 1)];
        const TScaleProps& SX = ScalePropsX(L);
        const TScaleProps& SY = ScalePropsY(L);
        ApplyOneLayer(L, DoX ? EX[0] : SX.RangeLow(), DoY ? EY[1] : SY.RangeLow(),
                      DoX ? EX[2] : SX.RangeHigh(), DoY ? EY[3] : SY.RangeHigh(), false, true);
      }
    }
  } catch (...) {
    FSuppressPaint = WasSuppressed;
    throw;
  }
  Finish();
}

void TCustomRIrove::AutoRange(int32_t Layer, double Margin, double MinRange) {
  AutoRangeAxes(Layer, Margin, MinRange, true, true);
}
void TCustomRIrove::AutoRangeXOnly(int32_t Layer, double Margin, double MinRange) {
  AutoRangeAxes(Layer, Margin, MinRange, true, false);
}
void TCustomRIrove::AutoRangeYOnly(int32_t Layer, double Margin, double MinRange) {
  AutoRangeAxes(Layer, Margin, MinRange, false, true);
}

void TCustomRIrove::SetEqualRangeAxes(TLayerSet Layers, bool DoX, bool DoY) {
  double xLo = std::numeric_limits<double>::max(), yLo = xLo;
  double xHi = -xLo, yHi = -xLo;
  bool Any = false;
  for (int32_t L = 1; L <= 2; ++L) {
    if (!Layers.Contains(static_cast<TLayerIndex>(L))) continue;
    Any = true;
    xLo = std::min(xLo, ScalePropsX(L).RangeLow());
    xHi = std::max(xHi, ScalePropsX(L).RangeHigh());
    yLo = std::min(yLo, ScalePropsY(L).RangeLow());
    yHi = std::max(yHi, ScalePropsY(L).RangeHigh());
  }
  if (!Any) return;
  const bool WasSuppressed = FSuppressPaint;
  FSuppressPaint = true;
  try {
    for (int32_t L = 1; L <= 2; ++L) {
      if (!Layers.Contains(static_cast<TLayerIndex>(L))) continue;
      const TScaleProps& SX = ScalePropsX(L);
      const TScaleProps& SY = ScalePropsY(L);
      SetRange(L, DoX ? xLo : SX.RangeLow(), DoY ? yLo : SY.RangeLow(), DoX ? xHi : SX.RangeHigh(),
               DoY ? yHi : SY.RangeHigh());
    }
  } catch (...) {
    FSuppressPaint = WasSuppressed;
    throw;
  }
  FSuppressPaint = WasSuppressed;
  StyleChanged(this);
}

void TCustomRIrove::SetEqualRange(TLayerSet Layers) { SetEqualRangeAxes(Layers, true, true); }
void TCustomRIrove::SetEqualRangeXOnly(TLayerSet Layers) { SetEqualRangeAxes(Layers, true, false); }
void TCustomRIrove::SetEqualRangeYOnly(TLayerSet Layers) { SetEqualRangeAxes(Layers, false, true); }

void TCustomRIrove::MakeIsometric() {
  for (std::size_t L = 0; L < 2; ++L) {
    TScaleProps& SX = *FScaleX[L];
    TScaleProps& SY = *FScaleY[L];
    const double S = IsoSpanY(SX.RangeHigh() - SX.RangeLow()), C = SY.Center();
    SY.StoreRange(C - S / 2, C + S / 2);
  }
  ApplyScaleSettings();
  AdjustScaling();
}

void TCustomRIrove::SetIsometric(bool Value) {
  FIsometric = Value;
  if (!Value) return;
  MakeIsometric();
  RecordZoomState();
  StyleChanged(this);
}

// ---- Zoom history -------------------------------------------------------------------------

void TCustomRIrove::RecordZoomState() {
  if (LoadingNow()) return;
  for (std::size_t L = 0; L < 2; ++L)
    FZoomRing[L][static_cast<std::size_t>(FZoomPos - 1)] = CurrentRanges(L);
  FZoomPos = FZoomPos % 16 + 1;
}

TRectDouble TCustomRIrove::CurrentRanges(std::size_t L) const {
  return TRectDouble(FScaleX[L]->RangeLow(), FScaleY[L]->RangeHigh(), FScaleX[L]->RangeHigh(),
                     FScaleY[L]->RangeLow());
}

void TCustomRIrove::ClearZoomHistory() {
  for (auto& Ring : FZoomRing) Ring.fill(TRectDouble());
  FZoomPos = 1;
  RecordZoomState();
}

TRectDouble TCustomRIrove::GetZoomStackEntry(int32_t Layer, int32_t StackIx) const {
  if (StackIx < -15 || StackIx > 0) return TRectDouble();
  int32_t P = FZoomPos + StackIx - 1;
  if (P < 1) P += 16;
  return FZoomRing[Layer >= 2 ? 1 : 0][static_cast<std::size_t>(P - 1)];
}

void TCustomRIrove::ZoomHistory(int32_t Index) {
  if (Index < -15 || Index > 0) return;
  const bool WasSuppressed = FSuppressPaint;
  FSuppressPaint = true;
  try {
    for (int32_t L = 1; L <= 2; ++L) {
      const TRectDouble R = GetZoomStackEntry(L, Index);
      if (R.Left == 0 && R.Top == 0 && R.Right == 0 && R.Bottom == 0) continue;
      ForceRange(L, R.Left, R.Bottom, R.Right, R.Top, false, false);
    }
  } catch (...) {
    FSuppressPaint = WasSuppressed;
    throw;
  }
  FSuppressPaint = WasSuppressed;
  RepaintNow();
}

// ---- Layouts, margins and size ------------------------------------------------------------

namespace {
struct TScaleRow {
  int32_t PosX, PosY;
  TAlignment Align;
  TScaleUnitAnchor Anchor;
  int32_t ScalePos;
  bool Visible;
  bool TopOrRight;  // location: slTop for x scales, slRight for y scales
};
struct TLayoutRow {
  int32_t Bottom, Top, Left, Right;
  int32_t CapX, CapY;
  TAlignment CapAlign;
  TCaptionAnchorHoriz CapH;
  TScaleRow X1, X2, Y1, Y2;
};
constexpr TLayoutRow kLayouts[] = {
    {40, 20, 50, 20, 0, -16, taRightJustify, cahChartRight,
     {0, 22, taCenter, uaSclCenter, 0, true, false}, {10, 100, taCenter, uaSclCenter, 0, false, false},
     {0, -16, taLeftJustify, uaSclTopLft, 0, true, false}, {10, 100, taRightJustify, uaSclTopLft, 0, false, false}},
    {40, 24, 100, 20, 0, -16, taRightJustify, cahChartRight,
     {0, 22, taCenter, uaSclCenter, 0, true, false}, {10, 100, taCenter, uaSclCenter, 0, false, false},
     {0, -23, taRightJustify, uaSclTopLft, 0, true, false}, {0, -23, taRightJustify, uaSclTopLft, 50, true, false}},
    {40, 24, 50, 50, 0, -20, taCenter, cahChartCenter,
     {0, 22, taCenter, uaSclCenter, 0, true, false}, {10, 100, taCenter, uaSclCenter, 0, false, false},
     {0, -23, taRightJustify, uaSclTopLft, 0, true, false}, {0, -23, taLeftJustify, uaSclTopLft, 0, true, true}},
    {70, 24, 100, 20, 0, -16, taRightJustify, cahChartRight,
     {-20, 7, taRightJustify, uaSclTopLft, 0, true, false}, {-20, 7, taRightJustify, uaSclTopLft, 30, true, false},
     {0, -23, taRightJustify, uaSclTopLft, 0, true, false}, {0, -23, taRightJustify, uaSclTopLft, 50, true, false}},
    {40, 64, 50, 50, 0, -60, taCenter, cahChartCenter,
     {0, 20, taCenter, uaSclCenter, 0, true, false}, {0, -40, taCenter, uaSclCenter, 0, true, true},
     {0, -40, taRightJustify, uaSclTopLft, 0, true, false}, {0, -40, taLeftJustify, uaSclTopLft, 0, true, true}},
};

void ApplyRow(TScaleProps& S, const TScaleRow& R) {
  S.SetCaptionPosX(R.PosX);
  S.SetCaptionPosY(R.PosY);
  S.SetCaptionAlignment(R.Align);
  S.SetCaptionAnchor(R.Anchor);
  S.SetScalePos(R.ScalePos);
  S.SetVisible(R.Visible);
}
} // namespace

void TCustomRIrove::SetStandardLayout(TrcLayout Value) {
  if (Value > rcl_X2Both_Y2Both) return;
  FLayout = Value;
  const TLayoutRow& R = kLayouts[Value];
  const bool WasSuppressed = FSuppressPaint;
  FSuppressPaint = true;
  FApplyingScales = true;
  FLRim = R.Left;
  FRRim = R.Right;
  FTRim = R.Top;
  FBRim = R.Bottom;
  FCaptionPosX = R.CapX;
  FCaptionPosY = R.CapY;
  FCaptionAlignment = R.CapAlign;
  FCaptionAnchorHoriz = R.CapH;
  FCaptionAnchorVert = cavChartTop;
  ApplyRow(*FScaleX[0], R.X1);
  ApplyRow(*FScaleX[1], R.X2);
  ApplyRow(*FScaleY[0], R.Y1);
  ApplyRow(*FScaleY[1], R.Y2);
  FScaleX[0]->SetScaleLocation(R.X1.TopOrRight ? slTop : slBottom);
  FScaleX[1]->SetScaleLocation(R.X2.TopOrRight ? slTop : slBottom);
  FScaleY[0]->SetScaleLocation(R.Y1.TopOrRight ? slRight : slLeft);
  FScaleY[1]->SetScaleLocation(R.Y2.TopOrRight ? slRight : slLeft);
  FApplyingScales = false;
  FDataBmp.SetSize(DataAreaWidth() + 1, DataAreaHeight() + 1);
  ApplyScaleSettings();
  AdjustScaling();
  FSuppressPaint = WasSuppressed;
  if (!WasSuppressed) RepaintNow();
}

void TCustomRIrove::SetMargin(int32_t& Field, int32_t Value) {
  Field = std::max(0, Value);
  FDataBmp.SetSize(DataAreaWidth() + 1, DataAreaHeight() + 1);
  if (FIsometric) MakeIsometric();
  ApplyScaleSettings();
  AdjustScaling();
  StyleChanged(this);
}

void TCustomRIrove::SetShadowWidth(int32_t Value) { SetMargin(FShadowWidth, std::clamp(Value, 0, 32)); }

void TCustomRIrove::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  const bool WasSuppressed = FSuppressPaint;
  FSuppressPaint = true;
  AHeight = std::max(AHeight, FTRim + FBRim + FShadowWidth + 20);
  AWidth = std::max(AWidth, FLRim + FRRim + FShadowWidth + 80);
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FIsometric) MakeIsometric();
  ApplyScaleSettings();
  AdjustScaling();
  FSuppressPaint = WasSuppressed;
}

double TCustomRIrove::TickPosX(int32_t Ix) const {
  const TScale& P = *FPainterX[static_cast<std::size_t>(FActiveLayer - 1)];
  const int32_t N = P.NumTicks();
  if (Ix < 1 || Ix > N) return 0;
  const TScaleProps& S = *FScaleX[static_cast<std::size_t>(FActiveLayer - 1)];
  return P.TickPos(S.RangeLow() > S.RangeHigh() ? N - Ix + 1 : Ix);
}

double TCustomRIrove::TickPosY(int32_t Ix) const {
  const TScale& P = *FPainterY[static_cast<std::size_t>(FActiveLayer - 1)];
  const int32_t N = P.NumTicks();
  if (Ix < 1 || Ix > N) return 0;
  const TScaleProps& S = *FScaleY[static_cast<std::size_t>(FActiveLayer - 1)];
  return P.TickPos(S.RangeLow() > S.RangeHigh() ? N - Ix + 1 : Ix);
}

int32_t TCustomRIrove::TickNumX() const {
  return FPainterX[static_cast<std::size_t>(FActiveLayer - 1)]->NumTicks();
}

int32_t TCustomRIrove::TickNumY() const {
  return FPainterY[static_cast<std::size_t>(FActiveLayer - 1)]->NumTicks();
}

} // namespace zef
