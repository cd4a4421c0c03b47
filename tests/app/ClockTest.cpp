#include <gtest/gtest.h>

#include <QTimeZone>

#include <vector>

#include "Clock.h"

using namespace tarvik;

namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);

TEST(ClockPanelText, TimeBeforeDateAfterALeadingBlank) {
  const QDateTime t(QDate(2026, 12, 6), QTime(19, 5, 42), Qt::UTC);
  EXPECT_EQ(QString(" 7:05 PM 12/6/2026 LOCAL"), ClockPanelText(t, "h:mm AP", "M/d/yyyy", kUs, "LOCAL"));
  EXPECT_EQ(QString(" 19:05 06.12.2026 UTC"), ClockPanelText(t, "HH:mm", "dd.MM.yyyy", kUs, "UTC"));
}

TEST(ClockPanels, UtcPanelShowsUtcAndLocalPanelTheLocalTime) {
  const QDateTime now(QDate(2026, 12, 7), QTime(0, 5), Qt::UTC);
  const TClockPanels panels = ClockPanels(now, kUs);
  const QString time = kUs.timeFormat(QLocale::ShortFormat);
  const QString date = kUs.dateFormat(QLocale::ShortFormat);
  EXPECT_EQ(" " + kUs.toString(now, time + " " + date) + " UTC", panels.Utc);
  EXPECT_EQ(" " + kUs.toString(now.toLocalTime(), time + " " + date) + " LOCAL", panels.Local);
  EXPECT_TRUE(panels.Utc.contains("12:05")) << panels.Utc.toStdString();
  // The same instant given in another zone shows the same texts.
  const TClockPanels shifted = ClockPanels(now.toTimeZone(QTimeZone(3600 * 5)), kUs);
  EXPECT_EQ(panels.Utc, shifted.Utc);
  EXPECT_EQ(panels.Local, shifted.Local);
}

TEST(CounterTexts, PlainDecimalsWithoutGrouping) {
  const TCounterTexts texts = CounterTexts({12345, 0, -1});
  EXPECT_EQ(QString("12345"), texts.Count);
  EXPECT_EQ(QString("0"), texts.Expired);
  EXPECT_EQ(QString("-1"), texts.Replaced);
}

TEST(TakeListChanged, ClearsTheFlagEitherWay) {
  bool changed = true;
  EXPECT_TRUE(TakeListChanged(changed));
  EXPECT_FALSE(changed);
  EXPECT_FALSE(TakeListChanged(changed));
  EXPECT_FALSE(changed);
}

TEST(ExpireAgeFromText, NotAnIntegerGivesSixty) {
  // clang-format off
  const std::vector<std::pair<QString, int>> cases = {
      {"60", 60},   {"5", 5},   {"0", 0},     {"-3", -3},   {"+7", 7},       {"abc", 60},
      {"", 60},     {" 5", 60}, {"5 ", 60},   {"1.5", 60},  {"99999999999", 60},
      {"2147483647", 2147483647}, {QString(QChar(0x0665)), 60},  // an Arabic-Indic five
  };
  // clang-format on
  for (const auto& [text, age] : cases) EXPECT_EQ(age, ExpireAgeFromText(text)) << text.toStdString();
}

}  // namespace
