// PNG files through libpng, read from and written to a TStream by callbacks.
//
// Reading takes every colour type and bit depth, interlaced or not: palettes and greys are
// expanded, 16-bit channels scaled to 8 bits, and alpha (an alpha channel or tRNS) is
// composited over white, since the bitmap has no alpha. Colour values are taken as stored
// (no gamma correction); ancillary chunks other than tRNS are skipped.
//
// libpng reports errors by longjmp. The functions that call setjmp (ReadHeaderC, ReadRowsC,
// WriteC) are plain C-style code: between their setjmp and any libpng call no object with
// a destructor is alive, and the callbacks leave their try blocks before raising a libpng
// error, so the jump skips no destructor. Everything with a destructor (the buffers, the
// png_struct owner, a pending stream exception) lives in the C++ functions around them.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "graphics/image_codecs.h"
#include "rtl/exceptions.h"
#include "rtl/streams.h"

namespace zef::imaging {
namespace {

// Ancillary chunks kept in memory are bounded in count and size.
constexpr png_uint_32 kChunkCacheMax = 256;
constexpr png_alloc_size_t kChunkMallocMax = 8 * 1024 * 1024;

struct TPngIo {
  TStream* Stream = nullptr;
  std::exception_ptr StreamError; // an exception of the stream, raised again after cleanup
  char Message[256] = {};
  char Warning[256] = {}; // the first warning, which often says why an error followed
};

void OnError(png_structp Png, png_const_charp Msg) {
  auto* Io = static_cast<TPngIo*>(png_get_error_ptr(Png));
  if (Io->Message[0] == 0) std::snprintf(Io->Message, sizeof Io->Message, "%s", Msg);
  png_longjmp(Png, 1);
}

void OnWarning(png_structp Png, png_const_charp Msg) {
  auto* Io = static_cast<TPngIo*>(png_get_error_ptr(Png));
  if (Io->Warning[0] == 0) std::snprintf(Io->Warning, sizeof Io->Warning, "%s", Msg);
}

// Reads Length bytes; returns the failure (nullptr on success). Exceptions stay in here.
const char* ReadFromStream(TPngIo& Io, png_bytep Data, std::size_t Length) {
  try {
    while (Length > 0) {
      const int64_t N = Io.Stream->Read(Data, static_cast<int64_t>(Length));
      if (N <= 0) return "the file ends early";
      Data += N;
      Length -= static_cast<std::size_t>(N);
    }
    return nullptr;
  } catch (...) {
    Io.StreamError = std::current_exception();
    return "stream error";
  }
}

const char* WriteToStream(TPngIo& Io, png_bytep Data, std::size_t Length) {
  try {
    Io.Stream->WriteBuffer(Data, static_cast<int64_t>(Length));
    return nullptr;
  } catch (...) {
    Io.StreamError = std::current_exception();
    return "stream error";
  }
}

void OnRead(png_structp Png, png_bytep Data, std::size_t Length) {
  auto* Io = static_cast<TPngIo*>(png_get_io_ptr(Png));
  if (const char* Failure = ReadFromStream(*Io, Data, Length)) png_error(Png, Failure);
}

void OnWrite(png_structp Png, png_bytep Data, std::size_t Length) {
  auto* Io = static_cast<TPngIo*>(png_get_io_ptr(Png));
  if (const char* Failure = WriteToStream(*Io, Data, Length)) png_error(Png, Failure);
}

void OnFlush(png_structp) {}

struct TPngHeader {
  png_uint_32 Width = 0;
  png_uint_32 Height = 0;
  int BitDepth = 0;
  int ColorType = 0;
  std::size_t RowBytes = 0;
  int Channels = 0;
};

// Reads the chunks up to the image data and sets up the expansion to 8-bit RGBA.
bool ReadHeaderC(png_structp Png, png_infop Info, TPngHeader* H) {
  if (setjmp(png_jmpbuf(Png))) return false;
  png_read_info(Png, Info);
  int Interlace = 0;
  png_get_IHDR(Png, Info, &H->Width, &H->Height, &H->BitDepth, &H->ColorType, &Interlace, nullptr,
               nullptr);
  const bool HasTrns = png_get_valid(Png, Info, PNG_INFO_tRNS) != 0;
  png_set_expand(Png);
  if (H->BitDepth == 16) png_set_scale_16(Png);
  if ((H->ColorType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(Png);
  if ((H->ColorType & PNG_COLOR_MASK_ALPHA) == 0 && !HasTrns)
    png_set_filler(Png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(Png);
  png_read_update_info(Png, Info);
  H->RowBytes = png_get_rowbytes(Png, Info);
  H->Channels = png_get_channels(Png, Info);
  return true;
}

bool ReadRowsC(png_structp Png, png_infop Info, png_bytepp Rows) {
  if (setjmp(png_jmpbuf(Png))) return false;
  png_read_image(Png, Rows);
  png_read_end(Png, Info);
  return true;
}

struct TPngReader {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  ~TPngReader() { png_destroy_read_struct(&Png, Info != nullptr ? &Info : nullptr, nullptr); }
};

struct TPngWriter {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  ~TPngWriter() { png_destroy_write_struct(&Png, Info != nullptr ? &Info : nullptr); }
};

[[noreturn]] void Fail(TPngIo& Io) {
  if (Io.StreamError) std::rethrow_exception(Io.StreamError);
  std::string Msg = std::string("Invalid PNG file: ") + Io.Message;
  if (Io.Warning[0] != 0) Msg += std::string(" (") + Io.Warning + ")";
  throw EInvalidGraphic(Msg);
}

// What WriteC needs: the pixels, the file's layout, and a row buffer allocated beforehand.
struct TPngRowSource {
  const uint32_t* Pixels = nullptr;
  png_uint_32 Width = 0;
  png_uint_32 Height = 0;
  TPixelFormat Format = pf24bit;
  int ColorType = PNG_COLOR_TYPE_RGB;
  int BitDepth = 8;
  png_colorp Palette = nullptr;
  int PaletteCount = 0;
  png_bytep Row = nullptr;
};

// Packs row Y for the file: grey bits, palette indices or RGB bytes.
void PackRow(const TPngRowSource& S, png_uint_32 Y) {
  const uint32_t* In = S.Pixels + static_cast<std::size_t>(Y) * S.Width;
  png_bytep Out = S.Row;
  if (S.ColorType == PNG_COLOR_TYPE_RGB) {
    for (png_uint_32 X = 0; X < S.Width; ++X) {
      Out[3 * X] = GetRValue(In[X]);
      Out[3 * X + 1] = GetGValue(In[X]);
      Out[3 * X + 2] = GetBValue(In[X]);
    }
    return;
  }
  const std::size_t Bytes =
      (static_cast<std::size_t>(S.Width) * static_cast<std::size_t>(S.BitDepth) + 7) / 8;
  for (std::size_t I = 0; I < Bytes; ++I) Out[I] = 0;
  const int PerByte = 8 / S.BitDepth;
  for (png_uint_32 X = 0; X < S.Width; ++X) {
    const unsigned Index = PaletteIndex(In[X], S.Format);
    const int Shift =
        8 - S.BitDepth * (static_cast<int>(X % static_cast<png_uint_32>(PerByte)) + 1);
    Out[X / static_cast<png_uint_32>(PerByte)] |= static_cast<png_byte>(Index << Shift);
  }
}

bool WriteC(png_structp Png, png_infop Info, const TPngRowSource* S) {
  if (setjmp(png_jmpbuf(Png))) return false;
  png_set_IHDR(Png, Info, S->Width, S->Height, S->BitDepth, S->ColorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (S->ColorType == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(Png, Info, S->Palette, S->PaletteCount);
  png_set_pHYs(Png, Info, 3780, 3780, PNG_RESOLUTION_METER); // 96 pixels per inch
  png_write_info(Png, Info);
  for (png_uint_32 Y = 0; Y < S->Height; ++Y) {
    PackRow(*S, Y);
    png_write_row(Png, S->Row);
  }
  png_write_end(Png, Info);
  return true;
}

} // namespace

TDecodedImage ReadPNG(TStream& Stream, int64_t MaxPixels) {
  const int64_t Start = Stream.Position();
  TPngIo Io;
  Io.Stream = &Stream;
  TPngReader R;
  R.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &Io, OnError, OnWarning);
  if (R.Png == nullptr) throw EInvalidGraphic("Cannot read PNG files: libpng could not start");
  R.Info = png_create_info_struct(R.Png);
  if (R.Info == nullptr) throw EInvalidGraphic("Cannot read PNG files: libpng could not start");
  png_set_read_fn(R.Png, &Io, OnRead);
  png_set_user_limits(R.Png, kMaxImageSide, kMaxImageSide);
  png_set_chunk_cache_max(R.Png, kChunkCacheMax);
  png_set_chunk_malloc_max(R.Png, kChunkMallocMax);
  png_set_keep_unknown_chunks(R.Png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
  // Fuzzing only: mutated files keep their way past the checksums into the decoder.
  png_set_crc_action(R.Png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
  png_set_option(R.Png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif

  TPngHeader H;
  if (!ReadHeaderC(R.Png, R.Info, &H)) Fail(Io);
  CheckImageSize("PNG", H.Width, H.Height, MaxPixels);
  // Deflate packs at most 1032 bytes into one, and a byte holds at most 8 pixels.
  CheckCompressedSize("PNG", int64_t(H.Width) * H.Height, Stream.Size() - Start, 16384);
  if (H.Channels != 4 || H.RowBytes != 4 * static_cast<std::size_t>(H.Width))
    throw EInvalidGraphic("Invalid PNG file: unexpected pixel layout");

  TDecodedImage Img;
  Img.Width = static_cast<int32_t>(H.Width);
  Img.Height = static_cast<int32_t>(H.Height);
  Img.Pixels.resize(static_cast<std::size_t>(H.Width) * H.Height);
  // libpng writes R, G, B, A bytes into the pixel storage; they become TColor values below.
  auto* Bytes = reinterpret_cast<png_bytep>(Img.Pixels.data());
  std::vector<png_bytep> Rows(H.Height);
  for (png_uint_32 Y = 0; Y < H.Height; ++Y)
    Rows[Y] = Bytes + static_cast<std::size_t>(Y) * H.RowBytes;
  if (!ReadRowsC(R.Png, R.Info, Rows.data())) Fail(Io);

  for (std::size_t I = 0; I < Img.Pixels.size(); ++I) {
    const png_bytep P = Bytes + 4 * I;
    const unsigned A = P[3], Cover = 255 - A;
    // Over white: C * A / 255 + 255 * (255 - A) / 255, rounded.
    const auto Over = [&](unsigned C) {
      return static_cast<uint8_t>((C * A + 255 * Cover + 127) / 255);
    };
    Img.Pixels[I] = RGB(Over(P[0]), Over(P[1]), Over(P[2]));
  }

  if (H.ColorType == PNG_COLOR_TYPE_PALETTE)
    Img.Format = H.BitDepth <= 4 ? pf4bit : pf8bit;
  else if (H.ColorType == PNG_COLOR_TYPE_GRAY && H.BitDepth == 1)
    Img.Format = pf1bit;
  return Img;
}

void WritePNG(TStream& Stream, const uint32_t* Pixels, int32_t Width, int32_t Height,
              TPixelFormat Format) {
  TPngIo Io;
  Io.Stream = &Stream;
  TPngWriter Wr;
  Wr.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &Io, OnError, OnWarning);
  if (Wr.Png == nullptr) throw EInvalidGraphic("Cannot write PNG files: libpng could not start");
  Wr.Info = png_create_info_struct(Wr.Png);
  if (Wr.Info == nullptr) throw EInvalidGraphic("Cannot write PNG files: libpng could not start");
  png_set_write_fn(Wr.Png, &Io, OnWrite, OnFlush);

  TPngRowSource S{.Pixels = Pixels,
                  .Width = static_cast<png_uint_32>(Width),
                  .Height = static_cast<png_uint_32>(Height),
                  .Format = Format,
                  .ColorType = PNG_COLOR_TYPE_RGB,
                  .BitDepth = 8};
  std::vector<png_color> Palette;
  if (Format == pf1bit) {
    S.ColorType = PNG_COLOR_TYPE_GRAY; // index 0 black, 1 white: the grey levels of 1 bit
    S.BitDepth = 1;
  } else if (Format == pf4bit || Format == pf8bit) {
    for (TColor C : FormatPalette(Format))
      Palette.push_back({GetRValue(C), GetGValue(C), GetBValue(C)});
    S.ColorType = PNG_COLOR_TYPE_PALETTE;
    S.BitDepth = Format == pf4bit ? 4 : 8;
    S.Palette = Palette.data();
    S.PaletteCount = static_cast<int>(Palette.size());
  }
  std::vector<png_byte> Row(static_cast<std::size_t>(Width) * 3);
  S.Row = Row.data();
  if (!WriteC(Wr.Png, Wr.Info, &S)) {
    if (Io.StreamError) std::rethrow_exception(Io.StreamError);
    throw EInvalidGraphic(std::string("Cannot write PNG file: ") + Io.Message);
  }
}

} // namespace zef::imaging
