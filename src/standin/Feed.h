// Packet feeds of the stand-in host. A feed emits TNC2 lines ("SRC>DST,PATH:info")
// from the Qt event loop; the host turns each into a DataAvailable event. New
// sources (APRS-IS, KISS over TCP) derive from TFeed and are chosen in MakeFeed.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

#include "StandInSettings.h"

namespace standin {

class TFeed : public QObject {
  Q_OBJECT
 public:
  virtual void Start() = 0;
  virtual void Stop() = 0;
  // What the feed is, for the host window ("demo: /path/demo-feed.txt").
  virtual QString Description() const = 0;
  QString State() const { return m_state; }
  // The host map now shows `view` (minutes of arc); a feed that asks a server
  // for the stations in view follows it.
  virtual void ViewChanged(const TMapRect& view) { (void)view; }

 signals:
  // One line without its line end.
  void LineReceived(const QByteArray& line);
  // A frame heard on a radio port of a TNC; `port` counts from 1 as the host's ports do.
  void RadioLineReceived(const QByteArray& line, int port);
  void StateChanged(const QString& state);

 protected:
  void SetState(const QString& state);

 private:
  QString m_state = QStringLiteral("stopped");
};

// Replays a file of TNC2 lines, skipping empty lines and lines that begin with "#",
// once or in a loop, at `rate` lines per second (0: as fast as possible, as many
// lines in each event-loop turn as fit in kBatchMilliseconds).
class TReplayFeed : public TFeed {
  Q_OBJECT
 public:
  // Longest line handed on; a longer one cannot be a packet and is skipped whole.
  static constexpr qint64 kMaxLineBytes = 2048;
  static constexpr qint64 kBatchMilliseconds = 4;

  TReplayFeed(QString path, bool loop, double rate, QString name);
  void Start() override;
  void Stop() override;
  QString Description() const override;
  int LinesSent() const { return m_sent; }

 private:
  void Tick();
  // The next usable line, or nothing at the end of the file.
  bool NextLine(QByteArray& line);

  QString m_path;
  bool m_loop;
  QString m_name;
  QFile m_file;
  QTimer m_timer;
  int m_sent = 0;
};

// A feed that cannot run (an unknown or unusable Feed setting); it says why.
class TNoFeed : public TFeed {
  Q_OBJECT
 public:
  explicit TNoFeed(QString why) : m_why(std::move(why)) {}
  void Start() override { SetState(m_why); }
  void Stop() override {}
  QString Description() const override { return m_why; }

 private:
  QString m_why;
};

// The demo feed file: beside the executable or in its "data" folder (a
// portable copy, or a build folder, where the build puts a copy), else in
// "../share/tarvik" (an installed program). No path of the build machine is kept.
QString FindDemoFeed(const QString& applicationDir);
// A data file (the demo feed, the basemap) beside the executable, in its data
// folder, or in the source tree's; empty when there is none.
QString FindDataFile(const QString& name, const QString& applicationDir);

std::unique_ptr<TFeed> MakeFeed(const TStandInSettings& settings, const QString& applicationDir);

}  // namespace standin
