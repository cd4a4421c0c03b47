// The controls of the "Station List" page: the list view over the station
// model, the bottom panel with its buttons and counters, and the list's
// pop-up menu. The main window creates them once and wires their signals to
// its handlers.
#pragma once

#include <QString>

#include <functional>
#include <string>

class QAction;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;
class QWidget;

namespace tarvik {

class TStationListModel;

struct TStationListControls {
  QTableView* lvStations = nullptr;
  QCheckBox* cbPauseUpdates = nullptr;
  QPushButton* btnClearList = nullptr;
  QPushButton* btnReloadList = nullptr;
  QLabel* lblStationCount = nullptr;
  QLabel* lblExpiredPackets = nullptr;
  QLabel* lblStationsReplaced = nullptr;
  QAction* miCopy = nullptr;
  QAction* miLocate = nullptr;
  QAction* miRemove = nullptr;
};

// Fills `page` (the station-list page) with its controls, the list view
// showing `model`; every control is a child of `page`.
TStationListControls CreateStationListControls(QWidget* page, TStationListModel* model);

// The model row of the list view's current selection, or -1.
int SelectedStationRow(const QTableView& view);

// The clipboard seam: puts text on the clipboard.
using TClipboardWriter = std::function<void(const QString& text)>;
void SystemClipboardWriter(const QString& text);

}  // namespace tarvik
