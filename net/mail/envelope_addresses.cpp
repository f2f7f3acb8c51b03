#include "net/mail/envelope_addresses.h"

#include <algorithm>

namespace vexil::net::mail {

namespace {

std::string_view trimmed(std::string_view text) {
  const char* blanks = " \t\r\n";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string addressOfEntry(std::string_view entry) {
  size_t open = entry.find('<');
  if (open == std::string_view::npos) return std::string(trimmed(entry));
  std::string_view inside = entry.substr(open + 1);
  return std::string(trimmed(inside.substr(0, inside.find('>'))));
}

}  // namespace

std::vector<std::string> envelopeAddresses(std::string_view field) {
  std::vector<std::string> addresses;
  bool quoted = false, bracketed = false;
  size_t start = 0;
  for (size_t i = 0; i <= field.size(); ++i) {
    char c = i < field.size() ? field[i] : ',';
    if (c == '"' && !bracketed) quoted = !quoted;
    else if (c == '<' && !quoted) bracketed = true;
    else if (c == '>' && !quoted) bracketed = false;
    else if (c == ',' && ((!quoted && !bracketed) || i == field.size())) {
      std::string address = addressOfEntry(field.substr(start, i - start));
      if (!address.empty()) addresses.push_back(std::move(address));
      start = i + 1;
    }
  }
  return addresses;
}

std::vector<std::string> recipientsOf(std::string_view to, std::string_view cc, std::string_view bcc) {
  std::vector<std::string> all;
  for (std::string_view field : {to, cc, bcc}) {
    for (std::string& address : envelopeAddresses(field)) {
      if (std::find(all.begin(), all.end(), address) == all.end()) all.push_back(std::move(address));
    }
  }
  return all;
}

bool isSendableAddress(std::string_view address) {
  return !address.empty() && address.find_first_of(std::string_view("\r\n\0<> \t", 7)) == std::string_view::npos;
}

}  // namespace vexil::net::mail
