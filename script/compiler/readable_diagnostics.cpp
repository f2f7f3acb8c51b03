#include "script/compiler/readable_diagnostics.h"

#include <cstdint>

namespace vexil::script {

namespace {

// Splits "KIND: line N: MESSAGE" into its parts; false for any other form.
bool splitDiagnostic(std::string_view line, std::string_view& kind, int64_t& number, std::string_view& message) {
  for (std::string_view candidate : {std::string_view("error"), std::string_view("warning")}) {
    std::string_view prefix = line.substr(0, candidate.size());
    if (prefix != candidate || line.substr(candidate.size(), 7) != ": line ") continue;
    size_t at = candidate.size() + 7;
    size_t digits = at;
    number = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9' && digits - at < 10)
      number = number * 10 + (line[digits++] - '0');
    if (digits == at || line.substr(digits, 2) != ": ") return false;
    kind = candidate;
    message = line.substr(digits + 2);
    return true;
  }
  return false;
}

}  // namespace

std::string readableLocation(std::string_view sourceName, int line) {
  if (sourceName.empty()) return {};
  std::string text(sourceName);
  if (line >= 0) text += ":" + std::to_string(int64_t(line) + 1);
  return text + ": ";
}

std::string readableDiagnostics(std::string_view engineText, std::string_view sourceName) {
  std::string out;
  while (!engineText.empty()) {
    size_t end = engineText.find('\n');
    size_t next = end == std::string_view::npos ? engineText.size() : end + 1;
    std::string_view line = engineText.substr(0, next);
    std::string_view body = line;
    while (!body.empty() && (body.back() == '\n' || body.back() == '\r')) body.remove_suffix(1);
    std::string_view kind, message;
    int64_t number = 0;
    if (splitDiagnostic(body, kind, number, message)) {
      std::string name = sourceName.empty() ? std::string("<script>") : std::string(sourceName);
      out += name + ":" + std::to_string(number + 1) + ": ";
      out += kind;
      out += ": ";
      out += message;
      out += line.substr(body.size());
    } else {
      out += line;
    }
    engineText.remove_prefix(next);
  }
  return out;
}

}  // namespace vexil::script
