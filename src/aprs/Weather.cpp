// Weather reports: each value is found by its own pattern anywhere in the
// information field, and the first match of each counts.
//
//   _10090556c220s004g005t077r000p000P000h50b09900wRSW
//   !4903.50N/07201.75W_220/004g005t077r001p010P020h99b10132
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "APRSParser.h"
#include "Calendar.h"
#include "Text.h"

namespace aprs {

namespace {

enum WxPattern : std::size_t {
  wpTime,
  wpPressure,
  wpHumidity,
  wpRain24Hours,
  wpRainLastHour,
  wpRainSinceMidnight,
  wpTemperature,
  wpWindPair,
  wpWindDirection,
  wpWindSpeed,
  wpWindGust,
  wpCount,
};

// Case-sensitive; in this order. The alternatives with dots or spaces are
// sent for "no data": they leave group 1 unset, which reads as 0.
constexpr std::array<const char*, wpCount> kPatternTexts = {
    R"((?P<wx_mdhm>\d{8}))",        R"((b\d{5})|(b\.{5})|(b {5}))", R"((h\d\d)|(h\.\.)|(h  ))",
    R"((p\d{3})|(p\.{3})|(p {3}))", R"((r\d{3})|(r\.{3})|(r {3}))", R"((P\d{3})|(P\.{3})|(P {3}))",
    R"((t\d{3})|(t\.{3})|(t {3}))", R"((\d{3})/(\d{3}))",           R"((c\d{3})|(c\.{3})|(c {3}))",
    R"((s\d{3})|(s\.{3})|(s {3}))", R"((g\d{3})|(g\.{3})|(g {3}))",
};

// Whole match plus the most groups any pattern has.
constexpr std::uint32_t kMatchPairs = 4;

// The compiled patterns, shared by every packet, JIT-compiled where the
// library supports it and freed when the program ends. A pattern that failed
// to compile stays null and never matches.
class TWeatherPatterns {
 public:
  TWeatherPatterns() {
    for (std::size_t i = 0; i < wpCount; ++i) {
      int error = 0;
      PCRE2_SIZE offset = 0;
      m_codes[i] = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(kPatternTexts[i]), PCRE2_ZERO_TERMINATED, PCRE2_MULTILINE,
                                 &error, &offset, nullptr);
      // Without JIT support pcre2_match interprets the pattern instead.
      if (m_codes[i] != nullptr) (void)pcre2_jit_compile(m_codes[i], PCRE2_JIT_COMPLETE);
    }
  }
  ~TWeatherPatterns() {
    for (pcre2_code* code : m_codes) pcre2_code_free(code);
  }
  TWeatherPatterns(const TWeatherPatterns&) = delete;
  TWeatherPatterns& operator=(const TWeatherPatterns&) = delete;

  const pcre2_code* Code(WxPattern p) const { return m_codes[p]; }

 private:
  std::array<pcre2_code*, wpCount> m_codes{};
};

const TWeatherPatterns& Patterns() {
  static const TWeatherPatterns patterns;
  return patterns;
}

// Compile at start-up rather than on the first weather packet.
[[maybe_unused]] const TWeatherPatterns& kCompiledAtStart = Patterns();

// One match block per thread, reused by every match.
class TMatchData {
 public:
  TMatchData() : m_data(pcre2_match_data_create(kMatchPairs, nullptr)) {}
  ~TMatchData() { pcre2_match_data_free(m_data); }
  TMatchData(const TMatchData&) = delete;
  TMatchData& operator=(const TMatchData&) = delete;
  pcre2_match_data* Get() const { return m_data; }

 private:
  pcre2_match_data* m_data;
};

// The groups of the first match of one pattern, as views of the subject.
class TMatch {
 public:
  // Searches `subject` from `start` (0-based); the subject before it is not searched.
  TMatch(WxPattern pattern, std::string_view subject, std::size_t start = 0) {
    thread_local const TMatchData data;
    const pcre2_code* code = Patterns().Code(pattern);
    if (code == nullptr || data.Get() == nullptr || start > subject.size()) return;
    const int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), start,
                               PCRE2_NOTEMPTY, data.Get(), nullptr);
    if (rc <= 0) return;
    m_found = true;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.Get());
    const auto groups = std::min<std::size_t>(static_cast<std::size_t>(rc), kMatchPairs);
    for (std::size_t n = 0; n < groups; ++n) {
      if (ovector[2 * n] == PCRE2_UNSET) continue;
      m_groups[n] = subject.substr(ovector[2 * n], ovector[2 * n + 1] - ovector[2 * n]);
    }
  }

  bool Found() const { return m_found; }

  // Text of group `n`, empty when that group took no part in the match.
  std::string_view Group(std::size_t n) const { return n < m_groups.size() ? m_groups[n] : std::string_view(); }

 private:
  bool m_found = false;
  std::array<std::string_view, kMatchPairs> m_groups{};
};

// Integer value of the text after a group's leading letter, 0 when it is no number.
int ValueAfterLetter(std::string_view group) { return text::StrToIntDef(group.substr(group.empty() ? 0 : 1), 0); }

// MMDDHHMM of the current year and second; the current time when the month,
// day, hour or minute is impossible.
TDateTime WeatherTime(std::string_view mdhm, TDateTime now) {
  if (!std::isfinite(now) || now <= 0.0 || now >= calendar::kEndDay) return now;
  const calendar::TDateParts parts = calendar::Split(now);
  long long month = static_cast<unsigned>(parts.Date.month());
  long long day = parts.Day();
  long long hour = parts.Hour();
  long long minute = parts.Minute();
  if (mdhm.size() == 8) {
    month = text::StrToIntDef(mdhm.substr(0, 2), static_cast<int>(month));
    day = text::StrToIntDef(mdhm.substr(2, 2), static_cast<int>(day));
    hour = text::StrToIntDef(mdhm.substr(4, 2), static_cast<int>(hour));
    minute = text::StrToIntDef(mdhm.substr(6, 2), static_cast<int>(minute));
  }
  return calendar::Join(static_cast<int>(parts.Date.year()), month, day, hour, minute, parts.Second()).value_or(now);
}

// Where the weather data begins. A position decoder leaves the text after the
// position in Comment before it hands a weather station on, so that is where
// the data starts; a report without position starts at the field's start.
std::size_t WeatherDataStart(const TAprsPacket& packet) {
  const std::string_view info = packet.InfoField;
  const std::string_view rest = packet.Comment;
  switch (packet.DataType) {
    case TAprsDataType::dtWeatherReport:
    case TAprsDataType::dtPeetBrosUII1:
    case TAprsDataType::dtPeetBrosUII2: return 0;
    default: break;
  }
  if (rest.size() <= info.size() && info.substr(info.size() - rest.size()) == rest) return info.size() - rest.size();
  return 0;
}

}  // namespace

void DecodeWeather(TAprsPacket& packet) {
  const std::size_t dataStart = WeatherDataStart(packet);
  packet.HasWeather = true;
  packet.Comment.clear();
  const std::string_view info = packet.InfoField;

  // Without a time stamp every part is the current one: the time to the second.
  const TMatch stamp(wpTime, info);
  packet.WxTime = WeatherTime(stamp.Group(1), NowUtc());

  if (const TMatch m(wpPressure, info); m.Found()) packet.Pressure = ValueAfterLetter(m.Group(1)) / 10.0;
  if (const TMatch m(wpHumidity, info); m.Found()) {
    packet.Humidity = ValueAfterLetter(m.Group(1));
    // Two digits cannot say 100 percent; APRS sends "h00" for it.
    if (m.Group(1) == "h00") packet.Humidity = 100;
  }
  if (const TMatch m(wpRain24Hours, info); m.Found()) packet.Rain24Hours = ValueAfterLetter(m.Group(1)) / 100.0;
  if (const TMatch m(wpRainLastHour, info); m.Found()) packet.RainLastHour = ValueAfterLetter(m.Group(1)) / 100.0;
  if (const TMatch m(wpRainSinceMidnight, info); m.Found())
    packet.RainSinceMidnight = ValueAfterLetter(m.Group(1)) / 100.0;
  if (const TMatch m(wpTemperature, info); m.Found()) packet.Temperature = ValueAfterLetter(m.Group(1));

  // "ddd/sss" directly follows the weather symbol; searched from there, so
  // that a local-time stamp and the latitude after it ("092345/4903.50N")
  // cannot pass for a wind direction and speed.
  if (const TMatch m(wpWindPair, info, dataStart); m.Found()) {
    packet.WindDirection = text::StrToIntDef(m.Group(1), 0);
    packet.WindSpeed = text::StrToIntDef(m.Group(2), 0);
  }
  if (const TMatch m(wpWindDirection, info); m.Found()) packet.WindDirection = ValueAfterLetter(m.Group(1));
  if (const TMatch m(wpWindSpeed, info); m.Found()) packet.WindSpeed = ValueAfterLetter(m.Group(1));
  if (const TMatch m(wpWindGust, info); m.Found()) packet.WindGust = ValueAfterLetter(m.Group(1));
}

void DecodeWeatherReport(std::string_view, TAprsPacket& packet) {
  packet.HasWeather = true;
  DecodeWeather(packet);
}

}  // namespace aprs
