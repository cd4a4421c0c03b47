// The one fake host of the tests: the host's application object, station
// information, own call and map, all reading what the test put into the host
// and writing every call into its journal.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Oxbel32_TLB.h"

namespace tarvik::test {

// One station as the host's station information answers it.
struct TFakeStation {
  std::string Callsign;
  std::string SymbolCode;
  std::string SymbolTable;
  std::string Header;
  std::string InfoField;
};

struct TMapCall {
  std::string Op;
  std::vector<double> Args;
  bool operator==(const TMapCall&) const = default;
};

struct TDrawnCircle {
  float X, Y, Radius;
  std::int32_t Color;
  float Start;
  double End;
  float Aspect;
  std::int16_t PenWidth;  // the last one set before the circle
};

// A host map that records every call and can fail at a chosen operation.
class TRecordingMap : public host::_clsOxbMap {
 public:
  float Left = -5700.0F;     // 95 W
  float Top = 2760.0F;       // 46 N
  float Width = 240.0F;      // 4 degrees
  float Height = -120.0F;    // 2 degrees
  int FailAtOperation = -1;  // 0-based count of map operations; -1 never
  std::vector<TMapCall> Calls;
  std::vector<TDrawnCircle> Circles;
  std::function<void()> OnDraw;  // called inside every DrawCircle, after the circle is recorded

  float GetMapLeft() override { return Record("GetMapLeft", {}), Left; }
  float GetMapTop() override { return Record("GetMapTop", {}), Top; }
  float GetMapWidth() override { return Record("GetMapWidth", {}), Width; }
  float GetMapHeight() override { return Record("GetMapHeight", {}), Height; }
  void SetPenWidth(std::int16_t& width) override {
    Record("SetPenWidth", {double(width)});
    m_pen = width;
  }
  void SetFillMode(std::int16_t& mode) override { Record("SetFillMode", {double(mode)}); }
  void SetFillColor(std::int32_t& color) override { Record("SetFillColor", {double(color)}); }
  void DrawCircle(float& x, float& y, float& radius, std::int32_t& color, float& start, double& end,
                  float& aspect) override {
    Record("DrawCircle", {x, y, radius, double(color), start, end, aspect});
    Circles.push_back({x, y, radius, color, start, end, aspect, m_pen});
    if (OnDraw) OnDraw();
  }

  std::vector<std::string> Ops() const {
    std::vector<std::string> ops;
    for (const auto& call : Calls) ops.push_back(call.Op);
    return ops;
  }

 private:
  void Record(const char* op, std::vector<double> args) {
    if (m_operations++ == FailAtOperation) throw std::runtime_error("The host map is gone");
    Calls.push_back({op, std::move(args)});
  }
  int m_operations = 0;
  std::int16_t m_pen = 0;
};

class TFakeHost;

class TFakeOxb : public host::_clsOxb {
 public:
  explicit TFakeOxb(std::shared_ptr<TFakeHost> host) : m_host(std::move(host)) {}
  host::WideString GetPacket() override;
  std::int16_t GetStationCount() override;
  host::WideString GetStationEntry(std::int16_t& index) override;
  std::int16_t GetStationInfo(host::_clsStationInfo& info) override;
  std::int16_t GetMyInfo(host::_clsMyInfo& info) override;
  std::shared_ptr<host::_clsOxbMap> GetMap() override;
  void RedrawMap() override;
  int Advise(host::_clsOxbEvents* sink) override;
  void Unadvise(int cookie) override;

 private:
  std::shared_ptr<TFakeHost> m_host;
};

// The station information object: SetCallsign names the station, the host's
// GetStationInfo fills in what it knows of it.
class TFakeStationInfo : public host::_clsStationInfo {
 public:
  explicit TFakeStationInfo(std::shared_ptr<TFakeHost> host) : m_host(std::move(host)) {}
  void SetCallsign(host::WideString callsign) override;
  host::WideString GetCallsign() override { return host::WidenText(Current.Callsign); }
  host::WideString GetSymbolCode() override { return host::WidenText(Current.SymbolCode); }
  host::WideString GetSymbolTable() override { return host::WidenText(Current.SymbolTable); }
  host::WideString GetHeader() override { return host::WidenText(Current.Header); }
  host::WideString GetInfoField() override { return host::WidenText(Current.InfoField); }

  std::string Requested;
  TFakeStation Current;

 private:
  std::shared_ptr<TFakeHost> m_host;
};

class TFakeMyInfo : public host::_clsMyInfo {
 public:
  explicit TFakeMyInfo(std::shared_ptr<TFakeHost> host) : m_host(std::move(host)) {}
  host::WideString GetMyCallsign() override;

 private:
  std::shared_ptr<TFakeHost> m_host;
};

// The host program. Create it with std::make_shared: its objects keep it alive.
class TFakeHost : public host::THostServer, public std::enable_shared_from_this<TFakeHost> {
 public:
  std::shared_ptr<host::_clsOxb> CreateOxb() override {
    if (NoOxb) return nullptr;
    return std::make_shared<TFakeOxb>(shared_from_this());
  }
  std::shared_ptr<host::_clsStationInfo> CreateStationInfo() override {
    return std::make_shared<TFakeStationInfo>(shared_from_this());
  }
  std::shared_ptr<host::_clsMyInfo> CreateMyInfo() override {
    return std::make_shared<TFakeMyInfo>(shared_from_this());
  }

  // Raises one of the host's events on every connected application object.
  void Raise(host::TOxbEvent event) {
    if (Sinks.empty()) throw std::logic_error("nobody is connected to the fake host");
    const auto sinks = Sinks;  // a handler may disconnect
    for (const auto& [cookie, sink] : sinks) sink->Invoke(event);
  }
  // Raises DataAvailable with `text` as the packet's monitor text.
  void Hear(const std::string& text) {
    Packet = host::WidenText(text);
    Raise(host::TOxbEvent::DataAvailable);
  }
  // Adds a station to the host's list; the entry pads the callsign to nine characters.
  void AddStation(const TFakeStation& station, const std::string& entrySuffix = "") {
    std::string entry = " " + station.Callsign + entrySuffix;
    if (entry.size() < kEntryCallsignEnd) entry.resize(kEntryCallsignEnd, ' ');
    entry += "  12:00:00";
    Entries.push_back(entry);
    Stations[station.Callsign] = station;
  }
  std::size_t CountOf(const std::string& call) const {
    std::size_t n = 0;
    for (const std::string& c : Calls) n += c == call ? 1 : 0;
    return n;
  }
  void Record(std::string call) {
    Calls.push_back(std::move(call));
    CallTimes.push_back(Clock ? Clock() : 0);
  }

  // What the host holds.
  std::string MyCall = "n0call-9";
  host::WideString Packet;           // what GetPacket answers
  std::vector<std::string> Entries;  // the station list: callsign in characters 2 to 10
  std::map<std::string, TFakeStation> Stations;
  std::shared_ptr<TRecordingMap> Map = std::make_shared<TRecordingMap>();  // null: the host has no map

  // Failures on demand.
  bool NoOxb = false;  // the host gives no application object
  bool FailGetPacket = false;
  bool FailCount = false;
  bool FailUnadvise = false;

  // The journal: calls with their argument where one matters, and Clock() at each.
  std::vector<std::string> Calls;
  std::vector<std::uint32_t> CallTimes;
  std::function<std::uint32_t()> Clock;
  std::map<int, host::_clsOxbEvents*> Sinks;  // by cookie
  int NextCookie = 1;

 private:
  static constexpr std::size_t kEntryCallsignEnd = 10;
};

inline host::WideString TFakeOxb::GetPacket() {
  m_host->Record("GetPacket");
  if (m_host->FailGetPacket) throw std::runtime_error("GetPacket failed");
  return m_host->Packet;
}

inline std::int16_t TFakeOxb::GetStationCount() {
  m_host->Record("GetStationCount");
  if (m_host->FailCount) throw std::runtime_error("station count failed");
  return static_cast<std::int16_t>(m_host->Entries.size());
}

inline host::WideString TFakeOxb::GetStationEntry(std::int16_t& index) {
  m_host->Record("GetStationEntry " + std::to_string(index));
  if (index < 0 || static_cast<std::size_t>(index) >= m_host->Entries.size()) throw std::out_of_range("no such entry");
  return host::WidenText(m_host->Entries[static_cast<std::size_t>(index)]);
}

inline std::int16_t TFakeOxb::GetStationInfo(host::_clsStationInfo& info) {
  auto& fake = dynamic_cast<TFakeStationInfo&>(info);
  m_host->Record("GetStationInfo " + fake.Requested);
  const auto it = m_host->Stations.find(fake.Requested);
  fake.Current = it != m_host->Stations.end() ? it->second : TFakeStation{};
  return 0;
}

inline std::int16_t TFakeOxb::GetMyInfo(host::_clsMyInfo&) {
  m_host->Record("GetMyInfo");
  return 0;
}

inline std::shared_ptr<host::_clsOxbMap> TFakeOxb::GetMap() {
  m_host->Record("GetMap");
  return m_host->Map;
}

inline void TFakeOxb::RedrawMap() { m_host->Record("RedrawMap"); }

inline int TFakeOxb::Advise(host::_clsOxbEvents* sink) {
  m_host->Record("Advise");
  const int cookie = m_host->NextCookie++;
  m_host->Sinks[cookie] = sink;
  return cookie;
}

inline void TFakeOxb::Unadvise(int cookie) {
  m_host->Record("Unadvise");
  m_host->Sinks.erase(cookie);
  if (m_host->FailUnadvise) throw std::runtime_error("Unadvise failed");
}

inline void TFakeStationInfo::SetCallsign(host::WideString callsign) {
  Requested = host::NarrowText(callsign);
  Current = TFakeStation{};
  Current.Callsign = Requested;
  m_host->Record("SetCallsign " + Requested);
}

inline host::WideString TFakeMyInfo::GetMyCallsign() {
  m_host->Record("GetMyCallsign");
  return host::WidenText(m_host->MyCall);
}

}  // namespace tarvik::test
