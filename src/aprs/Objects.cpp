// Objects and items: a named position sent on behalf of something else.
//
//   ;LEADER   *092345z4903.50N/07201.75W>088/036
//   )AID #2!4903.50N/07201.75WA
#include "APRSParser.h"
#include "Text.h"

namespace aprs {

namespace {

constexpr std::size_t kObjectNameLength = 9;
constexpr std::size_t kObjectStateAt = 10;  // "*" live, "_" killed (1-based)
constexpr std::size_t kObjectStampAt = 11;
constexpr std::size_t kTimeStampLength = 7;
constexpr std::size_t kObjectPositionAt = 18;
constexpr char kWeatherSymbol = '_';

// An object or item of a weather station carries its report after the
// position, as a position report does.
void DecodePositionAndWeather(std::string_view text, TAprsPacket& packet) {
  DecodePosition(text, packet);
  packet.Comment = std::string(text);
  if (packet.SymbolCode == kWeatherSymbol) {
    packet.HasWeather = true;
    DecodeWeather(packet);
  }
}

}  // namespace

void DecodeObject(std::string_view info, TAprsPacket& packet) {
  TAprsObjectData& object = packet.AprsObject;
  object.Name = std::string(text::Trim(text::Copy(info, 1, kObjectNameLength)));
  object.Active = info.size() >= kObjectStateAt && info[kObjectStateAt - 1] == '*';
  // A field that ends inside the time stamp has neither stamp nor position.
  if (info.size() < kObjectPositionAt - 1) return;
  DecodeTimeStamp(text::Copy(info, kObjectStampAt, kTimeStampLength), packet);
  DecodePositionAndWeather(text::Copy(info, kObjectPositionAt, std::string_view::npos), packet);
}

void DecodeItem(std::string_view info, TAprsPacket& packet) {
  // An item's name (three to nine characters) may hold neither "!" nor "_",
  // so the first of them ends it; a "!" later on, as in a compressed position
  // or the comment of a killed item, is not the live marker.
  const std::size_t p = info.find_first_of("!_");
  if (p == std::string_view::npos) return;
  packet.AprsObject.Name = std::string(text::Trim(info.substr(0, p)));
  packet.AprsObject.Active = info[p] == '!';
  DecodePositionAndWeather(info.substr(p + 1), packet);
}

}  // namespace aprs
