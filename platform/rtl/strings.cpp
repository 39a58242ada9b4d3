#include "rtl/strings.h"

#include <algorithm>
#include <array>

namespace zef {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Code points of the bytes 0x80..0x9F in Windows-1252 (0 where the code page has none).
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool IsAsciiSpaceOrControl(char C) { return static_cast<unsigned char>(C) <= 32; }

char AsciiLower(char C) { return (C >= 'A' && C <= 'Z') ? static_cast<char>(C + 32) : C; }

} // namespace

// ---- UTF-8 -------------------------------------------------------------------------------

void AppendUtf8(std::string& S, char32_t C) {
  if (C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) C = kReplacement;
  if (C < 0x80) {
    S += static_cast<char>(C);
  } else if (C < 0x800) {
    S += static_cast<char>(0xC0 | (C >> 6));
    S += static_cast<char>(0x80 | (C & 0x3F));
  } else if (C < 0x10000) {
    S += static_cast<char>(0xE0 | (C >> 12));
    S += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    S += static_cast<char>(0x80 | (C & 0x3F));
  } else {
    S += static_cast<char>(0xF0 | (C >> 18));
    S += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
    S += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    S += static_cast<char>(0x80 | (C & 0x3F));
  }
}

std::string Utf8Encode(char32_t C) {
  std::string S;
  AppendUtf8(S, C);
  return S;
}

char32_t NextCodePoint(std::string_view S, std::size_t& I) {
  const auto Byte = [&](std::size_t K) { return static_cast<unsigned char>(S[K]); };
  const unsigned char B0 = Byte(I);
  if (B0 < 0x80) {
    ++I;
    return B0;
  }
  int Len;
  char32_t C;
  char32_t MinValue;
  if ((B0 & 0xE0) == 0xC0) { Len = 2; C = B0 & 0x1F; MinValue = 0x80; }
  else if ((B0 & 0xF0) == 0xE0) { Len = 3; C = B0 & 0x0F; MinValue = 0x800; }
  else if ((B0 & 0xF8) == 0xF0) { Len = 4; C = B0 & 0x07; MinValue = 0x10000; }
  else { ++I; return kReplacement; }
  if (I + Len > S.size()) { ++I; return kReplacement; }
  for (int K = 1; K < Len; ++K) {
    const unsigned char B = Byte(I + K);
    if ((B & 0xC0) != 0x80) { ++I; return kReplacement; }
    C = (C << 6) | (B & 0x3F);
  }
  if (C < MinValue || C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) { ++I; return kReplacement; }
  I += Len;
  return C;
}

std::u32string Utf8ToUtf32(std::string_view S) {
  std::u32string R;
  R.reserve(S.size());
  for (std::size_t I = 0; I < S.size();) R += NextCodePoint(S, I);
  return R;
}

std::string Utf32ToUtf8(std::u32string_view S) {
  std::string R;
  R.reserve(S.size());
  for (char32_t C : S) AppendUtf8(R, C);
  return R;
}

std::size_t Utf8Length(std::string_view S) {
  std::size_t N = 0;
  for (std::size_t I = 0; I < S.size(); ++N) NextCodePoint(S, I);
  return N;
}

bool IsValidUtf8(std::string_view S) {
  for (std::size_t I = 0; I < S.size();) {
    const std::size_t Start = I;
    if (NextCodePoint(S, I) == kReplacement) {
      // A literal U+FFFD is valid; a decoding failure advances by one byte only.
      if (I - Start != 3 || S.substr(Start, 3) != "\xEF\xBF\xBD") return false;
    }
  }
  return true;
}

// ---- Single-byte code pages ---------------------------------------------------------------

char32_t ByteToCodePoint(uint8_t B, TCodePage CodePage) {
  if (CodePage == cpWindows1252 && B >= 0x80 && B <= 0x9F) {
    const char32_t C = kCp1252High[B - 0x80];
    return C ? C : B;  // the five unassigned bytes map to the C1 controls, as round trips need
  }
  return B;
}

uint8_t CodePointToByte(char32_t C, TCodePage CodePage) {
  if (CodePage == cpWindows1252) {
    if (C < 0x80 || (C >= 0xA0 && C <= 0xFF)) return static_cast<uint8_t>(C);
    for (std::size_t K = 0; K < kCp1252High.size(); ++K)
      if (kCp1252High[K] == C || (kCp1252High[K] == 0 && C == 0x80 + K))
        return static_cast<uint8_t>(0x80 + K);
    return '?';
  }
  return C <= 0xFF ? static_cast<uint8_t>(C) : '?';
}

std::string ToUtf8(std::string_view Bytes, TCodePage CodePage) {
  if (CodePage == cpUtf8) return std::string(Bytes);
  std::string R;
  R.reserve(Bytes.size() + Bytes.size() / 8);
  for (char B : Bytes) {
    const auto U = static_cast<uint8_t>(B);
    if (U < 0x80) R += B;
    else AppendUtf8(R, ByteToCodePoint(U, CodePage));
  }
  return R;
}

std::string FromUtf8(std::string_view Text, TCodePage CodePage) {
  if (CodePage == cpUtf8) return std::string(Text);
  std::string R;
  R.reserve(Text.size());
  for (std::size_t I = 0; I < Text.size();) {
    const auto U = static_cast<unsigned char>(Text[I]);
    if (U < 0x80) {
      R += Text[I++];
      continue;
    }
    R += static_cast<char>(CodePointToByte(NextCodePoint(Text, I), CodePage));
  }
  return R;
}

std::string Latin1ToUtf8(std::string_view Bytes) { return ToUtf8(Bytes, cpLatin1); }
std::string Utf8ToLatin1(std::string_view Text) { return FromUtf8(Text, cpLatin1); }
std::string Cp1252ToUtf8(std::string_view Bytes) { return ToUtf8(Bytes, cpWindows1252); }
std::string Utf8ToCp1252(std::string_view Text) { return FromUtf8(Text, cpWindows1252); }

// ---- The 1-based classic string routines --------------------------------------------------

std::size_t Pos(std::string_view SubStr, std::string_view S, std::size_t Offset) {
  if (SubStr.empty() || Offset < 1 || Offset > S.size()) return 0;
  const std::size_t P = S.find(SubStr, Offset - 1);
  return P == std::string_view::npos ? 0 : P + 1;
}

std::string Copy(std::string_view S, std::ptrdiff_t Index, std::ptrdiff_t Count) {
  const auto Len = static_cast<std::ptrdiff_t>(S.size());
  if (Index < 1) Index = 1;
  if (Count <= 0 || Index > Len) return {};
  Count = std::min(Count, Len - Index + 1);
  return std::string(S.substr(static_cast<std::size_t>(Index - 1), static_cast<std::size_t>(Count)));
}

void Delete(std::string& S, std::ptrdiff_t Index, std::ptrdiff_t Count) {
  const auto Len = static_cast<std::ptrdiff_t>(S.size());
  if (Index < 1 || Index > Len || Count <= 0) return;
  Count = std::min(Count, Len - Index + 1);
  S.erase(static_cast<std::size_t>(Index - 1), static_cast<std::size_t>(Count));
}

void Insert(std::string_view Source, std::string& S, std::ptrdiff_t Index) {
  const auto Len = static_cast<std::ptrdiff_t>(S.size());
  Index = std::clamp<std::ptrdiff_t>(Index, 1, Len + 1);
  S.insert(static_cast<std::size_t>(Index - 1), Source);
}

std::string StringOfChar(char C, std::ptrdiff_t Count) {
  return Count > 0 ? std::string(static_cast<std::size_t>(Count), C) : std::string();
}

std::string TrimLeft(std::string_view S) {
  std::size_t B = 0;
  while (B < S.size() && IsAsciiSpaceOrControl(S[B])) ++B;
  return std::string(S.substr(B));
}

std::string TrimRight(std::string_view S) {
  std::size_t E = S.size();
  while (E > 0 && IsAsciiSpaceOrControl(S[E - 1])) --E;
  return std::string(S.substr(0, E));
}

std::string Trim(std::string_view S) {
  std::size_t B = 0;
  std::size_t E = S.size();
  while (B < E && IsAsciiSpaceOrControl(S[B])) ++B;
  while (E > B && IsAsciiSpaceOrControl(S[E - 1])) --E;
  return std::string(S.substr(B, E - B));
}

char UpCase(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 32) : C; }

std::string UpperCase(std::string_view S) {
  std::string R(S);
  for (char& C : R) C = UpCase(C);
  return R;
}

std::string LowerCase(std::string_view S) {
  std::string R(S);
  for (char& C : R) C = AsciiLower(C);
  return R;
}

int CompareText(std::string_view A, std::string_view B) {
  const std::size_t N = std::min(A.size(), B.size());
  for (std::size_t I = 0; I < N; ++I) {
    // Upper case, as the classic routine compares: "_" sorts after the letters.
    const auto CA = static_cast<unsigned char>(UpCase(A[I]));
    const auto CB = static_cast<unsigned char>(UpCase(B[I]));
    if (CA != CB) return CA < CB ? -1 : 1;
  }
  return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}

bool SameText(std::string_view A, std::string_view B) {
  return A.size() == B.size() && CompareText(A, B) == 0;
}

int CompareStr(std::string_view A, std::string_view B) {
  const int C = A.compare(B);
  return C < 0 ? -1 : (C > 0 ? 1 : 0);
}

char32_t AnsiUpperChar(char32_t C) {
  if (C >= 'a' && C <= 'z') return C - 32;
  if (C >= 0xE0 && C <= 0xFE && C != 0xF7) return C - 32;
  if (C == 0xFF) return 0x178;
  if (C == 0x161 || C == 0x17E) return C - 1;  // s and z with caron
  if (C == 0x153) return 0x152;                // oe ligature
  return C;
}

char32_t AnsiLowerChar(char32_t C) {
  if (C >= 'A' && C <= 'Z') return C + 32;
  if (C >= 0xC0 && C <= 0xDE && C != 0xD7) return C + 32;
  if (C == 0x178) return 0xFF;
  if (C == 0x160 || C == 0x17D) return C + 1;
  if (C == 0x152) return 0x153;
  return C;
}

namespace {

template <class Map>
std::string MapCodePoints(std::string_view S, Map F) {
  std::string R;
  R.reserve(S.size());
  for (std::size_t I = 0; I < S.size();) {
    const auto U = static_cast<unsigned char>(S[I]);
    if (U < 0x80) {
      R += static_cast<char>(F(U));
      ++I;
    } else {
      const std::size_t Start = I;
      const char32_t C = NextCodePoint(S, I);
      const char32_t M = F(C);
      if (M == C) R.append(S.substr(Start, I - Start));  // keep the bytes, even malformed ones
      else AppendUtf8(R, M);
    }
  }
  return R;
}

} // namespace

std::string AnsiUpperCase(std::string_view S) { return MapCodePoints(S, AnsiUpperChar); }
std::string AnsiLowerCase(std::string_view S) { return MapCodePoints(S, AnsiLowerChar); }

int AnsiCompareText(std::string_view A, std::string_view B) {
  std::size_t I = 0;
  std::size_t J = 0;
  while (I < A.size() && J < B.size()) {
    const char32_t CA = AnsiLowerChar(NextCodePoint(A, I));
    const char32_t CB = AnsiLowerChar(NextCodePoint(B, J));
    if (CA != CB) return CA < CB ? -1 : 1;
  }
  if (I < A.size()) return 1;
  if (J < B.size()) return -1;
  return 0;
}

bool AnsiSameText(std::string_view A, std::string_view B) { return AnsiCompareText(A, B) == 0; }

int AnsiCompareStr(std::string_view A, std::string_view B) { return CompareStr(A, B); }

std::string StringReplace(std::string_view S, std::string_view OldPattern,
                          std::string_view NewPattern, unsigned Flags) {
  if (OldPattern.empty()) return std::string(S);
  const bool IgnoreCase = Flags & rfIgnoreCase;
  const std::string Hay = IgnoreCase ? LowerCase(S) : std::string(S);
  const std::string Needle = IgnoreCase ? LowerCase(OldPattern) : std::string(OldPattern);
  std::string R;
  std::size_t From = 0;
  while (true) {
    const std::size_t P = Hay.find(Needle, From);
    if (P == std::string::npos) break;
    R.append(S.substr(From, P - From));
    R.append(NewPattern);
    From = P + Needle.size();
    if (!(Flags & rfReplaceAll)) break;
  }
  R.append(S.substr(From));
  return R;
}

bool StartsText(std::string_view SubText, std::string_view Text) {
  return SubText.size() <= Text.size() && SameText(SubText, Text.substr(0, SubText.size()));
}

bool EndsText(std::string_view SubText, std::string_view Text) {
  return SubText.size() <= Text.size() &&
         SameText(SubText, Text.substr(Text.size() - SubText.size()));
}

std::vector<std::string> SplitString(std::string_view S, char Delimiter) {
  std::vector<std::string> R;
  std::size_t From = 0;
  while (true) {
    const std::size_t P = S.find(Delimiter, From);
    if (P == std::string_view::npos) {
      R.emplace_back(S.substr(From));
      return R;
    }
    R.emplace_back(S.substr(From, P - From));
    From = P + 1;
  }
}

} // namespace zef
