#include "PayPalLabel.h"

#include <QFont>
#include <QMouseEvent>
#include <QStringList>

#include "DonationConfig.h"
#include "LinkText.h"

namespace widgets {

namespace {

QString FromView(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

std::string Utf8(const QString& s) { return s.toUtf8().toStdString(); }

constexpr int kPayPalLabel1PixelSize = 11;

}  // namespace

QString TPayPalLabel::DonationUrl() const {
  return FromView(DonationAddress(kPaymentServiceAddress, Utf8(m_Email), Utf8(m_Company), Utf8(m_Product)));
}

void TPayPalLabel::mouseReleaseEvent(QMouseEvent* event) {
  SetURL(DonationUrl());
  TUrlLabel::mouseReleaseEvent(event);
}

TPayPalLabel* CreatePayPalLabel1(QWidget* parent) {
  auto* label = new TPayPalLabel(parent);
  label->setObjectName(FromView(kPayPalLabel1Name));
  label->setText(FromView(kPayPalLabel1Caption));
  label->SetCompany(FromView(kDonationCompany));
  label->SetProduct(FromView(kDonationProduct));
  label->SetEmail(FromView(kDonationEmail));
  // The classic dialog face where it is installed, else the desktop's sans.
  QFont font = label->font();
  font.setFamilies(QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("Sans Serif")});
  font.setPixelSize(kPayPalLabel1PixelSize);
  font.setUnderline(true);
  label->setFont(font);
  label->SetFontColor(clRed);
  label->SetLinkColor(clRed);
  label->adjustSize();
  return label;
}

}  // namespace widgets
