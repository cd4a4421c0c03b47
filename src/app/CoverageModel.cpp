#include "CoverageModel.h"

#include <array>
#include <limits>
#include <optional>

namespace tarvik {

namespace {

constexpr std::array<const char*, kCoverageColumnCount> kCaptions = {"Callsign",      "Class",   "PHG claim (mi)",
                                                                     "Reach (mi)",    "Sources", "Farthest",
                                                                     "Farthest (mi)", "Verdict", "PHG health"};
constexpr const char* kNone = "-";
constexpr int kMilesDecimals = 1;
// Rows without a figure sort below every figure.
constexpr double kNoFigure = -std::numeric_limits<double>::infinity();

QString Latin1(std::string_view s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

QString MilesText(std::optional<double> miles) {
  return miles ? QString::number(*miles, 'f', kMilesDecimals) : QString::fromLatin1(kNone);
}

QString CellText(const TCoverageRow& row, TCoverageColumn column) {
  const bool anySource = !row.FarthestCallsign.empty();
  switch (column) {
    case TCoverageColumn::Callsign: return Latin1(row.Callsign);
    case TCoverageColumn::Class: return Latin1(ClassName(row.Color));
    case TCoverageColumn::Claim: return MilesText(row.ClaimMiles);
    case TCoverageColumn::Reach: return MilesText(row.ReachMiles);
    case TCoverageColumn::Sources: return QString::number(row.Sources);
    case TCoverageColumn::Farthest: return anySource ? Latin1(row.FarthestCallsign) : QString::fromLatin1(kNone);
    case TCoverageColumn::FarthestMiles: return MilesText(anySource ? std::optional(row.FarthestMiles) : std::nullopt);
    case TCoverageColumn::Verdict: return Latin1(VerdictText(row.Verdict));
    case TCoverageColumn::Flags: return Latin1(PhgFlagsText(row.Flags));
  }
  return {};
}

QVariant SortKey(const TCoverageRow& row, TCoverageColumn column) {
  switch (column) {
    case TCoverageColumn::Claim: return row.ClaimMiles.value_or(kNoFigure);
    case TCoverageColumn::Reach: return row.ReachMiles.value_or(kNoFigure);
    case TCoverageColumn::Sources: return row.Sources;
    case TCoverageColumn::FarthestMiles: return row.FarthestCallsign.empty() ? kNoFigure : row.FarthestMiles;
    default: return CellText(row, column);
  }
}

}  // namespace

TCoverageModel::TCoverageModel(QObject* parent) : QAbstractTableModel(parent) {}

int TCoverageModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TCoverageModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kCoverageColumnCount; }

QVariant TCoverageModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() < 0 || static_cast<std::size_t>(index.row()) >= m_rows.size() ||
      index.column() < 0 || index.column() >= kCoverageColumnCount)
    return {};
  const TCoverageRow& row = m_rows[static_cast<std::size_t>(index.row())];
  const auto column = static_cast<TCoverageColumn>(index.column());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return CellText(row, column);
    case SortRole: return SortKey(row, column);
    default: return {};
  }
}

QVariant TCoverageModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kCoverageColumnCount)
    return {};
  return QString::fromLatin1(kCaptions[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags TCoverageModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void TCoverageModel::SetRows(std::vector<TCoverageRow> rows) {
  beginResetModel();
  m_rows.swap(rows);
  endResetModel();
}

}  // namespace tarvik
