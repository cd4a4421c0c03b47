#include "TileFetcher.h"

#include <QBuffer>
#include <QDateTime>
#include <QElapsedTimer>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "TarvikVersion.h"
#include "TileExpiry.h"

namespace standin {

namespace {

// Reading tiles from disk stops after this long in one turn of the event loop
// and goes on in the next, so that a new view never stalls the window.
constexpr qint64 kDiskBudgetMs = 8;
constexpr int kMaxRedirects = 5;
constexpr qint64 kMillisecondsPerSecond = 1000;
constexpr qint64 kBytesPerKiB = 1024;
constexpr qint64 kReadBufferBytes = 64 * kBytesPerKiB;
constexpr int kMaxDecodeMiB = 8;  // the image reader refuses to allocate more for one picture
constexpr int kHttpOk = 200;
constexpr int kHttpNotModified = 304;
constexpr int kHttpNotFound = 404;
constexpr int kHttpGone = 410;
// Remembered tile keys are forgotten beyond this many, so a long session of
// panning never grows them without end.
constexpr std::size_t kMaxRemembered = 4096;

std::string_view HeaderText(const QByteArray& value) {
  return {value.constData(), static_cast<std::size_t>(value.size())};
}

QString Seconds(qint64 milliseconds) {
  return QString::number((milliseconds + kMillisecondsPerSecond / 2) / kMillisecondsPerSecond);
}

}  // namespace

QImage DecodeTile(const QByteArray& body, int maxSide, QString& problem) {
  QBuffer buffer;
  buffer.setData(body);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setAllocationLimit(kMaxDecodeMiB);
  if (!reader.canRead()) {
    problem = QStringLiteral("the server sent something that is not an image");
    return {};
  }
  const auto tooBig = [maxSide](QSize size) { return size.width() > maxSide || size.height() > maxSide; };
  const QSize declared = reader.size();
  QImage image;
  if (declared.isValid() && tooBig(declared)) {
    problem = QStringLiteral("the server sent a picture of %1 x %2 pixels, not a tile")
                  .arg(declared.width())
                  .arg(declared.height());
    return {};
  }
  if (!reader.read(&image) || image.isNull() || tooBig(image.size())) {
    problem = QStringLiteral("the server sent a damaged image (%1)").arg(reader.errorString());
    return {};
  }
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TTileFetcher::TTileFetcher(std::string tileTemplate, const QString& attribution, QString cacheFolder, QObject* parent)
    : QObject(parent),
      m_template(std::move(tileTemplate)),
      m_problem(QString::fromStdString(TileTemplateProblem(m_template))),
      m_attribution(attribution.trimmed().isEmpty() ? QString::fromUtf8(kOsmAttributionUtf8) : attribution.trimmed()),
      m_disk(std::move(cacheFolder)),
      m_memory(m_options.MemoryBytes),
      m_network(new QNetworkAccessManager(this)),
      m_clock([] { return QDateTime::currentMSecsSinceEpoch(); }),
      m_schedule([this](int ms, std::function<void()> retry) { QTimer::singleShot(ms, this, std::move(retry)); }) {
  m_network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
  SetState(QStringLiteral("tiles: off"));
}

TTileFetcher::~TTileFetcher() { DropRequests(); }

void TTileFetcher::SetOptions(const TTileFetchOptions& options) {
  m_options = options;
  m_memory = TTileMemoryCache(options.MemoryBytes);
  m_memory.SetKeepAtLeast(m_wanted.size());
}

void TTileFetcher::SetDiskWriter(TTileDiskCache::TWriter writer) {
  m_disk = TTileDiskCache(m_disk.Folder(), std::move(writer));
  m_cacheChecked = false;
}

QString TTileFetcher::UserAgent() { return QStringLiteral("Tarvik/" TARVIK_VERSION " (APRS map)"); }

void TTileFetcher::SetEnabled(bool on) {
  if (on && !m_problem.isEmpty()) {
    SetState(QStringLiteral("tiles: off, ") + m_problem);
    return;
  }
  if (on == m_enabled) return;
  m_enabled = on;
  if (!on) {
    DropRequests();
    m_memory.Clear();
    m_notOnDisk.clear();
    SetState(QStringLiteral("tiles: off"));
    return;
  }
  m_cacheChecked = false;
  SetState(QStringLiteral("tiles: on"));
  TrimDisk();
  QueuePump();
}

void TTileFetcher::TrimDisk() {
  if (m_disk.Folder().isEmpty() || m_trimming->exchange(true)) return;
  m_writtenSinceTrim = 0;
  // Walking thousands of files is no work for the window's thread. The
  // application waits for the pool before it exits.
  const QString folder = m_options.DiskFolder.isEmpty() ? m_disk.Folder() : m_options.DiskFolder;
  QThreadPool::globalInstance()->start([folder, bytes = m_options.DiskBytes, busy = m_trimming] {
    TrimTileFolder(folder, bytes);
    busy->store(false);
  });
}

void TTileFetcher::RequestView(const TTileRange& view) {
  if (!m_enabled) return;
  if (!(view == m_view) || m_wanted.empty()) {
    m_view = view;
    m_wanted = TilesToFetch(view);
    m_memory.SetKeepAtLeast(m_wanted.size());
  }
  QueuePump();
}

const QImage* TTileFetcher::Tile(const TTileKey& key) {
  if (!m_enabled) return nullptr;
  TCachedTile* tile = m_memory.Find(key);
  return tile ? &tile->Image : nullptr;
}

void TTileFetcher::QueuePump() {
  if (m_pumpQueued) return;
  m_pumpQueued = true;
  QTimer::singleShot(0, this, [this] { Pump(); });
}

void TTileFetcher::Pump() {
  m_pumpQueued = false;
  if (!m_enabled) return;
  const qint64 now = m_clock();
  QElapsedTimer spent;
  spent.start();
  qint64 nextWake = 0;
  // A copy: TileArrived's receivers may ask for another view meanwhile.
  const std::vector<TTileKey> wanted = m_wanted;
  for (const TTileKey& key : wanted) {
    if (InFlight(key)) continue;
    TCachedTile* tile = m_memory.Find(key);
    if (!tile && !m_notOnDisk.contains(key)) {
      if (spent.elapsed() >= kDiskBudgetMs) {
        QueuePump();
        break;
      }
      tile = LoadFromDisk(key);
    }
    if (tile && tile->Meta.ExpiresAtMs > now) continue;
    if (static_cast<int>(m_inFlight.size()) >= m_options.MaxConnections) continue;
    const auto retry = m_retryAt.find(key);
    const qint64 due = std::max(m_backoffUntil, retry == m_retryAt.end() ? 0 : retry->second);
    if (due > now) {
      nextWake = nextWake ? std::min(nextWake, due) : due;
      continue;
    }
    if (!CacheWritable(now)) {
      nextWake = m_backoffUntil;
      continue;
    }
    Start(key, tile ? &tile->Meta : nullptr);
  }
  if (nextWake) WakeAt(nextWake, now);
}

TCachedTile* TTileFetcher::LoadFromDisk(const TTileKey& key) {
  const auto file = m_disk.Read(key);
  QString problem;
  const QImage image = file ? DecodeTile(file->Body, m_options.MaxTileSide, problem) : QImage();
  if (image.isNull()) {
    if (file) m_disk.Remove(key);  // damaged on disk: fetched again
    if (m_notOnDisk.size() >= kMaxRemembered) m_notOnDisk.clear();
    m_notOnDisk.insert(key);
    return nullptr;
  }
  m_memory.Put(key, {image, file->Meta});
  emit TileArrived(key);
  return m_memory.Find(key);
}

bool TTileFetcher::CacheWritable(qint64 now) {
  if (m_cacheChecked) return true;
  // Tiles are fetched only when they can be kept: without a disk cache every
  // start would fetch them all again.
  const QString problem = m_disk.Probe();
  if (!problem.isEmpty()) {
    Fail({}, TFault::Cache, problem, now);
    return false;
  }
  m_cacheChecked = true;
  return true;
}

bool TTileFetcher::InFlight(const TTileKey& key) const {
  return std::any_of(m_inFlight.begin(), m_inFlight.end(), [&key](const auto& e) { return e.second.Key == key; });
}

void TTileFetcher::Start(const TTileKey& key, const TTileMeta* cached) {
  QNetworkRequest request(QUrl(QString::fromStdString(TileUrl(m_template, key))));
  request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent());
  request.setMaximumRedirectsAllowed(kMaxRedirects);
  request.setTransferTimeout(m_options.TimeoutMs);
  if (cached && !cached->ETag.isEmpty()) request.setRawHeader("If-None-Match", cached->ETag);
  if (cached && !cached->LastModified.isEmpty()) request.setRawHeader("If-Modified-Since", cached->LastModified);
  QNetworkReply* reply = m_network->get(request);
  reply->setReadBufferSize(kReadBufferBytes);
  m_inFlight[reply] = TRequest{key, {}, false};
  connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
    const auto it = m_inFlight.find(reply);
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (it == m_inFlight.end() || !length.isValid() || length.toLongLong() <= m_options.MaxBodyBytes) return;
    it->second.TooBig = true;
    reply->abort();
  });
  connect(reply, &QNetworkReply::readyRead, this, [this, reply] { ReadBody(reply); });
  connect(reply, &QNetworkReply::finished, this, [this, reply] { Finish(reply); });
}

void TTileFetcher::ReadBody(QNetworkReply* reply) {
  const auto it = m_inFlight.find(reply);
  if (it == m_inFlight.end()) return;
  TRequest& request = it->second;
  request.Body += reply->read(m_options.MaxBodyBytes + 1 - request.Body.size());
  if (request.Body.size() <= m_options.MaxBodyBytes) return;
  request.TooBig = true;
  reply->abort();
}

void TTileFetcher::Finish(QNetworkReply* reply) {
  auto node = m_inFlight.extract(reply);
  if (node.empty()) return;
  reply->deleteLater();
  TRequest& request = node.mapped();
  if (!request.TooBig) request.Body += reply->read(m_options.MaxBodyBytes + 1 - request.Body.size());
  const qint64 now = m_clock();
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  const QNetworkReply::NetworkError error = reply->error();
  const QString name = QString::fromStdString(TileName(request.Key));
  if (request.TooBig || request.Body.size() > m_options.MaxBodyBytes) {
    Fail(request.Key, TFault::Server,
         QStringLiteral("the server sent more than %1 KiB for tile %2; abandoned")
             .arg(m_options.MaxBodyBytes / kBytesPerKiB)
             .arg(name),
         now);
  } else if (error == QNetworkReply::TooManyRedirectsError || error == QNetworkReply::InsecureRedirectError) {
    Fail(request.Key, TFault::Server, QStringLiteral("the server redirects in a loop or to an insecure address"), now);
  } else if (status == kHttpNotModified) {
    Revalidated(request.Key, *reply, now);
  } else if (status == kHttpNotFound || status == kHttpGone) {
    Fail(request.Key, TFault::MissingTile, QStringLiteral("no tile %1 on the server (HTTP %2)").arg(name).arg(status),
         now);
  } else if (status != 0 && status != kHttpOk) {
    Fail(request.Key, TFault::Server, QStringLiteral("server error (HTTP %1)").arg(status), now);
  } else if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError) {
    Fail(request.Key, TFault::Server,
         QStringLiteral("server too slow (nothing for %1 s)").arg(Seconds(m_options.TimeoutMs)), now);
  } else if (error != QNetworkReply::NoError) {
    Fail(request.Key, TFault::Server, QStringLiteral("server unreachable (%1)").arg(reply->errorString()), now);
  } else {
    Arrived(request.Key, request.Body, *reply, now);
  }
  QueuePump();
}

TTileMeta TTileFetcher::MetaFrom(QNetworkReply& reply, qint64 now, bool& store) const {
  const TTileFreshness freshness =
      TileFreshness(HeaderText(reply.rawHeader("Cache-Control")), HeaderText(reply.rawHeader("Expires")),
                    HeaderText(reply.rawHeader("Date")), now / kMillisecondsPerSecond);
  store = freshness.Store;
  return {now + freshness.LifetimeSeconds * kMillisecondsPerSecond, reply.rawHeader("ETag"),
          reply.rawHeader("Last-Modified")};
}

bool TTileFetcher::Keep(const TTileKey& key, const TTileFile& file, qint64 now) {
  const QString problem = m_disk.Write(key, file);
  if (!problem.isEmpty()) {
    m_cacheChecked = false;
    Fail(key, TFault::Cache, problem, now);
    return false;
  }
  m_notOnDisk.erase(key);
  m_writtenSinceTrim += file.Body.size();
  if (m_writtenSinceTrim > m_options.DiskBytes / 8) TrimDisk();
  return true;
}

void TTileFetcher::Arrived(const TTileKey& key, const QByteArray& body, QNetworkReply& reply, qint64 now) {
  QString problem;
  const QImage image = DecodeTile(body, m_options.MaxTileSide, problem);
  if (image.isNull()) {
    Fail(key, TFault::Server, problem + QStringLiteral(" for tile ") + QString::fromStdString(TileName(key)), now);
    return;
  }
  bool store = true;
  const TTileMeta meta = MetaFrom(reply, now, store);
  if (store && !Keep(key, {body, meta}, now)) return;
  m_memory.Put(key, {image, meta});
  Succeed(key);
  emit TileArrived(key);
}

void TTileFetcher::Revalidated(const TTileKey& key, QNetworkReply& reply, qint64 now) {
  bool store = true;
  TTileMeta meta = MetaFrom(reply, now, store);
  TCachedTile* tile = m_memory.Find(key);
  if (!tile) tile = LoadFromDisk(key);
  if (!tile) {
    Fail(key, TFault::Server,
         QStringLiteral("the server says tile %1 is unchanged, but it is no longer here")
             .arg(QString::fromStdString(TileName(key))),
         now);
    return;
  }
  // A 304 may leave out the validators: the ones already held stay valid.
  if (meta.ETag.isEmpty()) meta.ETag = tile->Meta.ETag;
  if (meta.LastModified.isEmpty()) meta.LastModified = tile->Meta.LastModified;
  tile->Meta = meta;
  if (store) {
    auto file = m_disk.Read(key);
    if (file) {
      file->Meta = meta;
      if (!Keep(key, *file, now)) return;
    }
  }
  Succeed(key);
}

void TTileFetcher::Fail(const TTileKey& key, TFault fault, const QString& what, qint64 now) {
  const int delay = m_delay.Next();
  m_backoffUntil = now + delay;
  if (fault != TFault::Cache) {
    if (m_retryAt.size() >= kMaxRemembered) m_retryAt.clear();
    m_retryAt[key] = now + (fault == TFault::MissingTile ? m_options.MissingTileRetryMs : delay);
  }
  const QString retrying = QStringLiteral(", retrying in %1 s").arg(Seconds(delay));
  if (fault == TFault::Cache)
    SetState(QStringLiteral("tiles: cannot keep tiles in %1: %2").arg(m_disk.Folder(), what) + retrying);
  else if (fault == TFault::MissingTile)
    SetState(QStringLiteral("tiles: ") + what);
  else
    SetState(QStringLiteral("tiles: ") + what + retrying);
  WakeAt(m_backoffUntil, now);
}

void TTileFetcher::Succeed(const TTileKey& key) {
  m_delay.Reset();
  m_backoffUntil = 0;
  m_retryAt.erase(key);
  SetState(QStringLiteral("tiles: ok"));
}

void TTileFetcher::WakeAt(qint64 when, qint64 now) {
  if (m_wakeAt > now && m_wakeAt <= when) return;  // an earlier wake is coming
  m_wakeAt = when;
  m_schedule(static_cast<int>(std::max<qint64>(0, when - now)), [this] {
    m_wakeAt = 0;
    Pump();
  });
}

void TTileFetcher::DropRequests() {
  for (auto& [reply, request] : m_inFlight) {
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
  }
  m_inFlight.clear();
}

void TTileFetcher::SetState(const QString& state) {
  if (state == m_state) return;
  m_state = state;
  emit StateChanged(m_state);
}

}  // namespace standin
