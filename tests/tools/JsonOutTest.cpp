#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "APRSParser.h"
#include "JsonOut.h"
#include "ParserGuards.h"

using namespace aprs;
using tarvik::decode::DumpJson;
using tarvik::decode::JsonLine;
using tarvik::decode::Latin1ToUtf8;
using tarvik::decode::PacketToJson;

namespace {

struct ByteCase {
  std::string bytes;
  std::string utf8;
};

TEST(JsonOut, EightBitTextMapsByteForByteToTheFirst256CodePoints) {
  // clang-format off
  const std::vector<ByteCase> cases = {
      {"", ""},
      {"TV1ABC", "TV1ABC"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
      {"\x7F", "\x7F"},
      {"\x80", "\xC2\x80"},
      {"\xBF", "\xC2\xBF"},
      {"\xC0", "\xC3\x80"},
      {"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},
      {"\xFF", "\xC3\xBF"},
      // Bytes that look like UTF-8 are still single characters each.
      {"\xC3\xA9", "\xC3\x83\xC2\xA9"},
  };
  // clang-format on
  for (const ByteCase& c : cases) EXPECT_EQ(Latin1ToUtf8(c.bytes), c.utf8) << c.bytes;
}

TEST(JsonOut, KeysFollowTheDeclaredFieldOrder) {
  const auto j = PacketToJson(TAprsPacket{});
  std::vector<std::string> keys;
  for (const auto& item : j.items()) keys.push_back(item.key());
  const std::vector<std::string> expected = {
      "Comment",   "DataType",    "DestCallsign",  "DFReport",    "Digipeaters",       "HopCount",    "ErrorMessage",
      "FromTHD7",  "FromTMD700",  "HeardDirectly", "InfoField",   "Message",           "AprsObject",  "Position",
      "RawPacket", "ReversePath", "Source",        "Header",      "Capabilities",      "SymbolCode",  "SymbolTable",
      "ViaTcpXX",  "ViaInternet", "Received",      "TimeStamp",   "TimeStampValid",    "IsValid",     "WxTime",
      "Pressure",  "Humidity",    "RainLastHour",  "Rain24Hours", "RainSinceMidnight", "Temperature", "WindDirection",
      "WindGust",  "WindSpeed",   "HasWeather"};
  EXPECT_EQ(keys, expected);
  EXPECT_EQ(DumpJson(j["Position"]),
            R"({"RawGps":"","Latitude":{"Text":"","Value":0.0},"Longitude":{"Text":"","Value":0.0},)"
            R"("Course":0,"Speed":0,"Altitude":0,"Mobile":false,"Valid":false,"GridSquare":""})");
  EXPECT_EQ(DumpJson(j["Capabilities"]),
            R"({"RawData":"","Range":0.0,"Power":0,"Antenna":{"Gain":0,"Haat":0,"Heading":0,"HeadingName":""},)"
            R"("PhgString":"","PhgNonStandard":false,"BeaconRate":0,"DefaultPhg":false,"HasCapabilities":false})");
  EXPECT_EQ(DumpJson(j["DFReport"]),
            R"({"Range":0.0,"Signal":0,"Power":0,"Antenna":{"Gain":0,"Haat":0,"Heading":0,"HeadingName":""},)"
            R"("DfsString":"","HasReport":false})");
  EXPECT_EQ(DumpJson(j["Message"]), R"({"Addressee":"","SeqNo":"","Text":"","MsgType":0,"NwsState":"","MsgIndex":0})");
  EXPECT_EQ(DumpJson(j["AprsObject"]), R"({"Active":false,"Name":""})");
  EXPECT_EQ(DumpJson(j["Source"]), R"({"Callsign":"","Call":""})");
  EXPECT_EQ(j["HeardDirectly"], true);
  EXPECT_EQ(DumpJson(j["Digipeaters"]), "[]");
}

TEST(JsonOut, ValuesKeepTheirMeaning) {
  TAprsPacket p;
  p.DataType = TAprsDataType::dtMicECurrent;
  p.SymbolCode = '>';
  p.SymbolTable = '\xE9';
  p.Comment = "\034caf\xE9";
  p.Digipeaters = {"TV2DIG*", "WIDE2-1"};
  p.Capabilities.Range = 20.13F;  // a float: prints as typed, not as 20.1299991607666
  p.DFReport.Range = 7.95F;
  p.Pressure = 1013.2;
  p.RainLastHour = 0.1 + 0.2;  // a double keeps its own shortest text
  p.Message.MsgType = mtAutoAnswer;
  p.Received = 46363.5;
  const auto j = PacketToJson(p);
  EXPECT_EQ(j["DataType"], "dtMicECurrent");
  EXPECT_EQ(DumpJson(j["SymbolCode"]), R"(">")");
  EXPECT_EQ(DumpJson(j["SymbolTable"]), "\"\xC3\xA9\"");
  EXPECT_EQ(DumpJson(j["Comment"]),
            "\"\\u001c"
            "caf\xC3\xA9\"");
  EXPECT_EQ(DumpJson(j["Digipeaters"]), R"(["TV2DIG*","WIDE2-1"])");
  EXPECT_EQ(DumpJson(j["Capabilities"]["Range"]), "20.13");
  EXPECT_EQ(DumpJson(j["DFReport"]["Range"]), "7.95");
  EXPECT_EQ(DumpJson(j["Pressure"]), "1013.2");
  EXPECT_EQ(DumpJson(j["RainLastHour"]), "0.30000000000000004");
  EXPECT_EQ(DumpJson(j["Message"]["MsgType"]), "7");
  EXPECT_EQ(DumpJson(j["Received"]), "46363.5");
  EXPECT_EQ(DumpJson(j["WxTime"]), "0.0");
}

struct RealCase {
  double value;
  const char* text;
};

TEST(JsonOut, RealsPrintInTheirShortestRoundTripForm) {
  // clang-format off
  const std::vector<RealCase> cases = {
      {121.872954, "121.872954"},  // nlohmann's own writer gives 121.87295399999999
      {-97.310257, "-97.310257"},
      {49.058333333333337, "49.05833333333334"},
      {990.0, "990.0"},
      {-0.0, "-0.0"},
      {1e300, "1e+300"},
      {5e-324, "5e-324"},
      {std::numeric_limits<double>::quiet_NaN(), "null"},
      {std::numeric_limits<double>::infinity(), "null"},
  };
  // clang-format on
  for (const RealCase& c : cases) EXPECT_EQ(DumpJson(nlohmann::ordered_json(c.value)), c.text) << c.text;
  // Nesting keeps the reals' form and the keys' order.
  nlohmann::ordered_json j;
  j["b"] = nlohmann::ordered_json::array({1.5, 2, "x"});
  j["a"] = {{"z", 121.872954}, {"y", nullptr}};
  EXPECT_EQ(DumpJson(j), R"({"b":[1.5,2,"x"],"a":{"z":121.872954,"y":null}})");
}

TEST(JsonOut, ARejectedLineIsNull) {
  EXPECT_EQ(JsonLine(nullptr), "null");
  const auto rejected = ParsePacket("TV1ABCDEFGH>APRS:>source of ten characters");
  EXPECT_EQ(JsonLine(rejected.get()), "null");
}

TEST(JsonOut, ParsedPacketIsOneLineOfValidJson) {
  const auto p = [] {
    const aprs::testing::PinnedClock clock(46363.5);
    return ParsePacket("TV1IGT>APDW17,TCPIP*,qAC,TV3GAT:?APRS? \xB0\xFF");
  }();
  ASSERT_NE(p, nullptr);
  const std::string line = JsonLine(p.get());
  EXPECT_EQ(line.find('\n'), std::string::npos);
  const auto back = nlohmann::ordered_json::parse(line);  // throws on invalid UTF-8 or syntax
  EXPECT_EQ(back["Source"]["Callsign"], "TV1IGT");
  EXPECT_EQ(back["DataType"], "dtQuery");
  EXPECT_EQ(back["InfoField"], "APRS? \xC2\xB0\xC3\xBF");
  EXPECT_EQ(back["ViaInternet"], true);
  EXPECT_EQ(back["Received"], 46363.5);
}

}  // namespace
