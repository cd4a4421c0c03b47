// Cuts a fuzz input into the pieces a target needs: bytes, small numbers,
// texts with a length byte in front, reals. Past the end every piece is empty
// or zero, so any input is a valid sequence of pieces.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace fuzz {

class TFuzzInput {
 public:
  TFuzzInput(const std::uint8_t* data, std::size_t size) : m_rest(reinterpret_cast<const char*>(data), size) {}

  bool Empty() const { return m_rest.empty(); }
  std::string_view Rest() const { return m_rest; }

  std::uint8_t Byte() {
    if (m_rest.empty()) return 0;
    const auto b = static_cast<std::uint8_t>(m_rest.front());
    m_rest.remove_prefix(1);
    return b;
  }

  // Two bytes, low one first.
  std::uint16_t Word() {
    const std::uint16_t low = Byte();
    return static_cast<std::uint16_t>(low | (Byte() << 8));
  }

  std::string_view Bytes(std::size_t count) {
    const std::string_view out = m_rest.substr(0, count);
    m_rest.remove_prefix(out.size());
    return out;
  }

  // A text of up to 255 bytes: its length byte, then its bytes.
  std::string_view Text() { return Bytes(Byte()); }
  // A text of up to 65535 bytes: two length bytes, then its bytes.
  std::string_view LongText() { return Bytes(Word()); }

  // Eight bytes as an IEEE double, four as a float: NaNs, infinities and huge values included.
  double Real() { return Raw<double>(); }
  float Real32() { return Raw<float>(); }

  std::int32_t Int32() {
    const std::uint32_t low = Word();
    return static_cast<std::int32_t>(low | (static_cast<std::uint32_t>(Word()) << 16));
  }

 private:
  template <typename T>
  T Raw() {
    const std::string_view raw = Bytes(sizeof(T));
    char bytes[sizeof(T)] = {};
    std::copy(raw.begin(), raw.end(), bytes);
    T v{};
    std::memcpy(&v, bytes, sizeof v);
    return v;
  }

  std::string_view m_rest;
};

}  // namespace fuzz
