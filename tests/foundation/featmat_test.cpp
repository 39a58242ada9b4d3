// TFeatureMatrix: typed values and their errors, editing, name generation and the file.
#include <gtest/gtest.h>

#include "ZEF_dstruct.h"
#include "support/temp_dir.h"

namespace zef {
namespace {

std::string MessageOf(const std::function<void()>& F) {
  try {
    F();
  } catch (const EZEFDStructError& E) {
    return E.Message();
  }
  return "no error";
}

class FeatureMatrix : public zef::test::TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    M.SetName("FM");
    ASSERT_TRUE(M.Resize(4, 3));
    M.SetFeatType(1, 1, fkInteger);
    M.SetFeatType(2, 2, fkDouble);
    M.SetFeatType(3, 3, fkString);
    M.SetFeatType(4, 4, fkTriState);
  }
  TFeatureMatrix M{nullptr};
};

TEST_F(FeatureMatrix, NewFeaturesAreUndefined) {
  TFeatureMatrix N(nullptr);
  N.SetName("FM");
  N.SetNFeatures(1);
  N.SetNObjects(1);
  EXPECT_EQ(N.GetFeatProps(1)->FeatName, "undefined");
  EXPECT_EQ(MessageOf([&] { N.GetFeatValStr(1, 1); }), "Component \"FM\": feature 1 is undefined");
  EXPECT_EQ(N.GetFeatValStr(2, 1), "");
  std::unique_ptr<TFeatMatProps> Outside(N.GetFeatProps(5));
  EXPECT_EQ(Outside->FeatName, "undefined");
}

TEST_F(FeatureMatrix, TypedValuesAndTheirErrors) {
  M.SetFeatValStr(1, 1, "12");
  EXPECT_EQ(M.GetFeatValInt(1, 1), 12);
  EXPECT_EQ(MessageOf([&] { M.SetFeatValStr(1, 1, "12a"); }),
            "Component \"FM\": feature value \"12a\" is not a valid integer number");
  EXPECT_EQ(M.GetFeatValStr(1, 1), "12");
  M.SetFeatValStr(1, 1, "");
  EXPECT_EQ(MessageOf([&] { M.GetFeatValInt(1, 1); }),
            "Component \"FM\": feature is not an integer");
  EXPECT_EQ(MessageOf([&] { M.Fill(1, std::string()); }),
            "Component \"FM\": feature value \"\" is not a valid integer number");
  M.SetFeatValDouble(2, 2, 2.5);
  EXPECT_DOUBLE_EQ(M.GetFeatValDouble(2, 2), 2.5);
  M.SetFeatValStr(2, 2, "1.5e3 m");
  EXPECT_DOUBLE_EQ(M.GetFeatValDouble(2, 2), 1500);
  EXPECT_EQ(MessageOf([&] { M.SetFeatValStr(2, 2, "1e5000"); }),
            "Component \"FM\": feature value \"1e5000\" is not a valid floating point number");
  M.SetFeatValStr(2, 1, "1e4000");
  EXPECT_DOUBLE_EQ(M.GetFeatValDouble(2, 1), DBL_MAX);
  EXPECT_EQ(MessageOf([&] { M.SetFeatValDouble(1, 1, 1.0); }),
            "Component \"FM\": feature is not a floating point or string type");
  EXPECT_EQ(MessageOf([&] { M.SetFeatValint(4, 1, 1); }),
            "Component \"FM\": feature is not of numeric or string type");
  M.SetFeatValint(2, 3, 7);
  EXPECT_EQ(M.GetFeatValStr(2, 3), "7");
  M.SetFeatValTriState(4, 1, tsTrue);
  EXPECT_EQ(M.GetFeatValStr(4, 1), "true");
  EXPECT_EQ(M.GetFeatValTriState(4, 1), tsTrue);
  EXPECT_EQ(MessageOf([&] { M.SetFeatValStr(4, 1, "yes"); }),
            "Component \"FM\": feature value \"yes\" is not a valid tri-state value");
  M.SetFeatValStr(3, 1, "maybe");
  EXPECT_EQ(MessageOf([&] { M.GetFeatValTriState(3, 1); }),
            "Component \"FM\": feature is not a tri-state value");
  EXPECT_EQ(MessageOf([&] { M.SetFeatValTriState(1, 1, tsTrue); }),
            "Component \"FM\": feature is not a tri-state or string type");
  // Indices outside are ignored or answered neutrally.
  EXPECT_EQ(M.GetFeatValInt(9, 1), 0);
  EXPECT_EQ(M.GetFeatValTriState(1, 9), tsUndefined);
  M.SetFeatValStr(1, 9, "zz");
}

TEST_F(FeatureMatrix, FillInsertRemoveAndCopy) {
  int Changes = 0;
  M.OnChange = [&](TObject*) { ++Changes; };
  EXPECT_TRUE(M.Fill(1, int64_t{5}));
  EXPECT_TRUE(M.Fill(2, 0.25));
  EXPECT_TRUE(M.Fill(4, tsFalse));
  EXPECT_FALSE(M.Fill(5, int64_t{1}));
  EXPECT_EQ(MessageOf([&] { M.Fill(2, int64_t{1}); }),
            "Component \"FM\": feature 2 is not an integer number");
  EXPECT_EQ(MessageOf([&] { M.Fill(1, 1.0); }),
            "Component \"FM\": feature 1 is not floating point number");
  EXPECT_EQ(MessageOf([&] { M.Fill(1, tsTrue); }),
            "Component \"FM\": feature 1 is not a tri-state value");
  EXPECT_EQ(Changes, 3);
  M.SetFeatValStr(3, 2, "two");
  M.InsertObject(2);
  EXPECT_EQ(M.NObjects(), 4);
  EXPECT_EQ(M.GetFeatValStr(1, 2), "0");
  EXPECT_EQ(M.GetFeatValStr(4, 2), "");
  EXPECT_EQ(M.GetFeatValStr(3, 3), "two");
  M.CopyObject(3, 1);
  EXPECT_EQ(M.GetFeatValStr(3, 1), "two");
  M.RemoveObject(1);
  EXPECT_EQ(M.GetFeatValStr(3, 2), "two");
  M.InsertFeature(1);
  EXPECT_EQ(M.NFeatures(), 5);
  EXPECT_EQ(M.GetFeatProps(1)->FeatKind, fkUndefined);
  EXPECT_EQ(M.GetFeatProps(2)->FeatKind, fkInteger);
  M.InsertFeature(6);
  EXPECT_EQ(M.NFeatures(), 6);
  M.RemoveFeature(1);
  M.ClearFeature(1);
  EXPECT_EQ(M.GetFeatValStr(1, 1), "0");
  EXPECT_EQ(M.FindFeatName("UNDEFINED"), 1);
  M.GetFeatProps(3)->FeatNum = 42;
  EXPECT_EQ(M.FindFeatNum(42), 3);
  EXPECT_EQ(M.FindFeatNum(43), -1);
  M.RenumberFeatures(0, 0, 10, 5);
  EXPECT_EQ(M.GetFeatProps(3)->FeatNum, 20);
}

TEST_F(FeatureMatrix, GenerateFeatNames) {
  ASSERT_TRUE(M.Resize(3, 1));
  EXPECT_EQ(M.GenerateFeatNames("F<%D-3%>", 0, 0, 7, 1), 0);
  EXPECT_EQ(M.GetFeatProps(1)->FeatName, "F007");
  EXPECT_EQ(M.GetFeatProps(3)->FeatName, "F009");
  struct Case {
    const char* Template;
    int32_t First;
    int32_t Delta;
    const char* Name; // of feature 2
  };
  for (const Case& C :
       {Case{"x<%d4%>", 5, 10, "x  15"}, Case{"<%D2%>", 123, 0, "23"},
        Case{"<%d-2%>", -7, 0, "-07"}, Case{"n<%i0%>", 0, 0, "n2"}, Case{"<%H4%>", 255, 1, "0100"},
        Case{"<%h0%>", 255, 1, "0"}, Case{"<%H%>", -1, 0, "F"}, Case{"plain", 0, 0, "plain"}}) {
    ASSERT_EQ(M.GenerateFeatNames(C.Template, 1, 3, C.First, C.Delta), 0) << C.Template;
    EXPECT_EQ(M.GetFeatProps(2)->FeatName, C.Name) << C.Template;
  }
  EXPECT_EQ(M.GenerateFeatNames("<%Tyyyy%>", 2, 2, 0, 0), 0);
  EXPECT_EQ(M.GetFeatProps(2)->FeatName.size(), 4u);
  EXPECT_EQ(M.GenerateFeatNames("<%Q1%>", 1, 3, 0, 1), -2);
  EXPECT_EQ(M.GenerateFeatNames("<%D1%><%D1%>", 1, 3, 0, 1), -2);
  EXPECT_EQ(M.GetFeatProps(2)->FeatName.size(), 4u);
  EXPECT_EQ(M.GenerateFeatNames("x", 0, 4, 0, 1), -1);
}

TEST_F(FeatureMatrix, SaveAndLoad) {
  ASSERT_TRUE(M.Resize(2, 3));
  M.GetFeatProps(1)->FeatName = "weight";
  M.GetFeatProps(1)->Comment = "in kg";
  M.GetFeatProps(2)->Sorted = true;
  M.GetFeatProps(2)->PresetValues = "1.5;2";
  M.SetFeatValStr(1, 1, "12");
  M.SetFeatValStr(1, 3, "-4");
  M.SetFeatValStr(2, 2, "");
  M.SetFeatValStr(2, 3, "2.5");
  M.Save(Path("m.txt"));
  const std::string Text = Get("m.txt");
  EXPECT_EQ(Text.substr(0, 16), "#featdef 2 1\r\n1 ");
  EXPECT_NE(Text.find("2 fplFeatKind fkDouble\r\n"), std::string::npos);
  EXPECT_NE(Text.find("2 fplSorted TRUE\r\n"), std::string::npos);
  EXPECT_NE(Text.find("#featvals 2 3\r\n1 1 12\r\n1 3 -4\r\n2 3 2.5\r\n#featend\r\n"),
            std::string::npos);
  TFeatureMatrix L(nullptr);
  int Changes = 0;
  L.OnChange = [&](TObject*) { ++Changes; };
  ASSERT_EQ(L.Load(Path("m.txt")), 0);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(L.NFeatures(), 2);
  EXPECT_EQ(L.NObjects(), 3);
  EXPECT_EQ(L.GetFeatProps(1)->FeatName, "weight");
  EXPECT_EQ(L.GetFeatProps(1)->Comment, "in kg");
  EXPECT_EQ(L.GetFeatProps(1)->FeatKind, fkInteger);
  EXPECT_EQ(L.GetFeatProps(2)->FeatKind, fkDouble);
  EXPECT_TRUE(L.GetFeatProps(2)->Sorted);
  EXPECT_EQ(L.GetFeatProps(2)->PresetValues, "1.5;2");
  for (int f = 1; f <= 2; ++f)
    for (int o = 1; o <= 3; ++o)
      EXPECT_EQ(L.GetFeatValStr(f, o), M.GetFeatValStr(f, o)) << f << "," << o;
  EXPECT_EQ(L.Load(Path("missing.txt")), -1);
  Put("none.txt", "hello\r\n#other 1\r\n");
  EXPECT_EQ(L.Load(Path("none.txt")), -2);
  Put("bad.txt", "#featdef 1 1\r\n1 fplFeatNum x\r\n");
  EXPECT_EQ(L.Load(Path("bad.txt")), -3);
  Put("short.txt", "#featdef 2000000000 1\r\n3 fplFeatName three\r\n");
  EXPECT_EQ(L.Load(Path("short.txt")), -3);
  EXPECT_EQ(L.GetFeatProps(3)->FeatName, "three");
  Put("big.txt", "#featvals 100000 100000\r\n");
  EXPECT_EQ(L.Load(Path("big.txt")), -3);
  // The value block ends at an empty line; indices outside are skipped.
  Put("vals.txt", "#featvals 2 2\r\n1 1  a b \r\n9 1 x\r\n\r\n2 2 late\r\n");
  ASSERT_EQ(L.Load(Path("vals.txt")), 0);
  L.SetFeatType(0, 0, fkString);
  EXPECT_EQ(L.GetFeatValStr(1, 1), "a b");
  EXPECT_EQ(L.GetFeatValStr(2, 2), "");
}

TEST_F(FeatureMatrix, AssignCopiesPropertiesAndValues) {
  M.SetFeatValStr(3, 2, "v");
  M.GetFeatProps(3)->FeatName = "name";
  TFeatureMatrix C(nullptr);
  C.Assign(M);
  M.GetFeatProps(3)->FeatName = "changed";
  EXPECT_EQ(C.GetFeatProps(3)->FeatName, "name");
  EXPECT_EQ(C.GetFeatValStr(3, 2), "v");
  EXPECT_EQ(C.NObjects(), 3);
  C.Clear();
  EXPECT_EQ(C.NFeatures(), 0);
  EXPECT_EQ(C.NObjects(), 0);
}

} // namespace
} // namespace zef
