// Feeds over TCP: an APRS-IS server or a software TNC's KISS port.
//
// Both connect on the event loop (never blocking the window), reconnect after
// a drop with a growing delay, and show their state in the host window. The
// retry scheduler is a seam so tests can see the delays without waiting.
#pragma once

#include <QTcpSocket>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "AprsIs.h"
#include "Feed.h"
#include "Kiss.h"
#include "ViewFilter.h"

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
  using TClock = std::function<std::int64_t()>;

  // With `followView` the filter is the area around the map's view (see
  // ViewFilter.h) instead of the login's filter.
  TAprsIsFeed(QString host, quint16 port, TAprsIsLogin login, bool followView = false);

  void ViewChanged(const TMapRect& view) override;
  // Turns following the map on or off on the running connection.
  void FollowView(bool on);
  bool FollowsView() const { return m_followView; }
  // The filter the feed asks for now: the view's area or the login's filter.
  std::string CurrentFilter() const;
  // Milliseconds on a steady clock, and when to look at a waiting filter again; tests pass their own.
  void SetFilterClock(TClock clock, TRetryScheduler later) {
    m_clock = std::move(clock);
    m_later = std::move(later);
  }

 protected:
  void OnConnected() override;
  void OnBytes(std::string_view bytes) override;
  void OnReset() override;

 private:
  void SendLogin();
  // Sends the waiting filter when its time has come, else looks again then.
  void PaceFilter();

  TAprsIsLogin m_login;
  TLineSplitter m_splitter;
  QTimer m_loginTimer;
  bool m_loggedIn = false;
  bool m_followView = false;
  std::optional<TMapRect> m_view;
  TFilterPacer m_pacer;
  TClock m_clock;
  TRetryScheduler m_later;
  bool m_paceScheduled = false;
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
