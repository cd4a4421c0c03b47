// The "Range Circles" page: the drawing controls, the draw pass and the
// redraw timer of the main window.
#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <exception>

#include "CircleCollector.h"
#include "DrawPass.h"
#include "RangeCircle.h"
#include "RedrawTimer.h"
#include "TarvikMain.h"

namespace tarvik {

namespace {

// A control's hint: shown in the hint bar while the mouse is over it.
void SetCircleHint(QWidget* widget, const char* hint) {
  widget->setStatusTip(QString::fromLatin1(hint));
  widget->setToolTip(QString::fromLatin1(hint));
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const char* caption, bool checked, const char* hint) {
  auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setChecked(checked);
  SetCircleHint(box, hint);
  return box;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, const char* hint) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  SetCircleHint(button, hint);
  return button;
}

}  // namespace

void TMainForm::CreateCircleControls() {
  auto* outer = qobject_cast<QVBoxLayout*>(pnlCircleControls->layout());
  gbControl = new QGroupBox(QStringLiteral("Control"), pnlCircleControls);
  gbControl->setObjectName(QStringLiteral("gbControl"));
  auto* layout = new QVBoxLayout(gbControl);

  cbDrawDigis = MakeCheckBox(gbControl, "cbDrawDigis", "Draw Digis (Green) - # symbol", true,
                             "Enables drawing range circles for digis");
  cbDrawMobiles =
      MakeCheckBox(gbControl, "cbDrawMobiles", "Draw Mobiles (Red)", true, "Enables drawing range circles for mobiles");
  cbDrawIGates = MakeCheckBox(gbControl, "cbDrawIGates", "Draw IGates (Blue) - && symbol", true,
                              "Enables drawing range circles for IGates");
  cbDrawDefaultPHG = MakeCheckBox(gbControl, "cbDrawDefaultPHG", "Draw Default PHG (purple)", true,
                                  "Enables drawing range circles for stations that did not providet a PHG value");
  cbDrawOthers = MakeCheckBox(gbControl, "cbDrawOthers", "Draw Others (Black)", true,
                              "Enables drawing range circles for all others");
  for (QCheckBox* box : {cbDrawDigis, cbDrawMobiles, cbDrawIGates, cbDrawDefaultPHG, cbDrawOthers})
    layout->addWidget(box);

  pnlRedraw = new QWidget(gbControl);
  pnlRedraw->setObjectName(QStringLiteral("pnlRedraw"));
  auto* panel = new QVBoxLayout(pnlRedraw);
  panel->setContentsMargins(0, 0, 0, 0);
  auto* redrawRow = new QHBoxLayout();
  cbRedrawCircles =
      MakeCheckBox(pnlRedraw, "cbRedrawCircles", "Redraw every ", false, "Enables auto-redraw at the specified rate");
  edRedrawCircles = new QLineEdit(QStringLiteral("15"), pnlRedraw);
  edRedrawCircles->setObjectName(QStringLiteral("edRedrawCircles"));
  edRedrawCircles->setMaximumWidth(edRedrawCircles->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
  SetCircleHint(edRedrawCircles, "The rate range circles will be redrawn");
  lblRedrawSeconds = new QLabel(QStringLiteral("seconds"), pnlRedraw);
  lblRedrawSeconds->setObjectName(QStringLiteral("lblRedrawSeconds"));
  redrawRow->addWidget(cbRedrawCircles);
  redrawRow->addWidget(edRedrawCircles);
  redrawRow->addWidget(lblRedrawSeconds);
  redrawRow->addStretch(1);
  panel->addLayout(redrawRow);
  cbDrawFullsize = MakeCheckBox(pnlRedraw, "cbDrawFullsize", "Draw full-size (fixed stations) circles", false,
                                "Draw NORMAL (for mobiles) sized range circles rather than FULL SIZE (for fixed "
                                "stations) - choice not saved");
  cbDrawDF = MakeCheckBox(pnlRedraw, "cbDrawDF", "Enable DF circle plots", false,
                          "Draws DF circles instead of PHG or RNG circles");
  panel->addWidget(cbDrawFullsize);
  panel->addWidget(cbDrawDF);
  layout->addWidget(pnlRedraw);

  auto* buttons = new QHBoxLayout();
  btnRefreshMap =
      MakeButton(gbControl, "btnRefreshMap", "&Refresh Map", "Clear range circles and force the map to redraw");
  btnDrawCircles = MakeButton(gbControl, "btnDrawCircles", "&Draw Circles", "Draw the selected range circles");
  btnDrawCircles->setDefault(true);
  buttons->addWidget(btnRefreshMap);
  buttons->addWidget(btnDrawCircles);
  layout->addLayout(buttons);
  layout->addStretch(1);
  if (outer != nullptr) outer->addWidget(gbControl);

  tmrRedrawCircles = std::make_unique<TRedrawTimerQt>(this);
  tmrRedrawCircles->setObjectName(QStringLiteral("tmrRedrawCircles"));
  tmrRedrawCircles->SetOnTimer([this] { Guarded([this] { tmrRedrawCirclesTimer(); }); });

  connect(btnDrawCircles, &QPushButton::clicked, this, [this] { Guarded([this] { btnDrawCirclesClick(); }); });
  connect(btnRefreshMap, &QPushButton::clicked, this, [this] { Guarded([this] { btnRefreshMapClick(); }); });
  // Also when the program sets the box, as the stored settings are restored.
  connect(cbRedrawCircles, &QCheckBox::toggled, this, [this] { Guarded([this] { cbRedrawCirclesClick(); }); });
  WatchExit(edRedrawCircles, [this] { Guarded([this] { edRedrawCirclesExit(); }); });

  // The window's default button: Enter presses "&Draw Circles" unless the
  // focus is on another button, which Enter then presses instead.
  for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* shortcut = new QShortcut(QKeySequence(key), this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this] { PressDefaultButton(); });
  }
}

void TMainForm::PressDefaultButton() {
  auto* focused = qobject_cast<QAbstractButton*>(focusWidget());
  if (focused != nullptr && focused->isVisible() && focused->isEnabled()) {
    focused->click();
    return;
  }
  if (btnDrawCircles->isVisible() && btnDrawCircles->isEnabled()) btnDrawCircles->click();
}

void TMainForm::Guarded(const std::function<void()>& handler) {
  // The application-wide handler: the error's message alone, one log line.
  try {
    handler();
  } catch (const std::exception& e) {
    ApplicationEvents1Exception(e.what());
  } catch (...) {
    ApplicationEvents1Exception("Unknown error");
  }
}

// ---- Circles -------------------------------------------------------------------

TOxbMapSource TMainForm::HostMap() {
  if (!clsOxb) throw host::EHostNotConnected();
  return TOxbMapSource(*clsOxb);
}

TCircleChoice TMainForm::CircleChoice() const {
  TCircleChoice choice;
  choice.DrawDigis = cbDrawDigis->isChecked();
  choice.DrawMobiles = cbDrawMobiles->isChecked();
  choice.DrawIGates = cbDrawIGates->isChecked();
  choice.DrawDefaultPhg = cbDrawDefaultPHG->isChecked();
  choice.DrawOthers = cbDrawOthers->isChecked();
  choice.DrawDf = cbDrawDF->isChecked();
  return choice;
}

void TMainForm::PlotRangeCircle(const aprs::TAprsPacket& station, std::int32_t color, bool fullSize, int penWidth) {
  TOxbMapSource map = HostMap();
  tarvik::PlotRangeCircle(map, station, color, fullSize, penWidth);
}

void TMainForm::PlotDfCircle(const aprs::TAprsPacket& station, std::int32_t color) {
  TOxbMapSource map = HostMap();
  tarvik::PlotDfCircle(map, station, color);
}

void TMainForm::PlotCircles(bool fullSize) {
  if (!Cache) return;
  TOxbMapSource map = HostMap();
  PlotCirclesKept(map, *Cache, CircleChoice(), fullSize, LastPassCircles);
}

// ---- Handlers ------------------------------------------------------------------

void TMainForm::btnDrawCirclesClick() {
  RunDrawPass(*tmrRedrawCircles, [this] { PlotCircles(cbDrawFullsize->isChecked()); });
}

void TMainForm::tmrRedrawCirclesTimer() {
  RunDrawPass(*tmrRedrawCircles, [this] { PlotCircles(cbDrawFullsize->isChecked()); });
}

void TMainForm::cbRedrawCirclesClick() {
  ApplyRedrawSetting(*tmrRedrawCircles, edRedrawCircles->text().toStdString(), cbRedrawCircles->isChecked());
}

void TMainForm::edRedrawCirclesExit() {
  ApplyRedrawSetting(*tmrRedrawCircles, edRedrawCircles->text().toStdString(), cbRedrawCircles->isChecked());
}

void TMainForm::btnRefreshMapClick() {
  if (!clsOxb) throw host::EHostNotConnected();
  clsOxb->RedrawMap();
}

}  // namespace tarvik
