// Processor identification with CPUID, the time-stamp counter and the clock estimate.
#include "ZEF_cpuid.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define ZEF_HAVE_CPUID 1
#endif

namespace zef {

const std::array<const char*, 32> CPUFeatureNames = {
    "Floating Point Unit",
    "V86 Mode Extensions",
    "Debug Extensions - I/O breakpoints supported",
    "Page Size Extensions (4 MB pages supported)",
    "Time Stamp Counter and RDTSC instruction are available",
    "Model Specific Registers",
    "Physical Address Extensions (36-bit address, 2MB pages)",
    "Machine Check Exception supported",
    "Compare Exchange Eight Byte instruction available",
    "Local APIC present (multiprocessor operation support)",
    "Fast system calls (AMD only)",
    "Fast system calls",
    "Memory Type Range Registers",
    "Page Global Enable",
    "Machine Check Architecture",
    "Conditional MOVe instructions",
    "Page Attribute Table",
    "36 bit Page Size Extensions",
    "Processor Serial Number",
    "Cache Flush",
    "reserved",
    "Debug Trace Store",
    "ACPI support",
    "MultiMedia Extensions",
    "FXSAVE and FXRSTOR instructions",
    "SSE instructions",
    "SSE2 (WNI) instructions",
    "self snoop",
    "reserved",
    "Automatic clock control",
    "IA64 instructions",
    "3DNow! instructions available",
};

namespace {

#ifdef ZEF_HAVE_CPUID
TCPUIDRegs RawCpuid(uint32_t Leaf) {
  TCPUIDRegs R;
  __cpuid_count(Leaf, 0, R.EAX, R.EBX, R.ECX, R.EDX);
  return R;
}

bool FlagsIdToggles() {
#if defined(__x86_64__)
  uint64_t Before, After;
  __asm__ volatile("pushfq\n\t"
                   "pushfq\n\t"
                   "popq %0\n\t"
                   "movq %0, %1\n\t"
                   "xorq $0x200000, %1\n\t"
                   "pushq %1\n\t"
                   "popfq\n\t"
                   "pushfq\n\t"
                   "popq %1\n\t"
                   "popfq\n\t"
                   : "=&r"(Before), "=&r"(After)
                   :
                   : "cc");
#else
  uint32_t Before, After;
  __asm__ volatile("pushfl\n\t"
                   "pushfl\n\t"
                   "popl %0\n\t"
                   "movl %0, %1\n\t"
                   "xorl $0x200000, %1\n\t"
                   "pushl %1\n\t"
                   "popfl\n\t"
                   "pushfl\n\t"
                   "popl %1\n\t"
                   "popfl\n\t"
                   : "=&r"(Before), "=&r"(After)
                   :
                   : "cc");
#endif
  return ((Before ^ After) & 0x200000) != 0;
}
#endif

std::string RegisterChars(uint32_t R) {
  std::string S(4, '\0');
  for (int i = 0; i < 4; ++i) S[i] = static_cast<char>((R >> (8 * i)) & 0xFF);
  return S;
}

// Raises the process and the calling thread to the highest priorities allowed and restores
// them when it goes.
class TTopPriority {
public:
  TTopPriority() {
    errno = 0;
    FNice = getpriority(PRIO_PROCESS, 0);
    FNiceValid = errno == 0;
    if (FNiceValid) setpriority(PRIO_PROCESS, 0, -20);
    FPolicyValid = pthread_getschedparam(pthread_self(), &FPolicy, &FParam) == 0;
    if (FPolicyValid) {
      sched_param Top{};
      Top.sched_priority = sched_get_priority_max(SCHED_FIFO);
      pthread_setschedparam(pthread_self(), SCHED_FIFO, &Top);
    }
  }
  ~TTopPriority() {
    if (FPolicyValid) pthread_setschedparam(pthread_self(), FPolicy, &FParam);
    if (FNiceValid) setpriority(PRIO_PROCESS, 0, FNice);
  }
  TTopPriority(const TTopPriority&) = delete;
  TTopPriority& operator=(const TTopPriority&) = delete;

private:
  int FNice = 0;
  bool FNiceValid = false;
  int FPolicy = SCHED_OTHER;
  sched_param FParam{};
  bool FPolicyValid = false;
};

} // namespace

bool CPU_IDSupport() {
#ifdef ZEF_HAVE_CPUID
  static const bool Supported = FlagsIdToggles();
  return Supported;
#else
  return false;
#endif
}

TCPUIDRegs CPU_ExecuteLeaf(uint32_t Leaf) {
  if (!CPU_IDSupport())
    throw EZEFCpuIdError("Cannot acquire CPU information (CPUID not supported)");
#ifdef ZEF_HAVE_CPUID
  const uint32_t MaxBasic = RawCpuid(0).EAX;
  const uint32_t MaxExtended = RawCpuid(0x80000000u).EAX;
  const bool Basic = Leaf <= MaxBasic;
  const bool Extended = Leaf >= 0x80000000u && Leaf <= MaxExtended;
  if (!Basic && !Extended) throw EZEFCpuIdError("CPUID: execution level not supported");
  return RawCpuid(Leaf);
#else
  return {};
#endif
}

int32_t CPU_Count() {
  const long N = sysconf(_SC_NPROCESSORS_ONLN);
  return N > 0 ? static_cast<int32_t>(N) : 1;
}

std::string CPU_VendorString() {
  try {
    const TCPUIDRegs R = CPU_ExecuteLeaf(0);
    const std::string S = RegisterChars(R.EBX) + RegisterChars(R.EDX) + RegisterChars(R.ECX);
    return S.find('\0') == std::string::npos ? S : "Unknown";
  } catch (const EZEFCpuIdError&) {
    return "Unknown";
  }
}

std::string CPU_MarketName() {
  try {
    std::string Raw;
    for (uint32_t Leaf = 0x80000002u; Leaf <= 0x80000004u; ++Leaf) {
      const TCPUIDRegs R = CPU_ExecuteLeaf(Leaf);
      Raw +=
          RegisterChars(R.EAX) + RegisterChars(R.EBX) + RegisterChars(R.ECX) + RegisterChars(R.EDX);
    }
    return CleanCPUBrandString(Raw);
  } catch (const EZEFCpuIdError&) {
    return "unknown";
  }
}

std::string CleanCPUBrandString(std::string_view Raw) {
  auto Low = [](char C) { return static_cast<uint8_t>(C) <= 32; };
  while (!Raw.empty() && Low(Raw.front())) Raw.remove_prefix(1);
  while (!Raw.empty() && Low(Raw.back())) Raw.remove_suffix(1);
  if (std::any_of(Raw.begin(), Raw.end(), [](char C) { return static_cast<uint8_t>(C) < 32; }))
    return "unknown";
  return std::string(Raw);
}

uint32_t CPU_Signature() { return CPU_ExecuteLeaf(1).EAX; }

uint32_t CPU_FeatureSet() { return CPU_ExecuteLeaf(1).EDX; }

uint32_t CPU_ExtendedFeatureSet() { return CPU_ExecuteLeaf(0x80000001u).EDX; }

uint8_t CPU_BrandID() { return static_cast<uint8_t>(CPU_ExecuteLeaf(1).EBX & 0xFF); }

std::string CPU_SerialNumber() {
  try {
    const TCPUIDRegs R = CPU_ExecuteLeaf(1);
    char S[25];
    std::snprintf(S, sizeof S, "%08X%08X%08X", R.EAX, R.EDX, R.ECX);
    return S;
  } catch (const EZEFCpuIdError&) {
    return {};
  }
}

TCPUSignature DecodeCPUSignature(uint32_t Signature) {
  TCPUSignature S;
  S.Stepping = static_cast<int32_t>(Signature & 0xF);
  S.Model = static_cast<int32_t>((Signature >> 4) & 0xF);
  S.Family = static_cast<int32_t>((Signature >> 8) & 0xF);
  S.Type = static_cast<int32_t>((Signature >> 12) & 0x3);
  S.ExModel = static_cast<int32_t>((Signature >> 16) & 0xF);
  S.ExFamily = static_cast<int32_t>((Signature >> 20) & 0xFF);
  return S;
}

int32_t CPU_Stepping() { return DecodeCPUSignature(CPU_Signature()).Stepping; }
int32_t CPU_Model() { return DecodeCPUSignature(CPU_Signature()).Model; }
int32_t CPU_Family() { return DecodeCPUSignature(CPU_Signature()).Family; }
int32_t CPU_Type() { return DecodeCPUSignature(CPU_Signature()).Type; }
int32_t CPU_ExModel() { return DecodeCPUSignature(CPU_Signature()).ExModel; }
int32_t CPU_ExFamily() { return DecodeCPUSignature(CPU_Signature()).ExFamily; }

bool CPU_OverDrive() { return CPU_Type() == 1; }

bool CPU_FDIVBugPresent() {
  // volatile keeps the compiler from folding the division at build time.
  volatile double X = 4195835.0;
  volatile double Y = 3145727.0;
  const double Q = X / Y;
  return Y * Q - X != 0.0;
}

uint64_t CPU_TimeStamp() {
#ifdef ZEF_HAVE_CPUID
  return __rdtsc();
#else
  return 0;
#endif
}

uint32_t CPU_TickCount() {
  timespec T{};
  clock_gettime(CLOCK_MONOTONIC, &T);
  return static_cast<uint32_t>(static_cast<uint64_t>(T.tv_sec) * 1000u +
                               static_cast<uint64_t>(T.tv_nsec) / 1000000u);
}

float CPU_Speed(uint32_t Delay) {
  if (!CPU_IDSupport() || (CPU_FeatureSet() & (1u << cpuft_tsc)) == 0) return 0;
  // A zero measuring time would divide by zero; one millisecond is the shortest that works.
  Delay = std::max<uint32_t>(Delay, 1);
  TTopPriority Priority;
  const uint32_t Start = CPU_TickCount();
  uint32_t Tick;
  while ((Tick = CPU_TickCount()) == Start) {
  }
  const uint64_t T0 = CPU_TimeStamp();
  while (CPU_TickCount() - Tick < Delay) {
  }
  const uint64_t T1 = CPU_TimeStamp();
  return static_cast<float>(static_cast<double>(T1 - T0) / (static_cast<double>(Delay) * 1000.0));
}

} // namespace zef
