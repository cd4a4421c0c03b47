// The main window: three pages ("Range Circles", "Station List", "Packet
// Log"), the bottom panel with "Close", the hint bar, the status bar, the tray
// icon, the host connection and the packet intake.
//
// Controls and state carry the names the rest of the program knows them by
// (`moLog`, `btnClose`, `ListChanged`). The controls are the window's own;
// each one's object name is its own name, by which the stored settings and
// the tests find it.
#pragma once

#include <QEvent>
#include <QMainWindow>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "APRSCache.h"
#include "APRSData.h"
#include "CircleExport.h"
#include "Clock.h"
#include "Coverage.h"
#include "DrawPass.h"
#include "LogBatch.h"
#include "MeasuredReach.h"
#include "Oxbel32_TLB.h"
#include "RangeCircle.h"
#include "RedrawTimer.h"
#include "StationListView.h"
#include "Timing.h"
#include "TrayIcon.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTableView;
class QTimer;

namespace settings {
class TQtFormSettings;
}

namespace tarvik {

class TDM;
class TStationListModel;
class TCoverageModel;

// The main window's private event carrying one parsed packet. The event owns
// the packet until WMDataAvailable takes it; an event that is never delivered
// (the window went first) frees it with itself.
class TDataAvailableEvent : public QEvent {
 public:
  static constexpr QEvent::Type WM_DATAAVAILABLE = static_cast<QEvent::Type>(1126);

  explicit TDataAvailableEvent(std::unique_ptr<aprs::TAprsPacket> packet)
      : QEvent(WM_DATAAVAILABLE), m_packet(std::move(packet)) {}
  std::unique_ptr<aprs::TAprsPacket> TakePacket() { return std::move(m_packet); }

 private:
  std::unique_ptr<aprs::TAprsPacket> m_packet;
};

// The save dialog of "Export...": a GeoJSON or KML file name, "" when cancelled.
QString AskExportPathDialog(QWidget* parent);

// What the main window needs from its surroundings; tests pass fakes.
struct TMainFormServices {
  TDM* DM = nullptr;  // the settings' owner; without one nothing is restored or saved
  TTiming Timing;
  std::function<std::unique_ptr<TTrayIcon>()> MakeTray = &MakeDesktopTrayIcon;
  std::function<std::unique_ptr<aprs::TCacheTimer>()> MakeCacheTimer;  // empty: a QTimer
  std::function<void()> Terminate;                                     // empty: TApplication's
  TWallClock WallClock = &SystemWallClock;                             // the time the clock panels show
  TClipboardWriter Clipboard = &SystemClipboardWriter;                 // where Copy puts its text
  // The file "Export..." writes, asked of the user; "" when the user cancels.
  std::function<QString(QWidget* parent)> AskExportPath = &AskExportPathDialog;
};

// The window caption: title, " v", major.minor.release of the file version,
// " - Station Call Sign: " and the call ("Tarvik v1.0.0 - Station Call Sign: N0CALL").
QString CaptionFor(const QString& title, const QString& fileVersion, const std::string& myCall);

// The icon of the window and the tray: three range circles.
QIcon TarvikIcon();

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kDesignLeft = 360;
  static constexpr int kDesignTop = 250;
  static constexpr int kDesignWidth = 633;
  static constexpr int kDesignHeight = 438;

  explicit TMainForm(host::THostRegistry& registry, TMainFormServices services = {});
  ~TMainForm() override;

  // ---- Handlers -----------------------------------------------------------
  void FormCreate();
  void FormShow();
  void FormDestroy();
  void WMTrayIconCallback(int mouseEvent);
  void miRestoreClick();
  void miExitClick();
  void btnCloseClick();
  void clsOxbOxbel32IsClosing(host::TclsOxb& sender);
  void clsOxbDataAvailable(host::TclsOxb& sender);
  void WMDataAvailable(TDataAvailableEvent& message);
  void AppMinimize();
  void ApplicationEvents1Exception(const std::string& message);

  // ---- Station list page, clock and expiry age (TarvikMainStations.cpp) ----
  void RefreshObjectView(bool force);
  void ReadStationInfo();
  void btnClearListClick();
  void btnReloadListClick();
  void miCopyClick();
  void miLocateClick();
  void miRemoveClick();
  void PageControlChange();
  void tmrClockTimer();
  void edExpireTimeAge();

  // Appends one line to the packet log, then cuts the log back to its newest
  // 500 lines once it holds more than 1000. Packet lines still waiting in the
  // batch are written first, so the log keeps the order things happened in.
  void AddLogLine(const std::string& text);
  // Packet lines are batched and written within kLogFlushMs; this writes them now.
  void FlushPacketLog();
  static constexpr int kLogFlushMs = 50;

  // ---- Range circles (TarvikMainCircles.cpp) ------------------------------
  // A failure propagates to the caller; the handlers below let it reach the
  // application-wide handler.
  void PlotRangeCircle(const aprs::TAprsPacket& station, std::int32_t color, bool fullSize, int penWidth);
  void PlotDfCircle(const aprs::TAprsPacket& station, std::int32_t color);
  void PlotCircles(bool fullSize);
  void btnDrawCirclesClick();
  void tmrRedrawCirclesTimer();
  void cbRedrawCirclesClick();
  void edRedrawCirclesExit();
  void btnRefreshMapClick();

  // ---- Coverage page (TarvikMainCoverage.cpp) -----------------------------
  void RefreshCoverage();
  void btnDrawReachClick();
  void btnExportClick();

  // ---- State --------------------------------------------------------------
  host::THostRegistry& Registry;
  std::unique_ptr<host::TclsOxb> clsOxb;  // from the first show until destruction
  std::unique_ptr<host::TclsStationInfo> clsStationInfo;
  std::unique_ptr<host::TclsMyInfo> clsMyInfo;
  std::unique_ptr<TTrayIcon> TrayIcon;
  std::unique_ptr<aprs::TPacketCache> Cache;
  // Who heard whom directly, learned from every accepted packet and aged with the cache.
  TMeasuredReach Reach;
  // The circles the last draw pass and the last "Draw Reach" put on the map, for "Export...".
  std::vector<TExportCircle> LastPassCircles;
  std::vector<TExportCircle> LastReachCircles;
  std::unique_ptr<settings::TQtFormSettings> FormSettings;  // placement and stored control values
  std::string MyCall;
  bool RefreshingList = false;
  bool ListChanged = false;

  const TTiming& Timing() const { return m_services.Timing; }

 protected:
  bool event(QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void CreateControls();
  void CreatePages();
  void CreateBottomPanel();
  void CreateStatusBars();
  void CreateTrayMenu();
  void Terminate();
  void RestoreFromTray();
  void CreateCircleControls();
  void PressDefaultButton();
  // Runs a handler's body: an error is logged as "Problem in <handler>:
  // <message>" and ends the body there.
  void LogProblems(const char* handler, const std::function<void()>& body);
  // Runs a handler whose errors go to the application-wide handler.
  void Guarded(const std::function<void()>& handler);
  // Calls onExit when the focus leaves the edit box for another control.
  void WatchExit(QLineEdit* box, std::function<void()> onExit);
  TOxbMapSource HostMap();
  TCircleChoice CircleChoice() const;
  void CreateStationListPage();
  std::string SelectedStation() const;
  const aprs::TAprsPacket* FindStation(const std::string& callsign) const;
  void DrawLocateCircle(const aprs::TAprsPacket& station, std::int32_t color);
  std::int32_t LocateStationColor(const aprs::TAprsPacket& station) const;
  void StopCircleRedraw();
  void ResumeCircleRedraw();
  void CreateCoveragePage();
  std::vector<TCoverageRow> CurrentCoverageRows() const;
  void ClearStations();

  // ---- Controls -----------------------------------------------------------
  QTabWidget* PageControl = nullptr;
  QWidget* tsMain = nullptr;             // "Range Circles"
  QWidget* pnlCircleControls = nullptr;  // left of tsMain: the drawing controls go here
  QPlainTextEdit* Notes = nullptr;       // right of tsMain
  QLineEdit* edServerPort = nullptr;     // hidden; its text is kept with the settings
  QWidget* tsStationList = nullptr;      // "Station List": the list view and its panel go here
  QWidget* tsLogView = nullptr;          // "Packet Log"
  QPlainTextEdit* moLog = nullptr;
  QWidget* pnlBottom = nullptr;
  QWidget* pnlLinks = nullptr;  // left of the bottom panel: the donation label goes here
  QPushButton* btnClose = nullptr;
  QStatusBar* HintBar = nullptr;
  QStatusBar* StatusBar = nullptr;
  std::array<QLabel*, 3> StatusPanels{};  // 0: legal notice, 1: local clock, 2: UTC clock
  QTableView* lvStations = nullptr;       // on tsStationList, over StationModel
  QCheckBox* cbPauseUpdates = nullptr;
  QPushButton* btnClearList = nullptr;
  QPushButton* btnReloadList = nullptr;
  QLabel* lblStationCount = nullptr;
  QLabel* lblExpiredPackets = nullptr;
  QLabel* lblStationsReplaced = nullptr;
  QAction* miCopy = nullptr;  // the station list's pop-up menu
  QAction* miLocate = nullptr;
  QAction* miRemove = nullptr;
  QLineEdit* edExpireAge = nullptr;  // on tsMain
  QTimer* tmrClock = nullptr;
  TStationListModel* StationModel = nullptr;
  QMenu* mnuTrayPopup = nullptr;
  QAction* miRestore = nullptr;
  QAction* miExit = nullptr;
  // "Range Circles" page, group box "Control" (TarvikMainCircles.cpp)
  QGroupBox* gbControl = nullptr;
  QCheckBox* cbDrawDigis = nullptr;
  QCheckBox* cbDrawMobiles = nullptr;
  QCheckBox* cbDrawIGates = nullptr;
  QCheckBox* cbDrawDefaultPHG = nullptr;
  QCheckBox* cbDrawOthers = nullptr;
  QWidget* pnlRedraw = nullptr;
  QCheckBox* cbRedrawCircles = nullptr;
  QLineEdit* edRedrawCircles = nullptr;
  QLabel* lblRedrawSeconds = nullptr;
  QCheckBox* cbDrawFullsize = nullptr;
  QCheckBox* cbDrawDF = nullptr;
  QPushButton* btnRefreshMap = nullptr;
  QPushButton* btnDrawCircles = nullptr;
  // "Coverage" page (TarvikMainCoverage.cpp)
  QWidget* tsCoverage = nullptr;
  QTableView* lvCoverage = nullptr;
  TCoverageModel* CoverageModel = nullptr;
  QPushButton* btnDrawReach = nullptr;
  QPushButton* btnExport = nullptr;
  QLabel* lblCoverageStatus = nullptr;
  // Deleted with the window's other members, before its widgets.
  std::unique_ptr<TRedrawTimerQt> tmrRedrawCircles;

  // An accepted packet's line: into the batch, written within kLogFlushMs.
  void QueuePacketLogLine(const std::string& line);

  TMainFormServices m_services;
  TLogBatch m_logBatch;
  int m_logLines = 0;            // lines the packet log shows
  QTimer* m_logFlush = nullptr;  // single shot: writes the batch
  std::vector<QObject*> m_exitFilters;
  bool m_shown = false;
  bool m_appMinimizeInstalled = false;
};

}  // namespace tarvik
