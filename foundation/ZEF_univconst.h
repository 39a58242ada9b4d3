// Universal numeric constants: mathematical constants, the limits of the floating-point
// types and their natural logarithms, and a table of ln(n!) for n = 0..1000.
// All constants are 80-bit extended (long double) unless stated otherwise.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

namespace zef {

inline constexpr long double uc_e = 2.718281828459045235360287L;
inline constexpr long double uc_etom1 = 0.3678794411714423215955238L;  // 1/e
inline constexpr long double uc_lg2 = 0.3010299956639811952137389L;    // log10 2
inline constexpr long double uc_lg5 = 0.6989700043360188047862611L;    // log10 5
inline constexpr long double uc_lge = 0.4342944819032518276511289L;    // log10 e
inline constexpr long double uc_lgPi = 0.4971498726941338543512683L;   // log10 pi
inline constexpr long double uc_ln10 = 2.302585092994045684017991L;
inline constexpr long double uc_ln2 = 0.6931471805599453094172321L;
inline constexpr long double uc_lnPi = 1.144729885849400174143427L;
inline constexpr long double uc_PiH = 1.570796326794896619231322L;     // pi/2
inline constexpr long double uc_PiSqr = 9.869604401089358618834491L;   // pi^2
inline constexpr long double uc_Pitom1 = 0.3183098861837906715377675L; // 1/pi
inline constexpr long double uc_sqrt2 = 1.414213562373095048801689L;
inline constexpr long double uc_sqrt2pi = 2.506628274631000502415765L;     // sqrt(2 pi)
inline constexpr long double uc_sqrt2pitom1 = 0.3989422804014326779399461L; // 1/sqrt(2 pi)
inline constexpr long double uc_GoldenR = 1.618033988749894848204587L;

// Limits of the 48-bit real, single, double and extended types (as the classic run-time
// states them; uc_MinExtended is the smallest positive extended value).
inline constexpr long double uc_MinReal = 2.9e-39L;
inline constexpr long double uc_MaxReal = 1.7e38L;
inline constexpr long double uc_MinSingle = 1.5e-45L;
inline constexpr long double uc_MaxSingle = 3.4e38L;
inline constexpr long double uc_MinDouble = 5.0e-324L;
inline constexpr long double uc_MaxDouble = 1.7e308L;
inline constexpr int64_t uc_MaxInt64 = 9223372036854775807LL;
inline constexpr long double uc_MinExtended = std::numeric_limits<long double>::denorm_min();
inline constexpr long double uc_MaxExtended = 1.1e4932L;

// Natural logarithms of the limits above.
inline constexpr long double uc_lnMinDouble = -744.4281322176367L;
inline constexpr long double uc_lnMaxDouble = 709.7268368932282L;
inline constexpr long double uc_lnMinExtended = -11398.81786156806L;
inline constexpr long double uc_lnMaxExtended = 11356.44498882644L;
inline constexpr long double uc_lnMaxInt64 = 43.66827237527655L;
inline constexpr long double uc_lnMinReal = -88.73610788977535L;
inline constexpr long double uc_lnMaxReal = 88.02886178483591L;
inline constexpr long double uc_lnMinSingle = -103.2108640766239L;
inline constexpr long double uc_lnMaxSingle = 88.72200896539585L;

// ln(n!) for n = 0..1000 as 64-bit floats, each rounded to 15 significant digits
// (entries 0 and 1 are 0).
extern const std::array<double, 1001> uc_LnFactorial;

} // namespace zef
