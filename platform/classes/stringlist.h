// TStringList: a list of strings, each with an optional object pointer, that can keep itself
// sorted, read and write its items as lines, as delimited text and as name=value pairs, and
// load and save them as single-byte text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "classes/object.h"
#include "rtl/strings.h"

namespace zef {

class TStream;

// What Add does on a sorted list with a string that is already there.
enum TDuplicates : uint8_t { dupIgnore, dupAccept, dupError };

class TStringList;

// Compares the items at Index1 and Index2 of List: < 0, 0 or > 0.
using TStringListSortCompare = std::function<int(TStringList& List, int Index1, int Index2)>;

// Indices are 0-based; a bad index raises EListError "List index out of bounds (<index>)".
// Every change fires OnChanging before and OnChange after it, except between BeginUpdate and
// EndUpdate. String comparisons ignore ASCII case unless CaseSensitive is set.
class TStringList : public TPersistent {
public:
  // With AOwnsObjects the list deletes the objects of the items it deletes, clears or replaces.
  explicit TStringList(bool AOwnsObjects = false) : FOwnsObjects(AOwnsObjects) {}
  ~TStringList() override;
  TStringList(const TStringList&) = delete;
  TStringList& operator=(const TStringList&) = delete;

  // ---- Items

  int Count() const { return static_cast<int>(FItems.size()); }
  // Adds S and returns its index: at the end, or on a sorted list at its sorted place. A sorted
  // list that holds S already returns the existing index for dupIgnore (storing neither S nor
  // the object), raises EListError "String list does not allow duplicates" for dupError and,
  // for dupAccept, adds S after the equal strings.
  int Add(const std::string& S);
  int AddObject(const std::string& S, TObject* AObject);
  // Adds every item (string and object) of Strings.
  void AddStrings(const TStringList& Strings);
  // Insert before Index (0..Count); a sorted list raises EListError "Operation not allowed on
  // sorted list".
  void Insert(int Index, const std::string& S);
  void InsertObject(int Index, const std::string& S, TObject* AObject);
  void Delete(int Index);
  void Clear();

  const std::string& Strings(int Index) const;
  const std::string& operator[](int Index) const { return Strings(Index); }
  // Replaces a string; not allowed on a sorted list (EListError as for Insert).
  void SetStrings(int Index, const std::string& S);
  TObject* Objects(int Index) const;
  void SetObjects(int Index, TObject* AObject);

  // Index of the first item equal to S, or -1; binary search on a sorted list.
  int IndexOf(std::string_view S) const;
  // Binary search of a list in sort order (Sorted, or after Sort): returns whether S is there
  // and sets Index to its first occurrence, or else to where S would be inserted.
  bool Find(std::string_view S, int& Index) const;

  // Swap two items, or move one to another index; not allowed on a sorted list (EListError as
  // for Insert).
  void Exchange(int Index1, int Index2);
  void Move(int CurIndex, int NewIndex);

  // ---- Sorting

  // Switching Sorted on sorts the list.
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  // Applies to sorted lists only; default dupIgnore.
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  // Default false: CompareText; true: CompareStr. A sorted list re-sorts when it changes.
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  // Stable sort by the list's string comparison.
  void Sort();
  // Stable sort by Compare, which may read the list but must not change it. Not allowed on a
  // sorted list (EListError as for Insert). Any Compare result is safe, even an inconsistent one.
  void CustomSort(const TStringListSortCompare& Compare);
  // Compares two strings the way this list does: < 0, 0 or > 0.
  int CompareStrings(std::string_view S1, std::string_view S2) const;

  // ---- Text forms

  // Every item followed by "\r\n". SetText replaces the items by the lines of Value, which may
  // end in CR LF, LF or CR; a line end at the very end does not add an empty item.
  std::string Text() const;
  void SetText(std::string_view Value);

  // The items separated by Delimiter. An item that contains the delimiter, QuoteChar or (unless
  // StrictDelimiter) a character of code 32 or below is written between QuoteChar with inner
  // quote characters doubled; a list of one empty item is written as two quote characters.
  std::string DelimitedText() const;
  // Replaces the items by those of Value. Unless StrictDelimiter, blanks and control characters
  // also separate items and are dropped around them. A quoted item ends at its closing quote
  // (doubled quotes stand for one); a delimiter at the very end adds an empty item.
  void SetDelimitedText(std::string_view Value);
  // DelimitedText with ',', '"' and StrictDelimiter false, whatever the list's settings.
  std::string CommaText() const;
  void SetCommaText(std::string_view Value);
  char Delimiter() const { return FDelimiter; }
  void SetDelimiter(char Value) { FDelimiter = Value; }
  char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(char Value) { FQuoteChar = Value; }
  bool StrictDelimiter() const { return FStrictDelimiter; }
  void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }

  // ---- Name=value pairs

  char NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(char Value) { FNameValueSeparator = Value; }
  // The part of item Index before the first separator ("" when it has none), and the part
  // after it ("" when it has none).
  std::string Names(int Index) const;
  std::string ValueFromIndex(int Index) const;
  // Index of the first item whose name equals Name, or -1.
  int IndexOfName(std::string_view Name) const;
  // The value of the first item named Name ("" when there is none).
  std::string Values(std::string_view Name) const;
  // Sets the value of the first item named Name, adding "Name=Value" when there is none; an
  // empty Value deletes the item. The item keeps its object.
  void SetValues(const std::string& Name, const std::string& Value);

  // ---- Copying, notification, files

  // From a TStringList: copies the items (strings and object pointers) and the settings
  // except OwnsObjects and the events. Other sources: TPersistent::Assign.
  void Assign(const TPersistent& Source) override;

  // Nested calls; OnChanging fires at the first BeginUpdate and OnChange at the last EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  // Text() as single-byte text in CodePage; cpUtf8 writes a byte-order mark first. Loading
  // reads from the stream position to its end and replaces the items with SetText; data that
  // start with the UTF-8 byte-order mark are read as UTF-8 whatever CodePage says.
  // Stream and file errors raise the exceptions of rtl/streams.h.
  void LoadFromStream(TStream& Stream, TCodePage CodePage = cpLatin1);
  void SaveToStream(TStream& Stream, TCodePage CodePage = cpLatin1) const;
  void LoadFromFile(const std::string& FileName, TCodePage CodePage = cpLatin1);
  void SaveToFile(const std::string& FileName, TCodePage CodePage = cpLatin1) const;

private:
  struct TItem {
    std::string S;
    TObject* Object = nullptr;
  };

  void CheckIndex(int Index) const;
  void CheckNotSorted() const;
  void Changing();
  void Changed();
  void InsertItem(int Index, const std::string& S, TObject* AObject);
  void FreeObject(TObject* AObject) const;
  // Reorders the items by Compare with a merge sort.
  void SortBy(const TStringListSortCompare& Compare);
  std::string DelimitedTextWith(char Delim, char Quote, bool Strict) const;
  void SetDelimitedTextWith(std::string_view Value, char Delim, char Quote, bool Strict);

  std::vector<TItem> FItems;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
  bool FCaseSensitive = false;
  bool FOwnsObjects = false;
  char FDelimiter = ',';
  char FQuoteChar = '"';
  bool FStrictDelimiter = false;
  char FNameValueSeparator = '=';
  int FUpdateCount = 0;
};

} // namespace zef
