// The station cache's purge timer on a QTimer of the GUI thread, so a purge
// never overlaps an update.
#pragma once

#include <QTimer>

#include "APRSCache.h"

namespace tarvik {

class TQtCacheTimer : public aprs::TCacheTimer {
 public:
  TQtCacheTimer();
  void SetInterval(int milliseconds) override;
  void SetOnTimer(std::function<void()> tick) override;
  void Start() override;
  void Stop() override;

  bool Active() const { return m_timer.isActive(); }
  int Interval() const { return m_timer.interval(); }

 private:
  QTimer m_timer;
  std::function<void()> m_tick;
};

}  // namespace tarvik
