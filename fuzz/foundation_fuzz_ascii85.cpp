// libFuzzer target for the ASCII85 decoder: any input decodes without fault, and what it
// decodes to encodes and decodes back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ZEF_dstruct.h"

using namespace zef;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TStringStream In(std::string(reinterpret_cast<const char*>(Data), Size));
  TStringStream Out;
  const int32_t R = DecodeASCII85(In, Out);
  if (R != 0 && R != -1 && R != -2) std::abort();
  if (Out.DataString().size() > Size / 5 * 4 + Size * 4 + 4) std::abort();
  for (bool Breaks : {false, true}) {
    TStringStream Plain(Out.DataString());
    TStringStream Coded;
    EncodeASCII85(Plain, Coded, Breaks);
    Coded.SetPosition(0);
    TStringStream Back;
    if (DecodeASCII85(Coded, Back) != 0 || Back.DataString() != Out.DataString()) std::abort();
  }
  return 0;
}
