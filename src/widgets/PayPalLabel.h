// A link label that opens a donation page of the payment service for its
// payee (Email, Company) and item (Product). The address is built again at
// every button release, so the three values may change at any time.
#pragma once

#include <QString>

#include "URLLabel.h"

namespace widgets {

class TPayPalLabel : public TUrlLabel {
  Q_OBJECT

 public:
  explicit TPayPalLabel(QWidget* parent = nullptr) : TUrlLabel(parent) {}

  QString Company() const { return m_Company; }
  QString Product() const { return m_Product; }
  QString Email() const { return m_Email; }
  void SetCompany(const QString& company) { m_Company = company; }
  void SetProduct(const QString& product) { m_Product = product; }
  void SetEmail(const QString& email) { m_Email = email; }

  // The address the next click opens (UTF-8 bytes, escaped).
  QString DonationUrl() const;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QString m_Company;
  QString m_Product;
  QString m_Email;
};

// The main window's donation label, configured as DonationConfig.h says:
// named "PayPalLabel1", captioned "If you like Tarvik consider making a
// donation", 11-pixel underlined red text whose LinkColor is red.
TPayPalLabel* CreatePayPalLabel1(QWidget* parent);

}  // namespace widgets
