// Cleaning of the host's text, the acceptance test and the log's limits.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "Intake.h"

namespace tarvik {
namespace {

struct CleanCase {
  const char* name;
  std::string hostText;
  std::optional<std::string> line;
};

TEST(CleanHostText, Table) {
  const std::string longInfo(100000, 'x');
  const std::string binary("\x00\xff\x01\177ABC\x00\x80\237DEF", 14);
  // clang-format off
  const std::vector<CleanCase> cases = {
      {"empty", "", std::nullopt},
      {"nine characters are ignored", "0N0CALL>A", std::nullopt},
      {"ten characters lose the first", "0N0CALL>AP", "N0CALL>AP"},
      {"time stamp cut off up to the blank", "112:34:56 N0CALL>APRS:>up", "N0CALL>APRS:>up"},
      {"time stamp without a blank leaves nothing", "112:34:56N0CALL>APRS", ""},
      {"digit without the colon keeps its text", "14X0CALL>APRS:>up", "4X0CALL>APRS:>up"},
      {"colon without the digit keeps its text", "1AB:CALL>APRS:>up", "AB:CALL>APRS:>up"},
      {"monitor text of the host",
       "112:34:56 N0CALL>APRS,WIDE2-1 Port=1 <UI>:!4903.50N/07201.75W#PHG5132\r\n",
       "N0CALL>APRS,WIDE2-1 Port=1 <UI>:!4903.50N/07201.75W#PHG5132"},
      {"line breaks anywhere are removed", "0N0CA\rLL>AP\nRS:\r\n>te\n\rxt", "N0CALL>APRS:>text"},
      {"only line breaks", "0\r\n\r\n\r\n\r\n\r", ""},
      {"binary kept byte for byte", binary, binary.substr(1)},
      {"100000 characters", "0" + longInfo, longInfo},
  };
  // clang-format on
  for (const CleanCase& c : cases) {
    EXPECT_EQ(CleanHostText(c.hostText), c.line) << c.name;
  }
}

TEST(PacketFromHostText, HostileTextNeverCrashes) {
  std::string allBytes;
  for (int i = 0; i < 256; ++i) allBytes += static_cast<char>(i);
  const std::vector<std::string> texts = {
      "",
      "0N0CALL>A",
      std::string(9, '\0'),
      std::string(10, '\0'),
      allBytes,
      "0" + std::string(100000, '>'),
      "0N0CALL>APRS:" + std::string(100000, '!'),
      "112:34:56 " + std::string(100000, ':'),
      "0N0CALL>APRS:!" + std::string(99990, '\xff'),
  };
  for (const std::string& text : texts) {
    // A packet may or may not come back; what matters is that nothing breaks.
    auto packet = PacketFromHostText(text);
    if (packet) {
      EXPECT_LE(packet->RawPacket.size(), text.size());
    }
  }
}

TEST(PacketFromHostText, ShortTextGivesNoPacket) {
  EXPECT_EQ(PacketFromHostText("0N0CALL>A"), nullptr);
  EXPECT_EQ(PacketFromHostText("112:34:56N0CALL>APRS:>status"), nullptr);
}

struct AcceptCase {
  const char* name;
  bool viaInternet;
  bool viaTcpXX;
  bool positionValid;
  bool hasCapabilities;
  std::string phgString;
  bool hasReport;
  std::string dfsString;
  bool accepted;
};

TEST(AcceptPacket, Table) {
  // clang-format off
  const std::vector<AcceptCase> cases = {
      {"radio, position, PHG", false, false, true, true, "PHG5132", false, "", true},
      {"radio, position, default PHG", false, false, true, true, "", false, "", true},
      {"radio, position, DF report", false, false, true, false, "", true, "DFS2360", true},
      {"radio, no position", false, false, false, true, "PHG5132", false, "", false},
      {"radio, position, no range data", false, false, true, false, "", false, "", false},
      {"Internet with its own PHG", true, false, true, true, "PHG5132", false, "", true},
      {"Internet with its own DFS", true, false, true, false, "", true, "DFS2360", true},
      {"Internet without PHG or DFS", true, false, true, true, "", false, "", false},
      {"Internet, PHG but no position", true, false, false, true, "PHG5132", false, "", false},
      {"TCPXX with PHG", true, true, true, true, "PHG5132", false, "", false},
      {"TCPXX flag alone", false, true, true, true, "PHG5132", false, "", false},
  };
  // clang-format on
  for (const AcceptCase& c : cases) {
    aprs::TAprsPacket packet;
    packet.ViaInternet = c.viaInternet;
    packet.ViaTcpXX = c.viaTcpXX;
    packet.Position.Valid = c.positionValid;
    packet.Capabilities.HasCapabilities = c.hasCapabilities;
    packet.Capabilities.PhgString = c.phgString;
    packet.DFReport.HasReport = c.hasReport;
    packet.DFReport.DfsString = c.dfsString;
    EXPECT_EQ(AcceptPacket(packet), c.accepted) << c.name;
  }
}

TEST(LogLinesToDelete, Table) {
  const std::vector<std::pair<int, int>> cases = {
      {0, 0}, {1, 0}, {999, 0}, {1000, 0}, {1001, 501}, {1500, 1000},
  };
  for (const auto& [lines, deleted] : cases) EXPECT_EQ(LogLinesToDelete(lines), deleted) << lines;
}

TEST(OneLogLine, LineBreaksBecomeBlanks) {
  EXPECT_EQ(OneLogLine("a\rb\nc\r\n"), "a b c  ");
  EXPECT_EQ(OneLogLine(std::string("x\0y", 3)), std::string("x\0y", 3));
}

}  // namespace
}  // namespace tarvik
