// Data structures of the suite: the string array behind tables and report lists, checksums,
// text encodings and combinatorics, the feature matrix with its text file, and the small
// containers (bit field, byte matrix, FIFO, string accumulator, associative array,
// run-length coder). Errors raise EZEFDStructError.
//
// Contents
//   1. TStringArray                     4. TBitFld, TByteMatrix
//   2. Checksums, encodings, combinatorics   5. TFifo, TStringAccu, TAssocArray
//   3. TFeatMatProps, TFeatureMatrix    6. TRLEncoder
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ZEF_zefbase.h"
#include "rtl/streams.h"
#include "rtl/textfile.h"
#include "rtl/variant.h"

namespace zef {

// ---- 1. TStringArray ----------------------------------------------------------------------

// The string pool of the string array: texts stored as a length byte and up to 255 bytes.
inline constexpr int32_t StringPoolSize = 32768;
using TStringPool = std::array<uint8_t, StringPoolSize>;

// The handler may replace the text that a row is sorted by (OutString starts as InString).
using TBeforeSortExchgEvent =
    std::function<void(TObject* Sender, const std::string& InString, std::string& OutString)>;

// A table of short texts: columns 0..NrOfColumns (column 0 is an extra column, for row
// headers), rows 1..NrOfRows, a byte of attributes per column (1..NrOfColumns) and per row,
// and a sort order that maps logical rows to the physical rows holding them. Every row
// argument is a logical row.
//
// Cells hold at most 255 characters of the Windows-1252 code page (other characters become
// "?"); texts are packed into 32768-byte pools, a rewritten cell reuses its slot when the new
// text is not longer, and GarbageCollection compacts the pools. Setters ignore indices out
// of range; getters answer them with empty texts and zeros.
class TStringArray : public TComponent {
public:
  explicit TStringArray(TComponent* AOwner);
  ~TStringArray() override;

  // From another TStringArray: sizes, texts, sort order, attributes and the three handlers.
  void Assign(const TPersistent& Source) override;
  void Changed();

  int32_t AllocRowsBy() const { return FAllocRowsBy; }
  // Values below 1 are ignored.
  void SetAllocRowsBy(int32_t Value);
  int32_t NrOfColumns() const { return FNCol; }
  void SetNrOfColumns(int32_t Value) { Resize(Value, FNRow); }
  int32_t NrOfRows() const { return FNRow; }
  void SetNrOfRows(int32_t Value) { Resize(FNCol, Value); }
  int32_t NumBuffers() const { return static_cast<int32_t>(FPools.size()); }

  std::string GetString(int32_t c, int32_t r) const;
  // Stores the text (cut to 255 characters) and fires OnChange.
  void SetString(int32_t c, int32_t r, std::string_view s);
  std::string Elem(int32_t c, int32_t r) const { return GetString(c, r); }
  void SetElem(int32_t c, int32_t r, std::string_view s) { SetString(c, r, s); }
  // The cell as a decimal number (blanks trimmed, commas read as points, empty = 0); a text
  // that is no number raises EZEFDStructError
  // "Class TStringArray: invalid numeric string: [c,r]: <text>".
  double GetAsNumber(int32_t c, int32_t r) const;
  // GetAsNumber rounded and limited to -2147483647..2147483647.
  int32_t GetAsInteger(int32_t c, int32_t r) const;
  double AsNumber(int32_t c, int32_t r) const { return GetAsNumber(c, r); }
  int32_t AsInteger(int32_t c, int32_t r) const { return GetAsInteger(c, r); }

  uint8_t GetRowAttrib(int32_t r) const;
  uint8_t GetColAttrib(int32_t c) const;
  void SetRowAttrib(int32_t r, uint8_t b);
  void SetColAttrib(int32_t c, uint8_t b);
  uint8_t RowAttrib(int32_t r) const { return GetRowAttrib(r); }
  uint8_t ColAttrib(int32_t c) const { return GetColAttrib(c); }
  // The physical row of logical row ix, -1 outside 1..NrOfRows.
  int32_t GetSortOrder(int32_t ix) const;
  // Maps logical row ix to physical row position (both in 1..NrOfRows; no notification: the
  // caller keeps the order a permutation).
  void SetSortOrder(int32_t ix, int32_t position);
  int32_t SortOrder(int32_t ix) const { return GetSortOrder(ix); }

  // New counts; false (and no change) when either is 0 or less. Texts and attributes within
  // both sizes remain, the sort order becomes the identity and OnChange fires, unless the
  // counts are unchanged (true, nothing happens).
  bool Resize(int32_t Nc, int32_t Nr);
  // Appends a row and returns the new row count.
  int32_t AddRow();
  // Empties every cell, resets order and attributes, keeps one empty pool (no notification).
  void Clear();
  // s into every cell; the empty text clears the array.
  void Fill(std::string_view s);
  // Texts of columns 0..NrOfColumns and the attribute of row Source into row Target.
  void CopyRow(int32_t Source, int32_t Target);
  // An empty row at logical position r; the other rows keep their order.
  void InsertRow(int32_t r);
  // Removes row r (the only row is emptied instead); the other rows keep their order.
  void RemoveRow(int32_t r);
  // An empty column at c (1..NrOfColumns); the sort order becomes the identity.
  void InsertColumn(int32_t c);
  // Removes column c (1..NrOfColumns; the only column is emptied instead).
  void RemoveColumn(int32_t c);
  // Every cell of the column (row) is empty or blanks only; RowEmpty looks at columns 1..N.
  bool ColumnEmpty(int32_t ACol) const;
  bool RowEmpty(int32_t ARow) const;

  // The first cell, rows outer and columns inner, each from the smaller limit to the larger,
  // holding FindStr (FindCell) or equal to it (FindCellExact). -1 for ColLow or ColHigh
  // means all columns, -1 for both row limits all rows; limits are clamped. Without
  // MatchCase the letters A to Z are compared in lower case. An empty FindStr never occurs.
  bool FindCell(std::string_view FindStr, bool MatchCase, int32_t ColLow, int32_t ColHigh,
                int32_t RowLow, int32_t RowHigh, int32_t& Col, int32_t& Row) const;
  bool FindCellExact(std::string_view FindStr, bool MatchCase, int32_t ColLow, int32_t ColHigh,
                     int32_t RowLow, int32_t RowHigh, int32_t& Col, int32_t& Row) const;
  // Binary search of a column sorted in the given direction; finds the first of equal rows.
  bool FindCellInSortedColumn(std::string_view FindStr, bool MatchCase, int32_t ColIx,
                              int32_t RowLow, int32_t RowHigh, bool ColIsAscending,
                              int32_t& Row) const;

  // Comb sort of the sort order by column Col (then ColSec when >= 1), keys lower-cased in
  // A to Z and passed through OnBeforeSortExchange. Fires OnPercentDone from 0 to 100 and
  // OnChange.
  void Sort(int32_t Col, int32_t ColSec, bool Ascending);
  // The identity order; fires OnChange.
  void UnSort();
  // Moves the rows into the sort order, which becomes the identity (no notification).
  void CommitSorting();
  // Packs the texts of each pool together and frees the space of abandoned slots.
  void GarbageCollection();
  // The first free offset (1-based) of pool Ix (1..NumBuffers); 0 outside.
  int32_t BufferFill(int32_t Ix) const;

  // The tagged-text block "stringarray": sizes, attributes and the non-empty cells in
  // logical row order. Reading skips to the block with DataID (any when empty); true when a
  // complete block was read, otherwise the array keeps its contents.
  bool ReadFromOpenXMLFile(TTextFile& F, const std::string& DataID);
  bool LoadFromXMLFile(const std::string& FName, const std::string& DataID);
  void WriteToOpenXMLFile(TTextFile& F, bool CreateHeader, const std::string& DataID) const;
  void SaveAsXMLFile(const std::string& FName, const std::string& DataID) const;

  TNotifyEvent OnChange;
  TOnPercentDoneEvent OnPercentDone;
  TBeforeSortExchgEvent OnBeforeSortExchange;

private:
  std::size_t RefIndex(int32_t c, int32_t Phys) const {
    return static_cast<std::size_t>(c) * FAllocRows + static_cast<std::size_t>(Phys - 1);
  }
  // The text of a cell reference in Windows-1252 bytes.
  std::string_view RefText(uint32_t Ref) const;
  // Stores Windows-1252 bytes (at most 255) into the cell of physical row Phys.
  void StoreRaw(int32_t c, int32_t Phys, std::string_view Bytes);
  std::string CellRaw(int32_t c, int32_t Phys) const {
    return std::string(RefText(FRefs[RefIndex(c, Phys)]));
  }
  void IdentityOrder();
  // Reallocates the tables for Nc columns and room for Nr rows, keeping what fits.
  void Reallocate(int32_t Nc, int32_t Nr);
  // The sort key of a cell of logical row r.
  std::string SortKey(int32_t Col, int32_t r);
  bool FindCellIn(std::string_view FindStr, bool MatchCase, bool Exact, int32_t ColLow,
                  int32_t ColHigh, int32_t RowLow, int32_t RowHigh, int32_t& Col,
                  int32_t& Row) const;

  int32_t FNCol = 1;
  int32_t FNRow = 1;
  int32_t FAllocRows = 10;
  int32_t FAllocRowsBy = 10;
  // Column-major: (NCol + 1) columns of FAllocRows physical rows each.
  std::vector<uint32_t> FRefs;
  std::vector<std::unique_ptr<TStringPool>> FPools;
  std::vector<int32_t> FFirstFree;
  std::vector<int32_t> FSortOrder;  // index 0 unused
  std::vector<uint8_t> FRowAttribs; // by physical row, index 0 unused
  std::vector<uint8_t> FColAttribs; // index 0 unused
};

// ---- 2. Checksums, encodings, combinatorics -----------------------------------------------

enum TCRC16Mode : uint8_t { crcZModem, crcCCITT };
// Element 0 is the number n of used elements, elements 1..n the values.
using TCombination = std::array<uint8_t, 256>;
// A SHA-1 digest in the standard byte order.
using TSHACode = std::array<uint8_t, 20>;

// One step of CRC-16 (polynomial $1021, most significant bit first).
uint16_t CalcNextCRC16(uint8_t b, uint16_t crc);
// CRC-16/XMODEM (crcZModem, start 0) or CRC-16/CCITT-FALSE (crcCCITT, start $FFFF) of the
// first NumBytes bytes (limited to the buffer).
uint16_t CRC16ofBuffer(std::span<const uint8_t> Buffer, int32_t NumBytes, TCRC16Mode Mode);
// One step of the reflected CRC-32 (polynomial $EDB88320), without pre- and post-inversion.
uint32_t CalcNextCRC32(uint8_t b, uint32_t crc);
// The CRC-32 of IEEE 802.3 (zlib's crc32) of the first NumBytes bytes.
uint32_t CRC32ofBuffer(std::span<const uint8_t> Buffer, int64_t NumBytes);
uint32_t CRC32ofBuffer(std::span<const uint8_t> Buffer);
// Continues a CRC-32: Crc is the value of the bytes so far (0 for none).
uint32_t UpdateCRC32(uint32_t Crc, const uint8_t* Data, std::size_t Count);
// CRC-32 of a file; 0 when it cannot be opened or read.
uint32_t CalcCRC32ofFile(const std::string& FName);

// SHA-1 of arbitrary bytes (any length).
TSHACode SHA1FromBytes(std::span<const uint8_t> Data);
// SHA-1 of the first L bytes of the text's UTF-16LE form, L being its number of characters
// (UTF-16 code units).
TSHACode SHA1FromString(std::string_view Text);
// SHA-1 of the bytes from the stream's position to its end.
TSHACode SHA1FromStream(TStream& Stream);
// SHA-1 of a file; a file that cannot be opened raises EFOpenError.
TSHACode SHA1FromFile(const std::string& FName);
// 40 upper-case hexadecimal digits.
std::string SHA1DigestToHex(const TSHACode& Digest);

// ASCII85 from the stream's position to its end: "z" for four zero bytes, k + 1 digits for
// a group of k bytes (short last groups are not padded), CR LF after every 12 five-digit
// groups with LineBreaks, "~>" at the end.
void EncodeASCII85(TStream& InStream, TStream& OutStream, bool LineBreaks);
// Decodes up to "~" or the end; line ends are skipped. 0, or -1 (-2 for a "z" inside a
// group) when a character outside "!".."u" was met (decoding goes on without it).
int32_t DecodeASCII85(TStream& InStream, TStream& OutStream);
// Base64 (RFC 4648, "=" padding) in lines of 60 characters, each followed by CR LF with
// LineBreaks.
void EncodeBase64(TStream& InStream, TStream& OutStream, bool LineBreaks);
// Decodes quartets, ignoring line ends. 0, or -1 at the first character that is not of the
// alphabet or "=" (decoding stops there; the complete quartets before it are written).
int32_t DecodeBase64(TStream& InStream, TStream& OutStream);

// The next combination of Combi[0] values out of 1..NItems in lexicographic order; false
// (Combi unchanged) after the last.
bool NextCombination(TCombination& Combi, int32_t NItems);
// The next permutation of 1..Perm[0] in the order of the adjacent exchange walk; false
// after the last.
bool NextPermutation(TCombination& Perm);
// 0-based index of the element nearest to x (the first on ties); -1 for no elements.
int32_t IndexOfNearestArrayValue(double x, std::span<const double> Values);
int32_t IndexOfNearestArrayValue(int32_t x, std::span<const int32_t> Values);

// ---- 3. TFeatMatProps, TFeatureMatrix -----------------------------------------------------

enum TFeatKind : uint8_t { fkUndefined, fkInteger, fkDouble, fkString, fkTriState };
// The value names of TFeatKind as the feature-matrix file writes them.
extern const std::array<const char*, 5> FeatKindNames;

// The description of one feature (column) of a feature matrix.
class TFeatMatProps : public TComponent {
public:
  explicit TFeatMatProps(TComponent* AOwner);
  // Back to the defaults.
  void Clear();
  // All seven properties.
  void Assign(const TPersistent& Source) override;

  int32_t FeatNum = 0;
  std::string FeatName = "undefined";
  TFeatKind FeatKind = fkUndefined;
  std::string Comment;
  std::string PresetValues;
  bool Sorted = false;
  // For the application's use; not copied by the matrix's file.
  void* GUIElem = nullptr;
};

// A table of objects (rows, 1..NObjects) described by typed features (columns,
// 1..NFeatures). Values are texts, checked against the feature's kind by the typed
// accessors, which raise EZEFDStructError "Component \"<Name>\": ..." when the kind does not
// allow the operation (the value is then unchanged). Indices out of range are ignored.
class TFeatureMatrix : public TComponent {
public:
  explicit TFeatureMatrix(TComponent* AOwner);
  ~TFeatureMatrix() override;

  // Frees all features; 0 x 0; OnChange.
  void Clear();
  // Sizes, every feature's properties (copied) and values, and the OnChange handler.
  void Assign(const TPersistent& Source) override;
  void Changed();

  int32_t NFeatures() const { return static_cast<int32_t>(FProps.size()); }
  int32_t NObjects() const { return FNObjects; }
  // New features get default properties; values within both sizes remain; OnChange.
  void SetNFeatures(int32_t Value);
  void SetNObjects(int32_t Value);
  // Both sizes (negative values count as 0); false when the memory cannot be had.
  bool Resize(int32_t NFeats, int32_t NObjs);
  // Every value to its kind's default ("0" for numbers, empty otherwise).
  void ResetToDefault();

  // The feature's own properties; outside 1..NFeatures a new default object that the caller
  // owns (nullptr is never returned).
  TFeatMatProps* GetFeatProps(int32_t fix);
  // The matrix takes Props over (and owns it); ignored (Props deleted) outside the range.
  void SetFeatProps(int32_t fix, std::unique_ptr<TFeatMatProps> Props);

  int64_t GetFeatValInt(int32_t fix, int32_t obj) const;
  void SetFeatValint(int32_t fix, int32_t obj, int64_t FeatVal);
  double GetFeatValDouble(int32_t fix, int32_t obj) const;
  void SetFeatValDouble(int32_t fix, int32_t obj, double FeatVal);
  TTriState GetFeatValTriState(int32_t fix, int32_t obj) const;
  void SetFeatValTriState(int32_t fix, int32_t obj, TTriState FeatVal);
  std::string GetFeatValStr(int32_t fix, int32_t obj) const;
  void SetFeatValStr(int32_t fix, int32_t obj, const std::string& FeatVal);
  std::string FeatVal(int32_t fix, int32_t obj) const { return GetFeatValStr(fix, obj); }

  // Sets feature fix of every object; false when fix is out of range.
  bool Fill(int32_t fix, const std::string& FeatVal);
  bool Fill(int32_t fix, int64_t FeatVal);
  bool Fill(int32_t fix, double FeatVal);
  bool Fill(int32_t fix, TTriState FeatVal);

  void InsertObject(int32_t obj);
  void RemoveObject(int32_t obj);
  // feat in 1..NFeatures + 1.
  void InsertFeature(int32_t feat);
  void RemoveFeature(int32_t feat);
  void ClearObject(int32_t obj);
  void ClearFeature(int32_t feat);
  void CopyObject(int32_t Source, int32_t Target);

  // Range operations; IxFrom = IxTo = 0 means all features.
  void SetFeatType(int32_t IxFrom, int32_t IxTo, TFeatKind FeatKind);
  void RenumberFeatures(int32_t IxFrom, int32_t IxTo, int32_t FirstNum, int32_t Delta);
  // Names from a template with placeholders "<%" letter parameter "%>": D the running
  // number n = FirstNum + k * Delta (parameter < 0: exactly |p| digits with zeros, > 0:
  // right-aligned in p characters), I the feature index (as D), H n in hexadecimal with
  // max(p, 1) digits (at most 8), T the current date and time formatted by the parameter.
  // 0; -1 for a range outside 1..NFeatures; -2 (names from the failing feature on kept) for
  // an unknown letter or a "<%" after the first "%>".
  int32_t GenerateFeatNames(const std::string& Template, int32_t IxFrom, int32_t IxTo,
                            int32_t FirstNum, int32_t Delta);
  // 1-based index of the first feature named Name (A to Z case ignored); -1 when none.
  int32_t FindFeatName(std::string_view Name) const;
  int32_t FindFeatNum(int32_t Num) const;

  // The feature-matrix text file ("#featdef", "#featvals", "#featend" blocks).
  void Save(const std::string& FName) const;
  void SaveToOpenFile(TTextFile& F) const;
  // -1 missing file, 0 success, -2 no block found, -3 read or number failure.
  int32_t Load(const std::string& FName);
  // 0 a block was read, -1 none was found, -2 a read or number failure (what was read
  // remains). Clears the matrix first and fires OnChange at the end.
  int32_t LoadFromOpenFile(TTextFile& F);

  TNotifyEvent OnChange;

private:
  bool InFeat(int32_t fix) const { return fix >= 1 && fix <= NFeatures(); }
  bool InCell(int32_t fix, int32_t obj) const {
    return InFeat(fix) && obj >= 1 && obj <= FNObjects;
  }
  std::string& Cell(int32_t fix, int32_t obj) { return FValues[fix - 1][obj - 1]; }
  const std::string& Cell(int32_t fix, int32_t obj) const { return FValues[fix - 1][obj - 1]; }
  std::string KindDefault(int32_t fix) const;
  [[noreturn]] void Fail(const std::string& Text) const;
  // Checks FeatVal against the kind of feature fix as SetFeatValStr does.
  void CheckText(int32_t fix, const std::string& FeatVal, bool AllowEmptyNumber) const;
  void ResizeValues(int32_t NFeats, int32_t NObjs);
  // A feature range clamped to 1..NFeatures and ordered (0, 0 = all); false without features.
  bool ClampRange(int32_t& IxFrom, int32_t& IxTo) const;
  int32_t ReadBlocks(TTextFile& F);

  std::vector<std::unique_ptr<TFeatMatProps>> FProps;
  std::vector<std::vector<std::string>> FValues; // [feature][object]
  int32_t FNObjects = 0;
};

// Valid integer text of the feature matrix: sign or digit, then digits (one character must
// be a digit).
bool IsValidFeatIntText(std::string_view S);
// A text that starts with a floating-point number (point as separator, exponent allowed,
// magnitude of the exponent at most 4200).
bool IsValidFeatFloatText(std::string_view S);

// ---- 4. TBitFld, TByteMatrix --------------------------------------------------------------

enum TLogicOp : uint8_t { loAND, loOR, loXOR, loANDNot, loORNot, loXORNot };

// A set of the bits 0..Size (Size + 1 bits). No change notification.
class TBitFld : public TComponent {
public:
  explicit TBitFld(TComponent* AOwner);

  // From a TBitFld: Size and the bits.
  void Assign(const TPersistent& Source) override;
  int32_t Size() const { return FSize; }
  // Positive values resize (bits kept, new ones false); others are ignored.
  void SetSize(int32_t Value);

  void Clear();
  // Size and bits from Source; nothing for nullptr.
  void Clone(const TBitFld* Source);
  bool GetBit(int32_t ix) const;
  void SetBit(int32_t ix, bool Value);
  void ToggleBit(int32_t ix);
  int32_t CountTrueBits() const;
  // The lowest true bit, -1 when none.
  int32_t FirstTrueBit() const;
  void Invert();
  // Sets round(Percent % of Size) random bits (Percent clamped to 0..100); above half the
  // size the field is filled and the complement is cleared, leaving n + 1 bits set.
  void RandomFill(double Percent);
  void RandomFill(int32_t NBits);
  // The ascending indices whose bit equals State.
  void MakeListOfBits(TIntArray& BitList, bool State) const;
  // Byte by byte; nothing when the sizes differ.
  void CombineWith(const TBitFld& SecondBArray, TLogicOp Operation);

private:
  void FillRandom(int32_t n);
  // The bits above Size in the last bytes are kept clear (the negating operations set them).
  void ClearSpareBits();

  int32_t FSize = 1000;
  std::vector<uint8_t> FBytes;
};

// A 1-based byte table of NrOfColumns x NrOfRows with bit access; reads outside answer
// DefaultValue, writes outside are ignored.
class TByteMatrix : public TComponent {
public:
  explicit TByteMatrix(TComponent* AOwner);

  // Sizes, DefaultValue, bytes and the OnChange handler.
  void Assign(const TPersistent& Source) override;
  void Changed();

  int32_t NrOfColumns() const { return FNCols; }
  int32_t NrOfRows() const { return FNRows; }
  // Values below 1 become 1.
  void SetNrOfColumns(int32_t Value);
  void SetNrOfRows(int32_t Value);
  uint8_t DefaultValue = 0;

  // False when the size is unchanged or either count is below 1.
  bool Resize(int32_t NrColumns, int32_t NrRows);
  void Fill(uint8_t Value);
  uint8_t GetByte(int32_t ix, int32_t iy) const;
  void SetByte(int32_t ix, int32_t iy, uint8_t Value);
  // Bit ixBit (0..7) of the byte.
  bool GetBit(int32_t ix, int32_t iy, int32_t ixBit) const;
  void SetBit(int32_t ix, int32_t iy, int32_t ixBit, bool Value);
  void ToggleBit(int32_t col, int32_t row, int32_t ixBit);
  void MirrorColumns();
  void MirrorRows();
  // Only for equal sizes; no notification.
  void CombineWith(const TByteMatrix& SecondByteMatrix, TLogicOp Operation);

  TNotifyEvent OnChange;

private:
  bool Inside(int32_t ix, int32_t iy) const {
    return ix >= 1 && ix <= FNCols && iy >= 1 && iy <= FNRows;
  }
  std::size_t Index(int32_t ix, int32_t iy) const {
    return static_cast<std::size_t>(ix - 1) * FNRows + static_cast<std::size_t>(iy - 1);
  }

  int32_t FNCols = 1;
  int32_t FNRows = 1;
  std::vector<uint8_t> FData; // column-major
};

// ---- 5. TFifo, TStringAccu, TAssocArray ---------------------------------------------------

// A byte ring of Size places holding at most Size - 1 bytes.
class TFifo : public TComponent {
public:
  explicit TFifo(TComponent* AOwner);

  int32_t Size() const { return static_cast<int32_t>(FStore.size()); }
  // Values below 2 are ignored; a new size empties the FIFO.
  void SetSize(int32_t Value);
  void Clear();
  // False when full.
  bool PutByte(uint8_t InByte);
  // Always stores; true when the oldest byte had to be dropped for it.
  bool ForceByte(uint8_t InByte);
  // Puts a byte in front so that it is read next; on a full FIFO the newest byte is dropped
  // to make room. Always true.
  bool LoadBack(uint8_t InByte);
  // False when empty.
  bool GetByte(uint8_t& OutByte);
  // The byte ix places after the next one to be read, without removing it.
  bool SenseByte(int32_t ix, uint8_t& OutByte) const;
  int32_t CountBytes() const;

private:
  std::vector<uint8_t> FStore;
  int32_t FIn = 0;
  int32_t FOut = 0;
};

// Distinct texts (compared exactly) with the number of times each was added; 1-based.
class TStringAccu : public TComponent {
public:
  explicit TStringAccu(TComponent* AOwner) : TComponent(AOwner) {}
  void Clear();
  void Add(const std::string& AString);
  int32_t Size() const { return static_cast<int32_t>(FItems.size()); }
  std::string GetString(int32_t ix) const;
  int32_t GetCount(int32_t ix) const;
  std::string Elem(int32_t ix) const { return GetString(ix); }
  int32_t Count(int32_t ix) const { return GetCount(ix); }

private:
  struct TItem {
    std::string Text;
    int32_t Count;
  };
  std::vector<TItem> FItems;
};

// Keys (texts) mapped to variant values, searched linearly in entry order. With IgnoreCase
// keys are stored and compared lower-cased (A to Z). Entries are 1-based.
class TAssocArray : public TComponent {
public:
  explicit TAssocArray(TComponent* AOwner);

  // Entries, Granularity, IgnoreCase and DataID.
  void Assign(const TPersistent& Source) override;
  int32_t NumEntries() const { return static_cast<int32_t>(FKeys.size()); }
  int32_t Capacity() const { return FCapacity; }
  int32_t Granularity = 1024;
  bool IgnoreCase = true;
  std::string DataID;

  // Replaces the value of an existing key, otherwise appends.
  void Add(const std::string& Key, const TVariant& Value);
  // Moves the last entry into the removed one's place; false when the key is absent.
  bool Remove(const std::string& Key);
  // Null when absent.
  TVariant Resolve(const std::string& Key) const;
  // Empty for Null, otherwise the variant's text.
  std::string ResolveAsString(const std::string& Key) const;
  // Numbers as they are, texts read as floating-point numbers (point or comma); else 0.
  double ResolveAsNumber(const std::string& Key) const;
  // Integers as they are, floats rounded, texts read as decimal numbers; else 0.
  int32_t ResolveAsInt(const std::string& Key) const;
  void Clear();
  std::string GetKeys(int32_t ix) const;
  void SetKeys(int32_t ix, const std::string& Key);
  // An empty text outside 1..NumEntries.
  TVariant GetValues(int32_t ix) const;
  void SetValues(int32_t ix, const TVariant& Value);
  std::string Keys(int32_t ix) const { return GetKeys(ix); }
  TVariant Values(int32_t ix) const { return GetValues(ix); }

  // The tagged-text block "assocarray" on a stream: one element
  // <entry key="..." type="...">value</entry> per entry, the type being null, int, float,
  // currency, bool, date or text. Reading adds the entries of the block with DataID (any
  // when empty) and is true when a complete block was read.
  bool ReadFromXMLStream(TStream& InStream, const std::string& ADataID);
  void WriteToXMLStream(TStream& OutStream, bool CreateHeader, const std::string& ADataID) const;
  // Adds every attribute name="value" of an attribute text as a text entry; returns the
  // number of attributes added, or -1 when the text is malformed (nothing is added then).
  int32_t AddXMLAttributes(std::string_view Attributes);

private:
  int32_t Find(const std::string& Key) const;
  std::string StoredKey(const std::string& Key) const;

  std::vector<std::string> FKeys;
  std::vector<TVariant> FValues;
  int32_t FCapacity = 1024;
};

// ---- 6. TRLEncoder ------------------------------------------------------------------------

enum TDecodeSt : uint8_t { rlData, rlLeadin, rlCnt };

// Block-wise run-length coder. Runs of 3..255 equal bytes, and runs of the lead-in byte 165,
// become 165, n, v; shorter runs stay as they are. Coded or decoded bytes collect in a
// buffer; Encode and Decode answer true once a block of BufLeng bytes is ready for
// GetResult. The buffer grows when a caller does not fetch blocks in time, so no input is
// ever lost.
class TRLEncoder : public TComponent {
public:
  static constexpr uint8_t LeadIn = 165;

  explicit TRLEncoder(TComponent* AOwner);

  int32_t BufLeng() const { return FBufLeng; }
  // Values below 1 are ignored; buffered bytes are kept.
  void SetBufLeng(int32_t Value);
  // The number of bytes waiting in the buffer.
  int32_t Buffered() const { return static_cast<int32_t>(FBuffer.size()); }

  void Reset();
  // Codes the first NumBytes bytes (limited to InBuf); true when a block is ready.
  bool Encode(std::span<const uint8_t> InBuf, int32_t NumBytes);
  // Takes one coded byte; true when a block is ready.
  bool Decode(uint8_t InByte);
  // Moves one block of BufLeng bytes into OutBuf (which must hold BufLeng bytes); nothing
  // when fewer are buffered or OutBuf is too small.
  void GetResult(std::span<uint8_t> OutBuf);
  // Writes the pending run as 165, n, v (when bytes were encoded since the last Finish or
  // Reset), then moves up to BufLeng bytes (limited to OutBuf) into OutBuf and returns their
  // number. Call it until it returns less than BufLeng to empty the buffer; for a decoder it
  // only hands out the last bytes.
  int32_t Finish(std::span<uint8_t> OutBuf);

private:
  void WriteRun();

  int32_t FBufLeng = 256;
  std::vector<uint8_t> FBuffer;
  uint8_t FRunByte = 0;
  int32_t FRunCount = 0;
  TDecodeSt FDecodeState = rlData;
  uint8_t FDecodeCount = 0;
  bool FEncoded = false;
};

} // namespace zef
