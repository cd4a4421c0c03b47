// Status reports, with an optional time stamp, Maidenhead locator and symbol,
// and a beam heading with power at the end.
//
//   >092345zNet tonight^B7
//   >IO91SX/- My status
#include "APRSParser.h"
#include "Text.h"

namespace aprs {

namespace {

constexpr std::size_t kTimeStampLength = 7;
constexpr std::size_t kShortLocatorEnd = 7;  // first space after "IO91/-"
constexpr std::size_t kLongLocatorEnd = 9;   // first space after "IO91SX/-"

// "^" followed by a heading and a power character ends a status text.
constexpr std::string_view kBeamHeadings = "123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kBeamPowers = "123456789:;<=>?@ABCDEFGHIJK";
constexpr int kDegreesPerHeadingStep = 10;
constexpr int kWattsPerPowerStep = 10;

bool IsFieldLetter(char c) {
  const char u = text::ToUpper(c);
  return u >= 'A' && u <= 'R';
}

// Degrees of a beam-heading character: its 1-based place in the table times 10, else 0.
int BeamHeading(char c) {
  const std::size_t n = kBeamHeadings.find(c);
  return n == std::string_view::npos ? 0 : static_cast<int>(n + 1) * kDegreesPerHeadingStep;
}

// Effective radiated power of a power character: 10 * n * n watts for its 1-based place n, else 0.
int BeamPower(char c) {
  const std::size_t n = kBeamPowers.find(c);
  if (n == std::string_view::npos) return 0;
  const int place = static_cast<int>(n + 1);
  return kWattsPerPowerStep * place * place;
}

// A locator and symbol before the first space: "IO91/-" or "IO91SX/-".
void DecodeStatusLocator(std::string_view field, TAprsPacket& packet) {
  const std::size_t space = field.find(' ');
  if (space == std::string_view::npos) return;
  const std::size_t p = space + 1;  // 1-based position of the space
  if (p != kShortLocatorEnd && p != kLongLocatorEnd) return;
  if (!IsFieldLetter(field[0]) || !IsFieldLetter(field[1]) || !text::IsDigit(field[2]) || !text::IsDigit(field[3]))
    return;

  TPositionRec& pos = packet.Position;
  // Locators are kept in upper case whatever the sender's case ("FN42er").
  pos.GridSquare = text::Upper(field.substr(0, p - 3));
  const TLatLon ll = LocatorToLatLon(pos.GridSquare);
  if (ll.Latitude != 0.0 && ll.Longitude != 0.0) {
    pos.Latitude = {FormatLatitude(ll.Latitude), ll.Latitude};
    pos.Longitude = {FormatLongitude(ll.Longitude), ll.Longitude};
    pos.Valid = true;
  } else {
    pos.Valid = false;
    packet.ErrorMessage = "Invalid grid locator";
  }
  packet.SymbolTable = field[p - 3];
  packet.SymbolCode = field[p - 2];
  pos.Mobile = IsMobileSymbol(packet.SymbolTable, packet.SymbolCode);
  packet.Comment = std::string(field.substr(p));
}

}  // namespace

void DecodeStatus(std::string_view info, TAprsPacket& packet) {
  packet.Comment = std::string(info);
  if (info.empty()) return;

  const bool stamped = text::IsDigit(info[0]) && info.size() >= kTimeStampLength &&
                       (info[kTimeStampLength - 1] == 'z' || info[kTimeStampLength - 1] == 'Z');
  if (stamped) {
    DecodeTimeStamp(info.substr(0, kTimeStampLength), packet);
    packet.Comment = std::string(info.substr(kTimeStampLength));
  } else {
    DecodeStatusLocator(info, packet);
  }

  std::string& comment = packet.Comment;
  const std::size_t caret = comment.find('^');
  if (caret != std::string::npos && comment.size() >= 3 && caret == comment.size() - 3) {
    TStationCapabilitiesRec& caps = packet.Capabilities;
    caps.Antenna.Heading = BeamHeading(text::ToUpper(comment[caret + 1]));
    caps.Power = BeamPower(text::ToUpper(comment[caret + 2]));
    caps.HasCapabilities = true;
    comment.erase(caret);
  }
}

}  // namespace aprs
