#include "graphics/resgen.h"

#include <cstdio>

#include "rtl/streams.h"

namespace zef {

void TResourceWriter::AddBitmap(const std::string& Name, const TBitmap& Bitmap) {
  FItems.push_back({Name, Bitmap.Width(), Bitmap.Height(),
                    std::vector<uint32_t>(Bitmap.Bits(), Bitmap.Bits() + Bitmap.Width() * Bitmap.Height()),
                    false, 0, 0, 0});
}

void TResourceWriter::AddCursor(const std::string& Name, const TBitmap& Bitmap, int32_t HotX, int32_t HotY,
                                TColor TransparentColor) {
  AddBitmap(Name, Bitmap);
  FItems.back().IsCursor = true;
  FItems.back().HotX = HotX;
  FItems.back().HotY = HotY;
  FItems.back().Transparent = TransparentColor & 0x00FFFFFF;
}

void TResourceWriter::Write(const std::string& FileName) const {
  std::string S = "// Generated at build time by a resource generator program; do not edit.\n"
                  "#include \"graphics/resources.h\"\n\nnamespace {\n\n";
  char Buf[64];
  for (std::size_t I = 0; I < FItems.size(); ++I) {
    S += "const uint32_t Pixels" + std::to_string(I) + "[] = {";
    for (std::size_t K = 0; K < FItems[I].Pixels.size(); ++K) {
      if (K % 8 == 0) S += "\n   ";
      std::snprintf(Buf, sizeof Buf, " 0x%06X,", static_cast<unsigned>(FItems[I].Pixels[K]));
      S += Buf;
    }
    S += "\n};\n\n";
  }
  S += "const zef::TResourceEntry Entries[] = {\n";
  for (std::size_t I = 0; I < FItems.size(); ++I) {
    const TItem& T = FItems[I];
    std::snprintf(Buf, sizeof Buf, "0x%06X", static_cast<unsigned>(T.Transparent));
    S += "    {\"" + T.Name + "\", " + std::to_string(T.Width) + ", " + std::to_string(T.Height) + ", Pixels" +
         std::to_string(I) + ", " + (T.IsCursor ? "true" : "false") + ", " + std::to_string(T.HotX) + ", " +
         std::to_string(T.HotY) + ", " + Buf + "},\n";
  }
  S += "};\n\nconst bool Registered = (zef::RegisterResources(Entries, sizeof Entries / sizeof Entries[0]), true);\n\n"
       "} // namespace\n";
  TFileStream F(FileName, fmCreate);
  F.WriteBuffer(S.data(), static_cast<int64_t>(S.size()));
}

} // namespace zef
