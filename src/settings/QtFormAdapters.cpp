#include "QtFormAdapters.h"

#include <QApplication>
#include <QMetaProperty>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include "SettingsFile.h"
#include "SettingsFolder.h"

namespace settings {

namespace {

QString FromUtf8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

TRect ToRect(const QRect& r) { return TRect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }

std::int32_t ColorValue(const QColor& c) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
                                   (static_cast<std::uint32_t>(c.blue()) << 16));
}

// The Qt property a stored entry names: "Caption" is a button's or label's "text".
int FindPropertyIndex(const QObject& object, std::string_view property) {
  QString name = FromUtf8(property);
  if (name.compare(QLatin1String("Caption"), Qt::CaseInsensitive) == 0) name = QStringLiteral("text");
  const QMetaObject* meta = object.metaObject();
  for (int i = 0; i < meta->propertyCount(); ++i) {
    if (name.compare(QLatin1String(meta->property(i).name()), Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

}  // namespace

QString ExecutableSettingsPath() {
  const std::string executable = QCoreApplication::applicationFilePath().toStdString();
  return QString::fromStdString(SettingsFileIn(SettingsFolderOf(executable), executable).FileName());
}

TFormWindowInfo TQtFormWindow::Info() const {
  TFormWindowInfo info;
  info.PixelsPerInch = m_Form.logicalDpiY();
  const QRect normal = m_Form.normalGeometry().isValid() ? m_Form.normalGeometry() : m_Form.geometry();
  info.Placement.NormalPosition = ToRect(normal);
  const Qt::WindowStates state = m_Form.windowState();
  if (state & Qt::WindowMinimized) {
    info.Placement.ShowCmd = kSwShowMinimized;
    if (state & Qt::WindowMaximized) info.Placement.Flags = kWpfRestoreToMaximized;
  } else if (state & Qt::WindowMaximized) {
    info.Placement.ShowCmd = kSwShowMaximized;
  }
  info.ApplicationIconic = m_Form.isWindow() && m_Form.isMinimized();
  info.Sizeable =
      m_Form.minimumSize() != m_Form.maximumSize() && !m_Form.windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint);
  const QColor own = m_Form.palette().color(QPalette::Window);
  info.Color = own == QApplication::palette(&m_Form).color(QPalette::Window) ? kClBtnFace : ColorValue(own);
  if (const QScreen* screen = m_Form.screen()) info.WorkArea = ToRect(screen->availableVirtualGeometry());
  return info;
}

void TQtFormWindow::SetDesignedPosition() { m_Form.setAttribute(Qt::WA_Moved); }

void TQtFormWindow::ApplyPlacement(const TWindowPlacement& placement) {
  const TRect& r = placement.NormalPosition;
  m_Form.setGeometry(r.Left, r.Top, r.Width(), r.Height());
  if (placement.ShowCmd == kSwShowMaximized) {
    m_Form.showMaximized();
  } else if (placement.ShowCmd == kSwShowMinimized) {
    m_Form.showMinimized();
  } else if (placement.ShowCmd == kSwShowNormal) {
    m_Form.showNormal();
  }
}

QObject* TQtStoredControls::FindComponent(std::string_view component) const {
  const QString name = FromUtf8(component);
  if (name.isEmpty()) return nullptr;
  const QList<QObject*> children = m_Form.findChildren<QObject*>();
  for (QObject* child : children) {
    if (child->objectName().compare(name, Qt::CaseInsensitive) == 0) return child;
  }
  return nullptr;
}

bool TQtStoredControls::HasComponent(std::string_view component) const { return FindComponent(component) != nullptr; }

std::optional<TPropertyValue> TQtStoredControls::GetProperty(std::string_view component,
                                                             std::string_view property) const {
  const QObject* object = FindComponent(component);
  if (object == nullptr) return std::nullopt;
  const int index = FindPropertyIndex(*object, property);
  if (index < 0) return std::nullopt;
  const QMetaProperty meta = object->metaObject()->property(index);
  const QVariant v = meta.read(object);
  TPropertyValue value;
  if (meta.metaType().id() == QMetaType::Bool) {
    value.Kind = TPropertyKind::pkBoolean;
    value.Checked = v.toBool();
  } else if (meta.metaType().id() == QMetaType::QString) {
    value.Kind = TPropertyKind::pkText;
    value.Text = v.toString().toStdString();
  } else {
    return std::nullopt;
  }
  return value;
}

void TQtStoredControls::SetProperty(std::string_view component, std::string_view property,
                                    const TPropertyValue& value) {
  QObject* object = FindComponent(component);
  if (object == nullptr) return;
  const int index = FindPropertyIndex(*object, property);
  if (index < 0) return;
  const QMetaProperty meta = object->metaObject()->property(index);
  // A check box emits toggled() when its state changes, which runs its click action.
  if (value.Kind == TPropertyKind::pkBoolean) {
    meta.write(object, QVariant(value.Checked));
  } else {
    meta.write(object, QVariant(FromUtf8(value.Text)));
  }
}

}  // namespace settings
