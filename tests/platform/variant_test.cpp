#include "rtl/variant.h"

#include "rtl/exceptions.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace zef {
namespace {

template <class E> std::string MessageOf(auto&& Fn) {
  try {
    Fn();
  } catch (const E& X) {
    return X.Message();
  }
  return "(no exception)";
}

TEST(Variant, TypeCodeOfEachConstructor) {
  const struct {
    TVariant V;
    uint16_t Code;
  } Cases[] = {
      {TVariant(), varEmpty},
      {TVariant::Null(), varNull},
      {TVariant(int16_t(-3)), varSmallint},
      {TVariant(int32_t(-3)), varInteger},
      {TVariant(int8_t(-3)), varShortInt},
      {TVariant(uint8_t(3)), varByte},
      {TVariant(uint16_t(3)), varWord},
      {TVariant(uint32_t(3)), varLongWord},
      {TVariant(int64_t(-3)), varInt64},
      {TVariant(3LL), varInt64},
      {TVariant(uint64_t(3)), varUInt64},
      {TVariant(1.5f), varSingle},
      {TVariant(1.5), varDouble},
      {TVariant(1.5L), varDouble},
      {TVariant(true), varBoolean},
      {TVariant(std::string("x")), varString},
      {TVariant("x"), varString},
      {TVariant(std::string_view("x")), varString},
      {TVariant::FromCurrency(1.5), varCurrency},
      {TVariant::FromDate(45000.5), varDate},
      {VarArrayCreate({0, 1}), varArray | varVariant},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(C.V.VarType(), C.Code) << VarTypeAsText(C.Code);
    EXPECT_EQ(C.V.IsEmpty(), C.Code == varEmpty);
    EXPECT_EQ(C.V.IsNull(), C.Code == varNull);
    EXPECT_EQ(C.V.IsArray(), (C.Code & varArray) != 0);
  }
  TVariant V = 7;
  EXPECT_EQ(V.VarType(), varInteger);
  V = "text";
  EXPECT_EQ(V.VarType(), varString);
  V = 2.0;
  EXPECT_EQ(V.VarType(), varDouble);
}

TEST(Variant, ConversionsOfScalars) {
  const struct {
    TVariant V;
    int64_t Int;
    double Dbl;
    const char* Str;
    bool Bool;
  } Cases[] = {
      {TVariant(), 0, 0.0, "", false},
      {TVariant(int32_t(-7)), -7, -7.0, "-7", true},
      {TVariant(uint8_t(200)), 200, 200.0, "200", true},
      {TVariant(int64_t(INT64_MIN)), INT64_MIN, -9223372036854775808.0, "-9223372036854775808",
       true},
      {TVariant(2.5), 2, 2.5, "2.5", true}, // ties to even
      {TVariant(3.5), 4, 3.5, "3.5", true},
      {TVariant(-2.5), -2, -2.5, "-2.5", true},
      {TVariant(0.0), 0, 0.0, "0", false},
      {TVariant(0.1f), 0, double(0.1f), "0.1", true},
      {TVariant(true), 1, 1.0, "True", true},
      {TVariant(false), 0, 0.0, "False", false},
      {TVariant::FromCurrency(12.5), 12, 12.5, "12.5", true},
      {TVariant::FromCurrency(13.5), 14, 13.5, "13.5", true},
      {TVariant::FromCurrency(-1234.5678), -1235, -1234.5678, "-1234.5678", true},
      {TVariant::FromCurrencyScaled(-1), 0, -0.0001, "-0.0001", true},
      {TVariant("42"), 42, 42.0, "42", true},
      {TVariant(" 3.7 "), 4, 3.7, " 3.7 ", true},
      {TVariant("0"), 0, 0.0, "0", false},
      {TVariant::FromDate(EncodeDateTime(2024, 3, 5, 18, 0, 0, 0)), 45357, 45356.75,
       "2024-03-05 18:00:00", true},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Str);
    EXPECT_EQ(C.V.AsInt64(), C.Int);
    EXPECT_DOUBLE_EQ(C.V.AsDouble(), C.Dbl);
    EXPECT_EQ(C.V.AsString(), C.Str);
    EXPECT_EQ(C.V.AsBoolean(), C.Bool);
  }
  EXPECT_EQ(TVariant(uint64_t(UINT64_MAX)).AsString(), "18446744073709551615");
  EXPECT_EQ(TVariant("TRUE").AsBoolean(), true);
  EXPECT_EQ(TVariant("false").AsBoolean(), false);
  EXPECT_EQ(TVariant::FromCurrency(0.1).AsCurrencyScaled(), 1000);
  EXPECT_EQ(TVariant(int32_t(-3)).AsCurrencyScaled(), -30000);
  EXPECT_EQ(TVariant("1.23456").AsCurrencyScaled(), 12346);
  EXPECT_EQ(TVariant::FromCurrency(100000000000000.0).AsString(), "100000000000000");
}

TEST(Variant, ConversionErrors) {
  const TVariant Null = TVariant::Null();
  EXPECT_EQ(MessageOf<EConvertError>([&] { Null.AsDouble(); }),
            "Could not convert variant of type (Null) into type (Double)");
  EXPECT_EQ(MessageOf<EConvertError>([&] { Null.AsInt64(); }),
            "Could not convert variant of type (Null) into type (Int64)");
  EXPECT_EQ(MessageOf<EConvertError>([&] { Null.AsBoolean(); }),
            "Could not convert variant of type (Null) into type (Boolean)");
  EXPECT_THROW(Null.AsInteger(), EConvertError);
  EXPECT_THROW(Null.AsCurrencyScaled(), EConvertError);
  EXPECT_EQ(Null.AsString(), "");

  for (const char* Bad : {"abc", "", "1,5", "nan", "0x10"}) {
    SCOPED_TRACE(Bad);
    EXPECT_THROW(TVariant(Bad).AsInt64(), EConvertError);
    EXPECT_THROW(TVariant(Bad).AsDouble(), EConvertError);
    EXPECT_THROW(TVariant(Bad).AsBoolean(), EConvertError);
  }

  EXPECT_EQ(MessageOf<ERangeError>([] { TVariant(uint64_t(UINT64_MAX)).AsInt64(); }),
            "Could not convert variant of type (UInt64) into type (Int64): value out of range");
  EXPECT_THROW(TVariant(1e300).AsInt64(), ERangeError);
  EXPECT_THROW(TVariant(std::nan("")).AsInt64(), ERangeError);
  EXPECT_THROW(TVariant("1e30").AsInt64(), ERangeError);
  EXPECT_THROW(TVariant(int64_t(1) << 40).AsInteger(), ERangeError);
  EXPECT_EQ(TVariant(int64_t(INT32_MIN)).AsInteger(), INT32_MIN);
  EXPECT_THROW(TVariant(int64_t(INT64_MAX)).AsCurrencyScaled(), ERangeError);
  EXPECT_THROW(TVariant::FromCurrency(1e15), ERangeError);

  const TVariant A = VarArrayCreate({0, 1});
  EXPECT_EQ(MessageOf<EConvertError>([&] { A.AsString(); }),
            "Could not convert variant of type (Array of Variant) into type (String)");
  EXPECT_THROW(A.AsDouble(), EConvertError);
}

// Fills every element with a value derived from its indices and reads them all back, so
// that two index tuples sharing a slot would show.
TEST(VariantArray, ElementsRoundTripInOneToThreeDimensions) {
  TVariant A1 = VarArrayCreate({-2, 3});
  EXPECT_EQ(VarArrayDimCount(A1), 1);
  EXPECT_EQ(VarArrayLowBound(A1, 1), -2);
  EXPECT_EQ(VarArrayHighBound(A1, 1), 3);
  EXPECT_TRUE(A1.GetElement({-2}).IsEmpty());
  for (int I = -2; I <= 3; ++I) A1.SetElement({I}, "e" + std::to_string(I));
  for (int I = -2; I <= 3; ++I) EXPECT_EQ(A1.GetElement({I}).AsString(), "e" + std::to_string(I));

  TVariant A2 = VarArrayCreate({1, 3, 0, 1});
  EXPECT_EQ(VarArrayDimCount(A2), 2);
  EXPECT_EQ(VarArrayLowBound(A2, 2), 0);
  EXPECT_EQ(VarArrayHighBound(A2, 2), 1);
  for (int I = 1; I <= 3; ++I)
    for (int J = 0; J <= 1; ++J) A2.SetElement({I, J}, int32_t(I * 10 + J));
  for (int I = 1; I <= 3; ++I)
    for (int J = 0; J <= 1; ++J) EXPECT_EQ(A2.GetElement({I, J}).AsInteger(), I * 10 + J);

  TVariant A3 = VarArrayCreate({0, 1, 5, 7, -1, 0});
  EXPECT_EQ(VarArrayDimCount(A3), 3);
  for (int I = 0; I <= 1; ++I)
    for (int J = 5; J <= 7; ++J)
      for (int K = -1; K <= 0; ++K) A3.SetElement({I, J, K}, int32_t(I * 100 + J * 10 + K));
  for (int I = 0; I <= 1; ++I)
    for (int J = 5; J <= 7; ++J)
      for (int K = -1; K <= 0; ++K)
        EXPECT_EQ(A3.GetElement({I, J, K}).AsInteger(), I * 100 + J * 10 + K);
}

TEST(VariantArray, BadIndicesAndDimensionsRaise) {
  TVariant A = VarArrayCreate({1, 3, 0, 1});
  const std::vector<std::vector<int>> Bad = {{0, 0}, {4, 0}, {1, -1}, {1, 2}, {1}, {1, 0, 0}};
  for (const auto& B : Bad) {
    SCOPED_TRACE(B.size());
    if (B.size() == 1) {
      EXPECT_THROW(A.GetElement({B[0]}), ERangeError);
    } else if (B.size() == 2) {
      EXPECT_THROW(A.GetElement({B[0], B[1]}), ERangeError);
      EXPECT_THROW(A.SetElement({B[0], B[1]}, 1), ERangeError);
    } else {
      EXPECT_THROW(A.GetElement({B[0], B[1], B[2]}), ERangeError);
    }
  }
  EXPECT_EQ(MessageOf<ERangeError>([&] {
              A.GetElement({4, 0});
            }),
            "Variant array bounds error: index 4 outside 1..3 in dimension 1");
  for (int Dim : {0, 3, -1}) {
    EXPECT_THROW(VarArrayLowBound(A, Dim), ERangeError);
    EXPECT_THROW(VarArrayHighBound(A, Dim), ERangeError);
  }
  const TVariant Scalar = 5;
  EXPECT_EQ(VarArrayDimCount(Scalar), 0);
  EXPECT_THROW(VarArrayLowBound(Scalar, 1), ERangeError);
  EXPECT_THROW(Scalar.GetElement({0}), ERangeError);
}

TEST(VariantArray, CreationLimits) {
  EXPECT_THROW(VarArrayCreate({}), ERangeError);
  EXPECT_THROW(VarArrayCreate({1}), ERangeError);
  EXPECT_THROW(VarArrayCreate({0, 1, 0}), ERangeError);
  EXPECT_THROW(VarArrayCreate({0, 1, 0, 1, 0, 1, 0, 1}), ERangeError);
  EXPECT_THROW(VarArrayCreate({INT_MIN, INT_MAX}), ERangeError);
  EXPECT_THROW(VarArrayCreate({0, 1 << 14, 0, 1 << 14}), ERangeError);
  EXPECT_THROW(VarArrayCreate({0, INT_MAX, 0, INT_MAX, 0, INT_MAX}), ERangeError);

  // A high bound below the low bound: no elements, bounds still reported.
  const TVariant E = VarArrayCreate({5, 4});
  EXPECT_EQ(VarArrayDimCount(E), 1);
  EXPECT_EQ(VarArrayLowBound(E, 1), 5);
  EXPECT_EQ(VarArrayHighBound(E, 1), 4);
  EXPECT_THROW(E.GetElement({5}), ERangeError);
  EXPECT_THROW(E.GetElement({4}), ERangeError);
  const TVariant E2 = VarArrayCreate({0, INT_MAX, 3, 2, 0, INT_MAX});
  EXPECT_EQ(VarArrayDimCount(E2), 3);
  EXPECT_THROW(E2.GetElement({0, 3, 0}), ERangeError);
}

TEST(VariantArray, CopiesAreDeepAndCompareByValue) {
  TVariant Inner = VarArrayCreate({0, 1});
  Inner.SetElement({0}, 1.5);
  TVariant A = VarArrayCreate({0, 2});
  A.SetElement({0}, Inner);
  A.SetElement({1}, "b");

  TVariant B = A;
  EXPECT_TRUE(B == A);
  TVariant Nested = B.GetElement({0});
  Nested.SetElement({0}, 2.5);
  B.SetElement({0}, Nested);
  EXPECT_EQ(A.GetElement({0}).GetElement({0}).AsDouble(), 1.5);
  EXPECT_FALSE(B == A);

  TVariant C;
  C = A;
  EXPECT_TRUE(C == A);
  C.SetElement({1}, "c");
  EXPECT_EQ(A.GetElement({1}).AsString(), "b");

  TVariant Moved = std::move(C);
  EXPECT_TRUE(C.IsEmpty());
  EXPECT_EQ(Moved.GetElement({1}).AsString(), "c");

  EXPECT_FALSE(VarArrayCreate({0, 1}) == VarArrayCreate({1, 2}));
  EXPECT_TRUE(VarArrayCreate({0, 1}) == VarArrayCreate({0, 1}));
}

TEST(Variant, EqualityNeedsTheSameType) {
  EXPECT_TRUE(TVariant(int32_t(5)) == TVariant(int32_t(5)));
  EXPECT_FALSE(TVariant(int32_t(5)) == TVariant(int16_t(5)));
  EXPECT_FALSE(TVariant(int32_t(5)) == TVariant(int32_t(6)));
  EXPECT_TRUE(TVariant("a") == TVariant(std::string("a")));
  EXPECT_FALSE(TVariant("a") == TVariant("A"));
  EXPECT_TRUE(TVariant::Null() == TVariant::Null());
  EXPECT_FALSE(TVariant::Null() == TVariant());
  EXPECT_FALSE(TVariant(std::nan("")) == TVariant(std::nan("")));
  EXPECT_FALSE(TVariant(1.0) == TVariant::FromDate(1.0));
  EXPECT_TRUE(TVariant::FromCurrency(1.25) == TVariant::FromCurrencyScaled(12500));
}

} // namespace
} // namespace zef
