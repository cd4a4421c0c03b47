#include "FormPositionState.h"

#include <algorithm>
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

TRect NormalPosFromText(std::string_view text, const TRect& current, bool sizeable) {
  const std::vector<std::string_view> words = SplitNormalPos(text);
  const auto word = [&words](std::size_t n, int fallback) {
    return n <= words.size() ? text::StrToIntDef(words[n - 1], fallback) : fallback;
  };
  TRect r;
  r.Left = word(1, current.Left);
  r.Top = word(2, current.Top);
  r.Right = word(3, current.Left + current.Width());
  r.Bottom = word(4, current.Top + current.Height());
  if (!sizeable) {
    r.Right = r.Left + current.Width();
    r.Bottom = r.Top + current.Height();
  }
  return r;
}

TRect KeepOnWorkArea(const TRect& r, const TRect& workArea) {
  if (workArea.IsEmpty()) return r;
  const bool overlaps =
      r.Left < workArea.Right && r.Right > workArea.Left && r.Top < workArea.Bottom && r.Bottom > workArea.Top;
  if (overlaps) return r;
  const int left = std::clamp(r.Left, workArea.Left, std::max(workArea.Left, workArea.Right - r.Width()));
  const int top = std::clamp(r.Top, workArea.Top, std::max(workArea.Top, workArea.Bottom - r.Height()));
  return TRect{left, top, left + r.Width(), top + r.Height()};
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
  const TRect r = NormalPosFromText(normalPos, info.Placement.NormalPosition, info.Sizeable);
  // A rectangle with no width or no height would make a window nobody can find.
  if (r.Left < r.Right && r.Top < r.Bottom) {
    placement.NormalPosition = KeepOnWorkArea(r, info.WorkArea);
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
