#include "graphics/colors.h"

#include <gtest/gtest.h>

#include "graphics/canvas.h"
#include "graphics/drawtools.h"
#include "rtl/exceptions.h"

namespace zef {
namespace {

TEST(Colors, ComponentsAndSystemColours) {
  EXPECT_EQ(RGB(1, 2, 3), 0x030201u);
  EXPECT_EQ(GetRValue(0x030201), 1);
  EXPECT_EQ(GetBValue(0x030201), 3);
  EXPECT_TRUE(IsSystemColor(clBtnFace));
  EXPECT_EQ(ColorToRGB(clBtnFace) >> 24, 0u);
  EXPECT_EQ(ColorToRGB(clWindow), clWhite);
  EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
  EXPECT_EQ(ColorToRGB(0xFF0000FE), clBlack);    // unknown system index
  EXPECT_EQ(ColorToRGB(0x12345678), 0x345678u);  // other high bytes are masked
  EXPECT_EQ(ColorToRGB(clNone), 0xFFFFFFu);
}

TEST(Colors, TextFormsRoundTrip) {
  const TColor Cases[] = {clBlack, clMoneyGreen, clRed, clNone, clDefault, clBtnFace, cl3DDkShadow, 0x123456, 0xFE000001};
  for (TColor C : Cases) EXPECT_EQ(StringToColor(ColorToString(C)), C) << ColorToString(C);
  EXPECT_EQ(ColorToString(clMoneyGreen), "clMoneyGreen");
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
  EXPECT_EQ(StringToColor("clred"), clRed);
  EXPECT_EQ(StringToColor("$FF"), 0xFFu);
  EXPECT_EQ(StringToColor("255"), 0xFFu);
  EXPECT_THROW(StringToColor("clPink"), EConvertError);
  EXPECT_THROW(StringToColor("$12345678FF"), EConvertError);
  EXPECT_THROW(StringToColor("$xyz"), EConvertError);
}

TEST(DrawingTools, FontHeightSizeAndResolution) {
  TFont F;
  int Changes = 0;
  F.OnChange = [&](TObject*) { ++Changes; };
  F.SetSize(12);
  EXPECT_EQ(F.Height(), -16);
  EXPECT_EQ(F.Size(), 12);
  F.SetPixelsPerInch(192);  // the pixel height stays, the size in points halves
  EXPECT_EQ(F.Height(), -16);
  EXPECT_EQ(F.Size(), 6);
  F.SetSize(12);
  EXPECT_EQ(F.Height(), -32);
  F.SetHeight(-32);  // unchanged: no notification
  EXPECT_EQ(Changes, 2);
  TFont G;
  G.Assign(F);
  EXPECT_EQ(G.Height(), -32);
  EXPECT_EQ(G.PixelsPerInch(), 192);

  TPen P;
  P.SetWidth(0);
  EXPECT_EQ(P.Width(), 1);
  TBrush B;
  EXPECT_THROW(B.Assign(P), EConvertError);
  EXPECT_EQ(MulDiv(7, 3, 2), 11);   // 10.5 rounds away from zero
  EXPECT_EQ(MulDiv(-7, 3, 2), -11);
  EXPECT_EQ(MulDiv(1, 2, 0), -1);
}

TEST(BitmapStorage, SetSizeKeepsTheCommonArea) {
  TBitmap B(3, 2);
  B.SetPixel(2, 1, clRed);
  B.SetSize(5, 4);
  EXPECT_EQ(B.GetPixel(2, 1), clRed);
  EXPECT_EQ(B.GetPixel(4, 3), clWhite);
  B.SetSize(2, 2);
  EXPECT_EQ(B.GetPixel(2, 1), clNone);
  B.SetSize(-3, 5);
  EXPECT_TRUE(B.Empty());
  EXPECT_THROW(B.SetSize(100000, 100000), EInvalidGraphic);
  EXPECT_THROW(B.ScanLine(5), ERangeError);
}

TEST(BitmapStorage, LowerFormatsQuantiseEveryWrite) {
  TBitmap B(2, 1);
  B.SetPixelFormat(pf1bit);
  B.SetPixel(0, 0, RGB(200, 210, 190));
  B.SetPixel(1, 0, RGB(40, 30, 60));
  EXPECT_EQ(B.GetPixel(0, 0), clWhite);
  EXPECT_EQ(B.GetPixel(1, 0), clBlack);
  B.SetPixelFormat(pf24bit);
  B.Canvas().Pen().SetColor(RGB(1, 2, 3));
  B.Canvas().MoveTo(0, 0);
  B.Canvas().LineTo(2, 0);
  EXPECT_EQ(B.GetPixel(1, 0), RGB(1, 2, 3));
  B.SetPixelFormat(pf16bit);  // setting a lower format quantises what is there
  EXPECT_EQ(B.GetPixel(1, 0), QuantizeColor(RGB(1, 2, 3), pf16bit));
}

} // namespace
} // namespace zef
