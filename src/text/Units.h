// Unit factors used across the program, each defined once.
//
// Angles on the host map are minutes of arc; times inside packets are
// TDateTime values (days since 1899-12-30, the time of day as the fraction);
// timers count milliseconds.
#pragma once

namespace units {

inline constexpr double kMinutesPerDegree = 60.0;

inline constexpr int kMillisecondsPerSecond = 1000;
inline constexpr int kSecondsPerMinute = 60;
inline constexpr int kMinutesPerHour = 60;
inline constexpr int kHoursPerDay = 24;
inline constexpr int kMillisecondsPerMinute = kMillisecondsPerSecond * kSecondsPerMinute;
inline constexpr int kMillisecondsPerHour = kMillisecondsPerMinute * kMinutesPerHour;
inline constexpr long long kMillisecondsPerDay = static_cast<long long>(kMillisecondsPerHour) * kHoursPerDay;
inline constexpr int kSecondsPerDay = kSecondsPerMinute * kMinutesPerHour * kHoursPerDay;
// An age in minutes becomes days by dividing by this.
inline constexpr double kMinutesPerDay = static_cast<double>(kMinutesPerHour) * kHoursPerDay;

}  // namespace units
