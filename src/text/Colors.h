// Named colours, each defined once, as 0x00BBGGRR values: the form the host's
// drawing calls and the saved settings use.
#pragma once

#include <cstdint>

namespace colors {

inline constexpr std::int32_t kBlack = 0x000000;
inline constexpr std::int32_t kRed = 0x0000FF;
inline constexpr std::int32_t kGreen = 0x008000;
inline constexpr std::int32_t kBlue = 0xFF0000;
inline constexpr std::int32_t kNavy = 0x800000;
inline constexpr std::int32_t kGrey = 0x808080;
inline constexpr std::int32_t kPurple = 0xFF00FF;
inline constexpr std::int32_t kCyan = 0xFFFF00;

}  // namespace colors
