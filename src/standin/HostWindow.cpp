#include "HostWindow.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace standin {

TStandInWindow::TStandInWindow(QWidget* parent)
    : QWidget(parent), lblFeed(new QLabel(this)), lblHeard(new QLabel(this)) {
  setWindowTitle(QStringLiteral("Oxbel32 (stand-in host)"));
  lblFeed->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblFeed);
  layout->addWidget(lblHeard);
  ShowState(QStringLiteral("no feed"), 0);
}

void TStandInWindow::ShowState(const QString& feedState, int heardCount) {
  lblFeed->setText(QStringLiteral("Feed: ") + feedState);
  lblHeard->setText(QStringLiteral("Stations heard: %1").arg(heardCount));
}

void TStandInWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (OnClose) OnClose();
}

}  // namespace standin
