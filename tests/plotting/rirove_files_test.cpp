// Chart data and annotation files, copying annotations and the item listing.
#include <gtest/gtest.h>

#include <cstring>

#include "ZEF_rirove.h"
#include "host/headless.h"
#include "support/temp_dir.h"

using namespace zef;

namespace {

const std::string kLong = "a text far longer than a short string";

class RIroveFiles : public test::TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    SetHost(&Host);
    for (TRIrove* X : {&A, &B}) {
      X->SetBounds(0, 0, 280, 200);
      X->SetRange(1, 0, 0, 10, 100);
    }
  }
  void TearDown() override {
    SetHost(nullptr);
    TempDirTest::TearDown();
  }
  // A line, a mark and a text item with a long text.
  void Fill(TRIrove& X) {
    X.SetDataColor(0x0000FF);
    X.Line(1.0, 20.0, 9.0, 80.0);
    X.MarkAt(5.0, 50.0, 2);
    X.Text(2.0, 30.0, 10, kLong);
  }
  static std::vector<uint32_t> Pixels(TRIrove& X) {
    X.ShowGraf();
    const TBitmap& Bm = X.DataAreaBitmap();
    std::vector<uint32_t> P;
    for (int32_t Y = 0; Y < Bm.Height(); ++Y)
      P.insert(P.end(), Bm.ScanLine(Y), Bm.ScanLine(Y) + Bm.Width());
    return P;
  }
  THeadlessHost Host;
  TRIrove A{nullptr};
  TRIrove B{nullptr};
};

TEST_F(RIroveFiles, EmptyChartSavesAHeaderOnly) {
  A.SaveData(Path("e.dat"));
  const std::string Bytes = Get("e.dat");
  ASSERT_EQ(Bytes.size(), 104u);
  uint8_t Raw[104];
  std::memcpy(Raw, Bytes.data(), 104);
  const TrcChartItem H = ChartItemFromBytes(Raw);
  EXPECT_EQ(ChartItemText(H), "[DATAFORMAT]");
  EXPECT_EQ(H.LWid, -2);
  EXPECT_EQ(H.FillColor, 0x00FFFFFFu);
  EXPECT_EQ(H.ShadowColor, 0x00808080u);
  Fill(B);
  EXPECT_EQ(B.LoadData(Path("e.dat"), false), 0);
  EXPECT_EQ(B.NumItems(), 0);
  EXPECT_EQ(B.ItemCount(tkLine), 0);
}

TEST_F(RIroveFiles, SavedChartLoadsIntoAnotherAndRendersTheSame) {
  Fill(A);
  A.SaveData(Path("a.dat"));
  const std::string Bytes = Get("a.dat");
  EXPECT_EQ(Bytes.substr(4 * 104), kLong + "\r\n");
  EXPECT_EQ(B.LoadData(Path("a.dat"), false), 3);
  EXPECT_EQ(B.DataLongText(2), kLong);
  EXPECT_EQ(B.ItemCount(tkLine), 1);
  EXPECT_EQ(B.ItemCount(tkMarkAt), 1);
  EXPECT_EQ(Pixels(A), Pixels(B));
  // The counters follow the load, so removing keeps them right.
  B.RemoveItem(0);
  EXPECT_EQ(B.ItemCount(tkLine), 0);
}

TEST_F(RIroveFiles, AppendingRenumbersLongTexts) {
  Fill(A);
  A.SaveData(Path("a.dat"));
  B.Text(1.0, 1.0, 10, kLong + " one");
  B.Text(1.0, 2.0, 10, kLong + " two");
  EXPECT_EQ(B.LoadData(Path("a.dat"), true), 3);
  ASSERT_EQ(B.NumItems(), 5);
  EXPECT_EQ(B.DataContainer(4).LWid, 3);
  EXPECT_EQ(B.DataLongText(4), kLong);
  EXPECT_EQ(B.DataLongText(0), kLong + " one");
}

TEST_F(RIroveFiles, AnnotationFilesAreSeparate) {
  A.SetAnnoMode(true);
  A.Text(1.0, 1.0, 10, kLong);
  A.SetAnnoMode(false);
  A.SaveAnno(Path("a.ann"));
  EXPECT_EQ(B.LoadData(Path("a.ann"), false), -2);
  EXPECT_EQ(B.LoadAnno(Path("a.ann"), false), 1);
  EXPECT_EQ(B.AnnoLongText(0), kLong);
}

TEST_F(RIroveFiles, BadFilesLeaveTheChartAlone) {
  Fill(A);
  A.SaveData(Path("a.dat"));
  const std::string Good = Get("a.dat");
  Fill(B);
  B.MarkAt(7.0, 7.0, 1);
  const std::vector<uint32_t> Before = Pixels(B);
  EXPECT_EQ(B.LoadData(Path("missing.dat"), false), -1);
  std::string NoMark = Good;
  for (int I = 56; I < 60; ++I) NoMark[static_cast<std::size_t>(I)] = 0;  // header LWid 0
  Put("nomark.dat", NoMark);
  EXPECT_EQ(B.LoadData(Path("nomark.dat"), false), -2);
  std::string Huge = Good;
  Huge[88] = Huge[89] = Huge[90] = '\xFF';  // Param1 = 0x7FFFFFFF, then negative
  Huge[91] = '\x7F';
  Put("huge.dat", Huge);
  EXPECT_EQ(B.LoadData(Path("huge.dat"), false), -1);
  Huge[91] = '\xFF';
  Put("neg.dat", Huge);
  EXPECT_EQ(B.LoadData(Path("neg.dat"), false), -1);
  // Cut at every offset: either the load fails and nothing changed, or all items are there.
  for (std::size_t Cut = 0; Cut < Good.size(); ++Cut) {
    Put("cut.dat", Good.substr(0, Cut));
    const int32_t R = B.LoadData(Path("cut.dat"), true);
    if (Cut < 4 * 104) {
      ASSERT_EQ(R, -1) << Cut;
      ASSERT_EQ(B.NumItems(), 4) << Cut;
    } else {
      ASSERT_EQ(R, 3) << Cut;
      B.RemoveItem(6);
      B.RemoveItem(5);
      B.RemoveItem(4);
    }
  }
  EXPECT_EQ(Pixels(B), Before);
}

TEST_F(RIroveFiles, CopyAnnoFromFiltersByClass) {
  A.SetAnnoMode(true);
  A.SetClassDefault(3);
  A.Text(1.0, 1.0, 10, kLong);
  A.SetClassDefault(4);
  A.MarkAt(2.0, 2.0, 1);
  B.CopyAnnoFrom(A, {3}, false);
  ASSERT_EQ(B.NumAnnos(), 1);
  EXPECT_EQ(B.AnnoLongText(0), kLong);
  B.CopyAnnoFrom(A, {}, true);
  EXPECT_EQ(B.NumAnnos(), 3);
  EXPECT_EQ(B.AnnoContainer(1).LWid, 2);
}

TEST(RIroveItemDescription, ListsTheParts) {
  TrcChartItem L;
  L.ItemKind = tkLine;
  L.x = 1, L.y = 2, L.x2 = 3, L.y2 = 4;
  L.Color = 0x000000FF;
  L.LWid = 1;
  EXPECT_EQ(ItemDescription(L, -1),
            "elemtype: tkLine\r\n startpnt: [1.0000/2.0000]\r\n endpoint: [3.0000/4.0000]\r\n"
            "      tag: 00000000\r\n    color: 000000FF\r\n penstyle: 00\r\n classnum: 0\r\n"
            "linewidth: 1\r\n endpoint: [3.0000/4.0000]");
  EXPECT_EQ(ItemDescription(TrcChartItem{}, 1), "elemtype: ");
  L.Color = 0xFF00000F;
  EXPECT_EQ(ItemDescription(L, 4), "\r\n    color: FF00000F\r\n penstyle: 00");
}

} // namespace
