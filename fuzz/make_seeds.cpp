// Writes the seed corpus of the image fuzz targets: small pictures in every form the readers
// take. Most come from our own writers; the forms they do not write (RLE, the core header,
// top-down bit fields; interlaced, 16-bit and alpha PNG; progressive, greyscale and CMYK JPEG)
// are made here byte by byte or through libpng and libjpeg-turbo.
//   make_seeds DIR      writes DIR/bmp/*, DIR/png/*, DIR/jpeg/*
#include <png.h>

#include <cstdio>

#include <jpeglib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "support/image_builders.h"
#include "rtl/streams.h"

using namespace zef;
namespace fs = std::filesystem;

namespace {

using test::Bmp;
using test::Le;

fs::path Root;

void Save(const std::string& Sub, const std::string& Name, const std::string& Bytes) {
  fs::create_directories(Root / Sub);
  std::ofstream(Root / Sub / Name, std::ios::binary) << Bytes;
}

// An 8 x 5 picture with a few colours, a gradient and the basic colours.
void Draw(TBitmap& B) {
  B.SetSize(8, 5);
  const TColor Basic[] = {clRed, clLime, clBlue, clYellow, clAqua, clFuchsia, clGray, clNavy};
  for (int X = 0; X < 8; ++X) {
    B.SetPixel(X, 0, Basic[X]);
    B.SetPixel(X, 1, RGB(static_cast<uint8_t>(X * 36), static_cast<uint8_t>(255 - X * 30), 90));
    B.SetPixel(X, 2, X < 4 ? clBlack : clWhite);
    B.SetPixel(X, 3, RGB(200, static_cast<uint8_t>(X * 20), static_cast<uint8_t>(X * 30)));
    B.SetPixel(X, 4,
               RGB(static_cast<uint8_t>(X * 32), static_cast<uint8_t>(X * 32),
                   static_cast<uint8_t>(X * 32)));
  }
}

std::string Encode(TPixelFormat Format, TImageFormat Kind, int Quality = 90) {
  TBitmap B;
  Draw(B);
  B.SetPixelFormat(Format);
  B.SetJPEGQuality(Quality);
  TStringStream S;
  B.SaveToStream(S, Kind);
  return S.DataString();
}



// A BMP file from an info header of HeaderSize bytes (12 = core), a palette and the data.


void BmpSeeds() {
  const struct {
    TPixelFormat Format;
    const char* Name;
  } Formats[] = {{pf1bit, "pf1.bmp"},   {pf4bit, "pf4.bmp"},   {pf8bit, "pf8.bmp"},
                 {pf15bit, "pf15.bmp"}, {pf16bit, "pf16.bmp"}, {pf24bit, "pf24.bmp"},
                 {pf32bit, "pf32.bmp"}};
  for (const auto& F : Formats) Save("bmp", F.Name, Encode(F.Format, ifBMP));

  const std::vector<uint32_t> Pal4 = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  // RLE8: a run, a literal run, a move, end of line, end of picture.
  Save("bmp", "rle8.bmp",
       Bmp(40, 6, 3, 8, 1, Pal4, {},
           std::string("\x03\x01\x00\x03\x02\x03\x01\x00\x00\x00\x00\x02\x01\x01\x02\x02\x00\x01",
                       18)));
  // RLE4: alternating nibbles, a literal run, end of picture.
  Save("bmp", "rle4.bmp",
       Bmp(40, 5, 2, 4, 2, Pal4, {}, std::string("\x05\x12\x00\x00\x00\x03\x23\x10\x00\x01", 10)));
  // The core header with an 8-bit palette of 3-byte entries.
  Save("bmp", "core8.bmp",
       Bmp(12, 3, 2, 8, 0, {0x102030, 0x405060, 0x708090}, {},
           std::string("\x00\x01\x02\x00\x02\x01\x00\x00", 8)));
  // V5 header, top-down, 32-bit bit fields with red and blue swapped.
  Save("bmp", "v5topdown32.bmp",
       Bmp(124, 2, -2, 32, 3, {}, {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
           std::string("\x10\x20\x30\xFF\x40\x50\x60\xFF\x70\x80\x90\xFF\xA0\xB0\xC0\xFF", 16)));
}

// libpng writes the forms our writer does not: interlacing, 16-bit channels, alpha, tRNS.
void WritePngWithLibpng(const std::string& Name, int ColorType, int Depth, bool Interlaced,
                        const std::vector<png_color>& Palette, const std::vector<png_byte>& Trns) {
  const png_uint_32 W = 7, H = 5;
  const int Channels = ColorType == PNG_COLOR_TYPE_RGB_ALPHA    ? 4
                       : ColorType == PNG_COLOR_TYPE_RGB        ? 3
                       : ColorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                : 1;
  const std::size_t RowBytes = (W * static_cast<std::size_t>(Channels * Depth) + 7) / 8;
  std::vector<png_byte> Pixels(RowBytes * H);
  for (std::size_t I = 0; I < Pixels.size(); ++I) Pixels[I] = static_cast<png_byte>(I * 37 + 11);
  if (ColorType == PNG_COLOR_TYPE_PALETTE)
    for (auto& B : Pixels) B &= Depth == 8 ? 0x03 : 0x33;
  std::vector<png_bytep> Rows(H);
  for (png_uint_32 Y = 0; Y < H; ++Y) Rows[Y] = Pixels.data() + Y * RowBytes;

  const fs::path P = Root / "png" / Name;
  fs::create_directories(P.parent_path());
  FILE* F = std::fopen(P.c_str(), "wb");
  png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop Info = png_create_info_struct(Png);
  if (setjmp(png_jmpbuf(Png))) {
    std::cerr << "libpng failed on " << Name << "\n";
    std::exit(1);
  }
  png_init_io(Png, F);
  png_set_IHDR(Png, Info, W, H, Depth, ColorType,
               Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!Palette.empty()) png_set_PLTE(Png, Info, Palette.data(), static_cast<int>(Palette.size()));
  if (!Trns.empty()) png_set_tRNS(Png, Info, Trns.data(), static_cast<int>(Trns.size()), nullptr);
  png_write_info(Png, Info);
  png_write_image(Png, Rows.data());
  png_write_end(Png, Info);
  png_destroy_write_struct(&Png, &Info);
  std::fclose(F);
}

void PngSeeds() {
  Save("png", "rgb.png", Encode(pf24bit, ifPNG));
  Save("png", "pal8.png", Encode(pf8bit, ifPNG));
  Save("png", "pal4.png", Encode(pf4bit, ifPNG));
  Save("png", "grey1.png", Encode(pf1bit, ifPNG));
  const std::vector<png_color> Pal = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  WritePngWithLibpng("rgba16_interlaced.png", PNG_COLOR_TYPE_RGB_ALPHA, 16, true, {}, {});
  WritePngWithLibpng("greyalpha8.png", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, {}, {});
  WritePngWithLibpng("grey16_interlaced.png", PNG_COLOR_TYPE_GRAY, 16, true, {}, {});
  WritePngWithLibpng("pal2_trns.png", PNG_COLOR_TYPE_PALETTE, 2, false, Pal, {0, 128, 255});
}

// libjpeg-turbo writes progressive, greyscale and CMYK files.
void WriteJpegWithLibjpeg(const std::string& Name, J_COLOR_SPACE Space, int Components,
                          bool Progressive) {
  const JDIMENSION W = 16, H = 16;
  std::vector<JSAMPLE> Pixels(W * H * static_cast<JDIMENSION>(Components));
  for (JDIMENSION I = 0; I < Pixels.size(); ++I)
    Pixels[I] = static_cast<JSAMPLE>((I * 13) ^ (I / 48 * 40));
  const fs::path P = Root / "jpeg" / Name;
  fs::create_directories(P.parent_path());
  FILE* F = std::fopen(P.c_str(), "wb");
  jpeg_compress_struct C;
  jpeg_error_mgr Err;
  C.err = jpeg_std_error(&Err);
  jpeg_create_compress(&C);
  jpeg_stdio_dest(&C, F);
  C.image_width = W;
  C.image_height = H;
  C.input_components = Components;
  C.in_color_space = Space;
  jpeg_set_defaults(&C);
  jpeg_set_quality(&C, 60, TRUE);
  if (Progressive) jpeg_simple_progression(&C);
  jpeg_start_compress(&C, TRUE);
  while (C.next_scanline < H) {
    JSAMPROW Row = Pixels.data() + C.next_scanline * W * static_cast<JDIMENSION>(Components);
    jpeg_write_scanlines(&C, &Row, 1);
  }
  jpeg_finish_compress(&C);
  jpeg_destroy_compress(&C);
  std::fclose(F);
}

void JpegSeeds() {
  Save("jpeg", "q75.jpg", Encode(pf24bit, ifJPEG, 75));
  Save("jpeg", "q95.jpg", Encode(pf24bit, ifJPEG, 95));
  WriteJpegWithLibjpeg("progressive.jpg", JCS_RGB, 3, true);
  WriteJpegWithLibjpeg("grey.jpg", JCS_GRAYSCALE, 1, false);
  WriteJpegWithLibjpeg("cmyk.jpg", JCS_CMYK, 4, false);
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_seeds DIR\n";
    return 2;
  }
  Root = argv[1];
  BmpSeeds();
  PngSeeds();
  JpegSeeds();
  return 0;
}
