// libFuzzer target for the chart data and annotation file readers. The input is loaded as a
// data file (appending to a chart that already holds items) and as an annotation file
// (replacing). A failed load must leave the chart byte for byte as it was; a successful one
// must add exactly the items it reports.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ZEF_rirove.h"
#include "host/headless.h"

using namespace zef;

namespace {

std::string TempName(const char* Suffix) {
  return "/tmp/zef_fuzz_chartfile_" + std::to_string(getpid()) + Suffix;
}

std::string FileBytes(const std::string& Name) {
  std::string Out;
  if (FILE* F = std::fopen(Name.c_str(), "rb")) {
    char Buf[4096];
    for (std::size_t N; (N = std::fread(Buf, 1, sizeof Buf, F)) > 0;) Out.append(Buf, N);
    std::fclose(F);
  }
  return Out;
}

// The chart's data and annotation files as they are now.
std::string Snapshot(TRIrove& C) {
  const std::string D = TempName(".snapd"), A = TempName(".snapa");
  C.SaveData(D);
  C.SaveAnno(A);
  return FileBytes(D) + FileBytes(A);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static THeadlessHost Host;
  SetHost(&Host);
  const std::string In = TempName(".in");
  if (FILE* F = std::fopen(In.c_str(), "wb")) {
    std::fwrite(Data, 1, Size, F);
    std::fclose(F);
  } else {
    return 0;
  }
  TRIrove C(nullptr);
  C.SetBounds(0, 0, 200, 150);
  C.SetRange(1, 0, 0, 10, 10);
  C.Line(1.0, 1.0, 9.0, 9.0);
  C.Text(5.0, 5.0, 10, "a long text that needs a slot");
  C.SetAnnoMode(true);
  C.MarkAt(2.0, 2.0, 1);
  C.SetAnnoMode(false);

  std::string Before = Snapshot(C);
  int32_t R = C.LoadData(In, true);
  if (R < 0) {
    if (R != -1 && R != -2) std::abort();
    if (Snapshot(C) != Before) std::abort();
  } else if (C.NumItems() != 2 + R) {
    std::abort();
  }
  Before = Snapshot(C);
  const int32_t Annos = C.NumAnnos();
  R = C.LoadAnno(In, false);
  if (R < 0) {
    if (Snapshot(C) != Before || C.NumAnnos() != Annos) std::abort();
  } else if (C.NumAnnos() != R) {
    std::abort();
  }
  std::remove(In.c_str());
  return 0;
}
