#include "host/host.h"

#include <cstdlib>
#include <cstring>

#include "host/headless.h"

namespace zef {

#ifdef ZEF_HAVE_SDL
std::unique_ptr<THost> CreateSdlHost(std::string& Error);
#endif

namespace {

THost* CurrentHost = nullptr;

bool WantsWindows() {
  const char* Choice = std::getenv("ZEF_HOST");
  if (Choice && std::strcmp(Choice, "headless") == 0) return false;
  return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

THost& DefaultHost() {
  static THeadlessHost Headless;
  static std::unique_ptr<THost> Windowed = [] {
    std::string Error;
    return WantsWindows() ? CreateWindowedHost(Error) : nullptr;
  }();
  return Windowed ? *Windowed : Headless;
}

} // namespace

THost& Host() { return CurrentHost ? *CurrentHost : DefaultHost(); }

void SetHost(THost* AHost) { CurrentHost = AHost; }

std::unique_ptr<THost> CreateWindowedHost(std::string& Error) {
#ifdef ZEF_HAVE_SDL
  return CreateSdlHost(Error);
#else
  Error = "this build has no windowed host (SDL2 was not found)";
  return nullptr;
#endif
}

} // namespace zef
