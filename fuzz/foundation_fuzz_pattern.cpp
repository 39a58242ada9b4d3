// libFuzzer target for the pattern compiler and matcher: the input up to the first line
// feed is the pattern, the rest the text (also searched from a position taken from the
// first text byte). Matches must lie within the text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ZEF_stringl.h"

using namespace zef;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string In(reinterpret_cast<const char*>(Data), Size);
  const std::size_t Split = In.find('\n');
  const std::string Pattern = In.substr(0, Split);
  const std::string Text = Split == std::string::npos ? std::string() : In.substr(Split + 1);
  for (bool IgnoreCase : {false, true}) {
    TGrep G(nullptr);
    G.StopOnError = false;
    G.SetIgnoreCase(IgnoreCase);
    G.SetRegExp(Pattern);
    if (G.LastError() < 0 || G.LastError() > 10) std::abort();
    if (G.NrOfRegExpTokens() < 0 || G.NrOfRegExpTokens() > MaxRegExpTokens) std::abort();
    for (int32_t k = 1; k <= G.NrOfRegExpTokens(); ++k) {
      const TGrepToken T = G.GetRegExpToken(k);
      if (T.NumChars < -1 || T.NumChars > 255) std::abort();
    }
    const int32_t Len = static_cast<int32_t>(Text.size());
    for (int32_t Start : {1, Text.empty() ? 1 : 1 + static_cast<uint8_t>(Text[0]) % (Len + 2)}) {
      G.SearchStartPos = Start;
      int32_t Pos = 0;
      if (!G.MatchString(Text, Pos)) continue;
      if (Pos != G.MatchStartPos() || Pos < 1 || Pos > Len + 1) std::abort();
      if (G.MatchEndPos() < Pos - 1) std::abort();
      if (G.MatchEndPos() > Len + 1) std::abort();
    }
  }
  return 0;
}
