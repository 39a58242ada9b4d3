#include "ZEF_datatable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "rtl/strings.h"
#include "support/temp_dir.h"

namespace zef {
namespace {

// A 3 x 4 table whose cell (c, r) holds 10 c + r, with names and attributes by index.
class DataTable : public ::testing::Test {
protected:
  void SetUp() override {
    T.Resize(3, 4);
    for (int C = 1; C <= 3; ++C) {
      T.SetColName(C, "C" + std::to_string(C));
      T.SetColAttrib(C, uint8_t(C));
      for (int R = 1; R <= 4; ++R) {
        T.SetElem(C, R, 10 * C + R);
        T.SetCellState(C, R, uint8_t(R == 2 ? dtsMarkA : 0));
      }
    }
    for (int R = 1; R <= 4; ++R) {
      T.SetRowName(R, "R" + std::to_string(R));
      T.SetRowAttrib(R, uint8_t(100 + R));
    }
  }
  // The values of one row, or of one column.
  std::vector<double> Row(int R) const {
    std::vector<double> V;
    for (int C = 1; C <= T.NrOfColumns(); ++C) V.push_back(T.GetElem(C, R));
    return V;
  }
  std::vector<double> Col(int C) const {
    std::vector<double> V;
    for (int R = 1; R <= T.NrOfRows(); ++R) V.push_back(T.GetElem(C, R));
    return V;
  }
  TDataTable T;
};

TEST_F(DataTable, OutsideReadsAreNeutralAndWritesIgnored) {
  int Calls = 0;
  T.OnChange = [&](TObject*) { ++Calls; };
  T.OnChangeSetup = [&](TObject*) { ++Calls; };
  for (auto [C, R] : {std::pair{0, 1}, {4, 1}, {1, 0}, {1, 5}, {-3, 99}}) {
    T.SetElem(C, R, 5);
    T.SetCellState(C, R, 7);
    EXPECT_EQ(T.GetElem(C, R), 0);
    EXPECT_EQ(T.GetCellState(C, R), 0);
    EXPECT_FALSE(T.GetIsNumber(C, R));
  }
  T.SetColName(4, "x");
  T.SetRowName(0, "x");
  T.SetColAttrib(0, 1);
  T.SetRowAttrib(5, 1);
  T.SetMScaleType(4, mstNominal);
  T.SetNominalID(4, 1, "a");
  T.SetNominalID(1, 151, "a");
  T.SetNominalID(1, 0, "a");
  EXPECT_EQ(Calls, 0);
  EXPECT_EQ(T.GetColName(4), "");
  EXPECT_EQ(T.GetRowName(0), "");
  EXPECT_EQ(T.GetColAttrib(-1), 0);
  EXPECT_EQ(T.GetRowAttrib(5), 0);
  EXPECT_EQ(T.GetMScaleType(9), mstUndefined);
  EXPECT_EQ(T.GetNominalID(1, 151), "");
  EXPECT_EQ(T.OrdinalOfNominalID(4, "a", true), 0);
}

TEST_F(DataTable, CellStatesAndNumbers) {
  T.SetCellState(1, 1, dtsNotANumber);
  T.SetCellState(2, 1, dtsEmpty);
  T.SetCellState(3, 1, dtsLocked | dtsMarkB);
  EXPECT_FALSE(T.GetIsNumber(1, 1));
  EXPECT_FALSE(T.GetIsNumber(2, 1));
  EXPECT_TRUE(T.GetIsNumber(3, 1));
  EXPECT_EQ(T.GetElem(1, 1), 11);  // the value stays behind the state
}

TEST_F(DataTable, NamesAndIdentifiersAreCutByCharacters) {
  std::string Long;
  for (int K = 0; K < 60; ++K) Long += "\xC3\xA4";  // 60 times a-umlaut, two bytes each
  T.SetColName(1, Long);
  EXPECT_EQ(Utf8Length(T.GetColName(1)), 50u);
  EXPECT_TRUE(IsValidUtf8(T.GetColName(1)));
  T.SetRowName(2, std::string(80, 'r'));
  EXPECT_EQ(T.GetRowName(2), std::string(50, 'r'));

  T.SetMScaleType(2, mstNominal);
  T.SetMScaleType(2, TMeasScaleType(9));  // ignored
  EXPECT_EQ(T.GetMScaleType(2), mstNominal);
  EXPECT_STREQ(MScaleTypeNames[T.GetMScaleType(2)], "nominal");
  T.SetNominalID(2, 3, "Medium");
  T.SetNominalID(2, 150, "VeryLongIdentifier");
  EXPECT_EQ(T.GetNominalID(2, 150), "VeryLongId");
  EXPECT_EQ(T.GetNominalID(2, 1), "");
  EXPECT_EQ(T.OrdinalOfNominalID(2, "medium", true), 3);
  EXPECT_EQ(T.OrdinalOfNominalID(2, "medium", false), 0);
  EXPECT_EQ(T.OrdinalOfNominalID(2, "Medium", false), 3);
  EXPECT_EQ(T.OrdinalOfNominalID(2, "", true), 0);
  EXPECT_EQ(T.OrdinalOfNominalID(1, "Medium", true), 0);
  T.SetNominalID(2, 3, "");
  EXPECT_EQ(T.OrdinalOfNominalID(2, "Medium", true), 0);
}

TEST_F(DataTable, ResizeKeepsContentsAndRefusesBadSizes) {
  std::vector<std::string> Events;
  T.OnResize = [&](TObject*, int32_t OC, int32_t OR, int32_t NC, int32_t NR) {
    Events.push_back("resize " + std::to_string(OC) + "x" + std::to_string(OR) + "->" +
                     std::to_string(NC) + "x" + std::to_string(NR));
  };
  T.OnChangeSetup = [&](TObject*) { Events.push_back("setup"); };
  ASSERT_TRUE(T.Resize(4, 2));
  EXPECT_EQ(Events, (std::vector<std::string>{"resize 3x4->4x2", "setup"}));
  EXPECT_EQ(Row(2), (std::vector<double>{12, 22, 32, 0}));
  EXPECT_EQ(T.GetColName(3), "C3");
  EXPECT_EQ(T.GetColName(4), "");
  EXPECT_EQ(T.GetRowAttrib(2), 102);
  EXPECT_EQ(T.GetCellState(1, 2), dtsMarkA);
  Events.clear();
  EXPECT_TRUE(T.Resize(4, 2));  // same size: nothing happens
  EXPECT_FALSE(T.Resize(0, 2));
  EXPECT_FALSE(T.Resize(3, -1));
  EXPECT_FALSE(T.Resize(100000, 100000));
  EXPECT_TRUE(Events.empty());
  EXPECT_EQ(T.NrOfColumns(), 4);
  EXPECT_EQ(T.NrOfRows(), 2);
  TDataTable Small(0, -5);
  EXPECT_EQ(Small.NrOfColumns(), 1);
  EXPECT_EQ(Small.NrOfRows(), 1);
  EXPECT_THROW(TDataTable(100000, 100000), EZEFNumericsError);
}

TEST_F(DataTable, InsertRemoveAndMirrorMoveWholeLines) {
  EXPECT_FALSE(T.InsertRow(6));
  ASSERT_TRUE(T.InsertRow(2));
  EXPECT_EQ(T.NrOfRows(), 5);
  EXPECT_EQ(Col(1), (std::vector<double>{11, 0, 12, 13, 14}));
  EXPECT_EQ(T.GetRowName(3), "R2");
  EXPECT_EQ(T.GetRowName(2), "");
  EXPECT_EQ(T.GetCellState(1, 3), dtsMarkA);
  ASSERT_TRUE(T.InsertRow(6));  // appends
  EXPECT_EQ(T.GetRowName(5), "R4");
  ASSERT_TRUE(T.RemoveRow(2));
  ASSERT_TRUE(T.RemoveRow(5));
  EXPECT_EQ(Col(2), (std::vector<double>{21, 22, 23, 24}));

  T.SetMScaleType(3, mstOrdinal);
  T.SetNominalID(3, 1, "low");
  ASSERT_TRUE(T.InsertColumn(1));
  EXPECT_EQ(Row(1), (std::vector<double>{0, 11, 21, 31}));
  EXPECT_EQ(T.GetMScaleType(4), mstOrdinal);
  EXPECT_EQ(T.GetNominalID(4, 1), "low");
  EXPECT_EQ(T.GetColAttrib(2), 1);
  ASSERT_TRUE(T.RemoveColumn(1));
  EXPECT_FALSE(T.RemoveColumn(4));

  T.MirrorColumns();
  EXPECT_EQ(Row(2), (std::vector<double>{32, 22, 12}));
  EXPECT_EQ(T.GetColName(1), "C3");
  EXPECT_EQ(T.GetMScaleType(1), mstOrdinal);
  T.MirrorRows();
  EXPECT_EQ(Col(1), (std::vector<double>{34, 33, 32, 31}));
  EXPECT_EQ(T.GetRowName(1), "R4");
  EXPECT_EQ(T.GetRowAttrib(4), 101);
  EXPECT_EQ(T.GetCellState(1, 3), dtsMarkA);

  TDataTable One(1, 1);
  EXPECT_FALSE(One.RemoveRow(1));
  EXPECT_FALSE(One.RemoveColumn(1));
}

TEST_F(DataTable, MarkOperations) {
  T.SetCellState(1, 1, dtsMarkB | dtsLocked);
  T.ExchangeMarkings();
  EXPECT_EQ(T.GetCellState(1, 1), dtsMarkA | dtsLocked);
  EXPECT_EQ(T.GetCellState(2, 2), dtsMarkB);
  T.InvertCellStates(dtsEmpty | dtsMarkA);
  EXPECT_EQ(T.GetCellState(1, 1), dtsEmpty | dtsLocked);
  EXPECT_EQ(T.GetCellState(3, 3), dtsEmpty | dtsMarkA);
  EXPECT_EQ(T.FillMarkedCells(-1, dtsEmpty | dtsMarkA), 11);  // every cell but (1, 1)
  EXPECT_EQ(T.GetElem(3, 3), -1);
  EXPECT_EQ(T.GetElem(1, 1), 11);
  EXPECT_EQ(T.GetCellState(3, 3), dtsEmpty | dtsMarkA);  // states stay
  T.UnmarkAllCells();
  EXPECT_EQ(T.GetCellState(3, 3), dtsEmpty);
  EXPECT_EQ(T.GetCellState(2, 2), dtsEmpty);
  EXPECT_EQ(T.FillMarkedCells(7, 0), 12);
}

TEST_F(DataTable, SortRowsReportsEachExchangeAndPutsNonNumbersLast) {
  // Column 2 as the key: 21 (empty) 22 23 24 -> 22 23 24, then the empty one.
  T.SetCellState(2, 1, dtsEmpty);
  std::vector<std::string> Names = {"", "R1", "R2", "R3", "R4"};  // kept in step by the events
  T.OnSortExchange = [&](TObject* S, uint8_t What, int32_t I1, int32_t I2, int32_t First,
                         int32_t Last) {
    EXPECT_EQ(S, &T);
    EXPECT_EQ(What, 2);
    EXPECT_EQ(First, 1);
    EXPECT_EQ(Last, 4);
    std::swap(Names[static_cast<std::size_t>(I1)], Names[static_cast<std::size_t>(I2)]);
  };
  std::vector<int32_t> Percents;
  T.OnPercentDone = [&](TObject*, int32_t P) { Percents.push_back(P); };
  int Changes = 0;
  T.OnChange = [&](TObject*) { ++Changes; };
  ASSERT_TRUE(T.SortRows(2, true, 1, 1, 3, 4, true));
  EXPECT_EQ(Col(2), (std::vector<double>{22, 23, 24, 21}));
  EXPECT_EQ(Col(1), (std::vector<double>{12, 13, 14, 11}));
  for (int R = 1; R <= 4; ++R) EXPECT_EQ(T.GetRowName(R), Names[static_cast<std::size_t>(R)]);
  EXPECT_EQ(T.GetRowName(1), "R2");
  EXPECT_EQ(T.GetCellState(2, 4), dtsEmpty);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Percents.back(), 100);

  ASSERT_TRUE(T.SortRows(2, false, 1, 1, 3, 4, false));  // descending, names stay
  EXPECT_EQ(Col(2), (std::vector<double>{24, 23, 22, 21}));
  EXPECT_EQ(T.GetRowName(1), "R2");
  EXPECT_FALSE(T.SortRows(4, true, 1, 1, 3, 4, true));
  EXPECT_FALSE(T.SortRows(1, true, 5, 5, 9, 9, true));
}

TEST_F(DataTable, SortColsWithinABlockAndByHeadings) {
  T.SetElem(1, 3, 5);  // row 3: 5 23 33 -> descending 33 23 5
  std::vector<std::pair<int32_t, int32_t>> Exchanges;
  T.OnSortExchange = [&](TObject*, uint8_t What, int32_t I1, int32_t I2, int32_t, int32_t) {
    EXPECT_EQ(What, 1);
    Exchanges.push_back({I1, I2});
  };
  ASSERT_TRUE(T.SortCols(3, false, 1, 2, 3, 3, true));  // only rows 2..3 move
  EXPECT_EQ(Row(3), (std::vector<double>{33, 23, 5}));
  EXPECT_EQ(Row(2), (std::vector<double>{32, 22, 12}));
  EXPECT_EQ(Row(1), (std::vector<double>{11, 21, 31}));
  EXPECT_EQ(T.GetColName(1), "C3");
  EXPECT_EQ(T.GetColAttrib(1), 3);
  EXPECT_EQ(Exchanges, (std::vector<std::pair<int32_t, int32_t>>{{1, 3}}));
  T.OnSortExchange = nullptr;

  ASSERT_TRUE(T.SortColAttributes(true, 1, 1, 3, 4));
  EXPECT_EQ(T.GetColName(1), "C1");
  EXPECT_EQ(Row(3), (std::vector<double>{5, 23, 33}));
  T.SetRowName(1, "beta");
  T.SetRowName(2, "Alpha");
  T.SetRowName(3, "alpha2");
  T.SetRowName(4, "Gamma");
  ASSERT_TRUE(T.SortRowNames(true, true, 1, 1, 3, 4));
  EXPECT_EQ(T.GetRowName(1), "Alpha");
  EXPECT_EQ(T.GetRowName(2), "alpha2");
  EXPECT_EQ(T.GetRowName(3), "beta");
  EXPECT_EQ(T.GetRowAttrib(1), 102);
  ASSERT_TRUE(T.SortRowNames(true, 1, 1, 3, 4));  // by bytes: upper case first
  EXPECT_EQ(T.GetRowName(1), "Alpha");
  EXPECT_EQ(T.GetRowName(2), "Gamma");
  ASSERT_TRUE(T.SortRowAttributes(false, 1, 1, 3, 4));
  EXPECT_EQ(T.GetRowAttrib(1), 104);
  ASSERT_TRUE(T.SortColNames(false, 1, 1, 3, 4));
  EXPECT_EQ(T.GetColName(1), "C3");
  EXPECT_EQ(T.FindColIndex("C1"), 3);
  EXPECT_EQ(T.FindRowIndex("Gamma"), 1);
  EXPECT_EQ(T.FindRowIndex("gamma"), 0);
}

TEST(DataTableStatistics, BlockStatisticsOverNumericCells) {
  // Column 1 holds 7 1 3 (not a number) 9 (empty) 5 inf: the numeric values are 1 3 5 7.
  TDataTable T(2, 7);
  const double V[] = {7, 1, 3, 100, 200, 5, std::numeric_limits<double>::infinity()};
  for (int R = 1; R <= 7; ++R) T.SetElem(1, R, V[R - 1]);
  T.SetCellState(1, 4, dtsNotANumber);
  T.SetCellState(1, 5, dtsEmpty | dtsMarkA);
  T.SetCellState(1, 2, dtsMarkB);  // marks do not matter
  EXPECT_EQ(T.CountNumCells(1, 1, 1, 7), 4);
  double Lo, Hi;
  ASSERT_TRUE(T.MinMaxOfNumCells(1, 7, 1, 1, Lo, Hi));
  EXPECT_EQ(Lo, 1);
  EXPECT_EQ(Hi, 7);
  double Mean, Var;
  EXPECT_EQ(T.MeanVarOfNumCells(1, 1, 1, 7, Mean, Var), 4);
  EXPECT_DOUBLE_EQ(Mean, 4);
  EXPECT_DOUBLE_EQ(Var, 20.0 / 3);  // (9 + 1 + 1 + 9) / 3
  double Q1, Q2, Q3;
  EXPECT_EQ(T.QuartilesOfNumCells(1, 1, 1, 7, Q1, Q2, Q3), 4);
  EXPECT_DOUBLE_EQ(Q1, 2.5);  // h = 0.75 between 1 and 3
  EXPECT_DOUBLE_EQ(Q2, 4);
  EXPECT_DOUBLE_EQ(Q3, 5.5);
  EXPECT_DOUBLE_EQ(T.PercentileOfNumCells(10, 1, 1, 1, 7), 1.6);  // h = 0.3
  EXPECT_DOUBLE_EQ(T.PercentileOfNumCells(90, 1, 1, 1, 7), 6.4);  // h = 2.7
  // A block without numeric cells, and one outside the table.
  for (int R = 1; R <= 7; ++R) T.SetCellState(2, R, dtsEmpty);
  EXPECT_EQ(T.CountNumCells(2, 1, 2, 7), 0);
  Lo = Hi = 9;
  EXPECT_FALSE(T.MinMaxOfNumCells(2, 1, 2, 7, Lo, Hi));
  EXPECT_EQ(Lo, 0);
  EXPECT_EQ(T.MeanVarOfNumCells(3, 1, 5, 7, Mean, Var), 0);
  EXPECT_EQ(Mean, 0);
  EXPECT_EQ(T.QuartilesOfNumCells(2, 1, 2, 7, Q1, Q2, Q3), 0);
  EXPECT_EQ(Q3, 0);
  EXPECT_EQ(T.PercentileOfNumCells(50, 2, 1, 2, 7), 0);
  // One numeric cell.
  T.SetCellState(2, 3, 0);
  T.SetElem(2, 3, 8);
  EXPECT_EQ(T.MeanVarOfNumCells(2, 1, 2, 7, Mean, Var), 1);
  EXPECT_EQ(Mean, 8);
  EXPECT_EQ(Var, 0);
  EXPECT_EQ(T.PercentileOfNumCells(90, 2, 1, 2, 7), 8);
}

TEST_F(DataTable, UpdatesClearAndCopy) {
  int Changes = 0, Setups = 0;
  T.OnChange = [&](TObject*) { ++Changes; };
  T.OnChangeSetup = [&](TObject*) { ++Setups; };
  T.BeginUpdate();
  for (int C = 1; C <= 3; ++C) T.SetElem(C, 1, 0);
  T.SetMScaleType(1, mstRatio);
  EXPECT_EQ(Changes + Setups, 0);
  T.EndUpdate();
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Setups, 1);

  T.SetFComment("first line\r\nsecond");
  TDataTable Copy(1, 1);
  int Resizes = 0;
  Copy.OnResize = [&](TObject*, int32_t, int32_t, int32_t NC, int32_t NR) {
    ++Resizes;
    EXPECT_EQ(NC, 3);
    EXPECT_EQ(NR, 4);
  };
  Copy.CopyFrom(T);
  EXPECT_EQ(Resizes, 1);
  EXPECT_EQ(Copy.GetElem(3, 4), 34);
  EXPECT_EQ(Copy.GetRowName(4), "R4");
  EXPECT_EQ(Copy.GetMScaleType(1), mstRatio);
  EXPECT_EQ(Copy.Comment(), T.Comment());
  Changes = 0;
  Copy.SetElem(1, 1, 5);  // the source's handlers did not come along
  EXPECT_EQ(Changes, 0);

  T.Clear();
  EXPECT_EQ(T.NrOfColumns(), 3);
  EXPECT_EQ(T.GetElem(3, 4), 0);
  EXPECT_EQ(T.GetCellState(1, 2), 0);
  EXPECT_EQ(T.GetColName(1), "");
  EXPECT_EQ(T.GetRowAttrib(1), 0);
  EXPECT_EQ(T.GetMScaleType(1), mstUndefined);
  EXPECT_EQ(T.Comment(), "");
}

class DataTableExport : public test::TempDirTest {};

TEST_F(DataTableExport, WritesTheAscLayout) {
  TDataTable T(2, 2);
  T.SetFComment("Run 1\tcalibrated\r\n");
  T.SetColName(1, "Mass");
  T.SetColName(2, "Te\"mp \xC3\xA9");
  T.SetColAttrib(2, 5);
  T.SetRowName(1, "a b");
  T.SetRowAttrib(2, 255);
  T.SetElem(1, 1, 1.5);
  T.SetElem(2, 1, -123.456);
  T.SetElem(1, 2, 1e-3);
  T.SetCellState(2, 2, dtsNotANumber);
  std::vector<int32_t> Percents;
  T.OnPercentDone = [&](TObject*, int32_t P) { Percents.push_back(P); };
  T.ExportAsASC(Path("t.asc"), 2);
  EXPECT_EQ(Get("t.asc"),
            "Run 1 calibrated  \r\n2\r\n2\r\nTRUE TRUE TRUE TRUE\r\n"
            "\"Mass\" \"Te\"\"mp \xE9\"\r\n0 5\r\n"
            "\"a b\" 0 1.50 -123.46\r\n\"\" 255 0.00 NaN\r\n");
  EXPECT_EQ(Percents, (std::vector<int32_t>{50, 100}));
  T.ExportAsASC(Path("t.asc"), -2);
  const std::string S = Get("t.asc");
  EXPECT_NE(S.find("\"a b\" 0 1.50000000000000E+00 -1.23456000000000E+02\r\n"), std::string::npos)
      << S;
  EXPECT_THROW(T.ExportAsASC(Path("missing/dir/t.asc"), 2), EInOutError);
}

} // namespace
} // namespace zef
