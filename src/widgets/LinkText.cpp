#include "LinkText.h"

namespace widgets {

namespace {
constexpr std::string_view kUrlSafe = "1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz:/.?=_-$(){}~&";
constexpr char kHexDigits[] = "0123456789ABCDEF";
}  // namespace

std::string EncodeUrl(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (const char c : text) {
    if (kUrlSafe.find(c) != std::string_view::npos) {
      out.push_back(c);
    } else {
      const auto byte = static_cast<unsigned char>(c);
      out.push_back('%');
      out.push_back(kHexDigits[byte >> 4]);
      out.push_back(kHexDigits[byte & 0x0F]);
    }
  }
  return out;
}

std::string DonationRequest(std::string_view serviceAddress, std::string_view email, std::string_view company,
                            std::string_view product) {
  std::string request(serviceAddress);
  request += "/cgi-bin/webscr?cmd=_xclick&business=";
  request += email;
  request += "&item_name=";
  request += company;
  request += " - ";
  request += product;
  request += "&no_shipping=2&no_note=1&tax=0";
  request += "&currency_code=USD&bn=PP+DonationsBF&charset=UTF+8";
  return request;
}

std::string DonationAddress(std::string_view serviceAddress, std::string_view email, std::string_view company,
                            std::string_view product) {
  return EncodeUrl(DonationRequest(serviceAddress, email, company, product));
}

}  // namespace widgets
