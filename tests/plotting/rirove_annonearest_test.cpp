// Finding the annotation item nearest to a point, in pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "ZEF_rirove.h"
#include "host/headless.h"

using namespace zef;

namespace {

const double kNothing = std::sqrt(std::numeric_limits<double>::max());

// Data area 210 x 200 pixels at (50, 16). Layer 1 has 10 pixels per unit on both axes:
// world (x, y) is control pixel (50 + 10 x, 216 - 10 y). Layer 2 has 1 pixel per unit:
// (50 + x, 216 - y). Pixel values of items count from the data area's corner.
class RIroveAnno : public ::testing::Test {
protected:
  void SetUp() override {
    SetHost(&Host);
    C.SetBounds(0, 0, 270, 248);
    C.SetMarginLeft(50);
    C.SetMarginRight(10);
    C.SetMarginTop(16);
    C.SetMarginBottom(32);
    C.SetRange(1, 0, 0, 21, 20);
    C.SetRange(2, 0, 0, 210, 200);
    C.SetAnnoMode(true);
  }
  void TearDown() override { SetHost(nullptr); }
  int32_t Find(double mx, double my, TrcItem Id = tkEverything, uint8_t Cls = 255,
               bool VisOnly = false) {
    return C.FindNearestAnnoElem(mx, my, Id, Cls, VisOnly, D);
  }
  THeadlessHost Host;
  TRIrove C{nullptr};
  double D = -1;
};

TEST_F(RIroveAnno, EmptyContainerAndNaNInput) {
  C.MarkAt(5.0, 5.0, 1);
  C.SetAnnoMode(false);
  C.MarkAt(5.0, 5.0, 1);  // a data item is never an annotation
  C.ClearAnnotations();
  EXPECT_EQ(Find(5, 5), -1);
  EXPECT_EQ(D, kNothing);
  C.SetAnnoMode(true);
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  C.Line(NaN, 1.0, 2.0, NaN);
  C.Ellipse(5.0, NaN, NaN, 1.0);
  C.Arc(NaN, 5.0, 1.0, 1.0, -1, 1);
  C.Text(NaN, NaN, 10, "nan");
  EXPECT_GE(Find(NaN, NaN), 0);
  EXPECT_TRUE(std::isfinite(D));
}

// Every filter against one set of items, all at the mouse point (5, 10) except the line,
// which is 3 pixels away.
TEST_F(RIroveAnno, KindClassAndLayerFilters) {
  C.MarkAt(5.0, 10.0, 1);    // 0: its layer is made invalid below
  C.MoveTo(5.0, 10.0);       // 1: moves and relative line-tos never match
  C.MoveToRelPix(0, 0);      // 2
  C.DrawToRelPix(0, 0);      // 3
  C.MarkAt(5.0, 10.0, 1);    // 4
  C.SetClassDefault(7);
  C.MarkAt(5.0, 10.0, 1);    // 5
  C.SetClassDefault(0);
  C.SetActiveLayer(2);
  C.MarkAt(50.0, 100.0, 1);  // 6: the same pixel on layer 2
  C.SetActiveLayer(1);
  C.Line(5.3, 0.0, 5.3, 20.0);  // 7
  TrcChartItem Bad = C.AnnoContainer(0);
  Bad.Layer = 3;
  C.SetAnnoContainer(0, Bad);
  struct TCase {
    TrcItem Id;
    uint8_t Cls;
    bool VisOnly;
    int32_t HiddenLayer;
    int32_t Expected;
  };
  const TCase Cases[] = {
      {tkEverything, 255, false, 0, 4}, {tkNotMoveTo, 255, false, 0, 4},
      {tkMoveTo, 255, false, 0, -1},    {tkMoveRelPix, 255, false, 0, -1},
      {tkLineRelPix, 255, false, 0, -1}, {tkNone, 255, false, 0, -1},
      {tkMarkAt, 7, false, 0, 5},       {tkMarkAt, 3, false, 0, -1},
      {tkLine, 255, false, 0, 7},       {tkEverything, 255, true, 1, 6},
      {tkEverything, 255, false, 1, 4}, {tkMarkAt, 7, true, 1, -1},
  };
  for (const TCase& K : Cases) {
    C.SetLayerVisible(1, K.HiddenLayer != 1);
    EXPECT_EQ(Find(5, 10, K.Id, K.Cls, K.VisOnly), K.Expected)
        << "kind " << int(K.Id) << " class " << int(K.Cls) << " hidden " << K.HiddenLayer;
  }
  C.SetLayerVisible(1, true);
  Find(5, 10, tkLine);
  EXPECT_DOUBLE_EQ(D, 3);
}

// One item at a time; the expected distances are worked out from the pixel mapping above.
TEST_F(RIroveAnno, MeasuresPerKind) {
  struct TCase {
    const char* Name;
    std::function<void(TRIrove&)> Add;
    double mx, my;
    double Expected;  // kNothing: not found
  };
  const double Pi = std::numbers::pi;
  const auto EBar = [](TOrientation Dir) {
    return [Dir](TRIrove& R) { R.MarkErrorBar(5.0, 5.0, 1.0, 2.0, Dir, 1); };
  };
  const auto Arc = [](double A1, double A2) {
    return [A1, A2](TRIrove& R) { R.Arc(5.0, 5.0, 3.0, 2.0, A1, A2); };
  };
  const std::vector<TCase> Cases = {
      // (60, 206)-(160, 206); the mouse (110, 176) is above its middle.
      {"segment", [](TRIrove& R) { R.Line(1.0, 1.0, 11.0, 1.0); }, 6, 4, 30},
      // (190, 166) beyond the end (160, 206): 30, 40.
      {"segment end", [](TRIrove& R) { R.Line(1.0, 1.0, 11.0, 1.0); }, 14, 5, 50},
      {"arrow", [](TRIrove& R) { R.Arrow(1.0, 1.0, 11.0, 1.0, 5); }, 6, 4, 30},
      {"rect inside", [](TRIrove& R) { R.Rectangle(2.0, 2.0, 8.0, 6.0); }, 5, 4, 0},
      {"rect outside", [](TRIrove& R) { R.Rectangle(2.0, 2.0, 8.0, 6.0); }, 10, 4, 20},
      {"rect frame", [](TRIrove& R) { R.RectFrame(2.0, 2.0, 8.0, 6.0, fsRaised, 0, 0); }, 5, 8,
       20},
      // Centre (100, 166), 10 x 20 pixels either way; the mouse (100, 136) is 10 above it.
      {"rect rel pix", [](TRIrove& R) { R.RectangleRelPix(5.0, 5.0, 10, 20); }, 5, 8, 10},
      {"rect rel pix inside", [](TRIrove& R) { R.RectangleRelPix(5.0, 5.0, 10, 20); }, 5.5, 6.5,
       0},
      // Shifted 30 pixels up onto the mouse row 176.
      {"line offset", [](TRIrove& R) { R.LineOffset(1.0, 1.0, 11.0, 1.0, 0, -30); }, 6, 4, 0},
      // (100, 166) to (130, 206); the mouse (180, 206) is 50 from the end.
      {"line rel pix orig", [](TRIrove& R) { R.DrawToRelPix(5.0, 5.0, 30, 40); }, 13, 1, 50},
      {"mark", [](TRIrove& R) { R.MarkAt(2.0, 2.0, 1); }, 5, 6, 50},
      {"cursor vert", [](TRIrove& R) { R.CursorVert(4.0); }, 7, 15, 30},
      {"cursor horiz", [](TRIrove& R) { R.CursorHoriz(3.0); }, 7, 5, 20},
      // Error bar 4..7 (pixels 90..120 on row 166), or 4..7 upwards (rows 176..146).
      {"ebar horiz", EBar(orHoriz), 8, 5, 10},
      {"ebar vert", EBar(orVert), 5, 9, 20},
      {"ebar vert beside", EBar(orVert), 8, 5, 30},
      // Front (70..90, 156..196), back face shifted by (14, -14): (84..104, 142..182).
      {"3d bar right", [](TRIrove& R) { R.Bar3D(2.0, 2.0, 4.0, 6.0, 20, 45); }, 12, 4, 66},
      {"3d bar top", [](TRIrove& R) { R.Bar3D(2.0, 2.0, 4.0, 6.0, 20, 45); }, 3.5, 7.5, 1},
      // Box (70..130, 186..146): centre (100, 166), half axes 30 and 20. An arc is a curve:
      // from inside at (120, 166) it is 10 away.
      {"arc right half", Arc(-Pi / 2, Pi / 2), 9, 5, 10},
      {"arc from inside", Arc(-Pi / 2, Pi / 2), 7, 5, 10},
      {"arc outside window", Arc(-Pi / 2, Pi / 2), 0, 5, kNothing},
      {"arc on window edge", Arc(0, Pi / 2), 9, 5, kNothing},
      // Counter-clockwise from the top through the left to the bottom.
      {"arc wrapped", Arc(Pi / 2, -Pi / 2), 0, 5, 20},
      {"arc wrapped outside", Arc(Pi / 2, -Pi / 2), 10, 5, kNothing},
  };
  for (const TCase& K : Cases) {
    C.ClearAnnotations();
    K.Add(C);
    const int32_t Ix = Find(K.mx, K.my);
    EXPECT_EQ(Ix, K.Expected == kNothing ? -1 : 0) << K.Name;
    EXPECT_NEAR(D, K.Expected, 1e-9) << K.Name;
  }
}

// An ellipse is measured in pixels like every other kind: 10 pixels from its outline it
// loses against a line 5 pixels away, even though it is only 1 world unit away.
TEST_F(RIroveAnno, EllipseIsMeasuredInPixels) {
  C.Ellipse(5.0, 5.0, 2.0, 2.0);    // circle of 20 pixels around (100, 166)
  C.Line(85, 0, 85, 200);           // the data-area column 85 is control column 135
  EXPECT_EQ(Find(8, 5), 1);         // mouse (130, 166)
  EXPECT_DOUBLE_EQ(D, 5);
  EXPECT_EQ(Find(8, 5, tkEllipse), 0);
  EXPECT_DOUBLE_EQ(D, 10);
  EXPECT_EQ(Find(6, 5.5), 0);       // inside the filled ellipse
  EXPECT_EQ(D, 0);
  // Half axes 30 and 10 pixels; the mouse (100, 136) is 20 above the top.
  C.ClearAnnotations();
  C.Ellipse(5.0, 5.0, 3.0, 1.0);
  Find(5, 8);
  EXPECT_DOUBLE_EQ(D, 20);
}

// Pixel values and world values in one item; each class picks one item.
TEST_F(RIroveAnno, ScreenAndWorldCoordinates) {
  const auto Add = [&](uint8_t Cls, const std::function<void()>& F) {
    C.SetClassDefault(Cls);
    F();
  };
  Add(1, [&] { C.MarkAt(50, 150, 1); });                 // (100, 166)
  Add(2, [&] { C.DrawTo(50, 4.0); });                    // (100, 176)
  Add(3, [&] { C.DrawTo(7.0, 150); });                   // (120, 166)
  Add(4, [&] { C.Line(5.0, 5.0, 50, 0); });              // (100, 166)-(100, 16)
  Add(5, [&] { C.Line(50, 150, 5.0, 15.0); });           // (100, 166)-(100, 66)
  Add(6, [&] { C.Arrow(2.0, 100, 8.0, 100, 5); });       // (70, 116)-(130, 116)
  Add(7, [&] { C.CursorVert(40); });                     // column 90
  Add(8, [&] {
    C.SetActiveLayer(2);
    C.MarkAt(50.0, 50.0, 1);                             // layer 2: (100, 166)
    C.SetActiveLayer(1);
  });
  struct TCase {
    uint8_t Cls;
    double mx, my, Expected;
  };
  const TCase Cases[] = {
      {1, 5, 5, 0},   {1, 6, 5, 10}, {2, 5, 5, 10}, {3, 5, 5, 20}, {4, 8, 18, 30},
      {5, 8, 10, 30}, {6, 5, 8, 20}, {7, 7, 15, 30}, {8, 5, 5, 0}, {8, 5, 3, 20},
  };
  for (const TCase& K : Cases) {
    EXPECT_EQ(Find(K.mx, K.my, tkEverything, K.Cls), K.Cls - 1) << int(K.Cls);
    EXPECT_DOUBLE_EQ(D, K.Expected) << int(K.Cls);
  }
  // The mouse point is mapped with the active layer: (60, 50) on layer 2 is (110, 166).
  C.SetActiveLayer(2);
  Find(60, 50, tkEverything, 1);
  EXPECT_DOUBLE_EQ(D, 10);
}

// Text boxes follow the drawing layout: the item's font, half a line up, the alignment
// and, for offset texts, the pixel offset.
TEST_F(RIroveAnno, TextBoxes) {
  C.SetActiveLayer(2);  // 1 pixel per unit: world (x, y) is control pixel (50 + x, 216 - y)
  const auto Extents = [&](const std::string& T, int32_t Size, int32_t& LH, int32_t& TH,
                           int32_t& MW) {
    TCanvas M;
    M.Font().SetName(C.TextFont().Name());
    M.Font().SetStyle(C.TextFont().Style());
    M.Font().SetSize(Size);
    C.CalcTextExtents(T, M, LH, TH, MW);
  };
  int32_t LH = 0, TH = 0, MW = 0;
  C.SetTextAlignment(taLeftJustify);
  C.Text(100, 80, 10, "Hit me");  // anchor (150, 96)
  Extents("Hit me", 10, LH, TH, MW);
  ASSERT_GT(MW, 0);
  const double Top = 96 - LH / 2;
  const auto World = [](double X, double Y, double& wx, double& wy) {
    wx = X - 50;
    wy = 216 - Y;
  };
  double wx = 0, wy = 0;
  World(150 + MW / 2, Top + 1, wx, wy);
  EXPECT_EQ(Find(wx, wy), 0);
  EXPECT_EQ(D, 0);
  World(143, Top + 1, wx, wy);
  Find(wx, wy);
  EXPECT_DOUBLE_EQ(D, 7);

  // A long centred two-line text, 20 pixels right of and 10 above its anchor (100, 116),
  // in size 20; the event sees it as an annotation and may change it.
  const std::string Long = "a rather long text\nwith two lines";
  const std::string Shown = Long + " and more";
  std::vector<int32_t> Seen;
  C.OnBeforeRenderText = [&](TObject*, std::string& T, int32_t Index, bool IsAnno) {
    EXPECT_TRUE(IsAnno);
    if (T == Long) {
      Seen.push_back(Index);
      T = Shown;
    }
  };
  C.Text(50.0, 100.0, 20, Long, 20, -10, taCenter);
  ASSERT_EQ(C.AnnoContainer(1).ItemKind, tkTextOfs);
  Extents(Shown, 20, LH, TH, MW);
  const double Left = 120 - MW / 2, Top2 = 106 - LH / 2;
  World(Left + MW / 2, Top2 + TH + 4, wx, wy);  // 4 below the box
  EXPECT_EQ(Find(wx, wy, tkTextOfs), 1);
  EXPECT_DOUBLE_EQ(D, 4);
  World(Left + MW + 5, Top2 + TH / 2, wx, wy);  // 5 right of the widest line
  Find(wx, wy, tkTextOfs);
  EXPECT_DOUBLE_EQ(D, 5);
  EXPECT_EQ(Seen, (std::vector<int32_t>{1, 1}));
}

} // namespace
