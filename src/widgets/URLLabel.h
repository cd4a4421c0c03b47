// A text label that is a web link: it changes colour as the mouse moves over
// it and presses it, and opens its address when clicked.
#pragma once

#include <QLabel>
#include <QString>
#include <cstdint>
#include <functional>

#include "Colors.h"

class QColor;
class QUrl;

namespace widgets {

// Colours are 0x00BBGGRR values.
using TColor = std::uint32_t;
inline constexpr TColor clRed = colors::kRed;
inline constexpr TColor clBlue = colors::kBlue;
inline constexpr TColor clNavy = colors::kNavy;

QColor ToQColor(TColor color);
// The address handed to the desktop for a target: an escaped address stays
// exactly as it is; a bare host name ("www.example.org") gets a scheme.
QUrl ShellUrl(const QString& target);
TColor FromQColor(const QColor& color);

class TUrlLabel : public QLabel {
  Q_OBJECT

 public:
  // Hands an address to the desktop ("open"); false when nothing opened it.
  // The label ignores the result: a failed open leaves no message.
  using TShellOpen = std::function<bool(const QString& target)>;
  static bool DesktopOpen(const QString& target);

  explicit TUrlLabel(QWidget* parent = nullptr);

  // The address to open; when empty, the caption is opened.
  QString URL() const { return m_URL; }
  void SetURL(const QString& url) { m_URL = url; }

  TColor LinkColor() const { return m_LinkColor; }    // resting, not yet clicked
  TColor ALinkColor() const { return m_ALinkColor; }  // a button is held down on it
  TColor VLinkColor() const { return m_VLinkColor; }  // resting, clicked in this run
  TColor HotColor() const { return m_HotColor; }      // under the mouse, no button down
  void SetLinkColor(TColor color);
  void SetALinkColor(TColor color) { m_ALinkColor = color; }
  void SetVLinkColor(TColor color);
  void SetHotColor(TColor color) { m_HotColor = color; }

  // The text colour. While the label is neither pressed nor under the mouse,
  // a new colour also becomes the resting colour (VLinkColor once visited,
  // else LinkColor); the same holds for a palette or font set from outside.
  TColor FontColor() const;
  void SetFontColor(TColor color);

  bool Pressed() const { return m_Pressed; }
  bool Inside() const { return m_Inside; }
  bool Visited() const { return m_Visited; }

  void SetShellOpen(TShellOpen open) { m_ShellOpen = std::move(open); }

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  TColor RestingColor() const { return m_Visited ? m_VLinkColor : m_LinkColor; }
  void ApplyFontRule();

  QString m_URL;
  TColor m_LinkColor = clBlue;
  TColor m_ALinkColor = clRed;
  TColor m_VLinkColor = clNavy;
  TColor m_HotColor = clRed;
  bool m_Pressed = false;
  bool m_Inside = false;
  bool m_Visited = false;
  TShellOpen m_ShellOpen = DesktopOpen;
};

}  // namespace widgets
