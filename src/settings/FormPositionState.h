// The main window's placement, kept in the section "MainForm".
//
// The keys and their meaning follow the window-placement record of the
// classic desktop: a flags word, a show command, the normal (restored)
// rectangle as left,top,right,bottom, the pixels per inch that guard the
// restore, and the window colour. Only "Flags", "NormalPos" and
// "PixelsPerInch" are read back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SettingsFile.h"

namespace settings {

inline constexpr std::string_view kMainFormSection = "MainForm";

// Show commands and placement flags of the window-placement record.
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShowMinimized = 2;
inline constexpr int kSwShowMaximized = 3;
inline constexpr int kWpfRestoreToMaximized = 2;

// The button-face system colour, as the window's colour value is written.
inline constexpr std::int32_t kClBtnFace = -16777201;

inline constexpr int kDesignPixelsPerInch = 96;

// Right and bottom are exclusive: Right = Left + width.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

struct TWindowPlacement {
  int Flags = 0;
  int ShowCmd = kSwShowNormal;
  TRect NormalPosition;
  friend bool operator==(const TWindowPlacement&, const TWindowPlacement&) = default;
};

// What a window tells about itself.
struct TFormWindowInfo {
  int PixelsPerInch = kDesignPixelsPerInch;
  TWindowPlacement Placement;
  bool Sizeable = true;             // the user can resize it
  bool ApplicationIconic = false;   // it is the main window and the program is minimised
  std::int32_t Color = kClBtnFace;  // 0x00BBGGRR, or a system colour value
  TRect WorkArea;                   // the desktop area windows may use; empty when unknown
};

// The window seam: a real window (QtFormAdapters.h) or a fake in tests.
class IFormWindow {
 public:
  virtual ~IFormWindow() = default;
  virtual TFormWindowInfo Info() const = 0;
  // No automatic placement by the desktop: the window stays where it is put.
  virtual void SetDesignedPosition() = 0;
  // Applies the normal rectangle and flags. A show command of kSwHide leaves
  // the window's visibility and state as they are.
  virtual void ApplyPlacement(const TWindowPlacement& placement) = 0;
};

// "NormalPos" text: "%d,%d,%d,%d".
std::string FormatNormalPos(const TRect& r);

// Words of a "NormalPos" text, split at commas and blanks (runs count as one).
std::vector<std::string_view> SplitNormalPos(std::string_view text);

// The normal rectangle that a stored "NormalPos" gives for a window whose
// current rectangle is `current`: missing or non-integer words keep the
// current edge; a window that cannot be resized keeps its size. None when the
// rectangle has no width or no height, or when an edge, the width or the
// height does not fit an int (a hand-edited file).
std::optional<TRect> NormalPosFromText(std::string_view text, const TRect& current, bool sizeable);

// Moves a rectangle that lies wholly outside the work area back into it,
// keeping its size, as the desktop does when a placement is applied. A
// rectangle that is at least partly visible, or an unknown (empty) work area,
// leaves it unchanged.
TRect KeepOnWorkArea(const TRect& r, const TRect& workArea);

class TFormPositionState {
 public:
  TFormPositionState(TSettingsFile& file, IFormWindow& window) : m_File(file), m_Window(window) {}

  // Restores the placement from "MainForm"; never writes.
  void Restore();
  // Writes the five keys; does nothing unless restored first. Throws
  // ESettingsWriteError at the first key that cannot be written.
  void Save();

  bool Restored() const { return m_Restored; }
  bool Saved() const { return m_Saved; }

 private:
  TSettingsFile& m_File;
  IFormWindow& m_Window;
  bool m_Restored = false;
  bool m_Saved = false;
};

}  // namespace settings
