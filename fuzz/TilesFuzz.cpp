// libFuzzer target: what a tile server or a damaged cache can hand the map:
// hostile response bodies and caching headers, hostile cache files, and tiles
// of any size in the memory cache. No network.
//
// Input: a flag byte, the body (two length bytes, then its bytes), the
// Cache-Control, Expires and Date texts, ETag and Last-Modified (two length
// bytes each), a cache file's bytes (two length bytes), then tile sizes for
// the memory cache. Checked: a decoded tile is never larger than allowed and
// is a problem exactly when it is no image; a lifetime stays in its bounds; a
// tile written to the disk cache reads back as written (validators that could
// break its lines or are too long left out); whatever a cache file holds reads as no tile or
// as one whose validators are safe to send; the memory cache keeps its budget.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "FuzzInput.h"
#include "TileAddress.h"
#include "TileDiskCache.h"
#include "TileExpiry.h"
#include "TileFetcher.h"
#include "TileMemoryCache.h"

namespace {

constexpr int kMaxSide = 2 * standin::kTileSize;  // as the fetcher decodes them
constexpr int kMaxTestTileSide = 64;
constexpr std::size_t kMaxMemoryTiles = 16;
constexpr qint64 kMillisecondsPerSecond = 1000;
constexpr qint64 kNow = 1765270800000;  // 2025-12-09 09:00 UTC, milliseconds

struct TEnvironment {
  TEnvironment() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The image readers' complaints about damaged images would drown the fuzzer's own output.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // Tiles are decoded in a program that has its application object.
    app = std::make_unique<QGuiApplication>(argc, argv);
    const QString base = QFileInfo(QStringLiteral("/dev/shm")).isDir() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    folder = std::make_unique<QTemporaryDir>(base + QStringLiteral("/tarvik-tiles-fuzz-XXXXXX"));
    if (!folder->isValid()) std::abort();
  }
  int argc = 1;
  char name[16] = "tiles-fuzz";
  char* argv[2] = {name, nullptr};
  std::unique_ptr<QGuiApplication> app;
  std::unique_ptr<QTemporaryDir> folder;
};

TEnvironment& Environment() {
  static TEnvironment environment;
  return environment;
}

QByteArray Bytes(std::string_view s) { return {s.data(), static_cast<qsizetype>(s.size())}; }

bool SafeToSend(const QByteArray& value) {
  return !value.contains('\r') && !value.contains('\n') && !value.contains('\0');
}

// A validator the disk cache keeps with its tile.
QByteArray Kept(const QByteArray& value) {
  return SafeToSend(value) && value.size() <= standin::kMaxTileValidatorBytes ? value : QByteArray();
}

standin::TTileKey KeyOf(std::uint8_t flags) {
  const int zoom = flags % (standin::kMaxTileZoom + 1);
  const int side = standin::TilesPerSide(zoom);
  return {zoom, (flags * 7) % side, (flags * 13) % side};
}

void CheckDecode(const QByteArray& body) {
  QString problem;
  const QImage image = standin::DecodeTile(body, kMaxSide, problem);
  if (image.isNull() != !problem.isEmpty()) __builtin_trap();
  if (!image.isNull() &&
      (image.width() > kMaxSide || image.height() > kMaxSide || image.format() != QImage::Format_ARGB32_Premultiplied))
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Environment();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString folder = Environment().folder->path();
  fuzz::TFuzzInput input(data, size);
  const std::uint8_t flags = input.Byte();
  const QByteArray body = Bytes(input.LongText());
  const std::string_view cacheControl = input.Text();
  const std::string_view expires = input.Text();
  const std::string_view date = input.Text();
  const QByteArray etag = Bytes(input.LongText());
  const QByteArray modified = Bytes(input.LongText());
  const QByteArray cacheFile = Bytes(input.LongText());

  CheckDecode(body);

  const standin::TTileFreshness fresh =
      standin::TileFreshness(cacheControl, expires, date, kNow / kMillisecondsPerSecond);
  if (fresh.LifetimeSeconds < standin::kMinTileLifetimeSeconds ||
      fresh.LifetimeSeconds > standin::kMaxTileLifetimeSeconds)
    __builtin_trap();
  (void)standin::ParseHttpDate(date);

  // A tile as the fetcher keeps it, and read back.
  const standin::TTileDiskCache disk(folder);
  const standin::TTileKey key = KeyOf(flags);
  const standin::TTileFile tile{body, {kNow + fresh.LifetimeSeconds * kMillisecondsPerSecond, etag, modified}};
  if (!disk.Write(key, tile).isEmpty()) std::abort();
  const auto read = disk.Read(key);
  if (body.isEmpty()) {
    if (read) __builtin_trap();
  } else {
    if (!read || read->Body != body || read->Meta.ExpiresAtMs != tile.Meta.ExpiresAtMs) __builtin_trap();
    if (read->Meta.ETag != Kept(etag) || read->Meta.LastModified != Kept(modified)) __builtin_trap();
  }
  disk.Remove(key);

  // Whatever a file in the cache holds.
  const standin::TTileKey other = KeyOf(static_cast<std::uint8_t>(flags + 1));
  const QString path = QStringLiteral("%1/%2/%3/%4.tile").arg(folder).arg(other.Zoom).arg(other.X).arg(other.Y);
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(cacheFile) != cacheFile.size()) std::abort();
  file.close();
  if (const auto found = disk.Read(other)) {
    if (found->Body.isEmpty() || !SafeToSend(found->Meta.ETag) || !SafeToSend(found->Meta.LastModified))
      __builtin_trap();
    CheckDecode(found->Body);
  }
  disk.Remove(other);

  // Tiles of the sizes the rest of the input gives through a small memory cache.
  const qint64 budget = qint64{input.Word()} * 64;
  standin::TTileMemoryCache memory(budget);
  const std::size_t keep = input.Byte() % 4;
  memory.SetKeepAtLeast(keep);
  for (std::size_t i = 0; i < kMaxMemoryTiles && !input.Empty(); ++i) {
    const std::uint8_t sides = input.Byte();
    const QImage image(sides % kMaxTestTileSide, (sides / 4) % kMaxTestTileSide, QImage::Format_ARGB32_Premultiplied);
    const standin::TTileKey at = KeyOf(input.Byte());
    memory.Put(at, {image, {}});
    const standin::TCachedTile* kept = memory.Find(at);
    if (kept == nullptr || kept->Image.size() != image.size()) __builtin_trap();
    if (memory.Bytes() < 0 || (memory.Bytes() > budget && memory.Size() > std::max<std::size_t>(keep, 1)))
      __builtin_trap();
  }
  return 0;
}
