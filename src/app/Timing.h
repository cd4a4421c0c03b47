// Waits that keep the user interface alive, and the millisecond clock they use.
//
// A wait is counted in ticks of 55 ms (18.2 per second), the classic PC timer
// tick. While it waits it can dispatch pending events, so timers, tray clicks
// and host events are handled during the wait; a quit request seen while
// pumping ends the wait early and stays pending, so the application's own loop
// ends too.
#pragma once

#include <cstdint>
#include <functional>

namespace tarvik {

// What ProcessOneMessage reports.
inline constexpr unsigned kNoMessage = 0;
inline constexpr unsigned kQuitMessage = 18;  // the quit request
inline constexpr unsigned kOtherMessage = 1;  // something else was dispatched

inline constexpr int kTickMs = 55;
// The longest wait in ticks: half the range of a 32-bit millisecond clock.
inline constexpr int kMaxDelayTicks = 39045157;

// A millisecond clock on the monotonic clock; its low 32 bits, so it wraps
// after about 49.7 days.
std::uint32_t MsClock();

// Dispatches the events pending now, without waiting for more. Returns
// kQuitMessage when the application has been asked to quit (the request stays
// pending), kOtherMessage when events were dispatched, kNoMessage otherwise.
unsigned ProcessOneMessage();

// Ticks in a number of seconds: seconds * 1675 div 92 (2 s give 36 ticks).
int SecondsToTicks(int seconds);

// The waits, with their clock and event pump passed in so tests run them on
// simulated time.
class TTiming {
 public:
  using TClock = std::function<std::uint32_t()>;
  using TPump = std::function<unsigned()>;
  // Called between passes with the milliseconds left; lets the thread rest
  // instead of spinning. `pump` says whether events may be dispatched.
  using TIdle = std::function<void(std::uint32_t msLeft, bool pump)>;

  // The program's timing: MsClock, ProcessOneMessage, and a rest that waits
  // for the next event or the end of the current tick.
  TTiming();
  TTiming(TClock clock, TPump pump, TIdle idle);

  // Waits `ticks` ticks of 55 ms; returns at once below 1. With `pump`,
  // dispatches events on every pass and returns early on a quit request.
  void DelayTicks(int ticks, bool pump) const;
  // Waits SecondsToTicks(seconds) ticks.
  void Delay(int seconds, bool pump) const;

 private:
  TClock m_clock;
  TPump m_pump;
  TIdle m_idle;
};

}  // namespace tarvik
