// The "Coverage" page: what each station claims in its PHG beside what it was
// measured to hear, "Draw Reach" for the measured-reach circles on the host's
// map, and "Export..." for the circles as GeoJSON or KML. The rows, circles
// and files are the stations library's (Coverage.h, CircleCollector.h,
// CircleExport.h); this file wires them to the page.
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <stdexcept>
#include <string>

#include "APRSParser.h"
#include "CircleCollector.h"
#include "CoverageModel.h"
#include "TarvikMain.h"
#include "Units.h"

namespace tarvik {

namespace {

constexpr const char* kExportFilter = "GeoJSON (*.geojson *.json);;KML (*.kml)";
constexpr std::string_view kKmlDocumentName = "Tarvik circles";

QPushButton* MakePageButton(QWidget* parent, const char* name, const char* caption, const char* hint) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setStatusTip(QString::fromLatin1(hint));
  button->setToolTip(QString::fromLatin1(hint));
  return button;
}

// Writes `contents` to `path` through a temporary file: a failure leaves
// whatever was at `path` as it was. Throws with the path and the reason.
void WriteWhole(const QString& path, const std::string& contents) {
  QSaveFile file(path);
  const auto fail = [&] {
    throw std::runtime_error("Cannot write " + path.toStdString() + ": " + file.errorString().toStdString());
  };
  if (!file.open(QIODevice::WriteOnly)) fail();
  if (file.write(contents.data(), static_cast<qint64>(contents.size())) != static_cast<qint64>(contents.size())) {
    file.cancelWriting();
    fail();
  }
  if (!file.commit()) fail();
}

}  // namespace

QString AskExportPathDialog(QWidget* parent) {
  return QFileDialog::getSaveFileName(parent, QStringLiteral("Export circles"), QStringLiteral("circles.geojson"),
                                      QString::fromLatin1(kExportFilter));
}

void TMainForm::CreateCoveragePage() {
  tsCoverage = new QWidget(PageControl);
  tsCoverage->setObjectName(QStringLiteral("tsCoverage"));
  auto* layout = new QVBoxLayout(tsCoverage);

  CoverageModel = new TCoverageModel(this);
  auto* sorted = new QSortFilterProxyModel(this);
  sorted->setObjectName(QStringLiteral("CoverageSort"));
  sorted->setSourceModel(CoverageModel);
  sorted->setSortRole(TCoverageModel::SortRole);
  lvCoverage = new QTableView(tsCoverage);
  lvCoverage->setObjectName(QStringLiteral("lvCoverage"));
  lvCoverage->setModel(sorted);
  lvCoverage->setSortingEnabled(true);
  lvCoverage->sortByColumn(static_cast<int>(TCoverageColumn::Callsign), Qt::AscendingOrder);
  lvCoverage->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvCoverage->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvCoverage->verticalHeader()->setVisible(false);
  lvCoverage->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(lvCoverage, 1);

  auto* panel = new QHBoxLayout();
  lblCoverageStatus = new QLabel(tsCoverage);
  lblCoverageStatus->setObjectName(QStringLiteral("lblCoverageStatus"));
  btnDrawReach = MakePageButton(tsCoverage, "btnDrawReach", "Draw &Reach",
                                "Draw the measured reach of every receiver in view (orange)");
  btnExport = MakePageButton(tsCoverage, "btnExport", "&Export...",
                             "Write the circles last drawn and the reach circles as GeoJSON or KML");
  panel->addWidget(lblCoverageStatus, 1);
  panel->addWidget(btnDrawReach);
  panel->addWidget(btnExport);
  layout->addLayout(panel);
  PageControl->addTab(tsCoverage, QStringLiteral("Coverage"));

  connect(btnDrawReach, &QPushButton::clicked, this, [this] { btnDrawReachClick(); });
  connect(btnExport, &QPushButton::clicked, this, [this] { btnExportClick(); });
}

std::vector<TCoverageRow> TMainForm::CurrentCoverageRows() const {
  if (!Cache) throw std::runtime_error("There is no station cache");
  // The sources of the same expiry period as the stations.
  const aprs::TDateTime cutOff = aprs::NowUtc() - Cache->MaxAge / units::kMinutesPerDay;
  return CoverageRows(*Cache, Reach, cutOff);
}

// On the clock tick and when the page is turned to: only a page that is seen
// is rebuilt, so a large cache costs nothing while the user looks elsewhere.
void TMainForm::RefreshCoverage() {
  if (PageControl->currentWidget() != tsCoverage) return;
  LogProblems("RefreshCoverage", [this] { CoverageModel->SetRows(CurrentCoverageRows()); });
}

void TMainForm::btnDrawReachClick() {
  LogProblems("btnDrawReachClick", [this] {
    TOxbMapSource map = HostMap();
    const std::vector<TCoverageRow> rows = CurrentCoverageRows();
    PlotReachCirclesKept(map, *Cache, rows, LastReachCircles);
    lblCoverageStatus->setText(QStringLiteral("Reach circles drawn: %1").arg(LastReachCircles.size()));
  });
}

void TMainForm::btnExportClick() {
  LogProblems("btnExportClick", [this] {
    const QString path = m_services.AskExportPath ? m_services.AskExportPath(this) : QString();
    if (path.isEmpty()) return;
    std::vector<TExportCircle> circles = LastPassCircles;
    circles.insert(circles.end(), LastReachCircles.begin(), LastReachCircles.end());
    const std::string contents = ExportFormatOf(path.toStdString()) == TExportFormat::Kml
                                     ? CirclesToKml(circles, kKmlDocumentName)
                                     : CirclesToGeoJson(circles);
    try {
      WriteWhole(path, contents);
    } catch (const std::exception& e) {
      lblCoverageStatus->setText(QString::fromStdString(e.what()));
      throw;
    }
    lblCoverageStatus->setText(QStringLiteral("%1 circles (%2 range, %3 reach) written to %4")
                                   .arg(circles.size())
                                   .arg(LastPassCircles.size())
                                   .arg(LastReachCircles.size())
                                   .arg(path));
  });
}

}  // namespace tarvik
