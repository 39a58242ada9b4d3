// Named resources: bitmaps and cursors compiled into a library and found by name at run
// time. A library's resources are drawn by a small generator program at build time (see
// resgen.h and cmake/resources.cmake), which writes a source file that registers them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zef {

class TBitmap;

// One resource: Width x Height pixels ($00BBGGRR, rows top-down). A cursor also has a hot
// spot and a transparent colour.
struct TResourceEntry {
  const char* Name;
  int32_t Width;
  int32_t Height;
  const uint32_t* Pixels;
  bool IsCursor;
  int32_t HotX;
  int32_t HotY;
  uint32_t TransparentColor;
};

// Adds a table of resources (called by the generated sources when their library loads).
// Later registrations of a name replace earlier ones.
void RegisterResources(const TResourceEntry* Entries, std::size_t Count);

// The resource of that name (names ignore ASCII case), or nullptr.
const TResourceEntry* FindResource(std::string_view Name);
// Loads a registered resource into Bitmap (a cursor comes transparent with its colour);
// false when there is none of that name.
bool LoadResourceBitmap(std::string_view Name, TBitmap& Bitmap);
// The names of all registered resources, sorted.
std::vector<std::string> ResourceNames();

} // namespace zef
