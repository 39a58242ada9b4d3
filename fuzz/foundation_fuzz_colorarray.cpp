// libFuzzer target for the colour-array file reader: the input is loaded with and without
// AdjustSize. A failed load must leave the array unchanged; a loaded array (when small) must
// store and load back equal.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "ZEF_zefcolors.h"

using namespace zef;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Name = "/tmp/zef_fuzz_colors_" + std::to_string(getpid());
  std::ofstream(Name, std::ios::binary).write(reinterpret_cast<const char*>(Data),
                                              static_cast<std::streamsize>(Size));
  for (bool Adjust : {false, true}) {
    TColorArray A(nullptr);
    A.SetSize(16);
    TColorArray Copy(nullptr);
    Copy.Assign(A);
    if (!A.LoadFromFile(Name, Adjust)) {
      if (!A.IsEqual(Copy)) std::abort();
      continue;
    }
    if (A.Size() < 1 || A.Size() > MaxColorArraySize) std::abort();
    if (A.Size() > 4096) continue;
    if (!A.StoreOnFile(1, A.Size(), Name + ".w")) std::abort();
    TColorArray B(nullptr);
    if (!B.LoadFromFile(Name + ".w", true) || !B.IsEqual(A)) std::abort();
  }
  std::remove(Name.c_str());
  std::remove((Name + ".w").c_str());
  return 0;
}
