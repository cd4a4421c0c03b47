#include "Timing.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <thread>

#include "Application.h"

namespace tarvik {

namespace {

constexpr int kTicksPerSecondNumerator = 1675;  // 18.2 ticks per second = 1675 / 92
constexpr int kTicksPerSecondDenominator = 92;

void RestUntilNextEvent(std::uint32_t msLeft, bool pump) {
  const auto wait = std::chrono::milliseconds(msLeft < kTickMs ? msLeft : kTickMs);
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  if (!pump || dispatcher == nullptr) {
    std::this_thread::sleep_for(std::min(wait, std::chrono::milliseconds(1)));
    return;
  }
  // A single-shot timer bounds the wait, so a quiet event queue cannot hold
  // the delay past its end.
  QTimer wake;
  wake.setSingleShot(true);
  wake.start(wait);
  dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

}  // namespace

std::uint32_t MsClock() {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}

unsigned ProcessOneMessage() {
  if (TApplication::QuitRequested()) return kQuitMessage;
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  const bool dispatched = dispatcher != nullptr && dispatcher->processEvents(QEventLoop::AllEvents);
  if (TApplication::QuitRequested()) return kQuitMessage;
  return dispatched ? kOtherMessage : kNoMessage;
}

int SecondsToTicks(int seconds) {
  return static_cast<int>(static_cast<long long>(seconds) * kTicksPerSecondNumerator / kTicksPerSecondDenominator);
}

TTiming::TTiming() : TTiming(&MsClock, &ProcessOneMessage, &RestUntilNextEvent) {}

TTiming::TTiming(TClock clock, TPump pump, TIdle idle)
    : m_clock(std::move(clock)), m_pump(std::move(pump)), m_idle(std::move(idle)) {}

void TTiming::DelayTicks(int ticks, bool pump) const {
  if (ticks < 1) return;
  if (ticks > kMaxDelayTicks) ticks = kMaxDelayTicks;

  // The wait ends when the tick counter has passed start + ticks. Counting the
  // elapsed time modulo 2^32 keeps that true across the clock's wrap.
  const std::uint32_t startMs = m_clock();
  const std::uint32_t phase = startMs % kTickMs;  // how far into its tick the wait starts
  const std::uint64_t endMs = (static_cast<std::uint64_t>(ticks) + 1) * kTickMs;
  for (;;) {
    const std::uint32_t elapsed = m_clock() - startMs;
    const std::uint64_t sinceTickStart = static_cast<std::uint64_t>(elapsed) + phase;
    if (sinceTickStart >= endMs) return;
    if (pump && m_pump && m_pump() == kQuitMessage) return;
    if (m_idle) m_idle(static_cast<std::uint32_t>(endMs - sinceTickStart), pump);
  }
}

void TTiming::Delay(int seconds, bool pump) const { DelayTicks(SecondsToTicks(seconds), pump); }

}  // namespace tarvik
