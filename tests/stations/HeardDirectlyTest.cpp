#include <gtest/gtest.h>

#include <string>

#include "APRSParser.h"
#include "HeardDirectly.h"

using namespace tarvik;

namespace {

TEST(HeardDirectlyBy, LearnsOnlyFromPathsThatNameTheFirstReceiver) {
  struct Case {
    const char* line;
    const char* myCall;
    const char* receiver;
  };
  // clang-format off
  const Case cases[] = {
      // digipeated: the first hop names itself
      {"TV1ABC>APRS,TV3RDG*,WIDE2-1:!4901.26N/07206.27W-PHG2130",            "TV9HOME", "TV3RDG"},
      {"TV2JKL>APRS,TV2DIG*,TV3RDG*:!4915.46N/07210.82W-RNG0025",            "TV9HOME", "TV2DIG"},
      {"TV1ABC>APRS,tv3rdg-2*:!4901.26N/07206.27W-",                         "TV9HOME", "TV3RDG-2"},
      // traced WIDEn-N: the digi's call before the used alias
      {"TV1ABC>APRS,TV3RDG,WIDE1*,WIDE2-1:!4901.26N/07206.27W-",             "TV9HOME", "TV3RDG"},
      // first hop by an alias: an unknown fill-in heard the source, the later digi heard the fill-in
      {"TV1GHI>APRS,WIDE1*,WIDE2-1:!4907.14N/07142.07W-",                    "TV9HOME", ""},
      {"TV1GHI>APRS,WIDE1*,TV2DIG*:!4907.14N/07142.07W-",                    "TV9HOME", ""},
      {"TV1GHI>APRS,RELAY*,WIDE2-1:!4907.14N/07142.07W-",                    "TV9HOME", ""},
      // IGates
      {"TV2MNO>APRS,WIDE2-1,qAR,TV1IGT:!4859.94N/07208.43W-",                "TV9HOME", "TV1IGT"},
      {"TV2MNO>APRS,qAo,TV3GAT-10:!4859.94N/07208.43W-",                     "TV9HOME", "TV3GAT-10"},
      {"TV2MNO-9>APRS,TV2DIG*,WIDE2-1,qAR,TV1IGT:!4859.94N/07208.43W>",      "TV9HOME", "TV2DIG"},
      {"TV2MNO>APRS,WIDE2-1,qAR,T2SERVER:!4859.94N/07208.43W-",              "TV9HOME", ""},
      {"TV2MNO>APRS,WIDE2-1,qAr,TV1IGT:!4859.94N/07208.43W-",                "TV9HOME", ""},
      // through the Internet
      {"TV3NET>APRS,TCPIP*,qAC,TV1IGT:=4906.07N/07210.28W-PHG2360",          "TV9HOME", ""},
      {"TV3NET>APRS,qAC,TV1IGT:=4906.07N/07210.28W-PHG2360",                 "TV9HOME", ""},
      {"TV3NET>APRS,TCPIP*,qAR,TV1IGT:=4906.07N/07210.28W-PHG2360",          "TV9HOME", ""},
      {"TV4ISS>APRS,TCPXX*,qAX,TV1IGT:!4856.52N/07200.13W-",                 "TV9HOME", ""},
      // third party, objects and items: not the sender's own position
      {"TV1IGT>APDW17,TV2DIG*:}TV9NET>APRS,TCPIP,TV1IGT*:>Hello",            "TV9HOME", ""},
      {"TV1IGT>APDW17,TV2DIG*:}TV9XYZ>APRS,WIDE1-1:!4859.94N/07208.43W-",    "TV9HOME", ""},
      {"TV1ABC>APRS,TV3RDG*:;HAMFEST  *071800z4901.87N/07203.07W!Hamfest",   "TV9HOME", ""},
      {"TV1DEF>APRS,TV3RDG*:)AID #2!4857.67N/07150.41WAFirst aid",           "TV9HOME", ""},
      // unused paths: from where?
      {"TV3PQR>APRS,WIDE1-1,WIDE2-1:!4839.72N/07156.47W-",                   "TV9HOME", ""},
      // over radio to the host itself
      {"TV3PQR>APRS,WIDE1-1 Port=1 <UI>:!4839.72N/07156.47W-",               "TV9HOME", "TV9HOME"},
      {"TV3PQR>APRS Port=1 <UI>:!4839.72N/07156.47W-",                       "tv9home", "TV9HOME"},
      {"TV1ABC>APRS,TV3RDG*,WIDE2-1 Port=1 <UI>:!4901.26N/07206.27W-",       "TV9HOME", "TV3RDG"},
      {"TV3PQR>APRS,WIDE2-1 Port=1 <UI>:!4839.72N/07156.47W-",               "TV9HOME", ""},
      {"TV3PQR>APRS,WIDE1*,WIDE2-1 Port=1 <UI>:!4839.72N/07156.47W-",        "TV9HOME", ""},
      {"TV3PQR>APRS,WIDE1-1 Port=1 <UI>:!4839.72N/07156.47W-",               "",        ""},
      // nobody hears himself
      {"TV3RDG>APRS,TV3RDG*:!4844.52N/07136.75W#",                           "TV9HOME", ""},
      {"TV9HOME>APRS Port=1 <UI>:!4844.52N/07136.75W#",                      "TV9HOME", ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    const auto packet = aprs::ParsePacket(c.line);
    ASSERT_NE(packet, nullptr) << c.line;
    EXPECT_EQ(HeardDirectlyBy(*packet, c.myCall), c.receiver) << c.line;
  }
}

}  // namespace
