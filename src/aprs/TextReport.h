// The packet's sectioned text report and the locale it is written in.
//
// TAprsPacket::AsText writes dates and floating values the way the user's
// locale does; FormatPacketReport takes the locale as an argument, so that a
// caller (or a test) can pin it.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <locale>
#include <string>

#include "APRSData.h"

namespace aprs {

struct TReportLocale {
  // Replaces the "." of every floating value.
  std::string DecimalSeparator = ".";
  // The date, a space and the time of a broken-down UTC time. Empty: ISO 8601 form.
  std::function<std::string(const std::tm&)> FormatDateTime;
};

// Decimal separator and "%x %X" date and time of `locale`.
TReportLocale ReportLocaleFrom(const std::locale& locale);

// The locale of the user's environment (LANG, LC_ALL, ...), read once.
const TReportLocale& UserReportLocale();

// Text of a TDateTime in `locale`; empty for 0 unless `zeroAsTime`.
std::string FormatReportDateTime(TDateTime value, const TReportLocale& locale, bool zeroAsTime = false);

// The report of AsText, written in `locale`; `flags` are TAsTextSection bits.
std::string FormatPacketReport(const TAprsPacket& packet, std::uint8_t flags, const TReportLocale& locale);

}  // namespace aprs
