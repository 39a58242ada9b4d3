// libFuzzer target for the feature-matrix file reader. Whatever it reads must form a
// consistent matrix; a matrix read successfully (when small) must save and load back equal.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "ZEF_dstruct.h"

using namespace zef;

namespace {

bool SameMatrix(const TFeatureMatrix& A, TFeatureMatrix& B) {
  if (A.NFeatures() != B.NFeatures() || A.NObjects() != B.NObjects()) return false;
  auto& MA = const_cast<TFeatureMatrix&>(A);
  for (int32_t f = 1; f <= A.NFeatures(); ++f) {
    const TFeatMatProps& P = *MA.GetFeatProps(f);
    const TFeatMatProps& Q = *B.GetFeatProps(f);
    if (P.FeatKind != Q.FeatKind || P.FeatNum != Q.FeatNum || P.Sorted != Q.Sorted) return false;
    MA.SetFeatType(f, f, fkString);
    B.SetFeatType(f, f, fkString);
    for (int32_t o = 1; o <= A.NObjects(); ++o)
      if (MA.GetFeatValStr(f, o) != B.GetFeatValStr(f, o)) return false;
  }
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Name = "/tmp/zef_fuzz_featmat_" + std::to_string(getpid());
  std::ofstream(Name, std::ios::binary)
      .write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
  TFeatureMatrix M(nullptr);
  const int32_t R = M.Load(Name);
  if (R != 0 && R != -2 && R != -3) std::abort();
  if (M.NFeatures() < 0 || M.NObjects() < 0) std::abort();
  // The typed getters are tried on small matrices only: each refusal is an exception.
  const bool Small = int64_t{M.NFeatures()} * M.NObjects() < 4096;
  for (int32_t f = 1; f <= M.NFeatures(); ++f) {
    if (M.GetFeatProps(f) == nullptr) std::abort();
    for (int32_t o = 1; Small && o <= M.NObjects(); ++o) {
      try {
        (void)M.GetFeatValStr(f, o);
        (void)M.GetFeatValDouble(f, o);
        (void)M.GetFeatValInt(f, o);
      } catch (const EZEFDStructError&) {
      }
    }
  }
  // Names and values with line breaks or surrounding blanks do not survive a text line, so
  // the round trip is checked only for matrices without them.
  bool Plain = R == 0 && Small;
  for (int32_t f = 1; Plain && f <= M.NFeatures(); ++f) {
    const TFeatMatProps& P = *M.GetFeatProps(f);
    for (const std::string* S : {&P.FeatName, &P.Comment, &P.PresetValues})
      if (S->find_first_of("\r\n\x1A") != std::string::npos) Plain = false;
  }
  if (Plain) {
    M.Save(Name + ".w");
    TFeatureMatrix B(nullptr);
    if (B.Load(Name + ".w") != 0) std::abort();
    TFeatureMatrix C(nullptr);
    C.Assign(M);
    if (!SameMatrix(C, B)) std::abort();
  }
  std::remove(Name.c_str());
  std::remove((Name + ".w").c_str());
  return 0;
}
