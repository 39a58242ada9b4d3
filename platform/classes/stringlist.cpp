#include "classes/stringlist.h"

#include <algorithm>
#include <numeric>

#include "rtl/streams.h"

namespace zef {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

[[noreturn]] void IndexError(int Index) {
  throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

} // namespace

TStringList::~TStringList() {
  if (FOwnsObjects)
    for (TItem& Item : FItems) delete Item.Object;
}

// ---- Checks and notification --------------------------------------------------------------

void TStringList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
}

void TStringList::CheckNotSorted() const {
  if (FSorted) throw EListError("Operation not allowed on sorted list");
}

void TStringList::Changing() {
  if (FUpdateCount == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (FUpdateCount == 0 && OnChange) OnChange(this);
}

void TStringList::BeginUpdate() {
  Changing();
  ++FUpdateCount;
}

void TStringList::EndUpdate() {
  if (FUpdateCount == 0) return;
  --FUpdateCount;
  Changed();
}

void TStringList::FreeObject(TObject* AObject) const {
  if (FOwnsObjects) delete AObject;
}

// ---- Items --------------------------------------------------------------------------------

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject) {
  Changing();
  FItems.insert(FItems.begin() + Index, TItem{S, AObject});
  Changed();
}

int TStringList::Add(const std::string& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const std::string& S, TObject* AObject) {
  int Index = Count();
  if (FSorted && Find(S, Index)) {
    switch (FDuplicates) {
      case dupIgnore: return Index;
      case dupError: throw EListError("String list does not allow duplicates");
      case dupAccept: {
        // After the equal strings, so that equal items keep the order they were added in.
        const auto After = std::upper_bound(
            FItems.begin() + Index, FItems.end(), S,
            [this](const std::string& A, const TItem& B) { return CompareStrings(A, B.S) < 0; });
        Index = static_cast<int>(After - FItems.begin());
        break;
      }
    }
  }
  InsertItem(Index, S, AObject);
  return Index;
}

void TStringList::AddStrings(const TStringList& Strings) {
  // Copied first: Strings may be this list.
  const std::vector<TItem> Source = Strings.FItems;
  BeginUpdate();
  try {
    for (const TItem& Item : Source) AddObject(Item.S, Item.Object);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStringList::Insert(int Index, const std::string& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(int Index, const std::string& S, TObject* AObject) {
  CheckNotSorted();
  if (Index < 0 || Index > Count()) IndexError(Index);
  InsertItem(Index, S, AObject);
}

void TStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  TObject* Object = FItems[static_cast<std::size_t>(Index)].Object;
  FItems.erase(FItems.begin() + Index);
  FreeObject(Object);
  Changed();
}

void TStringList::Clear() {
  if (FItems.empty()) return;
  Changing();
  std::vector<TItem> Old;
  Old.swap(FItems);
  for (TItem& Item : Old) FreeObject(Item.Object);
  Changed();
}

const std::string& TStringList::Strings(int Index) const {
  CheckIndex(Index);
  return FItems[static_cast<std::size_t>(Index)].S;
}

void TStringList::SetStrings(int Index, const std::string& S) {
  CheckNotSorted();
  CheckIndex(Index);
  Changing();
  FItems[static_cast<std::size_t>(Index)].S = S;
  Changed();
}

TObject* TStringList::Objects(int Index) const {
  CheckIndex(Index);
  return FItems[static_cast<std::size_t>(Index)].Object;
}

void TStringList::SetObjects(int Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  TObject*& Slot = FItems[static_cast<std::size_t>(Index)].Object;
  if (Slot != AObject) FreeObject(Slot);
  Slot = AObject;
  Changed();
}

int TStringList::CompareStrings(std::string_view S1, std::string_view S2) const {
  return FCaseSensitive ? CompareStr(S1, S2) : CompareText(S1, S2);
}

bool TStringList::Find(std::string_view S, int& Index) const {
  const auto First = std::lower_bound(
      FItems.begin(), FItems.end(), S,
      [this](const TItem& A, std::string_view B) { return CompareStrings(A.S, B) < 0; });
  Index = static_cast<int>(First - FItems.begin());
  return First != FItems.end() && CompareStrings(First->S, S) == 0;
}

int TStringList::IndexOf(std::string_view S) const {
  if (FSorted) {
    int Index = 0;
    return Find(S, Index) ? Index : -1;
  }
  for (std::size_t I = 0; I < FItems.size(); ++I)
    if (CompareStrings(FItems[I].S, S) == 0) return static_cast<int>(I);
  return -1;
}

void TStringList::Exchange(int Index1, int Index2) {
  CheckNotSorted();
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(FItems[static_cast<std::size_t>(Index1)], FItems[static_cast<std::size_t>(Index2)]);
  Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
  CheckNotSorted();
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  if (CurIndex == NewIndex) return;
  Changing();
  const auto Begin = FItems.begin();
  if (CurIndex < NewIndex)
    std::rotate(Begin + CurIndex, Begin + CurIndex + 1, Begin + NewIndex + 1);
  else
    std::rotate(Begin + NewIndex, Begin + CurIndex, Begin + CurIndex + 1);
  Changed();
}

// ---- Sorting ------------------------------------------------------------------------------

void TStringList::SetSorted(bool Value) {
  if (Value == FSorted) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (Value == FCaseSensitive) return;
  FCaseSensitive = Value;
  if (FSorted) Sort();
}

void TStringList::Sort() {
  SortBy([](TStringList& List, int Index1, int Index2) {
    return List.CompareStrings(List.FItems[static_cast<std::size_t>(Index1)].S,
                               List.FItems[static_cast<std::size_t>(Index2)].S);
  });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
  CheckNotSorted();
  SortBy(Compare);
}

// A bottom-up merge sort of the item indices: stable, O(n log n), and, unlike the standard
// sorts, well defined for a comparison that is not a strict weak order, since std::merge
// never leaves its ranges. The items stay in place while Compare reads them.
void TStringList::SortBy(const TStringListSortCompare& Compare) {
  const std::size_t N = FItems.size();
  if (N < 2) return;
  Changing();
  std::vector<int> Order(N);
  std::vector<int> Merged(N);
  std::iota(Order.begin(), Order.end(), 0);
  const auto Less = [&](int A, int B) { return Compare(*this, A, B) < 0; };
  for (std::size_t Width = 1; Width < N; Width *= 2) {
    for (std::size_t Lo = 0; Lo < N; Lo += 2 * Width) {
      const std::size_t Mid = std::min(Lo + Width, N);
      const std::size_t Hi = std::min(Lo + 2 * Width, N);
      std::merge(Order.begin() + Lo, Order.begin() + Mid, Order.begin() + Mid,
                 Order.begin() + Hi, Merged.begin() + Lo, Less);
    }
    Order.swap(Merged);
  }
  if (FItems.size() != N) throw EListError("String list changed while it was sorted");
  std::vector<TItem> Items;
  Items.reserve(N);
  for (int I : Order) Items.push_back(std::move(FItems[static_cast<std::size_t>(I)]));
  FItems.swap(Items);
  Changed();
}

// ---- Text forms ---------------------------------------------------------------------------

std::string TStringList::Text() const {
  std::size_t Size = 0;
  for (const TItem& Item : FItems) Size += Item.S.size() + 2;
  std::string R;
  R.reserve(Size);
  for (const TItem& Item : FItems) {
    R += Item.S;
    R += "\r\n";
  }
  return R;
}

void TStringList::SetText(std::string_view Value) {
  BeginUpdate();
  try {
    Clear();
    std::size_t P = 0;
    while (P < Value.size()) {
      const std::size_t End = Value.find_first_of("\r\n", P);
      if (End == std::string_view::npos) {
        Add(std::string(Value.substr(P)));
        break;
      }
      Add(std::string(Value.substr(P, End - P)));
      P = End + (Value[End] == '\r' && End + 1 < Value.size() && Value[End + 1] == '\n' ? 2 : 1);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TStringList::DelimitedTextWith(char Delim, char Quote, bool Strict) const {
  if (FItems.size() == 1 && FItems[0].S.empty()) return std::string{Quote, Quote};
  const auto NeedsQuotes = [&](char C) {
    return C == Delim || C == Quote || (!Strict && static_cast<unsigned char>(C) <= ' ');
  };
  std::string R;
  for (std::size_t I = 0; I < FItems.size(); ++I) {
    const std::string& S = FItems[I].S;
    if (I > 0) R += Delim;
    if (std::none_of(S.begin(), S.end(), NeedsQuotes)) {
      R += S;
      continue;
    }
    R += Quote;
    for (char C : S) {
      if (C == Quote) R += Quote;
      R += C;
    }
    R += Quote;
  }
  return R;
}

void TStringList::SetDelimitedTextWith(std::string_view Value, char Delim, char Quote,
                                       bool Strict) {
  const std::size_t N = Value.size();
  const auto IsBlank = [&](char C) { return !Strict && static_cast<unsigned char>(C) <= ' '; };
  std::size_t P = 0;
  const auto SkipBlanks = [&] {
    while (P < N && IsBlank(Value[P])) ++P;
  };
  BeginUpdate();
  try {
    Clear();
    SkipBlanks();
    while (P < N) {
      std::string S;
      if (Value[P] == Quote) {
        // Up to the closing quote, or to the end when there is none.
        for (++P; P < N; ++P) {
          if (Value[P] != Quote) {
            S += Value[P];
          } else if (P + 1 < N && Value[P + 1] == Quote) {
            S += Quote;
            ++P;
          } else {
            ++P;
            break;
          }
        }
      } else {
        const std::size_t Start = P;
        while (P < N && Value[P] != Delim && !IsBlank(Value[P])) ++P;
        S.assign(Value.substr(Start, P - Start));
      }
      Add(S);
      SkipBlanks();
      if (P < N && Value[P] == Delim) {
        if (P + 1 == N) Add(std::string());
        ++P;
        SkipBlanks();
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TStringList::DelimitedText() const {
  return DelimitedTextWith(FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStringList::SetDelimitedText(std::string_view Value) {
  SetDelimitedTextWith(Value, FDelimiter, FQuoteChar, FStrictDelimiter);
}

std::string TStringList::CommaText() const { return DelimitedTextWith(',', '"', false); }

void TStringList::SetCommaText(std::string_view Value) {
  SetDelimitedTextWith(Value, ',', '"', false);
}

// ---- Name=value pairs ---------------------------------------------------------------------

std::string TStringList::Names(int Index) const {
  const std::string& S = Strings(Index);
  const std::size_t P = S.find(FNameValueSeparator);
  return P == std::string::npos ? std::string() : S.substr(0, P);
}

std::string TStringList::ValueFromIndex(int Index) const {
  const std::string& S = Strings(Index);
  const std::size_t P = S.find(FNameValueSeparator);
  return P == std::string::npos ? std::string() : S.substr(P + 1);
}

int TStringList::IndexOfName(std::string_view Name) const {
  for (std::size_t I = 0; I < FItems.size(); ++I) {
    const std::string_view S = FItems[I].S;
    const std::size_t P = S.find(FNameValueSeparator);
    if (P != std::string_view::npos && CompareStrings(S.substr(0, P), Name) == 0)
      return static_cast<int>(I);
  }
  return -1;
}

std::string TStringList::Values(std::string_view Name) const {
  const int I = IndexOfName(Name);
  return I < 0 ? std::string() : ValueFromIndex(I);
}

void TStringList::SetValues(const std::string& Name, const std::string& Value) {
  const int I = IndexOfName(Name);
  if (Value.empty()) {
    if (I >= 0) Delete(I);
    return;
  }
  std::string Item = Name + FNameValueSeparator + Value;
  if (I < 0) {
    Add(Item);
  } else if (!FSorted) {
    SetStrings(I, Item);
  } else {
    // The entry moves to its new sorted place with its object; it is the same entry, so
    // the Duplicates rule of Add does not apply.
    Changing();
    TObject* Object = FItems[static_cast<std::size_t>(I)].Object;
    FItems.erase(FItems.begin() + I);
    const auto At = std::upper_bound(
        FItems.begin(), FItems.end(), Item,
        [this](const std::string& A, const TItem& B) { return CompareStrings(A, B.S) < 0; });
    FItems.insert(At, TItem{std::move(Item), Object});
    Changed();
  }
}

// ---- Copying and files --------------------------------------------------------------------

void TStringList::Assign(const TPersistent& Source) {
  const auto* List = dynamic_cast<const TStringList*>(&Source);
  if (List == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  if (List == this) return;
  BeginUpdate();
  Clear();
  FItems = List->FItems;
  FSorted = List->FSorted;
  FDuplicates = List->FDuplicates;
  FCaseSensitive = List->FCaseSensitive;
  FDelimiter = List->FDelimiter;
  FQuoteChar = List->FQuoteChar;
  FStrictDelimiter = List->FStrictDelimiter;
  FNameValueSeparator = List->FNameValueSeparator;
  EndUpdate();
}

void TStringList::LoadFromStream(TStream& Stream, TCodePage CodePage) {
  std::string Bytes;
  // Read until the stream reports its end: not every stream knows its size.
  std::vector<char> Buffer(65536);
  const auto Capacity = static_cast<int64_t>(Buffer.size());
  for (;;) {
    const int64_t Got = Stream.Read(Buffer.data(), Capacity);
    if (Got <= 0) break;
    Bytes.append(Buffer.data(), static_cast<std::size_t>(std::min(Got, Capacity)));
  }
  const std::string_view Data = Bytes;
  if (Data.starts_with(Utf8Bom))
    SetText(ToUtf8(Data.substr(Utf8Bom.size()), cpUtf8));
  else
    SetText(ToUtf8(Data, CodePage));
}

void TStringList::SaveToStream(TStream& Stream, TCodePage CodePage) const {
  std::string Bytes;
  if (CodePage == cpUtf8) Bytes = Utf8Bom;
  Bytes += FromUtf8(Text(), CodePage);
  Stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
}

void TStringList::LoadFromFile(const std::string& FileName, TCodePage CodePage) {
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(Stream, CodePage);
}

void TStringList::SaveToFile(const std::string& FileName, TCodePage CodePage) const {
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(Stream, CodePage);
}

} // namespace zef
