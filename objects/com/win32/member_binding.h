#pragma once
// Member names of an automation object bound to what to invoke: through the object's type
// information (the declared parameter types drive the conversions), or, for objects without type
// information or names it lacks, late through GetIDsOfNames.
#include <windows.h>
#include <oaidl.h>

#include <string>

#include "platform/win32/com_ptr.h"
#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::objects::com {

enum class MemberUse { Call, Get, Put };

class BoundMember {
 public:
  BoundMember() = default;
  BoundMember(const BoundMember&) = delete;
  BoundMember& operator=(const BoundMember&) = delete;
  ~BoundMember() { reset(); }

  // Binds name for the use; false when the object has no such member.
  bool bind(IDispatch* object, const std::u16string& name, MemberUse use);
  // Invokes the member on object with the script arguments (args[0..count-1], count 0 for none;
  // for Put the one value). The result, or undefined after a failure's trace line, goes to *out.
  void invoke(script::Engine& engine, IDispatch* object, MemberUse use, script::Value* args, uint32_t count,
              script::Value* out) const;

  // Calls the member with no arguments and hands over its result unconverted; false (after the
  // trace line) when the call fails.
  bool invokeRaw(script::Engine& engine, IDispatch* object, VARIANT* out) const;

  const FUNCDESC* function() const { return function_; }

 private:
  // What one Invoke left: its result, the type to convert it by, its exception record.
  struct Outcome {
    Outcome();
    ~Outcome();
    VARIANT result;
    VARTYPE expected = VT_EMPTY;
    EXCEPINFO exception{};
  };

  void reset();
  HRESULT dispatch(script::Engine& engine, IDispatch* object, MemberUse use, script::Value* args, uint32_t count,
                   Outcome& outcome) const;
  HRESULT invokeDescribed(script::Engine& engine, IDispatch* object, MemberUse use, script::Value* args,
                          uint32_t count, Outcome& outcome) const;
  HRESULT invokeVariable(script::Engine& engine, IDispatch* object, MemberUse use, script::Value* args,
                         uint32_t count, Outcome& outcome) const;
  HRESULT invokeLate(script::Engine& engine, IDispatch* object, MemberUse use, script::Value* args, uint32_t count,
                     Outcome& outcome) const;

  platform::ComPtr<ITypeInfo> info_;  // the type information the description belongs to
  FUNCDESC* function_ = nullptr;
  VARDESC* variable_ = nullptr;
  DISPID lateId_ = DISPID_UNKNOWN;
  bool late_ = false;
};

// The automation type a declared type travels as: pointers become references, aliases their base
// type, enumerations and unsigned or plain ints 32-bit integers, interfaces objects, void empty.
VARTYPE declaredType(ITypeInfo* info, const TYPEDESC& type);

// The member's name from the object's type information; empty when it has none.
std::u16string memberName(IDispatch* object, DISPID id);

}  // namespace vexil::objects::com
