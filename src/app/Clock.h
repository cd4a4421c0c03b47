// The five-second clock below the widgets: the texts of the local and UTC
// clock panels, the station counters, the list refresh rule and the expiry age.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <functional>

#include "APRSCache.h"

namespace tarvik {

inline constexpr int kClockIntervalMs = 5000;

// The clock seam: the current time (in any time zone; the panels convert it).
using TWallClock = std::function<QDateTime()>;
QDateTime SystemWallClock();

// " " + time + " " + date + " " + suffix, the time and date written with the
// given formats in the given locale (for the AM/PM texts and names).
QString ClockPanelText(const QDateTime& time, const QString& timeFormat, const QString& dateFormat,
                       const QLocale& locale, const QString& suffix);

struct TClockPanels {
  QString Local;  // " 7:05 PM 12/6/2026 LOCAL"
  QString Utc;    // " 0:05 AM 12/7/2026 UTC"
};

// Both panels for `now`, in the locale's short time and date formats.
TClockPanels ClockPanels(const QDateTime& now, const QLocale& locale);

struct TStationCounters {
  int Count = 0;
  int Expired = 0;
  int Replaced = 0;
};
TStationCounters StationCounters(const aprs::TPacketCache& cache);

struct TCounterTexts {
  QString Count;
  QString Expired;
  QString Replaced;
};
// Each counter as a plain decimal integer, without grouping.
TCounterTexts CounterTexts(const TStationCounters& counters);

// The tick's list rule: true when the list had changed; the flag is cleared
// either way, also when the refresh that follows does nothing.
bool TakeListChanged(bool& listChanged);

// The expiry age in minutes from the text of edExpireAge; not an integer gives 60.
int ExpireAgeFromText(const QString& text);

}  // namespace tarvik
