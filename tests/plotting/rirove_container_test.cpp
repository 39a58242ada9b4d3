// Container growth, removal, queries, bulk edits, data sharing, joint layers and labels.
#include <gtest/gtest.h>

#include <functional>

#include <limits>
#include <memory>

#include "ZEF_rirove.h"
#include "host/headless.h"

using namespace zef;

namespace {

class RIroveContainer : public ::testing::Test {
protected:
  void SetUp() override { SetHost(&Host); }
  void TearDown() override { SetHost(nullptr); }
  THeadlessHost Host;
  TRIrove C{nullptr};
};

TEST_F(RIroveContainer, GrowsByAllocSize) {
  EXPECT_EQ(C.DataAllocated(), 0);
  C.SetAllocSize(0);  // ignored
  C.SetAllocSize(1000001);  // ignored
  EXPECT_EQ(C.AllocSize(), 1000);
  std::vector<int32_t> Seen;
  for (int I = 0; I < 2500; ++I) {
    C.MarkAt(1.0 * I, 0.0, 1);
    if (Seen.empty() || Seen.back() != C.DataAllocated()) Seen.push_back(C.DataAllocated());
  }
  EXPECT_EQ(Seen, (std::vector<int32_t>{1000, 2000, 3000}));
  EXPECT_EQ(C.NumItems(), 2500);
  EXPECT_EQ(C.ItemCount(tkMarkAt), 2500);
}

TEST_F(RIroveContainer, ReadsOutsideGiveNoneAndWritesAreIgnored) {
  EXPECT_EQ(C.DataContainer(0).ItemKind, tkNone);
  EXPECT_EQ(C.TypeOfFirstItem(), tkNone);
  EXPECT_EQ(C.TypeOfLastItem(), tkNone);
  TrcChartItem It;
  It.ItemKind = tkLine;
  C.SetDataContainer(0, It);
  C.SetAnnoContainer(-1, It);
  EXPECT_EQ(C.NumItems(), 0);
  EXPECT_EQ(C.SearchDataItem(0, 0, 0, 255, tkEverything), -1);
}

TEST_F(RIroveContainer, RemovingKeepsCountersRight) {
  C.MarkAt(1.0, 1.0, 1);
  C.Line(0.0, 0.0, 1.0, 1.0);
  C.MoveTo(2.0, 2.0);
  C.RemoveItem(0);
  EXPECT_EQ(C.ItemCount(tkMarkAt), 0);
  EXPECT_EQ(C.TypeOfFirstItem(), tkLine);
  C.RemoveItem(7);  // ignored
  C.RemoveLastItem();
  EXPECT_EQ(C.ItemCount(tkMoveTo), 0);
  EXPECT_EQ(C.NumItems(), 1);
  C.RemoveFirstItem();  // the only item: the container empties
  EXPECT_EQ(C.NumItems(), 0);
  EXPECT_EQ(C.DataAllocated(), 0);
  EXPECT_EQ(C.ItemCount(tkLine), 0);
  // Regression: removing the last item of an empty container used index -1.
  C.RemoveLastItem();
  EXPECT_EQ(C.NumItems(), 0);
  EXPECT_EQ(C.ItemCount(tkNone), 0);
}

TEST_F(RIroveContainer, RemoveByClassAndLayerCompactInOrder) {
  for (int I = 0; I < 6; ++I) {
    C.SetClassDefault(static_cast<uint8_t>(I % 2));
    C.SetActiveLayer(I < 3 ? 1 : 2);
    C.MarkAt(1.0 * I, 0.0, 1);
  }
  EXPECT_EQ(C.RemoveItemsByClass(1), 3);
  EXPECT_EQ(C.NumItems(), 3);
  EXPECT_EQ(C.DataContainer(1).x, 2.0);
  EXPECT_EQ(C.ItemCount(tkMarkAt), 3);
  EXPECT_EQ(C.FindUsedLayers(), (TLayerSet{liLayer1, liLayer2}));
  EXPECT_EQ(C.RemoveItemsByLayer(2), 1);
  EXPECT_EQ(C.FindUsedLayers(), (TLayerSet{liLayer1}));
  C.ClearGraf();
  EXPECT_EQ(C.NumItems(), 0);
  EXPECT_EQ(C.ItemCount(tkMarkAt), 0);
}

TEST_F(RIroveContainer, SetItemParamsMovesCounts) {
  C.MarkAt(1.0, 1.0, 1);
  TrcChartItem It = C.GetItemParams(0);
  It.ItemKind = tkLine;
  C.SetItemParams(0, It);
  EXPECT_EQ(C.ItemCount(tkMarkAt), 0);
  EXPECT_EQ(C.ItemCount(tkLine), 1);
  It.ItemKind = tkEverything;
  C.SetItemParams(0, It);  // ignored
  EXPECT_EQ(C.TypeOfFirstItem(), tkLine);
  // Writing the container directly leaves the counters alone.
  It.ItemKind = tkRect;
  C.SetDataContainer(0, It);
  EXPECT_EQ(C.ItemCount(tkLine), 1);
}

TEST_F(RIroveContainer, SearchAndCount) {
  C.SetAnnoMode(true);
  struct TRow { int32_t Tag; uint8_t Class; bool Mark; };
  const TRow Rows[] = {{0x10, 1, true}, {0x11, 2, false}, {0x21, 1, true}, {0x30, 1, false}};
  for (const TRow& R : Rows) {
    C.SetDataTag(R.Tag);
    C.SetClassDefault(R.Class);
    if (R.Mark) C.MarkAt(0.0, 0.0, 1);
    else C.MoveTo(0.0, 0.0);
  }
  EXPECT_EQ(C.SearchAnnoItem(0, 0, 0, 255, tkEverything), 0);
  EXPECT_EQ(C.SearchAnnoItem(1, 0, 0, 255, tkMarkAt), 2);
  EXPECT_EQ(C.SearchAnnoItem(0, 0x01, 0x0F, 255, tkEverything), 1);  // low nibble 1
  EXPECT_EQ(C.SearchAnnoItem(0, 0x20, 0xF0, 1, tkMarkAt), 2);
  EXPECT_EQ(C.SearchAnnoItem(-1, 0, 0, 255, tkEverything), -1);
  EXPECT_EQ(C.SearchAnnoItem(0, 0, 0, 3, tkEverything), -1);
  EXPECT_EQ(C.CountAnnos(0, 0, 1, tkEverything), 3);
  EXPECT_EQ(C.CountAnnos(0x10, 0xF0, 255, tkEverything), 2);
  EXPECT_EQ(C.CountAnnoByClass({1, 2, 1}), 7);
}

TEST_F(RIroveContainer, MarkRecolourAndScale) {
  C.MoveTo(0.0, 0.0);
  C.Line(1.0, 1.0, 9.0, 9.0);
  C.MarkAt(10.0, 10.0, 1);
  C.MarkAt(11.0, 5.0, 1);
  EXPECT_EQ(C.MarkItemsInWindow(10, 10, 0, 0, tkEverything, 3), 3);  // bounds swapped
  EXPECT_EQ(C.MarkItemsInWindow(0, 0, 20, 20, tkEverything, 255), 0);
  EXPECT_EQ(C.MarkItemsInWindow(0, 0, 20, 20, tkNone, 4), 0);
  C.MarkAllItems(tkNotMoveTo, 7);
  EXPECT_EQ(C.DataContainer(0).ItemClass, 3);
  EXPECT_EQ(C.DataContainer(3).ItemClass, 7);
  C.NewColorOfClassItems(0xABCDEF, 7);
  EXPECT_EQ(C.DataContainer(0).Color, 0u);
  EXPECT_EQ(C.DataContainer(1).Color, 0xABCDEFu);
  C.ScaleSelectedItems(2, 1, 3, -1, 7);
  EXPECT_EQ(C.DataContainer(1).x2, 19.0);  // line: second point too
  EXPECT_EQ(C.DataContainer(1).y2, 26.0);
  EXPECT_EQ(C.DataContainer(0).x, 0.0);  // class 3 untouched
  C.ScaleItem(99, 2, 0, 2, 0);  // ignored
  C.ScaleItem(2, 1, 0, 1, 5);
  EXPECT_EQ(C.DataContainer(2).y, 34.0);
}

TEST_F(RIroveContainer, FindMinMaxUsesPointsStrictlyInside) {
  double MinX, MinY, MaxX, MaxY;
  C.FindMinMax(0, 0, 0, 10, 10, MinX, MinY, MaxX, MaxY);
  EXPECT_EQ(MinX, std::numeric_limits<double>::max());
  EXPECT_EQ(MaxY, -std::numeric_limits<double>::max());
  C.Line(1.0, 2.0, 8.0, 9.0);
  C.MarkAt(10.0, 5.0, 1);  // on the window edge: excluded
  C.DrawToRelPix(int32_t{3}, int32_t{3});  // relative pixels never count
  C.SetActiveLayer(2);
  C.MarkAt(0.5, 0.5, 1);
  C.FindMinMax(1, 0, 0, 10, 10, MinX, MinY, MaxX, MaxY);
  EXPECT_EQ(MinX, 1.0);
  EXPECT_EQ(MinY, 2.0);
  EXPECT_EQ(MaxX, 8.0);
  EXPECT_EQ(MaxY, 9.0);
  C.FindMinMax(0, 0, 0, 10, 10, MinX, MinY, MaxX, MaxY);
  EXPECT_EQ(MinX, 0.5);
}

TEST_F(RIroveContainer, SharingData) {
  TRIrove A(nullptr), B(nullptr), D(nullptr), E(nullptr), F(nullptr), G(nullptr);
  B.SetUseDataOf(&A);
  A.MarkAt(1.0, 1.0, 1);
  B.MarkAt(2.0, 2.0, 1);
  EXPECT_EQ(A.NumItems(), 2);
  EXPECT_EQ(B.NumItems(), 2);
  EXPECT_EQ(A.ItemCount(tkMarkAt), 2);
  // A user of a user becomes a user of the owner.
  D.SetUseDataOf(&B);
  EXPECT_EQ(D.UseDataOf(), &A);
  E.SetUseDataOf(&A);
  F.SetUseDataOf(&A);
  EXPECT_EQ(A.NumDataUsers(), 4);
  G.SetUseDataOf(&A);
  EXPECT_EQ(G.UseDataOf(), nullptr);
  A.SetUseDataOf(&G);
  G.SetUseDataOf(&G);
  const std::vector<std::string> Expected = {
      "RIrove: Max. number of data shares exceeded",
      "RIrove: Cannot use foreign data. Other RIroves are using my own data.",
      "RIrove: Cannot share data with myself"};
  EXPECT_EQ(Host.MessageTexts(), Expected);
  // Leaving keeps a copy of the shared items, independent of the owner.
  B.SetUseDataOf(nullptr);
  EXPECT_EQ(A.NumDataUsers(), 3);
  EXPECT_EQ(B.NumItems(), 2);
  B.MarkAt(3.0, 3.0, 1);
  EXPECT_EQ(A.NumItems(), 2);
}

// Regression: a user of a destroyed owner kept a reference to the freed chart.
TEST_F(RIroveContainer, UsersFallBackWhenTheOwnerIsDestroyed) {
  TRIrove User(nullptr);
  User.MarkAt(5.0, 5.0, 3);
  {
    TRIrove Owner(nullptr);
    Owner.MarkAt(1.0, 1.0, 1);
    Owner.MarkAt(2.0, 2.0, 1);
    User.SetUseDataOf(&Owner);
    EXPECT_EQ(User.NumItems(), 2);
  }
  EXPECT_EQ(User.UseDataOf(), nullptr);
  EXPECT_EQ(User.NumItems(), 1);
  EXPECT_EQ(User.DataContainer(0).Param3, 3);
  User.MarkAt(6.0, 6.0, 3);
  EXPECT_EQ(User.NumItems(), 2);
  // And an owner outlives a destroyed user without a dangling entry.
  TRIrove Owner2(nullptr);
  {
    TRIrove Temp(nullptr);
    Temp.SetUseDataOf(&Owner2);
    EXPECT_EQ(Owner2.NumDataUsers(), 1);
  }
  EXPECT_EQ(Owner2.NumDataUsers(), 0);
}

TEST_F(RIroveContainer, JointLayers) {
  C.SetRange(1, 0, 0, 10, 100);
  C.SetRange(2, 50, 5, 60, 6);
  TJointLayers& J = C.JointLayers();
  J.SetL02xControlledBy(1);
  EXPECT_EQ(J.L02xControlledBy(), 1);
  EXPECT_EQ(C.ScalePropsX(2).RangeLow(), 0.0);
  EXPECT_EQ(C.ScalePropsX(2).RangeHigh(), 10.0);
  EXPECT_EQ(C.ScalePropsY(2).RangeHigh(), 6.0);
  // A controlled axis follows its controller.
  C.SetRange(1, 20, 0, 30, 100);
  EXPECT_EQ(C.ScalePropsX(2).RangeLow(), 20.0);
  const auto Message = [&](auto Call) {
    try {
      Call();
    } catch (const EZEFRIroveError& E) {
      return E.Message();
    }
    return std::string("no error");
  };
  EXPECT_EQ(Message([&] { J.SetL01xControlledBy(2); }), "Destination layer 2 is already joined");
  EXPECT_EQ(Message([&] { J.SetL02xControlledBy(3); }), "Destination layer 3 is out of range");
  J.SetL02xControlledBy(2);  // controls itself again
  J.SetL02yControlledBy(1);
  EXPECT_EQ(Message([&] { J.SetL01yControlledBy(2); }), "Destination layer 2 is already joined");
  TJointLayers Free;
  Free.SetL01yControlledBy(2);
  EXPECT_EQ(Message([&] { Free.SetL02yControlledBy(1); }), "Destination layer 1 is already joined");
  TJointLayers Joined;
  Joined.SetL02xControlledBy(1);
  Joined.SetL01xControlledBy(1);
  EXPECT_EQ(Joined.L01xControlledBy(), 1);
}

TEST_F(RIroveContainer, TextLabels) {
  EXPECT_EQ(C.AddTextLabel(1, 2, 0x0000FF, "first", 0), 1);
  const TTextLabel& L = C.TextLabels(1);
  EXPECT_EQ(L.Mode(), tlsimple);
  EXPECT_TRUE(L.Visible());
  EXPECT_EQ(L.Caption(), "first");
  EXPECT_EQ(L.Font().Color(), 0x0000FFu);
  EXPECT_EQ(L.ColorBkg(), C.ChartColor());
  C.TextLabels(1).SetTxtLblMode(tlShadow);
  C.TextLabels(1).SetTxtLblShadowDx(5);
  EXPECT_EQ(C.AddTextLabel(3, 4, 0, "second", 1), 2);
  EXPECT_EQ(C.TextLabels(2).Mode(), tlShadow);
  EXPECT_EQ(C.TextLabels(2).ShadowDx(), 5);
  for (int I = 3; I <= 30; ++I) EXPECT_EQ(C.AddTextLabel(0, 0, 0, "x", 0), I);
  EXPECT_EQ(C.AddTextLabel(0, 0, 0, "no room", 0), 0);
  C.ClearAllTextLabels();
  EXPECT_EQ(C.AddTextLabel(0, 0, 0, "again", 0), 1);
  C.SetName("Chart1");
  try {
    C.TextLabels(31);
    FAIL();
  } catch (const EZEFRIroveError& E) {
    EXPECT_EQ(E.Message(), "Component \"Chart1\": invalid index into TextLabel array");
  }
}

TEST_F(RIroveContainer, AssignCopiesItemsButNotSharing) {
  TRIrove Owner(nullptr);
  C.SetUseDataOf(&Owner);
  C.MarkAt(1.0, 1.0, 1);
  C.Text(0.0, 0.0, 10, "a text of more than fifteen");
  C.SetAnnoMode(true);
  C.Line(0.0, 0.0, 1.0, 1.0);
  C.SetAnnoMode(false);
  C.SetGridStyle(gsLines);
  C.SetRange(1, 2, 3, 4, 5);
  TRIrove Copy(nullptr);
  Copy.Assign(C);
  EXPECT_EQ(Copy.NumItems(), 2);
  EXPECT_EQ(Copy.NumAnnos(), 1);
  EXPECT_EQ(Copy.DataLongText(1), "a text of more than fifteen");
  EXPECT_EQ(Copy.GridStyle(), gsLines);
  EXPECT_EQ(Copy.ScalePropsX(1).RangeLow(), 2.0);
  EXPECT_EQ(Copy.UseDataOf(), nullptr);
  Copy.MarkAt(2.0, 2.0, 1);
  EXPECT_EQ(C.NumItems(), 2);
  // The copy's settings objects report to the copy, not to the original.
  Copy.ScalePropsX(1).SetRangeLow(0);
  EXPECT_EQ(C.ScalePropsX(1).RangeLow(), 2.0);
}

} // namespace
