#include "JsonOut.h"

#include <charconv>
#include <cmath>

#include "Text.h"

namespace tarvik::decode {

using nlohmann::ordered_json;

namespace {

ordered_json Str(std::string_view bytes) { return Latin1ToUtf8(bytes); }

ordered_json Chr(char c) { return c == 0 ? std::string() : Latin1ToUtf8(std::string_view(&c, 1)); }

// A float widened to double would print as 20.1299991607666; going through the
// float's own shortest text gives the double nearest to 20.13, which prints so.
ordered_json Single(float value) {
  const std::string shortest = text::FormatReal(value);
  double widened = static_cast<double>(value);
  std::from_chars(shortest.data(), shortest.data() + shortest.size(), widened);
  return widened;
}

ordered_json Antenna(const aprs::TAntenna& a) {
  ordered_json j;
  j["Gain"] = a.Gain;
  j["Haat"] = a.Haat;
  j["Heading"] = a.Heading;
  j["HeadingName"] = Str(a.HeadingName);
  return j;
}

ordered_json Coordinate(const aprs::TCoordinateRec& c) {
  ordered_json j;
  j["Text"] = Str(c.Text);
  j["Value"] = c.Value;
  return j;
}

ordered_json DfReport(const aprs::TDFReportRec& d) {
  ordered_json j;
  j["Range"] = Single(d.Range);
  j["Signal"] = d.Signal;
  j["Power"] = d.Power;
  j["Antenna"] = Antenna(d.Antenna);
  j["DfsString"] = Str(d.DfsString);
  j["HasReport"] = d.HasReport;
  return j;
}

ordered_json Message(const aprs::TAprsMessageData& m) {
  ordered_json j;
  j["Addressee"] = Str(m.Addressee);
  j["SeqNo"] = Str(m.SeqNo);
  j["Text"] = Str(m.Text);
  j["MsgType"] = static_cast<int>(m.MsgType);
  j["NwsState"] = Str(m.NwsState);
  j["MsgIndex"] = m.MsgIndex;
  return j;
}

ordered_json Object(const aprs::TAprsObjectData& o) {
  ordered_json j;
  j["Active"] = o.Active;
  j["Name"] = Str(o.Name);
  return j;
}

ordered_json Position(const aprs::TPositionRec& p) {
  ordered_json j;
  j["RawGps"] = Str(p.RawGps);
  j["Latitude"] = Coordinate(p.Latitude);
  j["Longitude"] = Coordinate(p.Longitude);
  j["Course"] = p.Course;
  j["Speed"] = p.Speed;
  j["Altitude"] = p.Altitude;
  j["Mobile"] = p.Mobile;
  j["Valid"] = p.Valid;
  j["GridSquare"] = Str(p.GridSquare);
  return j;
}

ordered_json Callsign(const aprs::TCallsignRec& c) {
  ordered_json j;
  j["Callsign"] = Str(c.Callsign);
  j["Call"] = Str(c.Call);
  return j;
}

ordered_json Capabilities(const aprs::TStationCapabilitiesRec& c) {
  ordered_json j;
  j["RawData"] = Str(c.RawData);
  j["Range"] = Single(c.Range);
  j["Power"] = c.Power;
  j["Antenna"] = Antenna(c.Antenna);
  j["PhgString"] = Str(c.PhgString);
  j["PhgNonStandard"] = c.PhgNonStandard;
  j["BeaconRate"] = c.BeaconRate;
  j["DefaultPhg"] = c.DefaultPhg;
  j["HasCapabilities"] = c.HasCapabilities;
  return j;
}

}  // namespace

ordered_json PacketToJson(const aprs::TAprsPacket& p) {
  ordered_json j;
  j["Comment"] = Str(p.Comment);
  j["DataType"] = std::string(aprs::DataTypeName(p.DataType));
  j["DestCallsign"] = Str(p.DestCallsign);
  j["DFReport"] = DfReport(p.DFReport);
  j["Digipeaters"] = ordered_json::array();
  for (const std::string& d : p.Digipeaters) j["Digipeaters"].push_back(Str(d));
  j["HopCount"] = p.HopCount;
  j["ErrorMessage"] = Str(p.ErrorMessage);
  j["FromTHD7"] = p.FromTHD7;
  j["FromTMD700"] = p.FromTMD700;
  j["HeardDirectly"] = p.HeardDirectly;
  j["InfoField"] = Str(p.InfoField);
  j["Message"] = Message(p.Message);
  j["AprsObject"] = Object(p.AprsObject);
  j["Position"] = Position(p.Position);
  j["RawPacket"] = Str(p.RawPacket);
  j["ReversePath"] = Str(p.ReversePath);
  j["Source"] = Callsign(p.Source);
  j["Header"] = Str(p.Header);
  j["Capabilities"] = Capabilities(p.Capabilities);
  j["SymbolCode"] = Chr(p.SymbolCode);
  j["SymbolTable"] = Chr(p.SymbolTable);
  j["ViaTcpXX"] = p.ViaTcpXX;
  j["ViaInternet"] = p.ViaInternet;
  j["Received"] = p.Received;
  j["TimeStamp"] = p.TimeStamp;
  j["TimeStampValid"] = p.TimeStampValid;
  j["IsValid"] = p.IsValid;
  j["WxTime"] = p.WxTime;
  j["Pressure"] = p.Pressure;
  j["Humidity"] = p.Humidity;
  j["RainLastHour"] = p.RainLastHour;
  j["Rain24Hours"] = p.Rain24Hours;
  j["RainSinceMidnight"] = p.RainSinceMidnight;
  j["Temperature"] = p.Temperature;
  j["WindDirection"] = p.WindDirection;
  j["WindGust"] = p.WindGust;
  j["WindSpeed"] = p.WindSpeed;
  j["HasWeather"] = p.HasWeather;
  return j;
}

namespace {

// nlohmann writes reals with Grisu2, which now and then gives a digit more than
// needed (121.87295399999999 for 121.872954); std::to_chars gives the shortest.
void AppendReal(double value, std::string& out) {
  if (!std::isfinite(value)) {
    out += "null";  // as nlohmann writes NaN and infinities
    return;
  }
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  const std::string_view text(buf, ec == std::errc() ? static_cast<std::size_t>(end - buf) : 0);
  out += text;
  if (text.find_first_of(".e") == std::string_view::npos) out += ".0";  // keep it a real: 990.0
}

void AppendJson(const ordered_json& j, std::string& out) {
  switch (j.type()) {
    case ordered_json::value_t::object: {
      out += '{';
      bool first = true;
      for (const auto& item : j.items()) {
        if (!first) out += ',';
        first = false;
        out += ordered_json(item.key()).dump();
        out += ':';
        AppendJson(item.value(), out);
      }
      out += '}';
      break;
    }
    case ordered_json::value_t::array: {
      out += '[';
      for (std::size_t i = 0; i < j.size(); ++i) {
        if (i > 0) out += ',';
        AppendJson(j[i], out);
      }
      out += ']';
      break;
    }
    case ordered_json::value_t::number_float: AppendReal(j.get<double>(), out); break;
    default:
      out += j.dump();  // strings (escaped by nlohmann), integers, booleans, null
      break;
  }
}

}  // namespace

std::string DumpJson(const ordered_json& j) {
  std::string out;
  AppendJson(j, out);
  return out;
}

std::string JsonLine(const aprs::TAprsPacket* packet) {
  return packet == nullptr ? std::string("null") : DumpJson(PacketToJson(*packet));
}

}  // namespace tarvik::decode
