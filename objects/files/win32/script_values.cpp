#include "objects/files/win32/script_values.h"

#include "objects/date/date_class.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::objects::files {

script::Value scriptText(script::Engine& engine, std::wstring_view text) {
  return script::makeString(engine, platform::asUtf16(text));
}

void scriptTextArray(script::Engine& engine, const std::vector<std::wstring>& texts, script::Value* target) {
  script::StackRoots roots(engine);
  script::Value* array = roots.hold();
  script::ArrayRecord* record = script::newArray(engine);
  array->setArray(record);
  script::Value* element = roots.hold();
  for (size_t i = 0; i < texts.size(); ++i) {
    *element = scriptText(engine, texts[i]);
    script::storeElement(engine, *record, i, *element);
  }
  *target = *array;
}

std::optional<double> scriptTime(const script::Value& value) {
  switch (value.tag) {
    case script::Tag::Integer: return double(value.integer());
    case script::Tag::Real: return value.real();
    default: return dateTimeValue(value);
  }
}

}  // namespace vexil::objects::files
