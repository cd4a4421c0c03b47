#include "HeardDirectly.h"

#include <algorithm>
#include <array>

#include "Text.h"

namespace tarvik {

namespace {

constexpr char kUsedMark = '*';
constexpr std::size_t kMinBaseLength = 3;
constexpr std::size_t kMaxBaseLength = 6;  // an AX.25 address field
constexpr std::size_t kMaxSsidLength = 2;
constexpr std::size_t kQConstructLength = 3;
constexpr std::string_view kPortTag = "PORT=";

// Words that digipeaters answer to or that mark a route, never a station.
constexpr std::array<std::string_view, 10> kAliasPrefixes = {"WIDE",   "TRACE",  "RELAY", "TCPIP", "TCPXX",
                                                             "NOGATE", "RFONLY", "IGATE", "GATE",  "ECHO"};

bool IsAlnum(char c) { return text::IsDigit(c) || text::IsUpper(c); }

bool IsQConstruct(std::string_view element) {
  return element.size() == kQConstructLength && element[0] == 'q' && element[1] == 'A';
}

// qAR: gated by a verified IGate; qAo: gated by a receive-only IGate.
bool IsRadioGate(std::string_view element) { return element == "qAR" || element == "qAo"; }

std::string_view WithoutUsedMark(std::string_view element) {
  if (!element.empty() && element.back() == kUsedMark) element.remove_suffix(1);
  return element;
}

bool HasPortTag(const aprs::TAprsPacket& packet) {
  const std::string_view raw = packet.RawPacket;
  return text::FindUpper(raw.substr(0, raw.find(':')), kPortTag) != std::string_view::npos;
}

}  // namespace

bool IsStationElement(std::string_view element) {
  const std::string upper = text::Upper(WithoutUsedMark(element));
  if (IsQConstruct(WithoutUsedMark(element))) return false;
  for (const std::string_view alias : kAliasPrefixes)
    if (text::StartsWith(upper, alias)) return false;
  const std::string_view call = upper;
  const std::size_t dash = call.find('-');
  const std::string_view base = call.substr(0, dash);
  if (base.size() < kMinBaseLength || base.size() > kMaxBaseLength) return false;
  if (!std::all_of(base.begin(), base.end(), IsAlnum)) return false;
  if (std::none_of(base.begin(), base.end(), text::IsDigit) || !text::IsUpper(base.back())) return false;
  if (dash == std::string_view::npos) return true;
  const std::string_view ssid = call.substr(dash + 1);
  return !ssid.empty() && ssid.size() <= kMaxSsidLength && std::all_of(ssid.begin(), ssid.end(), IsAlnum);
}

std::string HeardDirectlyBy(const aprs::TAprsPacket& packet, std::string_view myCall) {
  using aprs::TAprsDataType;
  if (packet.ViaInternet || packet.ViaTcpXX) return {};
  if (packet.DataType == TAprsDataType::dtThirdParty || packet.DataType == TAprsDataType::dtObject ||
      packet.DataType == TAprsDataType::dtItem)
    return {};

  const std::vector<std::string>& path = packet.Digipeaters;
  const auto gate = std::find_if(path.begin(), path.end(), [](const std::string& e) { return IsQConstruct(e); });
  const bool hopUsed =
      std::any_of(path.begin(), gate, [](const std::string& e) { return e.find(kUsedMark) != std::string::npos; });

  std::string receiver;
  if (hopUsed) {
    if (IsStationElement(path.front())) receiver = std::string(WithoutUsedMark(path.front()));
  } else if (gate != path.end()) {
    const auto igate = gate + 1;
    if (IsRadioGate(*gate) && igate != path.end() && IsStationElement(*igate)) receiver = *igate;
  } else if (packet.HeardDirectly && HasPortTag(packet)) {
    receiver = std::string(myCall);
  }
  receiver = text::Upper(receiver);
  if (receiver == packet.Source.Callsign) return {};
  return receiver;
}

}  // namespace tarvik
