#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include "DonationConfig.h"
#include "PayPalLabel.h"
#include "URLLabel.h"

using namespace widgets;

namespace {

// A window holding the label away from its edges, so that a release can
// happen beside it; every address handed to the shell is recorded.
template <typename Label>
struct TLabelWindow {
  QWidget Window;
  Label* Link = nullptr;
  QStringList Opened;

  explicit TLabelWindow(Label* label = nullptr) {
    Window.resize(400, 200);
    Link = label != nullptr ? label : new Label(&Window);
    if (label != nullptr) label->setParent(&Window);
    Link->setText(QStringLiteral("example.org"));
    Link->setGeometry(50, 50, 120, 20);
    Link->SetShellOpen([this](const QString& target) {
      Opened << target;
      return true;
    });
    Window.show();
  }

  void Enter() {
    QEnterEvent enter(QPointF(5, 5), QPointF(55, 55), QPointF(55, 55));
    QCoreApplication::sendEvent(Link, &enter);
  }
  void Leave() {
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(Link, &leave);
  }
  void Press(QPoint at = QPoint(5, 5)) { QTest::mousePress(Link, Qt::LeftButton, {}, at); }
  void Release(QPoint at = QPoint(5, 5)) { QTest::mouseRelease(Link, Qt::LeftButton, {}, at); }
  void Click(QPoint at = QPoint(5, 5)) {
    Press(at);
    Release(at);
  }
};

TEST(UrlLabel, NewLabelIsBlueUnderlinedWithAHandCursor) {
  TUrlLabel label;
  EXPECT_EQ(label.FontColor(), clBlue);
  EXPECT_EQ(label.LinkColor(), clBlue);
  EXPECT_EQ(label.ALinkColor(), clRed);
  EXPECT_EQ(label.VLinkColor(), clNavy);
  EXPECT_EQ(label.HotColor(), clRed);
  EXPECT_TRUE(label.font().underline());
  EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
  EXPECT_FALSE(label.Pressed() || label.Inside() || label.Visited());
}

TEST(UrlLabel, ColourStatesThroughAClick) {
  TLabelWindow<TUrlLabel> w;
  w.Link->SetHotColor(0x00FF00);
  w.Link->SetALinkColor(0x00FFFF);
  w.Enter();
  EXPECT_TRUE(w.Link->Inside());
  EXPECT_EQ(w.Link->FontColor(), 0x00FF00u);
  w.Press();
  EXPECT_TRUE(w.Link->Pressed());
  EXPECT_EQ(w.Link->FontColor(), 0x00FFFFu);
  w.Release();
  EXPECT_FALSE(w.Link->Pressed());
  EXPECT_TRUE(w.Link->Visited());
  EXPECT_EQ(w.Link->FontColor(), clNavy);  // at once, with the mouse still over it
  w.Leave();
  EXPECT_EQ(w.Link->FontColor(), clNavy);
  w.Enter();
  EXPECT_EQ(w.Link->FontColor(), 0x00FF00u);
  w.Leave();
  EXPECT_FALSE(w.Link->Inside());
  EXPECT_EQ(w.Link->FontColor(), clNavy);
  // The rule never stored a passing colour as a resting one.
  EXPECT_EQ(w.Link->LinkColor(), clBlue);
  EXPECT_EQ(w.Link->VLinkColor(), clNavy);
}

TEST(UrlLabel, OpensTheUrlOrElseTheCaption) {
  TLabelWindow<TUrlLabel> w;
  w.Click();
  w.Link->SetURL(QStringLiteral("https://example.org/tarvik"));
  w.Click();
  EXPECT_EQ(w.Opened, (QStringList{QStringLiteral("example.org"), QStringLiteral("https://example.org/tarvik")}));
}

TEST(UrlLabel, ReleasePositionsTable) {
  struct Case {
    const char* Name;
    QPoint At;  // relative to the label, which is 120 x 20
    bool Opens;
  };
  // clang-format off
  const Case cases[] = {
      {"inside", {60, 10}, true},
      {"top-left corner", {0, 0}, true},
      {"right edge", {120, 10}, true},
      {"bottom edge", {60, 20}, true},
      {"right of it", {121, 10}, false},
      {"below it", {60, 21}, false},
      {"left of it", {-1, 10}, false},
      {"above it", {60, -1}, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    TLabelWindow<TUrlLabel> w;
    w.Press(QPoint(5, 5));
    w.Release(c.At);
    EXPECT_EQ(w.Opened.size(), c.Opens ? 1 : 0) << c.Name;
    EXPECT_EQ(w.Link->Visited(), c.Opens) << c.Name;
    EXPECT_FALSE(w.Link->Pressed()) << c.Name;
    if (!c.Opens) {
      EXPECT_EQ(w.Link->FontColor(), clBlue) << c.Name;
    }
  }
}

TEST(UrlLabel, ReleaseWithoutPressOpensNothing) {
  TLabelWindow<TUrlLabel> w;
  w.Release();
  EXPECT_TRUE(w.Opened.isEmpty());
  EXPECT_FALSE(w.Link->Visited());
}

TEST(UrlLabel, AFailingShellStillMarksTheLinkVisited) {
  TLabelWindow<TUrlLabel> w;
  int calls = 0;
  w.Link->SetShellOpen([&calls](const QString&) {
    ++calls;
    return false;  // no browser, no association
  });
  w.Click();
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(w.Link->Visited());
  EXPECT_EQ(w.Link->FontColor(), clNavy);
}

TEST(UrlLabel, FontRuleStoresTheRestingColour) {
  TLabelWindow<TUrlLabel> w;
  w.Link->SetFontColor(0x112233);
  EXPECT_EQ(w.Link->LinkColor(), 0x112233u);
  w.Enter();
  w.Link->SetFontColor(0x445566);  // while hot: no resting colour changes
  EXPECT_EQ(w.Link->LinkColor(), 0x112233u);
  w.Leave();
  w.Click();
  w.Leave();
  w.Link->SetFontColor(0x778899);  // visited: the visited colour follows
  EXPECT_EQ(w.Link->VLinkColor(), 0x778899u);
  EXPECT_EQ(w.Link->LinkColor(), 0x112233u);
}

TEST(UrlLabel, SettingLinkAndVisitedColours) {
  TUrlLabel label;
  label.SetVLinkColor(0x000080);  // not visited: only the property
  EXPECT_EQ(label.VLinkColor(), 0x000080u);
  EXPECT_EQ(label.FontColor(), clBlue);
  label.SetLinkColor(0x008000);  // not visited: the text shows it
  EXPECT_EQ(label.LinkColor(), 0x008000u);
  EXPECT_EQ(label.FontColor(), 0x008000u);

  TLabelWindow<TUrlLabel> w;
  w.Click();
  w.Leave();
  w.Link->SetLinkColor(0x008000);  // visited: only the property
  EXPECT_EQ(w.Link->LinkColor(), 0x008000u);
  EXPECT_EQ(w.Link->FontColor(), clNavy);
  w.Link->SetVLinkColor(0x808080);  // visited: the text shows it
  EXPECT_EQ(w.Link->FontColor(), 0x808080u);
  EXPECT_EQ(w.Link->VLinkColor(), 0x808080u);
}

TEST(PayPalLabel, PayPalLabel1IsRedAndOpensTheDonationPage) {
  QWidget host;
  TPayPalLabel* label = CreatePayPalLabel1(&host);
  EXPECT_EQ(label->objectName(), QStringLiteral("PayPalLabel1"));
  EXPECT_EQ(label->text(), QStringLiteral("If you like Tarvik consider making a donation"));
  EXPECT_EQ(label->FontColor(), clRed);
  EXPECT_EQ(label->LinkColor(), clRed);
  EXPECT_EQ(label->VLinkColor(), clNavy);
  EXPECT_EQ(label->HotColor(), clRed);
  EXPECT_EQ(label->font().pixelSize(), 11);
  EXPECT_TRUE(label->font().underline());

  TLabelWindow<TPayPalLabel> w(label);
  w.Link->SetURL(QStringLiteral("stale"));
  w.Enter();
  w.Click();
  ASSERT_EQ(w.Opened.size(), 1);
  EXPECT_EQ(w.Opened[0].toStdString(),
            "https://www.paypal.com/cgi-bin/webscr?cmd=_xclick&business=donations%40example.org"
            "&item_name=Kestrel%20Bay%20Software%20-%20Tarvik&no_shipping=2&no_note=1&tax=0"
            "&currency_code=USD&bn=PP%2BDonationsBF&charset=UTF%2B8");
  EXPECT_EQ(w.Link->URL(), w.Opened[0]);
  EXPECT_EQ(w.Link->FontColor(), clNavy);  // navy at once, the mouse still over it
  w.Leave();
  w.Enter();
  EXPECT_EQ(w.Link->FontColor(), clRed);
  w.Leave();
  EXPECT_EQ(w.Link->FontColor(), clNavy);
}

TEST(UrlLabel, ShellUrlKeepsAnEscapedAddress) {
  QWidget host;
  const QString address = CreatePayPalLabel1(&host)->DonationUrl();
  EXPECT_EQ(ShellUrl(address).toString(QUrl::FullyEncoded), address);
  EXPECT_EQ(ShellUrl(QStringLiteral("www.example.org")).toString(), QStringLiteral("http://www.example.org"));
}

TEST(PayPalLabel, AddressIsBuiltAtEveryRelease) {
  TLabelWindow<TPayPalLabel> w;
  w.Link->SetEmail(QStringLiteral("a@example.net"));
  w.Link->SetCompany(QString::fromUtf8("Caf\xC3\xA9"));
  w.Link->SetProduct(QStringLiteral("One"));
  w.Click();
  w.Link->SetProduct(QStringLiteral("Two"));
  w.Press();
  w.Release(QPoint(300, 5));  // beside the label: built, not opened
  EXPECT_TRUE(w.Link->URL().contains(QStringLiteral("item_name=Caf%C3%A9%20-%20Two&")));
  ASSERT_EQ(w.Opened.size(), 1);
  EXPECT_TRUE(w.Opened[0].contains(QStringLiteral("business=a%40example.net&item_name=Caf%C3%A9%20-%20One&")));
}

}  // namespace
