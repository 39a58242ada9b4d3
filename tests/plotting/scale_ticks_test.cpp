// Ticks and labels of TScale: the transform, linear, logarithmic, time and date-time ticks,
// label texts and places, tick lengths, the caption and the recorded positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ZEF_Scale.h"
#include "graphics/bitmap.h"
#include "graphics/canvas.h"
#include "graphics/fonts.h"
#include "rtl/datetime.h"

namespace zef {
namespace {

using Strings = std::vector<std::string>;


// A canvas that also records every TextOut.
class TRecordingCanvas : public TCanvas {
public:
  struct TText {
    int32_t X;
    int32_t Y;
    std::string Text;
  };
  using TCanvas::TCanvas;
  void TextOut(int32_t X, int32_t Y, std::string_view Text) override {
    Texts.push_back({X, Y, std::string(Text)});
    TCanvas::TextOut(X, Y, Text);
  }
  std::vector<TText> Texts;
};

class ScaleTicks : public ::testing::Test {
protected:
  struct TTick {
    double Pos;
    int32_t X;
    int32_t Y;
  };
  struct TLabel {
    double Pos;
    std::string Text;
  };

  void SetUp() override {
    SetFontEngine(BuiltinFontEngine());
    S.SetIsHelperComponent(true);
    S.SetTransparent(true);
    S.UseForeignCanvas(&Cv, 0, 0);
    S.OnScaleTickDrawn = [this](TObject*, TCanvas&, TScaleType, double Pos, int32_t X, int32_t Y) {
      Ticks.push_back({Pos, X, Y});
    };
    S.OnBeforeTickLabel = [this](TObject*, TScaleType, double Pos, std::string& Text) {
      Labels.push_back({Pos, Text});
    };
  }
  void TearDown() override { SetFontEngine(nullptr); }

  // Clears the picture and the records, then lets the scale draw once.
  void Draw() {
    Ticks.clear();
    Labels.clear();
    Cv.Texts.clear();
    Cv.Brush().SetStyle(bsSolid);
    Cv.Brush().SetColor(clWhite);
    Cv.FillRect({0, 0, Bmp.Width(), Bmp.Height()});
    S.ForcePaint();
  }
  // The label texts of one drawing.
  std::vector<std::string> LabelTexts() {
    Draw();
    std::vector<std::string> R;
    for (const TLabel& L : Labels) R.push_back(L.Text);
    return R;
  }
  std::vector<double> Recorded() const {
    std::vector<double> R;
    for (int32_t I = 1; I <= S.NumTicks(); ++I) R.push_back(S.TickPos(I));
    return R;
  }

  TBitmap Bmp{400, 400};
  TRecordingCanvas Cv{&Bmp};
  TScale S{nullptr};
  std::vector<TTick> Ticks;
  std::vector<TLabel> Labels;
};


// ---- Transform ----------------------------------------------------------------------------

TEST_F(ScaleTicks, TransformMapsTheEndsOntoTheMargins) {
  // 400 x 400 with margins 20: the axis spans 359 pixels.
  S.SetRange(0, 100);
  EXPECT_EQ(S.ConvertToPixelCoords(0), 20);
  EXPECT_EQ(S.ConvertToPixelCoords(100), 379);
  EXPECT_DOUBLE_EQ(S.ConvertPixelToScale(379), 100);
  S.SetRange(100, 0);  // reversed
  EXPECT_EQ(S.ConvertToPixelCoords(100), 20);
  EXPECT_EQ(S.ConvertToPixelCoords(0), 379);
  S.SetScaleType(sctYR);  // vertical: RangeLow at the bottom
  S.SetRange(0, 100);
  EXPECT_EQ(S.ConvertToPixelCoords(0), 379);
  EXPECT_EQ(S.ConvertToPixelCoords(100), 20);
  EXPECT_DOUBLE_EQ(S.ConvertPixelToScale(20), 100);
}

TEST_F(ScaleTicks, LogarithmicTransform) {
  S.SetRange(1, 100);
  S.SetLogarithmic(true);
  ASSERT_TRUE(S.Logarithmic());
  // 10 lies at 20 + 359 / 2 = 199.5, rounded to the even neighbour.
  EXPECT_EQ(S.ConvertToPixelCoords(10), 200);
  EXPECT_EQ(S.ConvertToPixelCoords(100), 379);
  EXPECT_NEAR(S.ConvertPixelToScale(379), 100, 1e-9);
  // Values no logarithm can place go to the low end's side of the rectangle.
  EXPECT_EQ(S.ConvertToPixelCoords(0), 0);
  EXPECT_EQ(S.ConvertToPixelCoords(-5), 0);
  S.SetScaleType(sctYL);
  EXPECT_EQ(S.ConvertToPixelCoords(1), 379);
  EXPECT_EQ(S.ConvertToPixelCoords(0), 400);
  S.SetRange(100, 1);
  EXPECT_EQ(S.ConvertToPixelCoords(0), 0);
}

TEST_F(ScaleTicks, TransformClampsAndSurvivesAnAxisWithoutExtent) {
  S.SetRange(0, 1);
  EXPECT_EQ(S.ConvertToPixelCoords(1e300), 2147483647);
  EXPECT_EQ(S.ConvertToPixelCoords(-1e300), -2147483647);
  S.SetMarginLeft(300);
  S.SetMarginRight(300);
  EXPECT_EQ(S.ConvertToPixelCoords(0.3), 200);
  EXPECT_EQ(S.ConvertToPixelCoords(77), 200);
  EXPECT_DOUBLE_EQ(S.ConvertPixelToScale(5), 0.5);
  Draw();  // draws without dividing by the empty extent
}

// ---- Linear ticks -------------------------------------------------------------------------

struct TLinearCase {
  double Low, High;
  int32_t MinTicks, DecPlaces;
  Strings Expected;
};

TEST_F(ScaleTicks, LinearLabels) {
  const TLinearCase Cases[] = {
      {0, 1, 3, -2, {"0.00", "0.20", "0.40", "0.60", "0.80", "1.00"}},
      {0, 1000, 3, -2, {"0", "200", "400", "600", "800", "1000"}},
      {0, 10, 3, -2, {"0.0", "2.0", "4.0", "6.0", "8.0", "10.0"}},
      {0, 2e6, 3, -2, {"0.0", " 5.0E+05", " 1.0E+06", " 1.5E+06", " 2.0E+06"}},
      {0, 1000, 3, -1, {" 0.0E+00", " 2.0E+02", " 4.0E+02", " 6.0E+02", " 8.0E+02", " 1.0E+03"}},
      {-3.3, 12.8, 3, 1, {"0.0", "5.0", "10.0"}},
      // Exponents of three digits cannot be shown.
      {0, 1e120, 3, -1, {"0.0", "**********", "**********", "**********", "**********", "**********"}},
      // Reversed: the last tick, at RangeHigh, is labelled too.
      {1, 0, 3, -2, {"1.00", "0.80", "0.60", "0.40", "0.20", "0.00"}},
      // DecPlaces 0 leaves the fractional ticks without text.
      {0, 1, 5, 0, {"0", "", "", "", "", "1"}},
      // MinTicks 0 asks for one tick distance over the range.
      {0, 1, 0, -2, {"0.00", "1.00"}},
  };
  for (const TLinearCase& C : Cases) {
    SCOPED_TRACE(std::to_string(C.Low) + ".." + std::to_string(C.High));
    S.SetRange(C.Low, C.High);
    S.SetMinTicks(C.MinTicks);
    S.SetDecPlaces(C.DecPlaces);
    EXPECT_EQ(LabelTexts(), C.Expected);
  }
}

TEST_F(ScaleTicks, UserTextsAndInscriptions) {
  S.SetRange(0, 100);
  S.SetMinTicks(5);
  S.SetLabelType(ftUserText);
  S.SetUserTickText("a|b|c");
  EXPECT_EQ(LabelTexts(), (Strings{"a", "b", "c", "", "", ""}));
  S.SetUserTickText("");
  EXPECT_EQ(LabelTexts(), (Strings{"", "", "", "", "", ""}));

  S.SetLabelType(ftNum);
  S.SetRange(0, 10);
  S.SetMinTicks(2);
  S.SetDecPlaces(0);
  S.SetScaleInscript("& V");
  EXPECT_EQ(LabelTexts(), (Strings{"0 V", "5 V", "10 V"}));
  S.SetScaleInscript("x=");
  EXPECT_EQ(LabelTexts(), (Strings{"x=0", "x=5", "x=10"}));
  S.SetLabelType(ftNoFigs);
  EXPECT_TRUE(LabelTexts().empty());
  EXPECT_EQ(Ticks.size(), 14u);  // ticks are still drawn (11 short, 3 labelled)
}

TEST_F(ScaleTicks, LabelHandlerReplacesTheText) {
  S.SetRange(0, 10);
  S.SetMinTicks(2);
  S.OnBeforeTickLabel = [](TObject*, TScaleType, double Pos, std::string& Text) {
    Text = Pos == 5 ? "five" : "";
  };
  Draw();
  ASSERT_EQ(Cv.Texts.size(), 1u);
  EXPECT_EQ(Cv.Texts[0].Text, "five");
}

TEST_F(ScaleTicks, RecordedPositionsFollowShortTicks) {
  S.SetRange(0, 1);
  Draw();  // short ticks every 0.05, labelled every 0.2
  ASSERT_EQ(S.NumTicks(), 21);
  EXPECT_DOUBLE_EQ(S.TickPos(1), 0);
  EXPECT_NEAR(S.TickPos(2), 0.05, 1e-12);
  EXPECT_NEAR(S.TickPos(21), 1, 1e-12);
  EXPECT_EQ(S.TickPos(0), 0);
  EXPECT_EQ(S.TickPos(22), 0);
  S.SetShortTicks(false);
  Draw();
  EXPECT_EQ(S.NumTicks(), 6);
  EXPECT_NEAR(S.TickPos(2), 0.2, 1e-12);
  EXPECT_EQ(Ticks.size(), 6u);
  // Reversed: recorded from RangeLow on.
  S.SetRange(1, 0);
  Draw();
  ASSERT_EQ(S.NumTicks(), 6);
  EXPECT_NEAR(S.TickPos(1), 1, 1e-12);
  EXPECT_NEAR(S.TickPos(6), 0, 1e-12);
}

TEST_F(ScaleTicks, RangesAtTheLimitsOfPrecisionDrawFewTicks) {
  for (const auto& [Lo, Hi] : {std::pair{1e300, std::nextafter(1e300, 2e300)},
                               std::pair{1e15, 1e15 + 0.5}, std::pair{-1e-300, 1e-300},
                               std::pair{-1e308, 1e308}}) {
    S.SetRange(Lo, Hi);
    Draw();
    EXPECT_GE(Ticks.size(), 2u);
    EXPECT_LE(Ticks.size(), 60u);
  }
}

// ---- Logarithmic ticks --------------------------------------------------------------------

TEST_F(ScaleTicks, LogarithmicDecades) {
  S.SetRange(1, 1000);
  S.SetLogarithmic(true);
  EXPECT_EQ(LabelTexts(), (Strings{"1", "10", "100", "1000"}));
  EXPECT_EQ(Recorded(), (std::vector<double>{1, 10, 100, 1000}));
  S.SetMinTicks(5);  // more ticks than decades: 2 and 5 times each decade are labelled
  EXPECT_EQ(LabelTexts(),
            (Strings{"1", "2", "5", "10", "20", "50", "100", "200", "500", "1000"}));
  EXPECT_EQ(S.NumTicks(), 28);  // 1..9 in three decades, and 1000
  S.SetDecPlaces(-3);
  EXPECT_EQ(LabelTexts(), (Strings{"0", "1", "2", "3"}));
  S.SetMinTicks(3);
  S.SetDecPlaces(-2);
  S.SetRange(0.01, 10);
  EXPECT_EQ(LabelTexts(), (Strings{"0.01", "0.1", "1", "10"}));
  S.SetRange(1000, 1);  // reversed: drawn from RangeLow on
  EXPECT_EQ(LabelTexts(), (Strings{"1000", "100", "10", "1"}));
}

TEST_F(ScaleTicks, LogarithmicFallsBackToLinearBelowOneDecade) {
  S.SetRange(1, 5);
  S.SetLogarithmic(true);
  EXPECT_EQ(LabelTexts(), (Strings{"1.0", "2.0", "3.0", "4.0", "5.0"}));
}

TEST_F(ScaleTicks, AtMost250TicksAreRecorded) {
  S.SetRange(1e-100, 1e200);
  S.SetLogarithmic(true);
  Draw();
  EXPECT_EQ(Ticks.size(), 301u);
  EXPECT_EQ(S.NumTicks(), MaxRecordedTicks);
  EXPECT_NEAR(S.TickPos(250) / 1e149, 1, 1e-9);
}

// ---- Time ticks ---------------------------------------------------------------------------

struct TTimeCase {
  double Low, High;
  int32_t MinTicks;
  Strings Expected;
};

TEST_F(ScaleTicks, TimeLabels) {
  S.SetLabelType(ftTime);
  const TTimeCase Cases[] = {
      {0, 60, 4, {" 00:00:00", " 00:00:10", " 00:00:20", " 00:00:30", " 00:00:40", " 00:00:50",
                  " 00:01:00"}},
      {0, 2, 4, {" 00:00:00.000", " 00:00:00.500", " 00:00:01.000", " 00:00:01.500",
                 " 00:00:02.000"}},
      {-30, 30, 4, {"-00:00:30", "-00:00:20", "-00:00:10", " 00:00:00", " 00:00:10", " 00:00:20",
                    " 00:00:30"}},
      // Hours go on past a day.
      {0, 200000, 3, {" 00:00:00", " 12:00:00", " 24:00:00", " 36:00:00", " 48:00:00"}},
      // Beyond the table (more than a day per tick): numbers.
      {0, 360000, 3, {"0.0", "100000.0000", "200000.0000", "300000.0000"}},
      // MinTicks 0 counts as one tick interval.
      {0, 60, 0, {" 00:00:00", " 00:01:00"}},
      // Below the table: numbers, with the four decimals ftTime sets.
      {0, 0.002, 4, {"0.0000", "0.0005", "0.0010", "0.0015", "0.0020"}},
  };
  for (const TTimeCase& C : Cases) {
    SCOPED_TRACE(std::to_string(C.Low) + ".." + std::to_string(C.High));
    S.SetRange(C.Low, C.High);
    S.SetMinTicks(C.MinTicks);
    EXPECT_EQ(LabelTexts(), C.Expected);
  }
  S.SetRange(0, 60);
  S.SetMinTicks(4);
  Draw();  // 10-second steps in five intervals
  EXPECT_EQ(S.NumTicks(), 31);
  EXPECT_DOUBLE_EQ(S.TickPos(2), 2);
}

// ---- Date-time ticks ----------------------------------------------------------------------

TEST_F(ScaleTicks, DayTicks) {
  const double Mar1 = EncodeDate(2024, 3, 1);
  S.SetLabelType(ftDateTime);
  S.SetRange(Mar1, Mar1 + 10);
  S.SetMinTicks(5);  // two days per label
  EXPECT_EQ(LabelTexts(), (Strings{"01-Mar-2024", "03-Mar-2024", "05-Mar-2024", "07-Mar-2024",
                                   "09-Mar-2024", "11-Mar-2024"}));
  EXPECT_EQ(S.NumTicks(), 11);
  S.SetMinTicks(0);  // one tick interval over the range: weekly labels, counted from 1 January
  EXPECT_EQ(LabelTexts(), (Strings{"04-Mar-2024", "11-Mar-2024"}));
  S.SetMinTicks(5);
  S.DateFormat().SetDateOrder(doYYMMDD);
  S.DateFormat().SetMonthName(false);
  S.DateFormat().SetDateSeparator('/');
  S.DateFormat().SetYearLength(ylNone);  // the separator stays
  EXPECT_EQ(LabelTexts()[0], "/03/01");
  S.DateFormat().SetDateOrder(doMMDDYY);
  S.DateFormat().SetYearLength(ylYY);
  EXPECT_EQ(LabelTexts()[1], "03/03/24");
}

TEST_F(ScaleTicks, HourTicksWithDateLines) {
  const double Mar1 = EncodeDate(2024, 3, 1);
  S.SetLabelType(ftDateTime);
  S.SetRange(Mar1 + 0.25, Mar1 + 0.75);  // 06:00 .. 18:00, steps of 3 hours
  EXPECT_EQ(LabelTexts(),
            (Strings{"06:00", "01-Mar-2024", "09:00", "12:00", "15:00", "18:00"}));
  EXPECT_EQ(S.NumTicks(), 13);
  // The date line lies one text height further from the axis.
  ASSERT_GE(Cv.Texts.size(), 2u);
  EXPECT_EQ(Cv.Texts[1].Y - Cv.Texts[0].Y, -Cv.TextHeight("01-Mar-2024"));
  S.DateFormat().SetDateForTime(dtNone);
  S.DateFormat().SetTimeFormat(tfHHhMM);
  EXPECT_EQ(LabelTexts(), (Strings{"6h", "9h", "12h", "15h", "18h"}));
  S.DateFormat().SetTimeFormat(tfAMPM);
  EXPECT_EQ(LabelTexts(), (Strings{"6am", "9am", "12pm", "3pm", "6pm"}));
  S.DateFormat().SetTimeFormat(tfHHMMSS);
  S.DateFormat().SetDateForTime(dtAllTicks);
  EXPECT_EQ(LabelTexts().size(), 10u);
}

TEST_F(ScaleTicks, MinuteAndSecondTicks) {
  const double Day = EncodeDate(2024, 3, 1);
  S.SetLabelType(ftDateTime);
  S.DateFormat().SetDateForTime(dtNone);
  S.SetRange(Day + 10.0 / 24, Day + 10.5 / 24);  // 30 minutes: ticks every 10 minutes
  EXPECT_EQ(LabelTexts(), (Strings{"10:00", "10:10", "10:20", "10:30"}));
  S.SetRange(Day + 0.5, Day + 0.5 + 30.0 / 86400);  // 30 seconds
  EXPECT_EQ(LabelTexts(), (Strings{"12:00:00", "12:00:10", "12:00:20", "12:00:30"}));
}

TEST_F(ScaleTicks, MonthAndYearTicks) {
  S.SetLabelType(ftDateTime);
  S.SetRange(EncodeDate(2024, 1, 1), EncodeDate(2024, 12, 31));
  EXPECT_EQ(LabelTexts(), (Strings{"Jan-2024", "Apr-2024", "Jul-2024", "Oct-2024"}));
  EXPECT_EQ(S.NumTicks(), 12);
  S.SetShortTicks(false);
  EXPECT_EQ(LabelTexts(), (Strings{"Jan-2024", "Apr-2024", "Jul-2024", "Oct-2024"}));
  EXPECT_EQ(S.NumTicks(), 4);
  S.SetShortTicks(true);
  S.SetRange(EncodeDate(2000, 1, 1), EncodeDate(2050, 1, 1));
  EXPECT_EQ(LabelTexts(), (Strings{"2000", "2010", "2020", "2030", "2040", "2050"}));
  EXPECT_EQ(S.NumTicks(), 11);
  S.DateFormat().SetYearLength(ylYY);
  EXPECT_EQ(LabelTexts()[1], "10");
  // Up to the last day the platform knows: no walk beyond 9999.
  S.SetRange(EncodeDate(9000, 1, 1), 3000000);
  S.DateFormat().SetYearLength(ylYYYY);
  const Strings Years = LabelTexts();
  ASSERT_FALSE(Years.empty());
  EXPECT_EQ(Years.back(), "9800");
}

TEST_F(ScaleTicks, DateTimeRangesWithoutTicks) {
  S.SetLabelType(ftDateTime);
  const double Day = EncodeDate(2024, 3, 1);
  const struct {
    double Low, High;
    const char* Text;
  } Cases[] = {
      {Day + 1, Day, "invalid DateTime scale"},
      {-700000, 0, "invalid DateTime scale"},
      {0, 3000001, "invalid DateTime scale"},
      {Day, Day + 2e-5, "DateTime range is below 1 second"},
  };
  for (const auto& C : Cases) {
    S.SetRange(C.Low, C.High);
    Draw();
    ASSERT_EQ(Cv.Texts.size(), 1u);
    EXPECT_EQ(Cv.Texts[0].Text, C.Text);
    EXPECT_TRUE(Labels.empty());
    EXPECT_EQ(S.NumTicks(), 0);
  }
}

TEST_F(ScaleTicks, ExtremeSettingsStayInRange) {
  // Sums of margins, offsets and positions must neither overflow nor crash (UBSan watches).
  S.SetCaption("unit");
  for (TScaleType T : {sctXB, sctXT, sctYL, sctYR}) {
    S.SetScaleType(T);
    S.SetMarginLeft(2147483647);
    S.SetMarginRight(2147483647);
    S.SetMarginTop(2147483647);
    S.SetMarginBottom(2147483647);
    S.SetCaptionPosX(-2147483647 - 1);
    S.SetCaptionPosY(2147483647);
    S.UseForeignCanvas(&Cv, 2147483647, -2147483647 - 1);
    Draw();
    S.SetTransparent(false);
    Draw();
    S.SetTransparent(true);
  }
  S.ResetComp();
  S.UseForeignCanvas(&Cv, 0, 0);
  S.SetLabelType(ftDateTime);
  S.SetRange(2990000, 3000000);  // beyond the last calendar day
  EXPECT_TRUE(LabelTexts().empty());
  S.SetRange(2958000, 2958465.9);  // up to the last day
  EXPECT_FALSE(LabelTexts().empty());
}

// ---- Geometry -----------------------------------------------------------------------------

TEST_F(ScaleTicks, HorizontalLabelPlaces) {
  S.SetRange(0, 1);
  for (TScaleType T : {sctXT, sctXB}) {
    S.SetScaleType(T);
    Draw();
    const int32_t y0 = T == sctXT ? 20 : 379;
    ASSERT_EQ(Cv.Texts.size(), 6u);
    for (const auto& Text : Cv.Texts)
      EXPECT_EQ(Text.Y, T == sctXT ? y0 + 7 : y0 - Cv.TextHeight(Text.Text) - 7);
    // Centred on the tick, but kept 2 pixels inside the rectangle.
    const int32_t Half = Cv.TextWidth("0.00") / 2;
    EXPECT_EQ(Cv.Texts[0].X, std::max(20 - Half, 2));
    EXPECT_EQ(Cv.Texts[2].X, S.ConvertToPixelCoords(0.4) - Half);
    EXPECT_EQ(Cv.Texts[5].X, 379 + Half >= 398 ? 400 - 2 * Half - 2 : 379 - Half);
  }
  // A label at the very left edge moves right.
  S.SetMarginLeft(0);
  Draw();
  EXPECT_EQ(Cv.Texts[0].X, 2);
}

TEST_F(ScaleTicks, VerticalLabelPlaces) {
  S.SetRange(0, 1);
  const int32_t Half0 = Cv.TextHeight("0") / 2;
  for (TScaleType T : {sctYL, sctYR}) {
    S.SetScaleType(T);
    Draw();
    const int32_t x0 = T == sctYL ? 20 : 379;
    ASSERT_EQ(Cv.Texts.size(), 6u);
    for (std::size_t I = 0; I < 6; ++I) {
      const auto& Text = Cv.Texts[I];
      EXPECT_EQ(Text.X, T == sctYL ? x0 + 8 : x0 - 8 - Cv.TextWidth(Text.Text));
      EXPECT_EQ(Text.Y, S.ConvertToPixelCoords(0.2 * I) - Half0);
    }
  }
}

TEST_F(ScaleTicks, TickLengthsAndFeet) {
  S.SetShowBaseLine(false);
  S.SetRange(0, 1);  // labelled every 0.2, short every 0.05
  const struct {
    TScaleType Type;
    int32_t Labelled, Short;
  } Cases[] = {{sctXT, 7, 4}, {sctXB, 7, 4}, {sctYL, 6, 4}, {sctYR, 6, 4}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(static_cast<int>(C.Type));
    S.SetScaleType(C.Type);
    Draw();
    const bool Horiz = C.Type == sctXT || C.Type == sctXB;
    const int32_t Axis = C.Type == sctXT || C.Type == sctYL ? 20 : 379;
    const int32_t Dir = C.Type == sctXT || C.Type == sctYL ? 1 : -1;
    const auto Ink = [&](double Pos, int32_t Along) {
      const int32_t P = S.ConvertToPixelCoords(Pos);
      const int32_t A = Axis + Dir * Along;
      return (Horiz ? Bmp.Canvas().Pixels(P, A) : Bmp.Canvas().Pixels(A, P)) == clBlack;
    };
    EXPECT_TRUE(Ink(0.4, 0));
    EXPECT_TRUE(Ink(0.4, C.Labelled - 1));
    EXPECT_FALSE(Ink(0.4, C.Labelled));
    EXPECT_TRUE(Ink(0.45, C.Short - 1));
    EXPECT_FALSE(Ink(0.45, C.Short));
    // Every tick reports its foot on the base line.
    ASSERT_FALSE(Ticks.empty());
    const TTick& T = Ticks[1];
    EXPECT_EQ(Horiz ? T.Y : T.X, Axis);
    EXPECT_EQ(Horiz ? T.X : T.Y, S.ConvertToPixelCoords(T.Pos));
  }
  // Vertical logarithmic scales draw every tick at full length.
  S.SetScaleType(sctYL);
  S.SetRange(1, 1000);
  S.SetLogarithmic(true);
  S.SetMinTicks(5);
  S.SetShortTicks(false);  // short ticks are drawn on vertical log scales all the same
  Draw();
  EXPECT_EQ(Ticks.size(), 28u);
  EXPECT_EQ(S.NumTicks(), 10);  // only the labelled ones are recorded
  EXPECT_EQ(Bmp.Canvas().Pixels(25, S.ConvertToPixelCoords(3)), clBlack);
  EXPECT_EQ(Bmp.Canvas().Pixels(26, S.ConvertToPixelCoords(3)), clWhite);
}

TEST_F(ScaleTicks, BaseLineAndCaption) {
  S.SetScaleType(sctXT);
  S.SetShortTicks(false);
  Draw();
  // The base line covers the whole axis, from MarginLeft to Width - MarginRight - 1.
  EXPECT_EQ(Bmp.Canvas().Pixels(20, 20), clBlack);
  EXPECT_EQ(Bmp.Canvas().Pixels(379, 20), clBlack);
  EXPECT_EQ(Bmp.Canvas().Pixels(19, 20), clWhite);
  EXPECT_EQ(Bmp.Canvas().Pixels(380, 20), clWhite);

  S.SetCaption("Hz");
  const int32_t W = Cv.TextWidth("Hz");
  const struct {
    TScaleType Type;
    TScaleUnitAnchor Anchor;
    TAlignment Align;
    int32_t X, Y;
  } Cases[] = {
      {sctXT, uaSclTopLft, taLeftJustify, 4 + 20, 4 + 20},
      {sctXT, uaSclCenter, taCenter, 4 + 20 + 180 - W / 2, 4 + 20},
      {sctXB, uaSclBotRgt, taRightJustify, 4 + 380 - W, 4 + 379},
      {sctYL, uaSclCenter, taLeftJustify, 4 + 20, 4 + 200},
      {sctYR, uaSclBotRgt, taCenter, 4 + 379 - W / 2, 4 + 380},
  };
  for (const auto& C : Cases) {
    S.SetScaleType(C.Type);
    S.SetCaptionAnchor(C.Anchor);
    S.SetCaptionAlignment(C.Align);
    Draw();
    ASSERT_FALSE(Cv.Texts.empty());
    EXPECT_EQ(Cv.Texts.back().Text, "Hz");
    EXPECT_EQ(Cv.Texts.back().X, C.X);
    EXPECT_EQ(Cv.Texts.back().Y, C.Y);
  }
}

} // namespace
} // namespace zef
