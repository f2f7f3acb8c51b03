// Conversions to string and to a primitive: the ones that ask the value's class or the value's
// own methods. A method that fails on the way (unknown, or a script error) counts as not handled;
// it never stops the conversion.
#include <charconv>
#include <string>

#include "script/runtime/atom_table.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/conversion_messages.h"
#include "script/runtime/conversions.h"
#include "script/runtime/engine.h"
#include "script/runtime/native_class.h"
#include "script/runtime/number_text.h"
#include "script/runtime/property_table.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::script {

namespace {

constexpr char16_t kUndefinedText[] = u"undefined";
constexpr char16_t kObjectText[] = u"object";
constexpr char16_t kUnknownText[] = u"unknown";

const Value kNoArguments = Value::fromInteger(0);

// A class operation run as a protected call: true when the class knows the method and ran it to
// the end. The receiver is the instance data, or a pointer to the value for described tags.
bool invokeQuietly(Engine& engine, NativeClass* cls, void* receiver, Atom method, Value* result) {
  if (!cls || !cls->invoke) return false;
  bool handled = false;
  bool ok = protectedCall(engine, [&] {
    handled = cls->invoke(engine, cls, receiver, method, result, &kNoArguments);
  });
  return ok && handled;
}

// The method of an object: its own or inherited Function property, else the Object class's member.
// A property of that name holding anything else is no method.
bool callObjectMethod(Engine& engine, const Value& object, Atom method, Value* result) {
  Value found;
  if (getProperty(engine, object.table(), method, &found)) {
    if (found.tag != Tag::Function || !callMethod(engine, object, method, nullptr)) return false;
    *result = engine.lastResult;
    return true;
  }
  StackRoots roots(engine);
  Value* receiver = roots.hold(object);
  return invokeQuietly(engine, classDescriptor(engine, Tag::Object), receiver, method, result);
}

bool invokeNative(Engine& engine, const Value& value, Atom method, Value* result) {
  NativeObject* object = value.native();
  return invokeQuietly(engine, object->cls, object->data, method, result);
}

// A number's decimal text; an Integer is written straight from its digits.
Value numberString(Engine& engine, const Value& value) {
  if (value.tag != Tag::Integer) return makeStringFromAscii(engine, numberToText(value));
  char buffer[24];  // 19 digits and a sign
  auto written = std::to_chars(buffer, buffer + sizeof buffer, value.integer());
  return makeStringFromAscii(engine, std::string_view(buffer, size_t(written.ptr - buffer)));
}

// What a described tag answers when its class is not registered: the class's own answer.
Value fallbackText(Engine& engine, const Value& value) {
  switch (value.tag) {
    case Tag::Boolean: return booleanText(engine, value.boolean());
    case Tag::Integer:
    case Tag::Real:
    case Tag::NaN: return numberString(engine, value);
    case Tag::String: return value;
    case Tag::Function: return makeStaticString(engine, kFunctionDescription);
    default: return makeStaticString(engine, kObjectText);
  }
}

// Values whose tag has a class descriptor answer toString through it.
Value describedText(Engine& engine, const Value& value) {
  if (hasOwnTextClass(engine, value.tag)) return fallbackText(engine, value);
  StackRoots roots(engine);
  Value* receiver = roots.hold(value);
  Value* text = roots.hold();
  NativeClass* cls = classDescriptor(engine, value.tag);
  if (invokeQuietly(engine, cls, receiver, kAtomToString, text) && text->tag == Tag::String) return *text;
  return fallbackText(engine, value);
}

Value objectText(Engine& engine, const Value& value) {
  StackRoots roots(engine);
  Value* text = roots.hold();
  bool ok = value.tag == Tag::Object ? callObjectMethod(engine, value, kAtomToString, text)
                                     : invokeNative(engine, value, kAtomToString, text);
  if (ok && text->tag == Tag::String) return *text;
  return makeStaticString(engine, kObjectText);
}

[[noreturn]] void cantConvert(Engine& engine) { raiseError(engine, "%s", kCantConvertToPrimitive); }

void objectToPrimitive(Engine& engine, const Value& value, Value* result, PrimitiveHint hint) {
  StackRoots roots(engine);
  Value* answer = roots.hold();
  if (hint == PrimitiveHint::String) {
    if (callObjectMethod(engine, value, kAtomToString, answer) && isPrimitiveTag(answer->tag)) {
      *result = *answer;
      return;
    }
    if (!callObjectMethod(engine, value, kAtomValueOf, answer) || !isPrimitiveTag(answer->tag)) {
      cantConvert(engine);
    }
    *result = *answer;
    return;
  }
  if (callObjectMethod(engine, value, kAtomValueOf, answer) && isPrimitiveTag(answer->tag)) {
    *result = *answer;
    return;
  }
  valueToString(engine, value, result);
}

// A native answer that is not itself primitive counts as no answer: a class whose valueOf hands
// back an object would otherwise send the conversion round in circles.
bool nativePrimitive(Engine& engine, const Value& value, Atom method, Value* answer) {
  return invokeNative(engine, value, method, answer) && isPrimitiveTag(answer->tag);
}

void nativeToPrimitive(Engine& engine, const Value& value, Value* result, PrimitiveHint hint) {
  NativeClass* cls = value.native()->cls;
  if (!cls || !cls->invoke) cantConvert(engine);
  StackRoots roots(engine);
  Value* answer = roots.hold();
  if (hint == PrimitiveHint::String) {
    if (!nativePrimitive(engine, value, kAtomToString, answer) &&
        !nativePrimitive(engine, value, kAtomValueOf, answer)) {
      cantConvert(engine);
    }
    *result = *answer;
    return;
  }
  if (nativePrimitive(engine, value, kAtomValueOf, answer)) {
    *result = *answer;
    return;
  }
  valueToString(engine, value, result);
}

}  // namespace

void valueToString(Engine& engine, const Value& value, Value* result) {
  switch (value.tag) {
    case Tag::Undefined:
    case Tag::Null: *result = makeStaticString(engine, kUndefinedText); return;
    case Tag::Boolean:
    case Tag::Integer:
    case Tag::String:
    case Tag::Real:
    case Tag::Array:
    case Tag::Function:
    case Tag::NaN: *result = describedText(engine, value); return;
    case Tag::Object:
    case Tag::Native: *result = objectText(engine, value); return;
    case Tag::Name: *result = makeStringFromAnsi(engine, nameOf(engine, value.atom())); return;
    default: *result = makeStaticString(engine, kUnknownText); return;
  }
}

void valueToPrimitive(Engine& engine, const Value& value, Value* result, PrimitiveHint hint) {
  if (isPrimitiveTag(value.tag)) {
    *result = value;
    return;
  }
  switch (value.tag) {
    case Tag::Array:
    case Tag::Function: valueToString(engine, value, result); return;
    case Tag::Object: objectToPrimitive(engine, value, result, hint); return;
    case Tag::Native: nativeToPrimitive(engine, value, result, hint); return;
    default: cantConvert(engine);
  }
}

}  // namespace vexil::script
