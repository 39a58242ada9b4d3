#include "ZEF_datatable.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numeric>

#include "ZEF_openarrays.h"
#include "rtl/numconv.h"
#include "rtl/strings.h"
#include "rtl/textfile.h"

namespace zef {

const std::array<const char*, 5> MScaleTypeNames = {"undefined", "nominal", "ordinal",
                                                    "interval", "ratio"};

namespace {

// The first MaxChars code points of S.
std::string CutToChars(const std::string& S, int32_t MaxChars) {
  std::size_t I = 0;
  for (int32_t N = 0; N < MaxChars && I < S.size(); ++N) NextCodePoint(S, I);
  return S.substr(0, I);
}

std::string Quoted(const std::string& S) {
  return "\"" + StringReplace(S, "\"", "\"\"", rfReplaceAll) + "\"";
}

} // namespace

TDataTable::TDataTable(int32_t NrCols, int32_t NrRows) {
  NrCols = std::max(NrCols, 1);
  NrRows = std::max(NrRows, 1);
  const auto None = [](int32_t) { return 0; };
  if (!Rebuild(NrCols, NrRows, None, None))
    throw EZEFNumericsError("TDataTable: " + IntToStr(NrCols) + " x " + IntToStr(NrRows) +
                            " cells exceed the limit or the memory");
}

// ---- Internal helpers ---------------------------------------------------------------------

template <class ColMap, class RowMap>
bool TDataTable::Rebuild(int32_t NewCols, int32_t NewRows, ColMap OldCol, RowMap OldRow) {
  if (NewCols < 1 || NewRows < 1 || int64_t(NewCols) * NewRows > MaxNumericsElements)
    return false;
  try {
    const std::size_t Count = static_cast<std::size_t>(NewCols) * static_cast<std::size_t>(NewRows);
    std::vector<double> Values(Count, 0.0);
    std::vector<uint8_t> States(Count, 0);
    std::vector<TColHead> ColHeads(static_cast<std::size_t>(NewCols));
    std::vector<TRowHead> RowHeads(static_cast<std::size_t>(NewRows));
    std::vector<int32_t> ColFrom(static_cast<std::size_t>(NewCols));
    for (int32_t C = 1; C <= NewCols; ++C) {
      const int32_t Old = OldCol(C);
      ColFrom[static_cast<std::size_t>(C - 1)] = Old >= 1 && Old <= FNrCols ? Old : 0;
      if (ColFrom[static_cast<std::size_t>(C - 1)] > 0)
        ColHeads[static_cast<std::size_t>(C - 1)] = FColHeads[static_cast<std::size_t>(Old - 1)];
    }
    for (int32_t R = 1; R <= NewRows; ++R) {
      const int32_t Old = OldRow(R);
      if (Old < 1 || Old > FNrRows) continue;
      RowHeads[static_cast<std::size_t>(R - 1)] = FRowHeads[static_cast<std::size_t>(Old - 1)];
      const std::size_t Base = static_cast<std::size_t>(R - 1) * static_cast<std::size_t>(NewCols);
      for (int32_t C = 1; C <= NewCols; ++C) {
        const int32_t From = ColFrom[static_cast<std::size_t>(C - 1)];
        if (From == 0) continue;
        Values[Base + static_cast<std::size_t>(C - 1)] = FValues[Index(From, Old)];
        States[Base + static_cast<std::size_t>(C - 1)] = FStates[Index(From, Old)];
      }
    }
    FValues.swap(Values);
    FStates.swap(States);
    FColHeads.swap(ColHeads);
    FRowHeads.swap(RowHeads);
  } catch (const std::bad_alloc&) {
    return false;
  }
  FNrCols = NewCols;
  FNrRows = NewRows;
  return true;
}

void TDataTable::SwapColumns(int32_t C1, int32_t C2, int32_t LowRow, int32_t HighRow,
                             bool Headers) {
  for (int32_t R = LowRow; R <= HighRow; ++R) {
    std::swap(FValues[Index(C1, R)], FValues[Index(C2, R)]);
    std::swap(FStates[Index(C1, R)], FStates[Index(C2, R)]);
  }
  if (Headers) std::swap(FColHeads[static_cast<std::size_t>(C1 - 1)],
                         FColHeads[static_cast<std::size_t>(C2 - 1)]);
}

void TDataTable::SwapRows(int32_t R1, int32_t R2, int32_t LowCol, int32_t HighCol,
                          bool Headers) {
  const auto Width = static_cast<std::ptrdiff_t>(HighCol - LowCol + 1);
  std::swap_ranges(FValues.begin() + std::ptrdiff_t(Index(LowCol, R1)),
                   FValues.begin() + std::ptrdiff_t(Index(LowCol, R1)) + Width,
                   FValues.begin() + std::ptrdiff_t(Index(LowCol, R2)));
  std::swap_ranges(FStates.begin() + std::ptrdiff_t(Index(LowCol, R1)),
                   FStates.begin() + std::ptrdiff_t(Index(LowCol, R1)) + Width,
                   FStates.begin() + std::ptrdiff_t(Index(LowCol, R2)));
  if (Headers) std::swap(FRowHeads[static_cast<std::size_t>(R1 - 1)],
                         FRowHeads[static_cast<std::size_t>(R2 - 1)]);
}

template <class LessFn>
void TDataTable::SortLines(bool Columns, int32_t First, int32_t Last, int32_t OtherLow,
                           int32_t OtherHigh, bool Headers, LessFn Less) {
  const auto N = static_cast<std::size_t>(Last - First + 1);
  // The order is decided on the unchanged table; then the lines are exchanged into it, one
  // exchange per misplaced line. At[o] is the position of original line o, Cur[p] the
  // original line at position p (both counted from First).
  std::vector<int32_t> Order(N);
  std::iota(Order.begin(), Order.end(), First);
  std::stable_sort(Order.begin(), Order.end(), Less);
  std::vector<std::size_t> At(N);
  std::vector<int32_t> Cur(N);
  std::iota(At.begin(), At.end(), std::size_t(0));
  std::iota(Cur.begin(), Cur.end(), First);
  int32_t LastPercent = -1;
  for (std::size_t K = 0; K < N; ++K) {
    const int32_t Want = Order[K];
    const std::size_t J = At[static_cast<std::size_t>(Want - First)];
    if (J != K) {
      const auto I1 = First + static_cast<int32_t>(K);
      const auto I2 = First + static_cast<int32_t>(J);
      if (Columns)
        SwapColumns(I1, I2, OtherLow, OtherHigh, Headers);
      else
        SwapRows(I1, I2, OtherLow, OtherHigh, Headers);
      const int32_t Displaced = Cur[K];
      Cur[K] = Want;
      Cur[J] = Displaced;
      At[static_cast<std::size_t>(Want - First)] = K;
      At[static_cast<std::size_t>(Displaced - First)] = J;
      if (OnSortExchange) OnSortExchange(this, Columns ? 1 : 2, I1, I2, First, Last);
    }
    ReportProgress(static_cast<int32_t>(K + 1), static_cast<int32_t>(N), LastPercent);
  }
  Changed();
}

bool TDataTable::ClipBlock(int32_t& LowCol, int32_t& LowRow, int32_t& HighCol, int32_t& HighRow) const {
  return ClipIndexBlock(LowCol, LowRow, HighCol, HighRow, FNrCols, FNrRows);
}

std::vector<double> TDataTable::NumericValues(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                              int32_t HighRow) const {
  std::vector<double> Values;
  if (!ClipBlock(LowCol, LowRow, HighCol, HighRow)) return Values;
  for (int32_t R = LowRow; R <= HighRow; ++R)
    for (int32_t C = LowCol; C <= HighCol; ++C) {
      const std::size_t I = Index(C, R);
      if ((FStates[I] & (dtsNotANumber | dtsEmpty)) == 0 && std::isfinite(FValues[I]))
        Values.push_back(FValues[I]);
    }
  return Values;
}

void TDataTable::SizeChanged(int32_t OldCols, int32_t OldRows) {
  if (OnResize) OnResize(this, OldCols, OldRows, FNrCols, FNrRows);
  ChangedSetup();
}

void TDataTable::Changed() {
  if (FUpdateCount > 0)
    FChangePending = true;
  else if (OnChange)
    OnChange(this);
}

void TDataTable::ChangedSetup() {
  if (FUpdateCount > 0)
    FSetupPending = true;
  else if (OnChangeSetup)
    OnChangeSetup(this);
}

void TDataTable::ReportProgress(int32_t Done, int32_t Total, int32_t& LastPercent) const {
  if (!OnPercentDone || Total <= 0) return;
  const auto Percent = static_cast<int32_t>(int64_t(Done) * 100 / Total);
  if (Percent == LastPercent) return;
  LastPercent = Percent;
  OnPercentDone(const_cast<TDataTable*>(this), Percent);
}

// ---- 2. Size and cells --------------------------------------------------------------------

bool TDataTable::Resize(int32_t NrCols, int32_t NrRows) {
  if (NrCols == FNrCols && NrRows == FNrRows) return true;
  const int32_t OldCols = FNrCols;
  const int32_t OldRows = FNrRows;
  const auto Same = [](int32_t I) { return I; };
  if (!Rebuild(NrCols, NrRows, Same, Same)) return false;
  SizeChanged(OldCols, OldRows);
  return true;
}

void TDataTable::SetElem(int32_t Col, int32_t Row, double Value) {
  if (!Inside(Col, Row)) return;
  FValues[Index(Col, Row)] = Value;
  Changed();
}

void TDataTable::SetCellState(int32_t Col, int32_t Row, uint8_t State) {
  if (!Inside(Col, Row)) return;
  FStates[Index(Col, Row)] = State;
  Changed();
}

void TDataTable::Fill(double Value) {
  std::fill(FValues.begin(), FValues.end(), Value);
  Changed();
}

// ---- 3. Headings and scales ---------------------------------------------------------------

TDTNameStr TDataTable::GetColName(int32_t Col) const {
  return Col >= 1 && Col <= FNrCols ? FColHeads[static_cast<std::size_t>(Col - 1)].Name : "";
}

TDTNameStr TDataTable::GetRowName(int32_t Row) const {
  return Row >= 1 && Row <= FNrRows ? FRowHeads[static_cast<std::size_t>(Row - 1)].Name : "";
}

void TDataTable::SetColName(int32_t Col, const TDTNameStr& Name) {
  if (Col < 1 || Col > FNrCols) return;
  FColHeads[static_cast<std::size_t>(Col - 1)].Name = CutToChars(Name, MaxDTNameLength);
  Changed();
}

void TDataTable::SetRowName(int32_t Row, const TDTNameStr& Name) {
  if (Row < 1 || Row > FNrRows) return;
  FRowHeads[static_cast<std::size_t>(Row - 1)].Name = CutToChars(Name, MaxDTNameLength);
  Changed();
}

uint8_t TDataTable::GetColAttrib(int32_t Col) const {
  return Col >= 1 && Col <= FNrCols ? FColHeads[static_cast<std::size_t>(Col - 1)].Attrib : 0;
}

uint8_t TDataTable::GetRowAttrib(int32_t Row) const {
  return Row >= 1 && Row <= FNrRows ? FRowHeads[static_cast<std::size_t>(Row - 1)].Attrib : 0;
}

void TDataTable::SetColAttrib(int32_t Col, uint8_t Attrib) {
  if (Col < 1 || Col > FNrCols) return;
  FColHeads[static_cast<std::size_t>(Col - 1)].Attrib = Attrib;
  Changed();
}

void TDataTable::SetRowAttrib(int32_t Row, uint8_t Attrib) {
  if (Row < 1 || Row > FNrRows) return;
  FRowHeads[static_cast<std::size_t>(Row - 1)].Attrib = Attrib;
  Changed();
}

TMeasScaleType TDataTable::GetMScaleType(int32_t Col) const {
  return Col >= 1 && Col <= FNrCols ? FColHeads[static_cast<std::size_t>(Col - 1)].Scale
                                    : mstUndefined;
}

void TDataTable::SetMScaleType(int32_t Col, TMeasScaleType ScaleType) {
  if (Col < 1 || Col > FNrCols || ScaleType > mstRatio) return;
  FColHeads[static_cast<std::size_t>(Col - 1)].Scale = ScaleType;
  ChangedSetup();
}

std::string TDataTable::GetNominalID(int32_t Col, int32_t N) const {
  if (Col < 1 || Col > FNrCols || N < 1 || N > MaxNominalIDs) return "";
  const std::vector<std::string>& IDs = FColHeads[static_cast<std::size_t>(Col - 1)].NominalIDs;
  return IDs.empty() ? "" : IDs[static_cast<std::size_t>(N - 1)];
}

void TDataTable::SetNominalID(int32_t Col, int32_t N, const std::string& ID) {
  if (Col < 1 || Col > FNrCols || N < 1 || N > MaxNominalIDs) return;
  std::vector<std::string>& IDs = FColHeads[static_cast<std::size_t>(Col - 1)].NominalIDs;
  if (IDs.empty()) IDs.resize(MaxNominalIDs);
  IDs[static_cast<std::size_t>(N - 1)] = CutToChars(ID, MaxNominalIDLength);
  ChangedSetup();
}

int32_t TDataTable::OrdinalOfNominalID(int32_t Col, const std::string& ID,
                                       bool IgnoreCase) const {
  if (Col < 1 || Col > FNrCols || ID.empty()) return 0;
  const std::vector<std::string>& IDs = FColHeads[static_cast<std::size_t>(Col - 1)].NominalIDs;
  for (std::size_t N = 0; N < IDs.size(); ++N)
    if (!IDs[N].empty() && (IgnoreCase ? AnsiSameText(IDs[N], ID) : IDs[N] == ID))
      return static_cast<int32_t>(N + 1);
  return 0;
}

void TDataTable::SetFComment(const std::string& Text) {
  FComment = Text;
  Changed();
}

// ---- 4. Whole-table operations ------------------------------------------------------------

void TDataTable::Clear() {
  std::fill(FValues.begin(), FValues.end(), 0.0);
  std::fill(FStates.begin(), FStates.end(), uint8_t(0));
  std::fill(FColHeads.begin(), FColHeads.end(), TColHead());
  std::fill(FRowHeads.begin(), FRowHeads.end(), TRowHead());
  FComment.clear();
  Changed();
  ChangedSetup();
}

void TDataTable::CopyFrom(const TDataTable& Source) {
  if (&Source == this) return;
  std::vector<double> Values;
  std::vector<uint8_t> States;
  std::vector<TColHead> ColHeads;
  std::vector<TRowHead> RowHeads;
  std::string Comment;
  try {
    Values = Source.FValues;
    States = Source.FStates;
    ColHeads = Source.FColHeads;
    RowHeads = Source.FRowHeads;
    Comment = Source.FComment;
  } catch (const std::bad_alloc&) {
    throw EZEFNumericsError("TDataTable: not enough memory to copy " +
                            IntToStr(Source.FNrCols) + " x " + IntToStr(Source.FNrRows) +
                            " cells");
  }
  const int32_t OldCols = FNrCols;
  const int32_t OldRows = FNrRows;
  FValues.swap(Values);
  FStates.swap(States);
  FColHeads.swap(ColHeads);
  FRowHeads.swap(RowHeads);
  FComment.swap(Comment);
  FNrCols = Source.FNrCols;
  FNrRows = Source.FNrRows;
  if ((OldCols != FNrCols || OldRows != FNrRows) && OnResize)
    OnResize(this, OldCols, OldRows, FNrCols, FNrRows);
  Changed();
  ChangedSetup();
}

// ---- 5. Structure -------------------------------------------------------------------------

bool TDataTable::InsertRow(int32_t Ix) {
  if (Ix < 1 || Ix > FNrRows + 1) return false;
  const int32_t OldCols = FNrCols;
  const int32_t OldRows = FNrRows;
  if (!Rebuild(FNrCols, FNrRows + 1, [](int32_t C) { return C; },
               [Ix](int32_t R) { return R < Ix ? R : (R == Ix ? 0 : R - 1); }))
    return false;
  SizeChanged(OldCols, OldRows);
  return true;
}

bool TDataTable::InsertColumn(int32_t Ix) {
  if (Ix < 1 || Ix > FNrCols + 1) return false;
  const int32_t OldCols = FNrCols;
  const int32_t OldRows = FNrRows;
  if (!Rebuild(FNrCols + 1, FNrRows, [Ix](int32_t C) { return C < Ix ? C : (C == Ix ? 0 : C - 1); },
               [](int32_t R) { return R; }))
    return false;
  SizeChanged(OldCols, OldRows);
  return true;
}

bool TDataTable::RemoveRow(int32_t Ix) {
  if (Ix < 1 || Ix > FNrRows || FNrRows < 2) return false;
  const int32_t OldCols = FNrCols;
  const int32_t OldRows = FNrRows;
  if (!Rebuild(FNrCols, FNrRows - 1, [](int32_t C) { return C; },
               [Ix](int32_t R) { return R < Ix ? R : R + 1; }))
    return false;
  SizeChanged(OldCols, OldRows);
  return true;
}

bool TDataTable::RemoveColumn(int32_t Ix) {
  if (Ix < 1 || Ix > FNrCols || FNrCols < 2) return false;
  const int32_t OldCols = FNrCols;
  const int32_t OldRows = FNrRows;
  if (!Rebuild(FNrCols - 1, FNrRows, [Ix](int32_t C) { return C < Ix ? C : C + 1; },
               [](int32_t R) { return R; }))
    return false;
  SizeChanged(OldCols, OldRows);
  return true;
}

void TDataTable::MirrorRows() {
  for (int32_t R1 = 1, R2 = FNrRows; R1 < R2; ++R1, --R2) SwapRows(R1, R2, 1, FNrCols, true);
  Changed();
}

void TDataTable::MirrorColumns() {
  for (int32_t C1 = 1, C2 = FNrCols; C1 < C2; ++C1, --C2) SwapColumns(C1, C2, 1, FNrRows, true);
  Changed();
}

// ---- 6. Marks -----------------------------------------------------------------------------

void TDataTable::InvertCellStates(uint8_t Mask) {
  for (uint8_t& S : FStates) S ^= Mask;
  Changed();
}

void TDataTable::ExchangeMarkings() {
  for (uint8_t& S : FStates) {
    const bool A = (S & dtsMarkA) != 0;
    const bool B = (S & dtsMarkB) != 0;
    S = static_cast<uint8_t>((S & ~(dtsMarkA | dtsMarkB)) | (A ? dtsMarkB : 0) |
                             (B ? dtsMarkA : 0));
  }
  Changed();
}

void TDataTable::UnmarkAllCells() {
  for (uint8_t& S : FStates) S &= static_cast<uint8_t>(~(dtsMarkA | dtsMarkB));
  Changed();
}

int32_t TDataTable::FillMarkedCells(double Value, uint8_t StateMask) {
  int32_t Count = 0;
  for (std::size_t I = 0; I < FValues.size(); ++I)
    if ((FStates[I] & StateMask) == StateMask) {
      FValues[I] = Value;
      ++Count;
    }
  Changed();
  return Count;
}

// ---- 7. Sorting and lookup ----------------------------------------------------------------

bool TDataTable::SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                          int32_t HighCol, int32_t HighRow, bool IncludeHeaders) {
  if (SortRowIx < 1 || SortRowIx > FNrRows || !ClipBlock(LowCol, LowRow, HighCol, HighRow))
    return false;
  SortLines(true, LowCol, HighCol, LowRow, HighRow, IncludeHeaders, [&](int32_t A, int32_t B) {
    const bool NumA = GetIsNumber(A, SortRowIx) && std::isfinite(GetElem(A, SortRowIx));
    const bool NumB = GetIsNumber(B, SortRowIx) && std::isfinite(GetElem(B, SortRowIx));
    if (NumA != NumB) return NumA;
    if (!NumA) return false;
    return Ascending ? GetElem(A, SortRowIx) < GetElem(B, SortRowIx)
                     : GetElem(B, SortRowIx) < GetElem(A, SortRowIx);
  });
  return true;
}

bool TDataTable::SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                          int32_t HighCol, int32_t HighRow, bool IncludeHeaders) {
  if (SortColIx < 1 || SortColIx > FNrCols || !ClipBlock(LowCol, LowRow, HighCol, HighRow))
    return false;
  SortLines(false, LowRow, HighRow, LowCol, HighCol, IncludeHeaders, [&](int32_t A, int32_t B) {
    const bool NumA = GetIsNumber(SortColIx, A) && std::isfinite(GetElem(SortColIx, A));
    const bool NumB = GetIsNumber(SortColIx, B) && std::isfinite(GetElem(SortColIx, B));
    if (NumA != NumB) return NumA;
    if (!NumA) return false;
    return Ascending ? GetElem(SortColIx, A) < GetElem(SortColIx, B)
                     : GetElem(SortColIx, B) < GetElem(SortColIx, A);
  });
  return true;
}

bool TDataTable::SortRowAttributes(bool Ascending, int32_t LowCol, int32_t LowRow,
                                   int32_t HighCol, int32_t HighRow) {
  if (!ClipBlock(LowCol, LowRow, HighCol, HighRow)) return false;
  SortLines(false, LowRow, HighRow, LowCol, HighCol, true, [&](int32_t A, int32_t B) {
    return Ascending ? GetRowAttrib(A) < GetRowAttrib(B) : GetRowAttrib(B) < GetRowAttrib(A);
  });
  return true;
}

bool TDataTable::SortColAttributes(bool Ascending, int32_t LowCol, int32_t LowRow,
                                   int32_t HighCol, int32_t HighRow) {
  if (!ClipBlock(LowCol, LowRow, HighCol, HighRow)) return false;
  SortLines(true, LowCol, HighCol, LowRow, HighRow, true, [&](int32_t A, int32_t B) {
    return Ascending ? GetColAttrib(A) < GetColAttrib(B) : GetColAttrib(B) < GetColAttrib(A);
  });
  return true;
}

bool TDataTable::SortColNames(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow) {
  return SortColNames(Ascending, false, LowCol, LowRow, HighCol, HighRow);
}

bool TDataTable::SortColNames(bool Ascending, bool IgnoreCase, int32_t LowCol, int32_t LowRow,
                              int32_t HighCol, int32_t HighRow) {
  if (!ClipBlock(LowCol, LowRow, HighCol, HighRow)) return false;
  SortLines(true, LowCol, HighCol, LowRow, HighRow, true, [&](int32_t A, int32_t B) {
    const TDTNameStr& NA = FColHeads[static_cast<std::size_t>(A - 1)].Name;
    const TDTNameStr& NB = FColHeads[static_cast<std::size_t>(B - 1)].Name;
    const int Cmp = IgnoreCase ? AnsiCompareText(NA, NB) : CompareStr(NA, NB);
    return Ascending ? Cmp < 0 : Cmp > 0;
  });
  return true;
}

bool TDataTable::SortRowNames(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow) {
  return SortRowNames(Ascending, false, LowCol, LowRow, HighCol, HighRow);
}

bool TDataTable::SortRowNames(bool Ascending, bool IgnoreCase, int32_t LowCol, int32_t LowRow,
                              int32_t HighCol, int32_t HighRow) {
  if (!ClipBlock(LowCol, LowRow, HighCol, HighRow)) return false;
  SortLines(false, LowRow, HighRow, LowCol, HighCol, true, [&](int32_t A, int32_t B) {
    const TDTNameStr& NA = FRowHeads[static_cast<std::size_t>(A - 1)].Name;
    const TDTNameStr& NB = FRowHeads[static_cast<std::size_t>(B - 1)].Name;
    const int Cmp = IgnoreCase ? AnsiCompareText(NA, NB) : CompareStr(NA, NB);
    return Ascending ? Cmp < 0 : Cmp > 0;
  });
  return true;
}

int32_t TDataTable::FindColIndex(const TDTNameStr& ColID) const {
  for (std::size_t C = 0; C < FColHeads.size(); ++C)
    if (FColHeads[C].Name == ColID) return static_cast<int32_t>(C + 1);
  return 0;
}

int32_t TDataTable::FindRowIndex(const TDTNameStr& RowID) const {
  for (std::size_t R = 0; R < FRowHeads.size(); ++R)
    if (FRowHeads[R].Name == RowID) return static_cast<int32_t>(R + 1);
  return 0;
}

// ---- 8. Block statistics ------------------------------------------------------------------

int32_t TDataTable::CountNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                  int32_t HighRow) const {
  int32_t Count = 0;
  if (!ClipBlock(LowCol, LowRow, HighCol, HighRow)) return 0;
  for (int32_t R = LowRow; R <= HighRow; ++R)
    for (int32_t C = LowCol; C <= HighCol; ++C) {
      const std::size_t I = Index(C, R);
      if ((FStates[I] & (dtsNotANumber | dtsEmpty)) == 0 && std::isfinite(FValues[I])) ++Count;
    }
  return Count;
}

bool TDataTable::MinMaxOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                  int32_t HighRow, double& Min, double& Max) const {
  const std::vector<double> Values = NumericValues(LowCol, LowRow, HighCol, HighRow);
  Min = Max = 0;
  if (Values.empty()) return false;
  const auto [Lo, Hi] = std::minmax_element(Values.begin(), Values.end());
  Min = *Lo;
  Max = *Hi;
  return true;
}

int32_t TDataTable::MeanVarOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                      int32_t HighRow, double& Mean, double& Variance) const {
  const std::vector<double> Values = NumericValues(LowCol, LowRow, HighCol, HighRow);
  Mean = Variance = 0;
  const std::size_t N = Values.size();
  if (N == 0) return 0;
  Mean = std::accumulate(Values.begin(), Values.end(), 0.0) / static_cast<double>(N);
  if (N > 1) {
    double SumSq = 0;
    for (double V : Values) SumSq += (V - Mean) * (V - Mean);
    Variance = SumSq / static_cast<double>(N - 1);
  }
  return static_cast<int32_t>(N);
}

int32_t TDataTable::QuartilesOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                        int32_t HighRow, double& Q1, double& Q2,
                                        double& Q3) const {
  std::vector<double> Values = NumericValues(LowCol, LowRow, HighCol, HighRow);
  Q1 = PercentileOfArray(25, Values);
  Q2 = PercentileOfArray(50, Values);
  Q3 = PercentileOfArray(75, Values);
  return static_cast<int32_t>(Values.size());
}

double TDataTable::PercentileOfNumCells(double Percent, int32_t LowCol, int32_t LowRow,
                                        int32_t HighCol, int32_t HighRow) const {
  std::vector<double> Values = NumericValues(LowCol, LowRow, HighCol, HighRow);
  return PercentileOfArray(Percent, Values);
}

// ---- 9. Export ----------------------------------------------------------------------------

void TDataTable::ExportAsASC(const std::string& FName, int32_t Precision) const {
  const auto Number = [Precision](double V) {
    return Precision >= 0 ? FixedStr(V, 0, std::min(Precision, 15))
                          : FloatToStrF(V, ffExponent, 15, 2);
  };
  TTextFile F;
  AssignFile(F, FName);
  Rewrite(F);
  std::string Head = FComment;
  for (char& C : Head)
    if (static_cast<unsigned char>(C) < 32 || C == 127) C = ' ';
  WriteLn(F, Head);
  WriteLn(F, IntToStr(FNrCols));
  WriteLn(F, IntToStr(FNrRows));
  WriteLn(F, "TRUE TRUE TRUE TRUE");
  std::string Line;
  for (const TColHead& H : FColHeads) Line += (Line.empty() ? "" : " ") + Quoted(H.Name);
  WriteLn(F, Line);
  Line.clear();
  for (const TColHead& H : FColHeads) Line += (Line.empty() ? "" : " ") + IntToStr(H.Attrib);
  WriteLn(F, Line);
  int32_t LastPercent = -1;
  for (int32_t R = 1; R <= FNrRows; ++R) {
    const TRowHead& H = FRowHeads[static_cast<std::size_t>(R - 1)];
    Line = Quoted(H.Name) + " " + IntToStr(H.Attrib);
    for (int32_t C = 1; C <= FNrCols; ++C)
      Line += " " + (GetIsNumber(C, R) && std::isfinite(GetElem(C, R)) ? Number(GetElem(C, R))
                                                                       : std::string("NaN"));
    WriteLn(F, Line);
    ReportProgress(R, FNrRows, LastPercent);
  }
  CloseFile(F);
}

// ---- 10. Notifications --------------------------------------------------------------------

void TDataTable::BeginUpdate() { ++FUpdateCount; }

void TDataTable::EndUpdate() {
  if (FUpdateCount == 0 || --FUpdateCount > 0) return;
  if (FChangePending) {
    FChangePending = false;
    if (OnChange) OnChange(this);
  }
  if (FSetupPending) {
    FSetupPending = false;
    if (OnChangeSetup) OnChangeSetup(this);
  }
}

} // namespace zef
