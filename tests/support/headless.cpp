// Linked into every test program: tests never open windows, even on a desktop, unless the
// environment asks for another host explicitly.
#include <cstdlib>

namespace {

const bool HeadlessByDefault = ::setenv("ZEF_HOST", "headless", 0) == 0;

} // namespace
