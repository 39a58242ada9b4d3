#include "graphics/raster.h"

#include <algorithm>
#include <cmath>

namespace zef::raster {

namespace {

using i128 = __int128;

int64_t FloorDiv(i128 A, i128 B) {  // B > 0
  i128 Q = A / B;
  if ((A % B != 0) && (A < 0)) --Q;
  return static_cast<int64_t>(Q);
}
int64_t CeilDiv(i128 A, i128 B) { return -FloorDiv(-A, B); }

// 8x8 hatch cells, by surface position.
bool HatchCell(TBrushStyle H, int64_t X, int64_t Y) {
  const int64_t Xm = X & 7;
  const int64_t Ym = Y & 7;
  switch (H) {
    case bsHorizontal: return Ym == 0;
    case bsVertical: return Xm == 0;
    case bsFDiagonal: return ((X - Y) & 7) == 0;
    case bsBDiagonal: return ((X + Y) & 7) == 0;
    case bsCross: return Xm == 0 || Ym == 0;
    case bsDiagCross: return ((X - Y) & 7) == 0 || ((X + Y) & 7) == 0;
    default: return true;
  }
}

} // namespace

// ---- TSurface --------------------------------------------------------------------------------

TSurface::TSurface(TBitmap* Target, const TRect& Clip) {
  if (Target == nullptr || Target->Empty()) {
    FClip = TRect{};
    return;
  }
  FBits = Target->Bits();
  FWidth = Target->Width();
  FFormat = Target->PixelFormat();
  FQuantize = FormatQuantizes(FFormat);
  FClip.Left = std::max(Clip.Left, 0);
  FClip.Top = std::max(Clip.Top, 0);
  FClip.Right = std::min(Clip.Right, Target->Width());
  FClip.Bottom = std::min(Clip.Bottom, Target->Height());
}

uint32_t TSurface::Combine(uint32_t D, const TPaint& P) const {
  uint32_t R;
  switch (P.Mode) {
    case pmCopy: R = P.Color; break;
    case pmXor: R = D ^ P.Color; break;
    case pmNotXor: R = ~(D ^ P.Color); break;
    case pmNot: R = ~D; break;
    case pmBlack: R = 0; break;
    case pmWhite: R = 0xFFFFFF; break;
    case pmMerge: R = D | P.Color; break;
    case pmMask: R = D & P.Color; break;
    default: R = D; break;
  }
  R &= 0x00FFFFFF;
  return FQuantize ? QuantizeColor(R, FFormat) : R;
}

void TSurface::Span(int64_t Y, int64_t X0, int64_t X1, const TPaint& P) {
  if (Y < FClip.Top || Y >= FClip.Bottom) return;
  X0 = std::max<int64_t>(X0, FClip.Left);
  X1 = std::min<int64_t>(X1, FClip.Right);
  if (X0 >= X1) return;
  uint32_t* R = Row(static_cast<int32_t>(Y));
  if (P.Hatch == bsSolid) {
    if (P.Mode == pmCopy) {
      std::fill(R + X0, R + X1, FQuantize ? QuantizeColor(P.Color & 0xFFFFFF, FFormat) : (P.Color & 0xFFFFFF));
    } else {
      for (int64_t X = X0; X < X1; ++X) R[X] = Combine(R[X], P);
    }
    return;
  }
  for (int64_t X = X0; X < X1; ++X)
    if (HatchCell(P.Hatch, X, Y)) R[X] = Combine(R[X], P);
}

void TSurface::Pixel(int64_t X, int64_t Y, const TPaint& P) {
  if (X < FClip.Left || X >= FClip.Right || Y < FClip.Top || Y >= FClip.Bottom) return;
  if (P.Hatch != bsSolid && !HatchCell(P.Hatch, X, Y)) return;
  uint32_t& D = Row(static_cast<int32_t>(Y))[X];
  D = Combine(D, P);
}

// ---- TRowSet ---------------------------------------------------------------------------------

void TRowSet::Normalize() {
  if (Spans.size() < 2) return;
  const auto Less = [](const TSpan& A, const TSpan& B) { return A.Y != B.Y ? A.Y < B.Y : A.X0 < B.X0; };
  // Most shapes produce their runs in order already.
  if (!std::is_sorted(Spans.begin(), Spans.end(), Less)) std::sort(Spans.begin(), Spans.end(), Less);
  std::size_t Out = 0;
  for (std::size_t I = 1; I < Spans.size(); ++I) {
    TSpan& Last = Spans[Out];
    if (Spans[I].Y == Last.Y && Spans[I].X0 <= Last.X1 + 1) Last.X1 = std::max(Last.X1, Spans[I].X1);
    else Spans[++Out] = Spans[I];
  }
  Spans.resize(Out + 1);
}

void TRowSet::Subtract(const TRowSet& Other) {
  if (Other.Spans.empty() || Spans.empty()) return;
  std::vector<TSpan> Result;
  Result.reserve(Spans.size() + Other.Spans.size());
  std::size_t J = 0;
  for (const TSpan& S : Spans) {
    while (J < Other.Spans.size() && (Other.Spans[J].Y < S.Y || (Other.Spans[J].Y == S.Y && Other.Spans[J].X1 < S.X0))) ++J;
    int64_t From = S.X0;
    for (std::size_t K = J; K < Other.Spans.size() && Other.Spans[K].Y == S.Y && Other.Spans[K].X0 <= S.X1; ++K) {
      if (Other.Spans[K].X0 > From) Result.push_back({S.Y, From, Other.Spans[K].X0 - 1});
      From = std::max(From, Other.Spans[K].X1 + 1);
    }
    if (From <= S.X1) Result.push_back({S.Y, From, S.X1});
  }
  Spans = std::move(Result);
}

void TRowSet::Paint(TSurface& S, const TPaint& P) const {
  for (const TSpan& Sp : Spans) S.Span(Sp.Y, Sp.X0, Sp.X1 + 1, P);
}

// ---- Thin lines ------------------------------------------------------------------------------

namespace {

// Walks the pixels of a width-1 line (end point left out) that fall inside Clip and calls
// Plot(x, y, stepIndex) for each.
template <class F>
void WalkLine(const TRect& Clip, int64_t X0, int64_t Y0, int64_t X1, int64_t Y1, F&& Plot) {
  const int64_t Dx = X1 - X0;
  const int64_t Dy = Y1 - Y0;
  if (Dx == 0 && Dy == 0) return;
  const bool XMajor = std::llabs(Dx) >= std::llabs(Dy);
  // Major axis u, minor axis v; u = u0 + su * i, v = v0 + sv * m(i) with
  // m(i) = floor((2 i a + b) / 2b), i = 0 .. b-1.
  const int64_t U0 = XMajor ? X0 : Y0;
  const int64_t V0 = XMajor ? Y0 : X0;
  const int64_t Su = (XMajor ? Dx : Dy) > 0 ? 1 : -1;
  const int64_t Sv = (XMajor ? Dy : Dx) >= 0 ? 1 : -1;
  const int64_t B = std::llabs(XMajor ? Dx : Dy);
  const int64_t A = std::llabs(XMajor ? Dy : Dx);
  const int64_t ULo = XMajor ? Clip.Left : Clip.Top;
  const int64_t UHi = (XMajor ? Clip.Right : Clip.Bottom) - 1;
  const int64_t VLo = XMajor ? Clip.Top : Clip.Left;
  const int64_t VHi = (XMajor ? Clip.Bottom : Clip.Right) - 1;
  if (ULo > UHi || VLo > VHi) return;

  // Steps whose major coordinate lies inside the clip.
  int64_t ILo = 0;
  int64_t IHi = B - 1;
  if (Su > 0) {
    ILo = std::max(ILo, ULo - U0);
    IHi = std::min(IHi, UHi - U0);
  } else {
    ILo = std::max(ILo, U0 - UHi);
    IHi = std::min(IHi, U0 - ULo);
  }
  // Steps whose minor offset m lies inside [MLo, MHi].
  const int64_t MLo = Sv > 0 ? VLo - V0 : V0 - VHi;
  const int64_t MHi = Sv > 0 ? VHi - V0 : V0 - VLo;
  if (A == 0) {
    if (MLo > 0 || MHi < 0) return;
  } else {
    // m(i) >= MLo  <=>  2ia + b >= 2b*MLo ; m(i) <= MHi <=> 2ia + b < 2b(MHi + 1)
    ILo = std::max<int64_t>(ILo, CeilDiv(i128(2) * B * MLo - B, i128(2) * A));
    IHi = std::min<int64_t>(IHi, CeilDiv(i128(2) * B * (MHi + 1) - B, i128(2) * A) - 1);
  }
  if (ILo > IHi) return;

  const i128 T = i128(2) * ILo * A + B;
  int64_t M = FloorDiv(T, i128(2) * B);
  int64_t E = static_cast<int64_t>(T - i128(M) * 2 * B);  // 0 <= E < 2B
  const int64_t TwoA = 2 * A;
  const int64_t TwoB = 2 * B;
  for (int64_t I = ILo; I <= IHi; ++I) {
    const int64_t U = U0 + Su * I;
    const int64_t V = V0 + Sv * M;
    if (XMajor) Plot(U, V, I);
    else Plot(V, U, I);
    E += TwoA;
    if (E >= TwoB) {
      E -= TwoB;
      ++M;
    }
  }
}

} // namespace

void ThinLine(TSurface& S, int64_t X0, int64_t Y0, int64_t X1, int64_t Y1, const TPaint& P,
              const TDash* Dash, int64_t* Phase, const TPaint* GapPaint) {
  const int64_t Steps = std::max(std::llabs(X1 - X0), std::llabs(Y1 - Y0));
  if (S.Empty()) {
    if (Phase) *Phase += Steps;
    return;
  }
  if (Dash == nullptr) {
    if (P.Mode == pmCopy && P.Hatch == bsSolid) {
      // The hot path: plain stores.
      const uint32_t C = S.Quantizes() ? QuantizeColor(P.Color & 0xFFFFFF, S.Format()) : (P.Color & 0xFFFFFF);
      uint32_t* Bits = S.Row(0);
      const int64_t W = S.Width();
      WalkLine(S.Clip(), X0, Y0, X1, Y1, [&](int64_t X, int64_t Y, int64_t) { Bits[Y * W + X] = C; });
    } else {
      WalkLine(S.Clip(), X0, Y0, X1, Y1, [&](int64_t X, int64_t Y, int64_t) { S.Pixel(X, Y, P); });
    }
    return;
  }
  const int64_t Start = Phase ? *Phase : 0;
  WalkLine(S.Clip(), X0, Y0, X1, Y1, [&](int64_t X, int64_t Y, int64_t I) {
    int64_t Pos = (Start + I) % Dash->Length;
    bool On = true;
    for (int K = 0; K < Dash->Count; ++K) {
      if (Pos < Dash->Pattern[K]) break;
      Pos -= Dash->Pattern[K];
      On = !On;
    }
    if (On) S.Pixel(X, Y, P);
    else if (GapPaint) S.Pixel(X, Y, *GapPaint);
  });
  if (Phase) *Phase += Steps;
}

void ThinLineInto(TRowSet& Set, int64_t X0, int64_t Y0, int64_t X1, int64_t Y1) {
  const TRect Clip{INT32_MIN / 2, static_cast<int32_t>(std::max<int64_t>(Set.Top, INT32_MIN / 2)),
                   INT32_MAX / 2, static_cast<int32_t>(std::min<int64_t>(Set.Bottom, INT32_MAX / 2))};
  WalkLine(Clip, X0, Y0, X1, Y1, [&](int64_t X, int64_t Y, int64_t) { Set.Add(Y, X, X); });
}

// ---- Thick lines -----------------------------------------------------------------------------

void ThickSegmentInto(TRowSet& Set, int64_t X0, int64_t Y0, int64_t X1, int64_t Y1, int32_t Width) {
  const long double R = Width / 2.0L;
  const long double Bias = (Width % 2 == 0) ? 0.5L : 0.0L;
  const long double Ax = X0 + Bias, Ay = Y0 + Bias, Bx = X1 + Bias, By = Y1 + Bias;
  const long double Dx = Bx - Ax, Dy = By - Ay;
  const long double Len2 = Dx * Dx + Dy * Dy;
  const long double Len = std::sqrt(Len2);
  constexpr long double Eps = 1e-9L;
  const int64_t YFirst = std::max<int64_t>(static_cast<int64_t>(std::floor(std::min(Ay, By) - R)), Set.Top);
  const int64_t YLast = std::min<int64_t>(static_cast<int64_t>(std::ceil(std::max(Ay, By) + R)), Set.Bottom - 1);
  for (int64_t Y = YFirst; Y <= YLast; ++Y) {
    long double Lo = INFINITY, Hi = -INFINITY;
    const auto Disc = [&](long double Cx, long double Cy) {
      const long double H = R * R - (Y - Cy) * (Y - Cy);
      if (H < -Eps) return;
      const long double Half = std::sqrt(std::max(H, 0.0L));
      Lo = std::min(Lo, Cx - Half);
      Hi = std::max(Hi, Cx + Half);
    };
    Disc(Ax, Ay);
    Disc(Bx, By);
    if (Len2 > 0) {
      // Band |Dx (y - Ay) - Dy (x - Ax)| <= R Len and projection 0 <= Dx (x - Ax) + Dy (y - Ay) <= Len2.
      long double BLo = -INFINITY, BHi = INFINITY;
      const long double Yr = Y - Ay;
      const auto Clamp = [&](long double Coef, long double Const, long double Min, long double Max) {
        // Min <= Coef * x' + Const <= Max, x' = x - Ax
        if (std::fabs(Coef) < 1e-18L) {
          if (Const < Min - Eps || Const > Max + Eps) { BLo = INFINITY; BHi = -INFINITY; }
          return;
        }
        long double L = (Min - Const) / Coef, H = (Max - Const) / Coef;
        if (L > H) std::swap(L, H);
        BLo = std::max(BLo, L + Ax);
        BHi = std::min(BHi, H + Ax);
      };
      Clamp(-Dy, Dx * Yr, -R * Len, R * Len);
      Clamp(Dx, Dy * Yr, 0, Len2);
      if (BLo <= BHi) {
        Lo = std::min(Lo, BLo);
        Hi = std::max(Hi, BHi);
      }
    }
    if (Lo > Hi) continue;
    Set.Add(Y, static_cast<int64_t>(std::ceil(Lo - Eps)), static_cast<int64_t>(std::floor(Hi + Eps)));
  }
}

// ---- Polygons --------------------------------------------------------------------------------

void PolygonInteriorInto(TRowSet& Set, const TPoint* Points, std::size_t Count, TPoint Offset) {
  if (Count < 3) return;
  // Edge table: each non-horizontal edge covers rows Y0..Y1-1 (half-open, so a vertex shared
  // by two edges counts once). On row Y the crossing is X = N / D with
  // N = X0 * D + (X1 - X0) * (Y - Y0), D = Y1 - Y0 > 0, stepped by X1 - X0 per row.
  struct TEdge {
    int64_t Y0, Y1;
    i128 N, Step, D;
  };
  std::vector<TEdge> Edges;
  Edges.reserve(Count);
  for (std::size_t I = 0; I < Count; ++I) {
    int64_t Ax = int64_t(Points[I].X) + Offset.X, Ay = int64_t(Points[I].Y) + Offset.Y;
    int64_t Bx = int64_t(Points[(I + 1) % Count].X) + Offset.X, By = int64_t(Points[(I + 1) % Count].Y) + Offset.Y;
    if (Ay == By) continue;
    if (Ay > By) {
      std::swap(Ax, Bx);
      std::swap(Ay, By);
    }
    if (By <= Set.Top || Ay >= Set.Bottom) continue;
    const int64_t Start = std::max(Ay, Set.Top);
    const i128 D = By - Ay;
    Edges.push_back({Start, std::min(By, Set.Bottom), i128(Ax) * D + i128(Bx - Ax) * (Start - Ay), Bx - Ax, D});
  }
  if (Edges.empty()) return;
  std::sort(Edges.begin(), Edges.end(), [](const TEdge& A, const TEdge& B) { return A.Y0 < B.Y0; });
  // Pixel centres X with Xa <= X < Xb are inside, so each crossing is rounded up.
  const auto Ceil = [](i128 N, i128 D) -> int64_t {
    if (N >= INT64_MIN / 2 && N <= INT64_MAX / 2 && D <= INT64_MAX / 2) {
      const int64_t Nn = static_cast<int64_t>(N), Dd = static_cast<int64_t>(D);
      const int64_t Q = Nn / Dd;
      return Q + ((Nn % Dd) > 0 ? 1 : 0);
    }
    return CeilDiv(N, D);
  };
  std::vector<std::size_t> Active;
  std::vector<int64_t> Xs;
  std::size_t Next = 0;
  for (int64_t Y = Edges.front().Y0; Y < Set.Bottom; ++Y) {
    while (Next < Edges.size() && Edges[Next].Y0 == Y) Active.push_back(Next++);
    Active.erase(std::remove_if(Active.begin(), Active.end(), [&](std::size_t E) { return Edges[E].Y1 <= Y; }),
                 Active.end());
    if (Active.empty()) {
      if (Next == Edges.size()) break;
      Y = Edges[Next].Y0 - 1;
      continue;
    }
    Xs.clear();
    for (std::size_t E : Active) {
      TEdge& Ed = Edges[E];
      Xs.push_back(Ceil(Ed.N, Ed.D));
      Ed.N += Ed.Step;
    }
    std::sort(Xs.begin(), Xs.end());
    for (std::size_t K = 0; K + 1 < Xs.size(); K += 2) Set.Add(Y, Xs[K], Xs[K + 1] - 1);
  }
  Set.Normalize();
}

// ---- Ellipses --------------------------------------------------------------------------------

std::pair<int64_t, int64_t> TEllipseRows::Row(int64_t Y) const {
  const int64_t A = X2 - X1;
  const int64_t B = Y2 - Y1;
  if (A <= 0 || B <= 0) return {1, 0};
  // Doubled coordinates: centre (X1 + X2 - 1, Y1 + Y2 - 1), radii A and B, so that the
  // extreme pixels of the box are reached.
  const int64_t Yd = 2 * Y - (Y1 + Y2 - 1);
  if (Yd > B || Yd < -B) return {1, 0};
  int64_t Xmax;
  if (A < (int64_t(1) << 30) && B < (int64_t(1) << 30)) {
    const i128 Rhs = i128(A) * A * (i128(B) * B - i128(Yd) * Yd);  // X^2 B^2 <= Rhs
    const i128 B2 = i128(B) * B;
    Xmax = static_cast<int64_t>(std::sqrt(static_cast<long double>(Rhs) / static_cast<long double>(B2)));
    while (Xmax > 0 && i128(Xmax) * Xmax * B2 > Rhs) --Xmax;
    while (i128(Xmax + 1) * (Xmax + 1) * B2 <= Rhs) ++Xmax;
  } else {
    const long double Bl = B, Yl = Yd;
    Xmax = static_cast<int64_t>(std::floor(A * std::sqrt(std::max(0.0L, Bl * Bl - Yl * Yl)) / Bl));
  }
  const int64_t C = X1 + X2 - 1;
  return {CeilDiv(C - Xmax, 2), FloorDiv(C + Xmax, 2)};
}

} // namespace zef::raster
