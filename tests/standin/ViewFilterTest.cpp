#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "ViewFilter.h"

using namespace standin;

namespace {

// Views in degrees, for reading; the map reports minutes of arc.
TMapRect Degrees(double left, double top, double width, double height) {
  return {left * 60, top * 60, width * 60, -height * 60};
}

TEST(ViewFilter, AreaAroundTheViewWithHalfAViewOnEachSide) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Row {
    const char* name;
    TMapRect view;
    const char* filter;
  };
  // clang-format off
  const Row rows[] = {
      {"demo region",            Degrees(-73, 49.75, 2, 1.5),    "a/50.5/-74/47.5/-70"},
      {"near the north pole",    Degrees(0, 88, 10, 4),          "a/90/-5/82/15"},
      {"near the south pole",    Degrees(10, -86, 10, 4),        "a/-84/5/-90/25"},
      {"edges rounded outwards", Degrees(7.123, 45.678, 1, 1),   "a/46.18/6.62/44.17/8.63"},
      {"across 180",             Degrees(178, 10, 4, 20),        "a/20/176/-20/180 a/20/-180/-20/-176"},
      {"across 180 westwards",   Degrees(-181, 0, 4, 2),         "a/1/177/-3/180 a/1/-180/-3/-175"},
      {"a copy of the world",    Degrees(-183, 1, 2, 2),         "a/2/176/-2/180"},
      {"far copy",               Degrees(7 + 720, 45, 2, 2),     "a/46/6/42/10"},
      {"wider than half a turn", Degrees(-100, 60, 200, 100),    "a/90/-180/-90/180"},
      {"no width",               Degrees(0, 10, 0, 1),           ""},
      {"upside down",            Degrees(0, 10, 1, -1),          ""},
      {"not a number",           {nan, 600, 60, -60},            ""},
  };
  // clang-format on
  for (const Row& row : rows) EXPECT_EQ(ViewFilter(row.view), row.filter) << row.name;

  EXPECT_TRUE(IsViewFilter(" View "));
  EXPECT_FALSE(IsViewFilter("r/49/-72/200"));
  EXPECT_FALSE(IsViewFilter(""));
}

TEST(ViewFilter, PacerSendsAtMostOnceInFiveSecondsAndTheLastViewWins) {
  TFilterPacer pacer;
  pacer.Want("a/1/1/0/2");  // not logged in: the login carries the filter
  EXPECT_EQ(pacer.DueIn(0), std::nullopt);

  pacer.LoggedIn("a/1/1/0/2", 1000);
  pacer.Want("a/1/1/0/2");  // the server has it
  EXPECT_EQ(pacer.DueIn(1000), std::nullopt);
  pacer.Want("a/2/2/1/3");
  EXPECT_EQ(pacer.Take(2000), std::nullopt);
  EXPECT_EQ(pacer.DueIn(2000), 4000);
  pacer.Want("a/3/3/2/4");  // replaces the waiting one
  EXPECT_EQ(pacer.Take(5999), std::nullopt);
  EXPECT_EQ(pacer.Take(6000), "a/3/3/2/4");
  EXPECT_EQ(pacer.Take(6000), std::nullopt);
  EXPECT_EQ(pacer.DueIn(6000), std::nullopt);

  pacer.Want("a/4/4/3/5");
  pacer.Want("a/3/3/2/4");  // back where the server is: nothing to send
  EXPECT_EQ(pacer.DueIn(7000), std::nullopt);
  pacer.Want("a/4/4/3/5");
  pacer.Want("");  // no filter is not asked for
  EXPECT_EQ(pacer.DueIn(7000), std::nullopt);

  pacer.Want("a/5/5/4/6");
  EXPECT_EQ(pacer.Take(20000), "a/5/5/4/6");  // long after the last: at once
  pacer.Want("a/6/6/5/7");
  pacer.Reset();  // the connection dropped
  EXPECT_EQ(pacer.DueIn(30000), std::nullopt);
}

}  // namespace
