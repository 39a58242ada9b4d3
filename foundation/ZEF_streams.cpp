#include "ZEF_streams.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "rtl/extended.h"
#include "rtl/strings.h"

namespace zef {

namespace {

// Whether C ends a line in EOLMode, Prev being the byte read before it on this line.
bool IsLineEnd(int32_t EOLMode, uint8_t C, int Prev) {
  switch (EOLMode) {
    case 1: return C == '\r';
    case 2: return C == '\r' || C == '\n';
    case 3: return C == '\r' && Prev == '\n';
    case 4: return C == '\n' && Prev == '\r';
    default: return C == '\n';
  }
}

template <std::size_t N>
void WriteLittleEndian(TStream& Stream, uint64_t Bits) {
  std::array<uint8_t, N> B{};
  for (std::size_t I = 0; I < N; ++I) B[I] = static_cast<uint8_t>(Bits >> (8 * I));
  Stream.WriteBuffer(B.data(), N);
}

template <std::size_t N>
bool ReadLittleEndian(TStream& Stream, uint64_t& Bits) {
  std::array<uint8_t, N> B{};
  if (Stream.Read(B.data(), N) != static_cast<int64_t>(N)) return false;
  Bits = 0;
  for (std::size_t I = 0; I < N; ++I) Bits |= uint64_t{B[I]} << (8 * I);
  return true;
}

// Latin-1 lower case of one byte.
uint8_t LowerByte(uint8_t C) {
  if ((C >= 'A' && C <= 'Z') || (C >= 0xC0 && C <= 0xDE && C != 0xD7)) return C + 32;
  return C;
}

std::string LowerBytes(std::string_view S) {
  std::string R(S);
  for (char& C : R) C = static_cast<char>(LowerByte(static_cast<uint8_t>(C)));
  return R;
}

// The bytes of the rest of the stream.
std::string RestOfStream(TStream& Stream) {
  std::string R;
  std::array<char, 4096> Buf{};
  for (int64_t N; (N = Stream.Read(Buf.data(), Buf.size())) > 0;) R.append(Buf.data(), static_cast<std::size_t>(N));
  return R;
}

std::string ReadLineBytes(TStream& Stream, int32_t EOLMode, bool& EndOfStream, bool ControlChars) {
  EndOfStream = false;
  TXMLStreamSource Source(Stream);
  std::string Line;
  int Prev = -1;
  uint8_t B = 0;
  while (true) {
    if (!Source.NextByte(B)) {
      EndOfStream = true;
      return Line;
    }
    const bool End = IsLineEnd(EOLMode, B, Prev);
    Prev = B;
    if (ControlChars) {
      Line += static_cast<char>(B);
    } else if (!End && (B >= 32 || B == '\t')) {
      Line += static_cast<char>(B);
    }
    if (End) break;
  }
  if (ControlChars)
    for (int K = 0; K < 2 && !Line.empty() && (Line.back() == '\n' || Line.back() == '\r'); ++K)
      Line.pop_back();
  return Line;
}

double ScanFP(TStream& Stream, bool AllowExp, int32_t DecPChar) {
  const TDecSeparators Seps =
      DecPChar >= 1 && DecPChar <= 3 ? static_cast<TDecSeparators>(DecPChar) : dsepNone;
  TFPNumScanner Scanner(AllowExp, Seps, true);
  TXMLStreamSource Source(Stream);
  uint8_t B = 0;
  while (Scanner.Feed(Source.NextByte(B) ? B : 0)) {
  }
  return Scanner.Value();
}

int32_t ScanDecimalBytes(TStream& Stream) {
  TXMLStreamSource Source(Stream);
  uint8_t B = 0;
  bool Have = Source.NextByte(B);
  while (Have && (B == ' ' || B == '\n' || B == '\r')) Have = Source.NextByte(B);
  bool Negative = false;
  if (Have && (B == '+' || B == '-')) {
    Negative = B == '-';
    Have = Source.NextByte(B);
  }
  constexpr int64_t Limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t V = 0;
  while (Have && B >= '0' && B <= '9') {
    V = std::min(V * 10 + (B - '0'), Limit);
    Have = Source.NextByte(B);
  }
  if (Negative) return static_cast<int32_t>(-V);
  return static_cast<int32_t>(std::min(V, Limit - 1));
}

} // namespace

// ---- Writing -------------------------------------------------------------------------------

void WriteStringStream(TStream& Stream, std::string_view Text) {
  std::array<uint8_t, 4096> Buf{};
  std::size_t N = 0;
  for (std::size_t I = 0; I < Text.size();) {
    Buf[N++] = static_cast<uint8_t>(NextCodePoint(Text, I));
    if (N == Buf.size()) {
      Stream.WriteBuffer(Buf.data(), static_cast<int64_t>(N));
      N = 0;
    }
  }
  if (N > 0) Stream.WriteBuffer(Buf.data(), static_cast<int64_t>(N));
}

void WriteLnStream(TStream& Stream, std::string_view Text) {
  WriteStringStream(Stream, Text);
  Stream.WriteBuffer("\r\n", 2);
}

void WriteLongintToStream(TStream& Stream, int32_t Value) {
  WriteLittleEndian<4>(Stream, static_cast<uint32_t>(Value));
}

void WriteSingleToStream(TStream& Stream, float Value) {
  uint32_t Bits = 0;
  std::memcpy(&Bits, &Value, 4);
  WriteLittleEndian<4>(Stream, Bits);
}

void WriteDoubleToStream(TStream& Stream, double Value) {
  uint64_t Bits = 0;
  std::memcpy(&Bits, &Value, 8);
  WriteLittleEndian<8>(Stream, Bits);
}

void WriteExtendedToStream(TStream& Stream, long double Value) {
  uint8_t B[10];
  ExtendedToBytes(Value, B);
  Stream.WriteBuffer(B, 10);
}

// ---- Reading -------------------------------------------------------------------------------

int32_t ReadLongintFromStream(TStream& Stream, bool& Error) {
  uint64_t Bits = 0;
  Error = !ReadLittleEndian<4>(Stream, Bits);
  return Error ? 0 : static_cast<int32_t>(static_cast<uint32_t>(Bits));
}

float ReadSingleFromStream(TStream& Stream, bool& Error) {
  uint64_t Bits = 0;
  Error = !ReadLittleEndian<4>(Stream, Bits);
  if (Error) return 0;
  const auto B32 = static_cast<uint32_t>(Bits);
  float V = 0;
  std::memcpy(&V, &B32, 4);
  return V;
}

double ReadDoubleFromStream(TStream& Stream, bool& Error) {
  uint64_t Bits = 0;
  Error = !ReadLittleEndian<8>(Stream, Bits);
  if (Error) return 0;
  double V = 0;
  std::memcpy(&V, &Bits, 8);
  return V;
}

long double ReadExtendedFromStream(TStream& Stream, bool& Error) {
  uint8_t B[10];
  Error = Stream.Read(B, 10) != 10;
  return Error ? 0 : BytesToExtended(B);
}

std::string ReadLnStream(TStream& Stream, bool& EndOfStream, int32_t EOLMode) {
  return Latin1ToUtf8(ReadLineBytes(Stream, EOLMode, EndOfStream, true));
}

std::string StreamAsString(TStream& Stream) {
  std::u16string U;
  std::array<uint8_t, 256> Buf{};
  int Pending = -1;  // a byte waiting for its partner across blocks
  for (int64_t N; (N = Stream.Read(Buf.data(), Buf.size())) > 0;) {
    for (int64_t I = 0; I < N; ++I) {
      if (Pending < 0) {
        Pending = Buf[static_cast<std::size_t>(I)];
      } else {
        U += static_cast<char16_t>(Pending | (Buf[static_cast<std::size_t>(I)] << 8));
        Pending = -1;
      }
    }
  }
  std::string R;
  for (std::size_t I = 0; I < U.size(); ++I) {
    const char16_t C = U[I];
    if (C >= 0xD800 && C <= 0xDBFF && I + 1 < U.size() && U[I + 1] >= 0xDC00 && U[I + 1] <= 0xDFFF) {
      AppendUtf8(R, 0x10000 + ((char32_t(C) - 0xD800) << 10) + (char32_t(U[I + 1]) - 0xDC00));
      ++I;
    } else {
      AppendUtf8(R, (C >= 0xD800 && C <= 0xDFFF) ? char32_t(0xFFFD) : char32_t(C));
    }
  }
  return R;
}

std::string StreamAsByteString(TStream& Stream) { return Latin1ToUtf8(RestOfStream(Stream)); }

bool FindInStream(TStream& Stream, uint8_t B) {
  TXMLStreamSource Source(Stream);
  uint8_t C = 0;
  while (Source.NextByte(C))
    if (C == B) return true;
  return false;
}

int64_t CountLinesInStream(TStream& Stream) {
  std::array<char, 4096> Buf{};
  int64_t Lines = 0;
  for (int64_t N; (N = Stream.Read(Buf.data(), Buf.size())) > 0;)
    Lines += std::count(Buf.begin(), Buf.begin() + N, '\n');
  return Lines;
}

std::string ReadStreamUntil(TStream& Stream, std::string_view Marker, int32_t& Found) {
  const std::string_view One[] = {Marker};
  return ReadStreamUntilTagList(Stream, One, Found);
}

std::string ReadStreamUntilTagList(TStream& Stream, std::span<const std::string_view> Tags,
                                   int32_t& Index) {
  Index = -1;
  std::vector<std::string> Needles;
  for (std::string_view T : Tags) Needles.push_back(LowerBytes(Utf8ToLatin1(T)));
  for (std::size_t K = 0; K < Needles.size(); ++K)
    if (Needles[K].empty()) {
      Index = static_cast<int32_t>(K);
      return {};
    }
  const int64_t Start = Stream.Position();
  std::string Text, Lower;
  std::array<char, 256> Buf{};
  for (int64_t N; (N = Stream.Read(Buf.data(), Buf.size())) > 0;) {
    const std::size_t Old = Text.size();
    Text.append(Buf.data(), static_cast<std::size_t>(N));
    Lower += LowerBytes(std::string_view(Buf.data(), static_cast<std::size_t>(N)));
    // Only the new tail can hold a first occurrence; pick the one that ends first.
    std::size_t BestEnd = std::string::npos;
    for (std::size_t K = 0; K < Needles.size(); ++K) {
      const std::size_t From = Old >= Needles[K].size() ? Old - Needles[K].size() + 1 : 0;
      const std::size_t P = Lower.find(Needles[K], From);
      if (P != std::string::npos && P + Needles[K].size() < BestEnd) {
        BestEnd = P + Needles[K].size();
        Index = static_cast<int32_t>(K);
      }
    }
    if (BestEnd != std::string::npos) {
      Text.resize(BestEnd);
      Stream.SetPosition(Start + static_cast<int64_t>(BestEnd));
      break;
    }
  }
  return Latin1ToUtf8(Text);
}

int32_t ScanStreamDecimal(TStream& Stream) { return ScanDecimalBytes(Stream); }

double ScanStreamFPNum(TStream& Stream, bool AllowExp, int32_t DecPChar) {
  return ScanFP(Stream, AllowExp, DecPChar);
}

// ---- Elements ------------------------------------------------------------------------------

std::string ScanForXMLAttrib(std::string_view Attributes, std::string_view Name) {
  return XMLAttribute(Attributes, Name);
}

namespace {
int32_t ReadTag(TXMLSource& Source, std::span<const std::string_view> Tags, std::string& Attributes,
                std::string& Content) {
  TXMLElement E;
  const bool Read = ReadXMLElement(Source, E);
  Attributes = std::move(E.Attributes);
  Content = std::move(E.Content);
  return Read ? XMLTagIndex(E.Name, Tags) : static_cast<int32_t>(Tags.size()) - 1;
}
} // namespace

int32_t ReadNextTagInStream(TStream& Stream, std::span<const std::string_view> Tags,
                            std::string& Attributes, std::string& Content) {
  TXMLStreamSource Source(Stream);
  return ReadTag(Source, Tags, Attributes, Content);
}

int32_t ReadNextTagInTextFile(TTextFile& F, std::span<const std::string_view> Tags,
                              std::string& Attributes, std::string& Content) {
  TXMLTextFileSource Source(F);
  return ReadTag(Source, Tags, Attributes, Content);
}

bool ScanStreamForXMLTag(TStream& Stream, std::string_view Tag, std::string& Attributes,
                         std::string& Content) {
  const std::string Wanted = AnsiLowerCase(Tag);
  TXMLStreamSource Source(Stream);
  TXMLElement E;
  while (ReadXMLElement(Source, E)) {
    if (E.Name == Wanted) {
      Attributes = std::move(E.Attributes);
      Content = std::move(E.Content);
      return true;
    }
  }
  Attributes.clear();
  Content.clear();
  return false;
}

// ---- TMixedFStream -------------------------------------------------------------------------

bool TMixedFStream::Eos() { return Position() >= Size(); }

void TMixedFStream::Write(std::string_view AString) { WriteStringStream(*this, AString); }

void TMixedFStream::WriteLn(std::string_view AString) { WriteLnStream(*this, AString); }

void TMixedFStream::WriteByte(uint8_t ANum) { WriteBuffer(&ANum, 1); }

void TMixedFStream::WriteInteger(int32_t ANum) { WriteLongintToStream(*this, ANum); }

void TMixedFStream::WriteDouble(double ANum) { WriteDoubleToStream(*this, ANum); }

uint8_t TMixedFStream::ReadByte(bool& Error) {
  uint8_t B = 0;
  Error = Read(&B, 1) != 1;
  return Error ? 0 : B;
}

int32_t TMixedFStream::ReadInteger(bool& Error) { return ReadLongintFromStream(*this, Error); }

double TMixedFStream::ReadDouble(bool& Error) { return ReadDoubleFromStream(*this, Error); }

long double TMixedFStream::ReadExtended(bool& Error) { return ReadExtendedFromStream(*this, Error); }

std::string TMixedFStream::ReadLn(int32_t EOLMode) {
  bool EndOfStream = false;
  return Latin1ToUtf8(ReadLineBytes(*this, EOLMode, EndOfStream, false));
}

int32_t TMixedFStream::ReadDecimal() { return ScanDecimalBytes(*this); }

double TMixedFStream::ReadFPNum(bool AllowExp, int32_t DecPChar) {
  return ScanFP(*this, AllowExp, DecPChar);
}

} // namespace zef
