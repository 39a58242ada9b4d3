#include "controls/clipboard.h"

#include "host/host.h"

namespace zef {

std::string TClipboard::AsText() const { return Host().ClipboardText(); }

void TClipboard::SetAsText(const std::string& Value) { Host().SetClipboardText(Value); }

bool TClipboard::HasFormat(uint16_t Format) const {
  if (Format == CF_TEXT) return !Host().ClipboardText().empty();
  if (Format == CF_BITMAP) {
    TBitmap Probe;
    return Host().ClipboardBitmap(Probe);
  }
  return false;
}

void TClipboard::Assign(const TBitmap& Source) { Host().SetClipboardBitmap(Source); }

bool TClipboard::GetBitmap(TBitmap& Target) const { return Host().ClipboardBitmap(Target); }

void TClipboard::Clear() { Host().SetClipboardText(""); }

TClipboard& Clipboard() {
  static TClipboard C;
  return C;
}

} // namespace zef
