#include "rtl/mathfn.h"

#include <gtest/gtest.h>

#include <limits>

namespace zef {
namespace {

TEST(Rounding, TiesToEvenAndSaturation) {
  struct Case { long double X; int64_t Round, Trunc; };
  constexpr int64_t Max = std::numeric_limits<int64_t>::max();
  constexpr int64_t Min = std::numeric_limits<int64_t>::min();
  const Case Cases[] = {
      {2.5L, 2, 2},    {-2.5L, -2, -2}, {3.5L, 4, 3},       {-3.5L, -4, -3},
      {0.49999999999999994L, 0, 0}, {1e30L, Max, Max}, {-1e30L, Min, Min},
      {0x1p63L, Max, Max},  // 2^63 itself does not fit
      {-0x1p63L, Min, Min}, {0x1p63L - 1, Max, Max}, {-0x1p62L, -0x4000000000000000LL, -0x4000000000000000LL},
      {std::numeric_limits<long double>::infinity(), Max, Max},
      {std::numeric_limits<long double>::quiet_NaN(), 0, 0},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(Round(C.X), C.Round) << static_cast<double>(C.X);
    EXPECT_EQ(Trunc(C.X), C.Trunc) << static_cast<double>(C.X);
  }
  EXPECT_EQ(RoundInt(1e10L), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(TruncInt(-1e10L), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(SaturatingCast<uint8_t>(300.0), 255);
  EXPECT_EQ(SaturatingCast<uint8_t>(-1.0), 0);
  EXPECT_EQ(SaturatingCast<int16_t>(-1234.9), -1234);
}

TEST(Rounding, IntAndFracKeepTheSign) {
  EXPECT_EQ(Int(-2.75L), -2.0L);
  EXPECT_EQ(Frac(-2.75L), -0.75L);
  EXPECT_EQ(Frac(2.75L), 0.75L);
  EXPECT_EQ(Floor(-2.5L), -3);
  EXPECT_EQ(Ceil(-2.5L), -2);
}

TEST(MathFunctions, Values) {
  EXPECT_NEAR(static_cast<double>(ArcTanh(0.5L)), 0.5493061443340549, 1e-15);
  EXPECT_EQ(Hypot(3, 4), 5.0L);
  EXPECT_EQ(IntPower(2, 10), 1024.0L);
  EXPECT_EQ(IntPower(2, -2), 0.25L);
  EXPECT_EQ(IntPower(-3, 3), -27.0L);
  EXPECT_EQ(IntPower(1, std::numeric_limits<int>::min()), 1.0L);
  EXPECT_EQ(Power(0, 0), 1.0L);
  EXPECT_EQ(Power(-2, 3), -8.0L);
  EXPECT_NEAR(static_cast<double>(Power(2, 0.5L)), 1.4142135623730951, 1e-15);
  EXPECT_NEAR(static_cast<double>(Log10(1000)), 3.0, 1e-15);
  EXPECT_EQ(Sign(-0.1L), -1);
  EXPECT_EQ(Sign(0), 0);
  EXPECT_EQ(EnsureRange(15, 0, 10), 10);
  EXPECT_EQ(EnsureRange(-1.5, 0.0, 1.0), 0.0);
  EXPECT_TRUE(SameValue(1.0, 1.0 + 1e-14));
  EXPECT_FALSE(SameValue(1.0, 1.0001));
  EXPECT_TRUE(SameValue(1.0, 1.05, 0.1));
  EXPECT_TRUE(SameValue(0.0, 0.0));
  EXPECT_TRUE(IsZero(1e-13));
  EXPECT_FALSE(IsZero(1e-3));
  EXPECT_TRUE(IsZero(1e-3, 0.01));
}

TEST(RandomNumbers, SeedGivesRepeatableSequenceInRange) {
  SetRandSeed(42);
  std::vector<double> First;
  for (int I = 0; I < 100; ++I) First.push_back(Random());
  SetRandSeed(42);
  for (int I = 0; I < 100; ++I) EXPECT_EQ(Random(), First[static_cast<std::size_t>(I)]);
  EXPECT_EQ(RandSeed(), 42u);

  int Counts[10] = {};
  for (int I = 0; I < 100000; ++I) {
    const int32_t R = Random(10);
    ASSERT_GE(R, 0);
    ASSERT_LT(R, 10);
    ++Counts[R];
  }
  for (int C : Counts) EXPECT_NEAR(C, 10000, 500);
  EXPECT_EQ(Random(0), 0);
  for (int I = 0; I < 1000; ++I) {
    const double R = Random();
    ASSERT_GE(R, 0.0);
    ASSERT_LT(R, 1.0);
  }
}

} // namespace
} // namespace zef
