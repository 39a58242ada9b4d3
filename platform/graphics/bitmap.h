// TBitmap: a picture of Width x Height pixels in 32-bit storage, with a canvas to draw on and
// BMP, PNG and JPEG files. A pixel is a TColor value $00BBGGRR (red in the low byte, the high
// byte always 0); rows run top to bottom.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classes/object.h"
#include "graphics/colors.h"

namespace zef {

class TCanvas;
class TStream;

// The pixel format the bitmap stands for. Storage is always 32-bit; with a lower format
// every pixel written through the canvas or Pixels is quantised to what the format can
// hold (1 bit black/white, 4 bits the 16 basic colours, 8 bits a 6x6x6 colour cube plus a
// grey ramp, 15 and 16 bits 5-5-5 and 5-6-5), and files are written in that format.
enum TPixelFormat : uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

// tmAuto takes the transparent colour from the bottom-left pixel; tmFixed uses TransparentColor.
enum TTransparentMode : uint8_t { tmAuto, tmFixed };

enum TImageFormat : uint8_t { ifAuto, ifBMP, ifPNG, ifJPEG };

// Raised for unreadable, malformed or unsupported image data, and for pictures too large.
ZEF_DECLARE_EXCEPTION(EInvalidGraphic, Exception);

// The largest picture a file may describe: 2^28 pixels (1 GiB of storage) and 65535 pixels
// per side. Files claiming more are rejected before anything is allocated.
inline constexpr int64_t kMaxImagePixels = int64_t(1) << 28;
inline constexpr int32_t kMaxImageSide = 65535;

class TBitmap : public TPersistent {
public:
  TBitmap();
  TBitmap(int32_t AWidth, int32_t AHeight);
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  bool Empty() const { return FWidth == 0 || FHeight == 0; }
  // Changes the size and keeps the pixels of the common area; new pixels are white.
  // Negative sizes count as 0; sizes above kMaxImageSide or kMaxImagePixels raise
  // EInvalidGraphic.
  void SetSize(int32_t AWidth, int32_t AHeight);
  void SetWidth(int32_t Value) { SetSize(Value, FHeight); }
  void SetHeight(int32_t Value) { SetSize(FWidth, Value); }

  TPixelFormat PixelFormat() const { return FPixelFormat; }
  // Setting a lower format quantises the present pixels.
  void SetPixelFormat(TPixelFormat Value);

  // The canvas on this bitmap (created on first use, owned by the bitmap).
  TCanvas& Canvas();

  // Row Y (0-based) of Width pixels; Y outside 0..Height-1 raises ERangeError.
  uint32_t* ScanLine(int32_t Y);
  const uint32_t* ScanLine(int32_t Y) const;
  // All pixels, row by row (Width * Height values).
  uint32_t* Bits() { return FPixels.data(); }
  const uint32_t* Bits() const { return FPixels.data(); }

  // The pixel at (X, Y), or clNone outside; writes outside are ignored. Writes quantise.
  TColor GetPixel(int32_t X, int32_t Y) const;
  void SetPixel(int32_t X, int32_t Y, TColor Color);

  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { FTransparent = Value; }
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value) { FTransparentMode = Value; }
  // In tmAuto mode the colour of the bottom-left pixel (clNone for an empty bitmap).
  TColor TransparentColor() const;
  void SetTransparentColor(TColor Value);

  // JPEG quality 1..100 used when saving JPEG files (default 90).
  int32_t JPEGQuality() const { return FJPEGQuality; }
  void SetJPEGQuality(int32_t Value);

  // Copies size, pixels, pixel format and transparency from another TBitmap.
  void Assign(const TPersistent& Source) override;

  // Files: the format comes from the extension on saving (".bmp", ".png", ".jpg"/".jpeg";
  // others raise EInvalidGraphic) and from the signature on loading. A loaded bitmap takes
  // the pixel format of the file's depth when every pixel is exact in it, pf24bit otherwise.
  // A load that fails raises EInvalidGraphic (or the stream's error) and leaves the bitmap
  // unchanged.
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);
  void LoadFromStream(TStream& Stream);
  void SaveToStream(TStream& Stream, TImageFormat Format = ifBMP);

  // Fired after the size, the format or the pixels (through LoadFrom...) changed.
  TNotifyEvent OnChange;

  // Replaces size and pixels at once (used by the image readers); Pixels must hold
  // AWidth * AHeight values.
  void AdoptPixels(int32_t AWidth, int32_t AHeight, std::vector<uint32_t>&& Pixels);

private:
  void Changed();

  int32_t FWidth = 0;
  int32_t FHeight = 0;
  std::vector<uint32_t> FPixels;
  TPixelFormat FPixelFormat = pf24bit;
  bool FTransparent = false;
  TTransparentMode FTransparentMode = tmAuto;
  TColor FTransparentColor = clDefault;
  int32_t FJPEGQuality = 90;
  std::unique_ptr<TCanvas> FCanvas;
};

// The colour a pixel of format Format holds for C (C itself for 24 and 32 bits).
TColor QuantizeColor(TColor C, TPixelFormat Format);
// Whether pixels of this format need quantising.
constexpr bool FormatQuantizes(TPixelFormat F) { return F >= pf1bit && F <= pf16bit; }

} // namespace zef
