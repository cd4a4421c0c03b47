#include "Text.h"

#include <charconv>
#include <cstdio>
#include <limits>

namespace text {

std::string_view TrimLeft(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsTrimmed(s[i])) ++i;
  return s.substr(i);
}

std::string_view TrimRight(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && IsTrimmed(s[n - 1])) --n;
  return s.substr(0, n);
}

std::string_view Trim(std::string_view s) { return TrimRight(TrimLeft(s)); }

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = ToUpper(c);
  return out;
}

std::size_t FindUpper(std::string_view haystack, std::string_view upperNeedle) {
  if (upperNeedle.empty()) return 0;
  if (upperNeedle.size() > haystack.size()) return std::string_view::npos;
  const char first = upperNeedle[0];
  for (std::size_t i = 0; i + upperNeedle.size() <= haystack.size(); ++i) {
    if (ToUpper(haystack[i]) != first) continue;
    std::size_t k = 1;
    while (k < upperNeedle.size() && ToUpper(haystack[i + k]) == upperNeedle[k]) ++k;
    if (k == upperNeedle.size()) return i;
  }
  return std::string_view::npos;
}

bool ContainsUpper(std::string_view haystack, std::string_view upperNeedle) {
  return FindUpper(haystack, upperNeedle) != std::string_view::npos;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

std::string_view Copy(std::string_view s, std::size_t pos1, std::size_t count) {
  if (pos1 < 1) pos1 = 1;
  if (pos1 > s.size()) return {};
  return s.substr(pos1 - 1, count);
}

std::optional<int> ToInt(std::string_view s) {
  if (s.empty()) return std::nullopt;
  std::size_t start = 0;
  bool negative = false;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    start = 1;
  }
  if (start == s.size()) return std::nullopt;
  long long value = 0;
  for (std::size_t i = start; i < s.size(); ++i) {
    if (!IsDigit(s[i])) return std::nullopt;
    value = value * 10 + (s[i] - '0');
    if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(value);
}

int StrToIntDef(std::string_view s, int fallback) { return ToInt(s).value_or(fallback); }

std::optional<double> ToDouble(std::string_view s) {
  if (s.empty()) return std::nullopt;
  // from_chars takes no leading '+'; the classic conversions do.
  if (s[0] == '+') {
    s.remove_prefix(1);
    if (s.empty() || s[0] == '-' || s[0] == '+') return std::nullopt;
  }
  // Only plain decimal notation: no "inf", "nan" or hexadecimal from the air.
  for (const char c : s) {
    if (!IsDigit(c) && c != '.' && c != '-' && c != '+' && c != 'e' && c != 'E') return std::nullopt;
  }
  double value = 0.0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

double StrToFloatDef(std::string_view s, double fallback) { return ToDouble(s).value_or(fallback); }

std::string FormatReal(double v) {
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : std::string();
}

std::string FormatReal(float v) {
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : std::string();
}

std::string FormatGeneral(double v, std::string_view decimalPoint) {
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, kGeneralDigits);
  if (ec != std::errc()) return {};
  std::string out;
  for (const char* c = buf; c != end; ++c) {
    if (*c == '.')
      out += decimalPoint;
    else
      out += *c;
  }
  return out;
}

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

}  // namespace text
