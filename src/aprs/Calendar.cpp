#include "Calendar.h"

#include "Text.h"
#include "Units.h"

namespace aprs::calendar {

namespace {}

TDateParts Split(TDateTime value) {
  const long long totalMs = text::RoundHalfEven(value * static_cast<double>(units::kMillisecondsPerDay));
  long long days = totalMs / units::kMillisecondsPerDay;
  long long ms = totalMs % units::kMillisecondsPerDay;
  if (ms < 0) {
    ms += units::kMillisecondsPerDay;
    --days;
  }
  return {std::chrono::year_month_day{std::chrono::sys_days{std::chrono::days{days - kUnixEpochDays}}}, ms};
}

std::optional<TDateTime> Join(int year, long long month, long long day, long long hour, long long minute,
                              long long second) {
  const bool timeValid = hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60;
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
