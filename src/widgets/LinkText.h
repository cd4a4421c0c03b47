// Text of the link labels: web-address escaping and the donation address.
// No Qt: 8-bit text in, 8-bit text out.
#pragma once

#include <string>
#include <string_view>

namespace widgets {

// Copies letters, digits and ":/.?=_-$(){}~&"; every other byte becomes "%"
// and two upper-case hex digits (" " -> "%20", "@" -> "%40", "+" -> "%2B").
std::string EncodeUrl(std::string_view text);

// The payment service's donation request for one payee and item, before
// escaping: service + "/cgi-bin/webscr?cmd=_xclick&business=" + email +
// "&item_name=" + company + " - " + product + the fixed options.
std::string DonationRequest(std::string_view serviceAddress, std::string_view email, std::string_view company,
                            std::string_view product);

// The address a donation label opens: DonationRequest escaped with EncodeUrl.
std::string DonationAddress(std::string_view serviceAddress, std::string_view email, std::string_view company,
                            std::string_view product);

}  // namespace widgets
