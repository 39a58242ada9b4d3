// Mouse interaction of the chart, driven through the headless host: zoom windows, panning,
// drag zoom, rubber band and selection, cross-hair and label dragging, the mouse trace,
// axis dragging, the mouse box, cursors and the mouse-move event.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

#include "ZEF_rirove.h"
#include "controls/application.h"
#include "controls/forms.h"
#include "controls/screen.h"
#include "graphics/fonts.h"
#include "host/headless.h"

using namespace zef;

namespace {

class ChartMouse : public ::testing::Test {
protected:
  void SetUp() override {
    SetHost(&Host);
    SetFontEngine(BuiltinFontEngine());
    Form.SetBounds(0, 0, 400, 300);
    C = new TRIrove(&Form);
    C->SetParent(&Form);
    C->SetBounds(0, 0, 400, 300);
    C->SetRange(1, 0, 0, 10, 10);
    C->SetRange(2, 0, 0, 100, 100);
    C->OnZoomPan = [this](TObject*) { ++ZoomPans; };
    Form.Show();
    Form.UpdateSurface();
  }
  void TearDown() override {
    Screen().SetCursor(crDefault);
    Application().ResetTerminated();
    SetFontEngine(nullptr);
    SetHost(nullptr);
  }
  // Data-area width and height in pixels (the pan and zoom divisors).
  double W() const { return 400.0 - C->LRim() - C->RRim() - C->ShadowWidth(); }
  double H() const { return 300.0 - C->TRim() - C->BRim() - C->ShadowWidth(); }
  void Drag(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TMouseButton Release = mbLeft) {
    Host.MouseDown(Form, X1, Y1);
    Host.MouseMove(Form, X1, Y1);
    Host.MouseMove(Form, (X1 + X2) / 2, (Y1 + Y2) / 2);
    Host.MouseMove(Form, X2, Y2);
    if (Release == mbRight) Host.MouseDown(Form, X2, Y2, mbRight);
    Host.MouseUp(Form, X2, Y2, Release);
    if (Release == mbRight) Host.MouseUp(Form, X2, Y2, mbLeft);
  }
  std::vector<uint32_t> SurfacePixels() {
    TBitmap& S = Form.Surface();
    std::vector<uint32_t> P;
    for (int32_t Y = 0; Y < S.Height(); ++Y)
      for (int32_t X = 0; X < S.Width(); ++X) P.push_back(S.Canvas().Pixels(X, Y));
    return P;
  }
  THeadlessHost Host;
  TForm Form{nullptr};
  TRIrove* C = nullptr;
  int ZoomPans = 0;
};

TEST_F(ChartMouse, ZoomWindowGivesTheDraggedRangeAndPushesHistory) {
  struct TCase {
    TMouseActMode Mode;
    bool XReversed, YReversed;
  } Cases[] = {{maZoomWind, true, false}, {maZoomWindPos, false, false}};
  for (const TCase& K : Cases) {
    SCOPED_TRACE(static_cast<int>(K.Mode));
    C->SetRange(1, 0, 0, 10, 10);
    C->ClearZoomHistory();
    C->SetMouseAction(K.Mode);
    double X1, Y1, X2, Y2;
    C->M2R(1, 200, 150, X1, Y1);
    C->M2R(1, 100, 50, X2, Y2);
    Host.MouseDown(Form, 200, 150);
    EXPECT_EQ(C->ZoomState(), zsDrawWin);
    Host.MouseMove(Form, 150, 100);
    Host.MouseMove(Form, 100, 50);
    Host.MouseUp(Form, 100, 50);
    EXPECT_EQ(C->ZoomState(), zsNormal);
    const TScaleProps& SX = C->Scale1X();
    const TScaleProps& SY = C->Scale1Y();
    EXPECT_EQ(SX.RangeLow() > SX.RangeHigh(), K.XReversed);
    EXPECT_EQ(SY.RangeLow() > SY.RangeHigh(), K.YReversed);
    EXPECT_DOUBLE_EQ(std::min(SX.RangeLow(), SX.RangeHigh()), X2);
    EXPECT_DOUBLE_EQ(std::max(SX.RangeLow(), SX.RangeHigh()), X1);
    EXPECT_DOUBLE_EQ(SY.RangeLow(), Y1);
    EXPECT_DOUBLE_EQ(SY.RangeHigh(), Y2);
    EXPECT_EQ(C->Scale2X().RangeHigh(), 100);  // layer 2 is not affected by the mouse
    const TRectDouble Top = C->GetZoomStackEntry(1, 0);
    EXPECT_DOUBLE_EQ(Top.Left, SX.RangeLow());
    EXPECT_DOUBLE_EQ(Top.Right, SX.RangeHigh());
    C->ZoomHistory(-1);
    EXPECT_DOUBLE_EQ(SX.RangeLow(), 0);
    EXPECT_DOUBLE_EQ(SX.RangeHigh(), 10);
  }
  EXPECT_EQ(ZoomPans, 2);
}

TEST_F(ChartMouse, WindowZoomOfBothLayersIsOneHistoryStep) {
  C->SetMouseAffectsLayer(2, true);
  C->SetMouseAction(maZoomWindPos);
  Drag(100, 50, 200, 150);
  EXPECT_LT(C->Scale2X().RangeHigh(), 100);
  C->ZoomHistory(-1);
  EXPECT_DOUBLE_EQ(C->Scale1X().RangeHigh(), 10);
  EXPECT_DOUBLE_EQ(C->Scale2X().RangeHigh(), 100);
}

TEST_F(ChartMouse, DegenerateOrAbortedWindowsChangeNothing) {
  const std::vector<uint32_t> Before = SurfacePixels();
  for (TMouseActMode M : {maZoomWind, maZoomWindPos, maRubberBand, maSelectRect}) {
    SCOPED_TRACE(static_cast<int>(M));
    C->SetMouseAction(M);
    int Events = 0;
    C->OnRubberBand = C->OnSelectRect = [&](TObject*, int32_t, double, double, double, double) {
      ++Events;
    };
    Drag(100, 50, 200, 50);  // no height
    Drag(100, 50, 200, 150, mbRight);
    EXPECT_EQ(C->ZoomState(), zsNormal);
    EXPECT_EQ(Events, 0);
    EXPECT_EQ(C->Scale1X().RangeHigh(), 10);
    // The exclusive-or figures were taken off the screen again.
    EXPECT_EQ(SurfacePixels(), Before);
  }
  EXPECT_EQ(ZoomPans, 0);
  // A press outside the data area starts no window.
  C->SetMouseAction(maZoomWind);
  Host.MouseDown(Form, 10, 10);
  EXPECT_EQ(C->ZoomState(), zsNormal);
  Host.MouseUp(Form, 10, 10);
}

TEST_F(ChartMouse, RubberBandAndSelectionReportWorldCorners) {
  std::vector<std::vector<double>> Got;
  const auto Record = [&](TObject*, int32_t L, double A, double B, double Cc, double D) {
    Got.push_back({static_cast<double>(L), A, B, Cc, D});
  };
  C->OnRubberBand = Record;
  C->OnSelectRect = Record;
  double X1, Y1, X2, Y2;
  C->M2R(1, 200, 150, X1, Y1);
  C->M2R(1, 100, 50, X2, Y2);
  C->SetMouseAction(maRubberBand);
  Drag(200, 150, 100, 50);
  C->SetMouseAction(maSelectRect);
  Drag(200, 150, 100, 50);
  ASSERT_EQ(Got.size(), 2u);
  EXPECT_EQ(Got[0], (std::vector<double>{1, X1, Y1, X2, Y2}));  // as dragged
  EXPECT_EQ(Got[1], (std::vector<double>{1, X2, Y1, X1, Y2}));  // in the axes' directions
  EXPECT_EQ(C->Scale1X().RangeHigh(), 10);
  EXPECT_EQ(ZoomPans, 2);
}

TEST_F(ChartMouse, PanningMovesByTheDraggedDistance) {
  struct TCase {
    TMouseActMode Mode;
    int32_t DX, DY;
    double XLo, YLo;
  } Cases[] = {
      {maPan, 34, -26, -34 * 10 / W(), -26 * 10 / H()},
      {maPanHoriz, 34, -26, -34 * 10 / W(), 0},
      {maPanVert, 34, -26, 0, -26 * 10 / H()},
  };
  for (const TCase& K : Cases) {
    SCOPED_TRACE(static_cast<int>(K.Mode));
    C->SetRange(1, 0, 0, 10, 10);
    C->SetMouseAction(K.Mode);
    ZoomPans = 0;
    Drag(200, 150, 200 + K.DX, 150 + K.DY);
    EXPECT_NEAR(C->Scale1X().RangeLow(), K.XLo, 1e-12);
    EXPECT_NEAR(C->Scale1X().RangeHigh(), K.XLo + 10, 1e-12);
    EXPECT_NEAR(C->Scale1Y().RangeLow(), K.YLo, 1e-12);
    EXPECT_NEAR(C->Scale1Y().RangeHigh(), K.YLo + 10, 1e-12);
    EXPECT_EQ(ZoomPans, 2);  // the half-way move and the last one
    // One history entry per release.
    EXPECT_NEAR(C->GetZoomStackEntry(1, 0).Left, K.XLo, 1e-12);
    EXPECT_EQ(C->GetZoomStackEntry(1, -1).Left, 0);
  }
  // A click that moves nothing adds no history entry.
  const TRectDouble Latest = C->GetZoomStackEntry(1, 0);
  Host.Click(Form, 200, 150);
  EXPECT_EQ(C->GetZoomStackEntry(1, -1).Left, 0);
  EXPECT_EQ(C->GetZoomStackEntry(1, 0), Latest);
  // Drags outside the data area do not pan.
  C->SetRange(1, 0, 0, 10, 10);
  C->SetMouseAction(maPan);
  Drag(200, 150, 200, 299);
  EXPECT_NEAR(C->Scale1Y().RangeLow(), (((150 + 299) / 2) - 150) * 10 / H(), 1e-12);
}

TEST_F(ChartMouse, PanGridSnapsAndLogarithmicAxesStay) {
  C->SetMouseAction(maPanGrid);
  C->SetPanGridDx(0.5);
  C->SetPanGridDy(0);
  const int32_t DX = static_cast<int32_t>(std::lround(0.7 * W() / 10));
  Drag(200, 150, 200 - DX, 150);  // moves xLo to about 0.7
  EXPECT_DOUBLE_EQ(C->Scale1X().RangeLow(), 0.5);
  EXPECT_DOUBLE_EQ(C->Scale1X().RangeHigh(), 10.5);
  EXPECT_DOUBLE_EQ(C->Scale1Y().RangeLow(), 0);
  C->SetRange(1, 1, 0, 1000, 10);
  C->Scale1X().SetLogarithmic(true);
  ASSERT_TRUE(C->Scale1X().Logarithmic());
  Drag(200, 150, 150, 100);
  EXPECT_DOUBLE_EQ(C->Scale1X().RangeLow(), 1);
  EXPECT_DOUBLE_EQ(C->Scale1Y().RangeLow(), 0);
  // A plain pan on the logarithmic axis moves by a factor.
  C->SetMouseAction(maPan);
  Drag(200, 150, 200 - 100, 150);
  const double G = std::pow(1000.0, 100 / W());
  EXPECT_NEAR(C->Scale1X().RangeLow(), G, 1e-9 * G);
  EXPECT_NEAR(C->Scale1X().RangeHigh(), 1000 * G, 1e-9 * G);
}

TEST_F(ChartMouse, DragZoomScalesAboutTheCentre) {
  C->SetMouseAction(maZoomDrag);
  Drag(200, 150, 240, 120);
  const double Fx = 1 - 40.0 / 400, Fy = 1 - 30.0 / 300;
  EXPECT_NEAR(C->Scale1X().RangeLow(), 5 - 5 * Fx, 1e-12);
  EXPECT_NEAR(C->Scale1X().RangeHigh(), 5 + 5 * Fx, 1e-12);
  EXPECT_NEAR(C->Scale1Y().RangeLow(), 5 - 5 * Fy, 1e-12);
  EXPECT_NEAR(C->Scale1Y().RangeHigh(), 5 + 5 * Fy, 1e-12);
}

TEST_F(ChartMouse, CrossHairsFollowTheMouse) {
  double RX, RY;
  C->M2R(1, 100, 100, RX, RY);
  C->CrossHairSetup(1, clRed, chHoriz, psSolid, 1);
  C->CrossHairSetPos(1, 0, RY);
  C->CrossHairSetup(2, clBlue, chVert, psSolid, 1);
  C->CrossHairSetPos(2, RX, RY);
  int Moves = 0;
  std::vector<std::pair<int32_t, int32_t>> Asked;
  bool Allow = true;
  C->OnBeforeCrossHairMove = [&](TObject*, TCrossHair& Which, int32_t dx, int32_t dy, bool& A) {
    EXPECT_EQ(&Which, &C->CrossHair(2));
    Asked.push_back({dx, dy});
    A = Allow;
  };
  C->OnCrossHairMove = [&](TObject*, TCrossHair& Which) {
    EXPECT_EQ(&Which, &C->CrossHair(2));
    ++Moves;
  };
  C->SetMouseAction(maDragCrossH);
  // 2 pixels from the vertical line, 3 from the horizontal one: the vertical one wins.
  Host.MouseDown(Form, 102, 97);
  Host.MouseMove(Form, 102, 97);
  Host.MouseMove(Form, 150, 120);
  Host.MouseUp(Form, 150, 120);
  ASSERT_EQ(Asked.size(), 1u);
  EXPECT_EQ(Asked[0], std::make_pair(2, -3));
  EXPECT_EQ(Moves, 1);
  double EX, EY;
  C->M2R(1, 150, 120, EX, EY);
  EXPECT_DOUBLE_EQ(C->CrossHair(2).PosX(), EX);
  EXPECT_DOUBLE_EQ(C->CrossHair(2).PosY(), EY);
  EXPECT_DOUBLE_EQ(C->CrossHair(1).PosY(), RY);
  // A refused drag leaves it where it is.
  Allow = false;
  Drag(150, 120, 200, 200);
  EXPECT_DOUBLE_EQ(C->CrossHair(2).PosX(), EX);
  EXPECT_EQ(Moves, 1);
}

TEST_F(ChartMouse, TextLabelsAreDraggedByTheirAttachMode) {
  const int32_t A = C->AddTextLabel(2, 2, clBlack, "data", 0);
  const int32_t B = C->AddTextLabel(300, 60, clBlack, "pixels", 0);
  ASSERT_GT(A, 0);
  C->TextLabels(A).SetTxtLblScreenPos(tlamBoth);
  C->TextLabels(B).SetTxtLblScreenPos(tlamNone);
  int Moves = 0;
  C->OnTextLabelMove = [&](TObject*, TTextLabel& L) {
    EXPECT_EQ(&L, &C->TextLabels(B));
    ++Moves;
  };
  C->SetMouseAction(maDragLabel);
  Drag(298, 62, 250, 100);  // nearest to the pixel label
  EXPECT_EQ(C->TextLabels(B).PosX(), 250);
  EXPECT_EQ(C->TextLabels(B).PosY(), 100);
  EXPECT_EQ(Moves, 2);
  C->OnTextLabelMove = nullptr;
  int32_t PX, PY;
  C->R2M(1, 2, 2, PX, PY);
  Drag(PX + 1, PY, 120, 80);
  double EX, EY;
  C->M2R(1, 120, 80, EX, EY);
  EXPECT_DOUBLE_EQ(C->TextLabels(A).PosX(), EX);
  EXPECT_DOUBLE_EQ(C->TextLabels(A).PosY(), EY);
}

TEST_F(ChartMouse, MouseTraceRecordsStrokesUpToItsLimit) {
  EXPECT_EQ(C->MouseTrace(0).Flag, 0xFFFF);
  C->SetMouseAction(maDrawMTrace);
  C->SetMouseTraceColor(clRed);
  Drag(100, 100, 200, 150);
  ASSERT_EQ(C->NumMTracePoints(), 3);
  double X, Y;
  C->M2R(1, 200, 150, X, Y);
  EXPECT_DOUBLE_EQ(C->MouseTrace(3).X, X);
  EXPECT_EQ(C->MouseTrace(3).Color, clRed);
  EXPECT_EQ(C->MouseTrace(2).Flag, 2);
  EXPECT_EQ(C->MouseTrace(3).Flag, 3);  // pen lifted at the release
  EXPECT_EQ(C->MouseTrace(4).Flag, 0xFFFF);
  C->SetMouseTraceInvert(false);
  Host.MouseDown(Form, 10, 10);
  Host.MouseMove(Form, 10, 10);  // clamped into the data area
  C->M2R(1, C->LRim(), C->TRim(), X, Y);
  EXPECT_DOUBLE_EQ(C->MouseTrace(4).X, X);
  EXPECT_EQ(C->MouseTrace(4).Flag, 0);
  for (int I = 0; I < 6000; ++I) Host.MouseMove(Form, 100 + I % 200, 100);
  Host.MouseUp(Form, 100, 100);
  EXPECT_EQ(C->NumMTracePoints(), TCustomRIrove::kMaxMouseTracePoints);
  C->ClearMouseTrace();
  EXPECT_EQ(C->NumMTracePoints(), 0);
}

TEST_F(ChartMouse, AxisBandsAndAxisDragging) {
  C->Scale1X().SetVisible(true);
  C->Scale1Y().SetVisible(true);
  ASSERT_EQ(C->Scale1X().ScaleType(), sctXT);  // the bottom axis
  ASSERT_EQ(C->Scale1Y().ScaleType(), sctYR);  // the left axis
  const int32_t Bottom = 300 + C->Scale1X().ScalePos() - C->BRim();
  const int32_t Left = C->LRim() - C->Scale1Y().ScalePos();
  EXPECT_EQ(C->DetectScale(200, Bottom + 45), 0);  // the x band is 40 pixels
  EXPECT_EQ(C->DetectScale(200, Bottom + 20), -1);
  EXPECT_EQ(C->DetectScale(Left - 45, 150), 1);  // the y band is 50 pixels
  EXPECT_EQ(C->DetectScale(200, 150), 0);
  C->Scale1Y().SetVisible(false);
  EXPECT_EQ(C->DetectScale(Left - 45, 150), 0);

  // Dragging in the band pans the axis; the chart's own mode does not matter.
  C->Scale1X().SetMouseAction(maPan);
  Drag(200, Bottom + 20, 234, Bottom + 20);
  EXPECT_NEAR(C->Scale1X().RangeLow(), -34 * 10.0 / (400 - C->LRim() - C->RRim()), 1e-9);
  EXPECT_DOUBLE_EQ(C->Scale1Y().RangeLow(), 0);
  EXPECT_EQ(ZoomPans, 2);
  // A double click on the axis switches it to zooming and back.
  Host.MouseMove(Form, 200, Bottom + 20);
  Host.DoubleClick(Form, 200, Bottom + 20);
  EXPECT_EQ(C->Scale1X().MouseAction(), maZoom);
  Host.DoubleClick(Form, 200, Bottom + 20);
  EXPECT_EQ(C->Scale1X().MouseAction(), maPan);
}

TEST_F(ChartMouse, MouseBoxWaitsForTheUsersRectangle) {
  double XLo = 0, YLo = 0, XHi = 0, YHi = 0;
  Application().Post([this] {
    Host.MouseDown(Form, 200, 150);
    Host.MouseMove(Form, 150, 120);
    Host.MouseMove(Form, 100, 50);
    Host.MouseUp(Form, 100, 50);
  });
  ASSERT_TRUE(C->MouseBox(XLo, YLo, XHi, YHi));
  double X1, Y1, X2, Y2;
  C->M2R(1, 200, 150, X1, Y1);
  C->M2R(1, 100, 50, X2, Y2);
  EXPECT_DOUBLE_EQ(XLo, X2);
  EXPECT_DOUBLE_EQ(XHi, X1);
  EXPECT_DOUBLE_EQ(YLo, Y1);
  EXPECT_DOUBLE_EQ(YHi, Y2);
  EXPECT_EQ(C->MouseBoxState(), msNormal);

  // The right button aborts; so does an application with nothing more to wait for.
  Application().Post([this] { Host.MouseDown(Form, 200, 150, mbRight); });
  EXPECT_FALSE(C->MouseBox(XLo, YLo, XHi, YHi));
  EXPECT_FALSE(C->MouseBox(XLo, YLo, XHi, YHi));
  EXPECT_EQ(C->MouseBoxState(), msNormal);
  EXPECT_DOUBLE_EQ(XLo, X2);
}

TEST_F(ChartMouse, MouseBoxSurvivesTheChartBeingDestroyed) {
  double XLo = 7, YLo = 0, XHi = 0, YHi = 0;
  TRIrove* Chart = C;
  Application().Post([&] { delete Chart; });
  EXPECT_FALSE(Chart->MouseBox(XLo, YLo, XHi, YHi));
  EXPECT_EQ(XLo, 7);
}

TEST_F(ChartMouse, MoveEventPositionAndCursors) {
  std::vector<std::tuple<bool, double, double>> Moves;
  C->OnMouseMoveInChart = [&](TObject*, bool In, TShiftState, double X, double Y) {
    Moves.emplace_back(In, X, Y);
  };
  double X, Y;
  C->M2R(1, 120, 90, X, Y);
  Host.MouseMove(Form, 120, 90);
  Host.MouseMove(Form, 5, 5);
  ASSERT_EQ(Moves.size(), 2u);
  EXPECT_EQ(Moves[0], std::make_tuple(true, X, Y));
  EXPECT_FALSE(std::get<0>(Moves[1]));
  EXPECT_DOUBLE_EQ(C->MousePosX(), X);  // outside the data area it stays
  EXPECT_DOUBLE_EQ(C->MousePosY(), Y);

  ASSERT_NE(Screen().CursorImage(1), nullptr);  // the chart's cursors are loaded
  ASSERT_NE(Screen().CursorImage(4), nullptr);
  C->SetMouseAction(maPan);
  Host.MouseMove(Form, 120, 90);
  EXPECT_EQ(Screen().Cursor(), crDefault);  // MouseCursorFixed
  C->SetMouseCursorFixed(false);
  const std::pair<TMouseActMode, TCursor> Cases[] = {
      {maPan, 1}, {maPanGrid, 1}, {maZoomWind, 2}, {maZoomDrag, 3}, {maZoomWindPos, 4},
      {maNone, crCross}, {maRubberBand, crDefault}};
  for (const auto& [Mode, Cursor] : Cases) {
    C->SetMouseAction(Mode);
    Host.MouseMove(Form, 120, 90);
    EXPECT_EQ(Screen().Cursor(), Cursor) << Mode;
  }
  C->SetMouseAction(maPan);
  Host.MouseMove(Form, 120, 90);
  Host.MouseMove(Form, 5, 5);
  EXPECT_EQ(Screen().Cursor(), crDefault);  // outside the data area
  Host.MouseMove(Form, 120, 90);
  Host.MouseExit(Form);
  EXPECT_EQ(Screen().Cursor(), crDefault);  // not left behind for other controls
}

} // namespace
