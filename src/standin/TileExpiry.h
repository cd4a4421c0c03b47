// How long a tile may be shown before the server is asked again, from the
// caching headers of its response.
#pragma once

#include <optional>
#include <string_view>

namespace standin {

inline constexpr long long kSecondsPerDayLong = 24LL * 60 * 60;
// A response that says nothing about its lifetime is kept a week, as the
// public tile servers ask of clients.
inline constexpr long long kDefaultTileLifetimeSeconds = 7 * kSecondsPerDayLong;
// A tile is kept at least a minute whatever the server says, so that a map
// repainting many times a second never asks for the same tile again and again.
inline constexpr long long kMinTileLifetimeSeconds = 60;
inline constexpr long long kMaxTileLifetimeSeconds = 365 * kSecondsPerDayLong;

struct TTileFreshness {
  long long LifetimeSeconds = kDefaultTileLifetimeSeconds;
  bool Store = true;  // false: the server forbids keeping it on disk (no-store)
};

// The lifetime from "Cache-Control" (max-age, no-cache, no-store), else from
// "Expires" against the response's "Date" (or `nowSeconds` without one); an
// Expires that is no date means already expired. Empty texts are absent headers.
TTileFreshness TileFreshness(std::string_view cacheControl, std::string_view expires, std::string_view date,
                             long long nowSeconds);

// "Sun, 06 Nov 1994 08:49:37 GMT" as seconds since 1970-01-01 UTC; nothing
// when the text is not such a date. The weekday is not checked.
std::optional<long long> ParseHttpDate(std::string_view text);

}  // namespace standin
