// A recording fake of the host for the station-list tests: a station list,
// station information per callsign, and a map that records every circle.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "APRSData.h"
#include "Oxbel32_TLB.h"

namespace stationlist_test {

struct FakeStation {
  std::string Callsign;
  std::string SymbolCode;
  std::string SymbolTable;
  std::string Header;
  std::string InfoField;
};

struct FakeCircle {
  float X = 0;
  float Y = 0;
  float Radius = 0;
  std::int32_t Color = 0;
  std::int16_t PenWidth = 0;
};

class FakeMap : public host::_clsOxbMap {
 public:
  float GetMapLeft() override { return Left; }
  float GetMapTop() override { return Top; }
  float GetMapWidth() override { return Width; }
  float GetMapHeight() override { return Height; }
  void SetPenWidth(std::int16_t& width) override { m_pen = width; }
  void SetFillMode(std::int16_t&) override {}
  void SetFillColor(std::int32_t&) override {}
  void DrawCircle(float& x, float& y, float& radius, std::int32_t& color, float&, double&, float&) override {
    Circles.push_back({x, y, radius, color, m_pen});
    if (OnDraw) OnDraw();
  }

  float Left = -60 * 100.0F;
  float Top = 60 * 50.0F;
  float Width = 60 * 10.0F;
  float Height = -60 * 5.0F;
  std::vector<FakeCircle> Circles;
  std::function<void()> OnDraw;  // runs after each circle is recorded

 private:
  std::int16_t m_pen = 0;
};

class FakeStationInfo : public host::_clsStationInfo {
 public:
  explicit FakeStationInfo(std::vector<std::string>& calls) : m_calls(calls) {}
  void SetCallsign(host::WideString callsign) override {
    Requested = host::NarrowText(callsign);
    m_calls.push_back("SetCallsign " + Requested);
  }
  host::WideString GetCallsign() override { return host::WidenText(Current.Callsign); }
  host::WideString GetSymbolCode() override { return host::WidenText(Current.SymbolCode); }
  host::WideString GetSymbolTable() override { return host::WidenText(Current.SymbolTable); }
  host::WideString GetHeader() override { return host::WidenText(Current.Header); }
  host::WideString GetInfoField() override { return host::WidenText(Current.InfoField); }

  std::string Requested;
  FakeStation Current;

 private:
  std::vector<std::string>& m_calls;
};

class FakeOxb : public host::_clsOxb {
 public:
  explicit FakeOxb(std::vector<std::string>& calls) : m_calls(calls) {}

  host::WideString GetPacket() override { return {}; }
  std::int16_t GetStationCount() override {
    m_calls.push_back("GetStationCount");
    if (FailCount) throw std::runtime_error("station count failed");
    return static_cast<std::int16_t>(Entries.size());
  }
  host::WideString GetStationEntry(std::int16_t& index) override {
    m_calls.push_back("GetStationEntry " + std::to_string(index));
    if (index < 0 || static_cast<std::size_t>(index) >= Entries.size()) throw std::out_of_range("no such entry");
    return host::WidenText(Entries[static_cast<std::size_t>(index)]);
  }
  std::int16_t GetStationInfo(host::_clsStationInfo& info) override {
    auto& fake = dynamic_cast<FakeStationInfo&>(info);
    m_calls.push_back("GetStationInfo " + fake.Requested);
    const auto it = Stations.find(fake.Requested);
    fake.Current = it != Stations.end() ? it->second : FakeStation{};
    return 0;
  }
  std::int16_t GetMyInfo(host::_clsMyInfo&) override { return 0; }
  std::shared_ptr<host::_clsOxbMap> GetMap() override { return Map; }
  void RedrawMap() override {}
  int Advise(host::_clsOxbEvents*) override { return 1; }
  void Unadvise(int) override {}

  std::vector<std::string> Entries;  // as the host lists them: callsign in characters 2 to 10
  std::map<std::string, FakeStation> Stations;
  bool FailCount = false;
  std::shared_ptr<FakeMap> Map = std::make_shared<FakeMap>();

 private:
  std::vector<std::string>& m_calls;
};

class FakeMyInfo : public host::_clsMyInfo {
 public:
  host::WideString GetMyCallsign() override { return host::WidenText(MyCall); }
  std::string MyCall = "N0CALL";
};

class FakeServer : public host::THostServer {
 public:
  std::shared_ptr<host::_clsOxb> CreateOxb() override { return Oxb; }
  std::shared_ptr<host::_clsStationInfo> CreateStationInfo() override { return Info; }
  std::shared_ptr<host::_clsMyInfo> CreateMyInfo() override { return MyInfo; }

  std::vector<std::string> Calls;
  std::shared_ptr<FakeOxb> Oxb = std::make_shared<FakeOxb>(Calls);
  std::shared_ptr<FakeStationInfo> Info = std::make_shared<FakeStationInfo>(Calls);
  std::shared_ptr<FakeMyInfo> MyInfo = std::make_shared<FakeMyInfo>();

  // Adds a station to the host's list; the entry pads the callsign to nine characters.
  void AddStation(const FakeStation& station, const std::string& entrySuffix = "") {
    std::string entry = " " + station.Callsign + entrySuffix;
    if (entry.size() < 10) entry.resize(10, ' ');
    entry += "  12:00:00";
    Oxb->Entries.push_back(entry);
    Oxb->Stations[station.Callsign] = station;
  }
};

}  // namespace stationlist_test
