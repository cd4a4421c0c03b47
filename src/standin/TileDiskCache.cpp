#include "TileDiskCache.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <vector>

namespace standin {

namespace {

constexpr char kMagic[] = "TarvikTile 1";
constexpr qint64 kMaxHeadBytes = 4096;
// With two validators at their longest and the expiry, the head must still be
// short enough to be read back.
static_assert(sizeof kMagic + sizeof "\nexpires=-9223372036854775808\netag=\nmodified=" + 2 * kMaxTileValidatorBytes <
              kMaxHeadBytes);
constexpr int kFolderHashChars = 16;
constexpr char kProbeName[] = "probe.tile";
constexpr char kTileSuffix[] = ".tile";

bool IsHeaderSafe(const QByteArray& value) {
  return std::none_of(value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
}

bool IsKept(const QByteArray& validator) {
  return validator.size() <= kMaxTileValidatorBytes && IsHeaderSafe(validator);
}

}  // namespace

QString WriteFileAtomically(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return file.errorString();
  if (file.write(bytes) != bytes.size()) return file.errorString();
  if (!file.commit()) return file.errorString();
  return {};
}

TTileDiskCache::TTileDiskCache(QString folder, TWriter writer)
    : m_folder(std::move(folder)), m_writer(writer ? std::move(writer) : WriteFileAtomically) {}

QString TTileDiskCache::FolderFor(const QString& cacheRoot, std::string_view tileTemplate) {
  if (cacheRoot.isEmpty()) return {};  // no cache location: nothing is kept, so nothing is fetched
  const QByteArray hash = QCryptographicHash::hash(
      QByteArray(tileTemplate.data(), static_cast<qsizetype>(tileTemplate.size())), QCryptographicHash::Sha256);
  return QDir(AllServersFolder(cacheRoot)).filePath(QString::fromLatin1(hash.toHex().left(kFolderHashChars)));
}

QString TTileDiskCache::AllServersFolder(const QString& cacheRoot) {
  if (cacheRoot.isEmpty()) return {};
  return QDir(cacheRoot).filePath(QStringLiteral("tiles"));
}

QString TTileDiskCache::PathOf(const TTileKey& key) const {
  return QStringLiteral("%1/%2/%3/%4%5").arg(m_folder).arg(key.Zoom).arg(key.X).arg(key.Y).arg(kTileSuffix);
}

std::optional<TTileFile> TTileDiskCache::Read(const TTileKey& key) const {
  if (m_folder.isEmpty()) return std::nullopt;
  QFile file(PathOf(key));
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxTileBytes + kMaxHeadBytes) return std::nullopt;
  const QByteArray content = file.read(kMaxTileBytes + kMaxHeadBytes);
  const qsizetype headEnd = content.indexOf("\n\n");
  if (headEnd < 0 || headEnd > kMaxHeadBytes) return std::nullopt;
  const QList<QByteArray> lines = content.left(headEnd).split('\n');
  if (lines.value(0) != kMagic) return std::nullopt;
  TTileFile tile;
  bool hasExpiry = false;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const qsizetype eq = lines[i].indexOf('=');
    if (eq < 0) return std::nullopt;
    const QByteArray name = lines[i].left(eq);
    const QByteArray value = lines[i].mid(eq + 1);
    if (!IsHeaderSafe(value)) return std::nullopt;  // would go back to the server as a header
    if (name == "expires") tile.Meta.ExpiresAtMs = value.toLongLong(&hasExpiry);
    if (name == "etag") tile.Meta.ETag = value;
    if (name == "modified") tile.Meta.LastModified = value;
  }
  tile.Body = content.mid(headEnd + 2);
  if (!hasExpiry || tile.Body.isEmpty()) return std::nullopt;
  return tile;
}

QString TTileDiskCache::WriteFile(const QString& path, const QByteArray& bytes) const {
  if (m_folder.isEmpty()) return QStringLiteral("the user has no cache folder");
  const QString folder = QFileInfo(path).path();
  if (!QDir().mkpath(folder)) return QStringLiteral("cannot make the folder ") + folder;
  return m_writer(path, bytes);
}

QString TTileDiskCache::Write(const TTileKey& key, const TTileFile& file) const {
  QByteArray bytes = kMagic;
  bytes += "\nexpires=" + QByteArray::number(file.Meta.ExpiresAtMs);
  // Header values are kept only when they cannot break the file's lines or
  // make its head too long to read; without them the tile is fetched whole again.
  if (IsKept(file.Meta.ETag)) bytes += "\netag=" + file.Meta.ETag;
  if (IsKept(file.Meta.LastModified)) bytes += "\nmodified=" + file.Meta.LastModified;
  bytes += "\n\n" + file.Body;
  return WriteFile(PathOf(key), bytes);
}

void TTileDiskCache::Remove(const TTileKey& key) const { QFile::remove(PathOf(key)); }

QString TTileDiskCache::Probe() const {
  const QString path = QDir(m_folder).filePath(QString::fromLatin1(kProbeName));
  QString problem = WriteFile(path, kMagic);
  QFile::remove(path);
  return problem;
}

qint64 TrimTileFolder(const QString& folder, qint64 maxBytes) {
  if (folder.isEmpty()) return 0;
  struct TFile {
    qint64 WrittenMs;
    qint64 Bytes;
    QString Path;
  };
  std::vector<TFile> files;
  qint64 total = 0;
  // Links are not followed: only what lies in the cache folder itself goes.
  QDirIterator it(folder, {QStringLiteral("*") + kTileSuffix}, QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info = it.nextFileInfo();
    files.push_back({info.lastModified().toMSecsSinceEpoch(), info.size(), info.filePath()});
    total += info.size();
  }
  if (total <= maxBytes) return total;
  std::sort(files.begin(), files.end(), [](const TFile& a, const TFile& b) { return a.WrittenMs < b.WrittenMs; });
  for (const TFile& file : files) {
    if (total <= maxBytes) break;
    if (QFile::remove(file.Path)) total -= file.Bytes;
  }
  return total;
}

}  // namespace standin
