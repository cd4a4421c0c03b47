#include "FormPositionState.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "Text.h"

namespace settings {

namespace {

constexpr std::string_view kKeyFlags = "Flags";
constexpr std::string_view kKeyShowCmd = "ShowCmd";
constexpr std::string_view kKeyNormalPos = "NormalPos";
constexpr std::string_view kKeyPixelsPerInch = "PixelsPerInch";
constexpr std::string_view kKeyColor = "Color";

constexpr bool IsNormalPosDelimiter(char c) { return c == ',' || c == ' '; }

constexpr bool FitsInt(std::int64_t value) {
  return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

}  // namespace

std::string FormatNormalPos(const TRect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
         std::to_string(r.Bottom);
}

std::vector<std::string_view> SplitNormalPos(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsNormalPosDelimiter(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && !IsNormalPosDelimiter(text[i])) ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

std::optional<TRect> NormalPosFromText(std::string_view text, const TRect& current, bool sizeable) {
  const std::vector<std::string_view> words = SplitNormalPos(text);
  const auto word = [&words](std::size_t n, int fallback) {
    return n <= words.size() ? text::StrToIntDef(words[n - 1], fallback) : fallback;
  };
  const std::int64_t left = word(1, current.Left);
  const std::int64_t top = word(2, current.Top);
  std::int64_t right = word(3, current.Right);
  std::int64_t bottom = word(4, current.Bottom);
  if (!sizeable) {
    right = left + current.Width();
    bottom = top + current.Height();
  }
  if (right <= left || bottom <= top) return std::nullopt;
  if (!FitsInt(right) || !FitsInt(bottom) || !FitsInt(right - left) || !FitsInt(bottom - top)) return std::nullopt;
  return TRect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom)};
}

TRect KeepOnWorkArea(const TRect& r, const TRect& workArea) {
  if (workArea.IsEmpty()) return r;
  const bool overlaps =
      r.Left < workArea.Right && r.Right > workArea.Left && r.Top < workArea.Bottom && r.Bottom > workArea.Top;
  if (overlaps) return r;
  // In 64 bits: a rectangle far wider than the desk must not overflow on its way back.
  const std::int64_t width = r.Width();
  const std::int64_t height = r.Height();
  const std::int64_t left =
      std::clamp<std::int64_t>(r.Left, workArea.Left, std::max<std::int64_t>(workArea.Left, workArea.Right - width));
  const std::int64_t top =
      std::clamp<std::int64_t>(r.Top, workArea.Top, std::max<std::int64_t>(workArea.Top, workArea.Bottom - height));
  if (!FitsInt(left + width) || !FitsInt(top + height)) return r;
  return TRect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(left + width),
               static_cast<int>(top + height)};
}

void TFormPositionState::Restore() {
  m_Saved = false;
  m_Restored = true;
  TSettingsFileSession session(m_File);

  const TFormWindowInfo info = m_Window.Info();
  // Stored at another screen resolution: the design position is the safer choice.
  if (m_File.ReadInteger(kMainFormSection, kKeyPixelsPerInch, info.PixelsPerInch) != info.PixelsPerInch) return;

  TWindowPlacement placement = info.Placement;
  placement.ShowCmd = kSwHide;
  if (const std::optional<int> flags = text::ToInt(m_File.ReadString(kMainFormSection, kKeyFlags, ""))) {
    placement.Flags = *flags;
  }
  const std::string normalPos = m_File.ReadString(kMainFormSection, kKeyNormalPos, "");
  if (normalPos.empty()) return;

  m_Window.SetDesignedPosition();
  // A rectangle with no width or no height would make a window nobody can find.
  if (const std::optional<TRect> r = NormalPosFromText(normalPos, info.Placement.NormalPosition, info.Sizeable)) {
    placement.NormalPosition = KeepOnWorkArea(*r, info.WorkArea);
    m_Window.ApplyPlacement(placement);
  }
}

void TFormPositionState::Save() {
  if (!m_Restored) return;
  // A failed save is not repeated: the run's placement is lost, nothing else.
  m_Saved = true;
  TSettingsFileSession session(m_File);

  const TFormWindowInfo info = m_Window.Info();
  const int showCmd = info.ApplicationIconic ? kSwShowMinimized : info.Placement.ShowCmd;
  m_File.WriteInteger(kMainFormSection, kKeyFlags, info.Placement.Flags);
  m_File.WriteInteger(kMainFormSection, kKeyShowCmd, showCmd);
  m_File.WriteString(kMainFormSection, kKeyNormalPos, FormatNormalPos(info.Placement.NormalPosition));
  m_File.WriteInteger(kMainFormSection, kKeyPixelsPerInch, info.PixelsPerInch);
  m_File.WriteInteger(kMainFormSection, kKeyColor, info.Color);
}

}  // namespace settings
