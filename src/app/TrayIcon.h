// The notification-area (tray) icon behind a small seam: the system tray where
// the desktop has one, nothing where it has none (offscreen, Xvfb, many
// desktops), and fakes in tests.
#pragma once

#include <QIcon>
#include <QString>
#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace tarvik {

// Mouse events the tray reports to the main window.
inline constexpr int kTrayLeftDoubleClick = 515;
inline constexpr int kTrayRightButtonDown = 516;

class TTrayIcon {
 public:
  virtual ~TTrayIcon() = default;
  // Whether an icon can be shown at all. Without one, minimising must keep
  // the window's taskbar entry, or the window could not be brought back.
  virtual bool Available() const = 0;
  // Shows the icon with its tip and menu; throws when the icon cannot be added.
  virtual void Add(const QIcon& icon, const QString& tip, QMenu* menu) = 0;
  // Removes the icon; harmless when it is not shown.
  virtual void Delete() = 0;
  virtual bool Visible() const = 0;

  // Mouse events on the icon (kTrayLeftDoubleClick, kTrayRightButtonDown).
  std::function<void(int mouseEvent)> OnCallback;
};

// No tray: nothing is shown and Available() is false.
class TNoTrayIcon : public TTrayIcon {
 public:
  bool Available() const override { return false; }
  void Add(const QIcon&, const QString&, QMenu*) override {}
  void Delete() override {}
  bool Visible() const override { return false; }
};

// The desktop's system tray through QSystemTrayIcon.
class TSystemTrayIcon : public TTrayIcon {
 public:
  TSystemTrayIcon();
  ~TSystemTrayIcon() override;
  bool Available() const override { return true; }
  void Add(const QIcon& icon, const QString& tip, QMenu* menu) override;
  void Delete() override;
  bool Visible() const override;

 private:
  std::unique_ptr<QSystemTrayIcon> m_icon;
};

// The system tray when the desktop offers one, else no tray.
std::unique_ptr<TTrayIcon> MakeDesktopTrayIcon();

}  // namespace tarvik
