// Builds image files byte by byte, for tests and fuzz seeds that need files our own writers
// never produce (other header kinds, bit depths, compressions).
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace zef::test {

// Appends V as Bytes little-endian bytes.
inline void Le(std::string& S, uint32_t V, int Bytes) {
  for (int I = 0; I < Bytes; ++I) S += static_cast<char>((V >> (8 * I)) & 0xFF);
}


// A BMP file: an info header of HeaderSize bytes (12 is the core header), masks placed
// after the first 40 header bytes, a palette of $00RRGGBB entries and the pixel data.
inline std::string Bmp(uint32_t HeaderSize, int32_t W, int32_t H, int Bits, uint32_t Compression,
                const std::vector<uint32_t>& Palette, const std::vector<uint32_t>& Masks,
                const std::string& Data) {
  std::string Info;
  Le(Info, HeaderSize, 4);
  if (HeaderSize == 12) {
    Le(Info, static_cast<uint32_t>(W), 2);
    Le(Info, static_cast<uint32_t>(H), 2);
    Le(Info, 1, 2);
    Le(Info, static_cast<uint32_t>(Bits), 2);
  } else {
    Le(Info, static_cast<uint32_t>(W), 4);
    Le(Info, static_cast<uint32_t>(H), 4);
    Le(Info, 1, 2);
    Le(Info, static_cast<uint32_t>(Bits), 2);
    Le(Info, Compression, 4);
    Le(Info, static_cast<uint32_t>(Data.size()), 4);
    Le(Info, 2835, 4);
    Le(Info, 2835, 4);
    Le(Info, static_cast<uint32_t>(Palette.size()), 4);
    Le(Info, 0, 4);
    for (uint32_t M : Masks) Le(Info, M, 4);
    if (HeaderSize > 40) Info.resize(std::max<std::size_t>(HeaderSize, 40), '\0');
  }
  std::string Pal;
  for (uint32_t C : Palette) Le(Pal, C, HeaderSize == 12 ? 3 : 4);
  std::string F = "BM";
  Le(F, static_cast<uint32_t>(14 + Info.size() + Pal.size() + Data.size()), 4);
  Le(F, 0, 4);
  Le(F, static_cast<uint32_t>(14 + Info.size() + Pal.size()), 4);
  return F + Info + Pal + Data;
}

} // namespace zef::test
