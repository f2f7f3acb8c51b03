#include "tools/swfinfo/json_writer.h"

#include <cmath>
#include <cstdio>

namespace vexil::swfinfo {
namespace {

// Length of the valid UTF-8 sequence at text[pos], or 0 if the bytes there are not one.
size_t utf8SequenceLength(std::string_view text, size_t pos) {
  auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  uint8_t lead = byte(pos);
  size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || pos + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return 0;
  }
  if (length == 2 && lead < 0xC2) return 0;  // overlong
  if (length == 3 && lead == 0xE0 && byte(pos + 1) < 0xA0) return 0;
  if (length == 3 && lead == 0xED && byte(pos + 1) >= 0xA0) return 0;  // surrogates
  if (length == 4 && (lead > 0xF4 || (lead == 0xF0 && byte(pos + 1) < 0x90) || (lead == 0xF4 && byte(pos + 1) >= 0x90))) {
    return 0;
  }
  return length;
}

}  // namespace

std::string escapeJsonString(std::string_view text) {
  std::string out = "\"";
  for (size_t pos = 0; pos < text.size();) {
    char c = text[pos];
    size_t length = utf8SequenceLength(text, pos);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++pos;
      continue;
    }
    if (length > 1) {
      out.append(text.substr(pos, length));
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<uint8_t>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      out += escaped;
    } else {
      out += c;
    }
    pos += length;
  }
  return out + "\"";
}

void JsonWriter::separate() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!first_.empty()) {
    if (!first_.back()) out_ += ',';
    first_.back() = false;
  }
}

JsonWriter& JsonWriter::beginObject() {
  separate();
  out_ += '{';
  first_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::endObject() {
  out_ += '}';
  first_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::beginArray() {
  separate();
  out_ += '[';
  first_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::endArray() {
  out_ += ']';
  first_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
  separate();
  out_ += escapeJsonString(name);
  out_ += ':';
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
  separate();
  out_ += escapeJsonString(text);
  return *this;
}

JsonWriter& JsonWriter::value(int64_t number) {
  separate();
  out_ += std::to_string(number);
  return *this;
}

JsonWriter& JsonWriter::value(double number) {
  separate();
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.10g", std::isfinite(number) ? number : 0.0);
  out_ += buffer;
  return *this;
}

}  // namespace vexil::swfinfo
