// Feeds over TCP: an APRS-IS server or a software TNC's KISS port.
//
// Both connect on the event loop (never blocking the window), reconnect after
// a drop with a growing delay, and show their state in the host window. The
// retry scheduler is a seam so tests can see the delays without waiting.
#pragma once

#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <memory>

#include "AprsIs.h"
#include "Feed.h"
#include "Kiss.h"

namespace standin {

class TTcpFeed : public TFeed {
  Q_OBJECT
 public:
  // Schedules `retry` after `milliseconds`; by default a single-shot QTimer.
  using TRetryScheduler = std::function<void(int milliseconds, std::function<void()> retry)>;

  TTcpFeed(QString kind, QString host, quint16 port);
  ~TTcpFeed() override;

  void Start() override;
  void Stop() override;
  QString Description() const override;

  void SetRetryScheduler(TRetryScheduler scheduler) { m_schedule = std::move(scheduler); }

  int LinesReceived() const { return m_lines; }
  int Dropped() const { return m_dropped; }
  QString LastError() const { return m_lastError; }

 protected:
  virtual void OnConnected() {}
  virtual void OnBytes(std::string_view bytes) = 0;
  virtual void OnReset() = 0;
  void Send(const QByteArray& bytes);
  // A packet line has arrived: counts it and starts the retry series over.
  void CountLine();
  void CountDropped(int n) { m_dropped += n; }
  void ShowState();

 private:
  void Connect();
  void CloseSocket();
  void HandleDrop(const QString& why);

  QString m_kind;
  QString m_host;
  quint16 m_port;
  std::unique_ptr<QTcpSocket> m_socket;
  TReconnectDelay m_delay;
  TRetryScheduler m_schedule;
  bool m_running = false;
  int m_generation = 0;  // retries scheduled before a Stop are void
  int m_lines = 0;
  int m_dropped = 0;
  QString m_lastError;
};

class TAprsIsFeed : public TTcpFeed {
  Q_OBJECT
 public:
  TAprsIsFeed(QString host, quint16 port, TAprsIsLogin login);

 protected:
  void OnConnected() override;
  void OnBytes(std::string_view bytes) override;
  void OnReset() override;

 private:
  void SendLogin();

  TAprsIsLogin m_login;
  TLineSplitter m_splitter;
  QTimer m_loginTimer;
  bool m_loggedIn = false;
};

class TKissFeed : public TTcpFeed {
  Q_OBJECT
 public:
  TKissFeed(QString host, quint16 port);

  const TKissDecoder& Decoder() const { return m_decoder; }

 protected:
  void OnBytes(std::string_view bytes) override;
  void OnReset() override;

 private:
  TKissDecoder m_decoder;
};

// "HOST:PORT" (the host may be a bracketed IPv6 address); false when unusable.
bool SplitHostPort(const QString& text, QString& host, quint16& port);

}  // namespace standin
