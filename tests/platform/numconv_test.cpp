#include "rtl/numconv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "rtl/exceptions.h"

namespace zef {
namespace {

TEST(FixedForm, Table) {
  struct Case { long double X; int W, D; const char* Out; };
  const Case Cases[] = {
      {2.5L, 6, 1, "   2.5"},
      {-3.5L, 8, 2, "   -3.50"},
      {123.456L, 1, 2, "123.46"},
      {123.456L, 0, 0, "123"},
      {0.5L, 3, 0, "  0"},           // ties go to the even neighbour
      {1.5L, 3, 0, "  2"},
      {-0.04L, 5, 1, "  0.0"},       // no minus sign on a zero result
      {-0.0L, 4, 2, "0.00"},
      {1e20L, 2, 1, "100000000000000000000.0"},
      {0.000123L, 10, 6, "  0.000123"},
      {5L, 4, -3, "   5"},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(FixedStr(C.X, C.W, C.D), C.Out) << static_cast<double>(C.X) << " " << C.W << " " << C.D;
  EXPECT_EQ(FixedStr(std::numeric_limits<long double>::quiet_NaN(), 5, 1), "  Nan");
  EXPECT_EQ(FixedStr(-std::numeric_limits<long double>::infinity(), 5, 1), " -Inf");
  EXPECT_EQ(FixedStr(0x1p13000L, 0, 0).size(), 3914u);  // 2^13000 has 3914 digits
}

TEST(ScientificForm, Table) {
  struct Case { long double X; int W; const char* Out; };
  const Case Cases[] = {
      {123.4L, 14, " 1.23400E+0002"},
      {-123.4L, 14, "-1.23400E+0002"},
      {0, 12, " 0.000E+0000"},
      {1.5e150L, 14, " 1.50000E+0150"},
      {9.999995e-5L, 13, " 1.0000E-0004"},  // rounding carries into the exponent
      {1e-4000L, 12, " 1.000E-4000"},
      {2.5L, 5, " 2.5E+0000"},              // fewer than one decimal: one decimal kept
  };
  for (const auto& C : Cases) EXPECT_EQ(SciStr(C.X, C.W), C.Out) << static_cast<double>(C.X);
}

TEST(IntegerText, DecimalAndHex) {
  EXPECT_EQ(IntToStr(-9223372036854775807LL - 1), "-9223372036854775808");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0xABCDEF, 2), "ABCDEF");
  EXPECT_EQ(IntToHex(-1, 1), "FFFFFFFFFFFFFFFF");
}

TEST(FloatText, GeneralFormWithFifteenDigits) {
  struct Case { long double X; const char* Out; };
  const Case Cases[] = {
      {0, "0"}, {1, "1"}, {-2.5L, "-2.5"}, {0.1L, "0.1"}, {1.0L / 3, "0.333333333333333"},
      {123456789012345.0L, "123456789012345"}, {1234567890123456.0L, "1.23456789012346E15"},
      {1e-5L, "0.00001"}, {1.5e-6L, "1.5E-6"}, {1.5e20L, "1.5E20"}, {100, "100"},
      {std::numeric_limits<long double>::infinity(), "INF"},
  };
  for (const auto& C : Cases) EXPECT_EQ(FloatToStr(C.X), C.Out);
}

TEST(FloatText, FloatToStrFFormats) {
  EXPECT_EQ(FloatToStrF(1234.5678L, ffFixed, 15, 2), "1234.57");
  EXPECT_EQ(FloatToStrF(1234567.891L, ffNumber, 15, 2), "1,234,567.89");
  EXPECT_EQ(FloatToStrF(-1234.5L, ffNumber, 15, 0), "-1,234");  // tie to even
  EXPECT_EQ(FloatToStrF(-1234.5L, ffCurrency, 15, 2), "-$1,234.50");
  EXPECT_EQ(FloatToStrF(1234.5678L, ffExponent, 4, 2), "1.235E+03");
  EXPECT_EQ(FloatToStrF(-0.00012L, ffExponent, 3, 0), "-1.20E-4");
  EXPECT_EQ(FloatToStrF(1234.5678L, ffGeneral, 3, 0), "1.23E3");
  EXPECT_EQ(FloatToStrF(1e10L, ffFixed, 5, 2), "1.0000E+010");  // too many integer digits
}

TEST(FormatRoutine, Conversions) {
  struct Case { const char* Fmt; std::initializer_list<TFormatArg> Args; const char* Out; };
  const Case Cases[] = {
      {"%d items", {42}, "42 items"},
      {"[%5d|%-5d|%.3d]", {7, 7, -7}, "[    7|7    |-007]"},
      {"%*d", {4, 1}, "   1"},
      {"%u %x %.4x", {-1, 255, 10}, "4294967295 FF 000A"},
      {"%s/%.2s/%5s", {"ab", "abcdef", "x"}, "ab/ab/    x"},
      {"%f %.1f %.0f", {2.0, 2.25, 2.5}, "2.00 2.2 2"},
      {"%e", {123.4}, "1.23400000000000E+002"},
      {"%.3e", {-0.001}, "-1.00E-003"},
      {"%g %g", {0.5, 1e20}, "0.5 1E20"},
      {"%n", {1234567.5}, "1,234,567.50"},
      {"100%% %s", {"done"}, "100% done"},
      {"%8.*f", {3, 3.14159}, "   3.142"},
  };
  for (const auto& C : Cases) EXPECT_EQ(Format(C.Fmt, C.Args), C.Out) << C.Fmt;
}

TEST(FormatRoutine, BadFormatsRaise) {
  EXPECT_THROW(Format("%d", {}), EConvertError);
  EXPECT_THROW(Format("%d", {"text"}), EConvertError);
  EXPECT_THROW(Format("%s", {1}), EConvertError);
  EXPECT_THROW(Format("%q", {1}), EConvertError);
  EXPECT_THROW(Format("%5", {1}), EConvertError);
}

TEST(Parsing, FloatGrammarIsStrict) {
  struct Case { const char* In; bool Ok; double Value; };
  const Case Cases[] = {
      {"1.5", true, 1.5},      {"  -2.5e3 ", true, -2500},  {"+.5", true, 0.5},
      {"5.", true, 5},         {"1E-2", true, 0.01},        {"0", true, 0},
      {"1e-400", true, 0},     {"4.9e-324", true, 4.9e-324},
      {"nan", false, 0},       {"inf", false, 0},           {"Infinity", false, 0},
      {"0x10", false, 0},      {"1e", false, 0},            {"1e+", false, 0},
      {".", false, 0},         {"", false, 0},              {"1.5abc", false, 0},
      {"1,5", false, 0},       {"1 5", false, 0},           {"--1", false, 0},
      {"1e400", false, 0},
  };
  for (const auto& C : Cases) {
    double V = -99;
    EXPECT_EQ(TryStrToFloat(C.In, V), C.Ok) << C.In;
    if (C.Ok) {
      EXPECT_EQ(V, C.Value) << C.In;
    } else {
      EXPECT_THROW(StrToFloat(C.In), EConvertError) << C.In;
    }
  }
  EXPECT_EQ(StrToFloatDef("x", 7.5), 7.5);
  try {
    StrToFloat("1e");
    FAIL();
  } catch (const EConvertError& E) {
    EXPECT_EQ(E.Message(), "'1e' is not a valid floating point value");
  }
  long double L;
  ASSERT_TRUE(TryStrToFloat("1.5e4000", L));
  EXPECT_EQ(L, 1.5e4000L);
}

TEST(Parsing, IntegersCheckRangeAndDigits) {
  struct Case { const char* In; bool Ok; int32_t Value; };
  const Case Cases[] = {
      {"42", true, 42},          {" -17 ", true, -17},       {"+5", true, 5},
      {"2147483647", true, 2147483647}, {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0},  {"0x10", false, 0},         {"$10", false, 0},
      {"1.0", false, 0},         {"", false, 0},             {"-", false, 0},
      {"12abc", false, 0},
  };
  for (const auto& C : Cases) {
    int32_t V = -99;
    EXPECT_EQ(TryStrToInt(C.In, V), C.Ok) << C.In;
    if (C.Ok) {
      EXPECT_EQ(V, C.Value) << C.In;
    }
  }
  EXPECT_THROW(StrToInt("abc"), EConvertError);
  EXPECT_EQ(StrToIntDef("abc", -1), -1);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
  EXPECT_THROW(StrToInt64("99999999999999999999999"), EConvertError);
}

TEST(Parsing, ValReportsTheErrorPosition) {
  struct Case { const char* In; int Code; double Value; };
  const Case Cases[] = {
      {"12.5", 0, 12.5}, {"  3", 0, 3}, {"12x", 3, 0}, {"1e", 3, 0}, {"", 1, 0},
      {"abc", 1, 0},     {"1.5 ", 4, 0}, {"-", 2, 0},
  };
  for (const auto& C : Cases) {
    double V = -1;
    int Code = -1;
    Val(C.In, V, Code);
    EXPECT_EQ(Code, C.Code) << C.In;
    EXPECT_EQ(V, C.Value) << C.In;
  }
  int32_t I = -1;
  int Code = -1;
  Val("99999999999", I, Code);
  EXPECT_EQ(Code, 11);
  Val("123", I, Code);
  EXPECT_EQ(Code, 0);
  EXPECT_EQ(I, 123);
}

} // namespace
} // namespace zef
