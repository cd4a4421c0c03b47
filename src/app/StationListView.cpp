#include "StationListView.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "StationList.h"
#include "StationListModel.h"

namespace tarvik {

namespace {

// A hint shows as the tooltip and in the hint bar.
void SetHint(QWidget* widget, const QString& hint) {
  widget->setToolTip(hint);
  widget->setStatusTip(hint);
}

QLabel* AddCounter(QHBoxLayout* layout, QWidget* page, const QString& caption, const QString& name) {
  layout->addWidget(new QLabel(caption, page));
  auto* value = new QLabel(QStringLiteral("0"), page);
  value->setObjectName(name);
  value->setMinimumWidth(40);
  layout->addWidget(value);
  return value;
}

QAction* AddMenuItem(QTableView* list, const QString& name, const QString& caption, const QKeySequence& shortcut,
                     const QString& hint) {
  auto* action = new QAction(caption, list);
  action->setObjectName(name);
  action->setShortcut(shortcut);
  // The shortcuts belong to the list's pop-up menu: they work while the list has the focus.
  action->setShortcutContext(Qt::WidgetShortcut);
  if (!hint.isEmpty()) {
    action->setToolTip(hint);
    action->setStatusTip(hint);
  }
  list->addAction(action);
  return action;
}

}  // namespace

TStationListControls CreateStationListControls(QWidget* page, TStationListModel* model) {
  TStationListControls c;
  // The page may come with an empty column layout of its own.
  auto* layout = qobject_cast<QVBoxLayout*>(page->layout());
  if (layout == nullptr) layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);

  c.lvStations = new QTableView(page);
  c.lvStations->setObjectName(QStringLiteral("lvStations"));
  SetHint(c.lvStations, QStringLiteral("List of stations"));
  c.lvStations->setModel(model);
  c.lvStations->setShowGrid(true);
  c.lvStations->setSelectionBehavior(QAbstractItemView::SelectRows);
  c.lvStations->setSelectionMode(QAbstractItemView::SingleSelection);
  c.lvStations->setEditTriggers(QAbstractItemView::NoEditTriggers);
  c.lvStations->setWordWrap(false);
  c.lvStations->setSortingEnabled(false);  // the model keeps the rows in callsign order
  c.lvStations->verticalHeader()->hide();
  c.lvStations->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  c.lvStations->verticalHeader()->setDefaultSectionSize(c.lvStations->fontMetrics().height() + 4);
  QHeaderView* header = c.lvStations->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setStretchLastSection(true);
  header->setHighlightSections(false);
  for (int col = 0; col < kStationColumnCount; ++col) {
    const int width = StationColumns[static_cast<std::size_t>(col)].Width;
    if (width > 0) c.lvStations->setColumnWidth(col, width);
  }
  c.lvStations->setContextMenuPolicy(Qt::ActionsContextMenu);
  c.miCopy = AddMenuItem(c.lvStations, QStringLiteral("miCopy"), QStringLiteral("Copy"),
                         QKeySequence(Qt::CTRL | Qt::Key_C), QStringLiteral("Copy selected item to the clipboard"));
  c.miLocate = AddMenuItem(c.lvStations, QStringLiteral("miLocate"), QStringLiteral("Locate"), QKeySequence(Qt::Key_F3),
                           QString());
  auto* separator = new QAction(c.lvStations);
  separator->setSeparator(true);
  c.lvStations->addAction(separator);
  c.miRemove = AddMenuItem(c.lvStations, QStringLiteral("miRemove"), QStringLiteral("Remove"),
                           QKeySequence(Qt::Key_Delete), QStringLiteral("Remove selected item from the list"));
  layout->addWidget(c.lvStations, 1);

  auto* panel = new QWidget(page);
  panel->setObjectName(QStringLiteral("pnlStationListBottom"));
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(4, 2, 4, 2);
  c.cbPauseUpdates = new QCheckBox(QStringLiteral("Pause Updates"), panel);
  c.cbPauseUpdates->setObjectName(QStringLiteral("cbPauseUpdates"));
  SetHint(c.cbPauseUpdates, QStringLiteral("Pause updating the station list"));
  row->addWidget(c.cbPauseUpdates);
  c.btnClearList = new QPushButton(QStringLiteral("Clear List"), panel);
  c.btnClearList->setObjectName(QStringLiteral("btnClearList"));
  SetHint(c.btnClearList, QStringLiteral("Purge the station list"));
  row->addWidget(c.btnClearList);
  c.btnReloadList = new QPushButton(QStringLiteral("Reload List"), panel);
  c.btnReloadList->setObjectName(QStringLiteral("btnReloadList"));
  SetHint(c.btnReloadList, QStringLiteral("Clear and load stations from Oxbel"));
  row->addWidget(c.btnReloadList);
  row->addStretch(1);
  c.lblStationCount = AddCounter(row, panel, QStringLiteral("Count:"), QStringLiteral("lblStationCount"));
  c.lblExpiredPackets = AddCounter(row, panel, QStringLiteral("Expired:"), QStringLiteral("lblExpiredPackets"));
  c.lblStationsReplaced = AddCounter(row, panel, QStringLiteral("Updated:"), QStringLiteral("lblStationsReplaced"));
  layout->addWidget(panel);
  return c;
}

int SelectedStationRow(const QTableView& view) {
  const QItemSelectionModel* selection = view.selectionModel();
  if (selection == nullptr) return -1;
  const QModelIndexList rows = selection->selectedRows();
  if (rows.isEmpty()) return -1;
  return rows.first().row();
}

void SystemClipboardWriter(const QString& text) {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(text);
}

}  // namespace tarvik
