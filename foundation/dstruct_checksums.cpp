// Checksums (CRC-16, CRC-32, SHA-1), ASCII85 and Base64 on streams, and combinatorics.
#include "ZEF_dstruct.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <exception>
#include <limits>

#include "rtl/strings.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define ZEF_SHA_NI 1 // x86: SHA and carry-less multiply extensions, chosen at run time
#endif

namespace zef {

namespace {

constexpr std::size_t IoBlock = 65536;

// ---- CRC tables -----------------------------------------------------------------------------

constexpr std::array<uint16_t, 256> MakeCrc16Table() {
  std::array<uint16_t, 256> T{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i << 8;
    for (int k = 0; k < 8; ++k) c = (c & 0x8000) != 0 ? (c << 1) ^ 0x1021 : c << 1;
    T[i] = static_cast<uint16_t>(c);
  }
  return T;
}

// Slicing-by-16: Crc32Tables[k][b] is the CRC of byte b followed by k zero bytes.
using TCrc32Tables = std::array<std::array<uint32_t, 256>, 16>;
constexpr TCrc32Tables MakeCrc32Tables() {
  TCrc32Tables T{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    T[0][i] = c;
  }
  for (std::size_t k = 1; k < 16; ++k)
    for (uint32_t i = 0; i < 256; ++i) T[k][i] = (T[k - 1][i] >> 8) ^ T[0][T[k - 1][i] & 0xFF];
  return T;
}

constexpr std::array<uint16_t, 256> Crc16Table = MakeCrc16Table();
constexpr TCrc32Tables Crc32Tables = MakeCrc32Tables();

inline uint32_t Load32LE(const uint8_t* P) {
  uint32_t V;
  std::memcpy(&V, P, 4);
  if constexpr (std::endian::native == std::endian::big) V = __builtin_bswap32(V);
  return V;
}

inline uint32_t Load32BE(const uint8_t* P) {
  uint32_t V;
  std::memcpy(&V, P, 4);
  if constexpr (std::endian::native == std::endian::little) V = __builtin_bswap32(V);
  return V;
}

// ---- CRC-32 with carry-less multiplication ------------------------------------------------
// Folding of 64-byte blocks with PCLMULQDQ and a Barrett reduction to 32 bits (the method of
// Gopal et al., "Fast CRC Computation for Generic Polynomials Using PCLMULQDQ"), with the
// bit-reflected constants of the CRC-32 polynomial. Takes the inverted running CRC and at
// least 64 bytes, a multiple of 16.

#ifdef ZEF_SHA_NI
#define ZEF_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))

ZEF_CLMUL_TARGET inline __m128i Load(const uint8_t* P) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
}

// X folded forward over 128 bits by the constants K, plus the next block.
ZEF_CLMUL_TARGET inline __m128i Fold(__m128i X, __m128i K, __m128i Next) {
  return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(X, K, 0x11), Next),
                       _mm_clmulepi64_si128(X, K, 0x00));
}

ZEF_CLMUL_TARGET uint32_t Crc32FoldPclmul(const uint8_t* Buf, std::size_t Len, uint32_t Crc) {
  const __m128i K1K2 = _mm_set_epi64x(0x01c6e41596LL, 0x0154442bd4LL);
  const __m128i K3K4 = _mm_set_epi64x(0x00ccaa009eLL, 0x01751997d0LL);
  const __m128i K5K0 = _mm_set_epi64x(0, 0x0163cd6124LL);
  const __m128i Poly = _mm_set_epi64x(0x01f7011641LL, 0x01db710641LL);
  __m128i X1 = _mm_xor_si128(Load(Buf), _mm_cvtsi32_si128(static_cast<int>(Crc)));
  __m128i X2 = Load(Buf + 16);
  __m128i X3 = Load(Buf + 32);
  __m128i X4 = Load(Buf + 48);
  Buf += 64;
  Len -= 64;
  for (; Len >= 64; Buf += 64, Len -= 64) {
    X1 = Fold(X1, K1K2, Load(Buf));
    X2 = Fold(X2, K1K2, Load(Buf + 16));
    X3 = Fold(X3, K1K2, Load(Buf + 32));
    X4 = Fold(X4, K1K2, Load(Buf + 48));
  }
  X1 = Fold(X1, K3K4, X2);
  X1 = Fold(X1, K3K4, X3);
  X1 = Fold(X1, K3K4, X4);
  for (; Len >= 16; Buf += 16, Len -= 16) X1 = Fold(X1, K3K4, Load(Buf));
  // 128 bits to 64.
  const __m128i Mask32 = _mm_setr_epi32(~0, 0, ~0, 0);
  __m128i X2b = _mm_clmulepi64_si128(X1, K3K4, 0x10);
  X1 = _mm_xor_si128(_mm_srli_si128(X1, 8), X2b);
  X2b = _mm_srli_si128(X1, 4);
  X1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(X1, Mask32), K5K0, 0x00), X2b);
  // Barrett reduction to 32 bits.
  X2b = _mm_clmulepi64_si128(_mm_and_si128(X1, Mask32), Poly, 0x10);
  X2b = _mm_clmulepi64_si128(_mm_and_si128(X2b, Mask32), Poly, 0x00);
  return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(X1, X2b), 1));
}

bool HasPclmul() {
  unsigned a, b, c, d;
  return __get_cpuid(1, &a, &b, &c, &d) && (c & (1u << 1)) != 0 && (c & (1u << 19)) != 0;
}

const bool UsePclmul = HasPclmul();
#endif

// ---- SHA-1 ----------------------------------------------------------------------------------

inline uint32_t Rol(uint32_t X, int N) { return (X << N) | (X >> (32 - N)); }

// FIPS 180-1 compression of whole 64-byte blocks.
void Sha1BlocksPortable(uint32_t State[5], const uint8_t* Data, std::size_t Blocks) {
  for (; Blocks > 0; --Blocks, Data += 64) {
    uint32_t W[80];
    for (int t = 0; t < 16; ++t) W[t] = Load32BE(Data + 4 * t);
    for (int t = 16; t < 80; ++t) W[t] = Rol(W[t - 3] ^ W[t - 8] ^ W[t - 14] ^ W[t - 16], 1);
    uint32_t a = State[0], b = State[1], c = State[2], d = State[3], e = State[4];
    for (int t = 0; t < 80; ++t) {
      uint32_t f, k;
      if (t < 20) {
        f = (b & c) | (~b & d);
        k = 0x5A827999;
      } else if (t < 40) {
        f = b ^ c ^ d;
        k = 0x6ED9EBA1;
      } else if (t < 60) {
        f = (b & c) | (b & d) | (c & d);
        k = 0x8F1BBCDC;
      } else {
        f = b ^ c ^ d;
        k = 0xCA62C1D6;
      }
      const uint32_t Temp = Rol(a, 5) + f + e + k + W[t];
      e = d;
      d = c;
      c = Rol(b, 30);
      b = a;
      a = Temp;
    }
    State[0] += a;
    State[1] += b;
    State[2] += c;
    State[3] += d;
    State[4] += e;
  }
}

#ifdef ZEF_SHA_NI
#define ZEF_SHA_TARGET __attribute__((target("sha,ssse3,sse4.1")))

// One group of four rounds with the processor's SHA extensions; G counts the groups 1..19
// (group 0 is done by the caller). Msg holds the message schedule in a ring of four.
template <int G>
ZEF_SHA_TARGET inline __attribute__((always_inline)) void Sha1Group(__m128i& Abcd, __m128i& ESave,
                                                                    __m128i (&Msg)[4]) {
  const __m128i E = _mm_sha1nexte_epu32(ESave, Msg[G % 4]);
  ESave = Abcd;
  Abcd = _mm_sha1rnds4_epu32(Abcd, E, G / 5);
  if constexpr (G >= 3 && G <= 18)
    Msg[(G + 1) % 4] = _mm_sha1msg2_epu32(Msg[(G + 1) % 4], Msg[G % 4]);
  if constexpr (G >= 1 && G <= 16)
    Msg[(G + 3) % 4] = _mm_sha1msg1_epu32(Msg[(G + 3) % 4], Msg[G % 4]);
  if constexpr (G >= 2 && G <= 17) Msg[(G + 2) % 4] = _mm_xor_si128(Msg[(G + 2) % 4], Msg[G % 4]);
  if constexpr (G < 19) Sha1Group<G + 1>(Abcd, ESave, Msg);
}

ZEF_SHA_TARGET void Sha1BlocksShaNi(uint32_t State[5], const uint8_t* Data, std::size_t Blocks) {
  const __m128i Mask = _mm_set_epi64x(0x0001020304050607LL, 0x08090A0B0C0D0E0FLL);
  __m128i Abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(State)), 0x1B);
  __m128i E0 = _mm_set_epi32(static_cast<int>(State[4]), 0, 0, 0);
  for (; Blocks > 0; --Blocks, Data += 64) {
    const __m128i AbcdSave = Abcd;
    const __m128i E0Save = E0;
    __m128i Msg[4];
    for (int i = 0; i < 4; ++i)
      Msg[i] =
          _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + 16 * i)), Mask);
    __m128i ESave = Abcd;
    Abcd = _mm_sha1rnds4_epu32(Abcd, _mm_add_epi32(E0, Msg[0]), 0);
    Sha1Group<1>(Abcd, ESave, Msg);
    E0 = _mm_sha1nexte_epu32(ESave, E0Save);
    Abcd = _mm_add_epi32(Abcd, AbcdSave);
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(State), _mm_shuffle_epi32(Abcd, 0x1B));
  State[4] = static_cast<uint32_t>(_mm_extract_epi32(E0, 3));
}
#endif

using TSha1Blocks = void (*)(uint32_t*, const uint8_t*, std::size_t);

TSha1Blocks ChooseSha1Blocks() {
#ifdef ZEF_SHA_NI
  // SHA extensions: leaf 7 EBX bit 29; SSSE3 and SSE4.1: leaf 1 ECX bits 9 and 19.
  unsigned a, b, c, d;
  if (__get_cpuid(1, &a, &b, &c, &d) && (c & (1u << 9)) != 0 && (c & (1u << 19)) != 0 &&
      __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & (1u << 29)) != 0)
    return Sha1BlocksShaNi;
#endif
  return Sha1BlocksPortable;
}

const TSha1Blocks Sha1Blocks = ChooseSha1Blocks();

// Incremental SHA-1 over any number of bytes (the length counter wraps at 2^64 bits, as
// the standard allows).
class TSha1 {
public:
  void Update(const uint8_t* Data, std::size_t Count) {
    if (Count == 0) return;
    FLength += Count;
    if (FFill > 0) {
      const std::size_t Take = std::min(Count, 64 - FFill);
      std::memcpy(FBlock + FFill, Data, Take);
      FFill += Take;
      Data += Take;
      Count -= Take;
      if (FFill < 64) return;
      Sha1Blocks(FState, FBlock, 1);
      FFill = 0;
    }
    if (Count >= 64) {
      Sha1Blocks(FState, Data, Count / 64);
      Data += Count / 64 * 64;
      Count %= 64;
    }
    std::memcpy(FBlock, Data, Count);
    FFill = Count;
  }

  TSHACode Final() {
    const uint64_t Bits = FLength * 8;
    uint8_t Pad[72] = {0x80};
    const std::size_t PadLen = (FFill < 56 ? 56 : 120) - FFill;
    for (int i = 0; i < 8; ++i) Pad[PadLen + i] = static_cast<uint8_t>(Bits >> (56 - 8 * i));
    Update(Pad, PadLen + 8);
    TSHACode D;
    for (int i = 0; i < 20; ++i) D[i] = static_cast<uint8_t>(FState[i / 4] >> (24 - 8 * (i % 4)));
    return D;
  }

private:
  uint32_t FState[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
  uint8_t FBlock[64] = {};
  std::size_t FFill = 0;
  uint64_t FLength = 0;
};

// ---- Stream helpers -------------------------------------------------------------------------

// Reads up to Count bytes, fewer only at the end of the stream.
std::size_t ReadFull(TStream& S, uint8_t* Buffer, std::size_t Count) {
  std::size_t Done = 0;
  while (Done < Count) {
    const int64_t N = S.Read(Buffer + Done, static_cast<int64_t>(Count - Done));
    if (N <= 0) break;
    Done += static_cast<std::size_t>(N);
  }
  return Done;
}

// Reads the stream to its end in large blocks.
class TBlockReader {
public:
  explicit TBlockReader(TStream& S) : FStream(S), FBuffer(IoBlock) {}
  // The next byte; false at the end.
  bool Next(uint8_t& B) {
    if (FPos == FCount) {
      FCount =
          static_cast<std::size_t>(std::max<int64_t>(0, FStream.Read(FBuffer.data(), IoBlock)));
      FPos = 0;
      if (FCount == 0) return false;
    }
    B = FBuffer[FPos++];
    return true;
  }

private:
  TStream& FStream;
  std::vector<uint8_t> FBuffer;
  std::size_t FPos = 0;
  std::size_t FCount = 0;
};

// Collects output and writes it in large blocks.
class TBlockWriter {
public:
  explicit TBlockWriter(TStream& S) : FStream(S) { FBuffer.reserve(IoBlock + 128); }
  // Writes what is left, unless an exception is on its way out.
  ~TBlockWriter() noexcept(false) {
    if (std::uncaught_exceptions() == 0) Flush();
  }
  void Put(char C) {
    FBuffer.push_back(C);
    if (FBuffer.size() >= IoBlock) Flush();
  }
  void Put(std::string_view S) {
    FBuffer.append(S);
    if (FBuffer.size() >= IoBlock) Flush();
  }
  void Flush() {
    if (!FBuffer.empty()) FStream.WriteBuffer(FBuffer.data(), static_cast<int64_t>(FBuffer.size()));
    FBuffer.clear();
  }

private:
  TStream& FStream;
  std::string FBuffer;
};

constexpr char Base64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int8_t, 256> MakeBase64Values() {
  std::array<int8_t, 256> V{};
  for (auto& x : V) x = -1;
  for (int i = 0; i < 64; ++i) V[static_cast<uint8_t>(Base64Alphabet[i])] = static_cast<int8_t>(i);
  return V;
}
constexpr std::array<int8_t, 256> Base64Values = MakeBase64Values();

} // namespace

// ---- CRC --------------------------------------------------------------------------------------

uint16_t CalcNextCRC16(uint8_t b, uint16_t crc) {
  return static_cast<uint16_t>(Crc16Table[((crc >> 8) ^ b) & 0xFF] ^ (crc << 8));
}

uint16_t CRC16ofBuffer(std::span<const uint8_t> Buffer, int32_t NumBytes, TCRC16Mode Mode) {
  uint16_t Crc = Mode == crcZModem ? 0 : 0xFFFF;
  const std::size_t N =
      std::min<std::size_t>(Buffer.size(), static_cast<std::size_t>(std::max(NumBytes, 0)));
  for (std::size_t i = 0; i < N; ++i) Crc = CalcNextCRC16(Buffer[i], Crc);
  return Crc;
}

uint32_t CalcNextCRC32(uint8_t b, uint32_t crc) {
  return Crc32Tables[0][(crc ^ b) & 0xFF] ^ (crc >> 8);
}

uint32_t UpdateCRC32(uint32_t Crc, const uint8_t* Data, std::size_t Count) {
  if (Count == 0) return Crc;
  const auto& T = Crc32Tables;
  uint32_t c = ~Crc;
#ifdef ZEF_SHA_NI
  if (UsePclmul && Count >= 64) {
    const std::size_t Chunk = Count & ~std::size_t{15};
    c = Crc32FoldPclmul(Data, Chunk, c);
    Data += Chunk;
    Count -= Chunk;
  }
#endif
  while (Count >= 16) {
    const uint32_t a = Load32LE(Data) ^ c;
    const uint32_t b = Load32LE(Data + 4);
    const uint32_t d = Load32LE(Data + 8);
    const uint32_t e = Load32LE(Data + 12);
    c = T[15][a & 0xFF] ^ T[14][(a >> 8) & 0xFF] ^ T[13][(a >> 16) & 0xFF] ^ T[12][a >> 24] ^
        T[11][b & 0xFF] ^ T[10][(b >> 8) & 0xFF] ^ T[9][(b >> 16) & 0xFF] ^ T[8][b >> 24] ^
        T[7][d & 0xFF] ^ T[6][(d >> 8) & 0xFF] ^ T[5][(d >> 16) & 0xFF] ^ T[4][d >> 24] ^
        T[3][e & 0xFF] ^ T[2][(e >> 8) & 0xFF] ^ T[1][(e >> 16) & 0xFF] ^ T[0][e >> 24];
    Data += 16;
    Count -= 16;
  }
  for (; Count > 0; --Count) c = CalcNextCRC32(*Data++, c);
  return ~c;
}

uint32_t CRC32ofBuffer(std::span<const uint8_t> Buffer, int64_t NumBytes) {
  const std::size_t N = std::min<std::size_t>(
      Buffer.size(), static_cast<std::size_t>(std::max<int64_t>(NumBytes, 0)));
  return UpdateCRC32(0, Buffer.data(), N);
}

uint32_t CRC32ofBuffer(std::span<const uint8_t> Buffer) {
  return UpdateCRC32(0, Buffer.data(), Buffer.size());
}

uint32_t CalcCRC32ofFile(const std::string& FName) {
  try {
    TFileStream F(FName, fmOpenRead | fmShareDenyWrite);
    std::vector<uint8_t> Buf(IoBlock);
    uint32_t Crc = 0;
    for (;;) {
      const int64_t N = F.Read(Buf.data(), static_cast<int64_t>(Buf.size()));
      if (N <= 0) break;
      Crc = UpdateCRC32(Crc, Buf.data(), static_cast<std::size_t>(N));
    }
    return Crc;
  } catch (const Exception&) {
    return 0;
  }
}

// ---- SHA-1 ----------------------------------------------------------------------------------

TSHACode SHA1FromBytes(std::span<const uint8_t> Data) {
  TSha1 H;
  H.Update(Data.data(), Data.size());
  return H.Final();
}

TSHACode SHA1FromString(std::string_view Text) {
  std::u16string Units;
  std::size_t i = 0;
  while (i < Text.size()) {
    const char32_t C = NextCodePoint(Text, i);
    if (C >= 0x10000) {
      Units.push_back(static_cast<char16_t>(0xD800 + ((C - 0x10000) >> 10)));
      Units.push_back(static_cast<char16_t>(0xDC00 + ((C - 0x10000) & 0x3FF)));
    } else {
      Units.push_back(static_cast<char16_t>(C));
    }
  }
  std::vector<uint8_t> Bytes(Units.size());
  for (std::size_t k = 0; k < Bytes.size(); ++k)
    Bytes[k] = static_cast<uint8_t>(k % 2 == 0 ? Units[k / 2] & 0xFF : Units[k / 2] >> 8);
  return SHA1FromBytes(Bytes);
}

TSHACode SHA1FromStream(TStream& Stream) {
  TSha1 H;
  std::vector<uint8_t> Buf(IoBlock);
  for (;;) {
    const int64_t N = Stream.Read(Buf.data(), static_cast<int64_t>(Buf.size()));
    if (N <= 0) break;
    H.Update(Buf.data(), static_cast<std::size_t>(N));
  }
  return H.Final();
}

TSHACode SHA1FromFile(const std::string& FName) {
  TFileStream F(FName, fmOpenRead | fmShareDenyWrite);
  return SHA1FromStream(F);
}

std::string SHA1DigestToHex(const TSHACode& Digest) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string S;
  S.reserve(40);
  for (uint8_t B : Digest) {
    S += Hex[B >> 4];
    S += Hex[B & 15];
  }
  return S;
}

// ---- ASCII85 --------------------------------------------------------------------------------

void EncodeASCII85(TStream& InStream, TStream& OutStream, bool LineBreaks) {
  // Whole chunks of groups are read and coded in one loop; only the last group can be short.
  std::vector<uint8_t> In(IoBlock);
  std::string Out;
  Out.reserve(IoBlock / 4 * 5 + IoBlock / 48 * 2 + 8);
  int Groups = 0;
  for (;;) {
    const std::size_t N = ReadFull(InStream, In.data(), In.size());
    Out.clear();
    for (std::size_t i = 0; i < N; i += 4) {
      const int k = static_cast<int>(std::min<std::size_t>(4, N - i));
      uint32_t V = 0;
      for (int j = 0; j < k; ++j) V = (V << 8) | In[i + j];
      if (k == 4 && V == 0) {
        Out += 'z';
        continue;
      }
      char Digits[5];
      for (int j = k; j >= 0; --j) {
        Digits[j] = static_cast<char>(V % 85 + 33);
        V /= 85;
      }
      Out.append(Digits, static_cast<std::size_t>(k) + 1);
      if (++Groups == 12) {
        Groups = 0;
        if (LineBreaks) Out += "\r\n";
      }
    }
    if (N < In.size()) {
      Out += "~>";
      OutStream.WriteBuffer(Out.data(), static_cast<int64_t>(Out.size()));
      return;
    }
    OutStream.WriteBuffer(Out.data(), static_cast<int64_t>(Out.size()));
  }
}

int32_t DecodeASCII85(TStream& InStream, TStream& OutStream) {
  TBlockReader In(InStream);
  TBlockWriter Out(OutStream);
  int32_t Result = 0;
  uint64_t V = 0;
  int n = 0;
  auto Emit = [&] {
    for (int i = n - 2; i >= 0; --i) Out.Put(static_cast<char>((V >> (8 * i)) & 0xFF));
    V = 0;
    n = 0;
  };
  uint8_t C;
  while (In.Next(C)) {
    if (C == '\r' || C == '\n') continue;
    if (C == '~') break;
    if (C == 'z' && n == 0) {
      Out.Put(std::string_view("\0\0\0\0", 4));
      continue;
    }
    if (C < '!' || C > 'u') {
      Result = C == 'z' ? -2 : -1;
      continue;
    }
    V = V * 85 + (C - 33);
    if (++n == 5) Emit();
  }
  if (n >= 2) Emit();
  return Result;
}

// ---- Base64 ---------------------------------------------------------------------------------

void EncodeBase64(TStream& InStream, TStream& OutStream, bool LineBreaks) {
  // Chunks of whole 45-byte lines are read and coded in one loop.
  constexpr std::size_t Line = 45;
  std::vector<uint8_t> In(IoBlock / Line * Line);
  std::string Out;
  Out.reserve(In.size() / Line * 62 + 64);
  for (;;) {
    const std::size_t N = ReadFull(InStream, In.data(), In.size());
    Out.clear();
    for (std::size_t L = 0; L < N; L += Line) {
      const std::size_t End = std::min(N, L + Line);
      std::size_t i = L;
      for (; i + 3 <= End; i += 3) {
        const uint32_t V = (uint32_t{In[i]} << 16) | (uint32_t{In[i + 1]} << 8) | In[i + 2];
        const char Quad[4] = {Base64Alphabet[V >> 18], Base64Alphabet[(V >> 12) & 63],
                              Base64Alphabet[(V >> 6) & 63], Base64Alphabet[V & 63]};
        Out.append(Quad, 4);
      }
      if (i < End) {
        const bool Two = End - i == 2;
        const uint32_t V = (uint32_t{In[i]} << 16) | (Two ? uint32_t{In[i + 1]} << 8 : 0);
        const char Quad[4] = {Base64Alphabet[V >> 18], Base64Alphabet[(V >> 12) & 63],
                              Two ? Base64Alphabet[(V >> 6) & 63] : '=', '='};
        Out.append(Quad, 4);
      }
      if (LineBreaks) Out += "\r\n";
    }
    OutStream.WriteBuffer(Out.data(), static_cast<int64_t>(Out.size()));
    if (N < In.size()) return;
  }
}

int32_t DecodeBase64(TStream& InStream, TStream& OutStream) {
  TBlockReader In(InStream);
  TBlockWriter Out(OutStream);
  char Q[4];
  int n = 0;
  uint8_t C;
  auto Value = [](char Ch) {
    return static_cast<uint32_t>(Base64Values[static_cast<uint8_t>(Ch)]);
  };
  while (In.Next(C)) {
    if (C == '\r' || C == '\n') continue;
    const bool Pad = C == '=' && n >= 2;
    if (!Pad && Base64Values[C] < 0) return -1;
    Q[n++] = static_cast<char>(C);
    if (n < 4) continue;
    n = 0;
    if (Q[3] != '=' && Q[2] == '=') return -1;
    const uint32_t V = (Value(Q[0]) << 18) | (Value(Q[1]) << 12) |
                       (Q[2] == '=' ? 0 : Value(Q[2]) << 6) | (Q[3] == '=' ? 0 : Value(Q[3]));
    Out.Put(static_cast<char>(V >> 16));
    if (Q[2] != '=') Out.Put(static_cast<char>((V >> 8) & 0xFF));
    if (Q[3] != '=') Out.Put(static_cast<char>(V & 0xFF));
  }
  // An unpadded tail of two or three characters still holds one or two bytes.
  if (n == 1) return -1;
  if (n >= 2 && Q[n - 1] != '=') {
    const uint32_t V = (Value(Q[0]) << 18) | (Value(Q[1]) << 12) | (n == 3 ? Value(Q[2]) << 6 : 0);
    Out.Put(static_cast<char>(V >> 16));
    if (n == 3) Out.Put(static_cast<char>((V >> 8) & 0xFF));
  } else if (n >= 2) {
    return -1;
  }
  return 0;
}

// ---- Combinatorics --------------------------------------------------------------------------

bool NextCombination(TCombination& Combi, int32_t NItems) {
  const int k = Combi[0];
  NItems = std::min(NItems, 255);
  if (k == 0 || k > NItems) return false;
  int p = k;
  while (p >= 1 && Combi[p] >= NItems - k + p) --p;
  if (p < 1) return false;
  ++Combi[p];
  for (int i = p + 1; i <= k; ++i) Combi[i] = static_cast<uint8_t>(Combi[i - 1] + 1);
  return true;
}

namespace {

bool PermutationStep(TCombination& Perm, int n, int a) {
  if (a <= 1) return false;
  const int v = n - a + 1;
  int q = 1;
  while (q <= a && Perm[q] != v) ++q;
  if (q > a) return false;
  if (q < a) {
    std::swap(Perm[q], Perm[q + 1]);
    return true;
  }
  if (!PermutationStep(Perm, n, a - 1)) return false;
  std::copy_backward(Perm.begin() + 1, Perm.begin() + a, Perm.begin() + a + 1);
  Perm[1] = static_cast<uint8_t>(v);
  return true;
}

} // namespace

bool NextPermutation(TCombination& Perm) { return PermutationStep(Perm, Perm[0], Perm[0]); }

int32_t IndexOfNearestArrayValue(double x, std::span<const double> Values) {
  int32_t Best = -1;
  double BestDist = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < Values.size(); ++i) {
    const double D = std::abs(Values[i] - x);
    if (Best < 0 || D < BestDist) {
      Best = static_cast<int32_t>(i);
      BestDist = D;
    }
  }
  return Best;
}

int32_t IndexOfNearestArrayValue(int32_t x, std::span<const int32_t> Values) {
  int32_t Best = -1;
  int64_t BestDist = 0;
  for (std::size_t i = 0; i < Values.size(); ++i) {
    const int64_t D = std::abs(int64_t{Values[i]} - x);
    if (Best < 0 || D < BestDist) {
      Best = static_cast<int32_t>(i);
      BestDist = D;
    }
  }
  return Best;
}

} // namespace zef
