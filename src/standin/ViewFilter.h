// An APRS-IS area filter that follows the map window, and the pace at which a
// changed one may go to the server.
//
// The area is the view with half its width and height added on each side, so
// that stations just outside come in before the user pans to them:
//
//   a/latN/lonW/latS/lonE     e.g. a/50.5/-74/48.25/-70
//
// Servers want lonW <= lonE, so an area across the 180th meridian is sent as
// two areas, one on each side, space-separated in the one filter command:
//
//   a/10/170/-10/180 a/10/-180/-10/-170
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "StandInSettings.h"

namespace standin {

// The Filter setting that makes the APRS-IS feed follow the map.
inline constexpr std::string_view kViewFilter = "view";

bool IsViewFilter(std::string_view filter);

// The area filter for a view in minutes of arc (height negative); empty for a
// view that is not a finite area.
std::string ViewFilter(const TMapRect& view);

// When a changed filter goes out on an open connection: at once if the last one
// went out kMinIntervalMs ago or longer, else when that time is up. Until then a
// newer filter replaces the waiting one (the last view wins).
class TFilterPacer {
 public:
  static constexpr std::int64_t kMinIntervalMs = 5000;

  // The login at `nowMs` carried `filter`.
  void LoggedIn(std::string filter, std::int64_t nowMs);
  // The connection is gone: nothing waits and nothing was sent.
  void Reset();
  // The filter wanted now; ignored before login, and dropped when the server has it
  // already or when it is empty (no filter is nothing to ask for: the last one stays).
  void Want(std::string filter);
  // The waiting filter if its time has come at `nowMs`; it counts as sent.
  std::optional<std::string> Take(std::int64_t nowMs);
  // Milliseconds from `nowMs` until the waiting filter is due; nothing when none waits.
  std::optional<std::int64_t> DueIn(std::int64_t nowMs) const;

 private:
  bool m_loggedIn = false;
  std::string m_sent;
  std::int64_t m_sentAt = 0;
  std::optional<std::string> m_waiting;
};

}  // namespace standin
