#include "ZEF_zefcolors.h"

#include <gtest/gtest.h>

#include <set>

#include "rtl/mathfn.h"
#include "support/temp_dir.h"

namespace zef {
namespace {

TEST(ColorFunctions, InterpolationInversionHex) {
  EXPECT_EQ(InterpolateColor(0x000000, 0xFFFFFF, 0.5), 0x7F7F7Fu);
  EXPECT_EQ(InterpolateColor(0x0000FF, 0xFF0000, 2.0), 0xFF0000u);  // Frac clamped
  EXPECT_EQ(InterpolateColor(0x0000FF, 0xFF0000, -1.0), 0x0000FFu);
  EXPECT_EQ(InterpolateColor(0xFFFFFF, 0x000000, 0.5), 0x7F7F7Fu);   // trunc(255 - 127.5)
  EXPECT_EQ(Interpolate3Colors(0x000000, 0x0000FF, 0xFFFFFF, 0.25), 0x00007Fu);
  EXPECT_EQ(Interpolate3Colors(0x000000, 0x0000FF, 0xFFFFFF, 1.0), 0xFFFFFFu);
  EXPECT_EQ(MeanColor(0x000000, 0x0000FE), 0x00007Fu);
  EXPECT_EQ(ReverseRGBColor(0x123456), 0x563412u);
  EXPECT_EQ(InvertColor(0xFF123456), 0xEDCBA9u);
  EXPECT_EQ(ColorToHexStr(0xFF00000F), "FF00000F");
  EXPECT_EQ(HexStrToColor("  $00ff80zz "), 0x00FF80u);
  EXPECT_EQ(HexStrToColor(""), 0u);
  EXPECT_EQ(HexStrToColor("xyz"), 0u);
}

TEST(ColorFunctions, GrayDistanceRandomNames) {
  EXPECT_EQ(RGBtoGray(255, 255, 255), 255);
  EXPECT_EQ(RGBtoGray(100, 0, 0), 30);
  EXPECT_EQ(ColorToGrayColor(0x0000FF), 0x4C4C4Cu);  // 0.3 * 255 rounds to 76
  EXPECT_EQ(RGBColorDistance(0x000000, 0xFFFFFF), 1.0);
  EXPECT_EQ(RGBColorDistance(0x123456, 0x123456), 0.0);
  SetRandSeed(7);
  for (int I = 0; I < 50; ++I) {
    const TColor C = RandomColor(10, 20, 200, 200, 30, 0);
    EXPECT_GE(GetRValue(C), 10);
    EXPECT_LE(GetRValue(C), 20);
    EXPECT_EQ(GetGValue(C), 200);
    EXPECT_LE(GetBValue(C), 30);
    EXPECT_EQ(RandomColor() >> 24, 0u);
  }
  EXPECT_EQ(ObtainColorName(0x00D4FF7F), "Aquamarine");
  EXPECT_EQ(ObtainColorName(0x00123456), "00123456");
  EXPECT_EQ(ObtainColorName(0x808080), "Gray");
  EXPECT_EQ(ObtainColorName(0x3C14DC), "Crimson");
}

TEST(ColorTables, SizesAndTellingValues) {
  auto Find = [](std::string_view Name) {
    for (std::size_t I = 0; I < AllZEFColorNames.size(); ++I)
      if (Name == AllZEFColorNames[I]) return AllZEFColors[I];
    return TColor(0xFFFFFFFF);
  };
  EXPECT_EQ(Find("AntiqueWhite1"), 0xDBEFFFu);
  EXPECT_EQ(Find("Gold1"), 0x00D7FFu);
  EXPECT_EQ(Find("RebeccaPurple"), 0x993366u);
  EXPECT_EQ(Find("WebGray"), 0x808080u);
  EXPECT_EQ(Find("Bronze"), 0x778899u);
  EXPECT_EQ(Find("Carbon"), 0x222222u);
  EXPECT_EQ(Find("MedGray"), 0xA4A0A0u);
  EXPECT_STREQ(AllZEFColorNames[19], "AliceBlue");
  EXPECT_STREQ(AllZEFColorNames[465], "YellowGreen");
  EXPECT_EQ(PredefinedColors[46], clWindowText);
  EXPECT_EQ(PredefinedColors[40], clNone);
  EXPECT_EQ(X11Colors[144], 0x32CD9Au);
  EXPECT_EQ(ColorArray_Rainbow[10], 0x000040u);
  EXPECT_EQ(ColorArray_Contrast[15], 0x8000FFu);
}

TEST(ColorModels, HSLHSVHSI) {
  EXPECT_EQ(HSLtoColor(0, 1, 0.5), 0x0000FFu);
  EXPECT_EQ(HSLtoColor(360, 1, 0.5), 0x0000FFu);
  EXPECT_EQ(HSLtoColor(-240, 1, 0.5), 0x00FF00u);
  EXPECT_EQ(HSLtoColor(1000, 1, 0.5), HSLtoColor(280, 1, 0.5));  // whole turns
  EXPECT_EQ(HSLtoColor(120, 5, -1), 0x000000u);                   // S, L clamped
  double H, S, V;
  RGBtoHSV(0, 0, 0, H, S, V);
  EXPECT_EQ(H, 0);
  EXPECT_EQ(S, 0);
  EXPECT_EQ(V, 0);
  RGBtoHSV(128, 128, 128, H, S, V);
  EXPECT_EQ(H, -1);
  EXPECT_EQ(S, 0);
  RGBtoHSI(128, 128, 128, H, S, V);
  EXPECT_EQ(H, -1);
  EXPECT_NEAR(S, 0, 1e-12);
  EXPECT_EQ(HSVtoColor(-5, 0, 1), 0xFFFFFFu);
  EXPECT_EQ(HSVtoColor(720, 1, 1), 0x0000FFu);  // out of range: hue 0

  // Every colour of a coarse grid survives the round trip through each model.
  for (int R = 0; R <= 255; R += 51)
    for (int G = 0; G <= 255; G += 51)
      for (int B = 0; B <= 255; B += 51) {
        const TColor C = RGB(R, G, B);
        double X, Y, Z;
        ColorToHSL(C, X, Y, Z);
        EXPECT_EQ(HSLtoColor(X, Y, Z), C);
        ColorToHSV(C, X, Y, Z);
        EXPECT_EQ(HSVtoColor(X, Y, Z), C);
        ColorToHSI(C, X, Y, Z);
        EXPECT_EQ(HSItoColor(X, Y, Z), C) << R << " " << G << " " << B;
      }
  RGBtoHSL(0, 255, 0, H, S, V);
  EXPECT_EQ(H, 120);
  RGBtoHSL(0, 0, 255, H, S, V);
  EXPECT_EQ(H, 240);
  RGBtoHSL(255, 0, 128, H, S, V);
  EXPECT_NEAR(H, 329.88, 0.01);
}

TEST(ColorModels, CMYCMYKAndWavelength) {
  double C, M, Y, K;
  RGBtoCMY(255, 0, 51, C, M, Y);
  EXPECT_EQ(C, 0);
  EXPECT_EQ(M, 1);
  EXPECT_DOUBLE_EQ(Y, 0.8);
  uint8_t R, G, B;
  CMYtoRGB(C, M, Y, R, G, B);
  EXPECT_EQ(R, 255);
  EXPECT_EQ(G, 0);
  EXPECT_EQ(B, 51);
  CMYtoRGB(-1, 2, 0.5, R, G, B);
  EXPECT_EQ(R, 255);
  EXPECT_EQ(G, 0);
  EXPECT_EQ(B, 128);  // round(127.5), ties to even
  C = 0.5, M = 0.7, Y = 1.3;
  CMYtoCMYK(C, M, Y, K);
  EXPECT_DOUBLE_EQ(K, 0.5);
  EXPECT_DOUBLE_EQ(M, 0.2);
  EXPECT_DOUBLE_EQ(Y, 0.5);
  CMYKtoCMY(C, M, Y, K);
  EXPECT_DOUBLE_EQ(C, 0.5);
  EXPECT_DOUBLE_EQ(Y, 1.0);

  EXPECT_EQ(WavelengthToColor(550, 1), RGB(146, 255, 0));
  EXPECT_EQ(WavelengthToColor(379, 1), 0u);
  EXPECT_EQ(WavelengthToColor(780, 1), 0u);
  EXPECT_EQ(WavelengthToColor(380, 1), RGB(76, 0, 76));  // dimmed to 0.3
  EXPECT_EQ(WavelengthToColor(700, 0.8), RGB(255, 0, 0));
  EXPECT_EQ(WavelengthToColor(550, -2), RGB(255, 255, 0));  // a negative gamma saturates
}

TEST(ColorArray, CreationSizeAndElementAccess) {
  TColorArray A(nullptr);
  EXPECT_EQ(A.Size(), 1000);
  EXPECT_EQ(A.ColorElem(1000), ColorArray_Rainbow[10]);
  EXPECT_EQ(A.ColorElem(-5), A.ColorElem(1));
  EXPECT_EQ(A.ColorElem(5000), A.ColorElem(1000));
  int Calls = 0;
  A.OnChange = [&](TObject*) { ++Calls; };
  A.SetColorElem(0, 1);
  A.SetColorElem(1001, 1);
  EXPECT_EQ(Calls, 0);
  A.SetColorElem(3, 0x123456);
  EXPECT_EQ(A.ColorElem(3), 0x123456u);
  EXPECT_EQ(Calls, 1);

  EXPECT_FALSE(A.Resize(0));
  EXPECT_TRUE(A.Resize(1000));
  EXPECT_TRUE(A.Resize(1002));
  EXPECT_EQ(A.ColorElem(1002), clBlack);
  EXPECT_EQ(A.ColorElem(3), 0x123456u);
  A.SetSize(-3);
  EXPECT_EQ(A.Size(), 1002);
  A.SetSize(4);
  EXPECT_EQ(A.Size(), 4);
  A.SetName("Pal");
  try {
    A.Resize(MaxColorArraySize + 1);
    FAIL();
  } catch (const EZEFColArrayError& E) {
    EXPECT_EQ(E.Message(), "Component \"Pal\": not enough memory");
  }
  EXPECT_EQ(A.Size(), 4);
}

TEST(ColorArray, FillByInterpolationKeepsIndicesInsideTheList) {
  TColorArray A(nullptr);
  const TColor Two[] = {0x000000, 0xFFFFFF};
  A.FillByInterpolation(4, Two);
  EXPECT_EQ(std::set<TColor>(A.Colors().begin(), A.Colors().end()).size(), 4u);
  EXPECT_EQ(A.ColorElem(1000), 0xFFFFFFu);
  // More levels than elements, palettes longer than the array, one colour, no colour.
  for (int32_t Size : {1, 2, 3, 7}) {
    A.SetSize(Size);
    for (int32_t Levels : {-1, 0, 1, 2, 5, 1000}) {
      A.FillByInterpolation(Levels, ColorArray_Contrast);
      EXPECT_EQ(A.ColorElem(Size), ColorArray_Contrast[15]) << Size << " " << Levels;
      EXPECT_LE(std::set<TColor>(A.Colors().begin(), A.Colors().end()).size(),
                static_cast<std::size_t>(Levels > 0 ? Levels : Size));
    }
  }
  const TColor One[] = {0x00FF00};
  A.FillByInterpolation(3, One);
  EXPECT_EQ(A.ColorElem(1), 0x00FF00u);
  A.FillByInterpolation(0, std::span<const TColor>());
  EXPECT_EQ(A.ColorElem(1), 0x00FF00u);
  A.SetSize(10);
  A.FillByInterpolation(0, ColorArray_Rainbow);
  EXPECT_EQ(A.ColorElem(10), ColorArray_Rainbow[10]);
  EXPECT_EQ(A.ColorElem(1), ColorArray_Rainbow[1]);  // continuous fill starts one step in
}

TEST(ColorArray, TransformsCopiesAndSearch) {
  TColorArray A(nullptr), B(nullptr);
  A.SetSize(5);
  const TColor Five[] = {0x000001, 0x000002, 0x000003, 0x000004, 0x000005};
  A.CopyFrom(A, 1, 1, 1);
  for (int I = 0; I < 5; ++I) A.SetColorElem(I + 1, Five[I]);
  A.Backup();
  A.MirrorColors();
  EXPECT_EQ(A.ColorElem(1), 5u);
  A.InvertColors();
  EXPECT_EQ(A.ColorElem(1), 0xFFFFFAu);
  A.ReverseRGB();
  EXPECT_EQ(A.ColorElem(1), 0xFAFFFFu);
  A.Restore();
  EXPECT_EQ(A.ColorElem(1), 1u);

  B.Assign(A);
  EXPECT_TRUE(B.IsEqual(A));
  B.SetColorElem(2, 9);
  EXPECT_FALSE(B.IsEqual(A));
  B.CopyFrom(A, 5, 4, 0);  // exchanged: 4..5 go to 0..1, 0 is skipped
  EXPECT_EQ(B.ColorElem(1), 5u);
  B.CopyFrom(A, -10, 100, 3);
  EXPECT_EQ(B.ColorElem(3), 1u);
  EXPECT_EQ(B.ColorElem(5), 3u);

  double D = 0;
  EXPECT_EQ(A.ColorToIndex(0x000004, D), 4);
  EXPECT_EQ(D, 0);
  A.Fill(0x000000);
  EXPECT_EQ(A.ColorToIndex(0xFFFFFF, D), 1);  // nothing nearer than 1
  EXPECT_EQ(D, 1);

  A.CopyFrom(B, 1, 5, 1);
  A.LogTransform(0);
  EXPECT_TRUE(A.IsEqual(B));  // gamma 0 keeps the order
  A.LogTransform(1);
  EXPECT_EQ(A.ColorElem(1), B.ColorElem(1));
  EXPECT_EQ(A.ColorElem(5), B.ColorElem(5));
  TColorArray One(nullptr);
  One.SetSize(1);
  One.SetColorElem(1, 7);
  One.LogTransform(1);
  EXPECT_EQ(One.ColorElem(1), 7u);
}

class ColorArrayFile : public test::TempDirTest {};

TEST_F(ColorArrayFile, WriteAndReadBack) {
  TColorArray A(nullptr);
  A.SetSize(6);
  for (int I = 1; I <= 6; ++I) A.SetColorElem(I, 0x10101 * I);
  ASSERT_TRUE(A.StoreOnFile(5, 3, Path("a.txt")));
  EXPECT_EQ(Get("a.txt"), "3 5\r\n00030303\r\n00040404\r\n00050505\r\n");
  ASSERT_TRUE(A.StoreOnFile(-4, 99, Path("all.txt")));
  EXPECT_EQ(Get("all.txt").substr(0, 5), "1 6\r\n");

  TColorArray B(nullptr);
  EXPECT_TRUE(B.LoadFromFile(Path("all.txt"), true));
  EXPECT_TRUE(B.IsEqual(A));
  TColorArray C(nullptr);
  C.Fill(0);
  EXPECT_TRUE(C.LoadFromFile(Path("a.txt"), false));  // 1000 >= 5: no resize
  EXPECT_EQ(C.Size(), 1000);
  EXPECT_EQ(C.ColorElem(4), 0x040404u);
  EXPECT_EQ(C.ColorElem(2), 0u);
}

TEST_F(ColorArrayFile, MalformedFilesGiveFalseAndChangeNothing) {
  Put("small.txt", "1 8\r\n0\r\n");
  Put("cut.txt", "1 3\r\n00000001\r\n");
  Put("head.txt", "x 3\r\n");
  Put("lines.txt", "0 3\r\n  $FF\r\nnot hex\r\n000000AB\r\n$12\r\n");
  Put("huge.txt", "2000000000 2000000001\r\n1\r\n2\r\n");
  TColorArray A(nullptr);
  A.SetSize(4);
  A.Fill(0x777777);
  for (const char* Name : {"small.txt", "cut.txt", "head.txt", "huge.txt", "missing.txt"}) {
    EXPECT_FALSE(A.LoadFromFile(Path(Name), false)) << Name;
    EXPECT_EQ(A.Size(), 4) << Name;
    EXPECT_EQ(A.ColorElem(1), 0x777777u) << Name;
  }
  EXPECT_FALSE(A.LoadFromFile(Path("huge.txt"), true));
  EXPECT_EQ(A.Size(), 4);
  EXPECT_TRUE(A.LoadFromFile(Path("lines.txt"), false));
  EXPECT_EQ(A.ColorElem(1), 0x777777u);  // "not hex" is skipped
  EXPECT_EQ(A.ColorElem(2), 0xABu);
  EXPECT_EQ(A.ColorElem(3), 0x12u);       // element 0 ("$FF") lies outside
}

} // namespace
} // namespace zef
