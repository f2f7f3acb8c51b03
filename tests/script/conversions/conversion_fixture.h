#pragma once
// An engine whose script functions are C++ bodies, with helpers that run a conversion as a
// protected call and answer its result or its error text.
#include <functional>
#include <string>

#include "script/runtime/property_table.h"
#include "script/runtime/runtime_error.h"
#include "tests/script/conversions/script_functions.h"
#include "tests/script/conversions/value_description.h"
#include "tests/script/runtime/runtime_fixture.h"

namespace vexil::script::test {

class ConversionTest : public RuntimeTest {
 protected:
  ConversionTest() { config_.entries.runFunction = runTestFunction; }

  // The described result of body, or "error: <message>" when it raised.
  std::string attempt(const std::function<Value()>& body) {
    Value result;
    if (!protectedCall(engine(), [&] { result = body(); })) return std::string("error: ") + engine().message;
    return describe(result);
  }

  // A rooted object with the given script methods (a non-Function value is stored as it is).
  Value objectWith(std::initializer_list<std::pair<const char*, Value>> members) {
    PropertyTable* table = newTable(engine());
    Value object = Value::fromObject(table);
    keep(("object" + std::to_string(kept_++)).c_str(), object);
    for (const auto& [name, value] : members) setProperty(engine(), table, atom(name), value);
    return object;
  }
  // A rooted string, so that tables of cases survive the collections that calls may run.
  Value str(std::string_view ansi) {
    Value v = RuntimeTest::str(ansi);
    keep(("str" + std::to_string(kept_++)).c_str(), v);
    return v;
  }
  Value method(ScriptBody body) { return makeScriptFunction(engine(), std::move(body)); }
  Value staticText(const char16_t* text) {
    Value v = makeStaticString(engine(), text, std::char_traits<char16_t>::length(text));
    keep(("text" + std::to_string(kept_++)).c_str(), v);
    return v;
  }

  int kept_ = 0;
};

}  // namespace vexil::script::test
