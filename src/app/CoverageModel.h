// The rows of the "Coverage" page as a table model: one receiver or PHG
// station a row, replaced as a whole by one model reset. Sorting is the
// proxy's: SortRole gives numbers for the numeric columns, so that 9.5 miles
// comes before 10.
#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "Coverage.h"

namespace tarvik {

enum class TCoverageColumn { Callsign, Class, Claim, Reach, Sources, Farthest, FarthestMiles, Verdict, Flags };
inline constexpr int kCoverageColumnCount = 9;

class TCoverageModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int SortRole = Qt::UserRole + 1;

  explicit TCoverageModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  void SetRows(std::vector<TCoverageRow> rows);
  const std::vector<TCoverageRow>& Rows() const { return m_rows; }

 private:
  std::vector<TCoverageRow> m_rows;
};

}  // namespace tarvik
