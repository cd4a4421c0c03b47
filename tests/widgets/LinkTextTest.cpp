#include <gtest/gtest.h>

#include <string>

#include "DonationConfig.h"
#include "LinkText.h"

using namespace widgets;

namespace {

TEST(EncodeUrl, Table) {
  struct Case {
    std::string In;
    std::string Out;
  };
  // clang-format off
  const Case cases[] = {
      {"", ""},
      {"AZaz09", "AZaz09"},
      {":/.?=_-$(){}~&", ":/.?=_-$(){}~&"},
      {" ", "%20"},
      {"@", "%40"},
      {"+", "%2B"},
      {"%", "%25"},
      {"%2B", "%252B"},  // already escaped text is escaped again
      {"#!*',;[]\"<>\\^`|", "%23%21%2A%27%2C%3B%5B%5D%22%3C%3E%5C%5E%60%7C"},
      {std::string("\0\x1F\x7F", 3), "%00%1F%7F"},
      {"\x80\xFF", "%80%FF"},
      {"\xC3\xA9", "%C3%A9"},  // a UTF-8 e-acute, byte by byte
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(EncodeUrl(c.In), c.Out) << c.In;
  // Every byte outside the kept set takes exactly three characters.
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    const std::string encoded = EncodeUrl(one);
    EXPECT_TRUE(encoded == one || encoded.size() == 3) << b;
  }
}

TEST(DonationAddress, ConfiguredPayee) {
  EXPECT_EQ(DonationAddress(kPaymentServiceAddress, kDonationEmail, kDonationCompany, kDonationProduct),
            "https://www.paypal.com/cgi-bin/webscr?cmd=_xclick&business=donations%40example.org"
            "&item_name=Kestrel%20Bay%20Software%20-%20Tarvik&no_shipping=2&no_note=1&tax=0"
            "&currency_code=USD&bn=PP%2BDonationsBF&charset=UTF%2B8");
}

TEST(DonationAddress, EmptyValuesLeaveTheirPlacesEmpty) {
  EXPECT_EQ(DonationAddress("https://pay.example", "", "", ""),
            "https://pay.example/cgi-bin/webscr?cmd=_xclick&business=&item_name=%20-%20&no_shipping=2&no_note=1"
            "&tax=0&currency_code=USD&bn=PP%2BDonationsBF&charset=UTF%2B8");
}

TEST(DonationAddress, ValuesAreEscapedLikeTheFixedParts) {
  const std::string address = DonationAddress("https://pay.example", "a@b.example", "X&amount=1000", "P#frag");
  // "&" and "=" are kept by the escaping, as on the fixed parts; "#" is not.
  EXPECT_NE(address.find("&item_name=X&amount=1000%20-%20P%23frag&"), std::string::npos);
}

}  // namespace
