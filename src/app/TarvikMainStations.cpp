// The main window's "Station List" page, the five-second clock and the
// expiry age: the handlers that wire the page's controls to the station list
// logic (StationList.h, StationListModel.h, Clock.h).
#include <QCheckBox>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

#include "Intake.h"
#include "StationList.h"
#include "StationListModel.h"
#include "StationListView.h"
#include "TarvikMain.h"

namespace tarvik {

namespace {

constexpr const char* kExpireAgeHint = "Number of minutes before unheard stations are removed from the station list";

}  // namespace

void TMainForm::CreateStationListPage() {
  StationModel = new TStationListModel(this);
  const TStationListControls c = CreateStationListControls(tsStationList, StationModel);
  lvStations = c.lvStations;
  cbPauseUpdates = c.cbPauseUpdates;
  btnClearList = c.btnClearList;
  btnReloadList = c.btnReloadList;
  lblStationCount = c.lblStationCount;
  lblExpiredPackets = c.lblExpiredPackets;
  lblStationsReplaced = c.lblStationsReplaced;
  miCopy = c.miCopy;
  miLocate = c.miLocate;
  miRemove = c.miRemove;

  connect(btnClearList, &QPushButton::clicked, this, [this] { btnClearListClick(); });
  connect(btnReloadList, &QPushButton::clicked, this, [this] { btnReloadListClick(); });
  connect(miCopy, &QAction::triggered, this, [this] { miCopyClick(); });
  connect(miLocate, &QAction::triggered, this, [this] { miLocateClick(); });
  connect(miRemove, &QAction::triggered, this, [this] { miRemoveClick(); });
  connect(PageControl, &QTabWidget::currentChanged, this, [this] { PageControlChange(); });

  // The expiry age sits with the drawing controls on the "Range Circles" page.
  auto* expireRow = new QWidget(pnlCircleControls);
  expireRow->setObjectName(QStringLiteral("pnlExpireAge"));
  auto* expireLayout = new QHBoxLayout(expireRow);
  expireLayout->setContentsMargins(0, 0, 0, 0);
  auto* expireLabel = new QLabel(QStringLiteral("Station expire age (mins)"), expireRow);
  edExpireAge = new QLineEdit(QString::number(aprs::kDefaultMaxAgeMinutes), expireRow);
  edExpireAge->setObjectName(QStringLiteral("edExpireAge"));
  edExpireAge->setMaximumWidth(edExpireAge->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
  edExpireAge->setToolTip(QString::fromLatin1(kExpireAgeHint));
  edExpireAge->setStatusTip(QString::fromLatin1(kExpireAgeHint));
  expireLabel->setBuddy(edExpireAge);
  expireLayout->addWidget(expireLabel);
  expireLayout->addWidget(edExpireAge);
  expireLayout->addStretch(1);
  if (auto* circleLayout = qobject_cast<QBoxLayout*>(pnlCircleControls->layout())) circleLayout->addWidget(expireRow);
  WatchExit(edExpireAge, [this] { edExpireTimeAge(); });

  tmrClock = new QTimer(this);
  tmrClock->setObjectName(QStringLiteral("tmrClock"));
  tmrClock->setInterval(kClockIntervalMs);
  connect(tmrClock, &QTimer::timeout, this, [this] { tmrClockTimer(); });
  tmrClock->start();
}

// ---- Station list ---------------------------------------------------------------

void TMainForm::RefreshObjectView(bool force) {
  if (!ShouldRefreshStationList(RefreshingList, PageControl->currentWidget() == tsStationList,
                                cbPauseUpdates->isChecked(), force))
    return;
  lvStations->setUpdatesEnabled(false);
  RefreshingList = true;
  const auto restore = qScopeGuard([this] {
    RefreshingList = false;
    lvStations->setUpdatesEnabled(true);
  });
  LogProblems("RefreshObjectView", [this] {
    if (!Cache) throw std::runtime_error("There is no station cache");
    // The selection follows its station through the rebuild, so that a row
    // the user picked is still picked when the list changes under it.
    const std::string selected = SelectedStation();
    StationModel->SetRows(StationRows(*Cache));
    const int row = StationModel->RowOf(selected);
    if (row >= 0) lvStations->selectRow(row);
  });
}

void TMainForm::ReadStationInfo() {
  if (!clsOxb) throw host::EHostNotConnected();
  if (!Cache) throw std::runtime_error("There is no station cache");
  TStationListSink sink;
  sink.Accept = [](const aprs::TAprsPacket& packet) { return AcceptPacket(packet); };
  sink.Store = [this](std::unique_ptr<aprs::TAprsPacket> packet) {
    if (Cache) Cache->Update(std::move(packet));
  };
  sink.Log = [this](const std::string& line) { AddLogLine(line); };
  tarvik::ReadStationInfo(*clsOxb, *clsStationInfo, sink);
}

void TMainForm::btnClearListClick() {
  LogProblems("btnClearListClick", [this] {
    ClearStations();
    RefreshObjectView(true);
  });
}

void TMainForm::btnReloadListClick() {
  LogProblems("btnReloadListClick", [this] {
    StopCircleRedraw();
    const auto resume = qScopeGuard([this] { ResumeCircleRedraw(); });
    ClearStations();
    try {
      ReadStationInfo();
    } catch (...) {
      // The cache has been emptied: the list must not go on showing the old stations.
      RefreshObjectView(true);
      throw;
    }
    RefreshObjectView(true);
  });
}

// Clear List and Reload List start afresh: no station, no counter, nobody heard.
void TMainForm::ClearStations() {
  if (Cache) {
    Cache->Clear();
    Cache->ResetCounters();
  }
  Reach.Clear();
}

std::string TMainForm::SelectedStation() const { return StationModel->CallsignAt(SelectedStationRow(*lvStations)); }

const aprs::TAprsPacket* TMainForm::FindStation(const std::string& callsign) const {
  if (callsign.empty() || !Cache) return nullptr;
  return Cache->Find(callsign);
}

void TMainForm::miCopyClick() {
  LogProblems("miCopyClick", [this] {
    const aprs::TAprsPacket* station = FindStation(SelectedStation());
    if (station == nullptr) return;
    // The user's locale: the system's, unless the program has chosen another.
    const QString text = QString::fromStdString(StationCopyText(*station, QLocale().decimalPoint().toStdString()));
    if (m_services.Clipboard) m_services.Clipboard(text);
  });
}

void TMainForm::miLocateClick() {
  LogProblems("miLocateClick", [this] {
    const std::string callsign = SelectedStation();
    if (FindStation(callsign) == nullptr) return;
    TLocateActions actions;
    // Found again before every circle: messages are dispatched between them.
    actions.Find = [this, callsign] { return FindStation(callsign); };
    actions.StationColor = [this](const aprs::TAprsPacket& station) { return LocateStationColor(station); };
    actions.Draw = [this](const aprs::TAprsPacket& station, std::int32_t color) { DrawLocateCircle(station, color); };
    actions.Wait = [this](int ticks) { Timing().DelayTicks(ticks, true); };
    BlinkRangeCircle(actions);
  });
}

// The range circle of Locate: pen width 2, full size when the box says so.
void TMainForm::DrawLocateCircle(const aprs::TAprsPacket& station, std::int32_t color) {
  PlotRangeCircle(station, color, cbDrawFullsize->isChecked(), kLocatePenWidth);
}

std::int32_t TMainForm::LocateStationColor(const aprs::TAprsPacket& station) const { return StationColor(station); }

// The circle redraw timer is held while Reload List reads the host's list, and
// runs again afterwards only when its box is checked.
void TMainForm::StopCircleRedraw() { tmrRedrawCircles->SetEnabled(false); }
void TMainForm::ResumeCircleRedraw() { tmrRedrawCircles->SetEnabled(cbRedrawCircles->isChecked()); }

void TMainForm::miRemoveClick() {
  LogProblems("miRemoveClick", [this] {
    const int row = SelectedStationRow(*lvStations);
    if (row < 0) return;
    const std::string callsign = StationModel->CallsignAt(row);
    StationModel->Detach(row);
    const aprs::TAprsPacket* station = FindStation(callsign);
    if (station == nullptr) return;
    Cache->Remove(*station);
    RefreshObjectView(true);
  });
}

void TMainForm::PageControlChange() {
  if (PageControl->currentWidget() == tsStationList) RefreshObjectView(true);
  RefreshCoverage();
}

// ---- Clock and expiry age -----------------------------------------------------

void TMainForm::tmrClockTimer() {
  LogProblems("tmrClockTimer", [this] {
    const TClockPanels panels =
        ClockPanels(m_services.WallClock ? m_services.WallClock() : SystemWallClock(), QLocale::system());
    StatusPanels[1]->setText(panels.Local);
    StatusPanels[2]->setText(panels.Utc);
    if (TakeListChanged(ListChanged)) RefreshObjectView(false);
    RefreshCoverage();
    if (!Cache) throw std::runtime_error("There is no station cache");
    const TCounterTexts counters = CounterTexts(StationCounters(*Cache));
    lblStationCount->setText(counters.Count);
    lblExpiredPackets->setText(counters.Expired);
    lblStationsReplaced->setText(counters.Replaced);
  });
}

void TMainForm::edExpireTimeAge() {
  if (Cache) Cache->MaxAge = ExpireAgeFromText(edExpireAge->text());
}

}  // namespace tarvik
