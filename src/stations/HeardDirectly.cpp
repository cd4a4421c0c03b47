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

bool IsAlnum(char c) { return text::IsDigit(c) || text::IsUpper(text::ToUpper(c)); }

bool StartsWithUpper(std::string_view s, std::string_view upperPrefix) {
  if (s.size() < upperPrefix.size()) return false;
  for (std::size_t i = 0; i < upperPrefix.size(); ++i)
    if (text::ToUpper(s[i]) != upperPrefix[i]) return false;
  return true;
}

bool EqualsUpper(std::string_view s, std::string_view upper) {
  return s.size() == upper.size() && StartsWithUpper(s, upper);
}

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
  // The shape of a callsign first: it already rules out every usual alias.
  const std::string_view call = WithoutUsedMark(element);
  const std::size_t dash = call.find('-');
  const std::string_view base = call.substr(0, dash);
  if (base.size() < kMinBaseLength || base.size() > kMaxBaseLength) return false;
  if (!std::all_of(base.begin(), base.end(), IsAlnum)) return false;
  if (std::none_of(base.begin(), base.end(), text::IsDigit) || text::IsDigit(base.back())) return false;
  if (dash != std::string_view::npos) {
    const std::string_view ssid = call.substr(dash + 1);
    if (ssid.empty() || ssid.size() > kMaxSsidLength || !std::all_of(ssid.begin(), ssid.end(), IsAlnum)) return false;
  }
  for (const std::string_view alias : kAliasPrefixes)
    if (StartsWithUpper(call, alias)) return false;
  return true;
}

std::string_view HeardDirectlyAsSent(const aprs::TAprsPacket& packet, std::string_view myCall) {
  using aprs::TAprsDataType;
  if (packet.ViaInternet || packet.ViaTcpXX) return {};
  if (packet.DataType == TAprsDataType::dtThirdParty || packet.DataType == TAprsDataType::dtObject ||
      packet.DataType == TAprsDataType::dtItem)
    return {};

  const std::vector<std::string>& path = packet.Digipeaters;
  const auto gate = std::find_if(path.begin(), path.end(), [](const std::string& e) { return IsQConstruct(e); });
  const bool hopUsed =
      std::any_of(path.begin(), gate, [](const std::string& e) { return !e.empty() && e.back() == kUsedMark; });

  std::string_view receiver;
  if (hopUsed) {
    if (IsStationElement(path.front())) receiver = WithoutUsedMark(path.front());
  } else if (gate != path.end()) {
    const auto igate = gate + 1;
    if (IsRadioGate(*gate) && igate != path.end() && IsStationElement(*igate)) receiver = *igate;
  } else if (packet.HeardDirectly && HasPortTag(packet)) {
    receiver = myCall;
  }
  if (EqualsUpper(receiver, packet.Source.Callsign)) return {};
  return receiver;
}

std::string HeardDirectlyBy(const aprs::TAprsPacket& packet, std::string_view myCall) {
  return text::Upper(HeardDirectlyAsSent(packet, myCall));
}

}  // namespace tarvik
