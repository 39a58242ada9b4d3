// Matrices of 64-bit floats (TMatrix) and of signed 32-bit integers (TIntMatrix), indexed
// (column, row) from 1.
//
// Both keep their elements in one contiguous array, row after row. Reads outside the matrix
// give 0 and writes outside are ignored. Negative sizes count as 0 (a matrix may have no
// rows or no columns); sizes beyond MaxNumericsElements (ZEF_numerror.h) or beyond the
// memory raise EZEFNumericsError and leave the matrix as it was.
#pragma once

#include <cstdint>
#include <vector>

#include "ZEF_numerror.h"
#include "classes/object.h"

namespace zef {

// A matrix of doubles with a change notification.
//
// OnChange fires after every change made through the matrix (SetVal, Fill, Resize, Clone),
// with the matrix as Sender. Between BeginUpdate and the matching EndUpdate the notification
// is held back and fires once at the end, when anything changed meanwhile.
class TMatrix : public TObject {
public:
  // A matrix of NrCols x NrRows zeros.
  explicit TMatrix(int32_t NrCols = 1, int32_t NrRows = 1);
  TMatrix(const TMatrix&) = delete;
  TMatrix& operator=(const TMatrix&) = delete;

  int32_t NrOfColumns() const { return FNrCols; }
  int32_t NrOfRows() const { return FNrRows; }
  // Changes the size, keeping the values where the old and the new size overlap; new
  // elements are 0.
  void Resize(int32_t NrCols, int32_t NrRows);
  void Fill(double Value);

  double GetVal(int32_t Col, int32_t Row) const {
    return Inside(Col, Row) ? FData[Index(Col, Row)] : 0;
  }
  void SetVal(int32_t Col, int32_t Row, double Value);

  // Takes the size and the values of Source (not its handler).
  void Clone(const TMatrix& Source);

  // The smallest and the largest value of the block LowCol..HighCol x LowRow..HighRow (bounds
  // in either order, clipped to the matrix); NaN values are skipped. False, with Min and Max
  // 0, when the block holds no value.
  bool MinMax(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Min,
              double& Max) const;
  // The Percent-th percentile (0..100) of the block, as PercentileOfArray (ZEF_openarrays.h)
  // defines it; 0 for an empty block. The short form takes the whole matrix.
  double Percentile(double Percent, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                    int32_t HighRow) const;
  double Percentile(double Percent) const;

  void BeginUpdate();
  void EndUpdate();
  // Fires OnChange (or marks it pending while an update is open).
  void Changed();

  TNotifyEvent OnChange;

private:
  bool Inside(int32_t Col, int32_t Row) const {
    return Col >= 1 && Col <= FNrCols && Row >= 1 && Row <= FNrRows;
  }
  std::size_t Index(int32_t Col, int32_t Row) const {
    return static_cast<std::size_t>(Row - 1) * static_cast<std::size_t>(FNrCols) +
           static_cast<std::size_t>(Col - 1);
  }
  // Orders the block's bounds and clips them to the matrix; false when nothing is left.
  bool ClipBlock(int32_t& LowCol, int32_t& LowRow, int32_t& HighCol, int32_t& HighRow) const;

  std::vector<double> FData;
  int32_t FNrCols = 0;
  int32_t FNrRows = 0;
  int32_t FUpdateCount = 0;
  bool FChangePending = false;
};

// A matrix of 32-bit integers, for example screen coordinates or a table of dates.
class TIntMatrix : public TObject {
public:
  // A matrix of NrCols x NrRows zeros.
  explicit TIntMatrix(int32_t NrCols = 1, int32_t NrRows = 1);
  TIntMatrix(const TIntMatrix&) = delete;
  TIntMatrix& operator=(const TIntMatrix&) = delete;

  int32_t NrOfColumns() const { return FNrCols; }
  int32_t NrOfRows() const { return FNrRows; }
  // Changes the size, keeping the values where the old and the new size overlap; new
  // elements are 0.
  void Resize(int32_t NrCols, int32_t NrRows);
  // Resize(NrOfColumns(), NrRows): rows are appended or removed at the end; 0 is allowed.
  void SetNRows(int32_t NrRows);
  void Fill(int32_t Value);

  int32_t GetVal(int32_t Col, int32_t Row) const {
    return Inside(Col, Row) ? FData[Index(Col, Row)] : 0;
  }
  void SetVal(int32_t Col, int32_t Row, int32_t Value) {
    if (Inside(Col, Row)) FData[Index(Col, Row)] = Value;
  }

private:
  bool Inside(int32_t Col, int32_t Row) const {
    return Col >= 1 && Col <= FNrCols && Row >= 1 && Row <= FNrRows;
  }
  std::size_t Index(int32_t Col, int32_t Row) const {
    return static_cast<std::size_t>(Row - 1) * static_cast<std::size_t>(FNrCols) +
           static_cast<std::size_t>(Col - 1);
  }

  std::vector<int32_t> FData;
  int32_t FNrCols = 0;
  int32_t FNrRows = 0;
};

} // namespace zef
