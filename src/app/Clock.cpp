#include "Clock.h"

#include "APRSCache.h"
#include "Text.h"

namespace tarvik {

QDateTime SystemWallClock() { return QDateTime::currentDateTimeUtc(); }

QString ClockPanelText(const QDateTime& time, const QString& timeFormat, const QString& dateFormat,
                       const QLocale& locale, const QString& suffix) {
  return QLatin1Char(' ') + locale.toString(time, timeFormat + QLatin1Char(' ') + dateFormat) + QLatin1Char(' ') +
         suffix;
}

TClockPanels ClockPanels(const QDateTime& now, const QLocale& locale) {
  const QString timeFormat = locale.timeFormat(QLocale::ShortFormat);
  const QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
  TClockPanels panels;
  panels.Local = ClockPanelText(now.toLocalTime(), timeFormat, dateFormat, locale, QStringLiteral("LOCAL"));
  panels.Utc = ClockPanelText(now.toUTC(), timeFormat, dateFormat, locale, QStringLiteral("UTC"));
  return panels;
}

TStationCounters StationCounters(const aprs::TPacketCache& cache) {
  return {cache.Count(), cache.Expired, cache.Replaced};
}

TCounterTexts CounterTexts(const TStationCounters& counters) {
  return {QString::number(counters.Count), QString::number(counters.Expired), QString::number(counters.Replaced)};
}

bool TakeListChanged(bool& listChanged) {
  const bool changed = listChanged;
  listChanged = false;
  return changed;
}

int ExpireAgeFromText(const QString& text) {
  return text::StrToIntDef(text.toLatin1().toStdString(), aprs::kDefaultMaxAgeMinutes);
}

}  // namespace tarvik
