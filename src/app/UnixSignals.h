// SIGTERM and SIGINT end the program the orderly way, as "Close" does, so a
// desktop session that ends still saves the settings. The signal handler only
// writes a byte to a pipe; the GUI thread reads it through a QSocketNotifier.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace tarvik {

class TUnixSignals : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers for SIGTERM and SIGINT; `onSignal` runs on the GUI
  // thread with the signal's number. One instance at a time.
  explicit TUnixSignals(std::function<void(int signal)> onSignal);
  ~TUnixSignals() override;

  void SetOnSignal(std::function<void(int signal)> onSignal) { m_onSignal = std::move(onSignal); }

 private:
  void ReadPipe();

  std::function<void(int)> m_onSignal;
  std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace tarvik
