// Calendar arithmetic on TDateTime values: days since 1899-12-30 00:00, the
// time of day as the fraction, proleptic Gregorian calendar.
#pragma once

#include <chrono>
#include <optional>

#include "APRSData.h"
#include "Units.h"

namespace aprs::calendar {

inline constexpr int kUnixEpochDays = 25569;    // 1970-01-01
inline constexpr double kFirstDay = -693593.0;  // 0001-01-01, the first calendar date
inline constexpr double kEndDay = 2958466.0;    // 10000-01-01, after the last one

// A TDateTime rounded to the millisecond, split into its date and the milliseconds of its day.
struct TDateParts {
  std::chrono::year_month_day Date;
  long long MsOfDay = 0;

  long long Day() const { return static_cast<unsigned>(Date.day()); }
  long long Hour() const { return MsOfDay / units::kMillisecondsPerHour; }
  long long Minute() const { return MsOfDay / units::kMillisecondsPerMinute % units::kMinutesPerHour; }
  long long Second() const { return MsOfDay / units::kMillisecondsPerSecond % units::kSecondsPerMinute; }
};

// Only for values from kFirstDay up to, not including, kEndDay.
TDateParts Split(TDateTime value);

// The same split as a TDateTime is written out: the date from the whole days counted toward zero and
// the time of day from the fraction's size, so that -1.25 is 1899-12-29 06:00 where Split gives
// 1899-12-28 18:00. A fraction that rounds up to midnight moves to the next day.
// Only for values from kFirstDay up to, not including, kEndDay.
TDateParts SplitAsWritten(TDateTime value);

// Day of the week of a date, 0 for Sunday; day of the year, 0 for 1 January.
int WeekDay(std::chrono::year_month_day date);
int YearDay(std::chrono::year_month_day date);

// The TDateTime of a point in time of the system clock, to the microsecond.
TDateTime FromSystemTime(std::chrono::system_clock::time_point time);

// The TDateTime of a date and time of day; nothing when any part is out of its
// range (month 1 to 12, a day the month has, hour 0 to 23, minute and second 0 to 59).
std::optional<TDateTime> Join(int year, long long month, long long day, long long hour, long long minute,
                              long long second);

}  // namespace aprs::calendar
