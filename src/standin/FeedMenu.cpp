#include "FeedMenu.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLayout>
#include <QMenuBar>
#include <QSerialPortInfo>

#include "TcpFeed.h"

namespace standin {

std::optional<std::string> NetworkFeedSetting(const QString& kind, const QString& typed) {
  QString host;
  quint16 port = 0;
  if (!SplitHostPort(typed.trimmed(), host, port)) return std::nullopt;
  if (host.contains(QLatin1Char(':'))) host = QStringLiteral("[%1]").arg(host);
  return QStringLiteral("%1:%2:%3").arg(kind, host).arg(port).toStdString();
}

TFeedChoosers DialogFeedChoosers(QWidget* parent) {
  TFeedChoosers choosers;
  choosers.ReplayFile = [parent]() -> std::optional<std::string> {
    const QString path = QFileDialog::getOpenFileName(parent, QStringLiteral("Replay a file of TNC2 lines"));
    if (path.isEmpty()) return std::nullopt;
    std::string feed = "file:";
    feed += path.toStdString();
    return feed;
  };
  const auto ask = [parent](const QString& kind, const QString& title, const QString& suggestion) {
    return [=]() -> std::optional<std::string> {
      bool ok = false;
      const QString typed = QInputDialog::getText(parent, title, QStringLiteral("Server (HOST:PORT):"),
                                                  QLineEdit::Normal, suggestion, &ok);
      if (!ok) return std::nullopt;
      return NetworkFeedSetting(kind, typed);
    };
  };
  choosers.AprsIs = ask(QStringLiteral("aprsis"), QStringLiteral("APRS-IS server"), QStringLiteral(":14580"));
  choosers.Kiss = ask(QStringLiteral("kiss"), QStringLiteral("KISS TNC"), QStringLiteral("127.0.0.1:8001"));
  choosers.Serial = [parent]() -> std::optional<std::string> {
    bool ok = false;
    // Editable: a device Qt does not list (a Bluetooth rfcomm link, a symlink) can be typed.
    const QString device = QInputDialog::getItem(parent, QStringLiteral("Serial KISS TNC"), QStringLiteral("Device:"),
                                                 SerialDeviceChoices(), 0, true, &ok);
    if (!ok) return std::nullopt;
    const QStringList speeds{"9600", "1200", "4800", "19200", "38400", "57600", "115200"};
    const QString speed = QInputDialog::getItem(parent, QStringLiteral("Serial KISS TNC"),
                                                QStringLiteral("Speed (bits per second):"), speeds, 0, true, &ok);
    if (!ok) return std::nullopt;
    return SerialFeedSetting(device, speed);
  };
  return choosers;
}

QStringList SerialDeviceChoices() {
  QStringList devices;
  for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) devices << port.systemLocation();
  devices.sort();
  return devices;
}

std::optional<std::string> SerialFeedSetting(const QString& device, const QString& speed) {
  bool ok = false;
  const uint value = speed.trimmed().toUInt(&ok);
  if (device.trimmed().isEmpty() || !ok || value == 0) return std::nullopt;
  return QStringLiteral("serial:%1:%2").arg(device.trimmed()).arg(value).toStdString();
}

QAction* AddFilterFollowsMapEntry(QWidget& window, bool on, std::function<void(bool on)> onToggle) {
  auto* menu = window.findChild<QMenu*>(QStringLiteral("mnuFeed"));
  if (!menu) return nullptr;
  menu->addSeparator();
  QAction* action = menu->addAction(QStringLiteral("Filter follows map"));
  action->setObjectName(QStringLiteral("actFilterFollowsMap"));
  action->setCheckable(true);
  action->setChecked(on);
  QObject::connect(action, &QAction::toggled, &window, std::move(onToggle));
  return action;
}

void AddFeedMenu(QWidget& window, TFeedChoosers choosers, std::function<void(const std::string&)> onFeed) {
  auto* bar = new QMenuBar(&window);
  QMenu* menu = bar->addMenu(QStringLiteral("&Feed"));
  menu->setObjectName(QStringLiteral("mnuFeed"));
  const auto add = [&](const QString& caption, std::function<std::optional<std::string>()> choose) {
    QAction* action = menu->addAction(caption);
    QObject::connect(action, &QAction::triggered, &window, [choose = std::move(choose), onFeed] {
      if (!choose) return;
      if (const auto feed = choose()) onFeed(*feed);
    });
  };
  add(QStringLiteral("&Demo"), [] { return std::optional<std::string>("demo"); });
  add(QStringLiteral("&Replay file..."), std::move(choosers.ReplayFile));
  add(QStringLiteral("&APRS-IS..."), std::move(choosers.AprsIs));
  add(QStringLiteral("&KISS TNC..."), std::move(choosers.Kiss));
  add(QStringLiteral("&Serial KISS TNC..."), std::move(choosers.Serial));
  if (window.layout()) window.layout()->setMenuBar(bar);
}

}  // namespace standin
