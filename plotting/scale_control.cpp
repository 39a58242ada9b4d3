// TScale as a control: settings, the painting frame around the tick drawing, the
// foreign-canvas mode, rescaling with the mouse, and Rescale.
#include <algorithm>
#include <cmath>

#include "ZEF_Scale.h"
#include "controls/forms.h"
#include "graphics/bitmap.h"
#include "graphics/colors.h"
#include "rtl/mathfn.h"

namespace zef {

namespace {

// Ranges must stay finite: a NaN or infinite end would poison every later transform.
bool Usable(double V) { return std::isfinite(V); }

} // namespace

TScale::TScale(TComponent* AOwner) : TCustomControl(AOwner) {
  SetDefaults();
  FDateFormat.OnChange = [this](TObject* Sender) { Changed(Sender); };
  SetBounds(0, 0, 400, 400);
}

TScale::~TScale() { FDateFormat.OnChange = nullptr; }

void TScale::SetDefaults() {
  FRangeLow = 0;
  FRangeHigh = 100;
  FLogarithmic = false;
  FScaleType = sctXB;
  FLabelType = ftNum;
  FDecPlaces = -2;
  FMinTicks = 3;
  FShortTicks = true;
  FShowBaseLine = true;
  FScaleInscript.clear();
  FUserTickText.clear();
  FCaption.clear();
  FCaptionPosX = 4;
  FCaptionPosY = 4;
  FCaptionAlignment = taCenter;
  FCaptionAnchor = uaSclTopLft;
  FMarginTop = FMarginBottom = FMarginLeft = FMarginRight = 20;
  FColorScale = clBlack;
  FColorBackGnd = clBtnFace;
  FColorScheme = csBWG;
  FFrameColorLight = clWhite;
  FFrameColorGray = clGray;
  FFrameColorDark = clBlack;
  FFrameStyle = fsLowered;
  FTransparent = false;
  FMouseAction = maNone;
  // The date format's own setters would notify; the fields are set quietly here.
  const TNotifyEvent Handler = FDateFormat.OnChange;
  FDateFormat.OnChange = nullptr;
  FDateFormat.SetTimeFormat(tfHHMMSS);
  FDateFormat.SetDateSeparator('-');
  FDateFormat.SetTimeSeparator(':');
  FDateFormat.SetYearLength(ylYYYY);
  FDateFormat.SetMonthName(true);
  FDateFormat.SetDateForTime(dtOnePerDay);
  FDateFormat.SetDateOrder(doDDMMYY);
  FDateFormat.OnChange = Handler;
}

// ---- Setters ------------------------------------------------------------------------------

void TScale::SetRangeLow(double Value) {
  if (!Usable(Value)) return;
  FRangeLow = Value;
  if (Value == FRangeHigh) FRangeHigh = Value + 1;
  CalcTransform();
  UpdateScale();
}

void TScale::SetRangeHigh(double Value) {
  if (!Usable(Value)) return;
  FRangeHigh = Value;
  if (Value == FRangeLow) FRangeLow = Value + 1;
  CalcTransform();
  UpdateScale();
}

void TScale::SetRange(double LowVal, double HighVal) {
  if (!Usable(LowVal) || !Usable(HighVal)) return;
  FRangeLow = LowVal;
  FRangeHigh = LowVal == HighVal ? LowVal + 1 : HighVal;
  CalcTransform();
  UpdateScale();
}

void TScale::SetLogarithmic(bool Value) {
  if (Value && !IsLoading() &&
      (FRangeLow < 1e-100 || FRangeHigh < 1e-100 || FLabelType == ftDateTime))
    return;
  FLogarithmic = Value;
  CalcTransform();
  UpdateScale();
}

void TScale::SetScaleType(TScaleType Value) {
  FScaleType = Value;
  CalcTransform();
  UpdateScale();
}

void TScale::SetLabelType(TFigType Value) {
  FLabelType = Value;
  if (Value == ftDateTime) FLogarithmic = false;
  if (Value == ftTime) FDecPlaces = 4;
  CalcTransform();
  UpdateScale();
}

void TScale::SetDecPlaces(int32_t Value) {
  FDecPlaces = std::clamp(Value, -3, 12);
  CalcTransform();
  UpdateScale();
}

void TScale::SetMinTicks(int32_t Value) {
  FMinTicks = Value == 0 ? 0 : std::clamp(Value, 2, 10);
  UpdateScale();
}

void TScale::SetShortTicks(bool Value) {
  if (Value == FShortTicks) return;
  FShortTicks = Value;
  UpdateScale();
}

void TScale::SetShowBaseLine(bool Value) {
  FShowBaseLine = Value;
  UpdateScale();
}

void TScale::SetScaleInscript(const std::string& Value) {
  FScaleInscript = Value;
  UpdateScale();
}

void TScale::SetUserTickText(const std::string& Value) {
  FUserTickText = Value;
  UpdateScale();
}

void TScale::SetDateFormat(const TDTLabel& Value) {
  FDateFormat.Assign(Value);
  UpdateScale();
}

void TScale::SetCaption(const std::string& Value) {
  FCaption = Value;
  UpdateScale();
}

void TScale::SetCaptionPosX(int32_t Value) {
  FCaptionPosX = Value;
  UpdateScale();
}

void TScale::SetCaptionPosY(int32_t Value) {
  FCaptionPosY = Value;
  UpdateScale();
}

void TScale::SetCaptionAlignment(TAlignment Value) {
  FCaptionAlignment = Value;
  UpdateScale();
}

void TScale::SetCaptionAnchor(TScaleUnitAnchor Value) {
  FCaptionAnchor = Value;
  UpdateScale();
}

void TScale::SetMarginTop(int32_t Value) {
  FMarginTop = std::max(Value, 0);
  CalcTransform();
  UpdateScale();
}

void TScale::SetMarginBottom(int32_t Value) {
  FMarginBottom = std::max(Value, 0);
  CalcTransform();
  UpdateScale();
}

void TScale::SetMarginLeft(int32_t Value) {
  FMarginLeft = std::max(Value, 0);
  CalcTransform();
  UpdateScale();
}

void TScale::SetMarginRight(int32_t Value) {
  FMarginRight = std::max(Value, 0);
  CalcTransform();
  UpdateScale();
}

void TScale::SetColorScale(TColor Value) {
  if (Value == FColorScale) return;
  FColorScale = Value;
  UpdateScale();
}

void TScale::SetColorBackGnd(TColor Value) {
  if (Value == FColorBackGnd) return;
  FColorBackGnd = Value;
  UpdateScale();
}

void TScale::SetColorScheme(TColorScheme Value) {
  FColorScheme = Value;
  FFrameColorLight = Value == csSystem ? clBtnHighlight : clWhite;
  FFrameColorGray = Value == csSystem ? clBtnShadow : clGray;
  FFrameColorDark = clBlack;
  UpdateScale();
}

void TScale::SetFrameStyle(TFrameStyle Value) {
  if (Value == FFrameStyle) return;
  FFrameStyle = Value;
  UpdateScale();
}

void TScale::SetTransparent(bool Value) {
  FTransparent = Value;
  UpdateScale();
}

void TScale::SetIsHelperComponent(bool Value) {
  if (Value == FIsHelperComponent) return;
  FIsHelperComponent = Value;
  UpdateScale();
}

void TScale::UseForeignCanvas(TCanvas* ForeignCv, int32_t x, int32_t y) {
  FForeignCanvas = ForeignCv;
  FForeignCanvasPosX = x;
  FForeignCanvasPosY = y;
}

void TScale::SetParent(TWinControl* NewParent) {
  TCustomControl::SetParent(NewParent);
  if (NewParent != nullptr && !FHadParent) {
    FHadParent = true;
    FSuppressPaint = false;
  }
}

void TScale::ResetComp() {
  SetDefaults();
  CalcTransform();
  UpdateScale();
}

void TScale::Changed(TObject*) { UpdateScale(); }

void TScale::Assign(const TPersistent& Source) {
  const auto* S = dynamic_cast<const TScale*>(&Source);
  if (S == nullptr) {
    TCustomControl::Assign(Source);
    return;
  }
  FFrameStyle = S->FFrameStyle;
  FColorScale = S->FColorScale;
  FColorBackGnd = S->FColorBackGnd;
  FFrameColorLight = S->FFrameColorLight;
  FFrameColorGray = S->FFrameColorGray;
  FFrameColorDark = S->FFrameColorDark;
  FColorScheme = S->FColorScheme;
  OnScaleTickDrawn = S->OnScaleTickDrawn;
  OnBeforeTickLabel = S->OnBeforeTickLabel;
  FLogarithmic = S->FLogarithmic;
  FK = S->FK;
  FD = S->FD;
  FRangeLow = S->FRangeLow;
  FRangeHigh = S->FRangeHigh;
  FShortTicks = S->FShortTicks;
  FMinTicks = S->FMinTicks;
  FDecPlaces = S->FDecPlaces;
  FShowBaseLine = S->FShowBaseLine;
  FTransparent = S->FTransparent;
  FLabelType = S->FLabelType;
  FDateFormat.Assign(S->FDateFormat);
  FMarginTop = S->FMarginTop;
  FMarginBottom = S->FMarginBottom;
  FMarginLeft = S->FMarginLeft;
  FMarginRight = S->FMarginRight;
  FCaptionPosX = S->FCaptionPosX;
  FCaptionPosY = S->FCaptionPosY;
  FUserTickText = S->FUserTickText;
  FScaleInscript = S->FScaleInscript;
  FTickPos = S->FTickPos;
  FCaption = S->FCaption;
  FCaptionAnchor = S->FCaptionAnchor;
  FCaptionAlignment = S->FCaptionAlignment;
  FForeignCanvasPosX = S->FForeignCanvasPosX;
  FForeignCanvasPosY = S->FForeignCanvasPosY;
  FScaleType = S->FScaleType;
  FIsHelperComponent = S->FIsHelperComponent;
  OnBeforeScaleRendered = S->OnBeforeScaleRendered;
  OnAfterScaleRendered = S->OnAfterScaleRendered;
  FSuppressPaint = S->FSuppressPaint;
  UpdateScale();
}

// ---- Painting -----------------------------------------------------------------------------

void TScale::UpdateScale() {
  if (FTransparent && !FIsHelperComponent) {
    Invalidate();
    return;
  }
  if (FSuppressPaint) return;
  // A stand-alone scale on a form paints through the form's cycle, so that the host shows it.
  if (FForeignCanvas == nullptr && !FIsHelperComponent && ParentForm() != nullptr)
    Repaint();
  else
    PaintScale();
}

void TScale::ForcePaint() {
  const bool Old = FSuppressPaint;
  FSuppressPaint = false;
  PaintScale();
  FSuppressPaint = Old;
}

void TScale::Paint() {
  if (!FSuppressPaint) PaintScale();
}

void TScale::PaintControl(TBitmap& Surface, TPoint Offset, const TRect& Clip) {
  // A transparent scale leaves its parent's pixels under it instead of filling its area.
  if (FTransparent)
    TControl::PaintControl(Surface, Offset, Clip);
  else
    TCustomControl::PaintControl(Surface, Offset, Clip);
}

void TScale::PaintScale() {
  const bool Designing = ComponentState().Contains(csDesigning);
  if (!Visible() && (!Designing || FIsHelperComponent)) return;
  if (IsLoading() || FSuppressPaint) return;
  if (FForeignCanvas == nullptr && ParentForm() == nullptr) return;  // nowhere to paint
  TCanvas& Target = FForeignCanvas != nullptr ? *FForeignCanvas : Canvas();
  const int32_t PosX = FForeignCanvas != nullptr ? FForeignCanvasPosX : 0;
  const int32_t PosY = FForeignCanvas != nullptr ? FForeignCanvasPosY : 0;
  const int32_t W = Width(), H = Height();
  // Base line position on the surface drawn on, relative to that surface's scale corner.
  const auto DrawAxis = [&](TCanvas& Cv, int32_t OffX, int32_t OffY) {
    Cv.Pen().SetColor(FColorScale);
    Cv.Pen().SetStyle(psSolid);
    Cv.Pen().SetWidth(1);
    if (IsHoriz()) {
      const int32_t y0 =
          RoundInt(int64_t{OffY} + (FScaleType == sctXB ? H - FMarginBottom - 1 : FMarginTop));
      DrawHorizScale(Cv, y0);
      if (FShowBaseLine) {
        Cv.MoveTo(FMarginLeft, y0);
        Cv.LineTo(RoundInt(int64_t{W} - FMarginRight), y0);
      }
    } else {
      const int32_t x0 =
          RoundInt(int64_t{OffX} + (FScaleType == sctYL ? FMarginLeft : W - FMarginRight - 1));
      DrawVertScale(Cv, x0);
      if (FShowBaseLine) {
        Cv.MoveTo(x0, FMarginTop);
        Cv.LineTo(x0, RoundInt(int64_t{H} - FMarginBottom));
      }
    }
  };
  Target.SetFont(Font());
  if (OnBeforeScaleRendered) OnBeforeScaleRendered(this, Target);
  if (FTransparent) {
    DrawAxis(Target, PosX, PosY);
    if (OnAfterScaleRendered) OnAfterScaleRendered(this, Target);
    return;
  }
  if (W <= 0 || H <= 0) return;
  TBitmap Bmp(W, H);
  TCanvas& BC = Bmp.Canvas();
  BC.SetFont(Font());
  BC.Pen().SetColor(FColorBackGnd);
  BC.Brush().SetColor(FColorBackGnd);
  BC.Brush().SetStyle(bsSolid);
  BC.Rectangle(0, 0, W, H);
  DrawAxis(BC, 0, 0);
  if (OnAfterScaleRendered) OnAfterScaleRendered(this, BC);
  DrawFrame(BC, FFrameStyle, 0, 0, W - 1, H - 1, FFrameColorLight, clSilver, FFrameColorGray,
            FFrameColorDark, clBlack);
  Target.Draw(PosX, PosY, Bmp);
}

void TScale::Resize() {
  CalcTransform();
  UpdateScale();
  TCustomControl::Resize();
}

void TScale::Loaded() {
  TCustomControl::Loaded();
  CalcTransform();
  UpdateScale();
}

// ---- Mouse --------------------------------------------------------------------------------

void TScale::MouseMove(TShiftState Shift, int32_t X, int32_t Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (!Shift.Contains(ssLeft)) return;
  const bool Inside = IsHoriz() ? FMarginLeft < X && X < Width() - FMarginRight && 0 < Y &&
                                      Y < Height()
                                : 0 < X && X < Width() && FMarginTop < Y &&
                                      Y < Height() - FMarginBottom;
  if (!Inside) return;
  if (!FLeftButtonDown) {
    FAnchorX = X;
    FAnchorY = Y;
    FAnchorLow = FRangeLow;
    FAnchorHigh = FRangeHigh;
  } else {
    double Lo = 0, Hi = 0;
    if (Rescale(X, Y, IsHoriz() ? FAnchorX : FAnchorY, FRangeHigh, FRangeLow, FLogarithmic,
                FScaleType, FMouseAction, FAnchorLow, FAnchorHigh, FMarginLeft, FMarginRight,
                FMarginTop, FMarginBottom, Width(), Height(), Lo, Hi)) {
      const bool Old = FSuppressPaint;
      FSuppressPaint = true;
      SetRange(Lo, Hi);
      FSuppressPaint = Old;
      UpdateScale();
      if (OnZoomPan) OnZoomPan(this);
    }
  }
  FLeftButtonDown = true;
}

void TScale::MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  FLeftButtonDown = false;
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TScale::DblClick() {
  if (FMouseAction == maPan)
    FMouseAction = maZoom;
  else if (FMouseAction == maZoom)
    FMouseAction = maPan;
  TCustomControl::DblClick();
}

// ---- Rescale ------------------------------------------------------------------------------

bool Rescale(int32_t X, int32_t Y, int32_t AnchorPos, double RangeHigh, double RangeLow,
             bool Logarithmic, TScaleType ScaleType, TMouseActMode MouseAction, double Lo,
             double Hi, int32_t LRim, int32_t RRim, int32_t TRim, int32_t BRim, int32_t Width,
             int32_t Height, double& NewLo, double& NewHi) {
  const bool Horiz = ScaleType == sctXB || ScaleType == sctXT;
  // Pixel arithmetic in doubles: differences of 32-bit coordinates may overflow int.
  const double x = X, y = Y, a = AnchorPos, L = LRim, R = RRim, T = TRim, B = BRim;
  const double W = Width, H = Height;
  const double G = W - L - R, F = H - T - B;
  double NLo = 0, NHi = 0;
  switch (MouseAction) {
    case maPan:
      if ((Horiz ? G : F) == 0) return false;
      if (Logarithmic) {
        const double Ratio = std::log(RangeHigh / RangeLow);
        const double g = std::exp(Horiz ? Ratio * (a - x) / G : Ratio * (y - a) / F);
        NLo = Lo * g;
        NHi = Hi * g;
      } else if (Horiz) {
        const double d = (x - a) * (Hi - Lo) / G;
        NLo = Lo - d;
        NHi = Hi - d;
      } else {
        const double e = (y - a) * (Hi - Lo) / F;
        NLo = Lo + e;
        NHi = Hi + e;
      }
      break;
    case maZoom:
      if ((Horiz ? G : F) == 0) return false;
      if (Logarithmic) {
        const double m = std::sqrt(Lo * Hi), s = std::log(Hi / m);
        const bool HighHalf = Horiz ? a >= L + G / 2 : a <= T + F / 2;
        const double Drag = Horiz ? (HighHalf ? (a - x) / G : (x - a) / G)
                                  : (HighHalf ? (y - a) / F : (a - y) / F);
        NLo = HighHalf ? Lo : m / std::exp(s * (Drag + 1));
        NHi = HighHalf ? m * std::exp(s * (Drag + 1)) : Hi;
      } else if (Horiz) {
        NLo = Lo;
        NHi = Hi;
        if (a >= L + G / 2)
          NHi = Lo + (Hi - Lo) * (a - L) / (x - L);
        else
          NLo = Hi - (Hi - Lo) * (W - a - R) / (W - x - R);
      } else {
        NLo = Lo;
        NHi = Hi;
        if (a <= T + F / 2)
          NHi = Lo + (Hi - Lo) * (H - a - B) / (H - y - B);
        else
          NLo = Hi - (Hi - Lo) * (a - T) / (y - T);
      }
      break;
    case maZoomDrag: {
      if ((Horiz ? W : H) == 0) return false;
      const double f = Horiz ? 1 - (x - a) / W : 1 + (y - a) / H;
      if (Logarithmic) {
        const double m = std::sqrt(Lo * Hi), k = std::exp(std::log(Hi / m) * f);
        NLo = m / k;
        NHi = m * k;
      } else {
        const double c = (Lo + Hi) / 2;
        NLo = c - (Hi - Lo) * f / 2;
        NHi = c + (Hi - Lo) * f / 2;
      }
      break;
    }
    default:
      return false;
  }
  // A drag onto the fixed end divides by zero; a collapsed range is no range.
  if (!std::isfinite(NLo) || !std::isfinite(NHi) || NLo == NHi) return false;
  if (Logarithmic && !(NLo > 0 && NHi > 0)) return false;
  NewLo = NLo;
  NewHi = NHi;
  return true;
}

} // namespace zef
