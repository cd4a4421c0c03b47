// The host application's automation interface, as this program uses it.
//
// Integers are 16-bit and reals 32-bit unless said otherwise, strings are
// wide; most arguments pass by reference, as the host's type library has them.
// A failed call throws (std::runtime_error or a subclass); callers log it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace host {

using WideString = std::u16string;

// Wide text from the host to 8-bit text: characters above 255 become '?'.
std::string NarrowText(std::u16string_view wide);
// 8-bit text to the host's wide form (byte for byte, U+0000..U+00FF).
WideString WidenText(std::string_view narrow);

// Dispatch identifiers of the host application's events.
enum class TOxbEvent : int {
  DataAvailable = 1,
  NotifyBeacon = 2,
  Oxbel32IsClosing = 3,
  NotifyDXSpot = 4,
  NotifyRemoteCommand = 5,
  NotifyTelemetry = 6,
  NotifyBeaconData = 7,
  NotifyDelete = 8,
  NotifyDeleteAllStations = 9,
  NotifyAck = 10,
  NotifyMessage = 11,
};

// The receiving side of the host's connection point.
class _clsOxbEvents {
 public:
  virtual ~_clsOxbEvents() = default;
  virtual void Invoke(TOxbEvent event) = 0;
};

// The host map, in minutes of arc: x longitude (east positive), y latitude
// (north positive); the height is negative (bottom = top + height).
class _clsOxbMap {
 public:
  virtual ~_clsOxbMap() = default;
  virtual float GetMapLeft() = 0;
  virtual float GetMapTop() = 0;
  virtual float GetMapWidth() = 0;
  virtual float GetMapHeight() = 0;
  virtual void SetPenWidth(std::int16_t& width) = 0;
  virtual void SetFillMode(std::int16_t& mode) = 0;
  virtual void SetFillColor(std::int32_t& color) = 0;  // 0x00BBGGRR
  virtual void DrawCircle(float& x, float& y, float& radius, std::int32_t& color, float& startAngle, double& endAngle,
                          float& aspect) = 0;
};

class _clsStationInfo {
 public:
  virtual ~_clsStationInfo() = default;
  virtual void SetCallsign(WideString callsign) = 0;
  virtual WideString GetCallsign() = 0;
  virtual WideString GetSymbolCode() = 0;
  virtual WideString GetSymbolTable() = 0;
  virtual WideString GetHeader() = 0;     // source>destination,path
  virtual WideString GetInfoField() = 0;  // data type character and information field
};

class _clsMyInfo {
 public:
  virtual ~_clsMyInfo() = default;
  virtual WideString GetMyCallsign() = 0;
};

class _clsOxb {
 public:
  virtual ~_clsOxb() = default;
  virtual WideString GetPacket() = 0;  // valid inside DataAvailable only
  virtual std::int16_t GetStationCount() = 0;
  virtual WideString GetStationEntry(std::int16_t& index) = 0;  // callsign in characters 2 to 10
  virtual std::int16_t GetStationInfo(_clsStationInfo& info) = 0;
  virtual std::int16_t GetMyInfo(_clsMyInfo& info) = 0;
  virtual std::shared_ptr<_clsOxbMap> GetMap() = 0;
  virtual void RedrawMap() = 0;

  // Connection point: returns a cookie for Unadvise.
  virtual int Advise(_clsOxbEvents* sink) = 0;
  virtual void Unadvise(int cookie) = 0;
};

// What a running host serves: its three creatable objects.
class THostServer {
 public:
  virtual ~THostServer() = default;
  virtual std::shared_ptr<_clsOxb> CreateOxb() = 0;
  virtual std::shared_ptr<_clsStationInfo> CreateStationInfo() = 0;
  virtual std::shared_ptr<_clsMyInfo> CreateMyInfo() = 0;
};

// Finds the running host, or starts one. The program registers how to start
// a host; tests register fakes. Passed to the wrappers, never a singleton.
class THostRegistry {
 public:
  using TStarter = std::function<std::shared_ptr<THostServer>()>;

  void SetStarter(TStarter starter) { m_starter = std::move(starter); }
  void SetRunning(std::shared_ptr<THostServer> server) { m_running = std::move(server); }
  std::shared_ptr<THostServer> Running() const { return m_running; }

  // The running host, else a newly started one (which then counts as running);
  // nothing when there is neither.
  std::shared_ptr<THostServer> RunningOrNew();

 private:
  TStarter m_starter;
  std::shared_ptr<THostServer> m_running;
};

enum class TConnectKind { ckRunningOrNew, ckNewInstance, ckRunningInstance };

// Raised by a call on a wrapper that is not connected.
class EHostNotConnected : public std::runtime_error {
 public:
  EHostNotConnected();
};

inline constexpr const char* kNotConnectedText =
    "DefaultInterface is NULL. Component is not connected to Server. You must call 'Connect' or "
    "'ConnectTo' before this operation";

// Common part of the wrappers: connection, connect kind, automatic connection.
class TOleServer {
 public:
  explicit TOleServer(THostRegistry& registry) : m_registry(registry) {}
  virtual ~TOleServer() = default;
  TOleServer(const TOleServer&) = delete;
  TOleServer& operator=(const TOleServer&) = delete;

  TConnectKind ConnectKind = TConnectKind::ckRunningOrNew;
  bool AutoConnect = true;

  void Connect();
  virtual void Disconnect();
  bool Connected() const { return m_server != nullptr; }

 protected:
  virtual void ConnectTo(THostServer& server) = 0;
  // Connects on first use when AutoConnect is on; throws EHostNotConnected otherwise.
  void EnsureConnected();
  THostRegistry& m_registry;
  std::shared_ptr<THostServer> m_server;
};

// The host application object with its events.
class TclsOxb : public TOleServer, private _clsOxbEvents {
 public:
  explicit TclsOxb(THostRegistry& registry) : TOleServer(registry) {}
  ~TclsOxb() override;

  using TNotify = std::function<void(TclsOxb& sender)>;
  TNotify OnDataAvailable;
  TNotify OnNotifyBeacon;
  TNotify OnOxbel32IsClosing;
  TNotify OnNotifyDXSpot;
  TNotify OnNotifyRemoteCommand;
  TNotify OnNotifyTelemetry;
  TNotify OnNotifyBeaconData;
  TNotify OnNotifyDelete;
  TNotify OnNotifyDeleteAllStations;
  TNotify OnNotifyAck;
  TNotify OnNotifyMessage;

  void Disconnect() override;

  WideString GetPacket();
  std::int16_t GetStationCount();
  WideString GetStationEntry(std::int16_t& index);
  std::int16_t GetStationInfo(_clsStationInfo& info);
  std::int16_t GetMyInfo(_clsMyInfo& info);
  std::shared_ptr<_clsOxbMap> GetMap();
  void RedrawMap();

  _clsOxb& DefaultInterface();

 protected:
  void ConnectTo(THostServer& server) override;

 private:
  void Invoke(TOxbEvent event) override;
  std::shared_ptr<_clsOxb> m_intf;
  int m_cookie = 0;
};

class TclsStationInfo : public TOleServer {
 public:
  explicit TclsStationInfo(THostRegistry& registry) : TOleServer(registry) {}
  void Disconnect() override;

  void SetCallsign(WideString callsign);
  WideString GetCallsign();
  WideString GetSymbolCode();
  WideString GetSymbolTable();
  WideString GetHeader();
  WideString GetInfoField();

  _clsStationInfo& DefaultInterface();

 protected:
  void ConnectTo(THostServer& server) override;

 private:
  std::shared_ptr<_clsStationInfo> m_intf;
};

class TclsMyInfo : public TOleServer {
 public:
  explicit TclsMyInfo(THostRegistry& registry) : TOleServer(registry) {}
  void Disconnect() override;

  WideString GetMyCallsign();

  _clsMyInfo& DefaultInterface();

 protected:
  void ConnectTo(THostServer& server) override;

 private:
  std::shared_ptr<_clsMyInfo> m_intf;
};

}  // namespace host
