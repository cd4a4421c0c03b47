// The stand-in host: serves the host application's objects in this process.
//
// Each line of its feed becomes a DataAvailable event raised from the Qt event
// loop, during which GetPacket gives the line's monitor text; the line's source
// joins the station list. Closing the host window raises Oxbel32IsClosing.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Feed.h"
#include "MonitorText.h"
#include "Oxbel32_TLB.h"
#include "PrivateProfile.h"
#include "SettingsFolder.h"
#include "StandInMap.h"
#include "StandInSettings.h"

namespace standin {

class TStandInWindow;
class TMapWindow;
class TTileFetcher;

// The last that was heard from one station.
struct THeardStation {
  std::string Callsign;
  std::string Header;     // source>destination,path
  std::string InfoField;  // with its data type character
  char SymbolTable = 0;
  char SymbolCode = 0;
  // The last place heard, in degrees; a packet without one leaves it.
  bool HasPosition = false;
  double Latitude = 0.0;
  double Longitude = 0.0;
};

class TStandInStationInfo : public host::_clsStationInfo {
 public:
  void SetCallsign(host::WideString callsign) override { Station.Callsign = host::NarrowText(callsign); }
  host::WideString GetCallsign() override { return host::WidenText(Station.Callsign); }
  host::WideString GetSymbolCode() override;
  host::WideString GetSymbolTable() override;
  host::WideString GetHeader() override { return host::WidenText(Station.Header); }
  host::WideString GetInfoField() override { return host::WidenText(Station.InfoField); }

  THeardStation Station;
};

class TStandInMyInfo : public host::_clsMyInfo {
 public:
  host::WideString GetMyCallsign() override { return host::WidenText(MyCallsign); }
  std::string MyCallsign;
};

// The station-list entry of a callsign: a blank, then the callsign padded with blanks to 9 characters.
std::string StationEntry(std::string_view callsign);

class TStandInHost : public QObject,
                     public host::THostServer,
                     public host::_clsOxb,
                     public std::enable_shared_from_this<TStandInHost> {
  Q_OBJECT
 public:
  using TTimeSource = std::function<TClockTime()>;

  // `applicationDir` is where the demo feed is looked for first.
  TStandInHost(TStandInSettings settings, const QString& applicationDir);
  ~TStandInHost() override;

  // host::THostServer
  std::shared_ptr<host::_clsOxb> CreateOxb() override;
  std::shared_ptr<host::_clsStationInfo> CreateStationInfo() override;
  std::shared_ptr<host::_clsMyInfo> CreateMyInfo() override;

  // host::_clsOxb
  host::WideString GetPacket() override;
  std::int16_t GetStationCount() override;
  host::WideString GetStationEntry(std::int16_t& index) override;
  std::int16_t GetStationInfo(host::_clsStationInfo& info) override;
  std::int16_t GetMyInfo(host::_clsMyInfo& info) override;
  std::shared_ptr<host::_clsOxbMap> GetMap() override;
  void RedrawMap() override;
  int Advise(host::_clsOxbEvents* sink) override;
  void Unadvise(int cookie) override;

  void StartFeed();
  void StopFeed();
  // Closes the running feed, starts `feed` (a Feed setting such as "kiss:HOST:PORT")
  // and keeps it in the settings file. False, with the reason in the window, when
  // the file could not be written; the new feed runs all the same.
  bool ChangeFeed(const std::string& feed);
  void ShowWindow();
  // The user turned "Filter follows map" on or off: the APRS-IS feed follows the
  // view (Filter=view) or goes back to the filter typed before (kept as FilterLast).
  bool SetFilterFollowsMap(bool on);
  // The user turned online tiles on or off: the choice is kept in the settings file.
  bool SetTilesOn(bool on);
  // The tiles the map window draws under its stations.
  TTileFetcher& Tiles() const { return *m_tiles; }
  // The user closed the host: the feed stops and the clients hear Oxbel32IsClosing.
  void Close();

  // One TNC2 line heard: the station list learns it and DataAvailable is raised.
  void HandleLine(const QByteArray& line, int radioPort = 1);

  const TStandInSettings& Settings() const { return m_settings; }
  TFeed& Feed() { return *m_feed; }
  const std::shared_ptr<TStandInMap>& Map() const { return m_map; }
  const std::vector<THeardStation>& Stations() const { return m_stations; }
  int HeardCount() const { return static_cast<int>(m_stations.size()); }
  // Frames handed to the clients as DataAvailable since the host started.
  std::uint64_t LinesHandled() const { return m_linesHandled; }
  TStandInWindow* Window() const { return m_window.get(); }
  TMapWindow* MapWindow() const { return m_mapWindow.get(); }
  // The clock of the monitor text's time stamp (local time unless replaced).
  void SetTimeSource(TTimeSource source) { m_timeSource = std::move(source); }

 signals:
  void StationsChanged();
  // A line from the station at `index` of Stations() was learnt.
  void StationHeard(std::size_t index);

 private:
  void Raise(host::TOxbEvent event);
  // The index of the line's source in the station list, or nothing when it has none.
  std::optional<std::size_t> LearnStation(const TTnc2Line& line);
  void UpdateWindow();
  // The window's count of stations follows the feed a few times a second, not line by line.
  void ScheduleWindowUpdate();
  void ConnectFeed();
  // Runs `write` on the settings file (its folder made first when it is the
  // user's); false, with the reason kept for the window, when it fails.
  bool KeepInSettings(const std::function<settings::TWriteResult(const std::string& iniPath)>& write);

  TStandInSettings m_settings;
  std::unique_ptr<TFeed> m_feed;
  std::shared_ptr<TStandInMap> m_map;
  std::unique_ptr<TStandInWindow> m_window;
  std::vector<THeardStation> m_stations;
  std::unordered_map<std::string, std::size_t> m_stationIndex;
  std::vector<std::pair<int, host::_clsOxbEvents*>> m_sinks;
  int m_nextCookie = 1;
  host::WideString m_packet;  // the monitor text, during DataAvailable only
  TTimeSource m_timeSource;
  QString m_applicationDir;
  std::string m_settingsError;
  QTimer m_windowUpdate;
  std::string m_packetText;  // the line being learnt, kept to reuse its buffer
  std::uint64_t m_linesHandled = 0;
  std::unique_ptr<TTileFetcher> m_tiles;
  std::unique_ptr<TMapWindow> m_mapWindow;  // last: it reads the map and the stations above
};

// Loads data/basemap.bin into the map window, or tells the window why it cannot.
void LoadMapBasemap(TMapWindow& window, const QString& applicationDir);

// Reads the settings at `iniPath`, opens the host window and starts the feed.
std::shared_ptr<host::THostServer> StartStandInHost(const QString& iniPath);
// The same with Oxbel32.INI in the program's settings folder: the starter that
// the program registers with the host registry.
std::shared_ptr<host::THostServer> StartStandInHost(const settings::TSettingsFolder& folder);

}  // namespace standin
