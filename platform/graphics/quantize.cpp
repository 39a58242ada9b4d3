// Pixel-format quantisation and the palettes of the palette formats.
//
//   pf1bit   black or white: white when the luminance 0.299 R + 0.587 G + 0.114 B (integer
//            weights 77, 150, 29 over 256) is at least 128. Palette: black, white.
//   pf4bit   the nearest (Euclidean distance in RGB) of the 16 basic colours, in the order
//            clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clGray, clSilver,
//            clRed, clLime, clYellow, clBlue, clFuchsia, clAqua, clWhite; ties go to the first.
//   pf8bit   the nearest of 256 colours: indices 0..215 the 6x6x6 cube, index 36 R + 6 G + B
//            for levels 0, 51, 102, 153, 204, 255; indices 216..255 the greys round(k * 255 / 45)
//            for k = 1..44 without the multiples of 9 (those are the cube's greys), ascending.
//            Cube and ramp together give 46 evenly spaced greys.
//   pf15bit  each channel the nearest of 32 levels, pf16bit the same with 64 levels for green;
//            a level is its 5 (6) high bits with the low bits replicated from the high bits,
//            so 0 and 255 are kept and a 16-bit file holds the value exactly.
//   others   unchanged.
#include <array>

#include "graphics/bitmap.h"
#include "graphics/image_codecs.h"

namespace zef {
namespace {

constexpr std::array<TColor, 2> kPalette1 = {clBlack, clWhite};

constexpr std::array<TColor, 16> kPalette4 = {
    clBlack,  clMaroon, clGreen, clOlive,  clNavy, clPurple,  clTeal, clGray,
    clSilver, clRed,    clLime,  clYellow, clBlue, clFuchsia, clAqua, clWhite};

constexpr int Abs(int V) { return V < 0 ? -V : V; } // std::abs is not constexpr before C++23

constexpr int kRampSteps = 45; // grey k is round(k * 255 / 45); the cube has every 9th

constexpr uint8_t RampGrey(int K) {
  return static_cast<uint8_t>((K * 255 * 2 + kRampSteps) / (2 * kRampSteps));
}

constexpr std::array<TColor, 256> MakePalette8() {
  std::array<TColor, 256> P{};
  for (int R = 0; R < 6; ++R)
    for (int G = 0; G < 6; ++G)
      for (int B = 0; B < 6; ++B)
        P[static_cast<std::size_t>(36 * R + 6 * G + B)] =
            RGB(static_cast<uint8_t>(51 * R), static_cast<uint8_t>(51 * G),
                static_cast<uint8_t>(51 * B));
  std::size_t I = 216;
  for (int K = 1; K < kRampSteps; ++K)
    if (K % 9 != 0) {
      const uint8_t V = RampGrey(K);
      P[I++] = RGB(V, V, V);
    }
  return P;
}
constexpr std::array<TColor, 256> kPalette8 = MakePalette8();

// The nearest cube level (0..5) of a channel value.
constexpr std::array<uint8_t, 256> MakeCubeLevel() {
  std::array<uint8_t, 256> T{};
  for (int V = 0; V < 256; ++V)
    T[static_cast<std::size_t>(V)] = static_cast<uint8_t>((V + 25) / 51);
  return T;
}
constexpr std::array<uint8_t, 256> kCubeLevel = MakeCubeLevel();

// For R + G + B (0..765): the palette index of the grey nearest to (R + G + B) / 3, which is
// the grey nearest to the colour. Greys k = 0..45 of the ramp; every 9th is a cube grey.
constexpr std::array<uint8_t, 766> MakeGreyBySum() {
  std::array<uint8_t, 766> T{};
  for (int S = 0; S < 766; ++S) {
    int Best = 0;
    for (int K = 1; K <= kRampSteps; ++K)
      if (Abs(3 * RampGrey(K) - S) < Abs(3 * RampGrey(Best) - S)) Best = K;
    int Index;
    if (Best % 9 == 0) {
      const int L = Best / 9;
      Index = 36 * L + 6 * L + L;
    } else {
      Index = 216 + Best - 1 - Best / 9; // skip the cube greys before Best
    }
    T[static_cast<std::size_t>(S)] = static_cast<uint8_t>(Index);
  }
  return T;
}
constexpr std::array<uint8_t, 766> kGreyBySum = MakeGreyBySum();

// Channel levels of the 16-bit formats: the nearest value with Bits high bits replicated.
template <int Bits> constexpr std::array<uint8_t, 256> MakeLevels() {
  std::array<uint8_t, 256> T{};
  constexpr int N = 1 << Bits;
  for (int V = 0; V < 256; ++V) {
    int Best = 0;
    for (int K = 0; K < N; ++K) {
      const int L = (K << (8 - Bits)) | (K >> (2 * Bits - 8));
      const int B = (Best << (8 - Bits)) | (Best >> (2 * Bits - 8));
      if (Abs(L - V) < Abs(B - V)) Best = K;
    }
    T[static_cast<std::size_t>(V)] =
        static_cast<uint8_t>((Best << (8 - Bits)) | (Best >> (2 * Bits - 8)));
  }
  return T;
}
constexpr std::array<uint8_t, 256> kLevel5 = MakeLevels<5>();
constexpr std::array<uint8_t, 256> kLevel6 = MakeLevels<6>();

int Dist2(TColor A, TColor B) {
  const int DR = int(GetRValue(A)) - GetRValue(B);
  const int DG = int(GetGValue(A)) - GetGValue(B);
  const int DB = int(GetBValue(A)) - GetBValue(B);
  return DR * DR + DG * DG + DB * DB;
}

// The nearest basic colour by search; Unique tells whether no other one is as near.
uint8_t Nearest4(TColor C, bool& Unique) {
  int Best = 0, BestD = Dist2(C, kPalette4[0]);
  Unique = true;
  for (int I = 1; I < 16; ++I) {
    const int D = Dist2(C, kPalette4[static_cast<std::size_t>(I)]);
    if (D < BestD) {
      Best = I;
      BestD = D;
      Unique = true;
    } else if (D == BestD) {
      Unique = false;
    }
  }
  return static_cast<uint8_t>(Best);
}

constexpr uint8_t kAmbiguous = 0xFF;

// For each cell of 8 x 8 x 8 channel values (indexed by B5 G5 R5, the 5 high bits of each): the
// basic colour nearest to every colour of the cell, or kAmbiguous when the cell straddles
// a boundary. Nearest-colour regions are convex, so a cell whose eight corners are all
// strictly nearest to one colour lies wholly inside that colour's region.
std::array<uint8_t, 32768> MakeCells4() {
  std::array<uint8_t, 32768> T{};
  for (int R = 0; R < 32; ++R)
    for (int G = 0; G < 32; ++G)
      for (int B = 0; B < 32; ++B) {
        uint8_t Cell = kAmbiguous;
        for (int Corner = 0; Corner < 8; ++Corner) {
          const TColor C = RGB(static_cast<uint8_t>(R * 8 + (Corner & 1 ? 7 : 0)),
                               static_cast<uint8_t>(G * 8 + (Corner & 2 ? 7 : 0)),
                               static_cast<uint8_t>(B * 8 + (Corner & 4 ? 7 : 0)));
          bool Unique;
          const uint8_t N = Nearest4(C, Unique);
          if (!Unique || (Corner > 0 && N != Cell)) {
            Cell = kAmbiguous;
            break;
          }
          Cell = N;
        }
        T[static_cast<std::size_t>((B << 10) | (G << 5) | R)] = Cell;
      }
  return T;
}

uint8_t Index4(TColor C) {
  static const std::array<uint8_t, 32768> Cells = MakeCells4();
  const uint8_t Cell =
      Cells[((C >> 9) & 0x7C00) | ((C >> 6) & 0x3E0) | ((C >> 3) & 0x1F)]; // B5 G5 R5
  if (Cell != kAmbiguous) return Cell;
  bool Unique;
  return Nearest4(C, Unique);
}

uint8_t Index8(TColor C) {
  const uint8_t R = GetRValue(C), G = GetGValue(C), B = GetBValue(C);
  const uint8_t Cube = static_cast<uint8_t>(36 * kCubeLevel[R] + 6 * kCubeLevel[G] + kCubeLevel[B]);
  const uint8_t Grey = kGreyBySum[R + G + B];
  return Dist2(C, kPalette8[Grey]) < Dist2(C, kPalette8[Cube]) ? Grey : Cube;
}

bool IsWhite1(TColor C) {
  return 77 * GetRValue(C) + 150 * GetGValue(C) + 29 * GetBValue(C) >= 128 * 256;
}

} // namespace

TColor QuantizeColor(TColor C, TPixelFormat Format) {
  if (!FormatQuantizes(Format)) return C;
  C &= 0xFFFFFF;
  switch (Format) {
  case pf1bit: return IsWhite1(C) ? clWhite : clBlack;
  case pf4bit: return kPalette4[Index4(C)];
  case pf8bit: return kPalette8[Index8(C)];
  case pf15bit: return RGB(kLevel5[GetRValue(C)], kLevel5[GetGValue(C)], kLevel5[GetBValue(C)]);
  default: // pf16bit
    return RGB(kLevel5[GetRValue(C)], kLevel6[GetGValue(C)], kLevel5[GetBValue(C)]);
  }
}

namespace imaging {

std::span<const TColor> FormatPalette(TPixelFormat Format) {
  switch (Format) {
  case pf1bit: return kPalette1;
  case pf4bit: return kPalette4;
  case pf8bit: return kPalette8;
  default: return {};
  }
}

uint8_t PaletteIndex(TColor C, TPixelFormat Format) {
  C &= 0xFFFFFF;
  switch (Format) {
  case pf1bit: return IsWhite1(C) ? 1 : 0;
  case pf4bit: return Index4(C);
  case pf8bit: return Index8(C);
  default: return 0;
  }
}

} // namespace imaging
} // namespace zef
