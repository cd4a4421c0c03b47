// Messages (with acknowledgements, rejections, bulletins, announcements, NWS
// messages and auto-answers) and raw GPS data.
//
//   :WU2Z     :Testing{003
//   :BLN3     :Net tonight at 8
//   :NWS_WARN :092010z,THUNDERSTORM,AR_ASHLEY,{S9JbA
#include "APRSParser.h"
#include "Text.h"

namespace aprs {

namespace {

constexpr std::size_t kAddresseeLength = 9;
constexpr std::size_t kBodyStart = 11;  // after the addressee and its ":" (1-based)
constexpr std::size_t kAckLength = 3;   // "ack" / "rej"

// Bulletins are BLN0 to BLN9; BLNA to BLNZ are announcements.
TAprsMessageType BulletinKind(std::string_view upperAddressee) {
  if (upperAddressee.size() <= 3) return mtGeneral;
  const char c = upperAddressee[3];
  if (text::IsDigit(c)) return mtBulletin;
  if (text::IsUpper(c)) return mtAnnouncement;
  return mtGeneral;
}

// The two letters of the first zone of an NWS message body, as in
// "092010z,THUNDERSTORM,AR_ASHLEY,".
std::string NwsStateOf(std::string_view body) {
  const std::size_t first = body.find(',');
  if (first == std::string_view::npos) return {};
  body.remove_prefix(first + 1);
  const std::size_t second = body.find(',');
  if (second == std::string_view::npos) return {};
  return std::string(body.substr(second + 1, 2));
}

}  // namespace

void DecodeMessage(std::string_view info, TAprsPacket& packet) {
  TAprsMessageData& msg = packet.Message;
  msg.Addressee = std::string(text::Trim(text::Copy(info, 1, kAddresseeLength)));
  std::string_view body = text::Copy(info, kBodyStart, std::string_view::npos);

  if (body.size() > kAckLength) {
    const std::string head = text::Upper(body.substr(0, kAckLength));
    if (head == "ACK" || head == "REJ") {
      msg.MsgType = head == "ACK" ? mtAck : mtRej;
      msg.SeqNo = std::string(body.substr(kAckLength));
      msg.Text.clear();
      return;
    }
  }

  // The message number follows the last "{"; a brace inside the text stays there.
  if (const std::size_t brace = body.rfind('{'); brace != std::string_view::npos) {
    msg.SeqNo = std::string(text::Trim(body.substr(brace + 1)));
    body = body.substr(0, brace);
  }

  msg.MsgType = mtGeneral;
  msg.Text = std::string(body);
  if (body.empty()) return;

  const std::string addressee = text::Upper(msg.Addressee);
  if (text::StartsWith(addressee, "NWS-")) {
    msg.MsgType = mtNWS;
  } else if (text::StartsWith(addressee, "NWS_")) {
    msg.MsgType = mtNWS;
    msg.Addressee[3] = '-';
  } else if (!text::StartsWith(addressee, "BLN")) {
    if (text::StartsWith(text::Upper(msg.Text.substr(0, 3)), "AA:")) msg.MsgType = mtAutoAnswer;
  } else {
    msg.MsgType = BulletinKind(addressee);
  }

  if (msg.MsgType == mtNWS) msg.NwsState = NwsStateOf(body);
}

void DecodeRawGps(std::string_view info, TAprsPacket& packet) { packet.Position.RawGps = std::string(info); }

}  // namespace aprs
