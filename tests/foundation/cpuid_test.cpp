// ZEF_cpuid: signature fields, brand strings, feature names and the live processor.
#include <gtest/gtest.h>

#include "ZEF_cpuid.h"
#include "rtl/numconv.h"

namespace zef {
namespace {

TEST(CpuId, SignatureFields) {
  const TCPUSignature S = DecodeCPUSignature(0x000306A9);
  EXPECT_EQ(S.Stepping, 9);
  EXPECT_EQ(S.Model, 10);
  EXPECT_EQ(S.Family, 6);
  EXPECT_EQ(S.Type, 0);
  EXPECT_EQ(S.ExModel, 3);
  EXPECT_EQ(S.ExFamily, 0);
  const TCPUSignature T = DecodeCPUSignature(0x0FF01F00);
  EXPECT_EQ(T.Type, 1);
  EXPECT_EQ(T.ExFamily, 0xFF);
  EXPECT_EQ(DecodeCPUSignature(0).Family, 0);
}

TEST(CpuId, BrandStrings) {
  EXPECT_EQ(CleanCPUBrandString("   Fast CPU @ 3GHz\0\0\0"), "Fast CPU @ 3GHz");
  EXPECT_EQ(CleanCPUBrandString(std::string_view("  A\x01"
                                                 "B ",
                                                 6)),
            "unknown");
  EXPECT_EQ(CleanCPUBrandString(""), "");
}

TEST(CpuId, FeatureNames) {
  EXPECT_STREQ(CPUFeatureNames[cpuft_fpu], "Floating Point Unit");
  EXPECT_STREQ(CPUFeatureNames[cpuft_tsc],
               "Time Stamp Counter and RDTSC instruction are available");
  EXPECT_STREQ(CPUFeatureNames[cpuft_3dnow], "3DNow! instructions available");
  EXPECT_FALSE(CPU_FDIVBugPresent());
}

TEST(CpuId, ThisProcessor) {
  EXPECT_GE(CPU_Count(), 1);
  if (!CPU_IDSupport()) {
    EXPECT_EQ(CPU_VendorString(), "Unknown");
    EXPECT_THROW(CPU_Signature(), EZEFCpuIdError);
    EXPECT_EQ(CPU_Speed(10), 0.0f);
    return;
  }
  EXPECT_EQ(CPU_VendorString().size(), 12u);
  EXPECT_NE(CPU_MarketName(), "");
  EXPECT_EQ(CPU_SerialNumber().size(), 24u);
  EXPECT_EQ(CPU_SerialNumber().substr(0, 8),
            Format("%.8x", {static_cast<int64_t>(CPU_Signature())}));
  EXPECT_NE(CPU_FeatureSet() & (1u << cpuft_fpu), 0u);
  EXPECT_EQ(CPU_Family(), DecodeCPUSignature(CPU_Signature()).Family);
  try {
    CPU_ExecuteLeaf(0x7FFFFFFF);
    FAIL();
  } catch (const EZEFCpuIdError& E) {
    EXPECT_EQ(E.Message(), "CPUID: execution level not supported");
  }
  EXPECT_THROW(CPU_ExecuteLeaf(0x8FFFFFFF), EZEFCpuIdError);
}

// CPU_Speed(0) once divided by zero; a zero time measures over one millisecond.
TEST(CpuId, SpeedEstimate) {
  if (!CPU_IDSupport()) GTEST_SKIP();
  const float Zero = CPU_Speed(0);
  EXPECT_GT(Zero, 10.0f);
  EXPECT_LT(Zero, 100000.0f);
  const float Ten = CPU_Speed(10);
  EXPECT_GT(Ten, 10.0f);
  EXPECT_LT(Ten, 100000.0f);
  const uint32_t T = CPU_TickCount();
  EXPECT_LE(CPU_TickCount() - T, 1000u);
  const uint64_t A = CPU_TimeStamp();
  EXPECT_GT(CPU_TimeStamp(), A);
}

} // namespace
} // namespace zef
