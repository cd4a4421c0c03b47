// The host window's Feed menu: Demo, Replay file..., APRS-IS..., KISS TNC...
#pragma once

#include <QString>
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
};

// Choosers that ask with the desktop's file dialog and input boxes.
TFeedChoosers DialogFeedChoosers(QWidget* parent);

// Adds the Feed menu to `window` (whose layout takes it as its menu bar);
// `onFeed` receives the chosen Feed setting.
void AddFeedMenu(QWidget& window, TFeedChoosers choosers, std::function<void(const std::string&)> onFeed);

// "HOST:PORT" as typed by the user to a Feed setting of `kind`; nothing when unusable.
std::optional<std::string> NetworkFeedSetting(const QString& kind, const QString& typed);

}  // namespace standin
