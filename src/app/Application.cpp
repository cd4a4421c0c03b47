#include "Application.h"

#include <cstdio>
#include <exception>

namespace tarvik {

namespace {

void LogToStderr(const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); }

}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv), m_sink(&LogToStderr) {
  // The main window decides when the program ends: a hidden main window (in
  // the tray) or the host's own windows closing must not end it.
  setQuitOnLastWindowClosed(false);
}

void TApplication::Terminate(int exitCode) {
  m_terminated = true;
  m_exitCode = exitCode;
  exit(exitCode);
}

bool TApplication::QuitRequested() {
  const auto* app = qobject_cast<const TApplication*>(QCoreApplication::instance());
  return app != nullptr && app->Terminated();
}

void TApplication::TerminateRunning(int exitCode) {
  if (auto* app = qobject_cast<TApplication*>(QCoreApplication::instance())) {
    app->Terminate(exitCode);
  } else {
    QCoreApplication::exit(exitCode);
  }
}

int TApplication::Run() {
  if (m_terminated) return m_exitCode;
  const int rc = exec();
  return m_terminated ? m_exitCode : rc;
}

void TApplication::SetExceptionSink(TLogSink sink) { m_sink = sink ? std::move(sink) : TLogSink(&LogToStderr); }

bool TApplication::notify(QObject* receiver, QEvent* event) {
  return DeliverGuarded([&] { return QApplication::notify(receiver, event); }, m_sink);
}

void TApplication::Report(const TLogSink& sink, const std::string& message) {
  if (!sink) return;
  try {
    sink(message);
  } catch (...) {
    // A log that cannot take the line must not take the program down with it.
    LogToStderr(message);
  }
}

}  // namespace tarvik
