// libFuzzer target for the tagged-text readers of ZEF_dstruct: the input is read as a
// string-array file and as an associative-array stream. A failed read leaves the string
// array unchanged; what is read (when small) must write and read back equal.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "ZEF_dstruct.h"

using namespace zef;

namespace {

bool SameArray(const TStringArray& A, const TStringArray& B) {
  if (A.NrOfColumns() != B.NrOfColumns() || A.NrOfRows() != B.NrOfRows()) return false;
  for (int32_t r = 1; r <= A.NrOfRows(); ++r) {
    if (A.GetRowAttrib(r) != B.GetRowAttrib(r)) return false;
    for (int32_t c = 0; c <= A.NrOfColumns(); ++c)
      if (A.GetString(c, r) != B.GetString(c, r)) return false;
  }
  for (int32_t c = 1; c <= A.NrOfColumns(); ++c)
    if (A.GetColAttrib(c) != B.GetColAttrib(c)) return false;
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Name = "/tmp/zef_fuzz_dstructxml_" + std::to_string(getpid());
  std::ofstream(Name, std::ios::binary)
      .write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
  TStringArray A(nullptr);
  A.SetString(1, 1, "before");
  TStringArray Before(nullptr);
  Before.Assign(A);
  if (!A.LoadFromXMLFile(Name, "")) {
    if (!SameArray(A, Before)) std::abort();
  } else if (int64_t{A.NrOfColumns() + 1} * A.NrOfRows() < 100000) {
    A.SaveAsXMLFile(Name + ".w", "x");
    TStringArray B(nullptr);
    if (!B.LoadFromXMLFile(Name + ".w", "X") || !SameArray(A, B)) std::abort();
  }
  TStringStream S(std::string(reinterpret_cast<const char*>(Data), Size));
  TAssocArray M(nullptr);
  if (M.ReadFromXMLStream(S, "") && M.NumEntries() < 10000) {
    TStringStream W;
    M.WriteToXMLStream(W, false, "");
    W.SetPosition(0);
    TAssocArray N(nullptr);
    if (!N.ReadFromXMLStream(W, "") || N.NumEntries() != M.NumEntries()) std::abort();
  }
  TAssocArray Attr(nullptr);
  (void)Attr.AddXMLAttributes(std::string_view(reinterpret_cast<const char*>(Data), Size));
  std::remove(Name.c_str());
  std::remove((Name + ".w").c_str());
  return 0;
}
