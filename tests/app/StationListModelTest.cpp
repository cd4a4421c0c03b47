#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <string>
#include <vector>

#include "StationListModel.h"

using namespace tarvik;

namespace {

TStationRow MakeRow(const std::string& call, const std::string& raw = "") {
  TStationRow row;
  row.Callsign = call;
  row.DataType = aprs::TAprsDataType::dtPosition;
  row.RawPacket = raw;
  return row;
}

std::vector<std::string> Column(const TStationListModel& model, int column) {
  std::vector<std::string> out;
  for (int r = 0; r < model.rowCount(); ++r) out.push_back(model.data(model.index(r, column)).toString().toStdString());
  return out;
}

class StationListModelTest : public ::testing::Test {
 protected:
  TStationListModel model;
  QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(StationListModelTest, RowsAreSortedByCallsignKeepingArrivalOrderOfEqualOnes) {
  model.SetRows({MakeRow("W1AW", "a"), MakeRow("K1ABC-9", "b"), MakeRow("N0CALL", "c"), MakeRow("K1ABC", "d"),
                 MakeRow("W1AW", "e"), MakeRow("K1ABC-10", "f")});
  EXPECT_EQ((std::vector<std::string>{"K1ABC", "K1ABC-10", "K1ABC-9", "N0CALL", "W1AW", "W1AW"}),
            Column(model, scCallsign));
  EXPECT_EQ((std::vector<std::string>{"d", "f", "b", "c", "a", "e"}), Column(model, scRawPacket));
}

TEST_F(StationListModelTest, ARefreshIsOneReset) {
  QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
  QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
  std::vector<TStationRow> rows;
  for (int i = 0; i < 500; ++i) rows.push_back(MakeRow("N" + std::to_string(i)));
  model.SetRows(rows);
  model.SetRows(rows);
  EXPECT_EQ(2, resets.count());
  EXPECT_EQ(0, inserts.count());
  EXPECT_EQ(500, model.rowCount());
  model.Clear();
  EXPECT_EQ(0, model.rowCount());
  EXPECT_EQ(3, resets.count());
}

TEST_F(StationListModelTest, HeadersFlagsAndTexts) {
  model.SetRows({MakeRow("N0CALL", "N0CALL>APRS:\xB0")});
  EXPECT_EQ(10, model.columnCount());
  const std::vector<QString> captions = {"Callsign", "Type", "Sym",       "PHG",   "Power",
                                         "Height",   "Gain", "Direction", "Range", "Raw Packet"};
  for (int c = 0; c < 10; ++c)
    EXPECT_EQ(captions[static_cast<std::size_t>(c)], model.headerData(c, Qt::Horizontal).toString());
  EXPECT_FALSE(model.headerData(10, Qt::Horizontal).isValid());

  const QModelIndex cell = model.index(0, scCallsign);
  EXPECT_TRUE(model.flags(cell) & Qt::ItemIsSelectable);
  EXPECT_FALSE(model.flags(cell) & Qt::ItemIsEditable);
  // 8-bit text maps byte for byte.
  EXPECT_EQ(QString("N0CALL>APRS:") + QChar(0xB0), model.data(model.index(0, scRawPacket)).toString());
  EXPECT_EQ(QString("N0CALL"), model.data(cell, TStationListModel::CallsignRole).toString());
  EXPECT_EQ(QString("dtPosition"), model.data(model.index(0, scType)).toString());
  EXPECT_EQ(QString("0.0"), model.data(model.index(0, scRange)).toString());
}

TEST_F(StationListModelTest, RowOfFindsTheAttachedRowOfAStation) {
  model.SetRows({MakeRow("W1AW"), MakeRow("K1ABC"), MakeRow("N0CALL"), MakeRow("K1ABC-9")});
  EXPECT_EQ(0, model.RowOf("K1ABC"));
  EXPECT_EQ(1, model.RowOf("K1ABC-9"));
  EXPECT_EQ(3, model.RowOf("W1AW"));
  EXPECT_EQ(-1, model.RowOf("K1AB"));
  EXPECT_EQ(-1, model.RowOf("ZZ9ZZ"));
  EXPECT_EQ(-1, model.RowOf(""));
  model.Detach(2);
  EXPECT_EQ(-1, model.RowOf("N0CALL"));
}

TEST_F(StationListModelTest, DetachedRowsKeepTheirTextsButNoStation) {
  model.SetRows({MakeRow("B"), MakeRow("A")});
  EXPECT_EQ("A", model.CallsignAt(0));
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  model.Detach(0);
  EXPECT_EQ(1, changed.count());
  EXPECT_EQ("", model.CallsignAt(0));
  EXPECT_EQ(QString("A"), model.data(model.index(0, scCallsign)).toString());
  EXPECT_EQ(QString(""), model.data(model.index(0, scCallsign), TStationListModel::CallsignRole).toString());
  EXPECT_EQ("B", model.CallsignAt(1));
  for (const int row : {-1, 2, 1000}) {
    EXPECT_EQ("", model.CallsignAt(row));
    EXPECT_EQ(nullptr, model.Row(row));
    model.Detach(row);  // out of range: nothing
  }
  EXPECT_EQ(1, changed.count());
}

}  // namespace
