// libFuzzer target for the tag readers and the string scanners: the input is read element by
// element from a stream, from a string and from a text file, its attributes are looked up, and
// the number readers run from every position. All three element readers must agree.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "ZEF_streams.h"
#include "ZEF_stringl.h"

using namespace zef;

namespace {
constexpr std::string_view kTags[] = {"posxy", "caption", "name", "/custtextlbl", "invalid"};
constexpr const char* kAttribs[] = {"x", "y", "id", "name", "val"};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string In(reinterpret_cast<const char*>(Data), Size);
  // Stream and string readers.
  TStringStream S(In);
  std::string Text = Latin1ToUtf8(In);
  std::size_t Pos = 1;
  std::vector<int32_t> FromStream;
  while (true) {
    std::string A, C;
    const int64_t Before = S.Position();
    const int32_t Ix = ReadNextTagInStream(S, kTags, A, C);
    if (Ix < 0 || Ix > 4 || S.Position() < Before) std::abort();
    for (const char* N : kAttribs) {
      const std::string V = ScanForXMLAttrib(A, N);
      if (V.size() > A.size()) std::abort();
    }
    std::string A2, C2;
    const int32_t Ix2 = ReadNextTagInString(Text, Pos, kTags, A2, C2);
    if (Ix2 != Ix || A2 != A || C2 != C || Pos > Text.size() + 1) std::abort();
    FromStream.push_back(Ix);
    if (S.Position() == Before || S.Position() >= S.Size()) break;
  }
  // The text file reader sees the same elements (Ctrl-Z ends a text file early).
  if (In.find('\x1a') == std::string::npos) {
    const std::string Name = "/tmp/zef_fuzz_tags_" + std::to_string(getpid());
    std::ofstream(Name, std::ios::binary) << In;
    TTextFile F;
    AssignFile(F, Name);
    Reset(F);
    for (int32_t Expected : FromStream) {
      std::string A, C;
      if (ReadNextTagInTextFile(F, kTags, A, C) != Expected) std::abort();
    }
    CloseFile(F);
    std::remove(Name.c_str());
  }
  std::size_t TagPos = 0;
  DetectNextTagInString(Text, 1, kTags, TagPos);
  if (TagPos > Text.size()) std::abort();
  // Number readers from every position.
  for (std::size_t P = 1; P <= In.size() + 1 && P <= 4096; ++P) {
    std::size_t Q = P;
    ScanDecimal(In, Q);
    if (Q < P || Q > In.size() + 1) std::abort();
    Q = P;
    ScanHexadecimal(In, Q);
    if (Q < P || Q > In.size() + 1) std::abort();
    for (int Seps = 0; Seps < 4; ++Seps) {
      Q = P;
      const double V = ScanFPNum(In, Q, Seps % 2 == 0, static_cast<TDecSeparators>(Seps));
      if (!(V >= -1.7e308 && V <= 1.7e308) || Q < P || Q > In.size() + 1) std::abort();
    }
  }
  return 0;
}
