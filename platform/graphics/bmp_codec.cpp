// BMP files: our own reader and writer.
//
// Reading: the core header (12 bytes) and the info headers of 40, 52, 56, 108 and 124 bytes;
// 1, 4 and 8 bits with a palette (also RLE4 and RLE8 compressed), 16 bits (5-5-5, or bit
// fields), 24 bits, 32 bits (BGRX, or bit fields); rows bottom-up or top-down. Alpha is
// ignored. Pixels an RLE picture leaves out have palette colour 0; indices beyond the palette
// are black. Every field is checked before it is used; the pixel data must be present in full
// (uncompressed) or plausible in size (RLE) before the picture is allocated.
#include <algorithm>
#include <array>
#include <bit>
#include <string>
#include <vector>

#include "graphics/image_codecs.h"
#include "rtl/exceptions.h"
#include "rtl/numconv.h"
#include "rtl/streams.h"

namespace zef::imaging {
namespace {

[[noreturn]] void Fail(const std::string& Why) {
  throw EInvalidGraphic("Invalid BMP file: " + Why);
}

uint16_t U16(const uint8_t* P) { return static_cast<uint16_t>(P[0] | (P[1] << 8)); }
uint32_t U32(const uint8_t* P) {
  return static_cast<uint32_t>(P[0]) | (static_cast<uint32_t>(P[1]) << 8) |
         (static_cast<uint32_t>(P[2]) << 16) | (static_cast<uint32_t>(P[3]) << 24);
}
void Put16(uint8_t* P, uint32_t V) {
  P[0] = static_cast<uint8_t>(V);
  P[1] = static_cast<uint8_t>(V >> 8);
}
void Put32(uint8_t* P, uint32_t V) {
  Put16(P, V);
  Put16(P + 2, V >> 16);
}

// Reads exactly Count bytes; the end of the stream before that is a truncated file.
void ReadExact(TStream& S, void* Buffer, int64_t Count) {
  auto* P = static_cast<uint8_t*>(Buffer);
  while (Count > 0) {
    const int64_t N = S.Read(P, Count);
    if (N <= 0) Fail("the file ends early");
    P += N;
    Count -= N;
  }
}

enum : uint32_t {
  BI_RGB = 0,
  BI_RLE8 = 1,
  BI_RLE4 = 2,
  BI_BITFIELDS = 3,
  BI_JPEG = 4,
  BI_PNG = 5,
  BI_ALPHABITFIELDS = 6
};

// One colour channel of a 16- or 32-bit pixel: its mask, and the 8-bit value of each
// channel value when the channel is narrower than 8 bits (high bits replicated downwards).
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  int Bits = 0;
  std::array<uint8_t, 128> Expand{};

  explicit TChannel(uint32_t AMask) : Mask(AMask) {
    if (Mask == 0) return;
    Shift = std::countr_zero(Mask);
    Bits = std::popcount(Mask);
    if ((Mask >> Shift) != (Bits == 32 ? ~0u : (1u << Bits) - 1))
      Fail("the colour mask $" + IntToHex(Mask, 8) + " is not one block of bits");
    for (uint32_t V = 0; Bits < 8 && V < (1u << Bits); ++V) {
      uint32_t R = 0;
      for (int Pos = 8 - Bits;; Pos -= Bits) {
        R |= Pos >= 0 ? V << Pos : V >> -Pos;
        if (Pos <= 0) break;
      }
      Expand[V] = static_cast<uint8_t>(R);
    }
  }
  uint32_t Get(uint32_t Pixel) const {
    if (Bits == 0) return 0;
    const uint32_t V = (Pixel & Mask) >> Shift;
    return Bits >= 8 ? V >> (Bits - 8) : Expand[V];
  }
};

struct TBmpInfo {
  int32_t Width = 0;
  int32_t Height = 0;
  bool TopDown = false;
  int Bits = 0;
  uint32_t Compression = BI_RGB;
  uint32_t SizeImage = 0;
  std::array<uint32_t, 3> Masks{}; // red, green, blue
};

// Palette indices of one row: 1, 4 or 8 bits each.
void DecodeIndexRow(const uint8_t* Row, int Bits, int32_t Width, const std::array<TColor, 256>& Lut,
                    uint32_t* Out) {
  switch (Bits) {
  case 1:
    for (int32_t X = 0; X < Width; ++X) Out[X] = Lut[(Row[X >> 3] >> (7 - (X & 7))) & 1];
    break;
  case 4:
    for (int32_t X = 0; X < Width; ++X) Out[X] = Lut[(Row[X >> 1] >> ((X & 1) ? 0 : 4)) & 0xF];
    break;
  default:
    for (int32_t X = 0; X < Width; ++X) Out[X] = Lut[Row[X]];
    break;
  }
}

// RLE8 (Bits 8) or RLE4 (Bits 4) data into a bottom-up picture already filled with Lut[0].
void DecodeRle(const std::vector<uint8_t>& Data, int Bits, int32_t Width, int32_t Height,
               const std::array<TColor, 256>& Lut, std::vector<uint32_t>& Pixels) {
  int64_t X = 0, Y = 0; // Y counts from the bottom row
  std::size_t I = 0;
  const std::size_t N = Data.size();
  auto Put = [&](uint8_t Index) {
    if (X < Width && Y < Height)
      Pixels[static_cast<std::size_t>(Height - 1 - Y) * static_cast<std::size_t>(Width) +
             static_cast<std::size_t>(X)] = Lut[Index];
    ++X;
  };
  while (Y < Height) {
    if (N - I < 2) Fail("the RLE data ends before the end of the picture");
    const uint8_t Count = Data[I], Value = Data[I + 1];
    I += 2;
    if (Count > 0) { // a run of Count pixels
      const int64_t Run = std::min<int64_t>(Count, std::max<int64_t>(Width - X, 0));
      for (int64_t K = 0; K < Run; ++K)
        Put(Bits == 8 ? Value : static_cast<uint8_t>((K & 1) ? Value & 0xF : Value >> 4));
      X += Count - Run;
      continue;
    }
    if (Value == 0) { // end of line
      X = 0;
      ++Y;
    } else if (Value == 1) { // end of picture
      return;
    } else if (Value == 2) { // move right and up
      if (N - I < 2) Fail("the RLE data ends inside a move");
      X += Data[I];
      Y += Data[I + 1];
      I += 2;
    } else { // Value literal pixels, padded to a 16-bit boundary
      const std::size_t Bytes = Bits == 8 ? Value : (Value + 1u) / 2;
      if (N - I < Bytes) Fail("the RLE data ends inside a literal run");
      for (int K = 0; K < Value; ++K) {
        const uint8_t B = Data[I + static_cast<std::size_t>(Bits == 8 ? K : K / 2)];
        Put(Bits == 8 ? B : static_cast<uint8_t>((K & 1) ? B & 0xF : B >> 4));
      }
      I += Bytes + (Bytes & 1);
      if (I > N) I = N;
    }
  }
}

} // namespace

TDecodedImage ReadBMP(TStream& Stream, int64_t MaxPixels) {
  const int64_t Start = Stream.Position();
  uint8_t FileHeader[14];
  ReadExact(Stream, FileHeader, sizeof FileHeader);
  if (FileHeader[0] != 'B' || FileHeader[1] != 'M') Fail("the \"BM\" signature is missing");
  const uint32_t OffBits = U32(FileHeader + 10);

  uint8_t H[124] = {};
  ReadExact(Stream, H, 4);
  const uint32_t HeaderSize = U32(H);
  if (HeaderSize != 12 && HeaderSize != 40 && HeaderSize != 52 && HeaderSize != 56 &&
      HeaderSize != 108 && HeaderSize != 124)
    Fail("unsupported header size " + std::to_string(HeaderSize));
  ReadExact(Stream, H + 4, HeaderSize - 4);

  TBmpInfo Info;
  uint32_t ColorsUsed = 0;
  int EntrySize = 4;
  int64_t HeaderEnd = 14 + HeaderSize;
  if (HeaderSize == 12) {
    Info.Width = U16(H + 4);
    Info.Height = U16(H + 6);
    Info.Bits = U16(H + 10);
    EntrySize = 3;
  } else {
    Info.Width = static_cast<int32_t>(U32(H + 4));
    const int32_t RawHeight = static_cast<int32_t>(U32(H + 8));
    if (RawHeight == INT32_MIN) Fail("the height is out of range");
    Info.TopDown = RawHeight < 0;
    Info.Height = Info.TopDown ? -RawHeight : RawHeight;
    Info.Bits = U16(H + 14);
    Info.Compression = U32(H + 16);
    Info.SizeImage = U32(H + 20);
    ColorsUsed = U32(H + 32);
  }

  switch (Info.Compression) {
  case BI_RGB:
    if (Info.Bits != 1 && Info.Bits != 4 && Info.Bits != 8 && Info.Bits != 16 && Info.Bits != 24 &&
        Info.Bits != 32)
      Fail("unsupported bit count " + std::to_string(Info.Bits));
    break;
  case BI_RLE8:
  case BI_RLE4:
    if (Info.Bits != (Info.Compression == BI_RLE8 ? 8 : 4))
      Fail("RLE compression with bit count " + std::to_string(Info.Bits));
    if (Info.TopDown) Fail("an RLE picture cannot be top-down");
    break;
  case BI_BITFIELDS:
  case BI_ALPHABITFIELDS:
    if (Info.Bits != 16 && Info.Bits != 32)
      Fail("bit fields with bit count " + std::to_string(Info.Bits));
    break;
  case BI_JPEG:
  case BI_PNG: Fail("embedded JPEG or PNG data is not supported");
  default: Fail("unknown compression " + std::to_string(Info.Compression));
  }
  CheckImageSize("BMP", Info.Width, Info.Height, MaxPixels);

  if (Info.Bits == 16) Info.Masks = {0x7C00, 0x03E0, 0x001F};
  if (Info.Bits == 32) Info.Masks = {0xFF0000, 0x00FF00, 0x0000FF};
  if (Info.Compression == BI_BITFIELDS || Info.Compression == BI_ALPHABITFIELDS) {
    const uint8_t* M = H + 40;
    uint8_t Extra[16];
    if (HeaderSize == 40) { // the masks follow the header
      const int Count = Info.Compression == BI_BITFIELDS ? 12 : 16;
      ReadExact(Stream, Extra, Count);
      HeaderEnd += Count;
      M = Extra;
    }
    Info.Masks = {U32(M), U32(M + 4), U32(M + 8)};
    if (Info.Bits == 16)
      for (uint32_t Mask : Info.Masks)
        if (Mask > 0xFFFF) Fail("a colour mask exceeds 16 bits");
  }

  // The palette, as a table of all 256 indices (those beyond the palette are black).
  std::array<TColor, 256> Lut{};
  int64_t PaletteBytes = 0;                                           // the palette as read
  int64_t PaletteSkip = static_cast<int64_t>(ColorsUsed) * EntrySize; // as the header counts it
  if (Info.Bits <= 8) {
    const uint32_t Full = 1u << Info.Bits;
    uint32_t Count = ColorsUsed == 0 ? Full : std::min(ColorsUsed, Full);
    // Some files keep fewer entries than the header implies: the palette ends where the
    // pixel data begins.
    if (OffBits != 0 && OffBits >= HeaderEnd)
      Count = std::min<uint32_t>(Count, static_cast<uint32_t>((OffBits - HeaderEnd) / EntrySize));
    uint8_t Pal[256 * 4];
    PaletteBytes = static_cast<int64_t>(Count) * EntrySize;
    PaletteSkip = std::max(PaletteSkip, PaletteBytes);
    ReadExact(Stream, Pal, PaletteBytes);
    for (uint32_t I = 0; I < Count; ++I) {
      const uint8_t* E = Pal + static_cast<std::size_t>(I) * static_cast<std::size_t>(EntrySize);
      Lut[I] = RGB(E[2], E[1], E[0]);
    }
  }

  const int64_t DataOffset = OffBits != 0 ? OffBits : HeaderEnd + PaletteSkip;
  if (DataOffset < HeaderEnd + PaletteBytes)
    Fail("the pixel data offset " + std::to_string(OffBits) + " lies inside the header");
  const int64_t Available = Stream.Size() - Start - DataOffset;
  if (Available < 0)
    Fail("the pixel data offset " + std::to_string(OffBits) + " lies beyond the end of the file");
  Stream.SetPosition(Start + DataOffset);

  TDecodedImage Img;
  Img.Width = Info.Width;
  Img.Height = Info.Height;
  const std::size_t W = static_cast<std::size_t>(Info.Width);

  if (Info.Compression == BI_RLE8 || Info.Compression == BI_RLE4) {
    if (Info.SizeImage > Available) Fail("the file ends inside the pixel data");
    // A run of 255 pixels takes 2 bytes and a line end skips the rest of a line; beyond
    // 65536 pixels a byte the data is not a real picture. Runs of one pixel take 2 bytes and
    // line ends 2 more, so data beyond Useful cannot matter.
    CheckCompressedSize("BMP", static_cast<int64_t>(Info.Width) * Info.Height,
                        Info.SizeImage != 0 ? Info.SizeImage : Available, 65536);
    const int64_t Useful =
        2 * static_cast<int64_t>(Info.Width) * Info.Height + 4 * int64_t(Info.Height) + 2;
    std::vector<uint8_t> Data(static_cast<std::size_t>(
        std::min(Info.SizeImage != 0 ? Info.SizeImage : Available, Useful)));
    ReadExact(Stream, Data.data(), static_cast<int64_t>(Data.size()));
    Img.Pixels.assign(W * static_cast<std::size_t>(Info.Height), Lut[0]);
    DecodeRle(Data, Info.Bits, Info.Width, Info.Height, Lut, Img.Pixels);
  } else {
    const int64_t Stride = (static_cast<int64_t>(Info.Width) * Info.Bits + 31) / 32 * 4;
    const int64_t Need = Stride * Info.Height;
    if (Available < Need)
      Fail("the file ends inside the pixel data (" + std::to_string(Available) + " of " +
           std::to_string(Need) + " bytes)");
    const TChannel R(Info.Masks[0]), G(Info.Masks[1]), B(Info.Masks[2]);
    Img.Pixels.resize(W * static_cast<std::size_t>(Info.Height));
    std::vector<uint8_t> Row(static_cast<std::size_t>(Stride));
    for (int32_t I = 0; I < Info.Height; ++I) {
      ReadExact(Stream, Row.data(), Stride);
      const int32_t Y = Info.TopDown ? I : Info.Height - 1 - I;
      uint32_t* Out = Img.Pixels.data() + static_cast<std::size_t>(Y) * W;
      const uint8_t* P = Row.data();
      switch (Info.Bits) {
      case 16:
        for (std::size_t X = 0; X < W; ++X) {
          const uint32_t V = U16(P + 2 * X);
          Out[X] = R.Get(V) | (G.Get(V) << 8) | (B.Get(V) << 16);
        }
        break;
      case 24:
        for (std::size_t X = 0; X < W; ++X) Out[X] = RGB(P[3 * X + 2], P[3 * X + 1], P[3 * X]);
        break;
      case 32:
        for (std::size_t X = 0; X < W; ++X) {
          const uint32_t V = U32(P + 4 * X);
          Out[X] = R.Get(V) | (G.Get(V) << 8) | (B.Get(V) << 16);
        }
        break;
      default: DecodeIndexRow(P, Info.Bits, Info.Width, Lut, Out); break;
      }
    }
  }

  switch (Info.Bits) {
  case 1: Img.Format = pf1bit; break;
  case 4: Img.Format = pf4bit; break;
  case 8: Img.Format = pf8bit; break;
  case 16:
    Img.Format = Info.Masks == std::array<uint32_t, 3>{0x7C00, 0x03E0, 0x001F}   ? pf15bit
                 : Info.Masks == std::array<uint32_t, 3>{0xF800, 0x07E0, 0x001F} ? pf16bit
                                                                                 : pf24bit;
    break;
  case 32: Img.Format = pf32bit; break;
  default: Img.Format = pf24bit; break;
  }
  return Img;
}

void WriteBMP(TStream& Stream, const uint32_t* Pixels, int32_t Width, int32_t Height,
              TPixelFormat Format) {
  int Bits;
  switch (Format) {
  case pf1bit: Bits = 1; break;
  case pf4bit: Bits = 4; break;
  case pf8bit: Bits = 8; break;
  case pf15bit:
  case pf16bit: Bits = 16; break;
  case pf32bit: Bits = 32; break;
  default: Bits = 24; break;
  }
  const std::span<const TColor> Palette = FormatPalette(Format);
  const uint32_t MaskBytes = Format == pf16bit ? 12 : 0;
  const uint64_t Stride =
      (static_cast<uint64_t>(Width) * static_cast<uint64_t>(Bits) + 31) / 32 * 4;
  const uint32_t OffBits = 14 + 40 + MaskBytes + static_cast<uint32_t>(Palette.size()) * 4;
  const uint64_t DataSize = Stride * static_cast<uint64_t>(Height);
  if (OffBits + DataSize > UINT32_MAX)
    throw EInvalidGraphic("The bitmap is too large for a BMP file");

  std::vector<uint8_t> Head(OffBits, 0);
  uint8_t* P = Head.data();
  P[0] = 'B';
  P[1] = 'M';
  Put32(P + 2, static_cast<uint32_t>(OffBits + DataSize));
  Put32(P + 10, OffBits);
  Put32(P + 14, 40);
  Put32(P + 18, static_cast<uint32_t>(Width));
  Put32(P + 22, static_cast<uint32_t>(Height)); // positive: rows bottom-up
  Put16(P + 26, 1);
  Put16(P + 28, static_cast<uint32_t>(Bits));
  Put32(P + 30, Format == pf16bit ? BI_BITFIELDS : BI_RGB);
  Put32(P + 34, static_cast<uint32_t>(DataSize));
  Put32(P + 38, 3780); // 96 pixels per inch
  Put32(P + 42, 3780);
  Put32(P + 46, static_cast<uint32_t>(Palette.size()));
  if (Format == pf16bit) {
    Put32(P + 54, 0xF800);
    Put32(P + 58, 0x07E0);
    Put32(P + 62, 0x001F);
  }
  for (std::size_t I = 0; I < Palette.size(); ++I) {
    uint8_t* E = P + 54 + MaskBytes + 4 * I;
    E[0] = GetBValue(Palette[I]);
    E[1] = GetGValue(Palette[I]);
    E[2] = GetRValue(Palette[I]);
  }
  Stream.WriteBuffer(Head.data(), static_cast<int64_t>(Head.size()));

  std::vector<uint8_t> Row(static_cast<std::size_t>(Stride));
  const std::size_t W = static_cast<std::size_t>(Width);
  for (int32_t I = 0; I < Height; ++I) {
    const uint32_t* In = Pixels + static_cast<std::size_t>(Height - 1 - I) * W;
    std::fill(Row.begin(), Row.end(), uint8_t{0});
    uint8_t* Out = Row.data();
    switch (Bits) {
    case 1:
      for (std::size_t X = 0; X < W; ++X)
        Out[X >> 3] |= static_cast<uint8_t>(PaletteIndex(In[X], pf1bit) << (7 - (X & 7)));
      break;
    case 4:
      for (std::size_t X = 0; X < W; ++X)
        Out[X >> 1] |= static_cast<uint8_t>(PaletteIndex(In[X], pf4bit) << ((X & 1) ? 0 : 4));
      break;
    case 8:
      for (std::size_t X = 0; X < W; ++X) Out[X] = PaletteIndex(In[X], pf8bit);
      break;
    case 16:
      for (std::size_t X = 0; X < W; ++X) {
        const TColor C = QuantizeColor(In[X], Format);
        const uint32_t V =
            Format == pf16bit
                ? ((GetRValue(C) >> 3) << 11) | ((GetGValue(C) >> 2) << 5) | (GetBValue(C) >> 3)
                : ((GetRValue(C) >> 3) << 10) | ((GetGValue(C) >> 3) << 5) | (GetBValue(C) >> 3);
        Put16(Out + 2 * X, V);
      }
      break;
    case 24:
      for (std::size_t X = 0; X < W; ++X) {
        Out[3 * X] = GetBValue(In[X]);
        Out[3 * X + 1] = GetGValue(In[X]);
        Out[3 * X + 2] = GetRValue(In[X]);
      }
      break;
    default:
      for (std::size_t X = 0; X < W; ++X) {
        Out[4 * X] = GetBValue(In[X]);
        Out[4 * X + 1] = GetGValue(In[X]);
        Out[4 * X + 2] = GetRValue(In[X]);
      }
      break;
    }
    Stream.WriteBuffer(Row.data(), static_cast<int64_t>(Row.size()));
  }
}

} // namespace zef::imaging
