#pragma once
// A minimal writer for one-line JSON: objects, arrays, strings, integers and numbers. Commas are
// placed automatically; strings are escaped and invalid UTF-8 becomes U+FFFD, so the output is
// valid JSON whatever bytes a movie holds.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexil::swfinfo {

class JsonWriter {
 public:
  JsonWriter& beginObject();
  JsonWriter& endObject();
  JsonWriter& beginArray();
  JsonWriter& endArray();
  JsonWriter& key(std::string_view name);
  JsonWriter& value(std::string_view text);
  JsonWriter& value(const char* text) { return value(std::string_view(text)); }
  JsonWriter& value(int64_t number);
  JsonWriter& value(double number);

  const std::string& text() const { return out_; }

 private:
  void separate();
  std::string out_;
  std::vector<bool> first_;  // per open container: nothing written in it yet
  bool afterKey_ = false;
};

std::string escapeJsonString(std::string_view text);

}  // namespace vexil::swfinfo
