// Facts about the processor: vendor, brand, signature, feature flags, the number of
// processors and an estimate of the clock speed, read with the x86 identification
// instruction (CPUID) and the time-stamp counter. Errors raise EZEFCpuIdError.
//
// On processors without CPUID (anything but x86 and x86-64) CPU_IDSupport is false, the
// functions returning numbers raise "Cannot acquire CPU information (CPUID not supported)",
// the texts are "Unknown" (vendor), "unknown" (brand) and "" (serial number), and
// CPU_Speed is 0. On Linux the "highest priorities" of CPU_Speed are the lowest nice value
// and the real-time FIFO class, as far as the process is allowed to take them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "ZEF_zefbase.h"

namespace zef {

// The 32 feature bits of EDX of identification leaf 1, in bit order.
enum TCPUFeatures : uint8_t {
  cpuft_fpu,
  cpuft_vme,
  cpuft_de,
  cpuft_pse,
  cpuft_tsc,
  cpuft_msr,
  cpuft_pae,
  cpuft_mce,
  cpuft_cx8,
  cpuft_apic,
  cpuft_sepamd,
  cpuft_sep,
  cpuft_mtrr,
  cpuft_pge,
  cpuft_mca,
  cpuft_cmov,
  cpuft_pat,
  cpuft_pse36,
  cpuft_serial,
  cpuft_clflush,
  cpuft_reserved1,
  cpuft_dts,
  cpuft_acpi,
  cpuft_mmx,
  cpuft_xsr,
  cpuft_simd,
  cpuft_simd2,
  cpuft_ss,
  cpuft_reserved2,
  cpuft_tm,
  cpuft_ia64,
  cpuft_3dnow
};

// Readable names of the feature bits, indexed by TCPUFeatures.
extern const std::array<const char*, 32> CPUFeatureNames;

// The four registers one identification leaf returns.
struct TCPUIDRegs {
  uint32_t EAX = 0;
  uint32_t EBX = 0;
  uint32_t ECX = 0;
  uint32_t EDX = 0;
};

// The fields of a processor signature (EAX of leaf 1).
struct TCPUSignature {
  int32_t Stepping = 0; // bits 0-3
  int32_t Model = 0;    // bits 4-7
  int32_t Family = 0;   // bits 8-11
  int32_t Type = 0;     // bits 12-13
  int32_t ExModel = 0;  // bits 16-19
  int32_t ExFamily = 0; // bits 20-27
};

// Whether the ID flag (bit 21 of the flags register) can be toggled.
bool CPU_IDSupport();
// The registers of leaf Leaf; a leaf outside the basic range 0..max (EAX of leaf 0) and the
// extended range $80000000..max (EAX of leaf $80000000) raises
// "CPUID: execution level not supported".
TCPUIDRegs CPU_ExecuteLeaf(uint32_t Leaf);

// The number of processors the operating system has online.
int32_t CPU_Count();
// The 12 characters of EBX, EDX, ECX of leaf 0; "Unknown" when not available.
std::string CPU_VendorString();
// The brand string of leaves $80000002..$80000004, trimmed; "unknown" when not available.
std::string CPU_MarketName();
uint32_t CPU_Signature();
// EDX of leaf 1 (bits as TCPUFeatures).
uint32_t CPU_FeatureSet();
// EDX of leaf $80000001.
uint32_t CPU_ExtendedFeatureSet();
// The low byte of EBX of leaf 1.
uint8_t CPU_BrandID();
// EAX, EDX and ECX of leaf 1 as 24 upper-case hexadecimal digits; empty when unavailable.
std::string CPU_SerialNumber();
// The fields of CPU_Signature.
int32_t CPU_Stepping();
int32_t CPU_Model();
int32_t CPU_Family();
int32_t CPU_Type();
int32_t CPU_ExModel();
int32_t CPU_ExFamily();
// The type field is 1.
bool CPU_OverDrive();
// 3145727 * (4195835 / 3145727) - 4195835 is not exactly 0.
bool CPU_FDIVBugPresent();
// The clock in MHz: time-stamp counter cycles over Delay milliseconds (0 counts as 1) of
// busy waiting at the highest priority the process may take.
float CPU_Speed(uint32_t Delay);

// The time-stamp counter (0 without one).
uint64_t CPU_TimeStamp();
// A millisecond tick counter (monotonic, wraps at 2^32).
uint32_t CPU_TickCount();

// The fields of a signature.
TCPUSignature DecodeCPUSignature(uint32_t Signature);
// A raw brand string without the leading and trailing characters of code 32 and below;
// "unknown" when a character below 32 remains.
std::string CleanCPUBrandString(std::string_view Raw);

} // namespace zef
