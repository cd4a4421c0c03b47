// KISS over TCP, as software TNCs serve it, and AX.25 UI frames to TNC2 text.
//
// A KISS frame is FEND, a command byte (port in the high nibble, command in
// the low), the data with FEND/FESC escaped, and FEND. A data frame carries
// one AX.25 frame; an APRS frame is a UI frame (control 0x03) with PID 0xF0:
//
//   N0CALL>APRS,DIGI1*,WIDE2-1:!4903.50N/07201.75W-Test
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace standin {

namespace kiss {
inline constexpr unsigned char FEND = 0xC0;
inline constexpr unsigned char FESC = 0xDB;
inline constexpr unsigned char TFEND = 0xDC;
inline constexpr unsigned char TFESC = 0xDD;
inline constexpr unsigned char CmdData = 0x00;
}  // namespace kiss

// Why an AX.25 frame was not turned into a line.
enum class TAx25Error {
  None,
  NotUi,           // control is not UI or PID is not "no layer 3"
  ShortAddress,    // fewer than two addresses, or an address cut short
  NoEndOfAddress,  // no end-of-address bit within ten addresses
  BadCallsign,     // a callsign character that cannot be in a callsign
};

struct TAx25Result {
  std::string Line;  // TNC2 text, empty when Error is set
  TAx25Error Error = TAx25Error::None;
};

// Decodes one AX.25 frame (without flags and FCS) into TNC2 text.
TAx25Result Ax25ToTnc2(std::string_view frame);

// Builds an AX.25 UI frame from TNC2 text: for tests and tools. Nothing when
// the text is not of the form SRC>DEST[,DIGI[*]...]:info.
std::optional<std::string> Tnc2ToAx25(std::string_view line);

// Escapes one frame into KISS form for `port`.
std::string KissEncode(std::string_view data, int port = 0);

// A stream decoder for KISS: feed it bytes as they arrive; it calls OnLine
// for every APRS frame, with its TNC2 text and the KISS port.
class TKissDecoder {
 public:
  // Longest frame kept; a longer one is dropped (AX.25 frames are far shorter).
  static constexpr std::size_t kMaxFrame = 1024;

  std::function<void(const std::string& line, int port)> OnLine;

  void Feed(std::string_view bytes);
  void Reset();

  int Frames = 0;    // data frames passed on
  int Dropped = 0;   // data frames that were not APRS UI frames or were malformed
  int Ignored = 0;   // KISS frames that are not data frames
  int Oversize = 0;  // frames longer than kMaxFrame

 private:
  void EndFrame();

  std::string m_frame;
  bool m_escape = false;
  bool m_badEscape = false;
  bool m_overflow = false;
};

}  // namespace standin
