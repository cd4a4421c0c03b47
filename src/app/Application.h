// The application object: an orderly quit request that also holds before the
// event loop runs, and one handler for every exception that escapes an event
// handler (logged, never shown in a dialog).
#pragma once

#include <QApplication>
#include <exception>
#include <functional>
#include <string>

namespace tarvik {

class TApplication : public QApplication {
  Q_OBJECT

 public:
  using TLogSink = std::function<void(const std::string& message)>;

  TApplication(int& argc, char** argv);

  // The program's title, as the window caption starts with it.
  static constexpr const char* kTitle = "Tarvik";

  // Ends the application: the event loop ends (or never starts), then the
  // windows are destroyed. Safe to call from anywhere on the GUI thread.
  void Terminate(int exitCode = 0);
  bool Terminated() const { return m_terminated; }
  int ExitCode() const { return m_exitCode; }

  // Whether the running TApplication, if any, has been asked to quit.
  static bool QuitRequested();
  // Terminate() of the running TApplication, else an exit of the event loop.
  static void TerminateRunning(int exitCode = 0);

  // Runs the event loop unless a quit was requested before it started.
  int Run();

  // Where escaped exceptions are logged; an empty sink sends them to stderr.
  void SetExceptionSink(TLogSink sink);

  bool notify(QObject* receiver, QEvent* event) override;

  // The guarded delivery used by notify: runs `deliver`, and hands the message
  // of any exception it throws to `sink`. Returns what `deliver` returned, or
  // false after an exception.
  template <class TDeliver>
  static bool DeliverGuarded(TDeliver&& deliver, const TLogSink& sink) {
    try {
      return deliver();
    } catch (const std::exception& e) {
      Report(sink, e.what());
    } catch (...) {
      Report(sink, kUnknownError);
    }
    return false;
  }

  static constexpr const char* kUnknownError = "Unknown error";

 private:
  static void Report(const TLogSink& sink, const std::string& message);

  bool m_terminated = false;
  int m_exitCode = 0;
  TLogSink m_sink;
};

}  // namespace tarvik
