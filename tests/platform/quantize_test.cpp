#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "graphics/bitmap.h"
#include "graphics/image_codecs.h"

namespace zef {
namespace {

int Dist2(TColor A, TColor B) {
  const int DR = int(GetRValue(A)) - GetRValue(B), DG = int(GetGValue(A)) - GetGValue(B),
            DB = int(GetBValue(A)) - GetBValue(B);
  return DR * DR + DG * DG + DB * DB;
}

// Colours to try: a coarse grid plus random ones (fixed seed).
std::vector<TColor> SampleColors() {
  std::vector<TColor> V;
  for (int R = 0; R < 256; R += 15)
    for (int G = 0; G < 256; G += 15)
      for (int B = 0; B < 256; B += 15)
        V.push_back(RGB(static_cast<uint8_t>(R), static_cast<uint8_t>(G), static_cast<uint8_t>(B)));
  std::mt19937 Rng(12345);
  for (int I = 0; I < 60000; ++I) V.push_back(Rng() & 0xFFFFFF);
  return V;
}

TEST(QuantizePalette, BasicColoursInOrder) {
  const auto P1 = imaging::FormatPalette(pf1bit);
  EXPECT_EQ(std::vector<TColor>(P1.begin(), P1.end()), (std::vector<TColor>{clBlack, clWhite}));
  const auto P4 = imaging::FormatPalette(pf4bit);
  EXPECT_EQ(
      std::vector<TColor>(P4.begin(), P4.end()),
      (std::vector<TColor>{clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clGray,
                           clSilver, clRed, clLime, clYellow, clBlue, clFuchsia, clAqua, clWhite}));
  EXPECT_TRUE(imaging::FormatPalette(pf24bit).empty());
}

TEST(QuantizePalette, CubeAndGreyRamp) {
  const auto P = imaging::FormatPalette(pf8bit);
  ASSERT_EQ(P.size(), 256u);
  EXPECT_EQ(P[0], clBlack);
  EXPECT_EQ(P[215], clWhite);
  EXPECT_EQ(P[36 * 5 + 6 * 2 + 1], RGB(255, 102, 51));
  // All greys of palette, sorted, are round(k * 255 / 45) for k = 0..45.
  std::vector<int> Greys;
  for (TColor C : P)
    if (GetRValue(C) == GetGValue(C) && GetGValue(C) == GetBValue(C)) Greys.push_back(GetRValue(C));
  std::sort(Greys.begin(), Greys.end());
  ASSERT_EQ(Greys.size(), 46u);
  for (int K = 0; K <= 45; ++K)
    EXPECT_EQ(Greys[static_cast<std::size_t>(K)], (K * 510 + 45) / 90) << K;
  // The ramp entries ascend.
  EXPECT_TRUE(std::is_sorted(P.begin() + 216, P.end()));
}

// Palette formats give the nearest palette colour (ties may go either way), and the index
// PaletteIndex reports is that colour's.
TEST(QuantizeColor, PaletteFormatsGiveTheNearestEntry) {
  const auto Colors = SampleColors();
  for (TPixelFormat F : {pf4bit, pf8bit}) {
    const auto P = imaging::FormatPalette(F);
    for (TColor C : Colors) {
      int Best = Dist2(C, P[0]);
      for (TColor E : P) Best = std::min(Best, Dist2(C, E));
      const TColor Q = QuantizeColor(C, F);
      ASSERT_EQ(Dist2(C, Q), Best) << "format " << int(F) << " colour " << std::hex << C;
      ASSERT_EQ(P[imaging::PaletteIndex(C, F)], Q);
    }
  }
}

TEST(QuantizeColor, OneBitByLuminance) {
  const struct {
    TColor C;
    TColor Expected;
  } Cases[] = {
      {clWhite, clWhite},
      {clBlack, clBlack},
      {clGray, clWhite}, // luminance exactly 128
      {RGB(127, 127, 127), clBlack},
      {clSilver, clWhite},
      {clRed, clBlack}, // 76
      {clLime, clWhite},
      {clBlue, clBlack},
      {clYellow, clWhite},
      {clAqua, clWhite},
      {clFuchsia, clBlack}, // 105
  };
  for (const auto& T : Cases) {
    EXPECT_EQ(QuantizeColor(T.C, pf1bit), T.Expected) << std::hex << T.C;
    EXPECT_EQ(imaging::PaletteIndex(T.C, pf1bit), T.Expected == clWhite ? 1 : 0);
  }
}

// 15 and 16 bits: each channel the nearest level with the high bits replicated downwards.
TEST(QuantizeColor, SixteenBitChannelsRoundToReplicatedLevels) {
  const auto Nearest = [](int V, int Bits) {
    int Best = 0;
    for (int K = 0; K < (1 << Bits); ++K) {
      const int L = (K << (8 - Bits)) | (K >> (2 * Bits - 8));
      if (std::abs(L - V) < std::abs(Best - V)) Best = L;
    }
    return Best;
  };
  for (int V = 0; V < 256; ++V) {
    const auto U = static_cast<uint8_t>(V);
    const TColor Q15 = QuantizeColor(RGB(U, U, U), pf15bit);
    EXPECT_EQ(GetRValue(Q15), Nearest(V, 5)) << V;
    EXPECT_EQ(GetGValue(Q15), Nearest(V, 5)) << V;
    const TColor Q16 = QuantizeColor(RGB(U, U, U), pf16bit);
    EXPECT_EQ(GetRValue(Q16), Nearest(V, 5)) << V;
    EXPECT_EQ(GetGValue(Q16), Nearest(V, 6)) << V;
    EXPECT_EQ(GetBValue(Q16), Nearest(V, 5)) << V;
  }
  EXPECT_EQ(QuantizeColor(clWhite, pf15bit), clWhite);
  EXPECT_EQ(QuantizeColor(clWhite, pf16bit), clWhite);
  EXPECT_EQ(QuantizeColor(RGB(0x84, 0x86, 0x84), pf16bit),
            RGB(0x84, 0x86, 0x84)); // already a level
}

TEST(QuantizeColor, IsIdempotentAndClearsTheHighByte) {
  const auto Colors = SampleColors();
  for (TPixelFormat F : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit})
    for (TColor C : Colors) {
      const TColor Q = QuantizeColor(C | 0x12000000, F);
      ASSERT_EQ(Q, QuantizeColor(C, F));
      ASSERT_EQ(Q >> 24, 0u);
      ASSERT_EQ(QuantizeColor(Q, F), Q) << int(F) << " " << std::hex << C;
    }
}

TEST(QuantizeColor, DeepFormatsKeepTheValue) {
  for (TPixelFormat F : {pf24bit, pf32bit, pfDevice, pfCustom}) {
    EXPECT_EQ(QuantizeColor(RGB(1, 2, 3), F), RGB(1, 2, 3));
    EXPECT_EQ(QuantizeColor(0x12345678, F), 0x12345678u);
    EXPECT_FALSE(FormatQuantizes(F));
  }
}

} // namespace
} // namespace zef
