#include "StationListModel.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace tarvik {

namespace {

QString Latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

TStationListModel::TStationListModel(QObject* parent) : QAbstractTableModel(parent) {}

int TStationListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TStationListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kStationColumnCount;
}

QVariant TStationListModel::data(const QModelIndex& index, int role) const {
  const TStationRow* row = index.isValid() ? Row(index.row()) : nullptr;
  if (row == nullptr || index.column() < 0 || index.column() >= kStationColumnCount) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return Latin1(StationColumnText(*row, static_cast<TStationColumn>(index.column())));
    case CallsignRole: return Latin1(CallsignAt(index.row()));
    default: return {};
  }
}

QVariant TStationListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kStationColumnCount) return {};
  if (role != Qt::DisplayRole) return {};
  const std::string_view caption = StationColumns[static_cast<std::size_t>(section)].Caption;
  return QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size()));
}

Qt::ItemFlags TStationListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void TStationListModel::SetRows(std::vector<TStationRow> rows) {
  // Sort compact keys (a callsign fits the string's own buffer), then move
  // each row once into its place.
  std::vector<std::pair<std::string, std::uint32_t>> keys;
  keys.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) keys.emplace_back(rows[i].Callsign, static_cast<std::uint32_t>(i));
  std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<TStationRow> sorted;
  sorted.reserve(rows.size());
  for (const auto& key : keys) sorted.push_back(std::move(rows[key.second]));

  beginResetModel();
  m_rows.swap(sorted);
  endResetModel();
}

void TStationListModel::Clear() { SetRows({}); }

const TStationRow* TStationListModel::Row(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size()) return nullptr;
  return &m_rows[static_cast<std::size_t>(row)];
}

std::string TStationListModel::CallsignAt(int row) const {
  const TStationRow* r = Row(row);
  return r != nullptr && r->Attached ? r->Callsign : std::string();
}

int TStationListModel::RowOf(const std::string& callsign) const {
  if (callsign.empty()) return -1;
  const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), callsign,
                                   [](const TStationRow& row, const std::string& c) { return row.Callsign < c; });
  for (auto i = it; i != m_rows.end() && i->Callsign == callsign; ++i)
    if (i->Attached) return static_cast<int>(i - m_rows.begin());
  return -1;
}

void TStationListModel::Detach(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size()) return;
  m_rows[static_cast<std::size_t>(row)].Attached = false;
  const QModelIndex first = index(row, 0);
  const QModelIndex last = index(row, kStationColumnCount - 1);
  emit dataChanged(first, last, {CallsignRole});
}

}  // namespace tarvik
