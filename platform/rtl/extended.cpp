#include "rtl/extended.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

namespace zef {

namespace {

constexpr int Bias = 16383;
constexpr int MaxExponent = 0x7FFF;
constexpr uint64_t IntegerBit = uint64_t(1) << 63;
constexpr uint64_t QuietBit = uint64_t(1) << 62;

void StoreFields(uint64_t Mantissa, unsigned SignAndExponent, uint8_t Out[10]) {
  for (int I = 0; I < 8; ++I) Out[I] = static_cast<uint8_t>(Mantissa >> (8 * I));
  Out[8] = static_cast<uint8_t>(SignAndExponent);
  Out[9] = static_cast<uint8_t>(SignAndExponent >> 8);
}

uint64_t LoadMantissa(const uint8_t In[10]) {
  uint64_t M = 0;
  for (int I = 0; I < 8; ++I) M |= uint64_t(In[I]) << (8 * I);
  return M;
}

unsigned LoadSignAndExponent(const uint8_t In[10]) { return In[8] | (unsigned(In[9]) << 8); }

// An exponent above zero needs the integer bit; without it the x87 refuses the operand.
bool IsInvalidEncoding(uint64_t Mantissa, int Exponent) {
  return Exponent != 0 && (Mantissa & IntegerBit) == 0;
}

template <class T> void EncodeExtended(T X, uint8_t Out[10]) {
  const unsigned Sign = std::signbit(X) ? 0x8000 : 0;
  if (std::isnan(X)) return StoreFields(IntegerBit | QuietBit, Sign | MaxExponent, Out);
  if (std::isinf(X)) return StoreFields(IntegerBit, Sign | MaxExponent, Out);
  if (X == 0) return StoreFields(0, Sign, Out);

  int E;
  const T M = std::frexp(std::fabs(X), &E); // |X| = M * 2^E, 0.5 <= M < 1
  int Biased = E - 1 + Bias;
  // Scale so that one unit is the mantissa's last bit: 2^63 <= Scaled < 2^64 for a normal
  // result; a denormal's last bit is worth 2^(1 - Bias - 63).
  int Shift = 64;
  if (Biased < 1) {
    Shift = 63 + Biased;
    Biased = 0;
  }
  const T Scaled = std::ldexp(M, Shift);
  const T Whole = std::floor(Scaled);
  const T Fraction = Scaled - Whole; // exact: both share the exponent of Scaled
  uint64_t Mantissa = static_cast<uint64_t>(Whole);
  if (Fraction > T(0.5) || (Fraction == T(0.5) && (Mantissa & 1) != 0)) {
    ++Mantissa;
    if (Mantissa == 0) { // carried out of 64 bits
      Mantissa = IntegerBit;
      ++Biased;
    } else if (Biased == 0 && Mantissa == IntegerBit) { // a denormal rounded up to normal
      Biased = 1;
    }
  }
  if (Biased >= MaxExponent) return StoreFields(IntegerBit, Sign | MaxExponent, Out);
  StoreFields(Mantissa, Sign | static_cast<unsigned>(Biased), Out);
}

template <class T> T DecodeExtended(const uint8_t In[10]) {
  uint64_t Mantissa = LoadMantissa(In);
  const unsigned SignAndExponent = LoadSignAndExponent(In);
  const int Exponent = static_cast<int>(SignAndExponent & MaxExponent);
  const T One = (SignAndExponent & 0x8000) != 0 ? T(-1) : T(1);

  if (Exponent == MaxExponent)
    return Mantissa == IntegerBit ? One * std::numeric_limits<T>::infinity()
                                  : std::copysign(std::numeric_limits<T>::quiet_NaN(), One);
  if (IsInvalidEncoding(Mantissa, Exponent))
    return std::copysign(std::numeric_limits<T>::quiet_NaN(), One);
  if (Mantissa == 0) return std::copysign(T(0), One);

  // Value = Mantissa * 2^E; denormals and pseudo-denormals share the exponent of 1.
  int E = (Exponent == 0 ? 1 : Exponent) - Bias - 63;
  const int LeadingZeros = std::countl_zero(Mantissa);
  Mantissa <<= LeadingZeros;
  E -= LeadingZeros;

  // Round to the bits T keeps at this magnitude, fewer in T's denormal range.
  constexpr int Digits = std::numeric_limits<T>::digits;
  constexpr int MinNormalExponent = std::numeric_limits<T>::min_exponent - 1;
  const int LeadingExponent = E + 63;
  const int Keep = LeadingExponent >= MinNormalExponent
                       ? Digits
                       : Digits - (MinNormalExponent - LeadingExponent);
  const int Drop = 64 - Keep;
  if (Drop > 64) return std::copysign(T(0), One); // below half the smallest denormal
  if (Drop > 0) {
    const uint64_t Kept = Drop == 64 ? 0 : Mantissa >> Drop;
    const uint64_t Rest = Drop == 64 ? Mantissa : Mantissa & ((uint64_t(1) << Drop) - 1);
    const uint64_t Half = uint64_t(1) << (Drop - 1);
    Mantissa = Kept + ((Rest > Half || (Rest == Half && (Kept & 1) != 0)) ? 1 : 0);
    E += Drop;
  }
  // Mantissa now fits T exactly, so ldexp rounds nothing (it may still overflow to inf).
  return One * std::ldexp(static_cast<T>(Mantissa), E);
}

} // namespace

void ExtendedBytesFromDouble(double X, uint8_t Out[10]) { EncodeExtended(X, Out); }

double DoubleFromExtendedBytes(const uint8_t In[10]) { return DecodeExtended<double>(In); }

void ExtendedBytesFromLongDouble(long double X, uint8_t Out[10]) { EncodeExtended(X, Out); }

long double LongDoubleFromExtendedBytes(const uint8_t In[10]) {
  return DecodeExtended<long double>(In);
}

#if LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384 && (defined(__x86_64__) || defined(__i386__))

void ExtendedToBytes(long double X, uint8_t Out[10]) { std::memcpy(Out, &X, 10); }

long double BytesToExtended(const uint8_t In[10]) {
  const unsigned SignAndExponent = LoadSignAndExponent(In);
  if (IsInvalidEncoding(LoadMantissa(In), static_cast<int>(SignAndExponent & MaxExponent)))
    return std::copysign(std::numeric_limits<long double>::quiet_NaN(),
                         (SignAndExponent & 0x8000) != 0 ? -1.0L : 1.0L);
  long double X = 0;
  std::memcpy(&X, In, 10);
  return X;
}

#else

void ExtendedToBytes(long double X, uint8_t Out[10]) { ExtendedBytesFromLongDouble(X, Out); }

long double BytesToExtended(const uint8_t In[10]) { return LongDoubleFromExtendedBytes(In); }

#endif

} // namespace zef
