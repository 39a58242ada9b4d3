// Scale arithmetic, angle text, small text scanners, random values, swaps, distances in the
// plane and sorting of short arrays.
//
// Contents
//   1. Scale arithmetic         4. Numbers: sign, integer part, random values, swaps
//   2. Angles as text           5. Distances in the plane
//   3. Scanning text            6. Sorting arrays and fixed-length sorted lists
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "rtl/datetime.h"

namespace zef {

// ---- 1. Scale arithmetic ------------------------------------------------------------------

// The ticks of an axis from Low to High (either order) with at least NTicks labelled ticks
// (NTicks below 1 counts as 1). TickDist is the largest step of the 1-2-5 series (..., 0.1,
// 0.2, 0.5, 1, 2, 5, 10, ...) not above |High - Low| / NTicks, with the sign of High - Low;
// FirstTick is the first multiple of the step at or beyond Low in the direction of High (a
// multiple within 1e-9 steps of Low counts as Low; one within 1e-9 steps of 0 is exactly 0);
// SubTicks is the number of short-tick intervals per labelled interval: 5 for a step of
// 1 * 10^k, 4 for 2 * 10^k and 5 for 5 * 10^k. An empty or non-finite range gives
// TickDist 0 ("draw nothing"), FirstTick = Low and SubTicks 1.
// Examples: 0..1 with 3 ticks gives 0, 0.2, ..., 1; 0..7 gives 0, 2, 4, 6; -3.3..12.8 gives
// 0, 5, 10; 1..0 gives 1, 0.8, ..., 0 (TickDist -0.2).
void CalcScalePars(int32_t NTicks, long double Low, long double High, long double& FirstTick,
                   long double& TickDist, uint16_t& SubTicks);

// X rounded to the nearest value of the 1-2-5 series (..., 0.5, 1, 2, 5, 10, 20, ...),
// nearest on a logarithmic scale: the boundaries lie at sqrt(2), sqrt(10) and sqrt(50) times
// a power of ten (1.4 gives 1, 1.5 gives 2, 3.1 gives 2, 3.2 gives 5, 7 gives 5, 7.1 gives
// 10). The sign is kept; 0 and non-finite values give 0; near the largest double the next
// lower series value is taken where the nearest would overflow.
double Round125(double X);

// ---- 2. Angles as text --------------------------------------------------------------------

// An angle in degrees as text. Format is the ordinal of TDegreeFormat:
//   0 dfDeg        "47.50°"        degrees with Decimals decimals
//   1 dfDegMin     "47°30.0'"      whole degrees, minutes with Decimals decimals
//   2 dfDegMinSec  "47°30'07.5\""  whole degrees and minutes, seconds with Decimals decimals
//   3 dfNumeric    "47.500"        the number alone
// (other values give the dfNumeric form). Decimals is clamped to 0..10. The last field is
// rounded and carries over ("47°59.96'" with one decimal reads "48°00.0'"); minutes and
// seconds have two integer digits. A negative angle that does not round to zero starts with
// "-". The degree sign is U+00B0 in UTF-8. NaN and the infinities give "Nan", "+Inf", "-Inf".
std::string DegreeToStr(double Angle, int32_t Format, int32_t Decimals);

// ---- 3. Scanning text ---------------------------------------------------------------------

// A date and time read from Text by the pattern Format. Letters of the pattern are fields:
// y or Y year, m month, d or D day, h or H hour, M, n or N minute, s or S second, z or Z
// millisecond; a run of one letter reads exactly as many digits as the run is long ("yyyy"
// four digits, "mm" two). A two-digit year means 2000..2049 for 00..49 and 1950..1999 for
// 50..99. Every other pattern character skips one character of Text. Fields the pattern lacks
// are taken from 1899-12-30 00:00:00.000, so a pattern of time fields gives the time of day.
// The result is 0 when Text is shorter than the pattern, a digit is missing, or a field is
// out of its range (month 1..12, a day of that month, hour 0..23, minute and second 0..59).
// All fields are numeric, so Language (the ordinal of TLanguage) does not change the result.
// Example: ScanDateTime("20240229134501", "yyyymmddHHMMSS") is 2024-02-29 13:45:01.
TDateTime ScanDateTime(std::string_view Text, std::string_view Format, int32_t Language = 0);

// A hexadecimal number: leading blanks, an optional "$", "0x" or "0X", then the hexadecimal
// digits up to the first other character. No digits give 0. The value is taken modulo 2^64
// and returned as that 64-bit pattern ("FFFFFFFF" gives 4294967295).
int64_t ScanHex(std::string_view Text);

// A decimal integer read from Text at the 1-based position Index: blanks, an optional sign,
// digits. On success Index moves to the character behind the last digit and the value is
// returned (saturated at the limits of int64); without digits Index stays and the result is 0.
int64_t ScanDecimal(std::string_view Text, int32_t& Index);

// Upper-case hexadecimal text of at least Digits digits. A negative value within the 32-bit
// range is shown as its 32-bit two's complement (-1 gives "FFFFFFFF"), other negative values
// as 64-bit ones.
std::string Hex(int64_t Value, int32_t Digits);

// Whether Text, apart from leading and trailing blanks, is an optional sign followed by
// decimal digits whose value fits a signed 32-bit integer.
bool IsValidDecInt(std::string_view Text);

// ---- 4. Numbers ---------------------------------------------------------------------------

// The largest whole number not above X (rounding toward minus infinity), as a double:
// IntNeg(2.7) = 2, IntNeg(-2.3) = -3, IntNeg(-2) = -2. NaN and the infinities come back.
double IntNeg(double X);
// -1, 0 or 1 by the sign of X (NaN gives 0).
int32_t Signum(long double X);

// True with probability Probability, drawn from the platform's generator (rtl/mathfn.h):
// never for 0 or less, always for 1 or more.
bool BRandom(double Probability);
// A normally distributed value with the given mean and standard deviation, drawn from the
// platform's generator.
double GRandom(double Mean = 0, double StdDev = 1);

// Swaps two numbers (doubles, extended floats or integers).
template <class T>
  requires std::is_arithmetic_v<T>
void ExChange(T& A, T& B) noexcept {
  std::swap(A, B);
}

// ---- 5. Distances in the plane ------------------------------------------------------------
// Plain Euclidean distances in the units of the arguments (not squared).

// From (X, Y) to the segment (X1, Y1)-(X2, Y2); a segment of length 0 is its point.
double DistanceToSegment(double X, double Y, double X1, double Y1, double X2, double Y2);
// From (X, Y) to the axis-parallel rectangle with the corners (X1, Y1) and (X2, Y2) in any
// order; 0 inside the rectangle and on its border.
double DistFromRect(double X, double Y, double X1, double Y1, double X2, double Y2);
// From (X, Y) to the outline of the axis-parallel ellipse with the given centre and half axes
// (their signs are ignored): also from inside, the distance to the nearest point of the curve
// (the centre of a 5 x 3 ellipse is 3 away). A half axis of 0 makes the ellipse a segment
// along the other axis, both 0 a point. Accurate to about 1e-12 relative.
double DistFromEllipse(double X, double Y, double CenterX, double CenterY, double HalfAxisX,
                       double HalfAxisY);

// ---- 6. Sorting arrays and fixed-length sorted lists --------------------------------------

// Sorts Values ascending or descending (stably; NaN values last). The form that also gives
// the permutation is in ZEF_openarrays.h.
void SortArray(bool Ascending, std::span<double> Values);
void SortArray(bool Ascending, std::span<int32_t> Values);

// Inserts NewValue into Values, a list of fixed length kept sorted ascending (Ascending) or
// descending: the entries from its slot on move one place on and the last entry drops out.
// With AfterEquals a value equal to entries already listed goes behind them (the earlier
// entries keep their places); otherwise in front of them. Returns the 0-based slot, or -1
// when NewValue does not enter the list (it belongs behind the last entry) or is NaN.
// Example: keeping the six smallest distances, nearest first, starting from six large values.
int32_t SortIntoArray(std::span<double> Values, double NewValue, bool Ascending,
                      bool AfterEquals);
int32_t SortIntoArray(std::span<int32_t> Values, int32_t NewValue, bool Ascending,
                      bool AfterEquals);

// Puts NewValue into the 0-based Slot of Values, moving the entries from there one place on
// and dropping the last one: the companion of SortIntoArray for a second list kept in step.
// A Slot outside the list does nothing.
void InsertIntoArray(std::span<int32_t> Values, int32_t NewValue, int32_t Slot);
void InsertIntoArray(std::span<double> Values, double NewValue, int32_t Slot);

} // namespace zef
