#include "graphics/canvas.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "graphics/fonts.h"
#include "graphics/raster.h"
#include "rtl/strings.h"

namespace zef {

using namespace raster;

namespace {

using i128 = __int128;

// Dash patterns of one-pixel pens: on/off run lengths.
constexpr uint8_t kDash[] = {18, 6};
constexpr uint8_t kDot[] = {3, 3};
constexpr uint8_t kDashDot[] = {9, 6, 3, 6};
constexpr uint8_t kDashDotDot[] = {9, 3, 3, 3, 3, 3};

const TDash* DashOf(TPenStyle Style) {
  static const TDash Dash{kDash, 2, 24};
  static const TDash Dot{kDot, 2, 6};
  static const TDash DashDot{kDashDot, 4, 24};
  static const TDash DashDotDot{kDashDotDot, 6, 24};
  switch (Style) {
    case psDash: return &Dash;
    case psDot: return &Dot;
    case psDashDot: return &DashDot;
    case psDashDotDot: return &DashDotDot;
    default: return nullptr;
  }
}

// Row extents of a shape, inclusive; empty rows give first > second.
using TRowFn = std::function<std::pair<int64_t, int64_t>(int64_t)>;

// The outline of a one-pixel pen (region pixels with a 4-neighbour outside) and the fill
// (the rest), for rows Top..Bottom-1.
void ThinOutlineAndFill(const TRowFn& Row, int64_t Top, int64_t Bottom, TRowSet& Outline, TRowSet& Fill) {
  std::pair<int64_t, int64_t> Prev = Row(Top - 1), Cur = Row(Top);
  for (int64_t Y = Top; Y < Bottom; ++Y) {
    const std::pair<int64_t, int64_t> Next = Row(Y + 1);
    if (Cur.first <= Cur.second) {
      int64_t L = Cur.first + 1, R = Cur.second - 1;
      if (Prev.first > Prev.second || Next.first > Next.second) {
        L = 1;
        R = 0;
      } else {
        L = std::max({L, Prev.first, Next.first});
        R = std::min({R, Prev.second, Next.second});
      }
      if (L > R) {
        Outline.Add(Y, Cur.first, Cur.second);
      } else {
        Outline.Add(Y, Cur.first, L - 1);
        Outline.Add(Y, R + 1, Cur.second);
        Fill.Add(Y, L, R);
      }
    }
    Prev = Cur;
    Cur = Next;
  }
}

// Outline between an outer and an inner shape (wide pens) and the fill inside the inner one.
void RingAndFill(const TRowFn& Outer, const TRowFn& Inner, int64_t Top, int64_t Bottom, TRowSet& Outline,
                 TRowSet& Fill) {
  for (int64_t Y = Top; Y < Bottom; ++Y) {
    const auto O = Outer(Y);
    if (O.first > O.second) continue;
    const auto I = Inner(Y);
    if (I.first > I.second) {
      Outline.Add(Y, O.first, O.second);
      continue;
    }
    Outline.Add(Y, O.first, std::min(O.second, I.first - 1));
    Outline.Add(Y, std::max(O.first, I.second + 1), O.second);
    Fill.Add(Y, std::max(O.first, I.first), std::min(O.second, I.second));
  }
}

TRowFn BoxRows(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2) {
  return [=](int64_t Y) -> std::pair<int64_t, int64_t> {
    if (Y < Y1 || Y >= Y2 || X1 >= X2) return {1, 0};
    return {X1, X2 - 1};
  };
}

TRowFn EllipseRows(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2) {
  const TEllipseRows E{X1, Y1, X2, Y2};
  return [=](int64_t Y) { return E.Row(Y); };
}

// A rectangle with elliptic corners of EW x EH pixels.
TRowFn RoundRectRows(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, int64_t EW, int64_t EH) {
  EW = std::clamp<int64_t>(EW, 0, X2 - X1);
  EH = std::clamp<int64_t>(EH, 0, Y2 - Y1);
  if (EW < 2 || EH < 2) return BoxRows(X1, Y1, X2, Y2);
  const TEllipseRows E{0, 0, EW, EH};
  const int64_t Band = EH / 2;
  return [=](int64_t Y) -> std::pair<int64_t, int64_t> {
    if (Y < Y1 || Y >= Y2) return {1, 0};
    int64_t Ey;
    if (Y - Y1 < Band) Ey = Y - Y1;
    else if (Y2 - 1 - Y < Band) Ey = EH - (Y2 - Y);
    else return {X1, X2 - 1};
    const auto R = E.Row(Ey);
    return {X1 + R.first, X2 - EW + R.second};
  };
}

// Whether vector V lies in the counter-clockwise sweep from S to E (y up); S and E in the
// same direction sweep the full circle.
bool InSweep(i128 Sx, i128 Sy, i128 Ex, i128 Ey, i128 Vx, i128 Vy) {
  const i128 C = Sx * Ey - Sy * Ex;
  const i128 A = Sx * Vy - Sy * Vx;  // >= 0: V at or ccw of S
  const i128 B = Vx * Ey - Vy * Ex;  // >= 0: E at or ccw of V
  if (C > 0) return A >= 0 && B >= 0 && !(A == 0 && Sx * Vx + Sy * Vy < 0);
  if (C < 0) return A >= 0 || B >= 0;
  if (Sx * Ex + Sy * Ey > 0) return true;       // full ellipse
  return A > 0 || (A == 0 && Sx * Vx + Sy * Vy >= 0);  // half ellipse
}

uint32_t TernaryRop(uint32_t Rop, uint32_t P, uint32_t S, uint32_t D) {
  uint32_t R = 0;
  for (uint32_t K = 0; K < 8; ++K) {
    if (!((Rop >> K) & 1)) continue;
    R |= ((K & 4) ? P : ~P) & ((K & 2) ? S : ~S) & ((K & 1) ? D : ~D);
  }
  return R & 0x00FFFFFF;
}

// A 64-bit coordinate held to the 32-bit range (text positions and clips are 32-bit).
int32_t Sat32(int64_t V) { return static_cast<int32_t>(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX)); }

// Rows From..To (inclusive) widened by Margin and cut to the clip, as a half-open range.
std::pair<int64_t, int64_t> RowRange(const TRect& Clip, int64_t From, int64_t To, int64_t Margin) {
  return {std::max<int64_t>(Clip.Top, std::min(From, To) - Margin),
          std::max<int64_t>(Clip.Top, std::min<int64_t>(Clip.Bottom, std::max(From, To) + Margin + 1))};
}

} // namespace

// ---- State -----------------------------------------------------------------------------------

TCanvas::TCanvas(TBitmap* Target) : FTarget(Target) {}
TCanvas::~TCanvas() = default;

TRect TCanvas::DeviceClip() const {
  if (FTarget == nullptr) return TRect{};
  TRect R{0, 0, FTarget->Width(), FTarget->Height()};
  if (FHasClip) {
    const int64_t L = int64_t(FClip.Left) + FOrigin.X, T = int64_t(FClip.Top) + FOrigin.Y;
    const int64_t Ri = int64_t(FClip.Right) + FOrigin.X, B = int64_t(FClip.Bottom) + FOrigin.Y;
    R.Left = static_cast<int32_t>(std::clamp<int64_t>(L, R.Left, R.Right));
    R.Top = static_cast<int32_t>(std::clamp<int64_t>(T, R.Top, R.Bottom));
    R.Right = static_cast<int32_t>(std::clamp<int64_t>(Ri, R.Left, R.Right));
    R.Bottom = static_cast<int32_t>(std::clamp<int64_t>(B, R.Top, R.Bottom));
  }
  return R;
}

TRect TCanvas::ClipRect() const {
  const TRect D = DeviceClip();
  return {D.Left - FOrigin.X, D.Top - FOrigin.Y, D.Right - FOrigin.X, D.Bottom - FOrigin.Y};
}

void TCanvas::SetClipRect(const TRect& R) {
  FClip = R;
  FHasClip = true;
}

void TCanvas::ResetClipRect() { FHasClip = false; }

void TCanvas::Assign(const TPersistent& Source) {
  if (const auto* S = dynamic_cast<const TCanvas*>(&Source)) {
    FPen.Assign(S->FPen);
    FBrush.Assign(S->FBrush);
    FFont.Assign(S->FFont);
    FCopyMode = S->FCopyMode;
    FStretchMode = S->FStretchMode;
    return;
  }
  TPersistent::Assign(Source);
}

// ---- Lines -----------------------------------------------------------------------------------

namespace {

struct TShapePaints {
  TPaint Pen;
  TPaint Brush;
  bool HasPen;
  bool HasBrush;
};

TShapePaints PaintsOf(const TPen& Pen, const TBrush& Brush) {
  TShapePaints P;
  P.Pen = TPaint{ColorToRGB(Pen.Color()), Pen.Mode(), bsSolid};
  P.Brush = TPaint{ColorToRGB(Brush.Color()), Pen.Mode(), Brush.Style()};
  P.HasPen = Pen.Style() != psClear;
  P.HasBrush = Brush.Style() != bsClear;
  return P;
}

} // namespace

void TCanvas::MoveTo(int32_t X, int32_t Y) {
  FPenPos = {X, Y};
  FDashPhase = 0;
}

void TCanvas::LineTo(int32_t X, int32_t Y) {
  const TPoint From = FPenPos;
  FPenPos = {X, Y};
  if (FPen.Style() == psClear) return;
  TSurface S(FTarget, DeviceClip());
  const TShapePaints P = PaintsOf(FPen, FBrush);
  const int64_t X0 = int64_t(From.X) + FOrigin.X, Y0 = int64_t(From.Y) + FOrigin.Y;
  const int64_t X1 = int64_t(X) + FOrigin.X, Y1 = int64_t(Y) + FOrigin.Y;
  if (FPen.Width() <= 1) {
    const TDash* Dash = DashOf(FPen.Style());
    ThinLine(S, X0, Y0, X1, Y1, P.Pen, Dash, &FDashPhase, (Dash && FBrush.Style() == bsSolid) ? &P.Brush : nullptr);
    return;
  }
  if (S.Empty()) return;
  const auto [Top, Bottom] = RowRange(S.Clip(), Y0, Y1, FPen.Width());
  TRowSet Set(Top, Bottom);
  ThickSegmentInto(Set, X0, Y0, X1, Y1, FPen.Width());
  Set.Normalize();
  Set.Paint(S, P.Pen);
}

void TCanvas::Polyline(const TPoint* Points, std::size_t Count) {
  if (Count < 2 || FPen.Style() == psClear) return;
  if (FPen.Width() <= 1) {
    const TPoint Saved = FPenPos;
    const int64_t SavedPhase = FDashPhase;
    MoveTo(Points[0].X, Points[0].Y);
    for (std::size_t I = 1; I < Count; ++I) LineTo(Points[I].X, Points[I].Y);
    FPenPos = Saved;
    FDashPhase = SavedPhase;
    return;
  }
  TSurface S(FTarget, DeviceClip());
  if (S.Empty()) return;
  int64_t MinY = INT64_MAX, MaxY = INT64_MIN;
  for (std::size_t I = 0; I < Count; ++I) {
    MinY = std::min<int64_t>(MinY, int64_t(Points[I].Y) + FOrigin.Y);
    MaxY = std::max<int64_t>(MaxY, int64_t(Points[I].Y) + FOrigin.Y);
  }
  const auto [Top, Bottom] = RowRange(S.Clip(), MinY, MaxY, FPen.Width());
  TRowSet Set(Top, Bottom);
  for (std::size_t I = 1; I < Count; ++I)
    ThickSegmentInto(Set, int64_t(Points[I - 1].X) + FOrigin.X, int64_t(Points[I - 1].Y) + FOrigin.Y,
                     int64_t(Points[I].X) + FOrigin.X, int64_t(Points[I].Y) + FOrigin.Y, FPen.Width());
  Set.Normalize();
  Set.Paint(S, PaintsOf(FPen, FBrush).Pen);
}

// Paints an outline and a fill that do not overlap: each pixel is touched once.
void TCanvas::PaintShape(TRowSet& Outline, TRowSet& Fill, bool DashedOutline) {
  TSurface S(FTarget, DeviceClip());
  const TShapePaints P = PaintsOf(FPen, FBrush);
  Outline.Normalize();
  Fill.Normalize();
  if (P.HasBrush) Fill.Paint(S, P.Brush);
  if (P.HasPen && !DashedOutline) Outline.Paint(S, P.Pen);
}

void TCanvas::Polygon(const TPoint* Points, std::size_t Count) {
  if (Count < 2) return;
  TSurface S(FTarget, DeviceClip());
  if (S.Empty()) return;
  const TPoint O = FOrigin;
  int64_t MinY = INT64_MAX, MaxY = INT64_MIN;
  for (std::size_t I = 0; I < Count; ++I) {
    MinY = std::min<int64_t>(MinY, int64_t(Points[I].Y) + O.Y);
    MaxY = std::max<int64_t>(MaxY, int64_t(Points[I].Y) + O.Y);
  }
  const auto [Top, Bottom] = RowRange(S.Clip(), MinY, MaxY, FPen.Width());
  TRowSet Outline(Top, Bottom), Fill(Top, Bottom);
  const auto Dev = [&](std::size_t I) {
    return std::pair<int64_t, int64_t>{int64_t(Points[I % Count].X) + O.X, int64_t(Points[I % Count].Y) + O.Y};
  };
  const bool HasPen = FPen.Style() != psClear;
  const bool HasBrush = FBrush.Style() != bsClear;
  const bool Thin = FPen.Width() <= 1;
  const TDash* Dash = Thin ? DashOf(FPen.Style()) : nullptr;
  const TShapePaints P = PaintsOf(FPen, FBrush);
  // A copying one-pixel pen may simply paint over the fill: the result is the same as
  // painting the fill without the outline pixels, at a fraction of the cost.
  const bool Overpaint = Thin && FPen.Mode() == pmCopy;
  if (HasPen && !Overpaint) {
    for (std::size_t I = 0; I < Count; ++I) {
      const auto [Ax, Ay] = Dev(I);
      const auto [Bx, By] = Dev(I + 1);
      if (Thin) ThinLineInto(Outline, Ax, Ay, Bx, By);
      else ThickSegmentInto(Outline, Ax, Ay, Bx, By, FPen.Width());
    }
    Outline.Normalize();
  }
  if (HasBrush) {
    PolygonInteriorInto(Fill, Points, Count, O);
    Fill.Subtract(Outline);
    Fill.Paint(S, P.Brush);
  }
  if (!HasPen) return;
  if (!Thin) {
    Outline.Paint(S, P.Pen);
    return;
  }
  if (!Overpaint && !Dash) {
    Outline.Paint(S, P.Pen);
    return;
  }
  int64_t Phase = 0;
  for (std::size_t I = 0; I < Count; ++I) {
    const auto [Ax, Ay] = Dev(I);
    const auto [Bx, By] = Dev(I + 1);
    ThinLine(S, Ax, Ay, Bx, By, P.Pen, Dash, &Phase, (Dash && FBrush.Style() == bsSolid) ? &P.Brush : nullptr);
  }
}

// ---- Rectangles and ellipses -------------------------------------------------------------------

// Outline and fill of a box, ellipse or rounded box with the pixel box X1..X2-1, Y1..Y2-1
// (EW x EH: the corner ellipses of a rounded box).
void TCanvas::DrawClosedShape(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, TShapeKind Kind, int64_t EW,
                              int64_t EH) {
  const auto Make = [Kind, EW, EH](int64_t A, int64_t B, int64_t C, int64_t D) -> TRowFn {
    switch (Kind) {
      case skEllipse: return EllipseRows(A, B, C, D);
      case skRoundRect: return RoundRectRows(A, B, C, D, EW, EH);
      default: return BoxRows(A, B, C, D);
    }
  };
  const bool AllowDash = Kind == skBox;
  if (X2 < X1) std::swap(X1, X2);
  if (Y2 < Y1) std::swap(Y1, Y2);
  X1 += FOrigin.X; X2 += FOrigin.X; Y1 += FOrigin.Y; Y2 += FOrigin.Y;
  TSurface S(FTarget, DeviceClip());
  if (S.Empty() || X1 >= X2 || Y1 >= Y2) return;
  const TRect& C = S.Clip();
  const bool HasPen = FPen.Style() != psClear;
  const int64_t W = FPen.Width();
  const TDash* Dash = (HasPen && W <= 1 && AllowDash) ? DashOf(FPen.Style()) : nullptr;
  const int64_t Top = std::max<int64_t>(C.Top, Y1 - W), Bottom = std::max(Top, std::min<int64_t>(C.Bottom, Y2 + W));
  TRowSet Outline(Top, Bottom), Fill(Top, Bottom);
  if (!HasPen) {
    const TRowFn Rows = Make(X1, Y1, X2, Y2);
    for (int64_t Y = Top; Y < Bottom; ++Y) {
      const auto R = Rows(Y);
      Fill.Add(Y, R.first, R.second);
    }
  } else if (W <= 1) {
    ThinOutlineAndFill(Make(X1, Y1, X2, Y2), Top, Bottom, Outline, Fill);
  } else {
    // The pen is centred on the one-pixel outline, or kept inside for psInsideFrame.
    const int64_t Before = FPen.Style() == psInsideFrame ? 0 : (W - 1) / 2;
    const int64_t After = FPen.Style() == psInsideFrame ? 0 : W / 2;
    const int64_t OX1 = X1 - Before, OY1 = Y1 - Before, OX2 = X2 + After, OY2 = Y2 + After;
    RingAndFill(Make(OX1, OY1, OX2, OY2), Make(OX1 + W, OY1 + W, OX2 - W, OY2 - W), Top, Bottom, Outline, Fill);
  }
  PaintShape(Outline, Fill, Dash != nullptr);
  if (Dash) {
    // A styled one-pixel outline runs around the box edge by edge.
    const TShapePaints P = PaintsOf(FPen, FBrush);
    int64_t Phase = 0;
    const TPaint* Gap = FBrush.Style() == bsSolid ? &P.Brush : nullptr;
    const int64_t R = X2 - 1, B = Y2 - 1;
    if (X1 == R || Y1 == B) {
      ThinLine(S, X1, Y1, R + (X1 == R ? 0 : 1), B + (Y1 == B ? 0 : 1), P.Pen, Dash, &Phase, Gap);
      return;
    }
    ThinLine(S, X1, Y1, R, Y1, P.Pen, Dash, &Phase, Gap);
    ThinLine(S, R, Y1, R, B, P.Pen, Dash, &Phase, Gap);
    ThinLine(S, R, B, X1, B, P.Pen, Dash, &Phase, Gap);
    ThinLine(S, X1, B, X1, Y1, P.Pen, Dash, &Phase, Gap);
  }
}

void TCanvas::Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  DrawClosedShape(X1, Y1, X2, Y2, skBox, 0, 0);
}

void TCanvas::RoundRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3) {
  DrawClosedShape(X1, Y1, X2, Y2, skRoundRect, std::abs(int64_t(X3)), std::abs(int64_t(Y3)));
}

void TCanvas::Ellipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  DrawClosedShape(X1, Y1, X2, Y2, skEllipse, 0, 0);
}

void TCanvas::FillRect(const TRect& R) {
  if (FBrush.Style() == bsClear) return;
  TSurface S(FTarget, DeviceClip());
  const TPaint P{ColorToRGB(FBrush.Color()), pmCopy, FBrush.Style()};
  const int64_t L = std::min(R.Left, R.Right), Rt = std::max(R.Left, R.Right);
  for (int64_t Y = int64_t(std::min(R.Top, R.Bottom)) + FOrigin.Y; Y < int64_t(std::max(R.Top, R.Bottom)) + FOrigin.Y; ++Y) {
    if (Y < S.Clip().Top) { Y = S.Clip().Top - 1; continue; }
    if (Y >= S.Clip().Bottom) break;
    S.Span(Y, L + FOrigin.X, Rt + FOrigin.X, P);
  }
}

void TCanvas::FrameRect(const TRect& R) {
  if (FBrush.Style() == bsClear) return;
  TSurface S(FTarget, DeviceClip());
  if (S.Empty()) return;
  const TPaint P{ColorToRGB(FBrush.Color()), pmCopy, bsSolid};
  const int64_t X1 = int64_t(std::min(R.Left, R.Right)) + FOrigin.X, X2 = int64_t(std::max(R.Left, R.Right)) + FOrigin.X;
  const int64_t Y1 = int64_t(std::min(R.Top, R.Bottom)) + FOrigin.Y, Y2 = int64_t(std::max(R.Top, R.Bottom)) + FOrigin.Y;
  if (X1 >= X2 || Y1 >= Y2) return;
  TRowSet Outline(S.Clip().Top, S.Clip().Bottom), Fill(S.Clip().Top, S.Clip().Bottom);
  ThinOutlineAndFill(BoxRows(X1, Y1, X2, Y2), std::max<int64_t>(Y1, S.Clip().Top), std::min<int64_t>(Y2, S.Clip().Bottom), Outline, Fill);
  Outline.Normalize();
  Outline.Paint(S, P);
}

// ---- Arcs, pies and chords --------------------------------------------------------------------

void TCanvas::DrawArcShape(TArcKind Kind, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3,
                           int32_t X4, int32_t Y4) {
  int64_t L = std::min(X1, X2), R = std::max(X1, X2), T = std::min(Y1, Y2), B = std::max(Y1, Y2);
  L += FOrigin.X; R += FOrigin.X; T += FOrigin.Y; B += FOrigin.Y;
  TSurface S(FTarget, DeviceClip());
  if (S.Empty() || L >= R || T >= B) return;
  const TRect& C = S.Clip();
  // Doubled centre; directions in y-up doubled coordinates.
  const int64_t Cx = L + R - 1, Cy = T + B - 1;
  const i128 Sx = i128(2) * (int64_t(X3) + FOrigin.X) - Cx, Sy = -(i128(2) * (int64_t(Y3) + FOrigin.Y) - Cy);
  const i128 Ex = i128(2) * (int64_t(X4) + FOrigin.X) - Cx, Ey = -(i128(2) * (int64_t(Y4) + FOrigin.Y) - Cy);
  const auto Inside = [&](int64_t X, int64_t Y) { return InSweep(Sx, Sy, Ex, Ey, i128(2) * X - Cx, -(i128(2) * Y - Cy)); };
  // Where a direction meets the ellipse, rounded to a pixel.
  const auto OnEllipse = [&](i128 Dx, i128 Dy) -> std::pair<int64_t, int64_t> {
    const long double A = (R - L) / 2.0L, Bb = (B - T) / 2.0L;
    const long double Vx = static_cast<long double>(Dx), Vy = -static_cast<long double>(Dy);
    const long double Norm = std::sqrt((Vx / A) * (Vx / A) + (Vy / Bb) * (Vy / Bb));
    if (Norm == 0) return {Cx / 2, Cy / 2};
    const long double Px = Cx / 2.0L + Vx / Norm, Py = Cy / 2.0L + Vy / Norm;
    return {static_cast<int64_t>(std::floor(Px + 0.5L)), static_cast<int64_t>(std::floor(Py + 0.5L))};
  };
  const auto P3 = OnEllipse(Sx, Sy);
  const auto P4 = OnEllipse(Ex, Ey);
  const TRowFn Rows = EllipseRows(L, T, R, B);
  const int64_t Top = std::max<int64_t>(C.Top, T), Bottom = std::max(Top, std::min<int64_t>(C.Bottom, B));
  TRowSet Outline(Top, Bottom), Region(Top, Bottom), Inner(Top, Bottom);
  ThinOutlineAndFill(Rows, Top, Bottom, Region, Inner);  // Region: the ellipse's outline pixels
  TRowSet Arc(Top, Bottom);
  Region.Normalize();
  for (const TSpan& Sp : Region.Spans)
    for (int64_t X = std::max<int64_t>(Sp.X0, C.Left); X <= std::min<int64_t>(Sp.X1, C.Right - 1); ++X)
      if (Inside(X, Sp.Y)) Arc.Add(Sp.Y, X, X);
  Arc.Normalize();
  const bool HasPen = FPen.Style() != psClear;
  const TShapePaints P = PaintsOf(FPen, FBrush);
  if (Kind == akArc) {  // the pen only
    if (HasPen) Arc.Paint(S, P.Pen);
    return;
  }
  // Pie: radii to the end points; chord: the line between them.
  const int64_t Mx = Cx / 2, My = Cy / 2;
  if (Kind == akPie) {
    ThinLineInto(Outline, Mx, My, P3.first, P3.second);
    ThinLineInto(Outline, P4.first, P4.second, Mx, My);
  } else {
    ThinLineInto(Outline, P4.first, P4.second, P3.first, P3.second);
  }
  for (const TSpan& Sp : Arc.Spans) Outline.Add(Sp.Y, Sp.X0, Sp.X1);
  if (Kind == akChord) Outline.Add(P3.second, P3.first, P3.first);
  Outline.Normalize();
  // The fill: inner ellipse pixels inside the sector (pie) or on the arc's side of the chord.
  TRowSet Fill(Top, Bottom);
  Inner.Normalize();
  const i128 Qx = P4.first - P3.first, Qy = -(P4.second - P3.second);
  for (const TSpan& Sp : Inner.Spans)
    for (int64_t X = std::max<int64_t>(Sp.X0, C.Left); X <= std::min<int64_t>(Sp.X1, C.Right - 1); ++X) {
      const bool In = Kind == akPie ? Inside(X, Sp.Y)
                                    : Qx * (-(i128(Sp.Y) - P3.second)) - Qy * (i128(X) - P3.first) <= 0;
      if (In) Fill.Add(Sp.Y, X, X);
    }
  Fill.Normalize();
  Fill.Subtract(Outline);
  if (!HasPen) Outline = TRowSet(Top, Bottom);
  PaintShape(Outline, Fill, false);
}

void TCanvas::Arc(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4) {
  DrawArcShape(akArc, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}
void TCanvas::Pie(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4) {
  DrawArcShape(akPie, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}
void TCanvas::Chord(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4) {
  DrawArcShape(akChord, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

// ---- Flood fill and pixels --------------------------------------------------------------------

void TCanvas::FloodFill(int32_t X, int32_t Y, TColor Color, TFillStyle FillStyle) {
  if (FBrush.Style() == bsClear) return;
  TSurface S(FTarget, DeviceClip());
  const TRect C = S.Clip();
  const int64_t Sx = int64_t(X) + FOrigin.X, Sy = int64_t(Y) + FOrigin.Y;
  if (S.Empty() || Sx < C.Left || Sx >= C.Right || Sy < C.Top || Sy >= C.Bottom) return;
  const uint32_t Ref = ColorToRGB(Color);
  const auto Fillable = [&](uint32_t Pix) { return FillStyle == fsSurface ? Pix == Ref : Pix != Ref; };
  if (!Fillable(S.Row(static_cast<int32_t>(Sy))[Sx])) return;
  // Decide the whole area on the untouched picture first, then paint it once.
  const int32_t W = C.Right - C.Left, H = C.Bottom - C.Top;
  std::vector<uint8_t> Seen(static_cast<std::size_t>(W) * static_cast<std::size_t>(H), 0);
  TRowSet Area(C.Top, C.Bottom);
  std::vector<std::pair<int32_t, int32_t>> Stack{{static_cast<int32_t>(Sx), static_cast<int32_t>(Sy)}};
  const auto Mark = [&](int32_t Px, int32_t Py) -> uint8_t& {
    return Seen[static_cast<std::size_t>(Py - C.Top) * static_cast<std::size_t>(W) + static_cast<std::size_t>(Px - C.Left)];
  };
  while (!Stack.empty()) {
    auto [Px, Py] = Stack.back();
    Stack.pop_back();
    if (Mark(Px, Py)) continue;
    const uint32_t* Row = S.Row(Py);
    int32_t A = Px, B = Px;
    while (A > C.Left && !Mark(A - 1, Py) && Fillable(Row[A - 1])) --A;
    while (B + 1 < C.Right && !Mark(B + 1, Py) && Fillable(Row[B + 1])) ++B;
    for (int32_t Q = A; Q <= B; ++Q) Mark(Q, Py) = 1;
    Area.Add(Py, A, B);
    for (int32_t Ny : {Py - 1, Py + 1}) {
      if (Ny < C.Top || Ny >= C.Bottom) continue;
      const uint32_t* NRow = S.Row(Ny);
      for (int32_t Q = A; Q <= B; ++Q)
        if (!Mark(Q, Ny) && Fillable(NRow[Q]) && (Q == A || Mark(Q - 1, Ny) || !Fillable(NRow[Q - 1])))
          Stack.emplace_back(Q, Ny);
    }
  }
  Area.Normalize();
  Area.Paint(S, TPaint{ColorToRGB(FBrush.Color()), pmCopy, FBrush.Style()});
}

TColor TCanvas::Pixels(int32_t X, int32_t Y) const {
  const TRect C = DeviceClip();
  const int64_t Px = int64_t(X) + FOrigin.X, Py = int64_t(Y) + FOrigin.Y;
  if (Px < C.Left || Px >= C.Right || Py < C.Top || Py >= C.Bottom) return clNone;
  return FTarget->GetPixel(static_cast<int32_t>(Px), static_cast<int32_t>(Py));
}

void TCanvas::SetPixels(int32_t X, int32_t Y, TColor Color) {
  TSurface S(FTarget, DeviceClip());
  S.Pixel(int64_t(X) + FOrigin.X, int64_t(Y) + FOrigin.Y, TPaint{ColorToRGB(Color), pmCopy, bsSolid});
}

// ---- Text ------------------------------------------------------------------------------------

TSize TCanvas::TextExtent(std::string_view Text) const { return zef::TextExtent(FFont, Text); }

void TCanvas::TextOut(int32_t X, int32_t Y, std::string_view Text) {
  const TRect C = DeviceClip();
  if (FTarget != nullptr && C.Left < C.Right && C.Top < C.Bottom) {
    const TColor Bk = ColorToRGB(FBrush.Color());
    DrawText(*FTarget, C, Sat32(int64_t(X) + FOrigin.X), Sat32(int64_t(Y) + FOrigin.Y), Text, FFont,
             FBrush.Style() == bsSolid ? &Bk : nullptr);
  }
  FPenPos = {Sat32(int64_t(X) + TextWidth(Text)), Y};
}

void TCanvas::TextRect(const TRect& R, int32_t X, int32_t Y, std::string_view Text) {
  if (FTarget == nullptr) return;
  TRect C = DeviceClip();
  C.Left = std::max<int32_t>(C.Left, Sat32(int64_t(R.Left) + FOrigin.X));
  C.Top = std::max<int32_t>(C.Top, Sat32(int64_t(R.Top) + FOrigin.Y));
  C.Right = std::min<int32_t>(C.Right, Sat32(int64_t(R.Right) + FOrigin.X));
  C.Bottom = std::min<int32_t>(C.Bottom, Sat32(int64_t(R.Bottom) + FOrigin.Y));
  if (C.Left >= C.Right || C.Top >= C.Bottom) return;
  if (FBrush.Style() == bsSolid) {
    TSurface S(FTarget, C);
    const TPaint P{ColorToRGB(FBrush.Color()), pmCopy, bsSolid};
    for (int64_t Yy = C.Top; Yy < C.Bottom; ++Yy) S.Span(Yy, C.Left, C.Right, P);
  }
  DrawText(*FTarget, C, Sat32(int64_t(X) + FOrigin.X), Sat32(int64_t(Y) + FOrigin.Y), Text, FFont, nullptr);
}

void TCanvas::TextRect(const TRect& R, std::string_view Text, uint32_t Flags) {
  std::string Shown(Text);
  if (Flags & tfEndEllipsis) {
    const int32_t Avail = R.Right - R.Left;
    if (TextWidth(Shown) > Avail) {
      // The longest prefix of whole code points that fits with "..." (widths grow with the
      // prefix, so a binary search measures O(log n) candidates instead of every one).
      const std::u32string U = Utf8ToUtf32(Shown);
      const auto Candidate = [&U](std::size_t K) { return Utf32ToUtf8(U.substr(0, K)) + "..."; };
      std::size_t Lo = 0, Hi = U.size();
      while (Lo < Hi) {
        const std::size_t Mid = (Lo + Hi + 1) / 2;
        if (TextWidth(Candidate(Mid)) <= Avail) Lo = Mid;
        else Hi = Mid - 1;
      }
      Shown = Candidate(Lo);
    }
  }
  const TSize E = TextExtent(Shown);
  int32_t X = R.Left, Y = R.Top;
  if (Flags & tfCenter) X = R.Left + (R.Right - R.Left - E.cx) / 2;
  else if (Flags & tfRight) X = R.Right - E.cx;
  if (Flags & tfVerticalCenter) Y = R.Top + (R.Bottom - R.Top - E.cy) / 2;
  else if (Flags & tfBottom) Y = R.Bottom - E.cy;
  TextRect(R, X, Y, Shown);
}

// ---- Pictures --------------------------------------------------------------------------------

// Copies Src's pixel box (SL, ST, SW x SH, negative sizes mirror) onto the device box
// (DL, DT, DW x DH), scaling by nearest pixel or area average, combining by Rop.
void TCanvas::Blit(const TBitmap& Src, int64_t SL, int64_t ST, int64_t SW, int64_t SH, int64_t DL, int64_t DT,
                   int64_t DW, int64_t DH, TCopyMode Rop, bool Average, bool UseTransparency) {
  TSurface S(FTarget, DeviceClip());
  if (S.Empty() || SW == 0 || SH == 0 || DW == 0 || DH == 0 || Src.Empty()) return;
  // Normalise the destination to positive sizes, moving a mirror into the source.
  if (DW < 0) { DL += DW; DW = -DW; SL += SW; SW = -SW; }
  if (DH < 0) { DT += DH; DH = -DH; ST += SH; SH = -SH; }
  const TRect& C = S.Clip();
  const int64_t X0 = std::max<int64_t>(DL, C.Left), X1 = std::min<int64_t>(DL + DW, C.Right);
  const int64_t Y0 = std::max<int64_t>(DT, C.Top), Y1 = std::min<int64_t>(DT + DH, C.Bottom);
  if (X0 >= X1 || Y0 >= Y1) return;
  const uint32_t Pat = ColorToRGB(FBrush.Color());
  const uint32_t Op = (Rop >> 16) & 0xFF;
  const uint32_t Transp = UseTransparency ? Src.TransparentColor() : 0xFFFFFFFF;
  // Source copied first when it is this very picture, so overlapping copies work.
  std::vector<uint32_t> Copy;
  const uint32_t* SBits = Src.Bits();
  if (&Src == FTarget) {
    Copy.assign(Src.Bits(), Src.Bits() + static_cast<std::size_t>(Src.Width()) * Src.Height());
    SBits = Copy.data();
  }
  const int64_t SWid = Src.Width(), SHei = Src.Height();
  // Source column for destination column X: the source interval [a, b) it covers.
  const auto Range = [](int64_t D, int64_t DSize, int64_t SStart, int64_t SSize, bool Avg) -> std::pair<int64_t, int64_t> {
    const int64_t Abs = SSize < 0 ? -SSize : SSize;
    int64_t A = static_cast<int64_t>((i128(D) * Abs) / DSize);
    int64_t B = static_cast<int64_t>((i128(D + 1) * Abs + DSize - 1) / DSize);
    if (!Avg || B <= A) B = A + 1;
    if (!Avg) A = static_cast<int64_t>((i128(2 * D + 1) * Abs) / (2 * DSize)), B = A + 1;
    if (SSize < 0) return {SStart - B, SStart - A};
    return {SStart + A, SStart + B};
  };
  // The plain one-to-one copy, row by row: the step that puts a finished picture on screen.
  if (Op == 0xCC && !UseTransparency && !S.Quantizes() && SW == DW && SH == DH) {
    for (int64_t Y = Y0; Y < Y1; ++Y) {
      const int64_t Sy = ST + (Y - DT);
      if (Sy < 0 || Sy >= SHei) continue;
      const int64_t A = std::max<int64_t>(X0, DL - SL), B = std::min<int64_t>(X1, DL - SL + SWid);
      if (A < B) std::copy_n(SBits + Sy * SWid + (SL + A - DL), B - A, S.Row(static_cast<int32_t>(Y)) + A);
    }
    return;
  }
  // Source columns of every destination column, computed once.
  std::vector<std::pair<int64_t, int64_t>> Cols(static_cast<std::size_t>(X1 - X0));
  for (int64_t X = X0; X < X1; ++X) Cols[static_cast<std::size_t>(X - X0)] = Range(X - DL, DW, SL, SW, Average);
  for (int64_t Y = Y0; Y < Y1; ++Y) {
    const auto [Sy0, Sy1] = Range(Y - DT, DH, ST, SH, Average);
    uint32_t* Row = S.Row(static_cast<int32_t>(Y));
    for (int64_t X = X0; X < X1; ++X) {
      const auto [Sx0, Sx1] = Cols[static_cast<std::size_t>(X - X0)];
      uint64_t Rs = 0, Gs = 0, Bs = 0, N = 0;
      for (int64_t Sy = std::max<int64_t>(Sy0, 0); Sy < std::min(Sy1, SHei); ++Sy)
        for (int64_t Sx = std::max<int64_t>(Sx0, 0); Sx < std::min(Sx1, SWid); ++Sx) {
          const uint32_t Pix = SBits[Sy * SWid + Sx];
          Rs += Pix & 0xFF;
          Gs += (Pix >> 8) & 0xFF;
          Bs += (Pix >> 16) & 0xFF;
          ++N;
        }
      if (N == 0) continue;  // outside the source picture
      uint32_t Sp;
      if (N == 1) Sp = static_cast<uint32_t>(Rs | (Gs << 8) | (Bs << 16));
      else Sp = static_cast<uint32_t>(((Rs + N / 2) / N) | (((Gs + N / 2) / N) << 8) | (((Bs + N / 2) / N) << 16));
      if (UseTransparency && N == 1 && Sp == Transp) continue;
      uint32_t V = Op == 0xCC ? Sp : TernaryRop(Op, Pat, Sp, Row[X]);
      if (S.Quantizes()) V = QuantizeColor(V, S.Format());
      Row[X] = V;
    }
  }
}

void TCanvas::Draw(int32_t X, int32_t Y, const TBitmap& Picture) {
  Blit(Picture, 0, 0, Picture.Width(), Picture.Height(), int64_t(X) + FOrigin.X, int64_t(Y) + FOrigin.Y,
       Picture.Width(), Picture.Height(), FCopyMode, false, Picture.Transparent());
}

void TCanvas::StretchDraw(const TRect& R, const TBitmap& Picture) {
  Blit(Picture, 0, 0, Picture.Width(), Picture.Height(), int64_t(R.Left) + FOrigin.X, int64_t(R.Top) + FOrigin.Y,
       int64_t(R.Right) - R.Left, int64_t(R.Bottom) - R.Top, FCopyMode, FStretchMode == smAreaAverage,
       Picture.Transparent());
}

void TCanvas::CopyRect(const TRect& Dest, const TCanvas& Source, const TRect& SourceRect) {
  if (Source.FTarget == nullptr) return;
  Blit(*Source.FTarget, int64_t(SourceRect.Left) + Source.FOrigin.X, int64_t(SourceRect.Top) + Source.FOrigin.Y,
       int64_t(SourceRect.Right) - SourceRect.Left, int64_t(SourceRect.Bottom) - SourceRect.Top,
       int64_t(Dest.Left) + FOrigin.X, int64_t(Dest.Top) + FOrigin.Y, int64_t(Dest.Right) - Dest.Left,
       int64_t(Dest.Bottom) - Dest.Top, FCopyMode, FStretchMode == smAreaAverage, false);
}

} // namespace zef
