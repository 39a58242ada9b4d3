// TClipboard: the system clipboard for text and pictures, served by the current host
// (the headless host keeps it in memory).
#pragma once

#include <cstdint>
#include <string>

#include "graphics/bitmap.h"

namespace zef {

// Clipboard formats for HasFormat.
constexpr uint16_t CF_TEXT = 1;
constexpr uint16_t CF_BITMAP = 2;

class TClipboard {
public:
  // The clipboard's text ("" when it holds none).
  std::string AsText() const;
  // Replaces the clipboard's contents with the text.
  void SetAsText(const std::string& Value);
  bool HasFormat(uint16_t Format) const;
  // Replaces the clipboard's contents with a copy of the picture.
  void Assign(const TBitmap& Source);
  // Copies the clipboard's picture into Target; false (Target untouched) when it holds none.
  bool GetBitmap(TBitmap& Target) const;
  void Clear();
};

// The clipboard of the process.
TClipboard& Clipboard();

} // namespace zef
