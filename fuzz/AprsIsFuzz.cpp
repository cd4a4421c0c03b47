// libFuzzer target: bytes from an APRS-IS server through the line splitter,
// arriving in pieces of any size as TCP delivers them.
//
// Input: one byte n, then n bytes that give the piece sizes in turn (each
// byte + 1, repeated from the first when they run out; none: one piece), then
// the stream. Checked: the pieces give exactly the lines and the count of
// overlong lines that the stream in one piece gives, and those are the lines
// of the stream at LF, without the CR before it, the overlong ones left out.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "AprsIs.h"

namespace {

constexpr std::size_t kMaxSizeBytes = 32;

struct TSplit {
  std::vector<std::string> Lines;
  int Overlong = 0;
  bool operator==(const TSplit&) const = default;
};

TSplit SplitInPieces(std::string_view stream, std::string_view sizes) {
  TSplit out;
  standin::TLineSplitter splitter;
  splitter.OnLine = [&out](std::string_view line) { out.Lines.emplace_back(line); };
  std::size_t next = 0;
  while (!stream.empty()) {
    std::size_t piece = stream.size();
    if (!sizes.empty()) {
      piece = static_cast<std::size_t>(static_cast<unsigned char>(sizes[next % sizes.size()])) + 1;
      ++next;
    }
    piece = std::min(piece, stream.size());
    splitter.Feed(stream.substr(0, piece));
    stream.remove_prefix(piece);
  }
  out.Overlong = splitter.Overlong;
  return out;
}

// What the splitter promises, written the plain way.
TSplit Expected(std::string_view stream) {
  TSplit out;
  for (std::size_t lf = stream.find('\n'); lf != std::string_view::npos; lf = stream.find('\n')) {
    std::string_view line = stream.substr(0, lf);
    stream.remove_prefix(lf + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > standin::TLineSplitter::kMaxLine)
      ++out.Overlong;
    else
      out.Lines.emplace_back(line);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.empty()) return 0;
  const std::size_t sizeCount = std::min<std::size_t>(data[0] % (kMaxSizeBytes + 1), input.size() - 1);
  const std::string_view sizes = input.substr(1, sizeCount);
  const std::string_view stream = input.substr(1 + sizeCount);

  const TSplit whole = SplitInPieces(stream, {});
  if (!(SplitInPieces(stream, sizes) == whole)) __builtin_trap();
  if (!(whole == Expected(stream))) __builtin_trap();
  return 0;
}
