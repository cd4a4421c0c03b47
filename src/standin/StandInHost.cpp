#include "StandInHost.h"

#include "FeedMenu.h"
#include "PrivateProfile.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "APRSParser.h"
#include "HostWindow.h"
#include "MapWindow.h"
#include "TcpFeed.h"
#include "Text.h"
#include "TileFetcher.h"
#include "TilesSetting.h"
#include "ViewFilter.h"

namespace standin {

namespace {

constexpr std::size_t kCallsignColumns = 9;  // characters 2 to 10 of an entry
constexpr std::size_t kMaxStations = std::numeric_limits<std::int16_t>::max();
constexpr int kWindowUpdateMs = 200;

host::WideString OneChar(char c) { return c ? host::WidenText(std::string_view(&c, 1)) : host::WideString(); }

TClockTime LocalClockTime() {
  const QTime now = QTime::currentTime();
  return {now.hour(), now.minute(), now.second()};
}

}  // namespace

host::WideString TStandInStationInfo::GetSymbolCode() { return OneChar(Station.SymbolCode); }
host::WideString TStandInStationInfo::GetSymbolTable() { return OneChar(Station.SymbolTable); }

std::string StationEntry(std::string_view callsign) {
  std::string entry = " ";
  entry += callsign;
  if (callsign.size() < kCallsignColumns) entry.append(kCallsignColumns - callsign.size(), ' ');
  return entry;
}

TStandInHost::TStandInHost(TStandInSettings settings, const QString& applicationDir)
    : m_settings(std::move(settings)),
      m_feed(MakeFeed(m_settings, applicationDir)),
      m_map(std::make_shared<TStandInMap>(m_settings.Map, m_settings.Trace)),
      m_timeSource(LocalClockTime),
      m_applicationDir(applicationDir) {
  m_map->OnViewMoved = [this](const TMapRect& bounds) { m_feed->ViewChanged(bounds); };
  ConnectFeed();
  m_windowUpdate.setSingleShot(true);
  m_windowUpdate.setInterval(kWindowUpdateMs);
  connect(&m_windowUpdate, &QTimer::timeout, this, [this] { UpdateWindow(); });
  const TTilesAtStart tiles = TilesAtStart(m_settings);
  const QString cacheRoot = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  m_tiles = std::make_unique<TTileFetcher>(tiles.Template, QString::fromUtf8(m_settings.TilesAttribution),
                                           TTileDiskCache::FolderFor(cacheRoot, tiles.Template));
  m_tiles->SetOptions({.DiskBytes = qint64{m_settings.TilesCacheMB} * 1024 * 1024,
                       .DiskFolder = TTileDiskCache::AllServersFolder(cacheRoot)});
  m_tiles->SetEnabled(tiles.On);
  connect(m_tiles.get(), &TTileFetcher::StateChanged, this, [this] { UpdateWindow(); });
}

bool TStandInHost::SetFilterFollowsMap(bool on) {
  if (on == IsViewFilter(m_settings.Filter)) return true;
  if (on) {
    m_settings.FilterLast = m_settings.Filter;
    m_settings.Filter = std::string(kViewFilter);
  } else {
    m_settings.Filter = m_settings.FilterLast;
  }
  if (auto* aprsIs = dynamic_cast<TAprsIsFeed*>(m_feed.get())) aprsIs->FollowView(on);
  m_settingsError.clear();
  bool kept = true;
  const auto keep = [this, &kept](const char* key, const std::string& value) {
    if (m_settings.IniPath.empty() || !kept) return;
    const auto written = settings::WritePrivateProfileString(kHostSection, key, value, m_settings.IniPath);
    if (written.Ok) return;
    kept = false;
    m_settingsError = "Unable to write to " + m_settings.IniPath + ": " + written.Reason;
  };
  keep("Filter", m_settings.Filter);
  keep("FilterLast", m_settings.FilterLast);
  UpdateWindow();
  return kept;
}

bool TStandInHost::SetTilesOn(bool on) {
  m_tiles->SetEnabled(on);
  const bool kept = KeepInSettings(
      [this](const std::string& iniPath) { return KeepTilesChoice(iniPath, m_tiles->Enabled(), m_tiles->Template()); });
  UpdateWindow();
  return kept;
}

bool TStandInHost::KeepInSettings(const std::function<settings::TWriteResult(const std::string& iniPath)>& write) {
  m_settingsError.clear();
  if (m_settings.IniPath.empty()) return true;
  settings::TWriteResult written{true, {}};
  if (m_settings.MakeIniFolder) written = settings::MakeFolder(m_settings.IniFolder);
  if (written.Ok) written = write(m_settings.IniPath);
  if (!written.Ok) m_settingsError = "Unable to write to " + m_settings.IniPath + ": " + written.Reason;
  return written.Ok;
}

void TStandInHost::ConnectFeed() {
  m_feed->ViewChanged(m_map->Bounds());
  connect(m_feed.get(), &TFeed::LineReceived, this, [this](const QByteArray& line) { HandleLine(line); });
  connect(m_feed.get(), &TFeed::RadioLineReceived, this, &TStandInHost::HandleLine);
  connect(m_feed.get(), &TFeed::StateChanged, this, [this] { UpdateWindow(); });
}

bool TStandInHost::ChangeFeed(const std::string& feed) {
  m_feed->disconnect(this);
  m_feed->Stop();
  m_settings.Feed = feed;
  m_feed = MakeFeed(m_settings, m_applicationDir);
  ConnectFeed();
  const bool kept = KeepInSettings([&feed](const std::string& iniPath) {
    return settings::WritePrivateProfileString(kHostSection, "Feed", feed, iniPath);
  });
  StartFeed();
  return kept;
}

TStandInHost::~TStandInHost() {
  m_map->OnViewMoved = nullptr;
  m_mapWindow.reset();
  m_window.reset();
  m_feed->disconnect(this);
  m_feed->Stop();
}

std::shared_ptr<host::_clsOxb> TStandInHost::CreateOxb() {
  // The application object is the host itself; the handle keeps the host alive.
  return {shared_from_this(), static_cast<host::_clsOxb*>(this)};
}

std::shared_ptr<host::_clsStationInfo> TStandInHost::CreateStationInfo() {
  return std::make_shared<TStandInStationInfo>();
}

std::shared_ptr<host::_clsMyInfo> TStandInHost::CreateMyInfo() { return std::make_shared<TStandInMyInfo>(); }

host::WideString TStandInHost::GetPacket() { return m_packet; }

std::int16_t TStandInHost::GetStationCount() {
  return static_cast<std::int16_t>(std::min(m_stations.size(), kMaxStations));
}

host::WideString TStandInHost::GetStationEntry(std::int16_t& index) {
  if (index < 0 || index >= GetStationCount()) throw std::out_of_range("No station at index " + std::to_string(index));
  return host::WidenText(StationEntry(m_stations[static_cast<std::size_t>(index)].Callsign));
}

std::int16_t TStandInHost::GetStationInfo(host::_clsStationInfo& info) {
  auto* mine = dynamic_cast<TStandInStationInfo*>(&info);
  if (!mine) throw std::invalid_argument("The station object does not belong to this host");
  const std::string callsign = text::Upper(text::Trim(mine->Station.Callsign));
  const auto it = m_stationIndex.find(callsign);
  if (it == m_stationIndex.end()) {
    mine->Station = THeardStation{callsign, {}, {}, 0, 0};
    return 0;
  }
  mine->Station = m_stations[it->second];
  return 1;
}

std::int16_t TStandInHost::GetMyInfo(host::_clsMyInfo& info) {
  auto* mine = dynamic_cast<TStandInMyInfo*>(&info);
  if (!mine) throw std::invalid_argument("The own-station object does not belong to this host");
  mine->MyCallsign = m_settings.MyCall;
  return 1;
}

std::shared_ptr<host::_clsOxbMap> TStandInHost::GetMap() { return m_map; }

void TStandInHost::RedrawMap() { m_map->Redraw(); }

int TStandInHost::Advise(host::_clsOxbEvents* sink) {
  if (!sink) throw std::invalid_argument("No event sink to advise");
  const int cookie = m_nextCookie++;
  m_sinks.emplace_back(cookie, sink);
  return cookie;
}

void TStandInHost::Unadvise(int cookie) {
  std::erase_if(m_sinks, [cookie](const auto& entry) { return entry.first == cookie; });
}

void TStandInHost::Raise(host::TOxbEvent event) {
  // A sink may unadvise itself or others while it handles the event: walk a copy of
  // the cookies and call only sinks that are still connected.
  std::vector<int> cookies;
  cookies.reserve(m_sinks.size());
  for (const auto& entry : m_sinks) cookies.push_back(entry.first);
  for (const int cookie : cookies) {
    const auto it = std::find_if(m_sinks.begin(), m_sinks.end(), [cookie](const auto& e) { return e.first == cookie; });
    if (it == m_sinks.end()) continue;
    try {
      it->second->Invoke(event);
    } catch (...) {
      // A client's failure is its own; the host goes on with the next one.
    }
  }
}

std::optional<std::size_t> TStandInHost::LearnStation(const TTnc2Line& line) {
  const std::string callsign = SourceOf(line.Header);
  if (callsign.empty()) return std::nullopt;
  auto [it, isNew] = m_stationIndex.try_emplace(callsign, m_stations.size());
  if (isNew) {
    m_stations.push_back({callsign, {}, {}, 0, 0});
    emit StationsChanged();
  }
  THeardStation& station = m_stations[it->second];
  // Assigned, not replaced: a station's next line mostly fits the buffers of its last one.
  station.Header.assign(line.Header);
  station.InfoField.assign(line.Info);
  m_packetText.assign(line.Header);
  m_packetText += ':';
  m_packetText += line.Info;
  // A frame without a symbol (a message, a status) leaves the last one known.
  const auto packet = aprs::ParsePacket(m_packetText);
  if (packet && packet->SymbolTable && packet->SymbolCode) {
    station.SymbolTable = packet->SymbolTable;
    station.SymbolCode = packet->SymbolCode;
  }
  // An object or item is placed where its sender puts it, not where the sender is.
  const bool ofItsOwn =
      packet && packet->DataType != aprs::TAprsDataType::dtObject && packet->DataType != aprs::TAprsDataType::dtItem;
  if (ofItsOwn && packet->Position.Valid && std::isfinite(packet->Position.Latitude.Value) &&
      std::isfinite(packet->Position.Longitude.Value)) {
    station.HasPosition = true;
    station.Latitude = packet->Position.Latitude.Value;
    station.Longitude = packet->Position.Longitude.Value;
  }
  return it->second;
}

void TStandInHost::HandleLine(const QByteArray& bytes, int radioPort) {
  const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  const auto line = SplitTnc2(text);
  if (!line) return;  // not a frame
  ++m_linesHandled;
  // A sink that lets go of the last reference to the host must not pull it away mid-call.
  const auto keepAlive = weak_from_this().lock();
  if (const auto index = LearnStation(*line)) emit StationHeard(*index);
  // A client that pumps events inside DataAvailable may hear the next line nested in
  // this one; its own text comes back when the nested event is over.
  const host::WideString outer =
      std::exchange(m_packet, host::WidenText(FormatMonitorText(*line, m_timeSource(), radioPort)));
  Raise(host::TOxbEvent::DataAvailable);
  m_packet = outer;
  ScheduleWindowUpdate();
}

void TStandInHost::ScheduleWindowUpdate() {
  if (m_window && !m_windowUpdate.isActive()) m_windowUpdate.start();
}

void TStandInHost::StartFeed() {
  m_feed->Start();
  UpdateWindow();
}

void TStandInHost::StopFeed() {
  m_feed->Stop();
  UpdateWindow();
}

void TStandInHost::ShowWindow() {
  if (!m_window) {
    m_window = std::make_unique<TStandInWindow>();
    m_window->OnClose = [this] { Close(); };
    AddFeedMenu(*m_window, DialogFeedChoosers(m_window.get()), [this](const std::string& feed) { ChangeFeed(feed); });
    AddFilterFollowsMapEntry(*m_window, IsViewFilter(m_settings.Filter), [this](bool on) { SetFilterFollowsMap(on); });
    m_window->AddTilesEntry(m_tiles->Problem(), m_tiles->Enabled(), [this](bool on) { SetTilesOn(on); });
  }
  UpdateWindow();
  m_window->show();
  if (!m_mapWindow) {
    m_mapWindow = std::make_unique<TMapWindow>(m_map);
    m_mapWindow->SetHeardStations(&m_stations);
    LoadMapBasemap(*m_mapWindow, m_applicationDir);
    m_mapWindow->SetTiles(m_tiles.get());
    m_mapWindow->OnClosing = [this] { Close(); };
    connect(this, &TStandInHost::StationHeard, m_mapWindow.get(), &TMapWindow::StationHeard);
  }
  m_mapWindow->show();
}

void LoadMapBasemap(TMapWindow& window, const QString& applicationDir) {
  const QString path = FindDataFile(QStringLiteral("basemap.bin"), applicationDir);
  if (path.isEmpty()) {
    window.SetBasemap(nullptr, QStringLiteral("No basemap: basemap.bin not found"));
    return;
  }
  auto basemap = std::make_shared<TBasemap>();
  std::string error;
  if (!LoadBasemap(path.toStdString(), *basemap, error)) {
    window.SetBasemap(nullptr, QStringLiteral("No basemap: ") + QString::fromStdString(error));
    return;
  }
  window.SetBasemap(std::move(basemap), {});
}

void TStandInHost::Close() {
  const auto keepAlive = weak_from_this().lock();
  m_feed->Stop();
  UpdateWindow();
  Raise(host::TOxbEvent::Oxbel32IsClosing);
}

void TStandInHost::UpdateWindow() {
  m_windowUpdate.stop();
  if (!m_window) return;
  QString state = m_feed->Description() + QStringLiteral(" (") + m_feed->State() + QStringLiteral(")");
  if (!m_map->TraceError().empty()) state += QStringLiteral("\n") + QString::fromStdString(m_map->TraceError());
  if (!m_settingsError.empty()) state += QStringLiteral("\n") + QString::fromStdString(m_settingsError);
  m_window->ShowState(state, HeardCount());
  m_window->ShowTilesState(m_tiles->StateText());
}

namespace {

std::shared_ptr<host::THostServer> StartWith(TStandInSettings settings) {
  auto host = std::make_shared<TStandInHost>(std::move(settings), QCoreApplication::applicationDirPath());
  host->ShowWindow();
  host->StartFeed();
  return host;
}

}  // namespace

std::shared_ptr<host::THostServer> StartStandInHost(const QString& iniPath) {
  return StartWith(LoadStandInSettings(iniPath.toStdString()));
}

std::shared_ptr<host::THostServer> StartStandInHost(const settings::TSettingsFolder& folder) {
  TStandInSettings settings = LoadStandInSettings(folder.FilePath(kIniFileName));
  settings.MakeIniFolder = folder.MadeOnSave;
  return StartWith(std::move(settings));
}

}  // namespace standin
