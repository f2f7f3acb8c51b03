#include "objects/sysinfo/display_mode.h"

#include <cmath>

#include "script/runtime/atom_table.h"
#include "script/runtime/conversions.h"
#include "script/runtime/property_table.h"

namespace vexil::objects {
namespace {

constexpr const char* kFieldNames[kDisplayFieldCount] = {"bitsPerPel", "pelsWidth", "pelsHeight",
                                                         "displayFrequency"};

std::optional<int64_t> integerOf(const script::Value& v) {
  if (v.tag == script::Tag::Integer) return v.integer();
  if (v.tag == script::Tag::Real && std::isfinite(v.real()) && std::fabs(v.real()) < 9.0e18) {
    return int64_t(v.real());
  }
  return std::nullopt;
}

}  // namespace

const char* displayFieldName(DisplayField field) { return kFieldNames[size_t(field)]; }

void makeDisplayModeObject(script::Engine& engine, const DisplayMode& mode, script::Value* target) {
  target->setObject(script::newTable(engine));
  for (size_t i = 0; i < kDisplayFieldCount; ++i) {
    script::setProperty(engine, target->table(), script::intern(engine, kFieldNames[i]),
                        script::Value::fromInteger(mode.fields[i]));
  }
}

DisplayModeRequest readDisplayModeRequest(script::Engine& engine, script::PropertyTable* object) {
  DisplayModeRequest request;
  for (size_t i = 0; i < kDisplayFieldCount; ++i) {
    script::Value v;
    if (script::getProperty(engine, object, script::intern(engine, kFieldNames[i]), &v)) {
      request.fields[i] = integerOf(v);
    }
  }
  script::Value test;
  if (script::getProperty(engine, object, script::intern(engine, "test"), &test)) {
    request.test = script::valueToBoolean(engine, test);
  }
  return request;
}

}  // namespace vexil::objects
