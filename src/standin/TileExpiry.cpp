#include "TileExpiry.h"

#include <algorithm>
#include <array>
#include <chrono>

#include "Text.h"

namespace standin {

namespace {

constexpr std::array<std::string_view, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr int kSecondsPerMinute = 60;
constexpr int kSecondsPerHour = 60 * kSecondsPerMinute;
constexpr int kHoursPerDay = 24;
constexpr int kMinutesPerHour = 60;

// Cuts the next blank-separated word off the front of `text`.
std::string_view NextWord(std::string_view& text) {
  text = text::TrimLeft(text);
  const std::size_t end = std::min(text.find(' '), text.size());
  const std::string_view word = text.substr(0, end);
  text = text.substr(end);
  return word;
}

std::optional<int> Number(std::string_view digits, std::size_t width) {
  if (digits.size() != width) return std::nullopt;
  return text::ToInt(digits);
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (text::IsUpper(c)) c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// max-age's seconds: digits, perhaps quoted; nothing when unusable.
std::optional<long long> DeltaSeconds(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  if (value.empty() || !std::all_of(value.begin(), value.end(), text::IsDigit)) return std::nullopt;
  constexpr std::size_t kMaxDigits = 12;  // beyond any lifetime that is kept
  if (value.size() > kMaxDigits) return kMaxTileLifetimeSeconds;
  long long seconds = 0;
  for (const char c : value) seconds = seconds * 10 + (c - '0');
  return seconds;
}

}  // namespace

std::optional<long long> ParseHttpDate(std::string_view text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  text = text.substr(comma + 1);
  const auto day = Number(NextWord(text), 2);
  const std::string_view monthName = NextWord(text);
  const auto year = Number(NextWord(text), 4);
  const std::string_view clock = NextWord(text);
  if (NextWord(text) != "GMT" || !text::Trim(text).empty()) return std::nullopt;
  const auto month = std::find(kMonths.begin(), kMonths.end(), monthName);
  if (!day || !year || month == kMonths.end() || clock.size() != 8 || clock[2] != ':' || clock[5] != ':')
    return std::nullopt;
  const auto hour = Number(clock.substr(0, 2), 2);
  const auto minute = Number(clock.substr(3, 2), 2);
  const auto second = Number(clock.substr(6, 2), 2);
  if (!hour || !minute || !second || *hour >= kHoursPerDay || *minute >= kMinutesPerHour ||
      *second > kSecondsPerMinute)  // 60: a leap second
    return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year{*year},
                                         std::chrono::month{static_cast<unsigned>(month - kMonths.begin() + 1)},
                                         std::chrono::day{static_cast<unsigned>(*day)}};
  if (!date.ok()) return std::nullopt;
  const long long days = std::chrono::sys_days{date}.time_since_epoch().count();
  return days * kSecondsPerDayLong + (static_cast<long long>(*hour) * kSecondsPerHour) +
         (static_cast<long long>(*minute) * kSecondsPerMinute) + *second;
}

TTileFreshness TileFreshness(std::string_view cacheControl, std::string_view expires, std::string_view date,
                             long long nowSeconds) {
  TTileFreshness freshness;
  std::optional<long long> lifetime;
  bool noCache = false;
  while (!cacheControl.empty()) {
    const std::size_t comma = std::min(cacheControl.find(','), cacheControl.size());
    const std::string_view directive = text::Trim(cacheControl.substr(0, comma));
    cacheControl = cacheControl.substr(std::min(comma + 1, cacheControl.size()));
    const std::size_t eq = std::min(directive.find('='), directive.size());
    const std::string name = Lower(text::Trim(directive.substr(0, eq)));
    if (name == "no-store") freshness.Store = false;
    if (name == "no-cache") noCache = true;
    if (name == "max-age" && eq < directive.size() && !lifetime)
      lifetime = DeltaSeconds(text::Trim(directive.substr(eq + 1)));
  }
  if (noCache) lifetime = 0;
  if (!lifetime && !text::Trim(expires).empty()) {
    const auto expiresAt = ParseHttpDate(expires);
    const auto sentAt = ParseHttpDate(date);
    lifetime = expiresAt ? *expiresAt - (sentAt ? *sentAt : nowSeconds) : 0;
  }
  if (lifetime) freshness.LifetimeSeconds = *lifetime;
  freshness.LifetimeSeconds = std::clamp(freshness.LifetimeSeconds, kMinTileLifetimeSeconds, kMaxTileLifetimeSeconds);
  return freshness;
}

}  // namespace standin
