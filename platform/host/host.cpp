#include "host/host.h"

#include "host/headless.h"

namespace zef {

namespace {

THost* CurrentHost = nullptr;

} // namespace

THost& Host() {
  static THeadlessHost Default;
  return CurrentHost ? *CurrentHost : Default;
}

void SetHost(THost* AHost) { CurrentHost = AHost; }

} // namespace zef
