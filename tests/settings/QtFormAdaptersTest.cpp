#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include "QtFormAdapters.h"
#include "TempFolder.h"

using namespace settings;

namespace {

// A window with the stored controls, named as the main window names them,
// and the redraw timer wired to the box's state changes.
struct TTestForm {
  QWidget Form;
  QCheckBox* Digis = Add<QCheckBox>("cbDrawDigis");
  QCheckBox* IGates = Add<QCheckBox>("cbDrawIGates");
  QCheckBox* Mobiles = Add<QCheckBox>("cbDrawMobiles");
  QCheckBox* Redraw = Add<QCheckBox>("cbRedrawCircles");
  QCheckBox* Fullsize = Add<QCheckBox>("cbDrawFullsize");
  QCheckBox* DefaultPhg = Add<QCheckBox>("cbDrawDefaultPHG");
  QCheckBox* Others = Add<QCheckBox>("cbDrawOthers");
  QLineEdit* RedrawPeriod = Add<QLineEdit>("edRedrawCircles");
  QLineEdit* ExpireAge = Add<QLineEdit>("edExpireAge");
  QLineEdit* ServerPort = Add<QLineEdit>("edServerPort");
  QTimer RedrawTimer;

  TTestForm() {
    for (QCheckBox* box : {Digis, IGates, Mobiles, DefaultPhg, Others}) box->setChecked(true);
    Fullsize->setText(QStringLiteral("Draw full-size (fixed stations) circles"));
    RedrawPeriod->setText(QStringLiteral("15"));
    ExpireAge->setText(QStringLiteral("60"));
    ServerPort->setText(QStringLiteral("1448"));
    ServerPort->hide();
    RedrawTimer.setInterval(15000);
    QObject::connect(Redraw, &QCheckBox::toggled, &Form, [this] {
      RedrawTimer.stop();
      bool ok = false;
      const int seconds = RedrawPeriod->text().toInt(&ok);
      RedrawTimer.setInterval((ok ? seconds : 15) * 1000);
      if (Redraw->isChecked()) RedrawTimer.start();
    });
    Form.setGeometry(360, 250, 633, 438);
  }

  template <typename T>
  T* Add(const char* name) {
    T* w = new T(&Form);
    w->setObjectName(QString::fromLatin1(name));
    return w;
  }
};

TEST(QtFormAdapters, RoundTripOverRealWidgets) {
  TTempFolder folder;
  TSettingsFile file(folder.File("Tarvik.INI"));
  {
    TTestForm form;
    TQtFormSettings settings(file, form.Form, nullptr);
    settings.RestoreAfterCreate();
    form.Form.setGeometry(40, 60, 700, 500);
    form.Mobiles->setChecked(false);
    form.Redraw->setChecked(true);
    form.RedrawPeriod->setText(QStringLiteral("30"));
    form.ExpireAge->setText(QString::fromUtf8("\xC3\xA9t\xC3\xA9"));  // UTF-8 survives
    settings.SaveOnClose();
    settings.SaveOnDestroy();
  }
  EXPECT_EQ(file.ReadString("MainForm", "NormalPos", ""), "40,60,740,560");
  EXPECT_EQ(file.ReadString("Settings", "cbRedrawCircles.Checked", ""), "True");
  EXPECT_EQ(file.ReadString("Settings", "cbDrawFullsize.Caption", ""), "Draw full-size (fixed stations) circles");

  TTestForm form;
  TQtFormSettings settings(file, form.Form, nullptr);
  settings.RestoreAfterCreate();
  EXPECT_EQ(form.Form.geometry(), QRect(40, 60, 700, 500));
  EXPECT_FALSE(form.Mobiles->isChecked());
  EXPECT_TRUE(form.Digis->isChecked());
  EXPECT_FALSE(form.Fullsize->isChecked());
  EXPECT_EQ(form.ExpireAge->text(), QString::fromUtf8("\xC3\xA9t\xC3\xA9"));
  EXPECT_TRUE(form.Redraw->isChecked());
  EXPECT_TRUE(form.RedrawTimer.isActive());
  EXPECT_EQ(form.RedrawTimer.interval(), 30000);
}

TEST(QtFormAdapters, NamesMatchWithoutCaseAndCaptionIsTheText) {
  TTestForm form;
  TQtStoredControls controls(form.Form);
  EXPECT_TRUE(controls.HasComponent("CBDRAWDIGIS"));
  EXPECT_FALSE(controls.HasComponent("cbNoSuchBox"));
  const std::optional<TPropertyValue> caption = controls.GetProperty("cbdrawfullsize", "CAPTION");
  ASSERT_TRUE(caption);
  EXPECT_EQ(caption->Kind, TPropertyKind::pkText);
  EXPECT_EQ(caption->Text, "Draw full-size (fixed stations) circles");
  const std::optional<TPropertyValue> checked = controls.GetProperty("cbDrawDigis", "checked");
  ASSERT_TRUE(checked);
  EXPECT_EQ(checked->Kind, TPropertyKind::pkBoolean);
  EXPECT_TRUE(checked->Checked);
  EXPECT_FALSE(controls.GetProperty("cbDrawDigis", "NoSuchProperty"));
}

TEST(QtFormAdapters, WindowInfoOfADesignedWindow) {
  TTestForm form;
  TQtFormWindow window(form.Form);
  const TFormWindowInfo info = window.Info();
  EXPECT_EQ(info.Placement.NormalPosition, (TRect{360, 250, 993, 688}));
  EXPECT_EQ(info.Placement.ShowCmd, kSwShowNormal);
  EXPECT_EQ(info.Color, kClBtnFace);
  EXPECT_TRUE(info.Sizeable);
  form.Form.setFixedSize(633, 438);
  EXPECT_FALSE(window.Info().Sizeable);
}

TEST(QtFormAdapters, SettingsPathIsBesideTheExecutable) {
  const QString path = ExecutableSettingsPath();
  EXPECT_TRUE(path.endsWith(QStringLiteral("tarvik_settings_tests.INI"))) << path.toStdString();
}

}  // namespace
