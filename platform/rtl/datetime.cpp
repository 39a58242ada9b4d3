#include "rtl/datetime.h"

#include "rtl/exceptions.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>

namespace zef {

namespace {

constexpr int64_t MSecsPerDay = 86400000;
constexpr int64_t MinDay = -693593; // 0001-01-01
constexpr int64_t MaxDay = 2958465; // 9999-12-31

constexpr std::array<const char*, 7> ShortDayNames = {"Sun", "Mon", "Tue", "Wed",
                                                      "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 7> LongDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                     "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 12> ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<const char*, 12> LongMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

int64_t FloorDiv(int64_t A, int64_t B) {
  int64_t Q = A / B;
  return (A % B != 0 && (A < 0) != (B < 0)) ? Q - 1 : Q;
}

int64_t FloorMod(int64_t A, int64_t B) { return A - FloorDiv(A, B) * B; }

// Day number relative to 1899-12-30 of a proleptic Gregorian date, by the era method
// (400-year cycles of 146097 days, the year starting in March).
int64_t DaysFromCivil(int64_t Y, int M, int D) {
  Y -= M <= 2;
  const int64_t Era = FloorDiv(Y, 400);
  const int64_t YearOfEra = Y - Era * 400;
  const int64_t DayOfYear = (153 * (M > 2 ? M - 3 : M + 9) + 2) / 5 + D - 1;
  const int64_t DayOfEra = YearOfEra * 365 + YearOfEra / 4 - YearOfEra / 100 + DayOfYear;
  return Era * 146097 + DayOfEra - 719468 + UnixDateDelta;
}

void CivilFromDays(int64_t Day, int64_t& Y, int& M, int& D) {
  const int64_t Z = Day - UnixDateDelta + 719468;
  const int64_t Era = FloorDiv(Z, 146097);
  const int64_t DayOfEra = Z - Era * 146097;
  const int64_t YearOfEra =
      (DayOfEra - DayOfEra / 1460 + DayOfEra / 36524 - DayOfEra / 146096) / 365;
  const int64_t DayOfYear = DayOfEra - (365 * YearOfEra + YearOfEra / 4 - YearOfEra / 100);
  const int64_t MP = (5 * DayOfYear + 2) / 153;
  D = static_cast<int>(DayOfYear - (153 * MP + 2) / 5 + 1);
  M = static_cast<int>(MP < 10 ? MP + 3 : MP - 9);
  Y = YearOfEra + Era * 400 + (M <= 2);
}

[[noreturn]] void RaiseDecodeError() { throw EConvertError("Invalid argument to date decode"); }

// The day (as the integer part, cut toward zero) and the time of day in whole milliseconds;
// a time that rounds up to 24:00 moves to the next day.
struct TDayAndTime {
  int64_t Day;
  int64_t MSec;
};

TDayAndTime SplitDateTime(TDateTime DT) {
  if (!std::isfinite(DT)) RaiseDecodeError();
  const double IntPart = std::trunc(DT);
  if (IntPart < MinDay || IntPart > MaxDay) RaiseDecodeError();
  TDayAndTime R{static_cast<int64_t>(IntPart), std::llround(std::fabs(DT - IntPart) * MSecsPerDay)};
  if (R.MSec >= MSecsPerDay) {
    ++R.Day;
    R.MSec -= MSecsPerDay;
    if (R.Day > MaxDay) RaiseDecodeError();
  }
  return R;
}

// The integer part as a day number, without rounding the time.
int64_t DayNumber(TDateTime DT) {
  if (!std::isfinite(DT)) RaiseDecodeError();
  const double IntPart = std::trunc(DT);
  if (IntPart < MinDay || IntPart > MaxDay) RaiseDecodeError();
  return static_cast<int64_t>(IntPart);
}

// Day number plus a non-negative time of day (a fraction of a day) as a TDateTime.
TDateTime JoinDayAndTime(double Day, double TimeOfDay) {
  return Day < 0 ? Day - TimeOfDay : Day + TimeOfDay;
}

struct TFields {
  int64_t Year;
  int Month, Day, Hour, Min, Sec, MSec;
  int64_t DayNumber;
};

TFields DecodeFields(TDateTime DT) {
  const TDayAndTime S = SplitDateTime(DT);
  TFields F{};
  F.DayNumber = S.Day;
  CivilFromDays(S.Day, F.Year, F.Month, F.Day);
  F.Hour = static_cast<int>(S.MSec / 3600000);
  F.Min = static_cast<int>(S.MSec / 60000 % 60);
  F.Sec = static_cast<int>(S.MSec / 1000 % 60);
  F.MSec = static_cast<int>(S.MSec % 1000);
  return F;
}

// Sunday = 0 .. Saturday = 6; 1899-12-30 was a Saturday.
int WeekdayIndex(int64_t Day) { return static_cast<int>(FloorMod(Day + 6, 7)); }

bool LocalTm(std::time_t T, std::tm& Out) {
#ifdef _WIN32
  return localtime_s(&Out, &T) == 0;
#else
  return localtime_r(&T, &Out) != nullptr;
#endif
}

// Local broken-down time plus milliseconds as a TDateTime (a leap second counts as :59).
bool TryLocalToDateTime(std::time_t T, int MSec, TDateTime& Value) {
  std::tm Tm{};
  if (!LocalTm(T, Tm)) return false;
  return TryEncodeDateTime(Tm.tm_year + 1900, Tm.tm_mon + 1, Tm.tm_mday, Tm.tm_hour, Tm.tm_min,
                           std::min(Tm.tm_sec, 59), MSec, Value);
}

void AppendNumber(std::string& S, int64_t Value, int MinDigits) {
  std::string Digits = std::to_string(Value);
  if (static_cast<int>(Digits.size()) < MinDigits)
    S.append(static_cast<std::size_t>(MinDigits) - Digits.size(), '0');
  S += Digits;
}

char UpperAscii(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 32) : C; }

bool IsAsciiLetter(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); }

bool MatchesAt(std::string_view S, std::size_t I, std::string_view Upper) {
  if (S.size() - I < Upper.size()) return false;
  for (std::size_t K = 0; K < Upper.size(); ++K)
    if (UpperAscii(S[I + K]) != Upper[K]) return false;
  return true;
}

// Index just past the quoted literal that starts at I (an open quote runs to the end).
std::size_t QuotedEnd(std::string_view F, std::size_t I) {
  const std::size_t Close = F.find(F[I], I + 1);
  return Close == std::string_view::npos ? F.size() : Close + 1;
}

// Whether the pattern holds an am/pm, a/p or ampm token outside quoted text.
bool UsesTwelveHourClock(std::string_view F) {
  for (std::size_t I = 0; I < F.size();) {
    if (F[I] == '"' || F[I] == '\'') {
      I = QuotedEnd(F, I);
      continue;
    }
    if (MatchesAt(F, I, "AM/PM") || MatchesAt(F, I, "A/P") || MatchesAt(F, I, "AMPM")) return true;
    ++I;
  }
  return false;
}

bool ParseDigits(std::string_view S, std::size_t Pos, std::size_t Count, int& Value) {
  Value = 0;
  for (std::size_t K = Pos; K < Pos + Count; ++K) {
    if (S[K] < '0' || S[K] > '9') return false;
    Value = Value * 10 + (S[K] - '0');
  }
  return true;
}

// "yyyy-mm-dd" exactly.
bool ParseIsoDate(std::string_view S, TDateTime& Value) {
  int Y, M, D;
  return S.size() == 10 && S[4] == '-' && S[7] == '-' && ParseDigits(S, 0, 4, Y) &&
         ParseDigits(S, 5, 2, M) && ParseDigits(S, 8, 2, D) && TryEncodeDate(Y, M, D, Value);
}

// "hh:nn:ss" exactly.
bool ParseIsoTime(std::string_view S, TDateTime& Value) {
  int H, N, Sec;
  return S.size() == 8 && S[2] == ':' && S[5] == ':' && ParseDigits(S, 0, 2, H) &&
         ParseDigits(S, 3, 2, N) && ParseDigits(S, 6, 2, Sec) && TryEncodeTime(H, N, Sec, 0, Value);
}

} // namespace

// ---- Encoding and decoding ----------------------------------------------------------------

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 ||
      Day > DaysInAMonth(Year, Month))
    return false;
  Date = static_cast<TDateTime>(DaysFromCivil(Year, Month, Day));
  return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
  TDateTime R;
  if (!TryEncodeDate(Year, Month, Day, R)) throw EConvertError("Invalid argument to date encode");
  return R;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time) {
  if (Hour < 0 || Hour > 23 || Min < 0 || Min > 59 || Sec < 0 || Sec > 59 || MSec < 0 || MSec > 999)
    return false;
  const int64_t Total = ((int64_t(Hour) * 60 + Min) * 60 + Sec) * 1000 + MSec;
  Time = static_cast<double>(Total) / MSecsPerDay;
  return true;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
  TDateTime R;
  if (!TryEncodeTime(Hour, Min, Sec, MSec, R))
    throw EConvertError("Invalid argument to time encode");
  return R;
}

bool TryEncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec,
                       TDateTime& Value) {
  TDateTime D, T;
  if (!TryEncodeDate(Year, Month, Day, D) || !TryEncodeTime(Hour, Min, Sec, MSec, T)) return false;
  Value = JoinDayAndTime(D, T);
  return true;
}

TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec) {
  return JoinDayAndTime(EncodeDate(Year, Month, Day), EncodeTime(Hour, Min, Sec, MSec));
}

TDateTime ComposeDateTime(TDateTime ADate, TDateTime ATime) {
  const double Day = std::trunc(ADate);
  return JoinDayAndTime(Day, std::fabs(ATime - std::trunc(ATime)));
}

void DecodeDate(TDateTime DT, uint16_t& Year, uint16_t& Month, uint16_t& Day) {
  const TFields F = DecodeFields(DT);
  Year = static_cast<uint16_t>(F.Year);
  Month = static_cast<uint16_t>(F.Month);
  Day = static_cast<uint16_t>(F.Day);
}

void DecodeTime(TDateTime DT, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec) {
  const TFields F = DecodeFields(DT);
  Hour = static_cast<uint16_t>(F.Hour);
  Min = static_cast<uint16_t>(F.Min);
  Sec = static_cast<uint16_t>(F.Sec);
  MSec = static_cast<uint16_t>(F.MSec);
}

void DecodeDateTime(TDateTime DT, uint16_t& Year, uint16_t& Month, uint16_t& Day, uint16_t& Hour,
                    uint16_t& Min, uint16_t& Sec, uint16_t& MSec) {
  DecodeDate(DT, Year, Month, Day);
  DecodeTime(DT, Hour, Min, Sec, MSec);
}

// ---- The clock ----------------------------------------------------------------------------

TDateTime Now() {
  using namespace std::chrono;
  const int64_t MSecs = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  const auto T = static_cast<std::time_t>(FloorDiv(MSecs, 1000));
  TDateTime R;
  if (!TryLocalToDateTime(T, static_cast<int>(FloorMod(MSecs, 1000)), R))
    throw EConvertError("The system clock cannot be read as a local date and time");
  return R;
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time() {
  const TDateTime N = Now();
  return std::fabs(N - std::trunc(N));
}

// ---- Calendar -----------------------------------------------------------------------------

bool IsLeapYear(int Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

int DaysInAMonth(int Year, int Month) {
  static constexpr std::array<int, 12> Days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (Month < 1 || Month > 12) throw ERangeError("Month out of range 1..12");
  return Month == 2 && IsLeapYear(Year) ? 29 : Days[static_cast<std::size_t>(Month - 1)];
}

int DaysInAYear(int Year) { return IsLeapYear(Year) ? 366 : 365; }

int DayOfTheWeek(TDateTime DT) {
  const int W = WeekdayIndex(SplitDateTime(DT).Day);
  return W == 0 ? 7 : W;
}

int DayOfWeek(TDateTime DT) { return WeekdayIndex(SplitDateTime(DT).Day) + 1; }

int WeekOfTheYear(TDateTime DT, uint16_t& Year) {
  const int64_t Day = SplitDateTime(DT).Day;
  const int Weekday = WeekdayIndex(Day);
  const int64_t Thursday = Day - (Weekday == 0 ? 7 : Weekday) + 4;
  int64_t Y;
  int M, D;
  CivilFromDays(Thursday, Y, M, D);
  Year = static_cast<uint16_t>(Y);
  return static_cast<int>((Thursday - DaysFromCivil(Y, 1, 1)) / 7 + 1);
}

int WeekOfTheYear(TDateTime DT) {
  uint16_t Year;
  return WeekOfTheYear(DT, Year);
}

int DayOfTheYear(TDateTime DT) {
  const TFields F = DecodeFields(DT);
  return static_cast<int>(F.DayNumber - DaysFromCivil(F.Year, 1, 1) + 1);
}

TDateTime IncDay(TDateTime DT, int NumberOfDays) {
  const double Day = std::trunc(DT);
  return JoinDayAndTime(Day + NumberOfDays, std::fabs(DT - Day));
}

TDateTime IncMonth(TDateTime DT, int NumberOfMonths) {
  const int64_t Day = DayNumber(DT);
  int64_t Y;
  int M, D;
  CivilFromDays(Day, Y, M, D);
  const int64_t Months = Y * 12 + (M - 1) + NumberOfMonths;
  const int64_t NewYear = FloorDiv(Months, 12);
  if (NewYear < 1 || NewYear > 9999) throw EConvertError("Invalid argument to date encode");
  const int NewMonth = static_cast<int>(FloorMod(Months, 12)) + 1;
  const int NewDay = std::min(D, DaysInAMonth(static_cast<int>(NewYear), NewMonth));
  return JoinDayAndTime(EncodeDate(static_cast<int>(NewYear), NewMonth, NewDay),
                        std::fabs(DT - std::trunc(DT)));
}

// ---- Unix time ----------------------------------------------------------------------------

int64_t DateTimeToUnix(TDateTime DT) {
  const TDayAndTime S = SplitDateTime(DT);
  return (S.Day - UnixDateDelta) * 86400 + (S.MSec + 500) / 1000;
}

TDateTime UnixToDateTime(int64_t Seconds) {
  const int64_t Days = FloorDiv(Seconds, 86400);
  const int64_t Rem = Seconds - Days * 86400;
  return JoinDayAndTime(static_cast<double>(Days + UnixDateDelta),
                        static_cast<double>(Rem) / 86400.0);
}

TDateTime DateTimeFromTimeT(std::time_t T, bool Local) {
  TDateTime R;
  if (Local) {
    if (!TryLocalToDateTime(T, 0, R)) throw EConvertError("Invalid argument to date encode");
    return R;
  }
  const int64_t Day = FloorDiv(static_cast<int64_t>(T), 86400) + UnixDateDelta;
  if (Day < MinDay || Day > MaxDay) throw EConvertError("Invalid argument to date encode");
  return UnixToDateTime(static_cast<int64_t>(T));
}

// ---- Text ---------------------------------------------------------------------------------

std::string FormatDateTime(std::string_view Format, TDateTime DT) {
  const TFields F = DecodeFields(DT);
  const bool TwelveHour = UsesTwelveHourClock(Format);
  const int Hour = TwelveHour ? (F.Hour % 12 == 0 ? 12 : F.Hour % 12) : F.Hour;
  const bool PM = F.Hour >= 12;
  const auto Weekday = static_cast<std::size_t>(WeekdayIndex(F.DayNumber));
  const auto MonthIndex = static_cast<std::size_t>(F.Month - 1);

  std::string R;
  char LastToken = 0; // the last letter token, for the minutes-after-hours rule
  std::size_t I = 0;
  while (I < Format.size()) {
    const char C = Format[I];
    if (C == '"' || C == '\'') {
      const std::size_t End = QuotedEnd(Format, I);
      const bool Closed = End - I >= 2 && Format[End - 1] == C;
      R.append(Format.substr(I + 1, End - I - (Closed ? 2 : 1)));
      I = End;
      continue;
    }
    if (!IsAsciiLetter(C)) {
      R += C;
      ++I;
      continue;
    }
    char Token = UpperAscii(C);
    if (Token == 'M' && LastToken == 'H') Token = 'N';
    LastToken = Token;

    if (Token == 'A') {
      if (MatchesAt(Format, I, "AM/PM")) {
        R.append(Format.substr(PM ? I + 3 : I, 2));
        I += 5;
      } else if (MatchesAt(Format, I, "A/P")) {
        R += Format[PM ? I + 2 : I];
        I += 3;
      } else if (MatchesAt(Format, I, "AMPM")) {
        R += PM ? "PM" : "AM";
        I += 4;
      } else {
        R += C;
        ++I;
      }
      continue;
    }

    std::size_t Run = 1;
    while (I + Run < Format.size() && UpperAscii(Format[I + Run]) == UpperAscii(C)) ++Run;
    I += Run;
    switch (Token) {
      case 'D':
        if (Run <= 2)
          AppendNumber(R, F.Day, static_cast<int>(Run));
        else
          R += Run == 3 ? ShortDayNames[Weekday] : LongDayNames[Weekday];
        break;
      case 'M':
        if (Run <= 2)
          AppendNumber(R, F.Month, static_cast<int>(Run));
        else
          R += Run == 3 ? ShortMonthNames[MonthIndex] : LongMonthNames[MonthIndex];
        break;
      case 'Y':
        if (Run <= 2)
          AppendNumber(R, F.Year % 100, 2);
        else
          AppendNumber(R, F.Year, 4);
        break;
      case 'H': AppendNumber(R, Hour, Run == 1 ? 1 : 2); break;
      case 'N': AppendNumber(R, F.Min, Run == 1 ? 1 : 2); break;
      case 'S': AppendNumber(R, F.Sec, Run == 1 ? 1 : 2); break;
      case 'Z': AppendNumber(R, F.MSec, Run == 1 ? 1 : 3); break;
      default: R.append(Format.substr(I - Run, Run)); break;
    }
  }
  return R;
}

std::string DateToStr(TDateTime DT) { return FormatDateTime("yyyy-mm-dd", DT); }

std::string TimeToStr(TDateTime DT) { return FormatDateTime("hh:nn:ss", DT); }

std::string DateTimeToStr(TDateTime DT) { return FormatDateTime("yyyy-mm-dd hh:nn:ss", DT); }

bool TryStrToDate(std::string_view S, TDateTime& Value) { return ParseIsoDate(S, Value); }

TDateTime StrToDate(std::string_view S) {
  TDateTime R;
  if (!TryStrToDate(S, R)) throw EConvertError("'" + std::string(S) + "' is not a valid date");
  return R;
}

bool TryStrToTime(std::string_view S, TDateTime& Value) { return ParseIsoTime(S, Value); }

TDateTime StrToTime(std::string_view S) {
  TDateTime R;
  if (!TryStrToTime(S, R)) throw EConvertError("'" + std::string(S) + "' is not a valid time");
  return R;
}

bool TryStrToDateTime(std::string_view S, TDateTime& Value) {
  if (S.size() == 10) return ParseIsoDate(S, Value);
  TDateTime D, T;
  if (S.size() != 19 || S[10] != ' ' || !ParseIsoDate(S.substr(0, 10), D) ||
      !ParseIsoTime(S.substr(11), T))
    return false;
  Value = JoinDayAndTime(D, T);
  return true;
}

TDateTime StrToDateTime(std::string_view S) {
  TDateTime R;
  if (!TryStrToDateTime(S, R))
    throw EConvertError("'" + std::string(S) + "' is not a valid date and time");
  return R;
}

} // namespace zef
