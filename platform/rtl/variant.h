// Variants: a value tagged with one of the classic variant type codes, and variant arrays
// of one to three dimensions whose elements are variants.
//
// Conversions are locale-free. Empty converts to 0, False and ""; Null converts to text
// only (as "") and raises EConvertError for every other target. Text converts to numbers
// by the grammar of StrToInt64/StrToFloat. A number that does not fit the target raises
// ERangeError.
#pragma once

#include "rtl/datetime.h"

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace zef {

// ---- Type codes ---------------------------------------------------------------------------

inline constexpr uint16_t varEmpty = 0;
inline constexpr uint16_t varNull = 1;
inline constexpr uint16_t varSmallint = 2; // int16_t
inline constexpr uint16_t varInteger = 3;  // int32_t
inline constexpr uint16_t varSingle = 4;   // float
inline constexpr uint16_t varDouble = 5;   // double
inline constexpr uint16_t varCurrency = 6; // int64_t holding the value times 10000
inline constexpr uint16_t varDate = 7;     // TDateTime
inline constexpr uint16_t varBoolean = 11;
inline constexpr uint16_t varVariant = 12;  // the element type of variant arrays
inline constexpr uint16_t varShortInt = 16; // int8_t
inline constexpr uint16_t varByte = 17;     // uint8_t
inline constexpr uint16_t varWord = 18;     // uint16_t
inline constexpr uint16_t varLongWord = 19; // uint32_t
inline constexpr uint16_t varInt64 = 20;
inline constexpr uint16_t varUInt64 = 21;
inline constexpr uint16_t varString = 258; // UTF-8 text
inline constexpr uint16_t varArray = 0x2000;
inline constexpr uint16_t varTypeMask = 0x0FFF;

// The most elements a variant array may have.
inline constexpr int64_t MaxVarArrayElements = int64_t(1) << 28;

// Integer types other than bool, which a TVariant takes by size and signedness.
template <class T>
concept VariantIntegral = std::integral<T> && !std::same_as<T, bool>;

// ---- TVariant -----------------------------------------------------------------------------

class TVariant {
public:
  // Empty.
  TVariant() noexcept;
  // Integers take the code of their size and signedness: int8_t varShortInt, int16_t
  // varSmallint, int32_t varInteger, int64_t varInt64, uint8_t varByte, uint16_t varWord,
  // uint32_t varLongWord, uint64_t varUInt64.
  template <VariantIntegral T> TVariant(T V) : TVariant(IntegerCode<T>(), StoredInteger(V)) {}
  TVariant(bool V);
  TVariant(float V);
  TVariant(double V);
  // Rounded to double.
  TVariant(long double V);
  TVariant(std::string V);
  TVariant(std::string_view V);
  TVariant(const char* V);
  // Copies deep-copy arrays.
  TVariant(const TVariant& Other);
  TVariant(TVariant&& Other) noexcept;
  TVariant& operator=(const TVariant& Other);
  TVariant& operator=(TVariant&& Other) noexcept;
  ~TVariant();

  static TVariant Null();
  // Rounds to four decimals (ties to even); ERangeError beyond the range of the scaled
  // 64-bit integer (about +-9.2e14).
  static TVariant FromCurrency(double V);
  // Currency from its stored form, the value times 10000.
  static TVariant FromCurrencyScaled(int64_t Scaled);
  static TVariant FromDate(TDateTime V);

  // The type code; arrays give varArray | varVariant.
  uint16_t VarType() const noexcept { return FType; }
  bool IsEmpty() const noexcept { return FType == varEmpty; }
  bool IsNull() const noexcept { return FType == varNull; }
  bool IsArray() const noexcept { return (FType & varArray) != 0; }

  // Floating-point values and text holding a fraction round to the nearest integer, ties
  // to even. True converts to 1.
  int64_t AsInt64() const;
  int32_t AsInteger() const;
  double AsDouble() const;
  // The value times 10000, as a currency variant stores it.
  int64_t AsCurrencyScaled() const;
  // Numbers are true when not zero; text is "True" or "False" in any case, or a number.
  bool AsBoolean() const;
  // Integers in decimal, Double and Date values by FloatToStr and DateTimeToStr, Single by
  // 7 significant digits, Currency with up to four decimals, Booleans as "True"/"False",
  // Empty and Null as "".
  std::string AsString() const;

  // Element access of a variant array: one index per dimension, each within its bounds;
  // ERangeError otherwise (also when the variant is no array).
  const TVariant& GetElement(std::initializer_list<int> Indices) const;
  void SetElement(std::initializer_list<int> Indices, TVariant Value);

  // Same type code and same value (element by element for arrays); 5 as varInteger and 5
  // as varSmallint differ.
  bool operator==(const TVariant& Other) const;

  friend TVariant VarArrayCreate(std::initializer_list<int> Bounds);
  friend int VarArrayDimCount(const TVariant& V) noexcept;
  friend int VarArrayLowBound(const TVariant& V, int Dim);
  friend int VarArrayHighBound(const TVariant& V, int Dim);

private:
  struct TArray;
  using TValue =
      std::variant<std::monostate, int64_t, uint64_t, double, std::string, std::unique_ptr<TArray>>;

  template <class T> static constexpr auto StoredInteger(T V) {
    return std::conditional_t<std::is_signed_v<T>, int64_t, uint64_t>(V);
  }
  template <class T> static constexpr uint16_t IntegerCode() {
    constexpr bool S = std::is_signed_v<T>;
    if constexpr (sizeof(T) == 1)
      return S ? varShortInt : varByte;
    else if constexpr (sizeof(T) == 2)
      return S ? varSmallint : varWord;
    else if constexpr (sizeof(T) == 4)
      return S ? varInteger : varLongWord;
    else
      return S ? varInt64 : varUInt64;
  }
  TVariant(uint16_t Type, int64_t V) noexcept;
  TVariant(uint16_t Type, uint64_t V) noexcept;
  TVariant(uint16_t Type, TValue Value) noexcept;

  const TArray& ArrayData() const;
  std::size_t ElementOffset(std::initializer_list<int> Indices) const;
  [[noreturn]] void RaiseConvertError(uint16_t Target) const;
  [[noreturn]] void RaiseRangeError(uint16_t Target) const;

  uint16_t FType = varEmpty;
  TValue FValue;
};

// ---- Variant arrays -----------------------------------------------------------------------

// An array of 1 to 3 dimensions from its bounds lo1, hi1 [, lo2, hi2 [, lo3, hi3]], every
// element empty. A high bound below its low bound gives a dimension without elements.
// ERangeError for another number of bounds or more than MaxVarArrayElements elements.
TVariant VarArrayCreate(std::initializer_list<int> Bounds);
// 0 for a variant that is no array.
int VarArrayDimCount(const TVariant& V) noexcept;
// Bounds of dimension Dim (1-based); ERangeError for a dimension the array lacks.
int VarArrayLowBound(const TVariant& V, int Dim);
int VarArrayHighBound(const TVariant& V, int Dim);

// The name of a type code as error messages show it: "Integer", "String", "Array of Variant".
std::string VarTypeAsText(uint16_t VarType);

} // namespace zef
