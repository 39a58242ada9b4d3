// TStringArray: string pools, sort order, row and column editing, search, numbers, file.
#include <gtest/gtest.h>

#include "ZEF_dstruct.h"
#include "support/temp_dir.h"

namespace zef {
namespace {

// The visible column c as a list of texts, rows 1..N in logical order.
std::vector<std::string> Column(const TStringArray& A, int32_t c) {
  std::vector<std::string> R;
  for (int32_t r = 1; r <= A.NrOfRows(); ++r) R.push_back(A.GetString(c, r));
  return R;
}

TEST(StringArray, NewArrayAndRangeChecks) {
  TStringArray A(nullptr);
  EXPECT_EQ(A.NrOfColumns(), 1);
  EXPECT_EQ(A.NrOfRows(), 1);
  EXPECT_EQ(A.NumBuffers(), 1);
  EXPECT_EQ(A.GetString(0, 1), "");
  EXPECT_EQ(A.GetString(1, 1), "");
  int Changes = 0;
  A.OnChange = [&](TObject*) { ++Changes; };
  A.SetString(2, 1, "x");
  A.SetString(1, 0, "x");
  A.SetRowAttrib(2, 1);
  A.SetColAttrib(0, 1);
  EXPECT_EQ(Changes, 0);
  EXPECT_EQ(A.GetSortOrder(0), -1);
  EXPECT_EQ(A.GetColAttrib(0), 0);
  A.SetString(0, 1, "head");
  EXPECT_EQ(A.GetString(0, 1), "head");
  EXPECT_EQ(Changes, 1);
  // Texts are cut to 255 characters; characters of the code page survive, others become "?".
  A.SetString(1, 1, std::string(300, 'q'));
  EXPECT_EQ(A.GetString(1, 1), std::string(255, 'q'));
  A.SetString(1, 1, "\xE2\x82\xAC \xC3\xA4 \xE4\xB8\xAD");
  EXPECT_EQ(A.GetString(1, 1), "\xE2\x82\xAC \xC3\xA4 ?");
}

TEST(StringArray, ShorterTextsReuseTheirSlotAndPoolsFillUp) {
  TStringArray A(nullptr);
  for (int L = 255; L > 55; --L) A.SetString(1, 1, std::string(static_cast<std::size_t>(L), 'a'));
  EXPECT_EQ(A.BufferFill(1), 257);
  EXPECT_EQ(A.NumBuffers(), 1);
  A.Clear();
  ASSERT_TRUE(A.Resize(1, 128));
  for (int r = 1; r <= 127; ++r) A.SetString(1, r, std::string(255, 'b'));
  EXPECT_EQ(A.NumBuffers(), 1);
  A.SetString(1, 128, std::string(255, 'c'));
  EXPECT_EQ(A.NumBuffers(), 2);
  A.Clear();
  EXPECT_EQ(A.NumBuffers(), 1);
  EXPECT_EQ(A.BufferFill(1), 1);
  EXPECT_EQ(A.GetString(1, 5), "");
}

TEST(StringArray, GarbageCollectionKeepsEveryText) {
  TStringArray A(nullptr);
  ASSERT_TRUE(A.Resize(3, 50));
  for (int k = 1; k <= 4; ++k)
    for (int c = 0; c <= 3; ++c)
      for (int r = 1; r <= 50; ++r)
        A.SetString(c, r,
                    std::string(static_cast<std::size_t>(k * 10), static_cast<char>('a' + c)) +
                        std::to_string(r));
  A.SetString(2, 7, "");
  const int32_t Before = A.BufferFill(1);
  A.Sort(1, 0, false);
  A.GarbageCollection();
  EXPECT_LT(A.BufferFill(1), Before);
  for (int c = 0; c <= 3; ++c)
    for (int r = 1; r <= 50; ++r) {
      const int Phys = A.GetSortOrder(r);
      const std::string Want =
          c == 2 && Phys == 7 ? ""
                              : std::string(40, static_cast<char>('a' + c)) + std::to_string(Phys);
      ASSERT_EQ(A.GetString(c, r), Want) << c << "," << r;
    }
}

TEST(StringArray, Resize) {
  TStringArray A(nullptr);
  int Changes = 0;
  A.OnChange = [&](TObject*) { ++Changes; };
  EXPECT_FALSE(A.Resize(0, 5));
  EXPECT_FALSE(A.Resize(2, -1));
  EXPECT_TRUE(A.Resize(1, 1));
  EXPECT_EQ(Changes, 0);
  ASSERT_TRUE(A.Resize(2, 3));
  A.SetString(2, 3, "keep");
  A.SetString(1, 1, "one");
  A.SetRowAttrib(3, 9);
  ASSERT_TRUE(A.Resize(2, 25));
  EXPECT_EQ(A.GetString(2, 3), "keep");
  EXPECT_EQ(A.GetRowAttrib(3), 9);
  ASSERT_TRUE(A.Resize(3, 2));
  EXPECT_EQ(A.GetString(1, 1), "one");
  EXPECT_EQ(A.GetString(2, 3), "");
  // Growing again brings back no text that the shrink dropped.
  ASSERT_TRUE(A.Resize(3, 3));
  EXPECT_EQ(A.GetString(2, 3), "");
  EXPECT_EQ(A.GetRowAttrib(3), 0);
  EXPECT_EQ(A.AddRow(), 4);
}

TEST(StringArray, SortCommitAndUnsort) {
  TStringArray A(nullptr);
  ASSERT_TRUE(A.Resize(2, 3));
  const char* Texts[] = {"b", "A", "c"};
  for (int r = 1; r <= 3; ++r) {
    A.SetString(1, r, Texts[r - 1]);
    A.SetString(2, r, std::to_string(r));
  }
  std::vector<int> Percent;
  A.OnPercentDone = [&](TObject*, int32_t P) { Percent.push_back(P); };
  A.Sort(1, 0, true);
  EXPECT_EQ(Column(A, 1), (std::vector<std::string>{"A", "b", "c"}));
  EXPECT_EQ(Column(A, 2), (std::vector<std::string>{"2", "1", "3"}));
  EXPECT_EQ(A.GetSortOrder(1), 2);
  ASSERT_GE(Percent.size(), 2u);
  EXPECT_EQ(Percent.front(), 0);
  EXPECT_EQ(Percent.back(), 100);
  EXPECT_TRUE(std::is_sorted(Percent.begin(), Percent.end()));
  A.CommitSorting();
  EXPECT_EQ(A.GetSortOrder(1), 1);
  EXPECT_EQ(Column(A, 1), (std::vector<std::string>{"A", "b", "c"}));
  A.Sort(1, 0, false);
  EXPECT_EQ(Column(A, 1), (std::vector<std::string>{"c", "b", "A"}));
  A.UnSort();
  EXPECT_EQ(Column(A, 1), (std::vector<std::string>{"A", "b", "c"}));
}

TEST(StringArray, SortBySecondaryColumnAndHandlerKeys) {
  TStringArray A(nullptr);
  ASSERT_TRUE(A.Resize(2, 200));
  for (int r = 1; r <= 200; ++r) {
    A.SetString(1, r, std::to_string(r % 3));
    A.SetString(2, r, std::to_string(1000 - r));
  }
  A.Sort(1, 2, true);
  for (int r = 1; r < 200; ++r) {
    const auto K1 = std::make_pair(A.GetString(1, r), A.GetString(2, r));
    const auto K2 = std::make_pair(A.GetString(1, r + 1), A.GetString(2, r + 1));
    ASSERT_LE(K1, K2) << r;
  }
  // The handler's text is the key: numbers padded to sort numerically.
  A.OnBeforeSortExchange = [](TObject*, const std::string& In, std::string& Out) {
    Out = std::string(6 - In.size(), '0') + In;
  };
  A.Sort(2, 0, true);
  EXPECT_EQ(A.GetString(2, 1), "800");
  EXPECT_EQ(A.GetString(2, 200), "999");
}

TEST(StringArray, InsertAndRemoveRowsKeepTheOrder) {
  TStringArray A(nullptr);
  ASSERT_TRUE(A.Resize(1, 10));
  for (int r = 1; r <= 10; ++r) A.SetString(1, r, std::string(1, static_cast<char>('j' - r + 1)));
  A.SetRowAttrib(1, 5);
  A.Sort(1, 0, true); // a .. j, physical rows reversed
  A.InsertRow(2);
  EXPECT_EQ(A.NrOfRows(), 11);
  EXPECT_EQ(Column(A, 1),
            (std::vector<std::string>{"a", "", "b", "c", "d", "e", "f", "g", "h", "i", "j"}));
  EXPECT_EQ(A.GetRowAttrib(2), 0);
  EXPECT_EQ(A.GetRowAttrib(11), 5);
  A.SetString(1, 2, "new");
  A.RemoveRow(1);
  EXPECT_EQ(Column(A, 1),
            (std::vector<std::string>{"new", "b", "c", "d", "e", "f", "g", "h", "i", "j"}));
  std::vector<int> Order;
  for (int r = 1; r <= A.NrOfRows(); ++r) Order.push_back(A.GetSortOrder(r));
  std::sort(Order.begin(), Order.end());
  for (int r = 1; r <= A.NrOfRows(); ++r) ASSERT_EQ(Order[r - 1], r);
  A.CopyRow(10, 1);
  EXPECT_EQ(A.GetString(1, 1), "j");
  EXPECT_EQ(A.GetRowAttrib(1), 5);
  TStringArray One(nullptr);
  One.SetString(1, 1, "x");
  One.RemoveRow(1);
  EXPECT_EQ(One.NrOfRows(), 1);
  EXPECT_EQ(One.GetString(1, 1), "");
}

TEST(StringArray, InsertAndRemoveColumns) {
  TStringArray A(nullptr);
  ASSERT_TRUE(A.Resize(2, 2));
  A.SetString(0, 1, "h");
  A.SetString(1, 1, "a");
  A.SetString(2, 1, "b");
  A.SetColAttrib(2, 7);
  A.InsertColumn(2);
  EXPECT_EQ(A.NrOfColumns(), 3);
  EXPECT_EQ(A.GetString(0, 1) + A.GetString(1, 1) + A.GetString(2, 1) + A.GetString(3, 1), "hab");
  EXPECT_EQ(A.GetString(3, 1), "b");
  EXPECT_EQ(A.GetColAttrib(3), 7);
  EXPECT_EQ(A.GetColAttrib(2), 0);
  A.RemoveColumn(1);
  EXPECT_EQ(A.NrOfColumns(), 2);
  EXPECT_EQ(A.GetString(0, 1), "h");
  EXPECT_EQ(A.GetString(2, 1), "b");
  EXPECT_TRUE(A.ColumnEmpty(1));
  EXPECT_FALSE(A.ColumnEmpty(2));
  A.SetString(1, 2, "   ");
  EXPECT_TRUE(A.RowEmpty(2));
  EXPECT_FALSE(A.RowEmpty(1));
}

TEST(StringArray, FindCells) {
  TStringArray A(nullptr);
  ASSERT_TRUE(A.Resize(3, 4));
  A.SetString(2, 3, "Hello World");
  A.SetString(3, 1, "hello");
  A.SetString(0, 4, "HELLO");
  int32_t C = 0;
  int32_t R = 0;
  ASSERT_TRUE(A.FindCell("WORLD", false, -1, -1, -1, -1, C, R));
  EXPECT_EQ(std::make_pair(C, R), std::make_pair(2, 3));
  EXPECT_FALSE(A.FindCell("WORLD", true, -1, -1, -1, -1, C, R));
  EXPECT_FALSE(A.FindCell("", false, -1, -1, -1, -1, C, R));
  ASSERT_TRUE(A.FindCellExact("hello", false, 3, 0, 4, 2, C, R));
  EXPECT_EQ(std::make_pair(C, R), std::make_pair(0, 4));
  ASSERT_TRUE(A.FindCellExact("hello", true, 0, 99, -99, 99, C, R));
  EXPECT_EQ(std::make_pair(C, R), std::make_pair(3, 1));
}

TEST(StringArray, FindInSortedColumn) {
  TStringArray A(nullptr);
  const std::vector<std::string> Sorted{"a", "b", "b", "b", "c", "d", "e"};
  ASSERT_TRUE(A.Resize(1, static_cast<int32_t>(Sorted.size())));
  for (std::size_t i = 0; i < Sorted.size(); ++i)
    A.SetString(1, static_cast<int32_t>(i + 1), Sorted[i]);
  int32_t R = 0;
  ASSERT_TRUE(A.FindCellInSortedColumn("b", true, 1, -1, -1, true, R));
  EXPECT_EQ(R, 2);
  ASSERT_TRUE(A.FindCellInSortedColumn("E", false, 1, 1, 7, true, R));
  EXPECT_EQ(R, 7);
  EXPECT_FALSE(A.FindCellInSortedColumn("bb", true, 1, -1, -1, true, R));
  A.Sort(1, 0, false);
  ASSERT_TRUE(A.FindCellInSortedColumn("a", true, 1, 7, 1, false, R));
  EXPECT_EQ(R, 7);
}

TEST(StringArray, Numbers) {
  TStringArray A(nullptr);
  ASSERT_TRUE(A.Resize(2, 2));
  struct Case {
    const char* Text;
    double Number;
    int32_t Integer;
  };
  for (const Case& K :
       {Case{" 1,5 ", 1.5, 2}, Case{"", 0, 0}, Case{"3000000000", 3e9, 2147483647},
        Case{"-1e20", -1e20, -2147483647}, Case{"2.5", 2.5, 2}, Case{"-7", -7, -7}}) {
    A.SetString(1, 1, K.Text);
    EXPECT_DOUBLE_EQ(A.GetAsNumber(1, 1), K.Number) << K.Text;
    EXPECT_EQ(A.GetAsInteger(1, 1), K.Integer) << K.Text;
  }
  for (const char* Bad : {"abc", "1 2", "1,2,3", "1e999", "nan"}) {
    A.SetString(1, 1, Bad);
    try {
      A.GetAsNumber(1, 1);
      ADD_FAILURE() << Bad;
    } catch (const EZEFDStructError& E) {
      EXPECT_EQ(E.Message(),
                std::string("Class TStringArray: invalid numeric string: [1,1]: ") + Bad);
    }
  }
}

TEST(StringArray, AssignCopiesEverything) {
  TStringArray A(nullptr);
  ASSERT_TRUE(A.Resize(2, 3));
  A.SetString(1, 1, "z");
  A.SetString(1, 2, "y");
  A.SetString(0, 3, "x");
  A.SetColAttrib(2, 4);
  A.Sort(1, 0, true);
  TStringArray B(nullptr);
  B.Assign(A);
  A.SetString(1, 1, "changed");
  EXPECT_EQ(B.GetString(1, 1), "");
  EXPECT_EQ(B.GetString(1, 2), "y");
  EXPECT_EQ(B.GetString(0, 1), "x");
  EXPECT_EQ(B.GetColAttrib(2), 4);
  EXPECT_EQ(B.GetSortOrder(1), A.GetSortOrder(1));
  TBitFld Other(nullptr);
  EXPECT_THROW(B.Assign(Other), EConvertError);
}

class StringArrayFile : public zef::test::TempDirTest {};

TEST_F(StringArrayFile, SavesAndLoadsTheTaggedTextBlock) {
  TStringArray A(nullptr);
  ASSERT_TRUE(A.Resize(2, 3));
  A.SetString(0, 1, "row <1> & \"q\"");
  A.SetString(2, 3, "caf\xC3\xA9\r\nline");
  A.SetRowAttrib(2, 3);
  A.SetColAttrib(1, 200);
  A.SaveAsXMLFile(Path("a.xml"), "Cells");
  TStringArray B(nullptr);
  int Changes = 0;
  B.OnChange = [&](TObject*) { ++Changes; };
  ASSERT_TRUE(B.LoadFromXMLFile(Path("a.xml"), "cells"));
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(B.NrOfColumns(), 2);
  EXPECT_EQ(B.NrOfRows(), 3);
  EXPECT_EQ(B.GetString(0, 1), "row <1> & \"q\"");
  EXPECT_EQ(B.GetString(2, 3), "caf\xC3\xA9\r\nline");
  EXPECT_EQ(B.GetRowAttrib(2), 3);
  EXPECT_EQ(B.GetColAttrib(1), 200);
  EXPECT_FALSE(B.LoadFromXMLFile(Path("a.xml"), "other"));
  // A block cut short leaves the array as it was.
  const std::string Text = Get("a.xml");
  Put("cut.xml", Text.substr(0, Text.find("</stringarray>")));
  TStringArray C(nullptr);
  C.SetString(1, 1, "kept");
  EXPECT_FALSE(C.LoadFromXMLFile(Path("cut.xml"), ""));
  EXPECT_EQ(C.GetString(1, 1), "kept");
  // Sizes beyond what a file may ask for are refused.
  Put("huge.xml",
      " <stringarray sig=\"ZEFCSuite\" vers=\"1.0\" id=\"\">\r\n <nrcols>100000</nrcols>\r\n"
      " <nrrows>100000</nrrows>\r\n </stringarray>\r\n");
  EXPECT_FALSE(C.LoadFromXMLFile(Path("huge.xml"), ""));
}

} // namespace
} // namespace zef
