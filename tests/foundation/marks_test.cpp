#include <gtest/gtest.h>

#include <set>

#include "ZEF_zefbase.h"
#include "graphics/canvas.h"
#include "graphics/fonts.h"
#include "graphics/printer.h"
#include "support/temp_dir.h"

namespace zef {
namespace {

constexpr TColor kBack = clWhite;
using Cells = std::set<std::pair<int, int>>;

struct Sheet {
  TBitmap Bmp{40, 40};
  Sheet() {
    Bmp.Canvas().Brush().SetColor(kBack);
    Bmp.Canvas().FillRect({0, 0, 40, 40});
    Bmp.Canvas().Pen().SetColor(clRed);
  }
  Cells Changed() const {
    Cells R;
    for (int Y = 0; Y < 40; ++Y)
      for (int X = 0; X < 40; ++X)
        if (Bmp.GetPixel(X, Y) != kBack) R.insert({X, Y});
    return R;
  }
  static Cells Around(std::initializer_list<std::pair<int, int>> Offsets, int X = 20, int Y = 20) {
    Cells R;
    for (auto [Dx, Dy] : Offsets) R.insert({X + Dx, Y + Dy});
    return R;
  }
};

TEST(Marks, FilledSquareCoversExactlyThreeByThree) {
  Sheet S;
  DrawMarkOnCanvas(S.Bmp.Canvas(), 7, 10, 10);
  Cells Expected;
  for (int Y = 9; Y <= 11; ++Y)
    for (int X = 9; X <= 11; ++X) Expected.insert({X, Y});
  EXPECT_EQ(S.Changed(), Expected);
  for (auto [X, Y] : Expected) EXPECT_EQ(S.Bmp.GetPixel(X, Y), clRed);
}

TEST(Marks, PatternMarksOnScreenAndPrinter) {
  Sheet Plus;
  DrawMarkOnCanvas(Plus.Bmp.Canvas(), 1, 20, 20);
  EXPECT_EQ(Plus.Changed(), Sheet::Around({{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}}));

  Sheet Diag;
  DrawMarkOnCanvas(Diag.Bmp.Canvas(), 5, 20, 20);
  EXPECT_EQ(Diag.Changed(), Sheet::Around({{0, 0}, {1, 1}, {-1, 1}, {1, -1}, {-1, -1},
                                            {2, 2}, {-2, 2}, {2, -2}, {-2, -2}}));
  Sheet Checker;
  DrawMarkOnCanvas(Checker.Bmp.Canvas(), 18, 20, 20);
  EXPECT_EQ(Checker.Changed().size(), 25u);
  EXPECT_TRUE(Checker.Changed().count({17, 17}));
  EXPECT_FALSE(Checker.Changed().count({18, 17}));

  Sheet Printed;  // on a printer canvas the plus is drawn with lines of arm 2
  Printed.Bmp.Canvas().SetPrinterCanvas(true);
  DrawMarkOnCanvas(Printed.Bmp.Canvas(), 1, 20, 20);
  EXPECT_EQ(Printed.Changed(), Sheet::Around({{-2, 0}, {-1, 0}, {0, 0}, {1, 0}, {0, -2}, {0, -1}, {0, 1}}));
}

TEST(Marks, StrokeOfType37StopsBeforeYMinus8) {
  Sheet S;
  DrawMarkOnCanvas(S.Bmp.Canvas(), 37, 20, 20);
  Cells Expected;
  for (int Dx = -3; Dx <= 3; ++Dx) Expected.insert({20 + Dx, 20});
  for (int Dy = 1; Dy <= 7; ++Dy) Expected.insert({20, 20 - Dy});
  EXPECT_EQ(S.Changed(), Expected);
}

TEST(Marks, BrushIsRestoredAndOpenMarksLeaveItSolid) {
  Sheet S;
  TCanvas& C = S.Bmp.Canvas();
  C.Brush().SetColor(clLime);
  C.Brush().SetStyle(bsClear);
  DrawMarkOnCanvas(C, 16, 20, 20);
  EXPECT_EQ(C.Brush().Style(), bsSolid);
  EXPECT_EQ(C.Brush().Color(), clLime);
  EXPECT_EQ(S.Bmp.GetPixel(20, 20), kBack);  // open: the inside stays
  DrawMarkOnCanvas(C, 24, 10, 10);           // filled in the pen colour
  EXPECT_EQ(S.Bmp.GetPixel(10, 10), clRed);
  EXPECT_EQ(C.Brush().Color(), clLime);
}

TEST(Marks, EveryTypeStaysNearItsCentre) {
  SetFontEngine(BuiltinFontEngine());
  for (int M = 0; M < 256; ++M) {
    for (bool Printer : {false, true}) {
      Sheet S;
      S.Bmp.Canvas().SetPrinterCanvas(Printer);
      S.Bmp.Canvas().Font().SetHeight(-11);
      DrawMarkOnCanvas(S.Bmp.Canvas(), static_cast<uint8_t>(M), 20, 20);
      const Cells C = S.Changed();
      // Control characters and the no-break space show nothing; everything else leaves ink.
      const bool Blank = M >= 127 && M <= 160;
      EXPECT_EQ(C.empty(), Blank) << M;
      for (auto [X, Y] : C) {
        EXPECT_LE(std::abs(X - 20), 10) << M;
        EXPECT_LE(std::abs(Y - 20), 10) << M;
      }
    }
  }
}

TEST(Marks, CharacterMarksAreCentred) {
  SetFontEngine(BuiltinFontEngine());
  for (auto [Mark, Text] : {std::pair<uint8_t, const char*>{205, "5"}, {65, "A"}}) {
    Sheet S;
    TCanvas& C = S.Bmp.Canvas();
    DrawMarkOnCanvas(C, Mark, 20, 20);
    const TSize E = C.TextExtent(Text);
    // The text cell's top-left corner is (X - w div 2, Y - h div 2); ink lies inside the cell.
    for (auto [X, Y] : S.Changed()) {
      EXPECT_GE(X, 20 - E.cx / 2);
      EXPECT_LT(X, 20 - E.cx / 2 + E.cx);
      EXPECT_GE(Y, 20 - E.cy / 2);
      EXPECT_LT(Y, 20 - E.cy / 2 + E.cy);
    }
    EXPECT_FALSE(S.Changed().empty());
    EXPECT_EQ(C.Font().Color(), clRed);
    EXPECT_EQ(C.Brush().Style(), bsClear);  // not restored for character marks
  }
}

TEST(Marks, MarkBitmapSizeFollowsTheClampedMargin) {
  const std::pair<int, int> Cases[] = {{300, 517}, {-4, 7}, {0, 7}, {5, 17}};
  for (auto [Margin, Size] : Cases) {
    auto B = CreateMarkAsBitmap(9, clBlue, clYellow, Margin);
    EXPECT_EQ(B->Width(), Size);
    EXPECT_EQ(B->Height(), Size);
  }
  auto B = CreateMarkAsBitmap(7, clBlue, clYellow, 2);
  EXPECT_EQ(B->GetPixel(0, 0), clYellow);
  EXPECT_EQ(B->GetPixel(5, 5), clBlue);  // the centre is at Margin + 3
  EXPECT_EQ(B->GetPixel(3, 3), clYellow);
}

TEST(Frames, StylesAndColours) {
  Sheet None;
  DrawFrame(None.Bmp.Canvas(), fsNone, 2, 2, 30, 30, clWhite, clSilver, clGray, clBlack, clRed);
  EXPECT_TRUE(None.Changed().empty());

  Sheet Simple;
  DrawFrame(Simple.Bmp.Canvas(), fsSimple, 2, 2, 10, 8, clWhite, clSilver, clGray, clBlack, clBlue);
  EXPECT_EQ(Simple.Bmp.GetPixel(2, 2), clBlue);
  for (auto [X, Y] : {std::pair{2, 2}, {10, 2}, {2, 8}, {10, 8}}) EXPECT_EQ(Simple.Bmp.GetPixel(X, Y), clBlue);
  EXPECT_EQ(Simple.Bmp.GetPixel(6, 5), kBack);

  const TColor Hi = 0x010101, Li = 0x020202, Sh = 0x030303, Dk = 0x040404;
  Sheet Raised;
  DrawFrame(Raised.Bmp.Canvas(), fsRaised, 2, 2, 20, 20, Hi, Li, Sh, Dk, clRed);
  EXPECT_EQ(Raised.Bmp.GetPixel(2, 10), Hi);   // outer left
  EXPECT_EQ(Raised.Bmp.GetPixel(20, 10), Dk);  // outer right
  EXPECT_EQ(Raised.Bmp.GetPixel(10, 20), Dk);  // outer bottom
  EXPECT_EQ(Raised.Bmp.GetPixel(3, 10), Li);   // inner left
  EXPECT_EQ(Raised.Bmp.GetPixel(19, 10), Sh);  // inner right
  EXPECT_EQ(Raised.Bmp.Canvas().Pen().Color(), Sh);

  Sheet Engraved;
  DrawFrame(Engraved.Bmp.Canvas(), fsEngraved, 2, 2, 20, 20, Hi, Li, Sh, Dk, clRed);
  EXPECT_EQ(Engraved.Bmp.GetPixel(10, 2), Sh);
  EXPECT_EQ(Engraved.Bmp.GetPixel(10, 3), Hi);
  EXPECT_EQ(Engraved.Bmp.GetPixel(10, 19), Sh);
}

TEST(CanvasUtilities, FontSizeAtScreenResolution) {
  TBitmap B(4, 4);
  TCanvas& C = B.Canvas();
  C.Font().SetPixelsPerInch(300);
  SetCanvasFontSizeScaled(C, 12);
  EXPECT_EQ(C.Font().Height(), -16);  // 12 pt at 96 pixels per inch
  EXPECT_EQ(C.Font().PixelsPerInch(), 300);
  C.Font().SetPixelsPerInch(96);
  SetCanvasFontSizeScaled(C, 9);
  EXPECT_EQ(C.Font().Height(), -12);
  EXPECT_THROW(FontIsTrueType("No Such Font Family 123"), EZEFError);
}

class PrintBitmapTest : public test::TempDirTest {};

TEST_F(PrintBitmapTest, CopiesThePictureOntoThePrinterPage) {
  auto P = std::make_unique<TPrinter>();
  P->SetFileName(Path("page.pdf"));
  P->SetResolution(72);
  auto Previous = SetPrinter(std::move(P));
  Printer().BeginDoc();
  TBitmap B(3, 2);
  B.Canvas().Brush().SetColor(clRed);
  B.Canvas().FillRect({0, 0, 3, 2});
  PrintBitmap(B, 10, 20);
  EXPECT_EQ(Printer().Canvas().Pixels(10, 20), clRed);
  EXPECT_EQ(Printer().Canvas().Pixels(12, 21), clRed);
  EXPECT_EQ(Printer().Canvas().Pixels(13, 21), clWhite);
  Printer().EndDoc();
  EXPECT_GT(std::filesystem::file_size(Path("page.pdf")), 100u);
  SetPrinter(std::move(Previous));
}

} // namespace
} // namespace zef
