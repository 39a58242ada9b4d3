// The rendering pipeline: chart bitmap (background, shadow, caption, scales), data-area
// background, grid, item replay, text labels, frame, mouse trace and cross-hairs, the
// repaint rule and the black-and-white mode.
#include <cmath>
#include <typeinfo>

#include "ZEF_rirove.h"
#include "rirove_internal.h"
#include "controls/forms.h"
#include "graphics/printer.h"
#include "rtl/mathfn.h"
#include "rtl/strings.h"

namespace zef {

namespace {
int32_t Clamp30k(int32_t V) { return rirove_internal::ClampPix(V); }
constexpr int kMaxGridLines = 1000;
} // namespace

// ---- Settings that repaint ----------------------------------------------------------------

void TCustomRIrove::SetGridDx(double Value) {
  if (Value >= -3) SetAndRepaint(FGridDx, Value);
}

void TCustomRIrove::SetGridDy(double Value) {
  if (Value >= -3) SetAndRepaint(FGridDy, Value);
}

void TCustomRIrove::SetCaptionTrim(int32_t Value) {
  SetAndRepaint(FCaptionTrim, Value == 0 ? 0 : std::clamp(Value, 5, 100));
}

void TCustomRIrove::SetMinDupMarkDist(int32_t Value) {
  SetAndRepaint(FMinDupMarkDist, std::clamp(Value, 1, 3));
}

void TCustomRIrove::SetAnnoBelowChart(bool Value) {
  FAnnoBelowChart = Value;
  RepaintNow();
}

void TCustomRIrove::SetAnnoTextOnTop(bool Value) {
  FAnnoTextOnTop = Value;
  RepaintNow();
}

void TCustomRIrove::SetAnnosVisible(bool Value) {
  FAnnosVisible = Value;
  RepaintNow();
}

void TCustomRIrove::SetSuppressPaint(bool Value) {
  FSuppressPaint = Value;
  if (!Value) RepaintNow();
}

void TCustomRIrove::SetCrossHair(int32_t Ix, const TCrossHair& Value) {
  if (Ix < 1 || Ix > 4) return;
  TCrossHair& C = *FCrossHair[static_cast<std::size_t>(Ix - 1)];
  const TNotifyEvent Handler = C.OnChange;
  C.OnChange = nullptr;
  C.Assign(Value);
  C.OnChange = Handler;
  StyleChanged(this);
}

void TCustomRIrove::SetParent(TWinControl* NewParent) {
  TCustomControl::SetParent(NewParent);
  // Being placed in a window is what ends the initial paint suppression (without painting).
  if (NewParent != nullptr && !FWindowCreated) {
    FWindowCreated = true;
    FSuppressPaint = false;
  }
}

void TCustomRIrove::Loaded() {
  TCustomControl::Loaded();
  for (std::size_t L = 0; L < 2; ++L) {
    FScaleX[L]->SetLoading(false);
    FScaleY[L]->SetLoading(false);
  }
  ApplyScaleSettings();
  AdjustScaling();
  RepaintNow();
}

// ---- Repainting ---------------------------------------------------------------------------

void TCustomRIrove::StyleChanged(TObject*) {
  if (FAutoRedraw || Designing()) RepaintNow();
}

void TCustomRIrove::RepaintNow() {
  if (FSuppressPaint || LoadingNow() || (!Visible() && !Designing())) return;
  if (ParentForm() != nullptr) Repaint();
  else PaintBitmaps();
}

void TCustomRIrove::Paint() {
  if (FSuppressPaint || LoadingNow() || (!Visible() && !Designing())) return;
  PaintBitmaps();
  Canvas().Draw(0, 0, FChartBmp);
}

void TCustomRIrove::PaintBitmaps() {
  FChartBmp.SetSize(Width(), Height());
  ConstructChartBmp(FChartBmp.Canvas());
  FDataBmp.SetSize(DataAreaWidth() + 1, DataAreaHeight() + 1);
  InitGraf(FDataBmp.Canvas(), 0, 0, FDataBmp.Width(), FDataBmp.Height());
  ConstructDataBmp(FDataBmp, 0, 0, false, 0);
  DrawMouseTrace(FDataBmp.Canvas(), 0, 0);
  FChartBmp.Canvas().Draw(FLRim, FTRim, FDataBmp);
  DrawCrossHairs(FChartBmp.Canvas(), 0, 0);
}

// Copies the retained data area into the chart bitmap, draws the cross-hairs there and
// shows the result; the data-area bitmap itself never receives cross-hairs.
void TCustomRIrove::ShowDataArea() {
  if (FChartBmp.Width() != Width() || FChartBmp.Height() != Height()) {
    FChartBmp.SetSize(Width(), Height());
    ConstructChartBmp(FChartBmp.Canvas());
  }
  FChartBmp.Canvas().Draw(FLRim, FTRim, FDataBmp);
  DrawCrossHairs(FChartBmp.Canvas(), 0, 0);
  if (!FSuppressPaint && ParentForm() != nullptr) Canvas().Draw(0, 0, FChartBmp);
}

void TCustomRIrove::ShowGraf() {
  if (Visible()) {
    FData->LastShown = std::max(0, FData->Count() - 1);
    if (FAutoRedraw) {
      FDataBmp.SetSize(DataAreaWidth() + 1, DataAreaHeight() + 1);
      InitGraf(FDataBmp.Canvas(), 0, 0, FDataBmp.Width(), FDataBmp.Height());
      ConstructDataBmp(FDataBmp, 0, 0, false, 0);
      ShowDataArea();
    } else {
      RepaintNow();
    }
  }
  // Charts showing the same container follow.
  TCustomRIrove* Owner = FDataOwner != nullptr ? FDataOwner : this;
  if (Owner != this) Owner->StyleChanged(this);
  for (TCustomRIrove* U : Owner->FDataUsers)
    if (U != this) U->StyleChanged(this);
}

void TCustomRIrove::ShowGrafNewOnly() {
  if (!Visible()) return;
  if (FDataBmp.Width() != DataAreaWidth() + 1 || FDataBmp.Height() != DataAreaHeight() + 1) {
    FDataBmp.SetSize(DataAreaWidth() + 1, DataAreaHeight() + 1);
    InitGraf(FDataBmp.Canvas(), 0, 0, FDataBmp.Width(), FDataBmp.Height());
  }
  ConstructDataBmp(FDataBmp, 0, 0, false, FData->LastShown);
  ShowDataArea();
  FData->LastShown = std::max(0, FData->Count() - 1);
}

// ---- Chart bitmap -------------------------------------------------------------------------

void TCustomRIrove::SetPrinterFont(TCanvas& Canvas, TFont& Font) const {
  if (!Canvas.IsPrinterCanvas()) return;
  const int32_t Size = Font.Size();
  Font.SetPixelsPerInch(Printer().Resolution());
  Font.SetSize(Size);
}

void TCustomRIrove::ConstructChartBmp(TCanvas& Canvas) {
  const int32_t W = Width(), H = Height(), S = FShadowWidth;
  Canvas.Pen().SetStyle(psSolid);
  Canvas.Pen().SetMode(pmCopy);
  Canvas.Pen().SetWidth(1);
  Canvas.Pen().SetColor(FWindColor);
  Canvas.Brush().SetColor(FWindColor);
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Rectangle(0, 0, W, H);
  if (S > 0) {
    Canvas.Pen().SetColor(FShadowBakColor);
    Canvas.Brush().SetColor(FShadowBakColor);
    Canvas.Rectangle(W - S, 0, W, S);
    Canvas.Rectangle(0, H - S, S, H);
    Canvas.Brush().SetColor(FShadowColor);
    const int32_t O = FShadowStyle == ssFlying ? S - 1 : 0;
    Canvas.Pen().SetColor(FShadowStyle == ssFlying ? FShadowColor : clBlack);
    const TPoint Bottom[] = {{O, H - S}, {S - 1, H - 1}, {W - 1, H - 1}, {W - S, H - S}};
    const TPoint Right[] = {{W - S, H - S}, {W - 1, H - 1}, {W - 1, S - 1}, {W - S, O}};
    Canvas.Polygon(Bottom, 4);
    Canvas.Polygon(Right, 4);
    Canvas.Pen().SetColor(clBlack);
    const TPoint Body[] = {{0, 0}, {W - S, 0}, {W - S, H - S}, {0, H - S}, {0, 0}};
    Canvas.Polyline(Body, 5);
  }
  if (!FCaption.empty()) {
    Canvas.Pen().SetColor(FChartFrameColor);
    Canvas.Brush().SetStyle(bsClear);
    Canvas.SetFont(Font());
    SetPrinterFont(Canvas, Canvas.Font());
    std::string Cap = FCaption;
    int32_t TW = Canvas.TextWidth(Cap);
    if (FCaptionTrim != 0) {
      const int32_t Avail = RoundInt(0.01L * FCaptionTrim * (W - S - FLRim - FRRim));
      if (TW > Avail && TW > 0) {
        const int64_t Keep = Round(static_cast<long double>(Utf8Length(Cap)) * Avail / TW) - 2;
        std::size_t I = 0;
        for (int64_t N = 0; N < Keep && I < Cap.size(); ++N) NextCodePoint(Cap, I);
        Cap = Cap.substr(0, I) + "...";
        TW = Canvas.TextWidth(Cap);
      }
    }
    int32_t X = 0, Y = 0;
    switch (FCaptionAnchorHoriz) {
      case cahControlLeft: X = 0; break;
      case cahChartLeft: X = FLRim; break;
      case cahChartCenter: X = FLRim + (W - FLRim - FRRim - S) / 2; break;
      case cahChartRight: X = W - FRRim - S; break;
      case cahControlRight: X = W; break;
    }
    switch (FCaptionAnchorVert) {
      case cavControlTop: Y = 0; break;
      case cavChartTop: Y = FTRim; break;
      case cavChartCenter: Y = FTRim + (H - FTRim - FBRim - S) / 2; break;
      case cavChartBottom: Y = H - FBRim; break;
      case cavControlBottom: Y = H; break;
    }
    X += FCaptionPosX;
    Y += FCaptionPosY;
    if (FCaptionAlignment == taRightJustify) X -= TW;
    else if (FCaptionAlignment == taCenter) X -= TW / 2;
    Canvas.TextOut(X, Y, Cap);
    Canvas.Brush().SetStyle(bsSolid);
  }
  AdjustScaling();
  const auto PaintScale = [&](TScale& P) {
    P.SetColorBackGnd(FWindColor);
    P.UseForeignCanvas(&Canvas, 0, 0);
    P.ForcePaint();
    P.UseForeignCanvas(nullptr, 0, 0);
  };
  for (std::size_t L = 0; L < 2; ++L) PaintScale(*FPainterX[L]);
  for (std::size_t L = 0; L < 2; ++L) PaintScale(*FPainterY[L]);
  if (OnScalesRendered) OnScalesRendered(this, Canvas, 0, 0);
}

// ---- Data-area background -----------------------------------------------------------------

void TCustomRIrove::InitGraf(TCanvas& Canvas, int32_t XOffs, int32_t YOffs, int32_t AWidth,
                             int32_t AHeight) {
  Canvas.Pen().SetStyle(psSolid);
  Canvas.Pen().SetMode(pmCopy);
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(FChartColor);
  Canvas.Pen().SetColor(FChartFrameColor);
  const TRect Region{XOffs, YOffs, XOffs + AWidth, YOffs + AHeight};
  TBakGndImg& B = *FBackGroundImg;
  if (!B.Name().empty()) {
    bool Loaded = false;
    try {
      FImageBmp.LoadFromFile(B.Name());
      Loaded = !FImageBmp.Empty();
    } catch (const std::exception&) {
      Loaded = false;
    }
    if (!Loaded) {
      Canvas.FillRect(Region);
      // Cleared without notification so the failed load is not retried on every paint.
      const TNotifyEvent Handler = B.OnChange;
      B.OnChange = nullptr;
      B.SetName("");
      B.OnChange = Handler;
      return;
    }
    // The image goes to the region's corner (the data area's top left on any target).
    const int32_t IW = FImageBmp.Width(), IH = FImageBmp.Height();
    switch (B.FillMode()) {
      case bfSimple:
        Canvas.FillRect(Region);
        Canvas.Draw(XOffs, YOffs, FImageBmp);
        break;
      case bfStretch: Canvas.StretchDraw(Region, FImageBmp); break;
      case bfTile:
        for (int32_t C = 0; C < (AWidth - 1) / IW + 1; ++C)
          for (int32_t R = 0; R < (AHeight - 1) / IH + 1; ++R)
            Canvas.Draw(XOffs + C * IW, YOffs + R * IH, FImageBmp);
        break;
    }
    return;
  }
  Canvas.FillRect(Region);
  if (B.AreaMode() == bamNone) return;
  Canvas.Pen().SetColor(B.AreaColor());
  Canvas.Brush().SetColor(B.AreaColor());
  int32_t XL, YT, XR, YB;
  R2M(FActiveLayer, B.AreaLeft(), B.AreaTop(), XL, YT);
  R2M(FActiveLayer, B.AreaRight(), B.AreaBottom(), XR, YB);
  XL = Clamp30k(XL) - FLRim + XOffs;
  XR = Clamp30k(XR) - FLRim + XOffs;
  YT = Clamp30k(YT) - FTRim + YOffs;
  YB = Clamp30k(YB) - FTRim + YOffs;
  const TRect& R = Region;
  const auto Fill = [&](int32_t L, int32_t T, int32_t Rt, int32_t Bt) { Canvas.FillRect({L, T, Rt, Bt}); };
  switch (B.AreaMode()) {
    case bamLeft: Fill(R.Left, R.Top, XL, R.Bottom); break;
    case bamRight: Fill(XR, R.Top, R.Right, R.Bottom); break;
    case bamTop: Fill(R.Left, R.Top, R.Right, YT); break;
    case bamBottom: Fill(R.Left, YB, R.Right, R.Bottom); break;
    case bamVStripe: Fill(XL, R.Top, XR, R.Bottom); break;
    case bamHStripe: Fill(R.Left, YT, R.Right, YB); break;
    case bamRect: Fill(XL, YT, XR, YB); break;
    case bamRectInv:
      Fill(R.Left, R.Top, R.Right, YT);
      Fill(R.Left, YB, R.Right, R.Bottom);
      Fill(R.Left, R.Top, XL, R.Bottom);
      Fill(XR, R.Top, R.Right, R.Bottom);
      break;
    case bamVStripeInv:
      Fill(R.Left, R.Top, XL, R.Bottom);
      Fill(XR, R.Top, R.Right, R.Bottom);
      break;
    case bamHStripeInv:
      Fill(R.Left, R.Top, R.Right, YT);
      Fill(R.Left, YB, R.Right, R.Bottom);
      break;
    default: break;
  }
}

// ---- Grid ---------------------------------------------------------------------------------

namespace {

// log10 snapped to the nearest integer when within 1e-14 of it.
double SnappedLog10(double P) {
  const double L = std::log10(P);
  return std::abs(L - std::round(L)) < 1e-14 ? std::round(L) : L;
}

// Grid positions of one axis in ascending order (at most kMaxGridLines).
std::vector<double> GridPositions(const TScaleProps& S, const TScale& Painter, double G) {
  const double Lo = std::min(S.RangeLow(), S.RangeHigh());
  const double Hi = std::max(S.RangeLow(), S.RangeHigh());
  std::vector<double> Out;
  if (G == 0) {
    std::vector<double> Ticks;
    for (int32_t I = 1; I <= Painter.NumTicks(); ++I) Ticks.push_back(Painter.TickPos(I));
    std::sort(Ticks.begin(), Ticks.end());
    if (Ticks.empty()) Ticks.push_back(Lo);
    for (double T : Ticks) {
      if (T >= Hi || static_cast<int>(Out.size()) >= kMaxGridLines) break;
      Out.push_back(T);
    }
    return Out;
  }
  const bool Log = S.Logarithmic() && G < 0;
  if (Log && !(Lo > 0)) return Out;
  double P;
  if (!Log) {
    P = std::ceil(Lo / G) * G;
  } else if (G == -1) {
    P = std::pow(10.0, std::ceil(std::log10(Lo)));
  } else if (G == -2 || G == -3) {
    const double L = std::log10(Lo), E = std::floor(L);
    const double M = std::round(std::pow(10.0, L - E));
    P = G == -3 ? std::pow(10.0, E) * M
                : std::pow(10.0, E) * (M <= 2 ? 2 : M <= 5 ? 5 : 10);
  } else {
    P = Lo;
  }
  while (P < Hi && std::isfinite(P) && static_cast<int>(Out.size()) < kMaxGridLines) {
    Out.push_back(P);
    double Next;
    if (!Log) {
      Next = P + std::abs(G);
    } else if (G == -1) {
      Next = 10 * P;
    } else {
      const double L = SnappedLog10(P), E = std::floor(L);
      const double M = std::round(std::pow(10.0, L - E));
      if (G == -2) Next = std::pow(10.0, E) * (M < 2 ? 2 : M < 5 ? 5 : 10);
      else Next = std::pow(10.0, E) * (M + 1);
    }
    if (!(Next > P)) break;  // a step lost in rounding would never end the loop
    P = Next;
  }
  return Out;
}

} // namespace

void TCustomRIrove::DrawGrid(TCanvas& Canvas, int32_t XOffs, int32_t YOffs) {
  const std::size_t L = static_cast<std::size_t>(FActiveLayer - 1);
  const TScaleProps& SX = *FScaleX[L];
  const TScaleProps& SY = *FScaleY[L];
  const std::vector<double> XS = GridPositions(SX, *FPainterX[L], FGridDx);
  const std::vector<double> YS = GridPositions(SY, *FPainterY[L], FGridDy);
  const auto PX = [&](double X) { return Clamp30k(WorldToPixX(L, X)) - FLRim + XOffs; };
  const auto PY = [&](double Y) { return Clamp30k(WorldToPixY(L, Y)) - FTRim + YOffs; };
  Canvas.Pen().SetColor(FGridColor);
  Canvas.Brush().SetColor(FChartColor);
  const bool Dotted = FGridStyle == gsHorizDotLines || FGridStyle == gsVertDotLines || FGridStyle == gsDotLines;
  Canvas.Pen().SetStyle(Dotted ? psDot : psSolid);
  const double YLo = std::min(SY.RangeLow(), SY.RangeHigh()), YHi = std::max(SY.RangeLow(), SY.RangeHigh());
  const double XLo = std::min(SX.RangeLow(), SX.RangeHigh()), XHi = std::max(SX.RangeLow(), SX.RangeHigh());
  if (FGridStyle == gsPoints) {
    int Count = 0;
    for (double X : XS)
      for (double Y : YS) {
        if (++Count > kMaxGridLines) break;
        Canvas.SetPixels(PX(X), PY(Y), FGridColor);
      }
  }
  const bool Vert = FGridStyle == gsVertLines || FGridStyle == gsVertDotLines ||
                    FGridStyle == gsLines || FGridStyle == gsDotLines;
  const bool Horiz = FGridStyle == gsHorizLines || FGridStyle == gsHorizDotLines ||
                     FGridStyle == gsLines || FGridStyle == gsDotLines;
  if (Vert)
    for (double X : XS) {
      Canvas.MoveTo(PX(X), PY(YLo));
      Canvas.LineTo(PX(X), PY(YHi));
    }
  if (Horiz)
    for (double Y : YS) {
      Canvas.MoveTo(PX(XLo), PY(Y));
      Canvas.LineTo(PX(XHi), PY(Y));
    }
  Canvas.Pen().SetStyle(psSolid);
}

// ---- Item replay --------------------------------------------------------------------------

void TCustomRIrove::ConstructDataBmp(TBitmap& Bmp, int32_t XOffs, int32_t YOffs, bool BlkWhite,
                                     int32_t FirstElem) {
  ConstructDataBmpCanvas(Bmp.Canvas(), XOffs, YOffs, BlkWhite, FirstElem);
}

void TCustomRIrove::ConstructDataBmpCanvas(TCanvas& Canvas, int32_t XOffs, int32_t YOffs,
                                           bool BlkWhite, int32_t FirstElem) {
  FRS = TRenderState();
  FRS.XOffs = XOffs;
  FRS.YOffs = YOffs;
  FRS.BlkWhite = BlkWhite;
  FRS.Stamping = Canvas.Target() != nullptr && typeid(Canvas) == typeid(TCanvas) &&
                 !Canvas.IsPrinterCanvas();
  FRS.Poly.reserve(200);
  FRS.MapX = {AxisMapX(0), AxisMapX(1)};
  FRS.MapY = {AxisMapY(0), AxisMapY(1)};
  if (FAvoidDuplicateMarks) {
    FRS.DupD = FMinDupMarkDist;
    FRS.DupW = Width() + 2 * FRS.DupD;
    FRS.DupH = Height() + 2 * FRS.DupD;
    FRS.DupMap.assign(static_cast<std::size_t>(FRS.DupW) * static_cast<std::size_t>(FRS.DupH), -1);
    FRS.DupOn = true;
  }
  if (OnBeforeRenderData) {
    const TColor P = Canvas.Pen().Color(), B = Canvas.Brush().Color();
    OnBeforeRenderData(this, Canvas, FTRim - YOffs, FLRim - XOffs);
    Canvas.Pen().SetColor(P);
    Canvas.Brush().SetColor(B);
  }
  if (FGridStyle != gsNone && FirstElem == 0) DrawGrid(Canvas, XOffs, YOffs);
  Canvas.Pen().SetWidth(FLineWidth);
  Canvas.Pen().SetMode(pmCopy);
  Canvas.MoveTo(XOffs, YOffs);
  Canvas.Pen().SetColor(FChartColor);
  Canvas.Brush().SetColor(FChartColor);
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Font().SetColor(FChartColor);
  Canvas.Pen().SetStyle(psSolid);
  FRS.PenPos = {XOffs, YOffs};
  FRS.PenColor = FRS.BrushColor = FRS.FontColor = FChartColor;
  FRS.PenStyle = psSolid;
  FRS.LineWidth = FLineWidth;

  if (!FAnnoBelowChart) ReplayStore(Canvas, *FData, false, XOffs, YOffs, BlkWhite, false, false);
  if (FAnnosVisible) {
    if (FAnnoTextOnTop) {
      ReplayStore(Canvas, FAnnos, true, XOffs, YOffs, BlkWhite, false, true);
      ReplayStore(Canvas, FAnnos, true, XOffs, YOffs, BlkWhite, true, false);
    } else {
      ReplayStore(Canvas, FAnnos, true, XOffs, YOffs, BlkWhite, false, false);
    }
  }
  if (FAnnoBelowChart) ReplayStore(Canvas, *FData, false, XOffs, YOffs, BlkWhite, false, false);
  Canvas.Pen().SetWidth(1);
  DrawTextLabels(Canvas, XOffs, YOffs);
  if (OnDataRendered) OnDataRendered(this, Canvas, FTRim - YOffs, FLRim - XOffs);
  const int32_t W = DataAreaWidth(), H = DataAreaHeight();
  Canvas.Pen().SetColor(FChartFrameColor);
  Canvas.Pen().SetStyle(psSolid);
  const TPoint Frame[] = {{XOffs, YOffs}, {XOffs + W, YOffs}, {XOffs + W, YOffs + H},
                          {XOffs, YOffs + H}, {XOffs, YOffs}};
  Canvas.Polyline(Frame, 5);
  FRS.DupMap = std::vector<int16_t>();
  FRS.Stamps.clear();
}

// ---- Text labels --------------------------------------------------------------------------

void TCustomRIrove::DrawTextLabels(TCanvas& Canvas, int32_t XOffs, int32_t YOffs) {
  for (int32_t Ix = 30; Ix >= 1; --Ix) {
    const TTextLabel& Lb = *FTextLabels[static_cast<std::size_t>(Ix - 1)];
    if (Lb.Mode() == tlOff || !Lb.Visible() || !LayerVisible(Lb.Layer())) continue;
    const TPoint Anchor = TextLabelAnchor(Lb);
    int32_t X = Anchor.X, Y = Anchor.Y;
    Canvas.SetFont(Lb.Font());
    SetPrinterFont(Canvas, Canvas.Font());
    Canvas.Pen().SetColor(Lb.ColorBorder());
    Canvas.Pen().SetStyle(psSolid);
    Canvas.Brush().SetColor(Lb.ColorBkg());
    Canvas.Brush().SetStyle(Lb.Transparent() ? bsClear : bsSolid);
    const std::string& Cap = Lb.Caption();
    std::vector<std::string_view> Lines;
    for (std::size_t Start = 0;;) {
      const std::size_t End = Cap.find('\n', Start);
      Lines.push_back(std::string_view(Cap).substr(Start, End == std::string::npos ? std::string::npos : End - Start));
      if (End == std::string::npos) break;
      Start = End + 1;
    }
    const int32_t N = static_cast<int32_t>(Lines.size());
    int32_t W = 0;
    for (std::string_view S : Lines) W = std::max(W, Canvas.TextWidth(S));
    if (W == 0) W = Canvas.TextWidth(Cap);
    const int32_t H = Canvas.TextHeight(Cap);
    if (Lb.VerticalAlignment() == vaTop) Y += H * N;
    else if (Lb.VerticalAlignment() == vaCenter) Y += (H * N) / 2;
    if (Lb.Alignment() == taRightJustify) X -= W;
    else if (Lb.Alignment() == taCenter) X -= W / 2;
    // Control coordinates to the target's.
    X = X - FLRim + XOffs;
    Y = Y - FTRim + YOffs;
    const TRect B{X - 4, Y - H * N - 2, X + W + 4, Y + 2};
    const auto FillBox = [&] {
      if (Lb.Transparent()) return;
      Canvas.Pen().SetColor(Lb.ColorBkg());
      Canvas.Rectangle(B);
      Canvas.Pen().SetColor(Lb.ColorBorder());
    };
    switch (Lb.Mode()) {
      case tlsimple: FillBox(); break;
      case tlBox: Canvas.Rectangle(B); break;
      case tlUnderline:
        FillBox();
        Canvas.MoveTo(X, Y);
        Canvas.LineTo(X + W, Y);
        break;
      case tlShadow: {
        const TBrushStyle BS = Canvas.Brush().Style();
        Canvas.Pen().SetColor(Lb.ColorShadow());
        Canvas.Brush().SetColor(Lb.ColorShadow());
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Rectangle(B.Left + Lb.ShadowDx(), B.Top + Lb.ShadowDy(), B.Right + Lb.ShadowDx(), B.Bottom + Lb.ShadowDy());
        Canvas.Pen().SetColor(Lb.ColorBorder());
        Canvas.Brush().SetColor(Lb.ColorBkg());
        Canvas.Brush().SetStyle(BS);
        Canvas.Rectangle(B);
        break;
      }
      default: break;
    }
    Canvas.Brush().SetStyle(bsClear);
    if (N == 1) {
      Canvas.TextOut(X, Y - H, Cap);
    } else {
      for (int32_t K = 0; K < N; ++K) {
        const int32_t LW = Canvas.TextWidth(Lines[static_cast<std::size_t>(K)]);
        const int32_t DX = Lb.Alignment() == taRightJustify ? W - LW : Lb.Alignment() == taCenter ? (W - LW) / 2 : 0;
        Canvas.TextOut(X + DX, Y - H * (N - K), Lines[static_cast<std::size_t>(K)]);
      }
    }
    Canvas.Brush().SetStyle(bsSolid);
  }
}

// ---- Cross-hairs and mouse trace ----------------------------------------------------------

void TCustomRIrove::DrawCrossHairs(TCanvas& Canvas, int32_t XOffs, int32_t YOffs) {
  if (std::all_of(FCrossHair.begin(), FCrossHair.end(), [](const auto& C) { return C->Mode() == chOff; }))
    return;
  const rirove_internal::TPenScope Keep(Canvas);
  const TBrushStyle SavedBrush = Canvas.Brush().Style();
  const int32_t W = Width(), H = Height(), S = FShadowWidth;
  for (int32_t Ix = 4; Ix >= 1; --Ix) {
    const TCrossHair& C = *FCrossHair[static_cast<std::size_t>(Ix - 1)];
    if (C.Mode() == chOff) continue;
    int32_t X = 0, Y = 0;
    R2M(C.Layer(), C.PosX(), C.PosY(), X, Y);
    Canvas.Pen().SetColor(C.Color());
    Canvas.Pen().SetWidth(C.LineWid());
    Canvas.Pen().SetStyle(C.LineType());
    Canvas.Pen().SetMode(pmCopy);
    Canvas.Brush().SetColor(FChartColor);
    const int32_t HW = C.LineWid() / 2;
    const bool InY = FTRim + HW < Y && Y < H - FBRim - S - HW;
    const bool InX = FLRim + HW < X && X < W - FRRim - S - HW;
    const auto Seg = [&](int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
      Canvas.MoveTo(Clamp30k(X1) - XOffs, Clamp30k(Y1) - YOffs);
      Canvas.LineTo(Clamp30k(X2) - XOffs, Clamp30k(Y2) - YOffs);
    };
    const auto Square = [&](int32_t D1, int32_t D2) {
      Canvas.Rectangle(X - D1 - XOffs, Y - D1 - YOffs, X + D2 - XOffs, Y + D2 - YOffs);
    };
    switch (C.Mode()) {
      case chHoriz:
      case chVert:
      case chBoth:
        if (C.Mode() != chVert && InY) Seg(FLRim + HW + 1, Y, W - FRRim - S - HW, Y);
        if (C.Mode() != chHoriz && InX) Seg(X, FTRim + HW + 1, X, H - FBRim - S - HW);
        break;
      case chCrossBox:
        if (InX && InY) {
          Seg(X - 13, Y, X + 14, Y);
          Seg(X, Y - 13, X, Y + 14);
          Canvas.Brush().SetStyle(bsClear);
          Canvas.Pen().SetStyle(psSolid);
          Canvas.Pen().SetWidth(1);
          Canvas.Pen().SetColor(clWhite);
          Square(3, 4);
          Canvas.Pen().SetColor(clBlack);
          Square(2, 3);
        }
        break;
      case chBox:
        if (InX && InY) {
          Canvas.Brush().SetStyle(bsClear);
          Square(4, 5);
        }
        break;
      default: break;
    }
    Canvas.Brush().SetStyle(SavedBrush);
  }
}

void TCustomRIrove::CrossHairSetPos(int32_t chnum, double x, double y) {
  if (chnum < 1 || chnum > 4) return;
  TCrossHair& C = *FCrossHair[static_cast<std::size_t>(chnum - 1)];
  const TNotifyEvent Handler = C.OnChange;
  C.OnChange = nullptr;
  C.SetPos(x, y);
  C.OnChange = Handler;
  if (C.Mode() != chOff) ShowDataArea();
}

void TCustomRIrove::CrossHairSetup(int32_t ch, TColor chColor, TCrossHMode Mode,
                                   TPenStyle LineType, int32_t LineWidth) {
  if (ch < 1 || ch > 4) return;
  TCrossHair& C = *FCrossHair[static_cast<std::size_t>(ch - 1)];
  const TNotifyEvent Handler = C.OnChange;
  C.OnChange = nullptr;
  C.SetColor(chColor);
  C.SetMode(Mode);
  C.SetLineType(LineType);
  C.SetLineWid(LineWidth);
  C.OnChange = Handler;
  ShowDataArea();
}

void TCustomRIrove::DrawMouseTrace(TCanvas& Canvas, int32_t XOffs, int32_t YOffs) {
  if (FMTrace.size() < 2) return;
  const rirove_internal::TPenScope Keep(Canvas);
  for (std::size_t I = 1; I < FMTrace.size(); ++I)
    if (!(FMTrace[I - 1].Flag & 1)) DrawTraceSegment(Canvas, FMTrace[I - 1], FMTrace[I], XOffs, YOffs);
}

// The segment to trace point B from the point before it, in B's colour and mode.
void TCustomRIrove::DrawTraceSegment(TCanvas& Canvas, const TColoredPoint& A,
                                     const TColoredPoint& B, int32_t XOffs, int32_t YOffs) {
  int32_t X1, Y1, X2, Y2;
  R2M(FActiveLayer, A.X, A.Y, X1, Y1);
  R2M(FActiveLayer, B.X, B.Y, X2, Y2);
  Canvas.Pen().SetColor(B.Color);
  Canvas.Pen().SetStyle(psSolid);
  Canvas.Pen().SetWidth(1);
  Canvas.Pen().SetMode(B.Flag & 2 ? pmXor : pmCopy);
  Canvas.MoveTo(Clamp30k(X1) - FLRim + XOffs, Clamp30k(Y1) - FTRim + YOffs);
  Canvas.LineTo(Clamp30k(X2) - FLRim + XOffs, Clamp30k(Y2) - FTRim + YOffs);
  Canvas.Pen().SetMode(pmCopy);
}

// ---- Black and white ----------------------------------------------------------------------

void TCustomRIrove::BackupColorsAndMakeBW() {
  FSaved.Wind = FWindColor;
  FSaved.Frame = FChartFrameColor;
  FSaved.Chart = FChartColor;
  FSaved.FontColor = Font().Color();
  FSaved.Shadow = FShadowColor;
  FSaved.ShadowBak = FShadowBakColor;
  FWindColor = FChartColor = 0xFFFFFF;
  FChartFrameColor = clBlack;
  FShadowColor = 0xC0C0C0;
  FShadowBakColor = 0xFFFFFF;
  Font().SetColor(clBlack);
  for (std::size_t I = 0; I < 4; ++I) {
    TScaleProps& S = I < 2 ? static_cast<TScaleProps&>(*FScaleX[I]) : *FScaleY[I - 2];
    FSaved.Scale[I] = S.ColorScale();
    FSaved.ScaleFont[I] = S.Font().Color();
    const TNotifyEvent Handler = S.OnChange;
    S.OnChange = nullptr;
    S.SetColorScale(clBlack);
    S.Font().SetColor(clBlack);
    S.OnChange = Handler;
  }
  ApplyScaleSettings();
}

void TCustomRIrove::ReloadBackupColors() {
  FWindColor = FSaved.Wind;
  FChartFrameColor = FSaved.Frame;
  FChartColor = FSaved.Chart;
  Font().SetColor(FSaved.FontColor);
  FShadowColor = FSaved.Shadow;
  FShadowBakColor = FSaved.ShadowBak;
  for (std::size_t I = 0; I < 4; ++I) {
    TScaleProps& S = I < 2 ? static_cast<TScaleProps&>(*FScaleX[I]) : *FScaleY[I - 2];
    const TNotifyEvent Handler = S.OnChange;
    S.OnChange = nullptr;
    S.SetColorScale(FSaved.Scale[I]);
    S.Font().SetColor(FSaved.ScaleFont[I]);
    S.OnChange = Handler;
  }
  ApplyScaleSettings();
}

} // namespace zef
