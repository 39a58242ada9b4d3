// TGrep: compiling the pattern language into tokens and matching texts against them.
#include "ZEF_stringl.h"

#include <algorithm>

#include "rtl/strings.h"
#include "rtl/textfile.h"

namespace zef {

namespace {

constexpr int32_t ErrTooLong = 10;
constexpr int32_t MaxLiteral = 255;

constexpr std::array<const char*, 11> GrepErrors = {
    "no errors",
    "reg.exp. must not start with $, *, ?, or +",
    "circumflex not allowed here",
    "no character allowed after end of line",
    "empty set",
    "circumflex has to be quoted in set",
    "mismatch of set brackets",
    "minus not allowed here",
    "mismatch of group brackets",
    "*, ?, + have to be applied to groups or sets only",
    "reg.exp. too long (more than 64 tokens or 255 characters in a string)",
};

// "\#hh" (not after another backslash) becomes the character of hexadecimal code hh.
std::string ResolveHexEscapes(std::string_view S) {
  std::string R;
  std::size_t i = 0;
  while (i < S.size()) {
    if (S[i] == '\\' && i + 1 < S.size() && S[i + 1] == '#') {
      if (i > 0 && S[i - 1] == '\\') {
        R.append(S.substr(i, 2));
        i += 2;
        continue;
      }
      const std::string_view Digits = S.substr(i + 2, 2);
      std::size_t Pos = 1;
      const uint32_t Code = Digits.empty() ? 0 : ScanHexadecimal(Digits, Pos);
      AppendUtf8(R, static_cast<char32_t>(Code & 0xFF));
      i += 2 + Digits.size();
      continue;
    }
    R += S[i++];
  }
  return R;
}

bool IsMember(const TGrepToken& T, char32_t C) { return C <= 255 && T.Params[C] == U'*'; }

} // namespace

std::string GrepErrorText(int32_t Code) {
  return Code >= 0 && Code < static_cast<int32_t>(GrepErrors.size()) ? GrepErrors[Code] : "";
}

TGrep::TGrep(TComponent* AOwner) : TComponent(AOwner) {}

void TGrep::SetRegExp(const std::string& Value) {
  FRegExp = Value;
  Compile();
  if (StopOnError && FLastError != 0)
    throw EZEFStringlError(
        ComponentMessage(Name(), "error in regular expression - " + GrepErrorText(FLastError)));
}

void TGrep::SetIgnoreCase(bool Value) {
  FIgnoreCase = Value;
  Compile();
}

TGrepToken TGrep::GetRegExpToken(int32_t regix) const {
  return FTokens[std::clamp(regix, 1, std::max(FNrTokens, 1))];
}

void TGrep::Compile() {
  enum TState : uint8_t {
    stStart,
    stAfterItem,
    stSetFirst,
    stSetBody,
    stAfterSet,
    stGroup,
    stAfterGroup,
    stAfterEol
  };
  FTokens = TRegExp{};
  FNrTokens = 0;
  FLastError = 0;
  const std::u32string P =
      Utf8ToUtf32(ResolveHexEscapes(FIgnoreCase ? LowerCase(FRegExp) : FRegExp));
  TState State = stStart;
  bool Negated = false;
  int64_t LastMember = -1;

  auto Fail = [this](int32_t Code) {
    FLastError = Code;
    return false;
  };
  auto NewToken = [&](TGrepTokenAct Action) {
    if (FNrTokens == MaxRegExpTokens) return Fail(ErrTooLong);
    TGrepToken& T = FTokens[++FNrTokens];
    T.Action = Action;
    T.NumChars = Action == taSet ? -1 : 0;
    if (Action == taSet) std::fill(T.Params.begin(), T.Params.end(), U' ');
    return true;
  };
  auto Append = [&](char32_t C) {
    TGrepToken& T = FTokens[FNrTokens];
    if (T.NumChars == MaxLiteral) return Fail(ErrTooLong);
    T.Params[++T.NumChars] = C;
    return true;
  };
  auto Literal = [&](char32_t C) { return NewToken(taNormal) && Append(C); };
  auto AddMember = [&](char32_t C) {
    if (C <= 255) FTokens[FNrTokens].Params[C] = U'*';
    LastMember = C;
  };
  auto QuantifierAction = [](char32_t C) {
    return C == '*' ? taMult0 : C == '+' ? taMult1 : taOpti;
  };
  // The quantifier after a literal, "." or "^": a literal gives up its last character.
  auto QuantifyItem = [&](char32_t C) {
    TGrepToken& T = FTokens[FNrTokens];
    if (T.Action == taNormal && T.NumChars == 1) {
      T.Action = QuantifierAction(C);
    } else if (T.Action == taNormal && T.NumChars > 1) {
      const char32_t Last = T.Params[T.NumChars--];
      if (!NewToken(QuantifierAction(C))) return false;
      FTokens[FNrTokens].NumChars = 1;
      FTokens[FNrTokens].Params[1] = Last;
    } else if (T.Action == taAnyByte) {
      T.Action = QuantifierAction(C);
    } else {
      return Fail(9);
    }
    return true;
  };
  // A set or group token takes the quantifier as it stands; an empty group has nothing to
  // repeat.
  auto QuantifyWhole = [&](char32_t C) {
    TGrepToken& T = FTokens[FNrTokens];
    if ((T.Action != taSet && T.Action != taNormal) || (T.Action == taNormal && T.NumChars == 0))
      return Fail(9);
    T.Action = QuantifierAction(C);
    return true;
  };

  // "[" opens a set token in every state outside sets and groups.
  auto OpenSet = [&] {
    if (!NewToken(taSet)) return;
    Negated = false;
    LastMember = -1;
    State = stSetFirst;
  };

  std::size_t i = 0;
  while (i < P.size() && FLastError == 0) {
    char32_t C = P[i++];
    const bool Quoted = C == '\\' && i < P.size();
    if (Quoted) C = P[i++];
    const char32_t Special = Quoted ? 0 : C;
    switch (State) {
    case stStart:
      switch (Special) {
      case '$':
      case '*':
      case '+':
      case '?': Fail(1); break;
      case '(':
        if (NewToken(taNormal)) State = stGroup;
        break;
      case ')': Fail(8); break;
      case '.':
        if (NewToken(taAnyByte)) State = stAfterItem;
        break;
      case '[':
        OpenSet();
        break;
      case ']': Fail(6); break;
      case '^':
        if (NewToken(taBol)) State = stAfterItem;
        break;
      default:
        if (Literal(C)) State = stAfterItem;
      }
      break;
    case stAfterItem:
      switch (Special) {
      case '$':
        if (NewToken(taEol)) State = stAfterEol;
        break;
      case '(':
        if (NewToken(taNormal)) State = stGroup;
        break;
      case ')': Fail(8); break;
      case '*':
      case '+':
      case '?': QuantifyItem(C); break;
      case '.': NewToken(taAnyByte); break;
      case '[':
        OpenSet();
        break;
      case ']': Fail(6); break;
      case '^': Fail(2); break;
      default:
        if (FTokens[FNrTokens].Action == taNormal)
          Append(C);
        else
          Literal(C);
      }
      break;
    case stSetFirst:
      switch (Special) {
      case '-': Fail(7); break;
      case ']': Fail(4); break;
      case '^':
        Negated = true;
        State = stSetBody;
        break;
      default: AddMember(C); State = stSetBody;
      }
      break;
    case stSetBody:
      switch (Special) {
      case '-':
        if (i < P.size()) {
          const char32_t End = P[i++];
          const int64_t From = LastMember < 0 ? End : std::min<int64_t>(LastMember, End);
          const int64_t To = LastMember < 0 ? End : std::max<int64_t>(LastMember, End);
          for (int64_t k = From; k <= std::min<int64_t>(To, 255); ++k)
            FTokens[FNrTokens].Params[k] = U'*';
        }
        break;
      case ']':
        if (Negated)
          for (char32_t& M : FTokens[FNrTokens].Params) M = M == U'*' ? U' ' : U'*';
        State = stAfterSet;
        break;
      case '^': Fail(5); break;
      default: AddMember(C);
      }
      break;
    case stGroup:
      if (Special == ')')
        State = stAfterGroup;
      else if (Special == '^')
        Fail(2);
      else
        Append(C);
      break;
    case stAfterSet:
    case stAfterGroup:
      switch (Special) {
      case '$':
        if (NewToken(taEol)) State = stAfterEol;
        break;
      case '(':
        if (NewToken(taNormal)) State = stGroup;
        break;
      case ')': Fail(8); break;
      case '*':
      case '+':
      case '?': QuantifyWhole(C); break;
      case '-': Fail(7); break;
      case '.':
        if (NewToken(taAnyByte)) State = stAfterItem;
        break;
      case '[':
        OpenSet();
        break;
      case ']': Fail(6); break;
      case '^': Fail(2); break;
      default:
        if (Literal(C)) State = stAfterItem;
      }
      break;
    case stAfterEol: Fail(3); break;
    }
  }
}

// Whether tokens k.. match from character position p (1-based) of FText; a success sets
// FMatchEndPos (in characters). Failures are remembered per (token, position).
bool TGrep::MatchToken(int32_t k, int32_t p) {
  const int32_t n = static_cast<int32_t>(FText.size());
  const std::size_t Stride = static_cast<std::size_t>(n) + 2;
  auto Failed = [&](int32_t Tok, int32_t Pos) -> std::vector<bool>::reference {
    return FFailed[static_cast<std::size_t>(Tok - 1) * Stride + static_cast<std::size_t>(Pos)];
  };
  if (Failed(k, p)) return false;
  TGrepToken& T = FTokens[k];
  const bool Last = k == FNrTokens;
  // The length of one repetition of the item a token repeats at q, or -1.
  auto ItemLen = [&](int32_t q) -> int32_t {
    if (T.NumChars > 0) {
      if (q + T.NumChars - 1 > n) return -1;
      for (int32_t j = 0; j < T.NumChars; ++j)
        if (FText[q - 1 + j] != T.Params[j + 1]) return -1;
      return T.NumChars;
    }
    if (q > n) return -1;
    return T.NumChars == 0 || IsMember(T, FText[q - 1]) ? 1 : -1;
  };
  auto Next = [&](int32_t q, int32_t EndIfLast) {
    if (Last) {
      FMatchEndPos = EndIfLast;
      return true;
    }
    return MatchToken(k + 1, q);
  };
  // The repetitions of a quantified token from q on: as many as possible at the end of the
  // pattern, otherwise as few as let the rest match. A failure from q also fails from every
  // later position of the same run, which is remembered.
  auto Repeat = [&](int32_t q) {
    if (Last) {
      for (int32_t L; (L = ItemLen(q)) > 0;) q += L;
      FMatchEndPos = q - 1;
      return true;
    }
    const int32_t First = q;
    for (;;) {
      if (MatchToken(k + 1, q)) return true;
      if (q != First && Failed(k, q)) break;
      const int32_t L = ItemLen(q);
      if (L < 0) break;
      q += L;
    }
    for (int32_t r = First; r < q;) {
      Failed(k, r) = true;
      const int32_t L = ItemLen(r);
      if (L < 0) break;
      r += L;
    }
    return false;
  };

  bool Ok = false;
  switch (T.Action) {
  case taNormal:
    // An empty group matches the empty text.
    if (T.NumChars == 0) {
      T.ValidFrom = p;
      Ok = Next(p, p - 1);
    } else if (ItemLen(p) == T.NumChars) {
      T.ValidFrom = p;
      Ok = Next(p + T.NumChars, p + T.NumChars - 1);
    }
    break;
  case taAnyByte:
  case taSet:
    if (ItemLen(p) == 1) {
      T.ValidFrom = p;
      Ok = Next(p + 1, p);
    }
    break;
  case taEol:
    if (p == n + 1 && Last) {
      T.ValidFrom = p;
      FMatchEndPos = n;
      Ok = true;
    }
    break;
  case taBol:
    if (p == 1) {
      T.ValidFrom = p;
      Ok = Next(1, 1);
    }
    break;
  case taMult0:
    T.ValidFrom = p;
    Ok = Repeat(p);
    break;
  case taMult1:
    if (const int32_t L = ItemLen(p); L > 0) {
      T.ValidFrom = p;
      Ok = Repeat(p + L);
    }
    break;
  case taOpti: {
    T.ValidFrom = p;
    const int32_t L = ItemLen(p);
    if (Last) {
      FMatchEndPos = L > 0 ? p + L - 1 : p - 1;
      Ok = true;
    } else {
      Ok = MatchToken(k + 1, p) || (L > 0 && MatchToken(k + 1, p + L));
    }
    break;
  }
  }
  if (!Ok) Failed(k, p) = true;
  return Ok;
}

bool TGrep::MatchString(const std::string& Instring, int32_t& MatchPos) {
  if (FLastError != 0 || FNrTokens == 0) return false;
  const int32_t Bytes = static_cast<int32_t>(std::min<std::size_t>(Instring.size(), INT32_MAX - 2));
  // A lone ".*" covers the whole text.
  if (FNrTokens == 1 && FTokens[1].Action == taMult0 && FTokens[1].NumChars == 0) {
    if (Bytes > 0 && SearchStartPos > Bytes) return false;
    MatchPos = FMatchStartPos = 1;
    FMatchEndPos = Bytes;
    FTokens[1].ValidFrom = 1;
    return true;
  }
  FText = Utf8ToUtf32(FIgnoreCase ? LowerCase(Instring) : Instring);
  const int32_t n = static_cast<int32_t>(FText.size());
  // CharByte[i]: the byte position of character i (1..n), and of the end (n + 1).
  std::vector<int32_t> CharByte(static_cast<std::size_t>(n) + 2);
  {
    std::size_t b = 0;
    for (int32_t c = 1; c <= n; ++c) {
      CharByte[c] = static_cast<int32_t>(b) + 1;
      NextCodePoint(Instring, b);
    }
    CharByte[n + 1] = Bytes + 1;
  }
  int32_t Start = 1;
  if (SearchStartPos > Bytes) {
    if (SearchStartPos > Bytes + 1) return false;
    Start = n + 1;
  } else if (SearchStartPos > 1) {
    Start = static_cast<int32_t>(
                std::upper_bound(CharByte.begin() + 1, CharByte.begin() + n + 1, SearchStartPos) -
                CharByte.begin()) -
            1;
  }
  FFailed.assign(static_cast<std::size_t>(FNrTokens) * (static_cast<std::size_t>(n) + 2), false);
  // The position after the text is tried too, so that a pattern that matches the empty
  // text at the end ("x*$") finds it there.
  const int32_t LastStart = FTokens[1].Action == taBol ? Start : n + 1;
  bool Found = false;
  for (int32_t s = Start; s <= LastStart && !Found; ++s) Found = MatchToken(1, s);
  FText.clear();
  FFailed.clear();
  if (!Found) return false;
  for (int32_t k = 1; k <= FNrTokens; ++k)
    FTokens[k].ValidFrom = CharByte[std::clamp(FTokens[k].ValidFrom, 1, n + 1)];
  MatchPos = FMatchStartPos = FTokens[1].ValidFrom;
  FMatchEndPos = FMatchEndPos > n ? Bytes + 1 : CharByte[std::max(FMatchEndPos, 0) + 1] - 1;
  return true;
}

void TGrep::PrintRegExp(const std::string& FName) const {
  TTextFile F;
  AssignFile(F, FName);
  Rewrite(F);
  auto Members = [](const TGrepToken& T) {
    std::u32string S;
    for (char32_t c = 0; c <= 255; ++c)
      if (T.Params[c] == U'*') S += c;
    return Utf32ToUtf8(S);
  };
  auto Chars = [](const TGrepToken& T) {
    return Utf32ToUtf8(std::u32string_view(T.Params.data() + 1,
                                           static_cast<std::size_t>(std::max(T.NumChars, 0))));
  };
  for (int32_t k = 1; k <= FNrTokens; ++k) {
    const TGrepToken& T = FTokens[k];
    std::string Line;
    switch (T.Action) {
    case taNormal: Line = " taNormal: " + Chars(T); break;
    case taAnyByte: Line = "taAnyByte: "; break;
    case taEol: Line = "    taEol: "; break;
    case taBol: Line = "    taBol: "; break;
    case taSet: Line = "    taSet: " + Members(T); break;
    case taMult0:
    case taMult1:
    case taOpti:
      Line = T.Action == taMult0   ? "  taMult0: "
             : T.Action == taMult1 ? "  taMult1: "
                                   : "   taOpti: ";
      Line += T.NumChars < 0   ? "(set) " + Members(T)
              : T.NumChars > 0 ? "(string) " + Chars(T)
                               : "(anychar) ";
      break;
    }
    WriteLn(F, Line);
  }
  WriteLn(F, GrepErrorText(FLastError));
  CloseFile(F);
}

} // namespace zef
