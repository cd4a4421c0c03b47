// The redraw timer of the range circles on a QTimer.
//
// Enabled and the interval are kept apart from the QTimer's own running
// state: an interval of 0 (the edit box holds "0") leaves an enabled timer
// without ticks, where a running QTimer of 0 ms would fire on every turn of
// the event loop.
//
// It is a QObject of its own, so that the window's timer can be found by its
// object name like the window's other components.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "DrawPass.h"
#include "Units.h"

namespace tarvik {

class TRedrawTimerQt : public QObject, public TRedrawTimer {
  Q_OBJECT

 public:
  explicit TRedrawTimerQt(QObject* parent) : QObject(parent), m_timer(new QTimer(this)) {}

  void SetEnabled(bool enabled) override {
    m_enabled = enabled;
    Apply();
  }
  void SetInterval(int milliseconds) override {
    m_interval = milliseconds;
    Apply();
  }
  bool Enabled() const { return m_enabled; }
  int Interval() const { return m_interval; }
  // Whether ticks will come: enabled with an interval above 0.
  bool Ticking() const { return m_timer->isActive(); }

  void SetOnTimer(std::function<void()> tick) {
    QObject::disconnect(m_connection);
    m_connection = QObject::connect(m_timer, &QTimer::timeout, m_timer, std::move(tick));
  }

 private:
  // Setting Enabled or Interval starts the count again, as a classic timer does.
  void Apply() {
    if (m_enabled && m_interval > 0)
      m_timer->start(m_interval);
    else
      m_timer->stop();
  }

  QTimer* m_timer;  // a child of this object
  QMetaObject::Connection m_connection;
  bool m_enabled = false;
  int m_interval = kDefaultRedrawSeconds * units::kMillisecondsPerSecond;
};

}  // namespace tarvik
