// TStringArray: texts in string pools, an indirect row order, searching and sorting.
#include "ZEF_dstruct.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "rtl/mathfn.h"
#include "rtl/numconv.h"
#include "rtl/strings.h"

namespace zef {

namespace {

constexpr int32_t MaxCellLength = 255;
constexpr const char* kRootTag = "stringarray";
// A file may ask for at most this many cells (columns 0..N times rows).
constexpr int64_t MaxFileCells = int64_t{1} << 24;

[[noreturn]] void Raise(const std::string& Text) {
  throw EZEFDStructError("Class TStringArray: " + Text);
}

bool IsBlankOnly(std::string_view S) {
  return std::all_of(S.begin(), S.end(), [](char C) { return C == ' '; });
}

std::string CaseKey(std::string_view S, bool MatchCase) {
  return MatchCase ? std::string(S) : LowerCase(S);
}

// Cell texts in the tagged-text file: "&", "<", ">" and control characters as entities.
std::string EscapeCell(std::string_view S) {
  std::string R;
  R.reserve(S.size());
  for (char C : S) {
    switch (C) {
    case '&': R += "&amp;"; break;
    case '<': R += "&lt;"; break;
    case '>': R += "&gt;"; break;
    default:
      if (static_cast<uint8_t>(C) < 32)
        R += "&#" + std::to_string(static_cast<uint8_t>(C)) + ";";
      else
        R += C;
    }
  }
  return R;
}

std::string UnescapeCell(std::string_view S) {
  std::string R;
  R.reserve(S.size());
  for (std::size_t i = 0; i < S.size(); ++i) {
    if (S[i] != '&') {
      R += S[i];
      continue;
    }
    const std::size_t Semi = S.find(';', i);
    const std::string_view Ent =
        Semi == std::string_view::npos ? std::string_view() : S.substr(i + 1, Semi - i - 1);
    int32_t Code = 0;
    if (Ent == "amp")
      R += '&';
    else if (Ent == "lt")
      R += '<';
    else if (Ent == "gt")
      R += '>';
    else if (Ent.size() >= 2 && Ent.size() <= 4 && Ent[0] == '#' &&
             TryStrToInt(Ent.substr(1), Code) && Code >= 0 && Code < 256)
      AppendUtf8(R, static_cast<char32_t>(Code));
    else {
      R += '&';
      continue;
    }
    i = Semi;
  }
  return R;
}

} // namespace

TStringArray::TStringArray(TComponent* AOwner) : TComponent(AOwner) {
  try {
    FRefs.assign(static_cast<std::size_t>(FNCol + 1) * FAllocRows, 0);
    FPools.push_back(std::make_unique<TStringPool>());
    FFirstFree.assign(1, 1);
    FSortOrder.resize(FAllocRows + 1);
    FRowAttribs.assign(FAllocRows + 1, 0);
    FColAttribs.assign(FNCol + 1, 0);
  } catch (const std::bad_alloc&) {
    Raise("failed to initialize (out of memory)");
  }
  IdentityOrder();
}

TStringArray::~TStringArray() = default;

void TStringArray::Assign(const TPersistent& Source) {
  const auto* S = dynamic_cast<const TStringArray*>(&Source);
  if (S == nullptr) {
    TComponent::Assign(Source);
    return;
  }
  if (S == this) return;
  std::vector<std::unique_ptr<TStringPool>> Pools;
  Pools.reserve(S->FPools.size());
  for (const auto& P : S->FPools) Pools.push_back(std::make_unique<TStringPool>(*P));
  FPools = std::move(Pools);
  FNCol = S->FNCol;
  FNRow = S->FNRow;
  FAllocRows = S->FAllocRows;
  FAllocRowsBy = S->FAllocRowsBy;
  FRefs = S->FRefs;
  FFirstFree = S->FFirstFree;
  FSortOrder = S->FSortOrder;
  FRowAttribs = S->FRowAttribs;
  FColAttribs = S->FColAttribs;
  OnChange = S->OnChange;
  OnPercentDone = S->OnPercentDone;
  OnBeforeSortExchange = S->OnBeforeSortExchange;
}

void TStringArray::Changed() {
  if (OnChange) OnChange(this);
}

void TStringArray::SetAllocRowsBy(int32_t Value) {
  if (Value >= 1) FAllocRowsBy = Value;
}

void TStringArray::IdentityOrder() {
  for (std::size_t i = 0; i < FSortOrder.size(); ++i) FSortOrder[i] = static_cast<int32_t>(i);
}

std::string_view TStringArray::RefText(uint32_t Ref) const {
  if (Ref == 0) return {};
  const TStringPool& P = *FPools[(Ref >> 16) - 1];
  const uint32_t Off = (Ref & 0xFFFF) - 1;
  return {reinterpret_cast<const char*>(P.data()) + Off + 1, P[Off]};
}

void TStringArray::StoreRaw(int32_t c, int32_t Phys, std::string_view Bytes) {
  uint32_t& Ref = FRefs[RefIndex(c, Phys)];
  const int32_t L = static_cast<int32_t>(std::min<std::size_t>(Bytes.size(), MaxCellLength));
  if (L == 0) {
    Ref = 0;
    return;
  }
  int32_t Pool = -1;
  int32_t Off = 0;
  if (Ref != 0 && FPools[(Ref >> 16) - 1]->at((Ref & 0xFFFF) - 1) >= L) {
    Pool = static_cast<int32_t>(Ref >> 16) - 1;
    Off = static_cast<int32_t>(Ref & 0xFFFF);
  } else {
    for (std::size_t b = 0; b < FPools.size(); ++b)
      if (L < StringPoolSize - FFirstFree[b]) {
        Pool = static_cast<int32_t>(b);
        break;
      }
    if (Pool < 0) {
      if (FPools.size() >= 0xFFFF) Raise("too many string buffers (out of memory)");
      FPools.push_back(std::make_unique<TStringPool>());
      FFirstFree.push_back(1);
      Pool = static_cast<int32_t>(FPools.size()) - 1;
    }
    Off = FFirstFree[Pool];
    FFirstFree[Pool] = Off + L + 1;
    Ref = (static_cast<uint32_t>(Pool + 1) << 16) | static_cast<uint32_t>(Off);
  }
  uint8_t* Dst = FPools[Pool]->data() + Off - 1;
  Dst[0] = static_cast<uint8_t>(L);
  std::copy_n(Bytes.data(), L, reinterpret_cast<char*>(Dst + 1));
}

std::string TStringArray::GetString(int32_t c, int32_t r) const {
  if (c < 0 || c > FNCol || r < 1 || r > FNRow) return {};
  return Cp1252ToUtf8(RefText(FRefs[RefIndex(c, FSortOrder[r])]));
}

void TStringArray::SetString(int32_t c, int32_t r, std::string_view s) {
  if (c < 0 || c > FNCol || r < 1 || r > FNRow) return;
  StoreRaw(c, FSortOrder[r], Utf8ToCp1252(s));
  Changed();
}

double TStringArray::GetAsNumber(int32_t c, int32_t r) const {
  const std::string Text = GetString(c, r);
  std::string S(Text);
  S.erase(0, S.find_first_not_of(' '));
  S.erase(S.find_last_not_of(' ') + 1);
  if (S.empty()) return 0;
  std::replace(S.begin(), S.end(), ',', '.');
  double V = 0;
  const bool Plain = S.find_first_of(" \t") == std::string::npos;
  if (!Plain || !TryStrToFloat(S, V) || !std::isfinite(V))
    Raise("invalid numeric string: [" + std::to_string(c) + "," + std::to_string(r) + "]: " + Text);
  return V;
}

int32_t TStringArray::GetAsInteger(int32_t c, int32_t r) const {
  const double V = GetAsNumber(c, r);
  constexpr double Limit = 2147483647.0;
  if (V < -Limit) return -2147483647;
  if (V > Limit) return 2147483647;
  return static_cast<int32_t>(Round(V));
}

uint8_t TStringArray::GetRowAttrib(int32_t r) const {
  return r >= 1 && r <= FNRow ? FRowAttribs[FSortOrder[r]] : 0;
}

uint8_t TStringArray::GetColAttrib(int32_t c) const {
  return c >= 1 && c <= FNCol ? FColAttribs[c] : 0;
}

void TStringArray::SetRowAttrib(int32_t r, uint8_t b) {
  if (r < 1 || r > FNRow) return;
  FRowAttribs[FSortOrder[r]] = b;
  Changed();
}

void TStringArray::SetColAttrib(int32_t c, uint8_t b) {
  if (c < 1 || c > FNCol) return;
  FColAttribs[c] = b;
  Changed();
}

int32_t TStringArray::GetSortOrder(int32_t ix) const {
  return ix >= 1 && ix <= FNRow ? FSortOrder[ix] : -1;
}

void TStringArray::SetSortOrder(int32_t ix, int32_t position) {
  if (ix >= 1 && ix <= FNRow && position >= 1 && position <= FNRow) FSortOrder[ix] = position;
}

void TStringArray::Reallocate(int32_t Nc, int32_t Nr) {
  const int64_t Rounded = int64_t{FAllocRowsBy} * ((int64_t{Nr} - 1) / FAllocRowsBy + 1);
  const int32_t NewAlloc =
      static_cast<int32_t>(std::clamp<int64_t>(Rounded, Nr, std::numeric_limits<int32_t>::max()));
  std::vector<uint32_t> Refs(static_cast<std::size_t>(Nc + 1) * static_cast<std::size_t>(NewAlloc),
                             0);
  std::vector<int32_t> Order(static_cast<std::size_t>(NewAlloc) + 1);
  std::vector<uint8_t> RowAttribs(static_cast<std::size_t>(NewAlloc) + 1, 0);
  std::vector<uint8_t> ColAttribs(static_cast<std::size_t>(Nc) + 1, 0);
  const int32_t KeepCols = std::min(Nc, FNCol);
  const int32_t KeepRows = std::min(Nr, FNRow);
  for (int32_t c = 0; c <= KeepCols; ++c)
    std::copy_n(FRefs.begin() + static_cast<std::ptrdiff_t>(RefIndex(c, 1)), KeepRows,
                Refs.begin() + static_cast<std::ptrdiff_t>(c) * NewAlloc);
  std::copy_n(FRowAttribs.begin(), KeepRows + 1, RowAttribs.begin());
  std::copy_n(FColAttribs.begin(), KeepCols + 1, ColAttribs.begin());
  for (std::size_t i = 0; i < Order.size(); ++i) Order[i] = static_cast<int32_t>(i);
  std::copy_n(FSortOrder.begin(), KeepRows + 1, Order.begin());
  FRefs = std::move(Refs);
  FSortOrder = std::move(Order);
  FRowAttribs = std::move(RowAttribs);
  FColAttribs = std::move(ColAttribs);
  FAllocRows = NewAlloc;
}

bool TStringArray::Resize(int32_t Nc, int32_t Nr) {
  if (Nc == FNCol && Nr == FNRow) return true;
  if (Nc <= 0 || Nr <= 0 || Nc == std::numeric_limits<int32_t>::max()) return false;
  if (Nc != FNCol || Nr > FAllocRows) {
    try {
      Reallocate(Nc, Nr);
    } catch (const std::bad_alloc&) {
      return false;
    } catch (const std::length_error&) {
      return false;
    }
  } else {
    for (int32_t p = std::min(Nr, FNRow) + 1; p <= std::max(Nr, FNRow); ++p) {
      for (int32_t c = 0; c <= FNCol; ++c) FRefs[RefIndex(c, p)] = 0;
      FRowAttribs[p] = 0;
    }
  }
  FNCol = Nc;
  FNRow = Nr;
  IdentityOrder();
  Changed();
  return true;
}

int32_t TStringArray::AddRow() {
  Resize(FNCol, FNRow + 1);
  return FNRow;
}

void TStringArray::Clear() {
  std::fill(FRefs.begin(), FRefs.end(), 0);
  IdentityOrder();
  std::fill(FRowAttribs.begin(), FRowAttribs.end(), 0);
  std::fill(FColAttribs.begin(), FColAttribs.end(), 0);
  FPools.resize(1);
  FFirstFree.assign(1, 1);
}

void TStringArray::Fill(std::string_view s) {
  if (s.empty()) {
    Clear();
    return;
  }
  const std::string Bytes = Utf8ToCp1252(s);
  for (int32_t c = 0; c <= FNCol; ++c)
    for (int32_t p = 1; p <= FNRow; ++p) StoreRaw(c, p, Bytes);
  Changed();
}

void TStringArray::CopyRow(int32_t Source, int32_t Target) {
  if (Source < 1 || Source > FNRow || Target < 1 || Target > FNRow || Source == Target) return;
  const int32_t PS = FSortOrder[Source];
  const int32_t PT = FSortOrder[Target];
  for (int32_t c = 0; c <= FNCol; ++c) StoreRaw(c, PT, CellRaw(c, PS));
  FRowAttribs[PT] = FRowAttribs[PS];
  Changed();
}

void TStringArray::InsertRow(int32_t r) {
  if (r < 1 || r > FNRow) return;
  const int32_t p = FSortOrder[r];
  const int32_t OldN = FNRow;
  if (OldN + 1 > FAllocRows) {
    try {
      Reallocate(FNCol, OldN + 1);
    } catch (const std::bad_alloc&) {
      Raise("not enough memory to insert a row");
    }
  }
  for (int32_t c = 0; c <= FNCol; ++c) {
    auto First = FRefs.begin() + static_cast<std::ptrdiff_t>(RefIndex(c, p));
    std::copy_backward(First, First + (OldN - p + 1), First + (OldN - p + 2));
    *First = 0;
  }
  std::copy_backward(FRowAttribs.begin() + p, FRowAttribs.begin() + OldN + 1,
                     FRowAttribs.begin() + OldN + 2);
  FRowAttribs[p] = 0;
  for (int32_t i = 1; i <= OldN; ++i)
    if (FSortOrder[i] >= p) ++FSortOrder[i];
  std::copy_backward(FSortOrder.begin() + r, FSortOrder.begin() + OldN + 1,
                     FSortOrder.begin() + OldN + 2);
  FSortOrder[r] = p;
  FNRow = OldN + 1;
  Changed();
}

void TStringArray::RemoveRow(int32_t r) {
  if (r < 1 || r > FNRow) return;
  if (FNRow == 1) {
    for (int32_t c = 0; c <= FNCol; ++c) FRefs[RefIndex(c, 1)] = 0;
    FRowAttribs[1] = 0;
    Changed();
    return;
  }
  const int32_t p = FSortOrder[r];
  for (int32_t c = 0; c <= FNCol; ++c) {
    auto First = FRefs.begin() + static_cast<std::ptrdiff_t>(RefIndex(c, p));
    std::copy(First + 1, First + (FNRow - p + 1), First);
    FRefs[RefIndex(c, FNRow)] = 0;
  }
  std::copy(FRowAttribs.begin() + p + 1, FRowAttribs.begin() + FNRow + 1, FRowAttribs.begin() + p);
  FRowAttribs[FNRow] = 0;
  std::copy(FSortOrder.begin() + r + 1, FSortOrder.begin() + FNRow + 1, FSortOrder.begin() + r);
  --FNRow;
  for (int32_t i = 1; i <= FNRow; ++i)
    if (FSortOrder[i] > p) --FSortOrder[i];
  FSortOrder[FNRow + 1] = FNRow + 1;
  Changed();
}

void TStringArray::InsertColumn(int32_t c) {
  if (c < 1 || c > FNCol) return;
  if (!Resize(FNCol + 1, FNRow)) Raise("not enough memory to insert a column");
  for (int32_t k = FNCol; k > c; --k) {
    std::copy_n(FRefs.begin() + static_cast<std::ptrdiff_t>(RefIndex(k - 1, 1)), FNRow,
                FRefs.begin() + static_cast<std::ptrdiff_t>(RefIndex(k, 1)));
    FColAttribs[k] = FColAttribs[k - 1];
  }
  std::fill_n(FRefs.begin() + static_cast<std::ptrdiff_t>(RefIndex(c, 1)), FNRow, 0);
  FColAttribs[c] = 0;
  Changed();
}

void TStringArray::RemoveColumn(int32_t c) {
  if (c < 1 || c > FNCol) return;
  if (FNCol == 1) {
    std::fill_n(FRefs.begin() + static_cast<std::ptrdiff_t>(RefIndex(1, 1)), FNRow, 0);
    FColAttribs[1] = 0;
    Changed();
    return;
  }
  for (int32_t k = c; k < FNCol; ++k) {
    std::copy_n(FRefs.begin() + static_cast<std::ptrdiff_t>(RefIndex(k + 1, 1)), FNRow,
                FRefs.begin() + static_cast<std::ptrdiff_t>(RefIndex(k, 1)));
    FColAttribs[k] = FColAttribs[k + 1];
  }
  Resize(FNCol - 1, FNRow);
}

bool TStringArray::ColumnEmpty(int32_t ACol) const {
  if (ACol < 0 || ACol > FNCol) return true;
  for (int32_t p = 1; p <= FNRow; ++p)
    if (!IsBlankOnly(RefText(FRefs[RefIndex(ACol, p)]))) return false;
  return true;
}

bool TStringArray::RowEmpty(int32_t ARow) const {
  if (ARow < 1 || ARow > FNRow) return true;
  const int32_t p = FSortOrder[ARow];
  for (int32_t c = 1; c <= FNCol; ++c)
    if (!IsBlankOnly(RefText(FRefs[RefIndex(c, p)]))) return false;
  return true;
}

bool TStringArray::FindCellIn(std::string_view FindStr, bool MatchCase, bool Exact, int32_t ColLow,
                              int32_t ColHigh, int32_t RowLow, int32_t RowHigh, int32_t& Col,
                              int32_t& Row) const {
  if (ColLow == -1 || ColHigh == -1) {
    ColLow = 0;
    ColHigh = FNCol;
  }
  if (RowLow == -1 && RowHigh == -1) {
    RowLow = 1;
    RowHigh = FNRow;
  }
  ColLow = std::clamp(ColLow, 0, FNCol);
  ColHigh = std::clamp(ColHigh, 0, FNCol);
  RowLow = std::clamp(RowLow, 1, FNRow);
  RowHigh = std::clamp(RowHigh, 1, FNRow);
  if (ColLow > ColHigh) std::swap(ColLow, ColHigh);
  if (RowLow > RowHigh) std::swap(RowLow, RowHigh);
  if (!Exact && FindStr.empty()) return false;
  const std::string Key = CaseKey(FindStr, MatchCase);
  for (int32_t r = RowLow; r <= RowHigh; ++r)
    for (int32_t c = ColLow; c <= ColHigh; ++c) {
      const std::string Cell = CaseKey(GetString(c, r), MatchCase);
      if (Exact ? Cell == Key : Cell.find(Key) != std::string::npos) {
        Col = c;
        Row = r;
        return true;
      }
    }
  return false;
}

bool TStringArray::FindCell(std::string_view FindStr, bool MatchCase, int32_t ColLow,
                            int32_t ColHigh, int32_t RowLow, int32_t RowHigh, int32_t& Col,
                            int32_t& Row) const {
  return FindCellIn(FindStr, MatchCase, false, ColLow, ColHigh, RowLow, RowHigh, Col, Row);
}

bool TStringArray::FindCellExact(std::string_view FindStr, bool MatchCase, int32_t ColLow,
                                 int32_t ColHigh, int32_t RowLow, int32_t RowHigh, int32_t& Col,
                                 int32_t& Row) const {
  return FindCellIn(FindStr, MatchCase, true, ColLow, ColHigh, RowLow, RowHigh, Col, Row);
}

bool TStringArray::FindCellInSortedColumn(std::string_view FindStr, bool MatchCase, int32_t ColIx,
                                          int32_t RowLow, int32_t RowHigh, bool ColIsAscending,
                                          int32_t& Row) const {
  ColIx = std::clamp(ColIx, 0, FNCol);
  if (RowLow == -1 && RowHigh == -1) {
    RowLow = 1;
    RowHigh = FNRow;
  }
  int32_t lo = std::clamp(std::min(RowLow, RowHigh), 1, FNRow);
  int32_t hi = std::clamp(std::max(RowLow, RowHigh), 1, FNRow);
  const std::string Key = CaseKey(FindStr, MatchCase);
  while (lo <= hi) {
    const int32_t m = lo + (hi - lo) / 2;
    const std::string Cell = CaseKey(GetString(ColIx, m), MatchCase);
    if (Cell == Key) {
      Row = m;
      while (Row > 1 && CaseKey(GetString(ColIx, Row - 1), MatchCase) == Key) --Row;
      return true;
    }
    if (ColIsAscending == (Key < Cell))
      hi = m - 1;
    else
      lo = m + 1;
  }
  return false;
}

std::string TStringArray::SortKey(int32_t Col, int32_t r) {
  const std::string Text = GetString(Col, r);
  std::string Out = Text;
  if (OnBeforeSortExchange) OnBeforeSortExchange(this, Text, Out);
  return LowerCase(Out);
}

void TStringArray::Sort(int32_t Col, int32_t ColSec, bool Ascending) {
  if (OnPercentDone) OnPercentDone(this, 0);
  if (FNRow > 1) {
    // Keys are formed once per row (by physical row, as the order moves during the sort).
    const bool HasSec = ColSec >= 1;
    std::vector<std::string> Keys(static_cast<std::size_t>(FNRow) + 1);
    std::vector<std::string> SecKeys(HasSec ? Keys.size() : 0);
    for (int32_t r = 1; r <= FNRow; ++r) {
      Keys[FSortOrder[r]] = SortKey(Col, r);
      if (HasSec) SecKeys[FSortOrder[r]] = SortKey(ColSec, r);
    }
    const int64_t N = FNRow;
    int64_t Total = N;
    for (int64_t g = N; g > 1;) {
      g = std::max<int64_t>(1, static_cast<int64_t>(static_cast<double>(g) / 1.3));
      Total += N - g;
    }
    auto Greater = [&](int32_t PA, int32_t PB) {
      const int c = Keys[PA].compare(Keys[PB]);
      if (c != 0 || !HasSec) return Ascending ? c > 0 : c < 0;
      const int s = SecKeys[PA].compare(SecKeys[PB]);
      return Ascending ? s > 0 : s < 0;
    };
    int64_t Gap = N;
    int64_t Done = 0;
    bool Swapped = true;
    while (Gap > 1 || Swapped) {
      Gap = std::max<int64_t>(1, static_cast<int64_t>(static_cast<double>(Gap) / 1.3));
      Swapped = false;
      for (int64_t d = 1; d <= N - Gap; ++d)
        if (Greater(FSortOrder[d], FSortOrder[d + Gap])) {
          std::swap(FSortOrder[d], FSortOrder[d + Gap]);
          Swapped = true;
        }
      Done += N - Gap;
      if (OnPercentDone)
        OnPercentDone(this,
                      static_cast<int32_t>(std::min<int64_t>(100, Round(100.0L * Done / Total))));
    }
    Changed();
  }
  if (OnPercentDone) OnPercentDone(this, 100);
}

void TStringArray::UnSort() {
  IdentityOrder();
  Changed();
}

void TStringArray::CommitSorting() {
  std::vector<uint32_t> Refs(FRefs.size(), 0);
  std::vector<uint8_t> RowAttribs(FRowAttribs.size(), 0);
  for (int32_t r = 1; r <= FNRow; ++r) {
    for (int32_t c = 0; c <= FNCol; ++c) Refs[RefIndex(c, r)] = FRefs[RefIndex(c, FSortOrder[r])];
    RowAttribs[r] = FRowAttribs[FSortOrder[r]];
  }
  FRefs = std::move(Refs);
  FRowAttribs = std::move(RowAttribs);
  IdentityOrder();
}

void TStringArray::GarbageCollection() {
  TStringPool Image;
  for (std::size_t b = 0; b < FPools.size(); ++b) {
    const uint32_t Tag = static_cast<uint32_t>(b + 1);
    int32_t Next = 1;
    for (int32_t c = 0; c <= FNCol; ++c)
      for (int32_t p = 1; p <= FNRow; ++p) {
        uint32_t& Ref = FRefs[RefIndex(c, p)];
        if (Ref == 0 || (Ref >> 16) != Tag) continue;
        const std::string_view T = RefText(Ref);
        Image[Next - 1] = static_cast<uint8_t>(T.size());
        std::copy(T.begin(), T.end(), reinterpret_cast<char*>(Image.data() + Next));
        Ref = (Tag << 16) | static_cast<uint32_t>(Next);
        Next += static_cast<int32_t>(T.size()) + 1;
      }
    *FPools[b] = Image;
    FFirstFree[b] = Next;
  }
}

int32_t TStringArray::BufferFill(int32_t Ix) const {
  return Ix >= 1 && Ix <= NumBuffers() ? FFirstFree[Ix - 1] : 0;
}

// ---- Tagged-text file ---------------------------------------------------------------------

void TStringArray::WriteToOpenXMLFile(TTextFile& F, bool CreateHeader,
                                      const std::string& DataID) const {
  WriteXMLBlockStart(F, CreateHeader, "TStringArray", kRootTag, DataID, 1);
  const std::string In = XMLIndentation(3);
  WriteLn(F, In + "<nrcols>" + std::to_string(FNCol) + "</nrcols>");
  WriteLn(F, In + "<nrrows>" + std::to_string(FNRow) + "</nrrows>");
  for (int32_t c = 1; c <= FNCol; ++c)
    if (FColAttribs[c] != 0)
      WriteLn(F, In + "<colattr c=\"" + std::to_string(c) + "\">" + std::to_string(FColAttribs[c]) +
                     "</colattr>");
  for (int32_t r = 1; r <= FNRow; ++r) {
    if (GetRowAttrib(r) != 0)
      WriteLn(F, In + "<rowattr r=\"" + std::to_string(r) + "\">" +
                     std::to_string(GetRowAttrib(r)) + "</rowattr>");
    for (int32_t c = 0; c <= FNCol; ++c) {
      const std::string S = GetString(c, r);
      if (!S.empty())
        WriteLn(F, In + "<cell c=\"" + std::to_string(c) + "\" r=\"" + std::to_string(r) + "\">" +
                       EscapeCell(S) + "</cell>");
    }
  }
  WriteLn(F, XMLIndentation(1) + "</" + kRootTag + ">");
}

bool TStringArray::ReadFromOpenXMLFile(TTextFile& F, const std::string& DataID) {
  if (!FindXMLBlockStart(F, kRootTag, DataID)) return false;
  // The block is read into a scratch array so that a broken block changes nothing.
  TStringArray A(nullptr);
  A.SetAllocRowsBy(FAllocRowsBy);
  int32_t NCol = 0;
  int32_t NRow = 0;
  TXMLTextFileSource Source(F);
  TXMLElement E;
  auto SizeKnown = [&] { return A.FNCol == NCol && A.FNRow == NRow; };
  while (ReadXMLElement(Source, E)) {
    if (E.Name == std::string("/") + kRootTag) {
      if (!SizeKnown()) return false;
      const TNotifyEvent Change = OnChange;
      const TOnPercentDoneEvent Percent = OnPercentDone;
      const TBeforeSortExchgEvent Before = OnBeforeSortExchange;
      Assign(A);
      OnChange = Change;
      OnPercentDone = Percent;
      OnBeforeSortExchange = Before;
      Changed();
      return true;
    }
    std::size_t P = 1;
    if (E.Name == "nrcols" || E.Name == "nrrows") {
      (E.Name == "nrcols" ? NCol : NRow) = ScanDecimal(E.Content, P);
      if (NCol > 0 && NRow > 0) {
        if ((int64_t{NCol} + 1) * NRow > MaxFileCells || !A.Resize(NCol, NRow)) return false;
      }
    } else if (!SizeKnown()) {
      continue;
    } else if (E.Name == "colattr") {
      const int32_t c = XMLAttribAsInt(E.Attributes, "c");
      if (c >= 1 && c <= NCol) A.FColAttribs[c] = static_cast<uint8_t>(ScanDecimal(E.Content, P));
    } else if (E.Name == "rowattr") {
      const int32_t r = XMLAttribAsInt(E.Attributes, "r");
      if (r >= 1 && r <= NRow) A.FRowAttribs[r] = static_cast<uint8_t>(ScanDecimal(E.Content, P));
    } else if (E.Name == "cell") {
      const int32_t c = XMLAttribAsInt(E.Attributes, "c");
      const int32_t r = XMLAttribAsInt(E.Attributes, "r");
      if (c >= 0 && c <= NCol && r >= 1 && r <= NRow)
        A.StoreRaw(c, r, Utf8ToCp1252(UnescapeCell(E.Content)));
    }
  }
  return false;
}

bool TStringArray::LoadFromXMLFile(const std::string& FName, const std::string& DataID) {
  TTextFile F;
  AssignFile(F, FName);
  SetTextCodePage(F, cpWindows1252);
  Reset(F);
  return ReadFromOpenXMLFile(F, DataID);
}

void TStringArray::SaveAsXMLFile(const std::string& FName, const std::string& DataID) const {
  TTextFile F;
  AssignFile(F, FName);
  SetTextCodePage(F, cpWindows1252);
  Rewrite(F);
  WriteToOpenXMLFile(F, true, DataID);
  CloseFile(F);
}

} // namespace zef
