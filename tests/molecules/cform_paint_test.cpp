// TMolForm drawing on a form of the headless host with the built-in font: background,
// superscript mass numbers, subscript counts, alignment and transparency.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "ZEF_cform.h"
#include "controls/application.h"
#include "controls/forms.h"
#include "graphics/fonts.h"
#include "host/headless.h"

using namespace zef;

namespace {

constexpr TColor Ink = 0x0000C0;
constexpr TColor Paper = 0xE0FFE0;
constexpr TColor FormColor = 0x808080;

class MolFormPaint : public ::testing::Test {
protected:
  void SetUp() override {
    SetFontEngine(BuiltinFontEngine());
    SetHost(&Host);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 300, 80);
    Form->SetColor(FormColor);
    Formula = new TMolForm(Form.get());
    Formula->SetBounds(10, 10, 200, 28);
    Formula->SetParent(Form.get());
    Formula->SetColorTxt(Ink);
    Formula->SetColorBkg(Paper);
    Formula->Font().SetSize(16);
  }
  void TearDown() override {
    Form.reset();
    SetHost(nullptr);
  }

  // The box of the ink pixels in control coordinates, after painting the form.
  TRect InkBox() {
    Host.PaintTo(*Form, Picture);
    TRect Box = Rect(10000, 10000, -1, -1);
    for (int32_t Y = 0; Y < Picture.Height(); ++Y)
      for (int32_t X = 0; X < Picture.Width(); ++X)
        if (Picture.GetPixel(X, Y) == Ink) {
          Box.Left = std::min(Box.Left, X - 10);
          Box.Top = std::min(Box.Top, Y - 10);
          Box.Right = std::max(Box.Right, X - 10 + 1);
          Box.Bottom = std::max(Box.Bottom, Y - 10 + 1);
        }
    return Box;
  }

  THeadlessHost Host;
  std::unique_ptr<TForm> Form;
  TMolForm* Formula = nullptr;
  TBitmap Picture;
};

TEST_F(MolFormPaint, OpaqueDrawingFillsTheControlAndSetsItsHeight) {
  Formula->SetMolFormula("C6 H12 O6");
  const TRect Box = InkBox();
  TCanvas Measure;
  Measure.SetFont(Formula->Font());
  Measure.Font().SetSize(14);  // 0.8 * 16 rounded, plus 1
  EXPECT_EQ(Formula->Height(), 2 * Measure.TextHeight("M"));
  EXPECT_EQ(Picture.GetPixel(10, 10), Paper);
  EXPECT_EQ(Picture.GetPixel(10 + 199, 10 + Formula->Height() - 1), Paper);
  EXPECT_EQ(Picture.GetPixel(9, 10), FormColor);
  EXPECT_EQ(Picture.GetPixel(10, 10 + Formula->Height()), FormColor);
  EXPECT_GT(Box.Width(), 20);
  EXPECT_LE(Box.Right, 200);
  EXPECT_LE(Box.Bottom, Formula->Height());
}

TEST_F(MolFormPaint, CountsGoBelowAndMassNumbersAboveTheSymbols) {
  Formula->SetAlignment(taLeftJustify);
  Formula->SetMolFormula("C1");
  const TRect Symbol = InkBox();
  Formula->SetMolFormula("C12");
  const TRect WithCount = InkBox();
  EXPECT_GT(WithCount.Right, Symbol.Right);
  EXPECT_GT(WithCount.Bottom, Symbol.Bottom);
  EXPECT_EQ(WithCount.Top, Symbol.Top);

  Formula->SetMolFormula("13C1");  // differs from carbon's 12: shown under ivSpecial
  const TRect Isotope = InkBox();
  EXPECT_LT(Isotope.Top, Symbol.Top);
  EXPECT_GT(Isotope.Right, Symbol.Right);
  Formula->SetIsotopeVis(ivNone);
  EXPECT_EQ(InkBox(), Symbol);
  Formula->SetMolFormula("12C1");
  Formula->SetIsotopeVis(ivAlways);
  EXPECT_LT(InkBox().Top, Symbol.Top);
}

TEST_F(MolFormPaint, DeuteriumIsDrawnAsDOrAsAnIsotopeOfHydrogen) {
  Formula->SetAlignment(taLeftJustify);
  Formula->SetMolFormula("D1");
  const TRect AsD = InkBox();
  Formula->SetMolFormula("H1");
  const TRect AsH = InkBox();
  Formula->SetMolFormula("D1");
  Formula->SetUseDeuterium(false);
  const TRect AsIsotope = InkBox();
  EXPECT_EQ(AsD.Top, AsH.Top);
  EXPECT_LT(AsIsotope.Top, AsH.Top);  // a superscript 2
}

TEST_F(MolFormPaint, AlignmentPlacesTheFormula) {
  Formula->SetMolFormula("C2 H6 O1");
  Formula->SetAlignment(taLeftJustify);
  const TRect Left = InkBox();
  Formula->SetAlignment(taRightJustify);
  const TRect Right = InkBox();
  Formula->SetAlignment(taCenter);
  const TRect Centre = InkBox();
  EXPECT_LE(Left.Left, 3);
  EXPECT_GE(Right.Right, 195);
  EXPECT_EQ(Right.Width(), Left.Width());
  EXPECT_NEAR(Centre.Left + Centre.Right, 200, 8);

  // Wider than the control: the right-aligned drawing shows the end of the formula.
  Formula->SetMolFormula("C12 H22 O11 N2 S3 P4 F5 Cl6 Br7 I8 Na9 K10 Ca11 Fe12 Cu13 Zn14");
  Formula->SetAlignment(taRightJustify);
  const TRect Wide = InkBox();
  EXPECT_LE(Wide.Left, 2);
  EXPECT_GE(Wide.Right, 195);
}

TEST_F(MolFormPaint, TransparentDrawingLeavesThePixelsBeneath) {
  Formula->SetMolFormula("C2 H6 O1");
  Formula->SetTransparent(true);
  const TRect Box = InkBox();
  EXPECT_GT(Box.Width(), 20);
  EXPECT_EQ(Picture.GetPixel(10, 10), FormColor);
  // No background anywhere; outside the glyphs' edges the form's colour stays.
  int32_t Beneath = 0;
  for (int32_t Y = 10; Y < 10 + Formula->Height(); ++Y)
    for (int32_t X = 10; X < 210; ++X) {
      ASSERT_NE(Picture.GetPixel(X, Y), Paper) << X << "," << Y;
      Beneath += Picture.GetPixel(X, Y) == FormColor;
    }
  EXPECT_GT(Beneath, 200 * Formula->Height() * 8 / 10);
}

TEST_F(MolFormPaint, ShowAsTextDrawsTheTextAsGiven) {
  Formula->SetAlignment(taLeftJustify);
  Formula->SetMolFormula("CH4");  // no parts: nothing to draw
  EXPECT_LT(InkBox().Right, 0);
  Formula->SetShowAsText(true);
  const TRect Text = InkBox();
  EXPECT_GT(Text.Width(), 20);
  Formula->SetVisible(false);
  EXPECT_LT(InkBox().Right, 0);
}

} // namespace
