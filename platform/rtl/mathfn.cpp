#include "rtl/mathfn.h"

#include <chrono>

namespace zef {

int64_t Round(long double X) noexcept { return SaturatingCast<int64_t>(std::nearbyintl(X)); }
int64_t Trunc(long double X) noexcept { return SaturatingCast<int64_t>(X); }
int32_t RoundInt(long double X) noexcept { return SaturatingCast<int32_t>(std::nearbyintl(X)); }
int32_t TruncInt(long double X) noexcept { return SaturatingCast<int32_t>(X); }
int64_t Floor(long double X) noexcept { return SaturatingCast<int64_t>(std::floor(X)); }
int64_t Ceil(long double X) noexcept { return SaturatingCast<int64_t>(std::ceil(X)); }

long double Int(long double X) noexcept { return std::trunc(X); }

long double Frac(long double X) noexcept {
  if (std::isinf(X)) return 0;
  return X - std::trunc(X);
}

long double ArcTanh(long double X) noexcept { return std::atanh(X); }
long double Hypot(long double X, long double Y) noexcept { return std::hypot(X, Y); }

long double IntPower(long double Base, int Exponent) noexcept {
  // Unsigned magnitude so that INT_MIN does not overflow on negation.
  unsigned long long N = Exponent < 0 ? 0ULL - static_cast<unsigned long long>(Exponent)
                                      : static_cast<unsigned long long>(Exponent);
  long double Result = 1;
  long double Factor = Base;
  while (N) {
    if (N & 1) Result *= Factor;
    Factor *= Factor;
    N >>= 1;
  }
  return Exponent < 0 ? 1 / Result : Result;
}

long double Power(long double Base, long double Exponent) noexcept {
  if (Exponent == 0) return 1;
  if (Exponent == std::trunc(Exponent) && std::fabs(Exponent) <= 2147483647.0L)
    return IntPower(Base, static_cast<int>(Exponent));
  return std::pow(Base, Exponent);
}

long double Log10(long double X) noexcept { return std::log10(X); }
long double Log2(long double X) noexcept { return std::log2(X); }
long double LogN(long double Base, long double X) noexcept { return std::log(X) / std::log(Base); }

int Sign(long double X) noexcept { return X > 0 ? 1 : (X < 0 ? -1 : 0); }

bool SameValue(double A, double B, double Epsilon) noexcept {
  if (Epsilon == 0) Epsilon = std::max(std::fabs(A), std::fabs(B)) * 1e-12;
  if (Epsilon == 0) return A == B;
  return std::fabs(A - B) <= Epsilon;
}

bool IsZero(double A, double Epsilon) noexcept {
  return std::fabs(A) <= (Epsilon == 0 ? 1e-12 : Epsilon);
}

long double DegToRad(long double Degrees) noexcept {
  return Degrees * 3.141592653589793238462643383279502884L / 180;
}
long double RadToDeg(long double Radians) noexcept {
  return Radians * 180 / 3.141592653589793238462643383279502884L;
}

// ---- Pseudo-random numbers ----------------------------------------------------------------

namespace {

struct TRandomState {
  uint64_t Seed = 0;
  uint64_t S[4] = {};
};

uint64_t SplitMix(uint64_t& X) {
  uint64_t Z = (X += 0x9E3779B97F4A7C15ULL);
  Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBULL;
  return Z ^ (Z >> 31);
}

TRandomState& State() {
  static TRandomState St = [] {
    TRandomState R;
    uint64_t X = 0;
    for (auto& W : R.S) W = SplitMix(X);
    return R;
  }();
  return St;
}

uint64_t Rotl(uint64_t X, int K) { return (X << K) | (X >> (64 - K)); }

uint64_t NextRandom() {
  uint64_t* S = State().S;
  const uint64_t Result = Rotl(S[1] * 5, 7) * 9;
  const uint64_t T = S[1] << 17;
  S[2] ^= S[0];
  S[3] ^= S[1];
  S[1] ^= S[2];
  S[0] ^= S[3];
  S[2] ^= T;
  S[3] = Rotl(S[3], 45);
  return Result;
}

} // namespace

void SetRandSeed(uint64_t Seed) {
  TRandomState& St = State();
  St.Seed = Seed;
  uint64_t X = Seed;
  for (auto& W : St.S) W = SplitMix(X);
}

uint64_t RandSeed() { return State().Seed; }

void Randomize() {
  SetRandSeed(static_cast<uint64_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

double Random() { return static_cast<double>(NextRandom() >> 11) * 0x1.0p-53; }

int32_t Random(int32_t Range) {
  if (Range <= 0) return 0;
  // Multiply-shift maps 32 random bits onto [0, Range) without a modulo bias worth noting.
  return static_cast<int32_t>(((NextRandom() >> 32) * static_cast<uint64_t>(Range)) >> 32);
}

double RandG(double Mean, double StdDev) {
  double U1;
  do U1 = Random(); while (U1 == 0);
  const double U2 = Random();
  return Mean + StdDev * std::sqrt(-2.0 * std::log(U1)) * std::cos(2 * 3.14159265358979323846 * U2);
}

} // namespace zef
