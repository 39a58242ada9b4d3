#include "ZEF_univconst.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace zef {
namespace {

TEST(UnivConst, LnFactorialTable) {
  EXPECT_EQ(uc_LnFactorial[0], 0.0);
  EXPECT_EQ(uc_LnFactorial[1], 0.0);
  EXPECT_EQ(uc_LnFactorial[2], 0.693147180559945);
  EXPECT_EQ(uc_LnFactorial[1000], 5912.12817848816);
  // Independent check against the log-gamma function: 15 significant digits leave a
  // relative error of at most 5e-15.
  for (int N = 2; N <= 1000; ++N) {
    const long double Exact = std::lgammal(static_cast<long double>(N) + 1);
    EXPECT_NEAR(uc_LnFactorial[static_cast<std::size_t>(N)] / static_cast<double>(Exact), 1.0, 6e-15) << N;
  }
}

TEST(UnivConst, MathematicalConstantsAgreeWithTheLibrary) {
  using namespace std::numbers;
  const long double Tol = 4 * std::numeric_limits<long double>::epsilon();
  const std::pair<long double, long double> Cases[] = {
      {uc_e, e_v<long double>},
      {uc_etom1, 1 / e_v<long double>},
      {uc_lg2, std::log10(2.0L)},
      {uc_lg5, std::log10(5.0L)},
      {uc_lge, log10e_v<long double>},
      {uc_lgPi, std::log10(pi_v<long double>)},
      {uc_ln10, ln10_v<long double>},
      {uc_ln2, ln2_v<long double>},
      {uc_lnPi, std::log(pi_v<long double>)},
      {uc_PiH, pi_v<long double> / 2},
      {uc_PiSqr, pi_v<long double> * pi_v<long double>},
      {uc_Pitom1, inv_pi_v<long double>},
      {uc_sqrt2, sqrt2_v<long double>},
      {uc_sqrt2pi, std::sqrt(2 * pi_v<long double>)},
      {uc_sqrt2pitom1, 1 / std::sqrt(2 * pi_v<long double>)},
      {uc_GoldenR, phi_v<long double>},
  };
  for (auto [Ours, Theirs] : Cases) EXPECT_NEAR(Ours / Theirs, 1.0L, Tol) << static_cast<double>(Ours);
}

TEST(UnivConst, LimitsAndTheirLogarithms) {
  EXPECT_GT(uc_MinExtended, 0.0L);
  EXPECT_EQ(uc_MinExtended / 2, 0.0L);  // the smallest positive extended value
  EXPECT_EQ(uc_MaxInt64, INT64_MAX);
  // The logarithms are those of the limits as stated above.
  const std::pair<long double, long double> Cases[] = {
      {uc_lnMinDouble, uc_MinDouble},     {uc_lnMaxDouble, uc_MaxDouble},
      {uc_lnMaxExtended, uc_MaxExtended},
      {uc_lnMaxInt64, static_cast<long double>(uc_MaxInt64)},
      {uc_lnMinReal, uc_MinReal},         {uc_lnMaxReal, uc_MaxReal},
      {uc_lnMinSingle, uc_MinSingle},     {uc_lnMaxSingle, uc_MaxSingle},
  };
  for (auto [Ln, Limit] : Cases)
    EXPECT_NEAR(static_cast<double>(Ln), static_cast<double>(std::log(Limit)), 1e-10) << static_cast<double>(Ln);
  // 3.6e-4951 itself lies between two denormals, so its logarithm is taken in parts.
  EXPECT_NEAR(static_cast<double>(uc_lnMinExtended),
              static_cast<double>(std::log(3.6L) - 4951 * std::log(10.0L)), 1e-9);
}

} // namespace
} // namespace zef
