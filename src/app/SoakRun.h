// A long unattended run of the whole program (scripts/soak) is set up and
// watched through a section of the stand-in host's settings file, Oxbel32.INI:
//
//   [Soak]
//   Stats=soak-stats.txt   ; rewritten every second: lines handled, stations cached and heard
//   Page=Station List      ; the main window's page to show once it is up
//   Redraw=2               ; the circles redrawn every 2 seconds
//
// Without the section nothing here happens. Page and Redraw are applied as a
// user's clicks would apply them, so the run takes the paths a user's does and
// the choices are saved with the other settings at the end.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <string>

class QWidget;

namespace tarvik {

inline constexpr std::string_view kSoakSection = "Soak";

struct TSoakSettings {
  std::string Stats;  // absolute, or empty for no stats file
  std::string Page;
  std::string Redraw;
};

// The [Soak] section of the settings file at `iniPath`; a relative Stats path is
// taken from the file's folder. A missing file or section gives empty settings.
TSoakSettings LoadSoakSettings(const std::string& iniPath);

struct TRunStats {
  std::uint64_t Lines = 0;  // lines the host handed over
  int Cached = 0;           // stations in Tarvik's cache
  int Heard = 0;            // stations in the host's list
};

// "lines=...", "cached=..." and "heard=..." lines.
std::string RunStatsText(const TRunStats& stats);

// Shows the page named Page and sets the redraw period to Redraw seconds with
// the redraw on, each only when given. Names the control it could not find, or
// gives "" when all went well.
std::string ApplySoakChoices(QWidget& mainWindow, const TSoakSettings& soak);

// Rewrites the stats file at once and then every `intervalMs`, whole each time
// (a temporary file renamed over it), so a reader never sees half of it.
class TSoakStats : public QObject {
 public:
  static constexpr int kIntervalMs = 1000;

  TSoakStats(std::string path, std::function<TRunStats()> stats, int intervalMs = kIntervalMs);

 private:
  void Write();

  std::string m_path;
  std::function<TRunStats()> m_stats;
  QTimer m_timer;
  bool m_failed = false;  // a failure is reported once, not every second
};

}  // namespace tarvik
