// For resource generator programs: collects bitmaps and cursors drawn with the canvas and
// writes them as a C++ source file that registers them under their names when the library
// that compiles it is loaded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/bitmap.h"

namespace zef {

class TResourceWriter {
public:
  void AddBitmap(const std::string& Name, const TBitmap& Bitmap);
  // Pixels of TransparentColor are not drawn; (HotX, HotY) is the pointer's tip.
  void AddCursor(const std::string& Name, const TBitmap& Bitmap, int32_t HotX, int32_t HotY,
                 TColor TransparentColor);
  // Writes the source file; raises the stream's error when it cannot be written.
  void Write(const std::string& FileName) const;

private:
  struct TItem {
    std::string Name;
    int32_t Width, Height;
    std::vector<uint32_t> Pixels;
    bool IsCursor;
    int32_t HotX, HotY;
    uint32_t Transparent;
  };
  std::vector<TItem> FItems;
};

} // namespace zef
