#include <gtest/gtest.h>

#include <limits>

#include "ViewFilter.h"

using namespace standin;

namespace {

// A view in degrees, for reading; the map reports minutes of arc.
TMapRect Degrees(double left, double top, double width, double height) {
  return {left * 60, top * 60, width * 60, -height * 60};
}

TEST(ViewFilter, AreaAroundTheViewWithHalfAViewOnEachSide) {
  // clang-format off
  const std::vector<std::pair<TMapRect, std::string>> rows = {
      {Degrees(-73, 49.75, 2, 1.5),  "a/50.5/-74/47.5/-70"},
      {Degrees(0, 88, 10, 4),        "a/90/-5/82/15"},                        // clamped at the poles
      {Degrees(7.123, 45.678, 1, 1), "a/46.18/6.62/44.17/8.63"},              // rounded outwards
      {Degrees(178, 10, 4, 20),      "a/20/176/-20/180 a/20/-180/-20/-176"},  // across 180: two areas
      {Degrees(-183, 1, 2, 2),       "a/2/176/-2/180"},                       // another copy of the world
      {Degrees(-100, 60, 200, 100),  "a/90/-180/-90/180"},                    // more than half the world
      {Degrees(0, 10, 0, 1),         ""},
      {Degrees(0, 10, 1, -1),        ""},
      {{std::numeric_limits<double>::quiet_NaN(), 600, 60, -60}, ""},
  };
  // clang-format on
  for (const auto& [view, filter] : rows) EXPECT_EQ(ViewFilter(view), filter) << filter;
  EXPECT_TRUE(IsViewFilter(" View "));
  EXPECT_FALSE(IsViewFilter("r/49/-72/200"));
}

TEST(ViewFilter, PacerSendsAtMostOnceInFiveSecondsAndTheLastViewWins) {
  // Each step: the time, the filter wanted ("-" for none), what goes out then ("" for nothing).
  // clang-format off
  const std::vector<std::tuple<std::int64_t, std::string, std::string>> steps = {
      {2000,  "a/2",  ""},     // logged in at 1000 with a/1
      {5999,  "a/3",  ""},     // replaces a/2
      {6000,  "-",    "a/3"},
      {7000,  "a/3",  ""},     // the server has it
      {20000, "",     ""},     // no filter is not asked for
      {20000, "a/5",  "a/5"},  // long after the last: at once
  };
  // clang-format on
  TFilterPacer pacer;
  pacer.LoggedIn("a/1", 1000);
  for (const auto& [now, wanted, sent] : steps) {
    if (wanted != "-") pacer.Want(wanted);
    EXPECT_EQ(pacer.Take(now).value_or(""), sent) << now << " " << wanted;
  }
  pacer.Want("a/6");
  EXPECT_EQ(pacer.DueIn(21000), 4000);
  pacer.Reset();  // the connection dropped
  EXPECT_EQ(pacer.DueIn(21000), std::nullopt);
}

}  // namespace
