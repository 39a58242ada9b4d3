#include "ZEF_curvefit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "rtl/progress.h"

namespace zef {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

TEST(CurveFit, LineThroughExactAndScatteredData) {
  TCurveFit F;
  for (int X = 0; X < 10; ++X) F.EnterStatValue(X, 2.5 * X - 1);
  double K, D, Q;
  ASSERT_TRUE(F.CalcLinFit(K, D, Q));
  EXPECT_NEAR(K, 2.5, 1e-12);
  EXPECT_NEAR(D, -1, 1e-12);
  EXPECT_DOUBLE_EQ(Q, 1);
  // (0,0) (1,1) (2,1) (3,2): k = Sxy/Sxx = 3/5, d = 1 - 0.6 * 1.5, R^2 = 1 - 0.2/2.
  F.Init();
  F.EnterStatValue(0, 0);
  F.EnterStatValue(1, 1);
  F.EnterStatValue(2, 1);
  F.EnterStatValue(NaN, 7);  // not taken
  F.EnterStatValue(3, 2);
  EXPECT_EQ(F.NumData(), 4);
  ASSERT_TRUE(F.CalcLinFit(K, D, Q));
  EXPECT_NEAR(K, 0.6, 1e-15);
  EXPECT_NEAR(D, 0.1, 1e-15);
  EXPECT_NEAR(Q, 0.9, 1e-15);
}

TEST(CurveFit, DegenerateDataGiveZeroCoefficients) {
  TCurveFit F;
  double K = 9, D = 9, Q = 9, C0 = 9, C1 = 9, C2 = 9;
  EXPECT_FALSE(F.CalcLinFit(K, D, Q));
  EXPECT_FALSE(F.CalcParabolFit(C0, C1, C2, Q));
  EXPECT_EQ(K, 0);
  EXPECT_EQ(C2, 0);
  F.EnterStatValue(0.1, 1);
  EXPECT_FALSE(F.CalcLinFit(K, D, Q));  // one pair
  F.EnterStatValue(0.1, 2);
  F.EnterStatValue(0.1, 3);  // all x equal (their mean is not exactly 0.1)
  K = D = Q = 9;
  EXPECT_FALSE(F.CalcLinFit(K, D, Q));
  EXPECT_EQ(K, 0);
  EXPECT_EQ(D, 0);
  EXPECT_EQ(Q, 0);
  F.EnterStatValue(0.2, 3);  // two distinct x: a line, not a parabola
  EXPECT_TRUE(F.CalcLinFit(K, D, Q));
  C0 = C1 = C2 = 9;
  EXPECT_FALSE(F.CalcParabolFit(C0, C1, C2, Q));
  EXPECT_EQ(C0, 0);
  EXPECT_EQ(C1, 0);
  EXPECT_EQ(C2, 0);
  EXPECT_EQ(Q, 0);
  // A horizontal line is determined, with quality 1.
  F.Init();
  for (int X = 0; X < 3; ++X) F.EnterStatValue(X, 4);
  ASSERT_TRUE(F.CalcLinFit(K, D, Q));
  EXPECT_EQ(K, 0);
  EXPECT_EQ(D, 4);
  EXPECT_EQ(Q, 1);
}

TEST(CurveFit, ParabolaReproducesExactCoefficients) {
  TCurveFit F;
  for (int X = -5; X <= 5; ++X) F.EnterStatValue(X, 3 - 2 * X + 0.5 * X * X);
  double C0, C1, C2, Q;
  ASSERT_TRUE(F.CalcParabolFit(C0, C1, C2, Q));
  EXPECT_NEAR(C0, 3, 1e-9);
  EXPECT_NEAR(C1, -2, 1e-9);
  EXPECT_NEAR(C2, 0.5, 1e-9);
  EXPECT_NEAR(Q, 1, 1e-12);
  // Far from the origin, as pixel positions are.
  F.Init();
  for (int X = 1000; X <= 1010; X += 2) F.EnterStatValue(X, 3 - 2 * X + 0.001 * X * X);
  ASSERT_TRUE(F.CalcParabolFit(C0, C1, C2, Q));
  EXPECT_NEAR(C2, 0.001, 1e-11);
  EXPECT_NEAR(C1, -2, 1e-8);
  EXPECT_NEAR(C0, 3, 1e-5);
}

TEST(CurveFit, ParabolaAgreesWithTheNormalEquations) {
  const double X[] = {-1, 0, 1, 2, 3.5};
  const double Y[] = {1, 0, 1, 5, 4};
  TCurveFit F;
  for (int I = 0; I < 5; ++I) F.EnterStatValue(X[I], Y[I]);
  // The normal equations S * c = t with S[j][k] = sum x^(j+k), t[j] = sum y x^j, by Cramer.
  long double S[3][3] = {}, T[3] = {};
  for (int I = 0; I < 5; ++I)
    for (int J = 0; J < 3; ++J) {
      T[J] += Y[I] * std::pow((long double)X[I], J);
      for (int K = 0; K < 3; ++K) S[J][K] += std::pow((long double)X[I], J + K);
    }
  const auto Det = [](long double M[3][3]) {
    return M[0][0] * (M[1][1] * M[2][2] - M[1][2] * M[2][1]) -
           M[0][1] * (M[1][0] * M[2][2] - M[1][2] * M[2][0]) +
           M[0][2] * (M[1][0] * M[2][1] - M[1][1] * M[2][0]);
  };
  long double Expected[3];
  for (int C = 0; C < 3; ++C) {
    long double M[3][3];
    for (int J = 0; J < 3; ++J)
      for (int K = 0; K < 3; ++K) M[J][K] = K == C ? T[J] : S[J][K];
    Expected[C] = Det(M) / Det(S);
  }
  double C0, C1, C2, Q;
  ASSERT_TRUE(F.CalcParabolFit(C0, C1, C2, Q));
  EXPECT_NEAR(C0, double(Expected[0]), 1e-12);
  EXPECT_NEAR(C1, double(Expected[1]), 1e-12);
  EXPECT_NEAR(C2, double(Expected[2]), 1e-12);
  EXPECT_GT(Q, 0);
  EXPECT_LT(Q, 1);
}

TEST(CurveFit, StatisticsOfThePairs) {
  TCurveFit F;
  int32_t N = -1;
  double Mx, My, Sx, Sy, R, Rms, MaxD;
  F.CalcStatistics(N, Mx, My, Sx, Sy, R, Rms, MaxD);
  EXPECT_EQ(N, 0);
  EXPECT_EQ(Rms, 0);
  F.EnterStatValue(1, 1.5);
  F.EnterStatValue(2, 2);
  F.EnterStatValue(3, 2.5);
  F.CalcStatistics(N, Mx, My, Sx, Sy, R, Rms, MaxD);
  EXPECT_EQ(N, 3);
  EXPECT_DOUBLE_EQ(Mx, 2);
  EXPECT_DOUBLE_EQ(My, 2);
  EXPECT_DOUBLE_EQ(Sx, 1);
  EXPECT_DOUBLE_EQ(Sy, 0.5);
  EXPECT_DOUBLE_EQ(R, 1);
  EXPECT_DOUBLE_EQ(Rms, std::sqrt(1.0 / 6));  // y - x: 0.5, 0, -0.5
  EXPECT_DOUBLE_EQ(MaxD, 0.5);
  F.Init();
  F.EnterStatValue(4, 4);
  F.CalcStatistics(N, Mx, My, Sx, Sy, R, Rms, MaxD);
  EXPECT_EQ(N, 1);
  EXPECT_EQ(Mx, 4);
  EXPECT_EQ(Sx, 0);
  EXPECT_EQ(R, 0);
  EXPECT_EQ(Rms, 0);
}

// A design matrix of the given rows and a right-hand side.
void Fill(TMatrix& A, TVector& B, std::initializer_list<std::initializer_list<double>> Rows,
          std::initializer_list<double> Rhs) {
  A.Resize(static_cast<int32_t>(Rows.begin()->size()), static_cast<int32_t>(Rows.size()));
  B.SetVecSize(static_cast<int32_t>(Rhs.size()));
  int32_t R = 1;
  for (const auto& Row : Rows) {
    int32_t C = 1;
    for (double V : Row) A.SetVal(C++, R, V);
    ++R;
  }
  R = 1;
  for (double V : Rhs) B.SetVal(R++, V);
}

class LeastSquares : public ::testing::Test {
protected:
  void SetUp() override {
    ProcStat = 0;
    AbortMathProc = false;
  }
  void TearDown() override {
    AbortMathProc = false;
    MathFeedBackProc = nullptr;
  }
  TMatrix A;
  TVector B, X;
};

TEST_F(LeastSquares, ReproducesABiquadraticModelFromExactPoints) {
  // value = K0 + K1 x + K2 y + K3 x^2 + K4 x y + K5 y^2 at ten pixel positions.
  const double K[6] = {47.25, -3.1e-4, 2.2e-4, 1.5e-8, -2.5e-8, 4e-9};
  const double P[10][2] = {{0, 0},     {1000, 0},   {0, 800},   {1000, 800}, {500, 400},
                           {120, 730}, {880, 90},   {333, 512}, {701, 222},  {45, 450}};
  A.Resize(6, 10);
  B.SetVecSize(10);
  for (int I = 1; I <= 10; ++I) {
    const double Px = P[I - 1][0], Py = P[I - 1][1];
    const double Row[6] = {1, Px, Py, Px * Px, Px * Py, Py * Py};
    double V = 0;
    for (int J = 1; J <= 6; ++J) {
      A.SetVal(J, I, Row[J - 1]);
      V += K[J - 1] * Row[J - 1];
    }
    B.SetVal(I, V);
  }
  ASSERT_TRUE(SolveLeastSquares(A, B, X));
  ASSERT_EQ(X.NrOfElem(), 6);
  for (int J = 1; J <= 6; ++J) EXPECT_NEAR(X.GetVal(J), K[J - 1], 1e-9 * std::fabs(K[J - 1])) << J;
  EXPECT_EQ(ProcStat, 7);  // one step before the decomposition, one per singular value
}

TEST_F(LeastSquares, EquirectangularCalibration) {
  // 10N 20E at (0, 0), 10N 30E at (1000, 0), 0N 20E at (0, 1000).
  Fill(A, B, {{1, 0, 0}, {1, 1000, 0}, {1, 0, 1000}}, {10, 10, 0});
  ASSERT_TRUE(SolveLeastSquares(A, B, X));
  EXPECT_NEAR(X.GetVal(1) + 500 * X.GetVal(2) + 500 * X.GetVal(3), 5, 1e-12);
  Fill(A, B, {{1, 0, 0}, {1, 1000, 0}, {1, 0, 1000}}, {20, 30, 20});
  ASSERT_TRUE(SolveLeastSquares(A, B, X));
  EXPECT_NEAR(X.GetVal(1) + 500 * X.GetVal(2) + 500 * X.GetVal(3), 25, 1e-12);
}

TEST_F(LeastSquares, GivesTheMinimumNormSolutionWhenUnderdetermined) {
  // x1 + x2 = 2, x2 + x3 = 2: the shortest solution is (2/3, 4/3, 2/3).
  Fill(A, B, {{1, 1, 0}, {0, 1, 1}}, {2, 2});
  ASSERT_TRUE(SolveLeastSquares(A, B, X));
  EXPECT_NEAR(X.GetVal(1), 2.0 / 3, 1e-14);
  EXPECT_NEAR(X.GetVal(2), 4.0 / 3, 1e-14);
  EXPECT_NEAR(X.GetVal(3), 2.0 / 3, 1e-14);
  // Two equal columns: the weight is shared equally.
  Fill(A, B, {{1, 1}, {2, 2}, {3, 3}}, {2, 4, 6});
  ASSERT_TRUE(SolveLeastSquares(A, B, X));
  EXPECT_NEAR(X.GetVal(1), 1, 1e-13);
  EXPECT_NEAR(X.GetVal(2), 1, 1e-13);
}

TEST_F(LeastSquares, FailuresLeaveZeros) {
  Fill(A, B, {{1, 2}, {3, 4}}, {1, NaN});
  EXPECT_FALSE(SolveLeastSquares(A, B, X));
  EXPECT_EQ(X.NrOfElem(), 2);
  EXPECT_EQ(X.GetVal(1), 0);
  A.Resize(3, 0);
  B.SetVecSize(0);
  EXPECT_FALSE(SolveLeastSquares(A, B, X));
  EXPECT_EQ(X.NrOfElem(), 3);
  B.SetVecSize(2);
  EXPECT_THROW(SolveLeastSquares(A, B, X), EZEFNumericsError);
}

TEST_F(LeastSquares, AbortFromTheFeedbackStopsTheSolution) {
  static int Calls;
  Calls = 0;
  MathFeedBackProc = [](double State) {
    ++Calls;
    if (State >= 2) AbortMathProc = true;
  };
  Fill(A, B, {{1, 0}, {0, 1}, {1, 1}}, {1, 2, 3});
  EXPECT_FALSE(SolveLeastSquares(A, B, X));
  EXPECT_EQ(Calls, 2);
  EXPECT_EQ(X.GetVal(1), 0);
  EXPECT_EQ(X.GetVal(2), 0);
}

} // namespace
} // namespace zef
