#include "rtl/numconv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "rtl/exceptions.h"
#include "rtl/strings.h"

namespace zef {

namespace {

// Field widths and decimal counts beyond these are pointless and would only allocate.
constexpr int kMaxWidth = 65535;
constexpr int kMaxDecimals = 20000;

bool IsBlank(char C) { return static_cast<unsigned char>(C) <= 32; }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }

std::string PadLeft(std::string S, int Width) {
  Width = std::min(Width, kMaxWidth);
  if (static_cast<int>(S.size()) < Width) S.insert(0, static_cast<std::size_t>(Width) - S.size(), ' ');
  return S;
}

std::string PadRight(std::string S, int Width) {
  Width = std::min(Width, kMaxWidth);
  if (static_cast<int>(S.size()) < Width) S.append(static_cast<std::size_t>(Width) - S.size(), ' ');
  return S;
}

// to_chars into a growing buffer. The result holds digits, "-", "e", "+" and the decimal
// point; anything else a C library might put there for the point is replaced by ".".
std::string ToChars(long double X, std::chars_format Fmt, int Precision) {
  std::string Buf(64, '\0');
  while (true) {
    const auto R = std::to_chars(Buf.data(), Buf.data() + Buf.size(), X, Fmt, Precision);
    if (R.ec == std::errc()) {
      Buf.resize(static_cast<std::size_t>(R.ptr - Buf.data()));
      break;
    }
    Buf.resize(Buf.size() * 4);
  }
  for (char& C : Buf)
    if (!IsDigit(C) && C != '-' && C != '+' && C != 'e') C = '.';
  return Buf;
}

std::string NonFinite(long double X) {
  if (std::isnan(X)) return "Nan";
  return X < 0 ? "-Inf" : "+Inf";
}

// X rounded to Sig significant digits: X ~ D1.D2D3... * 10^Exp, with Sig digits in Digits.
struct TDecimal {
  bool Negative = false;
  std::string Digits;
  int Exp = 0;
};

TDecimal ToDecimal(long double X, int Sig) {
  TDecimal D;
  D.Negative = std::signbit(X);
  if (X == 0) {
    D.Digits = std::string(static_cast<std::size_t>(Sig), '0');
    return D;
  }
  const std::string S = ToChars(std::fabs(X), std::chars_format::scientific, Sig - 1);
  const std::size_t EPos = S.find('e');
  for (std::size_t I = 0; I < EPos; ++I)
    if (IsDigit(S[I])) D.Digits += S[I];
  int E = 0;
  std::from_chars(S.data() + EPos + (S[EPos + 1] == '+' ? 2 : 1), S.data() + S.size(), E);
  D.Exp = E;
  return D;
}

std::string ExponentText(int Exp, int MinDigits, bool AlwaysSign) {
  std::string R = Exp < 0 ? "-" : (AlwaysSign ? "+" : "");
  std::string Digits = std::to_string(std::abs(Exp));
  if (static_cast<int>(Digits.size()) < MinDigits)
    Digits.insert(0, static_cast<std::size_t>(MinDigits) - Digits.size(), '0');
  return R + Digits;
}

// Removes the minus sign of a text whose digits are all zero ("-0.00" -> "0.00").
void DropNegativeZero(std::string& S) {
  if (S.empty() || S[0] != '-') return;
  if (std::all_of(S.begin() + 1, S.end(), [](char C) { return C == '0' || C == '.'; })) S.erase(0, 1);
}

std::string GroupThousands(const std::string& Fixed) {
  // Fixed is [-]digits[.digits]
  const std::size_t Start = (!Fixed.empty() && Fixed[0] == '-') ? 1 : 0;
  std::size_t IntEnd = Fixed.find('.');
  if (IntEnd == std::string::npos) IntEnd = Fixed.size();
  std::string R = Fixed.substr(0, Start);
  const std::size_t N = IntEnd - Start;
  for (std::size_t I = 0; I < N; ++I) {
    if (I > 0 && (N - I) % 3 == 0) R += ',';
    R += Fixed[Start + I];
  }
  R += Fixed.substr(IntEnd);
  return R;
}

// ffGeneral: Sig significant digits, trailing zeros removed, fixed notation for exponents
// -5 <= Exp < Sig, else scientific with at least MinExpDigits exponent digits.
std::string GeneralStr(long double X, int Sig, int MinExpDigits) {
  if (!std::isfinite(X)) return std::isnan(X) ? "NAN" : (X < 0 ? "-INF" : "INF");
  if (X == 0) return "0";
  Sig = std::clamp(Sig, 1, 18);
  TDecimal D = ToDecimal(X, Sig);
  while (D.Digits.size() > 1 && D.Digits.back() == '0') D.Digits.pop_back();
  std::string R = D.Negative ? "-" : "";
  const int N = static_cast<int>(D.Digits.size());
  if (D.Exp >= -5 && D.Exp < Sig) {
    if (D.Exp < 0) {
      R += "0." + std::string(static_cast<std::size_t>(-D.Exp - 1), '0') + D.Digits;
    } else if (N <= D.Exp + 1) {
      R += D.Digits + std::string(static_cast<std::size_t>(D.Exp + 1 - N), '0');
    } else {
      R += D.Digits.substr(0, static_cast<std::size_t>(D.Exp + 1)) + "." +
           D.Digits.substr(static_cast<std::size_t>(D.Exp + 1));
    }
    return R;
  }
  R += D.Digits[0];
  if (N > 1) {
    R += '.';
    R.append(D.Digits, 1);
  }
  R += 'E';
  return R + ExponentText(D.Exp, MinExpDigits, false);
}

// ffExponent: "-d.dddE+dd" with Sig significant digits and at least MinExpDigits digits.
std::string ExponentStr(long double X, int Sig, int MinExpDigits) {
  if (!std::isfinite(X)) return std::isnan(X) ? "NAN" : (X < 0 ? "-INF" : "INF");
  Sig = std::clamp(Sig, 1, 18);
  const TDecimal D = ToDecimal(X, Sig);
  std::string R = (D.Negative && X != 0) ? "-" : "";
  R += D.Digits[0];
  if (Sig > 1) {
    R += '.';
    R.append(D.Digits, 1);
  }
  R += 'E';
  return R + ExponentText(D.Exp, std::clamp(MinExpDigits, 0, 4), true);
}

} // namespace

// ---- Fixed and scientific forms -----------------------------------------------------------

std::string FixedStr(long double X, int Width, int Decimals) {
  if (!std::isfinite(X)) return PadLeft(NonFinite(X), Width);
  std::string S = ToChars(X, std::chars_format::fixed, std::clamp(Decimals, 0, kMaxDecimals));
  DropNegativeZero(S);
  return PadLeft(std::move(S), Width);
}

std::string SciStr(long double X, int Width) {
  if (!std::isfinite(X)) return PadLeft(NonFinite(X), Width);
  const int Digits = std::clamp(Width - 9, 1, 40);
  const TDecimal D = ToDecimal(X, Digits + 1);
  std::string R = (D.Negative && X != 0) ? "-" : " ";
  R += D.Digits[0];
  R += '.';
  R += D.Digits.substr(1);
  R += 'E';
  R += ExponentText(D.Exp, 4, true);
  return PadLeft(std::move(R), Width);
}

// ---- Integers -----------------------------------------------------------------------------

std::string IntToStr(int64_t Value) { return std::to_string(Value); }
std::string UIntToStr(uint64_t Value) { return std::to_string(Value); }

std::string IntToHex(int64_t Value, int Digits) {
  char Buf[17];
  const auto R = std::to_chars(Buf, Buf + sizeof Buf, static_cast<uint64_t>(Value), 16);
  std::string S(Buf, R.ptr);
  for (char& C : S) C = UpCase(C);
  Digits = std::min(Digits, kMaxWidth);
  if (static_cast<int>(S.size()) < Digits) S.insert(0, static_cast<std::size_t>(Digits) - S.size(), '0');
  return S;
}

// ---- Floating point -----------------------------------------------------------------------

std::string FloatToStr(long double Value) { return GeneralStr(Value, 15, 0); }

std::string FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits) {
  switch (Format) {
    case ffGeneral: return GeneralStr(Value, Precision, Digits);
    case ffExponent: return ExponentStr(Value, Precision, Digits);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      if (!std::isfinite(Value)) return GeneralStr(Value, 15, 0);
      Precision = std::clamp(Precision, 1, 18);
      // Numbers with more integer digits than Precision fall back to scientific notation.
      if (Value != 0 && ToDecimal(Value, Precision).Exp >= Precision)
        return ExponentStr(Value, Precision, 3);
      std::string S = ToChars(Value, std::chars_format::fixed, std::clamp(Digits, 0, 18));
      DropNegativeZero(S);
      if (Format == ffFixed) return S;
      S = GroupThousands(S);
      if (Format == ffCurrency) S.insert(S.begin() + (S[0] == '-' ? 1 : 0), '$');
      return S;
    }
  }
  return GeneralStr(Value, 15, 0);
}

// ---- Format -------------------------------------------------------------------------------

std::string Format(std::string_view Fmt, std::initializer_list<TFormatArg> Args) {
  const auto Fail = [&]() -> EConvertError {
    return EConvertError("Format '" + std::string(Fmt) + "' invalid or incompatible with argument");
  };
  const TFormatArg* Next = Args.begin();
  const auto TakeArg = [&]() -> const TFormatArg& {
    if (Next == Args.end()) throw EConvertError("No argument for format '" + std::string(Fmt) + "'");
    return *Next++;
  };
  const auto TakeInt = [&]() -> int {
    const TFormatArg& A = TakeArg();
    if (const auto* I = std::get_if<int64_t>(&A.Value)) return static_cast<int>(std::clamp<int64_t>(*I, -kMaxWidth, kMaxWidth));
    if (const auto* U = std::get_if<uint64_t>(&A.Value)) return static_cast<int>(std::min<uint64_t>(*U, kMaxWidth));
    throw Fail();
  };
  const auto AsFloat = [&](const TFormatArg& A) -> long double {
    if (const auto* F = std::get_if<long double>(&A.Value)) return *F;
    if (const auto* I = std::get_if<int64_t>(&A.Value)) return static_cast<long double>(*I);
    if (const auto* U = std::get_if<uint64_t>(&A.Value)) return static_cast<long double>(*U);
    throw Fail();
  };

  std::string R;
  std::size_t I = 0;
  while (I < Fmt.size()) {
    const char C = Fmt[I++];
    if (C != '%') {
      R += C;
      continue;
    }
    if (I < Fmt.size() && Fmt[I] == '%') {
      R += '%';
      ++I;
      continue;
    }
    bool LeftAlign = false;
    if (I < Fmt.size() && Fmt[I] == '-') { LeftAlign = true; ++I; }
    int Width = 0;
    if (I < Fmt.size() && Fmt[I] == '*') {
      Width = TakeInt();
      ++I;
      if (Width < 0) { LeftAlign = true; Width = -Width; }
    } else {
      while (I < Fmt.size() && IsDigit(Fmt[I])) Width = std::min(Width * 10 + (Fmt[I++] - '0'), kMaxWidth);
    }
    int Prec = -1;
    if (I < Fmt.size() && Fmt[I] == '.') {
      ++I;
      Prec = 0;
      if (I < Fmt.size() && Fmt[I] == '*') {
        Prec = std::max(TakeInt(), 0);
        ++I;
      } else {
        while (I < Fmt.size() && IsDigit(Fmt[I])) Prec = std::min(Prec * 10 + (Fmt[I++] - '0'), kMaxWidth);
      }
    }
    if (I >= Fmt.size()) throw Fail();
    const char Type = static_cast<char>(Fmt[I++] | 0x20);
    const TFormatArg& A = TakeArg();
    std::string Item;
    switch (Type) {
      case 'd': {
        std::string Digits;
        bool Neg = false;
        if (const auto* V = std::get_if<int64_t>(&A.Value)) {
          Neg = *V < 0;
          Digits = UIntToStr(Neg ? 0ULL - static_cast<uint64_t>(*V) : static_cast<uint64_t>(*V));
        } else if (const auto* U = std::get_if<uint64_t>(&A.Value)) {
          Digits = UIntToStr(*U);
        } else {
          throw Fail();
        }
        if (Prec > static_cast<int>(Digits.size())) Digits.insert(0, static_cast<std::size_t>(Prec) - Digits.size(), '0');
        Item = (Neg ? "-" : "") + Digits;
        break;
      }
      case 'u':
      case 'x': {
        uint64_t V;
        if (const auto* S = std::get_if<int64_t>(&A.Value)) {
          V = static_cast<uint64_t>(*S);
          // A negative value that fits in 32 bits shows as its 32-bit two's complement.
          if (*S < 0 && *S >= std::numeric_limits<int32_t>::min()) V &= 0xFFFFFFFFULL;
        } else if (const auto* U = std::get_if<uint64_t>(&A.Value)) {
          V = *U;
        } else {
          throw Fail();
        }
        Item = Type == 'u' ? UIntToStr(V) : IntToHex(static_cast<int64_t>(V), std::max(Prec, 1));
        if (Type == 'u' && Prec > static_cast<int>(Item.size())) Item.insert(0, static_cast<std::size_t>(Prec) - Item.size(), '0');
        break;
      }
      case 's': {
        const auto* S = std::get_if<std::string>(&A.Value);
        if (!S) throw Fail();
        Item = Prec >= 0 ? S->substr(0, static_cast<std::size_t>(Prec)) : *S;
        break;
      }
      case 'f': Item = FloatToStrF(AsFloat(A), ffFixed, 18, Prec < 0 ? 2 : Prec); break;
      case 'n': Item = FloatToStrF(AsFloat(A), ffNumber, 18, Prec < 0 ? 2 : Prec); break;
      case 'e': Item = ExponentStr(AsFloat(A), Prec < 0 ? 15 : Prec, 3); break;
      case 'g': Item = GeneralStr(AsFloat(A), Prec < 0 ? 15 : Prec, 0); break;
      default: throw Fail();
    }
    R += LeftAlign ? PadRight(std::move(Item), Width) : PadLeft(std::move(Item), Width);
  }
  return R;
}

// ---- Text to numbers ----------------------------------------------------------------------

namespace {

// Scans a float from Begin; returns the index just past it, or the index at which the
// grammar failed (with Ok false). Index S.size() with Ok false means the text ended early.
struct TScan {
  std::size_t End = 0;
  bool Ok = false;
};

TScan ScanFloat(std::string_view S, std::size_t I) {
  TScan R;
  if (I < S.size() && (S[I] == '+' || S[I] == '-')) ++I;
  std::size_t IntDigits = 0;
  while (I < S.size() && IsDigit(S[I])) { ++I; ++IntDigits; }
  std::size_t FracDigits = 0;
  if (I < S.size() && S[I] == '.') {
    ++I;
    while (I < S.size() && IsDigit(S[I])) { ++I; ++FracDigits; }
  }
  if (IntDigits + FracDigits == 0) { R.End = I; return R; }
  if (I < S.size() && (S[I] == 'e' || S[I] == 'E')) {
    ++I;
    if (I < S.size() && (S[I] == '+' || S[I] == '-')) ++I;
    std::size_t ExpDigits = 0;
    while (I < S.size() && IsDigit(S[I])) { ++I; ++ExpDigits; }
    if (ExpDigits == 0) { R.End = I; return R; }
  }
  R.End = I;
  R.Ok = true;
  return R;
}

TScan ScanInt(std::string_view S, std::size_t I) {
  TScan R;
  if (I < S.size() && (S[I] == '+' || S[I] == '-')) ++I;
  std::size_t Digits = 0;
  while (I < S.size() && IsDigit(S[I])) { ++I; ++Digits; }
  R.End = I;
  R.Ok = Digits > 0;
  return R;
}

// Converts a text that ScanFloat accepted. Underflow gives a signed zero; overflow fails.
template <class F>
bool ConvertFloat(std::string_view T, F& Value) {
  const bool Neg = T[0] == '-';
  if (T[0] == '+' || T[0] == '-') T.remove_prefix(1);
  F V{};
  const auto R = std::from_chars(T.data(), T.data() + T.size(), V, std::chars_format::general);
  if (R.ec == std::errc::result_out_of_range) {
    // Decide between underflow and overflow from the decimal exponent of the first
    // significant digit.
    long long Exp10 = 0;
    const std::size_t EPos = T.find_first_of("eE");
    if (EPos != std::string_view::npos) {
      std::string_view E = T.substr(EPos + 1);
      const bool ENeg = !E.empty() && E[0] == '-';
      if (!E.empty() && (E[0] == '+' || E[0] == '-')) E.remove_prefix(1);
      for (char C : E) Exp10 = std::min<long long>(Exp10 * 10 + (C - '0'), 1000000000LL);
      if (ENeg) Exp10 = -Exp10;
    }
    const std::string_view M = T.substr(0, EPos);
    const std::size_t Point = std::min(M.find('.'), M.size());
    const std::size_t First = M.find_first_of("123456789");
    if (First == std::string_view::npos) {
      V = 0;
    } else {
      const long long Shift = First < Point ? static_cast<long long>(Point - First - 1)
                                            : -static_cast<long long>(First - Point);
      if (Exp10 + Shift >= 0) return false;
      V = 0;
    }
  } else if (R.ec != std::errc() || R.ptr != T.data() + T.size()) {
    return false;
  }
  Value = Neg ? -V : V;
  return true;
}

std::string_view TrimView(std::string_view S) {
  while (!S.empty() && IsBlank(S.front())) S.remove_prefix(1);
  while (!S.empty() && IsBlank(S.back())) S.remove_suffix(1);
  return S;
}

template <class F>
bool TryFloat(std::string_view S, F& Value) {
  S = TrimView(S);
  const TScan Sc = ScanFloat(S, 0);
  if (!Sc.Ok || Sc.End != S.size()) return false;
  return ConvertFloat(S, Value);
}

template <class I>
bool ConvertInt(std::string_view T, I& Value) {
  const bool Neg = T[0] == '-';
  if (T[0] == '+' || T[0] == '-') T.remove_prefix(1);
  uint64_t Mag = 0;
  for (char C : T) {
    const auto D = static_cast<uint64_t>(C - '0');
    if (Mag > (std::numeric_limits<uint64_t>::max() - D) / 10) return false;
    Mag = Mag * 10 + D;
  }
  const auto MaxPos = static_cast<uint64_t>(std::numeric_limits<I>::max());
  if (Neg) {
    if (Mag > MaxPos + 1) return false;
    Value = Mag == MaxPos + 1 ? std::numeric_limits<I>::min() : static_cast<I>(-static_cast<I>(Mag));
  } else {
    if (Mag > MaxPos) return false;
    Value = static_cast<I>(Mag);
  }
  return true;
}

template <class I>
bool TryInt(std::string_view S, I& Value) {
  S = TrimView(S);
  const TScan Sc = ScanInt(S, 0);
  if (!Sc.Ok || Sc.End != S.size()) return false;
  return ConvertInt(S, Value);
}

EConvertError FloatError(std::string_view S) {
  return EConvertError("'" + std::string(S) + "' is not a valid floating point value");
}
EConvertError IntError(std::string_view S) {
  return EConvertError("'" + std::string(S) + "' is not a valid integer value");
}

template <class T, class Scanner, class Converter>
void ValImpl(std::string_view S, T& Value, int& Code, Scanner Scan, Converter Convert) {
  Value = 0;
  std::size_t Start = 0;
  while (Start < S.size() && IsBlank(S[Start])) ++Start;
  const TScan Sc = Scan(S, Start);
  if (!Sc.Ok) {
    Code = static_cast<int>(std::min(Sc.End, S.size())) + 1;
    return;
  }
  if (Sc.End != S.size()) {
    Code = static_cast<int>(Sc.End) + 1;
    return;
  }
  T V{};
  if (!Convert(S.substr(Start), V)) {
    // Out of range: the offending character is the last digit.
    Code = static_cast<int>(S.size());
    return;
  }
  Value = V;
  Code = 0;
}

} // namespace

bool TryStrToFloat(std::string_view S, double& Value) { return TryFloat(S, Value); }
bool TryStrToFloat(std::string_view S, long double& Value) { return TryFloat(S, Value); }

double StrToFloat(std::string_view S) {
  double V;
  if (!TryFloat(S, V)) throw FloatError(S);
  return V;
}

double StrToFloatDef(std::string_view S, double Default) {
  double V;
  return TryFloat(S, V) ? V : Default;
}

bool TryStrToInt(std::string_view S, int32_t& Value) { return TryInt(S, Value); }

int32_t StrToInt(std::string_view S) {
  int32_t V;
  if (!TryInt(S, V)) throw IntError(S);
  return V;
}

int32_t StrToIntDef(std::string_view S, int32_t Default) {
  int32_t V;
  return TryInt(S, V) ? V : Default;
}

bool TryStrToInt64(std::string_view S, int64_t& Value) { return TryInt(S, Value); }

int64_t StrToInt64(std::string_view S) {
  int64_t V;
  if (!TryInt(S, V)) throw IntError(S);
  return V;
}

int64_t StrToInt64Def(std::string_view S, int64_t Default) {
  int64_t V;
  return TryInt(S, V) ? V : Default;
}

void Val(std::string_view S, double& Value, int& Code) {
  ValImpl(S, Value, Code, ScanFloat, [](std::string_view T, double& V) { return ConvertFloat(T, V); });
}
void Val(std::string_view S, long double& Value, int& Code) {
  ValImpl(S, Value, Code, ScanFloat, [](std::string_view T, long double& V) { return ConvertFloat(T, V); });
}
void Val(std::string_view S, int32_t& Value, int& Code) {
  ValImpl(S, Value, Code, ScanInt, [](std::string_view T, int32_t& V) { return ConvertInt(T, V); });
}
void Val(std::string_view S, int64_t& Value, int& Code) {
  ValImpl(S, Value, Code, ScanInt, [](std::string_view T, int64_t& V) { return ConvertInt(T, V); });
}

} // namespace zef
