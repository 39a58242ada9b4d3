#include "zefbase_xml.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace zef {
namespace {

void SetUpLabel(TCustomTextLabel& L) {
  L.SetTxtLblPosX(1.5);
  L.SetTxtLblPosY(-250);
  L.SetTxtLblLayer(3);
  L.SetTxtLblShadowDx(2);
  L.SetTxtLblShadowDy(-4);
  L.SetTxtLblColorShadow(0x102030);
  L.SetTxtLblAlignment(taRightJustify);
  L.SetTxtLblVertAlignment(vaTop);
  L.SetTxtLblScreenPos(tlamYOnly);
  L.SetTxtLblColorBkg(0xABCDEF);
  L.SetTxtLblColorBrd(0x0000FF);
  L.SetTxtLblTranspar(true);
  L.SetTxtLblCaption("Line one\nline <two> & </three>");
  L.SetTxtLblMode(tlShadow);
  L.SetTxtLblVisible(false);
  TFont F;
  F.SetName("DejaVu Sans");
  F.SetSize(12);
  F.SetColor(0x00FF00);
  F.SetStyle({fsBold, fsUnderline});
  L.SetTxtLblFont(F);
}

void ExpectSame(const TCustomTextLabel& A, const TCustomTextLabel& B) {
  EXPECT_EQ(A.PosX(), B.PosX());
  EXPECT_EQ(A.PosY(), B.PosY());
  EXPECT_EQ(A.Layer(), B.Layer());
  EXPECT_EQ(A.ShadowDx(), B.ShadowDx());
  EXPECT_EQ(A.ShadowDy(), B.ShadowDy());
  EXPECT_EQ(A.ColorShadow(), B.ColorShadow());
  EXPECT_EQ(A.Alignment(), B.Alignment());
  EXPECT_EQ(A.VerticalAlignment(), B.VerticalAlignment());
  EXPECT_EQ(A.AttachToData(), B.AttachToData());
  EXPECT_EQ(A.ColorBkg(), B.ColorBkg());
  EXPECT_EQ(A.ColorBorder(), B.ColorBorder());
  EXPECT_EQ(A.Transparent(), B.Transparent());
  EXPECT_EQ(A.Caption(), B.Caption());
  EXPECT_EQ(A.Mode(), B.Mode());
  EXPECT_EQ(A.Visible(), B.Visible());
  EXPECT_EQ(A.Font().Name(), B.Font().Name());
  EXPECT_EQ(A.Font().Size(), B.Font().Size());
  EXPECT_EQ(A.Font().Color(), B.Font().Color());
  EXPECT_TRUE(A.Font().Style() == B.Font().Style());
}

class TextLabelFile : public test::TempDirTest {
protected:
  // Writes through Write into a new file and returns its bytes.
  template <class F>
  std::string WriteFile(const std::string& Name, F Write) {
    TTextFile T;
    AssignFile(T, Path(Name));
    Rewrite(T);
    Write(T);
    CloseFile(T);
    return Get(Name);
  }
  template <class F>
  auto ReadFile(const std::string& Name, F Read) {
    TTextFile T;
    AssignFile(T, Path(Name));
    Reset(T);
    auto R = Read(T);
    CloseFile(T);
    return R;
  }

};

TEST(TextLabel, DefaultsSettersAndNotification) {
  TCustomTextLabel L;
  EXPECT_EQ(L.PosX(), 100.0);
  EXPECT_EQ(L.PosY(), 10.0);
  EXPECT_EQ(L.Layer(), 1);
  EXPECT_EQ(L.ColorShadow(), 0x808080u);
  EXPECT_EQ(L.Alignment(), taCenter);
  EXPECT_EQ(L.VerticalAlignment(), vaBottom);
  EXPECT_EQ(L.ColorBkg(), 0xC0C0C0u);
  EXPECT_EQ(L.Mode(), tlsimple);
  EXPECT_TRUE(L.Visible());
  int Calls = 0;
  L.OnChange = [&](TObject* S) {
    EXPECT_EQ(S, &L);
    ++Calls;
  };
  L.SetTxtLblLayer(17);
  L.SetTxtLblLayer(0);
  EXPECT_EQ(L.Layer(), 1);
  EXPECT_EQ(Calls, 0);
  L.SetTxtLblLayer(16);
  EXPECT_EQ(L.Layer(), 16);
  L.SetTxtLblCaption("a\tb\nc\rd");
  EXPECT_EQ(L.Caption(), "a b\nc d");
  EXPECT_EQ(Calls, 2);
}

TEST(TextLabel, AssignCopiesSettingsFontAndHandler) {
  TCustomTextLabel A, B;
  int Calls = 0;
  A.OnChange = [&](TObject*) { ++Calls; };
  SetUpLabel(A);
  Calls = 0;
  B.Assign(A);
  ExpectSame(A, B);
  B.Changed();
  EXPECT_EQ(Calls, 1);
  TCrossHair C;
  EXPECT_THROW(B.Assign(C), EConvertError);
}

TEST_F(TextLabelFile, WritesTheFrameAndElementsByteForByte) {
  TCustomTextLabel L;
  L.SetTxtLblColorBkg(clBtnFace);
  TFont F;
  F.SetStyle({fsBold, fsUnderline});
  F.SetColor(0x123456);
  L.SetTxtLblFont(F);
  const std::string Bytes = WriteFile("l.xml", [&](TTextFile& T) { L.WriteToOpenXMLFile(T, true, "Lbl1", 0); });
  const std::string Expected =
      " <?xml version=\"1.0\"?>\r\n"
      "\r\n"
      " <!-- TCustomTextLabel / ZEF Component Suite -->\r\n"
      " <custtextlbl sig=\"ZEFCSuite\" vers=\"1.0\" id=\"Lbl1\">\r\n"
      "   <posxy x= 1.000E+0002 y= 1.000E+0001 />\r\n"
      "   <caption></caption>\r\n"
      "   <colors brd=$000000 bg=$00000F shdw=$808080 />\r\n"
      "   <shadowofs dx=0 dy=0 />\r\n"
      "   <layer val=1 />\r\n"
      "   <transparent val=0 />\r\n"
      "   <visible val=1 />\r\n"
      "   <alignment horiz=taCenter vert=vaBottom />\r\n"
      "   <attachmode val=tlamNone />\r\n"
      "   <font name=\"Tahoma\" size=8 color=$123456 style=\"fsBold fsUnderline\" />\r\n"
      "   <style val=tlsimple />\r\n"
      " </custtextlbl>\r\n";
  EXPECT_EQ(Bytes, Expected);

  TCustomTextLabel Plain;
  const std::string NoStyle =
      WriteFile("p.xml", [&](TTextFile& T) { Plain.WriteToOpenXMLFile(T, false, "", 3); });
  EXPECT_EQ(NoStyle.substr(0, 5), "\r\n   ");
  EXPECT_NE(NoStyle.find("style=\"\" />"), std::string::npos);
}

TEST_F(TextLabelFile, ReadsBackEqualWithIndentZero) {
  TCustomTextLabel A;
  SetUpLabel(A);
  WriteFile("l.xml", [&](TTextFile& T) { A.WriteToOpenXMLFile(T, true, "Lbl1", 0); });
  TCustomTextLabel B;
  int Calls = 0;
  B.OnChange = [&](TObject*) { ++Calls; };
  EXPECT_TRUE(ReadFile("l.xml", [&](TTextFile& T) { return B.ReadFromOpenXMLFile(T, "LBL1"); }));
  EXPECT_EQ(Calls, 1);
  ExpectSame(A, B);
}

TEST_F(TextLabelFile, SkipsBlocksWithOtherIds) {
  TCustomTextLabel A, B;
  A.SetTxtLblCaption("first");
  B.SetTxtLblCaption("second");
  WriteFile("two.xml", [&](TTextFile& T) {
    A.WriteToOpenXMLFile(T, true, "lbl1", 2);
    B.WriteToOpenXMLFile(T, false, "LBL2", 2);
  });
  TCustomTextLabel R;
  EXPECT_TRUE(ReadFile("two.xml", [&](TTextFile& T) { return R.ReadFromOpenXMLFile(T, "Lbl2"); }));
  EXPECT_EQ(R.Caption(), "second");
  // Two reads in a row without an id give both blocks.
  TCustomTextLabel R1, R2;
  const bool Both = ReadFile("two.xml", [&](TTextFile& T) {
    return R1.ReadFromOpenXMLFile(T, "") && R2.ReadFromOpenXMLFile(T, "");
  });
  EXPECT_TRUE(Both);
  EXPECT_EQ(R1.Caption(), "first");
  EXPECT_EQ(R2.Caption(), "second");
}

TEST_F(TextLabelFile, ReaderRulesForValues) {
  Put("v.xml",
      "<custtextlbl sig=\"zefcsuite\" id=\"x\">\r\n"
      "<!-- a comment inside the block -->\r\n"
      "<POSXY X=1,5E+0001 y=garbage />\r\n"
      "<alignment horiz=center vert=vaTop />\r\n"
      "<layer val=99 />\r\n"
      "<unknown a=1 />\r\n"
      "<visible val=2 />\r\n"
      "</custtextlbl>\r\n");
  TCustomTextLabel L;
  EXPECT_TRUE(ReadFile("v.xml", [&](TTextFile& T) { return L.ReadFromOpenXMLFile(T, "X"); }));
  EXPECT_EQ(L.PosX(), 15);
  EXPECT_EQ(L.PosY(), 0);                  // unreadable numbers become 0
  EXPECT_EQ(L.Alignment(), taCenter);      // wrong case: unchanged
  EXPECT_EQ(L.VerticalAlignment(), vaTop);
  EXPECT_EQ(L.Layer(), 99);                // read directly, without the setter's check
  EXPECT_FALSE(L.Visible());               // only 1 is true
}

TEST_F(TextLabelFile, MissingOrCutBlocksLeaveTheLabelUnchanged) {
  Put("none.xml", "<custtextlbl id=\"a\">\r\n<layer val=5 />\r\n</custtextlbl>\r\n");
  Put("cut.xml", "<custtextlbl sig=\"ZEFCSuite\" id=\"a\">\r\n<layer val=5 />\r\n<caption>open");
  Put("empty.xml", "");
  for (const char* Name : {"none.xml", "cut.xml", "empty.xml"}) {
    TCustomTextLabel L;
    int Calls = 0;
    L.OnChange = [&](TObject*) { ++Calls; };
    EXPECT_FALSE(ReadFile(Name, [&](TTextFile& T) { return L.ReadFromOpenXMLFile(T, ""); })) << Name;
    EXPECT_EQ(L.Layer(), 1) << Name;
    EXPECT_EQ(L.Caption(), "") << Name;
    EXPECT_EQ(Calls, 0) << Name;
  }
}

} // namespace
} // namespace zef
