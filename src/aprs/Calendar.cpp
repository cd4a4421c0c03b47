#include "Calendar.h"

#include <cmath>

#include "Text.h"
#include "Units.h"

namespace aprs::calendar {

namespace {

std::chrono::year_month_day DateOfDay(long long day) {
  return std::chrono::year_month_day{std::chrono::sys_days{std::chrono::days{day - kUnixEpochDays}}};
}

}  // namespace

TDateParts Split(TDateTime value) {
  const long long totalMs = text::RoundHalfEven(value * static_cast<double>(units::kMillisecondsPerDay));
  long long days = totalMs / units::kMillisecondsPerDay;
  long long ms = totalMs % units::kMillisecondsPerDay;
  if (ms < 0) {
    ms += units::kMillisecondsPerDay;
    --days;
  }
  return {DateOfDay(days), ms};
}

TDateParts SplitAsWritten(TDateTime value) {
  const double wholeDays = std::trunc(value);
  long long days = static_cast<long long>(wholeDays);
  long long ms = text::RoundHalfEven(std::fabs(value - wholeDays) * static_cast<double>(units::kMillisecondsPerDay));
  if (ms >= units::kMillisecondsPerDay) {
    ms -= units::kMillisecondsPerDay;
    ++days;
  }
  return {DateOfDay(days), ms};
}

int WeekDay(std::chrono::year_month_day date) {
  return static_cast<int>(std::chrono::weekday{std::chrono::sys_days{date}}.c_encoding());
}

int YearDay(std::chrono::year_month_day date) {
  const std::chrono::sys_days first{date.year() / std::chrono::January / 1};
  return static_cast<int>((std::chrono::sys_days{date} - first).count());
}

TDateTime FromSystemTime(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto sinceEpoch = duration_cast<microseconds>(time.time_since_epoch());
  return kUnixEpochDays + duration<double>(sinceEpoch).count() / units::kSecondsPerDay;
}

std::optional<TDateTime> Join(int year, long long month, long long day, long long hour, long long minute,
                              long long second) {
  const bool timeValid = hour >= 0 && hour < units::kHoursPerDay && minute >= 0 && minute < units::kMinutesPerHour &&
                         second >= 0 && second < units::kSecondsPerMinute;
  if (!timeValid || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                         std::chrono::day{static_cast<unsigned>(day)}};
  if (!date.ok()) return std::nullopt;
  const auto days = std::chrono::sys_days{date}.time_since_epoch().count() + kUnixEpochDays;
  return static_cast<double>(days) +
         static_cast<double>((hour * units::kMinutesPerHour + minute) * units::kSecondsPerMinute + second) /
             units::kSecondsPerDay;
}

}  // namespace aprs::calendar
