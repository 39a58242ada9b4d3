#include "ZEF_math1.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "rtl/datetime.h"
#include "rtl/mathfn.h"

namespace zef {
namespace {

constexpr double Pi = 3.14159265358979323846;

// The labelled ticks a scale draws: FirstTick + i * TickDist until it passes High by more
// than 0.001 tick distances.
int CountLabelledTicks(long double First, long double Dist, long double Low, long double High) {
  const long double S = High > Low ? 1 : -1;
  int N = 0;
  while ((First + N * Dist - High) * S <= 0.001L * std::fabs(Dist)) ++N;
  return N;
}

TEST(CalcScalePars, GivesTheTicksAPersonWouldPick) {
  struct Case {
    int32_t NTicks;
    long double Low, High, First, Dist;
    uint16_t Sub;
  };
  const Case Cases[] = {
      {3, 0, 1, 0, 0.2L, 4},       {3, 0, 7, 0, 2, 4},           {3, -3.3L, 12.8L, 0, 5, 5},
      {3, 1, 0, 1, -0.2L, 4},      {5, 0, 100, 0, 20, 4},        {5, 0, 1, 0, 0.2L, 4},
      {4, 0.05L, 1.05L, 0.2L, 0.2L, 4}, {2, 0.3L, 0.9L, 0.4L, 0.2L, 4},
      {6, 0.3L, 0.9L, 0.3L, 0.1L, 5},    {3, 0.7L, 0.1L, 0.6L, -0.2L, 4},
      {10, 0, 1, 0, 0.1L, 5},      {3, -1000, -10, -1000, 200, 4}, {0, 0, 10, 0, 10, 5},
      {4, 1e-6L, 5e-6L, 1e-6L, 1e-6L, 5}, {3, 0.5L, 0.5L, 0.5L, 0, 1},
  };
  for (const Case& C : Cases) {
    long double First, Dist;
    uint16_t Sub;
    CalcScalePars(C.NTicks, C.Low, C.High, First, Dist, Sub);
    EXPECT_NEAR(double(Dist), double(C.Dist), 1e-15 * std::fabs(double(C.Dist)))
        << C.NTicks << ": " << double(C.Low) << ".." << double(C.High);
    EXPECT_NEAR(static_cast<double>(First), static_cast<double>(C.First), 1e-12)
        << C.NTicks << ": " << double(C.Low) << ".." << double(C.High);
    EXPECT_EQ(Sub, C.Sub) << C.NTicks << ": " << double(C.Low) << ".." << double(C.High);
  }
  long double First, Dist;
  uint16_t Sub;
  CalcScalePars(5, 0, std::numeric_limits<long double>::infinity(), First, Dist, Sub);
  EXPECT_EQ(Dist, 0);
  EXPECT_EQ(Sub, 1);
}

TEST(CalcScalePars, KeepsItsContractOverManyRanges) {
  SetRandSeed(17);
  for (int K = 0; K < 3000; ++K) {
    const int32_t N = 2 + Random(19);
    const long double Scale = std::pow(10.0L, Random(16) - 8);
    const long double Low = (Random() * 200 - 100) * Scale;
    const long double High = Low + (Random() * 2 - 1) * 100 * Scale;
    long double First, Dist;
    uint16_t Sub;
    CalcScalePars(N, Low, High, First, Dist, Sub);
    const long double Range = std::fabs(High - Low);
    ASSERT_GT(std::fabs(Dist), 0);
    ASSERT_EQ(Dist > 0, High > Low);
    // A step of the 1-2-5 series, not above Range / N, and the next larger step would be.
    const long double Step = std::fabs(Dist);
    const long double M = Step / std::pow(10.0L, std::floor(std::log10(Step) + 1e-12L));
    ASSERT_TRUE(std::fabs(M - 1) < 1e-9 || std::fabs(M - 2) < 1e-9 || std::fabs(M - 5) < 1e-9)
        << double(Step);
    ASSERT_LE(Step * N, Range * (1 + 1e-9L));
    const long double Next = M < 1.5L ? 2 * Step : (M < 3 ? 2.5L * Step : 2 * Step);
    ASSERT_GT(Next * N, Range * (1 - 1e-9L));
    ASSERT_EQ(Sub, std::fabs(M - 2) < 1e-9 ? 4 : 5);
    // The first tick is the first multiple at or beyond Low.
    const long double S = High > Low ? 1 : -1;
    ASSERT_GE((First - Low) * S, -1e-9L * Step);
    ASSERT_LT((First - Low) * S, Step * (1 + 1e-9L));
    ASSERT_LT(std::fabs(First / Step - std::nearbyint(First / Step)), 1e-6L);
    ASSERT_GE(CountLabelledTicks(First, Dist, Low, High), N)
        << N << " ticks for " << double(Low) << ".." << double(High);
  }
}

TEST(Round125, RoundsToTheNearestSeriesValueOnALogScale) {
  const std::pair<double, double> Cases[] = {
      {1, 1},     {1.4, 1},   {1.5, 2},     {2, 2},       {3.1, 2},     {3.2, 5},
      {7, 5},     {7.1, 10},  {9.9, 10},    {0.03, 0.02}, {0.034, 0.05}, {456, 500},
      {1234, 1000}, {-3.2, -5}, {0, 0},     {std::numeric_limits<double>::quiet_NaN(), 0},
      {5e-324, 5e-324},
  };
  for (auto [In, Out] : Cases) EXPECT_NEAR(Round125(In), Out, 1e-12 * std::fabs(Out)) << In;
  EXPECT_TRUE(std::isfinite(Round125(std::numeric_limits<double>::max())));
}

TEST(DegreeToStr, WritesEachFormatWithCarry) {
  struct Case {
    double Angle;
    int32_t Format, Decimals;
    const char* Text;
  };
  const Case Cases[] = {
      {47.5, 0, 2, "47.50\xC2\xB0"},
      {47.5, 1, 1, "47\xC2\xB0" "30.0'"},
      {47.5125, 2, 1, "47\xC2\xB0" "30'45.0\""},
      {47.99999, 1, 1, "48\xC2\xB0" "00.0'"},
      {8.0825, 1, 0, "8\xC2\xB0" "05'"},
      {3, 2, 0, "3\xC2\xB0" "00'00\""},
      {0.5 / 3600, 2, 2, "0\xC2\xB0" "00'00.50\""},
      {-12.25, 1, 0, "-12\xC2\xB0" "15'"},
      {-0.0001, 1, 0, "0\xC2\xB0" "00'"},
      {5.5, 3, 3, "5.500"},
      {5.5, 9, 1, "5.5"},
      {12.345, 0, -4, "12\xC2\xB0"},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(DegreeToStr(C.Angle, C.Format, C.Decimals), C.Text) << C.Angle << " " << C.Format;
}

TEST(ScanDateTime, ReadsNumericFieldsByPattern) {
  EXPECT_DOUBLE_EQ(ScanDateTime("20240229134501", "yyyymmddHHMMSS"),
                   EncodeDateTime(2024, 2, 29, 13, 45, 1, 0));
  EXPECT_DOUBLE_EQ(ScanDateTime("29.02.2024 07:05", "dd.mm.yyyy hh:nn"),
                   EncodeDateTime(2024, 2, 29, 7, 5, 0, 0));
  EXPECT_DOUBLE_EQ(ScanDateTime("240301", "yymmdd", 2), EncodeDate(2024, 3, 1));
  EXPECT_DOUBLE_EQ(ScanDateTime("990301", "yymmdd"), EncodeDate(1999, 3, 1));
  EXPECT_DOUBLE_EQ(ScanDateTime("1330", "HHMM"), 13.5 / 24);
  EXPECT_DOUBLE_EQ(ScanDateTime("20240229134501extra", "yyyymmddHHMMSS"),
                   EncodeDateTime(2024, 2, 29, 13, 45, 1, 0));
  for (const char* Bad : {"", "2024022913450", "20230229134501", "2024x229134501",
                          "20241301000000", "20240101246000"})
    EXPECT_EQ(ScanDateTime(Bad, "yyyymmddHHMMSS"), 0) << Bad;
}

TEST(Scanners, HexAndDecimal) {
  const std::pair<const char*, int64_t> Hexes[] = {
      {"FF00A0", 0xFF00A0}, {"$1f", 31},    {"  0x10zz", 16},        {"", 0},
      {"xyz", 0},           {"0", 0},       {"0x", 0},               {"FFFFFFFF", 4294967295LL},
      {"00ff0000", 0xFF0000},
  };
  for (auto [Text, Value] : Hexes) EXPECT_EQ(ScanHex(Text), Value) << Text;

  struct Dec {
    const char* Text;
    int32_t Index;
    int64_t Value;
    int32_t IndexAfter;
  };
  const Dec Decs[] = {
      {"(CH3)2", 6, 2, 7},   {"(CH3)2", 5, 0, 5},  {"ab", 1, 0, 1},   {" -12x", 1, -12, 5},
      {"7", 0, 0, 0},        {"7", 2, 0, 2},       {"+45", 1, 45, 4}, {"-", 1, 0, 1},
      {"99999999999999999999", 1, std::numeric_limits<int64_t>::max(), 21},
  };
  for (const Dec& D : Decs) {
    int32_t Ix = D.Index;
    EXPECT_EQ(ScanDecimal(D.Text, Ix), D.Value) << D.Text << " at " << D.Index;
    EXPECT_EQ(Ix, D.IndexAfter) << D.Text << " at " << D.Index;
  }
}

TEST(Numbers, HexIntegersSignsAndSwaps) {
  EXPECT_EQ(Hex(255, 4), "00FF");
  EXPECT_EQ(Hex(-1, 8), "FFFFFFFF");
  EXPECT_EQ(Hex(4278190085LL, 8), "FF000005");
  EXPECT_EQ(Hex(int32_t(0xFF000005u), 8), "FF000005");
  EXPECT_EQ(Hex(0xABC, 1), "ABC");
  EXPECT_EQ(ScanHex(Hex(0x12345678, 8)), 0x12345678);

  for (const char* Good : {"12", " -7 ", "+3", "-2147483648", "2147483647"})
    EXPECT_TRUE(IsValidDecInt(Good)) << Good;
  for (const char* Bad : {"1.5", "", " ", "abc", "2147483648", "1e3", "--1", "$10"})
    EXPECT_FALSE(IsValidDecInt(Bad)) << Bad;

  const std::pair<double, double> Ints[] = {{2.7, 2}, {-2.3, -3}, {-2, -2}, {0, 0}, {1e20, 1e20}};
  for (auto [In, Out] : Ints) EXPECT_EQ(IntNeg(In), Out) << In;
  EXPECT_EQ(Signum(-0.5), -1);
  EXPECT_EQ(Signum(0.0), 0);
  EXPECT_EQ(Signum(3), 1);
  EXPECT_EQ(Signum(std::numeric_limits<double>::quiet_NaN()), 0);

  double A = 1, B = 2;
  ExChange(A, B);
  EXPECT_EQ(A, 2);
  EXPECT_EQ(B, 1);
  int32_t I = 3, J = 4;
  ExChange(I, J);
  EXPECT_EQ(I, 4);
  long double E = 1.5L, F = -1.5L;
  ExChange(E, F);
  EXPECT_EQ(E, -1.5L);
}

TEST(Random, BRandomAndGRandomFollowTheirDistributions) {
  SetRandSeed(4711);
  const int N = 20000;
  int Hits = 0;
  double Sum = 0, SumSq = 0;
  for (int K = 0; K < N; ++K) {
    EXPECT_FALSE(BRandom(0));
    EXPECT_TRUE(BRandom(1));
    Hits += BRandom(0.3);
    const double G = GRandom(5, 2);
    Sum += G;
    SumSq += G * G;
  }
  EXPECT_NEAR(double(Hits) / N, 0.3, 0.02);
  const double Mean = Sum / N;
  EXPECT_NEAR(Mean, 5, 0.06);
  EXPECT_NEAR(std::sqrt(SumSq / N - Mean * Mean), 2, 0.06);
  EXPECT_FALSE(BRandom(-1));
  EXPECT_FALSE(BRandom(std::numeric_limits<double>::quiet_NaN()));
}

TEST(Distances, SegmentAndRectangle) {
  EXPECT_DOUBLE_EQ(DistanceToSegment(1, 2, 0, 0, 4, 0), 2);      // over the inside
  EXPECT_DOUBLE_EQ(DistanceToSegment(7, 4, 0, 0, 4, 0), 5);      // beyond an end
  EXPECT_DOUBLE_EQ(DistanceToSegment(-3, -4, 0, 0, 4, 0), 5);
  EXPECT_DOUBLE_EQ(DistanceToSegment(3, 4, 0, 0, 0, 0), 5);      // a point
  EXPECT_NEAR(DistanceToSegment(0, 2, -1, -1, 1, 1), std::sqrt(2.0), 1e-15);
  EXPECT_EQ(DistFromRect(1, 1, 0, 0, 2, 2), 0);
  EXPECT_EQ(DistFromRect(2, 1, 2, 2, 0, 0), 0);                  // border, corners reversed
  EXPECT_DOUBLE_EQ(DistFromRect(5, 6, 0, 0, 2, 2), 5);           // beyond a corner
  EXPECT_DOUBLE_EQ(DistFromRect(1, -3, 0, 0, 2, 2), 3);          // beside an edge
}

// The distance to the ellipse by dense sampling of its curve, refined by ternary search.
double BruteEllipseDistance(double X, double Y, double A, double B) {
  const auto D = [&](double T) { return std::hypot(X - A * std::cos(T), Y - B * std::sin(T)); };
  const int N = 20000;
  int Best = 0;
  for (int K = 1; K < N; ++K)
    if (D(2 * Pi * K / N) < D(2 * Pi * Best / N)) Best = K;
  double Lo = 2 * Pi * (Best - 1) / N, Hi = 2 * Pi * (Best + 1) / N;
  for (int K = 0; K < 200; ++K) {
    const double M1 = Lo + (Hi - Lo) / 3, M2 = Hi - (Hi - Lo) / 3;
    (D(M1) < D(M2) ? Hi : Lo) = D(M1) < D(M2) ? M2 : M1;
  }
  return D((Lo + Hi) / 2);
}

TEST(Distances, EllipseOutline) {
  EXPECT_DOUBLE_EQ(DistFromEllipse(10, 20, 10, 20, 5, 3), 3);    // the centre
  EXPECT_DOUBLE_EQ(DistFromEllipse(10, 20, 10, 20, -3, 5), 3);   // signs of the axes ignored
  EXPECT_DOUBLE_EQ(DistFromEllipse(10, 0, 0, 0, 5, 3), 5);
  EXPECT_DOUBLE_EQ(DistFromEllipse(0, -10, 0, 0, 5, 3), 7);
  EXPECT_NEAR(DistFromEllipse(3, 4, 0, 0, 10, 10), 5, 1e-12);    // a circle
  EXPECT_NEAR(DistFromEllipse(5 * std::cos(1.0), 3 * std::sin(1.0), 0, 0, 5, 3), 0, 1e-12);
  EXPECT_DOUBLE_EQ(DistFromEllipse(2, 3, 0, 0, 4, 0), 3);         // a segment
  EXPECT_DOUBLE_EQ(DistFromEllipse(3, 4, 0, 0, 0, 0), 5);         // a point
  SetRandSeed(99);
  for (int K = 0; K < 60; ++K) {
    const double A = 0.5 + 10 * Random(), B = 0.5 + 10 * Random();
    const double X = (Random() * 2 - 1) * 25, Y = (Random() * 2 - 1) * 25;
    const double Expected = BruteEllipseDistance(X, Y, A, B);
    EXPECT_NEAR(DistFromEllipse(X + 1, Y - 2, 1, -2, A, B), Expected, 1e-9 * (1 + Expected))
        << X << "," << Y << " axes " << A << "," << B;
  }
}

TEST(SortArray, SortsShortArraysInPlace) {
  std::array<int32_t, 8> Codes = {3, 0, 8, 0, 5, 0, 0, 0};
  SortArray(false, Codes);
  EXPECT_EQ(Codes, (std::array<int32_t, 8>{8, 5, 3, 0, 0, 0, 0, 0}));
  std::vector<double> V = {2.5, std::numeric_limits<double>::quiet_NaN(), -1, 2.5};
  SortArray(true, V);
  EXPECT_EQ(V[0], -1);
  EXPECT_EQ(V[2], 2.5);
  EXPECT_TRUE(std::isnan(V[3]));
}

TEST(SortIntoArray, KeepsTheSixNearestInStepWithTheirIndexes) {
  std::array<double, 6> Dist;
  std::array<int32_t, 6> Atoms{};
  Dist.fill(2e9);
  const double D2[] = {50, 10, 70, 10, 5, 90, 1, 60, 3e9, 40};
  for (int32_t I = 0; I < 10; ++I) {
    const int32_t Slot = SortIntoArray(Dist, D2[I], true, true);
    InsertIntoArray(Atoms, I + 1, Slot);
    if (I == 8) {
      EXPECT_EQ(Slot, -1);
    }
  }
  EXPECT_EQ(Dist, (std::array<double, 6>{1, 5, 10, 10, 40, 50}));
  EXPECT_EQ(Atoms, (std::array<int32_t, 6>{7, 5, 2, 4, 10, 1}));  // the earlier 10 first

  std::array<int32_t, 3> Desc = {9, 5, 5};
  EXPECT_EQ(SortIntoArray(Desc, 5, false, false), 1);  // in front of the equal entries
  EXPECT_EQ(Desc, (std::array<int32_t, 3>{9, 5, 5}));
  EXPECT_EQ(SortIntoArray(Desc, 5, false, true), -1);  // behind them: drops out
  EXPECT_EQ(SortIntoArray(Desc, 12, false, true), 0);
  EXPECT_EQ(Desc, (std::array<int32_t, 3>{12, 9, 5}));
  std::array<double, 2> Two = {1, 2};
  EXPECT_EQ(SortIntoArray(Two, std::numeric_limits<double>::quiet_NaN(), true, true), -1);
  InsertIntoArray(Two, 7.0, 2);  // outside: nothing
  InsertIntoArray(Two, 7.0, -1);
  EXPECT_EQ(Two, (std::array<double, 2>{1, 2}));
}

} // namespace
} // namespace zef
