// The host window's Feed menu: Demo, Replay file..., APRS-IS..., KISS TNC..., Serial KISS TNC...,
// and the check "Filter follows map".
#pragma once

#include <QAction>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

namespace standin {

// Each chooser asks the user for a feed of its kind and returns the Feed
// setting ("file:PATH", "aprsis:HOST:PORT", "kiss:HOST:PORT"), or nothing
// when the user cancelled. Tests pass their own.
struct TFeedChoosers {
  std::function<std::optional<std::string>()> ReplayFile;
  std::function<std::optional<std::string>()> AprsIs;
  std::function<std::optional<std::string>()> Kiss;
  std::function<std::optional<std::string>()> Serial;
};

// Choosers that ask with the desktop's file dialog and input boxes.
TFeedChoosers DialogFeedChoosers(QWidget* parent);

// Adds the Feed menu to `window` (whose layout takes it as its menu bar);
// `onFeed` receives the chosen Feed setting.
void AddFeedMenu(QWidget& window, TFeedChoosers choosers, std::function<void(const std::string&)> onFeed);

// The Feed menu's check "Filter follows map", on when `on`; `onToggle` hears the user's choice.
QAction* AddFilterFollowsMapEntry(QWidget& window, bool on, std::function<void(bool on)> onToggle);

// The serial devices Qt finds, as paths to offer ("/dev/ttyUSB0", "/dev/rfcomm0").
QStringList SerialDeviceChoices();

// A device and a speed as chosen by the user to "serial:DEVICE:SPEED"; nothing when
// the device is empty or the speed is not a whole number above 0.
std::optional<std::string> SerialFeedSetting(const QString& device, const QString& speed);

// "HOST:PORT" as typed by the user to a Feed setting of `kind`; nothing when unusable.
std::optional<std::string> NetworkFeedSetting(const QString& kind, const QString& typed);

}  // namespace standin
