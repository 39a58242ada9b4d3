// JPEG files through libjpeg-turbo, read from and written to a TStream by our own source and
// destination managers.
//
// Reading takes baseline and progressive files in greyscale, YCbCr, RGB, CMYK and YCCK
// (CMYK is converted with R = (255 - C) (255 - K) / 255 and so on; Adobe files store the
// inverted values). A file that ends before its end marker is an error, not a grey tail.
// The picture size (and, for Huffman-coded files, that the file is long enough for it) is
// checked after the header and before decompression starts; libjpeg's own memory (the
// coefficient buffers of progressive files) is limited to 64 MiB plus 8 bytes per pixel, and
// a file may have at most 1000 scans.
//
// Writing uses quality 1..100 with optimised Huffman tables; below quality 90 the colour
// channels are subsampled 2 x 2, from 90 on they keep full resolution (sharp coloured lines).
//
// libjpeg reports errors through error_exit, which longjmps back. The functions that call
// setjmp (CreateDecompressC, ReadHeaderC, DecompressC, CompressC) are plain C-style code with no
// object with a destructor alive after their setjmp; the stream callbacks leave their try blocks
// before jumping. Buffers, the struct owners and pending exceptions live in the C++ functions.
#include <cstdio>

// jpeglib.h needs FILE and size_t declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <exception>
#include <string>
#include <vector>

#include "graphics/image_codecs.h"
#include "rtl/exceptions.h"
#include "rtl/streams.h"

namespace zef::imaging {
namespace {

constexpr int kMaxScans = 1000;
constexpr long kBaseMemory = 64L * 1024 * 1024;
constexpr long kMemoryPerPixel = 8;
constexpr std::size_t kBufferSize = 4096;

// The state the callbacks share, reached through client_data.
struct TJpegIo {
  jpeg_error_mgr Err{};
  jpeg_progress_mgr Progress{};
  jpeg_source_mgr Src{};
  jpeg_destination_mgr Dst{};
  std::jmp_buf Jump{};
  TStream* Stream = nullptr;
  std::exception_ptr StreamError; // an exception of the stream, raised again after cleanup
  char Message[JMSG_LENGTH_MAX + 64] = {};
  JOCTET Buffer[kBufferSize] = {};
};

TJpegIo& IoOf(j_common_ptr C) { return *static_cast<TJpegIo*>(C->client_data); }

[[noreturn]] void Abort(TJpegIo& Io, const char* Msg) {
  if (Io.Message[0] == 0) std::snprintf(Io.Message, sizeof Io.Message, "%s", Msg);
  std::longjmp(Io.Jump, 1);
}

void OnErrorExit(j_common_ptr C) {
  TJpegIo& Io = IoOf(C);
  if (Io.Message[0] == 0) {
    if (C->err->msg_code == JERR_NO_BACKING_STORE || C->err->msg_code == JERR_OUT_OF_MEMORY)
      std::snprintf(Io.Message, sizeof Io.Message, "the picture needs more memory than allowed");
    else
      C->err->format_message(C, Io.Message);
  }
  std::longjmp(Io.Jump, 1);
}

// Warnings (corrupt entropy data and the like) are counted, not printed.
void OnEmitMessage(j_common_ptr C, int Level) {
  if (Level < 0) ++C->err->num_warnings;
}

void OnOutputMessage(j_common_ptr) {}

void OnProgress(j_common_ptr C) {
  if (C->is_decompressor && reinterpret_cast<j_decompress_ptr>(C)->input_scan_number > kMaxScans)
    Abort(IoOf(C), "the file has more than 1000 scans");
}

// Reads up to Count bytes; -1 when the stream raised an exception (kept in Io).
int64_t ReadSome(TJpegIo& Io, JOCTET* Buffer, std::size_t Count) {
  try {
    return Io.Stream->Read(Buffer, static_cast<int64_t>(Count));
  } catch (...) {
    Io.StreamError = std::current_exception();
    return -1;
  }
}

bool WriteAll(TJpegIo& Io, const JOCTET* Buffer, std::size_t Count) {
  try {
    Io.Stream->WriteBuffer(Buffer, static_cast<int64_t>(Count));
    return true;
  } catch (...) {
    Io.StreamError = std::current_exception();
    return false;
  }
}

void OnInitSource(j_decompress_ptr) {}

boolean OnFillInput(j_decompress_ptr D) {
  TJpegIo& Io = IoOf(reinterpret_cast<j_common_ptr>(D));
  const int64_t N = ReadSome(Io, Io.Buffer, kBufferSize);
  if (N < 0) Abort(Io, "stream error");
  if (N == 0) Abort(Io, "the file ends early");
  Io.Src.next_input_byte = Io.Buffer;
  Io.Src.bytes_in_buffer = static_cast<std::size_t>(N);
  return TRUE;
}

void OnSkipInput(j_decompress_ptr D, long Count) {
  TJpegIo& Io = IoOf(reinterpret_cast<j_common_ptr>(D));
  if (Count <= 0) return;
  auto Left = static_cast<std::size_t>(Count);
  while (Left > Io.Src.bytes_in_buffer) {
    Left -= Io.Src.bytes_in_buffer;
    OnFillInput(D);
  }
  Io.Src.next_input_byte += Left;
  Io.Src.bytes_in_buffer -= Left;
}

void OnTermSource(j_decompress_ptr) {}

void OnInitDestination(j_compress_ptr C) {
  TJpegIo& Io = IoOf(reinterpret_cast<j_common_ptr>(C));
  Io.Dst.next_output_byte = Io.Buffer;
  Io.Dst.free_in_buffer = kBufferSize;
}

boolean OnEmptyOutput(j_compress_ptr C) {
  TJpegIo& Io = IoOf(reinterpret_cast<j_common_ptr>(C));
  if (!WriteAll(Io, Io.Buffer, kBufferSize)) Abort(Io, "stream error");
  Io.Dst.next_output_byte = Io.Buffer;
  Io.Dst.free_in_buffer = kBufferSize;
  return TRUE;
}

void OnTermDestination(j_compress_ptr C) {
  TJpegIo& Io = IoOf(reinterpret_cast<j_common_ptr>(C));
  if (!WriteAll(Io, Io.Buffer, kBufferSize - Io.Dst.free_in_buffer)) Abort(Io, "stream error");
}

void InitIo(TJpegIo& Io, TStream& Stream) {
  Io.Stream = &Stream;
  jpeg_std_error(&Io.Err);
  Io.Err.error_exit = OnErrorExit;
  Io.Err.emit_message = OnEmitMessage;
  Io.Err.output_message = OnOutputMessage;
  Io.Progress.progress_monitor = OnProgress;
}

bool CreateDecompressC(TJpegIo* Io, jpeg_decompress_struct* D) {
  D->client_data = Io; // kept by jpeg_create_decompress, needed if it fails
  if (setjmp(Io->Jump)) return false;
  jpeg_create_decompress(D);
  D->progress = &Io->Progress;
  Io->Src.init_source = OnInitSource;
  Io->Src.fill_input_buffer = OnFillInput;
  Io->Src.skip_input_data = OnSkipInput;
  Io->Src.resync_to_restart = jpeg_resync_to_restart;
  Io->Src.term_source = OnTermSource;
  D->src = &Io->Src;
  return true;
}

bool ReadHeaderC(TJpegIo* Io, jpeg_decompress_struct* D) {
  if (setjmp(Io->Jump)) return false;
  if (jpeg_read_header(D, TRUE) != JPEG_HEADER_OK) Abort(*Io, "the file holds no picture");
  return true;
}

// Decompresses into Rows of 4 bytes per pixel (RGBX, or CMYK).
bool DecompressC(TJpegIo* Io, jpeg_decompress_struct* D, JSAMPROW Base, std::size_t RowBytes) {
  if (setjmp(Io->Jump)) return false;
  jpeg_start_decompress(D);
  if (D->output_components != 4 || static_cast<std::size_t>(D->output_width) * 4 != RowBytes)
    Abort(*Io, "unexpected pixel layout");
  while (D->output_scanline < D->output_height) {
    JSAMPROW Row = Base + static_cast<std::size_t>(D->output_scanline) * RowBytes;
    jpeg_read_scanlines(D, &Row, 1);
  }
  jpeg_finish_decompress(D);
  return true;
}

struct TDecompressor {
  jpeg_decompress_struct D{};
  ~TDecompressor() { jpeg_destroy_decompress(&D); }
};

struct TCompressor {
  jpeg_compress_struct C{};
  ~TCompressor() { jpeg_destroy_compress(&C); }
};

[[noreturn]] void Fail(TJpegIo& Io, const char* What) {
  if (Io.StreamError) std::rethrow_exception(Io.StreamError);
  throw EInvalidGraphic(std::string(What) + Io.Message);
}

struct TJpegRowSource {
  const uint32_t* Pixels;
  JDIMENSION Width;
  JDIMENSION Height;
  int Quality;
  JSAMPROW Row;
};

bool CompressC(TJpegIo* Io, jpeg_compress_struct* C, const TJpegRowSource* S) {
  C->client_data = Io; // kept by jpeg_create_compress, needed if it fails
  if (setjmp(Io->Jump)) return false;
  jpeg_create_compress(C);
  Io->Dst.init_destination = OnInitDestination;
  Io->Dst.empty_output_buffer = OnEmptyOutput;
  Io->Dst.term_destination = OnTermDestination;
  C->dest = &Io->Dst;
  C->image_width = S->Width;
  C->image_height = S->Height;
  C->input_components = 3;
  C->in_color_space = JCS_RGB;
  jpeg_set_defaults(C);
  jpeg_set_quality(C, S->Quality, TRUE);
  if (S->Quality >= 90)
    for (int I = 0; I < C->num_components; ++I) {
      C->comp_info[I].h_samp_factor = 1;
      C->comp_info[I].v_samp_factor = 1;
    }
  C->optimize_coding = TRUE;
  C->density_unit = 1; // 96 pixels per inch
  C->X_density = 96;
  C->Y_density = 96;
  jpeg_start_compress(C, TRUE);
  while (C->next_scanline < C->image_height) {
    const uint32_t* In = S->Pixels + static_cast<std::size_t>(C->next_scanline) * S->Width;
    for (JDIMENSION X = 0; X < S->Width; ++X) {
      S->Row[3 * X] = GetRValue(In[X]);
      S->Row[3 * X + 1] = GetGValue(In[X]);
      S->Row[3 * X + 2] = GetBValue(In[X]);
    }
    JSAMPROW Row = S->Row;
    jpeg_write_scanlines(C, &Row, 1);
  }
  jpeg_finish_compress(C);
  return true;
}

} // namespace

TDecodedImage ReadJPEG(TStream& Stream, int64_t MaxPixels) {
  const int64_t Start = Stream.Position();
  TJpegIo Io;
  InitIo(Io, Stream);
  TDecompressor Dec;
  Dec.D.err = &Io.Err;
  if (!CreateDecompressC(&Io, &Dec.D)) Fail(Io, "Cannot read JPEG files: ");
  if (!ReadHeaderC(&Io, &Dec.D)) Fail(Io, "Invalid JPEG file: ");
  CheckImageSize("JPEG", Dec.D.image_width, Dec.D.image_height, MaxPixels);
  // Huffman coding spends at least a bit on each 8 x 8 block of the sharpest component;
  // arithmetic coding has no such floor.
  if (!Dec.D.arith_code)
    CheckCompressedSize("JPEG", int64_t(Dec.D.image_width) * Dec.D.image_height,
                        Stream.Size() - Start, 1024);

  const bool Cmyk = Dec.D.jpeg_color_space == JCS_CMYK || Dec.D.jpeg_color_space == JCS_YCCK;
  Dec.D.out_color_space = Cmyk ? JCS_CMYK : JCS_EXT_RGBX;
  const int64_t Pixels = static_cast<int64_t>(Dec.D.image_width) * Dec.D.image_height;
  Dec.D.mem->max_memory_to_use = kBaseMemory + static_cast<long>(kMemoryPerPixel * Pixels);

  TDecodedImage Img;
  Img.Width = static_cast<int32_t>(Dec.D.image_width);
  Img.Height = static_cast<int32_t>(Dec.D.image_height);
  Img.Pixels.resize(static_cast<std::size_t>(Pixels));
  // libjpeg writes 4 bytes per pixel into the pixel storage; they become TColor values below.
  auto* Bytes = reinterpret_cast<JSAMPLE*>(Img.Pixels.data());
  if (!DecompressC(&Io, &Dec.D, Bytes, 4 * static_cast<std::size_t>(Img.Width)))
    Fail(Io, "Invalid JPEG file: ");
  // Give back what the source read beyond the end of the picture.
  if (Io.Src.bytes_in_buffer > 0)
    Stream.Seek(-static_cast<int64_t>(Io.Src.bytes_in_buffer), soCurrent);

  const bool Inverted = Dec.D.saw_Adobe_marker != 0;
  for (std::size_t I = 0; I < Img.Pixels.size(); ++I) {
    const JSAMPLE* P = Bytes + 4 * I;
    if (!Cmyk) {
      Img.Pixels[I] = RGB(P[0], P[1], P[2]);
      continue;
    }
    const unsigned K = Inverted ? P[3] : 255u - P[3];
    const auto Channel = [&](unsigned V) {
      return static_cast<uint8_t>(((Inverted ? V : 255u - V) * K + 127) / 255);
    };
    Img.Pixels[I] = RGB(Channel(P[0]), Channel(P[1]), Channel(P[2]));
  }
  return Img;
}

void WriteJPEG(TStream& Stream, const uint32_t* Pixels, int32_t Width, int32_t Height,
               int32_t Quality) {
  TJpegIo Io;
  InitIo(Io, Stream);
  TCompressor Comp;
  Comp.C.err = &Io.Err;
  std::vector<JSAMPLE> Row(static_cast<std::size_t>(Width) * 3);
  const TJpegRowSource S{Pixels, static_cast<JDIMENSION>(Width), static_cast<JDIMENSION>(Height),
                         std::clamp(Quality, 1, 100), Row.data()};
  if (!CompressC(&Io, &Comp.C, &S)) Fail(Io, "Cannot write JPEG file: ");
}

} // namespace zef::imaging
