#include "ZEF_stringl.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace zef {
namespace {

struct TFormatCase {
  long double X;
  int32_t Width;
  int32_t Decimals;
  const char* Expected;
};

TEST(Strff, FixedScientificAndZeroPadded) {
  const TFormatCase Cases[] = {
      {123.4L, 12, -2, " 1.23400E+02"},
      {-123.4L, 12, -2, "-1.23400E+02"},
      {1.5e150L, 12, -2, "************"},  // a three-digit exponent does not fit
      {1e-100L, 10, -2, "**********"},
      {0, 10, -2, " 0.000E+00"},
      {-3.5L, -8, 2, "-0003.50"},
      {2.5L, -6, 1, "0002.5"},
      {2.5L, 6, 1, "   2.5"},
      {-2.5L, 2, 1, "-2.5"},  // the field grows
      {1234.5678L, 1, 2, "1234.57"},
      {7.9L, 5, 0, "    8"},
      {7.9L, 5, -1, "    8"},  // other negative decimals act as 0
      {123.4L, -12, -2, "01.23400E+02"},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(strff(C.X, C.Width, C.Decimals), C.Expected) << double(C.X) << " " << C.Width;
}

TEST(Strff, NonFiniteAndExtremeWidthsStayNumberTexts) {
  EXPECT_EQ(strff(std::numeric_limits<long double>::infinity(), 6, -2), "******");
  EXPECT_EQ(strff(std::numeric_limits<long double>::quiet_NaN(), 6, -2), "******");
  // Widths below 8 cannot hold the scientific form; the text is then longer than asked.
  EXPECT_EQ(strff(5, 4, -2), " 5.0E+00");
  EXPECT_EQ(strff(1, std::numeric_limits<int32_t>::min(), 0).size(), 65535u);
}

TEST(StrffForcePlus, PutsThePlusWhereTheSpaceIs) {
  const TFormatCase Cases[] = {
      {2.5L, 6, 1, "  +2.5"},  {2.5L, -6, 1, "+002.5"}, {-2.5L, 6, 1, "  -2.5"},
      {2.5L, 3, 1, "+2.5"},    {0.5L, -3, 1, "+0.5"},   {0, 1, 0, "+0"},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(strffForcePlus(C.X, C.Width, C.Decimals), C.Expected) << double(C.X) << " " << C.Width;
}

TEST(FormatData, SwitchesToScientificOutsideTheFixedRange) {
  EXPECT_EQ(FormatData(0, 8, 3), "   0.000");
  EXPECT_EQ(FormatData(0.0001, 8, 3), " 1.0000000E-04");  // below 10^-3
  EXPECT_EQ(FormatData(0.001, 8, 3), "   0.001");
  EXPECT_EQ(FormatData(99999.999, 10, 3), " 99999.999");
  EXPECT_EQ(FormatData(100000.0, 6, 3), " 1.00000E+05");  // above 99999.999
  EXPECT_EQ(FormatData(999999999.0, 1, 0), "999999999");
  EXPECT_EQ(FormatData(1e9, 6, 0), " 1.00000E+09");
  EXPECT_EQ(FormatData(12.5, 6, 9), " 1.25000E+01");  // decimals beyond 8
  EXPECT_EQ(FormatData(12.5, 6, -1), " 1.25000E+01");
}

TEST(SigDigStr, FixedOrScientificBySignificantDigits) {
  EXPECT_EQ(SigDigStr(0.5, 10, 3), "     0.500");
  EXPECT_EQ(SigDigStr(123456, 10, 3), "    123456");
  EXPECT_EQ(SigDigStr(123456, 4, 3), " 1.23E+05");        // the integer part does not fit
  EXPECT_EQ(SigDigStr(0.000123, 8, 3), " 1.23E-04");      // too many leading zeros
  EXPECT_EQ(SigDigStr(1000, 10, 3), "      1000");        // exact power of ten
  EXPECT_EQ(SigDigStr(12.3456, 10, 4), "     12.35");
  EXPECT_EQ(SigDigStr(0, 6, 3), "  0.00");
  EXPECT_EQ(SigDigStr(0.5, 10, 3, true), "0.500");
}

TEST(SigDigStr, ZeroWithoutSignificantDigitsHasNoDecimalPoint) {
  EXPECT_EQ(SigDigStr(0, 5, 0), "    0");
  EXPECT_EQ(SigDigStr(0, 1, 0), "0");
  EXPECT_EQ(SigDigStr(0, 3, -4), "  0");
}

TEST(AutoFormatData, SignificantDigitsAndTheScientificSwitch) {
  EXPECT_EQ(AutoFormatData(123.456, 5), "123.46");
  EXPECT_EQ(AutoFormatData(0.5, 5), "0.5000");
  EXPECT_EQ(AutoFormatData(0.05, 5), "5.0000E-02");
  EXPECT_EQ(AutoFormatData(0, 3), "0.00");
  EXPECT_EQ(AutoFormatData(1000, 5), "1000.0");  // log10 of a power of ten is exact
  EXPECT_EQ(AutoFormatData(123456, 5), "1.2346E+05");
  EXPECT_EQ(AutoFormatData(-2.5, 1), "-2.5");    // NDig clamped to 2
  EXPECT_EQ(AutoFormatData(2.5, 3, true), "2,50");
}

TEST(TimeString, EveryMode) {
  EXPECT_EQ(TimeString(3725.5, 0), "01:02:05.50");
  EXPECT_EQ(TimeString(-5, 1), "00:00:00");
  EXPECT_EQ(TimeString(3723, 2), " 1h02");
  EXPECT_EQ(TimeString(3723, 3), " 1h02'03\"");
  EXPECT_EQ(TimeString(3723, 4), "01:02");
  EXPECT_EQ(TimeString(13 * 3600 + 300, 5), " 1:05p");
  EXPECT_EQ(TimeString(300, 5), "12:05a");
  EXPECT_EQ(TimeString(12 * 3600, 5), "12:00p");
  EXPECT_EQ(TimeString(360000, 1), "100:00:00");  // hours in full
  EXPECT_EQ(TimeString(10, 6), "");
  EXPECT_EQ(TimeString(std::numeric_limits<double>::quiet_NaN(), 1), "00:00:00");
}

TEST(BooleanAndTriStateWords, Tables) {
  const std::array<std::pair<const char*, const char*>, 9> Words = {{{"TRUE", "FALSE"},
                                                                     {"T", "F"},
                                                                     {".T.", ".F."},
                                                                     {"1", "0"},
                                                                     {"-1", "0"},
                                                                     {"FF", "00"},
                                                                     {"YES", "NO"},
                                                                     {"GOOD", "BAD"},
                                                                     {"TRUE", "FALSE"}}};
  for (int M = 0; M < 9; ++M) {
    EXPECT_EQ(BoolToStr(true, M), Words[M].first) << M;
    EXPECT_EQ(BoolToStr(false, M), Words[M].second) << M;
  }
  EXPECT_EQ(BoolToStr(true, -3), "TRUE");
  EXPECT_EQ(BinString(false, "on", "off"), "off");

  EXPECT_EQ(StrToTriState(" Yes "), tsTrue);
  EXPECT_EQ(StrToTriState("+1"), tsTrue);
  EXPECT_EQ(StrToTriState("FALSE"), tsFalse);
  EXPECT_EQ(StrToTriState("-1"), tsFalse);
  EXPECT_EQ(StrToTriState("maybe"), tsUndefined);
  EXPECT_EQ(StrToTriState(""), tsUndefined);
  EXPECT_EQ(TriStateToStr(tsFalse, 1), "-1");
  EXPECT_EQ(TriStateToStr(tsUndefined, 1), "0");
  EXPECT_EQ(TriStateToStr(tsUndefined, 2), "unknown");
  EXPECT_EQ(TriStateToStr(tsTrue, 7), "true");
  EXPECT_EQ(TriStateToStr(tsUndefined, 0), "");
}

TEST(CreateParList, BracketsLimitsAndEmptyLists) {
  const TIntArray Ints = {1, 2, 3};
  EXPECT_EQ(CreateParList(Ints, false, 2, true), "[1,2,...]");
  EXPECT_EQ(CreateParList(Ints, false, 0, true), "[1,2,3]");
  EXPECT_EQ(CreateParList(Ints, true, 5, false), "1,2,3,");
  EXPECT_EQ(CreateParList(Ints, false, 1, false), "1,...");
  EXPECT_EQ(CreateParList(TIntArray{}, false, 0, true), "[]");
  EXPECT_EQ(CreateParList(TIntArray{}, false, 0, false), "");
  EXPECT_EQ(CreateParList(TIntArray{}, true, 0, false), ",");
  const std::array<int32_t, 2> Open = {-4, 7};
  EXPECT_EQ(CreateParList(Open, false, 0, true), "[-4,7]");
  const std::array<bool, 2> Bools = {true, false};
  EXPECT_EQ(CreateParList(Bools, false, 0, true), "[TRUE,FALSE]");
  const TDoubleArray Doubles = {0.5, 123.456};
  EXPECT_EQ(CreateParList(Doubles, false, 0, 5, true), "[0.5000,123.46]");
  const std::array<double, 3> OpenD = {1, 2, 3};
  EXPECT_EQ(CreateParList(OpenD, false, 2, 3, false), "1.00,2.00,...");
}

TEST(ConvertVariant, SingleValues) {
  EXPECT_EQ(ConvertVariant(TVariant()), "NULL");
  EXPECT_EQ(ConvertVariant(TVariant::Null()), "NULL");
  EXPECT_EQ(ConvertVariant(TVariant(int32_t{-42})), "-42");
  EXPECT_EQ(ConvertVariant(TVariant(uint8_t{200})), "200");
  EXPECT_EQ(ConvertVariant(TVariant(int64_t{1} << 40)), "1099511627776");
  EXPECT_EQ(ConvertVariant(TVariant(123.4)), " 1.234E+02");
  EXPECT_EQ(ConvertVariant(TVariant(true)), "TRUE");
  EXPECT_EQ(ConvertVariant(TVariant("abc")), "abc");
  EXPECT_EQ(ConvertVariant(TVariant::FromDate(1.0)), "(unknown type: 7)");
}

TEST(ConvertVariant, ArraysOfOneToThreeDimensions) {
  TVariant A = VarArrayCreate({0, 2});
  for (int I = 0; I <= 2; ++I) A.SetElement({I}, TVariant(int32_t{I * 10}));
  EXPECT_EQ(ConvertVariant(A), "Array[0,2]:\r\n0,10,20");

  TVariant Long = VarArrayCreate({1, 14});
  for (int I = 1; I <= 14; ++I) Long.SetElement({I}, TVariant(int32_t{I}));
  EXPECT_EQ(ConvertVariant(Long), "Array[1,14]:\r\n1,2,3,4,5,6,7,8,9,10,11,12...");

  TVariant M = VarArrayCreate({1, 2, 1, 11});
  for (int I = 1; I <= 2; ++I)
    for (int J = 1; J <= 11; ++J) M.SetElement({I, J}, TVariant(int32_t{J}));
  std::string Expected = "Array[1,2][1,11]:\r\n";
  for (int J = 1; J <= 10; ++J) Expected += std::to_string(J) + "," + std::to_string(J) + "\r\n";
  Expected += " ......";
  EXPECT_EQ(ConvertVariant(M), Expected);

  TVariant C = VarArrayCreate({0, 0, 0, 0, 0, 3});
  for (int K = 0; K <= 3; ++K) C.SetElement({0, 0, K}, TVariant(int32_t{K}));
  EXPECT_EQ(ConvertVariant(C), "Array[0,0][0,0][0,3]:\r\nlayer 0:\r\n0\r\nlayer 1:\r\n1\r\n"
                               "layer 2:\r\n2\r\n ... more layers");

  EXPECT_EQ(ConvertVariant(VarArrayCreate({0, -1})), "undefined array");
}

TEST(ProcessHexChars, EscapesLeftToRight) {
  EXPECT_EQ(ProcessHexChars("a\\#41b"), "aAb");
  EXPECT_EQ(ProcessHexChars("a\\\\b"), "a\\b");
  EXPECT_EQ(ProcessHexChars("\\\\#41"), "\\#41");  // the doubled backslash is resolved first
  EXPECT_EQ(ProcessHexChars("\\#4"), "\\#4");
  EXPECT_EQ(ProcessHexChars("\\#zz\\n"), "\\#zz\\n");
  EXPECT_EQ(ProcessHexChars("end\\"), "end\\");
  EXPECT_EQ(ProcessHexChars("\\#e9"), "\u00e9");
}

TEST(MultiChar, CountIsClamped) {
  EXPECT_EQ(MultiChar('x', 3), "xxx");
  EXPECT_EQ(MultiChar('x', 0), "x");
  EXPECT_EQ(MultiChar('x', -7), "x");
  EXPECT_EQ(MultiChar('-', 1000).size(), 255u);
  EXPECT_EQ(MultiChar(U'\u00e4', 2), "\u00e4\u00e4");
}

} // namespace
} // namespace zef
