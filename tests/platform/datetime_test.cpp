#include "rtl/datetime.h"

#include "rtl/exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace zef {
namespace {

struct TYmd {
  int Y, M, D;
};

TYmd Decoded(TDateTime DT) {
  uint16_t Y, M, D;
  DecodeDate(DT, Y, M, D);
  return {Y, M, D};
}

std::string MessageOf(auto&& Fn) {
  try {
    Fn();
  } catch (const EConvertError& E) {
    return E.Message();
  }
  return "(no exception)";
}

TEST(DateTimeEncode, KnownSerialNumbers) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(1970, 1, 1), UnixDateDelta);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
  EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
}

TEST(DateTimeEncode, InvalidArgumentsRaise) {
  EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
  const TYmd BadDates[] = {{2023, 2, 29}, {1900, 2, 29}, {0, 1, 1},     {10000, 1, 1},
                           {2024, 0, 1},  {2024, 13, 1}, {2024, 4, 31}, {2024, 1, 0}};
  for (const TYmd& B : BadDates) {
    SCOPED_TRACE(::testing::Message() << B.Y << "-" << B.M << "-" << B.D);
    EXPECT_EQ(MessageOf([&] { EncodeDate(B.Y, B.M, B.D); }), "Invalid argument to date encode");
    TDateTime Out = 123;
    EXPECT_FALSE(TryEncodeDate(B.Y, B.M, B.D, Out));
    EXPECT_EQ(Out, 123);
  }
  const int BadTimes[][4] = {{24, 0, 0, 0},   {0, 60, 0, 0}, {0, 0, 60, 0},
                             {0, 0, 0, 1000}, {-1, 0, 0, 0}, {0, 0, 0, -1}};
  for (const auto& B : BadTimes) {
    EXPECT_EQ(MessageOf([&] { EncodeTime(B[0], B[1], B[2], B[3]); }),
              "Invalid argument to time encode");
  }
  EXPECT_THROW(EncodeDateTime(2023, 2, 29, 0, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeDateTime(2023, 2, 28, 0, 0, 0, 1000), EConvertError);
}

// Walks every calendar day from 0001-01-01 to 9999-12-31 with its own counter, so the
// day numbering is checked independently of the conversion formulas.
TEST(DateTimeEncode, EveryDayRoundTrips) {
  double Serial = -693593;
  for (int Y = 1; Y <= 9999; ++Y)
    for (int M = 1; M <= 12; ++M)
      for (int D = 1; D <= DaysInAMonth(Y, M); ++D, ++Serial) {
        const TDateTime DT = EncodeDate(Y, M, D);
        if (DT != Serial) FAIL() << Y << "-" << M << "-" << D << " encodes as " << DT;
        const TYmd R = Decoded(DT);
        if (R.Y != Y || R.M != M || R.D != D) FAIL() << "serial " << DT << " decodes wrong";
      }
  EXPECT_EQ(Serial, 2958466);
}

TEST(DateTimeEncode, DateAndTimeRoundTripIncludingNegativeValues) {
  std::mt19937 Gen(7);
  std::uniform_int_distribution<int> Year(1, 9999), Month(1, 12), Day(1, 28), Hour(0, 23),
      Min(0, 59), MSec(0, 999);
  for (int K = 0; K < 20000; ++K) {
    const int Y = Year(Gen), Mo = Month(Gen), D = Day(Gen), H = Hour(Gen), N = Min(Gen),
              S = Min(Gen), Ms = MSec(Gen);
    const TDateTime DT = EncodeDateTime(Y, Mo, D, H, N, S, Ms);
    uint16_t RY, RM, RD, RH, RN, RS, RMs;
    DecodeDateTime(DT, RY, RM, RD, RH, RN, RS, RMs);
    ASSERT_EQ(std::vector<int>({Y, Mo, D, H, N, S, Ms}),
              std::vector<int>({RY, RM, RD, RH, RN, RS, RMs}))
        << "value " << DT;
  }
}

TEST(DateTimeEncode, NegativeValuesCountDaysBackAndKeepTheTimePositive) {
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
  EXPECT_EQ(ComposeDateTime(EncodeDate(1899, 12, 29), EncodeTime(6, 0, 0, 0)), -1.25);
  EXPECT_EQ(ComposeDateTime(-1.9, 0.25), -1.25);
  EXPECT_EQ(ComposeDateTime(3.75, 0.25), 3.25);

  uint16_t H, N, S, Ms;
  DecodeTime(-1.25, H, N, S, Ms);
  EXPECT_EQ(H, 6);
  const TYmd D = Decoded(-1.25);
  EXPECT_EQ(D.Y * 10000 + D.M * 100 + D.D, 18991229);
  // -0.5 lies on day 0, like 0.5.
  EXPECT_EQ(DateTimeToStr(-0.5), "1899-12-30 12:00:00");
}

TEST(DateTimeDecode, RoundsToWholeMilliseconds) {
  uint16_t H, N, S, Ms;
  DecodeTime(0.5 - 1e-12, H, N, S, Ms);
  EXPECT_EQ((std::vector<int>{H, N, S, Ms}), (std::vector<int>{12, 0, 0, 0}));
  DecodeTime(EncodeTime(23, 59, 59, 999), H, N, S, Ms);
  EXPECT_EQ((std::vector<int>{H, N, S, Ms}), (std::vector<int>{23, 59, 59, 999}));

  // Every millisecond of a day survives the trip, on a late date where the fraction has
  // the fewest bits.
  const TDateTime Day = EncodeDate(9999, 12, 31);
  for (int T = 0; T < 86400000; T += 997) {
    DecodeTime(
        ComposeDateTime(Day, EncodeTime(T / 3600000, T / 60000 % 60, T / 1000 % 60, T % 1000)), H,
        N, S, Ms);
    ASSERT_EQ(((H * 60 + N) * 60 + S) * 1000 + Ms, T);
  }

  // A time a hair before midnight carries into the next day for date and time alike.
  EXPECT_EQ(DateTimeToStr(EncodeDate(2023, 12, 31) + 0.9999999999), "2024-01-01 00:00:00");
  EXPECT_EQ(DateTimeToStr(EncodeDate(1899, 12, 29) - 0.9999999999), "1899-12-30 00:00:00");
}

TEST(DateTimeDecode, ValuesOutsideTheRangeRaise) {
  for (double Bad : {-693594.0, 2958466.0, std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity(), 1e300}) {
    EXPECT_THROW(Decoded(Bad), EConvertError) << Bad;
    EXPECT_THROW(FormatDateTime("yyyy", Bad), EConvertError) << Bad;
  }
  EXPECT_EQ(DateToStr(EncodeDateTime(9999, 12, 31, 23, 59, 59, 999)), "9999-12-31");
}

TEST(DateTimeCalendar, DaysInAMonth) {
  struct {
    int Y, M, Days;
  } Cases[] = {{1900, 2, 28}, {2000, 2, 29},  {2024, 2, 29}, {2023, 2, 28},
               {2023, 4, 30}, {2023, 12, 31}, {2023, 1, 31}};
  for (const auto& C : Cases) EXPECT_EQ(DaysInAMonth(C.Y, C.M), C.Days) << C.Y << "-" << C.M;
  EXPECT_THROW(DaysInAMonth(2023, 13), ERangeError);
  EXPECT_THROW(DaysInAMonth(2023, 0), ERangeError);
  EXPECT_EQ(DaysInAYear(1900), 365);
  EXPECT_EQ(DaysInAYear(2000), 366);
  EXPECT_FALSE(IsLeapYear(2100));
  EXPECT_TRUE(IsLeapYear(2400));
}

TEST(DateTimeCalendar, DayOfTheWeekBothNumberings) {
  struct {
    TDateTime DT;
    int Iso, Classic;
  } Cases[] = {
      {EncodeDate(2024, 1, 1), 1, 2},   // Monday
      {EncodeDate(2023, 12, 31), 7, 1}, // Sunday
      {EncodeDate(1899, 12, 30), 6, 7}, // Saturday
      {-1.25, 5, 6},                    // 1899-12-29, a Friday
      {EncodeDate(1970, 1, 1), 4, 5},   // Thursday
      {EncodeDate(1, 1, 1), 1, 2},      // Monday
      {EncodeDate(9999, 12, 31), 5, 6}, // Friday
      {EncodeDateTime(2024, 1, 3, 23, 59, 0, 0), 3, 4},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(DayOfTheWeek(C.DT), C.Iso) << DateToStr(C.DT);
    EXPECT_EQ(DayOfWeek(C.DT), C.Classic) << DateToStr(C.DT);
  }
}

TEST(DateTimeCalendar, IsoWeekOfTheYear) {
  struct {
    TYmd D;
    int Week, Year;
  } Cases[] = {
      {{2021, 1, 3}, 53, 2020},  {{2021, 1, 4}, 1, 2021},   {{2020, 12, 31}, 53, 2020},
      {{2019, 12, 30}, 1, 2020}, {{2008, 12, 29}, 1, 2009}, {{2010, 1, 3}, 53, 2009},
      {{2024, 12, 30}, 1, 2025}, {{2023, 6, 15}, 24, 2023}, {{1, 1, 1}, 1, 1},
  };
  for (const auto& C : Cases) {
    const TDateTime DT = EncodeDate(C.D.Y, C.D.M, C.D.D);
    uint16_t Year = 0;
    EXPECT_EQ(WeekOfTheYear(DT, Year), C.Week) << DateToStr(DT);
    EXPECT_EQ(Year, C.Year) << DateToStr(DT);
    EXPECT_EQ(WeekOfTheYear(DT), C.Week);
  }
}

TEST(DateTimeCalendar, DayOfTheYear) {
  EXPECT_EQ(DayOfTheYear(EncodeDate(2024, 1, 1)), 1);
  EXPECT_EQ(DayOfTheYear(EncodeDate(2024, 12, 31)), 366);
  EXPECT_EQ(DayOfTheYear(EncodeDate(2023, 3, 1)), 60);
  EXPECT_EQ(DayOfTheYear(-1.25), 363);
}

TEST(DateTimeCalendar, IncDayAndIncMonthKeepTheTime) {
  EXPECT_EQ(IncDay(0.25, -1), -1.25);
  EXPECT_EQ(IncDay(-1.25, 1), 0.25);
  EXPECT_EQ(IncDay(45000.5, 10), 45010.5);
  EXPECT_EQ(IncDay(-3.5, -2), -5.5);

  struct {
    TYmd From;
    int Months;
    TYmd To;
  } Cases[] = {
      {{2024, 1, 31}, 1, {2024, 2, 29}},    {{2023, 1, 31}, 1, {2023, 2, 28}},
      {{2024, 3, 31}, -1, {2024, 2, 29}},   {{2024, 11, 15}, 3, {2025, 2, 15}},
      {{2024, 1, 15}, -13, {2022, 12, 15}}, {{1899, 12, 29}, -1, {1899, 11, 29}},
  };
  for (const auto& C : Cases) {
    const TDateTime From =
        ComposeDateTime(EncodeDate(C.From.Y, C.From.M, C.From.D), EncodeTime(6, 0, 0, 0));
    const TDateTime To =
        ComposeDateTime(EncodeDate(C.To.Y, C.To.M, C.To.D), EncodeTime(6, 0, 0, 0));
    EXPECT_EQ(IncMonth(From, C.Months), To) << DateToStr(From) << " + " << C.Months;
  }
  EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), EConvertError);
  EXPECT_THROW(IncMonth(EncodeDate(1, 1, 31), -1), EConvertError);
}

TEST(DateTimeUnix, ConversionsBothWays) {
  EXPECT_EQ(DateTimeToUnix(EncodeDate(1970, 1, 1)), 0);
  EXPECT_EQ(DateTimeToUnix(EncodeDate(2000, 1, 1)), 946684800);
  EXPECT_EQ(UnixToDateTime(946684800), 36526.0);
  EXPECT_EQ(UnixToDateTime(946684800 + 43200), 36526.5);
  // 1899-12-29 12:00 on both sides.
  EXPECT_EQ(DateTimeToUnix(-1.5), -2209204800);
  EXPECT_EQ(UnixToDateTime(-2209204800), -1.5);
  EXPECT_EQ(DateTimeToUnix(EncodeDateTime(2024, 3, 5, 14, 7, 9, 600)), 1709647630);

  EXPECT_EQ(DateTimeFromTimeT(1709647629, false), UnixToDateTime(1709647629));
  EXPECT_THROW(DateTimeFromTimeT(std::time_t(300000000000LL), false), EConvertError);
}

TEST(DateTimeClock, LocalTimeAgreesWithTheCLibrary) {
  const std::time_t T = 1709647629;
  std::tm Tm{};
  ASSERT_NE(localtime_r(&T, &Tm), nullptr);
  EXPECT_EQ(DateTimeFromTimeT(T), EncodeDateTime(Tm.tm_year + 1900, Tm.tm_mon + 1, Tm.tm_mday,
                                                 Tm.tm_hour, Tm.tm_min, Tm.tm_sec, 0));

  const TDateTime Before = DateTimeFromTimeT(std::time(nullptr));
  const TDateTime N = Now();
  const TDateTime After = DateTimeFromTimeT(std::time(nullptr)) + 1.0 / 86400;
  EXPECT_LE(Before, N);
  EXPECT_LE(N, After);
  const TDateTime D = Date(), Tod = Time();
  EXPECT_EQ(D, std::trunc(D));
  EXPECT_GE(Tod, 0.0);
  EXPECT_LT(Tod, 1.0);
}

struct TFormatCase {
  const char* Format;
  const char* Expected;
};

TEST(DateTimeFormat, TokensLiteralsAndTheMinutesRule) {
  const TDateTime DT = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45); // a Tuesday
  const TFormatCase Cases[] = {
      {"yyyy-mm-dd", "2024-03-05"},
      {"d/m/yy", "5/3/24"},
      {"dd mmm yyyy", "05 Mar 2024"},
      {"dddd, mmmm d", "Tuesday, March 5"},
      {"ddd", "Tue"},
      {"y yyy", "24 2024"},
      {"YYYY-MM-DD HH:NN", "2024-03-05 14:07"},
      {"hh:nn:ss.zzz", "14:07:09.045"},
      {"s.z", "9.45"},
      {"hh:mm:ss", "14:07:09"},
      {"h:m", "14:7"},
      {"hh  -- mm", "14  -- 07"},
      {"hh\"h\"mm", "14h07"},
      {"mm hh", "03 14"},
      {"hh x mm", "14 x 03"},
      {"yyyy-mm-dd hh:mm", "2024-03-05 14:07"},
      {"h:nn am/pm", "2:07 pm"},
      {"h:nn AM/PM", "2:07 PM"},
      {"hh:nn Am/Pm", "02:07 Pm"},
      {"h a/p", "2 p"},
      {"h A/P", "2 P"},
      {"hh:nn ampm", "02:07 PM"},
      {"\"Day\" d 'of' mmmm", "Day 5 of March"},
      {"'it''s' d", "its 5"},
      {"yyyy\"open", "2024open"},
      {"[d] #", "[5] #"},
      {"", ""},
  };
  for (const TFormatCase& C : Cases)
    EXPECT_EQ(FormatDateTime(C.Format, DT), C.Expected) << C.Format;
}

TEST(DateTimeFormat, TwelveHourClockAtMidnightAndNoon) {
  const TFormatCase Cases[] = {
      {"h:nn am/pm", "12:30 am"}, {"hh:nn a/p", "12:30 a"}, {"hh:nn", "00:30"}};
  const TDateTime AfterMidnight = EncodeDateTime(2005, 7, 1, 0, 30, 0, 0);
  for (const TFormatCase& C : Cases)
    EXPECT_EQ(FormatDateTime(C.Format, AfterMidnight), C.Expected) << C.Format;
  EXPECT_EQ(FormatDateTime("h ampm yy", EncodeDateTime(2005, 7, 1, 12, 0, 0, 0)), "12 PM 05");
  EXPECT_EQ(FormatDateTime("h ampm", EncodeDateTime(2005, 7, 1, 11, 59, 59, 999)), "11 AM");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
  EXPECT_EQ(FormatDateTime("yyyy", EncodeDate(1, 1, 1)), "0001");
}

TEST(DateTimeText, FixedFormsRoundTrip) {
  const TDateTime DT = EncodeDateTime(2024, 2, 29, 23, 59, 58, 0);
  EXPECT_EQ(DateToStr(DT), "2024-02-29");
  EXPECT_EQ(TimeToStr(DT), "23:59:58");
  EXPECT_EQ(DateTimeToStr(DT), "2024-02-29 23:59:58");
  EXPECT_EQ(StrToDateTime(DateTimeToStr(DT)), DT);
  EXPECT_EQ(StrToDateTime("1899-12-29 06:00:00"), -1.25);
  EXPECT_EQ(StrToDateTime("2024-02-29"), EncodeDate(2024, 2, 29));
  EXPECT_EQ(StrToDate("0001-01-01"), -693593.0);
  EXPECT_EQ(StrToTime("12:00:00"), 0.5);
}

TEST(DateTimeText, MalformedTextIsRejected) {
  for (const char* Bad : {"2023-02-29", "2024-2-29", " 2024-02-29", "2024-02-29 ", "2024/02/29",
                          "0000-01-01", "", "2024-02-2x", "+024-02-29"}) {
    TDateTime Out = 7;
    EXPECT_FALSE(TryStrToDate(Bad, Out)) << Bad;
    EXPECT_EQ(Out, 7);
    EXPECT_EQ(MessageOf([&] { StrToDate(Bad); }), "'" + std::string(Bad) + "' is not a valid date");
  }
  for (const char* Bad : {"2024-02-29T23:59:59", "2024-02-29 24:00:00", "2024-02-29  23:59:59",
                          "2024-02-29 23:59", "23:59:59"}) {
    TDateTime Out;
    EXPECT_FALSE(TryStrToDateTime(Bad, Out)) << Bad;
    EXPECT_EQ(MessageOf([&] { StrToDateTime(Bad); }),
              "'" + std::string(Bad) + "' is not a valid date and time");
  }
  EXPECT_THROW(StrToTime("12:60:00"), EConvertError);
  EXPECT_THROW(StrToTime("1:00:00"), EConvertError);
}

} // namespace
} // namespace zef
