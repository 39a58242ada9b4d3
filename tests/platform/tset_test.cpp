#include "classes/tset.h"

#include <gtest/gtest.h>

namespace zef {
namespace {

enum TFlag : uint8_t { fA, fB, fC, fD };
using TFlags = TSet<TFlag, fD + 1>;

enum TWide : uint8_t { w0 = 0, w63 = 63, w64 = 64, w200 = 200, w255 = 255 };

TEST(TSet, MembershipAndCount) {
  TFlags S{fA, fC, fA};
  EXPECT_TRUE(S.Contains(fA));
  EXPECT_FALSE(S.Contains(fB));
  EXPECT_TRUE(S.Contains(fC));
  EXPECT_EQ(S.Count(), 2);
  S.Include(fD).Exclude(fA).Exclude(fB);
  EXPECT_EQ(S, (TFlags{fC, fD}));
  EXPECT_FALSE(S.Empty());
  EXPECT_TRUE(TFlags{}.Empty());
  EXPECT_EQ(TFlags{}.Count(), 0);
}

TEST(TSet, Operators) {
  const TFlags AB{fA, fB}, BC{fB, fC};
  EXPECT_EQ(AB + BC, (TFlags{fA, fB, fC}));
  EXPECT_EQ(AB - BC, (TFlags{fA}));
  EXPECT_EQ(AB * BC, (TFlags{fB}));
  EXPECT_NE(AB, BC);

  TFlags S = AB;
  S += {fD};
  EXPECT_EQ(S, (TFlags{fA, fB, fD}));
  S -= {fA, fC};
  EXPECT_EQ(S, (TFlags{fB, fD}));
  S *= BC;
  EXPECT_EQ(S, (TFlags{fB}));

  EXPECT_TRUE(TFlags{} <= AB);
  EXPECT_TRUE(AB <= AB);
  EXPECT_TRUE((TFlags{fB}) <= AB);
  EXPECT_FALSE(AB <= BC);
  EXPECT_TRUE(AB >= TFlags{fA});
}

TEST(TSet, WordBoundariesOfTheFullRange) {
  TSet<TWide> S{w63, w64, w255};
  EXPECT_TRUE(S.Contains(w63));
  EXPECT_TRUE(S.Contains(w64));
  EXPECT_TRUE(S.Contains(w255));
  EXPECT_FALSE(S.Contains(w0));
  EXPECT_FALSE(S.Contains(w200));
  EXPECT_EQ(S.Count(), 3);
  EXPECT_EQ(S - TSet<TWide>{w64}, (TSet<TWide>{w63, w255}));
  EXPECT_EQ(S * (TSet<TWide>{w255, w0}), (TSet<TWide>{w255}));
}

TEST(TSet, ValuesOutsideTheRangeAreRefused) {
  TSet<TWide, 64> Small{w63};
  EXPECT_THROW(Small.Include(w64), ERangeError);
  EXPECT_FALSE(Small.Contains(w200));
  Small.Exclude(w200);
  EXPECT_EQ(Small.Count(), 1);

  enum TSigned : int8_t { sMinus = -1, sZero = 0 };
  TSet<TSigned> Signed;
  EXPECT_THROW(Signed.Include(sMinus), ERangeError);
  EXPECT_FALSE(Signed.Contains(sMinus));
}

TEST(TSet, UsableInConstantExpressions) {
  constexpr TFlags S = TFlags{fA, fB} + TFlags{fD};
  static_assert(S.Contains(fD) && !S.Contains(fC) && S.Count() == 3);
  static_assert(TFlags{fB} <= S && sizeof(TFlags) == sizeof(uint64_t));
  SUCCEED();
}

} // namespace
} // namespace zef
