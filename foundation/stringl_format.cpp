// ZEF_stringl: number and value formatting.
#include "ZEF_stringl.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "rtl/mathfn.h"
#include "rtl/numconv.h"
#include "rtl/strings.h"

namespace zef {

namespace {

// Field widths beyond this only allocate; the fixed and scientific forms stop there too.
constexpr int32_t kMaxWidth = 65535;

// log10 |x| computed as ln|x| / ln 10 in extended precision and rounded to a double, which
// makes exact powers of ten come out exact.
double DecimalLog(double X) {
  return static_cast<double>(std::log(std::fabs(static_cast<long double>(X))) /
                             std::log(10.0L));
}

// The number right-aligned in two characters; ZeroFill turns a leading blank into "0".
std::string TwoDigits(int64_t N, bool ZeroFill) {
  std::string S = std::to_string(N);
  if (S.size() < 2) S.insert(0, 1, ZeroFill ? '0' : ' ');
  return S;
}

template <class T, class ItemText>
std::string ParList(std::span<const T> Values, bool AppendComma, int32_t MaxItems, bool Brackets,
                    ItemText Item) {
  std::string R = Brackets ? "[" : "";
  std::size_t N = Values.size();
  if (MaxItems > 0 && static_cast<std::size_t>(MaxItems) < N) N = static_cast<std::size_t>(MaxItems);
  for (std::size_t I = 0; I < N; ++I) R += Item(Values[I]) + ",";
  if (N == 0) R += ",";
  if (N < Values.size()) R += "...,";
  if (Brackets)
    R.back() = ']';
  else
    R.pop_back();
  if (AppendComma) R += ",";
  return R;
}

constexpr int64_t kMaxItemsPerLine = 12;
constexpr int64_t kMaxRows = 10;
constexpr int64_t kMaxLayers = 3;
constexpr const char* kLineEnd = "\r\n";

// One line of at most 12 items of a variant array along its first dimension; Fixed holds the
// indices of the further dimensions.
std::string ArrayLine(const TVariant& V, std::initializer_list<int> Fixed) {
  const int Lo = VarArrayLowBound(V, 1);
  const int Hi = VarArrayHighBound(V, 1);
  const int64_t Last = std::min<int64_t>(Hi, int64_t{Lo} + kMaxItemsPerLine - 1);
  std::string R;
  for (int64_t I = Lo; I <= Last; ++I) {
    if (I > Lo) R += ",";
    const int Ix = static_cast<int>(I);
    if (Fixed.size() == 0)
      R += ConvertVariant(V.GetElement({Ix}));
    else if (Fixed.size() == 1)
      R += ConvertVariant(V.GetElement({Ix, *Fixed.begin()}));
    else
      R += ConvertVariant(V.GetElement({Ix, *Fixed.begin(), *(Fixed.begin() + 1)}));
  }
  if (Hi > Last) R += "...";
  return R;
}

// The rows (second index) of a two-level layout, Layer being the third index when given.
std::string ArrayRows(const TVariant& V, const int* Layer, bool LineEndAfterMore) {
  const int Lo = VarArrayLowBound(V, 2);
  const int Hi = VarArrayHighBound(V, 2);
  const int64_t Last = std::min<int64_t>(Hi, int64_t{Lo} + kMaxRows - 1);
  std::string R;
  for (int64_t J = Lo; J <= Last; ++J) {
    const int Jx = static_cast<int>(J);
    R += (Layer != nullptr ? ArrayLine(V, {Jx, *Layer}) : ArrayLine(V, {Jx})) + kLineEnd;
  }
  if (Hi > Last) {
    R += " ......";
    if (LineEndAfterMore) R += kLineEnd;
  }
  return R;
}

std::string ArrayText(const TVariant& V) {
  const int Dims = VarArrayDimCount(V);
  std::string R = "Array";
  for (int D = 1; D <= Dims; ++D) {
    if (VarArrayHighBound(V, D) < 0) return "undefined array";
    R += "[" + std::to_string(VarArrayLowBound(V, D)) + "," +
         std::to_string(VarArrayHighBound(V, D)) + "]";
  }
  R += std::string(":") + kLineEnd;
  if (Dims == 1) return R + ArrayLine(V, {});
  if (Dims == 2) return R + ArrayRows(V, nullptr, false);
  const int Lo = VarArrayLowBound(V, 3);
  const int Hi = VarArrayHighBound(V, 3);
  const int64_t Last = std::min<int64_t>(Hi, int64_t{Lo} + kMaxLayers - 1);
  for (int64_t K = Lo; K <= Last; ++K) {
    const int Kx = static_cast<int>(K);
    R += "layer " + std::to_string(Kx) + ":" + kLineEnd + ArrayRows(V, &Kx, true);
  }
  if (Hi > Last) R += " ... more layers";
  return R;
}

} // namespace

std::string strff(long double x, int32_t Width, int32_t Decimals) {
  Width = std::clamp(Width, -kMaxWidth, kMaxWidth);
  const int32_t W = std::abs(Width);
  std::string S;
  if (Decimals == -2) {
    if (!std::isfinite(x)) {
      S.assign(static_cast<std::size_t>(std::max(W, 1)), '*');
    } else {
      // The scientific form ends with "E", the exponent's sign and four digits: keep the
      // last two digits, or show asterisks when the first two are needed.
      S = SciStr(x, W + 2);
      const std::size_t N = S.size();
      const bool Small = S[N - 4] == '0' && S[N - 3] == '0';
      S.erase(N - 4, 2);
      if (!Small) S.assign(S.size(), '*');
    }
  } else {
    S = FixedStr(x, W, Decimals);
  }
  if (Width < 0) {
    const std::size_t First = S.find_first_not_of(' ');
    if (First == std::string::npos) {
      std::fill(S.begin(), S.end(), '0');
    } else {
      std::fill(S.begin(), S.begin() + static_cast<std::ptrdiff_t>(First), '0');
      if (S[First] == '-') {
        S[First] = '0';
        S[0] = '-';
      }
    }
  }
  return S;
}

std::string strffForcePlus(long double x, int32_t Width, int32_t Decimals) {
  std::string S = strff(x, Width, Decimals);
  if (!(x >= 0)) return S;
  const std::size_t First = S.find_first_not_of(' ');
  if (First != 0 && !S.empty()) {
    S[(First == std::string::npos ? S.size() : First) - 1] = '+';
  } else if (S.size() >= 2 && S[0] == '0' && S[1] != '.') {
    S[0] = '+';
  } else {
    S.insert(0, 1, '+');
  }
  return S;
}

std::string FormatData(double x, int32_t Width, int32_t Decimals) {
  // The largest magnitude shown in the fixed form with d decimals.
  static constexpr double kLimit[9] = {999999999.0, 9999999.9,  999999.99,
                                       99999.999,   9999.9999,  999.99999,
                                       99.999999,   9.9999999,  0.99999999};
  static constexpr double kSmallest[9] = {1, 1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7, 1e-8};
  if (Decimals >= 0 && Decimals <= 8) {
    const double A = std::fabs(x);
    if (A <= kLimit[Decimals] && (x == 0 || A >= kSmallest[Decimals]))
      return FixedStr(x, Width, Decimals);
  }
  return strff(x, SaturatingCast<int32_t>(int64_t{Width} + 6.0), -2);
}

std::string SigDigStr(double x, int32_t Width, int32_t SigDigits, bool StripBlanks) {
  std::string S;
  if (x == 0) {
    // 0 with no significant digits has no decimal point.
    S = FixedStr(0, Width, std::max(SigDigits - 1, 0));
  } else {
    const int64_t E = Floor(static_cast<long double>(DecimalLog(x)) + 1);
    const int32_t SciWidth = static_cast<int32_t>(std::max<int64_t>(Width, int64_t{SigDigits} + 6));
    if (SigDigits < E) {
      S = Width - 1 < E ? strff(x, SciWidth, -2) : FixedStr(x, Width, 0);
    } else if (E < int64_t{SigDigits} - Width + 3) {
      S = strff(x, SciWidth, -2);
    } else {
      S = FixedStr(x, Width, static_cast<int>(std::min<int64_t>(SigDigits - E, kMaxWidth)));
    }
  }
  return StripBlanks ? StripLTBlanks(S) : S;
}

std::string AutoFormatData(double x, int32_t NDig, bool CommaSeparator) {
  NDig = std::clamp(NDig, 2, 16);
  std::string S;
  if (x == 0) {
    S = strff(0, 1, NDig - 1);
  } else {
    const double G = DecimalLog(x);
    if (NDig - 1 > G && G > -1)
      S = strff(x, 1, NDig - static_cast<int32_t>(Trunc(G)) - 1);
    else
      S = strff(x, NDig + 6, -2);
  }
  S = StripLTBlanks(S);
  if (CommaSeparator) std::replace(S.begin(), S.end(), '.', ',');
  return S;
}

std::string TimeString(double Seconds, uint8_t Mode) {
  if (!(Seconds > 0)) Seconds = 0;
  const int64_t H = Trunc(Seconds / 3600);
  const int64_t M = Trunc((Seconds - 3600.0 * static_cast<double>(H)) / 60);
  const int64_t S = Trunc(Seconds - 3600.0 * static_cast<double>(H) - 60.0 * static_cast<double>(M));
  const int64_t Hs = Trunc(Frac(Seconds) * 100);
  switch (Mode) {
    case 0:
      return TwoDigits(H, true) + ":" + TwoDigits(M, true) + ":" + TwoDigits(S, true) + "." +
             TwoDigits(Hs, true);
    case 1: return TwoDigits(H, true) + ":" + TwoDigits(M, true) + ":" + TwoDigits(S, true);
    case 2: return TwoDigits(H, false) + "h" + TwoDigits(M, true);
    case 3:
      return TwoDigits(H, false) + "h" + TwoDigits(M, true) + "'" + TwoDigits(S, true) + "\"";
    case 4: return TwoDigits(H, true) + ":" + TwoDigits(M, true);
    case 5: {
      const int64_t H12 = H == 0 ? 12 : (H > 12 ? H - 12 : H);
      return TwoDigits(H12, false) + ":" + TwoDigits(M, true) + (H < 12 ? "a" : "p");
    }
    default: return {};
  }
}

std::string BoolToStr(bool b, int32_t Mode) {
  static constexpr const char* kTexts[8][2] = {{"TRUE", "FALSE"}, {"T", "F"},   {".T.", ".F."},
                                               {"1", "0"},        {"-1", "0"},  {"FF", "00"},
                                               {"YES", "NO"},     {"GOOD", "BAD"}};
  const int32_t M = Mode >= 0 && Mode <= 7 ? Mode : 0;
  return kTexts[M][b ? 0 : 1];
}

std::string BinString(bool b, std::string_view TrueText, std::string_view FalseText) {
  return std::string(b ? TrueText : FalseText);
}

TTriState StrToTriState(std::string_view S) {
  const std::string T = LowerCase(StripLTBlanks(S));
  if (T == "true" || T == "1" || T == "+1" || T == "yes") return tsTrue;
  if (T == "false" || T == "-1" || T == "no") return tsFalse;
  return tsUndefined;
}

std::string TriStateToStr(TTriState t, int32_t Mode) {
  const int I = t == tsTrue ? 0 : (t == tsFalse ? 1 : 2);
  static constexpr const char* kTexts[3][3] = {
      {"true", "false", ""}, {"1", "-1", "0"}, {"yes", "no", "unknown"}};
  return kTexts[Mode == 1 || Mode == 2 ? Mode : 0][I];
}

std::string CreateParList(const TIntArray& Values, bool AppendComma, int32_t MaxItems,
                          bool Brackets) {
  return CreateParList(std::span<const int32_t>(Values), AppendComma, MaxItems, Brackets);
}

std::string CreateParList(std::span<const int32_t> Values, bool AppendComma, int32_t MaxItems,
                          bool Brackets) {
  return ParList(Values, AppendComma, MaxItems, Brackets,
                 [](int32_t V) { return std::to_string(V); });
}

std::string CreateParList(std::span<const bool> Values, bool AppendComma, int32_t MaxItems,
                          bool Brackets) {
  return ParList(Values, AppendComma, MaxItems, Brackets, [](bool V) { return BoolToStr(V, 0); });
}

std::string CreateParList(const TDoubleArray& Values, bool AppendComma, int32_t MaxItems,
                          int32_t NDig, bool Brackets) {
  return CreateParList(std::span<const double>(Values), AppendComma, MaxItems, NDig, Brackets);
}

std::string CreateParList(std::span<const double> Values, bool AppendComma, int32_t MaxItems,
                          int32_t NDig, bool Brackets) {
  return ParList(Values, AppendComma, MaxItems, Brackets,
                 [NDig](double V) { return AutoFormatData(V, NDig); });
}

std::string ConvertVariant(const TVariant& V) {
  if (V.IsArray()) return ArrayText(V);
  switch (V.VarType()) {
    case varEmpty:
    case varNull: return "NULL";
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varUInt64:
    case varString: return V.AsString();
    case varSingle:
    case varDouble: return strff(V.AsDouble(), 10, -2);
    case varBoolean: return V.AsBoolean() ? "TRUE" : "FALSE";
    default: return "(unknown type: " + std::to_string(V.VarType()) + ")";
  }
}

std::string ProcessHexChars(std::string_view S) {
  std::string R;
  R.reserve(S.size());
  for (std::size_t I = 0; I < S.size(); ++I) {
    if (S[I] == '\\' && I + 3 < S.size() && S[I + 1] == '#' &&
        IsHexChar(static_cast<unsigned char>(S[I + 2])) &&
        IsHexChar(static_cast<unsigned char>(S[I + 3]))) {
      std::size_t P = 1;
      AppendUtf8(R, ScanHexadecimal(S.substr(I + 2, 2), P));
      I += 3;
    } else if (S[I] == '\\' && I + 1 < S.size() && S[I + 1] == '\\') {
      R += '\\';
      ++I;
    } else {
      R += S[I];
    }
  }
  return R;
}

std::string MultiChar(char32_t C, int32_t Count) {
  const std::string One = Utf8Encode(C);
  std::string R;
  for (int32_t I = 0; I < std::clamp(Count, 1, 255); ++I) R += One;
  return R;
}

} // namespace zef
