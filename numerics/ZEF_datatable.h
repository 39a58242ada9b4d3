// A table of 64-bit floats with a state byte per cell, row and column names and attribute
// bytes, a measurement scale per column with short identifiers for its categories, a free
// comment, structural editing, marks, sorting, block statistics and an ASC text export.
// Cells are indexed (column, row) from 1.
//
// Contents
//   1. Types and constants       5. Structure        8. Block statistics
//   2. Size and cells            6. Marks            9. Export
//   3. Headings and scales       7. Sorting, lookup  10. Notifications
//   4. Whole-table operations
//
// Indexes outside the table never raise: setters ignore them and getters give neutral values
// (0, false, empty text). A table always has at least one column and one row.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ZEF_numerror.h"
#include "classes/object.h"

namespace zef {

// ---- 1. Types and constants ---------------------------------------------------------------

// A row or column name: UTF-8 text of at most MaxDTNameLength characters (code points);
// setters cut longer text.
using TDTNameStr = std::string;
inline constexpr int32_t MaxDTNameLength = 50;
// Category identifiers: at most MaxNominalIDLength characters, for the categories
// 1..MaxNominalIDs of a column.
inline constexpr int32_t MaxNominalIDLength = 10;
inline constexpr int32_t MaxNominalIDs = 150;

// Bits of the cell state byte that the table itself interprets. A cell "is a number" when
// neither dtsNotANumber nor dtsEmpty is set; the other bits are the application's.
inline constexpr uint8_t dtsNotANumber = 1;
inline constexpr uint8_t dtsEmpty = 2;
inline constexpr uint8_t dtsLocked = 16;
inline constexpr uint8_t dtsMarkA = 64;
inline constexpr uint8_t dtsMarkB = 128;

// The measurement scale of a column. Nominal and ordinal columns are categorical: their
// values are category numbers 1..MaxNominalIDs, which may have identifiers.
enum TMeasScaleType : uint8_t { mstUndefined, mstNominal, mstOrdinal, mstInterval, mstRatio };
// "undefined", "nominal", "ordinal", "interval", "ratio", indexed by TMeasScaleType.
extern const std::array<const char*, 5> MScaleTypeNames;

// Sender, the old column and row counts, the new ones.
using TDTResizeEvent = std::function<void(TObject* Sender, int32_t OldCols, int32_t OldRows,
                                          int32_t NewCols, int32_t NewRows)>;
// Sender and the progress in percent (0..100) of a lengthy operation.
using TDTPercentDoneEvent = std::function<void(TObject* Sender, int32_t PercentDone)>;
// One exchange made by a sort: ExchgWhat 1 when the columns Index1 and Index2 were exchanged,
// 2 for two rows; First and Last are the range of columns or rows being sorted.
using TDTSortExchangeEvent = std::function<void(TObject* Sender, uint8_t ExchgWhat,
                                                int32_t Index1, int32_t Index2, int32_t First,
                                                int32_t Last)>;

class TDataTable : public TObject {
public:
  // A table of NrCols x NrRows cells (counts below 1 taken as 1) holding 0 with state 0;
  // EZEFNumericsError for a size beyond MaxNumericsElements cells or beyond the memory.
  explicit TDataTable(int32_t NrCols = 1, int32_t NrRows = 1);
  TDataTable(const TDataTable&) = delete;
  TDataTable& operator=(const TDataTable&) = delete;

  // ---- 2. Size and cells ----

  int32_t NrOfColumns() const { return FNrCols; }
  int32_t NrOfRows() const { return FNrRows; }
  // Changes the size, keeping the cells, headings, scales and identifiers of the lines that
  // remain; new cells are 0 with state 0, new headings empty. Refuses (false, nothing
  // changed) counts below 1 and sizes beyond MaxNumericsElements cells or the memory.
  // A change of size raises OnResize, then OnChangeSetup.
  bool Resize(int32_t NrCols, int32_t NrRows);

  double GetElem(int32_t Col, int32_t Row) const {
    return Inside(Col, Row) ? FValues[Index(Col, Row)] : 0;
  }
  // Stores the value (the state stays as it is); OnChange.
  void SetElem(int32_t Col, int32_t Row, double Value);
  uint8_t GetCellState(int32_t Col, int32_t Row) const {
    return Inside(Col, Row) ? FStates[Index(Col, Row)] : 0;
  }
  void SetCellState(int32_t Col, int32_t Row, uint8_t State);  // OnChange
  // Neither dtsNotANumber nor dtsEmpty is set; false outside the table.
  bool GetIsNumber(int32_t Col, int32_t Row) const {
    return Inside(Col, Row) && (FStates[Index(Col, Row)] & (dtsNotANumber | dtsEmpty)) == 0;
  }
  // Sets every cell value (states stay); OnChange once.
  void Fill(double Value);

  // ---- 3. Headings and scales ----

  TDTNameStr GetColName(int32_t Col) const;
  TDTNameStr GetRowName(int32_t Row) const;
  void SetColName(int32_t Col, const TDTNameStr& Name);  // cut to MaxDTNameLength; OnChange
  void SetRowName(int32_t Row, const TDTNameStr& Name);  // cut to MaxDTNameLength; OnChange
  uint8_t GetColAttrib(int32_t Col) const;
  uint8_t GetRowAttrib(int32_t Row) const;
  void SetColAttrib(int32_t Col, uint8_t Attrib);  // OnChange
  void SetRowAttrib(int32_t Row, uint8_t Attrib);  // OnChange

  // mstUndefined for a new column and outside the table.
  TMeasScaleType GetMScaleType(int32_t Col) const;
  // Values beyond mstRatio are ignored; OnChangeSetup.
  void SetMScaleType(int32_t Col, TMeasScaleType ScaleType);
  // The identifier of category N (1..MaxNominalIDs) of the column; empty when none.
  std::string GetNominalID(int32_t Col, int32_t N) const;
  // Cut to MaxNominalIDLength characters; an empty text removes it. OnChangeSetup.
  void SetNominalID(int32_t Col, int32_t N, const std::string& ID);
  // The category number whose identifier equals ID (the first one, compared without regard
  // to letter case when IgnoreCase), or 0 when none does; an empty ID finds nothing.
  int32_t OrdinalOfNominalID(int32_t Col, const std::string& ID, bool IgnoreCase) const;

  const std::string& Comment() const { return FComment; }
  void SetFComment(const std::string& Text);  // OnChange

  // ---- 4. Whole-table operations ----

  // Every value 0 and state 0, every name empty, every attribute 0, every scale undefined,
  // no identifiers, no comment; the size stays. OnChange and OnChangeSetup.
  void Clear();
  // Takes size and contents of Source (cells, headings, scales, identifiers, comment), not
  // its handlers. EZEFNumericsError when the memory does not suffice (nothing changed).
  // OnResize when the size changes, then OnChange and OnChangeSetup.
  void CopyFrom(const TDataTable& Source);

  // ---- 5. Structure ----
  // Names, attributes, states, scales and identifiers move with their lines. Each raises
  // OnResize and OnChangeSetup when it changes the table; the results tell whether it did.

  // A new empty line that takes index Ix, 1..count + 1 (count + 1 appends).
  bool InsertRow(int32_t Ix);
  bool InsertColumn(int32_t Ix);
  // Removes line Ix, 1..count, unless it is the only one.
  bool RemoveRow(int32_t Ix);
  bool RemoveColumn(int32_t Ix);
  // Reverse the order of the rows or columns (OnChange).
  void MirrorRows();
  void MirrorColumns();

  // ---- 6. Marks ----
  // Each changes every cell and raises OnChange once.

  // Inverts the bits of Mask in every state.
  void InvertCellStates(uint8_t Mask);
  // Exchanges dtsMarkA and dtsMarkB in every state.
  void ExchangeMarkings();
  // Clears dtsMarkA and dtsMarkB in every state.
  void UnmarkAllCells();
  // Sets the value of every cell whose state has all bits of StateMask (every cell for
  // mask 0) and returns their number; states stay.
  int32_t FillMarkedCells(double Value, uint8_t StateMask);

  // ---- 7. Sorting and lookup ----
  // A sort reorders the lines of a range (bounds in either order, clipped to the table) by a
  // key, stably: equal keys keep their order. It moves the cells (values and states) of the
  // other range; a column sort with IncludeHeaders also moves the column names, attributes,
  // scales and identifiers, a row sort the row names and attributes. Sorts by names or
  // attributes always move the headings. Every exchange of two lines raises OnSortExchange,
  // progress goes to OnPercentDone, and OnChange follows once. Cells that are not numbers
  // sort behind all numbers in both directions. False, with nothing changed, for a key line
  // outside the table or an empty range.

  // The columns LowCol..HighCol by their values in row SortRowIx; the rows LowRow..HighRow
  // move.
  bool SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                int32_t HighCol, int32_t HighRow, bool IncludeHeaders);
  // The rows LowRow..HighRow by their values in column SortColIx; the columns LowCol..HighCol
  // move.
  bool SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow,
                int32_t HighCol, int32_t HighRow, bool IncludeHeaders);
  // The rows LowRow..HighRow (columns) by their attributes or names; the other range moves.
  bool SortRowAttributes(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                         int32_t HighRow);
  bool SortColAttributes(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                         int32_t HighRow);
  // Names compare by their bytes, or without regard to letter case when IgnoreCase.
  bool SortColNames(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                    int32_t HighRow);
  bool SortColNames(bool Ascending, bool IgnoreCase, int32_t LowCol, int32_t LowRow,
                    int32_t HighCol, int32_t HighRow);
  bool SortRowNames(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                    int32_t HighRow);
  bool SortRowNames(bool Ascending, bool IgnoreCase, int32_t LowCol, int32_t LowRow,
                    int32_t HighCol, int32_t HighRow);

  // The first column or row with exactly this name, or 0 when none has it.
  int32_t FindColIndex(const TDTNameStr& ColID) const;
  int32_t FindRowIndex(const TDTNameStr& RowID) const;

  // ---- 8. Block statistics ----
  // Over the numeric cells of the block LowCol..HighCol x LowRow..HighRow (bounds in either
  // order, clipped to the table): cells that are numbers (GetIsNumber) with a finite value.
  // Percentiles and quartiles interpolate between order statistics as PercentileOfArray
  // (ZEF_openarrays.h) defines.

  int32_t CountNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  // Whether the block has a numeric cell; Min and Max are 0 when it has none.
  bool MinMaxOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                        double& Min, double& Max) const;
  // The mean and the sample variance (divided by n - 1; 0 for one cell); returns n. Both 0
  // for an empty block.
  int32_t MeanVarOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                            double& Mean, double& Variance) const;
  // The percentiles 25, 50 (the median) and 75; returns n. All 0 for an empty block.
  int32_t QuartilesOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                              double& Q1, double& Q2, double& Q3) const;
  // The Percent-th percentile, Percent in 0..100 (10 and 90 give the deciles); 0 for an
  // empty block.
  double PercentileOfNumCells(double Percent, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow) const;

  // ---- 9. Export ----

  // Writes the table as an ASC text file (Latin-1, CR LF), replacing an existing file:
  //   line 1  the comment, with control characters as blanks
  //   line 2  the number of columns
  //   line 3  the number of rows
  //   line 4  "TRUE TRUE TRUE TRUE": column names, column attributes, row names and row
  //           attributes follow
  //   line 5  the column names, each in double quotes (a quote inside doubled), one blank apart
  //   line 6  the column attributes
  //   then one line per row: the row name in quotes, the row attribute and the values.
  // Items are separated by one blank. A value is written with Precision decimals (0..15) or,
  // for a negative Precision, in scientific form with 15 significant digits
  // ("1.23450000000000E+02"); a cell that is not a number, or holds no finite value, as
  // "NaN". Progress goes to OnPercentDone. Input/output errors raise EInOutError
  // (rtl/exceptions.h).
  void ExportAsASC(const std::string& FName, int32_t Precision) const;

  // ---- 10. Notifications ----
  // Single handlers, each with the table as Sender; assigning one replaces the previous.
  // Between BeginUpdate and the matching EndUpdate, OnChange and OnChangeSetup are held back
  // and fire once each at the end when they were due; the other events fire at once.

  void BeginUpdate();
  void EndUpdate();

  TNotifyEvent OnChange;            // values, states, names, attributes or the comment changed
  TNotifyEvent OnChangeSetup;       // size, order of lines, scales or identifiers changed
  TDTPercentDoneEvent OnPercentDone;
  TDTResizeEvent OnResize;
  TDTSortExchangeEvent OnSortExchange;

private:
  // One column's headings.
  struct TColHead {
    TDTNameStr Name;
    uint8_t Attrib = 0;
    TMeasScaleType Scale = mstUndefined;
    std::vector<std::string> NominalIDs;  // empty, or MaxNominalIDs entries
  };
  struct TRowHead {
    TDTNameStr Name;
    uint8_t Attrib = 0;
  };

  bool Inside(int32_t Col, int32_t Row) const {
    return Col >= 1 && Col <= FNrCols && Row >= 1 && Row <= FNrRows;
  }
  std::size_t Index(int32_t Col, int32_t Row) const {
    return static_cast<std::size_t>(Row - 1) * static_cast<std::size_t>(FNrCols) +
           static_cast<std::size_t>(Col - 1);
  }
  // Rebuilds the cells for NewCols x NewRows, taking each new cell from the old cell that
  // OldCol/OldRow name (0: a new empty cell). False when the size is refused.
  template <class ColMap, class RowMap>
  bool Rebuild(int32_t NewCols, int32_t NewRows, ColMap OldCol, RowMap OldRow);
  void SwapColumns(int32_t C1, int32_t C2, int32_t LowRow, int32_t HighRow, bool Headers);
  void SwapRows(int32_t R1, int32_t R2, int32_t LowCol, int32_t HighCol, bool Headers);
  // Reorders the lines First..Last of columns (Columns) or rows by Less on their indexes.
  template <class LessFn>
  void SortLines(bool Columns, int32_t First, int32_t Last, int32_t OtherLow, int32_t OtherHigh,
                 bool Headers, LessFn Less);
  bool ClipBlock(int32_t& LowCol, int32_t& LowRow, int32_t& HighCol, int32_t& HighRow) const;
  std::vector<double> NumericValues(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                    int32_t HighRow) const;
  void SizeChanged(int32_t OldCols, int32_t OldRows);
  void Changed();
  void ChangedSetup();
  void ReportProgress(int32_t Done, int32_t Total, int32_t& LastPercent) const;

  int32_t FNrCols = 0;
  int32_t FNrRows = 0;
  std::vector<double> FValues;   // row after row
  std::vector<uint8_t> FStates;  // row after row
  std::vector<TColHead> FColHeads;
  std::vector<TRowHead> FRowHeads;
  std::string FComment;
  int32_t FUpdateCount = 0;
  bool FChangePending = false;
  bool FSetupPending = false;
};

} // namespace zef
