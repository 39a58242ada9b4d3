#include "ZEF_matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "ZEF_openarrays.h"
#include "ZEF_vector.h"

namespace zef {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Percentiles by interpolation between order statistics, worked out by hand:
// 1 3 5 7 9: h = 4 p / 100; 2 4 4 10: h = 3 p / 100.
TEST(PercentileOfArray, MatchesHandComputedTable) {
  struct Case {
    std::vector<double> Values;
    double Percent;
    double Expected;
  };
  const Case Cases[] = {
      {{7, 1, 3, 9, 5}, 0, 1},    {{7, 1, 3, 9, 5}, 10, 1.8}, {{7, 1, 3, 9, 5}, 25, 3},
      {{7, 1, 3, 9, 5}, 50, 5},   {{7, 1, 3, 9, 5}, 75, 7},   {{7, 1, 3, 9, 5}, 90, 8.2},
      {{7, 1, 3, 9, 5}, 100, 9},  {{2, 4, 4, 10}, 25, 3.5},   {{2, 4, 4, 10}, 50, 4},
      {{2, 4, 4, 10}, 75, 5.5},   {{2, 4, 4, 10}, 90, 8.2},   {{6}, 37, 6},
      {{7, 1, 3, 9, 5}, -5, 1},   {{7, 1, 3, 9, 5}, 150, 9},  {{NaN, 4, NaN, 2}, 50, 3},
      {{}, 50, 0},                {{NaN}, 50, 0},
  };
  for (const Case& C : Cases) {
    std::vector<double> V = C.Values;
    EXPECT_NEAR(PercentileOfArray(C.Percent, V), C.Expected, 1e-12)
        << "percent " << C.Percent << ", " << C.Values.size() << " values";
  }
}

TEST(SortArrayWithPermutation, KeepsASecondArrayInStep) {
  std::vector<double> V = {3.5, 1, NaN, 2, 1};
  std::vector<int32_t> Perm;
  SortArray(true, V, Perm);
  EXPECT_EQ((std::vector<double>(V.begin(), V.begin() + 4)), (std::vector<double>{1, 1, 2, 3.5}));
  EXPECT_TRUE(std::isnan(V[4]));
  EXPECT_EQ(Perm, (std::vector<int32_t>{2, 5, 4, 1, 3}));  // equal values keep their order

  std::vector<int32_t> I = {4, 9, 4, 0};
  SortArray(false, I, Perm);
  EXPECT_EQ(I, (std::vector<int32_t>{9, 4, 4, 0}));
  EXPECT_EQ(Perm, (std::vector<int32_t>{2, 1, 3, 4}));
}

TEST(Matrix, ResizeKeepsTheOverlapAndAllowsNoRows) {
  TMatrix M(2, 2);
  M.SetVal(1, 1, 11);
  M.SetVal(2, 1, 21);
  M.SetVal(1, 2, 12);
  M.SetVal(2, 2, 22);
  M.Resize(3, 3);
  EXPECT_EQ(M.GetVal(1, 1), 11);
  EXPECT_EQ(M.GetVal(2, 1), 21);
  EXPECT_EQ(M.GetVal(1, 2), 12);
  EXPECT_EQ(M.GetVal(2, 2), 22);
  EXPECT_EQ(M.GetVal(3, 3), 0);
  M.Resize(1, 2);
  EXPECT_EQ(M.GetVal(1, 2), 12);
  M.Resize(5, 0);
  EXPECT_EQ(M.NrOfColumns(), 5);
  EXPECT_EQ(M.NrOfRows(), 0);
  M.Resize(-3, 4);
  EXPECT_EQ(M.NrOfColumns(), 0);
  EXPECT_EQ(M.NrOfRows(), 4);
}

TEST(Matrix, AccessOutsideIsNeutral) {
  TMatrix M(2, 3);
  int Calls = 0;
  M.OnChange = [&](TObject*) { ++Calls; };
  for (auto [C, R] : {std::pair{0, 1}, {3, 1}, {1, 0}, {1, 4}, {-1, -1}}) {
    M.SetVal(C, R, 5);
    EXPECT_EQ(M.GetVal(C, R), 0);
  }
  EXPECT_EQ(Calls, 0);
  EXPECT_EQ(M.Percentile(50), 0);
}

TEST(Matrix, TooLargeRaisesAndKeepsTheMatrix) {
  TMatrix M(2, 2);
  M.SetVal(2, 2, 7);
  EXPECT_THROW(M.Resize(100000, 100000), EZEFNumericsError);
  EXPECT_EQ(M.NrOfColumns(), 2);
  EXPECT_EQ(M.GetVal(2, 2), 7);
  EXPECT_THROW(TIntMatrix(70000, 70000), EZEFNumericsError);
  EXPECT_THROW(TVector(int32_t(1) << 30), EZEFNumericsError);
}

TEST(Matrix, MinMaxAndPercentileOverABlock) {
  TMatrix M(3, 3);
  const double V[3][3] = {{1, 2, 3}, {4, NaN, 6}, {7, 8, -9}};  // [row][col]
  for (int R = 1; R <= 3; ++R)
    for (int C = 1; C <= 3; ++C) M.SetVal(C, R, V[R - 1][C - 1]);
  double Lo, Hi;
  ASSERT_TRUE(M.MinMax(3, 3, 1, 1, Lo, Hi));  // bounds in reverse order
  EXPECT_EQ(Lo, -9);
  EXPECT_EQ(Hi, 8);
  ASSERT_TRUE(M.MinMax(2, 1, 9, 2, Lo, Hi));  // clipped to the matrix, NaN skipped
  EXPECT_EQ(Lo, 2);
  EXPECT_EQ(Hi, 6);
  EXPECT_FALSE(M.MinMax(4, 1, 5, 3, Lo, Hi));
  EXPECT_EQ(Lo, 0);
  EXPECT_EQ(Hi, 0);
  // Block columns 1..2, rows 1..3: 1 2 4 7 8 -> median 4, P25 2
  EXPECT_DOUBLE_EQ(M.Percentile(50, 1, 1, 2, 3), 4);
  EXPECT_DOUBLE_EQ(M.Percentile(25, 1, 1, 2, 3), 2);
  EXPECT_DOUBLE_EQ(M.Percentile(100), 8);
  EXPECT_DOUBLE_EQ(M.Percentile(0), -9);
}

TEST(Matrix, NotifiesEveryChangeOrOnceAfterAnUpdate) {
  TMatrix M(2, 2);
  int Calls = 0;
  TObject* Sender = nullptr;
  M.OnChange = [&](TObject* S) { ++Calls; Sender = S; };
  M.SetVal(1, 1, 1);
  M.Fill(2);
  M.Resize(3, 3);
  EXPECT_EQ(Calls, 3);
  EXPECT_EQ(Sender, &M);
  Calls = 0;
  M.BeginUpdate();
  M.BeginUpdate();
  for (int C = 1; C <= 3; ++C) M.SetVal(C, 1, C);
  M.EndUpdate();
  EXPECT_EQ(Calls, 0);
  M.EndUpdate();
  EXPECT_EQ(Calls, 1);
  M.BeginUpdate();
  M.EndUpdate();
  EXPECT_EQ(Calls, 1);  // nothing changed meanwhile
}

TEST(Matrix, CloneTakesSizeAndValuesButNotTheHandler) {
  TMatrix A(2, 3);
  A.SetVal(2, 3, 4.5);
  int CallsA = 0;
  A.OnChange = [&](TObject*) { ++CallsA; };
  TMatrix B;
  int CallsB = 0;
  B.OnChange = [&](TObject*) { ++CallsB; };
  B.Clone(A);
  EXPECT_EQ(B.NrOfColumns(), 2);
  EXPECT_EQ(B.NrOfRows(), 3);
  EXPECT_EQ(B.GetVal(2, 3), 4.5);
  EXPECT_EQ(CallsB, 1);
  B.SetVal(1, 1, 1);
  EXPECT_EQ(CallsA, 0);
  EXPECT_EQ(A.GetVal(1, 1), 0);
}

TEST(IntMatrix, SetNRowsKeepsTheRowsAndAllowsNone) {
  TIntMatrix H(3, 2);
  H.SetVal(1, 1, 24);
  H.SetVal(2, 1, 12);
  H.SetVal(3, 2, -99999);
  H.SetNRows(3);
  EXPECT_EQ(H.NrOfColumns(), 3);
  EXPECT_EQ(H.GetVal(1, 1), 24);
  EXPECT_EQ(H.GetVal(3, 2), -99999);
  EXPECT_EQ(H.GetVal(3, 3), 0);
  H.SetNRows(0);
  EXPECT_EQ(H.NrOfRows(), 0);
  EXPECT_EQ(H.GetVal(1, 1), 0);
  H.SetVal(1, 1, 5);  // ignored
  H.SetNRows(1);
  EXPECT_EQ(H.GetVal(1, 1), 0);
  H.Fill(3);
  EXPECT_EQ(H.GetVal(3, 1), 3);
}

TEST(Vector, SizesPercentileAndNeutralAccess) {
  TVector V(3);
  V.SetVal(1, 5);
  V.SetVal(2, 1);
  V.SetVal(3, 3);
  V.SetVal(4, 9);  // ignored
  EXPECT_EQ(V.GetVal(0), 0);
  EXPECT_EQ(V.GetVal(4), 0);
  EXPECT_DOUBLE_EQ(V.Percentile(50, 3, 1), 3);
  EXPECT_DOUBLE_EQ(V.Percentile(50, 2, 10), 2);  // 1 and 3
  EXPECT_EQ(V.Percentile(50, 4, 9), 0);
  EXPECT_EQ(V.Percentile(50, 1, 0), 5);  // clipped to the first element
  V.Resize(4);
  EXPECT_EQ(V.GetVal(1), 5);
  EXPECT_EQ(V.GetVal(4), 0);
  V.SetVecSize(2);
  EXPECT_EQ(V.NrOfElem(), 2);
  EXPECT_EQ(V.GetVal(1), 0);
  V.SetVecSize(-1);
  EXPECT_EQ(V.NrOfElem(), 0);
}

} // namespace
} // namespace zef
