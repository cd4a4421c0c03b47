#include "Oxbel32_TLB.h"

#include <utility>

namespace host {

std::string NarrowText(std::u16string_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (const char16_t c : wide) out += c <= 0xFF ? static_cast<char>(c) : '?';
  return out;
}

WideString WidenText(std::string_view narrow) {
  WideString out;
  out.reserve(narrow.size());
  for (const char c : narrow) out += static_cast<char16_t>(static_cast<unsigned char>(c));
  return out;
}

std::shared_ptr<THostServer> THostRegistry::RunningOrNew() {
  if (!m_running && m_starter) m_running = m_starter();
  return m_running;
}

EHostNotConnected::EHostNotConnected() : std::runtime_error(kNotConnectedText) {}

void TOleServer::Connect() {
  if (m_server) return;
  std::shared_ptr<THostServer> server;
  switch (ConnectKind) {
    case TConnectKind::ckRunningInstance: server = m_registry.Running(); break;
    case TConnectKind::ckRunningOrNew:
    case TConnectKind::ckNewInstance: server = m_registry.RunningOrNew(); break;
  }
  if (!server) throw EHostNotConnected();
  ConnectTo(*server);
  m_server = std::move(server);
}

void TOleServer::Disconnect() { m_server.reset(); }

void TOleServer::EnsureConnected() {
  if (m_server) return;
  if (!AutoConnect) throw EHostNotConnected();
  Connect();
}

// ---- TclsOxb ---------------------------------------------------------------

TclsOxb::~TclsOxb() {
  try {
    Disconnect();
  } catch (...) {
    // A host that fails while we let go of it changes nothing for us.
  }
}

void TclsOxb::ConnectTo(THostServer& server) {
  auto intf = server.CreateOxb();
  if (!intf) throw EHostNotConnected();
  m_cookie = intf->Advise(this);
  m_intf = std::move(intf);
}

void TclsOxb::Disconnect() {
  auto intf = std::move(m_intf);
  m_intf.reset();
  const int cookie = std::exchange(m_cookie, 0);
  // Let go of the server first: a host that fails to unadvise must not leave the
  // wrapper half connected, where Connect would do nothing and every call would fail.
  TOleServer::Disconnect();
  if (intf) intf->Unadvise(cookie);
}

_clsOxb& TclsOxb::DefaultInterface() {
  EnsureConnected();
  if (!m_intf) throw EHostNotConnected();
  return *m_intf;
}

void TclsOxb::Invoke(TOxbEvent event) {
  const TNotify* handler = nullptr;
  switch (event) {
    case TOxbEvent::DataAvailable: handler = &OnDataAvailable; break;
    case TOxbEvent::NotifyBeacon: handler = &OnNotifyBeacon; break;
    case TOxbEvent::Oxbel32IsClosing: handler = &OnOxbel32IsClosing; break;
    case TOxbEvent::NotifyDXSpot: handler = &OnNotifyDXSpot; break;
    case TOxbEvent::NotifyRemoteCommand: handler = &OnNotifyRemoteCommand; break;
    case TOxbEvent::NotifyTelemetry: handler = &OnNotifyTelemetry; break;
    case TOxbEvent::NotifyBeaconData: handler = &OnNotifyBeaconData; break;
    case TOxbEvent::NotifyDelete: handler = &OnNotifyDelete; break;
    case TOxbEvent::NotifyDeleteAllStations: handler = &OnNotifyDeleteAllStations; break;
    case TOxbEvent::NotifyAck: handler = &OnNotifyAck; break;
    case TOxbEvent::NotifyMessage: handler = &OnNotifyMessage; break;
  }
  // Called through a copy: a handler may replace or clear itself (or the wrapper's
  // other handlers) while it runs, which would destroy the function being executed.
  if (handler && *handler) {
    const TNotify call = *handler;
    call(*this);
  }
}

WideString TclsOxb::GetPacket() { return DefaultInterface().GetPacket(); }
std::int16_t TclsOxb::GetStationCount() { return DefaultInterface().GetStationCount(); }
WideString TclsOxb::GetStationEntry(std::int16_t& index) { return DefaultInterface().GetStationEntry(index); }
std::int16_t TclsOxb::GetStationInfo(_clsStationInfo& info) { return DefaultInterface().GetStationInfo(info); }
std::int16_t TclsOxb::GetMyInfo(_clsMyInfo& info) { return DefaultInterface().GetMyInfo(info); }
std::shared_ptr<_clsOxbMap> TclsOxb::GetMap() {
  auto map = DefaultInterface().GetMap();
  if (!map) throw std::runtime_error("The host has no map");
  return map;
}
void TclsOxb::RedrawMap() { DefaultInterface().RedrawMap(); }

// ---- TclsStationInfo -------------------------------------------------------

void TclsStationInfo::ConnectTo(THostServer& server) {
  m_intf = server.CreateStationInfo();
  if (!m_intf) throw EHostNotConnected();
}

void TclsStationInfo::Disconnect() {
  m_intf.reset();
  TOleServer::Disconnect();
}

_clsStationInfo& TclsStationInfo::DefaultInterface() {
  EnsureConnected();
  if (!m_intf) throw EHostNotConnected();
  return *m_intf;
}

void TclsStationInfo::SetCallsign(WideString callsign) { DefaultInterface().SetCallsign(std::move(callsign)); }
WideString TclsStationInfo::GetCallsign() { return DefaultInterface().GetCallsign(); }
WideString TclsStationInfo::GetSymbolCode() { return DefaultInterface().GetSymbolCode(); }
WideString TclsStationInfo::GetSymbolTable() { return DefaultInterface().GetSymbolTable(); }
WideString TclsStationInfo::GetHeader() { return DefaultInterface().GetHeader(); }
WideString TclsStationInfo::GetInfoField() { return DefaultInterface().GetInfoField(); }

// ---- TclsMyInfo ------------------------------------------------------------

void TclsMyInfo::ConnectTo(THostServer& server) {
  m_intf = server.CreateMyInfo();
  if (!m_intf) throw EHostNotConnected();
}

void TclsMyInfo::Disconnect() {
  m_intf.reset();
  TOleServer::Disconnect();
}

_clsMyInfo& TclsMyInfo::DefaultInterface() {
  EnsureConnected();
  if (!m_intf) throw EHostNotConnected();
  return *m_intf;
}

WideString TclsMyInfo::GetMyCallsign() { return DefaultInterface().GetMyCallsign(); }

}  // namespace host
