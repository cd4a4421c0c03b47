// libFuzzer target: bytes from a KISS TNC, through the deframer, the AX.25
// decoder and the stand-in's monitor text, into Tarvik's intake and parser.
//
// The input is used three ways: as one AX.25 frame, as that frame escaped into
// KISS, and as a raw KISS stream fed whole and again in two pieces. Checked:
// the escaped frame decodes to what the frame itself gives; the pieces give
// what the whole stream gives; every line is one line of TNC2 text that
// encodes back into a frame giving the same line; the monitor text is one
// line ending in CR LF, and a packet parsed from it has the frame's source.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Intake.h"
#include "Kiss.h"
#include "MonitorText.h"

namespace {

struct TDecoded {
  std::vector<std::pair<std::string, int>> Lines;
  int Frames = 0;
  int Dropped = 0;
  int Ignored = 0;
  int Oversize = 0;
  bool operator==(const TDecoded&) const = default;
};

TDecoded Deframe(const std::vector<std::string_view>& pieces) {
  TDecoded out;
  standin::TKissDecoder decoder;
  decoder.OnLine = [&out](const std::string& line, int port) { out.Lines.emplace_back(line, port); };
  for (const std::string_view piece : pieces) decoder.Feed(piece);
  out.Frames = decoder.Frames;
  out.Dropped = decoder.Dropped;
  out.Ignored = decoder.Ignored;
  out.Oversize = decoder.Oversize;
  return out;
}

void CheckLine(const std::string& line, int port, std::size_t size) {
  if (line.find_first_of("\r\n") != std::string::npos) __builtin_trap();
  const auto split = standin::SplitTnc2(line);
  if (!split) __builtin_trap();
  const auto frame = standin::Tnc2ToAx25(line);
  if (!frame || standin::Ax25ToTnc2(*frame).Line != line) __builtin_trap();

  const standin::TClockTime time{static_cast<int>(size % 24), static_cast<int>(size % 60), static_cast<int>(size % 61)};
  const std::string text = standin::FormatMonitorText(*split, time, port + 1);
  if (text.size() < 2 || text.find('\n') != text.size() - 1 || text[text.size() - 2] != '\r') __builtin_trap();
  const auto packet = tarvik::PacketFromHostText(text);
  if (packet && packet->Source.Callsign != standin::SourceOf(split->Header)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const standin::TAx25Result direct = standin::Ax25ToTnc2(bytes);
  if (direct.Error == standin::TAx25Error::None) {
    CheckLine(direct.Line, 0, size);
  } else if (!direct.Line.empty()) {
    __builtin_trap();
  }

  const int port = size > 0 ? data[0] & 0x0F : 0;
  const TDecoded escaped = Deframe({standin::KissEncode(bytes, port)});
  if (size + 1 > standin::TKissDecoder::kMaxFrame) {
    if (escaped.Oversize != 1 || !escaped.Lines.empty()) __builtin_trap();
  } else if (direct.Error == standin::TAx25Error::None) {
    if (escaped.Frames != 1 || escaped.Lines.size() != 1 || escaped.Lines[0].first != direct.Line ||
        escaped.Lines[0].second != port)
      __builtin_trap();
  } else if (escaped.Dropped != 1 || !escaped.Lines.empty()) {
    __builtin_trap();
  }

  const TDecoded whole = Deframe({bytes});
  const std::size_t cut = size > 0 ? data[size - 1] % (size + 1) : 0;
  if (!(Deframe({bytes.substr(0, cut), bytes.substr(cut)}) == whole)) __builtin_trap();
  for (const auto& [line, linePort] : whole.Lines) CheckLine(line, linePort, size);
  return 0;
}
