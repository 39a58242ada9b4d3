#include "rtl/extended.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace zef {
namespace {

using TBytes = std::array<uint8_t, 10>;

// Builds the ten bytes from the sign-and-exponent word and the mantissa.
TBytes Ext(uint16_t SignExp, uint64_t Mantissa) {
  TBytes B{};
  for (int I = 0; I < 8; ++I) B[I] = static_cast<uint8_t>(Mantissa >> (8 * I));
  B[8] = static_cast<uint8_t>(SignExp);
  B[9] = static_cast<uint8_t>(SignExp >> 8);
  return B;
}

TBytes FromDouble(double X) {
  TBytes B{};
  ExtendedBytesFromDouble(X, B.data());
  return B;
}

uint64_t Bits(double X) { return std::bit_cast<uint64_t>(X); }

TEST(Extended, KnownBytePatternsOfDoubles) {
  constexpr double Inf = std::numeric_limits<double>::infinity();
  const struct {
    double X;
    TBytes Bytes;
  } Cases[] = {
      {1.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {-2.5, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0}},
      {0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {-0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}},
      {Inf, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}},
      {-Inf, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}},
      {DBL_MAX, {0, 0xF8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x43}},
      // The smallest double denormal, 2^-1074, is a normal extended value.
      {std::numeric_limits<double>::denorm_min(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xCD, 0x3B}},
      {0.1, {0x00, 0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.X);
    EXPECT_EQ(FromDouble(C.X), C.Bytes);
    EXPECT_EQ(Bits(DoubleFromExtendedBytes(C.Bytes.data())), Bits(C.X));
    TBytes Native{};
    ExtendedToBytes(C.X, Native.data());
    EXPECT_EQ(Native, C.Bytes);
    const long double Back = BytesToExtended(C.Bytes.data());
    EXPECT_EQ(Back, static_cast<long double>(C.X));
    EXPECT_EQ(std::signbit(Back), std::signbit(C.X));
  }
}

TEST(Extended, NaNsAndInvalidEncodingsReadAsNaN) {
  EXPECT_EQ(FromDouble(std::numeric_limits<double>::quiet_NaN()), Ext(0x7FFF, 0xC000000000000000));
  EXPECT_EQ(FromDouble(-std::numeric_limits<double>::quiet_NaN()), Ext(0xFFFF, 0xC000000000000000));
  const TBytes NaNs[] = {
      Ext(0x7FFF, 0xC000000000000000), // quiet NaN
      Ext(0xFFFF, 0x8000000000000001), // signalling NaN
      Ext(0x7FFF, 0x0000000000000000), // pseudo-infinity
      Ext(0x7FFF, 0x4000000000000000), // pseudo-NaN
      Ext(0x3FFF, 0x4000000000000000), // unnormal
      Ext(0x0001, 0x0000000000000000), // unnormal zero
  };
  for (const TBytes& B : NaNs) {
    EXPECT_TRUE(std::isnan(DoubleFromExtendedBytes(B.data())));
    EXPECT_TRUE(std::isnan(LongDoubleFromExtendedBytes(B.data())));
    EXPECT_TRUE(std::isnan(BytesToExtended(B.data())));
  }
  EXPECT_TRUE(std::signbit(DoubleFromExtendedBytes(Ext(0xBFFF, 0x4000000000000000).data())));
}

TEST(Extended, DenormalsAndPseudoDenormals) {
  const TBytes Smallest = Ext(0, 1);
  EXPECT_EQ(Bits(DoubleFromExtendedBytes(Smallest.data())), Bits(0.0));
  EXPECT_EQ(Bits(DoubleFromExtendedBytes(Ext(0x8000, 1).data())), Bits(-0.0));
  EXPECT_EQ(LongDoubleFromExtendedBytes(Smallest.data()), std::ldexp(1.0L, -16445));
  EXPECT_EQ(LongDoubleFromExtendedBytes(Ext(0, 0x4000000000000000).data()),
            std::ldexp(1.0L, -16383));
  // A pseudo-denormal reads like the normal value with exponent 1.
  EXPECT_EQ(LongDoubleFromExtendedBytes(Ext(0, 0x8000000000000000).data()),
            std::ldexp(1.0L, -16382));
  EXPECT_EQ(LongDoubleFromExtendedBytes(Ext(0, 0x8000000000000000).data()),
            LongDoubleFromExtendedBytes(Ext(1, 0x8000000000000000).data()));
}

// Reading into a double rounds once, to nearest with ties to even, also at the ends of
// the double range.
TEST(Extended, ReadingRoundsToTheNearestDouble) {
  constexpr uint64_t One = 0x8000000000000000;
  const struct {
    TBytes Bytes;
    double Expected;
  } Cases[] = {
      {Ext(0x3FFF, One | 0x400), 1.0},           // 1 + 2^-53: tie
      {Ext(0x3FFF, One | 0x401), 1.0 + 0x1p-52}, // just above the tie
      {Ext(0x3FFF, One | 0xC00), 1.0 + 0x1p-51}, // tie, odd: up
      {Ext(0x43FE, 0xFFFFFFFFFFFFFC00),
       std::numeric_limits<double>::infinity()}, // rounds past DBL_MAX
      {Ext(0x43FE, 0xFFFFFFFFFFFFFBFF), DBL_MAX},
      {Ext(0x7FFE, One), std::numeric_limits<double>::infinity()},
      {Ext(16383 - 1075, One), 0.0}, // half the least denormal
      {Ext(16383 - 1075, One | 1), 0x1p-1074},
      {Ext(16383 - 1074, 0xC000000000000000), 0x1p-1073}, // 1.5 * 2^-1074: tie
      {Ext(16383 - 1076, 0xFFFFFFFFFFFFFFFF), 0.0},
      {Ext(16383 - 1023, 0xFFFFFFFFFFFFFFFF), 0x1p-1022}, // denormal rounds to normal
      {Ext(16383 - 1030, One | (uint64_t(1) << 55)), 0x1p-1030 + 0x1p-1038},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(Bits(DoubleFromExtendedBytes(C.Bytes.data())), Bits(C.Expected)) << C.Expected;
}

TEST(Extended, DoublesRoundTrip) {
  std::mt19937_64 Gen(11);
  for (int K = 0; K < 200000; ++K) {
    const double X = std::bit_cast<double>(Gen());
    if (std::isnan(X)) continue;
    const TBytes B = FromDouble(X);
    ASSERT_EQ(Bits(DoubleFromExtendedBytes(B.data())), Bits(X)) << X;
  }
}

#if LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384

// Random patterns; half of them have the exponent near an edge of the double range and
// some have the bits below a double's mantissa set to a tie, so that the rounding into
// denormals, to infinity and of ties is exercised.
TBytes RandomPattern(std::mt19937_64& Gen) {
  const uint64_t R = Gen();
  uint16_t Exp = static_cast<uint16_t>(R & 0xFFFF);
  if ((R >> 16) & 1) {
    const int Edges[] = {16383 - 1022, 16383 - 1074, 16383 + 1023, 0};
    Exp = static_cast<uint16_t>((Edges[(R >> 17) & 3] + int((R >> 20) & 127) - 64) & 0x7FFF);
    Exp |= static_cast<uint16_t>(R & 0x8000);
  }
  uint64_t Mantissa = Gen();
  if ((R >> 30) & 1) Mantissa = (Mantissa & ~uint64_t(0x7FF)) | 0x400; // a tie for a double
  return Ext(Exp, Mantissa);
}

TEST(Extended, PortablePathAgreesWithTheX87) {
  std::mt19937_64 Gen(5);
  for (int K = 0; K < 200000; ++K) {
    const double X = std::bit_cast<double>(Gen());
    if (std::isnan(X)) continue;
    TBytes Native{};
    ExtendedToBytes(X, Native.data());
    ASSERT_EQ(FromDouble(X), Native) << X;
  }
  for (int K = 0; K < 200000; ++K) {
    const TBytes B = RandomPattern(Gen);
    const long double Native = BytesToExtended(B.data());
    const double Portable = DoubleFromExtendedBytes(B.data());
    const long double PortableLong = LongDoubleFromExtendedBytes(B.data());
    if (std::isnan(Native)) {
      ASSERT_TRUE(std::isnan(Portable));
      ASSERT_TRUE(std::isnan(PortableLong));
      continue;
    }
    ASSERT_EQ(Bits(Portable), Bits(static_cast<double>(Native))) << std::hex << B[9] * 256 + B[8];
    ASSERT_EQ(PortableLong, Native);
    ASSERT_EQ(std::signbit(PortableLong), std::signbit(Native));
    // Writing gives the pattern back, except that a pseudo-denormal becomes canonical.
    const bool PseudoDenormal = (B[9] & 0x7F) == 0 && B[8] == 0 && B[7] >= 0x80;
    if (!PseudoDenormal) {
      TBytes Again{};
      ExtendedBytesFromLongDouble(PortableLong, Again.data());
      ASSERT_EQ(Again, B);
    }
  }
}

#endif

TEST(Extended, LongDoublesRoundTrip) {
  std::mt19937_64 Gen(3);
  for (int K = 0; K < 100000; ++K) {
    const long double X =
        std::ldexp(static_cast<long double>(Gen()) + 0.5L, static_cast<int>(Gen() % 2000) - 1000);
    TBytes B{}, P{};
    ExtendedToBytes(X, B.data());
    ExtendedBytesFromLongDouble(X, P.data());
    ASSERT_EQ(B, P);
    ASSERT_EQ(BytesToExtended(B.data()), LongDoubleFromExtendedBytes(B.data()));
    ASSERT_EQ(static_cast<double>(BytesToExtended(B.data())), DoubleFromExtendedBytes(B.data()));
  }
}

} // namespace
} // namespace zef
