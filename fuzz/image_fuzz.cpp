// libFuzzer target for one image reader, chosen at build time: ZEF_FUZZ_BMP, ZEF_FUZZ_PNG or
// ZEF_FUZZ_JPEG. Any input must either decode or raise EInvalidGraphic; a decoded picture must
// be consistent, and (when small) survive writing and reading again: exactly for BMP and PNG,
// with its size for JPEG. Pictures are limited to 2^22 pixels so that runs stay fast.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "graphics/image_codecs.h"
#include "rtl/streams.h"

using namespace zef;
using namespace zef::imaging;

namespace {

constexpr int64_t kFuzzMaxPixels = int64_t(1) << 22;
constexpr int64_t kRoundTripMaxPixels = 1 << 16;

#if defined(ZEF_FUZZ_BMP)
TDecodedImage Read(TStream& S) { return ReadBMP(S, kFuzzMaxPixels); }
void Write(TStream& S, const TDecodedImage& I) {
  WriteBMP(S, I.Pixels.data(), I.Width, I.Height, pf24bit);
}
constexpr bool kExact = true;
#elif defined(ZEF_FUZZ_PNG)
TDecodedImage Read(TStream& S) { return ReadPNG(S, kFuzzMaxPixels); }
void Write(TStream& S, const TDecodedImage& I) {
  WritePNG(S, I.Pixels.data(), I.Width, I.Height, pf24bit);
}
constexpr bool kExact = true;
#elif defined(ZEF_FUZZ_JPEG)
TDecodedImage Read(TStream& S) { return ReadJPEG(S, kFuzzMaxPixels); }
void Write(TStream& S, const TDecodedImage& I) {
  WriteJPEG(S, I.Pixels.data(), I.Width, I.Height, 75);
}
constexpr bool kExact = false;
#else
#error "define ZEF_FUZZ_BMP, ZEF_FUZZ_PNG or ZEF_FUZZ_JPEG"
#endif

void Check(bool Condition) {
  if (!Condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TStringStream In(std::string(reinterpret_cast<const char*>(Data), Size));
  TDecodedImage Img;
  try {
    Img = Read(In);
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  Check(Img.Width >= 1 && Img.Height >= 1);
  Check(Img.Pixels.size() == static_cast<size_t>(Img.Width) * static_cast<size_t>(Img.Height));
  Check(In.Position() <= In.Size());
  for (uint32_t P : Img.Pixels) Check((P >> 24) == 0);
  if (static_cast<int64_t>(Img.Pixels.size()) > kRoundTripMaxPixels) return 0;

  TStringStream Out;
  Write(Out, Img);
  Out.SetPosition(0);
  const TDecodedImage Again = Read(Out);
  Check(Again.Width == Img.Width && Again.Height == Img.Height);
  if (kExact) Check(Again.Pixels == Img.Pixels);
  return 0;
}
