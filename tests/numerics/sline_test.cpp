#include "ZEF_sline.h"

#include <gtest/gtest.h>

namespace zef {
namespace {

TEST(SLine, ClipBoxKeepsThePartInsideTheBox) {
  struct Case {
    double X1, Y1, X2, Y2;  // the segment
    bool Remains;
    double C1x, C1y, C2x, C2y;  // the clipped ends
  };
  // The box is 0..10 x 0..5 (given in reverse order below).
  const Case Cases[] = {
      {1, 1, 9, 4, true, 1, 1, 9, 4},          // inside
      {-5, 2, 15, 2, true, 0, 2, 10, 2},       // across, horizontal
      {15, 2, -5, 2, true, 10, 2, 0, 2},       // the other direction
      {5, -5, 5, 10, true, 5, 0, 5, 5},        // vertical
      {-2, -1, 12, 6, true, 0, 0, 10, 5},      // diagonal through both corners
      {-1, 6, 11, 6, false, 0, 0, 0, 0},       // above
      {-2, 2, -1, 8, false, 0, 0, 0, 0},       // beside
      {8, 8, 12, 4, false, 0, 0, 0, 0},        // misses the corner
      {9, 6, 11, 4, true, 10, 5, 10, 5},       // touches the corner
      {3, 3, 3, 3, true, 3, 3, 3, 3},          // a point inside
      {3, 7, 3, 7, false, 0, 0, 0, 0},         // a point outside
      {0, 0, 10, 0, true, 0, 0, 10, 0},        // on the border
  };
  for (const Case& C : Cases) {
    TSLine L;
    L.LineFrom2Points(C.X1, C.Y1, C.X2, C.Y2);
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    ASSERT_EQ(L.ClipBox(10, 5, 0, 0, X1, Y1, X2, Y2), C.Remains)
        << C.X1 << "," << C.Y1 << " - " << C.X2 << "," << C.Y2;
    EXPECT_NEAR(X1, C.C1x, 1e-12);
    EXPECT_NEAR(Y1, C.C1y, 1e-12);
    EXPECT_NEAR(X2, C.C2x, 1e-12);
    EXPECT_NEAR(Y2, C.C2y, 1e-12);
  }
}

} // namespace
} // namespace zef
