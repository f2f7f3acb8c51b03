#pragma once
// Member names of an automation object bound to what to invoke: through the object's type
// information (the declared parameter types drive the conversions), or, for objects without type
// information or names it lacks, late through GetIDsOfNames. A binding is worked out once into a
// plan, which the bridge keeps, so a call costs one Invoke and its conversions.
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::objects::com {

enum class MemberUse { Call, Get, Put };

struct MemberPlan {
  enum class Kind { Function, Variable, Late };
  Kind kind = Kind::Late;
  DISPID id = DISPID_UNKNOWN;
  WORD invokeKind = 0;              // a function's own invoke kind
  std::vector<VARTYPE> parameters;  // declared types in declaration order, the result parameter left out
  std::vector<bool> outputOnly;     // [out] without [in], per parameter
  VARTYPE expected = VT_EMPTY;      // the result's type; VT_EMPTY: no result is asked for

  bool isPropertyGetWithoutIndex() const {
    return kind == Kind::Function && invokeKind == INVOKE_PROPERTYGET && parameters.empty();
  }
};

// Binds name for the use through info (null: the object has none) or the object; false when the
// object has no such member.
bool planMember(IDispatch* object, ITypeInfo* info, const std::u16string& name, MemberUse use, MemberPlan& plan);
// Invokes with the script arguments (args[0..count-1]; for Put the one value). The result, or
// undefined after a failure's trace line, goes to *out.
void invokeMember(script::Engine& engine, IDispatch* object, const MemberPlan& plan, MemberUse use,
                  script::Value* args, uint32_t count, script::Value* out);
// Calls the member with no arguments and hands over its result unconverted; false (after the trace
// line) when the call fails.
bool invokeRaw(script::Engine& engine, IDispatch* object, const MemberPlan& plan, VARIANT* out);

// The automation type a declared type travels as: pointers become references, aliases their base
// type, enumerations and unsigned or plain ints 32-bit integers, interfaces objects, void empty.
VARTYPE declaredType(ITypeInfo* info, const TYPEDESC& type);

// The member's name from the object's type information; empty when it has none.
std::u16string memberName(IDispatch* object, DISPID id);

}  // namespace vexil::objects::com
