#include <cmath>
#include <memory>

#include "objects/registry/win32/reg_value.h"
#include "objects/registry/win32/registry_classes.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/script_string.h"

namespace vexil::objects::registry {

namespace {

using script::HostCall;
using script::Tag;
using script::Value;

RegValueData& self(HostCall& call) { return *call.instance<RegValueData>(); }

void construct(HostCall& call) { call.publish(std::make_unique<RegValueData>()); }

void getName(HostCall& call) {
  if (self(call).name) *call.result = script::makeString(call.engine, *self(call).name);
}
void setName(HostCall& call, const Value& value) {
  if (value.is(Tag::String)) self(call).name = std::u16string(value.string()->view());
}

void getType(HostCall& call) { call.result->setInteger(self(call).type); }
void setType(HostCall& call, const Value& value) {
  if (value.is(Tag::Integer)) self(call).type = uint32_t(value.integer());
}

void getData(HostCall& call) {
  RegValueData& v = self(call);
  DecodedData decoded = decodeRegistryData(v.type, v.data);
  switch (decoded.kind) {
    case DecodedData::Kind::Absent: break;
    case DecodedData::Kind::Text: *call.result = script::makeString(call.engine, decoded.text); break;
    case DecodedData::Kind::Integer: call.result->setInteger(decoded.integer); break;
    case DecodedData::Kind::List: {
      script::ArrayRecord* array = script::newArray(call.engine);
      call.result->setArray(array);
      script::attachTable(call.engine, Tag::Array, &array->props);
      for (size_t i = 0; i < decoded.list.size(); ++i) {
        Value text = script::makeString(call.engine, decoded.list[i]);
        script::storeElement(call.engine, *array, i, text);
      }
      break;
    }
  }
}

// One element of an Array written as data. A list of texts (REG_MULTI_SZ) takes numbers and
// booleans as their text, so the list stays a list; other types pack them as binary, integers
// and booleans in 4 bytes, numbers in 8. Other elements write nothing.
void appendElement(RegistryBytes& bytes, uint32_t type, const Value& element) {
  bool list = type == kRegMultiSz;
  switch (element.tag) {
    case Tag::String: appendText(bytes, type, element.string()->view(), true); break;
    case Tag::Boolean:
      if (list) appendText(bytes, type, element.boolean() ? u"true" : u"false", true);
      else appendInteger(bytes, kRegDword, element.boolean() ? 1 : 0);
      break;
    case Tag::Integer:
    case Tag::Real:
    case Tag::NaN:
      if (list) {
        std::string digits = script::numberToText(element);
        appendText(bytes, type, std::u16string(digits.begin(), digits.end()), true);
      } else if (element.is(Tag::Integer)) {
        appendInteger(bytes, kRegDword, element.integer());
      } else {
        appendReal(bytes, element.is(Tag::NaN) ? std::nan("") : element.real());
      }
      break;
    default: break;
  }
}

void setData(HostCall& call, const Value& value) {
  RegValueData& v = self(call);
  RegistryBytes bytes;
  switch (value.tag) {
    case Tag::Integer: appendInteger(bytes, v.type, value.integer()); break;
    case Tag::Real: appendReal(bytes, value.real()); break;
    case Tag::NaN: appendReal(bytes, std::nan("")); break;
    case Tag::String: appendText(bytes, v.type, value.string()->view(), false); break;
    case Tag::Array:
      script::forEachElement(*value.array(), [&](uint64_t, const Value& element) {
        appendElement(bytes, v.type, element);
      });
      break;
    default: return;
  }
  v.data = std::move(bytes);
}

const script::HostPropertyEntry kProperties[] = {
    {"name", getName, setName},
    {"type", getType, setType},
    {"data", getData, setData},
};

}  // namespace

const script::HostClassInfo kRegValueClass = {
    .name = "RegValue",
    .properties = kProperties,
    .construct = construct,
    .release = script::deleteInstance<RegValueData>,
};

void newRegValue(script::Engine& engine, Value* target, RegValueData data) {
  script::newInstance(engine, kRegValueClass, target, std::make_unique<RegValueData>(std::move(data)));
}

void registerRegValue(script::Engine& engine) { script::defineHostClass(engine, kRegValueClass); }

}  // namespace vexil::objects::registry
