// Scale settings, transforms, ranges, automatic ranges, isometric mode and zoom history.
#include <gtest/gtest.h>

#include <cmath>

#include "ZEF_rirove.h"

using namespace zef;

namespace {

// The 280 x 200 chart with margins L50 R20 T20 B40 (the default layout) and no shadow.
class RIroveTransform : public ::testing::Test {
protected:
  void SetUp() override {
    C.SetBounds(0, 0, 280, 200);
    C.SetRange(1, 0, 0, 10, 100);
  }
  TRIrove C{nullptr};
};

TEST_F(RIroveTransform, LinearParameters) {
  EXPECT_EQ(C.DataAreaWidth(), 210);
  EXPECT_EQ(C.DataAreaHeight(), 140);
  double kx, dx, ky, dy;
  C.GetTransformParams(1, kx, dx, ky, dy);
  EXPECT_DOUBLE_EQ(kx, 21);
  EXPECT_DOUBLE_EQ(dx, 50);
  EXPECT_DOUBLE_EQ(ky, -1.4);
  EXPECT_DOUBLE_EQ(dy, 160);
  int32_t X, Y;
  C.R2M(1, 5, 50, X, Y);
  EXPECT_EQ(X, 155);
  EXPECT_EQ(Y, 90);
  C.R2M(1, -2.5 / 21, 0, X, Y);  // pixel 47.5 rounds to the even 48
  EXPECT_EQ(X, 48);
  C.R2M(1, 1e300, -1e300, X, Y);  // saturates instead of overflowing
  EXPECT_EQ(X, 2147483647);
  EXPECT_EQ(Y, 2147483647);
  double WX, WY;
  C.M2R(1, 155, 90, WX, WY);
  EXPECT_DOUBLE_EQ(WX, 5);
  EXPECT_DOUBLE_EQ(WY, 50);
}

TEST_F(RIroveTransform, LogarithmicAxis) {
  C.SetBounds(0, 0, 370, 200);  // W = 300
  C.ScalePropsX(1).SetRangeLow(1);
  C.ScalePropsX(1).SetRangeHigh(1000);
  C.ScalePropsX(1).SetLogarithmic(true);
  double kx, dx, ky, dy;
  C.GetTransformParams(1, kx, dx, ky, dy);
  EXPECT_NEAR(kx, 300 / std::log(1000.0), 1e-9);
  int32_t X, Y;
  C.R2M(1, 10, 0, X, Y);
  EXPECT_EQ(X, 150);
  C.R2M(1, 0, 0, X, Y);
  EXPECT_EQ(X, 0);
  double WX, WY;
  C.M2R(1, 250, 100, WX, WY);
  EXPECT_NEAR(WX, 100, 1e-9);
}

TEST_F(RIroveTransform, ScaleSetterRules) {
  TScaleProps& S = C.ScalePropsX(1);
  S.SetRangeLow(0);
  S.SetRangeHigh(1);
  S.SetMinRange(4);
  EXPECT_DOUBLE_EQ(S.RangeLow(), -1.5);
  EXPECT_DOUBLE_EQ(S.RangeHigh(), 2.5);
  S.SetMinRange(1e-101);  // ignored
  EXPECT_EQ(S.MinRange(), 4);
  S.SetRangeLow(1);  // too close to 2.5: the high end moves
  EXPECT_DOUBLE_EQ(S.RangeHigh(), 5);
  S.SetMinRange(1e-10);
  S.SetRangeLow(0);
  S.SetLogarithmic(true);  // refused: RangeLow is 0
  EXPECT_FALSE(S.Logarithmic());
  S.SetRangeLow(1);
  S.SetLogarithmic(true);
  EXPECT_TRUE(S.Logarithmic());
  S.SetLabelType(ftDateTime);
  EXPECT_FALSE(S.Logarithmic());
  S.SetLogarithmic(true);  // refused for date-time labels
  EXPECT_FALSE(S.Logarithmic());
  S.SetLabelType(ftTime);
  EXPECT_EQ(S.DecPlaces(), 4);
  S.SetDecPlaces(-7);
  EXPECT_EQ(S.DecPlaces(), -3);
}

TEST_F(RIroveTransform, LogarithmicRangeEndBelowZeroRaises) {
  TScaleProps& S = C.ScalePropsY(1);
  S.SetRangeLow(1);
  S.SetLogarithmic(true);
  S.StoreRange(-1, 10);
  try {
    C.AdjustScaling();
    FAIL();
  } catch (const EZEFRIroveError& E) {
    EXPECT_EQ(E.Message(), "Logarithmic axis must not be negative.");
  }
}

TEST_F(RIroveTransform, SetRangeWithEqualEnds) {
  C.SetRange(1, 5, 0, 5, 10);
  EXPECT_DOUBLE_EQ(C.ScalePropsX(1).RangeLow(), 5 - 5e-11);
  EXPECT_DOUBLE_EQ(C.ScalePropsX(1).RangeHigh(), 5 + 5e-11);
  C.SetRange(1, 1, 0, 10, 10);
  C.ScalePropsX(1).SetLogarithmic(true);
  C.SetRange(1, 5, 0, 5, 10);
  EXPECT_DOUBLE_EQ(C.ScalePropsX(1).RangeLow(), 5 / 1.1);
  EXPECT_DOUBLE_EQ(C.ScalePropsX(1).RangeHigh(), 5.5);
  // Layer 0 sets both layers.
  C.SetRange(0, -1, -2, 1, 2);
  EXPECT_EQ(C.ScalePropsX(2).RangeLow(), -1);
  EXPECT_EQ(C.ScalePropsY(2).RangeHigh(), 2);
}

TEST_F(RIroveTransform, Isometric) {
  C.SetBounds(0, 0, 50 + 20 + 199, 20 + 40 + 99);  // data area 200 x 100 pixels
  C.SetIsometric(true);
  C.SetRange(1, 0, 0, 100, 0);
  EXPECT_NEAR(C.ScalePropsY(1).RangeLow(), -25, 1e-9);
  EXPECT_NEAR(C.ScalePropsY(1).RangeHigh(), 25, 1e-9);
}

TEST_F(RIroveTransform, AutoRange) {
  C.MarkAt(0.0, 5.0, 1);
  C.MarkAt(10.0, 5.0, 1);
  C.AutoRange(1, 5);
  EXPECT_DOUBLE_EQ(C.ScalePropsX(1).RangeLow(), -0.5);
  EXPECT_DOUBLE_EQ(C.ScalePropsX(1).RangeHigh(), 10.5);
  EXPECT_DOUBLE_EQ(C.ScalePropsY(1).RangeLow(), 4);  // equal ends widen by 1
  EXPECT_DOUBLE_EQ(C.ScalePropsY(1).RangeHigh(), 6);

  C.ClearGraf();
  C.MarkAt(9.0, 1.0, 1);
  C.MarkAt(11.0, 2.0, 1);
  C.AutoRange(1, 0, 50);  // c = 10, 50 * 10 / 100 = 5 > 2
  EXPECT_DOUBLE_EQ(C.ScalePropsX(1).RangeLow(), 4);
  EXPECT_DOUBLE_EQ(C.ScalePropsX(1).RangeHigh(), 16);

  C.ClearGraf();
  C.SetRange(1, 1, 1, 100, 100);
  C.ScalePropsX(1).SetLogarithmic(true);
  C.MarkAt(1.0, 1.0, 1);
  C.MarkAt(100.0, 2.0, 1);
  C.AutoRangeXOnly(1, 10);
  EXPECT_NEAR(C.ScalePropsX(1).RangeLow(), std::pow(100, -0.1), 1e-12);
  EXPECT_NEAR(C.ScalePropsX(1).RangeHigh(), 100 * std::pow(100, 0.1), 1e-9);
  EXPECT_EQ(C.ScalePropsY(1).RangeHigh(), 100);  // y untouched
}

TEST_F(RIroveTransform, AutoRangeCoversShapesAndErrorBars) {
  C.Ellipse(5, 5, 2, 3);
  C.MarkErrorBar(0, 0, 1, 4, orVert, 1);
  C.DrawToRelPix(int32_t{1000}, int32_t{1000});
  C.AutoRange(1, 0);
  EXPECT_EQ(C.ScalePropsX(1).RangeLow(), 0);
  EXPECT_EQ(C.ScalePropsX(1).RangeHigh(), 7);
  EXPECT_EQ(C.ScalePropsY(1).RangeLow(), -1);
  EXPECT_EQ(C.ScalePropsY(1).RangeHigh(), 8);
  // An empty layer gets -1 .. 1.
  C.AutoRange(2, 5);
  EXPECT_EQ(C.ScalePropsX(2).RangeLow(), -1);
  EXPECT_EQ(C.ScalePropsX(2).RangeHigh(), 1);
}

TEST_F(RIroveTransform, ConfinementShiftsWhenPanningAndClipsWhenZooming) {
  C.ConfineZoomRange(0, 0, 100, 100);
  C.SetMouseAction(maPan);
  C.ForceRange(1, 90, 0, 120, 10, false, true);
  EXPECT_EQ(C.ScalePropsX(1).RangeLow(), 70);
  EXPECT_EQ(C.ScalePropsX(1).RangeHigh(), 100);
  C.SetMouseAction(maZoom);
  C.ForceRange(1, 90, 0, 120, 10, false, true);
  EXPECT_EQ(C.ScalePropsX(1).RangeLow(), 90);
  EXPECT_EQ(C.ScalePropsX(1).RangeHigh(), 100);
  // Too narrow a range is not applied.
  C.ForceRange(1, 5, 0, 5, 10, false, false);
  EXPECT_EQ(C.ScalePropsX(1).RangeLow(), 90);
}

TEST_F(RIroveTransform, ZoomHistory) {
  C.ClearZoomHistory();  // records 0..10 x 0..100
  C.SetRange(1, 2, 20, 4, 40);
  C.SetRange(1, 3, 30, 5, 50);
  EXPECT_EQ(C.GetZoomStackEntry(1, 0).Left, 3);
  EXPECT_EQ(C.GetZoomStackEntry(1, -1).Top, 40);
  C.ZoomHistory(-2);
  EXPECT_EQ(C.ScalePropsX(1).RangeLow(), 0);
  EXPECT_EQ(C.ScalePropsY(1).RangeHigh(), 100);
  C.ZoomHistory(1);  // ignored
  C.ZoomHistory(-16);  // ignored
  EXPECT_EQ(C.ScalePropsX(1).RangeLow(), 0);
  C.ClearZoomHistory();
  C.SetRange(1, 7, 7, 8, 8);
  C.ZoomHistory(-1);
  EXPECT_EQ(C.ScalePropsX(1).RangeLow(), 0);
  // The ring holds 16 states.
  for (int I = 0; I < 20; ++I) C.SetRange(1, I, 0, I + 1, 1);
  EXPECT_EQ(C.GetZoomStackEntry(1, -15).Left, 4);
}

TEST_F(RIroveTransform, SizeAndLayouts) {
  C.SetBounds(0, 0, 100, 10);
  EXPECT_EQ(C.Width(), 150);
  EXPECT_EQ(C.Height(), 80);
  C.SetStandardLayout(rcl_X2Both_Y2Both);
  EXPECT_EQ(C.MarginTop(), 64);
  EXPECT_EQ(C.MarginLeft(), 50);
  EXPECT_TRUE(C.Scale2X().Visible());
  EXPECT_EQ(C.Scale2X().ScaleLocation(), slTop);
  EXPECT_EQ(C.Scale2Y().ScaleLocation(), slRight);
  EXPECT_EQ(C.Scale2Y().ScaleType(), sctYL);
  EXPECT_EQ(C.CaptionPosY(), -60);
  C.SetStandardLayout(rcl_X1Bottom_Y1Left);
  EXPECT_FALSE(C.Scale2Y().Visible());
  EXPECT_EQ(C.Scale1Y().ScaleType(), sctYR);
  C.SetShadowWidth(40);
  EXPECT_EQ(C.ShadowWidth(), 32);
}

TEST_F(RIroveTransform, TickPositionsReadBackwardsOnReversedAxes) {
  C.ScalePropsX(1).SetMinTicks(3);
  C.SetRange(1, 10, 0, 0, 100);  // reversed x axis
  TBitmap Out;
  C.CopyToBitmap(Out, false);
  ASSERT_GT(C.TickNumX(), 2);
  EXPECT_LT(C.TickPosX(1), C.TickPosX(2));
  EXPECT_EQ(C.TickPosX(0), 0);
  EXPECT_EQ(C.TickPosX(C.TickNumX() + 1), 0);
}

} // namespace
