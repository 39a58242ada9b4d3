// Numbers to text and text to numbers. Everything here is locale-free: the decimal
// separator is always "." and no thousands separator is read.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace zef {

// ---- Fixed and scientific forms -----------------------------------------------------------

// Fixed form F(x, w, d): x rounded to d decimals (d <= 0 gives no decimal point), right-aligned
// with blanks in a field of w characters that grows when the number needs more. NaN and the
// infinities give "Nan", "+Inf" and "-Inf", right-aligned. A result whose digits are all zero
// carries no minus sign.
std::string FixedStr(long double X, int Width, int Decimals);
// Scientific form E(x, w): a blank (x >= 0) or "-", one digit, ".", w - 9 digits (at least 1),
// "E", the exponent's sign and four exponent digits: E(123.4, 14) = " 1.23400E+0002".
std::string SciStr(long double X, int Width);

// ---- Integers -----------------------------------------------------------------------------

std::string IntToStr(int64_t Value);
std::string UIntToStr(uint64_t Value);
// Upper-case hexadecimal with at least Digits digits (negative values as two's complement).
std::string IntToHex(int64_t Value, int Digits = 1);

// ---- Floating point -----------------------------------------------------------------------

enum TFloatFormat : uint8_t { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// General format with 15 significant digits: fixed notation when the value has at most 15
// digits before the point and is at least 1e-5 in magnitude, otherwise scientific with the
// shortest exponent ("1.5E20", "1E-10"); trailing zeros are removed.
std::string FloatToStr(long double Value);
// Precision is the number of significant digits (ffGeneral, ffExponent) and Digits the
// number of decimals (ffFixed, ffNumber, ffCurrency) or the minimum number of exponent
// digits (ffGeneral, ffExponent). ffNumber groups thousands with ","; ffCurrency is ffNumber
// preceded by "$".
std::string FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits);

// ---- Format -------------------------------------------------------------------------------

// One argument of Format: an integer, an unsigned integer, a floating-point value or a text.
struct TFormatArg {
  std::variant<int64_t, uint64_t, long double, std::string> Value;
  TFormatArg(int V) : Value(int64_t(V)) {}
  TFormatArg(long V) : Value(int64_t(V)) {}
  TFormatArg(long long V) : Value(int64_t(V)) {}
  TFormatArg(unsigned V) : Value(uint64_t(V)) {}
  TFormatArg(unsigned long V) : Value(uint64_t(V)) {}
  TFormatArg(unsigned long long V) : Value(uint64_t(V)) {}
  TFormatArg(double V) : Value(static_cast<long double>(V)) {}
  TFormatArg(long double V) : Value(V) {}
  TFormatArg(const char* V) : Value(std::string(V)) {}
  TFormatArg(std::string V) : Value(std::move(V)) {}
  TFormatArg(std::string_view V) : Value(std::string(V)) {}
};

// The classic format routine: "%" ["-"] [width] ["." precision] type, width and precision
// also as "*" (taken from the arguments), and "%%". Types: d (integer; precision = minimum
// digits), u (unsigned), x (hexadecimal, upper case; precision = minimum digits; a negative value within
// 32 bits shows as its 32-bit two's complement, so %x of -1 is "FFFFFFFF"), s (text;
// precision = maximum length), f (fixed; precision = decimals, default 2), e (scientific
// "d.dddE+ddd"; precision = significant digits, default 15), g (general; precision =
// significant digits, default 15), n (as f with thousands separators). A "-" left-aligns in
// the width. A missing or mismatched argument raises EConvertError.
std::string Format(std::string_view Fmt, std::initializer_list<TFormatArg> Args);

// ---- Text to numbers ----------------------------------------------------------------------
// Grammar of a float: [blanks] [sign] digits ["." [digits]] [("e"|"E") [sign] digits] [blanks],
// or with the digits only after the point (".5"). No "nan", "inf", hexadecimal or locale
// forms. Integers: [blanks] [sign] digits [blanks], decimal only, within the target's range.

bool TryStrToFloat(std::string_view S, double& Value);
bool TryStrToFloat(std::string_view S, long double& Value);
double StrToFloat(std::string_view S);            // raises EConvertError
double StrToFloatDef(std::string_view S, double Default);
bool TryStrToInt(std::string_view S, int32_t& Value);
int32_t StrToInt(std::string_view S);             // raises EConvertError
int32_t StrToIntDef(std::string_view S, int32_t Default);
bool TryStrToInt64(std::string_view S, int64_t& Value);
int64_t StrToInt64(std::string_view S);           // raises EConvertError
int64_t StrToInt64Def(std::string_view S, int64_t Default);

// Val: converts S, with leading blanks allowed but nothing after the number. Code is 0 on
// success, otherwise the 1-based position of the first character that does not fit
// (the length + 1 when the text ends too early); Value is then 0.
void Val(std::string_view S, double& Value, int& Code);
void Val(std::string_view S, long double& Value, int& Code);
void Val(std::string_view S, int32_t& Value, int& Code);
void Val(std::string_view S, int64_t& Value, int& Code);

} // namespace zef
