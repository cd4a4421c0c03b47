#include "URLLabel.h"

#include <QColor>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QUrl>

namespace widgets {

QColor ToQColor(TColor color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

TColor FromQColor(const QColor& color) {
  return static_cast<TColor>(color.red()) | (static_cast<TColor>(color.green()) << 8) |
         (static_cast<TColor>(color.blue()) << 16);
}

QUrl ShellUrl(const QString& target) { return QUrl::fromUserInput(target); }

bool TUrlLabel::DesktopOpen(const QString& target) { return QDesktopServices::openUrl(ShellUrl(target)); }

TUrlLabel::TUrlLabel(QWidget* parent) : QLabel(parent) {
  // The caption is shown and opened as it stands, never read as markup.
  setTextFormat(Qt::PlainText);
  setCursor(Qt::PointingHandCursor);
  SetFontColor(clBlue);
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
}

void TUrlLabel::SetLinkColor(TColor color) {
  if (color == m_LinkColor) return;
  if (!m_Visited) SetFontColor(color);
  // Also while the mouse is over the label, when the font rule stores nothing.
  m_LinkColor = color;
}

void TUrlLabel::SetVLinkColor(TColor color) {
  if (color == m_VLinkColor) return;
  if (m_Visited) SetFontColor(color);
  m_VLinkColor = color;
}

TColor TUrlLabel::FontColor() const { return FromQColor(palette().color(QPalette::WindowText)); }

void TUrlLabel::SetFontColor(TColor color) {
  QPalette p = palette();
  p.setColor(QPalette::WindowText, ToQColor(color));
  setPalette(p);
  // setPalette sends no change event when the colour is already shown.
  ApplyFontRule();
}

void TUrlLabel::ApplyFontRule() {
  if (m_Pressed || m_Inside) return;
  if (m_Visited) {
    m_VLinkColor = FontColor();
  } else {
    m_LinkColor = FontColor();
  }
}

void TUrlLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) ApplyFontRule();
}

void TUrlLabel::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  m_Inside = true;
  SetFontColor(m_Pressed ? m_ALinkColor : m_HotColor);
}

void TUrlLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  SetFontColor(RestingColor());
  m_Inside = false;
}

void TUrlLabel::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  event->accept();
  m_Pressed = true;
  SetFontColor(m_ALinkColor);
}

void TUrlLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  event->accept();
  const QPoint at = event->position().toPoint();
  // The right and bottom edges themselves still count as on the label.
  const bool outside = at.x() < 0 || at.y() < 0 || at.y() > height() || at.x() > width();
  if (outside) {
    SetFontColor(RestingColor());
  } else if (m_Pressed) {
    m_Visited = true;
    SetFontColor(m_VLinkColor);
    if (m_ShellOpen) static_cast<void>(m_ShellOpen(m_URL.isEmpty() ? text() : m_URL));
  }
  m_Pressed = false;
}

}  // namespace widgets
