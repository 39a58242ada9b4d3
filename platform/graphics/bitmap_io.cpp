// TBitmap's files and streams: the format by signature on loading and by extension on
// saving, and the checks the image readers share.
//
// A loaded bitmap takes the pixel format of the file's depth (pf1bit ... pf32bit) when every
// pixel is exact in that format, and pf24bit otherwise (a palette of other colours than the
// format's own, a PNG or a JPEG file).
#include <algorithm>
#include <cstring>
#include <string>

#include "graphics/bitmap.h"
#include "graphics/image_codecs.h"
#include "rtl/exceptions.h"
#include "rtl/files.h"
#include "rtl/streams.h"
#include "rtl/strings.h"

namespace zef {

namespace imaging {

TImageFormat DetectImageFormat(const uint8_t* Head, std::size_t Count) {
  const auto Starts = [&](const char* Sig, std::size_t N) {
    return Count >= N && std::memcmp(Head, Sig, N) == 0;
  };
  if (Starts("BM", 2)) return ifBMP;
  if (Starts("\x89PNG\r\n\x1A\n", 8)) return ifPNG;
  if (Starts("\xFF\xD8\xFF", 3)) return ifJPEG;
  return ifAuto;
}

void CheckImageSize(const char* Kind, int64_t Width, int64_t Height, int64_t MaxPixels) {
  const std::string Size = std::to_string(Width) + " x " + std::to_string(Height);
  if (Width < 1 || Height < 1)
    throw EInvalidGraphic(std::string("Invalid ") + Kind + " file: the picture size " + Size +
                          " is empty");
  if (Width > kMaxImageSide || Height > kMaxImageSide || Width * Height > MaxPixels)
    throw EInvalidGraphic(std::string("Invalid ") + Kind + " file: the picture size " + Size +
                          " exceeds the limit of " + std::to_string(kMaxImageSide) +
                          " pixels a side and " + std::to_string(MaxPixels) + " pixels");
}

void CheckCompressedSize(const char* Kind, int64_t Pixels, int64_t Bytes, int64_t PixelsPerByte) {
  if (Pixels > (int64_t(1) << 20) && Pixels / PixelsPerByte > Bytes)
    throw EInvalidGraphic(std::string("Invalid ") + Kind + " file: " + std::to_string(Bytes) +
                          " bytes of data cannot hold a picture of " + std::to_string(Pixels) +
                          " pixels");
}

} // namespace imaging

namespace {

imaging::TDecodedImage ReadImage(TStream& Stream) {
  const int64_t Start = Stream.Position();
  uint8_t Head[8];
  std::size_t Count = 0;
  while (Count < sizeof Head) {
    const int64_t N = Stream.Read(Head + Count, static_cast<int64_t>(sizeof Head - Count));
    if (N <= 0) break;
    Count += static_cast<std::size_t>(N);
  }
  Stream.SetPosition(Start);
  switch (imaging::DetectImageFormat(Head, Count)) {
  case ifBMP: return imaging::ReadBMP(Stream);
  case ifPNG: return imaging::ReadPNG(Stream);
  case ifJPEG: return imaging::ReadJPEG(Stream);
  default: throw EInvalidGraphic("Unknown image format: the data is not a BMP, PNG or JPEG file");
  }
}

TImageFormat FormatOfFileName(const std::string& FileName) {
  const std::string Ext = LowerCase(ExtractFileExt(FileName));
  if (Ext == ".bmp") return ifBMP;
  if (Ext == ".png") return ifPNG;
  if (Ext == ".jpg" || Ext == ".jpeg") return ifJPEG;
  throw EInvalidGraphic("Cannot save \"" + FileName + "\": the extension \"" + Ext +
                        "\" is not an image format (use .bmp, .png, .jpg or .jpeg)");
}

} // namespace

void TBitmap::LoadFromFile(const std::string& FileName) {
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(Stream);
}

void TBitmap::LoadFromStream(TStream& Stream) {
  imaging::TDecodedImage Img = ReadImage(Stream);
  TPixelFormat Format = Img.Format;
  if (FormatQuantizes(Format) &&
      !std::all_of(Img.Pixels.begin(), Img.Pixels.end(),
                   [Format](uint32_t P) { return QuantizeColor(P, Format) == P; }))
    Format = pf24bit;
  // The reader checked the size, so AdoptPixels cannot fail after the format is set.
  FPixelFormat = Format;
  AdoptPixels(Img.Width, Img.Height, std::move(Img.Pixels));
}

void TBitmap::SaveToFile(const std::string& FileName) {
  const TImageFormat Format = FormatOfFileName(FileName);
  if (Empty()) throw EInvalidGraphic("Cannot save \"" + FileName + "\": the bitmap is empty");
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(Stream, Format);
}

void TBitmap::SaveToStream(TStream& Stream, TImageFormat Format) {
  if (Empty()) throw EInvalidGraphic("Cannot save an empty bitmap");
  switch (Format) {
  case ifPNG: imaging::WritePNG(Stream, FPixels.data(), FWidth, FHeight, FPixelFormat); break;
  case ifJPEG: imaging::WriteJPEG(Stream, FPixels.data(), FWidth, FHeight, FJPEGQuality); break;
  default: imaging::WriteBMP(Stream, FPixels.data(), FWidth, FHeight, FPixelFormat); break;
  }
}

} // namespace zef
