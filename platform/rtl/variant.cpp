#include "rtl/variant.h"

#include "rtl/exceptions.h"
#include "rtl/numconv.h"
#include "rtl/strings.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace zef {

struct TVariant::TArray {
  std::vector<std::pair<int, int>> Bounds; // low and high bound of each dimension
  std::vector<TVariant> Elements;          // the first index varies fastest
};

namespace {

constexpr double TwoPow63 = 9223372036854775808.0;

// Rounds to the nearest integer, ties to even; false when the result leaves int64.
bool TryRoundToInt64(double X, int64_t& Value) {
  const double R = std::nearbyint(X);
  if (!(R >= -TwoPow63 && R < TwoPow63)) return false;
  Value = static_cast<int64_t>(R);
  return true;
}

// A scaled currency value rounded to an integer, ties to even.
int64_t RoundCurrency(int64_t Scaled) {
  int64_t Q = Scaled / 10000;
  const int64_t R = Scaled % 10000;
  if (R > 5000 || (R == 5000 && Q % 2 != 0)) ++Q;
  if (R < -5000 || (R == -5000 && Q % 2 != 0)) --Q;
  return Q;
}

std::string CurrencyText(int64_t Scaled) {
  const bool Negative = Scaled < 0;
  const uint64_t Abs = Negative ? 0 - static_cast<uint64_t>(Scaled) : static_cast<uint64_t>(Scaled);
  std::string S(Negative ? "-" : "");
  S += UIntToStr(Abs / 10000);
  if (const uint64_t Fraction = Abs % 10000; Fraction != 0) {
    std::string Digits = UIntToStr(Fraction);
    Digits.insert(0, 4 - Digits.size(), '0');
    Digits.erase(Digits.find_last_not_of('0') + 1);
    S += "." + Digits;
  }
  return S;
}

[[noreturn]] void RaiseBoundsError(const std::string& Detail) {
  throw ERangeError("Variant array bounds error: " + Detail);
}

} // namespace

// ---- Construction -------------------------------------------------------------------------

TVariant::TVariant() noexcept = default;
TVariant::TVariant(uint16_t Type, int64_t V) noexcept : FType(Type), FValue(V) {}
TVariant::TVariant(uint16_t Type, uint64_t V) noexcept : FType(Type), FValue(V) {}
TVariant::TVariant(uint16_t Type, TValue Value) noexcept : FType(Type), FValue(std::move(Value)) {}
TVariant::TVariant(bool V) : FType(varBoolean), FValue(int64_t(V ? 1 : 0)) {}
TVariant::TVariant(float V) : FType(varSingle), FValue(double(V)) {}
TVariant::TVariant(double V) : FType(varDouble), FValue(V) {}
TVariant::TVariant(long double V) : FType(varDouble), FValue(static_cast<double>(V)) {}
TVariant::TVariant(std::string V) : FType(varString), FValue(std::move(V)) {}
TVariant::TVariant(std::string_view V) : FType(varString), FValue(std::string(V)) {}
TVariant::TVariant(const char* V) : FType(varString), FValue(std::string(V ? V : "")) {}

TVariant::TVariant(const TVariant& Other) : FType(Other.FType) {
  std::visit(
      [this](const auto& X) {
        using T = std::decay_t<decltype(X)>;
        if constexpr (std::is_same_v<T, std::unique_ptr<TArray>>)
          FValue = std::make_unique<TArray>(*X);
        else
          FValue = X;
      },
      Other.FValue);
}

TVariant::TVariant(TVariant&& Other) noexcept
    : FType(std::exchange(Other.FType, varEmpty)),
      FValue(std::exchange(Other.FValue, std::monostate{})) {}

TVariant& TVariant::operator=(const TVariant& Other) {
  if (this != &Other) *this = TVariant(Other);
  return *this;
}

TVariant& TVariant::operator=(TVariant&& Other) noexcept {
  if (this != &Other) {
    FType = std::exchange(Other.FType, varEmpty);
    FValue = std::exchange(Other.FValue, std::monostate{});
  }
  return *this;
}

TVariant::~TVariant() = default;

TVariant TVariant::Null() { return TVariant(varNull, TValue()); }

TVariant TVariant::FromCurrency(double V) {
  const double Scaled = std::nearbyint(V * 10000.0);
  if (!(Scaled >= -TwoPow63 && Scaled < TwoPow63))
    throw ERangeError("Currency value out of range: " + FloatToStr(V));
  return TVariant(varCurrency, static_cast<int64_t>(Scaled));
}

TVariant TVariant::FromCurrencyScaled(int64_t Scaled) { return TVariant(varCurrency, Scaled); }

TVariant TVariant::FromDate(TDateTime V) { return TVariant(varDate, TValue(V)); }

// ---- Conversions --------------------------------------------------------------------------

void TVariant::RaiseConvertError(uint16_t Target) const {
  throw EConvertError("Could not convert variant of type (" + VarTypeAsText(FType) +
                      ") into type (" + VarTypeAsText(Target) + ")");
}

void TVariant::RaiseRangeError(uint16_t Target) const {
  throw ERangeError("Could not convert variant of type (" + VarTypeAsText(FType) + ") into type (" +
                    VarTypeAsText(Target) + "): value out of range");
}

int64_t TVariant::AsInt64() const {
  if (const auto* I = std::get_if<int64_t>(&FValue))
    return FType == varCurrency ? RoundCurrency(*I) : *I;
  if (const auto* U = std::get_if<uint64_t>(&FValue)) {
    if (*U > uint64_t(std::numeric_limits<int64_t>::max())) RaiseRangeError(varInt64);
    return static_cast<int64_t>(*U);
  }
  double D = 0;
  if (const auto* F = std::get_if<double>(&FValue)) {
    D = *F;
  } else if (const auto* S = std::get_if<std::string>(&FValue)) {
    int64_t R;
    if (TryStrToInt64(*S, R)) return R;
    D = StrToFloat(*S);
  } else if (FType == varEmpty) {
    return 0;
  } else {
    RaiseConvertError(varInt64);
  }
  int64_t R;
  if (!TryRoundToInt64(D, R)) RaiseRangeError(varInt64);
  return R;
}

int32_t TVariant::AsInteger() const {
  const int64_t V = AsInt64();
  if (V < std::numeric_limits<int32_t>::min() || V > std::numeric_limits<int32_t>::max())
    RaiseRangeError(varInteger);
  return static_cast<int32_t>(V);
}

double TVariant::AsDouble() const {
  if (const auto* I = std::get_if<int64_t>(&FValue))
    return FType == varCurrency ? static_cast<double>(*I) / 10000.0 : static_cast<double>(*I);
  if (const auto* U = std::get_if<uint64_t>(&FValue)) return static_cast<double>(*U);
  if (const auto* F = std::get_if<double>(&FValue)) return *F;
  if (const auto* S = std::get_if<std::string>(&FValue)) return StrToFloat(*S);
  if (FType != varEmpty) RaiseConvertError(varDouble);
  return 0;
}

int64_t TVariant::AsCurrencyScaled() const {
  constexpr int64_t Limit = std::numeric_limits<int64_t>::max() / 10000;
  if (const auto* I = std::get_if<int64_t>(&FValue)) {
    if (FType == varCurrency) return *I;
    if (*I > Limit || *I < -Limit) RaiseRangeError(varCurrency);
    return *I * 10000;
  }
  if (const auto* U = std::get_if<uint64_t>(&FValue)) {
    if (*U > uint64_t(Limit)) RaiseRangeError(varCurrency);
    return static_cast<int64_t>(*U) * 10000;
  }
  if (FType == varEmpty) return 0;
  if (!std::holds_alternative<double>(FValue) && !std::holds_alternative<std::string>(FValue))
    RaiseConvertError(varCurrency);
  int64_t R;
  if (!TryRoundToInt64(AsDouble() * 10000.0, R)) RaiseRangeError(varCurrency);
  return R;
}

bool TVariant::AsBoolean() const {
  if (const auto* I = std::get_if<int64_t>(&FValue)) return *I != 0;
  if (const auto* U = std::get_if<uint64_t>(&FValue)) return *U != 0;
  if (const auto* F = std::get_if<double>(&FValue)) return *F != 0;
  if (const auto* S = std::get_if<std::string>(&FValue)) {
    if (SameText(*S, "True")) return true;
    if (SameText(*S, "False")) return false;
    double D;
    if (!TryStrToFloat(*S, D)) RaiseConvertError(varBoolean);
    return D != 0;
  }
  if (FType != varEmpty) RaiseConvertError(varBoolean);
  return false;
}

std::string TVariant::AsString() const {
  switch (FType) {
    case varEmpty:
    case varNull: return "";
    case varBoolean: return std::get<int64_t>(FValue) != 0 ? "True" : "False";
    case varCurrency: return CurrencyText(std::get<int64_t>(FValue));
    case varSingle: return FloatToStrF(std::get<double>(FValue), ffGeneral, 7, 0);
    case varDouble: return FloatToStr(std::get<double>(FValue));
    case varDate: return DateTimeToStr(std::get<double>(FValue));
    case varString: return std::get<std::string>(FValue);
    default: break;
  }
  if (const auto* I = std::get_if<int64_t>(&FValue)) return IntToStr(*I);
  if (const auto* U = std::get_if<uint64_t>(&FValue)) return UIntToStr(*U);
  RaiseConvertError(varString);
}

// ---- Arrays -------------------------------------------------------------------------------

const TVariant::TArray& TVariant::ArrayData() const {
  return *std::get<std::unique_ptr<TArray>>(FValue);
}

std::size_t TVariant::ElementOffset(std::initializer_list<int> Indices) const {
  if (!IsArray()) RaiseBoundsError("the variant is not an array");
  const TArray& A = ArrayData();
  if (Indices.size() != A.Bounds.size())
    RaiseBoundsError(std::to_string(A.Bounds.size()) + " dimensions need as many indices, got " +
                     std::to_string(Indices.size()));
  int64_t Offset = 0, Stride = 1;
  std::size_t Dim = 0;
  for (const int Index : Indices) {
    const auto [Low, High] = A.Bounds[Dim++];
    if (Index < Low || Index > High)
      RaiseBoundsError("index " + std::to_string(Index) + " outside " + std::to_string(Low) + ".." +
                       std::to_string(High) + " in dimension " + std::to_string(Dim));
    Offset += (int64_t(Index) - Low) * Stride;
    Stride *= int64_t(High) - Low + 1;
  }
  return static_cast<std::size_t>(Offset);
}

const TVariant& TVariant::GetElement(std::initializer_list<int> Indices) const {
  const std::size_t Offset = ElementOffset(Indices);
  return ArrayData().Elements[Offset];
}

void TVariant::SetElement(std::initializer_list<int> Indices, TVariant Value) {
  const std::size_t Offset = ElementOffset(Indices);
  std::get<std::unique_ptr<TArray>>(FValue)->Elements[Offset] = std::move(Value);
}

bool TVariant::operator==(const TVariant& Other) const {
  if (FType != Other.FType) return false;
  return std::visit(
      [&Other](const auto& X) {
        using T = std::decay_t<decltype(X)>;
        const T& Y = std::get<T>(Other.FValue);
        if constexpr (std::is_same_v<T, std::unique_ptr<TArray>>)
          return X->Bounds == Y->Bounds && X->Elements == Y->Elements;
        else
          return X == Y;
      },
      FValue);
}

TVariant VarArrayCreate(std::initializer_list<int> Bounds) {
  if (Bounds.size() != 2 && Bounds.size() != 4 && Bounds.size() != 6)
    RaiseBoundsError("VarArrayCreate takes 2, 4 or 6 bounds, not " + std::to_string(Bounds.size()));
  auto A = std::make_unique<TVariant::TArray>();
  bool HasEmptyDimension = false;
  for (auto It = Bounds.begin(); It != Bounds.end(); It += 2) {
    A->Bounds.emplace_back(It[0], It[1]);
    HasEmptyDimension = HasEmptyDimension || It[1] < It[0];
  }
  int64_t Count = 0;
  if (!HasEmptyDimension) {
    Count = 1;
    for (const auto& [Low, High] : A->Bounds) {
      Count *= int64_t(High) - Low + 1; // at most 2^28 * 2^32: no overflow
      if (Count > MaxVarArrayElements)
        RaiseBoundsError("more than " + std::to_string(MaxVarArrayElements) + " elements");
    }
  }
  A->Elements.resize(static_cast<std::size_t>(Count));
  return TVariant(varArray | varVariant, TVariant::TValue(std::move(A)));
}

int VarArrayDimCount(const TVariant& V) noexcept {
  return V.IsArray() ? static_cast<int>(V.ArrayData().Bounds.size()) : 0;
}

namespace {

std::pair<int, int> DimBounds(const std::vector<std::pair<int, int>>& Bounds, int Dim) {
  if (Dim < 1 || Dim > static_cast<int>(Bounds.size()))
    RaiseBoundsError("dimension " + std::to_string(Dim) + " of " + std::to_string(Bounds.size()));
  return Bounds[static_cast<std::size_t>(Dim - 1)];
}

const std::vector<std::pair<int, int>> NoBounds;

} // namespace

int VarArrayLowBound(const TVariant& V, int Dim) {
  return DimBounds(V.IsArray() ? V.ArrayData().Bounds : NoBounds, Dim).first;
}

int VarArrayHighBound(const TVariant& V, int Dim) {
  return DimBounds(V.IsArray() ? V.ArrayData().Bounds : NoBounds, Dim).second;
}

std::string VarTypeAsText(uint16_t VarType) {
  if ((VarType & varArray) != 0) return "Array of " + VarTypeAsText(VarType & varTypeMask);
  switch (VarType) {
    case varEmpty: return "Empty";
    case varNull: return "Null";
    case varSmallint: return "Smallint";
    case varInteger: return "Integer";
    case varSingle: return "Single";
    case varDouble: return "Double";
    case varCurrency: return "Currency";
    case varDate: return "Date";
    case varBoolean: return "Boolean";
    case varVariant: return "Variant";
    case varShortInt: return "ShortInt";
    case varByte: return "Byte";
    case varWord: return "Word";
    case varLongWord: return "LongWord";
    case varInt64: return "Int64";
    case varUInt64: return "UInt64";
    case varString: return "String";
    default: return "Unknown (" + std::to_string(VarType) + ")";
  }
}

} // namespace zef
