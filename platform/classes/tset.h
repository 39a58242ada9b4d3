// TSet: a set of values of an unscoped enumeration, kept as a bit set. It stands for the
// classic "set of TEnum": membership, union, difference, intersection and subset tests.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

#include "rtl/exceptions.h"

namespace zef {

// A set over the values 0..Bits-1 of the enumeration E. Bits defaults to 256, enough for
// any uint8_t enumeration; a small enumeration passes its value count to stay one word.
// Including a value outside 0..Bits-1 raises ERangeError; such a value is never contained.
template <class E, std::size_t Bits = 256>
class TSet {
  static_assert(std::is_enum_v<E>, "TSet needs an enumeration");
  static_assert(Bits > 0 && Bits <= 256, "TSet holds at most 256 values");

public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> Items) {
    for (E Item : Items) Include(Item);
  }

  constexpr bool Contains(E Item) const {
    const std::size_t I = BitIndex(Item);
    return I < Bits && ((FWords[I / 64] >> (I % 64)) & 1U) != 0;
  }
  constexpr TSet& Include(E Item) {
    const std::size_t I = BitIndex(Item);
    if (I >= Bits) throw ERangeError("Set element out of range");
    FWords[I / 64] |= uint64_t{1} << (I % 64);
    return *this;
  }
  constexpr TSet& Exclude(E Item) {
    const std::size_t I = BitIndex(Item);
    if (I < Bits) FWords[I / 64] &= ~(uint64_t{1} << (I % 64));
    return *this;
  }

  constexpr bool Empty() const {
    for (uint64_t W : FWords)
      if (W != 0) return false;
    return true;
  }
  // Number of values in the set.
  constexpr int Count() const {
    int N = 0;
    for (uint64_t W : FWords) N += std::popcount(W);
    return N;
  }

  constexpr TSet& operator+=(const TSet& Other) {
    for (std::size_t I = 0; I < Words; ++I) FWords[I] |= Other.FWords[I];
    return *this;
  }
  constexpr TSet& operator-=(const TSet& Other) {
    for (std::size_t I = 0; I < Words; ++I) FWords[I] &= ~Other.FWords[I];
    return *this;
  }
  constexpr TSet& operator*=(const TSet& Other) {
    for (std::size_t I = 0; I < Words; ++I) FWords[I] &= Other.FWords[I];
    return *this;
  }
  friend constexpr TSet operator+(TSet A, const TSet& B) { return A += B; }
  friend constexpr TSet operator-(TSet A, const TSet& B) { return A -= B; }
  friend constexpr TSet operator*(TSet A, const TSet& B) { return A *= B; }

  friend constexpr bool operator==(const TSet& A, const TSet& B) = default;
  // Subset and superset.
  friend constexpr bool operator<=(const TSet& A, const TSet& B) { return (A - B).Empty(); }
  friend constexpr bool operator>=(const TSet& A, const TSet& B) { return B <= A; }

private:
  static constexpr std::size_t Words = (Bits + 63) / 64;

  // Negative values of a signed enumeration map past the end and so are out of range.
  static constexpr std::size_t BitIndex(E Item) {
    const auto V = static_cast<std::underlying_type_t<E>>(Item);
    if constexpr (std::is_signed_v<decltype(V)>) {
      if (V < 0) return Bits;
    }
    return static_cast<std::size_t>(V);
  }

  std::array<uint64_t, Words> FWords{};
};

} // namespace zef
