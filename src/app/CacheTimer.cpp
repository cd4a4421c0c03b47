#include "CacheTimer.h"

namespace tarvik {

TQtCacheTimer::TQtCacheTimer() {
  QObject::connect(&m_timer, &QTimer::timeout, [this] {
    if (m_tick) m_tick();
  });
}

void TQtCacheTimer::SetInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
void TQtCacheTimer::SetOnTimer(std::function<void()> tick) { m_tick = std::move(tick); }
void TQtCacheTimer::Start() { m_timer.start(); }
void TQtCacheTimer::Stop() { m_timer.stop(); }

}  // namespace tarvik
