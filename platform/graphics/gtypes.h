// The basic graphics value types: colours, pen styles and font styles.
#pragma once

#include <cstdint>

namespace zef {

// A colour as $00BBGGRR; $FF0000nn are system colours (resolved by ColorToRGB).
using TColor = uint32_t;

enum TPenStyle : uint8_t {
  psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame
};

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

} // namespace zef
