#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/bitmap.h"
#include "support/image_builders.h"
#include "graphics/image_codecs.h"
#include "rtl/exceptions.h"
#include "rtl/streams.h"
#include "support/temp_dir.h"

#if defined(__SANITIZE_ADDRESS__)
#define ZEF_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZEF_TEST_ASAN 1
#endif
#endif

#ifdef ZEF_TEST_ASAN
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*Malloc)(const volatile void*,
                                                                        size_t),
                                                         void (*Free)(const volatile void*));
#endif

namespace zef {
namespace {

using test::Bmp;
using test::Le;

// ---- Helpers ------------------------------------------------------------------------------

std::string Hex(const char* Digits) {
  std::string S;
  for (const char* P = Digits; P[0] != 0 && P[1] != 0; P += 2)
    S += static_cast<char>(std::stoi(std::string(P, 2), nullptr, 16));
  return S;
}


void Be(std::string& S, uint32_t V, int Bytes) {
  for (int I = Bytes - 1; I >= 0; --I) S += static_cast<char>((V >> (8 * I)) & 0xFF);
}

// A varied test picture: gradients, the basic colours and noise.
TColor PatternPixel(int X, int Y) {
  const uint32_t H = (static_cast<uint32_t>(X) * 2654435761u) ^ (static_cast<uint32_t>(Y) * 40503u);
  switch ((X + Y) % 4) {
  case 0:
    return RGB(static_cast<uint8_t>(X * 19), static_cast<uint8_t>(Y * 23),
               static_cast<uint8_t>(X * Y));
  case 1: return H & 0xFFFFFF;
  case 2: return (Y % 2) ? clTeal : clYellow;
  default: return RGB(static_cast<uint8_t>(255 - X * 7), 128, static_cast<uint8_t>(Y * 11));
  }
}

void FillPattern(TBitmap& B, int W, int H) {
  B.SetSize(W, H);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) B.SetPixel(X, Y, PatternPixel(X, Y));
}

// A smooth picture, the kind JPEG is made for.
void FillSmooth(TBitmap& B, int W, int H) {
  B.SetSize(W, H);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X)
      B.SetPixel(X, Y,
                 RGB(static_cast<uint8_t>(X * 255 / W), static_cast<uint8_t>(Y * 255 / H),
                     static_cast<uint8_t>(128 + 60 * ((X / 16 + Y / 16) % 2))));
}

std::vector<uint32_t> PixelsOf(const TBitmap& B) {
  return std::vector<uint32_t>(B.Bits(),
                               B.Bits() + static_cast<std::size_t>(B.Width()) * B.Height());
}

std::string Encode(TBitmap& B, TImageFormat Format) {
  TStringStream S;
  B.SaveToStream(S, Format);
  return S.DataString();
}

void Decode(TBitmap& B, const std::string& Bytes) {
  TStringStream S(Bytes);
  B.LoadFromStream(S);
}



std::string Bytes(std::initializer_list<int> V) {
  std::string S;
  for (int B : V) S += static_cast<char>(B);
  return S;
}

uint32_t Crc32(const std::string& S) {
  uint32_t C = 0xFFFFFFFF;
  for (unsigned char B : S) {
    C ^= B;
    for (int K = 0; K < 8; ++K) C = (C >> 1) ^ (0xEDB88320u & (0u - (C & 1)));
  }
  return ~C;
}

std::string PngChunk(const std::string& Type, const std::string& Data) {
  std::string S;
  Be(S, static_cast<uint32_t>(Data.size()), 4);
  Be(S, Crc32(Type + Data), 4);
  return S.substr(0, 4) + Type + Data + S.substr(4);
}

// A zlib stream of stored (uncompressed) blocks.
std::string ZlibStored(const std::string& Raw) {
  std::string Z = "\x78\x01";
  std::size_t I = 0;
  do {
    const std::size_t N = std::min<std::size_t>(Raw.size() - I, 65535);
    Z += static_cast<char>(I + N == Raw.size() ? 1 : 0);
    Le(Z, static_cast<uint32_t>(N), 2);
    Le(Z, static_cast<uint32_t>(~N & 0xFFFF), 2);
    Z += Raw.substr(I, N);
    I += N;
  } while (I < Raw.size());
  uint32_t A = 1, B = 0;
  for (unsigned char C : Raw) {
    A = (A + C) % 65521;
    B = (B + A) % 65521;
  }
  Be(Z, (B << 16) | A, 4);
  return Z;
}

// A PNG file from its header fields, the filtered scan lines (each with its filter byte)
// and extra chunks placed before IDAT.
std::string Png(uint32_t W, uint32_t H, int Depth, int ColorType, int Interlace,
                const std::string& Raw, const std::string& Extra = {}) {
  std::string Ihdr;
  Be(Ihdr, W, 4);
  Be(Ihdr, H, 4);
  Ihdr += static_cast<char>(Depth);
  Ihdr += static_cast<char>(ColorType);
  Ihdr += '\0';
  Ihdr += '\0';
  Ihdr += static_cast<char>(Interlace);
  return std::string("\x89PNG\r\n\x1A\n", 8) + PngChunk("IHDR", Ihdr) + Extra +
         PngChunk("IDAT", ZlibStored(Raw)) + PngChunk("IEND", "");
}

// Made with libjpeg-turbo. A 16 x 8 greyscale picture: left half 60, right half 200.
const std::string kGreyJpeg =
    Hex("ffd8ffdb0043000302020302020303030304030304050805050404050a070706080c0a0c0c0b0a0b"
        "0b0d0e12100d0e110e0b0b1016101113141515150c0f171816141812141514ffc0000b0800080010"
        "01011100ffc4001500010100000000000000000000000000000809ffc40014100100000000000000"
        "000000000000000000ffda0008010100003f00252babffd9");
// Progressive, 16 x 16, quadrants red, green (top right), blue (bottom left), white.
const std::string kProgressiveJpeg =
    Hex("ffd8ffdb004300020101010101020101010202020202040302020202050404030406050606060506"
        "0606070908060709070606080b08090a0a0a0a0a06080b0c0b0a0c090a0a0affdb00430102020202"
        "0202050303050a0706070a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a"
        "0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0affc20011080010001003011100021101031101ff"
        "c400160001010100000000000000000000000000080709ffc4001701000301000000000000000000"
        "0000000007080906ffda000c030100021003100000018b8a5fe4a0b615836d3359b8880eabffc400"
        "14100100000000000000000000000000000020ffda00080101000105021fffc40014110100000000"
        "000000000000000000000020ffda0008010301013f011fffc4001411010000000000000000000000"
        "0000000020ffda0008010201013f011fffc40014100100000000000000000000000000000020ffda"
        "0008010100063f021fffc40014100100000000000000000000000000000020ffda0008010100013f"
        "211fffda000c03010002000300000010000fffc40014110100000000000000000000000000000020"
        "ffda0008010301013f101fffc40014110100000000000000000000000000000020ffda0008010201"
        "013f101fffc40014100100000000000000000000000000000020ffda0008010100013f101fffd9");
// Adobe CMYK (inverted values), 16 x 8: left half full magenta and yellow (red), right half
// half black (grey 127).
const std::string kCmykJpeg =
    Hex("ffd8ffee000e41646f626500640000000000ffdb0043000201010101010201010102020202020403"
        "020202020504040304060506060605060606070908060709070606080b08090a0a0a0a0a06080b0c"
        "0b0a0c090a0a0affc000140800080010044311004d11005911004b1100ffc4001600010101000000"
        "000000000000000000000a0900ffc40014100100000000000000000000000000000000ffda000e04"
        "43004d0059004b00003f00bf83fe3febf8c7f87f83feffd9");

int MaxChannelError(const std::vector<uint32_t>& A, const std::vector<uint32_t>& B,
                    double* Mean = nullptr) {
  int Max = 0;
  double Sum = 0;
  for (std::size_t I = 0; I < A.size(); ++I)
    for (int Shift = 0; Shift < 24; Shift += 8) {
      const int D = std::abs(int((A[I] >> Shift) & 0xFF) - int((B[I] >> Shift) & 0xFF));
      Max = std::max(Max, D);
      Sum += D;
    }
  if (Mean != nullptr) *Mean = Sum / (3.0 * static_cast<double>(A.size()));
  return Max;
}

// The largest single allocation while an instance lives (observed in ASan builds only).
class TAllocationWatch {
public:
  TAllocationWatch() {
#ifdef ZEF_TEST_ASAN
    static const bool Installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
    FObserved = Installed;
#endif
    Largest = 0;
    Armed = true;
  }
  ~TAllocationWatch() { Armed = false; }
  bool Observed() const { return FObserved; }
  std::size_t LargestBytes() const { return Largest; }

private:
  static void OnMalloc(const volatile void*, std::size_t Size) {
    if (Armed && Size > Largest) Largest = Size;
  }
  static void OnFree(const volatile void*) {}
  static inline std::atomic<bool> Armed{false};
  static inline std::atomic<std::size_t> Largest{0};
  bool FObserved = false;
};

// ---- Round trips ----------------------------------------------------------------------------

struct TBmpWriteCase {
  TPixelFormat Format;
  int Bits;
  uint32_t Compression;
  uint32_t PaletteEntries;
  TPixelFormat Loaded;
};

class BmpRoundTrip : public ::testing::TestWithParam<TBmpWriteCase> {};

TEST_P(BmpRoundTrip, KeepsTheQuantisedPixelsAndTheFormat) {
  const auto& C = GetParam();
  TBitmap B;
  FillPattern(B, 13, 7); // odd width: every depth needs row padding
  B.SetPixelFormat(C.Format);
  const std::string File = Encode(B, ifBMP);

  ASSERT_GE(File.size(), 54u);
  const auto U = [&](std::size_t At, int N) {
    uint32_t V = 0;
    for (int I = N - 1; I >= 0; --I)
      V = (V << 8) | static_cast<uint8_t>(File[At + static_cast<std::size_t>(I)]);
    return V;
  };
  EXPECT_EQ(File.substr(0, 2), "BM");
  EXPECT_EQ(U(14, 4), 40u);
  EXPECT_EQ(U(22, 4), 7u); // bottom-up
  EXPECT_EQ(U(28, 2), static_cast<uint32_t>(C.Bits));
  EXPECT_EQ(U(30, 4), C.Compression);
  EXPECT_EQ(U(46, 4), C.PaletteEntries);
  const uint32_t Stride = (13 * static_cast<uint32_t>(C.Bits) + 31) / 32 * 4;
  const uint32_t Offset = 54 + (C.Compression == 3 ? 12 : 0) + 4 * C.PaletteEntries;
  EXPECT_EQ(U(10, 4), Offset);
  EXPECT_EQ(File.size(), Offset + 7 * Stride);
  EXPECT_EQ(U(2, 4), File.size());

  TBitmap L;
  Decode(L, File);
  EXPECT_EQ(L.Width(), 13);
  EXPECT_EQ(L.Height(), 7);
  EXPECT_EQ(PixelsOf(L), PixelsOf(B));
  EXPECT_EQ(L.PixelFormat(), C.Loaded);
}

INSTANTIATE_TEST_SUITE_P(EveryWrittenFormat, BmpRoundTrip,
                         ::testing::Values(TBmpWriteCase{pf1bit, 1, 0, 2, pf1bit},
                                           TBmpWriteCase{pf4bit, 4, 0, 16, pf4bit},
                                           TBmpWriteCase{pf8bit, 8, 0, 256, pf8bit},
                                           TBmpWriteCase{pf15bit, 16, 0, 0, pf15bit},
                                           TBmpWriteCase{pf16bit, 16, 3, 0, pf16bit},
                                           TBmpWriteCase{pf24bit, 24, 0, 0, pf24bit},
                                           TBmpWriteCase{pf32bit, 32, 0, 0, pf32bit},
                                           TBmpWriteCase{pfDevice, 24, 0, 0, pf24bit},
                                           TBmpWriteCase{pfCustom, 24, 0, 0, pf24bit}));

TEST(PngRoundTrip, IsExactInEveryFormat) {
  const struct {
    TPixelFormat Format;
    int Depth, ColorType;
    TPixelFormat Loaded;
  } Cases[] = {{pf1bit, 1, 0, pf1bit},   {pf4bit, 4, 3, pf4bit},   {pf8bit, 8, 3, pf8bit},
               {pf16bit, 8, 2, pf24bit}, {pf24bit, 8, 2, pf24bit}, {pf32bit, 8, 2, pf24bit}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(int(C.Format));
    TBitmap B;
    FillPattern(B, 21, 9);
    B.SetPixelFormat(C.Format);
    const std::string File = Encode(B, ifPNG);
    ASSERT_EQ(File.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
    EXPECT_EQ(File[24], C.Depth);
    EXPECT_EQ(File[25], C.ColorType);
    TBitmap L;
    Decode(L, File);
    EXPECT_EQ(PixelsOf(L), PixelsOf(B));
    EXPECT_EQ(L.PixelFormat(), C.Loaded);
  }
}

TEST(JpegRoundTrip, HigherQualityGivesLargerFilesAndSmallerErrors) {
  TBitmap B;
  FillSmooth(B, 64, 48);
  struct TResult {
    std::size_t Size;
    double Mean;
    int Max;
  };
  const auto Run = [&](int Quality) {
    B.SetJPEGQuality(Quality);
    const std::string File = Encode(B, ifJPEG);
    EXPECT_EQ(File.substr(0, 3), "\xFF\xD8\xFF");
    TBitmap L;
    Decode(L, File);
    EXPECT_EQ(L.Width(), 64);
    EXPECT_EQ(L.Height(), 48);
    EXPECT_EQ(L.PixelFormat(), pf24bit);
    TResult R{File.size(), 0, 0};
    R.Max = MaxChannelError(PixelsOf(L), PixelsOf(B), &R.Mean);
    return R;
  };
  const TResult Low = Run(30), Mid = Run(75), High = Run(98);
  EXPECT_LT(Low.Size, Mid.Size);
  EXPECT_LT(Mid.Size, High.Size);
  EXPECT_GT(Low.Mean, Mid.Mean);
  EXPECT_GT(Mid.Mean, High.Mean);
  EXPECT_LT(High.Mean, 1.5);
  EXPECT_LT(High.Max, 12);
  EXPECT_LT(Low.Mean, 6.0);
}

// ---- Reading the forms our writer does not make --------------------------------------------

// A file, the size and pixels it holds (top row first), and the pixel format it loads as.
struct TReadCase {
  const char* Name;
  int W, H;
  TPixelFormat Format;
  std::string File;
  std::vector<TColor> Pixels;
};

void ExpectReads(const std::vector<TReadCase>& Cases) {
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBitmap L;
    ASSERT_NO_THROW(Decode(L, C.File));
    ASSERT_EQ(L.Width(), C.W);
    ASSERT_EQ(L.Height(), C.H);
    EXPECT_EQ(PixelsOf(L), C.Pixels);
    EXPECT_EQ(L.PixelFormat(), C.Format);
  }
}

std::vector<TReadCase> BmpReadCases() {
  const TColor R = clRed, G = clLime, B = clBlue, K = clBlack, W = clWhite;
  const TColor C1 = RGB(0x10, 0x20, 0x30), C2 = RGB(0x40, 0x50, 0x60);
  const std::vector<uint32_t> RGBW = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}; // $00RRGGBB
  // clang-format off
  return {
      {"1-bit, black and white", 3, 2, pf1bit,
       Bmp(40, 3, 2, 1, 0, {0x000000, 0xFFFFFF}, {}, Bytes({0xA0, 0, 0, 0, 0x60, 0, 0, 0})),
       {K, W, W, W, K, W}},
      {"4-bit, index beyond the palette is black", 3, 2, pf4bit,
       Bmp(40, 3, 2, 4, 0, RGBW, {}, Bytes({0x01, 0x20, 0, 0, 0x37, 0x30, 0, 0})),
       {W, K, W, R, G, B}},
      {"8-bit, top-down", 2, 2, pf24bit,
       Bmp(40, 2, -2, 8, 0, {0x102030, 0x405060}, {}, Bytes({0, 1, 0, 0, 1, 1, 0, 0})),
       {C1, C2, C2, C2}},
      {"16-bit 5-5-5", 2, 2, pf15bit,
       Bmp(40, 2, 2, 16, 0, {}, {}, Bytes({0x00, 0x7C, 0xE0, 0x03, 0xFF, 0x7F, 0x10, 0x42})),
       {W, RGB(132, 132, 132), R, G}},
      {"16-bit 5-6-5 bit fields", 2, 2, pf16bit,
       Bmp(40, 2, 2, 16, 3, {}, {0xF800, 0x07E0, 0x001F},
           Bytes({0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x10, 0x84})),
       {B, RGB(132, 130, 132), R, G}},
      {"16-bit 4-4-4 bit fields", 2, 1, pf24bit,
       Bmp(40, 2, 1, 16, 3, {}, {0x0F00, 0x00F0, 0x000F}, Bytes({0x00, 0x0F, 0x80, 0x00})),
       {R, RGB(0, 0x88, 0)}},
      {"24-bit with padding", 3, 2, pf24bit,
       Bmp(40, 3, 2, 24, 0, {}, {}, Bytes({0, 0, 255,   0, 255, 0,   255, 0, 0,   9, 9, 9,
                                           255, 255, 255,   0, 0, 0,   1, 2, 3,   9, 9, 9})),
       {W, K, RGB(3, 2, 1), R, G, B}},
      {"32-bit, fourth byte ignored", 2, 1, pf32bit,
       Bmp(40, 2, 1, 32, 0, {}, {}, Bytes({0, 0, 255, 0xFF, 10, 20, 30, 0x80})),
       {R, RGB(30, 20, 10)}},
      {"32-bit V5 bit fields, top-down, red in the low byte", 2, 1, pf32bit,
       Bmp(124, 2, -1, 32, 3, {}, {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
           Bytes({10, 20, 30, 0xFF, 255, 0, 0, 0})),
       {RGB(10, 20, 30), R}},
      {"24-bit V4 header", 1, 1, pf24bit,
       Bmp(108, 1, 1, 24, 0, {}, {}, Bytes({1, 2, 3, 0})),
       {RGB(3, 2, 1)}},
      {"core header, 8-bit, 3-byte palette shorter than 256", 3, 1, pf24bit,
       Bmp(12, 3, 1, 8, 0, {0x102030, 0x405060}, {}, Bytes({1, 0, 1, 0})),
       {C2, C1, C2}},
      // Bottom line: a run of 3, a literal run of 3; a line end; a move to (1, 2); a run of 2.
      {"RLE8", 6, 3, pf8bit,
       Bmp(40, 6, 3, 8, 1, RGBW, {}, Bytes({3, 1,  0, 3, 2, 3, 1, 0,  0, 0,  0, 2, 1, 1,  2, 2,  0, 1})),
       {R, B, B, R, R, R,
        R, R, R, R, R, R,
        G, G, G, B, W, G}},
      // A run of 5 alternating nibbles, a line end, a literal run of 3, the end.
      {"RLE4", 5, 2, pf4bit,
       Bmp(40, 5, 2, 4, 2, RGBW, {}, Bytes({5, 0x12,  0, 0,  0, 3, 0x23, 0x10,  0, 1})),
       {B, W, G, R, R,
        G, B, G, B, G}},
  };
  // clang-format on
}

TEST(BmpRead, HandMadeFiles) { ExpectReads(BmpReadCases()); }

TEST(PngRead, EveryColourTypeAndDepth) {
  const TColor R = clRed, K = clBlack, W = clWhite;
  const std::string Trns = PngChunk("tRNS", Bytes({255, 0, 128}));
  const std::string Plte = PngChunk("PLTE", Bytes({255, 0, 0, 0, 255, 0, 0, 0, 255}));
  // Png(width, height, bit depth, colour type, interlace, scan lines with filter bytes, chunks)
  // clang-format off
  ExpectReads({
      {"grey 1", 3, 1, pf1bit, Png(3, 1, 1, 0, 0, Bytes({0, 0xA0})), {W, K, W}},
      {"grey 2", 4, 1, pf24bit, Png(4, 1, 2, 0, 0, Bytes({0, 0x1B})),
       {K, RGB(85, 85, 85), RGB(170, 170, 170), W}},
      {"grey 4", 2, 1, pf24bit, Png(2, 1, 4, 0, 0, Bytes({0, 0x5F})), {RGB(85, 85, 85), W}},
      {"grey 16", 3, 1, pf24bit, Png(3, 1, 16, 0, 0, Bytes({0, 0, 0, 0xFF, 0xFF, 0x80, 0x80})),
       {K, W, RGB(128, 128, 128)}},
      {"grey 8, grey 50 transparent", 2, 1, pf24bit,
       Png(2, 1, 8, 0, 0, Bytes({0, 50, 51}), PngChunk("tRNS", Bytes({0, 50}))),
       {W, RGB(51, 51, 51)}},
      {"RGB 16", 1, 1, pf24bit, Png(1, 1, 16, 2, 0, Bytes({0, 0xFF, 0xFF, 0, 0, 0x80, 0x80})),
       {RGB(255, 0, 128)}},
      {"palette 2 with transparency, over white", 3, 1, pf24bit,
       Png(3, 1, 2, 3, 0, Bytes({0, 0x18}), Plte + Trns),
       {R, W, RGB(127, 127, 255)}},
      {"grey and alpha 8", 3, 1, pf24bit, Png(3, 1, 8, 4, 0, Bytes({0, 0, 255, 0, 0, 200, 128})),
       {K, W, RGB(227, 227, 227)}},
      {"RGBA 8", 1, 1, pf24bit, Png(1, 1, 8, 6, 0, Bytes({0, 255, 0, 0, 64})), {RGB(255, 191, 191)}},
  });
  // clang-format on
}

TEST(PngRead, InterlacedEqualsPlain) {
  const int W = 9, H = 9; // covers all seven passes
  const auto Px = [](int X, int Y) { return Bytes({X * 28, Y * 28, (X * Y) & 0xFF}); };
  std::string Plain;
  for (int Y = 0; Y < H; ++Y) {
    Plain += '\0';
    for (int X = 0; X < W; ++X) Plain += Px(X, Y);
  }
  const int Pass[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                          {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  std::string Adam7;
  for (const auto& P : Pass)
    for (int Y = P[1]; Y < H; Y += P[3]) {
      if (P[0] >= W) continue;
      Adam7 += '\0';
      for (int X = P[0]; X < W; X += P[2]) Adam7 += Px(X, Y);
    }
  TBitmap A, B;
  Decode(A, Png(W, H, 8, 2, 0, Plain));
  Decode(B, Png(W, H, 8, 2, 1, Adam7));
  EXPECT_EQ(PixelsOf(A), PixelsOf(B));
  EXPECT_EQ(A.GetPixel(8, 3), RGB(224, 84, 24));
}

TEST(JpegRead, GreyscaleProgressiveAndCmyk) {
  const struct {
    const char* Name;
    const std::string& File;
    int W, H;
    TColor (*Expected)(int X, int Y);
  } Cases[] = {
      {"greyscale", kGreyJpeg, 16, 8,
       [](int X, int) { return X < 8 ? RGB(60, 60, 60) : RGB(200, 200, 200); }},
      {"progressive", kProgressiveJpeg, 16, 16,
       [](int X, int Y) {
         const TColor Q[4] = {clRed, clLime, clBlue, clWhite};
         return Q[(Y >= 8) * 2 + (X >= 8)];
       }},
      {"CMYK", kCmykJpeg, 16, 8, [](int X, int) { return X < 8 ? clRed : RGB(127, 127, 127); }},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBitmap L;
    ASSERT_NO_THROW(Decode(L, C.File));
    ASSERT_EQ(L.Width(), C.W);
    ASSERT_EQ(L.Height(), C.H);
    std::vector<uint32_t> Expected;
    for (int Y = 0; Y < C.H; ++Y)
      for (int X = 0; X < C.W; ++X) Expected.push_back(C.Expected(X, Y));
    EXPECT_LE(MaxChannelError(PixelsOf(L), Expected), 6);
  }
}

// ---- Rejection -----------------------------------------------------------------------------

// A bitmap to load into, and a check that a failed load left it as it was.
class TUntouched {
public:
  TUntouched() {
    FillPattern(B, 3, 2);
    B.SetPixelFormat(pf32bit);
    Before = PixelsOf(B);
    B.OnChange = [this](TObject*) { ++Changes; };
  }
  void Expect() const {
    EXPECT_EQ(B.Width(), 3);
    EXPECT_EQ(B.Height(), 2);
    EXPECT_EQ(B.PixelFormat(), pf32bit);
    EXPECT_EQ(PixelsOf(B), Before);
    EXPECT_EQ(Changes, 0);
  }
  TBitmap B;
  std::vector<uint32_t> Before;
  int Changes = 0;
};

struct TEncodedCase {
  const char* Name;
  TImageFormat Kind;
  TPixelFormat Format;
};

class TruncatedFile : public ::testing::TestWithParam<TEncodedCase> {};

TEST_P(TruncatedFile, EveryCutIsRejectedAndLeavesTheBitmapUnchanged) {
  TBitmap Source;
  FillPattern(Source, 16, 12);
  Source.SetPixelFormat(GetParam().Format);
  const std::string File = Encode(Source, GetParam().Kind);
  TUntouched Target;
  for (std::size_t Cut = 0; Cut < File.size(); ++Cut) {
    SCOPED_TRACE(Cut);
    TStringStream S(File.substr(0, Cut));
    EXPECT_THROW(Target.B.LoadFromStream(S), EInvalidGraphic);
  }
  Target.Expect();
  TStringStream Whole(File);
  Target.B.LoadFromStream(Whole);
  EXPECT_EQ(Target.B.Width(), 16);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, TruncatedFile,
    ::testing::Values(TEncodedCase{"bmp24", ifBMP, pf24bit}, TEncodedCase{"bmp8", ifBMP, pf8bit},
                      TEncodedCase{"bmp16", ifBMP, pf16bit}, TEncodedCase{"png24", ifPNG, pf24bit},
                      TEncodedCase{"png4", ifPNG, pf4bit}, TEncodedCase{"jpeg", ifJPEG, pf24bit}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(ImageRead, TruncatedReadOnlyFormsAreRejected) {
  const auto Bmps = BmpReadCases();
  const auto BmpNamed = [&](std::string_view Name) {
    return std::find_if(Bmps.begin(), Bmps.end(), [&](const auto& C) { return C.Name == Name; })
        ->File;
  };
  for (const auto& File :
       {kGreyJpeg, kProgressiveJpeg, kCmykJpeg, BmpNamed("RLE8"), BmpNamed("RLE4")}) {
    TUntouched Target;
    for (std::size_t Cut = 0; Cut < File.size(); ++Cut) {
      TStringStream S(File.substr(0, Cut));
      EXPECT_THROW(Target.B.LoadFromStream(S), EInvalidGraphic) << Cut;
    }
    Target.Expect();
  }
}

// The SOF marker of a JPEG file with its height and width replaced.
std::string WithJpegSize(std::string File, uint16_t W, uint16_t H) {
  const std::size_t At = File.find("\xFF\xC0");
  EXPECT_NE(At, std::string::npos);
  File[At + 5] = static_cast<char>(H >> 8);
  File[At + 6] = static_cast<char>(H);
  File[At + 7] = static_cast<char>(W >> 8);
  File[At + 8] = static_cast<char>(W);
  return File;
}

std::string PngWithSize(uint32_t W, uint32_t H) { return Png(W, H, 8, 2, 0, Bytes({0, 1, 2, 3})); }

TEST(ImageRead, OversizedPicturesAreRejectedBeforeAllocating) {
  TBitmap Small;
  FillSmooth(Small, 16, 16);
  Small.SetJPEGQuality(75);
  const std::string Jpeg = Encode(Small, ifJPEG);
  const struct {
    const char* Name;
    std::string File;
    const char* Message;
  } Cases[] = {
      {"BMP 100000 x 100000", Bmp(40, 100000, 100000, 24, 0, {}, {}, "xyz"), "exceeds the limit"},
      {"BMP 65535 x 65535", Bmp(40, 65535, 65535, 8, 0, {}, {}, "xyz"), "exceeds the limit"},
      {"BMP 16384 x 16384, data missing", Bmp(40, 16384, 16384, 32, 0, {}, {}, "xyz"),
       "ends inside the pixel data"},
      {"BMP RLE8 16384 x 16384 in 2 bytes", Bmp(40, 16384, 16384, 8, 1, {}, {}, Bytes({0, 1})),
       "cannot hold"},
      {"PNG 100000 x 100000", PngWithSize(100000, 100000), "exceeds user limit"},
      {"PNG 65535 x 65535", PngWithSize(65535, 65535), "exceeds the limit"},
      {"PNG 16384 x 16384 in a few bytes", PngWithSize(16384, 16384), "cannot hold"},
      {"JPEG 65500 x 65500", WithJpegSize(Jpeg, 65500, 65500), "exceeds the limit"},
      {"JPEG 16000 x 16000 in a few bytes", WithJpegSize(Jpeg, 16000, 16000), "cannot hold"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TUntouched Target;
    const TAllocationWatch Watch;
    try {
      Decode(Target.B, C.File);
      ADD_FAILURE() << "loaded";
    } catch (const EInvalidGraphic& E) {
      EXPECT_NE(E.Message().find(C.Message), std::string::npos) << E.Message();
    }
    if (Watch.Observed()) {
      EXPECT_LT(Watch.LargestBytes(), 4u << 20);
    }
    Target.Expect();
  }
}

TEST(BmpRead, MalformedHeadersGiveClearMessages) {
  const std::string Row = Bytes({1, 2, 3, 0});
  std::string BadOffset = Bmp(40, 1, 1, 24, 0, {}, {}, Row);
  BadOffset[10] = 20; // inside the header
  std::string FarOffset = Bmp(40, 1, 1, 24, 0, {}, {}, Row);
  FarOffset[11] = 1; // 256 + 54: beyond the end
  std::string MinHeight = Bmp(40, 1, 1, 24, 0, {}, {}, Row);
  MinHeight[22 + 3] = static_cast<char>(0x80);
  MinHeight[22] = MinHeight[23] = MinHeight[24] = 0;
  const struct {
    const char* Name;
    std::string File;
    const char* Message;
  } Cases[] = {
      {"header size", Bmp(20, 1, 1, 24, 0, {}, {}, Row), "unsupported header size 20"},
      {"bit count", Bmp(40, 1, 1, 7, 0, {}, {}, Row), "unsupported bit count 7"},
      {"compression", Bmp(40, 1, 1, 24, 9, {}, {}, Row), "unknown compression 9"},
      {"embedded PNG", Bmp(40, 1, 1, 0, 5, {}, {}, Row), "embedded JPEG or PNG"},
      {"RLE8 with 4 bits", Bmp(40, 1, 1, 4, 1, {}, {}, Row), "RLE compression with bit count 4"},
      {"RLE top-down", Bmp(40, 1, -1, 8, 1, {}, {}, Bytes({0, 1})), "cannot be top-down"},
      {"bit fields with 24 bits", Bmp(40, 1, 1, 24, 3, {}, {1, 2, 4}, Row),
       "bit fields with bit count 24"},
      {"zero width", Bmp(40, 0, 1, 24, 0, {}, {}, Row), "is empty"},
      {"negative width", Bmp(40, -5, 1, 24, 0, {}, {}, Row), "is empty"},
      {"smallest height", MinHeight, "height is out of range"},
      {"scattered mask", Bmp(40, 1, 1, 16, 3, {}, {0xF0F0, 0x0F00, 0x000F}, Row),
       "one block of bits"},
      {"16-bit mask too wide", Bmp(40, 1, 1, 16, 3, {}, {0x1F0000, 0x07E0, 0x001F}, Row),
       "exceeds 16 bits"},
      {"offset inside the header", BadOffset, "lies inside the header"},
      {"offset beyond the end", FarOffset, "beyond the end of the file"},
      {"pixel data short", Bmp(40, 4, 4, 24, 0, {}, {}, Row),
       "ends inside the pixel data (4 of 48 bytes)"},
      {"RLE without its end", Bmp(40, 4, 4, 8, 1, {0}, {}, Bytes({2, 0, 0, 0})),
       "ends before the end of the picture"},
      {"RLE literal beyond the data", Bmp(40, 4, 1, 8, 1, {0}, {}, Bytes({0, 4, 0, 0})),
       "ends inside a literal run"},
      {"RLE move beyond the data", Bmp(40, 4, 1, 8, 1, {0}, {}, Bytes({0, 2, 1})),
       "ends inside a move"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TUntouched Target;
    try {
      Decode(Target.B, C.File);
      ADD_FAILURE() << "loaded";
    } catch (const EInvalidGraphic& E) {
      EXPECT_EQ(E.Message().rfind("Invalid BMP file: ", 0), 0u) << E.Message();
      EXPECT_NE(E.Message().find(C.Message), std::string::npos) << E.Message();
    }
    Target.Expect();
  }
}

TEST(ImageRead, GarbageAndDamagedFilesNeverCrash) {
  std::mt19937 Rng(2024);
  const auto Random = [&](std::size_t N) {
    std::string S(N, '\0');
    for (auto& C : S) C = static_cast<char>(Rng());
    return S;
  };
  TUntouched Target;
  for (const std::string& Prefix :
       {std::string(), std::string("BM"), std::string("\x89PNG\r\n\x1A\n", 8),
        std::string("\xFF\xD8\xFF")})
    for (std::size_t N : {0, 1, 7, 60, 1000}) {
      TStringStream S(Prefix + Random(N));
      EXPECT_THROW(Target.B.LoadFromStream(S), EInvalidGraphic) << Prefix.size() << " " << N;
    }
  Target.Expect();

  // Damaged copies of good files may load or be refused, but nothing else.
  TBitmap Source;
  FillPattern(Source, 12, 10);
  std::vector<std::string> Files;
  for (TPixelFormat F : {pf1bit, pf4bit, pf8bit, pf16bit, pf24bit}) {
    Source.SetPixelFormat(F);
    Files.push_back(Encode(Source, ifBMP));
    Files.push_back(Encode(Source, ifPNG));
  }
  Files.push_back(Encode(Source, ifJPEG));
  for (const auto& C : BmpReadCases()) Files.push_back(C.File);
  Files.insert(Files.end(), {kGreyJpeg, kProgressiveJpeg, kCmykJpeg});
  for (const auto& File : Files)
    for (int Trial = 0; Trial < 150; ++Trial) {
      std::string Damaged = File;
      for (int K = 0; K < 1 + Trial % 4; ++K)
        Damaged[Rng() % Damaged.size()] = static_cast<char>(Rng());
      Damaged[0] = File[0]; // keep the signature so that the reader is reached
      Damaged[1] = File[1];
      TBitmap L;
      try {
        Decode(L, Damaged);
      } catch (const EInvalidGraphic&) {
      }
    }
}

TEST(ImageRead, UnknownSignature) {
  TUntouched Target;
  try {
    Decode(Target.B, "GIF89a.......");
    ADD_FAILURE();
  } catch (const EInvalidGraphic& E) {
    EXPECT_EQ(E.Message(), "Unknown image format: the data is not a BMP, PNG or JPEG file");
  }
  Target.Expect();
}

// ---- Streams -------------------------------------------------------------------------------

TEST(ImageStreams, ReadersStartAtThePositionAndStopAfterThePicture) {
  TBitmap Source;
  FillPattern(Source, 10, 6);
  for (TImageFormat F : {ifBMP, ifPNG, ifJPEG}) {
    SCOPED_TRACE(int(F));
    const std::string File = Encode(Source, F);
    TStringStream S("junk" + File + "tail and more bytes after the picture");
    S.SetPosition(4);
    TBitmap L;
    L.LoadFromStream(S);
    EXPECT_EQ(L.Width(), 10);
    EXPECT_EQ(S.Position(), static_cast<int64_t>(4 + File.size()));
  }
}

// A stream that fails with EInOutError after Limit bytes.
class TBrokenStream : public TStream {
public:
  TBrokenStream(std::string Data, int64_t Limit) : FData(std::move(Data)), FLimit(Limit) {}
  int64_t Read(void* Buffer, int64_t Count) override {
    if (FPos + Count > FLimit) throw EInOutError("Device gone", 5, 5);
    const int64_t N = std::min<int64_t>(Count, static_cast<int64_t>(FData.size()) - FPos);
    std::memcpy(Buffer, FData.data() + FPos, static_cast<std::size_t>(std::max<int64_t>(N, 0)));
    FPos += std::max<int64_t>(N, 0);
    return std::max<int64_t>(N, 0);
  }
  int64_t Write(const void*, int64_t Count) override {
    if (FPos + Count > FLimit) throw EInOutError("Disk full", 28, 28);
    FPos += Count;
    return Count;
  }
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override {
    FPos = Origin == soBeginning ? Offset
           : Origin == soCurrent ? FPos + Offset
                                 : static_cast<int64_t>(FData.size()) + Offset;
    return FPos;
  }

private:
  std::string FData;
  int64_t FLimit;
  int64_t FPos = 0;
};

TEST(ImageStreams, StreamErrorsPassThroughUnchanged) {
  TBitmap Source;
  FillPattern(Source, 40, 30);
  for (TImageFormat F : {ifBMP, ifPNG, ifJPEG}) {
    SCOPED_TRACE(int(F));
    const std::string File = Encode(Source, F);
    for (int64_t Limit : {int64_t(30), static_cast<int64_t>(File.size() / 2)}) {
      TUntouched Target;
      TBrokenStream In(File, Limit);
      EXPECT_THROW(Target.B.LoadFromStream(In), EInOutError) << Limit;
      Target.Expect();
      TBrokenStream Out("", Limit);
      EXPECT_THROW(Source.SaveToStream(Out, F), EInOutError) << Limit;
    }
  }
}

// ---- Files -----------------------------------------------------------------------------------

class ImageFiles : public test::TempDirTest {};

TEST_F(ImageFiles, SaveChoosesTheFormatByExtensionIgnoringCase) {
  TBitmap B;
  FillPattern(B, 5, 4);
  const struct {
    const char* Name;
    std::string Signature;
  } Cases[] = {{"a.bmp", "BM"},
               {"b.PNG", std::string("\x89PNG", 4)},
               {"c.JpG", "\xFF\xD8\xFF"},
               {"d.jpeg", "\xFF\xD8\xFF"},
               {"e.Bmp", "BM"}};
  for (const auto& C : Cases) {
    B.SaveToFile(Path(C.Name));
    EXPECT_EQ(Get(C.Name).substr(0, C.Signature.size()), C.Signature) << C.Name;
    TBitmap L;
    L.LoadFromFile(Path(C.Name));
    EXPECT_EQ(L.Width(), 5) << C.Name;
  }
  for (const char* Bad : {"f.gif", "noextension", "g.bmp.txt"}) {
    EXPECT_THROW(B.SaveToFile(Path(Bad)), EInvalidGraphic) << Bad;
    EXPECT_FALSE(std::filesystem::exists(Path(Bad))) << Bad;
  }
  TBitmap Empty;
  EXPECT_THROW(Empty.SaveToFile(Path("empty.png")), EInvalidGraphic);
  EXPECT_FALSE(std::filesystem::exists(Path("empty.png")));
  TStringStream S;
  EXPECT_THROW(Empty.SaveToStream(S, ifBMP), EInvalidGraphic);
}

TEST_F(ImageFiles, LoadGoesBySignatureNotExtension) {
  TBitmap B;
  FillPattern(B, 6, 3);
  const struct {
    const char* Name;
    TImageFormat Format;
  } Cases[] = {{"png-data.bmp", ifPNG},
               {"bmp-data.jpg", ifBMP},
               {"jpeg-data.png", ifJPEG},
               {"no-extension", ifPNG}};
  for (const auto& C : Cases) {
    Put(C.Name, Encode(B, C.Format));
    TBitmap L;
    L.LoadFromFile(Path(C.Name));
    EXPECT_EQ(L.Width(), 6) << C.Name;
    if (C.Format != ifJPEG) {
      EXPECT_EQ(PixelsOf(L), PixelsOf(B)) << C.Name;
    }
  }
  const uint8_t Head[] = {0xFF, 0xD8, 0xFF, 0xE0};
  EXPECT_EQ(imaging::DetectImageFormat(Head, 4), ifJPEG);
  EXPECT_EQ(imaging::DetectImageFormat(Head, 2), ifAuto);
  EXPECT_THROW(TBitmap().LoadFromFile(Path("missing.bmp")), EFOpenError);
}

} // namespace
} // namespace zef
