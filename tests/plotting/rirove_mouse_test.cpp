// Finding the data items nearest to a point.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ZEF_rirove.h"
#include "host/headless.h"

using namespace zef;

namespace {

class RIroveNearest : public ::testing::Test {
protected:
  void SetUp() override {
    SetHost(&Host);
    C.SetBounds(0, 0, 280, 200);
    C.SetRange(1, 0, 0, 10, 100);
    C.SetRange(2, 0, 0, 100, 1000);
  }
  void TearDown() override { SetHost(nullptr); }
  THeadlessHost Host;
  TRIrove C{nullptr};
};

TEST_F(RIroveNearest, EmptyChartAndZAxisFindNothing) {
  double D = 0;
  EXPECT_EQ(C.FindNearestItemReal(1, 1, tkEverything, 255, false, D), -1);
  EXPECT_EQ(D, std::sqrt(std::numeric_limits<double>::max()));
  C.MarkAt(1.0, 1.0, 1);
  EXPECT_EQ(C.FindNearestItemAlongAxis(1, atZAxis, tkEverything, 255, false, D), -1);
}

TEST_F(RIroveNearest, KindClassAndFirstOfEquals) {
  C.MoveTo(5.0, 50.0);
  C.MarkAt(5.0, 50.0, 1);
  C.SetClassDefault(7);
  C.MarkAt(5.0, 50.0, 1);
  C.Line(6.0, 50.0, 9.0, 9.0);
  double D = -1;
  EXPECT_EQ(C.FindNearestItemReal(5, 50, tkEverything, 255, false, D), 0);
  EXPECT_EQ(D, 0);
  EXPECT_EQ(C.FindNearestItemReal(5, 50, tkNotMoveTo, 255, false, D), 1);
  EXPECT_EQ(C.FindNearestItemReal(5, 50, tkMarkAt, 7, false, D), 2);
  EXPECT_EQ(C.FindNearestItemReal(5, 50, tkLine, 255, false, D), 3);
  EXPECT_DOUBLE_EQ(D, 1.0);
  EXPECT_EQ(C.FindNearestItemReal(5, 50, tkNone, 255, false, D), -1);
}

// Each item is mapped with its own layer's transform: a layer-2 point 1 world unit away is
// about 2 pixels from the mouse, a layer-1 point 1 unit away 22 pixels.
TEST_F(RIroveNearest, ScreenMeasuresMapItemsByTheirLayer) {
  C.MarkAt(6.0, 50.0, 1);
  C.SetActiveLayer(2);
  C.MarkAt(51.0, 500.0, 1);
  C.SetActiveLayer(1);
  ASSERT_EQ(C.DataContainer(1).Layer, 2);
  double D = 0;
  EXPECT_EQ(C.FindNearestItemScreen(5, 50, tkEverything, 255, false, D), 1);
  EXPECT_NEAR(D, 2.2, 0.9);
  EXPECT_EQ(C.FindNearestItemAlongAxis(5, atXAxis, tkEverything, 255, false, D), 1);
  EXPECT_NEAR(D, 2.2, 0.9);
  C.SetLayerVisible(2, false);
  EXPECT_EQ(C.FindNearestItemScreen(5, 50, tkEverything, 255, true, D), 0);
  EXPECT_NEAR(D, 22, 1);
}

} // namespace
