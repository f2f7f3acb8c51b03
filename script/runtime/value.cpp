#include "script/runtime/value.h"

namespace vexil::script {

namespace {
// Indexed by tag code.
constexpr const char* kTypeofTexts[kTagCount] = {
    "undefined", "object", "boolean", "number", "string", "number", "object", "object",
    "",          "",       "",        "object", "function", "number", "", "",
};
}  // namespace

const char* typeofText(Tag tag) {
  int code = int(tag);
  return code >= 0 && code < kTagCount ? kTypeofTexts[code] : "";
}

bool sameValue(const Value& a, const Value& b) {
  return a.tag == b.tag && std::memcmp(a.payload, b.payload, 8) == 0;
}

}  // namespace vexil::script
