#include "TrayIcon.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <stdexcept>

namespace tarvik {

TSystemTrayIcon::TSystemTrayIcon() : m_icon(std::make_unique<QSystemTrayIcon>()) {
  QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason why) {
    // The right button's menu is the icon's context menu, which the desktop
    // opens itself; only the double-click needs the main window.
    if (why == QSystemTrayIcon::DoubleClick && OnCallback) OnCallback(kTrayLeftDoubleClick);
  });
}

TSystemTrayIcon::~TSystemTrayIcon() = default;

void TSystemTrayIcon::Add(const QIcon& icon, const QString& tip, QMenu* menu) {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) throw std::runtime_error("No system tray is available");
  m_icon->setIcon(icon);
  m_icon->setToolTip(tip);
  m_icon->setContextMenu(menu);
  m_icon->show();
}

void TSystemTrayIcon::Delete() { m_icon->hide(); }

bool TSystemTrayIcon::Visible() const { return m_icon->isVisible(); }

std::unique_ptr<TTrayIcon> MakeDesktopTrayIcon() {
  if (QSystemTrayIcon::isSystemTrayAvailable()) return std::make_unique<TSystemTrayIcon>();
  return std::make_unique<TNoTrayIcon>();
}

}  // namespace tarvik
