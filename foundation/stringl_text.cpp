// ZEF_stringl: the text utilities.
#include "ZEF_stringl.h"

#include <algorithm>

#include "rtl/strings.h"

namespace zef {

namespace {

bool IsContinuationByte(char C) { return (static_cast<unsigned char>(C) & 0xC0) == 0x80; }

// Lower-casing for case-insensitive searches; it keeps every byte position.
std::string Lowered(std::string_view S, bool IgnoreCase) {
  return IgnoreCase ? AnsiLowerCase(S) : std::string(S);
}

std::bitset<256> MakeWordSeps() {
  std::bitset<256> B;
  for (unsigned char C : std::string_view("\0\n\r \"#%'()*+,-./:;<=>[\\]{}", 27)) B.set(C);
  return B;
}

bool IsWordSep(char C) { return WordSeps.test(static_cast<unsigned char>(C)); }

// The first N code points of S.
std::string FirstChars(std::string_view S, std::size_t N) {
  std::size_t I = 0;
  for (std::size_t K = 0; K < N && I < S.size(); ++K) NextCodePoint(S, I);
  return std::string(S.substr(0, I));
}

std::string Blanks(std::size_t N) { return std::string(N, ' '); }

template <class F>
std::string MapChars(std::string_view S, F Map) {
  std::string R;
  R.reserve(S.size());
  for (std::size_t I = 0; I < S.size();) Map(R, NextCodePoint(S, I));
  return R;
}

// The set of codes 0..255 named by CharSet, with its macros expanded.
std::bitset<256> CharSetBits(std::string_view CharSet) {
  static const std::pair<std::string_view, std::string> kMacros[] = {
      {"//dig", "0123456789"},
      {"//lc", "abcdefghijklmnopqrstuvwxyz"},
      {"//uc", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
      {"//31dwn", [] { std::string S; for (int C = 0; C < 32; ++C) S += static_cast<char>(C); return S; }()},
      {"//128up", [] { std::string S; for (char32_t C = 128; C < 256; ++C) AppendUtf8(S, C); return S; }()},
  };
  // Every expansion removes a "//" and brings no "/", so the loop ends.
  std::string Set(CharSet);
  for (bool Found = true; Found;) {
    Found = false;
    for (const auto& [Macro, Expansion] : kMacros) {
      const std::size_t P = Set.find(Macro);
      if (P == std::string::npos) continue;
      Set.replace(P, Macro.size(), Expansion);
      Found = true;
    }
  }
  std::bitset<256> B;
  for (std::size_t I = 0; I < Set.size();) {
    const char32_t C = NextCodePoint(Set, I);
    if (C < 256) B.set(C);
  }
  return B;
}

} // namespace

const std::bitset<256> WordSeps = MakeWordSeps();

// ---- Search by occurrence ------------------------------------------------------------------

std::size_t NumberedPos(std::string_view Sub, std::string_view S, std::ptrdiff_t StartPos,
                        int32_t Num, bool IgnoreCase) {
  if (Sub.empty() || Num < 1) return 0;
  const std::string Hay = Lowered(S, IgnoreCase);
  const std::string Needle = Lowered(Sub, IgnoreCase);
  std::size_t From = static_cast<std::size_t>(std::max<std::ptrdiff_t>(StartPos, 1)) - 1;
  for (int32_t K = 1;; ++K) {
    const std::size_t P = Hay.find(Needle, From);
    if (P == std::string::npos) return 0;
    if (K == Num) return P + 1;
    From = P + Needle.size();
  }
}

std::size_t NumberedPosBw(std::string_view Sub, std::string_view S, std::ptrdiff_t StartPos,
                          int32_t Num, bool IgnoreCase) {
  if (Sub.empty() || Num < 1 || StartPos < 1) return 0;
  const std::string Hay = Lowered(S, IgnoreCase);
  const std::string Needle = Lowered(Sub, IgnoreCase);
  // Occurrences must end at or before Limit (a 1-based position).
  std::size_t Limit = std::min(static_cast<std::size_t>(StartPos), Hay.size());
  for (int32_t K = 1;; ++K) {
    if (Limit < Needle.size()) return 0;
    const std::size_t P = Hay.rfind(Needle, Limit - Needle.size());
    if (P == std::string::npos) return 0;
    if (K == Num) return P + 1;
    Limit = P;
  }
}

std::size_t PosLast(std::string_view Sub, std::string_view S) {
  if (Sub.empty()) return 0;
  const std::size_t P = S.rfind(Sub);
  return P == std::string_view::npos ? 0 : P + 1;
}

namespace {
template <class Range>
int32_t IndexOf(std::string_view S, bool MatchCase, const Range& Values) {
  int32_t I = 0;
  for (const auto& V : Values) {
    ++I;
    if (MatchCase ? S == std::string_view(V) : AnsiSameText(S, V)) return I;
  }
  return 0;
}
} // namespace

int32_t StringIx(std::string_view S, std::initializer_list<std::string_view> Values) {
  return IndexOf(S, true, Values);
}
int32_t StringIx(std::string_view S, std::span<const std::string> Values) {
  return IndexOf(S, true, Values);
}
int32_t StringIx(std::string_view S, bool MatchCase, std::initializer_list<std::string_view> Values) {
  return IndexOf(S, MatchCase, Values);
}
int32_t StringIx(std::string_view S, bool MatchCase, std::span<const std::string> Values) {
  return IndexOf(S, MatchCase, Values);
}

int32_t CountStringInString(std::string_view Sub, std::string_view S, bool MatchCase) {
  if (Sub.empty()) return 0;
  const std::string Hay = Lowered(S, !MatchCase);
  const std::string Needle = Lowered(Sub, !MatchCase);
  int32_t N = 0;
  for (std::size_t P = Hay.find(Needle); P != std::string::npos; P = Hay.find(Needle, P + Needle.size()))
    ++N;
  return N;
}

int32_t CountCharInString(char32_t C, std::string_view S, bool MatchCase) {
  const char32_t Wanted = MatchCase ? C : AnsiLowerChar(C);
  int32_t N = 0;
  for (std::size_t I = 0; I < S.size();) {
    const char32_t X = NextCodePoint(S, I);
    if ((MatchCase ? X : AnsiLowerChar(X)) == Wanted) ++N;
  }
  return N;
}

std::size_t FindFirstNonBlank(std::string_view S) {
  const std::size_t P = S.find_first_not_of(' ');
  return P == std::string_view::npos ? 0 : P + 1;
}

std::size_t FindFirstDigit(std::string_view S) {
  const std::size_t P = S.find_first_of("0123456789");
  return P == std::string_view::npos ? 0 : P + 1;
}

bool TestAllChar(std::string_view S, char32_t C) {
  if (S.empty()) return false;
  for (std::size_t I = 0; I < S.size();)
    if (NextCodePoint(S, I) != C) return false;
  return true;
}

bool StringContains(std::string_view S, std::string_view CharSet) {
  const std::bitset<256> Set = CharSetBits(CharSet);
  for (std::size_t I = 0; I < S.size();) {
    const char32_t C = NextCodePoint(S, I);
    if (C < 256 && Set.test(C)) return true;
  }
  return false;
}

bool StringContainsOtherThan(std::string_view S, std::string_view CharSet) {
  const std::bitset<256> Set = CharSetBits(CharSet);
  for (std::size_t I = 0; I < S.size();) {
    const char32_t C = NextCodePoint(S, I);
    if (C < 256 && !Set.test(C)) return true;
  }
  return false;
}

// ---- Trimming, padding, editing ------------------------------------------------------------

std::string StripLTBlanks(std::string_view S) {
  const std::size_t First = S.find_first_not_of(' ');
  if (First == std::string_view::npos) return {};
  return std::string(S.substr(First, S.find_last_not_of(' ') - First + 1));
}

std::string StripLeadingBlanks(std::string_view S) {
  const std::size_t First = S.find_first_not_of(' ');
  if (First == std::string_view::npos) return S.empty() ? "" : " ";
  return std::string(S.substr(First));
}

std::string StripTrailingBlanks(std::string_view S) {
  const std::size_t Last = S.find_last_not_of(' ');
  if (Last == std::string_view::npos) return S.empty() ? "" : " ";
  return std::string(S.substr(0, Last + 1));
}

std::string StripLeadingChars(char32_t C, std::string_view S) {
  const std::string E = Utf8Encode(C);
  while (S.starts_with(E)) S.remove_prefix(E.size());
  return std::string(S);
}

std::string StripTrailingChars(char32_t C, std::string_view S) {
  const std::string E = Utf8Encode(C);
  std::size_t FirstLen = 0;
  if (!S.empty()) NextCodePoint(S, FirstLen);
  while (S.size() > FirstLen && S.ends_with(E)) S.remove_suffix(E.size());
  return std::string(S);
}

std::string EnsureTrailingBkSlash(std::string_view S) { return EnsureTrailingChar('\\', S); }

std::string EnsureTrailingChar(char32_t C, std::string_view S) {
  const std::string E = Utf8Encode(C);
  if (S.empty() || S.ends_with(E)) return std::string(S);
  return std::string(S) + E;
}

std::string EnsureLeadingChar(char32_t C, std::string_view S) {
  const std::string E = Utf8Encode(C);
  if (S.empty() || S.starts_with(E)) return std::string(S);
  return E + std::string(S);
}

std::string LeftString(std::string_view S, uint8_t N) {
  const std::size_t Len = Utf8Length(S);
  if (Len < N) return std::string(S) + Blanks(N - Len);
  return FirstChars(S, N);
}

std::string RightString(std::string_view S, int32_t N) {
  const std::size_t Want = static_cast<std::size_t>(std::max(N, 0));
  const std::size_t Len = Utf8Length(S);
  if (Len < Want) return Blanks(Want - Len) + std::string(S);
  return FirstChars(S, Want);
}

std::string CenterString(std::string_view S, int32_t N) {
  const std::size_t Want = static_cast<std::size_t>(std::max(N, 0));
  const std::size_t Len = Utf8Length(S);
  if (Len >= Want) return FirstChars(S, Want);
  const std::size_t Before = (Want - Len) / 2;
  return Blanks(Before) + std::string(S) + Blanks(Want - Len - Before);
}

std::string AbbrevString(std::string_view S, int32_t N) {
  if (static_cast<int64_t>(Utf8Length(S)) <= N) return std::string(S);
  return FirstChars(S, static_cast<std::size_t>(std::max(N - 2, 0))) + "..";
}

std::string SortableNumericString(std::string_view S, char32_t C, int32_t N) {
  const std::string T = StripLTBlanks(S);
  const std::u32string U = Utf8ToUtf32(T);
  const std::size_t P = U.find(C);
  const int64_t Column = P == std::u32string::npos ? 0 : static_cast<int64_t>(P) + 1;
  const int64_t Shift = Column < N ? N - Column : 0;
  return Blanks(static_cast<std::size_t>(Shift)) + T;
}

std::string ReplaceCharInString(std::string_view S, char32_t Old, char32_t New) {
  return MapChars(S, [&](std::string& R, char32_t C) { AppendUtf8(R, C == Old ? New : C); });
}

std::string ReplaceStringInString(std::string_view S, std::string_view Old, std::string_view New,
                                  bool IgnoreCase) {
  if (Old.empty()) return std::string(S);
  const std::string Hay = Lowered(S, IgnoreCase);
  const std::string Needle = Lowered(Old, IgnoreCase);
  std::string R;
  std::size_t From = 0;
  for (std::size_t P = Hay.find(Needle); P != std::string::npos; P = Hay.find(Needle, From)) {
    R.append(S.substr(From, P - From));
    R.append(New);
    From = P + Needle.size();
  }
  R.append(S.substr(From));
  return R;
}

std::string RemoveCharInString(std::string_view S, char32_t C) {
  return MapChars(S, [&](std::string& R, char32_t X) {
    if (X != C) AppendUtf8(R, X);
  });
}

std::string RemoveMultiChars(std::string_view S, char32_t C) {
  bool Previous = false;
  return MapChars(S, [&](std::string& R, char32_t X) {
    if (X != C || !Previous) AppendUtf8(R, X);
    Previous = X == C;
  });
}

std::string RemoveControlChars(std::string_view S) {
  std::string R;
  for (char C : S)
    if (static_cast<unsigned char>(C) >= 32) R += C;
  return R;
}

std::string ReverseString(std::string_view S) {
  std::u32string U = Utf8ToUtf32(S);
  std::reverse(U.begin(), U.end());
  return Utf32ToUtf8(U);
}

std::string ReduceStringToAZ09(std::string_view S) {
  return MapChars(S, [](std::string& R, char32_t C) { R += IsDigitLetter(C) ? static_cast<char>(C) : '_'; });
}

std::string ReduceStringToFN83CompliantChars(std::string_view S) {
  static constexpr std::string_view kAllowed = "!#$%&'()-.@^_`{}~";
  return MapChars(S, [](std::string& R, char32_t C) {
    const bool Ok = C < 127 && (IsDigitLetter(C) || kAllowed.find(static_cast<char>(C)) !=
                                                        std::string_view::npos);
    R += Ok ? static_cast<char>(C) : '_';
  });
}

// ---- Splitting and tokens ------------------------------------------------------------------

void SplitString(std::string_view S, std::string_view Delimiter, bool Trim, std::string& Before,
                 std::string& After) {
  Before.clear();
  After.clear();
  const std::size_t P = Delimiter.empty() ? std::string_view::npos : S.find(Delimiter);
  if (P == std::string_view::npos) return;
  Before = S.substr(0, P);
  After = S.substr(P + Delimiter.size());
  if (Trim) {
    Before = StripLTBlanks(Before);
    After = StripLTBlanks(After);
  }
}

std::string ExtractBeforeTrigger(std::string_view S, std::string_view Trigger, bool Trim) {
  std::string Before, After;
  SplitString(S, Trigger, Trim, Before, After);
  return Before;
}

std::string ExtractAfterTrigger(std::string_view S, std::string_view Trigger, bool Trim) {
  std::string Before, After;
  SplitString(S, Trigger, Trim, Before, After);
  return After;
}

std::string ExtractSubString(std::string_view S, int32_t Ix, std::string_view Delimiter) {
  if (Ix < 0) return {};
  if (Delimiter.empty()) return Ix == 0 ? std::string(S) : std::string();
  const std::string Hay = AnsiLowerCase(S);
  const std::string Delim = AnsiLowerCase(Delimiter);
  std::size_t Start = 0;
  for (int32_t K = 0; K < Ix; ++K) {
    const std::size_t P = Hay.find(Delim, Start);
    if (P == std::string::npos) return {};
    Start = P + Delim.size();
  }
  const std::size_t End = Hay.find(Delim, Start);
  return std::string(S.substr(Start, End == std::string::npos ? std::string::npos : End - Start));
}

namespace {
// Splits S at the occurrences of Delimiter that IsSplit accepts (P is the 0-based position).
template <class Accept>
int32_t SplitTokens(std::string_view S, std::string_view Delimiter, TOpenStringArray& Tokens,
                    Accept IsSplit) {
  Tokens.clear();
  std::size_t Start = 0;
  if (!Delimiter.empty()) {
    std::size_t From = 0;
    while (static_cast<int32_t>(Tokens.size()) < MaxTokens - 1) {
      const std::size_t P = S.find(Delimiter, From);
      if (P == std::string_view::npos) break;
      From = P + Delimiter.size();
      if (!IsSplit(P)) continue;
      Tokens.emplace_back(S.substr(Start, P - Start));
      Start = From;
    }
  }
  Tokens.emplace_back(S.substr(Start));
  return static_cast<int32_t>(Tokens.size());
}
} // namespace

int32_t Tokenize(std::string_view S, std::string_view Delimiter, TOpenStringArray& Tokens) {
  return SplitTokens(S, Delimiter, Tokens, [](std::size_t) { return true; });
}

int32_t Tokenize(std::string_view S, std::string_view Delimiter, char32_t Escape,
                 TOpenStringArray& Tokens) {
  const std::string E = Utf8Encode(Escape);
  const int32_t N = SplitTokens(S, Delimiter, Tokens, [&](std::size_t P) {
    return !(P >= E.size() && S.substr(P - E.size(), E.size()) == E);
  });
  const std::string EscapedDelimiter = E + std::string(Delimiter);
  for (std::string& T : Tokens) {
    T = ReplaceStringInString(T, E + E, E, false);
    if (!Delimiter.empty()) T = ReplaceStringInString(T, EscapedDelimiter, Delimiter, false);
  }
  return N;
}

TCSVDelimiters DetectCSVDelimiter(std::string_view Line) {
  TCSVDelimiters Best = csvUnknown;
  std::ptrdiff_t BestCount = 0;
  for (int D = csvBlank; D <= csvTab; ++D) {
    const std::ptrdiff_t N = std::count(Line.begin(), Line.end(), CSVDELIMITERS[D]);
    if (N > BestCount) {
      BestCount = N;
      Best = static_cast<TCSVDelimiters>(D);
    }
  }
  return Best;
}

std::string ReadLnString(std::string_view S, std::size_t& Pos, bool& EndOfText, int32_t EOLMode) {
  EndOfText = false;
  if (Pos < 1) Pos = 1;
  std::string Line;
  while (true) {
    if (Pos > S.size()) {
      EndOfText = true;
      return Line;
    }
    const char C = S[Pos - 1];
    const char Prev = Pos >= 2 ? S[Pos - 2] : '\0';
    ++Pos;
    bool End = false;
    switch (EOLMode) {
      case 1: End = C == '\r'; break;
      case 2: End = C == '\r' || C == '\n'; break;
      case 3: End = C == '\r' && Prev == '\n'; break;
      case 4: End = C == '\n' && Prev == '\r'; break;
      default: End = C == '\n'; break;
    }
    if (End) return Line;
    if (static_cast<unsigned char>(C) >= 32) Line += C;
  }
}

void TextLineCoords(std::string_view S, std::size_t Pos, int32_t& Line, int32_t& Column) {
  Pos = std::clamp<std::size_t>(Pos, 1, S.size() + 1);
  Line = 1;
  Column = 1;
  for (std::size_t I = 0; I + 1 < Pos; ++I) {
    if (S[I] == '\n') {
      ++Line;
      Column = 1;
    } else if (!IsContinuationByte(S[I])) {
      ++Column;
    }
  }
}

// ---- Words, case and character classes -----------------------------------------------------

int32_t CountWords(std::string_view S) {
  int32_t Words = 0;
  int32_t Run = 0;
  for (char C : S) {
    if (IsWordSep(C)) {
      if (Run >= 2) ++Words;
      Run = 0;
    } else if (!IsContinuationByte(C)) {
      ++Run;
    }
  }
  return Words;
}

std::string ExtractWordFromString(std::string_view S, std::size_t Pos) {
  std::size_t First = 0, Last = 0;
  return ExtractWordFromString(S, Pos, First, Last);
}

std::string ExtractWordFromString(std::string_view S, std::size_t Pos, std::size_t& First,
                                  std::size_t& Last) {
  First = Last = 0;
  if (Pos < 1 || Pos > S.size()) return {};
  if (IsWordSep(S[Pos - 1])) {
    First = Last = Pos;
    return std::string(1, S[Pos - 1]);
  }
  First = Pos;
  while (First > 1 && !IsWordSep(S[First - 2])) --First;
  Last = Pos;
  while (Last < S.size() && !IsWordSep(S[Last])) ++Last;
  return std::string(S.substr(First - 1, Last - First + 1));
}

std::string CapitalizeString(std::string_view S) {
  bool InWord = false;
  return MapChars(S, [&](std::string& R, char32_t C) {
    const bool Letter = IsLetter(C) || C > 127;
    if (!Letter && !IsDigit(C)) {
      InWord = false;
    } else if (!InWord) {
      InWord = true;
      if (Letter) C = AnsiUpperChar(C);
    }
    AppendUtf8(R, C);
  });
}

bool IsAbbreviation(std::string_view S) {
  // A capital directly followed by a lower-case letter starts a word ("Air" in "USAir"), so
  // it does not belong to the run of capitals.
  std::size_t Longest = 0, Run = 0, Others = 0;
  for (std::size_t I = 0; I < S.size(); ++I) {
    const char C = S[I];
    const bool Capital = C >= 'A' && C <= 'Z';
    const bool StartsWord = Capital && I + 1 < S.size() && S[I + 1] >= 'a' && S[I + 1] <= 'z';
    if (Capital && !StartsWord) {
      Longest = std::max(Longest, ++Run);
    } else {
      Run = 0;
    }
    if ((C >= 'a' && C <= 'z') || (C >= '0' && C <= '9')) ++Others;
  }
  return Longest >= 2 && Others < Longest;
}

std::string ChangeCase(std::string_view S) {
  return MapChars(S, [](std::string& R, char32_t C) {
    const char32_t L = AnsiLowerChar(C);
    AppendUtf8(R, L != C ? L : AnsiUpperChar(C));
  });
}

bool EqualAnsiStrings(std::string_view A, std::string_view B) { return AnsiSameText(A, B); }

std::string ExpandDiphthongs(std::string_view S) {
  const std::u32string U = Utf8ToUtf32(S);
  std::string R;
  for (std::size_t I = 0; I < U.size(); ++I) {
    const char32_t C = U[I];
    const bool LowerNext = I + 1 < U.size() && U[I + 1] >= 'a' && U[I + 1] <= 'z';
    switch (C) {
      case 0xE4: R += "ae"; break;
      case 0xF6: R += "oe"; break;
      case 0xFC: R += "ue"; break;
      case 0xDF: R += "ss"; break;
      case 0xB5: R += "u"; break;
      case 0xC4: R += LowerNext ? "Ae" : "AE"; break;
      case 0xD6: R += LowerNext ? "Oe" : "OE"; break;
      case 0xDC: R += LowerNext ? "Ue" : "UE"; break;
      default: AppendUtf8(R, C); break;
    }
  }
  return R;
}

bool IsDigit(char32_t C) { return C >= '0' && C <= '9'; }
bool IsLetter(char32_t C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); }
bool IsDigitLetter(char32_t C) { return IsDigit(C) || IsLetter(C); }
bool IsHexChar(char32_t C) { return IsDigit(C) || (C >= 'A' && C <= 'F') || (C >= 'a' && C <= 'f'); }
bool IsUmlaut(char32_t C) {
  return C == 0xE4 || C == 0xF6 || C == 0xFC || C == 0xC4 || C == 0xD6 || C == 0xDC || C == 0xDF;
}

// ---- Scrambler -----------------------------------------------------------------------------

namespace {

struct TScrambleTables {
  std::array<uint8_t, 256> Forward{};
  std::array<uint8_t, 256> Inverse{};
};

TScrambleTables& ScrambleTables() {
  static TScrambleTables Tables = [] {
    TScrambleTables T;
    for (int I = 0; I < 256; ++I) T.Forward[I] = T.Inverse[I] = static_cast<uint8_t>(I);
    return T;
  }();
  return Tables;
}

// Runs InitScramble with the default seed when the library is loaded.
const bool kScrambleReady = (InitScramble(DefaultScrambleSeed), true);

std::string MapCodes(std::string_view S, const std::array<uint8_t, 256>& Table) {
  return MapChars(S, [&](std::string& R, char32_t C) { AppendUtf8(R, C < 256 ? Table[C] : C); });
}

} // namespace

void InitScramble(uint32_t Seed) {
  // A 64-bit linear congruential generator (Knuth's MMIX constants); the high bits are used.
  uint64_t State = Seed;
  auto Next = [&State] {
    State = State * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(State >> 33);
  };
  TScrambleTables& T = ScrambleTables();
  std::array<bool, 256> Used{};
  T.Forward[0] = T.Inverse[0] = 0;
  for (int K = 1; K <= 255; ++K) {
    uint32_t R = 0;
    do {
      R = Next() % 255;
    } while (Used[R + 1]);
    Used[R + 1] = true;
    T.Forward[K] = static_cast<uint8_t>(R + 1);
    T.Inverse[R + 1] = static_cast<uint8_t>(K);
  }
}

std::string Scramble(std::string_view S) {
  (void)kScrambleReady;
  return MapCodes(S, ScrambleTables().Forward);
}

std::string DeScramble(std::string_view S) {
  (void)kScrambleReady;
  return MapCodes(S, ScrambleTables().Inverse);
}

// ---- Quoted names, parameters, UU code -----------------------------------------------------

void ParseQuotedName(char32_t C, char32_t Quote, std::string& Name, TQuotedStrState& State) {
  switch (State) {
    case vsStart:
      if (C == Quote) {
        State = vs1stQuote;
      } else if (C != ' ') {
        AppendUtf8(Name, C);
        State = vsNormal;
      }
      break;
    case vs1stQuote:
      if (C == Quote)
        State = vsQuote;
      else
        AppendUtf8(Name, C);
      break;
    case vsQuote:
      if (C == Quote) {
        AppendUtf8(Name, Quote);
        State = vs1stQuote;
      } else {
        State = vsEnd;
      }
      break;
    case vsNormal:
      if (C == ' ' || C == Quote)
        State = vsEnd;
      else
        AppendUtf8(Name, C);
      break;
    case vsEnd: break;
  }
}

bool ExtractParam(std::string_view S, int32_t Ix, char32_t Delimiter, char32_t Quote,
                  std::string& Param) {
  Param.clear();
  if (Ix < 0) return false;
  const std::u32string U = Utf8ToUtf32(S);
  int32_t Field = 0;
  bool InQuotes = false;
  std::u32string Current;
  for (std::size_t I = 0; I < U.size(); ++I) {
    const char32_t C = U[I];
    if (InQuotes) {
      if (C != Quote) {
        Current += C;
      } else if (I + 1 < U.size() && U[I + 1] == Quote) {
        Current += Quote;
        ++I;
      } else {
        InQuotes = false;
      }
    } else if (C == Quote) {
      InQuotes = true;
    } else if (C == Delimiter) {
      if (Field == Ix) break;
      ++Field;
      Current.clear();
    } else {
      Current += C;
    }
  }
  if (Field != Ix) return false;
  Param = Utf32ToUtf8(Current);
  return true;
}

std::string UUEncodeStr(std::string_view S) {
  auto Code = [](unsigned V) { return static_cast<char>(V == 0 ? '`' : V + 32); };
  std::string R;
  for (std::size_t Start = 0; Start < S.size(); Start += 45) {
    const std::size_t N = std::min<std::size_t>(45, S.size() - Start);
    R += Code(static_cast<unsigned>(N));
    for (std::size_t I = 0; I < N; I += 3) {
      unsigned B[3] = {0, 0, 0};
      for (std::size_t K = 0; K < 3 && I + K < N; ++K)
        B[K] = static_cast<unsigned char>(S[Start + I + K]);
      R += Code(B[0] >> 2);
      R += Code(((B[0] & 3) << 4) | (B[1] >> 4));
      R += Code(((B[1] & 15) << 2) | (B[2] >> 6));
      R += Code(B[2] & 63);
    }
    R += '\n';
  }
  return R + "`\n";
}

std::string UUDecodeStr(std::string_view S) {
  auto Value = [](char C) {
    const auto U = static_cast<unsigned char>(C);
    return U < 32 || U > 96 ? 0u : (U - 32u) & 63u;
  };
  std::string R;
  std::size_t LineStart = 0;
  while (LineStart < S.size()) {
    std::size_t LineEnd = S.find('\n', LineStart);
    if (LineEnd == std::string_view::npos) LineEnd = S.size();
    std::string Line;
    for (char C : S.substr(LineStart, LineEnd - LineStart))
      if (C != '\r') Line += C;
    LineStart = LineEnd + 1;
    if (Line.empty()) continue;
    const unsigned N = Value(Line[0]);
    if (N == 0) break;
    auto At = [&Line, &Value](std::size_t I) { return I < Line.size() ? Value(Line[I]) : 0u; };
    for (unsigned Done = 0, I = 1; Done < N; I += 4) {
      const unsigned C0 = At(I), C1 = At(I + 1), C2 = At(I + 2), C3 = At(I + 3);
      const unsigned char Bytes[3] = {static_cast<unsigned char>((C0 << 2) | (C1 >> 4)),
                                      static_cast<unsigned char>((C1 << 4) | (C2 >> 2)),
                                      static_cast<unsigned char>((C2 << 6) | C3)};
      for (unsigned K = 0; K < 3 && Done < N; ++K, ++Done) R += static_cast<char>(Bytes[K]);
    }
  }
  return R;
}

// ---- Tags in strings -----------------------------------------------------------------------

int32_t ReadNextTagInString(std::string_view S, std::size_t& Pos,
                            std::span<const std::string_view> Tags, std::string& Attributes,
                            std::string& Content) {
  TXMLStringSource Source(S, Pos);
  TXMLElement E;
  const bool Read = ReadXMLElement(Source, E);
  Pos = Source.Pos();
  Attributes = std::move(E.Attributes);
  Content = std::move(E.Content);
  return Read ? XMLTagIndex(E.Name, Tags) : static_cast<int32_t>(Tags.size()) - 1;
}

int32_t DetectNextTagInString(std::string_view S, std::size_t Pos,
                              std::span<const std::string_view> Tags, std::size_t& TagPos) {
  TagPos = 0;
  std::size_t From = std::max<std::size_t>(Pos, 1) - 1;
  while (From < S.size()) {
    const std::size_t Lt = S.find('<', From);
    if (Lt == std::string_view::npos) break;
    const std::size_t Gt = S.find('>', Lt + 1);
    if (Gt == std::string_view::npos) break;
    // Read only the tag itself, so that the content is not taken.
    TXMLStringSource Source(S.substr(Lt, Gt - Lt + 1), 1);
    TXMLElement E;
    if (S[Lt + 1] == '!' || S[Lt + 1] == '?' || !ReadXMLElement(Source, E)) {
      From = Gt + 1;
      continue;
    }
    TagPos = Lt + 1;
    return XMLTagIndex(E.Name, Tags);
  }
  return static_cast<int32_t>(Tags.size()) - 1;
}

} // namespace zef
