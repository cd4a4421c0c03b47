#include "Feed.h"

#include "FeedLine.h"
#include "SerialFeed.h"
#include "TarvikVersion.h"
#include "TcpFeed.h"
#include "Units.h"
#include "ViewFilter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <cmath>

namespace standin {

void TFeed::SetState(const QString& state) {
  if (state == m_state) return;
  m_state = state;
  emit StateChanged(state);
}

TReplayFeed::TReplayFeed(QString path, bool loop, double rate, QString name)
    : m_path(std::move(path)), m_loop(loop), m_name(std::move(name)) {
  const double interval =
      rate > 0 ? std::min(units::kMillisecondsPerSecond / rate, static_cast<double>(units::kMillisecondsPerDay)) : 0;
  m_timer.setInterval(static_cast<int>(std::llrint(interval)));
  connect(&m_timer, &QTimer::timeout, this, &TReplayFeed::Tick);
}

QString TReplayFeed::Description() const { return m_name + QStringLiteral(": ") + m_path; }

void TReplayFeed::Start() {
  if (m_timer.isActive()) return;
  m_file.setFileName(m_path);
  if (!m_file.open(QIODevice::ReadOnly)) {
    SetState(QStringLiteral("cannot open %1: %2").arg(m_path, m_file.errorString()));
    return;
  }
  SetState(QStringLiteral("running"));
  m_timer.start();
}

void TReplayFeed::Stop() {
  m_timer.stop();
  m_file.close();
  if (State() == QStringLiteral("running")) SetState(QStringLiteral("stopped"));
}

bool TReplayFeed::NextLine(QByteArray& line) {
  while (!m_file.atEnd()) {
    line = m_file.readLine(kMaxLineBytes + 1);
    if (line.isEmpty()) return false;  // a read error ends the file for us
    if (!line.endsWith('\n') && !m_file.atEnd()) {
      // Too long for a packet: drop it and the rest of it.
      QByteArray rest;
      do rest = m_file.readLine(kMaxLineBytes + 1);
      while (!rest.isEmpty() && !rest.endsWith('\n'));
      continue;
    }
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    if (aprs::IsSkippedFeedLine(std::string_view(line.constData(), static_cast<std::size_t>(line.size())))) continue;
    return true;
  }
  return false;
}

void TReplayFeed::Tick() {
  // As fast as possible: as many lines as fit in a few milliseconds per turn of
  // the event loop, so that the receivers' per-turn work (a repaint) is shared
  // by many lines while the window stays responsive. At a set rate, one line.
  QElapsedTimer batch;
  batch.start();
  const QPointer<TReplayFeed> alive(this);
  do {
    QByteArray line;
    bool found = NextLine(line);
    if (!found && m_loop && m_sent > 0 && m_file.seek(0)) found = NextLine(line);
    if (!found) {
      m_timer.stop();
      m_file.close();
      SetState(m_sent > 0 ? QStringLiteral("finished") : QStringLiteral("no packets in %1").arg(m_path));
      return;
    }
    ++m_sent;
    emit LineReceived(line);
    // A receiver may have stopped the feed, or let go of it.
    if (!alive || !m_timer.isActive()) return;
  } while (m_timer.interval() == 0 && batch.elapsed() < kBatchMilliseconds);
}

QString FindDemoFeed(const QString& applicationDir) {
  return FindDataFile(QStringLiteral("demo-feed.txt"), applicationDir);
}

QString FindDataFile(const QString& name, const QString& applicationDir) {
  const QDir folder(applicationDir);
  const QStringList candidates{folder.filePath(name), folder.filePath(QStringLiteral("data/") + name),
                               folder.filePath(QStringLiteral("../share/tarvik/") + name)};
  for (const QString& candidate : candidates)
    if (QFileInfo(candidate).isFile()) return QDir::cleanPath(candidate);
  return {};
}

std::unique_ptr<TFeed> MakeFeed(const TStandInSettings& settings, const QString& applicationDir) {
  const QString feed = QString::fromStdString(settings.Feed).trimmed();
  if (feed.compare(QStringLiteral("demo"), Qt::CaseInsensitive) == 0) {
    const QString path = FindDemoFeed(applicationDir);
    if (path.isEmpty()) return std::make_unique<TNoFeed>(QStringLiteral("demo feed not found (demo-feed.txt)"));
    return std::make_unique<TReplayFeed>(path, true, settings.FeedRate, QStringLiteral("demo"));
  }
  for (const std::string_view kind : {kFileFeed, kLoopFeed}) {
    const QString prefix = QString::fromLatin1(kind.data(), static_cast<qsizetype>(kind.size()));
    if (feed.startsWith(prefix, Qt::CaseInsensitive))
      return std::make_unique<TReplayFeed>(feed.mid(prefix.size()), kind == kLoopFeed, settings.FeedRate,
                                           prefix.chopped(1));
  }
  const bool aprsIs = feed.startsWith(QStringLiteral("aprsis:"), Qt::CaseInsensitive);
  const bool kiss = feed.startsWith(QStringLiteral("kiss:"), Qt::CaseInsensitive);
  if (aprsIs || kiss) {
    QString host;
    quint16 port = 0;
    if (!SplitHostPort(feed.mid(aprsIs ? 7 : 5), host, port))
      return std::make_unique<TNoFeed>(QStringLiteral("unusable feed address: %1").arg(feed));
    if (kiss) return std::make_unique<TKissFeed>(host, port);
    TAprsIsLogin login;
    login.Login = settings.Login.empty() ? settings.MyCall : settings.Login;
    login.Passcode = settings.Passcode;
    const bool followView = IsViewFilter(settings.Filter);
    if (!followView) login.Filter = settings.Filter;
    login.Version = TARVIK_VERSION;
    return std::make_unique<TAprsIsFeed>(host, port, std::move(login), followView);
  }
  if (feed.startsWith(QStringLiteral("serial:"), Qt::CaseInsensitive)) {
    const TSerialSetting serial = ParseSerialSetting(feed.mid(7).toStdString(), [](const std::string& path) {
      return QFileInfo::exists(QString::fromStdString(path));
    });
    if (!serial.Problem.empty())
      return std::make_unique<TNoFeed>(QStringLiteral("%1: %2").arg(feed, QString::fromStdString(serial.Problem)));
    return std::make_unique<TSerialFeed>(QString::fromStdString(serial.Device), serial.Speed, settings.SerialFlow,
                                         QByteArray::fromStdString(UnescapeSerialInit(settings.SerialInit)));
  }
  return std::make_unique<TNoFeed>(QStringLiteral("unsupported feed: %1").arg(feed));
}

}  // namespace standin
