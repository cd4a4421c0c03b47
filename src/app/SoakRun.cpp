#include "SoakRun.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QWidget>
#include <cstdio>
#include <filesystem>

#include "PrivateProfile.h"
#include "Text.h"

namespace tarvik {

TSoakSettings LoadSoakSettings(const std::string& iniPath) {
  TSoakSettings soak;
  const settings::TFileReadResult file = settings::ReadProfileFile(iniPath);
  if (file.Status != settings::TFileReadStatus::frOk) return soak;
  const auto value = [&file](std::string_view key) {
    return settings::ProfileLookup(file.Content, kSoakSection, key).value_or("");
  };
  soak.Page = value("Page");
  soak.Redraw = value("Redraw");
  if (const std::string stats = value("Stats"); !stats.empty()) {
    std::filesystem::path path(stats);
    if (path.is_relative()) path = std::filesystem::path(iniPath).parent_path() / path;
    soak.Stats = path.lexically_normal().string();
  }
  return soak;
}

std::string RunStatsText(const TRunStats& stats) {
  return "lines=" + std::to_string(stats.Lines) + "\ncached=" + std::to_string(stats.Cached) +
         "\nheard=" + std::to_string(stats.Heard) + "\n";
}

std::string ApplySoakChoices(QWidget& mainWindow, const TSoakSettings& soak) {
  if (!soak.Page.empty()) {
    auto* pages = mainWindow.findChild<QTabWidget*>(QStringLiteral("PageControl"));
    if (pages == nullptr) return "PageControl";
    const QString wanted = QString::fromStdString(soak.Page);
    int index = -1;
    for (int i = 0; i < pages->count(); ++i)
      if (pages->tabText(i).remove(QLatin1Char('&')) == wanted) index = i;
    if (index < 0) return "the page " + soak.Page;
    pages->setCurrentIndex(index);
  }
  if (!soak.Redraw.empty()) {
    auto* period = mainWindow.findChild<QLineEdit*>(QStringLiteral("edRedrawCircles"));
    auto* redraw = mainWindow.findChild<QCheckBox*>(QStringLiteral("cbRedrawCircles"));
    if (period == nullptr || redraw == nullptr) return "edRedrawCircles or cbRedrawCircles";
    period->setText(QString::fromStdString(soak.Redraw));
    // The box's click takes the period from the field; off and on again makes
    // it take the new one even when the box was on already.
    redraw->setChecked(false);
    redraw->setChecked(true);
  }
  return {};
}

TSoakStats::TSoakStats(std::string path, std::function<TRunStats()> stats, int intervalMs)
    : m_path(std::move(path)), m_stats(std::move(stats)) {
  m_timer.setInterval(intervalMs);
  connect(&m_timer, &QTimer::timeout, this, [this] { Write(); });
  m_timer.start();
  Write();
}

void TSoakStats::Write() {
  const settings::TWriteResult written = settings::ReplaceFileAtomically(m_path, RunStatsText(m_stats()));
  if (!written.Ok && !m_failed)
    std::fprintf(stderr, "tarvik: cannot write %s: %s\n", m_path.c_str(), written.Reason.c_str());
  m_failed = !written.Ok;
}

}  // namespace tarvik
