// TScale as a control: defaults and setter rules, painting (own window, foreign canvas,
// transparency, suppression, visibility), Assign, and rescaling with the mouse (Rescale and
// dragging through the headless host).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "ZEF_Scale.h"
#include "controls/forms.h"
#include "graphics/bitmap.h"
#include "graphics/fonts.h"
#include "host/headless.h"

namespace zef {
namespace {

TEST(ScaleSettings, Defaults) {
  TScale S(nullptr);
  EXPECT_EQ(S.Width(), 400);
  EXPECT_EQ(S.Height(), 400);
  EXPECT_EQ(S.RangeLow(), 0);
  EXPECT_EQ(S.RangeHigh(), 100);
  EXPECT_EQ(S.Center(), 50);
  EXPECT_FALSE(S.Logarithmic());
  EXPECT_EQ(S.ScaleType(), sctXB);
  EXPECT_EQ(S.LabelType(), ftNum);
  EXPECT_EQ(S.DecPlaces(), -2);
  EXPECT_EQ(S.MinTicks(), 3);
  EXPECT_TRUE(S.ShortTicks());
  EXPECT_TRUE(S.ShowBaseLine());
  EXPECT_EQ(S.CaptionPosX(), 4);
  EXPECT_EQ(S.CaptionPosY(), 4);
  EXPECT_EQ(S.CaptionAlignment(), taCenter);
  EXPECT_EQ(S.CaptionAnchor(), uaSclTopLft);
  EXPECT_EQ(S.MarginTop() + S.MarginBottom() + S.MarginLeft() + S.MarginRight(), 80);
  EXPECT_EQ(S.ColorScale(), clBlack);
  EXPECT_EQ(S.ColorBackGnd(), clBtnFace);
  EXPECT_EQ(S.ColorScheme(), csBWG);
  EXPECT_EQ(S.FrameStyle(), fsLowered);
  EXPECT_FALSE(S.Transparent());
  EXPECT_EQ(S.MouseAction(), maNone);
  EXPECT_FALSE(S.IsHelperComponent());
  EXPECT_TRUE(S.SuppressPaint());
  EXPECT_EQ(S.NumTicks(), 0);
  const TDTLabel& F = S.DateFormat();
  EXPECT_EQ(F.TimeFormat(), tfHHMMSS);
  EXPECT_EQ(F.DateSeparator(), '-');
  EXPECT_EQ(F.TimeSeparator(), ':');
  EXPECT_EQ(F.YearLength(), ylYYYY);
  EXPECT_TRUE(F.MonthName());
  EXPECT_EQ(F.DateForTime(), dtOnePerDay);
  EXPECT_EQ(F.DateOrder(), doDDMMYY);
}

TEST(ScaleSettings, SetterRules) {
  TScale S(nullptr);
  S.SetRangeLow(5);
  S.SetRangeHigh(5);  // equal ends: the other end moves one up, reversing the axis
  EXPECT_EQ(S.RangeLow(), 6);
  EXPECT_EQ(S.RangeHigh(), 5);
  S.SetRangeLow(5);
  EXPECT_EQ(S.RangeHigh(), 6);
  S.SetRange(3, 3);
  EXPECT_EQ(S.RangeLow(), 3);
  EXPECT_EQ(S.RangeHigh(), 4);
  S.SetRangeLow(std::nan(""));  // a range end must stay a number
  S.SetRange(0, INFINITY);
  EXPECT_EQ(S.RangeLow(), 3);
  EXPECT_EQ(S.RangeHigh(), 4);

  for (const auto& [In, Out] : {std::pair{1, 2}, {15, 10}, {0, 0}, {7, 7}, {-4, 2}}) {
    S.SetMinTicks(In);
    EXPECT_EQ(S.MinTicks(), Out) << In;
  }
  for (const auto& [In, Out] : {std::pair{-7, -3}, {20, 12}, {-1, -1}}) {
    S.SetDecPlaces(In);
    EXPECT_EQ(S.DecPlaces(), Out) << In;
  }
  S.SetMarginLeft(-5);
  EXPECT_EQ(S.MarginLeft(), 0);

  S.SetLabelType(ftTime);
  EXPECT_EQ(S.DecPlaces(), 4);
}

TEST(ScaleSettings, LogarithmicNeedsPositiveEndsAfterLoading) {
  TScale S(nullptr);  // range 0..100
  S.SetLogarithmic(true);
  EXPECT_FALSE(S.Logarithmic());
  S.SetRange(1, 100);
  S.SetLabelType(ftDateTime);
  S.SetLogarithmic(true);
  EXPECT_FALSE(S.Logarithmic());
  S.SetLabelType(ftNum);
  S.SetLogarithmic(true);
  EXPECT_TRUE(S.Logarithmic());
  S.SetLabelType(ftDateTime);  // date-time labels switch it off
  EXPECT_FALSE(S.Logarithmic());

  // While loading the settings come in any order.
  S.SetLabelType(ftNum);
  S.SetRange(0, 100);
  S.BeginLoading();
  S.SetLogarithmic(true);
  S.SetRange(10, 1000);
  S.EndLoading();
  EXPECT_TRUE(S.Logarithmic());
  EXPECT_EQ(S.ConvertToPixelCoords(10), 20);  // the transform is computed after loading
  EXPECT_EQ(S.ConvertToPixelCoords(1000), 379);
}

TEST(ScaleSettings, AssignAndReset) {
  TScale A(nullptr), B(nullptr);
  A.SetRange(-5, 5);
  A.SetScaleType(sctYL);
  A.SetMarginTop(3);
  A.SetCaption("mV");
  A.SetColorScheme(csSystem);
  A.SetDecPlaces(3);
  A.DateFormat().SetDateOrder(doMMDDYY);
  int Events = 0;
  A.OnBeforeTickLabel = [&](TObject*, TScaleType, double, std::string&) { ++Events; };
  B.Assign(A);
  EXPECT_EQ(B.RangeLow(), -5);
  EXPECT_EQ(B.RangeHigh(), 5);
  EXPECT_EQ(B.ScaleType(), sctYL);
  EXPECT_EQ(B.MarginTop(), 3);
  EXPECT_EQ(B.Caption(), "mV");
  EXPECT_EQ(B.ColorScheme(), csSystem);
  EXPECT_EQ(B.DecPlaces(), 3);
  EXPECT_EQ(B.DateFormat().DateOrder(), doMMDDYY);
  EXPECT_EQ(B.ConvertToPixelCoords(5), A.ConvertToPixelCoords(5));
  ASSERT_TRUE(B.OnBeforeTickLabel);

  // B's date format still repaints B, not A.
  TBitmap Bmp(400, 400);
  int APaints = 0, BPaints = 0;
  A.OnBeforeScaleRendered = [&](TObject*, TCanvas&) { ++APaints; };
  B.OnBeforeScaleRendered = [&](TObject*, TCanvas&) { ++BPaints; };
  for (TScale* S : {&A, &B}) {
    S->UseForeignCanvas(&Bmp.Canvas(), 0, 0);
    S->SetSuppressPaint(false);
    S->SetIsHelperComponent(true);
  }
  APaints = BPaints = 0;
  B.DateFormat().SetTimeFormat(tfAMPM);
  EXPECT_EQ(APaints, 0);
  EXPECT_EQ(BPaints, 1);

  TFont Font;
  EXPECT_THROW(B.Assign(Font), EConvertError);

  B.ResetComp();
  EXPECT_EQ(B.RangeHigh(), 100);
  EXPECT_EQ(B.ScaleType(), sctXB);
  EXPECT_EQ(B.Caption(), "");
  EXPECT_EQ(B.DateFormat().DateOrder(), doDDMMYY);
  EXPECT_TRUE(B.IsHelperComponent());  // the painter set-up is not a setting
}

// ---- Painting onto a foreign canvas -------------------------------------------------------

class ScalePainting : public ::testing::Test {
protected:
  void SetUp() override {
    SetFontEngine(BuiltinFontEngine());
    Clear();
    S.SetBounds(0, 0, 100, 50);
    S.SetColorBackGnd(clAqua);
    S.UseForeignCanvas(&Bmp.Canvas(), 10, 20);
    S.OnBeforeScaleRendered = [this](TObject*, TCanvas& C) {
      Log += std::string("before:") + (&C == &Bmp.Canvas() ? "target " : "other ");
    };
    S.OnAfterScaleRendered = [this](TObject*, TCanvas& C) {
      Log += std::string("after:") + (&C == &Bmp.Canvas() ? "target " : "other ");
    };
  }
  void TearDown() override { SetFontEngine(nullptr); }
  void Clear() {
    Bmp.Canvas().Brush().SetColor(clWhite);
    Bmp.Canvas().FillRect({0, 0, 200, 200});
    Log.clear();
  }
  TColor At(int32_t X, int32_t Y) { return Bmp.Canvas().Pixels(X, Y); }

  TBitmap Bmp{200, 200};
  TScale S{nullptr};
  std::string Log;
};

TEST_F(ScalePainting, SuppressedUntilForced) {
  S.SetColorBackGnd(clYellow);  // suppressed since creation: nothing paints
  EXPECT_EQ(At(60, 45), clWhite);
  S.ForcePaint();
  EXPECT_TRUE(S.SuppressPaint());
  // The opaque scale is drawn on a bitmap of its own and copied to (10, 20).
  EXPECT_EQ(At(60, 45), clYellow);
  EXPECT_EQ(At(9, 45), clWhite);
  EXPECT_EQ(At(110, 45), clWhite);
  EXPECT_EQ(Log, "before:target after:other ");
  // Lowered frame: grey on the top-left, white on the bottom-right.
  EXPECT_EQ(At(10, 20), clGray);
  EXPECT_EQ(At(109, 69), clWhite);

  Clear();
  S.SetSuppressPaint(false);
  S.SetIsHelperComponent(true);  // a helper paints at once on every change
  EXPECT_EQ(At(60, 45), clYellow);
  Clear();
  S.SetColorBackGnd(clYellow);  // unchanged colour: no repaint
  EXPECT_EQ(At(60, 45), clWhite);
}

TEST_F(ScalePainting, TransparentDrawsOnlyTheAxis) {
  S.SetTransparent(true);
  S.SetShortTicks(false);
  S.ForcePaint();
  // The base line lies at posY + Height - MarginBottom - 1; along the axis the foreign
  // position is not added.
  EXPECT_EQ(At(20, 49), clBlack);
  EXPECT_EQ(At(79, 49), clBlack);
  EXPECT_EQ(At(19, 49), clWhite);
  EXPECT_EQ(At(80, 49), clWhite);
  EXPECT_EQ(At(60, 60), clWhite);  // no background
  EXPECT_EQ(Log, "before:target after:target ");
  Clear();
  S.SetShowBaseLine(false);
  S.ForcePaint();
  EXPECT_EQ(At(50, 49), clWhite);
}

TEST_F(ScalePainting, InvisibleScalesPaintOnlyInDesignMode) {
  S.SetVisible(false);
  S.ForcePaint();
  EXPECT_EQ(Log, "");
  S.SetDesigning(true);
  S.ForcePaint();
  EXPECT_EQ(Log, "before:target after:other ");
  Log.clear();
  S.SetIsHelperComponent(true);
  S.ForcePaint();
  EXPECT_EQ(Log, "");
}

// ---- Rescale ------------------------------------------------------------------------------

struct TRescaleCase {
  const char* Name;
  TMouseActMode Action;
  TScaleType Type;
  bool Log;
  double Lo, Hi;
  int32_t Anchor, X, Y;
  double ExpLo, ExpHi;
};

TEST(ScaleRescale, Table) {
  // A 400 x 400 caller with rims of 20: the axis is 360 pixels long both ways.
  const TRescaleCase Cases[] = {
      {"pan x", maPan, sctXT, false, 0, 100, 100, 136, 0, -10, 90},
      {"pan y", maPan, sctYR, false, 0, 100, 100, 0, 136, 10, 110},
      {"pan x log", maPan, sctXB, true, 1, 100, 100, 136, 0, std::pow(100, -0.1),
       100 * std::pow(100, -0.1)},
      {"pan y log", maPan, sctYL, true, 1, 100, 100, 0, 136, std::pow(100, 0.1),
       100 * std::pow(100, 0.1)},
      {"zoom x right half", maZoom, sctXT, false, 0, 100, 300, 200, 0, 0, 100 * 280.0 / 180},
      {"zoom x left half", maZoom, sctXT, false, 0, 100, 100, 200, 0, 100 - 100 * 280.0 / 180, 100},
      {"zoom y upper half", maZoom, sctYR, false, 0, 100, 100, 0, 200, 0, 100 * 280.0 / 180},
      {"zoom y lower half", maZoom, sctYR, false, 0, 100, 300, 0, 200, 100 - 100 * 280.0 / 180, 100},
      {"zoom x log", maZoom, sctXT, true, 1, 100, 300, 264, 0, 1, 10 * std::pow(10, 1.1)},
      {"zoom y log", maZoom, sctYL, true, 1, 100, 300, 0, 264, 10 / std::pow(10, 1.1), 100},
      {"zoomdrag x", maZoomDrag, sctXT, false, 0, 100, 100, 140, 0, 5, 95},
      {"zoomdrag y", maZoomDrag, sctYR, false, 0, 100, 100, 0, 140, -5, 105},
      {"zoomdrag log", maZoomDrag, sctXB, true, 1, 100, 100, 140, 0, 10 / std::pow(10, 0.9),
       10 * std::pow(10, 0.9)},
  };
  for (const TRescaleCase& C : Cases) {
    double Lo = -1, Hi = -1;
    ASSERT_TRUE(Rescale(C.X, C.Y, C.Anchor, C.Hi, C.Lo, C.Log, C.Type, C.Action, C.Lo, C.Hi, 20,
                        20, 20, 20, 400, 400, Lo, Hi))
        << C.Name;
    EXPECT_NEAR(Lo, C.ExpLo, 1e-9 * std::fabs(C.ExpLo) + 1e-12) << C.Name;
    EXPECT_NEAR(Hi, C.ExpHi, 1e-9 * std::fabs(C.ExpHi) + 1e-12) << C.Name;
  }
}

TEST(ScaleRescale, NoChange) {
  double Lo = 7, Hi = 8;
  const auto Call = [&](TMouseActMode A, int32_t X, int32_t W) {
    return Rescale(X, 0, 300, 100, 0, false, sctXT, A, 0, 100, 20, 20, 20, 20, W, 400, Lo, Hi);
  };
  for (TMouseActMode A : {maNone, maRubberBand, maZoomWind, maPanHoriz, maDragCrossH})
    EXPECT_FALSE(Call(A, 200, 400));
  EXPECT_FALSE(Call(maZoom, 20, 400));   // onto the fixed end: no finite range
  EXPECT_FALSE(Call(maPan, 200, 40));    // an axis without length
  EXPECT_FALSE(Call(maZoomDrag, 700, 400));  // shrunk to nothing
  EXPECT_EQ(Lo, 7);
  EXPECT_EQ(Hi, 8);
  // A logarithmic zoom that would leave the positive numbers is refused.
  EXPECT_FALSE(Rescale(0, 0, 100, 100, -1, true, sctXT, maPan, -1, 100, 20, 20, 20, 20, 400, 400,
                       Lo, Hi));
}

// ---- In a form, through the headless host -------------------------------------------------

class ScaleOnForm : public ::testing::Test {
protected:
  void SetUp() override {
    SetHost(&Host);
    SetFontEngine(BuiltinFontEngine());
    Form.SetBounds(0, 0, 500, 200);
    Form.SetColor(clRed);
    S = new TScale(&Form);
    S->SetBounds(50, 50, 400, 100);
    S->SetScaleType(sctXT);
    S->SetParent(&Form);
    S->OnZoomPan = [this](TObject*) { ++ZoomPans; };
  }
  void TearDown() override {
    SetFontEngine(nullptr);
    SetHost(nullptr);
  }
  TColor At(int32_t X, int32_t Y) {
    Host.PaintTo(Form, Shot);
    return Shot.Canvas().Pixels(X, Y);
  }

  THeadlessHost Host;
  TForm Form{nullptr};
  TScale* S = nullptr;
  TBitmap Shot;
  int ZoomPans = 0;
};

TEST_F(ScaleOnForm, AParentEndsTheSuppressionAndThePaintingShows) {
  EXPECT_FALSE(S->SuppressPaint());
  S->SetColorBackGnd(clYellow);
  EXPECT_EQ(At(250, 120), clYellow);
  EXPECT_EQ(At(100, 70), clBlack);  // the base line at MarginTop
  EXPECT_EQ(At(20, 100), clRed);     // the form around it
  S->SetTransparent(true);
  EXPECT_EQ(At(250, 120), clRed);   // the form shows through
  EXPECT_EQ(At(100, 70), clBlack);
}

TEST_F(ScaleOnForm, DraggingPans) {
  S->SetMouseAction(maPan);
  Host.MouseDown(Form, 150, 100);
  Host.MouseMove(Form, 150, 100);  // the first move sets the anchor
  EXPECT_EQ(ZoomPans, 0);
  Host.MouseMove(Form, 186, 100);  // 36 of 360 pixels: a tenth of the range
  EXPECT_EQ(ZoomPans, 1);
  EXPECT_NEAR(S->RangeLow(), -10, 1e-9);
  EXPECT_NEAR(S->RangeHigh(), 90, 1e-9);
  Host.MouseMove(Form, 60, 100);  // outside the axis extent: ignored
  EXPECT_EQ(ZoomPans, 1);
  Host.MouseMove(Form, 222, 100);  // measured from the anchor, not the last move
  EXPECT_NEAR(S->RangeLow(), -20, 1e-9);
  Host.MouseUp(Form, 222, 100);
  Host.MouseMove(Form, 300, 100);  // no button: nothing
  EXPECT_EQ(ZoomPans, 2);
  // A new drag starts from a new anchor.
  Host.MouseDown(Form, 300, 100);
  Host.MouseMove(Form, 300, 100);
  Host.MouseMove(Form, 264, 100);
  EXPECT_NEAR(S->RangeLow(), -10, 1e-9);
}

TEST_F(ScaleOnForm, DoubleClickTogglesPanAndZoom) {
  const struct {
    TMouseActMode Before, After;
  } Cases[] = {{maPan, maZoom}, {maZoom, maPan}, {maZoomDrag, maZoomDrag}, {maNone, maNone}};
  for (const auto& C : Cases) {
    S->SetMouseAction(C.Before);
    Host.DoubleClick(Form, 250, 100);
    EXPECT_EQ(S->MouseAction(), C.After);
  }
}

} // namespace
} // namespace zef
