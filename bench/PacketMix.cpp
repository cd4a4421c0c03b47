#include "PacketMix.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <unordered_set>
#include <utility>

namespace tarvik::bench {

namespace {

constexpr double kLatFactor = 380926.0;  // base-91 compressed latitude units per degree
constexpr double kLonFactor = 190463.0;  // base-91 compressed longitude units per degree

constexpr std::size_t kStationsPerObject = 50;
constexpr int kMaxSsid = 15;

class Generator {
 public:
  explicit Generator(const MixOptions& options)
      : m_rng(options.Seed),
        m_south(options.South),
        m_north(options.North),
        m_west(options.West),
        m_east(options.East) {}

  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
  double Real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(m_rng); }
  double Lat() { return Real(m_south, m_north); }
  double Lon() { return Real(m_west, m_east); }

  // From now on every callsign is one of `calls`: the first calls.size() in
  // turn, then any, the first ones more often (the square of a uniform draw).
  void UsePopulation(std::vector<std::string> calls) {
    m_population = std::move(calls);
    m_objects = std::max<int>(1, static_cast<int>(m_population.size() / kStationsPerObject));
  }

  std::string Call() {
    if (!m_population.empty()) {
      if (m_heard < m_population.size()) return m_population[m_heard++];
      const double u = Real(0.0, 1.0);
      const auto pick = static_cast<std::size_t>(u * u * static_cast<double>(m_population.size()));
      return m_population[std::min(pick, m_population.size() - 1)];
    }
    return RandomCall();
  }

  std::string RandomCall() {
    char buf[64];
    const int ssid = Int(0, kMaxSsid);
    std::snprintf(buf, sizeof buf, "TV%d%c%c%c", Int(0, 9), 'A' + Int(0, 25), 'A' + Int(0, 25), 'A' + Int(0, 25));
    std::string call(buf);
    if (ssid > 0) {
      call += '-';
      call += std::to_string(ssid);
    }
    return call;
  }

  std::string Path() {
    static const char* const kPaths[] = {"WIDE1-1,WIDE2-1", "WIDE2-2",           "TV2DIG*,WIDE2-1",
                                         "TV2DIG*,TV3RDG*", "TCPIP*,qAC,TV1IGT", "WIDE1*,WIDE2-1"};
    return kPaths[Int(0, 5)];
  }

  std::string Header(const std::string& dest) { return Call() + ">" + dest + "," + Path() + ":"; }

  static std::string LatText(double lat) {
    const double a = std::fabs(lat);
    const int d = static_cast<int>(a);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d%05.2f%c", d, (a - d) * 60.0, lat >= 0 ? 'N' : 'S');
    return buf;
  }
  static std::string LonText(double lon) {
    const double a = std::fabs(lon);
    const int d = static_cast<int>(a);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%03d%05.2f%c", d, (a - d) * 60.0, lon >= 0 ? 'E' : 'W');
    return buf;
  }
  std::string Uncompressed(char table, char code) { return LatText(Lat()) + table + LonText(Lon()) + code; }

  static std::string Base91(long v) {
    std::string out(4, '!');
    for (int i = 3; i >= 0; --i) {
      out[static_cast<std::size_t>(i)] = static_cast<char>(v % 91 + 33);
      v /= 91;
    }
    return out;
  }
  std::string Compressed(char code, bool rangeByte) {
    std::string s = "/";
    s += Base91(std::lround(kLatFactor * (90.0 - Lat())));
    s += Base91(std::lround(kLonFactor * (180.0 + Lon())));
    s += code;
    if (rangeByte) {
      s += '{';
      s += static_cast<char>(33 + Int(10, 60));
    } else {
      s += static_cast<char>(33 + Int(0, 89));  // course / 4
      s += static_cast<char>(33 + Int(0, 60));  // speed exponent
    }
    s += 'T';
    return s;
  }

  // Latitude digits with N, no longitude offset and W in the destination;
  // longitude, speed and course in printable information bytes.
  std::string MicE() {
    const double lat = Lat();
    const double lon = Lon();
    const int latHundredths = static_cast<int>(std::lround((lat - static_cast<int>(lat)) * 6000.0));
    char digits[64];
    std::snprintf(digits, sizeof digits, "%02d%02d%02d", static_cast<int>(lat), latHundredths / 100,
                  latHundredths % 100);
    std::string dest(digits, 6);
    const int bits = Int(0, 7);
    for (int i = 0; i < 3; ++i)
      if ((bits >> (2 - i)) & 1)
        dest[static_cast<std::size_t>(i)] = static_cast<char>('P' + (dest[static_cast<std::size_t>(i)] - '0'));
    dest[3] = static_cast<char>('P' + (dest[3] - '0'));  // North
    dest[5] = static_cast<char>('P' + (dest[5] - '0'));  // West
    const double a = std::fabs(lon);
    const int deg = static_cast<int>(a);
    const int min = Int(0, 59);
    const int hun = Int(4, 98);
    const int speed = Int(0, 150);
    int course = Int(1, 359);
    if (course % 100 < 4) course += 4;
    std::string info = Int(0, 3) == 0 ? "'" : "`";
    info += static_cast<char>(deg + 28);
    info += static_cast<char>(min < 10 ? min + 88 : min + 28);
    info += static_cast<char>(hun + 28);
    info += static_cast<char>(speed / 10 + 80 + 28);
    info += static_cast<char>((speed % 10) * 10 + course / 100 + 4 + 28);
    info += static_cast<char>(course % 100 + 28);
    info += Int(0, 1) ? '>' : 'k';
    info += '/';
    static const char* const kComments[] = {"]Mobile", ">On the road", "", "]PHG5132 car"};
    info += kComments[Int(0, 3)];
    return Call() + ">" + dest + "," + Path() + ":" + info;
  }

  std::string Weather() {
    char wx[96];
    std::snprintf(wx, sizeof wx, "%03d/%03dg%03dt%03dr%03dp%03dP%03dh%02db%05d", Int(0, 360), Int(0, 40), Int(0, 60),
                  Int(0, 99), Int(0, 50), Int(0, 99), Int(0, 99), Int(10, 99), Int(9800, 10300));
    switch (Int(0, 2)) {
      case 0: return Header("APRS") + "!" + Uncompressed('/', '_') + wx;
      case 1: return Header("APRS") + "@" + Stamp() + Uncompressed('/', '_') + wx;
      default: {
        char report[96];
        std::snprintf(report, sizeof report, "_%02d%02d%02d%02dc%03ds%03dg%03dt%03dh%02db%05dwRSW", Int(1, 12),
                      Int(1, 28), Int(0, 23), Int(0, 59), Int(0, 360), Int(0, 40), Int(0, 60), Int(10, 99), Int(10, 99),
                      Int(9800, 10300));
        return Header("APRS") + report;
      }
    }
  }

  std::string Stamp() {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d%02d%02dz", Int(1, 28), Int(0, 23), Int(0, 59));
    return buf;
  }

  std::string Message() {
    static const char* const kAddressees[] = {"TV1ABC   ", "TV2DEF-9 ", "BLN1     ", "BLNA     ", "NWS_WARN "};
    static const char* const kBodies[] = {
        "Hello there{001", "ack001", "rej17", "Net tonight at 8", "092010z,THUNDERSTORM,QC_TARVIK,", "aa:Away"};
    return Header("APRS") + ":" + kAddressees[Int(0, 4)] + ":" + kBodies[Int(0, 5)];
  }

  std::string Object() {
    char name[16];
    std::snprintf(name, sizeof name, "OBJ%-6d", m_population.empty() ? Int(0, 999999) : Int(0, m_objects - 1));
    return Header("APRS") + ";" + std::string(name, 9) + (Int(0, 9) == 0 ? "_" : "*") + Stamp() +
           Uncompressed('/', '!') + "Event PHG5350";
  }

  std::string Item() {
    return Header("APRS") + ")AID #" + std::to_string(Int(1, 99)) + (Int(0, 9) == 0 ? "_" : "!") +
           Uncompressed('/', 'A') + "First aid";
  }

  std::string Status() {
    switch (Int(0, 2)) {
      case 0: return Header("APRS") + ">FN49AB/- QRV 146.520";
      case 1: return Header("APRS") + ">Net tonight^B7";
      default: return Header("APRS") + ">" + Stamp() + "Battery 13.2V";
    }
  }

  std::string Position() {
    static const char* const kComments[] = {"PHG5132/Club station", "Home station PHG3130", "RNG0025",       "",
                                            "DFS2360/Fox",          "phg2360 Yagi",         "088/036 moving"};
    static const char kCodes[] = {'-', '#', '&', '>', 'y', '\\', 'k'};
    const int kind = Int(0, 6);
    return Header("APRS") + (Int(0, 1) ? "!" : "=") + Uncompressed(kind == 1 ? 'S' : '/', kCodes[kind]) +
           kComments[kind];
  }

  std::string CompressedPosition() {
    return Header("APRS") + (Int(0, 1) ? "!" : "=") + Compressed(Int(0, 1) ? '>' : '-', Int(0, 3) == 0) + "Compressed";
  }

  std::string Other() {
    switch (Int(0, 5)) {
      case 0: return Header("APRS") + "T#005,199,000,255,073,123,01101001";
      case 1: return Header("APDW17") + "<IGATE,MSG_CNT=12,LOC_CNT=31";
      case 2: return Header("APRS") + "[FN49ab]Grid";
      case 3: return Header("GPSLK") + "$GPRMC,201500,A,4839.72,N,07156.47,W,000.0,000.0,071226,015.9,W*6A";
      case 4: return Header("BEACON") + "Beacon from FN49 station";
      default: return Header("APRS") + "/" + Stamp() + Uncompressed('/', '>') + "045/030/A=001234";
    }
  }

 private:
  std::mt19937 m_rng;
  double m_south, m_north, m_west, m_east;
  std::vector<std::string> m_population;
  std::size_t m_heard = 0;  // stations of the population heard so far
  int m_objects = 0;
};

// `count` distinct random callsigns, in the order they were drawn.
std::vector<std::string> DistinctCalls(std::size_t count, std::uint32_t seed) {
  MixOptions options;
  options.Seed = seed;
  Generator g(options);
  std::vector<std::string> calls;
  std::unordered_set<std::string> seen;
  calls.reserve(count);
  while (calls.size() < count) {
    std::string call = g.RandomCall();
    if (seen.insert(call).second) calls.push_back(std::move(call));
  }
  return calls;
}

}  // namespace

std::vector<std::string> GenerateMix(const MixOptions& options) {
  Generator g(options);
  if (options.Stations > 0) g.UsePopulation(DistinctCalls(options.Stations, options.Seed + 1));
  std::vector<std::string> lines;
  lines.reserve(options.Lines);
  // Shares in percent, weather apart: Mic-E 20, positions 20, compressed 12,
  // messages 10, status 8, objects 7, items 5, other 8.
  const int w = options.WeatherPercent;
  while (lines.size() < options.Lines) {
    const int pick = g.Int(0, 99);
    if (pick < w)
      lines.push_back(g.Weather());
    else if (pick < w + 20)
      lines.push_back(g.MicE());
    else if (pick < w + 40)
      lines.push_back(g.Position());
    else if (pick < w + 52)
      lines.push_back(g.CompressedPosition());
    else if (pick < w + 62)
      lines.push_back(g.Message());
    else if (pick < w + 70)
      lines.push_back(g.Status());
    else if (pick < w + 77)
      lines.push_back(g.Object());
    else if (pick < w + 82)
      lines.push_back(g.Item());
    else if (pick < w + 90)
      lines.push_back(g.Other());
    else
      lines.push_back(g.Position());
  }
  return lines;
}

std::vector<std::string> ReadFeed(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == '#') continue;
    lines.push_back(line);
  }
  return lines;
}

}  // namespace tarvik::bench
