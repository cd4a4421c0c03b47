// A host that records every call made on it, for the main window's tests.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Oxbel32_TLB.h"

namespace tarvik::test {

struct FakeHostState {
  std::vector<std::string> Calls;
  std::vector<std::uint32_t> CallTimes;  // Clock() at each call, when a clock is set
  std::function<std::uint32_t()> Clock;
  std::string MyCall = "n0call-9";
  host::WideString Packet;  // what GetPacket answers
  bool FailGetPacket = false;
  bool FailUnadvise = false;
  host::_clsOxbEvents* Sink = nullptr;

  void Record(const char* call) {
    Calls.emplace_back(call);
    CallTimes.push_back(Clock ? Clock() : 0);
  }
};

class FakeMyInfo : public host::_clsMyInfo {
 public:
  explicit FakeMyInfo(std::shared_ptr<FakeHostState> state) : m_state(std::move(state)) {}
  host::WideString GetMyCallsign() override {
    m_state->Record("GetMyCallsign");
    return host::WidenText(m_state->MyCall);
  }

 private:
  std::shared_ptr<FakeHostState> m_state;
};

class FakeStationInfo : public host::_clsStationInfo {
 public:
  explicit FakeStationInfo(std::shared_ptr<FakeHostState> state) : m_state(std::move(state)) {}
  void SetCallsign(host::WideString) override { m_state->Record("SetCallsign"); }
  host::WideString GetCallsign() override { return Record("GetCallsign"); }
  host::WideString GetSymbolCode() override { return Record("GetSymbolCode"); }
  host::WideString GetSymbolTable() override { return Record("GetSymbolTable"); }
  host::WideString GetHeader() override { return Record("GetHeader"); }
  host::WideString GetInfoField() override { return Record("GetInfoField"); }

 private:
  host::WideString Record(const char* call) {
    m_state->Record(call);
    return {};
  }
  std::shared_ptr<FakeHostState> m_state;
};

class FakeOxb : public host::_clsOxb {
 public:
  explicit FakeOxb(std::shared_ptr<FakeHostState> state) : m_state(std::move(state)) {}
  host::WideString GetPacket() override {
    m_state->Record("GetPacket");
    if (m_state->FailGetPacket) throw std::runtime_error("GetPacket failed");
    return m_state->Packet;
  }
  std::int16_t GetStationCount() override {
    m_state->Record("GetStationCount");
    return 0;
  }
  host::WideString GetStationEntry(std::int16_t&) override {
    m_state->Record("GetStationEntry");
    return {};
  }
  std::int16_t GetStationInfo(host::_clsStationInfo&) override {
    m_state->Record("GetStationInfo");
    return 0;
  }
  std::int16_t GetMyInfo(host::_clsMyInfo&) override {
    m_state->Record("GetMyInfo");
    return 0;
  }
  std::shared_ptr<host::_clsOxbMap> GetMap() override {
    m_state->Record("GetMap");
    return nullptr;
  }
  void RedrawMap() override { m_state->Record("RedrawMap"); }
  int Advise(host::_clsOxbEvents* sink) override {
    m_state->Record("Advise");
    m_state->Sink = sink;
    return 1;
  }
  void Unadvise(int) override {
    m_state->Record("Unadvise");
    m_state->Sink = nullptr;
    if (m_state->FailUnadvise) throw std::runtime_error("Unadvise failed");
  }

 private:
  std::shared_ptr<FakeHostState> m_state;
};

class FakeHostServer : public host::THostServer {
 public:
  FakeHostServer() : State(std::make_shared<FakeHostState>()) {}
  std::shared_ptr<host::_clsOxb> CreateOxb() override { return std::make_shared<FakeOxb>(State); }
  std::shared_ptr<host::_clsStationInfo> CreateStationInfo() override {
    return std::make_shared<FakeStationInfo>(State);
  }
  std::shared_ptr<host::_clsMyInfo> CreateMyInfo() override { return std::make_shared<FakeMyInfo>(State); }

  // Raises one of the host's events on the connected application object.
  void Raise(host::TOxbEvent event) {
    if (State->Sink == nullptr) throw std::logic_error("nobody is connected to the fake host");
    State->Sink->Invoke(event);
  }
  // Raises DataAvailable with `text` as the packet's monitor text.
  void Hear(const std::string& text) {
    State->Packet = host::WidenText(text);
    Raise(host::TOxbEvent::DataAvailable);
  }

  std::shared_ptr<FakeHostState> State;
};

}  // namespace tarvik::test
