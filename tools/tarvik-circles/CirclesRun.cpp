#include "CirclesRun.h"

#include "APRSParser.h"
#include "CircleCollector.h"
#include "Coverage.h"
#include "FeedLine.h"
#include "Intake.h"
#include "Units.h"

namespace tarvik::circles {

namespace {

constexpr std::string_view kKmlDocumentName = "Tarvik circles";

}  // namespace

TCirclesRun::TCirclesRun(const Options& options) : m_options(options) { m_cache.MaxAge = options.MaxAge; }

void TCirclesRun::Line(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (aprs::IsSkippedFeedLine(line)) return;
  auto packet = aprs::ParsePacket(line);
  if (!packet || !AcceptPacket(*packet)) return;
  m_reach.Learn(*packet, m_options.MyCall);
  m_cache.Update(std::move(packet));
}

std::string TCirclesRun::Finish() {
  const aprs::TDateTime cutOff = aprs::NowUtc() - m_cache.MaxAge / units::kMinutesPerDay;
  m_cache.Purge(cutOff);
  m_reach.Expire(cutOff);

  const std::vector<TCoverageRow> rows = CoverageRows(m_cache, m_reach, cutOff);
  if (m_options.Mode == OutputMode::Report) return CoverageReport(rows);

  const TGeoBounds bounds = m_options.Bounds.value_or(kWholeWorld);
  std::vector<TExportCircle> circles = CollectCircles(m_cache, bounds, m_options.Choice, m_options.FullSize);
  if (m_options.Reach) {
    std::vector<TExportCircle> reach = CollectReachCircles(m_cache, rows, bounds);
    circles.insert(circles.end(), std::make_move_iterator(reach.begin()), std::make_move_iterator(reach.end()));
  }
  return m_options.Mode == OutputMode::Kml ? CirclesToKml(circles, kKmlDocumentName) : CirclesToGeoJson(circles);
}

}  // namespace tarvik::circles
