// Checksums and encodings of the foundation beside zlib's crc32 and OpenSSL's SHA-1, on the
// same 64 MiB of random bytes. Throughput is reported as bytes per second.
#include <benchmark/benchmark.h>

#include <openssl/sha.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "ZEF_dstruct.h"

namespace {

constexpr std::size_t BufferSize = 64u << 20;

const std::vector<uint8_t>& Buffer() {
  static const std::vector<uint8_t> B = [] {
    std::vector<uint8_t> V(BufferSize);
    std::mt19937_64 Gen(2024);
    for (std::size_t i = 0; i < V.size(); i += 8) {
      const uint64_t R = Gen();
      for (std::size_t k = 0; k < 8; ++k) V[i + k] = static_cast<uint8_t>(R >> (8 * k));
    }
    return V;
  }();
  return B;
}

void BM_CRC32_zef(benchmark::State& State) {
  const auto& B = Buffer();
  for (auto _ : State) benchmark::DoNotOptimize(zef::CRC32ofBuffer(B));
  State.SetBytesProcessed(static_cast<int64_t>(State.iterations()) *
                          static_cast<int64_t>(B.size()));
}

void BM_CRC32_zlib(benchmark::State& State) {
  const auto& B = Buffer();
  for (auto _ : State) benchmark::DoNotOptimize(crc32(0, B.data(), static_cast<uInt>(B.size())));
  State.SetBytesProcessed(static_cast<int64_t>(State.iterations()) *
                          static_cast<int64_t>(B.size()));
}

void BM_SHA1_zef(benchmark::State& State) {
  const auto& B = Buffer();
  for (auto _ : State) benchmark::DoNotOptimize(zef::SHA1FromBytes(B));
  State.SetBytesProcessed(static_cast<int64_t>(State.iterations()) *
                          static_cast<int64_t>(B.size()));
}

void BM_SHA1_openssl(benchmark::State& State) {
  const auto& B = Buffer();
  unsigned char D[SHA_DIGEST_LENGTH];
  for (auto _ : State) {
    SHA1(B.data(), B.size(), D);
    benchmark::DoNotOptimize(D);
  }
  State.SetBytesProcessed(static_cast<int64_t>(State.iterations()) *
                          static_cast<int64_t>(B.size()));
}

// The stream encoders, for reference (no peer). Both streams are made once, so that the
// figure is the coder's and not the growth of the output stream.
template <void (*Encode)(zef::TStream&, zef::TStream&, bool)>
void BM_Encode(benchmark::State& State) {
  const auto& B = Buffer();
  zef::TStringStream I(std::string(B.begin(), B.begin() + (16u << 20)));
  zef::TStringStream O;
  for (auto _ : State) {
    I.SetPosition(0);
    O.SetPosition(0);
    Encode(I, O, true);
    benchmark::DoNotOptimize(O.DataString().data());
  }
  State.SetBytesProcessed(static_cast<int64_t>(State.iterations()) * I.Size());
}

} // namespace

BENCHMARK(BM_CRC32_zef)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CRC32_zlib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SHA1_zef)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SHA1_openssl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode<zef::EncodeBase64>)->Name("BM_Base64_zef")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode<zef::EncodeASCII85>)->Name("BM_ASCII85_zef")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
