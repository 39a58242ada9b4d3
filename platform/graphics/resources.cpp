#include "graphics/resources.h"

#include <algorithm>
#include <map>

#include "graphics/bitmap.h"
#include "rtl/strings.h"

namespace zef {

namespace {

std::map<std::string, const TResourceEntry*>& Registry() {
  static std::map<std::string, const TResourceEntry*> R;
  return R;
}

} // namespace

void RegisterResources(const TResourceEntry* Entries, std::size_t Count) {
  for (std::size_t I = 0; I < Count; ++I) Registry()[UpperCase(Entries[I].Name)] = &Entries[I];
}

const TResourceEntry* FindResource(std::string_view Name) {
  const auto It = Registry().find(UpperCase(Name));
  return It == Registry().end() ? nullptr : It->second;
}

bool LoadResourceBitmap(std::string_view Name, TBitmap& Bitmap) {
  const TResourceEntry* E = FindResource(Name);
  if (E == nullptr) return false;
  const std::size_t N = static_cast<std::size_t>(E->Width) * static_cast<std::size_t>(E->Height);
  Bitmap.AdoptPixels(E->Width, E->Height, std::vector<uint32_t>(E->Pixels, E->Pixels + N));
  Bitmap.SetTransparent(E->IsCursor);
  if (E->IsCursor) Bitmap.SetTransparentColor(E->TransparentColor);
  return true;
}

std::vector<std::string> ResourceNames() {
  std::vector<std::string> R;
  for (const auto& [Key, E] : Registry()) R.emplace_back(E->Name);
  std::sort(R.begin(), R.end());
  return R;
}

} // namespace zef
