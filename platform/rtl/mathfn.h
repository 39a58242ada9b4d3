// Rounding, saturating conversion and the mathematical functions beyond <cmath> that the
// components use, plus a seedable pseudo-random generator.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace zef {

// The one conversion of a floating-point value to an integer type: truncates toward zero,
// saturates at the type's limits and maps NaN to 0 (a plain cast would be undefined).
template <class I, class F>
constexpr I SaturatingCast(F X) noexcept {
  static_assert(std::is_integral_v<I> && std::is_floating_point_v<F>);
  if (X != X) return 0;
  constexpr F Lo = static_cast<F>(std::numeric_limits<I>::min());
  // 2^bits exactly representable; the largest integer value is one below it.
  constexpr F HiExclusive = static_cast<F>(std::numeric_limits<I>::max() / 2 + 1) * F(2);
  if (X <= Lo) return std::numeric_limits<I>::min();
  if (X >= HiExclusive) return std::numeric_limits<I>::max();
  return static_cast<I>(X);
}

// Round to nearest, ties to even, saturating at the limits of int64 (NaN gives 0).
int64_t Round(long double X) noexcept;
// Cut toward zero, saturating (NaN gives 0).
int64_t Trunc(long double X) noexcept;
// Rounded and saturated to a signed 32-bit value.
int32_t RoundInt(long double X) noexcept;
int32_t TruncInt(long double X) noexcept;
// Integer part as a float (toward zero) and fractional part with the sign of X.
long double Int(long double X) noexcept;
long double Frac(long double X) noexcept;
int64_t Floor(long double X) noexcept;
int64_t Ceil(long double X) noexcept;

long double ArcTanh(long double X) noexcept;
long double Hypot(long double X, long double Y) noexcept;
// Base ** Exponent by repeated squaring (negative exponents give the reciprocal).
long double IntPower(long double Base, int Exponent) noexcept;
// Base ** Exponent; an integral Exponent goes through IntPower, 0 ** 0 is 1.
long double Power(long double Base, long double Exponent) noexcept;
long double Log10(long double X) noexcept;
long double Log2(long double X) noexcept;
long double LogN(long double Base, long double X) noexcept;
// -1, 0 or 1.
int Sign(long double X) noexcept;
template <class T>
constexpr T EnsureRange(T Value, T Min, T Max) noexcept {
  return Value < Min ? Min : (Value > Max ? Max : Value);
}
// Whether A and B agree within Epsilon; Epsilon 0 picks a tolerance scaled to the larger
// magnitude (1e-12 relative for double precision).
bool SameValue(double A, double B, double Epsilon = 0) noexcept;
// Whether |A| is at most Epsilon (0 picks 1e-12).
bool IsZero(double A, double Epsilon = 0) noexcept;
template <class T>
constexpr T Min(T A, T B) noexcept { return B < A ? B : A; }
template <class T>
constexpr T Max(T A, T B) noexcept { return A < B ? B : A; }
long double DegToRad(long double Degrees) noexcept;
long double RadToDeg(long double Radians) noexcept;

// ---- Pseudo-random numbers ----------------------------------------------------------------
// One process-wide generator (xoshiro256**), seeded by RandSeed. The same seed gives the
// same sequence on every machine.

void SetRandSeed(uint64_t Seed);
uint64_t RandSeed();
// Seeds from the clock.
void Randomize();
// A value in [0, 1).
double Random();
// An integer in [0, Range); 0 when Range <= 0.
int32_t Random(int32_t Range);
// A normally distributed value (Box-Muller).
double RandG(double Mean, double StdDev);

} // namespace zef
