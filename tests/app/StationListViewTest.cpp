#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QWidget>

#include "StationList.h"
#include "StationListModel.h"
#include "StationListView.h"

using namespace tarvik;

namespace {

TEST(ShouldRefreshStationList, PauseHoldsBackOnlyUnforcedRefreshes) {
  struct Case {
    bool refreshing, pageActive, paused, force, expected;
  };
  // clang-format off
  const Case cases[] = {
      {false, true, false, false, true},  {false, true, false, true, true},
      {false, true, true, false, false},  {false, true, true, true, true},
      {false, false, false, true, false}, {false, false, true, true, false},
      {true, true, false, true, false},   {true, true, false, false, false},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, ShouldRefreshStationList(c.refreshing, c.pageActive, c.paused, c.force))
        << c.refreshing << c.pageActive << c.paused << c.force;
}

TEST(StationListControls, ListViewAndPanelAsDesigned) {
  QWidget page;
  TStationListModel model;
  const TStationListControls c = CreateStationListControls(&page, &model);
  page.resize(633, 300);
  page.show();

  ASSERT_NE(nullptr, c.lvStations);
  EXPECT_EQ(&model, c.lvStations->model());
  EXPECT_TRUE(c.lvStations->showGrid());
  EXPECT_EQ(QAbstractItemView::SelectRows, c.lvStations->selectionBehavior());
  EXPECT_EQ(QAbstractItemView::NoEditTriggers, c.lvStations->editTriggers());
  const int widths[] = {70, 75, 35, 65, 50, 50, 40, 60, 50};
  for (int col = 0; col < 9; ++col) EXPECT_EQ(widths[col], c.lvStations->columnWidth(col)) << col;
  EXPECT_TRUE(c.lvStations->horizontalHeader()->stretchLastSection());
  EXPECT_EQ(QString("List of stations"), c.lvStations->toolTip());

  EXPECT_EQ(QString("Pause Updates"), c.cbPauseUpdates->text());
  EXPECT_FALSE(c.cbPauseUpdates->isChecked());
  EXPECT_EQ(QString("Clear List"), c.btnClearList->text());
  EXPECT_EQ(QString("Purge the station list"), c.btnClearList->toolTip());
  EXPECT_EQ(QString("Reload List"), c.btnReloadList->text());
  EXPECT_EQ(QString("Clear and load stations from Oxbel"), c.btnReloadList->toolTip());
  for (QLabel* l : {c.lblStationCount, c.lblExpiredPackets, c.lblStationsReplaced}) EXPECT_EQ(QString("0"), l->text());

  EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_C), c.miCopy->shortcut());
  EXPECT_EQ(QKeySequence(Qt::Key_F3), c.miLocate->shortcut());
  EXPECT_EQ(QKeySequence(Qt::Key_Delete), c.miRemove->shortcut());
  const QList<QAction*> menu = c.lvStations->actions();
  ASSERT_EQ(4, menu.size());
  EXPECT_EQ(c.miCopy, menu[0]);
  EXPECT_EQ(c.miLocate, menu[1]);
  EXPECT_TRUE(menu[2]->isSeparator());
  EXPECT_EQ(c.miRemove, menu[3]);
}

TEST(SelectedStationRow, WholeRowSelectionGivesTheModelRow) {
  QWidget page;
  TStationListModel model;
  const TStationListControls c = CreateStationListControls(&page, &model);
  EXPECT_EQ(-1, SelectedStationRow(*c.lvStations));
  std::vector<TStationRow> rows(3);
  rows[0].Callsign = "C";
  rows[1].Callsign = "A";
  rows[2].Callsign = "B";
  model.SetRows(rows);
  c.lvStations->selectRow(2);
  EXPECT_EQ(2, SelectedStationRow(*c.lvStations));
  model.SetRows(rows);  // a rebuild drops the selection
  EXPECT_EQ(-1, SelectedStationRow(*c.lvStations));
}

}  // namespace
