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
    R"((?P<wx_mdhm>\d{8}))",
    R"((b\d{5})|(b\.{5})|(b {5}))",
    R"((h\d\d)|(h\.\.)|(h  ))",
    R"((p\d{3})|(p\.{3})|(p {3}))",
    R"((r\d{3})|(r\.{3})|(r {3}))",
    R"((P\d{3})|(P\.{3})|(P {3}))",
    R"((t\d{3})|(t\.{3})|(t {3}))",
    R"((\d{3})/(\d{3}))",
    R"((c\d{3})|(c\.{3})|(c {3}))",
    R"((s\d{3})|(s\.{3})|(s {3}))",
    R"((g\d{3})|(g\.{3})|(g {3}))",
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
      m_codes[i] = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(kPatternTexts[i]), PCRE2_ZERO_TERMINATED,
                                 PCRE2_MULTILINE, &error, &offset, nullptr);
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

// ---- Calendar arithmetic on TDateTime (days since 1899-12-30) ---------------

constexpr std::int64_t kMsPerDay = 86400000;
constexpr std::int64_t kDaysFrom1899To1970 = 25569;
constexpr double kMaxDateTime = 2958466.0;  // 10000-01-01: beyond any calendar date

struct TCivil {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[static_cast<std::size_t>(m - 1)];
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

TCivil CivilFromDateTime(TDateTime t) {
  const std::int64_t totalMs = text::RoundHalfEven(t * static_cast<double>(kMsPerDay));
  std::int64_t days = totalMs / kMsPerDay;
  std::int64_t ms = totalMs % kMsPerDay;
  if (ms < 0) {
    ms += kMsPerDay;
    --days;
  }
  const std::int64_t z = days - kDaysFrom1899To1970 + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  TCivil c;
  c.Day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  c.Month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  c.Year = static_cast<int>(yoe + era * 400 + (c.Month <= 2 ? 1 : 0));
  c.Hour = static_cast<int>(ms / 3600000);
  c.Minute = static_cast<int>(ms / 60000 % 60);
  c.Second = static_cast<int>(ms / 1000 % 60);
  return c;
}

bool IsValidCivil(const TCivil& c) {
  return c.Year >= 1 && c.Year <= 9999 && c.Month >= 1 && c.Month <= 12 && c.Day >= 1 &&
         c.Day <= DaysInMonth(c.Year, c.Month) && c.Hour >= 0 && c.Hour < 24 && c.Minute >= 0 && c.Minute < 60 &&
         c.Second >= 0 && c.Second < 60;
}

TDateTime DateTimeFromCivil(const TCivil& c) {
  const auto days = static_cast<double>(DaysFromCivil(c.Year, c.Month, c.Day) + kDaysFrom1899To1970);
  return days + ((c.Hour * 60.0 + c.Minute) * 60.0 + c.Second) / 86400.0;
}

// MMDDHHMM of the current year and second; the current time when the month,
// day, hour or minute is impossible.
TDateTime WeatherTime(std::string_view mdhm, TDateTime now) {
  if (!std::isfinite(now) || now <= 0.0 || now >= kMaxDateTime) return now;
  TCivil c = CivilFromDateTime(now);
  if (mdhm.size() == 8) {
    c.Month = text::StrToIntDef(mdhm.substr(0, 2), c.Month);
    c.Day = text::StrToIntDef(mdhm.substr(2, 2), c.Day);
    c.Hour = text::StrToIntDef(mdhm.substr(4, 2), c.Hour);
    c.Minute = text::StrToIntDef(mdhm.substr(6, 2), c.Minute);
  }
  return IsValidCivil(c) ? DateTimeFromCivil(c) : now;
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
    case TAprsDataType::dtPeetBrosUII2:
      return 0;
    default:
      break;
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
