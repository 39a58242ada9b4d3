// libFuzzer target for the ASC header reader: any input gives one of the documented results
// with the counts positive whenever they were read.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ZEF_filesys.h"

using namespace zef;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TStringStream S(std::string(reinterpret_cast<const char*>(Data), Size));
  std::string Header;
  int32_t A = -7, B = -7;
  bool F1 = true, F2 = true, F3 = true, F4 = true;
  const int32_t R = ReadHeaderOfASC(S, Header, A, B, F1, F2, F3, F4);
  if (R < -3 || R > 0) std::abort();
  if (R == 0 && (A < 1 || B < 1)) std::abort();
  if (R == -1 && (F1 || F2 || F3 || F4)) std::abort();
  if (Header.size() > 2 * Size + 2) std::abort();
  return 0;
}
