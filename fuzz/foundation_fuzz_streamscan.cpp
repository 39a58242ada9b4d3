// libFuzzer target for the stream scanners: lines in every end-of-line mode, decimal and
// floating-point numbers, markers and binary values, each run over the whole input. Every
// call must move forward (or stop at the end) and give values in range.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ZEF_streams.h"
#include "ZEF_stringl.h"

using namespace zef;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string In(reinterpret_cast<const char*>(Data), Size);
  const int64_t N = static_cast<int64_t>(Size);
  for (int32_t Mode = 0; Mode <= 5; ++Mode) {
    TStringStream S(In);
    bool End = false;
    while (!End) {
      const int64_t Before = S.Position();
      ReadLnStream(S, End, Mode);
      if (S.Position() <= Before && !End) std::abort();
    }
    if (S.Position() != N) std::abort();
    // The string counterpart reads the same number of characters at most.
    std::size_t Pos = 1;
    bool EndOfText = false;
    for (int Guard = 0; !EndOfText && Guard <= N + 1; ++Guard) ReadLnString(In, Pos, EndOfText, Mode);
    if (!EndOfText) std::abort();
  }
  for (int32_t Dec = 0; Dec <= 4; ++Dec) {
    TStringStream S(In);
    while (S.Position() < N) {
      const int64_t Before = S.Position();
      const double V = ScanStreamFPNum(S, Dec % 2 == 1, Dec);
      if (!(V >= -1.7e308 && V <= 1.7e308) || S.Position() <= Before) std::abort();
    }
  }
  {
    TStringStream S(In);
    while (S.Position() < N) {
      const int64_t Before = S.Position();
      ScanStreamDecimal(S);
      if (S.Position() <= Before) std::abort();
    }
  }
  if (Size > 0) {
    TStringStream S(In);
    const std::string Marker = In.substr(0, std::min<size_t>(Size, 1 + Data[0] % 8));
    int32_t Found = 0;
    S.SetPosition(1);
    const std::string T = ReadStreamUntil(S, Marker, Found);
    if (Found == 0 && S.Position() != 1 + static_cast<int64_t>(T.empty() ? 0 : Utf8ToLatin1(T).size()))
      std::abort();
    if (Found == -1 && S.Position() != N) std::abort();
    S.SetPosition(0);
    if (CountLinesInStream(S) != static_cast<int64_t>(std::count(In.begin(), In.end(), '\n')))
      std::abort();
    S.SetPosition(0);
    bool Err = false;
    while (!Err) ReadExtendedFromStream(S, Err);
    S.SetPosition(0);
    StreamAsString(S);
  }
  return 0;
}
