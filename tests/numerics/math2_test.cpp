#include "ZEF_math2.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "rtl/mathfn.h"

namespace zef {
namespace {

constexpr double Pi = 3.14159265358979323846;

TEST(SphereGreatCircleDist, AgreesWithTheVectorFormula) {
  EXPECT_NEAR(SphereGreatCircleDist(6378000, 0, 0, 0, 90), Pi / 2 * 6378000, 1e-6);
  EXPECT_NEAR(SphereGreatCircleDist(6378000, 0, 0, 0, 180), Pi * 6378000, 1e-6);
  EXPECT_NEAR(SphereGreatCircleDist(1, 90, 0, -90, 33), Pi, 1e-15);
  EXPECT_EQ(SphereGreatCircleDist(1, 12, 34, 12, 34), 0);
  // A short step keeps its relative accuracy: 1e-7 degrees along a meridian.
  EXPECT_NEAR(SphereGreatCircleDist(6378000, 45, 7, 45 + 1e-7, 7), 6378000 * 1e-7 * Pi / 180,
              1e-9);
  SetRandSeed(3);
  for (int K = 0; K < 200; ++K) {
    const double La1 = Random() * 180 - 90, Lo1 = Random() * 360 - 180;
    const double La2 = Random() * 180 - 90, Lo2 = Random() * 360 - 180;
    const auto Unit = [](double La, double Lo) {
      const double A = La * Pi / 180, B = Lo * Pi / 180;
      return std::array<double, 3>{std::cos(A) * std::cos(B), std::cos(A) * std::sin(B),
                                   std::sin(A)};
    };
    const auto P = Unit(La1, Lo1), Q = Unit(La2, Lo2);
    const double Cross = std::hypot(P[1] * Q[2] - P[2] * Q[1], P[2] * Q[0] - P[0] * Q[2],
                                    P[0] * Q[1] - P[1] * Q[0]);
    const double Dot = P[0] * Q[0] + P[1] * Q[1] + P[2] * Q[2];
    EXPECT_NEAR(SphereGreatCircleDist(2.5, La1, Lo1, La2, Lo2), 2.5 * std::atan2(Cross, Dot),
                1e-12);
  }
}

// The determinant of the 3 x 3 matrix of the first three axes (axis i in column i).
double AxesDeterminant() {
  const auto E = [](int I, int K) { return GetEigenResult(I, K); };
  return E(1, 1) * (E(2, 2) * E(3, 3) - E(3, 2) * E(2, 3)) -
         E(2, 1) * (E(1, 2) * E(3, 3) - E(3, 2) * E(1, 3)) +
         E(3, 1) * (E(1, 2) * E(2, 3) - E(2, 2) * E(1, 3));
}

TEST(CalcPrincComp, PointsOnATiltedPlaneGiveItsNormalAsThirdAxis) {
  // z = 0.5 x + 0.25 y + 3, with x and y spread unevenly; normal (-0.5, -0.25, 1).
  SetRandSeed(11);
  TMatrix M(4, 200);  // column 4 is not part of the analysis
  for (int R = 1; R <= 200; ++R) {
    const double X = RandG(0, 5), Y = RandG(0, 2);
    M.SetVal(1, R, X);
    M.SetVal(2, R, Y);
    M.SetVal(3, R, 0.5 * X + 0.25 * Y + 3);
    M.SetVal(4, R, 1e6);
  }
  ASSERT_TRUE(CalcPrincComp(M, 1, 3, 1, 200, pcsCentered));
  const double Norm = std::sqrt(0.25 + 0.0625 + 1);
  const double Dot = (-0.5 * GetEigenResult(3, 1) - 0.25 * GetEigenResult(3, 2) +
                      GetEigenResult(3, 3)) / Norm;
  EXPECT_NEAR(std::fabs(Dot), 1, 1e-12);
  EXPECT_NEAR(GetEigenValue(3), 0, 1e-10);
  EXPECT_GT(GetEigenValue(1), GetEigenValue(2));
  EXPECT_GT(GetEigenValue(2), GetEigenValue(3) + 1);
  for (int I = 1; I <= 3; ++I)
    for (int J = 1; J <= 3; ++J) {
      double S = 0;
      for (int K = 1; K <= 3; ++K) S += GetEigenResult(I, K) * GetEigenResult(J, K);
      EXPECT_NEAR(S, I == J ? 1 : 0, 1e-12) << I << "," << J;
    }
  EXPECT_NEAR(AxesDeterminant(), 1, 1e-12);
  // The first two axes have their largest component positive.
  for (int I = 1; I <= 2; ++I) {
    int Largest = 1;
    for (int K = 2; K <= 3; ++K)
      if (std::fabs(GetEigenResult(I, K)) > std::fabs(GetEigenResult(I, Largest))) Largest = K;
    EXPECT_GT(GetEigenResult(I, Largest), 0) << I;
  }
  EXPECT_EQ(GetEigenResult(0, 1), 0);
  EXPECT_EQ(GetEigenResult(1, 4), 0);
  EXPECT_EQ(GetEigenValue(4), 0);
}

TEST(CalcPrincComp, FlatMoleculeTurnsInItsPlane) {
  // Atoms along the direction (1, 1) with a small spread across; z is 0 for all of them.
  TMatrix M(3, 5);
  const double P[5][2] = {{0, 0}, {1, 1.2}, {2, 1.8}, {3, 3.1}, {4, 3.9}};
  for (int R = 1; R <= 5; ++R) {
    M.SetVal(1, R, P[R - 1][0]);
    M.SetVal(2, R, P[R - 1][1]);
  }
  ASSERT_TRUE(CalcPrincComp(M, 1, 3, 1, 5, 1));
  EXPECT_NEAR(GetEigenResult(1, 1), std::sqrt(0.5), 0.02);
  EXPECT_NEAR(GetEigenResult(1, 2), std::sqrt(0.5), 0.02);
  EXPECT_NEAR(std::fabs(GetEigenResult(3, 3)), 1, 1e-15);  // the z axis, eigenvalue 0
  EXPECT_EQ(GetEigenValue(3), 0);
  EXPECT_NEAR(AxesDeterminant(), 1, 1e-12);
}

TEST(CalcPrincComp, ScalingsAndFailures) {
  TMatrix M(2, 4);
  const double P[4][2] = {{1, 10}, {2, 30}, {3, 20}, {4, 40}};
  for (int R = 1; R <= 4; ++R) {
    M.SetVal(1, R, P[R - 1][0]);
    M.SetVal(2, R, P[R - 1][1]);
  }
  // Correlation matrix: its eigenvalues are 1 + r and 1 - r; r = 0.8 here.
  ASSERT_TRUE(CalcPrincComp(M, 2, 1, 4, 1, pcsStandardized));
  EXPECT_NEAR(GetEigenValue(1), 1.8, 1e-12);
  EXPECT_NEAR(GetEigenValue(2), 0.2, 1e-12);
  // Raw: the mean of the squares about the origin; trace = (1+4+9+16 + 100+900+400+1600) / 4.
  ASSERT_TRUE(CalcPrincComp(M, 1, 2, 1, 4, pcsRaw));
  EXPECT_NEAR(GetEigenValue(1) + GetEigenValue(2), 3030.0 / 4, 1e-9);

  EXPECT_FALSE(CalcPrincComp(M, 1, 2, 2, 2, pcsCentered));  // one observation
  EXPECT_EQ(GetEigenResult(1, 1), 0);                        // the result is cleared
  EXPECT_TRUE(CalcPrincComp(M, 1, 2, 2, 2, pcsRaw));
  EXPECT_FALSE(CalcPrincComp(M, 3, 5, 1, 4, pcsRaw));        // no column left
  EXPECT_FALSE(CalcPrincComp(M, 1, 2, 1, 4, 7));
  M.SetVal(1, 1, std::numeric_limits<double>::quiet_NaN());
  EXPECT_FALSE(CalcPrincComp(M, 1, 2, 1, 4, pcsCentered));
}

} // namespace
} // namespace zef
