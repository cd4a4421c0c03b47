// The monitor text the host hands out with GetPacket, built from one TNC2 line.
//
//   1 12:34:56 N0CALL>APRS,WIDE1-1 Port=1 <UI>:!4903.50N/07201.75W-Test\r\n
//
// (without the blank after the port character). Frames that came over the
// Internet carry no "Port=1".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace standin {

inline constexpr char kRadioPortChar = '1';
inline constexpr char kInternetPortChar = 'I';

struct TTnc2Line {
  std::string_view Header;  // source>destination,path
  std::string_view Info;    // data type character and information field
};

// Splits "header:info"; nothing when there is no ">" before the first ":".
std::optional<TTnc2Line> SplitTnc2(std::string_view line);

// The source callsign of a header: upper case, without a trailing "*".
std::string SourceOf(std::string_view header);

// True when the path shows the frame came over the Internet: TCPIP, TCPXX or a q construct (qAR, qAC...).
bool IsInternetPath(std::string_view header);

struct TClockTime {
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
};

// `radioPort` is the port a radio frame was heard on; Internet frames carry none.
std::string FormatMonitorText(const TTnc2Line& line, TClockTime time, int radioPort = 1);

}  // namespace standin
