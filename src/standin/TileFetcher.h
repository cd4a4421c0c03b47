// Raster tiles from a tile server, for the map window to draw under its
// stations.
//
// The map asks for the tiles of its view (RequestView) and draws those that
// are there (Tile); TileArrived tells it to paint again. Tiles come from
// memory, then from the disk cache, then from the server, and go back to the
// server only when the server's expiry has passed (asking with the ETag or
// date it gave, so that an unchanged tile costs an empty answer).
//
// The public tile servers ask a client to name itself in the User-Agent, keep
// tiles as long as they say, open at most two connections and fetch nothing
// that is not being looked at: only the view and the ring of tiles around it
// are fetched, two at a time. A server that fails in any way (refused,
// silent, an error status, a redirect loop, a body that is not a tile or is
// far too big) and a cache folder that cannot be written give a state text,
// no tile, and a pause before the next request that doubles with each failure
// in a row; the window never waits on any of it.
#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "AprsIs.h"
#include "StandInSettings.h"
#include "TileAddress.h"
#include "TileDiskCache.h"
#include "TileMemoryCache.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace standin {

// Drawn on the map when tiles are on and no other attribution is configured.
inline constexpr char kOsmAttributionUtf8[] = "\xC2\xA9 OpenStreetMap contributors";

struct TTileFetchOptions {
  static constexpr qint64 kDefaultMemoryBytes = 48LL * 1024 * 1024;
  static constexpr qint64 kDefaultDiskBytes = qint64{kDefaultTilesCacheMB} * 1024 * 1024;
  static constexpr int kDefaultTimeoutMs = 15000;
  static constexpr int kHourMs = 60 * 60 * 1000;

  int MaxConnections = 2;
  int TimeoutMs = kDefaultTimeoutMs;  // no byte for this long: the server is too slow
  qint64 MaxBodyBytes = kMaxTileBytes;
  qint64 MemoryBytes = kDefaultMemoryBytes;
  // The tiles on disk are cut to this, oldest first, when tiles are turned on
  // and again each time an eighth of it has been written: the tiles in
  // DiskFolder (all servers' tiles), or this server's when it is empty.
  qint64 DiskBytes = kDefaultDiskBytes;
  QString DiskFolder{};
  int MaxTileSide = 2 * kTileSize;   // pixels; a bigger picture is not a tile
  int MissingTileRetryMs = kHourMs;  // a tile the server does not have is asked for again after this
};

class TTileFetcher : public QObject {
  Q_OBJECT
 public:
  using TClock = std::function<qint64()>;  // milliseconds since 1970 UTC
  // Calls `retry` after `milliseconds`; by default a single-shot QTimer.
  using TRetryScheduler = std::function<void(int milliseconds, std::function<void()> retry)>;

  // `tileTemplate` as configured (one that cannot be used keeps tiles off),
  // `attribution` empty for OpenStreetMap's, `cacheFolder` for this server's tiles.
  TTileFetcher(std::string tileTemplate, const QString& attribution, QString cacheFolder, QObject* parent = nullptr);
  ~TTileFetcher() override;

  void SetClock(TClock clock) { m_clock = std::move(clock); }
  void SetRetryScheduler(TRetryScheduler scheduler) { m_schedule = std::move(scheduler); }
  void SetOptions(const TTileFetchOptions& options);
  void SetDiskWriter(TTileDiskCache::TWriter writer);

  // Why tiles cannot be turned on (the template is unusable); empty when they can.
  const QString& Problem() const { return m_problem; }
  bool Enabled() const { return m_enabled; }
  // Off drops all requests and the tiles in memory; on with an unusable
  // template stays off, saying why.
  void SetEnabled(bool on);

  // The map shows `view`: its tiles and their neighbours are fetched, nearest
  // the centre first; tiles of an earlier view not yet asked for are not.
  // Cheap enough to call on every paint; the work happens on the event loop.
  void RequestView(const TTileRange& view);
  // The tile when it is in memory (key as TilesToFetch gives it, x wrapped).
  const QImage* Tile(const TTileKey& key);

  QString Attribution() const { return m_attribution; }
  // "tiles: off", "tiles: ok", "tiles: server unreachable (...), retrying in 8 s", ...
  const QString& StateText() const { return m_state; }
  const std::string& Template() const { return m_template; }
  static QString UserAgent();

 signals:
  void TileArrived(standin::TTileKey key);
  void StateChanged(const QString& state);

 private:
  struct TRequest {
    TTileKey Key;
    QByteArray Body;
    bool TooBig = false;
  };
  enum class TFault { Server, MissingTile, Cache };

  void QueuePump();
  void Pump();
  TCachedTile* LoadFromDisk(const TTileKey& key);
  bool CacheWritable(qint64 now);
  bool InFlight(const TTileKey& key) const;
  void Start(const TTileKey& key, const TTileMeta* cached);
  void ReadBody(QNetworkReply* reply);
  void Finish(QNetworkReply* reply);
  void Arrived(const TTileKey& key, const QByteArray& body, QNetworkReply& reply, qint64 now);
  void Revalidated(const TTileKey& key, QNetworkReply& reply, qint64 now);
  TTileMeta MetaFrom(QNetworkReply& reply, qint64 now, bool& store) const;
  bool Keep(const TTileKey& key, const TTileFile& file, qint64 now);
  void Fail(const TTileKey& key, TFault fault, const QString& what, qint64 now);
  void Succeed(const TTileKey& key);
  void WakeAt(qint64 when, qint64 now);
  void DropRequests();
  void TrimDisk();
  void SetState(const QString& state);

  std::string m_template;
  QString m_problem;
  QString m_attribution;
  TTileDiskCache m_disk;
  TTileFetchOptions m_options;
  TTileMemoryCache m_memory;
  QNetworkAccessManager* m_network;  // owned as a child
  TClock m_clock;
  TRetryScheduler m_schedule;
  bool m_enabled = false;
  TTileRange m_view;
  std::vector<TTileKey> m_wanted;
  std::unordered_map<QNetworkReply*, TRequest> m_inFlight;
  std::unordered_set<TTileKey, TTileKeyHash> m_notOnDisk;
  std::unordered_map<TTileKey, qint64, TTileKeyHash> m_retryAt;
  TReconnectDelay m_delay;
  qint64 m_backoffUntil = 0;
  qint64 m_wakeAt = 0;  // 0: no wake pending
  bool m_cacheChecked = false;
  bool m_pumpQueued = false;
  qint64 m_writtenSinceTrim = 0;
  std::shared_ptr<std::atomic_bool> m_trimming = std::make_shared<std::atomic_bool>(false);
  QString m_state;
};

// The tile in `body`, ready to draw; a null image and `problem` when it is not
// an image, is damaged or is larger than `maxSide` pixels on a side.
QImage DecodeTile(const QByteArray& body, int maxSide, QString& problem);

}  // namespace standin
