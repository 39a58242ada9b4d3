#include "rtl/progress.h"

namespace zef {

double ProcStat = 0;
double LastProcStat = 0;
bool AbortMathProc = false;
FeedBackProcType MathFeedBackProc = nullptr;

bool MathProcStep() {
  ProcStat += 1;
  if (MathFeedBackProc) MathFeedBackProc(ProcStat);
  return !AbortMathProc;
}

} // namespace zef
