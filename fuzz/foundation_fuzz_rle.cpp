// libFuzzer target for the run-length decoder: the first byte chooses the block length, the
// rest is decoded byte by byte with blocks fetched as they fill. The decoded bytes must code
// and decode back to themselves.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "ZEF_dstruct.h"

using namespace zef;

namespace {

std::vector<uint8_t> Drain(TRLEncoder& C, std::vector<uint8_t>& Out) {
  std::vector<uint8_t> Block(static_cast<std::size_t>(C.BufLeng()));
  while (C.Buffered() >= C.BufLeng()) {
    C.GetResult(Block);
    Out.insert(Out.end(), Block.begin(), Block.end());
  }
  return Block;
}

std::vector<uint8_t> Flush(TRLEncoder& C, std::vector<uint8_t>& Out) {
  std::vector<uint8_t> Block = Drain(C, Out);
  for (int32_t N; (N = C.Finish(Block)) > 0;) {
    if (N > C.BufLeng()) std::abort();
    Out.insert(Out.end(), Block.begin(), Block.begin() + N);
  }
  if (C.Buffered() != 0) std::abort();
  return Out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size == 0) return 0;
  const int32_t BufLeng = 1 + Data[0] % 64;
  TRLEncoder D(nullptr);
  D.SetBufLeng(BufLeng);
  std::vector<uint8_t> Decoded;
  for (std::size_t i = 1; i < Size; ++i)
    if (D.Decode(Data[i]) && Data[0] % 2 == 0) Drain(D, Decoded);
  Flush(D, Decoded);
  if (Decoded.size() > Size * 255) std::abort();
  TRLEncoder E(nullptr);
  E.SetBufLeng(BufLeng);
  std::vector<uint8_t> Coded;
  E.Encode(Decoded, static_cast<int32_t>(Decoded.size()));
  Flush(E, Coded);
  TRLEncoder Back(nullptr);
  std::vector<uint8_t> Again;
  for (uint8_t B : Coded) Back.Decode(B);
  Flush(Back, Again);
  if (Again != Decoded) std::abort();
  return 0;
}
