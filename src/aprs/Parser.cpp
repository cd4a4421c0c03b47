// The monitor-line parser: header, path facts and data type of one line.
//
//   N0CALL>APRS,DIGI1*,WIDE2-1 Port=1 <UI>:!4903.50N/07201.75W-Test
#include <chrono>
#include <cstdint>
#include <exception>

#include "APRSParser.h"
#include "Calendar.h"
#include "Text.h"

namespace aprs {

using text::ContainsUpper;
using text::Trim;
using text::Upper;

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Longest source callsign: nine characters, ten when one of them is a "*".
constexpr std::size_t kMaxGtPosition = 10;

TUtcClock& ClockSlot() {
  static TUtcClock clock;
  return clock;
}

// Position (0-based) of the ":" that ends `tag` in `s`, or npos.
std::size_t TailStart(std::string_view s, std::string_view tag) {
  const std::size_t p = s.find(tag);
  return p == npos ? npos : p + tag.size() - 1;
}

// The used-hop pairs "n-m" (7 >= n > m >= 1) that occur in a path element, as
// bits n * 8 + m: one scan instead of a search per pair.
std::uint64_t HopPairs(std::string_view element) {
  std::uint64_t pairs = 0;
  for (std::size_t i = 1; i + 1 < element.size(); ++i) {
    if (element[i] != '-') continue;
    const int n = element[i - 1] - '0';
    const int m = element[i + 1] - '0';
    if (n >= 2 && n <= 7 && m >= 1 && m < n) pairs |= std::uint64_t{1} << (n * 8 + m);
  }
  return pairs;
}

int HopsOfPairs(std::uint64_t pairs) {
  int hops = 0;
  for (int n = 7; n >= 2; --n)
    for (int m = n - 1; m >= 1; --m)
      if (pairs & (std::uint64_t{1} << (n * 8 + m))) hops += n - m;
  return hops;
}

// The comma split of a path: a trimmed token is cut off the front of the
// trimmed remainder, as NextToken does, without building new strings.
std::string_view NextPathToken(std::string_view& rest) {
  const std::size_t d = rest.find(',');
  if (d == npos) {
    const std::string_view token = Trim(rest);
    rest = {};
    return token;
  }
  const std::string_view token = Trim(rest.substr(0, d));
  rest = Trim(rest.substr(d + 1));
  return token;
}

// "Q" constructs (qAR, qAC, ...) of three characters are not digipeaters.
bool IsQConstruct(std::string_view element) { return element.size() == 3 && text::ToUpper(element[0]) == 'Q'; }

bool IsGenericAlias(std::string_view upperElement) {
  return text::StartsWith(upperElement, "WIDE") || text::StartsWith(upperElement, "IGATE") ||
         text::StartsWith(upperElement, "TRACE") || text::StartsWith(upperElement, "RELAY") ||
         IsQConstruct(upperElement);
}

}  // namespace

TDateTime SystemNowUtc() { return calendar::FromSystemTime(std::chrono::system_clock::now()); }

TDateTime NowUtc() {
  const TUtcClock& clock = ClockSlot();
  return clock ? clock() : SystemNowUtc();
}

TUtcClock SetUtcClock(TUtcClock clock) {
  TUtcClock previous = std::move(ClockSlot());
  ClockSlot() = std::move(clock);
  return previous;
}

std::string StripUiTag(std::string_view line) {
  const std::size_t ui = line.find("<UI");
  if (ui == npos) return std::string(line);
  const std::size_t colon = line.find(':');
  const std::size_t dbl = line.find("<<UI");

  std::string_view head;
  std::size_t tail = npos;
  if (dbl != npos && (colon == npos || colon < dbl)) {
    head = line.substr(0, colon == npos ? 0 : colon);
    tail = TailStart(line, ">>:");
  } else if (colon == npos || colon < ui) {
    head = line.substr(0, colon == npos ? 0 : colon);
    tail = TailStart(line, ">:");
  } else if (dbl != npos) {
    head = line.substr(0, dbl);
    tail = TailStart(line, ">>:");
  } else {
    head = line.substr(0, ui);
    tail = TailStart(line, ">:");
  }

  std::string out(Trim(head));
  if (tail != npos) out += Trim(line.substr(tail));
  return out;
}

TAprsDataType DataTypeOf(std::string_view info) {
  if (info.empty()) return TAprsDataType::dtBeacon;
  for (int i = 0; i < kDataTypeCount; ++i) {
    if (DataTypeTable[static_cast<std::size_t>(i)][0] == info[0]) {
      const auto type = static_cast<TAprsDataType>(i);
      return type == TAprsDataType::dtUnknown ? TAprsDataType::dtBeacon : type;
    }
  }
  return TAprsDataType::dtBeacon;
}

TCallsignRec SplitCallsign(std::string_view textIn) {
  TCallsignRec rec;
  rec.Callsign = Upper(textIn);
  rec.Call = rec.Callsign;
  const std::string& s = rec.Callsign;
  if (s.empty()) return rec;
  if (s.find('-') != npos && text::IsDigit(s.back())) {
    std::size_t stop = s.size();  // 0-based index of the stop character, walking backwards
    while (stop > 0) {
      const char c = s[stop - 1];
      if (c == '-' || text::IsUpper(c)) break;
      --stop;
    }
    if (stop > 0) {
      const bool dash = s[stop - 1] == '-';
      rec.Call = s.substr(0, dash ? stop - 1 : stop);
    }
  }
  return rec;
}

std::string NextToken(std::string& textInOut, std::string_view delimiters) {
  const std::size_t d = textInOut.find_first_of(delimiters);
  if (d == npos) {
    std::string token(Trim(textInOut));
    textInOut.clear();
    return token;
  }
  std::string token(Trim(std::string_view(textInOut).substr(0, d)));
  textInOut = std::string(Trim(std::string_view(textInOut).substr(d + 1)));
  return token;
}

int CountHops(const TAprsPacket& packet) {
  if (packet.ViaInternet) return 0;
  int hops = 0;
  for (const std::string& element : packet.Digipeaters) {
    if (!element.empty() && element.back() == '*') {
      const char before = element.size() >= 2 ? element[element.size() - 2] : '\0';
      // WIDE3* has used three hops; WIDE3-1* and a plain call one.
      const bool countedAlias = element.find('-') == npos && before >= '1' && before <= '7';
      hops += countedAlias ? before - '0' : 1;
    } else if (IsQConstruct(element)) {
      hops += 1;
    } else {
      hops += HopsOfPairs(HopPairs(element));  // WIDE3-1 has used two
    }
  }
  return hops;
}

void SetPathFlags(std::string_view path, TAprsPacket& packet) {
  packet.ViaTcpXX = ContainsUpper(path, "TCPXX");
  packet.ViaInternet = ContainsUpper(path, "TCPIP") || packet.ViaTcpXX || ContainsUpper(path, "<UI C>");
}

void ParsePath(std::string_view path, TAprsPacket& packet) {
  SetPathFlags(path, packet);

  std::string_view rest = path;
  for (;;) {
    const std::string_view token = NextPathToken(rest);
    if (token.empty()) break;
    packet.Digipeaters.emplace_back(token);
  }

  std::uint64_t pairs = 0;
  for (const std::string& element : packet.Digipeaters) {
    if (element.find('*') != npos) packet.HeardDirectly = false;
    pairs |= HopPairs(element);
  }
  // A WIDEn-N whose N is below n has been through a digipeater even without a "*".
  if (pairs != 0) packet.HeardDirectly = false;

  packet.ReversePath.clear();
  if (!packet.ViaInternet && !packet.HeardDirectly) {
    std::string reverse;
    for (std::size_t i = packet.Digipeaters.size(); i-- > 0;) {
      std::string element = Upper(packet.Digipeaters[i]);
      if (IsGenericAlias(element)) continue;
      if (!element.empty() && element.back() == '*') element.pop_back();
      reverse += ',';
      reverse += element;
    }
    if (!reverse.empty()) reverse.erase(0, 1);
    packet.ReversePath = std::move(reverse);
  }

  packet.HopCount = CountHops(packet);
}

std::unique_ptr<TAprsPacket> ParsePacket(std::string_view line) {
  try {
    const TDateTime now = NowUtc();
    std::string s = StripUiTag(line);

    const std::size_t gt = s.find('>');
    const std::size_t colon = s.find(':');
    if (gt == npos) return nullptr;
    const std::size_t gtPos = gt + 1;  // 1-based, as the limits are stated
    const bool starInSource = s.find('*') < gtPos;
    if (gtPos > kMaxGtPosition + (starInSource ? 1 : 0)) return nullptr;
    if (colon == npos || gt >= colon) return nullptr;

    const std::string_view view(s);
    const std::string_view info = view.substr(colon + 1);
    const TAprsDataType type = DataTypeOf(info);

    auto packet = std::make_unique<TAprsPacket>();
    packet->Received = now;
    packet->TimeStamp = now;
    packet->TimeStampValid = true;
    packet->DataType = type;

    std::string_view header = view.substr(0, colon);
    packet->InfoField = (type == TAprsDataType::dtUnknown || type == TAprsDataType::dtBeacon) ? info : info.substr(1);

    // The host may insert "Port=n" after the path.
    if (const std::size_t port = text::FindUpper(header, "PORT="); port != npos) header = Trim(header.substr(0, port));
    packet->Header = std::string(header);

    std::string source = Upper(view.substr(0, gt));
    if (source.find('*') != npos) source.pop_back();
    packet->Source = SplitCallsign(Trim(source));

    const std::size_t headerGt = header.find('>');
    const std::string_view rest = headerGt == npos ? header : header.substr(headerGt + 1);
    if (const std::size_t comma = rest.find(','); comma != npos) {
      packet->DestCallsign = Upper(rest.substr(0, comma));
      ParsePath(rest.substr(comma + 1), *packet);
    } else if (const std::size_t restGt = rest.find('>'); restGt != npos) {
      packet->DestCallsign = Upper(rest.substr(restGt + 1));
      ParsePath({}, *packet);
    } else {
      packet->DestCallsign = Upper(rest);
    }

    packet->RawPacket = std::move(s);

    DecodeInfoField(*packet);

    TPositionRec& pos = packet->Position;
    if (pos.Valid && pos.GridSquare.empty()) {
      pos.GridSquare = LatLonToLocator(pos.Longitude.Value, pos.Latitude.Value);
      if (pos.GridSquare.size() != 6) pos.GridSquare.clear();
    }

    packet->IsValid = packet->DataType != TAprsDataType::dtUnknown && !packet->Source.Call.empty();
    return packet;
  } catch (...) {
    // Whatever went wrong inside the decoders, the caller only sees "no packet".
    return nullptr;
  }
}

}  // namespace aprs
