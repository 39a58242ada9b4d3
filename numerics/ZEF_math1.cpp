#include "ZEF_math1.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "rtl/mathfn.h"
#include "rtl/numconv.h"

namespace zef {
namespace {

const char* const DegreeSign = "\xC2\xB0";

// V (a whole number or one with Decimals decimals, 0 <= V < 60) with two integer digits.
std::string TwoDigitField(long double V, int Decimals) {
  std::string S = FixedStr(V, 0, Decimals);
  const std::size_t IntDigits = S.find('.') == std::string::npos ? S.size() : S.find('.');
  if (IntDigits < 2) S.insert(0, 2 - IntDigits, '0');
  return S;
}

// Bisection for the root s of (r0 z0 / (s + r0))^2 + (z1 / (s + 1))^2 = 1 that gives the
// nearest point of the ellipse (the Lagrange multiplier of the distance problem).
double EllipseRoot(double R0, double Z0, double Z1, double G) {
  const double N0 = R0 * Z0;
  double S0 = Z1 - 1;
  double S1 = G < 0 ? 0 : std::hypot(N0, Z1) - 1;
  double S = 0;
  for (int I = 0; I < 2200; ++I) {  // enough halvings to reach adjacent doubles
    S = (S0 + S1) / 2;
    if (S == S0 || S == S1) break;
    const double Ratio0 = N0 / (S + R0);
    const double Ratio1 = Z1 / (S + 1);
    G = Ratio0 * Ratio0 + Ratio1 * Ratio1 - 1;
    if (G > 0)
      S0 = S;
    else if (G < 0)
      S1 = S;
    else
      break;
  }
  return S;
}

// Distance from (Y0, Y1), both >= 0, to the ellipse with half axes E0 >= E1 > 0.
double EllipseQuadrantDistance(double E0, double E1, double Y0, double Y1) {
  if (Y1 > 0) {
    if (Y0 > 0) {
      const double Z0 = Y0 / E0;
      const double Z1 = Y1 / E1;
      const double G = Z0 * Z0 + Z1 * Z1 - 1;
      if (G == 0) return 0;
      const double R0 = (E0 / E1) * (E0 / E1);
      const double S = EllipseRoot(R0, Z0, Z1, G);
      const double X0 = R0 * Y0 / (S + R0);
      const double X1 = Y1 / (S + 1);
      return std::hypot(X0 - Y0, X1 - Y1);
    }
    return std::fabs(Y1 - E1);
  }
  const double Numer0 = E0 * Y0;
  const double Denom0 = E0 * E0 - E1 * E1;
  if (Numer0 < Denom0) {  // on the major axis inside the evolute: the nearest point is off-axis
    const double XdE0 = Numer0 / Denom0;
    const double X0 = E0 * XdE0;
    const double X1 = E1 * std::sqrt(1 - XdE0 * XdE0);
    return std::hypot(X0 - Y0, X1);
  }
  return std::fabs(Y0 - E0);
}

template <class T>
bool Precedes(T A, T B, bool Ascending) {
  if constexpr (std::is_floating_point_v<T>) {
    if (std::isnan(A)) return false;
    if (std::isnan(B)) return true;
  }
  return Ascending ? A < B : B < A;
}

template <class T>
int32_t SortInto(std::span<T> Values, T NewValue, bool Ascending, bool AfterEquals) {
  if constexpr (std::is_floating_point_v<T>)
    if (std::isnan(NewValue)) return -1;
  const auto Before = [&](T Entry) {  // NewValue goes in front of Entry
    if (Ascending) return AfterEquals ? NewValue < Entry : NewValue <= Entry;
    return AfterEquals ? NewValue > Entry : NewValue >= Entry;
  };
  const auto Slot = std::find_if(Values.begin(), Values.end(), Before);
  if (Slot == Values.end()) return -1;
  std::move_backward(Slot, Values.end() - 1, Values.end());
  *Slot = NewValue;
  return static_cast<int32_t>(Slot - Values.begin());
}

template <class T>
void InsertInto(std::span<T> Values, T NewValue, int32_t Slot) {
  if (Slot < 0 || static_cast<std::size_t>(Slot) >= Values.size()) return;
  std::move_backward(Values.begin() + Slot, Values.end() - 1, Values.end());
  Values[static_cast<std::size_t>(Slot)] = NewValue;
}

bool IsBlank(char C) { return C == ' ' || C == '\t'; }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }
int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

} // namespace

// ---- 1. Scale arithmetic ------------------------------------------------------------------

void CalcScalePars(int32_t NTicks, long double Low, long double High, long double& FirstTick,
                   long double& TickDist, uint16_t& SubTicks) {
  FirstTick = Low;
  TickDist = 0;
  SubTicks = 1;
  const long double Range = High - Low;
  if (!std::isfinite(Range) || Range == 0) return;
  const long double Raw = std::fabs(Range) / std::max(NTicks, 1);
  if (!(Raw > 0)) return;
  // Raw = M * Decade with 1 <= M < 10; the tolerance keeps a Raw of exactly 2 or 5 units
  // (which division may leave a hair below) on that step.
  long double Decade = std::pow(10.0L, std::floor(std::log10(Raw)));
  long double M = Raw / Decade;
  constexpr long double Tol = 1 - 1e-9L;
  if (M >= 10 * Tol) {
    Decade *= 10;
    M /= 10;
  } else if (M < Tol) {
    Decade /= 10;
    M *= 10;
  }
  const int Mantissa = M >= 5 * Tol ? 5 : (M >= 2 * Tol ? 2 : 1);
  const long double Step = Mantissa * Decade;
  const long double Q = Low / Step;
  long double First = (Range > 0 ? std::ceil(Q - 1e-9L) : std::floor(Q + 1e-9L)) * Step;
  if (std::fabs(First) < 1e-9L * Step) First = 0;
  FirstTick = First;
  TickDist = Range > 0 ? Step : -Step;
  SubTicks = Mantissa == 2 ? 4 : 5;
}

double Round125(double X) {
  if (!std::isfinite(X) || X == 0) return 0;
  const long double A = std::fabs(static_cast<long double>(X));
  long double Decade = std::pow(10.0L, std::floor(std::log10(A)));
  long double M = A / Decade;
  if (M >= 10) {
    Decade *= 10;
    M /= 10;
  } else if (M < 1) {
    Decade /= 10;
    M *= 10;
  }
  // The boundaries between 1, 2, 5 and 10 are their geometric means.
  long double R = 10;
  if (M < std::sqrt(2.0L))
    R = 1;
  else if (M < std::sqrt(10.0L))
    R = 2;
  else if (M < std::sqrt(50.0L))
    R = 5;
  while (R > 1 && R * Decade > std::numeric_limits<double>::max())
    R = R == 10 ? 5 : (R == 5 ? 2 : 1);
  return std::copysign(static_cast<double>(R * Decade), X);
}

// ---- 2. Angles as text --------------------------------------------------------------------

std::string DegreeToStr(double Angle, int32_t Format, int32_t Decimals) {
  if (!std::isfinite(Angle)) return FixedStr(Angle, 0, 0);
  const int D = std::clamp(Decimals, 0, 10);
  if (Format == 0) return FixedStr(Angle, 0, D) + DegreeSign;
  if (Format != 1 && Format != 2) return FixedStr(Angle, 0, D);
  // Count the angle in units of the last field's last decimal, so that rounding carries.
  const long double Scale = std::pow(10.0L, D);
  const long double PerDegree = (Format == 1 ? 60 : 3600) * Scale;
  const long double Units = std::nearbyint(std::fabs(static_cast<long double>(Angle)) * PerDegree);
  const long double Degrees = std::floor(Units / PerDegree);
  const long double Rest = Units - Degrees * PerDegree;
  std::string S = Angle < 0 && Units > 0 ? "-" : "";
  S += FixedStr(Degrees, 0, 0) + DegreeSign;
  if (Format == 1) return S + TwoDigitField(Rest / Scale, D) + "'";
  const long double Minutes = std::floor(Rest / (60 * Scale));
  const long double Seconds = (Rest - Minutes * 60 * Scale) / Scale;
  return S + TwoDigitField(Minutes, 0) + "'" + TwoDigitField(Seconds, D) + "\"";
}

// ---- 3. Scanning text ---------------------------------------------------------------------

TDateTime ScanDateTime(std::string_view Text, std::string_view Format, int32_t) {
  int Year = 1899, Month = 12, Day = 30, Hour = 0, Minute = 0, Second = 0, MSec = 0;
  std::size_t T = 0;
  std::size_t F = 0;
  while (F < Format.size()) {
    const char C = Format[F];
    std::size_t Run = 1;
    while (F + Run < Format.size() && Format[F + Run] == C) ++Run;
    int* Field = nullptr;
    switch (C) {
      case 'y': case 'Y': Field = &Year; break;
      case 'm': Field = &Month; break;
      case 'd': case 'D': Field = &Day; break;
      case 'h': case 'H': Field = &Hour; break;
      case 'M': case 'n': case 'N': Field = &Minute; break;
      case 's': case 'S': Field = &Second; break;
      case 'z': case 'Z': Field = &MSec; break;
      default: break;
    }
    if (T + Run > Text.size()) return 0;
    if (Field != nullptr) {
      if (Run > 9) return 0;
      int V = 0;
      for (std::size_t K = 0; K < Run; ++K) {
        if (!IsDigit(Text[T + K])) return 0;
        V = V * 10 + (Text[T + K] - '0');
      }
      if (Field == &Year && Run == 2) V += V < 50 ? 2000 : 1900;
      *Field = V;
    }
    T += Run;
    F += Run;
  }
  TDateTime Result;
  if (!TryEncodeDateTime(Year, Month, Day, Hour, Minute, Second, MSec, Result)) return 0;
  return Result;
}

int64_t ScanHex(std::string_view Text) {
  std::size_t I = 0;
  while (I < Text.size() && IsBlank(Text[I])) ++I;
  if (I < Text.size() && Text[I] == '$')
    ++I;
  else if (I + 2 < Text.size() && Text[I] == '0' && (Text[I + 1] == 'x' || Text[I + 1] == 'X') &&
           HexDigit(Text[I + 2]) >= 0)
    I += 2;
  uint64_t V = 0;
  for (; I < Text.size() && HexDigit(Text[I]) >= 0; ++I) V = V * 16 + uint64_t(HexDigit(Text[I]));
  return static_cast<int64_t>(V);
}

int64_t ScanDecimal(std::string_view Text, int32_t& Index) {
  if (Index < 1 || static_cast<std::size_t>(Index) > Text.size()) return 0;
  std::size_t I = static_cast<std::size_t>(Index - 1);
  while (I < Text.size() && IsBlank(Text[I])) ++I;
  bool Negative = false;
  if (I < Text.size() && (Text[I] == '+' || Text[I] == '-')) Negative = Text[I++] == '-';
  if (I >= Text.size() || !IsDigit(Text[I])) return 0;
  constexpr int64_t Max = std::numeric_limits<int64_t>::max();
  int64_t V = 0;
  bool Saturated = false;
  for (; I < Text.size() && IsDigit(Text[I]); ++I) {
    const int Digit = Text[I] - '0';
    if (V > (Max - Digit) / 10)
      Saturated = true;
    else
      V = V * 10 + Digit;
  }
  Index = static_cast<int32_t>(I + 1);
  if (Saturated) return Negative ? std::numeric_limits<int64_t>::min() : Max;
  return Negative ? -V : V;
}

std::string Hex(int64_t Value, int32_t Digits) {
  if (Value < 0 && Value >= std::numeric_limits<int32_t>::min())
    Value = static_cast<int64_t>(static_cast<uint32_t>(Value));
  return IntToHex(Value, std::max(Digits, 1));
}

bool IsValidDecInt(std::string_view Text) {
  int32_t V;
  return TryStrToInt(Text, V);
}

// ---- 4. Numbers ---------------------------------------------------------------------------

double IntNeg(double X) { return std::floor(X); }

int32_t Signum(long double X) { return X > 0 ? 1 : (X < 0 ? -1 : 0); }

bool BRandom(double Probability) {
  if (!(Probability > 0)) return false;
  if (Probability >= 1) return true;
  return Random() < Probability;
}

double GRandom(double Mean, double StdDev) { return RandG(Mean, StdDev); }

// ---- 5. Distances in the plane ------------------------------------------------------------

double DistanceToSegment(double X, double Y, double X1, double Y1, double X2, double Y2) {
  const double Dx = X2 - X1;
  const double Dy = Y2 - Y1;
  const double L2 = Dx * Dx + Dy * Dy;
  const double T = L2 > 0 ? std::clamp(((X - X1) * Dx + (Y - Y1) * Dy) / L2, 0.0, 1.0) : 0.0;
  return std::hypot(X - (X1 + T * Dx), Y - (Y1 + T * Dy));
}

double DistFromRect(double X, double Y, double X1, double Y1, double X2, double Y2) {
  const double Dx = std::max({std::min(X1, X2) - X, 0.0, X - std::max(X1, X2)});
  const double Dy = std::max({std::min(Y1, Y2) - Y, 0.0, Y - std::max(Y1, Y2)});
  return std::hypot(Dx, Dy);
}

double DistFromEllipse(double X, double Y, double CenterX, double CenterY, double HalfAxisX,
                       double HalfAxisY) {
  double U = std::fabs(X - CenterX);
  double V = std::fabs(Y - CenterY);
  double A = std::fabs(HalfAxisX);
  double B = std::fabs(HalfAxisY);
  if (A < B) {
    std::swap(A, B);
    std::swap(U, V);
  }
  if (B == 0) return DistanceToSegment(U, V, -A, 0, A, 0);
  return EllipseQuadrantDistance(A, B, U, V);
}

// ---- 6. Sorting ---------------------------------------------------------------------------

void SortArray(bool Ascending, std::span<double> Values) {
  std::stable_sort(Values.begin(), Values.end(),
                   [=](double A, double B) { return Precedes(A, B, Ascending); });
}

void SortArray(bool Ascending, std::span<int32_t> Values) {
  std::stable_sort(Values.begin(), Values.end(),
                   [=](int32_t A, int32_t B) { return Precedes(A, B, Ascending); });
}

int32_t SortIntoArray(std::span<double> Values, double NewValue, bool Ascending,
                      bool AfterEquals) {
  return SortInto(Values, NewValue, Ascending, AfterEquals);
}

int32_t SortIntoArray(std::span<int32_t> Values, int32_t NewValue, bool Ascending,
                      bool AfterEquals) {
  return SortInto(Values, NewValue, Ascending, AfterEquals);
}

void InsertIntoArray(std::span<int32_t> Values, int32_t NewValue, int32_t Slot) {
  InsertInto(Values, NewValue, Slot);
}

void InsertIntoArray(std::span<double> Values, double NewValue, int32_t Slot) {
  InsertInto(Values, NewValue, Slot);
}

} // namespace zef
