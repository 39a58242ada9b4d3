// Dates and times as TDateTime: days since 1899-12-30 00:00 in a double.
//
// The integer part (cut toward zero) counts days from 1899-12-30; the time of day is the
// absolute value of the fractional part. Before 1899-12-30 the value is negative and still
// reads this way: -1.25 is 1899-12-29 06:00, not 1899-12-28 18:00. Dates run from
// 0001-01-01 (-693593) to 9999-12-31 (2958465) in the proleptic Gregorian calendar.
//
// Decoding works from the value rounded to whole milliseconds, so a value a hair below
// midnight decodes as 00:00:00.000 of the next day, consistently for date and time.
// Values outside the date range, and NaN, raise EConvertError when decoded.
//
// Text forms are locale-free: names are English and the fixed forms are ISO 8601.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace zef {

using TDateTime = double;

// Days from 1899-12-30 to 1970-01-01.
inline constexpr int UnixDateDelta = 25569;

// ---- Encoding and decoding ----------------------------------------------------------------

// Year 1..9999, Month 1..12, Day 1..days of that month; EConvertError
// "Invalid argument to date encode" otherwise.
TDateTime EncodeDate(int Year, int Month, int Day);
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
// Hour 0..23, Min 0..59, Sec 0..59, MSec 0..999; EConvertError
// "Invalid argument to time encode" otherwise. The result lies in [0, 1).
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time);
// Date and time of day together (the time is subtracted for dates before 1899-12-30).
TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec);
bool TryEncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec,
                       TDateTime& Value);
// The day of ADate with the time of day of ATime.
TDateTime ComposeDateTime(TDateTime ADate, TDateTime ATime);

void DecodeDate(TDateTime DT, uint16_t& Year, uint16_t& Month, uint16_t& Day);
void DecodeTime(TDateTime DT, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec);
void DecodeDateTime(TDateTime DT, uint16_t& Year, uint16_t& Month, uint16_t& Day, uint16_t& Hour,
                    uint16_t& Min, uint16_t& Sec, uint16_t& MSec);

// ---- The clock ----------------------------------------------------------------------------

// Local date and time, to the millisecond.
TDateTime Now();
// Today at 00:00, local time.
TDateTime Date();
// The local time of day, in [0, 1).
TDateTime Time();

// ---- Calendar -----------------------------------------------------------------------------

bool IsLeapYear(int Year);
// ERangeError for a month outside 1..12.
int DaysInAMonth(int Year, int Month);
int DaysInAYear(int Year);
// ISO numbering: Monday = 1 .. Sunday = 7.
int DayOfTheWeek(TDateTime DT);
// Classic numbering: Sunday = 1 .. Saturday = 7.
int DayOfWeek(TDateTime DT);
// ISO 8601 week 1..53; the week belongs to the year of its Thursday, so 2021-01-03 is in
// week 53 of 2020. The second form also gives that year.
int WeekOfTheYear(TDateTime DT);
int WeekOfTheYear(TDateTime DT, uint16_t& Year);
// 1 for January 1st.
int DayOfTheYear(TDateTime DT);

// Moves the date, keeping the time of day.
TDateTime IncDay(TDateTime DT, int NumberOfDays = 1);
// Moves the month; a day past the end of the new month becomes its last day
// (2024-01-31 + 1 month = 2024-02-29).
TDateTime IncMonth(TDateTime DT, int NumberOfMonths = 1);

// ---- Unix time ----------------------------------------------------------------------------

// Seconds since 1970-01-01 00:00, rounded to the nearest second. No time zone is applied
// either way.
int64_t DateTimeToUnix(TDateTime DT);
TDateTime UnixToDateTime(int64_t Seconds);
// A time_t (for example a file's time stamp) in local time, or unchanged as UTC when Local
// is false. EConvertError when the year falls outside 1..9999.
TDateTime DateTimeFromTimeT(std::time_t T, bool Local = true);

// ---- Text ---------------------------------------------------------------------------------

// Formats DT by the pattern Format. Tokens (letters in either case; a run of one letter is
// one token, longer runs count as the longest form):
//   d dd        day 1..31, with or without a leading zero
//   ddd dddd    weekday "Sun".."Sat", "Sunday".."Saturday"
//   m mm        month 1..12; minutes when the last letter before was an h token
//   mmm mmmm    month "Jan".."Dec", "January".."December"
//   yy yyyy     year in two or four digits (y as yy, yyy as yyyy)
//   h hh        hour; 1..12 when the pattern holds an am/pm token anywhere
//   n nn        minutes          s ss      seconds
//   z zzz       milliseconds, without or with leading zeros (zz as zzz)
//   am/pm a/p   "am"/"pm" or "a"/"p" for the 12-hour clock, in the letter case written
//   ampm        "AM" or "PM"
//   "..." '...' literal text
// Every other character is copied.
std::string FormatDateTime(std::string_view Format, TDateTime DT);

// Fixed forms "yyyy-mm-dd", "hh:nn:ss" and "yyyy-mm-dd hh:nn:ss", whatever the locale.
std::string DateToStr(TDateTime DT);
std::string TimeToStr(TDateTime DT);
std::string DateTimeToStr(TDateTime DT);

// Read exactly the fixed forms above (four-digit year, two digits for every other field,
// no surrounding blanks). StrToDateTime also takes the date alone. The StrTo forms raise
// EConvertError "'<text>' is not a valid date" (time, date and time).
bool TryStrToDate(std::string_view S, TDateTime& Value);
TDateTime StrToDate(std::string_view S);
bool TryStrToTime(std::string_view S, TDateTime& Value);
TDateTime StrToTime(std::string_view S);
bool TryStrToDateTime(std::string_view S, TDateTime& Value);
TDateTime StrToDateTime(std::string_view S);

} // namespace zef
