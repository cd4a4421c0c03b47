#include "Kiss.h"

#include <array>

namespace standin {

namespace {

constexpr std::size_t kAddressLength = 7;
constexpr std::size_t kMaxAddresses = 10;  // destination, source and eight digipeaters
constexpr unsigned char kControlUi = 0x03;
constexpr unsigned char kPidNoLayer3 = 0xF0;
constexpr unsigned char kEndOfAddress = 0x01;
constexpr unsigned char kHasBeenRepeated = 0x80;

bool IsCallsignChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// One shifted address field to "CALL-SSID"; nothing when it cannot be a callsign.
std::optional<std::string> DecodeAddress(std::string_view field) {
  std::string call;
  bool padding = false;
  for (std::size_t i = 0; i < 6; ++i) {
    const auto b = static_cast<unsigned char>(field[i]);
    if (b & 0x01) return std::nullopt;  // the low bit is only set in the SSID byte
    const char c = static_cast<char>(b >> 1);
    if (c == ' ') {
      padding = true;
      continue;
    }
    if (padding || !IsCallsignChar(c)) return std::nullopt;  // no blanks inside a callsign
    call += c;
  }
  if (call.empty()) return std::nullopt;
  const int ssid = (static_cast<unsigned char>(field[6]) >> 1) & 0x0F;
  if (ssid != 0) {
    call += '-';
    call += std::to_string(ssid);
  }
  return call;
}

// "CALL-SSID" to a shifted address field.
std::optional<std::string> EncodeAddress(std::string_view text, bool repeated, bool last) {
  std::string_view call = text;
  int ssid = 0;
  if (const auto dash = text.find('-'); dash != std::string_view::npos) {
    call = text.substr(0, dash);
    const std::string_view digits = text.substr(dash + 1);
    if (digits.empty() || digits.size() > 2) return std::nullopt;
    for (const char c : digits) {
      if (c < '0' || c > '9') return std::nullopt;
      ssid = ssid * 10 + (c - '0');
    }
    if (ssid > 15) return std::nullopt;
  }
  if (call.empty() || call.size() > 6) return std::nullopt;
  std::string field;
  for (std::size_t i = 0; i < 6; ++i) {
    const char c = i < call.size() ? call[i] : ' ';
    if (c != ' ' && !IsCallsignChar(c)) return std::nullopt;
    field += static_cast<char>(static_cast<unsigned char>(c) << 1);
  }
  unsigned char s = static_cast<unsigned char>(0x60 | (ssid << 1));
  if (repeated) s |= kHasBeenRepeated;
  if (last) s |= kEndOfAddress;
  field += static_cast<char>(s);
  return field;
}

}  // namespace

TAx25Result Ax25ToTnc2(std::string_view frame) {
  TAx25Result result;
  std::array<std::string, kMaxAddresses> calls;
  std::array<bool, kMaxAddresses> repeated{};
  std::size_t count = 0;
  std::size_t pos = 0;
  bool ended = false;
  while (!ended) {
    if (count == kMaxAddresses) {
      result.Error = TAx25Error::NoEndOfAddress;
      return result;
    }
    if (frame.size() - pos < kAddressLength) {
      result.Error = TAx25Error::ShortAddress;
      return result;
    }
    const std::string_view field = frame.substr(pos, kAddressLength);
    const auto call = DecodeAddress(field);
    if (!call) {
      result.Error = TAx25Error::BadCallsign;
      return result;
    }
    const auto ssidByte = static_cast<unsigned char>(field[6]);
    calls[count] = *call;
    repeated[count] = (ssidByte & kHasBeenRepeated) != 0;
    ended = (ssidByte & kEndOfAddress) != 0;
    ++count;
    pos += kAddressLength;
  }
  if (count < 2) {
    result.Error = TAx25Error::ShortAddress;
    return result;
  }
  if (frame.size() - pos < 2 || static_cast<unsigned char>(frame[pos]) != kControlUi ||
      static_cast<unsigned char>(frame[pos + 1]) != kPidNoLayer3) {
    result.Error = TAx25Error::NotUi;
    return result;
  }
  std::string_view info = frame.substr(pos + 2);
  // A monitor line ends at the first line break of the information field.
  if (const auto brk = info.find_first_of("\r\n"); brk != std::string_view::npos) info = info.substr(0, brk);

  // The "*" goes on the last digipeater that has repeated the frame.
  std::size_t lastRepeated = 0;
  for (std::size_t i = 2; i < count; ++i)
    if (repeated[i]) lastRepeated = i;

  std::string line = calls[1] + ">" + calls[0];
  for (std::size_t i = 2; i < count; ++i) {
    line += ',';
    line += calls[i];
    if (i == lastRepeated) line += '*';
  }
  line += ':';
  line += info;
  result.Line = std::move(line);
  return result;
}

std::optional<std::string> Tnc2ToAx25(std::string_view line) {
  const auto colon = line.find(':');
  const auto gt = line.find('>');
  if (colon == std::string_view::npos || gt == std::string_view::npos || gt > colon) return std::nullopt;
  const std::string_view source = line.substr(0, gt);
  std::string_view path = line.substr(gt + 1, colon - gt - 1);
  std::string_view dest = path.substr(0, path.find(','));
  std::array<std::string_view, 8> digis;
  std::size_t digiCount = 0;
  if (const auto comma = path.find(','); comma != std::string_view::npos) {
    std::string_view rest = path.substr(comma + 1);
    while (!rest.empty()) {
      if (digiCount == digis.size()) return std::nullopt;
      const auto next = rest.find(',');
      digis[digiCount++] = rest.substr(0, next);
      rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 1);
    }
  }
  // Every digipeater up to the one marked "*" has repeated the frame.
  std::size_t starAt = digiCount;
  for (std::size_t i = 0; i < digiCount; ++i)
    if (!digis[i].empty() && digis[i].back() == '*') starAt = i;

  std::string frame;
  const auto d = EncodeAddress(dest, false, false);
  const auto s = EncodeAddress(source, false, digiCount == 0);
  if (!d || !s) return std::nullopt;
  frame += *d + *s;
  for (std::size_t i = 0; i < digiCount; ++i) {
    std::string_view digi = digis[i];
    if (!digi.empty() && digi.back() == '*') digi.remove_suffix(1);
    const auto a = EncodeAddress(digi, starAt != digiCount && i <= starAt, i + 1 == digiCount);
    if (!a) return std::nullopt;
    frame += *a;
  }
  frame += static_cast<char>(kControlUi);
  frame += static_cast<char>(kPidNoLayer3);
  frame += line.substr(colon + 1);
  return frame;
}

std::string KissEncode(std::string_view data, int port) {
  std::string out;
  out += static_cast<char>(kiss::FEND);
  const auto escaped = [&out](char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b == kiss::FEND) {
      out += static_cast<char>(kiss::FESC);
      out += static_cast<char>(kiss::TFEND);
    } else if (b == kiss::FESC) {
      out += static_cast<char>(kiss::FESC);
      out += static_cast<char>(kiss::TFESC);
    } else {
      out += c;
    }
  };
  // The command byte is escaped too: port 12's data command is 0xC0, a FEND.
  escaped(static_cast<char>(((port & 0x0F) << 4) | kiss::CmdData));
  for (const char c : data) escaped(c);
  out += static_cast<char>(kiss::FEND);
  return out;
}

void TKissDecoder::Reset() {
  m_frame.clear();
  m_escape = false;
  m_badEscape = false;
  m_overflow = false;
}

void TKissDecoder::Feed(std::string_view bytes) {
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b == kiss::FEND) {
      EndFrame();
      continue;
    }
    char out = c;
    if (m_escape) {
      m_escape = false;
      if (b == kiss::TFEND) {
        out = static_cast<char>(kiss::FEND);
      } else if (b == kiss::TFESC) {
        out = static_cast<char>(kiss::FESC);
      } else {
        m_badEscape = true;
      }
    } else if (b == kiss::FESC) {
      m_escape = true;
      continue;
    }
    if (m_frame.size() >= kMaxFrame) {
      m_overflow = true;
      continue;
    }
    m_frame += out;
  }
}

void TKissDecoder::EndFrame() {
  if (m_overflow) {
    ++Oversize;
  } else if (!m_frame.empty()) {
    const auto command = static_cast<unsigned char>(m_frame[0]);
    const int port = command >> 4;
    if ((command & 0x0F) != kiss::CmdData) {
      ++Ignored;
    } else if (m_badEscape) {
      ++Dropped;
    } else {
      const TAx25Result r = Ax25ToTnc2(std::string_view(m_frame).substr(1));
      if (r.Error != TAx25Error::None) {
        ++Dropped;
      } else {
        ++Frames;
        if (OnLine) OnLine(r.Line, port);
      }
    }
  }
  Reset();
}

}  // namespace standin
