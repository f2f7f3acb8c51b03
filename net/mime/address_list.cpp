#include "net/mime/address_list.h"

namespace vexil::net::mime {
namespace {

// One entry of the list: the angle-bracket address when there is one, else what is left outside
// quotes and comments.
std::string addressOf(std::string_view entry) {
  std::string bare, angle;
  bool hasAngle = false, inAngle = false, inQuote = false;
  int comment = 0;
  for (size_t i = 0; i < entry.size(); ++i) {
    char c = entry[i];
    if (inQuote) {
      if (c == '\\' && i + 1 < entry.size()) ++i;
      else if (c == '"') inQuote = false;
      continue;
    }
    if (comment > 0) {
      if (c == '\\' && i + 1 < entry.size()) ++i;
      else if (c == '(') ++comment;
      else if (c == ')') --comment;
      continue;
    }
    if (inAngle) {
      if (c == '>') inAngle = false;
      else angle += c;
      continue;
    }
    if (c == '"') inQuote = true;
    else if (c == '(') comment = 1;
    else if (c == '<') inAngle = hasAngle = true, angle.clear();
    else if (c == ':') bare.clear();  // a group's name
    else if (c != ';') bare += c;
  }
  std::string out;
  for (char c : hasAngle ? angle : bare)
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
  return out;
}

}  // namespace

std::vector<std::string> plainAddresses(std::string_view field) {
  std::vector<std::string> out;
  auto add = [&](std::string_view entry) {
    std::string address = addressOf(entry);
    if (!address.empty()) out.push_back(std::move(address));
  };
  size_t start = 0;
  bool inQuote = false, inAngle = false;
  int comment = 0;
  for (size_t i = 0; i < field.size(); ++i) {
    char c = field[i];
    if (inQuote || comment > 0) {
      if (c == '\\') ++i;
      else if (inQuote && c == '"') inQuote = false;
      else if (!inQuote && c == '(') ++comment;
      else if (!inQuote && c == ')') --comment;
    } else if (c == '"') {
      inQuote = true;
    } else if (c == '(') {
      comment = 1;
    } else if (c == '<') {
      inAngle = true;
    } else if (c == '>') {
      inAngle = false;
    } else if (c == ',' && !inAngle) {
      add(field.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < field.size()) add(field.substr(start));  // the last entry, closed or not
  return out;
}

}  // namespace vexil::net::mime
