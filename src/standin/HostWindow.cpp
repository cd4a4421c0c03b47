#include "HostWindow.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QVBoxLayout>

namespace standin {

TStandInWindow::TStandInWindow(QWidget* parent)
    : QWidget(parent), lblFeed(new QLabel(this)), lblHeard(new QLabel(this)), lblTiles(new QLabel(this)) {
  setWindowTitle(QStringLiteral("Oxbel32 (stand-in host)"));
  lblFeed->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblFeed);
  layout->addWidget(lblHeard);
  layout->addWidget(lblTiles);
  ShowState(QStringLiteral("no feed"), 0);
}

void TStandInWindow::ShowState(const QString& feedState, int heardCount) {
  lblFeed->setText(QStringLiteral("Feed: ") + feedState);
  lblHeard->setText(QStringLiteral("Stations heard: %1").arg(heardCount));
}

QAction* TStandInWindow::AddTilesEntry(const QString& problem, bool on, std::function<void(bool on)> onToggle) {
  auto* bar = qobject_cast<QMenuBar*>(layout()->menuBar());
  if (!bar) {
    bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
  }
  QMenu* menu = bar->addMenu(QStringLiteral("&Map"));
  QAction* action = menu->addAction(problem.isEmpty() ? QStringLiteral("Online &tiles")
                                                      : QStringLiteral("Online tiles: off, ") + problem);
  action->setObjectName(QStringLiteral("actTiles"));
  action->setCheckable(true);
  action->setChecked(on && problem.isEmpty());
  action->setEnabled(problem.isEmpty());
  connect(action, &QAction::toggled, this, std::move(onToggle));
  return action;
}

void TStandInWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (OnClose) OnClose();
}

}  // namespace standin
