#include "ZEF_zefbase.h"

#include <gtest/gtest.h>

#include "rtl/strings.h"

namespace zef {
namespace {

TEST(CrossHair, LayerIsClampedToOneOrTwo) {
  TCrossHair C;
  const std::pair<int32_t, int32_t> Cases[] = {{-5, 1}, {0, 1}, {1, 1}, {2, 2}, {3, 2}, {7, 2}};
  for (auto [In, Out] : Cases) {
    C.SetLayer(In);
    EXPECT_EQ(C.Layer(), Out) << In;
  }
}

TEST(CrossHair, SetPosNotifiesOnlyOnChange) {
  TCrossHair C;
  int Calls = 0;
  TObject* Sender = nullptr;
  C.OnChange = [&](TObject* S) { ++Calls; Sender = S; };
  C.SetPos(1, 2);
  EXPECT_EQ(Calls, 1);
  EXPECT_EQ(Sender, &C);
  C.SetPos(1, 2);
  EXPECT_EQ(Calls, 1);
  C.SetPos(1, 3);
  EXPECT_EQ(Calls, 2);
  C.SetColor(0x123456);
  C.SetMode(chBoth);
  EXPECT_EQ(Calls, 4);
}

TEST(CrossHair, AssignCopiesEverySettingAndTheHandler) {
  TCrossHair A;
  int Calls = 0;
  A.OnChange = [&](TObject*) { ++Calls; };
  A.SetPos(3.5, -1);
  A.SetColor(0xFF00);
  A.SetLayer(2);
  A.SetMode(chCrossBox);
  A.SetLineType(psDot);
  A.SetLineWid(3);
  Calls = 0;
  TCrossHair B;
  B.Assign(A);
  EXPECT_EQ(Calls, 0);
  EXPECT_EQ(B.PosX(), 3.5);
  EXPECT_EQ(B.PosY(), -1);
  EXPECT_EQ(B.Color(), 0xFF00u);
  EXPECT_EQ(B.Layer(), 2);
  EXPECT_EQ(B.Mode(), chCrossBox);
  EXPECT_EQ(B.LineType(), psDot);
  EXPECT_EQ(B.LineWid(), 3);
  B.Changed();
  EXPECT_EQ(Calls, 1);  // the handler came along
  TDTLabel L;
  EXPECT_THROW(B.Assign(L), EConvertError);
}

TEST(DTLabel, DefaultsAndNotificationRules) {
  TDTLabel L;
  EXPECT_EQ(L.TimeFormat(), tfHHMMSS);
  EXPECT_EQ(L.DateSeparator(), '.');
  EXPECT_EQ(L.TimeSeparator(), ':');
  EXPECT_EQ(L.YearLength(), ylYYYY);
  EXPECT_FALSE(L.MonthName());
  EXPECT_EQ(L.DateOrder(), doYYMMDD);
  EXPECT_EQ(L.DateForTime(), dtOnePerIrove);

  int Calls = 0;
  L.OnChange = [&](TObject*) { ++Calls; };
  L.SetDateSeparator('.');
  L.SetTimeSeparator(':');
  L.SetYearLength(ylYYYY);
  L.SetMonthName(false);
  L.SetDateForTime(dtOnePerIrove);
  EXPECT_EQ(Calls, 0);  // unchanged values stay quiet
  L.SetTimeFormat(tfHHMMSS);
  L.SetDateOrder(doYYMMDD);
  EXPECT_EQ(Calls, 2);  // these two always notify
  L.SetDateSeparator('/');
  EXPECT_EQ(Calls, 3);

  // Assign copies the settings but not the handler: M's changes never reach L's owner.
  TDTLabel M;
  int MCalls = 0;
  M.OnChange = [&](TObject*) { ++MCalls; };
  L.SetMonthName(true);
  M.Assign(L);
  EXPECT_EQ(M.DateSeparator(), '/');
  EXPECT_TRUE(M.MonthName());
  const int Before = Calls;
  M.SetYearLength(ylYY);
  EXPECT_EQ(Calls, Before);
  EXPECT_EQ(MCalls, 1);
}

TEST(CsvDelimiters, ResolveByCharacter) {
  const std::pair<char, TCSVDelimiters> Cases[] = {
      {';', csvSemicolon}, {'\t', csvTab}, {' ', csvBlank}, {',', csvComma},
      {':', csvColon},     {'x', csvUnknown}, {'\0', csvUnknown}};
  for (auto [C, D] : Cases) EXPECT_EQ(ResolveCSVDelimiter(C), D) << int(C);
  EXPECT_STREQ(CSVDELIMITERIDS[csvTab], "tab");
}

TEST(NameTables, MatchTheEnumerations) {
  EXPECT_EQ(maZoomPanColors, 18);
  EXPECT_STREQ(xmlMouseActMode[maZoomPanColors], "maZoomPanColors");
  EXPECT_STREQ(xmlMouseActMode[maDragCrossH], "maDragCrossH");
  EXPECT_STREQ(xmlVarKind[Bool], "bool");
  EXPECT_STREQ(xmlVarKind[strg], "strg");
  EXPECT_STREQ(xmlTxtLblMode[tlsimple], "tlsimple");
  EXPECT_STREQ(xmlFrameStyle[fsEngraved], "fsEngraved");
  EXPECT_STREQ(xmlAlignment[taCenter], "taCenter");
  EXPECT_STREQ(xmlFontStyle[fsStrikeOut], "fsStrikeOut");
  EXPECT_STREQ(xmlDateForTime[dtOnePerIrove], "dtOnePerIrove");
  EXPECT_STREQ(DistModeId[dmEuclidSqr], "squared Euclidean");
  EXPECT_STREQ(ISO639_3Char[lgFrench], "fre");
}

TEST(Records, RectDoubleCornersShareStorage) {
  TRectDouble R(1, 2, 3, 4);
  EXPECT_EQ(R.TopLeft.X, 1);
  EXPECT_EQ(R.BottomRight.Y, 4);
  R.BottomRight = TPointDouble{7, 8};
  EXPECT_EQ(R.Right, 7);
  EXPECT_EQ(R.Bottom, 8);
  EXPECT_EQ(sizeof(TRectDouble), 4 * sizeof(double));
}

TEST(LanguageTables, SpotValuesAndMaximumLengths) {
  EXPECT_STREQ(LanguageID[lgGerman][lgFrench], "französisch");
  EXPECT_STREQ(LanguageID[lgSpanish][lgSpanish], "español");
  EXPECT_STREQ(MonthShort[lgGerman][1], "Jän");
  EXPECT_STREQ(MonthShort[lgFrench][6], "juin");
  EXPECT_STREQ(MonthLong[lgFrench][2], "février ");  // the trailing blank is part of it
  EXPECT_STREQ(MonthLong[lgUnknown][12], "M12");
  EXPECT_STREQ(WeekDayShort[lgEnglish][1], "Mon");
  EXPECT_STREQ(WeekDayLong[lgSpanish][3], "miércoles");
  EXPECT_STREQ(NumWords[lgGerman][12], "zwölf");
  EXPECT_STREQ(NumWords[lgFrench][1], "celui");

  for (int L = 0; L < 5; ++L) {
    for (int K = 0; K < 5; ++K) EXPECT_LE(Utf8Length(LanguageID[L][K]), 15u);
    for (int M = 1; M <= 12; ++M) {
      EXPECT_LE(Utf8Length(MonthShort[L][M]), 4u) << MonthShort[L][M];
      EXPECT_LE(Utf8Length(MonthLong[L][M]), 10u) << MonthLong[L][M];
    }
    for (int D = 1; D <= 7; ++D) {
      EXPECT_LE(Utf8Length(WeekDayShort[L][D]), 3u) << WeekDayShort[L][D];
      EXPECT_LE(Utf8Length(WeekDayLong[L][D]), 10u) << WeekDayLong[L][D];
    }
    for (int N = 0; N <= 12; ++N) EXPECT_LE(Utf8Length(NumWords[L][N]), 6u) << NumWords[L][N];
  }
  // Every text must be representable in the single-byte code page of the suite's files.
  EXPECT_EQ(Latin1ToUtf8(Utf8ToLatin1(WeekDayLong[lgSpanish][6])), "sábado");
}

TEST(HtmlEntities, CoverCodes160To255) {
  EXPECT_STREQ(HTMLLat1Entities[160], "&nbsp;");
  EXPECT_STREQ(HTMLLat1Entities[0xE4], "&auml;");
  EXPECT_STREQ(HTMLLat1Entities[0xD7], "&times;");
  EXPECT_STREQ(HTMLLat1Entities[255], "&yuml;");
  for (int C = 160; C <= 255; ++C) {
    const std::string E = HTMLLat1Entities[C];
    EXPECT_EQ(E.front(), '&');
    EXPECT_EQ(E.back(), ';');
  }
}

TEST(Errors, HierarchyAndComponentMessages) {
  try {
    throw EZEFColArrayError(ComponentMessage("Colors1", "not enough memory on heap"));
  } catch (const EZEFError& E) {
    EXPECT_EQ(E.Message(), "Component \"Colors1\": not enough memory on heap");
  }
  EXPECT_TRUE((std::is_base_of_v<Exception, EZEFError>));
  EXPECT_TRUE((std::is_base_of_v<EZEFError, EZEFCpuIdError>));
}

TEST(Progress, StepFeedsBackAndStopsOnAbort) {
  static double LastSeen;
  ProcStat = 0;
  AbortMathProc = false;
  MathFeedBackProc = [](double S) {
    LastSeen = S;
    if (S >= 3) AbortMathProc = true;
  };
  int Steps = 0;
  while (MathProcStep()) ++Steps;
  EXPECT_EQ(Steps, 2);
  EXPECT_EQ(ProcStat, 3);
  EXPECT_EQ(LastSeen, 3);
  MathFeedBackProc = nullptr;
  AbortMathProc = false;
  ProcStat = 0;
}

} // namespace
} // namespace zef
