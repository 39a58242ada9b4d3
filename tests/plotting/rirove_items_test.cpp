// The item record's layout and byte form, and the fields each drawing command stores.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <functional>

#include "ZEF_rirove.h"

using namespace zef;

TEST(RIroveRecord, LayoutMatchesTheFileRecord) {
  EXPECT_EQ(sizeof(TrcChartItem), 104u);
  EXPECT_EQ(offsetof(TrcChartItem, x), 0u);
  EXPECT_EQ(offsetof(TrcChartItem, y), 8u);
  EXPECT_EQ(offsetof(TrcChartItem, x2), 16u);
  EXPECT_EQ(offsetof(TrcChartItem, y2), 24u);
  EXPECT_EQ(offsetof(TrcChartItem, Color), 32u);
  EXPECT_EQ(offsetof(TrcChartItem, FillColor), 36u);
  EXPECT_EQ(offsetof(TrcChartItem, ShadowColor), 40u);
  EXPECT_EQ(offsetof(TrcChartItem, HiLightColor), 44u);
  EXPECT_EQ(offsetof(TrcChartItem, PenStyle), 48u);
  EXPECT_EQ(offsetof(TrcChartItem, Tag), 52u);
  EXPECT_EQ(offsetof(TrcChartItem, LWid), 56u);
  EXPECT_EQ(offsetof(TrcChartItem, ItemClass), 60u);
  EXPECT_EQ(offsetof(TrcChartItem, ItemKind), 61u);
  EXPECT_EQ(offsetof(TrcChartItem, Layer), 64u);
  EXPECT_EQ(offsetof(TrcChartItem, Transp), 68u);
  EXPECT_EQ(offsetof(TrcChartItem, FrameStyle), 69u);
  EXPECT_EQ(offsetof(TrcChartItem, Text), 70u);
  EXPECT_EQ(offsetof(TrcChartItem, Param1), 88u);
  EXPECT_EQ(offsetof(TrcChartItem, Param2), 92u);
  EXPECT_EQ(offsetof(TrcChartItem, Param3), 96u);
  EXPECT_EQ(offsetof(TrcChartItem, CoordMode), 100u);
}

TEST(RIroveRecord, BytesAreLittleEndianWithZeroPadding) {
  TrcChartItem It;
  It.x = 1.0;  // 0x3FF0000000000000
  It.Color = 0x00112233;
  It.PenStyle = psDot;
  It.Tag = -2;
  It.ItemKind = tkArc;
  It.Layer = 2;
  It.Transp = true;
  SetChartItemText(It, "abc");
  It.Param3 = 0x01020304;
  It.CoordMode = cmXWorldYScreen;
  uint8_t B[104];
  std::memset(B, 0xEE, sizeof B);
  ChartItemToBytes(It, B);
  EXPECT_EQ(B[6], 0xF0);
  EXPECT_EQ(B[7], 0x3F);
  EXPECT_EQ(B[32], 0x33);
  EXPECT_EQ(B[34], 0x11);
  EXPECT_EQ(B[48], psDot);
  for (int I : {49, 50, 51, 62, 63, 101, 102, 103}) EXPECT_EQ(B[I], 0) << "padding byte " << I;
  EXPECT_EQ(B[52], 0xFE);
  EXPECT_EQ(B[55], 0xFF);
  EXPECT_EQ(B[61], tkArc);
  EXPECT_EQ(B[64], 2);
  EXPECT_EQ(B[68], 1);
  EXPECT_EQ(B[70], 3);
  EXPECT_EQ(B[71], 'a');
  EXPECT_EQ(B[96], 0x04);
  EXPECT_EQ(B[99], 0x01);
  EXPECT_EQ(B[100], cmXWorldYScreen);

  const TrcChartItem Back = ChartItemFromBytes(B);
  uint8_t Again[104];
  ChartItemToBytes(Back, Again);
  EXPECT_EQ(std::memcmp(B, Again, 104), 0);
  EXPECT_EQ(ChartItemText(Back), "abc");
}

TEST(RIroveRecord, ReadingBadBytesGivesSafeValues) {
  uint8_t B[104];
  std::memset(B, 0xFF, sizeof B);
  const TrcChartItem It = ChartItemFromBytes(B);
  EXPECT_EQ(It.ItemKind, tkNone);
  EXPECT_EQ(It.PenStyle, psSolid);
  EXPECT_EQ(It.FrameStyle, fsNone);
  EXPECT_EQ(It.CoordMode, cmAllWorld);
  EXPECT_EQ(It.Text[0], 17);
  EXPECT_EQ(ChartItemText(It).size(), 17u * 2);  // 0xFF is y with diaeresis: two UTF-8 bytes
}

TEST(RIroveRecord, TextIsStoredAsWindows1252) {
  TrcChartItem It;
  SetChartItemText(It, "\xE2\x82\xAC" "5 \xC3\xA9t\xC3\xA9");  // euro sign, "5 ete" with accents
  EXPECT_EQ(It.Text[0], 6);
  EXPECT_EQ(It.Text[1], 0x80);
  EXPECT_EQ(It.Text[4], 0xE9);
  EXPECT_EQ(ChartItemText(It), "\xE2\x82\xAC" "5 \xC3\xA9t\xC3\xA9");
}

class RIroveCommands : public ::testing::Test {
protected:
  TRIrove C{nullptr};
  TrcChartItem Last() const {
    return C.AnnoMode() ? C.AnnoContainer(C.NumAnnos() - 1) : C.DataContainer(C.NumItems() - 1);
  }
};

TEST_F(RIroveCommands, StampedAttributes) {
  C.SetDataColor(0x123456);
  C.SetPenStyle(psDash);
  C.SetLineWidth(3);
  C.SetFillColor(0x00FF00);
  C.SetTransparentItems(true);
  C.SetDataTag(77);
  C.SetClassDefault(9);
  C.SetClassDefault(255);  // ignored
  C.SetActiveLayer(2);
  C.SetActiveLayer(3);  // ignored
  C.Rectangle(1.0, 2.0, 3.0, 4.0);
  TrcChartItem It = Last();
  EXPECT_EQ(It.ItemKind, tkRect);
  EXPECT_EQ(It.Color, 0x123456u);
  EXPECT_EQ(It.PenStyle, psDash);
  EXPECT_EQ(It.LWid, 3);
  EXPECT_EQ(It.FillColor, 0x00FF00u);
  EXPECT_TRUE(It.Transp);
  EXPECT_EQ(It.Tag, 77);
  EXPECT_EQ(It.ItemClass, 9);
  EXPECT_EQ(It.Layer, 2);
  EXPECT_EQ(It.x2, 3.0);
  // Marks take neither the fill colour nor transparency.
  C.MarkAt(1.0, 1.0, 5);
  It = Last();
  EXPECT_EQ(It.FillColor, 0u);
  EXPECT_FALSE(It.Transp);
  EXPECT_EQ(It.Param3, 5);
}

TEST_F(RIroveCommands, CoordinateModesAreStoredForAnnotationsOnly) {
  C.MoveTo(int32_t{10}, int32_t{20});
  EXPECT_EQ(Last().CoordMode, cmAllWorld);
  EXPECT_EQ(Last().x, 10.0);
  EXPECT_EQ(Last().y, 20.0);
  C.SetAnnoMode(true);
  struct TCase {
    std::function<void()> Call;
    TrcItem Kind;
    TCoordMode Mode;
  };
  const TCase Cases[] = {
      {[&] { C.MoveTo(int32_t{10}, int32_t{20}); }, tkMoveTo, cmAllScreen},
      {[&] { C.DrawTo(int32_t{1}, 2.0); }, tkLineto, cmXScreenYWorld},
      {[&] { C.DrawTo(1.0, int32_t{2}); }, tkLineto, cmXWorldYScreen},
      {[&] { C.Line(1.0, 2.0, int32_t{30}, int32_t{40}); }, tkLine, cmWorldMainScreenSec},
      {[&] { C.Line(int32_t{1}, int32_t{2}, 3.0, 4.0); }, tkLine, cmScreenMainWorldSec},
      {[&] { C.Rectangle(int32_t{1}, int32_t{2}, 3.0, 4.0); }, tkRect, cmScreenMainWorldSec},
      {[&] { C.RectFrame(1.0, 2.0, int32_t{3}, int32_t{4}, fsRaised, 1, 2); }, tkRectFrame, cmWorldMainScreenSec},
      {[&] { C.Arrow(int32_t{5}, 2.5, int32_t{7}, 3.5, 8); }, tkArrow, cmXScreenYWorld},
      {[&] { C.DoubleArrow(5.0, int32_t{2}, 7.0, int32_t{3}, 8); }, tkDoubleArrow, cmXWorldYScreen},
      {[&] { C.MarkAt(int32_t{3}, int32_t{4}, 1); }, tkMarkAt, cmAllScreen},
      {[&] { C.Text(int32_t{3}, 4.0, 10, "t"); }, tkText, cmXScreenYWorld},
      {[&] { C.CursorVert(int32_t{3}); }, tkCursorVert, cmAllScreen},
      {[&] { C.CursorHoriz(3.0); }, tkCursorHoriz, cmAllWorld},
      // Commands without overloads always store world coordinates.
      {[&] { C.Ellipse(1, 2, 3, 4); }, tkEllipse, cmAllWorld},
      {[&] { C.DrawToRelPix(int32_t{1}, int32_t{2}); }, tkLineRelPix, cmAllWorld},
      {[&] { C.Text(1.0, 2.0, 10, "t", 3, 0, taLeftJustify); }, tkTextOfs, cmAllWorld},
  };
  for (const TCase& Cs : Cases) {
    Cs.Call();
    EXPECT_EQ(Last().ItemKind, Cs.Kind);
    EXPECT_EQ(Last().CoordMode, Cs.Mode) << "kind " << int(Cs.Kind);
  }
  EXPECT_EQ(C.NumItems(), 1);
  EXPECT_EQ(C.ItemCount(tkMoveTo), 1);  // annotations are not counted
}

TEST_F(RIroveCommands, KindSpecificParameters) {
  C.Bar3D(0, 0, 1, 1, 10, 200);
  EXPECT_EQ(Last().Param1, 180);
  EXPECT_EQ(Last().Param2, 10);
  C.Bar3D(0, 0, 1, 1, 4, -5);
  EXPECT_EQ(Last().Param1, 0);
  C.Arc(0, 0, 1, 1, 4.0, -0.5);
  EXPECT_EQ(Last().Param1, 314159265);
  EXPECT_EQ(Last().Param2, -50000000);
  C.RectFrame(0.0, 0.0, 1.0, 1.0, fsEmbossed, 0x111111, 0x222222);
  EXPECT_EQ(Last().LWid, 1);
  EXPECT_EQ(Last().FrameStyle, fsEmbossed);
  EXPECT_EQ(Last().ShadowColor, 0x111111u);
  EXPECT_EQ(Last().HiLightColor, 0x222222u);
  C.MarkErrorBar(1, 2, 0.5, 0.7, orHoriz, 24);
  EXPECT_EQ(Last().Param1, orHoriz);
  EXPECT_EQ(Last().Param3, 24);
  EXPECT_EQ(Last().y2, 0.7);
  C.LineOffset(1, 2, 3, 4, 5, -6);
  EXPECT_EQ(Last().Param1, 5);
  EXPECT_EQ(Last().Param2, -6);
  C.RectangleRelPix(1, 2, 7, 8);
  EXPECT_EQ(Last().Param1, 7);
  EXPECT_EQ(Last().Param2, 8);
  C.DrawToRelPix(1.5, 2.5, 7, 8);
  EXPECT_EQ(Last().ItemKind, tkLineRelPixOrig);
  EXPECT_EQ(Last().x2, 7.0);
  C.Arrow(0.0, 0.0, 1.0, 1.0, 12);
  EXPECT_EQ(Last().Param1, 12);
}

TEST_F(RIroveCommands, TextItems) {
  C.SetTextBkStyle(tbSolid);
  C.SetTextAlignment(taRightJustify);
  C.Text(1.0, 2.0, 12, "abc");
  TrcChartItem It = Last();
  EXPECT_EQ(It.ItemKind, tkText);
  EXPECT_EQ(It.Param1, 12);
  EXPECT_EQ(It.Param2, tbSolid);
  EXPECT_EQ(It.Param3, taRightJustify);
  EXPECT_EQ(It.LWid, 0);
  C.Text(1.0, 2.0, 12, "abc", 0, 0, taLeftJustify);
  EXPECT_EQ(Last().ItemKind, tkText);
  EXPECT_EQ(Last().Param3, taLeftJustify);
  C.Text(1.0, 2.0, 12, "abc", 3, 0, taLeftJustify);
  EXPECT_EQ(Last().ItemKind, tkTextOfs);
  EXPECT_EQ(Last().x2, 3.0);
}

TEST_F(RIroveCommands, LongTexts) {
  C.Text(0.0, 0.0, 10, "123456789012345");  // 15 characters fit
  EXPECT_EQ(Last().LWid, 0);
  C.Text(0.0, 0.0, 10, "1234567890123456");
  EXPECT_EQ(Last().LWid, 1);
  EXPECT_EQ(ChartItemText(Last()), "123456789012345");
  EXPECT_EQ(C.DataLongText(1), "1234567890123456");
  for (int I = 0; I < 49; ++I) C.Text(0.0, 0.0, 10, "a long text number " + std::to_string(I));
  EXPECT_EQ(Last().LWid, 50);
  C.Text(0.0, 0.0, 10, "the fifty-first long text");
  EXPECT_EQ(Last().LWid, 0);
  EXPECT_EQ(C.DataLongText(C.NumItems() - 1), "the fifty-firs"
                                              "t");
  // Rewriting: a short text frees nothing but clears the slot link; a long one reuses it.
  C.SetDataLongText(1, "short");
  EXPECT_EQ(C.DataLongText(1), "short");
  EXPECT_EQ(C.DataContainer(1).LWid, 0);
  C.SetDataLongText(0, "now much longer than fifteen");
  EXPECT_EQ(C.DataContainer(0).LWid, 0);  // all 50 slots are in use
  EXPECT_EQ(C.DataLongText(0), "now much longer");
  C.SetDataLongText(2, "replaced long text in slot two");
  EXPECT_EQ(C.DataContainer(2).LWid, 2);
  EXPECT_EQ(C.DataLongText(2), "replaced long text in slot two");
  // Other kinds and indices give nothing.
  C.MoveTo(0.0, 0.0);
  EXPECT_EQ(C.DataLongText(C.NumItems() - 1), "");
  EXPECT_EQ(C.DataLongText(-1), "");
  EXPECT_EQ(C.DataLongText(C.NumItems()), "");
  // Annotations keep their own table.
  C.SetAnnoMode(true);
  C.Text(0.0, 0.0, 10, "an annotation text of some length");
  EXPECT_EQ(Last().LWid, 1);
  EXPECT_EQ(C.AnnoLongText(0), "an annotation text of some length");
}
