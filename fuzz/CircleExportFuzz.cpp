// libFuzzer target: the GeoJSON and KML export of circles whose callsigns,
// reports and PHG texts come from the air.
//
// Input: the KML document's name, a monitor line whose packet becomes one
// circle (with its centre, radius, colour and kind), then circles made field
// by field: kind, callsign, PHG text, report, colour, centre, radius, range,
// heading, reach and sources (texts with a length byte, or two for the
// report; reals as raw IEEE bytes, NaNs and infinities included). Checked:
// the GeoJSON parses as JSON with one feature per circle, each with its
// callsign; the KML reads to its end as XML with one placemark per circle,
// each naming its callsign as written.
#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QXmlStreamReader>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "APRSParser.h"
#include "CircleExport.h"
#include "Coverage.h"
#include "DrawPass.h"
#include "FuzzInput.h"

namespace {

constexpr std::size_t kMaxCircles = 8;
constexpr char32_t kControlPictures = 0x2400;
constexpr char16_t kFirstPrintable = 0x20;
constexpr aprs::TDateTime kNow = 46363.84375;  // 2026-12-07 20:15 UTC

QString Latin1(std::string_view bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// A text as XmlText writes it and an XML reader gives it back: the CR of a
// CR LF gone, control bytes as their pictures.
QString AsXmlReadsIt(std::string_view bytes) {
  std::string kept;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) kept += bytes[i];
  QString out = Latin1(kept);
  for (QChar& c : out)
    if (c.unicode() < kFirstPrintable && c != u'\t' && c != u'\n' && c != u'\r')
      c = QChar(static_cast<char16_t>(kControlPictures + c.unicode()));
  return out;
}

void CheckGeoJson(const std::vector<tarvik::TExportCircle>& circles) {
  const std::string json = tarvik::CirclesToGeoJson(circles);
  QJsonParseError error{};
  const QJsonDocument doc =
      QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())), &error);
  if (error.error != QJsonParseError::NoError || !doc.isObject()) __builtin_trap();
  const QJsonArray features = doc.object().value(QStringLiteral("features")).toArray();
  if (features.size() != static_cast<qsizetype>(circles.size())) __builtin_trap();
  for (qsizetype i = 0; i < features.size(); ++i) {
    const QJsonObject properties = features[i].toObject().value(QStringLiteral("properties")).toObject();
    if (properties.value(QStringLiteral("callsign")).toString() !=
        Latin1(circles[static_cast<std::size_t>(i)].Callsign))
      __builtin_trap();
  }
}

void CheckKml(const std::vector<tarvik::TExportCircle>& circles, std::string_view documentName) {
  const std::string kml = tarvik::CirclesToKml(circles, documentName);
  QXmlStreamReader xml(QByteArray(kml.data(), static_cast<qsizetype>(kml.size())));
  std::vector<QString> names;  // the document's, then each placemark's
  while (!xml.atEnd()) {
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"name")
      names.push_back(xml.readElementText());
  }
  if (xml.hasError() || names.size() != circles.size() + 1) __builtin_trap();
  if (names[0] != AsXmlReadsIt(documentName)) __builtin_trap();
  for (std::size_t i = 0; i < circles.size(); ++i)
    if (names[i + 1] != AsXmlReadsIt(circles[i].Callsign)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  aprs::SetUtcClock([] { return kNow; });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::TFuzzInput input(data, size);
  const std::string_view documentName = input.Text();
  std::vector<tarvik::TExportCircle> circles;

  if (const auto packet = aprs::ParsePacket(input.LongText())) {
    const tarvik::TRangeCircle circle{input.Real32(), input.Real32(), input.Real32()};
    const auto kind = static_cast<tarvik::TCircleKind>(input.Byte() % 3);
    circles.push_back(tarvik::ExportCircleOf(*packet, circle, tarvik::StationColor(*packet), kind));
  }
  while (!input.Empty() && circles.size() < kMaxCircles) {
    tarvik::TExportCircle c;
    c.Kind = static_cast<tarvik::TCircleKind>(input.Byte() % 3);
    c.Callsign = input.Text();
    c.PhgText = input.Text();
    c.Description = input.LongText();
    c.Color = input.Int32();
    c.ClassName = c.Kind == tarvik::TCircleKind::Df ? "df" : std::string(tarvik::ClassName(c.Color));
    c.CentreLat = input.Real();
    c.CentreLon = input.Real();
    c.RadiusMinutes = input.Real();
    c.RangeMiles = input.Real();
    c.Heading = input.Int32();
    c.DefaultPhg = (input.Byte() & 1) != 0;
    if (c.Kind == tarvik::TCircleKind::Reach) {
      if (const double reach = input.Real(); !std::isnan(reach)) c.ReachMiles = reach;
      c.Sources = input.Int32();
    }
    circles.push_back(std::move(c));
  }
  CheckGeoJson(circles);
  CheckKml(circles, documentName);
  return 0;
}
