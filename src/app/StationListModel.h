// The rows of lvStations as a table model: a snapshot of the station cache,
// sorted by callsign, replaced as a whole by one model reset.
#pragma once

#include <QAbstractTableModel>

#include <string>
#include <vector>

#include "StationList.h"

namespace tarvik {

class TStationListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The station's callsign of a row (an empty string once the row let go of it).
  static constexpr int CallsignRole = Qt::UserRole + 1;

  explicit TStationListModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Replaces every row; the rows are placed by their callsign text, rows of
  // equal callsigns keep the order they came in.
  void SetRows(std::vector<TStationRow> rows);
  void Clear();

  // The row at `row`, or nothing when there is no such row.
  const TStationRow* Row(int row) const;
  // The callsign by which a command finds the row's station; empty when the
  // row is out of range or has let go of its station.
  std::string CallsignAt(int row) const;
  // The row of a station that its row still shows, or -1.
  int RowOf(const std::string& callsign) const;
  // Makes the row let go of its station; its texts stay until the next rebuild.
  void Detach(int row);

 private:
  std::vector<TStationRow> m_rows;
};

}  // namespace tarvik
