// Small value types shared by every layer: integer points, rectangles and sizes, and an
// array indexed from a fixed lower bound.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>

namespace zef {

// Horizontal text alignment.
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int32_t cx = 0;
  int32_t cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// A rectangle with exclusive right and bottom edges.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  TPoint TopLeft() const { return {Left, Top}; }
  TPoint BottomRight() const { return {Right, Bottom}; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(int32_t X, int32_t Y) { return {X, Y}; }
inline TRect Rect(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
  return {Left, Top, Right, Bottom};
}
inline TRect Bounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height) {
  return {Left, Top, Left + Width, Top + Height};
}
inline bool PtInRect(const TRect& R, TPoint P) {
  return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

// A fixed array indexed Lo..Hi, for tables whose natural index does not start at 0
// (months 1..12, character codes 160..255).
template <class T, int Lo, int Hi>
struct TOffsetArray {
  static_assert(Hi >= Lo);
  std::array<T, Hi - Lo + 1> Items;

  static constexpr int Low() { return Lo; }
  static constexpr int High() { return Hi; }
  constexpr const T& operator[](int I) const {
    assert(I >= Lo && I <= Hi);
    return Items[static_cast<std::size_t>(I - Lo)];
  }
  constexpr T& operator[](int I) {
    assert(I >= Lo && I <= Hi);
    return Items[static_cast<std::size_t>(I - Lo)];
  }
};

} // namespace zef
