#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "APRSParser.h"
#include "DecoderTestSupport.h"
#include "RowName.h"

using namespace aprs;
using aprs::testing::ExactText;

namespace {

struct MsgCase {
  const char* name;
  std::string line;
  const char* addressee;
  const char* text;
  const char* seqNo;
  int msgType;
  const char* nwsState;
};

// clang-format off
const std::vector<MsgCase> kMsgCases = {
    {"padded addressee", "N0CALL>APRS::WU2Z     :Testing{003", "WU2Z", "Testing", "003", mtGeneral, ""},
    {"ack", "N0CALL>APRS::WU2Z     :ack003", "WU2Z", "", "003", mtAck, ""},
    {"ack upper case", "N0CALL>APRS::WU2Z     :ACK003", "WU2Z", "", "003", mtAck, ""},
    {"rej", "N0CALL>APRS::WU2Z     :rej003", "WU2Z", "", "003", mtRej, ""},
    {"three-character ack is text", "N0CALL>APRS::WU2Z     :ack", "WU2Z", "ack", "", mtGeneral, ""},
    {"two braces", "N0CALL>APRS::WU2Z     :a{b{12", "WU2Z", "a{b", "12", mtGeneral, ""},
    {"number trimmed", "N0CALL>APRS::WU2Z     :hi{ 7 ", "WU2Z", "hi", "7", mtGeneral, ""},
    {"bulletin", "N0CALL>APRS::BLN3     :Net at 8", "BLN3", "Net at 8", "", mtBulletin, ""},
    {"announcement", "N0CALL>APRS::BLNA     :Hamfest", "BLNA", "Hamfest", "", mtAnnouncement, ""},
    {"lower-case announcement", "N0CALL>APRS::blnq     :Hamfest", "blnq", "Hamfest", "", mtAnnouncement, ""},
    {"bln alone", "N0CALL>APRS::BLN      :x", "BLN", "x", "", mtGeneral, ""},
    {"bln and a sign", "N0CALL>APRS::BLN#     :x", "BLN#", "x", "", mtGeneral, ""},
    {"nws underscore", "N0CALL>APRS::NWS_WARN :092010z,THUNDERSTORM,AR_ASHLEY,{S9JbA", "NWS-WARN",
     "092010z,THUNDERSTORM,AR_ASHLEY,", "S9JbA", mtNWS, "AR"},
    {"nws dash", "N0CALL>APRS::NWS-ADVIS:092010z,WIND,TX_TRAVIS", "NWS-ADVIS", "092010z,WIND,TX_TRAVIS", "", mtNWS,
     "TX"},
    {"nws one comma", "N0CALL>APRS::NWS-WARN :092010z,STORM", "NWS-WARN", "092010z,STORM", "", mtNWS, ""},
    {"auto-answer", "N0CALL>APRS::XYZ      :aa:away{4", "XYZ", "aa:away", "4", mtAutoAnswer, ""},
    {"auto-answer upper", "N0CALL>APRS::XYZ      :AA:away", "XYZ", "AA:away", "", mtAutoAnswer, ""},
    {"bulletin is no auto-answer", "N0CALL>APRS::BLN1     :AA:x", "BLN1", "AA:x", "", mtBulletin, ""},
    {"empty body", "N0CALL>APRS::BLN3     :", "BLN3", "", "", mtGeneral, ""},
    {"only a number", "N0CALL>APRS::NWS_WARN :{5", "NWS_WARN", "", "5", mtGeneral, ""},
    {"short field", "N0CALL>APRS::WU2Z", "WU2Z", "", "", mtGeneral, ""},
};
// clang-format on

void PrintTo(const MsgCase& c, std::ostream* os) { *os << c.name; }

class MessageTest : public ::testing::TestWithParam<MsgCase> {};

TEST_P(MessageTest, GivesTheStatedFields) {
  const MsgCase& c = GetParam();
  const auto p = ParsePacket(c.line);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->DataType, TAprsDataType::dtMessage);
  EXPECT_EQ(p->Message.Addressee, c.addressee);
  EXPECT_EQ(p->Message.Text, c.text);
  EXPECT_EQ(p->Message.SeqNo, c.seqNo);
  EXPECT_EQ(p->Message.MsgType, c.msgType);
  EXPECT_EQ(p->Message.NwsState, c.nwsState);
  EXPECT_EQ(p->Message.MsgIndex, 0);
}

INSTANTIATE_TEST_SUITE_P(Lines, MessageTest, ::testing::ValuesIn(kMsgCases), tarvik::test::TRowName());

TEST(RawGps, KeepsTheSentenceAndNothingElse) {
  const auto p = ParsePacket("N0CALL>APRS:$GPRMC,063909,A,3349.4302,N,11700.3721,W,43.022,89.3,291099,13.6,E*52");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Position.RawGps, "GPRMC,063909,A,3349.4302,N,11700.3721,W,43.022,89.3,291099,13.6,E*52");
  EXPECT_FALSE(p->Position.Valid);
  EXPECT_TRUE(p->Comment.empty());
}

// Each truncation of each kind of message, in a buffer of exactly its size.
TEST(Message, ShortFieldsNeverReadPastTheirEnd) {
  for (const std::string full :
       {"WU2Z     :Testing{003", "NWS_WARN :092010z,THUNDERSTORM,AR_ASHLEY,", "WU2Z     :ack003", "BLNA     :x"}) {
    for (std::size_t n = 0; n <= full.size(); ++n) {
      const ExactText info(std::string_view(full).substr(0, n));
      TAprsPacket p;
      DecodeMessage(info.View(), p);
      EXPECT_LE(p.Message.Addressee.size(), 9U) << full << ' ' << n;
      EXPECT_NE(p.Message.MsgType, mtUnknown) << full << ' ' << n;
    }
  }
}

}  // namespace
