#include "ViewFilter.h"

#include <algorithm>
#include <cmath>

#include "Text.h"
#include "Units.h"

namespace standin {

namespace {

// Edges go out in hundredths of a degree (about a kilometre), rounded outwards.
constexpr double kEdgeSteps = 100.0;
constexpr double kPole = 90.0;
constexpr double kHalfTurn = 180.0;
constexpr double kFullTurn = 360.0;

double Outwards(double degrees, bool up) {
  const double steps = degrees * kEdgeSteps;
  return (up ? std::ceil(steps) : std::floor(steps)) / kEdgeSteps + 0.0;  // + 0.0: no "-0"
}

std::string Area(double north, double west, double south, double east) {
  return "a/" + text::FormatReal(north) + "/" + text::FormatReal(west) + "/" + text::FormatReal(south) + "/" +
         text::FormatReal(east);
}

}  // namespace

bool IsViewFilter(std::string_view filter) { return text::Upper(text::Trim(filter)) == "VIEW"; }

std::string ViewFilter(const TMapRect& view) {
  if (!std::isfinite(view.Left) || !std::isfinite(view.Top) || !std::isfinite(view.Width) ||
      !std::isfinite(view.Height) || !(view.Width > 0) || !(view.Height < 0))
    return {};
  const double width = view.Width / units::kMinutesPerDegree;
  const double height = -view.Height / units::kMinutesPerDegree;
  const double top = view.Top / units::kMinutesPerDegree;
  const double margin = height / 2;
  const double north = Outwards(std::clamp(top + margin, -kPole, kPole), true);
  const double south = Outwards(std::clamp(top - height - margin, -kPole, kPole), false);
  const double span = width * 2;
  if (!(span < kFullTurn)) return Area(north, -kHalfTurn, south, kHalfTurn);
  // The west edge on the world's first copy; the east edge may then pass 180.
  double west = view.Left / units::kMinutesPerDegree - width / 2;
  west -= kFullTurn * std::floor((west + kHalfTurn) / kFullTurn);
  const double east = west + span;
  if (east <= kHalfTurn) return Area(north, Outwards(west, false), south, Outwards(east, true));
  return Area(north, Outwards(west, false), south, kHalfTurn) + " " +
         Area(north, -kHalfTurn, south, Outwards(east - kFullTurn, true));
}

void TFilterPacer::LoggedIn(std::string filter, std::int64_t nowMs) {
  m_loggedIn = true;
  m_sent = std::move(filter);
  m_sentAt = nowMs;
  m_waiting.reset();
}

void TFilterPacer::Reset() {
  m_loggedIn = false;
  m_sent.clear();
  m_waiting.reset();
}

void TFilterPacer::Want(std::string filter) {
  if (!m_loggedIn) return;
  if (filter.empty() || filter == m_sent)
    m_waiting.reset();
  else
    m_waiting = std::move(filter);
}

std::optional<std::string> TFilterPacer::Take(std::int64_t nowMs) {
  if (!m_waiting || nowMs - m_sentAt < kMinIntervalMs) return std::nullopt;
  m_sent = std::move(*m_waiting);
  m_waiting.reset();
  m_sentAt = nowMs;
  return m_sent;
}

std::optional<std::int64_t> TFilterPacer::DueIn(std::int64_t nowMs) const {
  if (!m_waiting) return std::nullopt;
  return std::max<std::int64_t>(0, m_sentAt + kMinIntervalMs - nowMs);
}

}  // namespace standin
