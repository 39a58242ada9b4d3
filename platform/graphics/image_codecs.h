// Internal to the graphics library, not part of its API: the BMP, PNG and JPEG readers and
// writers behind TBitmap's LoadFrom... and SaveTo..., the palettes of the quantising pixel
// formats, and the checks the readers share. The fuzz targets call the readers directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "graphics/bitmap.h"

namespace zef {

class TStream;

namespace imaging {

// A decoded picture: Width * Height pixels $00BBGGRR, rows top to bottom, and the pixel
// format that describes the file's depth (the loader keeps it when every pixel is exact in it).
struct TDecodedImage {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint32_t> Pixels;
  TPixelFormat Format = pf24bit;
};

// The format a file starts with: "BM", "\x89PNG\r\n\x1A\n" or "\xFF\xD8\xFF"; ifAuto when
// the bytes match none of them.
TImageFormat DetectImageFormat(const uint8_t* Head, std::size_t Count);

// Raises EInvalidGraphic ("Invalid <Kind> file: ...") unless 1 <= Width, Height <=
// kMaxImageSide and Width * Height <= MaxPixels.
void CheckImageSize(const char* Kind, int64_t Width, int64_t Height, int64_t MaxPixels);

// Raises EInvalidGraphic when Bytes of compressed data are too few for Pixels pixels: more
// than PixelsPerByte pixels a byte, for pictures above 2^20 pixels. A file claiming a large
// picture in a few bytes is refused before anything is allocated.
void CheckCompressedSize(const char* Kind, int64_t Pixels, int64_t Bytes, int64_t PixelsPerByte);

// Readers start at the stream's position and leave it after the picture. Malformed,
// truncated, unsupported or too large pictures raise EInvalidGraphic; errors of the stream
// itself (other than its end) pass through. MaxPixels bounds Width * Height.
TDecodedImage ReadBMP(TStream& Stream, int64_t MaxPixels = kMaxImagePixels);
TDecodedImage ReadPNG(TStream& Stream, int64_t MaxPixels = kMaxImagePixels);
TDecodedImage ReadJPEG(TStream& Stream, int64_t MaxPixels = kMaxImagePixels);

// Writers take the pixels of Width x Height (both at least 1) and the format to write in.
// BMP: pf1bit/pf4bit/pf8bit with the format's palette, pf15bit 16-bit 5-5-5, pf16bit 16-bit
// 5-6-5 (bit fields), pf32bit 32-bit, anything else 24-bit. PNG: pf1bit 1-bit grey,
// pf4bit/pf8bit palette, anything else 8-bit RGB. JPEG: RGB at Quality 1..100.
void WriteBMP(TStream& Stream, const uint32_t* Pixels, int32_t Width, int32_t Height,
              TPixelFormat Format);
void WritePNG(TStream& Stream, const uint32_t* Pixels, int32_t Width, int32_t Height,
              TPixelFormat Format);
void WriteJPEG(TStream& Stream, const uint32_t* Pixels, int32_t Width, int32_t Height,
               int32_t Quality);

// The palette of pf1bit (2 entries), pf4bit (16) and pf8bit (256); empty for other formats.
std::span<const TColor> FormatPalette(TPixelFormat Format);
// The index in FormatPalette(Format) of QuantizeColor(C, Format), for the palette formats.
uint8_t PaletteIndex(TColor C, TPixelFormat Format);

} // namespace imaging
} // namespace zef
