// Small text and number helpers shared by the decoders.
//
// APRS text is 8-bit and ASCII-cased: upper-casing touches only 'a'..'z', and
// numbers always use "." as the decimal point, whatever the locale.
#pragma once

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

namespace text {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
constexpr bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
constexpr char ToUpper(char c) { return IsLower(c) ? static_cast<char>(c - 'a' + 'A') : c; }

// Spaces and control characters (bytes up to 0x20) are trimmed, as the
// classic Trim routines do.
constexpr bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view Trim(std::string_view s);
std::string_view TrimLeft(std::string_view s);
std::string_view TrimRight(std::string_view s);
std::string Upper(std::string_view s);
// Case-insensitive search for an upper-case needle; FindUpper gives its 0-based position or npos.
std::size_t FindUpper(std::string_view haystack, std::string_view upperNeedle);
bool ContainsUpper(std::string_view haystack, std::string_view upperNeedle);
bool StartsWith(std::string_view s, std::string_view prefix);

// Substring by 1-based position and length, clipped to the text (never reads past it).
std::string_view Copy(std::string_view s, std::size_t pos1, std::size_t count);

// Whole-text integer conversion (optional sign, decimal digits, nothing else).
std::optional<int> ToInt(std::string_view s);
int StrToIntDef(std::string_view s, int fallback);

// Whole-text real conversion with "." as the decimal point.
std::optional<double> ToDouble(std::string_view s);
double StrToFloatDef(std::string_view s, double fallback);

// Value of a single digit character, or `fallback`.
constexpr int DigitValue(char c, int fallback) { return IsDigit(c) ? c - '0' : fallback; }

// Rounds half to even, as every rounding to an integer does here.
inline long long RoundHalfEven(double v) { return std::llrint(v); }

// Shortest round-trip text of a real, "." as decimal point.
std::string FormatReal(double v);
std::string FormatReal(float v);

// Significant digits of the general number form below.
inline constexpr int kGeneralDigits = 15;

// The shortest general form with up to kGeneralDigits significant digits, as
// "%.15g" writes it, with `decimalPoint` in place of ".".
std::string FormatGeneral(double v, std::string_view decimalPoint = ".");

// 8-bit text as UTF-8, byte for byte: 0x00..0xFF become U+0000..U+00FF.
std::string Latin1ToUtf8(std::string_view bytes);

}  // namespace text
