// JSON form of a decoded packet, for the decoder tool.
//
// Keys are the packet's field names in declared order, nested records as
// nested objects; DataType is its enumeration name; a character is a
// one-character string ("" for none); 8-bit text maps byte for byte to
// U+0000..U+00FF; Single fields print as the shortest text that reads back
// as the same float.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

#include "APRSData.h"
#include "Text.h"

namespace tarvik::decode {

using text::Latin1ToUtf8;

nlohmann::ordered_json PacketToJson(const aprs::TAprsPacket& packet);

// Compact JSON text, reals in their shortest round-trip form.
std::string DumpJson(const nlohmann::ordered_json& j);

// One output line without its line feed: the packet's object, or "null".
std::string JsonLine(const aprs::TAprsPacket* packet);

}  // namespace tarvik::decode
