#include "StationList.h"

#include <charconv>
#include <stdexcept>
#include <system_error>

#include "APRSParser.h"
#include "Intake.h"
#include "Oxbel32_TLB.h"
#include "Text.h"

namespace tarvik {

// clang-format off
const std::array<TStationColumnDef, kStationColumnCount> StationColumns = {{
    {"Callsign", 70},
    {"Type", 75},
    {"Sym", 35},
    {"PHG", 65},
    {"Power", 50},
    {"Height", 50},
    {"Gain", 40},
    {"Direction", 60},
    {"Range", 50},
    {"Raw Packet", 0},
}};
// clang-format on

namespace {

std::string IntText(int value) { return std::to_string(value); }

}  // namespace

std::string FormatRange(float miles) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), static_cast<double>(miles),
                                    std::chars_format::fixed, 1);
  if (result.ec != std::errc()) return "0.0";
  return {buffer.data(), result.ptr};
}

TStationRow StationRowOf(const aprs::TAprsPacket& packet) {
  const aprs::TStationCapabilitiesRec& caps = packet.Capabilities;
  TStationRow row;
  row.Callsign = packet.Source.Callsign;
  row.DataType = packet.DataType;
  row.SymbolTable = packet.SymbolTable;
  row.SymbolCode = packet.SymbolCode;
  row.DefaultPhg = caps.DefaultPhg;
  row.Power = caps.Power;
  row.Haat = caps.Antenna.Haat;
  row.Gain = caps.Antenna.Gain;
  row.Range = caps.Range;
  row.PhgString = caps.PhgString;
  row.HeadingName = caps.Antenna.HeadingName;
  row.RawPacket = packet.RawPacket;
  return row;
}

std::string StationColumnText(const TStationRow& row, TStationColumn column) {
  switch (column) {
    case scCallsign: return row.Callsign;
    case scType: return std::string(aprs::DataTypeName(row.DataType));
    case scSym: {
      // A symbol character the station never sent is left out rather than
      // shown as a NUL that would cut the text short.
      std::string sym;
      if (row.SymbolTable != 0) sym += row.SymbolTable;
      if (row.SymbolCode != 0) sym += row.SymbolCode;
      return sym;
    }
    case scPhg: return row.DefaultPhg ? std::string("DEFAULT") : row.PhgString;
    case scPower: return IntText(row.Power);
    case scHeight: return IntText(row.Haat);
    case scGain: return IntText(row.Gain);
    case scDirection: return row.HeadingName;
    case scRange: return FormatRange(row.Range);
    case scRawPacket: return row.RawPacket;
  }
  return {};
}

std::string FormatDateTimeNumber(aprs::TDateTime value, std::string_view decimalPoint) {
  return text::FormatGeneral(value, decimalPoint);
}

std::string StationCopyText(const aprs::TAprsPacket& packet, std::string_view decimalPoint) {
  return FormatDateTimeNumber(packet.Received, decimalPoint) + '|' + text::Latin1ToUtf8(packet.RawPacket);
}

int BlinkRangeCircle(const TLocateActions& actions) {
  int drawn = 0;
  for (int blink = 0; blink < kLocateBlinks; ++blink) {
    const aprs::TAprsPacket* station = actions.Find();
    if (station == nullptr) return drawn;
    const std::int32_t own = actions.StationColor(*station);
    actions.Draw(*station, own == kLocateColor ? kLocateAltColor : kLocateColor);
    ++drawn;
    actions.Wait(kLocateOnTicks);

    station = actions.Find();
    if (station == nullptr) return drawn;
    actions.Draw(*station, actions.StationColor(*station));
    ++drawn;
    actions.Wait(kLocateOffTicks);
  }
  return drawn;
}

std::string StationEntryCallsign(std::string_view entry) {
  std::string_view call = text::Trim(text::Copy(entry, 2, 9));
  if (!call.empty() && call.back() == '*') call = text::TrimRight(call.substr(0, call.size() - 1));
  return std::string(call);
}

void ApplyStationHeader(std::string_view headerIn, aprs::TAprsPacket& packet) {
  const std::string header = text::Upper(headerIn);
  const std::size_t gt = header.find('>');
  if (gt == std::string::npos) return;
  std::string rest = header.substr(gt + 1);
  packet.DestCallsign = text::Upper(aprs::NextToken(rest, ", <>:"));
  aprs::SetPathFlags(rest, packet);
}

namespace {

std::unique_ptr<aprs::TAprsPacket> ReadOneStation(host::TclsOxb& oxb, host::TclsStationInfo& stationInfo,
                                                  const std::string& callsign) {
  stationInfo.SetCallsign(host::WidenText(callsign));
  oxb.GetStationInfo(stationInfo.DefaultInterface());

  auto packet = std::make_unique<aprs::TAprsPacket>();
  packet->RawPacket = std::string(kStationListRawPacket);
  packet->TimeStamp = aprs::NowUtc();
  packet->TimeStampValid = true;
  packet->Received = packet->TimeStamp;
  packet->Source = aprs::SplitCallsign(text::Trim(host::NarrowText(stationInfo.GetCallsign())));

  const std::string symbolCode = host::NarrowText(stationInfo.GetSymbolCode());
  const std::string symbolTable = host::NarrowText(stationInfo.GetSymbolTable());
  if (symbolCode.empty()) throw std::runtime_error("No symbol code for " + callsign);
  if (symbolTable.empty()) throw std::runtime_error("No symbol table for " + callsign);
  packet->SymbolCode = symbolCode.front();
  packet->SymbolTable = symbolTable.front();

  ApplyStationHeader(host::NarrowText(stationInfo.GetHeader()), *packet);

  const std::string info = host::NarrowText(stationInfo.GetInfoField());
  packet->DataType = aprs::DataTypeOf(info);
  packet->InfoField = info.empty() ? std::string() : info.substr(1);
  aprs::DecodeInfoField(*packet);
  packet->IsValid = packet->DataType != aprs::TAprsDataType::dtUnknown;
  return packet;
}

}  // namespace

void ReadStationInfo(host::TclsOxb& oxb, host::TclsStationInfo& stationInfo, const TStationListSink& sink) {
  const int count = oxb.GetStationCount();
  for (int i = 0; i < count; ++i) {
    try {
      auto index = static_cast<std::int16_t>(i);
      const std::string callsign = StationEntryCallsign(host::NarrowText(oxb.GetStationEntry(index)));
      if (callsign.empty()) continue;
      auto packet = ReadOneStation(oxb, stationInfo, callsign);
      if (packet->IsValid && sink.Accept(*packet)) sink.Store(std::move(packet));
    } catch (const std::exception& e) {
      sink.Log(ProblemIn("ReadStationInfo", e.what()));
    } catch (...) {
      sink.Log(ProblemIn("ReadStationInfo", "unknown error"));
    }
  }
}

}  // namespace tarvik
