// An edit box's "exit" event: focus moving to another control of the window.
// Focus lost because the whole window was deactivated, or to a pop-up, is no
// exit: the user has not left the box.
#pragma once

#include <QEvent>
#include <QFocusEvent>
#include <QObject>
#include <functional>

namespace tarvik {

class TExitFilter : public QObject {
 public:
  TExitFilter(QObject* parent, std::function<void()> onExit) : QObject(parent), m_onExit(std::move(onExit)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusOut) {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) m_onExit();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> m_onExit;
};

}  // namespace tarvik
