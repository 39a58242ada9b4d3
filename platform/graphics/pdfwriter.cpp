#include "graphics/pdfwriter.h"

#include <zlib.h>

#include <charconv>
#include <cmath>
#include <cstdio>

#include "rtl/exceptions.h"
#include "rtl/streams.h"
#include "rtl/strings.h"

namespace zef::pdf {

namespace {

constexpr int32_t kCatalog = 1;
constexpr int32_t kPageTree = 2;

std::string Ref(int32_t Number) { return std::to_string(Number) + " 0 R"; }

// Deflates the pixels row by row as 8-bit RGB straight into the writer, so the page is
// never held a second time in full.
class TDeflater {
public:
  TDeflater() {
    if (deflateInit(&FZ, Z_DEFAULT_COMPRESSION) != Z_OK)
      throw Exception("Cannot start PDF compression");
  }
  ~TDeflater() { deflateEnd(&FZ); }
  TDeflater(const TDeflater&) = delete;
  TDeflater& operator=(const TDeflater&) = delete;

  // Compresses Count input bytes (Finish: the last ones) and hands the output to Sink.
  template <class TSink>
  void Feed(const uint8_t* Data, std::size_t Count, bool Finish, TSink&& Sink) {
    FZ.next_in = const_cast<Bytef*>(Data);
    FZ.avail_in = static_cast<uInt>(Count);
    int Rc;
    do {
      FZ.next_out = FOut;
      FZ.avail_out = sizeof FOut;
      Rc = deflate(&FZ, Finish ? Z_FINISH : Z_NO_FLUSH);
      if (Rc == Z_STREAM_ERROR) throw Exception("PDF compression failed");
      const std::size_t Produced = sizeof FOut - FZ.avail_out;
      if (Produced > 0) Sink(FOut, Produced);
    } while (FZ.avail_out == 0 || (Finish && Rc != Z_STREAM_END));
  }

private:
  z_stream FZ{};
  uint8_t FOut[1 << 16];
};

// A number as PDF writes it: fixed point, at most three decimals, no exponent, "." always.
std::string PdfNumber(double Value) {
  if (!std::isfinite(Value)) return "0";
  char Buf[64];
  const auto R = std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::fixed, 3);
  std::string S(Buf, R.ptr);
  while (!S.empty() && S.back() == '0') S.pop_back();
  if (!S.empty() && S.back() == '.') S.pop_back();
  if (S == "-0" || S.empty()) S = "0";
  return S;
}

// A PDF text string: (literal) with escapes for printable ASCII, <FEFF...> UTF-16BE otherwise.
std::string PdfTextString(const std::string& Utf8) {
  bool Ascii = true;
  for (unsigned char C : Utf8)
    if (C < 0x20 || C > 0x7E) Ascii = false;
  if (Ascii) {
    std::string S = "(";
    for (char C : Utf8) {
      if (C == '(' || C == ')' || C == '\\') S += '\\';
      S += C;
    }
    return S + ")";
  }
  static const char Hex[] = "0123456789ABCDEF";
  std::string S = "<FEFF";
  const auto Unit = [&](uint32_t U) {
    for (int Shift = 12; Shift >= 0; Shift -= 4) S += Hex[(U >> Shift) & 0xF];
  };
  for (char32_t C : Utf8ToUtf32(Utf8)) {
    if (C >= 0x10000) {
      const uint32_t V = static_cast<uint32_t>(C) - 0x10000;
      Unit(0xD800 + (V >> 10));
      Unit(0xDC00 + (V & 0x3FF));
    } else {
      Unit(static_cast<uint32_t>(C));
    }
  }
  return S + ">";
}

} // namespace

TPdfWriter::TPdfWriter(TStream& Stream, std::string Title)
    : FStream(Stream), FTitle(std::move(Title)) {
  // The comment of four bytes above 127 marks the file as binary for transfer programs.
  Put("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
  NewObject(); // kCatalog
  NewObject(); // kPageTree
}

int32_t TPdfWriter::NewObject() {
  FObjectOffsets.push_back(-1);
  return static_cast<int32_t>(FObjectOffsets.size());
}

void TPdfWriter::BeginObject(int32_t Number) {
  FObjectOffsets[static_cast<std::size_t>(Number) - 1] = FOffset;
  Put(std::to_string(Number) + " 0 obj\n");
}

void TPdfWriter::PutBytes(const void* Data, std::size_t Count) {
  FStream.WriteBuffer(Data, static_cast<int64_t>(Count));
  FOffset += static_cast<int64_t>(Count);
}

void TPdfWriter::Put(const std::string& Text) { PutBytes(Text.data(), Text.size()); }

void TPdfWriter::AddPage(const uint32_t* Pixels, int32_t Width, int32_t Height, double WidthPt,
                         double HeightPt) {
  if (FFinished) throw Exception("The PDF document is already finished");
  if (Width < 1 || Height < 1) throw EArgumentError("A PDF page needs at least one pixel");
  const int32_t Page = NewObject(), Content = NewObject(), Image = NewObject(),
                Length = NewObject();
  const std::string W = PdfNumber(WidthPt), H = PdfNumber(HeightPt);

  BeginObject(Page);
  Put("<< /Type /Page /Parent " + Ref(kPageTree) + " /MediaBox [0 0 " + W + " " + H +
      "] /Resources << /XObject << /Im0 " + Ref(Image) + " >> >> /Contents " + Ref(Content) +
      " >>\nendobj\n");

  // The image space is the unit square; the matrix stretches it over the page.
  const std::string Ops = "q " + W + " 0 0 " + H + " 0 0 cm /Im0 Do Q\n";
  BeginObject(Content);
  Put("<< /Length " + std::to_string(Ops.size()) + " >>\nstream\n" + Ops + "endstream\nendobj\n");

  BeginObject(Image);
  Put("<< /Type /XObject /Subtype /Image /Width " + std::to_string(Width) + " /Height " +
      std::to_string(Height) +
      " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode /Length " + Ref(Length) +
      " >>\nstream\n");
  int64_t Compressed = 0;
  const auto Sink = [&](const uint8_t* Data, std::size_t Count) {
    PutBytes(Data, Count);
    Compressed += static_cast<int64_t>(Count);
  };
  TDeflater Z;
  std::vector<uint8_t> Row(static_cast<std::size_t>(Width) * 3);
  for (int32_t Y = 0; Y < Height; ++Y) {
    const uint32_t* Src = Pixels + static_cast<std::size_t>(Y) * static_cast<std::size_t>(Width);
    for (int32_t X = 0; X < Width; ++X) {
      Row[3 * static_cast<std::size_t>(X)] = static_cast<uint8_t>(Src[X]);
      Row[3 * static_cast<std::size_t>(X) + 1] = static_cast<uint8_t>(Src[X] >> 8);
      Row[3 * static_cast<std::size_t>(X) + 2] = static_cast<uint8_t>(Src[X] >> 16);
    }
    Z.Feed(Row.data(), Row.size(), Y == Height - 1, Sink);
  }
  Put("\nendstream\nendobj\n");

  BeginObject(Length);
  Put(std::to_string(Compressed) + "\nendobj\n");
  FPages.push_back(Page);
}

void TPdfWriter::Finish() {
  if (FFinished) return;
  FFinished = true;
  std::string Kids;
  for (int32_t P : FPages) Kids += (Kids.empty() ? "" : " ") + Ref(P);
  BeginObject(kPageTree);
  Put("<< /Type /Pages /Kids [" + Kids + "] /Count " + std::to_string(FPages.size()) +
      " >>\nendobj\n");
  BeginObject(kCatalog);
  Put("<< /Type /Catalog /Pages " + Ref(kPageTree) + " >>\nendobj\n");
  const int32_t Info = NewObject();
  BeginObject(Info);
  Put("<< /Producer (zef)" + (FTitle.empty() ? std::string() : " /Title " + PdfTextString(FTitle)) +
      " >>\nendobj\n");

  // Each entry is exactly 20 bytes: 10-digit offset, 5-digit generation, type, two-byte end.
  const int64_t XRef = FOffset;
  std::string Table =
      "xref\n0 " + std::to_string(FObjectOffsets.size() + 1) + "\n0000000000 65535 f \n";
  for (int64_t Off : FObjectOffsets) {
    char Entry[24];
    std::snprintf(Entry, sizeof Entry, "%010lld 00000 n \n", static_cast<long long>(Off));
    Table += Entry;
  }
  Put(Table);
  Put("trailer\n<< /Size " + std::to_string(FObjectOffsets.size() + 1) + " /Root " + Ref(kCatalog) +
      " /Info " + Ref(Info) + " >>\nstartxref\n" + std::to_string(XRef) + "\n%%EOF\n");
}

} // namespace zef::pdf
