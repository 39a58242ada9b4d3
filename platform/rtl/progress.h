// Process-wide progress and abort state of lengthy numeric routines. A routine calls
// MathProcStep() once per outer step and stops, reporting failure, when it returns false.
// The application resets ProcStat and AbortMathProc before the next run.
#pragma once

namespace zef {

using FeedBackProcType = void (*)(double StateCnt);

extern double ProcStat;
extern double LastProcStat;
extern bool AbortMathProc;
extern FeedBackProcType MathFeedBackProc;

// Adds 1 to ProcStat, calls MathFeedBackProc with it when assigned, and returns
// false when AbortMathProc is set (the routine must then stop at once).
bool MathProcStep();

} // namespace zef
