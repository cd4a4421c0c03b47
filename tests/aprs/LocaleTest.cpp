// APRS numbers use "." whatever the machine's locale: a German desktop must
// still read 4903.50N as 49.058333 degrees and write minutes as 03.50.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <locale>
#include <string>

#include "APRSParser.h"

using namespace aprs;

namespace {

class CommaDecimal : public std::numpunct<char> {
 protected:
  char do_decimal_point() const override { return ','; }
};

// Switches both the C locale and the C++ global locale to a decimal comma,
// and puts back what was there before.
class ScopedCommaLocale {
 public:
  ScopedCommaLocale() : previousGlobal_(std::locale()) {
    if (const char* current = std::setlocale(LC_ALL, nullptr)) previousC_ = current;
    cLocaleSet_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    // An unnamed locale leaves the C locale alone, so the German one stays in force too.
    std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  }
  ~ScopedCommaLocale() {
    std::locale::global(previousGlobal_);
    std::setlocale(LC_ALL, previousC_.c_str());
  }
  ScopedCommaLocale(const ScopedCommaLocale&) = delete;
  ScopedCommaLocale& operator=(const ScopedCommaLocale&) = delete;

  bool CLocaleSet() const { return cLocaleSet_; }

 private:
  std::locale previousGlobal_;
  std::string previousC_ = "C";
  bool cLocaleSet_ = false;
};

TEST(Locale, DecimalCommaChangesNothing) {
  std::string before;
  {
    const ScopedCommaLocale comma;
    ASSERT_TRUE(comma.CLocaleSet()) << "de_DE.UTF-8 is missing: run scripts/bootstrap";
    // The locales really are in force: printf and iostreams now write a comma.
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.1f", 1.5);
    ASSERT_STREQ(buf, "1,5");
    ASSERT_EQ(std::use_facet<std::numpunct<char>>(std::locale()).decimal_point(), ',');

    EXPECT_NEAR(CoordinateValue("4903.50N"), 49.058333, 1e-6);
    EXPECT_EQ(FormatLatitude(49.058333333333), "4903.50N");
    EXPECT_EQ(FormatLongitude(-72.029166666667), "07201.75W");

    const auto p = ParsePacket("N0CALL>APRS:!4903.50N/07201.75W-PHG5132 Test");
    ASSERT_NE(p, nullptr);
    EXPECT_NEAR(p->Position.Latitude.Value, 49.058333, 1e-6);
    EXPECT_NEAR(p->Position.Longitude.Value, -72.029167, 1e-6);
    EXPECT_EQ(p->Position.Latitude.Text, "4903.50N");
    EXPECT_NEAR(p->Capabilities.Range, 7.95, 0.005);

    const auto compressed = ParsePacket("N0CALL>APRS:=/5L!!<*e7>7P[");
    ASSERT_NE(compressed, nullptr);
    EXPECT_EQ(compressed->Position.Latitude.Text, "4930.00N");
    EXPECT_EQ(compressed->Position.Longitude.Text, "07245.00W");
  }
  // Restored afterwards.
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.1f", 1.5);
  EXPECT_STREQ(buf, "1.5");
  EXPECT_EQ(std::use_facet<std::numpunct<char>>(std::locale()).decimal_point(), '.');
}

}  // namespace
