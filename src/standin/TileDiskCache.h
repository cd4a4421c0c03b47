// The tiles kept on disk between runs, with what the server said about them.
//
// One file per tile, <folder>/<z>/<x>/<y>.tile: a few "name=value" lines (the
// time the tile expires, the server's ETag and Last-Modified for asking again
// cheaply), a blank line, then the image exactly as the server sent it. A
// tile is written to a temporary file and renamed into place, so a crash or a
// full disk leaves the old tile or none, never half of one. Files are read as
// untrusted: anything malformed or too big is not a tile.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <string_view>

#include "TileAddress.h"

namespace standin {

// Bodies above this are not tiles (a 256-pixel PNG is some tens of KiB).
inline constexpr qint64 kMaxTileBytes = qint64{1024} * 1024;
// An ETag or Last-Modified longer than this is not kept with the tile (real
// ones are some tens of bytes); neither is one that holds a line break or NUL.
inline constexpr qsizetype kMaxTileValidatorBytes = 1024;

struct TTileMeta {
  qint64 ExpiresAtMs = 0;  // milliseconds since 1970 UTC
  QByteArray ETag;
  QByteArray LastModified;
  bool operator==(const TTileMeta&) const = default;
};

struct TTileFile {
  QByteArray Body;
  TTileMeta Meta;
};

class TTileDiskCache {
 public:
  // Writes `bytes` to `path` whole or not at all; returns why it failed, or
  // nothing. Tests pass one that fails as a full disk would.
  using TWriter = std::function<QString(const QString& path, const QByteArray& bytes)>;

  explicit TTileDiskCache(QString folder, TWriter writer = {});

  const QString& Folder() const { return m_folder; }

  // The tile's file, or nothing when it is absent, unreadable or malformed.
  std::optional<TTileFile> Read(const TTileKey& key) const;
  // Why the tile could not be kept; empty when it was.
  QString Write(const TTileKey& key, const TTileFile& file) const;
  void Remove(const TTileKey& key) const;
  // Why no tile could be written now (the folder cannot be made or written,
  // the disk is full); empty when one can.
  QString Probe() const;

  // The cache folder of one tile server inside the user's cache folder: tiles
  // from different templates never mix.
  static QString FolderFor(const QString& cacheRoot, std::string_view tileTemplate);
  // The folder that holds the folders of all tile servers.
  static QString AllServersFolder(const QString& cacheRoot);

 private:
  QString PathOf(const TTileKey& key) const;
  QString WriteFile(const QString& path, const QByteArray& bytes) const;

  QString m_folder;
  TWriter m_writer;
};

// Removes the oldest tiles (by the time each was written) under `folder` until
// those left take at most `maxBytes`, and returns the bytes they take. Only
// tile files are counted or removed; anything else in the folder is left.
// Safe to run on another thread while tiles are read and written: a tile
// removed under the fetcher is fetched again.
qint64 TrimTileFolder(const QString& folder, qint64 maxBytes);

// QSaveFile: a temporary file beside `path`, flushed and renamed over it.
QString WriteFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace standin
