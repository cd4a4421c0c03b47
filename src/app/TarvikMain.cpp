#include "TarvikMain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>

#include "APRSParser.h"
#include "Application.h"
#include "CacheTimer.h"
#include "ExitFilter.h"
#include "Intake.h"
#include "Notes.h"
#include "PayPalLabel.h"
#include "QtFormAdapters.h"
#include "TarvikData.h"
#include "TarvikVersion.h"
#include "Text.h"

namespace tarvik {

namespace {

constexpr const char* kTrayTip = "Tarvik - right-click for options";
constexpr int kFormShowFirstDelaySeconds = 2;
constexpr int kFormShowSecondDelaySeconds = 1;
// The port edServerPort offers until the user saves another.
constexpr const char* kDefaultServerPort = "1448";
constexpr int kIconSize = 32;

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A control's hint: shown in the hint bar while the mouse is over it.
void SetHint(QWidget* widget, const char* hint) {
  widget->setStatusTip(QString::fromLatin1(hint));
  widget->setToolTip(QString::fromLatin1(hint));
}

}  // namespace

QString CaptionFor(const QString& title, const QString& fileVersion, const std::string& myCall) {
  const QStringList parts = fileVersion.split(QLatin1Char('.'));
  return title + QLatin1String(" v") + parts.mid(0, 3).join(QLatin1Char('.')) +
         QLatin1String(" - Station Call Sign: ") + Latin1(myCall);
}

QIcon TarvikIcon() {
  QPixmap pixmap(kIconSize, kIconSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor colours[] = {QColor(0, 160, 0), QColor(0, 0, 220), QColor(220, 0, 0)};
  int radius = kIconSize / 2 - 1;
  for (const QColor& colour : colours) {
    painter.setPen(QPen(colour, 2));
    painter.drawEllipse(QPoint(kIconSize / 2, kIconSize / 2), radius, radius);
    radius -= 5;
  }
  return QIcon(pixmap);
}

TMainForm::TMainForm(host::THostRegistry& registry, TMainFormServices services)
    : Registry(registry), m_services(std::move(services)) {
  clsStationInfo = std::make_unique<host::TclsStationInfo>(Registry);
  clsMyInfo = std::make_unique<host::TclsMyInfo>(Registry);
  CreateControls();
  FormCreate();
  // Every control exists now, so the stored settings find theirs.
  if (m_services.DM != nullptr) {
    FormSettings = std::make_unique<settings::TQtFormSettings>(
        m_services.DM->SettingsFile, *this, [this](const std::string& line) { ApplicationEvents1Exception(line); });
    FormSettings->RestoreAfterCreate();
  }
}

TMainForm::~TMainForm() {
  // Widgets that lose the focus while they are deleted would still report
  // their exit, after this window's members have gone.
  for (QObject* filter : m_exitFilters) filter->parent()->removeEventFilter(filter);
  if (FormSettings) FormSettings->SaveOnDestroy();
  FormDestroy();
}

// ---- Controls ----------------------------------------------------------------

void TMainForm::CreateControls() {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QString::fromLatin1(TApplication::kTitle));
  setWindowIcon(TarvikIcon());
  setGeometry(kDesignLeft, kDesignTop, kDesignWidth, kDesignHeight);

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  setCentralWidget(central);

  CreatePages();
  CreateCircleControls();
  CreateStationListPage();
  CreateCoveragePage();
  CreateBottomPanel();
  layout->addWidget(PageControl, 1);
  layout->addWidget(pnlBottom);
  CreateStatusBars();
  layout->addWidget(HintBar);
  CreateTrayMenu();
}

void TMainForm::CreatePages() {
  PageControl = new QTabWidget(this);
  PageControl->setObjectName(QStringLiteral("PageControl"));

  tsMain = new QWidget(PageControl);
  tsMain->setObjectName(QStringLiteral("tsMain"));
  auto* mainLayout = new QHBoxLayout(tsMain);
  pnlCircleControls = new QWidget(tsMain);
  pnlCircleControls->setObjectName(QStringLiteral("pnlCircleControls"));
  new QVBoxLayout(pnlCircleControls);
  Notes = new QPlainTextEdit(tsMain);
  Notes->setObjectName(QStringLiteral("Notes"));
  Notes->setReadOnly(true);
  Notes->setPlainText(QString::fromLatin1(kNotesText));
  edServerPort = new QLineEdit(QString::fromLatin1(kDefaultServerPort), tsMain);
  edServerPort->setObjectName(QStringLiteral("edServerPort"));
  edServerPort->setVisible(false);
  mainLayout->addWidget(pnlCircleControls);
  mainLayout->addWidget(Notes, 1);
  PageControl->addTab(tsMain, QStringLiteral("Range Circles"));

  tsStationList = new QWidget(PageControl);
  tsStationList->setObjectName(QStringLiteral("tsStationList"));
  new QVBoxLayout(tsStationList);
  PageControl->addTab(tsStationList, QStringLiteral("Station List"));

  tsLogView = new QWidget(PageControl);
  tsLogView->setObjectName(QStringLiteral("tsLogView"));
  auto* logLayout = new QVBoxLayout(tsLogView);
  moLog = new QPlainTextEdit(tsLogView);
  moLog->setObjectName(QStringLiteral("moLog"));
  moLog->setReadOnly(true);
  moLog->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The log is appended to and cut for as long as packets come; an undo history
  // of that would keep every line ever shown.
  moLog->setUndoRedoEnabled(false);
  m_logFlush = new QTimer(this);
  m_logFlush->setSingleShot(true);
  m_logFlush->setInterval(kLogFlushMs);
  connect(m_logFlush, &QTimer::timeout, this, [this] { FlushPacketLog(); });
  SetHint(moLog, "Received packet list");
  logLayout->addWidget(moLog);
  PageControl->addTab(tsLogView, QStringLiteral("Packet Log"));
}

void TMainForm::CreateBottomPanel() {
  pnlBottom = new QWidget(this);
  pnlBottom->setObjectName(QStringLiteral("pnlBottom"));
  auto* layout = new QHBoxLayout(pnlBottom);
  pnlLinks = new QWidget(pnlBottom);
  pnlLinks->setObjectName(QStringLiteral("pnlLinks"));
  new QHBoxLayout(pnlLinks);
  pnlLinks->layout()->setContentsMargins(0, 0, 0, 0);
  pnlLinks->layout()->addWidget(widgets::CreatePayPalLabel1(pnlLinks));
  btnClose = new QPushButton(QStringLiteral("Close"), pnlBottom);
  btnClose->setObjectName(QStringLiteral("btnClose"));
  SetHint(btnClose, "Press to exit this application");
  connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
  layout->addWidget(pnlLinks);
  layout->addStretch(1);
  layout->addWidget(btnClose);
}

void TMainForm::CreateStatusBars() {
  HintBar = new QStatusBar(this);
  HintBar->setObjectName(QStringLiteral("HintBar"));
  HintBar->setSizeGripEnabled(false);
  SetHint(HintBar, "This is where program hints are displayed (like this one)");

  StatusBar = new QStatusBar(this);
  StatusBar->setObjectName(QStringLiteral("StatusBar"));
  setStatusBar(StatusBar);
  const char* designTexts[] = {"", "Local", "UTC"};
  for (std::size_t i = 0; i < StatusPanels.size(); ++i) {
    StatusPanels[i] = new QLabel(QString::fromLatin1(designTexts[i]), StatusBar);
    StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
  }
  StatusBar->addWidget(StatusPanels[0], 1);
  StatusBar->addPermanentWidget(StatusPanels[1]);
  StatusBar->addPermanentWidget(StatusPanels[2]);
}

void TMainForm::CreateTrayMenu() {
  mnuTrayPopup = new QMenu(this);
  mnuTrayPopup->setObjectName(QStringLiteral("mnuTrayPopup"));
  miRestore = mnuTrayPopup->addAction(QStringLiteral("Restore"));
  miRestore->setObjectName(QStringLiteral("miRestore"));
  miExit = mnuTrayPopup->addAction(QStringLiteral("Exit"));
  miExit->setObjectName(QStringLiteral("miExit"));
  connect(miRestore, &QAction::triggered, this, [this] { miRestoreClick(); });
  connect(miExit, &QAction::triggered, this, [this] { miExitClick(); });
}

// ---- Life cycle ----------------------------------------------------------------

void TMainForm::FormCreate() {
  LogProblems("FormCreate", [this] {
    aprs::RelaxedPhgChecking = true;
    StatusPanels[0]->setText(QLatin1Char(' ') + QString::fromLatin1(TARVIK_LEGAL_NOTICE));
    m_appMinimizeInstalled = true;
    TrayIcon = m_services.MakeTray ? m_services.MakeTray() : nullptr;
    if (!TrayIcon) TrayIcon = std::make_unique<TNoTrayIcon>();
    TrayIcon->OnCallback = [this](int mouseEvent) { WMTrayIconCallback(mouseEvent); };
    TrayIcon->Add(TarvikIcon(), QString::fromLatin1(kTrayTip), mnuTrayPopup);
  });
  // The cache is created whatever became of the tray icon: without it no
  // packet could ever be kept.
  LogProblems("FormCreate", [this] {
    auto timer = m_services.MakeCacheTimer ? m_services.MakeCacheTimer() : std::make_unique<TQtCacheTimer>();
    Cache = std::make_unique<aprs::TPacketCache>(std::move(timer));
    Cache->SetEnabled(true);
    Cache->SetPurgeInterval(aprs::kDefaultPurgeIntervalSeconds);
    Cache->MaxAge = aprs::kDefaultMaxAgeMinutes;
    // Sources heard before the cache's cut-off leave the measured reach with it.
    Cache->OnPurged = [this](aprs::TDateTime cutOff) { Reach.Expire(cutOff); };
  });
}

void TMainForm::FormShow() {
  LogProblems("FormShow", [this] {
    Timing().Delay(kFormShowFirstDelaySeconds, true);
    PageControl->setCurrentWidget(tsMain);

    clsOxb = std::make_unique<host::TclsOxb>(Registry);
    clsOxb->AutoConnect = false;
    clsOxb->ConnectKind = host::TConnectKind::ckRunningOrNew;
    clsOxb->OnOxbel32IsClosing = [this](host::TclsOxb& sender) { clsOxbOxbel32IsClosing(sender); };
    clsOxb->OnDataAvailable = [this](host::TclsOxb& sender) { clsOxbDataAvailable(sender); };
    clsOxb->Connect();

    Timing().Delay(kFormShowSecondDelaySeconds, true);

    clsOxb->GetMyInfo(clsMyInfo->DefaultInterface());
    MyCall = text::Upper(host::NarrowText(clsMyInfo->GetMyCallsign()));
    setWindowTitle(
        CaptionFor(QString::fromLatin1(TApplication::kTitle), QString::fromLatin1(TARVIK_FILE_VERSION), MyCall));
    edExpireTimeAge();
    ReadStationInfo();
  });
}

void TMainForm::FormDestroy() {
  LogProblems("FormDestroy", [this] {
    if (clsOxb) {
      clsOxb->Disconnect();
      clsOxb.reset();
    }
    Cache.reset();
    if (TrayIcon) TrayIcon->Delete();
  });
}

void TMainForm::Terminate() {
  if (m_services.Terminate) {
    m_services.Terminate();
  } else {
    TApplication::TerminateRunning(0);
  }
}

// ---- Handlers --------------------------------------------------------------

void TMainForm::btnCloseClick() { Terminate(); }

void TMainForm::clsOxbOxbel32IsClosing(host::TclsOxb&) { Terminate(); }

void TMainForm::miExitClick() {
  LogProblems("miExitClick", [this] {
    TrayIcon->Delete();
    Terminate();
  });
}

void TMainForm::RestoreFromTray() {
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void TMainForm::miRestoreClick() {
  LogProblems("miRestoreClick", [this] { RestoreFromTray(); });
}

void TMainForm::WMTrayIconCallback(int mouseEvent) {
  LogProblems("WMTrayIconCallback", [this, mouseEvent] {
    if (mouseEvent == kTrayLeftDoubleClick) {
      RestoreFromTray();
    } else if (mouseEvent == kTrayRightButtonDown) {
      mnuTrayPopup->popup(QCursor::pos());
    }
  });
}

void TMainForm::AppMinimize() {
  // Without an icon in the tray the taskbar entry is the only way back.
  if (!TrayIcon || !TrayIcon->Available() || !TrayIcon->Visible()) return;
  QTimer::singleShot(0, this, [this] {
    if (isMinimized()) hide();
  });
}

void TMainForm::ApplicationEvents1Exception(const std::string& message) { AddLogLine(message); }

void TMainForm::WatchExit(QLineEdit* box, std::function<void()> onExit) {
  auto* filter = new TExitFilter(box, std::move(onExit));
  box->installEventFilter(filter);
  m_exitFilters.push_back(filter);
}

void TMainForm::LogProblems(const char* handler, const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& e) {
    AddLogLine(ProblemIn(handler, e.what()));
  }
}

// ---- Packet intake -----------------------------------------------------------

void TMainForm::clsOxbDataAvailable(host::TclsOxb& sender) {
  LogProblems("clsOxbDataAvailable", [this, &sender] {
    std::unique_ptr<aprs::TAprsPacket> packet = PacketFromHostText(host::NarrowText(sender.GetPacket()));
    // Nothing more inside the host's call: the packet goes through our own queue.
    if (packet) QCoreApplication::postEvent(this, new TDataAvailableEvent(std::move(packet)));
  });
}

void TMainForm::WMDataAvailable(TDataAvailableEvent& message) {
  std::unique_ptr<aprs::TAprsPacket> packet = message.TakePacket();
  if (!packet) return;
  LogProblems("WMDataAvailable", [this, &packet] {
    if (!AcceptPacket(*packet)) return;  // a rejected packet is freed here, unlogged
    if (!Cache) throw std::runtime_error("There is no station cache");
    QueuePacketLogLine(packet->RawPacket);
    Reach.Learn(*packet, MyCall);
    Cache->Update(std::move(packet));
    ListChanged = true;
  });
}

void TMainForm::AddLogLine(const std::string& text) {
  m_logBatch.Add(text);
  FlushPacketLog();
}

void TMainForm::QueuePacketLogLine(const std::string& line) {
  m_logBatch.Add(line);
  if (!m_logFlush->isActive()) m_logFlush->start();
}

void TMainForm::FlushPacketLog() {
  m_logFlush->stop();
  if (m_logBatch.Empty()) return;
  TLogUpdate update = m_logBatch.Take(m_logLines);
  if (update.DeleteOldest >= m_logLines) {
    moLog->clear();
  } else if (update.DeleteOldest > 0) {
    QTextCursor cursor(moLog->document());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, update.DeleteOldest);
    cursor.removeSelectedText();
  }
  m_logLines -= update.DeleteOldest;
  if (update.Append.empty()) return;
  std::string lines;
  for (std::size_t i = 0; i < update.Append.size(); ++i) {
    if (i > 0) lines += '\n';
    lines += update.Append[i];
  }
  moLog->appendPlainText(Latin1(lines));
  m_logLines += static_cast<int>(update.Append.size());
}

// ---- Qt events ----------------------------------------------------------------

bool TMainForm::event(QEvent* e) {
  if (e->type() == TDataAvailableEvent::WM_DATAAVAILABLE) {
    WMDataAvailable(static_cast<TDataAvailableEvent&>(*e));
    return true;
  }
  if (e->type() == QEvent::StatusTip) {
    HintBar->showMessage(static_cast<QStatusTipEvent*>(e)->tip());
    return true;
  }
  return QMainWindow::event(e);
}

void TMainForm::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (m_shown) return;
  m_shown = true;
  // Run once the window is on the screen, so it is visible while FormShow
  // waits for the host.
  QMetaObject::invokeMethod(
      this, [this] { FormShow(); }, Qt::QueuedConnection);
}

void TMainForm::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::WindowStateChange && m_appMinimizeInstalled && isMinimized()) AppMinimize();
}

void TMainForm::closeEvent(QCloseEvent* e) {
  if (FormSettings) FormSettings->SaveOnClose();
  e->accept();
  Terminate();
}

}  // namespace tarvik
