// Who receives donations made through the donation label, and where.
#pragma once

#include <string_view>

namespace widgets {

// The payment service's secure address (scheme and host).
inline constexpr std::string_view kPaymentServiceAddress = "https://www.paypal.com";

// The payee and the item on PayPalLabel1.
inline constexpr std::string_view kDonationCompany = "Kestrel Bay Software";
inline constexpr std::string_view kDonationProduct = "Tarvik";
inline constexpr std::string_view kDonationEmail = "donations@example.org";

inline constexpr std::string_view kPayPalLabel1Name = "PayPalLabel1";
inline constexpr std::string_view kPayPalLabel1Caption = "If you like Tarvik consider making a donation";

}  // namespace widgets
