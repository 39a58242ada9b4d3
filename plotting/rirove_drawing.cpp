// Drawing one item: colours and line widths through the renderer's caches, the polyline
// buffer of line-to items, pre-drawn mark stamps, duplicate-mark suppression and text items.
#include <cmath>
#include <numbers>
#include <typeinfo>

#include "ZEF_rirove.h"
#include "rirove_internal.h"
#include "rtl/mathfn.h"

namespace zef {

namespace {

using rirove_internal::ClampPix;
using rirove_internal::kClampPix;
using rirove_internal::ScreenX;
using rirove_internal::ScreenY;

constexpr std::size_t kPolyMax = 200;

bool InRange(double V, double A, double B) { return (V >= A && V <= B) || (V >= B && V <= A); }
bool Overlaps(double Lo, double Hi, double A, double B) {
  return Hi >= std::min(A, B) && Lo <= std::max(A, B);
}

} // namespace

TPoint TCustomRIrove::MapPoint(const TrcChartItem& It, bool Second, bool IsAnno) const {
  const std::size_t L = It.Layer >= 2 ? 1 : 0;
  const double X = Second ? It.x2 : It.x, Y = Second ? It.y2 : It.y;
  const TCoordMode M = IsAnno ? It.CoordMode : cmAllWorld;
  const int64_t PX = ScreenX(M, Second) ? static_cast<int64_t>(RoundInt(X)) + FRS.XOffs
                                        : static_cast<int64_t>(FRS.MapX[L].Map(X)) - FLRim + FRS.XOffs;
  const int64_t PY = ScreenY(M, Second) ? static_cast<int64_t>(RoundInt(Y)) + FRS.YOffs
                                        : static_cast<int64_t>(FRS.MapY[L].Map(Y)) - FTRim + FRS.YOffs;
  return {ClampPix(PX), ClampPix(PY)};
}

void TCustomRIrove::SetPenCached(TCanvas& Canvas, TColor C, TPenStyle S) {
  if (C != FRS.PenColor) {
    Canvas.Pen().SetColor(C);
    FRS.PenColor = C;
  }
  if (S != FRS.PenStyle) {
    Canvas.Pen().SetStyle(S);
    FRS.PenStyle = S;
  }
}

void TCustomRIrove::SetBrushCached(TCanvas& Canvas, TColor C) {
  if (C != FRS.BrushColor) {
    Canvas.Brush().SetColor(C);
    FRS.BrushColor = C;
  }
}

namespace {

// Replaces every run of consecutive points sharing one column (Axis 0: equal X) or one row
// (Axis 1: equal Y) by at most three points that cover exactly the same pixels and end at
// the same point. A line segment a -> b covers a up to b, b itself excluded; the union of a
// run's segments is therefore the interval between its extremes, less the run's last point
// when no segment covers it. Only valid for a solid one-pixel pen in copy mode, where the
// order and number of touches of a pixel do not matter. Out receives the result.
void ReduceRuns(const std::vector<TPoint>& In, std::vector<TPoint>& Out, int Axis) {
  const auto Along = [Axis](const TPoint& P) { return Axis == 0 ? P.Y : P.X; };
  const auto Across = [Axis](const TPoint& P) { return Axis == 0 ? P.X : P.Y; };
  const auto Make = [Axis](int32_t Line, int32_t V) { return Axis == 0 ? TPoint{Line, V} : TPoint{V, Line}; };
  Out.clear();
  Out.push_back(In[0]);
  std::size_t I = 1;
  while (I < In.size()) {
    const TPoint Q0 = Out.back();
    std::size_t J = I;
    while (J < In.size() && Across(In[J]) == Across(Q0)) ++J;
    if (J - I < 2) {
      Out.push_back(In[I]);
      I = std::max(J, I + 1);
      continue;
    }
    int32_t Lo = Along(Q0), Hi = Lo;
    const int32_t Last = Along(In[J - 1]);
    bool LastCovered = false;
    int32_t Prev = Along(Q0);
    for (std::size_t K = I; K < J; ++K) {
      const int32_t V = Along(In[K]);
      Lo = std::min(Lo, V);
      Hi = std::max(Hi, V);
      if ((Prev < V && Last >= Prev && Last < V) || (Prev > V && Last <= Prev && Last > V)) LastCovered = true;
      Prev = V;
    }
    int32_t Path[3];
    int N = 0;
    if (Lo == Hi) {
      N = 0;
    } else if (LastCovered) {
      const bool LowFirst = Last < Hi || Along(Q0) == Hi;
      Path[0] = LowFirst ? Lo : Hi;
      Path[1] = LowFirst ? Hi : Lo;
      Path[2] = Last;
      N = 3;
    } else if (Last == Hi || Last == Lo) {
      Path[0] = Last == Hi ? Lo : Hi;
      Path[1] = Last;
      N = 2;
    } else {
      Out.insert(Out.end(), In.begin() + static_cast<std::ptrdiff_t>(I), In.begin() + static_cast<std::ptrdiff_t>(J));
      I = J;
      continue;
    }
    int32_t At = Along(Q0);
    for (int K = 0; K < N; ++K) {
      if (Path[K] == At) continue;  // zero-length segments draw nothing
      Out.push_back(Make(Across(Q0), Path[K]));
      At = Path[K];
    }
    I = J;
  }
}

} // namespace

void TCustomRIrove::FlushPolyline(TCanvas& Canvas) {
  if (FRS.Poly.empty()) return;
  const TPen& Pen = Canvas.Pen();
  if (FRS.Stamping && FRS.Poly.size() > 3 && Pen.Mode() == pmCopy && Pen.Style() == psSolid &&
      Pen.Width() <= 1) {
    // Dense data puts many consecutive points into one pixel column (or row); drawing
    // only their extremes gives the same pixels at a fraction of the cost.
    ReduceRuns(FRS.Poly, FRS.PolyOut, 0);
    ReduceRuns(FRS.PolyOut, FRS.Poly, 1);
  }
  Canvas.Polyline(FRS.Poly.data(), FRS.Poly.size());
  FRS.PenPos = FRS.Poly.back();
  Canvas.MoveTo(FRS.PenPos.X, FRS.PenPos.Y);
  FRS.Poly.clear();
}

void TCustomRIrove::AddPolylinePoint(TCanvas& Canvas, TPoint P) {
  if (FRS.Poly.empty()) FRS.Poly.push_back(FRS.PenPos);
  FRS.Poly.push_back(P);
  FRS.PenPos = P;
  if (FRS.Poly.size() >= kPolyMax) {
    FlushPolyline(Canvas);
    FRS.Poly.push_back(P);
  }
}

// Marks 0..51 are stamped from a cached copy of DrawMarkOnCanvas's pixels when the target
// is a plain raster canvas: a million marks then cost a few pixel writes each.
void TCustomRIrove::DrawMark(TCanvas& Canvas, uint8_t Mark, int32_t X, int32_t Y) {
  const TPen& Pen = Canvas.Pen();
  if (!FRS.Stamping || Mark > 51 || Pen.Mode() != pmCopy || Pen.Width() > 8) {
    DrawMarkOnCanvas(Canvas, Mark, X, Y);
    return;
  }
  const TColor BrushC = Canvas.Brush().Color();
  const TBrushStyle BrushS = Canvas.Brush().Style();
  const TMarkStamp* St = nullptr;
  for (const TMarkStamp& S : FRS.Stamps)
    if (S.Mark == Mark && S.PenColor == Pen.Color() && S.BrushColor == BrushC &&
        S.BrushStyle == BrushS && S.PenWidth == Pen.Width()) {
      St = &S;
      break;
    }
  if (St == nullptr) {
    if (FRS.Stamps.size() >= 64) FRS.Stamps.clear();
    // Draw the mark on two backgrounds; pixels that agree belong to the mark.
    constexpr int32_t R = 24, Size = 2 * R + 1;
    TBitmap A(Size, Size), B(Size, Size);
    const auto Render = [&](TBitmap& Bmp, TColor Back) {
      TCanvas& C = Bmp.Canvas();
      C.Brush().SetColor(Back);
      C.FillRect({0, 0, Size, Size});
      C.SetPen(Pen);
      C.Brush().SetColor(BrushC);
      C.Brush().SetStyle(BrushS);
      C.SetFont(Canvas.Font());
      DrawMarkOnCanvas(C, Mark, R, R);
    };
    Render(A, 0x000000);
    Render(B, 0xFFFFFF);
    TMarkStamp S{Mark, Pen.Color(), BrushC, BrushS, Pen.Width(), {}, {}, {}};
    for (int32_t Y0 = 0; Y0 < Size; ++Y0) {
      const uint32_t* RA = A.ScanLine(Y0);
      const uint32_t* RB = B.ScanLine(Y0);
      for (int32_t X0 = 0; X0 < Size; ++X0)
        if (RA[X0] == RB[X0]) {
          S.DX.push_back(X0 - R);
          S.DY.push_back(Y0 - R);
          S.Value.push_back(RA[X0]);
        }
    }
    FRS.Stamps.push_back(std::move(S));
    St = &FRS.Stamps.back();
  }
  TBitmap& T = *Canvas.Target();
  const TRect Clip = Canvas.ClipRect();
  const TPoint O = Canvas.Origin();
  uint32_t* Bits = T.Bits();
  const std::size_t Stride = static_cast<std::size_t>(T.Width());
  const std::size_t N = St->DX.size();
  const int32_t* DX = St->DX.data();
  const int32_t* DY = St->DY.data();
  const uint32_t* V = St->Value.data();
  // Stamps lie within +-24 pixels; a mark that far inside the clip needs no tests.
  if (X - 24 >= Clip.Left && X + 24 < Clip.Right && Y - 24 >= Clip.Top && Y + 24 < Clip.Bottom) {
    uint32_t* Centre = Bits + static_cast<std::size_t>(Y + O.Y) * Stride + static_cast<std::size_t>(X + O.X);
    for (std::size_t I = 0; I < N; ++I) Centre[static_cast<std::ptrdiff_t>(DY[I]) * static_cast<std::ptrdiff_t>(Stride) + DX[I]] = V[I];
    return;
  }
  for (std::size_t I = 0; I < N; ++I) {
    const int32_t PX = X + DX[I], PY = Y + DY[I];
    if (PX < Clip.Left || PX >= Clip.Right || PY < Clip.Top || PY >= Clip.Bottom) continue;
    Bits[static_cast<std::size_t>(PY + O.Y) * Stride + static_cast<std::size_t>(PX + O.X)] = V[I];
  }
}

int32_t TCustomRIrove::CalcTextExtents(const std::string& Text, TCanvas& Canvas,
                                       int32_t& LineHeight, int32_t& TotalHeight,
                                       int32_t& MaxWidth) const {
  int32_t Lines = 0;
  MaxWidth = 0;
  std::size_t Start = 0;
  while (true) {
    const std::size_t End = Text.find('\n', Start);
    const std::string_view Part = std::string_view(Text).substr(Start, End == std::string::npos ? std::string::npos : End - Start);
    MaxWidth = std::max(MaxWidth, Canvas.TextWidth(Part));
    ++Lines;
    if (End == std::string::npos) break;
    Start = End + 1;
  }
  if (MaxWidth == 0) MaxWidth = Canvas.TextWidth(Text);
  LineHeight = Canvas.TextHeight(Text) + 1;
  TotalHeight = LineHeight * Lines;
  return Lines;
}

void TCustomRIrove::DrawTextItem(TCanvas& Canvas, const TrcChartItem& It, int32_t Index,
                                 bool IsAnno, TPoint P, TColor TextColor, TColor Background) {
  TFont& F = Canvas.Font();
  F.SetName(FTextFont.Name());
  F.SetStyle(FTextFont.Style());
  SetPrinterFont(Canvas, F);
  // Sizes come from the item (or a file): kept to what a font can sensibly render.
  F.SetSize(std::clamp(It.Param1, 1, 1000));
  F.SetColor(TextColor);
  FRS.FontColor = TextColor;
  SetBrushCached(Canvas, Background);
  const bool Solid = It.Param2 != 0;
  Canvas.Brush().SetStyle(Solid ? bsSolid : bsClear);
  const TStore& S = IsAnno ? FAnnos : *FData;
  std::string Txt = It.LWid >= 1 && It.LWid <= 50
                        ? S.LongTexts[static_cast<std::size_t>(It.LWid - 1)]
                        : ChartItemText(It);
  if (OnBeforeRenderText) OnBeforeRenderText(this, Txt, Index, IsAnno);
  int32_t LH = 0, TH = 0, MW = 0;
  const int32_t N = CalcTextExtents(Txt, Canvas, LH, TH, MW);
  int32_t X = P.X, Y = P.Y - LH / 2;
  if (It.Param3 == taRightJustify) X -= MW;
  else if (It.Param3 == taCenter) X -= MW / 2;
  if (N == 1) {
    Canvas.TextOut(X, Y, Txt);
  } else {
    if (Solid) {
      SetPenCached(Canvas, Background, psSolid);
      Canvas.Rectangle(X - 4, Y - 2, X + MW + 4, Y + N * LH + 2);
    }
    std::size_t Start = 0;
    for (int32_t K = 0; K < N; ++K) {
      const std::size_t End = std::min(Txt.find('\n', Start), Txt.size());
      const std::string_view Line = std::string_view(Txt).substr(Start, End - Start);
      const int32_t W = Canvas.TextWidth(Line);
      const int32_t DX = It.Param3 == taRightJustify ? MW - W : It.Param3 == taCenter ? (MW - W) / 2 : 0;
      Canvas.TextOut(X + DX, Y + K * LH, Line);
      Start = End + 1;
    }
  }
  Canvas.Brush().SetStyle(bsSolid);
}

void TCustomRIrove::ReplayStore(TCanvas& Canvas, const TStore& S, bool IsAnno, int32_t XOffs,
                                int32_t YOffs, bool BlkWhite, bool TextsOnly, bool SkipTexts) {
  FRS.XOffs = XOffs;
  FRS.YOffs = YOffs;
  const std::array<bool, 256>& Visible = IsAnno ? FAnnoClassVisible : FClassVisible;
  const int32_t N = S.Count();
  const int32_t DX = XOffs - FLRim, DY = YOffs - FTRim;
  for (int32_t I = 0; I < N; ++I) {
    const TrcChartItem& It = S.Items[static_cast<std::size_t>(I)];
    if (!Visible[It.ItemClass] || It.Layer < 1 || It.Layer > 2 || !FLayerVisible[static_cast<std::size_t>(It.Layer - 1)])
      continue;
    const bool IsText = It.ItemKind == tkText || It.ItemKind == tkTextOfs;
    if ((TextsOnly && !IsText) || (SkipTexts && IsText)) continue;
    if (OnBeforeRenderIroveItem) {
      TrcChartItem Copy = It;
      OnBeforeRenderIroveItem(this, Copy, I, IsAnno);
      DrawContainerItemOnCanvas(Canvas, Copy, I, IsAnno, XOffs, YOffs, BlkWhite);
      continue;
    }
    // The hot path of line charts: a line-to in the current pen only extends the polyline.
    if (It.ItemKind == tkLineto && It.LWid == FRS.LineWidth && It.PenStyle == FRS.PenStyle &&
        It.FillColor == FRS.BrushColor && (BlkWhite ? clBlack : It.Color) == FRS.PenColor) {
      if (IsAnno && It.CoordMode != cmAllWorld) {
        AddPolylinePoint(Canvas, MapPoint(It, false, IsAnno));
      } else {
        const std::size_t L = It.Layer == 2 ? 1 : 0;
        AddPolylinePoint(Canvas, {ClampPix(int64_t(FRS.MapX[L].Map(It.x)) + DX),
                                  ClampPix(int64_t(FRS.MapY[L].Map(It.y)) + DY)});
      }
      continue;
    }
    DrawContainerItemOnCanvas(Canvas, It, I, IsAnno, XOffs, YOffs, BlkWhite);
  }
  FlushPolyline(Canvas);
}

void TCustomRIrove::DrawContainerItemOnCanvas(TCanvas& Canvas, const TrcChartItem& It,
                                              int32_t Index, bool IsAnno, int32_t XOffs,
                                              int32_t YOffs, bool BlkWhite) {
  FRS.XOffs = XOffs;
  FRS.YOffs = YOffs;
  const TrcItem K = It.ItemKind;
  const bool Text = K == tkText || K == tkTextOfs;
  const bool LineTo = K == tkLineto || K == tkLineRelPix;
  const TColor C = BlkWhite ? clBlack : It.Color;
  const bool FilledShape = K == tkRect || K == tkRectFrame || K == tk3DBar || K == tkEllipse ||
                           K == tkArrow || K == tkDoubleArrow || K == tkRectRelPix;
  const TColor F = BlkWhite && FilledShape ? 0xC0C0C0 : It.FillColor;
  if (!Text && It.LWid != FRS.LineWidth) {
    FlushPolyline(Canvas);
    FRS.LineWidth = It.LWid;
    Canvas.Pen().SetWidth(It.LWid);
  }
  if (!LineTo) FlushPolyline(Canvas);

  const auto OnePixelIfDegenerate = [&](TPoint A, TPoint B) {
    if (A.X != B.X || A.Y != B.Y) return false;
    Canvas.SetPixels(A.X, A.Y, C);
    return true;
  };
  // Corners ordered, the larger ones widened by 1 so both corners lie inside the shape.
  const auto Box = [](TPoint A, TPoint B) {
    return TRect{std::min(A.X, B.X), std::min(A.Y, B.Y), std::max(A.X, B.X) + 1, std::max(A.Y, B.Y) + 1};
  };
  const std::size_t L = It.Layer >= 2 ? 1 : 0;

  switch (K) {
    case tkMarkAt: {
      const TCoordMode M = IsAnno ? It.CoordMode : cmAllWorld;
      const bool Pix = M == cmAllScreen;
      const bool Inside =
          Pix ? InRange(It.x, 0, Width() - FLRim - FRRim) && InRange(It.y, 0, Height() - FTRim - FBRim)
              : InRange(It.x, FScaleX[L]->RangeLow(), FScaleX[L]->RangeHigh()) &&
                    InRange(It.y, FScaleY[L]->RangeLow(), FScaleY[L]->RangeHigh());
      if (!Inside) break;
      SetPenCached(Canvas, C, It.PenStyle);
      const TPoint P = MapPoint(It, false, IsAnno);
      if (FRS.DupOn) {
        const int32_t D = FRS.DupD, CX = P.X + D, CY = P.Y + D;
        if (CX >= 0 && CY >= 0 && CX < FRS.DupW && CY < FRS.DupH) {
          if (FRS.DupMap[static_cast<std::size_t>(CY) * FRS.DupW + CX] == It.Param3) break;
          for (int32_t YY = std::max(0, CY - D); YY <= std::min(FRS.DupH - 1, CY + D); ++YY)
            for (int32_t XX = std::max(0, CX - D); XX <= std::min(FRS.DupW - 1, CX + D); ++XX)
              FRS.DupMap[static_cast<std::size_t>(YY) * FRS.DupW + XX] = static_cast<int16_t>(It.Param3 & 0xFF);
        }
      }
      DrawMark(Canvas, static_cast<uint8_t>(It.Param3), P.X, P.Y);
      break;
    }
    case tkLine:
    case tkLineOffs: {
      TPoint A = MapPoint(It, false, IsAnno), B = MapPoint(It, true, IsAnno);
      if (K == tkLineOffs) {
        A = {ClampPix(int64_t(A.X) + It.Param1), ClampPix(int64_t(A.Y) + It.Param2)};
        B = {ClampPix(int64_t(B.X) + It.Param1), ClampPix(int64_t(B.Y) + It.Param2)};
      }
      SetPenCached(Canvas, C, It.PenStyle);
      if (OnePixelIfDegenerate(A, B)) break;
      Canvas.MoveTo(A.X, A.Y);
      Canvas.LineTo(B.X, B.Y);
      break;
    }
    case tkLineto:
    case tkLineRelPix: {
      if (C != FRS.PenColor || It.PenStyle != FRS.PenStyle || F != FRS.BrushColor) {
        FlushPolyline(Canvas);
        SetPenCached(Canvas, C, It.PenStyle);
        SetBrushCached(Canvas, F);
      }
      const TPoint P = K == tkLineto ? MapPoint(It, false, IsAnno)
                                     : TPoint{ClampPix(int64_t(FRS.PenPos.X) + RoundInt(It.x)),
                                              ClampPix(int64_t(FRS.PenPos.Y) + RoundInt(It.y))};
      AddPolylinePoint(Canvas, P);
      break;
    }
    case tkMoveTo:
    case tkMoveRelPix: {
      FRS.PenPos = K == tkMoveTo ? MapPoint(It, false, IsAnno)
                                 : TPoint{ClampPix(int64_t(FRS.PenPos.X) + RoundInt(It.x)),
                                          ClampPix(int64_t(FRS.PenPos.Y) + RoundInt(It.y))};
      Canvas.MoveTo(FRS.PenPos.X, FRS.PenPos.Y);
      break;
    }
    case tkRect:
    case tkEllipse:
    case tkRectRelPix: {
      TPoint A, B;
      if (K == tkRect) {
        A = MapPoint(It, false, IsAnno);
        B = MapPoint(It, true, IsAnno);
      } else if (K == tkEllipse) {
        TrcChartItem Corners = It;
        Corners.x = It.x - It.x2, Corners.y = It.y + It.y2;
        Corners.x2 = It.x + It.x2, Corners.y2 = It.y - It.y2;
        A = MapPoint(Corners, false, false);
        B = MapPoint(Corners, true, false);
      } else {
        const TPoint M = MapPoint(It, false, IsAnno);
        A = {ClampPix(int64_t(M.X) - It.Param1), ClampPix(int64_t(M.Y) - It.Param2)};
        B = {ClampPix(int64_t(M.X) + It.Param1), ClampPix(int64_t(M.Y) + It.Param2)};
      }
      SetPenCached(Canvas, C, It.PenStyle);
      if (OnePixelIfDegenerate(A, B)) break;
      SetBrushCached(Canvas, F);
      Canvas.Brush().SetStyle(It.Transp ? bsClear : bsSolid);
      const TRect R = Box(A, B);
      if (K == tkEllipse) Canvas.Ellipse(R);
      else Canvas.Rectangle(R);
      Canvas.Brush().SetStyle(bsSolid);
      break;
    }
    case tkRectFrame: {
      const TPoint A = MapPoint(It, false, IsAnno), B = MapPoint(It, true, IsAnno);
      SetPenCached(Canvas, F, It.PenStyle);
      if (A.X == B.X && A.Y == B.Y) {
        Canvas.SetPixels(A.X, A.Y, C);
        break;
      }
      SetBrushCached(Canvas, F);
      Canvas.Brush().SetStyle(bsSolid);
      Canvas.Rectangle(Box(A, B));
      const int32_t Lf = std::min(A.X, B.X), Rt = std::max(A.X, B.X);
      const int32_t Tp = std::min(A.Y, B.Y), Bt = std::max(A.Y, B.Y);
      const TColor Sh = BlkWhite ? clBlack : It.ShadowColor;
      const TColor Hi = BlkWhite ? clWhite : It.HiLightColor;
      const auto Outline = [&](TColor Col, std::initializer_list<TPoint> Pts) {
        SetPenCached(Canvas, Col, psSolid);
        Canvas.Polyline(Pts.begin(), Pts.size());
      };
      switch (It.FrameStyle) {
        case fsLowered:
        case fsRaised: {
          const TColor First = It.FrameStyle == fsLowered ? Sh : Hi;
          const TColor Second = It.FrameStyle == fsLowered ? Hi : Sh;
          Outline(First, {{Lf, Bt}, {Lf, Tp}, {Rt + 1, Tp}});
          Outline(Second, {{Rt, Tp + 1}, {Rt, Bt}, {Lf, Bt}});
          break;
        }
        case fsEmbossed:
        case fsEngraved: {
          const TColor First = It.FrameStyle == fsEmbossed ? Sh : Hi;
          const TColor Second = It.FrameStyle == fsEmbossed ? Hi : Sh;
          Outline(First, {{Lf + 1, Bt}, {Lf + 1, Tp + 1}, {Rt, Tp + 1}, {Rt, Bt}, {Lf + 1, Bt}});
          Outline(Second, {{Lf, Bt - 1}, {Lf, Tp}, {Rt - 1, Tp}, {Rt - 1, Bt - 1}, {Lf, Bt - 1}});
          break;
        }
        default: break;
      }
      break;
    }
    case tk3DBar: {
      TPoint A = MapPoint(It, false, false), B = MapPoint(It, true, false);
      int32_t X1 = std::min(A.X, B.X), X2 = std::max(A.X, B.X);
      const int32_t Top = std::min(A.Y, B.Y), Bottom = std::max(A.Y, B.Y);
      const double Ang = It.Param1 * std::numbers::pi / 180;
      // Depths from a file may be anything; the faces stay within the clamped plane.
      const int32_t EX = ClampPix(RoundInt(std::cos(Ang) * It.Param2));
      const int32_t EY = ClampPix(RoundInt(std::sin(Ang) * It.Param2));
      if (It.Param1 > 90) std::swap(X1, X2);
      SetPenCached(Canvas, C, It.PenStyle);
      SetBrushCached(Canvas, F);
      Canvas.Brush().SetStyle(bsSolid);
      const TPoint TopFace[] = {{X1, Top}, {X1 + EX, Top - EY}, {X2 + EX, Top - EY}, {X2, Top}};
      const TPoint SideFace[] = {{X2 + EX, Top - EY}, {X2, Top}, {X2, Bottom}, {X2 + EX, Bottom - EY}};
      Canvas.Polygon(TopFace, 4);
      Canvas.Polygon(SideFace, 4);
      Canvas.Rectangle(std::min(X1, X2), Top, std::max(X1, X2) + 1, Bottom + 1);
      break;
    }
    case tkText:
    case tkTextOfs: {
      TPoint P = MapPoint(It, false, IsAnno);
      if (K == tkTextOfs)
        P = {ClampPix(int64_t(P.X) + RoundInt(It.x2)), ClampPix(int64_t(P.Y) + RoundInt(It.y2))};
      DrawTextItem(Canvas, It, Index, IsAnno, P, C, BlkWhite ? clWhite : It.FillColor);
      break;
    }
    case tkArrow:
    case tkDoubleArrow: {
      const TPoint A = MapPoint(It, false, IsAnno), B = MapPoint(It, true, IsAnno);
      SetPenCached(Canvas, C, It.PenStyle);
      if (OnePixelIfDegenerate(A, B)) break;
      SetBrushCached(Canvas, F);
      Canvas.Brush().SetStyle(It.Transp ? bsClear : bsSolid);
      Canvas.MoveTo(A.X, A.Y);
      Canvas.LineTo(B.X, B.Y);
      const int32_t S = std::min(It.Param1, kClampPix);
      if (S >= 1) {
        const double DX = B.X - A.X, DY = B.Y - A.Y;
        double Phi;
        if (DX > 0) Phi = std::atan(DY / DX) + std::numbers::pi / 2;
        else if (DX < 0) Phi = std::atan(DY / DX) + 3 * std::numbers::pi / 2;
        else Phi = DY > 0 ? std::numbers::pi : 2 * std::numbers::pi;
        const double W = 20 * std::numbers::pi / 180;
        const auto Head = [&](TPoint Tip, int Sign) {
          const TPoint W1{Tip.X - Sign * RoundInt(S * std::sin(Phi + W)), Tip.Y + Sign * RoundInt(S * std::cos(Phi + W))};
          const TPoint W2{Tip.X - Sign * RoundInt(S * std::sin(Phi - W)), Tip.Y + Sign * RoundInt(S * std::cos(Phi - W))};
          if (It.Transp) {
            Canvas.MoveTo(Tip.X, Tip.Y);
            Canvas.LineTo(W1.X, W1.Y);
            Canvas.MoveTo(Tip.X, Tip.Y);
            Canvas.LineTo(W2.X, W2.Y);
          } else {
            const TPoint Tri[] = {Tip, W1, W2};
            Canvas.Polygon(Tri, 3);
          }
        };
        Head(B, 1);
        if (K == tkDoubleArrow) Head(A, -1);
      }
      Canvas.Brush().SetStyle(bsSolid);
      break;
    }
    case tkMarkEBar: {
      const double Lo = std::abs(It.x2), Hi = std::abs(It.y2);
      if (!Overlaps(It.x - Lo, It.x + Hi, FScaleX[L]->RangeLow(), FScaleX[L]->RangeHigh()) ||
          !Overlaps(It.y - Lo, It.y + Hi, FScaleY[L]->RangeLow(), FScaleY[L]->RangeHigh()))
        break;
      SetPenCached(Canvas, C, It.PenStyle);
      const TPoint P = MapPoint(It, false, false);
      const bool Horiz = It.Param1 != 0;
      for (const double End : {-Lo, Hi}) {
        TrcChartItem E = It;
        if (Horiz) E.x = It.x + End;
        else E.y = It.y + End;
        const TPoint Q = MapPoint(E, false, false);
        Canvas.MoveTo(P.X, P.Y);
        Canvas.LineTo(Q.X, Q.Y);
        if (Horiz) {
          Canvas.MoveTo(Q.X, Q.Y - 3);
          Canvas.LineTo(Q.X, Q.Y + 4);
        } else {
          Canvas.MoveTo(Q.X - 3, Q.Y);
          Canvas.LineTo(Q.X + 4, Q.Y);
        }
      }
      DrawMark(Canvas, static_cast<uint8_t>(It.Param3), P.X, P.Y);
      break;
    }
    case tkArc: {
      TrcChartItem Corners = It;
      Corners.x = It.x - It.x2, Corners.y = It.y - It.y2;
      Corners.x2 = It.x + It.x2, Corners.y2 = It.y + It.y2;
      const TPoint A = MapPoint(Corners, false, false), B = MapPoint(Corners, true, false);
      SetPenCached(Canvas, C, It.PenStyle);
      if (OnePixelIfDegenerate(A, B)) break;
      const TPoint M = MapPoint(It, false, false);
      const double A1 = It.Param1 / 1e8, A2 = It.Param2 / 1e8;
      const TRect R = Box(A, B);
      Canvas.Arc(R.Left, R.Top, R.Right, R.Bottom, M.X + RoundInt(1e8 * std::cos(A1)),
                 M.Y - RoundInt(1e8 * std::sin(A1)), M.X + RoundInt(1e8 * std::cos(A2)),
                 M.Y - RoundInt(1e8 * std::sin(A2)));
      break;
    }
    case tkLineRelPixOrig: {
      const TPoint O = MapPoint(It, false, false);
      const TPoint E{ClampPix(int64_t(O.X) + RoundInt(It.x2)), ClampPix(int64_t(O.Y) + RoundInt(It.y2))};
      SetPenCached(Canvas, C, It.PenStyle);
      SetBrushCached(Canvas, F);
      if (OnePixelIfDegenerate(O, E)) {
        FRS.PenPos = O;
        break;
      }
      FRS.PenPos = O;
      Canvas.MoveTo(O.X, O.Y);
      AddPolylinePoint(Canvas, E);
      break;
    }
    case tkCursorVert: {
      const TPoint P = MapPoint(It, false, IsAnno);
      SetPenCached(Canvas, C, It.PenStyle);
      Canvas.MoveTo(P.X, YOffs);
      Canvas.LineTo(P.X, YOffs + Height() - FBRim - FTRim);
      break;
    }
    case tkCursorHoriz: {
      const TPoint P = MapPoint(It, false, IsAnno);
      SetPenCached(Canvas, C, It.PenStyle);
      Canvas.MoveTo(XOffs, P.Y);
      Canvas.LineTo(XOffs + Width() - FLRim - FRRim, P.Y);
      break;
    }
    default: break;
  }
}

} // namespace zef
