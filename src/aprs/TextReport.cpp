// The packet's sectioned text report: one labelled line per field, CR LF
// between lines, dates and floating values in the user's locale.
#include "TextReport.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <sstream>
#include <string_view>

#include "APRSParser.h"
#include "Calendar.h"
#include "Text.h"

namespace aprs {

namespace {

constexpr std::string_view kLineBreak = "\r\n";
// Every field line starts with its name right-aligned in 23 characters and ": ".
constexpr std::size_t kLabelNameWidth = 23;
// std::tm counts years from 1900.
constexpr int kTmBaseYear = 1900;

// The broken-down form of a TDateTime inside years 1 to 9999 that the locale's formatter takes.
std::tm BrokenDown(TDateTime value) {
  const calendar::TDateParts parts = calendar::SplitAsWritten(value);
  std::tm tm{};
  tm.tm_year = static_cast<int>(parts.Date.year()) - kTmBaseYear;
  tm.tm_mon = static_cast<int>(static_cast<unsigned>(parts.Date.month())) - 1;
  tm.tm_mday = static_cast<int>(parts.Day());
  tm.tm_hour = static_cast<int>(parts.Hour());
  tm.tm_min = static_cast<int>(parts.Minute());
  tm.tm_sec = static_cast<int>(parts.Second());
  tm.tm_wday = calendar::WeekDay(parts.Date);
  tm.tm_yday = calendar::YearDay(parts.Date);
  return tm;
}

std::string IsoDateTime(const std::tm& tm) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + kTmBaseYear, tm.tm_mon + 1, tm.tm_mday,
                tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

std::string WithSeparator(std::string number, const TReportLocale& locale) {
  if (locale.DecimalSeparator == ".") return number;
  if (const std::size_t dot = number.find('.'); dot != std::string::npos)
    number.replace(dot, 1, locale.DecimalSeparator);
  return number;
}

// "%.2f" in the locale's separator.
std::string Fixed2(double value, const TReportLocale& locale) {
  char buf[400];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
  return ec == std::errc() ? WithSeparator(std::string(buf, end), locale) : std::string();
}

std::string YesNo(bool value) { return value ? "Yes" : "No"; }

std::string CharText(char c) { return std::string(1, c == 0 ? ' ' : c); }

// Path elements joined by commas; an element with a space or comma is quoted.
std::string JoinDigipeaters(const std::vector<std::string>& elements) {
  std::string out;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (i > 0) out += ',';
    const std::string& e = elements[i];
    if (e.find_first_of(" ,") != std::string::npos) {
      out += '"';
      out += e;
      out += '"';
    } else {
      out += e;
    }
  }
  return out;
}

class TReportWriter {
 public:
  explicit TReportWriter(const TReportLocale& locale) : m_locale(locale) {}

  // The header title opens the text; every other section starts with a line break.
  void Title(std::string_view title, bool opensText) {
    if (!opensText) m_out += kLineBreak;
    m_out += title;
  }

  void Field(std::string_view name, std::string_view value, std::string_view unit = {}) {
    m_out += kLineBreak;
    if (name.size() < kLabelNameWidth) m_out.append(kLabelNameWidth - name.size(), ' ');
    m_out += name;
    m_out += ": ";
    m_out += value;
    m_out += unit;
  }

  void Field(std::string_view name, int value, std::string_view unit = {}) { Field(name, std::to_string(value), unit); }

  void BlankLine() { m_out += kLineBreak; }

  std::string Date(TDateTime value, bool zeroAsTime = false) const {
    return FormatReportDateTime(value, m_locale, zeroAsTime);
  }
  std::string Fixed(double value) const { return Fixed2(value, m_locale); }
  std::string General(double value) const { return text::FormatGeneral(value, m_locale.DecimalSeparator); }

  std::string Take() { return std::move(m_out); }

 private:
  const TReportLocale& m_locale;
  std::string m_out;
};

void WriteHeader(const TAprsPacket& p, TReportWriter& w) {
  w.Title(" << Packet ---------------------------------------------->>", true);
  w.Field("Received", w.Date(p.Received, true), " UTC");
  w.Field("Original Packet", p.RawPacket);
  w.Field("Header", p.Header);
  w.Field("Source CallSign", p.Source.Callsign);
  w.Field("Destination Callsign", p.DestCallsign);
  w.Field("Digipeaters", JoinDigipeaters(p.Digipeaters));
  w.Field("Hop Count", p.HopCount);
  w.Field("Reverse Path", p.ReversePath);
  w.Field("Comment", p.Comment);
  w.Field("Heard Directly", YesNo(p.HeardDirectly));
  w.Field("Information Field", p.InfoField);
  w.Field("Data Type Ch", std::string(1, p.DataTypeChar()));
  w.Field("Data Type", p.DataTypeText());
  w.Field("From TH-D7", YesNo(p.FromTHD7));
  w.Field("From TM-D700", YesNo(p.FromTMD700));
  w.Field("Time Stamp", w.Date(p.TimeStamp), p.TimeStampValid ? " UTC (Valid)" : " UTC (Invalid)");
  w.Field("Symbol", CharText(p.SymbolTable) + CharText(p.SymbolCode));
}

void WritePosition(const TAprsPacket& p, TReportWriter& w) {
  const TPositionRec& pos = p.Position;
  w.Title(" << Position >> ", false);
  w.Field("Raw Gps", pos.RawGps);
  w.Field("Lat", pos.Latitude.Text + " (" + w.Fixed(pos.Latitude.Value) + ")");
  w.Field("Lon", pos.Longitude.Text + " (" + w.Fixed(pos.Longitude.Value) + ")");
  w.Field("Grid Square", pos.GridSquare);
  w.Field("Course", pos.Course);
  w.Field("Speed", pos.Speed);
  w.Field("Altitude", pos.Altitude);
  w.Field("Mobile", YesNo(pos.Mobile));
}

void WriteMessage(const TAprsPacket& p, TReportWriter& w) {
  const TAprsMessageData& m = p.Message;
  w.Title(" << Message >> ", false);
  w.Field("Msg Type", m.MsgType < MessageTypeNames.size() ? MessageTypeNames[m.MsgType] : std::string_view());
  w.Field("Addressee", m.Addressee);
  w.Field("Msg Text", m.Text);
  w.Field("NWS State", m.NwsState);
  w.Field("Seq#", m.SeqNo);
  w.Field("Msg Index", m.MsgIndex);
}

void WriteObject(const TAprsPacket& p, TReportWriter& w) {
  w.Title(" << Object/Item >> ", false);
  w.Field("Name", p.AprsObject.Name);
  w.Field("Active", YesNo(p.AprsObject.Active));
}

void WriteCapabilities(const TAprsPacket& p, TReportWriter& w) {
  const TStationCapabilitiesRec& c = p.Capabilities;
  w.Title(" << Station Capabilities >> ", false);
  w.Field("Raw Data", c.RawData);
  w.Field("Power", c.Power, " watts");
  w.Field("Antenna HAAT", c.Antenna.Haat, "ft");
  w.Field("Antenna Gain", c.Antenna.Gain, "db");
  w.Field("Antenna Heading", c.Antenna.HeadingName);
  w.Field("Radio Range", w.Fixed(c.Range), " miles");
  w.Field("PHG String", c.PhgString);
  w.Field("Relaxed PHG Checking", RelaxedPhgChecking ? "On" : "Off");
  w.Field("Spec Compliant", YesNo(!c.PhgNonStandard));
  w.Field("Beacon Rate", c.BeaconRate);
}

void WriteDfReport(const TAprsPacket& p, TReportWriter& w) {
  const TDFReportRec& d = p.DFReport;
  w.Title(" << DF Report >> ", false);
  std::string signal = "S";
  signal += std::to_string(d.Signal);  // appending keeps g++ 12's -Wrestrict quiet
  w.Field("Signal Report", signal);
  w.Field("Antenna HAAT", d.Antenna.Haat, "ft");
  w.Field("Antenna Gain", d.Antenna.Gain, "db");
  w.Field("Antenna Heading", d.Antenna.HeadingName);
  w.Field("Radio Range", w.Fixed(d.Range), " miles");
  w.Field("DFS String", d.DfsString);
  w.Field("Has Weather Data", YesNo(p.HasWeather));
}

void WriteWeather(const TAprsPacket& p, TReportWriter& w) {
  w.Title(" << Weather >> ", false);
  w.Field("Time Stamp", w.Date(p.WxTime), " UTC");
  w.Field("Temperature", p.Temperature, "F");
  w.Field("Humidity", p.Humidity, "%");
  w.Field("Barometric Pressure", w.General(p.Pressure), " mb");
  w.Field("Rain Past Hour", w.General(p.RainLastHour), " in");
  w.Field("Rain Past 24 Hours", w.General(p.Rain24Hours), " in");
  w.Field("Rain Since Midnight", w.General(p.RainSinceMidnight), " in");
  w.Field("Wind Speed", p.WindSpeed, " mph");
  w.Field("Wind Direction", p.WindDirection, " degrees");
  w.Field("Wind Gust", p.WindGust, " mph");
}

const std::locale& UserLocale() {
  static const std::locale user = [] {
    try {
      return std::locale("");
    } catch (const std::exception&) {
      // An unknown LANG or LC_ALL: report in the classic form rather than fail.
      return std::locale::classic();
    }
  }();
  return user;
}

}  // namespace

TReportLocale ReportLocaleFrom(const std::locale& locale) {
  TReportLocale out;
  out.DecimalSeparator = std::string(1, std::use_facet<std::numpunct<char>>(locale).decimal_point());
  out.FormatDateTime = [locale](const std::tm& tm) {
    std::ostringstream os;
    os.imbue(locale);
    os << std::put_time(&tm, "%x %X");
    return os.str();
  };
  return out;
}

const TReportLocale& UserReportLocale() {
  static const TReportLocale user = ReportLocaleFrom(UserLocale());
  return user;
}

std::string FormatReportDateTime(TDateTime value, const TReportLocale& locale, bool zeroAsTime) {
  if (value == 0.0 && !zeroAsTime) return {};
  if (!std::isfinite(value) || value < calendar::kFirstDay || value >= calendar::kEndDay)
    return WithSeparator(text::FormatReal(value), locale);
  const std::tm tm = BrokenDown(value);
  return locale.FormatDateTime ? locale.FormatDateTime(tm) : IsoDateTime(tm);
}

std::string FormatPacketReport(const TAprsPacket& packet, std::uint8_t flags, const TReportLocale& locale) {
  TReportWriter w(locale);
  if ((flags & tsHeader) != 0) WriteHeader(packet, w);
  if ((flags & tsPosition) != 0 && packet.Position.Valid) WritePosition(packet, w);
  if ((flags & tsMessage) != 0 && packet.Message.MsgType != mtUnknown) WriteMessage(packet, w);
  if ((flags & tsObject) != 0 && !packet.AprsObject.Name.empty()) WriteObject(packet, w);
  if ((flags & tsCapabilities) != 0 && packet.Capabilities.HasCapabilities) WriteCapabilities(packet, w);
  if ((flags & tsDfReport) != 0 && packet.DFReport.HasReport) WriteDfReport(packet, w);
  if ((flags & tsWeather) != 0 && packet.HasWeather) WriteWeather(packet, w);
  if (!packet.ErrorMessage.empty()) {
    w.BlankLine();
    w.Field("Error Message", packet.ErrorMessage);
  }
  return w.Take();
}

std::string TAprsPacket::AsText(std::uint8_t flags) const {
  return FormatPacketReport(*this, flags, UserReportLocale());
}

}  // namespace aprs
